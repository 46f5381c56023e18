#pragma once

// Rows of channel lists as tab-separated text on the desktop's clipboard, with the columns
// and headings of the CSV export, read back through the CSV row reader with its
// corrections and its summary messages.

#include "files/cmcCsvImport.h"
#include "model/cmcTextTransfer.h"

#include <functional>
#include <string>

class cmcLoadFile;

class cmcTsvTransfer : public cmcTextTransfer {
  public:
    // The document's reading options (decimal separator, destination, text mode), asked
    // at each use; the field separator is always the tab.
    explicit cmcTsvTransfer(std::function<clsCsvReadOptions()> options);

    void Copied(const cmcOrganisation& organisation, uint32_t kind, int index, int first,
                int count) override;
    bool HoldsForeignRows(uint32_t kind) override;
    void ReadForeignRows(const cmcOrganisation& organisation, uint32_t kind,
                         cmcClipCh& into) override;
    void ShowReadSummary() override;
    int AddForeignRows(cmcOrganisation& organisation, cmcEvMan& events, int group) override;

    // The text Copy put on the clipboard last.
    const std::string& OwnText() const { return own_; }

  private:
    clsCsvReadOptions Options() const;
    // The clipboard's text when it holds rows from elsewhere; empty otherwise.
    std::string ForeignText() const;
    // The foreign text as lines whose first is a header: rows copied without their
    // heading line get the export's heading of the kind.
    cmcLoadFile ForeignLines(const cmcOrganisation& organisation, int kind) const;

    std::function<clsCsvReadOptions()> options_;
    std::string own_;
    clsCsvImportResult read_;
};

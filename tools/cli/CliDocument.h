#pragma once

// The document behind the commands that work on a clone data file: the destination and
// receiver flags of the run (--destination, else the settings store's), the image read as
// Open reads it and adopted for that destination, the organisation edits (events 9 to 21)
// run on it as the document controller runs them, and saving as Save saves.

#include "CliCommand.h"

#include "app/indLoadCorrections.h"

#include "events/cmcEvMan.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"

#include <memory>
#include <optional>
#include <string>

struct cmcEvent;

// The number of a numbered SHEET name ("group:3" with the prefix "group:"): nothing when the
// name does not start with the prefix, -1 when what follows is not a number of one to four
// digits.
std::optional<int> CliSheetNumber(const std::string& name, const std::string& prefix);

// Whether the user may read the file named: the program's open dialogs offer only such
// files. Nothing is opened, so a named pipe without a writer cannot hang the check.
bool CliReadable(const std::string& path);

class CliDocument {
  public:
    CliDocument();
    ~CliDocument();
    CliDocument(const CliDocument&) = delete;
    CliDocument& operator=(const CliDocument&) = delete;

    // Takes the destination of the run; 0, or the status of a usage error (shown).
    int TakeDestination(const CliArgs& args, const char* command);
    // TakeDestination, then reads and adopts the file; 0, a usage error's status, or the
    // file error code (its message shown). What the adoption corrected for the
    // destination is reported on standard error.
    int Open(const CliArgs& args, const char* command, const std::string& path);
    // The new document of the destination, adopted as New adopts it.
    void New();
    // Writes the document as Save does; 0 or the file error code (its message shown). A
    // document whose file was corrected on opening is saved only with --yes: without it
    // nothing is written and the status is ExitNotSaved.
    int Save(const std::string& path);
    static constexpr int ExitNotSaved = 1;

    // What opening corrected for the destination; nothing for a new document.
    const clsLoadCorrections& Corrections() const { return corrections_; }

    cmcEeprom& Image() { return image_; }
    cmcOrganisation& Organisation() { return *organisation_; }
    cmcEvMan& Events() { return events_; }
    const indDestination& Destination() const { return destination_; }
    // Names in the image are half-width katakana for the Japanese program of destination 0.
    bool JapaneseText() const { return japaneseText_; }

  private:
    static void OnEvent(void* context, const cmcEvent& event);

    cmcEvMan events_;
    indDestination destination_;
    bool japaneseText_ = false;
    bool assumeYes_ = false;
    clsLoadCorrections corrections_;
    cmcEeprom image_;
    std::unique_ptr<cmcOrganisation> organisation_;
};

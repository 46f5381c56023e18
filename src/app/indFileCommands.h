#pragma once

// The main window's file commands on channel lists: File > Export and File > Import > Add
// or Overwrite (CSV files of the open sheet), and Option > Preset Basic Search (preset
// files of the language's preset folder made into basic-search banks). The commands ask
// for files through the platform's file dialogs and for the preset choice through the
// view's dialog; the engine in src/files reads, writes and shows its own messages.

#include "files/cmcCsvRowReader.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class cmcEvMan;
class cmcGTex;
class cmcOrganisation;
class indMain;
struct Preset_Data;
class indOtherPreview;

// What the file commands need of the document.
class indFileDocument {
  public:
    virtual ~indFileDocument() = default;
    virtual cmcOrganisation& Organisation() = 0;
    virtual cmcEvMan& Events() = 0;
    virtual cmcGTex& Catalogue() = 0;
    // The address of the open sheet ("[St_CNBank]GI_Sheet_MemoryCH,Group 3"); empty when
    // no sheet is open.
    virtual std::string OpenSheetAddress() = 0;
    // The position of a record from its number in a sheet address: 'C' a category, 'G' a
    // group, 'B' a basic-search bank. By default the number is the position.
    virtual int PositionOf(char /*kind*/, int number) { return number; }
    virtual clsCsvSeparators Separators() = 0;
    // Names keep half-width katakana, and Japanese preset files are accepted.
    virtual bool JapaneseText() = 0;
    // The presets come from the Japanese folder (Japanese text and the Japanese language).
    virtual bool JapanesePresets() = 0;
    // Where the file dialogs start; after a file was read or written, its folder.
    virtual std::string CurrentFolder() = 0;
    virtual void TakeCurrentFolder(const std::string& folder) = 0;
    // Closes the open sheet; the controller opens it again on its next step, built anew.
    virtual void CloseSheet() = 0;
    // Replaces the open sheet with the sheet of the address.
    virtual void OpenSheet(const std::string& address) = 0;
};

// The document controller as the file commands reach it.
class indDocumentForFiles : public indFileDocument {
  public:
    explicit indDocumentForFiles(indMain& main) : main_(main) {}

    cmcOrganisation& Organisation() override;
    cmcEvMan& Events() override;
    cmcGTex& Catalogue() override;
    std::string OpenSheetAddress() override;
    clsCsvSeparators Separators() override;
    bool JapaneseText() override;
    bool JapanesePresets() override;
    std::string CurrentFolder() override;
    void TakeCurrentFolder(const std::string& folder) override;
    int PositionOf(char kind, int number) override;
    void CloseSheet() override;
    void OpenSheet(const std::string& address) override;

  private:
    indMain& main_;
};

// One preset file as the preset dialog offers it.
struct indPresetSource {
    std::string name;                    // the preset's name
    std::vector<std::string> categories; // its categories' names, in file order
};

// What the preset dialog is asked.
struct indPresetRequest {
    std::vector<indPresetSource> sources;
    bool oneBank = false;   // the open sheet is one bank's list: Overwrite replaces that bank
    bool banksFull = false; // every basic-search bank is in use: Add is not offered
};

// What the user chose: a source, some of its categories, Add or Overwrite.
struct indPresetChoice {
    int source = 0;
    std::vector<int> categories; // positions in the source's category list
    bool overwrite = false;
};

// Shows the preview of a list from another program modally; true when the user chose
// Import. The window edits the preview's mapping and placement.
using indOtherDialog = std::function<bool(indOtherPreview&)>;

// Shows the preset dialog modally; nothing when it was closed with Escape.
using indPresetDialog = std::function<std::optional<indPresetChoice>(const indPresetRequest&)>;

class indFileCommands {
  public:
    explicit indFileCommands(indFileDocument& document) : document_(document) {}

    // The view's preset dialog; without one Preset Basic Search is not offered.
    void SetPresetDialog(indPresetDialog dialog) { presetDialog_ = std::move(dialog); }

    // Whether the open sheet takes an adding or an overwriting CSV import, and whether it
    // can be exported.
    bool CanImport(bool overwrite);
    bool CanExport();
    // The CSV commands: a file dialog, then the engine with its questions and messages. A
    // file that cannot be read, or whose header lacks the required columns, leaves the
    // document as it was.
    void Import(bool overwrite);
    void Export();

    bool CanPreset() const { return static_cast<bool>(presetDialog_); }

    // The preview window of File > Import > From Other Tools...; without one the command
    // is not offered.
    void SetOtherDialog(indOtherDialog dialog) { otherDialog_ = std::move(dialog); }
    bool CanImportOther() const { return static_cast<bool>(otherDialog_); }
    // A file of another program: the file dialog, the preview, then the import through the
    // CSV import with its messages. A file that cannot be read shows its message and
    // changes nothing.
    void ImportOther();
    // Every memory channel as the generic radio CSV of other programs.
    void ExportOther();
    // Preset Basic Search: the folder's presets, the dialog, the import and its messages.
    // An entry list whose header is refused gives the title error, and the document is
    // put back as it was before the command.
    void Preset();

    // How CSV text of this document reads: its separators, destination and text mode.
    clsCsvReadOptions ReadOptions();

  private:
    // The open sheet's channel list: a CSV kind and the position of its record set, and
    // where the record's number stands in the address.
    struct clsSheetList {
        int kind = 0;
        int index = 0;
        std::string address;
        size_t numberAt = std::string::npos;
    };
    clsSheetList OpenSheetList();
    bool ListExists(const clsSheetList& list);
    std::optional<std::string> AskFile(bool save);
    void TakeFolderOf(const std::string& path);
    void ReopenSheet(const clsSheetList& list);
    std::optional<bool> ChoosePresets(std::vector<Preset_Data>& presets, bool oneBank);

    indFileDocument& document_;
    indPresetDialog presetDialog_;
    indOtherDialog otherDialog_;
};

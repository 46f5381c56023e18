#include "app/indFileCommands.h"

#include "app/indMain.h"
#include "app/indOtherImport.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcCsvColumns.h"
#include "files/cmcCsvExport.h"
#include "files/cmcCsvImport.h"
#include "files/cmcLoadFile.h"
#include "files/cmcReadCapped.h"
#include "files/cmcPresetImport.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "platform/cmcPlatform.h"
#include "settings/indEnviron.h"

#include <filesystem>
#include <string_view>

namespace {

const char* const CsvDialogKey = "GI_Sys_Dialog_FOpen_CSV"; // line 0 extension, line 1 filter

// The record list a numbered sheet binding names: 'G' groups, 'C' categories, 'B' banks;
// 0 for the bindings without a number.
char NumberedList(int kind) {
    struct Numbered {
        int kind;
        char list;
    };
    static constexpr Numbered Lists[] = {
        {csvkind::Mch, 'G'},
        {csvkind::Group, 'C'},
        {csvkind::BasicCh, 'B'},
        {csvkind::BasicPg, 'B'},
    };
    for (const Numbered& entry : Lists)
        if (entry.kind == kind) return entry.list;
    return 0;
}

std::string AbsoluteFolder(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return FolderPart(error ? path : absolute.lexically_normal().string());
}

std::string DataFolder() {
    cmcFolders* folders = cmcPlatform::get().folders;
    return folders ? folders->dataFolder() : std::string();
}

} // namespace

// ---- The document controller's side ----

cmcOrganisation& indDocumentForFiles::Organisation() {
    return main_.Organisation();
}
cmcEvMan& indDocumentForFiles::Events() {
    return main_.Events();
}
cmcGTex& indDocumentForFiles::Catalogue() {
    return main_.Catalogue();
}

std::string indDocumentForFiles::OpenSheetAddress() {
    const cuiMainWindow* window = main_.MainWindow();
    return window && window->SheetOpen() ? window->OpenSheetAddress() : std::string();
}

clsCsvSeparators indDocumentForFiles::Separators() {
    return {main_.DecimalSeparator(), main_.FieldSeparator()};
}

bool indDocumentForFiles::JapaneseText() {
    return main_.CellLogic().Document().japaneseNames;
}

bool indDocumentForFiles::JapanesePresets() {
    return JapaneseText() && main_.Settings().language == 1;
}

std::string indDocumentForFiles::CurrentFolder() {
    return main_.CurrentFolder();
}

void indDocumentForFiles::TakeCurrentFolder(const std::string& folder) {
    main_.TakeCurrentFolder(folder);
}

int indDocumentForFiles::PositionOf(char kind, int number) {
    cuiMainWindow* window = main_.MainWindow();
    return window ? window->PositionOf(kind, number) : number;
}

void indDocumentForFiles::CloseSheet() {
    main_.CloseSheet();
}

void indDocumentForFiles::OpenSheet(const std::string& address) {
    main_.OpenSheet(address);
}

// ---- The commands ----

// The sheet binding is everything after the address's first ",": a word, then for the
// lists of one group, category or bank a blank and the record's number.
indFileCommands::clsSheetList indFileCommands::OpenSheetList() {
    clsSheetList sheet;
    sheet.address = document_.OpenSheetAddress();
    const size_t comma = sheet.address.find(',');
    if (comma == std::string::npos) return sheet;
    const std::string_view binding = std::string_view(sheet.address).substr(comma + 1);
    const size_t blank = binding.find(' ');
    const int kind = CsvKindOfBinding(binding.substr(0, blank));
    const char list = NumberedList(kind);
    if (!list) {
        if (blank == std::string_view::npos) sheet.kind = kind;
        return sheet;
    }
    if (blank == std::string_view::npos) return sheet;
    const std::optional<int64_t> number = CsvParseInteger(binding.substr(blank + 1), 0, 9999);
    if (!number) return sheet;
    sheet.kind = kind;
    sheet.index = document_.PositionOf(list, static_cast<int>(*number));
    sheet.numberAt = comma + 1 + blank + 1;
    return sheet;
}

bool indFileCommands::ListExists(const clsSheetList& list) {
    const cmcOrganisation& organisation = document_.Organisation();
    switch (list.kind) {
    case csvkind::None:
        return false;
    case csvkind::Mch:
        return list.index < organisation.GroupCount();
    case csvkind::Group:
        return list.index < organisation.CategoryCount();
    case csvkind::BasicCh:
    case csvkind::BasicPg:
        return list.index < organisation.BankCount();
    default:
        return true;
    }
}

bool indFileCommands::CanImport(bool overwrite) {
    const clsSheetList list = OpenSheetList();
    if (!ListExists(list)) return false;
    return overwrite ? CsvCanImportOverwrite(list.kind)
                     : CsvCanImportAdd(document_.Organisation(), list.kind, list.index);
}

bool indFileCommands::CanExport() {
    const clsSheetList list = OpenSheetList();
    return CsvCanExport(list.kind) && ListExists(list);
}

std::optional<std::string> indFileCommands::AskFile(bool save) {
    cmcFileDialogs* dialogs = cmcPlatform::get().dialogs;
    if (!dialogs) return std::nullopt;
    cmcGTex& text = document_.Catalogue();
    cmcFileDialogRequest request;
    request.defaultExtension = text.GetLine(CsvDialogKey, 0);
    request.filter = text.GetLine(CsvDialogKey, 1);
    request.folder = document_.CurrentFolder();
    std::optional<std::string> path =
        save ? dialogs->saveFile(request) : dialogs->openFile(request);
    if (!path || path->empty()) return std::nullopt;
    return path;
}

clsCsvReadOptions indFileCommands::ReadOptions() {
    clsCsvReadOptions options;
    options.separators = document_.Separators();
    options.destination = &document_.Organisation().Destination();
    options.japaneseText = document_.JapaneseText();
    return options;
}

void indFileCommands::TakeFolderOf(const std::string& path) {
    document_.TakeCurrentFolder(AbsoluteFolder(path));
}

// After an import the tree numbers its branches afresh by position: the sheet opens again,
// built anew, on the same list under the number the list now has.
void indFileCommands::ReopenSheet(const clsSheetList& list) {
    const std::string address =
        list.numberAt == std::string::npos
            ? list.address
            : list.address.substr(0, list.numberAt) + std::to_string(list.index);
    if (address == list.address)
        document_.CloseSheet();
    else
        document_.OpenSheet(address);
}

void indFileCommands::Export() {
    document_.Events().Send(ev::CommitInput);
    if (!CanExport()) return;
    const clsSheetList list = OpenSheetList();
    const std::optional<std::string> path = AskFile(true);
    if (!path) return;
    clsCsvWriteOptions options;
    options.separators = document_.Separators();
    options.japaneseText = document_.JapaneseText();
    if (CsvExport(*path, document_.Organisation(), list.kind, list.index, options) == csvexport::Ok)
        TakeFolderOf(*path);
}

void indFileCommands::Import(bool overwrite) {
    document_.Events().Send(ev::CommitInput);
    if (!CanImport(overwrite)) return;
    const clsSheetList list = OpenSheetList();
    const std::optional<std::string> path = AskFile(false);
    if (!path) return;
    const clsCsvImportResult result = CsvImport(*path, document_.Organisation(), document_.Events(),
                                                list.kind, list.index, overwrite, ReadOptions());
    if (!result.accepted) return; // cancelled, unreadable or refused: nothing changed
    TakeFolderOf(*path);
    ReopenSheet(list);
}

// Offers the presets in the dialog and marks what the user chose: whether anything was
// marked, or nothing at all when the dialog was closed without a choice.
std::optional<bool> indFileCommands::ChoosePresets(std::vector<Preset_Data>& presets,
                                                   bool oneBank) {
    indPresetRequest request;
    request.oneBank = oneBank;
    request.banksFull = document_.Organisation().BankCount() >= cmcOrganisation::MaxBanks;
    for (const Preset_Data& preset : presets) {
        indPresetSource& source = request.sources.emplace_back();
        source.name = preset.name;
        for (const Cate_Data& category : preset.categories)
            source.categories.push_back(category.name);
    }
    const std::optional<indPresetChoice> choice = presetDialog_(request);
    if (!choice) return std::nullopt;
    if (choice->source < 0 || choice->source >= static_cast<int>(presets.size())) return false;
    const int selection = choice->overwrite ? presetchoice::Overwrite : presetchoice::Add;
    Preset_Data& preset = presets[choice->source];
    bool marked = false;
    for (int category : choice->categories) {
        if (category < 0 || category >= static_cast<int>(preset.categories.size())) continue;
        preset.categories[category].selection = selection;
        marked = true;
    }
    if (marked) preset.selection = selection;
    return marked;
}

void indFileCommands::Preset() {
    if (!presetDialog_) return;
    cmcEvMan& events = document_.Events();
    events.Send(ev::CommitInput);
    const std::string folder = PresetFolder(DataFolder(), document_.JapanesePresets());
    if (PresetFiles(folder).empty()) return;

    cmcOrganisation& organisation = document_.Organisation();
    const clsCsvReadOptions options = ReadOptions();
    std::vector<Preset_Data> presets = ScanPresets(folder, options.japaneseText);
    const clsSheetList list = OpenSheetList();
    const bool oneBank =
        (list.kind == csvkind::BasicCh || list.kind == csvkind::BasicPg) && ListExists(list);
    bool chosen = false;
    if (!presets.empty()) {
        const std::optional<bool> marked = ChoosePresets(presets, oneBank);
        // Closed with Escape or its close button: the user asked for nothing, so nothing
        // is imported and nothing is said.
        if (!marked) return;
        chosen = *marked;
    }

    cmcEeprom before;
    before.Assign(organisation.Image());
    const clsPresetImportResult result = ImportPresets(
        presets, organisation, events, oneBank ? list.index : PresetAllBanks, options);
    if (!result.headersAccepted) {
        // A preset with a broken entry list changes nothing.
        organisation.Image().Assign(before);
        organisation.RecountOrganisation();
        events.Post(ev::RepaintAll);
        events.Send(ev::SheetTitle);
    }
    if (chosen) {
        events.Send(ev::RebuildBranches);
        ReopenSheet(list);
    }
    ShowPresetSummary(result);
}

namespace {

std::string fileStem(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

void indFileCommands::ImportOther() {
    document_.Events().Send(ev::CommitInput);
    if (!CanImportOther()) return;
    const clsSheetList list = OpenSheetList();
    const std::optional<std::string> path = AskFile(false);
    if (!path) return;
    cmcGTex& text = document_.Catalogue();
    std::string bytes;
    const bool read = cmcReadCapped(*path, cmcLoadFile::MaxFileBytes, bytes) == cmcReadResult::Ok;
    const int openGroup = list.kind == csvkind::Mch && ListExists(list) ? list.index : -1;
    indOtherPreview preview(bytes, fileStem(*path), ReadOptions(), document_.Organisation(),
                            openGroup);
    if (!read || !preview.Error().empty()) {
        cmcMessage(text.GetLines(read ? preview.Error() : "GI_Mess_Other_Unreadable"),
                   text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning);
        return;
    }
    if (!otherDialog_(preview) || !preview.CanImport()) return;
    const clsCsvImportResult result = OtherImport(preview.Plan(), preview.Target(),
                                                  document_.Organisation(), document_.Events(),
                                                  ReadOptions());
    if (!result.accepted) return;
    preview.RememberMapping();
    TakeFolderOf(*path);
    if (!list.address.empty()) ReopenSheet(list);
}

void indFileCommands::ExportOther() {
    document_.Events().Send(ev::CommitInput);
    const std::optional<std::string> path = AskFile(true);
    if (!path) return;
    if (CsvWriteText(*path, OtherExportGenericText(document_.Organisation())) == csvexport::Ok)
        TakeFolderOf(*path);
}

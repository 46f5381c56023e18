#include "app/indDocumentCommands.h"

#include "app/indHelp.h"
#include "app/indMain.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "settings/indEnviron.h"

#include "catalogue/cmcGTex.h"
#include "clone/cmcSerialTrace.h"
#include "platform/cmcPlatform.h"

#include <optional>
#include <vector>

namespace {
const char* const TraceDialogKey = "GI_Trace_Dialog"; // line 0 extension, line 1 filter
// line 0 the message, lines 1 and 2 the languages' names
const char* const LanguageMessageKey = "GI_Mess_Language_NextStart";
} // namespace

int indDocumentCommands::FileNew() {
    return main_.FileNew();
}
int indDocumentCommands::FileOpen() {
    return main_.FileOpen();
}
int indDocumentCommands::OpenDocument(const std::string& path) {
    return main_.OpenDocument(path);
}
int indDocumentCommands::FileSave() {
    return main_.FileSave();
}
int indDocumentCommands::FileSaveAs() {
    return main_.FileSaveAs();
}
void indDocumentCommands::CloneRead() {
    main_.CloneRead();
}
void indDocumentCommands::CloneWrite() {
    main_.CloneWrite();
}

void indDocumentCommands::CloseMainWindow() {
    if (cuiMainWindow* window = main_.MainWindow()) window->CloseWindow();
}

void indDocumentCommands::OpenSheet(const std::string& address) {
    main_.OpenSheet(address);
}
void indDocumentCommands::RestartEditSettle() {
    main_.RestartEditSettle();
}
bool indDocumentCommands::CheckModified() {
    return main_.CheckModified() != 0;
}
void indDocumentCommands::ActionStarting() {
    main_.UndoCommands().ActionStarting();
}
void indDocumentCommands::ActionDone(int action) {
    main_.UndoCommands().ActionDone(action);
}

std::string indDocumentCommands::RecentPath(int i) {
    return main_.Settings().recent.Entry(i);
}

std::string indDocumentCommands::RecentText(int i) {
    return main_.Settings().recent.DisplayText(i, main_.CurrentFolder());
}

std::string indDocumentCommands::DetectedPort(int n) const {
    cuiMainWindow* window = main_.MainWindow();
    if (!window || n < 1) return {};
    const std::vector<std::string> ports = window->DetectedPorts();
    return n <= static_cast<int>(ports.size()) ? ports[size_t(n - 1)] : std::string();
}

bool indDocumentCommands::CanRun(Command command, int index) {
    switch (command) {
    case Command::FontSize:
    case Command::ComSpeed:
        return true;
    case Command::ToolBar:
    case Command::EditMenu:
    case Command::PortChoice:
    case Command::About:
    case Command::HelpContents:
    case Command::CellHelp:
        return main_.MainWindow() != nullptr;
    case Command::PortCom:
        return !DetectedPort(index).empty();
    case Command::AddImport:
    case Command::OverwriteImport:
        return main_.FileCommands().CanImport(command == Command::OverwriteImport);
    case Command::Export:
        return main_.FileCommands().CanExport();
    case Command::ImportOther:
        return main_.FileCommands().CanImportOther();
    case Command::ExportOther:
        return true;
    case Command::Preset:
        return main_.FileCommands().CanPreset();
    case Command::Compare:
    case Command::FindDuplicates:
        return main_.MainWindow() != nullptr;
    case Command::BackupBeforeWrite:
    case Command::VerifyAfterWrite:
    case Command::ShowWritePlan:
    case Command::Language:
        return true;
    case Command::RestoreBackup:
        return main_.MainWindow() != nullptr && !main_.CloneCommands().Busy();
    case Command::SerialTrace: // not in the middle of a transfer
        return !main_.CloneCommands().Busy();
    case Command::PrintCurrent:
        return main_.MainWindow() && main_.MainWindow()->CanPrintSheet();
    case Command::PrintAll:
        return main_.MainWindow() != nullptr;
    default:
        return false;
    }
}

bool indDocumentCommands::IsTicked(Command command, int index) {
    const indEnviron& settings = main_.Settings();
    switch (command) {
    case Command::FontSize:
        return settings.fontSizePercentage == index;
    case Command::ToolBar:
        return settings.toolbarVisible != 0;
    case Command::ComSpeed:
        return settings.highSpeed == index;
    case Command::PortCom:
        return !DetectedPort(index).empty() && settings.comPort == DetectedPort(index);
    case Command::PortChoice: // a port the numbered items do not name
        for (int n = 1; n <= DetectedPortItems; ++n)
            if (settings.comPort == DetectedPort(n)) return false;
        return true;
    case Command::BackupBeforeWrite:
        return ReadCloneSafetySettings().backupBeforeWrite;
    case Command::VerifyAfterWrite:
        return ReadCloneSafetySettings().verifyAfterWrite;
    case Command::ShowWritePlan:
        return ReadCloneSafetySettings().showWritePlan;
    case Command::SerialTrace:
        return cmcSerialTrace::SwitchedOn();
    case Command::Language: // the language the next start takes
        return (settings.userLanguage >= 0 ? settings.userLanguage : settings.language) == index;
    default:
        return false;
    }
}

void indDocumentCommands::Run(Command command, int index) {
    indEnviron& settings = main_.Settings();
    cuiMainWindow* window = main_.MainWindow();
    switch (command) {
    case Command::FontSize:
        // The sheet closes; the controller's task opens it again in the new size.
        settings.fontSizePercentage = index;
        main_.SetFontFlag();
        main_.CloseSheet();
        break;
    case Command::ToolBar:
        settings.toolbarVisible = settings.toolbarVisible ? 0 : 1;
        if (window) window->ShowToolBar(settings.toolbarVisible != 0);
        break;
    case Command::ComSpeed:
        settings.highSpeed = index != 0 ? 1 : 0;
        break;
    case Command::PortCom:
        if (const std::string port = DetectedPort(index); !port.empty()) settings.comPort = port;
        break;
    case Command::EditMenu:
        if (window) window->MirrorSheetMenu();
        break;
    case Command::AddImport:
    case Command::OverwriteImport:
        main_.FileCommands().Import(command == Command::OverwriteImport);
        break;
    case Command::Export:
        main_.FileCommands().Export();
        break;
    case Command::ImportOther:
        main_.FileCommands().ImportOther();
        break;
    case Command::ExportOther:
        main_.FileCommands().ExportOther();
        break;
    case Command::Preset:
        main_.FileCommands().Preset();
        break;
    case Command::PortChoice:
        if (!window) break;
        if (std::optional<std::string> port = window->ChoosePort()) settings.comPort = *port;
        break;
    case Command::About:
        if (window) window->ShowAbout();
        break;
    case Command::Compare:
        main_.CompareWithFile();
        break;
    case Command::FindDuplicates:
        if (window) window->ShowDuplicates();
        break;
    case Command::BackupBeforeWrite:
    case Command::VerifyAfterWrite:
    case Command::ShowWritePlan:
        SwitchSafetySetting(command);
        break;
    case Command::RestoreBackup:
        main_.RestoreBackup();
        break;
    case Command::SerialTrace:
        SwitchSerialTrace();
        break;
    case Command::Language:
        ChooseLanguage(index);
        break;
    case Command::PrintCurrent:
    case Command::PrintAll:
        main_.Events().Send(ev::CommitInput);
        if (window) window->Print(command == Command::PrintAll);
        break;
    case Command::HelpContents:
        ShowHelpContents(main_);
        break;
    case Command::CellHelp: // index: the cell's logic id
        ShowCellHelp(main_, index);
        break;
    default:
        break;
    }
}

void indDocumentCommands::SwitchSafetySetting(Command command) {
    indCloneSafetySettings safety = ReadCloneSafetySettings();
    bool& setting = command == Command::BackupBeforeWrite  ? safety.backupBeforeWrite
                    : command == Command::VerifyAfterWrite ? safety.verifyAfterWrite
                                                           : safety.showWritePlan;
    setting = !setting;
    WriteCloneSafetySettings(safety);
}

// The catalogue is attached once, at start: the user's choice is stored and takes effect
// at the next start, which the message says.
void indDocumentCommands::ChooseLanguage(int language) {
    if (language != 0 && language != 1) return;
    main_.Settings().userLanguage = language;
    cmcGTex& text = cmcGTex::Process();
    std::string message = text.GetLine(LanguageMessageKey, 0);
    if (size_t at = message.find("%s"); at != std::string::npos)
        message.replace(at, 2, text.GetLine(LanguageMessageKey, 1 + language));
    cmcMessage(message, text.GetText("GI_Sys_AppTitle"), MsgIcon::Information);
}

// Off when on; otherwise on into a file the user names.
void indDocumentCommands::SwitchSerialTrace() {
    if (cmcSerialTrace::SwitchedOn()) {
        cmcSerialTrace::SwitchTo(nullptr);
        return;
    }
    cmcFileDialogs* dialogs = cmcPlatform::get().dialogs;
    if (!dialogs) return;
    cmcGTex& text = cmcGTex::Process();
    cmcFileDialogRequest request;
    request.defaultExtension = text.GetLine(TraceDialogKey, 0);
    request.filter = text.GetLine(TraceDialogKey, 1);
    request.fileName = "pelham-trace.txt";
    request.folder = main_.CurrentFolder();
    const std::optional<std::string> path = dialogs->saveFile(request);
    if (path && !path->empty()) StartSerialTrace(*path);
}

cmcEeprom& indDocumentForClone::WorkingImage() {
    return main_.WorkingImage();
}
int indDocumentForClone::ConfirmSave(bool another) {
    return main_.ConfirmSave(another);
}
void indDocumentForClone::AdoptLoadedImage(cmcEeprom& image) {
    main_.AdoptLoadedImage(image);
}
void indDocumentForClone::MarkModified() {
    main_.MarkModified();
}
void indDocumentForClone::ClearFileName() {
    main_.ClearFileName();
}
void indDocumentForClone::CloseSheet() {
    main_.CloseSheet();
}
bool indDocumentForClone::MainWindowVisible() {
    return main_.MainWindowVisible();
}

int indDocumentForClone::InstalledDestination() {
    const int destination = main_.Settings().destination;
    return destination >= 0 && destination < NoDestination ? destination : NoDestination;
}

indCloneLine indDocumentForClone::CloneLine() {
    const indEnviron& settings = main_.Settings();
    indCloneLine line;
    line.portPath = settings.comPort;
    line.highSpeed = settings.highSpeed != 0;
    return line;
}

void indDocumentForClone::OpenCloneInformation() {
    main_.OpenCloneInformation();
}

void indDocumentForClone::ActionDone(int action) {
    main_.UndoCommands().ActionDone(action);
}

void indDocumentForClone::ShowStatus(const std::string& text) {
    main_.ShowStatus(text);
}

bool indDocumentForClone::JapaneseText() {
    return main_.CellLogic().Document().japaneseNames;
}

void indDocumentForClone::ShowRecord(const clsDiffRecord& record) {
    main_.ShowRecord(record);
}

#include "app/indMain.h"

#include "app/indCompare.h"
#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcTcfFile.h"
#include "model/cmcDataChecks.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace {
const char* const OpenDialogKey = "GI_Sys_Dialog_FOpen"; // line 0 extension, line 1 filter
const char* const SaveQuestionKey = "GI_Mess_Confirm_WriteFile";
const char* const SaveAnotherQuestionKey = "GI_Mess_Confirm_WriteAnother";
const char* const RecoveryQuestionKey = "GI_Mess_Recovery_Offer";

// The receiver's destination byte names a region version the program installs, or none.
int InstalledDestination(int received) {
    if (received < 0 || received > 13) return indEnviron::NoDestination;
    switch (received) {
    case 6:
    case 8:
    case 9:
    case 10:
        return indEnviron::NoDestination;
    default:
        return received;
    }
}

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
    if (size_t at = text.find(what); at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}
} // namespace

indMain::indMain(indEnviron& environ, cmcGTex& text, cmcHelpGTex& help, cmcEvMan& events,
                 int imageSize)
    : cuiMain(environ, text, help, events, imageSize), organisation_(working_), commands_(*this),
      cellLogic_(CellDocument()), cloneDocument_(*this), cloneCommands_(cloneDocument_, events) {
    cellLogic_.Install();
    cloneCommands_.SetDataHooks(CloneDataHooks());
    bandLimits_ = [](int destination) { indDestination::Active().ApplyBandLimits(destination); };
    SyncDestination();
    events_.Subscribe(&indMain::OnEvent, this);
    InitIdentity();
}

indMain::~indMain() {
    cmcCellLogic::Install(nullptr); // the logic works on this document
    events_.Unsubscribe(&indMain::OnEvent, this);
}

// What the cell logic works on: this document's image, clipboard and commands.
indCellDocument indMain::CellDocument() {
    indCellDocument document;
    document.organisation = &organisation_;
    document.clipboard = &clipboard_;
    document.transfer = &transfer_;
    document.commands = &commands_;
    document.events = &events_;
    document.catalogue = &text_;
    document.openPickList = [this](cmcCellCapsule& opener, const std::string& list) {
        if (window_) window_->OpenPickList(opener, list);
    };
    document.askSort = [this](const clsSortOffer& offer) {
        return window_ ? window_->AskSort(offer) : std::nullopt;
    };
    document.askFill = [this](const clsFillOffer& offer) {
        return window_ ? window_->AskFill(offer) : std::nullopt;
    };
    document.receiverInformation = [this] {
        const indReceiverInfo& info = cloneCommands_.ReceiverInformation();
        return std::vector<uint8_t>(info.begin(), info.end());
    };
    return document;
}

// What Clone Write checks and corrects: the data checks over the working image, the
// stored form, and on the copy that is sent the records the destination does not allow.
indCloneDataHooks indMain::CloneDataHooks() {
    indCloneDataHooks hooks;
    hooks.warningCheck = [this] {
        indCheckCounts counts;
        for (const clsDataFinding& finding : RunDataChecks(organisation_))
            ++(finding.error ? counts.errors : counts.warnings);
        return counts;
    };
    hooks.prepareForWrite = [this](cmcEeprom&) { PrepareWorkingImageForStore(); };
    hooks.replaceDisallowed = [](cmcEeprom& copy) {
        cmcOrganisation organisation(copy);
        organisation.RecountOrganisation(); // the counts only: the bytes stay as they are
        return ReplaceDisallowedRecords(organisation);
    };
    return hooks;
}

void indMain::InitIdentity() {
    cuiMain::InitIdentity();
    modelWord_ = ReceiverModelWord;
    extraWord_ = ReceiverExtraWord;
}

// The window built the tree from the catalogue; its generated branches follow the document.
void indMain::BuildTree() {
    cuiMain::BuildTree();
    CloseSheet();
    events_.Send(ev::RebuildBranches);
}

// An image from a file or the receiver: recount, repack, then correct for the destination.
void indMain::AdoptLoadedImage(cmcEeprom& image) {
    cuiMain::AdoptLoadedImage(image);
    if (&image == &working_) {
        asRead_.Assign(working_);
        ::AdoptLoadedImage(organisation_);
        corrections_ =
            FindLoadCorrections(asRead_, organisation_, cellLogic_.Document().japaneseNames);
        correctionsPending_ = corrections_.Any();
        correctedFile_.clear();
        return;
    }
    cmcOrganisation organisation(image);
    ::AdoptLoadedImage(organisation);
}

// A new document is the default image of the installed destination (image 0 for none).
void indMain::FillNewDocumentImage() {
    FillDefaultImage(newDocument_, environ_.destination);
}

// The working image in packed form, its count tables recounted.
void indMain::RepackWorkingImage() {
    organisation_.Adopt();
}

// The stored form: corrected for the destination, with fresh in-use bitmaps.
void indMain::PrepareWorkingImageForStore() {
    PrepareForSave(organisation_);
    undo_.Absorb();
}

// The model's rules follow the installed destination and the receiver's flags.
void indMain::SyncDestination() {
    indDestination& active = indDestination::Active();
    active.SetIndex(environ_.destination);
    active.SetFlags(environ_.fccInhibit, environ_.rxExpansion);
    cellLogic_.SetJapaneseNames(environ_.JapaneseText(environ_.destination));
}

void indMain::SetBandLimitHook(std::function<void(int destination)> hook) {
    bandLimits_ = std::move(hook);
}

void indMain::ApplyBandLimits(int destination) {
    SyncDestination();
    if (bandLimits_) bandLimits_(destination);
}

// ---- The main window ----

void indMain::CreateUi(cuiMainWindow& window) {
    window_ = &window;
    if (environ_.modelType != 0) environ_.modelType = 0;
    FillNewDocumentImage();
    working_.Assign(newDocument_);
    MarkSaved();
    CloseSheet();
    RepackWorkingImage();
    events_.Send(ev::ToolbarRefresh);
    BuildTree();
    if (imageSize_ < ImageSize) cmcFatal("Self Check Error.\nEEPROM Map is too large.");
    // The image as repacked is the saved state.
    MarkSaved();
    undo_.Reset();
    StartControllerTask();
}

cmcRect indMain::StoredPlacement() const {
    cmcRect stored{environ_.windowLeft, environ_.windowTop, environ_.windowWidth,
                   environ_.windowHeight};
    cmcScreen* screen = cmcPlatform::get().screen;
    return screen ? ClampToWorkArea(stored, screen->workArea()) : stored;
}

int indMain::StoredSplitter() const {
    return environ_.splitterV < MinimumSplitter ? MinimumSplitter : environ_.splitterV;
}

bool indMain::CloseQuery() {
    // A dialog or a clone session holds the window.
    if (!window_ || !window_->IsWindowEnabled()) return false;
    if (ConfirmSave(false) == answer::Cancel) return false;
    const cmcRect placement = window_->Placement();
    environ_.windowLeft = placement.left;
    environ_.windowTop = placement.top;
    environ_.windowWidth = placement.width;
    environ_.windowHeight = placement.height;
    environ_.windowMaximized = window_->IsMaximized() ? 1 : 0;
    environ_.splitterV = window_->SplitterPosition();
    return true;
}

void indMain::WindowClosed() {
    StopControllerTask();
    CloseSheet();
    window_ = nullptr;
    recovery_.Discard(); // a clean end: what was unsaved was saved or given up
}

void indMain::CloseSheet() {
    if (!window_ || !window_->SheetOpen()) return;
    // What is being typed or chosen in the sheet goes in before it closes.
    events_.Send(ev::CommitInput);
    std::array<int, 4> position{-1, -1, -1, -1};
    bool hadFocus = false;
    const std::string address = window_->OpenSheetAddress();
    if (!window_->CloseSheetView(position, hadFocus)) return;
    gridHadFocus_ = hadFocus;
    std::erase_if(history_, [&](const clsSheetHistoryEntry& e) { return e.address == address; });
    history_.insert(history_.begin(), {address, position});
}

void indMain::OpenSheet(const std::string& address) {
    CloseSheet();
    if (!window_) return;
    std::array<int, 4> position{-1, -1, -1, -1};
    for (const clsSheetHistoryEntry& entry : history_)
        if (entry.address == address) position = entry.position;
    const bool focus = window_->IsWindowVisible() && window_->IsWindowEnabled() && gridHadFocus_;
    window_->ShowSheet(address, position, focus, fontFlag_);
    fontFlag_ = false;
    if (!pendingStatus_.empty())
        events_.SendText(ev::StatusText, 0, 0, std::exchange(pendingStatus_, std::string()));
}

void indMain::ShowStatus(const std::string& text) {
    events_.SendText(ev::StatusText, 0, 0, text);
    pendingStatus_ = window_ && window_->SheetOpen() ? std::string() : text;
}

void indMain::OpenSheetAt(const std::string& address, const std::array<int, 4>& position) {
    CloseSheet();
    std::erase_if(history_, [&](const clsSheetHistoryEntry& e) { return e.address == address; });
    history_.insert(history_.begin(), {address, position});
    OpenSheet(address);
}

std::string indMain::FirstSheetAddress() const {
    if (organisation_.GroupCount() > 0) return "[St_CNBank]GI_Sheet_MemoryCH,Group 0";
    return "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp";
}

void indMain::ControllerStep() {
    cuiMain::ControllerStep();
    recovery_.Step(working_, modified_ != 0);
    if (recovery_.LeftOver() && MainWindowVisible()) OfferRecovery();
    // A document replacement closed the sheet: the tree's selected node opens it again, or
    // without a tree the newest sheet of the history.
    if (!window_ || !window_->IsWindowVisible()) return;
    if (!window_->SheetOpen() && !(window_->ActOnTreeSelection() && window_->SheetOpen()))
        OpenSheet(history_.empty() ? FirstSheetAddress() : history_.front().address);
    // After the sheet opened, whose first cell clears the status bar.
    if (correctionsPending_ && window_->IsWindowEnabled()) TellLoadCorrections();
}

// The status bar names the count; more than one record also gets a message box in the
// user's language, which offers the compare window with every correction.
void indMain::TellLoadCorrections() {
    correctionsPending_ = false;
    const int destination = organisation_.Destination().Index();
    const std::string label = indDestination::Label(destination);
    const std::string records = LoadCorrectionRecords(corrections_.records);
    const int status = correctedFile_.empty() ? loadtext::StatusRead : loadtext::StatusOpen;
    events_.SendText(ev::StatusText, 0, 0, LoadCorrectionText(status, {label, records}));
    if (corrections_.records <= 1) return;
    const std::string question = LoadCorrectionSummary(corrections_, destination) + "\n\n" +
                                 LoadCorrectionText(loadtext::ShowQuestion);
    if (Message(question, MsgIcon::Information, MsgButtons::YesNo) != answer::Yes) return;
    if (!window_) return;
    const std::string from =
        correctedFile_.empty() ? LoadCorrectionText(loadtext::AsRead) : correctedFile_;
    window_->ShowDifferences(
        from, DiffDocumentToAsRead(organisation_, asRead_, cellLogic_.Document().japaneseNames));
}

// ---- Document commands ----

int indMain::ConfirmSave(bool another) {
    events_.Send(ev::CommitInput);
    const std::string question =
        another ? Text(SaveAnotherQuestionKey)
                : ReplaceFirst(Text(SaveQuestionKey), "%s", FileNamePart(DocumentPath()));
    if (modified_ == 0) return answer::Yes;
    switch (Message(question, MsgIcon::Warning, MsgButtons::YesNoCancel)) {
    case answer::Yes: {
        const int saved = fileName_.empty() || another ? FileSaveAs() : SaveDocument(fileName_);
        return saved == 0 ? answer::Yes : answer::Cancel;
    }
    case answer::No:
        return answer::No;
    default:
        return answer::Cancel;
    }
}

int indMain::FileNew() {
    if (ConfirmSave(false) == answer::Cancel) return 1;
    working_.Assign(newDocument_);
    RepackWorkingImage();
    MarkSaved();
    undo_.Reset();
    ClearFileName();
    CloseSheet();
    events_.Send(ev::RebuildBranches);
    return 1;
}

cmcFileDialogRequest indMain::DialogRequest(const std::string& fileName) const {
    cmcFileDialogRequest request;
    request.defaultExtension = text_.GetLine(OpenDialogKey, 0);
    request.filter = text_.GetLine(OpenDialogKey, 1);
    request.fileName = fileName;
    request.folder = currentFolder_;
    return request;
}

int indMain::FileOpen() {
    events_.Send(ev::CommitInput);
    cmcFileDialogs* dialogs = cmcPlatform::get().dialogs;
    if (!dialogs) return 1;
    std::optional<std::string> path = dialogs->openFile(DialogRequest(""));
    if (!path || path->empty()) return 1;
    return OpenDocument(*path);
}

int indMain::DeleteChannels(std::vector<int> slots) {
    undo_.ActionStarting();
    std::array<int, 4> position{-1, -1, -1, -1};
    const std::string address = window_ && window_->SheetOpen() ? window_->OpenSheetAddress() : "";
    if (!address.empty()) position = window_->SheetPosition();
    CloseSheet();
    // From the last slot back, so that the slots before stay where they are.
    std::sort(slots.rbegin(), slots.rend());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    int deleted = 0;
    for (int slot : slots) {
        if (slot < 0 || slot >= organisation_.TotalChannels()) continue;
        const int group = organisation_.GroupOfChannel(slot);
        if (!organisation_.CheckLimit(datKind::Mch, group, false, true)) continue;
        events_.Send(ev::DeleteChannel, group, slot);
        ++deleted;
    }
    undo_.ActionDone(undoAction::Delete);
    RecheckModified();
    if (!address.empty()) OpenSheetAt(address, position);
    events_.Send(ev::MenuRefresh);
    return deleted;
}

int indMain::CompareWithFile() {
    events_.Send(ev::CommitInput);
    cmcFileDialogs* dialogs = cmcPlatform::get().dialogs;
    if (!dialogs || !window_) return 1;
    std::optional<std::string> path = dialogs->openFile(DialogRequest(""));
    if (!path || path->empty()) return 1;
    std::vector<clsImageDifference> differences;
    const bool japanese = cellLogic_.Document().japaneseNames;
    if (CompareDocumentWithFile(organisation_, *path, japanese, differences) != 0) return 1;
    window_->ShowDifferences(*path, differences);
    return 0;
}

int indMain::OpenDocument(const std::string& path) {
    const bool same = cmcRecent::SamePath(path, DocumentPath());
    if (ConfirmSave(same) == answer::Cancel) return 1;

    // The file is read into a scratch image, so a failed open changes nothing.
    cmcEeprom scratch;
    scratch.Assign(working_);
    scratch.Fill(0);
    cmcWaitCursorScope wait;
    if (ReadDocumentFile(path, scratch) != 0) return 1;

    TakeDocumentPath(path);
    working_.Assign(scratch);
    AdoptLoadedImage(working_);
    correctedFile_ = fileName_;
    MarkSaved();
    undo_.Reset();
    CloseSheet();
    events_.Send(ev::RebuildBranches);
    return 0;
}

int indMain::FileSave() {
    if (fileName_.empty()) return FileSaveAs();
    return SaveDocument(fileName_);
}

int indMain::FileSaveAs() {
    cmcFileDialogs* dialogs = cmcPlatform::get().dialogs;
    if (!dialogs) return 1;
    std::optional<std::string> path =
        dialogs->saveFile(DialogRequest(FileNamePart(DocumentPath())));
    if (!path || path->empty()) return 1;
    return SaveDocument(*path);
}

int indMain::SaveDocument(const std::string& path) {
    events_.Send(ev::CommitInput);
    // The stored form: the working image itself changes here.
    PrepareWorkingImageForStore();
    cmcWaitCursorScope wait;
    if (WriteDocumentFile(path, working_) != 0) return 1;
    TakeDocumentPath(path);
    MarkSaved();
    return 0;
}

// A document now lives at this path: its folder is the one the dialogs offer next, and
// the path heads the recent files.
void indMain::TakeDocumentPath(const std::string& path) {
    const std::string absolute = AbsolutePath(path);
    currentFolder_ = FolderPart(absolute);
    environ_.currentDirectory = currentFolder_;
    fileName_ = absolute;
    UpdateTitle();
    environ_.recent.AddToFront(absolute);
}

// ---- Clone commands ----

void indMain::CloneRead() {
    cloneCommands_.CloneRead();
}

void indMain::ShowRecord(const clsDiffRecord& record) {
    if (window_) window_->ShowRecord(record);
}

int indMain::RestoreBackup() {
    events_.Send(ev::CommitInput);
    if (cloneCommands_.Busy()) return 1;
    const std::string folder = DefaultBackupFolder();
    std::vector<clsBackupEntry> backups;
    {
        cmcWaitCursorScope wait;
        backups = ListBackups(folder, &working_, &organisation_.Destination(),
                              cellLogic_.Document().japaneseNames);
    }
    const cmcListAnswer answer = cmcAskList(RestoreQuestion(folder, backups));
    if (answer.button < 0 && !answer.activated) return 1;
    if (answer.line < 0 || answer.line >= int(backups.size())) return 1;
    const std::string& path = backups[size_t(answer.line)].path;
    cmcEeprom backup;
    backup.SetSize(working_.GetSize());
    if (ReadDocumentFile(path, backup) != 0) return 1;
    if (answer.button == 1) {
        cloneCommands_.CloneWriteImage(backup);
        return 0;
    }
    // Open as a new document: untitled, differing from every file, like a Clone Read.
    if (ConfirmSave(false) == answer::Cancel) return 1;
    working_.Assign(backup);
    AdoptLoadedImage(working_);
    MarkModified();
    ClearFileName();
    undo_.Reset();
    CloseSheet();
    events_.Send(ev::RebuildBranches);
    return 0;
}

void indMain::CloneWrite() {
    cloneCommands_.CloneWrite();
}

void indMain::CloneInformation() {
    cloneCommands_.CloneInformation();
}

void indMain::OpenCloneInformation() {
    if (window_) window_->ShowCloneInformation();
}

// ---- Events ----

void indMain::OnEvent(void* context, const cmcEvent& event) {
    static_cast<indMain*>(context)->HandleEvent(event);
}

void indMain::HandleEvent(const cmcEvent& event) {
    switch (event.code) {
    case ev::CloneInformation:
        CloneInformation();
        break;
    case ev::ShowMainWindow:
        if (window_) window_->ShowWindow();
        break;
    case ev::ReceiverFlags:
        if (event.a == 1) TakeReceiverFlags();
        break;
    case ev::AdoptDestination:
        AdoptReceiverDestination();
        break;
    case ev::CloneStarting:
        if (MainWindowVisible()) window_->EnableWindow(false);
        break;
    case ev::ClonePhaseDone:
    case ev::CloneEnding:
        if (MainWindowVisible()) window_->ShowWindow();
        break;
    default:
        HandleOrganisationEvent(organisation_, &events_, event.code, event.a, event.b);
        break;
    }
}

void indMain::TakeReceiverFlags() {
    if (environ_.destination > indEnviron::NoDestination) return;
    const uint8_t flags = ReceiverInformation()[InfoFlagsByte];
    environ_.fccInhibit = (flags >> 1) & 1;
    environ_.rxExpansion = flags & 1;
    ApplyBandLimits(environ_.destination);
}

void indMain::AdoptReceiverDestination() {
    // Anything the program does not install (including bytes no receiver sends) means none.
    environ_.destination = InstalledDestination(ReceiverInformation()[InfoDestinationByte]);
    FillNewDocumentImage();
    working_.Assign(newDocument_);
    organisation_.RecountOrganisation(); // the count tables follow the new image
    MarkSaved();
    undo_.Reset();
    ApplyBandLimits(environ_.destination);
}

// ---- Crash recovery ----

// A run that did not end cleanly left its unsaved image: the user may take it up as an
// untitled, modified document, or give it up.
void indMain::OfferRecovery() {
    const bool restore =
        Message(Text(RecoveryQuestionKey), MsgIcon::Question, MsgButtons::YesNo) == answer::Yes;
    cmcEeprom scratch;
    scratch.Assign(working_);
    scratch.Fill(0);
    if (recovery_.TakeLeftOver(restore, scratch) != 0 || !restore) return;
    working_.Assign(scratch);
    AdoptLoadedImage(working_);
    correctionsPending_ = false; // the document's own image, adopted before
    undo_.Reset();
    ClearFileName();
    MarkModified();
    CloseSheet();
    events_.Send(ev::RebuildBranches);
}

#include "app/cuiMain.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "settings/indEnviron.h"

namespace {
const char* const AppTitleKey = "GI_Sys_AppTitle";
const char* const UntitledEnglish = "Untitled";
const char* const UntitledJapanese = "無題";
} // namespace

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

cuiMain::cuiMain(indEnviron& environ, cmcGTex& text, cmcHelpGTex& help, cmcEvMan& events,
                 int imageSize)
    : environ_(environ), text_(text), help_(help), events_(events), imageSize_(imageSize),
      task_(std::make_unique<cmcTask>()) {
    text_.Attach(environ_.language == 1 ? JapaneseTable() : EnglishTable());
    help_.Attach(HelpTopicTable());
    currentFolder_ = DefaultFolder();
    TakeLocaleFormats();
    working_.SetSize(imageSize_);
    newDocument_.Assign(working_);
    task_->setHandler([this](cmcTask&) { ControllerStep(); });
}

cuiMain::~cuiMain() {
    task_->stop();
}

std::string cuiMain::DefaultFolder() const {
    if (!environ_.currentDirectory.empty()) return environ_.currentDirectory;
    cmcFolders* folders = cmcPlatform::get().folders;
    if (!folders) return {};
    if (std::string documents = folders->documents(); !documents.empty()) return documents;
    return folders->currentDirectory();
}

void cuiMain::TakeLocaleFormats() {
    timeFormat_ = "hh:nn:ss";
    cmcLocale* locale = cmcPlatform::get().locale;
    const char decimal = locale ? locale->decimalSeparator() : '.';
    if (locale) {
        dateFormat_ = locale->shortDateFormat();
        dateSeparator_ = locale->dateSeparator();
        timeSeparator_ = locale->timeSeparator();
    }
    // CSV text: a decimal point or comma as the system has it; the list separator is ","
    // unless that is the decimal separator.
    decimalSeparator_ = decimal == '.' || decimal == ',' ? decimal : '.';
    fieldSeparator_ = decimalSeparator_ == ',' ? ';' : ',';
}

std::string cuiMain::Text(const std::string& key) const {
    return text_.GetLine(key, 0);
}

int cuiMain::Message(const std::string& text, MsgIcon icon, MsgButtons buttons) {
    return cmcMessage(text, Text(AppTitleKey), icon, buttons);
}

int cuiMain::CheckModified() {
    if (modified_ == 0 && working_.IsDifferent(saved_)) MarkModified();
    return modified_;
}

void cuiMain::MarkSaved() {
    saved_.Assign(working_);
    modified_ = 0;
    UpdateTitle();
}

void cuiMain::MarkModified() {
    modified_ = 1;
    UpdateTitle();
}

void cuiMain::RecheckModified() {
    modified_ = working_.IsDifferent(saved_) ? 1 : 0;
    UpdateTitle();
}

std::string cuiMain::DocumentPath() const {
    if (!fileName_.empty()) return fileName_;
    const char* untitled = environ_.language == 1 ? UntitledJapanese : UntitledEnglish;
    if (currentFolder_.empty() || currentFolder_.back() == '/') return currentFolder_ + untitled;
    return currentFolder_ + "/" + untitled;
}

void cuiMain::ClearFileName() {
    fileName_.clear();
    UpdateTitle();
}

void cuiMain::UpdateTitle() {
    if (!window_) return;
    window_->SetCaption(FileNamePart(DocumentPath()) + " - " + Text(AppTitleKey));
}

void cuiMain::TakeCurrentFolder(const std::string& folder) {
    currentFolder_ = folder;
    environ_.currentDirectory = folder;
}

void cuiMain::AfterCellAction() {
    RestartEditSettle();
    CheckModified();
}

void cuiMain::RestartEditSettle() {
    editSettle_.emplace();
    editSettle_->start(EditSettleMs);
}

void cuiMain::InitIdentity() {
    modelWord_ = 0;
    extraWord_ = 0;
}

void cuiMain::BuildTree() {}

void cuiMain::AdoptLoadedImage(cmcEeprom&) {}

void cuiMain::StartControllerTask() {
    task_->setInterval(TaskIntervalMs);
}

void cuiMain::StopControllerTask() {
    task_->setInterval(-1);
}

void cuiMain::ControllerStep() {
    if (editSettle_ && editSettle_->remaining() == 0) {
        editSettle_.reset();
        events_.Post(ev::DataChanged);
    }
}

#include "app/indRecovery.h"

#include "app/indDocumentFile.h"
#include "files/cmcSafeWrite.h"
#include "platform/cmcUserFolders.h"

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
const char* const FileName = "recovery.tcf";
} // namespace

void indRecovery::Start(std::string path) {
    path_ = std::move(path);
    std::error_code error;
    leftOver_ = !path_.empty() && fs::is_regular_file(path_, error);
}

std::string indRecovery::DefaultFolder() {
    return cmcUserFolder("XDG_STATE_HOME", ".local/state");
}

std::string indRecovery::DefaultPath() {
    return (fs::path(DefaultFolder()) / FileName).string();
}

int indRecovery::TakeLeftOver(bool restore, cmcEeprom& image) {
    if (!leftOver_) return 0;
    leftOver_ = false;
    const int code = restore ? ReadDocumentFile(path_, image) : 0; // a damaged file is shown
    if (!restore || code != 0) {
        Discard();
        return code;
    }
    written_.assign(image.Data(), image.Data() + image.GetSize()); // the file holds it
    return 0;
}

bool indRecovery::Matches(const cmcEeprom& working) const {
    return written_.size() == size_t(working.GetSize()) &&
           std::memcmp(written_.data(), working.Data(), written_.size()) == 0;
}

void indRecovery::Step(const cmcEeprom& working, bool modified) {
    // A file of an earlier run stays as it is until the user has answered for it.
    if (path_.empty() || leftOver_) return;
    if (!modified) {
        due_ = cmcTick();
        if (!written_.empty()) Discard();
        return;
    }
    if (due_.isRunning()) {
        if (due_.remaining() == 0) Write(working);
        return;
    }
    if (!Matches(working)) due_.start(interval_);
}

void indRecovery::Write(const cmcEeprom& working) {
    std::error_code error;
    fs::create_directories(fs::path(path_).parent_path(), error);
    // A failure says nothing: the next change tries again, and the document is untouched.
    if (cmcSafeWrite(path_, RenderDocumentFile(working)) != clsSafeWriteResult::Ok) return;
    written_.assign(working.Data(), working.Data() + working.GetSize());
    ++writes_;
}

void indRecovery::Discard() {
    due_ = cmcTick();
    if (path_.empty() || leftOver_) return;
    written_.clear();
    std::error_code error;
    fs::remove(path_, error);
}

#include "platform/fake/cmcFakePlatform.h"

#include <vector>

std::unique_ptr<cmcTimer> cmcManualClock::createTimer() {
    return std::make_unique<cmcManualTimer>(*this);
}

void cmcManualClock::advance(uint32_t ms) {
    for (uint32_t step = 0; step < ms; ++step) {
        ++now_;
        // A timer callback may create or destroy timers: fire from a snapshot, and only
        // timers that still exist.
        std::vector<cmcManualTimer*> due;
        for (cmcManualTimer* timer : timers_)
            if (timer->active_ && timer->due_ == now_) due.push_back(timer);
        for (cmcManualTimer* timer : due) {
            if (!timers_.count(timer) || !timer->active_ || timer->due_ != now_) continue;
            timer->due_ = now_ + static_cast<uint32_t>(timer->interval_);
            timer->fire();
        }
    }
}

size_t cmcManualClock::activeTimers() const {
    size_t count = 0;
    for (const cmcManualTimer* timer : timers_)
        count += timer->active_ ? 1 : 0;
    return count;
}

cmcManualTimer::cmcManualTimer(cmcManualClock& clock) : clock_(clock) {
    clock_.timers_.insert(this);
}

cmcManualTimer::~cmcManualTimer() {
    clock_.timers_.erase(this);
}

void cmcManualTimer::start(int intervalMs) {
    interval_ = intervalMs < 1 ? 1 : intervalMs;
    due_ = clock_.now_ + static_cast<uint32_t>(interval_);
    active_ = true;
}

int cmcScriptedMessageBox::show(const std::string& text, const std::string& caption, MsgIcon icon,
                                MsgButtons buttons) {
    shown_.push_back({text, caption, icon, buttons});
    if (answers_.empty()) return buttons == MsgButtons::Ok ? answer::Ok : answer::Cancel;
    int next = answers_.front();
    answers_.pop_front();
    return next;
}

void cmcScriptedMessageBox::script(std::initializer_list<int> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

cmcListAnswer cmcScriptedListBox::show(const cmcListQuestion& question) {
    shown_.push_back(question);
    if (answers_.empty()) return {};
    const cmcListAnswer next = answers_.front();
    answers_.pop_front();
    return next;
}

void cmcScriptedListBox::script(std::initializer_list<cmcListAnswer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

namespace {
std::optional<std::string> nextAnswer(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto next = answers.front();
    answers.pop_front();
    return next;
}
} // namespace

std::optional<std::string> cmcScriptedDialogs::openFile(const cmcFileDialogRequest& request) {
    openRequests_.push_back(request);
    return nextAnswer(openAnswers_);
}

std::optional<std::string> cmcScriptedDialogs::saveFile(const cmcFileDialogRequest& request) {
    saveRequests_.push_back(request);
    return nextAnswer(saveAnswers_);
}

std::optional<int> cmcMemorySettings::readInt(SettingsScope scope, const std::string& key,
                                              const std::string& name) {
    auto found = ints_.find({scope, key, name});
    if (found == ints_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string> cmcMemorySettings::readString(SettingsScope scope,
                                                         const std::string& key,
                                                         const std::string& name) {
    auto found = strings_.find({scope, key, name});
    if (found == strings_.end()) return std::nullopt;
    return found->second;
}

void cmcMemorySettings::writeInt(SettingsScope scope, const std::string& key,
                                 const std::string& name, int value) {
    ++writes_;
    strings_.erase({scope, key, name});
    ints_[{scope, key, name}] = value;
}

void cmcMemorySettings::writeString(SettingsScope scope, const std::string& key,
                                    const std::string& name, const std::string& value) {
    ++writes_;
    ints_.erase({scope, key, name});
    strings_[{scope, key, name}] = value;
}

void cmcMemorySettings::removeKey(SettingsScope scope, const std::string& parent,
                                  const std::string& subkey) {
    const std::string prefix = parent + "/" + subkey;
    auto inside = [&](const Key& key) {
        const std::string& path = std::get<1>(key);
        return std::get<0>(key) == scope && (path == prefix || path.rfind(prefix + "/", 0) == 0);
    };
    std::erase_if(ints_, [&](const auto& entry) { return inside(entry.first); });
    std::erase_if(strings_, [&](const auto& entry) { return inside(entry.first); });
}

std::set<std::string>& cmcFakeInstanceLock::held() {
    static std::set<std::string> names;
    return names;
}

bool cmcFakeInstanceLock::tryLock(const std::string& name) {
    if (!mine_.empty()) return mine_ == name;
    if (!held().insert(name).second) return false;
    mine_ = name;
    return true;
}

void cmcFakeInstanceLock::unlock() {
    if (mine_.empty()) return;
    held().erase(mine_);
    mine_.clear();
}

cmcFakePlatform::cmcFakePlatform() {
    cmcPlatform platform;
    platform.clock = &clock;
    platform.timers = &clock;
    platform.messages = &messages;
    platform.dialogs = &dialogs;
    platform.settings = &settings;
    platform.lock = &lock;
    platform.folders = &folders;
    platform.screen = &screen;
    platform.locale = &locale;
    platform.cursor = &cursor;
    platform.ports = &ports;
    platform.clipboard = &clipboard;
    platform.lists = &lists;
    cmcPlatform::install(platform);
}

cmcFakePlatform::~cmcFakePlatform() {
    lock.unlock();
    cmcPlatform::uninstall();
}

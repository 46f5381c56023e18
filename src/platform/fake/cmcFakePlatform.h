#pragma once

// Fakes of every platform interface, for headless and deterministic tests. Creating a
// cmcFakePlatform installs it; destroying it uninstalls it.

#include "platform/cmcPlatform.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

// A clock that moves only when told to, and the timers that run on it.
class cmcManualClock : public cmcClock, public cmcTimerFactory {
  public:
    uint32_t tickCount() override { return now_; }
    std::unique_ptr<cmcTimer> createTimer() override;

    void setNow(uint32_t now) { now_ = now; }
    // Moves time forward millisecond by millisecond, firing every due timer in turn.
    void advance(uint32_t ms);
    size_t activeTimers() const;

  private:
    friend class cmcManualTimer;
    uint32_t now_ = 0;
    std::set<class cmcManualTimer*> timers_;
};

class cmcManualTimer : public cmcTimer {
  public:
    explicit cmcManualTimer(cmcManualClock& clock);
    ~cmcManualTimer() override;
    void start(int intervalMs) override;
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }

  private:
    friend class cmcManualClock;
    cmcManualClock& clock_;
    bool active_ = false;
    int interval_ = 0;
    uint32_t due_ = 0;
};

// Answers message boxes from a script and records every box shown.
class cmcScriptedMessageBox : public cmcMessageBox {
  public:
    struct Shown {
        std::string text;
        std::string caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    int show(const std::string& text, const std::string& caption, MsgIcon icon,
             MsgButtons buttons) override;
    // The answers given to the next boxes, in order. With the script empty, a box is
    // answered OK (an OK-only box) or Cancel.
    void script(std::initializer_list<int> answers);
    const std::vector<Shown>& shown() const { return shown_; }
    std::string lastText() const { return shown_.empty() ? std::string() : shown_.back().text; }
    void clear() { shown_.clear(); }

  private:
    std::deque<int> answers_;
    std::vector<Shown> shown_;
};

// Answers file dialogs from a script; an empty answer cancels.
class cmcScriptedDialogs : public cmcFileDialogs {
  public:
    std::optional<std::string> openFile(const cmcFileDialogRequest& request) override;
    std::optional<std::string> saveFile(const cmcFileDialogRequest& request) override;
    void scriptOpen(std::optional<std::string> answer) { openAnswers_.push_back(answer); }
    void scriptSave(std::optional<std::string> answer) { saveAnswers_.push_back(answer); }
    const std::vector<cmcFileDialogRequest>& openRequests() const { return openRequests_; }
    const std::vector<cmcFileDialogRequest>& saveRequests() const { return saveRequests_; }

  private:
    std::deque<std::optional<std::string>> openAnswers_, saveAnswers_;
    std::vector<cmcFileDialogRequest> openRequests_, saveRequests_;
};

// Settings in memory. Integers and strings are kept apart, so reading an integer that was
// stored as a string fails as the real store does for a value of the wrong type.
class cmcMemorySettings : public cmcSettingsBackend {
  public:
    std::optional<int> readInt(SettingsScope scope, const std::string& key,
                               const std::string& name) override;
    std::optional<std::string> readString(SettingsScope scope, const std::string& key,
                                          const std::string& name) override;
    void writeInt(SettingsScope scope, const std::string& key, const std::string& name,
                  int value) override;
    void writeString(SettingsScope scope, const std::string& key, const std::string& name,
                     const std::string& value) override;
    void removeKey(SettingsScope scope, const std::string& parent,
                   const std::string& subkey) override;
    void flush() override { ++flushes_; }

    bool empty() const { return ints_.empty() && strings_.empty(); }
    int flushes() const { return flushes_; }
    int writes() const { return writes_; }
    void clear() { ints_.clear(), strings_.clear(); }

  private:
    using Key = std::tuple<SettingsScope, std::string, std::string>;
    std::map<Key, int> ints_;
    std::map<Key, std::string> strings_;
    int flushes_ = 0;
    int writes_ = 0;
};

// A lock shared by all fake "processes" of one test.
class cmcFakeInstanceLock : public cmcInstanceLock {
  public:
    bool tryLock(const std::string& name) override;
    void unlock() override;
    static void releaseAll() { held().clear(); }

  private:
    static std::set<std::string>& held();
    std::string mine_;
};

class cmcFakeFolders : public cmcFolders {
  public:
    std::string documents() override { return documents_; }
    std::string currentDirectory() override { return current_; }
    std::string programName() override { return "pelham"; }
    std::string dataFolder() override { return data_; }
    std::string documents_ = "/home/user/Documents";
    std::string current_ = "/work";
    std::string data_ = "/usr/share/pelham";
};

class cmcFakeScreen : public cmcScreen {
  public:
    cmcRect screen() override { return screen_; }
    cmcRect workArea() override { return workArea_; }
    cmcRect screen_{0, 0, 1920, 1080};
    cmcRect workArea_{0, 0, 1920, 1040};
};

class cmcFakeLocale : public cmcLocale {
  public:
    char decimalSeparator() override { return decimal_; }
    std::string shortDateFormat() override { return "yyyy/MM/dd"; }
    char dateSeparator() override { return '/'; }
    char timeSeparator() override { return ':'; }
    bool japaneseSystem() override { return japanese_; }
    std::string messagesLocale() override { return messages_; }
    char decimal_ = '.';
    bool japanese_ = false;
    std::string messages_;
};

class cmcFakeWaitCursor : public cmcWaitCursor {
  public:
    void setWaiting(bool waiting) override { depth_ += waiting ? 1 : -1; }
    int depth_ = 0;
};

class cmcFakePortList : public cmcPortList {
  public:
    std::vector<cmcPortInfo> ports() override { return ports_; }
    std::vector<cmcPortInfo> ports_;
};

class cmcFakeClipboard : public cmcTextClipboard {
  public:
    std::string text() override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    std::string text_;
};

// Answers list questions from a script and records every question shown. With the script
// empty a question is cancelled.
class cmcScriptedListBox : public cmcListBox {
  public:
    cmcListAnswer show(const cmcListQuestion& question) override;
    void script(std::initializer_list<cmcListAnswer> answers);
    const std::vector<cmcListQuestion>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

  private:
    std::deque<cmcListAnswer> answers_;
    std::vector<cmcListQuestion> shown_;
};

class cmcFakePlatform {
  public:
    cmcFakePlatform();
    ~cmcFakePlatform();
    cmcFakePlatform(const cmcFakePlatform&) = delete;
    cmcFakePlatform& operator=(const cmcFakePlatform&) = delete;

    cmcManualClock clock;
    cmcScriptedMessageBox messages;
    cmcScriptedDialogs dialogs;
    cmcMemorySettings settings;
    cmcFakeInstanceLock lock;
    cmcFakeFolders folders;
    cmcFakeScreen screen;
    cmcFakeLocale locale;
    cmcFakeWaitCursor cursor;
    cmcFakePortList ports;
    cmcFakeClipboard clipboard;
    cmcScriptedListBox lists;
};

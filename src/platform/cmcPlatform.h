#pragma once

// The small layer that stands in for the desktop platform: timers and the millisecond
// clock, message boxes, file dialogs, the settings backend, the single-instance lock, the
// user's folders, the screen and the locale. Core code reaches the platform only through
// these interfaces; the program installs Qt implementations, the tests install fakes.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Message box answers: the button codes the program tests.
namespace answer {
constexpr int Ok = 1;
constexpr int Cancel = 2; // also Escape and the close box
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace answer

enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };

class cmcMessageBox {
  public:
    virtual ~cmcMessageBox() = default;
    // Shows a modal box and returns the answer (answer::Ok, Cancel, Yes or No).
    virtual int show(const std::string& text, const std::string& caption, MsgIcon icon,
                     MsgButtons buttons) = 0;
};

// Millisecond tick counter that wraps at 2^32, like the system's tick count.
class cmcClock {
  public:
    virtual ~cmcClock() = default;
    virtual uint32_t tickCount() = 0;
};

// One periodic timer of the user-interface thread.
class cmcTimer {
  public:
    virtual ~cmcTimer() = default;
    virtual void start(int intervalMs) = 0; // restarts with the new interval
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    void setCallback(std::function<void()> callback) { callback_ = std::move(callback); }

  protected:
    void fire() {
        if (callback_) callback_();
    }

  private:
    std::function<void()> callback_;
};

class cmcTimerFactory {
  public:
    virtual ~cmcTimerFactory() = default;
    virtual std::unique_ptr<cmcTimer> createTimer() = 0;
};

// What an open or save dialog is asked for. The filter is in the catalogue's form,
// "Data files (*.tcf)|*.tcf|All files (*.*)|*.*".
struct cmcFileDialogRequest {
    std::string defaultExtension;
    std::string filter;
    std::string fileName;
    std::string folder;
};

class cmcFileDialogs {
  public:
    virtual ~cmcFileDialogs() = default;
    // Open: the file must exist. Save: asks before overwriting. Empty when cancelled.
    virtual std::optional<std::string> openFile(const cmcFileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const cmcFileDialogRequest& request) = 0;
};

enum class SettingsScope { User, System };

// Persistent key-value store. Keys are paths with "/" ("Global", "Display/memory/colwidth");
// a value that is missing or does not read as the wanted type gives nothing.
class cmcSettingsBackend {
  public:
    virtual ~cmcSettingsBackend() = default;
    virtual std::optional<int> readInt(SettingsScope scope, const std::string& key,
                                       const std::string& name) = 0;
    virtual std::optional<std::string> readString(SettingsScope scope, const std::string& key,
                                                  const std::string& name) = 0;
    virtual void writeInt(SettingsScope scope, const std::string& key, const std::string& name,
                          int value) = 0;
    virtual void writeString(SettingsScope scope, const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    // Deletes parent/subkey with everything below it.
    virtual void removeKey(SettingsScope scope, const std::string& parent,
                           const std::string& subkey) = 0;
    // Makes the written values durable.
    virtual void flush() = 0;
};

// Guards the single running instance.
class cmcInstanceLock {
  public:
    virtual ~cmcInstanceLock() = default;
    // True when this process now holds the named lock; never waits.
    virtual bool tryLock(const std::string& name) = 0;
    virtual void unlock() = 0;
};

class cmcFolders {
  public:
    virtual ~cmcFolders() = default;
    virtual std::string documents() = 0;        // the user's documents folder, else home
    virtual std::string currentDirectory() = 0; // the process's current directory
    virtual std::string programName() = 0;      // the program's file name, without folder
    virtual std::string dataFolder() = 0;       // where presets and help pages are installed
};

struct cmcRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

class cmcScreen {
  public:
    virtual ~cmcScreen() = default;
    virtual cmcRect screen() = 0;   // the whole primary screen
    virtual cmcRect workArea() = 0; // the screen without panels and task bars
};

class cmcLocale {
  public:
    virtual ~cmcLocale() = default;
    virtual char decimalSeparator() = 0;
    virtual std::string shortDateFormat() = 0; // e.g. "dd/MM/yyyy"
    virtual char dateSeparator() = 0;
    virtual char timeSeparator() = 0;
    // Whether the system's language is Japanese (names may then hold half-width katakana).
    virtual bool japaneseSystem() = 0;
    // The locale messages are shown in: LC_ALL, else LC_MESSAGES, else LANG, the first
    // that is set and not empty ("ja_JP.UTF-8"); empty when none is.
    virtual std::string messagesLocale() = 0;
};

// Serial ports detected on this machine, for the port choice.
struct cmcPortInfo {
    std::string path;        // "/dev/ttyUSB0"
    std::string description; // "USB serial" (may be empty)
    bool usb = false;
};

class cmcPortList {
  public:
    virtual ~cmcPortList() = default;
    virtual std::vector<cmcPortInfo> ports() = 0;
};

// The desktop's clipboard, as plain text.
class cmcTextClipboard {
  public:
    virtual ~cmcTextClipboard() = default;
    virtual std::string text() = 0; // empty when it holds no text
    virtual void setText(const std::string& text) = 0;
};

// A modal window over a list of lines: a summary above them, headings between groups of
// lines, marked lines standing out, a note below; the caller's buttons (the first is the
// default), then Copy (the lines as text to the clipboard; the window stays) and Cancel.
struct cmcListQuestion {
    enum class Kind { Plain, Heading, Marked };
    struct Line {
        std::string text; // tabs part it into fields that line up with the other lines'
        Kind kind = Kind::Plain;
    };
    std::string caption;
    std::string summary;
    std::vector<Line> lines;
    std::string note;
    std::vector<std::string> buttons;
    std::string copyButton; // none when empty
    std::string cancelButton;
    bool chooseLine = false; // the keyboard starts in the lines, for choosing one of them
};

// button: the index of the caller's button pressed, or -1 for Cancel, Escape and the close
// box; line: the line current when it was pressed, or -1. A line double-clicked (or Enter
// on it) answers activated with that line and button -1.
struct cmcListAnswer {
    int button = -1;
    int line = -1;
    bool activated = false;
};

class cmcListBox {
  public:
    virtual ~cmcListBox() = default;
    virtual cmcListAnswer show(const cmcListQuestion& question) = 0;
};

class cmcWaitCursor {
  public:
    virtual ~cmcWaitCursor() = default;
    virtual void setWaiting(bool waiting) = 0;
};

// The installed implementations. Exactly one set is installed at a time; the objects are
// owned by whoever installed them.
struct cmcPlatform {
    cmcClock* clock = nullptr;
    cmcTimerFactory* timers = nullptr;
    cmcMessageBox* messages = nullptr;
    cmcFileDialogs* dialogs = nullptr;
    cmcSettingsBackend* settings = nullptr;
    cmcInstanceLock* lock = nullptr;
    cmcFolders* folders = nullptr;
    cmcScreen* screen = nullptr;
    cmcLocale* locale = nullptr;
    cmcWaitCursor* cursor = nullptr;
    cmcPortList* ports = nullptr;
    cmcTextClipboard* clipboard = nullptr; // none: copies stay inside the program
    cmcListBox* lists = nullptr;           // none: every list question is cancelled

    static void install(const cmcPlatform& platform);
    static void uninstall();
    static const cmcPlatform& get(); // aborts when nothing is installed
};

// Shows a modal error box captioned with the program's file name and ends the process at
// once, saving nothing. For faults of the program itself, never for bad input.
[[noreturn]] void cmcFatal(const std::string& text);

// Shows a message box captioned with the given text; convenience over the installed box.
int cmcMessage(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons = MsgButtons::Ok);

// Shows a list question on the installed box; without one it is answered Cancel.
cmcListAnswer cmcAskList(const cmcListQuestion& question);

// The default serial port: the first detected USB serial port, else /dev/ttyUSB0.
std::string cmcDefaultPortPath();

// Keeps the wait cursor shown for its lifetime.
class cmcWaitCursorScope {
  public:
    cmcWaitCursorScope();
    ~cmcWaitCursorScope();
    cmcWaitCursorScope(const cmcWaitCursorScope&) = delete;
    cmcWaitCursorScope& operator=(const cmcWaitCursorScope&) = delete;
};

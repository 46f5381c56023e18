#pragma once

// The five objects that live for the whole run, constructed in this order and destroyed
// in the reverse order: the settings store (which also takes the single-instance lock),
// the text catalogue, the help-topic catalogue, the event manager and the document
// controller. Each is also made the process-wide instance of its class.

#include <memory>
#include <optional>
#include <string>
#include <vector>

class cmcEvMan;
class cmcGTex;
class cmcHelpGTex;
class indEnviron;
class indMain;

class indProcess {
  public:
    static constexpr const char* MutexName = "Tarn Pelham APP Exclusive Mutex";
    static constexpr const char* SettingsKey = "Software\\Tarn\\Pelham";

    // args: the program's parameters, the program path first. Needs the platform installed.
    explicit indProcess(std::vector<std::string> args = {});
    ~indProcess();
    indProcess(const indProcess&) = delete;
    indProcess& operator=(const indProcess&) = delete;

    // False when another instance runs: the program then ends at once and writes nothing.
    bool AllowedToRun() const;

    // Uses this serial port for this run only; the stored choice is kept unless the user
    // chooses another port meanwhile.
    void UsePortForThisRun(const std::string& path);

    indEnviron& Environ() { return *environ_; }
    cmcGTex& Text() { return *text_; }
    cmcHelpGTex& Help() { return *help_; }
    cmcEvMan& Events() { return *events_; }
    indMain& Main() { return *main_; }

  private:
    std::unique_ptr<indEnviron> environ_;
    std::unique_ptr<cmcGTex> text_;
    std::unique_ptr<cmcHelpGTex> help_;
    std::unique_ptr<cmcEvMan> events_;
    std::unique_ptr<indMain> main_;
    std::optional<std::string> storedPort_; // the port to keep when --port chose one
    std::string portForThisRun_;
};

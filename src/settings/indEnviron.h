#pragma once

// The settings store: guards the single running instance, loads every user setting at
// start-up, holds them in plain fields for the whole run and writes them back once, when
// it is destroyed. Values live in the platform's settings backend under the groups
// "Global", "Recent File List", "View Option", "Window Position" and "Setup"; the backend
// itself is the per-user store, so the user key names it only.
//
// The language of the run is the first of: "--language en|ja" among the parameters, the
// user's own "Global/Language" (set by View > Language), the machine-wide "Language" in
// the system scope (the administrator's choice), and the locale (LC_ALL, LC_MESSAGES or
// LANG starting with "ja" is Japanese). English when none says.

#include "platform/cmcPlatform.h"
#include "settings/cmcRecent.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class indEnviron {
  public:
    static constexpr int ValidMark = 753951;
    static constexpr int NoDestination = 14;

    // Exclusive: the running program; takes the instance lock and writes on destruction.
    // ReadOnly: tools beside a running program; loads without the lock, never writes.
    enum class Access { Exclusive, ReadOnly };

    // args: the program's parameters, the program path first; "/setup" in any letter case
    // forces the Initial Setup, "--language en|ja" chooses the language of this run.
    indEnviron(std::string mutexName, std::string userKey, std::string machineKey,
               std::vector<std::string> args = {}, Access access = Access::Exclusive);
    // Writes the settings when this instance holds the lock and they are valid.
    ~indEnviron();
    indEnviron(const indEnviron&) = delete;
    indEnviron& operator=(const indEnviron&) = delete;

    // 1 when this is the only running instance (always 1 for ReadOnly), else 0.
    int AllowedToRun() const { return allowedToRun_; }
    bool IsReadOnly() const { return access_ == Access::ReadOnly; }

    // Small helpers over the backend, used for the sheets' column widths. ReadInteger gives
    // -1 when the value is missing or not an integer; the writers do nothing when ReadOnly.
    int ReadInteger(SettingsScope scope, const std::string& key, const std::string& name);
    void WriteInteger(SettingsScope scope, const std::string& key, const std::string& name,
                      int value);
    void DeleteKey(SettingsScope scope, const std::string& parent, const std::string& subkey);

    // Loading applies the band limits of the stored destination, which live in the model.
    // The program installs the model's function here before constructing the store.
    static void SetBandLimitHook(std::function<void(int destination)> hook);

    // The process-wide settings store of the running program.
    static indEnviron& Process();
    static void SetProcess(indEnviron* environ);

    // Whether names hold half-width katakana: destination 0 on a Japanese system, that is
    // with a Japanese locale or the Japanese language. The program and pelham-cli share it.
    bool JapaneseText(int destination) const;

    // The in-memory settings, read and assigned directly on the user-interface thread.
    int language = 0;             // 0 English, 1 Japanese: the language of this run
    int userLanguage = -1;        // the user's own choice, 0 or 1; -1 when none is stored
    cmcRecent recent;             // up to 10 paths, newest first
    int validMark = ValidMark;    // ValidMark when the stored settings were complete
    int fontSizePercentage = 100; // 25..1000
    int toolbarVisible = 1;       // 0 or 1
    int printerFontSize = 10;     // 8..12
    std::string comPort;          // device path of the cloning cable
    int highSpeed = 1;            // 0 or 1
    int transferType = 0;         // 0..2
    std::string currentDirectory;
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    int windowMaximized = 0; // 1: the main window opens maximised over that placement
    int splitterV = 200;
    bool defaultsApplied = false; // nothing usable was stored: the first start
    int modelType = 0;
    int setupDone = 0;  // 1: show the main window at start; 0: Initial Setup
    int fccInhibit = 0; // receiver flags, 0 or 1
    int rxExpansion = 0;
    int destination = NoDestination; // 0..127, NoDestination = none

    // "Etc Data": destination in bits 11..17, FCC inhibit bit 9, Rx expansion bit 1 and
    // the check bits 0, 5 and 10.
    static uint32_t PackEtcData(int destination, int fccInhibit, int rxExpansion);
    static bool EtcDataChecks(uint32_t value);

  private:
    bool Load();
    void LoadLanguage();
    std::optional<int> LanguageSwitch() const;
    void ApplyDefaults();
    void ApplySetupSwitch();
    void Write();

    std::string mutexName_;
    std::string userKey_;
    std::string machineKey_;
    std::vector<std::string> args_;
    Access access_;
    int allowedToRun_ = 0;
    bool holdsLock_ = false;
};

#pragma once

// The parts of the platform that need only QtCore: timers and the clock, the settings
// file, the single-instance lock, folders and the locale. pelham-cli and harlon-sim use
// these with their own console answers for message boxes.

#include "platform/cmcPlatform.h"

#include <memory>

class QLockFile;
class QSettings;

class cmcQtClock : public cmcClock, public cmcTimerFactory {
  public:
    uint32_t tickCount() override;
    std::unique_ptr<cmcTimer> createTimer() override;
};

// "$XDG_CONFIG_HOME/Tarn/Pelham.conf" for the user, "/etc/xdg/Tarn/Pelham.conf" for the
// machine-wide values.
class cmcQtSettings : public cmcSettingsBackend {
  public:
    cmcQtSettings();
    ~cmcQtSettings() override;
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
    void flush() override;

  private:
    QSettings& store(SettingsScope scope);
    std::unique_ptr<QSettings> user_, system_;
};

// A lock file in the user's runtime folder.
class cmcQtInstanceLock : public cmcInstanceLock {
  public:
    ~cmcQtInstanceLock() override;
    bool tryLock(const std::string& name) override;
    void unlock() override;

  private:
    std::unique_ptr<QLockFile> file_;
};

class cmcQtFolders : public cmcFolders {
  public:
    std::string documents() override;
    std::string currentDirectory() override;
    std::string programName() override;
    std::string dataFolder() override;
};

class cmcQtLocale : public cmcLocale {
  public:
    char decimalSeparator() override;
    std::string shortDateFormat() override;
    char dateSeparator() override;
    char timeSeparator() override;
    bool japaneseSystem() override;
    std::string messagesLocale() override;
};

class cmcQtPortList : public cmcPortList {
  public:
    std::vector<cmcPortInfo> ports() override;
};

// Owns the QtCore implementations and installs them; the caller fills in the rest.
class cmcQtCorePlatform {
  public:
    cmcQtCorePlatform();
    virtual ~cmcQtCorePlatform();
    // The platform with the QtCore parts filled in, to be completed and installed.
    cmcPlatform base();

    cmcQtClock clock;
    cmcQtSettings settings;
    cmcQtInstanceLock lock;
    cmcQtFolders folders;
    cmcQtLocale locale;
    cmcQtPortList ports;
};

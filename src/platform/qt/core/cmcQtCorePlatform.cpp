#include "platform/qt/core/cmcQtCorePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>
#include <time.h>

namespace {

class cmcQtTimer : public cmcTimer {
  public:
    cmcQtTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

QString path(const std::string& key, const std::string& name) {
    return QString::fromStdString(key + "/" + name);
}

} // namespace

uint32_t cmcQtClock::tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms); // wraps at 2^32 like the system tick count
}

std::unique_ptr<cmcTimer> cmcQtClock::createTimer() {
    return std::make_unique<cmcQtTimer>();
}

cmcQtSettings::cmcQtSettings()
    : user_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Tarn",
                                        "Pelham")),
      system_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::SystemScope, "Tarn",
                                          "Pelham")) {
    // The user's file alone; the machine-wide values are read from their own file.
    user_->setFallbacksEnabled(false);
    system_->setFallbacksEnabled(false);
}

cmcQtSettings::~cmcQtSettings() = default;

QSettings& cmcQtSettings::store(SettingsScope scope) {
    return scope == SettingsScope::User ? *user_ : *system_;
}

std::optional<int> cmcQtSettings::readInt(SettingsScope scope, const std::string& key,
                                          const std::string& name) {
    QVariant value = store(scope).value(path(key, name));
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    int number = value.toString().trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return number;
}

std::optional<std::string> cmcQtSettings::readString(SettingsScope scope, const std::string& key,
                                                     const std::string& name) {
    QVariant value = store(scope).value(path(key, name));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

void cmcQtSettings::writeInt(SettingsScope scope, const std::string& key, const std::string& name,
                             int value) {
    store(scope).setValue(path(key, name), value);
}

void cmcQtSettings::writeString(SettingsScope scope, const std::string& key,
                                const std::string& name, const std::string& value) {
    store(scope).setValue(path(key, name), QString::fromStdString(value));
}

void cmcQtSettings::removeKey(SettingsScope scope, const std::string& parent,
                              const std::string& subkey) {
    store(scope).remove(QString::fromStdString(parent + "/" + subkey));
}

void cmcQtSettings::flush() {
    user_->sync();
}

cmcQtInstanceLock::~cmcQtInstanceLock() {
    unlock();
}

bool cmcQtInstanceLock::tryLock(const std::string& name) {
    if (file_) return true;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QString file = QString::fromStdString(name);
    file.replace(QRegularExpression("[^A-Za-z0-9]+"), "-");
    auto lock = std::make_unique<QLockFile>(folder + "/" + file + ".lock");
    lock->setStaleLockTime(0); // a lock left by a crashed process is taken over
    if (!lock->tryLock(0)) return false;
    file_ = std::move(lock);
    return true;
}

void cmcQtInstanceLock::unlock() {
    if (file_) file_->unlock();
    file_.reset();
}

std::string cmcQtFolders::documents() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir::toNativeSeparators(folder).toStdString();
}

std::string cmcQtFolders::currentDirectory() {
    return QDir::currentPath().toStdString();
}

std::string cmcQtFolders::programName() {
    QString path =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString("pelham");
    return QFileInfo(path).fileName().toStdString();
}

std::string cmcQtFolders::dataFolder() {
    // Beside the program (a portable copy), the install the program is part of wherever its
    // prefix lies, the source tree of a build folder, else the system's installed data.
    QString beside =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    for (const QString& candidate : {beside + "/data", beside + "/../share/pelham",
                                     beside + "/../data", QString("/usr/share/pelham")}) {
        if (QDir(candidate + "/presets").exists())
            return QDir(candidate).canonicalPath().toStdString();
    }
    return (beside + "/data").toStdString();
}

char cmcQtLocale::decimalSeparator() {
    QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? char(point[0].unicode()) : '.';
}

std::string cmcQtLocale::shortDateFormat() {
    return QLocale::system().dateFormat(QLocale::ShortFormat).toStdString();
}

char cmcQtLocale::dateSeparator() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (QChar c : format)
        if (!c.isLetter()) return c.unicode() < 0x80 ? char(c.unicode()) : '/';
    return '/';
}

char cmcQtLocale::timeSeparator() {
    QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    for (QChar c : format)
        if (!c.isLetter() && !c.isSpace()) return c.unicode() < 0x80 ? char(c.unicode()) : ':';
    return ':';
}

std::vector<cmcPortInfo> cmcQtPortList::ports() {
    std::vector<cmcPortInfo> result;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        result.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                          info.hasVendorIdentifier() || info.portName().startsWith("ttyUSB") ||
                              info.portName().startsWith("ttyACM")});
    }
    return result;
}

bool cmcQtLocale::japaneseSystem() {
    return QLocale::system().language() == QLocale::Japanese;
}

std::string cmcQtLocale::messagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

cmcQtCorePlatform::cmcQtCorePlatform() = default;

cmcQtCorePlatform::~cmcQtCorePlatform() {
    cmcPlatform::uninstall();
}

cmcPlatform cmcQtCorePlatform::base() {
    cmcPlatform platform;
    platform.clock = &clock;
    platform.timers = &clock;
    platform.settings = &settings;
    platform.lock = &lock;
    platform.folders = &folders;
    platform.locale = &locale;
    platform.ports = &ports;
    return platform;
}

#include "settings/indEnviron.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

indEnviron* processEnviron = nullptr;

std::function<void(int)>& BandLimitHook() {
    static std::function<void(int)> hook;
    return hook;
}

constexpr const char* GlobalKey = "Global";
constexpr const char* RecentKey = "Recent File List";
constexpr const char* ViewKey = "View Option";
constexpr const char* WindowKey = "Window Position";
constexpr const char* SetupKey = "Setup";
// The machine-wide "Language" stands at the root of the system file; earlier builds of
// this program read it from a "Global" group, which is still honoured when the root has
// none.
constexpr const char* LanguageKeys[] = {"", "Global"};

constexpr uint32_t DestinationShift = 11;
constexpr uint32_t DestinationMask = 0x7F;
constexpr uint32_t FccInhibitBit = 1u << 9;
constexpr uint32_t RxExpansionBit = 1u << 1;
constexpr uint32_t CheckBits[] = {1u << 0, 1u << 5, 1u << 10};
constexpr uint32_t CheckMask = (1u << 0) | (1u << 5) | (1u << 10);
constexpr uint32_t FieldMask =
    (DestinationMask << DestinationShift) | FccInhibitBit | RxExpansionBit;

// Three check bits over the fields. The constant makes an all-zero value fail, so a
// cleared or truncated entry is caught.
uint32_t CheckValue(uint32_t fields) {
    const uint32_t destination = (fields >> DestinationShift) & DestinationMask;
    const uint32_t fcc = (fields & FccInhibitBit) ? 1 : 0;
    const uint32_t rx = (fields & RxExpansionBit) ? 1 : 0;
    const uint32_t check =
        (destination ^ (destination >> 3) ^ (destination >> 6) ^ (fcc << 1) ^ (rx << 2) ^ 5u) & 7u;
    uint32_t bits = 0;
    for (int i = 0; i < 3; ++i)
        if (check & (1u << i)) bits |= CheckBits[i];
    return bits;
}

std::string RecentName(int n) {
    return "Recent" + std::to_string(n);
}

// Reads the per-user values; the first missing one makes every later read fail too, so
// the caller tests once per group.
class UserReader {
  public:
    explicit UserReader(cmcSettingsBackend& backend) : backend_(backend) {}
    bool ok() const { return ok_; }
    int Int(const char* key, const std::string& name) {
        if (!ok_) return 0;
        auto value = backend_.readInt(SettingsScope::User, key, name);
        ok_ = value.has_value();
        return value.value_or(0);
    }
    std::string Text(const char* key, const std::string& name) {
        if (!ok_) return {};
        auto value = backend_.readString(SettingsScope::User, key, name);
        ok_ = value.has_value();
        return value.value_or(std::string());
    }

  private:
    cmcSettingsBackend& backend_;
    bool ok_ = true;
};

} // namespace

uint32_t indEnviron::PackEtcData(int destination, int fccInhibit, int rxExpansion) {
    uint32_t fields = (static_cast<uint32_t>(destination) & DestinationMask) << DestinationShift;
    if (fccInhibit) fields |= FccInhibitBit;
    if (rxExpansion) fields |= RxExpansionBit;
    return fields | CheckValue(fields);
}

bool indEnviron::EtcDataChecks(uint32_t value) {
    if (value & ~(FieldMask | CheckMask)) return false;
    return (value & CheckMask) == CheckValue(value & FieldMask);
}

indEnviron::indEnviron(std::string mutexName, std::string userKey, std::string machineKey,
                       std::vector<std::string> args, Access access)
    : mutexName_(std::move(mutexName)), userKey_(std::move(userKey)),
      machineKey_(std::move(machineKey)), args_(std::move(args)), access_(access) {
    if (access_ == Access::Exclusive) {
        cmcInstanceLock* lock = cmcPlatform::get().lock;
        if (!lock) cmcFatal("No instance lock.");
        holdsLock_ = lock->tryLock(mutexName_);
        if (!holdsLock_) return; // another instance runs: load nothing, write nothing
    }
    allowedToRun_ = 1;
    if (!Load()) ApplyDefaults();
    LoadLanguage();
    if (validMark != ValidMark) ApplyDefaults();
}

indEnviron::~indEnviron() {
    if (processEnviron == this) processEnviron = nullptr;
    if (!holdsLock_) return;
    if (validMark == ValidMark) Write();
    cmcPlatform::get().lock->unlock();
}

// False when a per-user value is missing or unreadable; the caller then applies the
// defaults.
bool indEnviron::Load() {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (!backend) return false;
    UserReader read(*backend);

    const int mark = read.Int(GlobalKey, "BBT");
    std::string port = read.Text(GlobalKey, "ComPort");
    const int speed = read.Int(GlobalKey, "ComSpeedHigh");
    const int transfer = read.Int(GlobalKey, "TransType");
    std::string folder = read.Text(GlobalKey, "Current Directory");
    if (!read.ok()) return false;
    validMark = mark;
    comPort = port.empty() ? cmcDefaultPortPath() : std::move(port);
    highSpeed = std::clamp(speed, 0, 1);
    transferType = std::clamp(transfer, 0, 2);
    currentDirectory = std::move(folder);

    for (int n = 0; n < cmcRecent::DefaultCapacity; ++n) {
        std::string path = read.Text(RecentKey, RecentName(n));
        if (!read.ok()) return false;
        recent.AddToBack(path);
    }

    const int fontSize = read.Int(ViewKey, "FontSize Percentage");
    const int toolbar = read.Int(ViewKey, "Toolbar Visible");
    const int printerFont = read.Int(ViewKey, "FontSize Printer");
    if (!read.ok()) return false;
    fontSizePercentage = std::clamp(fontSize, 25, 1000);
    toolbarVisible = toolbar != 0 ? 1 : 0;
    printerFontSize = std::clamp(printerFont, 8, 12);

    const int left = read.Int(WindowKey, "Left");
    const int top = read.Int(WindowKey, "Top");
    const int width = read.Int(WindowKey, "Width");
    const int height = read.Int(WindowKey, "Height");
    const int splitter = read.Int(WindowKey, "SplitterV");
    if (!read.ok()) return false;
    windowLeft = left;
    windowTop = top;
    windowWidth = width;
    windowHeight = height;
    splitterV = splitter;
    // Not among the values every store holds: missing means a normal window.
    windowMaximized =
        backend->readInt(SettingsScope::User, WindowKey, "Maximized").value_or(0) != 0;

    const int model = read.Int(SetupKey, "ModelType");
    const uint32_t etc = static_cast<uint32_t>(read.Int(SetupKey, "Etc Data"));
    if (!read.ok()) return false;
    modelType = model;
    destination = static_cast<int>((etc >> DestinationShift) & DestinationMask);
    fccInhibit = (etc & FccInhibitBit) ? 1 : 0;
    rxExpansion = (etc & RxExpansionBit) ? 1 : 0;
    // The band tables follow the destination as stored; a failed check below only marks
    // the receiver as unknown until the Initial Setup runs again.
    if (BandLimitHook()) BandLimitHook()(destination);
    if (!EtcDataChecks(etc)) destination = NoDestination;

    setupDone = destination <= 13 ? 1 : 0;
    ApplySetupSwitch();
    return true;
}

void indEnviron::ApplySetupSwitch() {
    for (const std::string& arg : args_) {
        std::string lower = arg;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower == "/setup") setupDone = 0;
    }
}

// "--language en|ja" among the parameters; nothing when absent or another word.
std::optional<int> indEnviron::LanguageSwitch() const {
    for (size_t i = 0; i + 1 < args_.size(); ++i) {
        if (args_[i] != "--language") continue;
        if (args_[i + 1] == "en") return 0;
        if (args_[i + 1] == "ja") return 1;
    }
    return std::nullopt;
}

void indEnviron::LoadLanguage() {
    auto valid = [](std::optional<int> value) -> std::optional<int> {
        if (value == 0 || value == 1) return value;
        return std::nullopt;
    };
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    std::optional<int> user, machine;
    if (backend) {
        // Read on its own: a user who never chose has no value, and that is no damage.
        user = valid(backend->readInt(SettingsScope::User, GlobalKey, "Language"));
        for (const char* key : LanguageKeys)
            if (!machine) machine = backend->readInt(SettingsScope::System, key, "Language");
        machine = valid(machine);
    }
    userLanguage = user.value_or(-1);
    cmcLocale* locale = cmcPlatform::get().locale;
    const bool japaneseLocale = locale && locale->messagesLocale().rfind("ja", 0) == 0;
    if (auto chosen = LanguageSwitch())
        language = *chosen;
    else if (user)
        language = *user;
    else if (machine)
        language = *machine;
    else
        language = japaneseLocale ? 1 : 0;
}

bool indEnviron::JapaneseText(int destination) const {
    if (destination != 0) return false;
    cmcLocale* locale = cmcPlatform::get().locale;
    return language == 1 || (locale && locale->japaneseSystem());
}

// Leaves the destination, the receiver flags and the language as they are.
void indEnviron::ApplyDefaults() {
    validMark = ValidMark;
    comPort = cmcDefaultPortPath();
    highSpeed = 1;
    transferType = 0;
    currentDirectory.clear();
    recent.Clear();
    fontSizePercentage = 100;
    toolbarVisible = 1;
    printerFontSize = 10;

    cmcScreen* screen = cmcPlatform::get().screen;
    const cmcRect area = screen ? screen->screen() : cmcRect{0, 0, 0, 0};
    windowWidth = area.width > 0 ? std::min(800, area.width * 9 / 10) : 800;
    windowHeight = area.height > 0 ? std::min(600, area.height * 9 / 10) : 600;
    windowLeft = area.width > 0 ? (area.width - windowWidth) / 2 : 0;
    windowTop = area.height > 0 ? (area.height - windowHeight) * 3 / 10 : 0;
    splitterV = 200;
    windowMaximized = 0;
    defaultsApplied = true;
    modelType = 0;
    setupDone = 0;
}

void indEnviron::Write() {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (!backend) return;
    auto writeInt = [&](const char* key, const std::string& name, int value) {
        backend->writeInt(SettingsScope::User, key, name, value);
    };
    auto writeText = [&](const char* key, const std::string& name, const std::string& value) {
        backend->writeString(SettingsScope::User, key, name, value);
    };

    writeInt(GlobalKey, "BBT", validMark);
    writeText(GlobalKey, "ComPort", comPort);
    writeInt(GlobalKey, "ComSpeedHigh", highSpeed);
    writeInt(GlobalKey, "TransType", transferType);
    writeText(GlobalKey, "Current Directory", currentDirectory);
    if (userLanguage == 0 || userLanguage == 1) writeInt(GlobalKey, "Language", userLanguage);

    for (int n = 0; n < cmcRecent::DefaultCapacity; ++n)
        writeText(RecentKey, RecentName(n), recent.Entry(n));

    writeInt(ViewKey, "FontSize Percentage", fontSizePercentage);
    writeInt(ViewKey, "Toolbar Visible", toolbarVisible);
    writeInt(ViewKey, "FontSize Printer", printerFontSize);

    writeInt(WindowKey, "Left", windowLeft);
    writeInt(WindowKey, "Top", windowTop);
    writeInt(WindowKey, "Width", windowWidth);
    writeInt(WindowKey, "Height", windowHeight);
    writeInt(WindowKey, "SplitterV", splitterV);
    writeInt(WindowKey, "Maximized", windowMaximized);

    writeInt(SetupKey, "ModelType", modelType);
    writeInt(SetupKey, "Etc Data",
             static_cast<int>(PackEtcData(destination, fccInhibit, rxExpansion)));
    backend->flush();
}

int indEnviron::ReadInteger(SettingsScope scope, const std::string& key, const std::string& name) {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (!backend) return -1;
    return backend->readInt(scope, key, name).value_or(-1);
}

void indEnviron::WriteInteger(SettingsScope scope, const std::string& key, const std::string& name,
                              int value) {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (IsReadOnly() || !backend) return;
    backend->writeInt(scope, key, name, value);
}

void indEnviron::DeleteKey(SettingsScope scope, const std::string& parent,
                           const std::string& subkey) {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (IsReadOnly() || !backend) return;
    backend->removeKey(scope, parent, subkey);
}

void indEnviron::SetBandLimitHook(std::function<void(int destination)> hook) {
    BandLimitHook() = std::move(hook);
}

indEnviron& indEnviron::Process() {
    if (!processEnviron) cmcFatal("No settings store.");
    return *processEnviron;
}

void indEnviron::SetProcess(indEnviron* environ) {
    processEnviron = environ;
}

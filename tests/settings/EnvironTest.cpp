#include "platform/fake/cmcFakePlatform.h"
#include "settings/indEnviron.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* MutexName = "Tarn Pelham APP Exclusive Mutex";
constexpr const char* Key = "Software\\Tarn\\Pelham";

class EnvironTest : public ::testing::Test {
  protected:
    void TearDown() override { indEnviron::SetBandLimitHook(nullptr); }

    std::unique_ptr<indEnviron> Start(std::vector<std::string> args = {"/usr/bin/pelham"}) {
        return std::make_unique<indEnviron>(MutexName, Key, Key, std::move(args));
    }
    // A complete store as a first run leaves it, then changed to the case's values.
    void StoreComplete(int destination = 3) {
        auto first = Start();
        first->destination = destination;
        first.reset();
    }
    void StoreInt(const char* key, const char* name, int value) {
        platform.settings.writeInt(SettingsScope::User, key, name, value);
    }
    int StoredInt(const char* key, const char* name) {
        return platform.settings.readInt(SettingsScope::User, key, name).value_or(-12345);
    }
    std::string StoredText(const char* key, const std::string& name) {
        return platform.settings.readString(SettingsScope::User, key, name).value_or("<none>");
    }

    cmcFakePlatform platform;
};

TEST_F(EnvironTest, FirstStartTakesDefaultsFromTheScreen) {
    struct Case {
        int screenWidth, screenHeight;
        int left, top, width, height;
    } cases[] = {
        {1920, 1080, 560, 144, 800, 600},
        {800, 600, 40, 18, 720, 540},
        {1000, 500, 100, 15, 800, 450},
    };
    for (const Case& c : cases) {
        platform.settings.clear();
        platform.screen.screen_ = {0, 0, c.screenWidth, c.screenHeight};
        auto env = Start();
        EXPECT_EQ(env->AllowedToRun(), 1);
        EXPECT_EQ(env->windowLeft, c.left) << c.screenWidth;
        EXPECT_EQ(env->windowTop, c.top) << c.screenWidth;
        EXPECT_EQ(env->windowWidth, c.width) << c.screenWidth;
        EXPECT_EQ(env->windowHeight, c.height) << c.screenWidth;
        EXPECT_EQ(env->setupDone, 0);
        EXPECT_EQ(env->destination, indEnviron::NoDestination);
        EXPECT_EQ(env->validMark, indEnviron::ValidMark);
        EXPECT_EQ(env->comPort, "/dev/ttyUSB0");
        EXPECT_EQ(env->fontSizePercentage, 100);
        EXPECT_EQ(env->toolbarVisible, 1);
        EXPECT_EQ(env->printerFontSize, 10);
        EXPECT_EQ(env->splitterV, 200);
        EXPECT_EQ(env->recent.Count(), 0);
    }
}

TEST_F(EnvironTest, StoredValuesAreClampedOnLoading) {
    struct Case {
        const char* key;
        const char* name;
        int stored;
        int indEnviron::*field;
        int expected;
    } cases[] = {
        {"Global", "ComSpeedHigh", 5, &indEnviron::highSpeed, 1},
        {"Global", "ComSpeedHigh", -3, &indEnviron::highSpeed, 0},
        {"Global", "TransType", 7, &indEnviron::transferType, 2},
        {"Global", "TransType", -1, &indEnviron::transferType, 0},
        {"View Option", "FontSize Percentage", 10, &indEnviron::fontSizePercentage, 25},
        {"View Option", "FontSize Percentage", 5000, &indEnviron::fontSizePercentage, 1000},
        {"View Option", "Toolbar Visible", 7, &indEnviron::toolbarVisible, 1},
        {"View Option", "Toolbar Visible", 0, &indEnviron::toolbarVisible, 0},
        {"View Option", "FontSize Printer", 3, &indEnviron::printerFontSize, 8},
        {"View Option", "FontSize Printer", 20, &indEnviron::printerFontSize, 12},
        {"Window Position", "Left", -5000, &indEnviron::windowLeft, -5000},
        {"Window Position", "SplitterV", 3, &indEnviron::splitterV, 3},
    };
    StoreComplete();
    for (const Case& c : cases) {
        StoreInt(c.key, c.name, c.stored);
        auto env = Start();
        EXPECT_EQ((*env).*c.field, c.expected) << c.name << " " << c.stored;
        EXPECT_EQ(env->setupDone, 1) << c.name;
        env->validMark = 0; // keep the store as the case left it
    }
}

TEST_F(EnvironTest, EmptyPortPathAndOddLanguageLoadAsDefaults) {
    platform.ports.ports_ = {{"/dev/ttyUSB3", "USB serial", true}};
    StoreComplete();
    platform.settings.writeString(SettingsScope::User, "Global", "ComPort", "");
    for (int language : {1, 0, 5, -1}) {
        platform.settings.writeInt(SettingsScope::System, "Global", "Language", language);
        auto env = Start();
        EXPECT_EQ(env->comPort, "/dev/ttyUSB3");
        EXPECT_EQ(env->language, language == 1 ? 1 : 0) << language;
        env->validMark = 0;
    }
}

// A packager writes the machine-wide language at the root of the system file; the
// "Global" group is read only when the root has none.
TEST_F(EnvironTest, MachineWideLanguageStandsAtTheRootOfTheSystemFile) {
    struct Case {
        std::optional<int> root;
        std::optional<int> global;
        int expected;
    } cases[] = {
        {1, std::nullopt, 1},
        {0, 1, 0},
        {std::nullopt, 1, 1},
        {7, std::nullopt, 0},
        {std::nullopt, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        platform.settings.clear();
        if (c.root) platform.settings.writeInt(SettingsScope::System, "", "Language", *c.root);
        if (c.global)
            platform.settings.writeInt(SettingsScope::System, "Global", "Language", *c.global);
        auto env = Start();
        EXPECT_EQ(env->language, c.expected) << c.root.value_or(-9) << " " << c.global.value_or(-9);
        env->validMark = 0;
    }
}

// The language of a run: --language, then the user's own value, then the machine-wide
// one, then the locale. A value out of range counts as none at its level.
TEST_F(EnvironTest, LanguageComesFromTheSwitchTheUserTheMachineThenTheLocale) {
    struct Case {
        const char* flag; // nullptr: no --language
        std::optional<int> user;
        std::optional<int> machine;
        const char* locale;
        int expected;
    } cases[] = {
        {nullptr, std::nullopt, std::nullopt, "", 0},
        {nullptr, std::nullopt, std::nullopt, "C", 0},
        {nullptr, std::nullopt, std::nullopt, "ja_JP.UTF-8", 1},
        {nullptr, std::nullopt, std::nullopt, "en_GB.UTF-8", 0},
        {nullptr, std::nullopt, 1, "en_US.UTF-8", 1},
        {nullptr, std::nullopt, 0, "ja_JP.UTF-8", 0},
        {nullptr, std::nullopt, 7, "ja_JP.UTF-8", 1},
        {nullptr, 0, 1, "ja_JP.UTF-8", 0},
        {nullptr, 1, 0, "C", 1},
        {nullptr, 3, 1, "C", 1},
        {"en", 1, 1, "ja_JP.UTF-8", 0},
        {"ja", 0, 0, "C", 1},
        {"fr", 0, 1, "ja_JP", 0},
    };
    for (const Case& c : cases) {
        platform.settings.clear();
        StoreComplete();
        if (c.user) StoreInt("Global", "Language", *c.user);
        if (c.machine)
            platform.settings.writeInt(SettingsScope::System, "", "Language", *c.machine);
        platform.locale.messages_ = c.locale;
        std::vector<std::string> args = {"/usr/bin/pelham"};
        if (c.flag) args.insert(args.end(), {"--language", c.flag});
        auto env = Start(args);
        EXPECT_EQ(env->language, c.expected)
            << (c.flag ? c.flag : "-") << " " << c.user.value_or(-9) << " "
            << c.machine.value_or(-9) << " " << c.locale;
        EXPECT_EQ(env->userLanguage, c.user == 0 || c.user == 1 ? *c.user : -1);
        env->validMark = 0;
    }
}

// View > Language stores the user's choice for the next start; the machine-wide value
// and the flag of one run are never written.
TEST_F(EnvironTest, TheUsersLanguageIsWrittenOnlyOnceChosen) {
    StoreComplete();
    platform.settings.writeInt(SettingsScope::System, "", "Language", 1);
    Start({"/usr/bin/pelham", "--language", "en"}).reset();
    EXPECT_EQ(StoredInt("Global", "Language"), -12345);

    auto env = Start();
    EXPECT_EQ(env->language, 1);
    env->userLanguage = 0;
    env.reset();
    EXPECT_EQ(StoredInt("Global", "Language"), 0);
    EXPECT_EQ(platform.settings.readInt(SettingsScope::System, "", "Language"), 1);
    EXPECT_EQ(Start()->language, 0);
}

// Names keep half-width katakana for destination 0 when the system or the language is
// Japanese.
TEST_F(EnvironTest, JapaneseTextNeedsDestinationZeroAndAJapaneseSystemOrLanguage) {
    struct Case {
        int destination;
        bool japaneseSystem;
        int language;
        bool expected;
    } cases[] = {
        {0, false, 0, false}, {0, true, 0, true},   {0, false, 1, true},
        {1, true, 1, false},  {14, true, 1, false},
    };
    auto env = Start();
    for (const Case& c : cases) {
        platform.locale.japanese_ = c.japaneseSystem;
        env->language = c.language;
        EXPECT_EQ(env->JapaneseText(c.destination), c.expected)
            << c.destination << " " << c.japaneseSystem << " " << c.language;
    }
}

TEST_F(EnvironTest, SettingsRoundTripThroughTheStore) {
    int limitsFor = -1;
    indEnviron::SetBandLimitHook([&](int destination) { limitsFor = destination; });
    {
        auto env = Start();
        env->destination = 9;
        env->fccInhibit = 1;
        env->rxExpansion = 0;
        env->comPort = "/dev/ttyACM1";
        env->currentDirectory = "/home/u/Radio";
        env->fontSizePercentage = 150;
        env->windowLeft = -20;
        env->modelType = 4;
        for (int i = 1; i <= 11; ++i)
            env->recent.AddToFront("/f" + std::to_string(i));
    }
    EXPECT_EQ(platform.settings.flushes(), 1);
    EXPECT_EQ(StoredText("Recent File List", "Recent9"), "/f2");
    EXPECT_EQ(StoredText("Global", "ComPort"), "/dev/ttyACM1");

    auto env = Start();
    EXPECT_EQ(limitsFor, 9);
    EXPECT_EQ(env->destination, 9);
    EXPECT_EQ(env->fccInhibit, 1);
    EXPECT_EQ(env->rxExpansion, 0);
    EXPECT_EQ(env->setupDone, 1);
    EXPECT_EQ(env->comPort, "/dev/ttyACM1");
    EXPECT_EQ(env->currentDirectory, "/home/u/Radio");
    EXPECT_EQ(env->fontSizePercentage, 150);
    EXPECT_EQ(env->windowLeft, -20);
    EXPECT_EQ(env->modelType, 4);
    ASSERT_EQ(env->recent.Count(), 10);
    EXPECT_EQ(env->recent.Entry(0), "/f11");
    EXPECT_EQ(env->recent.Entry(9), "/f2");
}

TEST_F(EnvironTest, EtcDataAcceptsEveryValueItWritesAndRejectsAnyFlippedBit) {
    for (int destination = 0; destination < 128; ++destination) {
        for (int flags = 0; flags < 4; ++flags) {
            const uint32_t value = indEnviron::PackEtcData(destination, flags & 1, flags >> 1);
            ASSERT_TRUE(indEnviron::EtcDataChecks(value)) << destination;
            EXPECT_EQ((value >> 11) & 0x7F, uint32_t(destination));
            for (int bit = 0; bit < 32; ++bit)
                ASSERT_FALSE(indEnviron::EtcDataChecks(value ^ (1u << bit)))
                    << destination << " bit " << bit;
        }
    }
    EXPECT_FALSE(indEnviron::EtcDataChecks(0)); // a cleared value is damage too
}

TEST_F(EnvironTest, DamagedEtcDataGivesNoDestinationAfterTheBandLimits) {
    StoreComplete(5);
    const int good = StoredInt("Setup", "Etc Data");
    int limitsFor = -1;
    indEnviron::SetBandLimitHook([&](int destination) { limitsFor = destination; });

    StoreInt("Setup", "Etc Data", good ^ 1);
    auto env = Start();
    EXPECT_EQ(limitsFor, 5); // the band limits follow the value as stored
    EXPECT_EQ(env->destination, indEnviron::NoDestination);
    EXPECT_EQ(env->setupDone, 0);
    EXPECT_EQ(env->fontSizePercentage, 100); // the rest loads normally
}

TEST_F(EnvironTest, SetupSwitchInAnyLetterCaseForcesTheInitialSetup) {
    StoreComplete();
    struct Case {
        std::vector<std::string> args;
        int setupDone;
    } cases[] = {
        {{"/usr/bin/pelham"}, 1},
        {{"/usr/bin/pelham", "/SETUP"}, 0},
        {{"/usr/bin/pelham", "file.tcf", "/SeTuP"}, 0},
        {{"/setup"}, 0},
        {{"/usr/bin/pelham", "setup"}, 1},
        {{"/usr/bin/pelham", "/setup2"}, 1},
    };
    for (const Case& c : cases) {
        auto env = Start(c.args);
        EXPECT_EQ(env->setupDone, c.setupDone) << c.args.back();
        env->validMark = 0;
    }
}

TEST_F(EnvironTest, AnyMissingUserValueResetsEverythingToDefaults) {
    // Every per-user value the store keeps: integers, then texts.
    const std::vector<std::pair<const char*, std::string>> ints = {
        {"Global", "BBT"},
        {"Global", "ComSpeedHigh"},
        {"Global", "TransType"},
        {"View Option", "FontSize Percentage"},
        {"View Option", "Toolbar Visible"},
        {"View Option", "FontSize Printer"},
        {"Window Position", "Left"},
        {"Window Position", "Top"},
        {"Window Position", "Width"},
        {"Window Position", "Height"},
        {"Window Position", "SplitterV"},
        {"Setup", "ModelType"},
        {"Setup", "Etc Data"},
    };
    std::vector<std::pair<const char*, std::string>> texts = {{"Global", "ComPort"},
                                                              {"Global", "Current Directory"}};
    for (int n = 0; n < 10; ++n)
        texts.push_back({"Recent File List", "Recent" + std::to_string(n)});

    for (const char* missing : {"Etc Data", "Recent5", "SplitterV", "ComPort"}) {
        platform.settings.clear();
        StoreComplete(2);
        StoreInt("View Option", "FontSize Percentage", 300);
        platform.settings.writeString(SettingsScope::User, "Recent File List", "Recent0", "/a");
        // Rebuild the store without the one value.
        std::vector<std::pair<std::pair<const char*, std::string>, int>> keptInts;
        std::vector<std::pair<std::pair<const char*, std::string>, std::string>> keptTexts;
        for (const auto& value : ints)
            if (value.second != missing)
                keptInts.push_back({value, StoredInt(value.first, value.second.c_str())});
        for (const auto& value : texts)
            if (value.second != missing)
                keptTexts.push_back({value, StoredText(value.first, value.second)});
        platform.settings.clear();
        for (const auto& [value, number] : keptInts)
            StoreInt(value.first, value.second.c_str(), number);
        for (const auto& [value, text] : keptTexts)
            platform.settings.writeString(SettingsScope::User, value.first, value.second, text);

        auto env = Start();
        EXPECT_EQ(env->fontSizePercentage, 100) << missing;
        EXPECT_EQ(env->recent.Count(), 0) << missing;
        EXPECT_EQ(env->setupDone, 0) << missing;
        EXPECT_EQ(env->destination, indEnviron::NoDestination) << missing;
        env->validMark = 0;
    }
}

TEST_F(EnvironTest, WrongValidityMarkGivesDefaultsAndWritesAValidStore) {
    StoreComplete(2);
    StoreInt("Global", "BBT", 1);
    StoreInt("View Option", "FontSize Percentage", 300);
    {
        auto env = Start();
        EXPECT_EQ(env->fontSizePercentage, 100);
        EXPECT_EQ(env->setupDone, 0);
    }
    EXPECT_EQ(StoredInt("Global", "BBT"), indEnviron::ValidMark);
}

TEST_F(EnvironTest, NothingIsWrittenWithoutTheValidityMark) {
    auto env = Start();
    env->validMark = 42;
    env.reset();
    EXPECT_TRUE(platform.settings.empty());
}

TEST_F(EnvironTest, ASecondInstanceNeitherReadsNorWrites) {
    auto first = Start();
    first->fontSizePercentage = 120;

    // The second process has its own handle on the same lock.
    cmcFakeInstanceLock otherLock;
    cmcPlatform other = cmcPlatform::get();
    other.lock = &otherLock;
    cmcPlatform::install(other);
    {
        indEnviron second(MutexName, Key, Key, {"/usr/bin/pelham"});
        EXPECT_EQ(second.AllowedToRun(), 0);
        second.fontSizePercentage = 999;
    }
    EXPECT_EQ(platform.settings.writes(), 0);
    other.lock = &platform.lock;
    cmcPlatform::install(other);

    first.reset();
    EXPECT_EQ(StoredInt("View Option", "FontSize Percentage"), 120);
}

TEST_F(EnvironTest, ReadOnlyLoadsWithoutTheLockAndNeverWrites) {
    StoreComplete(4);
    auto running = Start(); // the program runs and holds the lock
    const int writes = platform.settings.writes();
    {
        indEnviron reader(MutexName, Key, Key, {}, indEnviron::Access::ReadOnly);
        EXPECT_EQ(reader.AllowedToRun(), 1);
        EXPECT_TRUE(reader.IsReadOnly());
        EXPECT_EQ(reader.destination, 4);
        reader.fontSizePercentage = 500;
        reader.WriteInteger(SettingsScope::User, "Display/memory/colwidth", "3", 77);
        reader.DeleteKey(SettingsScope::User, "", "Global");
    }
    EXPECT_EQ(platform.settings.writes(), writes);
    EXPECT_EQ(StoredInt("Global", "BBT"), indEnviron::ValidMark);
}

TEST_F(EnvironTest, RegistryHelpersForColumnWidths) {
    auto env = Start();
    EXPECT_EQ(env->ReadInteger(SettingsScope::User, "Display/memory/colwidth", "3"), -1);
    env->WriteInteger(SettingsScope::User, "Display/memory/colwidth", "3", 64);
    env->WriteInteger(SettingsScope::User, "Display/memory/colwidth", "4", 0);
    EXPECT_EQ(env->ReadInteger(SettingsScope::User, "Display/memory/colwidth", "3"), 64);
    EXPECT_EQ(env->ReadInteger(SettingsScope::User, "Display/memory/colwidth", "4"), 0);
    platform.settings.writeString(SettingsScope::User, "Display/memory/colwidth", "5", "wide");
    EXPECT_EQ(env->ReadInteger(SettingsScope::User, "Display/memory/colwidth", "5"), -1);

    env->DeleteKey(SettingsScope::User, "Display", "memory");
    EXPECT_EQ(env->ReadInteger(SettingsScope::User, "Display/memory/colwidth", "3"), -1);
}

TEST_F(EnvironTest, ProcessWideStore) {
    auto env = Start();
    indEnviron::SetProcess(env.get());
    EXPECT_EQ(&indEnviron::Process(), env.get());
    env.reset(); // forgets itself
    indEnviron::SetProcess(nullptr);
}

} // namespace

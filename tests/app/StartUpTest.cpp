#include "AppTestSupport.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "settings/indEnviron.h"

#include <gtest/gtest.h>

namespace {

using testenv::TempFolder;

TEST(StartUpTest, TheProcessObjectsAreTheProcessWideOnes) {
    cmcFakePlatform platform;
    indProcess process;
    EXPECT_TRUE(process.AllowedToRun());
    EXPECT_EQ(&indEnviron::Process(), &process.Environ());
    EXPECT_EQ(&cmcGTex::Process(), &process.Text());
    EXPECT_EQ(&cmcHelpGTex::Process(), &process.Help());
    EXPECT_EQ(&cmcEvMan::Process(), &process.Events());
    EXPECT_TRUE(process.Text().IsAttached());
    EXPECT_TRUE(process.Help().IsAttached());
}

TEST(StartUpTest, ASecondInstanceEndsAndWritesNothing) {
    cmcFakePlatform platform;
    auto first = std::make_unique<indProcess>();
    first->Environ().windowLeft = 77;
    const int writesBefore = platform.settings.writes();
    {
        // The second process has its own handle on the same lock.
        cmcFakeInstanceLock otherLock;
        cmcPlatform other = cmcPlatform::get();
        other.lock = &otherLock;
        cmcPlatform::install(other);
        indProcess second;
        EXPECT_FALSE(second.AllowedToRun());
        second.Environ().windowLeft = 99;
    }
    EXPECT_EQ(platform.settings.writes(), writesBefore);
    EXPECT_FALSE(platform.settings.readInt(SettingsScope::User, "Window Position", "Left"));
    cmcPlatform restored = cmcPlatform::get();
    restored.lock = &platform.lock;
    cmcPlatform::install(restored);

    first.reset(); // the orderly end of the first writes its settings
    EXPECT_EQ(platform.settings.readInt(SettingsScope::User, "Window Position", "Left"), 77);
}

TEST(StartUpTest, APortGivenForOneRunIsNotStored) {
    cmcFakePlatform platform;
    std::string stored;
    {
        indProcess process;
        stored = process.Environ().comPort;
        process.UsePortForThisRun("/dev/pts/9");
        EXPECT_EQ(process.Environ().comPort, "/dev/pts/9");
    }
    EXPECT_EQ(platform.settings.readString(SettingsScope::User, "Global", "ComPort"), stored);
    {
        indProcess process;
        process.UsePortForThisRun("/dev/pts/9");
        process.Environ().comPort = "/dev/ttyUSB3"; // chosen by the user during the run
    }
    EXPECT_EQ(platform.settings.readString(SettingsScope::User, "Global", "ComPort"),
              "/dev/ttyUSB3");
}

TEST(StartUpTest, JapaneseUntitledDocument) {
    cmcFakePlatform platform;
    platform.settings.writeInt(SettingsScope::System, "Global", "Language", 1);
    TempFolder folder;
    RunningProgram program(platform, folder);
    EXPECT_EQ(program.main().DocumentPath(), folder.path().string() + "/\xE7\x84\xA1\xE9\xA1\x8C");
    EXPECT_EQ(program.window.caption, "\xE7\x84\xA1\xE9\xA1\x8C - Pelham");
}

TEST(StartUpTest, TheCurrentFolderComesFromTheSettingsThenDocumentsThenTheProcess) {
    struct Case {
        std::string stored, documents, expected;
    } cases[] = {
        {"/data/radio", "/home/u/Documents", "/data/radio"},
        {"", "/home/u/Documents", "/home/u/Documents"},
        {"", "", "/work"},
    };
    for (const Case& c : cases) {
        cmcFakePlatform platform;
        platform.folders.documents_ = c.documents;
        {
            indProcess first;
            first.Environ().currentDirectory = c.stored;
        }
        indProcess process;
        EXPECT_EQ(process.Main().CurrentFolder(), c.expected) << c.stored << c.documents;
    }
}

TEST(StartUpTest, CsvSeparatorsFollowTheSystemDecimalSeparator) {
    struct Case {
        char system, decimal, field;
    } cases[] = {{'.', '.', ','}, {',', ',', ';'}, {'\'', '.', ','}};
    for (const Case& c : cases) {
        cmcFakePlatform platform;
        platform.locale.decimal_ = c.system;
        indProcess process;
        EXPECT_EQ(process.Main().DecimalSeparator(), c.decimal) << c.system;
        EXPECT_EQ(process.Main().FieldSeparator(), c.field) << c.system;
        EXPECT_EQ(process.Main().TimeFormat(), "hh:nn:ss");
        EXPECT_EQ(process.Main().DateFormat(), "yyyy/MM/dd");
    }
}

TEST(StartUpTest, StoredPlacementIsClampedToTheWorkArea) {
    cmcFakePlatform platform;
    platform.screen.workArea_ = {0, 40, 1920, 1000};
    indProcess process;
    indEnviron& env = process.Environ();
    env.windowLeft = 5000, env.windowTop = 3000, env.windowWidth = 800, env.windowHeight = 600;
    const cmcRect placed = process.Main().StoredPlacement();
    EXPECT_EQ(placed.left, 1920 - 800);
    EXPECT_EQ(placed.top, 40 + 1000 - 600);
    EXPECT_EQ(placed.width, 800);
    EXPECT_EQ(placed.height, 600);

    env.splitterV = 3;
    EXPECT_EQ(process.Main().StoredSplitter(), MinimumSplitter);
    env.splitterV = 250;
    EXPECT_EQ(process.Main().StoredSplitter(), 250);
}

TEST(PlacementTest, TheWholeWindowStaysOnTheWorkArea) {
    const cmcRect work{100, 50, 1000, 700}; // right 1100, bottom 750
    struct Case {
        cmcRect stored, placed;
    } cases[] = {
        {{200, 100, 400, 300}, {200, 100, 400, 300}},    // inside: unchanged
        {{700, 450, 400, 300}, {700, 450, 400, 300}},    // touching the bottom right corner
        {{1200, 100, 400, 300}, {700, 100, 400, 300}},   // beyond the right edge
        {{200, 900, 400, 300}, {200, 450, 400, 300}},    // below the bottom
        {{-600, 100, 400, 300}, {100, 100, 400, 300}},   // beyond the left edge
        {{200, -80, 400, 300}, {200, 50, 400, 300}},     // above the top
        {{-2000, -2000, 300, 200}, {100, 50, 300, 200}}, // far off to the upper left
        {{5000, 5000, 300, 200}, {800, 550, 300, 200}},  // far off to the lower right
        {{0, 0, 2600, 1800}, {100, 50, 1000, 700}},      // stored at a larger scale
        {{300, 200, 1200, 400}, {100, 200, 1000, 400}},  // too wide only
        {{300, 100, 200, 800}, {300, 50, 200, 700}},     // too tall only
    };
    for (const Case& c : cases) {
        const cmcRect placed = ClampToWorkArea(c.stored, work);
        const auto text = [](const cmcRect& r) {
            return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                   std::to_string(r.width) + "x" + std::to_string(r.height);
        };
        EXPECT_EQ(text(placed), text(c.placed)) << text(c.stored);
    }
}

} // namespace

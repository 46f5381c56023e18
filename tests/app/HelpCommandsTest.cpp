#include "AppTestSupport.h"

#include "app/indDocumentCommands.h"
#include "app/indHelp.h"
#include "settings/indEnviron.h"
#include "sheet/cmcCellNames.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Command = cmcDocumentCommands::Command;
using testenv::TempFolder;

TEST(HelpFilePath, TheInstalledPageFirstThenTheOneBesideTheDataFolder) {
    TempFolder root;
    const std::filesystem::path data = root.path() / "data";
    std::filesystem::create_directories(data / "help/en");
    std::filesystem::create_directories(root.path() / "help/ja");
    testenv::writeFile((data / "help/en/index.html").string(), "<title>en</title>");
    testenv::writeFile((root.path() / "help/en/index.html").string(), "<title>en</title>");
    testenv::writeFile((root.path() / "help/ja/index.html").string(), "<title>ja</title>");
    const struct {
        const char* name;
        std::filesystem::path expected;
    } cases[] = {
        {"help/en/index.html", data / "help/en/index.html"},        // installed wins
        {"help/ja/index.html", root.path() / "help/ja/index.html"}, // source tree
        {"help/xx/index.html", data / "help/xx/index.html"},        // neither: the installed name
        {"/opt/help/index.html", "/opt/help/index.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HelpFilePath(data.string(), c.name), c.expected.string()) << c.name;
    EXPECT_EQ(HelpTopicPage("/a/help/en/index.html", 13), "/a/help/en/IDH1013.html");
}

class HelpCommandsTest : public ::testing::Test {
  protected:
    HelpCommandsTest() : program(platform, folder), commands(program.main()) {
        platform.folders.data_ = "/usr/share/pelham";
    }
    FakeMainWindow& window() { return program.window; }

    cmcFakePlatform platform;
    TempFolder folder;
    RunningProgram program;
    indDocumentCommands commands;
};

TEST_F(HelpCommandsTest, ContentsAndTopicsFollowTheLanguageSetting) {
    ASSERT_TRUE(commands.CanRun(Command::HelpContents, 0));
    commands.Run(Command::HelpContents, 0);
    EXPECT_EQ(window().helpPath, "/usr/share/pelham/help/en/index.html");
    EXPECT_EQ(window().helpContext, -1);

    program.environ().language = 1;
    commands.Run(Command::CellHelp, CL_Mch_Freq);
    EXPECT_EQ(window().helpPath, "/usr/share/pelham/help/ja/index.html");
    EXPECT_EQ(window().helpContext, 13);

    commands.Run(Command::CellHelp, CL_Menu_File_New); // no topic: the viewer decides
    EXPECT_EQ(window().helpContext, 0);
    EXPECT_TRUE(platform.messages.shown().empty()); // the fake viewer answered "no viewer"
}

TEST_F(HelpCommandsTest, TheViewersAnswersAreReported) {
    const std::string path = "/usr/share/pelham/help/en/index.html";
    window().helpAnswer = cuiMainWindow::HelpFileMissing;
    commands.Run(Command::HelpContents, 0);
    commands.Run(Command::CellHelp, CL_Mch_Freq);
    window().helpAnswer = cuiMainWindow::HelpNoTopic;
    commands.Run(Command::CellHelp, CL_Menu_File_New);
    window().helpAnswer = cuiMainWindow::HelpShown;
    commands.Run(Command::CellHelp, CL_Mch_Freq);
    commands.Run(Command::HelpContents, 0);

    const auto& shown = platform.messages.shown();
    ASSERT_EQ(shown.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(shown[i].text, "Cannot find the " + path + " file.");
        EXPECT_EQ(shown[i].icon, MsgIcon::Error);
        EXPECT_EQ(shown[i].caption, "Pelham");
    }
    EXPECT_EQ(shown[2].text, "No Help topic is associated with this item.");
    EXPECT_EQ(shown[2].icon, MsgIcon::Warning);
}

TEST_F(HelpCommandsTest, NothingWithoutAMainWindow) {
    program.main().WindowClosed();
    EXPECT_FALSE(commands.CanRun(Command::HelpContents, 0));
    commands.Run(Command::CellHelp, CL_Mch_Freq);
    EXPECT_EQ(window().helpContext, -2);
}

} // namespace

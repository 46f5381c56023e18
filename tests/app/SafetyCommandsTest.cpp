// The Clone menu's switches around a write, its serial trace, and File > Compare with...,
// run through their menu cells as the main menu runs them.

#include "AppTestSupport.h"

#include "app/indCloneSafety.h"
#include "app/indDocumentFile.h"
#include "clone/cmcSerialTrace.h"
#include "model/cmcMemoryMap.h"
#include "model/indCellLogic.h"
#include "sheet/cmcCellNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

using testenv::TempFolder;

class SafetyCommandsTest : public ::testing::Test {
  protected:
    SafetyCommandsTest() : program(platform, folder) {}
    ~SafetyCommandsTest() override { cmcSerialTrace::SwitchTo(nullptr); }

    // The item's state as the menu shows it (checked, disabled), after running it when asked.
    struct ItemState {
        bool checked;
        bool disabled;
    };
    ItemState Item(int logicId, bool run = false) {
        cmcCellObj item;
        item.cellType = CT_Null;
        item.logicId = logicId;
        cmcCellCapsule capsule;
        capsule.cell = &item;
        capsule.keyCode = run ? cellKey::Enter : 0;
        indActiveCell context;
        cmcCellLogic::Run(context, capsule, false);
        return {item.Flag(0), item.Flag(2)};
    }

    cmcFakePlatform platform;
    TempFolder folder;
    RunningProgram program;
};

TEST_F(SafetyCommandsTest, BackupAndVerifyItemsShowAndSwitchTheirSettings) {
    // Backup is on and verify off until the user says otherwise.
    EXPECT_TRUE(Item(CL_Menu_Clone_Backup).checked);
    EXPECT_FALSE(Item(CL_Menu_Clone_Verify).checked);

    Item(CL_Menu_Clone_Backup, true);
    Item(CL_Menu_Clone_Verify, true);
    EXPECT_FALSE(ReadCloneSafetySettings().backupBeforeWrite);
    EXPECT_TRUE(ReadCloneSafetySettings().verifyAfterWrite);
    EXPECT_FALSE(Item(CL_Menu_Clone_Backup).checked);
    EXPECT_TRUE(Item(CL_Menu_Clone_Verify).checked);

    Item(CL_Menu_Clone_Backup, true);
    EXPECT_TRUE(ReadCloneSafetySettings().backupBeforeWrite);
}

TEST_F(SafetyCommandsTest, SerialTraceAsksForItsFileAndSwitchesOff) {
    EXPECT_FALSE(Item(CL_Menu_Clone_Trace).checked);
    EXPECT_FALSE(Item(CL_Menu_Clone_Trace).disabled);

    platform.dialogs.scriptSave(std::nullopt); // cancelled: stays off
    Item(CL_Menu_Clone_Trace, true);
    EXPECT_FALSE(cmcSerialTrace::SwitchedOn());

    const std::string path = folder.file("trace.txt");
    platform.dialogs.scriptSave(path);
    Item(CL_Menu_Clone_Trace, true);
    ASSERT_EQ(platform.dialogs.saveRequests().size(), 2u);
    EXPECT_EQ(platform.dialogs.saveRequests().back().fileName, "pelham-trace.txt");
    EXPECT_TRUE(Item(CL_Menu_Clone_Trace).checked);
    EXPECT_TRUE(std::filesystem::exists(path));

    Item(CL_Menu_Clone_Trace, true); // ticked: switches off without asking
    EXPECT_EQ(platform.dialogs.saveRequests().size(), 2u);
    EXPECT_FALSE(Item(CL_Menu_Clone_Trace).checked);
}

TEST_F(SafetyCommandsTest, ATraceFileThatCannotBeWrittenSaysWhereAndWhy) {
    platform.dialogs.scriptSave(folder.file("missing/trace.txt"));
    Item(CL_Menu_Clone_Trace, true);
    EXPECT_FALSE(cmcSerialTrace::SwitchedOn());
    ASSERT_EQ(platform.messages.shown().size(), 1u);
    EXPECT_EQ(platform.messages.lastText(), "Cannot write the serial trace to " +
                                                folder.file("missing/trace.txt") +
                                                ": No such file or directory");
}

TEST_F(SafetyCommandsTest, CompareShowsTheDifferencesFromTheDocumentToTheFile) {
    cmcEeprom image;
    image.Assign(program.main().WorkingImage());
    const std::string same = folder.file("same.tcf");
    ASSERT_EQ(WriteDocumentFile(same, image), 0);
    image.SetByte(memmap::CommonSettings + memmap::common::BeepLevel, 12);
    const std::string other = folder.file("other.tcf");
    ASSERT_EQ(WriteDocumentFile(other, image), 0);

    platform.dialogs.scriptOpen(same);
    Item(CL_Menu_File_Compare, true);
    ASSERT_EQ(program.window.compared, std::vector<std::string>{same});
    EXPECT_TRUE(program.window.differences.empty());

    platform.dialogs.scriptOpen(other);
    Item(CL_Menu_File_Compare, true);
    ASSERT_EQ(program.window.compared.size(), 2u);
    ASSERT_EQ(program.window.differences.size(), 1u);
    EXPECT_EQ(program.window.differences[0].where, "Common settings, Sound");

    // Cancelled, or a file that is not a clone data file: its error, and no window.
    platform.dialogs.scriptOpen(std::nullopt);
    Item(CL_Menu_File_Compare, true);
    testenv::writeFile(folder.file("bad.tcf"), "not a clone data file\r\n");
    platform.dialogs.scriptOpen(folder.file("bad.tcf"));
    Item(CL_Menu_File_Compare, true);
    EXPECT_EQ(program.window.compared.size(), 2u);
    EXPECT_FALSE(platform.messages.shown().empty());
}

// A backup one difference away says so in the singular.
TEST_F(SafetyCommandsTest, ABackupOneDifferenceAwaySaysItInTheSingular) {
    std::vector<clsBackupEntry> backups(1);
    backups[0].when = "2026-12-11 07:00";
    backups[0].comment = "RADIO";
    backups[0].differences = 1;
    EXPECT_EQ(RestoreQuestion("/backups", backups).lines.at(0).text,
              "2026-12-11 07:00\tRADIO\t1 difference from the document");
}

// Clone > Restore Backup...: the backups newest first, each against the document; the one
// chosen opens as a new untitled document.
TEST_F(SafetyCommandsTest, RestoreBackupListsTheBackupsAndOpensTheChosenOne) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> previous =
        old ? std::optional<std::string>(old) : std::nullopt;
    setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    cmcEeprom image;
    image.Assign(program.main().WorkingImage());
    image.SetByte(memmap::CommonSettings + memmap::common::BeepLevel, 12);
    image.SetBytes(memmap::CloneComment, reinterpret_cast<const uint8_t*>("OLD RECEIVER    "), 16);
    std::string older, newer;
    ASSERT_EQ(SaveBackup(DefaultBackupFolder(), image, older), 0);
    ASSERT_EQ(SaveBackup(DefaultBackupFolder(), program.main().WorkingImage(), newer), 0);

    Item(CL_Menu_Clone_Restore, true); // cancelled: nothing changes
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    const cmcListQuestion& list = platform.lists.shown()[0];
    EXPECT_EQ(list.caption, "Restore Backup");
    ASSERT_EQ(list.lines.size(), 2u);
    EXPECT_NE(list.lines[0].text.find("the same as the document"), std::string::npos)
        << list.lines[0].text;
    EXPECT_NE(list.lines[1].text.find("OLD RECEIVER\t2 differences from the document"),
              std::string::npos)
        << list.lines[1].text; // the beep level and the comment
    EXPECT_EQ(program.main().Modified(), 0);

    platform.lists.script({{0, 1, false}}); // Open as New Document, the older one
    Item(CL_Menu_Clone_Restore, true);
    EXPECT_EQ(
        program.main().WorkingImage().GetByte(memmap::CommonSettings + memmap::common::BeepLevel),
        12);
    EXPECT_EQ(program.main().Modified(), 1);
    EXPECT_EQ(program.window.caption, "Untitled - Pelham");
    if (previous)
        setenv("XDG_DATA_HOME", previous->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

} // namespace

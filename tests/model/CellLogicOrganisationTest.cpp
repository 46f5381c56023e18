#include "FakeSheet.h"

#include "events/cmcEvents.h"
#include "model/cmcMemoryMap.h"

#include <gtest/gtest.h>

namespace {

TEST(CellLogicOrganisationTest, TypingIntoTheNewRowCreatesCategoriesGroupsAndBanks) {
    CellWorld world;
    world.Show(CT_Cate, 0);
    EXPECT_EQ(world.Query(CL_Misc_ChNo_CategoryOp, 1).text, "New");
    const CellResult opened = world.Key(CL_CategoryOP_Icon, 1, 'R'); // jumps to the name
    EXPECT_EQ(opened.logicId, CL_CategoryOP_Name);
    EXPECT_EQ(opened.text, "R");
    world.Type(CL_CategoryOP_Name, 1, "Rail");
    EXPECT_EQ(world.organisation.CategoryCount(), 2);
    EXPECT_EQ(world.Query(CL_CategoryOP_Name, 1).text, "Rail");
    EXPECT_EQ(world.treeEvents, (std::vector<int>{ev::CategoryInserted, ev::CategoryRenamed}));

    world.Show(CT_Group, 0);
    world.Type(CL_GroupOP_Name, 1, "Second");
    EXPECT_EQ(world.organisation.GroupsOfCategory(0), 2);

    world.Show(CT_Bas, 0);
    world.Type(CL_BasicOp_Name, 0, "Air");
    EXPECT_EQ(world.organisation.BankCount(), 1);
    EXPECT_EQ(world.Query(CL_BasicOp_Name, 0).text, "Air");
}

TEST(CellLogicOrganisationTest, ADirectKeyHeldElsewhereIsTakenOnlyAfterTheQuestion) {
    CellWorld world;
    world.Show(CT_Cate, 0);
    world.Type(CL_CategoryOP_Name, 1, "Other");
    world.Type(CL_CategoryOP_DirectKey, 0, "7");
    world.platform.messages.script({answer::Cancel});
    world.Type(CL_CategoryOP_DirectKey, 1, "7");
    EXPECT_EQ(world.Query(CL_CategoryOP_DirectKey, 1).text, "");
    world.platform.messages.script({answer::Ok});
    const CellResult taken = world.Type(CL_CategoryOP_DirectKey, 1, "7");
    EXPECT_EQ(world.Query(CL_CategoryOP_DirectKey, 1).text, "7");
    EXPECT_EQ(world.Query(CL_CategoryOP_DirectKey, 0).text, "");
    EXPECT_TRUE(taken.masks.back() & repaint::All);
    EXPECT_EQ(world.platform.messages.shown().size(), 2u);
    // Space steps a set key; an empty text removes it.
    world.Key(CL_CategoryOP_DirectKey, 1, cellKey::Space);
    EXPECT_EQ(world.Query(CL_CategoryOP_DirectKey, 1).text, "8");
    world.Type(CL_CategoryOP_DirectKey, 1, "");
    EXPECT_EQ(world.Query(CL_CategoryOP_DirectKey, 1).text, "");
}

TEST(CellLogicOrganisationTest, NameNumbersMustBeDigitsAndAreSharedByTheNamesRows) {
    CellWorld world;
    FillChannels(world, {3});
    world.Show(CT_Conv, 0);
    datCh second = world.Load(datKind::Mch, 1);
    second.nameIndex = world.Load(datKind::Mch, 0).nameIndex;
    world.Store(second);
    world.Type(CL_Mch_Name_Num, 0, "1x");
    EXPECT_EQ(world.Query(CL_Mch_Name_Num, 0).text, "");
    world.Type(CL_Mch_Name_Num, 0, "12");
    EXPECT_EQ(world.Query(CL_Mch_Name_Num, 1).text, "12");
    // A key typed into the name's second row goes to its first row.
    const CellResult jumped = world.Key(CL_Mch_Name_Name, 1, 'A');
    EXPECT_EQ(jumped.index, 0);
    EXPECT_EQ(jumped.text, "A");
}

TEST(CellLogicOrganisationTest, LinkEntriesAddEdgesAndShowThem) {
    CellWorld world;
    world.Show(CT_Prog_Link, 0);
    EXPECT_EQ(world.Query(CL_Misc_ChNo_PLink, 0).text, "Add");
    world.Key(CL_PgLink_No, 0, cellKey::Enter);
    EXPECT_EQ(world.pickLists.back(), "GI_Sheet_Sel_Pg_Link");
    world.Choose(CL_PgLink_No, 0, 2);
    EXPECT_EQ(world.Query(CL_PgSrch_Name, 1).text, "UHF");
    EXPECT_EQ(world.Query(CL_PgLink_Sepa1, 1).text, ":");
    EXPECT_EQ(world.Query(CL_PgLink_Sepa1, 0).text, "");
    EXPECT_TRUE(world.Query(CL_PgLink_No, 1).state & cellText::Teal);
    world.platform.messages.script({answer::Ok});
    world.Command(CL_PgLink_No, 1, CL_PMenu_Delete);
    EXPECT_EQ(world.Query(CL_PgSrch_Name, 1).text, "");
}

TEST(CellLogicOrganisationTest, CommonSettingsWriteTheirByteAndOnlyThat) {
    CellWorld world(5);
    world.Show(CT_Null, 0);
    const uint8_t* common = world.image.Data() + memmap::CommonSettings;
    world.Type(CL_Common_RLINK_Address, 0, "fz7");
    EXPECT_EQ(common[memmap::common::RLinkAddress], 0x7F);
    world.Type(CL_Common_RLINK_Address, 0, "");
    EXPECT_EQ(common[memmap::common::RLinkAddress], 0x01); // the minimum
    world.Type(CL_Common_Sound_Beep_Lv, 0, "45");
    EXPECT_EQ(common[memmap::common::BeepLevel], 39);
    const uint8_t dial = common[memmap::common::DialFunction];
    world.Key(CL_Common_Set_Dial_Func, 0, cellKey::Space);
    EXPECT_EQ(common[memmap::common::DialFunction], uint8_t(dial ^ 0x80));
    world.Choose(CL_Common_Scan_WAlert, 0, 0);
    EXPECT_TRUE(world.Query(CL_Common_Scan_WX_Ch, 0).grey());
    const CellResult on = world.Choose(CL_Common_Scan_WAlert, 0, 1);
    EXPECT_TRUE(on.masks.back() & repaint::All);
    EXPECT_FALSE(world.Query(CL_Common_Scan_WX_Ch, 0).grey());
    world.Type(CL_Common_CLONE_COMMENT, 0, "My radio");
    EXPECT_EQ(world.Query(CL_Common_CLONE_COMMENT, 0).text, "My radio");
}

TEST(CellLogicOrganisationTest, MenuCommandsReachTheControllerAndOthersAreDisabled) {
    CellWorld world;
    world.Show(CT_Null, 0);
    world.document.recent = {"/tmp/a.tcf"};
    world.Key(CL_Menu_File_New, 0, cellKey::Enter);
    world.Key(CL_Menu_File_Recent, 0, cellKey::Enter);
    EXPECT_EQ(world.document.commands, (std::vector<std::string>{"FileNew", "Open /tmp/a.tcf"}));
    cmcCellObj recent;
    recent.cellType = CT_Null, recent.logicId = CL_Menu_File_Recent, recent.index = 1;
    cmcCellCapsule capsule;
    capsule.cell = &recent;
    indActiveCell context;
    world.logic->Run(context, capsule, false);
    EXPECT_TRUE(recent.Flag(2)); // an empty entry: disabled and hidden
    EXPECT_TRUE(recent.Flag(1));
    cmcCellObj print;
    print.cellType = CT_Null, print.logicId = CL_Menu_File_Print_Current;
    capsule.cell = &print;
    world.logic->Run(context, capsule, false);
    EXPECT_TRUE(print.Flag(2)); // printing is not there yet
}

} // namespace

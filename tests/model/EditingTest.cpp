#include "FakeSheet.h"

#include "model/cmcMemoryMap.h"

#include <gtest/gtest.h>

namespace {

// A group 0 of ten channels, one name each, with distinct frequencies 145.000 + i * 0.025.
void TenChannels(CellWorld& world) {
    FillChannels(world, {10});
    world.Show(CT_Conv, 0);
    for (int i = 0; i < 10; ++i)
        world.Type(CL_Mch_Freq, i, std::to_string(145.0 + i * 0.025).substr(0, 7));
}

uint32_t FrequencyOf(CellWorld& world, int slot) {
    return world.Load(datKind::Mch, slot).frequency;
}

TEST(EditingTest, PastingThreeOnTheLastRowAsksAndReplacesOnlyThatChannel) {
    CellWorld world;
    TenChannels(world);
    const uint32_t nameOfLast = world.Load(datKind::Mch, 9).nameIndex;
    world.Command(CL_Mch_Freq, 0, CL_PMenu_Copy, 0, 2);
    EXPECT_EQ(world.clipboard.Count(), 3);
    world.platform.messages.script({answer::Ok, answer::Ok});
    const CellResult pasted = world.Command(CL_Mch_Freq, 9, CL_PMenu_Paste);
    ASSERT_EQ(world.platform.messages.shown().size(), 2u);
    EXPECT_NE(world.platform.messages.shown()[0].text.find("Channel overflow."), std::string::npos);
    EXPECT_EQ(world.platform.messages.shown()[1].text, "Overwriting. Are you sure?");
    EXPECT_EQ(FrequencyOf(world, 9), 145000000u);
    EXPECT_EQ(world.Load(datKind::Mch, 9).nameIndex, nameOfLast); // keeps its name
    EXPECT_EQ(world.organisation.TotalChannels(), 10);            // nothing inserted
    EXPECT_TRUE(pasted.selected);
    EXPECT_EQ(pasted.rangeLow, 9);
    EXPECT_EQ(pasted.rangeHigh, 9);
    EXPECT_EQ(world.statusTexts.back(), " Pasted");
}

TEST(EditingTest, CancelLeavesEverythingAsItWas) {
    CellWorld world;
    TenChannels(world);
    world.Command(CL_Mch_Freq, 0, CL_PMenu_Copy);
    world.platform.messages.script({answer::Cancel});
    world.Command(CL_Mch_Freq, 5, CL_PMenu_Paste);
    EXPECT_EQ(FrequencyOf(world, 5), 145125000u);
    world.platform.messages.script({answer::Cancel});
    world.Command(CL_Mch_Freq, 5, CL_PMenu_Delete);
    EXPECT_EQ(world.organisation.TotalChannels(), 10);
}

TEST(EditingTest, EdgesAskBeforeOverwritingAndInsertingPastTheEnd) {
    CellWorld world;
    world.Show(CT_Prog, 0);
    world.Command(CL_PgSrch_Freq_Low, 1, CL_PMenu_Copy);
    world.Command(CL_PgSrch_Freq_Low, 10, CL_PMenu_Paste); // onto an empty edge
    EXPECT_TRUE(world.platform.messages.shown().empty());
    EXPECT_EQ(world.Load(datKind::PgSrch, 10).NameText(), "VHF");
    world.platform.messages.script({answer::Ok});
    world.Command(CL_PgSrch_Freq_Low, 0, CL_PMenu_Paste); // onto an edge in use
    EXPECT_EQ(world.platform.messages.lastText(), "Overwriting. Are you sure?");

    world.Command(CL_PgSrch_Freq_Low, 1, CL_PMenu_Copy);
    world.Command(CL_PgSrch_Freq_Low, 24, CL_PMenu_Paste);
    world.platform.messages.clear();
    world.platform.messages.script({answer::Ok});
    world.Command(CL_PgSrch_Freq_Low, 3, CL_PMenu_Insert);
    EXPECT_NE(world.platform.messages.lastText().find("Channel overflow."), std::string::npos);
    EXPECT_FALSE(world.Load(datKind::PgSrch, 3).InUse());
    EXPECT_FALSE(world.Load(datKind::PgSrch, 24).InUse()); // edge 24 is lost
}

TEST(EditingTest, AutoWriteRowsCopyIntoMemoryChannelsOnly) {
    CellWorld world;
    // Auto-write slot 0 in use at 433 MHz, listed as the only row.
    datCh slot = world.Load(datKind::AutoMWCH, 0);
    slot.SetInUse(true);
    slot.frequency = 433000000;
    slot.StoreAndReload();
    world.image.Data()[memmap::AutoWriteOrder + 199] = 0;
    world.Show(CT_Amw, 0);
    EXPECT_EQ(world.Query(CL_AutoMWCH_Freq, 0).text, "433.000000");
    EXPECT_EQ(world.Key(CL_AutoMWCH_Freq, 0, '1').action, cellAction::None); // no keys
    world.Command(CL_AutoMWCH_Freq, 0, CL_PMenu_Copy, 0, 5); // reaches past the last row
    EXPECT_EQ(world.clipboard.Count(), 1);
    EXPECT_TRUE(world.Disabled(CL_AutoMWCH_Freq, 0, CL_PMenu_Paste));
    world.Show(CT_Conv, 0);
    EXPECT_FALSE(world.Disabled(CL_Mch_Freq, 1, CL_PMenu_Paste));
    world.platform.messages.script({answer::Ok});
    world.Command(CL_Mch_Freq, 1, CL_PMenu_Paste);
    EXPECT_EQ(FrequencyOf(world, 1), 433000000u);
}

TEST(EditingTest, DeletionStopsAtTheLimitsAndAtTheLastRecord) {
    CellWorld world;
    FillChannels(world, {1, 3});
    world.Show(CT_Conv, 0);
    world.platform.messages.script({answer::Ok, answer::Ok});
    world.Command(CL_Mch_Freq, 0, CL_PMenu_Delete);
    EXPECT_EQ(world.platform.messages.lastText(), "Can not delete all channels.");
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 1);

    // A selection that reaches the new row deletes only records.
    world.Show(CT_Conv, 1);
    world.platform.messages.script({answer::Ok});
    const CellResult deleted = world.Command(CL_Mch_Freq, 2, CL_PMenu_Delete, 2, 4);
    EXPECT_EQ(world.organisation.ChannelsOfGroup(1), 1);
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 1);
    EXPECT_EQ(world.organisation.TotalChannels(), 2);
    EXPECT_EQ(deleted.action, cellAction::ClearSelection);
    EXPECT_EQ(world.statusTexts.back(), " Deleted");
}

TEST(EditingTest, DeletingEveryCategoryKeepsOneAndSaysSo) {
    CellWorld world;
    world.Show(CT_Cate, 0);
    world.Key(CL_CategoryOP_Name, 1, 'A');
    world.Key(CL_CategoryOP_Name, 2, 'B');
    ASSERT_EQ(world.organisation.CategoryCount(), 3);
    world.platform.messages.script({answer::Ok, answer::Ok});
    world.Command(CL_CategoryOP_Name, 0, CL_PMenu_Delete, 0, 2);
    EXPECT_EQ(world.organisation.CategoryCount(), 1);
    EXPECT_EQ(world.platform.messages.lastText(), "Can not delete all channels.");
}

TEST(EditingTest, InsertingJoinsTheNameOrMakesANewOne) {
    CellWorld world;
    FillChannels(world, {3});
    world.Show(CT_Conv, 0);
    // Slots 0 and 1 share one name.
    datCh second = world.Load(datKind::Mch, 1);
    second.nameIndex = world.Load(datKind::Mch, 0).nameIndex;
    world.Store(second);
    world.organisation.RecountNames(0);
    world.Command(CL_Mch_Freq, 1, CL_PMenu_Insert);
    EXPECT_EQ(world.organisation.ChannelsOfName(0), 3);
    EXPECT_EQ(world.Query(CL_Misc_ChNo_Mch, 2).text, "0-2");

    const CellResult whole = world.Command(CL_Mch_Name_Name, 0, CL_PMenu_Insert, 0, 2, true);
    EXPECT_EQ(world.organisation.ChannelsOfName(0), 1); // a new name of one channel
    EXPECT_EQ(world.organisation.ChannelsOfName(1), 3);
    EXPECT_EQ(whole.rangeLow, 0);
    EXPECT_EQ(whole.rangeHigh, 0);
}

TEST(EditingTest, MovingAWholeNameTakesItsChannelsAndMovingARowKeepsTheNames) {
    CellWorld world;
    TenChannels(world);
    // Names: slots 0..2 one name, 3..4 another.
    const uint32_t a = world.Load(datKind::Mch, 0).nameIndex;
    const uint32_t b = world.Load(datKind::Mch, 3).nameIndex;
    for (int s : {1, 2}) {
        datCh r = world.Load(datKind::Mch, s);
        r.nameIndex = a;
        world.Store(r);
    }
    datCh r4 = world.Load(datKind::Mch, 4);
    r4.nameIndex = b;
    world.Store(r4);
    world.organisation.RecountNames(0);
    const CellResult moved = world.Command(CL_Mch_Name_Name, 0, CL_PMenu_CarryDown, 0, 2, true);
    EXPECT_EQ(moved.rangeLow, 2);
    EXPECT_EQ(moved.rangeHigh, 4);
    EXPECT_EQ(world.Load(datKind::Mch, 0).nameIndex, b);
    EXPECT_EQ(world.Load(datKind::Mch, 2).nameIndex, a);
    EXPECT_EQ(FrequencyOf(world, 2), 145000000u);
    EXPECT_EQ(world.Query(CL_Misc_ChNo_Mch, 4).text, "1-2");

    // One row down: the data moves, the names stay in their slots.
    const uint32_t name5 = world.Load(datKind::Mch, 5).nameIndex;
    const uint32_t name6 = world.Load(datKind::Mch, 6).nameIndex;
    world.Command(CL_Mch_Freq, 5, CL_PMenu_CarryDown);
    EXPECT_EQ(FrequencyOf(world, 6), 145125000u);
    EXPECT_EQ(world.Load(datKind::Mch, 5).nameIndex, name5);
    EXPECT_EQ(world.Load(datKind::Mch, 6).nameIndex, name6);
}

TEST(EditingTest, ClearEmptiesTheSelectedChannelsOfTheGroupOnlyAfterTheQuestion) {
    CellWorld world;
    FillChannels(world, {3, 3});
    world.Show(CT_Conv, 0);
    world.platform.messages.script({answer::Cancel});
    world.Command(CL_Mch_Freq, 1, CL_PMenu_Clear, 1, 3);
    EXPECT_EQ(world.platform.messages.lastText(), "Clearing. Are you sure?");
    EXPECT_TRUE(world.Load(datKind::Mch, 1).InUse());
    EXPECT_FALSE(world.document.modified);

    // The selection reaches the new row (slot 3, the next group's first channel).
    world.platform.messages.script({answer::Ok});
    world.Command(CL_Mch_Freq, 1, CL_PMenu_Clear, 1, 3);
    EXPECT_TRUE(world.Load(datKind::Mch, 0).InUse());
    EXPECT_FALSE(world.Load(datKind::Mch, 1).InUse());
    EXPECT_FALSE(world.Load(datKind::Mch, 2).InUse());
    EXPECT_TRUE(world.Load(datKind::Mch, 3).InUse());
    EXPECT_EQ(world.Query(CL_Mch_Freq, 1).text, "");
    EXPECT_EQ(world.Query(CL_Mch_Freq, 0).text, "145.000000");
    EXPECT_EQ(world.statusTexts.back(), " Cleared");
    world.Show(CT_Conv, 1);
    EXPECT_EQ(world.Query(CL_Mch_Freq, 3).text, "145.000000");

    // Only the new row selected: nothing to clear, nothing asked.
    world.Show(CT_Conv, 0);
    world.platform.messages.clear();
    world.Command(CL_Mch_Freq, 3, CL_PMenu_Clear);
    EXPECT_TRUE(world.platform.messages.shown().empty());
    EXPECT_TRUE(world.Load(datKind::Mch, 3).InUse());
}

// Bank 0 with CH-search entries of 145, 146 and 147 MHz named A, B and C.
void ThreeEntries(CellWorld& world) {
    world.Show(CT_Bas, 0);
    world.Type(CL_BasicOp_Name, 0, "Air");
    world.Show(CT_Bas_Ch, 0);
    for (int i = 0; i < 3; ++i) {
        world.Type(CL_Basic_ChSrch_Freq, i, std::to_string(145 + i));
        world.Type(CL_Basic_ChSrch_Name, i, std::string(1, char('A' + i)));
    }
    ASSERT_EQ(world.organisation.BankChCount(0), 3);
}

std::string EntryNames(CellWorld& world) {
    std::string names;
    for (int i = 0; i < world.organisation.BankChCount(0); ++i)
        names += world.Query(CL_Basic_ChSrch_Name, i).text;
    return names;
}

TEST(EditingTest, BasicEntriesMoveUpAndDownWithinTheirBank) {
    CellWorld world;
    ThreeEntries(world);
    const CellResult down = world.Command(CL_Basic_ChSrch_Freq, 0, CL_PMenu_CarryDown);
    EXPECT_EQ(EntryNames(world), "BAC");
    EXPECT_EQ(world.Load(datKind::BasicCh, 1).frequency, 145000000u); // data moves with it
    EXPECT_EQ(down.rangeLow, 1);
    EXPECT_EQ(down.rangeHigh, 1);
    EXPECT_EQ(down.index, 1); // the cursor follows

    const CellResult up = world.Command(CL_Basic_ChSrch_Freq, 1, CL_PMenu_CarryUp, 1, 2);
    EXPECT_EQ(EntryNames(world), "ACB");
    EXPECT_EQ(up.rangeLow, 0);
    EXPECT_EQ(up.rangeHigh, 1);

    // At the ends nothing moves; the selection stays.
    const CellResult top = world.Command(CL_Basic_ChSrch_Freq, 0, CL_PMenu_CarryUp);
    const CellResult bottom = world.Command(CL_Basic_ChSrch_Freq, 2, CL_PMenu_CarryDown);
    EXPECT_EQ(EntryNames(world), "ACB");
    EXPECT_TRUE(top.selected && bottom.selected);
    EXPECT_EQ(bottom.rangeLow, 2);
    EXPECT_EQ(world.organisation.BankChCount(0), 3);

    EXPECT_TRUE(world.Disabled(CL_Basic_ChSrch_Freq, 0, CL_PMenu_CarryUp));
    EXPECT_FALSE(world.Disabled(CL_Basic_ChSrch_Freq, 0, CL_PMenu_CarryDown));
    EXPECT_TRUE(world.Disabled(CL_Basic_ChSrch_Freq, 2, CL_PMenu_CarryDown));
    EXPECT_TRUE(world.Disabled(CL_Basic_ChSrch_Freq, 3, CL_PMenu_CarryUp)); // the new row
}

std::string BankNames(CellWorld& world) {
    std::string names;
    for (int i = 0; i < world.organisation.BankCount(); ++i)
        names += world.Query(CL_BasicOp_Name, i).text + ",";
    return names;
}

TEST(EditingTest, BanksAreInsertedUpToTwentyAndDeletedAfterTheQuestion) {
    CellWorld world;
    world.Show(CT_Bas, 0);
    for (int i = 0; i < 18; ++i)
        world.organisation.InsertBank(0);
    world.Type(CL_BasicOp_Name, 0, "A");
    // Three asked for, two places left: the limit stops the third.
    const CellResult inserted = world.Command(CL_BasicOp_Name, 0, CL_PMenu_Insert, 0, 2);
    EXPECT_EQ(world.organisation.BankCount(), 20);
    EXPECT_EQ(world.platform.messages.lastText(), "The number of categories exceeds.");
    EXPECT_EQ(world.platform.messages.shown().size(), 1u);
    EXPECT_EQ(world.Query(CL_BasicOp_Name, 2).text, "A");
    EXPECT_EQ(inserted.rangeLow, 0);
    EXPECT_EQ(inserted.rangeHigh, 2);
    EXPECT_EQ(world.statusTexts.back(), " Inserted");
    world.Command(CL_BasicOp_Name, 20, CL_PMenu_Insert);
    EXPECT_EQ(world.organisation.BankCount(), 20);

    // Delete: Cancel keeps every bank; OK deletes the selected ones that exist.
    CellWorld small;
    small.Show(CT_Bas, 0);
    for (const char* name : {"A", "B", "C"})
        small.Type(CL_BasicOp_Name, small.organisation.BankCount(), name);
    small.platform.messages.script({answer::Cancel});
    small.Command(CL_BasicOp_Name, 1, CL_PMenu_Delete);
    EXPECT_EQ(BankNames(small), "A,B,C,");
    EXPECT_NE(small.platform.messages.lastText().find("The all channel data of the category"),
              std::string::npos);
    small.platform.messages.script({answer::Ok});
    const CellResult deleted = small.Command(CL_BasicOp_Name, 1, CL_PMenu_Delete, 1, 5);
    EXPECT_EQ(BankNames(small), "A,");
    EXPECT_EQ(deleted.index, 1);
    EXPECT_EQ(small.statusTexts.back(), " Deleted");
    // Banks may all go: the basic search then has none.
    small.platform.messages.script({answer::Ok});
    small.Command(CL_BasicOp_Name, 0, CL_PMenu_Delete);
    EXPECT_EQ(small.organisation.BankCount(), 0);
}

struct StateCase {
    int cellType;
    int set;
    int logicId;
    int index;
    int command;
    bool disabled;
};

TEST(EditingTest, MenuItemsFollowTheEnablingRules) {
    CellWorld world;
    const StateCase cases[] = {
        {CT_Conv, 0, CL_Mch_Freq, 2, CL_PMenu_Copy, true},      // the new row
        {CT_Conv, 0, CL_Mch_Name_Name, 0, CL_PMenu_Copy, true}, // whole names
        {CT_Conv, 0, CL_Mch_Freq, 0, CL_PMenu_Copy, false},
        {CT_Conv, 0, CL_Mch_Freq, 0, CL_PMenu_Paste, true}, // empty clipboard
        {CT_Conv, 0, CL_Mch_Freq, 0, CL_PMenu_CarryUp, true},
        {CT_Conv, 0, CL_Mch_Freq, 0, CL_PMenu_CarryDown, false},
        {CT_Conv, 0, CL_Mch_Freq, 1, CL_PMenu_CarryDown, true},
        {CT_Conv, 0, CL_Mch_Freq, 2, CL_PMenu_Delete, true},
        {CT_Conv, 0, CL_Mch_Freq, 2, CL_PMenu_Insert, false},
        {CT_Prog, 0, CL_PgSrch_Name, 24, CL_PMenu_CarryDown, true},
        {CT_Prog, 0, CL_PgSrch_Name, 0, CL_PMenu_CarryUp, true},
        {CT_Prog, 0, CL_PgSrch_Name, 24, CL_PMenu_Clear, false},
        {CT_Prog_Link, 0, CL_PgLink_No, 0, CL_PMenu_Delete, true}, // the "Add" row
        {CT_Prog_Link, 0, CL_PgLink_No, 1, CL_PMenu_Delete, false},
        {CT_Cate, 0, CL_CategoryOP_Name, 1, CL_PMenu_Delete, true},
    };
    for (const auto& c : cases) {
        world.Show(c.cellType, c.set);
        EXPECT_EQ(world.Disabled(c.logicId, c.index, c.command), c.disabled)
            << c.logicId << " row " << c.index << " command " << c.command;
    }
}

} // namespace

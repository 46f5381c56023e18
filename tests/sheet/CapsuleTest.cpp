#include "sheet/cmcCellCapsule.h"

#include <gtest/gtest.h>

namespace {

cmcCellObj Bound(int type, int logic, int index) {
    cmcCellObj cell;
    cell.cellType = type;
    cell.logicId = logic;
    cell.index = index;
    return cell;
}

TEST(CapsuleTest, RepaintMaskBitsSelectCells) {
    const cmcCellObj changed = Bound(CT_Conv, CL_Mch_Freq, 7);
    const cmcCellObj sameCell = Bound(CT_Conv, CL_Mch_Freq, 7);
    const cmcCellObj sameRow = Bound(CT_Conv, CL_Mch_Mode, 7);
    const cmcCellObj nextRow = Bound(CT_Conv, CL_Mch_Mode, 8);
    const cmcCellObj farRow = Bound(CT_Conv, CL_Mch_Freq, 3);
    const cmcCellObj otherType = Bound(CT_Amw, CL_AutoMWCH_Freq, 7);
    const cmcCellObj heading = Bound(CT_Conv, CL_None, 7);

    struct Case {
        int mask;
        const cmcCellObj& other;
        bool covered;
    };
    const Case cases[] = {
        {0x00, sameCell, false}, {0x01, sameCell, true},   {0x01, sameRow, false},
        {0x02, heading, true},   {0x02, otherType, false}, {0x04, farRow, true},
        {0x04, sameRow, false},  {0x08, sameRow, true},    {0x08, otherType, true},
        {0x08, heading, false},  {0x10, nextRow, true},    {0x10, farRow, false},
        {0x10, heading, false},  {0x20, otherType, true},  {0x20, heading, false},
        {0x40, nextRow, true},   {0x40, farRow, false},    {0x80, farRow, true},
        {0x80, nextRow, false},  {0xFF, heading, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmcCellCapsule::RepaintCovers(c.mask, changed, c.other), c.covered)
            << "mask " << c.mask << " logic " << c.other.logicId << " index " << c.other.index;

    // "Bound" needs a cell type on the changed cell.
    const cmcCellObj untyped = Bound(CT_None, CL_Menu_File_New, 7);
    EXPECT_FALSE(cmcCellCapsule::RepaintCovers(0x08, untyped, sameRow));
}

TEST(CapsuleTest, ResetClearsAndCopiesAreIndependent) {
    cmcCellObj cell;
    cmcCellCapsule parent;
    cmcCellCapsule capsule;
    int repaints = 0;
    capsule.parentCapsule = &parent;
    capsule.cell = &cell;
    capsule.inputText = "145";
    capsule.stateFlags = cmcCellCapsule::ErrorMark;
    capsule.onRepaint = [&](cmcCellCapsule&, int) { ++repaints; };

    cmcCellCapsule copy = capsule;
    copy.inputText += "0";
    EXPECT_EQ(capsule.inputText, "145");
    EXPECT_EQ(copy.parentCapsule, &parent);
    copy.onRepaint(copy, 1);
    EXPECT_EQ(repaints, 1);

    capsule.Reset();
    EXPECT_EQ(capsule.parentCapsule, nullptr);
    EXPECT_EQ(capsule.cell, nullptr);
    EXPECT_TRUE(capsule.inputText.empty());
    EXPECT_EQ(capsule.stateFlags, 0u);
    EXPECT_FALSE(capsule.onRepaint);
}

TEST(CapsuleTest, QueriesGoThroughTheInstalledLogic) {
    cmcCellLogic::Install([](indActiveCell&, cmcCellCapsule& capsule, bool notify) {
        if (notify && capsule.onRepaint) capsule.onRepaint(capsule, 1);
        capsule.displayText =
            std::to_string(capsule.cell->index) + ":" + std::to_string(capsule.keyCode);
        return capsule.keyCode * 2;
    });
    ASSERT_TRUE(cmcCellLogic::IsInstalled());
    cmcCellObj cell = Bound(CT_Null, Flex0, 4);
    EXPECT_EQ(cmcCellLogic::QueryValue(cell, 21), 42);
    EXPECT_EQ(cmcCellLogic::QueryDisplayText(cell, 3), "4:3");
    cmcCellLogic::Install(nullptr);
    EXPECT_FALSE(cmcCellLogic::IsInstalled());
}

TEST(CellNamesTest, NameTablesRoundTrip) {
    for (int id = 0; id < LogicIdCount; ++id)
        EXPECT_EQ(FindLogicId(LogicIdName(id)), id);
    for (int type = 0; type < CellTypeCount; ++type)
        EXPECT_EQ(FindCellType(CellTypeName(type)), type);
    EXPECT_EQ(LogicIdCount, 201); // the receiver's 189 and twelve of our own after them
    EXPECT_EQ(FindLogicId("CallSheet"), 55);
    EXPECT_EQ(FindLogicId("CL_Mch_Freq"), 102);
    EXPECT_EQ(FindLogicId("CL_Common_CLONE_COMMENT"), 188);
    EXPECT_EQ(FindLogicId("cl_mch_freq"), -1);
    EXPECT_EQ(FindLogicId("CT_Conv"), -1);
    EXPECT_EQ(FindCellType("CL_Null"), -1);
    EXPECT_EQ(FindLogicId("CL_Menu_Clone_Trace"), 192);
    EXPECT_EQ(FindLogicId("CL_Menu_View_Language"), 193);
    EXPECT_EQ(FindLogicId("CL_Menu_Clone_Restore"), 195);
    EXPECT_EQ(FindLogicId("CL_Menu_File_Export_Other"), 197);
    EXPECT_EQ(FindLogicId("CL_PMenu_Sort"), 198);
    EXPECT_EQ(FindLogicId("CL_PMenu_FillSeries"), 200);
    EXPECT_EQ(LogicIdName(201), "");

    unsigned color = 0;
    EXPECT_TRUE(FindColor("clHightlightText", color));
    EXPECT_EQ(color, 0xFF00000Eu);
    EXPECT_TRUE(FindColor("clTeal", color));
    EXPECT_EQ(color, 0x00808000u);
    EXPECT_FALSE(FindColor("clTeal ", color));
    int value = 0;
    EXPECT_TRUE(FindCharset("OEM_CHARSET", value));
    EXPECT_EQ(value, 255);
    EXPECT_FALSE(FindCharset("OEM", value));
}

} // namespace

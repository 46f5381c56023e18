#include "catalogue/cmcGTex.h"
#include "sheet/cmcSheetLayout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

const char* const SheetLines[] = {
    "#CellModel_iChI",
    "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
    "#CellModel_eWh",
    "S<_WHB",
    "#GI_Sheet_Loops_Style",
    "(TitleString=Loops)(TitleColor=clTeal)(TitleFont=,,clWhite,-20,,fsBold,)(FixedCols=1)"
    "(FixedRows=1)(NoPrint)(PrintFontRatio=80)(MultiSelect=Line)(ColSizing)(ColorSelectLine)",
    "#GI_Sheet_Loops_BasicCell",
    "{(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(%CT_Conv.)}",
    "#GI_Sheet_Loops_Cells",
    "|{($iChI)(@ch0=0)}Freq",
    ":(SelectOFF)",
    "",
    ":(SelectON)(LoopFrom 3)",
    "{(@ch0++)}\\(@ch0)|{($eWh)(%CL_Mch_Freq[@ch0])}",
    ":(LoopTo)",
    ":(LoopFrom)(LoopTo)",
    "|{(%CL_Mch_Dup[0])}",
    "#",
    "#GI_Sheet_Empty_Style",
    "#GI_Sheet_Empty_BasicCell",
    "#GI_Sheet_Empty_Cells",
    "#",
    "#GI_Sheet_Bar_Style",
    "#GI_Sheet_Bar_BasicCell",
    "#GI_Sheet_Bar_Cells",
    "|",
    "#End_Of_Ovl",
};

class SheetLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { catalogue.Attach({SheetLines, std::size(SheetLines)}); }
    cmcGTex catalogue;
};

TEST_F(SheetLayoutTest, StyleLineSetsTheSheetsLook) {
    cmcSheetLayout sheet(catalogue, "GI_Sheet_Loops");
    sheet.Build();
    const auto& style = sheet.GetStyle();
    EXPECT_EQ(style.title, "Loops");
    EXPECT_EQ(style.titleColor, 0x00808000u);
    ASSERT_TRUE(style.titleFont);
    EXPECT_EQ(style.titleFont->height, -20);
    EXPECT_EQ(style.fixedCols, 1);
    EXPECT_EQ(style.fixedRows, 1);
    EXPECT_TRUE(style.noPrint);
    EXPECT_EQ(style.printFontRatio, 80);
    EXPECT_EQ(style.multiSelect, cmcSheetLayout::LineSelect);
    EXPECT_TRUE(style.colSizing);
    EXPECT_TRUE(style.colorSelectLine);
}

TEST_F(SheetLayoutTest, LoopsRepeatRowsWithCountingIndexes) {
    cmcSheetLayout sheet(catalogue, "GI_Sheet_Loops");
    sheet.SetBaseIndex(100);
    sheet.Build("{(Font=,,,%50,,,)}");
    ASSERT_EQ(sheet.Rows(), 6); // heading, blank row, three loop rows, last row
    EXPECT_EQ(sheet.Columns(), 2);

    EXPECT_EQ(sheet.Row(0).catalogueLine, 0);
    EXPECT_TRUE(sheet.Row(0).multiSelect);
    EXPECT_EQ(sheet.Row(1).catalogueLine, 2);
    EXPECT_FALSE(sheet.Row(1).multiSelect);
    EXPECT_EQ(sheet.CellsInRow(1), 0);
    for (int row = 2; row <= 4; ++row) {
        EXPECT_EQ(sheet.Row(row).catalogueLine, 4) << row;
        EXPECT_TRUE(sheet.Row(row).multiSelect) << row;
        const cmcCellObj& data = sheet.Cell(1, row);
        EXPECT_EQ(data.cellType, CT_Conv);
        EXPECT_EQ(data.logicId, CL_Mch_Freq);
        EXPECT_EQ(data.index, 100 + row - 1) << row; // @ch0 counted 1, then copies add one
        EXPECT_TRUE(data.IsSelectable());
        // Repeated rows are copies: the text of the first stays.
        EXPECT_EQ(sheet.Cell(0, row).templateText, "1");
    }
    EXPECT_EQ(sheet.Cell(1, 5).logicId, CL_Mch_Dup); // "LoopFrom" without a count repeats nothing
    EXPECT_EQ(sheet.Cell(1, 5).index, 100);
    EXPECT_EQ(sheet.Variables()[0], 1);

    ASSERT_TRUE(sheet.BasicCell().font);
    EXPECT_EQ(sheet.BasicCell().font->height, -8);
    EXPECT_EQ(sheet.BasicCell().index, 100);
    EXPECT_EQ(sheet.Cell(1, 0).templateText, "Freq");
    EXPECT_EQ(sheet.Cell(1, 0).parent, &sheet.BasicCell());
}

TEST_F(SheetLayoutTest, ASingleBarIsOneEmptyCell) {
    cmcSheetLayout sheet(catalogue, "GI_Sheet_Bar");
    sheet.Build();
    EXPECT_EQ(sheet.Rows(), 1);
    EXPECT_EQ(sheet.Columns(), 1);
    EXPECT_FALSE(sheet.GetStyle().title);
}

using SheetLayoutDeathTest = SheetLayoutTest;

TEST_F(SheetLayoutDeathTest, SheetsWithoutCellsAndCellsOutsideTheGridAreFatal) {
    EXPECT_DEATH(
        {
            cmcSheetLayout sheet(catalogue, "GI_Sheet_Empty");
            sheet.Build();
        },
        "Illegal Cell assign");
    EXPECT_DEATH(
        {
            cmcSheetLayout sheet(catalogue, "GI_Sheet_Bar");
            sheet.Build();
            sheet.Cell(1, 0);
        },
        "Illegal Cell selection");
    // A "_Cells" value that runs to the table's end has no "#" to stop at: a catalogue
    // fault, not an endless sheet.
    const char* const unended[] = {
        "#GI_Sheet_Open_Style",
        "#GI_Sheet_Open_BasicCell",
        "#GI_Sheet_Open_Cells",
        "|",
    };
    EXPECT_DEATH(
        {
            cmcGTex open;
            open.Attach({unended, std::size(unended)});
            cmcSheetLayout sheet(open, "GI_Sheet_Open");
            sheet.Build();
        },
        "'GI_Sheet_Open_Cells' runs past the end of the table");
}

} // namespace

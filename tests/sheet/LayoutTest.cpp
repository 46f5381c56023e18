#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

// Cell models as the program's table writes them, plus one that refers to another.
const char* const ModelLines[] = {
    "#CellModel_Basic",
    "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
    "#CellModel_iChN",
    ">-WHB(Color=clOlive)(Font=,,clWhite,,,fsBold,)",
    "#CellModel_iCR",
    ">_WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
    "#CellModel_bMn",
    "<~WH(Color=clMenu)(PopupMenu=)",
    "#CellModel_eWh",
    "S<_WHB",
    "#CellModel_Nested",
    "($eWh)X",
    "#CellModel_Counting",
    "(@ch0++)",
    "#End_Of_Ovl",
};

class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { catalogue.Attach({ModelLines, std::size(ModelLines)}); }

    // Parses every cell of a row with the given parent.
    std::vector<cmcCellObj> Row(std::string_view text, const cmcCellObj* parent = nullptr) {
        std::vector<cmcCellObj> cells;
        while (!text.empty()) {
            cells.emplace_back();
            text = cmcLayout::ParseCell(catalogue, text, cells.back(), parent, &variables);
        }
        return cells;
    }

    cmcCellObj Parse(std::string_view text, const cmcCellObj* parent = nullptr) {
        cmcCellObj cell;
        cmcLayout::ParseCell(catalogue, text, cell, parent, &variables);
        return cell;
    }

    cmcGTex catalogue;
    cmcSheetVariables variables{};
};

TEST_F(LayoutTest, RowsSplitAtUnescapedBarsOnly) {
    struct Case {
        const char* row;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"|", {""}},
        {"||", {"", ""}},
        {"a|b|", {"a", "b"}},
        {"|{+}|{+}", {"", "", ""}},
        {"a\\|b|c", {"a|b", "c"}},
        {"{(Font=,,,%50,,,)}x|y", {"x", "y"}},
        // U+FF5C FULLWIDTH VERTICAL LINE and U+FF5B FULLWIDTH LEFT CURLY BRACKET: text, not
        // mark-up.
        {"\xEF\xBD\x9C\xEF\xBD\x9B|b", {"\xEF\xBD\x9C\xEF\xBD\x9B", "b"}},
    };
    for (const Case& c : cases) {
        const auto cells = Row(c.row);
        ASSERT_EQ(cells.size(), c.texts.size()) << c.row;
        for (size_t i = 0; i < cells.size(); ++i)
            EXPECT_EQ(cells[i].templateText, c.texts[i]) << c.row;
    }
}

TEST_F(LayoutTest, RowNumberHeadingSetsItsVariable) {
    variables[0] = 7;
    const auto cells = Row("|{($iChN)^!B(@ch0=0)}CH");
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].templateText, "");
    const cmcCellObj& heading = cells[1];
    EXPECT_EQ(heading.templateText, "CH");
    EXPECT_EQ(heading.AlignH(), 1);
    EXPECT_EQ(heading.AlignV(), 1);
    EXPECT_FALSE(heading.HasStyle(cmcCellObj::BottomRule));
    EXPECT_TRUE(heading.HasLayout(cmcCellObj::FitWidth));
    EXPECT_EQ(heading.color, 0x00008080u); // clOlive
    ASSERT_TRUE(heading.font);
    EXPECT_EQ(heading.font->color, 0x00FFFFFFu);
    EXPECT_EQ(heading.font->style, fsBold);
    EXPECT_EQ(variables[0], 0);
}

TEST_F(LayoutTest, BindingsTakeTypeLogicIndexAndKey) {
    const cmcCellObj item = Parse("{S(%Flex0[2]:+DUP)}+DUP");
    EXPECT_TRUE(item.IsSelectable());
    EXPECT_EQ(item.cellType, CT_None);
    EXPECT_EQ(item.logicId, Flex0);
    EXPECT_EQ(item.index, 2);
    EXPECT_EQ(item.keyText, "+DUP");
    EXPECT_EQ(item.templateText, "+DUP");

    const cmcCellObj recent = Parse("Recent File\t{(%CL_Menu_File_Recent[0])}");
    EXPECT_EQ(recent.cellType, CT_None);
    EXPECT_EQ(recent.logicId, CL_Menu_File_Recent);
    EXPECT_EQ(recent.index, 0);
    EXPECT_EQ(recent.templateText, "Recent File");

    const cmcCellObj edit = Parse("{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}");
    EXPECT_EQ(edit.cellType, CT_PopupMenu);
    EXPECT_EQ(edit.logicId, CL_PMenu_Edit);
    EXPECT_EQ(edit.keyText, "Enter");

    // "CT_Conv." sets the type and clears the logic id; a key keeps its plus signs and loses
    // its backslashes.
    cmcCellObj parent = Parse("{(%CT_Amw.CL_Mch_Freq[4]:old)}");
    const cmcCellObj cleared = Parse("{(%CT_Conv.)}", &parent);
    EXPECT_EQ(cleared.cellType, CT_Conv);
    EXPECT_EQ(cleared.logicId, CL_None);
    EXPECT_EQ(cleared.index, 4);
    EXPECT_EQ(cleared.keyText, "old");
    EXPECT_EQ(Parse("{(%CL_Menu_File_New:Ctrl+N)}").keyText, "Ctrl+N");
    EXPECT_EQ(Parse("{(%CallSheet:[St_ChNew]GI_Sheet_BankOp,Category 5)}").keyText,
              "[St_ChNew]GI_Sheet_BankOp,Category 5");
    EXPECT_EQ(Parse("{(%CL_Null:a\\:b\\\\c)}").keyText, "a:b\\c");

    variables[3] = 42;
    EXPECT_EQ(Parse("{(%CT_Conv.CL_Mch_Freq[@ch3])}").index, 42);
}

TEST_F(LayoutTest, LaterAttributesOverrideEarlierOnes) {
    EXPECT_EQ(Parse("{($iCR)(Color=clRed)}").color, 0x000000FFu);
    EXPECT_EQ(Parse("{(Color=clRed)($iCR)}").color, 0x00808080u);
    EXPECT_FALSE(Parse("{($iCR)!W}").HasLayout(cmcCellObj::FitWidth));
    // "!" has no effect on the alignment letters, but is used up by them.
    EXPECT_EQ(Parse("{($iCR)!<}").AlignH(), 0);
    EXPECT_EQ(Parse("{($iCR)!^W}").AlignH(), 1);
    EXPECT_TRUE(Parse("{!^W}").HasLayout(cmcCellObj::FitWidth));
    // Unknown or numeric colours leave the colour alone.
    EXPECT_EQ(Parse("{($iCR)(Color=clred)(Color=$00FF00)(Color= clRed)}").color, 0x00808080u);
    // A model may use another model.
    const cmcCellObj nested = Parse("{($Nested)}");
    EXPECT_TRUE(nested.IsSelectable());
    EXPECT_EQ(nested.RightRule(), 1);
}

TEST_F(LayoutTest, FlagLettersAndStateBits) {
    const cmcCellObj cell =
        Parse("{^_W H=+BSTX(Flag0=1)(Flag7=1)(Flag3=1)(Flag3=0)(Flag8=1)(Flag1=2)}");
    EXPECT_EQ(cell.AlignH(), 1);
    EXPECT_EQ(cell.AlignV(), 2);
    for (uint8_t bit :
         {cmcCellObj::FitWidth, cmcCellObj::FitHeight, cmcCellObj::Wrap, cmcCellObj::Join})
        EXPECT_TRUE(cell.HasLayout(bit));
    for (uint8_t bit : {cmcCellObj::BottomRule, cmcCellObj::Selectable, cmcCellObj::Trailing})
        EXPECT_TRUE(cell.HasStyle(bit));
    EXPECT_EQ(cell.RightRule(), 1);
    EXPECT_TRUE(cell.Flag(0));
    EXPECT_TRUE(cell.Flag(7));
    EXPECT_FALSE(cell.Flag(3));
    EXPECT_FALSE(cell.Flag(1));
    EXPECT_EQ(cell.stateFlags, 0x10); // Flag7 is bit 4 of the state flags

    EXPECT_EQ(Parse("{XQ}").RightRule(), 2); // X and Q share one field: the last wins
    EXPECT_EQ(Parse("{X!Q}").RightRule(), 0);
    // The negation is used up by the next byte, even by an item, and is not carried into it.
    const cmcCellObj used = Parse("{S!(Color=clRed)S}");
    EXPECT_TRUE(used.IsSelectable());
    EXPECT_EQ(used.color, 0x000000FFu);
    EXPECT_TRUE(Parse("{!\\SS}").IsSelectable()); // an escaped byte is neither flag nor item
    EXPECT_FALSE(Parse("{\\S}").IsSelectable());
}

TEST_F(LayoutTest, ImageIndexAndPopupMenuItems) {
    const cmcCellObj cell = Parse("{(ImageIndex=12)(PopupMenu=GI_PMenu_Channel_Mch)}");
    EXPECT_EQ(cell.imageIndex, 12);
    EXPECT_EQ(cell.popupMenuName, "GI_PMenu_Channel_Mch");
    EXPECT_EQ(Parse("x").imageIndex, -1);
}

TEST_F(LayoutTest, ResetCopiesTheParentButNotItsFontOrMenu) {
    cmcCellObj basic =
        Parse("{($Basic)(%CT_Conv.CL_Mch_Freq[3]:key)(ImageIndex=2)SX(Flag5=1)}text");
    ASSERT_TRUE(basic.font);
    EXPECT_EQ(basic.font->height, -17);
    basic.blockNumber = 9;

    const cmcCellObj child = Parse("", &basic);
    EXPECT_EQ(child.parent, &basic);
    EXPECT_EQ(child.cellType, CT_Conv);
    EXPECT_EQ(child.logicId, CL_Mch_Freq);
    EXPECT_EQ(child.index, 3);
    EXPECT_EQ(child.keyText, "key");
    EXPECT_EQ(child.imageIndex, 2);
    EXPECT_TRUE(child.IsSelectable());
    EXPECT_TRUE(child.Flag(5));
    EXPECT_EQ(child.templateText, ""); // its own empty text part leaves no text
    EXPECT_EQ(child.blockNumber, 0);
    EXPECT_FALSE(child.font); // drawn with the BasicCell's font
    EXPECT_EQ(child.EffectiveFont(&basic), &*basic.font);
    EXPECT_TRUE(child.popupMenuName.empty());
    EXPECT_EQ(child.EffectivePopupMenu(), "GI_PMenu_Edit");

    // A pick-list model that says "(PopupMenu=)" does not remove the sheet's menu by itself.
    EXPECT_EQ(Parse("{($bMn)}", &basic).EffectivePopupMenu(), "GI_PMenu_Edit");
    EXPECT_EQ(Parse("{($bMn)}").EffectivePopupMenu(), "");

    const cmcCellObj orphan = Parse("");
    EXPECT_EQ(orphan.cellType, CT_None);
    EXPECT_EQ(orphan.logicId, CL_None);
    EXPECT_EQ(orphan.color, clWindow);
    EXPECT_EQ(orphan.imageIndex, -1);
}

TEST_F(LayoutTest, FontItemsStartFromTheParentsFont) {
    const cmcCellObj basic = Parse("{($Basic)}");
    const cmcCellObj half = Parse("{(Font=,,,%50,,,)}", &basic);
    ASSERT_TRUE(half.font);
    EXPECT_EQ(half.font->height, -8); // -850 / 100 truncates toward zero
    EXPECT_EQ(half.font->color, clWindowText);

    cmcCellFont font;
    font.face = "Old Face";
    font.SetHeight(-17);
    cmcLayout::ApplyFontDescription(font, ",,clWhite,,,fsBold,");
    EXPECT_EQ(font.face, ""); // back to the system face
    EXPECT_EQ(font.height, -17);
    EXPECT_EQ(font.color, 0x00FFFFFFu);
    EXPECT_EQ(font.style, fsBold);

    cmcLayout::ApplyFontDescription(
        font, " \tSHIFTJIS_CHARSET \t,  Noto "
              "Sans,clNoColour,%0,,fsItalic+fsUnderline+fsBogus,fpFixed,junk");
    EXPECT_EQ(font.charset, 128);
    EXPECT_EQ(font.face, "Noto Sans");
    EXPECT_EQ(font.color, 0x00FFFFFFu);
    EXPECT_EQ(font.height, 1); // a percentage that comes to 0 becomes 1
    EXPECT_EQ(font.style, fsItalic | fsUnderline);
    EXPECT_EQ(font.pitch, fpFixed);

    cmcLayout::ApplyFontDescription(font, "ANSI_CHARSETX,,,0,12,,fpVariable ");
    EXPECT_EQ(font.charset, 128); // a name must stand alone
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.height, -16); // height follows the size
    EXPECT_EQ(font.pitch, fpVariable);

    cmcLayout::ApplyFontDescription(font, "DEFAULT_CHARSET");
    EXPECT_EQ(font.charset, 1);
    EXPECT_EQ(font.face, ""); // absent fields leave their property
    EXPECT_EQ(font.size, 12);
}

TEST_F(LayoutTest, TextEscapesAndTrimming) {
    variables[1] = 5;
    variables[2] = 1234560;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {" \t Frequency\t ", "Frequency"},
        {"Canceller\\nFreq", "Canceller\nFreq"},
        {"Line\\NBreak", "Line\nBreak"},
        {"\\_", " "},
        {"a\\_\\_b", "a  b"},
        {"No.\\(@ch1)", "No.5"},
        {"\\(@ch1 + 10)\\(@ch1+1)", "156"},
        {"\\(@ch2+1)", "123456"}, // at most six characters
        {"\\{x\\}y", "y"},        // braces cannot be escaped: "{x\}" went to the attributes
        {"50\\%", "50%"},
        {"end\\", "end"},
        {"\xE7\x84\xA1\xE9\xA1\x8C", "\xE7\x84\xA1\xE9\xA1\x8C"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Parse(text).templateText, expected) << text;
}

TEST_F(LayoutTest, VariablesCountAndAreReadInIndexes) {
    variables[0] = 10;
    const auto cells =
        Row("{(@ch0++)(%CT_Conv.CL_Mch_Freq[@ch0])}|{(@ch0 = 3)}\\(@ch0)|{(@ch0 junk)}");
    EXPECT_EQ(cells[0].index, 11);
    EXPECT_EQ(cells[1].templateText, "3");
    EXPECT_EQ(variables[0], 3); // anything but "++" and "=" does nothing
}

using LayoutDeathTest = LayoutTest;

TEST_F(LayoutDeathTest, CatalogueFaultsEndTheProgram) {
    EXPECT_DEATH(Parse("{(%CT_Bogus.CL_Null)}"), "Cannot use the specified category.\n'CT_Bogus'");
    EXPECT_DEATH(Parse("{(%CL_Bogus)}"), "Cannot use the specified cell.\n'CL_Bogus'");
    EXPECT_DEATH(Parse("{(@ch12=0)}"), "Ch No. Error");
    EXPECT_DEATH(Parse("{(@chX=0)}"), "Ch No. Error");
    EXPECT_DEATH(Parse("\\(@ch1"), "Illegal Ch No.");
    EXPECT_DEATH(Parse("{($Counting)}"), "Ch No. Error");
    EXPECT_DEATH(Parse("{($NoSuchModel)}"), "The index 'CellModel_NoSuchModel' was not found");
    EXPECT_DEATH(
        {
            cmcCellObj basic;
            cmcLayout::ParseCell(catalogue, "{(@ch0=1)}", basic, nullptr, nullptr);
        },
        "Ch No. Error");
}

TEST(LayoutLinesTest, StyleAndDirectiveItems) {
    std::vector<std::string> items;
    auto collect = [&](std::string_view item) { items.emplace_back(item); };
    cmcLayout::ParseStyle("x(TitleString=Memory CH) (FixedCols=2)y(NoPrint", collect);
    EXPECT_EQ(items, (std::vector<std::string>{"TitleString=Memory CH", "FixedCols=2", "NoPrint"}));
    items.clear();
    cmcLayout::ParseDirective(":(LoopFrom 200)(SelectOFF)", collect);
    cmcLayout::ParseDirective("(LoopTo)", collect); // not a directive line
    EXPECT_EQ(items, (std::vector<std::string>{"LoopFrom 200", "SelectOFF"}));
}

} // namespace

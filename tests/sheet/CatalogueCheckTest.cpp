// Checks the program's English table as the sheet engine reads it: every sheet, pick list,
// popup menu, main menu, toolbar, tree body and cell model parses into what it should show.

#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/cmcSheetLayout.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

class CatalogueCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { english.Attach(EnglishTable()); }

    // Sheet names N of every "N_Cells" key of the table.
    static std::vector<std::string> SheetNames() {
        std::vector<std::string> names;
        const cmcTextTable table = EnglishTable();
        const std::string suffix = "_Cells";
        for (size_t i = 0; i < table.count; ++i) {
            const std::string line = table.lines[i];
            if (line.rfind("#GI_Sheet_", 0) == 0 && line.size() > suffix.size() &&
                line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(line.substr(1, line.size() - 1 - suffix.size()));
        }
        return names;
    }

    // One body line: its depth (bytes before the first "+") and its cell.
    struct BodyItem {
        int depth;
        cmcCellObj cell;
    };
    std::vector<BodyItem> Body(const std::string& name, const cmcCellObj& basic) {
        std::vector<BodyItem> items;
        for (int n = 0;; ++n) {
            const std::string line = english.GetLine(name + "_Body", n);
            if (!line.empty() && line[0] == '#') break;
            const size_t plus = line.find('+');
            items.push_back({static_cast<int>(plus), cmcCellObj()});
            cmcLayout::ParseCell(english, line.substr(plus + 1), items.back().cell, &basic,
                                 nullptr);
        }
        return items;
    }
    cmcCellObj BasicCellOf(const std::string& name) {
        cmcCellObj basic;
        cmcLayout::ParseCell(english, english.GetText(name + "_BasicCell"), basic, nullptr,
                             nullptr);
        return basic;
    }

    // "CL_Name[index]:key" of a bound cell, "-" for a separator.
    static std::string Describe(const cmcCellObj& cell) {
        if (cell.templateText == "-") return "-";
        std::string text = std::string(LogicIdName(cell.logicId));
        if (cell.index != 0) text += "[" + std::to_string(cell.index) + "]";
        if (!cell.keyText.empty()) text += ":" + cell.keyText;
        return text;
    }

    // The logic ids of the cells of one row, bound cells only.
    static std::vector<std::string> RowLogic(const cmcSheetLayout& sheet, int row) {
        std::vector<std::string> names;
        for (int column = 0; column < sheet.CellsInRow(row); ++column)
            if (sheet.Cell(column, row).logicId != CL_None)
                names.emplace_back(LogicIdName(sheet.Cell(column, row).logicId));
        return names;
    }

    cmcGTex english;
};

TEST_F(CatalogueCheckTest, EveryBindingNameIsInItsTable) {
    const cmcTextTable table = EnglishTable();
    const std::regex typeName("CT_[A-Za-z_]+");
    const std::regex logicName("CL_[A-Za-z0-9_]+");
    for (size_t i = 0; i < table.count; ++i) {
        const std::string line = table.lines[i];
        if (line.empty() || line[0] == '#') continue;
        for (std::sregex_iterator it(line.begin(), line.end(), typeName), end; it != end; ++it)
            EXPECT_GE(FindCellType(it->str()), 0) << it->str() << " on line " << i;
        for (std::sregex_iterator it(line.begin(), line.end(), logicName), end; it != end; ++it)
            EXPECT_GE(FindLogicId(it->str()), 0) << it->str() << " on line " << i;
    }
}

TEST_F(CatalogueCheckTest, EverySheetYieldsRowsAndCells) {
    const std::vector<std::string> names = SheetNames();
    ASSERT_EQ(names.size(), 61u);
    for (const std::string& name : names) {
        cmcSheetLayout sheet(english, name);
        sheet.Build();
        EXPECT_GT(sheet.Rows(), 0) << name;
        EXPECT_GT(sheet.Columns(), 0) << name;
        int selectable = 0;
        for (int row = 0; row < sheet.Rows(); ++row)
            for (int column = 0; column < sheet.Columns(); ++column) {
                const cmcCellObj& cell = sheet.Cell(column, row);
                selectable += cell.IsSelectable();
                // Only bound cells are selectable: the cursor never rests on a heading.
                if (cell.IsSelectable())
                    EXPECT_NE(cell.logicId, CL_None) << name << " " << column << "," << row;
            }
        const bool textOnly = name == "GI_Sheet_TopPage" || name == "GI_Sheet_TreeTop" ||
                              name == "GI_Sheet_BasicTop" || name == "GI_Sheet_CloneInfo";
        EXPECT_EQ(selectable == 0, textOnly) << name;
    }
}

// Values in stepping order: the items of the first column from the top, then the next column.
std::vector<int> SteppingOrder(const cmcSheetLayout& sheet, int& logic) {
    std::vector<std::tuple<int, int, int>> items; // column, line, value
    for (int row = 0; row < sheet.Rows(); ++row)
        for (int column = 0; column < sheet.CellsInRow(row); ++column) {
            const cmcCellObj& cell = sheet.Cell(column, row);
            if (!cell.IsSelectable()) continue;
            logic = cell.logicId;
            EXPECT_EQ(cell.keyText, cell.templateText) << sheet.LayoutName();
            items.emplace_back(column, sheet.Row(row).catalogueLine, cell.index);
        }
    std::sort(items.begin(), items.end());
    std::vector<int> values;
    for (const auto& item : items)
        values.push_back(std::get<2>(item));
    return values;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

std::vector<int> Join(std::vector<int> values, std::initializer_list<int> more) {
    values.insert(values.end(), more);
    return values;
}

TEST_F(CatalogueCheckTest, PickListsOfferTheValuesOfTheirTables) {
    struct List {
        const char* name;
        int logic;
        std::vector<int> values;
    };
    const std::vector<List> lists = {
        {"Sel_Mch_Dup", Flex0, Range(0, 2)},
        {"Sel_Mch_TS_Pitch_JU", CL_FlexMarking, Range(0, 15)},
        {"Sel_Mch_TS_Pitch_JU_PGS", CL_FlexMarking, Join(Range(0, 15), {19})},
        {"Sel_Mch_TS_Pitch_Exp", CL_FlexMarking, Range(0, 14)},
        {"Sel_Mch_TS_Pitch_Exp_PGS", CL_FlexMarking, Join(Range(0, 14), {19})},
        {"Sel_Mch_Mode_JU", CL_FlexMarking, Range(0, 3)},
        {"Sel_Mch_Mode_JU_PGS", CL_FlexMarking, Range(0, 4)},
        {"Sel_Mch_Mode", CL_FlexMarking, Range(0, 2)},
        {"Sel_Mch_Mode_PGS", CL_FlexMarking, {0, 1, 2, 4}},
        {"Sel_Mch_ATT_PGS", Flex0, Range(0, 2)},
        {"Sel_Mch_Scan_Skip", Flex0, Range(0, 2)},
        {"Sel_Ope_Skip", Flex0, Range(0, 1)},
        {"Sel_Mch_TSQL", CL_FlexMarking, {0, 2, 3, 5, 6}},
        {"Sel_Mch_TFreq", Flex0, Range(0, 49)},
        {"Sel_Mch_DTCS", Flex0, Range(0, 103)},
        {"Sel_Mch_DTCS_Polarity", Flex0, Range(0, 1)},
        {"Sel_Mch_TSQL_C", CL_FlexMarking, Range(0, 3)},
        {"Sel_Ope_Icon", Flex0, Range(0, 22)},
        {"Sel_Pg_Link", Flex0, Range(0, 24)},
        {"Sel_Common_Set_RF_Gain", Flex0, Range(0, 10)},
        {"Sel_Common_Set_Power_OFF", Flex0, Range(0, 4)},
        {"Sel_Common_Set_Power_ON", Flex0, Range(0, 48)},
        {"Sel_Common_Set_Power_Save", Flex0, Range(0, 1)},
        {"Sel_Common_Set_Dial_Func", Flex0, Range(0, 1)},
        {"Sel_Common_Set_Key_Lock", Flex0, Range(0, 3)},
        {"Sel_Common_Ant_AM_Antenna", Flex0, Range(0, 2)},
        {"Sel_Common_Ant_FM_Antenna", Flex0, Range(0, 1)},
        {"Sel_Common_RLINK_BaudRate", Flex0, Range(0, 5)},
        {"Sel_Common_Disp_BackLight", Flex0, Range(0, 2)},
        {"Sel_Common_Disp_Contrast", Flex0, Range(1, 15)},
        {"Sel_Common_Disp_FontSize", Flex0, Range(0, 1)},
        {"Sel_Common_Disp_Language", Flex0, Range(0, 1)},
        {"Sel_Common_Sound_ToneCtrl", Flex0, Range(0, 2)},
        {"Sel_Common_Scan_WX_Ch", Flex0, Range(0, 9)},
        {"Sel_Common_PauseTimer", Flex0, Range(0, 10)},
        {"Sel_Common_ResumeTimer", Flex0, Range(0, 6)},
        {"Sel_Misc_OnOff", Flex0, {0, 1}},
        {"Sel_Misc_OnOff_I", Flex0, {1, 0}},
        {"Sel_Misc_OnOff2", Flex0, {0, 1}},
        {"Sel_Misc_OnOff2_I", Flex0, {1, 0}},
        {"Sel_Misc_YesNo", Flex0, {0, 1}},
        {"Sel_Misc_YesNo2", Flex0, {0, 1}},
        {"Sel_Misc_YesNo2_I", Flex0, {1, 0}},
        {"Sel_Misc_Enable", Flex0, {0, 1}},
        {"Sel_Misc_Enable_I", Flex0, {1, 0}},
        {"Sel_Misc_AutoOff", Flex0, {0, 1}},
    };
    std::set<std::string> checked;
    for (const List& list : lists) {
        cmcSheetLayout sheet(english, std::string("GI_Sheet_") + list.name);
        sheet.Build();
        int logic = -1;
        EXPECT_EQ(SteppingOrder(sheet, logic), list.values) << list.name;
        EXPECT_EQ(logic, list.logic) << list.name;
        EXPECT_EQ(sheet.BasicCell().EffectivePopupMenu(), "") << list.name;
        checked.insert(sheet.LayoutName());
    }
    for (const std::string& name : SheetNames())
        if (name.rfind("GI_Sheet_Sel_", 0) == 0)
            EXPECT_TRUE(checked.count(name)) << name << " not checked";
}

TEST_F(CatalogueCheckTest, PickListTextsFollowTheValueTables) {
    auto texts = [&](const std::string& name) {
        cmcSheetLayout sheet(english, "GI_Sheet_" + name);
        sheet.Build();
        std::map<int, std::string> byValue;
        for (int row = 0; row < sheet.Rows(); ++row)
            for (int column = 0; column < sheet.CellsInRow(row); ++column)
                if (sheet.Cell(column, row).IsSelectable())
                    byValue[sheet.Cell(column, row).index] = sheet.Cell(column, row).templateText;
        return byValue;
    };
    const auto steps = texts("Sel_Mch_TS_Pitch_JU_PGS");
    EXPECT_EQ(steps.at(1), "6.25k");
    EXPECT_EQ(steps.at(3), "8.33k");
    EXPECT_EQ(steps.at(14), "200k");
    EXPECT_EQ(steps.at(15), "Auto");
    EXPECT_EQ(steps.at(19), "-");
    const auto tones = texts("Sel_Mch_TFreq");
    EXPECT_EQ(tones.at(0), "67.0");
    EXPECT_EQ(tones.at(8), "88.5");
    EXPECT_EQ(tones.at(49), "254.1");
    const auto codes = texts("Sel_Mch_DTCS");
    EXPECT_EQ(codes.at(0), "023");
    EXPECT_EQ(codes.at(103), "754");
    EXPECT_EQ(texts("Sel_Mch_TSQL").at(3), "TSQL-R");
    EXPECT_EQ(texts("Sel_Ope_Icon").at(22), "PROGRAM SEARCH");
    EXPECT_EQ(texts("Sel_Common_Set_Power_ON").at(48), "24:00");
    EXPECT_EQ(texts("Sel_Common_Set_Power_ON").at(1), "00:30");
    EXPECT_EQ(texts("Sel_Common_PauseTimer").at(10), "Hold");
    EXPECT_EQ(texts("Sel_Common_ResumeTimer").at(2), "2sec");
    EXPECT_EQ(texts("Sel_Mch_Dup").at(1), "-DUP");
}

TEST_F(CatalogueCheckTest, PopupMenusOfferTheirCommands) {
    const std::string edit = "CL_PMenu_Edit:Enter", help = "CL_PMenu_Help",
                      up = "CL_PMenu_CarryUp:Ctrl+Up", down = "CL_PMenu_CarryDown:Ctrl+Down",
                      del = "CL_PMenu_Delete:Del", ins = "CL_PMenu_Insert:Ins",
                      clear = "CL_PMenu_Clear", copy = "CL_PMenu_Copy:Ctrl+C",
                      paste = "CL_PMenu_Paste:Ctrl+V", sort = "CL_PMenu_Sort";
    const std::map<std::string, std::vector<std::string>> menus = {
        {"NoItem", {"CL_PMenu_NoItem"}},
        {"Help", {help}},
        {"Edit", {edit, "-", help}},
        {"UpDn", {edit, "-", up, down, "-", help}},
        {"Delete", {edit, "-", up, down, "-", del, "-", help}},
        {"Clear", {edit, "-", "CL_PMenu_Clear:Del", "-", help}},
        {"InsertDeleteClear", {edit, "-", clear, del, ins, "-", help}},
        {"InsertDelete_NonClr_UD", {edit, "-", del, ins, "-", help}},
        {"InsertDelete", {edit, "-", up, down, "-", clear, del, ins, "-", help}},
        {"InsertDelete_NonClr",
         {edit, "-", copy, paste, "-", up, down, "-", del, ins, "-", sort, "-", help}},
        {"CopyPaste", {edit, "-", copy, paste, "-", up, down, "-", del, "-", help}},
        {"Channel_NO_TX",
         {edit, "-", copy, paste, "-", up, down, "-", clear, del, ins, "-", sort, "-", help}},
        {"fAnotherCopy", {copy, "-", up, down, "-", del, "-", help}},
        {"CopyOnly", {copy, "-", help}},
        {"RcvDelete", {del, "-", help}},
        {"Channel_Mch",
         {edit, "-", copy, paste, "-", up, down, "-", del, ins, "-", sort, "CL_PMenu_FillSeries",
          "CL_PMenu_Duplicates", "-", help}},
    };
    for (const auto& [name, expected] : menus) {
        const std::string menu = "GI_PMenu_" + name;
        const cmcCellObj basic = BasicCellOf(menu);
        EXPECT_EQ(basic.cellType, name == "NoItem" ? CT_None : CT_PopupMenu) << name;
        std::vector<std::string> items;
        for (const BodyItem& item : Body(menu, basic)) {
            EXPECT_EQ(item.depth, 0) << name;
            items.push_back(Describe(item.cell));
            // A separator has a cell bound to nothing.
            if (item.cell.templateText == "-") EXPECT_EQ(item.cell.logicId, CL_None) << name;
        }
        EXPECT_EQ(items, expected) << name;
    }
    const auto channel = Body("GI_PMenu_Channel_Mch", BasicCellOf("GI_PMenu_Channel_Mch"));
    EXPECT_EQ(channel[2].cell.templateText, "CH Copy");
    EXPECT_EQ(channel[0].cell.templateText, "Edit...");
}

TEST_F(CatalogueCheckTest, MainMenuHoldsEveryCommand) {
    const auto items = Body("GI_Menu_Main", BasicCellOf("GI_Menu_Main"));
    std::vector<std::string> commands;
    std::map<std::string, int> depth;
    for (const BodyItem& item : items) {
        if (item.cell.logicId == CL_Null || item.cell.templateText == "-") continue;
        commands.push_back(Describe(item.cell));
        depth[Describe(item.cell)] = item.depth;
    }
    const std::vector<std::string> expected = {"CL_Menu_File_New:Ctrl+N",
                                               "CL_Menu_File_Open:Ctrl+O",
                                               "CL_Menu_File_Save:Ctrl+S",
                                               "CL_Menu_File_SaveAs",
                                               "CL_Menu_File_Import",
                                               "CL_Menu_File_Add_Import",
                                               "CL_Menu_File_Ow_Import",
                                               "CL_Menu_File_Import_Other",
                                               "CL_Menu_File_Export",
                                               "CL_Menu_File_Export_Other",
                                               "CL_Menu_File_Compare",
                                               "CL_Menu_File_Print_Current",
                                               "CL_Menu_File_Print_All",
                                               "CL_Menu_File_Recent",
                                               "CL_Menu_File_Recent[1]",
                                               "CL_Menu_File_Recent[2]",
                                               "CL_Menu_File_Recent[3]",
                                               "CL_Menu_File_Exit:Alt+F4",
                                               "CL_Menu_Edit_Top",
                                               "CL_Menu_View_FontSize[60]",
                                               "CL_Menu_View_FontSize[80]",
                                               "CL_Menu_View_FontSize[100]",
                                               "CL_Menu_View_FontSize[120]",
                                               "CL_Menu_View_FontSize[150]",
                                               "CL_Menu_View_ToolBar",
                                               "CL_Menu_View_Language",
                                               "CL_Menu_View_Language[1]",
                                               "CL_Menu_Port_Com[1]",
                                               "CL_Menu_Port_Com[2]",
                                               "CL_Menu_Port_Com[3]",
                                               "CL_Menu_Port_Com[4]",
                                               "CL_Menu_Port_Usb",
                                               "CL_Menu_Com_Speed",
                                               "CL_Menu_Com_Speed[1]",
                                               "CL_Menu_Preset",
                                               "CL_Menu_Clone_Read",
                                               "CL_Menu_Clone_Write",
                                               "CL_Menu_Clone_Backup",
                                               "CL_Menu_Clone_Verify",
                                               "CL_Menu_Clone_Plan",
                                               "CL_Menu_Clone_Restore",
                                               "CL_Menu_Clone_Trace",
                                               "CL_Menu_Clone_Info",
                                               "CL_Help_Contents:F1",
                                               "CL_Help_About"};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(depth["CL_Menu_File_Import"], 1);
    EXPECT_EQ(depth["CL_Menu_File_Add_Import"], 2);
    EXPECT_EQ(depth["CL_Menu_File_Import_Other"], 2);
    EXPECT_EQ(depth["CL_Menu_File_Print_All"], 2);
    EXPECT_EQ(depth["CL_Menu_Edit_Top"], 0);
    EXPECT_EQ(items.front().cell.templateText, "&File");
    EXPECT_EQ(items.back().cell.templateText, "&About Pelham");

    cmcCellObj recent;
    for (const BodyItem& item : items)
        if (item.cell.logicId == CL_Menu_File_Recent) recent = item.cell;
    EXPECT_EQ(recent.templateText, "Recent File");
}

TEST_F(CatalogueCheckTest, ToolbarsAndTheirImages) {
    std::vector<std::string> buttons;
    for (int n = 0;; ++n) {
        const std::string line = english.GetLine("GI_ToolBar_Main_Body", n);
        if (!line.empty() && line[0] == '#') break;
        cmcCellObj cell;
        const cmcCellObj basic = BasicCellOf("GI_ToolBar_Main");
        cmcLayout::ParseCell(english, line, cell, &basic, nullptr);
        buttons.push_back(cell.templateText == "-"
                              ? "-"
                              : cell.templateText + "/" + std::to_string(cell.imageIndex) + "/" +
                                    std::string(LogicIdName(cell.logicId)));
    }
    std::vector<std::string> expected = {
        "New/0/CL_Menu_File_New",          "Open/1/CL_Menu_File_Open",
        "Save/2/CL_Menu_File_Save",        "-",
        "Clone Read/7/CL_Menu_Clone_Read", "Clone Write/8/CL_Menu_Clone_Write",
        "Clone Info./9/CL_Menu_Clone_Info"};
    expected.insert(expected.end(), 10, "-");
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(english.GetLine("GI_ToolBar_CEdit_Body", 2).substr(0, 6), "Slider");
}

TEST_F(CatalogueCheckTest, TreeNodesOpenTheirSheets) {
    const cmcCellObj basic = BasicCellOf("GI_Tree_Main");
    ASSERT_TRUE(basic.font);
    EXPECT_EQ(basic.font->height, -12);
    std::vector<std::string> nodes;
    for (const BodyItem& item : Body("GI_Tree_Main", basic)) {
        EXPECT_EQ(item.cell.logicId, CallSheet);
        nodes.push_back(std::to_string(item.depth) + " " + item.cell.templateText + " " +
                        std::to_string(item.cell.imageIndex) + " " + item.cell.keyText);
    }
    std::vector<std::string> expected = {
        "0 Harlon 0 GI_Sheet_TopPage", "1 Memory CH 1 [St_ChNew]GI_Sheet_CategoryOp,CategoryOp",
        "1 Program Search 2 [St_ColCut]GI_Sheet_ScanEdge,ScanEdge",
        "1 Program Search Link 1 [St_ColCut]GI_Sheet_ScanLink_Name"};
    for (int link = 0; link < 10; ++link)
        expected.push_back("2 Link" + std::to_string(link + 1) +
                           " 2 [St_ColCut]GI_Sheet_ScanLink,ScanLink " + std::to_string(link));
    expected.push_back("1 Auto Write CH 2 [St_ColCut]GI_Sheet_AutoMWCH,AutoMWCH");
    expected.push_back("1 Basic Search 1 [St_ChNew]GI_Sheet_BasicOp,BasicOp");
    expected.push_back("1 Common Setting 2 [St_Common]GI_Sheet_Common,0");
    EXPECT_EQ(nodes, expected);

    // Branch templates are formats: "%%" gives "%", "%d" the branch number.
    struct Branch {
        const char* key;
        int line;
        const char* caption;
        int image;
        const char* address;
    };
    const Branch branches[] = {
        {"GI_Tree_Branch_CategoryOperation", 0, "Category", 1,
         "[St_ChNew]GI_Sheet_BankOp,Category 5"},
        {"GI_Tree_Branch_GroupOperation", 0, "Group", 2, "[St_CNBank]GI_Sheet_MemoryCH,Group 5"},
        {"GI_Tree_Branch_BasicOperation", 0, "Bank", 1, "[St_ChNew]GI_Sheet_BasicTop,Basic 5"},
        {"GI_Tree_Branch_BasicOperation", 1, "Program Search", 2,
         "[St_ChNew]GI_Sheet_BasicPGSrch,BasicPG 5"},
        {"GI_Tree_Branch_BasicOperation", 2, "CH Search", 2,
         "[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH 5"},
    };
    for (const Branch& branch : branches) {
        const std::string format = english.GetLine(branch.key, branch.line);
        char line[512];
        std::snprintf(line, sizeof line, format.c_str(), 5);
        const std::string text = line;
        EXPECT_EQ(text.find('+'), branch.line == 0 ? 1u : 2u) << branch.key;
        cmcCellObj cell;
        cmcLayout::ParseCell(english, text.substr(text.find('+') + 1), cell, &basic, nullptr);
        EXPECT_EQ(cell.templateText, branch.caption);
        EXPECT_EQ(cell.imageIndex, branch.image);
        EXPECT_EQ(cell.logicId, CallSheet);
        EXPECT_EQ(cell.keyText, branch.address);
    }
}

TEST_F(CatalogueCheckTest, WarningCheckListNamesItsSheets) {
    std::vector<std::string> checks;
    for (int n = 0;; ++n) {
        const std::string line = english.GetLine("GI_WarningCheckList", n);
        if (!line.empty() && line[0] == '#') break;
        cmcCellObj cell;
        cmcLayout::ParseCell(english, line, cell, nullptr, nullptr);
        checks.push_back(Describe(cell));
    }
    EXPECT_EQ(checks,
              (std::vector<std::string>{"CL_Check_PSearch:[St_ColCut]GI_Sheet_ScanEdge,ScanEdge",
                                        "CL_Check_AWCH:[St_ColCut]GI_Sheet_AutoMWCH,AutoMWCH"}));
}

TEST_F(CatalogueCheckTest, ListSheetsBindTheirColumns) {
    struct Expected {
        const char* sheet;
        int type;
        const char* popup;
        std::vector<std::string> dataRow;
    };
    const std::vector<std::string> channel = {
        "Freq",      "Dup",  "Offset_Freq",   "TS_Pitch",  "Mode",     "Att", "Decode",
        "TSQL_Freq", "DTCS", "DTCS_Polarity", "Decode_RX", "Air_Freq", "Vsc"};
    std::vector<std::string> memory = {"CL_Misc_ChNo_Mch", "CL_Mch_Name_Name", "CL_Mch_Name_Num",
                                       "CL_Mch_Name_Skip"};
    std::vector<std::string> autoWrite = {"CL_Misc_ChNo_1Base"};
    for (const std::string& id : channel) {
        memory.push_back("CL_Mch_" + id);
        autoWrite.push_back("CL_AutoMWCH_" + id);
        if (id == "Att")
            memory.insert(memory.end(), {"CL_Mch_Scan_Skip", "CL_Mch_Prio", "CL_Mch_Stop_Beep"});
    }
    const std::vector<Expected> sheets = {
        {"GI_Sheet_MemoryCH", CT_Conv, "GI_PMenu_Channel_Mch", memory},
        {"GI_Sheet_AutoMWCH", CT_Amw, "GI_PMenu_CopyOnly", autoWrite},
        {"GI_Sheet_CategoryOp",
         CT_Cate,
         "GI_PMenu_InsertDelete_NonClr_UD",
         {"CL_Misc_ChNo_CategoryOp", "CL_CategoryOP_Icon", "CL_CategoryOP_Name",
          "CL_CategoryOP_DirectKey", "CL_CategoryOP_Link", "CL_CategoryOP_Skip"}},
        {"GI_Sheet_BankOp",
         CT_Group,
         "GI_PMenu_InsertDelete_NonClr_UD",
         {"CL_Misc_ChNo_GroupOp", "CL_GroupOP_Name", "CL_GroupOP_DirectKey", "CL_GroupOP_Link",
          "CL_GroupOP_Skip"}},
        {"GI_Sheet_ScanEdge",
         CT_Prog,
         "GI_PMenu_Channel_NO_TX",
         {"CL_Misc_ChNo_0Base", "CL_PgSrch_Name", "CL_PgSrch_Freq_Low", "CL_PgSrch_Freq_High",
          "CL_PgSrch_TS", "CL_PgSrch_Mode", "CL_PgSrch_ATT"}},
        {"GI_Sheet_ScanLink",
         CT_Prog_Link,
         "GI_PMenu_RcvDelete",
         {"CL_Misc_ChNo_PLink", "CL_PgLink_No", "CL_PgLink_Sepa1", "CL_PgSrch_Name",
          "CL_PgSrch_Freq_Low", "CL_PgLink_Sepa2", "CL_PgSrch_Freq_High"}},
        {"GI_Sheet_ScanLink_Name",
         CT_Null,
         "GI_PMenu_Edit",
         {"CL_Misc_ChNo_0Base", "CL_PgLink_Name"}},
        {"GI_Sheet_BasicOp",
         CT_Bas,
         "GI_PMenu_InsertDelete_NonClr_UD",
         {"CL_Misc_ChNo_0Base", "CL_BasicOp_Icon", "CL_BasicOp_Name"}},
        {"GI_Sheet_BasicCHSrch",
         CT_Bas_Ch,
         "GI_PMenu_InsertDelete_NonClr",
         {"CL_Misc_ChNo_0Base", "CL_Basic_ChSrch_Freq", "CL_Basic_ChSrch_Name",
          "CL_Basic_ChSrch_Mode"}},
        {"GI_Sheet_BasicPGSrch",
         CT_Bas_Prog,
         "GI_PMenu_InsertDelete_NonClr",
         {"CL_Misc_ChNo_0Base", "CL_Basic_PgSrch_Freq_Low", "CL_Basic_PgSrch_Freq_High",
          "CL_Basic_PgSrch_TS", "CL_Basic_PgSrch_Mode"}},
    };
    for (const Expected& expected : sheets) {
        cmcSheetLayout sheet(english, expected.sheet);
        sheet.Build();
        const int data = sheet.GetStyle().fixedRows; // the first data row, after the headings
        EXPECT_EQ(RowLogic(sheet, data), expected.dataRow) << expected.sheet;
        EXPECT_EQ(sheet.BasicCell().cellType, expected.type) << expected.sheet;
        EXPECT_EQ(sheet.BasicCell().EffectivePopupMenu(), expected.popup) << expected.sheet;
        EXPECT_EQ(sheet.GetStyle().fixedCols, 2) << expected.sheet;
        EXPECT_TRUE(sheet.GetStyle().title) << expected.sheet;
        EXPECT_EQ(sheet.CellsInRow(data), sheet.Columns()) << expected.sheet;
        // Column 0 of every list sheet is empty, and the number column is not selectable.
        EXPECT_EQ(sheet.Cell(0, data).logicId, CL_None) << expected.sheet;
        EXPECT_FALSE(sheet.Cell(1, data).IsSelectable()) << expected.sheet;
        // The heading rows set the row variable themselves; data cells count from it.
        EXPECT_EQ(sheet.Cell(1, data).index, 0) << expected.sheet;
    }

    // The fixed-length lists stand as often as the receiver has records.
    cmcSheetLayout edges(english, "GI_Sheet_ScanEdge");
    edges.Build();
    EXPECT_EQ(edges.Rows(), 1 + 25);
    EXPECT_EQ(edges.Cell(2, 25).index, 24);
    cmcSheetLayout autoWriteSheet(english, "GI_Sheet_AutoMWCH");
    autoWriteSheet.Build();
    EXPECT_EQ(autoWriteSheet.Rows(), 2 + 200);
    EXPECT_EQ(autoWriteSheet.Cell(3, 201).index, 199);
}

// The common-settings sheet kind keeps or drops guarded lines by destination.
class DestinationSheet : public cmcSheetLayout {
  public:
    DestinationSheet(cmcGTex& catalogue, int destination)
        : cmcSheetLayout(catalogue, "GI_Sheet_Common"), destination_(destination) {}

  protected:
    void DirectiveItem(std::string_view item) override {
        int lines = 0;
        auto guard = [&](std::string_view name, bool keep) {
            if (item.substr(0, name.size()) != name) return false;
            cmcLayout::ReadNumber(item.substr(name.size()), lines);
            if (!keep) SkipLines(lines);
            return true;
        };
        const int d = destination_;
        if (guard("Only_JPN", d == 0) || guard("Only_USA", d == 5) ||
            guard("Only_JPUSKR", d == 0 || d == 5 || d == 9))
            return;
        cmcSheetLayout::DirectiveItem(item);
    }

  private:
    int destination_;
};

TEST_F(CatalogueCheckTest, CommonSheetShowsEverySettingOnceAndGuardsByDestination) {
    auto logicOf = [&](int destination) {
        DestinationSheet sheet(english, destination);
        sheet.Build();
        std::multiset<int> ids;
        for (int row = 0; row < sheet.Rows(); ++row)
            for (int column = 0; column < sheet.CellsInRow(row); ++column)
                if (sheet.Cell(column, row).logicId != CL_None)
                    ids.insert(sheet.Cell(column, row).logicId);
        return std::make_pair(ids, sheet.Rows());
    };
    const auto [japan, japanRows] = logicOf(0);
    const auto [usa, usaRows] = logicOf(5);
    const auto [korea, koreaRows] = logicOf(9);
    for (int id = CL_Common_Set_RF_Gain; id <= CL_Common_CLONE_COMMENT; ++id) {
        const bool weather = id == CL_Common_Scan_WAlert || id == CL_Common_Scan_WX_Ch;
        const bool language = id == CL_Common_Disp_Language;
        EXPECT_EQ(japan.count(id), weather ? 0u : 1u) << LogicIdName(id);
        EXPECT_EQ(usa.count(id), language ? 0u : 1u) << LogicIdName(id);
        EXPECT_EQ(korea.count(id), weather || language ? 0u : 1u) << LogicIdName(id);
    }
    EXPECT_EQ(japan.size(), 36u);        // 38 settings, the two weather settings left out
    EXPECT_EQ(japanRows - koreaRows, 1); // the Language row
    EXPECT_EQ(usaRows - koreaRows, 4);   // the weather heading, its two rows and a spacer
}

TEST_F(CatalogueCheckTest, CellModelsParseAndSayWhatTheyShould) {
    const std::map<std::string, std::string> quoted = {
        {"Basic",
         "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)"},
        {"BasicTree", "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-12,,,)"},
        {"iChN", ">-WHB(Color=clOlive)(Font=,,clWhite,,,fsBold,)"},
        {"iChI", "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)"},
        {"iChNm", "^-WH(Color=clPurple)(Font=,,clWhite,,,fsBold,)"},
        {"iChG", "<_H(Color=clGreen)(Font=,,clWhite,,,fsBold,)"},
        {"iCR", ">_WH(Color=clGray)(Font=,,clWhite,,,fsBold,)"},
        {"iCG", "<_H(Color=clGreen)(Font=,,clWhite,,,fsBold,)"},
        {"eWh", "S<_WHB"},
        {"cbNE", "<_WHB"},
        {"cbNEo", "<_WHB(Font=,,clOlive,,,,)"},
        {"bMn", "<~WH(Color=clMenu)(PopupMenu=)"},
        {"iSp", "(Color=clGray)"},
        {"iQp", "(%CT_Null.CL_Misc_QuarterPillar)"},
        {"BasicDialog", "DEFAULT_CHARSET,,,-12,,,"},
        {"InitialDialog", "ANSI_CHARSET,Arial,,-12,,,"},
    };
    for (const auto& [model, value] : quoted)
        EXPECT_EQ(english.GetText("CellModel_" + model), value) << model;
    EXPECT_EQ(english.GetText("GI_Form_Main_BasicCell"), "{($Basic)}");
    EXPECT_EQ(english.GetText("GI_Tree_Main_BasicCell"), "{($BasicTree)}");

    for (const char* model :
         {"ciInd", "ciDat", "Basic", "BasicTree", "i0",    "iCR",  "iCG",   "iCG2",
          "iER",   "iChG",  "iChNm", "iChI",      "iChN",  "cbNE", "cbNEo", "eWh",
          "iSp",   "iQp",   "iQpS",  "iSpL",      "tipsS", "bMn",  "tipsM"}) {
        cmcCellObj cell;
        cmcLayout::ApplyAttributes(english, cell,
                                   english.GetText(std::string("CellModel_") + model));
        if (std::string(model) == "iQpS") EXPECT_EQ(cell.logicId, CL_Misc_QuarterPillarSpecial);
    }
    cmcCellFont dialog;
    cmcLayout::ApplyFontDescription(dialog, english.GetText("CellModel_InitialDialog"));
    EXPECT_EQ(dialog.charset, 0);
    EXPECT_EQ(dialog.face, "Arial");
    EXPECT_EQ(dialog.height, -12);
}

TEST_F(CatalogueCheckTest, CloneInformationSheet) {
    cmcSheetLayout sheet(english, "GI_Sheet_CloneInfo");
    sheet.Build();
    EXPECT_EQ(sheet.GetStyle().fixedCols, 1);
    EXPECT_EQ(sheet.GetStyle().fixedRows, 1);
    EXPECT_TRUE(sheet.GetStyle().noPrint);
    EXPECT_EQ(sheet.Cell(0, 0).templateText, "Clone Information");
    EXPECT_EQ(sheet.Cell(0, 0).color, 0x00808000u); // teal
    ASSERT_TRUE(sheet.Cell(0, 0).font);
    EXPECT_EQ(sheet.Cell(0, 0).font->style, fsBold);
    EXPECT_EQ(sheet.Cell(0, 1).templateText, "Comment :");
    EXPECT_EQ(sheet.Cell(1, 1).logicId, CL_CloneInfo_Comment);
}

TEST_F(CatalogueCheckTest, MemoryChannelSheetReadsAsTheFixtureShows) {
    cmcSheetLayout sheet(english, "GI_Sheet_MemoryCH");
    sheet.Build();
    const std::string fixture = (testenv::dataFolder() / "sheet" / "MemoryCH.dump").string();
    EXPECT_EQ(DumpSheetLayout(sheet), testenv::readFile(fixture));
}

} // namespace

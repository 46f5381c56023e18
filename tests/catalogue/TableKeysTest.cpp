#include "catalogue/cmcGTex.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The keys of a table in table order.
std::vector<std::string> KeysOf(cmcTextTable table) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < table.count; ++i) {
        const std::string line = table.lines[i];
        if (line.size() > 1 && line[0] == '#') keys.push_back(line.substr(1));
    }
    return keys;
}

void Append(std::vector<std::string>& keys, const std::vector<std::string>& more) {
    keys.insert(keys.end(), more.begin(), more.end());
}

// The table's keys in the order the program's table is laid out in, family by family.
std::vector<std::string> ExpectedKeys() {
    std::vector<std::string> keys = {
        "GI_Sys_AppTitle", "GI_Sys_AppTitleRev", "GI_Sys_Maker", "GI_Sys_MyHelpFile",
        "GI_App_InitialFile", "GI_App_InitialSetup_Form_Caption",
        "GI_App_InitialSetup_Memo_Caption", "GI_App_InitialSetup_More", "GI_App_About_Caption",
        "GI_App_About_Label_Reg", "GI_App_About_Button", "GI_Sys_Dialog_FOpen",
        "GI_Sys_Dialog_FOpen_CSV", "GI_Sys_TreeChangeDelay", "GI_Sys_Printer_PrintingDialog",
        "GI_Sys_Printer_NoPrinter", "GI_Sys_Printer_FontPoints", "GI_Sys_Printer_Margins",
        "GI_Sys_Printer_FrameFont", "GI_Sys_HtmlHelp_Popup_Width", "GI_Sys_HtmlHelp_Popup_Height",
        "GI_Sys_HtmlHelp_Error",
        // The help window's buttons.
        "GI_Sys_HtmlHelp_Buttons",
        // The messages.
        "GI_Mess_Confirm_WriteFile", "GI_Mess_Confirm_WriteAnother", "GI_Mess_FileErr_Headline",
        "GI_Mess_FileErr_FileOpen", "GI_Mess_FileErr_FileAccess", "GI_Mess_FileErr_Model",
        "GI_Mess_FileErr_Extra", "GI_Mess_FileErr_MapRev", "GI_Mess_FileErr_Format",
        "GI_Mess_FileErr_Coverage", "GI_Mess_FileErr_Data", "GI_Mess_FileErr_Newer",
        "GI_Mess_Confirm_Direct_OW", "GI_Mess_Confirm_ImportFile", "GI_Mess_Import_TitleErr",
        "GI_Mess_Import_NoData", "GI_Mess_Import_NoChSpace", "GI_Mess_Import_Discard",
        "GI_Mess_Import_Correct", "GI_Mess_Confirm_All_OW_Preset", "GI_Mess_Confirm_Cate_OW_Preset",
        "GI_Mess_DataError", "GI_Mess_DataWarn", "GI_Mess_Confirm_CloneWrite",
        // The messages of the backup and the read-back
        // around a write.
        "GI_Mess_Backup_Failed", "GI_Mess_Backup_NotSaved", "GI_Mess_Verify_ReadFailed",
        "GI_Mess_Verify_Failed", "GI_Clone_Steps", "GI_Clone_Read_Ended", "GI_Compare_Window",
        "GI_Access_Marks",
        "GI_Access_Names", "GI_WritePlan", "GI_Restore_Window", "GI_Diff_Words", "GI_Load_Corrected",
        "GI_Mess_Language_NextStart", "GI_Trace_Dialog", "GI_Mess_Trace_Failed",
        "GI_Mess_CloneWrite_Succeeded", "GI_Mess_CloneErr_Head", "GI_Mess_CloneErr_Check",
        "GI_Mess_CloneErr_PortDenied", "GI_AppMess_All_Delete", "GI_AppMess_Conv_Delete",
        "GI_AppMess_Name_Delete", "GI_AppMess_Grp_Delete", "GI_AppMess_Cate_Delete",
        "GI_AppMess_Conv_Clear", "GI_AppMess_Conv_Overwrite", "GI_AppMess_Conv_Overflow",
        "GI_AppMess_Conv_Overflow_Paste", "GI_AppInd_CommonTitle", "GI_AppInd_MchFuncTitle",
        "GI_Form_Main_BasicCell", "GI_Menu_Main_BasicCell", "GI_Menu_Main_Body",
        "GI_ToolBar_Main_BasicCell", "GI_ToolBar_Main_Body", "GI_ToolBar_CEdit_BasicCell",
        "GI_ToolBar_CEdit_Body", "GI_Tree_Main_BasicCell", "GI_Tree_Main_Body",
        "GI_Tree_Branch_CategoryOperation", "GI_Tree_Branch_GroupOperation",
        "GI_Tree_Branch_BasicOperation", "GI_Title_Category", "GI_Title_Group", "GI_Title_Conv",
        "GI_Title_Basic", "GI_Title_Basic_Ch", "GI_Title_Basic_Program", "GI_Title_Category_Print",
        "GI_Title_Basic_Print", "GI_WarningCheckList", "GI_CellWidthRegList"};
    for (const char* menu :
         {"NoItem", "Help", "Edit", "UpDn", "Delete", "Clear", "InsertDeleteClear",
          "InsertDelete_NonClr_UD", "InsertDelete", "InsertDelete_NonClr", "CopyPaste",
          "Channel_NO_TX", "fAnotherCopy", "CopyOnly", "RcvDelete", "Channel_Mch"})
        Append(keys, {std::string("GI_PMenu_") + menu + "_BasicCell",
                      std::string("GI_PMenu_") + menu + "_Body"});
    const std::vector<std::string> sheets = {"TopPage",
                                             "TreeTop",
                                             "CloneInfo",
                                             "MemoryCH",
                                             "CategoryOp",
                                             "BankOp",
                                             "ScanEdge",
                                             "ScanLink_Name",
                                             "ScanLink",
                                             "AutoMWCH",
                                             "BasicOp",
                                             "BasicTop",
                                             "BasicCHSrch",
                                             "BasicPGSrch",
                                             "Sel_Mch_Dup",
                                             "Sel_Mch_TS_Pitch_JU",
                                             "Sel_Mch_TS_Pitch_JU_PGS",
                                             "Sel_Mch_TS_Pitch_Exp",
                                             "Sel_Mch_TS_Pitch_Exp_PGS",
                                             "Sel_Mch_Mode_JU",
                                             "Sel_Mch_Mode_JU_PGS",
                                             "Sel_Mch_Mode",
                                             "Sel_Mch_Mode_PGS",
                                             "Sel_Mch_ATT_PGS",
                                             "Sel_Mch_Scan_Skip",
                                             "Sel_Ope_Skip",
                                             "Sel_Mch_TSQL",
                                             "Sel_Mch_TFreq",
                                             "Sel_Mch_DTCS",
                                             "Sel_Mch_DTCS_Polarity",
                                             "Sel_Mch_TSQL_C",
                                             "Sel_Ope_Icon",
                                             "Sel_Pg_Link",
                                             "Common",
                                             "Sel_Common_Set_RF_Gain",
                                             "Sel_Common_Set_Power_OFF",
                                             "Sel_Common_Set_Power_ON",
                                             "Sel_Common_Set_Power_Save",
                                             "Sel_Common_Set_Dial_Func",
                                             "Sel_Common_Set_Key_Lock",
                                             "Sel_Common_Ant_AM_Antenna",
                                             "Sel_Common_Ant_FM_Antenna",
                                             "Sel_Common_RLINK_BaudRate",
                                             "Sel_Common_Disp_BackLight",
                                             "Sel_Common_Disp_Contrast",
                                             "Sel_Common_Disp_FontSize",
                                             "Sel_Common_Disp_Language",
                                             "Sel_Common_Sound_ToneCtrl",
                                             "Sel_Common_Scan_WX_Ch",
                                             "Sel_Common_PauseTimer",
                                             "Sel_Common_ResumeTimer",
                                             "Sel_Misc_OnOff",
                                             "Sel_Misc_OnOff_I",
                                             "Sel_Misc_OnOff2",
                                             "Sel_Misc_OnOff2_I",
                                             "Sel_Misc_YesNo",
                                             "Sel_Misc_YesNo2",
                                             "Sel_Misc_YesNo2_I",
                                             "Sel_Misc_Enable",
                                             "Sel_Misc_Enable_I",
                                             "Sel_Misc_AutoOff"};
    EXPECT_EQ(sheets.size(), 61u);
    for (const std::string& sheet : sheets) {
        for (const char* suffix : {"_Style", "_BasicCell", "_Cells"})
            keys.push_back("GI_Sheet_" + sheet + suffix);
        if (sheet == "CloneInfo") Append(keys, {"CellModel_ciInd", "CellModel_ciDat"});
        if (sheet == "MemoryCH") keys.push_back("GI_NewChTitle");
        if (sheet == "ScanLink") keys.push_back("GI_AddChTitle");
    }
    Append(keys, {"GI_AppMess_S_Copy", "GI_AppMess_S_NotTaken", "GI_AppMess_S_Paste",
                  "GI_AppMess_S_Delete", "GI_AppMess_S_Clear", "GI_AppMess_S_Insert",
                  "GI_AppMess_ChErr_Overflow", "GI_AppMess_NameErr_Overflow",
                  "GI_AppMess_GrpErr_Overflow", "GI_AppMess_CateErr_Overflow",
                  "GI_AppInd_Opt_ComSel_Caption", "GI_AppInd_Opt_ComSel_Notice",
                  "GI_AppInd_Opt_ComSel_Buttons", "GI_AppInd_Opt_ComSel_SizeOfButtons",
                  "GI_AppInd_Opt_ComSel_OutofRange", "GI_AppInd_Preview_Caption",
                  "GI_AppInd_Preview_Setting_Caption", "GI_AppInd_Opt_PreSet_Caption",
                  "GI_AppInd_Opt_PreSet_Label", "GI_AppInd_Opt_PreSet_Buttons",
                  "GI_AppInd_Opt_PreSet_SizeOfButtons", "GI_AppInd_Opt_PreSet_All_Caption",
                  "GI_AppMess_ChangeModel", "GI_AppMess_ChangeModel_2", "GI_AppInd_OutofCh",
                  "GI_AppInd_CharacterEditorCaption", "GI_AppInd_Button_OkCancel",
                  "GI_AppInd_TimerOff", "GI_AppInd_TimerOff2",
                  // The find bar: its label, buttons and states.
                  "GI_AppInd_Find"});
    for (const char* model :
         {"Basic", "BasicTree", "BasicDialog", "InitialDialog", "i0",    "iCR",  "iCG",   "iCG2",
          "iER",   "iChG",      "iChNm",       "iChI",          "iChN",  "cbNE", "cbNEo", "eWh",
          "iSp",   "iQp",       "iQpS",        "iSpL",          "tipsS", "bMn",  "tipsM"})
        keys.push_back(std::string("CellModel_") + model);
    // The recovery question and the texts of the Undo and Redo items.
    Append(keys, {"GI_Mess_Recovery_Offer", "GI_Menu_UndoRedo", "GI_Undo_Actions"});
    // Import from other tools: the row notes, the summary, the messages and the window.
    Append(keys, {"GI_Other_Note_NotImported", "GI_Other_Reason_NoFrequency",
                  "GI_Other_Reason_Range", "GI_Other_Note_Frequency", "GI_Other_Note_NameCut",
                  "GI_Other_Note_NameBlanks", "GI_Other_Note_Mode", "GI_Other_Note_Step",
                  "GI_Other_Note_Split", "GI_Other_Note_ToneMissing", "GI_Other_Note_ToneUnused",
                  "GI_Other_Note_Cross", "GI_Other_Into_New", "GI_Other_Into_Group",
                  "GI_Other_Summary", "GI_Mess_Other_Unreadable", "GI_Mess_Other_NoHeader",
                  "GI_Mess_Other_NoFrequency", "GI_Mess_Other_BadMap", "GI_Other_Dialog",
                  "GI_Other_Formats", "GI_Other_Fields", "GI_Other_Headings"});
    // Sort and set many.
    Append(keys, {"GI_Sort_Dialog", "GI_AppMess_S_Sort", "GI_AppMess_SetMany_Kept",
                  "GI_Duplicates_Window", "GI_FillSeries_Dialog"});
    keys.push_back("End_Of_Ovl");
    return keys;
}

TEST(TableKeysTest, EnglishKeysStandInTheirOrder) {
    const std::vector<std::string> keys = KeysOf(EnglishTable());
    const std::vector<std::string> expected = ExpectedKeys();
    EXPECT_EQ(expected.size(), 404u);
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(keys[i], expected[i]) << "key " << i;
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    const cmcTextTable english = EnglishTable();
    EXPECT_STREQ(english.lines[english.count - 1], "#End_Of_Ovl");
}

TEST(TableKeysTest, JapaneseHasTheSameKeysInTheSameOrder) {
    EXPECT_EQ(KeysOf(JapaneseTable()), KeysOf(EnglishTable()));
}

// Every catalogue name written out in the program's sources must be in the table: a key, or
// the base name of a sheet ("_Style", "_BasicCell", "_Cells") or of a menu or toolbar
// ("_BasicCell", "_Body"). Names that end in "_" are prefixes the code completes.
TEST(TableKeysTest, NamesTheCodeLooksUpExist) {
    cmcGTex english;
    english.Attach(EnglishTable());
    cmcHelpGTex help; // the help-topic keys live in their own table
    help.Attach(HelpTopicTable());
    const std::filesystem::path root = testenv::dataFolder().parent_path().parent_path();
    const std::regex name("\"((GI|CellModel)_[A-Za-z0-9_]*[A-Za-z0-9])\"");
    int checked = 0;
    for (const char* folder : {"src", "tools"}) {
        if (!std::filesystem::exists(root / folder)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const auto extension = entry.path().extension();
            if (extension != ".cpp" && extension != ".h") continue;
            std::ifstream file(entry.path());
            std::stringstream text;
            text << file.rdbuf();
            const std::string source = text.str();
            for (std::sregex_iterator it(source.begin(), source.end(), name), end; it != end;
                 ++it) {
                const std::string key = (*it)[1];
                const bool found = english.HasKey(key) ||
                                   help.HasKey(key) || english.HasKey(key + "_Cells") ||
                                   english.HasKey(key + "_Body");
                EXPECT_TRUE(found) << key << " in " << entry.path();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace

#pragma once

#include <string>
#include <string_view>

// The cell types and cell-logic ids that bind a cell to its datum, and the colour, character
// set, font style and pitch names of the layout language. Names are looked up exactly,
// case-sensitively.

// Cell types: which kind of record a cell's index counts.
enum cmcCellType : int {
    CT_Null,
    CT_PopupMenu,
    CT_Conv,
    CT_Prog,
    CT_Prog_Link,
    CT_Amw,
    CT_Bas_Ch,
    CT_Bas_Prog,
    CT_Cate,
    CT_Group,
    CT_Bas,
    CT_None, // no type
};

// Cell-logic ids, in the order of their numbers.
enum cmcLogicId : int {
    CL_Null,
    Flex0,
    FlexSpace,
    FlexKeyOpt,
    CL_FlexMarking,
    CL_Menu_File_New,
    CL_Menu_File_Open,
    CL_Menu_File_Save,
    CL_Menu_File_SaveAs,
    CL_Menu_File_Import,
    CL_Menu_File_Add_Import,
    CL_Menu_File_Ow_Import,
    CL_Menu_File_Export,
    CL_Menu_File_Print_Current,
    CL_Menu_File_Print_All,
    CL_Menu_File_Recent,
    CL_Menu_File_Exit,
    CL_Menu_Edit_Top,
    CL_Menu_View_FontSize,
    CL_Menu_View_ToolBar,
    CL_Menu_Port_Com,
    CL_Menu_Port_Usb,
    CL_Menu_Com_Speed,
    CL_Menu_Clone_Read,
    CL_Menu_Clone_Write,
    CL_Menu_Clone_Info,
    CL_Menu_Clone_Adj,
    CL_Menu_Preset,
    CL_Help_About,
    CL_Help_Contents,
    CL_Menu_Debug_Compare,
    CL_Menu_Debug_CorrectComp,
    CL_Menu_Debug_CautionCorrectComp,
    CL_Menu_Debug_CorrectSort,
    CL_Menu_Debug_CorrectOut,
    CL_Menu_Debug_CorrectIn,
    CL_Menu_Debug_Window,
    CL_Menu_Debug_EeWindow,
    CL_EeDebugWin_Adr,
    CL_EeDebugWin_0,
    CL_EeDebugWin_1,
    CL_EeDebugWin_2,
    CL_EeDebugWin_3,
    CL_EeDebugWin_4,
    CL_EeDebugWin_5,
    CL_EeDebugWin_6,
    CL_EeDebugWin_7,
    CL_EeDebugWin_8,
    CL_EeDebugWin_9,
    CL_EeDebugWin_A,
    CL_EeDebugWin_B,
    CL_EeDebugWin_C,
    CL_EeDebugWin_D,
    CL_EeDebugWin_E,
    CL_EeDebugWin_F,
    CallSheet,
    CL_Check_MemoryCH,
    CL_Check_PSearch,
    CL_Check_AWCH,
    CL_Check_BasicCH,
    CL_Check_BasicPG,
    CL_CloneInfo_Comment,
    CL_CloneInfo_Destination,
    CL_CloneInfo_Rx_Expansion,
    CL_CloneInfo_FccInh,
    CL_Debug_Info_Rx_Expansion,
    CL_Debug_Info_FccInh,
    CL_Debug_Info_Destination,
    CL_Debug_Language,
    CL_Debug_TCS_LOAD,
    CL_PMenu_NoItem,
    CL_PMenu_Edit,
    CL_PMenu_Copy,
    CL_PMenu_Paste,
    CL_PMenu_CarryUp,
    CL_PMenu_CarryDown,
    CL_PMenu_Clear,
    CL_PMenu_Delete,
    CL_PMenu_Insert,
    CL_PMenu_Help,
    CL_FBits,
    CL_Misc_ChNo_Mch,
    CL_Misc_ChNo_0Base,
    CL_Misc_ChNo_1Base,
    CL_Misc_QuarterPillar,
    CL_Misc_QuarterPillarSpecial,
    CL_Misc_ChNo_PLink,
    CL_Misc_ChNo_CategoryOp,
    CL_Misc_ChNo_GroupOp,
    CL_CategoryOP_Icon,
    CL_CategoryOP_Name,
    CL_GroupOP_Name,
    CL_CategoryOP_DirectKey,
    CL_GroupOP_DirectKey,
    CL_CategoryOP_Skip,
    CL_GroupOP_Skip,
    CL_CategoryOP_Link,
    CL_GroupOP_Link,
    CL_Mch_Name_Name,
    CL_Mch_Name_Num,
    CL_Mch_Name_Skip,
    CL_Mch_Select_ChNo,
    CL_Mch_Freq,
    CL_Mch_Dup,
    CL_Mch_Offset_Freq,
    CL_Mch_TS_Pitch,
    CL_Mch_Mode,
    CL_Mch_Att,
    CL_Mch_Scan_Skip,
    CL_Mch_Prio,
    CL_Mch_Stop_Beep,
    CL_Mch_Decode,
    CL_Mch_TSQL_Freq,
    CL_Mch_DTCS,
    CL_Mch_DTCS_Polarity,
    CL_Mch_Decode_RX,
    CL_Mch_Air_Freq,
    CL_Mch_Vsc,
    CL_PgSrch_Name,
    CL_PgSrch_Freq_Low,
    CL_PgSrch_Freq_High,
    CL_PgSrch_TS,
    CL_PgSrch_Mode,
    CL_PgSrch_ATT,
    CL_PgLink_Name,
    CL_PgLink_No,
    CL_PgLink_Sepa1,
    CL_PgLink_Sepa2,
    CL_AutoMWCH_Freq,
    CL_AutoMWCH_Dup,
    CL_AutoMWCH_Offset_Freq,
    CL_AutoMWCH_TS_Pitch,
    CL_AutoMWCH_Mode,
    CL_AutoMWCH_Att,
    CL_AutoMWCH_Decode,
    CL_AutoMWCH_TSQL_Freq,
    CL_AutoMWCH_DTCS,
    CL_AutoMWCH_DTCS_Polarity,
    CL_AutoMWCH_Decode_RX,
    CL_AutoMWCH_Air_Freq,
    CL_AutoMWCH_Vsc,
    CL_Misc_ChNo_BasicOp,
    CL_BasicOp_Icon,
    CL_BasicOp_Name,
    CL_Basic_ChSrch_Freq,
    CL_Basic_ChSrch_Name,
    CL_Basic_ChSrch_Mode,
    CL_Basic_PgSrch_Freq_Low,
    CL_Basic_PgSrch_Freq_High,
    CL_Basic_PgSrch_TS,
    CL_Basic_PgSrch_Mode,
    CL_Common_Set_RF_Gain,
    CL_Common_Set_Power_OFF,
    CL_Common_Set_Power_ON,
    CL_Common_Set_Power_Save,
    CL_Common_Set_Dial_Func,
    CL_Common_Set_Dial_SpdUp,
    CL_Common_Set_Key_Lock,
    CL_Common_Ant_AM_Antenna,
    CL_Common_Ant_FM_Antenna,
    CL_Common_RLINK_Address,
    CL_Common_RLINK_BaudRate,
    CL_Common_RLINK_Transceive,
    CL_Common_Disp_BackLight,
    CL_Common_Disp_Contrast,
    CL_Common_Disp_Opening_Logo,
    CL_Common_Disp_FontSize,
    CL_Common_Disp_Language,
    CL_Common_Sound_KeyTouch_Beep,
    CL_Common_Sound_Beep_Lv,
    CL_Common_Sound_ToneCtrl_Bass_FM,
    CL_Common_Sound_ToneCtrl_Treble_FM,
    CL_Common_Sound_AF_Filter_WFM,
    CL_Common_Sound_ToneCtrl_Bass_WFM,
    CL_Common_Sound_ToneCtrl_Treble_WFM,
    CL_Common_Sound_AF_Filter_AM,
    CL_Common_Sound_ToneCtrl_Bass_AM,
    CL_Common_Sound_ToneCtrl_Treble_AM,
    CL_Common_Scan_WAlert,
    CL_Common_Scan_WX_Ch,
    CL_Common_Scan_Prio,
    CL_Common_Scan_StopBeep,
    CL_Common_Scan_Pause,
    CL_Common_Scan_Resume,
    CL_Common_Search_Pskip_Search,
    CL_Common_Search_StopBeep,
    CL_Common_Search_Pause,
    CL_Common_Search_Resume,
    CL_Common_CLONE_COMMENT,
    // Commands around the receiver's safety: comparing, backup, read-back and trace; then
    // View > Language, whose index is the language of the next start.
    CL_Menu_File_Compare,
    CL_Menu_Clone_Backup,
    CL_Menu_Clone_Verify,
    CL_Menu_Clone_Trace,
    CL_Menu_View_Language,
    // Clone > Show What Will Be Written and Clone > Restore Backup...
    CL_Menu_Clone_Plan,
    CL_Menu_Clone_Restore,
    CL_Menu_File_Import_Other,
    CL_Menu_File_Export_Other,
    // Edit > Sort... of the list sheets.
    CL_PMenu_Sort,
    // Edit > Find Duplicates of the channel sheets.
    CL_PMenu_Duplicates,
    // Edit > Fill Series... of the channel sheets.
    CL_PMenu_FillSeries,
    CL_None, // no logic id
};

constexpr int CellTypeCount = CT_None; // 11
constexpr int LogicIdCount = CL_None;  // 201

// Names by number ("CT_Conv", "CL_Mch_Freq"); an empty text for a number out of range.
std::string_view CellTypeName(int type);
std::string_view LogicIdName(int logicId);

// Numbers by name; -1 when the name is not in its table.
int FindCellType(std::string_view name);
int FindLogicId(std::string_view name);

// Colour values: 0x00BBGGRR for fixed colours, 0xFF0000nn for system colour nn.
constexpr unsigned clWindow = 0xFF000005u;
constexpr unsigned clWindowText = 0xFF000008u;
constexpr unsigned clHighlight = 0xFF00000Du;
constexpr unsigned clHighlightText = 0xFF00000Eu;
constexpr unsigned clBtnFace = 0xFF00000Fu;
constexpr unsigned clGrayText = 0xFF000011u;

// A colour by its exact name; false when the name is not a colour.
bool FindColor(std::string_view name, unsigned& color);
// The name of a colour value, or an empty text (for readable dumps).
std::string_view ColorName(unsigned color);

// Font fields: character sets, styles and pitches. The field may start with blanks or tabs,
// and only blanks or tabs may follow the name.
bool FindCharset(std::string_view field, int& charset);
bool FindFontStyle(std::string_view field, int& styleBit);
bool FindPitch(std::string_view field, int& pitch);

// Font style bits and pitches.
constexpr int fsBold = 1;
constexpr int fsItalic = 2;
constexpr int fsUnderline = 4;
constexpr int fsStrikeOut = 8;
constexpr int fpDefault = 0;
constexpr int fpFixed = 1;
constexpr int fpVariable = 2;

#include "sheet/cmcCellNames.h"

#include "sheet/cmcHash.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace {

constexpr std::array<std::string_view, CellTypeCount> CellTypeNames = {
    "CT_Null",   "CT_PopupMenu", "CT_Conv", "CT_Prog",  "CT_Prog_Link", "CT_Amw",
    "CT_Bas_Ch", "CT_Bas_Prog",  "CT_Cate", "CT_Group", "CT_Bas"};

constexpr std::array<std::string_view, LogicIdCount> LogicIdNames = {
    "CL_Null",
    "Flex0",
    "FlexSpace",
    "FlexKeyOpt",
    "CL_FlexMarking",
    "CL_Menu_File_New",
    "CL_Menu_File_Open",
    "CL_Menu_File_Save",
    "CL_Menu_File_SaveAs",
    "CL_Menu_File_Import",
    "CL_Menu_File_Add_Import",
    "CL_Menu_File_Ow_Import",
    "CL_Menu_File_Export",
    "CL_Menu_File_Print_Current",
    "CL_Menu_File_Print_All",
    "CL_Menu_File_Recent",
    "CL_Menu_File_Exit",
    "CL_Menu_Edit_Top",
    "CL_Menu_View_FontSize",
    "CL_Menu_View_ToolBar",
    "CL_Menu_Port_Com",
    "CL_Menu_Port_Usb",
    "CL_Menu_Com_Speed",
    "CL_Menu_Clone_Read",
    "CL_Menu_Clone_Write",
    "CL_Menu_Clone_Info",
    "CL_Menu_Clone_Adj",
    "CL_Menu_Preset",
    "CL_Help_About",
    "CL_Help_Contents",
    "CL_Menu_Debug_Compare",
    "CL_Menu_Debug_CorrectComp",
    "CL_Menu_Debug_CautionCorrectComp",
    "CL_Menu_Debug_CorrectSort",
    "CL_Menu_Debug_CorrectOut",
    "CL_Menu_Debug_CorrectIn",
    "CL_Menu_Debug_Window",
    "CL_Menu_Debug_EeWindow",
    "CL_EeDebugWin_Adr",
    "CL_EeDebugWin_0",
    "CL_EeDebugWin_1",
    "CL_EeDebugWin_2",
    "CL_EeDebugWin_3",
    "CL_EeDebugWin_4",
    "CL_EeDebugWin_5",
    "CL_EeDebugWin_6",
    "CL_EeDebugWin_7",
    "CL_EeDebugWin_8",
    "CL_EeDebugWin_9",
    "CL_EeDebugWin_A",
    "CL_EeDebugWin_B",
    "CL_EeDebugWin_C",
    "CL_EeDebugWin_D",
    "CL_EeDebugWin_E",
    "CL_EeDebugWin_F",
    "CallSheet",
    "CL_Check_MemoryCH",
    "CL_Check_PSearch",
    "CL_Check_AWCH",
    "CL_Check_BasicCH",
    "CL_Check_BasicPG",
    "CL_CloneInfo_Comment",
    "CL_CloneInfo_Destination",
    "CL_CloneInfo_Rx_Expansion",
    "CL_CloneInfo_FccInh",
    "CL_Debug_Info_Rx_Expansion",
    "CL_Debug_Info_FccInh",
    "CL_Debug_Info_Destination",
    "CL_Debug_Language",
    "CL_Debug_TCS_LOAD",
    "CL_PMenu_NoItem",
    "CL_PMenu_Edit",
    "CL_PMenu_Copy",
    "CL_PMenu_Paste",
    "CL_PMenu_CarryUp",
    "CL_PMenu_CarryDown",
    "CL_PMenu_Clear",
    "CL_PMenu_Delete",
    "CL_PMenu_Insert",
    "CL_PMenu_Help",
    "CL_FBits",
    "CL_Misc_ChNo_Mch",
    "CL_Misc_ChNo_0Base",
    "CL_Misc_ChNo_1Base",
    "CL_Misc_QuarterPillar",
    "CL_Misc_QuarterPillarSpecial",
    "CL_Misc_ChNo_PLink",
    "CL_Misc_ChNo_CategoryOp",
    "CL_Misc_ChNo_GroupOp",
    "CL_CategoryOP_Icon",
    "CL_CategoryOP_Name",
    "CL_GroupOP_Name",
    "CL_CategoryOP_DirectKey",
    "CL_GroupOP_DirectKey",
    "CL_CategoryOP_Skip",
    "CL_GroupOP_Skip",
    "CL_CategoryOP_Link",
    "CL_GroupOP_Link",
    "CL_Mch_Name_Name",
    "CL_Mch_Name_Num",
    "CL_Mch_Name_Skip",
    "CL_Mch_Select_ChNo",
    "CL_Mch_Freq",
    "CL_Mch_Dup",
    "CL_Mch_Offset_Freq",
    "CL_Mch_TS_Pitch",
    "CL_Mch_Mode",
    "CL_Mch_Att",
    "CL_Mch_Scan_Skip",
    "CL_Mch_Prio",
    "CL_Mch_Stop_Beep",
    "CL_Mch_Decode",
    "CL_Mch_TSQL_Freq",
    "CL_Mch_DTCS",
    "CL_Mch_DTCS_Polarity",
    "CL_Mch_Decode_RX",
    "CL_Mch_Air_Freq",
    "CL_Mch_Vsc",
    "CL_PgSrch_Name",
    "CL_PgSrch_Freq_Low",
    "CL_PgSrch_Freq_High",
    "CL_PgSrch_TS",
    "CL_PgSrch_Mode",
    "CL_PgSrch_ATT",
    "CL_PgLink_Name",
    "CL_PgLink_No",
    "CL_PgLink_Sepa1",
    "CL_PgLink_Sepa2",
    "CL_AutoMWCH_Freq",
    "CL_AutoMWCH_Dup",
    "CL_AutoMWCH_Offset_Freq",
    "CL_AutoMWCH_TS_Pitch",
    "CL_AutoMWCH_Mode",
    "CL_AutoMWCH_Att",
    "CL_AutoMWCH_Decode",
    "CL_AutoMWCH_TSQL_Freq",
    "CL_AutoMWCH_DTCS",
    "CL_AutoMWCH_DTCS_Polarity",
    "CL_AutoMWCH_Decode_RX",
    "CL_AutoMWCH_Air_Freq",
    "CL_AutoMWCH_Vsc",
    "CL_Misc_ChNo_BasicOp",
    "CL_BasicOp_Icon",
    "CL_BasicOp_Name",
    "CL_Basic_ChSrch_Freq",
    "CL_Basic_ChSrch_Name",
    "CL_Basic_ChSrch_Mode",
    "CL_Basic_PgSrch_Freq_Low",
    "CL_Basic_PgSrch_Freq_High",
    "CL_Basic_PgSrch_TS",
    "CL_Basic_PgSrch_Mode",
    "CL_Common_Set_RF_Gain",
    "CL_Common_Set_Power_OFF",
    "CL_Common_Set_Power_ON",
    "CL_Common_Set_Power_Save",
    "CL_Common_Set_Dial_Func",
    "CL_Common_Set_Dial_SpdUp",
    "CL_Common_Set_Key_Lock",
    "CL_Common_Ant_AM_Antenna",
    "CL_Common_Ant_FM_Antenna",
    "CL_Common_RLINK_Address",
    "CL_Common_RLINK_BaudRate",
    "CL_Common_RLINK_Transceive",
    "CL_Common_Disp_BackLight",
    "CL_Common_Disp_Contrast",
    "CL_Common_Disp_Opening_Logo",
    "CL_Common_Disp_FontSize",
    "CL_Common_Disp_Language",
    "CL_Common_Sound_KeyTouch_Beep",
    "CL_Common_Sound_Beep_Lv",
    "CL_Common_Sound_ToneCtrl_Bass_FM",
    "CL_Common_Sound_ToneCtrl_Treble_FM",
    "CL_Common_Sound_AF_Filter_WFM",
    "CL_Common_Sound_ToneCtrl_Bass_WFM",
    "CL_Common_Sound_ToneCtrl_Treble_WFM",
    "CL_Common_Sound_AF_Filter_AM",
    "CL_Common_Sound_ToneCtrl_Bass_AM",
    "CL_Common_Sound_ToneCtrl_Treble_AM",
    "CL_Common_Scan_WAlert",
    "CL_Common_Scan_WX_Ch",
    "CL_Common_Scan_Prio",
    "CL_Common_Scan_StopBeep",
    "CL_Common_Scan_Pause",
    "CL_Common_Scan_Resume",
    "CL_Common_Search_Pskip_Search",
    "CL_Common_Search_StopBeep",
    "CL_Common_Search_Pause",
    "CL_Common_Search_Resume",
    "CL_Common_CLONE_COMMENT",
    "CL_Menu_File_Compare",
    "CL_Menu_Clone_Backup",
    "CL_Menu_Clone_Verify",
    "CL_Menu_Clone_Trace",
    "CL_Menu_View_Language",
    "CL_Menu_Clone_Plan",
    "CL_Menu_Clone_Restore",
    "CL_Menu_File_Import_Other",
    "CL_Menu_File_Export_Other",
    "CL_PMenu_Sort",
    "CL_PMenu_Duplicates",
    "CL_PMenu_FillSeries",
};

struct NamedValue {
    std::string_view name;
    uint32_t value;
};

constexpr NamedValue Colors[] = {
    {"clAqua", 0x00FFFF00},
    {"clBlack", 0x00000000},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clGray", 0x00808080},
    {"clDkGray", 0x00808080},
    {"clGreen", 0x00008000},
    {"clLime", 0x0000FF00},
    {"clSilver", 0x00C0C0C0},
    {"clLtGray", 0x00C0C0C0},
    {"clMaroon", 0x00000080},
    {"clNavy", 0x00800000},
    {"clOlive", 0x00008080},
    {"clPurple", 0x00800080},
    {"clRed", 0x000000FF},
    {"clTeal", 0x00808000},
    {"clWhite", 0x00FFFFFF},
    {"clYellow", 0x0000FFFF},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHightlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
};

constexpr NamedValue Charsets[] = {
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

constexpr NamedValue FontStyles[] = {{"fsBold", fsBold},
                                     {"fsItalic", fsItalic},
                                     {"fsUnderline", fsUnderline},
                                     {"fsStrikeOut", fsStrikeOut}};

constexpr NamedValue Pitches[] = {
    {"fpDefault", fpDefault}, {"fpFixed", fpFixed}, {"fpVariable", fpVariable}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A field names an entry when, after leading blanks and tabs, it starts with the name and
// only blanks or tabs follow.
template <size_t N>
bool FindField(const NamedValue (&table)[N], std::string_view field, int& value) {
    while (!field.empty() && IsBlank(field.front()))
        field.remove_prefix(1);
    for (const NamedValue& entry : table) {
        if (field.substr(0, entry.name.size()) != entry.name) continue;
        std::string_view rest = field.substr(entry.name.size());
        bool blanksOnly = true;
        for (char c : rest)
            blanksOnly = blanksOnly && IsBlank(c);
        if (!blanksOnly) continue;
        value = static_cast<int>(entry.value);
        return true;
    }
    return false;
}

const cmcHash& TypeHash() {
    static const cmcHash hash = [] {
        cmcHash h;
        for (size_t i = 0; i < CellTypeNames.size(); ++i)
            h.Add(CellTypeNames[i], static_cast<int>(i));
        return h;
    }();
    return hash;
}

const cmcHash& LogicHash() {
    static const cmcHash hash = [] {
        cmcHash h;
        for (size_t i = 0; i < LogicIdNames.size(); ++i)
            h.Add(LogicIdNames[i], static_cast<int>(i));
        return h;
    }();
    return hash;
}

const cmcHash& ColorHash() {
    static const cmcHash hash = [] {
        cmcHash h(101);
        for (const NamedValue& entry : Colors)
            h.Add(entry.name, static_cast<int>(entry.value));
        return h;
    }();
    return hash;
}

} // namespace

std::string_view CellTypeName(int type) {
    return type >= 0 && type < CellTypeCount ? CellTypeNames[type] : std::string_view();
}

std::string_view LogicIdName(int logicId) {
    return logicId >= 0 && logicId < LogicIdCount ? LogicIdNames[logicId] : std::string_view();
}

int FindCellType(std::string_view name) {
    return TypeHash().Find(name).value_or(-1);
}

int FindLogicId(std::string_view name) {
    return LogicHash().Find(name).value_or(-1);
}

bool FindColor(std::string_view name, unsigned& color) {
    auto found = ColorHash().Find(name);
    if (!found) return false;
    color = static_cast<unsigned>(*found);
    return true;
}

std::string_view ColorName(unsigned color) {
    // clGray and clDkGray share a value, as do clSilver and clLtGray: the first in the table wins.
    for (const NamedValue& entry : Colors)
        if (entry.value == color) return entry.name;
    return {};
}

bool FindCharset(std::string_view field, int& charset) {
    return FindField(Charsets, field, charset);
}

bool FindFontStyle(std::string_view field, int& styleBit) {
    return FindField(FontStyles, field, styleBit);
}

bool FindPitch(std::string_view field, int& pitch) {
    return FindField(Pitches, field, pitch);
}

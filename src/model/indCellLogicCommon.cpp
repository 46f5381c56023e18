// The common settings: one byte each in the settings area, stored directly.

#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/indCellCall.h"

#include <algorithm>
#include <cstdio>

namespace {

enum class Kind { Pick, DialFunction, Hex, Number, Text };

struct CommonCell {
    int logicId;
    int offset;
    Kind kind;
    const char* list = nullptr;
};

constexpr const char* OnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* ToneCtrl = "GI_Sheet_Sel_Common_Sound_ToneCtrl";

namespace cs = memmap::common;

constexpr CommonCell Cells[] = {
    {CL_Common_Set_RF_Gain, cs::RfGain, Kind::Pick, "GI_Sheet_Sel_Common_Set_RF_Gain"},
    {CL_Common_Set_Power_OFF, cs::PowerOff, Kind::Pick, "GI_Sheet_Sel_Common_Set_Power_OFF"},
    {CL_Common_Set_Power_ON, cs::PowerOn, Kind::Pick, "GI_Sheet_Sel_Common_Set_Power_ON"},
    {CL_Common_Set_Power_Save, cs::PowerSave, Kind::Pick, "GI_Sheet_Sel_Misc_AutoOff"},
    {CL_Common_Set_Dial_Func, cs::DialFunction, Kind::DialFunction,
     "GI_Sheet_Sel_Common_Set_Dial_Func"},
    {CL_Common_Set_Dial_SpdUp, cs::DialSpeedUp, Kind::Pick, OnOff},
    {CL_Common_Set_Key_Lock, cs::KeyLock, Kind::Pick, "GI_Sheet_Sel_Common_Set_Key_Lock"},
    {CL_Common_Ant_AM_Antenna, cs::AmAntenna, Kind::Pick, "GI_Sheet_Sel_Common_Ant_AM_Antenna"},
    {CL_Common_Ant_FM_Antenna, cs::FmAntenna, Kind::Pick, "GI_Sheet_Sel_Common_Ant_FM_Antenna"},
    {CL_Common_RLINK_Address, cs::RLinkAddress, Kind::Hex},
    {CL_Common_RLINK_BaudRate, cs::RLinkBaudRate, Kind::Pick, "GI_Sheet_Sel_Common_RLINK_BaudRate"},
    {CL_Common_RLINK_Transceive, cs::RLinkTransceive, Kind::Pick, OnOff},
    {CL_Common_Disp_BackLight, cs::BackLight, Kind::Pick, "GI_Sheet_Sel_Common_Disp_BackLight"},
    {CL_Common_Disp_Contrast, cs::Contrast, Kind::Pick, "GI_Sheet_Sel_Common_Disp_Contrast"},
    {CL_Common_Disp_Opening_Logo, cs::OpeningLogo, Kind::Pick, OnOff},
    {CL_Common_Disp_FontSize, cs::FontSize, Kind::Pick, "GI_Sheet_Sel_Common_Disp_FontSize"},
    {CL_Common_Disp_Language, cs::Language, Kind::Pick, "GI_Sheet_Sel_Common_Disp_Language"},
    {CL_Common_Sound_KeyTouch_Beep, cs::KeyTouchBeep, Kind::Pick, OnOff},
    {CL_Common_Sound_Beep_Lv, cs::BeepLevel, Kind::Number},
    {CL_Common_Sound_ToneCtrl_Bass_FM, cs::BassFm, Kind::Pick, ToneCtrl},
    {CL_Common_Sound_ToneCtrl_Treble_FM, cs::TrebleFm, Kind::Pick, ToneCtrl},
    {CL_Common_Sound_AF_Filter_WFM, cs::AfFilterWfm, Kind::Pick, OnOff},
    {CL_Common_Sound_ToneCtrl_Bass_WFM, cs::BassWfm, Kind::Pick, ToneCtrl},
    {CL_Common_Sound_ToneCtrl_Treble_WFM, cs::TrebleWfm, Kind::Pick, ToneCtrl},
    {CL_Common_Sound_AF_Filter_AM, cs::AfFilterAm, Kind::Pick, OnOff},
    {CL_Common_Sound_ToneCtrl_Bass_AM, cs::BassAm, Kind::Pick, ToneCtrl},
    {CL_Common_Sound_ToneCtrl_Treble_AM, cs::TrebleAm, Kind::Pick, ToneCtrl},
    {CL_Common_Scan_WAlert, cs::WeatherAlert, Kind::Pick, OnOff},
    {CL_Common_Scan_WX_Ch, cs::WxChannel, Kind::Pick, "GI_Sheet_Sel_Common_Scan_WX_Ch"},
    {CL_Common_Scan_Prio, cs::ScanPriority, Kind::Pick, OnOff},
    {CL_Common_Scan_StopBeep, cs::ScanStopBeep, Kind::Pick, OnOff},
    {CL_Common_Scan_Pause, cs::ScanPause, Kind::Pick, "GI_Sheet_Sel_Common_PauseTimer"},
    {CL_Common_Scan_Resume, cs::ScanResume, Kind::Pick, "GI_Sheet_Sel_Common_ResumeTimer"},
    {CL_Common_Search_Pskip_Search, cs::PSkipSearch, Kind::Pick, OnOff},
    {CL_Common_Search_StopBeep, cs::SearchStopBeep, Kind::Pick, OnOff},
    {CL_Common_Search_Pause, cs::SearchPause, Kind::Pick, "GI_Sheet_Sel_Common_PauseTimer"},
    {CL_Common_Search_Resume, cs::SearchResume, Kind::Pick, "GI_Sheet_Sel_Common_ResumeTimer"},
    {CL_Common_CLONE_COMMENT, memmap::CloneComment - memmap::CommonSettings, Kind::Text},
};

constexpr uint8_t DialFunctionBit = 0x80;

const CommonCell* FindCell(int logicId) {
    for (const CommonCell& cell : Cells)
        if (cell.logicId == logicId) return &cell;
    return nullptr;
}

void RunComment(indCellCall& call, uint8_t* bytes) {
    std::string field(reinterpret_cast<const char*>(bytes + memmap::CloneComment),
                      memmap::NameLength);
    if (TextEditor(call, field, memmap::NameLength)) {
        std::copy(field.begin(), field.end(), bytes + memmap::CloneComment);
        call.handled = true;
    }
    if (call.action != cellAction::OpenEditor) call.Show(FieldText(field));
}

} // namespace

bool RunCommonCell(indCellCall& call) {
    const CommonCell* cell = FindCell(call.logicId);
    if (!cell) return false;
    uint8_t* bytes = call.Org().Image().Data();
    if (!bytes || call.Org().Image().GetSize() < memmap::End) return true;
    if (cell->kind == Kind::Text) {
        RunComment(call, bytes);
        return true;
    }
    uint8_t& byte = bytes[memmap::CommonSettings + cell->offset];
    int value = cell->kind == Kind::DialFunction ? (byte & DialFunctionBit ? 1 : 0) : byte;
    bool changed = false;
    switch (cell->kind) {
    case Kind::Hex:
        changed = HexEditor(call, value, 0x01, 0x7F);
        break;
    case Kind::Number:
        changed = NumberEditor(call, value, 0, 39, 1, 0);
        break;
    default:
        changed = PickListEditor(call, cell->list, Flex0, value);
        break;
    }
    if (changed) {
        if (cell->kind == Kind::DialFunction)
            byte = uint8_t(value ? byte | DialFunctionBit : byte & ~DialFunctionBit);
        else
            byte = uint8_t(value);
        call.handled = true;
        if (cell->logicId == CL_Common_Scan_WAlert) call.mask |= repaint::All;
    }
    if (call.action == cellAction::OpenEditor) return true;
    char text[8];
    switch (cell->kind) {
    case Kind::Hex:
        std::snprintf(text, sizeof text, "%02X", value & 0xFF);
        call.Show(text);
        break;
    case Kind::Number:
        call.Show(std::to_string(value));
        break;
    default:
        call.Show(PickListText(call, cell->list, Flex0, value));
        break;
    }
    if (cell->logicId == CL_Common_Scan_WX_Ch)
        call.Grey(bytes[memmap::CommonSettings + memmap::common::WeatherAlert] == 0);
    return true;
}

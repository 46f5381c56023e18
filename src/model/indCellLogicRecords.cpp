// The data cells of memory channels, auto-write channels, program-search edges and
// basic-search entries, and the plain pick-list cells of categories, groups and banks.

#include "events/cmcEvents.h"
#include "model/cmcDataChecks.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/indCellCall.h"
#include "model/indDestination.h"

namespace {

enum class Field {
    Frequency,
    SecondFrequency,
    Offset,
    Duplex,
    Step,
    Mode,
    Attenuator,
    Skip,
    Priority,
    StopBeep,
    ToneMode,
    Tone,
    Dtcs,
    Polarity,
    Canceller,
    Train,
    Vsc,
    Name,
    ShortName,
    Icon,
    Link,
};

enum class Editor { Pick, TypedPick, Text, Number, Frequency };

// When a datum does not apply in the record's state, its text is greyed.
enum class Greyed { Never, DuplexOff, NotFm, NoTsql, NoDtcs, NoTrain };

struct RecordCell {
    int logicId;
    Field field;
    Editor editor;
    const char* list = nullptr;     // the pick list (for all destinations, or without Auto)
    const char* autoList = nullptr; // the list with "Auto" for destinations 0 and 5
    int listKind = Flex0;
    Greyed greyed = Greyed::Never;
};

constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";
constexpr const char* StepList = "GI_Sheet_Sel_Mch_TS_Pitch_Exp";
constexpr const char* StepAutoList = "GI_Sheet_Sel_Mch_TS_Pitch_JU";
constexpr const char* ModeList = "GI_Sheet_Sel_Mch_Mode";
constexpr const char* ModeAutoList = "GI_Sheet_Sel_Mch_Mode_JU";

// Memory channels and auto-write channels share their data cells.
constexpr RecordCell Cells[] = {
    {CL_Mch_Freq, Field::Frequency, Editor::Frequency},
    {CL_Mch_Dup, Field::Duplex, Editor::Pick, "GI_Sheet_Sel_Mch_Dup"},
    {CL_Mch_Offset_Freq, Field::Offset, Editor::Frequency, nullptr, nullptr, Flex0,
     Greyed::DuplexOff},
    {CL_Mch_TS_Pitch, Field::Step, Editor::Pick, StepList, StepAutoList, CL_FlexMarking},
    {CL_Mch_Mode, Field::Mode, Editor::Pick, ModeList, ModeAutoList, CL_FlexMarking},
    {CL_Mch_Att, Field::Attenuator, Editor::Pick, OnOff2},
    {CL_Mch_Scan_Skip, Field::Skip, Editor::Pick, "GI_Sheet_Sel_Mch_Scan_Skip"},
    {CL_Mch_Prio, Field::Priority, Editor::Pick, OnOff2},
    {CL_Mch_Stop_Beep, Field::StopBeep, Editor::Pick, OnOff2},
    {CL_Mch_Decode, Field::ToneMode, Editor::Pick, "GI_Sheet_Sel_Mch_TSQL", nullptr, CL_FlexMarking,
     Greyed::NotFm},
    {CL_Mch_TSQL_Freq, Field::Tone, Editor::TypedPick, "GI_Sheet_Sel_Mch_TFreq", nullptr, Flex0,
     Greyed::NoTsql},
    {CL_Mch_DTCS, Field::Dtcs, Editor::TypedPick, "GI_Sheet_Sel_Mch_DTCS", nullptr, Flex0,
     Greyed::NoDtcs},
    {CL_Mch_DTCS_Polarity, Field::Polarity, Editor::Pick, "GI_Sheet_Sel_Mch_DTCS_Polarity", nullptr,
     Flex0, Greyed::NoDtcs},
    {CL_Mch_Decode_RX, Field::Canceller, Editor::Pick, "GI_Sheet_Sel_Mch_TSQL_C", nullptr,
     CL_FlexMarking, Greyed::NotFm},
    {CL_Mch_Air_Freq, Field::Train, Editor::Number, nullptr, nullptr, Flex0, Greyed::NoTrain},
    {CL_Mch_Vsc, Field::Vsc, Editor::Pick, OnOff2},
    {CL_AutoMWCH_Freq, Field::Frequency, Editor::Frequency},
    {CL_AutoMWCH_Dup, Field::Duplex, Editor::Pick, "GI_Sheet_Sel_Mch_Dup"},
    {CL_AutoMWCH_Offset_Freq, Field::Offset, Editor::Frequency, nullptr, nullptr, Flex0,
     Greyed::DuplexOff},
    {CL_AutoMWCH_TS_Pitch, Field::Step, Editor::Pick, StepList, StepAutoList, CL_FlexMarking},
    {CL_AutoMWCH_Mode, Field::Mode, Editor::Pick, ModeList, ModeAutoList, CL_FlexMarking},
    {CL_AutoMWCH_Att, Field::Attenuator, Editor::Pick, OnOff2},
    {CL_AutoMWCH_Decode, Field::ToneMode, Editor::Pick, "GI_Sheet_Sel_Mch_TSQL", nullptr,
     CL_FlexMarking, Greyed::NotFm},
    {CL_AutoMWCH_TSQL_Freq, Field::Tone, Editor::TypedPick, "GI_Sheet_Sel_Mch_TFreq", nullptr,
     Flex0, Greyed::NoTsql},
    {CL_AutoMWCH_DTCS, Field::Dtcs, Editor::TypedPick, "GI_Sheet_Sel_Mch_DTCS", nullptr, Flex0,
     Greyed::NoDtcs},
    {CL_AutoMWCH_DTCS_Polarity, Field::Polarity, Editor::Pick, "GI_Sheet_Sel_Mch_DTCS_Polarity",
     nullptr, Flex0, Greyed::NoDtcs},
    {CL_AutoMWCH_Decode_RX, Field::Canceller, Editor::Pick, "GI_Sheet_Sel_Mch_TSQL_C", nullptr,
     CL_FlexMarking, Greyed::NotFm},
    {CL_AutoMWCH_Air_Freq, Field::Train, Editor::Number, nullptr, nullptr, Flex0, Greyed::NoTrain},
    {CL_AutoMWCH_Vsc, Field::Vsc, Editor::Pick, OnOff2},
    // Program-search edges.
    {CL_PgSrch_Name, Field::Name, Editor::Text},
    {CL_PgSrch_Freq_Low, Field::SecondFrequency, Editor::Frequency},
    {CL_PgSrch_Freq_High, Field::Frequency, Editor::Frequency},
    {CL_PgSrch_TS, Field::Step, Editor::Pick, "GI_Sheet_Sel_Mch_TS_Pitch_Exp_PGS",
     "GI_Sheet_Sel_Mch_TS_Pitch_JU_PGS", CL_FlexMarking},
    {CL_PgSrch_Mode, Field::Mode, Editor::Pick, "GI_Sheet_Sel_Mch_Mode_PGS",
     "GI_Sheet_Sel_Mch_Mode_JU_PGS", CL_FlexMarking},
    {CL_PgSrch_ATT, Field::Attenuator, Editor::Pick, "GI_Sheet_Sel_Mch_ATT_PGS"},
    // Basic-search entries.
    {CL_Basic_ChSrch_Freq, Field::Frequency, Editor::Frequency},
    {CL_Basic_ChSrch_Name, Field::ShortName, Editor::Text},
    {CL_Basic_ChSrch_Mode, Field::Mode, Editor::Pick, ModeList, ModeAutoList, CL_FlexMarking},
    {CL_Basic_PgSrch_Freq_Low, Field::SecondFrequency, Editor::Frequency},
    {CL_Basic_PgSrch_Freq_High, Field::Frequency, Editor::Frequency},
    {CL_Basic_PgSrch_TS, Field::Step, Editor::Pick, StepList, StepAutoList, CL_FlexMarking},
    {CL_Basic_PgSrch_Mode, Field::Mode, Editor::Pick, ModeList, ModeAutoList, CL_FlexMarking},
    // Categories, groups and banks: their plain pick-list cells.
    {CL_CategoryOP_Icon, Field::Icon, Editor::Pick, "GI_Sheet_Sel_Ope_Icon"},
    {CL_BasicOp_Icon, Field::Icon, Editor::Pick, "GI_Sheet_Sel_Ope_Icon"},
    {CL_CategoryOP_Skip, Field::Skip, Editor::Pick, "GI_Sheet_Sel_Ope_Skip"},
    {CL_GroupOP_Skip, Field::Skip, Editor::Pick, "GI_Sheet_Sel_Ope_Skip"},
    {CL_CategoryOP_Link, Field::Link, Editor::Pick, OnOff2},
    {CL_GroupOP_Link, Field::Link, Editor::Pick, OnOff2},
};

const RecordCell* FindCell(int logicId) {
    for (const RecordCell& cell : Cells)
        if (cell.logicId == logicId) return &cell;
    return nullptr;
}

} // namespace

bool CellPickList(int logicId, std::string& list, int& kind) {
    const RecordCell* cell = FindCell(logicId);
    if (!cell || !cell->list) return false;
    list = cell->autoList ? cell->autoList : cell->list;
    kind = cell->listKind;
    return true;
}

namespace {

int Get(const datCh& r, Field field) {
    switch (field) {
    case Field::Duplex:
        return r.duplex;
    case Field::Step:
        return int(r.tuningStep);
    case Field::Mode:
        return int(r.mode);
    case Field::Attenuator:
        return int(r.attenuator);
    case Field::Skip:
        return r.skip;
    case Field::Priority:
        return r.priority;
    case Field::StopBeep:
        return int(r.stopBeep);
    case Field::ToneMode:
        return r.toneMode;
    case Field::Tone:
        return int(r.tone);
    case Field::Dtcs:
        return r.dtcsCode;
    case Field::Polarity:
        return r.dtcsPolarity;
    case Field::Canceller:
        return int(r.canceller);
    case Field::Train:
        return int(r.trainFrequency);
    case Field::Vsc:
        return int(r.vsc);
    case Field::Icon:
        return r.icon;
    case Field::Link:
        return r.link;
    default:
        return 0;
    }
}

void Set(datCh& r, Field field, int value) {
    switch (field) {
    case Field::Duplex:
        r.duplex = value;
        break;
    case Field::Step:
        r.tuningStep = uint32_t(value);
        break;
    case Field::Mode:
        r.mode = uint32_t(value);
        break;
    case Field::Attenuator:
        r.attenuator = uint32_t(value);
        break;
    case Field::Skip:
        r.skip = value;
        break;
    case Field::Priority:
        r.priority = value;
        break;
    case Field::StopBeep:
        r.stopBeep = uint32_t(value);
        break;
    case Field::ToneMode:
        r.toneMode = value;
        break;
    case Field::Tone:
        r.tone = uint32_t(value);
        break;
    case Field::Dtcs:
        r.dtcsCode = value;
        break;
    case Field::Polarity:
        r.dtcsPolarity = value;
        break;
    case Field::Canceller:
        r.canceller = uint32_t(value);
        if (value != 0) r.vsc = 0; // a canceller and VSC exclude each other
        break;
    case Field::Train:
        r.trainFrequency = uint32_t(value);
        break;
    case Field::Vsc:
        r.vsc = uint32_t(value);
        if (value != 0) r.canceller = 0;
        break;
    case Field::Icon:
        r.icon = uint8_t(value);
        break;
    case Field::Link:
        r.link = value;
        break;
    default:
        break;
    }
}

bool IsFm(const indCellCall& call) {
    const datCh& r = call.record;
    const int mode = r.mode == uint32_t(values::ModeAuto)
                         ? call.Destination().AutoModeOf(r.frequency)
                         : int(r.mode);
    return mode == values::ModeFm;
}

bool IsGreyed(const indCellCall& call, Greyed rule) {
    const datCh& r = call.record;
    switch (rule) {
    case Greyed::Never:
        return false;
    case Greyed::DuplexOff:
        return r.duplex == 0;
    case Greyed::NotFm:
        return !IsFm(call);
    case Greyed::NoTsql:
        return !IsFm(call) || (r.toneMode != values::ToneTsql && r.toneMode != values::ToneTsqlR);
    case Greyed::NoDtcs:
        return !IsFm(call) || (r.toneMode != values::ToneDtcs && r.toneMode != values::ToneDtcsR);
    case Greyed::NoTrain:
        return !IsFm(call) || r.canceller != uint32_t(values::CancellerTrain1);
    }
    return false;
}

const char* ListOf(const indCellCall& call, const RecordCell& cell) {
    return cell.autoList && call.Destination().HasAutoModeAndStep() ? cell.autoList : cell.list;
}

bool IsSecond(const RecordCell& cell) {
    return cell.field == Field::SecondFrequency;
}

void Marks(indCellCall& call, const RecordCell& cell) {
    const datCh& r = call.record;
    const indDestination& destination = call.Destination();
    switch (cell.field) {
    case Field::Frequency:
    case Field::SecondFrequency: {
        const auto which = IsSecond(cell) ? clsWhichFrequency::Second : clsWhichFrequency::First;
        call.MarkWarning(HasFrequencyWarning(r, destination, which));
        call.MarkError(HasFrequencyError(r, which), cellMark::FrequencyRange);
        break;
    }
    case Field::Offset:
        call.MarkError(HasOffsetError(r, destination), cellMark::Offset);
        break;
    case Field::Step:
        call.MarkError(HasStepError(r, destination), cellMark::Step);
        call.capsule.markPosition = 2;
        break;
    case Field::Mode:
        // The mode cell of a basic program-search entry carries no mark; the data checks
        // still count its error.
        call.MarkError(r.kind != datKind::BasicPg && HasModeError(r, destination), cellMark::Mode);
        call.capsule.markPosition = 2;
        break;
    default:
        break;
    }
}

bool IsCreatingKey(int key) {
    return key == cellKey::Space || key == cellKey::Backspace || key == cellKey::Point ||
           (key >= '0' && key <= '9') || key == cellKey::Enter || key == cellKey::F2;
}

// Whether the list of the new row takes one more record; shows the limit's message if not.
bool RoomForNewRecord(indCellCall& call) {
    cmcOrganisation& org = call.Org();
    if (call.kind == datKind::Mch) return org.CheckLimit(datKind::Name, 0, true, true);
    return org.CheckLimit(call.kind, call.bank, true, true);
}

// A new basic entry from the bank's new row.
bool CreateBasicEntry(indCellCall& call) {
    if (!call.Org().CheckLimit(call.kind, call.bank, true, true)) return false;
    call.Send(ev::InsertBasicEntry, std::intptr_t(call.kind), call.index);
    call.Send(ev::SheetTitle);
    call.record.Reload();
    call.newRow = false;
    call.handled = true;
    return true;
}

bool HasTwoFrequencies(uint32_t kind) {
    return kind == datKind::PgSrch || kind == datKind::BasicPg;
}

void RunFrequency(indCellCall& call, const RecordCell& cell) {
    datCh& r = call.record;
    const bool offset = cell.field == Field::Offset;
    // The new row makes its record from a frequency that was understood, when it is
    // committed: keys only open the editor, so that a cancelled or unreadable entry leaves
    // no stray record behind.
    if (call.newRow && call.Entered() && ReadsAsFrequency(call.capsule.inputText)) {
        const bool created =
            call.kind == datKind::Mch ? CreateFromNewRow(call) : CreateBasicEntry(call);
        if (!created) return;
    }
    // A full list says so before anything is typed.
    if (call.newRow && IsCreatingKey(call.Key()) && !RoomForNewRecord(call)) return;
    uint32_t& field = offset ? r.offset : IsSecond(cell) ? r.secondFrequency : r.frequency;
    const bool beyond = r.frequency > CoverageHighHz || r.secondFrequency > CoverageHighHz;
    const bool blankStart = !offset && (!r.InUse() || beyond);
    const uint32_t low = offset ? 0 : CoverageLowHz;
    const uint32_t high = offset ? 199995000 : CoverageHighHz;
    uint32_t value = field;
    if (FrequencyEditor(call, value, low, high, blankStart)) {
        const int oldBand = call.Destination().BandOf(r.frequency);
        const int enteredBand = call.Destination().BandOf(value);
        int band = oldBand;
        if (HasTwoFrequencies(call.kind)) {
            band = enteredBand;
            if (!r.InUse() || beyond) {
                r.StoreDefault(call.kind, r.index, enteredBand);
                r.Reload();
                // Both ends take the entered value: a record is in use only when both of
                // its frequencies are.
                r.frequency = r.secondFrequency = SnapFrequency(value, band, false);
            }
        }
        (offset           ? r.offset
         : IsSecond(cell) ? r.secondFrequency
                          : r.frequency) = SnapFrequency(value, band, offset);
        r.SetInUse(true);
        call.StoreRecord();
    }
    if (!r.InUse()) return;
    const uint32_t shown = offset ? r.offset : IsSecond(cell) ? r.secondFrequency : r.frequency;
    if (call.action != cellAction::OpenEditor) call.Show(FormatMegahertz(shown));
    Marks(call, cell);
    call.Grey(IsGreyed(call, cell.greyed));
}

void RunText(indCellCall& call, const RecordCell& cell) {
    datCh& r = call.record;
    const bool shortName = cell.field == Field::ShortName;
    std::string field =
        shortName ? std::string(r.shortName.data(), r.shortName.size()) : r.NameField();
    if (TextEditor(call, field, field.size())) {
        if (shortName)
            r.SetShortName(field);
        else
            r.SetName(field);
        call.StoreRecord();
        field = shortName ? std::string(r.shortName.data(), r.shortName.size()) : r.NameField();
    }
    if (call.action != cellAction::OpenEditor) call.Show(FieldText(field));
}

void RunValue(indCellCall& call, const RecordCell& cell) {
    datCh& r = call.record;
    int value = Get(r, cell.field);
    bool changed = false;
    if (cell.editor == Editor::Number) {
        changed = NumberEditor(call, value, int(TrainLowHz), int(TrainHighHz), 10, 0);
        if (changed) value = int(RoundTrainFrequency(uint32_t(value)));
    } else if (cell.editor == Editor::TypedPick) {
        changed = TypedPickListEditor(call, ListOf(call, cell), cell.listKind, value, true);
    } else {
        changed = PickListEditor(call, ListOf(call, cell), cell.listKind, value);
    }
    if (changed) {
        Set(r, cell.field, value);
        call.StoreRecord();
        value = Get(r, cell.field);
    }
    if (call.action != cellAction::OpenEditor) {
        call.Show(cell.editor == Editor::Number
                      ? std::to_string(value)
                      : PickListText(call, ListOf(call, cell), cell.listKind, value));
    }
    Marks(call, cell);
    call.Grey(IsGreyed(call, cell.greyed));
}

// On a link sheet the edge cells show the linked edge, and take no input.
bool RunLinkedEdgeCell(indCellCall& call) {
    const datCh& r = call.record;
    if (r.linkEdge == NoLinkEdge || !r.LinkedEdgeInUse()) return true;
    if (call.logicId == CL_PgSrch_Name) call.Show(FieldText(r.NameField()));
    if (call.logicId == CL_PgSrch_Freq_Low) call.Show(FormatMegahertz(r.secondFrequency));
    if (call.logicId == CL_PgSrch_Freq_High) call.Show(FormatMegahertz(r.frequency));
    return true;
}

} // namespace

bool RunRecordCell(indCellCall& call) {
    const RecordCell* cell = FindCell(call.logicId);
    if (!cell || call.kind == datKind::None) return false;
    if (call.kind == datKind::PgLink) return RunLinkedEdgeCell(call);
    if (cell->editor == Editor::Frequency)
        RunFrequency(call, *cell);
    else if (cell->editor == Editor::Text)
        RunText(call, *cell);
    else
        RunValue(call, *cell);
    return true;
}

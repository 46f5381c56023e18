#include "model/indCellLogic.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcDocumentCommands.h"
#include "model/cmcEeprom.h"
#include "model/cmcFCache.h"
#include "model/cmcOrganisation.h"
#include "model/cmcUndoHistory.h"
#include "model/indCellCall.h"
#include "model/indDestination.h"
#include "platform/cmcPlatform.h"

namespace {

// The record kind a cell type counts; types 0, 1 and 11 (none) have no record.
uint32_t KindOfCellType(int cellType) {
    switch (cellType) {
    case CT_Null:
    case CT_PopupMenu:
    case CT_None:
        return datKind::None;
    case CT_Conv:
        return datKind::Mch;
    case CT_Prog:
        return datKind::PgSrch;
    case CT_Prog_Link:
        return datKind::PgLink;
    case CT_Amw:
        return datKind::AutoMWCH;
    case CT_Bas_Ch:
        return datKind::BasicCh;
    case CT_Bas_Prog:
        return datKind::BasicPg;
    case CT_Cate:
        return datKind::Category;
    case CT_Group:
        return datKind::Group;
    case CT_Bas:
        return datKind::BasicBank;
    }
    cmcFatal("Unknown Cell Category.");
}

bool IsCharacterKey(int key) {
    return (key > 0 && key < 128) || key == cellKey::F2;
}

bool IsNumberCell(int logicId) {
    switch (logicId) {
    case CL_Misc_ChNo_Mch:
    case CL_Misc_ChNo_0Base:
    case CL_Misc_ChNo_1Base:
    case CL_Misc_ChNo_PLink:
    case CL_Misc_ChNo_CategoryOp:
    case CL_Misc_ChNo_GroupOp:
    case CL_Misc_ChNo_BasicOp:
        return true;
    default:
        return false;
    }
}

bool IsNameColumn(int logicId) {
    return logicId == CL_Mch_Name_Name || logicId == CL_Mch_Name_Num || logicId == CL_Mch_Name_Skip;
}

// The set number the open channel-list sheet reports, if any sheet answers.
bool AskSheetSet(indCellCall& call, int& set) {
    cmcEvMan* events = call.logic.Document().events;
    if (!events) return false;
    const cmcEvAns* answer = events->Ask(ev::AskChannelList);
    if (!answer) return false;
    set = answer->value;
    return true;
}

void LoadContextOf(indCellCall& call) {
    cmcOrganisation& org = call.Org();
    int set = 0;
    const bool answered = AskSheetSet(call, set);
    switch (call.cellType) {
    case CT_Conv:
        call.group = answered ? set : org.GroupOfChannel(call.index);
        call.category = org.CategoryOfGroup(call.group);
        call.first = org.FirstChannelOfGroup(call.group);
        call.count = org.ChannelsOfGroup(call.group);
        call.last = call.first + call.count - 1;
        call.newRow = call.index >= call.first + call.count;
        if (org.NamesGroup() != call.group) org.RecountNames(call.group);
        break;
    case CT_Bas_Ch:
    case CT_Bas_Prog: {
        const int size = call.cellType == CT_Bas_Ch ? cmcOrganisation::MaxBankChEntries
                                                    : cmcOrganisation::MaxBankPgEntries;
        call.bank = answered ? set : call.index / size;
        call.first = call.bank * size;
        call.count =
            call.cellType == CT_Bas_Ch ? org.BankChCount(call.bank) : org.BankPgCount(call.bank);
        call.last = call.first + call.count - 1;
        call.newRow = call.index - call.first >= call.count;
        break;
    }
    case CT_Cate:
        call.count = org.CategoryCount();
        call.first = 0, call.last = cmcOrganisation::MaxCategories - 1;
        call.newRow = call.index >= call.count;
        break;
    case CT_Group:
        call.category = answered ? set : org.CategoryOfGroup(call.index);
        call.first = org.FirstGroupOfCategory(call.category);
        call.count = org.GroupsOfCategory(call.category);
        call.last = call.first + cmcOrganisation::MaxGroupsPerCategory - 1;
        call.newRow = call.index >= call.first + call.count;
        break;
    case CT_Bas:
        call.count = org.BankCount();
        call.first = 0, call.last = cmcOrganisation::MaxBanks - 1;
        call.newRow = call.index >= call.count;
        break;
    case CT_Prog:
        call.first = 0, call.last = datKind::Count(datKind::PgSrch) - 1;
        call.count = call.last + 1;
        break;
    case CT_Prog_Link: {
        const int link = call.index / 26;
        call.first = link * 26 + 1, call.last = link * 26 + 25;
        call.count = 25;
        break;
    }
    case CT_Amw:
        call.first = 0, call.last = datKind::Count(datKind::AutoMWCH) - 1;
        call.count = call.last + 1;
        call.autoWriteSlot = datLookup::AutoWriteSlotOfRow(call.Org().Image(), call.index);
        break;
    default:
        break;
    }
}

// A record of the call's kind and index that is not in use.
void LoadEmptyRecord(indCellCall& call) {
    call.record.Clear();
    call.record.kind = call.kind;
    call.record.index = call.index;
    call.record.SetInUse(false);
}

void LoadRecordOf(indCellCall& call) {
    if (call.kind == datKind::None) return;
    // The slot of a new row is the next list's first record, or no record at all: the
    // row shows nothing of it.
    if (call.newRow || (call.kind == datKind::AutoMWCH && call.autoWriteSlot < 0)) {
        LoadEmptyRecord(call);
        return;
    }
    call.record.Load(call.kind, call.kind == datKind::AutoMWCH ? call.autoWriteSlot : call.index);
}

// Name cells of a memory channel span the rows of their name.
void FillNameBlock(indCellCall& call) {
    if (call.cellType != CT_Conv) return;
    cmcCellObj& cell = call.cell;
    const cmcOrganisation& org = call.Org();
    const int position = call.index - call.first;
    const int name = call.newRow ? cmcOrganisation::MaxNamesPerGroup : org.NameOfPosition(position);
    if (name >= cmcOrganisation::MaxNamesPerGroup) {
        cell.blockNumber = name, cell.rowsAbove = 0, cell.rowsBelow = 0, cell.inBlock = false;
        return;
    }
    cell.blockNumber = name;
    cell.rowsAbove = position - org.FirstPositionOfName(name);
    cell.rowsBelow = org.LastPositionOfName(name) - position;
    cell.inBlock = IsNameColumn(call.logicId) && org.ChannelsOfName(name) >= 2;
}

// Cells of new rows and empty records, and keys typed where they cannot go. True when the
// call is answered here.
bool Redirect(indCellCall& call) {
    const int key = call.Key();
    const bool typed = IsCharacterKey(key);
    const bool input = call.Key() || call.Entered() || call.Chosen();
    if (IsNumberCell(call.logicId)) return false;
    switch (call.cellType) {
    case CT_Conv:
        if (call.newRow) {
            if (call.logicId == CL_Mch_Freq) return false;
            if (typed) call.JumpAndReplay(CL_Mch_Freq, call.index);
            return true;
        }
        if (typed && IsNameColumn(call.logicId) && call.cell.rowsAbove > 0) {
            call.JumpAndReplay(call.logicId, call.index - call.cell.rowsAbove);
            return true;
        }
        return false;
    case CT_Prog:
        if (call.record.InUse()) return false;
        if (call.logicId == CL_PgSrch_Freq_Low || call.logicId == CL_PgSrch_Freq_High) {
            if (call.Entered() || (call.logicId == CL_PgSrch_Freq_Low && typed)) return false;
        }
        if (typed) call.JumpAndReplay(CL_PgSrch_Freq_Low, call.index);
        return true;
    case CT_Amw:
        if (input) return true; // shown and copied only
        return !call.record.InUse();
    case CT_Bas_Ch:
    case CT_Bas_Prog: {
        if (!call.newRow) return false;
        const int target =
            call.cellType == CT_Bas_Ch ? CL_Basic_ChSrch_Freq : CL_Basic_PgSrch_Freq_Low;
        const bool frequencyCell =
            call.logicId == target || call.logicId == CL_Basic_PgSrch_Freq_High;
        if (frequencyCell && (call.Entered() || (call.logicId == target && typed))) return false;
        if (typed) call.JumpAndReplay(target, call.index);
        return true;
    }
    case CT_Cate:
    case CT_Group:
    case CT_Bas: {
        if (!call.newRow) return false;
        const int target = call.cellType == CT_Cate    ? CL_CategoryOP_Name
                           : call.cellType == CT_Group ? CL_GroupOP_Name
                                                       : CL_BasicOp_Name;
        if (call.logicId == target && (typed || call.Entered())) return false;
        if (typed) call.JumpAndReplay(target, call.index);
        return true;
    }
    default:
        return false;
    }
}

bool RunPopupOperation(indCellCall& call) {
    const int operation = call.capsule.operation;
    if (operation == CL_PMenu_Edit) {
        call.capsule.operation = 0;
        call.capsule.keyCode = cellKey::Enter;
        return false; // goes on as the key Enter
    }
    if (operation == CL_PMenu_Help) {
        if (cmcDocumentCommands* commands = call.logic.Document().commands)
            commands->Run(cmcDocumentCommands::Command::CellHelp, call.logicId);
        return true;
    }
    if (operation == CL_PMenu_Sort) {
        RunSort(call);
        return true;
    }
    if (operation == CL_PMenu_FillSeries) {
        if (call.kind == datKind::Mch) RunFillSeries(call);
        return true;
    }
    if (operation == CL_PMenu_Duplicates) {
        cmcDocumentCommands* commands = call.logic.Document().commands;
        if (commands && commands->CanRun(cmcDocumentCommands::Command::FindDuplicates, 0))
            commands->Run(cmcDocumentCommands::Command::FindDuplicates, 0);
        return true;
    }
    if (operation >= CL_PMenu_Copy && operation <= CL_PMenu_Insert && call.kind != datKind::None) {
        RunEditCommand(call, operation);
        call.handled = true;
    }
    return true;
}

// The "%d *Yet*" text of the ids that have no behaviour of their own as cells.
// The user action a call that changes the image stands for, as its undo step names it.
int UndoActionOf(const indCellCall& call) {
    switch (call.capsule.operation) {
    case CL_PMenu_Paste:
        return undoAction::Paste;
    case CL_PMenu_CarryUp:
        return undoAction::MoveUp;
    case CL_PMenu_CarryDown:
        return undoAction::MoveDown;
    case CL_PMenu_Clear:
        return undoAction::Clear;
    case CL_PMenu_Delete:
        return undoAction::Delete;
    case CL_PMenu_Insert:
        return undoAction::Insert;
    case CL_PMenu_Sort:
        return undoAction::Sort;
    case CL_PMenu_FillSeries:
        return undoAction::FillSeries;
    default:
        break;
    }
    if (IsSetMany(call)) return undoAction::SetMany;
    switch (call.logicId) {
    case CL_Menu_File_Add_Import:
    case CL_Menu_File_Ow_Import:
    case CL_Menu_File_Import_Other:
        return undoAction::Import;
    case CL_Menu_Preset:
        return undoAction::Preset;
    default:
        return call.Chosen() ? undoAction::Choice : undoAction::Edit;
    }
}

void ShowNotYet(indCellCall& call) {
    call.Show(std::to_string(call.logicId) + " *Yet*");
}

void Dispatch(indCellCall& call) {
    if (RunRecordCell(call) || RunOrganisationCell(call) || RunCommonCell(call) ||
        RunCommandCell(call))
        return;
    ShowNotYet(call);
}

} // namespace

void LoadCall(indCellCall& call) {
    LoadContextOf(call);
    LoadRecordOf(call);
    FillNameBlock(call);
}

indCellCall::indCellCall(indCellLogic& owner, cmcCellCapsule& cap)
    : logic(owner), capsule(cap), cell(*cap.cell), logicId(cap.cell->logicId),
      cellType(cap.cell->cellType), index(cap.cell->index), record(owner.Organisation().Record()) {
    if (cellType < 0 || cellType > CT_None) cmcFatal("Unknown Cell Category.");
    kind = KindOfCellType(cellType);
}

indCellLogic::indCellLogic(indCellDocument document) : document_(std::move(document)) {}

cmcGTex& indCellLogic::Catalogue() const {
    return document_.catalogue ? *document_.catalogue : cmcGTex::Process();
}

cmcFCache& indCellLogic::Cache() const {
    return document_.cache ? *document_.cache : cmcFCache::Process();
}

const indDestination& indCellLogic::Destination() const {
    return document_.destination ? *document_.destination : indDestination::Active();
}

void indCellLogic::Install() {
    cmcCellLogic::Install([this](indActiveCell& context, cmcCellCapsule& capsule, bool notify) {
        return Run(context, capsule, notify);
    });
}

int indCellLogic::Run(indActiveCell&, cmcCellCapsule& capsule, bool notify) {
    if (!capsule.cell || !document_.organisation) return cellAction::None;
    indCellCall call(*this, capsule);
    LoadCall(call);
    const bool query = call.IsQuery();
    capsule.displayText.clear();
    capsule.stateFlags &= ~(cmcCellCapsule::WarningMark | cmcCellCapsule::ErrorMark |
                            cellText::Grey | cellText::Teal);
    capsule.markReason = 0;
    capsule.jumpRequest = 0;
    capsule.repeatKey = 0;
    const int undoStep = UndoActionOf(call); // before the operation turns into a key
    if (!query && depth_ == 0 && document_.commands) document_.commands->ActionStarting();
    ++depth_;

    const bool operationDone = capsule.operation && RunPopupOperation(call);
    if (!operationDone && !Redirect(call)) {
        if (depth_ == 1 && IsSetMany(call))
            RunSetMany(call, [&call] { Dispatch(call); });
        else
            Dispatch(call);
    }

    if (call.kind != datKind::None) call.mask |= repaint::Row;
    if (notify && capsule.onRepaint) capsule.onRepaint(capsule, call.mask);
    const bool outermost = --depth_ == 0;
    if (call.handled || !query) {
        if (cmcDocumentCommands* commands = document_.commands) {
            commands->RestartEditSettle();
            // The calls inside an action (the rows of a set many) are part of it.
            if (outermost) {
                commands->ActionDone(undoStep);
                commands->CheckModified();
            }
        }
    }
    return call.action;
}

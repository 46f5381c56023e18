// The popup-menu edit commands of the list sheets: Copy, Paste, Up, Down, Clear, Delete
// and Insert on the current row or the rows of a multi-selection, and when their items are
// disabled.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/cmcTextTransfer.h"
#include "model/datClipCh.h"
#include "model/indCellCall.h"
#include "platform/cmcPlatform.h"

#include <algorithm>

namespace {

struct Selection {
    int low;
    int high;
    bool wholeNames;
};

bool IsNameColumn(int logicId) {
    return logicId == CL_Mch_Name_Name || logicId == CL_Mch_Name_Num || logicId == CL_Mch_Name_Skip;
}

Selection SelectionOf(const indCellCall& call) {
    const cmcCellCapsule& capsule = call.capsule;
    Selection s{call.index, call.index, false};
    if (capsule.rangeFlags & cmcCellCapsule::RangeActive) {
        s.low = std::min(capsule.rangeLow, capsule.rangeHigh);
        s.high = std::max(capsule.rangeLow, capsule.rangeHigh);
    }
    s.wholeNames =
        call.kind == datKind::Mch && ((capsule.rangeFlags & cmcCellCapsule::RangeWholeBlocks) != 0);
    return s;
}

bool IsOrganisationItem(uint32_t kind) {
    return kind == datKind::Category || kind == datKind::Group || kind == datKind::BasicBank;
}

bool IsBasicEntry(uint32_t kind) {
    return kind == datKind::BasicCh || kind == datKind::BasicPg;
}

// Lists whose rows are the records in use: memory channels and basic entries.
bool IsCountedList(uint32_t kind) {
    return kind == datKind::Mch || IsBasicEntry(kind);
}

void Announce(indCellCall& call, const char* key) {
    call.SendText(ev::StatusText, std::intptr_t(clWindowText), int(clBtnFace), call.Text(key));
}

void SelectRange(indCellCall& call, int low, int high) {
    call.capsule.rangeFlags |= cmcCellCapsule::RangeSelect;
    call.capsule.rangeLow = low;
    call.capsule.rangeHigh = high;
}

void MoveCursor(indCellCall& call, int index) {
    call.capsule.jumpRequest = 1;
    call.capsule.jumpType = call.cellType;
    call.capsule.jumpLogic = call.logicId;
    call.capsule.jumpIndex = index;
}

void ClearSelection(indCellCall& call) {
    call.capsule.rangeFlags &= ~cmcCellCapsule::RangeSelect;
    call.action = cellAction::ClearSelection;
}

void ShowError(indCellCall& call, const char* key) {
    cmcGTex& catalogue = call.logic.Catalogue();
    cmcMessage(catalogue.GetLines(key), catalogue.GetText("GI_Sys_AppTitle"), MsgIcon::Error);
}

datClipCh* Clipboard(indCellCall& call) {
    return call.logic.Document().clipboard;
}

// The desktop's clipboard, when it holds rows from elsewhere that this list takes.
cmcTextTransfer* ForeignRows(indCellCall& call) {
    cmcTextTransfer* transfer = call.logic.Document().transfer;
    return transfer && transfer->HoldsForeignRows(call.kind) ? transfer : nullptr;
}

bool AnyInUse(indCellCall& call, int low, int high) {
    datCh record = call.Org().Record();
    datClipCh loader;
    for (int i = low; i <= high; ++i) {
        loader.LoadOne(call.Org(), call.kind, i, record);
        if (record.InUse()) return true;
    }
    return false;
}

// ---- Copy and Paste ----

void Copy(indCellCall& call, Selection s) {
    s.low = std::max(s.low, call.first);
    s.high = std::min(s.high, call.last);
    if (call.kind == datKind::AutoMWCH) {
        const int rows = datLookup::AutoWriteRowCount(call.Org().Image());
        if (rows == 0 || s.low > rows - 1) return;
        s.high = std::min(s.high, rows - 1);
    }
    if (call.index < call.first || call.index > call.last || s.low > s.high) return;
    datClipCh* clipboard = Clipboard(call);
    if (!clipboard) return;
    clipboard->CopyFrom(call.Org(), call.kind, s.low, s.high - s.low + 1);
    if (call.kind == datKind::AutoMWCH) clipboard->HoldAs(datKind::Mch);
    if (cmcTextTransfer* transfer = call.logic.Document().transfer)
        transfer->Copied(call.Org(), call.kind, call.group, s.low, s.high - s.low + 1);
    SelectRange(call, s.low, s.high);
    Announce(call, "GI_AppMess_S_Copy");
}

// Stores the clipboard's records from the cell's row on, keeping the organisation of the
// slots; false when the row takes none or a question was cancelled.
bool PasteFrom(indCellCall& call, datClipCh& clipboard) {
    const int d = call.index;
    if (d < call.first || d > call.last || !clipboard.Accepts(call.kind)) return false;
    const int room = call.last + 1 - d;
    if (room < clipboard.Count() && !call.Ask("GI_AppMess_Conv_Overflow_Paste")) return false;
    const int n = std::min(room, clipboard.Count());
    if (AnyInUse(call, d, d + n - 1) && !call.Ask("GI_AppMess_Conv_Overwrite")) return false;
    clipboard.PasteKeepingOrganisation(call.Org(), call.kind, d, n);
    if (n == 1)
        call.Post(ev::RepaintIndex, 0, d);
    else
        call.Post(ev::RepaintAll);
    SelectRange(call, d, d + n - 1);
    Announce(call, "GI_AppMess_S_Paste");
    return true;
}

// Rows from a spreadsheet: on the new row of a group they are added with their names, as
// the CSV import adds them; on a row of the list they overwrite the rows from there on as
// the channel clipboard's rows do. Both read them with the import's corrections.
void PasteForeignRows(indCellCall& call, cmcTextTransfer& transfer) {
    cmcEvMan* events = call.logic.Document().events;
    if (call.kind == datKind::Mch && call.newRow) {
        if (!events) return;
        const int added = transfer.AddForeignRows(call.Org(), *events, call.group);
        if (added == 0) return;
        SelectRange(call, call.last + 1, call.last + added);
        Announce(call, "GI_AppMess_S_Paste");
        return;
    }
    if (call.index < call.first || call.index > call.last) return;
    datClipCh rows;
    transfer.ReadForeignRows(call.Org(), call.kind, rows);
    if (rows.Count() == 0 || PasteFrom(call, rows)) transfer.ShowReadSummary();
}

void Paste(indCellCall& call) {
    if (cmcTextTransfer* transfer = ForeignRows(call)) return PasteForeignRows(call, *transfer);
    if (datClipCh* clipboard = Clipboard(call)) PasteFrom(call, *clipboard);
}

// ---- Clear and Delete ----

void Clear(indCellCall& call, Selection s) {
    // Only the list's own records: a selection reaching into the new row of a group must
    // not empty the first channels of the next group.
    s.low = std::max(s.low, call.first);
    s.high = std::min(s.high, call.last);
    if (s.low > s.high) return;
    if (!call.Ask("GI_AppMess_Conv_Clear")) return;
    call.Org().ClearRange(call.kind, s.low, s.high);
    call.Post(ev::RepaintAll);
    Announce(call, "GI_AppMess_S_Clear");
}

void DeleteOne(indCellCall& call, int start) {
    switch (call.kind) {
    case datKind::Mch:
        call.Send(ev::DeleteChannel, call.group, start);
        call.Org().RecountNames(call.group);
        break;
    case datKind::PgSrch:
        call.Org().ShiftDown(datKind::PgSrch, datKind::Count(datKind::PgSrch), start);
        break;
    case datKind::PgLink: {
        datCh entry = call.Org().Record();
        entry.Load(datKind::PgLink, start);
        entry.linkAdd = 0;
        entry.Store(datKind::PgLink, start);
        break;
    }
    case datKind::BasicCh:
    case datKind::BasicPg:
        call.Send(ev::DeleteBasicEntry, std::intptr_t(call.kind), start);
        break;
    default:
        break; // auto-write rows are the receiver's
    }
}

void Delete(indCellCall& call, Selection s) {
    // Only existing records are deleted, whatever the selection reaches.
    if (IsCountedList(call.kind)) s.high = std::min(s.high, call.last);
    if (s.low > s.high) return;
    if (AnyInUse(call, s.low, s.high)) {
        const char* question = s.wholeNames ? "GI_AppMess_Name_Delete" : "GI_AppMess_Conv_Delete";
        if (!call.Ask(question)) return;
    }
    const int start = std::min(call.index, s.low);
    const uint32_t limitKind = s.wholeNames ? datKind::Name : call.kind;
    const int item = call.kind == datKind::Mch ? call.group : call.bank;
    for (int i = s.low; i <= s.high; ++i) {
        if ((call.kind == datKind::Mch || IsBasicEntry(call.kind)) &&
            !call.Org().CheckLimit(limitKind, item, false, true))
            break;
        DeleteOne(call, start);
    }
    ClearSelection(call);
    MoveCursor(call, s.low);
    if (call.kind == datKind::Mch) call.Send(ev::SheetTitle);
    call.Post(ev::RepaintAll);
    call.mask |= repaint::All;
    Announce(call, "GI_AppMess_S_Delete");
}

void DeleteItems(indCellCall& call, Selection s) {
    cmcOrganisation& org = call.Org();
    const int existing = call.kind == datKind::Category ? org.CategoryCount()
                         : call.kind == datKind::Group  ? org.GroupsOfCategory(call.category)
                                                        : org.BankCount();
    const int end = call.kind == datKind::Group ? call.first + existing - 1 : existing - 1;
    s.high = std::min(s.high, end);
    if (s.low > s.high) return;
    if (!call.Ask(call.kind == datKind::Group ? "GI_AppMess_Grp_Delete" : "GI_AppMess_Cate_Delete"))
        return;
    const int size = s.high - s.low + 1;
    if (call.kind == datKind::BasicBank) {
        for (int i = 0; i < size; ++i) {
            if (!org.CheckLimit(datKind::BasicBank, 0, false, true)) break;
            call.Send(ev::BankDeleted, 0, s.low);
            call.Send(ev::DeleteBank, 0, s.low);
        }
    } else {
        const int n = std::min(size, existing - 1);
        const bool categories = call.kind == datKind::Category;
        if (n > 0) {
            call.Send(categories ? ev::CategoriesDeleted : ev::GroupsDeleted, s.low, n);
            call.Send(categories ? ev::DeleteCategories : ev::DeleteGroups, s.low, n);
        }
        if (size >= existing) ShowError(call, "GI_AppMess_All_Delete");
    }
    MoveCursor(call, s.low);
    call.Post(ev::RepaintAll);
    call.Send(ev::SheetTitle);
    call.mask |= repaint::All;
    Announce(call, "GI_AppMess_S_Delete");
}

// ---- Insert ----

void Insert(indCellCall& call, Selection s) {
    cmcOrganisation& org = call.Org();
    if (call.kind == datKind::Mch && call.index > call.last) s.wholeNames = true;
    int start = std::min(call.index, s.low);
    int count = s.high - s.low + 1;
    if (s.wholeNames) {
        const int name = org.NameOfPosition(start - call.first);
        if (name < cmcOrganisation::MaxNamesPerGroup) {
            start = call.first + org.FirstPositionOfName(name);
            count = org.NameRunsBetween(s.low, s.high);
        }
    }
    if (call.kind == datKind::PgSrch && AnyInUse(call, call.last - count + 1, call.last) &&
        !call.Ask("GI_AppMess_Conv_Overflow"))
        return;
    const uint32_t limitKind = s.wholeNames ? datKind::Name : call.kind;
    int inserted = 0;
    for (int i = 0; i < count; ++i) {
        if (call.kind == datKind::Mch || IsBasicEntry(call.kind)) {
            const int item = call.kind == datKind::Mch
                                 ? org.NameOfPosition(std::min(s.low, call.last + 1) - call.first)
                                 : call.bank;
            if (!org.CheckLimit(limitKind, item, true, true)) break;
        }
        switch (call.kind) {
        case datKind::Mch: {
            call.Send(ev::InsertChannel, call.group, start);
            if (!s.wholeNames) {
                // The new channel joins the name of the row it was inserted at.
                datCh joined = org.Record();
                joined.Load(datKind::Mch, start + 1);
                datCh added = org.Record();
                added.Load(datKind::Mch, start);
                added.nameIndex = joined.nameIndex;
                added.StoreAndReload();
            }
            org.RecountNames(call.group);
            break;
        }
        case datKind::PgSrch:
            org.ShiftUp(datKind::PgSrch, datKind::Count(datKind::PgSrch), start);
            break;
        case datKind::BasicCh:
        case datKind::BasicPg:
            call.Send(ev::InsertBasicEntry, std::intptr_t(call.kind), start);
            break;
        default:
            break;
        }
        ++inserted;
    }
    if (s.wholeNames && call.kind == datKind::Mch && inserted > 0) {
        SelectRange(call, start, start + inserted - 1);
        MoveCursor(call, start);
    } else {
        SelectRange(call, s.low, s.high);
        MoveCursor(call, s.low);
    }
    if (call.kind == datKind::Mch) {
        call.Post(ev::RepaintAll);
        call.Send(ev::SheetTitle);
    }
    call.mask |= repaint::All;
    Announce(call, "GI_AppMess_S_Insert");
}

void InsertItems(indCellCall& call, const Selection& s) {
    cmcOrganisation& org = call.Org();
    const int start = std::min(call.index, s.low);
    for (int i = s.low; i <= s.high; ++i) {
        if (call.kind == datKind::Category) {
            if (!org.CheckLimit(datKind::Category, 0, true, true)) break;
            call.Send(ev::InsertCategory, 0, start);
            call.Send(ev::CategoryInserted, 0, start);
        } else if (call.kind == datKind::Group) {
            if (!org.CheckLimit(datKind::Group, call.category, true, true)) break;
            call.Send(ev::InsertGroup, call.category, start);
            call.Send(ev::GroupInserted, 0, start);
        } else {
            if (!org.CheckLimit(datKind::BasicBank, 0, true, true)) break;
            call.Send(ev::InsertBank, 1, start);
            call.Send(ev::BankInserted, 0, start);
        }
    }
    SelectRange(call, s.low, s.high);
    call.Send(ev::SheetTitle);
    call.mask |= repaint::All;
    Announce(call, "GI_AppMess_S_Insert");
}

// ---- Up and Down ----

void Move(indCellCall& call, const Selection& s, int direction) {
    cmcOrganisation& org = call.Org();
    if ((direction > 0 && s.high >= call.last) || (direction < 0 && s.low <= call.first)) {
        SelectRange(call, s.low, s.high);
        return;
    }
    int o = 1;
    if (s.wholeNames) {
        const int neighbour = direction > 0 ? s.high + 1 : s.low - 1;
        const int name = org.NameOfPosition(neighbour - call.first);
        o = name < cmcOrganisation::MaxNamesPerGroup ? org.ChannelsOfName(name) : 1;
    }
    const int size = s.high - s.low + 1;
    datClipCh neighbour, selection;
    neighbour.CopyFrom(org, call.kind, direction > 0 ? s.high + 1 : s.low - o, o);
    selection.CopyFrom(org, call.kind, s.low, size);
    const int selectionTo = direction > 0 ? s.low + o : s.low - o;
    const int neighbourTo = direction > 0 ? s.low : s.high - o + 1;
    if (s.wholeNames) {
        selection.PasteTo(org, call.kind, selectionTo, size);
        neighbour.PasteTo(org, call.kind, neighbourTo, o);
        org.RecountNames(call.group);
        call.Post(ev::RepaintAll);
    } else {
        selection.PasteKeepingOrganisation(org, call.kind, selectionTo, size);
        neighbour.PasteKeepingOrganisation(org, call.kind, neighbourTo, o);
    }
    SelectRange(call, selectionTo, selectionTo + size - 1);
    MoveCursor(call, call.index + (selectionTo - s.low));
    call.mask |= repaint::All;
}

// The first and last row of the name of a memory channel's row.
int NameEdge(const indCellCall& call, bool last) {
    const cmcOrganisation& org = call.Org();
    const int name = org.NameOfPosition(call.index - call.first);
    if (name >= cmcOrganisation::MaxNamesPerGroup) return call.index;
    return call.first + (last ? org.LastPositionOfName(name) : org.FirstPositionOfName(name));
}

} // namespace

void RunEditCommand(indCellCall& call, int command) {
    const Selection s = SelectionOf(call);
    const bool items = IsOrganisationItem(call.kind);
    switch (command) {
    case CL_PMenu_Copy:
        Copy(call, s);
        break;
    case CL_PMenu_Paste:
        Paste(call);
        break;
    case CL_PMenu_CarryUp:
        Move(call, s, -1);
        break;
    case CL_PMenu_CarryDown:
        Move(call, s, +1);
        break;
    case CL_PMenu_Clear:
        Clear(call, s);
        break;
    case CL_PMenu_Delete:
        items ? DeleteItems(call, s) : Delete(call, s);
        break;
    case CL_PMenu_Insert:
        items ? InsertItems(call, s) : Insert(call, s);
        break;
    default:
        break;
    }
}

bool IsEditCommandDisabled(indCellCall& call, int command) {
    const int n = call.index;
    const bool outside = n < call.first || n > call.last;
    const bool wholeNames = call.kind == datKind::Mch &&
                            ((call.capsule.rangeFlags & cmcCellCapsule::RangeWholeBlocks) ||
                             IsNameColumn(call.logicId));
    const bool channel = call.kind == datKind::Mch;
    const bool entry = IsBasicEntry(call.kind);
    switch (command) {
    case CL_PMenu_Copy:
    case CL_PMenu_Paste: {
        const bool copyOff = channel ? call.newRow || wholeNames : entry ? call.newRow : outside;
        if (command == CL_PMenu_Copy) return copyOff;
        // Rows from a spreadsheet may also be added on the new row of a group.
        if (ForeignRows(call)) return channel ? wholeNames : outside;
        datClipCh* clipboard = Clipboard(call);
        return !clipboard || !clipboard->Accepts(call.kind) || copyOff;
    }
    case CL_PMenu_CarryUp:
        if (channel) return call.newRow || (wholeNames ? NameEdge(call, false) : n) <= call.first;
        if (entry) return call.newRow || n == call.first;
        if (call.kind == datKind::PgSrch) return n <= call.first || n > call.last;
        return false;
    case CL_PMenu_CarryDown:
        if (channel) return call.newRow || (wholeNames ? NameEdge(call, true) : n) >= call.last;
        if (entry) return call.newRow || n == call.last;
        if (call.kind == datKind::PgSrch) return n < call.first || n >= call.last;
        return false;
    case CL_PMenu_Clear:
    case CL_PMenu_Delete:
        if (channel || entry || IsOrganisationItem(call.kind)) return call.newRow;
        if (call.kind == datKind::PgLink) return n % 26 == 0;
        return outside;
    default:
        return false;
    }
}

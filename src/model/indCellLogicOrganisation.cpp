// Cells of the organisation: name blocks of memory channels with their numbers, categories,
// groups and banks with their names and direct keys, program-search links, and the number
// column of every list.

#include "events/cmcEvents.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/indCellCall.h"

namespace {

constexpr const char* SkipList = "GI_Sheet_Sel_Ope_Skip";
constexpr const char* LinkList = "GI_Sheet_Sel_Pg_Link";
const std::string BlankName(memmap::NameLength, ' ');

bool IsPrintableKey(int key) {
    return key >= ' ' && key < 256 && key != 127;
}

bool IsCreatingKey(int key) {
    return key == cellKey::Space || key == cellKey::Backspace || key == cellKey::Point ||
           (key >= '0' && key <= '9') || key == cellKey::Enter || key == cellKey::F2;
}

// ---- Memory-channel names ----

bool IsValidNameNumber(const std::string& number) {
    size_t i = 0;
    while (i < number.size() && number[i] >= '0' && number[i] <= '9')
        ++i;
    for (; i < number.size(); ++i)
        if (number[i] != ' ') return false;
    return true;
}

// Another name of the category that carries the number, or -1.
int NameHoldingNumber(indCellCall& call, const std::string& number, uint32_t ownName) {
    cmcOrganisation& org = call.Org();
    datCh channel = org.Record();
    datCh name = org.Record();
    const int last = org.LastChannelOfCategory(call.category);
    for (int slot = org.FirstChannelOfCategory(call.category); slot <= last; ++slot) {
        channel.Load(datKind::Mch, slot);
        if (!channel.InUse() || channel.nameIndex == ownName) continue;
        name.Load(datKind::Name, int(channel.nameIndex));
        if (name.NameNumberText() == number) return int(channel.nameIndex);
    }
    return -1;
}

void RunNameNumber(indCellCall& call, datCh& name) {
    std::string field = name.NameNumberText();
    if (TextEditor(call, field, memmap::NameNumberLength) && IsValidNameNumber(field)) {
        const bool blank = field == std::string(memmap::NameNumberLength, ' ');
        const int other = blank ? -1 : NameHoldingNumber(call, field, name.index);
        if (other < 0 || call.Ask("GI_Mess_Confirm_Direct_OW")) {
            if (other >= 0) {
                datCh holder = call.Org().Record();
                holder.Load(datKind::Name, other);
                holder.SetNameNumber("   ");
                holder.StoreAndReload();
            }
            name.SetNameNumber(field);
            name.StoreAndReload();
            call.handled = true;
        }
        call.mask |= repaint::All;
    }
    if (call.action != cellAction::OpenEditor) call.Show(FieldText(name.NameNumberText()));
}

bool RunNameCell(indCellCall& call) {
    datCh name = call.Org().Record();
    name.Load(datKind::Name, int(call.record.nameIndex));
    switch (call.logicId) {
    case CL_Mch_Name_Name: {
        std::string field = name.NameField();
        if (TextEditor(call, field, memmap::NameLength)) {
            name.SetName(field);
            name.StoreAndReload();
            call.handled = true;
        }
        if (call.action != cellAction::OpenEditor) call.Show(FieldText(name.NameField()));
        return true;
    }
    case CL_Mch_Name_Num:
        RunNameNumber(call, name);
        return true;
    case CL_Mch_Name_Skip: {
        int value = name.skip;
        if (PickListEditor(call, SkipList, Flex0, value)) {
            name.skip = value;
            name.StoreAndReload();
            call.handled = true;
        }
        call.Show(PickListText(call, SkipList, Flex0, name.skip));
        return true;
    }
    }
    return false;
}

// ---- Categories, groups and banks ----

// A new category, group or bank from the new row of its list.
bool CreateItem(indCellCall& call) {
    cmcOrganisation& org = call.Org();
    const int row = call.index;
    switch (call.cellType) {
    case CT_Cate:
        if (!org.CheckLimit(datKind::Category, 0, true, true)) return false;
        call.Send(ev::InsertCategory, 0, row);
        call.Send(ev::CategoryInserted, 0, row);
        break;
    case CT_Group:
        if (!org.CheckLimit(datKind::Group, call.category, true, true)) return false;
        call.Send(ev::InsertGroup, call.category, row);
        call.Send(ev::GroupInserted, 0, row);
        break;
    default:
        if (!org.CheckLimit(datKind::BasicBank, 0, true, true)) return false;
        call.Send(ev::InsertBank, 1, row);
        call.Send(ev::BankInserted, 0, row);
        break;
    }
    call.Send(ev::SheetTitle);
    call.record.Reload();
    call.newRow = false;
    call.handled = true;
    return true;
}

void RunItemName(indCellCall& call) {
    if (call.newRow) {
        if (!(call.Entered() || IsPrintableKey(call.Key()) || IsCreatingKey(call.Key()))) return;
        if (!CreateItem(call)) return;
    }
    std::string field = call.record.NameField();
    if (TextEditor(call, field, memmap::NameLength)) {
        call.record.SetName(field);
        call.StoreRecord();
        if (call.record.NameField() != BlankName) {
            const int renamed = call.cellType == CT_Cate    ? ev::CategoryRenamed
                                : call.cellType == CT_Group ? ev::GroupRenamed
                                                            : ev::BankRenamed;
            call.Send(renamed, 0, call.index);
        }
    }
    if (call.action != cellAction::OpenEditor) call.Show(FieldText(call.record.NameField()));
}

void RunDirectKey(indCellCall& call) {
    datCh& r = call.record;
    int value = r.directKey;
    if (DirectKeyEditor(call, value)) {
        call.mask |= repaint::All;
        bool store = true;
        datLookup::clsKeyOwner owner;
        if (value != NoDirectKey && datLookup::DirectKeyOwner(call.Org().Image(), value, owner)) {
            const bool isGroup = call.kind == datKind::Group;
            const bool self = owner.isGroup == isGroup && owner.number == call.index;
            if (!self) store = call.Ask("GI_Mess_Confirm_Direct_OW");
        }
        if (store) {
            r.directKey = uint8_t(value);
            call.StoreRecord();
        }
    }
    if (call.action != cellAction::OpenEditor)
        call.Show(r.directKey == NoDirectKey ? std::string() : std::to_string(r.directKey));
}

// ---- Links ----

bool IsAddRow(const indCellCall& call) {
    return call.index % 26 == 0;
}

void RunLinkEntry(indCellCall& call) {
    datCh& r = call.record;
    const bool addRow = IsAddRow(call);
    if (!addRow) call.capsule.stateFlags |= cellText::Teal;
    const int key = call.Key();
    if (!addRow && key >= 1 && key <= 126) call.capsule.keyCode = 0; // typed keys do nothing here
    int edge = r.linkEdge == NoLinkEdge ? 0 : r.linkEdge;
    if (PickListEditor(call, LinkList, Flex0, edge) && call.Chosen()) {
        r.linkEdge = edge;
        r.linkAdd = 1;
        r.Store(datKind::PgLink, r.index);
        r.Reload();
        call.handled = true;
        call.mask |= repaint::All;
    }
    if (r.linkEdge != NoLinkEdge && !call.handled)
        call.Show(PickListText(call, LinkList, Flex0, r.linkEdge));
}

void RunLinkName(indCellCall& call) {
    const int link = call.cellType == CT_Prog_Link ? call.index / 26 : call.index;
    if (link < 0 || link >= memmap::Links) return;
    uint8_t* bytes = call.Org().Image().Data();
    const int address = memmap::LinkNameAddress(link);
    std::string field(reinterpret_cast<const char*>(bytes + address), memmap::NameLength);
    if (TextEditor(call, field, memmap::NameLength)) {
        std::copy(field.begin(), field.end(), bytes + address);
        call.handled = true;
        call.Send(ev::LinkRenamed, 0, link);
    }
    if (call.action != cellAction::OpenEditor) call.Show(FieldText(field));
}

// ---- The number column ----

bool RunNumberCell(indCellCall& call) {
    const int row = call.index - call.first;
    switch (call.logicId) {
    case CL_Misc_ChNo_Mch:
        call.Show(call.Org().ChannelNumberText(row, call.count));
        return true;
    case CL_Misc_ChNo_0Base:
        if (call.cellType == CT_Conv || call.cellType == CT_Bas_Ch ||
            call.cellType == CT_Bas_Prog || call.cellType == CT_Group || call.cellType == CT_Cate ||
            call.cellType == CT_Bas)
            call.Show(cmcOrganisation::ZeroBasedText(row, call.count));
        else
            call.Show(std::to_string(call.index));
        return true;
    case CL_Misc_ChNo_1Base:
        call.Show(cmcOrganisation::OneBasedText(
            call.cellType == CT_Conv || call.cellType == CT_Bas_Ch ||
                    call.cellType == CT_Bas_Prog || call.cellType == CT_Group
                ? row
                : call.index));
        return true;
    case CL_Misc_ChNo_PLink:
        call.Show(cmcOrganisation::LinkNumberText(call.index % 26));
        return true;
    case CL_Misc_ChNo_CategoryOp:
    case CL_Misc_ChNo_GroupOp:
        call.Show(cmcOrganisation::ZeroBasedText(row, call.count));
        return true;
    }
    return false;
}

} // namespace

bool CreateFromNewRow(indCellCall& call) {
    cmcOrganisation& org = call.Org();
    if (!org.CheckLimit(datKind::Name, 0, true, true)) return false;
    call.Send(ev::InsertChannel, call.group, call.index);
    org.RecountNames(call.group);
    call.Send(ev::SheetTitle);
    call.count = org.ChannelsOfGroup(call.group);
    call.last = call.first + call.count - 1;
    call.record.Reload();
    if (!call.record.InUse()) return false; // nobody ran the insert
    call.newRow = false;
    call.handled = true;
    call.mask |= repaint::All;
    return true;
}

bool RunOrganisationCell(indCellCall& call) {
    if (RunNumberCell(call)) return true;
    switch (call.logicId) {
    case CL_Mch_Name_Name:
    case CL_Mch_Name_Num:
    case CL_Mch_Name_Skip:
        return call.kind == datKind::Mch && RunNameCell(call);
    case CL_CategoryOP_Name:
    case CL_GroupOP_Name:
    case CL_BasicOp_Name:
        if (call.kind != datKind::None) RunItemName(call);
        return true;
    case CL_CategoryOP_DirectKey:
    case CL_GroupOP_DirectKey:
        if (call.kind == datKind::Category || call.kind == datKind::Group) RunDirectKey(call);
        return true;
    case CL_PgLink_No:
        if (call.kind == datKind::PgLink) RunLinkEntry(call);
        return true;
    case CL_PgLink_Name:
        RunLinkName(call);
        return true;
    case CL_PgLink_Sepa1:
    case CL_PgLink_Sepa2:
        if (!IsAddRow(call)) call.Show(call.logicId == CL_PgLink_Sepa1 ? ":" : "-");
        return true;
    }
    return false;
}

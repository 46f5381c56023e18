#include "sheet/view/iuiSh_ChNew.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcNameText.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcLayout.h"

#include <QMouseEvent>

#include <array>
#include <cstdio>

namespace {

constexpr int TotalChannels = 1600;

} // namespace

int iuiSh_ChNew::PositionOf(char kind, int number) const {
    return services_.positionOf ? services_.positionOf(kind, number) : number;
}

void iuiSh_ChNew::SetArgument(const std::string& argument) {
    iuiSh_ColCut::SetArgument(argument);
    Layout().ReserveRows(PreparedRows);
    const cmcOrganisation* org = services_.organisation;
    int n = 0;
    recordSet_ = Other, setNumber_ = 0, firstRecord_ = 0, recordCount_ = 0;
    if (ArgumentIs(argument, "CategoryOp")) {
        recordSet_ = Categories;
        recordCount_ = org ? org->CategoryCount() : 0;
    } else if (ArgumentIs(argument, "Category", &n)) {
        recordSet_ = Groups;
        setNumber_ = PositionOf('C', n);
        firstRecord_ = org ? org->FirstGroupOfCategory(setNumber_) : 0;
        recordCount_ = org ? org->GroupsOfCategory(setNumber_) : 0;
    } else if (ArgumentIs(argument, "BasicOp")) {
        recordSet_ = Banks;
        recordCount_ = org ? org->BankCount() : 0;
    } else if (ArgumentIs(argument, "BasicCH", &n)) {
        recordSet_ = BankChannels;
        setNumber_ = PositionOf('B', n);
        firstRecord_ = setNumber_ * cmcOrganisation::MaxBankChEntries;
        recordCount_ = org ? org->BankChCount(setNumber_) : 0;
    } else if (ArgumentIs(argument, "BasicPG", &n)) {
        recordSet_ = BankPrograms;
        setNumber_ = PositionOf('B', n);
        firstRecord_ = setNumber_ * cmcOrganisation::MaxBankPgEntries;
        recordCount_ = org ? org->BankPgCount(setNumber_) : 0;
    } else if (ArgumentIs(argument, "ScanLink", &n)) {
        recordSet_ = Link;
        setNumber_ = n;
        firstRecord_ = n * 26;
        recordCount_ = 25;
    } else if (ArgumentIs(argument, "ScanEdge")) {
        recordSet_ = Edges;
    } else if (ArgumentIs(argument, "AutoMWCH")) {
        recordSet_ = AutoWrite;
    }
}

void iuiSh_ChNew::Open() {
    iuiSh_ColCut::Open();
    if (services_.events) services_.events->Send(ev::SheetTitle);
}

// A loop without a count repeats once per record, and once more for the new row.
void iuiSh_ChNew::DirectiveItem(std::string_view item) {
    const bool countless =
        item.substr(0, 8) == "LoopFrom" && item.find_first_not_of(' ', 8) == std::string_view::npos;
    if (!countless) return iuiSh_ColCut::DirectiveItem(item);
    if (firstLoopRow_ < 0) firstLoopRow_ = BuiltRows();
    const int extra = printing_ && recordSet_ != Link ? 0 : 1;
    BeginLoop(recordCount_ + extra);
}

void iuiSh_ChNew::BeforeRow(int row) {
    if (row == firstLoopRow_) Layout().Variables()[0] = firstRecord_;
}

void iuiSh_ChNew::AfterBuild() {
    iuiSh_ColCut::AfterBuild();
    extraRows_ = 0;
    if (firstLoopRow_ < 0 || printing_) return;
    // The new row and whatever follows the loop take no part in multi-selection.
    for (int row = firstLoopRow_ + recordCount_; row < Layout().Rows(); ++row)
        SetRowTakesPart(row, false);
}

std::string iuiSh_ChNew::FormatTitle(const char* key, const std::string& name, int first,
                                     int second) {
    const std::string format = services_.catalogue->GetText(key);
    std::array<char, 256> buffer{};
    if (format.find("%s") != std::string::npos)
        std::snprintf(buffer.data(), buffer.size(), format.c_str(), name.c_str(), first, second);
    else
        std::snprintf(buffer.data(), buffer.size(), format.c_str(), first, second);
    return buffer.data();
}

std::string iuiSh_ChNew::TitleText() {
    const cmcOrganisation* org = services_.organisation;
    if (!org) return iuiSh_ColCut::TitleText();
    const cmcEeprom& image = org->Image();
    const int free = TotalChannels - org->TotalChannels();
    switch (recordSet_) {
    case BankChannels:
        return FormatTitle("GI_Title_Basic_Ch", NameText(datLookup::BankName(image, setNumber_)), 0,
                           0);
    case BankPrograms:
        return FormatTitle("GI_Title_Basic_Program",
                           NameText(datLookup::BankName(image, setNumber_)), 0, 0);
    case Categories:
        if (printing_) return services_.catalogue->GetText("GI_Title_Category_Print");
        return FormatTitle("GI_Title_Category", {},
                           cmcOrganisation::MaxCategories - org->CategoryCount(), free);
    case Groups:
        if (printing_) return " " + NameText(datLookup::CategoryName(image, setNumber_));
        return FormatTitle(
            "GI_Title_Group", NameText(datLookup::CategoryName(image, setNumber_)),
            cmcOrganisation::MaxGroupsPerCategory - org->GroupsOfCategory(setNumber_), free);
    case Banks:
        return services_.catalogue->GetText(printing_ ? "GI_Title_Basic_Print" : "GI_Title_Basic");
    default:
        return iuiSh_ColCut::TitleText();
    }
}

void iuiSh_ChNew::HandleEvent(const cmcEvent& event) {
    switch (event.code) {
    case ev::AskChannelList:
        if (services_.events) services_.events->Answer(setNumber_, extraRows_);
        return;
    case ev::SheetTitle:
        RefreshTitle();
        return;
    case ev::RowAdded:
        AppendRow();
        ++extraRows_;
        return;
    case ev::RowRemoved:
        RemoveLastRow();
        --extraRows_;
        return;
    default:
        iuiSh_ColCut::HandleEvent(event);
    }
}

// ---- iuiSh_ChBank ----

void iuiSh_ChBank::SetArgument(const std::string& argument) {
    iuiSh_ColCut::SetArgument(argument);
    Layout().ReserveRows(PreparedRows);
    cmcOrganisation* org = services_.organisation;
    int n = 0;
    recordSet_ = Channels;
    if (!cmcLayout::ReadNumber(argument.substr(std::min(argument.size(), size_t(5))), n) ||
        argument.compare(0, 5, "Group") != 0)
        n = 0;
    setNumber_ = PositionOf('G', n);
    firstRecord_ = org ? org->FirstChannelOfGroup(setNumber_) : 0;
    recordCount_ = org ? org->ChannelsOfGroup(setNumber_) : 0;
    if (org && setNumber_ < org->GroupCount()) org->RecountNames(setNumber_);
}

bool iuiSh_ChBank::IsNameColumn(int logicId) const {
    return logicId == CL_Mch_Name_Name || logicId == CL_Mch_Name_Num || logicId == CL_Mch_Name_Skip;
}

bool iuiSh_ChBank::InNameColumn(int column, int row) {
    return IsNameColumn(Layout().Cell(column, row).logicId);
}

void iuiSh_ChBank::BlockRows(int row, int& first, int& last) {
    first = last = row;
    cmcOrganisation* org = services_.organisation;
    if (!org || row < 0 || row >= Layout().Rows() || setNumber_ >= org->GroupCount()) return;
    int index = -1;
    for (int column = 0; column < Layout().Columns() && index < 0; ++column)
        if (Layout().Cell(column, row).cellType == CT_Conv &&
            Layout().Cell(column, row).logicId != CL_None)
            index = Layout().Cell(column, row).index;
    const int position = index - firstRecord_;
    if (index < 0 || position < 0 || position >= org->ChannelsOfGroup(setNumber_)) return;
    if (org->NamesGroup() != setNumber_) org->RecountNames(setNumber_);
    const int name = org->NameOfPosition(position);
    if (name < 0 || name >= cmcOrganisation::MaxNamesPerGroup) return;
    first = row - (position - org->FirstPositionOfName(name));
    last = row + (org->LastPositionOfName(name) - position);
}

// A command on a name takes whole names: a multi-selection anchored in a name column, and
// the current name cell alone (a one-channel name too), so that names move, go and come
// with their channels.
void iuiSh_ChBank::FillCapsule(int column, int row, cmcCellCapsule& capsule) {
    iuiSh_ChNew::FillCapsule(column, row, capsule);
    const bool multi = capsule.rangeFlags & cmcCellCapsule::RangeActive;
    const bool current = HasCurrent() && column == CurrentColumn() && row == CurrentRow();
    const int anchorColumn = multi ? AnchorColumn() : column;
    const int anchorRow = multi ? std::max(AnchorRow(), 0) : row;
    if ((!multi && !current) || anchorColumn < 0 || !InNameColumn(anchorColumn, anchorRow)) return;
    int firstA = 0, lastA = 0, firstB = 0, lastB = 0;
    BlockRows(anchorRow, firstA, lastA);
    BlockRows(multi ? CurrentRow() : row, firstB, lastB);
    const int top = std::min(firstA, firstB), bottom = std::max(lastA, lastB);
    capsule.rangeFlags |= cmcCellCapsule::RangeActive | cmcCellCapsule::RangeWholeBlocks;
    capsule.rangeLow = Layout().Cell(column, top).index;
    capsule.rangeHigh = Layout().Cell(column, std::min(bottom, Layout().Rows() - 1)).index;
}

// Up and down in a name column step over whole blocks.
void iuiSh_ChBank::MoveCursor(int columns, int rows, bool extend) {
    if (columns != 0 || std::abs(rows) != 1 || !HasCurrent() ||
        !InNameColumn(CurrentColumn(), CurrentRow()))
        return iuiSh_ChNew::MoveCursor(columns, rows, extend);
    int first = 0, last = 0;
    BlockRows(CurrentRow(), first, last);
    const int target = rows > 0 ? last + 1 : first - 1;
    if (target < 0 || target >= Layout().Rows() || !CanSelect(CurrentColumn(), target))
        return iuiSh_ChNew::MoveCursor(columns, rows, extend);
    MoveTo(CurrentColumn(), target, extend);
}

// Landing on a name marks its whole block; with Shift the marks grow block by block.
void iuiSh_ChBank::BeforeCursorMove(int column, int row, bool extend) {
    if (!InNameColumn(column, row)) return iuiSh_ChNew::BeforeCursorMove(column, row, extend);
    int first = 0, last = 0;
    BlockRows(row, first, last);
    const bool grows = (extend || LeftButtonHeld()) && HasCurrent() && AnchorRow() >= 0 &&
                       RowTakesPart(CurrentRow()) && RowTakesPart(row);
    if (grows) {
        int anchorFirst = 0, anchorLast = 0;
        BlockRows(AnchorRow(), anchorFirst, anchorLast);
        const int top = std::min(first, anchorFirst);
        const int bottom = std::min(std::max(last, anchorLast), Layout().Rows() - 1);
        MarkCells(QRect(QPoint(std::min(AnchorColumn(), column), top),
                        QPoint(std::max(AnchorColumn(), column), bottom)));
        SetMultiActive(true);
        return;
    }
    SetAnchor(column, row);
    if (last > first) {
        MarkCells(QRect(column, first, 1, last - first + 1));
        SetMultiActive(true);
    } else {
        MarkCells(QRect());
    }
}

std::string iuiSh_ChBank::TitleText() {
    cmcOrganisation* org = services_.organisation;
    if (!org || setNumber_ >= org->GroupCount()) return iuiSh_ColCut::TitleText();
    // The names are counted for one group at a time, and another sheet (a printed one) may
    // have counted its own since.
    if (org->NamesGroup() != setNumber_) org->RecountNames(setNumber_);
    // On paper the counts of free room give way to the group's name alone.
    if (printing_) return NameText(datLookup::GroupName(org->Image(), setNumber_));
    return FormatTitle("GI_Title_Conv", NameText(datLookup::GroupName(org->Image(), setNumber_)),
                       cmcOrganisation::MaxNamesPerGroup - org->NameCount(),
                       TotalChannels - org->TotalChannels());
}

// A name block reads as one tall cell: its text in the first row, no rules inside, and
// the current line's colour over the whole block.
void iuiSh_ChBank::AdjustPaint(int column, int row, cuiCellPaint& paint) {
    if (row < Grid().FixedRows()) return;
    int first = 0, last = 0;
    if (InNameColumn(column, row)) {
        BlockRows(row, first, last);
        if (row != first) paint.text.clear();
        if (row != last) paint.bottomRule = false;
    }
    if (paint.background != cuiCellPaint::Own || !HasCurrent() || column < Grid().FixedColumns() ||
        !Layout().GetStyle().colorSelectLine)
        return;
    if (!InNameColumn(CurrentColumn(), CurrentRow())) return;
    BlockRows(CurrentRow(), first, last);
    if (row >= first && row <= last) paint.background = cuiCellPaint::CurrentLine;
}

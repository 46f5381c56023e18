#include "sheet/view/iuiSh_ColCut.h"

#include "model/cmcMemoryMap.h"
#include "model/cmcNameText.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcLayout.h"

namespace {

bool IsCancellerColumn(int logicId) {
    return logicId == CL_Mch_Decode_RX || logicId == CL_Mch_Air_Freq ||
           logicId == CL_AutoMWCH_Decode_RX || logicId == CL_AutoMWCH_Air_Freq;
}

// The destinations that keep the lines after each guard.
struct clsGuard {
    std::string_view name;
    int destinations[3];
};
constexpr clsGuard Guards[] = {
    {"Only_JPUSKR", {0, 5, 9}},
    {"Only_JPN", {0, 0, 0}},
    {"Only_USA", {5, 5, 5}},
};

} // namespace

bool iuiSh_ColCut::ColumnCut(const cmcCellObj& cell) const {
    return services_.destination != 0 && IsCancellerColumn(cell.logicId);
}

// A hidden column has no width; so has the one-pixel separator to its left. No cell of a
// hidden column can become current.
void iuiSh_ColCut::AfterBuild() {
    cmcSheetLayout& layout = Layout();
    for (int column = 0; column < layout.Columns(); ++column) {
        bool cut = false;
        for (int row = 0; row < layout.Rows() && !cut; ++row)
            cut = ColumnCut(layout.Cell(column, row));
        if (!cut) continue;
        Grid().SetColumnWidth(column, 0);
        if (column >= 2 && Grid().ColumnWidth(column - 1) == 1)
            Grid().SetColumnWidth(column - 1, 0);
    }
    for (int column = 0; column < layout.Columns(); ++column) {
        if (Grid().ColumnWidth(column) != 0) continue;
        for (int row = 0; row < layout.Rows(); ++row) {
            cmcCellObj& cell = layout.Cell(column, row);
            cell.styleFlags &= static_cast<uint8_t>(~cmcCellObj::Selectable);
        }
    }
}

bool iuiSh_ColCut::ArgumentIs(const std::string& argument, std::string_view word, int* number) {
    if (argument.compare(0, word.size(), word) != 0) return false;
    const std::string rest = argument.substr(word.size());
    if (!number) return rest.empty();
    return !rest.empty() && rest.front() == ' ' && cmcLayout::ReadNumber(rest, *number);
}

std::string iuiSh_ColCut::NameText(const std::string& field) {
    return cmcNameFieldText(field, true);
}

// On screen the tree shows which link is open; on paper the ten link sheets would all read
// "Program Search Link", so the link's name follows.
std::string iuiSh_ColCut::TitleText() {
    std::string title = cuiSheet::TitleText();
    int link = 0;
    if (printing_ && services_.organisation && ArgumentIs(Argument(), "ScanLink", &link) &&
        link >= 0 && link < memmap::Links)
        title += "  " + NameText(datLookup::LinkName(services_.organisation->Image(), link));
    return title;
}

void iuiSh_ColCut_A::SetArgument(const std::string& argument) {
    iuiSh_ColCut::SetArgument(argument);
    int base = 0;
    const size_t comma = argument.find(',');
    if (comma == std::string::npos || !cmcLayout::ReadNumber(argument.substr(comma + 1), base))
        base = 0;
    Layout().SetBaseIndex(base);
}

bool iuiSh_ColCut_A::ColumnCut(const cmcCellObj& cell) const {
    return iuiSh_ColCut::ColumnCut(cell) ||
           (services_.destination != 0 && cell.logicId == CL_Misc_QuarterPillarSpecial);
}

void iuiSh_Common::DirectiveItem(std::string_view item) {
    for (const clsGuard& guard : Guards) {
        if (item.substr(0, guard.name.size()) != guard.name) continue;
        const std::string_view rest = item.substr(guard.name.size());
        if (!rest.empty() && rest.front() != ' ') continue;
        int lines = 0;
        if (!cmcLayout::ReadNumber(rest, lines)) return;
        const int d = services_.destination;
        const bool kept =
            d == guard.destinations[0] || d == guard.destinations[1] || d == guard.destinations[2];
        if (!kept) SkipLines(lines);
        return;
    }
    cuiSheet::DirectiveItem(item);
}

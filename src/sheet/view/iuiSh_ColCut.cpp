#include "sheet/view/iuiSh_ColCut.h"

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

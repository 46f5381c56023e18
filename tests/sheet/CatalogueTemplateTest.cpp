// Checks what the sheets of both tables give the column sizing: every data cell carries the
// template text its column is measured by, and the common-settings sheet keeps its groups
// apart by one spacer whatever lines the destination drops.

#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/cmcSheetLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Language {
    const char* name;
    cmcTextTable (*table)();
};
const Language Languages[] = {{"English", EnglishTable}, {"Japanese", JapaneseTable}};

// Sheet names N of every "GI_Sheet_N_Cells" key of a table.
std::vector<std::string> SheetNames(cmcTextTable table) {
    std::vector<std::string> names;
    const std::string prefix = "#GI_Sheet_", suffix = "_Cells";
    for (size_t i = 0; i < table.count; ++i) {
        const std::string line = table.lines[i];
        if (line.rfind(prefix, 0) == 0 && line.size() > prefix.size() + suffix.size() &&
            line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(line.substr(1, line.size() - 1 - suffix.size()));
    }
    return names;
}

// A bound cell of a data row shows what its logic answers, and the column it stands in is
// sized by its template text: without one the column is as narrow as its heading.
TEST(CatalogueTemplateTest, EveryDataCellCarriesTheTemplateOfItsWidestValue) {
    for (const Language& language : Languages) {
        cmcGTex catalogue;
        ASSERT_EQ(catalogue.Attach(language.table()), 1);
        const std::vector<std::string> names = SheetNames(language.table());
        EXPECT_EQ(names.size(), 61u) << language.name;
        int checked = 0;
        for (const std::string& name : names) {
            cmcSheetLayout sheet(catalogue, name);
            sheet.Build();
            for (int row = sheet.GetStyle().fixedRows; row < sheet.Rows(); ++row)
                for (int column = 0; column < sheet.CellsInRow(row); ++column) {
                    const cmcCellObj& cell = sheet.Cell(column, row);
                    if (cell.logicId == CL_None) continue;
                    if (!cell.IsSelectable() && !cell.HasLayout(cmcCellObj::FitWidth)) continue;
                    EXPECT_FALSE(cell.templateText.empty())
                        << language.name << " " << name << " " << LogicIdName(cell.logicId)
                        << " at column " << column << ", row " << row;
                    ++checked;
                }
        }
        // The list sheets' rows, the 38 common settings, the comment and the pick-list items.
        EXPECT_GT(checked, 1000) << language.name;
    }
}

// The common-settings sheet as its sheet kind builds it for a destination: the guarded
// lines stand only for the destinations they name.
class CommonSheet : public cmcSheetLayout {
  public:
    CommonSheet(cmcGTex& catalogue, int destination)
        : cmcSheetLayout(catalogue, "GI_Sheet_Common"), destination_(destination) {}

  protected:
    void DirectiveItem(std::string_view item) override {
        const int d = destination_;
        const std::pair<std::string_view, bool> guards[] = {
            {"Only_JPN", d == 0},
            {"Only_USA", d == 5},
            {"Only_JPUSKR", d == 0 || d == 5 || d == 9}};
        for (const auto& [guard, keep] : guards)
            if (item.substr(0, guard.size()) == guard) {
                int lines = 0;
                cmcLayout::ReadNumber(item.substr(guard.size()), lines);
                if (!keep) SkipLines(lines);
                return;
            }
        cmcSheetLayout::DirectiveItem(item);
    }

  private:
    int destination_;
};

// One letter per row: "G" a group heading, "R" a setting, "_" a spacer, "E" an empty row.
std::string RowKinds(const cmcSheetLayout& sheet) {
    std::string kinds;
    for (int row = 0; row < sheet.Rows(); ++row) {
        if (sheet.CellsInRow(row) == 0) {
            kinds += 'E';
            continue;
        }
        const cmcCellObj& label = sheet.Cell(1, row);
        const bool twoCells = sheet.CellsInRow(row) > 2;
        if (twoCells && sheet.Cell(2, row).HasLayout(cmcCellObj::Join))
            kinds += 'G';
        else if (twoCells && sheet.Cell(2, row).logicId != CL_None)
            kinds += 'R';
        else if (label.templateText == " " && label.logicId == CL_None)
            kinds += '_';
        else
            kinds += '?';
    }
    return kinds;
}

int RowOf(const cmcSheetLayout& sheet, int logicId) {
    for (int row = 0; row < sheet.Rows(); ++row)
        if (sheet.CellsInRow(row) > 2 && sheet.Cell(2, row).logicId == logicId) return row;
    return -1;
}

TEST(CatalogueTemplateTest, CommonSheetSeparatesItsGroupsByOneSpacerAtEveryDestination) {
    // Set, Antenna, Remote Link, Display, Sound, Scan, [Weather,] Search, Clone.
    const std::string display = "GRRRR";
    const std::string before = "GRRRRRRR_GRR_GRRR_" + display;
    const std::string after = "_GRRRRRRRRRR_GRRRR_";
    const std::string rest = "GRRRR_GR";
    struct Case {
        int destination;
        std::string kinds;
        bool language, weather;
    };
    const Case cases[] = {
        {0, before + "R" + after + rest, true, false},
        {5, before + after + "GRR_" + rest, false, true},
        {9, before + after + rest, false, false},
    };
    for (const Language& language : Languages) {
        cmcGTex catalogue;
        ASSERT_EQ(catalogue.Attach(language.table()), 1);
        for (const Case& c : cases) {
            CommonSheet sheet(catalogue, c.destination);
            sheet.Build();
            const std::string where =
                std::string(language.name) + " destination " + std::to_string(c.destination);
            EXPECT_EQ(RowKinds(sheet), c.kinds) << where;
            const int fontSize = RowOf(sheet, CL_Common_Disp_FontSize);
            const int languageRow = RowOf(sheet, CL_Common_Disp_Language);
            EXPECT_EQ(languageRow, c.language ? fontSize + 1 : -1) << where;
            EXPECT_EQ(RowOf(sheet, CL_Common_Scan_WAlert) >= 0, c.weather) << where;
            EXPECT_EQ(RowOf(sheet, CL_Common_Scan_WX_Ch) >= 0, c.weather) << where;
            EXPECT_EQ(RowOf(sheet, CL_Common_CLONE_COMMENT), sheet.Rows() - 1) << where;
        }
    }
}

} // namespace

#pragma once

#include "sheet/cmcCellObj.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class cmcGTex;

// One sheet definition of the catalogue turned into rows and cells: the style line, the
// BasicCell every cell starts from, and the rows of "_Cells" with their directive lines
// (loops, multi-selection, and whatever a sheet kind adds). This is the core of a sheet; the
// view layer sizes and draws it.
class cmcSheetLayout {
  public:
    enum MultiSelect { NoMultiSelect = 0, CellSelect = 1, LineSelect = 2 };

    // What the row came from: its catalogue line and whether it takes part in
    // multi-selection.
    struct RowAttributes {
        int catalogueLine = 0;
        bool multiSelect = true;
    };

    // The results of the style line.
    struct Style {
        std::optional<std::string> title;
        unsigned titleColor = 0xFF000011u; // clGrayText
        std::optional<cmcCellFont> titleFont;
        int fixedCols = 0;
        int fixedRows = 0;
        bool noPrint = false;
        int printFontRatio = 100;
        int multiSelect = NoMultiSelect;
        bool colSizing = false;
        bool colorSelectLine = false;
    };

    cmcSheetLayout(cmcGTex& catalogue, std::string layoutName);
    virtual ~cmcSheetLayout() = default;
    cmcSheetLayout(const cmcSheetLayout&) = delete;
    cmcSheetLayout& operator=(const cmcSheetLayout&) = delete;

    // Reads the style line, makes the BasicCell (its line followed by basicCellSuffix, for
    // the font size) and builds the rows and cells. A sheet that yields no row or no cell is
    // a fault of the catalogue.
    void Build(std::string_view basicCellSuffix = {});

    const std::string& LayoutName() const { return layoutName_; }
    const Style& GetStyle() const { return style_; }
    const cmcCellObj& BasicCell() const { return basicCell_; }
    int Columns() const { return columns_; }
    int Rows() const { return static_cast<int>(rows_.size()); }
    const RowAttributes& Row(int row) const { return rows_.at(static_cast<size_t>(row)); }
    // The cell at (column, row); a position outside the grid is a fault of the program.
    cmcCellObj& Cell(int column, int row);
    const cmcCellObj& Cell(int column, int row) const;
    // How many cells the row's catalogue line gave (the rest of the row are empty cells).
    int CellsInRow(int row) const;

    // A list sheet grows and shrinks at its end without a rebuild: the new last row is a
    // copy of the row above with every index one higher. Room reserved for a number of rows
    // keeps references to the cells valid while the sheet grows within it.
    void ReserveRows(int rows) { preparedRows_ = rows; }
    void AppendRepeatedRow();
    void RemoveLastRow();

    cmcSheetVariables& Variables() { return variables_; }
    int BaseIndex() const { return baseIndex_; }
    void SetBaseIndex(int base) { baseIndex_ = base; }

  protected:
    // Handlers a sheet kind may override; the defaults are the plain sheet's.
    virtual void StyleItem(std::string_view item);
    virtual void DirectiveItem(std::string_view item);
    virtual void BeforeRow(int /*row*/) {}
    virtual void BeforeCell(int /*column*/, int /*row*/) {}

    // For directive handlers: drop the next n catalogue lines; start a block repeated so
    // that it stands count times in all; end the block; the multi-selection state of the
    // rows that follow.
    void SkipLines(int count) { skip_ = count; }
    void BeginLoop(int count);
    void EndLoop() { loopEnding_ = loopStart_ >= 0; }
    void SetRowsMultiSelect(bool on) { multiSelect_ = on; }
    int RowCount() const { return static_cast<int>(rows_.size()); }

    cmcGTex& catalogue_;

  private:
    void CountRows();
    void ParseRows();
    void RepeatBlock();

    std::string layoutName_;
    Style style_;
    cmcSheetVariables variables_{};
    cmcCellObj basicCell_;
    std::vector<RowAttributes> rows_;
    std::vector<int> cellsInRow_;
    std::vector<cmcCellObj> cells_; // row-major, columns_ per row
    int columns_ = 0;
    int baseIndex_ = 0;
    int skip_ = 0;
    int loopStart_ = -1;
    int loopCount_ = 0;
    bool loopEnding_ = false;
    bool multiSelect_ = true;
    int preparedRows_ = 0;
};

// A readable table of a built sheet, one line per cell, for reviews and fixtures.
std::string DumpSheetLayout(const cmcSheetLayout& sheet);
// One cell in the same notation.
std::string DescribeCell(const cmcCellObj& cell);

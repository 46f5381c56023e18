#include "sheet/cmcSheetLayout.h"

#include "catalogue/cmcGTex.h"
#include "platform/cmcPlatform.h"
#include "sheet/cmcLayout.h"

#include <algorithm>
#include <sstream>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool AfterEquals(std::string_view item, std::string_view& value) {
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos) return false;
    value = item.substr(equals + 1);
    return true;
}

bool NumberAfterEquals(std::string_view item, int& number) {
    std::string_view value;
    return AfterEquals(item, value) && cmcLayout::ReadNumber(value, number);
}

// The number of lines of a value before the "#" line that ends it. A value that runs to
// the end of the table is a catalogue fault: reading on gives empty lines, never "#".
int ValueLineCount(cmcGTex& catalogue, const std::string& key) {
    const bool empty = StartsWith(catalogue.GetLine(key, 0), "#");
    const int count =
        empty ? 0 : 1 + static_cast<int>(std::ranges::count(catalogue.GetLines(key), '\n'));
    if (!StartsWith(catalogue.GetLine(key, count), "#"))
        cmcFatal("GTEX Error !\nThe index '" + key + "' runs past the end of the table.");
    return count;
}

} // namespace

cmcSheetLayout::cmcSheetLayout(cmcGTex& catalogue, std::string layoutName)
    : catalogue_(catalogue), layoutName_(std::move(layoutName)) {}

void cmcSheetLayout::Build(std::string_view basicCellSuffix) {
    style_ = Style();
    cmcLayout::ParseStyle(catalogue_.GetLine(layoutName_ + "_Style", 0),
                          [this](std::string_view item) { StyleItem(item); });

    const std::string basicLine =
        catalogue_.GetLine(layoutName_ + "_BasicCell", 0) + std::string(basicCellSuffix);
    cmcLayout::ParseCell(catalogue_, basicLine, basicCell_, nullptr, nullptr);

    CountRows();
    if (rows_.empty() || columns_ == 0) cmcFatal("Illegal Cell assign");
    ParseRows();

    basicCell_.index += baseIndex_;
    for (cmcCellObj& cell : cells_)
        cell.index += baseIndex_;
}

void cmcSheetLayout::CountRows() {
    rows_.clear();
    cellsInRow_.clear();
    columns_ = 0;
    skip_ = 0;
    loopStart_ = -1;
    loopEnding_ = false;
    multiSelect_ = true;
    const std::string key = layoutName_ + "_Cells";
    const int lines = ValueLineCount(catalogue_, key);
    for (int line = 0; line < lines; ++line) {
        const std::string text = catalogue_.GetLine(key, line);
        if (skip_ > 0) {
            --skip_;
            continue;
        }
        if (!text.empty() && text.front() == ':') {
            cmcLayout::ParseDirective(text, [this](std::string_view item) { DirectiveItem(item); });
            if (loopEnding_) RepeatBlock();
            continue;
        }
        int cells = 0;
        std::string_view rest = text;
        cmcCellObj unused;
        while (!rest.empty()) {
            rest = cmcLayout::ParseCell(catalogue_, rest, unused, nullptr, nullptr, true);
            ++cells;
        }
        rows_.push_back({line, multiSelect_});
        cellsInRow_.push_back(cells);
        columns_ = std::max(columns_, cells);
    }
}

void cmcSheetLayout::BeginLoop(int count) {
    loopStart_ = RowCount();
    loopCount_ = std::max(count, 1);
    loopEnding_ = false;
}

void cmcSheetLayout::RepeatBlock() {
    const size_t begin = static_cast<size_t>(loopStart_);
    const size_t end = rows_.size();
    for (int copy = 1; copy < loopCount_; ++copy) {
        for (size_t row = begin; row < end; ++row) {
            rows_.push_back({rows_[row].catalogueLine, multiSelect_});
            cellsInRow_.push_back(cellsInRow_[row]);
        }
    }
    loopStart_ = -1;
    loopEnding_ = false;
}

void cmcSheetLayout::ParseRows() {
    cells_.clear();
    cells_.reserve(static_cast<size_t>(columns_) *
                   static_cast<size_t>(std::max(Rows(), preparedRows_)));
    cells_.assign(static_cast<size_t>(columns_) * rows_.size(), cmcCellObj());
    const std::string key = layoutName_ + "_Cells";
    for (int row = 0; row < Rows(); ++row) {
        BeforeRow(row);
        if (row > 0 && rows_[row].catalogueLine == rows_[row - 1].catalogueLine) {
            // A repeated row is the row above with every index one higher.
            for (int column = 0; column < columns_; ++column) {
                Cell(column, row) = Cell(column, row - 1);
                ++Cell(column, row).index;
            }
            continue;
        }
        const std::string text = catalogue_.GetLine(key, rows_[row].catalogueLine);
        std::string_view rest = text;
        for (int column = 0; !rest.empty(); ++column) {
            BeforeCell(column, row);
            rest =
                cmcLayout::ParseCell(catalogue_, rest, Cell(column, row), &basicCell_, &variables_);
        }
    }
}

cmcCellObj& cmcSheetLayout::Cell(int column, int row) {
    if (column < 0 || row < 0 || column >= columns_ || row >= Rows())
        cmcFatal("Illegal Cell selection");
    return cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                  static_cast<size_t>(column)];
}

const cmcCellObj& cmcSheetLayout::Cell(int column, int row) const {
    return const_cast<cmcSheetLayout*>(this)->Cell(column, row);
}

void cmcSheetLayout::AppendRepeatedRow() {
    if (rows_.empty()) cmcFatal("Illegal Cell assign");
    const size_t last = rows_.size() - 1;
    rows_.push_back({rows_[last].catalogueLine, false});
    cellsInRow_.push_back(cellsInRow_[last]);
    for (int column = 0; column < columns_; ++column) {
        cmcCellObj copy = Cell(column, static_cast<int>(last));
        ++copy.index;
        cells_.push_back(std::move(copy));
    }
}

void cmcSheetLayout::RemoveLastRow() {
    if (rows_.size() <= 1) return;
    rows_.pop_back();
    cellsInRow_.pop_back();
    cells_.resize(static_cast<size_t>(columns_) * rows_.size());
}

int cmcSheetLayout::CellsInRow(int row) const {
    return cellsInRow_.at(static_cast<size_t>(row));
}

void cmcSheetLayout::StyleItem(std::string_view item) {
    std::string_view value;
    int number = 0;
    if (StartsWith(item, "TitleString")) {
        if (AfterEquals(item, value) && !value.empty()) style_.title = std::string(value);
    } else if (StartsWith(item, "TitleColor")) {
        if (AfterEquals(item, value)) FindColor(value, style_.titleColor);
    } else if (StartsWith(item, "TitleFont")) {
        if (!AfterEquals(item, value)) return;
        style_.titleFont = cmcCellFont();
        cmcLayout::ApplyFontDescription(*style_.titleFont, value);
    } else if (StartsWith(item, "FixedCols")) {
        if (NumberAfterEquals(item, number)) style_.fixedCols = number;
    } else if (StartsWith(item, "FixedRows")) {
        if (NumberAfterEquals(item, number)) style_.fixedRows = number;
    } else if (item == "NoPrint") {
        style_.noPrint = true;
    } else if (StartsWith(item, "PrintFontRatio")) {
        if (NumberAfterEquals(item, number)) style_.printFontRatio = number;
    } else if (StartsWith(item, "MultiSelect")) {
        style_.multiSelect = NoMultiSelect;
        if (!AfterEquals(item, value)) return;
        if (value == "Cell") style_.multiSelect = CellSelect;
        if (value == "Line") style_.multiSelect = LineSelect;
    } else if (StartsWith(item, "ColSizing")) {
        style_.colSizing = true;
    } else if (StartsWith(item, "ColorSelectLine")) {
        style_.colorSelectLine = true;
    }
}

void cmcSheetLayout::DirectiveItem(std::string_view item) {
    int count = 0;
    if (StartsWith(item, "LoopFrom")) {
        // The count must follow one blank; without it a plain sheet sets nothing.
        if (item.size() > 9 && item[8] == ' ' && item[9] != ' ' &&
            cmcLayout::ReadNumber(item.substr(9), count))
            BeginLoop(count);
    } else if (StartsWith(item, "LoopTo")) {
        EndLoop();
    } else if (StartsWith(item, "SelectON")) {
        SetRowsMultiSelect(true);
    } else if (StartsWith(item, "SelectOFF")) {
        SetRowsMultiSelect(false);
    }
}

std::string DescribeCell(const cmcCellObj& cell) {
    std::string flags;
    flags += "<^>?"[cell.AlignH()];
    flags += "~-_?"[cell.AlignV()];
    if (cell.HasLayout(cmcCellObj::FitWidth)) flags += 'W';
    if (cell.HasLayout(cmcCellObj::FitHeight)) flags += 'H';
    if (cell.HasLayout(cmcCellObj::Wrap)) flags += '=';
    if (cell.HasLayout(cmcCellObj::Join)) flags += '+';
    if (cell.HasStyle(cmcCellObj::BottomRule)) flags += 'B';
    if (cell.RightRule() == 1) flags += 'X';
    if (cell.RightRule() == 2) flags += 'Q';
    if (cell.IsSelectable()) flags += 'S';
    if (cell.HasStyle(cmcCellObj::Trailing)) flags += 'T';
    for (int n = 0; n < 8; ++n)
        if (cell.Flag(n)) flags += " Flag" + std::to_string(n);

    std::ostringstream out;
    out << flags;
    if (cell.cellType != CT_None || cell.logicId != CL_None) {
        out << "  %"
            << (cell.cellType != CT_None ? std::string(CellTypeName(cell.cellType)) + "." : "")
            << (cell.logicId != CL_None ? LogicIdName(cell.logicId) : "");
        if (cell.logicId != CL_None) out << "[" << cell.index << "]";
        if (!cell.keyText.empty()) out << ":" << cell.keyText;
    }
    const std::string_view colorName = ColorName(cell.color);
    out << "  " << (colorName.empty() ? std::to_string(cell.color) : std::string(colorName));
    if (cell.font) {
        const cmcCellFont& font = *cell.font;
        const std::string_view fontColor = ColorName(font.color);
        out << "  font(" << font.height << (font.style & fsBold ? " bold" : "")
            << (font.style & fsItalic ? " italic" : "") << " " << fontColor
            << (font.face.empty() ? "" : " " + font.face) << ")";
    }
    if (!cell.popupMenuName.empty()) out << "  popup=" << cell.popupMenuName;
    if (cell.imageIndex >= 0) out << "  image=" << cell.imageIndex;
    if (!cell.templateText.empty()) {
        std::string text;
        for (char c : cell.templateText)
            text += c == '\n' ? std::string("\\n") : std::string(1, c);
        out << "  \"" << text << "\"";
    }
    return out.str();
}

std::string DumpSheetLayout(const cmcSheetLayout& sheet) {
    std::ostringstream out;
    const cmcSheetLayout::Style& style = sheet.GetStyle();
    out << "sheet " << sheet.LayoutName() << "\n";
    out << "style:";
    if (style.title) out << " title=\"" << *style.title << "\"";
    out << " fixedCols=" << style.fixedCols << " fixedRows=" << style.fixedRows;
    if (style.noPrint) out << " NoPrint";
    if (style.printFontRatio != 100) out << " printFontRatio=" << style.printFontRatio;
    if (style.multiSelect == cmcSheetLayout::CellSelect) out << " MultiSelect=Cell";
    if (style.multiSelect == cmcSheetLayout::LineSelect) out << " MultiSelect=Line";
    if (style.colSizing) out << " ColSizing";
    if (style.colorSelectLine) out << " ColorSelectLine";
    out << "\n";
    out << "basic: " << DescribeCell(sheet.BasicCell()) << "\n";
    out << "grid: " << sheet.Columns() << " columns x " << sheet.Rows() << " rows\n";
    for (int row = 0; row < sheet.Rows(); ++row) {
        const auto& attributes = sheet.Row(row);
        out << "row " << row << " (line " << attributes.catalogueLine
            << (attributes.multiSelect ? ", multi-select" : "") << ")\n";
        for (int column = 0; column < sheet.CellsInRow(row); ++column)
            out << "  " << column << ": " << DescribeCell(sheet.Cell(column, row)) << "\n";
    }
    return out.str();
}

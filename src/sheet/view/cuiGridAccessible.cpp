#include "sheet/view/cuiGridAccessible.h"

#include "sheet/view/cuiAnnounce.h"
#include "sheet/view/cuiGrid.h"

#include <QPointer>

namespace {

// One cell of the table, or one item of a pick list, by its grid position.
class clsCellAccessible : public QAccessibleInterface,
                          public QAccessibleTableCellInterface,
                          public QAccessibleTextInterface {
  public:
    clsCellAccessible(cuiGrid* grid, int column, int row)
        : grid_(grid), column_(column), row_(row) {}

    bool isValid() const override {
        return !grid_.isNull() && row_ < grid_->Rows() && column_ < grid_->Columns() && Table();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Table() ? Table()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return Table(); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override {
        return List() ? QAccessible::ListItem : QAccessible::Cell;
    }
    QString text(QAccessible::Text t) const override {
        cuiGridReader* reader = Reader();
        if (!reader) return {};
        switch (t) {
        case QAccessible::Name: {
            if (List()) return reader->CellText(column_, row_);
            const QString heading = reader->ColumnHeading(column_);
            return heading.isEmpty() ? reader->RowHeading(row_) : heading;
        }
        case QAccessible::Value:
            return List() ? QString() : reader->CellText(column_, row_);
        case QAccessible::Description:
            return reader->CellDescription(column_, row_);
        default:
            return {};
        }
    }
    QAccessible::State state() const override {
        return Reader() && Table() ? Table()->CellStateOf(column_, row_) : QAccessible::State();
    }
    QRect rect() const override {
        if (grid_.isNull()) return {};
        const QRect local = grid_->CellRect(column_, row_);
        if (local.isEmpty()) return {};
        return QRect(grid_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface && !List())
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    int columnIndex() const override {
        const QList<int> columns = Table() ? Table()->TableColumns() : QList<int>();
        return int(columns.indexOf(column_));
    }
    int rowIndex() const override { return grid_.isNull() ? -1 : row_ - grid_->FixedRows(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override {
        int above = 0, below = 0;
        if (cuiGridReader* reader = Reader()) reader->CellBlock(column_, row_, above, below);
        return 1 + below;
    }
    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    QAccessibleInterface* table() const override { return Table(); }

    // QAccessibleTextInterface: the text the cell shows, read-only.
    QString text(int startOffset, int endOffset) const override {
        return Shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(Shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

  private:
    QString Shown() const {
        cuiGridReader* reader = Reader();
        return reader ? reader->CellText(column_, row_) : QString();
    }
    cuiGridAccessible* Table() const {
        if (grid_.isNull()) return nullptr;
        return dynamic_cast<cuiGridAccessible*>(QAccessible::queryAccessibleInterface(grid_));
    }
    // None once the grid or the cell is gone (the grid shrank since the cell was asked for).
    cuiGridReader* Reader() const {
        if (grid_.isNull() || row_ >= grid_->Rows() || column_ >= grid_->Columns()) return nullptr;
        return grid_->Reader();
    }
    bool List() const {
        cuiGridReader* reader = Reader();
        return reader && reader->GridIsList();
    }

    QPointer<cuiGrid> grid_;
    int column_;
    int row_;
};

QAccessibleInterface* GridFactory(const QString&, QObject* object) {
    if (auto* grid = dynamic_cast<cuiGrid*>(object)) return new cuiGridAccessible(grid);
    return nullptr;
}

// The grid's interface while assistive technology (or a witness) listens; null otherwise.
cuiGridAccessible* Listening(cuiGrid* grid) {
    if (!grid || !cuiAnnounceListened()) return nullptr;
    return dynamic_cast<cuiGridAccessible*>(QAccessible::queryAccessibleInterface(grid));
}

} // namespace

cuiGridAccessible::cuiGridAccessible(cuiGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

cuiGridAccessible::~cuiGridAccessible() {
    ForgetCells();
}

void cuiGridAccessible::InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(GridFactory);
        return true;
    }();
    (void)installed;
}

cuiGrid* cuiGridAccessible::Grid() const {
    return static_cast<cuiGrid*>(widget());
}

cuiGridReader* cuiGridAccessible::Reader() const {
    return Grid()->Reader();
}

QAccessible::Role cuiGridAccessible::role() const {
    cuiGridReader* reader = Reader();
    return reader && reader->GridIsList() ? QAccessible::List : QAccessible::Table;
}

QString cuiGridAccessible::text(QAccessible::Text t) const {
    cuiGridReader* reader = Reader();
    if (t == QAccessible::Name && reader) {
        const QString name = reader->GridName();
        if (!name.isEmpty()) return name;
    }
    return QAccessibleWidget::text(t);
}

void* cuiGridAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TableInterface && role() == QAccessible::Table)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QList<int> cuiGridAccessible::TableColumns() const {
    QList<int> columns;
    cuiGrid* grid = Grid();
    cuiGridReader* reader = Reader();
    if (!reader) return columns;
    const bool headed = grid->FixedRows() > 0;
    for (int column = grid->FixedColumns(); column < grid->Columns(); ++column) {
        if (grid->ColumnWidth(column) == 0) continue;
        if (headed && reader->ColumnHeading(column).isEmpty()) continue;
        columns.append(column);
    }
    return columns;
}

QList<QPoint> cuiGridAccessible::ListItems() const {
    QList<QPoint> items;
    cuiGrid* grid = Grid();
    cuiGridReader* reader = Reader();
    if (!reader) return items;
    for (int row = 0; row < grid->Rows(); ++row)
        for (int column = 0; column < grid->Columns(); ++column)
            if (grid->ColumnWidth(column) > 0 &&
                (reader->CellState(column, row) & gridCell::Selectable))
                items.append(QPoint(column, row));
    return items;
}

int cuiGridAccessible::rowCount() const {
    return std::max(Grid()->Rows() - Grid()->FixedRows(), 0);
}

int cuiGridAccessible::columnCount() const {
    return int(TableColumns().size());
}

int cuiGridAccessible::childCount() const {
    if (role() == QAccessible::List) return int(ListItems().size());
    return rowCount() * columnCount();
}

QAccessibleInterface* cuiGridAccessible::child(int index) const {
    if (index < 0) return nullptr;
    if (role() == QAccessible::List) {
        const QList<QPoint> items = ListItems();
        if (index >= items.size()) return nullptr;
        return CellInterface(items[index].x(), items[index].y());
    }
    const int columns = columnCount();
    if (columns == 0) return nullptr;
    return cellAt(index / columns, index % columns);
}

QAccessibleInterface* cuiGridAccessible::cellAt(int row, int column) const {
    const QList<int> columns = TableColumns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns.size()) return nullptr;
    return CellInterface(columns[column], row + Grid()->FixedRows());
}

int cuiGridAccessible::IndexOf(int gridColumn, int gridRow) const {
    if (role() == QAccessible::List) return int(ListItems().indexOf(QPoint(gridColumn, gridRow)));
    const int column = int(TableColumns().indexOf(gridColumn));
    const int row = gridRow - Grid()->FixedRows();
    if (column < 0 || row < 0 || row >= rowCount()) return -1;
    return row * columnCount() + column;
}

int cuiGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (const auto& [position, id] : cells_)
        if (QAccessible::accessibleInterface(id) == child)
            return IndexOf(position.first, position.second);
    return -1;
}

QAccessibleInterface* cuiGridAccessible::focusChild() const {
    int column = 0, row = 0;
    cuiGridReader* reader = Reader();
    if (!reader || !Grid()->hasFocus() || !reader->CurrentCell(column, row)) return nullptr;
    return IndexOf(column, row) < 0 ? nullptr : CellInterface(column, row);
}

QString cuiGridAccessible::columnDescription(int column) const {
    const QList<int> columns = TableColumns();
    if (column < 0 || column >= columns.size() || !Reader()) return {};
    return Reader()->ColumnHeading(columns[column]);
}

QString cuiGridAccessible::rowDescription(int row) const {
    if (row < 0 || row >= rowCount() || !Reader()) return {};
    return Reader()->RowHeading(row + Grid()->FixedRows());
}

QList<QAccessibleInterface*> cuiGridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    if (!Reader()) return cells;
    const QRect selected = Reader()->SelectedCells();
    for (int row = selected.top(); row <= selected.bottom(); ++row)
        for (int column : TableColumns())
            if (selected.contains(column, row)) cells.append(CellInterface(column, row));
    return cells;
}

int cuiGridAccessible::selectedCellCount() const {
    return int(selectedCells().size());
}

QList<int> cuiGridAccessible::selectedRows() const {
    QList<int> rows;
    if (!Reader()) return rows;
    const QRect selected = Reader()->SelectedCells();
    for (int row = selected.top(); row <= selected.bottom(); ++row)
        rows.append(row - Grid()->FixedRows());
    return rows;
}

bool cuiGridAccessible::isRowSelected(int row) const {
    return selectedRows().contains(row);
}

QAccessible::State cuiGridAccessible::CellStateOf(int gridColumn, int gridRow) const {
    QAccessible::State state;
    cuiGridReader* reader = Reader();
    if (!reader) return state;
    const unsigned flags = reader->CellState(gridColumn, gridRow);
    const bool selectable = flags & gridCell::Selectable;
    state.focusable = selectable;
    state.selectable = selectable;
    state.readOnly = !selectable;
    state.disabled = (flags & gridCell::Greyed) != 0;
    int column = 0, row = 0;
    if (reader->CurrentCell(column, row) && column == gridColumn && row == gridRow) {
        state.active = true;
        state.focused = Grid()->hasFocus();
    }
    state.selected = reader->SelectedCells().contains(gridColumn, gridRow);
    const QRect cell = Grid()->CellRect(gridColumn, gridRow);
    state.invisible = cell.isEmpty();
    state.offscreen = cell.isEmpty();
    return state;
}

QAccessibleInterface* cuiGridAccessible::CellInterface(int gridColumn, int gridRow) const {
    // A cell that spans rows is one cell, known by its first row.
    int above = 0, below = 0;
    if (cuiGridReader* reader = Reader()) reader->CellBlock(gridColumn, gridRow, above, below);
    gridRow -= above;
    const std::pair<int, int> key{gridColumn, gridRow};
    auto found = cells_.find(key);
    if (found != cells_.end()) {
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(found->second))
            return cell;
        cells_.erase(found);
    }
    auto* cell = new clsCellAccessible(Grid(), gridColumn, gridRow);
    cells_[key] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

void cuiGridAccessible::ForgetCells() {
    for (const auto& entry : cells_)
        QAccessible::deleteAccessibleInterface(entry.second);
    cells_.clear();
}

void cuiGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    ForgetCells();
}

void cuiAnnounceFocus(cuiGrid* grid, int column, int row) {
    cuiGridAccessible* table = Listening(grid);
    if (!table || !grid->hasFocus()) return;
    const int index = table->IndexOf(column, row);
    if (index < 0) return;
    QAccessibleEvent event(grid, QAccessible::Focus);
    event.setChild(index);
    cuiAnnounce(event);
}

void cuiAnnounceValue(cuiGrid* grid, int column, int row) {
    cuiGridAccessible* table = Listening(grid);
    if (!table || table->IndexOf(column, row) < 0) return;
    QAccessibleInterface* cell = table->CellInterface(column, row);
    QAccessibleValueChangeEvent event(cell, cell->text(QAccessible::Value));
    cuiAnnounce(event);
}

void cuiAnnounceSelection(cuiGrid* grid) {
    if (!Listening(grid)) return;
    QAccessibleEvent event(grid, QAccessible::SelectionWithin);
    cuiAnnounce(event);
}

void cuiAnnounceReset(cuiGrid* grid) {
    cuiGridAccessible* table = Listening(grid);
    if (!table) return;
    QAccessibleTableModelChangeEvent event(grid, QAccessibleTableModelChangeEvent::ModelReset);
    table->modelChange(&event);
    cuiAnnounce(event);
}

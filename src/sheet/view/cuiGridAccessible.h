#pragma once

// The grid as assistive technology reads it: a table named by its sheet, whose rows and
// columns are those the user sees (hidden columns and the heading rows and columns are not
// cells), each column headed by its heading rows as one text and each row by its number
// column; or, for a pick list, a list of its items. Each cell's name is its heading and its
// value the text it shows; the current cell has the focus, marked cells are selected, cells
// that cannot be chosen are read-only, and a cell's description says why it carries a mark.

#include <QAccessibleTableInterface>
#include <QAccessibleWidget>

#include <QPoint>
#include <QRect>

#include <map>

class cuiGrid;

// Cell states a reader gives.
namespace gridCell {
constexpr unsigned Selectable = 0x01;
constexpr unsigned Current = 0x02;
constexpr unsigned Selected = 0x04;
constexpr unsigned Greyed = 0x08;
} // namespace gridCell

// What the grid's client tells assistive technology, by grid position.
class cuiGridReader {
  public:
    virtual ~cuiGridReader() = default;
    virtual QString GridName() = 0;
    // A pick list reads as a list of its selectable cells.
    virtual bool GridIsList() = 0;
    // The heading rows over the column as one text ("Frequency, Offset"); empty: no heading.
    virtual QString ColumnHeading(int column) = 0;
    // The heading columns of the row as one text (the channel's number).
    virtual QString RowHeading(int row) = 0;
    virtual QString CellText(int column, int row) = 0;
    // Why the cell carries a mark; empty without one.
    virtual QString CellDescription(int column, int row) = 0;
    // gridCell::Selectable and gridCell::Greyed; the grid adds Current and Selected.
    virtual unsigned CellState(int column, int row) = 0;
    virtual bool CurrentCell(int& column, int& row) = 0;
    // The rows a cell spans above and below its own (a name over its channels).
    virtual void CellBlock(int column, int row, int& above, int& below) = 0;
    // The cells of the multi-selection, in grid positions; empty without one.
    virtual QRect SelectedCells() = 0;
};

// Events for assistive technology, sent only while one listens: the cursor moved to a
// cell, a cell's text changed, the selection changed, the cells were made anew.
void cuiAnnounceFocus(cuiGrid* grid, int column, int row);
void cuiAnnounceValue(cuiGrid* grid, int column, int row);
void cuiAnnounceSelection(cuiGrid* grid);
void cuiAnnounceReset(cuiGrid* grid);

class cuiGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit cuiGridAccessible(cuiGrid* grid);
    ~cuiGridAccessible() override;

    // Installed once, before the first grid is made.
    static void InstallFactory();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectColumn(int) override { return false; }
    bool selectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    cuiGrid* Grid() const;
    cuiGridReader* Reader() const;
    // The grid columns that are table columns, in order, and the list items.
    QList<int> TableColumns() const;
    QList<QPoint> ListItems() const;
    // The child index of a grid position; -1 for one that is not a cell.
    int IndexOf(int gridColumn, int gridRow) const;
    // The interface of the cell at a grid position, made on first use and kept until the
    // cells are made anew.
    QAccessibleInterface* CellInterface(int gridColumn, int gridRow) const;
    QAccessible::State CellStateOf(int gridColumn, int gridRow) const;

  private:
    void ForgetCells();

    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

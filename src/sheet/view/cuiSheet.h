#pragma once

// One sheet of the catalogue as a live grid: it builds the rows and cells through the
// layout core, sizes and draws them (asking the cell logic for the text of bound cells),
// moves the cursor only between selectable cells, keeps a multi-selection, runs the
// in-place editor and the popup menu of the current cell, and keeps its column widths in
// the settings. The sheet kinds derive from it and override its virtual operations; with
// its pick-list mode on it is the list of values that drops down under a cell.

#include "sheet/cmcCellCapsule.h"
#include "sheet/cmcSheetLayout.h"
#include "sheet/view/cuiCellPainter.h"
#include "sheet/view/cuiGrid.h"

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QFrame;
class QLabel;
class QMenu;
class cmcEvMan;
class cmcGTex;
class cmcOrganisation;
class cuiCellEditor;
class cuiMenu;
class indEnviron;
struct cmcEvent;

// What a sheet needs of the program around it.
struct cuiSheetServices {
    cmcGTex* catalogue = nullptr;
    cmcEvMan* events = nullptr;
    indEnviron* settings = nullptr;          // none: widths are neither read nor stored
    cmcOrganisation* organisation = nullptr; // the counts of the list sheets
    int destination = 14;
    int fontSizePercentage = 100;
    // The position of a record in its list from its number in a sheet address (the tree's
    // branch lists); none: the number is the position.
    std::function<int(char kind, int number)> positionOf;
};

// Where the cursor and the scrolled corner stood, to come back to.
struct cuiSheetPosition {
    int column = -1;
    int row = -1;
    int left = -1;
    int top = -1;
};

class cuiSheet : public QWidget, protected cuiGridClient, protected cuiGridReader {
  public:
    static constexpr int MinimumColumnWidth = 10;
    static constexpr int MaximumColumnWidth = 650;
    // The entry beside the stored widths that names the font size they were set in.
    static constexpr const char* WidthsFontSize = "font";

    cuiSheet(const cuiSheetServices& services, std::string layoutName, QWidget* parent);
    ~cuiSheet() override;

    // Settings made before Open.
    virtual void SetArgument(const std::string& argument);
    void SetAddress(const std::string& address) { address_ = address; }
    void SetPickListMode(bool on);
    void SetParentCapsule(const cmcCellCapsule& capsule);
    void SetJumpTarget(int cellType, int index);
    void SetSavedPosition(const cuiSheetPosition& position) { saved_ = position; }
    // A pixel height that replaces the font-size percentage (printing sets one).
    void SetFontHeight(int pixels) { fontHeight_ = pixels; }
    // The stored widths of every sheet are dropped and this one starts from its defaults.
    void SetResetWidths(bool reset) { resetWidths_ = reset; }
    // A sheet drawn on paper: no cursor or menus, the rows a printout shows, widths neither
    // read nor stored.
    void SetPrinting(bool on) { printing_ = on; }
    // Called when a pick-list choice was made or the list is cancelled.
    void SetOnPickListDone(std::function<void()> done) { pickListDone_ = std::move(done); }

    // First build and show; a rebuild keeps the cursor where it can.
    virtual void Open();
    void Rebuild();

    const cuiSheetServices& Services() const { return services_; }
    const std::string& Address() const { return address_; }
    const std::string& Argument() const { return argument_; }
    const std::string& LayoutName() const { return layoutName_; }
    cmcSheetLayout& Layout();
    cuiGrid& Grid() { return *grid_; }
    QLabel* TitleLabel() const { return title_; }
    QMenu& PopupMenu() { return *popup_; }
    bool IsPickList() const { return pickList_; }

    bool HasCurrent() const { return hasCurrent_; }
    // Whether the cursor stands on the cell (a commit there keeps the selection).
    bool IsCurrent(int column, int row) const {
        return hasCurrent_ && column == column_ && row == row_;
    }
    int CurrentColumn() const { return column_; }
    int CurrentRow() const { return row_; }
    cuiSheetPosition Position() const;
    // The cell description at a position; outside the grid is a fault of the program.
    cmcCellObj& CellAt(int column, int row);
    // What the cell shows, as drawn.
    std::string DisplayText(int column, int row);
    bool IsMarked(int column, int row) const;
    bool MultiSelectionActive() const { return multiActive_; }
    // The size that shows every cell without scrolling.
    QSize PreferredSize() const;

    // Makes a selectable cell current, as a click would (extend: with Shift).
    bool MoveTo(int column, int row, bool extend = false);
    // The first selectable cell, in row-major order, with that type (AnyCellType: any),
    // logic id and index.
    static constexpr int AnyCellType = -1;
    bool JumpToCell(int cellType, int logicId, int index);
    // Runs the logic on the current cell: a key, a popup-menu operation or entered text.
    void RunOnCurrent(int key, int operation = 0, const std::string* text = nullptr);
    bool EditorOpen() const;
    void CommitEditor();
    void CancelEditor();
    // Rebuilds the popup menu of the current cell if its name changed, and its states.
    void RefreshPopupMenu();
    // Draws a cell for paper in rect: printed colours, and a joined run of cells across the
    // widths of its columns.
    void PrintCell(QPainter& painter, int column, int row, const QRect& rect);

  protected:
    // The layout core with its handlers turned back to this sheet's virtual operations.
    class clsLayout;

    // Virtual operations the sheet kinds override.
    virtual void StyleItem(std::string_view item);
    virtual void DirectiveItem(std::string_view item);
    virtual void BeforeRow(int row);
    // After the rows are built and sized (column cuts).
    virtual void AfterBuild() {}
    virtual void FillCapsule(int column, int row, cmcCellCapsule& capsule);
    virtual bool IsNameColumn(int /*logicId*/) const { return false; }
    virtual void MoveCursor(int columns, int rows, bool extend);
    void MoveFar(int columns, int rows, bool extend);
    virtual void BeforeCursorMove(int column, int row, bool extend);
    virtual std::string TitleText();
    virtual bool CanSelect(int column, int row) const;
    virtual void AdjustPaint(int /*column*/, int /*row*/, cuiCellPaint& /*paint*/) {}
    virtual void HandleEvent(const cmcEvent& event);
    // After the logic asked to select a range on the cell at (column, row).
    virtual void SelectRange(int column, int row, int low, int high);

    // For the kinds: the layout's directive helpers, the row flags, the title.
    void SkipLines(int count);
    void BeginLoop(int count);
    void SetRowsMultiSelect(bool on);
    int BuiltRows() const;
    void SetRowTakesPart(int row, bool on);
    bool RowTakesPart(int row) const;
    void RefreshTitle();
    void AppendRow();
    void RemoveLastRow();
    // Marks the rectangle of cells; an empty one clears the marks.
    void MarkCells(const QRect& cells);
    const QRect& MarkedCells() const { return marked_; }
    int AnchorColumn() const { return anchorColumn_; }
    int AnchorRow() const { return anchorRow_; }
    void SetAnchor(int column, int row) { anchorColumn_ = column, anchorRow_ = row; }
    void SetMultiActive(bool active) { multiActive_ = active; }
    bool LeftButtonHeld() const { return leftHeld_; }
    // The logic's answer for a cell without side effects (text, marks, block fields).
    cmcCellCapsule QueryCell(int column, int row);

    const cuiSheetServices services_;
    bool printing_ = false;

    // cuiGridClient
    void PaintCell(QPainter& painter, int column, int row, const QRect& rect) override;
    void GridKeyPress(QKeyEvent* event) override;
    void GridMousePress(QMouseEvent* event, int column, int row) override;
    void GridMouseMove(QMouseEvent* event, int column, int row) override;
    void GridMouseRelease(QMouseEvent* event, int column, int row) override;
    void GridDoubleClick(QMouseEvent* event, int column, int row) override;
    void GridFocusChanged(bool focused) override;
    void GridColumnResized(int column) override;

    // cuiGridReader
    QString GridName() override;
    bool GridIsList() override { return pickList_; }
    QString ColumnHeading(int column) override;
    QString RowHeading(int row) override;
    QString CellText(int column, int row) override;
    QString CellDescription(int column, int row) override;
    unsigned CellState(int column, int row) override;
    bool CurrentCell(int& column, int& row) override;
    void CellBlock(int column, int row, int& above, int& below) override;
    QRect SelectedCells() override { return marked_; }

    void changeEvent(QEvent* event) override;

  private:
    static void OnEvent(void* context, const cmcEvent& event);
    void BuildContent();
    void SizeCells();
    void FindFirstSelectable();
    void PlaceCursorAtOpen();
    bool StepCursor(int& column, int& row, int dc, int dr, bool wrap) const;
    int NearestSelectableInColumn(int column, int row) const;
    int NearestSelectableInRow(int row, int column) const;
    void RepaintByMask(const cmcCellObj& changed, int mask);
    void OpenEditor(int column, int row, const std::string& text, int selStart, int selLength);
    void ShowPopupMenu(const QPoint& globalPosition);
    void RunPopupItem(const cmcCellObj& item);
    void AutoFit(int column);
    int FitWidth(int column);
    int ColumnLimit() const;
    void ClampWidths(int maximum);
    std::vector<std::pair<std::string, std::string>> RegisteredSheets() const;
    std::string ShortName() const;
    void LoadWidths();
    void SaveWidths();
    void ResetStoredWidths();
    bool StoredColumn(int column);
    const cmcCellFont* FontOf(const cmcCellObj& cell) const;
    QFont CellFont(const cmcCellObj& cell) const;
    void FitWrappedCells();
    bool eventFilter(QObject* watched, QEvent* event) override;
    cuiCellPaint::Background BackgroundOf(int column, int row, bool selected) const;
    void DrawCell(QPainter& painter, int first, int row, const QRect& whole, const QRect& clip,
                  bool rightRule = true);
    bool CountsSelected(int column, int row);
    void ChooseInPickList(int column, int row);

    std::string layoutName_;
    std::string address_;
    std::string argument_;
    std::unique_ptr<clsLayout> layout_;
    std::unique_ptr<cmcCellCapsule> parentCapsule_;
    std::unique_ptr<cmcCellObj> parentCell_;
    cuiSheetPosition saved_;
    int jumpType_ = -1;
    int jumpIndex_ = 0;
    int fontHeight_ = 0;
    bool resetWidths_ = false;
    bool pickList_ = false;
    bool building_ = false;
    bool opened_ = false;
    std::vector<bool> rowTakesPart_;
    int firstSelectableColumn_ = 0;
    int firstSelectableRow_ = 0;

    bool hasCurrent_ = false;
    int column_ = 0;
    int row_ = 0;
    int rememberedColumn_ = 0;
    int rememberedRow_ = 0;
    int anchorColumn_ = -1;
    int anchorRow_ = -1;
    QRect marked_;
    bool multiActive_ = false;
    bool leftHeld_ = false;
    bool extending_ = false; // a move with Shift is being looked for
    bool mouseBlocked_ = false;

    cuiShading shading_;
    QFrame* titleBar_ = nullptr;
    QLabel* title_ = nullptr;
    QFrame* gridPanel_ = nullptr;
    cuiGrid* grid_ = nullptr;
    cuiCellEditor* editor_ = nullptr;
    int editColumn_ = -1;
    int editRow_ = -1;
    QMenu* popup_ = nullptr;
    std::unique_ptr<cuiMenu> menu_;
    std::unique_ptr<cmcCellCapsule> menuCapsule_;
    std::function<void()> pickListDone_;
    indActiveCell context_;
};

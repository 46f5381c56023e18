#pragma once

// The grid control the sheets draw on: fixed rows and columns that stay in place, the rest
// scrolled by whole cells, columns of any width (0 hides one), and the user's column
// sizing on the heading rows. It knows nothing of cells: it asks its client to draw each
// one and hands it every key and mouse action.

#include <QAbstractScrollArea>
#include <QTimer>

#include "sheet/view/cuiGridAccessible.h"

#include <vector>

class QPainter;

class cuiGridClient {
  public:
    virtual ~cuiGridClient() = default;
    virtual void PaintCell(QPainter& painter, int column, int row, const QRect& rect) = 0;
    virtual void GridKeyPress(QKeyEvent* event) = 0;
    // Mouse actions over a cell; column and row are -1 outside the cells.
    virtual void GridMousePress(QMouseEvent* event, int column, int row) = 0;
    virtual void GridMouseMove(QMouseEvent* event, int column, int row) = 0;
    virtual void GridMouseRelease(QMouseEvent* event, int column, int row) = 0;
    virtual void GridDoubleClick(QMouseEvent* event, int column, int row) = 0;
    virtual void GridFocusChanged(bool focused) = 0;
    // The user dragged a column edge to a new width (already set).
    virtual void GridColumnResized(int column) = 0;
};

class cuiGrid : public QAbstractScrollArea {
  public:
    // How near a column edge a heading press starts sizing, in pixels.
    static constexpr int EdgeReach = 4;

    cuiGrid(cuiGridClient& client, QWidget* parent);
    // The client goes away before the grid: nothing more reaches it.
    void Detach() { client_ = nullptr, reader_ = nullptr; }
    // What assistive technology and tooltips read of the cells; none: nothing.
    void SetReader(cuiGridReader* reader) { reader_ = reader; }
    cuiGridReader* Reader() const { return reader_; }

    void SetSize(int columns, int rows);
    int Columns() const { return static_cast<int>(widths_.size()); }
    int Rows() const { return static_cast<int>(heights_.size()); }
    void SetFixed(int columns, int rows);
    int FixedColumns() const { return fixedColumns_; }
    int FixedRows() const { return fixedRows_; }
    // The width of the fixed columns: where the scrolled ones begin on the viewport.
    int FixedWidth() const;
    int ColumnWidth(int column) const { return widths_.at(static_cast<size_t>(column)); }
    int RowHeight(int row) const { return heights_.at(static_cast<size_t>(row)); }
    void SetColumnWidth(int column, int width);
    void SetRowHeight(int row, int height);
    // Adds a row of the given height at the end, or removes the last one.
    void AppendRow(int height);
    void RemoveLastRow();
    void SetColumnSizing(bool on) { columnSizing_ = on; }
    void SetScrollBarsShown(bool shown);

    // The first scrolled column and row on show.
    int LeftColumn() const { return left_; }
    int TopRow() const { return top_; }
    void SetTopLeft(int left, int top);
    // Scrolls as little as needed to bring the cell fully into view.
    void EnsureVisible(int column, int row);
    int VisibleRowCount() const; // whole scrolled rows that fit

    // A cell's rectangle in viewport coordinates (as if the grid were tall and wide enough
    // when it is scrolled out of view: then it is empty).
    QRect CellRect(int column, int row) const;
    bool CellAt(const QPoint& point, int& column, int& row) const;
    // The column whose right edge lies within EdgeReach of the point's x, or -1.
    int ColumnEdgeAt(int x, bool& leftEdgeOfNext) const;

    void UpdateCell(int column, int row);
    void UpdateRow(int row);
    void UpdateAll();

    // The whole grid's size without scrolling.
    int TotalWidth() const;
    int TotalHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool) override { return false; } // Tab belongs to the sheet

  private:
    int FixedHeight() const;
    int ColumnLeft(int column) const;
    int RowTop(int row) const;
    void UpdateScrollBars();
    int LastLeft() const;
    int LastTop() const;
    // Whether the grid is on screen with a size of its own, so that scrolling can be
    // measured; until then a scroll asked for waits for the first painting, which comes
    // once the window's layout has given the grid its size.
    bool Sized() const;
    void ApplyPendingScroll();
    // A drag that leaves the rows on show above or below scrolls on a timer, one row a
    // tick, and the selection follows to the row at that edge.
    void FollowDrag(const QPoint& point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void DragScrollTick();

    cuiGridClient* client_;
    cuiGridReader* reader_ = nullptr;
    std::vector<int> widths_;
    std::vector<int> heights_;
    int fixedColumns_ = 0;
    int fixedRows_ = 0;
    int left_ = 0;
    int top_ = 0;
    bool columnSizing_ = false;
    int sizingColumn_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    bool updatingBars_ = false;
    // Scrolling asked for before the grid was sized (a sheet is opened before it is shown):
    // the top-left cell, then a cell to bring into view.
    bool pendingTopLeft_ = false;
    QPoint pendingCorner_;
    QPoint pendingCell_{-1, -1};
    QTimer dragScroll_;
    int dragDirection_ = 0;
    QPoint dragPoint_;
    Qt::KeyboardModifiers dragModifiers_;
};

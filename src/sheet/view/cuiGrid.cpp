#include "sheet/view/cuiGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <numeric>

namespace {

constexpr int DragScrollMs = 50;

} // namespace

cuiGrid::cuiGrid(cuiGridClient& client, QWidget* parent)
    : QAbstractScrollArea(parent), client_(&client) {
    cuiGridAccessible::InstallFactory();
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    dragScroll_.setInterval(DragScrollMs);
    connect(&dragScroll_, &QTimer::timeout, this, [this] { DragScrollTick(); });
}

void cuiGrid::SetSize(int columns, int rows) {
    widths_.assign(static_cast<size_t>(std::max(columns, 0)), 64);
    heights_.assign(static_cast<size_t>(std::max(rows, 0)), 24);
    left_ = fixedColumns_ = std::min(fixedColumns_, std::max(columns - 1, 0));
    top_ = fixedRows_ = std::min(fixedRows_, std::max(rows - 1, 0));
    UpdateScrollBars();
    cuiAnnounceReset(this);
}

void cuiGrid::SetFixed(int columns, int rows) {
    fixedColumns_ = std::clamp(columns, 0, std::max(Columns() - 1, 0));
    fixedRows_ = std::clamp(rows, 0, std::max(Rows() - 1, 0));
    left_ = std::max(left_, fixedColumns_);
    top_ = std::max(top_, fixedRows_);
    UpdateScrollBars();
}

void cuiGrid::SetColumnWidth(int column, int width) {
    int& stored = widths_.at(static_cast<size_t>(column));
    const bool shownBefore = stored > 0;
    stored = std::max(width, 0);
    if (shownBefore != (stored > 0)) cuiAnnounceReset(this);
    UpdateScrollBars();
    viewport()->update();
}

void cuiGrid::SetRowHeight(int row, int height) {
    heights_.at(static_cast<size_t>(row)) = std::max(height, 0);
    UpdateScrollBars();
    viewport()->update();
}

void cuiGrid::AppendRow(int height) {
    heights_.push_back(height);
    UpdateScrollBars();
    UpdateRow(Rows() - 1);
    cuiAnnounceReset(this);
}

void cuiGrid::RemoveLastRow() {
    if (heights_.empty()) return;
    heights_.pop_back();
    top_ = std::min(top_, std::max(LastTop(), fixedRows_));
    UpdateScrollBars();
    viewport()->update();
    cuiAnnounceReset(this);
}

void cuiGrid::SetScrollBarsShown(bool shown) {
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

namespace {

int Sum(const std::vector<int>& sizes, int first, int end) {
    return std::accumulate(sizes.begin() + first, sizes.begin() + end, 0);
}

// Where item n starts along one axis: fixed items count from the edge, the others from the
// first scrolled item on show (before it they lie off the view).
int Offset(const std::vector<int>& sizes, int fixed, int first, int n) {
    if (n < fixed) return Sum(sizes, 0, n);
    const int start = Sum(sizes, 0, fixed);
    return n >= first ? start + Sum(sizes, first, n) : start - Sum(sizes, n, first);
}

} // namespace

int cuiGrid::FixedWidth() const {
    return Sum(widths_, 0, fixedColumns_);
}

int cuiGrid::FixedHeight() const {
    return Sum(heights_, 0, fixedRows_);
}

int cuiGrid::TotalWidth() const {
    return Sum(widths_, 0, Columns());
}

int cuiGrid::TotalHeight() const {
    return Sum(heights_, 0, Rows());
}

int cuiGrid::ColumnLeft(int column) const {
    return Offset(widths_, fixedColumns_, left_, column);
}

int cuiGrid::RowTop(int row) const {
    return Offset(heights_, fixedRows_, top_, row);
}

QRect cuiGrid::CellRect(int column, int row) const {
    if (column < 0 || row < 0 || column >= Columns() || row >= Rows()) return {};
    return QRect(ColumnLeft(column), RowTop(row), widths_[static_cast<size_t>(column)],
                 heights_[static_cast<size_t>(row)]);
}

bool cuiGrid::CellAt(const QPoint& point, int& column, int& row) const {
    column = row = -1;
    const int fixedWidth = FixedWidth();
    const int fixedHeight = FixedHeight();
    int x = 0;
    for (int c = 0; c < Columns(); ++c) {
        if (c == fixedColumns_) {
            x = fixedWidth;
            c = left_;
            if (c >= Columns()) break;
        }
        const int w = widths_[static_cast<size_t>(c)];
        if (point.x() >= x && point.x() < x + w) {
            column = c;
            break;
        }
        x += w;
    }
    int y = 0;
    for (int r = 0; r < Rows() && y <= point.y(); ++r) {
        if (r == fixedRows_) {
            y = fixedHeight;
            r = top_;
            if (r >= Rows()) break;
        }
        const int h = heights_[static_cast<size_t>(r)];
        if (point.y() >= y && point.y() < y + h) {
            row = r;
            break;
        }
        y += h;
    }
    return column >= 0 && row >= 0;
}

int cuiGrid::ColumnEdgeAt(int x, bool& leftEdgeOfNext) const {
    leftEdgeOfNext = false;
    int best = -1;
    int bestDistance = EdgeReach + 1;
    for (int c = 0; c < Columns(); ++c) {
        if (c >= fixedColumns_ && c < left_) continue;
        if (widths_[static_cast<size_t>(c)] == 0) continue;
        const int right = ColumnLeft(c) + widths_[static_cast<size_t>(c)];
        const int distance = std::abs(x - right);
        if (distance <= EdgeReach && distance < bestDistance) {
            best = c;
            bestDistance = distance;
            leftEdgeOfNext = x > right;
        }
    }
    return best;
}

int cuiGrid::LastLeft() const {
    const int room = viewport()->width() - FixedWidth();
    int used = 0;
    int c = Columns();
    while (c > fixedColumns_ && used + widths_[static_cast<size_t>(c - 1)] <= room)
        used += widths_[static_cast<size_t>(--c)];
    return std::max(std::min(c, Columns() - 1), fixedColumns_);
}

int cuiGrid::LastTop() const {
    const int room = viewport()->height() - FixedHeight();
    int used = 0;
    int r = Rows();
    while (r > fixedRows_ && used + heights_[static_cast<size_t>(r - 1)] <= room)
        used += heights_[static_cast<size_t>(--r)];
    return std::max(std::min(r, Rows() - 1), fixedRows_);
}

int cuiGrid::VisibleRowCount() const {
    const int room = viewport()->height() - FixedHeight();
    int used = 0, count = 0;
    for (int r = top_; r < Rows() && used + heights_[static_cast<size_t>(r)] <= room; ++r) {
        used += heights_[static_cast<size_t>(r)];
        ++count;
    }
    return std::max(count, 1);
}

void cuiGrid::UpdateScrollBars() {
    updatingBars_ = true;
    const int lastLeft = LastLeft();
    const int lastTop = LastTop();
    left_ = std::clamp(left_, fixedColumns_, std::max(lastLeft, fixedColumns_));
    top_ = std::clamp(top_, fixedRows_, std::max(lastTop, fixedRows_));
    horizontalScrollBar()->setRange(0, lastLeft - fixedColumns_);
    horizontalScrollBar()->setPageStep(std::max(1, Columns() - lastLeft));
    horizontalScrollBar()->setValue(left_ - fixedColumns_);
    verticalScrollBar()->setRange(0, lastTop - fixedRows_);
    verticalScrollBar()->setPageStep(std::max(1, VisibleRowCount()));
    verticalScrollBar()->setValue(top_ - fixedRows_);
    updatingBars_ = false;
}

bool cuiGrid::Sized() const {
    return isVisible() && viewport()->width() > 1 && viewport()->height() > 1;
}

void cuiGrid::ApplyPendingScroll() {
    if (!Sized()) return;
    const QPoint cell = pendingCell_;
    pendingCell_ = QPoint(-1, -1);
    if (pendingTopLeft_) {
        pendingTopLeft_ = false;
        SetTopLeft(pendingCorner_.x(), pendingCorner_.y());
    }
    if (cell.x() >= 0) EnsureVisible(cell.x(), cell.y());
}

void cuiGrid::SetTopLeft(int left, int top) {
    if (!Sized()) {
        pendingTopLeft_ = true;
        pendingCorner_ = QPoint(left, top);
        pendingCell_ = QPoint(-1, -1);
    }
    left_ = std::clamp(left, fixedColumns_, std::max(LastLeft(), fixedColumns_));
    top_ = std::clamp(top, fixedRows_, std::max(LastTop(), fixedRows_));
    UpdateScrollBars();
    viewport()->update();
}

void cuiGrid::EnsureVisible(int column, int row) {
    if (!Sized()) {
        pendingCell_ = QPoint(column, row);
        return;
    }
    int left = left_, top = top_;
    if (column >= fixedColumns_ && column < Columns()) {
        if (column < left) left = column;
        const int room = viewport()->width() - FixedWidth();
        // Scroll right until the column's right edge fits (or it is the first on show).
        int right = 0;
        for (int c = left; c <= column; ++c)
            right += widths_[static_cast<size_t>(c)];
        while (left < column && right > room)
            right -= widths_[static_cast<size_t>(left++)];
    }
    if (row >= fixedRows_ && row < Rows()) {
        if (row < top) top = row;
        const int room = viewport()->height() - FixedHeight();
        int bottom = 0;
        for (int r = top; r <= row; ++r)
            bottom += heights_[static_cast<size_t>(r)];
        while (top < row && bottom > room)
            bottom -= heights_[static_cast<size_t>(top++)];
    }
    if (left != left_ || top != top_) SetTopLeft(left, top);
}

void cuiGrid::UpdateCell(int column, int row) {
    const QRect rect = CellRect(column, row);
    if (!rect.isEmpty()) viewport()->update(rect);
}

void cuiGrid::UpdateRow(int row) {
    const QRect rect = CellRect(0, row);
    if (rect.height() > 0) viewport()->update(0, rect.top(), viewport()->width(), rect.height());
}

void cuiGrid::UpdateAll() {
    viewport()->update();
}

void cuiGrid::paintEvent(QPaintEvent* event) {
    if (pendingTopLeft_ || pendingCell_.x() >= 0) {
        ApplyPendingScroll(); // asks for another painting of the scrolled view
        return;
    }
    QPainter painter(viewport());
    if (!client_) return;
    const QRect area = event->rect();
    // The cells keep their colours in a disabled window (a clone holds it), and so does the
    // area around them.
    painter.fillRect(area, palette().color(QPalette::Active, QPalette::Base));
    const int width = viewport()->width();
    const int height = viewport()->height();
    std::vector<int> columns;
    for (int c = 0; c < Columns(); ++c)
        if (c < fixedColumns_ || c >= left_) columns.push_back(c);
    std::vector<int> xs(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
        xs[i] = i == 0 ? ColumnLeft(columns[0])
                       : (columns[i] == left_ ? FixedWidth()
                                              : xs[i - 1] + widths_[size_t(columns[i - 1])]);
    int y = 0;
    for (int r = 0; r < Rows() && y < height; ++r) {
        if (r == fixedRows_) {
            y = FixedHeight();
            r = top_;
            if (r >= Rows()) break;
        }
        const int h = heights_[static_cast<size_t>(r)];
        if (h > 0 && y + h > area.top() && y <= area.bottom()) {
            for (size_t i = 0; i < columns.size(); ++i) {
                const int w = widths_[static_cast<size_t>(columns[i])];
                if (w == 0 || xs[i] >= width) continue;
                const QRect cell(xs[i], y, w, h);
                if (cell.intersects(area)) client_->PaintCell(painter, columns[i], r, cell);
            }
        }
        y += h;
    }
}

void cuiGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

bool cuiGrid::event(QEvent* event) {
    // F1 stays with the grid (the cell's help) rather than the window's Help > Contents.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// A marked cell explains its mark in a tooltip.
bool cuiGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && reader_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        int column = 0, row = 0;
        const QString text =
            CellAt(help->pos(), column, row) ? reader_->CellDescription(column, row) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), CellRect(column, row));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void cuiGrid::keyPressEvent(QKeyEvent* event) {
    // Tab moves between cells; Ctrl+Tab leaves the sheet for the next control, as in other
    // widgets that keep Tab for themselves.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        const bool back =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        QAbstractScrollArea::focusNextPrevChild(!back);
        return;
    }
    if (client_) client_->GridKeyPress(event);
}

void cuiGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    int column = -1, row = -1;
    CellAt(point, column, row);
    if (columnSizing_ && event->button() == Qt::LeftButton && point.y() < FixedHeight()) {
        bool next = false;
        const int edge = ColumnEdgeAt(point.x(), next);
        if (edge >= 0) {
            sizingColumn_ = edge;
            sizingStartX_ = point.x();
            sizingStartWidth_ = widths_[static_cast<size_t>(edge)];
            return;
        }
    }
    if (client_) client_->GridMousePress(event, column, row);
}

void cuiGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (sizingColumn_ >= 0) {
        SetColumnWidth(sizingColumn_, sizingStartWidth_ + point.x() - sizingStartX_);
        return;
    }
    bool next = false;
    const bool onEdge =
        columnSizing_ && point.y() < FixedHeight() && ColumnEdgeAt(point.x(), next) >= 0;
    viewport()->setCursor(onEdge ? Qt::SplitHCursor : Qt::ArrowCursor);
    FollowDrag(point, event->buttons(), event->modifiers());
    if (dragDirection_ != 0) return; // the timer moves the selection
    int column = -1, row = -1;
    CellAt(point, column, row);
    if (client_) client_->GridMouseMove(event, column, row);
}

void cuiGrid::FollowDrag(const QPoint& point, Qt::MouseButtons buttons,
                         Qt::KeyboardModifiers modifiers) {
    dragPoint_ = point;
    dragModifiers_ = modifiers;
    const bool held = buttons & Qt::LeftButton;
    const int top = FixedHeight(), bottom = viewport()->height();
    dragDirection_ = !held || sizingColumn_ >= 0 ? 0
                     : point.y() < top           ? -1
                     : point.y() >= bottom       ? 1
                                                 : 0;
    if (dragDirection_ == 0)
        dragScroll_.stop();
    else if (!dragScroll_.isActive())
        dragScroll_.start();
}

void cuiGrid::DragScrollTick() {
    if (!client_ || dragDirection_ == 0) {
        dragScroll_.stop();
        dragDirection_ = 0;
        return;
    }
    SetTopLeft(left_, top_ + dragDirection_);
    // The row at the edge the pointer left by, in the column under it.
    const int y = dragDirection_ < 0 ? FixedHeight() + 1 : viewport()->height() - 2;
    const QPoint edge(std::clamp(dragPoint_.x(), 0, viewport()->width() - 1), y);
    int column = -1, row = -1;
    CellAt(edge, column, row);
    if (row < 0) return;
    QMouseEvent move(QEvent::MouseMove, QPointF(edge), viewport()->mapToGlobal(QPointF(edge)),
                     Qt::NoButton, Qt::LeftButton, dragModifiers_);
    client_->GridMouseMove(&move, column, row);
}

void cuiGrid::mouseReleaseEvent(QMouseEvent* event) {
    dragScroll_.stop();
    dragDirection_ = 0;
    if (sizingColumn_ >= 0) {
        const int column = sizingColumn_;
        sizingColumn_ = -1;
        if (client_) client_->GridColumnResized(column);
        return;
    }
    int column = -1, row = -1;
    CellAt(event->position().toPoint(), column, row);
    if (client_) client_->GridMouseRelease(event, column, row);
}

void cuiGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    int column = -1, row = -1;
    CellAt(event->position().toPoint(), column, row);
    if (client_) client_->GridDoubleClick(event, column, row);
}

void cuiGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (client_) client_->GridFocusChanged(true);
    int column = 0, row = 0;
    if (reader_ && reader_->CurrentCell(column, row)) cuiAnnounceFocus(this, column, row);
}

void cuiGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (client_) client_->GridFocusChanged(false);
}

void cuiGrid::scrollContentsBy(int, int) {
    if (updatingBars_) return;
    left_ = fixedColumns_ + horizontalScrollBar()->value();
    top_ = fixedRows_ + verticalScrollBar()->value();
    viewport()->update();
}

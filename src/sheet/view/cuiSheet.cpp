#include "sheet/view/cuiSheet.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/indCellLogic.h"
#include "platform/cmcPlatform.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiCellEditor.h"
#include "sheet/view/cuiKeys.h"
#include "sheet/view/cuiMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int TitleBevel = 2;
constexpr int MarkRoom = 18;
constexpr int MinimumWrapWidth = 120; // a wrapping column narrows no further
constexpr int RepeatPausesMs[] = {30, 24, 18, 12, 6};

std::string Formatted(const char* format, int value) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, value);
    return buffer.data();
}

// The editor counts characters where the logic counts the bytes of its UTF-8 text.
int CharacterOffset(const std::string& text, int bytes) {
    const size_t cut = static_cast<size_t>(std::clamp(bytes, 0, static_cast<int>(text.size())));
    return static_cast<int>(QString::fromStdString(text.substr(0, cut)).size());
}

QSize TextSize(const QFont& font, const std::string& text) {
    return cuiTextSize(QString::fromStdString(text), font);
}

} // namespace

// The layout core, its handlers turned back to the sheet's virtual operations.
class cuiSheet::clsLayout : public cmcSheetLayout {
  public:
    clsLayout(cuiSheet& sheet, cmcGTex& catalogue, std::string name)
        : cmcSheetLayout(catalogue, std::move(name)), sheet_(sheet) {}

    void PlainStyleItem(std::string_view item) { cmcSheetLayout::StyleItem(item); }
    void PlainDirectiveItem(std::string_view item) { cmcSheetLayout::DirectiveItem(item); }
    using cmcSheetLayout::BeginLoop;
    using cmcSheetLayout::RowCount;
    using cmcSheetLayout::SetRowsMultiSelect;
    using cmcSheetLayout::SkipLines;

  protected:
    void StyleItem(std::string_view item) override { sheet_.StyleItem(item); }
    void DirectiveItem(std::string_view item) override { sheet_.DirectiveItem(item); }
    void BeforeRow(int row) override { sheet_.BeforeRow(row); }

  private:
    cuiSheet& sheet_;
};

cuiSheet::cuiSheet(const cuiSheetServices& services, std::string layoutName, QWidget* parent)
    : QWidget(parent), services_(services), layoutName_(std::move(layoutName)),
      address_(layoutName_), shading_(palette()) {
    if (!services_.catalogue) cmcFatal("Illegal Cell assign");
    layout_ = std::make_unique<clsLayout>(*this, *services_.catalogue, layoutName_);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    titleBar_ = new QFrame(this);
    titleBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    titleBar_->setLineWidth(TitleBevel);
    auto* titleBox = new QVBoxLayout(titleBar_);
    titleBox->setContentsMargins(TitleBevel, TitleBevel, TitleBevel, TitleBevel);
    title_ = new QLabel(titleBar_);
    title_->setObjectName(QStringLiteral("sheetTitle"));
    title_->setTextFormat(Qt::PlainText);
    title_->setAutoFillBackground(true);
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titleBox->addWidget(title_);
    titleBar_->hide();
    box->addWidget(titleBar_);
    gridPanel_ = new QFrame(this);
    auto* gridBox = new QVBoxLayout(gridPanel_);
    gridBox->setContentsMargins(0, 0, 0, 0);
    grid_ = new cuiGrid(*this, gridPanel_);
    grid_->SetReader(this);
    grid_->viewport()->installEventFilter(this);
    gridBox->addWidget(grid_);
    box->addWidget(gridPanel_, 1);
    editor_ = new cuiCellEditor(grid_->viewport(), [this](cuiCellEditor::Finish how) {
        const int column = editColumn_, row = editRow_;
        editColumn_ = editRow_ = -1;
        if (how != cuiCellEditor::Cancel) {
            const std::string text = editor_->Text();
            if (column >= 0 && (IsCurrent(column, row) || MoveTo(column, row)))
                RunOnCurrent(0, 0, &text);
        }
        grid_->setFocus(Qt::OtherFocusReason);
        if (how == cuiCellEditor::CommitUp) MoveCursor(0, -1, false);
        if (how == cuiCellEditor::CommitDown) MoveCursor(0, 1, false);
        if (how == cuiCellEditor::CommitLeft) MoveCursor(-1, 0, false);
        if (how == cuiCellEditor::CommitRight) MoveCursor(1, 0, false);
        if (how == cuiCellEditor::CommitPageUp) MoveCursor(0, -PageRows, false);
        if (how == cuiCellEditor::CommitPageDown) MoveCursor(0, PageRows, false);
    });
    popup_ = new QMenu(this);
    // Paste is offered for what the desktop's clipboard holds now; asked once the change
    // has reached every listener.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (opened_) RefreshPopupMenu();
        });
    });
    if (services_.events) services_.events->Subscribe(&cuiSheet::OnEvent, this);
}

cuiSheet::~cuiSheet() {
    grid_->Detach();
    if (services_.events) services_.events->Unsubscribe(&cuiSheet::OnEvent, this);
    editor_->Stop();
    if (opened_ && !pickList_ && !printing_) SaveWidths();
    if (menu_ && services_.events) services_.events->Send(ev::MenuClearItems, 0, CL_Menu_Edit_Top);
    menu_.reset();
    if (services_.events) services_.events->Send(ev::CloseOwnedWindows, cmcEvMan::Ref(grid_));
}

void cuiSheet::SetArgument(const std::string& argument) {
    argument_ = argument;
}

void cuiSheet::SetPickListMode(bool on) {
    pickList_ = on;
    gridPanel_->setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    gridPanel_->setLineWidth(on ? 1 : 0);
    grid_->SetScrollBarsShown(!on);
}

void cuiSheet::SetParentCapsule(const cmcCellCapsule& capsule) {
    parentCapsule_ = std::make_unique<cmcCellCapsule>(capsule);
    parentCapsule_->parentCapsule = nullptr;
}

void cuiSheet::SetJumpTarget(int cellType, int index) {
    jumpType_ = cellType;
    jumpIndex_ = index;
}

// ---- Building ----

void cuiSheet::Open() {
    if (!cmcCellLogic::IsInstalled()) cmcFatal("No cell logic is installed.");
    BuildContent();
    const cmcSheetLayout::Style& style = layout_->GetStyle();
    if (style.title) {
        RefreshTitle();
        QPalette colours = title_->palette();
        colours.setColor(QPalette::Window, cuiColor(style.titleColor, palette()));
        if (style.titleFont)
            colours.setColor(QPalette::WindowText, cuiColor(style.titleFont->color, palette()));
        title_->setPalette(colours);
        if (style.titleFont) title_->setFont(cuiFont(*style.titleFont));
        const int height = QFontMetrics(title_->font()).height() + TitleBevel + 8;
        titleBar_->setFixedHeight(height + 2 * TitleBevel);
        titleBar_->show();
    }
    opened_ = true;
    if (printing_) return;
    PlaceCursorAtOpen();
    grid_->UpdateAll();
    RefreshPopupMenu();
}

void cuiSheet::Rebuild() {
    const cuiSheetPosition position = Position();
    editor_->Stop();
    SetArgument(argument_); // the counts behind the argument may have changed
    BuildContent();
    saved_ = position;
    PlaceCursorAtOpen();
    RefreshTitle();
    grid_->UpdateAll();
}

void cuiSheet::BuildContent() {
    building_ = true;
    std::string suffix = fontHeight_
                             ? Formatted("{(Font=,,,%d,,,)}", fontHeight_)
                             : Formatted("{(Font=,,,%%%d,,,)}", services_.fontSizePercentage);
    layout_->Build(suffix);
    const int rows = layout_->Rows();
    rowTakesPart_.assign(static_cast<size_t>(rows), false);
    const bool multi = layout_->GetStyle().multiSelect != cmcSheetLayout::NoMultiSelect;
    for (int row = 0; row < rows; ++row)
        rowTakesPart_[static_cast<size_t>(row)] = multi && layout_->Row(row).multiSelect;
    grid_->SetSize(layout_->Columns(), rows);
    SizeCells();
    grid_->SetFixed(layout_->GetStyle().fixedCols, layout_->GetStyle().fixedRows);
    grid_->SetColumnSizing(layout_->GetStyle().colSizing);
    AfterBuild();
    building_ = false;
    FitWrappedCells();
    building_ = true;
    FindFirstSelectable();
    if (!pickList_ && !printing_) {
        if (resetWidths_) ResetStoredWidths();
        resetWidths_ = false;
        LoadWidths();
        SaveWidths();
    }
    marked_ = QRect();
    multiActive_ = false;
    building_ = false;
}

const cmcCellFont* cuiSheet::FontOf(const cmcCellObj& cell) const {
    return cell.EffectiveFont(&layout_->BasicCell());
}

// Widths and heights start at one pixel; cells that fit their text widen them.
void cuiSheet::SizeCells() {
    const int columns = layout_->Columns();
    for (int column = 0; column < columns; ++column)
        grid_->SetColumnWidth(column, 1);
    for (int row = 0; row < layout_->Rows(); ++row) {
        const bool repeated =
            row > 0 && layout_->Row(row).catalogueLine == layout_->Row(row - 1).catalogueLine;
        if (repeated) {
            grid_->SetRowHeight(row, grid_->RowHeight(row - 1));
            continue;
        }
        int height = 1;
        for (int column = 0; column < layout_->CellsInRow(row); ++column) {
            const cmcCellObj& cell = layout_->Cell(column, row);
            const bool fitWidth = cell.HasLayout(cmcCellObj::FitWidth);
            const bool fitHeight = cell.HasLayout(cmcCellObj::FitHeight);
            if (!fitWidth && !fitHeight) continue;
            const cmcCellFont* font = FontOf(cell);
            const QSize size =
                TextSize(font ? cuiFont(*font) : QApplication::font(),
                         cell.templateText.empty() ? std::string(" ") : cell.templateText);
            // Items that can carry a mark get room for it beside their text; on paper the
            // marks are half a row high and any bound cell may carry one.
            int mark = pickList_ && cell.logicId == CL_FlexMarking ? MarkRoom : 0;
            if (printing_ && cell.logicId != CL_None) mark = size.height() / 2 + 2;
            if (fitWidth)
                grid_->SetColumnWidth(
                    column, std::max(grid_->ColumnWidth(column), size.width() + 8 + mark));
            if (fitHeight) height = std::max(height, size.height() + 2);
        }
        grid_->SetRowHeight(row, height);
    }
}

// Cells that wrap and fit their width keep to the view when it is narrower than their
// text: the column takes the room the other columns leave, and the rows grow to the
// wrapped lines (on paper and in pick lists they keep their one line).
void cuiSheet::FitWrappedCells() {
    if (printing_ || pickList_ || building_) return;
    const int room = grid_->viewport()->width();
    for (int column = 0; column < layout_->Columns(); ++column) {
        int natural = 0;
        for (int row = 0; row < layout_->Rows(); ++row) {
            const cmcCellObj& cell = layout_->Cell(column, row);
            if (cell.HasLayout(cmcCellObj::Wrap) && cell.HasLayout(cmcCellObj::FitWidth))
                natural =
                    std::max(natural, TextSize(CellFont(cell), cell.templateText).width() + 8);
        }
        if (natural == 0) continue;
        int others = 0;
        for (int c = 0; c < layout_->Columns(); ++c)
            if (c != column) others += grid_->ColumnWidth(c);
        const int width =
            std::clamp(room - others - 1, std::min(natural, MinimumWrapWidth), natural);
        grid_->SetColumnWidth(column, width);
        for (int row = 0; row < layout_->Rows(); ++row) {
            const cmcCellObj& cell = layout_->Cell(column, row);
            if (!cell.HasLayout(cmcCellObj::Wrap) || !cell.HasLayout(cmcCellObj::FitWidth))
                continue;
            const QFont font = CellFont(cell);
            const QString wrapped =
                cuiWrapText(QString::fromStdString(cell.templateText), font, width * 9 / 10);
            grid_->SetRowHeight(row, cuiTextSize(wrapped, font).height() + 2);
        }
    }
}

QFont cuiSheet::CellFont(const cmcCellObj& cell) const {
    const cmcCellFont* font = FontOf(cell);
    return font ? cuiFont(*font) : QApplication::font();
}

bool cuiSheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::Resize) FitWrappedCells();
    return QWidget::eventFilter(watched, event);
}

void cuiSheet::FindFirstSelectable() {
    firstSelectableColumn_ = layout_->Columns();
    firstSelectableRow_ = layout_->Rows();
    for (int row = 0; row < layout_->Rows(); ++row)
        for (int column = 0; column < layout_->Columns(); ++column)
            if (layout_->Cell(column, row).IsSelectable()) {
                firstSelectableColumn_ = std::min(firstSelectableColumn_, column);
                firstSelectableRow_ = std::min(firstSelectableRow_, row);
            }
}

void cuiSheet::PlaceCursorAtOpen() {
    hasCurrent_ = false;
    column_ = row_ = 0;
    anchorColumn_ = anchorRow_ = -1;
    int column = 0, row = 0;
    bool found = CanSelect(0, 0);
    if (!found) found = StepCursor(column, row, 0, 0, false);
    if (found) MoveTo(column, row);
    grid_->SetTopLeft(0, 0);
    const bool savedInside = saved_.column >= 0 && saved_.row >= 0 &&
                             saved_.column < layout_->Columns() && saved_.row < layout_->Rows();
    if (savedInside && CanSelect(saved_.column, saved_.row)) {
        grid_->SetTopLeft(saved_.left, saved_.top);
        MoveTo(saved_.column, saved_.row);
    } else if (jumpType_ >= 0) {
        for (int r = 0; r < layout_->Rows(); ++r)
            for (int c = 0; c < layout_->Columns(); ++c) {
                const cmcCellObj& cell = layout_->Cell(c, r);
                if (CanSelect(c, r) && cell.cellType == jumpType_ && cell.index == jumpIndex_) {
                    MoveTo(c, r);
                    r = layout_->Rows();
                    break;
                }
            }
    }
    saved_ = cuiSheetPosition();
}

// ---- Style and directives ----

void cuiSheet::StyleItem(std::string_view item) {
    layout_->PlainStyleItem(item);
}

void cuiSheet::DirectiveItem(std::string_view item) {
    layout_->PlainDirectiveItem(item);
}

void cuiSheet::BeforeRow(int) {}

void cuiSheet::SkipLines(int count) {
    layout_->SkipLines(count);
}

void cuiSheet::BeginLoop(int count) {
    layout_->BeginLoop(count);
}

void cuiSheet::SetRowsMultiSelect(bool on) {
    layout_->SetRowsMultiSelect(on);
}

int cuiSheet::BuiltRows() const {
    return layout_->RowCount();
}

void cuiSheet::SetRowTakesPart(int row, bool on) {
    if (row >= 0 && row < static_cast<int>(rowTakesPart_.size()))
        rowTakesPart_[static_cast<size_t>(row)] =
            on && layout_->GetStyle().multiSelect != cmcSheetLayout::NoMultiSelect;
}

bool cuiSheet::RowTakesPart(int row) const {
    return row >= 0 && row < static_cast<int>(rowTakesPart_.size()) &&
           rowTakesPart_[static_cast<size_t>(row)];
}

std::string cuiSheet::TitleText() {
    return layout_->GetStyle().title.value_or(std::string());
}

void cuiSheet::RefreshTitle() {
    if (!layout_->GetStyle().title) return;
    const QString text = QString::fromStdString(TitleText());
    if (title_->text() != text) title_->setText(text);
}

void cuiSheet::AppendRow() {
    layout_->AppendRepeatedRow();
    const int last = layout_->Rows() - 1;
    rowTakesPart_.push_back(false);
    SetRowTakesPart(last - 1, true);
    grid_->AppendRow(grid_->RowHeight(last - 1));
}

void cuiSheet::RemoveLastRow() {
    if (layout_->Rows() <= 1) return;
    layout_->RemoveLastRow();
    rowTakesPart_.pop_back();
    const int last = layout_->Rows() - 1;
    SetRowTakesPart(last, false);
    grid_->RemoveLastRow();
    if (row_ > last) {
        row_ = last;
        hasCurrent_ = CanSelect(column_, row_);
    }
    if (hasCurrent_) MoveCursor(0, -1, false);
}

// ---- Cells and the logic ----

cmcCellObj& cuiSheet::CellAt(int column, int row) {
    return layout_->Cell(column, row);
}

cmcSheetLayout& cuiSheet::Layout() {
    return *layout_;
}

cuiSheetPosition cuiSheet::Position() const {
    return {column_, row_, grid_->LeftColumn(), grid_->TopRow()};
}

void cuiSheet::FillCapsule(int column, int row, cmcCellCapsule& capsule) {
    capsule.Reset();
    capsule.owner = grid_;
    capsule.grid = grid_;
    capsule.sheet = this;
    capsule.cell = &layout_->Cell(column, row);
    const QRect rect = grid_->CellRect(column, row);
    capsule.cellRect = {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    capsule.parentCapsule = parentCapsule_.get();
    if (hasCurrent_ && column == column_ && row == row_)
        capsule.stateFlags |= cmcCellCapsule::CurrentCell;
    if (printing_) capsule.stateFlags |= cmcCellCapsule::Printing;
    capsule.sheetAddress = address_;
    capsule.sheetArgument = argument_;
    capsule.onRepaint = [this](cmcCellCapsule& changed, int mask) {
        if (changed.cell) RepaintByMask(*changed.cell, mask);
    };
    capsule.onStartEdit = [this](cmcCellCapsule& asking) {
        if (hasCurrent_ && asking.cell == &layout_->Cell(column_, row_))
            OpenEditor(column_, row_, asking.displayText, asking.editSelStart,
                       asking.editSelLength);
    };
    if (multiActive_ && !marked_.isEmpty()) {
        capsule.rangeFlags |= cmcCellCapsule::RangeActive;
        const int column0 = std::min(grid_->FixedColumns(), layout_->Columns() - 1);
        const int a = layout_->Cell(column0, anchorRow_ >= 0 ? anchorRow_ : row_).index;
        const int b = layout_->Cell(column0, row_).index;
        capsule.rangeLow = std::min(a, b);
        capsule.rangeHigh = std::max(a, b);
    }
}

cmcCellCapsule cuiSheet::QueryCell(int column, int row) {
    cmcCellCapsule capsule;
    FillCapsule(column, row, capsule);
    capsule.onRepaint = nullptr;
    capsule.onStartEdit = nullptr;
    if (capsule.cell->logicId != CL_None) cmcCellLogic::Run(context_, capsule, false);
    return capsule;
}

std::string cuiSheet::DisplayText(int column, int row) {
    const cmcCellObj& cell = layout_->Cell(column, row);
    if (cell.logicId == CL_None) return cell.templateText;
    return QueryCell(column, row).displayText;
}

void cuiSheet::RunOnCurrent(int key, int operation, const std::string* text) {
    if (!hasCurrent_) return;
    int column = column_, row = row_;
    cmcCellCapsule capsule;
    for (int repeat = 0;; ++repeat) {
        FillCapsule(column, row, capsule);
        capsule.keyCode = key;
        capsule.operation = operation;
        if (text && repeat == 0) {
            capsule.inputMode = cmcCellCapsule::TextEntered;
            capsule.keyCode = 0;
            capsule.inputText = *text;
        }
        if (pickList_ && parentCapsule_ && (key == cellKey::Enter || key == cellKey::Mouse)) {
            cmcCellCapsule choice = *parentCapsule_;
            choice.parentCapsule = &capsule;
            choice.inputMode = cmcCellCapsule::ListChoice;
            capsule.keyCode = 0;
            cmcCellLogic::Run(context_, choice, true);
            if (pickListDone_) pickListDone_();
            return;
        }
        const int action = cmcCellLogic::Run(context_, capsule, true);
        if (capsule.jumpRequest &&
            JumpToCell(capsule.jumpType, capsule.jumpLogic, capsule.jumpIndex)) {
            column = column_, row = row_;
        }
        if (action == cellAction::ClearSelection) MarkCells(QRect());
        if (action == cellAction::OpenEditor)
            OpenEditor(column, row, capsule.displayText, capsule.editSelStart,
                       capsule.editSelLength);
        if (!capsule.repeatKey) break;
        key = capsule.repeatKey;
        operation = 0;
        if (repeat < static_cast<int>(std::size(RepeatPausesMs))) {
            grid_->viewport()->repaint();
            QThread::msleep(RepeatPausesMs[repeat]);
        }
    }
    const bool multi = layout_->GetStyle().multiSelect != cmcSheetLayout::NoMultiSelect;
    // The selection stays while the editor is open: what is typed goes to every row of it.
    if (multi && (capsule.rangeFlags & cmcCellCapsule::RangeSelect))
        SelectRange(column, row, capsule.rangeLow, capsule.rangeHigh);
    else if (multiActive_ && !EditorOpen())
        MarkCells(QRect());
    RefreshPopupMenu();
    if (services_.events) services_.events->Send(ev::MenuRefresh);
    if (hasCurrent_) cuiAnnounceValue(grid_, column_, row_);
}

void cuiSheet::SelectRange(int column, int row, int low, int high) {
    const int logicId = layout_->Cell(column, row).logicId;
    const int acted = layout_->Cell(column, row).index;
    int first = -1, last = -1, anchor = row;
    for (int r = 0; r < layout_->Rows(); ++r) {
        const cmcCellObj& cell = layout_->Cell(column, r);
        if (cell.logicId != logicId || cell.index < low || cell.index > high) continue;
        if (first < 0) first = r;
        last = r;
        const int far = acted == low ? high : low;
        if (cell.index == far) anchor = r;
    }
    if (first < 0) return MarkCells(QRect());
    MarkCells(QRect(column, first, 1, last - first + 1));
    anchorColumn_ = column;
    anchorRow_ = anchor;
    multiActive_ = true;
}

void cuiSheet::RepaintByMask(const cmcCellObj& changed, int mask) {
    if (mask == 0) return;
    if (mask & 0x20) return grid_->UpdateAll();
    for (int row = 0; row < layout_->Rows(); ++row) {
        if (row >= grid_->FixedRows() && row < grid_->TopRow()) continue;
        const QRect rect = grid_->CellRect(0, row);
        if (rect.top() > grid_->viewport()->height()) break;
        for (int column = 0; column < layout_->Columns(); ++column)
            if (cmcCellCapsule::RepaintCovers(mask, changed, layout_->Cell(column, row)))
                grid_->UpdateCell(column, row);
    }
}

bool cuiSheet::JumpToCell(int cellType, int logicId, int index) {
    for (int row = 0; row < layout_->Rows(); ++row)
        for (int column = 0; column < layout_->Columns(); ++column) {
            const cmcCellObj& cell = layout_->Cell(column, row);
            if ((cellType == AnyCellType || cell.cellType == cellType) && cell.logicId == logicId &&
                cell.index == index && CanSelect(column, row))
                return MoveTo(column, row);
        }
    return false;
}

// ---- Cursor and selection ----

bool cuiSheet::CanSelect(int column, int row) const {
    if (column < 0 || row < 0 || column >= layout_->Columns() || row >= layout_->Rows())
        return false;
    if (!layout_->Cell(column, row).IsSelectable()) return false;
    if (grid_->ColumnWidth(column) == 0) return false;
    // While a multi-selection grows, only rows that take part in it can be reached.
    return !multiActive_ || !(extending_ || leftHeld_) || RowTakesPart(row);
}

bool cuiSheet::MoveTo(int column, int row, bool extend) {
    extending_ = extend;
    const bool allowed = CanSelect(column, row);
    extending_ = false;
    if (!allowed) return false;
    if (EditorOpen()) CommitEditor();
    BeforeCursorMove(column, row, extend);
    const bool rowChanged = !hasCurrent_ || row != row_;
    const bool cellChanged = rowChanged || column != column_;
    const int oldColumn = column_, oldRow = row_;
    column_ = column;
    row_ = row;
    rememberedColumn_ = column;
    rememberedRow_ = row;
    hasCurrent_ = true;
    if (services_.events) {
        // A marked cell says why in the status bar; any other clears it.
        services_.events->SendText(ev::StatusText, 0, 0,
                                   CellDescription(column, row).toStdString());
        if (cellChanged) {
            const cmcCellObj& cell = layout_->Cell(column, row);
            const std::array<int32_t, 3> data{cell.cellType, cell.logicId, cell.index};
            services_.events->PostData(ev::CurrentCellChanged, data.data(), sizeof data);
        }
    }
    if (rowChanged && !pickList_) {
        grid_->UpdateRow(oldRow);
        grid_->UpdateRow(row);
    } else {
        grid_->UpdateCell(oldColumn, oldRow);
        grid_->UpdateCell(column, row);
    }
    grid_->EnsureVisible(column, row);
    if (cellChanged && opened_) RefreshPopupMenu();
    if (cellChanged) cuiAnnounceFocus(grid_, column, row);
    return true;
}

void cuiSheet::BeforeCursorMove(int column, int row, bool extend) {
    const bool grows = (extend || leftHeld_) && hasCurrent_ && RowTakesPart(row_) &&
                       RowTakesPart(row) && anchorRow_ >= 0;
    if (grows) {
        MarkCells(QRect(QPoint(std::min(anchorColumn_, column), std::min(anchorRow_, row)),
                        QPoint(std::max(anchorColumn_, column), std::max(anchorRow_, row))));
        multiActive_ = true;
        return;
    }
    anchorColumn_ = column;
    anchorRow_ = row;
    if (multiActive_ || !marked_.isEmpty()) MarkCells(QRect());
    multiActive_ = false;
}

void cuiSheet::MarkCells(const QRect& cells) {
    if (marked_ == cells) return;
    marked_ = cells;
    if (cells.isEmpty()) multiActive_ = false;
    grid_->UpdateAll();
    cuiAnnounceSelection(grid_);
}

bool cuiSheet::IsMarked(int column, int row) const {
    return marked_.contains(column, row);
}

int cuiSheet::NearestSelectableInColumn(int column, int row) const {
    for (int distance = 0; distance < layout_->Rows(); ++distance) {
        if (CanSelect(column, row - distance)) return row - distance;
        if (CanSelect(column, row + distance)) return row + distance;
    }
    return -1;
}

int cuiSheet::NearestSelectableInRow(int row, int column) const {
    for (int distance = 0; distance < layout_->Columns(); ++distance) {
        if (CanSelect(column - distance, row)) return column - distance;
        if (CanSelect(column + distance, row)) return column + distance;
    }
    return -1;
}

// One step from (column, row) in the direction (dc, dr): straight on first, then the
// nearest selectable cell of each further column (row). With no direction: the first
// selectable cell in row-major order.
bool cuiSheet::StepCursor(int& column, int& row, int dc, int dr, bool wrap) const {
    if (dc == 0 && dr == 0) {
        for (int r = 0; r < layout_->Rows(); ++r)
            for (int c = 0; c < layout_->Columns(); ++c)
                if (CanSelect(c, r)) return column = c, row = r, true;
        return false;
    }
    for (int c = column + dc, r = row + dr;
         c >= 0 && r >= 0 && c < layout_->Columns() && r < layout_->Rows(); c += dc, r += dr)
        if (CanSelect(c, r)) return column = c, row = r, true;
    if (dc != 0) {
        for (int c = column + dc; c >= 0 && c < layout_->Columns(); c += dc)
            if (const int r = NearestSelectableInColumn(c, rememberedRow_); r >= 0)
                return column = c, row = r, true;
    } else {
        for (int r = row + dr; r >= 0 && r < layout_->Rows(); r += dr)
            if (const int c = NearestSelectableInRow(r, rememberedColumn_); c >= 0)
                return column = c, row = r, true;
    }
    if (!wrap) return false;
    // Round the edge: start again from just outside the opposite side.
    int c = dc > 0 ? -1 : dc < 0 ? layout_->Columns() : column;
    int r = dr > 0 ? -1 : dr < 0 ? layout_->Rows() : row;
    for (c += dc, r += dr; c >= 0 && r >= 0 && c < layout_->Columns() && r < layout_->Rows();
         c += dc, r += dr)
        if (CanSelect(c, r)) return column = c, row = r, true;
    return false;
}

void cuiSheet::MoveCursor(int columns, int rows, bool extend) {
    if (!hasCurrent_) return;
    if (columns != 0) rows = 0;
    const int steps = std::max(std::abs(columns), std::abs(rows));
    const int dc = columns > 0 ? 1 : columns < 0 ? -1 : 0;
    const int dr = rows > 0 ? 1 : rows < 0 ? -1 : 0;
    const bool wrap =
        pickList_ && steps == 1 && grid_->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
    int column = column_, row = row_;
    extending_ = extend;
    for (int step = 0; step < steps; ++step)
        if (!StepCursor(column, row, dc, dr, wrap)) break;
    extending_ = false;
    if (column == column_ && row == row_) return;
    MoveTo(column, row, extend);
    if (column <= firstSelectableColumn_) grid_->SetTopLeft(0, grid_->TopRow());
    if (row <= firstSelectableRow_) grid_->SetTopLeft(grid_->LeftColumn(), 0);
}

// Home and End go to the first and last cell of the row; with Ctrl to the first and last
// record of the list, the new row left out (unless the list has no record).
void cuiSheet::MoveFar(int columns, int rows, bool extend) {
    if (!hasCurrent_) return;
    int column = column_, row = row_;
    extending_ = extend;
    while (StepCursor(column, row, columns, rows, false)) {
    }
    if (rows > 0 && !RowTakesPart(row) && row > row_) {
        int above = row, c = column;
        if (StepCursor(c, above, 0, -1, false) && RowTakesPart(above) && above >= row_)
            row = above, column = c;
    }
    extending_ = false;
    if (column == column_ && row == row_) return;
    MoveTo(column, row, extend);
    if (column <= firstSelectableColumn_) grid_->SetTopLeft(0, grid_->TopRow());
    if (row <= firstSelectableRow_) grid_->SetTopLeft(grid_->LeftColumn(), 0);
}

// ---- Editor ----

bool cuiSheet::EditorOpen() const {
    return editor_->IsActive();
}

void cuiSheet::OpenEditor(int column, int row, const std::string& text, int selStart,
                          int selLength) {
    if (!CanSelect(column, row)) return;
    if (EditorOpen()) editor_->Stop();
    // On a cell of the selection the selection stays: what is committed goes to all of it.
    if (!IsCurrent(column, row) || !marked_.contains(column, row)) MarkCells(QRect());
    if (column != column_ || row != row_) MoveTo(column, row);
    const cmcCellObj& cell = layout_->Cell(column, row);
    const cmcCellFont* cellFont = FontOf(cell);
    const QFont font = cellFont ? cuiFont(*cellFont) : QApplication::font();
    QRect area = grid_->CellRect(column, row);
    const bool wrap = cell.HasLayout(cmcCellObj::Wrap);
    if (cell.inBlock) {
        area.setTop(grid_->CellRect(column, row - cell.rowsAbove).top());
        area.setBottom(grid_->CellRect(column, row + cell.rowsBelow).bottom());
    } else if (!wrap) {
        const int line = QFontMetrics(font).height() + 4;
        if (line < area.height()) {
            if (cell.AlignV() == 1) area.setTop(area.top() + (area.height() - line) / 2);
            if (cell.AlignV() == 2) area.setTop(area.bottom() + 1 - line);
            area.setHeight(line);
        }
    }
    editColumn_ = column;
    editRow_ = row;
    const QString shown = QString::fromStdString(text);
    const int start = CharacterOffset(text, selStart);
    const int end = CharacterOffset(text, selStart + selLength);
    editor_->setAccessibleName(ColumnHeading(column) + ", " + RowHeading(row));
    editor_->Start(shown, start, end - start, font, area.adjusted(1, 0, -1, -1), wrap);
}

void cuiSheet::CommitEditor() {
    if (!EditorOpen()) return;
    editor_->clearFocus();
    if (EditorOpen()) {
        // Still open when the focus did not move: commit by hand.
        const int column = editColumn_, row = editRow_;
        const std::string text = editor_->Text();
        editor_->Stop();
        editColumn_ = editRow_ = -1;
        if (IsCurrent(column, row) || MoveTo(column, row)) RunOnCurrent(0, 0, &text);
    }
}

void cuiSheet::CancelEditor() {
    editor_->Stop();
    editColumn_ = editRow_ = -1;
    grid_->setFocus(Qt::OtherFocusReason);
}

// ---- What assistive technology reads ----

QString cuiSheet::GridName() {
    return QString::fromStdString(TitleText()).simplified();
}

// The heading rows over the column, a joined heading for the cells it spans, as one text.
QString cuiSheet::ColumnHeading(int column) {
    QStringList parts;
    for (int row = 0; row < grid_->FixedRows() && row < layout_->Rows(); ++row) {
        int first = column;
        while (first > 0 && layout_->Cell(first, row).HasLayout(cmcCellObj::Join))
            --first;
        const QString text = QString::fromStdString(DisplayText(first, row)).trimmed();
        if (!text.isEmpty() && !parts.contains(text)) parts.append(text);
    }
    return parts.join(QStringLiteral(", "));
}

QString cuiSheet::RowHeading(int row) {
    QStringList parts;
    for (int column = 0; column < grid_->FixedColumns(); ++column) {
        const QString text = QString::fromStdString(DisplayText(column, row)).trimmed();
        if (!text.isEmpty()) parts.append(text);
    }
    return parts.join(QLatin1Char(' '));
}

QString cuiSheet::CellText(int column, int row) {
    return QString::fromStdString(DisplayText(column, row)).trimmed();
}

QString cuiSheet::CellDescription(int column, int row) {
    if (layout_->Cell(column, row).logicId == CL_None || !services_.catalogue) return {};
    const cmcCellCapsule shown = QueryCell(column, row);
    if (!(shown.stateFlags & (cmcCellCapsule::ErrorMark | cmcCellCapsule::WarningMark))) return {};
    return QString::fromStdString(
        services_.catalogue->GetLine("GI_Access_Marks", shown.markReason));
}

unsigned cuiSheet::CellState(int column, int row) {
    unsigned state = CanSelect(column, row) ? gridCell::Selectable : 0;
    if (layout_->Cell(column, row).logicId != CL_None &&
        (QueryCell(column, row).stateFlags & cellText::Grey))
        state |= gridCell::Greyed;
    return state;
}

void cuiSheet::CellBlock(int column, int row, int& above, int& below) {
    above = below = 0;
    if (layout_->Cell(column, row).logicId == CL_None) return;
    QueryCell(column, row); // the logic tells the cell its block
    const cmcCellObj& cell = layout_->Cell(column, row);
    if (!cell.inBlock) return;
    above = std::min(cell.rowsAbove, row - grid_->FixedRows());
    below = std::min(cell.rowsBelow, grid_->Rows() - 1 - row);
}

bool cuiSheet::CurrentCell(int& column, int& row) {
    if (!hasCurrent_) return false;
    column = column_, row = row_;
    return true;
}

// ---- Popup menu ----

void cuiSheet::RefreshPopupMenu() {
    if (!hasCurrent_ || pickList_) return;
    const std::string name = layout_->Cell(column_, row_).EffectivePopupMenu();
    if (!menu_ || menu_->Name() != name) {
        if (menu_) {
            for (QAction* action : menu_->Commands())
                grid_->removeAction(action);
            if (services_.events) services_.events->Send(ev::MenuClearItems, 0, CL_Menu_Edit_Top);
        }
        menu_.reset();
        if (name.empty()) return;
        menu_ = std::make_unique<cuiMenu>(
            *popup_, *services_.catalogue, name,
            [this](const cmcCellObj& item) { RunPopupItem(item); },
            [this]() -> cmcCellCapsule* {
                if (!hasCurrent_) return nullptr;
                menuCapsule_ = std::make_unique<cmcCellCapsule>();
                FillCapsule(column_, row_, *menuCapsule_);
                return menuCapsule_.get();
            });
        // The items also stand in the Edit menu, under Undo and Redo.
        menu_->SetAutomaticAccessKeys(QStringLiteral("UR"));
        menu_->Build();
        for (QAction* action : menu_->Commands()) {
            action->setShortcutContext(Qt::WidgetShortcut);
            grid_->addAction(action);
        }
        if (services_.events)
            services_.events->SendText(ev::MenuBuildItems, cmcEvMan::Ref(popup_), CL_Menu_Edit_Top,
                                       name);
    }
    menu_->RefreshStates();
}

void cuiSheet::RunPopupItem(const cmcCellObj& item) {
    if (EditorOpen()) CommitEditor();
    RunOnCurrent(0, item.logicId);
}

void cuiSheet::ShowPopupMenu(const QPoint& globalPosition) {
    RefreshPopupMenu();
    if (menu_ && !popup_->isEmpty()) popup_->popup(globalPosition);
}

// ---- Drawing ----

bool cuiSheet::CountsSelected(int column, int row) {
    if (IsMarked(column, row)) return true;
    if (!hasCurrent_ || row != row_) return false;
    if (column == column_) return true;
    if (!layout_->Cell(column, row).HasStyle(cmcCellObj::Trailing)) return false;
    for (int c = column - 1; c >= 0; --c) {
        const cmcCellObj& left = layout_->Cell(c, row);
        if (left.IsSelectable()) return c == column_;
        if (!left.HasStyle(cmcCellObj::Trailing)) return false;
    }
    return false;
}

cuiCellPaint::Background cuiSheet::BackgroundOf(int column, int row, bool selected) const {
    const bool fixed = column < grid_->FixedColumns() || row < grid_->FixedRows();
    if (selected && !EditorOpen()) {
        if (grid_->hasFocus() || pickList_ || popup_->isVisible()) return cuiCellPaint::Highlight;
        return cuiCellPaint::Unfocused;
    }
    if (fixed || pickList_ || !layout_->GetStyle().colorSelectLine) return cuiCellPaint::Own;
    const bool lineMode = layout_->GetStyle().multiSelect == cmcSheetLayout::LineSelect;
    if (hasCurrent_ && row == row_) return cuiCellPaint::CurrentLine;
    if (lineMode && !marked_.isEmpty() && row >= marked_.top() && row <= marked_.bottom())
        return cuiCellPaint::CurrentLine;
    return cuiCellPaint::Own;
}

void cuiSheet::PaintCell(QPainter& painter, int column, int row, const QRect& rect) {
    if (building_ || column >= layout_->Columns() || row >= layout_->Rows()) return;
    // A joined cell draws the cell it joins across the whole run of joined columns.
    int first = column;
    while (first > 0 && layout_->Cell(first, row).HasLayout(cmcCellObj::Join))
        --first;
    int last = column;
    while (last + 1 < layout_->Columns() &&
           layout_->Cell(last + 1, row).HasLayout(cmcCellObj::Join))
        ++last;
    const QRect firstRect = grid_->CellRect(first, row);
    const QRect lastRect = grid_->CellRect(last, row);
    QRect whole(rect.left() - (first < column ? rect.left() - firstRect.left() : 0), rect.top(), 0,
                rect.height());
    whole.setRight(rect.right() + (last > column ? lastRect.right() - rect.right() : 0));
    // A run of scrolled columns partly out of view shows its text in the part in view; its
    // rule stays at its real end.
    bool ends = true;
    if (first >= grid_->FixedColumns() && first != last) {
        const int right = grid_->viewport()->width() - 1;
        whole.setLeft(std::max(whole.left(), grid_->FixedWidth()));
        ends = whole.right() <= right;
        whole.setRight(std::min(whole.right(), right));
    }
    DrawCell(painter, first, row, whole, rect, ends);
}

void cuiSheet::PrintCell(QPainter& painter, int column, int row, const QRect& rect) {
    if (column >= layout_->Columns() || row >= layout_->Rows()) return;
    QRect whole = rect;
    int first = column;
    while (first > 0 && layout_->Cell(first, row).HasLayout(cmcCellObj::Join))
        whole.setLeft(whole.left() - grid_->ColumnWidth(--first));
    for (int next = column + 1;
         next < layout_->Columns() && layout_->Cell(next, row).HasLayout(cmcCellObj::Join); ++next)
        whole.setRight(whole.right() + grid_->ColumnWidth(next));
    DrawCell(painter, first, row, whole, rect);
}

// Draws the cell at (first, row) across the whole of its joined run, within clip.
void cuiSheet::DrawCell(QPainter& painter, int first, int row, const QRect& whole,
                        const QRect& clip, bool rightRule) {
    cuiCellPaint paint;
    paint.cell = &layout_->Cell(first, row);
    paint.font = FontOf(*paint.cell);
    paint.rect = whole;
    paint.rightRule = rightRule;
    paint.printing = printing_;
    const bool selected = !printing_ && CountsSelected(first, row);
    paint.background = BackgroundOf(first, row, selected);
    if (paint.cell->logicId != CL_None) {
        const cmcCellCapsule shown = QueryCell(first, row);
        paint.text = QString::fromStdString(shown.displayText);
        paint.logicFlags = shown.stateFlags;
        paint.markPosition = shown.markPosition;
    } else {
        paint.text = QString::fromStdString(paint.cell->templateText);
    }
    AdjustPaint(first, row, paint);
    painter.save();
    painter.setClipRect(clip);
    cuiDrawCell(painter, paint, shading_);
    painter.restore();
}

void cuiSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        shading_ = cuiShading(palette());
        grid_->UpdateAll();
    }
}

// ---- Keys and mouse ----

void cuiSheet::GridKeyPress(QKeyEvent* event) {
    if (services_.events) services_.events->SendText(ev::StatusText, 0, 0, std::string());
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && !pickList_) {
        RunOnCurrent(0, CL_PMenu_Help); // the cell's help topic, as its popup menu's Help
        return;
    }
    const bool popupKey = event->key() == Qt::Key_Menu ||
                          (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (popupKey && !pickList_) {
        if (hasCurrent_) {
            grid_->EnsureVisible(column_, row_);
            const QRect cell = grid_->CellRect(column_, row_);
            ShowPopupMenu(grid_->viewport()->mapToGlobal(cell.bottomLeft()));
        }
        return;
    }
    const cuiKey key = cuiTranslateKey(*event);
    switch (key.kind) {
    case cuiKey::Ignore:
    case cuiKey::Shortcut:
        event->ignore();
        return;
    case cuiKey::Move:
        MoveCursor(key.columns, key.rows, key.extend);
        return;
    case cuiKey::Far:
        MoveFar(key.columns, key.rows, key.extend);
        return;
    case cuiKey::EdgeMove: {
        const int column = column_, row = row_;
        MoveCursor(key.columns, 0, key.extend);
        if (hasCurrent_ && column == column_ && row == row_) RunOnCurrent(key.code);
        return;
    }
    case cuiKey::LogicKey:
        RunOnCurrent(key.code);
        return;
    case cuiKey::TypedText:
        // Text beyond the logic's key codes (accented letters, kana) opens the editor on
        // the cell as F2 does, and goes into it.
        RunOnCurrent(cuiFunctionKey(2));
        if (EditorOpen()) editor_->insertPlainText(key.text);
        return;
    }
}

void cuiSheet::GridMousePress(QMouseEvent* event, int column, int row) {
    if (mouseBlocked_) return GridMouseRelease(event, column, row);
    if (EditorOpen()) CommitEditor();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->button() == Qt::RightButton) {
        if (column >= 0 && (CanSelect(column, row) || multiActive_)) {
            if (!multiActive_) MoveTo(column, row);
            ShowPopupMenu(event->globalPosition().toPoint());
        }
        return;
    }
    if (event->button() != Qt::LeftButton || column < 0) return;
    MoveTo(column, row, shift);
    leftHeld_ = true;
}

void cuiSheet::GridMouseMove(QMouseEvent* event, int column, int row) {
    if (column < 0 || row < 0) return;
    if (pickList_ && !EditorOpen()) {
        if (column != column_ || row != row_) MoveTo(column, row);
        return;
    }
    if (leftHeld_ && (event->buttons() & Qt::LeftButton) && (column != column_ || row != row_))
        MoveTo(column, row, true);
}

void cuiSheet::GridMouseRelease(QMouseEvent* event, int column, int row) {
    const bool wasHeld = leftHeld_;
    leftHeld_ = false;
    if (pickList_ && event->button() == Qt::LeftButton && wasHeld && column >= 0 &&
        CanSelect(column, row))
        ChooseInPickList(column, row);
}

void cuiSheet::ChooseInPickList(int column, int row) {
    MoveTo(column, row);
    RunOnCurrent(cellKey::Mouse);
}

void cuiSheet::GridDoubleClick(QMouseEvent* event, int column, int row) {
    const QPoint point = event->position().toPoint();
    if (layout_->GetStyle().colSizing && row >= 0 && row < grid_->FixedRows()) {
        bool next = false;
        const int edge = grid_->ColumnEdgeAt(point.x(), next);
        if (edge >= 0) {
            // Right of an edge fits the column to its left; a fixed column is never fitted.
            if (edge >= grid_->FixedColumns()) AutoFit(edge);
            return;
        }
    }
    if (column < 0 || row < 0) return;
    // A double click on a column's heading (away from its edges) asks how to sort the list
    // by that column: the cursor goes to the column, and Edit > Sort... offers it first.
    if (row < grid_->FixedRows() && hasCurrent_ && !pickList_) {
        if (column != column_ && (!CanSelect(column, row_) || !MoveTo(column, row_))) return;
        RunOnCurrent(0, CL_PMenu_Sort);
        return;
    }
    int target = column;
    while (target > 0 && layout_->Cell(target, row).HasStyle(cmcCellObj::Trailing) &&
           !layout_->Cell(target, row).IsSelectable())
        --target;
    if (!CanSelect(target, row)) return;
    if (target != column_ || row != row_) MoveTo(target, row);
    RunOnCurrent(cellKey::Mouse);
}

void cuiSheet::GridFocusChanged(bool) {
    if (hasCurrent_) grid_->UpdateRow(row_);
    if (!marked_.isEmpty()) grid_->UpdateAll();
}

// ---- Column widths ----

int cuiSheet::ColumnLimit() const {
    int fixed = 0;
    for (int c = 0; c < grid_->FixedColumns(); ++c)
        fixed += grid_->ColumnWidth(c);
    return std::max(MinimumColumnWidth,
                    std::min(MaximumColumnWidth, grid_->viewport()->width() - fixed));
}

// The columns the user works in: those with a selectable cell.
bool cuiSheet::StoredColumn(int column) {
    for (int row = grid_->FixedRows(); row < layout_->Rows(); ++row)
        if (layout_->Cell(column, row).IsSelectable()) return true;
    return false;
}

void cuiSheet::ClampWidths(int maximum) {
    for (int column = 0; column < layout_->Columns(); ++column) {
        if (!StoredColumn(column) || grid_->ColumnWidth(column) == 0) continue;
        grid_->SetColumnWidth(column,
                              std::clamp(grid_->ColumnWidth(column), MinimumColumnWidth, maximum));
    }
}

void cuiSheet::GridColumnResized(int) {
    ClampWidths(ColumnLimit());
    SaveWidths();
}

int cuiSheet::FitWidth(int column) {
    int width = 0;
    for (int row = 0; row < layout_->Rows(); ++row) {
        const cmcCellObj& cell = layout_->Cell(column, row);
        std::string text;
        if (row < grid_->FixedRows()) {
            const bool joinedOnRight = column + 1 < layout_->Columns() &&
                                       layout_->Cell(column + 1, row).HasLayout(cmcCellObj::Join);
            if (joinedOnRight) continue;
            text = cell.templateText;
        } else {
            text = DisplayText(column, row);
        }
        const cmcCellFont* font = FontOf(cell);
        width =
            std::max(width, TextSize(font ? cuiFont(*font) : QApplication::font(), text).width());
    }
    return width + 8;
}

void cuiSheet::AutoFit(int column) {
    if (grid_->ColumnWidth(column) == 0) return;
    grid_->SetColumnWidth(column, FitWidth(column));
    GridColumnResized(column);
}

// The sheets whose column widths are kept: pairs of a layout name and its short name.
std::vector<std::pair<std::string, std::string>> cuiSheet::RegisteredSheets() const {
    std::vector<std::pair<std::string, std::string>> sheets;
    if (!services_.catalogue->HasKey("GI_CellWidthRegList")) return sheets;
    for (int n = 0;; ++n) {
        const std::string line = services_.catalogue->GetLine("GI_CellWidthRegList", n);
        if (!line.empty() && line.front() == '#') break;
        const size_t colon = line.find(':');
        if (colon != std::string::npos)
            sheets.emplace_back(line.substr(0, colon), line.substr(colon + 1));
    }
    return sheets;
}

std::string cuiSheet::ShortName() const {
    for (const auto& [layout, shortName] : RegisteredSheets())
        if (layout == layoutName_) return shortName;
    return {};
}

void cuiSheet::LoadWidths() {
    const std::string name = ShortName();
    if (!services_.settings || name.empty()) return;
    const std::string key = "Display/" + name + "/colwidth";
    // Widths fit the font size they were set in; in another size the layout's own widths
    // serve. Widths stored without a size are taken as they are.
    const int fontSize = services_.settings->ReadInteger(SettingsScope::User, key, WidthsFontSize);
    if (fontSize >= 0 && fontSize != services_.fontSizePercentage) return;
    for (int column = 0; column < layout_->Columns(); ++column) {
        if (!StoredColumn(column) || grid_->ColumnWidth(column) == 0) continue;
        const int width =
            services_.settings->ReadInteger(SettingsScope::User, key, std::to_string(column));
        if (width >= 0) grid_->SetColumnWidth(column, std::min(width, MaximumColumnWidth * 4));
    }
}

void cuiSheet::SaveWidths() {
    const std::string name = ShortName();
    if (!services_.settings || name.empty()) return;
    const std::string key = "Display/" + name + "/colwidth";
    for (int column = 0; column < layout_->Columns(); ++column) {
        if (!StoredColumn(column) || grid_->ColumnWidth(column) == 0) continue;
        services_.settings->WriteInteger(SettingsScope::User, key, std::to_string(column),
                                         grid_->ColumnWidth(column));
    }
    services_.settings->WriteInteger(SettingsScope::User, key, WidthsFontSize,
                                     services_.fontSizePercentage);
}

void cuiSheet::ResetStoredWidths() {
    if (!services_.settings) return;
    for (const auto& sheet : RegisteredSheets())
        services_.settings->DeleteKey(SettingsScope::User, "Display/" + sheet.second, "colwidth");
}

// ---- Geometry ----

QSize cuiSheet::PreferredSize() const {
    int height = grid_->TotalHeight() + 2 * gridPanel_->frameWidth();
    if (titleBar_->isVisibleTo(this)) height += titleBar_->height();
    int width = grid_->TotalWidth() + 2 * gridPanel_->frameWidth();
    if (grid_->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        width += grid_->verticalScrollBar()->sizeHint().width();
    return QSize(width, height);
}

// ---- Events ----

void cuiSheet::OnEvent(void* context, const cmcEvent& event) {
    static_cast<cuiSheet*>(context)->HandleEvent(event);
}

void cuiSheet::HandleEvent(const cmcEvent& event) {
    if (building_) return;
    // Repaint requests: the event's argument names a cell type, a logic id or an index.
    static constexpr struct {
        int code;
        int mask;
    } Repaints[] = {{ev::RepaintCellType, 0x02},
                    {ev::RepaintCellLogic, 0x04},
                    {ev::RepaintIndex, 0x08},
                    {ev::RepaintMask128, 0x80},
                    {ev::RepaintMask64, 0x40}};
    for (const auto& request : Repaints) {
        if (event.code != request.code) continue;
        cmcCellObj probe;
        probe.cellType = event.code == ev::RepaintCellType ? event.b : CT_Null;
        if (event.code == ev::RepaintCellLogic) probe.logicId = event.b;
        if (request.mask >= 0x08) probe.index = event.b;
        return RepaintByMask(probe, request.mask);
    }
    switch (event.code) {
    case ev::RepaintAll:
        grid_->UpdateAll();
        break;
    case ev::ModalQuestion:
        mouseBlocked_ = event.b != 0;
        leftHeld_ = false;
        break;
    case ev::CommitInput:
        CommitEditor();
        break;
    default:
        break;
    }
}

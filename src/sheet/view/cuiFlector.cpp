#include "sheet/view/cuiFlector.h"

#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QPointer<cuiFlector>& OpenList() {
    static QPointer<cuiFlector> list;
    return list;
}
} // namespace

cuiFlector* cuiFlector::Open(cmcCellCapsule& opener, const std::string& sheetName) {
    auto* sheet = static_cast<cuiSheet*>(opener.sheet);
    if (!sheet) return nullptr;
    if (OpenList()) OpenList()->close();
    auto* list = new cuiFlector(sheet->Services(), opener, sheetName, sheet);
    OpenList() = list;
    const QRect cell(
        sheet->Grid().viewport()->mapToGlobal(QPoint(opener.cellRect.left, opener.cellRect.top)),
        QSize(opener.cellRect.right - opener.cellRect.left,
              opener.cellRect.bottom - opener.cellRect.top));
    list->Place(cell);
    list->show();
    list->sheet_->Grid().setFocus(Qt::PopupFocusReason);
    return list;
}

cuiFlector* cuiFlector::Current() {
    return OpenList();
}

cuiFlector::cuiFlector(const cuiSheetServices& services, cmcCellCapsule& opener,
                       const std::string& sheetName, QWidget* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint), services_(services),
      openerGrid_(opener.grid) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(owner->window()->windowTitle());
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    sheet_ = std::make_unique<cuiSheet>(services_, sheetName, this);
    sheet_->SetAddress(sheetName);
    sheet_->SetParentCapsule(opener);
    sheet_->SetPickListMode(true);
    sheet_->SetOnPickListDone([this] { close(); });
    box->addWidget(sheet_.get());
    sheet_->Open();
    SelectCurrentValue(opener);
    if (services_.events) services_.events->Subscribe(&cuiFlector::OnEvent, this);
}

cuiFlector::~cuiFlector() {
    if (services_.events) services_.events->Unsubscribe(&cuiFlector::OnEvent, this);
}

// The list opens on the value the cell holds now, when it is one of the items.
void cuiFlector::SelectCurrentValue(cmcCellCapsule& opener) {
    if (!opener.cell) return;
    cmcCellObj cell = *opener.cell;
    const std::string current = cmcCellLogic::QueryDisplayText(cell, 0);
    cmcSheetLayout& layout = sheet_->Layout();
    for (int row = 0; row < layout.Rows(); ++row)
        for (int column = 0; column < layout.Columns(); ++column)
            if (layout.Cell(column, row).IsSelectable() &&
                layout.Cell(column, row).templateText == current) {
                sheet_->MoveTo(column, row);
                return;
            }
}

QRect cuiFlector::Placement(const QRect& cell, const QSize& size, const QRect& area) {
    QRect placed(QPoint(cell.left() + 8, cell.bottom() + 1), size);
    if (placed.right() > area.right()) placed.moveLeft(area.right() - size.width() + 1);
    if (placed.bottom() > area.bottom()) {
        if (cell.top() - size.height() >= area.top()) {
            placed.moveTop(cell.top() - size.height());
        } else {
            placed.moveBottom(area.bottom());
            if (cell.left() - size.width() >= area.left()) placed.moveRight(cell.left() - 1);
        }
    }
    if (placed.left() < area.left()) placed.moveLeft(area.left());
    return placed;
}

void cuiFlector::Place(const QRect& cellOnScreen) {
    QScreen* screen = QGuiApplication::screenAt(cellOnScreen.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int frame = 2 * frameWidth();
    QSize size = sheet_->PreferredSize() + QSize(frame, frame);
    if (size.width() > area.width() || size.height() > area.height()) {
        sheet_->Grid().SetScrollBarsShown(true);
        size = (sheet_->PreferredSize() + QSize(frame, frame)).boundedTo(area.size());
    }
    setGeometry(Placement(cellOnScreen, size, area));
}

void cuiFlector::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void cuiFlector::OnEvent(void* context, const cmcEvent& event) {
    auto* list = static_cast<cuiFlector*>(context);
    const bool openerGone =
        event.code == ev::CloseOwnedWindows && event.As<void>() == list->openerGrid_;
    if (openerGone || event.code == ev::CommitInput) list->close();
}

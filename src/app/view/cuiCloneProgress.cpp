#include "app/view/cuiCloneProgress.h"

#include "app/view/cuiPlacement.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>

cuiCloneProgressBox::cuiCloneProgressBox(QWidget* parent) : QWidget(parent) {
    setFixedSize(indCloneProgressView::Cells * CellWidth, BoxHeight);
}

void cuiCloneProgressBox::SetFilled(int filled) {
    if (filled == filled_) return;
    filled_ = filled;
    update();
}

void cuiCloneProgressBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Base);
    const QColor highlight = palette().color(QPalette::Highlight);
    const int w = width() / indCloneProgressView::Cells;
    painter.fillRect(rect(), window);
    for (int i = 0; i < indCloneProgressView::Cells; ++i) {
        // Each cell leaves its last pixel column empty, a gap before the next.
        if (i < filled_ && w > 1) painter.fillRect(w * i, 0, w - 1, height(), highlight);
    }
}

cuiCloneProgress::cuiCloneProgress(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainWindow_(mainWindow) {
    setWindowTitle("Cloning");
    setAttribute(Qt::WA_DeleteOnClose, false);
    panel_ = new QFrame(this);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(1);
    box_ = new cuiCloneProgressBox(panel_);
    box_->move(1, 1);
    panel_->setFixedSize(box_->width() + 2, box_->height() + 2);
    panel_->move(16, 8);
    setFixedSize(panel_->width() + 32, panel_->height() + 32);
    PlaceOver(mainWindow);
    show();
    if (mainWindow_) mainWindow_->setEnabled(false);
}

cuiCloneProgress::~cuiCloneProgress() {
    hide();
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void cuiCloneProgress::ShowProgress(int filled) {
    box_->SetFilled(filled);
    box_->repaint();
}

void cuiCloneProgress::PlaceOver(QWidget* mainWindow) {
    cuiPlaceOver(*this, mainWindow);
}

void cuiCloneProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void cuiCloneProgress::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

indCloneProgressFactory cuiCloneProgress::Factory(QWidget* mainWindow) {
    return [mainWindow]() -> std::unique_ptr<indCloneProgressView> {
        return std::make_unique<cuiCloneProgress>(mainWindow);
    };
}

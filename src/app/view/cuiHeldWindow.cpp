#include "app/view/cuiHeldWindow.h"

#include "app/view/cuiAccessible.h"
#include "app/view/cuiPlacement.h"

#include <QKeyEvent>
#include <QPushButton>

cuiHeldWindow::cuiHeldWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      owner_(owner) {
    cuiReadAsDialog(this);
    setAttribute(Qt::WA_DeleteOnClose);
}

cuiHeldWindow::~cuiHeldWindow() {
    if (!owner_) return;
    owner_->setEnabled(true);
    owner_->activateWindow();
}

void cuiHeldWindow::Open() {
    cuiPlaceOver(*this, owner_);
    // Disabling the owner disables its child windows too; this one stays usable.
    if (owner_) owner_->setEnabled(false);
    setEnabled(true);
    show();
    raise();
    activateWindow();
    if (closeButton_) closeButton_->setFocus(Qt::OtherFocusReason);
}

void cuiHeldWindow::SetCloseButton(QPushButton* button) {
    closeButton_ = button;
    button->setDefault(true);
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, &QWidget::close);
}

void cuiHeldWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    // Enter presses the default button even where the focus rests on the window itself.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && closeButton_) {
        closeButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

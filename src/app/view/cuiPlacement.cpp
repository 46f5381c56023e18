#include "app/view/cuiPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void cuiPlaceOver(QWidget& window, const QWidget* owner) {
    QRect frame(QPoint(0, 0), window.size());
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (owner && owner->isVisible())
        frame.moveCenter(owner->frameGeometry().center());
    else if (screen)
        frame.moveCenter(screen->availableGeometry().center());
    if (screen) {
        const QRect work = screen->availableGeometry();
        if (frame.right() > work.right()) frame.moveRight(work.right());
        if (frame.bottom() > work.bottom()) frame.moveBottom(work.bottom());
        if (frame.left() < work.left()) frame.moveLeft(work.left());
        if (frame.top() < work.top()) frame.moveTop(work.top());
    }
    window.move(frame.topLeft());
}

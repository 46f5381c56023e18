#include "app/view/cuiPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

QPoint cuiPlaceNearPointer(const QPoint& pointer, const QSize& size, const QRect& workArea) {
    const int px = pointer.x(), py = pointer.y(), w = size.width(), h = size.height();
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    int x = std::max(px - w / 2, 0);
    int y = py;
    if (y + h > bottom) y = h < py - workArea.y() && py < bottom ? py - h : bottom - h;
    if (x + w > right) x = right - w;
    return {x, y};
}

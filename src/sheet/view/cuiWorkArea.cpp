#include "sheet/view/cuiWorkArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void cuiFitInWorkArea(QWidget& window) {
    if (window.isMaximized() || window.isFullScreen()) return;
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (work.contains(frame)) return;
    const QSize extra = frame.size() - window.size(); // the title bar and the frame
    window.resize(window.size().boundedTo(work.size() - extra).expandedTo(window.minimumSize()));
    QRect placed(frame.topLeft(), window.size() + extra);
    if (placed.right() > work.right()) placed.moveRight(work.right());
    if (placed.bottom() > work.bottom()) placed.moveBottom(work.bottom());
    if (placed.left() < work.left()) placed.moveLeft(work.left());
    if (placed.top() < work.top()) placed.moveTop(work.top());
    window.move(placed.topLeft());
}

#pragma once

// Where a dialog of the main window appears.

class QPoint;
class QRect;
class QSize;
class QWidget;

// Centres the window over its owner (or on the screen without one), then moves it, where
// needed, so that its right and bottom edges and then its left and top edges lie inside
// the desktop work area.
void cuiPlaceOver(QWidget& window, const QWidget* owner);

// Where a window that belongs to the pointer goes (a help topic): centred under the pointer
// (never left of 0), opening above the pointer when it would run below the work area and
// there is room above, else pulled up to the bottom; moved left when it would run past the
// right edge. The work area's right and bottom edges lie just outside it.
QPoint cuiPlaceNearPointer(const QPoint& pointer, const QSize& size, const QRect& workArea);

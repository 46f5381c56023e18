#pragma once

// Where a dialog of the main window appears.

class QWidget;

// Centres the window over its owner (or on the screen without one), then moves it, where
// needed, so that its right and bottom edges and then its left and top edges lie inside
// the desktop work area.
void cuiPlaceOver(QWidget& window, const QWidget* owner);

#pragma once

// Keeps a shown window, frame and title bar included, on its screen's work area.

class QWidget;

// Shrinks the window where it is larger than the work area (never below its minimum
// size) and moves it on where it reaches past an edge. A maximised or full-screen window
// is left as it is.
void cuiFitInWorkArea(QWidget& window);

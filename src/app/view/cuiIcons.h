#pragma once

// The program's own icons, compiled in from data/icons. The tree and the toolbar address
// them by the image indexes of the catalogue:
//   tree:    0 receiver, 1 folder, 2 sheet, 3 second sheet, 4 warning mark, 5 error mark
//   toolbar: 0 new, 1 open, 2 save, 3-6 ports 1-4, 7 clone read, 8 clone write,
//            9 clone information, 10 pen, 11 box fill, 12 slider,
//            13-17 page top, previous, next, last, zoom
// An index outside a list gives a null icon.

#include <QIcon>

inline constexpr int cuiTreeIconCount = 6;
inline constexpr int cuiToolBarIconCount = 18;

// Tree indexes of the two marks drawn over a node's own icon.
inline constexpr int cuiTreeIconWarning = 4;
inline constexpr int cuiTreeIconError = 5;

QIcon cuiTreeIcon(int index);
QIcon cuiToolBarIcon(int index);
QIcon cuiApplicationIcon();

// The base icon with the overlay painted on top, at whatever size and mode it is drawn
// (the marks sit in the bottom-right quarter, so the base shows through elsewhere).
QIcon cuiWithOverlay(const QIcon& base, const QIcon& overlay);

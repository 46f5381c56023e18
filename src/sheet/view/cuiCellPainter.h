#pragma once

// Drawing one cell on any painter: the screen grid, the printer and the preview bitmap all
// come here, so a cell looks the same wherever it is drawn. The caller decides what the
// cell shows (its text and the logic's marks) and how it stands in the grid (selected,
// current line, joined); this file turns that into pixels.

#include "sheet/cmcCellObj.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// The shading colours of a grid, taken from the palette (and taken again when it changes):
// the current line and an unfocused selection are blends of the window and its text.
struct cuiShading {
    QPalette palette;
    QColor currentLine;
    QColor unfocusedSelection;

    explicit cuiShading(const QPalette& source);
};

// One cell at one moment.
struct cuiCellPaint {
    enum Background { Own, CurrentLine, Highlight, Unfocused };

    const cmcCellObj* cell = nullptr;
    const cmcCellFont* font = nullptr; // the effective font; none: the painter's font
    QRect rect;
    QString text;
    unsigned logicFlags = 0; // the capsule's state bits: marks and text colour
    int markPosition = 0;
    Background background = Own;
    bool bottomRule = true; // false inside a name block
    bool rightRule = true;  // false when the right neighbour joins this cell
    bool printing = false;
    double scale = 1.0;
};

// A colour value of the layout language (fixed 0x00BBGGRR, or system colour 0xFF0000nn).
QColor cuiColor(unsigned value, const QPalette& palette);
// The real font of a cell font at a scale; a Windows face name or none means the system's
// user-interface face, so that Japanese text finds its glyphs.
QFont cuiFont(const cmcCellFont& font, double scale = 1.0);
// A line's height and a text's width in a font, from caches shared by every sheet.
int cuiLineHeight(const QFont& font);
int cuiTextWidth(const QString& text, const QFont& font);
// The size of a text of one or more lines.
QSize cuiTextSize(const QString& text, const QFont& font);
// The text broken so that no line is wider than maxWidth: between words where it can (and
// between the characters of Japanese text), a word longer than a line at any character.
QString cuiWrapText(const QString& text, const QFont& font, int maxWidth);

void cuiDrawCell(QPainter& painter, const cuiCellPaint& paint, const cuiShading& shading);

// The contrast a text needs on its background to be read with ease (1 to 21).
constexpr double ReadableContrast = 4.5;
double cuiContrast(const QColor& a, const QColor& b);
// The colour of greyed values (those that do not apply) on a background: the palette's
// disabled text, darkened or lightened until it reaches the readable contrast.
QColor cuiGreyText(const QPalette& palette, const QColor& background);

// The warning (exclamation in a triangle) and error (cross) marks in a square.
void cuiDrawMark(QPainter& painter, const QRect& square, bool error, bool printing);

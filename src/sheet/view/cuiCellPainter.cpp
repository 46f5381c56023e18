#include "sheet/view/cuiCellPainter.h"

#include "model/indCellLogic.h"
#include "sheet/cmcCellCapsule.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPolygonF>
#include <QStaticText>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned SystemColorBit = 0xFF000000u;
constexpr unsigned White = 0x00FFFFFFu;
const QColor PrintedShade(0x60, 0x60, 0x60);
const QColor ScreenRule(0x80, 0x80, 0x80);
const QColor TealText(0, 128, 128);

// System colour numbers and the palette roles that play them here.
struct clsSystemColor {
    unsigned number;
    QPalette::ColorRole role;
    QPalette::ColorGroup group = QPalette::Active;
};
constexpr clsSystemColor SystemColors[] = {
    {1, QPalette::Window},
    {2, QPalette::Highlight},
    {3, QPalette::Mid},
    {4, QPalette::Window},
    {5, QPalette::Base},
    {6, QPalette::Shadow},
    {7, QPalette::WindowText},
    {8, QPalette::Text},
    {9, QPalette::HighlightedText},
    {10, QPalette::Mid},
    {11, QPalette::Midlight},
    {12, QPalette::Dark},
    {13, QPalette::Highlight},
    {14, QPalette::HighlightedText},
    {15, QPalette::Button},
    {16, QPalette::Dark},
    {17, QPalette::Text, QPalette::Disabled},
    {18, QPalette::ButtonText},
    {19, QPalette::Mid},
    {20, QPalette::Light},
    {21, QPalette::Shadow},
    {22, QPalette::Midlight},
    {23, QPalette::ToolTipText},
    {24, QPalette::ToolTipBase},
};

QColor Blend(const QColor& a, int weightA, const QColor& b, int weightB) {
    const int total = weightA + weightB;
    const auto mix = [&](int x, int y) { return (x * weightA + y * weightB + total / 2) / total; };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

bool IsWhite(unsigned color) {
    return color == clWindow || color == White;
}

int Scaled(double scale, double pixels) {
    return static_cast<int>(std::lround(pixels * scale));
}

// Fonts and shaped texts are made once: a sheet draws the same few fonts and, mostly, the
// same short texts in every row. The caches start afresh when they grow large.
constexpr qsizetype CacheLimit = 20000;

int LineHeight(const QStaticText& shaped, const QFont& font) {
    // Glyphs from a fallback face (kana, kanji) can stand taller than the font's own lines.
    return std::max(cuiLineHeight(font), static_cast<int>(std::ceil(shaped.size().height())));
}

quint64 FontKey(const QFont& font) {
    return quint64(font.pixelSize()) << 8 | quint64(font.bold()) << 1 | quint64(font.italic()) |
           quint64(font.underline()) << 2 | quint64(font.strikeOut()) << 3 |
           quint64(font.family() == QLatin1String("monospace")) << 4;
}

const QStaticText& ShapedText(const QString& text, const QFont& font) {
    static QHash<QPair<quint64, QString>, QStaticText> cache;
    const QPair<quint64, QString> key(FontKey(font), text);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    if (cache.size() > CacheLimit) cache.clear();
    QStaticText shaped(text);
    shaped.setTextFormat(Qt::PlainText);
    shaped.setPerformanceHint(QStaticText::AggressiveCaching);
    shaped.prepare(QTransform(), font);
    return *cache.insert(key, shaped);
}

QColor Background(const cuiCellPaint& paint, const cuiShading& shading) {
    const unsigned own = paint.cell->color;
    if (paint.printing) return IsWhite(own) ? QColor(Qt::white) : PrintedShade;
    switch (paint.background) {
    case cuiCellPaint::CurrentLine:
        return shading.currentLine;
    case cuiCellPaint::Highlight:
        return shading.palette.color(QPalette::Active, QPalette::Highlight);
    case cuiCellPaint::Unfocused:
        return shading.unfocusedSelection;
    case cuiCellPaint::Own:
        break;
    }
    return cuiColor(own, shading.palette);
}

QColor TextColor(const cuiCellPaint& paint, const cuiShading& shading) {
    if (paint.printing) return IsWhite(paint.cell->color) ? QColor(Qt::black) : QColor(Qt::white);
    if (paint.logicFlags & cellText::Grey)
        return cuiGreyText(shading.palette, Background(paint, shading));
    if (paint.logicFlags & cellText::Teal) return TealText;
    const unsigned fontColor = paint.font ? paint.font->color : clWindowText;
    if (paint.background == cuiCellPaint::Highlight)
        return shading.palette.color(QPalette::Active, QPalette::HighlightedText);
    if (paint.background == cuiCellPaint::Unfocused) {
        const QColor plain = cuiColor(fontColor, shading.palette);
        if (fontColor == clBtnFace || fontColor == clGrayText || fontColor == 0x00C0C0C0u ||
            plain == shading.unfocusedSelection)
            return shading.palette.color(QPalette::Active, QPalette::Base);
        return plain;
    }
    return cuiColor(fontColor, shading.palette);
}

void DrawRules(QPainter& painter, const cuiCellPaint& paint) {
    const cmcCellObj& cell = *paint.cell;
    const QRect& r = paint.rect;
    const bool white = IsWhite(cell.color);
    const QColor rule = white ? (paint.printing ? QColor(Qt::black) : ScreenRule) : Qt::white;
    if (cell.HasStyle(cmcCellObj::BottomRule) && paint.bottomRule)
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), rule);
    if (!paint.rightRule) return;
    if (cell.RightRule() == 1) painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), rule);
    if (cell.RightRule() == 2) {
        const int top = r.top() + r.height() * 7 / 10;
        painter.fillRect(QRect(r.right(), top, 1, r.bottom() - top + 1), rule);
    }
}

// Draws the lines of the text in the rectangle by the cell's alignment; returns the right
// edge of the widest line drawn (for a mark that follows the text).
int DrawText(QPainter& painter, const cuiCellPaint& paint, const QFont& font) {
    const cmcCellObj& cell = *paint.cell;
    const QRect& r = paint.rect;
    QString text = paint.text;
    if (cell.HasLayout(cmcCellObj::Wrap)) text = cuiWrapText(text, font, r.width() * 9 / 10);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int textHeight = cuiTextSize(text, font).height();
    int top = r.top() + Scaled(paint.scale, 1);
    if (cell.AlignV() == 1) top = r.top() + (r.height() + 1 - textHeight) / 2;
    if (cell.AlignV() == 2) top = r.bottom() - textHeight - Scaled(paint.scale, 1);
    const int inset = Scaled(paint.scale, 4);
    int textRight = r.left() + inset;
    painter.save();
    // A joined cell's rectangle runs over its neighbours; the caller's clip keeps the
    // text to the part being drawn.
    painter.setClipRect(r, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setFont(font);
    for (const QString& line : lines) {
        const QStaticText& shaped = ShapedText(line, font);
        const int width = static_cast<int>(std::ceil(shaped.size().width()));
        int left = r.left() + inset;
        if (cell.AlignH() == 1) left = r.left() + (r.width() + 1 - width) / 2;
        if (cell.AlignH() == 2) left = std::max(r.left(), r.right() - width - inset);
        painter.drawStaticText(QPoint(left, top), shaped);
        textRight = std::max(textRight, left + width);
        top += LineHeight(shaped, font);
    }
    painter.restore();
    return textRight;
}

void DrawLogicMark(QPainter& painter, const cuiCellPaint& paint, int textRight) {
    const bool error = paint.logicFlags & cmcCellCapsule::ErrorMark;
    if (!error && !(paint.logicFlags & cmcCellCapsule::WarningMark)) return;
    const QRect& r = paint.rect;
    const int size = paint.printing ? std::max(4, r.height() / 2)
                                    : std::min(Scaled(paint.scale, 14), r.height() - 2);
    int position = paint.markPosition;
    if (position == 0) position = paint.cell->AlignH() == 2 ? 1 : 3;
    const int rightEdge = std::max(r.left(), r.right() - size - 1);
    int left = r.left() + size / 8;
    if (position == 2) left = rightEdge;
    if (position == 3) left = std::min(textRight + 2, rightEdge);
    const QRect square(left, r.bottom() - size - (paint.printing ? 1 : 0), size, size);
    cuiDrawMark(painter, square, error, paint.printing);
}

} // namespace

cuiShading::cuiShading(const QPalette& source) : palette(source) {
    const QColor window = source.color(QPalette::Active, QPalette::Base);
    const QColor text = source.color(QPalette::Active, QPalette::Text);
    currentLine = Blend(text, 1, window, 7);
    unfocusedSelection = Blend(text, 1, window, 3);
}

namespace {

// The relative luminance of a colour on screen, and the contrast of two colours, as the
// usual readability guidelines measure them.
double Luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

} // namespace

double cuiContrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The palette's text for what cannot be changed, moved towards the ordinary text colour
// only as far as it takes to be read on the background.
QColor cuiGreyText(const QPalette& palette, const QColor& background) {
    const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
    const QColor strong = palette.color(QPalette::Active, QPalette::Text);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mixed =
            QColor::fromRgbF(float(grey.redF() + (strong.redF() - grey.redF()) * t),
                             float(grey.greenF() + (strong.greenF() - grey.greenF()) * t),
                             float(grey.blueF() + (strong.blueF() - grey.blueF()) * t));
        if (cuiContrast(mixed, background) >= ReadableContrast) return mixed;
    }
    return cuiContrast(strong, background) >= cuiContrast(grey, background) ? strong : grey;
}

QColor cuiColor(unsigned value, const QPalette& palette) {
    if ((value & SystemColorBit) == SystemColorBit) {
        const unsigned number = value & 0xFFu;
        for (const clsSystemColor& system : SystemColors)
            if (system.number == number) return palette.color(system.group, system.role);
        return palette.color(QPalette::Active, QPalette::Base);
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QFont cuiFont(const cmcCellFont& cellFont, double scale) {
    static QHash<quint64, QFont> cache;
    const int pixels = std::max(1, Scaled(scale, std::abs(cellFont.height)));
    const quint64 key = quint64(pixels) << 8 | quint64(cellFont.style & 15) << 1 |
                        quint64(cellFont.pitch == fpFixed);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    font.setBold(cellFont.style & fsBold);
    font.setItalic(cellFont.style & fsItalic);
    font.setUnderline(cellFont.style & fsUnderline);
    font.setStrikeOut(cellFont.style & fsStrikeOut);
    if (cellFont.pitch == fpFixed) font.setFamily(QStringLiteral("monospace"));
    return *cache.insert(key, font);
}

int cuiLineHeight(const QFont& font) {
    static QHash<quint64, int> cache;
    const quint64 key = FontKey(font);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    return *cache.insert(key, QFontMetrics(font).height());
}

int cuiTextWidth(const QString& text, const QFont& font) {
    return static_cast<int>(std::ceil(ShapedText(text, font).size().width()));
}

QSize cuiTextSize(const QString& text, const QFont& font) {
    int width = 0, height = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStaticText& shaped = ShapedText(line, font);
        width = std::max(width, static_cast<int>(std::ceil(shaped.size().width())));
        height += LineHeight(shaped, font);
    }
    return QSize(width, height);
}

QString cuiWrapText(const QString& text, const QFont& font, int maxWidth) {
    const QFontMetrics metrics(font);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    QString wrapped;
    qsizetype first = 0;     // the line's first character
    qsizetype lastBreak = 0; // the last place after first where the line may break
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n')) {
            wrapped += text.mid(first, i + 1 - first);
            first = lastBreak = i + 1;
            continue;
        }
        if (i > first) {
            breaks.setPosition(i);
            if (breaks.isAtBoundary()) lastBreak = i;
        }
        // A surrogate pair stays whole.
        const qsizetype end = text[i].isHighSurrogate() && i + 1 < text.size() ? i + 2 : i + 1;
        if (i == first || metrics.horizontalAdvance(text.mid(first, end - first)) <= maxWidth) {
            i = end - 1;
            continue;
        }
        // Too wide: break at the last word boundary, else before this character, and take
        // the rest of the line again from there.
        const qsizetype at = lastBreak > first ? lastBreak : i;
        QString line = text.mid(first, at - first);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        wrapped += line + QLatin1Char('\n');
        first = lastBreak = at;
        i = at - 1;
    }
    return wrapped + text.mid(first);
}

void cuiDrawCell(QPainter& painter, const cuiCellPaint& paint, const cuiShading& shading) {
    if (!paint.cell || paint.rect.width() <= 0 || paint.rect.height() <= 0) return;
    painter.fillRect(paint.rect, Background(paint, shading));
    DrawRules(painter, paint);
    const QFont font = paint.font ? cuiFont(*paint.font, paint.scale) : painter.font();
    painter.setPen(TextColor(paint, shading));
    const int textRight = paint.text.isEmpty() ? paint.rect.left() : DrawText(painter, paint, font);
    DrawLogicMark(painter, paint, textRight);
}

void cuiDrawMark(QPainter& painter, const QRect& square, bool error, bool printing) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box = QRectF(square).adjusted(0.5, 0.5, -0.5, -0.5);
    const double w = box.width();
    if (error) {
        // A cross: white on a red disc on screen, black on paper.
        const QPointF c = box.center();
        const double reach = w * (printing ? 0.36 : 0.2);
        if (!printing) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xD9, 0x2B, 0x2B));
            painter.drawEllipse(box);
        }
        QPen pen(printing ? QColor(Qt::black) : QColor(Qt::white), std::max(1.5, w * 0.16));
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(c.x() - reach, c.y() - reach),
                         QPointF(c.x() + reach, c.y() + reach));
        painter.drawLine(QPointF(c.x() - reach, c.y() + reach),
                         QPointF(c.x() + reach, c.y() - reach));
    } else {
        // A triangle with an exclamation mark: yellow on screen, white on paper.
        QPolygonF triangle;
        triangle << QPointF(box.center().x(), box.top()) << box.bottomRight() << box.bottomLeft();
        painter.setPen(QPen(printing ? QColor(Qt::black) : QColor(0x80, 0x60, 0x00), 1));
        painter.setBrush(printing ? QColor(Qt::white) : QColor(0xF5, 0xC2, 0x11));
        painter.drawPolygon(triangle);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const double x = box.center().x();
        const double bar = std::max(1.0, w * 0.12);
        painter.drawRect(QRectF(x - bar / 2, box.top() + w * 0.33, bar, w * 0.34));
        painter.drawRect(QRectF(x - bar / 2, box.top() + w * 0.76, bar, bar));
    }
    painter.restore();
}

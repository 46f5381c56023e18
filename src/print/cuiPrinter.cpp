#include "print/cuiPrinter.h"

#include "catalogue/cmcGTex.h"
#include "sheet/view/cuiSheetAddress.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr double InchesPerMillimetre = 0.03937007874015748;
constexpr int FitAttempts = 3;

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

// A run of columns or rows: the first one and how many.
struct clsBand {
    int first = 0;
    int count = 0;
};

// Column bands from the first column after the fixed ones. A band ends only before a
// column whose heading cells stand on their own (none joined to its left neighbour), with
// the most columns that fit the width beside the fixed columns, and at least one place.
std::vector<clsBand> ColumnBands(cuiSheet& sheet, int width) {
    cmcSheetLayout& layout = sheet.Layout();
    cuiGrid& grid = sheet.Grid();
    const int fixed = std::min(grid.FixedColumns(), layout.Columns());
    const auto canStart = [&](int column) {
        for (int row = 0; row < std::min(grid.FixedRows(), layout.Rows()); ++row)
            if (layout.Cell(column, row).HasLayout(cmcCellObj::Join)) return false;
        return true;
    };
    int fixedWidth = 0;
    for (int column = 0; column < fixed; ++column)
        fixedWidth += grid.ColumnWidth(column);
    std::vector<clsBand> bands;
    int first = fixed;
    while (first < layout.Columns()) {
        int used = fixedWidth, end = first, fitted = -1;
        for (; end < layout.Columns(); ++end) {
            if (end > first && canStart(end)) {
                if (used > width) break;
                fitted = end;
            }
            used += grid.ColumnWidth(end);
        }
        const bool restFits = end == layout.Columns() && used <= width;
        const int last = restFits ? end : fitted > first ? fitted : end;
        bands.push_back({first, last - first});
        first = last;
    }
    if (bands.empty()) bands.push_back({fixed, 0});
    return bands;
}

// Row bands from the first row after the fixed ones: each ends before the row that would
// overflow the height beside the fixed rows, and holds at least one row.
std::vector<clsBand> RowBands(cuiSheet& sheet, int height) {
    cuiGrid& grid = sheet.Grid();
    const int rows = sheet.Layout().Rows();
    const int fixed = std::min(grid.FixedRows(), rows);
    int fixedHeight = 0;
    for (int row = 0; row < fixed; ++row)
        fixedHeight += grid.RowHeight(row);
    std::vector<clsBand> bands;
    int first = fixed;
    while (first < rows) {
        int used = fixedHeight + grid.RowHeight(first), end = first + 1;
        while (end < rows && used + grid.RowHeight(end) <= height)
            used += grid.RowHeight(end++);
        bands.push_back({first, end - first});
        first = end;
    }
    if (bands.empty()) bands.push_back({fixed, 0});
    return bands;
}

// The fixed columns (or rows) followed by those of the band.
std::vector<int> BandLines(int fixed, const clsBand& band) {
    std::vector<int> lines;
    for (int n = 0; n < fixed; ++n)
        lines.push_back(n);
    for (int n = band.first; n < band.first + band.count; ++n)
        lines.push_back(n);
    return lines;
}

// The rectangle a band covers from topLeft, fixed rows and columns included; with a painter
// its cells are drawn for paper.
QRect BandExtent(cuiSheet& sheet, const QPoint& topLeft, const clsBand& columns,
                 const clsBand& rows, QPainter* painter) {
    cuiGrid& grid = sheet.Grid();
    const int fixedColumns = std::min(grid.FixedColumns(), sheet.Layout().Columns());
    const int fixedRows = std::min(grid.FixedRows(), sheet.Layout().Rows());
    const std::vector<int> columnList = BandLines(fixedColumns, columns);
    int right = topLeft.x(), y = topLeft.y();
    for (int row : BandLines(fixedRows, rows)) {
        const int height = grid.RowHeight(row);
        int x = topLeft.x();
        for (int column : columnList) {
            const int width = grid.ColumnWidth(column);
            if (painter && width > 0 && height > 0)
                sheet.PrintCell(*painter, column, row, QRect(x, y, width, height));
            x += width;
        }
        right = std::max(right, x);
        y += height;
    }
    return QRect(topLeft, QPoint(right - 1, y - 1));
}

// The sheet's title face, plain, as large as lets a whole line (descenders too) stand in the
// height the frame gives it, so that nothing of the text reaches the rules.
QFont FrameFont(cuiSheet& sheet, int height) {
    const auto& titleFont = sheet.Layout().GetStyle().titleFont;
    QFont font = titleFont ? cuiFont(*titleFont) : QApplication::font();
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    int pixels = std::max(1, height);
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > height)
        font.setPixelSize(--pixels);
    return font;
}

QString PageText(int number, int count) {
    return QStringLiteral("%1 / %2").arg(number).arg(count);
}

} // namespace

cuiPrintFrame cuiPrintFrame::FromCatalogue(cmcGTex& catalogue) {
    cuiPrintFrame frame;
    frame.program = catalogue.GetText("GI_Sys_AppTitleRev");
    frame.maker = catalogue.GetText("GI_Sys_Maker");
    frame.margins = catalogue.GetText("GI_Sys_Printer_Margins");
    const int points = std::atoi(catalogue.GetText("GI_Sys_Printer_FrameFont").c_str());
    if (points > 0) frame.framePoints = points;
    return frame;
}

QRect cuiPrintableRect(const QSize& page, int dpi, const std::string& margins) {
    int mm[4] = {0, 0, 0, 0};
    std::istringstream in(margins);
    std::string item;
    for (int& value : mm) {
        if (!std::getline(in, item, ',')) break;
        value = std::max(0, std::atoi(item.c_str()));
    }
    const auto pixels = [dpi](int millimetres) {
        return Round(millimetres * dpi * InchesPerMillimetre);
    };
    return QRect(QPoint(pixels(mm[0]), pixels(mm[1])),
                 QPoint(page.width() - pixels(mm[2]), page.height() - pixels(mm[3])));
}

cuiPrinter::cuiPrinter(const cuiSheetServices& services, cuiPrintFrame frame)
    : services_(services), frame_(std::move(frame)), page_(794, 1123) {}

cuiPrinter::~cuiPrinter() = default;

void cuiPrinter::SetPageSize(const QSize& page) {
    page_ = page;
}

void cuiPrinter::TakePageSize(QPagedPaintDevice& device) {
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    const QRectF paper = device.pageLayout().fullRect(QPageLayout::Point);
    page_ =
        QSize(Round(paper.width() * Resolution / 72.0), Round(paper.height() * Resolution / 72.0));
}

QRect cuiPrinter::Printable() const {
    return cuiPrintableRect(page_, Resolution, frame_.margins);
}

int cuiPrinter::FrameFontHeight() const {
    return Round(frame_.framePoints * Resolution / 72.0);
}

int cuiPrinter::BaseFontHeight() const {
    return std::max(1, Round(fontPoints_ * Resolution / 72.0));
}

QRect cuiPrinter::PageFrame(QPainter* painter, const QFont& font, const QString& title,
                            const QString& pageText) const {
    const QRect area = Printable();
    const int l = area.left(), y = area.top(), r = area.right(), b = area.bottom();
    const int h = FrameFontHeight();
    const int t = Round(h * 0.1 + 1);
    if (painter) {
        painter->save();
        painter->setFont(font);
        painter->setPen(Qt::black);
        const int wide = r - l;
        painter->drawText(QRect(l, y, wide, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                          title);
        painter->drawText(QRect(l, y, wide - 1, h),
                          Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip,
                          QString::fromStdString(frame_.program));
        painter->fillRect(QRect(l, y + h + t, wide, t), Qt::black);
        painter->fillRect(QRect(l, b - h - 2 * t, wide, t), Qt::black);
        painter->drawText(QRect(l, b - h - 1, wide, h + 1),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, pageText);
        painter->drawText(QRect(l, b - h - 1, wide - 1, h + 1),
                          Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip,
                          QString::fromStdString(frame_.maker));
        painter->restore();
    }
    return QRect(QPoint(l, y + h + 6 * t), QPoint(r, b - h - 6 * t));
}

cuiSheet& cuiPrinter::SheetFor(const std::string& address, int fontHeight) {
    if (sheet_ && sheetAddress_ == address && sheetFont_ == fontHeight) return *sheet_;
    sheet_.reset();
    sheet_ = cuiCreateSheet(address, services_, nullptr);
    sheet_->SetPrinting(true);
    sheet_->SetFontHeight(fontHeight);
    sheet_->Open();
    sheetAddress_ = address;
    sheetFont_ = fontHeight;
    return *sheet_;
}

void cuiPrinter::Release() {
    sheet_.reset();
    sheetAddress_.clear();
}

int cuiPrinter::LayOut(const std::string& address, std::vector<cuiPrintPage>& pages) {
    Release(); // the document may have changed since the sheet was built
    int font = BaseFontHeight();
    cuiSheet* sheet = &SheetFor(address, font);
    if (sheet->Layout().GetStyle().noPrint) return 0;
    if (const int ratio = sheet->Layout().GetStyle().printFontRatio; ratio != 100) {
        font = std::max(1, font * ratio / 100);
        sheet = &SheetFor(address, font);
    }
    const QRect content = PageFrame(nullptr, QFont(), QString(), QString());
    // The bands are cut at the starting font; a font that fitting reached stays.
    const std::vector<clsBand> columnBands = ColumnBands(*sheet, content.width());
    const std::vector<clsBand> rowBands = RowBands(*sheet, content.height());
    const size_t before = pages.size();
    for (const clsBand& rows : rowBands)
        for (const clsBand& columns : columnBands) {
            for (int attempt = 0; attempt < FitAttempts; ++attempt) {
                const QRect extent = BandExtent(*sheet, content.topLeft(), columns, rows, nullptr);
                if (extent.right() <= content.right() && extent.bottom() <= content.bottom()) break;
                const double ratio = std::min(double(content.height()) / extent.height(),
                                              double(content.width()) / extent.width());
                // Always smaller by a pixel at least, so that every attempt gains room.
                font = std::max(1, std::min(font - 1, static_cast<int>(font * ratio)));
                sheet = &SheetFor(address, font);
            }
            pages.push_back({address, columns.first, rows.first, columns.count, rows.count, font});
        }
    return static_cast<int>(pages.size() - before);
}

void cuiPrinter::DrawPage(QPainter& painter, const cuiPrintPage& page, int number, int count) {
    cuiSheet& sheet = SheetFor(page.address, page.fontHeight);
    const QFont font = FrameFont(sheet, FrameFontHeight());
    const QString title = sheet.TitleLabel()->text();
    const QRect content = PageFrame(&painter, font, title, PageText(number, count));
    BandExtent(sheet, content.topLeft(), {page.firstColumn, page.columns},
               {page.firstRow, page.rows}, &painter);
}

QString cuiPrinter::SheetTitle(const cuiPrintPage& page) {
    return SheetFor(page.address, page.fontHeight).TitleLabel()->text();
}

std::vector<cuiPrintPage> cuiLayOutSheets(cuiPrinter& printer,
                                          const std::vector<std::string>& addresses) {
    std::vector<cuiPrintPage> pages;
    for (const std::string& address : addresses)
        printer.LayOut(address, pages);
    return pages;
}

// ---- cuiPageWriter ----

cuiPageWriter::cuiPageWriter(cuiPrinter& printer, QPagedPaintDevice& device, int pageCount)
    : printer_(printer), device_(device), painter_(std::make_unique<QPainter>()),
      pageCount_(pageCount) {
    printer_.Release();
    if (!painter_->begin(&device_)) return;
    const double scale = double(device_.logicalDpiY()) / cuiPrinter::Resolution;
    painter_->scale(double(device_.logicalDpiX()) / cuiPrinter::Resolution, scale);
}

cuiPageWriter::~cuiPageWriter() {
    if (painter_->isActive()) painter_->end();
}

bool cuiPageWriter::IsOpen() const {
    return painter_->isActive();
}

void cuiPageWriter::Write(const cuiPrintPage& page) {
    if (!IsOpen()) return;
    if (written_ > 0) device_.newPage();
    ++written_;
    printer_.DrawPage(*painter_, page, written_, pageCount_);
}

bool cuiPageWriter::Finish() {
    if (!IsOpen()) return false;
    return painter_->end();
}

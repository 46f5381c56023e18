#pragma once

// Sheets on paper. Each sheet is built as on screen, in the printer's font, and cut into
// pages: bands of columns and rows, every page repeating the fixed rows and columns, the
// font shrunk when a band still does not fit. Every page is framed by the sheet's title,
// the program's name, the maker's name and the page number. Pages are laid out in pixels
// of the screen's density and the painter scales them to the device, so the cells on
// paper are the very drawing of the cells on screen and nothing is laid out twice.

#include "sheet/view/cuiSheet.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// One page: the band of a sheet it shows and the font the sheet had when it was fitted.
struct cuiPrintPage {
    std::string address;
    int firstColumn = 0; // the first column and row of the band after the fixed ones
    int firstRow = 0;
    int columns = 0;
    int rows = 0;
    int fontHeight = 0;
};

// The texts and measures of a printout, from the catalogue.
struct cuiPrintFrame {
    std::string program; // "GI_Sys_AppTitleRev"
    std::string maker;   // "GI_Sys_Maker"
    std::string margins; // "GI_Sys_Printer_Margins": left, top, right, bottom in mm
    int framePoints = 14;

    static cuiPrintFrame FromCatalogue(cmcGTex& catalogue);
};

// The printable rectangle of a page of the given pixel size at dpi pixels per inch, inside
// margins given in millimetres ("15,10,5,5"); missing or unreadable margins count as 0.
QRect cuiPrintableRect(const QSize& page, int dpi, const std::string& margins);

class cuiPrinter {
  public:
    // Pixels per inch of the page layout: the density the sheets are drawn at on screen.
    static constexpr int Resolution = 96;

    cuiPrinter(const cuiSheetServices& services, cuiPrintFrame frame);
    ~cuiPrinter();
    cuiPrinter(const cuiPrinter&) = delete;
    cuiPrinter& operator=(const cuiPrinter&) = delete;

    // The paper in layout pixels; the device's paper, its margins set to none so that the
    // page starts at the paper's corner.
    void SetPageSize(const QSize& page);
    void TakePageSize(QPagedPaintDevice& device);
    // The printer font ("FontSize Printer") in points.
    void SetFontPoints(int points) { fontPoints_ = points; }
    int FontPoints() const { return fontPoints_; }
    const QSize& PageSize() const { return page_; }
    const cuiSheetServices& Services() const { return services_; }
    QRect Printable() const;
    // The frame around the content: the title line and the footer, with their rules.
    // Without a painter it only measures. Returns the content rectangle.
    QRect PageFrame(QPainter* painter, const QFont& font, const QString& title,
                    const QString& pageText) const;

    // Lays a sheet out on pages, appending them; a sheet marked not printable adds none.
    // Returns how many pages it added.
    int LayOut(const std::string& address, std::vector<cuiPrintPage>& pages);
    // Draws a page on a painter in layout pixels; number and count go into the frame.
    void DrawPage(QPainter& painter, const cuiPrintPage& page, int number, int count);
    // The title of the page's sheet, as its frame shows it.
    QString SheetTitle(const cuiPrintPage& page);
    // The sheet of the last page drawn goes; the next page builds it again.
    void Release();

  private:
    cuiSheet& SheetFor(const std::string& address, int fontHeight);
    int BaseFontHeight() const;
    int FrameFontHeight() const;

    cuiSheetServices services_;
    cuiPrintFrame frame_;
    QSize page_;
    int fontPoints_ = 10;
    std::unique_ptr<cuiSheet> sheet_;
    std::string sheetAddress_;
    int sheetFont_ = 0;
};

// Writes pages onto a paged device (a printer or a PDF file), a new page before each but
// the first; pages may come in several pieces, one sheet at a time.
class cuiPageWriter {
  public:
    cuiPageWriter(cuiPrinter& printer, QPagedPaintDevice& device, int pageCount);
    ~cuiPageWriter();
    cuiPageWriter(const cuiPageWriter&) = delete;
    cuiPageWriter& operator=(const cuiPageWriter&) = delete;

    // False when the device could not be opened for painting.
    bool IsOpen() const;
    void Write(const cuiPrintPage& page);
    // Ends the document; false when the device reported a failure.
    bool Finish();
    int Written() const { return written_; }

  private:
    cuiPrinter& printer_;
    QPagedPaintDevice& device_;
    std::unique_ptr<QPainter> painter_;
    int pageCount_;
    int written_ = 0;
};

// The pages of sheets, in order, through one printer.
std::vector<cuiPrintPage> cuiLayOutSheets(cuiPrinter& printer,
                                          const std::vector<std::string>& addresses);

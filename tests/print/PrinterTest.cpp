#include "PrintTestProgram.h"

#include "sheet/view/cuiSheetAddress.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const char* const GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";

TEST(PrintableRectTest, MarginsInMillimetresBecomePixelsOfTheResolution) {
    struct Case {
        QSize page;
        int dpi;
        const char* margins;
        QRect printable;
    };
    const Case cases[] = {
        {{4960, 7016}, 600, "15,10,5,5", QRect(QPoint(354, 236), QPoint(4842, 6898))},
        {{794, 1123}, 96, "15,10,5,5", QRect(QPoint(57, 38), QPoint(775, 1104))},
        {{794, 1123}, 96, "0,0,0,0", QRect(QPoint(0, 0), QPoint(794, 1123))},
        // Missing or unreadable margins count as none.
        {{794, 1123}, 96, "15", QRect(QPoint(57, 0), QPoint(794, 1123))},
        {{794, 1123}, 96, "x,-4,,5", QRect(QPoint(0, 0), QPoint(794, 1104))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cuiPrintableRect(c.page, c.dpi, c.margins), c.printable) << c.margins;
}

class PrinterTest : public ::testing::Test {
  protected:
    clsPrintProgram program;
    cuiPrinter printer{program.Services(), program.Frame()};

    std::vector<cuiPrintPage> LayOut(const std::string& address) {
        std::vector<cuiPrintPage> pages;
        printer.LayOut(address, pages);
        return pages;
    }

    // Each page drawn on an image of the page's size.
    std::vector<QImage> Render(const std::vector<cuiPrintPage>& pages) {
        std::vector<QImage> images;
        for (size_t n = 0; n < pages.size(); ++n) {
            QImage image(printer.PageSize(), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            printer.DrawPage(painter, pages[n], int(n) + 1, int(pages.size()));
            images.push_back(image);
        }
        return images;
    }

    // Whether every pixel of the rectangle is white.
    static bool Blank(const QImage& image, const QRect& area) {
        const QRect inside = area.intersected(image.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
        return true;
    }

    // Nothing of a page lies right of the printable rectangle, below it, or between the
    // content and the footer rule: no cell ran past the room it was given.
    void ExpectNothingOutside(const std::vector<QImage>& images) {
        const QRect printable = printer.Printable();
        const QRect content = printer.PageFrame(nullptr, QFont(), {}, {});
        const QRect page(QPoint(0, 0), printer.PageSize());
        for (size_t n = 0; n < images.size(); ++n) {
            EXPECT_TRUE(
                Blank(images[n], QRect(QPoint(printable.right() + 1, 0), page.bottomRight())))
                << "page " << n + 1;
            EXPECT_TRUE(
                Blank(images[n], QRect(QPoint(0, printable.bottom() + 1), page.bottomRight())))
                << "page " << n + 1;
            EXPECT_TRUE(Blank(images[n], QRect(QPoint(printable.left(), content.bottom() + 1),
                                               QPoint(printable.right(), content.bottom() + 8))))
                << "page " << n + 1;
        }
    }

    // The frequencies as the sheet shows them, one per channel of the group.
    std::vector<std::string> ShownFrequencies(int channels) {
        auto sheet = cuiCreateSheet(GroupSheet, program.Services(), nullptr);
        sheet->Open();
        std::vector<std::string> shown;
        for (int column = 0; column < sheet->Layout().Columns(); ++column) {
            const int row = sheet->Grid().FixedRows();
            if (sheet->CellAt(column, row).logicId != CL_Mch_Freq) continue;
            for (int n = 0; n < channels; ++n)
                shown.push_back(sheet->DisplayText(column, row + n));
            break;
        }
        return shown;
    }
};

TEST_F(PrinterTest, ALongGroupTakesMorePagesAndEveryChannelIsPrintedOnce) {
    program.FillGroup(0, 2);
    const size_t shortPages = LayOut(GroupSheet).size();
    program.FillGroup(0, 400);
    const std::vector<cuiPrintPage> pages = LayOut(GroupSheet);
    ASSERT_GT(pages.size(), shortPages);
    ASSERT_GE(shortPages, 1u);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("group.pdf"));
    {
        QPdfWriter pdf(path);
        printer.TakePageSize(pdf);
        cuiPageWriter writer(printer, pdf, int(pages.size()));
        ASSERT_TRUE(writer.IsOpen());
        for (const cuiPrintPage& page : pages)
            writer.Write(page);
        ASSERT_TRUE(writer.Finish());
    }
    const QStringList texts = PdfPages(path);
    ASSERT_EQ(texts.size(), qsizetype(pages.size()));
    std::map<QString, int> words;
    for (qsizetype n = 0; n < texts.size(); ++n) {
        EXPECT_TRUE(texts[n].contains(QStringLiteral("Pelham Rev.1.0"))) << n;
        EXPECT_TRUE(texts[n].contains(QStringLiteral("Tarn Inc."))) << n;
        EXPECT_TRUE(texts[n].contains(QStringLiteral("%1 / %2").arg(n + 1).arg(texts.size()))) << n;
        for (const QString& word : texts[n].split(QRegularExpression(QStringLiteral("\\s+"))))
            ++words[word];
    }
    const std::vector<std::string> frequencies = ShownFrequencies(400);
    ASSERT_EQ(frequencies.size(), 400u);
    ASSERT_EQ(std::set<std::string>(frequencies.begin(), frequencies.end()).size(), 400u);
    for (const std::string& frequency : frequencies)
        EXPECT_EQ(words[QString::fromStdString(frequency)], 1) << frequency;
}

TEST_F(PrinterTest, ASheetWiderThanThePageIsCutIntoColumnBandsThatNeverStartInsideAJoin) {
    program.FillGroup(0, 30);
    printer.SetPageSize(QSize(420, 1123));
    const std::vector<cuiPrintPage> pages = LayOut(GroupSheet);
    std::set<int> bands;
    for (const cuiPrintPage& page : pages)
        bands.insert(page.firstColumn);
    ASSERT_GT(bands.size(), 1u);

    auto sheet = cuiCreateSheet(GroupSheet, program.Services(), nullptr);
    sheet->SetPrinting(true);
    sheet->Open();
    const int fixedColumns = sheet->Grid().FixedColumns();
    // The heading joins columns (the name block, the frequency block): places no band may
    // start at.
    int joins = 0;
    for (int column = fixedColumns + 1; column < sheet->Layout().Columns(); ++column)
        for (int row = 0; row < sheet->Grid().FixedRows(); ++row)
            joins += sheet->CellAt(column, row).HasLayout(cmcCellObj::Join);
    ASSERT_GT(joins, 0);
    int next = fixedColumns;
    for (int first : bands) {
        EXPECT_EQ(first, next) << "bands follow each other without a gap";
        for (int row = 0; row < sheet->Grid().FixedRows(); ++row)
            EXPECT_FALSE(first > fixedColumns &&
                         sheet->CellAt(first, row).HasLayout(cmcCellObj::Join))
                << "column " << first;
        for (const cuiPrintPage& page : pages)
            if (page.firstColumn == first) next = first + page.columns;
    }
    EXPECT_EQ(next, sheet->Layout().Columns());
    for (const cuiPrintPage& page : pages)
        EXPECT_EQ(page.fontHeight, pages.front().fontHeight) << "the bands fit at the font";
    ExpectNothingOutside(Render(pages));
}

TEST_F(PrinterTest, ABandTallerThanThePageShrinksTheFontUntilItFits) {
    program.FillGroup(0, 3);
    const int fullFont = LayOut(GroupSheet).front().fontHeight;
    printer.SetPageSize(QSize(794, 160));
    const std::vector<cuiPrintPage> pages = LayOut(GroupSheet);
    ASSERT_FALSE(pages.empty());
    EXPECT_LT(pages.front().fontHeight, fullFont);
    for (const cuiPrintPage& page : pages)
        EXPECT_GE(page.rows, 1);
    ExpectNothingOutside(Render(pages));
}

TEST_F(PrinterTest, ASheetMarkedNotPrintableGivesNoPages) {
    EXPECT_TRUE(LayOut("GI_Sheet_TopPage").empty());
    EXPECT_FALSE(LayOut("[St_Common]GI_Sheet_Common,0").empty());
}

TEST_F(PrinterTest, TheFontFollowsThePrinterFontSetting) {
    program.FillGroup(0, 200);
    printer.SetFontPoints(8);
    const std::vector<cuiPrintPage> small = LayOut(GroupSheet);
    printer.SetFontPoints(12);
    const std::vector<cuiPrintPage> large = LayOut(GroupSheet);
    EXPECT_EQ(small.front().fontHeight, 11);
    EXPECT_EQ(large.front().fontHeight, 16);
    EXPECT_GT(large.size(), small.size());
}

} // namespace

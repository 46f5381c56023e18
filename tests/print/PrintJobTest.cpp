#include "PrintTestProgram.h"

#include "print/cuiPrintJob.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A print command with the user's answers scripted: the printer is a PDF file, and the
// preview is looked at (and answered) by the test.
class PrintJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner.resize(600, 400);
        owner.show();
        job.SetQuestions({[this](QPrinter& printer, QWidget*) {
                              printer.setOutputFormat(QPrinter::PdfFormat);
                              printer.setOutputFileName(pdf);
                              return true;
                          },
                          [this](cuiPreview& preview) {
                              ownerEnabledDuringPreview = owner.isEnabled();
                              return lookAtPreview ? lookAtPreview(preview) : true;
                          }});
    }

    std::vector<std::string> AllSheets() {
        return {"[St_ChNew]GI_Sheet_CategoryOp,CategoryOp", "[St_ChNew]GI_Sheet_BankOp,Category 0",
                "[St_CNBank]GI_Sheet_MemoryCH,Group 0", "[St_ColCut]GI_Sheet_ScanEdge,ScanEdge",
                "[St_Common]GI_Sheet_Common,0"};
    }

    clsPrintProgram program;
    QWidget owner;
    cuiPrintJob job{&owner, program.Services(), &program.process->Environ(), nullptr};
    QTemporaryDir folder;
    QString pdf = folder.filePath(QStringLiteral("job.pdf"));
    std::function<bool(cuiPreview&)> lookAtPreview;
    bool ownerEnabledDuringPreview = true;
};

TEST_F(PrintJobTest, ThePreviewPagesThroughAndItsCancelPrintsNothing) {
    lookAtPreview = [](cuiPreview& preview) {
        preview.GoTo(0);
        const int count = int(preview.Pages().size());
        EXPECT_GE(count, 3);
        EXPECT_EQ(preview.StatusText(), QStringLiteral(" 1 / %1").arg(count));
        EXPECT_FALSE(preview.TopAction()->isEnabled());
        EXPECT_FALSE(preview.PreviousAction()->isEnabled());
        EXPECT_TRUE(preview.NextAction()->isEnabled());
        preview.LastAction()->trigger();
        EXPECT_EQ(preview.StatusText(), QStringLiteral(" %1 / %1").arg(count));
        EXPECT_FALSE(preview.NextAction()->isEnabled());
        EXPECT_FALSE(preview.LastAction()->isEnabled());
        preview.TopAction()->trigger();

        // The page box takes digits only; a page beyond the last shows the last.
        QLineEdit* box = preview.PageBox();
        box->clear();
        QTest::keyClicks(box, QStringLiteral("x2"));
        EXPECT_EQ(box->text(), QStringLiteral("2"));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(preview.CurrentPage(), 1);
        box->setText(QString());
        QTest::keyClicks(box, QStringLiteral("99"));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(preview.CurrentPage(), count - 1);

        // Down changes the page unzoomed and scrolls the page zoomed.
        preview.GoTo(0);
        preview.resize(500, 400);
        preview.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&preview));
        QTest::keyClick(&preview, Qt::Key_Down);
        EXPECT_EQ(preview.CurrentPage(), 1);
        preview.SetZoomed(true);
        QScrollBar* bar = preview.findChild<QScrollArea*>()->verticalScrollBar();
        const int before = bar->value();
        QTest::keyClick(&preview, Qt::Key_Down);
        EXPECT_EQ(preview.CurrentPage(), 1);
        EXPECT_GT(bar->value(), before);
        QTest::keyClick(&preview, Qt::Key_PageDown);
        EXPECT_EQ(preview.CurrentPage(), 2);
        return false;
    };
    job.Print(AllSheets(), true);
    EXPECT_FALSE(ownerEnabledDuringPreview);
    EXPECT_FALSE(job.Running());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(job.PagesPrinted(), 0);
}

// The preview as it runs for the user: it fits the work area, names the sheet on show, and
// works from the keyboard alone: the page keys on the page, Alt and a caption's letter,
// Left and Right scrolling sideways zoomed (also from the page box), Ctrl+P printing.
TEST_F(PrintJobTest, ThePreviewWorksFromTheKeyboardAndNamesItsSheet) {
    lookAtPreview = [](cuiPreview& preview) {
        bool looked = false;
        QTimer::singleShot(0, &preview, [&preview, &looked] {
            ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &preview; }));
            const int last = int(preview.Pages().size()) - 1;
            EXPECT_TRUE(preview.screen()->availableGeometry().contains(preview.frameGeometry()));
            EXPECT_EQ(preview.windowTitle(), QStringLiteral("Category Operation - Pelham"));
            QWidget* page = QApplication::focusWidget();
            ASSERT_EQ(page, preview.findChild<QScrollArea*>());
            QTest::keyClick(page, Qt::Key_End);
            EXPECT_EQ(preview.CurrentPage(), last);
            EXPECT_TRUE(preview.windowTitle().startsWith(QStringLiteral("Common Setting")))
                << preview.windowTitle().toStdString();
            QTest::keyClick(page, Qt::Key_Home);
            EXPECT_EQ(preview.CurrentPage(), 0);
            QTest::keyClick(page, Qt::Key_Down);
            EXPECT_EQ(preview.CurrentPage(), 1);

            preview.resize(500, 400); // narrower than the page
            QTest::keyClick(page, Qt::Key_Z, Qt::AltModifier);
            EXPECT_TRUE(preview.Zoomed());
            QScrollBar* sideways = preview.findChild<QScrollArea*>()->horizontalScrollBar();
            ASSERT_GT(sideways->maximum(), 0);
            const int start = sideways->value();
            QTest::keyClick(page, Qt::Key_Right);
            EXPECT_GT(sideways->value(), start);
            preview.PageBox()->setFocus();
            const int moved = sideways->value();
            QTest::keyClick(preview.PageBox(), Qt::Key_Right);
            EXPECT_GT(sideways->value(), moved);
            QTest::keyClick(preview.PageBox(), Qt::Key_Left);
            EXPECT_EQ(sideways->value(), moved);
            EXPECT_EQ(preview.CurrentPage(), 1);

            for (QToolButton* button : preview.findChildren<QToolButton*>()) {
                if (button->defaultAction()) {
                    EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus)
                        << button->defaultAction()->toolTip().toStdString();
                }
            }
            looked = true;
            QTest::keyClick(page, Qt::Key_P, Qt::ControlModifier);
        });
        const bool print = preview.Show();
        EXPECT_TRUE(looked);
        return print;
    };
    job.Print(AllSheets(), false);
    EXPECT_GT(job.PagesPrinted(), 0) << "Ctrl+P printed";
    EXPECT_EQ(PdfPages(pdf).size(), job.PagesPrinted());
}

TEST_F(PrintJobTest, ALargerPrinterFontLaysThePagesOutAgainFromPageOne) {
    program.FillGroup(0, 200);
    lookAtPreview = [this](cuiPreview& preview) {
        preview.ChangeFontSize(8);
        const size_t small = preview.Pages().size();
        preview.GoTo(2);
        preview.ChangeFontSize(12);
        EXPECT_GT(preview.Pages().size(), small);
        EXPECT_EQ(preview.CurrentPage(), 0);
        EXPECT_EQ(program.process->Environ().printerFontSize, 12);
        return true;
    };
    job.Print({"[St_CNBank]GI_Sheet_MemoryCH,Group 0"}, false);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(PdfPages(pdf).size(), job.PagesPrinted());
    EXPECT_EQ(job.PrintingWindow(), nullptr);
}

TEST_F(PrintJobTest, CancelInNowPrintingStopsAfterTheCurrentSheetAndEnablesTheWindow) {
    job.Print(AllSheets(), true);
    ASSERT_TRUE(job.Running());
    EXPECT_FALSE(owner.isEnabled());
    ASSERT_NE(job.PrintingWindow(), nullptr);
    EXPECT_TRUE(job.PrintingWindow()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return job.PagesPrinted() > 0; }, 5000));
    const int printed = job.PagesPrinted();
    QTest::mouseClick(job.PrintingWindow()->findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !job.Running(); }, 5000));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(job.PagesPrinted(), printed);
    const QStringList pages = PdfPages(pdf);
    EXPECT_EQ(pages.size(), printed);
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages.front().contains(QStringLiteral("Category Operation")));
}

TEST_F(PrintJobTest, PrintAllPrintsEverySheetInOrderIntoOneDocument) {
    job.Print(AllSheets(), true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !job.Running(); }, 10000));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), job.PagesPrinted());
    EXPECT_TRUE(pages.front().contains(QStringLiteral("Category Operation")));
    EXPECT_TRUE(pages.back().contains(QStringLiteral("Common Setting")));
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(PrintJobTest, AJobWithoutAnyPrintablePageStillEndsAndEnablesTheWindow) {
    for (const bool all : {false, true}) {
        job.Print({"GI_Sheet_TopPage"}, all);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !job.Running(); }, 5000)) << all;
        EXPECT_TRUE(owner.isEnabled()) << all;
        EXPECT_EQ(job.PrintingWindow(), nullptr) << all;
        EXPECT_EQ(job.PagesPrinted(), 0) << all;
    }
}

// A PDF file that cannot be made is reported with the file system's reason; nothing counts
// as printed, and the window is usable again.
TEST_F(PrintJobTest, AnOutputFileThatCannotBeMadeIsReportedWithItsReason) {
    struct Case {
        QString path;
        const char* reason;
    };
    const Case cases[] = {{folder.filePath(QStringLiteral("missing/job.pdf")), "No such file"},
                          {folder.path(), "directory"}};
    for (const Case& c : cases) {
        for (const bool all : {false, true}) {
            program.platform.messages.clear();
            pdf = c.path;
            job.Print(AllSheets(), all);
            ASSERT_TRUE(QTest::qWaitFor([this] { return !job.Running(); }, 5000));
            EXPECT_TRUE(owner.isEnabled());
            EXPECT_EQ(job.PrintingWindow(), nullptr);
            EXPECT_EQ(job.PagesPrinted(), 0);
            ASSERT_EQ(program.platform.messages.shown().size(), 1u) << c.reason;
            const std::string text = program.platform.messages.lastText();
            EXPECT_NE(text.find("Cannot open the file."), std::string::npos) << text;
            EXPECT_NE(text.find(c.reason), std::string::npos) << text;
            EXPECT_NE(text.find(c.path.toStdString()), std::string::npos) << text;
        }
    }
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("missing"))));
}

// Escape in "Now Printing" cancels the job; the window stays until the job has ended.
TEST_F(PrintJobTest, EscapeInNowPrintingCancelsWithoutHidingTheWindow) {
    job.Print(AllSheets(), true);
    ASSERT_TRUE(job.Running());
    QDialog* window = job.PrintingWindow();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !job.Running(); }, 5000));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(PdfPages(pdf).join(QString()).contains(QStringLiteral("Common Setting")));
}

} // namespace

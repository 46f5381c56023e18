// File > Print through the main window: the menu's states and Print All over the tree.

#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "platform/fake/cmcFakePlatform.h"
#include "print/cuiPrintJob.h"
#include "sheet/view/cuiTree.h"

#include "ViewTestSupport.h"

#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PrintCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApplication();
        form = std::make_unique<TForm1>(process.Main());
        form->ShowWindow();
    }
    void TearDown() override { form.reset(); }

    // The items of File > Print, their states refreshed as when the menu opens.
    QList<QAction*> PrintItems() {
        for (QAction* top : form->menuBar()->actions()) {
            if (top->text() != QStringLiteral("&File")) continue;
            emit top->menu()->aboutToShow();
            for (QAction* item : top->menu()->actions())
                if (item->text() == QStringLiteral("&Print")) {
                    emit item->menu()->aboutToShow();
                    return item->menu()->actions();
                }
        }
        return {};
    }

    cmcFakePlatform platform;
    indProcess process;
    std::unique_ptr<TForm1> form;
};

TEST_F(PrintCommandTest, CurrentSheetNeedsAPrintableSheetAndAllPrintsTheTreeInOrder) {
    QList<QAction*> items = PrintItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_FALSE(items[0]->isEnabled()) << "the top page is not printable";
    EXPECT_TRUE(items[1]->isEnabled());
    ASSERT_TRUE(form->ShowSheet("[St_Common]GI_Sheet_Common,0", {-1, -1, -1, -1}, false, false));
    items = PrintItems();
    EXPECT_TRUE(items[0]->isEnabled());

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("all.pdf"));
    std::vector<std::string> previewed;
    form->PrintJob().SetQuestions({[&pdf](QPrinter& printer, QWidget*) {
                                       printer.setOutputFormat(QPrinter::PdfFormat);
                                       printer.setOutputFileName(pdf);
                                       return true;
                                   },
                                   [&previewed](cuiPreview& preview) {
                                       for (const cuiPrintPage& page : preview.Pages())
                                           if (previewed.empty() ||
                                               previewed.back() != page.address)
                                               previewed.push_back(page.address);
                                       return true;
                                   }});
    items[1]->trigger();
    EXPECT_FALSE(form->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->PrintJob().Running(); }, 10000));
    EXPECT_TRUE(form->isEnabled());

    // Every sheet of the tree but the two whose style says NoPrint, in the tree's order.
    std::vector<std::string> printable;
    for (const std::string& address : form->Tree()->SheetAddresses())
        if (address.find("TopPage") == std::string::npos &&
            address.find("BasicTop") == std::string::npos)
            printable.push_back(address);
    EXPECT_EQ(previewed, printable);
    EXPECT_TRUE(QFile::exists(pdf));
}

} // namespace

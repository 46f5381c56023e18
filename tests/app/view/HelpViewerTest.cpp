#include "ViewTestSupport.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/cuiHtmlHelp.h"
#include "app/view/cuiPlacement.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "platform/fake/cmcFakePlatform.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiSheet.h"
#include "support/TestEnvironment.h"

#include <QMenu>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testenv::TempFolder;

const char* const GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";

// A small help folder: the contents, the frequency topic and a page it links to. The
// duplex topic (context 14) has no page.
class HelpViewerTest : public ::testing::Test {
  protected:
    HelpViewerTest() {
        EnsureTestApplication();
        platform.folders.data_ = (folder.path() / "data").string();
        const std::filesystem::path en = folder.path() / "data/help/en";
        std::filesystem::create_directories(en);
        testenv::writeFile((en / "index.html").string(),
                           "<html><head><title>Contents</title></head><body>"
                           "<a href=\"IDH1013.html\">Frequency</a></body></html>");
        testenv::writeFile((en / "IDH1013.html").string(),
                           "<html><head><title>Frequency</title></head><body>"
                           "<a href=\"index.html\">Back to the contents</a></body></html>");
        process.Main().ReceiverInformation()[indMain::InfoDestinationByte] = 1;
        process.Events().Send(ev::AdoptDestination);
    }

    std::string Contents() const { return (folder.path() / "data/help/en/index.html").string(); }
    QString FileName(QTextBrowser* browser) const {
        return browser ? QFileInfo(browser->source().toLocalFile()).fileName() : QString();
    }

    // The form shown and active, with the group sheet open on a cell of the logic id.
    cuiSheet& SheetOn(TForm1& form, int logicId) {
        form.ShowWindow();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.ShowSheet(GroupSheet, {-1, -1, -1, -1}, true, false);
        cuiSheet& sheet = *form.Sheet();
        const int row = sheet.Grid().FixedRows();
        for (int column = 0; column < sheet.Layout().Columns(); ++column) {
            if (sheet.CellAt(column, row).logicId == logicId) sheet.MoveTo(column, row);
        }
        EXPECT_EQ(sheet.CellAt(sheet.CurrentColumn(), row).logicId, logicId);
        sheet.Grid().setFocus();
        return sheet;
    }

    TempFolder folder;
    cmcFakePlatform platform;
    indProcess process;
};

TEST_F(HelpViewerTest, F1InTheMainWindowOpensTheContentsWithWorkingBackAndForward) {
    TForm1 form(process.Main());
    form.ShowWindow();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F1);

    ASSERT_NE(form.Help(), nullptr);
    ASSERT_TRUE(form.Help()->ContentsWindow() && form.Help()->ContentsWindow()->isVisible());
    QTextBrowser* browser = form.Help()->ContentsBrowser();
    EXPECT_EQ(FileName(browser), "index.html");
    EXPECT_EQ(form.Help()->ContentsWindow()->windowTitle(), "Contents");
    EXPECT_TRUE(platform.messages.shown().empty());

    // Following the link, then Back and Forward.
    const QList<QToolButton*> buttons = form.Help()->ContentsWindow()->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[0]->text(), "&Back");
    EXPECT_FALSE(buttons[0]->isEnabled());
    browser->setSource(browser->source().resolved(QUrl("IDH1013.html")));
    EXPECT_EQ(FileName(browser), "IDH1013.html");
    EXPECT_EQ(form.Help()->ContentsWindow()->windowTitle(), "Frequency");
    ASSERT_TRUE(buttons[0]->isEnabled());
    buttons[0]->click();
    EXPECT_EQ(FileName(browser), "index.html");
    ASSERT_TRUE(buttons[1]->isEnabled());
    buttons[1]->click();
    EXPECT_EQ(FileName(browser), "IDH1013.html");
    buttons[2]->click();
    EXPECT_EQ(FileName(browser), "index.html");
}

// Escape and Ctrl+W close either help window from its page; the next F1 opens it again.
TEST_F(HelpViewerTest, EscapeAndCtrlWCloseTheHelpWindows) {
    TForm1 form(process.Main());
    cuiSheet& sheet = SheetOn(form, CL_Mch_Freq);
    const QKeyCombination keys[] = {QKeyCombination(Qt::Key_Escape),
                                    QKeyCombination(Qt::ControlModifier, Qt::Key_W)};
    for (const QKeyCombination key : keys) {
        for (const bool contents : {true, false}) {
            form.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
            sheet.Grid().setFocus();
            if (contents)
                form.ShowHelpContents(Contents());
            else
                QTest::keyClick(&sheet.Grid(), Qt::Key_F1);
            QWidget* window = contents ? form.Help()->ContentsWindow() : form.Help()->TopicWindow();
            ASSERT_TRUE(window && window->isVisible()) << contents;
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitFor([window] {
                return QApplication::activeWindow() == window;
            })) << contents;
            QWidget* page = contents ? form.Help()->ContentsBrowser() : form.Help()->TopicBrowser();
            page->setFocus();
            QTest::keyClick(page, key.key(), key.keyboardModifiers());
            EXPECT_FALSE(window->isVisible()) << contents << " " << key.key();
        }
    }
}

TEST_F(HelpViewerTest, HelpOnAFrequencyCellOpensItsTopicNearThePointer) {
    TForm1 form(process.Main());
    cuiSheet& sheet = SheetOn(form, CL_Mch_Freq);
    QCursor::setPos(200, 150);

    QTest::keyClick(&sheet.Grid(), Qt::Key_F1); // the cell's topic, not the contents
    ASSERT_NE(form.Help(), nullptr);
    EXPECT_EQ(form.Help()->ContentsWindow(), nullptr);
    QWidget* topic = form.Help()->TopicWindow();
    ASSERT_TRUE(topic && topic->isVisible());
    EXPECT_EQ(FileName(form.Help()->TopicBrowser()), "IDH1013.html");
    EXPECT_EQ(topic->windowTitle(), "Frequency");
    EXPECT_EQ(topic->size(), QSize(300, 300));
    topic->close();

    // The popup menu's Help item reaches the same window.
    sheet.RefreshPopupMenu();
    QAction* help = nullptr;
    for (QAction* action : sheet.PopupMenu().actions())
        if (QString(action->text()).remove(QLatin1Char('&')) == "Help") help = action;
    ASSERT_NE(help, nullptr);
    help->trigger();
    EXPECT_TRUE(topic->isVisible());
    EXPECT_EQ(form.Help()->TopicWindow(), topic);
    EXPECT_TRUE(platform.messages.shown().empty());
}

TEST_F(HelpViewerTest, ACellWithoutAPageAndAMissingFolderAreReported) {
    TForm1 form(process.Main());
    cuiSheet& sheet = SheetOn(form, CL_Mch_Dup); // context 14: no page in this folder
    QTest::keyClick(&sheet.Grid(), Qt::Key_F1);
    ASSERT_EQ(platform.messages.shown().size(), 1u);
    EXPECT_EQ(platform.messages.lastText(), "No Help topic is associated with this item.");
    EXPECT_EQ(platform.messages.shown()[0].icon, MsgIcon::Warning);
    EXPECT_EQ(form.ShowHelpTopic(Contents(), 0), cuiMainWindow::HelpNoTopic);

    std::filesystem::remove_all(folder.path() / "data/help");
    QTest::keyClick(&sheet.Grid(), Qt::Key_F1);
    ASSERT_EQ(platform.messages.shown().size(), 2u);
    EXPECT_EQ(platform.messages.lastText(), "Cannot find the " + Contents() + " file.");
    EXPECT_EQ(platform.messages.shown()[1].icon, MsgIcon::Error);
    EXPECT_EQ(form.ShowHelpContents(Contents()), cuiMainWindow::HelpFileMissing);
    EXPECT_TRUE(form.Help()->ContentsWindow() == nullptr);
}

TEST(PlaceNearPointer, BelowThePointerAboveItNearTheBottomAndLeftAtTheRightEdge) {
    const QRect work(0, 0, 1280, 800);
    const QSize size(300, 300);
    const struct {
        QPoint pointer;
        QPoint expected;
    } cases[] = {
        {{500, 100}, {350, 100}},  // centred under the pointer
        {{100, 100}, {0, 100}},    // never left of the screen
        {{640, 700}, {490, 400}},  // near the bottom: above the pointer
        {{640, 200}, {490, 200}},  // fits below
        {{1270, 100}, {980, 100}}, // at the right edge: moved left
        {{1279, 799}, {980, 499}}, // the corner
    };
    for (const auto& c : cases)
        EXPECT_EQ(cuiPlaceNearPointer(c.pointer, size, work), c.expected) << c.pointer.x();
    // No room above the pointer either: pulled up to the bottom edge.
    EXPECT_EQ(cuiPlaceNearPointer({640, 250}, size, QRect(0, 0, 1280, 400)), QPoint(490, 100));
}

} // namespace

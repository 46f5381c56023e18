// The window of list questions (Clone Write's plan, Restore Backup): what it shows and how
// each way of leaving it answers.

#include "ViewTestSupport.h"

#include "app/view/cuiListWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

class ListWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    ListWindowTest() {
        using Kind = cmcListQuestion::Kind;
        question.caption = "What Will Be Written";
        question.summary = "1 channel changed, 1 reset by the receiver's region rules.";
        question.lines = {{"Reset by the receiver's region rules", Kind::Heading},
                          {"Group A, channel 0-0: will be reset", Kind::Marked},
                          {"Memory CH / HAM / A", Kind::Heading},
                          {"Group A, channel 0-1: Frequency 1 → 2", Kind::Plain}};
        question.note = "Double-click a line to go to its sheet.";
        question.buttons = {"&Write"};
        question.copyButton = "&Copy";
        question.cancelButton = "Cancel";
    }

    cmcListQuestion question;
};

TEST_F(ListWindowTest, ShowsTheSummaryHeadingsAndMarkedLines) {
    cuiListWindow window(question, nullptr);
    EXPECT_EQ(window.windowTitle(), "What Will Be Written");
    EXPECT_EQ(window.Summary()->text().toStdString(), question.summary);
    ASSERT_EQ(window.List()->count(), 4);
    EXPECT_TRUE(window.List()->item(0)->font().bold());
    EXPECT_FALSE(window.List()->item(1)->font().bold());
    EXPECT_FALSE(window.List()->item(1)->icon().isNull()); // the reset is marked
    EXPECT_NE(window.List()->item(1)->foreground(), window.List()->item(3)->foreground());
    EXPECT_EQ(window.List()->currentRow(), 1); // the first line that is not a heading
    ASSERT_EQ(window.Buttons().size(), 1u);
    EXPECT_TRUE(window.Buttons()[0]->isDefault());

    QTest::mouseClick(window.CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              question.summary + "\n" + "Reset by the receiver's region rules\n" +
                  "! Group A, channel 0-0: will be reset\n" + "Memory CH / HAM / A\n" +
                  "  Group A, channel 0-1: Frequency 1 → 2\n");
}

TEST_F(ListWindowTest, EachWayOutAnswers) {
    struct Case {
        const char* name;
        std::function<void(cuiListWindow&)> act;
        int button;
        int line;
        bool activated;
    };
    const Case cases[] = {
        {"Write", [](cuiListWindow& w) { QTest::mouseClick(w.Buttons()[0], Qt::LeftButton); }, 0, 1,
         false},
        {"Cancel", [](cuiListWindow& w) { QTest::mouseClick(w.CancelButton(), Qt::LeftButton); },
         -1, -1, false},
        {"Escape", [](cuiListWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }, -1, -1, false},
        {"Line activated",
         [](cuiListWindow& w) {
             w.List()->setCurrentRow(3);
             emit w.List()->itemActivated(w.List()->item(3));
         },
         -1, 3, true},
        {"Enter on a line",
         [](cuiListWindow& w) {
             w.List()->setFocus();
             w.List()->setCurrentRow(3);
             QTest::keyClick(w.List(), Qt::Key_Return);
         },
         -1, 3, true},
    };
    for (const Case& test : cases) {
        cuiListWindow window(question, nullptr);
        window.show();
        test.act(window);
        EXPECT_FALSE(window.isVisible()) << test.name;
        EXPECT_EQ(window.Answer().button, test.button) << test.name;
        EXPECT_EQ(window.Answer().line, test.line) << test.name;
        EXPECT_EQ(window.Answer().activated, test.activated) << test.name;
    }
}

// A question for choosing a line starts in the lines: Down and Enter choose the next one.
TEST_F(ListWindowTest, AChoiceOfLinesStartsInTheLines) {
    question.chooseLine = true;
    cuiListWindow window(question, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.List()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Answer().line, 2);
    EXPECT_TRUE(window.Answer().activated);
}

// Fields parted by tabs (a backup's time, comment and standing) line up in columns from
// line to line, and a screen reader hears them as a phrase.
TEST_F(ListWindowTest, FieldsLineUpInColumns) {
    question.lines = {{"a\tMIDDLE\tEND"}, {"aaaaaaaaaaaaaaaa\tMIDDLE\tEND"}, {"a\t\tEND"}};
    cuiListWindow window(question, nullptr);
    window.show();
    QListWidget& list = *window.List();
    list.setCurrentItem(nullptr);
    list.clearSelection();
    QCoreApplication::processEvents();
    const QImage image = list.viewport()->grab().toImage();
    const QRect first = list.visualItemRect(list.item(0));
    const QRect second = list.visualItemRect(list.item(1));
    // Past the longer first field (after the lines' room for a mark) the two lines hold the
    // same pixels.
    const QFontMetrics metrics = list.fontMetrics();
    const int from = first.left() + list.iconSize().width() +
                     metrics.horizontalAdvance("aaaaaaaaaaaaaaaa") + 2 * metrics.averageCharWidth();
    const QRect part(from, first.top(), first.width() - from, first.height());
    ASSERT_GT(part.width(), 0);
    EXPECT_EQ(image.copy(part), image.copy(part.translated(0, second.top() - first.top())));
    EXPECT_EQ(list.item(1)->data(Qt::AccessibleTextRole).toString(),
              "aaaaaaaaaaaaaaaa, MIDDLE, END");
    EXPECT_EQ(list.item(2)->data(Qt::AccessibleTextRole).toString(), "a, END");
}

} // namespace

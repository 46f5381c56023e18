// How a sheet looks and moves as the user comes and goes: the scroll position kept, the
// keys every spreadsheet has.

#include "TaskWindow.h"

#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiTree.h"

#include <QAction>
#include <QTest>

#include <set>

namespace {

class SheetViewTask : public TaskWindow {
  protected:
    std::string FirstGroup() {
        return "[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(form->Tree()->Groups().at(0));
    }
    // Whether the whole cell is inside the grid's view.
    bool OnShow(int row, int logicId) {
        const QRect cell = Sheet().Grid().CellRect(Column(row, logicId), row);
        return Sheet().Grid().viewport()->rect().contains(cell);
    }
};

// Coming back to a group, after another sheet or after Undo, shows it as it was left: the
// cursor's column in view without pushing the names out of it.
TEST_F(SheetViewTask, ASheetComesBackScrolledAsItWasLeft) {
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    TypeInCell(Row(first), CL_Mch_Freq, "146.5");
    ASSERT_TRUE(Click(Row(first), CL_Mch_Freq));
    const int left = Sheet().Grid().LeftColumn();
    ASSERT_TRUE(OnShow(Row(first), CL_Mch_Name_Name));

    OpenNode("Common Setting");
    OpenAddress(FirstGroup());
    EXPECT_EQ(Sheet().Grid().LeftColumn(), left);
    EXPECT_TRUE(OnShow(Row(first), CL_Mch_Name_Name));
    EXPECT_EQ(Sheet().CurrentColumn(), Column(Row(first), CL_Mch_Freq));

    TypeInCell(Row(first), CL_Mch_Freq, "147");
    Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Shown(Row(first), CL_Mch_Freq), "146.500000");
    EXPECT_TRUE(OnShow(Row(first), CL_Mch_Name_Name));
    EXPECT_TRUE(OnShow(Row(first), CL_Mch_Freq));

    // Scrolled far right and left there, the sheet comes back scrolled so.
    ASSERT_TRUE(Click(Row(first), CL_Mch_Vsc));
    const int right = Sheet().Grid().LeftColumn();
    ASSERT_GT(right, left);
    OpenNode("Common Setting");
    OpenAddress(FirstGroup());
    EXPECT_EQ(Sheet().Grid().LeftColumn(), right);
    EXPECT_TRUE(OnShow(Row(first), CL_Mch_Vsc));
}

// Home and End go along the row, Ctrl+Home and Ctrl+End to the first and last channel;
// with Shift they select.
TEST_F(SheetViewTask, HomeAndEndAsInEverySpreadsheet) {
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    for (int n = 0; n < 3; ++n)
        TypeInCell(Row(first + n), CL_Mch_Freq, std::to_string(146 + n));
    const int count = first + 3;
    ASSERT_TRUE(Click(Row(1), CL_Mch_Freq));

    Key(Qt::Key_End);
    EXPECT_EQ(Sheet().CurrentRow(), Row(1));
    EXPECT_EQ(Sheet().CurrentColumn(), Column(Row(1), CL_Mch_Vsc)) << "the row's last cell";
    Key(Qt::Key_Home);
    EXPECT_EQ(Sheet().CurrentColumn(), Column(Row(1), CL_Mch_Name_Name));
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Sheet().CurrentRow(), Row(count - 1)) << "the last channel, not the new row";
    Key(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Sheet().CurrentRow(), Row(0));
    const int column = Sheet().CurrentColumn();
    for (int n = 0; n < count; ++n)
        EXPECT_TRUE(Sheet().IsMarked(column, Row(n))) << n;
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Sheet().CurrentRow(), Row(count - 1));
    Key(Qt::Key_Down);
    Key(Qt::Key_End, Qt::ControlModifier); // from the new row itself nothing is further
    EXPECT_EQ(Sheet().CurrentRow(), Row(count));
}

// A selection dragged above the rows on show scrolls up row by row and grows with it.
TEST_F(SheetViewTask, DraggingPastTheTopScrollsAndTheSelectionFollows) {
    while (Main().Organisation().ChannelsOfGroup(0) < 60)
        Main().Events().Send(ev::InsertChannel, 0, Main().Organisation().ChannelsOfGroup(0));
    OpenAddress(FirstGroup());
    cuiGrid& grid = Sheet().Grid();
    ASSERT_TRUE(Click(Row(59), CL_Mch_Freq));
    const int top = grid.TopRow();
    ASSERT_GT(top, Row(20)) << "scrolled down to the last channels";
    const int column = Column(Row(59), CL_Mch_Freq);
    const QPoint start = grid.CellRect(column, top + 1).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(grid.viewport(), QPoint(start.x(), 2)); // over the heading, above the rows
    QTest::qWait(600);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(start.x(), 2));
    EXPECT_LT(grid.TopRow(), top - 3) << "scrolled on while the button was held";
    EXPECT_EQ(Sheet().CurrentRow(), grid.TopRow());
    for (int row = grid.TopRow(); row <= top + 1; ++row)
        EXPECT_TRUE(Sheet().IsMarked(column, row)) << row;
    const int stopped = grid.TopRow();
    QTest::qWait(200);
    EXPECT_EQ(grid.TopRow(), stopped) << "released, it stops";
}

// The cell's popup menu opens from the keyboard, every item with an access key of its own;
// the Edit menu offers the sheet's commands only while the user is in the sheet.
TEST_F(SheetViewTask, ThePopupMenuFromTheKeyboardAndTheEditMenuFollowingTheFocus) {
    OpenAddress(FirstGroup());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    TypeInCell(Row(first), CL_Mch_Freq, "146.5");
    ASSERT_TRUE(Click(Row(first), CL_Mch_Freq));
    for (const auto& key :
         {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        Key(key.first, key.second);
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr) << "no popup menu";
        std::set<QChar> keys;
        for (QAction* item : popup->actions()) {
            if (item->isSeparator()) continue;
            const QString text = item->text();
            const qsizetype mark = text.indexOf(QLatin1Char('&'));
            ASSERT_GE(mark, 0) << text.toStdString();
            EXPECT_TRUE(keys.insert(text[mark + 1].toUpper()).second) << text.toStdString();
            EXPECT_NE(text[mark + 1].toUpper(), QLatin1Char('U')) << "U is Undo's";
        }
        EXPECT_GT(keys.size(), 5u);
        popup->close();
    }

    EXPECT_NE(MenuItem("Edit/Delete"), nullptr) << "in the sheet";
    form->Tree()->setFocus();
    Settle();
    EXPECT_EQ(MenuItem("Edit/Delete"), nullptr) << "in the tree";
    platform.messages.script({answer::Ok});
    Key(Qt::Key_Delete); // in the tree it deletes nothing of the sheet
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), first + 1);
}

} // namespace

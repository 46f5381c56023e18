// Arranging a group in the window: Edit > Sort... through its dialog, and a value typed or
// chosen with several rows selected; each is one step that Undo takes back to the bytes
// it started from.

#include "TaskWindow.h"

#include "app/view/cuiDuplicatesWindow.h"
#include "app/view/cuiFillSeriesDialog.h"
#include "app/view/cuiSortDialog.h"
#include "model/cmcOrganisation.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiTree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

class ArrangeTask : public TaskWindow {
  protected:
    // Group 0 gets channels of their own names on its New row, after the two it holds.
    void AddChannels(const std::vector<std::pair<std::string, std::string>>& channels) {
        OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                    std::to_string(form->Tree()->Groups().at(0)));
        for (const auto& [frequency, name] : channels) {
            const int row = Row(Main().Organisation().ChannelsOfGroup(0));
            TypeInCell(row, CL_Mch_Freq, frequency);
            TypeInCell(row, CL_Mch_Name_Name, name);
        }
    }
    std::vector<std::string> Column(int logicId) {
        std::vector<std::string> shown;
        for (int i = 0; i < Main().Organisation().ChannelsOfGroup(0); ++i)
            shown.push_back(Shown(Row(i), logicId));
        return shown;
    }
    // Answers the sort dialog once it is up: the column by its heading, the direction.
    void AnswerSort(const QString& heading, bool descending) {
        QTimer::singleShot(0, [heading, descending] {
            auto* dialog = dynamic_cast<cuiSortDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            const int at = dialog->Columns()->findText(heading);
            ASSERT_GE(at, 0) << heading.toStdString();
            dialog->Columns()->setCurrentIndex(at);
            dialog->Descending()->setChecked(descending);
            dialog->Buttons()->button(QDialogButtonBox::Ok)->click();
        });
    }
    void ImageNow(cmcEeprom& image) { image.Assign(Main().Organisation().Image()); }
    // Clicks the item of the open pick list that shows the text.
    void ClickInPickList(const std::string& item) {
        cuiFlector* list = cuiFlector::Current();
        ASSERT_TRUE(list && list->isVisible()) << "no pick list";
        cuiSheet& choices = list->Sheet();
        for (int r = 0; r < choices.Layout().Rows(); ++r)
            for (int c = 0; c < choices.Layout().Columns(); ++c) {
                if (!choices.CellAt(c, r).IsSelectable() || choices.DisplayText(c, r) != item)
                    continue;
                const QPoint at = choices.Grid().CellRect(c, r).center();
                QTest::mouseMove(choices.Grid().viewport(), at);
                QTest::mouseClick(choices.Grid().viewport(), Qt::LeftButton, {}, at);
                Settle();
                return;
            }
        FAIL() << "no item " << item;
    }
};

TEST_F(ArrangeTask, SortByNameThroughTheDialogAndUndoIt) {
    AddChannels({{"146", "DELTA"}, {"145.5", "ALPHA"}, {"144", "CHARLIE"}});
    const std::vector<std::string> defaults = Column(CL_Mch_Freq);
    cmcEeprom before;
    ImageNow(before);
    ASSERT_TRUE(Click(Row(2), CL_Mch_Freq));
    AnswerSort(QStringLiteral("Name"), false);
    Menu("Edit/Sort...");
    // The two unnamed channels of the new document go last, in their order.
    EXPECT_EQ(Column(CL_Mch_Name_Name),
              (std::vector<std::string>{"ALPHA", "CHARLIE", "DELTA", "", ""}));
    EXPECT_EQ(Column(CL_Mch_Freq),
              (std::vector<std::string>{"145.500000", "144.000000", "146.000000", defaults[0],
                                        defaults[1]}));
    EXPECT_NE(StatusText().find("Sorted"), std::string::npos) << StatusText();
    EXPECT_EQ(DocumentFault(), "");

    AnswerSort(QStringLiteral("Frequency"), true);
    Menu("Edit/Sort...");
    std::vector<std::string> frequencies = Column(CL_Mch_Freq);
    EXPECT_TRUE(std::is_sorted(
        frequencies.rbegin(), frequencies.rend(),
        [](const std::string& a, const std::string& b) { return std::stod(a) < std::stod(b); }));
    EXPECT_TRUE(form->UndoItem()->text().startsWith(QStringLiteral("&Undo Sort")));
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    cmcEeprom after;
    ImageNow(after);
    EXPECT_EQ(FirstDifference(before, after), "no address");
}

TEST_F(ArrangeTask, CancelledSortChangesNothing) {
    AddChannels({{"146", "B"}, {"145.5", "A"}});
    cmcEeprom before;
    ImageNow(before);
    ASSERT_TRUE(Click(Row(0), CL_Mch_Freq));
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<cuiSortDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->SelectionOnly()->isEnabled()); // no rows selected
        dialog->reject();
    });
    Menu("Edit/Sort...");
    cmcEeprom after;
    ImageNow(after);
    EXPECT_EQ(FirstDifference(before, after), "no address");
}

TEST_F(ArrangeTask, TypingWithRowsSelectedSetsThemAllAsOneStep) {
    AddChannels({{"146", "A"}, {"145.5", "B"}, {"144", "C"}});
    cmcEeprom before;
    ImageNow(before);
    const std::vector<std::string> first = Column(CL_Mch_Freq);
    ASSERT_TRUE(Click(Row(2), CL_Mch_Freq));
    ASSERT_TRUE(Click(Row(4), CL_Mch_Freq, Qt::ShiftModifier));
    Type("145.25");
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(Column(CL_Mch_Freq), (std::vector<std::string>{first[0], first[1], "145.250000",
                                                             "145.250000", "145.250000"}));
    // A choice from the pick list goes to the selected rows too.
    ASSERT_TRUE(Click(Row(0), CL_Mch_Scan_Skip));
    ASSERT_TRUE(Click(Row(1), CL_Mch_Scan_Skip, Qt::ShiftModifier));
    Key(Qt::Key_Return);
    ClickInPickList("PSkip");
    EXPECT_EQ(Column(CL_Mch_Scan_Skip),
              (std::vector<std::string>{"PSkip", "PSkip", "OFF", "OFF", "OFF"}));
    EXPECT_EQ(DocumentFault(), "");
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    cmcEeprom after;
    ImageNow(after);
    EXPECT_EQ(FirstDifference(before, after), "no address") << "two steps, each undone whole";
}

TEST_F(ArrangeTask, FindDuplicatesListsJumpsAndDeletesAsOneStep) {
    AddChannels({{"146", "A"}, {"145.5", "B"}, {"146", "C"}, {"147", "A"}});
    cmcEeprom before;
    ImageNow(before);
    ASSERT_TRUE(Click(Row(0), CL_Mch_Freq));
    Menu("Edit/Find Duplicates...");
    cuiDuplicatesWindow* window = form->DuplicatesWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    // Row 4 repeats row 2's frequency, row 5 row 2's name.
    std::vector<std::string> lines;
    for (int i = 0; i < window->List()->count(); ++i)
        lines.push_back(window->List()->item(i)->text().toStdString());
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("Initial, row 4: frequency 146.000000", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("as Initial, row 2"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "Initial, row 5: name \"A\", as Initial, row 2");
    EXPECT_EQ(window->State()->text().toStdString(), "2 duplicates");

    emit window->List()->itemActivated(window->List()->item(1));
    Settle();
    EXPECT_EQ(Sheet().CurrentRow(), Row(5));

    window->List()->item(0)->setSelected(true);
    window->List()->item(1)->setSelected(true);
    window->DeleteButton()->click();
    Settle();
    EXPECT_EQ(Main().Organisation().ChannelsOfGroup(0), 4);
    EXPECT_EQ(window->List()->count(), 0);
    EXPECT_EQ(DocumentFault(), "");
    window->close();
    EXPECT_TRUE(form->UndoItem()->text().startsWith(QStringLiteral("&Undo Delete")));
    form->UndoItem()->trigger();
    Settle();
    cmcEeprom after;
    ImageNow(after);
    EXPECT_EQ(FirstDifference(before, after), "no address") << "one step undoes the delete";
}

TEST_F(ArrangeTask, OneDuplicateIsCountedInTheSingular) {
    AddChannels({{"146", "A"}, {"146", "B"}});
    ASSERT_TRUE(Click(Row(0), CL_Mch_Freq));
    Menu("Edit/Find Duplicates...");
    cuiDuplicatesWindow* window = form->DuplicatesWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->State()->text().toStdString(), "1 duplicate");
    window->close();
}

TEST_F(ArrangeTask, FillSeriesThroughTheDialogAddsNamedChannels) {
    AddChannels({});
    cmcEeprom before;
    ImageNow(before);
    const int channels = Main().Organisation().ChannelsOfGroup(0);
    ASSERT_TRUE(Click(Row(channels), CL_Mch_Freq)); // the New row
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<cuiFillSeriesDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Start()->setText(QStringLiteral("118.000"));
        dialog->Step()->setText(QStringLiteral("0.025"));
        dialog->Count()->setValue(3);
        dialog->Name()->setText(QStringLiteral("AIR"));
        dialog->Buttons()->button(QDialogButtonBox::Ok)->click();
    });
    Menu("Edit/Fill Series...");
    ASSERT_EQ(Main().Organisation().ChannelsOfGroup(0), channels + 3);
    EXPECT_EQ(Shown(Row(channels + 2), CL_Mch_Freq), "118.050000");
    EXPECT_EQ(Shown(Row(channels + 2), CL_Mch_Name_Name), "AIR 3");
    EXPECT_EQ(DocumentFault(), "");
    EXPECT_TRUE(form->UndoItem()->text().startsWith(QStringLiteral("&Undo Fill Series")));
    form->UndoItem()->trigger();
    Settle();
    cmcEeprom after;
    ImageNow(after);
    EXPECT_EQ(FirstDifference(before, after), "no address") << "one step undoes the series";
}

TEST_F(ArrangeTask, ADoubleClickOnAHeadingSortsByItsColumn) {
    AddChannels({{"146", "B"}, {"145.5", "A"}});
    ASSERT_TRUE(Click(Row(0), CL_Mch_Freq));
    const int column = TaskWindow::Column(Row(0), CL_Mch_Name_Name);
    const QRect heading = Sheet().Grid().CellRect(column, Sheet().Grid().FixedRows() - 1);
    QString offered;
    QTimer::singleShot(0, [&offered] {
        auto* dialog = dynamic_cast<cuiSortDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        offered = dialog->Columns()->currentText();
        dialog->Buttons()->button(QDialogButtonBox::Ok)->click();
    });
    QTest::mouseDClick(Sheet().Grid().viewport(), Qt::LeftButton, {}, heading.center());
    Settle();
    EXPECT_EQ(offered.toStdString(), "Name");
    EXPECT_EQ(Column(CL_Mch_Name_Name), (std::vector<std::string>{"A", "B", "", ""}));
}

} // namespace

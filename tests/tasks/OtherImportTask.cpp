// A scanner tool's list read through File > Import > From Other Tools...: the preview shows
// the detected format, the rows with their notes and where they go; Cancel changes nothing,
// Import adds a category with a group per bank as one step that Undo takes back.

#include "TaskWindow.h"

#include "app/view/cuiOtherImportDialog.h"
#include "files/cmcCsvValues.h"
#include "files/cmcOtherList.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/view/cuiTree.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class OtherImportTask : public TaskWindow {
  protected:
    static std::string List(const char* name) {
        return (testenv::dataFolder() / "other" / name).string();
    }

    // Runs the menu item on a list with the preview answered by `act`.
    void ImportWith(std::function<void(cuiOtherImportDialog&)> act,
                    const std::string& list = List("scanner.csv")) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<cuiOtherImportDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = true;
            act(*dialog);
        });
        platform.dialogs.scriptOpen(list);
        Menu("File/Import/From Other Tools...");
        EXPECT_TRUE(shown);
    }

    std::string GroupName(int group) {
        datCh record = Main().Organisation().Record();
        record.Load(datKind::Group, group);
        std::string name = record.NameField();
        return name.erase(name.find_last_not_of(' ') + 1);
    }
};

std::string Cell(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

TEST_F(OtherImportTask, PreviewThenImportAsOneUndoStep) {
    cmcOrganisation& organisation = Main().Organisation();
    const int categories = organisation.CategoryCount();
    const int channels = organisation.TotalChannels();

    ImportWith([](cuiOtherImportDialog& dialog) {
        EXPECT_EQ(dialog.FormatBox()->currentIndex(), otherformat::Scanner);
        EXPECT_EQ(dialog.ColumnBox(OtherField::Frequency)->currentText().toStdString(),
                  "Frequency");
        ASSERT_EQ(dialog.Rows()->rowCount(), 4);
        EXPECT_EQ(Cell(dialog.Rows(), 0, 1), "154.430000");
        EXPECT_EQ(Cell(dialog.Rows(), 0, 5), "DTCS 023N");
        EXPECT_EQ(Cell(dialog.Rows(), 0, 9), "NFM → FM");
        EXPECT_EQ(Cell(dialog.Rows(), 3, 9), "tone 99.9 not on the receiver");
        EXPECT_EQ(Cell(dialog.Rows(), 2, 8), "Bank 2");
        EXPECT_NE(dialog.Summary()->text().toStdString().find("groups: 2"), std::string::npos);
        dialog.Placements()->button(0)->click();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(organisation.CategoryCount(), categories);
    EXPECT_EQ(organisation.TotalChannels(), channels);

    ImportWith([](cuiOtherImportDialog& dialog) {
        dialog.Placements()->button(0)->click(); // a new category, a group per bank
        ASSERT_TRUE(dialog.ImportButton()->isEnabled());
        dialog.ImportButton()->click();
    });
    ASSERT_EQ(organisation.CategoryCount(), categories + 1);
    EXPECT_EQ(organisation.TotalChannels(), channels + 4);
    const int first = organisation.FirstGroupOfCategory(categories);
    EXPECT_EQ(GroupName(first), "Bank 1");
    EXPECT_EQ(GroupName(first + 1), "Bank 2");
    EXPECT_EQ(DocumentFault(), "");

    Menu("Edit/Undo Import");
    EXPECT_EQ(organisation.CategoryCount(), categories);
    EXPECT_EQ(organisation.TotalChannels(), channels);
    EXPECT_EQ(DocumentFault(), "");
}

// With a group open the rows follow its last channel unless the user chooses otherwise.
TEST_F(OtherImportTask, RowsGoAfterTheOpenGroupsLastChannel) {
    OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                std::to_string(form->Tree()->Groups().at(0)));
    cmcOrganisation& organisation = Main().Organisation();
    const int before = organisation.ChannelsOfGroup(0);
    ImportWith([](cuiOtherImportDialog& dialog) {
        EXPECT_EQ(dialog.Placements()->checkedId(), 1);
        dialog.ImportButton()->click();
    });
    EXPECT_EQ(organisation.ChannelsOfGroup(0), before + 4);
    datCh last = organisation.Record();
    last.Load(datKind::Mch, organisation.LastChannelOfGroup(0));
    EXPECT_EQ(last.frequency, 155100000u);
    EXPECT_EQ(DocumentFault(), "");
}

// Every column of a generic list can be mapped again: the squelch tone taken from the
// encode tone's column lands in the stored channel.
TEST_F(OtherImportTask, GenericToneColumnsCanBeMappedAgain) {
    OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                std::to_string(form->Tree()->Groups().at(0)));
    cmcOrganisation& organisation = Main().Organisation();
    const int categories = organisation.CategoryCount();
    const std::string openGroup = GroupName(0);
    ImportWith(
        [&](cuiOtherImportDialog& dialog) {
            EXPECT_EQ(dialog.FormatBox()->currentIndex(), otherformat::Generic);
            EXPECT_EQ(dialog.ColumnBox(OtherField::ToneKind)->currentText().toStdString(), "Tone");
            QComboBox* squelch = dialog.ColumnBox(OtherField::CTone);
            EXPECT_EQ(squelch->currentText().toStdString(), "cToneFreq");
            EXPECT_EQ(Cell(dialog.Rows(), 2, 5), "TSQL 100.0");
            EXPECT_EQ(Cell(dialog.Rows(), 2, 8), openGroup);
            // The user picks the encode tone's column for the squelch tone, by keys.
            squelch->setFocus();
            QTest::keyClick(squelch, Qt::Key_Up);
            EXPECT_EQ(squelch->currentText().toStdString(), "rToneFreq");
            EXPECT_EQ(Cell(dialog.Rows(), 2, 5), "TSQL 88.5");
            dialog.Placements()->button(0)->click(); // a new category
            EXPECT_EQ(Cell(dialog.Rows(), 2, 8), "Group");
            dialog.ImportButton()->click();
        },
        List("generic.csv"));
    ASSERT_EQ(organisation.CategoryCount(), categories + 1);
    const int group = organisation.FirstGroupOfCategory(categories);
    EXPECT_EQ(GroupName(group), "Group");
    datCh tsql = organisation.Record();
    tsql.Load(datKind::Mch, organisation.FirstChannelOfGroup(group) + 2);
    EXPECT_EQ(tsql.frequency, 145350000u);
    EXPECT_EQ(std::string(CsvSpell(csvlist::Tone, tsql.tone)), "88.5Hz");
    EXPECT_EQ(DocumentFault(), "");
}

} // namespace

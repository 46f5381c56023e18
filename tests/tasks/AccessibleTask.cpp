// What a screen reader reads of the window: a group sheet as a table of its cells, the
// cursor's moves as focus on the cell, marks that say why, pick lists as lists.

#include "TaskWindow.h"

#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiAnnounce.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiTree.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QTest>

namespace {

struct clsHeardEvent {
    QAccessible::Event type;
    QObject* object;
    int child;
};

std::vector<clsHeardEvent>* heard = nullptr;

void Listen(QAccessibleEvent* event) {
    if (heard) heard->push_back({event->type(), event->object(), event->child()});
}

class AccessibleTask : public TaskWindow {
  protected:
    void SetUp() override {
        TaskWindow::SetUp();
        heard = &events;
        cuiSetAnnounceWitness(Listen);
        OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                    std::to_string(form->Tree()->Groups().at(0)));
    }
    void TearDown() override {
        cuiSetAnnounceWitness(nullptr);
        heard = nullptr;
        TaskWindow::TearDown();
    }

    QAccessibleInterface* GridInterface(cuiGrid& grid) {
        return QAccessible::queryAccessibleInterface(&grid);
    }
    QAccessibleTableInterface* Table() {
        QAccessibleInterface* grid = GridInterface(Sheet().Grid());
        return grid ? grid->tableInterface() : nullptr;
    }
    // The table column headed so, or -1.
    int ColumnHeaded(const QString& heading) {
        for (int column = 0; column < Table()->columnCount(); ++column)
            if (Table()->columnDescription(column) == heading) return column;
        return -1;
    }
    QAccessibleInterface* CellOf(int record, const QString& heading) {
        return Table()->cellAt(Row(record) - Sheet().Grid().FixedRows(), ColumnHeaded(heading));
    }

    std::string Headings() {
        QStringList all;
        for (int column = 0; column < Table()->columnCount(); ++column)
            all.append(Table()->columnDescription(column));
        return all.join('|').toStdString();
    }

    std::vector<clsHeardEvent> events;
};

TEST_F(AccessibleTask, AGroupSheetIsATableOfItsCellsUnderTheirHeadings) {
    QAccessibleInterface* grid = GridInterface(Sheet().Grid());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->role(), QAccessible::Table);
    // Named by the sheet's title: the group and what it holds.
    EXPECT_TRUE(grid->text(QAccessible::Name).startsWith("Initial"))
        << grid->text(QAccessible::Name).toStdString();
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Table()->rowCount(), Sheet().Grid().Rows() - Sheet().Grid().FixedRows());
    // Every column the user sees has a heading; joined headings come first.
    for (const char* heading : {"Name", "Name, No.", "Frequency", "Frequency, Dup", "TS", "Mode",
                                "Tone Squelch, TSQL", "Tone Squelch, Polarity", "VSC"})
        EXPECT_GE(ColumnHeaded(heading), 0) << heading << " in " << Headings();
    EXPECT_EQ(ColumnHeaded(""), -1);
    // This receiver has no canceller: its columns are cut, and not in the table either.
    ASSERT_EQ(Sheet().Grid().ColumnWidth(Column(Row(0), CL_Mch_Decode_RX)), 0);
    EXPECT_EQ(ColumnHeaded("Canceller"), -1);
    EXPECT_EQ(ColumnHeaded("Canceller, Freq"), -1);
    EXPECT_EQ(Table()->rowDescription(Row(0) - Sheet().Grid().FixedRows()), "0-0");

    QAccessibleInterface* frequency = CellOf(0, "Frequency");
    ASSERT_NE(frequency, nullptr);
    EXPECT_EQ(frequency->role(), QAccessible::Cell);
    EXPECT_EQ(frequency->text(QAccessible::Name), "Frequency");
    EXPECT_EQ(frequency->text(QAccessible::Value), "145.000000");
    ASSERT_NE(frequency->textInterface(), nullptr);
    EXPECT_EQ(frequency->textInterface()->text(0, frequency->textInterface()->characterCount()),
              "145.000000");
    EXPECT_TRUE(frequency->state().focusable);
    EXPECT_EQ(frequency->tableCellInterface()->rowIndex(), Row(0) - Sheet().Grid().FixedRows());
    EXPECT_EQ(grid->indexOfChild(frequency),
              frequency->tableCellInterface()->rowIndex() * Table()->columnCount() +
                  ColumnHeaded("Frequency"));
}

TEST_F(AccessibleTask, TheCursorsMovesAreFocusOnTheCellAndEditsAreHeard) {
    ASSERT_TRUE(Click(Row(0), CL_Mch_Mode));
    events.clear();
    Key(Qt::Key_Left);
    QAccessibleInterface* step = CellOf(0, "TS");
    ASSERT_NE(step, nullptr);
    const int index = GridInterface(Sheet().Grid())->indexOfChild(step);
    bool focused = false;
    for (const clsHeardEvent& event : events)
        focused |= event.type == QAccessible::Focus && event.child == index;
    EXPECT_TRUE(focused);
    EXPECT_TRUE(step->state().focused);
    EXPECT_EQ(GridInterface(Sheet().Grid())->focusChild(), step);

    events.clear();
    TypeInCell(Row(0), CL_Mch_Freq, "146.52");
    bool valueHeard = false;
    for (const clsHeardEvent& event : events)
        valueHeard |= event.type == QAccessible::ValueChanged;
    EXPECT_TRUE(valueHeard);
    EXPECT_EQ(CellOf(0, "Frequency")->text(QAccessible::Value), "146.520000");
}

TEST_F(AccessibleTask, AMarkedCellSaysWhyInItsDescriptionAndTheStatusBar) {
    EXPECT_EQ(CellOf(0, "Frequency")->text(QAccessible::Description), "");
    // A channel beyond the receiver's range, as a file from elsewhere may bring it.
    cmcOrganisation& organisation = Main().Organisation();
    datCh channel = organisation.Record();
    channel.Load(datKind::Mch, 0);
    channel.frequency = 3500000000u;
    channel.offset = 1000; // no multiple of any step
    channel.Store(datKind::Mch, 0);
    Sheet().Grid().UpdateAll();
    const QString why = CellOf(0, "Frequency")->text(QAccessible::Description);
    EXPECT_TRUE(why.startsWith("Error: the frequency is above the receiver's range"))
        << why.toStdString();
    EXPECT_TRUE(CellOf(0, "Frequency, Offset")
                    ->text(QAccessible::Description)
                    .startsWith("Error: the offset is no multiple"));
    EXPECT_EQ(CellOf(0, "Mode")->text(QAccessible::Description), "");
    ASSERT_TRUE(Click(Row(0), CL_Mch_Freq));
    EXPECT_EQ(QString::fromStdString(StatusText()).trimmed(), why);
}

TEST_F(AccessibleTask, APickListIsAListOfItsValues) {
    ASSERT_TRUE(Click(Row(0), CL_Mch_Mode));
    Key(Qt::Key_Return);
    cuiFlector* list = cuiFlector::Current();
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* items = GridInterface(list->Sheet().Grid());
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->role(), QAccessible::List);
    QStringList texts;
    for (int i = 0; i < items->childCount(); ++i) {
        EXPECT_EQ(items->child(i)->role(), QAccessible::ListItem);
        texts.append(items->child(i)->text(QAccessible::Name));
    }
    EXPECT_TRUE(texts.contains("FM")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("AM")) << texts.join('|').toStdString();
    Key(Qt::Key_Escape);
}

// A name over two channels is one cell spanning their rows; their frequencies stay two.
TEST_F(AccessibleTask, ANameOverTwoChannelsIsOneCellSpanningThem) {
    cmcOrganisation& organisation = Main().Organisation();
    datCh first = organisation.Record(), second = organisation.Record();
    first.Load(datKind::Mch, 0);
    second.Load(datKind::Mch, 1);
    second.nameIndex = first.nameIndex;
    second.Store(datKind::Mch, 1);
    organisation.RecountNames(0);
    ASSERT_EQ(organisation.ChannelsOfName(0), 2);
    OpenNode("Common Setting");
    OpenAddress("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                std::to_string(form->Tree()->Groups().at(0)));
    QAccessibleInterface* name = CellOf(0, "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(CellOf(1, "Name"), name);
    EXPECT_EQ(name->tableCellInterface()->rowExtent(), 2);
    EXPECT_NE(CellOf(1, "Frequency"), CellOf(0, "Frequency"));
    EXPECT_EQ(CellOf(1, "Frequency")->tableCellInterface()->rowExtent(), 1);
}

// The tree is named; windows that are dialogs to the user read as dialogs with their titles.
TEST_F(AccessibleTask, TheTreeAndTheDialogsAreNamed) {
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Tree())->text(QAccessible::Name),
              "Sheets");
    Menu("Help/About Pelham");
    QWidget* about = QApplication::activeWindow();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == "About Pelham") about = window;
    ASSERT_NE(about, nullptr);
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(about);
    EXPECT_EQ(box->role(), QAccessible::Dialog);
    EXPECT_EQ(box->text(QAccessible::Name), "About Pelham");
    about->close();
    Settle();
}

} // namespace

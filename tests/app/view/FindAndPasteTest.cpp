#include "ViewTestSupport.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/cuiFindBar.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/fake/cmcFakePlatform.h"
#include "platform/qt/gui/cmcQtPlatform.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiSheet.h"
#include "sheet/view/cuiTree.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The main window on the offscreen display, active, with the desktop's real clipboard.
class FindAndPasteTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    void SetUp() override {
        cmcPlatform installed = cmcPlatform::get();
        installed.clipboard = &desktop;
        cmcPlatform::install(installed);
        process = std::make_unique<indProcess>();
        form = std::make_unique<TForm1>(process->Main());
        form->ShowWindow();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Settle();
    }

    void TearDown() override {
        form.reset();
        process.reset();
    }

    cmcOrganisation& Org() { return process->Main().Organisation(); }
    iuiTree& Tree() { return *form->Tree(); }
    cuiSheet& Sheet() { return *form->Sheet(); }

    void Settle() {
        QTest::qWait(250);
        for (int i = 0; i < 10; ++i) {
            platform.clock.advance(50);
            QTest::qWait(1);
        }
    }

    void OpenGroup(int position) {
        const std::string address = "[St_CNBank]GI_Sheet_MemoryCH,Group " +
                                    std::to_string(Tree().Groups().at(size_t(position)));
        Tree().setCurrentItem(Tree().FindNode(address));
        Settle();
        ASSERT_EQ(form->OpenSheetAddress(), address);
    }

    // The grid column of a logic id in a row.
    int ColumnOf(int logicId, int row) {
        for (int c = 0; c < Sheet().Layout().Columns(); ++c)
            if (Sheet().CellAt(c, row).logicId == logicId) return c;
        return -1;
    }

    const cmcCellObj& CurrentCell() {
        return Sheet().CellAt(Sheet().CurrentColumn(), Sheet().CurrentRow());
    }

    datCh Load(uint32_t kind, int index) {
        datCh record = Org().Record();
        record.Load(kind, index);
        return record;
    }

    cmcFakePlatform platform;
    cmcQtClipboard desktop;
    std::unique_ptr<indProcess> process;
    std::unique_ptr<TForm1> form;
};

TEST_F(FindAndPasteTest, SpreadsheetRowsPastedOnTheNewRowOfAGroupAreAdded) {
    OpenGroup(0);
    const int before = Org().ChannelsOfGroup(0);
    const int fixed = Sheet().Grid().FixedRows();
    ASSERT_TRUE(Sheet().MoveTo(ColumnOf(CL_Mch_Freq, fixed), fixed));
    Sheet().Grid().setFocus();
    QTest::keyClick(&Sheet().Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("CH No\t"));

    const int newRow = fixed + before;
    ASSERT_TRUE(Sheet().MoveTo(ColumnOf(CL_Mch_Freq, newRow), newRow));
    // Copied in a spreadsheet while the cursor waits on the new row.
    QGuiApplication::clipboard()->setText("CH No\tFrequency\tMode\n"
                                          "0\t145.5\tFM\n"
                                          "1\t433.025\tAM\n");
    Settle();
    QTest::keyClick(&Sheet().Grid(), Qt::Key_V, Qt::ControlModifier);
    Settle();
    ASSERT_EQ(Org().ChannelsOfGroup(0), before + 2);
    const int added = Org().FirstChannelOfGroup(0) + before;
    EXPECT_EQ(Load(datKind::Mch, added).frequency, 145500000u);
    EXPECT_EQ(Load(datKind::Mch, added + 1).frequency, 433025000u);
    EXPECT_EQ(Sheet().DisplayText(ColumnOf(CL_Mch_Freq, newRow + 1), newRow + 1), "433.025000");
    EXPECT_TRUE(platform.messages.shown().empty());
}

TEST_F(FindAndPasteTest, FindStartsAtTheCursorAndStepsThroughTheSheetsInTreeOrder) {
    const int slot = Org().FirstChannelOfGroup(0);
    datCh channel = Load(datKind::Mch, slot);
    channel.frequency = 147125000;
    channel.StoreAndReload();
    datCh edge = Load(datKind::PgSrch, 5);
    edge.SetInUse(true);
    edge.secondFrequency = 147125000;
    edge.frequency = 148000000;
    edge.StoreAndReload();
    // The search starts from the cursor, on edge 0 of the program-search sheet.
    const std::string edges = "[St_ColCut]GI_Sheet_ScanEdge,ScanEdge";
    Tree().setCurrentItem(Tree().FindNode(edges));
    Settle();
    ASSERT_EQ(form->OpenSheetAddress(), edges);

    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    cuiFindBar& bar = *form->FindBar();
    ASSERT_TRUE(bar.isVisible());
    ASSERT_TRUE(bar.Field()->hasFocus());
    QTest::keyClicks(bar.Field(), "147.125");
    QTest::keyClick(bar.Field(), Qt::Key_Return);
    EXPECT_EQ(bar.State()->text(), "2 of 2");
    EXPECT_EQ(CurrentCell().logicId, CL_PgSrch_Freq_Low);
    EXPECT_EQ(CurrentCell().index, 5);
    EXPECT_TRUE(bar.Field()->hasFocus()); // the user goes on typing or stepping

    QTest::keyClick(bar.Field(), Qt::Key_F3); // wraps to the first, in a group
    EXPECT_EQ(bar.State()->text(), "1 of 2");
    EXPECT_NE(form->OpenSheetAddress(), edges);
    EXPECT_EQ(CurrentCell().logicId, CL_Mch_Freq);
    EXPECT_EQ(CurrentCell().index, slot);
    QTest::keyClick(form.get(), Qt::Key_F3);
    EXPECT_EQ(form->OpenSheetAddress(), edges);
    EXPECT_EQ(bar.State()->text(), "2 of 2");
    QTest::keyClick(bar.Field(), Qt::Key_Return, Qt::ShiftModifier); // and back
    EXPECT_EQ(bar.State()->text(), "1 of 2");
    EXPECT_EQ(CurrentCell().index, slot);

    bar.Field()->setText("no such thing");
    QTest::keyClick(bar.Field(), Qt::Key_Return);
    EXPECT_EQ(bar.State()->text(), "Not found");
    EXPECT_EQ(CurrentCell().index, slot); // nothing moved

    QTest::keyClick(bar.Field(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(Sheet().Grid().hasFocus());
}

} // namespace

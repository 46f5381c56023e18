#include "ViewTestSupport.h"

#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/fake/cmcFakePlatform.h"
#include "sheet/view/cuiSheet.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const std::string GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";
const std::string CategorySheet = "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp";

class UndoWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    UndoWindowTest() {
        form.resize(1000, 600);
        form.ShowWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    indMain& main() { return process.Main(); }
    cmcOrganisation& org() { return main().Organisation(); }
    cuiSheet& sheet() { return *form.Sheet(); }
    int DataRow(int record) { return sheet().Grid().FixedRows() + record; }
    int ColumnOf(int logicId, int row) {
        for (int column = 0; column < sheet().Layout().Columns(); ++column)
            if (sheet().CellAt(column, row).logicId == logicId) return column;
        return -1;
    }
    datCh Channel(int position) {
        datCh record = org().Record();
        record.Load(datKind::Mch, org().FirstChannelOfGroup(0) + position);
        return record;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &form, key, modifiers);
    }

    // Group 0 with four channels whose first two share one name, as a loaded document.
    void LoadNameBlock() {
        while (org().ChannelsOfGroup(0) < 4)
            main().Events().Send(ev::InsertChannel, 0, org().ChannelsOfGroup(0));
        datCh second = Channel(1);
        second.nameIndex = Channel(0).nameIndex;
        second.StoreAndReload();
        main().UndoCommands().Reset(); // the document as opened: no steps before it
        main().MarkSaved();
        main().OpenSheet(GroupSheet);
        sheet().Grid().setFocus();
    }

    cmcFakePlatform platform;
    indProcess process;
    TForm1 form{process.Main()};
};

TEST_F(UndoWindowTest, CtrlZAfterDeletingANameBlockRestoresItAndReopensTheSheetThere) {
    LoadNameBlock();
    const uint32_t third = Channel(2).frequency;
    const int nameColumn = ColumnOf(CL_Mch_Name_Name, DataRow(0));
    ASSERT_TRUE(sheet().MoveTo(nameColumn, DataRow(0)));
    ASSERT_TRUE(sheet().IsMarked(nameColumn, DataRow(1))) << "the name's block";
    platform.messages.script({answer::Ok});
    Key(Qt::Key_Delete);
    ASSERT_EQ(org().ChannelsOfGroup(0), 2);
    EXPECT_EQ(form.UndoItem()->text().toStdString(), "&Undo Delete\tCtrl+Z");

    main().OpenSheet(CategorySheet); // the user looks elsewhere
    form.activateWindow();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(org().ChannelsOfGroup(0), 4);
    EXPECT_EQ(Channel(1).nameIndex, Channel(0).nameIndex) << "the two channels share a name";
    EXPECT_EQ(Channel(2).frequency, third);
    ASSERT_NE(form.Sheet(), nullptr);
    EXPECT_EQ(sheet().Address(), GroupSheet);
    EXPECT_EQ(sheet().CurrentRow(), DataRow(0));
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_FALSE(form.UndoItem()->isEnabled());
    EXPECT_TRUE(form.RedoItem()->isEnabled());
    EXPECT_EQ(form.RedoItem()->text().toStdString(), "&Redo Delete\tCtrl+Y");

    // Both redo keys.
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(org().ChannelsOfGroup(0), 2);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(org().ChannelsOfGroup(0), 2);
    EXPECT_EQ(main().Modified(), 1);
}

TEST_F(UndoWindowTest, CtrlZWhileTypingInACellIsTheEditorsOwn) {
    LoadNameBlock();
    const int row = DataRow(3);
    ASSERT_TRUE(sheet().MoveTo(ColumnOf(CL_Mch_Freq, row), row));
    platform.messages.script({answer::Ok});
    Key(Qt::Key_Delete);
    ASSERT_EQ(org().ChannelsOfGroup(0), 3);

    ASSERT_TRUE(sheet().MoveTo(ColumnOf(CL_Mch_Freq, DataRow(0)), DataRow(0)));
    Key(Qt::Key_1);
    Key(Qt::Key_4);
    ASSERT_TRUE(sheet().EditorOpen());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(sheet().EditorOpen());
    EXPECT_EQ(org().ChannelsOfGroup(0), 3) << "the deletion stays";
    EXPECT_TRUE(main().UndoCommands().CanUndo());
}

TEST_F(UndoWindowTest, TheEditMenuLeadsWithUndoAndRedo) {
    LoadNameBlock();
    QMenu* edit = form.EditMenu();
    emit edit->aboutToShow();
    ASSERT_GE(edit->actions().size(), 3);
    EXPECT_EQ(edit->actions()[0], form.UndoItem());
    EXPECT_EQ(edit->actions()[1], form.RedoItem());
    EXPECT_TRUE(edit->actions()[2]->isSeparator());
    EXPECT_FALSE(form.UndoItem()->isEnabled());
    EXPECT_EQ(form.UndoItem()->text().toStdString(), "&Undo\tCtrl+Z");
    EXPECT_GT(edit->actions().size(), 3) << "the sheet's own items follow";
}

} // namespace

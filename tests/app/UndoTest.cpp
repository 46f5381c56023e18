#include "AppTestSupport.h"

#include "app/indDocumentFile.h"
#include "app/indUndoCommands.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcCellCapsule.h"
#include "sheet/cmcCellNames.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using testenv::TempFolder;

const std::string GroupSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";
const std::string CategorySheet = "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp";

// A main window with a sheet whose cursor the test sets, recording the sheets it shows.
class SheetWindow : public FakeMainWindow {
  public:
    bool ShowSheet(const std::string& shown, const std::array<int, 4>& at, bool, bool) override {
        address = shown;
        position = at;
        opened.push_back(shown);
        return true;
    }
    bool CloseSheetView(std::array<int, 4>& at, bool& hadFocus) override {
        at = position;
        hadFocus = false;
        address.clear();
        return true;
    }
    bool SheetOpen() const override { return !address.empty(); }
    std::string OpenSheetAddress() const override { return address; }
    std::array<int, 4> SheetPosition() const override { return position; }

    std::string address;
    std::array<int, 4> position{-1, -1, -1, -1};
    std::vector<std::string> opened;
};

// The organisation counts the tree and the sheets are built from.
struct Counts {
    int categories, groups, channels, firstGroup;
    bool operator==(const Counts&) const = default;
};

class UndoTest : public ::testing::Test {
  public:
    UndoTest() {
        platform.folders.documents_ = folder.path().string();
        main().CreateUi(window);
        window.ShowWindow();
        window.address = GroupSheet;
    }
    ~UndoTest() override { main().WindowClosed(); }

    indMain& main() { return process.Main(); }
    indUndoCommands& undo() { return main().UndoCommands(); }
    std::vector<uint8_t> Image() {
        const cmcEeprom& image = main().WorkingImage();
        return {image.Data(), image.Data() + image.GetSize()};
    }
    Counts CountsNow() {
        cmcOrganisation& org = main().Organisation();
        return {org.CategoryCount(), org.GroupCount(), org.TotalChannels(), org.ChannelsOfGroup(0)};
    }

    // One user action on a cell, as the sheet or the menu runs it.
    void Act(int cellType, int logicId, int index,
             const std::function<void(cmcCellCapsule&)>& fill) {
        cmcCellObj cell;
        cell.cellType = cellType;
        cell.logicId = logicId;
        cell.index = index;
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        fill(capsule);
        indActiveCell context;
        cmcCellLogic::Run(context, capsule, false);
    }
    void Type(int logicId, int index, const std::string& text) {
        Act(CT_Conv, logicId, index, [&](cmcCellCapsule& c) {
            c.inputMode = cmcCellCapsule::TextEntered;
            c.inputText = text;
        });
    }
    void Command(int cellType, int index, int command, int low = -1, int high = -1,
                 bool wholeNames = false) {
        const int logicId = cellType == CT_Cate ? CL_Misc_ChNo_CategoryOp : CL_Mch_Freq;
        Act(cellType, logicId, index, [&](cmcCellCapsule& c) {
            c.operation = command;
            if (low < 0) return;
            c.rangeFlags = cmcCellCapsule::RangeActive;
            if (wholeNames) c.rangeFlags |= cmcCellCapsule::RangeWholeBlocks;
            c.rangeLow = low;
            c.rangeHigh = high;
        });
    }
    // A pick-list choice: item `value` of the cell's list.
    void Choose(int logicId, int index, int value) {
        cmcCellObj item;
        item.cellType = CT_Null;
        item.logicId = Flex0;
        item.index = value;
        cmcCellCapsule itemCapsule;
        itemCapsule.cell = &item;
        Act(CT_Conv, logicId, index, [&](cmcCellCapsule& c) {
            c.inputMode = cmcCellCapsule::ListChoice;
            c.parentCapsule = &itemCapsule;
        });
    }
    void MenuItem(int logicId) {
        cmcCellObj item;
        item.cellType = CT_Null;
        item.logicId = logicId;
        cmcCellLogic::QueryValue(item, 13);
    }

    cmcFakePlatform platform;
    TempFolder folder;
    indProcess process;
    SheetWindow window;
};

TEST_F(UndoTest, EditsCommandsAndAnImportUndoToTheStartAndRedoToTheEnd) {
    const std::vector<uint8_t> start = Image();
    const Counts startCounts = CountsNow();
    const std::string csv = folder.file("more.csv");
    testenv::writeFile(csv, "CH No,Frequency\r\n0000,430.000000\r\n0001,431.500000\r\n");

    Type(CL_Mch_Freq, 0, "145.500000");
    Type(CL_Mch_Name_Name, 1, "TOWER");
    Choose(CL_Mch_Dup, 0, 2);               // +DUP
    Command(CT_Conv, 1, CL_PMenu_Insert);   // a channel joins the name of row 1
    Command(CT_Conv, 0, CL_PMenu_Copy);     // changes nothing: no step
    platform.messages.script({answer::Ok}); // overwrite the channel in use
    Command(CT_Conv, 2, CL_PMenu_Paste);
    platform.messages.script({answer::Ok}); // delete the whole name of rows 1 and 2
    Command(CT_Conv, 1, CL_PMenu_Delete, 1, 2, true);
    Command(CT_Cate, 0, CL_PMenu_Insert); // a category before the first
    const std::string importSheet = "[St_CNBank]GI_Sheet_MemoryCH,Group 1";
    window.address = importSheet;
    platform.dialogs.scriptOpen(csv);
    platform.messages.script({answer::Ok, answer::Ok});
    MenuItem(CL_Menu_File_Add_Import); // two channels added to group 1
    const std::vector<uint8_t> end = Image();
    const Counts endCounts = CountsNow();
    ASSERT_EQ(endCounts.categories, startCounts.categories + 1);
    // One inserted, two deleted, one with the new category, two imported.
    ASSERT_EQ(endCounts.channels, startCounts.channels + 2);

    EXPECT_EQ(undo().History().StepCount(), 8u);
    EXPECT_EQ(undo().UndoText(), "&Undo Import");
    EXPECT_EQ(undo().RedoText(), "&Redo");
    const std::vector<std::string> names = {"Insert", "Delete", "Paste", "Insert",
                                            "Choice", "Edit",   "Edit"};
    window.address = CategorySheet;
    ASSERT_TRUE(undo().Undo());
    EXPECT_EQ(window.address, importSheet) << "the import closed its sheet; undo opens it";
    for (const std::string& name : names) {
        EXPECT_EQ(undo().UndoText(), "&Undo " + name);
        ASSERT_TRUE(undo().Undo()) << name;
    }
    EXPECT_FALSE(undo().Undo());
    EXPECT_EQ(undo().UndoText(), "&Undo");
    EXPECT_EQ(undo().RedoText(), "&Redo Edit");
    EXPECT_TRUE(Image() == start) << "the starting image, byte for byte";
    EXPECT_EQ(CountsNow(), startCounts);
    EXPECT_EQ(main().Modified(), 0) << "back at the saved image";

    while (undo().Redo()) {
    }
    EXPECT_TRUE(Image() == end);
    EXPECT_EQ(CountsNow(), endCounts);
    EXPECT_EQ(main().Modified(), 1);
}

TEST_F(UndoTest, TheDocumentIsUnmodifiedExactlyAtTheSavedImage) {
    Type(CL_Mch_Freq, 0, "145.500000");
    ASSERT_EQ(main().SaveDocument(folder.file("a.tcf")), 0);
    const std::vector<uint8_t> saved = Image();
    Type(CL_Mch_Freq, 1, "146.000000");
    ASSERT_EQ(undo().History().StepCount(), 2u);
    EXPECT_EQ(main().Modified(), 1);

    undo().Undo();
    EXPECT_TRUE(Image() == saved);
    EXPECT_EQ(main().Modified(), 0);
    undo().Undo(); // before the save
    EXPECT_EQ(main().Modified(), 1);
    undo().Redo();
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_TRUE(Image() == saved) << "the save's own corrections come back with the step";
    undo().Redo();
    EXPECT_EQ(main().Modified(), 1);
}

TEST_F(UndoTest, UndoOpensTheSheetOfTheActionAtItsRow) {
    window.position = {4, 1, 0, 0};
    platform.messages.script({answer::Ok});
    Command(CT_Conv, 1, CL_PMenu_Delete);
    window.address = CategorySheet; // the user went elsewhere
    window.position = {1, 0, 0, 0};

    ASSERT_TRUE(undo().Undo());
    EXPECT_EQ(window.address, GroupSheet);
    EXPECT_EQ(window.position, (std::array<int, 4>{4, 1, 0, 0}));
    EXPECT_EQ(main().Organisation().ChannelsOfGroup(0), 2);
}

TEST_F(UndoTest, TypingInProgressIsCommittedAsAStepBeforeUndo) {
    // The sheet's editor holds typed text; asked to (event 35) it commits it, once.
    struct Editor {
        UndoTest* test;
        bool open = true;
        static void OnEvent(void* context, const cmcEvent& event) {
            auto* editor = static_cast<Editor*>(context);
            if (event.code != ev::CommitInput || !editor->open) return;
            editor->open = false;
            editor->test->Type(CL_Mch_Freq, 1, "146.000000");
        }
    } editor{this};
    Type(CL_Mch_Freq, 0, "145.500000");
    const std::vector<uint8_t> afterFirst = Image();
    main().Events().Subscribe(&Editor::OnEvent, &editor);
    ASSERT_TRUE(undo().Undo()); // takes back the typing just committed
    main().Events().Unsubscribe(&Editor::OnEvent, &editor);
    EXPECT_TRUE(Image() == afterFirst);
    EXPECT_EQ(undo().RedoText(), "&Redo Edit");
    EXPECT_EQ(undo().UndoText(), "&Undo Edit");
}

TEST_F(UndoTest, ANewDocumentStartsWithoutSteps) {
    Type(CL_Mch_Freq, 0, "145.500000");
    ASSERT_TRUE(undo().CanUndo());
    platform.messages.script({answer::No});
    main().FileNew();
    EXPECT_FALSE(undo().CanUndo());
    EXPECT_FALSE(undo().Undo());
}

} // namespace

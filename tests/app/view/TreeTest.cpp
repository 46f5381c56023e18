#include "ViewTestSupport.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "platform/fake/cmcFakePlatform.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiMenu.h"
#include "sheet/view/cuiSheet.h"
#include "sheet/view/cuiTree.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <utility>

namespace {

// The main window on the offscreen display with a document of destination 1.
class TreeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    void SetUp() override {
        process = std::make_unique<indProcess>();
        form = std::make_unique<TForm1>(process->Main());
        Main().ReceiverInformation()[indMain::InfoDestinationByte] = 1;
        process->Events().Send(ev::AdoptDestination);
        form->ShowWindow();
        Settle();
    }

    void TearDown() override {
        form.reset();
        process.reset();
    }

    indMain& Main() { return process->Main(); }
    cmcOrganisation& Org() { return Main().Organisation(); }
    iuiTree& Tree() { return *form->Tree(); }

    // Lets the tree's delay, the posted events and the controller's task run.
    void Settle() {
        QTest::qWait(250); // the tree's selection delay
        for (int i = 0; i < 10; ++i) {
            platform.clock.advance(50);
            QTest::qWait(1);
        }
    }

    QTreeWidgetItem* Node(const std::string& address) { return Tree().FindNode(address); }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
    std::unique_ptr<TForm1> form;
};

TEST_F(TreeTest, TheTreeHoldsTheCatalogueNodesAndTheDocumentsBranches) {
    QTreeWidgetItem* root = Tree().topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "Harlon");
    QStringList sections;
    for (int i = 0; i < root->childCount(); ++i)
        sections << root->child(i)->text(0);
    EXPECT_EQ(sections, QStringList({"Memory CH", "Program Search", "Program Search Link",
                                     "Auto Write CH", "Basic Search", "Common Setting"}));
    QTreeWidgetItem* memory = root->child(0);
    ASSERT_EQ(memory->childCount(), Org().CategoryCount());
    ASSERT_GT(Org().GroupCount(), 0);
    EXPECT_EQ(memory->child(0)->childCount(), Org().GroupsOfCategory(0));
    EXPECT_EQ(int(Tree().Groups().size()), Org().GroupCount());
    // The sheet of the selected node is open.
    EXPECT_TRUE(form->SheetOpen());
}

TEST_F(TreeTest, SelectingANodeOpensItsSheetAndComingBackRestoresTheCursor) {
    const std::string group =
        "[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(Tree().Groups().at(0));
    QTreeWidgetItem* node = Node(group);
    ASSERT_NE(node, nullptr);
    Tree().setCurrentItem(node);
    Settle();
    ASSERT_TRUE(form->SheetOpen());
    EXPECT_EQ(form->OpenSheetAddress(), group);
    cuiSheet& sheet = *form->Sheet();
    const int row = sheet.Grid().FixedRows() + 1;
    ASSERT_TRUE(sheet.MoveTo(sheet.CurrentColumn() + 3, row));
    const int column = sheet.CurrentColumn();

    Tree().setCurrentItem(Node("[St_Common]GI_Sheet_Common,0"));
    Settle();
    EXPECT_EQ(form->OpenSheetAddress(), "[St_Common]GI_Sheet_Common,0");
    Tree().setCurrentItem(node);
    Settle();
    ASSERT_EQ(form->OpenSheetAddress(), group);
    EXPECT_EQ(form->Sheet()->CurrentRow(), row);
    EXPECT_EQ(form->Sheet()->CurrentColumn(), column);
}

TEST_F(TreeTest, AGroupAddedInTheCategorySheetGetsANodeAndTheOthersKeepTheirNumbers) {
    const std::vector<int> before = Tree().Groups();
    const std::string category =
        "[St_ChNew]GI_Sheet_BankOp,Category " + std::to_string(Tree().Categories().at(0));
    Tree().setCurrentItem(Node(category));
    Settle();
    ASSERT_EQ(form->OpenSheetAddress(), category);
    cuiSheet& sheet = *form->Sheet();
    const int newRow = sheet.Grid().FixedRows() + Org().GroupsOfCategory(0);
    int nameColumn = -1;
    for (int c = 0; c < sheet.Layout().Columns(); ++c)
        if (sheet.CellAt(c, newRow).logicId == CL_GroupOP_Name) nameColumn = c;
    ASSERT_TRUE(sheet.MoveTo(nameColumn, newRow));
    sheet.Grid().setFocus();
    sheet.RunOnCurrent('A');
    ASSERT_TRUE(sheet.EditorOpen());
    sheet.CommitEditor();
    Settle();
    ASSERT_EQ(int(Tree().Groups().size()), int(before.size()) + 1);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(Tree().Groups()[i], before[i]);
    QTreeWidgetItem* categoryNode = Node(category);
    EXPECT_EQ(categoryNode->childCount(), Org().GroupsOfCategory(0));
}

TEST_F(TreeTest, TheBigFontReopensTheSheetInPlaceAndTheTreeKeepsItsFont) {
    const std::string group =
        "[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(Tree().Groups().at(0));
    Tree().setCurrentItem(Node(group));
    Settle();
    ASSERT_EQ(form->OpenSheetAddress(), group);
    const int row = form->Sheet()->Grid().FixedRows() + 1;
    ASSERT_TRUE(form->Sheet()->MoveTo(form->Sheet()->CurrentColumn(), row));
    const int height = form->Sheet()->Grid().RowHeight(row);
    const QFont treeFont = Tree().font();
    QAction* big = nullptr;
    for (size_t i = 0; i < form->MainMenu()->Actions().size(); ++i)
        if (form->MainMenu()->CellOf(i).logicId == CL_Menu_View_FontSize &&
            form->MainMenu()->CellOf(i).index == 150)
            big = form->MainMenu()->Actions()[i];
    ASSERT_NE(big, nullptr);
    big->trigger();
    Settle();
    ASSERT_TRUE(form->SheetOpen());
    EXPECT_EQ(form->OpenSheetAddress(), group);
    EXPECT_EQ(form->Sheet()->CurrentRow(), row);
    EXPECT_GT(form->Sheet()->Grid().RowHeight(row), height * 5 / 4);
    EXPECT_EQ(Tree().font(), treeFont);
    EXPECT_EQ(process->Environ().fontSizePercentage, 150);
}

TEST_F(TreeTest, AnErrorInAGroupMarksItsNodeAndItsCollapsedParents) {
    const std::string group =
        "[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(Tree().Groups().at(0));
    QTreeWidgetItem* node = Node(group);
    ASSERT_NE(node, nullptr);
    node->parent()->setExpanded(false);
    datCh channel = Org().Record();
    channel.Load(datKind::Mch, Org().FirstChannelOfGroup(0));
    channel.frequency = 3000000000u; // far beyond the receiver's coverage
    channel.StoreAndReload();
    process->Events().Send(ev::DataChanged);
    EXPECT_EQ(Tree().OverlayOf(node), cuiTree::ErrorOverlay);
    EXPECT_EQ(Tree().OverlayOf(node->parent()), cuiTree::ErrorOverlay);
    EXPECT_EQ(Tree().OverlayOf(Node("[St_Common]GI_Sheet_Common,0")), cuiTree::NoOverlay);
}

TEST_F(TreeTest, NodesWithTheSameImageAndMarkShareOneIcon) {
    std::map<std::pair<int, int>, std::set<qint64>> icons;
    int nodes = 0;
    for (QTreeWidgetItemIterator it(&Tree()); *it; ++it, ++nodes)
        icons[{(*it)->data(0, cuiTree::ImageRole).toInt(), Tree().OverlayOf(*it)}].insert(
            (*it)->icon(0).cacheKey());
    EXPECT_LT(icons.size(), size_t(nodes));
    for (const auto& [kind, keys] : icons)
        EXPECT_EQ(keys.size(), 1u) << "image " << kind.first << ", mark " << kind.second;
}

} // namespace

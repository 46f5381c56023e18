#include "TaskWindow.h"

#include "app/indDocumentFile.h"
#include "files/cmcTcfFile.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiTree.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <sstream>

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::stringstream stream(path);
    for (std::string part; std::getline(stream, part, '/');)
        parts.push_back(part);
    return parts;
}

// A menu caption as the user reads it: without its access-key mark and shortcut.
std::string Plain(const QString& caption) {
    QString text = caption.section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text.toStdString();
}

std::vector<std::string> Differences(cmcEeprom& a, cmcEeprom& b, const indDestination& region) {
    cmcOrganisation first(a, &region), second(b, &region);
    first.Adopt();
    second.Adopt();
    std::vector<std::string> texts;
    for (const clsImageDifference& difference : DiffDocuments(first, second))
        texts.push_back(difference.Text());
    return texts;
}

} // namespace

void TaskWindow::SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_tasks";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

void TaskWindow::SetUp() {
    static QTemporaryDir temporary;
    folder = temporary.path().toStdString();
    process = std::make_unique<indProcess>();
    form = std::make_unique<TForm1>(process->Main());
    form->resize(1000, 640);
    form->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Settle();
    before.Assign(Main().Organisation().Image());
}

void TaskWindow::TearDown() {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    form.reset();
    process.reset();
}

void TaskWindow::Settle() {
    QTest::qWait(250);
    for (int i = 0; i < 10; ++i) {
        platform.clock.advance(50);
        QTest::qWait(1);
    }
}

// ---- The tree ----

QTreeWidgetItem* TaskWindow::NodeAt(const std::string& path) {
    iuiTree& tree = *form->Tree();
    QTreeWidgetItem* node = tree.topLevelItem(0);
    for (const std::string& caption : SplitPath(path)) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; node && i < node->childCount() && !found; ++i)
            if (node->child(i)->text(0).toStdString() == caption) found = node->child(i);
        if (!found) {
            std::string captions;
            for (int i = 0; node && i < node->childCount(); ++i)
                captions += " \"" + node->child(i)->text(0).toStdString() + "\"";
            ADD_FAILURE() << "no node " << caption << " in " << path << "; there are" << captions;
        }
        node = found;
    }
    return node;
}

void TaskWindow::ClickNode(QTreeWidgetItem* node) {
    if (!node) return;
    iuiTree& tree = *form->Tree();
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree.scrollToItem(node);
    const QRect place = tree.visualItemRect(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, place.center());
    Settle();
}

void TaskWindow::OpenNode(const std::string& path) {
    QTreeWidgetItem* node = NodeAt(path);
    ClickNode(node);
    ASSERT_TRUE(node && form->Sheet()) << path;
    ASSERT_EQ(form->Tree()->currentItem(), node) << path;
}

void TaskWindow::OpenAddress(const std::string& address) {
    QTreeWidgetItem* node = form->Tree()->FindNode(address);
    ASSERT_NE(node, nullptr) << address;
    ClickNode(node);
    ASSERT_EQ(form->OpenSheetAddress(), address);
}

// ---- The sheet ----

int TaskWindow::Row(int record) {
    return Sheet().Grid().FixedRows() + record;
}

int TaskWindow::Column(int row, int logicId) {
    for (int column = 0; column < Sheet().Layout().Columns(); ++column)
        if (Sheet().CellAt(column, row).logicId == logicId) return column;
    return -1;
}

bool TaskWindow::Click(int row, int logicId, Qt::KeyboardModifiers modifiers) {
    const int column = Column(row, logicId);
    if (column < 0) return false;
    cuiGrid& grid = Sheet().Grid();
    grid.EnsureVisible(column, row);
    const QRect place = grid.CellRect(column, row);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, place.center());
    return Sheet().CurrentColumn() == column && Sheet().CurrentRow() == row;
}

void TaskWindow::TypeInCell(int row, int logicId, const std::string& text) {
    ASSERT_TRUE(Click(row, logicId)) << "row " << row;
    Type(text);
    Key(Qt::Key_Return);
    Settle();
}

void TaskWindow::Choose(int row, int logicId, const std::string& item) {
    ASSERT_TRUE(Click(row, logicId)) << "row " << row;
    Key(Qt::Key_Return);
    cuiFlector* list = cuiFlector::Current();
    ASSERT_NE(list, nullptr) << "no pick list";
    cuiSheet& choices = list->Sheet();
    for (int r = 0; r < choices.Layout().Rows(); ++r)
        for (int c = 0; c < choices.Layout().Columns(); ++c) {
            if (!choices.CellAt(c, r).IsSelectable() || choices.DisplayText(c, r) != item) continue;
            choices.Grid().EnsureVisible(c, r);
            const QPoint at = choices.Grid().CellRect(c, r).center();
            QTest::mouseMove(choices.Grid().viewport(), at);
            QTest::mouseClick(choices.Grid().viewport(), Qt::LeftButton, {}, at);
            Settle();
            return;
        }
    ADD_FAILURE() << "no item " << item;
    list->close();
}

void TaskWindow::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : form.get(), key, modifiers);
}

void TaskWindow::Type(const std::string& text) {
    const QString typed = QString::fromStdString(text);
    for (QChar ch : typed) {
        QWidget* target = QApplication::focusWidget();
        if (!target) target = form.get();
        if (ch.unicode() < 0x80) {
            QTest::keyClicks(target, QString(ch));
            continue;
        }
        // Beyond ASCII no key has the character: it comes as a key event with text, as an
        // input method's commit reaches a widget without input-method support.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

std::string TaskWindow::Shown(int row, int logicId) {
    const int column = Column(row, logicId);
    return column < 0 ? std::string() : Sheet().DisplayText(column, row);
}

std::string TaskWindow::StatusText() {
    std::string text;
    for (QLabel* label : form->statusBar()->findChildren<QLabel*>())
        text += label->text().toStdString() + " ";
    return text;
}

// ---- Menus ----

QAction* TaskWindow::MenuItem(const std::string& path) {
    const std::vector<std::string> captions = SplitPath(path);
    QList<QAction*> actions = form->menuBar()->actions();
    QAction* found = nullptr;
    for (const std::string& caption : captions) {
        found = nullptr;
        for (QAction* action : actions)
            if (!action->isSeparator() && Plain(action->text()) == caption) found = action;
        if (!found) return nullptr;
        if (QMenu* menu = found->menu()) {
            emit menu->aboutToShow();
            actions = menu->actions();
        }
    }
    return found;
}

void TaskWindow::Menu(const std::string& path) {
    QAction* item = MenuItem(path);
    ASSERT_NE(item, nullptr) << "no menu item " << path;
    ASSERT_TRUE(item->isEnabled()) << path << " is disabled";
    item->trigger();
    Settle();
}

// ---- The saved file ----

void TaskWindow::SavedImage(cmcEeprom& image) {
    static int saves = 0;
    const std::string path = folder + "/saved" + std::to_string(++saves) + ".tcf";
    platform.dialogs.scriptSave(path);
    Menu("File/Save As...");
    image.SetSize(ImageSize);
    EXPECT_EQ(ReadDocumentFile(path, image), cmcTcfFile::Ok) << path;
}

std::vector<std::string> TaskWindow::SavedChanges() {
    cmcEeprom saved;
    SavedImage(saved);
    cmcEeprom start;
    start.Assign(before);
    return Differences(start, saved, Main().Organisation().Destination());
}

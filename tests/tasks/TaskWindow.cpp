#include "TaskWindow.h"

#include "app/indDocumentFile.h"
#include "files/cmcTcfFile.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiTree.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
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

// A menu caption as the user reads it: without its access key ("&Edit", "編集(&E)") and
// shortcut.
std::string Plain(const QString& caption) {
    QString text = caption.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
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

std::string FirstDifference(const cmcEeprom& a, const cmcEeprom& b) {
    for (int i = 0; i < MapSize; ++i)
        if (a.Data()[i] != b.Data()[i])
            return "address " + std::to_string(i) + " (" + std::to_string(a.Data()[i]) +
                   " against " + std::to_string(b.Data()[i]) + ")";
    return "no address";
}

void TaskWindow::SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_tasks";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

void TaskWindow::SetUp() {
    static QTemporaryDir temporary;
    folder = temporary.path().toStdString();
    platform.settings.writeInt(SettingsScope::System, "Global", "Language", language);
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
    QTest::qWait(settleWait);
    QCoreApplication::processEvents();
    // A desktop's window manager gives the activation back to the main window when a
    // popup closes; the offscreen platform leaves no window active.
    if (!QApplication::activeWindow() && !QApplication::activePopupWidget() && form &&
        form->isVisible() && form->isEnabled()) {
        form->activateWindow();
        const bool active = QTest::qWaitForWindowActive(form.get(), 200);
        Q_UNUSED(active); // a window held by a dialog stays inactive
    }
    for (int i = 0; i < 10; ++i) {
        platform.clock.advance(50);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
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
    const std::string address = tree.AddressOf(node);
    if (!QTest::qWaitFor([&] { return form->OpenSheetAddress() == address; }, 1000))
        ADD_FAILURE() << "the sheet of " << address << " did not open";
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

int TaskWindow::RowOf(int logicId) {
    for (int row = 0; row < Sheet().Layout().Rows(); ++row)
        if (Column(row, logicId) >= 0) return row;
    return -1;
}

int TaskWindow::Column(int row, int logicId) {
    if (row < 0 || row >= Sheet().Layout().Rows()) return -1;
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
    ASSERT_TRUE(list && list->isVisible()) << "no pick list";
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

// Where the window system delivers keys: into an open popup (a pick list grabs the
// keyboard), else to the widget with the focus.
static QWidget* KeyTarget(QWidget* fallback) {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        QWidget* inside = popup->focusWidget();
        return inside ? inside : popup;
    }
    QWidget* target = QApplication::focusWidget();
    return target ? target : fallback;
}

void TaskWindow::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(KeyTarget(form.get()), key, modifiers);
}

void TaskWindow::Type(const std::string& text) {
    const QString typed = QString::fromStdString(text);
    for (QChar ch : typed) {
        QWidget* target = KeyTarget(form.get());
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

void TaskWindow::CopyElsewhere(const std::string& text) {
    platform.clipboard.text_ = text;
    emit QGuiApplication::clipboard()->dataChanged();
    Settle();
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
    Menu(language == 1 ? "ファイル/名前を付けて保存..." : "File/Save As...");
    image.SetSize(ImageSize);
    EXPECT_EQ(ReadDocumentFile(path, image), cmcTcfFile::Ok) << path;
}

std::vector<std::string> TaskWindow::ChangesBetween(cmcEeprom& first, cmcEeprom& second) {
    return Differences(first, second, Main().Organisation().Destination());
}

std::vector<std::string> TaskWindow::SavedChanges() {
    cmcEeprom saved;
    SavedImage(saved);
    cmcEeprom start;
    start.Assign(before);
    return Differences(start, saved, Main().Organisation().Destination());
}

// ---- The document through the core ----

std::string TaskWindow::DocumentFault() {
    cmcOrganisation& org = Main().Organisation();
    const indDestination& destination = org.Destination();
    const cmcEeprom& working = org.Image();

    // The count tables describe the records: a fresh recount of a copy agrees.
    cmcEeprom copy;
    copy.Assign(working);
    cmcOrganisation fresh(copy, &destination);
    if (int dropped = fresh.RecountOrganisation())
        return std::to_string(dropped) + " listed channels do not fit the tables";
    if (fresh.CategoryCount() != org.CategoryCount() || fresh.GroupCount() != org.GroupCount() ||
        fresh.TotalChannels() != org.TotalChannels() || fresh.BankCount() != org.BankCount())
        return "the counts differ from a recount: categories " +
               std::to_string(org.CategoryCount()) + "/" + std::to_string(fresh.CategoryCount()) +
               ", groups " + std::to_string(org.GroupCount()) + "/" +
               std::to_string(fresh.GroupCount()) + ", channels " +
               std::to_string(org.TotalChannels()) + "/" + std::to_string(fresh.TotalChannels()) +
               ", banks " + std::to_string(org.BankCount()) + "/" +
               std::to_string(fresh.BankCount());
    for (int c = 0; c < org.CategoryCount(); ++c)
        if (fresh.GroupsOfCategory(c) != org.GroupsOfCategory(c))
            return "groups of category " + std::to_string(c) + " differ from a recount";
    for (int g = 0; g < org.GroupCount(); ++g)
        if (fresh.ChannelsOfGroup(g) != org.ChannelsOfGroup(g))
            return "channels of group " + std::to_string(g) + ": " +
                   std::to_string(org.ChannelsOfGroup(g)) + ", a recount says " +
                   std::to_string(fresh.ChannelsOfGroup(g));
    for (int b = 0; b < org.BankCount(); ++b)
        if (fresh.BankChCount(b) != org.BankChCount(b) ||
            fresh.BankPgCount(b) != org.BankPgCount(b))
            return "entries of bank " + std::to_string(b) + " differ from a recount";

    // The names of the group the open sheet counts agree with a recount.
    const int namesGroup = org.NamesGroup();
    if (namesGroup >= 0 && namesGroup < org.GroupCount() && form->Sheet() &&
        form->OpenSheetAddress().find("GI_Sheet_MemoryCH,Group ") != std::string::npos) {
        fresh.RecountNames(namesGroup);
        if (fresh.NameCount() != org.NameCount())
            return "names of group " + std::to_string(namesGroup) + ": " +
                   std::to_string(org.NameCount()) + ", a recount says " +
                   std::to_string(fresh.NameCount());
        for (int n = 0; n < org.NameCount(); ++n)
            if (fresh.ChannelsOfName(n) != org.ChannelsOfName(n))
                return "channels of name " + std::to_string(n) + " of group " +
                       std::to_string(namesGroup) + " differ from a recount";
    }

    // The checks of the image alone depend on nothing but its bytes and the destination:
    // an image that passed them as it is now need not be checked again.
    const std::array<int, 4> under = {destination.Index(), destination.FccInhibit(),
                                      destination.RxExpansion(), destination.LimitsFor()};
    if (under == checkedUnder_ && checked_.GetSize() == working.GetSize() &&
        std::memcmp(checked_.Data(), working.Data(), size_t(working.GetSize())) == 0)
        return {};
    std::string fault = ImageFault(working, destination);
    if (fault.empty()) {
        checked_.Assign(working);
        checkedUnder_ = under;
    }
    return fault;
}

std::string TaskWindow::ImageFault(const cmcEeprom& working, const indDestination& destination) {
    // The image as a save would write it, loaded first or not: the same bytes. (A load
    // repacks and repairs the records; a working image needs neither.)
    cmcEeprom saved;
    saved.Assign(working);
    {
        cmcOrganisation prepare(saved, &destination);
        prepare.RecountOrganisation();
        PrepareForSave(prepare);
    }
    cmcEeprom loaded;
    loaded.Assign(working);
    {
        cmcOrganisation adopt(loaded, &destination);
        if (int dropped = AdoptLoadedImage(adopt))
            return "the load check drops " + std::to_string(dropped) + " channels";
        PrepareForSave(adopt);
    }
    if (std::memcmp(loaded.Data(), saved.Data(), MapSize) != 0)
        return "a load changes the image at " + FirstDifference(loaded, saved);

    // Save, then open: the same bytes.
    const std::string path = folder + "/check.tcf";
    if (WriteDocumentFile(path, saved) != 0) return "the save failed";
    cmcEeprom opened;
    opened.SetSize(ImageSize);
    if (ReadDocumentFile(path, opened) != 0) return "the saved file does not open";
    {
        cmcOrganisation adopt(opened, &destination);
        AdoptLoadedImage(adopt);
    }
    if (std::memcmp(opened.Data(), saved.Data(), MapSize) != 0)
        return "save and open change the image at " + FirstDifference(opened, saved);

    return {};
}

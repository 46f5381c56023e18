#include "ViewTestSupport.h"
#include "app/indCloneSafety.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/cuiCloneProgress.h"
#include "app/view/cuiCompareWindow.h"
#include "platform/fake/cmcFakePlatform.h"
#include "platform/qt/gui/cmcQtPlatform.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiAnnounce.h"
#include "sheet/view/cuiTree.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QTranslator>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The offscreen platform (QT_QPA_PLATFORM=offscreen) with the fakes below it.
class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_app_view";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) application = new QApplication(argc, argv);
    }

    cmcFakePlatform platform;
    indProcess process;
    static QApplication* application;
};

QApplication* MainWindowTest::application = nullptr;

TEST_F(MainWindowTest, CreatedHiddenWithTheUntitledTitle) {
    TForm1 form(process.Main());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle().toStdString(), "Untitled - Pelham");
    form.ShowWindow();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle().toStdString(), "Untitled - Pelham");
    EXPECT_EQ(form.minimumSize(), QSize(400, 200));
}

// Qt's own buttons (message boxes, file and print dialogs) speak the program's language.
TEST_F(MainWindowTest, QtsOwnButtonsFollowTheProgramLanguage) {
    auto yesText = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text();
    };
    {
        QTranslator japanese;
        ASSERT_TRUE(cmcQtTranslate(japanese, 1)) << "Qt's Japanese texts are not installed";
        EXPECT_TRUE(yesText().contains(QStringLiteral("はい"))) << yesText().toStdString();
    }
    QTranslator english;
    EXPECT_TRUE(cmcQtTranslate(english, 0));
    EXPECT_TRUE(yesText().contains(QStringLiteral("Yes"))) << yesText().toStdString();
}

TEST_F(MainWindowTest, PlacementAndSplitterComeFromTheSettings) {
    indEnviron& env = process.Environ();
    env.windowLeft = 30, env.windowTop = 40, env.windowWidth = 700, env.windowHeight = 500;
    env.splitterV = 2;           // below the smallest panel width
    env.defaultsApplied = false; // as stored, not a first start
    TForm1 form(process.Main());
    form.ShowWindow();
    EXPECT_EQ(form.Placement().width, 700);
    EXPECT_EQ(form.Placement().height, 500);
    EXPECT_EQ(form.SplitterPosition(), MinimumSplitter);
}

// A window closed maximised opens maximised, over the placement it had before; the
// placement stored is that normal one, not the maximised size.
TEST_F(MainWindowTest, TheMaximisedStateIsStoredAndRestored) {
    indEnviron& env = process.Environ();
    env.windowLeft = 30, env.windowTop = 40, env.windowWidth = 700, env.windowHeight = 500;
    {
        TForm1 form(process.Main());
        form.ShowWindow();
        EXPECT_FALSE(form.isMaximized());
        form.showMaximized();
        ASSERT_TRUE(QTest::qWaitFor([&form] { return form.isMaximized(); }));
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(env.windowMaximized, 1);
    EXPECT_EQ(env.windowLeft, 30);
    EXPECT_EQ(env.windowTop, 40);
    EXPECT_EQ(env.windowWidth, 700);
    EXPECT_EQ(env.windowHeight, 500);
    {
        TForm1 form(process.Main());
        form.ShowWindow();
        EXPECT_TRUE(form.isMaximized());
        // Enabled again after a clone or a dialog: the user's own state stays.
        form.showNormal();
        form.ShowWindow();
        EXPECT_FALSE(form.isMaximized());
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(env.windowMaximized, 0);
    EXPECT_EQ(env.windowWidth, 700);
}

// A placement stored on a larger screen (or at a larger scale) comes back inside the work
// area, whole.
TEST_F(MainWindowTest, ALargerStoredPlacementFitsTheWorkArea) {
    indEnviron& env = process.Environ();
    const cmcRect work = platform.screen.workArea_;
    env.windowLeft = 100, env.windowTop = 80;
    env.windowWidth = work.width + 700, env.windowHeight = work.height + 800;
    TForm1 form(process.Main());
    form.ShowWindow();
    const cmcRect placed = form.Placement();
    EXPECT_GE(placed.left, work.left);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.right(), work.right());
    EXPECT_LE(placed.bottom(), work.bottom());
}

TEST_F(MainWindowTest, ClosingAModifiedDocumentAsksAndCancelKeepsTheWindow) {
    TForm1 form(process.Main());
    form.ShowWindow();
    process.Main().WorkingImage().SetByte(10, 1);
    process.Main().CheckModified();
    platform.messages.script({answer::Cancel});
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(platform.messages.lastText(), "Save changes to Untitled?");

    platform.messages.script({answer::No});
    EXPECT_TRUE(form.close());
    EXPECT_EQ(process.Main().MainWindow(), nullptr);
    EXPECT_EQ(process.Environ().splitterV, form.LeftPanel()->width());
}

// The top-level menu of the menu bar whose caption is given.
QMenu* TopMenu(TForm1& form, const QString& caption) {
    for (QAction* action : form.menuBar()->actions())
        if (action->text() == caption) return action->menu();
    return nullptr;
}

QStringList Captions(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible()) texts << action->text();
    return texts;
}

TEST_F(MainWindowTest, TheMenusComeFromTheCatalogueAndRunTheDocumentCommands) {
    TForm1 form(process.Main());
    form.ShowWindow();
    QStringList tops;
    for (QAction* action : form.menuBar()->actions())
        tops << action->text();
    EXPECT_EQ(tops, QStringList({"&File", "&Edit", "&View", "&Option", "&Clone", "&Help"}));
    QMenu* file = TopMenu(form, "&File");
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    // An empty recent list shows one disabled "Recent File" item.
    EXPECT_EQ(Captions(file), QStringList({"&New", "&Open...", "&Save", "Save &As...", "&Import",
                                           "&Export...", "Export for Other &Tools...",
                                           "Co&mpare With...", "&Print", "Recent File", "E&xit"}));
    EXPECT_EQ(file->actions().value(0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));

    platform.dialogs.scriptOpen(std::nullopt);
    file->actions().value(1)->trigger(); // Open..., cancelled
    EXPECT_EQ(platform.dialogs.openRequests().size(), 1u);

    QMenu* clone = TopMenu(form, "&Clone");
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Captions(clone),
              QStringList({"&Read <- Receiver", "&Write -> Receiver", "&Back Up Before Writing",
                           "&Verify After Writing", "&Show What Will Be Written",
                           "Rest&ore Backup...", "Serial &Trace...", "&Information"}));
    // Backing up is ticked until the user switches it off; the switch is kept.
    emit clone->aboutToShow();
    QAction* backup = clone->actions().value(3);
    EXPECT_TRUE(backup->isChecked());
    // An on/off item shows its empty box while it is off.
    EXPECT_TRUE(clone->actions().value(4)->isCheckable());
    EXPECT_FALSE(clone->actions().value(4)->isChecked());
    backup->trigger();
    emit clone->aboutToShow();
    EXPECT_FALSE(backup->isChecked());
    EXPECT_TRUE(backup->isCheckable());
    EXPECT_FALSE(ReadCloneSafetySettings().backupBeforeWrite);
    // The plan before a write is shown until switched off, under "Clone/ShowWritePlan".
    QAction* plan = clone->actions().value(5);
    EXPECT_TRUE(plan->isChecked());
    plan->trigger();
    emit clone->aboutToShow();
    EXPECT_FALSE(plan->isChecked());
    EXPECT_EQ(platform.settings.readInt(SettingsScope::User, "Clone", "ShowWritePlan"), 0);
}

// The toolbar's setting is what the next start reads: a window built with it off has none.
TEST_F(MainWindowTest, TheToolbarFollowsItsStoredSetting) {
    process.Environ().toolbarVisible = 0;
    TForm1 form(process.Main());
    form.ShowWindow();
    EXPECT_FALSE(form.ToolBar()->isVisible());
    TopMenu(form, "&View")->actions().value(1)->trigger();
    EXPECT_TRUE(form.ToolBar()->isVisible());
    EXPECT_EQ(process.Environ().toolbarVisible, 1);
}

TEST_F(MainWindowTest, RecentFilesShowTheirNamesWithTheirAmpersandsKept) {
    process.Environ().recent.AddToFront("/elsewhere/older.tcf");
    process.Environ().recent.AddToFront("/elsewhere/Rock & Roll.tcf");
    TForm1 form(process.Main());
    form.ShowWindow();
    QMenu* file = TopMenu(form, "&File");
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QStringList recent;
    for (const QString& caption : Captions(file))
        if (caption.startsWith("&1") || caption.startsWith("&2") || caption.startsWith("&3"))
            recent << caption;
    EXPECT_EQ(recent, QStringList({"&1 /elsewhere/Rock && Roll.tcf", "&2 /elsewhere/older.tcf"}));
}

TEST_F(MainWindowTest, FontSizeAndToolbarItemsAreTickedByTheSettings) {
    process.Environ().fontSizePercentage = 120;
    TForm1 form(process.Main());
    form.ShowWindow();
    QMenu* view = TopMenu(form, "&View");
    ASSERT_NE(view, nullptr);
    QMenu* sizes = view->actions().value(0)->menu();
    ASSERT_NE(sizes, nullptr);
    emit sizes->aboutToShow();
    QStringList ticked;
    for (QAction* action : sizes->actions())
        if (action->isChecked()) ticked << action->text();
    EXPECT_EQ(ticked, QStringList({"&4  120%"}));

    QAction* toolbar = view->actions().value(1);
    emit view->aboutToShow();
    EXPECT_TRUE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(form.ToolBar()->isVisible());
    EXPECT_EQ(process.Environ().toolbarVisible, 0);
    emit view->aboutToShow();
    EXPECT_FALSE(toolbar->isChecked());
}

// The progress window of a clone phase: it fills as the session reports, cannot be
// closed by the user, and holds the main window disabled while it exists.
TEST_F(MainWindowTest, TheCloneProgressWindowHoldsTheMainWindow) {
    TForm1 form(process.Main());
    form.ShowWindow();
    {
        auto progress = cuiCloneProgress::Factory(&form)();
        auto* window = dynamic_cast<cuiCloneProgress*>(progress.get());
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(form.isEnabled());
        progress->ShowProgress(16);
        EXPECT_EQ(window->Box()->Filled(), 16);
        window->show();
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_TRUE(form.isEnabled());
}

// A Clone Write names each of its steps in the window that step opens; the name is used
// once, so the windows of a later read show none.
TEST_F(MainWindowTest, TheProgressOfAWriteNamesItsStep) {
    TForm1 form(process.Main());
    form.ShowWindow();
    auto nextStep = std::make_shared<QString>(QStringLiteral("Backing up the receiver"));
    indCloneProgressFactory factory = cuiCloneProgress::Factory(&form, nextStep);
    {
        auto named = factory();
        auto* window = dynamic_cast<cuiCloneProgress*>(named.get());
        ASSERT_NE(window, nullptr);
        ASSERT_NE(window->StepLabel(), nullptr);
        EXPECT_EQ(window->StepLabel()->text(), "Backing up the receiver");
        // Nothing clipped: the label and the cells fit inside the window.
        EXPECT_LE(window->StepLabel()->geometry().right(), window->width());
        EXPECT_GT(window->Box()->parentWidget()->geometry().top(),
                  window->StepLabel()->geometry().bottom());
    }
    auto plain = factory();
    EXPECT_EQ(dynamic_cast<cuiCloneProgress*>(plain.get())->StepLabel(), nullptr);
}

std::vector<std::pair<QAccessible::Event, QObject*>>* heardEvents = nullptr;

void Hear(QAccessibleEvent* event) {
    if (heardEvents) heardEvents->emplace_back(event->type(), event->object());
}

// A screen reader hears the step as the window opens and the share done as it grows.
TEST_F(MainWindowTest, TheProgressReadsAsANamedProgressBar) {
    TForm1 form(process.Main());
    form.ShowWindow();
    std::vector<std::pair<QAccessible::Event, QObject*>> events;
    heardEvents = &events;
    cuiSetAnnounceWitness(Hear);
    auto nextStep = std::make_shared<QString>(QStringLiteral("Backing up the receiver"));
    auto progress = cuiCloneProgress::Factory(&form, nextStep)();
    auto* window = dynamic_cast<cuiCloneProgress*>(progress.get());
    ASSERT_NE(window, nullptr);
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_EQ(dialog->text(QAccessible::Name), "Cloning");
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window->Box());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    EXPECT_EQ(bar->text(QAccessible::Name), "Backing up the receiver");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], std::make_pair(QAccessible::NameChanged, (QObject*)window->Box()));

    progress->ShowProgress(8);
    progress->ShowProgress(8); // no change, nothing heard
    progress->ShowProgress(indCloneProgressView::Cells + 1); // the whole range
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].first, QAccessible::ValueChanged);
    EXPECT_EQ(events[2].second, window->Box());
    EXPECT_EQ(bar->text(QAccessible::Value), "100%");
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 100);
    cuiSetAnnounceWitness(nullptr);
    heardEvents = nullptr;
}

// File > Compare with... shows the differences in one window beside the main window,
// which stays usable; comparing again fills the same window.
TEST_F(MainWindowTest, TheCompareWindowListsTheDifferencesAndIsReused) {
    TForm1 form(process.Main());
    form.ShowWindow();
    form.ShowDifferences("/data/radio.tcf",
                         {{"Group Initial, channel 0-0", "Frequency 145.000000 → 146.010000", {}},
                          {"Common settings, Sound", "Beep level 19 → 12", {}}});
    auto windows = form.findChildren<QWidget*>(QStringLiteral("compareWindow"));
    ASSERT_EQ(windows.size(), 1);
    auto* window = dynamic_cast<cuiCompareWindow*>(windows.front());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(window->windowTitle(), "Compare with radio.tcf");
    EXPECT_EQ(window->Summary()->text(), "Differences from the document to /data/radio.tcf: 2");
    EXPECT_EQ(window->List()->toPlainText(),
              "Group Initial, channel 0-0: Frequency 145.000000 → 146.010000\n"
              "Common settings, Sound: Beep level 19 → 12");
    window->CopyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), window->List()->toPlainText());

    form.ShowDifferences("/data/same.tcf", {});
    EXPECT_EQ(form.findChildren<QWidget*>(QStringLiteral("compareWindow")).size(), 1);
    EXPECT_EQ(window->Summary()->text(), "The document and /data/same.tcf hold the same data.");
    EXPECT_FALSE(window->CopyButton()->isEnabled());
    window->CloseButton()->click();
    EXPECT_FALSE(window->isVisible());
}

// At the first start the tree's panel is wide enough for every caption, in English and in
// Japanese (whose captions are longer); a stored width is kept as it is.
TEST(TreePanelTest, AtTheFirstStartTheTreeShowsItsWidestCaption) {
    EnsureTestApplication();
    for (const int language : {0, 1}) {
        cmcFakePlatform platform;
        platform.settings.writeInt(SettingsScope::System, "Global", "Language", language);
        indProcess process;
        ASSERT_TRUE(process.Environ().defaultsApplied);
        TForm1 form(process.Main());
        form.ShowWindow();
        const QAbstractItemView* tree = form.Tree();
        EXPECT_GE(tree->viewport()->width(), tree->sizeHintForColumn(0)) << language;
        EXPECT_GT(form.SplitterPosition(), 200) << language;
        EXPECT_LE(form.SplitterPosition(), form.width() / 2) << language;

        process.Environ().defaultsApplied = false;
        process.Environ().splitterV = 150;
        TForm1 stored(process.Main());
        stored.ShowWindow();
        EXPECT_EQ(stored.SplitterPosition(), 150) << language;
    }
}

} // namespace

// The first start against a receiver: the Initial Setup on the receiver's port, Clone
// Read, edits, Clone Write with a backup and a verify, and the receiver's information;
// harlon-sim plays the receiver on a pseudo-terminal, and the image it holds is judged
// against the document through the program's compare.

#include "TaskWindow.h"

#include "app/indDocumentFile.h"
#include "app/view/TForm2.h"
#include "app/view/cuiCloneInfoWindow.h"
#include "clone/cmcSerialPort.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiTree.h"
#include "support/TestEnvironment.h"
#include "tools/CloneToolProcess.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

class CloneTask : public TaskWindow {
  protected:
    void SetUp() override {
        TaskWindow::SetUp();
        // Backups go to the test's own folder.
        const char* old = std::getenv("XDG_DATA_HOME");
        oldDataHome_ = old ? std::optional<std::string>(old) : std::nullopt;
        dataHome_ = std::make_unique<testenv::TempFolder>();
        setenv("XDG_DATA_HOME", dataHome_->path().c_str(), 1);
        cmcSerialPort::SetFactory(nullptr); // the termios port
    }
    void TearDown() override {
        TaskWindow::TearDown();
        if (oldDataHome_)
            setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    // A first start: no settings, the Initial Setup over the hidden main window.
    QPointer<TForm2> FirstStart() {
        form.reset();
        process.reset();
        platform.settings.clear();
        process = std::make_unique<indProcess>();
        form = std::make_unique<TForm1>(Main());
        form->resize(1000, 640);
        return TForm2::Show(Main(), form.get());
    }

    // A first start whose Initial Setup is given the port typed under "More...", then
    // the information exchange it starts, run to its end.
    void FirstStartOn(const std::string& port) {
        QPointer<TForm2> setup = FirstStart();
        ASSERT_TRUE(setup);
        setup->PathEdit()->clear();
        QTest::keyClicks(setup->PathEdit(), QString::fromStdString(port));
        QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
        RunClone();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(setup) << "the Initial Setup stayed open: " << platform.messages.lastText();
    }

    // Lets a clone session run to its end, the clock following real time.
    void RunClone() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (Main().CloneCommands().Busy() && std::chrono::steady_clock::now() < limit) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            platform.clock.advance(1);
        }
        ASSERT_FALSE(Main().CloneCommands().Busy()) << "the session did not end";
        Settle();
    }

    // After a session at high speed the receiver listens at its normal speed again once
    // the line has been quiet for two seconds; a user takes that long between commands.
    void ReceiverIdle() { QTest::qWait(2500); }

    // The window of that class the main window holds, if any.
    template <class Window> Window* HeldWindow() {
        for (QWidget* child : form->findChildren<QWidget*>())
            if (auto* window = dynamic_cast<Window*>(child)) return window;
        return nullptr;
    }

    std::unique_ptr<testenv::TempFolder> dataHome_;
    std::optional<std::string> oldDataHome_;
};

TEST_F(CloneTask, FirstStartReadEditWriteWithBackupAndVerify) {
    testenv::TempFolder files;
    const std::string held = files.file("receiver.tcf");
    SimProcess sim({"--destination", "5", "--save", held});
    ASSERT_FALSE(sim.Port().empty()) << "build harlon-sim first";

    // The Initial Setup, with the pseudo-terminal typed under "More...".
    FirstStartOn(sim.Port());
    if (HasFatalFailure()) return;
    ASSERT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    ASSERT_TRUE(form->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    Menu("Clone/Read <- Receiver");
    RunClone();
    ASSERT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    cmcEeprom read;
    read.Assign(Main().Organisation().Image());

    // Edits on three sheets: a channel, a link's edge and the comment.
    OpenNode("Memory CH/" +
             form->Tree()->topLevelItem(0)->child(0)->child(0)->text(0).toStdString() + "/" +
             form->Tree()->topLevelItem(0)->child(0)->child(0)->child(0)->text(0).toStdString());
    const int first = Main().Organisation().ChannelsOfGroup(0);
    TypeInCell(Row(first), CL_Mch_Freq, "146.52");
    TypeInCell(Row(first), CL_Mch_Name_Name, "SIMPLEX");
    OpenAddress("[St_ColCut]GI_Sheet_ScanLink,ScanLink 2");
    Choose(Row(0), CL_PgLink_No, "7");
    OpenNode("Common Setting");
    TypeInCell(RowOf(CL_Common_CLONE_COMMENT), CL_Common_CLONE_COMMENT, "TASK COMMENT");

    // Clone Write with a backup before and a verify after.
    QAction* backup = MenuItem("Clone/Back Up Before Writing");
    QAction* verify = MenuItem("Clone/Verify After Writing");
    ASSERT_TRUE(backup && verify);
    if (!backup->isChecked()) Menu("Clone/Back Up Before Writing");
    if (!verify->isChecked()) Menu("Clone/Verify After Writing");
    EXPECT_TRUE(MenuItem("Clone/Back Up Before Writing")->isChecked());
    EXPECT_TRUE(MenuItem("Clone/Verify After Writing")->isChecked());
    platform.messages.clear();
    platform.lists.script({{0, -1, false}}); // the plan's Write
    ReceiverIdle();
    Menu("Clone/Write -> Receiver");
    RunClone();
    // The plan, after the backup read, named the edits against what the receiver held.
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    std::string plan;
    for (const cmcListQuestion::Line& line : platform.lists.shown()[0].lines)
        plan += line.text + "\n";
    EXPECT_NE(plan.find("146.520000"), std::string::npos) << plan;
    EXPECT_NE(plan.find("TASK COMMENT"), std::string::npos) << plan;
    ASSERT_FALSE(platform.messages.shown().empty());
    EXPECT_NE(platform.messages.lastText().find("succeeded"), std::string::npos)
        << platform.messages.lastText();

    // The receiver holds what the sheets showed: the saved document, nothing else.
    cmcEeprom document;
    SavedImage(document);
    cmcEeprom receiver;
    receiver.SetSize(ImageSize);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(held); }, 5000));
    ASSERT_EQ(ReadDocumentFile(held, receiver), 0);
    EXPECT_EQ(ChangesBetween(document, receiver), std::vector<std::string>{});
    const std::vector<std::string> edits = ChangesBetween(read, receiver);
    std::string all;
    for (const std::string& edit : edits)
        all += edit + "\n";
    EXPECT_NE(all.find("146.520000"), std::string::npos) << all;
    EXPECT_NE(all.find("SIMPLEX"), std::string::npos) << all;
    EXPECT_NE(all.find("Program search link 2: Edge (blank) → 7"), std::string::npos) << all;
    EXPECT_NE(all.find("TASK COMMENT"), std::string::npos) << all;

    // The backup holds the receiver as it was before the write: as read.
    std::vector<fs::path> backups;
    for (const auto& entry : fs::recursive_directory_iterator(dataHome_->path()))
        if (entry.is_regular_file()) backups.push_back(entry.path());
    ASSERT_EQ(backups.size(), 1u);
    cmcEeprom backedUp;
    backedUp.SetSize(ImageSize);
    ASSERT_EQ(ReadDocumentFile(backups[0].string(), backedUp), 0);
    EXPECT_EQ(ChangesBetween(read, backedUp), std::vector<std::string>{});

    // Clone > Information shows the comment the receiver now holds.
    ReceiverIdle();
    Menu("Clone/Information");
    RunClone();
    auto* information = HeldWindow<cuiCloneInfoWindow>();
    ASSERT_NE(information, nullptr) << platform.messages.lastText();
    EXPECT_EQ(information->Sheet().DisplayText(1, 1), "TASK COMMENT    ");
    QTest::keyClick(information, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A channel typed in a range the receiver's region does not allow: Clone Write's plan lists
// it as reset; choosing its line sends nothing and shows the channel; Write sends what the
// plan said.
TEST_F(CloneTask, ThePlanListsWhatTheRegionRulesResetAndOnlyWriteSends) {
    testenv::TempFolder files;
    const std::string held = files.file("receiver.tcf");
    // Destination 1 does not allow 146.005 to 429.999 MHz.
    SimProcess sim({"--destination", "1", "--save", held});
    ASSERT_FALSE(sim.Port().empty()) << "build harlon-sim first";
    FirstStartOn(sim.Port());
    if (HasFatalFailure()) return;
    ASSERT_TRUE(form->isVisible()) << platform.messages.lastText();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Menu("Clone/Read <- Receiver");
    RunClone();
    ASSERT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();

    const std::string group =
        "Memory CH/" + form->Tree()->topLevelItem(0)->child(0)->child(0)->text(0).toStdString() +
        "/" + form->Tree()->topLevelItem(0)->child(0)->child(0)->child(0)->text(0).toStdString();
    OpenNode(group);
    const std::string address = form->OpenSheetAddress();
    TypeInCell(Row(0), CL_Mch_Freq, "300");
    ASSERT_EQ(Shown(Row(0), CL_Mch_Freq), "300.000000");

    // The plan: the channel first, marked as reset; its line chosen cancels the write.
    platform.lists.script({{-1, 1, true}});
    ReceiverIdle();
    Menu("Clone/Write -> Receiver");
    RunClone();
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    const cmcListQuestion& plan = platform.lists.shown()[0];
    ASSERT_GE(plan.lines.size(), 2u);
    EXPECT_EQ(plan.lines[0].kind, cmcListQuestion::Kind::Heading);
    EXPECT_EQ(plan.lines[1].kind, cmcListQuestion::Kind::Marked);
    EXPECT_NE(plan.lines[1].text.find("300.000000 FM will be reset to 145.000000 FM: not allowed "
                                      "for this receiver"),
              std::string::npos)
        << plan.lines[1].text;
    EXPECT_NE(plan.summary.find("1 reset by the receiver's region rules"), std::string::npos)
        << plan.summary;
    EXPECT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    EXPECT_FALSE(fs::exists(held)) << "the receiver was written";
    // The chosen line opened the channel's sheet with the cursor on its row.
    ASSERT_TRUE(form->Sheet());
    EXPECT_EQ(form->OpenSheetAddress(), address);
    EXPECT_EQ(Sheet().CurrentRow(), Row(0));

    // Write: the receiver holds what the plan said, the document what the user typed.
    platform.lists.script({{0, -1, false}});
    ReceiverIdle();
    Menu("Clone/Write -> Receiver");
    RunClone();
    ASSERT_EQ(platform.lists.shown().size(), 2u);
    EXPECT_NE(platform.messages.lastText().find("succeeded"), std::string::npos)
        << platform.messages.lastText();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(held); }, 5000));
    cmcEeprom receiver;
    receiver.SetSize(ImageSize);
    ASSERT_EQ(ReadDocumentFile(held, receiver), 0);
    cmcOrganisation organisation(receiver, &Main().Organisation().Destination());
    organisation.Adopt();
    datCh channel = organisation.Record();
    const int slot = Main().Organisation().FirstChannelOfGroup(0);
    channel.Load(datKind::Mch, slot);
    EXPECT_EQ(channel.frequency, 145000000u);
    EXPECT_EQ(channel.mode, 0u); // FM
    datCh typed = Main().Organisation().Record();
    typed.Load(datKind::Mch, slot);
    EXPECT_EQ(typed.frequency, 300000000u);
}

} // namespace

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
    QPointer<TForm2> setup = FirstStart();
    ASSERT_TRUE(setup);
    setup->PathEdit()->clear();
    QTest::keyClicks(setup->PathEdit(), QString::fromStdString(sim.Port()));
    QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
    RunClone();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    ASSERT_FALSE(setup);
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
    EXPECT_NE(all.find("Program search link 2: Edges (blank) → 7"), std::string::npos) << all;
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

} // namespace

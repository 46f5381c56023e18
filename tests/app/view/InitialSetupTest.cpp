// The Initial Setup, the port dialog, the clone information window and the About box on
// the offscreen platform, with the fakes below them and a receiver on an in-memory line.

#include "ViewTestSupport.h"
#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "app/view/TForm2.h"
#include "app/view/cuiAboutBox.h"
#include "app/view/cuiCloneInfoWindow.h"
#include "app/view/cuiPortDialog.h"
#include "clone/FakeReceiver.h"
#include "clone/indCloneMan.h"
#include "model/cmcDefaultImages.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"
#include "settings/indEnviron.h"
#include "sheet/cmcCellNames.h"
#include "sheet/view/cuiMenu.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class InitialSetupTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    InitialSetupTest() {
        platform.ports.ports_ = {{"/dev/ttyS0", "", false},
                                 {"/dev/ttyUSB0", "USB serial adapter", true}};
        Start();
    }
    ~InitialSetupTest() override { Stop(); }

    // A start of the program on the stored settings, as far as the setup goes: the main
    // form hidden and the Initial Setup over it.
    void Start(std::vector<std::string> args = {}) {
        process = std::make_unique<indProcess>(std::move(args));
        form = std::make_unique<TForm1>(process->Main());
        setup = TForm2::Show(process->Main(), form.get());
    }
    void Stop() {
        form.reset();
        process.reset(); // writes the settings
    }
    void Restart(std::vector<std::string> args = {}) {
        Stop();
        Start(std::move(args));
    }

    indEnviron& settings() { return process->Environ(); }
    // Lets the information exchange run until the session is idle again.
    void RunSession() {
        for (int ms = 0; ms < 30000 && process->Main().CloneCommands().Busy(); ++ms)
            platform.clock.advance(1);
        ASSERT_FALSE(process->Main().CloneCommands().Busy());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void ChooseMore(const QString& path) {
        setup->PathEdit()->clear();
        QTest::keyClicks(setup->PathEdit(), path);
    }

    cmcFakePlatform platform;
    MemoryLine line;
    MemoryLineScope lineScope{line};
    FakeReceiver receiver{line};
    std::unique_ptr<indProcess> process;
    std::unique_ptr<TForm1> form;
    QPointer<TForm2> setup;
};

// In Japanese the setup's "More..." is the port menu's own word, and so is the memo that
// names it; the permission hint on a port is Japanese too.
TEST_F(InitialSetupTest, JapaneseSaysOtherAsThePortMenuDoes) {
    platform.settings.writeInt(SettingsScope::System, "Global", "Language", 1);
    Restart();
    ASSERT_TRUE(setup);
    QString menuItem;
    for (QAction* action : form->MainMenu()->Actions())
        if (action->text().startsWith(QStringLiteral("その他"))) menuItem = action->text();
    ASSERT_FALSE(menuItem.isEmpty());
    EXPECT_EQ(setup->MoreButton()->text(), menuItem.remove(QStringLiteral("(&O)")));
    EXPECT_TRUE(setup->Memo()->toPlainText().contains(QStringLiteral("[その他...]")));

    dst_CDrv_Result result;
    result.code = 2;
    result.portError = cmcPortError::Denied;
    const std::string message = indCloneMan::ErrorMessage(result);
    EXPECT_NE(message.find("'dialout' グループ"), std::string::npos) << message;
}

// The keyboard starts on the port choice, and the path field reads as "More...".
TEST_F(InitialSetupTest, TheKeyboardStartsOnThePortChoice) {
    ASSERT_TRUE(setup);
    QWidget* focused = setup->focusWidget();
    ASSERT_NE(focused, nullptr);
    auto* button = qobject_cast<QRadioButton*>(focused);
    ASSERT_NE(button, nullptr) << focused->metaObject()->className();
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(setup->PathEdit())->text(QAccessible::Name),
              setup->MoreButton()->text().remove(QLatin1Char('&')));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(setup.data())->role(), QAccessible::Dialog);
}

TEST_F(InitialSetupTest, AFirstStartShowsOnlyTheSetupWithTheCataloguesTexts) {
    EXPECT_EQ(settings().setupDone, 0);
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(setup->windowTitle(), "Initial Setup");
    EXPECT_EQ(setup->CancelButton()->text(), "Cancel");
    EXPECT_TRUE(setup->Memo()->toPlainText().startsWith(
        "Thank you for purchasing the Tarn Pelham cloning software.\n"));
    // The USB adapter first, as the port menu lists it.
    ASSERT_EQ(setup->PortButtons().size(), 2u);
    EXPECT_EQ(setup->PortButtons()[0]->text(), "USB serial adapter (ttyUSB0)");
    EXPECT_EQ(setup->PortButtons()[1]->text(), "/dev/ttyS0");
}

TEST_F(InitialSetupTest, TheStoredPortIsChosenAndTypingAPathChoosesMore) {
    struct Case {
        std::string stored;
        int checked; // port button, or -1 for "More..."
        QString path;
    } cases[] = {{"/dev/ttyS0", 1, ""},
                 {"/dev/ttyUSB0", 0, ""},
                 // A port that is no longer there still shows, under "More...".
                 {"/dev/ttyUSB7", -1, "/dev/ttyUSB7"}};
    for (const Case& c : cases) {
        settings().comPort = c.stored;
        Restart();
        const QRadioButton* expected =
            c.checked < 0 ? setup->MoreButton() : setup->PortButtons()[size_t(c.checked)];
        EXPECT_TRUE(expected->isChecked()) << c.stored;
        EXPECT_EQ(setup->PathEdit()->text(), c.path) << c.stored;
        EXPECT_EQ(setup->ChosenPort(), c.stored);
    }
    setup->PathEdit()->selectAll();
    setup->PortButtons()[1]->setChecked(true);
    QTest::keyClicks(setup->PathEdit(), "/dev/pts/4 ");
    EXPECT_TRUE(setup->MoreButton()->isChecked());
    EXPECT_EQ(setup->ChosenPort(), "/dev/pts/4");
}

TEST_F(InitialSetupTest, OkAsksTheReceiverAdoptsItsDestinationAndShowsTheMainWindow) {
    receiver.infoAnswer = receiver::InfoAnswer(5);
    ChooseMore("/dev/pts/9");
    QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
    EXPECT_EQ(settings().comPort, "/dev/pts/9");
    ASSERT_TRUE(process->Main().CloneCommands().Busy());
    EXPECT_FALSE(setup->isEnabled());
    EXPECT_FALSE(setup->close()); // the window waits for the answer
    RunSession();

    EXPECT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    EXPECT_EQ(line.opens.front(), "/dev/pts/9 9600");
    EXPECT_FALSE(setup); // closed and released
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(settings().setupDone, 1);
    EXPECT_EQ(settings().destination, 5);
    EXPECT_EQ(indDestination::Active().LimitsFor(), 5);
    EXPECT_EQ(process->Main().Modified(), 0);
    EXPECT_EQ(std::memcmp(process->Main().WorkingImage().Data(), DefaultImageBytes(5), MapSize), 0);

    Restart(); // the next start goes straight to the main window
    EXPECT_EQ(settings().setupDone, 1);
    EXPECT_EQ(settings().comPort, "/dev/pts/9");
}

// A failed exchange gives the window back to correct the port or cancel; only the port is
// kept.
TEST_F(InitialSetupTest, AFailedExchangeEnablesTheSetupAgain) {
    struct Case {
        const char* name;
        std::function<void()> fault;
        const char* message;
    } cases[] = {
        {"missing port", [&] { line.exists = false; }, "Cannot access /dev/ttyUSB3."},
        {"no permission", [&] { line.denied = true; }, "join the 'dialout' group"},
        {"no answer", [&] { receiver.answerInfo = false; }, "No answer from receiver."},
    };
    for (const Case& c : cases) {
        line.exists = true, line.denied = false, receiver.answerInfo = true;
        platform.messages.clear();
        c.fault();
        ChooseMore("/dev/ttyUSB3");
        QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
        RunSession();
        ASSERT_TRUE(setup) << c.name;
        EXPECT_TRUE(setup->isEnabled()) << c.name;
        EXPECT_TRUE(setup->isVisible()) << c.name;
        EXPECT_FALSE(form->isVisible()) << c.name;
        EXPECT_NE(platform.messages.lastText().find(c.message), std::string::npos)
            << c.name << ": " << platform.messages.lastText();
        EXPECT_EQ(settings().setupDone, 0) << c.name;
        EXPECT_EQ(settings().destination, indEnviron::NoDestination) << c.name;
        EXPECT_EQ(settings().comPort, "/dev/ttyUSB3") << c.name;
    }
}

TEST_F(InitialSetupTest, AnEmptyPathIsRefusedWithoutAskingTheReceiver) {
    ChooseMore("   ");
    QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(process->Main().CloneCommands().Busy());
    EXPECT_TRUE(line.opens.empty());
    EXPECT_NE(platform.messages.lastText().find("Specify the COM port device path."),
              std::string::npos);
    EXPECT_TRUE(setup->isEnabled());
}

TEST_F(InitialSetupTest, CancelShowsTheMainWindowAndTheSetupComesAgain) {
    QTest::keyClick(setup, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(setup);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Untitled - Pelham");
    EXPECT_TRUE(line.opens.empty());
    Restart();
    EXPECT_EQ(settings().setupDone, 0);
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
}

// Cancel after "/setup": the band limits of no destination for this run, the stored
// destination kept.
TEST_F(InitialSetupTest, CancelAppliesTheLimitsOfNoDestinationAndKeepsTheStoredOne) {
    settings().destination = 5;
    Restart({"pelham", "/SETUP"});
    ASSERT_TRUE(setup);
    EXPECT_EQ(indDestination::Active().LimitsFor(), 5);
    QTest::mouseClick(setup->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(indDestination::Active().LimitsFor(), indDestination::None);
    EXPECT_EQ(settings().destination, 5);
    EXPECT_TRUE(form->isVisible());
}

// harlon-sim on a pseudo-terminal for the life of the object.
class Simulator {
  public:
    explicit Simulator(const std::string& destination) {
        const std::string program = (testenv::binaryFolder() / "harlon-sim").string();
        if (!std::filesystem::exists(program)) return;
        int out[2];
        if (pipe2(out, O_CLOEXEC) < 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::string name = program, option = "--destination", value = destination;
        char* argv[] = {name.data(), option.data(), value.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_ = out[0];
        // Its first line: "PORT /dev/pts/N".
        std::string line;
        for (char c; line.find('\n') == std::string::npos && read(output_, &c, 1) == 1;)
            line += c;
        if (line.rfind("PORT ", 0) == 0) port_ = line.substr(5, line.size() - 6);
    }
    ~Simulator() {
        if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
        if (output_ >= 0) close(output_);
    }
    const std::string& Port() const { return port_; }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string port_;
};

// The real serial code against the simulated receiver, the clock moved along with real
// time.
TEST_F(InitialSetupTest, TheSetupTakesTheDestinationOfTheSimulatedReceiver) {
    cmcSerialPort::SetFactory(nullptr); // the termios port, from the session's start on
    Restart();
    Simulator sim("5");
    ASSERT_FALSE(sim.Port().empty()) << "build harlon-sim first";
    ChooseMore(QString::fromStdString(sim.Port()));
    QTest::mouseClick(setup->OkButton(), Qt::LeftButton);
    for (int ms = 0; ms < 10000 && process->Main().CloneCommands().Busy(); ms += 2) {
        usleep(2000);
        platform.clock.advance(2);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    EXPECT_FALSE(setup);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(settings().destination, 5);
    EXPECT_EQ(std::memcmp(process->Main().WorkingImage().Data(), DefaultImageBytes(5), MapSize), 0);
    Restart();
    EXPECT_EQ(settings().setupDone, 1); // the next start shows the main window at once
    EXPECT_EQ(settings().comPort, sim.Port());
}

// ---- The port dialog ----

class PortDialogTest : public InitialSetupTest {
  protected:
    void Confirm(cuiPortDialog& dialog, const QString& path) {
        dialog.PathEdit()->setText(path);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    }
};

TEST_F(PortDialogTest, APortThatCannotBeOpenedIsRefusedAndNothingIsChosen) {
    struct Case {
        bool exists, denied;
        const char* message;
    } cases[] = {{false, false, "Cannot access /dev/ttyUSB5."},
                 {true, true,
                  "Cannot access /dev/ttyUSB5.\nYou have no permission to use this "
                  "port: join the 'dialout' group and log in again."}};
    for (const Case& c : cases) {
        line.exists = c.exists, line.denied = c.denied;
        cuiPortDialog dialog(process->Text(), "/dev/ttyS0", form.get());
        dialog.show();
        platform.messages.clear();
        Confirm(dialog, "/dev/ttyUSB5");
        EXPECT_EQ(platform.messages.lastText(), c.message);
        EXPECT_EQ(platform.messages.shown().back().icon, MsgIcon::Error);
        EXPECT_FALSE(dialog.Chosen());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.PathEdit()->text(), "/dev/ttyUSB5"); // to correct it
    }
}

TEST_F(PortDialogTest, AListedPortOrAnyPathThatOpensIsChosen) {
    cuiPortDialog dialog(process->Text(), "/dev/ttyS0", form.get());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "COM Port");
    ASSERT_EQ(dialog.Ports()->count(), 2);
    EXPECT_EQ(dialog.Ports()->currentRow(), 1); // the current port
    QListWidgetItem* usb = dialog.Ports()->item(0);
    QTest::mouseClick(dialog.Ports()->viewport(), Qt::LeftButton, {},
                      dialog.Ports()->visualItemRect(usb).center());
    EXPECT_EQ(dialog.PathEdit()->text(), "/dev/ttyUSB0");
    Confirm(dialog, " /dev/pts/3 ");
    EXPECT_EQ(dialog.Chosen(), "/dev/pts/3");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(line.opens, std::vector<std::string>{"/dev/pts/3 9600"});
    EXPECT_FALSE(line.open); // only tried, not kept
}

TEST_F(PortDialogTest, AMissingDeviceIsRefusedByTheRealPort) {
    cmcSerialPort::SetFactory(nullptr); // the termios port
    cuiPortDialog dialog(process->Text(), "/dev/ttyS0", form.get());
    Confirm(dialog, "/nonexistent/ttyUSB9");
    EXPECT_EQ(platform.messages.lastText(), "Cannot access /nonexistent/ttyUSB9.");
    EXPECT_FALSE(dialog.Chosen());
}

// ---- Windows that hold the main window ----

class HeldWindowTest : public InitialSetupTest {
  protected:
    HeldWindowTest() {
        setup->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    cuiSheetServices Services() {
        cuiSheetServices services;
        services.catalogue = &process->Text();
        services.events = &process->Events();
        services.settings = &settings();
        services.organisation = &process->Main().Organisation();
        return services;
    }
};

TEST_F(HeldWindowTest, TheMainWindowIgnoresInputUntilTheWindowCloses) {
    const std::function<QWidget*()> opens[] = {
        [&] { return cuiCloneInfoWindow::Show(Services(), form.get()); },
        [&] { return cuiAboutBox::Show(process->Text(), form.get()); }};
    for (const auto& open : opens) {
        ASSERT_TRUE(form->isVisible());
        QPointer<QWidget> window = open();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_FALSE(form->close()); // the close command is refused
        EXPECT_TRUE(form->isVisible());
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(window);
        EXPECT_TRUE(form->isEnabled());
    }
}

TEST_F(HeldWindowTest, TheCloneInformationShowsTheReceiversCommentAsSixteenCharacters) {
    const char comment[] = "HARLON  TEST    ";
    std::memcpy(process->Main().ReceiverInformation().data(), comment, 16);
    auto* window = cuiCloneInfoWindow::Show(Services(), form.get());
    EXPECT_EQ(window->windowTitle(), "Pelham");
    cuiSheet& sheet = window->Sheet();
    EXPECT_EQ(sheet.DisplayText(0, 0), "Clone Information");
    EXPECT_EQ(sheet.DisplayText(1, 1), comment);
    // The whole sheet shows, without scroll bars, above the button.
    EXPECT_EQ(sheet.size(), sheet.PreferredSize());
    EXPECT_LE(sheet.mapTo(window, QPoint(0, sheet.height())).y(), window->Button()->y());
    EXPECT_EQ(window->Button()->text(), "OK");
    QTest::mouseClick(window->Button(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(HeldWindowTest, TheAboutBoxSaysTheRevisionAndCopyright) {
    auto* box = cuiAboutBox::Show(process->Text(), form.get());
    EXPECT_EQ(box->windowTitle(), "About Pelham");
    EXPECT_EQ(box->Label()->text(), "\nPelham Revision 1.0\n\nCopyright (C) Tarn Inc.");
    EXPECT_FALSE(box->Picture()->pixmap().isNull());
    EXPECT_GT(box->Button()->x(), box->Label()->geometry().right());
    QTest::keyClick(box->Button(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->isEnabled());
}

// ---- The main window's commands ----

// The window of that class the main window holds, if any. (The windows have no meta
// object of their own, so findChild cannot tell them apart.)
template <class Window> Window* HeldBy(QWidget* mainWindow) {
    for (QWidget* child : mainWindow->findChildren<QWidget*>())
        if (auto* window = dynamic_cast<Window*>(child)) return window;
    return nullptr;
}

TEST_F(HeldWindowTest, CloneInformationOpensTheWindowOverTheMainWindow) {
    settings().destination = 1;
    receiver.infoAnswer = receiver::InfoAnswer(1);
    const char comment[] = "HARLON  TEST    ";
    std::copy(comment, comment + 16, receiver.infoAnswer.begin() + 9);
    form->MainMenu()->FindItem(CL_Menu_Clone_Info)->trigger();
    RunSession();
    auto* window = HeldBy<cuiCloneInfoWindow>(form.get());
    ASSERT_NE(window, nullptr) << platform.messages.lastText();
    EXPECT_EQ(window->Sheet().DisplayText(1, 1), comment);
    EXPECT_FALSE(form->isEnabled());
    QTest::keyClick(window, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(HeldWindowTest, AboutAndThePortDialogRunFromTheMenu) {
    form->MainMenu()->RefreshStates(); // as a menu does when it opens
    form->MainMenu()->FindItem(CL_Help_About)->trigger();
    auto* box = HeldBy<cuiAboutBox>(form.get());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(form->isEnabled());
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const std::string before = settings().comPort;
    for (const QString& answer : {QString(), QStringLiteral("/dev/pts/7")}) {
        QTimer::singleShot(0, [answer] {
            auto* dialog = dynamic_cast<cuiPortDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (!answer.isEmpty()) dialog->PathEdit()->setText(answer);
            (answer.isEmpty() ? dialog->CancelButton() : dialog->OkButton())->click();
        });
        form->MainMenu()->FindItem(CL_Menu_Port_Usb)->trigger();
        EXPECT_EQ(settings().comPort, answer.isEmpty() ? before : answer.toStdString());
    }
}

} // namespace

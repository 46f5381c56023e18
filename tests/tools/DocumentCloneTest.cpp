// The document's Clone Read and Clone Write against harlon-sim on a pseudo-terminal: the
// controller, the clone session and the real termios port, with the clock of the tests
// moved along in step with real time.

#include "CloneToolProcess.h"
#include "app/AppTestSupport.h"

#include "app/indDocumentFile.h"
#include "clone/indCloneProgress.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcMemoryMap.h"
#include "settings/indEnviron.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

// Backups of the receiver go to the test's folder, never the user's.
class DataHomeScope {
  public:
    explicit DataHomeScope(const std::string& path) {
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
        setenv("XDG_DATA_HOME", path.c_str(), 1);
    }
    ~DataHomeScope() {
        if (old_)
            setenv("XDG_DATA_HOME", old_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

  private:
    std::optional<std::string> old_;
};

class DocumentCloneTest : public ::testing::Test {
  protected:
    DocumentCloneTest() : program(platform, folder) {}

    indMain& main() { return program.main(); }
    void UsePort(const std::string& port, int destination) {
        program.environ().comPort = port;
        program.environ().highSpeed = 0;
        program.environ().destination = destination;
    }
    // Lets the session run until it is idle again, at most limitMs of real time.
    bool RunSession(int limitMs = 30000) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += 5) {
            if (!main().CloneCommands().Busy()) return true;
            usleep(5000);
            platform.clock.advance(5);
        }
        return false;
    }
    // The first map address where two images differ, or -1.
    static int FirstDifference(const cmcEeprom& a, const cmcEeprom& b) {
        for (int address = 0; address < MapSize; ++address)
            if (a.GetByte(address) != b.GetByte(address)) return address;
        return -1;
    }

    // The status bar's texts, in order.
    void WatchStatus() {
        main().Events().Subscribe(
            [](void* context, const cmcEvent& event) {
                if (event.code == ev::StatusText)
                    static_cast<DocumentCloneTest*>(context)->status.push_back(event.Text());
            },
            this);
    }

    cmcFakePlatform platform;
    testenv::TempFolder folder;
    DataHomeScope dataHome{folder.file("data")};
    RunningProgram program;
    std::vector<std::string> status;
};

TEST_F(DocumentCloneTest, ReadMakesTheReceiversImageAModifiedUntitledDocument) {
    SimProcess sim({"--destination", "1"});
    UsePort(sim.Port(), 1);
    // The read's progress is told its step before it opens; the status bar says when the
    // read ended.
    std::vector<std::string> order;
    main().CloneCommands().SetReadStepObserver([&order] { order.push_back("step"); });
    main().CloneCommands().SetProgressFactory([&order]() -> std::unique_ptr<indCloneProgressView> {
        struct Unseen : indCloneProgressView {
            void ShowProgress(int) override {}
        };
        order.push_back("progress");
        return std::make_unique<Unseen>();
    });
    WatchStatus();
    main().CloneRead();
    ASSERT_TRUE(RunSession());
    EXPECT_EQ(order, (std::vector<std::string>{"step", "progress"}));
    ASSERT_FALSE(status.empty());
    EXPECT_TRUE(status.back().starts_with("Clone Read ended at ")) << status.back();
    EXPECT_EQ(status.back().size(), std::string("Clone Read ended at 12:34.").size());
    EXPECT_TRUE(platform.messages.shown().empty()) << platform.messages.lastText();
    EXPECT_TRUE(main().WorkingImage().HasFormatMarker());
    EXPECT_EQ(main().Organisation().TotalChannels(), 2);
    EXPECT_EQ(main().Modified(), 1);
    EXPECT_EQ(program.window.caption, "Untitled - Pelham");
    EXPECT_TRUE(program.window.enabled);
}

TEST_F(DocumentCloneTest, UndoTakesAReadBackToTheDocumentBeforeIt) {
    cmcEeprom received;
    received.Assign(main().WorkingImage());
    constexpr int nameLetter = memmap::NameTexts; // the receiver holds another name
    received.SetByte(nameLetter, 'Z');
    const std::string image = folder.file("receiver.tcf");
    ASSERT_EQ(WriteDocumentFile(image, received), 0);
    cmcEeprom before;
    before.Assign(main().WorkingImage());
    SimProcess sim({"--destination", "1", "--image", image});
    UsePort(sim.Port(), 1);
    main().CloneRead();
    ASSERT_TRUE(RunSession());
    ASSERT_EQ(main().WorkingImage().GetByte(nameLetter), 'Z');

    EXPECT_EQ(main().UndoCommands().UndoText(), "&Undo Clone Read");
    ASSERT_TRUE(main().UndoCommands().Undo());
    EXPECT_EQ(FirstDifference(main().WorkingImage(), before), -1);
    EXPECT_EQ(main().Modified(), 0) << "the image is the saved one again";
    ASSERT_TRUE(main().UndoCommands().Redo());
    EXPECT_EQ(main().WorkingImage().GetByte(nameLetter), 'Z');
    EXPECT_EQ(main().Modified(), 1);
}

// By default the program backs the receiver up before it writes, and shows the plan of
// the write in place of the question.
TEST_F(DocumentCloneTest, WriteBacksTheReceiverUpAndSendsTheDocumentAfterThePlan) {
    const std::string saved = folder.file("received.tcf");
    SimProcess sim({"--destination", "1", "--save", saved});
    UsePort(sim.Port(), 1);
    platform.lists.script({{0, -1, false}}); // Write
    main().CloneWrite();
    ASSERT_TRUE(RunSession());
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    EXPECT_EQ(platform.lists.shown()[0].caption, "What Will Be Written");
    ASSERT_EQ(platform.messages.shown().size(), 1u) << platform.messages.lastText();
    EXPECT_NE(platform.messages.lastText().find("Cloning is succeeded."), std::string::npos)
        << platform.messages.lastText();
    cmcEeprom received;
    received.SetSize(ImageSize);
    ASSERT_EQ(ReadDocumentFile(saved, received), 0);
    EXPECT_EQ(FirstDifference(received, main().WorkingImage()), -1);
    const auto backups = std::filesystem::path(folder.file("data")) / "pelham" / "backups";
    ASSERT_TRUE(std::filesystem::is_directory(backups));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(backups),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DocumentCloneTest, AnotherDestinationStopsTheReadAndKeepsTheDocument) {
    SimProcess sim({"--destination", "3"});
    UsePort(sim.Port(), 1);
    WatchStatus();
    cmcEeprom before;
    before.Assign(main().WorkingImage());
    main().CloneRead();
    ASSERT_TRUE(RunSession());
    EXPECT_NE(platform.messages.lastText().find("Receiver version does not match."),
              std::string::npos)
        << platform.messages.lastText();
    EXPECT_EQ(FirstDifference(main().WorkingImage(), before), -1);
    EXPECT_EQ(main().Modified(), 0);
    EXPECT_TRUE(program.window.enabled);
    ASSERT_FALSE(status.empty());
    EXPECT_NE(status.back().find("the document is unchanged"), std::string::npos) << status.back();
}

} // namespace

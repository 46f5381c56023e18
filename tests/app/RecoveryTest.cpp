#include "AppTestSupport.h"

#include "app/indDocumentFile.h"
#include "app/indRecovery.h"
#include "model/cmcMemoryMap.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace {

using testenv::TempFolder;

namespace fs = std::filesystem;

// A letter of a name: adopting the image leaves the name table as it is.
constexpr int EditAddress = memmap::NameTexts + 16 * 5;
constexpr int EditValue = 'Z';

// The program with recovery into the test's folder.
struct RecoveringProgram {
    RecoveringProgram(cmcFakePlatform& platform, const TempFolder& folder)
        : program(platform, folder), path(folder.file("state/pelham/recovery.tcf")) {
        main().Recovery().Start(path);
    }
    indMain& main() { return program.main(); }
    // A change a cell action makes, detected as the cell logic does after it.
    void Edit(int address = EditAddress, int value = EditValue) {
        main().WorkingImage().SetByte(address, value);
        main().AfterCellAction();
    }
    bool FileThere() const { return fs::exists(path); }
    // Whether the recovery file holds the working image, and its byte at an address.
    bool HoldsWorkingImage() {
        cmcEeprom image;
        image.SetSize(ImageSize);
        return ReadDocumentFile(path, image) == 0 && !image.IsDifferent(main().WorkingImage());
    }

    RunningProgram program;
    std::string path;
};

class RecoveryTest : public ::testing::Test {
  protected:
    cmcFakePlatform platform;
    TempFolder folder;
};

TEST_F(RecoveryTest, UnsavedChangesReachTheFileAfterTheIntervalAndGoWhenSaved) {
    RecoveringProgram program(platform, folder);
    program.Edit();
    platform.clock.advance(indRecovery::DefaultIntervalMs - 500);
    EXPECT_FALSE(program.FileThere()) << "not before the interval has run";
    platform.clock.advance(600);
    ASSERT_TRUE(program.FileThere());
    EXPECT_TRUE(program.HoldsWorkingImage());
    EXPECT_TRUE(program.main().FileName().empty()) << "the document itself stays as it was";

    // Nothing new: nothing written; a further change waits its own interval.
    platform.clock.advance(indRecovery::DefaultIntervalMs * 2);
    EXPECT_EQ(program.main().Recovery().Writes(), 1);
    program.Edit(EditAddress + 1);
    platform.clock.advance(1000);
    EXPECT_EQ(program.main().Recovery().Writes(), 1);
    platform.clock.advance(indRecovery::DefaultIntervalMs);
    EXPECT_EQ(program.main().Recovery().Writes(), 2);
    EXPECT_TRUE(program.HoldsWorkingImage());

    ASSERT_EQ(program.main().SaveDocument(folder.file("saved.tcf")), 0);
    platform.clock.advance(100);
    EXPECT_FALSE(program.FileThere());
}

TEST_F(RecoveryTest, DiscardingOrACleanEndRemovesTheFile) {
    struct Case {
        const char* name;
        void (*finish)(RecoveringProgram&, cmcFakePlatform&);
    } cases[] = {
        {"New without saving",
         [](RecoveringProgram& p, cmcFakePlatform& platform) {
             platform.messages.script({answer::No});
             p.main().FileNew();
             platform.clock.advance(100);
         }},
        {"the window closed",
         [](RecoveringProgram& p, cmcFakePlatform& platform) {
             platform.messages.script({answer::No});
             ASSERT_TRUE(p.main().CloseQuery());
             p.main().WindowClosed();
         }},
    };
    for (const Case& c : cases) {
        RecoveringProgram program(platform, folder);
        program.Edit();
        platform.clock.advance(indRecovery::DefaultIntervalMs + 100);
        ASSERT_TRUE(program.FileThere()) << c.name;
        c.finish(program, platform);
        EXPECT_FALSE(program.FileThere()) << c.name;
    }
}

// The kill comes while the program runs, so nothing of its own ending runs.
void EditThenGetKilled(cmcFakePlatform& platform, const TempFolder& folder) {
    RecoveringProgram program(platform, folder);
    program.Edit();
    platform.clock.advance(indRecovery::DefaultIntervalMs + 100);
    std::raise(SIGKILL);
}

TEST_F(RecoveryTest, AfterAKillTheNextStartOffersTheEditAndRestoresIt) {
    // The child is a fork of this process: the same folder, its own copy of the program.
    EXPECT_EXIT(EditThenGetKilled(platform, folder), ::testing::KilledBySignal(SIGKILL), "");
    ASSERT_TRUE(fs::exists(folder.file("state/pelham/recovery.tcf")));

    RecoveringProgram next(platform, folder);
    EXPECT_NE(next.main().WorkingImage().GetByte(EditAddress), EditValue) << "not yet asked";
    platform.messages.script({answer::Yes});
    platform.clock.advance(100);
    ASSERT_EQ(platform.messages.shown().size(), 1u);
    EXPECT_EQ(platform.messages.shown()[0].text,
              "Pelham did not close properly and kept the changes that were not saved. "
              "Restore them?");
    EXPECT_EQ(next.main().WorkingImage().GetByte(EditAddress), EditValue);
    EXPECT_TRUE(next.main().FileName().empty());
    EXPECT_EQ(next.main().Modified(), 1);
    EXPECT_EQ(next.program.window.caption, "Untitled - Pelham");
    EXPECT_TRUE(next.FileThere()) << "kept until saved or given up";
    platform.clock.advance(indRecovery::DefaultIntervalMs * 2);
    EXPECT_EQ(platform.messages.shown().size(), 1u) << "offered once";
}

TEST_F(RecoveryTest, ALeftOverFileGivenUpOrDamagedGoesAndTheNewDocumentStays) {
    struct Case {
        const char* name;
        std::string contents; // "" a real recovery file
        int answer;
    } cases[] = {
        {"given up", "", answer::No},
        {"damaged", "not a clone data file\r\n", answer::Yes},
    };
    for (const Case& c : cases) {
        const std::string path = folder.file("state/pelham/recovery.tcf");
        fs::create_directories(fs::path(path).parent_path());
        cmcEeprom edited;
        {
            RunningProgram earlier(platform, folder);
            edited.Assign(earlier.main().NewDocumentImage());
        }
        edited.SetByte(EditAddress, EditValue);
        testenv::writeFile(path, c.contents.empty() ? RenderDocumentFile(edited) : c.contents);

        platform.messages.clear();
        RecoveringProgram next(platform, folder);
        const bool damaged = !c.contents.empty();
        platform.messages.script({c.answer});
        if (damaged) platform.messages.script({answer::Ok});
        platform.clock.advance(100);
        // The question, and the file error of a damaged file.
        EXPECT_EQ(platform.messages.shown().size(), damaged ? 2u : 1u) << c.name;
        EXPECT_FALSE(next.FileThere()) << c.name;
        EXPECT_EQ(next.main().Modified(), 0) << c.name;
        EXPECT_NE(next.main().WorkingImage().GetByte(EditAddress), EditValue) << c.name;
    }
}

} // namespace

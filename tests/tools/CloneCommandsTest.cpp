// The document's clone commands on the manual clock and an in-memory receiver.

#include "app/indCloneCommands.h"
#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "clone/CloneDriverFixture.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcMemoryMap.h"
#include "support/TestEnvironment.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

class FakeDocument : public indCloneDocument {
  public:
    FakeDocument() { working.SetSize(ImageSize); }
    cmcEeprom& WorkingImage() override { return working; }
    int ConfirmSave(bool) override { return confirmSave; }
    void AdoptLoadedImage(cmcEeprom&) override { log += "adopt "; }
    void MarkModified() override { log += "modified "; }
    void ClearFileName() override { log += "untitled "; }
    void CloseSheet() override { log += "close "; }
    bool MainWindowVisible() override { return visible; }
    int InstalledDestination() override { return destination; }
    indCloneLine CloneLine() override { return {"/dev/ttyUSB0", false}; }
    void OpenCloneInformation() override { log += "info-window "; }
    indSafeWrite::Options CloneWriteSafety() override { return safety; }

    cmcEeprom working;
    indSafeWrite::Options safety = {false, false, "", nullptr, false, {}};
    int confirmSave = answer::No;
    bool visible = true;
    int destination = 0;
    std::string log;
};

class CloneCommandsTest : public ::testing::Test {
  protected:
    CloneCommandsTest() {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        events.Subscribe(&CloneCommandsTest::OnEvent, this);
        // The questions before a write; the plan that replaces them is tested on its own.
        ShowPlan(false);
        commands.SetDataHooks({[this] { return counts; },
                               [this](cmcEeprom&) { document.log += "prepare "; },
                               [](cmcEeprom& copy) {
                                   copy.SetByte(0, 0x5A);
                                   return std::vector<clsRecordRef>{};
                               }});
    }
    ~CloneCommandsTest() override {
        events.Unsubscribe(&CloneCommandsTest::OnEvent, this);
        cmcGTex::SetProcess(nullptr);
    }
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<CloneCommandsTest*>(context);
        if (event.code == ev::ReceiverFlags || event.code == ev::RebuildBranches ||
            event.code == ev::FinishSetup)
            self->document.log += "ev" + std::to_string(event.code) + "(" +
                                  std::to_string(event.a) + "," + std::to_string(event.b) + ") ";
    }
    void ShowPlan(bool shown) {
        platform.settings.writeInt(SettingsScope::User, "Clone", "ShowWritePlan", shown ? 1 : 0);
    }
    void Settle() {
        for (int i = 0; i < 60000 && (commands.Busy() || platform.clock.tickCount() < 10); i += 10)
            platform.clock.advance(10);
        platform.clock.advance(20);
    }
    int InfoRequests() const {
        int n = 0;
        for (const auto& frame : receiverSide.framesSeen)
            n += frame.size() > 2 && frame[2] == 0xE0;
        return n;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& shown : platform.messages.shown())
            texts.push_back(shown.text.substr(0, shown.text.find('\n')));
        return texts;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    cmcEvMan events;
    MemoryLine line;
    MemoryLineScope scope{line};
    FakeReceiver receiverSide{line};
    FakeDocument document;
    indCheckCounts counts;
    indCloneCommands commands{document, events};
};

TEST_F(CloneCommandsTest, ReadAdoptsTheReceiversImageAsAnUntitledModifiedDocument) {
    receiverSide.image = RandomImage(1);
    std::memcpy(receiverSide.image.data() + MarkerAddress, FormatMarker, FormatMarkerLength);
    commands.CloneRead();
    Settle();
    EXPECT_TRUE(platform.messages.shown().empty()) << Texts()[0];
    EXPECT_EQ(document.log, "ev55(1,0) adopt modified untitled ev55(0,1) close ev41(0,0) ");
    EXPECT_TRUE(std::equal(receiverSide.image.begin(), receiverSide.image.begin() + MapSize,
                           document.working.Data()));
}

TEST_F(CloneCommandsTest, ReadFailuresLeaveTheDocumentAlone) {
    document.confirmSave = answer::Cancel;
    commands.CloneRead();
    Settle();
    EXPECT_TRUE(line.sent.empty());

    document.confirmSave = answer::No;
    commands.CloneRead(); // the served image has no format marker
    Settle();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Illegal data."});
    EXPECT_EQ(document.log, "");
    EXPECT_EQ(document.working.GetByte(5), 0);
}

TEST_F(CloneCommandsTest, TheDestinationMustMatchWhileTheMainWindowIsVisible) {
    receiverSide.infoAnswer = receiver::InfoAnswer(4);
    commands.CloneInformation();
    Settle();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Receiver version does not match."});
    EXPECT_EQ(document.log, "");

    document.visible = false; // the Initial Setup asks
    commands.CloneInformation();
    Settle();
    EXPECT_EQ(document.log, "ev55(1,1) ev58(0,0) ");
    EXPECT_EQ(commands.ReceiverInformation()[ReceiverDestinationByte], 4);
}

TEST_F(CloneCommandsTest, InformationOpensTheWindowWhenTheMainWindowIsVisible) {
    receiverSide.infoAnswer = receiver::InfoAnswer(0, 3);
    commands.CloneInformation();
    Settle();
    EXPECT_EQ(document.log, "ev55(1,1) info-window close ");
    EXPECT_EQ(commands.ReceiverInformation()[ReceiverFlagsByte], 3);
}

TEST_F(CloneCommandsTest, ConfirmedWriteAsksTheReceiverAgainAndSendsTheCorrectedCopy) {
    document.working.SetByte(0, 0x11);
    document.working.SetByte(100, 0x22);
    platform.messages.script({answer::Ok});
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write to receiver. Are you sure?",
                                                 "Cloning is succeeded."}));
    EXPECT_EQ(InfoRequests(), 2);
    EXPECT_EQ(receiverSide.dataFramesWritten, 3650);
    EXPECT_EQ(receiverSide.written[0], 0x5A);     // replaced on the copy ...
    EXPECT_EQ(document.working.GetByte(0), 0x11); // ... never in the document
    EXPECT_EQ(receiverSide.written[100], 0x22);
    EXPECT_FALSE(commands.WriteConfirmed());
}

TEST_F(CloneCommandsTest, WriteQuestionsAndRefusals) {
    counts = {0, 2};
    commands.CloneWrite(); // warnings: asked with the warning text, cancelled
    Settle();
    counts = {1, 0};
    commands.CloneWrite(); // errors: refused without a question
    Settle();
    commands.SetDataHooks({});
    commands.CloneWrite(); // no check available: refused
    Settle();
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Setting warning is found.", "Setting error is found.",
                                        "Setting error is found."}));
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);
    EXPECT_EQ(platform.messages.shown()[0].buttons, MsgButtons::OkCancel);
}

TEST_F(CloneCommandsTest, AFailureAfterConfirmingLeavesNoConfirmationBehind) {
    platform.messages.script({answer::Ok});
    // The receiver answers the first request only: the second exchange fails.
    commands.CloneWrite();
    while (InfoRequests() < 1)
        platform.clock.advance(1);
    receiverSide.answerInfo = false;
    Settle();
    EXPECT_FALSE(commands.WriteConfirmed());
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);

    // The next Clone Write asks again instead of writing at once.
    receiverSide.answerInfo = true;
    platform.messages.clear();
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Write to receiver. Are you sure?"});
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);
}

// The steps around a write: the receiver's image as the backup, then the write.
class CloneSafetyTest : public CloneCommandsTest {
  protected:
    CloneSafetyTest() {
        document.safety.backupFolder = temp.file("backups");
        // A document with the format marker, and a receiver holding something else.
        document.working.SetBytes(MarkerAddress, reinterpret_cast<const uint8_t*>(FormatMarker),
                                  FormatMarkerLength);
        receiverSide.image = RandomImage(7);
        std::memcpy(receiverSide.image.data() + MarkerAddress, FormatMarker, FormatMarkerLength);
        platform.messages.script({answer::Ok});
    }
    // The commands of the frames the receiver saw: E0 information, E2 read, E3 write.
    std::string Requests() const {
        std::string requests;
        for (const auto& frame : receiverSide.framesSeen)
            if (frame.size() > 2 && frame[2] != 0xE4 && frame[2] != 0xE5) {
                char command[8];
                std::snprintf(command, sizeof command, "%02X ", frame[2]);
                requests += command;
            }
        return requests;
    }
    std::vector<std::string> BackupFiles() const {
        std::vector<std::string> files;
        if (!std::filesystem::exists(temp.file("backups"))) return files;
        for (const auto& entry : std::filesystem::directory_iterator(temp.file("backups")))
            files.push_back(entry.path().string());
        return files;
    }
    // The image the write sends: the document with the replaced first byte.
    std::vector<uint8_t> Sent() const {
        std::vector<uint8_t> sent(document.working.Data(), document.working.Data() + ImageSize);
        sent[0] = 0x5A;
        return sent;
    }

    testenv::TempFolder temp;
};

TEST_F(CloneSafetyTest, WriteReadsTheReceiverFirstAndKeepsItsImage) {
    document.safety.backup = true;
    std::vector<indSafeWrite::Step> steps;
    commands.SetWriteStepObserver([&](indSafeWrite::Step step) { steps.push_back(step); });
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(steps, (std::vector{indSafeWrite::Step::Backup, indSafeWrite::Step::Write}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Write to receiver. Are you sure?",
                                                 "Cloning is succeeded."}));
    EXPECT_EQ(Requests(), "E0 E0 E2 E3 ");
    EXPECT_EQ(receiverSide.dataFramesWritten, 3650);
    const std::vector<std::string> backups = BackupFiles();
    ASSERT_EQ(backups.size(), 1u);
    cmcEeprom backup;
    backup.SetSize(ImageSize);
    ASSERT_EQ(ReadDocumentFile(backups[0], backup), 0);
    EXPECT_TRUE(std::equal(receiverSide.image.begin(), receiverSide.image.begin() + MapSize,
                           backup.Data()));
}

TEST_F(CloneSafetyTest, AFailedBackupWritesNothing) {
    document.safety.backup = true;
    receiverSide.image[MarkerAddress] = 'X'; // a read the image check refuses
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Write to receiver. Are you sure?", "Illegal data.",
                           "The receiver could not be backed up, so nothing was written to it."}));
    EXPECT_EQ(Requests(), "E0 E0 E2 ");
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);
    EXPECT_TRUE(BackupFiles().empty());
    EXPECT_FALSE(commands.WriteConfirmed());
}

TEST_F(CloneSafetyTest, VerifyComparesTheReadBackWithWhatWasSent) {
    document.safety.verify = true;
    receiverSide.image = Sent(); // a receiver that reads back what it is sent
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Requests(), "E0 E0 E3 E2 ");
    EXPECT_EQ(Texts().back(), "Cloning is succeeded.");

    receiverSide.image[memmap::CommonSettings + memmap::common::BeepLevel] ^= 0x01;
    platform.messages.clear();
    platform.messages.script({answer::Ok});
    commands.CloneWrite();
    Settle();
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], "The receiver does not hold what was written. It differs in:");
    EXPECT_NE(platform.messages.lastText().find("Common settings, Sound: Beep Level"),
              std::string::npos)
        << platform.messages.lastText();
}

// The plan replaces the question: it comes after the backup read, and only Write sends.
TEST_F(CloneSafetyTest, ThePlanFollowsTheBackupReadAndOnlyWriteSends) {
    ShowPlan(true);
    platform.messages.clear();
    document.safety.backup = true;
    commands.CloneWrite(); // the plan is cancelled
    Settle();
    EXPECT_EQ(Requests(), "E0 E2 ");
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);
    EXPECT_TRUE(platform.messages.shown().empty()) << Texts()[0];
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    EXPECT_EQ(platform.lists.shown()[0].caption, "What Will Be Written");
    EXPECT_TRUE(commands.LastPlan().compared);
    EXPECT_TRUE(commands.LastPlan().receiverChanges);
    EXPECT_EQ(BackupFiles().size(), 1u);

    // A line chosen cancels too; the document is asked to show it.
    platform.lists.script({{-1, 1, true}});
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(receiverSide.dataFramesWritten, 0);

    platform.lists.script({{0, -1, false}});
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Requests(), "E0 E2 E0 E2 E0 E2 E3 ");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cloning is succeeded."});
    EXPECT_TRUE(std::equal(receiverSide.written.begin(), receiverSide.written.begin() + MapSize,
                           Sent().begin()));
}

// Without a backup the plan is asked before anything is read or sent, and says it could
// not compare.
TEST_F(CloneSafetyTest, WithoutABackupThePlanCannotCompare) {
    ShowPlan(true);
    platform.messages.clear();
    document.safety.backup = false;
    platform.lists.script({{0, -1, false}});
    commands.CloneWrite();
    Settle();
    EXPECT_EQ(Requests(), "E0 E3 ");
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    EXPECT_FALSE(commands.LastPlan().compared);
    EXPECT_NE(platform.lists.shown()[0].summary.find("could not be compared"), std::string::npos)
        << platform.lists.shown()[0].summary;
}

// A backup written back goes through the plan even with the plan switched off, and leaves
// the document alone.
TEST_F(CloneSafetyTest, AnImageWrittenBackAlwaysShowsThePlan) {
    platform.messages.clear();
    document.safety.backup = true;
    cmcEeprom backup;
    backup.Assign(document.working);
    backup.SetByte(memmap::CommonSettings + memmap::common::BeepLevel, 12);
    commands.CloneWriteImage(backup); // cancelled
    Settle();
    EXPECT_EQ(Requests(), "E0 E2 ");
    ASSERT_EQ(platform.lists.shown().size(), 1u);
    platform.lists.script({{0, -1, false}});
    commands.CloneWriteImage(backup);
    Settle();
    EXPECT_EQ(Requests(), "E0 E2 E0 E2 E3 ");
    EXPECT_EQ(receiverSide.written[memmap::CommonSettings + memmap::common::BeepLevel], 12);
    EXPECT_EQ(document.working.GetByte(memmap::CommonSettings + memmap::common::BeepLevel), 0);
    EXPECT_EQ(document.log.find("prepare"), std::string::npos); // not the document's image
}

TEST_F(CloneSafetyTest, KeepsTheNewestBackups) {
    std::vector<std::string> made;
    for (int i = 0; i < BackupsKept + 2; ++i) {
        document.working.SetByte(0, i);
        std::string path;
        ASSERT_EQ(SaveBackup(temp.file("backups"), document.working, path), 0);
        made.push_back(path);
    }
    EXPECT_EQ(BackupFiles().size(), size_t(BackupsKept));
    EXPECT_FALSE(std::filesystem::exists(made[0]));
    EXPECT_FALSE(std::filesystem::exists(made[1]));
    cmcEeprom newest;
    newest.SetSize(ImageSize);
    ASSERT_EQ(ReadDocumentFile(made.back(), newest), 0);
    EXPECT_EQ(newest.GetByte(0), BackupsKept + 1);
}

} // namespace

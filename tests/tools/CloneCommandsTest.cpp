// The document's clone commands on the manual clock and an in-memory receiver.

#include "app/indCloneCommands.h"
#include "catalogue/cmcGTex.h"
#include "clone/CloneDriverFixture.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"

#include <cstring>

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

    cmcEeprom working;
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
        commands.SetDataHooks({[this] { return counts; },
                               [this](cmcEeprom&) { document.log += "prepare "; },
                               [](cmcEeprom& copy) { copy.SetByte(0, 0x5A); }});
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

} // namespace

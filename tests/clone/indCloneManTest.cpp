#include "CloneDriverFixture.h"

#include "catalogue/cmcGTex.h"
#include "clone/indCloneMan.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"

namespace {

// A progress window that records what it was shown.
struct ProgressLog {
    int created = 0;
    int destroyed = 0;
    std::vector<int> shown;
};

class RecordingProgress : public indCloneProgressView {
  public:
    explicit RecordingProgress(ProgressLog& log) : log_(log) { ++log_.created; }
    ~RecordingProgress() override { ++log_.destroyed; }
    void ShowProgress(int filled) override { log_.shown.push_back(filled); }

  private:
    ProgressLog& log_;
};

class CloneSessionTest : public ::testing::Test {
  protected:
    CloneSessionTest() {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        events.Subscribe(&CloneSessionTest::OnEvent, this);
        session.SetRequestWords(0x3076, 0);
        session.SetImageSize(117952);
        session.SetLineSource([this] { return lineSettings; });
        session.SetProgressFactory(
            [this] { return std::make_unique<RecordingProgress>(progress); });
        session.InstallInformationCheck([](dst_CDrv_Result&) {});
        session.InstallImageCheck([](dst_CDrv_Result&) {});
    }
    ~CloneSessionTest() override {
        events.Unsubscribe(&CloneSessionTest::OnEvent, this);
        cmcGTex::SetProcess(nullptr);
    }

    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<CloneSessionTest*>(context);
        // Which events came, with a, and how many messages had been shown by then.
        self->seen.push_back(
            {event.code, int(event.a), int(self->platform.messages.shown().size())});
    }

    indCloneMan::Completion Keep() {
        return [this](dst_CDrv_Result& result) { outcome.Take(result); };
    }

    void Run(uint32_t limitMs = 60000) {
        const uint32_t start = platform.clock.tickCount();
        while (!outcome.done && platform.clock.tickCount() - start < limitMs)
            platform.clock.advance(1);
        ASSERT_TRUE(outcome.done);
    }

    struct Seen {
        int code, a, messages;
        bool operator==(const Seen&) const = default;
    };

    cmcFakePlatform platform;
    cmcGTex catalogue;
    cmcEvMan events;
    MemoryLine line;
    MemoryLineScope scope{line};
    FakeReceiver receiverSide{line};
    indCloneLine lineSettings{"/dev/ttyUSB7", false};
    indCloneMan session{events};
    ProgressLog progress;
    Outcome outcome;
    std::vector<Seen> seen;
};

TEST_F(CloneSessionTest, ErrorMessagesCarryTheCheckLinesOfTheirCode) {
    dst_CDrv_Result result;
    result.portPath = "/dev/ttyUSB7";
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {2, "Cannot access /dev/ttyUSB7.\n\nCheck the following:\n - The COM port settings.\n"
            " - Cloning cable connections.\n - Receiver power is ON."},
        {10, "Cannot write cloning data.\n\nCheck the following:\n - Cloning cable connections.\n"
             " - Receiver power is ON."},
        {13,
         "Receiver version does not match.\n\nThe receiver cannot be programmed with the current "
         "setting.\nPlease run the 'Initial Setup' again."},
        {14, "Connected receiver is not compatible model.\n\nCheck the following:\n - Appropriate "
             "cloning software for the receiver is being used.\n - The version number of the "
             "receiver."},
        {16, "Please update to the latest version.\n\n"},
    };
    for (const Case& c : cases) {
        result.code = c.code;
        EXPECT_EQ(indCloneMan::ErrorMessage(result), c.text) << c.code;
    }
    result.code = 2;
    result.portError = cmcPortError::Denied;
    EXPECT_NE(indCloneMan::ErrorMessage(result).find("dialout"), std::string::npos);
}

TEST_F(CloneSessionTest, AFailedInformationPhaseShowsItsMessageBeforeTheEndEvents) {
    receiverSide.answerInfo = false;
    ASSERT_TRUE(session.StartInformation(Keep()));
    EXPECT_EQ(seen, (std::vector<Seen>{{ev::CloneStarting, 0, 0}}));
    Run();
    EXPECT_EQ(outcome.code, 5);
    ASSERT_EQ(platform.messages.shown().size(), 1u);
    EXPECT_EQ(platform.messages.shown()[0].text.rfind("No answer from receiver.\n\n", 0), 0u);
    EXPECT_EQ(platform.messages.shown()[0].caption, "Pelham");
    EXPECT_EQ(platform.messages.shown()[0].icon, MsgIcon::Error);
    EXPECT_EQ(seen,
              (std::vector<Seen>{
                  {ev::CloneStarting, 0, 0}, {ev::CloneEnding, 0, 1}, {ev::ClonePhaseDone, 0, 1}}));
    EXPECT_EQ(progress.created, 0); // no progress window for the information phase
}

TEST_F(CloneSessionTest, MissingChecksFailThePhase) {
    indCloneMan bare(events);
    bare.SetLineSource([this] { return lineSettings; });
    ASSERT_TRUE(bare.StartInformation(Keep()));
    Run();
    EXPECT_EQ(outcome.code, 11);
}

TEST_F(CloneSessionTest, ReadShowsProgressAndRemovesTheWindowAtTheEnd) {
    receiverSide.image = RandomImage(1);
    ASSERT_TRUE(session.StartRead(WholeMap, Keep()));
    EXPECT_EQ(session.TotalBytes(), 116800);
    EXPECT_EQ(progress.created, 1);
    EXPECT_FALSE(session.StartInformation(Keep())); // refused while a phase runs
    EXPECT_FALSE(session.StartWrite(cmcEeprom(), WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(platform.messages.shown().empty());
    EXPECT_EQ(progress.destroyed, 1);
    EXPECT_FALSE(session.HasProgressWindow());
    ASSERT_FALSE(progress.shown.empty());
    EXPECT_EQ(progress.shown.back(), 33);
    EXPECT_TRUE(std::is_sorted(progress.shown.begin(), progress.shown.end()));
    EXPECT_EQ(seen.back(), (Seen{ev::ClonePhaseDone, 1, 0}));
}

TEST(CloneProgress, HalfTheImageFillsSixteenCells) {
    EXPECT_EQ(CloneProgressCells(58400, 116800), 16);
    EXPECT_EQ(CloneProgressCells(116799, 116800), 32);
    EXPECT_EQ(CloneProgressCells(116800, 116800), 33);
    EXPECT_EQ(CloneProgressCells(10, 0), 0);
}

TEST_F(CloneSessionTest, NormalSpeedRunsEverythingAt9600Baud) {
    receiverSide.image = RandomImage(2);
    ASSERT_TRUE(session.StartRead(WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(line.opens, std::vector<std::string>{"/dev/ttyUSB7 9600"});
    for (const auto& frame : receiverSide.framesSeen)
        EXPECT_NE(frame[2], 0xE8);
}

TEST_F(CloneSessionTest, HighSpeedSwitchesForTheTransferButNotForInformation) {
    lineSettings.highSpeed = true;
    ASSERT_TRUE(session.StartInformation(Keep()));
    Run();
    EXPECT_EQ(line.opens, std::vector<std::string>{"/dev/ttyUSB7 9600"});

    outcome = Outcome();
    line.opens.clear();
    receiverSide.image = RandomImage(3);
    ASSERT_TRUE(session.StartRead(WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(line.opens, (std::vector<std::string>{"/dev/ttyUSB7 9600", "/dev/ttyUSB7 38400"}));
    const std::vector<uint8_t> speedSwitch = {0xEE, 0xEF, 0xE8, 0x30, 0x76, 0x00,
                                              0x01, 0x00, 0x00, 0x02, 0x01};
    EXPECT_EQ(receiverSide.framesSeen[receiverSide.framesSeen.size() - 2], speedSwitch);
    EXPECT_EQ(session.Driver().RequestPreamble(), 12);
}

} // namespace

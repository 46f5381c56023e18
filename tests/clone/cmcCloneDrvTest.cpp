#include "CloneDriverFixture.h"

#include "clone/cmcCloneFrames.h"

#include <functional>

using receiver::Bytes;

namespace {

Bytes Concat(const Bytes& a, const Bytes& b) {
    return receiver::Join({a, b});
}

const Bytes InfoRequest = {0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x30, 0x76, 0x00, 0x00, 0xFD};

} // namespace

using CloneDrvTest = CloneDriverFixture;

TEST_F(CloneDrvTest, InformationExchangeSendsTheRequestAndTakesTheAnswer) {
    receiverSide.infoAnswer = receiver::InfoAnswer(5, 3);
    ASSERT_TRUE(driver.StartInformation(Keep()));
    EXPECT_TRUE(driver.Busy());
    Run();

    EXPECT_EQ(line.sent, InfoRequest);
    EXPECT_EQ(line.opens, std::vector<std::string>{"/dev/ttyUSB0 9600"});
    EXPECT_EQ(outcome.phase, 1);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.modelWord, 12406);
    EXPECT_EQ(outcome.extraWord, 1);
    ASSERT_EQ(outcome.payload.size(), 26u);
    EXPECT_EQ(outcome.payload[16], 5);
    EXPECT_EQ(outcome.payload[17], 3);
    EXPECT_FALSE(line.open);
    EXPECT_FALSE(driver.Busy());
}

struct InfoFault {
    const char* name;
    std::function<void(MemoryLine&, FakeReceiver&)> setUp;
    int code;
};

class CloneDrvInfoFault : public CloneDriverFixture,
                          public ::testing::WithParamInterface<InfoFault> {};

TEST_P(CloneDrvInfoFault, EndsWithItsCode) {
    GetParam().setUp(line, receiverSide);
    ASSERT_TRUE(driver.StartInformation(Keep()));
    Run();
    EXPECT_EQ(outcome.code, GetParam().code);
    EXPECT_FALSE(line.open);
    EXPECT_FALSE(driver.Busy());
}

Bytes AnswerWith(size_t index, uint8_t value) {
    Bytes answer = receiver::InfoAnswer();
    answer[index] = value;
    return answer;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CloneDrvInfoFault,
    ::testing::Values(
        // byte 5 of the frame counted from its last FE
        InfoFault{"NotBcd",
                  [](MemoryLine&, FakeReceiver& r) { r.infoAnswer = AnswerWith(6, 0x7A); }, 6},
        InfoFault{"WrongCommand",
                  [](MemoryLine&, FakeReceiver& r) { r.infoAnswer = AnswerWith(4, 0xE4); }, 6},
        InfoFault{"ShortAnswer",
                  [](MemoryLine&, FakeReceiver& r) {
                      r.infoAnswer = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x30, 0xFD};
                  },
                  6},
        InfoFault{"NoAnswer", [](MemoryLine&, FakeReceiver& r) { r.answerInfo = false; }, 5},
        InfoFault{"NoEcho",
                  [](MemoryLine& l, FakeReceiver& r) {
                      l.echo = false;
                      r.answerInfo = false;
                  },
                  4},
        InfoFault{"WrongEcho",
                  [](MemoryLine& l, FakeReceiver& r) {
                      l.echo = false;
                      Bytes echo = InfoRequest;
                      echo[8] = 0x01;
                      r.infoAnswer = Concat(echo, receiver::InfoAnswer());
                  },
                  4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloneDrvTest, NoAnswerEndsOneSecondAfterTheEcho) {
    receiverSide.answerInfo = false;
    ASSERT_TRUE(driver.StartInformation(Keep()));
    const uint32_t took = Run();
    EXPECT_EQ(outcome.code, 5);
    // settle 200 ms, flush 100 ms, then one second without an answer
    EXPECT_GE(took, 1300u);
    EXPECT_LT(took, 1400u);
}

TEST_F(CloneDrvTest, MissingPortFailsAtOnceWithoutSending) {
    line.exists = false;
    ASSERT_TRUE(driver.StartInformation(Keep()));
    const uint32_t took = Run();
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.portPath, "/dev/ttyUSB0");
    EXPECT_EQ(outcome.portError, cmcPortError::Missing);
    EXPECT_TRUE(line.sent.empty());
    EXPECT_LT(took, 300u); // the settle delay, then the failed open
}

TEST_F(CloneDrvTest, StartingWhileBusyIsRefusedButACompletionMayStartTheNext) {
    ASSERT_TRUE(driver.StartInformation(Keep()));
    EXPECT_FALSE(driver.StartInformation(Keep()));
    EXPECT_FALSE(driver.StartRead(WholeMap, Keep()));

    outcome = Outcome();
    Outcome second;
    bool chained = false;
    // Restart with a completion that starts the next operation from inside itself.
    Run();
    ASSERT_TRUE(driver.StartInformation([&](dst_CDrv_Result&) {
        chained = driver.StartInformation([&](dst_CDrv_Result& r) { second.Take(r); });
    }));
    while (!second.done && platform.clock.tickCount() < 20000)
        platform.clock.advance(1);
    EXPECT_TRUE(chained);
    EXPECT_EQ(second.code, 0);
}

TEST_F(CloneDrvTest, ReadsTheWholeImageAtEveryFrameSize) {
    for (int frameBytes : {16, 32, 252}) {
        SCOPED_TRACE(frameBytes);
        outcome = Outcome();
        const std::vector<uint8_t> bytes = RandomImage(unsigned(frameBytes));
        UseImage(bytes);
        receiverSide.frameBytes = frameBytes;
        ASSERT_TRUE(driver.StartRead(WholeMap, Keep()));
        Run();
        EXPECT_EQ(outcome.code, 0);
        EXPECT_EQ(outcome.phase, 2);
        EXPECT_TRUE(outcome.image == bytes);
        EXPECT_EQ(driver.DataBytes(), 116800);
    }
}

using Frames = std::vector<Bytes>;

struct ReadFault {
    const char* name;
    std::function<void(Frames&)> edit;
    int code;
};

class CloneDrvReadFault : public CloneDriverFixture,
                          public ::testing::WithParamInterface<ReadFault> {};

TEST_P(CloneDrvReadFault, EndsWithItsCode) {
    receiverSide.editFrames = GetParam().edit;
    ASSERT_TRUE(driver.StartRead(WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, GetParam().code);
    EXPECT_FALSE(line.open);
}

const Bytes Zeros(32, 0);

Bytes TextFrame(const std::string& text) {
    return receiver::FrameWithText(0xE4, text);
}

// The end frame counting the frames now in the list.
void Recount(Frames& f) {
    f.back() = receiver::EndFrame(int(f.size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CloneDrvReadFault,
    ::testing::Values(
        ReadFault{"LowerCaseDigits",
                  [](Frames& f) { f[3] = receiver::DataFrame(96, Bytes(32, 0xAB), true); }, 6},
        ReadFault{"OddNumberOfDigits",
                  [](Frames& f) { f[3] = TextFrame(receiver::DataText(96, Zeros) + "0"); }, 6},
        ReadFault{"CountDiffers",
                  [](Frames& f) {
                      std::string text = receiver::DataText(96, Zeros);
                      text[9] = '1'; // count 0x21 for 32 bytes
                      f[3] = TextFrame(text);
                  },
                  6},
        ReadFault{"BadCheckSum",
                  [](Frames& f) {
                      std::string text = receiver::DataText(96, Zeros);
                      text.back() = text.back() == '0' ? '1' : '0';
                      f[3] = TextFrame(text);
                  },
                  6},
        ReadFault{"AddressPastTheImage",
                  [](Frames& f) { f[3] = receiver::DataFrame(117952 - 16, Zeros); }, 9},
        ReadFault{"AddressFarPastTheImage",
                  [](Frames& f) { f[3] = receiver::DataFrame(0xFFFFFFF0u, Zeros); }, 9},
        ReadFault{"AddressOutsideTheRangeTable",
                  [](Frames& f) {
                      f.insert(f.end() - 1, receiver::DataFrame(116800, Zeros));
                      Recount(f);
                  },
                  9},
        ReadFault{"FrameDropped",
                  [](Frames& f) {
                      f.erase(f.begin() + 10);
                      Recount(f);
                  },
                  8},
        ReadFault{"EndCountDiffers",
                  [](Frames& f) { f.back() = receiver::EndFrame(int(f.size())); }, 7},
        ReadFault{"EndWithoutTheMaker",
                  [](Frames& f) { f.back() = receiver::FrameWithText(0xE5, "Tarn Ink.72"); }, 6},
        ReadFault{"FrameTooLong", [](Frames& f) { f[3] = TextFrame(std::string(600, '0')); }, 6},
        ReadFault{
            "UnknownCommand",
            [](Frames& f) { f[3] = receiver::FrameWithText(0xE7, receiver::DataText(96, Zeros)); },
            6},
        ReadFault{"GarbageAndRepeatedPreamblesAreIgnored",
                  [](Frames& f) {
                      f[0].insert(f[0].begin(), {0x00, 0x41, 0xFD, 0x13, 0xFE, 0xFE, 0xFE});
                  },
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloneDrvTest, WritesTheWholeImageIn3650FramesWithCount42) {
    const std::vector<uint8_t> bytes = RandomImage(7);
    cmcEeprom image;
    Fill(image, bytes);
    ASSERT_TRUE(driver.StartWrite(image, WholeMap, Keep()));
    image.Fill(0); // the driver works on its own copy
    Run();

    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.phase, 3);
    EXPECT_EQ(receiverSide.dataFramesWritten, 3650);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 116800, receiverSide.written.begin()));
    // request, 3650 data frames of 82 bytes, end frame of 17 bytes
    EXPECT_EQ(line.sent.size(), 10u + 3650u * 82u + 17u);
    const Bytes& end = receiverSide.framesSeen.back();
    EXPECT_EQ(std::string(end.begin() + 3, end.end()), "Tarn Inc.42");
    for (size_t piece : line.writes)
        EXPECT_LE(piece, 1024u);
}

TEST_F(CloneDrvTest, WriteAcknowledgements) {
    const std::vector<uint8_t> bytes = RandomImage(8);
    cmcEeprom image;
    Fill(image, bytes);

    receiverSide.ack = {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0xFA, 0xFD};
    ASSERT_TRUE(driver.StartWrite(image, WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, 10);

    outcome = Outcome();
    receiverSide.answerWrite = false;
    ASSERT_TRUE(driver.StartWrite(image, WholeMap, Keep()));
    const uint32_t started = platform.clock.tickCount();
    Run();
    EXPECT_EQ(outcome.code, 5);
    EXPECT_GE(platform.clock.tickCount() - started, 10000u);
}

TEST_F(CloneDrvTest, AdapterPulledMidWriteEndsWithTheFirstError) {
    cmcEeprom image;
    Fill(image, RandomImage(9));
    ASSERT_TRUE(driver.StartWrite(image, WholeMap, Keep()));
    while (receiverSide.dataFramesWritten < 100)
        platform.clock.advance(1);
    line.failWrites = true;
    Run(20000);
    EXPECT_EQ(outcome.code, 17);
    EXPECT_FALSE(driver.Busy());
}

TEST_F(CloneDrvTest, PortThatNeverDrainsDoesNotHangAndKeepsTheFirstCode) {
    cmcEeprom image;
    Fill(image, RandomImage(10));
    ASSERT_TRUE(driver.StartWrite(image, WholeMap, Keep()));
    while (receiverSide.dataFramesWritten < 100)
        platform.clock.advance(1);
    // The echo stops and the port's queue never empties again.
    line.echo = false;
    line.outQueued = 300;
    Run(20000);
    EXPECT_EQ(outcome.code, 4);
    EXPECT_FALSE(driver.Busy());
    EXPECT_FALSE(line.open);
}

TEST_F(CloneDrvTest, HighSpeedScriptSwitchesTheLineBeforeTheRequest) {
    driver.SetPort("/dev/ttyUSB0", "38400,N,8,1");
    driver.SetScript(
        "(9600,N,8,1)FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 30760001 0000 02 01 FD");
    driver.SetRequestPreamble(12);
    UseImage(RandomImage(11));
    ASSERT_TRUE(driver.StartRead(WholeMap, Keep()));
    Run();
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(line.opens, (std::vector<std::string>{"/dev/ttyUSB0 9600", "/dev/ttyUSB0 38400"}));

    Bytes expected(20, 0xFE);
    expected.insert(expected.end(),
                    {0xEE, 0xEF, 0xE8, 0x30, 0x76, 0x00, 0x01, 0x00, 0x00, 0x02, 0x01, 0xFD});
    expected.insert(expected.end(), 12, 0xFE);
    expected.insert(expected.end(), {0xFE, 0xFE, 0xEE, 0xEF, 0xE2, 0x30, 0x76, 0x00, 0x00, 0xFD});
    EXPECT_EQ(line.sent, expected);
}

TEST(CloneFrames, DataFrameTextAndCheckSum) {
    const std::vector<uint8_t> frame =
        cloneframe::DataFrame(0, 0, std::vector<uint8_t>(32, 0).data(), 32);
    const std::string text(frame.begin() + 5, frame.end() - 1);
    EXPECT_EQ(text, "0000000020" + std::string(64, '0') + "E0");
    EXPECT_EQ(frame.front(), 0xFE);
    EXPECT_EQ(frame.back(), 0xFD);
}

TEST(CloneFrames, HexTextSkipsOtherCharactersAndKeepsALoneLastDigitHigh) {
    EXPECT_EQ(cloneframe::HexTextToBytes("FE fe, 3x0 7"),
              (std::vector<uint8_t>{0xFE, 0xFE, 0x30, 0x70}));
}

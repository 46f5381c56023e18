#include "MemoryLine.h"
#include "clone/cmcBuff.h"
#include "clone/cmcComm.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

TEST(cmcBuff, TakingBytesOneByOneFromALongQueueKeepsTheirOrder) {
    cmcBuff buffer;
    for (int i = 0; i < 10000; ++i)
        buffer.Append(uint8_t(i * 7));
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(buffer.TakeFirst(), uint8_t(i * 7)) << i;
    EXPECT_EQ(buffer.TakeFirst(), -1);
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST(cmcBuff, GrowthFillsWithZeroAndShorteningKeepsTheFront) {
    cmcBuff buffer;
    EXPECT_EQ(buffer.Capacity(), 1u);
    buffer.Assign(reinterpret_cast<const uint8_t*>("abcdef"), 6);
    buffer.DropFront(2);
    buffer.SetLength(10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 4), "cdef");
    for (size_t i = 4; i < 10; ++i)
        EXPECT_EQ(buffer[i], 0);
    buffer.SetLength(2);
    EXPECT_EQ(buffer.Length(), 2u);
    EXPECT_EQ(buffer[1], 'd');
    buffer.Append(buffer); // from itself
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 4), "cdcd");
    buffer.Clear();
    EXPECT_EQ(buffer.Capacity(), 1u);
}

TEST(cmcBuff, ElementPastTheEndIsFatal) {
    cmcBuff buffer;
    buffer.Append(1);
    EXPECT_DEATH(buffer.Element(1), "Out of cmcBuff element !");
}

TEST(cmcLineSettings, ParsesTheFourFields) {
    struct Case {
        const char* text;
        int baud, bits;
        cmcLineSettings::StopBits stop;
    };
    const Case cases[] = {
        {"9600,N,8,1", 9600, 8, cmcLineSettings::StopBits::One},
        {"38400,N,8,1", 38400, 8, cmcLineSettings::StopBits::One},
        {"9600,n,9,1", 9600, 8, cmcLineSettings::StopBits::One},
        {"9600,N,3,1", 9600, 4, cmcLineSettings::StopBits::One},
        {"4800,N,6,2", 4800, 6, cmcLineSettings::StopBits::Two},
        {"4800,N,7,1.5", 4800, 7, cmcLineSettings::StopBits::OneAndHalf},
    };
    for (const Case& c : cases) {
        const cmcLineSettings s = cmcParseLineSettings(c.text);
        EXPECT_EQ(s.baud, c.baud) << c.text;
        EXPECT_EQ(s.dataBits, c.bits) << c.text;
        EXPECT_EQ(s.stopBits, c.stop) << c.text;
        EXPECT_EQ(s.parity, 'N') << c.text;
    }
}

class CommTest : public ::testing::Test {
  protected:
    cmcFakePlatform platform;
    MemoryLine line;
    MemoryLineScope scope{line};
    cmcComm comm;
};

TEST_F(CommTest, SendsInPiecesOfAtMost1024OnlyWhenThePortsQueueIsEmpty) {
    ASSERT_TRUE(comm.Open("/dev/ttyUSB0", "9600,N,8,1"));
    EXPECT_FALSE(comm.Open("/dev/ttyUSB0", "9600,N,8,1")); // already open
    line.echo = false;
    line.receiver = [this](const std::vector<uint8_t>&) { line.outQueued = 500; };
    std::vector<uint8_t> bytes(3000, 0x55);
    comm.Send(bytes.data(), bytes.size());
    EXPECT_EQ(line.writes, std::vector<size_t>{1024});
    EXPECT_EQ(comm.BytesToSend(), 500u + 1976u);
    platform.clock.advance(50);
    EXPECT_EQ(line.writes.size(), 1u); // the port's queue has not emptied
    line.outQueued = 0;
    line.receiver = nullptr;
    platform.clock.advance(30);
    EXPECT_EQ(line.writes, (std::vector<size_t>{1024, 1024, 952}));
    EXPECT_EQ(comm.BytesToSend(), 0u);
}

TEST_F(CommTest, AShortWriteKeepsTheRestQueuedAndAFailureSetsTheWriteError) {
    ASSERT_TRUE(comm.Open("/dev/ttyUSB0", "9600,N,8,1"));
    line.acceptPerWrite = 100;
    std::vector<uint8_t> bytes(250, 1);
    comm.Send(bytes.data(), bytes.size());
    platform.clock.advance(30);
    EXPECT_EQ(line.sent.size(), 250u);
    EXPECT_FALSE(comm.WriteError());
    line.failWrites = true;
    comm.Send(bytes.data(), 10);
    EXPECT_TRUE(comm.WriteError());
    comm.Close();
    EXPECT_FALSE(comm.WriteError());
    EXPECT_EQ(comm.BytesToSend(), 0u);
}

TEST_F(CommTest, ReadingWithNothingWaitingGivesNothing) {
    uint8_t byte;
    EXPECT_EQ(comm.Read(&byte, 1), 0u); // closed
    ASSERT_TRUE(comm.Open("/dev/ttyUSB0", "9600,N,8,1"));
    EXPECT_EQ(comm.Read(&byte, 1), 0u);
}

// The termios port on a real pseudo-terminal.
class TermiosPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        path = ptsname(master);
    }
    void TearDown() override { close(master); }
    int master = -1;
    std::string path;
};

TEST_F(TermiosPortTest, OpensAPseudoTerminalRawAndPassesBytesBothWays) {
    cmcTermiosPort port;
    ASSERT_EQ(port.Open(path, cmcParseLineSettings("38400,N,8,1")), cmcPortError::None)
        << port.ErrorText();
    EXPECT_EQ(port.Open(path, {}), cmcPortError::Busy); // already open
    const uint8_t out[] = {0xFE, 0x0A, 0x0D, 0xFD};
    EXPECT_EQ(port.Write(out, 4), 4);
    uint8_t got[8] = {};
    ASSERT_EQ(read(master, got, sizeof got), 4); // raw: no newline translation
    EXPECT_EQ(std::vector<uint8_t>(got, got + 4), std::vector<uint8_t>(out, out + 4));
    uint8_t none;
    EXPECT_EQ(port.Read(&none, 1), 0); // nothing waiting: no wait either
    ASSERT_EQ(write(master, "\x13\x11", 2), 2);
    for (int i = 0; i < 100 && port.BytesWaiting() < 2; ++i)
        usleep(1000);
    EXPECT_EQ(port.BytesWaiting(), 2);
    EXPECT_EQ(port.Read(got, 8), 2); // XON/XOFF are data, not flow control
    EXPECT_EQ(got[0], 0x13);
}

TEST(TermiosPort, MissingAndForbiddenPortsFailCleanly) {
    cmcTermiosPort port;
    EXPECT_EQ(port.Open("/dev/no-such-port", {}), cmcPortError::Missing);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ErrorText().empty());
    EXPECT_EQ(port.Open("/dev/null", {}), cmcPortError::Unsupported); // not a terminal
    EXPECT_FALSE(port.IsOpen());
    if (geteuid() == 0) GTEST_SKIP() << "root may open anything";
    const std::string forbidden = std::filesystem::temp_directory_path() / "pelham-forbidden-tty";
    close(open(forbidden.c_str(), O_CREAT | O_WRONLY, 0000));
    EXPECT_EQ(port.Open(forbidden, {}), cmcPortError::Denied);
    unlink(forbidden.c_str());
}

#include "clone/cmcSerialTrace.h"
#include "MemoryLine.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class SerialTraceTest : public ::testing::Test {
  protected:
    // The trace's text, once every reference to it has gone and the file is closed.
    std::string Finish(std::shared_ptr<cmcSerialTrace>& trace) {
        trace.reset();
        return testenv::readFile(path);
    }

    cmcFakePlatform platform;
    testenv::TempFolder folder;
    std::string path = folder.file("trace.txt");
    MemoryLine line;
    MemoryLineScope scope{line};
};

TEST_F(SerialTraceTest, NotesEveryPieceEachWayWithItsTimeAndDirection) {
    std::string error;
    std::shared_ptr<cmcSerialTrace> trace = cmcSerialTrace::Create(path, error);
    ASSERT_TRUE(trace) << error;
    std::vector<uint8_t> bytes(40);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(0xC0 + i);
    {
        cmcSerialTraceScope traced(trace);
        std::unique_ptr<cmcSerialPort> port = cmcSerialPort::Create();
        cmcLineSettings settings;
        settings.baud = 9600;
        ASSERT_EQ(port->Open("/dev/x", settings), cmcPortError::None);
        platform.clock.advance(12);
        ASSERT_EQ(port->Write(bytes.data(), bytes.size()), 40); // the line echoes them
        platform.clock.advance(1003);
        uint8_t echo[64];
        ASSERT_EQ(port->Read(echo, sizeof echo), 40);
        port->Close();
    }
    // Once the scope has ended, ports are the line's own again.
    std::unique_ptr<cmcSerialPort> untraced = cmcSerialPort::Create();
    ASSERT_EQ(untraced->Open("/dev/y", cmcLineSettings()), cmcPortError::None);
    untraced->Write(bytes.data(), 3);
    EXPECT_EQ(line.sent.size(), 43u);

    std::string first32, last8;
    for (size_t i = 0; i < 40; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        (i < 32 ? first32 : last8) += hex;
    }
    EXPECT_EQ(Finish(trace), "       0 # open /dev/x 9600 baud\n"
                             "      12 >" +
                                 first32 + "\n" + "      12 >" + last8 + "\n" + "    1015 <" +
                                 first32 + "\n" + "    1015 <" + last8 + "\n" +
                                 "    1015 # close\n");
}

TEST_F(SerialTraceTest, NotesAPortThatCannotBeOpenedAndAFailedWrite) {
    std::string error;
    std::shared_ptr<cmcSerialTrace> trace = cmcSerialTrace::Create(path, error);
    ASSERT_TRUE(trace) << error;
    {
        cmcSerialTraceScope traced(trace);
        std::unique_ptr<cmcSerialPort> port = cmcSerialPort::Create();
        line.exists = false;
        EXPECT_EQ(port->Open("/dev/x", cmcLineSettings()), cmcPortError::Missing);
        line.exists = true;
        ASSERT_EQ(port->Open("/dev/x", cmcLineSettings()), cmcPortError::None);
        line.failWrites = true;
        const uint8_t byte = 0xFE;
        EXPECT_EQ(port->Write(&byte, 1), -1);
    }
    EXPECT_EQ(Finish(trace), "       0 # open /dev/x 9600 baud: No such file or directory\n"
                             "       0 # open /dev/x 9600 baud\n"
                             "       0 # write failed: No such file or directory\n");
}

// The program makes its port once; the user switches the trace on and off while it lives.
TEST_F(SerialTraceTest, APortMadeBeforeTheSwitchIsTracedOnlyWhileSwitchedOn) {
    std::unique_ptr<cmcSerialPort> port = cmcSerialPort::Create();
    ASSERT_EQ(port->Open("/dev/x", cmcLineSettings()), cmcPortError::None);
    const uint8_t before = 0x01, during = 0xFE, after = 0x02;
    port->Write(&before, 1);

    std::string error;
    std::shared_ptr<cmcSerialTrace> trace = cmcSerialTrace::Create(path, error);
    ASSERT_TRUE(trace) << error;
    cmcSerialTrace::SwitchTo(trace);
    EXPECT_TRUE(cmcSerialTrace::SwitchedOn());
    platform.clock.advance(5);
    port->Write(&during, 1);
    cmcSerialTrace::SwitchTo(nullptr);
    EXPECT_FALSE(cmcSerialTrace::SwitchedOn());
    port->Write(&after, 1);

    EXPECT_EQ(line.sent.size(), 3u); // the line got every byte either way
    EXPECT_EQ(Finish(trace), "       5 > FE\n");
}

TEST_F(SerialTraceTest, AFileThatCannotBeMadeSaysWhy) {
    std::string error;
    EXPECT_FALSE(cmcSerialTrace::Create(folder.file("missing/trace.txt"), error));
    EXPECT_EQ(error, "No such file or directory");
}

} // namespace

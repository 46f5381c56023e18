#pragma once

// A driver set up as the clone session sets it up, on the manual clock and an in-memory
// line with a fake receiver behind it.

#include "FakeReceiver.h"
#include "clone/cmcCloneDrv.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <random>

// What a completion saw, copied out of the result record.
struct Outcome {
    bool done = false;
    int phase = 0;
    int code = -1;
    int modelWord = 0;
    int extraWord = 0;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> image;
    std::string portPath;
    cmcPortError portError = cmcPortError::None;

    void Take(const dst_CDrv_Result& result) {
        done = true;
        phase = result.phase;
        code = result.code;
        modelWord = result.modelWord;
        extraWord = result.extraWord;
        payload.assign(result.payload.Data(), result.payload.Data() + result.payload.Length());
        image.assign(result.image.Data(), result.image.Data() + result.image.GetSize());
        portPath = result.portPath;
        portError = result.portError;
    }
};

inline const cmcCloneRange WholeMap[] = {{0, 116799}, {1, 0}};

inline std::vector<uint8_t> RandomImage(unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(117952, 0);
    for (int a = 0; a < 116800; ++a)
        bytes[size_t(a)] = uint8_t(random());
    return bytes;
}

class CloneDriverFixture : public ::testing::Test {
  protected:
    CloneDriverFixture() {
        driver.SetRequestWords(0x3076, 0);
        driver.SetImageSize(117952);
        driver.SetPort("/dev/ttyUSB0", "9600,N,8,1");
        driver.SetEchoExpected(true);
        driver.SetEndFrameCarriesCount(true);
        driver.SetDataBytesPerFrame(32);
        driver.SetEndReplyTimeout(10000);
        driver.SetSettleDelay(200);
    }

    cmcCloneDrv::Completion Keep() {
        return [this](dst_CDrv_Result& result) { outcome.Take(result); };
    }

    // Runs the clock until the operation has ended; the milliseconds it took.
    uint32_t Run(uint32_t limitMs = 120000) {
        const uint32_t start = platform.clock.tickCount();
        while (!outcome.done && platform.clock.tickCount() - start < limitMs)
            platform.clock.advance(1);
        EXPECT_TRUE(outcome.done) << "the operation did not end";
        return platform.clock.tickCount() - start;
    }

    void UseImage(const std::vector<uint8_t>& bytes) { receiverSide.image = bytes; }

    static void Fill(cmcEeprom& image, const std::vector<uint8_t>& bytes) {
        image.SetSize(int(bytes.size()));
        image.SetBytes(0, bytes.data(), int(bytes.size()));
    }

    cmcFakePlatform platform;
    MemoryLine line;
    MemoryLineScope scope{line};
    FakeReceiver receiverSide{line};
    cmcCloneDrv driver;
    Outcome outcome;
};

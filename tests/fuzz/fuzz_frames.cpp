// The protocol's frame receiver under arbitrary bytes from the receiver: the first byte
// chooses an information exchange, a read or a write; the rest is what the receiver
// answers after the echo of the request. The image is small, so that a run costs the
// protocol's work and not the clearing of a whole image; the frame code does not depend on
// the image's size.

#include "../clone/MemoryLine.h"
#include "clone/cmcCloneDrv.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstddef>
#include <cstdint>

namespace {
constexpr int SmallImage = 1024;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    cmcFakePlatform platform;
    MemoryLine line;
    MemoryLineScope scope(line);
    const std::vector<uint8_t> answer(data + 1, data + size);
    bool answered = false;
    line.receiver = [&](const std::vector<uint8_t>& piece) {
        if (answered || piece.empty() || piece.back() != 0xFD) return;
        answered = true;
        line.Deliver(answer);
    };

    cmcCloneDrv driver;
    driver.SetRequestWords(0x3076, 0);
    driver.SetImageSize(SmallImage);
    driver.SetEchoExpected(true);
    driver.SetDataBytesPerFrame(32);
    bool done = false;
    auto completion = [&](dst_CDrv_Result&) { done = true; };
    static const cmcCloneRange ranges[] = {{0, SmallImage - 1}, {1, 0}};
    static const cmcCloneRange small[] = {{0, 63}, {1, 0}};
    cmcEeprom image;
    image.SetSize(SmallImage);
    switch (data[0] % 3) {
    case 0:
        driver.StartInformation(completion);
        break;
    case 1:
        driver.StartRead(ranges, completion);
        break;
    default:
        driver.StartWrite(image, small, completion);
        break;
    }
    for (int ms = 0; ms < 20000 && !done; ms += 10)
        platform.clock.advance(10);
    if (!done) __builtin_trap(); // every operation ends
    return 0;
}

// Feeds arbitrary bytes to the clone data file reader, with and without a range table. A
// failed read must leave the image exactly as it was. The image is small, so that each run
// costs the reader's work and not a whole image's copies, and so that the fuzzer can
// reach complete coverage; the reader does not depend on the image's size.

#include "catalogue/cmcGTex.h"
#include "files/cmcTcfFile.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstdlib>
#include <string_view>

namespace {

constexpr int SmallImage = 256;
constexpr cmcTcfRange SmallImageRanges[] = {{0, SmallImage - 1}, {1, 0}};

struct Harness {
    Harness() {
        texts.Attach(EnglishTable());
        cmcGTex::SetProcess(&texts);
        image.SetSize(SmallImage);
        before.SetSize(SmallImage);
    }
    cmcFakePlatform platform;
    cmcGTex texts;
    cmcEeprom image;
    cmcEeprom before;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness harness;
    harness.platform.messages.clear();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool withTable = size > 0 && (data[size - 1] & 1);

    harness.image.Fill(size & 0xFF);
    harness.before.Assign(harness.image);
    cmcTcfFile file;
    file.AttachImage(harness.image);
    file.SetModelWord(0x3076);
    file.SetExtraWord(1);
    const int code = withTable ? file.ReadBytes(bytes, SmallImageRanges) : file.ReadBytes(bytes);

    const bool knownCode =
        code == 0 || code == 3 || code == 4 || code == 6 || code == 7 || code == 8;
    if (!knownCode) std::abort();
    if (code != 0 && harness.image.IsDifferent(harness.before)) std::abort();
    if ((code != 0) != (harness.platform.messages.shown().size() == 1)) std::abort();
    if (code == 0) file.CheckCoverage(SmallImageRanges);
    return 0;
}

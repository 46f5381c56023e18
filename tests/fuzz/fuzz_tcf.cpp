// Feeds arbitrary bytes to the clone data file reader, with and without the whole-image
// range table. A failed read must leave the image exactly as it was.

#include "catalogue/cmcGTex.h"
#include "files/cmcTcfFile.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstdlib>
#include <string_view>

namespace {

struct Harness {
    Harness() {
        texts.Attach(EnglishTable());
        cmcGTex::SetProcess(&texts);
        image.SetSize(ImageSize);
        before.SetSize(ImageSize);
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
    const int code = withTable ? file.ReadBytes(bytes, WholeImageRanges) : file.ReadBytes(bytes);

    const bool knownCode =
        code == 0 || code == 3 || code == 4 || code == 6 || code == 7 || code == 8;
    if (!knownCode) std::abort();
    if (code != 0 && harness.image.IsDifferent(harness.before)) std::abort();
    if ((code != 0) != (harness.platform.messages.shown().size() == 1)) std::abort();
    if (code == 0) file.CheckCoverage(WholeImageRanges);
    return 0;
}

// Fuzz target: a CSV file as a spreadsheet or a stranger might write it, read through the
// header and row readers. The first byte picks the kind of list and the pair of separators
// (seven kinds, two pairs), so that each run reads the file once; the rest is the file.

#include "files/cmcCsvRowReader.h"
#include "files/cmcLoadFile.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/datCh.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace {

struct Document {
    Document() : destination(0) {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
    }
    cmcFakePlatform platform;
    indDestination destination;
    cmcEeprom image;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Document document;
    static constexpr int kinds[] = {1, 2, 4, 5, 6, 7, 8};
    if (size < 1) return 0;
    const int kind = kinds[data[0] % std::size(kinds)];
    const char decimal = (data[0] / std::size(kinds)) % 2 ? ',' : '.';
    cmcLoadFile file;
    if (!file.LoadText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)))
        return 0;
    clsCsvReadOptions options;
    options.separators = clsCsvSeparators::FromDecimal(decimal);
    options.destination = &document.destination;
    options.japaneseText = decimal == ',';
    cmcCsvRowReader reader(kind, options);
    if (!reader.ReadHeader(file.LineAt(0))) return 0;
    datCh record(&document.image, nullptr, &document.destination);
    Bank_Info info;
    int discarded = 0, corrected = 0;
    for (int i = 1; i < file.Count(); ++i)
        reader.ReadRow(file.LineAt(i), record, discarded, corrected, info);
    return 0;
}

// Fuzz target: a file read as another program's list in the columns format, mapped and
// imported into a copy of a default document.

#include "OtherFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return otherfuzz::Run(otherformat::Columns, data, size);
}

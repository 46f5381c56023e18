#pragma once

// File > Compare with...: what differs between the open document and a clone data file,
// in the sheets' terms. The document is compared on a copy, so its open sheet and name
// counts stay as they are.

#include "files/cmcImageDiff.h"

#include <string>
#include <vector>

class cmcOrganisation;

// The differences from the document to the file, read as Open reads it and recounted, but
// not corrected for the document's destination: what Open would correct shows as a
// difference. 0, or the file error code (its message shown) with nothing in
// differences.
int CompareDocumentWithFile(const cmcOrganisation& document, const std::string& path,
                            bool japaneseText, std::vector<clsImageDifference>& differences);

#pragma once

// What differs between two documents, in the terms the sheets use: categories and groups by
// their names, added, removed or moved; channels by their group and number with the
// changed columns under their sheet headings and the values as the sheets show them, in
// the program's language; common settings by their labels and the text their cells show. Bytes no sheet shows are named by address. Shared
// by pelham-cli diff, the check after a Clone Write and the program's compare window.

#include <string>
#include <vector>

class cmcOrganisation;

struct clsImageDifference {
    std::string where; // "Group Initial, channel 0-0", "Common settings, Sound"
    std::string what;  // "Frequency 145.000000 → 146.010000", "added", ...

    std::string Text() const { return where + ": " + what; }
    bool operator==(const clsImageDifference&) const = default;
};

struct clsImageDiffOptions {
    bool japaneseText = false; // names in half-width katakana
};

// Both organisations adopted, as a document is after it is opened or read. The images are
// not changed; the organisations' name counts may be rebuilt.
std::vector<clsImageDifference> DiffDocuments(cmcOrganisation& a, cmcOrganisation& b,
                                              const clsImageDiffOptions& options = {});

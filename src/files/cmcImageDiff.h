#pragma once

// What differs between two documents, in the terms the sheets use: categories and groups by
// their names, added, removed or moved; channels by their group and number with the
// changed columns under their sheet headings and the values as the sheets show them, in
// the program's language; common settings by their labels and the text their cells show. Bytes no sheet shows are named by address. Shared
// by pelham-cli diff, the check after a Clone Write and the program's compare window.

#include <cstdint>
#include <string>
#include <vector>

class cmcOrganisation;

// What a difference is about, to count it and to find it in the sheets: the record's kind
// (datKind; 0 for bytes no sheet shows) and index in the second document, or in the first
// for a record that was removed; a common setting by the logic id and index of its cell.
struct clsDiffRecord {
    enum class Change { Changed, Added, Removed, Moved };
    uint32_t kind = 0;
    int index = -1;
    Change change = Change::Changed;
    int logicId = 0; // common settings (kind 0)
    int cellIndex = 0;

    bool InFirst() const { return change == Change::Removed; }
    bool operator==(const clsDiffRecord&) const = default;
};

struct clsImageDifference {
    std::string where; // "Group Initial, channel 0-0", "Common settings, Sound"
    std::string what;  // "Frequency 145.000000 → 146.010000", "added", ...
    clsDiffRecord record;

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

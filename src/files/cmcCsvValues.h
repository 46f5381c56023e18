#pragma once

// The fixed value spellings of CSV files. Lists are matched without regard to case after
// trimming; a code a list lacks is written "NOT_FOUND", and a text a list lacks reads as
// invalid.

#include <optional>
#include <span>
#include <string>
#include <string_view>

struct clsCsvSpelling {
    std::string_view text;
    int code;
};

using CsvSpellingList = std::span<const clsCsvSpelling>;

namespace csvlist {
extern const CsvSpellingList OffOn;     // links, "PRIO", "STOP BEEP", "VSC"
extern const CsvSpellingList Att;       // "ATT"
extern const CsvSpellingList Icon;      // category and bank icons
extern const CsvSpellingList Dup;       // "Dup"
extern const CsvSpellingList Step;      // "TS", written with a "." the caller localises
extern const CsvSpellingList Mode;      // "Mode"
extern const CsvSpellingList Skip;      // channel, category, group and name skips
extern const CsvSpellingList ToneMode;  // "TONE"; also reads "TSQL R" and "DTCS R"
extern const CsvSpellingList Tone;      // "TSQL Frequency", written with a "."
extern const CsvSpellingList Dtcs;      // "DTCS Code"
extern const CsvSpellingList Polarity;  // "DTCS Polarity"
extern const CsvSpellingList Canceller; // "Canceller"
} // namespace csvlist

constexpr std::string_view CsvNotFound = "NOT_FOUND";

// The first spelling of a code, or "NOT_FOUND".
std::string_view CsvSpell(CsvSpellingList list, int code);
// The code of a text, trimmed and compared without regard to case.
std::optional<int> CsvLookup(CsvSpellingList list, std::string_view text);

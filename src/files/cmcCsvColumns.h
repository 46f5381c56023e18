#pragma once

// The columns of CSV files, in the order they are written, and the flags that choose them
// from the kind of the sheet.

#include <array>
#include <string_view>

// Record kinds the CSV files work on.
namespace csvkind {
constexpr int None = 0;
constexpr int Mch = 1;      // memory channels of a group
constexpr int PgSrch = 2;   // program-search edges
constexpr int AutoMWCH = 4; // auto-write channels
constexpr int BasicCh = 5;  // basic CH-search entries
constexpr int BasicPg = 6;  // basic program-search entries
constexpr int Category = 7; // the category list
constexpr int Group = 8;    // memory channels of a category
constexpr int BasicBank = 10;
} // namespace csvkind

enum class CsvColumn {
    ChNo,
    CategoryIcon,
    CategoryName,
    CategoryDirectKey,
    CategoryLink,
    CategorySkip,
    GroupNo,
    GroupName,
    GroupDirectKey,
    GroupLink,
    GroupSkip,
    NameNo,
    NameName,
    NameNumber,
    NameSkip,
    Name,
    FrequencyLow,
    Frequency,
    Dup,
    Offset,
    Step,
    Mode,
    Att,
    Skip,
    Priority,
    StopBeep,
    ToneMode,
    Tone,
    DtcsCode,
    DtcsPolarity,
    Canceller,
    CancellerFrequency,
    Vsc,
};

constexpr int CsvColumnCount = 33;

constexpr int CsvColumnIndex(CsvColumn column) {
    return static_cast<int>(column);
}

// Which columns a kind has, and which corrections its rows get.
struct clsCsvFlags {
    bool organisation = false;    // the 14 category, group and name columns, skip, prio, beep
    bool channelNumber = false;   // "CH No"; otherwise "No"
    bool name = false;            // "Name"
    bool edges = false;           // "Frequency Low" and "Frequency High"
    bool channelSettings = false; // duplex, offset, tone and VSC columns
    bool canceller = false;       // "Canceller" and "Canceller Frequency"
    bool stepCheck = false;       // the tuning step is corrected on import
    bool attCheck = false;        // the attenuator is corrected on import

    // The canceller exists only on receivers for destination 0.
    static clsCsvFlags ForKind(int kind, int destination);
};

// The column's name in the header, under these flags ("CH No" or "No", "Frequency" or
// "Frequency High").
std::string_view CsvColumnName(CsvColumn column, const clsCsvFlags& flags);
// Whether the flags include the column.
bool CsvColumnPresent(CsvColumn column, const clsCsvFlags& flags);

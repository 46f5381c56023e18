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

// The CSV kind of a sheet binding ("Group" 1, "Category" 8, "CategoryOp" 7, "ScanEdge" 2,
// "AutoMWCH" 4, "BasicOp" 10, "Basic" and "BasicCH" 5, "BasicPG" 6; anything else 0).
int CsvKindOfBinding(std::string_view binding);

// The sheets of pelham-cli ("group:3", "category:0", "categories", "edges", "autowrite",
// "banks", "bank-ch:2", "bank-pg:2", ...) as a CSV kind and index; false for a name that is
// not a sheet. Sheets without channel lists ("link:N", "common") give kind 0.
bool CsvSheetFromName(std::string_view sheet, int& kind, int& index);

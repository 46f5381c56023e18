#pragma once

// Channel lists from other programs: the generic radio CSV that multi-radio editors and
// repeater directories write, the bookmark files of SDR receivers, scanner-tool CSVs with
// "# Bank N" lines, and any other CSV with a header whose columns the user picks. One
// reader (the CSV text helpers) turns each file into a table; the mapping turns every row
// into the row Pelham's own CSV import takes, with notes on what changes, so the import
// runs through the same corrections and checks as a CSV import.

#include "files/cmcCsvImport.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace otherformat {
constexpr int Auto = 0;
constexpr int Generic = 1;   // "Location,Name,Frequency,Duplex,Offset,Tone,..."
constexpr int Bookmarks = 2; // "Frequency; Name; Modulation; Bandwidth; Tags", hertz
constexpr int Scanner = 3;   // "Channel,Name,Frequency,Modulation,CTCSS/DCS,..." with banks
constexpr int Columns = 4;   // any CSV with a header, columns chosen by the user
} // namespace otherformat

// "auto", "generic", "bookmarks", "scanner", "columns".
std::optional<int> OtherFormatFromName(std::string_view name);
std::string_view OtherFormatName(int format);

// What a column of a file can mean.
enum class OtherField {
    Frequency,
    Name,
    Mode,
    Duplex,
    Offset,
    ToneKind,     // generic: "", "Tone", "TSQL", "DTCS", "Cross"
    RTone,        // generic: the encode tone
    CTone,        // generic: the tone squelch tone
    DtcsCode,     // generic
    DtcsPolarity, // generic: "NN", "NR", "RN", "RR"
    Tone,         // one text: "88.5", "D023N", "DCS 023", "off"
    Step,         // kilohertz
    Skip,         // "", "S", "P"
    Lockout,      // yes/no
    Priority,     // yes/no
    Group,
};
constexpr int OtherFieldCount = 16;

// The --map names: "frequency", "name", "mode", "tone", "group", ...
std::string_view OtherFieldName(OtherField field);

enum class OtherUnit { Hz, kHz, MHz };
std::string_view OtherUnitName(OtherUnit unit);

// Which column holds each field (-1 none) and the frequency's unit.
struct clsOtherMapping {
    std::array<int, OtherFieldCount> columns;
    OtherUnit unit = OtherUnit::MHz;

    clsOtherMapping() { columns.fill(-1); }
    int& operator[](OtherField field) { return columns[static_cast<size_t>(field)]; }
    int operator[](OtherField field) const { return columns[static_cast<size_t>(field)]; }
};

// A file read by the shared reader: its header and rows, and the group each row belongs to
// where the file says so outside the columns (bookmark tags, scanner banks).
struct clsOtherTable {
    struct Row {
        int line = 0; // 1-based line of the file
        std::vector<std::string> fields;
        std::string group;
    };
    int format = otherformat::Columns;
    bool shiftJis = false;
    char separator = ',';
    std::vector<std::string> header;
    std::vector<Row> rows;
};

// A file read: the table and the mapping found for it, or the catalogue key of the error.
struct clsOtherRead {
    std::string error; // empty when the file was read
    clsOtherTable table;
    clsOtherMapping mapping;
};

// Reads file bytes as the format (otherformat::Auto: detected).
clsOtherRead OtherReadText(std::string_view bytes, int format);
clsOtherRead OtherReadFile(const std::string& path, int format);

// The mapping a format's column names give; for other tables the names a list usually
// has ("Freq", "Description", "Modulation", "CTCSS", "Bank"), and the unit guessed from
// the frequency column's values.
clsOtherMapping OtherGuessMapping(const clsOtherTable& table);
OtherUnit OtherGuessUnit(const clsOtherTable& table, int column);

// Applies "--map" text: "frequency=COL,name=COL,unit=kHz", COL a header name or a 1-based
// column number, "-" for none. False with the error's catalogue key otherwise.
bool OtherApplyMap(std::string_view text, const clsOtherTable& table, clsOtherMapping& mapping,
                   std::string& error);
// The mapping as "--map" text, columns by number; what the window remembers per header.
std::string OtherMapText(const clsOtherMapping& mapping);
// The header as one key for remembering its mapping.
std::string OtherHeaderKey(const clsOtherTable& table);

// A note on a row: a catalogue key and the parts it is filled in with.
struct clsOtherNote {
    std::string key;
    std::vector<std::string> parts;
};
std::string OtherNoteText(const clsOtherNote& note);

// One row as it will be stored.
struct clsOtherPlanRow {
    int line = 0;
    bool imported = false;
    uint32_t hertz = 0;
    std::string name;                                             // as the receiver shows it, UTF-8
    std::string mode, step, tone, duplex, offset, skip, priority; // Pelham's spellings
    std::string group;     // the file's label of the row's group
    std::string groupName; // the new group's name as the receiver shows it
    std::vector<clsOtherNote> notes;
    std::string csvRow; // the row of Pelham's CSV import, without its number and group
};

struct clsOtherPlan {
    std::vector<clsOtherPlanRow> rows;
    std::vector<std::string> groups; // the groups rows name, in order of first use
    int importable = 0;
    int leftOut = 0;
    int noted = 0; // importable rows with a note
};

// Maps every row; the document's destination and text mode come in the options, the
// band defaults (for what a row leaves open) from the document's image.
clsOtherPlan OtherPlan(const clsOtherTable& table, const clsOtherMapping& mapping,
                       const clsCsvReadOptions& options, const cmcOrganisation& organisation);

// Where the rows go.
struct clsOtherTarget {
    bool newGroups = true;    // a new category with a group per named group
    int group = 0;            // otherwise the rows follow the last channel of this group
    std::string categoryName; // the new category's name
};

// The name of the group a row goes to, as the receiver shows it: the row's new group, or
// the target group of the document.
std::string OtherRowGroupName(const clsOtherPlanRow& row, const clsOtherTarget& target,
                              const cmcOrganisation& organisation);

// The summary line: "12 rows: 10 imported, 2 left out, 3 with notes, into ...".
std::string OtherSummaryText(const clsOtherPlan& plan, const clsOtherTarget& target);

// Whether the target can take rows now.
bool OtherCanImport(cmcOrganisation& organisation, const clsOtherTarget& target);

// The import through the CSV import; no message, no refresh events.
clsCsvImportResult OtherImportLines(const clsOtherPlan& plan, const clsOtherTarget& target,
                                    cmcOrganisation& organisation, cmcEvMan& events,
                                    const clsCsvReadOptions& options);
// The same with the refresh events and the CSV import's summary messages.
clsCsvImportResult OtherImport(const clsOtherPlan& plan, const clsOtherTarget& target,
                               cmcOrganisation& organisation, cmcEvMan& events,
                               const clsCsvReadOptions& options);

// The generic radio CSV of every memory channel: the receiver's channel numbers as
// Location and the group's name as Comment; half-width katakana as their characters.
std::string OtherExportGenericText(const cmcOrganisation& organisation);

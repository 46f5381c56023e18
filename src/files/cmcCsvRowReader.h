#pragma once

// Reading CSV rows into records: the header reader finds the columns, the row reader
// turns one line into a record with every correction rule, keeping the organisation
// values of the row (category, group and name) in a Bank_Info for the placement.

#include "files/cmcCsvColumns.h"
#include "files/cmcCsvText.h"

#include <array>
#include <cstdint>
#include <string>

class datCh;
class indDestination;

// No group or name counter in the row.
constexpr int CsvNone = -1;
// The row reader's answer for a row that is refused.
constexpr int CsvRefusedRow = 0xFFFF;

// The state of one import: the organisation values of the current row and where the
// placement stands.
struct Bank_Info {
    // The row's organisation values.
    uint8_t categoryIcon = 0;
    std::string categoryName; // image bytes, trailing blanks removed
    uint8_t categoryDirectKey = 255;
    int categoryLink = 0;
    int categorySkip = 0;
    int groupNo = CsvNone;
    std::string groupName;
    uint8_t groupDirectKey = 255;
    int groupLink = 0;
    int groupSkip = 0;
    int nameNo = CsvNone;
    std::string nameText;
    std::string nameNumber = "   "; // the three stored characters
    int nameSkip = 0;

    // The placement.
    int category = 0;
    int group = 0;
    int channel = -1;    // slot of the last placed channel
    int nameIndex = 0;   // name record of that channel
    bool placed = false; // a row has been placed: the previous values below are valid
    int previousGroupNo = CsvNone;
    int previousNameNo = CsvNone;
};

// What the reader needs to know of the document.
struct clsCsvReadOptions {
    clsCsvSeparators separators;
    const indDestination* destination = nullptr; // bands, "Auto", canceller
    bool japaneseText = false;                   // half-width katakana in names
};

class cmcCsvRowReader {
  public:
    cmcCsvRowReader(int kind, const clsCsvReadOptions& options);

    int Kind() const { return kind_; }
    const clsCsvFlags& Flags() const { return flags_; }
    // The separators the header was found with.
    const clsCsvSeparators& Separators() const { return separators_; }

    // Finds the columns of a header line; false when a required column is missing ("CH No"
    // and "Frequency", or for edges "No", "Frequency Low" and "Frequency High"). A header
    // that does not split with the document's separators is tried with the other pair
    // ("," with "." or ";" with ","), so files from another locale still read.
    bool ReadHeader(const std::string& line);
    int ColumnPosition(CsvColumn column) const { return positions_[CsvColumnIndex(column)]; }

    // Reads one row into the record (cleared first, of the record kind for this CSV kind).
    // Returns the row number, or CsvRefusedRow. A row that ends up not in use with a
    // discard counts in `discarded`; a row with any replaced value counts in `corrected`.
    int ReadRow(const std::string& line, datCh& record, int& discarded, int& corrected,
                Bank_Info& info) const;

    // The highest row number the kind accepts.
    static int RowNumberLimit(int kind);
    // The record kind rows of a CSV kind are read into (memory channels for 7 and 8).
    static uint32_t RecordKind(int kind);

  private:
    bool MatchHeader(const std::string& line, const clsCsvSeparators& separators);

    int kind_;
    clsCsvFlags flags_;
    clsCsvReadOptions options_;
    clsCsvSeparators separators_;
    std::array<int, CsvColumnCount> positions_{};
};

// The stored three characters of a "Name Number" as written ("No12" -> "12 "); false when
// the text had to be changed (it is then three blanks, or the digits before the change).
bool CsvNameNumberToImage(const std::string& text, std::string& number);

#pragma once

// Text helpers of the CSV and preset readers: trimming, case-blind comparison, field
// splitting and the strict number rules. Numbers are read from the whole field or not at
// all: "1.2.3" or "145.5MHz" is invalid, never half-read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The two characters of CSV text: the decimal separator of numbers and the separator
// between fields.
struct clsCsvSeparators {
    char decimal = '.';
    char field = ',';

    // From the system's decimal separator: "." or "," is taken, anything else gives ".";
    // fields are separated by "," unless the decimal separator is ",", then by ";".
    static clsCsvSeparators FromDecimal(char systemDecimal);
    // From the installed platform's locale.
    static clsCsvSeparators FromLocale();
};

// Blanks, tabs and line-end characters removed from both ends.
std::string_view CsvTrim(std::string_view text);
std::string CsvTrimRight(std::string_view text);
std::string CsvLower(std::string_view text);
bool CsvEqualNoCase(std::string_view a, std::string_view b);
bool CsvStartsWith(std::string_view text, std::string_view prefix);

// Splits a line at the separator. A field that begins with a double quote (after blanks)
// runs to its closing quote, "" standing for one quote, so separators inside it do not
// split; a quote anywhere else, or one never closed, is an ordinary character.
std::vector<std::string> CsvSplitFields(std::string_view line, char separator);

// A whole decimal integer (an optional "-", then digits) within [low, high], after
// trimming; nothing for anything else.
std::optional<int64_t> CsvParseInteger(std::string_view text, int64_t low, int64_t high);

// Megahertz text to hertz: only digits, a leading "-" and one decimal separator, at least
// one digit; rounded to the nearest hertz. Values beyond about ten million megahertz are
// refused rather than wrapped.
std::optional<int64_t> CsvParseMegahertz(std::string_view text, char decimal);

// Hertz as megahertz with exactly six decimals: 145500000 -> "145.500000".
std::string CsvFormatMegahertz(uint32_t hertz, char decimal);

// The text of a file from another program as UTF-8: a leading byte-order mark is dropped;
// text that is not valid UTF-8 is read as Shift-JIS (lists made on Japanese systems).
// `shiftJis` tells which; nothing when the bytes are neither.
std::optional<std::string> CsvDecodeText(std::string_view bytes, bool& shiftJis);

// Splits text into records at line ends ("\r\n", "\n" or a lone "\r"); a line end inside a
// quoted field belongs to the field, so a description may run over several lines.
std::vector<std::string> CsvSplitRecords(std::string_view text);

// The field separator of a header line: the one of ",", ";" and tab that occurs most often
// outside quotes; "," when there is none.
char CsvDetectSeparator(std::string_view header);

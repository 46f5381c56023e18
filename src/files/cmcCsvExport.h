#pragma once

// CSV export of the open sheet's channel list: memory channels of a group (kind 1) or of
// a category (kind 8), the program-search edges (kind 2) and the auto-write channels
// (kind 4). Every line ends with "\r\n"; fields are never quoted.

#include "files/cmcCsvText.h"

#include <string>
#include <string_view>

class cmcOrganisation;

struct clsCsvWriteOptions {
    clsCsvSeparators separators;
    bool japaneseText = false; // half-width katakana in names
    const char* lineEnd = "\r\n"; // files; text for the desktop's clipboard ends lines in "\n"
};

// Whether the kind can be exported.
bool CsvCanExport(int kind);

// The whole text of the export.
std::string CsvExportText(const cmcOrganisation& organisation, int kind, int index,
                          const clsCsvWriteOptions& options);

// The header and the rows first..last of the list (slots of memory channels, edge numbers,
// auto-write rows), with the columns of the whole list's export; rows beyond the list are
// left out.
std::string CsvExportRowsText(const cmcOrganisation& organisation, int kind, int index, int first,
                              int last, const clsCsvWriteOptions& options);

// Result codes of writing an export; they index the file error messages.
namespace csvexport {
constexpr int Ok = 0;
constexpr int FileOpen = 1;   // the file cannot be created
constexpr int FileAccess = 2; // the file cannot be written completely
} // namespace csvexport

// Writes the export to a file. A file that cannot be created shows "Cannot open the
// file."; one that cannot be written completely shows "Cannot access the file." and an
// existing file of that name is left as it was.
int CsvExport(const std::string& path, const cmcOrganisation& organisation, int kind, int index,
              const clsCsvWriteOptions& options);
// Writes export text to a file with the same messages and result codes.
int CsvWriteText(const std::string& path, std::string_view text);

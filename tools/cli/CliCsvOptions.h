#pragma once

// What pelham-cli export, import and preset share beyond the document: the CSV options of
// the run and the --sheet option.

#include "CliDocument.h"

#include "files/cmcCsvExport.h"
#include "files/cmcCsvRowReader.h"

// Separators from the locale; the document's destination and name text mode.
inline clsCsvReadOptions CsvReadOptions(const CliDocument& document) {
    clsCsvReadOptions options;
    options.separators = clsCsvSeparators::FromLocale();
    options.destination = &document.Destination();
    options.japaneseText = document.JapaneseText();
    return options;
}

inline clsCsvWriteOptions CsvWriteOptions(const CliDocument& document) {
    clsCsvWriteOptions options;
    options.separators = clsCsvSeparators::FromLocale();
    options.japaneseText = document.JapaneseText();
    return options;
}

// The --sheet option as a CSV kind and index; false (after a usage error) otherwise.
inline bool CliSheet(const CliArgs& args, const char* command, int& kind, int& index, int& status) {
    auto sheet = args.value("--sheet");
    if (!sheet || !CsvSheetFromName(*sheet, kind, index)) {
        status = CliUsageError(command, "--sheet takes a sheet such as group:0 or edges");
        return false;
    }
    return true;
}

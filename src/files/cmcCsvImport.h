#pragma once

// CSV import into the open sheet: Add or Overwrite for the memory channels of a group
// (kind 1) or of a category (kind 8), Add of a new category (kind 7), Overwrite of the
// program-search edges (kind 2). Structural changes go through the organisation events
// (9 to 21), which the document controller runs on the organisation given here.

#include "files/cmcCsvRowReader.h"

#include <string>

class cmcEvMan;
class cmcLoadFile;
class cmcOrganisation;

// The counters and flags an import reports in its summary.
struct clsCsvImportResult {
    bool cancelled = false; // Overwrite was not confirmed: nothing read, nothing changed
    bool accepted = false;  // the header had the required columns
    int discarded = 0;
    int corrected = 0;
    int imported = 0;
    bool noRoomCategory = false;
    bool noRoomGroup = false;
    bool noRoomName = false;
    bool noRoomInCategory = false; // a name already holds six channels
    bool noRoomAll = false;        // all 1,600 memory channels are in use

    bool NoRoom() const {
        return noRoomCategory || noRoomGroup || noRoomName || noRoomInCategory || noRoomAll;
    }
};

// Which imports the open sheet offers.
bool CsvCanImportOverwrite(int kind);
bool CsvCanImportAdd(cmcOrganisation& organisation, int kind, int index);

// The whole command: asks before Overwrite, reads the file, imports, raises the refresh
// events and shows the title error or the summary messages.
clsCsvImportResult CsvImport(const std::string& path, cmcOrganisation& organisation,
                             cmcEvMan& events, int kind, int index, bool overwrite,
                             const clsCsvReadOptions& options);

// The import itself, over lines already read (line 0 the header); no question, no
// message, no refresh events.
clsCsvImportResult CsvImportLines(const cmcLoadFile& file, cmcOrganisation& organisation,
                                  cmcEvMan& events, int kind, int index, bool overwrite,
                                  const clsCsvReadOptions& options);

// The summary messages in their order; with `accepted` false, the title error.
void CsvShowImportSummary(const clsCsvImportResult& result);

#pragma once

// Importing preset basic-search categories as banks: each chosen category becomes a bank
// of its own, added after the open bank (or after the last one), or replacing the open
// bank (or every bank). The entry rows go through the CSV row reader.

#include "files/cmcCsvImport.h"
#include "files/cmcPresetReader.h"

#include <functional>
#include <string>
#include <vector>

class cmcEvMan;
class cmcOrganisation;

// No bank is open: the import works on all basic-search data.
constexpr int PresetAllBanks = -1;

struct clsPresetImportResult : clsCsvImportResult {
    bool headersAccepted = true; // every entry list had a usable header
    int banks = 0;               // banks that received entries
};

// Imports one category's two lists into the bank (already inserted, empty). True when
// every non-empty list had an acceptable header and at least one list was non-empty.
bool ImportPresetCategory(const Cate_Data& category, int bank, cmcOrganisation& organisation,
                          cmcEvMan& events, const clsCsvReadOptions& options,
                          clsPresetImportResult& result);

// Imports every chosen category of every chosen preset (selection 1 Add, 2 Overwrite) as
// banks; openBank is the bank of the open sheet, or PresetAllBanks. Raises the refresh
// events; shows no message.
clsPresetImportResult ImportPresets(const std::vector<Preset_Data>& presets,
                                    cmcOrganisation& organisation, cmcEvMan& events, int openBank,
                                    const clsCsvReadOptions& options);

// The messages after an import: the summary, or the title error when a header was refused.
void ShowPresetSummary(const clsPresetImportResult& result);

// The preset dialog: marks the chosen preset and its chosen categories with 1 or 2; marks
// nothing when closed with Escape. oneBank: the open sheet is one bank's list.
using PresetDialog = std::function<void(std::vector<Preset_Data>& presets, bool oneBank)>;

// The whole command: scans the folder, shows the dialog, imports and shows the messages.
// Nothing happens when the folder holds no preset file.
void RunPresetCommand(const std::string& folder, cmcOrganisation& organisation, cmcEvMan& events,
                      int openBank, const clsCsvReadOptions& options, const PresetDialog& dialog);

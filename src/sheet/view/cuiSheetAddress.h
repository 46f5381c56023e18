#pragma once

// Sheet addresses: a sheet kind in square brackets, a catalogue sheet name, a comma and an
// argument ("[St_CNBank]GI_Sheet_MemoryCH,Group 3"); the kind and the argument may be
// missing. Creating a sheet from an address picks the sheet kind's class.

#include "sheet/view/cuiSheet.h"

#include <memory>
#include <string>

struct cuiSheetAddress {
    std::string kind; // "St_ChNew", or empty for the plain sheet
    std::string layoutName;
    std::string argument;
};

cuiSheetAddress cuiParseSheetAddress(const std::string& address);

// The sheet of the address's kind, with its address and argument set, not yet opened. An
// unknown kind opens a plain sheet.
std::unique_ptr<cuiSheet> cuiCreateSheet(const std::string& address,
                                         const cuiSheetServices& services, QWidget* parent);

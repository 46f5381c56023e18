#pragma once

// The checks of the data against the destination's frequency rules: the warning and error
// marks of the record cells, the data checks over whole sheets, and the complete check a
// Clone Write and "pelham-cli check" run.

#include <cstdint>
#include <string>
#include <vector>

class cmcOrganisation;
class datCh;
class indDestination;

// Which of a record's frequencies a check looks at.
enum class clsWhichFrequency { First, Second };

// Checks of one record in use (false for a record not in use).
bool HasFrequencyWarning(const datCh& record, const indDestination& destination,
                         clsWhichFrequency which = clsWhichFrequency::First);
bool HasFrequencyError(const datCh& record, clsWhichFrequency which = clsWhichFrequency::First);
bool HasOffsetError(const datCh& record, const indDestination& destination);
// Edges and basic program entries are tested with both frequencies.
bool HasStepError(const datCh& record, const indDestination& destination);
bool HasModeError(const datCh& record, const indDestination& destination);
// Whether a tuning step (mode) would be an error at the record's frequencies; the marks
// of the pick-list items.
bool IsStepErrorAt(const datCh& record, uint32_t step, const indDestination& destination);
bool IsModeErrorAt(const datCh& record, uint32_t mode, const indDestination& destination);

// The combined marks of a record: any warning, any error.
struct clsMarks {
    bool warning = false;
    bool error = false;
};
clsMarks CheckRecord(const datCh& record, const indDestination& destination);

// One finding of the data checks.
struct clsDataFinding {
    std::string sheet;  // "group:N", "edges", "autowrite", "bank-ch:N", "bank-pg:N"
    int row = 0;        // the row on that sheet
    bool error = false; // else a warning
    std::string what;   // "frequency" ("upper frequency", "lower frequency" of edges and
                        // program entries), "offset", "tuning step", "mode"
};

// The data checks of single sheets (the CL_Check_* cells): the marks over the records.
clsMarks CheckMemoryGroup(const cmcOrganisation& organisation, int group);
clsMarks CheckEdges(const cmcOrganisation& organisation);
clsMarks CheckAutoWrite(const cmcOrganisation& organisation);
clsMarks CheckBankCh(const cmcOrganisation& organisation, int bank);
clsMarks CheckBankPg(const cmcOrganisation& organisation, int bank);

// Every check over the image, in sheet order: memory-channel groups, edges, auto-write
// channels, then each bank's CH-search and program-search entries. The organisation's
// count tables must describe the image.
std::vector<clsDataFinding> RunDataChecks(const cmcOrganisation& organisation);
bool HasErrors(const std::vector<clsDataFinding>& findings);

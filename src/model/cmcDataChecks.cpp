#include "model/cmcDataChecks.h"

#include "model/cmcEeprom.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <functional>

namespace {

bool HasTwoFrequencies(const datCh& record) {
    return record.kind == datKind::PgSrch || record.kind == datKind::BasicPg;
}

bool HasStep(const datCh& record) {
    return record.kind == datKind::Mch || record.kind == datKind::AutoMWCH ||
           HasTwoFrequencies(record);
}

uint32_t FrequencyOf(const datCh& record, clsWhichFrequency which) {
    return which == clsWhichFrequency::First ? record.frequency : record.secondFrequency;
}

// Calls test for the record's frequency, and for the second one where the record has two.
bool AnyFrequency(const datCh& record, const std::function<bool(uint32_t)>& test) {
    if (test(record.frequency)) return true;
    return HasTwoFrequencies(record) && test(record.secondFrequency);
}

bool StepErrorAt(uint32_t f, uint32_t step, uint32_t mode, const indDestination& destination) {
    if (destination.IsFrequencyNotAllowed(f, mode)) return false;
    const int band = destination.BandOf(f);
    return (step == values::Step9k && band != 1) || (step == values::Step833k && band != 5);
}

bool IsMultiple(uint32_t value, uint32_t step) {
    return value % step == 0;
}

} // namespace

bool HasFrequencyWarning(const datCh& record, const indDestination& destination,
                         clsWhichFrequency which) {
    return record.InUse() && destination.RaisesWarnings() &&
           destination.IsFrequencyNotAllowed(FrequencyOf(record, which), record.mode);
}

bool HasFrequencyError(const datCh& record, clsWhichFrequency which) {
    return record.InUse() && FrequencyOf(record, which) > CoverageHighHz;
}

bool HasOffsetError(const datCh& record, const indDestination& destination) {
    if (!record.InUse() || (record.kind != datKind::Mch && record.kind != datKind::AutoMWCH))
        return false;
    const uint32_t offset = record.offset;
    if (IsMultiple(offset, 5000) || IsMultiple(offset, 6250) || IsMultiple(offset, 7500))
        return false;
    const int band = destination.BandOf(record.frequency);
    if (band == 1 && IsMultiple(offset, 9000)) return false;
    if (band == 5 && !IsMultiple(offset, 9000)) return false;
    return true;
}

bool IsStepErrorAt(const datCh& record, uint32_t step, const indDestination& destination) {
    return AnyFrequency(record,
                        [&](uint32_t f) { return StepErrorAt(f, step, record.mode, destination); });
}

bool HasStepError(const datCh& record, const indDestination& destination) {
    return record.InUse() && HasStep(record) &&
           IsStepErrorAt(record, record.tuningStep, destination);
}

bool IsModeErrorAt(const datCh& record, uint32_t mode, const indDestination& destination) {
    return AnyFrequency(record, [&](uint32_t f) { return destination.IsBlockedWfm(f, mode); });
}

bool HasModeError(const datCh& record, const indDestination& destination) {
    return record.InUse() && IsModeErrorAt(record, record.mode, destination);
}

namespace {

using Report = std::function<void(bool error, const char* what)>;

// Runs every check of one record, reporting each finding.
void CheckEach(const datCh& record, const indDestination& destination, const Report& report) {
    if (!record.InUse()) return;
    const bool two = HasTwoFrequencies(record);
    const char* first = two ? "upper frequency" : "frequency";
    if (HasFrequencyError(record)) report(true, first);
    if (two && HasFrequencyError(record, clsWhichFrequency::Second))
        report(true, "lower frequency");
    if (HasOffsetError(record, destination)) report(true, "offset");
    if (HasStepError(record, destination)) report(true, "tuning step");
    if (HasModeError(record, destination)) report(true, "mode");
    if (HasFrequencyWarning(record, destination)) report(false, first);
    if (two && HasFrequencyWarning(record, destination, clsWhichFrequency::Second))
        report(false, "lower frequency");
}

void Mark(clsMarks& marks, bool error) {
    (error ? marks.error : marks.warning) = true;
}

// Walks the records of one sheet: (kind, index, row) for each.
using Walk = std::function<void(const std::function<void(uint32_t, int, int)>&)>;

Walk GroupWalk(const cmcOrganisation& organisation, int group) {
    return [&organisation, group](const auto& visit) {
        if (group < 0 || group >= organisation.GroupCount()) return;
        const int first = organisation.FirstChannelOfGroup(group);
        for (int slot = first; slot <= organisation.LastChannelOfGroup(group); ++slot)
            visit(datKind::Mch, slot, slot - first);
    };
}

Walk EdgeWalk() {
    return [](const auto& visit) {
        for (int edge = 0; edge < datKind::Count(datKind::PgSrch); ++edge)
            visit(datKind::PgSrch, edge, edge);
    };
}

Walk AutoWriteWalk(const cmcOrganisation& organisation) {
    return [&organisation](const auto& visit) {
        const cmcEeprom& image = organisation.Image();
        for (int row = 0; row < datLookup::AutoWriteRowCount(image); ++row)
            visit(datKind::AutoMWCH, datLookup::AutoWriteSlotOfRow(image, row), row);
    };
}

Walk BankWalk(const cmcOrganisation& organisation, uint32_t kind, int bank) {
    return [&organisation, kind, bank](const auto& visit) {
        if (bank < 0 || bank >= cmcOrganisation::MaxBanks) return;
        const bool ch = kind == datKind::BasicCh;
        const int perBank =
            ch ? cmcOrganisation::MaxBankChEntries : cmcOrganisation::MaxBankPgEntries;
        const int count = ch ? organisation.BankChCount(bank) : organisation.BankPgCount(bank);
        for (int entry = 0; entry < count && entry < perBank; ++entry)
            visit(kind, bank * perBank + entry, entry);
    };
}

clsMarks SheetMarks(const cmcOrganisation& organisation, const Walk& walk) {
    clsMarks marks;
    datCh record = organisation.Record();
    walk([&](uint32_t kind, int index, int) {
        record.Load(kind, index);
        CheckEach(record, organisation.Destination(),
                  [&](bool error, const char*) { Mark(marks, error); });
    });
    return marks;
}

void SheetFindings(const cmcOrganisation& organisation, const Walk& walk, const std::string& sheet,
                   std::vector<clsDataFinding>& findings) {
    datCh record = organisation.Record();
    walk([&](uint32_t kind, int index, int row) {
        record.Load(kind, index);
        CheckEach(record, organisation.Destination(), [&](bool error, const char* what) {
            findings.push_back({sheet, row, error, what});
        });
    });
}

} // namespace

clsMarks CheckRecord(const datCh& record, const indDestination& destination) {
    clsMarks marks;
    CheckEach(record, destination, [&](bool error, const char*) { Mark(marks, error); });
    return marks;
}

clsMarks CheckMemoryGroup(const cmcOrganisation& organisation, int group) {
    return SheetMarks(organisation, GroupWalk(organisation, group));
}

clsMarks CheckEdges(const cmcOrganisation& organisation) {
    return SheetMarks(organisation, EdgeWalk());
}

clsMarks CheckAutoWrite(const cmcOrganisation& organisation) {
    return SheetMarks(organisation, AutoWriteWalk(organisation));
}

clsMarks CheckBankCh(const cmcOrganisation& organisation, int bank) {
    return SheetMarks(organisation, BankWalk(organisation, datKind::BasicCh, bank));
}

clsMarks CheckBankPg(const cmcOrganisation& organisation, int bank) {
    return SheetMarks(organisation, BankWalk(organisation, datKind::BasicPg, bank));
}

std::vector<clsDataFinding> RunDataChecks(const cmcOrganisation& organisation) {
    std::vector<clsDataFinding> findings;
    for (int group = 0; group < organisation.GroupCount(); ++group)
        SheetFindings(organisation, GroupWalk(organisation, group),
                      "group:" + std::to_string(group), findings);
    SheetFindings(organisation, EdgeWalk(), "edges", findings);
    SheetFindings(organisation, AutoWriteWalk(organisation), "autowrite", findings);
    for (int bank = 0; bank < organisation.BankCount(); ++bank) {
        SheetFindings(organisation, BankWalk(organisation, datKind::BasicCh, bank),
                      "bank-ch:" + std::to_string(bank), findings);
        SheetFindings(organisation, BankWalk(organisation, datKind::BasicPg, bank),
                      "bank-pg:" + std::to_string(bank), findings);
    }
    return findings;
}

bool HasErrors(const std::vector<clsDataFinding>& findings) {
    for (const clsDataFinding& finding : findings)
        if (finding.error) return true;
    return false;
}

// pelham-cli check FILE.tcf: reads a clone data file as the program opens one and reports
// the first file error (its code is the exit status); a readable file then goes through
// every data check, and each error and warning is listed with its sheet and row (exit 1
// when there is an error). A file that opens only with corrections for the destination is
// reported and, without data errors, exits ExitCorrected.

#include "CliDocument.h"

#include "model/cmcDataChecks.h"
#include "model/cmcDuplicates.h"

#include <cstdio>

namespace {

// The file opens, but only with corrections for the destination (listed on standard
// error); above every file result code.
constexpr int ExitCorrected = 10;

// --duplicates: one line for each channel whose frequency and mode, or whose name, an
// earlier channel has; exit 1 when there is one.
int ListDuplicates(CliDocument& document) {
    const std::vector<clsDuplicate> found = FindDuplicates(document.Organisation());
    for (const clsDuplicate& duplicate : found) {
        const bool name = duplicate.what == clsDuplicate::What::Name;
        std::printf("group:%d row %d: %s %s, as group:%d row %d\n", duplicate.group, duplicate.row,
                    name ? "name" : "frequency", DuplicateValueText(duplicate).c_str(),
                    duplicate.twinGroup, duplicate.twinRow);
    }
    return found.empty() ? 0 : 1;
}

int RunCheck(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("check", "check takes one file");
    CliDocument document;
    // The file error, if any, has been shown on standard error already.
    if (int code = document.Open(args, "check", args.positional[0]); code != 0) return code;
    if (args.has("--duplicates")) return ListDuplicates(document);
    const std::vector<clsDataFinding> findings = RunDataChecks(document.Organisation());
    for (const clsDataFinding& finding : findings)
        std::fprintf(stderr, "%s row %d: %s: %s\n", finding.sheet.c_str(), finding.row,
                     finding.error ? "error" : "warning", finding.what.c_str());
    if (HasErrors(findings)) return 1;
    if (document.Corrections().Any()) {
        std::fprintf(stderr, "%s\n",
                     LoadCorrectionText(loadtext::CheckNote,
                                        {indDestination::Label(document.Destination().Index())})
                         .c_str());
        return ExitCorrected;
    }
    return 0;
}

const CliRegistration
    registration({"check", "FILE.tcf [--duplicates]", RunCheck,
                  "Reports file errors, then the data checks. Exit status: 0 no findings\n"
                  "(warnings only included); 1 data errors; 10 no data errors, but the file\n"
                  "opens only with corrections for the destination (listed on standard error);\n"
                  "3 to 8 the file error; 64 a usage error.\n"
                  "--duplicates instead lists the channels whose frequency and mode, or whose\n"
                  "name, an earlier channel has (\"group:G row R: frequency 145.000000 FM, as\n"
                  "group:G row R\"), across all groups; exit 1 when there is one."});

} // namespace

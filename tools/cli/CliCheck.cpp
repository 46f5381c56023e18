// pelham-cli check FILE.tcf: reads a clone data file as the program opens one and reports
// the first file error (its code is the exit status); a readable file then goes through
// every data check, and each error and warning is listed with its sheet and row (exit 1
// when there is an error).

#include "CliDocument.h"

#include "model/cmcDataChecks.h"

#include <cstdio>

namespace {

int RunCheck(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("check", "check takes one file");
    CliDocument document;
    // The file error, if any, has been shown on standard error already.
    if (int code = document.Open(args, "check", args.positional[0]); code != 0) return code;
    const std::vector<clsDataFinding> findings = RunDataChecks(document.Organisation());
    for (const clsDataFinding& finding : findings)
        std::fprintf(stderr, "%s row %d: %s: %s\n", finding.sheet.c_str(), finding.row,
                     finding.error ? "error" : "warning", finding.what.c_str());
    return HasErrors(findings) ? 1 : 0;
}

const CliRegistration
    registration({"check", "FILE.tcf", RunCheck,
                  "Reports file errors, then the data checks; exit 1 on data errors."});

} // namespace

// pelham-cli new [--destination D] OUT.tcf: writes the new document of a destination as the
// program saves it. The exit status is the file result code.

#include "CliDocument.h"

namespace {

int RunNew(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("new", "one output file is needed");
    CliDocument document;
    if (int status = document.TakeDestination(args, "new"); status != 0) return status;
    document.New();
    return document.Save(args.positional[0]);
}

const CliRegistration registration({"new", "[--destination D] OUT.tcf", RunNew,
                                    "Writes the default image of the destination."});

} // namespace

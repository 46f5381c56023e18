// pelham-cli diff (A.tcf | --port PATH) B.tcf: what differs between two clone data files,
// or between the receiver and a file, one line per difference in the sheets' terms. Exit
// status 0 when they are equal, 1 when they differ, else the file or clone result code.

#include "CliCloneSession.h"
#include "CliDocument.h"

#include "files/cmcImageDiff.h"
#include "model/cmcImageCorrection.h"

#include <cstdio>

namespace {

constexpr int ExitDifferent = 1;

// The first side: a file, or the receiver on --port read whole and adopted as Clone Read
// adopts it.
int OpenFirst(const CliArgs& args, CliDocument& document) {
    if (!args.value("--port")) return document.Open(args, "diff", args.positional[0]);
    if (int status = document.TakeDestination(args, "diff"); status != 0) return status;
    cmcEeprom image;
    if (int code = ReadReceiver(args, document.Destination().Index(), image); code != 0)
        return code;
    document.Image().Assign(image);
    AdoptLoadedImage(document.Organisation());
    return 0;
}

int RunDiff(const CliArgs& args) {
    const bool receiver = args.value("--port").has_value();
    if (receiver && args.value("--port")->empty())
        return CliUsageError("diff", "--port needs a path");
    if (args.positional.size() != (receiver ? 1u : 2u))
        return CliUsageError("diff", receiver ? "with --port, give one file"
                                              : "give two files, or --port and one file");
    CliDocument first, second;
    if (int code = OpenFirst(args, first); code != 0) return code;
    if (int code = second.Open(args, "diff", args.positional.back()); code != 0) return code;
    clsImageDiffOptions options;
    options.japaneseText = second.JapaneseText();
    const std::vector<clsImageDifference> differences =
        DiffDocuments(first.Organisation(), second.Organisation(), options);
    for (const clsImageDifference& difference : differences)
        std::printf("%s\n", difference.Text().c_str());
    return differences.empty() ? 0 : ExitDifferent;
}

const CliRegistration
    registration({"diff", "(A.tcf | --port PATH [--high-speed] [--trace FILE]) B.tcf", RunDiff,
                  "Lists the differences in the sheets' terms; exit 1 when there are any."});

} // namespace

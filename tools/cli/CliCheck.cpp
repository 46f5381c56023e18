// pelham-cli check FILE.tcf: reads a clone data file as the program opens one and reports
// the first file error. The message goes to standard error; the exit status is its code.

#include "CliCommand.h"

#include "app/indDocumentFile.h"
#include "model/cmcEeprom.h"

namespace {

int RunCheck(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("check", "check takes one file");
    cmcEeprom image;
    image.SetSize(ImageSize);
    // The file error, if any, has been shown on standard error already.
    if (int code = ReadDocumentFile(args.positional[0], image); code != 0) return code;
    return 0;
}

const CliRegistration registration({"check", "FILE.tcf", RunCheck});

} // namespace

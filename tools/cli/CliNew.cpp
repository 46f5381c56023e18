// pelham-cli new [--destination D] OUT.tcf: writes the new document of a destination as the
// program saves it. The exit status is the file result code.

#include "CliCommand.h"

#include "app/indDocumentFile.h"
#include "app/indProcess.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"

#include <optional>

namespace {

// The destination and receiver flags for this run: --destination with the flags off, else
// the settings store's.
std::optional<indDestination> RunDestination(const CliArgs& args) {
    if (args.value("--destination")) {
        const auto d = args.number("--destination", 0, indDestination::None);
        if (!d) return std::nullopt;
        return indDestination(int(*d));
    }
    indEnviron settings(indProcess::MutexName, indProcess::SettingsKey, indProcess::SettingsKey, {},
                        indEnviron::Access::ReadOnly);
    const int d = settings.destination >= 0 && settings.destination < indDestination::None
                      ? settings.destination
                      : indDestination::None;
    return indDestination(d, settings.fccInhibit != 0, settings.rxExpansion != 0);
}

int RunNew(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("new", "one output file is needed");
    const auto destination = RunDestination(args);
    if (!destination) return CliUsageError("new", "--destination takes 0..14");
    cmcEeprom image;
    image.SetSize(ImageSize);
    FillDefaultImage(image, destination->Index());
    // New adopts the default image; saving corrects it and rebuilds the in-use bitmaps.
    cmcOrganisation organisation(image, &*destination);
    organisation.Adopt();
    PrepareForSave(organisation);
    return WriteDocumentFile(args.positional[0], image);
}

const CliRegistration registration({"new", "[--destination D] OUT.tcf", RunNew});

} // namespace

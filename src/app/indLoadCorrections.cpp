#include "app/indLoadCorrections.h"

#include "catalogue/cmcGTex.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

constexpr const char* TextKey = "GI_Load_Corrected";

// Names are compared in the Japanese text mode wherever the destination keeps only plain
// text after the correction: half-width katakana a file brought then show as what they
// were, not as blanks.
clsImageDiffOptions Options(const cmcOrganisation& adopted, bool japaneseText) {
    clsImageDiffOptions options;
    options.japaneseText = japaneseText || adopted.Destination().Index() != 0;
    return options;
}

// The image as it came, recounted and repacked like the document but not corrected. It is
// read as the Japanese program reads it (as the USA one for a USA document), whose records
// know every value a file may hold (Auto mode and step, the canceller), so that what the
// correction took away shows under its own name.
struct clsAsRead {
    clsAsRead(const cmcEeprom& asRead, const cmcOrganisation& adopted)
        : destination(adopted.Destination().Index() == 5 ? 5 : 0,
                      adopted.Destination().FccInhibit(), adopted.Destination().RxExpansion()),
          organisation(image, &destination) {
        image.Assign(asRead);
        organisation.Adopt();
    }
    indDestination destination;
    cmcEeprom image;
    cmcOrganisation organisation;
};

bool SameMap(const cmcEeprom& a, const cmcEeprom& b) {
    if (a.GetSize() < MapSize || b.GetSize() < MapSize) return false;
    return std::memcmp(a.Data(), b.Data(), MapSize) == 0;
}

} // namespace

clsLoadCorrections FindLoadCorrections(const cmcEeprom& asRead, cmcOrganisation& adopted,
                                       bool japaneseText) {
    clsLoadCorrections corrections;
    clsAsRead before(asRead, adopted);
    // Most files were saved for this destination: nothing to tell, and no compare to run.
    if (SameMap(before.image, adopted.Image())) return corrections;
    corrections.differences =
        DiffDocuments(before.organisation, adopted, Options(adopted, japaneseText));
    std::set<std::string> places;
    for (const clsImageDifference& difference : corrections.differences)
        places.insert(difference.where);
    corrections.records = int(places.size());
    return corrections;
}

std::vector<clsImageDifference> DiffDocumentToAsRead(cmcOrganisation& adopted,
                                                     const cmcEeprom& asRead, bool japaneseText) {
    clsAsRead after(asRead, adopted);
    return DiffDocuments(adopted, after.organisation, Options(adopted, japaneseText));
}

std::string LoadCorrectionText(int line, const std::vector<std::string>& parts) {
    return cmcFillIn(cmcGTex::Process().GetLine(TextKey, line), parts);
}

std::string LoadCorrectionRecords(int records) {
    return records == 1 ? LoadCorrectionText(loadtext::OneRecord)
                        : LoadCorrectionText(loadtext::Records, {std::to_string(records)});
}

std::string LoadCorrectionSummary(const clsLoadCorrections& corrections, int destination) {
    return LoadCorrectionText(loadtext::Summary, {indDestination::Label(destination),
                                                  LoadCorrectionRecords(corrections.records)});
}

std::string LoadCorrectionReport(const clsLoadCorrections& corrections, int destination,
                                 size_t maxLines) {
    std::string report = LoadCorrectionSummary(corrections, destination) + "\n";
    const size_t shown = std::min(maxLines, corrections.differences.size());
    for (size_t i = 0; i < shown; ++i)
        report += "  " + corrections.differences[i].Text() + "\n";
    if (shown < corrections.differences.size())
        report += "  " +
                  LoadCorrectionText(loadtext::More,
                                     {std::to_string(corrections.differences.size() - shown)}) +
                  "\n";
    return report;
}

#include "app/indCompare.h"

#include "app/indDocumentFile.h"
#include "model/cmcEeprom.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"

int CompareDocumentWithFile(const cmcOrganisation& document, const std::string& path,
                            bool japaneseText, std::vector<clsImageDifference>& differences) {
    differences.clear();
    cmcEeprom file;
    file.SetSize(ImageSize);
    if (int code = ReadDocumentFile(path, file); code != 0) return code;
    cmcEeprom copy;
    copy.Assign(document.Image());
    const indDestination* destination = &document.Destination();
    cmcOrganisation ours(copy, destination), theirs(file, destination);
    // The document as it would be saved and opened again, like the file.
    ours.RecountOrganisation();
    PrepareForSave(ours);
    AdoptLoadedImage(ours);
    AdoptLoadedImage(theirs);
    clsImageDiffOptions options;
    options.japaneseText = japaneseText;
    differences = DiffDocuments(ours, theirs, options);
    return 0;
}

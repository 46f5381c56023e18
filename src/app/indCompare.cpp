#include "app/indCompare.h"

#include "app/indDocumentFile.h"
#include "app/indLoadCorrections.h"
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
    cmcOrganisation ours(copy, &document.Destination());
    // The document as it would be saved and opened again; the file as it stands, recounted
    // but not corrected for the destination, so that what Open corrected shows too.
    ours.RecountOrganisation();
    PrepareForSave(ours);
    AdoptLoadedImage(ours);
    differences = DiffDocumentToAsRead(ours, file, japaneseText);
    return 0;
}

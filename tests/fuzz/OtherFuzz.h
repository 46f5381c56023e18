#pragma once

// What the fuzz targets of other programs' lists share: the file read as one format,
// every row mapped, and the rows imported into a fresh copy of a default document through
// the CSV import. The first byte picks the placement and the text mode; the rest is the file.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "files/cmcOtherList.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace otherfuzz {

struct Document {
    Document() : destination(0) {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        // Packed once here, so that each run only counts the copy it imports into.
        cmcOrganisation(image, &destination).Adopt();
    }
    cmcFakePlatform platform;
    cmcGTex catalogue;
    indDestination destination;
    cmcEeprom image;
};

struct Placement {
    cmcOrganisation& organisation;
    cmcEvMan& events;
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<Placement*>(context);
        HandleOrganisationEvent(self->organisation, &self->events, event.code, event.a, event.b);
    }
};

inline int Run(int format, const uint8_t* data, size_t size) {
    static Document document;
    if (size < 1) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    clsOtherRead read = OtherReadText(bytes, format);
    if (!read.error.empty()) return 0;
    if (read.mapping[OtherField::Frequency] < 0) read.mapping[OtherField::Frequency] = 0;
    cmcEeprom image;
    image.Assign(document.image);
    cmcOrganisation organisation(image, &document.destination);
    organisation.RecountOrganisation();
    cmcEvMan events;
    Placement placement{organisation, events};
    events.Subscribe(&Placement::OnEvent, &placement);
    clsCsvReadOptions options;
    options.destination = &document.destination;
    options.japaneseText = data[0] & 1;
    const clsOtherPlan plan = OtherPlan(read.table, read.mapping, options, organisation);
    for (const clsOtherPlanRow& row : plan.rows)
        for (const clsOtherNote& note : row.notes)
            OtherNoteText(note);
    clsOtherTarget target;
    target.newGroups = (data[0] & 2) == 0;
    target.group = 0;
    OtherImportLines(plan, target, organisation, events, options);
    events.Unsubscribe(&Placement::OnEvent, &placement);
    return 0;
}

} // namespace otherfuzz

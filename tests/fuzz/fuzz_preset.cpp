// Fuzz target: a preset file read by the preset reader, then its categories imported as
// banks into a document, in and out of the Japanese text mode. The document is the default
// image adopted once; each run starts from a copy of its bytes, since an import touches
// only the banks and leaves the channel organisation as it was.

#include "events/cmcEvMan.h"
#include "files/cmcLoadFile.h"
#include "files/cmcPresetImport.h"
#include "files/cmcPresetReader.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

struct Document {
    Document() : destination(0), organisation(image, &destination) {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        organisation.Adopt();
        pristine.SetSize(ImageSize);
        pristine.Assign(image);
        events.Subscribe(&Document::OnEvent, this);
    }
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<Document*>(context);
        HandleOrganisationEvent(self->organisation, &self->events, event.code, event.a, event.b);
    }
    cmcFakePlatform platform;
    cmcEvMan events;
    indDestination destination;
    cmcEeprom image;
    cmcEeprom pristine;
    cmcOrganisation organisation;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Document document;
    for (bool japanese : {false, true}) {
        cmcLoadFile file;
        file.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
        Preset_Data preset;
        if (!ReadPreset(file, japanese, preset)) continue;
        document.image.Assign(document.pristine);
        preset.selection = presetchoice::Add;
        for (Cate_Data& category : preset.categories)
            category.selection = presetchoice::Add;
        clsCsvReadOptions options;
        options.destination = &document.destination;
        options.japaneseText = japanese;
        ImportPresets({preset}, document.organisation, document.events, PresetAllBanks, options);
        // Posted events wait for the manager's task; deliver them as it would, so that
        // nothing piles up from one input to the next.
        document.events.DeliverPass();
        document.events.DeliverPass();
    }
    return 0;
}

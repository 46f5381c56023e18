// Any 116,800 bytes from a file or a receiver, adopted as the program adopts a loaded image
// (recount, repack, correct), then checked, prepared for saving and edited: nothing may
// read or write outside the image, and the organisation must come out consistent.

#include "model/cmcDataChecks.h"
#include "model/cmcEeprom.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireConsistent(const cmcOrganisation& organisation) {
    int groups = 0, channels = 0;
    for (int c = 0; c < organisation.CategoryCount(); ++c) {
        Require(organisation.GroupsOfCategory(c) > 0);
        groups += organisation.GroupsOfCategory(c);
    }
    Require(groups == organisation.GroupCount());
    for (int g = 0; g < organisation.GroupCount(); ++g)
        channels += organisation.ChannelsOfGroup(g);
    Require(channels == organisation.TotalChannels());
    Require(channels <= cmcOrganisation::MaxChannels);
    datCh record = organisation.Record();
    for (int slot = 0; slot < cmcOrganisation::MaxChannels; ++slot) {
        record.Load(datKind::Mch, slot);
        Require(record.InUse() == (slot < channels));
        if (record.InUse()) Require(record.nameIndex < 1600);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the destination and the receiver flags; the rest is the map.
    const int destinationIndex = data[0] % 15;
    indDestination destination(destinationIndex, data[0] & 0x40, data[0] & 0x80);
    cmcEeprom image;
    image.SetSize(ImageSize);
    std::memcpy(image.Data(), data + 1, std::min<size_t>(size - 1, MapSize));

    cmcOrganisation organisation(image, &destination);
    AdoptLoadedImage(organisation);
    RequireConsistent(organisation);
    RunDataChecks(organisation);

    // Edits the controller runs on such an image.
    organisation.InsertCategory(0);
    organisation.InsertGroup(0, organisation.FirstGroupOfCategory(0));
    organisation.DeleteChannel(0, 0);
    organisation.InsertBank(organisation.BankCount());
    organisation.InsertBasicEntry(datKind::BasicCh, 0);
    organisation.DeleteBasicEntry(datKind::BasicPg, 0);
    RequireConsistent(organisation);

    PrepareForSave(organisation);
    cmcEeprom copy;
    copy.Assign(image);
    cmcOrganisation written(copy, &destination);
    written.Adopt();
    ReplaceDisallowedRecords(written);
    // Nothing beyond the map was touched.
    for (int address = MapSize; address < ImageSize; ++address)
        Require(image.Data()[address] == 0);
    return 0;
}

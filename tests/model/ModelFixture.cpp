#include "ModelFixture.h"

#include "model/cmcMemoryMap.h"

using namespace memmap;

void ModelFixture::FillChannels(int n, int perGroup) {
    uint8_t* bytes = image.Data();
    for (int slot = 0; slot < Channels; ++slot) {
        const bool used = slot < n;
        const int group = slot / perGroup, category = group / 100;
        Put32(bytes, OrganisationWords + 4 * slot,
              used ? uint32_t(category) << 24 | uint32_t(group) << 13 | uint32_t(slot) << 2
                   : EmptyOrganisationWord);
        Put16(bytes, OrderList + 2 * slot, used ? uint16_t(slot) : NoSlot);
        PutBit(bytes, ChannelEmptyBits, slot, !used);
        Put32(bytes, ChannelAddress(slot), 145000000 + 12500 * uint32_t(slot));
    }
    organisation.Adopt();
}

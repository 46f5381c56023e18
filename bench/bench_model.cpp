// The memory model on a full image: adopting an image with 1,600 channels in use (recount,
// repack, correct) and running every data check over it.

#include "model/cmcDataChecks.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"

#include <benchmark/benchmark.h>

using namespace memmap;

namespace {

// 1,600 channels listed in reverse slot order: 16 categories of 100 groups of one channel.
void FillFullImage(cmcEeprom& image) {
    image.SetSize(ImageSize);
    FillDefaultImage(image, 0);
    uint8_t* bytes = image.Data();
    for (int slot = 0; slot < Channels; ++slot) {
        const int position = Channels - 1 - slot;
        Put32(bytes, OrganisationWords + 4 * slot,
              uint32_t(position / 100) << 24 | uint32_t(position) << 13 | uint32_t(slot) << 2);
        Put16(bytes, OrderList + 2 * position, uint16_t(slot));
        PutBit(bytes, ChannelEmptyBits, slot, false);
        Put32(bytes, ChannelAddress(slot), 118000000 + 8333 * uint32_t(slot));
    }
}

void AdoptFullImage(benchmark::State& state) {
    indDestination destination(0);
    cmcEeprom loaded, image;
    FillFullImage(loaded);
    for (auto _ : state) {
        image.Assign(loaded);
        cmcOrganisation organisation(image, &destination);
        AdoptLoadedImage(organisation);
        benchmark::DoNotOptimize(organisation.TotalChannels());
    }
}
BENCHMARK(AdoptFullImage)->Unit(benchmark::kMillisecond);

void CheckFullImage(benchmark::State& state) {
    indDestination destination(0);
    cmcEeprom image;
    FillFullImage(image);
    cmcOrganisation organisation(image, &destination);
    AdoptLoadedImage(organisation);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunDataChecks(organisation).size());
}
BENCHMARK(CheckFullImage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

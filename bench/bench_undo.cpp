// The undo history on full-image changes (a Clone Read or an import that rewrites every
// channel): one undo or redo with the recount that follows it, the step taken at the end of
// an action, the check made when an action changed nothing, and the memory of 200 steps.

#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/cmcUndoHistory.h"
#include "model/indDestination.h"

#include <benchmark/benchmark.h>

using namespace memmap;

namespace {

// 1,600 channels in use, 16 categories of 100 groups of one channel, each with its own
// name; seed varies the frequencies and names.
void FillFullImage(cmcEeprom& image, uint32_t seed) {
    image.SetSize(ImageSize);
    FillDefaultImage(image, 0);
    uint8_t* bytes = image.Data();
    for (int slot = 0; slot < Channels; ++slot) {
        Put32(bytes, OrganisationWords + 4 * slot,
              uint32_t(slot / 100) << 24 | uint32_t(slot) << 13 | uint32_t(slot) << 2);
        Put16(bytes, OrderList + 2 * slot, uint16_t(slot));
        PutBit(bytes, ChannelEmptyBits, slot, false);
        Put32(bytes, ChannelAddress(slot), 118000000 + 8333 * uint32_t(slot) + seed * 5000);
    }
    for (int i = 0; i < 16 * Channels; ++i)
        bytes[NameTexts + i] = uint8_t('A' + (i + seed) % 26);
}

// A history whose last step replaced the default image with a full one.
struct FullStep {
    FullStep() {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        history.Reset(image);
        FillFullImage(image, 1);
        history.Record(image, undoAction::CloneRead, {});
    }
    cmcEeprom image;
    cmcUndoHistory history;
};

void UndoFullImage(benchmark::State& state) {
    indDestination destination(0);
    FullStep full;
    cmcOrganisation organisation(full.image, &destination);
    for (auto _ : state) {
        // Each iteration is one undo or one redo, alternately, each with its recount.
        const bool undo = full.history.CanUndo();
        benchmark::DoNotOptimize(undo ? full.history.Undo(full.image)
                                      : full.history.Redo(full.image));
        benchmark::DoNotOptimize(organisation.RecountOrganisation());
    }
    state.counters["stepKB"] = double(full.history.MemoryBytes() - ImageSize) / 1024.0;
}
BENCHMARK(UndoFullImage)->Unit(benchmark::kMillisecond);

void RecordFullImage(benchmark::State& state) {
    cmcEeprom start, full;
    start.SetSize(ImageSize);
    FillDefaultImage(start, 0);
    FillFullImage(full, 1);
    cmcUndoHistory history;
    for (auto _ : state) {
        state.PauseTiming();
        history.Reset(start);
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.Record(full, undoAction::CloneRead, {}));
    }
}
BENCHMARK(RecordFullImage)->Unit(benchmark::kMillisecond);

// The cost every cell action pays when it changed nothing.
void UnchangedAction(benchmark::State& state) {
    FullStep full;
    for (auto _ : state)
        benchmark::DoNotOptimize(full.history.Differs(full.image));
}
BENCHMARK(UnchangedAction)->Unit(benchmark::kMicrosecond);

// 200 steps, each rewriting every channel: the default image and full images in turn.
void MemoryOf200FullSteps(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        cmcEeprom image;
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        cmcUndoHistory history;
        history.Reset(image);
        for (uint32_t n = 0; n < cmcUndoHistory::StepLimit; ++n) {
            if (n % 2 == 0) {
                FillFullImage(image, n + 1);
            } else {
                image.SetSize(ImageSize);
                FillDefaultImage(image, 0);
            }
            history.Record(image, undoAction::Import, {});
        }
        bytes = history.MemoryBytes();
    }
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(MemoryOf200FullSteps)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

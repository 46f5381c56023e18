// One cell edit on a full 1,600-channel image: typed text to stored record, with the
// repaint call and the change detection over the whole image, as the grid runs it.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcDocumentCommands.h"
#include "model/cmcEeprom.h"
#include "model/cmcFCache.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <benchmark/benchmark.h>

namespace {

// Change detection as the document controller runs it: a full compare until modified.
class BenchDocument : public cmcDocumentCommands {
  public:
    BenchDocument(cmcEeprom& working, cmcEeprom& saved) : working_(working), saved_(saved) {}
    int FileNew() override { return 1; }
    int FileOpen() override { return 1; }
    int OpenDocument(const std::string&) override { return 1; }
    int FileSave() override { return 1; }
    int FileSaveAs() override { return 1; }
    void CloneRead() override {}
    void CloneWrite() override {}
    void CloseMainWindow() override {}
    void OpenSheet(const std::string&) override {}
    void RestartEditSettle() override {}
    bool CheckModified() override {
        // Compare every time: the worst case, before the first change is found.
        benchmark::DoNotOptimize(working_.IsDifferent(saved_));
        return false;
    }

  private:
    cmcEeprom& working_;
    cmcEeprom& saved_;
};

void AnswerGroup(void* context, const cmcEvent& event) {
    if (event.code == ev::AskChannelList) static_cast<cmcEvMan*>(context)->Answer(15);
}

// Sixteen groups of 100 channels.
void FillFull(cmcEeprom& image) {
    uint8_t* bytes = image.Data();
    for (int slot = 0; slot < memmap::Channels; ++slot) {
        std::copy(bytes, bytes + memmap::ChannelSize, bytes + memmap::ChannelAddress(slot));
        memmap::Put32(bytes, memmap::OrganisationWords + 4 * slot,
                      uint32_t(slot / 100) << 13 | uint32_t(slot % 100) << 2);
        memmap::Put16(bytes, memmap::OrderList + 2 * slot, uint16_t(slot));
        memmap::PutBit(bytes, memmap::ChannelEmptyBits, slot, false);
    }
}

void BM_CellEditOnFullImage(benchmark::State& state) {
    cmcFakePlatform platform;
    cmcGTex catalogue;
    catalogue.Attach(EnglishTable());
    cmcGTex::SetProcess(&catalogue);
    cmcEvMan events;
    events.Subscribe(AnswerGroup, &events);
    indDestination destination(1);
    cmcEeprom image, saved;
    image.SetSize(ImageSize);
    FillDefaultImage(image, 1);
    FillFull(image);
    cmcOrganisation organisation(image, &destination);
    organisation.Adopt();
    saved.Assign(image);
    BenchDocument document(image, saved);
    datClipCh clipboard;
    cmcFCache cache;
    indCellDocument parts;
    parts.organisation = &organisation;
    parts.clipboard = &clipboard;
    parts.commands = &document;
    parts.events = &events;
    parts.catalogue = &catalogue;
    parts.cache = &cache;
    parts.destination = &destination;
    indCellLogic logic(parts);

    cmcCellObj cell;
    cell.cellType = CT_Conv;
    cell.logicId = CL_Mch_Freq;
    cell.index = 1550;
    int repaints = 0;
    const char* texts[] = {"145.0125", "118.0083"};
    int turn = 0;
    for (auto _ : state) {
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        capsule.inputMode = cmcCellCapsule::TextEntered;
        capsule.inputText = texts[turn++ & 1];
        capsule.onRepaint = [&repaints](cmcCellCapsule&, int) { ++repaints; };
        indActiveCell context;
        benchmark::DoNotOptimize(logic.Run(context, capsule, true));
    }
    benchmark::DoNotOptimize(repaints);
    cmcGTex::SetProcess(nullptr);
}
BENCHMARK(BM_CellEditOnFullImage)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace

BENCHMARK_MAIN();

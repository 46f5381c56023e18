// Find across a full memory: 1,600 channels in 16 groups of 100 names, every sheet of the
// tree searched in its order.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "files/cmcCsvImport.h"
#include "files/cmcLoadFile.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcFind.h"
#include "model/cmcOrganisation.h"
#include "model/cmcOrganisationEvents.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int Groups = 16;
constexpr int NamesPerGroup = 100;

// A full document, built through the CSV import as the user would build it.
struct FullDocument {
    FullDocument() : destination(1), organisation(image, &destination) {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
        image.SetSize(ImageSize);
        FillDefaultImage(image, 1);
        organisation.Adopt();
        events.Subscribe(&FullDocument::OnEvent, this);
        std::string text = "CH No,Group No,Group Name,Name No,Name Name,Frequency,Mode\r\n";
        char line[128];
        for (int i = 0; i < Groups * NamesPerGroup; ++i) {
            std::snprintf(line, sizeof line, "%04d,%d,Group %d,%d,Channel %d,%d.%06d,FM\r\n", i,
                          i / NamesPerGroup, i / NamesPerGroup, i % NamesPerGroup, i, 144 + i / 400,
                          (i % 400) * 2500);
            text += line;
        }
        cmcLoadFile file;
        file.LoadText(text);
        clsCsvReadOptions options;
        options.destination = &destination;
        if (CsvImportLines(file, organisation, events, csvkind::Group, 0, true, options).imported !=
            Groups * NamesPerGroup)
            throw std::runtime_error("the full memory was not built");
    }
    ~FullDocument() {
        events.Unsubscribe(&FullDocument::OnEvent, this);
        cmcGTex::SetProcess(nullptr);
    }
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<FullDocument*>(context);
        HandleOrganisationEvent(self->organisation, &self->events, event.code, event.a, event.b);
    }

    // The tree's sheets in its order, branch numbers equal to positions.
    std::vector<std::string> TreeOrder() const {
        std::vector<std::string> addresses = {"GI_Sheet_TopPage",
                                              "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp"};
        for (int c = 0; c < organisation.CategoryCount(); ++c) {
            addresses.push_back("[St_ChNew]GI_Sheet_BankOp,Category " + std::to_string(c));
            const int first = organisation.FirstGroupOfCategory(c);
            for (int g = first; g < first + organisation.GroupsOfCategory(c); ++g)
                addresses.push_back("[St_CNBank]GI_Sheet_MemoryCH,Group " + std::to_string(g));
        }
        addresses.push_back("[St_ColCut]GI_Sheet_ScanEdge,ScanEdge");
        addresses.push_back("[St_ColCut]GI_Sheet_ScanLink_Name");
        for (int link = 0; link < 10; ++link)
            addresses.push_back("[St_ColCut]GI_Sheet_ScanLink,ScanLink " + std::to_string(link));
        addresses.push_back("[St_ColCut]GI_Sheet_AutoMWCH,AutoMWCH");
        addresses.push_back("[St_ChNew]GI_Sheet_BasicOp,BasicOp");
        for (int b = 0; b < organisation.BankCount(); ++b) {
            const std::string n = std::to_string(b);
            addresses.push_back("[St_ChNew]GI_Sheet_BasicTop,Basic " + n);
            addresses.push_back("[St_ChNew]GI_Sheet_BasicPGSrch,BasicPG " + n);
            addresses.push_back("[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH " + n);
        }
        addresses.push_back("[St_Common]GI_Sheet_Common,0");
        return addresses;
    }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    cmcEvMan events;
    indDestination destination;
    cmcEeprom image;
    cmcOrganisation organisation;
};

// One whole search; the argument picks the query: a frequency, a name, nothing that matches.
void BM_FindInFullImage(benchmark::State& state) {
    FullDocument document;
    const std::vector<std::string> addresses = document.TreeOrder();
    const char* texts[] = {"145.5", "channel 1599", "no such text"};
    const cmcFindQuery query(texts[state.range(0)]);
    size_t matches = 0;
    for (auto _ : state) {
        std::vector<clsFindMatch> found =
            FindInSheets(document.organisation, addresses, nullptr, query);
        matches = found.size();
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(std::string(texts[state.range(0)]) + ": " + std::to_string(matches) +
                   " matches");
}
BENCHMARK(BM_FindInFullImage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Find across a full memory: 1,600 channels in 16 groups of 100 names, every sheet of the
// tree searched in its order.

#include "BenchDocument.h"
#include "model/cmcFind.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A full document, built through the CSV import as the user would build it.
struct FullDocument : BenchDocument {
    FullDocument() {
        cmcLoadFile file;
        file.LoadText(FullCategory());
        if (Import(*this, file).imported != Groups * NamesPerGroup)
            throw std::runtime_error("the full memory was not built");
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

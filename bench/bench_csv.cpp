// CSV export and import of a full memory: 1,600 channels in 16 groups of 100 names.

#include "BenchDocument.h"
#include "files/cmcCsvExport.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

void BM_ExportFullCategory(benchmark::State& state) {
    BenchDocument document;
    cmcLoadFile file;
    file.LoadText(FullCategory());
    if (Import(document, file).imported != Groups * NamesPerGroup)
        throw std::runtime_error("the full memory was not built");
    clsCsvWriteOptions options;
    for (auto _ : state) {
        std::string text = CsvExportText(document.organisation, csvkind::Group, 0, options);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ExportFullCategory)->Unit(benchmark::kMillisecond);

void BM_ImportFullCategory(benchmark::State& state) {
    BenchDocument document;
    const std::string text = FullCategory();
    cmcEeprom fresh;
    fresh.SetSize(ImageSize);
    fresh.Assign(document.image);
    for (auto _ : state) {
        state.PauseTiming();
        document.image.Assign(fresh);
        document.organisation.Adopt();
        state.ResumeTiming();
        cmcLoadFile file;
        file.LoadText(text);
        clsCsvImportResult result = Import(document, file);
        if (result.imported != Groups * NamesPerGroup)
            throw std::runtime_error("not every row was imported");
    }
}
BENCHMARK(BM_ImportFullCategory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

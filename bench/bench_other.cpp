// Lists of other programs: the preview of a 5,000-row generic radio CSV (read, detect, map
// with notes) and the import of 1,600 rows from a scanner tool's list into new groups.

#include "BenchDocument.h"
#include "files/cmcOtherList.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

constexpr int PreviewRows = 5000;
constexpr int ImportRows = 1600;
constexpr int RowsPerBank = 100;

// Rows that take every rule: narrow FM, tone squelch, an encode-only tone, DTCS, split,
// a quoted name with a comma, steps to round and a digital row left out.
std::string GenericList(int rows) {
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                       "DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";
    const char* kinds[] = {",,0.600000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,S",
                           ",-,0.600000,TSQL,88.5,100.0,023,NN,023,Tone->Tone,FM,12.50,",
                           ",+,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,P",
                           ",,0.000000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,2.50,",
                           ",split,145.800000,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,",
                           ",,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,DV,5.00,"};
    for (int i = 0; i < rows; ++i) {
        const int khz = 144000 + (i % 4000) * 5;
        text += std::to_string(i) + ",\"Ch " + std::to_string(i) + ", long name here\"," +
                std::to_string(khz / 1000) + "." + std::to_string(100 + khz % 1000).substr(1) +
                "000" + kinds[i % 6] + ",50W,\r\n";
    }
    return text;
}

std::string ScannerList(int rows) {
    std::string text = "Channel,Name,Frequency,Modulation,CTCSS/DCS,Delay,Lockout,Priority\r\n";
    for (int i = 0; i < rows; ++i) {
        if (i % RowsPerBank == 0) text += "# Bank " + std::to_string(i / RowsPerBank + 1) + "\r\n";
        text += std::to_string(i + 1) + ",Ch" + std::to_string(i) + ",1" +
                std::to_string(50 + i % 100) + ".5250,NFM,D023N,2,No,No\r\n";
    }
    return text;
}

void BM_PreviewGeneric5000(benchmark::State& state) {
    BenchDocument document;
    const std::string text = GenericList(PreviewRows);
    for (auto _ : state) {
        const clsOtherRead read = OtherReadText(text, otherformat::Auto);
        const clsOtherPlan plan =
            OtherPlan(read.table, read.mapping, document.ReadOptions(), document.organisation);
        if (read.table.format != otherformat::Generic || plan.rows.size() != PreviewRows)
            throw std::runtime_error("the list was not read whole");
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_PreviewGeneric5000)->Unit(benchmark::kMillisecond);

void BM_ImportScanner1600(benchmark::State& state) {
    BenchDocument document;
    const std::string text = ScannerList(ImportRows);
    const clsOtherRead read = OtherReadText(text, otherformat::Auto);
    const clsOtherPlan plan =
        OtherPlan(read.table, read.mapping, document.ReadOptions(), document.organisation);
    cmcEeprom fresh;
    fresh.SetSize(ImageSize);
    fresh.Assign(document.image);
    // The default document holds channels of its own: only the rest fit.
    const int room = cmcOrganisation::MaxChannels - document.organisation.TotalChannels();
    clsOtherTarget target;
    target.categoryName = "Scanner";
    for (auto _ : state) {
        state.PauseTiming();
        document.image.Assign(fresh);
        document.organisation.Adopt();
        state.ResumeTiming();
        const clsCsvImportResult result = OtherImportLines(
            plan, target, document.organisation, document.events, document.ReadOptions());
        if (result.imported != room) throw std::runtime_error("the memory was not filled");
    }
}
BENCHMARK(BM_ImportScanner1600)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

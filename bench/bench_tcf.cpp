// Opening and saving a whole-image clone data file. Budget: under 20 ms each.

#include "catalogue/cmcGTex.h"
#include "files/cmcTcfFile.h"
#include "platform/fake/cmcFakePlatform.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct Setup {
    Setup() {
        texts.Attach(EnglishTable());
        cmcGTex::SetProcess(&texts);
        image.SetSize(ImageSize);
        for (int a = 0; a < MapSize; ++a)
            image.SetByte(a, (a * 31 + 7) & 0xFF);
        std::memcpy(image.Data() + MarkerAddress, FormatMarker, FormatMarkerLength);
        path = (std::filesystem::temp_directory_path() /
                ("pelham-bench-" + std::to_string(::getpid()) + ".tcf"))
                   .string();
    }
    ~Setup() {
        std::filesystem::remove(path);
        cmcGTex::SetProcess(nullptr);
    }
    void Prepare(cmcTcfFile& file, cmcEeprom& target) {
        file.AttachImage(target);
        file.SetModelWord(0x3076);
        file.SetExtraWord(1);
    }

    cmcFakePlatform platform;
    cmcGTex texts;
    cmcEeprom image;
    std::string path;
};

void BM_SaveWholeImage(benchmark::State& state) {
    Setup setup;
    for (auto _ : state) {
        cmcTcfFile file;
        setup.Prepare(file, setup.image);
        file.SetComment("Bench comment");
        if (file.Write(setup.path, WholeImageRanges) != cmcTcfFile::Ok)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveWholeImage)->Unit(benchmark::kMillisecond);

void BM_OpenWholeImage(benchmark::State& state) {
    Setup setup;
    {
        cmcTcfFile file;
        setup.Prepare(file, setup.image);
        file.Write(setup.path, WholeImageRanges);
    }
    cmcEeprom scratch;
    scratch.SetSize(ImageSize);
    for (auto _ : state) {
        cmcTcfFile file;
        setup.Prepare(file, scratch);
        // As the document opens: no table first, then the coverage check.
        if (file.Read(setup.path) != cmcTcfFile::Ok ||
            file.CheckCoverage(WholeImageRanges) != cmcTcfFile::Ok)
            state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenWholeImage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

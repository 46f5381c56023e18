// The sheet view on the offscreen display: opening and first painting the memory-channel
// sheet of a group of 1,600 channels, repainting and scrolling one page, committing one
// cell with its repaint, the resident memory the open sheet adds; and the navigation
// tree of a full image: rebuilding its branches and the warning check.

#include "BenchProgram.h"
#include "app/view/TForm1.h"
#include "sheet/view/cuiTree.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

// Paints the grid as the screen would, into an image of its size.
void PaintGrid(cuiSheet& sheet, QImage& image) {
    sheet.Grid().viewport()->render(&image);
}

long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs first, before any other sheet of this size has grown the heap.
void BM_OpenSheetResidentMemory(benchmark::State& state) {
    Application();
    clsFullProgram program;
    QImage image(1280, 900, QImage::Format_ARGB32_Premultiplied);
    { // warm up the fonts and caches that every sheet shares, on a small sheet
        auto small =
            cuiCreateSheet("[St_ChNew]GI_Sheet_CategoryOp,CategoryOp", program.Services(), nullptr);
        small->resize(1280, 900);
        small->Open();
        PaintGrid(*small, image);
    }
    long added = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes();
        auto sheet = program.OpenSheet();
        PaintGrid(*sheet, image);
        added = ResidentKilobytes() - before;
    }
    state.counters["added_MB"] = double(added) / 1024.0;
}
BENCHMARK(BM_OpenSheetResidentMemory)->Iterations(1);

void BM_OpenAndFirstPaint(benchmark::State& state) {
    Application();
    clsFullProgram program;
    state.counters["channels"] = program.process->Main().Organisation().ChannelsOfGroup(0);
    QImage image(1280, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto sheet = program.OpenSheet();
        PaintGrid(*sheet, image);
        state.PauseTiming();
        sheet.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_RepaintPage(benchmark::State& state) {
    Application();
    clsFullProgram program;
    auto sheet = program.OpenSheet();
    QImage image(sheet->Grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        PaintGrid(*sheet, image);
}
BENCHMARK(BM_RepaintPage)->Unit(benchmark::kMillisecond);

void BM_ScrollPage(benchmark::State& state) {
    Application();
    clsFullProgram program;
    auto sheet = program.OpenSheet();
    QImage image(sheet->Grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const int page = sheet->Grid().VisibleRowCount();
    int top = sheet->Grid().FixedRows();
    for (auto _ : state) {
        top += page;
        if (top > 1500) top = sheet->Grid().FixedRows();
        sheet->Grid().SetTopLeft(sheet->Grid().LeftColumn(), top);
        PaintGrid(*sheet, image);
    }
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

void BM_CommitCellWithRepaint(benchmark::State& state) {
    Application();
    clsFullProgram program;
    auto sheet = program.OpenSheet();
    QImage image(sheet->Grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int column = -1;
    const int row = sheet->Grid().FixedRows() + 5;
    for (int c = 0; c < sheet->Layout().Columns(); ++c)
        if (sheet->CellAt(c, row).logicId == CL_Mch_Freq) column = c;
    if (!sheet->MoveTo(column, row)) return state.SkipWithError("no frequency cell");
    const std::string texts[] = {"145.050000", "118.000000"};
    int turn = 0;
    // The commit repaints the channel's row.
    const QRect line = sheet->Grid().CellRect(0, row);
    const QRegion dirty(0, line.top(), sheet->Grid().viewport()->width(), line.height());
    for (auto _ : state) {
        sheet->RunOnCurrent(0, 0, &texts[turn++ & 1]);
        sheet->Grid().viewport()->render(&image, QPoint(), dirty);
    }
    if (sheet->DisplayText(column, row) != texts[(turn - 1) & 1])
        state.SkipWithError(
            ("the commit stored nothing: " + sheet->DisplayText(column, row)).c_str());
}
BENCHMARK(BM_CommitCellWithRepaint)->Unit(benchmark::kMillisecond);

// 16 categories of 100 groups of one channel each: the most branches a tree can have.
void FillFullTree(indMain& main) {
    uint8_t* bytes = main.WorkingImage().Data();
    for (int slot = 0; slot < memmap::Channels; ++slot) {
        std::copy(bytes + memmap::ChannelAddress(0),
                  bytes + memmap::ChannelAddress(0) + memmap::ChannelSize,
                  bytes + memmap::ChannelAddress(slot));
        memmap::Put32(bytes, memmap::OrganisationWords + 4 * slot,
                      uint32_t(slot / 100) << 24 | uint32_t(slot) << 13 | uint32_t(slot) << 2);
        memmap::Put16(bytes, memmap::OrderList + 2 * slot, uint16_t(slot));
        memmap::PutBit(bytes, memmap::ChannelEmptyBits, slot, false);
    }
    main.Organisation().Adopt();
}

QIcon NoIcon(int, int) {
    return {};
}

// The tree of a full image, built.
std::unique_ptr<iuiTree> FullTree(clsFullProgram& program) {
    FillFullTree(program.process->Main());
    auto tree = std::make_unique<iuiTree>(program.process->Text(), program.process->Events(),
                                          program.process->Main().Organisation(), NoIcon, nullptr);
    tree->Build();
    return tree;
}

void BM_TreeRebuildFullImage(benchmark::State& state) {
    Application();
    clsFullProgram program;
    auto tree = FullTree(program);
    for (auto _ : state)
        program.process->Events().Send(ev::RebuildBranches);
    state.counters["groups"] = double(tree->Groups().size());
}
BENCHMARK(BM_TreeRebuildFullImage)->Unit(benchmark::kMillisecond);

void BM_WarningCheckFullImage(benchmark::State& state) {
    Application();
    clsFullProgram program;
    auto tree = FullTree(program);
    program.process->Events().Send(ev::RebuildBranches);
    int errors = 0, warnings = 0;
    for (auto _ : state)
        tree->WarningCheck(errors, warnings);
    state.counters["groups"] = double(tree->Groups().size());
}
BENCHMARK(BM_WarningCheckFullImage)->Unit(benchmark::kMillisecond);

// From the process objects to the main window on show with a full image in it: the menus,
// toolbar and tree built, the tree's branches made and the first sheet open.
void BM_StartToMainWindowFullImage(benchmark::State& state) {
    Application();
    cmcFakePlatform platform;
    for (auto _ : state) {
        auto process = std::make_unique<indProcess>();
        {
            TForm1 form(process->Main());
            FillFullTree(process->Main());
            process->Events().Send(ev::RebuildBranches);
            form.ShowWindow();
            platform.clock.advance(60); // the controller's task opens the selected sheet
            if (!form.SheetOpen()) state.SkipWithError("no sheet opened");
            state.PauseTiming();
        }
        process.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToMainWindowFullImage)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();

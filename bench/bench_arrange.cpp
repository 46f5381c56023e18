// Arranging a full group of 1,600 channels in the sheet view on the offscreen display:
// Edit > Sort... and one value typed into every row of a column, each as the grid runs it
// (the undo step recorded) and with the repaint of the page; and the duplicate check over
// the full memory with its window's list.

#include "BenchProgram.h"
#include "app/view/cuiDuplicatesWindow.h"
#include "model/cmcDuplicates.h"
#include "model/datCh.h"
#include "model/indCellLogic.h"

#include <QImage>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <optional>

namespace {

void PaintGrid(cuiSheet& sheet, QImage& image) {
    sheet.Grid().viewport()->render(&image);
}

// Every channel its own frequency, in no order: 118 MHz upwards, shuffled by a stride.
void ScatterFrequencies(cmcOrganisation& organisation) {
    datCh channel = organisation.Record();
    for (int slot = 0; slot < memmap::Channels; ++slot) {
        channel.Load(datKind::Mch, slot);
        channel.frequency = 118000000u + uint32_t((slot * 7919) % memmap::Channels) * 25000u;
        channel.StoreAndReload();
    }
}

int ColumnOf(cuiSheet& sheet, int row, int logicId) {
    for (int c = 0; c < sheet.Layout().Columns(); ++c)
        if (sheet.CellAt(c, row).logicId == logicId) return c;
    return -1;
}

// The program's cell logic, with the sort dialog answered.
struct clsAnsweredSort {
    explicit clsAnsweredSort(indMain& main) : main_(main) {
        indCellDocument parts = main.CellLogic().Document();
        parts.askSort = [this](const clsSortOffer&) { return std::optional(request); };
        logic_ = std::make_unique<indCellLogic>(parts);
        logic_->Install();
    }
    ~clsAnsweredSort() { main_.CellLogic().Install(); }
    clsSortRequest request;

  private:
    indMain& main_;
    std::unique_ptr<indCellLogic> logic_;
};

void BM_SortFullGroupWithRepaint(benchmark::State& state) {
    Application();
    clsFullProgram program;
    indMain& main = program.process->Main();
    ScatterFrequencies(main.Organisation());
    auto sheet = program.OpenSheet();
    QImage image(sheet->Grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    clsAnsweredSort answered(main);
    answered.request.column = CL_Mch_Freq;
    answered.request.withinNames = true;
    const int row = sheet->Grid().FixedRows();
    if (!sheet->MoveTo(ColumnOf(*sheet, row, CL_Mch_Freq), row))
        return state.SkipWithError("no frequency cell");
    for (auto _ : state) {
        answered.request.descending = !answered.request.descending;
        sheet->RunOnCurrent(0, CL_PMenu_Sort);
        PaintGrid(*sheet, image);
    }
    state.counters["channels"] = main.Organisation().ChannelsOfGroup(0);
    // The last sort left the frequencies in its order.
    datCh a = main.Organisation().Record(), b = main.Organisation().Record();
    for (int slot = 1; slot < main.Organisation().ChannelsOfGroup(0); ++slot) {
        a.Load(datKind::Mch, slot - 1);
        b.Load(datKind::Mch, slot);
        if (answered.request.descending ? a.frequency < b.frequency : a.frequency > b.frequency)
            return state.SkipWithError("the channels are not sorted");
    }
}
BENCHMARK(BM_SortFullGroupWithRepaint)->Unit(benchmark::kMillisecond);

void BM_SetManyFullGroupWithRepaint(benchmark::State& state) {
    Application();
    clsFullProgram program;
    indMain& main = program.process->Main();
    auto sheet = program.OpenSheet();
    QImage image(sheet->Grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const int first = sheet->Grid().FixedRows();
    const int last = first + main.Organisation().ChannelsOfGroup(0) - 1;
    const int column = ColumnOf(*sheet, first, CL_Mch_Freq);
    const std::string texts[] = {"145.050000", "118.000000"};
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sheet->MoveTo(column, last);
        sheet->MoveTo(column, first, true); // every row of the column selected
        state.ResumeTiming();
        sheet->RunOnCurrent(0, 0, &texts[turn++ & 1]);
        PaintGrid(*sheet, image);
    }
    if (sheet->DisplayText(column, last) != texts[(turn - 1) & 1])
        state.SkipWithError("the last row did not take the value");
}
BENCHMARK(BM_SetManyFullGroupWithRepaint)->Unit(benchmark::kMillisecond);

void BM_FindDuplicatesFullMemory(benchmark::State& state) {
    Application();
    clsFullProgram program;
    indMain& main = program.process->Main();
    cuiDuplicatesWindow::clsServices services;
    services.find = [&main] { return FindDuplicates(main.Organisation()); };
    services.groupLabel = [](int group) { return std::to_string(group); };
    services.show = [](const clsDuplicate&) {};
    services.remove = [](const std::vector<int>&) {};
    cuiDuplicatesWindow window(program.process->Text(), services, nullptr);
    for (auto _ : state)
        window.Refresh(); // every channel but the first repeats the first's frequency
    state.counters["listed"] = window.List()->count();
}
BENCHMARK(BM_FindDuplicatesFullMemory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Printing on the offscreen display: the memory-channel sheet of a group of 1,600 channels
// laid out and written to a PDF file, laid out for the preview alone, and one preview page
// drawn.

#include "BenchProgram.h"
#include "print/cuiPrinter.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_PrintFullGroupToPdf(benchmark::State& state) {
    Application();
    clsFullProgram program;
    cuiPrinter printer(program.Services(), cuiPrintFrame::FromCatalogue(program.process->Text()));
    size_t pages = 0, bytes = 0;
    for (auto _ : state) {
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        printer.TakePageSize(pdf);
        const std::vector<cuiPrintPage> laid = cuiLayOutSheets(printer, {GroupSheet});
        cuiPageWriter writer(printer, pdf, int(laid.size()));
        for (const cuiPrintPage& page : laid)
            writer.Write(page);
        writer.Finish();
        pages = laid.size();
        bytes = size_t(file.size());
    }
    state.counters["pages"] = double(pages);
    state.counters["pdf_kB"] = double(bytes) / 1024;
}
BENCHMARK(BM_PrintFullGroupToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LayOutFullGroupForPreview(benchmark::State& state) {
    Application();
    clsFullProgram program;
    cuiPrinter printer(program.Services(), cuiPrintFrame::FromCatalogue(program.process->Text()));
    printer.SetPageSize(QPageSize::sizePixels(QPageSize::A4, cuiPrinter::Resolution));
    size_t pages = 0;
    for (auto _ : state) {
        pages = cuiLayOutSheets(printer, {GroupSheet}).size();
        printer.Release();
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_LayOutFullGroupForPreview)->Unit(benchmark::kMillisecond)->Iterations(10);

// A page of the preview drawn on its bitmap, the sheet built afresh for it as when the user
// turns to another sheet's page.
void BM_DrawPreviewPage(benchmark::State& state) {
    Application();
    clsFullProgram program;
    cuiPrinter printer(program.Services(), cuiPrintFrame::FromCatalogue(program.process->Text()));
    printer.SetPageSize(QPageSize::sizePixels(QPageSize::A4, cuiPrinter::Resolution));
    const std::vector<cuiPrintPage> pages = cuiLayOutSheets(printer, {GroupSheet});
    QImage bitmap(printer.PageSize(), QImage::Format_RGB32);
    for (auto _ : state) {
        printer.Release();
        bitmap.fill(Qt::white);
        QPainter painter(&bitmap);
        printer.DrawPage(painter, pages[pages.size() / 2], int(pages.size() / 2) + 1,
                         int(pages.size()));
    }
}
BENCHMARK(BM_DrawPreviewPage)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();

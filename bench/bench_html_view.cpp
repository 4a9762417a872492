// What the user waits for in the report view: reading and laying out a long
// arrears report, paging it for print (every page drawn), and the print
// preview from "Impressão" to its first page on screen, then a page further
// on drawn when it is shown.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "html/view/html_viewer.h"
#include "html/view/metafile_printer.h"
#include "html/view/print_preview.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"

namespace {

void EnsureQt() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
}

// An arrears report of `months` rows written as the wizard writes it.
std::string WriteReport(int months) {
    TCellMatrix planilha(14, months + 2), Sdem(5, 2);
    const char* heads[14] = {"Data", "Valor Pago", "Índice", "Valor Devido", "Índice", "Diferença", "Correção",
                             "Corrigido", "Juros", "Juros R$", "Total", "Acumulado", "", ""};
    for (int c = 0; c < 14; ++c) planilha.SetCell(c, 0, heads[c]);
    for (int r = 1; r <= months + 1; ++r) {
        const int m = (r - 1) % 12 + 1, y = 1995 + (r - 1) / 12;
        planilha.SetCell(0, r, (m < 10 ? "0" : "") + std::to_string(m) + "/" + std::to_string(y));
        for (int c = 1; c < 12; ++c) planilha.SetCell(c, r, FormatFloat("#,##0.00", 1000.0L + r * 13.7L + c));
    }
    calc::TReportInput in;
    in.Cfont = "8";
    in.Cnomefont = "Arial";
    in.Enome = "Maria da Silva";
    in.Enumero = "123.456.789-0";
    in.Dataini = "01/01/1995";
    in.Datafim = "01/12/2026";
    in.Vinss = 1116.67L;
    in.Vautor = 1000;
    in.ComboBox1 = "INPC";
    in.Sdem = &Sdem;
    in.planilha = &planilha;
    std::string text;
    for (const std::string& line : calc::imprixLines(in)) text += line + "\r\n";
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "velorim_bench_atual.html";
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
}

struct Viewer {
    TForm* form;
    THTMLViewer* v;
    Viewer() {
        EnsureQt();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 1024, 768);
        v = new THTMLViewer(form);
        v->SetParent(form);
        v->SetBounds(0, 0, 1000, 700);
        v->SetDefBackground(clWhite);
    }
    ~Viewer() { form->Free(); }
};

void BM_LoadAndLayOutReport(benchmark::State& state) {
    const std::string file = WriteReport(static_cast<int>(state.range(0)));
    Viewer w;
    for (auto _ : state) {
        w.v->Clear();
        w.v->LoadFromFile(file);
        benchmark::DoNotOptimize(w.v->DocHeight());
    }
    state.counters["doc_height"] = w.v->DocHeight();
    state.counters["source_bytes"] = static_cast<double>(w.v->DocumentSource().size());
}
BENCHMARK(BM_LoadAndLayOutReport)->Arg(384)->Unit(benchmark::kMillisecond);

void BM_RelayoutAtNewWidth(benchmark::State& state) {
    const std::string file = WriteReport(384);
    Viewer w;
    w.v->LoadFromFile(file);
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        w.v->SetBounds(0, 0, wide ? 1000 : 800, 700);
        benchmark::DoNotOptimize(w.v->DocHeight());
    }
}
BENCHMARK(BM_RelayoutAtNewWidth)->Unit(benchmark::kMillisecond);

void BM_PageReportForPrint(benchmark::State& state) {
    const std::string file = WriteReport(384);
    Viewer w;
    w.v->LoadFromFile(file);
    int pages = 0;
    for (auto _ : state) {
        TMetaFilePrinter mf(nullptr);
        w.v->PrintPreview(&mf);
        pages = mf.LastAvailablePage();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PageReportForPrint)->Unit(benchmark::kMillisecond);

// "Impressão": the preview built (the document paged, the status dialog
// shown meanwhile), shown, and its first page painted.
void BM_PreviewFirstPage(benchmark::State& state) {
    const std::string file = WriteReport(static_cast<int>(state.range(0)));
    Viewer w;
    w.v->LoadFromFile(file);
    int pages = 0;
    for (auto _ : state) {
        bool abort = false;
        auto* preview = new TPreviewForm(nullptr, w.v, abort);
        preview->Show();
        preview->PB1->Repaint();
        QCoreApplication::processEvents();
        pages = preview->PageCount();
        state.PauseTiming();
        preview->Free();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PreviewFirstPage)->Arg(384)->Arg(597)->Unit(benchmark::kMillisecond);

// A page not drawn yet, shown: the middle page of the 597-month report.
void BM_PreviewPageOnDemand(benchmark::State& state) {
    const std::string file = WriteReport(597);
    Viewer w;
    w.v->LoadFromFile(file);
    for (auto _ : state) {
        state.PauseTiming();
        bool abort = false;
        auto* preview = new TPreviewForm(nullptr, w.v, abort);
        preview->Show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        preview->SetCurPage(preview->PageCount() / 2);
        preview->PB1->Repaint();
        state.PauseTiming();
        preview->Free();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewPageOnDemand)->Unit(benchmark::kMillisecond);

}  // namespace

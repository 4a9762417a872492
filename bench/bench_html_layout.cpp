// Laying out a long arrears report at 800 pixels: the shipped sample report
// with its monthly table grown to 600 rows (the longest case the tables
// allow), read once and laid out again per iteration, as a resize does; and
// painting its first screen.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <fstream>
#include <sstream>

#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_html_layout";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// The sample report with the rows of its second table repeated to `rows`.
std::string LongReport(int rows) {
    std::ifstream f(std::string(VELORIM_SOURCE_DIR) + "/tests/html/parser/data/atual.html", std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    const std::string doc = ss.str();
    const size_t table = doc.find("<table", doc.find("<table") + 1);
    const size_t first = doc.find("<tr>", doc.find("<tr>", table) + 4);  // after the heading row
    const size_t end = doc.find("</div></table>", first);
    const std::string body = doc.substr(first, end - first);
    std::vector<std::string> monthRows;
    for (size_t p = 0; (p = body.find("<tr>", p)) != std::string::npos;) {
        const size_t q = body.find("</tr>", p);
        monthRows.push_back(body.substr(p, q + 5 - p) + "\r\n");
        p = q;
    }
    std::string grown;
    for (int i = 0; i < rows; ++i) grown += monthRows[static_cast<size_t>(i) % monthRows.size()];
    return doc.substr(0, first) + grown + doc.substr(end);
}

struct Report {
    TViewerGlobalsUse globals;
    TStringBitmapList cache;
    std::unique_ptr<TSectionList> list;
    TCanvas canvas;
    explicit Report(int rows) {
        EnsureApplication();
        list = std::make_unique<TSectionList>(nullptr, nullptr);
        list->BitmapList = &cache;
        list->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                       clBlack, 12);
        Readhtml::HtmlParseString(LongReport(rows), list.get());
    }
    int Layout(int width) {
        int maxWidth = 0, curs = 0;
        return list->Layout(canvas, 0, width, 600, 0, maxWidth, curs);
    }
};

void BM_LayoutLongArrearsReport(benchmark::State& state) {
    Report r(static_cast<int>(state.range(0)));
    int height = 0;
    for (auto _ : state) {
        height = r.Layout(800);
        benchmark::DoNotOptimize(height);
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["height_px"] = height;
}
BENCHMARK(BM_LayoutLongArrearsReport)->Arg(600)->Unit(benchmark::kMillisecond);

void BM_ParseAndLayoutLongArrearsReport(benchmark::State& state) {
    EnsureApplication();
    const std::string doc = LongReport(600);
    TViewerGlobalsUse globals;
    TStringBitmapList cache;
    TCanvas canvas;
    for (auto _ : state) {
        TSectionList list(nullptr, nullptr);
        list.BitmapList = &cache;
        list.SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                      clBlack, 12);
        Readhtml::HtmlParseString(doc, &list);
        int maxWidth = 0, curs = 0;
        benchmark::DoNotOptimize(list.Layout(canvas, 0, 800, 600, 0, maxWidth, curs));
    }
}
BENCHMARK(BM_ParseAndLayoutLongArrearsReport)->Unit(benchmark::kMillisecond);

void BM_PaintFirstScreen(benchmark::State& state) {
    Report r(600);
    r.Layout(800);
    TBitmap bmp;
    bmp.SetSize(800, 600);
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.list->Draw(bmp.Canvas(), TRect{0, 0, 800, 600}, 6000, 0, 0, 0, 0));
    }
}
BENCHMARK(BM_PaintFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace

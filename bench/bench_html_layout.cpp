// Laying out a long arrears report at 800 pixels: the shipped sample report
// with its monthly table grown to 12, 120 and 600 rows (600 is the longest
// case the tables allow; the three show that the cost grows with the rows),
// read once and laid out again per iteration at alternating widths, as a
// resize does; reading it with the memory the document keeps; painting its
// first screen. Also pages far beyond a report: one paragraph of megabytes,
// a table of 20,000 x 50 cells and tables nested ten deep; and pages made to
// break the viewer (thousands of floats, nested tags, distinct pictures, huge
// spans), each at two sizes whose times should differ by the sizes' ratio.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <malloc.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"
#include "platform/runtime/files.h"

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

// A page read into a document of its own, with the viewer's default fonts.
std::unique_ptr<TSectionList> ReadPage(const std::string& doc, TStringBitmapList& cache) {
    auto list = std::make_unique<TSectionList>(nullptr, nullptr);
    list->BitmapList = &cache;
    list->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                   clBlack, 12);
    Readhtml::HtmlParseString(doc, list.get());
    return list;
}

struct Report {
    TViewerGlobalsUse globals;
    TStringBitmapList cache;
    std::unique_ptr<TSectionList> list;
    TCanvas canvas;
    explicit Report(int rows) {
        EnsureApplication();
        list = ReadPage(LongReport(rows), cache);
    }
    int Layout(int width) {
        int maxWidth = 0, curs = 0;
        return list->Layout(canvas, 0, width, 600, 0, maxWidth, curs);
    }
};

// Bytes of heap in use.
double HeapInUse() { return static_cast<double>(mallinfo2().uordblks); }

void BM_LayoutLongArrearsReport(benchmark::State& state) {
    Report r(static_cast<int>(state.range(0)));
    int height = 0;
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        height = r.Layout(wide ? 1000 : 800);
        benchmark::DoNotOptimize(height);
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["height_px"] = height;
}
BENCHMARK(BM_LayoutLongArrearsReport)->Arg(12)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

// Reads and lays out a page once per iteration, reporting the heap it held.
void ReadAndLayOut(benchmark::State& state, const std::string& doc, int width) {
    EnsureApplication();
    TViewerGlobalsUse globals;
    TStringBitmapList cache;
    TCanvas canvas;
    double held = 0;
    int height = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = HeapInUse();
        state.ResumeTiming();
        auto list = ReadPage(doc, cache);
        int maxWidth = 0, curs = 0;
        height = list->Layout(canvas, 0, width, 600, 0, maxWidth, curs);
        state.PauseTiming();
        held = HeapInUse() - before;
        list.reset();
        state.ResumeTiming();
    }
    state.counters["source_MB"] = static_cast<double>(doc.size()) / 1e6;
    state.counters["document_MB"] = held / 1e6;
    state.counters["height_px"] = height;
}

// Reading the report and its first layout, with the heap the document holds.
void BM_ReadAndLayOutLongArrearsReport(benchmark::State& state) {
    ReadAndLayOut(state, LongReport(static_cast<int>(state.range(0))), 800);
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ReadAndLayOutLongArrearsReport)->Arg(12)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

// One paragraph of `MB` megabytes of words.
void BM_OneLongParagraph(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0)) * 1000000;
    std::string doc = "<html><body><p>";
    static const char* const words[] = {"revis\xe3o ", "do ", "benef\xed" "cio ", "1.116,67 ", "mensal ", "<b>INSS</b> "};
    for (size_t i = 0; doc.size() < size; ++i) doc += words[i % 6];
    doc += "</p></body></html>";
    ReadAndLayOut(state, doc, 800);
}
BENCHMARK(BM_OneLongParagraph)->Arg(2)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

// A table of `rows` x 50 short cells.
void BM_WideLongTable(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    std::string doc = "<html><body><table border=1>\n";
    for (int r = 0; r < rows; ++r) {
        doc += "<tr>";
        for (int c = 0; c < 50; ++c) doc += "<td>" + std::to_string(r * 50 + c) + "</td>";
        doc += "</tr>\n";
    }
    doc += "</table></body></html>";
    ReadAndLayOut(state, doc, 1000);
}
BENCHMARK(BM_WideLongTable)->Arg(2000)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Tables nested `depth` deep, each level a row of two cells.
void BM_NestedTables(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    std::string doc = "<html><body>";
    for (int d = 0; d < depth; ++d) doc += "<table border=1><tr><td>n\xedvel " + std::to_string(d) + "</td><td>";
    doc += "fim";
    for (int d = 0; d < depth; ++d) doc += "</td></tr></table>";
    doc += "</body></html>";
    ReadAndLayOut(state, doc, 800);
}
BENCHMARK(BM_NestedTables)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);

// Freeing a read page of `links` paragraphs, each holding a link: the time
// should grow with the links, not with their square.
void BM_FreePageOfLinks(benchmark::State& state) {
    EnsureApplication();
    TViewerGlobalsUse globals;
    TStringBitmapList cache;
    const int links = static_cast<int>(state.range(0));
    std::string doc = "<html><body>";
    for (int i = 0; i < links; ++i) doc += "<p><a href=\"#p" + std::to_string(i) + "\">item " + std::to_string(i) + "</a></p>";
    doc += "</body></html>";
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ReadPage(doc, cache);
        state.ResumeTiming();
        list.reset();
    }
}
BENCHMARK(BM_FreePageOfLinks)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

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

// `n` floats side by side: they fill a row, then wrap below it.
void BM_SiblingFloats(benchmark::State& state) {
    std::string doc = "<html><body>";
    for (int i = 0; i < state.range(0); ++i) doc += "<div style=\"float:left;width:10px\">f</div>";
    ReadAndLayOut(state, doc + "</body></html>", 800);
}
BENCHMARK(BM_SiblingFloats)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Bold tags nested `n` deep around one word.
void BM_NestedInlineTags(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string doc = "<html><body>";
    for (int i = 0; i < n; ++i) doc += "<b>";
    doc += "x";
    for (int i = 0; i < n; ++i) doc += "</b>";
    ReadAndLayOut(state, doc + "after</body></html>", 800);
}
BENCHMARK(BM_NestedInlineTags)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// `n` distinct pictures, one per paragraph, each from a file of its own, read
// into an empty picture cache.
void BM_DistinctPictures(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string dir = GetTempDir() + "/velorim-bench-pictures";
    ::mkdir(dir.c_str(), 0700);
    // A picture of one pixel.
    static const unsigned char gif[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
        0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x01, 0x00,
        0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x00, 0x02, 0x01, 0x44, 0x00, 0x3b};
    std::string doc = "<html><body>";
    for (int i = 0; i < n; ++i) {
        const std::string file = dir + "/p" + std::to_string(i) + ".gif";
        if (!FileExists(file))
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(gif), sizeof gif);
        doc += "<p><img src=\"" + file + "\">";
    }
    ReadAndLayOut(state, doc + "</body></html>", 800);
}
BENCHMARK(BM_DistinctPictures)->Arg(5000)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One cell spanning 1000 columns and all `n` rows of its table.
void BM_HugeSpans(benchmark::State& state) {
    std::string doc = "<html><body><table><tr><td colspan=1000 rowspan=10000>x</td></tr>";
    for (int i = 0; i < state.range(0); ++i) doc += "<tr><td>y</td></tr>";
    ReadAndLayOut(state, doc + "</table></body></html>", 800);
}
BENCHMARK(BM_HugeSpans)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace

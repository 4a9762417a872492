// A long arrears report read into a document and laid out: the element
// handlers building blocks, tables and paragraphs, and the table layout with
// its column widths and row heights.
#include <benchmark/benchmark.h>

#include <string>

#include "offscreen_qt.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"

namespace {

// Shaped like "atual.html": a heading table, then a 14-column spreadsheet of
// `rows` months, with the report writer's "</div></table>".
std::string Report(int rows) {
    std::string s = "<html>\r\n<head>\r\n<title>Atualiza\xe7\xe3o</title>\r\n"
                    "<tr><td><p></p></td></tr>\r\n<span style=\"font-size:10.0pt;font-family:Arial\">\r\n"
                    "<tr><td><p><b>Nome:</b> Fulano <b>N\xfamero do Benef\xed" "cio:</b> 123</p></td></tr>\r\n"
                    "<div align=left>\r\n<div align=center><table border =1 >\r\n";
    for (int r = 0; r < rows; ++r) {
        s += "<tr>\r\n";
        for (int c = 0; c < 14; ++c)
            s += "<td> <p class=MsoNormal align=right style=\"text-align:right\">" +
                 std::to_string(1000 + r * 7 + c) + ",67</td>";
        s += "</tr>\r\n";
    }
    return s + "</div></table>\r\n<tr><td><p><b>DIFEREN\xc7" "A DEVIDA = R$ 4.498,27</b></p></td></tr>\r\n</html>\r\n";
}

std::unique_ptr<TSectionList> NewList() {
    auto list = std::make_unique<TSectionList>(nullptr, nullptr);
    list->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                   clBlack, 12);
    return list;
}

void BM_ParseReport(benchmark::State& state) {
    StartQt();
    const std::string doc = Report(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto list = NewList();
        Readhtml::HtmlParseString(doc, list.get());
        benchmark::DoNotOptimize(list->Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_ParseReport)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

// The first layout after reading, and a relayout at another width (a resize).
void BM_LayoutReport(benchmark::State& state) {
    StartQt();
    const std::string doc = Report(static_cast<int>(state.range(0)));
    TCanvas canvas;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = NewList();
        Readhtml::HtmlParseString(doc, list.get());
        state.ResumeTiming();
        int maxWidth = 0, curs = 0;
        benchmark::DoNotOptimize(list->Layout(canvas, 0, 900, 600, 0, maxWidth, curs));
        curs = 0;
        benchmark::DoNotOptimize(list->Layout(canvas, 0, 700, 600, 0, maxWidth, curs));
    }
}
BENCHMARK(BM_LayoutReport)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace

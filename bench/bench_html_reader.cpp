// Reading a long arrears report: the tokenizer alone, and the tokenizer with
// the cascade of every element, as the element handlers drive it.
#include <benchmark/benchmark.h>

#include <string>

#include "html/reader/html_tokenizer.h"
#include "html/reader/style_props.h"

namespace {

// A report shaped like "atual.html": a 14-column spreadsheet of `rows` months.
std::string Report(int rows) {
    std::string s = "<html>\r\n<head>\r\n<title>Atualiza\xe7\xe3o</title>\r\n"
                    "<span style=\"font-size:10.0pt;font-family:Arial\">\r\n<div align=left>\r\n"
                    "<div align=center><table border =1 >\r\n";
    for (int r = 0; r < rows; ++r) {
        s += "<tr>\r\n";
        for (int c = 0; c < 14; ++c)
            s += "<td> <p class=MsoNormal align=right style=\"text-align:right\">" +
                 std::to_string(1000 + r * 7 + c) + ",67</td>";
        s += "</tr>\r\n";
    }
    return s + "</div></table>\r\n</html>\r\n";
}

struct Setup {
    TStyleList styles;
    Setup() { styles.Initialize("Times New Roman", "Courier New", 10, 5, 0, true, 0xFF, 0x800080, 0xFF0000, 0, 12); }
    void Reset() {
        ParserPropStack.Clear();
        auto bottom = std::make_unique<TProperties>();
        bottom->CopyDefaultFont(*styles.DefProp);
        ParserPropStack.Add(std::move(bottom));
    }
};

void BM_TokenizeReport(benchmark::State& state) {
    Setup setup;
    std::string doc = Report(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        setup.Reset();
        Readhtml::InitTokenizer(doc);
        Readhtml::GetCh();
        int symbols = 0;
        do {
            Readhtml::Next();
            ++symbols;
        } while (Readhtml::Sy != EofSy);
        benchmark::DoNotOptimize(symbols);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_TokenizeReport)->Arg(600)->Unit(benchmark::kMillisecond);

void BM_TokenizeAndCascadeReport(benchmark::State& state) {
    Setup setup;
    std::string doc = Report(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        setup.Reset();
        Readhtml::InitTokenizer(doc);
        Readhtml::GetCh();
        do {
            Readhtml::Next();
            std::string tag = TagNameOfSymbol(Readhtml::Sy);
            if (!tag.empty()) {
                const TProperties* style = Readhtml::Attributes->GetStyle();
                auto p = std::make_unique<TProperties>();
                TProperties* raw = p.get();
                raw->Inherit(tag, *ParserPropStack.Top());
                ParserPropStack.Add(std::move(p));
                raw->Combine(&setup.styles, tag, Readhtml::Attributes->GetClass(), Readhtml::Attributes->GetID(),
                             "", Readhtml::Attributes->GetTitle(), style);
                // Cells and paragraphs close at once, as their end tags would.
                if (tag == "p" || tag == "td" || tag == "tr") ParserPropStack.Delete(ParserPropStack.Count() - 1);
            }
        } while (Readhtml::Sy != EofSy);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_TokenizeAndCascadeReport)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace

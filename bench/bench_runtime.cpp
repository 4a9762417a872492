#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/string_list.h"

namespace {

// Amounts as the spreadsheet produces them: cents of every size.
std::vector<long double> Amounts() {
    std::vector<long double> v;
    long double x = 0.01L;
    for (int i = 0; i < 4096; ++i) {
        v.push_back(x);
        x = x * 1.0173L + 0.37L;
        if (x > 1e9L) x = 0.07L;
    }
    return v;
}

void BM_FormatFloatAmount(benchmark::State& state) {
    auto values = Amounts();
    size_t i = 0;
    for (auto _ : state) {
        std::string s = FormatFloat("#,##0.00", values[i++ & 4095]);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFloatAmount);

void BM_FormatFloatFactor(benchmark::State& state) {
    auto values = Amounts();
    size_t i = 0;
    for (auto _ : state) {
        std::string s = FormatFloat("0.0000000", values[i++ & 4095] / 1000);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFloatFactor);

void BM_StrToFloat(benchmark::State& state) {
    std::vector<std::string> texts;
    for (long double v : Amounts()) texts.push_back(FormatFloat("0.00", v));
    size_t i = 0;
    for (auto _ : state) {
        long double v = StrToFloat(texts[i++ & 4095]);
        benchmark::DoNotOptimize(v);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrToFloat);

void BM_StrToDate(benchmark::State& state) {
    for (auto _ : state) {
        TDateTime d = StrToDate("15/03/1990");
        benchmark::DoNotOptimize(d);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrToDate);

void BM_FormatMonth(benchmark::State& state) {
    TDateTime d = EncodeDate(1990, 3, 15);
    for (auto _ : state) {
        std::string s = FormatDateTime("mm/yyyy", d);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatMonth);

// A spreadsheet pass: read a cell, write the next one.
void BM_CellMatrixReadWrite(benchmark::State& state) {
    TCellMatrix m(14, 600);
    for (int r = 0; r < 600; ++r)
        for (int c = 0; c < 14; ++c) m.SetCell(c, r, "1.234,56");
    int r = 0;
    for (auto _ : state) {
        const std::string& s = m.Cell(2, r);
        m.SetCell(5, r, s);
        if (++r == 600) r = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CellMatrixReadWrite);

void BM_CommaTextRow(benchmark::State& state) {
    TStringList row{"03/1990", "1,0000", "1.234,56", "", "1,0000", "1.116,67", "SM",
                    "117,89", "1,2345", "145,55", "0,50", "146,28", "", "Cruzeiro"};
    for (auto _ : state) {
        TStringList back;
        back.SetCommaText(row.CommaText());
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommaTextRow);

} // namespace

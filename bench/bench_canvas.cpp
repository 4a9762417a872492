// Text measuring on the canvas: the viewer's layout measures every run it fits.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "platform/gui/canvas.h"

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_canvas";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

const std::u16string kText = u"Revisão da renda mensal inicial do INSS.";  // 40 characters

void TimesNewRoman12(TCanvas& c) {
    c.Font().SetName("Times New Roman");
    c.Font().SetSize(12);
}

void BM_TextWidth40(benchmark::State& state) {
    EnsureApplication();
    TCanvas c;
    TimesNewRoman12(c);
    c.TextWidth(kText);  // the face and its advances are cached from here on
    for (auto _ : state) benchmark::DoNotOptimize(c.TextWidth(kText));
}
BENCHMARK(BM_TextWidth40);

void BM_FitText40(benchmark::State& state) {
    EnsureApplication();
    TCanvas c;
    TimesNewRoman12(c);
    int dx[40];
    TSize size;
    int fit = 0;
    for (auto _ : state) {
        c.GetTextExtentExPointW(kText.data(), 40, 150, &fit, dx, size);
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(BM_FitText40);

// A run's font assigned and then measured, as the layout does per font run.
void BM_FontChangeAndMeasure(benchmark::State& state) {
    EnsureApplication();
    TCanvas c;
    TFont regular, bold;
    regular.SetName("Times New Roman");
    regular.SetSize(12);
    bold.Assign(regular);
    bold.SetStyle(fsBold);
    bool flip = false;
    for (auto _ : state) {
        c.SetFont(flip ? bold : regular);
        flip = !flip;
        benchmark::DoNotOptimize(c.TextWidth(kText));
    }
}
BENCHMARK(BM_FontChangeAndMeasure);

}  // namespace

// What the input controls cost the user: the program's 15 date edits each
// build a drop-down calendar when their form is created, and a month change
// rebuilds the calendar's grid (one step on and one back per iteration).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "controls/control_bitmaps.h"
#include "controls/date_edit.h"
#include "controls/pick_date.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

namespace {

void EnsureQt() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
}

void CreateDateEdits(benchmark::State& state, bool withCalendar) {
    EnsureQt();
    auto saved = DateEditHooks::CreatePopupCalendar;
    if (!withCalendar) DateEditHooks::CreatePopupCalendar = nullptr;
    for (auto _ : state) {
        auto* form = new TForm(nullptr);
        for (int i = 0; i < 15; ++i) {
            auto* edit = new TDateEdit(form);
            edit->SetParent(form);
        }
        form->Free();
    }
    DateEditHooks::CreatePopupCalendar = saved;
}

void BM_FifteenDateEdits(benchmark::State& state) { CreateDateEdits(state, true); }
void BM_FifteenDateEditsWithoutCalendar(benchmark::State& state) { CreateDateEdits(state, false); }
BENCHMARK(BM_FifteenDateEdits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FifteenDateEditsWithoutCalendar)->Unit(benchmark::kMillisecond);

void BM_CalendarMonthSteps(benchmark::State& state) {
    EnsureQt();
    auto* form = new TForm(nullptr);
    auto* cal = new TRxCalendar(form);
    cal->SetParent(form);
    for (auto _ : state) {
        cal->NextMonth();
        cal->PrevMonth();
        benchmark::DoNotOptimize(cal->CalendarDate());
    }
    form->Free();
}
BENCHMARK(BM_CalendarMonthSteps)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The greyed picture of a disabled tool-bar button, made when the button is
// first painted disabled (the main window's first paint makes five).
void BM_DisabledToolbarGlyph(benchmark::State& state) {
    EnsureQt();
    TBitmap glyph(24, 24, TPixelFormat::pf24bit);
    glyph.Canvas().FillRect(TRect{0, 0, 24, 24}, clFuchsia);
    glyph.Canvas().Brush().SetColor(clWhite);
    glyph.Canvas().Pen().SetColor(clBlack);
    glyph.Canvas().Polygon({{4, 2}, {14, 2}, {19, 7}, {19, 21}, {4, 21}});
    for (auto _ : state) benchmark::DoNotOptimize(ControlUtils::CreateDisabledBitmap(glyph, clFuchsia));
}
BENCHMARK(BM_DisabledToolbarGlyph)->Unit(benchmark::kMicrosecond);

}  // namespace

// What the input controls cost the user: the program's 15 date edits each
// build a drop-down calendar when their form is created, and a month change
// rebuilds the calendar's grid (one step on and one back per iteration).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "controls/date_edit.h"
#include "controls/pick_date.h"
#include "platform/gui/application.h"
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

// A full calculation as the user waits for it, on the shipped tables: "Já
// possuo" from 01/05/1977 to 31/12/2026 (the longest case the tables allow),
// prescription from the first month, thirteenth salary and 1 % interest from
// 01/2021 on (art. 58 off for the author: the shipped tables start in 1993).
// Measured from the spreadsheet page's Próximo to the end of Finalizar (state
// file and report written, report shown in the main window); Finalizar alone
// with the heap the shown report adds; Finalizar to the report's first paint
// in the shown main window; and that report read and laid out by a
// viewer 800 pixels wide, then laid out again at another width. Forms are
// created offscreen (only the first-paint measure shows the main window); the
// program starts in a copy of data/.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <malloc.h>

#include <chrono>
#include <filesystem>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/forms.h"
#include "platform/runtime/files.h"
#include "revision/arrears_wizard.h"

namespace {

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        Application->Initialize();
        SetDialogService(&dialogs);
        dir = std::filesystem::temp_directory_path() / "velorim_bench_calculation";
        std::filesystem::remove_all(dir);
        std::filesystem::copy(std::string(VELORIM_SOURCE_DIR) + "/data", dir, std::filesystem::copy_options::recursive);
        SetCurrentDir(dir.string());
        CreateProgramForms();
        Form1->FormShow(nullptr);  // settings and tables, as the program starts
        Form1->BtnRevisaoNovoClick(nullptr);
        TForm12& w = *Form12;
        w.cpossuo->SetChecked(true);
        // The shipped tables start in 1993: without the minimum wage of 05/1977
        // the author's art. 58 option stops the calculation.
        w.Cadct1->SetChecked(false);
        w.Button20Click(nullptr);
        w.Enome->SetText("Segurado de Teste");
        w.Dataini->SetText("01/05/1977");
        w.Datafim->SetText("31/12/2026");
        w.DatePrescricao->SetText("01/05/1977");
        w.Vinss->SetText("3.000,00");
        w.Vautor->SetText("2.500,00");
        w.Check13->SetChecked(true);
        w.Cjuros->SetChecked(true);
        w.Ejuros->SetText("1");
        w.Dateinicialjuros->SetText("01/01/2021");
        w.Datefinaljuros->SetText("31/12/2026");
    }
    TDialogRecorder dialogs;
    std::filesystem::path dir;
};

Program& TheProgram() {
    static Program program;
    return program;
}

void BM_FullCalculationToFinalizar(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    for (auto _ : state) {
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        w.Button3Click(nullptr);
    }
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_FullCalculationToFinalizar)->Unit(benchmark::kMillisecond);

// Finalizar alone (Button3Click): state file, report file, the report read
// and laid out in the main window. "report_MB" is the heap the shown report
// holds, measured from an empty viewer.
void BM_Finalizar(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        Form1->HTMLViewer1->Clear();
        const double before = static_cast<double>(mallinfo2().uordblks);
        state.ResumeTiming();
        w.Button3Click(nullptr);
        state.PauseTiming();
        held = static_cast<double>(mallinfo2().uordblks) - before;
        state.ResumeTiming();
    }
    state.counters["report_MB"] = held / 1e6;
    state.counters["rows"] = w.planilha->RowCount();
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_Finalizar)->Unit(benchmark::kMillisecond);

// Finalizar as the user sees it: from the click to the end of the report's
// first paint in the main window (shown, offscreen). "handler_ms" is the
// whole handler, which writes the files after that paint.
class FirstPaintClock : public QObject {
public:
    explicit FirstPaintClock(QWidget* w) : widget(w) { w->installEventFilter(this); }
    ~FirstPaintClock() override { widget->removeEventFilter(this); }
    QWidget* widget;
    std::chrono::steady_clock::time_point painted{};
    bool seen = false, inside = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint || inside || seen) return false;
        // The paint runs here, so that its end can be timed.
        inside = true;
        QCoreApplication::sendEvent(o, e);
        inside = false;
        painted = std::chrono::steady_clock::now();
        seen = true;
        return true;
    }
};

void BM_FinalizarToFirstPaint(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    Form1->Show();
    for (int i = 0; i < 200 && !Form1->Widget()->isVisible(); ++i) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    FirstPaintClock clock(Form1->HTMLViewer1->PaintPanel()->Widget());
    double handler = 0;
    int missed = 0;
    for (auto _ : state) {
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        Form1->HTMLViewer1->Clear();
        QCoreApplication::processEvents();
        clock.seen = false;
        const auto start = std::chrono::steady_clock::now();
        w.Button3Click(nullptr);
        const auto end = std::chrono::steady_clock::now();
        // A paint that did not come inside the handler comes with the events.
        if (!clock.seen) {
            ++missed;
            QCoreApplication::processEvents();
        }
        const auto painted = clock.seen ? clock.painted : std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
        handler += std::chrono::duration<double, std::milli>(end - start).count();
    }
    state.counters["handler_ms"] = handler / static_cast<double>(state.iterations());
    state.counters["painted_after_handler"] = missed;
    Form1->Hide();
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_FinalizarToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

// Finalizar again while the report before is still shown: the viewer frees it
// first, as when the user corrects a value and finishes once more.
void BM_FinalizarOverShownReport(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    w.Button3Click(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        state.ResumeTiming();
        w.Button3Click(nullptr);
    }
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_FinalizarOverShownReport)->Unit(benchmark::kMillisecond);

// The report Finalizar writes, in a viewer of its own 800 pixels wide.
struct ReportViewer {
    TForm* form;
    THTMLViewer* viewer;
    std::string file;
    ReportViewer() {
        TheProgram();
        TForm12& w = *Form12;
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        w.Button3Click(nullptr);
        file = (std::filesystem::current_path() / "atual.html").string();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 1024, 768);
        viewer = new THTMLViewer(form);
        viewer->SetParent(form);
        viewer->SetBounds(0, 0, 800, 700);
    }
    ~ReportViewer() { form->Free(); }
};

void BM_ReportLoadAndLayOutAt800(benchmark::State& state) {
    ReportViewer r;
    for (auto _ : state) {
        state.PauseTiming();
        r.viewer->Clear();  // the report before goes untimed, as in Finalizar
        state.ResumeTiming();
        r.viewer->LoadFromFile(r.file);
        benchmark::DoNotOptimize(r.viewer->DocHeight());
    }
    state.counters["doc_height"] = r.viewer->DocHeight();
}
BENCHMARK(BM_ReportLoadAndLayOutAt800)->Unit(benchmark::kMillisecond);

void BM_ReportRelayoutAtNewWidth(benchmark::State& state) {
    ReportViewer r;
    r.viewer->LoadFromFile(r.file);
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        r.viewer->SetBounds(0, 0, wide ? 1000 : 800, 700);
        benchmark::DoNotOptimize(r.viewer->DocHeight());
    }
}
BENCHMARK(BM_ReportRelayoutAtNewWidth)->Unit(benchmark::kMillisecond);

// The same without the viewer's reading of the report: the wizard's own share
// (spreadsheet, state file, report file).
void BM_CalculationStateFileAndReport(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    for (auto _ : state) {
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        w.gravax();
        w.imprix();
    }
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_CalculationStateFileAndReport)->Unit(benchmark::kMillisecond);

} // namespace

// A full calculation as the user waits for it, on the shipped tables made
// whole month by month (CompleteTables): "Já possuo" from 01/05/1977 to
// 31/12/2026, prescription from the first month, thirteenth salary and 1 %
// interest from 01/2021 on, art. 58 off for the author. Measured from the
// spreadsheet page's Próximo to the end of Finalizar (state file and report
// written, report shown in the main window); Próximo alone (the calculation
// pass), the first of the process and repeated; Finalizar alone with the heap
// the shown report adds; Finalizar in the shown main window until the screen
// is usable again, in wall and CPU time; and the reports of 12, 120, 240 and
// 597 months read and laid out by a viewer 800 pixels wide (with the heap they
// hold), freed, laid out again at other widths, and one screen of each
// painted. Forms are created offscreen (only the Finalizar-to-usable measure
// shows the main window); the program starts in a copy of data/.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/forms.h"
#include "platform/gui/bitmap.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/text_file.h"
#include "revision/arrears_wizard.h"

namespace {

// Makes the monthly tables that run to the present whole from 05/1977 to
// 12/2026: a month a table lacks takes the row of the nearest month before it
// (the first row before the table starts). The calculation refuses a month a
// table lacks, and the case keeps the length it is measured at whatever the
// shipped tables hold; only the amounts differ from a real case.
void CompleteTables(const std::filesystem::path& dir) {
    const TDateTime first = EncodeDate(1977, 5, 1), last = EncodeDate(2026, 12, 1);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".tab") continue;
        TTextFileReader file(entry.path().string());
        std::vector<std::string> lines;
        while (!file.Eof()) lines.push_back(file.Readln());
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        if (lines.size() < 2) continue;
        std::map<double, std::string> rows;  // month -> the cells after the key
        bool withDay = false, monthly = true;
        for (size_t i = 1; i < lines.size() && monthly; ++i) {
            const size_t tab = lines[i].find('\t');
            const std::string key = lines[i].substr(0, tab);
            withDay = key.size() == 10;
            TDateTime month = 0;
            monthly = tab != std::string::npos && TryStrToDate(withDay ? key : "01/" + key, month) &&
                      (rows.empty() || month > rows.rbegin()->first);
            if (monthly) rows[month] = lines[i].substr(tab);
        }
        if (!monthly || rows.rbegin()->first < EncodeDate(2025, 1, 1)) continue;
        for (TDateTime month = std::min<TDateTime>(first, rows.begin()->first); month <= last;
             month = IncMonth(month, 1)) {
            if (rows.count(month)) continue;
            auto before = rows.lower_bound(month);
            rows[month] = before == rows.begin() ? before->second : std::prev(before)->second;
        }
        std::string out = lines[0] + "\r\n";
        for (const auto& [month, cells] : rows)
            out += FormatDateTime(withDay ? "dd/mm/yyyy" : "mm/yyyy", month) + cells + "\r\n";
        WriteFileAtomic(entry.path().string(), out);
    }
}

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        Application->Initialize();
        SetDialogService(&dialogs);
        // A folder of each process's own: runs side by side do not meet.
        dir = std::filesystem::temp_directory_path() / ("velorim_bench_calculation_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::copy(std::string(VELORIM_SOURCE_DIR) + "/data", dir, std::filesystem::copy_options::recursive);
        CompleteTables(dir);
        SetCurrentDir(dir.string());
        CreateProgramForms();
        Form1->FormShow(nullptr);  // settings and tables, as the program starts
        Form1->BtnRevisaoNovoClick(nullptr);
        TForm12& w = *Form12;
        w.cpossuo->SetChecked(true);
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
    ~Program() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    TDialogRecorder dialogs;
    std::filesystem::path dir;
};

Program& TheProgram() {
    static Program program;
    return program;
}

// The spreadsheet page's Próximo, once an iteration, on the case as it stands.
void Passes(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    for (auto _ : state) {
        state.PauseTiming();
        w.PageControl1->SetPageIndex(5);
        state.ResumeTiming();
        w.BTNcorrigirClick(nullptr);
    }
    state.counters["rows"] = w.planilha->RowCount();
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}

// The first Próximo of a case after start-up, what the clerk waits for: the
// tables as start-up left them, nothing derived or checked for a calculation
// yet, the pages of memory the pass needs not yet touched. Registered first,
// so that it runs before any other pass of the process; one pass per process
// (a second run is refused), so its figures come from many fresh processes
// (bench/compare.sh).
void BM_FirstCalculationPass(benchmark::State& state) {
    static bool measured = false;
    if (measured) {
        state.SkipWithError("the first pass is measured once per process");
        for (auto _ : state) {
        }
        return;
    }
    measured = true;
    Passes(state);
}
BENCHMARK(BM_FirstCalculationPass)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

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

// The spreadsheet page's Próximo alone (BTNcorrigirClick), again and again
// on one case: the tables it reads made ready, the months laid out, both
// benefits carried, the differences, interest and totals. From the second
// pass on the tables and series are found as the pass before left them.
void BM_CalculationPass(benchmark::State& state) {
    Passes(state);
}
BENCHMARK(BM_CalculationPass)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

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

// Finalizar as the user waits for it, in the shown main window (offscreen):
// from the click until the screen is usable again, that is the handler's end
// (it shows the report, then writes and syncs the state file and the report
// file and closes the wizard) and the events it left, a paint among them.
// Real time is the wall clock, mostly the two syncs and the machine's load;
// CPU time, beside it, is the whole process's. "first_paint_ms" is the
// report's first paint in the main window, which comes before the files.
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

void BM_FinalizarToScreenUsable(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    Form1->Show();
    for (int i = 0; i < 200 && !Form1->Widget()->isVisible(); ++i) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    FirstPaintClock clock(Form1->HTMLViewer1->PaintPanel()->Widget());
    double firstPaint = 0;
    int unpainted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        Form1->HTMLViewer1->Clear();
        QCoreApplication::processEvents();
        clock.seen = false;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        w.Button3Click(nullptr);
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (clock.seen)
            firstPaint += std::chrono::duration<double, std::milli>(clock.painted - start).count();
        else
            ++unpainted;
        state.ResumeTiming();
    }
    state.counters["first_paint_ms"] = firstPaint / std::max<double>(1, static_cast<double>(state.iterations()) - unpainted);
    state.counters["unpainted"] = unpainted;
    Form1->Hide();
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
    else if (unpainted)
        state.SkipWithError("the report was not painted");
}
BENCHMARK(BM_FinalizarToScreenUsable)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

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

// The report Finalizar writes for `months` months ending 31/12/2026 (12,
// 120, 240, or 597 from 01/05/1977), kept in a file of its own: the four
// show how the viewer's costs grow with the report.
std::string ReportOf(int months) {
    static std::map<int, std::string> files;
    auto& file = files[months];
    if (!file.empty()) return file;
    Program& program = TheProgram();
    TForm12& w = *Form12;
    const std::string first = months >= 597 ? "01/05/1977" : FormatDateTime("dd/mm/yyyy", IncMonth(EncodeDate(2027, 1, 1), -months));
    w.Dataini->SetText(first);
    w.DatePrescricao->SetText(first);
    w.PageControl1->SetPageIndex(5);
    w.BTNcorrigirClick(nullptr);
    w.Button3Click(nullptr);
    file = (program.dir / ("atual-" + std::to_string(months) + ".html")).string();
    std::filesystem::copy_file(program.dir / "atual.html", file, std::filesystem::copy_options::overwrite_existing);
    w.Dataini->SetText("01/05/1977");
    w.DatePrescricao->SetText("01/05/1977");
    return file;
}

// A viewer of its own 800 pixels wide, empty.
struct ReportViewer {
    TForm* form;
    THTMLViewer* viewer;
    ReportViewer() {
        TheProgram();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 1024, 768);
        viewer = new THTMLViewer(form);
        viewer->SetParent(form);
        viewer->SetBounds(0, 0, 800, 700);
    }
    ~ReportViewer() { form->Free(); }
};

void MonthsCounters(benchmark::State& state, const ReportViewer& r) {
    state.counters["months"] = static_cast<double>(state.range(0));
    state.counters["doc_height"] = r.viewer->DocHeight();
}

// Loading and laying out the report; "report_MB" is the heap the shown
// report holds, measured from the empty viewer.
void BM_ReportLoadAndLayOutAt800(benchmark::State& state) {
    const std::string file = ReportOf(static_cast<int>(state.range(0)));
    ReportViewer r;
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.viewer->Clear();  // the report before goes untimed, as in Finalizar
        const double before = static_cast<double>(mallinfo2().uordblks);
        state.ResumeTiming();
        r.viewer->LoadFromFile(file);
        benchmark::DoNotOptimize(r.viewer->DocHeight());
        state.PauseTiming();
        held = static_cast<double>(mallinfo2().uordblks) - before;
        state.ResumeTiming();
    }
    state.counters["report_MB"] = held / 1e6;
    MonthsCounters(state, r);
}
BENCHMARK(BM_ReportLoadAndLayOutAt800)->Arg(12)->Arg(120)->Arg(240)->Arg(597)->Unit(benchmark::kMillisecond);

// Freeing the shown report, as Finalizar does before it shows the next one.
void BM_ReportFree(benchmark::State& state) {
    const std::string file = ReportOf(static_cast<int>(state.range(0)));
    ReportViewer r;
    for (auto _ : state) {
        state.PauseTiming();
        r.viewer->LoadFromFile(file);
        state.ResumeTiming();
        r.viewer->Clear();
    }
    state.counters["months"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ReportFree)->Arg(120)->Arg(597)->Unit(benchmark::kMillisecond);

// The report laid out again and again, at one width and then the other.
void RelayoutBetween(benchmark::State& state, int narrow, int wide) {
    const std::string file = ReportOf(static_cast<int>(state.range(0)));
    ReportViewer r;
    r.viewer->LoadFromFile(file);
    bool wider = false;
    for (auto _ : state) {
        wider = !wider;
        r.viewer->SetBounds(0, 0, wider ? wide : narrow, 700);
        benchmark::DoNotOptimize(r.viewer->DocHeight());
    }
    MonthsCounters(state, r);
}

void BM_ReportRelayoutAtNewWidth(benchmark::State& state) { RelayoutBetween(state, 800, 1000); }
BENCHMARK(BM_ReportRelayoutAtNewWidth)->Arg(12)->Arg(120)->Arg(240)->Arg(597)->Unit(benchmark::kMillisecond);

// The same at two widths just above the narrowest the report can take (how
// wide it is laid out in 200 pixels), where the monthly table gets neither its widest
// columns nor its narrowest: each layout gives the columns other widths, and
// every cell is laid out again. Fixed widths would not do: how wide the
// report can be depends on its amounts.
void BM_ReportRelayoutNarrower(benchmark::State& state) {
    int narrowest = 0;
    {
        ReportViewer r;
        r.viewer->LoadFromFile(ReportOf(static_cast<int>(state.range(0))));
        r.viewer->SetBounds(0, 0, 200, 700);
        narrowest = r.viewer->MaxHScroll();
    }
    state.counters["narrow_px"] = narrowest + 10;
    RelayoutBetween(state, narrowest + 10, narrowest + 60);
}
BENCHMARK(BM_ReportRelayoutNarrower)->Arg(12)->Arg(120)->Arg(240)->Arg(597)->Unit(benchmark::kMillisecond);

// Painting one screen of the report scrolled to its middle: the time should
// not grow with the report.
void BM_ReportPaintOneScreen(benchmark::State& state) {
    const std::string file = ReportOf(static_cast<int>(state.range(0)));
    ReportViewer r;
    r.viewer->LoadFromFile(file);
    r.viewer->ScrollTo(r.viewer->DocHeight() / 2 - 350);
    TBitmap screen;
    screen.SetSize(800, 700);
    for (auto _ : state) r.viewer->PaintDocument(screen.Canvas(), TRect{0, 0, 800, 700});
    MonthsCounters(state, r);
}
BENCHMARK(BM_ReportPaintOneScreen)->Arg(12)->Arg(120)->Arg(240)->Arg(597)->Unit(benchmark::kMillisecond);

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

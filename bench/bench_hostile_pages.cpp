// Pages written to make the viewer slow or hungry: a column of cells each
// spanning a thousand columns and every row below it, a text area holding one
// long line, thousands of nested forms and of lists. Each run happens in a
// child process of its own, so that its memory is its own: "peak_MB" is how
// far the child's resident memory rose above what it held at its start.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/canvas.h"
#include "platform/gui/forms.h"

namespace {

void StartQt() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct TChildRun {
    double Seconds = -1;
    long StartKb = 0;
};

// Runs `work` in a child; its time and peak memory become the iteration's.
void RunInChild(benchmark::State& state, const std::function<void()>& work) {
    double peakMb = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            TChildRun r;
            r.StartKb = ResidentKb();
            const auto t0 = std::chrono::steady_clock::now();
            work();
            r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (write(fds[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) _exit(2);
            _exit(0);
        }
        close(fds[1]);
        TChildRun r;
        const bool got = read(fds[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        close(fds[0]);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!got || r.Seconds < 0) {
            state.SkipWithError("the child did not finish");
            return;
        }
        state.SetIterationTime(r.Seconds);
        peakMb = std::max(peakMb, static_cast<double>(usage.ru_maxrss - r.StartKb) / 1024.0);
    }
    state.counters["peak_MB"] = peakMb;
}

// A document read and laid out without a window, then freed.
void ReadAndLayOut(const std::string& html) {
    TSectionList list(nullptr, nullptr);
    list.SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue, clBlack,
                  12);
    Readhtml::HtmlParseString(html, &list);
    TCanvas canvas;
    int maxWidth = 0, curs = 0;
    list.Layout(canvas, 0, 800, 600, 0, maxWidth, curs);
}

// A page shown in a viewer on a form, as the program shows a page that a
// link opens (its controls are windows on the viewer), then the next page
// that frees them.
void ShowInViewer(const std::string& html) {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 1200, 1000);
    auto* v = new THTMLViewer(form);
    v->SetParent(form);
    v->SetBounds(0, 0, 1200, 1000);
    v->SetDefBackground(clWhite);
    form->Show();
    Application->ProcessMessages();
    Application->Dispatch(form, [&] { v->LoadFromString(html, "pagina.htm"); });
    Application->ProcessMessages();
    Application->Dispatch(form, [&] { v->LoadFromString("<p>fim</p>", "fim.htm"); });
    Application->ProcessMessages();
    form->Free();
    Application->ProcessMessages();
}

void BM_RowSpansOverColumnSpans(benchmark::State& state) {
    StartQt();
    std::string html = "<table border=1>";
    for (int i = 0; i < state.range(0); ++i) html += "<tr><td colspan=1000 rowspan=65534>x</td></tr>";
    html += "</table>";
    RunInChild(state, [&] { ReadAndLayOut(html); });
}
BENCHMARK(BM_RowSpansOverColumnSpans)->Arg(100)->Arg(200)->Arg(400)->Arg(3200)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_TextAreaOfOneLongLine(benchmark::State& state) {
    StartQt();
    const std::string html = "<p>Texto:<textarea rows=10 cols=60>" + std::string(static_cast<size_t>(state.range(0)), 'x') +
                             "</textarea></p>";
    RunInChild(state, [&] { ShowInViewer(html); });
}
BENCHMARK(BM_TextAreaOfOneLongLine)->Arg(100 << 10)->Arg(200 << 10)->Arg(400 << 10)->Arg(1 << 20)->UseManualTime()
    ->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_NestedForms(benchmark::State& state) {
    StartQt();
    std::string html;
    for (int i = 0; i < state.range(0); ++i) html += "<form action=x" + std::to_string(i) + "><input name=a>";
    RunInChild(state, [&] { ShowInViewer(html); });
}
BENCHMARK(BM_NestedForms)->Arg(2500)->Arg(5000)->Arg(10000)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_FlatSelects(benchmark::State& state) {
    StartQt();
    std::string html;
    for (int i = 0; i < state.range(0); ++i) html += "<select name=s><option>um<option>dois</select>";
    RunInChild(state, [&] { ShowInViewer(html); });
}
BENCHMARK(BM_FlatSelects)->Arg(2500)->Arg(5000)->Arg(10000)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

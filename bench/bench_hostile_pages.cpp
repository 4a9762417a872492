// Pages written to make the viewer slow or hungry: a column of cells each
// spanning a thousand columns and every row below it, a text area holding one
// long line, thousands of nested forms and of lists, pages of megabytes of table
// rows, list items, paragraphs or text fields. Each run happens in a
// child process of its own, so that its memory is its own: "peak_MB" is how
// far the child's resident memory rose above what it held at its start.
// Last, the paint of a view over a small background picture: the page's own
// of one pixel, a tall block's and a tall cell's, of one pixel or of 4 x 4
// (animated); the print preview of such a block; the print preview of long
// pages of paragraphs and of table rows, and the paint of a view over one.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "../tests/html/images/picture_builders.h"
#include "offscreen_qt.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "html/view/html_viewer.h"
#include "html/view/metafile_printer.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/forms.h"

namespace {

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

// One paint of a 1200 x 1000 view over a background picture of one pixel
// (a PNG written here), the document laid out once beforehand.
void BM_PaintOnePixelBackground(benchmark::State& state) {
    StartQt();
    // A 1 x 1 PNG of one grey pixel.
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00,
        0x0C, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x68, 0x68, 0x68, 0x00, 0x00, 0x03, 0x04, 0x01, 0x81, 0x4B,
        0xD3, 0xD2, 0x10, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    const std::string dir = "/tmp/bench_hostile_pages_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    if (FILE* f = std::fopen((dir + "/fundo.png").c_str(), "wb")) {
        std::fwrite(png, 1, sizeof png, f);
        std::fclose(f);
    }
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 1220, 1020);
    auto* v = new THTMLViewer(form);
    v->SetParent(form);
    v->SetBounds(0, 0, 1220, 1020);
    v->LoadFromString("<body background=\"fundo.png\"><p>texto</p></body>", dir + "/pagina.htm");
    const TRect r{0, 0, 1200, 1000};
    TBitmap bmp(r.Width(), r.Height(), TPixelFormat::pf24bit);
    for (auto _ : state) v->PaintDocument(bmp.Canvas(), r);
    form->Free();
    unlink((dir + "/fundo.png").c_str());
    rmdir(dir.c_str());
}
BENCHMARK(BM_PaintOnePixelBackground)->Unit(benchmark::kMillisecond);

// Pages of a given size made of one construct repeated: the rows of a
// report's table of two columns, the shortest rows of two cells, empty list
// items (the most memory a byte), paragraphs and text fields.
const char* const kShapes[] = {"<tr><td>%d</td><td>R$ 1.234,56</td></tr>\n", "<tr><td>%d<td>2\n", "<li>",
                               "<p>%d", "<input value=%d>"};

std::string ShapedPage(int shape, size_t bytes) {
    std::string html = shape < 2 ? "<table border=1>\n" : "";
    char item[64];
    for (int i = 0;; ++i) {
        const int n = shape == 2 ? std::snprintf(item, sizeof item, "%s", kShapes[shape])
                                 : std::snprintf(item, sizeof item, kShapes[shape], i % 10);
        if (html.size() + static_cast<size_t>(n) + 16 > bytes) break;
        html.append(item, static_cast<size_t>(n));
    }
    return html;
}

// A page of range(1) MB (less a few bytes) of shape range(0), opened from its
// file in a viewer on a form, as a link opens it. A page over the viewer's
// limit is refused: the figure is then that of the refusal.
void BM_PageOfOneShape(benchmark::State& state) {
    StartQt();
    const std::string dir = "/tmp/bench_hostile_pages_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
    const std::string file = dir + "/pagina.htm";
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        const std::string html = ShapedPage(static_cast<int>(state.range(0)), static_cast<size_t>(state.range(1)) << 20);
        std::fwrite(html.data(), 1, html.size(), f);
        std::fclose(f);
    }
    RunInChild(state, [&] {
        auto* form = new TForm(nullptr);
        form->SetBounds(0, 0, 1200, 1000);
        auto* v = new THTMLViewer(form);
        v->SetParent(form);
        v->SetBounds(0, 0, 1200, 1000);
        form->Show();
        Application->ProcessMessages();
        try {
            v->LoadFromFile(file);
        } catch (...) {
        }
        Application->ProcessMessages();
    });
    unlink(file.c_str());
    rmdir(dir.c_str());
}
BENCHMARK(BM_PageOfOneShape)->ArgsProduct({{0}, {2, 16, 64}})->ArgsProduct({{1, 2, 3, 4}, {2}})->UseManualTime()
    ->Iterations(1)->Unit(benchmark::kMillisecond);

// A folder with a picture of one pixel (a PNG) and a 4 x 4 GIF of two frames.
struct TPictureFolder {
    std::string Dir = "/tmp/bench_hostile_pages_" + std::to_string(getpid());
    TPictureFolder() {
        mkdir(Dir.c_str(), 0700);
        const std::string raw("\0\x80\x80\x80", 4);
        Write("one.png", pics::Png(pics::Ihdr(1, 1, 8, 2), raw));
        const pics::GifFrame red{0, 0, 4, 4, std::vector<uint8_t>(16, 1), 10};
        const pics::GifFrame green{0, 0, 4, 4, std::vector<uint8_t>(16, 2), 10};
        Write("anim.gif", pics::Gif(4, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {red, green}, 0));
    }
    ~TPictureFolder() {
        for (const char* n : {"one.png", "anim.gif"}) unlink((Dir + "/" + n).c_str());
        rmdir(Dir.c_str());
    }
    void Write(const std::string& name, const std::string& bytes) const {
        if (FILE* f = std::fopen((Dir + "/" + name).c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
};

// The boxes with a small background picture, 3000 px high.
const char* const kBoxPages[] = {
    "<div style=\"background:url(one.png);height:3000px\">x</div>",
    "<table><tr><td background=one.png height=3000>x</td></tr></table>",
    "<div style=\"background:url(anim.gif);height:3000px\">x</div>",
};

// One paint of a 600 x 400 view over a box of kBoxPages.
void BM_PaintSmallBoxBackground(benchmark::State& state) {
    StartQt();
    const TPictureFolder pictures;
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 640, 440);
    auto* v = new THTMLViewer(form);
    v->SetParent(form);
    v->SetBounds(0, 0, 620, 420);
    v->LoadFromString(kBoxPages[state.range(0)], pictures.Dir + "/pagina.htm");
    const TRect r{0, 0, 600, 400};
    TBitmap bmp(r.Width(), r.Height(), TPixelFormat::pf24bit);
    for (auto _ : state) v->PaintDocument(bmp.Canvas(), r);
    form->Free();
}
BENCHMARK(BM_PaintSmallBoxBackground)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The print preview of the first two pages of the block of one pixel's picture.
void BM_PreviewSmallBoxBackground(benchmark::State& state) {
    StartQt();
    const TPictureFolder pictures;
    RunInChild(state, [&] {
        auto* form = new TForm(nullptr);
        auto* v = new THTMLViewer(form);
        v->SetParent(form);
        v->SetBounds(0, 0, 620, 420);
        v->LoadFromString(kBoxPages[0], pictures.Dir + "/pagina.htm");
        TMetaFilePrinter mf(nullptr);
        mf.SetRecordedPages(0, 1);
        v->PrintPreview(&mf);
        form->Free();
    });
}
BENCHMARK(BM_PreviewSmallBoxBackground)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The print preview of a page of range(1) KB of paragraphs (shape 3) or
// table rows (shape 0): every page is laid out and recorded.
void BM_PreviewPageOfOneShape(benchmark::State& state) {
    StartQt();
    const std::string html =
        ShapedPage(static_cast<int>(state.range(0)), static_cast<size_t>(state.range(1)) << 10);
    RunInChild(state, [&] {
        auto* form = new TForm(nullptr);
        auto* v = new THTMLViewer(form);
        v->SetParent(form);
        v->SetBounds(0, 0, 620, 420);
        v->LoadFromString(html, "/tmp/pagina.htm");
        TMetaFilePrinter mf(nullptr);
        mf.SetRecordedPages(0, 1);
        v->PrintPreview(&mf);
        form->Free();
    });
}
BENCHMARK(BM_PreviewPageOfOneShape)->ArgsProduct({{3, 0}, {64, 128, 256}})->Args({3, 1024})->Args({3, 2048})
    ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// One paint of a 1200 x 1000 view scrolled half way down a page of range(0)
// KB of paragraphs, laid out once beforehand.
void BM_PaintPageOfParagraphs(benchmark::State& state) {
    StartQt();
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 1220, 1020);
    auto* v = new THTMLViewer(form);
    v->SetParent(form);
    v->SetBounds(0, 0, 1220, 1020);
    v->LoadFromString(ShapedPage(3, static_cast<size_t>(state.range(0)) << 10), "/tmp/pagina.htm");
    v->ScrollTo(v->DocHeight() / 2);
    const TRect r{0, 0, 1200, 1000};
    TBitmap bmp(r.Width(), r.Height(), TPixelFormat::pf24bit);
    for (auto _ : state) v->PaintDocument(bmp.Canvas(), r);
    form->Free();
}
BENCHMARK(BM_PaintPageOfParagraphs)->Arg(64)->Arg(2048)->Unit(benchmark::kMillisecond);

}  // namespace

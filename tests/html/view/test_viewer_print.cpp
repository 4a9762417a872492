// Printing: pages cut at the printable height of the paper in the print
// margins and scale, the same pages in the preview and on paper (a PDF file
// here), page ranges, and the preview's print button.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "html/images/gif_image.h"
#include "html/images/picture_builders.h"
#include "html/layout/document.h"
#include "html/view/go_page_form.h"
#include "html/view/metafile_printer.h"
#include "html/view/print_preview.h"
#include "html/view/print_status_form.h"
#include "html/view/vw_print.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/printer.h"
#include "platform/gui/metafile.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"
#include "support/golden.h"
#include "view_env.h"

namespace {

std::string Paragraphs(int n) {
    std::string s = "<html><head><title>Relatório</title></head><body>";
    for (int i = 1; i <= n; ++i) s += "<p>Parágrafo " + std::to_string(i) + " do relatório de diferenças</p>\r\n";
    return s + "</body></html>";
}

// Pages of a PDF file as its page objects count them.
int PdfPages(const std::string& file) {
    if (!FileExists(file)) return -1;
    const std::string pdf = ReadFileBytes(file);
    static const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class PrintTest : public velorim_test::ViewerTest {
protected:
    std::string pdf;
    void SetUp() override {
        ViewerTest::SetUp();
        pdf = (dir / "relatorio.pdf").string();
    }
    void TearDown() override {
        Printer().SetOutputFileName("");
        ViewerTest::TearDown();
    }
    int PreviewPages() {
        TMetaFilePrinter mf(nullptr);
        v->PrintPreview(&mf);
        return mf.LastAvailablePage();
    }
};

TEST_F(PrintTest, PagesFollowTheLengthAndThePrintScale) {
    v->LoadFromFile(Write("curto.htm", Paragraphs(3)));
    EXPECT_EQ(PreviewPages(), 1);
    EXPECT_EQ(v->NumPrinterPages(), 1);

    v->LoadFromFile(Write("longo.htm", Paragraphs(60)));
    const int pages = PreviewPages();
    EXPECT_EQ(pages, 2);
    v->SetPrintScale(2);
    const int doubled = PreviewPages();
    EXPECT_GE(doubled, 2 * pages - 1);
    EXPECT_LE(doubled, 2 * pages + 1);
    v->SetPrintScale(1);

    // Narrower margins hold more on a page.
    v->LoadFromFile(Write("mais.htm", Paragraphs(120)));
    const int wide = PreviewPages();
    v->PrintMarginTop = v->PrintMarginBottom = 4;
    EXPECT_GT(PreviewPages(), wide);
}

TEST_F(PrintTest, ALongReportPrintsToAPdfOfAsManyPagesAsThePreviewShows) {
    v->LoadFromFile(Write("longo.htm", Paragraphs(60)));
    ASSERT_EQ(PreviewPages(), 2);
    Printer().SetOutputFileName(pdf);
    std::vector<int> events;
    v->OnPageEvent = [&](TObject*, int page, bool&) { events.push_back(page); };
    v->Print(1, 9999);
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_EQ(events, (std::vector<int>{0, 1, 1, 2}));

    // A range: only its pages reach the paper.
    std::filesystem::remove(pdf);
    v->Print(2, 2);
    EXPECT_EQ(PdfPages(pdf), 1);

    // From the page after the last one the job ends with a blank page; from
    // further on nothing is printed at all.
    std::filesystem::remove(pdf);
    v->Print(3, 9999);
    EXPECT_EQ(PdfPages(pdf), 1);
    std::filesystem::remove(pdf);
    v->Print(4, 9999);
    EXPECT_FALSE(FileExists(pdf));
}

// The print object's context and settings follow its job; its canvas takes
// no drawing tool outside one.
TEST_F(PrintTest, ThePrintObjectKeepsItsStateAndTheJobsSettings) {
    Printer().SetOutputFileName(pdf);
    TvwPrinter p;
    EXPECT_EQ(p.State(), 0);
    EXPECT_GT(p.PageWidth(), 0);
    EXPECT_EQ(p.State(), 1);
    EXPECT_EQ(p.DeviceMode(), nullptr);
    TPrinterCanvas& canvas = p.Canvas();
    EXPECT_EQ(canvas.Owner(), &Printer());
    EXPECT_THROW(canvas.Pen().SetColor(clRed), EPrinter);
    p.BeginDoc();
    EXPECT_EQ(p.State(), 2);
    ASSERT_NE(p.DeviceMode(), nullptr);
    EXPECT_EQ(p.DeviceMode()->Device, pdf);
    EXPECT_EQ(p.DeviceMode()->PaperWidthMm, 210);
    canvas.Pen().SetColor(clBlue);
    canvas.Rectangle(10, 10, 100, 100);
    p.EndDoc();
    EXPECT_EQ(p.DeviceMode(), nullptr);
    EXPECT_EQ(p.State(), 2);
    EXPECT_EQ(PdfPages(pdf), 1);
}

// Drawing calls as the golden file keeps them: their count and a hash.
std::string Summary(const std::vector<std::string>& log) {
    uint64_t h = 14695981039346656037ull;
    for (const std::string& l : log)
        for (const char c : l + "\n") h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char b[48];
    std::snprintf(b, sizeof b, "%zu calls, %016llx", log.size(), static_cast<unsigned long long>(h));
    return b;
}

// What may draw away from its own place or decide where a page ends:
// paragraphs crossing page ends, floats far taller than their blocks, boxes
// placed relatively and absolutely from late in the page, z-indexes, a
// negative margin, page breaks, lists, rules, a clipped box, preformatted
// text and a table whose head repeats.
std::string Constructs() {
    std::string words, lines, rows;
    for (int i = 0; i < 90; ++i) words += "palavra" + std::to_string(i) + " ";
    for (int i = 0; i < 30; ++i) lines += "linha " + std::to_string(i) + "<br>";
    for (int i = 0; i < 80; ++i) rows += "<tr><td>" + std::to_string(i) + "/1998</td><td>1.116,67</td></tr>";
    std::string s = "<html><body>";
    for (int i = 0; i < 8; ++i) s += "<p>" + words + "</p>";
    s += "<div>curto<div style=\"float:right;width:90px;height:1500px;background:#C000C0\">flutuante</div></div>";
    s += "<p>alta<img src=\"cinza.png\" align=left width=40 height=1500></p>";
    s += "<div style=\"float:left;width:60px;height:900px;background:#00C0C0\">ao lado</div>";
    s += "<div style=\"position:relative;z-index:-1;background:#C0C0C0\">abaixo</div>";
    for (int i = 0; i < 40; ++i) s += "<p title=\"dica\">" + std::to_string(i) + " " + words.substr(0, 60) + "</p>";
    s += "<div>depois<div style=\"position:absolute;top:40px;left:200px;background:#0000C0\">absoluta</div></div>";
    s += "<div style=\"margin-top:-300px;background:#C0C000\">margem negativa</div>";
    s += "<div style=\"page-break-inside:avoid;border:2px solid red\">" + lines + "</div>";
    s += "<ul>";
    for (int i = 0; i < 20; ++i) s += "<li>" + words.substr(0, 40 * i);
    s += "</ul><ol>";
    for (int i = 0; i < 40; ++i) s += "<li>item " + std::to_string(i);
    s += "</ol><hr><div style=\"overflow:hidden;width:300px;height:60px\">" + words + "</div>";
    s += "<pre>" + words.substr(0, 60) + "\n" + words.substr(60, 60) + "</pre>";
    s += "<table border=1><thead><tr><th>Mês</th><th>Valor</th></tr></thead>" + rows + "</table>";
    s += "<div style=\"position:relative;top:-3000px;padding-top:2000px;background:#00C000\">relativa</div>";
    for (int i = 0; i < 30; ++i) s += "<p>" + words + "</p><hr>";
    s += "<p style=\"page-break-before:always\">nova página</p><p style=\"page-break-after:always\">fim</p>";
    return s + "</body></html>";
}

// Every page of the preview, and the view scrolled down long documents,
// draws what it drew when every item was drawn for every page: the golden
// file, made then, keeps each one's drawing calls.
TEST_F(PrintTest, PagesAndViewsDrawOnlyWhatTheyDrewBefore) {
    v->SethtOptions(v->htOptions() | htPrintBackground);
    Write("cinza.png", pics::Png(pics::Ihdr(1, 1, 8, 2), std::string("\0\x80\x80\x80", 4)));
    const std::string data = std::string(VELORIM_TEST_DATA) + "/html/";
    const std::vector<std::pair<std::string, std::string>> docs = {
        {"construcoes", Write("construcoes.htm", Constructs())},
        {"atual", data + "view/data/atual_378_meses.html"},
        {"time", data + "pages/time/time.html"},
        {"libxslt", data + "pages/libxslt/index.html"},
        {"xtrans", data + "pages/xtrans/xtrans.html"},
        {"valgrind", data + "pages/valgrind/quick-start.html"},
        {"zlib", data + "pages/zlib/zlib_how.html"},
    };
    std::string golden;
    for (const auto& [name, file] : docs) {
        v->LoadFromFile(file);
        std::vector<std::unique_ptr<std::vector<std::string>>> pages;
        TMetaFilePrinter mf(nullptr);
        mf.OnPageEvent = [&](TObject*, int page, bool&) {
            if (page == 0) return;
            pages.push_back(std::make_unique<std::vector<std::string>>());
            mf.GetCanvas().SetRecorder(pages.back().get());
        };
        v->PrintPreview(&mf);
        EXPECT_EQ(static_cast<int>(pages.size()), mf.LastAvailablePage()) << name;
        for (size_t i = 0; i < pages.size(); ++i)
            golden += name + " page " + std::to_string(i + 1) + ": " + Summary(*pages[i]) + "\n";
        // The view scrolled down the document a few pixels at a time.
        std::vector<std::string> views;
        for (int y = 0; y < v->DocHeight(); y += 37) {
            v->ScrollTo(y);
            TCanvas canvas;
            canvas.SetRecorder(&views);
            v->PaintDocument(canvas, v->PaintPanel()->ClientRect());
        }
        golden += name + " views every 37 pixels: " + Summary(views) + "\n";
    }
    velorim_test::ExpectGolden("preview_pages.txt", golden);
}

TEST_F(PrintTest, AnEmptyFileHasNoPageToPreviewOrPrint) {
    v->LoadFromFile(Write("vazio.htm", ""));
    EXPECT_EQ(PreviewPages(), 0);
    bool abort = true;
    auto* p = new TPreviewForm(nullptr, v, abort);
    p->Show();
    EXPECT_EQ(p->CurPageLabel->Caption(), "Page 1 of 0");
    p->Free();
    Printer().SetOutputFileName(pdf);
    v->Print(1, 9999);
    EXPECT_FALSE(FileExists(pdf));
    // A page with only a rule on it is no empty page.
    v->LoadFromFile(Write("regua.htm", "<hr>"));
    EXPECT_EQ(PreviewPages(), 1);
}

TEST_F(PrintTest, CancelInTheStatusDialogStopsAfterThePage) {
    v->LoadFromFile(Write("longo.htm", Paragraphs(200)));
    TMetaFilePrinter mf(nullptr);
    TPrnStatusForm status(nullptr);
    // The user presses Cancel while page 2 is being made.
    mf.OnPageEvent = [&](TObject*, int page, bool&) {
        if (page == 2) status.CancelButton->Click();
    };
    bool abort = false;
    status.DoPreview(v, &mf, abort);
    EXPECT_TRUE(abort);
    EXPECT_EQ(mf.LastAvailablePage(), 2);
    EXPECT_FALSE(static_cast<bool>(v->OnPageEvent));
}

TEST_F(PrintTest, ThePreviewShowsThePagesAndItsPrintButtonPrintsThemAgain) {
    v->LoadFromFile(Write("longo.htm", Paragraphs(60)));
    bool abort = true;
    auto* p = new TPreviewForm(nullptr, v, abort);
    ASSERT_FALSE(abort);
    p->SetBounds(0, 0, 1000, 760);
    p->Show();
    EXPECT_EQ(p->PageCount(), 2);
    EXPECT_EQ(p->CurPageLabel->Caption(), "Page 1 of 2");
    EXPECT_TRUE(p->NextPageBut->Enabled());
    EXPECT_TRUE(p->PageNumSpeed->Enabled());
    p->NextPageBut->UserClick();
    EXPECT_EQ(p->CurPageLabel->Caption(), "Page 2 of 2");
    EXPECT_FALSE(p->NextPageSpeed->Enabled());
    EXPECT_TRUE(p->FirstPageSpeed->Enabled());
    p->FirstPageSpeed->UserClick();
    EXPECT_EQ(p->CurPage(), 0);

    // The go-to-page dialog takes the page typed.
    velorim_test::Dialogs().OnModalForm = [](TForm& f) {
        auto& go = dynamic_cast<TGoPageForm&>(f);
        EXPECT_EQ(go.MaxValue(), 2);
        go.SetValue(2);
        go.OKBtn->Click();
    };
    p->PageNumSpeed->UserClick();
    velorim_test::Dialogs().OnModalForm = nullptr;
    EXPECT_EQ(p->CurPage(), 1);

    // The page is drawn from its metafile (the recording shows it played).
    std::vector<std::string> log;
    p->PB1->Canvas().SetRecorder(&log);
    p->PBPaint(p->PB1);
    p->PB1->Canvas().SetRecorder(nullptr);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].rfind("picture", 0), 0u);

    // Print: the dialog's file receives both pages.
    velorim_test::Dialogs().Answer(pdf);
    p->PrintBut->UserClick();
    EXPECT_EQ(PdfPages(pdf), 2);
    // Cancelled, nothing is printed.
    std::filesystem::remove(pdf);
    velorim_test::Dialogs().Answer("Cancel");
    p->PrintBut->UserClick();
    EXPECT_FALSE(FileExists(pdf));
    p->Free();
}

// A real report (378 months) printed to PDF in margins of 4 cm at the top
// and bottom, on nine pages, holds each month's row once: what lies past a
// page's end is left off that page (it used to be drawn and painted over in
// white, so the PDF's text held it twice).
TEST_F(PrintTest, EveryMonthOfANinePageReportIsInThePdfOnce) {
    const std::string html = ReadFileBytes(std::string(VELORIM_TEST_DATA) + "/html/view/data/atual_378_meses.html");
    v->LoadFromFile(Write("atual.html", html));
    v->PrintMarginTop = v->PrintMarginBottom = 4;
    Printer().SetOutputFileName(pdf);
    v->Print(1, 9999);
    ASSERT_EQ(PdfPages(pdf), 9);
    const std::string txt = (dir / "atual.txt").string();
    ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + txt + "'").c_str()), 0) << "pdftotext (poppler-utils) is needed";
    const std::string text = FileExists(txt) ? ReadFileBytes(txt) : "";
    std::map<std::string, int> rows, printed;
    static const std::regex cell(R"(>(\d\d/\d{4})<)"), month(R"(\d\d/\d{4})");
    for (std::sregex_iterator i(html.begin(), html.end(), cell), end; i != end; ++i) ++rows[(*i)[1]];
    ASSERT_EQ(rows.size(), 378u);
    std::istringstream words(text);
    for (std::string w; words >> w;)
        if (std::regex_match(w, month)) ++printed[w];
    EXPECT_EQ(printed, rows);
}

// The arrears report in its largest fonts is wider than the paper: it is
// printed and previewed smaller, every column inside the margins.
class WideReportTest : public PrintTest {
protected:
    static constexpr const char* kHeadings[] = {"Data", "Calculado", "Pago", "Diferença", "Correção",
                                                "Corrigido", "Juros", "Total", "Moeda"};
    void LoadReport(int points) {
        std::string html = ReadFileBytes(std::string(VELORIM_TEST_DATA) + "/html/parser/data/atual.html");
        const std::string size = "font-size:" + std::to_string(points) + ".0pt";
        for (size_t at = 0; (at = html.find("font-size:8.0pt", at)) != std::string::npos; at += size.size())
            html.replace(at, 15, size);
        v->LoadFromFile(Write("atual.html", html));
    }
    // Right edges (PDF points) of the words on page 1, from pdftotext's boxes.
    std::map<std::string, double> WordRights() {
        const std::string boxes = (dir / "boxes.html").string();
        const std::string command = "pdftotext -f 1 -l 1 -bbox '" + pdf + "' '" + boxes + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << "pdftotext (poppler-utils) is needed";
        std::map<std::string, double> rights;
        static const std::regex word(R"re(<word xMin="[^"]*" yMin="[^"]*" xMax="([^"]*)" yMax="[^"]*">([^<]*)</word>)re");
        const std::string text = FileExists(boxes) ? ReadFileBytes(boxes) : "";
        for (std::sregex_iterator i(text.begin(), text.end(), word), end; i != end; ++i)
            rights.emplace((*i)[2], std::stod((*i)[1]));
        return rights;
    }
    int printableRightPx = 0;
    // The right edge (printer pixels) of the last text on preview page 1 that
    // ends with `tail`, and the page's logical units an inch.
    int PreviewRightOf(const std::string& tail, int& extent) {
        TMetaFilePrinter mf(nullptr);
        std::vector<std::string> log;
        TCanvas* first = nullptr;
        mf.OnPageEvent = [&](TObject*, int page, bool&) {
            if (page == 1) (first = &mf.GetCanvas())->SetRecorder(&log);
        };
        int right = 0, ones = 0;
        // Page 1 is announced once laid out and again once drawn.
        v->OnPageEvent = [&](TObject*, int page, bool&) {
            if (page != 1 || ++ones < 2 || !first) return;
            first->SetRecorder(nullptr);
            extent = first->GetWindowExt().cx;
            for (const std::string& l : log) {
                int x = 0, y = 0, w = 0;
                if (l.size() > tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0 &&
                    std::sscanf(l.c_str(), "text %d %d %d", &x, &y, &w) == 3) {
                    TPoint p{x + w, y};
                    first->LPtoDP(&p, 1);
                    right = p.X;
                }
            }
        };
        v->PrintPreview(&mf);
        v->OnPageEvent = nullptr;
        printableRightPx = mf.PageWidth - static_cast<int>(2 / 2.54 * mf.PixelsPerInchX);
        return right;
    }
};

TEST_F(WideReportTest, EveryColumnIsPrintedInsideTheMarginsAtTheLargestFont) {
    LoadReport(12);
    Printer().SetOutputFileName(pdf);
    v->Print(1, 9999);
    const auto rights = WordRights();
    const double printable = 595.28 - 2 / 2.54 * 72;  // A4 less the right margin, in points
    for (const char* heading : kHeadings) {
        const std::string w = Cp1252ToUtf8(heading);  // literals are Windows-1252
        ASSERT_TRUE(rights.count(w)) << w << " missing from the PDF";
        EXPECT_LE(rights.at(w), printable) << w;
    }

    // The preview draws the last column left of the right margin too.
    int extent = 0;
    const int right = PreviewRightOf(" Moeda", extent);
    ASSERT_GT(right, 0) << "no Moeda heading in the preview";
    EXPECT_LE(right, printableRightPx);
    EXPECT_GT(extent, 96);  // drawn smaller than on the screen

    // A report that fits is drawn exactly as before, at the screen's scale.
    LoadReport(8);
    EXPECT_GT(PreviewRightOf(" Moeda", extent), 0);
    EXPECT_EQ(extent, 96);
}

// Pages of the preview as pictures: cells painted in colours of their own
// are read down a column of pixels, each colour telling which row it is.
class PagedTableTest : public PrintTest {
protected:
    static std::string Hex(int rgb) {
        char b[8];
        std::snprintf(b, sizeof b, "#%06X", rgb);
        return b;
    }
    // Body row i (from 1) has the colour 0x00GGBB with GG:BB = 0x4000 + i.
    static int BodyColour(int i) { return 0x004000 + i; }
    static constexpr int kHead = 0xFF0000, kFoot = 0x0000FF;

    // A table with a head, `rows` body rows and a foot; rows `tall` (from 1)
    // get a taller height.
    static std::string Table(int rows, const std::string& border, int tall = 0, int tallHeight = 0) {
        std::string s = "<html><body><p>Planilha</p><table " + border + " cellspacing=0 width=\"100%\">";
        s += "<thead><tr bgcolor=\"" + Hex(kHead) + "\"><th>Mês</th><th>Valor</th></tr></thead><tbody>";
        for (int i = 1; i <= rows; ++i) {
            s += "<tr bgcolor=\"" + Hex(BodyColour(i)) + "\"";
            if (i == tall) s += " height=" + std::to_string(tallHeight);
            s += "><td>" + std::to_string(i) + "/1998</td><td>1.116,67</td></tr>";
        }
        s += "</tbody><tfoot><tr bgcolor=\"" + Hex(kFoot) + "\"><td>Total</td><td>99.999,99</td></tr></tfoot>";
        return s + "</table><p>Fim</p></body></html>";
    }

    // The same table without THEAD, TBODY and TFOOT: all its rows are body.
    static std::string Plain(std::string html) {
        for (const char* part : {"<thead>", "</thead>", "<tbody>", "</tbody>", "<tfoot>", "</tfoot>"})
            html.replace(html.find(part), std::string(part).size(), "");
        return html;
    }
    // The preview's pages as pictures, 1/scale of the paper's size.
    std::vector<std::unique_ptr<TBitmap>> Pictures(int scale) {
        TMetaFilePrinter mf(nullptr);
        v->PrintPreview(&mf);
        std::vector<std::unique_ptr<TBitmap>> pictures;
        for (int i = 0; i < mf.LastAvailablePage(); ++i) {
            const int w = mf.PaperWidth / scale, h = mf.PaperHeight / scale;
            auto bmp = std::make_unique<TBitmap>(w, h, TPixelFormat::pf24bit);
            bmp->Canvas().Brush().SetColor(clWhite);
            bmp->Canvas().FillRect(TRect{0, 0, w, h});
            mf.GetMetaFile(i)->Draw(bmp->Canvas(), TRect{0, 0, w, h});
            pictures.push_back(std::move(bmp));
        }
        return pictures;
    }
    // A pixel as 0xRRGGBB.
    static int Rgb(const TBitmap& b, int x, int y) {
        const TColor c = b.GetPixel(x, y);
        return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }
    static std::string RowName(int rgb) {
        if (rgb == kHead) return "H";
        if (rgb == kFoot) return "F";
        if ((rgb & 0xFFFE00) == 0x004000) return std::to_string(rgb - 0x004000);
        return "";
    }

    // Each page read down a column at 3/4 of the paper's width: the runs of
    // cell colours from the top, as "H" (head), "F" (foot) and body rows.
    std::vector<std::vector<std::string>> ReadPages() {
        std::vector<std::vector<std::string>> pages;
        for (const auto& bmp : Pictures(8)) {
            std::vector<std::string> runs;
            for (int y = 0; y < bmp->Height(); ++y) {
                const std::string name = RowName(Rgb(*bmp, bmp->Width() * 3 / 4, y));
                if (!name.empty() && (runs.empty() || runs.back() != name)) runs.push_back(name);
            }
            pages.push_back(runs);
        }
        return pages;
    }
};

TEST_F(PagedTableTest, HeadAndFootRepeatOnEveryPageAndNoRowIsLostOrRepeated) {
    v->LoadFromFile(Write("planilha.htm", Table(100, "border=1")));
    const auto pages = ReadPages();
    ASSERT_EQ(pages.size(), 3u);
    std::vector<std::string> body;
    for (const auto& page : pages) {
        ASSERT_GE(page.size(), 3u);
        EXPECT_EQ(page.front(), "H");
        EXPECT_EQ(page.back(), "F");
        EXPECT_EQ(std::count(page.begin(), page.end(), "H"), 1);
        EXPECT_EQ(std::count(page.begin(), page.end(), "F"), 1);
        body.insert(body.end(), page.begin() + 1, page.end() - 1);
    }
    std::vector<std::string> expected;
    for (int i = 1; i <= 100; ++i) expected.push_back(std::to_string(i));
    EXPECT_EQ(body, expected);

    // Printed, the same three pages.
    Printer().SetOutputFileName(pdf);
    v->Print(1, 9999);
    EXPECT_EQ(PdfPages(pdf), 3);
}

// With backgrounds printed, the page below the content and the HTML header's
// band show their documents' colours instead of the paper's white.
TEST_F(PagedTableTest, PrintedBackgroundsFillThePageAndTheHeaderBand) {
    v->LoadFromFile(Write("verde.htm", "<body bgcolor=\"#00FF00\"><p>Curto</p>"
                                       "<p style=\"page-break-before: always\">Segunda</p></body>"));
    const std::string head = Write("cabeca.htm", "<body bgcolor=\"#0000FF\"><p>Cabeçalho</p></body>");
    v->SethtOptions(v->htOptions() | htPrintBackground);
    v->OnPrintHTMLHeader = [&](TObject*, THTMLViewer* hf, int, bool, int&, int&, bool&) { hf->LoadFromFile(head); };
    const auto pages = Pictures(8);
    ASSERT_EQ(pages.size(), 2u);
    const TBitmap& page = *pages[0];
    EXPECT_EQ(Rgb(page, page.Width() / 2, page.Height() * 3 / 4), 0x00FF00);  // below the early end
    EXPECT_EQ(Rgb(page, page.Width() / 2, 10), 0x0000FF);                    // in the top margin
}

// An animated picture prints the frame it shows, not its first one.
TEST_F(PagedTableTest, AnAnimatedPictureIsPrintedAtTheFrameShown) {
    const pics::GifFrame red{0, 0, 4, 4, std::vector<uint8_t>(16, 1), 500};
    const pics::GifFrame green{0, 0, 4, 4, std::vector<uint8_t>(16, 2), 500};
    Write("anim.gif", pics::Gif(4, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {red, green}, 0));
    v->LoadFromFile(Write("anim.htm", "<p><img src=\"anim.gif\" width=200 height=200></p>"));
    ASSERT_EQ(v->SectionList()->AGifList.size(), 1u);
    v->SectionList()->AGifList[0]->SetCurrentFrame(2);
    const auto pages = Pictures(8);
    ASSERT_EQ(pages.size(), 1u);
    int reds = 0, greens = 0;
    for (int y = 0; y < pages[0]->Height(); ++y)
        for (int x = 0; x < pages[0]->Width(); ++x) {
            const int c = Rgb(*pages[0], x, y);
            reds += c == 0xFF0000;
            greens += c == 0x00FF00;
        }
    EXPECT_EQ(reds, 0);
    EXPECT_GT(greens, 100);
}

// A top or bottom margin that a header callback changes holds for the pages
// after it: larger margins, more pages.
TEST_F(PrintTest, MarginsChangedByTheHeaderCallbackHoldForTheNextPages) {
    v->LoadFromFile(Write("longo.htm", Paragraphs(60)));
    ASSERT_EQ(PreviewPages(), 2);
    v->OnPrintHeader = [&](TObject*, TCanvas&, int, int, int, bool&) {
        v->PrintMarginTop = 8;
        v->PrintMarginBottom = 8;
    };
    EXPECT_GT(PreviewPages(), 2);
}

// A row that asks for a new page starts one, below the head: the pages
// still run on to the table's end.
TEST_F(PagedTableTest, ARowWithABreakBeforeStartsAPageUnderTheHead) {
    std::string html = Table(100, "border=1");
    const std::string row60 = "<tr bgcolor=\"" + Hex(BodyColour(60)) + "\"";
    html.insert(html.find(row60) + row60.size(), " style=\"page-break-before: always\"");
    v->LoadFromFile(Write("planilha.htm", html));
    const auto pages = ReadPages();
    ASSERT_GE(pages.size(), 3u);
    std::vector<std::string> body;
    bool sixtyOpensAPage = false;
    for (const auto& page : pages) {
        if (page.empty()) continue;  // the text after the table
        ASSERT_GE(page.size(), 2u);
        EXPECT_EQ(page.front(), "H");
        sixtyOpensAPage = sixtyOpensAPage || page[1] == "60";
        for (const auto& r : page)
            if (r != "H" && r != "F") body.push_back(r);
    }
    EXPECT_TRUE(sixtyOpensAPage);
    ASSERT_EQ(body.size(), 100u);
    EXPECT_EQ(body.back(), "100");
}

// The last row on a page keeps the bottom edge of its frame: under its cells
// comes a line of the frame's colour before the paper's white.
TEST_F(PagedTableTest, TheRowEndingAPageKeepsItsBottomEdge) {
    v->LoadFromFile(Write("planilha.htm", Plain(Table(100, "border=1"))));
    const auto pictures = Pictures(2);
    ASSERT_GE(pictures.size(), 2u);
    const TBitmap& page = *pictures[0];
    const int x = page.Width() * 3 / 4;
    int last = -1;
    for (int y = 0; y < page.Height(); ++y)
        if (!RowName(Rgb(page, x, y)).empty()) last = y;
    ASSERT_GT(last, 0);
    int edge = 0;
    for (int y = last - 6; y <= last + 6; ++y)
        if (Rgb(page, x, y) == 0xC0C0C0) ++edge;
    EXPECT_GT(edge, 0) << "no bottom edge under the last row";
}

// A table without a head that starts in the last third of a page and would
// run over its end starts on the next page; one that starts higher runs on,
// without a head repeated.
TEST_F(PagedTableTest, AShortTableLowOnAPageMovesToTheNextPage) {
    for (const int before : {26, 8}) {
        std::string html = Plain(Table(before == 26 ? 10 : 60, "border=1"));
        std::string paragraphs;
        for (int i = 0; i < before; ++i) paragraphs += "<p>Parágrafo " + std::to_string(i) + "</p>";
        html.replace(html.find("<p>Planilha</p>"), 15, paragraphs);
        v->LoadFromFile(Write("planilha.htm", html));
        const auto pages = ReadPages();
        ASSERT_GE(pages.size(), 2u);
        if (before == 26) {
            EXPECT_TRUE(pages[0].empty()) << "the table began on page 1";
            EXPECT_EQ(pages[1].front(), "H");
            EXPECT_EQ(pages[1].back(), "F");
        } else {
            EXPECT_FALSE(pages[0].empty());
            EXPECT_NE(pages[1].front(), "H");
        }
    }
}

// A tall row that would be cut moves whole to the next page when it is under
// 101 pixels; a taller one is cut.
TEST_F(PagedTableTest, AShortRowMovesWholeToTheNextPage) {
    for (int tallHeight : {95, 400}) {
        v->LoadFromFile(Write("planilha.htm", Table(100, "border=1", 40, tallHeight)));
        const auto pages = ReadPages();
        ASSERT_GE(pages.size(), 2u);
        const bool onBoth = std::count(pages[0].begin(), pages[0].end(), "40") +
                                std::count(pages[1].begin(), pages[1].end(), "40") ==
                            2;
        EXPECT_EQ(onBoth, tallHeight > 100) << tallHeight;
    }
}

}  // namespace

namespace {

// The words pdftotext reads on each page of the PDF.
std::vector<std::string> PdfPageWords(const std::string& pdf, const std::filesystem::path& dir) {
    const std::string txt = (dir / "pages.txt").string();
    EXPECT_EQ(std::system(("pdftotext '" + pdf + "' '" + txt + "'").c_str()), 0)
        << "pdftotext (poppler-utils) is needed";
    std::vector<std::string> pages(1);
    const std::string text = FileExists(txt) ? ReadFileBytes(txt) : "";
    for (char c : text) {
        if (c == '\f') pages.emplace_back();
        else pages.back() += c == '\n' ? ' ' : c;
    }
    for (std::string& p : pages) {
        std::istringstream in(p);
        std::string words, w;
        while (in >> w) words += (words.empty() ? "" : " ") + w;
        p = words;
    }
    while (!pages.empty() && pages.back().empty()) pages.pop_back();
    return pages;
}

} // namespace

// A page break put the rest of the document off every page (after) or the
// breaking paragraph off its own (before): what follows a break starts the
// next page, and nothing is lost.
TEST_F(PrintTest, PageBreaksStartANewPageAndLoseNothing) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"<p>a<p style=\"page-break-after:always\">nova<p>fim<p>depois", {"a nova", "fim depois"}},
        {"<p>um<p style=\"page-break-before:always\">dois<p>tres", {"um", "dois tres"}},
    };
    for (const auto& [html, pages] : cases) {
        v->LoadFromFile(Write("quebra.htm", html));
        Printer().SetOutputFileName(pdf);
        v->Print(1, 9999);
        EXPECT_EQ(PdfPageWords(pdf, dir), pages) << html;
    }
}

// The main window's report view: loading a report, selecting and copying it
// through the menu and its short-cuts.
#include <gmock/gmock.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "app_env.h"
#include "grids/cell_properties.h"
#include "html/reader/style_props.h"
#include "platform/gui/clipboard.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "revision/wizard_links.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class ReportView : public velorim_test::ProgramTest {
protected:
    // A report as the calculation forms write it: Windows-1252 bytes (the
    // literals are stored in Windows-1252).
    const std::string report =
        "<html><head><title>Relatório</title></head><body>"
        "<h2>Revisão de Benefício</h2><p>Diferença: R$ 1.116,67</p></body></html>";

    static size_t Offset(const std::string& block, const std::string& key) {
        const size_t at = block.find(key + ":");
        return at == std::string::npos ? 0 : std::strtoul(block.c_str() + at + key.size() + 1, nullptr, 10);
    }
};

TEST_F(ReportView, ShowsAWindows1252ReportAndCopiesItAsTextAndHtml) {
    Write("atual.html", report);
    Start();
    THTMLViewer* v = Form1->HTMLViewer1;
    EXPECT_EQ(v->DefFontName(), "Times New Roman");
    EXPECT_EQ(v->DefBackground(), clWhite);
    Event([&] { v->LoadFromFile((dir / "atual.html").string()); });
    EXPECT_EQ(v->CurrentFile(), (dir / "atual.html").string());
    EXPECT_EQ(v->DocumentSource(), report);
    EXPECT_EQ(v->SelText(), "");

    // Ctrl+T and Ctrl+C reach the menu's commands from the view.
    Clipboard().SetAsText("antes");
    Event([&] {
        v->SetFocus();
        v->SimulateKey('T', ssCtrl);
        v->SimulateKey('C', ssCtrl);
    });
    EXPECT_THAT(v->SelText(), HasSubstr("Revisão de Benefício"));
    EXPECT_THAT(Clipboard().AsText(), HasSubstr("Diferença: R$ 1.116,67"));

    // The "HTML Format" block's offsets frame the copied fragment.
    const std::string block = Clipboard().GetAsHandle(RegisterClipboardFormat("HTML Format"));
    ASSERT_THAT(block, HasSubstr("StartFragment:"));
    const size_t start = Offset(block, "StartFragment"), end = Offset(block, "EndFragment");
    ASSERT_LT(start, end);
    ASSERT_LE(end, block.size());
    EXPECT_THAT(block.substr(start, end - start), HasSubstr(Cp1252ToUtf8("Revisão")));
    EXPECT_EQ(block.substr(Offset(block, "StartHTML"), 9), "<!DOCTYPE");
    EXPECT_EQ(block.substr(Offset(block, "EndHTML") - 18, 18), "<!--EndFragment-->");
}

TEST_F(ReportView, AMissingFileIsAnErrorAndTheShownReportStays) {
    Write("atual.html", report);
    Start();
    THTMLViewer* v = Form1->HTMLViewer1;
    v->LoadFromFile((dir / "atual.html").string());
    try {
        v->LoadFromFile((dir / "nada.html").string());
        FAIL() << "a missing file must raise";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message, "Can't locate file: " + (dir / "nada.html").string());
    }
    v->LoadFromFile("");
    EXPECT_EQ(v->CurrentFile(), (dir / "atual.html").string());
    EXPECT_EQ(v->DocumentSource(), report);

    // Copy with nothing selected leaves the clipboard alone.
    Clipboard().SetAsText("antes");
    Event([] { Form1->Copiar1->Click(); });
    EXPECT_EQ(Clipboard().AsText(), "antes");
    Event([] { Form1->Copiartudo1Click(nullptr); });
    EXPECT_THAT(Clipboard().AsText(), Not(HasSubstr("antes")));
    EXPECT_THAT(Clipboard().AsText(), HasSubstr("1.116,67"));
}

// A report just computed opens at its top, even under the name of a longer
// one scrolled down; with no report shown "Impressão" says so.
TEST_F(ReportView, ANewReportOpensAtItsTopAndNoReportPrintsNothing) {
    Start();
    Event([] { Form1->SpeedButton1->UserClick(); });
    EXPECT_THAT(velorim_test::Dialogs().Messages(),
                ::testing::ElementsAre(HasSubstr("Não há relatório para imprimir")));
    EXPECT_EQ(velorim_test::Dialogs().Records().size(), 1u) << "no empty preview";

    auto rows = [](int n) {
        std::string html = "<html><body><table>";
        for (int i = 0; i < n; ++i) html += "<tr><td>" + std::to_string(i) + "</td><td>1.116,67</td></tr>";
        return html + "</table></body></html>";
    };
    THTMLViewer* v = Form1->HTMLViewer1;
    const std::string name = (dir / "atual.html").string();
    Event([&] { wizard_links::ShowReportText(rows(600), name); });
    v->ScrollTo(v->DocHeight());
    ASSERT_GT(v->VScrollBarPosition(), 0);
    Event([&] { wizard_links::ShowReportText(rows(120), name); });
    EXPECT_EQ(v->VScrollBarPosition(), 0);
    EXPECT_EQ(v->Position(), 0);
    v->ScrollTo(v->DocHeight());
    Write("revisao.html", rows(60));
    Event([&] { wizard_links::ShowReport((dir / "revisao.html").string()); });
    EXPECT_EQ(v->Position(), 0);
}

TEST_F(ReportView, PrintScaleIsClamped) {
    Start();
    THTMLViewer* v = Form1->HTMLViewer1;
    v->SetPrintScale(9);
    EXPECT_EQ(v->PrintScale(), 4.0);
    v->SetPrintScale(0.1);
    EXPECT_EQ(v->PrintScale(), 0.25);
}

}  // namespace

namespace {

// The viewer and the grids each have a font class named TMyFont; one program
// holds both, and each is built and destroyed as its own class.
TEST(FontClasses, AReportFontAndAGridFontLiveTogether) {
    TProperties props;
    std::unique_ptr<TMyFont> report = props.GetFont();
    auto grid = std::make_unique<aligngrid::TMyFont>(nullptr);
    report->tmHeight = 17;
    report->CharExtra = 2;
    grid->SetSize(11);
    EXPECT_NE(typeid(*report), typeid(*grid));
    EXPECT_EQ(report->tmHeight, 17);
    EXPECT_EQ(grid->Owner(), nullptr);
    report.reset();
    EXPECT_EQ(grid->Size(), 11);
    grid.reset();
}

}  // namespace

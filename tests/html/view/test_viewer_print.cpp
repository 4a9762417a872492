// Printing: pages cut at the printable height of the paper in the print
// margins and scale, the same pages in the preview and on paper (a PDF file
// here), page ranges, and the preview's print button.
#include <gmock/gmock.h>

#include <filesystem>
#include <regex>

#include "html/view/go_page_form.h"
#include "html/view/metafile_printer.h"
#include "html/view/print_preview.h"
#include "html/view/print_status_form.h"
#include "platform/gui/printer.h"
#include "platform/runtime/files.h"
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

    // Pages the document does not have print nothing at all.
    std::filesystem::remove(pdf);
    v->Print(3, 9999);
    EXPECT_FALSE(FileExists(pdf));
    v->Print(4, 9999);
    EXPECT_FALSE(FileExists(pdf));
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

}  // namespace

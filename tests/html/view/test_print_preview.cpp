// The print preview's window: page count and navigation, zoom and its label,
// one or two pages, and the tools.
#include <gmock/gmock.h>

#include <QImage>
#include <cmath>

#include "html/view/go_page_form.h"
#include "html/view/metafile_printer.h"
#include "html/view/print_preview.h"
#include "support/gui_input.h"
#include "view_env.h"

namespace {

using velorim_test::ViewerTest;

class PreviewTest : public ViewerTest {
protected:
    TPreviewForm* Open() {
        bool abort = true;
        auto* p = new TPreviewForm(nullptr, v, abort);
        EXPECT_FALSE(abort);
        p->SetBounds(0, 0, 1000, 760);
        p->Show();
        Application->ProcessMessages();
        return p;
    }
};

TEST_F(PreviewTest, AnEmptyDocumentHasNoPage) {
    TPreviewForm* p = Open();
    EXPECT_EQ(p->Caption(), "Visualizador de Impressão");
    EXPECT_EQ(p->PageCount(), 0);
    EXPECT_EQ(p->CurPageLabel->Caption(), "Page 1 of 0");
    EXPECT_FALSE(p->NextPageBut->Enabled());
    EXPECT_FALSE(p->PrevPageBut->Enabled());
    EXPECT_FALSE(p->PageNumSpeed->Enabled());
    EXPECT_TRUE(p->ZoomCursorBut->Down());
    EXPECT_TRUE(p->OnePageBut->Down());
    EXPECT_EQ(p->ZoomBox->Items.Count(), 12);
    p->Free();
}

// A page as it shows: its drawing played onto a small white bitmap.
QImage Played(TMetafile* mf) {
    TBitmap b(200, 280, TPixelFormat::pf32bit);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().FillRect(TRect{0, 0, 200, 280});
    if (mf) mf->Draw(b.Canvas(), TRect{0, 0, 200, 280});
    return b.Surface().copy();
}

// Only the page shown is drawn when the preview opens; the count is that of
// every page, and a page drawn when it is shown is the page drawn in one go.
TEST_F(PreviewTest, PagesAreDrawnWhenShownAndCountedFromTheStart) {
    std::string html;
    for (int i = 0; i < 400; ++i) html += "<p>linha " + std::to_string(i) + "</p>";
    v->LoadFromFile(Write("longo.htm", html));
    TMetaFilePrinter all(nullptr);
    v->PrintPreview(&all);
    const int count = all.LastAvailablePage();
    ASSERT_GE(count, 4);

    TPreviewForm* p = Open();
    EXPECT_EQ(p->PageCount(), count);
    EXPECT_EQ(p->CurPageLabel->Caption(), "Page 1 of " + std::to_string(count));
    EXPECT_TRUE(p->MFPrinter()->Recorded(0));
    EXPECT_FALSE(p->MFPrinter()->Recorded(count - 1));
    EXPECT_EQ(Played(p->MFPrinter()->GetMetaFile(0)), Played(all.GetMetaFile(0)));

    p->LastPageSpeed->Click();
    EXPECT_EQ(p->CurPage(), count - 1);
    EXPECT_EQ(p->PageCount(), count);
    ASSERT_TRUE(p->MFPrinter()->Recorded(count - 1));
    EXPECT_EQ(Played(p->MFPrinter()->GetMetaFile(count - 1)), Played(all.GetMetaFile(count - 1)));
    EXPECT_NE(Played(all.GetMetaFile(count - 1)), Played(all.GetMetaFile(0)));
    EXPECT_TRUE(p->MFPrinter()->Recorded(0));  // the pages drawn before stay

    p->SetCurPage(1);
    p->TwoPageBut->UserClick();
    EXPECT_TRUE(p->MFPrinter()->Recorded(2));
    p->Free();
}

// Alt+2 and Alt+1, the accelerators of the tools "&2" and "&1", show two
// pages and one, as clicking the tools does.
TEST_F(PreviewTest, AltDigitShowsTwoPagesOrOne) {
    std::string html;
    for (int i = 0; i < 400; ++i) html += "<p>linha " + std::to_string(i) + "</p>";
    v->LoadFromFile(Write("longo.htm", html));
    TPreviewForm* p = Open();
    ASSERT_TRUE(velorim_test::Activate(p));
    QWidget* keys = velorim_test::KeyboardWidget() ? velorim_test::KeyboardWidget() : p->Widget();
    QTest::keyClick(keys, Qt::Key_2, Qt::AltModifier);
    EXPECT_TRUE(p->TwoPageBut->Down());
    EXPECT_TRUE(p->PagePanel2->Visible());
    QTest::keyClick(keys, Qt::Key_1, Qt::AltModifier);
    EXPECT_TRUE(p->OnePageBut->Down());
    EXPECT_FALSE(p->PagePanel2->Visible());
    p->Free();
}

// On an 800-pixel screen the tool bar wraps: every tool stays whole inside
// the window, none covers another, and the pages start below the tools.
TEST_F(PreviewTest, TheToolBarWrapsOnANarrowWindow) {
    bool abort = true;
    auto* p = new TPreviewForm(nullptr, v, abort);  // the size it is made at
    for (int width : {p->Width(), 1000, 800, 420}) {
        p->SetBounds(0, 0, width, 600);
        Application->ProcessMessages();
        TPanel* bar = p->ToolBarPanel;
        std::vector<TRect> placed;
        for (int i = 0; i < bar->ControlCount(); ++i) {
            TControl* c = bar->Controls(i);
            EXPECT_LE(c->Left() + c->Width(), bar->ClientWidth()) << c->Name() << " at " << width;
            EXPECT_LE(c->Top() + c->Height(), bar->Height()) << c->Name() << " at " << width;
            const TRect r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
            for (const TRect& o : placed)
                EXPECT_TRUE(r.Right <= o.Left || o.Right <= r.Left || r.Bottom <= o.Top || o.Bottom <= r.Top)
                    << c->Name() << " covers another tool at " << width;
            placed.push_back(r);
        }
        EXPECT_GE(p->ScrollBox1->Top(), bar->Top() + bar->Height());
    }
    EXPECT_EQ(p->ToolBarPanel->Height(), 31 + 2 * 28) << "three rows at 420 pixels";
    p->Free();
}

TEST_F(PreviewTest, ZoomFollowsTheBoxAndTheZoomTool) {
    TPreviewForm* p = Open();
    TMetaFilePrinter* mf = p->MFPrinter();
    ASSERT_GT(mf->PixelsPerInchX, 0);
    // Whole page: the page's height fills the scrolled area less 20.
    EXPECT_EQ(p->ZoomBox->ItemIndex(), 0);
    EXPECT_TRUE(p->FitPageBut->Down());
    const double fit = (p->ScrollBox1->ClientHeight() - 20) / 96.0 / (double(mf->PaperHeight) / mf->PixelsPerInchY);
    EXPECT_NEAR(p->Zoom(), fit, 1e-9);

    p->ZoomBox->SelectAsUser(6);  // "100%"
    EXPECT_DOUBLE_EQ(p->Zoom(), 1.0);
    EXPECT_EQ(p->ZoomLabel->Caption(), "100%");
    EXPECT_FALSE(p->FitPageBut->Down());
    EXPECT_EQ(p->PagePanel->Width(), static_cast<int>(96.0 * mf->PaperWidth / mf->PixelsPerInchX));
    // The page does not fit: the bars show and the page sits 10 from the edge.
    EXPECT_TRUE(p->VScroll->Visible());
    EXPECT_EQ(p->PagePanel->Top(), 10);

    // Left click zooms in by half, right click out; "Normal" keeps the zoom.
    p->PB1->OnMouseDown(p->PB1, TMouseButton::mbLeft, 0, 10, 10);
    EXPECT_DOUBLE_EQ(p->Zoom(), 1.5);
    EXPECT_EQ(p->ZoomBox->ItemIndex(), 2);
    EXPECT_EQ(p->ZoomLabel->Caption(), "150%");
    p->PB1->OnMouseDown(p->PB1, TMouseButton::mbRight, 0, 10, 10);
    EXPECT_DOUBLE_EQ(p->Zoom(), 1.0);
    p->ZoomBox->SelectAsUser(2);
    EXPECT_DOUBLE_EQ(p->Zoom(), 1.0);

    // Zoom stops at its ends.
    p->ZoomBox->SelectAsUser(11);  // "400%"
    for (int i = 0; i < 10; ++i) p->PB1->OnMouseDown(p->PB1, TMouseButton::mbLeft, 0, 5, 5);
    EXPECT_LT(p->Zoom(), 20 * 1.5);
    EXPECT_GE(p->Zoom(), 20);

    // Half page fits the width; any zoom but the whole page shows one page.
    p->TwoPageBut->UserClick();
    p->ZoomBox->SelectAsUser(1);
    const double width = (p->ScrollBox1->ClientWidth() - 20) / 96.0 / (double(mf->PaperWidth) / mf->PixelsPerInchX);
    EXPECT_NEAR(p->Zoom(), width, 1e-9);
    EXPECT_TRUE(p->OnePageBut->Down());
    EXPECT_FALSE(p->PagePanel2->Visible());
    // The width fits, the height does not: both bars show, as they hide together.
    EXPECT_TRUE(p->HScroll->Visible());
    EXPECT_TRUE(p->VScroll->Visible());
    p->ZoomBox->SelectAsUser(0);
    EXPECT_FALSE(p->HScroll->Visible());
    EXPECT_FALSE(p->VScroll->Visible());
    p->TwoPageBut->UserClick();
    EXPECT_TRUE(p->PagePanel2->Visible());
    EXPECT_EQ(p->PagePanel2->Left(), p->PagePanel->Left() + p->PagePanel->Width() + 20);

    // The hand tool drags the page.
    p->HandCursorBut->UserClick();
    EXPECT_FALSE(p->ZoomCursorBut->Down());
    p->GridBut->UserClick();
    EXPECT_TRUE(p->GridBut->Down());
    p->Free();
}

}  // namespace

#include "html/view/print_preview.h"

#include <algorithm>
#include <cmath>

#include "html/view/go_page_form.h"
#include "html/view/html_viewer.h"
#include "html/view/metafile_printer.h"
#include "html/view/print_status_form.h"
#include "platform/gui/application.h"
#include "platform/gui/printer.h"
#include "platform/runtime/formats.h"

namespace {

constexpr TCursor crZoom = 40, crHand = 41;

// A 16 x 16 cursor drawn from a character picture: '#' black, '.' white.
HCURSOR PictureCursor(const char* const rows[16], int hotX, int hotY) {
    HCURSOR c;
    c.Width = c.Height = 16;
    c.HotX = hotX;
    c.HotY = hotY;
    c.Pixels.assign(256, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char p = rows[y][x];
            c.Pixels[static_cast<size_t>(y * 16 + x)] = p == '#' ? 0xFF000000u : p == '.' ? 0xFFFFFFFFu : 0u;
        }
    return c;
}

void LoadPreviewCursors() {
    static const char* const zoom[16] = {
        "   ####         ", "  #....#        ", " #......#       ", "#...##...#      ",
        "#...##...#      ", "#.######.#      ", "#.######.#      ", "#...##...#      ",
        " #..##..#       ", "  #....##       ", "   #####.#      ", "        #.#     ",
        "         #.#    ", "          #.#   ", "           ##   ", "                "};
    static const char* const hand[16] = {
        "      ##        ", "   ## #..###    ", "  #..##..#..#   ", "  #..##..#..# # ",
        "   #..#..#..##.#", "   #..#..#..#..#", " ## #.......#..#", "#..##..........#",
        "#...#.........# ", " #............# ", "  #...........# ", "  #..........#  ",
        "   #.........#  ", "    #........#  ", "     #.......#  ", "     #########  "};
    Screen->Cursors[crZoom] = PictureCursor(zoom, 4, 4);
    Screen->Cursors[crHand] = PictureCursor(hand, 8, 8);
}

TPreviewSpeedButton* ToolButton(TForm* form, TWinControl* parent, const std::string& name, const std::string& caption,
                                int left, int width) {
    auto* b = Make<TPreviewSpeedButton>(form, parent, name);
    b->SetCaption(caption);
    b->SetBounds(left, 3, width, 25);
    b->SetFlat(true);
    return b;
}

}  // namespace

void TPreviewSpeedButton::UserClick() {
    if (!Enabled()) return;
    if (GroupIndex() != 0) SetDown(!Down());
    Click();
}

TPreviewForm::TPreviewForm(TComponent* AOwner, THTMLViewer* viewer, bool& Abort) : TForm(AOwner), viewer_(viewer) {
    SetName("PreviewForm");
    SetCaption("Visualizador de Impressão");
    Font().SetName("Tahoma");
    SetBounds(0, 0, 800, 600);
    SetWindowState(TWindowState::wsMaximized);

    ToolBarPanel = Make<TPanel>(this, this, "ToolBarPanel");
    ToolBarPanel->SetAlign(TAlign::alTop);
    ToolBarPanel->SetHeight(31);
    ToolBarPanel->SetCaption("");
    PrintBut = ToolButton(this, ToolBarPanel, "PrintBut", "&Imprimir", 4, 64);
    PrevPageBut = ToolButton(this, ToolBarPanel, "PrevPageBut", "&Anterior", 72, 64);
    PrevPageBut->SetEnabled(false);
    NextPageBut = ToolButton(this, ToolBarPanel, "NextPageBut", "&Próximo", 140, 64);
    ZoomBox = Make<TComboBox>(this, ToolBarPanel, "ZoomBox");
    ZoomBox->SetStyle(TComboBoxStyle::csDropDownList);
    ZoomBox->SetBounds(210, 5, 110, 21);
    ZoomBox->DropDownCount = 12;
    for (const char* item : {"Página Inteira", "Meia Página", "Normal", "25%", "50%", "75%", "100%", "125%", "150%",
                             "200%", "300%", "400%"})
        ZoomBox->Items.Add(item);
    FitPageBut = ToolButton(this, ToolBarPanel, "FitPageBut", "Inteira", 324, 52);
    FitPageBut->SetHint("Página inteira");
    FitWidthBut = ToolButton(this, ToolBarPanel, "FitWidthBut", "Meia", 378, 52);
    FitWidthBut->SetHint("Meia Página");
    for (TPreviewSpeedButton* b : {FitPageBut, FitWidthBut}) {
        b->SetGroupIndex(1);
        b->SetAllowAllUp(true);
    }
    GridBut = ToolButton(this, ToolBarPanel, "GridBut", "Grade", 436, 48);
    GridBut->SetHint("Grade");
    GridBut->SetGroupIndex(2);
    GridBut->SetAllowAllUp(true);
    UnitsBox = Make<TComboBox>(this, ToolBarPanel, "UnitsBox");
    UnitsBox->SetStyle(TComboBoxStyle::csDropDownList);
    UnitsBox->SetBounds(488, 5, 96, 21);
    UnitsBox->Items.Add("Inches");
    UnitsBox->Items.Add("Centimeters");
    UnitsBox->SetItemIndex(0);
    ZoomCursorBut = ToolButton(this, ToolBarPanel, "ZoomCursorBut", "Zoom", 590, 48);
    ZoomCursorBut->SetHint("Zoom");
    HandCursorBut = ToolButton(this, ToolBarPanel, "HandCursorBut", "Mover", 640, 48);
    HandCursorBut->SetHint("Mover a página");
    for (TPreviewSpeedButton* b : {ZoomCursorBut, HandCursorBut}) b->SetGroupIndex(3);
    OnePageBut = ToolButton(this, ToolBarPanel, "OnePageBut", "&1", 694, 28);
    TwoPageBut = ToolButton(this, ToolBarPanel, "TwoPageBut", "&2", 724, 28);
    for (TPreviewSpeedButton* b : {OnePageBut, TwoPageBut}) b->SetGroupIndex(4);
    CloseBut = ToolButton(this, ToolBarPanel, "CloseBut", "&Fechar", 758, 60);
    CloseBut->ModalResult = mrCancel;
    CloseBut->Cancel = true;
    for (int i = 0; i < ToolBarPanel->ControlCount(); ++i) {
        TControl* c = ToolBarPanel->Controls(i);
        toolBarItems_.push_back({c, c->Left(), c->Top()});
    }
    ToolBarPanel->OnResize = [this](TObject* s) { FlowToolBar(s); };
    FlowToolBar(nullptr);

    StatBarPanel = Make<TPanel>(this, this, "StatBarPanel");
    StatBarPanel->SetAlign(TAlign::alBottom);
    StatBarPanel->SetHeight(24);
    StatBarPanel->SetCaption("");
    MoveButPanel = Make<TPanel>(this, StatBarPanel, "MoveButPanel");
    MoveButPanel->SetBounds(2, 1, 130, 22);
    MoveButPanel->SetBevelOuter(TPanelBevel::bvNone);
    MoveButPanel->SetCaption("");
    auto moveButton = [this](const std::string& name, const std::string& caption, int left) {
        auto* b = Make<TPreviewSpeedButton>(this, MoveButPanel, name);
        b->SetCaption(caption);
        b->SetBounds(left, 0, 24, 22);
        b->SetFlat(true);
        return b;
    };
    FirstPageSpeed = moveButton("FirstPageSpeed", "|<", 0);
    PrevPageSpeed = moveButton("PrevPageSpeed", "<", 25);
    NextPageSpeed = moveButton("NextPageSpeed", ">", 50);
    LastPageSpeed = moveButton("LastPageSpeed", ">|", 75);
    PageNumSpeed = moveButton("PageNumSpeed", "#", 100);
    CurPageLabel = Make<TLabel>(this, StatBarPanel, "CurPageLabel");
    CurPageLabel->SetBounds(140, 5, 120, 13);
    ZoomLabel = Make<TLabel>(this, StatBarPanel, "ZoomLabel");
    ZoomLabel->SetBounds(270, 5, 60, 13);
    HintLabel = Make<TLabel>(this, StatBarPanel, "HintLabel");
    HintLabel->SetBounds(340, 5, 300, 13);

    ScrollBox1 = Make<TPanel>(this, this, "ScrollBox1");
    ScrollBox1->SetAlign(TAlign::alClient);
    ScrollBox1->SetBevelOuter(TPanelBevel::bvNone);
    ScrollBox1->SetCaption("");
    ContainPanel = Make<TPanel>(this, ScrollBox1, "ContainPanel");
    ContainPanel->SetBevelOuter(TPanelBevel::bvNone);
    ContainPanel->SetColor(clBtnShadow);
    ContainPanel->SetCaption("");
    HScroll = Make<TScrollBar>(this, ScrollBox1, "HScroll");
    HScroll->SetVisible(false);
    VScroll = Make<TScrollBar>(this, ScrollBox1, "VScroll");
    VScroll->SetKind(TScrollBarKind::sbVertical);
    VScroll->SetVisible(false);
    for (TScrollBar* bar : {HScroll, VScroll}) {
        bar->SmallChange = 16;
        bar->OnChange = [this](TObject*) { PlaceContainer(); };
    }
    PagePanel = Make<TPanel>(this, ContainPanel, "PagePanel");
    PagePanel2 = Make<TPanel>(this, ContainPanel, "PagePanel2");
    PagePanel2->SetVisible(false);
    PB1 = Make<TPaintBox>(this, PagePanel, "PB1");
    PB2 = Make<TPaintBox>(this, PagePanel2, "PB2");
    for (TPanel* p : {PagePanel, PagePanel2}) {
        p->SetBevelOuter(TPanelBevel::bvNone);
        p->SetColor(clWhite);
        p->SetCaption("");
    }
    for (TPaintBox* pb : {PB1, PB2}) {
        pb->SetAlign(TAlign::alClient);
        pb->OnPaint = [this](TObject* Sender) { PBPaint(Sender); };
        pb->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { PB1MouseDown(S, B, Sh, X, Y); };
        pb->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) { PB1MouseMove(S, Sh, X, Y); };
        pb->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { PB1MouseUp(S, B, Sh, X, Y); };
    }
    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");
    PrintDialog1->FromPage = 1;
    PrintDialog1->MinPage = 1;

    // Events.
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    ScrollBox1->OnResize = [this](TObject* Sender) { ScrollBox1Resize(Sender); };
    ZoomBox->OnChange = [this](TObject* Sender) { ZoomBoxChange(Sender); };
    UnitsBox->OnChange = [this](TObject*) {
        if (mfPrinter_) mfPrinter_->SetUnits(UnitsBox->ItemIndex() == 1 ? TUnits::unCentimeters : TUnits::unInches);
        if (GridBut->Down()) ShowPage();
    };
    GridBut->OnClick = [this](TObject*) { ShowPage(); };
    FitPageBut->OnClick = [this](TObject*) {
        ZoomBox->SetItemIndex(0);
        ZoomBoxChange(ZoomBox);
    };
    FitWidthBut->OnClick = [this](TObject*) {
        ZoomBox->SetItemIndex(1);
        ZoomBoxChange(ZoomBox);
    };
    ZoomCursorBut->OnClick = [this](TObject*) { PB1->SetCursor(crZoom); PB2->SetCursor(crZoom); };
    HandCursorBut->OnClick = [this](TObject*) { PB1->SetCursor(crHand); PB2->SetCursor(crHand); };
    OnePageBut->OnClick = [this](TObject*) { ScrollBox1Resize(nullptr); };
    TwoPageBut->OnClick = [this](TObject*) { ScrollBox1Resize(nullptr); };
    TNotifyEvent first = [this](TObject*) { SetCurPage(0); };
    TNotifyEvent prev = [this](TObject*) { SetCurPage(curPage_ - 1); };
    TNotifyEvent next = [this](TObject*) { SetCurPage(curPage_ + 1); };
    TNotifyEvent last = [this](TObject*) { SetCurPage(PageCount() - 1); };
    FirstPageSpeed->OnClick = first;
    PrevPageSpeed->OnClick = prev;
    PrevPageBut->OnClick = prev;
    NextPageSpeed->OnClick = next;
    NextPageBut->OnClick = next;
    LastPageSpeed->OnClick = last;
    PageNumSpeed->OnClick = [this](TObject* Sender) { PageNumSpeedClick(Sender); };
    PrintBut->OnClick = [this](TObject* Sender) { PrintButClick(Sender); };

    // The tools start as the zoom tool on one page, the whole page shown.
    LoadPreviewCursors();
    ZoomCursorBut->SetDown(true);
    OnePageBut->SetDown(true);
    PB1->SetCursor(crZoom);
    PB2->SetCursor(crZoom);
    ZoomBox->SetItemIndex(0);

    mfPrinter_ = new TMetaFilePrinter(this);
    mfPrinter_->SetName("MFPrinter");
    // Every page is laid out, for the count, but only the pages shown first
    // are drawn; the others are drawn when they are shown.
    mfPrinter_->SetRecordedPages(0, 0);
    auto* status = new TPrnStatusForm(nullptr);
    try {
        status->DoPreview(viewer_, mfPrinter_, Abort);
    } catch (...) {
        status->Free();
        throw;
    }
    status->Free();
    // A document without pages still shows the paper's size.
    if (mfPrinter_->PixelsPerInchX <= 0 && !Abort) {
        mfPrinter_->BeginDoc();
        mfPrinter_->EndDoc();
    }
}

TPreviewForm::~TPreviewForm() {
    if (hintInstalled_ && Application) Application->OnHint = oldHint_;
}

int TPreviewForm::PageCount() const { return mfPrinter_ ? mfPrinter_->LastAvailablePage() : 0; }

// On a window narrower than the row of tools (an 800-pixel screen, or a
// window manager that does not maximise) the tools wrap onto further rows,
// each row keeping their spacing, so that none is cut off.
void TPreviewForm::FlowToolBar(TObject*) {
    constexpr int kRowHeight = 28, kLeftMargin = 4;
    const int width = ToolBarPanel->ClientWidth();
    int shift = 0, rowTop = 0;
    bool first = true;
    for (const TToolBarItem& item : toolBarItems_) {
        const int right = item.Left - shift + item.Control->Width();
        if (!first && right > width) {
            shift = item.Left - kLeftMargin;
            rowTop += kRowHeight;
        }
        item.Control->SetBounds(item.Left - shift, item.Top + rowTop, item.Control->Width(), item.Control->Height());
        first = false;
    }
    ToolBarPanel->SetHeight(31 + rowTop);
}

void TPreviewForm::FormShow(TObject*) {
    SetCurPage(0);
    if (!hintInstalled_) {
        oldHint_ = Application->OnHint;
        Application->OnHint = [this](TObject* Sender) { HintChanged(Sender); };
        hintInstalled_ = true;
    }
    ScrollBox1Resize(nullptr);
}

void TPreviewForm::HintChanged(TObject*) { HintLabel->SetCaption(Application->Hint); }

// The preview's creator frees it after its modal run.
void TPreviewForm::FormClose(TObject*, TCloseAction& Action) {
    Action = TCloseAction::caHide;
    if (hintInstalled_) {
        Application->OnHint = oldHint_;
        hintInstalled_ = false;
    }
}

void TPreviewForm::SetCurPage(int page) {
    const int count = PageCount();
    curPage_ = std::clamp(page, 0, std::max(count - 1, 0));
    char label[64];
    std::snprintf(label, sizeof label, "Page %d of %d", curPage_ + 1, count);
    CurPageLabel->SetCaption(label);
    UpdateButtons();
    ShowPage();
}

void TPreviewForm::RecordShownPages() {
    const int count = PageCount();
    // Not while the pages are being made (a resize while the status dialog shows).
    if (!viewer_ || !mfPrinter_ || count == 0 || recording_ || mfPrinter_->Printing()) return;
    const int last = std::min(curPage_ + (TwoPageBut->Down() ? 1 : 0), count - 1);
    if (mfPrinter_->Recorded(curPage_) && mfPrinter_->Recorded(last)) return;
    // The document is paged again and these pages drawn, with the next one
    // too: the usual way on is the next page.
    recording_ = true;
    mfPrinter_->SetRecordedPages(curPage_, curPage_ + 1);
    try {
        viewer_->PrintPreview(mfPrinter_);
    } catch (...) {
        // The printer went away since the preview opened: the pages not yet
        // drawn stay blank, the others as they were.
    }
    recording_ = false;
}

void TPreviewForm::UpdateButtons() {
    const int count = PageCount();
    const bool next = count > curPage_ + 1, prev = curPage_ >= 1;
    NextPageBut->SetEnabled(next);
    NextPageSpeed->SetEnabled(next);
    LastPageSpeed->SetEnabled(next);
    PrevPageBut->SetEnabled(prev);
    PrevPageSpeed->SetEnabled(prev);
    FirstPageSpeed->SetEnabled(prev);
    PageNumSpeed->SetEnabled(count > 1);
}

void TPreviewForm::ShowPage() {
    RecordShownPages();
    PB1->Invalidate();
    PB2->Invalidate();
}

void TPreviewForm::ZoomBoxChange(TObject*) {
    // Twice: the first pass may show or hide the bars, which the second sees.
    ScrollBox1Resize(nullptr);
    ScrollBox1Resize(nullptr);
}

void TPreviewForm::ScrollBox1Resize(TObject*) {
    if (!mfPrinter_ || mfPrinter_->PixelsPerInchX <= 0 || mfPrinter_->PixelsPerInchY <= 0) return;
    int index = ZoomBox->ItemIndex();
    if (index < 0) {
        index = 0;
        ZoomBox->SetItemIndex(0);
    }
    FitPageBut->SetDown(index == 0);
    FitWidthBut->SetDown(index == 1);
    const int ppi = Screen->PixelsPerInch();
    const double paperW = mfPrinter_->PaperWidth, paperH = mfPrinter_->PaperHeight;
    const double dpiX = mfPrinter_->PixelsPerInchX, dpiY = mfPrinter_->PixelsPerInchY;
    const int clientW = ScrollBox1->ClientWidth(), clientH = ScrollBox1->ClientHeight();
    static const double fixed[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2, 3, 4};
    switch (index) {
        case 0: zoom_ = (clientH - 20) / double(ppi) / (paperH / dpiY); break;
        case 1: zoom_ = (clientW - 20) / double(ppi) / (paperW / dpiX); break;
        case 2: break;
        default:
            if (index - 3 < 9) zoom_ = fixed[index - 3];
    }
    if (zoom_ <= 0) zoom_ = 0.1;
    if (index != 0) {
        OnePageBut->SetDown(true);
        TwoPageBut->SetDown(false);
    }
    const int pageH = static_cast<int>(ppi * zoom_ * paperH / dpiY);
    const int pageW = static_cast<int>(ppi * zoom_ * paperW / dpiX);
    const bool two = TwoPageBut->Down();
    PagePanel->SetBounds(PagePanel->Left(), PagePanel->Top(), pageW, pageH);
    PagePanel2->SetBounds(PagePanel2->Left(), PagePanel2->Top(), pageW, pageH);
    PagePanel2->SetVisible(two);
    const int needW = pageW + 20 + (two ? pageW + 20 : 0), needH = pageH + 20;
    const int contW = std::max(needW, clientW - 1), contH = std::max(needH, clientH - 1);
    ContainPanel->SetBounds(ContainPanel->Left(), ContainPanel->Top(), contW, contH);
    const int left = contW > needW ? (contW - needW) / 2 + 10 : 10;
    const int top = contH > needH ? (contH - needH) / 2 + 10 : 10;
    PagePanel->SetBounds(left, top, pageW, pageH);
    PagePanel2->SetBounds(left + pageW + 20, top, pageW, pageH);

    // Both bars show together while the pages do not fit either way.
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    const bool hNeeded = needW > clientW || needH > clientH, vNeeded = hNeeded;
    HScroll->SetVisible(hNeeded);
    VScroll->SetVisible(vNeeded);
    const int viewW = clientW - (vNeeded ? sb : 0), viewH = clientH - (hNeeded ? sb : 0);
    HScroll->SetBounds(0, clientH - sb, std::max(viewW, 0), sb);
    VScroll->SetBounds(clientW - sb, 0, sb, std::max(viewH, 0));
    HScroll->SetParams(HScroll->Position(), 0, std::max(contW - viewW, 0));
    VScroll->SetParams(VScroll->Position(), 0, std::max(contH - viewH, 0));
    HScroll->LargeChange = std::max(viewW - 20, 1);
    VScroll->LargeChange = std::max(viewH - 20, 1);
    HScroll->BringToFront();
    VScroll->BringToFront();
    PlaceContainer();
    ZoomLabel->SetCaption(FormatFloat("#,##0", zoom_ * 100) + "%");
    ShowPage();
}

int TPreviewForm::HorzPosition() const { return HScroll->Visible() ? HScroll->Position() : 0; }
int TPreviewForm::VertPosition() const { return VScroll->Visible() ? VScroll->Position() : 0; }

void TPreviewForm::PlaceContainer() {
    ContainPanel->SetBounds(-HorzPosition(), -VertPosition(), ContainPanel->Width(), ContainPanel->Height());
}

void TPreviewForm::PBPaint(TObject* Sender) {
    auto* pb = static_cast<TPaintBox*>(Sender);
    const int page = pb == PB1 ? curPage_ : curPage_ + 1;
    if (pb == PB2 && !TwoPageBut->Down()) return;
    TMetafile* mf = mfPrinter_ ? mfPrinter_->GetMetaFile(page) : nullptr;
    if (!mf) return;
    TCanvas& c = pb->Canvas();
    c.SetMapMode(MM_ANISOTROPIC);
    c.SetWindowExtEx(mfPrinter_->PaperWidth, mfPrinter_->PaperHeight);
    c.SetViewportExtEx(pb->Width(), pb->Height());
    c.SetWindowOrgEx(-mfPrinter_->OffsetX, -mfPrinter_->OffsetY);
    c.Draw(0, 0, *mf);
    if (GridBut->Down()) {
        c.SetWindowOrgEx(0, 0);
        c.Pen().SetColor(static_cast<TColor>(0xC0C0C0));
        c.Pen().SetStyle(TPenStyle::psSolid);
        c.Pen().SetWidth(1);
        const double units = UnitsBox->ItemIndex() == 1 ? 2.54 : 1.0;
        const int dpiX = mfPrinter_->PixelsPerInchX, dpiY = mfPrinter_->PixelsPerInchY;
        const int nx = static_cast<int>(std::lround(double(mfPrinter_->PaperWidth) / dpiX * units));
        for (int i = 1; i <= nx; ++i) {
            const int x = static_cast<int>(std::lround(dpiX * i / units));
            c.MoveTo(x, 0);
            c.LineTo(x, mfPrinter_->PaperHeight);
        }
        const int ny = static_cast<int>(std::lround(double(mfPrinter_->PaperHeight) / dpiY * units));
        for (int i = 1; i <= ny; ++i) {
            const int y = static_cast<int>(std::lround(dpiY * i / units));
            c.MoveTo(0, y);
            c.LineTo(mfPrinter_->PaperWidth, y);
        }
    }
    c.SetMapMode(MM_TEXT);
    c.SetWindowOrgEx(0, 0);
    c.SetViewportOrgEx(0, 0);
}

void TPreviewForm::PB1MouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y) {
    auto* pb = static_cast<TPaintBox*>(Sender);
    if (ZoomCursorBut->Down()) {
        if (Button == TMouseButton::mbLeft) {
            if (zoom_ >= 20) return;
            zoom_ *= 1.5;
        } else if (Button == TMouseButton::mbRight) {
            if (zoom_ <= 0.1) return;
            zoom_ /= 1.5;
        } else {
            return;
        }
        // The clicked point, as a fraction of the page, comes to the centre.
        const double fx = pb->Width() > 0 ? double(X) / pb->Width() : 0.5;
        const double fy = pb->Height() > 0 ? double(Y) / pb->Height() : 0.5;
        ZoomBox->SetItemIndex(2);
        ZoomBoxChange(ZoomBox);
        TPanel* page = pb == PB2 ? PagePanel2 : PagePanel;
        const int viewW = ScrollBox1->ClientWidth() - (VScroll->Visible() ? VScroll->Width() : 0);
        const int viewH = ScrollBox1->ClientHeight() - (HScroll->Visible() ? HScroll->Height() : 0);
        HScroll->SetPosition(page->Left() + static_cast<int>(fx * page->Width()) - viewW / 2);
        VScroll->SetPosition(page->Top() + static_cast<int>(fy * page->Height()) - viewH / 2);
        PlaceContainer();
    } else if (Button == TMouseButton::mbLeft) {
        dragging_ = true;
        dragStart_ = pb->ClientToScreen(TPoint{X, Y});
    }
}

void TPreviewForm::PB1MouseMove(TObject* Sender, TShiftState, int X, int Y) {
    if (!dragging_) return;
    const TPoint p = static_cast<TControl*>(Sender)->ClientToScreen(TPoint{X, Y});
    HScroll->SetPosition(HScroll->Position() - (p.X - dragStart_.X));
    VScroll->SetPosition(VScroll->Position() - (p.Y - dragStart_.Y));
    dragStart_ = p;
    PlaceContainer();
}

void TPreviewForm::PB1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { dragging_ = false; }

void TPreviewForm::PrintButClick(TObject*) {
    PrintDialog1->MaxPage = 9999;
    PrintDialog1->ToPage = 1;
    PrintDialog1->PrintRange = false;
    PrintDialog1->FileName.clear();
    if (!PrintDialog1->Execute()) return;
    if (!PrintDialog1->FileName.empty()) Printer().SetOutputFileName(PrintDialog1->FileName);
    const int toPage = PrintDialog1->PrintRange ? PrintDialog1->ToPage : 9999;
    auto* status = new TPrnStatusForm(nullptr);
    bool abort = false;
    try {
        status->DoPrint(viewer_, std::max(PrintDialog1->FromPage, 1), toPage, abort);
    } catch (...) {
        status->Free();
        throw;
    }
    status->Free();
}

void TPreviewForm::PageNumSpeedClick(TObject*) {
    auto* go = new TGoPageForm(nullptr);
    go->SetMaxValue(PageCount());
    go->SetValue(curPage_ + 1);
    const TModalResult result = go->ShowModal();
    const int value = go->Value();
    go->Free();
    if (result == mrOk) SetCurPage(value - 1);
}

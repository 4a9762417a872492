// Printing and the preview's rendering: a copy of the document laid out at
// the printable width of the paper, in the print margins and at the print
// scale, cut into pages that are drawn clipped, one after the other.
#include <algorithm>
#include <cmath>

#include "html/layout/document.h"
#include "html/layout/table_layout.h"
#include "html/view/html_viewer.h"
#include "html/view/metafile_printer.h"
#include "html/view/vw_print.h"
#include "platform/gui/application.h"
#include "platform/gui/printer.h"

namespace {

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return 0;
    return static_cast<int>(std::llround(static_cast<double>(value) * numerator / denominator));
}

// The page in printer pixels and in the document's logical units.
struct PageGeometry {
    int Lpi = 96;
    int LogX = 96, LogY = 96;
    int PageWidthPx = 0, PageHeightPx = 0;  // printable area
    int PaperWidthPx = 0, PaperHeightPx = 0;
    int LeftPx = 0, TopPx = 0, WidthPx = 0, HeightPx = 0;
    // Logical units.
    int Left = 0, Top = 0, Width = 0, Height = 0, PageWidth = 0, PageHeight = 0;

    // lpi > 0 replaces the scale's logical units an inch.
    void Compute(const TDeviceCaps& caps, double scale, long double ml, long double mr, long double mt,
                 long double mb, int lpi = 0) {
        // A larger scale prints everything larger: fewer logical units an inch.
        Lpi = lpi > 0 ? lpi : static_cast<int>(std::lround(96 / scale));
        LogX = std::max(caps.LogPixelsX, 1);
        LogY = std::max(caps.LogPixelsY, 1);
        PageWidthPx = caps.HorzRes;
        PageHeightPx = caps.VertRes;
        PaperWidthPx = caps.PhysicalWidth;
        PaperHeightPx = caps.PhysicalHeight;
        const int rightStrip = std::max(caps.PhysicalWidth - caps.HorzRes - caps.PhysicalOffsetX, 0);
        const int bottomStrip = std::max(caps.PhysicalHeight - caps.VertRes - caps.PhysicalOffsetY, 0);
        LeftPx = static_cast<int>(ml / 2.54L * LogX) - caps.PhysicalOffsetX;
        const int rightPx = static_cast<int>(mr / 2.54L * LogX) - rightStrip;
        TopPx = static_cast<int>(mt / 2.54L * LogY) - caps.PhysicalOffsetY;
        const int bottomPx = static_cast<int>(mb / 2.54L * LogY) - bottomStrip;
        // Margins narrower than the unprintable strips are the strips: what
        // would be drawn there never reaches the paper.
        LeftPx = std::max(LeftPx, 0);
        TopPx = std::max(TopPx, 0);
        WidthPx = PageWidthPx - (LeftPx + std::max(rightPx, 0));
        HeightPx = PageHeightPx - (TopPx + std::max(bottomPx, 0));
        Left = MulDiv(LeftPx, Lpi, LogX);
        Top = MulDiv(TopPx, Lpi, LogY);
        Width = MulDiv(WidthPx, Lpi, LogX);
        Height = MulDiv(HeightPx, Lpi, LogY);
        PageWidth = MulDiv(PageWidthPx, Lpi, LogX);
        PageHeight = MulDiv(PageHeightPx, Lpi, LogY);
    }

    void Map(TCanvas& c) const {
        // Fonts are sized as on the screen; the mapping scales them to the paper.
        c.Font().SetPixelsPerInch(ScreenPixelsPerInch);
        c.SetMapMode(MM_ANISOTROPIC);
        c.SetWindowExtEx(Lpi, Lpi);
        c.SetViewportExtEx(LogX, LogY);
        c.SetWindowOrgEx(0, 0);
        c.SetViewportOrgEx(0, 0);
    }

    TRect ClipRect(bool clampToPage) const {
        TRect r{LeftPx, TopPx - 1, LeftPx + WidthPx + 2, TopPx + HeightPx + 2};
        if (clampToPage) {
            r.Left = std::max(r.Left, 0);
            r.Top = std::max(r.Top, 0);
            r.Right = std::min(r.Right, PageWidthPx);
            r.Bottom = std::min(r.Bottom, PageHeightPx);
        }
        return r;
    }
    TRegion Clip(bool clampToPage) const { return TRegion::FromRect(ClipRect(clampToPage)); }
    // The page's clip cut to a horizontal band given in logical units.
    TRegion Band(bool clampToPage, int top, int bottom) const {
        TRect r = ClipRect(clampToPage);
        r.Top = std::max(r.Top, MulDiv(top, LogY, Lpi));
        r.Bottom = std::min(r.Bottom, MulDiv(bottom, LogY, Lpi));
        if (r.Bottom < r.Top) r.Bottom = r.Top;
        return TRegion::FromRect(r);
    }
};

// A document with nothing in it to print: no section outside empty blocks.
bool NothingToPrint(const TCellBasic& cell) {
    for (const auto& s : cell) {
        const auto* b = dynamic_cast<const TBlock*>(s.get());
        if (!b || !NothingToPrint(*b->MyCell)) return false;
    }
    return true;
}

}  // namespace

void THTMLViewer::Print(int FromPage, int ToPage) { PrintPages(false, nullptr, FromPage, ToPage); }

void THTMLViewer::PrintPreview(TMetaFilePrinter* mfPrinter) {
    if (mfPrinter) PrintPages(true, mfPrinter, 1, 9999);
}

THTMLViewer* THTMLViewer::CreateHeaderFooterViewer() {
    auto* v = new THTMLViewer(nullptr);
    v->SetVisible(false);
    if (Parent()) v->SetParent(Parent());
    v->SetDefBackground(defBackground_);
    v->SetDefFontName(defFontName_);
    v->SetDefFontSize(defFontSize_);
    v->SetDefFontColor(defFontColor_);
    v->SetCharSet(charSet_);
    v->SetMarginHeight(0);
    v->sections_->Printing = true;
    return v;
}

void THTMLViewer::PrintPages(bool preview, TMetaFilePrinter* mfPrinter, int FromPage, int ToPage) {
    printedPages_ = 0;
    bool stop = false;
    if (OnPageEvent) OnPageEvent(this, 0, stop);
    if (processing_ || NothingToPrint(*sections_)) return;

    auto copy = std::make_unique<TSectionList>(*sections_);
    copy->BackgroundChange = nullptr;  // the copy's colour is not the screen's
    copy->SetYOffset(0);
    copy->Printing = true;
    copy->SetBackground(static_cast<TColor>(0xFFFFFF));

    std::unique_ptr<TvwPrinter> own;
    TvwPrinter* old = nullptr;
    TCanvas* canvas = nullptr;
    TDeviceCaps caps;
    if (preview) {
        mfPrinter->BeginDoc();
        canvas = &mfPrinter->GetCanvas();
        caps.LogPixelsX = mfPrinter->PixelsPerInchX;
        caps.LogPixelsY = mfPrinter->PixelsPerInchY;
        caps.PhysicalWidth = mfPrinter->PaperWidth;
        caps.PhysicalHeight = mfPrinter->PaperHeight;
        caps.PhysicalOffsetX = mfPrinter->OffsetX;
        caps.PhysicalOffsetY = mfPrinter->OffsetY;
        caps.HorzRes = mfPrinter->PageWidth;
        caps.VertRes = mfPrinter->PageHeight;
    } else {
        own = std::make_unique<TvwPrinter>();
        old = SetvwPrinter(own.get());
        own->Title = documentTitle_;
        try {
            own->BeginDoc();
        } catch (...) {
            SetvwPrinter(old);
            throw;
        }
        canvas = &own->Canvas();
        caps = own->DeviceCaps();
    }
    // Whatever happens below, the print object in force before comes back and
    // a job left open is dropped.
    struct Restore {
        std::unique_ptr<TvwPrinter>& own;
        TvwPrinter* old;
        bool preview;
        TMetaFilePrinter* mf;
        ~Restore() {
            if (preview) {
                if (mf->Printing()) mf->EndDoc();
                return;
            }
            if (own && own->Printing()) {
                try {
                    own->Abort();
                } catch (...) {
                }
            }
            SetvwPrinter(old);
        }
    } restore{own, old, preview, mfPrinter};

    const TPen savedPen = canvas->Pen();
    const TFont savedFont = canvas->Font();
    const TBrush savedBrush = canvas->Brush();

    // The side margins hold for the whole job (the layout's width follows
    // them); top and bottom may be changed between pages by the callbacks.
    const long double marginLeft = PrintMarginLeft, marginRight = PrintMarginRight;
    long double marginTop = PrintMarginTop, marginBottom = PrintMarginBottom;
    PageGeometry g;
    g.Compute(caps, printScale_, marginLeft, marginRight, marginTop, marginBottom);
    copy->ScaleX = 100.0f / static_cast<float>(g.LogX);
    copy->ScaleY = 100.0f / static_cast<float>(g.LogY);
    g.Map(*canvas);
    int maxWidth = 0, curs = 0;
    int docHeight = copy->Layout(*canvas, 0, std::max(g.Width, 1), std::max(g.Height, 1), 0, maxWidth, curs);
    // A document wider than the paper (a wide table in a large font) is drawn
    // smaller, alike on every page, rather than cut at the right margin. A
    // width beyond any use is shrunk no further than a tenth.
    const int maxLpi = 10 * g.Lpi;
    for (int tries = 0; tries < 4 && maxWidth > g.Width && g.Width > 0 && g.Lpi < maxLpi; ++tries) {
        const long long wider = (static_cast<long long>(g.Lpi) * maxWidth + g.Width - 1) / g.Width;
        g.Compute(caps, printScale_, marginLeft, marginRight, marginTop, marginBottom,
                  static_cast<int>(std::min<long long>(std::max<long long>(wider, g.Lpi + 1), maxLpi)));
        g.Map(*canvas);
        docHeight = copy->Layout(*canvas, 0, std::max(g.Width, 1), std::max(g.Height, 1), 0, maxWidth, curs);
    }
    if (Application) Application->ProcessMessages();
    if (OnPageEvent) OnPageEvent(this, 1, stop);

    std::unique_ptr<THTMLViewer> header, footer;
    if (OnPrintHTMLHeader) header.reset(CreateHeaderFooterViewer());
    if (OnPrintHTMLFooter) footer.reset(CreateHeaderFooterViewer());

    TRegion clip = g.Clip(preview);
    const bool printBackground = (options_ & htPrintBackground) != 0;
    int page = 1, top = 0;
    while (page <= ToPage && !stop) {
        if (preview) canvas = &mfPrinter->GetCanvas();
        const bool onPaper = page >= FromPage;
        // Pages before the range are drawn beside the paper: they only find
        // where the next page begins.
        const int shift = onPaper ? 0 : 3 * g.Width;
        const TRect pageRect{g.Left + shift, g.Top, g.Left + shift + g.Width, g.Top + g.Height};
        // below: the page's top band that a repeated head takes.
        // A pass beside the paper only finds where things fall: it draws
        // nothing, so that the page (or the preview's recording) holds none of it.
        auto pass = [&](int yOff, const TRegion& region, int dx, int below = 0) {
            copy->SetYOffset(yOff);
            g.Map(*canvas);
            canvas->SelectClipRgn(&region);
            const TRect r{pageRect.Left + dx, pageRect.Top + below, pageRect.Right + dx, pageRect.Bottom};
            canvas->SetDrawingOff(!onPaper || dx != 0);
            try {
                copy->Draw(*canvas, r, g.Width, g.Left + shift + dx, 0, 0, 0);
            } catch (...) {
                canvas->SetDrawingOff(false);
                throw;
            }
            canvas->SetDrawingOff(false);
        };
        // A page that ends early keeps the document's background below.
        auto backgroundBelow = [&] {
            const int bottom = std::max(copy->PageBottom - copy->YOff, g.Top);
            if (!onPaper || !printBackground || bottom >= pageRect.Bottom) return;
            canvas->SelectClipRgn(&clip);
            canvas->Brush().SetColor(sections_->Background);
            canvas->Brush().SetStyle(TBrushStyle::bsSolid);
            canvas->FillRect(TRect{pageRect.Left, bottom, pageRect.Right, pageRect.Bottom});
        };
        g.Map(*canvas);
        if (onPaper && printBackground) {
            canvas->SelectClipRgn(&clip);
            canvas->Brush().SetColor(sections_->Background);
            canvas->Brush().SetStyle(TBrushStyle::bsSolid);
            canvas->FillRect(pageRect);
        }
        // A table whose head and foot repeat on every page it reaches leaves
        // its part record in the copy: the page is then drawn in bands, the
        // head at the top, the body under it and the foot under the body.
        int headHeight = 0, bodyYOff = top - g.Top;
        for (int passes = 0; passes < 6; ++passes) {
            TTablePartRec* part = copy->TablePartRec;
            const int state = part ? part->TablePart : tpNormal;
            if (passes > 0 && (state == tpNormal || state == tpDoHead || state == tpDoBody3)) break;
            if (state == tpNormal) {
                // A pass beside the paper finds where the page ends; the page
                // is then drawn down to there and no further, so that what the
                // next page shows is not on this one too, hidden.
                copy->TablePartRec = nullptr;
                pass(bodyYOff, clip, 3 * g.Width + g.Left);
                const int bottom = copy->PageBottom - bodyYOff;
                copy->TablePartRec = nullptr;
                pass(bodyYOff, g.Band(preview, g.Top, bottom), 0);
                backgroundBelow();
            } else if (state == tpDoHead) {
                headHeight = std::min(part->PartHeight, g.Height / 2);
                pass(part->PartStart - g.Top, g.Band(preview, g.Top, g.Top + headHeight), 0);
                if (part->TablePart == tpDoHead) part->TablePart = tpDoBody1;
            } else if (state == tpDoFoot) {
                const int pageBottom = copy->PageBottom;
                const int bandTop = pageBottom - bodyYOff;
                pass(part->PartStart - bandTop, g.Band(preview, bandTop, bandTop + part->PartHeight), 0);
                copy->PageBottom = pageBottom;
                copy->SetYOffset(bodyYOff);
                if (part->TablePart == tpDoFoot) copy->TablePartRec = nullptr;  // the table drew no foot
            } else {
                // The body: a pass beside the paper finds the page's bottom,
                // then the page is drawn down to it.
                bodyYOff = top - (g.Top + headHeight);
                pass(bodyYOff, clip, 3 * g.Width + g.Left, headHeight);
                const int bottom = copy->PageBottom - bodyYOff;
                copy->TablePartRec = part;
                part->TablePart = tpDoBody2;
                pass(bodyYOff, g.Band(preview, g.Top + headHeight, bottom), 0, headHeight);
                if (part->TablePart != tpNormal) backgroundBelow();
            }
        }
        canvas->SelectClipRgn(nullptr);

        const int level = canvas->SaveDC();
        if (preview) {
            TRegion whole = TRegion::FromRect(TRect{0, 0, g.PageWidthPx, g.PageHeightPx});
            canvas->SelectClipRgn(&whole);
        }
        // Pages before the range are drawn only to find where the next one
        // begins: nothing of them is printed, nor are their headers and
        // footers asked for.
        if (onPaper) {
            if (OnPrintHeader) {
                canvas->SetWindowOrgEx(0, 0);
                OnPrintHeader(this, *canvas, page, g.PageWidth, g.Top, stop);
            }
            if (OnPrintFooter) {
                canvas->SetWindowOrgEx(0, -(g.Top + g.Height));
                OnPrintFooter(this, *canvas, page, g.PageWidth, g.PageHeight - (g.Top + g.Height), stop);
            }
            const bool lastPage = copy->PageBottom >= docHeight;
            auto htmlBand = [&](THTMLViewer* hf, const ThtmlPagePrinted& event, bool isHeader) {
                int xl = g.Left, xr = g.Left + g.Width;
                event(this, hf, page, lastPage, xl, xr, stop);
                if (hf->sections_->Count() == 0) return;
                TSectionList band(*hf->sections_);
                band.BackgroundChange = nullptr;
                band.Printing = true;
                band.ScaleX = copy->ScaleX;
                band.ScaleY = copy->ScaleY;
                g.Map(*canvas);
                int mw = 0, c = 0;
                const int height = band.Layout(*canvas, 0, std::max(xr - xl, 1), 300, 0, mw, c);
                TRect r{xl, 0, xr, g.Top};
                if (isHeader) {
                    band.SetYOffset(height - g.Top);
                } else {
                    const int bandTop = g.Top + g.Height;
                    r.Bottom = std::min(g.PageHeight - bandTop, height);
                    canvas->SetWindowOrgEx(0, -bandTop);
                    band.SetYOffset(0);
                }
                if (printBackground) {
                    canvas->Brush().SetColor(hf->sections_->Background);
                    canvas->Brush().SetStyle(TBrushStyle::bsSolid);
                    canvas->FillRect(r);
                }
                band.Draw(*canvas, r, xr - xl, xl, 0, 0, 0);
            };
            if (header) htmlBand(header.get(), OnPrintHTMLHeader, true);
            if (footer) htmlBand(footer.get(), OnPrintHTMLFooter, false);
        }
        canvas->RestoreDC(level);
        canvas->SetPen(savedPen);
        canvas->SetFont(savedFont);
        canvas->SetBrush(savedBrush);
        if (PrintMarginTop != marginTop || PrintMarginBottom != marginBottom) {
            // A callback moved the top or bottom margin: the next pages follow it.
            marginTop = PrintMarginTop;
            marginBottom = PrintMarginBottom;
            g.Compute(caps, printScale_, marginLeft, marginRight, marginTop, marginBottom, g.Lpi);
            clip = g.Clip(preview);
        }

        const int nextTop = copy->PageBottom;
        if (Application) Application->ProcessMessages();
        if (OnPageEvent) OnPageEvent(this, page, stop);
        // The end of the document, or a page that could not advance.
        if (nextTop >= docHeight - marginHeight_ || nextTop <= top) stop = true;
        top = nextTop;
        if (!stop) {
            if (preview) {
                mfPrinter->NewPage();
            } else if (FromPage <= page && page < ToPage) {
                own->NewPage();
                if (!own->Printing()) stop = true;  // the job was aborted
            }
        }
        ++page;
    }
    printedPages_ = page - 1;
    if (preview) {
        mfPrinter->EndDoc();
    } else if (own->Printing()) {
        // A range that starts past the page after the last one prints nothing;
        // one that starts just past the last page ends with a blank page.
        if (page < FromPage) own->Abort();
        else own->EndDoc();
    }
}

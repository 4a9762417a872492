// Paragraph drawing, selection copy, hit tests, searching and position
// conversions. Hit tests take document coordinates: the horizontal scroll
// and the vertical offset added back to the paint panel's point.
#include <algorithm>
#include <climits>

#include "html/images/viewer_globals.h"
#include "html/layout/blocks.h"
#include "html/layout/form_controls.h"
#include "html/layout/section.h"

namespace {

constexpr char16_t Placeholder = 4, HardBreak = 8;

TColor ForPrint(TSectionList* list, TColor c, TCanvas& canvas) {
    if (!list->Printing) return c;
    const TColor rgb = ColorToRGB(c);
    if (list->PrintMonoBlack && canvas.GetDeviceCaps(NUMCOLORS) > 0 && canvas.GetDeviceCaps(NUMCOLORS) < 3 &&
        rgb != 0xFFFFFF)
        return clBlack;
    if (!list->PrintTableBackgrounds && !list->PrintBackground && (rgb & 0xE0E0) == 0xE0E0)
        return static_cast<TColor>(0x02A0A0A0);
    return c;
}

}  // namespace

int TSection::LineAt(int Offset) const {
    for (size_t i = 0; i < Lines.size(); ++i) {
        const LineRec& lr = Lines[i];
        if (lr.Ln > 0 && Offset >= lr.Start && Offset < lr.Start + lr.Ln) return static_cast<int>(i);
    }
    return -1;
}

// ---------------------------------------------------------------- drawing

void TSection::BuildBorderList(LineRec& LR) {
    LR.BorderList.clear();
    TSectionList* list = ParentSectionList;
    if (!list || !list->InlineList) return;
    TInlineList& il = *list->InlineList;
    const int lineB = StartCurs + LR.Start, lineE = lineB + LR.Ln;
    for (int i = 0; i < il.Count(); ++i) {
        const int sb = il.GetStartB(i), eb = il.GetEndB(i);
        if (eb <= lineB || sb >= lineE) continue;
        BorderRec br;
        br.OpenStart = sb < lineB;
        br.OpenEnd = eb > lineE;
        br.BStart = std::max(sb, lineB) - StartCurs;
        br.BEnd = std::min(eb, lineE) - StartCurs;
        br.MargArray = il[i]->MargArray;
        LR.BorderList.push_back(br);
    }
}

void TSection::DrawTheText(TCanvas& Canvas, const TRect&, IndentManager& IMgr, LineRec& LR, int X, int Y,
                           int Start, bool FirstPass) {
    (void)Start;
    TSectionList* list = ParentSectionList;
    const char16_t* b = BuffS.c_str();
    const int YB = Y;  // line bottom (screen)
    const int baseline = YB - LR.Descent;
    const int lineTop = YB - LR.LineHt;
    const int yOff = list ? list->YOff : 0;
    int x = X + LR.LineIndent;
    LR.DrawXX = x - (list ? list->DrawOriginX : 0);
    LR.DrawY = lineTop + yOff;
    const bool printing = list && list->Printing;
    const bool isCopy = list && list->IsCopy;
    const int selB = isCopy || !list ? 0 : list->SelB;
    const int selE = isCopy || !list ? 0 : list->SelE;
    const int end = LR.Start + LR.Ln;
    if (LR.Spaces > 0 && LR.Extra > 0) Canvas.SetTextJustification(LR.Extra, LR.Spaces);

    auto updateBoxes = [&](int from, int to, int x1, int x2, int top, int bottom) {
        for (BorderRec& br : LR.BorderList) {
            if (to <= br.BStart || from >= br.BEnd) continue;
            if (!br.RectSet) {
                br.BRectLeft = x1;
                br.BRectTop = top;
                br.BRectRight = x2;
                br.BRectBottom = bottom;
                br.RectSet = true;
            } else {
                br.BRectLeft = std::min(br.BRectLeft, x1);
                br.BRectTop = std::min(br.BRectTop, top);
                br.BRectRight = std::max(br.BRectRight, x2);
                br.BRectBottom = std::max(br.BRectBottom, bottom);
            }
        }
    };

    int I = LR.Start;
    while (I < end) {
        if (b[I] == Placeholder) {
            TFloatingObj* obj = Images.FindImage(I);
            int idx = 0;
            TFontObj* fo = Fonts.GetFontObjAt(I, idx);
            if (obj) {
                if (obj->IsFloating()) {
                    // A float sits in the room the indent manager kept for it.
                    const int px = IMgr.LfEdge + obj->Indent, py = obj->DrawYY - yOff + obj->VSpaceT;
                    if (!FirstPass && obj->IsPanel()) {
                        auto* p = static_cast<TPanelObj*>(obj);
                        if (printing) p->Draw(Canvas, px, py);
                        else if (p->Panel) {
                            p->Panel->SetBounds(px, py, p->Panel->Width(), p->Panel->Height());
                            p->ShowIt = true;
                        }
                    } else if (!FirstPass && list) {
                        list->DrawList.AddImage(static_cast<TImageObj*>(obj), Canvas, px, py, 0, fo);
                    }
                } else {
                    int iy;
                    switch (obj->Floating) {
                    case ATop: iy = lineTop + obj->VSpaceT; break;
                    case AMiddle: iy = YB - fo->tmHeight / 2 - (obj->ImageHeight - obj->VSpaceT + obj->VSpaceB) / 2; break;
                    default: iy = baseline - obj->ImageHeight - obj->VSpaceB; break;
                    }
                    const int ix = x + obj->HSpaceL;
                    if (!FirstPass) {
                        if (obj->IsPanel()) {
                            auto* p = static_cast<TPanelObj*>(obj);
                            if (printing) p->Draw(Canvas, ix, iy);
                            else if (p->Panel) {
                                p->Panel->SetBounds(ix, iy, p->Panel->Width(), p->Panel->Height());
                                p->ShowIt = true;
                            }
                        } else {
                            static_cast<TImageObj*>(obj)->Draw(Canvas, ix, iy, 0, fo);
                        }
                    }
                    const int w = obj->ImageWidth + obj->HSpaceL + obj->HSpaceR;
                    updateBoxes(I, I + 1, ix, ix + obj->ImageWidth, iy, iy + obj->ImageHeight);
                    x += w;
                }
            } else if (TFormControlObj* c = FormControls.FindControl(I)) {
                int cy;
                const int H = c->Height();
                switch (c->VertAlign) {
                case ATop: cy = lineTop + c->VSpaceT; break;
                case AMiddle: cy = YB - (LR.LineHt + H) / 2; break;
                case ABaseline: cy = baseline - H - c->VSpaceB; break;
                default: cy = YB - H - c->VSpaceB; break;
                }
                if (c->IsRadio()) cy += 2;
                else if (c->IsCheckBox()) cy += 1;
                const int cx = x + c->HSpaceL;
                if (!FirstPass) {
                    if (printing) {
                        c->Draw(Canvas, cx, cy);
                    } else {
                        c->PlaceAt(cx, cy);
                        if ((c->IsRadio() || c->IsCheckBox()) && c->Focused()) {
                            const int sz = c->IsRadio() && ScreenPixelsPerInch > 100 ? 18 : 16;
                            Canvas.Brush().SetColor(clWhite);
                            Canvas.DrawFocusRect(TRect{cx - 2, cy - 2, cx + sz, cy + sz});
                        }
                    }
                }
                x += c->Width() + c->HSpaceL + c->HSpaceR;
            }
            ++I;
            continue;
        }
        // A text piece: to the next run, object, control, selection change or line end.
        int pieceEnd = I + TextRunLength(I, end - I);
        const int docI = StartCurs + I;
        const bool selected = docI >= selB && docI < selE;
        if (selected) pieceEnd = std::min(pieceEnd, selE - StartCurs);
        else if (docI < selB) pieceEnd = std::min(pieceEnd, std::max(I + 1, selB - StartCurs));
        if (pieceEnd <= I) pieceEnd = I + 1;

        int idx = 0;
        TFontObj* fo = Fonts.GetFontObjAt(I, idx);
        fo->TheFont->AssignToCanvas(Canvas);
        int count = pieceEnd - I;
        const bool lastPiece = pieceEnd == end;
        int drawCount = count;
        if (lastPiece && drawCount > 0 && (b[I + drawCount - 1] == u' ' || b[I + drawCount - 1] == HardBreak))
            --drawCount;
        std::u16string text(b + I, static_cast<size_t>(drawCount));
        for (auto& ch : text)
            if (ch == HardBreak || ch == 2) ch = u' ';
        if (lastPiece && LR.Shy) text += u'-';
        int offset = 0;
        if (fo->SScript == 9) offset = -fo->FontHeight / 3;
        else if (fo->SScript == 8) offset = fo->Descent / 2 + 1;

        TColor textColor = fo->TheFont->Color();
        const TColor bk = fo->TheFont->BkColor;
        if (list) textColor = ForPrint(list, textColor, Canvas);
        int width = 0;
        if (!text.empty()) {
            TSize sz;
            Canvas.GetTextExtentPoint32W(text.data(), static_cast<int>(text.size()), sz);
            width = sz.cx;
        }
        if (!FirstPass) {
            if (!selected) {
                if (bk != clNone) {
                    Canvas.SetBkMode(OPAQUE);
                    Canvas.SetBkColor(bk);
                } else {
                    Canvas.SetBkMode(TRANSPARENT);
                }
                Canvas.SetTextColor(textColor);
            } else {
                Canvas.SetBkMode(OPAQUE);
                Canvas.SetBkColor(textColor);
                Canvas.SetTextColor(bk != clNone ? bk : static_cast<TColor>(ColorToRGB(textColor) ^ 0xFFFFFF));
            }
            Canvas.SetTextAlign(TA_BASELINE);
            if (!text.empty()) {
                if (IsPreFormated() && !(OwnerBlock && OwnerBlock->HideOverflow)) {
                    TRect clip{x, lineTop, x + width, YB + 1};
                    Canvas.ExtTextOutW(x, baseline + offset, ETO_CLIPPED, &clip, text.data(),
                                       static_cast<int>(text.size()));
                } else {
                    Canvas.ExtTextOutW(x, baseline + offset, 0, nullptr, text.data(), static_cast<int>(text.size()));
                }
            }
            if (list && list->ShowDummyCaret && list->SelB == list->SelE && list->SelB == docI) {
                Canvas.Pen().SetColor(textColor);
                Canvas.MoveTo(x, baseline - fo->tmHeight + fo->Descent);
                Canvas.LineTo(x, baseline + fo->Descent);
            }
            if (fo->Active && !printing) {
                Canvas.Brush().SetColor(clWhite);
                Canvas.SetTextColor(clBlack);
                Canvas.DrawFocusRect(TRect{x, lineTop, x + width, YB});
            }
            if (printing && list && list->LinkDrawnEvent && !fo->Link().URL.empty())
                list->LinkDrawnEvent(list->TheOwner, list->PrintingPage, fo->Link().URL, fo->Link().Target,
                                     TRect{x, lineTop, x + width, YB});
        }
        updateBoxes(I, pieceEnd, x, x + width, lineTop, YB);
        x += width;
        I = pieceEnd;
    }
    if (list && list->ShowDummyCaret && !FirstPass && list->SelB == list->SelE &&
        list->SelB == StartCurs + Len && end == Len) {
        Canvas.MoveTo(x, lineTop);
        Canvas.LineTo(x, YB);
    }
    if (LR.Spaces > 0 && LR.Extra > 0) Canvas.SetTextJustification(0, 0);
}

bool TSection::DrawReach(int& Top, int& Bottom) {
    // As Draw: nothing from 40 pixels beyond its drawn height on.
    if (Len == 0) {
        Top = INT_MAX;
        Bottom = INT_MIN;
    } else {
        Top = ContentTop - 40;
        Bottom = ContentTop + DrawHeight + 40;
    }
    return true;
}

int TSection::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int, int) {
    const int result = ContentTop + SectionHeight;
    TSectionList* list = ParentSectionList;
    if (Len == 0 || !list) return result;
    const int yOff = list->YOff;
    const int YO = ContentTop - yOff;
    if (YO - 40 > ARect.Bottom || YO + DrawHeight + 40 < ARect.Top) return result;
    const bool printing = list->Printing;
    const bool hasBoxes = list->InlineList && list->InlineList->Count() > 0;
    const bool inAbsolute = OwnerBlock && OwnerBlock->Positioning == 1;
    const int pageHeight = ARect.Bottom - ARect.Top;
    const unsigned oldAlign = Canvas.SetTextAlign(TA_BASELINE);
    int Y = YO;
    for (LineRec& LR : Lines) {
        const int step = LR.SpaceBefore + LR.LineHt + LR.SpaceAfter;
        bool draw = true;
        if (!printing) {
            if (Y + LR.LineImgHt + 40 < ARect.Top || Y - 40 > ARect.Bottom) draw = false;
        } else {
            const int docTop = Y + yOff;
            const int docBottom = docTop + LR.LineImgHt;
            if (docBottom > list->PageBottom) {
                if (!(LR.LineImgHt > pageHeight || list->PageShortened || inAbsolute)) {
                    list->PageBottom = docTop;
                    list->PageShortened = true;
                    draw = false;
                }
            } else if (!(docBottom > ARect.Top + yOff)) {
                draw = false;
            }
            // A line below the page's end is the next page's.
            if (docTop >= list->PageBottom) draw = false;
        }
        if (!draw || LR.Ln == 0) {
            Y += step;
            continue;
        }
        const int YB = Y + LR.SpaceBefore + LR.LineHt;
        LR.FirstDraw = hasBoxes;
        if (hasBoxes) {
            BuildBorderList(LR);
            DrawTheText(Canvas, ARect, IMgr, LR, X, YB, LR.Start, true);
            for (const BorderRec& br : LR.BorderList)
                if (br.RectSet) br.DrawInlineBorder(Canvas, 0, 0, printing);
        }
        DrawTheText(Canvas, ARect, IMgr, LR, X, YB, LR.Start, false);
        Y += step;
    }
    Canvas.SetTextAlign(oldAlign);
    return result;
}

// ---------------------------------------------------------------- selection

void TSection::CopySelectionToBuffer(SelTextCount& Buffer) {
    TSectionList* list = ParentSectionList;
    if (!list || Len == 0) return;
    const int selB = list->SelB, selE = list->SelE;
    const char16_t* b = BuffS.c_str();
    for (size_t i = 0; i < Lines.size(); ++i) {
        const LineRec& lr = Lines[i];
        if (lr.Ln == 0) continue;
        const int lb = StartCurs + lr.Start, le = lb + lr.Ln;
        int from = std::max(selB, lb), to = std::min(selE, le);
        if (from >= to) continue;
        if (to == StartCurs + Len) --to;  // the closing space
        if (to > from) Buffer.AddText(b + (from - StartCurs), to - from);
    }
    // A selection that reaches the paragraph's end takes its line end too,
    // and one that goes beyond the end of a p element another one.
    static const char16_t crlf[] = {13, 10};
    if (selE >= StartCurs + Len) Buffer.AddText(crlf, 2);
    if (InPlaceOfBlock && selE > StartCurs + Len) Buffer.AddText(crlf, 2);
}

// ---------------------------------------------------------------- hit tests

unsigned TSection::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                             std::string& ATitle) {
    TSectionList* list = ParentSectionList;
    int IX = 0, IY = 0, posn = 0;
    bool isMap = false;
    TMapItem* map = nullptr;
    TImageObj* img = nullptr;
    if (Images.ImageAtPoint(X, Y, IX, IY, posn, isMap, map, img)) {
        unsigned result = 0;
        if (list) list->ActiveImage = img;
        if (!img->ImageTitle.empty()) {
            ATitle = img->ImageTitle;
            result |= guTitle;
        } else if (!img->AltText.empty()) {
            ATitle = img->AltText;
            result |= guTitle;
        }
        if (img->MyFormControl) {
            FormControl = img->MyFormControl;
            if (auto* input = dynamic_cast<TImageFormControlObj*>(FormControl)) {
                input->XTmp = IX;
                input->YTmp = IY;
            }
            return result | guControl;
        }
        if (img->UseMap) {
            std::string t;
            if (map && map->GetURL(IX, IY, UrlTarg, t)) {
                result |= guUrl;
                if (!t.empty()) {
                    ATitle = t;
                    result |= guTitle;
                }
            }
            return result;
        }
        int idx = 0;
        TFontObj* fo = Fonts.GetFontObjAt(img->Pos, idx);
        if (fo && !fo->Link().URL.empty()) {
            UrlTarg.Copy(fo->Link());
            if (img->IsMap) UrlTarg.URL += "?" + std::to_string(IX) + "," + std::to_string(IY);
            if (list) list->ActiveLink = fo;
            result |= guUrl;
        }
        return result;
    }
    for (LineRec& lr : Lines) {
        if (lr.Ln == 0 || !(lr.DrawY < Y && Y <= lr.DrawY + lr.LineHt)) continue;
        if (X < lr.DrawXX) return 0;
        const bool just = lr.Spaces > 0 && lr.Extra > 0;
        if (just) Canvas.SetTextJustification(lr.Extra, lr.Spaces);
        ResetFitCache();
        const int cnt = FindCountThatFits(Canvas, X - lr.DrawXX, lr.Start, lr.Ln);
        if (just) Canvas.SetTextJustification(0, 0);
        ResetFitCache();
        if (cnt >= lr.Ln) return 0;
        const int at = lr.Start + cnt;
        int idx = 0;
        TFontObj* fo = Fonts.GetFontObjAt(at, idx);
        unsigned result = 0;
        if (BuffS[static_cast<size_t>(at)] != Placeholder && fo) {
            if (!fo->Link().URL.empty()) {
                UrlTarg.Copy(fo->Link());
                if (list) list->ActiveLink = fo;
                result |= guUrl;
            }
            if (!fo->Title().empty()) {
                ATitle = fo->Title();
                result |= guTitle;
            }
        }
        return result;
    }
    return 0;
}

bool TSection::GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff) {
    return Images.ObjectAtPoint(X, Y, Obj, XOff, YOff);
}

int TSection::FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext) {
    if (Len == 0) return -1;
    int y = YDraw;
    for (const LineRec& lr : Lines) {
        const int h = lr.SpaceBefore + lr.LineHt + lr.SpaceAfter;
        if (Y >= y + h || lr.Ln == 0) {
            y += h;
            continue;
        }
        if (Y < y) return -1;
        YR = y;
        CaretHt = lr.LineHt + lr.SpaceBefore + lr.SpaceAfter;
        if (X < lr.DrawXX) {
            XR = lr.DrawXX;
            Intext = false;
            return StartCurs + lr.Start;
        }
        if (X >= lr.DrawXX + lr.DrawWidth) return -1;
        const bool just = lr.Spaces > 0 && lr.Extra > 0;
        if (just) Canvas.SetTextJustification(lr.Extra, lr.Spaces);
        ResetFitCache();
        int cnt = FindCountThatFits(Canvas, X - lr.DrawXX, lr.Start, lr.Ln);
        ResetFitCache();
        int caret = lr.DrawXX + TextWidth(Canvas, lr.Start, cnt, false);
        Intext = cnt < lr.Ln;
        if (cnt < lr.Ln) {
            const int w = TextWidth(Canvas, lr.Start + cnt, 1, false);
            if (caret + w / 2 < X) {
                ++cnt;
                caret += w;
            }
        }
        if (just) Canvas.SetTextJustification(0, 0);
        XR = caret;
        return StartCurs + lr.Start + cnt;
    }
    return -1;
}

bool TSection::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) {
    if (Len == 0 || Cursor < StartCurs || Cursor >= StartCurs + Len) return false;
    const int off = Cursor - StartCurs;
    int y = YDraw;
    for (const LineRec& lr : Lines) {
        if (lr.Ln > 0 && off >= lr.Start && off < lr.Start + lr.Ln) {
            Y = y;
            if (Canvas) {
                const bool just = lr.Spaces > 0 && lr.Extra > 0;
                if (just) Canvas->SetTextJustification(lr.Extra, lr.Spaces);
                X = lr.DrawXX + TextWidth(*Canvas, lr.Start, off - lr.Start, false);
                if (just) Canvas->SetTextJustification(0, 0);
            } else {
                X = lr.DrawXX;
            }
            return true;
        }
        y += lr.SpaceBefore + lr.LineHt + lr.SpaceAfter;
    }
    return false;
}

// ---------------------------------------------------------------- searching

int TSection::FindString(int From, const std::u16string& ToFind, bool MatchCase) {
    if (Len == 0 || ToFind.empty() || From >= StartCurs + Len) return -1;
    const std::u16string text = MatchCase ? BuffS : WideLowerCase(BuffS);
    const size_t start = static_cast<size_t>(std::max(0, From - StartCurs));
    const size_t p = text.find(ToFind, start);
    return p == std::u16string::npos ? -1 : StartCurs + static_cast<int>(p);
}

int TSection::FindStringR(int From, const std::u16string& ToFind, bool MatchCase) {
    if (Len == 0 || ToFind.empty() || From < StartCurs) return -1;
    const std::u16string text = MatchCase ? BuffS : WideLowerCase(BuffS);
    const size_t start = static_cast<size_t>(std::min(From - StartCurs, Len));
    const size_t p = text.rfind(ToFind, start);
    return p == std::u16string::npos ? -1 : StartCurs + static_cast<int>(p);
}

int TSection::FindSourcePos(int DocPos) {
    const int off = DocPos - StartCurs;
    if (Len == 0 || off < 0 || off >= Len || SourceIndexRuns.empty()) return -1;
    const IndexObj* best = &SourceIndexRuns.front();
    for (const IndexObj& r : SourceIndexRuns) {
        if (r.Pos > off) break;
        best = &r;
    }
    return best->Index + (off - best->Pos);
}

int TSection::FindDocPos(int SourcePos, bool Prev) {
    if (Len == 0 || SourceIndexRuns.empty()) return -1;
    const int n = static_cast<int>(SourceIndexRuns.size());
    auto runLen = [&](int k) {
        return (k + 1 < n ? SourceIndexRuns[static_cast<size_t>(k + 1)].Pos : Len) -
               SourceIndexRuns[static_cast<size_t>(k)].Pos;
    };
    const IndexObj& last = SourceIndexRuns.back();
    const int lastSource = last.Index + runLen(n - 1) - 1;
    const IndexObj& first = SourceIndexRuns.front();
    if (Prev) {
        if (SourcePos < first.Index) return -1;
        if (SourcePos > lastSource) return StartCurs + Len - 1;
    } else {
        if (SourcePos > lastSource) return -1;
        if (SourcePos <= first.Index) return StartCurs;
    }
    for (int k = 0; k < n; ++k) {
        const IndexObj& r = SourceIndexRuns[static_cast<size_t>(k)];
        const int len = runLen(k);
        if (SourcePos >= r.Index && SourcePos < r.Index + len) return StartCurs + r.Pos + (SourcePos - r.Index);
        if (k + 1 < n) {
            const IndexObj& nx = SourceIndexRuns[static_cast<size_t>(k + 1)];
            if (SourcePos >= r.Index + len && SourcePos < nx.Index)
                return Prev ? StartCurs + nx.Pos - 1 : StartCurs + nx.Pos;
        }
    }
    return -1;
}

bool TSection::GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj) {
    const int off = Pos - StartCurs;
    if (Len == 0 || off < 0 || off >= Len) return false;
    Ch = BuffS[static_cast<size_t>(off)];
    Obj = this;
    return true;
}

#include "html/layout/floating.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "html/images/gp_image.h"
#include "html/images/image_loading.h"
#include "html/images/viewer_globals.h"
#include "html/layout/borders.h"
#include "html/layout/document.h"
#include "html/layout/section.h"

namespace {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long r = static_cast<long long>(a) * b;
    // Rounded to nearest, halves away from zero.
    const long long q = (r >= 0) == (c > 0) ? (std::llabs(r) + std::abs(c) / 2) / std::abs(c)
                                            : -((std::llabs(r) + std::abs(c) / 2) / std::abs(c));
    return static_cast<int>(q);
}

std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

// A WIDTH or HEIGHT value: pixels, or a percentage 0..100 ("%" in the text);
// false when it is neither.
bool SizeValue(const std::string& text, int& value, bool& percent) {
    const std::string t = Trim(text);
    bool found = false;
    const int v = PageInteger(t, &found);
    if (!found) return false;
    percent = t.find('%') != std::string::npos;
    if (percent && (v < 0 || v > 100)) return false;
    value = v;
    return true;
}

int IntValue(const TAttribute& a) { return PageInteger(a.TextValue); }

TWinControl* PanelParent(TSectionList* list) {
    if (!list) return nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(list->PPanel)) return w;
    return list->TheOwner;
}

}  // namespace

// ---------------------------------------------------------------- TFloatingObj

TFloatingObj::TFloatingObj(const TFloatingObj& T) = default;

TFloatingObj::~TFloatingObj() = default;

void TFloatingObj::ProcessProperties(TProperties* Prop) {
    if (!Prop) return;
    int align = 0;
    if (Prop->GetVertAlign(align) && align >= ATop && align <= ABottom) Floating = static_cast<uint8_t>(align);
    if (Prop->GetFloat(align) && (align == ALeft || align == ARight)) {
        Floating = static_cast<uint8_t>(align);
        if (!HSpaceGiven) HSpaceL = HSpaceR = 3;
    }
    if (ImageTitle.empty()) ImageTitle = Prop->PropTitle;
    MargArrayO o;
    Prop->GetBorderStyles(o);
    MargArray m{};
    int autoCount = 0;
    ConvMargArray(o, 200, 200, Prop->EmSize, Prop->ExSize, autoCount, m);
    auto given = [&](int index) {
        const TPropValue& v = o[static_cast<size_t>(index)];
        return !v.IsEmpty() && !v.Is(IntNull) && !v.Is(ParaSpace);
    };
    auto px = [&](int index) {
        const TPropValue& v = o[static_cast<size_t>(index)];
        return v.IsText() ? LengthConv(v.Text(), false, 200, 0, Prop->ExSize, Prop->EmSize) : v.Int();
    };
    const bool border = Prop->HasBorderStyle();
    auto side = [&](int margin, int bw) { return px(margin) + (border && m[bw] > 0 ? m[bw] : 0); };
    if (given(piMarginLeft)) HSpaceL = side(piMarginLeft, piBorderLeftWidth);
    if (given(piMarginRight)) HSpaceR = side(piMarginRight, piBorderRightWidth);
    if (given(piMarginTop)) VSpaceT = side(piMarginTop, piBorderTopWidth);
    if (given(piMarginBottom)) VSpaceB = side(piMarginBottom, piBorderBottomWidth);
    auto size = [&](int index, int& spec, bool& pct) {
        if (!given(index)) return;
        const int v = m[index];
        if (v == Auto) {
            spec = -1;
            pct = false;
            return;
        }
        const TPropValue& pv = o[index];
        if (pv.IsText() && pv.Text().find('%') != std::string::npos) {
            pct = true;
            spec = MulDiv(v, 100, 200);
        } else {
            pct = false;
            spec = v;
        }
    };
    size(piWidth, SpecWidth, PercentWidth);
    size(piHeight, SpecHeight, PercentHeight);
    if (Prop->Props[piBorderStyle].Is("none")) {
        if (auto* img = dynamic_cast<TImageObj*>(this)) {
            img->NoBorder = true;
            img->BorderSize = 0;
        }
    }
}

// ---------------------------------------------------------------- TImageObj

TImageObj::TImageObj(TSectionList* AMasterList) : MasterList(AMasterList) {}

TImageObj::TImageObj(TSectionList* AMasterList, int Position, TAttributeList* L) : MasterList(AMasterList) {
    Pos = Position;
    Floating = ABottom;
    bool vspace = false;
    if (L) {
        for (const auto& a : *L) {
            switch (a->Symbol) {
            case SrcSy: Source = Trim(a->TextValue); break;
            case AltSy: {
                std::string alt = a->TextValue;
                while (!alt.empty() && (alt.back() == '\r' || alt.back() == '\n')) alt.pop_back();
                AltText = alt;
                ImageTitle = alt;
                AltTextW = MultibyteToWideString(a->CodePage, alt);
                break;
            }
            case IsMapSy: IsMap = true; break;
            case UseMapSy: {
                UseMap = true;
                std::string n = Upper(Trim(a->TextValue));
                if (!n.empty() && n[0] == '#') n.erase(0, 1);
                MapName = n;
                break;
            }
            case AlignSy: {
                const std::string v = Upper(Trim(a->TextValue));
                if (v == "TOP") Floating = ATop;
                else if (v == "MIDDLE" || v == "ABSMIDDLE") Floating = AMiddle;
                else if (v == "LEFT") Floating = ALeft;
                else if (v == "RIGHT") Floating = ARight;
                break;
            }
            case BorderSy: {
                const int v = IntValue(*a);
                NoBorder = v == 0;
                BorderSize = std::clamp(v, 0, 10);
                break;
            }
            case TranspSy: Transparent = LLCorner; break;
            case HSpaceSy:
                HSpaceL = std::min(40, std::abs(IntValue(*a)));
                HSpaceGiven = true;
                break;
            case VSpaceSy:
                VSpaceT = std::min(40, std::abs(IntValue(*a)));
                vspace = true;
                break;
            case WidthSy: {
                int v = 0;
                bool pc = false;
                if (SizeValue(a->TextValue, v, pc)) {
                    SpecWidth = v;
                    PercentWidth = pc;
                }
                break;
            }
            case HeightSy: {
                int v = 0;
                bool pc = false;
                if (SizeValue(a->TextValue, v, pc)) {
                    SpecHeight = v;
                    PercentHeight = pc;
                }
                break;
            }
            case ActiveSy: Active = true; break;
            case NameSy:
            case IDSy:
                if (MasterList && !Trim(a->TextValue).empty()) {
                    std::string n = a->TextValue;
                    for (auto& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                    MasterList->IDNameList.AddObject(n, this);
                }
                break;
            default: break;
            }
        }
        TAttribute* t = nullptr;
        if (L->Find(TitleSy, t)) ImageTitle = t->TextValue;
    }
    (void)vspace;
    if (!HSpaceGiven) HSpaceL = IsFloating() ? 3 : 0;
    HSpaceR = HSpaceL;
    VSpaceB = VSpaceT;
}

TImageObj::TImageObj(TSectionList* AMasterList, const TImageObj& T)
    : TFloatingObj(T),
      NoBorder(T.NoBorder),
      BorderSize(T.BorderSize),
      Active(T.Active),
      ObjHeight(T.ObjHeight),
      ObjWidth(T.ObjWidth),
      Source(T.Source),
      Image(T.Image),
      OrigImage(T.OrigImage),
      Mask(T.Mask),
      MasterList(AMasterList),
      IsMap(T.IsMap),
      UseMap(T.UseMap),
      MapName(T.MapName),
      Transparent(T.Transparent),
      Missing(T.Missing),
      Printing(true),
      fetched_(T.fetched_) {
    // The copy draws the source's picture; a GIF shows its current frame.
    if (T.ownGif_) {
        ownGif_ = T.ownGif_->CreateCopy();
        ownGif_->SetCurrentFrame(T.ownGif_->CurrentFrame());
        Image = ownGif_.get();
    }
}

TImageObj::~TImageObj() {
    if (MasterList) {
        if (MasterList->ActiveImage == this) MasterList->ActiveImage = nullptr;
        auto& gifs = MasterList->AGifList;
        if (ownGif_) gifs.erase(std::remove(gifs.begin(), gifs.end(), ownGif_.get()), gifs.end());
        auto& missing = MasterList->MissingImages;
        missing.erase(std::remove_if(missing.begin(), missing.end(), [this](const auto& e) { return e.second == this; }),
                      missing.end());
        if (cacheUser_ && !Printing && MasterList->BitmapList) MasterList->BitmapList->DecUsage(cacheKey_);
    }
}

std::unique_ptr<TImageObj> TImageObj::CreateFromURL(TSectionList* MasterList, const std::string& ImageName) {
    std::unique_ptr<TImageObj> r(new TImageObj(MasterList));
    r->Floating = ABottom;
    r->NoBorder = true;
    r->Source = ImageName;
    return r;
}

std::unique_ptr<TFloatingObj> TImageObj::CreateCopy(TSectionList* AMasterList) const {
    return std::make_unique<TImageObj>(AMasterList, *this);
}

bool TImageObj::ShowsStandIn() const {
    return !Image || Image == static_cast<TGraphic*>(ErrorImage) || Image == static_cast<TGraphic*>(DelayedImage);
}

TGIFImage* TImageObj::Gif() const { return dynamic_cast<TGIFImage*>(Image); }

void TImageObj::Layout(TCanvas& Canvas, int AvailableWidth, int AvailableHeight, TFontObj* FO) {
    TSectionList* list = MasterList;
    if (!fetched_ && list && list->ShowImages) {
        fetched_ = true;
        std::string name = Source;
        if (!list->GetImage && !list->GetBitmap) {
            if (list->ResolveFileName) name = list->ResolveFileName(Source);
        } else if (list->ExpandName) {
            std::string expanded;
            list->ExpandName(list->TheOwner, Source, expanded);
            if (!expanded.empty()) name = expanded;
        }
        for (const auto& m : list->MissingImages)
            if (m.first == name) Missing = true;
        TGraphic* got = nullptr;
        TBitmap* mask = nullptr;
        bool fromCache = false, delay = false;
        if (!Missing && !name.empty()) {
            try {
                got = list->GetTheBitmap(name, Transparent, mask, fromCache, delay);
            } catch (const std::exception&) {
                got = nullptr;  // a picture that cannot be decoded shows the error image
            }
        }
        if (!got) {
            if (delay || Missing) {
                Missing = true;
                Image = DelayedImage;
                Mask = nullptr;
                list->MissingImages.emplace_back(name, this);
            } else {
                Image = ErrorImage;
                Mask = ErrorImageMask;
                Transparent = LLCorner;
            }
        } else {
            cacheUser_ = true;
            std::string key = Trim(name);
            cacheKey_ = Upper(key);
            OrigImage = got;
            Mask = mask;
            if (auto* gif = dynamic_cast<TGIFImage*>(got)) {
                ownGif_ = gif->CreateCopy();
                Image = ownGif_.get();
                if (!Active && gif->IsAnimated()) list->AGifList.push_back(ownGif_.get());
            } else {
                Image = got;
            }
        }
    }

    const int B = BorderSize;
    const int W0 = Image ? std::max(1, GetImageWidth(Image)) : 16;
    const int H0 = Image ? std::max(1, GetImageHeight(Image)) : 16;
    const bool standIn = ShowsStandIn();
    int w = 0, h = 0;
    ImageKnown = false;
    if (PercentWidth) {
        w = MulDiv(AvailableWidth - 2 * B, SpecWidth, 100);
        if (SpecHeight < 0) h = MulDiv(w, H0, W0);
        else if (PercentHeight) h = MulDiv(AvailableHeight - 2 * B, SpecHeight, 100);
        else h = SpecHeight;
    } else if (PercentHeight) {
        h = MulDiv(AvailableHeight - 2 * B, SpecHeight, 100);
        w = SpecWidth >= 0 ? SpecWidth : MulDiv(h, W0, H0);
    } else if (SpecWidth >= 0 && SpecHeight >= 0) {
        w = SpecWidth;
        h = SpecHeight;
        ImageKnown = true;
    } else if (SpecWidth >= 0) {
        w = SpecWidth;
        h = MulDiv(w, H0, W0);
        ImageKnown = !standIn;
    } else if (SpecHeight >= 0) {
        h = SpecHeight;
        w = MulDiv(h, W0, H0);
        ImageKnown = !standIn;
    } else {
        w = W0;
        h = H0;
        ImageKnown = !standIn;
    }
    if (standIn && !ImageKnown) {
        if (SpecWidth >= 0 && !PercentWidth) w = SpecWidth;
        if (SpecHeight >= 0 && !PercentHeight) h = SpecHeight;
        if (SpecWidth < 0 && SpecHeight < 0) {
            if (!AltTextW.empty()) {
                TFont save = Canvas.Font();
                Canvas.Font().SetName("Arial");
                Canvas.Font().SetSize(8);
                Canvas.Font().SetStyle(0);
                TRect r{0, 0, 200, 0};
                Canvas.DrawTextW(AltTextW, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                Canvas.SetFont(save);
                w = r.Right - r.Left + 26;
                h = std::max(24, r.Bottom - r.Top);
            } else {
                w = std::max(w, 24);
                h = std::max(h, 24);
            }
        }
    }
    if (!NoBorder && FO && !FO->Link().URL.empty()) BorderSize = std::max(BorderSize, 1);
    ObjWidth = w;
    ObjHeight = h;
    ImageWidth = w + 2 * BorderSize;
    ImageHeight = h + 2 * BorderSize;
}

TBitmap* TImageObj::GetBitmap() {
    if (Image == static_cast<TGraphic*>(ErrorImage)) return nullptr;
    if (auto* gif = Gif()) return gif->GetBitmap();
    if (auto* bmp = dynamic_cast<TBitmap*>(Image)) {
        if (!bitmapCopy_) {
            bitmapCopy_ = std::make_unique<TBitmap>();
            bitmapCopy_->Assign(*bmp);
        }
        return bitmapCopy_.get();
    }
    if (auto* gp = dynamic_cast<TGpImage*>(Image)) {
        if (!bitmapCopy_) bitmapCopy_ = ConvertImage(*gp, gp->Width(), gp->Height());
        return bitmapCopy_.get();
    }
    return nullptr;
}

void TImageObj::SetHover(int Value) {
    if (Value == Hover) return;
    Hover = Value;
    TGIFImage* gif = Gif();
    if (!Active || !gif) return;
    const int n = gif->NumFrames();
    if (n == 2) {
        gif->SetCurrentFrame(Value ? 2 : 1);
    } else if (n == 3) {
        gif->SetCurrentFrame(Value == 2 ? 3 : Value == 1 ? 2 : 1);
    } else if (MasterList) {
        auto& gifs = MasterList->AGifList;
        if (Value) {
            gif->SetAnimate(true);
            if (std::find(gifs.begin(), gifs.end(), gif) == gifs.end()) gifs.push_back(gif);
        } else {
            gif->SetAnimate(false);
            if (n < 4) gif->SetCurrentFrame(1);
            gifs.erase(std::remove(gifs.begin(), gifs.end(), gif), gifs.end());
        }
    }
    if (MasterList) MasterList->Repaint();
}

namespace {

// A GDI+ image stretched into the rectangle, on the screen or on paper.
void DrawGp(TCanvas& Canvas, const TSectionList* list, const TGpImage& gp, int X, int Y, int W, int H) {
    if (!list || !list->Printing) StretchDrawGpImage(Canvas, gp, X, Y, W, H);
    else if (list->PrintBackground || list->PrintTableBackgrounds)
        // The printing canvas already maps the document's pixels to the
        // printer's: no scale of its own on top of that.
        StretchPrintGpImageDirect(Canvas, gp, X, Y, W, H, 1.0, 1.0);
    else
        StretchPrintGpImageOnColor(Canvas, gp, X, Y, W, H, clWhite);
}

// A bitmap stretched into the rectangle through its mask, when it has one.
void DrawBitmap(TCanvas& Canvas, bool printing, TBitmap& bmp, TBitmap* mask, int X, int Y, int W, int H) {
    if (printing) {
        if (mask) PrintBitmap1(Canvas, X, Y, W, H, mask, bmp, bmp.Height(), 0);
        else EnlargeImage(Canvas, X, Y, bmp, H, W);
    } else if (mask) {
        PrintTransparentBitmap(Canvas, bmp, *mask, H, W, Y, X);
    } else {
        Canvas.SetStretchBltMode(COLORONCOLOR);
        Canvas.StretchDraw(TRect{X, Y, X + W, Y + H}, bmp);
    }
}

}  // namespace

void TImageObj::DrawTiles(TCanvas& Canvas, const TTilePlan& Plan) {
    if (!Image) return;
    auto each = [&](const TRect& t) { DrawImage(Canvas, t.Left, t.Top, t.Width(), t.Height()); };
    if (Plan.Cols == 1 && Plan.Rows == 1) {
        Plan.ForEach(each);
        return;
    }
    const bool printing = MasterList && MasterList->Printing;
    if (auto* gif = Gif(); gif && !printing) {
        // Drawn, it animates; hidden, it draws nothing.
        if (!gif->Visible()) return;
        gif->SetShown(true);
    }
    const TRepeatedPicture tile(*Image, Mask, Plan.Cols, Plan.Rows);
    if (tile.Gp) {
        Plan.ForEach(
            [&](const TRect& t) { DrawGp(Canvas, MasterList, *tile.Gp, t.Left, t.Top, t.Width(), t.Height()); });
    } else if (tile.Bitmap) {
        Plan.ForEach([&](const TRect& t) {
            DrawBitmap(Canvas, printing, *tile.Bitmap, tile.Mask.get(), t.Left, t.Top, t.Width(), t.Height());
        });
    } else {
        // A picture of another kind: its copies one by one.
        const int w = Plan.TileWidth / Plan.Cols, h = Plan.TileHeight / Plan.Rows;
        Plan.ForEach([&](const TRect& t) {
            for (int r = 0; r < Plan.Rows; ++r)
                for (int c = 0; c < Plan.Cols; ++c) DrawImage(Canvas, t.Left + c * w, t.Top + r * h, w, h);
        });
    }
}

void TImageObj::DrawImage(TCanvas& Canvas, int X, int Y, int W, int H) {
    if (!Image || W <= 0 || H <= 0) return;
    const bool printing = MasterList && MasterList->Printing;
    if (auto* gp = dynamic_cast<TGpImage*>(Image)) {
        DrawGp(Canvas, MasterList, *gp, X, Y, W, H);
        return;
    }
    if (auto* gif = Gif()) {
        if (!printing) {
            gif->Draw(Canvas, X, Y, W, H);
        } else {
            TBitmap* mask = nullptr;
            TBitmap* frame = gif->FrameBitmap(mask);
            if (frame && mask) PrintBitmap1(Canvas, X, Y, W, H, mask, *frame, frame->Height(), 0);
            else if (frame) EnlargeImage(Canvas, X, Y, *frame, H, W);
        }
        return;
    }
    auto* bmp = dynamic_cast<TBitmap*>(Image);
    if (!bmp) {
        Canvas.StretchDraw(TRect{X, Y, X + W, Y + H}, *Image);
        return;
    }
    if (!printing && Mask && Image == static_cast<TGraphic*>(ErrorImage))
        PrintTransparentBitmap(Canvas, *bmp, *Mask, bmp->Height(), bmp->Width(), Y, X);
    else if (!printing && !Mask && ShowsStandIn())
        Canvas.Draw(X, Y, *bmp);
    else
        DrawBitmap(Canvas, printing, *bmp, Mask, X, Y, W, H);
}

void TImageObj::Draw(TCanvas& Canvas, int X, int TopY, int, TFontObj* FO) {
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    Canvas.Font().SetName("Arial");
    Canvas.Font().SetSize(8);
    Canvas.Font().SetStyle(0);
    const int B = BorderSize;
    const int yOff = MasterList ? MasterList->YOff : 0;
    DrawXX = X + B - (MasterList ? MasterList->DrawOriginX : 0);
    ShownY = TopY + B + yOff;
    const int x = X + B, y = TopY + B;
    const int w = ImageWidth - 2 * B, h = ImageHeight - 2 * B;
    const bool standIn = ShowsStandIn();
    if (!standIn) {
        DrawImage(Canvas, x, y, w, h);
    } else {
        if (w >= 24 && h >= 24 && Image) DrawImage(Canvas, x + 4, y + 4, GetImageWidth(Image), GetImageHeight(Image));
        if (B == 0) {
            if (!AltTextW.empty()) {
                Canvas.SetTextColor(FO ? FO->TheFont->Color() : clBlack);
                WrapTextW(Canvas, x + 24, y + 4, x + w - 2, y + h - 2, AltTextW);
            }
            DrawFormControlFrame(MasterList, Canvas, x, y, 1, false, x + ObjWidth, y + ObjHeight);
        }
    }
    if (B > 0) {
        const TColor c = FO ? FO->TheFont->Color() : clBlack;
        Canvas.Pen().SetColor(c);
        Canvas.Pen().SetWidth(1);
        Canvas.Brush().SetStyle(TBrushStyle::bsClear);
        for (int i = 0; i < B; ++i) Canvas.Rectangle(X + i, TopY + i, X + ImageWidth - i, TopY + ImageHeight - i);
    }
    if (FO && FO->Active && !(MasterList && MasterList->Printing)) {
        Canvas.Brush().SetColor(clWhite);
        Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        Canvas.SetTextColor(clBlack);
        Canvas.DrawFocusRect(TRect{X, TopY, X + ImageWidth, TopY + ImageHeight});
    }
}

// ---------------------------------------------------------------- panels

ThvPanel::ThvPanel(TComponent* AOwner) : TPanel(AOwner) {}

TPanelObj::TPanelObj(TSectionList* AMasterList, int Position, TAttributeList* L, TCellBasic*, bool)
    : MasterList(AMasterList) {
    Pos = Position;
    Floating = ABottom;
    Panel = std::make_unique<ThvPanel>(nullptr);
    Panel->FMasterList = AMasterList;
    Panel->SetBevelOuter(TPanelBevel::bvNone);
    Panel->SetBorderStyle(TBorderStyle::bsSingle);
    Panel->SetColor(clWhite);
    Panel->SetCaption("");
    Panel->SetBounds(-4000, -4000, 30, 20);
    if (TWinControl* parent = PanelParent(AMasterList)) Panel->SetParent(parent);
    int w = 30, h = 20;
    if (L) {
        for (const auto& a : *L) {
            switch (a->Symbol) {
            case HeightSy: {
                int v = 0;
                bool pc = false;
                if (SizeValue(a->TextValue, v, pc)) {
                    if (pc) {
                        PercentHeight = true;
                        SetHeight = std::clamp(v, 1, 100);
                    } else {
                        h = std::max(1, v);
                        SetHeight = h;
                    }
                }
                break;
            }
            case WidthSy: {
                int v = 0;
                bool pc = false;
                if (SizeValue(a->TextValue, v, pc)) {
                    if (pc) {
                        PercentWidth = true;
                        SetWidth = std::clamp(v, 1, 100);
                    } else {
                        w = std::max(0, v);
                        SetWidth = w;
                    }
                }
                break;
            }
            case HSpaceSy:
                HSpaceL = std::min(40, std::abs(IntValue(*a)));
                HSpaceGiven = true;
                break;
            case VSpaceSy: VSpaceT = std::min(40, std::abs(IntValue(*a))); break;
            case AlignSy: {
                const std::string v = Upper(Trim(a->TextValue));
                if (v == "TOP") Floating = ATop;
                else if (v == "MIDDLE" || v == "ABSMIDDLE") Floating = AMiddle;
                else if (v == "LEFT") Floating = ALeft;
                else if (v == "RIGHT") Floating = ARight;
                break;
            }
            case NameSy: PanelName = a->TextValue; break;
            case TypeSy: PanelType = a->TextValue; break;
            case SrcSy: PanelSource = a->TextValue; break;
            case AltSy: AltText = a->TextValue; break;
            default: break;
            }
        }
    }
    if (!HSpaceGiven) HSpaceL = IsFloating() ? 3 : 0;
    HSpaceR = HSpaceL;
    VSpaceB = VSpaceT;
    if (MasterList && MasterList->PanelCreateEvent)
        MasterList->PanelCreateEvent(MasterList->TheOwner, PanelName, PanelType, PanelSource, Panel.get());
    if (!PercentWidth) SetWidth = Panel->Width() != 30 ? Panel->Width() : w;
    if (!PercentHeight) SetHeight = Panel->Height() != 20 ? Panel->Height() : h;
    if (MasterList) MasterList->PanelList.push_back(this);
}

TPanelObj::TPanelObj(TSectionList* AMasterList, const TPanelObj& T)
    : TFloatingObj(T), MasterList(AMasterList), SetWidth(T.SetWidth), SetHeight(T.SetHeight), IsCopy(true),
      PanelName(T.PanelName), PanelType(T.PanelType), PanelSource(T.PanelSource) {
    Panel = std::make_unique<ThvPanel>(nullptr);
    Panel->SetBounds(-4000, -4000, T.Panel ? T.Panel->Width() : 30, T.Panel ? T.Panel->Height() : 20);
    if (T.Panel) {
        Panel->SetColor(T.Panel->Color());
        Panel->SetCaption(T.Panel->Caption());
    }
    Panel->Hide();
}

TPanelObj::~TPanelObj() {
    if (MasterList) {
        auto& panels = MasterList->PanelList;
        panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
        if (!IsCopy && MasterList->PanelDestroyEvent) MasterList->PanelDestroyEvent(MasterList->TheOwner, Panel.get());
    }
}

std::unique_ptr<TFloatingObj> TPanelObj::CreateCopy(TSectionList* AMasterList) const {
    return std::make_unique<TPanelObj>(AMasterList, *this);
}

void TPanelObj::Layout(TCanvas&, int AvailableWidth, int AvailableHeight, TFontObj*) {
    int w = PercentWidth ? MulDiv(AvailableWidth, SetWidth, 100) : SetWidth;
    int h = PercentHeight ? MulDiv(AvailableHeight, SetHeight, 100) : SetHeight;
    if (w <= 0) w = 30;
    if (h <= 0) h = 20;
    ImageWidth = w;
    ImageHeight = h;
    ImageKnown = !PercentWidth && !PercentHeight;
    if (Panel) Panel->SetBounds(Panel->Left(), Panel->Top(), w, h);
}

void TPanelObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    if (MasterList && MasterList->PanelPrintEvent) {
        TBitmap bmp;
        bmp.SetSize(ImageWidth, ImageHeight);
        MasterList->PanelPrintEvent(MasterList->TheOwner, Panel.get(), &bmp);
        Canvas.StretchDraw(TRect{X1, Y1, X1 + ImageWidth, Y1 + ImageHeight}, bmp);
        return;
    }
    Canvas.Brush().SetColor(Panel ? Panel->Color() : clWhite);
    Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    Canvas.Pen().SetColor(clBlack);
    Canvas.Rectangle(X1, Y1, X1 + ImageWidth, Y1 + ImageHeight);
    Canvas.Font().SetName("Arial");
    Canvas.Font().SetSize(8);
    TRect r{X1, Y1, X1 + ImageWidth, Y1 + ImageHeight};
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (Panel) Canvas.DrawText(Panel->Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---------------------------------------------------------------- TImageObjList

TImageObjList::TImageObjList(TSectionList* AMasterList, const TImageObjList& T) {
    for (const auto& o : T) Add(o->CreateCopy(AMasterList));
}

// The objects stand in their paragraph's order, so the first at or after a
// position is found by halving: a paragraph of thousands of pictures asks for
// each of them.
int TImageObjList::FirstAtOrAfter(int Posn) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if ((*this)[mid]->Pos < Posn) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

TFloatingObj* TImageObjList::FindImage(int Posn) const {
    const int i = FirstAtOrAfter(Posn);
    return i < Count() && (*this)[i]->Pos == Posn ? (*this)[i] : nullptr;
}

int TImageObjList::GetHeightAt(int Posn, uint8_t& AAlign, TFloatingObj*& FlObj) const {
    FlObj = FindImage(Posn);
    if (!FlObj) return -1;
    AAlign = FlObj->Floating;
    return FlObj->ImageHeight + FlObj->VSpaceT + FlObj->VSpaceB;
}

int TImageObjList::GetWidthAt(int Posn, uint8_t& AAlign, int& HSpcL, int& HSpcR, TFloatingObj*& FlObj) const {
    FlObj = FindImage(Posn);
    if (!FlObj) return -1;
    AAlign = FlObj->Floating;
    HSpcL = FlObj->HSpaceL;
    HSpcR = FlObj->HSpaceR;
    return FlObj->ImageWidth;
}

int TImageObjList::CharsToNextImage(int Posn) const {
    const int i = FirstAtOrAfter(Posn);
    return i < Count() ? (*this)[i]->Pos - Posn : 99999999;
}

void TImageObjList::DecrementPositions(int N) {
    for (const auto& o : *this)
        if (o->Pos > N) --o->Pos;
}

bool TImageObjList::ImageAtPoint(int X, int Y, int& IX, int& IY, int& Posn, bool& AMap, TMapItem*& MapItem,
                                 TImageObj*& AnImageObj) const {
    for (const auto& o : *this) {
        if (o->IsPanel()) continue;
        auto* img = static_cast<TImageObj*>(o.get());
        const int w = img->ImageWidth - 2 * img->BorderSize, h = img->ImageHeight - 2 * img->BorderSize;
        if (X >= img->DrawXX && X < img->DrawXX + w && Y >= img->ShownY && Y < img->ShownY + h) {
            IX = X - img->DrawXX;
            IY = Y - img->ShownY;
            Posn = img->Pos;
            AnImageObj = img;
            AMap = img->IsMap;
            MapItem = nullptr;
            if (img->UseMap && img->MasterList) {
                for (const auto& m : img->MasterList->MapList)
                    if (m->MapName == img->MapName) {
                        MapItem = m.get();
                        break;
                    }
            }
            return true;
        }
    }
    return false;
}

bool TImageObjList::ObjectAtPoint(int X, int Y, TFloatingObj*& Obj, int& IX, int& IY) const {
    for (const auto& o : *this) {
        if (o->IsPanel()) continue;
        auto* img = static_cast<TImageObj*>(o.get());
        const int w = img->ImageWidth - 2 * img->BorderSize, h = img->ImageHeight - 2 * img->BorderSize;
        if (X >= img->DrawXX && X < img->DrawXX + w && Y >= img->ShownY && Y < img->ShownY + h) {
            IX = X - img->DrawXX;
            IY = Y - img->ShownY;
            Obj = img;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- TDrawList

void TDrawList::AddImage(TImageObj* Obj, TCanvas& Canvas, int X, int TopY, int YBaseline, TFontObj* FO) {
    Add(new TImageRec{Obj, &Canvas, X, TopY, YBaseline, FO});
}

void TDrawList::DrawImages() {
    for (const auto& r : *this) r->AObj->Draw(*r->ACanvas, r->AX, r->AY, r->AYBaseline, r->AFO);
    Clear();
}

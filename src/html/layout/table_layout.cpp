#include "html/layout/table_layout.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdint>
#include <iterator>

#include "html/layout/borders.h"
#include "html/layout/floating.h"
#include "html/layout/table_widths.h"
#include "html/images/viewer_globals.h"
#include "platform/gui/font_service.h"

using TableMath::Sum;

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWithPercent(const std::string& s) {
    size_t e = s.find_last_not_of(" \t");
    return e != std::string::npos && s[e] == '%';
}

TColor ColorOrNone(const TPropValue& v) { return v.IsInt() && v.Int() != IntNull ? v.Int() : clNone; }

// The light side of 3-D frames is the button highlight, white: on paper it
// would vanish, and a row ending a page would show no bottom edge. Printed,
// it is silver, as the light side of rules is.
TColor PaperLight(const TSectionList* root, TColor light) {
    return root && root->Printing && light == TColor(0x80000014) ? TColor(0xC0C0C0) : light;
}

// Table blocks keep their own vertical margins: neither side collapses.
void OwnVerticalMargins(TBlock& b) {
    for (int i : {piMarginTop, piMarginBottom}) {
        const TPropValue& v = b.MargArrayO[static_cast<size_t>(i)];
        int m = 0;
        if (v.IsText())
            m = LengthConv(v.Text(), false, 400, 0, b.ExSize, b.EmSize);
        else if (v.IsInt() && v.Int() != IntNull && v.Int() != ParaSpace && v.Int() != Auto)
            m = v.Int();
        b.MargArray[static_cast<size_t>(i)] = m;
    }
}

// What a cell takes from its property set. A report's cells repeat a few
// sets, so the last ones converted are remembered by their values.
struct TCellStyle {
    uint8_t va = 0;  // 1, 2 or 4 when the set aligns the cell vertically
    int emSize = 16, exSize = 8;
    int specWd = 0;  // 0: none given
    bool widthPercent = false;
    int specHt = 0;  // 0: none given
    TColor bk = clNone;
    std::string image;
    PositionRecArray bgPos{};
    bool hasBorderStyle = false;
    TSharedMargArray box;
    bool breakBefore = false, breakAfter = false, keepIntact = false;
};

TCellStyle ConvertCellStyle(const TProperties& Prop) {
    TCellStyle st;
    int va;
    if (Prop.GetVertAlign(va) && (va == 1 || va == 2 || va == 4)) st.va = static_cast<uint8_t>(va);
    const int EmSize = st.emSize = Prop.EmSize;
    const int ExSize = st.exSize = Prop.ExSize;
    ::MargArrayO MargArrayO;
    Prop.GetBorderStyles(MargArrayO);
    const TPropValue& w = Prop.Props[piWidth];
    if (w.IsText() && !w.Text().empty() && w.Text() != "auto") {
        int n = LengthConv(w.Text(), false, 100, 0, ExSize, EmSize);
        if (EndsWithPercent(w.Text())) {
            if (n > 0 && n < 100) {
                st.specWd = 10 * n;
                st.widthPercent = true;
            }
        } else if (n > 0) {
            st.specWd = n;
        }
    }
    const TPropValue& h = Prop.Props[piHeight];
    if (h.IsText() && !EndsWithPercent(h.Text())) {
        int n = LengthConv(h.Text(), false, 100, 0, ExSize, EmSize);
        if (n > 0) st.specHt = n;
    }
    st.bk = Prop.GetBackgroundColor();
    std::string image;
    if (Prop.GetBackgroundImage(image) && !image.empty()) st.image = image;
    Prop.GetBackgroundPos(EmSize, ExSize, st.bgPos);
    st.hasBorderStyle = Prop.HasBorder();
    int autoCount = 0;
    ::MargArray box{};
    ConvMargArray(MargArrayO, 0, 0, EmSize, ExSize, autoCount, box);
    ConvVertMargins(MargArrayO, EmSize, ExSize, box);
    if (st.hasBorderStyle) {
        TColor fc = ColorOrNone(Prop.Props[piColor]);
        for (int i = piBorderTopColor; i <= piBorderLeftColor; ++i) {
            TColor c = ColorOrNone(Prop.Props[static_cast<size_t>(i)]);
            box[static_cast<size_t>(i)] = c != clNone ? c : (fc != clNone ? fc : clBlack);
        }
    }
    st.box.Assign(box);
    Prop.GetPageBreaks(st.breakBefore, st.breakAfter, st.keepIntact);
    return st;
}

const TCellStyle& CellStyleOf(const TProperties& Prop) {
    // The properties ConvertCellStyle reads.
    static constexpr int kRead[] = {piColor,
                                    piBackgroundColor,
                                    piBorderColor,
                                    piMarginTop,
                                    piMarginRight,
                                    piMarginBottom,
                                    piMarginLeft,
                                    piPaddingTop,
                                    piPaddingRight,
                                    piPaddingBottom,
                                    piPaddingLeft,
                                    piBorderTopWidth,
                                    piBorderRightWidth,
                                    piBorderBottomWidth,
                                    piBorderLeftWidth,
                                    piBorderTopColor,
                                    piBorderRightColor,
                                    piBorderBottomColor,
                                    piBorderLeftColor,
                                    piBorderTopStyle,
                                    piBorderRightStyle,
                                    piBorderBottomStyle,
                                    piBorderLeftStyle,
                                    piWidth,
                                    piHeight,
                                    piTopPos,
                                    piBottomPos,
                                    piRightPos,
                                    piLeftPos,
                                    piBackgroundImage,
                                    piBackgroundPosition,
                                    piBackgroundRepeat,
                                    piBackgroundAttachment,
                                    piVerticalAlign,
                                    piPageBreakBefore,
                                    piPageBreakAfter,
                                    piPageBreakInside};
    static_assert(MargLow == piBackgroundColor && MargHigh == piLeftPos, "box values read above");
    struct Entry {
        std::array<TPropValue, std::size(kRead)> props;
        TPropValues block;  // the values last found alike
        bool bkSet = false;
        int emSize = 0, exSize = 0;
        TCellStyle style;
        bool used = false;
    };
    static std::array<Entry, 8> recent;
    static size_t next = 0, lastHit = 0;
    const bool bkSet = Prop.PropSet[piBackgroundColor];
    // Neighbouring cells mostly share a set: the last one matched is tried first.
    for (size_t k = 0; k < recent.size(); ++k) {
        const size_t at = (lastHit + k) % recent.size();
        const Entry& e = recent[at];
        if (!e.used || e.bkSet != bkSet || e.emSize != Prop.EmSize || e.exSize != Prop.ExSize) continue;
        // The very values the entry was read from (a set copied from the same
        // remembered state) need no comparing.
        if (e.block.SameBlock(Prop.Props)) {
            lastHit = at;
            return e.style;
        }
        size_t i = 0;
        while (i < e.props.size()) {
            const TPropValue& v = Prop.Props[static_cast<size_t>(kRead[i])];
            if (!e.props[i].SameCopy(v) && !(e.props[i] == v)) break;
            ++i;
        }
        if (i == e.props.size()) {
            lastHit = at;
            recent[at].block = Prop.Props;
            return e.style;
        }
    }
    Entry& e = recent[next];
    lastHit = next;
    next = (next + 1) % recent.size();
    e.style = ConvertCellStyle(Prop);
    for (size_t i = 0; i < e.props.size(); ++i) e.props[i] = Prop.Props[static_cast<size_t>(kRead[i])];
    e.block = Prop.Props;
    e.bkSet = bkSet;
    e.emSize = Prop.EmSize;
    e.exSize = Prop.ExSize;
    e.used = true;
    return e.style;
}

}  // namespace

namespace {

// Rows and columns beyond the farthest edge a page reaches get no size, so
// that every run of them from the first adds up in an int.
void CapRunningSum(std::vector<int>& sizes) {
    int64_t total = 0;
    for (int& size : sizes) {
        size = AddExtent(total, size) - static_cast<int>(total);
        total += size;
    }
}

}  // namespace

// ================================================================ TCellObj

TCellObj::TCellObj(TSectionList* Master, uint8_t AVAlign, TAttributeList* Attr, TProperties* Prop)
    : VAlign(AVAlign), Cell(std::make_unique<TCellObjCell>(Master)) {
    if (Attr) {
        for (const auto& a : *Attr) {
            switch (a->Symbol) {
                case ColSpanSy:
                    if (a->NumValue > 1) ColSpan = std::min(a->NumValue, 1000);
                    break;
                case RowSpanSy:
                    if (a->NumValue > 1) RowSpan = std::min(a->NumValue, 10000);
                    break;
                case WidthSy:
                    if (EndsWithPercent(a->TextValue)) {
                        if (a->NumValue >= 1 && a->NumValue <= 100) {
                            SpecWd = 10 * a->NumValue;
                            WidthPercent = true;
                        }
                    } else if (a->NumValue > 0) {
                        SpecWd = std::min(a->NumValue, 32000);
                    }
                    break;
                case HeightSy:
                    if (EndsWithPercent(a->TextValue))
                        SpecHtPercent = std::clamp(a->NumValue, 0, 100);
                    else
                        SpecHt = std::clamp(a->NumValue, 0, 32000);
                    break;
                case BGColorSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        Cell->BkColor = c;
                        Cell->BkGnd = true;
                    }
                    break;
                }
                case BackgroundSy: EditBg().ImageName = a->TextValue; break;
                case HRefSy: Cell->EditLink().Url = a->TextValue; break;
                case TargetSy: Cell->EditLink().Target = a->TextValue; break;
                case TitleSy: Cell->EditLink().Title = a->TextValue; break;
                default: break;
            }
        }
    }
    if (!Prop) return;
    const TCellStyle& st = CellStyleOf(*Prop);
    if (st.va) VAlign = st.va;
    EmSize = st.emSize;
    ExSize = st.exSize;
    if (st.specWd > 0) {
        SpecWd = st.specWd;
        WidthPercent = st.widthPercent;
    }
    if (st.specHt > 0) SpecHt = st.specHt;
    if (st.bk != clNone) {
        Cell->BkColor = st.bk;
        Cell->BkGnd = true;
    }
    if (!st.image.empty()) EditBg().ImageName = st.image;
    if (Bg) Bg->Pos = st.bgPos;
    HasBorderStyle = st.hasBorderStyle;
    PadTop = st.box[piPaddingTop];
    PadRight = st.box[piPaddingRight];
    PadBottom = st.box[piPaddingBottom];
    PadLeft = st.box[piPaddingLeft];
    if (HasBorderStyle) {
        BrdTop = std::max(0, st.box[piBorderTopWidth]);
        BrdRight = std::max(0, st.box[piBorderRightWidth]);
        BrdBottom = std::max(0, st.box[piBorderBottomWidth]);
        BrdLeft = std::max(0, st.box[piBorderLeftWidth]);
    }
    MargArray = st.box;
    BreakBefore = st.breakBefore;
    BreakAfter = st.breakAfter;
    KeepIntact = st.keepIntact;
}

TCellObj::TCellObj(TSectionList* Master, const TCellObj& T)
    : ColSpan(T.ColSpan), RowSpan(T.RowSpan), Wd(T.Wd), Ht(T.Ht), VSize(T.VSize), SpecHt(T.SpecHt),
      SpecHtPercent(T.SpecHtPercent), YIndent(T.YIndent), VAlign(T.VAlign), SpecWd(T.SpecWd),
      WidthPercent(T.WidthPercent), EmSize(T.EmSize), ExSize(T.ExSize), PadTop(T.PadTop),
      PadRight(T.PadRight), PadBottom(T.PadBottom), PadLeft(T.PadLeft), BrdTop(T.BrdTop), BrdRight(T.BrdRight),
      BrdBottom(T.BrdBottom), BrdLeft(T.BrdLeft), HzSpace(T.HzSpace), VrSpace(T.VrSpace),
      HasBorderStyle(T.HasBorderStyle), MargArray(T.MargArray),
      BreakBefore(T.BreakBefore), BreakAfter(T.BreakAfter), KeepIntact(T.KeepIntact), RowTop(T.RowTop) {
    if (T.Cell) {
        Cell = std::make_unique<TCellObjCell>(Master, *T.Cell);
        // Backgrounds only print when asked for.
        if (!Master || !Master->PrintTableBackgrounds) {
            Cell->BkGnd = false;
            Cell->BkColor = clNone;
        } else if (T.Bg) {
            EditBg().ImageName = T.Bg->ImageName;
            Bg->Pos = T.Bg->Pos;
        }
    }
}

std::unique_ptr<TCellObj> TCellObj::MakeDummy(int ARowSpan) {
    std::unique_ptr<TCellObj> d(new TCellObj());
    d->ColSpan = 0;
    d->RowSpan = std::max(1, ARowSpan);
    return d;
}

TCellObj::~TCellObj() = default;

void TCellObj::InitializeCell(int TablePadding, const std::string& RowImageName, bool TableBorder,
                              const PositionRecArray& RowPos) {
    if (PadTop < 0) PadTop = TablePadding;
    if (PadRight < 0) PadRight = TablePadding;
    if (PadBottom < 0) PadBottom = TablePadding;
    if (PadLeft < 0) PadLeft = TablePadding;
    if (TableBorder && !HasBorderStyle) {
        BrdTop = std::max(1, BrdTop);
        BrdRight = std::max(1, BrdRight);
        BrdBottom = std::max(1, BrdBottom);
        BrdLeft = std::max(1, BrdLeft);
    }
    HzSpace = PadLeft + BrdLeft + PadRight + BrdRight;
    VrSpace = PadTop + BrdTop + PadBottom + BrdBottom;
    if ((!Bg || Bg->ImageName.empty()) && !RowImageName.empty()) {
        EditBg().ImageName = RowImageName;
        Bg->Pos = RowPos;
    }
}

bool TCellObj::PlainContent() {
    // Fixed once the content is read; asked only after the content was
    // measured or laid out (a block looks at its box values then).
    if (plain_ < 0) plain_ = Cell->IsPlain() ? 1 : 0;
    return plain_ == 1;
}

bool TCellObj::Reusable(const TCanvas& Canvas, int width) {
    const TSectionList* root = Cell->MasterList;
    return last_.canvas == &Canvas && last_.fonts == FontServiceGeneration() && last_.width == width &&
           last_.movable && root && !root->FirstLineHtPtr && PlainContent();
}

int TCellObj::LayOut(TCanvas& Canvas, int top, int width, int height, int& Curs) {
    int mw = 0;
    const int start = Curs;
    const int h = Cell->Layout(Canvas, top, width, height, 0, mw, Curs);
    last_ = TLastLayout{&Canvas, FontServiceGeneration(), width, top, start, Curs - start, h,
                        Cell->LaidOutBelow(top)};
    return h;
}

int TCellObj::MeasureContent(TCanvas& Canvas, int W, int CellSpacing, int DeclaredHeight, int RowTop, int& Curs) {
    int width = std::max(0, W - HzSpace - CellSpacing);
    int avail = std::max(0, DeclaredHeight - VrSpace);
    if (Reusable(Canvas, width)) {
        VSize = last_.height;
        Curs += last_.len;
    } else {
        VSize = LayOut(Canvas, std::max(0, RowTop + CellSpacing + PadTop + BrdTop), width, avail, Curs);
    }
    return VSize;
}

void TCellObj::ContentWidths(TCanvas& Canvas, int& Min, int& Max) {
    if (widthsCanvas_ == &Canvas && widthsFonts_ == FontServiceGeneration()) {
        Min = minWidth_;
        Max = maxWidth_;
        return;
    }
    Cell->MinMaxWidth(Canvas, Min, Max);
    minWidth_ = Min;
    maxWidth_ = Max;
    const bool keep = PlainContent();
    widthsCanvas_ = keep ? &Canvas : nullptr;
    widthsFonts_ = FontServiceGeneration();
}

bool TCellObj::WidthsHoldFor(const TCanvas& Canvas) const {
    return widthsCanvas_ == &Canvas && widthsFonts_ == FontServiceGeneration();
}

bool TCellObj::PlaceContents(TCanvas& Canvas, int X, int Y, int& Curs, int CellSpacing) {
    (void)X;
    if (IsDummy()) return true;
    int freeH = Ht - VSize, used = VrSpace + CellSpacing;
    switch (VAlign) {
        case 1: YIndent = 0; break;
        case 3:
        case 4: YIndent = std::max(0, freeH - used); break;
        default: YIndent = std::max(0, (freeH - used) / 2); break;
    }
    int width = std::max(0, Wd - (HzSpace + CellSpacing));
    int height = std::max(0, Ht - VrSpace - CellSpacing);
    const int top = Y + CellSpacing + PadTop + BrdTop + YIndent;
    TSectionList* root = Cell->MasterList;
    // Laying plain text out again elsewhere gives the same lines, moved.
    bool settled = false;
    if (top >= 0 && Reusable(Canvas, width)) {
        if (top != last_.top || Curs != last_.curs) Cell->MoveDown(top - last_.top, Curs - last_.curs);
        last_.top = top;
        last_.curs = Curs;
        Curs += last_.len;
        settled = true;
    } else {
        LayOut(Canvas, top, width, height, Curs);
    }
    if (Bg && !Bg->ImageName.empty() && root && root->ShowImages) {
        settled = false;
        if (!Bg->Image) Bg->Image = TImageObj::CreateFromURL(root, Bg->ImageName);
        if (Bg->Image) {
            Bg->Image->Layout(Canvas, width, height, nullptr);
            // A picture that cannot be had leaves the cell plain.
            if (Bg->Image->Image == static_cast<TGraphic*>(ErrorImage)) {
                Bg->Image.reset();
                Bg->ImageName.clear();
            }
        }
    }
    return settled;
}

void TCellObj::Draw(TCanvas& Canvas, const TRect& ARect, int X, int Y, int CellSpacing, bool Border, TColor Light,
                    TColor Dark) {
    if (IsDummy()) return;
    TSectionList* root = Cell->MasterList;
    int yOff = root ? root->YOff : 0;
    TRect r{X + CellSpacing, Y + CellSpacing - yOff, X + Wd, Y + Ht - yOff};
    Cell->MyRect = r;
    if (root && root->Printing) {
        auto scaled = [](int v, double s) { return static_cast<int>(std::lround(v * s)); };
        Cell->MyRect = TRect{scaled(r.Left, root->ScaleX), scaled(r.Top, root->ScaleY), scaled(r.Right, root->ScaleX),
                             scaled(r.Bottom, root->ScaleY)};
    }
    if (r.Bottom < ARect.Top || r.Top > ARect.Bottom || r.Right < ARect.Left || r.Left > ARect.Right) return;
    if (Cell->BkGnd && Cell->BkColor != clNone) Canvas.FillRect(r, ResolveColor(Cell->BkColor));
    if (Bg && Bg->Image && root && root->ShowImages && Bg->Image->Image && !Bg->Image->ShowsStandIn())
        Bg->Draw(Canvas, r, ARect);
    Cell->Draw(Canvas, ARect, r.Right - r.Left, X + CellSpacing + PadLeft + BrdLeft, Y + CellSpacing + PadTop + BrdTop,
               0, 0);
    bool printing = root && root->Printing;
    if (HasBorderStyle) {
        TRect inner{r.Left + BrdLeft, r.Top + BrdTop, r.Right - BrdRight, r.Bottom - BrdBottom};
        htColorArray colors = MakeFourColors(MargArray[piBorderLeftColor], MargArray[piBorderTopColor],
                                             MargArray[piBorderRightColor], MargArray[piBorderBottomColor]);
        htStyleArray styles = MakeFourStyles(static_cast<uint8_t>(MargArray[piBorderLeftStyle]),
                                             static_cast<uint8_t>(MargArray[piBorderTopStyle]),
                                             static_cast<uint8_t>(MargArray[piBorderRightStyle]),
                                             static_cast<uint8_t>(MargArray[piBorderBottomStyle]));
        DrawBorder(Canvas, r, inner, colors, styles, clNone, printing);
    } else if (Border) {
        RaisedRectColor(root, Canvas, r.Left, r.Top, 1, false, Light, Dark, r.Right - 1, r.Bottom - 1);
    }
}

// ================================================================ TCellList

TCellList::TCellList(TAttributeList* Attr, TProperties* Prop) {
    if (Attr) {
        for (const auto& a : *Attr) {
            switch (a->Symbol) {
                case BGColorSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        BkColor = c;
                        BkGnd = true;
                    }
                    break;
                }
                case BackgroundSy: BkImage = a->TextValue; break;
                case HeightSy:
                    if (!EndsWithPercent(a->TextValue)) RowHeight = std::clamp(a->NumValue, 0, 32000);
                    break;
                default: break;
            }
        }
    }
    if (!Prop) return;
    TColor bk = Prop->GetBackgroundColor();
    if (bk != clNone) {
        BkColor = bk;
        BkGnd = true;
    }
    std::string image;
    if (Prop->GetBackgroundImage(image) && !image.empty()) BkImage = image;
    Prop->GetBackgroundPos(Prop->EmSize, Prop->ExSize, APRec);
    Prop->GetPageBreaks(BreakBefore, BreakAfter, KeepIntact);
}

TCellList::TCellList(TSectionList* Master, const TCellList& T)
    : BkGnd(T.BkGnd), BkColor(T.BkColor), BkImage(T.BkImage), APRec(T.APRec), RowHeight(T.RowHeight),
      SpecRowHeight(T.SpecRowHeight), RowType(T.RowType), BreakBefore(T.BreakBefore), BreakAfter(T.BreakAfter),
      KeepIntact(T.KeepIntact) {
    for (const auto& c : T) Add(c ? new TCellObj(Master, *c) : nullptr);
}

void TCellList::AddCell(TCellObj* CellObj) {
    Add(CellObj);
    if (!CellObj) return;
    BreakBefore = BreakBefore || CellObj->BreakBefore;
    BreakAfter = BreakAfter || CellObj->BreakAfter;
    KeepIntact = KeepIntact || CellObj->KeepIntact;
    // A row with a height gives it to cells that ask for none.
    if (RowHeight > 0 && CellObj->SpecHt == 0 && CellObj->SpecHtPercent == 0) CellObj->SpecHt = RowHeight;
}

void TCellList::ApplyRowBackground() {
    if (!BkGnd) return;
    for (const auto& c : *this)
        if (c && c->Cell && !c->Cell->BkGnd) {
            c->Cell->BkColor = BkColor;
            c->Cell->BkGnd = true;
        }
}

void TCellList::MeasureRow(TCanvas& Canvas, const std::vector<int>& Widths, int Span, int TableHeight,
                           int CellSpacing, int RowTop, int& Curs, int& Height, int& PercentHeight,
                           bool& Declared) {
    int h = 0, p = 0;
    Declared = false;
    int col = 0;
    for (const auto& c : *this) {
        if (c && !c->IsDummy()) {
            int wd = 0;
            for (int k = col; k < col + c->ColSpan && k < static_cast<int>(Widths.size()); ++k) wd += Widths[static_cast<size_t>(k)];
            c->Wd = wd;
            if (c->RowSpan == Span) {
                int declared = c->SpecHt > 0 ? c->SpecHt
                               : c->SpecHtPercent > 0 ? TableMath::MulDivTrunc(c->SpecHtPercent, TableHeight, 100)
                                                      : 0;
                c->MeasureContent(Canvas, wd, CellSpacing, declared, RowTop, Curs);
                int ch = c->VSize + c->VrSpace;
                if (c->SpecHt > 0) ch = std::max(ch, c->SpecHt);
                h = std::max(h, ch);
                if (c->SpecHtPercent > 0) p = std::max(p, declared);
                if (c->SpecHt > 0 || c->SpecHtPercent > 0) Declared = true;
            }
        }
        ++col;
    }
    Height = h + CellSpacing;
    PercentHeight = p > 0 ? p + CellSpacing : 0;
}

bool TCellList::PlaceRow(TCanvas& Canvas, const std::vector<int>& Widths, int X, int Y, int CellSpacing,
                         int& Curs) {
    int x = X;
    int col = 0;
    bool settled = true;
    for (const auto& c : *this) {
        if (c && !c->IsDummy()) {
            c->RowTop = Y;
            settled = c->PlaceContents(Canvas, x, Y, Curs, CellSpacing) && settled;
        }
        if (col < static_cast<int>(Widths.size())) x += Widths[static_cast<size_t>(col)];
        ++col;
    }
    return settled;
}

void TCellList::Draw(TCanvas& Canvas, const TRect& ARect, const std::vector<int>& Widths, int X, int Y,
                     int CellSpacing, bool Border, TColor Light, TColor Dark) {
    int x = X;
    int col = 0;
    for (const auto& c : *this) {
        if (c && !c->IsDummy()) c->Draw(Canvas, ARect, x, Y, CellSpacing, Border, Light, Dark);
        if (col < static_cast<int>(Widths.size())) x += Widths[static_cast<size_t>(col)];
        ++col;
    }
}

// ================================================================ ThtmlTable

ThtmlTable::ThtmlTable(TCellBasic* AMasterList, TAttributeList* Attr, TProperties* Prop)
    : TSectionBase(AMasterList), TablePartRec(std::make_unique<TTablePartRec>()) {
    if (Attr) {
        for (const auto& a : *Attr) {
            switch (a->Symbol) {
                case BorderSy:
                    HasBorder = true;
                    BorderWidth = a->TextValue.empty() ? 1 : std::clamp(a->NumValue, 0, 100);
                    break;
                case CellPaddingSy:
                    if (a->NumValue >= 0) CellPadding = std::min(a->NumValue, 50);
                    break;
                case CellSpacingSy:
                    if (a->NumValue >= -1) CellSpacing = std::min(a->NumValue, 40);
                    break;
                case BorderColorSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        BorderColorLight = BorderColorDark = c;
                        BorderColorGiven = true;
                    }
                    break;
                }
                case BorderColorLightSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        BorderColorLight = c;
                        BorderColorGiven = true;
                    }
                    break;
                }
                case BorderColorDarkSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        BorderColorDark = c;
                        BorderColorGiven = true;
                    }
                    break;
                }
                default: break;
            }
        }
    }
    if (Prop && Prop->Collapse()) CellSpacing = -1;
}

ThtmlTable::ThtmlTable(TCellBasic* AMasterList, const ThtmlTable& T)
    : TSectionBase(AMasterList, T), TablePartRec(std::make_unique<TTablePartRec>()), Initialized(T.Initialized),
      BorderWidth(T.BorderWidth), NumCols(T.NumCols), tbWidth(T.tbWidth), UseAbsolute(T.UseAbsolute),
      CellPadding(T.CellPadding), CellSpacing(T.CellSpacing), BorderColorLight(T.BorderColorLight),
      BorderColorDark(T.BorderColorDark), BorderColorGiven(T.BorderColorGiven), Widths(T.Widths),
      MaxWidths(T.MaxWidths), MinWidths(T.MinWidths), Percents(T.Percents), Heights(T.Heights),
      TableWidth(T.TableWidth), TableHeight(T.TableHeight), HeaderHeight(T.HeaderHeight),
      HeaderRowCount(T.HeaderRowCount), FootHeight(T.FootHeight), FootStartRow(T.FootStartRow),
      HeadOrFoot(T.HeadOrFoot), HasBorder(T.HasBorder), Stretch(T.Stretch) {
    TSectionList* root = AMasterList ? AMasterList->MasterList : nullptr;
    if (root && root->PrintTableBackgrounds) {
        BkGnd = T.BkGnd;
        BkColor = T.BkColor;
    }
    for (const auto& r : T.Rows) Rows.Add(new TCellList(root, *r));
    for (const auto& c : T.ColInfo) ColInfo.Add(new TColObj(*c));
}

ThtmlTable::~ThtmlTable() = default;

void ThtmlTable::AddColInfo(std::unique_ptr<TColObj> Col) {
    if (ColInfo.Count() < 10000) ColInfo.Add(std::move(Col));
}

namespace {

// Spans are laid out as a dummy cell for every slot they cover. A table whose
// spans would cover far more slots than it has cells (a cell with colspan 1000
// and rowspan 10000 in a small page) has its spans cut to the columns its
// rows really fill: the most cells any row holds, counting the cells that
// reach into it from the rows above. Real tables stay as written.
void CutSpansBeyondTheRealColumns(const TFreeList<TCellList>& Rows) {
    const int nRows = Rows.Count();
    std::vector<int> reaching(static_cast<size_t>(nRows) + 1, 0);  // running count of row spans, by row
    int64_t cells = 0, slots = 0;
    for (int r = 0; r < nRows; ++r)
        for (const auto& c : *Rows[r]) {
            if (!c || c->IsDummy()) continue;
            const int rows = std::clamp(c->RowSpan, 1, nRows - r);
            ++cells;
            slots += int64_t(std::max(1, c->ColSpan)) * rows;
            ++reaching[static_cast<size_t>(std::min(r + 1, nRows))];
            --reaching[static_cast<size_t>(r + rows)];
        }
    if (slots <= 16 * cells + 65536) return;
    int columns = 1, spanning = 0;
    for (int r = 0; r < nRows; ++r) {
        spanning += reaching[static_cast<size_t>(r)];
        int held = spanning;
        for (const auto& c : *Rows[r])
            if (c && !c->IsDummy()) ++held;
        columns = std::max(columns, held);
    }
    for (const auto& row : Rows)
        for (const auto& c : *row)
            if (c && !c->IsDummy()) c->ColSpan = std::min(c->ColSpan, columns);
}


// Places the rows' cells on the table's grid, row by row: a cell spanning
// columns is followed by a dummy for each further column, and a cell (or
// dummy) spanning rows reaches into the rows below at its column, where a
// dummy stands and the row's own cells move right (a row shorter than that
// column is filled up with dummies). Spans are cut to `widest` columns and
// `tallest` rows. Gives the number of grid places, or -1 as soon as they
// would pass `limit`; with `build` the rows are rebuilt with their dummies.
// Each place is made once, so the work follows the grid's size.
int64_t PlaceOnGrid(const TFreeList<TCellList>& Rows, int widest, int tallest, int64_t limit, bool build) {
    const int nRows = Rows.Count();
    std::vector<std::vector<int>> reach(static_cast<size_t>(nRows));  // columns spans from above hold, by row
    int64_t places = 0, pending = 0;
    for (int r = 0; r < nRows; ++r) {
        TCellList* row = Rows[r];
        std::vector<int>& held = reach[static_cast<size_t>(r)];
        std::sort(held.begin(), held.end());
        pending -= static_cast<int64_t>(held.size());
        std::vector<std::unique_ptr<TCellObj>> old, now;
        if (build) row->SwapItems(old);
        const int n = build ? static_cast<int>(old.size()) : row->Count();
        size_t k = 0;
        int col = 0;
        bool over = false;
        // Dummies where spans from above stand (a repeated column counts once).
        auto skipHeld = [&] {
            for (; k < held.size() && held[k] <= col; ++k) {
                if (held[k] != col) continue;
                if (build) now.push_back(TCellObj::MakeDummy(1));
                ++col;
                ++places;
            }
        };
        auto place = [&](std::unique_ptr<TCellObj> item, int rows) {
            skipHeld();
            if (places + pending + rows > limit) {
                over = true;
                return;
            }
            for (int j = 1; j < rows; ++j) reach[static_cast<size_t>(r + j)].push_back(col);
            pending += rows - 1;
            if (build) now.push_back(std::move(item));
            ++col;
            ++places;
        };
        for (int i = 0; i < n && !over; ++i) {
            TCellObj* c = build ? old[static_cast<size_t>(i)].get() : (*row)[i];
            int cols = 1, rows = c ? std::clamp(c->RowSpan, 1, nRows - r) : 1;
            if (c && !c->IsDummy()) {
                cols = std::max(1, std::min(c->ColSpan, widest));
                rows = std::min(rows, tallest);
                if (build) {
                    if (c->ColSpan > widest) c->ColSpan = widest;
                    c->RowSpan = rows;
                }
            }
            place(build ? std::move(old[static_cast<size_t>(i)]) : nullptr, rows);
            for (int j = 1; j < cols && !over; ++j) place(build ? TCellObj::MakeDummy(rows) : nullptr, rows);
        }
        if (over) return -1;
        // Spans from above beyond the row's own cells: the row is filled up
        // to them.
        while (k < held.size()) {
            if (held[k] > col) {
                const int gap = held[k] - col;
                places += gap;
                if (places + pending > limit) return -1;
                if (build)
                    for (int j = 0; j < gap; ++j) now.push_back(TCellObj::MakeDummy(1));
                col = held[k];
            }
            skipHeld();
        }
        if (places + pending > limit) return -1;
        if (build) row->SwapItems(now);
    }
    return places;
}

}  // namespace

void ThtmlTable::Initialize() {
    if (Initialized) return;
    const int nRows = Rows.Count();
    CutSpansBeyondTheRealColumns(Rows);
    int64_t cells = 0;
    int widest = 1, tallest = 1;
    for (int r = 0; r < nRows; ++r) {
        TCellList* row = Rows[r];
        row->ApplyRowBackground();
        for (const auto& c : *row) {
            if (!c || c->IsDummy()) continue;
            ++cells;
            c->InitializeCell(CellPadding, row->BkImage, BorderWidth > 0, row->APRec);
            c->RowSpan = std::min(c->RowSpan, nRows - r);
            if (!c->Cell->BkGnd && BkGnd) {
                c->Cell->BkColor = BkColor;
                c->Cell->BkGnd = true;
            }
            widest = std::max(widest, c->ColSpan);
            tallest = std::max(tallest, c->RowSpan);
        }
    }
    // A table whose spans would fill a grid far larger than its cells (each
    // of a column of cells spanning a thousand columns and all the rows below
    // it) has its widest or tallest spans halved until the grid is of the
    // order of its cells. Real tables stay as written.
    const int64_t limit = 16 * cells + 65536;
    while (PlaceOnGrid(Rows, widest, tallest, limit, false) < 0 && (widest > 1 || tallest > 1)) {
        if (widest >= tallest) widest = std::max(1, widest / 2);
        else tallest = std::max(1, tallest / 2);
    }
    PlaceOnGrid(Rows, widest, tallest, INT64_MAX, true);
    NumCols = 0;
    for (const auto& row : Rows) NumCols = std::max(NumCols, row->Count());
    // Trailing columns holding nothing but dummies go.
    for (;;) {
        NumCols = 0;
        for (const auto& row : Rows) NumCols = std::max(NumCols, row->Count());
        if (NumCols == 0) break;
        int c = NumCols - 1;
        bool onlyDummies = true;
        for (const auto& row : Rows)
            if (row->Count() > c && (*row)[c] && !(*row)[c]->IsDummy()) onlyDummies = false;
        if (!onlyDummies) break;
        for (const auto& row : Rows) {
            if (row->Count() <= c) continue;
            row->Delete(c);
            for (int k = c - 1; k >= 0; --k) {
                TCellObj* left = (*row)[k];
                if (left && !left->IsDummy()) {
                    if (left->ColSpan > 1) --left->ColSpan;
                    break;
                }
            }
        }
    }
    bool anyPixel = false, anyNoPercent = false;
    for (const auto& row : Rows) {
        for (int c = 0; c < row->Count(); ++c) {
            TCellObj* cell = (*row)[c];
            if (!cell || cell->IsDummy()) continue;
            if (c < ColInfo.Count() && cell->SpecWd == 0 && ColInfo[c]->ColWidth > 0) {
                cell->SpecWd = ColInfo[c]->ColWidth;
                cell->WidthPercent = ColInfo[c]->AsPercent;
            }
            if (cell->SpecWd > 0 && !cell->WidthPercent) anyPixel = true;
            if (!cell->WidthPercent) anyNoPercent = true;
        }
    }
    UseAbsolute = ColInfo.Count() == 0 ? anyPixel : anyNoPercent;
    ColInfo.Clear();
    Widths.assign(static_cast<size_t>(NumCols), 0);
    MinWidths.assign(static_cast<size_t>(NumCols), 0);
    MaxWidths.assign(static_cast<size_t>(NumCols), 0);
    Percents.assign(static_cast<size_t>(NumCols), 0);
    Heights.assign(static_cast<size_t>(nRows), 0);
    HeightsValid = false;
    Initialized = true;
}

void ThtmlTable::MeasureSpans(TCanvas& Canvas, bool WithPercents) {
    // The cells' widths hold for a whole layout cycle: a table measured again
    // in the same cycle (an outer table measures and places its inner ones)
    // keeps what it found.
    TSectionList* root = ParentSectionList;
    const int cycle = root ? root->CycleNumber : -1;
    const bool sameCycle = cycle > 0 && cycle == spansCycle_;
    const bool widthsHold = spansCanvas_ == &Canvas && spansFonts_ == FontServiceGeneration();
    if ((sameCycle || widthsHold) && WithPercents == spansPercents_ && tbWidth == spansTbWidth_) return;
    spansCycle_ = cycle;
    spansPercents_ = WithPercents;
    spansTbWidth_ = tbWidth;
    bool allHold = true;
    std::fill(MinWidths.begin(), MinWidths.end(), 0);
    std::fill(MaxWidths.begin(), MaxWidths.end(), 0);
    std::fill(Percents.begin(), Percents.end(), 0);
    auto measure = [&](TCellObj* cell, int c, int span) {
        int mn = 0, mx = 0;
        cell->ContentWidths(Canvas, mn, mx);
        allHold = allHold && cell->WidthsHoldFor(Canvas);
        int add = cell->HzSpace + CellSpacing;
        mn += add;
        mx = std::max(mx + add, mn);
        if (cell->SpecWd > 0 && !cell->WidthPercent) {
            mn = std::max(mn, cell->SpecWd + add);
            mx = std::max(mx, cell->SpecWd + add);
        }
        int span1 = std::min(span, NumCols - c);
        if (span1 == 1) {
            MinWidths[static_cast<size_t>(c)] = std::max(MinWidths[static_cast<size_t>(c)], mn);
            MaxWidths[static_cast<size_t>(c)] = std::max(MaxWidths[static_cast<size_t>(c)], mx);
        } else {
            TableMath::SpreadSpan(MinWidths, c, span1, mn);
            TableMath::SpreadSpan(MaxWidths, c, span1, mx);
        }
        if (WithPercents) {
            int pct = cell->WidthPercent ? cell->SpecWd
                      : (cell->SpecWd > 0 && tbWidth > 0)
                          ? std::min(1000, TableMath::MulDivTrunc(cell->SpecWd, 1000, tbWidth))
                          : 0;
            if (pct > 0) {
                if (span1 == 1)
                    Percents[static_cast<size_t>(c)] = std::max(Percents[static_cast<size_t>(c)], pct);
                else
                    TableMath::SpreadSpan(Percents, c, span1, pct);
            }
        }
    };
    // Narrower spans first, each span's cells in row and column order: a
    // wide cell spreads what is left over the widths its columns already
    // have. Single columns go first as they come; the few wider cells are
    // sorted once, however wide the spans a page asks for.
    struct TSpanCell {
        int span, c;
        TCellObj* cell;
    };
    std::vector<TSpanCell> wider;
    for (const auto& row : Rows)
        for (int c = 0; c < row->Count() && c < NumCols; ++c) {
            TCellObj* cell = (*row)[c];
            if (!cell || cell->IsDummy()) continue;
            if (cell->ColSpan == 1) measure(cell, c, 1);
            else if (cell->ColSpan > 1) wider.push_back({cell->ColSpan, c, cell});
        }
    std::stable_sort(wider.begin(), wider.end(),
                     [](const TSpanCell& x, const TSpanCell& y) { return x.span < y.span; });
    for (const TSpanCell& item : wider) measure(item.cell, item.c, item.span);
    for (size_t c = 0; c < MaxWidths.size(); ++c) MaxWidths[c] = std::max(MaxWidths[c], MinWidths[c]);
    spansCanvas_ = allHold ? &Canvas : nullptr;
    spansFonts_ = FontServiceGeneration();
}

void ThtmlTable::GetMinMax(TCanvas& Canvas, int& TotalMin, int& TotalMax) {
    Initialize();
    MeasureSpans(Canvas, false);
    TotalMin = Sum(MinWidths);
    TotalMax = Sum(MaxWidths);
}

void ThtmlTable::GetMinMaxAbs(TCanvas& Canvas, int& TotalMin, int& TotalMax) {
    Initialize();
    MeasureSpans(Canvas, true);
    TotalMin = Sum(MinWidths);
    TotalMax = Sum(MaxWidths);
}

void ThtmlTable::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    Initialize();
    int mn = 0, mx = 0;
    if (!UseAbsolute || tbWidth > 0)
        GetMinMaxAbs(Canvas, mn, mx);
    else
        GetMinMax(Canvas, mn, mx);
    Min = std::max(mn + CellSpacing, tbWidth);
    Max = std::max(mx + CellSpacing, tbWidth);
}

void ThtmlTable::FindRowHeights(TCanvas& Canvas, int AHeight, int Top, int Curs) {
    const int n = Rows.Count();
    const int a = AHeight - CellSpacing;
    const int forPercent = std::max(0, a - n * CellSpacing);
    std::vector<int> mins(static_cast<size_t>(n), 0), pcts(static_cast<size_t>(n), 0);
    std::vector<bool> flagged(static_cast<size_t>(n), false);
    // A pass for a span no cell has changes nothing (with a spacing of at
    // least 0): only the spans cells have are measured, or one cell spanning
    // thousands of rows would measure every row once per row it spans.
    std::vector<int> spans;
    for (const auto& row : Rows)
        for (const auto& c : *row)
            if (c && !c->IsDummy() && c->RowSpan > 1) spans.push_back(c->RowSpan);
    std::sort(spans.begin(), spans.end());
    auto nextSpan = [&](int span) {
        if (CellSpacing < 0) return span + 1;
        auto it = std::upper_bound(spans.begin(), spans.end(), span);
        return it == spans.end() ? span + 1 : *it;
    };
    for (int span = 1;; span = nextSpan(span)) {
        bool more = false;
        // Cells are measured where they will most likely stay: below the
        // rows measured before, from the positions those took.
        int top = Top, curs = Curs;
        for (int r = 0; r + span <= n; ++r) {
            TCellList* row = Rows[r];
            for (const auto& c : *row)
                if (c && !c->IsDummy() && c->RowSpan > span) more = true;
            int h = 0, p = 0;
            bool declared = false;
            row->MeasureRow(Canvas, Widths, span, forPercent, CellSpacing, top, curs, h, p, declared);
            if (span == 1) {
                mins[static_cast<size_t>(r)] = h;
                pcts[static_cast<size_t>(r)] = p;
                flagged[static_cast<size_t>(r)] = declared;
            } else {
                TableMath::SpreadRowSpan(mins, r, span, h);
                if (p > 0) TableMath::SpreadRowSpan(pcts, r, span, p);
            }
            top = AddExtent(top, mins[static_cast<size_t>(r)]);
        }
        if (!more) break;
    }
    Heights = TableMath::DistributeRowHeights(mins, pcts, flagged, a);
    CapRunningSum(Heights);
    HeightsValid = true;
    FindRowOffsets();
}

int ThtmlTable::ColumnLeft(int c) const {
    int x = 0;
    for (int k = 0; k < c && k < static_cast<int>(Widths.size()); ++k) x += Widths[static_cast<size_t>(k)];
    return x;
}

int ThtmlTable::Layout(TCanvas& Canvas, int X, int Y, int, int, int, int, int BlHt, IndentManager& IMgr,
                       int& MaxWidth, int& Curs) {
    TSectionList* root = ParentSectionList;
    if (root) ++root->TableNestLevel;
    ++TableNestLevelGlobal;
    YDraw = DrawTop = ContentTop = Y;
    StartCurs = Curs;
    DrawX_ = X;
    Initialize();
    int avail = tbWidth > 0 ? tbWidth : IMgr.RightSide(Y) - IMgr.LeftIndent(Y);
    avail -= CellSpacing;
    int tmin = 0, tmax = 0;
    if (!UseAbsolute || tbWidth > 0)
        GetMinMaxAbs(Canvas, tmin, tmax);
    else
        GetMinMax(Canvas, tmin, tmax);
    std::vector<int> old = Widths;
    if (UseAbsolute && tbWidth < 1)
        Widths = TableMath::FindTableWidths(MinWidths, MaxWidths, avail, Stretch);
    else if (avail <= tmin)
        Widths = MinWidths;
    else if (tbWidth > 0)
        Widths = TableMath::WidthsForFixedTable(MinWidths, MaxWidths, Percents, avail);
    else
        Widths = TableMath::WidthsForFreeTable(MinWidths, MaxWidths, Percents, avail, Stretch);
    CapRunningSum(Widths);
    TableWidth = CellSpacing + Sum(Widths);
    // Only a height declared on the table shares out among the rows.
    int tableHt = 0;
    (void)BlHt;
    if (auto* tb = dynamic_cast<TTableBlock*>(OwnerBlock)) {
        int d = tb->MargArray[piHeight];
        if (d > 0 && d != Auto && d != IntNull) tableHt = d;
    }
    int nest = root ? root->TableNestLevel : 0;
    const bool widthsChanged = Widths != old;
    const bool newHeights =
        !HeightsValid || widthsChanged || LastAvailHeight != tableHt || (root && root->TableRelayout && nest < 6);
    if (newHeights) {
        FindRowHeights(Canvas, tableHt, Y, Curs);
        LastAvailHeight = tableHt;
    }
    HeaderHeight = HeaderRowCount = FootHeight = 0;
    FootStartRow = -1;
    bool anyBody = false;
    for (int r = 0; r < Rows.Count(); ++r) {
        TCellList* row = Rows[r];
        row->RowHeight = Heights[static_cast<size_t>(r)];
        if (row->RowType == 0) {
            HeaderHeight += row->RowHeight;
            ++HeaderRowCount;
        } else if (row->RowType == 2) {
            if (FootStartRow < 0) FootStartRow = r;
            FootHeight += row->RowHeight;
        } else {
            anyBody = true;
        }
    }
    HeadOrFoot = (HeaderRowCount > 0 || FootStartRow >= 0) && anyBody;
    if (newHeights) cellSizesSet_ = false;
    for (int r = 0; !cellSizesSet_ && r < Rows.Count(); ++r) {
        TCellList* row = Rows[r];
        for (int c = 0; c < row->Count(); ++c) {
            TCellObj* cell = (*row)[c];
            if (!cell || cell->IsDummy()) continue;
            int wd = 0;
            for (int k = c; k < c + cell->ColSpan && k < NumCols; ++k) wd += Widths[static_cast<size_t>(k)];
            cell->Wd = wd;
            int ht = 0;
            for (int k = r; k < r + cell->RowSpan && k < Rows.Count(); ++k) ht += Heights[static_cast<size_t>(k)];
            cell->Ht = ht;
        }
    }
    cellSizesSet_ = true;
    const unsigned fonts = FontServiceGeneration();
    if (!newHeights && settled_.canvas == &Canvas && settled_.fonts == fonts && settled_.top == Y &&
        settled_.curs == Curs && !(root && root->FirstLineHtPtr)) {
        Curs += Len;  // every cell stands where it stood
    } else {
        settled_ = TSettled{};
        const int curs = Curs;
        bool settled = true;
        int y = Y;
        for (int r = 0; r < Rows.Count(); ++r) {
            settled = Rows[r]->PlaceRow(Canvas, Widths, X, y, CellSpacing, Curs) && settled;
            y += Heights[static_cast<size_t>(r)];
        }
        if (settled) settled_ = TSettled{&Canvas, fonts, Y, curs};
    }
    SectionHeight = Sum(Heights) + CellSpacing;
    TableHeight = SectionHeight;
    Len = Curs - StartCurs;
    MaxWidth = TableWidth;
    DrawHeight = SectionHeight;
    ContentBot = Y + SectionHeight;
    DrawBot = Y + DrawHeight;
    if (root) --root->TableNestLevel;
    --TableNestLevelGlobal;
    return SectionHeight;
}

void ThtmlTable::FindRowOffsets() {
    const int n = Rows.Count();
    RowOffsets.assign(static_cast<size_t>(n) + 1, 0);
    SpanStart.resize(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        const int h = Heights[static_cast<size_t>(r)];
        if (h < 0) {
            RowOffsets.clear();
            SpanStart.clear();
            return;
        }
        RowOffsets[static_cast<size_t>(r) + 1] = AddExtent(RowOffsets[static_cast<size_t>(r)], h);
        SpanStart[static_cast<size_t>(r)] = r;
    }
    // Spans reach down over dummies only: one pass over the grid.
    for (int r = 0; r < n; ++r)
        for (const auto& c : *Rows[r])
            if (c && !c->IsDummy())
                for (int k = r + 1; k < r + c->RowSpan && k < n; ++k)
                    SpanStart[static_cast<size_t>(k)] = std::min(SpanStart[static_cast<size_t>(k)], r);
}

std::pair<int, int> ThtmlTable::RowsBetween(int top, int bottom) const {
    const int n = Rows.Count();
    if (RowOffsets.size() != static_cast<size_t>(n) + 1) return {0, n - 1};
    // The first row whose bottom reaches top, and the last whose top is not
    // below bottom.
    const auto first = std::lower_bound(RowOffsets.begin() + 1, RowOffsets.end(), top - ContentTop);
    const auto last = std::upper_bound(RowOffsets.begin(), RowOffsets.end() - 1, bottom - ContentTop);
    const int f = static_cast<int>(first - (RowOffsets.begin() + 1));
    const int l = static_cast<int>(last - RowOffsets.begin()) - 1;
    if (f >= n || l < 0) return {n, n - 1};
    return {SpanStart[static_cast<size_t>(f)], l};
}

void ThtmlTable::DrawRows(TCanvas& Canvas, const TRect& ARect, int X, int Y, int FirstRow, int LastRow,
                          bool PageRules) {
    TSectionList* root = ParentSectionList;
    PageRules = PageRules && root && root->Printing;
    if (!(root && root->Printing) && Y == ContentTop) {
        // On the screen a cell outside the rectangle paints nothing: only the
        // rows that reach into it are looked at.
        const int yOff = root ? root->YOff : 0;
        const auto [first, last] = RowsBetween(ARect.Top + yOff, ARect.Bottom + yOff - CellSpacing);
        FirstRow = std::max(FirstRow, first);
        LastRow = std::min(LastRow, last);
    }
    int y = Y;
    if (RowOffsets.size() == static_cast<size_t>(Rows.Count()) + 1 && FirstRow >= 0 && FirstRow < Rows.Count())
        y += RowOffsets[static_cast<size_t>(FirstRow)];
    else
        for (int r = 0; r < FirstRow && r < Rows.Count(); ++r) y += Heights[static_cast<size_t>(r)];
    for (int r = FirstRow; r <= LastRow && r < Rows.Count(); ++r) {
        TCellList* row = Rows[r];
        int h = Heights[static_cast<size_t>(r)];
        if (PageRules) {
            const int pageTop = root->YOff + ARect.Top;
            if (row->BreakBefore && r > 0 && y > pageTop && y < root->PageBottom) {
                root->PageBottom = y;
                root->PageShortened = true;
            } else if (y > pageTop && y < root->PageBottom && y + h > root->PageBottom) {
                // A row cut by the page end moves to the next page when short,
                // or when it asks to stay whole and fits on a page.
                if (h < 101 || (row->KeepIntact && h <= ARect.Bottom - ARect.Top)) {
                    root->PageBottom = y;
                    root->PageShortened = true;
                }
            }
            // Rows below the page's end are the next pages'.
            if (y >= root->PageBottom) break;
        }
        row->Draw(Canvas, ARect, Widths, X, y, CellSpacing, BorderWidth > 0, PaperLight(root, BorderColorLight),
                  BorderColorDark);
        y += h;
    }
}

int ThtmlTable::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager&, int X, int, int) {
    TSectionList* root = ParentSectionList;
    // Hit tests come in document coordinates.
    DrawX_ = X - (root ? root->DrawOriginX : 0);
    int yOff = root ? root->YOff : 0;
    int top = ContentTop, bottom = ContentTop + SectionHeight;
    bool printing = root && root->Printing;
    if (!printing && (bottom - yOff < ARect.Top || top - yOff > ARect.Bottom)) return bottom;
    if (root) ++root->TableNestLevel;
    if (printing && root->TableNestLevel == 1 && HeadOrFoot)
        DrawPrinted(Canvas, ARect, X, top);
    else
        DrawRows(Canvas, ARect, X, top, 0, Rows.Count() - 1, true);
    if (root) --root->TableNestLevel;
    return bottom;
}

int ThtmlTable::LastFootRow() const {
    int last = FootStartRow;
    while (last >= 0 && last + 1 < Rows.Count() && Rows[last + 1]->RowType == 2) ++last;
    return last;
}

void ThtmlTable::SetPart(TTablePartRec& Part, TablePartType Type) const {
    // The bands take the table's frame along: the head band the frame's top,
    // the foot band its bottom when the foot rows end the table.
    int frameTop = 0, frameBottom = 0;
    if (const auto* b = dynamic_cast<const TTableBlock*>(OwnerBlock)) {
        auto px = [&](int i) { return std::max(0, b->MargArray[static_cast<size_t>(i)]); };
        frameTop = px(piBorderTopWidth) + px(piPaddingTop);
        frameBottom = px(piBorderBottomWidth) + px(piPaddingBottom);
    }
    int footY = ContentTop;
    for (int r = 0; r < FootStartRow && r < Rows.Count(); ++r) footY += Heights[static_cast<size_t>(r)];
    const bool footEnds = FootStartRow >= 0 && LastFootRow() == Rows.Count() - 1;
    Part.TablePart = Type;
    Part.FootHeight = FootStartRow < 0 ? 0 : FootHeight + std::max(CellSpacing, 0) + (footEnds ? frameBottom : 0);
    Part.PartStart = Part.PartHeight = 0;
    if (Type == tpDoHead) {
        Part.PartStart = ContentTop - frameTop;
        Part.PartHeight = HeaderHeight + frameTop;
    } else if (Type == tpDoFoot) {
        Part.PartStart = footY;
        Part.PartHeight = Part.FootHeight;
    }
}

void ThtmlTable::DrawPrinted(TCanvas& Canvas, const TRect& ARect, int X, int Y) {
    TSectionList* root = ParentSectionList;
    TTablePartRec& part = *TablePartRec;
    const int all = Rows.Count() - 1;
    const TablePartType next = FootStartRow >= 0 ? tpDoFoot : tpDoHead;
    if (root->TablePartRec == &part) {
        switch (part.TablePart) {
            case tpDoHead:
                // The head band at the top of a following page.
                DrawRows(Canvas, ARect, X, Y, 0, HeaderRowCount - 1, false);
                SetPart(part, tpDoBody1);
                return;
            case tpDoFoot:
                // The foot band under the last row of the page.
                DrawRows(Canvas, ARect, X, Y, FootStartRow, LastFootRow(), false);
                SetPart(part, HeaderRowCount > 0 ? tpDoHead : tpDoBody3);
                return;
            case tpNormal:
                root->TablePartRec = nullptr;
                break;
            default:
                // The body on a following page, below its head band.
                if (Y + SectionHeight <= root->PageBottom) {
                    DrawRows(Canvas, ARect, X, Y, 0, all, true);
                    SetPart(part, tpNormal);
                    root->TablePartRec = nullptr;
                } else {
                    root->PageBottom -= part.FootHeight + 5;
                    DrawRows(Canvas, ARect, X, Y, 0, all, true);
                    SetPart(part, next);
                }
                return;
        }
    }
    const int pageTop = root->YOff + ARect.Top;
    const int pageHeight = ARect.Bottom - ARect.Top;
    SetPart(part, tpDoHead);
    const int repeated = part.PartHeight + part.FootHeight + 5;
    // Another table is being repeated, this one fits, it began on an earlier
    // page, or its head and foot would leave little room for the body on a
    // page: its rows are drawn as they come.
    if (root->TablePartRec || Y + SectionHeight <= root->PageBottom || Y < pageTop - std::max(CellSpacing, 0) ||
        Y >= root->PageBottom || 2 * repeated > pageHeight) {
        SetPart(part, tpNormal);
        DrawRows(Canvas, ARect, X, Y, 0, all, true);
        return;
    }
    const int firstBody = HeaderRowCount < Rows.Count() ? Heights[static_cast<size_t>(HeaderRowCount)] : 0;
    const int needed = HeaderHeight + firstBody + part.FootHeight + 5;
    if (Y + needed > root->PageBottom && needed < pageHeight && Y > pageTop) {
        // The head and first row would be cut: the table starts on the next page.
        SetPart(part, tpNormal);
        root->PageBottom = Y + CellSpacing / 2;
        root->PageShortened = true;
        return;
    }
    root->PageBottom -= part.FootHeight + 5;
    DrawRows(Canvas, ARect, X, Y, 0, all, true);
    SetPart(part, next);
    root->TablePartRec = &part;
}

ThtmlTable::CellHit ThtmlTable::CellAt(int X, int Y) const {
    CellHit hit;
    if (Y < ContentTop || Y >= ContentTop + SectionHeight || X < DrawX_ || X >= DrawX_ + TableWidth) return hit;
    const auto [first, last] = RowsBetween(Y + 1, Y);
    for (int r = first; r <= last && r < Rows.Count(); ++r) {
        TCellList* row = Rows[r];
        for (int c = 0; c < row->Count(); ++c) {
            TCellObj* cell = (*row)[c];
            if (!cell || cell->IsDummy()) continue;
            int x = DrawX_ + ColumnLeft(c);
            if (X >= x && X < x + cell->Wd && Y >= cell->RowTop && Y < cell->RowTop + cell->Ht) {
                hit.Cell = cell;
                hit.X = x;
                return hit;
            }
        }
    }
    return hit;
}

unsigned ThtmlTable::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle) {
    CellHit h = CellAt(X, Y);
    return h.Cell ? h.Cell->Cell->GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, ATitle) : 0;
}

bool ThtmlTable::GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff) {
    CellHit h = CellAt(X, Y);
    return h.Cell && h.Cell->Cell->GetObjectAt(X, Y, Obj, XOff, YOff);
}

int ThtmlTable::FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext) {
    CellHit h = CellAt(X, Y);
    return h.Cell ? h.Cell->Cell->FindCursor(Canvas, X, Y, XR, YR, CaretHt, Intext) : -1;
}

template <class F>
int ThtmlTable::ForCells(bool Reverse, F f) const {
    const int n = Rows.Count();
    for (int ri = 0; ri < n; ++ri) {
        TCellList* row = Rows[Reverse ? n - 1 - ri : ri];
        const int m = row->Count();
        for (int ci = 0; ci < m; ++ci) {
            TCellObj* cell = (*row)[Reverse ? m - 1 - ci : ci];
            if (!cell || cell->IsDummy()) continue;
            int r = f(*cell->Cell);
            if (r >= 0) return r;
        }
    }
    return -1;
}

int ThtmlTable::FindString(int From, const std::u16string& ToFind, bool MatchCase) {
    return ForCells(false, [&](TCellObjCell& c) { return c.FindString(From, ToFind, MatchCase); });
}

int ThtmlTable::FindStringR(int From, const std::u16string& ToFind, bool MatchCase) {
    return ForCells(true, [&](TCellObjCell& c) { return c.FindStringR(From, ToFind, MatchCase); });
}

int ThtmlTable::FindSourcePos(int DocPos) {
    return ForCells(false, [&](TCellObjCell& c) { return c.FindSourcePos(DocPos); });
}

int ThtmlTable::FindDocPos(int SourcePos, bool Prev) {
    return ForCells(Prev, [&](TCellObjCell& c) { return c.FindDocPos(SourcePos, Prev); });
}

bool ThtmlTable::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) {
    return ForCells(false, [&](TCellObjCell& c) { return c.CursorToXY(Canvas, Cursor, X, Y) ? 1 : -1; }) >= 0;
}

bool ThtmlTable::GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj) {
    if (Pos < StartCurs || Pos >= StartCurs + Len) return false;
    return ForCells(false, [&](TCellObjCell& c) { return c.GetCharAt(Pos, Ch, Obj) ? 1 : -1; }) >= 0;
}

void ThtmlTable::CopySelectionToBuffer(SelTextCount& Buffer) {
    ForCells(false, [&](TCellObjCell& c) {
        c.CopySelectionToBuffer(Buffer);
        return -1;
    });
}

void ThtmlTable::AddToPositionList() {
    ForCells(false, [&](TCellObjCell& c) {
        c.AddSectionsToPositionList();
        return -1;
    });
}

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<ThtmlTable>(AMasterList, *this);
}

// ================================================================ TTableBlock

TTableBlock::TTableBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, ThtmlTable* ATable,
                         TAttributeList* Attr, bool)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attr), Table(ATable) {
    MyCell->Add(ATable, 0);
    ATable->OwnerBlock = this;
    OwnVerticalMargins(*this);
    if (Attr) {
        for (const auto& a : *Attr) {
            switch (a->Symbol) {
                case WidthSy:
                    if (EndsWithPercent(a->TextValue)) {
                        AsPercent = true;
                        if (a->NumValue >= 1 && a->NumValue <= 100) WidthAttr = 10 * a->NumValue;
                    } else if (a->NumValue > 0) {
                        WidthAttr = std::min(a->NumValue, 32000);
                    }
                    break;
                case HeightSy:
                    if (!(Prop && Prop->PropSet[piHeight]) && a->NumValue > 0)
                        MargArrayO.Edit()[piHeight] = TPropValue(a->TextValue);
                    break;
                case HSpaceSy: HSpace = std::min(40, std::abs(a->NumValue)); break;
                case VSpaceSy: VSpace = std::min(200, std::abs(a->NumValue)); break;
                case AlignSy: {
                    std::string v = Lower(a->TextValue);
                    if (v == "center") {
                        MargArrayO.Edit()[piMarginLeft] = TPropValue("auto");
                        MargArrayO.Edit()[piMarginRight] = TPropValue("auto");
                        Justification = 2;
                    } else if ((v == "left" || v == "right") && FloatLR == 0) {
                        FloatLR = v == "left" ? 5 : 6;
                    }
                    break;
                }
                case BGColorSy: {
                    TColor c;
                    if (ColorFromString(a->TextValue, false, c)) {
                        TableBkColor = c;
                        BkColorSet = true;
                    }
                    break;
                }
                case BackgroundSy:
                    if (!a->TextValue.empty()) {
                        EditBg().Image =
                            TImageObj::CreateFromURL(AMasterList ? AMasterList->MasterList : nullptr, a->TextValue);
                        Bg->Pos[0] = PositionRec{6, 0, true, false};
                        Bg->Pos[1] = PositionRec{6, 0, true, false};
                    }
                    break;
                default: break;
            }
        }
    }
    bool noStyles = true;
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        const TPropValue& v = MargArrayO[static_cast<size_t>(i)];
        if ((v.IsInt() && v.Int() != 0) || (v.IsText() && BorderStyleFromString(v.Text()) != 0)) noStyles = false;
    }
    if (ATable->HasBorder && noStyles) {
        for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i)
            MargArrayO.Edit()[static_cast<size_t>(i)] = TPropValue(ATable->BorderWidth);
        for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
            MargArrayO.Edit()[static_cast<size_t>(i)] = TPropValue(3);
        BorderStyle = 3;
        HasBorder = true;
    }
    if (BkColorSet) {
        ATable->BkGnd = true;
        ATable->BkColor = TableBkColor;
    }
}

TTableBlock::TTableBlock(TCellBasic* AMasterList, const TTableBlock& T)
    : TBlock(AMasterList, T), Table(nullptr), WidthAttr(T.WidthAttr), AsPercent(T.AsPercent),
      BkColorSet(T.BkColorSet), TableBkColor(T.TableBkColor), HSpace(T.HSpace), VSpace(T.VSpace),
      HasBorder(T.HasBorder), HasCaption(T.HasCaption) {
    for (const auto& s : *MyCell)
        if (auto* t = dynamic_cast<ThtmlTable*>(s.get())) {
            Table = t;
            t->OwnerBlock = this;
            break;
        }
}

std::unique_ptr<TSectionBase> TTableBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TTableBlock>(AMasterList, *this);
}

int TTableBlock::SideSpace() const {
    auto v = [&](int i) {
        int x = MargArray[static_cast<size_t>(i)];
        return x == Auto || x == IntNull || x < 0 ? 0 : x;
    };
    return v(piPaddingLeft) + v(piPaddingRight) + v(piBorderLeftWidth) + v(piBorderRightWidth);
}

void TTableBlock::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    if (Table) Table->tbWidth = (WidthAttr > 0 && !AsPercent) ? std::max(0, WidthAttr - SideSpace()) : 0;
    TBlock::MinMaxWidth(Canvas, Min, Max);
    if (WidthAttr > 0 && !AsPercent) {
        Min = std::max(Min, WidthAttr);
        Max = Min;
    }
}

int TTableBlock::FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) {
    (void)AHeight;
    (void)AutoCount;
    if (HasCaption) {
        MargArray[piMarginLeft] = 0;
        MargArray[piMarginRight] = 0;
    } else if (FloatLR != 0) {
        auto unset = [&](int i) { return MargArray[static_cast<size_t>(i)] == Auto || MargArray[static_cast<size_t>(i)] <= 0; };
        if (unset(piMarginLeft) && unset(piMarginRight)) {
            MargArray[piMarginLeft] = HSpace;
            MargArray[piMarginRight] = HSpace;
            MargArray[piMarginTop] = VSpace;
            MargArray[piMarginBottom] = VSpace;
        }
    }
    if (BkColorSet && (MargArray[piBackgroundColor] == clNone || MargArray[piBackgroundColor] == IntNull)) {
        MargArray[piBackgroundColor] = TableBkColor;
        if (Table) Table->BkGnd = !HasBackgroundImage();
    }
    auto margin = [&](int i) {
        int x = MargArray[static_cast<size_t>(i)];
        return x == Auto || x == IntNull || x < 0 ? 0 : x;
    };
    int sides = margin(piMarginLeft) + margin(piMarginRight) + SideSpace();
    int mn = 0, mx = 0;
    if (Table) {
        Table->tbWidth = (WidthAttr > 0 && !AsPercent) ? std::max(0, WidthAttr - SideSpace()) : 0;
        Table->Stretch = AsPercent && WidthAttr > 0;
        Table->MinMaxWidth(Canvas, mn, mx);
    }
    int w;
    if (WidthAttr <= 0) {
        w = std::max(mn, AWidth - sides);
        if (w >= mx) w = mx;
    } else {
        if (AsPercent)
            w = TableMath::MulDivTrunc(AWidth - sides, WidthAttr, 1000);
        else
            w = WidthAttr - SideSpace();
        w = std::max(w, mn);
    }
    if (Justification == 2 && !HasCaption && FloatLR == 0) {
        int room = std::max(0, AWidth - w - SideSpace());
        MargArray[piMarginLeft] = room / 2;
        MargArray[piMarginRight] = room - room / 2;
    }
    return w;
}

int TTableBlock::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                        IndentManager& IMgr, int& MaxWidth, int& Curs) {
    TableIndentShift = 0;
    if (FloatLR == 0) {
        int li = IMgr.LeftIndent(Y);
        int rs = IMgr.RightSide(Y);
        if (li > X) {
            TableIndentShift = li - X;
            X = li;
        }
        AWidth = std::max(0, std::min(AWidth, rs - X));
    }
    return TBlock::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}

int TTableBlock::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    TSectionList* list = ParentSectionList;
    if (list && list->Printing && list->TableNestLevel == 0 && Table && Table->HeaderRowCount == 0 &&
        Positioning != 1 && !DisplayNone) {
        // A table without a head that starts low on a page and would run over
        // its end goes to the next page when it fits on one.
        const int pageTop = list->YOff + ARect.Top, pageHeight = ARect.Bottom - ARect.Top;
        const int top = ContentTop + std::max<int>(0, MargArray[piMarginTop]);
        if (top > pageTop + 2 * pageHeight / 3 && top < list->PageBottom && ContentBot > list->PageBottom &&
            SectionHeight < pageHeight) {
            list->PageBottom = top;
            list->PageShortened = true;
            return ContentTop + SectionHeight;
        }
    }
    return TBlock::Draw(Canvas, ARect, IMgr, X + TableIndentShift, XRef, YRef);
}

void TTableBlock::DrawBlockBorder(TCanvas& Canvas, const TRect& ORect, const TRect& IRect) {
    if (!HasBorder || !Table) {
        TBlock::DrawBlockBorder(Canvas, ORect, IRect);
        return;
    }
    // border="0" paints as a table without the attribute.
    if (Table->BorderWidth <= 0) return;
    TColor light = PaperLight(ParentSectionList, Table->BorderColorGiven ? Table->BorderColorLight : TColor(0x80000014));
    TColor dark = Table->BorderColorGiven ? Table->BorderColorDark : TColor(0x80000010);
    RaisedRectColor(ParentSectionList, Canvas, ORect.Left, ORect.Top, Table->BorderWidth, true, light, dark,
                    ORect.Right - 1, ORect.Bottom - 1);
}

void TTableBlock::AddToPositionList() {
    if (Table) Table->TSectionBase::AddToPositionList();
}

// ================================================================ TTableAndCaptionBlock

TTableAndCaptionBlock::TTableAndCaptionBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell,
                                             TAttributeList* Attr, TTableBlock* ATableBlock)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attr), TableBlock(ATableBlock) {
    // The table's picture is its own block's: none under the caption.
    Bg.reset();
    MyCell->Add(ATableBlock, 0);
    ATableBlock->HasCaption = true;
    OwnVerticalMargins(*this);
    ATableBlock->MargArray[piMarginTop] = 0;
    ATableBlock->MargArray[piMarginBottom] = 0;
    if (Attr)
        if (const TAttribute* a = Attr->Find(AlignSy)) {
            std::string v = Lower(a->TextValue);
            if (v == "center") {
                Justify = 2;
            } else if (v == "left" || v == "right") {
                Justify = v == "left" ? 1 : 3;
                if (FloatLR == 0) FloatLR = v == "left" ? 5 : 6;
            }
        }
    // The pair floats, not the table inside it.
    if (ATableBlock->FloatLR != 0 && FloatLR == 0) FloatLR = ATableBlock->FloatLR;
    ATableBlock->FloatLR = 0;
    RegisterID(Attr);
}

TTableAndCaptionBlock::TTableAndCaptionBlock(TCellBasic* AMasterList, const TTableAndCaptionBlock& T)
    : TBlock(AMasterList, T), TopCaption(T.TopCaption), Justify(T.Justify) {
    for (const auto& s : *MyCell) {
        if (auto* tb = dynamic_cast<TTableBlock*>(s.get()))
            TableBlock = tb;
        else if (auto* b = dynamic_cast<TBlock*>(s.get()))
            CaptionBlock = b;
    }
}

void TTableAndCaptionBlock::SetCaptionBlock(TBlock* Value) {
    CaptionBlock = Value;
    if (TopCaption)
        MyCell->Insert(0, Value);
    else
        MyCell->TSectionItems::Add(Value);
    Value->SetMasterList(ParentSectionList);
}

void TTableAndCaptionBlock::RegisterID(TAttributeList* Attr) {
    if (!Attr || !ParentSectionList) return;
    if (const TAttribute* a = Attr->Find(IDSy))
        if (!a->TextValue.empty()) ParentSectionList->IDNameList.AddObject(Lower(a->TextValue), this);
}

std::unique_ptr<TSectionBase> TTableAndCaptionBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TTableAndCaptionBlock>(AMasterList, *this);
}

void TTableAndCaptionBlock::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    int tmn = 0, tmx = 0, cmn = 0, cmx = 0;
    if (TableBlock) TableBlock->MinMaxWidth(Canvas, tmn, tmx);
    if (CaptionBlock) CaptionBlock->MinMaxWidth(Canvas, cmn, cmx);
    Min = std::max(tmn, cmn);
    Max = std::max(tmx, cmn);
}

int TTableAndCaptionBlock::FindWidth(TCanvas& Canvas, int AWidth, int, int) {
    int mn = 0, mx = 0;
    MinMaxWidth(Canvas, mn, mx);
    int w = std::max(mn, std::min(mx, AWidth));
    int room = std::max(0, AWidth - w);
    if (Justify == 2) {
        MargArray[piMarginLeft] = room / 2;
        MargArray[piMarginRight] = room - room / 2;
    } else if (Justify == 3) {
        MargArray[piMarginLeft] = room;
        MargArray[piMarginRight] = 0;
    }
    return w;
}

int TTableAndCaptionBlock::FindString(int From, const std::u16string& ToFind, bool MatchCase) {
    int r = TableBlock ? TableBlock->FindString(From, ToFind, MatchCase) : -1;
    if (r < 0 && CaptionBlock) r = CaptionBlock->FindString(From, ToFind, MatchCase);
    return r;
}

int TTableAndCaptionBlock::FindStringR(int From, const std::u16string& ToFind, bool MatchCase) {
    int r = CaptionBlock ? CaptionBlock->FindStringR(From, ToFind, MatchCase) : -1;
    if (r < 0 && TableBlock) r = TableBlock->FindStringR(From, ToFind, MatchCase);
    return r;
}

// Block boxes, list items, the body, rules and page breaks.
#include "html/layout/blocks.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <typeinfo>

#include "html/images/image_loading.h"
#include "html/images/viewer_globals.h"
#include "html/layout/section.h"

namespace {

bool Declared(int v) { return v != Auto && v != IntNull && v > 0; }
int OrZero(int v) { return v == Auto || v == IntNull ? 0 : v; }

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A block's box values as given are read from the box properties alone;
// blocks made one after another (the paragraphs of a report's cells) mostly
// read equal ones, and then share the values made last.
void ReadBoxValues(const TProperties& Prop, TSharedBoxValues& target) {
    struct Last {
        std::array<TPropValue, MargHigh - MargLow + 1> from;
        TPropValues block;  // the property values last read alike
        TSharedBoxValues values;
        bool used = false;
    };
    static Last last;
    const auto prop = [&](size_t i) -> const TPropValue& { return Prop.Props[MargLow + i]; };
    if (last.used) {
        // A set copied from the same remembered state holds the very values.
        if (last.block.SameBlock(Prop.Props)) {
            target = last.values;
            return;
        }
        size_t i = 0;
        while (i < last.from.size() && (last.from[i].SameCopy(prop(i)) || last.from[i] == prop(i))) ++i;
        if (i == last.from.size()) {
            target = last.values;
            last.block = Prop.Props;
            return;
        }
    }
    {
        ::MargArrayO values;
        Prop.GetBorderStyles(values);
        target.Assign(values);
    }
    for (size_t i = 0; i < last.from.size(); ++i) last.from[i] = prop(i);
    last.block = Prop.Props;
    last.values = target;
    last.used = true;
}

// Box value sets given to blocks lately.
TRecentSets<::MargArray>& RecentBoxes() {
    static TRecentSets<::MargArray> recent;
    return recent;
}

// Slots a and b (one slot when equal) of box's values set to va and vb.
// Blocks made alike change alike (their margins collapsed, a cell's last
// margin dropped): the last change of one slot and of two is remembered
// with the values it led to.
void ChangeShared(TBoxValues& box, size_t a, int va, size_t b, int vb) {
    struct TChange {
        TBoxValues from, to;
        size_t a = 0, b = 0;
        int va = 0, vb = 0;
    };
    static std::array<TChange, 2> last;
    TChange& c = last[a == b ? 0 : 1];
    if (box.SameSet(c.from) && c.a == a && c.va == va && c.b == b && c.vb == vb) {
        box = c.to;
        return;
    }
    ::MargArray m = box;
    m[a] = va;
    m[b] = vb;
    c.from = box;
    box = m;
    c.to = box;
    c.a = a;
    c.b = b;
    c.va = va;
    c.vb = vb;
}

}  // namespace

// ---------------------------------------------------------------- TBoxValues

TBoxValues::TBoxValues() {
    static const auto initial = [] {
        auto m = std::make_shared<::MargArray>();
        m->fill(0);
        (*m)[piMarginTop] = IntNull;
        (*m)[piMarginBottom] = IntNull;
        return m;
    }();
    values_ = initial;
}

void TBoxValues::Set(size_t i, int v) {
    if ((*values_)[i] == v) return;
    if (values_.use_count() == 1) {
        (*values_)[i] = v;
        return;
    }
    ChangeShared(*this, i, v, i, v);
}

TBoxValues& TBoxValues::operator=(const ::MargArray& m) {
    if (*values_ != m) values_ = RecentBoxes().Share(m);
    return *this;
}

void TBoxValues::SetVertical(int top, int bottom) { ChangeShared(*this, piMarginTop, top, piMarginBottom, bottom); }

::MargArray& TBoxValues::Edit() {
    if (values_.use_count() > 1) values_ = std::make_shared<::MargArray>(*values_);
    return *values_;
}

// ---------------------------------------------------------------- TBlock

namespace {

// Background colour, margins (the vertical ones but the default spacing),
// paddings, border widths, size and offsets.
bool BoxValuesAddNothing(const TProperties& Prop) {
    const TPropValue& bg = Prop.Props[piBackgroundColor];
    if (bg.IsInt() && bg.Int() != IntNull && bg.Int() != clNone) return false;
    for (int i = piMarginTop; i <= piLeftPos; ++i) {
        if (i >= piBorderTopColor && i <= piBorderLeftStyle) continue;  // no border is drawn
        const TPropValue& p = Prop.Props[static_cast<size_t>(i)];
        const bool vertical = i == piMarginTop || i == piMarginBottom;
        if (!p.IsEmpty() && !p.Is(IntNull) && !(vertical && (p.Is(ParaSpace) || p.Is(0)))) return false;
    }
    return true;
}

bool BoxAddsNothingFor(const TProperties& Prop) {
    // Most paragraphs leave all of these unset: each getter below then
    // answers its default.
    static constexpr int kRead[] = {piBorderStyle,     piBorderTopStyle,  piBorderRightStyle, piBorderBottomStyle,
                                    piBorderLeftStyle, piVisibility,      piBackgroundImage,  piPosition,
                                    piFloat,           piClear,           piPageBreakBefore,  piPageBreakAfter,
                                    piPageBreakInside, piOverflow,        piDisplay};
    bool unset = true;
    for (int i : kRead) unset = unset && Prop.Props[static_cast<size_t>(i)].IsEmpty();
    if (unset) return BoxValuesAddNothing(Prop);
    int v = 0;
    bool before = false, after = false, inside = false;
    Prop.GetPageBreaks(before, after, inside);
    std::string image;
    if ((Prop.GetClear(v) && v != 0) || (Prop.GetFloat(v) && v != 0) || Prop.HasBorder() ||
        Prop.GetBorderStyle() != 0 || Prop.DisplayNone() || Prop.GetPosition() != 0 ||
        Prop.GetVisibility() != 2 || before || after || inside || Prop.IsOverflowHidden() ||
        (Prop.GetBackgroundImage(image) && !image.empty() && image != "none"))
        return false;
    return BoxValuesAddNothing(Prop);
}

}  // namespace

bool BoxAddsNothing(const TProperties& Prop) {
    if (!Prop.PropTitle.empty()) return false;
    // The paragraphs of a long table mostly hold the very values of the one
    // before (the cascade shares them): the answer holds for those.
    static struct {
        TPropValues values;
        bool answer = false;
    } last;
    if (Prop.Props.SameBlock(last.values)) return last.answer;
    last.values = Prop.Props;
    last.answer = BoxAddsNothingFor(Prop);
    return last.answer;
}

TBlock::TBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes)
    : TSectionBase(AMasterList),
      MyCell(std::make_unique<TBlockCell>(AMasterList ? AMasterList->MasterList : nullptr)),
      OwnerCell(AnOwnerCell) {
    MyCell->Owner = this;
    if (!Prop) return;
    MyCell->OwnersTag = Prop->PropTag;
    ReadBoxValues(*Prop, MargArrayO);
    int v = 0;
    if (Prop->GetClear(v)) ClearAttr = static_cast<uint8_t>(v);
    if (Prop->GetFloat(v)) FloatLR = static_cast<uint8_t>(v);
    BorderStyle = static_cast<uint8_t>(Prop->GetBorderStyle());
    const TColor fg = Prop->Props[piColor].IsInt() ? Prop->Props[piColor].Int() : clBlack;
    BorderColor = fg;
    EmSize = Prop->EmSize;
    ExSize = Prop->ExSize;
    DisplayNone = Prop->DisplayNone();
    Title.Set(Prop->PropTitle);
    std::string bg;
    if (Prop->GetBackgroundImage(bg) && !bg.empty() && bg != "none") {
        EditBg().Image = TImageObj::CreateFromURL(ParentSectionList, bg);
        Prop->GetBackgroundPos(EmSize, ExSize, Bg->Pos);
    }
    Positioning = static_cast<uint8_t>(Prop->GetPosition());
    Visibility = static_cast<uint8_t>(Prop->GetVisibility());
    Prop->GetPageBreaks(BreakBefore, BreakAfter, KeepIntact);
    if (Positioning != 0) {
        ZIndex = 10 * Prop->GetZIndex();
        if (Positioning == 1 && ZIndex == 0) ZIndex = 1;
    }
    if (Positioning == 1) {
        ownIMgr_ = std::make_unique<IndentManager>();
        MyCell->IMgr = ownIMgr_.get();
    }
    if (FloatLR != 0 && ZIndex == 0) ZIndex = 1;
    if (Prop->PropTag != "table") CollapseMargins();
    if (Attributes && ParentSectionList) {
        const std::string id = Attributes->GetID();
        if (!id.empty()) ParentSectionList->IDNameList.AddObject(id, this);
    }
    HideOverflow = Prop->IsOverflowHidden();
    const TPropValue& ta = Prop->Props[piTextAlign];
    Justification = ta.Is("right") ? 3 : ta.Is("center") ? 2 : 1;
}

TBlock::TBlock(TCellBasic* AMasterList, const TBlock& T)
    : TSectionBase(AMasterList, T),
      MargArray(T.MargArray),
      MargArrayO(T.MargArrayO),
      MyCell(std::make_unique<TBlockCell>(AMasterList ? AMasterList->MasterList : nullptr, *T.MyCell)),
      EmSize(T.EmSize),
      ExSize(T.ExSize),
      BorderColor(T.BorderColor),
      BorderStyle(T.BorderStyle),
      FloatLR(T.FloatLR),
      ClearAttr(T.ClearAttr),
      Positioning(T.Positioning),
      Visibility(T.Visibility),
      BottomAuto(T.BottomAuto),
      BreakBefore(T.BreakBefore),
      BreakAfter(T.BreakAfter),
      KeepIntact(T.KeepIntact),
      DisplayNone(T.DisplayNone),
      HideOverflow(T.HideOverflow),
      Justification(T.Justification),
      OwnerCell(AMasterList),
      NewWidth(T.NewWidth),
      ClearAddon(T.ClearAddon),
      ContentLeft(T.ContentLeft),
      ClientContentBot(T.ClientContentBot),
      TopP(T.TopP),
      LeftP(T.LeftP),
      Title(T.Title) {
    MyCell->Owner = this;
    MyCell->OwnersTag = T.MyCell->OwnersTag;
    TSectionList* list = AMasterList ? AMasterList->MasterList : nullptr;
    if (T.HasBackgroundImage() && list && list->PrintTableBackgrounds) {
        EditBg().Image.reset(static_cast<TImageObj*>(T.Bg->Image->CreateCopy(list).release()));
        Bg->Pos = T.Bg->Pos;
    }
    if (Positioning == 1) {
        ownIMgr_ = std::make_unique<IndentManager>();
        MyCell->IMgr = ownIMgr_.get();
    }
}

TBlock::~TBlock() {
    // The content goes before the float manager it may point at.
    MyCell.reset();
}

std::unique_ptr<TSectionBase> TBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBlock>(AMasterList, *this);
}

void TBlock::CheckFree() {
    if (MyCell) MyCell->ClearSections();
    TSectionList* list = ParentSectionList;
    if (!list) return;
    for (int i = list->IDNameList.Count() - 1; i >= 0; --i)
        if (list->IDNameList.Objects(i) == this) list->IDNameList.AddObject(list->IDNameList.Strings(i), nullptr);
}

void TBlock::CollapseMargins() {
    bool topAuto = false;
    // The vertical margins as the element gives them (percentages of 400).
    auto conv = [&](int index, bool& isAuto) {
        const TPropValue& v = MargArrayO[static_cast<size_t>(index)];
        isAuto = false;
        if (v.IsText()) return LengthConv(v.Text(), false, 400, 0, ExSize, EmSize);
        if (v.IsInt()) {
            if (v.Int() == IntNull) return 0;
            if (v.Int() == ParaSpace) {
                isAuto = true;
                return ParaSpacePixels;
            }
            return v.Int();
        }
        return 0;
    };
    int top = conv(piMarginTop, topAuto);
    bool bottomAuto = false;
    const int bottom = conv(piMarginBottom, bottomAuto);
    BottomAuto = bottomAuto;
    int ownBottom = bottom;
    if (Positioning == 1) {
        if (topAuto) top = 0;
    } else if (FloatLR != 0) {
        // floats keep their margins
    } else if (OwnerCell) {
        // A list nested in a list item keeps no default spacing below it, as
        // it keeps none above it after the item's text.
        TBlock* holder = OwnerCell->Owner;
        if (bottomAuto && holder && holder->MyCell && holder->MyCell->OwnersTag == "li" &&
            (TagIs("ul") || TagIs("ol")))
            ownBottom = 0;
        TSectionBase* prev = nullptr;
        for (int i = OwnerCell->Count() - 1; i >= 0; --i) {
            TSectionBase* s = (*OwnerCell)[i];
            if (s->IsBlock() && static_cast<TBlock*>(s)->Positioning == 1) continue;
            prev = s;
            break;
        }
        if (prev) {
            if (prev->IsBlock()) {
                auto* pb = static_cast<TBlock*>(prev);
                if (pb->IsTableBlock() && pb->FloatLR != 0) {
                    if (topAuto) top = 0;
                } else {
                    int M = pb->MargArray[piMarginBottom];
                    // A block that never converted its margins still holds a
                    // sentinel there, which is no length.
                    if (M == IntNull || M == ParaSpace || M == Auto) M = 0;
                    pb->MargArray[piMarginBottom] = 0;
                    const int T = top;
                    if (T >= 0 && M >= 0) top = std::max(T, M);
                    else if (T < 0 && M < 0) top = std::min(T, M);
                    else top = T + M;
                }
            } else {
                TBlock* owner = OwnerCell->Owner;
                if (owner && owner->MyCell && owner->MyCell->OwnersTag == "li" && topAuto &&
                    (TagIs("ul") || TagIs("ol")))
                    top = 0;
            }
        } else if (topAuto) {
            top = 0;
        } else if (OwnerCell->OwnersTag == "default" || OwnerCell->OwnersTag == "body") {
            TBlock* body = OwnerCell->Owner;
            const int bodyTop = body ? OrZero(body->MargArray[piMarginTop]) : 0;
            top = std::max(0, top - bodyTop);
        }
    }
    MargArray.SetVertical(top, ownBottom);
}

void TBlock::ContentMinMax(TCanvas& Canvas, int& Min, int& Max) {
    const int cycle = ParentSectionList ? ParentSectionList->CycleNumber : -1;
    if (cycle > 0 && cycle == contentCycle_) {
        Min = contentMin_;
        Max = contentMax_;
        return;
    }
    MyCell->MinMaxWidth(Canvas, Min, Max);
    contentCycle_ = cycle;
    contentMin_ = Min;
    contentMax_ = Max;
}

void TBlock::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    Min = 0;
    Max = 0;
    if (DisplayNone || Positioning == 1) return;
    const int cycle = ParentSectionList ? ParentSectionList->CycleNumber : -1;
    if (cycle > 0 && cycle == blockCycle_) {
        Min = blockMin_;
        Max = blockMax_;
        return;
    }
    const ::MargArray& m = ConvertedBox(0, 400);
    const int width = m[piWidth];
    const bool declared = Declared(width);
    // Only a box of a declared width over 20 px clips what overflows it.
    HideOverflow = HideOverflow && declared && width > 20;
    if (HideOverflow) {
        Min = Max = width;
    } else {
        ContentMinMax(Canvas, Min, Max);
    }
    const int L = OrZero(m[piMarginLeft]) + m[piBorderLeftWidth] + m[piPaddingLeft];
    const int R = OrZero(m[piMarginRight]) + m[piBorderRightWidth] + m[piPaddingRight];
    const int w = declared ? width : 0;
    Min = std::max(Min, w) + L + R;
    Max = declared ? Min : L + R + std::max(Max, w);
    blockCycle_ = cycle;
    blockMin_ = Min;
    blockMax_ = Max;
}

int TBlock::FindWidth(TCanvas& Canvas, int AWidth, int, int AutoCount) {
    auto& m = MargArray;
    int Min = 0, Max = 0;
    ContentMinMax(Canvas, Min, Max);
    const int B = m[piBorderLeftWidth] + m[piPaddingLeft] + m[piBorderRightWidth] + m[piPaddingRight];
    int width = m[piWidth];
    int LM = m[piMarginLeft], RM = m[piMarginRight];
    auto remaining = [&]() {
        const int margins = OrZero(LM) + OrZero(RM);
        if (Positioning == 1) return std::max(Min, AWidth - B - margins - LeftP);
        if (FloatLR != 0) return std::min(Max, AWidth - B - margins);
        return std::max(Min, AWidth - B - margins);
    };
    switch (AutoCount) {
    case 0:
        if (!HideOverflow) width = std::max(width, Min);
        if (Positioning == 0 && FloatLR == 0 && LM == 0 && RM == 0 && (Justification == 2 || Justification == 3)) {
            const int E = std::max(0, AWidth - width - B);
            if (Justification == 3) LM = E;
            else LM = RM = E / 2;
        }
        break;
    case 1:
        if (width != Auto) {
            if (!HideOverflow) width = std::max(width, Min);
            if (RM == Auto) RM = FloatLR != 0 ? 0 : std::max(0, AWidth - B - OrZero(LM) - width);
            if (LM == Auto) LM = std::max(0, AWidth - B - OrZero(RM) - width);
        } else {
            width = remaining();
        }
        break;
    case 2:
        if (width != Auto) {
            width = std::max(width, Min);
            LM = RM = std::max(0, AWidth - width - B) / 2;
        } else {
            if (LM == Auto) LM = 0;
            if (RM == Auto) RM = 0;
            width = remaining();
        }
        break;
    default:
        LM = RM = 0;
        width = remaining();
        break;
    }
    m[piMarginLeft] = OrZero(LM);
    m[piMarginRight] = OrZero(RM);
    return width;
}

namespace {

// A float that does not fit beside the floats in force at its top moves down
// to where the next of them ends, until it fits or no float reaches lower.
int FloatTop(const IndentManager& IMgr, int X, int AWidth, int top, int boxWidth) {
    for (;;) {
        const int left = std::max(X, IMgr.LeftIndent(top));
        const int right = std::min(X + AWidth, IMgr.RightSide(top));
        if (right - left >= boxWidth) return top;
        const int next = IMgr.GetNextWiderY(top);
        if (next <= top) return top;
        top = next;
    }
}

}  // namespace

int TBlock::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                   IndentManager& IMgr, int& MaxWidth, int& Curs) {
    StartCurs = Curs;
    if (DisplayNone) {
        SectionHeight = DrawHeight = 0;
        YDraw = ContentTop = ContentBot = DrawTop = DrawBot = Y;
        MaxWidth = 0;
        Len = 0;
        if (MyCell) MyCell->StartCurs = Curs;
        return 0;
    }
    ContentTop = Y;
    int CL = 0, CR = 0;
    if (ClearAttr != 0) IMgr.GetClearY(CL, CR);
    switch (ClearAttr) {
    case 1: ClearAddon = std::max(0, CL - Y - 1); break;
    case 2: ClearAddon = std::max(0, CR - Y - 1); break;
    case 3: ClearAddon = std::max({0, CL - Y - 1, CR - Y - 1}); break;
    default: ClearAddon = 0; break;
    }
    if (HideOverflow) {
        // As the widths are measured: only a box of a declared width over
        // 20 px clips what overflows it (a box in the body is laid out
        // without being measured first).
        const int w = ConvertedBox(0, 400)[piWidth];
        HideOverflow = Declared(w) && w > 20;
    }
    ConvertBox(AWidth, AHeight);
    const auto& m = MargArray;
    TopP = m[piTopPos];
    LeftP = m[piLeftPos];
    if (Positioning == 2) {
        if (TopP == Auto || TopP == IntNull) TopP = 0;
        if (LeftP == Auto || LeftP == IntNull) LeftP = 0;
    } else if (Positioning == 1) {
        if (TopP == Auto || TopP == IntNull) TopP = 0;
        if (LeftP == Auto || LeftP == IntNull) {
            const int right = m[piRightPos];
            if (right != Auto && right != IntNull && Declared(m[piWidth]))
                LeftP = AWidth - right - m[piWidth] - OrZero(m[piMarginLeft]) - OrZero(m[piMarginRight]) -
                        m[piPaddingLeft] - m[piPaddingRight] - m[piBorderLeftWidth] - m[piBorderRightWidth];
            else
                LeftP = 0;
        }
        X = LeftP;
        Y = TopP + YRef;
        ContentTop = Y;
    } else {
        TopP = LeftP = 0;
    }
    NewWidth = FindWidth(Canvas, AWidth, AHeight, LastAutoCount);
    IndentManager* cellMgr = &IMgr;
    if (Positioning == 1) {
        ownIMgr_->Clear();
        ownIMgr_->Reset(0, NewWidth);
        cellMgr = ownIMgr_.get();
        RefIMgr = &IMgr;
    }
    MyCell->IMgr = cellMgr;
    const void* saveID = cellMgr->CurrentID;
    cellMgr->CurrentID = this;

    const int LM = m[piMarginLeft], RM = m[piMarginRight];
    const int LP = m[piPaddingLeft], RP = m[piPaddingRight], TP = m[piPaddingTop], BP = m[piPaddingBottom];
    const int LB = m[piBorderLeftWidth], RB = m[piBorderRightWidth], TB = m[piBorderTopWidth],
              BB = m[piBorderBottomWidth];
    const int TM = m[piMarginTop], BM = m[piMarginBottom];
    const TPropValue& wv = MargArrayO[piWidth];
    if (wv.IsText() && wv.Text().find('%') != std::string::npos)
        NewWidth = std::min(NewWidth, AWidth - LM - RM - LP - RP - LB - RB);

    if (FloatLR != 0) {
        const int from = std::max(Y + ClearAddon, OwnerCell ? OwnerCell->LastFloatTop : INT_MIN);
        ClearAddon = FloatTop(IMgr, X, AWidth, from, LM + LB + LP + NewWidth + RP + RB + RM) - Y;
        if (OwnerCell) OwnerCell->LastFloatTop = Y + ClearAddon;
    }
    DrawTop = Y + ClearAddon + (TM < 0 ? TM : 0);
    const int top = Y + ClearAddon;
    if (FloatLR == ALeft)
        ContentLeft = std::max(X, IMgr.LeftIndent(top)) - X + LM + LP + LB;
    else if (FloatLR == ARight)
        ContentLeft = std::min(X + AWidth, IMgr.RightSide(top)) - X - RM - RP - RB - NewWidth;
    else
        ContentLeft = LM + LP + LB;
    YDraw = Y + ClearAddon + TM + TP + TB;

    const int LIndex = cellMgr->SetLeftIndent(X + ContentLeft - cellMgr->LfEdge, YDraw);
    const int RIndex = cellMgr->SetRightIndent(X + ContentLeft + NewWidth - cellMgr->LfEdge, YDraw);

    const int declaredHeight = m[piHeight];
    const int blockHt = Declared(declaredHeight) ? declaredHeight : AHeight ? AHeight : BlHt;
    int cellMax = 0;
    int contentY = YDraw + (Positioning == 2 ? TopP : 0);
    int refX = XRef, refY = YRef;
    if (Positioning == 1) {
        refX = X + LM + LB;
        refY = Y + TM + TB;
    }
    MyCell->LayoutContents(Canvas, X + ContentLeft, contentY, refX, refY, NewWidth, AHeight, blockHt, cellMax, Curs);
    Len = Curs - StartCurs;
    MaxWidth = LM + LB + LP + cellMax + RP + RB + RM;
    if (Positioning != 0) MaxWidth += LeftP - RM - X;

    int contentBot = MyCell->tcContentBot - (Positioning == 2 ? TopP : 0);
    ClientContentBot = std::max(YDraw, contentBot);
    if (HideOverflow && declaredHeight > 3) ClientContentBot = YDraw + declaredHeight;
    else if (Declared(declaredHeight) && ClientContentBot - YDraw < declaredHeight)
        ClientContentBot = YDraw + declaredHeight;
    if (Positioning == 1) ClientContentBot = std::max(ClientContentBot, ownIMgr_->ImageBottom());
    ContentBot = ClientContentBot + BP + BB + BM;
    DrawBot = std::max(ClientContentBot, MyCell->tcDrawBot) + BP + BB;
    SectionHeight = ContentBot - Y;

    if (HasBackgroundImage() && ParentSectionList && ParentSectionList->ShowImages) {
        Bg->Image->Layout(Canvas, NewWidth, ClientContentBot - YDraw, nullptr);
        if (Bg->Image->Image == static_cast<TGraphic*>(ErrorImage)) Bg->Image.reset();
    }

    cellMgr->FreeLeftIndentRec(LIndex);
    cellMgr->FreeRightIndentRec(RIndex);
    cellMgr->CurrentID = saveID;

    if (FloatLR == 0 && Positioning != 1) {
        DrawHeight = std::max(SectionHeight, IMgr.ImageBottom() - Y);
    } else {
        const int h = SectionHeight;
        if (FloatLR == ALeft)
            IMgr.AddFloatingBlock(top, X + ContentLeft + NewWidth + RP + RB + RM, ALeft, DrawBot - top);
        else if (FloatLR == ARight)
            IMgr.AddFloatingBlock(top, LM + LB + LP + NewWidth + RP + RB + RM, ARight, DrawBot - top);
        SectionHeight = 0;
        DrawHeight = Positioning == 1 ? 0 : h;
    }
    if (!drawSorted_) SortByZIndex();
    return SectionHeight;
}

bool TBlock::IsPlain() const {
    // A percentage box value depends on the height laid out against.
    return typeid(*this) == typeid(TBlock) && !DisplayNone && Positioning == 0 && FloatLR == 0 && !HasBackgroundImage() &&
           boxRelative_ == 0 && MyCell && MyCell->IsPlain();
}

bool TBlock::LaidOutBelow(int top) const { return TSectionBase::LaidOutBelow(top) && MyCell->LaidOutBelow(top); }

void TBlock::MoveDown(int dy, int dcurs) {
    TSectionBase::MoveDown(dy, dcurs);
    ClientContentBot += dy;
    MyCell->MoveContentsDown(dy, dcurs);
}

namespace {

// Boxes converted lately, by the box values they share. The set held keeps
// its address from naming other values while it is here.
struct TBoxConversion {
    TSharedBoxValues given;
    bool used = false;
    int8_t relative = 0;
    int emSize = 0, exSize = 0, width = 0, height = 0;  // width and height: only when relative
    std::array<int, MargLow + 2> passed{};  // the slots the conversion passes through
    int autoCount = 0;
    TSharedMargArray conv;
};

// The slots of m that ConvMargArray leaves as they are.
std::array<int, MargLow + 2> PassedThrough(const ::MargArray& m) {
    std::array<int, MargLow + 2> p{};
    std::copy(m.begin(), m.begin() + MargLow, p.begin());
    p[MargLow] = m[piMarginTop];
    p[MargLow + 1] = m[piMarginBottom];
    return p;
}

}  // namespace

const ::MargArray& TBlock::ConvertedBox(int AWidth, int AHeight) {
    if (convValid_ && !(boxRelative_ && (AWidth != convWidth_ || AHeight != convHeight_))) return conv_;
    // The paragraphs of a long table share a few sets of box values.
    static std::array<TBoxConversion, 4> recent;
    static size_t next = 0;
    const ::MargArrayO* given = &static_cast<const ::MargArrayO&>(MargArrayO);
    for (const TBoxConversion& r : recent) {
        if (!r.used || &static_cast<const ::MargArrayO&>(r.given) != given || r.emSize != EmSize ||
            r.exSize != ExSize || (r.relative && (r.width != AWidth || r.height != AHeight)) ||
            r.passed != PassedThrough(MargArray))
            continue;
        boxRelative_ = r.relative;
        conv_ = r.conv;
        convAutoCount_ = r.autoCount;
        convWidth_ = AWidth;
        convHeight_ = AHeight;
        convValid_ = true;
        return conv_;
    }
    if (boxRelative_ < 0) {
        // Only a percentage depends on the width or height converted against.
        boxRelative_ = 0;
        for (int i = MargLow; i <= MargHigh; ++i) {
            const TPropValue& v = MargArrayO[static_cast<size_t>(i)];
            if (v.IsText() && v.Text().find('%') != std::string::npos) boxRelative_ = 1;
        }
    }
    ::MargArray m = static_cast<const ::MargArray&>(MargArray);
    ConvMargArray(MargArrayO, AWidth, AHeight, EmSize, ExSize, convAutoCount_, m);
    conv_.Assign(m);
    convWidth_ = AWidth;
    convHeight_ = AHeight;
    convValid_ = true;
    TBoxConversion& r = recent[next];
    next = (next + 1) % recent.size();
    r = TBoxConversion{MargArrayO, true,         boxRelative_, EmSize,          ExSize, AWidth,
                       AHeight,    PassedThrough(MargArray), convAutoCount_, conv_};
    return conv_;
}

void TBlock::ConvertBox(int AWidth, int AHeight) {
    // The vertical margins are the collapsed ones, kept in MargArray.
    const int saveTop = MargArray[piMarginTop], saveBottom = MargArray[piMarginBottom];
    const ::MargArray& conv = ConvertedBox(AWidth, AHeight);
    LastAutoCount = convAutoCount_;
    // Blocks alike convert alike: the values the last one took are taken
    // again without comparing them.
    static struct {
        TSharedMargArray conv;  // keeps the converted set (and its address) alive
        TBoxValues from, to;
    } last;
    if (&static_cast<const ::MargArray&>(last.conv) == &conv && MargArray.SameSet(last.from)) {
        MargArray = last.to;
        return;
    }
    TBoxValues from = MargArray;
    ::MargArray m = conv;
    m[piMarginTop] = saveTop == IntNull ? 0 : saveTop;
    m[piMarginBottom] = saveBottom == IntNull ? 0 : saveBottom;
    MargArray = m;
    last.conv = conv_;
    last.from = std::move(from);
    last.to = MargArray;
}

void TBlock::SortByZIndex() {
    auto before = [](const TSectionBase* a, const TSectionBase* b) {
        auto rank = [](int z) { return z < 0 ? 0 : z == 0 ? 1 : 2; };
        if (rank(a->ZIndex) != rank(b->ZIndex)) return rank(a->ZIndex) < rank(b->ZIndex);
        if (a->ZIndex != 0 && b->ZIndex != 0) return a->ZIndex < b->ZIndex;
        return false;
    };
    bool inOrder = true;
    for (int i = 0; i < MyCell->Count(); ++i) {
        (*MyCell)[i]->OwnerBlock = this;
        if (i > 0 && before((*MyCell)[i], (*MyCell)[i - 1])) inOrder = false;
    }
    drawSorted_ = MyCell->Count() > 0;
    zOrder_.reset();
    if (inOrder) return;
    zOrder_ = std::make_unique<std::vector<TSectionBase*>>();
    for (const auto& s : *MyCell) zOrder_->push_back(s.get());
    std::stable_sort(zOrder_->begin(), zOrder_->end(), before);
}

int TBlock::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    const int result = ContentTop + SectionHeight;
    if (DisplayNone) return result;
    TSectionList* list = ParentSectionList;
    if (list && list->Printing && Positioning != 1) {
        const int pageTop = list->YOff + ARect.Top;
        const int pageHeight = ARect.Bottom - ARect.Top;
        const int blockTop = ContentTop + OrZero(MargArray[piMarginTop]);
        if (BreakBefore && blockTop > pageTop) {
            // The page ends here: a line below may not carry it further down.
            list->PageBottom = std::min(list->PageBottom, blockTop);
            list->PageShortened = true;
            return result;
        }
        // A block that ended on an earlier page broke that page, not this one.
        if (BreakAfter && ContentBot > pageTop) list->PageBottom = std::min(list->PageBottom, ContentBot);
        if (KeepIntact && ContentTop >= pageTop && ContentBot > list->PageBottom && SectionHeight < pageHeight)
            list->PageBottom = std::min(list->PageBottom, blockTop);
    }
    if (Visibility == 1) return result;
    int x = X, y = ContentTop;
    if (Positioning == 2) {
        x += LeftP;
        y += TopP;
    } else if (Positioning == 1) {
        x = XRef + LeftP;
        y = YRef + TopP;
    }
    DrawBlock(Canvas, ARect, IMgr, x, y, XRef, YRef);
    return result;
}

void TBackgroundPicture::Draw(TCanvas& Canvas, const TRect& Area, const TRect& View) const {
    const int iw = Image->ImageWidth, ih = Image->ImageHeight;
    if (Area.Right <= Area.Left || Area.Bottom <= Area.Top || iw <= 0 || ih <= 0) return;
    const TRect& place = Pos[0].Fixed ? View : Area;
    // Where the tile at the picture's place starts along one axis.
    auto start = [](const PositionRec& p, int from, int size, int img) {
        long long o = 0;
        switch (p.PosType) {
            case 1: o = size / 2 - img / 2; break;
            case 2:
            case 4: o = size - img; break;
            case 5: o = static_cast<long long>(size - img) * p.Value / 100; break;
            case 6: o = p.Value; break;
            default: break;
        }
        return static_cast<int>(from + std::clamp<long long>(o, -img, size));
    };
    const int x0 = start(Pos[0], place.Left, place.Right - place.Left, iw);
    const int y0 = start(Pos[1], place.Top, place.Bottom - place.Top, ih);
    // Only the part of the box in view gets tiles.
    TRect paint;
    if (!IntersectRect(paint, Area, View)) return;
    const int saved = Canvas.SaveDC();
    Canvas.IntersectClipRect(Area.Left, Area.Top, Area.Right, Area.Bottom);
    Image->DrawTiles(Canvas, TTilePlan(x0, y0, iw, ih, Pos[0].RepeatD, Pos[1].RepeatD, paint));
    Canvas.RestoreDC(saved);
}

int TBlock::DrawBlock(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int Y, int XRef, int YRef) {
    TSectionList* list = ParentSectionList;
    const int yOff = list ? list->YOff : 0;
    const auto& m = MargArray;
    const int LB = m[piBorderLeftWidth], RB = m[piBorderRightWidth], TB = m[piBorderTopWidth],
              BB = m[piBorderBottomWidth];
    const int LP = m[piPaddingLeft], RP = m[piPaddingRight], TP = m[piPaddingTop], BP = m[piPaddingBottom];
    const int shiftY = Y - ContentTop;  // relative and absolute offsets
    const int contentX = X + ContentLeft;
    const int boxLeft = contentX - LP - LB;
    const int boxTop = YDraw - TP - TB - yOff + shiftY;
    const int boxRight = contentX + NewWidth + RP + RB;
    const int boxBottom = ClientContentBot + BP + BB - yOff + shiftY;
    MyRect = TRect{boxLeft, boxTop, boxRight, boxBottom};
    const bool meets = boxLeft < ARect.Right && boxRight > ARect.Left && boxTop < ARect.Bottom &&
                       boxBottom > ARect.Top;
    const bool paintBack = !(list && list->IsCopy) || (list && (list->PrintBackground || list->PrintTableBackgrounds));
    if (meets && paintBack) {
        const TColor bg = m[piBackgroundColor];
        if (bg != clNone) FillRectColor(Canvas, boxLeft, boxTop, boxRight, boxBottom, bg);
        // The picture is tiled over the padding box.
        if (HasBackgroundImage() && list && list->ShowImages && Bg->Image->Image && !Bg->Image->ShowsStandIn())
            Bg->Draw(Canvas, TRect{boxLeft + LB, boxTop + TB, boxRight - RB, boxBottom - BB}, ARect);
    }
    if (HideOverflow) {
        const int saved = Canvas.SaveDC();
        Canvas.IntersectClipRect(boxLeft + LB, boxTop + TB, boxRight - RB, boxBottom - BB);
        DrawContents(Canvas, ARect, IMgr, contentX, Y, XRef, YRef);
        Canvas.RestoreDC(saved);
    } else {
        DrawContents(Canvas, ARect, IMgr, contentX, Y, XRef, YRef);
    }
    if (meets) DrawBlockBorder(Canvas, MyRect, TRect{boxLeft + LB, boxTop + TB, boxRight - RB, boxBottom - BB});
    return boxBottom;
}

void TBlock::DrawContents(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int, int XRef, int YRef) {
    IndentManager* mgr = &IMgr;
    if (Positioning == 1 && ownIMgr_) {
        ownIMgr_->Reset(X, X + NewWidth);
        mgr = ownIMgr_.get();
        XRef = X;
        YRef = YDraw;
    }
    mgr->ClipWidth = IMgr.ClipWidth;
    const void* saveID = mgr->CurrentID;
    mgr->CurrentID = this;
    if (!drawSorted_ && MyCell->Count() > 0) SortByZIndex();
    if (!zOrder_) {
        MyCell->DrawSections(Canvas, ARect, *mgr, X, 0, XRef, YRef);
    } else {
        // The drawing order holds those of a negative z-index, then the
        // others in the cell's order, then those of a positive one.
        const std::vector<TSectionBase*>& order = *zOrder_;
        size_t below = 0, above = order.size();
        while (below < above && order[below]->ZIndex < 0) ++below;
        while (above > below && order[above - 1]->ZIndex > 0) --above;
        auto draw = [&](TSectionBase* s) {
            if (MyCell->MayDraw(*s, ARect)) s->Draw(Canvas, ARect, *mgr, X, XRef, YRef);
        };
        for (size_t i = 0; i < below; ++i) draw(order[i]);
        MyCell->DrawSections(Canvas, ARect, *mgr, X, 0, XRef, YRef, true);
        for (size_t i = above; i < order.size(); ++i) draw(order[i]);
    }
    mgr->CurrentID = saveID;
}

bool TBlock::DrawReach(int& Top, int& Bottom) {
    Top = INT_MAX;
    Bottom = INT_MIN;
    if (DisplayNone) return true;
    // A positioned box draws away from its place, a page break acts wherever
    // the page is, and the first Draw sorts a cell filled since its layout.
    if (Positioning != 0 || BreakBefore || BreakAfter || KeepIntact || !MyCell ||
        (!drawSorted_ && MyCell->Count() > 0))
        return false;
    if (Visibility == 1) return true;
    // On the screen a title is found in the box the last Draw placed.
    if (!Title.Get().empty() && !(ParentSectionList && ParentSectionList->IsCopy)) return false;
    // The border box as DrawBlock paints it, and the content (floats and
    // overflow included) wherever it draws.
    int top = 0, bottom = 0;
    if (!MyCell->DrawReach(top, bottom)) return false;
    const auto& m = MargArray;
    Top = std::min(top, YDraw - m[piPaddingTop] - m[piBorderTopWidth]);
    Bottom = std::max(bottom, ClientContentBot + m[piPaddingBottom] + m[piBorderBottomWidth]);
    return true;
}

void TBlock::DrawBlockBorder(TCanvas& Canvas, const TRect& ORect, const TRect& IRect) {
    if (BorderStyle == 0 && MargArray[piBorderTopStyle] == 0 && MargArray[piBorderLeftStyle] == 0 &&
        MargArray[piBorderRightStyle] == 0 && MargArray[piBorderBottomStyle] == 0)
        return;
    const auto& m = MargArray;
    auto col = [&](int i) { return m[i] == clNone || m[i] == IntNull || m[i] == 0 ? BorderColor : m[i]; };
    DrawBorder(Canvas, ORect, IRect,
               MakeFourColors(col(piBorderLeftColor), col(piBorderTopColor), col(piBorderRightColor),
                              col(piBorderBottomColor)),
               MakeFourStyles(static_cast<uint8_t>(m[piBorderLeftStyle]), static_cast<uint8_t>(m[piBorderTopStyle]),
                              static_cast<uint8_t>(m[piBorderRightStyle]),
                              static_cast<uint8_t>(m[piBorderBottomStyle])),
               m[piBackgroundColor], ParentSectionList && ParentSectionList->Printing);
}

void TBlock::CopySelectionToBuffer(SelTextCount& Buffer) {
    if (DisplayNone) return;
    MyCell->CopySelectionToBuffer(Buffer);
    TSectionList* list = ParentSectionList;
    if (list && TagIs("p") && MyCell->StartCurs + MyCell->Len < list->SelE) {
        static const char16_t crlf[] = {13, 10};
        Buffer.AddText(crlf, 2);
    }
}

unsigned TBlock::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                           std::string& ATitle) {
    if (DisplayNone) return 0;
    unsigned result = 0;
    const int yy = Y - (ParentSectionList ? ParentSectionList->YOff : 0);
    const int xx = X + (ParentSectionList ? ParentSectionList->DrawOriginX : 0);
    if (!Title.Get().empty() && xx >= MyRect.Left && xx < MyRect.Right && yy >= MyRect.Top && yy < MyRect.Bottom) {
        ATitle = Title.Get();
        result |= guTitle;
    }
    std::string t;
    const unsigned r = MyCell->GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, t);
    if (r & guTitle) ATitle = t;
    return result | r;
}

bool TBlock::GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff) {
    if (DisplayNone) return false;
    for (int i = DrawCount() - 1; i >= 0; --i) {
        TSectionBase* s = DrawItem(i);
        if (s->DrawTop <= Y && Y < s->DrawBot && s->GetObjectAt(X, Y, Obj, XOff, YOff)) return true;
    }
    return false;
}

int TBlock::FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext) {
    if (DisplayNone) return -1;
    for (int i = DrawCount() - 1; i >= 0; --i) {
        TSectionBase* s = DrawItem(i);
        if (s->DrawTop <= Y && Y < s->DrawBot) {
            const int r = s->FindCursor(Canvas, X, Y, XR, YR, CaretHt, Intext);
            if (r >= 0) return r;
        }
    }
    return -1;
}

int TBlock::FindString(int From, const std::u16string& ToFind, bool MatchCase) {
    return DisplayNone ? -1 : MyCell->FindString(From, ToFind, MatchCase);
}

int TBlock::FindStringR(int From, const std::u16string& ToFind, bool MatchCase) {
    return DisplayNone ? -1 : MyCell->FindStringR(From, ToFind, MatchCase);
}

int TBlock::FindSourcePos(int DocPos) { return DisplayNone ? -1 : MyCell->FindSourcePos(DocPos); }

int TBlock::FindDocPos(int SourcePos, bool Prev) { return DisplayNone ? -1 : MyCell->FindDocPos(SourcePos, Prev); }

bool TBlock::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) {
    return !DisplayNone && MyCell->CursorToXY(Canvas, Cursor, X, Y);
}

bool TBlock::GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj) {
    return !DisplayNone && MyCell->GetCharAt(Pos, Ch, Obj);
}

void TBlock::AddToPositionList() { MyCell->AddSectionsToPositionList(); }

// ---------------------------------------------------------------- TBlockLI

namespace {
const char* const LowRoman[20] = {"i",  "ii",  "iii",  "iv",  "v",  "vi",  "vii",  "viii",  "ix",  "x",
                                  "xi", "xii", "xiii", "xiv", "xv", "xvi", "xvii", "xviii", "xix", "xx"};
}  // namespace

TBlockLI::TBlockLI(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, Symb Sy, bool APlain,
                   char IndexType, int AListNumber, int ListLevel, TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {
    switch (Sy) {
    case OLSy:
        ListType = 1;
        ListStyle = IndexType == 'A' ? 8 : IndexType == 'I' ? 9 : IndexType == 'a' ? 4 : IndexType == 'i' ? 5 : 2;
        break;
    case ULSy:
    case DirSy:
    case MenuSy:
        ListType = 2;
        if (APlain) ListStyle = 6;
        else ListStyle = ListLevel % 3 == 0 ? 7 : ListLevel % 3 == 1 ? 3 : 1;
        break;
    case DLSy: ListType = 3; break;
    default: {
        ListType = 4;
        ListStyle = 3;
        const TPropValue& ml = MargArrayO[piMarginLeft];
        if (ml.IsEmpty() || ml.Is(IntNull) || ml.Is(0) || ml.Is("0") || ml.Is("0px"))
            MargArrayO.Edit()[piMarginLeft] = 16;
        break;
    }
    }
    ListNumber = AListNumber;
    if (Prop) {
        const int st = Prop->GetListStyleType();
        if (st != 0) ListStyle = static_cast<uint8_t>(st);
        ListFont = Prop->GetFont();
        const std::string img = Prop->GetListStyleImage();
        if (!img.empty()) Image = TImageObj::CreateFromURL(ParentSectionList, img);
    }
    if (!ListFont) ListFont = std::make_unique<TMyFont>();
}

TBlockLI::TBlockLI(TCellBasic* AMasterList, const TBlockLI& T)
    : TBlock(AMasterList, T), ListType(T.ListType), ListNumber(T.ListNumber), ListStyle(T.ListStyle),
      ListFont(std::make_unique<TMyFont>()) {
    ListFont->Assign(*T.ListFont);
    if (T.Image) Image.reset(static_cast<TImageObj*>(T.Image->CreateCopy(ParentSectionList).release()));
}

TBlockLI::~TBlockLI() = default;

std::unique_ptr<TSectionBase> TBlockLI::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBlockLI>(AMasterList, *this);
}

int TBlockLI::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                     IndentManager& IMgr, int& MaxWidth, int& Curs) {
    if (Image) {
        Image->Layout(Canvas, AWidth, AHeight, nullptr);
        if (Image->Image == static_cast<TGraphic*>(ErrorImage)) Image.reset();
    }
    FirstLineHt = 0;
    TSectionList* list = ParentSectionList;
    int* save = list ? list->FirstLineHtPtr : nullptr;
    if (list) list->FirstLineHtPtr = &FirstLineHt;
    const int r = TBlock::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
    (void)save;
    if (list) list->FirstLineHtPtr = nullptr;
    return r;
}

std::u16string TBlockLI::NumberText() const {
    const int N = ListNumber;
    std::string s;
    switch (ListStyle) {
    case 4: s = std::string(1, static_cast<char>('a' + std::clamp(N - 1, 0, 25))); break;
    case 8: s = std::string(1, static_cast<char>('A' + std::clamp(N - 1, 0, 25))); break;
    case 5:
    case 9:
        if (N < 1) {
            s = std::to_string(N);  // no numeral below one: the number itself
        } else {
            s = LowRoman[std::min(N, 20) - 1];
            if (ListStyle == 9)
                for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        break;
    case 2: s = std::to_string(N); break;
    default: return {};
    }
    s += ".";
    return std::u16string(s.begin(), s.end());
}

bool TBlockLI::DrawReach(int& Top, int& Bottom) {
    if (!TBlock::DrawReach(Top, Bottom)) return false;
    // The marker, drawn when its baseline is within 50 pixels of the page.
    if (!DisplayNone && Visibility != 1 && FirstLineHt > 0) {
        Top = std::min(Top, FirstLineHt - 50);
        Bottom = std::max(Bottom, FirstLineHt + 50);
    }
    return true;
}

int TBlockLI::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    const int result = TBlock::Draw(Canvas, ARect, IMgr, X, XRef, YRef);
    TSectionList* list = ParentSectionList;
    if (DisplayNone || Visibility == 1 || FirstLineHt <= 0 || !list) return result;
    const int yOff = list->YOff;
    const int base = FirstLineHt - yOff;
    if (base < ARect.Top - 50 || base > ARect.Bottom + 50) return result;
    const int x = X + (Positioning == 2 ? LeftP : 0) + ContentLeft;
    if (Image && Image->Image && !Image->ShowsStandIn() && list->ShowImages) {
        Image->DrawImage(Canvas, x - 16, base - Image->ImageHeight, Image->ImageWidth, Image->ImageHeight);
        return result;
    }
    if (ListType == 0 || ListType == 3) return result;
    const std::u16string number = NumberText();
    if (!number.empty()) {
        TFont saveFont = Canvas.Font();
        const int saveMode = Canvas.SetBkMode(TRANSPARENT);
        const unsigned saveAlign = Canvas.SetTextAlign(TA_BASELINE);
        ListFont->AssignToCanvas(Canvas);
        Canvas.SetTextColor(ListFont->Color());
        TSize sz;
        Canvas.GetTextExtentPoint32W(number.data(), static_cast<int>(number.size()), sz);
        Canvas.ExtTextOutW(x - 10 - sz.cx, base, 0, nullptr, number.data(), static_cast<int>(number.size()));
        Canvas.SetTextAlign(saveAlign);
        Canvas.SetBkMode(saveMode);
        Canvas.SetFont(saveFont);
        return result;
    }
    if (ListStyle != 1 && ListStyle != 3 && ListStyle != 7) return result;
    const TPen savePen = Canvas.Pen();
    const TBrush saveBrush = Canvas.Brush();
    Canvas.Pen().SetColor(ListFont->Color());
    Canvas.Brush().SetColor(ListFont->Color());
    switch (ListStyle) {
    case 1:
        Canvas.Brush().SetStyle(TBrushStyle::bsClear);
        Canvas.Ellipse(x - 16, base - 7, x - 9, base);
        break;
    case 3:
        Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        Canvas.Ellipse(x - 15, base - 6, x - 10, base - 1);
        break;
    default:
        Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        Canvas.Rectangle(x - 15, base - 6, x - 10, base - 1);
        break;
    }
    Canvas.SetPen(savePen);
    Canvas.SetBrush(saveBrush);
    return result;
}

// ---------------------------------------------------------------- TBodyBlock

TBodyBlock::TBodyBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell,
                       TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {
    Positioning = 0;
    ZIndex = 0;
    ownIMgr_.reset();
    MyCell->IMgr = nullptr;
    TSectionList* list = ParentSectionList;
    if (!Prop || !list) return;
    std::string bg;
    if (Prop->GetBackgroundImage(bg) && !bg.empty() && bg != "none") {
        PositionRecArray pos{};
        Prop->GetBackgroundPos(EmSize, ExSize, pos);
        list->SetBackgroundBitmap(bg, pos);
    }
    Bg.reset();
    const TColor c = Prop->GetBackgroundColor();
    if (c != clNone) list->SetBackground(c | PalRelative);
    MargArrayO.Edit()[piBackgroundColor] = TPropValue();
}

TBodyBlock::TBodyBlock(TCellBasic* AMasterList, const TBodyBlock& T) : TBlock(AMasterList, T) {}

std::unique_ptr<TSectionBase> TBodyBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TBodyBlock>(AMasterList, *this);
}

int TBodyBlock::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                       IndentManager& IMgr, int& MaxWidth, int& Curs) {
    (void)XRef, (void)YRef, (void)BlHt;
    StartCurs = Curs;
    ContentTop = DrawTop = Y;
    const int saveTop = MargArray[piMarginTop], saveBottom = MargArray[piMarginBottom];
    ::MargArray& m = MargArray.Edit();
    ConvMargArray(MargArrayO, AWidth, AHeight, EmSize, ExSize, LastAutoCount, m);
    // The body's own vertical margins are not collapsed with anything.
    (void)saveTop, (void)saveBottom;
    auto vert = [&](int index) {
        const TPropValue& v = MargArrayO[static_cast<size_t>(index)];
        if (v.IsText()) return LengthConv(v.Text(), false, AHeight, 0, ExSize, EmSize);
        if (v.IsInt() && v.Int() != IntNull && v.Int() != ParaSpace) return v.Int();
        return 0;
    };
    m[piMarginTop] = vert(piMarginTop);
    m[piMarginBottom] = vert(piMarginBottom);
    for (int i : {piMarginLeft, piMarginRight}) m[i] = OrZero(m[i]);
    const int LM = m[piMarginLeft], RM = m[piMarginRight];
    const int LB = m[piBorderLeftWidth], RB = m[piBorderRightWidth], TB = m[piBorderTopWidth],
              BB = m[piBorderBottomWidth];
    const int LP = m[piPaddingLeft], RP = m[piPaddingRight], TP = m[piPaddingTop], BP = m[piPaddingBottom];
    NewWidth = IMgr.Width - (LM + RM + LB + RB + LP + RP);
    ContentLeft = LM + LB + LP;
    YDraw = Y + m[piMarginTop] + TB + TP;
    MyCell->IMgr = &IMgr;
    const void* saveID = IMgr.CurrentID;
    IMgr.CurrentID = this;
    const int LIndex = IMgr.SetLeftIndent(X + ContentLeft - IMgr.LfEdge, YDraw);
    const int RIndex = IMgr.SetRightIndent(X + ContentLeft + NewWidth - IMgr.LfEdge, YDraw);
    int cellMax = 0;
    MyCell->LayoutContents(Canvas, X + ContentLeft, YDraw, 0, 0, NewWidth, AHeight, AHeight, cellMax, Curs);
    IMgr.FreeLeftIndentRec(LIndex);
    IMgr.FreeRightIndentRec(RIndex);
    IMgr.CurrentID = saveID;
    Len = Curs - StartCurs;
    MaxWidth = LM + LB + LP + cellMax + RP + RB + RM;
    ClientContentBot = std::max(YDraw, MyCell->tcContentBot);
    ContentBot = ClientContentBot + BP + BB + m[piMarginBottom];
    SectionHeight = ContentBot - Y;
    DrawHeight = std::max(SectionHeight, IMgr.ImageBottom() - Y);
    DrawBot = Y + DrawHeight;
    if (!drawSorted_) SortByZIndex();
    return SectionHeight;
}

int TBodyBlock::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int XRef, int YRef) {
    DrawContents(Canvas, ARect, IMgr, X + ContentLeft, ContentTop, XRef, YRef);
    return ContentTop + SectionHeight;
}

bool TBodyBlock::DrawReach(int& Top, int& Bottom) {
    // Only the content is drawn (the page's background is the view's).
    if (Positioning != 0 || !MyCell || (!drawSorted_ && MyCell->Count() > 0)) return false;
    return MyCell->DrawReach(Top, Bottom);
}

unsigned TBodyBlock::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle) {
    unsigned result = 0;
    if (!Title.Get().empty()) {
        ATitle = Title.Get();
        result |= guTitle;
    }
    std::string t;
    const unsigned r = MyCell->GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, t);
    if (r & guTitle) ATitle = t;
    return result | r;
}

// ---------------------------------------------------------------- rules

THorzLine::THorzLine(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop) : TSectionBase(AMasterList) {
    if (L) {
        for (const auto& a : *L) {
            switch (a->Symbol) {
            case SizeSy: {
                const int v = PageInteger(a->TextValue);
                if (v >= 1 && v <= 20) VSize = v;
                break;
            }
            case ColorSy: {
                TColor c = clNone;
                if (ColorFromString(a->TextValue, false, c)) Color = c;
                break;
            }
            case AlignSy: {
                const std::string v = Lower(a->TextValue);
                if (v == "left") Align = 1;
                else if (v == "right") Align = 3;
                break;
            }
            case NoShadeSy: NoShade = true; break;
            case WidthSy:
                if (Prop) {
                    const std::string t = a->TextValue;
                    if (t.find('%') != std::string::npos) {
                        const int v = std::min(100, PageInteger(t));
                        Prop->Assign(TPropValue(std::to_string(v) + "%"), piWidth);
                    } else {
                        Prop->Assign(TPropValue(PageInteger(t)), piWidth);
                    }
                }
                break;
            default: break;
            }
        }
    }
    if (Prop) {
        // Only a text-align of the rule's own: the inherited one (the default
        // sheet's "left") would put every rule at the left.
        const TPropValue& ta = Prop->Props[piTextAlign];
        if (Prop->PropSet[piTextAlign]) {
            if (ta.Is("left")) Align = 1;
            else if (ta.Is("right")) Align = 3;
            else if (ta.Is("center")) Align = 2;
        }
        if (Color == clNone && Prop->PropSet[piColor] && Prop->Props[piColor].IsInt()) Color = Prop->Props[piColor].Int();
        Prop->Assign(TPropValue(VSize), piHeight);
    }
}

THorzLine::THorzLine(TCellBasic* AMasterList, const THorzLine& T)
    : TSectionBase(AMasterList, T), VSize(T.VSize), Color(T.Color), Align(T.Align), NoShade(T.NoShade),
      BkGnd(T.BkGnd), Width(T.Width), Indent(T.Indent) {}

std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<THorzLine>(AMasterList, *this);
}

void THorzLine::CopySelectionToBuffer(SelTextCount& Buffer) {
    static const char16_t crlf[] = {13, 10};
    Buffer.AddText(crlf, 2);
}

int THorzLine::Layout(TCanvas&, int X, int Y, int, int, int AWidth, int, int, IndentManager& IMgr, int& MaxWidth,
                      int& Curs) {
    StartCurs = Curs;
    YDraw = DrawTop = ContentTop = Y;
    const int left = std::max(X, IMgr.LeftIndent(Y));
    Width = std::min(X + AWidth - left, IMgr.RightSide(Y) - left);
    // Kept from the content's left: a table cell is laid out at 0 and drawn
    // where its column is, a printed page at its margin.
    Indent = left - X;
    MaxWidth = Width;
    SectionHeight = DrawHeight = VSize;
    ContentBot = DrawBot = Y + VSize;
    return SectionHeight;
}

bool THorzLine::DrawReach(int& Top, int& Bottom) {
    Top = YDraw;
    Bottom = YDraw + VSize;
    return true;
}

int THorzLine::Draw(TCanvas& Canvas, const TRect& ARect, IndentManager&, int X, int, int) {
    TSectionList* list = ParentSectionList;
    const int result = ContentTop + SectionHeight;
    if (!list) return result;
    const int y = YDraw - list->YOff;
    const bool meets = y < ARect.Bottom && y + VSize > ARect.Top;
    if (!meets || (list->Printing && YDraw >= list->PageBottom)) return result;
    const int x1 = X + Indent, x2 = x1 + Width, y2 = y + VSize;
    if (Color != clNone) {
        FillRectColor(Canvas, x1, y, x2, y2, Color);
    } else {
        const bool monoPrinter =
            list->Printing && Canvas.GetDeviceCaps(BITSPIXEL) == 1 && Canvas.GetDeviceCaps(PLANES) == 1;
        const bool white = list->Printing || ColorToRGB(list->Background) == 0xFFFFFF;
        TColor light = white ? static_cast<TColor>(0xC0C0C0) : clBtnHighlight;
        TColor dark = clBtnShadow;
        if (NoShade || monoPrinter) light = dark = clBlack;
        const TPen save = Canvas.Pen();
        Canvas.Pen().SetWidth(1);
        Canvas.Pen().SetColor(light);
        Canvas.MoveTo(x1, y);
        Canvas.LineTo(x2, y);  // top
        Canvas.MoveTo(x2 - 1, y);
        Canvas.LineTo(x2 - 1, y2);  // right
        Canvas.Pen().SetColor(dark);
        Canvas.MoveTo(x1, y2 - 1);
        Canvas.LineTo(x2, y2 - 1);  // bottom
        Canvas.MoveTo(x1, y);
        Canvas.LineTo(x1, y2);  // left
        Canvas.SetPen(save);
    }
    list->FirstPageItem = false;
    return result;
}

THRBlock::THRBlock(TCellBasic* AMasterList, TProperties* Prop, TCellBasic* AnOwnerCell, TAttributeList* Attributes)
    : TBlock(AMasterList, Prop, AnOwnerCell, Attributes) {
    // The rule reads the attributes first: its width and thickness become the
    // block's width and height where no rule of the style sheet set them.
    auto line = std::make_unique<THorzLine>(MyCell.get(), Attributes, Prop);
    if (Prop) {
        Prop->GetBorderStyles(MargArrayO.Edit());
        MargArrayO.Share();
    }
    Align = line->Align;
    Line = line.get();
    MyCell->Add(line.release(), 0);
}

THRBlock::THRBlock(TCellBasic* AMasterList, const THRBlock& T) : TBlock(AMasterList, T), Align(T.Align) {
    for (const auto& s : *MyCell)
        if (auto* l = dynamic_cast<THorzLine*>(s.get())) Line = l;
}

std::unique_ptr<TSectionBase> THRBlock::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<THRBlock>(AMasterList, *this);
}

int THRBlock::FindWidth(TCanvas& Canvas, int AWidth, int AHeight, int AutoCount) {
    const int w = TBlock::FindWidth(Canvas, AWidth, AHeight, AutoCount);
    if (Positioning == 1) Align = 1;
    const auto& m = MargArray;
    const int sides = OrZero(m[piMarginLeft]) + OrZero(m[piMarginRight]) + m[piPaddingLeft] + m[piPaddingRight] +
                      m[piBorderLeftWidth] + m[piBorderRightWidth];
    const int left = std::max(0, AWidth - w - sides);
    if (Align == 2) MargArray[piMarginLeft] += left / 2;
    else if (Align == 3) MargArray[piMarginLeft] += left;
    if (Line && ParentSectionList && !ParentSectionList->IsCopy && Declared(m[piHeight])) Line->VSize = m[piHeight];
    return w;
}

// ---------------------------------------------------------------- TPage

std::unique_ptr<TSectionBase> TEmptyParagraph::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TEmptyParagraph>(AMasterList, *this);
}

int TEmptyParagraph::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                            IndentManager& IMgr, int& MaxWidth, int& Curs) {
    LaidOutWidth = std::max(0, AWidth);
    return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
}

bool TEmptyParagraph::DrawReach(int& Top, int& Bottom) {
    Top = INT_MAX;
    Bottom = INT_MIN;
    return true;
}

void TEmptyParagraph::CopySelectionToBuffer(SelTextCount& Buffer) {
    static const char16_t crlf[] = {13, 10};
    if (ParentSectionList && StartCurs < ParentSectionList->SelE) Buffer.AddText(crlf, 2);
}

std::unique_ptr<TSectionBase> TPage::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TPage>(AMasterList, *this);
}

int TPage::Draw(TCanvas&, const TRect& ARect, IndentManager&, int, int, int) {
    TSectionList* list = ParentSectionList;
    if (list && list->Printing) {
        const int pageTop = list->YOff + ARect.Top;
        if (YDraw > pageTop + 5 && YDraw < list->PageBottom) list->PageBottom = YDraw;
    }
    return ContentTop + SectionHeight;
}

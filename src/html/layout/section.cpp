// Paragraph sections: building the text, finishing its white space,
// measuring and line breaking.
#include "html/layout/section.h"

#include <algorithm>
#include <cstdio>
#include <typeinfo>

#include "html/layout/blocks.h"
#include "platform/gui/font_service.h"
#include "platform/runtime/arith.h"

bool ParserNoBreak = false;

namespace {

// Letters (Latin and beyond) and digits: the characters a word is made of.
bool LetterOrDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000);
}

constexpr char16_t Placeholder = 4, ObjectLike = 2, HardBreak = 8, Shy = 173;

// The one-entry cache of FindCountThatFits, shared by all sections.
struct FitCache {
    const char16_t* start = nullptr;
    int width = -1;
    int answer = 0;
} fitCache;

bool IsSpace(char16_t c) { return c == u' '; }
// Characters of the first n before their trailing spaces and hard breaks.
int Trimmed(const char16_t* b, int n) {
    while (n > 0 && (b[n - 1] == u' ' || b[n - 1] == HardBreak)) --n;
    return n;
}
bool IsWide(char16_t c) { return c >= 0x3000; }

}  // namespace

void ResetFitCache() { fitCache = FitCache{}; }

// ---------------------------------------------------------------- ThtTabcontrol

ThtTabcontrol::ThtTabcontrol(TComponent* AOwner) : TCustomControl(AOwner) {
    // A page has up to 400 links, and few of them are ever reached by Tab.
    WantWidgetOnFocus();
}

void ThtTabcontrol::WndProc(TMessage& message) {
    constexpr UINT WM_GETDLGCODE = 0x0087;
    if (message.Msg == WM_GETDLGCODE) {
        message.Result = 1;
        return;
    }
    TCustomControl::WndProc(message);
}

// ---------------------------------------------------------------- TFontObj

TFontObj::TFontObj(TSection* ASection, TMyFont* F, int Position) : Section(ASection), Pos(Position), TheFont(F) {
    if (!TheFont) TheFont = std::make_unique<TMyFont>();
    FontChanged();
}

TFontObj::TFontObj(TSection* ASection, std::shared_ptr<TMyFont> F, int Position)
    : Section(ASection), Pos(Position), TheFont(std::move(F)) {
    if (!TheFont) TheFont = std::make_unique<TMyFont>();
    FontChanged();
}

TMyFont& TFontObj::OwnFont() {
    if (TheFont.use_count() > 1) {
        auto own = std::make_shared<TMyFont>();
        own->Assign(*TheFont);
        TheFont = std::move(own);
    }
    return *TheFont;
}

TFontObj::TFontObj(TSection* ASection, const TFontObj& T)
    : Section(ASection), SScript(T.SScript), Pos(T.Pos), TheFont(std::make_unique<TMyFont>()) {
    TheFont->Assign(*T.TheFont);
    SetTitle(T.Title());
    CopyLink(T.Link());
    if (T.FontInfoArray) ApplyFontInfo(T.FontInfoArray->Ary[0]);
    FontChanged();
}

TFontObj::~TFontObj() = default;

const TUrlTarget TFontObj::NoLink;

void TFontObj::CopyLink(const TUrlTarget& from) {
    const bool empty = from.URL.empty() && from.Target.empty() && from.ID == 0 && from.Attr.empty() &&
                       from.LinkText.Start == -1 && from.LinkText.Last == -1 && from.TabIndex == 0;
    if (empty) {
        UrlTarget.reset();
        return;
    }
    if (!UrlTarget) UrlTarget = std::make_unique<TUrlTarget>();
    UrlTarget->Copy(from);
}

void TFontObj::FontChanged() {
    // Runs made one after another mostly have one look: the face found last
    // is kept with its spec while the same font service is installed.
    static TFontSpec lastSpec;
    static const TFontFace* lastFace = nullptr;
    static unsigned lastGeneration = 0;
    TFontSpec spec = TFontSpec::Of(*TheFont);
    if (!lastFace || lastGeneration != FontServiceGeneration() || !(spec == lastSpec)) {
        lastFace = FontService().Resolve(spec);
        lastGeneration = FontServiceGeneration();
        lastSpec = std::move(spec);
    }
    const TFontFace* face = lastFace;
    const TTextMetric& tm = face->Metrics();
    tmHeight = tm.tmHeight;
    FontHeight = tm.tmHeight + tm.tmExternalLeading;
    tmMaxCharWidth = tm.tmMaxCharWidth;
    Descent = tm.tmDescent;
    Overhang = (TheFont->Style() & fsItalic) ? tm.tmHeight / 10 : 0;
    const TMyFont& f = *TheFont;
    if (f.tmHeight == tm.tmHeight && f.tmDescent == tm.tmDescent && f.tmExternalLeading == tm.tmExternalLeading &&
        f.tmMaxCharWidth == tm.tmMaxCharWidth && f.tmAveCharWidth == tm.tmAveCharWidth)
        return;
    TMyFont& own = OwnFont();
    own.tmHeight = tm.tmHeight;
    own.tmDescent = tm.tmDescent;
    own.tmExternalLeading = tm.tmExternalLeading;
    own.tmMaxCharWidth = tm.tmMaxCharWidth;
    own.tmAveCharWidth = tm.tmAveCharWidth;
}

void TFontObj::ApplyFontInfo(const ThtFontInfo& Font) {
    TMyFont& font = OwnFont();
    font.SetName(Font.Name);
    font.SetHeight(-static_cast<int>(Round(static_cast<long double>(LogicalPixelsPerInch) * Font.Size / 72)));
    font.SetStyle(Font.Style);
    font.SetColor(Font.Color);
    font.BkColor = Font.BkColor;
    font.SetCharset(Font.CharSet);
    if (Font.CharExtra.IsInt())
        font.CharExtra = Font.CharExtra.Int();
    else if (Font.CharExtra.IsText() && Font.CharExtra.Text() != "normal")
        font.CharExtra = LengthConv(Font.CharExtra.Text(), false, 16, 0, 8, 16);
    else
        font.CharExtra = 0;
    FontChanged();
}

void TFontObj::CreateFontInfoArray(TProperties* Prop) {
    FontInfoArray = std::make_unique<TFontInfoArray>();
    if (Prop) {
        if (Prop->FontInfoArray)
            FontInfoArray->Assign(*Prop->FontInfoArray);
        else
            Prop->SetFontInfoArray(*FontInfoArray);
    }
}

void TFontObj::AssignNewFont(TMyFont* F) {
    TheFont.reset(F);
    FontChanged();
}

void TFontObj::SetVisited(bool Value) {
    if (Value == Visited) return;
    Visited = Value;
    if (FontInfoArray) ApplyFontInfo(FontInfoArray->Ary[(Visited ? 1 : 0) + (Hover ? 2 : 0)]);
}

void TFontObj::SetHover(bool Value) {
    if (Value == Hover) return;
    Hover = Value;
    if (FontInfoArray) ApplyFontInfo(FontInfoArray->Ary[(Visited ? 1 : 0) + (Hover ? 2 : 0)]);
}

void TFontObj::SetHoverForLink(const std::vector<TFontObj*>& List, bool Value) {
    SetHover(Value);
    auto it = std::find(List.begin(), List.end(), this);
    if (it == List.end()) return;
    const int id = Link().ID;
    for (auto f = it + 1; f != List.end() && (*f)->Link().ID == id; ++f) (*f)->SetHover(Value);
    for (auto b = it; b != List.begin();) {
        --b;
        if ((*b)->Link().ID != id) break;
        (*b)->SetHover(Value);
    }
}

void TFontObj::SetLinkYPosition(int Y) {
    if (TabControl) {
        YValue = Y;
        return;
    }
    TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) {
        YValue = Y;
        return;
    }
    auto it = std::find(list->LinkList.begin(), list->LinkList.end(), this);
    while (it != list->LinkList.begin()) {
        --it;
        if ((*it)->Link().ID != Link().ID) break;
        if ((*it)->TabControl) {
            (*it)->YValue = Y;
            return;
        }
    }
    YValue = Y;
}

void TFontObj::CreateFocusHolder(int TabIndex) {
    TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list || !list->TheOwner || list->IsCopy) return;
    TabControl = std::make_unique<ThtTabcontrol>(nullptr);
    TabControl->Run = this;
    TabControl->SetParent(list->TheOwner);
    TabControl->SetBounds(-4000, 0, 1, 1);
    TabControl->SetTabStop(true);
    TabControl->OnEnter = [this](TObject*) { EnterEvent(); };
    TabControl->OnExit = [this](TObject*) { ExitEvent(); };
    TabControl->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        uint16_t k = Key;
        KeyDownEvent(k, Shift);
        Key = k;
    };
    // Only a link with a tab index of its own is put in order: the others
    // are made in the document's order, which the tab key follows already,
    // after those with an index (a tab index of 0 or none counts last).
    if (TabIndex > 0) {
        char key[32];
        std::snprintf(key, sizeof key, "%.5d%.3d", TabIndex, static_cast<int>(list->TabOrderList.size()) % 1000);
        list->TabOrderList.emplace_back(key, TabControl.get());
    }
}

void TFontObj::EnterEvent() {
    TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    auto it = std::find(list->LinkList.begin(), list->LinkList.end(), this);
    for (; it != list->LinkList.end() && (*it)->Link().ID == Link().ID; ++it) (*it)->Active = true;
    if (list->ControlEnterEvent) list->ControlEnterEvent(nullptr, YValue, true);
    list->Repaint();
}

void TFontObj::ExitEvent() {
    TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    auto it = std::find(list->LinkList.begin(), list->LinkList.end(), this);
    for (; it != list->LinkList.end() && (*it)->Link().ID == Link().ID; ++it) (*it)->Active = false;
    list->Repaint();
}

void TFontObj::KeyDownEvent(uint16_t& Key, TShiftState Shift) {
    TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    if (Key == VK_RETURN) {
        // Used up here: it must not also press the form's default button.
        Key = 0;
        if (list->LinkFollowEvent) list->LinkFollowEvent(this);
    } else if (list->ViewerKeyDown) {
        list->ViewerKeyDown(Key, Shift);
    }
}

// ---------------------------------------------------------------- TFontList

TFontList::TFontList(TSection* Section, const TFontList& T) {
    for (const auto& f : T) Add(new TFontObj(Section, *f));
}

// Runs are kept in the order of their positions; the first run after Posn.
int TFontList::RunAfter(int Posn) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if ((*this)[mid]->Pos <= Posn) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

TFontObj* TFontList::GetFontObjAt(int Posn, int& Index) const {
    Index = 0;
    const int i = RunAfter(Posn) - 1;
    if (i >= 0) {
        Index = i;
        return (*this)[i];
    }
    return First();
}

TMyFont* TFontList::GetFontAt(int Posn, int& OHang) const {
    int i = 0;
    TFontObj* f = GetFontObjAt(Posn, i);
    OHang = f ? f->Overhang : 0;
    return f ? f->TheFont.get() : nullptr;
}

int TFontList::GetFontCountAt(int Posn, int Leng) const {
    const int i = RunAfter(Posn);
    return i < Count() ? (*this)[i]->Pos - Posn : Leng - Posn;
}

void TFontList::Decrement(int N, TSectionList* ParentSectionList) {
    for (const auto& f : *this)
        if (f->Pos > N) --f->Pos;
    for (int i = Count() - 2; i >= 0; --i) {
        if ((*this)[i]->Pos == (*this)[i + 1]->Pos) {
            TFontObj* gone = (*this)[i];
            if (ParentSectionList) ParentSectionList->ForgetRun(gone);
            // The later run wins: it was set for the character now there.
            if (i == 0) (*this)[i + 1]->Pos = 0;
            Delete(i);
        }
    }
}

// ---------------------------------------------------------------- TSection

TSection::TSection(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop, TUrlTarget* AnURL, bool FirstItem)
    : TSectionBase(AMasterList) {
    TSectionList* list = ParentSectionList;
    // The list's room before the run's: a paragraph dropped at once then
    // gives both back to the slab.
    Fonts.Reserve(1);
    auto* run = Prop ? new TFontObj(this, Prop->SharedFont(), 0) : new TFontObj(this, new TMyFont, 0);
    if (Prop) run->SetTitle(Prop->PropTitle);
    Fonts.Add(run);
    if (AnURL && !AnURL->URL.empty()) {
        run->CopyLink(*AnURL);
        run->CreateFontInfoArray(Prop);
        run->ApplyFontInfo(run->FontInfoArray->Ary[0]);
        if (list) {
            list->LinkList.push_back(run);
            if (!list->LinksFlag) run->CreateFocusHolder(AnURL->TabIndex);
        }
    }
    if (Prop) {
        LineHeight = Prop->GetLineHeight(std::abs(run->TheFont->Height()));
        if (FirstItem) {
            bool pc = false;
            FirstLineIndent = Prop->GetTextIndent(pc);
            if (pc) FLPercent = std::min(FirstLineIndent, 90);
        }
    }
    if (L) {
        TAttribute* a = nullptr;
        if (L->Find(ClearSy, a)) {
            std::string v = a->TextValue;
            for (auto& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            ClearAttr = v == "left" ? 1 : v == "right" ? 2 : 3;
        }
    }
    if (Prop) {
        int clear = 0;
        if (Prop->GetClear(clear)) ClearAttr = static_cast<uint8_t>(clear);
        const TPropValue& ta = Prop->Props[piTextAlign];
        Justify = ta.Is("right") ? 3 : ta.Is("center") ? 2 : ta.Is("justify") ? 4 : 1;
        BreakWord = Prop->Props[piWordWrap].Is("break-word");
    }
    if (L && list) {
        std::string id = L->GetID();
        if (!id.empty()) list->IDNameList.AddObject(id, this);
    }
}

TSection::TSection(TCellBasic* AMasterList, const TSection& T)
    : TSectionBase(AMasterList, T),
      BuffS(T.BuffS),
      Brk(T.Brk),
      Fonts(this, T.Fonts),
      Images(AMasterList ? AMasterList->MasterList : nullptr, T.Images),
      FormControls(T.FormControls),
      SourceIndexRuns(T.SourceIndexRuns),
      Justify(T.Justify),
      ClearAttr(T.ClearAttr),
      LineHeight(T.LineHeight),
      FirstLineIndent(T.FirstLineIndent),
      FLPercent(T.FLPercent),
      BreakWord(T.BreakWord),
      Finished(true),
      InPlaceOfBlock(T.InPlaceOfBlock) {
    Len = T.Len;
    SectionNumber = T.SectionNumber;
}

TSection::~TSection() = default;

void TSection::CheckFree() {
    TSectionList* list = ParentSectionList;
    if (!list) return;
    for (const auto& f : Fonts) list->ForgetRun(f.get());
    // The id goes with the section.
    for (int i = list->IDNameList.Count() - 1; i >= 0; --i)
        if (list->IDNameList.Objects(i) == this) list->IDNameList.Delete(i);
}

void TSection::AddChar(char16_t C, int Index) {
    TokenObj t;
    t.AddUnicodeChar(C, Index);
    AddTokenObj(t);
}

void TSection::AddTokenObj(TokenObj& T) {
    if (T.Leng == 0) return;
    TProperties* prop = ParserPropStack.Count() ? ParserPropStack.Top() : nullptr;
    const int transform = prop ? prop->GetTextTransform() : 0;
    const char code = (ParserNoBreak || IsPreFormated()) ? 'n' : 'y';
    const bool smallCaps = prop && prop->Props[piFontVariant].Is("small-caps");
    if (!smallCaps && transform == 0) {
        BuffS.append(T.C.begin(), T.C.begin() + T.Leng);
        Brk.append(static_cast<size_t>(T.Leng), code);
        SIndexList.insert(SIndexList.end(), T.I.begin(), T.I.begin() + T.Leng);
        return;
    }
    std::u16string text(T.C.begin(), T.C.begin() + T.Leng);
    if (transform == 1) text = WideUpperCase(text);
    else if (transform == 2) text = WideLowerCase(text);
    if (!smallCaps) {
        BuffS += text;
        Brk.append(static_cast<size_t>(T.Leng), code);
        SIndexList.insert(SIndexList.end(), T.I.begin(), T.I.begin() + T.Leng);
        return;
    }
    const std::u16string upper = WideUpperCase(text);
    for (int i = 0; i < T.Leng; ++i) {
        const char16_t c = text[static_cast<size_t>(i)];
        if (!IsSpace(c) && !(c >= u'0' && c <= u'9')) {
            const bool lower = upper[static_cast<size_t>(i)] != c;
            if (lower && SmallCapsStack_ == 0) {
                TProperties* top = ParserPropStack.Top();
                auto p = std::make_unique<TProperties>();
                p->Inherit("", *top);
                const double base = top->Props[piFontSize].IsNumber() ? top->Props[piFontSize].Real() : 12.0;
                p->Props.Edit(piFontSize) = FontSizeConv("small", base);
                TProperties* small = p.get();
                ParserPropStack.Add(std::move(p));
                ++SmallCapsStack_;
                ChangeFont(small);
            } else if (!lower && SmallCapsStack_ > 0) {
                ParserPropStack.Delete(ParserPropStack.Count() - 1);
                --SmallCapsStack_;
                ChangeFont(ParserPropStack.Top());
            }
        }
        BuffS.push_back(upper[static_cast<size_t>(i)]);
        Brk.push_back(code);
        SIndexList.push_back(T.I[static_cast<size_t>(i)]);
    }
    if (SmallCapsStack_ > 0) {
        ParserPropStack.Delete(ParserPropStack.Count() - 1);
        --SmallCapsStack_;
        ChangeFont(ParserPropStack.Top());
    }
}

void TSection::ChangeFont(TProperties* Prop) {
    if (!Prop) return;
    const int here = static_cast<int>(BuffS.size());
    TFontObj* last = Fonts.Last();
    TFontObj* run;
    bool fresh = false;
    if (last->Pos == here) {
        run = last;
        run->AssignNewFont(Prop->GetFont().release());
    } else {
        run = new TFontObj(this, Prop->GetFont().release(), here);
        run->CopyLink(last->Link());
        Fonts.Add(run);
        fresh = true;
    }
    run->SetTitle(Prop->PropTitle);
    int align = 0;
    run->SScript = Prop->GetVertAlign(align) && (align == 8 || align == 9) ? static_cast<uint8_t>(align) : 0;
    if (!run->Link().URL.empty()) {
        run->CreateFontInfoArray(Prop);
        run->ApplyFontInfo(run->FontInfoArray->Ary[0]);
        if (fresh && ParentSectionList) ParentSectionList->LinkList.push_back(run);
    }
}

void TSection::HRef(Symb Sy, TSectionList* List, TUrlTarget* AnURL, TAttributeList*, TProperties* Prop) {
    if (!Prop) return;
    const int here = static_cast<int>(BuffS.size());
    TFontObj* last = Fonts.Last();
    TFontObj* run;
    if (last->Pos == here) {
        run = last;
        run->AssignNewFont(Prop->GetFont().release());
    } else {
        run = new TFontObj(this, Prop->GetFont().release(), here);
        Fonts.Add(run);
    }
    if (AnURL) run->CopyLink(*AnURL);
    else run->ClearLink();
    run->SetTitle(Prop->PropTitle);
    // The link starts with the A tag that carries the HREF (either symbol).
    if (Sy == HRefSy || Sy == ASy) {
        run->CreateFontInfoArray(Prop);
        run->ApplyFontInfo(run->FontInfoArray->Ary[0]);
        if (List) {
            List->LinkList.push_back(run);
            if (!List->LinksFlag && !run->TabControl) run->CreateFocusHolder(AnURL ? AnURL->TabIndex : 0);
        }
    } else {
        run->FontInfoArray.reset();
        if (List) List->ForgetRun(run);
        // A link that ended where it began has nothing to focus.
        run->TabControl.reset();
    }
}

int TSection::TextRunLength(int I, int Limit) const {
    int run = std::min({Limit, Fonts.GetFontCountAt(I, Len), Images.CharsToNextImage(I),
                        FormControls.CharsToNextControl(I)});
    const int at = FindMarker(Placeholder, I, run);
    return at >= 0 ? at - I : run;
}

int TSection::FindMarker(char16_t C, int I, int Limit) const {
    if (markersFor_ != BuffS.size()) {
        markers_.clear();
        for (size_t k = 0; k < BuffS.size(); ++k)
            if (BuffS[k] == Placeholder || BuffS[k] == HardBreak) markers_.push_back(static_cast<int>(k));
        markersFor_ = static_cast<uint32_t>(BuffS.size());
    }
    const int end = I + Limit;
    for (auto it = std::lower_bound(markers_.begin(), markers_.end(), I); it != markers_.end() && *it < end; ++it)
        if (BuffS[static_cast<size_t>(*it)] == C) return *it;
    return -1;
}

void TSection::AddPlaceholder(int Index, char Code) {
    BuffS.push_back(Placeholder);
    Brk.push_back(Code);
    SIndexList.push_back(Index);
}

TImageObj* TSection::AddImage(TAttributeList* L, TCellBasic*, int Index) {
    auto* img = new TImageObj(ParentSectionList, static_cast<int>(BuffS.size()), L);
    if (ParserPropStack.Count()) img->ProcessProperties(ParserPropStack.Top());
    Images.Add(img);
    AddPlaceholder(Index, (ParserNoBreak || IsPreFormated()) ? 'n' : 'y');
    return img;
}

TPanelObj* TSection::CreatePanel(TAttributeList* L, TCellBasic* ACell) {
    return new TPanelObj(ParentSectionList, static_cast<int>(BuffS.size()), L, ACell, false);
}

TPanelObj* TSection::AddPanel(TAttributeList* L, TCellBasic* ACell, int Index) {
    TPanelObj* p = CreatePanel(L, ACell);
    if (ParserPropStack.Count()) p->ProcessProperties(ParserPropStack.Top());
    Images.Add(p);
    AddPlaceholder(Index, (ParserNoBreak || IsPreFormated()) ? 'n' : 'y');
    return p;
}

void TSection::AddObject(TFloatingObj* PO, int Index) {
    PO->Pos = static_cast<int>(BuffS.size());
    Images.Add(PO);
    AddPlaceholder(Index, (ParserNoBreak || IsPreFormated()) ? 'n' : 'y');
}

void TSection::AllowBreakAfterLast() {
    if (!Brk.empty()) Brk.back() = 'a';
}

void TSection::DeleteChar(int I) {
    BuffS.erase(static_cast<size_t>(I), 1);
    markersFor_ = UINT32_MAX;
    Brk.erase(static_cast<size_t>(I), 1);
    if (I < static_cast<int>(SIndexList.size())) SIndexList.erase(SIndexList.begin() + I);
    Fonts.Decrement(I, ParentSectionList);
    Images.DecrementPositions(I);
    FormControls.DecrementPositions(I);
}

void TSection::Finish(int SourceIndex) {
    if (Finished) return;
    // 1. leading spaces
    while (!BuffS.empty() && IsSpace(BuffS[0])) DeleteChar(0);
    // 2. soft hyphens
    for (int i = 0; i < static_cast<int>(BuffS.size());) {
        if (BuffS[static_cast<size_t>(i)] == Shy) {
            if (i > 0 && Brk[static_cast<size_t>(i - 1)] != 'n') Brk[static_cast<size_t>(i - 1)] = 's';
            DeleteChar(i);
        } else {
            ++i;
        }
    }
    // 3. runs of spaces
    for (int i = 0; i + 1 < static_cast<int>(BuffS.size());) {
        if (IsSpace(BuffS[static_cast<size_t>(i)]) && IsSpace(BuffS[static_cast<size_t>(i + 1)])) {
            DeleteChar(Brk[static_cast<size_t>(i)] != 'n' ? i + 1 : i);
        } else {
            ++i;
        }
    }
    // 4. a space after a floating object
    for (int i = 0; i + 1 < static_cast<int>(BuffS.size()); ++i) {
        if (BuffS[static_cast<size_t>(i)] == Placeholder && IsSpace(BuffS[static_cast<size_t>(i + 1)])) {
            TFloatingObj* obj = Images.FindImage(i);
            if (obj && obj->IsFloating()) DeleteChar(i + 1);
        }
    }
    // 5. spaces around hard breaks
    for (int i = 0; i < static_cast<int>(BuffS.size()); ++i) {
        if (BuffS[static_cast<size_t>(i)] != HardBreak) continue;
        if (i + 1 < static_cast<int>(BuffS.size()) && IsSpace(BuffS[static_cast<size_t>(i + 1)])) DeleteChar(i + 1);
        if (i > 0 && IsSpace(BuffS[static_cast<size_t>(i - 1)])) {
            DeleteChar(i - 1);
            --i;
        }
    }
    // 6. the end
    if (BuffS.size() > 1) {
        if (BuffS.back() == HardBreak) DeleteChar(static_cast<int>(BuffS.size()) - 1);
        if (!BuffS.empty() && IsSpace(BuffS.back())) DeleteChar(static_cast<int>(BuffS.size()) - 1);
    }
    // A minus sign that starts a number keeps its digits on its line: broken
    // after it, a negative amount would read as a positive one.
    for (size_t i = 0; i + 1 < BuffS.size(); ++i) {
        const char16_t next = BuffS[i + 1];
        if (BuffS[i] == u'-' && Brk[i] == 'y' && next >= u'0' && next <= u'9' &&
            (i == 0 || !LetterOrDigit(BuffS[i - 1])))
            Brk[i] = 'n';
    }
    // 7. the closing space
    if (!BuffS.empty() && !(BuffS.size() == 1 && BuffS[0] == HardBreak) && !IsSpace(BuffS.back())) {
        const int oldEnd = static_cast<int>(BuffS.size());
        BuffS.push_back(u' ');
        Brk.push_back(IsPreFormated() ? 'n' : 'y');
        SIndexList.push_back(SourceIndex);
        TFontObj* last = Fonts.Last();
        if (last && last->Pos == oldEnd && Fonts.Count() > 1) last->Pos = oldEnd + 1;
    }
    FinishText();
}

void TSection::FinishText() {
    Finished = true;
    Len = static_cast<int>(BuffS.size());
    if (Len > 0) {
        Brk.push_back('y');
        SourceIndexRuns.clear();
        for (int i = 0; i < Len; ++i) {
            const int src = i < static_cast<int>(SIndexList.size()) ? SIndexList[static_cast<size_t>(i)] : 0;
            if (SourceIndexRuns.empty() ||
                src != SourceIndexRuns.back().Index + (i - SourceIndexRuns.back().Pos))
                SourceIndexRuns.push_back(IndexObj{i, src});
        }
        if (ParentSectionList) SectionNumber = ++ParentSectionList->SectionCount;
    }
    SIndexList.clear();
    SIndexList.shrink_to_fit();
    // Runs that now start past the end cover nothing.
    while (Fonts.Count() > 1 && Fonts.Last()->Pos >= std::max(Len, 1)) {
        TFontObj* gone = Fonts.Last();
        if (ParentSectionList) ParentSectionList->ForgetRun(gone);
        Fonts.Delete(Fonts.Count() - 1);
    }
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TSection>(AMasterList, *this);
}

// ---------------------------------------------------------------- measuring

int TSection::TextWidth(TCanvas& Canvas, int Start, int N, bool DropTrailing) {
    const char16_t* b = BuffS.c_str();
    if (DropTrailing) N = Trimmed(b + Start, N);
    if (Start == 0 && N > 0)
        if (const TWholeText* w = WholeText(Canvas)) {
            if (N == Len) return w->full;
            if (N == Trimmed(b, Len)) return w->trimmed;
        }
    return MeasureText(Canvas, Start, N);
}

const TSection::TWholeText* TSection::WholeText(TCanvas& Canvas) {
    const int ppi = Canvas.Font().PixelsPerInch();
    if (whole_.ppi == ppi && whole_.fonts == FontServiceGeneration() && !Canvas.Justifying()) return &whole_;
    // Advances that never go negative let a fitting whole stand for its every start.
    if (!Finished || Len <= 0 || Images.Count() > 0 || FormControls.Count() > 0 || Canvas.Justifying() ||
        !std::all_of(Fonts.begin(), Fonts.end(),
                     [](const auto& f) { return !f->FontInfoArray && f->TheFont && f->TheFont->CharExtra >= 0; }))
        return nullptr;
    const char16_t* b = BuffS.c_str();
    const int n = Trimmed(b, Len);
    if (Fonts.Count() == 1 && Fonts[0]->Pos == 0 && FindMarker(Placeholder, 0, Len) < 0) {
        // One run of plain text: its advances, and the run's overhang once.
        int oh = 0;
        Fonts.GetFontAt(0, oh)->AssignToCanvas(Canvas);
        const TFontFace& face = Canvas.Face();
        const int extra = Canvas.GetTextCharacterExtra();
        whole_.trimmed = n > 0 ? face.TextWidth(b, n) + extra * n + oh : 0;
        whole_.full = whole_.trimmed + face.TextWidth(b + n, Len - n) + extra * (Len - n) + (n == 0 ? oh : 0);
    } else {
        whole_.trimmed = n > 0 ? MeasureText(Canvas, 0, n) : 0;
        if (n == Len)
            whole_.full = whole_.trimmed;
        else if (n > 0 && b[n - 1] != Placeholder && Fonts.GetFontCountAt(n - 1, Len) >= Len - n + 1)
            // The trailing spaces end the run measured last, whose font is set.
            whole_.full = whole_.trimmed + GetTextExtent(Canvas, b + n, Len - n).cx;
        else
            whole_.full = MeasureText(Canvas, 0, Len);
    }
    whole_.ppi = static_cast<int16_t>(ppi);
    whole_.fonts = FontServiceGeneration();
    return &whole_;
}

int TSection::MeasureText(TCanvas& Canvas, int Start, int N) {
    const char16_t* b = BuffS.c_str();
    int result = 0;
    int I = Start;
    while (N > 0) {
        if (b[I] == Placeholder) {
            uint8_t align = 0;
            int hl = 0, hr = 0;
            TFloatingObj* obj = nullptr;
            const int w = Images.GetWidthAt(I, align, hl, hr, obj);
            if (w >= 0) {
                if (align != ALeft && align != ARight) result += w + hl + hr;
            } else {
                TFormControlObj* c = nullptr;
                const int cw = FormControls.GetWidthAt(I, c);
                if (cw >= 0) result += cw;
            }
            ++I;
            --N;
            continue;
        }
        int run = TextRunLength(I, N);
        if (run <= 0) run = 1;
        int oh = 0;
        TMyFont* f = Fonts.GetFontAt(I, oh);
        if (f) f->AssignToCanvas(Canvas);
        result += GetTextExtent(Canvas, b + I, run).cx + oh;
        I += run;
        N -= run;
    }
    return result;
}

int TSection::FindCountThatFits(TCanvas& Canvas, int Width, int Start, int N) {
    const char16_t* b = BuffS.c_str();
    if (fitCache.start == b + Start && fitCache.width == Width) return fitCache.answer;
    int count = 0, used = 0;
    int I = Start;
    while (N > 0) {
        if (b[I] == Placeholder) {
            uint8_t align = 0;
            int hl = 0, hr = 0;
            TFloatingObj* obj = nullptr;
            int w = Images.GetWidthAt(I, align, hl, hr, obj);
            if (w >= 0) {
                w = (align == ALeft || align == ARight) ? 0 : w + hl + hr;
            } else {
                TFormControlObj* c = nullptr;
                w = std::max(0, FormControls.GetWidthAt(I, c));
            }
            if (used + w > Width) break;
            used += w;
            ++count;
            ++I;
            --N;
            continue;
        }
        int run = TextRunLength(I, N);
        if (run <= 0) run = 1;
        int oh = 0;
        TMyFont* f = Fonts.GetFontAt(I, oh);
        if (f) f->AssignToCanvas(Canvas);
        TSize ext;
        const int fit = FitText(Canvas, b + I, run, Width - used, ext);
        count += fit;
        if (fit < run) break;
        used += ext.cx + oh;
        I += run;
        N -= run;
    }
    fitCache.start = b + Start;
    fitCache.width = Width;
    fitCache.answer = count;
    return count;
}

// ---------------------------------------------------------------- MinMaxWidth

void TSection::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    if (CachedMin > 0 && Images.Count() == 0) {
        Min = CachedMin;
        Max = CachedMax;
        return;
    }
    Min = 0;
    Max = 0;
    if (Len == 0) return;
    int floatSum = 0;
    for (const auto& obj : Images) {
        int oh = 0;
        int idx = 0;
        TFontObj* fo = Fonts.GetFontObjAt(obj->Pos, idx);
        (void)oh;
        obj->Layout(Canvas, 0, 0, fo);
        if (obj->PercentWidth) continue;
        if (obj->IsFloating()) {
            floatSum += obj->ImageWidth + obj->HSpaceL + obj->HSpaceR;
            if (obj->Pos < static_cast<int>(Brk.size())) Brk[static_cast<size_t>(obj->Pos)] = 'y';
        } else {
            Min = std::max(Min, obj->ImageWidth);
        }
    }
    for (auto* c : FormControls)
        if (!c->PercentWidth) Min = std::max(Min, c->Width() + c->HSpaceL + c->HSpaceR);

    const char16_t* b = BuffS.c_str();
    auto withIndent = [&](int w) {
        if (FLPercent > 0 && FLPercent < 100) return w * 100 / (100 - FLPercent);
        return w + FirstLineIndent;
    };
    // Maximum: the widest stretch between hard breaks.
    for (int start = 0;;) {
        const int i = FindMarker(HardBreak, start, Len - start);
        const bool last = i < 0;
        int w = TextWidth(Canvas, start, (last ? Len : i + 1) - start, last);
        if (start == 0) w = withIndent(w);
        Max = std::max(Max, w);
        if (last) break;
        start = i + 1;
    }
    Max += floatSum;

    if (BreakWord) {
        for (int i = 0; i < Len; ++i) Min = std::max(Min, TextWidth(Canvas, i, 1, false));
        Min = std::max(Min, floatSum);
    } else {
        int i = 0;
        while (i < Len && b[i] == u' ') ++i;
        bool firstWord = true;
        auto isCut = [&](int k) {
            const char16_t c = b[k];
            return (c == ObjectLike || c == Placeholder || c == HardBreak || c == u' ' || c == u'-' || c == u'?' ||
                    IsWide(c)) &&
                   Brk[static_cast<size_t>(k)] == 'y';
        };
        while (i < Len) {
            int j = i;
            if (IsWide(b[i]) && Brk[static_cast<size_t>(i)] == 'y') {
                j = i + 1;
            } else {
                while (j < Len) {
                    if (j > i && (Brk[static_cast<size_t>(j - 1)] == 'a' || Brk[static_cast<size_t>(j - 1)] == 's'))
                        break;
                    if (isCut(j)) {
                        if (b[j] == u'-' || b[j] == u'?') ++j;
                        break;
                    }
                    ++j;
                }
                if (j == i) j = i + 1;
            }
            int w = TextWidth(Canvas, i, j - i, false);
            if (Brk[static_cast<size_t>(j - 1)] == 's') {
                int oh = 0;
                TMyFont* f = Fonts.GetFontAt(j - 1, oh);
                if (f) f->AssignToCanvas(Canvas);
                w += Canvas.TextWidth(std::u16string(u"-"));
            }
            if (firstWord) w = withIndent(w);
            firstWord = false;
            Min = std::max(Min, w);
            i = j;
            while (i < Len && (b[i] == ObjectLike || b[i] == Placeholder || b[i] == HardBreak || b[i] == u' ')) ++i;
        }
        Min = std::max(Min, floatSum);
    }
    CachedMin = Min;
    CachedMax = Max;
}

// ---------------------------------------------------------------- line fitting

int TSection::FindLineCount(TCanvas& Canvas, int Start, int N, int Y, IndentManager& IMgr, int& ImgHt, int& Width,
                            std::vector<TFloatingObj*>& Later, std::vector<TFloatingObj*>& Placed,
                            int& FloatBottom) {
    const char16_t* b = BuffS.c_str();
    ImgHt = 0;
    // 1. a hard break limits the line
    bool brLimited = false;
    if (const int at = FindMarker(HardBreak, Start, N); at >= 0) {
        const int k = at - Start;
        if (k == 0) return 1;
        N = k;
        brLimited = true;
    }
    // 2. the room
    const bool firstLine = Start == 0;
    int left = IMgr.LeftIndent(Y) + (firstLine ? FirstLineIndent : 0);
    Width = IMgr.RightSide(Y) - left;
    // 3. the shortcuts
    if (firstLine && Images.Count() == 0 && FormControls.Count() == 0 && Fonts.Count() > 0 &&
        static_cast<long long>(Fonts[0]->tmMaxCharWidth) * N <= Width)
        return brLimited ? N + 1 : N;
    if (firstLine && N == Len)
        if (const TWholeText* w = WholeText(Canvas); w && w->full <= Width) return N;
    // 4. the walk
    int count = 0, used = 0;
    bool lineEmpty = true;
    int I = Start;
    int remaining = N;
    bool stopped = false;
    while (remaining > 0) {
        if (b[I] == Placeholder) {
            uint8_t align = 0;
            int hl = 0, hr = 0;
            TFloatingObj* obj = nullptr;
            int w = Images.GetWidthAt(I, align, hl, hr, obj);
            if (w >= 0 && obj->IsFloating() &&
                std::find(Placed.begin(), Placed.end(), obj) != Placed.end()) {
                ++count;  // placed already, on an earlier try of this line
            } else if (w >= 0 && obj->IsFloating()) {
                if (lineEmpty) {
                    const int total = obj->ImageWidth + obj->HSpaceL + obj->HSpaceR;
                    const int room = IMgr.RightSide(Y) - IMgr.LeftIndent(Y);
                    if (total <= room || (count == 0 && IMgr.GetNextWiderY(Y) == Y)) {
                        IMgr.AddFloatingObj(Y, obj);
                        Placed.push_back(obj);
                        obj->DrawYY = Y;
                        const int h = obj->ImageHeight + obj->VSpaceT + obj->VSpaceB;
                        ImgHt = std::max(ImgHt, h);
                        FloatBottom = std::max(FloatBottom, Y + h);
                        ++count;
                        left = IMgr.LeftIndent(Y) + (firstLine ? FirstLineIndent : 0);
                        Width = IMgr.RightSide(Y) - left;
                        if (total > room) {
                            stopped = true;
                            break;
                        }
                    } else {
                        stopped = true;
                        break;
                    }
                } else {
                    Later.push_back(obj);
                    ++count;
                }
            } else {
                if (w >= 0) {
                    w += hl + hr;
                } else {
                    TFormControlObj* c = nullptr;
                    w = std::max(0, FormControls.GetWidthAt(I, c));
                }
                if (used + w > Width) {
                    stopped = true;
                    break;
                }
                used += w;
                ++count;
                lineEmpty = false;
            }
            ++I;
            --remaining;
            continue;
        }
        int run = TextRunLength(I, remaining);
        if (run <= 0) run = 1;
        int oh = 0;
        TMyFont* f = Fonts.GetFontAt(I, oh);
        if (f) f->AssignToCanvas(Canvas);
        TSize ext;
        const int fit = FitText(Canvas, b + I, run, Width - used, ext);
        count += fit;
        if (fit > 0) lineEmpty = false;
        if (fit < run) {
            used += ext.cx;
            stopped = true;
            break;
        }
        used += ext.cx + oh;
        I += run;
        remaining -= run;
    }
    if (count > 0) {
        const int lastI = Start + count - 1;
        if (Brk[static_cast<size_t>(lastI)] == 's' && count < N) {
            int oh = 0;
            TMyFont* f = Fonts.GetFontAt(lastI, oh);
            if (f) f->AssignToCanvas(Canvas);
            if (used + Canvas.TextWidth(std::u16string(u"-")) > Width) --count;
        }
    }
    if (!stopped && brLimited) return N + 1;
    return count;
}

// ---------------------------------------------------------------- layout

int TSection::Layout(TCanvas& Canvas, int X, int Y, int, int, int AWidth, int AHeight, int BlHt, IndentManager& IMgr,
                     int& MaxWidth, int& Curs) {
    const int top = Y;
    YDraw = ContentTop = DrawTop = Y;
    StartCurs = Curs;
    Lines.clear();
    std::vector<TFloatingObj*> placed;
    SectionHeight = 0;
    int floatBottom = 0;

    auto clearDistance = [&]() {
        if (ClearAttr == 0) return 0;
        int CL = 0, CR = 0;
        IMgr.GetClearY(CL, CR);
        const int dl = std::max(0, CL - Y - 1), dr = std::max(0, CR - Y - 1);
        return ClearAttr == 1 ? dl : ClearAttr == 2 ? dr : std::max(dl, dr);
    };

    if (Len == 0) {
        SectionHeight = clearDistance();
        DrawHeight = SectionHeight;
        ContentBot = top + SectionHeight;
        DrawBot = top + DrawHeight;
        MaxWidth = 0;
        return SectionHeight;
    }

    if (FLPercent > 0) FirstLineIndent = FLPercent * AWidth / 100;
    const int rightAtTop = IMgr.RightSide(Y), leftAtTop = IMgr.LeftIndent(Y);
    AvailableWidth = rightAtTop - X;
    MaxWidth = std::min(rightAtTop - leftAtTop, AWidth);
    for (const auto& obj : Images) {
        int idx = 0;
        TFontObj* fo = Fonts.GetFontObjAt(obj->Pos, idx);
        obj->Layout(Canvas, AWidth, AHeight ? AHeight : BlHt, fo);
        MaxWidth = std::max(MaxWidth, obj->ImageWidth + obj->HSpaceL + obj->HSpaceR);
    }
    for (auto* c : FormControls) {
        // At least 10 px: a control of a few per cent of a narrow cell would
        // be too thin to see or click.
        if (c->PercentWidth) c->SetWidth(std::max(10, c->FWidth * AWidth / 100));
        MaxWidth = std::max(MaxWidth, c->Width() + c->HSpaceL + c->HSpaceR);
    }

    const char16_t* b = BuffS.c_str();
    auto addEmptyLine = [&](int h) {
        LineRec lr;
        lr.Start = Lines.empty() ? 0 : Lines.back().Start + Lines.back().Ln;
        lr.LineHt = h;
        lr.LineImgHt = h;
        Lines.push_back(std::move(lr));
        SectionHeight = AddExtent(SectionHeight, h);
        Y = AddExtent(Y, h);
    };

    {
        const int d = clearDistance();
        if (d > 0) addEmptyLine(d);
    }

    int PStart = 0;
    int N = Len;
    int guard = 0;
    while (N > 0 && guard++ < 1000000) {
        int ImgHt = 0, Width = 0;
        std::vector<TFloatingObj*> later;
        const int raw = FindLineCount(Canvas, PStart, N, Y, IMgr, ImgHt, Width, later, placed, floatBottom);
        if (raw <= 0) {
            const int wider = IMgr.GetNextWiderY(Y);
            if (wider > Y) {
                addEmptyLine(wider - Y);
                continue;
            }
        }
        int NN = std::max(1, raw);
        if (IsPreFormated() && !BreakWord) NN = N;
        bool shy = false;
        auto joinSpaces = [&] {
            while (NN < N && b[PStart + NN] == u' ') ++NN;
        };
        if (NN >= N) {
            NN = N;
        } else {
            const int k = PStart + NN - 1;
            const int nx = PStart + NN;
            const char16_t ck = b[k];
            if (((ck == ObjectLike || ck == Placeholder || ck == u' ' || IsWide(ck)) &&
                 Brk[static_cast<size_t>(k)] != 'n') ||
                ck == HardBreak) {
                joinSpaces();
            } else if (b[nx] == u' ' && Brk[static_cast<size_t>(nx)] != 'n') {
                joinSpaces();
            } else if ((b[nx] == ObjectLike || b[nx] == Placeholder) && Brk[static_cast<size_t>(k)] != 'n') {
                // ends before the object
            } else {
                int found = -1;
                for (int j = k; j >= PStart; --j) {
                    const char16_t c = b[j];
                    const char code = Brk[static_cast<size_t>(j)];
                    if (code == 'n') continue;
                    if (c == u' ') {
                        found = j - PStart + 1;
                        break;
                    }
                    if (c == ObjectLike || c == Placeholder) {
                        if (j > PStart) {
                            found = j - PStart;
                            break;
                        }
                        continue;
                    }
                    if (c == u'-' || c == u'?' || code == 'a' || code == 's' || IsWide(c)) {
                        found = j - PStart + 1;
                        break;
                    }
                }
                if (found > 0) {
                    NN = found;
                    joinSpaces();
                } else if (!BreakWord) {
                    int ext = N;
                    for (int m = nx; m < PStart + N; ++m) {
                        const char16_t c = b[m];
                        const char code = Brk[static_cast<size_t>(m)];
                        if (code == 'n') continue;
                        if (c == u'-' || c == u'?' || code == 'a' || code == 's') {
                            ext = m - PStart + 1;
                            break;
                        }
                        if (c == ObjectLike || c == Placeholder || c == HardBreak || c == u' ' || IsWide(c)) {
                            ext = m - PStart;
                            break;
                        }
                    }
                    const int wider = IMgr.GetNextWiderY(Y);
                    if (wider > Y) {
                        addEmptyLine(wider - Y);
                        continue;
                    }
                    NN = std::max(1, ext);
                    joinSpaces();
                    if (NN < N && b[PStart + NN] == HardBreak) ++NN;
                    MaxWidth = std::max(MaxWidth, TextWidth(Canvas, PStart, NN, true) +
                                                      (PStart == 0 ? FirstLineIndent : 0));
                }
            }
        }
        if (NN < N && NN > 0 && Brk[static_cast<size_t>(PStart + NN - 1)] == 's') shy = true;

        // 6. the line's height
        LineRec LR;
        LR.Start = PStart;
        LR.Ln = NN;
        LR.Shy = shy;
        bool onlyObjects = true;
        for (int k = 0; k < NN; ++k) {
            const char16_t c = b[PStart + k];
            if (c == ObjectLike || c == Placeholder || c == HardBreak || (k == 0 && c == u' ')) continue;
            onlyObjects = false;
            break;
        }
        if (NN == 1 && b[PStart] == HardBreak) onlyObjects = false;
        int firstRun = 0;  // the run holding the line's first character
        Fonts.GetFontObjAt(PStart, firstRun);
        if (!onlyObjects) {
            for (int f = firstRun; f < Fonts.Count() && Fonts[f]->Pos < PStart + NN; ++f) {
                LR.LineHt = std::max(LR.LineHt, Fonts[f]->FontHeight);
                LR.Descent = std::max(LR.Descent, Fonts[f]->Descent);
            }
        }
        if (LineHeight >= 0) {  // also a line of objects alone, whose own height is 0
            const int diff = LineHeight - LR.LineHt;
            LR.SpaceBefore = diff / 2;
            LR.SpaceAfter = diff - LR.SpaceBefore;
        }
        // Only pictures and controls stand at placeholders.
        const int objectsIn = Images.Count() > 0 || FormControls.Count() > 0 ? NN : 0;
        for (int k = 0; k < objectsIn; ++k) {
            const int pos = PStart + k;
            if (b[pos] != Placeholder) continue;
            TFloatingObj* obj = Images.FindImage(pos);
            if (obj) {
                if (obj->IsFloating()) continue;
                int L = LR.LineHt, D = LR.Descent;
                const int H = obj->ImageHeight + obj->VSpaceT + obj->VSpaceB;
                switch (obj->Floating) {
                case ATop: LR.SpaceAfter = std::max(LR.SpaceAfter, H - L); break;
                case AMiddle: {
                    if (L == 0) {
                        int idx = 0;
                        TFontObj* fo = Fonts.GetFontObjAt(PStart, idx);
                        L = fo->FontHeight;
                        D = fo->Descent;
                        LR.LineHt = L;
                        LR.Descent = D;
                    }
                    const int half = (H - L) / 2;
                    LR.SpaceAfter = std::max(LR.SpaceAfter, half);
                    LR.SpaceBefore = std::max(LR.SpaceBefore, H - L - half);
                    break;
                }
                default: LR.SpaceBefore = std::max(LR.SpaceBefore, H - (L - D)); break;
                }
                obj->DrawYY = Y;
                continue;
            }
            TFormControlObj* c = FormControls.FindControl(pos);
            if (!c) continue;
            const int L = LR.LineHt, D = LR.Descent;
            const int H = c->Height(), Mt = c->VSpaceT, Mb = c->VSpaceB;
            switch (c->VertAlign) {
            case ATop: LR.SpaceAfter = std::max(LR.SpaceAfter, Mt + H + Mb - L); break;
            case AMiddle: {
                const int half = (H - L) / 2;
                LR.SpaceAfter = std::max(LR.SpaceAfter, Mb + half);
                LR.SpaceBefore = std::max(LR.SpaceBefore, H - L - half + Mt);
                break;
            }
            case ABaseline: LR.SpaceBefore = std::max(LR.SpaceBefore, Mt + H + Mb - (L - D)); break;
            default: LR.SpaceBefore = std::max(LR.SpaceBefore, Mt + H + Mb - L); break;
            }
            if (!ParentSectionList || !ParentSectionList->IsCopy) c->YValue = Y;
        }
        if (!ParentSectionList || !ParentSectionList->IsCopy) {
            for (int f = firstRun; f < Fonts.Count() && Fonts[f]->Pos < PStart + NN; ++f)
                if (!Fonts[f]->Link().URL.empty()) Fonts[f]->SetLinkYPosition(Y);
        }

        // 7. horizontal placement
        // Only a picture adds a float here: without one the limits at the top hold.
        const bool atTop = Y == top && Images.Count() == 0;
        const int left = (atTop ? leftAtTop : IMgr.LeftIndent(Y)) + (PStart == 0 ? FirstLineIndent : 0);
        const int right = atTop ? rightAtTop : IMgr.RightSide(Y);
        int W = TextWidth(Canvas, PStart, NN, true);
        if (shy) {
            int oh = 0;
            TMyFont* f = Fonts.GetFontAt(PStart + NN - 1, oh);
            if (f) f->AssignToCanvas(Canvas);
            W += Canvas.TextWidth(std::u16string(u"-"));
        }
        switch (Justify) {
        case 2: LR.LineIndent = (left + right - W) / 2 - X; break;
        case 3: LR.LineIndent = right - X - W; break;
        case 4:
            LR.LineIndent = left - X;
            if (NN < N) {
                LR.Extra = right - left - W;
                for (int k = 0; k < NN - 1; ++k)
                    if (b[PStart + k] == u' ' || b[PStart + k] == 160) ++LR.Spaces;
            }
            break;
        default: LR.LineIndent = left - X; break;
        }
        LR.DrawWidth = right - left;

        // 8. store the line
        const int lineTotal = LR.LineHt + LR.SpaceBefore + LR.SpaceAfter;
        LR.LineImgHt = std::max(lineTotal, ImgHt);
        const int lineTop = Y;
        SectionHeight = AddExtent(SectionHeight, lineTotal);
        Y = AddExtent(Y, lineTotal);
        for (TFloatingObj* obj : later) {
            IMgr.AddFloatingObj(Y, obj);
            placed.push_back(obj);
            obj->DrawYY = Y;
            const int h = obj->ImageHeight + obj->VSpaceT + obj->VSpaceB;
            floatBottom = std::max(floatBottom, Y + h);
            LR.LineImgHt = std::max(LR.LineImgHt, Y + h - lineTop);
        }
        Lines.push_back(std::move(LR));
        PStart += NN;
        N -= NN;
    }

    // 9. after the loop
    Curs = StartCurs + Len;
    if (ParentSectionList && ParentSectionList->FirstLineHtPtr && *ParentSectionList->FirstLineHtPtr == 0) {
        int y = ContentTop;
        for (const LineRec& lr : Lines) {
            if (lr.Ln > 0) {
                *ParentSectionList->FirstLineHtPtr = y + lr.SpaceBefore + lr.LineHt - lr.Descent;
                break;
            }
            y += lr.SpaceBefore + lr.LineHt + lr.SpaceAfter;
        }
    }
    DrawHeight = std::max(floatBottom - top, SectionHeight);
    ContentBot = top + SectionHeight;
    DrawBot = top + DrawHeight;

    // 10. progress
    TSectionList* list = ParentSectionList;
    if (list && !list->IsCopy && SectionNumber > 0 && SectionNumber % 50 == 0 && ThisCycle != list->CycleNumber &&
        list->SectionCount > 0) {
        ThisCycle = list->CycleNumber;
        if (list->ReportProgress)
            list->ReportProgress(list->ProgressStart +
                                 (100 - list->ProgressStart) * SectionNumber / list->SectionCount);
    }
    return SectionHeight;
}

bool TSection::IsPlain() const {
    if (typeid(*this) != typeid(TSection) || Images.Count() > 0 || FormControls.Count() > 0) return false;
    // Link runs keep the y of their lines, and change their font.
    return std::all_of(Fonts.begin(), Fonts.end(), [](const auto& f) { return f->Link().URL.empty(); });
}

// ---------------------------------------------------------------- TPreFormated

TPreFormated::TPreFormated(TCellBasic* AMasterList, TAttributeList* L, TProperties* Prop, TUrlTarget* AnURL,
                           bool FirstItem)
    : TSection(AMasterList, L, Prop, AnURL, FirstItem) {
    // Lines of a pre element begin where the text begins.
    FirstLineIndent = 0;
    FLPercent = 0;
}

TPreFormated::TPreFormated(TCellBasic* AMasterList, const TPreFormated& T)
    : TSection(AMasterList, T) {}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TPreFormated>(AMasterList, *this);
}

void TPreFormated::Finish(int SourceIndex) {
    if (Finished) return;
    // Preformatted text keeps its blanks: only the closing blank is added.
    if (!BuffS.empty()) {
        BuffS.push_back(u' ');
        Brk.push_back('n');
        SIndexList.push_back(SourceIndex);
    }
    FinishText();
}

void TPreFormated::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    if (BreakWord) {
        TSection::MinMaxWidth(Canvas, Min, Max);
        return;
    }
    if (MaxWidthCache < 0) MaxWidthCache = Len > 0 ? TextWidth(Canvas, 0, Len, false) : 0;
    Max = MaxWidthCache;
    Min = std::min(2000, Max);
}

int TPreFormated::Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
                         IndentManager& IMgr, int& MaxWidth, int& Curs) {
    if (Len == 0) {
        YDraw = ContentTop = DrawTop = Y;
        StartCurs = Curs;
        Lines.clear();
        SectionHeight = Fonts.Count() ? Fonts[0]->FontHeight : 0;
        DrawHeight = SectionHeight;
        ContentBot = Y + SectionHeight;
        DrawBot = Y + DrawHeight;
        MaxWidth = 0;
        return SectionHeight;
    }
    if (BreakWord) return TSection::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
    const int saveWidth = IMgr.Width;
    IMgr.Width = 32000;
    int mw = 0;
    const int h = TSection::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, mw, Curs);
    IMgr.Width = saveWidth;
    int mn = 0, mx = 0;
    MinMaxWidth(Canvas, mn, mx);
    MaxWidth = mx;
    return h;
}

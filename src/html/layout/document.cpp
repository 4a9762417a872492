#include "html/layout/document.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <unordered_set>

#include "html/layout/blocks.h"
#include "html/layout/section.h"

int TableNestLevelGlobal = 0;

// ---------------------------------------------------------------- TSectionBase

TSectionBase::TSectionBase(TCellBasic* AMasterList)
    : ParentSectionList(AMasterList ? AMasterList->MasterList : nullptr) {}

TSectionBase::TSectionBase(TCellBasic* AMasterList, const TSectionBase& T)
    : ParentSectionList(AMasterList ? AMasterList->MasterList : nullptr),
      SectionHeight(T.SectionHeight),
      ZIndex(T.ZIndex) {}

TSectionBase::~TSectionBase() = default;

int TSectionBase::GetYPosition() { return YDraw; }

void TSectionBase::MoveDown(int dy, int dcurs) {
    YDraw += dy;
    ContentTop += dy;
    ContentBot += dy;
    DrawTop += dy;
    DrawBot += dy;
    StartCurs += dcurs;
}

std::unique_ptr<TSectionBase> TSectionBase::CreateCopy(TCellBasic* AMasterList) const {
    return std::make_unique<TSectionBase>(AMasterList, *this);
}

void TSectionBase::CopySelectionToBuffer(SelTextCount&) {}

int TSectionBase::Layout(TCanvas&, int, int Y, int, int, int, int, int, IndentManager&, int& MaxWidth, int& Curs) {
    StartCurs = Curs;
    MaxWidth = 0;
    YDraw = Y;
    DrawTop = Y;
    ContentTop = Y;
    ContentBot = Y + SectionHeight;
    DrawBot = Y + DrawHeight;
    return SectionHeight;
}

int TSectionBase::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) { return ContentTop + SectionHeight; }

bool TSectionBase::DrawReach(int&, int&) { return false; }

unsigned TSectionBase::GetLinkAt(TCanvas&, int, int, TUrlTarget&, TFormControlObj*&, std::string&) { return 0; }

bool TSectionBase::GetObjectAt(int, int, TFloatingObj*&, int&, int&) { return false; }

int TSectionBase::FindCursor(TCanvas&, int, int, int&, int&, int&, bool&) { return -1; }

int TSectionBase::FindString(int, const std::u16string&, bool) { return -1; }

int TSectionBase::FindStringR(int, const std::u16string&, bool) { return -1; }

int TSectionBase::FindSourcePos(int) { return -1; }

int TSectionBase::FindDocPos(int, bool) { return -1; }

bool TSectionBase::CursorToXY(TCanvas*, int, int&, int&) { return false; }

bool TSectionBase::GetCharAt(int, char16_t&, TSectionBase*&) { return false; }

void TSectionBase::MinMaxWidth(TCanvas&, int& Min, int& Max) {
    Min = 0;
    Max = 0;
}

void TSectionBase::AddToPositionList() {
    if (ParentSectionList) ParentSectionList->PositionList.push_back(this);
}

// ---------------------------------------------------------------- TTagName

const std::string* TTagName::Intern(const std::string& name) {
    // Cells mostly repeat the tag of the cell made before.
    thread_local const std::string* last = nullptr;
    if (last && *last == name) return last;
    static std::mutex guard;
    static std::unordered_set<std::string> names;
    std::lock_guard<std::mutex> lock(guard);
    last = &*names.insert(name).first;
    return last;
}

// ---------------------------------------------------------------- TCellBasic

TCellBasic::TCellBasic(TSectionList* Master) : MasterList(Master) {}

TCellBasic::TCellBasic(TSectionList* Master, const TCellBasic& T) : MasterList(Master), OwnersTag(T.OwnersTag) {
    for (const auto& s : T) {
        auto copy = s->CreateCopy(this);
        if (copy) TSectionItems::Add(copy.release());
    }
}

TCellBasic::~TCellBasic() { ClearSections(); }

void TCellBasic::ClearSections() {
    ForgetReach();
    for (const auto& s : *this) s->CheckFree();
    TSectionItems::Clear();
}

void TCellBasic::Add(TSectionBase* Item, int TagIndex) {
    if (!Item) return;
    ForgetReach();
    if (Item->IsSection()) {
        auto* s = static_cast<TSection*>(Item);
        if (!s->Finished) s->Finish(TagIndex);
        if (!s->IsPreFormated() && s->Len == 0 && s->Images.Count() == 0 && s->FormControls.Count() == 0) {
            s->CheckFree();
            delete s;
            return;
        }
    }
    Item->SetMasterList(MasterList);
    TSectionItems::Add(Item);
}

bool TCellBasic::CheckLastBottomMargin() {
    for (int i = Count() - 1; i >= 0; --i) {
        TSectionBase* s = (*this)[i];
        if (s->IsBlock()) {
            auto* b = static_cast<TBlock*>(s);
            if (b->Positioning == 1) continue;
            if (b->IsListItem()) return b->MyCell->CheckLastBottomMargin();
            if (b->BottomAuto) {
                b->MargArray[piMarginBottom] = 0;
                return true;
            }
            return false;
        }
        return false;
    }
    return false;
}

int TCellBasic::LayoutSections(TCanvas& Canvas, int X, int Y, int Width, int AHeight, int BlHt, int& MaxWidth,
                               int& Curs) {
    ForgetReach();
    YValue = Y;
    StartCurs = Curs;
    LastFloatTop = INT_MIN;
    int H = 0;
    MaxWidth = 0;
    for (const auto& s : *this) {
        int sw = 0;
        H = AddExtent(H, s->Layout(Canvas, X, AddExtent(Y, H), 0, 0, Width, AHeight, BlHt, *IMgr, sw, Curs));
        MaxWidth = std::max(MaxWidth, sw);
    }
    Len = Curs - StartCurs;
    return H;
}

int TCellBasic::Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) {
    return LayoutSections(Canvas, 0, Y, Width, AHeight, BlHt, MaxWidth, Curs);
}

void TCellBasic::MinMaxWidth(TCanvas& Canvas, int& Min, int& Max) {
    Min = 0;
    Max = 0;
    for (const auto& s : *this) {
        int mn = 0, mx = 0;
        s->MinMaxWidth(Canvas, mn, mx);
        Min = std::max(Min, mn);
        Max = std::max(Max, mx);
    }
}

int TCellBasic::Draw(TCanvas& Canvas, const TRect& ARect, int, int X, int Y, int XRef, int YRef) {
    return DrawSections(Canvas, ARect, *IMgr, X, Y, XRef, YRef);
}

namespace {

// Cells of more sections than this keep an index of where they draw.
constexpr int kIndexedCell = 16;

// The document's rows that ARect shows.
struct TDrawWindow {
    int64_t Top, Bottom;
    TDrawWindow(const TSectionList* list, const TRect& ARect) {
        const int64_t yOff = list ? list->YOff : 0;
        Top = yOff + ARect.Top;
        Bottom = yOff + ARect.Bottom;
    }
    bool Misses(int top, int bottom) const { return top > Bottom || bottom < Top; }
};

// The reach of a section of a cell whose document is list: one of another
// document is always drawn.
bool SectionReach(TSectionBase& s, const TSectionList* list, int& top, int& bottom) {
    top = INT_MAX;
    bottom = INT_MIN;
    if (s.ParentSectionList == list && s.DrawReach(top, bottom)) return true;
    top = INT_MAX;
    bottom = INT_MIN;
    return false;
}

}  // namespace

void TCellBasic::FindReach() {
    const int n = Count();
    reachTop_ = INT_MAX;
    reachBottom_ = INT_MIN;
    reachAlways_ = false;
    std::unique_ptr<TReachIndex> index;
    if (n > kIndexedCell) {
        index = std::make_unique<TReachIndex>();
        index->BottomUpTo.resize(static_cast<size_t>(n));
        index->TopFrom.resize(static_cast<size_t>(n));
    }
    for (int i = 0; i < n; ++i) {
        int top = 0, bottom = 0;
        if (!SectionReach(*(*this)[i], MasterList, top, bottom)) {
            reachAlways_ = true;
            if (index) index->Always.push_back(i);
        }
        reachTop_ = std::min(reachTop_, top);
        reachBottom_ = std::max(reachBottom_, bottom);
        if (index) {
            index->BottomUpTo[static_cast<size_t>(i)] = reachBottom_;
            index->TopFrom[static_cast<size_t>(i)] = top;
        }
    }
    if (index)
        for (int i = n - 2; i >= 0; --i)
            index->TopFrom[static_cast<size_t>(i)] =
                std::min(index->TopFrom[static_cast<size_t>(i)], index->TopFrom[static_cast<size_t>(i) + 1]);
    reachIndex_ = std::move(index);
    reachValid_ = true;
}

bool TCellBasic::DrawReach(int& Top, int& Bottom) {
    if (!reachValid_) FindReach();
    Top = reachTop_;
    Bottom = reachBottom_;
    return !reachAlways_;
}

bool TCellBasic::MayDraw(TSectionBase& S, const TRect& ARect) {
    int top = 0, bottom = 0;
    return !SectionReach(S, MasterList, top, bottom) || !TDrawWindow(MasterList, ARect).Misses(top, bottom);
}

int TCellBasic::DrawSections(TCanvas& Canvas, const TRect& ARect, IndentManager& IMgr, int X, int Y, int XRef,
                             int YRef, bool ZeroOnly) {
    const int n = Count();
    if (n == 0) return Y;
    if (!reachValid_) FindReach();
    const TDrawWindow window(MasterList, ARect);
    int result = 0;
    bool lastDrawn = false;
    auto draw = [&](int i) {
        TSectionBase* s = (*this)[i];
        if (ZeroOnly && s->ZIndex != 0) return;
        int top = 0, bottom = 0;
        if (SectionReach(*s, MasterList, top, bottom) && window.Misses(top, bottom)) return;
        const int r = s->Draw(Canvas, ARect, IMgr, X, XRef, YRef);
        if (i == n - 1) {
            result = r;
            lastDrawn = true;
        }
    };
    if (!reachIndex_) {
        for (int i = 0; i < n; ++i) draw(i);
    } else {
        // Those before `from` reach no lower than above the page, those from
        // `to` on no higher than below it: of them only the ones drawn
        // wherever the page is.
        const TReachIndex& x = *reachIndex_;
        const auto& up = x.BottomUpTo;
        const auto& on = x.TopFrom;
        const int from = static_cast<int>(
            std::partition_point(up.begin(), up.end(), [&](int b) { return b < window.Top; }) - up.begin());
        const int to = static_cast<int>(
            std::partition_point(on.begin() + from, on.end(), [&](int t) { return t <= window.Bottom; }) - on.begin());
        auto always = x.Always.begin();
        for (; always != x.Always.end() && *always < from; ++always) draw(*always);
        for (int i = from; i < to; ++i) draw(i);
        for (always = std::lower_bound(always, x.Always.end(), to); always != x.Always.end(); ++always) draw(*always);
    }
    // A section left out draws nothing and gives its bottom.
    const TSectionBase* last = (*this)[n - 1];
    return lastDrawn ? result : last->ContentTop + last->SectionHeight;
}

unsigned TCellBasic::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                               std::string& ATitle) {
    for (const auto& s : *this) {
        if (s->DrawTop <= Y && Y < s->DrawBot) {
            unsigned r = s->GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, ATitle);
            if (r) return r;
        }
    }
    return 0;
}

bool TCellBasic::GetObjectAt(int X, int Y, TFloatingObj*& Obj, int& XOff, int& YOff) {
    for (const auto& s : *this)
        if (s->DrawTop <= Y && Y < s->DrawBot && s->GetObjectAt(X, Y, Obj, XOff, YOff)) return true;
    return false;
}

int TCellBasic::FindCursor(TCanvas& Canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& Intext) {
    for (const auto& s : *this) {
        if (s->DrawTop <= Y && Y < s->DrawBot) {
            int r = s->FindCursor(Canvas, X, Y, XR, YR, CaretHt, Intext);
            if (r >= 0) return r;
        }
    }
    return -1;
}

int TCellBasic::FindString(int From, const std::u16string& ToFind, bool MatchCase) {
    for (const auto& s : *this) {
        int r = s->FindString(From, ToFind, MatchCase);
        if (r >= 0) return r;
    }
    return -1;
}

int TCellBasic::FindStringR(int From, const std::u16string& ToFind, bool MatchCase) {
    for (int i = Count() - 1; i >= 0; --i) {
        int r = (*this)[i]->FindStringR(From, ToFind, MatchCase);
        if (r >= 0) return r;
    }
    return -1;
}

int TCellBasic::FindSourcePos(int DocPos) {
    for (const auto& s : *this) {
        int r = s->FindSourcePos(DocPos);
        if (r >= 0) return r;
    }
    return -1;
}

int TCellBasic::FindDocPos(int SourcePos, bool Prev) {
    if (Prev) {
        for (int i = Count() - 1; i >= 0; --i) {
            int r = (*this)[i]->FindDocPos(SourcePos, Prev);
            if (r >= 0) return r;
        }
    } else {
        for (const auto& s : *this) {
            int r = s->FindDocPos(SourcePos, Prev);
            if (r >= 0) return r;
        }
    }
    return -1;
}

bool TCellBasic::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) {
    for (const auto& s : *this)
        if (s->CursorToXY(Canvas, Cursor, X, Y)) return true;
    return false;
}

bool TCellBasic::GetCharAt(int Pos, char16_t& Ch, TSectionBase*& Obj) {
    if (Pos < StartCurs || Pos >= StartCurs + Len) return false;
    for (const auto& s : *this)
        if (s->GetCharAt(Pos, Ch, Obj)) return true;
    return false;
}

void TCellBasic::CopySelectionToBuffer(SelTextCount& Buffer) {
    if (!MasterList) return;
    for (const auto& s : *this) {
        if (s->StartCurs >= MasterList->SelE) break;
        if (s->StartCurs + s->Len > MasterList->SelB) s->CopySelectionToBuffer(Buffer);
    }
}

void TCellBasic::AddSectionsToPositionList() {
    for (const auto& s : *this) s->AddToPositionList();
}

bool TCellBasic::IsPlain() const {
    return std::all_of(begin(), end(), [](const auto& s) { return s->IsPlain(); });
}

bool TCellBasic::LaidOutBelow(int top) const {
    return std::all_of(begin(), end(), [top](const auto& s) { return s->LaidOutBelow(top); });
}

void TCellBasic::MoveDown(int dy, int dcurs) {
    ForgetReach();
    YValue += dy;
    StartCurs += dcurs;
    for (const auto& s : *this) s->MoveDown(dy, dcurs);
}

// ---------------------------------------------------------------- TCell

TCell::TCell(TSectionList* Master) : TCellBasic(Master) {}

TCell::TCell(TSectionList* Master, const TCell& T) : TCellBasic(Master, T), laidOutWidth_(T.laidOutWidth_) {}

TCell::~TCell() {
    // Sections go before the manager they may point at.
    ClearSections();
}

namespace {

// Float managers not lent out. Cells nest, so several are out at once.
std::vector<std::unique_ptr<IndentManager>>& SpareIndents() {
    thread_local std::vector<std::unique_ptr<IndentManager>> spare;
    return spare;
}

// A float manager lent to a cell for the time of one call.
class TLentIndents {
public:
    explicit TLentIndents(IndentManager*& slot) : slot_(slot) {
        auto& spare = SpareIndents();
        if (spare.empty()) {
            mgr_ = std::make_unique<IndentManager>();
        } else {
            mgr_ = std::move(spare.back());
            spare.pop_back();
        }
        saved_ = slot_;
        slot_ = mgr_.get();
    }
    ~TLentIndents() {
        mgr_->Clear();
        SpareIndents().push_back(std::move(mgr_));
        slot_ = saved_;
    }
    TLentIndents(const TLentIndents&) = delete;
    TLentIndents& operator=(const TLentIndents&) = delete;

private:
    IndentManager*& slot_;
    IndentManager* saved_ = nullptr;
    std::unique_ptr<IndentManager> mgr_;
};

}  // namespace

int TCell::Layout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) {
    TLentIndents lent(IMgr);
    laidOutWidth_ = Width;
    IMgr->Clear();
    IMgr->Reset(0, Width);
    const void* saveID = IMgr->CurrentID;
    IMgr->CurrentID = this;
    // A paragraph in its block's place is as wide as that block would be: as
    // wide as the cell, or as its longest word.
    int width = Width;
    if (Count() == 1 && (*this)[0]->IsSection() && static_cast<TSection*>((*this)[0])->InPlaceOfBlock) {
        int Min = 0, Max = 0;
        (*this)[0]->MinMaxWidth(Canvas, Min, Max);
        width = std::max(Width, Min);
    }
    const int LIndex = IMgr->SetLeftIndent(0, Y);
    const int RIndex = IMgr->SetRightIndent(width, Y);
    int H = TCellBasic::Layout(Canvas, Y, width, AHeight, BlHt, MaxWidth, Curs);
    IMgr->FreeLeftIndentRec(LIndex);
    IMgr->FreeRightIndentRec(RIndex);
    const int IB = IMgr->ImageBottom() - YValue;
    IMgr->CurrentID = saveID;
    return std::max(H, IB);
}

int TCell::Draw(TCanvas& Canvas, const TRect& ARect, int ClipWidth, int X, int Y, int XRef, int YRef) {
    TLentIndents lent(IMgr);
    IMgr->Reset(X, X + laidOutWidth_);
    IMgr->ClipWidth = ClipWidth;
    YValue = Y;
    return TCellBasic::Draw(Canvas, ARect, ClipWidth, X, Y, XRef, YRef);
}

// ---------------------------------------------------------------- TCellObjCell

TCellObjCell::TCellObjCell(TSectionList* Master) : TCell(Master) {}

TCellObjCell::TCellObjCell(TSectionList* Master, const TCellObjCell& T)
    : TCell(Master, T), MyRect(T.MyRect), Link(T.Link ? std::make_unique<TCellLink>(*T.Link) : nullptr), BkColor(T.BkColor),
      BkGnd(T.BkGnd) {}

unsigned TCellObjCell::GetLinkAt(TCanvas& Canvas, int X, int Y, TUrlTarget& UrlTarg, TFormControlObj*& FormControl,
                                 std::string& ATitle) {
    unsigned result = TCellBasic::GetLinkAt(Canvas, X, Y, UrlTarg, FormControl, ATitle);
    const int yy = Y - (MasterList ? MasterList->YOff : 0);
    const int xx = X + (MasterList ? MasterList->DrawOriginX : 0);
    if (xx >= MyRect.Left && xx < MyRect.Right && yy >= MyRect.Top && yy < MyRect.Bottom) {
        if (!(result & guUrl) && Link && !Link->Url.empty()) {
            UrlTarg.Clear();
            UrlTarg.URL = Link->Url;
            UrlTarg.Target = Link->Target;
            result |= guUrl;
        }
        if (!(result & guTitle) && Link && !Link->Title.empty()) {
            ATitle = Link->Title;
            result |= guTitle;
        }
    }
    return result;
}

// ---------------------------------------------------------------- TBlockCell

TBlockCell::TBlockCell(TSectionList* Master) : TCellBasic(Master) {}

TBlockCell::TBlockCell(TSectionList* Master, const TBlockCell& T) : TCellBasic(Master, T) {}

int TBlockCell::DoLayout(TCanvas& Canvas, int Y, int Width, int AHeight, int BlHt, int& MaxWidth, int& Curs) {
    return TCellBasic::Layout(Canvas, Y, Width, AHeight, BlHt, MaxWidth, Curs);
}

int TBlockCell::LayoutContents(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int Width, int AHeight, int BlHt,
                               int& MaxWidth, int& Curs) {
    ForgetReach();
    YValue = Y;
    StartCurs = Curs;
    LastFloatTop = INT_MIN;
    int H = 0;
    MaxWidth = 0;
    tcContentBot = 0;
    tcDrawTop = 990000;
    tcDrawBot = 0;
    for (const auto& s : *this) {
        int sw = 0;
        H = AddExtent(H, s->Layout(Canvas, X, AddExtent(Y, H), XRef, YRef, Width, AHeight, BlHt, *IMgr, sw, Curs));
        MaxWidth = std::max(MaxWidth, sw);
        const bool absBlock = s->IsBlock() && static_cast<TBlock*>(s.get())->Positioning == 1;
        if (!absBlock) tcContentBot = std::max(tcContentBot, s->ContentBot);
        tcDrawTop = std::min(tcDrawTop, s->DrawTop);
        tcDrawBot = std::max(tcDrawBot, s->DrawBot);
    }
    if (Owner && Owner->MargArray[piWidth] != Auto && Owner->MargArray[piWidth] != IntNull &&
        Owner->MargArray[piWidth] > 0)
        MaxWidth = Owner->NewWidth;
    Len = Curs - StartCurs;
    return H;
}

void TBlockCell::MoveContentsDown(int dy, int dcurs) {
    TCellBasic::MoveDown(dy, dcurs);
    // As LayoutContents finds them (no block here is absolutely positioned).
    tcContentBot = 0;
    tcDrawTop = 990000;
    tcDrawBot = 0;
    for (const auto& s : *this) {
        tcContentBot = std::max(tcContentBot, s->ContentBot);
        tcDrawTop = std::min(tcDrawTop, s->DrawTop);
        tcDrawBot = std::max(tcDrawBot, s->DrawBot);
    }
}

// ---------------------------------------------------------------- TInlineList

void TInlineList::AdjustValues() {
    if (!NeedsConvert) return;
    for (const auto& r : *this) {
        r->StartB = Owner->FindDocPos(r->StartBDoc, false);
        r->EndB = Owner->FindDocPos(r->EndBDoc, false);
        if (r->StartB == r->EndB) --r->StartB;
    }
    NeedsConvert = false;
}

int TInlineList::GetStartB(int I) {
    AdjustValues();
    if (I < 0 || I >= Count()) return 99999999;
    return (*this)[I]->StartB;
}

int TInlineList::GetEndB(int I) {
    AdjustValues();
    if (I < 0 || I >= Count()) return 99999999;
    return (*this)[I]->EndB;
}

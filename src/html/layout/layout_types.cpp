#include "html/layout/layout_types.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>

#include "html/layout/floating.h"
#include "html/reader/style_values.h"
#include "platform/gui/clipboard.h"

// ---------------------------------------------------------------- IndentManagerBasic

void IndentManagerBasic::Reset(int lf, int width) {
    LfEdge = lf;
    Width = width;
    CurrentID = nullptr;
}

void IndentManagerBasic::Clear() {
    LeftRecs.clear();
    RightRecs.clear();
    leftReach_.clear();
    rightReach_.clear();
    leftLimits_.clear();
    rightLimits_.clear();
    CurrentID = nullptr;
}

namespace {

// Calls f for each float record in force at Y, newest first.
template <class F>
void ForFloatsAt(const std::vector<IndentRec>& recs, const std::vector<int>& reach, int Y, F f) {
    for (size_t i = recs.size(); i-- > 0;) {
        if (reach[i] <= Y) break;  // this record and all before it have ended
        const IndentRec& r = recs[i];
        if (r.YT <= Y && Y < r.YB) f(r);
    }
}

// The X of the records in force at Y that `better` prefers, if any.
template <class Better>
bool EdgeAt(const std::vector<IndentRec>& limits, const std::vector<IndentRec>& recs, const std::vector<int>& reach,
            const void* currentID, int Y, Better better, int& edge) {
    bool any = false;
    auto take = [&](const IndentRec& r) {
        if (!any || better(r.X, edge)) edge = r.X;
        any = true;
    };
    for (const IndentRec& r : limits)
        if (r.YT <= Y && Y < r.YB && (r.ID == nullptr || r.ID == currentID)) take(r);
    ForFloatsAt(recs, reach, Y, take);
    return any;
}

// Largest bottom of one side's records of ID nullptr; -1 when none.
int SideBottom(const std::vector<IndentRec>& limits, const std::vector<int>& reach) {
    int result = reach.empty() ? -1 : reach.back();
    for (const IndentRec& r : limits)
        if (r.ID == nullptr) result = std::max(result, r.YB);
    return result;
}

}  // namespace

int IndentManagerBasic::LeftIndent(int Y) const {
    int edge = 0;
    return EdgeAt(leftLimits_, LeftRecs, leftReach_, CurrentID, Y, std::greater<int>(), edge) ? edge + LfEdge
                                                                                                 : LfEdge;
}

int IndentManagerBasic::RightSide(int Y) const {
    int edge = 0;
    return EdgeAt(rightLimits_, RightRecs, rightReach_, CurrentID, Y, std::less<int>(), edge) ? edge + LfEdge
                                                                                                : Width;
}

int IndentManagerBasic::ImageBottom() const {
    return std::max({0, SideBottom(leftLimits_, leftReach_), SideBottom(rightLimits_, rightReach_)});
}

void IndentManagerBasic::GetClearY(int& CL, int& CR) const {
    CL = SideBottom(leftLimits_, leftReach_) + 1;
    CR = SideBottom(rightLimits_, rightReach_) + 1;
}

int IndentManagerBasic::GetNextWiderY(int Y) const {
    bool any = false;
    int result = Y;
    auto take = [&](const IndentRec& r) {
        if (r.ID == nullptr && r.YB > Y && (!any || r.YB < result)) result = r.YB, any = true;
    };
    for (const IndentRec& r : leftLimits_) take(r);
    for (const IndentRec& r : rightLimits_) take(r);
    // A record that ends below Y is in force there or starts below it.
    for (size_t i = LeftRecs.size(); i-- > 0 && leftReach_[i] > Y;) take(LeftRecs[i]);
    for (size_t i = RightRecs.size(); i-- > 0 && rightReach_[i] > Y;) take(RightRecs[i]);
    return result;
}

void IndentManagerBasic::AddFloatRec(bool left, const IndentRec& r) {
    std::vector<IndentRec>& recs = left ? LeftRecs : RightRecs;
    std::vector<int>& reach = left ? leftReach_ : rightReach_;
    recs.push_back(r);
    reach.push_back(reach.empty() ? r.YB : std::max(reach.back(), r.YB));
}

namespace {

int AddRec(std::vector<IndentRec>& recs, const IndentRec& r) {
    recs.push_back(r);
    return static_cast<int>(recs.size()) - 1;
}

void FreeRec(std::vector<IndentRec>& recs, int i) {
    if (i < 0 || i >= static_cast<int>(recs.size())) return;
    recs.erase(recs.begin() + i);
}

}  // namespace

int IndentManagerBasic::SetLeftIndent(int XLeft, int Y) {
    return AddRec(leftLimits_, IndentRec{CurrentID, XLeft, Y, 9999999, false});
}

int IndentManagerBasic::SetRightIndent(int XRight, int Y) {
    return AddRec(rightLimits_, IndentRec{CurrentID, XRight, Y, 9999999, false});
}

void IndentManagerBasic::FreeLeftIndentRec(int i) { FreeRec(leftLimits_, i); }

void IndentManagerBasic::FreeRightIndentRec(int i) { FreeRec(rightLimits_, i); }

// ---------------------------------------------------------------- IndentManager

void IndentManager::AddFloatingObj(int Y, TFloatingObj* Obj) {
    const int totalW = Obj->ImageWidth + Obj->HSpaceL + Obj->HSpaceR;
    const int totalH = Obj->ImageHeight + Obj->VSpaceT + Obj->VSpaceB;
    IndentRec r;
    r.YT = Y;
    r.YB = Y + totalH;
    r.ID = nullptr;
    r.FloatBlock = false;
    if (Obj->Floating == ALeft) {
        const int L = LeftIndent(Y);
        Obj->Indent = L - LfEdge + Obj->HSpaceL;
        r.X = L - LfEdge + totalW;
        AddFloatRec(true, r);
    } else if (Obj->Floating == ARight) {
        const int X = RightSide(Y) - totalW;
        Obj->Indent = X + Obj->HSpaceL;
        r.X = X;
        AddFloatRec(false, r);
    }
}

void IndentManager::AddFloatingBlock(int Y, int X, int Align, int Height) {
    IndentRec r;
    r.YT = Y;
    r.YB = Y + Height;
    r.ID = nullptr;
    r.FloatBlock = true;
    if (Align == ALeft) {
        r.X = X - LfEdge;
        AddFloatRec(true, r);
    } else if (Align == ARight) {
        r.X = RightSide(Y) - X;
        AddFloatRec(false, r);
    }
}

// ---------------------------------------------------------------- image maps

std::vector<int> ParseCoords(const std::string& coords) {
    std::vector<int> result;
    std::string s = coords;
    size_t p = 0;
    auto skip = [&] {
        while (p < s.size() && (s[p] == ',' || s[p] == ' ')) ++p;
    };
    skip();
    while (p < s.size() && result.size() < 301) {
        size_t e = s.find_first_of(", ", p);
        if (e == std::string::npos) e = s.size();
        const std::string num = s.substr(p, std::min<size_t>(e - p, 20));  // a number is read from 20 characters at most
        bool found = false;
        const int v = PageInteger(num, &found);
        const size_t sign = !num.empty() && (num[0] == '+' || num[0] == '-') ? 1 : 0;
        const bool whole = found && num.find_first_not_of("0123456789", sign) == std::string::npos;
        result.push_back(whole ? v : 0);
        p = e;
        skip();
    }
    return result;
}

void TMapItem::AddArea(TAttributeList& Attrib) {
    if (Areas.size() >= 1000) return;
    enum { Rect, Circle, Poly } shape = Rect;
    std::string href, target, title;
    std::vector<int> coords;
    for (const auto& a : Attrib) {
        switch (a->Symbol) {
        case ShapeSy: {
            std::string s = a->TextValue.substr(0, 4);
            for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            shape = s == "circ" ? Circle : s == "poly" ? Poly : Rect;
            break;
        }
        case CoordsSy: coords = ParseCoords(a->TextValue); break;
        case HRefSy: href = a->TextValue; break;
        case TargetSy: target = a->TextValue; break;
        case TitleSy: title = a->TextValue; break;
        case NoHrefSy: href.clear(); break;
        default: break;
        }
    }
    // NOHREF wins wherever it stands.
    TAttribute* dummy = nullptr;
    if (Attrib.Find(NoHrefSy, dummy)) href.clear();
    Area area;
    const size_t n = coords.size();
    if (n < (shape == Rect ? 4u : shape == Circle ? 3u : 6u)) return;
    area.Shape = shape == Rect ? Area::Rect : shape == Circle ? Area::Circle : Area::Poly;
    coords.resize(shape == Rect ? 4 : shape == Circle ? 3 : n & ~size_t{1});
    area.Coords = std::move(coords);
    area.HRef = href;
    area.Target = target;
    area.Title = title;
    Areas.push_back(std::move(area));
}

bool TMapItem::Area::Contains(int X, int Y) const {
    const std::vector<int>& c = Coords;
    if (Shape == Rect) return c[0] <= X && X <= c[2] && c[1] <= Y && Y <= c[3];
    if (Shape == Circle) {
        // The pixels whose centres lie in the circle through the edge pixels' centres.
        const int64_t dx = int64_t(X) - c[0], dy = int64_t(Y) - c[1], r = c[2];
        return r >= 0 && dx * dx + dy * dy <= r * r + r;
    }
    // Winding rule at the pixel's centre, in half pixels.
    const int64_t px = 2 * int64_t(X) + 1, py = 2 * int64_t(Y) + 1;
    int winding = 0;
    for (size_t i = 0, n = c.size(); i < n; i += 2) {
        const size_t j = (i + 2) % n;
        const int64_t x0 = 2 * int64_t(c[i]), y0 = 2 * int64_t(c[i + 1]);
        const int64_t x1 = 2 * int64_t(c[j]), y1 = 2 * int64_t(c[j + 1]);
        const int64_t side = (x1 - x0) * (py - y0) - (px - x0) * (y1 - y0);
        if (y0 <= py && y1 > py && side > 0) ++winding;
        else if (y0 > py && y1 <= py && side < 0) --winding;
    }
    return winding != 0;
}

bool TMapItem::GetURL(int X, int Y, TUrlTarget& UrlTarg, std::string& ATitle) const {
    for (const auto& a : Areas) {
        if (a.Contains(X, Y)) {
            if (a.HRef.empty()) return false;
            UrlTarg.Clear();
            UrlTarg.URL = a.HRef;
            UrlTarg.Target = a.Target;
            ATitle = a.Title;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- selection sinks

void SelTextCount::AddText(const char16_t* P, int Size) {
    for (int i = 0; i < Size; ++i)
        if (P[i] != 2 && P[i] != 4) ++Leng;
}

void SelTextCount::AddTextLine(const char16_t* P, int Size) {
    AddText(P, Size);
    static const char16_t crlf[] = {13, 10};
    AddText(crlf, 2);
}

int SelTextCount::Terminate() { return Leng; }

SelTextBuf::SelTextBuf(char16_t* ABuffer, int Size) : Buffer(ABuffer), BufferLeng(Size) {}

void SelTextBuf::AddText(const char16_t* P, int Size) {
    for (int i = 0; i < Size; ++i) {
        if (P[i] == 2 || P[i] == 4 || P[i] == 8) continue;
        if (Leng >= BufferLeng - 1) return;
        Buffer[Leng++] = P[i];
    }
}

int SelTextBuf::Terminate() {
    if (BufferLeng > 0) Buffer[std::min(Leng, BufferLeng - 1)] = 0;
    return Leng + 1;
}

ClipBuffer::ClipBuffer(int Leng) : SelTextBuf(nullptr, Leng + 1), own_(static_cast<size_t>(Leng) + 1, 0) {
    Buffer = own_.data();
}

ClipBuffer::~ClipBuffer() = default;

std::u16string ClipBuffer::Text() const { return std::u16string(own_.data(), static_cast<size_t>(Leng)); }

int ClipBuffer::Terminate() {
    const int result = SelTextBuf::Terminate();
    Clipboard().SetAsUnicodeText(Text());
    return result;
}

// ---------------------------------------------------------------- AllocRec

AllocRec::AllocRec(size_t ASize) : size_(ASize), large_(ASize >= 65280) {
    ptr_ = std::malloc(ASize ? ASize : 1);
    if (!ptr_) throw std::bad_alloc();
}

AllocRec::~AllocRec() { std::free(ptr_); }

// ---------------------------------------------------------------- DocSlabs

namespace DocSlabs {
namespace {

constexpr size_t kSlabSize = 64 * 1024;
constexpr size_t kAlign = 8;

struct Slab {
    size_t live = 0;       // objects not yet freed
    bool current = false;  // still handing out room
    char* next = nullptr;
    char* end = nullptr;
};
constexpr size_t kHeader = (sizeof(Slab) + kAlign - 1) / kAlign * kAlign;

size_t held = 0;

Slab* SlabOf(void* p) {
    return reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(p) & ~static_cast<uintptr_t>(kSlabSize - 1));
}

void Release(Slab* s) {
    ASAN_UNPOISON_MEMORY_REGION(s, kSlabSize);
    s->~Slab();
    std::free(s);
    --held;
}

// The slab this thread hands out room from. Plain data, so that reaching it
// costs no initialisation check; documents are made on one thread.
thread_local Slab* current = nullptr;

void RetireCurrent() {
    Slab* s = current;
    if (!s) return;
    s->current = false;
    current = nullptr;
    if (s->live == 0) Release(s);
}

Slab* NewSlab() {
    void* mem = std::aligned_alloc(kSlabSize, kSlabSize);
    if (!mem) throw std::bad_alloc();
    ++held;
    auto* s = new (mem) Slab;
    s->current = true;
    s->next = static_cast<char*>(mem) + kHeader;
    s->end = static_cast<char*>(mem) + kSlabSize;
    ASAN_POISON_MEMORY_REGION(s->next, static_cast<size_t>(s->end - s->next));
    return s;
}

}  // namespace

size_t SlabsHeld() { return held; }

size_t RoomFor(size_t size) { return (std::max<size_t>(size, 1) + kAlign - 1) / kAlign * kAlign; }

void* Allocate(size_t size) {
    if (size > kSlabObjectMax) return ::operator new(size);
    const size_t room = RoomFor(size);
    Slab* s = current;
    if (!s || static_cast<size_t>(s->end - s->next) < room) {
        RetireCurrent();
        s = current = NewSlab();
    }
    void* p = s->next;
    s->next += room;
    ++s->live;
    ASAN_UNPOISON_MEMORY_REGION(p, size);
    return p;
}

void Free(void* p, size_t size) noexcept {
    if (!p) return;
    if (size > kSlabObjectMax) {
        ::operator delete(p);
        return;
    }
    Slab* s = SlabOf(p);
    // Freed room is not handed out again, so that a use after free still
    // faults under the address sanitizer; except the room of the object made
    // last, which goes back at once: the reader makes and drops an empty
    // paragraph in many table cells, before it makes anything else.
    ASAN_POISON_MEMORY_REGION(p, size);
    if (s->current && static_cast<char*>(p) + RoomFor(size) == s->next) s->next = static_cast<char*>(p);
    if (--s->live > 0) return;
    if (!s->current) {
        Release(s);
        return;
    }
    // The current slab emptied: start it over.
    s->next = reinterpret_cast<char*>(s) + kHeader;
    ASAN_POISON_MEMORY_REGION(s->next, static_cast<size_t>(s->end - s->next));
}

}  // namespace DocSlabs

#include "html/reader/style_props.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <sanitizer/asan_interface.h>

#include "platform/runtime/arith.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"

TPropStack ParserPropStack;

const char* const PropWords[PropCount] = {
    "font-family", "font-size", "font-style", "font-weight", "text-align", "text-decoration",
    "letter-spacing", "border-style", "color", "background-color", "border-color",
    "margin-top", "margin-right", "margin-bottom", "margin-left",
    "padding-top", "padding-right", "padding-bottom", "padding-left",
    "border-top-width", "border-right-width", "border-bottom-width", "border-left-width",
    "border-top-color", "border-right-color", "border-bottom-color", "border-left-color",
    "border-top-style", "border-right-style", "border-bottom-style", "border-left-style",
    "width", "height", "top", "bottom", "right", "left",
    "visibility", "line-height", "background-image", "background-position", "background-repeat",
    "background-attachment", "vertical-align", "position", "z-index", "list-style-type",
    "list-style-image", "float", "clear", "text-indent", "page-break-before", "page-break-after",
    "page-break-inside", "text-transform", "word-wrap", "font-variant", "border-collapse",
    "overflow", "display"};

namespace {

int g_serial = 0;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return true;
}

bool Contains(const std::string& s, const char* sub) { return s.find(sub) != std::string::npos; }

// What Inherit does with each slot of a normal parent.
enum class InheritKind : uint8_t { Yes, Reset, No };
InheritKind InheritOf(int i) {
    if (i >= piMarginTop && i <= piLeftPos) return InheritKind::Reset;
    switch (i) {
        case piFontFamily: case piFontSize: case piFontStyle: case piFontWeight: case piTextAlign:
        case piTextDecoration: case piLetterSpacing: case piColor: case piVisibility: case piLineHeight:
        case piVerticalAlign: case piZIndex: case piListStyleType: case piListStyleImage: case piTextIndent:
        case piTextTransform: case piWordWrap: case piFontVariant:
            return InheritKind::Yes;
        default:
            return InheritKind::No;
    }
}

// A whole text that reads as a number.
bool PlainNumber(const std::string& s, double& v) {
    std::string t = Trim(s);
    if (t.empty()) return false;
    size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') digits = true;
        else if (t[i] == '.' && !point) point = true;
        else return false;
    }
    if (!digits) return false;
    v = std::strtod(t.c_str(), nullptr);
    return true;
}

bool IsBoldWeight(const TPropValue& v) {
    if (v.IsText()) {
        if (Contains(v.Text(), "bold")) return true;
        double n;
        return PlainNumber(v.Text(), n) && n >= 600;
    }
    return v.IsNumber() && v.Real() >= 600;
}

// A simple selector of a key split into its parts.
struct SelectorParts {
    std::string tag, cls, id, pseudo;
};

SelectorParts SplitSelector(std::string s) {
    SelectorParts r;
    size_t p = s.find(':');
    if (p != std::string::npos) {
        r.pseudo = s.substr(p + 1);
        s.erase(p);
    }
    p = s.find('#');
    if (p != std::string::npos) {
        r.id = s.substr(p + 1);
        s.erase(p);
    }
    p = s.find('.');
    if (p != std::string::npos) {
        r.cls = s.substr(p + 1);
        s.erase(p);
    }
    r.tag = s;
    return r;
}

// The components of a contextual key, subject first.
std::vector<SelectorParts> SplitContextual(const std::string& key) {
    std::vector<SelectorParts> comps;
    size_t start = 0;
    while (start < key.size() && comps.size() < 10) {
        size_t sp = key.find(' ', start);
        std::string part = key.substr(start, sp == std::string::npos ? std::string::npos : sp - start);
        if (!part.empty()) {
            if (comps.size() == 1) {
                // The second component carries the count and sequence digits.
                size_t d = 0;
                while (d < part.size() && part[d] >= '0' && part[d] <= '9') ++d;
                part.erase(0, d);
            }
            comps.push_back(SplitSelector(Lower(part)));
        }
        if (sp == std::string::npos) break;
        start = sp + 1;
    }
    return comps;
}

}  // namespace

bool PropertyFromString(const std::string& name, int& index) {
    static const std::unordered_map<std::string, int> map = [] {
        std::unordered_map<std::string, int> m;
        for (int i = 0; i < PropCount; ++i) m.emplace(PropWords[i], i);
        return m;
    }();
    auto it = map.find(name);
    if (it == map.end()) return false;
    index = it->second;
    return true;
}

int BorderStyleFromString(const std::string& text) {
    static const char* const names[] = {"none", "solid", "inset", "outset", "groove",
                                        "ridge", "dashed", "dotted", "double"};
    for (int i = 0; i < 9; ++i)
        if (text == names[i]) return i;
    return 0;
}

int AlignmentFromString(const std::string& text) {
    std::string s = Lower(text);
    if (s == "top") return 1;
    if (s == "middle" || s == "absmiddle" || s == "center") return 2;
    if (s == "baseline") return 3;
    if (s == "bottom") return 4;
    if (s == "left") return 5;
    if (s == "right") return 6;
    if (s == "justify") return 7;
    return 0;
}

void StorePropValue(TProperties& p, int index, const std::string& value, bool strictColor) {
    auto& P = p.Props.Edit();
    TColor c;
    switch (index) {
        case piBorderStyle:
            P[piBorderStyle] = value;
            for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) P[static_cast<size_t>(i)] = value;
            break;
        case piColor:
            if (ColorFromString(value, false, c)) P[piColor] = int(c);
            else if (!strictColor) P[piColor] = 0;
            break;
        case piBackgroundColor:
            P[piBackgroundColor] = ColorFromString(value, false, c) ? int(c) : int(clNone);
            break;
        case piBorderColor:
            if (ColorFromString(value, false, c)) {
                P[piBorderColor] = int(c);
                for (int i = piBorderTopColor; i <= piBorderLeftColor; ++i) P[static_cast<size_t>(i)] = int(c);
            }
            break;
        case piBorderTopColor: case piBorderRightColor: case piBorderBottomColor: case piBorderLeftColor:
            if (ColorFromString(value, false, c)) P[static_cast<size_t>(index)] = int(c);
            break;
        case piBorderTopStyle: case piBorderRightStyle: case piBorderBottomStyle: case piBorderLeftStyle:
            P[static_cast<size_t>(index)] = value;
            if (value != "none") P[piBorderStyle] = value;
            break;
        case piVisibility:
            if (value == "visible") P[piVisibility] = 2;
            else if (value == "hidden") P[piVisibility] = 1;
            break;
        case piTextTransform:
            P[piTextTransform] = value == "uppercase" ? 1 : value == "lowercase" ? 2 : 0;
            break;
        case piWordWrap:
            P[piWordWrap] = value == "break-word" ? "break-word" : "normal";
            break;
        case piFontVariant:
            if (value == "small-caps" || value == "normal") P[piFontVariant] = value;
            break;
        default:
            P[static_cast<size_t>(index)] = value;
    }
}

// ---------------------------------------------------------------- TProperties

TProperties::TProperties() : SerialID(++g_serial) {}

namespace {

TPropValues::Array NewSetValues() {
    TPropValues::Array a;
    for (int i = piMarginTop; i <= piLeftPos; ++i) a[static_cast<size_t>(i)] = IntNull;
    a[piZIndex] = 0;
    return a;
}

}  // namespace

TPropValues::TPropValues() {
    // The values of a new set, shared by every new set of the thread; never
    // freed, so a set freed late at exit still finds them.
    thread_local Block* const initial = new Block{1, NewSetValues()};
    b_ = initial;
    ++b_->refs;
}

void TPropValues::Detach() {
    Block* copy = new Block{1, b_->values};
    Release();
    b_ = copy;
}

TProperties::TProperties(const TProperties& s, CascadeCopy)
    : HasFontInfo(s.HasFontInfo),
      DefFontname(s.DefFontname),
      PropTag(s.PropTag),
      PropClass(s.PropClass),
      PropID(s.PropID),
      PropPseudo(s.PropPseudo),
      PropTitle(s.PropTitle),
      PropStyle(s.PropStyle),
      BackgroundColorCache(s.BackgroundColorCache),
      CharSet(s.CharSet),
      CodePage(s.CodePage),
      EmSize(s.EmSize),
      ExSize(s.ExSize),
      Props(s.Props),
      PropSet(s.PropSet),
      FontInfoArray(s.FontInfoArray ? std::make_unique<TFontInfoArray>(*s.FontInfoArray) : nullptr),
      SerialID(++g_serial),
      theFont_(s.theFont_),
      ownStyle_(s.ownStyle_) {}

TProperties::~TProperties() = default;

namespace {

// Freed sets of this thread; never destroyed, so a set freed late at exit
// still finds it (what is kept then stays reachable here).
struct TFreeSets {
    static constexpr int kKept = 16;
    void* blocks[kKept];
    int count;
};
thread_local TFreeSets g_freeSets{};

}  // namespace

void* TProperties::operator new(std::size_t size) {
    TFreeSets& f = g_freeSets;
    if (size == sizeof(TProperties) && f.count > 0) {
        void* p = f.blocks[--f.count];
        ASAN_UNPOISON_MEMORY_REGION(p, size);
        return p;
    }
    return ::operator new(size);
}

void TProperties::operator delete(void* p, std::size_t size) noexcept {
    TFreeSets& f = g_freeSets;
    if (p && size == sizeof(TProperties) && f.count < TFreeSets::kKept) {
        // A kept set stays out of bounds to the address checker, as freed
        // memory would.
        ASAN_POISON_MEMORY_REGION(p, size);
        f.blocks[f.count++] = p;
        return;
    }
    ::operator delete(p);
}

void TProperties::Copy(const TProperties& source) {
    Touch();
    Props = source.Props;
}

void TProperties::CopyDefaultFont(const TProperties& source) {
    Touch();
    Props = source.Props;
    AssignCharSet(source.CharSet);
    DefFontname = source.DefFontname;
    PropTag = "default";
}

void TProperties::Inherit(const std::string& tag, const TProperties& parent) {
    Touch();
    const std::string& ptag = parent.PropTag;
    if (ptag == "span") {
        TPropValues::Array& P = Props.Edit();
        for (int i = 0; i < PropCount; ++i)
            if (i != piBorderStyle) P[static_cast<size_t>(i)] = parent.Props[static_cast<size_t>(i)];
    } else if (ptag == "thead" || ptag == "tbody" || ptag == "tfoot") {
        Props = parent.Props;
        PropSet = parent.PropSet;
    } else {
        TPropValues::Array& P = Props.Edit();
        for (int i = 0; i < PropCount; ++i) {
            switch (InheritOf(i)) {
                case InheritKind::Yes: P[static_cast<size_t>(i)] = parent.Props[static_cast<size_t>(i)]; break;
                case InheritKind::Reset: P[static_cast<size_t>(i)] = IntNull; break;
                case InheritKind::No: P[static_cast<size_t>(i)].Clear(); break;
            }
        }
        if (tag == "table") P[piWordWrap] = "normal";
    }
    DefFontname = parent.DefFontname;
    BackgroundColorCache = parent.BackgroundColorCache;
    CharSet = parent.CharSet;
    CodePage = parent.CodePage;
    PropTitle = parent.PropTitle;
    HasFontInfo = parent.HasFontInfo;
    if (parent.HasFontInfo && parent.FontInfoArray) {
        if (!FontInfoArray) FontInfoArray = std::make_unique<TFontInfoArray>();
        FontInfoArray->Assign(*parent.FontInfoArray);
    } else {
        HasFontInfo = false;
    }
    EmSize = parent.EmSize;
    ExSize = EmSize / 2;
}

void TProperties::Reinherit(const TProperties& parent, TStyleList* styles, int stackIndex) {
    Touch();
    pathId_ = 0;  // an entry below was removed: the path to this one changed
    // Inheritance is redone for the values the element did not set itself.
    const std::string& ptag = parent.PropTag;
    bool copyAll = ptag == "span" || ptag == "thead" || ptag == "tbody" || ptag == "tfoot";
    TPropValues::Array& P = Props.Edit();
    for (int i = 0; i < PropCount; ++i) {
        if (PropSet[static_cast<size_t>(i)]) continue;
        if (copyAll) {
            if (!(ptag == "span" && i == piBorderStyle)) P[static_cast<size_t>(i)] = parent.Props[static_cast<size_t>(i)];
            continue;
        }
        switch (InheritOf(i)) {
            case InheritKind::Yes: P[static_cast<size_t>(i)] = parent.Props[static_cast<size_t>(i)]; break;
            case InheritKind::Reset: P[static_cast<size_t>(i)] = IntNull; break;
            case InheritKind::No: P[static_cast<size_t>(i)].Clear(); break;
        }
    }
    if (!PropSet[piWordWrap] && PropTag == "table") P[piWordWrap] = "normal";
    theFont_.reset();
    if (FontInfoArray) {
        if (parent.FontInfoArray && parent.HasFontInfo) {
            FontInfoArray->Assign(*parent.FontInfoArray);
            HasFontInfo = true;
        } else if (PropPseudo != "link") {
            FontInfoArray.reset();
            HasFontInfo = false;
        } else {
            HasFontInfo = false;
            SetLinkFontInfo(styles, stackIndex);
            HasFontInfo = true;
        }
    }
}

int TProperties::StackIndexOfSelf() const {
    for (int i = ParserPropStack.Count() - 1; i >= 0; --i)
        if (ParserPropStack[i] == this) return i;
    return -1;
}

void TProperties::Combine(TStyleList* styles, const std::string& tag, const std::string& cls,
                          const std::string& id, const std::string& pseudo, const std::string& title,
                          const TProperties* styleAttr) {
    Touch();
    std::string c = Trim(cls);
    if (c.find('.') != std::string::npos) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (;;) {
            size_t dot = c.find('.', start);
            std::string part = c.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
            if (!part.empty()) parts.push_back(part);
            if (dot == std::string::npos) break;
            start = dot + 1;
        }
        for (size_t k = 0; k + 1 < parts.size(); ++k) CombineClass(styles, tag, parts[k], id, pseudo, nullptr);
        if (!parts.empty()) CombineClass(styles, tag, parts.back(), id, pseudo, styleAttr);
        CombineClass(styles, tag, c, id, pseudo, styleAttr);
    } else {
        CombineClass(styles, tag, c, id, pseudo, styleAttr);
    }
    PropTag = tag;
    PropClass = c;
    PropID = id;
    PropPseudo = pseudo;
    if (styleAttr) {
        std::shared_ptr<const TProperties> shared = styleAttr->weak_from_this().lock();
        if (!shared) {
            auto copy = std::make_shared<TProperties>();
            copy->Copy(*styleAttr);
            shared = std::move(copy);
        }
        ownStyle_ = std::move(shared);
        PropStyle = ownStyle_.get();
    } else {
        ownStyle_.reset();
        PropStyle = nullptr;
    }
    if (!title.empty()) PropTitle = title;
    if (pseudo == "link") {
        if (!FontInfoArray) FontInfoArray = std::make_unique<TFontInfoArray>();
        int self = StackIndexOfSelf();
        SetLinkFontInfo(styles, self);
        HasFontInfo = true;
    }
}

void TProperties::Merge(const TProperties& source) {
    for (int i = 0; i < PropCount; ++i) {
        const TPropValue& v = source.Props[static_cast<size_t>(i)];
        if (v.IsEmpty()) continue;
        if (i >= piMarginTop && i <= piLeftPos && v.Is(IntNull)) continue;
        Props.Edit(static_cast<size_t>(i)) = v;
        PropSet[static_cast<size_t>(i)] = true;
        if (!HasFontInfo || !FontInfoArray) continue;
        for (ThtFontInfo& info : FontInfoArray->Ary) {
            switch (i) {
                case piFontFamily:
                    if (v.IsText()) {
                        std::string face = ReadFontName(v.Text());
                        if (!face.empty()) info.Name = face;
                    }
                    break;
                case piFontSize:
                    info.Size = v.IsText() ? FontSizeConv(v.Text(), info.Size) : v.Real();
                    break;
                case piFontStyle:
                    if (v.Is("italic") || v.Is("oblique")) info.Style |= fsItalic;
                    else if (v.Is("normal")) info.Style &= TFontStyles(~fsItalic);
                    break;
                case piFontWeight:
                    if (IsBoldWeight(v)) info.Style |= fsBold;
                    else if (v.IsText() && Contains(v.Text(), "normal")) info.Style &= TFontStyles(~fsBold);
                    break;
                case piTextDecoration:
                    if (v.IsText() && Contains(v.Text(), "underline")) info.Style |= fsUnderline;
                    else if (v.IsText() && Contains(v.Text(), "line-through")) info.Style |= fsStrikeOut;
                    else if (v.Is("none")) info.Style &= TFontStyles(~(fsUnderline | fsStrikeOut));
                    break;
                case piLetterSpacing: info.CharExtra = v; break;
                case piColor:
                    if (v.IsInt()) info.Color = v.Int();
                    break;
                case piBackgroundColor:
                    if (v.IsInt()) info.BkColor = v.Int();
                    break;
                default: break;
            }
        }
    }
}

void TProperties::MergeKey(TStyleList* styles, const std::string& key) {
    int i;
    if (!styles || !styles->Find(key, i)) return;
    for (; i < styles->Count() && CompareText(styles->Strings(i), key) == 0; ++i) Merge(*styles->Objects(i));
}

bool TProperties::MatchContextual(TStyleList* styles, int keyIndex, const std::string& tag,
                                  const std::string& cls, const std::string& id, const std::string& pseudo) {
    std::vector<SelectorParts> comps = SplitContextual(styles->Strings(keyIndex));
    if (comps.empty()) return false;
    const SelectorParts& first = comps[0];
    if (!(first.tag == tag || first.cls == cls || first.pseudo == pseudo)) return false;
    if (comps.size() == 1) return true;
    if ((!first.tag.empty() && first.tag != tag) || (!first.cls.empty() && first.cls != cls) ||
        (!first.id.empty() && first.id != id))
        return true;
    if (!(first.pseudo == pseudo || (first.pseudo.empty() && pseudo == "link"))) return true;

    int self = StackIndexOfSelf();
    if (self < 0) self = ParserPropStack.Count();
    size_t j = 1;
    for (int k = self - 1; j < comps.size() && k >= 1; --k) {
        const TProperties* anc = ParserPropStack[k];
        const SelectorParts& c = comps[j];
        if ((c.tag.empty() || c.tag == anc->PropTag) && (c.cls.empty() || c.cls == anc->PropClass) &&
            (c.id.empty() || c.id == anc->PropID) && (c.pseudo.empty() || c.pseudo == anc->PropPseudo)) {
            if (j == comps.size() - 1) Merge(*styles->Objects(keyIndex));
            ++j;
        }
    }
    return true;
}

void TProperties::CombineClass(TStyleList* styles, const std::string& tag, const std::string& cls,
                               const std::string& id, const std::string& pseudo, const TProperties* styleAttr) {
    double baseSize = Props[piFontSize].IsNumber() && Props[piFontSize].Real() > 0 ? Props[piFontSize].Real()
                                                                                 : DefPointSize;
    bool plain = pseudo != "hover" && pseudo != "visited";
    bool C = !cls.empty(), P = !pseudo.empty(), T = !tag.empty();
    if (styles) {
        if (tag == "a" && P) MergeKey(styles, "::" + pseudo);
        if (plain && T) MergeKey(styles, tag);
        if (P) MergeKey(styles, ":" + pseudo);
        if (plain && C) MergeKey(styles, "." + cls);
        if (plain && C && T) MergeKey(styles, tag + "." + cls);
        if (P && T) MergeKey(styles, tag + ":" + pseudo);
        if (C && P) MergeKey(styles, "." + cls + ":" + pseudo);
        if (C && P && T) MergeKey(styles, tag + "." + cls + ":" + pseudo);
        if (!id.empty()) {
            MergeKey(styles, "#" + id);
            if (T) MergeKey(styles, tag + "#" + id);
            if (C) MergeKey(styles, "." + cls + "#" + id);
            if (P) {
                MergeKey(styles, "#" + id + ":" + pseudo);
                if (T) MergeKey(styles, tag + "#" + id + ":" + pseudo);
            }
            if (C && T) MergeKey(styles, tag + "." + cls + "#" + id);
            if (C && P) {
                MergeKey(styles, "." + cls + "#" + id + ":" + pseudo);
                if (T) MergeKey(styles, tag + "." + cls + "#" + id + ":" + pseudo);
            }
        }
        // Contextual rules whose subject starts with the tag, the class or the
        // pseudo-class.
        std::vector<std::string> prefixes;
        if (T) prefixes.push_back(tag);
        if (C) prefixes.push_back("." + cls);
        if (P) prefixes.push_back(":" + pseudo);
        for (const std::string& prefix : prefixes) {
            int i;
            styles->Find(prefix, i);
            for (; i < styles->Count() && StartsWithNoCase(styles->Strings(i), prefix); ++i)
                if (!MatchContextual(styles, i, tag, cls, id, pseudo)) break;
        }
    }
    if (styleAttr) Merge(*styleAttr);
    if (!Props[piFontSize].IsNumber()) {
        const double points = FontSizeConv(Props[piFontSize].Text(), baseSize);
        Props.Edit(piFontSize) = points;
    }
}

void TProperties::SetLinkFontInfo(TStyleList* styles, int i) {
    Touch();
    if (!FontInfoArray) FontInfoArray = std::make_unique<TFontInfoArray>();
    if (i < 0) i = ParserPropStack.Count() - 1;
    GetBackgroundColorInt();
    GetFontInfo(FontInfoArray->Ary[0]);

    auto transient = [&](int at, const TProperties& parent, const std::string& pseudo, ThtFontInfo& info) {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        raw->Inherit(PropTag, parent);
        at = std::clamp(at, 0, ParserPropStack.Count());
        ParserPropStack.Insert(at, std::move(p));
        raw->Combine(styles, PropTag, PropClass, PropID, pseudo, PropTitle, PropStyle);
        raw->GetBackgroundColorInt();
        raw->GetFontInfo(info);
        return at;
    };
    int v = transient(i + 1, *this, "visited", FontInfoArray->Ary[1]);
    int h = transient(v + 1, *ParserPropStack[v], "hover", FontInfoArray->Ary[3]);
    ParserPropStack.Delete(h);
    ParserPropStack.Delete(v);
    int h2 = transient(i + 1, *this, "hover", FontInfoArray->Ary[2]);
    ParserPropStack.Delete(h2);
}

void TProperties::Assign(const TPropValue& value, int index) {
    if (index < 0 || index >= PropCount || PropSet[static_cast<size_t>(index)]) return;
    // Report cells repeat the same attribute on the same state.
    TCascadeMemo* memo = ExactMemo();
    const uint32_t from = cascadeState_;
    if (memo && AdoptChange(memo, StateChange{index, value, 0, 0, 0})) return;
    Touch();
    Props.Edit(static_cast<size_t>(index)) = value;
    PropSet[static_cast<size_t>(index)] = true;
    if (HasFontInfo && FontInfoArray) {
        for (ThtFontInfo& info : FontInfoArray->Ary) {
            if (index == piFontFamily && value.IsText()) info.Name = value.Text();
            else if (index == piFontSize && value.IsNumber()) info.Size = value.Real();
            else if (index == piColor && value.IsInt()) info.Color = value.Int();
        }
    }
    if (memo) RememberChange(memo, from, StateChange{index, value, 0, 0, 0});
}

void TProperties::AddPropertyByIndex(int index, const std::string& value) {
    if (index < 0 || index >= PropCount) return;
    Touch();
    StorePropValue(*this, index, value, false);
}

void TProperties::AddPropertyByName(const std::string& name, const std::string& value) {
    int index;
    if (PropertyFromString(name, index)) AddPropertyByIndex(index, value);
}

void TProperties::AssignCharSet(int charSet) {
    Touch();
    if (charSet == 31) {
        CharSet = 238;
        CodePage = 28592;
    } else {
        // The font engine serves every set; the measured set is the one asked for.
        CharSet = charSet;
        int cp;
        if (charSet != 31 && CharSetToCodePage(charSet, cp)) CodePage = cp;
    }
    if (HasFontInfo && FontInfoArray)
        for (ThtFontInfo& info : FontInfoArray->Ary) info.CharSet = CharSet;
}

void TProperties::AssignUTF8() {
    Touch();
    CodePage = 65001;
    CharSet = 0;
}

// ---------------------------------------------------------------- getters

bool TProperties::GetFloat(int& align) const {
    const TPropValue& v = Props[piFloat];
    if (v.Is("left")) align = 5;
    else if (v.Is("right")) align = 6;
    else if (v.Is("none")) align = 0;
    else return false;
    return true;
}

bool TProperties::GetClear(int& clear) const {
    const TPropValue& v = Props[piClear];
    if (v.Is("left")) clear = 1;
    else if (v.Is("right")) clear = 2;
    else if (v.Is("both")) clear = 3;
    else if (v.Is("none")) clear = 0;
    else return false;
    return true;
}

int TProperties::GetPosition() const {
    const TPropValue& v = Props[piPosition];
    if (v.Is("absolute")) return 1;
    if (v.Is("relative")) return 2;
    return 0;
}

int TProperties::GetVisibility() const { return Props[piVisibility].Is(1) ? 1 : 2; }

int TProperties::GetZIndex() const {
    const TPropValue& v = Props[piZIndex];
    if (v.IsInt()) return ClampPageLength(v.Int());
    if (v.IsText()) return ClampPageLength(StrToIntDef(Trim(v.Text()), 0));
    return 0;
}

bool TProperties::DisplayNone() const { return Props[piDisplay].Is("none"); }
bool TProperties::IsOverflowHidden() const { return Props[piOverflow].Is("hidden"); }
bool TProperties::Collapse() const { return Props[piBorderCollapse].Is("collapse"); }

bool TProperties::GetVertAlign(int& align) const {
    const TPropValue& v = Props[piVerticalAlign];
    if (!v.IsText()) return false;
    const std::string& s = v.Text();
    if (s == "top" || s == "text-top") align = 1;
    else if (s == "middle") align = 2;
    else if (s == "baseline") align = 3;
    else if (s == "bottom") align = 4;
    else if (s == "sub") align = 8;
    else if (s == "super") align = 9;
    else return false;
    return true;
}

int TProperties::GetListStyleType() const {
    static const char* const names[] = {"blank",       "circle",      "decimal", "disc",        "lower-alpha",
                                        "lower-roman", "none",        "square",  "upper-alpha", "upper-roman"};
    const TPropValue& v = Props[piListStyleType];
    if (!v.IsText()) return 0;
    for (int i = 0; i < 10; ++i)
        if (v.Text() == names[i]) return i;
    return 0;
}

std::string TProperties::GetListStyleImage() const { return ReadURL(Props[piListStyleImage].Text()); }

bool TProperties::GetBackgroundImage(std::string& image) const {
    const TPropValue& v = Props[piBackgroundImage];
    image.clear();
    if (!v.IsText() || v.Text().empty()) return false;
    if (v.Text() == "none") return true;
    image = ReadURL(v.Text());
    return !image.empty();
}

TColor TProperties::GetBackgroundColor() const {
    const TPropValue& v = Props[piBackgroundColor];
    return v.IsInt() && PropSet[piBackgroundColor] ? v.Int() : clNone;
}

TColor TProperties::GetOriginalForegroundColor() const {
    const TPropValue& v = Props[piColor];
    return v.IsInt() && PropSet[piColor] ? v.Int() : clNone;
}

void TProperties::GetBackgroundColorInt() {
    const TPropValue& v = Props[piBackgroundColor];
    if (v.IsInt() && PropSet[piBackgroundColor] && BackgroundColorCache != v.Int()) {
        Touch();
        BackgroundColorCache = v.Int();
    }
}

int TProperties::GetBorderStyle() const {
    const TPropValue& v = Props[piBorderStyle];
    return v.IsText() ? BorderStyleFromString(v.Text()) : 0;
}

bool TProperties::HasBorderStyle() const { return Props[piBorderStyle].IsText(); }

int TProperties::GetTextTransform() const {
    const TPropValue& v = Props[piTextTransform];
    return v.IsInt() ? v.Int() : 0;
}

std::string TProperties::GetFontVariant() const {
    const TPropValue& v = Props[piFontVariant];
    return v.IsText() ? v.Text() : "normal";
}

void TProperties::GetPageBreaks(bool& before, bool& after, bool& inside) const {
    before = Props[piPageBreakBefore].Is("always");
    after = Props[piPageBreakAfter].Is("always");
    inside = Props[piPageBreakInside].Is("avoid");
}

int TProperties::GetLineHeight(int newHeight) const {
    const TPropValue& v = Props[piLineHeight];
    if (v.IsEmpty()) return -1;
    double n = 0;
    if (v.IsNumber() || PlainNumber(v.Text(), n)) {
        if (v.IsNumber()) n = v.Real();
        long double px = static_cast<long double>(newHeight) * n;
        return ClampPageLength(static_cast<double>(px));
    }
    return LengthConv(v.Text(), false, EmSize, -1, ExSize, EmSize);
}

int TProperties::GetTextIndent(bool& isPercent) const {
    isPercent = false;
    const TPropValue& v = Props[piTextIndent];
    if (!v.IsText()) return 0;
    if (v.Text().find('%') != std::string::npos) {
        isPercent = true;
        return LengthConv(v.Text(), false, 100, 0, EmSize, EmSize);
    }
    return LengthConv(v.Text(), false, 0, 0, EmSize, EmSize);
}

void TProperties::GetBackgroundPos(int emSize, int exSize, PositionRecArray& pos) const {
    pos[0] = PositionRec{};
    pos[1] = PositionRec{};
    const TPropValue& v = Props[piBackgroundPosition];
    std::string text = v.IsText() ? Trim(v.Text()) : std::string();
    if (!text.empty()) {
        std::vector<std::string> words;
        size_t sp = text.find(' ');
        words.push_back(text.substr(0, sp));
        if (sp != std::string::npos) words.push_back(Trim(text.substr(sp + 1)));
        int next = 0;  // record the next word fills
        int firstTarget = 0;
        for (size_t w = 0; w < words.size(); ++w) {
            const std::string& word = words[w];
            PositionRec r;
            int target = next;
            if (word == "center") r.PosType = 1;
            else if (word.find('%') != std::string::npos) r.PosType = 5;
            else if (word == "left" || word == "right") {
                r.PosType = word == "left" ? 3 : 4;
                // "center left": the first word was the horizontal one.
                if (w == 1 && firstTarget == 0) pos[1] = pos[0];
                target = 0;
            } else if (word == "top" || word == "bottom") {
                r.PosType = word == "top" ? 0 : 2;
                target = 1;
            }
            if (r.PosType == 5 || r.PosType == 6) r.Value = LengthConv(word, false, 100, 0, exSize, emSize);
            if (w == 0) firstTarget = target;
            pos[static_cast<size_t>(target)].PosType = r.PosType;
            pos[static_cast<size_t>(target)].Value = r.Value;
            next = target == 1 ? 0 : 1;
        }
        if (words.size() == 1) {
            int other = next;
            pos[static_cast<size_t>(other)].PosType = 1;
            pos[static_cast<size_t>(other)].Value = 0;
        }
    }
    const TPropValue& rep = Props[piBackgroundRepeat];
    if (rep.Is("no-repeat")) pos[0].RepeatD = pos[1].RepeatD = false;
    else if (rep.Is("repeat-x")) pos[1].RepeatD = false;
    else if (rep.Is("repeat-y")) pos[0].RepeatD = false;
    if (Props[piBackgroundAttachment].Is("fixed")) pos[0].Fixed = pos[1].Fixed = true;
}

void TProperties::GetVMarginArray(MargArray& m, bool& topAuto, bool& bottomAuto, int base) const {
    auto conv = [&](int index, bool& isAuto) {
        const TPropValue& v = Props[static_cast<size_t>(index)];
        isAuto = false;
        if (v.IsText()) return LengthConv(v.Text(), false, base, 0, ExSize, EmSize);
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
    m[piMarginTop] = conv(piMarginTop, topAuto);
    m[piMarginBottom] = conv(piMarginBottom, bottomAuto);
}

void TProperties::GetBorderStyles(MargArrayO& o) const {
    for (int i = MargLow; i <= MargHigh; ++i) o[static_cast<size_t>(i)] = Props[static_cast<size_t>(i)];
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        const TPropValue& v = Props[static_cast<size_t>(i)];
        o[static_cast<size_t>(i)] = v.IsText() ? BorderStyleFromString(v.Text()) : 0;
    }
}

bool TProperties::HasBorder() const {
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        const TPropValue& v = Props[static_cast<size_t>(i)];
        if (v.IsText() && BorderStyleFromString(v.Text()) != 0) return true;
    }
    return false;
}

void TProperties::GetFontInfo(ThtFontInfo& info) const {
    info.BkColor = BackgroundColorCache;
    const TPropValue& color = Props[piColor];
    info.Color = color.IsInt() ? color.Int() : clBlack;
    TFontStyles st = 0;
    if (IsBoldWeight(Props[piFontWeight])) st |= fsBold;
    if (Props[piFontStyle].Is("italic") || Props[piFontStyle].Is("oblique")) st |= fsItalic;
    const TPropValue& deco = Props[piTextDecoration];
    if (deco.IsText() && Contains(deco.Text(), "underline")) st |= fsUnderline;
    else if (deco.IsText() && Contains(deco.Text(), "line-through")) st |= fsStrikeOut;
    info.Style = st;
    const TPropValue& size = Props[piFontSize];
    info.Size = size.IsNumber() ? size.Real() : size.IsText() ? FontSizeConv(size.Text(), DefPointSize) : DefPointSize;
    info.CharSet = CharSet;
    info.CharExtra = Props[piLetterSpacing];
    std::string face = Props[piFontFamily].IsText() ? ReadFontName(Props[piFontFamily].Text()) : std::string();
    info.Name = face.empty() ? DefFontname : face;
}

void TProperties::SetFontInfoArray(TFontInfoArray& target) const {
    if (FontInfoArray) target.Assign(*FontInfoArray);
}


// ---------------------------------------------------------------- remembered cascade

namespace {

bool SameFontInfo(const ThtFontInfo& a, const ThtFontInfo& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Style == b.Style && a.Color == b.Color &&
           a.BkColor == b.BkColor && a.CharSet == b.CharSet && a.CharExtra == b.CharExtra;
}

size_t Mix(size_t h, size_t v) { return h ^ (v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2)); }

}  // namespace

bool TProperties::StateChange::operator==(const StateChange& o) const {
    return index == o.index && (value.SameCopy(o.value) || value == o.value) && fontGeneration == o.fontGeneration &&
           checkGeneration == o.checkGeneration && point == o.point;
}

// What Inherit reads from the parent.
bool TProperties::SameForChildren(const TProperties& o) const {
    if (EmSize != o.EmSize || CharSet != o.CharSet || CodePage != o.CodePage ||
        BackgroundColorCache != o.BackgroundColorCache || PropSet != o.PropSet || PropTag != o.PropTag ||
        DefFontname != o.DefFontname || PropTitle != o.PropTitle)
        return false;
    const bool fonts = HasFontInfo && FontInfoArray, otherFonts = o.HasFontInfo && o.FontInfoArray;
    if (fonts != otherFonts) return false;
    if (fonts)
        for (size_t k = 0; k < FontInfoArray->Ary.size(); ++k)
            if (!SameFontInfo(FontInfoArray->Ary[k], o.FontInfoArray->Ary[k])) return false;
    if (Props.SameBlock(o.Props)) return true;
    for (size_t i = 0; i < Props.size(); ++i)
        if (!Props[i].SameCopy(o.Props[i]) && !(Props[i] == o.Props[i])) return false;
    return true;
}

size_t TProperties::HashForChildren() const {
    size_t h = std::hash<std::string>()(PropTag);
    h = Mix(h, static_cast<size_t>(EmSize));
    h = Mix(h, static_cast<size_t>(CharSet) * 65537u + static_cast<size_t>(CodePage));
    h = Mix(h, static_cast<size_t>(static_cast<uint32_t>(BackgroundColorCache)));
    for (size_t i = 0; i < Props.size(); ++i) {
        const TPropValue& v = Props[i];
        size_t x = static_cast<size_t>(v.kind()) + (PropSet[i] ? 8 : 0);
        if (v.IsText()) x += v.Text().size() << 4;
        else if (v.IsInt()) x += static_cast<size_t>(static_cast<uint32_t>(v.Int())) << 4;
        else if (v.IsReal()) x += static_cast<size_t>(v.Real() * 1024) << 4;
        h = Mix(h, x);
    }
    return h;
}

namespace {
// The memo of the document being read: the one a set's state number refers to.
TCascadeMemo* g_activeMemo = nullptr;
}  // namespace

// Results of Inherit and Combine by what they were made from: the parent's
// state (by number), the path of tags, classes, ids and pseudo-classes from
// the stack's bottom to the parent (by number: the contextual rules read
// it), and the element's tag, class, id, title and shared style attribute.
class TCascadeMemo {
public:
    TCascadeMemo() = default;
    TCascadeMemo(const TCascadeMemo&) = delete;
    TCascadeMemo& operator=(const TCascadeMemo&) = delete;
    ~TCascadeMemo() {
        if (g_activeMemo == this) {
            ForgetStackStates();
            g_activeMemo = nullptr;
        }
    }
    // Makes this the memo the stack's state and path numbers refer to.
    void Activate() {
        if (g_activeMemo == this) return;
        ForgetStackStates();
        g_activeMemo = this;
    }

    // The number of the parent's state, registering it when new.
    uint32_t StateOf(const TProperties& p) {
        // Every change to a set forgets its state (Touch), so a set that has
        // one still matches it.
        const uint32_t known = p.cascadeState_;
        if (known > 0 && known < states_.size()) return known;
        const size_t h = p.HashForChildren();
        auto [first, last] = byHash_.equal_range(h);
        for (auto it = first; it != last; ++it)
            if (states_[it->second]->SameForChildren(p)) return p.cascadeState_ = it->second;
        p.exactState_ = true;
        return p.cascadeState_ = Add(p, h);
    }
    uint32_t Add(const TProperties& p, size_t h) {
        states_.push_back(std::unique_ptr<TProperties>(new TProperties(p, TProperties::CascadeCopy{})));
        changes_.emplace_back();
        children_.emplace_back();
        const auto id = static_cast<uint32_t>(states_.size() - 1);
        byHash_.emplace(h, id);
        return id;
    }
    const TProperties& State(uint32_t id) const { return *states_[id]; }
    bool Has(uint32_t id) const { return id > 0 && id < states_.size(); }
    bool Full() const { return states_.size() > kMaxStates || paths_.size() > kMaxPaths; }
    void Clear() {
        ForgetStackStates();
        states_.resize(1);
        changes_.resize(1);
        children_.resize(1);
        byHash_.clear();
        paths_.clear();
    }

    // The state a change of state `from` led to before (0: none yet).
    uint32_t ChangedState(uint32_t from, const TProperties::StateChange& change) const {
        for (const TChange& c : changes_[from])
            if (c.change == change) return c.to;
        return 0;
    }
    void AddChange(uint32_t from, TProperties::StateChange change, uint32_t to) {
        // A state given ever new values (a colour per cell) keeps a few.
        std::vector<TChange>& list = changes_[from];
        if (list.size() < kMaxChildren) list.push_back(TChange{std::move(change), to});
        else list[to % kMaxChildren] = TChange{std::move(change), to};
    }

    // The number of the path from the stack's bottom up to entry `index`
    // (the bottom entry is nobody's context: it is the path of none).
    uint32_t PathOf(int index) {
        int k = index;
        while (k > 0 && ParserPropStack[k]->pathId_ == 0) --k;
        uint32_t path = k > 0 ? ParserPropStack[k]->pathId_ : kRootPath;
        for (++k; k <= index; ++k) {
            TProperties* e = ParserPropStack[k];
            path = e->pathId_ = PathAfter(path, *e);
        }
        return path;
    }
    uint32_t PathAfter(uint32_t parent, const TProperties& e) {
        const auto next = static_cast<uint32_t>(paths_.size() + kRootPath + 1);
        return paths_.try_emplace(TPathKey{parent, e.PropTag, e.PropClass, e.PropID, e.PropPseudo}, next)
            .first->second;
    }

    // A result remembered for a child of a parent state.
    struct TChild {
        uint32_t parentPath;
        std::string tag, cls, id, title;
        std::shared_ptr<const TProperties> style;
        uint32_t state, path;  // the result and the child's own path
    };
    const TChild* FindChild(uint32_t parentState, uint32_t parentPath, const std::string& tag,
                            const std::string& cls, const std::string& id, const std::string& title,
                            const TProperties* style) const {
        // A stored style set is kept alive by its entry, so a set at its
        // address is that set.
        for (const TChild& c : children_[parentState].items)
            if (c.parentPath == parentPath && c.style.get() == style && SameText(c.tag, tag) &&
                SameText(c.cls, cls) && SameText(c.id, id) && SameText(c.title, title))
                return &c;
        return nullptr;
    }
    void AddChild(uint32_t parentState, TChild child) {
        // A parent with ever new kinds of children (ids, titles) keeps the
        // latest few: a long scan would cost more than the cascade.
        TChildren& list = children_[parentState];
        if (list.items.size() < kMaxChildren) {
            list.items.push_back(std::move(child));
        } else {
            list.items[list.next] = std::move(child);
            list.next = (list.next + 1) % kMaxChildren;
        }
    }

private:
    static constexpr size_t kMaxStates = 2048, kMaxPaths = 8192, kMaxChildren = 16;
    static constexpr uint32_t kRootPath = 1;
    // Most of the texts are empty or a few bytes.
    static bool SameText(const std::string& a, const std::string& b) {
        return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
    }
    static void ForgetStackStates() {
        // The numbers the stack's sets hold go with the memo.
        for (int i = 0; i < ParserPropStack.Count(); ++i) {
            ParserPropStack[i]->Touch();
            ParserPropStack[i]->pathId_ = 0;
        }
    }
    struct TChange {
        TProperties::StateChange change;
        uint32_t to;
    };
    struct TChildren {
        std::vector<TChild> items;
        size_t next = 0;
    };
    struct TPathKey {
        uint32_t parent;
        std::string tag, cls, id, pseudo;
        bool operator==(const TPathKey& o) const {
            return parent == o.parent && tag == o.tag && cls == o.cls && id == o.id && pseudo == o.pseudo;
        }
    };
    struct TPathHash {
        // FNV-1a over the short texts: cheaper than a hash call for each.
        size_t operator()(const TPathKey& k) const {
            uint64_t h = 14695981039346656037ull ^ k.parent;
            for (const std::string* t : {&k.tag, &k.cls, &k.id, &k.pseudo}) {
                for (unsigned char c : *t) h = (h ^ c) * 1099511628211ull;
                h = (h ^ 0xFF) * 1099511628211ull;
            }
            return static_cast<size_t>(h);
        }
    };

    std::vector<std::unique_ptr<TProperties>> states_ = [] {
        std::vector<std::unique_ptr<TProperties>> v;
        v.emplace_back();  // number 0: no state
        return v;
    }();
    std::vector<std::vector<TChange>> changes_ = std::vector<std::vector<TChange>>(1);  // by state
    std::vector<TChildren> children_ = std::vector<TChildren>(1);                       // by state
    std::unordered_multimap<size_t, uint32_t> byHash_;
    std::unordered_map<TPathKey, uint32_t, TPathHash> paths_;
};

TCascadeMemo* TProperties::ExactMemo() const {
    return exactState_ && g_activeMemo && g_activeMemo->Has(cascadeState_) ? g_activeMemo : nullptr;
}

bool TProperties::AdoptChange(TCascadeMemo* memo, const StateChange& change) {
    const uint32_t to = memo->ChangedState(cascadeState_, change);
    if (to == 0) return false;
    // The set is a copy of the state before: it takes what a change changes.
    const TProperties& s = memo->State(to);
    Props = s.Props;
    PropSet = s.PropSet;
    if (!s.FontInfoArray) FontInfoArray.reset();
    else if (FontInfoArray) FontInfoArray->Assign(*s.FontInfoArray);
    else FontInfoArray = std::make_unique<TFontInfoArray>(*s.FontInfoArray);
    EmSize = s.EmSize;
    ExSize = s.ExSize;
    theFont_ = s.theFont_;
    cascadeState_ = to;
    exactState_ = true;
    return true;
}

void TProperties::RememberChange(TCascadeMemo* memo, uint32_t from, StateChange change) {
    if (memo != g_activeMemo || !memo->Has(from)) return;
    const uint32_t to = memo->Add(*this, HashForChildren());
    memo->AddChange(from, std::move(change), to);
    cascadeState_ = to;
    exactState_ = true;
}

TProperties* PushCascade(TStyleList* styles, const std::string& tag, const std::string& cls, const std::string& id,
                         const std::string& pseudo, const std::string& title, const TProperties* styleAttr) {
    const TProperties* parent = ParserPropStack.Top();
    // Inherit reads the parent before the set is pushed; Combine reads the
    // stack with the set on top.
    auto fresh = [&] {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        if (parent) raw->Inherit(tag, *parent);
        ParserPropStack.Add(std::move(p));
        raw->Combine(styles, tag, cls, id, pseudo, title, styleAttr);
        return raw;
    };
    // Links look up their visited and hovered fonts on the stack; a class
    // list combines in parts.
    if (!styles || !parent || !pseudo.empty() || cls.find('.') != std::string::npos) return fresh();
    if (!styles->cascade_) styles->cascade_ = std::make_unique<TCascadeMemo>();
    TCascadeMemo& memo = *styles->cascade_;
    memo.Activate();
    if (memo.Full()) memo.Clear();
    const uint32_t parentState = memo.StateOf(*parent);
    const uint32_t parentPath = memo.PathOf(ParserPropStack.Count() - 1);
    if (const TCascadeMemo::TChild* hit = memo.FindChild(parentState, parentPath, tag, cls, id, title, styleAttr)) {
        std::unique_ptr<TProperties> p(new TProperties(memo.State(hit->state), TProperties::CascadeCopy{}));
        p->cascadeState_ = hit->state;
        p->exactState_ = true;
        p->pathId_ = hit->path;
        TProperties* raw = p.get();
        ParserPropStack.Add(std::move(p));
        return raw;
    }
    // A style set that is not shared has no lasting identity.
    std::shared_ptr<const TProperties> style = styleAttr ? styleAttr->weak_from_this().lock() : nullptr;
    if (styleAttr && !style) return fresh();
    TProperties* p = fresh();
    const uint32_t made = memo.Add(*p, p->HashForChildren());
    p->cascadeState_ = made;
    p->exactState_ = true;
    p->pathId_ = memo.PathAfter(parentPath, *p);
    memo.AddChild(parentState, TCascadeMemo::TChild{parentPath, tag, cls, id, title, std::move(style), made, p->pathId_});
    return p;
}

void TStyleList::ForgetCascade() {
    if (cascade_) cascade_->Clear();
}

// ---------------------------------------------------------------- TStyleList

TStyleList::TStyleList() = default;
TStyleList::~TStyleList() = default;

bool TStyleList::Find(const std::string& key, int& index) const {
    auto it = std::lower_bound(items_.begin(), items_.end(), key,
                               [](const Item& item, const std::string& k) { return CompareText(item.key, k) < 0; });
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && CompareText(it->key, key) == 0;
}

TProperties* TStyleList::PropsOf(const std::string& key) const {
    int i;
    return Find(key, i) ? items_[static_cast<size_t>(i)].props.get() : nullptr;
}

int TStyleList::AddObject(const std::string& key, std::unique_ptr<TProperties> props) {
    auto it = std::upper_bound(items_.begin(), items_.end(), key,
                               [](const std::string& k, const Item& item) { return CompareText(k, item.key) < 0; });
    props->PropTag = key;
    ForgetCascade();
    int index = static_cast<int>(it - items_.begin());
    items_.insert(it, Item{key, std::move(props)});
    return index;
}

void TStyleList::Clear() {
    ForgetCascade();
    items_.clear();
    SeqNo = 10;
    DefProp = nullptr;
}

void TStyleList::AddSelectorProp(const std::string& selector, const std::string& name, const std::string& value) {
    int index;
    if (!PropertyFromString(name, index)) return;
    ForgetCascade();
    TProperties* p = PropsOf(selector);
    std::unique_ptr<TProperties> fresh;
    if (!p) {
        fresh = std::make_unique<TProperties>();
        p = fresh.get();
    }
    StorePropValue(*p, index, value, true);
    if (fresh) AddObject(selector, std::move(fresh));

    if (index == piColor && p->Props[piColor].IsInt()) {
        TColor c = p->Props[piColor].Int();
        if (selector == ":link") {
            SetPseudoColor("hover", c);
            SetPseudoColor("visited", c);
        } else if (selector == ":visited") {
            SetPseudoColor("hover", c);
        }
    }
    if (selector.find(":hover") != std::string::npos) {
        LinksActive = true;
        if (OnLinksActive) OnLinksActive();
    }
    if (selector == "a") AddSelectorProp("::link", name, value);
}

void TStyleList::AddDuplicate(const std::string& selector, const TProperties& source) {
    auto p = std::make_unique<TProperties>();
    p->Copy(source);
    AddObject(selector, std::move(p));
}

void TStyleList::SetPseudoColor(const std::string& pseudo, TColor color) {
    ForgetCascade();
    if (TProperties* p = PropsOf("::" + pseudo)) p->Props.Edit(piColor) = int(color);
}

std::string TStyleList::GetSeqNo() { return std::to_string(SeqNo++); }

void TStyleList::Initialize(const std::string& fontName, const std::string& preFontName, int marginWidth,
                            int marginHeight, int charSet, bool underlineLinks, TColor hoverColor,
                            TColor visitedColor, TColor linkColor, TColor fontColor, double pointSize) {
    Clear();
    DefPointSize = pointSize;
    const double P = pointSize;
    // The palette-relative flag is not for system colours.
    auto pal = [](TColor c) { return (uint32_t(c) & 0x80000000u) ? c : TColor(c | PalRelative); };
    auto add = [this](const std::string& key) {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        AddObject(key, std::move(p));
        return raw;
    };

    TProperties* d = add("default");
    auto& D = d->Props.Edit();
    D[piFontFamily] = fontName;
    d->DefFontname = fontName;
    D[piFontSize] = P;
    D[piFontStyle] = "none";
    D[piFontWeight] = "normal";
    D[piTextAlign] = "left";
    D[piTextDecoration] = "none";
    D[piTextTransform] = 0;
    D[piWordWrap] = "normal";
    D[piFontVariant] = "normal";
    D[piColor] = int(fontColor);
    D[piMarginTop] = marginHeight;
    D[piMarginBottom] = marginHeight;
    D[piMarginLeft] = marginWidth;
    D[piMarginRight] = marginWidth;
    D[piVisibility] = 2;
    D[piLetterSpacing] = 0;
    d->AssignCharSet(charSet);
    d->PropTag = "default";
    DefProp = d;

    TProperties* p = add("::link");
    p->Props.Edit(piColor) = int(pal(linkColor));
    p->Props.Edit(piTextDecoration) = underlineLinks ? "underline" : "none";
    add("::visited")->Props.Edit(piColor) = int(pal(visitedColor));
    add("::hover")->Props.Edit(piColor) = int(pal(hoverColor));
    add("null");

    p = add("pre");
    p->Props.Edit(piFontFamily) = preFontName;
    p->Props.Edit(piFontSize) = P * 10 / 12;
    p->Props.Edit(piFontStyle) = "none";
    p->Props.Edit(piFontWeight) = "normal";
    p->Props.Edit(piTextDecoration) = "none";

    p = add("p");
    p->Props.Edit(piMarginTop) = ParaSpace;
    p->Props.Edit(piMarginBottom) = ParaSpace;
    add("p 11pre")->Props.Edit(piMarginTop) = 0;

    for (const char* list : {"ul", "ol", "menu", "dir"}) {
        p = add(list);
        p->Props.Edit(piPaddingLeft) = 35;
        p->Props.Edit(piListStyleType) = "blank";
        p->Props.Edit(piMarginTop) = ParaSpace;
        p->Props.Edit(piMarginBottom) = ParaSpace;
    }
    p = add("dl");
    p->Props.Edit(piPaddingLeft) = 0;
    p->Props.Edit(piMarginTop) = 0;
    p->Props.Edit(piMarginBottom) = 0;
    p->Props.Edit(piMarginLeft) = 0;
    p->Props.Edit(piListStyleType) = "none";
    p = add("dd");
    p->Props.Edit(piPaddingLeft) = 35;
    p->Props.Edit(piMarginTop) = 0;
    p->Props.Edit(piMarginBottom) = 0;
    p = add("blockquote");
    p->Props.Edit(piPaddingLeft) = 35;
    p->Props.Edit(piMarginTop) = ParaSpace;
    p->Props.Edit(piMarginBottom) = 14;

    for (const char* tag : {"code", "tt", "kbd", "samp"}) {
        p = add(tag);
        p->Props.Edit(piFontFamily) = preFontName;
        p->Props.Edit(piFontSize) = "0.833em";
    }
    for (const char* tag : {"b", "strong", "th"}) add(tag)->Props.Edit(piFontWeight) = "bold";
    p = add("sup");
    p->Props.Edit(piFontSize) = "75%";
    p->Props.Edit(piVerticalAlign) = "super";
    p = add("sub");
    p->Props.Edit(piFontSize) = "75%";
    p->Props.Edit(piVerticalAlign) = "sub";
    add("big")->Props.Edit(piFontSize) = "1.25em";
    add("small")->Props.Edit(piFontSize) = "0.75em";
    add("table")->Props.Edit(piTextAlign) = "none";
    for (const char* tag : {"i", "em", "cite", "var", "address"}) add(tag)->Props.Edit(piFontStyle) = "italic";
    add("u")->Props.Edit(piTextDecoration) = "underline";
    for (const char* tag : {"s", "strike"}) add(tag)->Props.Edit(piTextDecoration) = "line-through";
    for (const char* tag : {"center", "caption"}) add(tag)->Props.Edit(piTextAlign) = "center";
    for (const char* tag : {"input", "select", "textarea"}) {
        p = add(tag);
        p->Props.Edit(piFontFamily) = (std::string(tag) == "textarea" && !PlatformLacksWideApi) ? preFontName
                                                                                          : "Arial Unicode MS, Arial";
        p->Props.Edit(piFontSize) = "10pt";
        p->Props.Edit(piFontStyle) = "none";
        p->Props.Edit(piFontWeight) = "normal";
        p->Props.Edit(piTextAlign) = "left";
        p->Props.Edit(piTextDecoration) = "none";
        p->Props.Edit(piColor) = int(fontColor);
    }
    p = add("hr");
    p->Props.Edit(piMarginLeft) = 0;
    p->Props.Edit(piMarginRight) = 0;
    p->Props.Edit(piMarginTop) = 10;
    p->Props.Edit(piMarginBottom) = 10;
    static const int headingSizes[6] = {24, 18, 14, 12, 10, 8};
    for (int h = 0; h < 6; ++h) {
        p = add("h" + std::to_string(h + 1));
        p->Props.Edit(piFontSize) = headingSizes[h] * P / 12;
        p->Props.Edit(piMarginTop) = 19;
        p->Props.Edit(piMarginBottom) = 19;
        p->Props.Edit(piFontWeight) = "bold";
    }
}

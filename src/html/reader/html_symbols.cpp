#include "html/reader/html_symbols.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Names looked up for every tag and attribute read: an open table of names
// held as three zero-padded words (names hold no NUL), so a probe is a hash
// of three words and three compares; the first of equal names is kept.
template <typename V>
class TNameTable {
public:
    void Add(std::string_view name, V value) {
        const Key k = Key::Of(name);
        size_t i = k.Hash() & kMask;
        while (slots_[i].used) {
            if (slots_[i].key == k) return;
            i = (i + 1) & kMask;
        }
        slots_[i] = Slot{k, value, true};
    }
    const V* Find(std::string_view name) const {
        if (name.empty() || name.size() > kPaddedNameRoom) return nullptr;
        return Find(Key::Of(name));
    }
    const V* FindPadded(const char* padded, size_t length) const {
        if (length == 0 || length > kPaddedNameRoom) return nullptr;
        Key k;
        std::memcpy(k.w, padded, sizeof k.w);
        return Find(k);
    }

private:
    static constexpr size_t kMask = 511;  // far more room than names: probes stay short
    struct Key {
        uint64_t w[kPaddedNameRoom / 8] = {};
        static Key Of(std::string_view s) {
            Key k;
            std::memcpy(k.w, s.data(), std::min(s.size(), kPaddedNameRoom));
            return k;
        }
        size_t Hash() const {
            // Most names fit the first word; the others only need to spread.
            const uint64_t h = (w[0] + (w[1] << 1) + (w[2] << 2)) * 0x9E3779B97F4A7C15ull;
            return static_cast<size_t>(h >> 40);
        }
        bool operator==(const Key& o) const { return w[0] == o.w[0] && w[1] == o.w[1] && w[2] == o.w[2]; }
    };
    struct Slot {
        Key key;
        V value{};
        bool used = false;
    };
    const V* Find(const Key& k) const {
        size_t i = k.Hash() & kMask;
        while (slots_[i].used) {
            if (slots_[i].key == k) return &slots_[i].value;
            i = (i + 1) & kMask;
        }
        return nullptr;
    }
    std::vector<Slot> slots_ = std::vector<Slot>(kMask + 1);
};

struct TagRow {
    const char* name;
    Symb start;
};

// Tag table: the first 57 have an end symbol, start + 57 positions on.
const TagRow kTags[TagTableSize] = {
    {"HTML", HtmlSy}, {"TITLE", TitleSy}, {"BODY", BodySy}, {"HEAD", HeadSy}, {"B", BSy},
    {"I", ISy}, {"H", HeadingSy}, {"EM", EmSy}, {"STRONG", StrongSy}, {"U", USy},
    {"CITE", CiteSy}, {"VAR", VarSy}, {"TT", TTSy}, {"CODE", CodeSy}, {"KBD", KbdSy},
    {"SAMP", SampSy}, {"OL", OLSy}, {"UL", ULSy}, {"DIR", DirSy}, {"MENU", MenuSy},
    {"DL", DLSy}, {"A", ASy}, {"ADDRESS", AddressSy}, {"BLOCKQUOTE", BlockQuoteSy}, {"PRE", PreSy},
    {"CENTER", CenterSy}, {"TABLE", TableSy}, {"TD", TDSy}, {"TH", THSy}, {"CAPTION", CaptionSy},
    {"FORM", FormSy}, {"TEXTAREA", TextAreaSy}, {"SELECT", SelectSy}, {"OPTION", OptionSy}, {"FONT", FontSy},
    {"SUB", SubSy}, {"SUP", SupSy}, {"BIG", BigSy}, {"SMALL", SmallSy}, {"P", PSy},
    {"MAP", MapSy}, {"FRAMESET", FrameSetSy}, {"NOFRAMES", NoFramesSy}, {"SCRIPT", ScriptSy}, {"DIV", DivSy},
    {"S", SSy}, {"STRIKE", StrikeSy}, {"TR", TRSy}, {"NOBR", NoBrSy}, {"STYLE", StyleSy},
    {"SPAN", SpanSy}, {"COLGROUP", ColGroupSy}, {"LABEL", LabelSy}, {"THEAD", THeadSy}, {"TBODY", TBodySy},
    {"TFOOT", TFootSy}, {"OBJECT", ObjectSy},
    {"LI", LISy}, {"BR", BRSy}, {"HR", HRSy}, {"DD", DDSy}, {"DT", DTSy},
    {"IMG", ImageSy}, {"BASE", BaseSy}, {"BUTTON", ButtonSy}, {"INPUT", InputSy}, {"SELECTED", SelectedSy},
    {"BASEFONT", BaseFontSy}, {"AREA", AreaSy}, {"FRAME", FrameSy}, {"PAGE", PageSy}, {"BGSOUND", BgSoundSy},
    {"WRAP", WrapSy}, {"META", MetaSy}, {"PANEL", PanelSy}, {"WBR", WbrSy}, {"LINK", LinkSy},
    {"COL", ColSy}, {"PARAM", ParamSy}, {"READONLY", ReadonlySy},
};

struct AttrRow {
    const char* name;
    Symb sym;
};

const AttrRow kAttributes[AttributeTableSize] = {
    {"HREF", HRefSy}, {"NAME", NameSy}, {"SRC", SrcSy}, {"ALT", AltSy}, {"ALIGN", AlignSy},
    {"TEXT", TextAttrSy}, {"BGCOLOR", BGColorSy}, {"LINK", LinkSy}, {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy}, {"ROWSPAN", RowSpanSy}, {"BORDER", BorderSy}, {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy}, {"VALIGN", VAlignSy}, {"WIDTH", WidthSy}, {"START", StartSy},
    {"VALUE", ValueSy}, {"TYPE", TypeSy}, {"CHECKBOX", CheckBoxSy}, {"RADIO", RadioSy},
    {"METHOD", MethodSy}, {"ACTION", ActionSy}, {"CHECKED", CheckedSy}, {"SIZE", SizeSy},
    {"MAXLENGTH", MaxLengthSy}, {"COLS", ColsSy}, {"ROWS", RowsSy}, {"MULTIPLE", MultipleSy},
    {"VALUE", ValueSy}, {"SELECTED", SelectedSy}, {"FACE", FaceSy}, {"COLOR", ColorSy},
    {"TRANSP", TranspSy}, {"CLEAR", ClearSy}, {"ISMAP", IsMapSy}, {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy}, {"SHAPE", ShapeSy}, {"COORDS", CoordsSy}, {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy}, {"PLAIN", PlainSy}, {"TARGET", TargetSy}, {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy}, {"HSPACE", HSpaceSy}, {"LANGUAGE", LanguageSy},
    {"FRAMEBORDER", FrameBorderSy}, {"MARGINWIDTH", MarginWidthSy}, {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy}, {"ONCLICK", OnClickSy}, {"WRAP", WrapSy}, {"NOSHADE", NoShadeSy},
    {"HTTP-EQUIV", HttpEqSy}, {"CONTENT", ContentSy}, {"ENCTYPE", EncTypeSy}, {"VLINK", VLinkSy},
    {"OLINK", OLinkSy}, {"ACTIVE", ActiveSy}, {"VSPACE", VSpaceSy}, {"CLASS", ClassSy}, {"ID", IDSy},
    {"STYLE", StyleSy}, {"REL", RelSy}, {"REV", RevSy}, {"NOWRAP", NoWrapSy},
    {"BORDERCOLORLIGHT", BorderColorLightSy}, {"BORDERCOLORDARK", BorderColorDarkSy},
    {"CHARSET", CharSetSy}, {"RATIO", RatioSy}, {"TITLE", TitleSy}, {"ONFOCUS", OnFocusSy},
    {"ONBLUR", OnBlurSy}, {"ONCHANGE", OnChangeSy}, {"SPAN", SpanSy}, {"TABINDEX", TabIndexSy},
    {"BGPROPERTIES", BGPropertiesSy}, {"DISABLED", DisabledSy}, {"TOPMARGIN", TopMarginSy},
    {"LEFTMARGIN", LeftMarginSy}, {"LABEL", LabelSy}, {"READONLY", ReadonlySy},
};

std::string LowerName(const char* s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

// Lower-case names by start symbol ("" for symbols that are no tag).
const std::array<std::string, 256>& NamesBySymbol() {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> a;
        for (const TagRow& t : kTags) a[t.start] = LowerName(t.name);
        return a;
    }();
    return names;
}

}  // namespace

std::string TagNameOfSymbol(Symb sy) {
    return NamesBySymbol()[sy];
}

std::string TagNameOfEndSymbol(Symb sy) {
    if (sy < HtmlEndSy || sy > ObjectEndSy) return {};
    return NamesBySymbol()[sy - HtmlEndSy + HtmlSy];
}

Symb EndSymbolOf(Symb sy) {
    if (sy >= HtmlSy && sy <= ObjectSy) return static_cast<Symb>(sy - HtmlSy + HtmlEndSy);
    return NoSy;
}

namespace {

// Built before any document is read (no reader runs while statics are made).
const TNameTable<int> g_tagIndex = [] {
    TNameTable<int> t;
    for (int i = 0; i < TagTableSize; ++i) t.Add(kTags[i].name, i);
    return t;
}();

const TNameTable<Symb> g_attributeIndex = [] {
    TNameTable<Symb> t;
    for (const AttrRow& r : kAttributes) t.Add(r.name, r.sym);
    return t;
}();

Symb TagSymbolByRow(const int* i, bool endTag) {
    if (!i) return OtherSy;
    if (!endTag) return kTags[*i].start;
    return *i < TagsWithEnd ? EndSymbolOf(kTags[*i].start) : OtherSy;
}

}  // namespace

Symb TagSymbolOf(std::string_view upperName, bool endTag) {
    return TagSymbolByRow(g_tagIndex.Find(upperName), endTag);
}

Symb TagSymbolOfPadded(const char* padded, size_t length, bool endTag) {
    return TagSymbolByRow(g_tagIndex.FindPadded(padded, length), endTag);
}

Symb AttributeSymbolOf(std::string_view upperName) {
    const Symb* sym = g_attributeIndex.Find(upperName);
    return sym ? *sym : OtherAttribute;
}

Symb AttributeSymbolOfPadded(const char* padded, size_t length) {
    const Symb* sym = g_attributeIndex.FindPadded(padded, length);
    return sym ? *sym : OtherAttribute;
}

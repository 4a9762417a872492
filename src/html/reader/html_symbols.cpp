#include "html/reader/html_symbols.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Names looked up for every tag and attribute read: an open table with a
// cheap hash of these short names, the first of equal names kept.
template <typename V>
class TNameTable {
public:
    void Add(const char* name, V value) {
        const std::string key(name);
        size_t i = Hash(key) & kMask;
        while (slots_[i].used) {
            if (slots_[i].name == key) return;
            i = (i + 1) & kMask;
        }
        slots_[i] = Slot{key, value, true};
    }
    const V* Find(const std::string& name) const {
        size_t i = Hash(name) & kMask;
        while (slots_[i].used) {
            if (slots_[i].name == name) return &slots_[i].value;
            i = (i + 1) & kMask;
        }
        return nullptr;
    }

private:
    static constexpr size_t kMask = 1023;  // far more room than names: probes stay short
    static size_t Hash(const std::string& s) {
        uint32_t h = 2166136261u;
        for (unsigned char c : s) h = (h ^ c) * 16777619u;
        return h;
    }
    struct Slot {
        std::string name;
        V value{};
        bool used = false;
    };
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

Symb TagSymbolOf(const std::string& upperName, bool endTag) {
    static const TNameTable<int> index = [] {
        TNameTable<int> t;
        for (int i = 0; i < TagTableSize; ++i) t.Add(kTags[i].name, i);
        return t;
    }();
    const int* i = index.Find(upperName);
    if (!i) return OtherSy;
    if (!endTag) return kTags[*i].start;
    return *i < TagsWithEnd ? EndSymbolOf(kTags[*i].start) : OtherSy;
}

Symb AttributeSymbolOf(const std::string& upperName) {
    static const TNameTable<Symb> index = [] {
        TNameTable<Symb> t;
        for (const AttrRow& r : kAttributes) t.Add(r.name, r.sym);
        return t;
    }();
    const Symb* sym = index.Find(upperName);
    return sym ? *sym : OtherAttribute;
}

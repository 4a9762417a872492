#include "html/reader/html_symbols.h"

#include <array>
#include <unordered_map>

namespace {

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
    static const std::unordered_map<std::string, int> index = [] {
        std::unordered_map<std::string, int> m;
        for (int i = 0; i < TagTableSize; ++i) m.emplace(kTags[i].name, i);
        return m;
    }();
    auto it = index.find(upperName);
    if (it == index.end()) return OtherSy;
    if (!endTag) return kTags[it->second].start;
    return it->second < TagsWithEnd ? EndSymbolOf(kTags[it->second].start) : OtherSy;
}

Symb AttributeSymbolOf(const std::string& upperName) {
    static const std::unordered_map<std::string, Symb> index = [] {
        std::unordered_map<std::string, Symb> m;
        for (const AttrRow& r : kAttributes) m.emplace(r.name, r.sym);
        return m;
    }();
    auto it = index.find(upperName);
    return it == index.end() ? OtherAttribute : it->second;
}

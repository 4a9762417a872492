#pragma once
// Symbols of the HTML reader. Tags and attributes share one symbol space:
// an attribute whose name is also a tag name (LINK, WRAP, SELECTED, STYLE,
// TITLE, SPAN, LABEL, READONLY) has the tag's symbol. Fewer than 256 symbols,
// so a set of them is a 256-bit set.
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

enum Symb : uint8_t {
    NoSy = 0,
    // Tags with an end symbol, in table order.
    HtmlSy, TitleSy, BodySy, HeadSy, BSy, ISy, HeadingSy, EmSy, StrongSy, USy,
    CiteSy, VarSy, TTSy, CodeSy, KbdSy, SampSy, OLSy, ULSy, DirSy, MenuSy,
    DLSy, ASy, AddressSy, BlockQuoteSy, PreSy, CenterSy, TableSy, TDSy, THSy, CaptionSy,
    FormSy, TextAreaSy, SelectSy, OptionSy, FontSy, SubSy, SupSy, BigSy, SmallSy, PSy,
    MapSy, FrameSetSy, NoFramesSy, ScriptSy, DivSy, SSy, StrikeSy, TRSy, NoBrSy, StyleSy,
    SpanSy, ColGroupSy, LabelSy, THeadSy, TBodySy, TFootSy, ObjectSy,
    // Their end symbols, same order.
    HtmlEndSy, TitleEndSy, BodyEndSy, HeadEndSy, BEndSy, IEndSy, HeadingEndSy, EmEndSy, StrongEndSy, UEndSy,
    CiteEndSy, VarEndSy, TTEndSy, CodeEndSy, KbdEndSy, SampEndSy, OLEndSy, ULEndSy, DirEndSy, MenuEndSy,
    DLEndSy, AEndSy, AddressEndSy, BlockQuoteEndSy, PreEndSy, CenterEndSy, TableEndSy, TDEndSy, THEndSy,
    CaptionEndSy, FormEndSy, TextAreaEndSy, SelectEndSy, OptionEndSy, FontEndSy, SubEndSy, SupEndSy,
    BigEndSy, SmallEndSy, PEndSy, MapEndSy, FrameSetEndSy, NoFramesEndSy, ScriptEndSy, DivEndSy, SEndSy,
    StrikeEndSy, TREndSy, NoBrEndSy, StyleEndSy, SpanEndSy, ColGroupEndSy, LabelEndSy, THeadEndSy,
    TBodyEndSy, TFootEndSy, ObjectEndSy,
    // Tags without an end symbol.
    LISy, BRSy, HRSy, DDSy, DTSy, ImageSy, BaseSy, ButtonSy, InputSy, SelectedSy,
    BaseFontSy, AreaSy, FrameSy, PageSy, BgSoundSy, WrapSy, MetaSy, PanelSy, WbrSy, LinkSy,
    ColSy, ParamSy, ReadonlySy,
    // Attributes that are not tag names.
    HRefSy, NameSy, SrcSy, AltSy, AlignSy, TextAttrSy, BGColorSy, BackgroundSy, ColSpanSy,
    RowSpanSy, BorderSy, CellPaddingSy, CellSpacingSy, VAlignSy, WidthSy, StartSy, ValueSy, TypeSy,
    CheckBoxSy, RadioSy, MethodSy, ActionSy, CheckedSy, SizeSy, MaxLengthSy, ColsSy, RowsSy,
    MultipleSy, FaceSy, ColorSy, TranspSy, ClearSy, IsMapSy, BorderColorSy, UseMapSy, ShapeSy,
    CoordsSy, NoHrefSy, HeightSy, PlainSy, TargetSy, NoResizeSy, ScrollingSy, HSpaceSy, LanguageSy,
    FrameBorderSy, MarginWidthSy, MarginHeightSy, LoopSy, OnClickSy, NoShadeSy, HttpEqSy, ContentSy,
    EncTypeSy, VLinkSy, OLinkSy, ActiveSy, VSpaceSy, ClassSy, IDSy, RelSy, RevSy, NoWrapSy,
    BorderColorLightSy, BorderColorDarkSy, CharSetSy, RatioSy, OnFocusSy, OnBlurSy, OnChangeSy,
    TabIndexSy, BGPropertiesSy, DisabledSy, TopMarginSy, LeftMarginSy,
    // Not tags.
    TextSy,          // a run of text
    EofSy,           // end of the text
    OtherSy,         // unknown tag, end of a tag without end symbol, "<?..."
    OtherAttribute,  // attribute name not in the table
    EolSy,           // raw mode: a line break
    OtherChar,       // raw mode: one character
    CommandSy,       // reserved for include commands
    LastSymb = CommandSy
};

static_assert(LastSymb < 256, "symbol sets are 256 bits wide");

// A set of symbols, as the element handlers pass terminator sets around.
class SymbSet {
public:
    SymbSet() = default;
    SymbSet(std::initializer_list<Symb> symbols) {
        for (Symb s : symbols) bits_.set(s);
    }
    bool Contains(Symb s) const { return bits_.test(s); }
    SymbSet& Include(Symb s) {
        bits_.set(s);
        return *this;
    }
    SymbSet& Exclude(Symb s) {
        bits_.reset(s);
        return *this;
    }
    SymbSet operator+(const SymbSet& o) const {
        SymbSet r = *this;
        r.bits_ |= o.bits_;
        return r;
    }
    SymbSet operator+(Symb s) const {
        SymbSet r = *this;
        r.bits_.set(s);
        return r;
    }
    SymbSet operator-(const SymbSet& o) const {
        SymbSet r = *this;
        r.bits_ &= ~o.bits_;
        return r;
    }
    bool Empty() const { return bits_.none(); }
    bool operator==(const SymbSet&) const = default;

private:
    std::bitset<256> bits_;
};

// Number of tags in the tag table and of those with an end symbol.
constexpr int TagTableSize = 80;
constexpr int TagsWithEnd = 57;
constexpr int AttributeTableSize = 84;

// Lower-case tag name of a start symbol ("" when the symbol is no tag).
std::string TagNameOfSymbol(Symb sy);
// Lower-case tag name of an end symbol ("" when it is none).
std::string TagNameOfEndSymbol(Symb sy);
// The end symbol that closes a start symbol (NoSy when there is none).
Symb EndSymbolOf(Symb sy);
// Symbol of an upper-case tag name (OtherSy when unknown); end tags take the end
// symbol of the first 57 tags and OtherSy for the rest.
Symb TagSymbolOf(std::string_view upperName, bool endTag);
// Symbol of an upper-case attribute name (OtherAttribute when unknown).
Symb AttributeSymbolOf(std::string_view upperName);
// The same for a reader that keeps the name in room of kPaddedNameRoom bytes
// or more, zero after the name: no copy of the name is made.
constexpr size_t kPaddedNameRoom = 24;
Symb TagSymbolOfPadded(const char* padded, size_t length, bool endTag);
Symb AttributeSymbolOfPadded(const char* padded, size_t length);

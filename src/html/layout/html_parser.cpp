#include "html/layout/html_parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "html/layout/blocks.h"
#include "html/layout/document.h"
#include "html/layout/form_controls.h"
#include "html/layout/section.h"
#include "html/layout/table_layout.h"
#include "html/layout/table_widths.h"
#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "html/reader/url_subs.h"
#include "platform/gui/controls.h"
#include "platform/runtime/files.h"

namespace Readhtml {

TSectionList* SectionList = nullptr;
TCellBasic* CurrentCell = nullptr;
TSection* CurrentSection = nullptr;
TBodyBlock* BodyBlock = nullptr;
TUrlTarget* CurrentUrlTarget = nullptr;
bool LinkOpen = false;
int TableDepth = 0;
int ListLevel = 0;
int BaseFontSize = 3;
double FontSizes[8] = {0, 8, 10, 12, 14, 18, 24, 36};
double PreFontSizes[8] = {0, 7, 8, 10, 12, 15, 20, 30};
ThtmlForm* CurrentForm = nullptr;
ThtmlForm* DefaultForm = nullptr;
std::string DocTitle, DocBase, DocBaseTarget;
TSoundType SoundEvent;
TMetaType MetaEvent;
TLinkType LinkEvent;
TObjectTagEvent ObjectTagEvent;
TLinkedSheetEvent LinkedSheetEvent;

namespace {

std::unique_ptr<TUrlTarget> g_urlTarget;
bool g_inPre = false;
// Counts every symbol read, so that a loop can tell that a round made no
// progress (and skip the symbol instead of spinning).
unsigned g_advance = 0;

// Blocks (divisions, lists, list items, quotes, forms, tables) nest only so
// deep, as in browsers: a start tag beyond the limit opens nothing, its
// content stays in the innermost block and its end tag is dropped. The
// reader and the layout descend once per level, so a page of any depth loads
// within a bounded stack and still shows all its text.
constexpr int kMaxBlockNesting = 200;
int g_blockDepth = 0;
int g_dropsPending = 0;
std::array<int, LastSymb + 1> g_dropEnd{};

void Advance() {
    ++g_advance;
    Next();
    while (g_dropsPending > 0 && g_dropEnd[Sy] > 0) {
        --g_dropEnd[Sy];
        --g_dropsPending;
        Next();
    }
}

// At the nesting limit the start tag is skipped (and its end tag marked to
// be dropped); the caller then returns without opening a block.
bool RefusedAsTooDeep(Symb startSy) {
    if (g_blockDepth < kMaxBlockNesting) return false;
    Symb endSy = EndSymbolOf(startSy);
    if (endSy != NoSy) {
        ++g_dropEnd[endSy];
        ++g_dropsPending;
    }
    Advance();
    return true;
}

// Inline elements (fonts, links, phrase tags) nest only so deep within a
// block: a start tag beyond the limit changes nothing, its text keeps the
// style of the deepest level and its end tag is dropped. Each level costs the
// style cascade a look at the levels below it, so deep nesting would make
// reading quadratic. End tags are dropped where they are handled, as the
// preformatted reader reads its text between tags itself.
constexpr int kMaxInlineNesting = 200;
int g_inlineBase = 0;  // property stack entries when the innermost block opened
std::array<int, LastSymb + 1> g_inlineDropEnd{};

bool InlineRefusedAsTooDeep(Symb startSy) {
    if (ParserPropStack.Count() - g_inlineBase < kMaxInlineNesting) return false;
    Symb endSy = EndSymbolOf(startSy);
    if (endSy != NoSy) ++g_inlineDropEnd[endSy];
    return true;
}

bool InlineEndDropped(Symb endSy) {
    if (g_inlineDropEnd[endSy] == 0) return false;
    --g_inlineDropEnd[endSy];
    return true;
}

struct TBlockLevel {
    TBlockLevel() : savedBase_(g_inlineBase) {
        ++g_blockDepth;
        g_inlineBase = ParserPropStack.Count();
    }
    ~TBlockLevel() {
        --g_blockDepth;
        g_inlineBase = savedBase_;
    }
    TBlockLevel(const TBlockLevel&) = delete;
    TBlockLevel& operator=(const TBlockLevel&) = delete;

private:
    int savedBase_;
};

TObject* Owner() { return SectionList ? reinterpret_cast<TObject*>(SectionList->TheOwner) : nullptr; }

// ---------------------------------------------------------------- symbol sets

// What ends a cell, a caption or the content between cells. The parts'
// tags are not among them: inside an open cell they are skipped, and the
// rows after them stay in the part they were in.
const SymbSet TableTermSet{TableEndSy, TDSy,      TDEndSy,      TRSy,  TREndSy,   THSy,
                           THEndSy,    CaptionSy, CaptionEndSy, ColSy, ColGroupSy};

// Everything DoCommonSy handles.
const SymbSet CommonSet{TextSy,     BSy,        ISy,      USy,        EmSy,       StrongSy,    CiteSy,
                        VarSy,      TTSy,       CodeSy,   KbdSy,      SampSy,     SSy,         StrikeSy,
                        SubSy,      SupSy,      BigSy,    SmallSy,    FontSy,     BaseFontSy,  SpanSy,
                        LabelSy,    ASy,        ImageSy,  PanelSy,    BRSy,       WbrSy,       NoBrSy,
                        PageSy,     HRSy,       HeadingSy, PreSy,     TableSy,    InputSy,     SelectSy,
                        TextAreaSy, MapSy,      ScriptSy, ObjectSy,   BEndSy,     IEndSy,      UEndSy,
                        EmEndSy,    StrongEndSy, CiteEndSy, VarEndSy, TTEndSy,    CodeEndSy,   KbdEndSy,
                        SampEndSy,  SEndSy,     StrikeEndSy, SubEndSy, SupEndSy,  BigEndSy,    SmallEndSy,
                        FontEndSy,  SpanEndSy,  LabelEndSy, AEndSy,   NoBrEndSy,  HeadingEndSy, PreEndSy,
                        TableEndSy, SelectEndSy, TextAreaEndSy, MapEndSy, ScriptEndSy, ObjectEndSy};

// What a paragraph or heading holds: the common set less the block-level
// elements that end it.
const SymbSet ParaSet = CommonSet - SymbSet{HRSy, HeadingSy, HeadingEndSy, PreSy, PreEndSy, TableSy, TableEndSy};

const SymbSet FontStyleSet{BSy,   ISy,   USy,   EmSy,  StrongSy, CiteSy, VarSy, TTSy,   CodeSy, KbdSy,
                           SampSy, SSy, StrikeSy, SubSy, SupSy, BigSy,  SmallSy, SpanSy, LabelSy};
const SymbSet FontStyleEndSet{BEndSy,   IEndSy,   UEndSy,   EmEndSy,  StrongEndSy, CiteEndSy, VarEndSy,
                              TTEndSy,  CodeEndSy, KbdEndSy, SampEndSy, SEndSy,     StrikeEndSy, SubEndSy,
                              SupEndSy, BigEndSy, SmallEndSy, SpanEndSy, LabelEndSy};

bool IsListStart(Symb s) { return s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy; }

// ---------------------------------------------------------------- attributes

const TAttribute* Attr(Symb s, const TAttributeList* list = nullptr) {
    return (list ? list : Attributes)->Find(s);
}

std::string AttrText(Symb s, const TAttributeList* list = nullptr) {
    const TAttribute* a = Attr(s, list);
    return a ? a->TextValue : std::string();
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::unique_ptr<TAttributeList> CopyAttributes(const TAttributeList& from) {
    auto l = std::make_unique<TAttributeList>();
    for (const auto& a : from) l->Add(std::make_unique<TAttribute>(*a));
    return l;
}

// A tag's attributes kept while its element is read (the tokenizer reuses its
// list for the next tag). The lists go back to a pool: a long report copies
// the same few attributes for thousands of paragraphs and cells.
std::vector<std::unique_ptr<TAttributeList>> g_spareAttributeLists;

class TAttributesCopy {
public:
    explicit TAttributesCopy(const TAttributeList& from) {
        if (g_spareAttributeLists.empty()) {
            list_ = std::make_unique<TAttributeList>();
        } else {
            list_ = std::move(g_spareAttributeLists.back());
            g_spareAttributeLists.pop_back();
        }
        list_->AssignFrom(from);
    }
    ~TAttributesCopy() {
        constexpr size_t kKeptLists = 32;
        constexpr int kKeptAttributes = 16;
        if (g_spareAttributeLists.size() < kKeptLists && list_->Count() <= kKeptAttributes)
            g_spareAttributeLists.push_back(std::move(list_));
    }
    TAttributesCopy(const TAttributesCopy&) = delete;
    TAttributesCopy& operator=(const TAttributesCopy&) = delete;

    void Assign(const TAttributeList& from) { list_->AssignFrom(from); }
    TAttributeList* get() const { return list_.get(); }
    TAttributeList* operator->() const { return list_.get(); }

private:
    std::unique_ptr<TAttributeList> list_;
};

bool TokenIsSpace() { return Token->Leng == 1 && Token->C[0] == u' '; }

// ---------------------------------------------------------------- property stack

TProperties* Top() { return ParserPropStack.Top(); }

int IndexOfEntry(const TProperties* e) {
    for (int i = ParserPropStack.Count() - 1; i > 0; --i)
        if (ParserPropStack[i] == e) return i;
    return -1;
}

void RemoveAt(int i) {
    if (i <= 0 || i >= ParserPropStack.Count()) return;
    TProperties* e = ParserPropStack[i];
    if (e->HasBorder() && SectionList) SectionList->ProcessInlines(TagPos, e, false);
    ParserPropStack.Delete(i);
    for (int k = i; k < ParserPropStack.Count(); ++k)
        ParserPropStack[k]->Reinherit(*ParserPropStack[k - 1], SectionList ? SectionList->Styles : nullptr, k);
}

// Ends an element: drops its own entry and everything above it. A misnested
// end tag may have closed the own entry already; then the entries above the
// one it was pushed on go. When both are gone nothing goes: popping further
// would free entries that the enclosing handlers still hold.
void PopBackTo(const TProperties* below, const TProperties* own) {
    int keep = -1;
    if (own) {
        const int j = IndexOfEntry(own);
        if (j > 0) keep = j;
    }
    if (keep < 0 && below) {
        if (below == ParserPropStack[0]) keep = 1;
        else if (const int i = IndexOfEntry(below); i > 0) keep = i + 1;
    }
    if (keep < 0) return;
    while (ParserPropStack.Count() > keep) RemoveAt(ParserPropStack.Count() - 1);
}

void RemoveEntry(const TProperties* e) { RemoveAt(IndexOfEntry(e)); }

void PushPropsWith(const std::string& tag, const std::string& pseudo, TAttributeList* attrs) {
    TStyleList* styles = SectionList ? SectionList->Styles : nullptr;
    static const std::string none;
    if (attrs)
        PushCascade(styles, tag, attrs->GetClass(), attrs->GetID(), pseudo, attrs->GetTitle(), attrs->GetStyle());
    else
        PushCascade(styles, tag, none, none, pseudo, none, nullptr);
}

void AssignAlign(const std::string& value) {
    // One shared value each: every cell of a report is aligned. The value is
    // compared in place, as the trimmed text in lower case.
    static const TPropValue left("left"), center("center"), right("right"), justify("justify");
    const size_t b = value.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return;
    const size_t n = value.find_last_not_of(" \t\r\n") - b + 1;
    auto is = [&](std::string_view word) {
        if (word.size() != n) return false;
        for (size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(value[b + i])) != word[i]) return false;
        return true;
    };
    if (is("left")) Top()->Assign(left, piTextAlign);
    else if (is("center") || is("middle")) Top()->Assign(center, piTextAlign);
    else if (is("right")) Top()->Assign(right, piTextAlign);
    else if (is("justify")) Top()->Assign(justify, piTextAlign);
}

// ---------------------------------------------------------------- sections

void SectionEnd() {
    if (!CurrentSection) return;
    TSection* s = CurrentSection;
    CurrentSection = nullptr;
    CurrentCell->Add(s, TagPos);
}

// The open paragraph given up unfinished: the document's lists (links, tab
// order, ids) forget it before it goes.
void DropSection() {
    if (!CurrentSection) return;
    CurrentSection->CheckFree();
    delete CurrentSection;
    CurrentSection = nullptr;
}

TSection* NewSection(bool firstItem, TAttributeList* attrs = nullptr) {
    return new TSection(CurrentCell, attrs, Top(), CurrentUrlTarget, firstItem);
}

void SectionCheck() {
    if (!CurrentSection) CurrentSection = NewSection(false);
}

void ChangeFont() {
    if (CurrentSection) CurrentSection->ChangeFont(Top());
}

// A block for the top entry, added to the current cell; its content becomes
// the current cell.
TBlock* AddBlock(TAttributeList* attrs) {
    auto* b = new TBlock(CurrentCell, Top(), CurrentCell, attrs);
    CurrentCell->Add(b, TagPos);
    CurrentCell = b->MyCell.get();
    return b;
}

void AddPage() {
    SectionEnd();
    CurrentCell->Add(new TPage(CurrentCell), TagPos);
}

void EndLink() {
    if (!LinkOpen) return;
    if (CurrentSection) {
        CurrentUrlTarget->SetLast(CurrentSection->Fonts, TagPos);
    } else {
        CurrentUrlTarget->SetLast(TagPos);
    }
    LinkOpen = false;
    CurrentUrlTarget->Clear();
    if (CurrentSection) CurrentSection->HRef(AEndSy, SectionList, CurrentUrlTarget, nullptr, Top());
}

// Reads the raw text of a SCRIPT (or up to another end tag) after the start
// tag's ">": returns the text with line breaks as CR LF and leaves Ch after
// the end tag's ">".
std::string ReadRawUntil(const std::string& endTag, bool startAtGt) {
    std::string text;
    const size_t n = endTag.size();
    bool saveMode = NoCommentMode;
    NoCommentMode = true;
    if (startAtGt && Ch == '>') GetChBasic();
    for (;;) {
        if (Ch == 0) break;
        if (Ch == CR)
            text += "\r\n";
        else
            text += static_cast<char>(Ch);
        if (text.size() >= n && Lower(text.substr(text.size() - n)) == endTag) {
            text.resize(text.size() - n);
            while (Ch != '>' && Ch != 0) GetChBasic();
            break;
        }
        GetChBasic();
    }
    NoCommentMode = saveMode;
    if (Ch == '>') GetCh();
    return text;
}

// ---------------------------------------------------------------- forward

void DoBody(const SymbSet& TermSet);
void DoCommonSy();
void DoTable(const SymbSet& TermSet);
void DoLists(Symb Sy, const SymbSet& TermSet);
void DoListItem(Symb ListSy, Symb ItemSy, int Number, const SymbSet& TermSet, bool Plain, char TypeChar);
void DoP(const SymbSet& TermSet);
void DoDivEtc(Symb Sy, const SymbSet& TermSet);
void DoPre();

// ---------------------------------------------------------------- inline actions
// Each acts on the current symbol without reading the next one, so that the
// preformatted reader can use them too.

void FontStyleStart(Symb sy) {
    if (InlineRefusedAsTooDeep(sy)) return;
    PushPropsWith(TagNameOfSymbol(sy), "", Attributes);
    if (Top()->HasBorder()) SectionList->ProcessInlines(TagPos, Top(), true);
    ChangeFont();
}

void FontStyleEnd(Symb sy) {
    if (InlineEndDropped(sy)) return;
    PopAProp(TagNameOfEndSymbol(sy));
    ChangeFont();
}

void DoFont(Symb sy) {
    if (InlineRefusedAsTooDeep(sy)) return;
    int size = BaseFontSize;
    bool sizeGiven = false;
    if (const TAttribute* a = Attr(SizeSy)) {
        std::string v = Trimmed(a->TextValue);
        bool rel = v.size() >= 2 && (v[0] == '+' || v[0] == '-');
        const int n = PageInteger(v, &sizeGiven);  // a relative size keeps its sign
        if (sizeGiven) size = rel ? BaseFontSize + n : n;
        size = std::clamp(size, 1, 7);
        if (sy == BaseFontSy && sizeGiven) BaseFontSize = size;
    }
    TColor color = clNone;
    bool colorGiven = false;
    if (const TAttribute* a = Attr(ColorSy)) colorGiven = ColorFromString(a->TextValue, false, color);
    std::string face = sy == FontSy ? AttrText(FaceSy) : std::string();
    int charset = 0;
    bool csGiven = false;
    if (const TAttribute* a = Attr(CharSetSy))
        if (!IsUTF8) csGiven = TranslateCharset(a->TextValue, charset);
    PushPropsWith("font", "", Attributes);
    TProperties* p = Top();
    if (sizeGiven) p->Assign(TPropValue(g_inPre ? PreFontSizes[size] : FontSizes[size]), piFontSize);
    if (colorGiven) p->Assign(TPropValue(static_cast<int>(color)), piColor);
    if (!face.empty()) p->Assign(TPropValue(face), piFontFamily);
    if (csGiven) p->AssignCharSet(charset);
    if (p->HasBorder()) SectionList->ProcessInlines(TagPos, p, true);
    ChangeFont();
}

void DoAStart() {
    if (InlineRefusedAsTooDeep(ASy)) return;
    const TAttribute* href = Attr(HRefSy);
    if (href) {
        EndLink();
        CurrentUrlTarget->Assign(href->TextValue, AttrText(TargetSy), *Attributes, TagPos);
        if (const TAttribute* t = Attr(TabIndexSy)) CurrentUrlTarget->TabIndex = t->NumValue;
        LinkOpen = true;
    }
    PushPropsWith("a", href ? "link" : "", Attributes);
    if (Top()->HasBorder()) SectionList->ProcessInlines(TagPos, Top(), true);
    if (const TAttribute* name = Attr(NameSy)) {
        std::string n = Lower(Trimmed(name->TextValue));
        if (!n.empty() && n[0] == '#') n.erase(0, 1);
        if (!n.empty()) SectionList->IDNameList.AddChPosObject(n, TagPos);
    }
    if (href) {
        SectionCheck();
        CurrentSection->HRef(HRefSy, SectionList, CurrentUrlTarget, Attributes, Top());
    } else {
        ChangeFont();
    }
}

void DoAEnd() {
    if (InlineEndDropped(AEndSy)) return;
    EndLink();
    PopAProp("a");
    ChangeFont();
}

void DoImageOrPanel(Symb sy) {
    SectionCheck();
    PushPropsWith(sy == ImageSy ? "img" : "panel", "", Attributes);
    // The paragraph gives the object its floating and sizing properties.
    if (sy == ImageSy)
        CurrentSection->AddImage(Attributes, CurrentCell, TagPos);
    else
        CurrentSection->AddPanel(Attributes, CurrentCell, TagPos);
    PopAProp(sy == ImageSy ? "img" : "panel");
}

void DoSelect(TFormControlObj* control);
void DoTextArea(TFormControlObj* control);

// INPUT, SELECT, TEXTAREA. SELECT reads on to its end, so it leaves the
// next symbol read; the others do not.
void DoFormControl(Symb sy) {
    SectionCheck();
    std::string tag = TagNameOfSymbol(sy);
    PushPropsWith(tag, "", Attributes);
    TProperties* props = Top();
    TFormControlObj* c = CurrentSection->AddFormControl(sy, SectionList, Attributes, CurrentCell, TagPos, props);
    if (c) {
        if (sy == SelectSy) DoSelect(c);
        else if (sy == TextAreaSy) DoTextArea(c);
        c->ProcessProperties(props);
        c->ResetToValue();
    }
    PopAProp(tag);
}

void DoBr(bool inPre) {
    bool hasClear = Attr(ClearSy) != nullptr;
    TAttributesCopy attrs(*Attributes);
    PushPropsWith("br", "", attrs.get());
    bool before = false, after = false, inside = false;
    Top()->GetPageBreaks(before, after, inside);
    if (before) AddPage();
    if (hasClear && !inPre) {
        SectionEnd();
        CurrentSection = NewSection(false, attrs.get());
    } else {
        SectionCheck();
        CurrentSection->AddChar(8, TagPos);
        SectionEnd();
    }
    if (after) AddPage();
    PopAProp("br");
    // What follows the break starts a section of its own, even a lone space.
    SectionCheck();
}

void DoScript(bool startAtGt) {
    std::string name = AttrText(NameSy), language = AttrText(LanguageSy);
    std::string text = ReadRawUntil("</script", startAtGt);
    if (SectionList->ScriptEvent) SectionList->ScriptEvent(Owner(), name, language, text);
}

void DoObject() {
    SectionCheck();
    auto attrs = CopyAttributes(*Attributes);
    TPanelObj* panel = CurrentSection->CreatePanel(attrs.get(), CurrentCell);
    int pos = TagPos;
    TStringList params;
    Advance();
    while (Sy != ObjectEndSy && Sy != EofSy) {
        if (Sy == ParamSy)
            if (const TAttribute* n = Attr(NameSy)) params.Add(n->TextValue + "=" + AttrText(ValueSy));
        Advance();
    }
    bool want = true;
    auto lines = attrs->CreateStringList();
    if (ObjectTagEvent) ObjectTagEvent(Owner(), panel, *lines, params, want);
    if (want && panel)
        CurrentSection->AddObject(panel, pos);
    else
        delete panel;
}

void DoMap() {
    auto map = std::make_unique<TMapItem>();
    std::string name = AttrText(NameSy);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    map->MapName = name;
    int others = 0;
    Advance();
    while (Sy != MapEndSy && Sy != EofSy) {
        if (Sy == AreaSy)
            map->AddArea(*Attributes);
        else if (Sy != TextSy && ++others >= 3)
            break;
        Advance();
    }
    if (Sy == MapEndSy) SectionList->MapList.Add(map.release());
    if (Sy != EofSy) Advance();
}

void DoHeading() {
    if (Level < 1 || Level > 6) {
        Advance();
        return;
    }
    SectionEnd();
    std::string tag = "h" + std::to_string(Level);
    TAttributesCopy attrs(*Attributes);
    PushPropsWith(tag, "", attrs.get());
    AssignAlign(AttrText(AlignSy, attrs.get()));
    int pos = TagPos;
    Advance();
    if (Sy == CenterSy) {
        Top()->Assign(TPropValue("center"), piTextAlign);
        Advance();
    }
    TCellBasic* saved = CurrentCell;
    auto* b = new TBlock(CurrentCell, Top(), CurrentCell, attrs.get());
    CurrentCell->Add(b, pos);
    CurrentCell = b->MyCell.get();
    CurrentSection = NewSection(true, attrs.get());
    while (Sy != EofSy && (ParaSet.Contains(Sy) || Sy == OtherSy)) {
        unsigned mark = g_advance;
        if (Sy == OtherSy) Advance();
        else DoCommonSy();
        if (mark == g_advance) Advance();
    }
    SectionEnd();
    PopAProp(tag);
    CurrentCell = saved;
    if (Sy == HeadingEndSy) Advance();
}

// The symbols that end a SELECT's options.
const SymbSet SelectTermSet{PSy,     TableEndSy, TDSy,      TDEndSy,      TRSy,        TREndSy, THSy,
                            THEndSy, CaptionSy,  CaptionEndSy, InputSy, SelectEndSy, ColSy,   ColGroupSy};

void DoSelect(TFormControlObj* control) {
    bool saveNoBreak = ParserNoBreak;
    ParserNoBreak = false;
    auto* list = dynamic_cast<TListBoxFormControlObj*>(control);
    bool inOption = false, selected = false;
    std::string value;
    bool hasValue = false;
    std::unique_ptr<TAttributeList> optAttrs;
    std::u16string text;
    auto addItem = [&]() {
        if (!inOption || !list) return;
        std::u16string t = WideTrim(text);
        list->AddStr(t, hasValue ? value : WideStringToMultibyte(CurrentCodePage(), t), selected, optAttrs.get());
    };
    Advance();
    while (Sy != EofSy && !SelectTermSet.Contains(Sy)) {
        if (Sy == OptionSy) {
            addItem();
            inOption = true;
            selected = Attr(SelectedSy) != nullptr;
            const TAttribute* v = Attr(ValueSy);
            hasValue = v != nullptr;
            value = v ? v->TextValue : std::string();
            optAttrs = CopyAttributes(*Attributes);
            text.clear();
        } else if (Sy == TextSy && inOption) {
            text += Token->GetString();
        }
        Advance();
    }
    addItem();
    control->ResetToValue();
    ParserNoBreak = saveNoBreak;
}

void DoTextArea(TFormControlObj* control) {
    auto* area = dynamic_cast<TTextAreaFormControlObj*>(control);
    bool saveMode = NoCommentMode;
    NoCommentMode = true;
    const std::string endTag = "</textarea";
    std::string piece;
    int cp = FormControlTextConversion ? CurrentCodePage() : 0;
    auto flush = [&]() {
        if (area && !piece.empty()) area->AddText(piece);
        piece.clear();
    };
    for (;;) {
        if (Ch == 0) break;
        if (Ch == CR) {
            piece += "\r\n";
            flush();
            GetChBasic();
            continue;
        }
        if (Ch == '&') {
            piece += GetEntity(cp);
            continue;
        }
        piece += static_cast<char>(Ch);
        if (piece.size() >= endTag.size() && Lower(piece.substr(piece.size() - endTag.size())) == endTag) {
            piece.resize(piece.size() - endTag.size());
            while (Ch != '>' && Ch != 0) GetChBasic();
            break;
        }
        // Hand over in pieces, keeping back what may start the end tag.
        if (piece.size() >= 100 && piece.find('<') == std::string::npos) flush();
        GetChBasic();
    }
    flush();
    NoCommentMode = saveMode;
    if (Ch == '>') GetCh();
    control->ResetToValue();
}

// ---------------------------------------------------------------- DoCommonSy

void DoCommonSy() {
    Symb sy = Sy;
    if (sy == TextSy) {
        if (!CurrentSection) {
            if (TokenIsSpace()) {
                Advance();
                return;
            }
            SectionCheck();
        }
        CurrentSection->AddTokenObj(*Token);
        Advance();
        return;
    }
    if (FontStyleSet.Contains(sy)) {
        FontStyleStart(sy);
        Advance();
        return;
    }
    if (FontStyleEndSet.Contains(sy)) {
        FontStyleEnd(sy);
        Advance();
        return;
    }
    switch (sy) {
        case FontSy:
        case BaseFontSy: DoFont(sy); Advance(); return;
        case FontEndSy: FontStyleEnd(sy); Advance(); return;
        case ASy: DoAStart(); Advance(); return;
        case AEndSy: DoAEnd(); Advance(); return;
        case ImageSy:
        case PanelSy: DoImageOrPanel(sy); Advance(); return;
        case InputSy: DoFormControl(sy); Advance(); return;
        case SelectSy: DoFormControl(sy); return;  // left at the symbol that ended the options
        case TextAreaSy: DoFormControl(sy); Advance(); return;
        case BRSy: DoBr(false); Advance(); return;
        case PageSy: AddPage(); Advance(); return;
        case HRSy: {
            SectionEnd();
            TAttributesCopy attrs(*Attributes);
            PushPropsWith("hr", "", attrs.get());
            auto* b = new THRBlock(CurrentCell, Top(), CurrentCell, attrs.get());
            if (!b->Line) {
                auto* line = new THorzLine(b->MyCell.get(), attrs.get(), Top());
                b->Line = line;
                b->MyCell->Add(line, TagPos);
            }
            CurrentCell->Add(b, TagPos);
            PopAProp("hr");
            Advance();
            return;
        }
        case HeadingSy: DoHeading(); return;
        case PreSy: DoPre(); return;
        case PreEndSy: PopAProp("pre"); Advance(); return;
        case NoBrSy:
        case NoBrEndSy: ParserNoBreak = sy == NoBrSy; Advance(); return;
        case WbrSy:
            if (CurrentSection) CurrentSection->AllowBreakAfterLast();
            Advance();
            return;
        case TableSy: DoTable(SymbSet{}); return;
        case MapSy: DoMap(); return;
        case ScriptSy: DoScript(true); Advance(); return;
        case ObjectSy:
            if (ObjectTagEvent) {
                DoObject();
                if (Sy == ObjectEndSy) Advance();
            } else {
                Advance();
            }
            return;
        default: Advance(); return;
    }
}

// ---------------------------------------------------------------- P, DIV and the like

void DoP(const SymbSet& TermSet) {
    if (TermSet.Contains(PSy)) return;
    SectionEnd();
    TAttributesCopy attrs(*Attributes);
    int pos = TagPos;
    Advance();
    while (Sy == PSy || Sy == PEndSy) {
        if (Sy == PSy) {
            attrs.Assign(*Attributes);
            pos = TagPos;
        }
        Advance();
    }
    PushPropsWith("p", "", attrs.get());
    AssignAlign(AttrText(AlignSy, attrs.get()));
    TProperties* entry = Top();
    TCellBasic* saved = CurrentCell;
    // The first paragraph of a table cell whose box adds nothing is read into
    // the cell itself: when it turns out to be the cell's whole content, one
    // paragraph of text, it stays there in the place of its block.
    const bool inPlace = CurrentCell->Count() == 0 && dynamic_cast<TCellObjCell*>(CurrentCell) &&
                         !Attr(IDSy, attrs.get()) && BoxAddsNothing(*entry);
    TBlock* b = nullptr;
    if (!inPlace) {
        b = new TBlock(CurrentCell, entry, CurrentCell, attrs.get());
        CurrentCell->Add(b, pos);
        CurrentCell = b->MyCell.get();
    }
    CurrentSection = NewSection(true, attrs.get());
    while (Sy != EofSy && !TermSet.Contains(Sy) && (ParaSet.Contains(Sy) || Sy == OtherSy)) {
        unsigned mark = g_advance;
        if (Sy == OtherSy) Advance();
        else DoCommonSy();
        if (mark == g_advance) Advance();
    }
    if (inPlace) {
        SectionEnd();
        TSectionBase* only = saved->Count() == 1 ? saved->First() : nullptr;
        const bool cellEnds = TableTermSet.Contains(Sy) || Sy == EofSy;
        if (cellEnds && only && only->IsSection() && only->IsPlain()) {
            static_cast<TSection*>(only)->InPlaceOfBlock = true;
        } else if (cellEnds && saved->Count() == 0) {
            saved->Add(new TEmptyParagraph(saved), pos);
        } else {
            // Anything else in the cell: the block is made after all, around
            // what was read, as it would have been before.
            std::vector<std::unique_ptr<TSectionBase>> read;  // the last first
            saved->MoveTailTo(0, read, SIZE_MAX);
            b = new TBlock(saved, entry, saved, attrs.get());
            saved->Add(b, pos);
            for (auto s = read.rbegin(); s != read.rend(); ++s) b->MyCell->TSectionItems::Add(std::move(*s));
        }
    }
    if (Sy == TableSy) {
        b->MargArrayO.Edit()[piMarginBottom] = TPropValue(0);
        b->MargArray[piMarginBottom] = 0;
    }
    SectionEnd();
    PopAProp("p");
    CurrentCell = saved;
    if (Sy == PEndSy) Advance();
}

void DoDivEtc(Symb sy, const SymbSet& TermSet) {
    switch (sy) {
        case DivSy:
        case CenterSy: {
            if (RefusedAsTooDeep(sy)) return;
            TBlockLevel level;
            SectionEnd();
            bool div = sy == DivSy;
            std::string tag = div ? "div" : "center";
            auto attrs = div ? CopyAttributes(*Attributes) : std::make_unique<TAttributeList>();
            PushPropsWith(tag, "", attrs.get());
            TProperties* entry = Top();
            if (div)
                AssignAlign(AttrText(AlignSy, attrs.get()));
            else
                entry->Assign(TPropValue("center"), piTextAlign);
            TCellBasic* saved = CurrentCell;
            if (div) AddBlock(attrs.get());
            CurrentSection = NewSection(true);
            Advance();
            DoBody(TermSet + (div ? DivEndSy : CenterEndSy));
            SectionEnd();
            PopAProp(tag);
            CurrentCell = saved;
            CurrentSection = NewSection(false);
            if (Sy == (div ? DivEndSy : CenterEndSy)) Advance();
            return;
        }
        case FormSy:
            while (Sy == FormSy) {
                if (RefusedAsTooDeep(FormSy)) return;
                TBlockLevel level;
                SectionEnd();
                auto attrs = CopyAttributes(*Attributes);
                PushPropsWith("form", "", attrs.get());
                TCellBasic* saved = CurrentCell;
                AddBlock(attrs.get());
                CurrentForm = CreateForm(SectionList, attrs.get());
                Advance();
                DoBody(TermSet + FormSy + FormEndSy);
                SectionEnd();
                PopAProp("form");
                CurrentCell = saved;
                if (Sy == FormEndSy) {
                    CurrentForm = nullptr;
                    Advance();
                }
            }
            return;
        case AddressSy:
        case BlockQuoteSy: DoLists(sy, TermSet + EndSymbolOf(sy)); return;
        default: Advance(); return;
    }
}

// ---------------------------------------------------------------- lists

void DoListItem(Symb ListSy, Symb ItemSy, int Number, const SymbSet& TermSet, bool Plain, char TypeChar) {
    if (RefusedAsTooDeep(ItemSy)) return;
    TBlockLevel level;
    SectionEnd();
    std::string tag = TagNameOfSymbol(ItemSy);
    auto attrs = CopyAttributes(*Attributes);
    PushPropsWith(tag, "", attrs.get());
    TProperties* entry = Top();
    TCellBasic* saved = CurrentCell;
    auto* li = new TBlockLI(CurrentCell, Top(), CurrentCell, ListSy, Plain, TypeChar, Number, ListLevel, attrs.get());
    CurrentCell->Add(li, TagPos);
    CurrentCell = li->MyCell.get();
    CurrentSection = NewSection(true, attrs.get());
    Advance();
    while (Sy == TextSy && TokenIsSpace()) Advance();
    bool inList = ListSy == OLSy || ListSy == ULSy || ListSy == DirSy || ListSy == MenuSy || ListSy == DLSy;
    while (Sy != EofSy && !TermSet.Contains(Sy)) {
        unsigned mark = g_advance;
        if (CommonSet.Contains(Sy)) {
            DoCommonSy();
        } else if (Sy == PEndSy || Sy == OtherSy) {
            Advance();
        } else if (Sy == PSy) {
            if (!inList) break;
            DoP(TermSet);
        } else if (IsListStart(Sy)) {
            DoLists(Sy, TermSet);
        } else if (Sy == AddressSy || Sy == BlockQuoteSy || Sy == CenterSy || Sy == DivSy || Sy == FormSy) {
            DoDivEtc(Sy, TermSet);
        } else {
            break;
        }
        if (mark == g_advance) break;
    }
    bool empty = li->MyCell->Count() == 0 && (!CurrentSection || CurrentSection->BuffS.empty());
    if (empty) {
        SectionCheck();
        CurrentSection->AddChar(160, TagPos);
    }
    SectionEnd();
    RemoveEntry(entry);
    CurrentCell = saved;
}

void DoLists(Symb sy, const SymbSet& TermSet) {
    if (RefusedAsTooDeep(sy)) return;
    TBlockLevel level;
    Symb endSy = EndSymbolOf(sy);
    std::string tag = TagNameOfSymbol(sy);
    int number = 1;
    char type = '1';
    bool plain = false;
    if (sy == OLSy) {
        if (const TAttribute* s = Attr(StartSy))
            if (s->NumValue >= 0) number = s->NumValue;
        std::string t = AttrText(TypeSy);
        if (!t.empty()) type = t[0];
    } else if (sy == ULSy || sy == DirSy || sy == MenuSy) {
        std::string t = Lower(AttrText(TypeSy));
        plain = Attr(PlainSy) != nullptr || t == "none" || t == "plain";
    }
    SectionEnd();
    auto attrs = CopyAttributes(*Attributes);
    PushPropsWith(tag, "", attrs.get());
    TProperties* entry = Top();
    TCellBasic* saved = CurrentCell;
    AddBlock(attrs.get());
    Advance();
    bool isList = sy == OLSy || sy == ULSy || sy == DirSy || sy == MenuSy;
    static const SymbSet ListEnds{OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy};
    if (!ListEnds.Contains(Sy)) {
        if (isList) ++ListLevel;
        const SymbSet divTerm{OLEndSy, LISy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, DDSy, DTSy, EofSy};
        while (Sy != EofSy && Sy != endSy && !TermSet.Contains(Sy)) {
            unsigned mark = g_advance;
            if (Sy == PSy) {
                DoP(TermSet);
            } else if (CommonSet.Contains(Sy)) {
                DoCommonSy();
            } else if (IsListStart(Sy)) {
                DoLists(Sy, TermSet + endSy);
            } else if (Sy == LISy || Sy == DDSy || Sy == DTSy) {
                if (Sy == LISy)
                    if (const TAttribute* v = Attr(ValueSy))
                        if (v->NumValue != 0) number = v->NumValue;
                Symb listSy = sy == AddressSy || sy == BlockQuoteSy ? LISy : sy;
                DoListItem(listSy, Sy, number, TermSet + endSy, plain, type);
                ++number;
            } else if (Sy == AddressSy || Sy == BlockQuoteSy) {
                DoDivEtc(Sy, TermSet + endSy);
            } else if (Sy == DivSy || Sy == FormSy || Sy == CenterSy) {
                DoDivEtc(Sy, divTerm);
            } else {
                Advance();
            }
            if (mark == g_advance) Advance();
        }
        if (isList) --ListLevel;
    }
    SectionEnd();
    RemoveEntry(entry);
    CurrentCell = saved;
    if (Sy == endSy) Advance();
}

// ---------------------------------------------------------------- PRE

void DoPre() {
    SectionEnd();
    TProperties* below = Top();
    auto attrs = CopyAttributes(*Attributes);
    PushPropsWith("pre", "", attrs.get());
    TProperties* preEntry = Top();
    TCellBasic* saved = CurrentCell;
    TCellBasic* preCell = AddBlock(attrs.get())->MyCell.get();
    bool savePre = g_inPre;
    g_inPre = true;
    auto newPre = [&]() { CurrentSection = new TPreFormated(CurrentCell, nullptr, Top(), CurrentUrlTarget, false); };
    CurrentSection = new TPreFormated(CurrentCell, attrs.get(), Top(), CurrentUrlTarget, true);
    TCharCollection chars;
    int cp = CurrentCodePage();
    auto flush = [&]() {
        if (chars.Size > 0) {
            Token->AddString(chars, cp);
            chars.Clear();
        }
        if (Token->Leng > 0) {
            if (!CurrentSection) newPre();
            CurrentSection->AddTokenObj(*Token);
            Token->Clear();
        }
    };
    auto newLine = [&]() {
        flush();
        SectionEnd();
        newPre();
    };
    // A paragraph and a form opened inside the PRE, each with the cell it was
    // opened in (where its end returns to).
    TProperties* pEntry = nullptr;
    TProperties* formEntry = nullptr;
    TCellBasic* pOuter = preCell;
    TCellBasic* formOuter = preCell;
    bool formInP = false;  // the form was opened inside the paragraph
    Token->Clear();
    bool done = false;
    while (!done) {
        if (Ch == 0) {
            flush();
            Sy = EofSy;
            break;
        }
        if (Ch == CR) {
            newLine();
            GetCh();
            continue;
        }
        if (Ch == '&') {
            GetTextEntity(chars, cp);
            continue;
        }
        if (Ch != '<') {
            chars.Add(static_cast<char>(Ch), CharPos);
            if (chars.Size > 200) flush();
            GetCh();
            continue;
        }
        flush();
        Advance();
        Symb sy = Sy;
        if (sy == TextSy) {
            if (!CurrentSection) newPre();
            CurrentSection->AddTokenObj(*Token);
            Token->Clear();
        } else if (FontStyleSet.Contains(sy)) {
            FontStyleStart(sy);
        } else if (FontStyleEndSet.Contains(sy)) {
            FontStyleEnd(sy);
        } else {
            switch (sy) {
                case FontSy:
                case BaseFontSy: DoFont(sy); break;
                case FontEndSy: FontStyleEnd(sy); break;
                case ASy: DoAStart(); break;
                case AEndSy: DoAEnd(); break;
                case ImageSy:
                case PanelSy:
                    if (!CurrentSection) newPre();
                    DoImageOrPanel(sy);
                    break;
                case InputSy:
                case SelectSy:
                case TextAreaSy:
                    if (!CurrentSection) newPre();
                    DoFormControl(sy);
                    break;
                case ScriptSy: DoScript(true); break;
                case ObjectSy:
                    if (ObjectTagEvent) {
                        if (!CurrentSection) newPre();
                        DoObject();
                    }
                    break;
                case PageSy: flush(); AddPage(); newPre(); break;
                case BRSy: {
                    flush();
                    auto brAttrs = CopyAttributes(*Attributes);
                    PushPropsWith("br", "", brAttrs.get());
                    bool before = false, after = false, inside = false;
                    Top()->GetPageBreaks(before, after, inside);
                    PopAProp("br");
                    if (before) AddPage();
                    SectionEnd();
                    if (after) AddPage();
                    newPre();
                    break;
                }
                case PSy:
                    if (!pEntry) {
                        flush();
                        SectionEnd();
                        auto pAttrs = CopyAttributes(*Attributes);
                        PushPropsWith("p", "", pAttrs.get());
                        pEntry = Top();
                        pOuter = CurrentCell;
                        AddBlock(pAttrs.get());
                        newPre();
                        if (Ch == CR) GetCh();
                    }
                    break;
                case PEndSy:
                    if (pEntry) {
                        flush();
                        SectionEnd();
                        if (formEntry && formInP) {
                            // The form ends with the paragraph it is in.
                            RemoveEntry(formEntry);
                            formEntry = nullptr;
                        }
                        RemoveEntry(pEntry);
                        pEntry = nullptr;
                        CurrentCell = pOuter;
                        newPre();
                    }
                    break;
                case FormSy:
                    if (!formEntry) {
                        flush();
                        SectionEnd();
                        auto fAttrs = CopyAttributes(*Attributes);
                        PushPropsWith("form", "", fAttrs.get());
                        formEntry = Top();
                        formOuter = CurrentCell;
                        formInP = pEntry != nullptr;
                        AddBlock(fAttrs.get());
                        CurrentForm = CreateForm(SectionList, fAttrs.get());
                        newPre();
                    }
                    break;
                case FormEndSy:
                    CurrentForm = nullptr;
                    if (formEntry) {
                        flush();
                        SectionEnd();
                        if (pEntry && !formInP) {
                            // A paragraph opened inside the form ends with it.
                            RemoveEntry(pEntry);
                            pEntry = nullptr;
                        }
                        RemoveEntry(formEntry);
                        formEntry = nullptr;
                        CurrentCell = formOuter;
                        newPre();
                    }
                    break;
                case PreEndSy:
                case TDEndSy:
                case THEndSy:
                case EofSy: done = true; break;
                default: break;
            }
        }
    }
    flush();
    SectionEnd();
    PopBackTo(below, preEntry);
    CurrentCell = saved;
    g_inPre = savePre;
    if (Sy != EofSy) Advance();
}

// ---------------------------------------------------------------- head elements

void DoTitle() {
    std::u16string title;
    Advance();
    while (Sy == TextSy) {
        title += Token->GetString();
        Advance();
    }
    DocTitle = WideStringToMultibyte(1252, WideTrim(title));
}

void DoMeta() {
    std::string httpEq = AttrText(HttpEqSy), name = AttrText(NameSy), content = AttrText(ContentSy);
    if (!IsUTF8 && Lower(Trimmed(httpEq)) == "content-type") {
        int cs;
        if (TranslateCharset(content, cs))
            Top()->AssignCharSet(cs);
        else if (Lower(content).find("utf-8") != std::string::npos)
            Top()->AssignUTF8();
        DocCodePage = Top()->CodePage;
    }
    if (MetaEvent) MetaEvent(Owner(), httpEq, name, content);
    Advance();
}

void DoLink() {
    std::string href = AttrText(HRefSy), rel = AttrText(RelSy), rev = AttrText(RevSy);
    if (Lower(Trimmed(rel)) == "stylesheet" && !href.empty()) {
        std::string text, path;
        bool got = false;
        // With an expand-name handler the address is expanded to a URL whose
        // base the sheet's own addresses are read against.
        std::string name = href, base;
        if (SectionList->ExpandName) {
            std::string expanded;
            SectionList->ExpandName(Owner(), href, expanded);
            if (!expanded.empty()) {
                name = expanded;
                base = GetBase(expanded);
            }
        }
        try {
            if (LinkedSheetEvent) {
                got = LinkedSheetEvent(name, text, path);
            } else {
                std::string file = SectionList->ResolveFileName ? SectionList->ResolveFileName(name) : HTMLToDos(name, "");
                // A regular file only, no larger than the program's help texts.
                text = ReadFileBytes(file, kMaxHelpFileSize);
                got = true;
                size_t slash = file.find_last_of("/\\");
                path = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
            }
        } catch (const std::exception&) {
            // A sheet that cannot be had leaves the document unstyled by it.
            got = false;
        }
        if (got) DoStyleText(SectionList->Styles, text, base.empty() ? path : base);
    }
    if (LinkEvent) LinkEvent(Owner(), rel, rev, href);
    Advance();
}

void DoStyleTag() {
    DoStyle(
        SectionList->Styles,
        []() -> unsigned char {
            GetChBasic();
            return Ch;
        },
        Ch, "", false, []() -> unsigned char { return PeekChar(); });
    LCh = static_cast<unsigned char>(std::toupper(Ch));
    Advance();
}

void DoBodyTag() {
    // Text still in the open paragraph counts as content too.
    bool hasContent = BodyBlock && BodyBlock->MyCell->Count() > 0;
    if (CurrentSection && CurrentSection->BuffS.find_first_not_of(u' ') != std::u16string::npos) hasContent = true;
    // Inside any open block (a CENTER too, which keeps the body's cell) the
    // old body must stay: the block still holds its cell.
    if (hasContent || TableDepth > 0 || g_blockDepth > 0 || !BodyBlock || CurrentCell != BodyBlock->MyCell.get()) {
        Advance();
        return;
    }
    SectionList->ClearLists();
    DropSection();
    auto attrs = CopyAttributes(*Attributes);
    PushPropsWith("body", "", attrs.get());
    TProperties* p = Top();
    int mw = SectionList->MarginWidth, mh = SectionList->MarginHeight;
    auto num = [&](Symb s, int& target) {
        if (const TAttribute* a = Attr(s, attrs.get())) target = std::clamp(a->NumValue, 0, 200);
    };
    num(LeftMarginSy, mw);
    num(MarginWidthSy, mw);
    num(TopMarginSy, mh);
    num(MarginHeightSy, mh);
    TColor c;
    if (const TAttribute* a = Attr(BGColorSy, attrs.get()))
        if (ColorFromString(a->TextValue, false, c)) p->Assign(TPropValue(static_cast<int>(c)), piBackgroundColor);
    if (const TAttribute* a = Attr(TextAttrSy, attrs.get()))
        if (ColorFromString(a->TextValue, false, c)) p->Assign(TPropValue(static_cast<int>(c)), piColor);
    if (const TAttribute* a = Attr(BackgroundSy, attrs.get()))
        p->Assign(TPropValue("url(" + a->TextValue + ")"), piBackgroundImage);
    if (Lower(AttrText(BGPropertiesSy, attrs.get())) == "fixed") p->Assign(TPropValue("fixed"), piBackgroundAttachment);
    if (const TAttribute* a = Attr(LinkSy, attrs.get()))
        if (ColorFromString(a->TextValue, false, c)) SectionList->Styles->SetPseudoColor("link", c);
    if (const TAttribute* a = Attr(VLinkSy, attrs.get()))
        if (ColorFromString(a->TextValue, false, c)) SectionList->Styles->SetPseudoColor("visited", c);
    if (const TAttribute* a = Attr(OLinkSy, attrs.get()))
        if (ColorFromString(a->TextValue, false, c)) {
            SectionList->Styles->SetPseudoColor("hover", c);
            SectionList->LinksActive = true;
        }
    p->Assign(TPropValue(mw), piMarginLeft);
    p->Assign(TPropValue(mw), piMarginRight);
    p->Assign(TPropValue(mh), piMarginTop);
    p->Assign(TPropValue(mh), piMarginBottom);
    int i = SectionList->IndexOf(BodyBlock);
    if (i >= 0) {
        BodyBlock->CheckFree();
        SectionList->Delete(i);
    }
    BodyBlock = new TBodyBlock(SectionList, p, SectionList, attrs.get());
    SectionList->Add(BodyBlock, TagPos);
    CurrentCell = BodyBlock->MyCell.get();
    CurrentSection = NewSection(true);
    Advance();
}

// ---------------------------------------------------------------- DoBody

void DoBody(const SymbSet& TermSet) {
    while (Sy != EofSy && !TermSet.Contains(Sy)) {
        unsigned mark = g_advance;
        if (CommonSet.Contains(Sy)) {
            DoCommonSy();
        } else {
            switch (Sy) {
                case BodySy: DoBodyTag(); break;
                case OLSy:
                case ULSy:
                case DirSy:
                case MenuSy:
                case DLSy: DoLists(Sy, TermSet); break;
                case LISy: DoListItem(LISy, LISy, 1, TermSet, false, '1'); break;
                case DDSy:
                case DTSy: DoListItem(DLSy, Sy, 1, TermSet, false, '1'); break;
                case PSy: DoP(TermSet); break;
                case DivSy:
                case CenterSy:
                case FormSy:
                case AddressSy:
                case BlockQuoteSy: DoDivEtc(Sy, TermSet); break;
                case FormEndSy:
                    CurrentForm = nullptr;
                    Advance();
                    break;
                case TitleSy: DoTitle(); break;
                case BaseSy:
                    DocBase = AttrText(HRefSy);
                    DocBaseTarget = AttrText(TargetSy);
                    Advance();
                    break;
                case MetaSy: DoMeta(); break;
                case LinkSy: DoLink(); break;
                case StyleSy: DoStyleTag(); break;
                case BgSoundSy:
                    if (SoundEvent)
                        if (const TAttribute* src = Attr(SrcSy)) {
                            const TAttribute* loop = Attr(LoopSy);
                            SoundEvent(Owner(), src->TextValue, loop ? loop->NumValue : 1, false);
                        }
                    Advance();
                    break;
                default: Advance(); break;
            }
        }
        if (mark == g_advance) Advance();
    }
}

// ---------------------------------------------------------------- tables

uint8_t VAlignOf(const std::string& text) {
    std::string v = Lower(Trimmed(text));
    if (v == "top") return 1;
    if (v == "middle" || v == "center") return 2;
    if (v == "baseline") return 3;
    if (v == "bottom") return 4;
    return 0;
}

std::unique_ptr<TColObj> ColFromAttributes(const TAttributeList* attrs) {
    auto col = std::make_unique<TColObj>();
    if (const TAttribute* w = Attr(WidthSy, attrs)) {
        std::string v = Trimmed(w->TextValue);
        if (!v.empty() && v.back() == '%') {
            if (w->NumValue >= 1 && w->NumValue <= 100) {
                col->ColWidth = 10 * w->NumValue;
                col->AsPercent = true;
            }
        } else if (w->NumValue > 0) {
            col->ColWidth = w->NumValue;
        }
    }
    col->ColAlign = Lower(Trimmed(AttrText(AlignSy, attrs)));
    col->ColVAlign = VAlignOf(AttrText(VAlignSy, attrs));
    return col;
}

int SpanOf(const TAttributeList* attrs) {
    const TAttribute* s = Attr(SpanSy, attrs);
    int n = s ? s->NumValue : 1;
    return std::clamp(n, 1, 100);
}

void DoTable(const SymbSet&) {
    if (TableDepth >= 10) {
        Advance();
        return;
    }
    if (RefusedAsTooDeep(TableSy)) return;
    TBlockLevel level;
    ++TableDepth;
    EndLink();
    SectionEnd();
    auto tableAttrs = CopyAttributes(*Attributes);
    PushPropsWith("table", "", tableAttrs.get());
    TProperties* tableEntry = Top();
    TCellBasic* enclosing = CurrentCell;
    auto* table = new ThtmlTable(enclosing, tableAttrs.get(), tableEntry);
    std::unique_ptr<TTableBlock> block(new TTableBlock(enclosing, tableEntry, enclosing, table, tableAttrs.get(), true));
    bool saveNoBreak = ParserNoBreak;
    int saveListLevel = ListLevel;
    std::unique_ptr<TBlock> caption;
    bool captionBottom = false;
    std::unique_ptr<TCellManager> cellMgr;
    TCellList* row = nullptr;
    TProperties* rowEntry = nullptr;
    TProperties* partEntry = tableEntry;
    TCellObj* cell = nullptr;
    TProperties* cellEntry = nullptr;
    uint8_t rowType = 1, rowVAlign = 0;
    bool seenBody = false;
    int rowIndex = -1;

    auto endCell = [&]() {
        if (!cell) return;
        EndLink();
        SectionEnd();
        // The default spacing below the cell's last paragraph is not the
        // cell's: it would make every report row taller by a blank line.
        cell->Cell->CheckLastBottomMargin();
        cell = nullptr;
        PopBackTo(rowEntry ? rowEntry : partEntry, cellEntry);
        cellEntry = nullptr;
        CurrentCell = enclosing;
        ParserNoBreak = saveNoBreak;
    };
    auto endRow = [&]() {
        endCell();
        if (!row) return;
        row = nullptr;
        PopBackTo(partEntry, rowEntry);
        rowEntry = nullptr;
    };
    auto finish = [&]() {
        EndLink();
        endRow();
        SectionEnd();
        PopBackTo(tableEntry, nullptr);
        CurrentCell = enclosing;
        if (caption) {
            auto* both = new TTableAndCaptionBlock(enclosing, tableEntry, enclosing, tableAttrs.get(), block.release());
            both->TopCaption = !captionBottom;
            both->SetCaptionBlock(caption.release());
            enclosing->Add(both, TagPos);
        } else {
            enclosing->Add(block.release(), TagPos);
        }
        RemoveEntry(tableEntry);
        ParserNoBreak = saveNoBreak;
        ListLevel = saveListLevel;
        --TableDepth;
    };

    try {
        Advance();
        while (Sy != TableEndSy && Sy != CaptionEndSy && Sy != EofSy) {
            unsigned mark = g_advance;
            switch (Sy) {
                case CaptionSy: {
                    captionBottom = Lower(Trimmed(AttrText(AlignSy))) == "bottom";
                    TCellBasic* was = CurrentCell;
                    TSection* wasSection = CurrentSection;
                    CurrentSection = nullptr;
                    auto capAttrs = CopyAttributes(*Attributes);
                    TProperties* capBelow = Top();
                    PushPropsWith("caption", "", capAttrs.get());
                    TProperties* capEntry = Top();
                    // No owner cell yet: the caption must not collapse margins with what
                    // precedes the table.
                    if (!caption) caption.reset(new TBlock(enclosing, Top(), nullptr, capAttrs.get()));
                    CurrentCell = caption->MyCell.get();
                    CurrentSection = NewSection(true);
                    Advance();
                    DoBody(TableTermSet);
                    SectionEnd();
                    PopBackTo(capBelow, capEntry);
                    CurrentCell = was;
                    CurrentSection = wasSection;
                    if (Sy == CaptionEndSy) Advance();
                    break;
                }
                case ColSy:
                    table->AddColInfo(ColFromAttributes(Attributes));
                    for (int i = 1; i < SpanOf(Attributes); ++i) table->AddColInfo(ColFromAttributes(Attributes));
                    Advance();
                    break;
                case ColGroupSy: {
                    auto groupAttrs = CopyAttributes(*Attributes);
                    Advance();
                    while (Sy == TextSy && TokenIsSpace()) Advance();
                    if (Sy != ColSy)
                        for (int i = 0; i < SpanOf(groupAttrs.get()); ++i)
                            table->AddColInfo(ColFromAttributes(groupAttrs.get()));
                    break;
                }
                case ColGroupEndSy: Advance(); break;
                case THeadSy:
                case TBodySy:
                case TFootSy:
                case THeadEndSy:
                case TBodyEndSy:
                case TFootEndSy: {
                    endRow();
                    PopBackTo(tableEntry, partEntry == tableEntry ? nullptr : partEntry);
                    partEntry = tableEntry;
                    rowType = 1;
                    if (Sy == THeadSy || Sy == TBodySy || Sy == TFootSy) {
                        rowType = Sy == THeadSy ? (seenBody ? 1 : 0) : Sy == TFootSy ? 2 : 1;
                        PushPropsWith(TagNameOfSymbol(Sy), "", Attributes);
                        partEntry = Top();
                    }
                    Advance();
                    break;
                }
                case TRSy: {
                    endRow();
                    PushPropsWith("tr", "", Attributes);
                    AssignAlign(AttrText(AlignSy));
                    rowEntry = Top();
                    row = new TCellList(Attributes, Top());
                    row->RowType = rowType;
                    if (rowType == 1) seenBody = true;
                    table->Rows.Add(row);
                    ++rowIndex;
                    rowVAlign = VAlignOf(AttrText(VAlignSy));
                    Advance();
                    break;
                }
                case TDSy:
                case THSy: {
                    Symb cellSy = Sy;
                    endCell();
                    if (!row) {
                        auto none = std::make_unique<TAttributeList>();
                        PushPropsWith("tr", "", none.get());
                        rowEntry = Top();
                        row = new TCellList(none.get(), Top());
                        row->RowType = rowType;
                        if (rowType == 1) seenBody = true;
                        table->Rows.Add(row);
                        ++rowIndex;
                        rowVAlign = 0;
                    }
                    // The tag's attributes are read before the next token: no copy.
                    TAttributeList* cellAttrs = Attributes;
                    PushPropsWith(cellSy == THSy ? "th" : "td", "", cellAttrs);
                    cellEntry = Top();
                    AssignAlign(AttrText(AlignSy, cellAttrs));
                    const TColObj* colSpec = nullptr;
                    if (table->ColInfo.Count() > 0) {
                        if (!cellMgr) cellMgr = std::make_unique<TCellManager>(table->ColInfo.Count());
                        int col = cellMgr->FindColNum(rowIndex);
                        if (col >= 0 && col < table->ColInfo.Count()) colSpec = table->ColInfo[col];
                    }
                    uint8_t va = VAlignOf(AttrText(VAlignSy, cellAttrs));
                    if (va == 0 && colSpec) va = colSpec->ColVAlign;
                    if (va == 0) va = rowVAlign;
                    if (va == 0) va = 2;
                    if (colSpec && !Attr(AlignSy, cellAttrs) && !colSpec->ColAlign.empty())
                        AssignAlign(colSpec->ColAlign);
                    cell = new TCellObj(SectionList, va, cellAttrs, Top());
                    if (colSpec && cell->SpecWd == 0 && colSpec->ColWidth > 0) {
                        cell->SpecWd = colSpec->ColWidth;
                        cell->WidthPercent = colSpec->AsPercent;
                    }
                    row->AddCell(cell);
                    if (cellMgr) cellMgr->AddCell(rowIndex, cell->ColSpan, cell->RowSpan);
                    CurrentCell = cell->Cell.get();
                    ListLevel = 0;
                    ParserNoBreak = Attr(NoWrapSy, cellAttrs) && !(cell->SpecWd > 0 && !cell->WidthPercent);
                    Advance();
                    while (Sy == TextSy && TokenIsSpace()) Advance();
                    // A cell that opens with a paragraph would drop its first
                    // section empty: none is made then, but the cell's font is,
                    // as the paragraph inherits its size.
                    if (Sy == PSy && (!CurrentUrlTarget || CurrentUrlTarget->URL.empty())) Top()->EnsureFont();
                    else CurrentSection = NewSection(true);
                    DoBody(TableTermSet);
                    break;
                }
                case TDEndSy:
                case THEndSy:
                    endCell();
                    Advance();
                    break;
                case TREndSy:
                    endRow();
                    Advance();
                    break;
                case OtherSy: Advance(); break;
                default:
                    if (Sy == TextSy && TokenIsSpace()) {
                        Advance();
                        break;
                    }
                    {
                        // Content between the cells goes before the table.
                        TCellBasic* was = CurrentCell;
                        TSection* wasSection = CurrentSection;
                        CurrentSection = nullptr;
                        CurrentCell = enclosing;
                        DoBody(TableTermSet);
                        SectionEnd();
                        CurrentCell = was;
                        CurrentSection = wasSection;
                    }
                    break;
            }
            if (mark == g_advance) Advance();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (Sy != EofSy) Advance();
}

// ---------------------------------------------------------------- start and end

void ParseInit(TSectionList* List) {
    SectionList = List;
    CurrentCell = List;
    ParserPropStack.Clear();
    if (List->Styles) List->Styles->ForgetCascade();
    auto bottom = std::make_unique<TProperties>();
    if (List->Styles && List->Styles->DefProp) bottom->CopyDefaultFont(*List->Styles->DefProp);
    else bottom->AssignCharSet(List->CharSet);
    ParserPropStack.Add(std::move(bottom));
    SetFontSizes(List->FontSize > 0 ? List->FontSize : 12);
    IDNameList = &List->IDNameList;
    // The reading reports how far it got through the document's own hook.
    ReportProgress = List->ReportProgress;
    ProgressScale = List->ProgressStart;
    IncludeSender = Owner();
    BodyBlock = new TBodyBlock(CurrentCell, Top(), CurrentCell, Attributes);
    CurrentCell->Add(BodyBlock, 0);
    CurrentCell = BodyBlock->MyCell.get();
    g_urlTarget = std::make_unique<TUrlTarget>();
    CurrentUrlTarget = g_urlTarget.get();
    LinkOpen = false;
    BaseFontSize = 3;
    DocTitle.clear();
    DocBase.clear();
    DocBaseTarget.clear();
    CurrentForm = nullptr;
    DefaultForm = nullptr;
    delete CurrentSection;
    CurrentSection = NewSection(true);
    Attributes->Clear();
    ParserNoBreak = false;
    InComment = false;
    ListLevel = 0;
    TableDepth = 0;
    g_blockDepth = 0;
    g_dropsPending = 0;
    g_dropEnd.fill(0);
    g_inlineBase = 0;
    g_inlineDropEnd.fill(0);
    ScanPass = false;
    g_inPre = false;
}

// What every parse does at its end, normal or not.
void ParseDone() {
    Attributes->Clear();
    try {
        if (CurrentSection && CurrentCell) SectionEnd();
    } catch (...) {
        CurrentSection = nullptr;
    }
    DropSection();
    ParserPropStack.Clear();
    if (SectionList && SectionList->Styles) SectionList->Styles->ForgetCascade();
    CurrentUrlTarget = nullptr;
    g_urlTarget.reset();
    IDNameList = nullptr;
    ReportProgress = nullptr;
    ProgressScale = 0;
    IncludeEvent = nullptr;
    SoundEvent = nullptr;
    MetaEvent = nullptr;
    LinkEvent = nullptr;
    ParserNoBreak = false;
    NoCommentMode = false;
    g_inPre = false;
    EndTokenizer();
}

}  // namespace

void SetFontSizes(double BasePoints) {
    static const int normal[8] = {0, 8, 10, 12, 14, 18, 24, 36};
    static const int pre[8] = {0, 7, 8, 10, 12, 15, 20, 30};
    for (int i = 1; i <= 7; ++i) {
        FontSizes[i] = BasePoints * normal[i] / 12.0;
        PreFontSizes[i] = BasePoints * pre[i] / 12.0;
    }
}

void PushProps(const std::string& Tag, const std::string& Pseudo) { PushPropsWith(Tag, Pseudo, Attributes); }

void PopAProp(const std::string& Tag) {
    for (int i = ParserPropStack.Count() - 1; i > 0; --i)
        if (ParserPropStack[i]->PropTag == Tag) {
            RemoveAt(i);
            return;
        }
}

void PopProp() {
    if (ParserPropStack.Count() > 1) ParserPropStack.Delete(ParserPropStack.Count() - 1);
}

namespace {
// Occurrences of a lower-case ASCII word in any letter case, counted up to
// `limit`.
int CountNoCase(const std::string& text, const char* word, int limit) {
    const size_t n = std::strlen(word);
    if (n == 0 || text.size() < n || !(word[0] & 0x20)) return 0;
    // Candidates are found by their first letter in either case (memchr is
    // quick over a long document), then compared.
    const char lower = word[0], upper = static_cast<char>(lower & ~0x20);
    const char* const begin = text.data();
    const char* const last = begin + (text.size() - n) + 1;  // past the last possible start
    auto next = [last](const char* from, char c) {
        const void* hit = from < last ? std::memchr(from, c, static_cast<size_t>(last - from)) : nullptr;
        return hit ? static_cast<const char*>(hit) : last;
    };
    const char* lo = next(begin, lower);
    const char* up = upper == lower ? last : next(begin, upper);
    int count = 0;
    while (count < limit) {
        const char* at = std::min(lo, up);
        if (at == last) break;
        size_t k = 1;
        while (k < n && (at[k] | 0x20) == word[k]) ++k;
        if (k == n) ++count;
        if (at == lo) lo = next(at + 1, lower);
        else up = next(at + 1, upper);
    }
    return count;
}
}  // namespace

void HtmlParseString(const std::string& Doc, TSectionList* List, TIncludeType Include, TSoundType Sound,
                     TMetaType Meta, TLinkType Link) {
    IncludeEvent = nullptr;
    SoundEvent = nullptr;
    MetaEvent = nullptr;
    LinkEvent = nullptr;
    try {
        // The bottom entry must exist before the tokenizer reads the code page.
        SectionList = List;
        ParserPropStack.Clear();
        ParseInit(List);
        InitTokenizer(Doc);
        // First pass: count the links. Every counted link spells "href" in
        // the text, so a document with no more than 400 of them needs no pass.
        int links = 0;
        if (CountNoCase(Doc, "href", 401) > 400) {
            ScanPass = true;
            GetCh();
            Next();
            while (Sy != EofSy && links < 401) {
                if (Sy == ASy && Attributes->Find(HRefSy)) ++links;
                Next();
            }
            RestartTokenizer();
            ScanPass = false;
        }
        List->LinksFlag = links > 400;
        IncludeEvent = std::move(Include);
        SoundEvent = std::move(Sound);
        MetaEvent = std::move(Meta);
        LinkEvent = std::move(Link);
        GetCh();
        Advance();
        DoBody(SymbSet{});
    } catch (...) {
        ParseDone();
        throw;
    }
    ParseDone();
}

void HtmlParseTextString(const std::string& Doc, TSectionList* List) {
    try {
        SectionList = List;
        ParserPropStack.Clear();
        ParseInit(List);
        InitTokenizer(Doc);
        NoCommentMode = true;
        DropSection();
        PushPropsWith("pre", "", nullptr);
        AddBlock(nullptr);
        CurrentSection = new TPreFormated(CurrentCell, nullptr, Top(), nullptr, true);
        int cp = CurrentCodePage();
        TCharCollection chars;
        auto flush = [&]() {
            if (chars.Size == 0) return;
            Token->Clear();
            Token->AddString(chars, cp);
            chars.Clear();
            CurrentSection->AddTokenObj(*Token);
            Token->Clear();
        };
        GetCh();
        while (Ch != 0) {
            if (Ch == CR) {
                flush();
                SectionEnd();
                CurrentSection = new TPreFormated(CurrentCell, nullptr, Top(), nullptr, false);
            } else {
                chars.Add(static_cast<char>(Ch), CharPos);
                if (chars.Size > 200) flush();
            }
            GetCh();
        }
        flush();
        SectionEnd();
        PopAProp("pre");
    } catch (...) {
        ParseDone();
        throw;
    }
    ParseDone();
}

}  // namespace Readhtml

#pragma once
// The element handlers: they consume the tokenizer's symbols and build the
// document (blocks, tables, paragraphs, images, panels and form controls in
// a TSectionList), keeping one TProperties per open element on
// ParserPropStack so that every piece of content gets the cascaded style of
// its place. Recursive descent, one routine per element family, each looping
// until a symbol of its caller's terminator set arrives. Malformed input is
// never an error: an unexpected symbol either ends a handler (and an outer
// one takes it) or is skipped.
//
// Like the tokenizer, the state is unit-wide; one document is read at a time.
// They live here, not beside the tokenizer, because they build the layout's
// sections and the reader library must not depend on the layout.
#include <functional>
#include <memory>
#include <string>

#include "html/reader/html_tokenizer.h"
#include "html/reader/viewer_types.h"

class TObject;
class TSectionList;
class TCellBasic;
class TSection;
class TBodyBlock;
class ThtmlForm;
class TPanelObj;
class TProperties;

// Sender, SRC, Loop, Background (always false here).
using TSoundType = std::function<void(TObject* Sender, const std::string& SRC, int Loop, bool Background)>;
// Sender, HTTP-EQUIV, NAME, CONTENT.
using TMetaType = std::function<void(TObject* Sender, const std::string& HttpEq, const std::string& Name,
                                     const std::string& Content)>;
// Sender, REL, REV, HREF.
using TLinkType =
    std::function<void(TObject* Sender, const std::string& Rel, const std::string& Rev, const std::string& Href)>;
// An OBJECT element: the panel made for it, its attributes and its PARAM
// lines ("name=value"); clearing WantPanel drops the panel.
using TObjectTagEvent = std::function<void(TObject* Sender, TPanelObj* Panel, const TStringList& Attributes,
                                           const TStringList& Params, bool& WantPanel)>;
// A linked style sheet: given HREF, fill Text with the sheet and Path with the
// base its urls resolve against; false when it cannot be had.
using TLinkedSheetEvent = std::function<bool(const std::string& Href, std::string& Text, std::string& Path)>;

namespace Readhtml {

// ---- parser state (reset by each parse)
extern TSectionList* SectionList;
extern TCellBasic* CurrentCell;
extern TSection* CurrentSection;  // owned here until added to CurrentCell
extern TBodyBlock* BodyBlock;
extern TUrlTarget* CurrentUrlTarget;
extern bool LinkOpen;
extern int TableDepth;
extern int ListLevel;
extern int BaseFontSize;
extern double FontSizes[8];     // entries 1..7
extern double PreFontSizes[8];  // entries 1..7
extern ThtmlForm* CurrentForm;
// The form of controls outside any FORM (made on first need).
extern ThtmlForm* DefaultForm;

// ---- results read by the viewer
extern std::string DocTitle, DocBase, DocBaseTarget;

// ---- events (installed by HtmlParseString for the second pass)
extern TSoundType SoundEvent;
extern TMetaType MetaEvent;
extern TLinkType LinkEvent;
// Set by the viewer when it wants OBJECT elements; null keeps them transparent.
extern TObjectTagEvent ObjectTagEvent;
// Set by the viewer to supply linked sheets; null reads the file named by
// HREF (resolved through the section list's ResolveFileName when set).
extern TLinkedSheetEvent LinkedSheetEvent;

// Parses a document into List. Anything thrown passes to the caller; the list
// then holds what was read.
void HtmlParseString(const std::string& Doc, TSectionList* List, TIncludeType Include = nullptr,
                     TSoundType Sound = nullptr, TMetaType Meta = nullptr, TLinkType Link = nullptr);
// A plain-text document: preformatted, one section per line.
void HtmlParseTextString(const std::string& Doc, TSectionList* List);

// FONT SIZE=1..7 in points for a base size.
void SetFontSizes(double BasePoints);

// A new entry inheriting from the top, combined with the style sheet and the
// current Attributes' class, id, style and title.
void PushProps(const std::string& Tag, const std::string& Pseudo = "");
// Removes the most recent entry named Tag; those above it are re-inherited.
void PopAProp(const std::string& Tag);
// Drops the top entry unless it is the bottom one.
void PopProp();

}  // namespace Readhtml

#pragma once
// The style-sheet parser: CSS text into the document's TStyleList, and the
// text of a style attribute into a TProperties. Selectors of tag names,
// classes, ids and pseudo-classes, descendant selectors, media blocks,
// comments and the usual shorthands. State lives in this unit; it is not
// re-entrant.
#include <functional>
#include <string>

class TStyleList;
class TProperties;

// Source of characters; returns NUL at the end (and keeps returning it).
using TStyleGetCh = std::function<unsigned char()>;

// Parses a whole sheet. On entry Ch is the caller's current character; on
// return it holds the upper-cased character at which parsing stopped (the
// "<" of "</style>" for an embedded sheet). Path is the base against which
// "url(" values are resolved ("" for embedded sheets).
// peekCh, when given, shows the next character without taking it, so that an
// empty embedded sheet stops at its end tag's "<" without reading past it.
void DoStyle(TStyleList* styles, const TStyleGetCh& getCh, unsigned char& ch, const std::string& path,
             bool linked, const TStyleGetCh& peekCh = nullptr);
// A linked sheet's whole text.
void DoStyleText(TStyleList* styles, const std::string& text, const std::string& path);
// Declarations "name: value; ..." into props.
void ParsePropertyStr(const std::string& text, TProperties* props);
// Normal form of a simple selector: tag, classes, ids, pseudo-classes.
std::string SortContextualItems(const std::string& selector);

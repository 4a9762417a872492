#pragma once
// A small reader of rich-text (RTF) documents: text with bold, italic,
// underline, size, colour and face, paragraph and line breaks and tabs.
// Tables of fonts and colours are read for the runs; pictures, style sheets,
// document information and ignorable destinations are skipped. Any input is
// read to its end without failing.
#include <string>
#include <vector>

#include "platform/gui/graphics.h"

struct TRtfRun {
    std::u16string Text;  // "\n" for paragraph and line breaks, "\t" for tabs
    bool Bold = false, Italic = false, Underline = false;
    int FontSize = 12;       // points
    TColor Color = clNone;   // clNone: the default colour
    std::string FontName;    // empty: the default face
    bool SameFormat(const TRtfRun& o) const {
        return Bold == o.Bold && Italic == o.Italic && Underline == o.Underline &&
               FontSize == o.FontSize && Color == o.Color && FontName == o.FontName;
    }
};

struct TRtfDocument {
    std::vector<TRtfRun> Runs;
    std::u16string PlainText() const;
};

// Reads an RTF document given as bytes. Text that is not RTF is read as
// plain Windows-1252 text.
TRtfDocument ReadRtf(const std::string& data);
bool LooksLikeRtf(const std::string& data);

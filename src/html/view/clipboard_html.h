#pragma once
// The clipboard's "HTML Format" block for a selection of the viewer: the
// source text of the loaded file up to the selection's end, the selected part
// marked as the fragment, behind a header of byte offsets.
#include <string>

struct THtmlClipSource {
    std::string Source;       // the file as handed to the reader (bytes of CodePage)
    int StartSrc = 0;         // source position (0-based) of the selection's start
    int EndSrc = -1;          // source position of the selection's end; -1: none (the end of the text)
    std::string CurrentFile;  // "" for a document that was never saved
    int CodePage = 0;         // the document's code page (65001 is UTF-8 already)
    int FontSize = 12;        // the viewer's default font, for the body style
    std::string FontName = "Times New Roman";
};

// The HTML text of the block (UTF-8), from the doctype line to the end marker.
std::string ClipboardHtmlText(const THtmlClipSource& in);
// The whole block: header, source line, HTML text and a terminating NUL.
std::string ClipboardHtmlBlock(const THtmlClipSource& in);
// The header's "SourceURL:..." line without its line end.
std::string ClipboardSourceLine(const std::string& currentFile);

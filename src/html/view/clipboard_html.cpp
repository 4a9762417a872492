#include "html/view/clipboard_html.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "html/layout/document.h"
#include "html/view/html_viewer.h"
#include "platform/gui/clipboard.h"
#include "platform/runtime/codepage.h"

namespace {

const char* const kStartMark = "<!--StartFragment-->";
const char* const kEndMark = "<!--EndFragment-->";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

size_t FindNoCase(const std::string& text, const std::string& lowerKey, size_t from = 0) {
    return Lower(text).find(lowerKey, from);
}

// Deletes every element that begins with the key: the key, then all up to
// and including the next ">" (or the rest of the text).
void RemoveElements(std::string& text, const std::string& lowerKey) {
    std::string low = Lower(text);
    for (size_t at = low.find(lowerKey); at != std::string::npos; at = low.find(lowerKey, at)) {
        const size_t close = low.find('>', at + lowerKey.size());
        const size_t end = close == std::string::npos ? low.size() : close + 1;
        text.erase(at, end - at);
        low.erase(at, end - at);
    }
}

}  // namespace

std::string ClipboardSourceLine(const std::string& currentFile) {
    if (currentFile.empty()) return "SourceURL:unsaved:///ThtmlViewer.htm";
    if (currentFile.find("://") != std::string::npos) return "SourceURL:" + currentFile;
    return "SourceURL:file://" + currentFile;
}

std::string ClipboardHtmlText(const THtmlClipSource& in) {
    std::string text = in.Source;
    const int len = static_cast<int>(text.size());
    // 1-based, as the walk below counts.
    const int start = std::clamp(in.StartSrc + 1, 1, len + 1);
    // A selection that runs to the end keeps the whole text.
    const int end = in.EndSrc < 0 ? len + 1 : std::clamp(in.EndSrc + 1, 1, len + 1);
    text.resize(static_cast<size_t>(end - 1));

    // Trailing blanks and tags belong to what follows the fragment.
    int i = static_cast<int>(text.size());
    auto at = [&](int k) { return static_cast<unsigned char>(text[static_cast<size_t>(k - 1)]); };
    while (i > start) {
        const unsigned char c = at(i);
        if (c < 33) {
            --i;
        } else if (c == '>') {
            while (i > start && at(i) != '<') --i;
            if (i > start) --i;
        } else {
            break;
        }
    }
    if (i <= start) i = start - 1;
    text.resize(static_cast<size_t>(std::max(i, 0)));

    text.insert(std::min(static_cast<size_t>(start - 1), text.size()), kStartMark);
    RemoveElements(text, "<meta");
    RemoveElements(text, "<!doctype");
    // Page breaks make no sense in a pasted fragment.
    for (size_t p = FindNoCase(text, "page-break-"); p != std::string::npos; p = FindNoCase(text, "page-break-", p))
        text.erase(p, 1);

    const std::string style = "<style> body {font-size: " + std::to_string(in.FontSize) + "pt; font-family: \"" +
                              in.FontName + "\"; }</style>";
    if (const size_t head = FindNoCase(text, "<head>"); head != std::string::npos) {
        text.insert(head, style);
    } else {
        const size_t html = FindNoCase(text, "<html>");
        text.insert(html == std::string::npos ? 0 : html, "<head>" + style + "</head>");
    }

    const std::string utf8 = in.CodePage == 65001 ? text : WideToMultiByte(65001, MultiByteToWide(in.CodePage, text));
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n" + utf8 + kEndMark;
}

std::string ClipboardHtmlBlock(const THtmlClipSource& in) {
    const std::string html = ClipboardHtmlText(in);
    const std::string source = ClipboardSourceLine(in.CurrentFile);
    // The five fixed lines take 99 bytes with the source line's CR LF.
    const size_t startHtml = source.size() + 99;
    const size_t endHtml = startHtml + html.size();
    const size_t startFragment = startHtml + html.find(kStartMark) + 20;
    const size_t endFragment = startHtml + html.rfind(kEndMark);
    char header[160];
    std::snprintf(header, sizeof header,
                  "Version:1.0\r\nStartHTML:%.8zu\r\nEndHTML:%.8zu\r\nStartFragment:%.8zu\r\nEndFragment:%.8zu\r\n",
                  startHtml, endHtml, startFragment, endFragment);
    std::string block = header;
    block += source;
    block += "\r\n";
    block += html;
    block += '\0';
    return block;
}

// ---------------------------------------------------------------- the viewer's copy

void THTMLViewer::CopyToClipboard() {
    const int length = sections_->GetSelLength();
    if (length <= 0) return;
    THtmlClipSource in;
    in.Source = documentSource_;
    in.StartSrc = sections_->FindSourcePos(sections_->SelB);
    in.EndSrc = sections_->FindSourcePos(sections_->SelE);
    in.CurrentFile = currentFile_;
    in.CodePage = docCodePage_;
    in.FontSize = defFontSize_;
    in.FontName = defFontName_;
    TClipboard& clipboard = Clipboard();
    clipboard.Open();
    try {
        sections_->CopyToClipboard();
        if (in.StartSrc >= 0) clipboard.SetAsHandle(RegisterClipboardFormat("HTML Format"), ClipboardHtmlBlock(in));
    } catch (...) {
        clipboard.Close();
        throw;
    }
    clipboard.Close();
}

// The "HTML Format" block: header offsets that frame the fragment, the
// fragment cut from the source, the body font added and the text in UTF-8.
#include <gmock/gmock.h>

#include <cstdlib>

#include "html/view/clipboard_html.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

size_t Offset(const std::string& block, const std::string& key) {
    const size_t at = block.find(key + ":");
    return at == std::string::npos ? 0 : std::strtoul(block.c_str() + at + key.size() + 1, nullptr, 10);
}

// The HTML between the fragment marks.
std::string Fragment(const std::string& block) {
    const size_t s = Offset(block, "StartFragment"), e = Offset(block, "EndFragment");
    return block.substr(s, e - s);
}

THtmlClipSource Source(const std::string& text, int start, int end) {
    THtmlClipSource in;
    in.Source = text;
    in.StartSrc = start;
    in.EndSrc = end;
    return in;
}

TEST(ClipboardHtml, HeaderOffsetsFrameTheFragmentAndTheHtml) {
    const std::string doc = "<html><head><title>T</title></head><body><p>Um <b>dois</b> tres</p></body></html>";
    THtmlClipSource in = Source(doc, static_cast<int>(doc.find("Um")), static_cast<int>(doc.find(" tres")));
    in.CurrentFile = "C:\\a.htm";
    const std::string block = ClipboardHtmlBlock(in);

    // 99 bytes of fixed lines plus the 25 of "SourceURL:file://C:\a.htm".
    EXPECT_THAT(block, StartsWith("Version:1.0\r\nStartHTML:00000124\r\nEndHTML:"));
    EXPECT_EQ(block.substr(97, 27), "SourceURL:file://C:\\a.htm\r\n");
    EXPECT_EQ(block.back(), '\0');
    const size_t startHtml = Offset(block, "StartHTML"), endHtml = Offset(block, "EndHTML");
    EXPECT_EQ(endHtml, block.size() - 1);
    EXPECT_THAT(block.substr(startHtml), StartsWith("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"));
    EXPECT_EQ(block.substr(Offset(block, "EndFragment"), 18), "<!--EndFragment-->");
    EXPECT_EQ(block.substr(Offset(block, "StartFragment") - 20, 20), "<!--StartFragment-->");
    // The end tag of the fragment's last element belongs to what follows.
    EXPECT_EQ(Fragment(block), "Um <b>dois");
    // The document's head stays in front of the fragment, with the body font.
    EXPECT_THAT(block, HasSubstr("<style> body {font-size: 12pt; font-family: \"Times New Roman\"; }</style><head>"));
}

TEST(ClipboardHtml, SourceLineNamesTheFile) {
    EXPECT_EQ(ClipboardSourceLine(""), "SourceURL:unsaved:///ThtmlViewer.htm");
    EXPECT_EQ(ClipboardSourceLine("http://x/y.htm"), "SourceURL:http://x/y.htm");
    EXPECT_EQ(ClipboardSourceLine("/tmp/atual.html"), "SourceURL:file:///tmp/atual.html");
}

TEST(ClipboardHtml, ASelectionToTheEndKeepsTheTextAndDropsTrailingTagsAndBlanks) {
    const std::string doc = "<p>abc</p>\r\n<p>fim</p>\r\n";
    const std::string html = ClipboardHtmlText(Source(doc, 3, -1));
    // No head and no html tag: the style goes at the very start, wrapped.
    EXPECT_THAT(html, StartsWith("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<head><style>"));
    EXPECT_THAT(html, HasSubstr("</style></head><p><!--StartFragment-->abc</p>\r\n<p>fim<!--EndFragment-->"));

    // A source that ends in text keeps its last character.
    EXPECT_THAT(ClipboardHtmlText(Source("<p>abc", 3, -1)), HasSubstr("<!--StartFragment-->abc<!--EndFragment-->"));
}

TEST(ClipboardHtml, MetaDoctypeAndPageBreaksAreTakenOut) {
    const std::string doc =
        "<!DOCTYPE html><HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html\">"
        "<style>h1 {PAGE-BREAK-before: always}</style></HEAD><body><h1>X</h1><p>Y</p></body></HTML>";
    const std::string html = ClipboardHtmlText(Source(doc, static_cast<int>(doc.find("<h1>")), static_cast<int>(doc.find("</p>"))));
    EXPECT_THAT(html, Not(HasSubstr("META")));
    EXPECT_THAT(html, Not(HasSubstr("<!DOCTYPE html>")));
    EXPECT_THAT(html, HasSubstr("{AGE-BREAK-before: always}"));
    // The style goes before the head tag, wherever its case.
    EXPECT_THAT(html, HasSubstr("<HTML><style> body {"));
    EXPECT_THAT(html, HasSubstr("<!--StartFragment--><h1>X</h1><p>Y<!--EndFragment-->"));
}

TEST(ClipboardHtml, TextArrivesAsUtf8FromTheDocumentsCodePage) {
    // "Revisão" in Windows-1252 (the report's code page) and in ISO 8859-2.
    THtmlClipSource in = Source("<p>Revis\xE3o</p>", 3, 11);
    in.CodePage = 1252;
    in.FontName = "Arial";
    in.FontSize = 8;
    std::string html = ClipboardHtmlText(in);
    EXPECT_THAT(html, HasSubstr("Revis\xC3\xA3o"));
    EXPECT_THAT(html, HasSubstr("font-size: 8pt; font-family: \"Arial\""));
    in.Source = "<p>\xB1\xE6</p>";  // "ąć" in ISO 8859-2
    in.EndSrc = 5;
    in.CodePage = 28592;
    EXPECT_THAT(ClipboardHtmlText(in), HasSubstr("\xC4\x85\xC4\x87"));
    // UTF-8 documents are taken as they are.
    in.Source = "<p>\xC3\xA3</p>";
    in.CodePage = 65001;
    EXPECT_THAT(ClipboardHtmlText(in), HasSubstr("<!--StartFragment-->\xC3\xA3<!--EndFragment-->"));
}

TEST(ClipboardHtml, AFragmentOfOnlyTagsIsEmpty) {
    const std::string doc = "<p>a</p><br><br>  <p>b</p>";
    const std::string html = ClipboardHtmlText(Source(doc, 8, 18));
    EXPECT_THAT(html, HasSubstr("<p>a</p><!--StartFragment--><!--EndFragment-->"));
}

}  // namespace

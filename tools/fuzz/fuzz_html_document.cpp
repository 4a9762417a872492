// Whole HTML documents: any bytes are parsed into a document (blocks, tables,
// paragraphs, lists, forms) and laid out and painted at a width taken from
// the input, never a crash and never a hang. Two documents are read into the
// same document list one after the other, as the viewer reads the pages a
// user opens.
//
// The first byte picks the width and how the rest is read: odd, HTML as
// written (and a first "<" is the start of an HTML page); 2 above a multiple
// of 8, plain text; 6 above one, random tag soups that the rest seeds; any
// other, tag soup as the rest spells it (below), where start tags and end
// tags of open elements in any order (the misnesting that real pages hold)
// are a few bytes away.
// The second document follows the first NUL byte (HTML, text) or the byte
// 255 (tag soup).
#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"

namespace {

// Every tag the reader knows (the heading tag with three of its levels).
const char* const kTags[] = {
    "html", "title", "body", "head", "b", "i", "h1", "h2", "h3", "em", "strong", "u", "cite", "var", "tt", "code",
    "kbd", "samp", "ol", "ul", "dir", "menu", "dl", "a", "address", "blockquote", "pre", "center", "table", "td",
    "th", "caption", "form", "textarea", "select", "option", "font", "sub", "sup", "big", "small", "p", "map",
    "frameset", "noframes", "script", "div", "s", "strike", "tr", "nobr", "style", "span", "colgroup", "label",
    "thead", "tbody", "tfoot", "object", "li", "br", "hr", "dd", "dt", "img", "base", "button", "input",
    "selected", "basefont", "area", "frame", "page", "bgsound", "wrap", "meta", "panel", "wbr", "link", "col",
    "param", "readonly"};
constexpr int kTagCount = sizeof kTags / sizeof kTags[0];
constexpr int kWithEnd = 59;  // the first ones have an end tag

// The tags that open blocks, tables, lists, forms and styles: what misnested
// end tags break. Each has more codes of its own, so that short inputs hold
// them in many orders.
const char* const kStructural[] = {"body", "center", "div", "form", "pre", "table", "caption", "tr",
                                   "td", "th", "thead", "p", "a", "b", "font", "span",
                                   "ul", "li", "dl", "h1", "select", "textarea", "blockquote", "html"};
constexpr int kStructuralCount = sizeof kStructural / sizeof kStructural[0];  // 24 groups of 8 codes

// Attributes the soup gives its start tags.
const char* const kAttributes[] = {
    " href=x", " href=#n", " name=n", " id=n", " class=c", " align=center", " align=right", " valign=top",
    " colspan=3", " rowspan=2", " colspan=1000", " rowspan=65534", " width=50%", " width=300", " height=40",
    " border=1", " cellpadding=4", " cellspacing=0", " bgcolor=yellow", " background=x.gif", " color=red",
    " size=+2", " size=7", " face=arial", " type=checkbox", " type=radio", " type=submit", " type=image",
    " type=hidden", " value=v", " checked", " selected", " multiple", " rows=3", " cols=9", " wrap=off",
    " src=x.png", " alt=alt", " usemap=#m", " shape=circle", " coords=\"1,2,3\"", " start=5", " clear=all",
    " nowrap", " tabindex=2", " disabled", " readonly", " leftmargin=0", " topmargin=0", " text=blue",
    " style=\"float:left;width:40px\"", " style=\"overflow:hidden;height:20px\"", " style=\"display:none\"",
    " style=\"position:absolute;top:5px\"", " style=\"page-break-before:always\"",
    " style=\"border:2px solid red;padding:3px\"", " style=\"font:bold 12pt arial\"",
    " style=\"background:url(x.gif) repeat-x\"", " style=\"margin-left:-20px\"", " style=\"white-space:nowrap\"",
    " style=\"list-style:square\"", " style=\"text-align:justify\"", " http-equiv=content-type content=utf-8",
    " rel=stylesheet"};
constexpr int kAttributeCount = sizeof kAttributes / sizeof kAttributes[0];

const char* const kTexts[] = {"x", " ", "\n", "word ", "&amp;", "&nbsp;", "<", ">", "&#233;", "\t", "longerwordhere",
                              "1.116,67", "\r\n", "<!-- c -->", "\xe7\xe3"};
constexpr int kTextCount = sizeof kTexts / sizeof kTexts[0];

bool HasEnd(const std::string& tag) {
    for (int i = 0; i < kWithEnd; ++i)
        if (tag == kTags[i]) return true;
    return false;
}

// Tag soup, a byte a token:
//   0-191    a structural tag (eight codes each): the first four open it, the
//            others close one of the four innermost open elements, whatever
//            they are (its own end tag when none is open);
//   192-206  the next byte names any tag: even, its start tag, odd, its end;
//   207      the next byte names any attribute;
//   208-239  an attribute for the last start tag;
//   240-254  a piece of text.
std::string Soup(const uint8_t* data, size_t size) {
    std::string html;
    std::vector<std::string> open;
    bool inStart = false;  // a start tag is open for attributes
    auto startTag = [&](const std::string& tag) {
        if (inStart) html += '>';
        html += "<" + tag;
        inStart = true;
        if (HasEnd(tag)) open.push_back(tag);
    };
    auto endTag = [&](const std::string& tag) {
        if (inStart) html += '>';
        inStart = false;
        html += "</" + tag + ">";
    };
    for (size_t i = 0; i < size; ++i) {
        const int b = data[i];
        if (b < 8 * kStructuralCount) {
            const std::string tag = kStructural[b / 8];
            const size_t depth = static_cast<size_t>(b % 8 - 4);
            if (b % 8 < 4) {
                startTag(tag);
            } else if (depth < open.size()) {
                const size_t k = open.size() - 1 - depth;
                endTag(open[k]);
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                endTag(tag);
            }
        } else if (b < 207) {
            if (++i == size) break;
            const std::string tag = kTags[(data[i] / 2) % kTagCount];
            if (data[i] % 2 == 0) startTag(tag);
            else endTag(tag);
        } else if (b == 207) {
            if (++i == size) break;
            if (inStart) html += kAttributes[data[i] % kAttributeCount];
        } else if (b < 240) {
            if (inStart) html += kAttributes[b - 208];
        } else {
            if (inStart) html += '>';
            inStart = false;
            html += kTexts[(b - 240) % kTextCount];
        }
    }
    if (inStart) html += '>';
    return html;
}

// Random tag soups of a few hundred tokens, their random numbers seeded by
// the bytes: each input two documents of their own. Random soups find
// misnesting faults within a few hundred documents, sooner than mutations of
// one.
std::vector<std::string> RandomSoups(const uint8_t* data, size_t size) {
    uint64_t seed = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 1099511628211ull;
    std::mt19937_64 random(seed);
    std::vector<std::string> docs;
    for (int d = 0; d < 2; ++d) {
        std::vector<uint8_t> bytes;
        const int tokens = 64 + static_cast<int>(random() % 192);
        for (int i = 0; i < tokens; ++i) {
            const int kind = static_cast<int>(random() % 20);
            if (kind < 15) {
                bytes.push_back(static_cast<uint8_t>(random() % (8 * kStructuralCount)));
            } else if (kind == 15) {
                bytes.push_back(static_cast<uint8_t>(192 + random() % 15));
                bytes.push_back(static_cast<uint8_t>(random() % 256));
            } else if (kind < 18) {
                bytes.push_back(static_cast<uint8_t>(208 + random() % 32));
            } else {
                bytes.push_back(static_cast<uint8_t>(240 + random() % 15));
            }
        }
        docs.push_back(Soup(bytes.data(), bytes.size()));
    }
    return docs;
}

void ReadLayOutAndPaint(TSectionList& list, const std::string& doc, bool html, int width) {
    list.Clear();
    list.SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue, clBlack,
                  12);
    if (html)
        Readhtml::HtmlParseString(doc, &list);
    else
        Readhtml::HtmlParseTextString(doc, &list);
    TCanvas canvas;
    int maxWidth = 0, curs = 0;
    list.Layout(canvas, 0, width, 600, 0, maxWidth, curs);
    list.Draw(canvas, TRect{0, 0, width, 2000}, width, 0, 0, 0, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 20) return 0;
    // Form controls are widgets: a full application, not just the GUI one.
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    static TFixedFontService fonts;
    static TViewerGlobalsUse globals;
    SetFontService(&fonts);
    const int width = 20 + data[0] * 4;
    const bool page = data[0] == '<';
    const bool html = (data[0] & 1) || page, text = !html && data[0] % 8 == 2;
    const bool random = !html && data[0] % 8 == 6, soup = !html && !text && !random;
    const uint8_t* rest = page ? data : data + 1;
    const size_t n = page ? size : size - 1;
    std::string first, second;
    TSectionList list(nullptr, nullptr);
    if (random) {
        for (const std::string& doc : RandomSoups(rest, n)) ReadLayOutAndPaint(list, doc, true, width);
        return 0;
    }
    if (soup) {
        size_t cut = 0;
        while (cut < n && rest[cut] != 255) ++cut;
        first = Soup(rest, cut);
        if (cut < n) second = Soup(rest + cut + 1, n - cut - 1);
    } else {
        first.assign(reinterpret_cast<const char*>(rest), n);
        const size_t cut = first.find('\0');
        if (cut != std::string::npos) {
            second = first.substr(cut + 1);
            first.resize(cut);
        }
    }
    ReadLayOutAndPaint(list, first, !text, width);
    if (!second.empty()) ReadLayOutAndPaint(list, second, !text, width);
    return 0;
}

// The font database and the widgets keep caches that grow over the process's
// life, so nearly every input would end in a leak scan taking most of the
// run: leaks are not looked for here (nor in the test suite), which keeps the
// target at hundreds of inputs a second.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

// Odd documents never crash or hang the layout: random sequences of tags that
// stress floats, widths, positioning and paging, laid out at widths down to
// nothing, painted, selected, hit and printed page by page.
#include <random>

#include "html/layout/html_parser.h"
#include "layout_fixture.h"

namespace layout_test {
namespace {

class RobustnessTest : public LayoutTest {};

TEST_F(RobustnessTest, RandomDocumentsLayOutPaintAndPage) {
    TStringBitmapList cache;
    doc->BitmapList = &cache;
    const char* pieces[] = {
        "<p>", "</p>", "<div style=\"float:left;width:50px\">", "<div style=\"float:right\">", "</div>",
        "<table border=1>", "<tr>", "<td>", "<td rowspan=3 colspan=2>", "</td>", "</table>",
        "<img src=x width=30 height=20 align=left>", "<img src=y align=right hspace=5>", "<img src=z width=50%>",
        "<img src=q align=middle height=40>", "<img align=top alt=\"an alt text\">", "<br>", "<br clear=all>",
        "text ", "longwordlongwordlongword ", "a&shy;b ", "&nbsp;", "<wbr>", "<b>", "</b>", "<a href=x>", "</a>",
        "<ul><li>", "<ol type=i><li>", "<li>", "</ul>", "</ol>", "<dl><dt>t<dd>d</dl>", "<hr>",
        "<hr width=50% align=right size=5>", "<pre>x  y\nz</pre>", "<span style=\"border:1px solid\">", "</span>",
        "<div style=\"position:absolute;top:5px\">", "<div style=\"position:relative;left:5px;z-index:-1\">",
        "<nobr>", "</nobr>", "<center>", "</center>", "<p style=\"text-align:justify\">",
        "<div style=\"margin:-20px\">", "<div style=\"display:none\">", "<p style=\"text-indent:50%\">",
        "<div style=\"overflow:hidden;height:10px;width:30px\">", "\xe3\x80\x80", "<page>", "<h1>", "</h1>",
        "<font size=7>", "</font>", "<sub>x</sub>", "<sup>y</sup>", "<input type=text>",
        "<select><option>a<option>b</select>", "<textarea>t</textarea>", "<input type=checkbox>",
        "<div style=\"page-break-before:always\">", "<p style=\"line-height:3px\">", "<li style=\"float:left\">"};
    std::mt19937 rng(20261206);
    for (int iter = 0; iter < 250; ++iter) {
        std::string html;
        const int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) html += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        doc->Clear();
        doc->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clRed, clPurple, clBlue,
                      clBlack, 12);
        Readhtml::HtmlParseString(html, doc.get());
        for (int w : {0, 13, 100, 640}) {
            Layout(w);
            Paint(std::max(w, 1), 400);
            doc->SelB = 0;
            doc->SelE = doc->Len;
            doc->GetSelText();
            int xr = 0, yr = 0, ht = 0;
            bool intext = false;
            TUrlTarget url;
            TFormControlObj* control = nullptr;
            std::string title;
            for (int y = 0; y < height; y += 11) {
                doc->FindCursor(canvas, w / 2, y, xr, yr, ht, intext);
                doc->GetLinkAt(canvas, w / 3, y, url, control, title);
            }
            auto copy = std::make_unique<TSectionList>(*doc);
            int mw = 0, curs = 0;
            copy->Layout(canvas, 0, w, 600, 0, mw, curs);
            copy->Printing = true;
            int pages = 0;
            for (int top = 0; top < height && pages < 500; ++pages) {
                copy->SetYOffset(top);
                copy->Draw(canvas, TRect{0, 0, std::max(w, 1), 100}, w, 0, 0, 0, 0);
                if (copy->PageBottom <= top) break;
                top = copy->PageBottom;
            }
            ASSERT_LT(pages, 500) << html;
        }
    }
    doc->Clear();
}

}  // namespace
}  // namespace layout_test

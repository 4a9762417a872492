// Laying a document out again at another width gives what a fresh layout at
// that width gives: what layout keeps between passes (converted box values,
// measured column widths, fitted lines) never goes stale.
#include <gmock/gmock.h>

#include "html/parser/parser_fixture.h"

namespace {

class RelayoutTest : public ParserTest {
protected:
    // The dump after laying the page out at each width in turn.
    std::string After(const std::string& html, std::initializer_list<int> widths) {
        Parse(html);
        for (int w : widths) Layout(w);
        return Dump();
    }
};

const char* const kPage =
    "<html><body>"
    "<p style=\"margin-left:10%;padding:2px\">Revis\xe3o do benef\xed" "cio com margem relativa ao corpo.</p>"
    "<div style=\"width:50%;border:1px solid\"><p>Metade da largura, qualquer que seja a janela.</p></div>"
    "<table border=1 width=90%><tr><td width=30%>M\xeas</td><td>Valor devido</td><td>1.116,67</td></tr>"
    "<tr><td colspan=2><table border=1><tr><td>interna</td><td style=\"width:40px\">40</td></tr></table></td>"
    "<td>2.233,34</td></tr></table>"
    "<table><tr><td><p class=MsoNormal align=right style=\"text-align:right\">3.000,00</p></td>"
    "<td><p class=MsoNormal align=right style=\"text-align:right\">2.500,00</p></td></tr></table>"
    "</body></html>";

TEST_F(RelayoutTest, ANewWidthLaysOutAsAFreshDocumentWould) {
    for (int target : {300, 640, 1200}) {
        const std::string fresh = After(kPage, {target});
        EXPECT_EQ(After(kPage, {900, target}), fresh) << target;
        EXPECT_EQ(After(kPage, {target, 200, target}), fresh) << target;
    }
}

TEST_F(RelayoutTest, NestedTablesLayOutTheSameWhenLaidOutAgain) {
    std::string html = "<html><body>";
    for (int d = 0; d < 8; ++d) html += "<table border=1><tr><td>n" + std::to_string(d) + " texto</td><td>";
    html += "fim";
    for (int d = 0; d < 8; ++d) html += "</td></tr></table>";
    html += "</body></html>";
    const std::string fresh = After(html, {500});
    EXPECT_EQ(After(html, {500, 500}), fresh);
    EXPECT_EQ(After(html, {800, 500}), fresh);
}

}  // namespace

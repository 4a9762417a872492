// Pages written to break the viewer: numbers at the ends of the integer
// range in every place a length or count is read, sums of thousands of large
// lengths, and spans far beyond the table's cells. They load, lay out and
// paint without overflow (the sanitized build stops at any) and keep their
// text.
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include "html/images/image_loading.h"
#include "html/layout/blocks.h"
#include "html/layout/table_layout.h"
#include "html/reader/style_values.h"
#include "parser_fixture.h"
#include "platform/runtime/errors.h"

namespace {

const char* const kExtremes[] = {"2147483647", "-2147483648", "+2147483647", "99999999999999999999"};

std::string PlacesOf(const std::string& n) {
    const std::string px = n + "px";
    return "<font size=" + n + ">f</font><basefont size=" + n + ">" +
           "<p style=\"letter-spacing:" + px + ";word-spacing:" + px + ";text-indent:" + px + ";line-height:" + px +
           "\">a b c<br>d e</p>" +
           "<div style=\"margin:" + px + ";padding:" + px + ";border:" + px + " solid;z-index:" + n +
           ";position:relative\">box</div>" +
           "<div style=\"float:left;margin-left:" + px + ";width:" + px + "\">fl</div>" +
           "<hr width=" + n + " size=" + n + "><hr width=\"" + n + "%\">" +
           "<img src=x width=" + n + " height=" + n + " hspace=" + n + " vspace=" + n + " border=" + n + ">" +
           "<img src=x align=left hspace=" + n + " vspace=" + n + ">" +
           "<input size=" + n + " maxlength=" + n + "><input size=\"" + n + ",2\">" +
           "<select size=" + n + "><option>o</select><textarea rows=" + n + " cols=" + n + ">t</textarea>" +
           "<map name=m><area shape=rect coords=\"" + n + "," + n + ",-" + n + "," + n + "\" href=a>" +
           "<area shape=circle coords=\"" + n + "," + n + "," + n + "\" href=b></map>" +
           "<img src=x usemap=#m width=10 height=10>" +
           "<table border=" + n + " cellpadding=" + n + " cellspacing=" + n + " width=" + n + "><tr><td width=" + n +
           " height=" + n + ">cell</table>end";
}

}  // namespace

TEST_F(ParserTest, ExtremeNumbersEverywhereLayOutAndPaint) {
    for (const char* n : kExtremes) {
        Parse("<body>" + PlacesOf(n));
        for (int width : {800, 13}) {
            EXPECT_GT(Layout(width), 0) << n;
            TCanvas canvas;
            list_->Draw(canvas, TRect{0, 0, width, 600}, width, 0, 0, 0, 0);
        }
        EXPECT_NE(list_->FindString(0, u"end", false), -1) << n;
    }
}

TEST_F(ParserTest, LengthsAndSizesReadFromAPageAreHeldInRange) {
    Parse("<div style=\"margin-left:2147483647px;padding-top:-2147483648px\">a</div>"
          "<font size=+2147483647>big</font>");
    Layout(800);
    TBlock* box = nullptr;
    for (const auto& s : *list_)
        if (auto* body = dynamic_cast<TBlock*>(s.get()))
            for (const auto& t : *body->MyCell)
                if (auto* b = dynamic_cast<TBlock*>(t.get())) box = b;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->MargArray[piMarginLeft], kMaxPageLength);
    EXPECT_EQ(box->MargArray[piPaddingTop], -kMaxPageLength);
    EXPECT_EQ(PageInteger(" +2147483647px"), kMaxPageLength);
    EXPECT_EQ(PageInteger("-99999999999999999999"), -kMaxPageLength);
    bool found = true;
    EXPECT_EQ(PageInteger("px", &found), 0);
    EXPECT_FALSE(found);
}

// Thousands of lines, sections and rows of the largest length still add up:
// the page ends at the farthest edge the layout reaches.
TEST_F(ParserTest, ThousandsOfLargeLengthsStopAtTheFarthestEdge) {
    std::string lines = "<p style=\"line-height:32000px\">";
    for (int i = 0; i < 17500; ++i) lines += "x<br>";
    Parse(lines + "</p><div style=\"height:32000px\">after</div>");
    EXPECT_GE(Layout(400), kMaxPageExtent);
    EXPECT_LE(Layout(400), kMaxPageExtent + 2 * kMaxPageLength);

    std::string rows = "<table>";
    for (int i = 0; i < 17500; ++i) rows += "<tr><td height=32000 width=32000>c</td><td width=32000>d</td></tr>";
    Parse(rows + "</table>");
    EXPECT_LE(Layout(400), kMaxPageExtent + 2 * kMaxPageLength);
}

// A cell whose spans cover far more slots than the table has cells spans only
// the columns its rows fill; an ordinary span stays as written.
TEST_F(ParserTest, SpansReachOnlyTheTablesRealColumns) {
    auto table = [&](const std::string& html) -> ThtmlTable* {
        Parse(html);
        Layout(600);
        std::vector<TCellBasic*> cells{list_.get()};
        while (!cells.empty()) {
            TCellBasic* c = cells.back();
            cells.pop_back();
            for (const auto& s : *c) {
                if (auto* t = dynamic_cast<ThtmlTable*>(s.get())) return t;
                if (auto* b = dynamic_cast<TBlock*>(s.get())) cells.push_back(b->MyCell.get());
            }
        }
        return nullptr;
    };
    std::string rows = "<table><tr><td colspan=1000 rowspan=10000>x</td></tr>";
    for (int i = 0; i < 300; ++i) rows += "<tr><td>y</td></tr>";
    ThtmlTable* t = table(rows + "</table>");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->NumCols, 3);  // the spanning cell takes two columns, "y" the third
    EXPECT_EQ(t->Rows.Count(), 301);

    t = table("<table><tr><td colspan=2>a</td><td colspan=3>b</td></tr><tr><td colspan=5>title</td><td>c</td></tr>"
              "<tr><td rowspan=2 colspan=4>d</td></tr><tr></tr></table>");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->NumCols, 6);
    EXPECT_EQ((*t->Rows[2])[0]->ColSpan, 4);
}

// Pictures and style sheets are read only from regular files: a device never
// ends and a named pipe blocks whoever opens it.
TEST_F(ParserTest, OnlyRegularFilesAreReadForPicturesAndStyleSheets) {
    const std::string fifo = ::testing::TempDir() + "velorim-hostile-fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {std::string("/dev/zero"), fifo}) {
        EXPECT_EQ(KindOfImageFile(name), itNone) << name;
        std::unique_ptr<TBitmap> mask;
        Transparency transp = NotTransp;
        EXPECT_THROW(LoadImageFromFile(name, mask, transp), EFOpenError) << name;
        Parse("<link rel=stylesheet href=\"" + name + "\">kept");
        EXPECT_NE(list_->FindString(0, u"kept", false), -1) << name;
    }
    ::unlink(fifo.c_str());
}

// A column of cells each spanning a thousand columns and every row below it
// fills a grid of the order of its cells, not of their square (the work and
// memory of the layout follow the grid); every cell is still shown.
TEST_F(ParserTest, CellsSpanningEveryRowBelowFillAGridOfTheOrderOfTheirCells) {
    std::string html = "<table>";
    const int cells = 60;
    for (int i = 0; i < cells; ++i) html += "<tr><td colspan=1000 rowspan=65534>c" + std::to_string(i) + "</td></tr>";
    Parse(html + "</table>");
    Layout(600);
    const ThtmlTable* t = nullptr;
    std::vector<TCellBasic*> open{list_.get()};
    while (!open.empty() && !t) {
        TCellBasic* c = open.back();
        open.pop_back();
        for (const auto& s : *c) {
            if (auto* table = dynamic_cast<ThtmlTable*>(s.get())) t = table;
            if (auto* b = dynamic_cast<TBlock*>(s.get())) open.push_back(b->MyCell.get());
        }
    }
    ASSERT_NE(t, nullptr);
    int64_t places = 0;
    for (const auto& row : t->Rows) places += row->Count();
    EXPECT_LE(places, 16 * cells + 65536);
    EXPECT_NE(list_->FindString(0, u"c59", false), -1);
}

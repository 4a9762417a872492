// Tables, rules and lists as they paint: recorded canvas calls of small pages
// compared with each other and with golden files.
#include <gmock/gmock.h>

#include <cmath>
#include <cstdio>

#include "html/layout/blocks.h"
#include "html/layout/table_layout.h"
#include "html/parser/parser_fixture.h"
#include "support/golden.h"

namespace {

class TablePaintTest : public ParserTest {
protected:
    // The page parsed, laid out at a width and painted: one canvas call a line.
    std::string Painted(const std::string& html, int width = 800) {
        Parse(html);
        const int h = Layout(width);
        std::vector<std::string> log;
        canvas_.SetRecorder(&log);
        list_->Draw(canvas_, TRect{0, 0, width, h + 10}, width, 0, 0, 0, 0);
        canvas_.SetRecorder(nullptr);
        std::string all;
        for (const auto& l : log) all += l + "\n";
        return all;
    }
    // The x coordinates of the canvas calls of one kind ("line", "fill"...)
    // that start above a y.
    static std::vector<int> Xs(const std::string& painted, const std::string& kind, int above) {
        std::vector<int> xs;
        std::istringstream in(painted);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind(kind + " ", 0) != 0) continue;
            std::istringstream f(line.substr(kind.size()));
            int x1 = 0, y1 = 0, x2 = 0;
            f >> x1 >> y1 >> x2;
            if (y1 >= above) continue;
            xs.push_back(x1);
            xs.push_back(x2);
        }
        return xs;
    }
    // The first table block of the body.
    TTableBlock* FirstTable() {
        auto* body = dynamic_cast<TBlock*>((*list_)[0]);
        for (const auto& s : *body->MyCell)
            if (auto* tb = dynamic_cast<TTableBlock*>(s.get())) return tb;
        return nullptr;
    }
};

TEST_F(TablePaintTest, ABorderOfZeroPaintsAsNoBorderAttribute) {
    for (const std::string body : {"<body>", "<body bgcolor=\"#FFFFCC\">"}) {
        const std::string cells = " cellpadding=4><tr><td>Mês</td><td>1.116,67</td></tr></table><p>fim</p>";
        const std::string none = Painted(body + "<table" + cells);
        EXPECT_EQ(Painted(body + "<table border=\"0\"" + cells), none) << body;
        EXPECT_EQ(Painted(body + "<table border=0" + cells), none) << body;
        // A border of 1 does paint a frame.
        EXPECT_NE(Painted(body + "<table border=1" + cells), none) << body;
    }
}

// The rules of an index: in cells spanning the table, each spans its cell's
// content and leaves no ink beside the table.
TEST_F(TablePaintTest, ARuleInASpanningCellStaysInsideTheCell) {
    const std::string page =
        "<body><table border=\"0\" cellspacing=\"0\" width=\"100%\">"
        "<tr><th align=\"left\">Entrada</th><th align=\"left\">Seção</th></tr>"
        "<tr><td colspan=\"2\"><hr></td></tr>"
        "<tr><td>alfa</td><td>1.2 Algo</td></tr>"
        "<tr><td colspan=\"2\"><hr></td></tr></table>"
        "<table border=1><tr><td>x<hr>y</td><td>segunda coluna<hr></td></tr></table></body>";
    const std::string painted = Painted(page, 400);
    velorim_test::ExpectGolden("rule_in_cell.paint", painted);
    TTableBlock* tb = FirstTable();
    ASSERT_NE(tb, nullptr);
    const int left = tb->MyRect.Left, right = tb->MyRect.Right;
    const std::vector<int> xs = Xs(painted, "line", tb->MyRect.Bottom);
    ASSERT_FALSE(xs.empty());
    for (int x : xs) {
        EXPECT_GE(x, left);
        EXPECT_LE(x, right);
    }
    // They run from one side of the cell's content to the other.
    const ThtmlTable& t = *tb->Table;
    const TCellObj& spanning = *(*t.Rows[1])[0];
    EXPECT_EQ(*std::min_element(xs.begin(), xs.end()), spanning.Cell->MyRect.Left + spanning.PadLeft);
    EXPECT_EQ(*std::max_element(xs.begin(), xs.end()), spanning.Cell->MyRect.Right - spanning.PadRight);
}

// A list in a list item has no blank line after it, as none before it.
TEST_F(TablePaintTest, ANestedListLeavesNoBlankLineAfterIt) {
    const std::string painted = Painted(
        "<ul><li>Um<ul><li>Um.a</li><li>Um.b</li></ul></li><li>Dois</li>"
        "<li>Tres<ol><li>Tres.1</li></ol></li><li>Quatro</li></ul><p>Depois</p>");
    std::map<std::string, int> baseline;
    std::istringstream in(painted);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("text ", 0) != 0) continue;
        std::istringstream f(line.substr(5));
        int x = 0, y = 0;
        f >> x >> y;
        baseline[line.substr(line.rfind(' ') + 1)] = y;
    }
    const int step = baseline["Um.b"] - baseline["Um.a"];

    EXPECT_GT(step, 0);
    EXPECT_EQ(baseline["Um.a"] - baseline["Um"], step);
    EXPECT_EQ(baseline["Dois"] - baseline["Um.b"], step);
    EXPECT_EQ(baseline["Quatro"] - baseline["Tres.1"], step);
    // The list as a whole keeps its spacing from the paragraph after it.
    EXPECT_GT(baseline["Depois"] - baseline["Quatro"], step);
}

// A column declared 150 pixels wide gets at least that much content width,
// with the cell's padding, borders and the spacing added, in a table of the
// page's width too.
// A printed cell keeps its rectangle scaled by the print scales; it is
// painted where it stands.
TEST_F(TablePaintTest, APrintedCellStoresItsRectangleScaled) {
    const std::string screen = Painted("<table><tr><td>a</td></tr></table>");
    std::function<TTableBlock*(TCellBasic&)> find = [&](TCellBasic& c) -> TTableBlock* {
        for (const auto& sec : c) {
            if (auto* t = dynamic_cast<TTableBlock*>(sec.get())) return t;
            if (auto* b = dynamic_cast<TBlock*>(sec.get()))
                if (TTableBlock* t = find(*b->MyCell)) return t;
        }
        return nullptr;
    };
    TTableBlock* block = find(*list_);
    ASSERT_TRUE(block && block->Table);
    TCellObjCell& cell = *(*block->Table->Rows[0])[0]->Cell;
    const TRect shown = cell.MyRect;
    list_->Printing = true;
    list_->ScaleX = 0.5;
    list_->ScaleY = 0.25;
    std::vector<std::string> log;
    canvas_.SetRecorder(&log);
    list_->Draw(canvas_, TRect{0, 0, 800, 600}, 800, 0, 0, 0, 0);
    canvas_.SetRecorder(nullptr);
    EXPECT_EQ(cell.MyRect.Left, static_cast<int>(std::lround(shown.Left * 0.5)));
    EXPECT_EQ(cell.MyRect.Right, static_cast<int>(std::lround(shown.Right * 0.5)));
    EXPECT_EQ(cell.MyRect.Bottom, static_cast<int>(std::lround(shown.Bottom * 0.25)));
    EXPECT_THAT(screen, ::testing::HasSubstr(log.back()));  // the frame itself is not scaled
}

// A screen in the middle of a long table paints the cells that meet it,
// also one that spans down from rows above the screen; the same cell is
// found under the mouse there.
TEST_F(TablePaintTest, AScreenInALongTablePaintsAndFindsASpanFromAbove) {
    std::string html = "<table border=1>";
    for (int r = 0; r < 60; ++r)
        html += "<tr>" + std::string(r == 10 ? "<td rowspan=30 href=\"x.htm\">longo</td>" : "") + "<td>linha " +
                std::to_string(r) + "</td></tr>";
    Parse(html + "</table>");
    Layout(800);
    const ThtmlTable& t = *FirstTable()->Table;
    const TCellObj& span = *(*t.Rows[10])[0];
    const int top = (*t.Rows[32])[1]->RowTop;  // column 0 holds the span's dummy
    list_->SetYOffset(top);
    std::vector<std::string> log;
    canvas_.SetRecorder(&log);
    list_->Draw(canvas_, TRect{0, 0, 800, 60}, 800, 0, 0, 0, 0);
    canvas_.SetRecorder(nullptr);
    std::string texts;
    int across = 0;  // the spanning cell's sides, from above the screen to below it
    for (const std::string& l : log) {
        if (l.rfind("text ", 0) == 0) texts += l.substr(l.rfind(' ') + 1) + ",";
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (std::sscanf(l.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) == 4 && x1 == x2 &&
            std::min(y1, y2) < 0 && std::max(y1, y2) > 60)
            ++across;
    }
    EXPECT_EQ(texts, "31,32,33,34,");  // a cell whose bottom is the screen's top paints
    EXPECT_EQ(across, 4);
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    std::string title;
    EXPECT_EQ(list_->GetLinkAt(canvas_, span.Cell->MyRect.Left + 4, top + 5, url, control, title), guUrl);
    EXPECT_EQ(url.URL, "x.htm");
}

TEST_F(TablePaintTest, AColumnWidthGivenByColIsKept) {
    for (const std::string width : {"150px", "150"}) {
        Parse("<table width=\"100%\" border=\"1\"><col width=\"" + width +
              "\"><col><tr><td>curto</td><td>Uma descrição mais longa que ocupa o resto da linha da página "
              "e ainda mais um pouco para passar do fim da linha.</td></tr></table>");
        Layout(800);
        const ThtmlTable& t = *FirstTable()->Table;
        ASSERT_EQ(t.Widths.size(), 2u);
        EXPECT_EQ(t.Widths[0], 150 + 2 * 1 + 2 * 1 + 2) << width;  // padding 1, border 1, spacing 2
    }
}

}  // namespace

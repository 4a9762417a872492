// A table lays each cell out to measure it and then places it: a cell of
// plain text is moved into place instead of laid out again, and at a width it
// was laid out at before it is only moved. Moving must leave every position
// exactly where a layout at the new place puts it, and cells whose layout
// depends on where it happens must refuse to move.
#include <gmock/gmock.h>

#include <sstream>
#include <stdexcept>

#include "html/layout/blocks.h"
#include "html/layout/section.h"
#include "html/layout/table_layout.h"
#include "html/parser/parser_fixture.h"

namespace {

// Every position the last layout left in a cell.
void Describe(const TCellBasic& cell, std::ostream& o, int depth = 0) {
    o << std::string(static_cast<size_t>(depth) * 2, ' ') << "cell y=" << cell.YValue << " curs=" << cell.StartCurs
      << " len=" << cell.Len << " tc=" << cell.tcContentBot << "/" << cell.tcDrawTop << "/" << cell.tcDrawBot << "\n";
    for (const auto& s : cell) {
        o << std::string(static_cast<size_t>(depth) * 2 + 2, ' ') << "ydraw=" << s->YDraw << " top=" << s->ContentTop
          << " bot=" << s->ContentBot << " drawtop=" << s->DrawTop << " drawbot=" << s->DrawBot
          << " h=" << s->SectionHeight << " dh=" << s->DrawHeight << " curs=" << s->StartCurs << " len=" << s->Len;
        if (const auto* p = dynamic_cast<const TSection*>(s.get())) {
            o << " avail=" << p->AvailableWidth;
            for (const LineRec& l : p->Lines)
                o << " [" << l.Start << "+" << l.Ln << " h" << l.LineHt << " b" << l.SpaceBefore << " a"
                  << l.SpaceAfter << " d" << l.Descent << " i" << l.LineIndent << " w" << l.DrawWidth << " x"
                  << l.Extra << " s" << l.Spaces << " img" << l.LineImgHt << "]";
            o << "\n";
        } else if (const auto* b = dynamic_cast<const TBlock*>(s.get())) {
            o << " client=" << b->ClientContentBot << " width=" << b->NewWidth << " left=" << b->ContentLeft << "\n";
            Describe(*b->MyCell, o, depth + 2);
        } else {
            o << "\n";
        }
    }
}

class CellMoveTest : public ParserTest {
protected:
    // The first cell of a two-cell table holding content, after a layout.
    TCellObjCell& FirstCell(const std::string& content) {
        Parse("<table border=1><tr><td>" + content + "</td><td>x</td></tr></table>");
        Layout(500);
        auto* body = dynamic_cast<TBlock*>((*list_)[0]);
        for (const auto& s : *body->MyCell)
            if (auto* tb = dynamic_cast<TTableBlock*>(s.get())) return *(*tb->Table->Rows[0])[0]->Cell;
        throw std::runtime_error("no table");
    }
    std::string Describe(const TCellBasic& cell) {
        std::ostringstream o;
        ::Describe(cell, o);
        return o.str();
    }
};

TEST_F(CellMoveTest, MovingPlainContentEqualsLayingItOutLower) {
    const char* const contents[] = {
        "",
        "3.000,00",
        "<p class=MsoNormal align=right style=\"text-align:right\">1.116,67</p>",
        "<p>revis\xe3o do benef\xed" "cio pelo \xedndice que a tabela d\xe1 ao m\xeas</p><p>segunda</p>",
        "texto solto<br>outra linha<p style=\"text-align:center\">meio</p>",
        "<div style=\"margin:4px;padding:3px;border:2px solid\"><p style=\"text-indent:10%\">recuo do primeiro"
        " par\xe1grafo</p><div><p style=\"line-height:30px\">alto</p></div></div>",
        "<p style=\"text-align:justify\">um dois tr\xeas quatro cinco seis sete oito nove dez onze doze</p>",
    };
    for (const char* content : contents) {
        SCOPED_TRACE(content);
        TCellObjCell& cell = FirstCell(content);
        ASSERT_TRUE(cell.IsPlain());
        for (int width : {40, 120, 300}) {
            int mw = 0, curs = 0;
            cell.Layout(canvas_, 0, width, 0, 0, mw, curs);
            ASSERT_TRUE(cell.LaidOutBelow(0)) << width;
            cell.MoveDown(57, 1000);
            const std::string moved = Describe(cell);
            curs = 1000;
            cell.Layout(canvas_, 57, width, 80, 0, mw, curs);
            EXPECT_EQ(moved, Describe(cell)) << width;
            // and back up
            cell.MoveDown(-40, -990);
            const std::string up = Describe(cell);
            curs = 10;
            cell.Layout(canvas_, 17, width, 0, 0, mw, curs);
            EXPECT_EQ(up, Describe(cell)) << width;
        }
    }
}

TEST_F(CellMoveTest, ContentPlacedByItsPositionDoesNotMove) {
    const char* const contents[] = {
        "<a href=\"x.htm\">liga\xe7\xe3o</a>",
        "<img src=\"nada.gif\" width=10 height=10>",
        "<div style=\"float:left;width:20px\">f</div>texto",
        "<p style=\"margin-top:-20px\">acima</p>",
        "<p style=\"height:50%\">metade</p>",
        "<ul><li>item</li></ul>",
        "<table><tr><td>dentro</td></tr></table>",
        "<pre>fixo</pre>",
        "<input type=text name=campo>",
    };
    for (const char* content : contents) {
        TCellObjCell& cell = FirstCell(content);
        int mw = 0, curs = 0;
        cell.Layout(canvas_, 0, 200, 0, 0, mw, curs);
        EXPECT_FALSE(cell.IsPlain() && cell.LaidOutBelow(0)) << content;
    }
}

// Rows of plain cells below other rows land where they did when every cell
// was laid out where it stands: a page laid out twice, at other widths in
// between, dumps the same as a fresh one.
TEST_F(CellMoveTest, TablesOfPlainCellsKeepTheirLayoutAcrossWidths) {
    std::string html = "<table border=1 cellpadding=3>";
    for (int r = 0; r < 6; ++r) {
        html += "<tr>";
        for (int c = 0; c < 4; ++c)
            html += "<td> <p align=right style=\"text-align:right\">" + std::to_string(r * 1000 + c) +
                    (c == 1 ? " com texto que quebra em linhas" : "") + "</p></td>";
        html += "</tr>";
    }
    html += "</table>";
    Parse(html);
    Layout(260);
    const std::string fresh = Dump();
    Layout(700);
    Layout(90);
    Layout(260);
    EXPECT_EQ(Dump(), fresh);
}

// A float pulled out of its cell by a negative margin leaves the cell's own
// text between the cell's edges; plain paragraphs beside one do too.
TEST_F(CellMoveTest, FloatsPulledOutByNegativeMarginsLeaveTextInTheCell) {
    const char* const contents[] = {
        "<div style=\"float:left;width:30px;margin-right:-60px\">f</div>texto",
        "<div style=\"float:right;width:30px;margin-left:-60px\">f</div>texto",
        "<p>antes</p><div style=\"float:left;width:30px;margin-right:-60px\">f</div>texto",
        "<div style=\"float:right;width:30px;margin-left:-60px\">f</div><p>depois</p>",
    };
    for (const char* content : contents) {
        SCOPED_TRACE(content);
        TCellObjCell& cell = FirstCell(content);
        int mw = 0, curs = 0;
        cell.Layout(canvas_, 0, 200, 0, 0, mw, curs);
        const TSection* text = nullptr;
        for (const auto& s : cell) {
            if (const auto* p = dynamic_cast<const TSection*>(s.get())) text = p;
            if (const auto* b = dynamic_cast<const TBlock*>(s.get()); b && b->FloatLR == 0)
                text = dynamic_cast<const TSection*>((*b->MyCell)[0]);
        }
        ASSERT_NE(text, nullptr);
        ASSERT_FALSE(text->Lines.empty());
        EXPECT_EQ(text->Lines[0].LineIndent, 0);
        EXPECT_EQ(text->Lines[0].DrawWidth, 200);
    }
}

}  // namespace

namespace {

// Plain content that counts how often it is laid out and moved.
class CountingContent : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    int layouts = 0, moves = 0;
    bool IsPlain() const override { return true; }
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override {
        ++layouts;
        return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
    }
    void MoveDown(int dy, int dcurs) override {
        ++moves;
        TSectionBase::MoveDown(dy, dcurs);
    }
};

// A table of the same columns below text that wraps otherwise at another
// width moves, and lands where a fresh layout puts it.
std::string TableBelowWrappingText(int words = 2, const std::string& cell = "<p align=right>1.116,67") {
    std::string html = "<p>";
    for (int i = 0; i < words; ++i) html += std::string(40, static_cast<char>('a' + i)) + " ";
    html += "</p><table border=1>";
    for (int r = 0; r < 4; ++r) html += "<tr><td>" + cell + "</td><td>03/2024</td></tr>";
    return html + "</table>";
}

TEST_F(CellMoveTest, APlainTableMovedByTheTextAboveLandsWhereAFreshLayoutPutsIt) {
    Parse(TableBelowWrappingText());
    Layout(800);
    const std::string fresh = Dump();
    Parse(TableBelowWrappingText());
    Layout(500);
    Layout(800);  // the text above takes one line less; the columns are the same
    EXPECT_EQ(Dump(), fresh);
}

// Painted after a move of several lines, a band at a time, it draws what a
// fresh layout draws: what was known of where its paragraphs draw moved too.
TEST_F(CellMoveTest, APlainTableMovedByTheTextAboveDrawsAsAFreshLayout) {
    auto paints = [&] {
        std::vector<std::string> log;
        canvas_.SetRecorder(&log);
        for (int y = 0; y < 500; y += 2) list_->Draw(canvas_, TRect{0, y, 800, y + 30}, 800, 0, 0, 0, 0);
        canvas_.SetRecorder(nullptr);
        return log;
    };
    const std::string html = TableBelowWrappingText(12, "<div style=\"padding:2px\"><p>1.116,67</p></div>");
    Parse(html);
    Layout(800);
    const std::vector<std::string> fresh = paints();
    Parse(html);
    Layout(500);
    paints();
    Layout(800);
    EXPECT_EQ(paints(), fresh);
}

// Cells are measured where their rows will stand: placing them moves none.
TEST_F(CellMoveTest, PlainCellsAreMeasuredWhereTheyStay) {
    std::string html = "<table border=1>";
    for (int r = 0; r < 3; ++r) html += "<tr><td><p align=right>1.116,67</td><td>03/2024 mensal</td></tr>";
    Parse(html + "</table>");
    auto* body = dynamic_cast<TBlock*>((*list_)[0]);
    TTableBlock* table = nullptr;
    for (const auto& s : *body->MyCell)
        if (auto* tb = dynamic_cast<TTableBlock*>(s.get())) table = tb;
    ASSERT_NE(table, nullptr);
    TCellObjCell& cell = *(*table->Table->Rows[2])[1]->Cell;
    auto* probe = new CountingContent(&cell);
    cell.Add(probe, 0);
    Layout(500);
    EXPECT_EQ(probe->layouts, 1);
    EXPECT_EQ(probe->moves, 0);
    Layout(500);  // nothing changed: nothing is laid out or moved again
    EXPECT_EQ(probe->layouts, 1);
    EXPECT_EQ(probe->moves, 0);
    Layout(700);  // the same columns: the cells stay as they are
    EXPECT_EQ(probe->layouts, 1);
    EXPECT_EQ(probe->moves, 0);
    Layout(60);
    EXPECT_EQ(probe->layouts, 2);
    EXPECT_EQ(probe->moves, 0);
}

}  // namespace

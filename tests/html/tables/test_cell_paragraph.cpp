// A table cell whose whole content is one paragraph read from a p element
// with an empty box holds the paragraph itself, in the block's place; every
// other cell keeps the block. Both forms lay out, paint, copy and hit alike.
// Cells hold a float manager only while they lay out or paint.
#include <gmock/gmock.h>

#include "html/layout/doc_dump.h"
#include "html/layout/section.h"
#include "html/layout/table_layout.h"
#include "html/parser/parser_fixture.h"

namespace {

class CellParagraphTest : public ParserTest {
protected:
    // The content of the first cell of the page's only table.
    TCellObjCell& FirstCell() {
        auto* body = static_cast<TBlock*>((*list_)[0]);
        for (const auto& s : *body->MyCell)
            if (auto* tb = dynamic_cast<TTableBlock*>(s.get())) return *(*tb->Table->Rows[0])[0]->Cell;
        throw std::logic_error("no table");
    }
    bool InPlace(const std::string& cell) {
        Parse("<table><tr><td>" + cell + "</td></tr></table>");
        TCellObjCell& c = FirstCell();
        return c.Count() == 1 && c[0]->IsSection() && static_cast<TSection*>(c[0])->InPlaceOfBlock;
    }
    // Everything the page shows and gives back, laid out at a width.
    std::string Seen(const std::string& html, int width) {
        Parse(html);
        const int h = Layout(width);
        std::vector<std::string> log;
        canvas_.SetRecorder(&log);
        list_->Draw(canvas_, TRect{0, 0, width, h}, width, 0, 0, 0, 0);
        canvas_.SetRecorder(nullptr);
        std::string seen = DumpDocument(*list_);
        for (TSectionBase* s : list_->PositionList) seen += std::to_string(s->GetYPosition()) + ";";
        for (const auto& l : log) seen += l + "\n";
        for (int y = 0; y < h; y += 3)
            for (int x = 0; x < width; x += 5) {
                int xr = 0, yr = 0, ht = 0;
                bool in = false;
                seen += std::to_string(list_->FindCursor(canvas_, x, y, xr, yr, ht, in)) + "," +
                        std::to_string(xr) + "," + std::to_string(yr) + (in ? "+" : "-") + " ";
            }
        for (int e : {3, 9, 40, 1000}) {
            list_->SelB = 1;
            list_->SelE = e;
            const std::u16string t = list_->GetSelText();
            seen += "\nsel " + std::string(t.begin(), t.end());
        }
        return seen;
    }
};

TEST_F(CellParagraphTest, OnlyAPlainParagraphWithAnEmptyBoxTakesItsBlocksPlace) {
    EXPECT_TRUE(InPlace(" <p class=MsoNormal align=right style=\"text-align:right\">1.116,67"));
    EXPECT_FALSE(InPlace("<p style=\"padding:2px\">x"));
    EXPECT_FALSE(InPlace("<p id=a>x"));
    EXPECT_FALSE(InPlace("<p>x</p>"));      // something may follow the end tag
    EXPECT_FALSE(InPlace("<p>x<br>y"));     // two paragraphs
    EXPECT_FALSE(InPlace("<p><a href=\"#x\">x</a>"));
    EXPECT_FALSE(InPlace("<p>"));  // it holds nothing, yet ends a copied line:
    EXPECT_NE(dynamic_cast<TEmptyParagraph*>(FirstCell()[0]), nullptr);
    EXPECT_FALSE(InPlace("a<p>x"));
}

TEST_F(CellParagraphTest, BothFormsShowTheSame) {
    // The second form of each cell keeps its block: a margin of 0 is still
    // a margin given.
    auto page = [](bool block, const std::string& table, const std::vector<std::string>& cells) {
        const std::string p = block ? "<p style=\"margin-left:0\"" : "<p";
        std::string s = "<body><p>before" + table + "<tr>";
        for (const auto& c : cells) s += "<td>" + p + " align=right>" + c + "</td>";
        // A spanning cell wider than the truncated shares of its columns.
        s += "</tr><tr><td colspan=3>" + p + ">" + cells[3] + "</td>";
        return s + "</tr><tr><td>" + p + ">" + cells[0] + "</td></tr></table><p>after";
    };
    const std::vector<std::string> cells = {"01/1977", "1.116,67", "<b>Total</b> devido",
                                            "Inconstitucionalissimamente-interrompida", ""};
    for (const std::string table : {"<table border=1>", "<table border=1 width=120 cellpadding=3>"}) {
        for (int width : {800, 90}) {
            EXPECT_EQ(Seen(page(false, table, cells), width), Seen(page(true, table, cells), width))
                << table << " at " << width;
            // Laid out and painted, a cell keeps no float manager.
            EXPECT_EQ(FirstCell().IMgr, nullptr);
        }
    }
}

}  // namespace

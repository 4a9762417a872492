// Tables built by the parser, with cell contents replaced by blocks of fixed
// minimum, maximum and height, so that the grid, width and height rules can
// be checked by hand.
#include <gmock/gmock.h>

#include <string>

#include "html/layout/blocks.h"
#include "html/layout/table_layout.h"
#include "html/parser/parser_fixture.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using V = std::vector<int>;

namespace {

class FixedContent : public TSectionBase {
public:
    FixedContent(TCellBasic* cell, int mn, int mx, int h) : TSectionBase(cell), mn_(mn), mx_(mx), h_(h) {}
    void MinMaxWidth(TCanvas&, int& Min, int& Max) override {
        Min = mn_;
        Max = mx_;
    }
    int Layout(TCanvas& Canvas, int X, int Y, int XRef, int YRef, int AWidth, int AHeight, int BlHt,
               IndentManager& IMgr, int& MaxWidth, int& Curs) override {
        LaidWidth = AWidth;
        SectionHeight = DrawHeight = h_;
        return TSectionBase::Layout(Canvas, X, Y, XRef, YRef, AWidth, AHeight, BlHt, IMgr, MaxWidth, Curs);
    }
    int LaidWidth = -1;

private:
    int mn_, mx_, h_;
};

}  // namespace

class TableTest : public ParserTest {
protected:
    // Parses a document holding one table and returns it.
    ThtmlTable& Table(const std::string& html) {
        Parse(html);
        auto* body = dynamic_cast<TBlock*>((*list_)[0]);
        for (const auto& s : *body->MyCell)
            if (auto* tb = dynamic_cast<TTableBlock*>(s.get())) return *tb->Table;
        ADD_FAILURE() << "no table";
        static ThtmlTable none(nullptr, nullptr, nullptr);
        return none;
    }
    // Replaces the content of cell (r, c) with fixed metrics.
    FixedContent* Fix(ThtmlTable& t, int r, int c, int mn, int mx, int h = 10) {
        TCellObj* cell = (*t.Rows[r])[c];
        cell->Cell->Clear();
        auto* f = new FixedContent(cell->Cell.get(), mn, mx, h);
        cell->Cell->TSectionItems::Add(f);
        return f;
    }
    int LayTable(ThtmlTable& t, int width) {
        IndentManager mgr;
        mgr.Reset(0, width);
        int lIndex = mgr.SetLeftIndent(0, 0), rIndex = mgr.SetRightIndent(width, 0);
        int maxWidth = 0, curs = 0;
        int h = t.Layout(canvas_, 0, 0, 0, 0, width, 0, 0, mgr, maxWidth, curs);
        mgr.FreeLeftIndentRec(lIndex);
        mgr.FreeRightIndentRec(rIndex);
        return h;
    }
    static std::string Kinds(const TCellList& row) {
        std::string k;
        for (const auto& c : row) k += !c ? '-' : c->IsDummy() ? 'd' : 'C';
        return k;
    }
};

TEST_F(TableTest, GridFromRaggedRowsAndSpans) {
    // A short row is not padded; a row span reaching past the last row is cut.
    ThtmlTable& t = Table("<table><tr><td>a<td>b<td>c<tr><td rowspan=3>d</table>");
    t.Initialize();
    EXPECT_EQ(t.NumCols, 3);
    EXPECT_EQ(Kinds(*t.Rows[1]), "C");
    EXPECT_EQ((*t.Rows[1])[0]->RowSpan, 1);
    // Column and row spans leave dummies in the slots they cover.
    ThtmlTable& s = Table("<table><tr><td colspan=2 rowspan=2>a<td>b<tr><td>c<tr><td>d<td>e<td>f</table>");
    s.Initialize();
    EXPECT_EQ(Kinds(*s.Rows[0]), "CdC");
    EXPECT_EQ(Kinds(*s.Rows[1]), "ddC");
    EXPECT_EQ(Kinds(*s.Rows[2]), "CCC");
    // A trailing column of nothing but dummies goes, and its cell loses the span.
    ThtmlTable& u = Table("<table><tr><td colspan=4>a<tr><td>b<td>c</table>");
    u.Initialize();
    EXPECT_EQ(u.NumCols, 2);
    EXPECT_EQ((*u.Rows[0])[0]->ColSpan, 2);
    EXPECT_EQ(Kinds(*u.Rows[0]), "Cd");
}

TEST_F(TableTest, PaddingAndBordersOfCells) {
    ThtmlTable& t = Table("<table cellpadding=4 border=1><tr><td>a<td style=\"padding-left: 7px\">b</table>");
    t.Initialize();
    TCellObj* a = (*t.Rows[0])[0];
    EXPECT_EQ(a->PadLeft, 4);
    EXPECT_EQ(a->PadTop, 4);
    EXPECT_EQ(a->BrdLeft, 1);
    EXPECT_EQ(a->HzSpace, 10);
    EXPECT_EQ(a->VrSpace, 10);
    TCellObj* b = (*t.Rows[0])[1];
    EXPECT_EQ(b->PadLeft, 7);
    EXPECT_EQ(b->HzSpace, 13);
    // Without a border attribute the cells have none.
    ThtmlTable& n = Table("<table><tr><td>a</table>");
    n.Initialize();
    EXPECT_EQ((*n.Rows[0])[0]->HzSpace, 2);
}

TEST_F(TableTest, CellsOfLikeSetsKeepTheirOwnBoxValues) {
    // The same class under another sheet, in the next document.
    for (int pad : {3, 5}) {
        ThtmlTable& t = Table("<style>td.c { padding: " + std::to_string(pad) +
                              "px }</style><table><tr><td class=c>a<td class=c>b</table>");
        t.Initialize();
        EXPECT_EQ((*t.Rows[0])[0]->PadLeft, pad);
        EXPECT_EQ((*t.Rows[0])[1]->PadTop, pad);
    }
    // Widths given as lengths and as percentages.
    ThtmlTable& w = Table(
        "<table><tr><td style=\"width: 40px\">a<td style=\"width: 25%\">b<td style=\"width: 40px\">c</table>");
    const TCellObj *a = (*w.Rows[0])[0], *b = (*w.Rows[0])[1], *c = (*w.Rows[0])[2];
    EXPECT_EQ(a->SpecWd, 40);
    EXPECT_FALSE(a->WidthPercent);
    EXPECT_EQ(b->SpecWd, 250);
    EXPECT_TRUE(b->WidthPercent);
    EXPECT_EQ(c->SpecWd, 40);
    EXPECT_FALSE(c->WidthPercent);
    // A border style draws the frame in the cell's own border colour.
    ThtmlTable& f = Table(
        "<table><tr><td style=\"border: 2px solid red\">a<td style=\"border: 2px solid blue\">b</table>");
    f.Initialize();
    EXPECT_EQ((*f.Rows[0])[0]->BrdLeft, 2);
    EXPECT_NE((*f.Rows[0])[0]->MargArray[piBorderLeftColor], (*f.Rows[0])[1]->MargArray[piBorderLeftColor]);
}

TEST_F(TableTest, SpannedMinimumWidensColumnsInProportion) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><tr><td colspan=2>s<tr><td>a<td>b</table>");
    t.Initialize();
    Fix(t, 0, 0, 100, 100);
    Fix(t, 1, 0, 30, 30);
    Fix(t, 1, 1, 10, 10);
    int mn = 0, mx = 0;
    t.GetMinMax(canvas_, mn, mx);
    EXPECT_EQ(t.MinWidths, (V{75, 25}));
    EXPECT_EQ(mn, 100);
}

TEST_F(TableTest, ColumnsShareTheWidthBetweenMinAndMax) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=2><tr><td>a<td>b</table>");
    t.Initialize();
    FixedContent* a = Fix(t, 0, 0, 20, 100, 15);
    Fix(t, 0, 1, 40, 60, 25);
    int mn = 0, mx = 0;
    t.MinMaxWidth(canvas_, mn, mx);
    EXPECT_EQ(mn, 22 + 42 + 2);
    EXPECT_EQ(mx, 102 + 62 + 2);
    // Wide enough: the maximum widths (the table block gives at most its max).
    LayTable(t, mx);
    EXPECT_EQ(t.Widths, (V{102, 62}));
    EXPECT_EQ(t.TableWidth, 166);
    // Narrower: minimum plus a share of the room.
    LayTable(t, 116);
    EXPECT_EQ(t.TableWidth, 116);
    EXPECT_EQ(t.Widths[0] + t.Widths[1], 114);
    EXPECT_GT(t.Widths[0], 22);
    EXPECT_EQ(a->LaidWidth, t.Widths[0] - 2);
    // Too narrow: the minimum widths stay.
    LayTable(t, 30);
    EXPECT_EQ(t.Widths, (V{22, 42}));
    // Rows take the tallest cell plus the spacing; the table adds one spacing.
    EXPECT_EQ(t.Heights, (V{27}));
    EXPECT_EQ(t.SectionHeight, 29);
}

TEST_F(TableTest, PercentAndPixelWidths) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><tr><td width=25%>a<td>b</table>");
    t.Initialize();
    Fix(t, 0, 0, 10, 10);
    Fix(t, 0, 1, 10, 30);
    EXPECT_FALSE(t.UseAbsolute);
    LayTable(t, 400);
    // 25 % of the table: the other column's 30 needs 40 in all.
    EXPECT_EQ(t.Widths, (V{10, 30}));
    ThtmlTable& p = Table("<table cellpadding=0 cellspacing=0><tr><td width=120>a<td>b</table>");
    p.Initialize();
    Fix(p, 0, 0, 10, 10);
    Fix(p, 0, 1, 10, 30);
    EXPECT_TRUE(p.UseAbsolute);
    LayTable(p, 400);
    EXPECT_EQ(p.Widths, (V{120, 30}));
}

TEST_F(TableTest, RowSpansAndVerticalAlignment) {
    ThtmlTable& t = Table(
        "<table cellpadding=0 cellspacing=0><tr><td rowspan=2>tall<td valign=top>a<tr><td valign=bottom>b</table>");
    t.Initialize();
    EXPECT_EQ(Kinds(*t.Rows[1]), "dC");
    Fix(t, 0, 0, 10, 10, 60);
    Fix(t, 0, 1, 10, 10, 10);
    Fix(t, 1, 1, 10, 10, 10);
    LayTable(t, 100);
    // The spanning cell's 60 spreads evenly over the two rows.
    EXPECT_EQ(t.Heights, (V{30, 30}));
    EXPECT_EQ((*t.Rows[0])[0]->Ht, 60);
    EXPECT_EQ((*t.Rows[0])[1]->YIndent, 0);
    EXPECT_EQ((*t.Rows[1])[1]->YIndent, 20);
}

TEST_F(TableTest, DeclaredHeightsShareOutTheTableHeight) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><tr><td height=40>a<tr><td>b</table>");
    t.Initialize();
    Fix(t, 0, 0, 10, 10, 10);
    Fix(t, 1, 0, 10, 10, 10);
    LayTable(t, 100);
    EXPECT_EQ(t.Heights, (V{40, 10}));
    TCellObj* a = (*t.Rows[0])[0];
    EXPECT_EQ(a->Ht, 40);
    EXPECT_EQ(a->YIndent, 15);  // middle of 40 for 10
}

TEST_F(TableTest, CellsPaintBackgroundsAndFrames) {
    ThtmlTable& t = Table("<table border=1 cellspacing=2 cellpadding=1><tr><td bgcolor=#ff0000>a<td>b</table>");
    t.Initialize();
    Fix(t, 0, 0, 20, 20, 10);
    Fix(t, 0, 1, 20, 20, 10);
    LayTable(t, 54);
    EXPECT_EQ(t.Widths, (V{26, 26}));
    std::vector<std::string> log;
    canvas_.SetRecorder(&log);
    IndentManager mgr;
    t.Draw(canvas_, TRect{0, 0, 500, 500}, mgr, 0, 0, 0);
    canvas_.SetRecorder(nullptr);
    // The first cell: x 2..26 (spacing, then 20 + 2 padding + 2 border), y 2..16.
    EXPECT_THAT(log, Contains(HasSubstr("fill 2 2 26 16 #FF0000")));
    EXPECT_EQ((*t.Rows[0])[0]->Cell->MyRect.Left, 2);
    EXPECT_EQ((*t.Rows[0])[1]->Cell->MyRect.Left, 28);
}

TEST_F(TableTest, PrintCopyKeepsTheGrid) {
    ThtmlTable& t = Table("<table><tr><td colspan=2>a<tr><td bgcolor=red>b<td>c</table>");
    LayTable(t, 300);
    TCell holder(list_.get());
    auto copy = t.CreateCopy(&holder);
    auto* c = dynamic_cast<ThtmlTable*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Rows.Count(), 2);
    EXPECT_EQ(c->NumCols, 2);
    EXPECT_EQ(Kinds(*c->Rows[0]), "Cd");
    // Backgrounds print only when asked for.
    EXPECT_FALSE((*c->Rows[1])[0]->Cell->BkGnd);
}

TEST_F(TableTest, DeclaredTableWidthsAndCentring) {
    auto laidOut = [&](const std::string& html) -> TTableBlock* {
        Parse(html);
        Layout(640);
        auto* body = dynamic_cast<TBlock*>((*list_)[0]);
        return dynamic_cast<TTableBlock*>((*body->MyCell)[0]);
    };
    // Pixels: the table is as wide as asked, whatever its content.
    TTableBlock* b = laidOut("<table width=300 cellpadding=0 cellspacing=0><tr><td>a<td>b</table>");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Table->TableWidth, 300);
    // A percentage of the body's 620 pixels, filled by the columns.
    b = laidOut("<table width=50% cellpadding=0 cellspacing=0><tr><td>a<td>b</table>");
    EXPECT_EQ(b->Table->TableWidth, 310);
    // Without widths: as wide as the content; centred by ALIGN.
    b = laidOut("<table align=center cellpadding=0 cellspacing=0><tr><td>abc</table>");
    int w = b->Table->TableWidth;
    EXPECT_LT(w, 100);
    EXPECT_EQ(b->ContentLeft, (620 - w) / 2);
}

TEST_F(TableTest, RowsCutByThePageEndMoveToTheNextPage) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><tr><td>a<tr><td>b<tr><td>c</table>");
    t.Initialize();
    for (int r = 0; r < 3; ++r) Fix(t, r, 0, 10, 10, 20);
    LayTable(t, 100);
    ASSERT_EQ(t.Heights, (V{20, 20, 20}));
    list_->Printing = true;
    list_->YOff = 0;
    list_->PageBottom = 30;  // the second row (20..40) would be cut
    IndentManager mgr;
    t.Draw(canvas_, TRect{0, 0, 100, 30}, mgr, 0, 0, 0);
    EXPECT_EQ(list_->PageBottom, 20);
    list_->Printing = false;
}

TEST_F(TableTest, HitTestsFindTheCellUnderThePoint) {
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><tr><td href=\"whole.htm\" title=tip>a<td>b</table>");
    t.Initialize();
    Fix(t, 0, 0, 40, 40, 20);
    Fix(t, 0, 1, 40, 40, 20);
    LayTable(t, 80);
    IndentManager mgr;
    t.Draw(canvas_, TRect{0, 0, 200, 200}, mgr, 0, 0, 0);
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    std::string title;
    EXPECT_EQ(t.GetLinkAt(canvas_, 10, 10, url, control, title), guUrl | guTitle);
    EXPECT_EQ(url.URL, "whole.htm");
    EXPECT_EQ(title, "tip");
    EXPECT_EQ(t.GetLinkAt(canvas_, 50, 10, url, control, title), 0u);   // the other cell
    EXPECT_EQ(t.GetLinkAt(canvas_, 10, 25, url, control, title), 0u);   // below the table
    EXPECT_EQ(t.GetLinkAt(canvas_, 85, 10, url, control, title), 0u);   // right of it
}

TEST_F(TableTest, HeaderAndFooterRows) {
    // The parts' tags count between cells only: inside a cell left open
    // they are skipped, and the rows after them stay in the header.
    ThtmlTable& open = Table("<table><thead><tr><th>h<tbody><tr><td>b</td></tr></tbody></table>");
    ASSERT_EQ(open.Rows.Count(), 2);
    EXPECT_EQ(open.Rows[1]->RowType, 0);
    ThtmlTable& t = Table("<table cellpadding=0 cellspacing=0><thead><tr><td>h</td></thead><tbody><tr><td>b1</td>"
                          "<tr><td>b2</td></tbody><tfoot><tr><td>f</td></tfoot><thead><tr><td>late</td></thead>"
                          "</table>");
    t.Initialize();
    ASSERT_EQ(t.Rows.Count(), 5);
    EXPECT_EQ(t.Rows[0]->RowType, 0);
    EXPECT_EQ(t.Rows[1]->RowType, 1);
    EXPECT_EQ(t.Rows[3]->RowType, 2);
    EXPECT_EQ(t.Rows[4]->RowType, 1);  // a header after the body is body
    for (int r = 0; r < 5; ++r) Fix(t, r, 0, 10, 10, 10);
    LayTable(t, 100);
    EXPECT_TRUE(t.HeadOrFoot);
    EXPECT_EQ(t.HeaderHeight, 10);
    EXPECT_EQ(t.HeaderRowCount, 1);
    EXPECT_EQ(t.FootHeight, 10);
    EXPECT_EQ(t.FootStartRow, 3);
    // Printed across a page end (the page's bottom at 35 of a 100-pixel page),
    // the table keeps room for its foot above the page's bottom and hands the
    // printing loop its foot band, then its head band for the next page.
    list_->Printing = true;
    list_->YOff = 0;
    list_->PageBottom = 35;
    IndentManager mgr;
    const TRect page{0, 0, 100, 100};
    t.Draw(canvas_, page, mgr, 0, 0, 0);
    EXPECT_EQ(list_->PageBottom, 20);
    ASSERT_EQ(list_->TablePartRec, t.TablePartRec.get());
    EXPECT_EQ(t.TablePartRec->TablePart, tpDoFoot);
    EXPECT_EQ(t.TablePartRec->PartStart, 30);
    EXPECT_EQ(t.TablePartRec->PartHeight, 10);
    t.Draw(canvas_, page, mgr, 0, 0, 0);  // the foot pass
    EXPECT_EQ(t.TablePartRec->TablePart, tpDoHead);
    EXPECT_EQ(t.TablePartRec->PartStart, 0);
    EXPECT_EQ(t.TablePartRec->PartHeight, 10);
    t.Draw(canvas_, page, mgr, 0, 0, 0);  // the head pass
    EXPECT_EQ(t.TablePartRec->TablePart, tpDoBody1);
    // The rest of the body fits on the next page: the table is done.
    list_->YOff = 10;
    list_->PageBottom = 110;
    t.Draw(canvas_, page, mgr, 0, 0, 0);
    EXPECT_EQ(list_->TablePartRec, nullptr);
    EXPECT_EQ(t.TablePartRec->TablePart, tpNormal);
    list_->Printing = false;
}

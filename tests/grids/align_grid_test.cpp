// The table grid's model: record resolution, rows and columns with their
// records and hints, sorting, and the text exchange through the grid.
#include <gtest/gtest.h>

#include "grids/align_grid.h"
#include "platform/runtime/errors.h"

namespace {

void Fill(TStringAlignGrid& g) {
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) g.SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
}

}  // namespace

TEST(AlignGrid, ResolutionOrderCellColumnRowGrid) {
    TStringAlignGrid g;
    EXPECT_EQ(g.GetAlignCell(2, 2), TMyAlign::alLeft);
    g.SetAlignRow(2, TMyAlign::alRight);
    EXPECT_EQ(g.GetAlignCell(2, 2), TMyAlign::alRight);
    g.SetAlignCol(2, TMyAlign::alCenter);
    EXPECT_EQ(g.GetAlignCell(2, 2), TMyAlign::alCenter);  // column before row
    g.SetAlignCell(2, 2, TMyAlign::alRight);
    EXPECT_EQ(g.GetAlignCell(2, 2), TMyAlign::alRight);
    g.SetAlignCell(2, 2, TMyAlign::alDefault);  // unset again: the column decides
    EXPECT_EQ(g.GetAlignCell(2, 2), TMyAlign::alCenter);
    g.SetAlignment(TMyAlign::alDefault);
    EXPECT_EQ(g.GetAlignCell(3, 3), TMyAlign::alLeft);

    // Edit permission: the first record with a set flag decides.
    g.SetEditRow(3, false);
    EXPECT_FALSE(g.GetEditCell(1, 3));
    g.SetEditCol(1, true);
    EXPECT_TRUE(g.GetEditCell(1, 3));
    g.Editable = false;
    EXPECT_FALSE(g.GetEditCell(4, 4));

    g.SetWordwrapCol(4, ww_ellipsis);
    EXPECT_EQ(g.GetWordwrapCell(4, 1), ww_ellipsis);
    EXPECT_EQ(g.GetWordwrapCell(3, 1), ww_none);
}

TEST(AlignGrid, FixedCellsUseFixedListsButSelectedColoursFromNormalOnes) {
    TStringAlignGrid g;  // one fixed row and column
    g.SetAlignCol(2, TMyAlign::alRight);
    g.SetAlignFixedCol(2, TMyAlign::alCenter);
    EXPECT_EQ(g.GetAlignCell(2, 0), TMyAlign::alCenter);
    EXPECT_EQ(g.GetAlignCell(2, 1), TMyAlign::alRight);

    g.FontCol(2).SetColor(clRed);
    g.FixedFont().SetColor(clBlue);
    EXPECT_EQ(g.ResolveCellFont(2, 1).Color(), clRed);
    EXPECT_EQ(g.ResolveCellFont(2, 0).Color(), clBlue);  // fixed: the column record is not consulted
    g.FontFixedRow(0).SetColor(clGreen);
    EXPECT_EQ(g.ResolveCellFont(2, 0).Color(), clGreen);

    g.SetFixedColor(clYellow);
    EXPECT_EQ(g.GetColorCell(0, 0), clYellow);
    g.BrushCell(3, 3).SetColor(clAqua);
    EXPECT_EQ(g.GetColorCell(3, 3), clAqua);
    EXPECT_EQ(g.GetColorCell(3, 2), g.Color());

    g.SetSelectedColorCol(2, clMaroon);
    EXPECT_EQ(g.GetSelectedColorCell(2, 0), clMaroon);
    EXPECT_EQ(g.GetSelectedColorCell(3, 0), g.SelectedCellColor());
    g.SetSelectedColorCell(2, 0, clNavy);
    EXPECT_EQ(g.GetSelectedColorCell(2, 0), clNavy);
}

TEST(AlignGrid, RecordsCopyTheirObjects) {
    TStringAlignGrid g;
    TCellProperties rec(&g);
    EXPECT_TRUE(rec.IsEmpty());
    TFont f;
    f.SetColor(clRed);
    rec.SetFont(&f);
    rec.Align = TMyAlign::alCenter;
    f.SetColor(clBlue);
    EXPECT_EQ(rec.Font()->Color(), clRed);
    auto copy = rec.Clone();
    rec.Font()->SetColor(clGreen);
    EXPECT_EQ(copy->Font()->Color(), clRed);
    EXPECT_EQ(copy->Align, TMyAlign::alCenter);
    copy->Assign(nullptr);
    EXPECT_TRUE(copy->IsEmpty());
}

TEST(AlignGrid, InsertRowMovesTextsRecordsAndHintsDown) {
    TStringAlignGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    Fill(g);
    g.SetAlignCell(1, 2, TMyAlign::alRight);
    g.SetHintCell(1, 2, "dica");
    g.SetAlignRow(2, TMyAlign::alCenter);
    g.SetRow(3);

    g.InsertRow(0);  // fixed rows are never displaced: row 1
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cells(1, 0), "1:0");
    EXPECT_EQ(g.Cells(1, 1), "");
    EXPECT_EQ(g.Cells(1, 2), "1:1");
    EXPECT_EQ(g.Cells(1, 3), "1:2");
    EXPECT_EQ(g.GetAlignCell(1, 3), TMyAlign::alRight);
    EXPECT_EQ(g.GetHintCell(1, 3), "dica");
    EXPECT_EQ(g.GetHintCell(1, 2), "");
    EXPECT_EQ(g.GetAlignCell(2, 3), TMyAlign::alCenter);
    EXPECT_EQ(g.Row(), 4);  // the current row follows its content

    g.InsertRow(g.RowCount());  // append
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(0, 5), "");
}

TEST(AlignGrid, InsertColumnMovesColumnRecords) {
    TStringAlignGrid g;
    g.SetColCount(3);
    g.SetRowCount(2);
    Fill(g);
    g.SetAlignCol(1, TMyAlign::alRight);
    g.InsertColumn(1);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.Cells(1, 1), "");
    EXPECT_EQ(g.Cells(2, 1), "1:1");
    EXPECT_EQ(g.GetAlignCell(2, 1), TMyAlign::alRight);
    EXPECT_EQ(g.GetAlignCell(1, 1), TMyAlign::alLeft);
}

TEST(AlignGrid, RemoveRowKeepsFixedAndLastRows) {
    TStringAlignGrid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    Fill(g);
    g.RemoveRow(1);  // the only non-fixed row stays
    g.RemoveRow(0);  // fixed rows stay
    g.RemoveRow(7);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cells(1, 1), "1:1");

    g.SetRowCount(4);
    Fill(g);
    g.SetHintCell(1, 3, "h3");
    g.SetAlignCell(1, 2, TMyAlign::alRight);
    g.SetRow(3);
    g.RemoveRow(2);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Cells(1, 2), "1:3");
    EXPECT_EQ(g.GetHintCell(1, 2), "h3");
    EXPECT_EQ(g.GetAlignCell(1, 2), TMyAlign::alLeft);  // the removed row's record went with it
    EXPECT_EQ(g.Row(), 2);
    // Growing again shows an empty row, not the removed texts.
    g.SetRowCount(4);
    EXPECT_EQ(g.Cells(1, 3), "");
}

TEST(AlignGrid, SwapAndMoveKeepRecordsWithTheirRows) {
    TStringAlignGrid g;
    g.SetColCount(2);
    g.SetRowCount(5);
    Fill(g);
    g.SetAlignRow(1, TMyAlign::alRight);
    g.SetHintCell(1, 4, "last");
    g.SwapRows(1, 4);
    EXPECT_EQ(g.Cells(1, 1), "1:4");
    EXPECT_EQ(g.Cells(1, 4), "1:1");
    EXPECT_EQ(g.GetAlignCell(1, 4), TMyAlign::alRight);
    EXPECT_EQ(g.GetHintCell(1, 1), "last");

    g.SetAlignCol(0, TMyAlign::alCenter);
    g.SwapColumns(0, 1);
    EXPECT_EQ(g.Cells(0, 2), "1:2");
    EXPECT_EQ(g.GetAlignCell(1, 0), TMyAlign::alLeft);  // fixed row: fixed list only
    EXPECT_EQ(g.ColProperties(1)->Align, TMyAlign::alCenter);
}

TEST(AlignGrid, FixedRecordsStayInTheirPlaces) {
    TStringAlignGrid g;  // one fixed row and column
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetAlignFixedRow(2, TMyAlign::alCenter);  // header cell (0, 2)
    g.SetAlignFixedCol(2, TMyAlign::alRight);   // header cell (2, 0)
    auto unmoved = [&](const char* after) {
        EXPECT_EQ(g.GetAlignCell(0, 2), TMyAlign::alCenter) << after;
        EXPECT_EQ(g.GetAlignCell(0, 3), TMyAlign::alLeft) << after;
        EXPECT_EQ(g.GetAlignCell(2, 0), TMyAlign::alRight) << after;
        EXPECT_EQ(g.GetAlignCell(3, 0), TMyAlign::alLeft) << after;
    };
    g.InsertRow(1);
    g.InsertColumn(1);
    unmoved("insert");
    g.RemoveRow(1);
    unmoved("remove");
    g.SwapRows(2, 3);
    g.SwapColumns(2, 3);
    unmoved("swap");
}

TEST(AlignGrid, SortsRowsByDateOrTextAndColumnsByText) {
    TStringAlignGrid g;
    g.SetColCount(2);
    g.SetRowCount(5);
    g.SetCells(0, 0, "Data");
    const char* dates[] = {"01/03/2000", "15/01/1999", "01/02/2000", "31/12/1998"};
    for (int i = 0; i < 4; ++i) {
        g.SetCells(0, i + 1, dates[i]);
        g.SetCells(1, i + 1, std::to_string(i));
    }
    g.SetHintCell(1, 1, "march");
    g.Sort(0, 1, 4, false, true);
    EXPECT_EQ(g.Cols(0).CommaText(), "Data,31/12/1998,15/01/1999,01/02/2000,01/03/2000");
    EXPECT_EQ(g.Cols(1).CommaText(), ",3,1,2,0");
    EXPECT_EQ(g.GetHintCell(1, 4), "march");
    g.Sort(0, 1, 4, true, true);
    EXPECT_EQ(g.Cells(0, 1), "01/03/2000");

    g.OnCompareCol = g.CompareColText;
    g.Sort(1, 1, 4, false, true);
    EXPECT_EQ(g.Cols(1).CommaText(), ",0,1,2,3");

    g.SetCells(1, 1, "not a date");
    g.OnCompareCol = nullptr;
    TStringAlignGrid d;
    d.SetCells(0, 1, "x");
    d.SetCells(0, 2, "01/01/2000");
    EXPECT_THROW(d.Sort(0, 1, 2, false, true), EConvertError);
    EXPECT_THROW(d.CellAsDateTime(0, 1), EConvertError);

    TStringAlignGrid cols;
    cols.SetColCount(4);
    cols.SetCells(0, 0, "b");
    cols.SetCells(1, 0, "c");
    cols.SetCells(2, 0, "a");
    cols.SetCells(3, 0, "B");
    cols.Sort(0, 0, 3, false, false);
    EXPECT_EQ(cols.Rows(0).CommaText(), "B,a,b,c");  // ordinal bytes
}

TEST(AlignGrid, CellsOutsideTheCountsAndWholeRows) {
    TStringAlignGrid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    EXPECT_EQ(g.Cells(-1, 0), "");
    g.SetCells(3, 1, "later");
    EXPECT_EQ(g.Cells(3, 1), "");
    g.SetColCount(4);
    EXPECT_EQ(g.Cells(3, 1), "later");

    TStringList l;
    l.SetCommaText("a,\"b c\",d,e");
    g.SetRows(1, l);
    EXPECT_EQ(g.Cells(1, 1), "b c");
    EXPECT_EQ(g.Cells(3, 1), "e");

    g.Matrix().SetRowCount(50);
    g.Matrix().SetCell(0, 49, "direct");
    g.MatrixChanged();
    EXPECT_EQ(g.RowCount(), 50);
    EXPECT_EQ(g.Cells(0, 49), "direct");
}

TEST(AlignGrid, StreamsThroughTheGridAndHonoursProtectCells) {
    TStringAlignGrid g;
    g.SetColCount(1);
    g.SetRowCount(1);
    g.CellsFromStream("Mês\tValor\t\r\n01/2000\t1,5\t\r\n");
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.CellsToStream(), "Mês\tValor\t\r\n01/2000\t1,5\t\r\n");

    g.ProtectCells = true;
    g.SetEditCell(1, 1, false);
    g.CellsFromStream("a\tb\t\r\nc\td\t\r\n");
    EXPECT_EQ(g.Cells(0, 1), "c");
    EXPECT_EQ(g.Cells(1, 1), "1,5");
}

TEST(AlignGrid, AutoWidthOfTheLastColumnNeverNegative) {
    TStringAlignGrid g;
    g.SetBounds(0, 0, 300, 200);
    g.SetColCount(3);
    g.SetColWidths(0, 100);
    g.SetColWidths(1, 100);
    g.SetAutoAdjustLastCol(true);
    const int expected = g.ClientWidth() - 200 - 3 * g.GridLineWidth();
    EXPECT_EQ(g.ColWidths(2), expected);
    g.SetColWidths(1, g.ClientWidth() - 100 - 1);  // leaves less than the lines need
    g.SetGridLineWidth(5);
    EXPECT_EQ(g.ColWidths(2), 0);
}

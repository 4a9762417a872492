#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/strutil.h"

namespace {

std::vector<std::string> Read(const std::string& commaText) {
    TStringList l;
    l.SetCommaText(commaText);
    return l.Items();
}

using V = std::vector<std::string>;

TEST(CommaText, WritesTheStateFileQuoting) {
    TStringList l{"03/1990", "1.234,56", "", "a b", "x,y", "diz \"oi\"", "\t", "São"};
    EXPECT_EQ(l.CommaText(), "03/1990,\"1.234,56\",,\"a b\",\"x,y\",\"diz \"\"oi\"\"\",\"\t\",São");
    EXPECT_EQ(TStringList{}.CommaText(), "");
    EXPECT_EQ(TStringList{""}.CommaText(), "\"\"");
    EXPECT_EQ((TStringList{"", ""}.CommaText()), ",");
}

TEST(CommaText, ReadsItemsBlanksQuotesAndEmptyCells) {
    EXPECT_EQ(Read(""), V{});
    EXPECT_EQ(Read("   "), V{});
    EXPECT_EQ(Read("a,b"), (V{"a", "b"}));
    EXPECT_EQ(Read("a b"), (V{"a", "b"}));       // an unquoted blank splits
    EXPECT_EQ(Read(" a , b "), (V{"a", "b"}));
    EXPECT_EQ(Read("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(Read(",a"), (V{"", "a"}));
    EXPECT_EQ(Read("a,"), (V{"a", ""}));         // a trailing comma adds an empty item
    EXPECT_EQ(Read(",,"), (V{"", "", ""}));
    EXPECT_EQ(Read("\"\""), V{""});
    EXPECT_EQ(Read("\"a \"\"b\"\" c\",d"), (V{"a \"b\" c", "d"}));
    EXPECT_EQ(Read("\"unterminated, text"), V{"unterminated, text"});
}

TEST(CommaText, EveryRowSurvivesAWriteAndARead) {
    std::vector<V> rows = {
        {"mm/yyyy", "Valor Calculado", "", "\"", "a,b", " lead", "trail ", "", ""},
        {""},
        {"", ""},
        {"\"\"", ",", " ", "\r\n", "x\"y", "Índice"},
        {"1,00", "-5,00", "1.116,67", "SM", "Teto"},
    };
    for (const V& row : rows) {
        TStringList out;
        out.MutableItems() = row;
        EXPECT_EQ(Read(out.CommaText()), row) << out.CommaText();
    }
}

TEST(StringList, TextLinesAndIndexErrors) {
    TStringList l;
    int changes = 0;
    l.OnChange = [&] { ++changes; };
    l.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(l.Items(), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n");
    l.SetText("a\r\n\r\nb");
    EXPECT_EQ(l.Items(), (V{"a", "", "b"}));
    l.Insert(1, "x");
    l.Delete(0);
    EXPECT_EQ(l.IndexOf("b"), 2);
    EXPECT_EQ(l.IndexOf("B"), -1);
    EXPECT_EQ(changes, 4);
    EXPECT_THROW(l[3], EStringListError);
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(5, "z"), EStringListError);
    l.AddStrings(l);
    EXPECT_EQ(l.Count(), 6);
}

TEST(CellMatrix, ReadsOutsideWritesBeyondAndShrinking) {
    TCellMatrix m(3, 2);
    m.SetCell(0, 0, "a");
    EXPECT_EQ(m.Cell(0, 0), "a");
    EXPECT_EQ(m.Cell(-1, 0), "");
    EXPECT_EQ(m.Cell(3, 0), "");
    EXPECT_EQ(m.Cell(0, 2), "");
    m.SetCell(4, 5, "beyond");  // kept, not shown
    EXPECT_EQ(m.Cell(4, 5), "");
    m.SetColCount(5);
    m.SetRowCount(6);
    EXPECT_EQ(m.Cell(4, 5), "beyond");
    m.SetRowCount(5);  // shrinking drops what lies beyond
    m.SetRowCount(6);
    EXPECT_EQ(m.Cell(4, 5), "");
    m.SetCell(4, 0, "e");
    m.SetColCount(4);
    m.SetColCount(5);
    EXPECT_EQ(m.Cell(4, 0), "");
    m.SetCell(-1, 0, "ignored");
    EXPECT_EQ(m.Row(0).Items(), (V{"a", "", "", "", ""}));
    m.Clear();
    EXPECT_EQ(m.Cell(0, 0), "");
    EXPECT_EQ(m.ColCount(), 5);
}

// A cell copied onto a cell further along its own row: the row grows to take
// the copy, which must not free the text being copied.
TEST(CellMatrix, ACellCopiedOntoItsOwnRow) {
    TCellMatrix m(8, 2);
    const std::string longText(100, 'x');  // beyond any small-string buffer
    m.SetCell(3, 1, longText);
    m.SetCell(6, 1, m.Cell(3, 1));
    EXPECT_EQ(m.Cell(6, 1), longText);
    m.SetCell(7, 1, m.Cell(6, 1));
    m.SetCell(2, 1, m.Cell(7, 1));
    EXPECT_EQ(m.Row(1).Items(), (V{"", "", longText, longText, "", "", longText, longText}));
}

TEST(CellMatrix, RowsAndColumnsMoveAndTravelAsLists) {
    TCellMatrix m(2, 5);
    for (int r = 0; r < 5; ++r) m.SetCell(0, r, std::to_string(r));
    m.MoveRow(1, 3);  // 0 2 3 1 4
    EXPECT_EQ(m.Col(0).Items(), (V{"0", "2", "3", "1", "4"}));
    m.MoveRow(3, 1);  // back
    EXPECT_EQ(m.Col(0).Items(), (V{"0", "1", "2", "3", "4"}));
    m.MoveRow(4, 0);
    EXPECT_EQ(m.Col(0).Items(), (V{"4", "0", "1", "2", "3"}));
    m.MoveRow(0, 7);  // outside: nothing
    m.SwapRows(0, 4);
    EXPECT_EQ(m.Col(0).Items(), (V{"3", "0", "1", "2", "4"}));
    m.SetRow(1, TStringList{"x", "y"});
    m.MoveCol(0, 1);
    EXPECT_EQ(m.Row(1).Items(), (V{"y", "x"}));
    m.SwapCols(0, 1);
    EXPECT_EQ(m.Row(1).Items(), (V{"x", "y"}));
    m.SetRow(1, TStringList{"only"});  // the rest of the row is emptied
    EXPECT_EQ(m.Row(1).Items(), (V{"only", ""}));
    TStringList row;
    row.SetCommaText(m.Row(1).CommaText());
    m.SetRow(2, row);
    EXPECT_EQ(m.Row(2).Items(), m.Row(1).Items());
}

// The tables are told unchanged by their version alone: every change gives a
// new one, and a matrix moved from is changed.
TEST(CellMatrix, EveryChangeGivesANewVersion) {
    TCellMatrix m(2, 2);
    std::vector<uint64_t> seen = {m.Version()};
    EXPECT_EQ(m.Version(), seen.back());
    const std::vector<std::function<void()>> changes = {
        [&] { m.SetCell(1, 1, "a"); },  [&] { m.SetRowCount(3); }, [&] { m.SetColCount(3); },
        [&] { m.MoveRow(0, 2); },       [&] { m.MoveCol(0, 1); },  [&] { m.SwapRows(0, 1); },
        [&] { m.SwapCols(0, 2); },      [&] { m.SetRow(0, TStringList()); },
        [&] { m.SetCol(0, TStringList()); }, [&] { m.Clear(); }};
    for (const auto& change : changes) {
        change();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), m.Version()), 0);
        seen.push_back(m.Version());
    }
    TCellMatrix copy = m;
    EXPECT_EQ(copy.Version(), m.Version());
    TCellMatrix moved = std::move(copy);
    EXPECT_EQ(moved.Version(), m.Version());
    EXPECT_NE(copy.Version(), m.Version());
    m = std::move(moved);
    EXPECT_NE(moved.Version(), m.Version());
}

TEST(StrUtil, OneBasedPositionsClampInsteadOfFailing) {
    EXPECT_EQ(Copy("01/05/1977", 4, 7), "05/1977");
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 4, 1), "");
    EXPECT_EQ(Copy("abc", 2, -1), "");
    EXPECT_EQ(Pos("/", "12/05"), 3);
    EXPECT_EQ(Pos("", "abc"), 0);
    std::string s = "abcdef";
    Delete(s, 2, 100);
    EXPECT_EQ(s, "a");
    Delete(s, 0, 1);
    EXPECT_EQ(s, "a");
    Insert("xy", s, 99);
    EXPECT_EQ(s, "axy");
    Insert("0", s, -3);
    EXPECT_EQ(s, "0axy");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(TrimRight("  x  "), "  x");
    EXPECT_EQ(AnsiUpperCase("ação ÿ œ"), "AÇÃO Ÿ Œ");
    EXPECT_EQ(AnsiLowerCase("ÇÃO ×"), "ção ×");
    EXPECT_EQ(UpperCase("ação"), "AçãO");
    EXPECT_TRUE(SameText("Teto", "TETO"));
    EXPECT_LT(CompareStr("a", "é"), 0);
    EXPECT_EQ(StringReplace("a.b.c", ".", ""), "abc");
    EXPECT_EQ(StringReplace("a.b.c", ".", ",", rfNone), "a,b.c");
    EXPECT_EQ(StringReplace("Ação AÇÃO", "ação", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(StringOfChar('-', 3), "---");
}

} // namespace

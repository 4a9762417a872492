// The table text form: exact bytes written, lines read back, the grid only
// growing, and the atomic save.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "grids/table_file.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

const TGridRect kAll{-1, -1, -1, -1};
const TGridRect kFromOrigin{0, 0, -1, -1};

std::string TempPath(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("velorim_grids_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TCellMatrix Matrix(int cols, int rows, std::initializer_list<std::string> texts) {
    TCellMatrix m(cols, rows);
    int i = 0;
    for (const auto& t : texts) {
        m.SetCell(i % cols, i / cols, t);
        ++i;
    }
    return m;
}

}  // namespace

TEST(TableFile, WritesTabTerminatedFieldsAndCrLfLines) {
    TCellMatrix m = Matrix(2, 2, {"Data", "Valor", "01/2000", ""});
    std::string out;
    CellsToText(m, out, '\t', kAll);
    EXPECT_EQ(out, "Data\tValor\t\r\n01/2000\t\t\r\n");
    EXPECT_EQ(out.size(), 24u);

    // A sub-rectangle, and bounds that normalise to the whole grid.
    out.clear();
    CellsToText(m, out, '\t', TGridRect{1, 1, 1, 1});
    EXPECT_EQ(out, "\t\r\n");
    out.clear();
    CellsToText(m, out, '\t', TGridRect{1, 0, 0, -5});
    EXPECT_EQ(out, "Valor\t\r\n\t\r\n");
}

TEST(TableFile, BreakingCharactersInCellsAreWrittenAsBlanks) {
    TCellMatrix m = Matrix(2, 1, {"a\tb", "c\r\nd"});
    std::string out;
    CellsToText(m, out, '\t', kAll);
    EXPECT_EQ(out, "a b\tc  d\t\r\n");
    TCellMatrix back(1, 1);
    CellsFromText(back, out, '\t', kFromOrigin);
    EXPECT_EQ(back.ColCount(), 2);
    EXPECT_EQ(back.RowCount(), 1);
    EXPECT_EQ(back.Cell(0, 0), "a b");
    EXPECT_EQ(back.Cell(1, 0), "c  d");
}

TEST(TableFile, ReadsFieldsAndLineEndsOfEveryKind) {
    for (const std::string& text : {std::string("a\t\tb\t\r\nx\ty\r\n"), std::string("a\t\tb\t\nx\ty\n"),
                                    std::string("a\t\tb\t\rx\ty\r"), std::string("a\t\tb\t\r\nx\ty")}) {
        TCellMatrix m(1, 1);
        CellsFromText(m, text, '\t', kFromOrigin);
        SCOPED_TRACE(text);
        EXPECT_EQ(m.ColCount(), 3);
        EXPECT_EQ(m.RowCount(), 2);
        EXPECT_EQ(m.Cell(0, 0), "a");
        EXPECT_EQ(m.Cell(1, 0), "");
        EXPECT_EQ(m.Cell(2, 0), "b");
        EXPECT_EQ(m.Cell(0, 1), "x");
        EXPECT_EQ(m.Cell(1, 1), "y");
    }
    // A line end as separator separates nothing: each line is one field.
    TCellMatrix lines(1, 1);
    CellsFromText(lines, "a\tb\r\nc\n", '\n', kFromOrigin);
    EXPECT_EQ(lines.ColCount(), 1);
    EXPECT_EQ(lines.RowCount(), 2);
    EXPECT_EQ(lines.Cell(0, 0), "a b");
    EXPECT_EQ(lines.Cell(0, 1), "c");
}

TEST(TableFile, ReadingOnlyGrowsAndLeavesUnreachedCells) {
    TCellMatrix m(4, 10);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 4; ++c) m.SetCell(c, r, "old");
    // Short lines, an empty line that still takes a row, a NUL that ends the text.
    CellsFromText(m, std::string("n1\r\n\r\nn3\tn4\r\n", 14) + std::string("\0junk\r\n", 7), '\t', kFromOrigin);
    EXPECT_EQ(m.ColCount(), 4);
    EXPECT_EQ(m.RowCount(), 10);
    EXPECT_EQ(m.Cell(0, 0), "n1");
    EXPECT_EQ(m.Cell(1, 0), "old");
    EXPECT_EQ(m.Cell(0, 1), "old");
    EXPECT_EQ(m.Cell(0, 2), "n3");
    EXPECT_EQ(m.Cell(1, 2), "n4");
    EXPECT_EQ(m.Cell(0, 3), "old");
    EXPECT_EQ(m.Cell(3, 9), "old");
}

TEST(TableFile, RectangleBoundsTheRead) {
    const std::string clip = "x\ty\t\r\nz\t\r\n";
    TCellMatrix one = Matrix(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    CellsFromText(one, clip, '\t', TGridRect{1, 1, 1, 1});
    EXPECT_EQ(one.Cell(1, 1), "x");
    EXPECT_EQ(one.Cell(2, 1), "f");
    EXPECT_EQ(one.Cell(1, 2), "h");

    TCellMatrix four = Matrix(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    CellsFromText(four, clip, '\t', TGridRect{1, 1, 2, 2});
    EXPECT_EQ(four.Cell(1, 1), "x");
    EXPECT_EQ(four.Cell(2, 1), "y");
    EXPECT_EQ(four.Cell(1, 2), "z");
    EXPECT_EQ(four.Cell(2, 2), "i");

    // A refused cell keeps its text.
    TCellMatrix guarded = Matrix(2, 1, {"keep", "b"});
    CellsFromText(guarded, "p\tq\t\r\n", '\t', kFromOrigin, [](int c, int) { return c != 0; });
    EXPECT_EQ(guarded.Cell(0, 0), "keep");
    EXPECT_EQ(guarded.Cell(1, 0), "q");
}

TEST(TableFile, SaveAndLoadRoundTrip) {
    const std::string path = TempPath("round.tab");
    TCellMatrix m = Matrix(3, 2, {"Mês", "Índice", "", "01/2000", "1,0523", "R$"});
    SaveTableFile(m, path);
    EXPECT_EQ(ReadAll(path), "Mês\tÍndice\t\t\r\n01/2000\t1,0523\tR$\t\r\n");
    TCellMatrix back(1, 1);
    LoadTableFile(back, path);
    ASSERT_EQ(back.ColCount(), 3);
    ASSERT_EQ(back.RowCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(back.Cell(c, r), m.Cell(c, r));
    EXPECT_THROW(LoadTableFile(back, TempPath("missing.tab")), EFOpenError);
}

TEST(TableFile, AFileWithANulOrBeyondAnyTableIsRefusedWhole) {
    // A NUL ends clipboard text, but in a file it is damage: the rows after
    // it would silently vanish.
    const std::string path = TempPath("nul.tab");
    std::ofstream(path, std::ios::binary)
        << std::string("Data\tValor\t\r\n01/2000\t1\t\r\n02/2\0000\t2\t\r\n03/2000\t3\t\r\n", 48);
    TCellMatrix m = Matrix(2, 2, {"a", "b", "c", "d"});
    try {
        LoadTableFile(m, path);
        ADD_FAILURE() << "a NUL was read as an end of text";
    } catch (const EDamagedFile& e) {
        EXPECT_EQ(e.Reason, "linha 3: byte nulo no texto");
        EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
    }
    EXPECT_EQ(m.RowCount(), 2);
    EXPECT_EQ(m.Cell(0, 1), "c");

    // Larger than any table: refused before a byte is read.
    const std::string huge = TempPath("huge.tab");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, kMaxTableFileSize + 1);
    EXPECT_THROW(LoadTableFile(m, huge), EFOpenError);
    EXPECT_EQ(m.Cell(0, 1), "c");
    std::filesystem::remove(huge);
}

TEST(TableFile, FailedSaveRaisesAndKeepsWhatWasThere) {
    // The target is a folder: the save cannot replace it.
    const std::string dir = TempPath("occupied");
    std::filesystem::create_directories(dir + "/inner");
    EXPECT_THROW(SaveTableFile(Matrix(1, 1, {"x"}), dir), EFCreateError);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/inner"));
    EXPECT_THROW(SaveTableFile(Matrix(1, 1, {"x"}), TempPath("no/such/folder/t.tab")), EFCreateError);
}

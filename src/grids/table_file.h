#pragma once
// The table text form of a grid's cells: each cell followed by a separator
// byte, each row ended by CR LF, no header and no quoting. It is the layout of
// the .tab files and of the text the grids exchange with the clipboard.
#include <functional>
#include <string>
#include <string_view>

#include "platform/gui/string_grid_types.h"
#include "platform/runtime/cell_matrix.h"

constexpr char TableSeparator = '\t';

// Appends the rectangle's rows to out. Negative or inverted bounds stand for
// the whole grid. A TAB, CR, LF or NUL inside a cell is written as a blank so
// that the text always reads back cell for cell.
void CellsToText(const TCellMatrix& cells, std::string& out, char separator, TGridRect rect);

// Reads lines (ended by CR LF, CR or LF; a NUL ends the text) into the cells
// from (Left, Top), at most up to (Right, Bottom); an inverted bound means
// unbounded. The matrix only grows: rows and columns are added as needed, and
// cells the text does not reach keep their texts. mayWrite, when given, can
// refuse a cell (it keeps its text). A TAB that is not the separator is
// stored as a blank.
void CellsFromText(TCellMatrix& cells, std::string_view text, char separator, TGridRect rect,
                   const std::function<bool(int col, int row)>& mayWrite = {});

// Saves every cell as a table file, replacing the file atomically; raises
// EFCreateError (the previous file intact) when it cannot be written.
void SaveTableFile(const TCellMatrix& cells, const std::string& fileName);
// Reads a table file's text: EFOpenError when it cannot be read or is larger
// than any table (kMaxTableFileSize), EDamagedFile when it holds a NUL byte
// (a table is text: a NUL there is damage, not an end of text). Reason
// holds the why with the line.
std::string ReadTableText(const std::string& fileName);
// Loads a table file into the cells from (0, 0), as ReadTableText reads it;
// the cells stay as they were when it raises.
void LoadTableFile(TCellMatrix& cells, const std::string& fileName,
                   const std::function<bool(int col, int row)>& mayWrite = {});
// The line (from 1) that holds the byte at offset `at` of a table text.
int TableLineAt(std::string_view text, size_t at);

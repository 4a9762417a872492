#include "grids/table_file.h"

#include <algorithm>
#include <climits>

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

bool IsBreakingByte(char c) { return c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

void AppendCell(std::string& out, const std::string& text) {
    size_t start = out.size();
    out += text;
    for (size_t i = start; i < out.size(); ++i)
        if (IsBreakingByte(out[i])) out[i] = ' ';
}

}  // namespace

void CellsToText(const TCellMatrix& cells, std::string& out, char separator, TGridRect r) {
    if (r.Right < r.Left || r.Right < 0) r.Right = cells.ColCount() - 1;
    if (r.Left < 0) r.Left = 0;
    if (r.Bottom < r.Top || r.Bottom < 0) r.Bottom = cells.RowCount() - 1;
    if (r.Top < 0) r.Top = 0;
    for (int row = r.Top; row <= r.Bottom; ++row) {
        for (int col = r.Left; col <= r.Right; ++col) {
            AppendCell(out, cells.Cell(col, row));
            out += separator;
        }
        out += "\r\n";
    }
}

void CellsFromText(TCellMatrix& cells, std::string_view text, char separator, TGridRect r,
                   const std::function<bool(int, int)>& mayWrite) {
    if (r.Top < 0) r.Top = 0;
    if (r.Left < 0) r.Left = 0;
    if (r.Bottom < r.Top) r.Bottom = INT_MAX;
    if (r.Right < r.Left) r.Right = INT_MAX;

    if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);

    // Growing the counts once at the end gives the same cells as growing them
    // line by line: a write beyond the counts is kept and shows when they grow.
    int needCols = cells.ColCount(), needRows = cells.RowCount();
    int row = r.Top;
    const char* p = text.data();
    const char* const end = p + text.size();
    // A line ends at CR LF, CR or LF; the separator never ends one. The bytes
    // that end a field are looked up, one test a byte.
    const bool lineBreakSeparator = separator == '\r' || separator == '\n';
    bool endsField[256] = {};
    endsField[static_cast<unsigned char>(separator)] = true;
    endsField[static_cast<unsigned char>('\r')] = endsField[static_cast<unsigned char>('\n')] = true;
    // Rows of a table are alike: each gets room for as many cells as the
    // line before had (a line of many empty fields stores none of them: no
    // more than a real table's width is asked).
    int width = 0;
    while (p < end && row <= r.Bottom) {
        if (needRows <= row) needRows = row + 1;
        if (width > 0 && *p != '\r' && *p != '\n') cells.ReserveRow(row, r.Left + static_cast<int>(std::min({long(width), long(r.Right) - r.Left + 1, 64L})));
        // Fields are read while something is left of the line: the separator
        // after the last field opens no further cell.
        int col = r.Left, fields = 0;
        while (p < end && *p != '\r' && *p != '\n') {
            const char* fieldEnd = p;
            while (fieldEnd < end && !endsField[static_cast<unsigned char>(*fieldEnd)]) ++fieldEnd;
            ++fields;
            if (col <= r.Right) {
                if (needCols <= col) needCols = col + 1;
                if (!mayWrite || mayWrite(col, row)) {
                    std::string field(p, static_cast<size_t>(fieldEnd - p));
                    if (separator != '\t')
                        for (char& c : field)
                            if (c == '\t') c = ' ';
                    cells.SetCell(col, row, std::move(field));
                }
                ++col;
            }
            p = fieldEnd;
            if (p < end && *p == separator && !lineBreakSeparator) ++p;
        }
        if (fields > 0) width = fields;
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        ++row;
    }
    if (needRows > cells.RowCount()) cells.SetRowCount(needRows);
    if (needCols > cells.ColCount()) cells.SetColCount(needCols);
}

void SaveTableFile(const TCellMatrix& cells, const std::string& fileName) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(cells.RowCount()) * (cells.ColCount() * 8 + 2));
    CellsToText(cells, bytes, TableSeparator, GridRect(-1, -1, -1, -1));
    WriteFileAtomic(fileName, bytes);
}

int TableLineAt(std::string_view text, size_t at) {
    int line = 1;
    for (size_t i = 0; i < at && i < text.size(); ++i) {
        if (text[i] == '\n') ++line;
        else if (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')) ++line;
    }
    return line;
}

std::string ReadTableText(const std::string& fileName) {
    std::string bytes = ReadFileBytes(fileName, kMaxTableFileSize);
    if (size_t nul = bytes.find('\0'); nul != std::string::npos) {
        const std::string reason =
            "linha " + std::to_string(TableLineAt(bytes, nul)) + ": byte nulo no texto";
        throw EDamagedFile("O arquivo \"" + fileName + "\" está danificado: " + reason, 0, reason);
    }
    return bytes;
}

void LoadTableFile(TCellMatrix& cells, const std::string& fileName,
                   const std::function<bool(int, int)>& mayWrite) {
    const std::string bytes = ReadTableText(fileName);
    CellsFromText(cells, bytes, TableSeparator, GridRect(0, 0, -1, -1), mayWrite);
}

#include "grids/property_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/runtime/cell_matrix.h"

namespace {

constexpr char kSignature[] = {'V', 'G', 'R', 'D'};
constexpr uint8_t kVersion = 1;
// How many list entries a description may add to the grid. The indexes go up
// to 65535, so a few bytes could otherwise claim gigabytes of empty slots.
constexpr size_t kMaxNewSlots = size_t{1} << 20;
constexpr size_t kHexBlock = 100;  // bytes per hexadecimal string

bool KnownType(char c) {
    switch (static_cast<TPropValueType>(c)) {
        case TPropValueType::vaInt8: case TPropValueType::vaInt16: case TPropValueType::vaInt32:
        case TPropValueType::vaString: case TPropValueType::vaLString: case TPropValueType::vaBinary:
        case TPropValueType::vaList: case TPropValueType::vaNull:
            return true;
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------- writer

void TPropWriter::WriteInteger(int32_t v) {
    if (v >= INT8_MIN && v <= INT8_MAX) {
        data_ += static_cast<char>(TPropValueType::vaInt8);
        data_ += static_cast<char>(static_cast<uint8_t>(v));
        return;
    }
    const int bytes = (v >= INT16_MIN && v <= INT16_MAX) ? 2 : 4;
    data_ += static_cast<char>(bytes == 2 ? TPropValueType::vaInt16 : TPropValueType::vaInt32);
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < bytes; ++i) data_ += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void TPropWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        data_ += static_cast<char>(TPropValueType::vaString);
        data_ += static_cast<char>(text.size());
    } else {
        data_ += static_cast<char>(TPropValueType::vaLString);
        const auto n = static_cast<uint32_t>(text.size());
        for (int i = 0; i < 4; ++i) data_ += static_cast<char>((n >> (8 * i)) & 0xFF);
    }
    data_ += text;
}

void TPropWriter::WriteBinary(std::string_view bytes) {
    data_ += static_cast<char>(TPropValueType::vaBinary);
    const auto n = static_cast<uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i) data_ += static_cast<char>((n >> (8 * i)) & 0xFF);
    data_ += bytes;
}

void TPropWriter::WriteListBegin() { data_ += static_cast<char>(TPropValueType::vaList); }
void TPropWriter::WriteListEnd() { data_ += static_cast<char>(TPropValueType::vaNull); }

void TPropWriter::WritePropName(std::string_view name) {
    name = name.substr(0, 255);
    data_ += static_cast<char>(name.size());
    data_ += name;
}

// ---------------------------------------------------------------- reader

void TPropReader::Fail(const std::string& what) const {
    throw EReadError("Stream read error: " + what + " at byte " + std::to_string(pos_));
}

uint8_t TPropReader::Byte() {
    if (pos_ >= data_.size()) Fail("unexpected end of the data");
    return static_cast<uint8_t>(data_[pos_++]);
}

uint32_t TPropReader::Unsigned(int bytes) {
    if (data_.size() - pos_ < static_cast<size_t>(bytes)) Fail("unexpected end of the data");
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(data_[pos_ + i])) << (8 * i);
    pos_ += bytes;
    return v;
}

std::string_view TPropReader::Take(size_t count) {
    if (data_.size() - pos_ < count) Fail("unexpected end of the data");
    std::string_view s = data_.substr(pos_, count);
    pos_ += count;
    return s;
}

TPropValueType TPropReader::NextValue() const {
    if (pos_ >= data_.size()) Fail("unexpected end of the data");
    const char c = data_[pos_];
    if (!KnownType(c)) Fail("unknown value type " + std::to_string(static_cast<uint8_t>(c)));
    return static_cast<TPropValueType>(c);
}

int32_t TPropReader::ReadInteger() {
    switch (NextValue()) {
        case TPropValueType::vaInt8: ++pos_; return static_cast<int8_t>(Byte());
        case TPropValueType::vaInt16: ++pos_; return static_cast<int16_t>(Unsigned(2));
        case TPropValueType::vaInt32: ++pos_; return static_cast<int32_t>(Unsigned(4));
        default: Fail("integer expected");
    }
}

std::string TPropReader::ReadString() {
    switch (NextValue()) {
        case TPropValueType::vaString: {
            ++pos_;
            const size_t n = Byte();
            return std::string(Take(n));
        }
        case TPropValueType::vaLString: {
            ++pos_;
            const size_t n = Unsigned(4);
            return std::string(Take(n));
        }
        default: Fail("string expected");
    }
}

std::string TPropReader::ReadBinary() {
    if (NextValue() != TPropValueType::vaBinary) Fail("binary block expected");
    ++pos_;
    const size_t n = Unsigned(4);
    return std::string(Take(n));
}

void TPropReader::ReadListBegin() {
    if (NextValue() != TPropValueType::vaList) Fail("list expected");
    ++pos_;
}

void TPropReader::ReadListEnd() {
    if (NextValue() != TPropValueType::vaNull) Fail("end of list expected");
    ++pos_;
}

bool TPropReader::EndOfList() const {
    return pos_ < data_.size() && static_cast<TPropValueType>(data_[pos_]) == TPropValueType::vaNull;
}

std::string TPropReader::ReadPropName() {
    const size_t n = Byte();
    return std::string(Take(n));
}

// ---------------------------------------------------------------- fonts, brushes, pictures

void WriteBrush(TPropWriter& w, const TBrush& brush) {
    w.WriteInteger(brush.Color());
    w.WriteInteger(static_cast<int>(brush.Style()));
}

TBrush ReadBrush(TPropReader& r) {
    TBrush b;
    const TColor color = r.ReadInteger();
    // A style beyond the known ones keeps its low byte (it paints solid).
    const auto style = static_cast<uint8_t>(r.ReadInteger() & 0xFF);
    b.SetColor(color);
    b.SetStyle(static_cast<TBrushStyle>(style));
    return b;
}

void WriteFont(TPropWriter& w, const TFont& font) {
    w.WriteInteger(font.Color());
    w.WriteInteger(font.Height());
    w.WriteString(font.Name());
    w.WriteInteger(static_cast<int>(font.Pitch()));
    w.WriteInteger(font.Style());
}

TFont ReadFont(TPropReader& r) {
    TFont f;
    const TColor color = r.ReadInteger();
    // Out-of-range values are kept in part, not refused: the height's low
    // word (no font is larger) and the pitch's low byte (beyond fixed it is
    // variable).
    const auto height = static_cast<int16_t>(r.ReadInteger() & 0xFFFF);
    const std::string name = r.ReadString();
    const auto pitch = static_cast<uint8_t>(r.ReadInteger() & 0xFF);
    const int style = r.ReadInteger();
    f.SetColor(color);
    f.SetHeight(height);
    f.SetName(name);
    f.SetPitch(static_cast<TFontPitch>(pitch));
    f.SetStyle(static_cast<TFontStyles>(style & (fsBold | fsItalic | fsUnderline | fsStrikeOut)));
    return f;
}

void WriteHexBlocks(TPropWriter& w, std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string block;
    for (size_t at = 0; at < bytes.size(); at += kHexBlock) {
        const std::string_view part = bytes.substr(at, kHexBlock);
        block.clear();
        for (unsigned char b : part) {
            block += digits[b >> 4];
            block += digits[b & 0x0F];
        }
        w.WriteString(block);
    }
    w.WriteString(".");
}

std::string ReadHexBlocks(TPropReader& r) {
    std::string bytes;
    for (;;) {
        const std::string s = r.ReadString();
        if (s == ".") return bytes;
        for (size_t i = 0; i < s.size(); i += 2) {
            const int hi = HexDigit(s[i]);
            const int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : 0;
            if (hi < 0 || lo < 0) r.Fail("invalid hexadecimal text \"" + s.substr(i, 2) + "\"");
            // A last lone digit is a byte of its own.
            bytes += static_cast<char>(i + 1 < s.size() ? hi * 16 + lo : hi);
        }
    }
}

// ---------------------------------------------------------------- grid properties

namespace {

enum class Where : uint8_t { Cell, Col, Row, FixedCol, FixedRow };

// One change a description makes to the grid, kept until it has been read whole.
struct Step {
    enum Kind : uint8_t { Record, Hint, Text, Align, Edit, Font, Brush, Color, SelectedColor };
    explicit Step(Kind k) : kind(k) {}
    Kind kind;
    Where where = Where::Cell;
    int col = 0, row = 0;  // an index of a column or row list goes in col
    std::unique_ptr<TCellProperties> record;
    std::string text;
    int value = 0;
    TFont font;
    TBrush brush;
};

struct Staged {
    std::vector<Step> steps;
    bool hints = false, cells = false;
};

int Index16(int32_t v) { return static_cast<int>(static_cast<uint32_t>(v) & 0xFFFF); }

TPropList& ListOf(TCellPropertyLists& lists, Where w) {
    switch (w) {
        case Where::Col: return lists.PropCol;
        case Where::Row: return lists.PropRow;
        case Where::FixedCol: return lists.PropFixedCol;
        default: return lists.PropFixedRow;
    }
}

template <class T>
T& SlotAt(std::vector<T>& list, int index) {
    if (list.size() <= static_cast<size_t>(index)) list.resize(static_cast<size_t>(index) + 1);
    return list[static_cast<size_t>(index)];
}

struct PropertyInfo {
    const char* name;
    enum Form : uint8_t { Hints, Texts, Records, AlignBlock, EditBlock, Fonts, Brushes, Colors, SelectedColors } form;
    Where where;
};

constexpr PropertyInfo kProperties[] = {
    {"HintCell", PropertyInfo::Hints, Where::Cell},
    {"Cells", PropertyInfo::Texts, Where::Cell},
    {"PropCell", PropertyInfo::Records, Where::Cell},
    {"PropCol", PropertyInfo::Records, Where::Col},
    {"PropRow", PropertyInfo::Records, Where::Row},
    {"PropFixedCol", PropertyInfo::Records, Where::FixedCol},
    {"PropFixedRow", PropertyInfo::Records, Where::FixedRow},
    {"AlignCell", PropertyInfo::AlignBlock, Where::Cell},
    {"AlignCol", PropertyInfo::AlignBlock, Where::Col},
    {"FixedAlignCol", PropertyInfo::AlignBlock, Where::FixedCol},
    {"AlignRow", PropertyInfo::AlignBlock, Where::Row},
    {"FixedAlignRow", PropertyInfo::AlignBlock, Where::FixedRow},
    {"EditCell", PropertyInfo::EditBlock, Where::Cell},
    {"EditCol", PropertyInfo::EditBlock, Where::Col},
    {"EditRow", PropertyInfo::EditBlock, Where::Row},
    {"FontCell", PropertyInfo::Fonts, Where::Cell},
    {"FontCol", PropertyInfo::Fonts, Where::Col},
    {"FontFixedCol", PropertyInfo::Fonts, Where::FixedCol},
    {"FontRow", PropertyInfo::Fonts, Where::Row},
    {"FontFixedRow", PropertyInfo::Fonts, Where::FixedRow},
    {"BrushCell", PropertyInfo::Brushes, Where::Cell},
    {"BrushCol", PropertyInfo::Brushes, Where::Col},
    {"BrushFixedCol", PropertyInfo::Brushes, Where::FixedCol},
    {"BrushRow", PropertyInfo::Brushes, Where::Row},
    {"BrushFixedRow", PropertyInfo::Brushes, Where::FixedRow},
    {"ColorCell", PropertyInfo::Colors, Where::Cell},
    {"ColorCol", PropertyInfo::Colors, Where::Col},
    {"ColorFixedCol", PropertyInfo::Colors, Where::FixedCol},
    {"ColorRow", PropertyInfo::Colors, Where::Row},
    {"ColorFixedRow", PropertyInfo::Colors, Where::FixedRow},
    {"SelectedColorCell", PropertyInfo::SelectedColors, Where::Cell},
    {"SelectedColorCol", PropertyInfo::SelectedColors, Where::Col},
    {"SelectedColorRow", PropertyInfo::SelectedColors, Where::Row},
};

// The position of an entry of a list property: column and row for cells, an
// index for the column and row lists.
void ReadPosition(TPropReader& r, Where w, Step& s) {
    s.where = w;
    s.col = Index16(r.ReadInteger());
    if (w == Where::Cell) s.row = Index16(r.ReadInteger());
}

void ReadBlock(TPropReader& r, const PropertyInfo& p, Staged& staged) {
    const std::string block = r.ReadBinary();
    const size_t size = p.where == Where::Cell ? 5 : 3;
    if (block.size() % size != 0) r.Fail("binary block of " + std::to_string(block.size()) + " bytes");
    auto u8 = [&](size_t at) { return static_cast<uint8_t>(block[at]); };
    for (size_t at = 0; at < block.size(); at += size) {
        Step s(p.form == PropertyInfo::AlignBlock ? Step::Align : Step::Edit);
        s.where = p.where;
        s.col = u8(at) | (u8(at + 1) << 8);
        if (p.where == Where::Cell) s.row = u8(at + 2) | (u8(at + 3) << 8);
        const uint8_t v = u8(at + size - 1);
        if (s.kind == Step::Align) {
            s.value = v;  // kept as stored, as the records' own alignment items are
        } else {
            s.value = v ? 2 : 1;
        }
        staged.steps.push_back(std::move(s));
    }
}

void ReadProperty(TPropReader& r, const PropertyInfo& p, TGridProperties& grid, Staged& staged) {
    if (p.form == PropertyInfo::AlignBlock || p.form == PropertyInfo::EditBlock) {
        ReadBlock(r, p, staged);
        return;
    }
    if (p.form == PropertyInfo::Hints) staged.hints = true;
    if (p.form == PropertyInfo::Texts) staged.cells = true;
    r.ReadListBegin();
    while (!r.EndOfList()) {
        Step s(Step::Record);
        ReadPosition(r, p.where, s);
        switch (p.form) {
            case PropertyInfo::Hints:
            case PropertyInfo::Texts:
                s.kind = p.form == PropertyInfo::Hints ? Step::Hint : Step::Text;
                s.text = r.ReadString();
                break;
            case PropertyInfo::Records:
                s.record = grid.Make ? grid.Make(grid.Owner) : NewCellProperties(grid.Owner);
                s.record->ReadProperties(r);
                break;
            case PropertyInfo::Fonts:
                s.kind = Step::Font;
                s.font = ReadFont(r);
                break;
            case PropertyInfo::Brushes:
                s.kind = Step::Brush;
                s.brush = ReadBrush(r);
                break;
            case PropertyInfo::Colors:
            case PropertyInfo::SelectedColors:
                s.kind = p.form == PropertyInfo::Colors ? Step::Color : Step::SelectedColor;
                s.value = r.ReadInteger();
                break;
            default:
                break;
        }
        staged.steps.push_back(std::move(s));
    }
    r.ReadListEnd();
}

// How many list slots the steps would add to the grid's lists.
size_t NewSlots(const Staged& staged, const TCellPropertyLists& lists) {
    std::map<int, size_t> cellRows, hintRows;  // column -> rows needed
    size_t cellCols = lists.PropCell.size(), hintCols = lists.HintCell.size();
    size_t listSize[5] = {0, lists.PropCol.size(), lists.PropRow.size(), lists.PropFixedCol.size(),
                          lists.PropFixedRow.size()};
    const size_t before[5] = {0, listSize[1], listSize[2], listSize[3], listSize[4]};
    for (const Step& s : staged.steps) {
        if (s.kind == Step::Text) continue;  // kept apart, one entry each
        const size_t col = static_cast<size_t>(s.col), row = static_cast<size_t>(s.row);
        if (s.where != Where::Cell) {
            size_t& n = listSize[static_cast<int>(s.where)];
            n = std::max(n, col + 1);
        } else if (s.kind == Step::Hint) {
            hintCols = std::max(hintCols, col + 1);
            hintRows[s.col] = std::max(hintRows[s.col], row + 1);
        } else {
            cellCols = std::max(cellCols, col + 1);
            cellRows[s.col] = std::max(cellRows[s.col], row + 1);
        }
    }
    size_t added = (cellCols - lists.PropCell.size()) + (hintCols - lists.HintCell.size());
    for (int i = 1; i < 5; ++i) added += listSize[i] - before[i];
    for (auto [col, rows] : cellRows) {
        const size_t have = static_cast<size_t>(col) < lists.PropCell.size() ? lists.PropCell[col].size() : 0;
        if (rows > have) added += rows - have;
    }
    for (auto [col, rows] : hintRows) {
        const size_t have = static_cast<size_t>(col) < lists.HintCell.size() ? lists.HintCell[col].size() : 0;
        if (rows > have) added += rows - have;
    }
    return added;
}

Staged Stage(TPropReader& r, TGridProperties& grid) {
    Staged staged;
    for (;;) {
        const std::string name = r.ReadPropName();
        if (name.empty()) break;
        const PropertyInfo* p = nullptr;
        for (const PropertyInfo& info : kProperties)
            if (name == info.name) p = &info;
        const std::string where = "Error reading " + (grid.Name.empty() ? name : grid.Name + "." + name) + ": ";
        if (!p) throw EReadError(where + "property does not exist");
        try {
            ReadProperty(r, *p, grid, staged);
        } catch (const Exception& e) {  // a picture's own error included
            throw EReadError(where + e.Message);
        }
    }
    if (NewSlots(staged, grid.Lists) > kMaxNewSlots)
        throw EReadError("Stream read error: the description addresses more cells than a grid holds");
    return staged;
}

TCellProperties& RecordAt(TGridProperties& grid, const Step& s) {
    if (s.where == Where::Cell) return grid.Lists.EnsureCell(s.col, s.row, grid.Make, grid.Owner);
    return TCellPropertyLists::Ensure(ListOf(grid.Lists, s.where), s.col, grid.Make, grid.Owner);
}

// Only what cannot fail happens here (memory aside).
void Apply(Staged& staged, TGridProperties& grid) {
    if (staged.hints) grid.HintsStored = true;
    if (staged.cells) grid.CellsStored = true;
    for (Step& s : staged.steps) {
        switch (s.kind) {
            case Step::Record:
                if (s.where == Where::Cell)
                    SlotAt(SlotAt(grid.Lists.PropCell, s.col), s.row) = std::move(s.record);
                else
                    SlotAt(ListOf(grid.Lists, s.where), s.col) = std::move(s.record);
                break;
            case Step::Hint:
                grid.Lists.SetHint(s.col, s.row, s.text);
                break;
            case Step::Text:
                if (!grid.LoadedCells) grid.LoadedCells = std::make_unique<TLoadedCells>();
                (*grid.LoadedCells)[{s.col, s.row}] = std::move(s.text);
                break;
            case Step::Align:
                RecordAt(grid, s).Align = static_cast<TMyAlign>(s.value);
                break;
            case Step::Edit:
                RecordAt(grid, s).Edit = static_cast<uint8_t>(s.value);
                break;
            case Step::Font:
                RecordAt(grid, s).SetFont(&s.font);
                break;
            case Step::Brush:
                RecordAt(grid, s).SetBrush(&s.brush);
                break;
            case Step::Color: {
                TCellProperties& rec = RecordAt(grid, s);
                if (!rec.Brush()) {
                    TBrush b;
                    b.SetColor(grid.Color);
                    rec.SetBrush(&b);
                }
                rec.Brush()->SetColor(s.value);
                break;
            }
            case Step::SelectedColor: {
                TBrush b;
                b.SetColor(s.value);
                RecordAt(grid, s).SetSelectedBrush(&b);
                break;
            }
        }
    }
}

void WriteRecords(TPropWriter& w, const char* name, const TPropList& list, int count) {
    w.WritePropName(name);
    w.WriteListBegin();
    for (int i = 0; i < count; ++i) {
        const TCellProperties* p = TCellPropertyLists::At(list, i);
        if (!p || p->IsEmpty()) continue;
        w.WriteInteger(i);
        p->WriteProperties(w);
    }
    w.WriteListEnd();
}

}  // namespace

void WriteGridProperties(TPropWriter& w, const TGridProperties& grid) {
    const TCellPropertyLists& lists = grid.Lists;
    const int cols = grid.Cells.ColCount(), rows = grid.Cells.RowCount();
    if (grid.HintsStored) {
        w.WritePropName("HintCell");
        w.WriteListBegin();
        for (size_t c = 0; c < lists.HintCell.size(); ++c)
            for (size_t r = 0; r < lists.HintCell[c].size(); ++r) {
                if (lists.HintCell[c][r].empty()) continue;
                w.WriteInteger(static_cast<int32_t>(c));
                w.WriteInteger(static_cast<int32_t>(r));
                w.WriteString(lists.HintCell[c][r]);
            }
        w.WriteListEnd();
    }
    if (grid.CellsStored) {
        w.WritePropName("Cells");
        w.WriteListBegin();
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r) {
                const std::string& text = grid.Cells.Cell(c, r);
                if (text.empty()) continue;
                w.WriteInteger(c);
                w.WriteInteger(r);
                w.WriteString(text);
            }
        w.WriteListEnd();
    }
    w.WritePropName("PropCell");
    w.WriteListBegin();
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r) {
            const TCellProperties* p = lists.CellRecord(c, r);
            if (!p || p->IsEmpty()) continue;
            w.WriteInteger(c);
            w.WriteInteger(r);
            p->WriteProperties(w);
        }
    w.WriteListEnd();
    WriteRecords(w, "PropCol", lists.PropCol, cols);
    WriteRecords(w, "PropRow", lists.PropRow, rows);
    WriteRecords(w, "PropFixedCol", lists.PropFixedCol, cols);
    WriteRecords(w, "PropFixedRow", lists.PropFixedRow, rows);
}

void ReadGridProperties(TPropReader& r, TGridProperties& grid) {
    Staged staged = Stage(r, grid);
    Apply(staged, grid);
}

std::string WriteGridDescription(const TGridProperties& grid) {
    TPropWriter w;
    std::string out(kSignature, sizeof kSignature);
    out += static_cast<char>(kVersion);
    WriteGridProperties(w, grid);
    w.WritePropName("");
    return out + w.Data();
}

void ReadGridDescription(std::string_view description, TGridProperties& grid) {
    if (description.size() < sizeof kSignature + 1 ||
        std::memcmp(description.data(), kSignature, sizeof kSignature) != 0)
        throw EReadError("Stream read error: not a grid description");
    const auto version = static_cast<uint8_t>(description[sizeof kSignature]);
    if (version != kVersion)
        throw EReadError("Stream read error: grid description version " + std::to_string(version) +
                         " is not supported");
    TPropReader r(description, sizeof kSignature + 1);
    Staged staged = Stage(r, grid);
    if (!r.AtEnd()) throw EReadError("Stream read error: data after the end of the description");
    Apply(staged, grid);
}

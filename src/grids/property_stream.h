#pragma once
// The grid's stored description: a small typed value stream, and the grid's
// own properties written to it and read back from it.
//
// Grid description, version 1 (binary, integers little-endian):
//
//   "VGRD" 0x01        signature and format version
//   property ...       a name, then one value
//   0x00               end of the properties (a name of length 0)
//
// A name is a length byte (1-255) and that many bytes. A value is a type byte
// and its payload:
//
//   'b' int8  (1 byte)     'h' int16 (2 bytes)     'i' int32 (4 bytes)
//   's' string: length byte, then the bytes (Windows-1252 text)
//   'S' string: 4-byte length, then the bytes (texts longer than 255)
//   'B' binary block: 4-byte length, then the bytes
//   '(' list: values up to the closing ')'
//
// Integers are written in the smallest of the three widths that holds them,
// strings in the short form when they fit; the reader accepts every width and
// both string forms wherever an integer or a string is expected.
//
// The grid's properties, in the order they are written:
//   HintCell  (only after a description carried hints)  ( c r "hint" ... )
//   Cells     (only after a description carried texts)  ( c r "text" ... )
//   PropCell                                            ( c r items... ... )
//   PropCol, PropRow, PropFixedCol, PropFixedRow        ( i items... ... )
// where "items" is a display record's item sequence: tag, values, ..., 0
// (see TCellProperties::WriteProperties). Older descriptions may also hold
// AlignCell, AlignCol, FixedAlignCol, AlignRow, FixedAlignRow, EditCell,
// EditCol, EditRow (binary blocks of 16-bit indexes and one byte each),
// FontCell/Col/FixedCol/Row/FixedRow, BrushCell/Col/FixedCol/Row/FixedRow,
// ColorCell/Col/FixedCol/Row/FixedRow and SelectedColorCell/Col/Row (lists);
// they are read, never written.
//
// Reading is all or nothing: a damaged, truncated or oversized description
// raises EReadError and leaves the grid as it was.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "grids/cell_property_lists.h"
#include "platform/gui/graphics.h"
#include "platform/runtime/errors.h"

class TCellMatrix;

enum class TPropValueType : char {
    vaInt8 = 'b',
    vaInt16 = 'h',
    vaInt32 = 'i',
    vaString = 's',
    vaLString = 'S',
    vaBinary = 'B',
    vaList = '(',
    vaNull = ')',  // end of a list
};

class TPropWriter {
public:
    void WriteInteger(int32_t value);
    void WriteString(std::string_view text);
    void WriteBinary(std::string_view bytes);
    void WriteListBegin();
    void WriteListEnd();
    // A property's name; an empty name ends the properties.
    void WritePropName(std::string_view name);

    const std::string& Data() const { return data_; }

private:
    std::string data_;
};

// Reads values from data that must outlive the reader.
class TPropReader {
public:
    // Reading starts at `start`; positions in messages count from the data's start.
    explicit TPropReader(std::string_view data, size_t start = 0) : data_(data), pos_(start) {}

    // The type of the next value (raises at the end of the data).
    TPropValueType NextValue() const;
    int32_t ReadInteger();
    std::string ReadString();
    std::string ReadBinary();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList() const;  // the next value closes the list
    // The next property's name; empty at the end of the properties.
    std::string ReadPropName();

    size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    [[noreturn]] void Fail(const std::string& what) const;

private:
    uint8_t Byte();
    uint32_t Unsigned(int bytes);
    std::string_view Take(size_t count);

    std::string_view data_;
    size_t pos_ = 0;
};

// A font and a brush as record items and older properties store them.
void WriteBrush(TPropWriter& writer, const TBrush& brush);
TBrush ReadBrush(TPropReader& reader);
void WriteFont(TPropWriter& writer, const TFont& font);
TFont ReadFont(TPropReader& reader);

// A picture's bytes as strings of at most 200 hexadecimal digits, then ".".
void WriteHexBlocks(TPropWriter& writer, std::string_view bytes);
std::string ReadHexBlocks(TPropReader& reader);

// Cell texts read from a description, by (column, row); applied once loading ends.
using TLoadedCells = std::map<std::pair<int, int>, std::string>;

// The parts of a grid that its description writes and reads.
struct TGridProperties {
    TCellPropertyLists& Lists;
    const TCellMatrix& Cells;                    // texts written out, and the counts
    std::unique_ptr<TLoadedCells>& LoadedCells;  // texts read in
    bool& HintsStored;                           // HintCell is written
    bool& CellsStored;                           // Cells is written
    TCellPropertiesClass Make;                   // the grid's record class
    TStringAlignGrid* Owner;
    const TFont& Font;  // model of a record's own font made by an older property
    TColor Color;       // colour of a record's own brush made by one
    std::string Name;   // the grid's, for error messages
};

// The properties alone (no signature, no end mark).
void WriteGridProperties(TPropWriter& writer, const TGridProperties& grid);
// Reads properties up to the end mark; everything is checked before the grid
// changes.
void ReadGridProperties(TPropReader& reader, TGridProperties& grid);

// A whole description: signature, properties, end mark.
std::string WriteGridDescription(const TGridProperties& grid);
void ReadGridDescription(std::string_view description, TGridProperties& grid);

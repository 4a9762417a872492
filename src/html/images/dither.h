#pragma once
// Colour reduction for screens with a palette: a bitmap becomes an 8-bit one
// whose colours come from a fixed or computed palette, with Floyd-Steinberg
// error diffusion or plain nearest-colour mapping.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"

class GIFException : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};
// GIFException's texts.
inline constexpr const char* SGIFOutOfMemory = "Failed to allocate memory for GIF DIB";
inline constexpr const char* SGIFCreateDIB = "Failed to create DIB from Bitmap";
inline constexpr const char* SGIFNoDIB = "Image has no DIB";
inline constexpr const char* SGIFInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SGIFInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SGIFScanLine = "Scan line index out of range";

// Reductions: 0 a copy; 1 the 20 system colours; 3 the 6 x 6 x 6 cube (levels
// 0, 51 .. 255); 4 the screen's palette; 5 an optimised palette (octree) after
// the 20 system colours.
constexpr int rmNone = 0, rmWindows20 = 1, rmNetscape = 3, rmMyPalette = 4, rmQuantizeWindows = 5;
// Dither modes: nearest colour, Floyd-Steinberg.
constexpr int dmNearest = 0, dmFloydSteinberg = 1;

// Maps a colour to a palette index; gives back the colour of that entry.
class TColorLookup {
public:
    explicit TColorLookup(std::vector<TColor> palette) : palette_(std::move(palette)) {}
    virtual ~TColorLookup() = default;
    virtual int Lookup(int red, int green, int blue, int& r, int& g, int& b) = 0;
    const std::vector<TColor>& Palette() const { return palette_; }
    int ColorCount() const { return static_cast<int>(palette_.size()); }

protected:
    std::vector<TColor> palette_;
};

// Nearest entry by the sum of channel differences, cached by the colour's top
// five bits of each channel.
class TFastColorLookup : public TColorLookup {
public:
    explicit TFastColorLookup(std::vector<TColor> palette);
    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override;

private:
    std::vector<uint16_t> cache_;  // 32768 entries, 65535 = empty
};

// The 216-colour cube, computed.
class TNetscapeColorLookup : public TColorLookup {
public:
    TNetscapeColorLookup();
    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override;
};

// Maps the pixels of a row, one at a time, in the engine's direction of travel.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    virtual int Dither(int red, int green, int blue, int& r, int& g, int& b);
    virtual void NextLine() { column_ = 0; }
    int Direction() const { return direction_; }
    int Column() const { return column_; }

protected:
    TColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    int column_ = 0;
};

// Error diffusion with the weights 7, 3, 5 and 1 (/16), rows walked in turn
// left to right and right to left.
class TFloydSteinbergEngine : public TDitherEngine {
public:
    TFloydSteinbergEngine(int width, TColorLookup& lookup);
    int Dither(int red, int green, int blue, int& r, int& g, int& b) override;
    void NextLine() override;

private:
    // Errors x 16 of this row and the next, width + 2 entries each.
    std::vector<int> cur_[3], next_[3];
    int running_[3] = {0, 0, 0};
};

class TOctreeNode {
public:
    bool IsLeaf = false;
    int PixelCount = 0;
    long long RedSum = 0, GreenSum = 0, BlueSum = 0;
    std::unique_ptr<TOctreeNode> Child[8];
    TOctreeNode* Next = nullptr;  // in its level's list of reducible nodes
};

// Octree colour quantiser.
class TColorQuantizer {
public:
    TColorQuantizer(int maxColors, int colorBits);
    ~TColorQuantizer();
    void AddColor(int r, int g, int b);
    void ProcessImage(const TBitmap& bitmap);
    int ColorCount() const { return leafCount_; }
    // The leaves' average colours, depth first.
    std::vector<TColor> ColorTable() const;

private:
    void Reduce();
    std::unique_ptr<TOctreeNode> root_;
    int leafCount_ = 0;
    int maxColors_, colorBits_;
    std::vector<TOctreeNode*> reducible_;
};

namespace DitherUnit {
// A bitmap seen as rows of pixels in one format: the reader's 24-bit copy of
// a source, or the writer's 8-bit target. The rows come through the
// scan-line accessor of each.
class TDIB {
public:
    virtual ~TDIB() = default;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;
    int Width() const { return bitmap_->Width(); }
    int Height() const { return bitmap_->Height(); }
    TPixelFormat PixelFormat() const { return bitmap_->PixelFormat(); }
    int ScanLineSize() const { return bitmap_->BytesPerScanLine(); }
    // The first byte of a row, 0 at the top (GIFException for a row outside
    // the bitmap).
    virtual uint8_t* ScanLine(int row) = 0;

protected:
    TDIB() = default;
    // Gives bitmap the format of the rows (GIFException with formatError when
    // it cannot take it) and hands its rows out from then on.
    void Bind(TBitmap& bitmap, TPixelFormat format, const char* formatError);
    uint8_t* Row(int row) const;

private:
    TBitmap* bitmap_ = nullptr;
};

// A bitmap's rows as 24-bit pixels (blue, green, red), read from a copy of a
// non-empty bitmap (GIFException otherwise).
class TDIBReader : public TDIB {
public:
    explicit TDIBReader(const TBitmap& source);
    uint8_t* ScanLine(int row) override { return Row(row); }

private:
    TBitmap copy_;
};

// An 8-bit target with its palette; rows written through ScanLine
// (GIFException for an empty target).
class TDIBWriter : public TDIB {
public:
    TDIBWriter(TBitmap& target, const std::vector<TColor>& palette);
    uint8_t* ScanLine(int row) override { return Row(row); }
};
}  // namespace DitherUnit

// A new 8-bit bitmap of the source's colours reduced (a plain copy for rmNone;
// an unfilled 8-bit bitmap for unknown reductions or dither modes).
std::unique_ptr<TBitmap> ReduceColors(const TBitmap& bitmap, int reduction, int ditherMode);
// What the image loader does on palette screens: null unless the graphic is a
// non-empty TBitmap; a screen-format bitmap is copied as it is; others are
// reduced to the 20 system colours (fewer than 8 screen bits) or to the screen
// palette, with Floyd-Steinberg dithering.
std::unique_ptr<TBitmap> DitherBitmap(const TGraphic* graphic);

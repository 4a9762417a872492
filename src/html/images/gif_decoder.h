#pragma once
// The GIF reader: a whole GIF87a/GIF89a stream into its logical screen, colour
// tables, extension blocks and frames, and all frames side by side in one strip
// bitmap with an optional mask (white where a pixel is transparent).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/images/streams.h"
#include "platform/gui/bitmap.h"

// Number and text of the last error a GIF decode raised.
extern int GifLastError;
extern std::string GifLastErrorText;
// The text of an error number (0 "no error" .. 27).
std::string GifErrorText(int number);
// Raises EInvalidGraphicOperation "TGif: <text>" and records the error.
[[noreturn]] void GifError(int number, const std::string& special = std::string());

struct TGifDataSubBlock {
    std::string Data;  // up to 255 bytes
};

struct TGifExtension {
    uint8_t Label = 0;
    // Graphic control (0xF9).
    int BlockSize = 0;
    int Disposal = 0;
    bool UserInput = false;
    bool TransparentFlag = false;
    int Delay = 0;  // 1/100 s
    int TransparentIndex = 0;
    // Plain text (0x01).
    int GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0, CellWidth = 0, CellHeight = 0;
    int ForegroundIndex = 0, BackgroundIndex = 0;
    // Application (0xFF).
    std::string Identifier, AuthenticationCode;
    // Comment, plain text and application data.
    std::vector<TGifDataSubBlock> SubBlocks;
};

struct TGifColorTable {
    // TColor order: red in the low byte.
    std::vector<TColor> Colors;
};

struct TGifScreenDescriptor {
    int Width = 0, Height = 0;
    bool GlobalColorTable = false;
    int ColorResolution = 0;
    bool Sorted = false;
    int GlobalColorTableSize = 0;
    int BackgroundIndex = 0;
    int AspectRatio = 0;
    int GlobalColorTableIndex = -1;
};

struct TGifImageDescriptor {
    int Index = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool LocalColorTable = false, Interlaced = false, Sorted = false;
    int LocalColorTableSize = 0;
    int ColorTableIndex = -1;
    int LzwCodeSize = 0;
    std::vector<TGifExtension> Extensions;
    // Columns kept of each row: those that can reach the logical screen.
    int StoredWidth = 0;
    std::vector<uint8_t> Pixels;  // StoredWidth x Height indexes, row by row
    // The LZW data, kept while the frame is not yet decoded into Pixels.
    std::string Data;
    bool Decoded = false;
};

class TGif {
public:
    TGif();
    ~TGif();
    TGif(const TGif&) = delete;
    TGif& operator=(const TGif&) = delete;

    // Decodes the whole stream from its start; raises EInvalidGraphicOperation.
    void LoadFromStream(TStream& stream);
    // Reads every block but leaves the frames' LZW data undecoded, so that the
    // strip is decoded straight into its bitmap and no frame keeps its own
    // pixels; errors of the LZW data come from the strip's drawing instead.
    void ReadBlocks(TStream& stream);

    const std::string& Signature() const { return signature_; }
    const TGifScreenDescriptor& ScreenDescriptor() const { return screen_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }
    const TGifImageDescriptor& Image(int index) const;
    const TGifColorTable& ColorTable(int index) const;
    int ColorTableCount() const { return static_cast<int>(tables_.size()); }
    // -1 when the stream had no NETSCAPE block.
    int LoopCount() const { return loopCount_; }

    // Error 15 for an index outside 0..count-1.
    int GetImageLeft(int index) const;
    int GetImageTop(int index) const;
    int GetImageWidth(int index) const;
    int GetImageHeight(int index) const;
    int GetImageDelay(int index) const;      // 1/100 s, at least 1
    int GetImageDisposal(int index) const;   // 0..3
    int GetTransparentIndex(int index) const;  // -1 when none
    bool IsTransparent() const;

    // All frames side by side (32 bits) and, for a transparent GIF, the mask
    // (monochrome, white = transparent); error 25 when it would be too large.
    std::unique_ptr<TBitmap> GetStripBitmap(std::unique_ptr<TBitmap>& mask) const;
    // The strip's size (screen width x frames, screen height); error 26 for an
    // empty screen, 25 for a strip too large.
    void GetStripSize(int& width, int& height) const;
    // The strip drawn into bitmaps of that size: `image` 32-bit, `mask` (for a
    // transparent GIF) monochrome.
    void DrawStrip(TBitmap& image, TBitmap* mask) const;
    // The first `frames` cells of the strip drawn into memory the caller
    // cleared: `image` rows of 0xFFRRGGBB pixels (`stride` pixels apart),
    // black; `mask` (or null) rows of one bit a pixel, leftmost in the high
    // bit, `maskStride` bytes apart, all ones (1 = transparent).
    void DrawFrames(int frames, uint32_t* image, size_t stride, uint8_t* mask, size_t maskStride) const;

private:
    struct Reader;
    void Read(TStream& stream, bool decode);
    void ReadExtension(Reader& r);
    void ReadImage(Reader& r, bool decode);
    template <class RowSink>
    void DecodeLzw(const TGifImageDescriptor& image, RowSink&& sink) const;
    const TGifExtension* GraphicControl(int index) const;
    void CheckIndex(int index) const;

    std::string signature_;
    TGifScreenDescriptor screen_;
    std::vector<TGifImageDescriptor> images_;
    std::vector<TGifColorTable> tables_;
    std::vector<TGifExtension> pending_;
    int loopCount_ = -1;
    size_t pixelBytes_ = 0;  // pixel buffers held so far
};

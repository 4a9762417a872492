#pragma once
// Pictures from files and streams: the kind of a picture from its first bytes,
// BMP, PNG and JPEG made into bitmaps with an optional transparency mask (GIF
// goes through TGIFImage), the reduction to the screen's colours, and the
// routines that draw or print a picture with its mask, stretched.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/images/gp_image.h"
#include "html/images/image_cache.h"
#include "html/images/streams.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/region.h"

// Kinds of picture.
constexpr int itNone = 0, itBMP = 1, itGIF87 = 2, itGIF89 = 3, itPNG = 4, itJPEG = 5;

// By the first bytes: "BM", "GIF8" (then "9" or not), 89 "PNG", FF D8.
int KindOfImage(const void* data, size_t size);
// 0 for a missing file or one shorter than 10 bytes.
int KindOfImageFile(const std::string& fileName);
// A picture file is read only when it is a regular file no larger than all
// the pictures a document may hold together.
constexpr size_t kMaxPictureFileSize = TStringBitmapList::kDefaultMaxBytes;
// The bytes of a picture file into the stream; raises EFOpenError for a file
// that is missing, not a regular file or larger than kMaxPictureFileSize.
void LoadPictureFile(TMemoryStream& stream, const std::string& fileName);
// True only for a palette PNG whose tRNS chunk (before the image data) makes a
// palette entry fully transparent; that entry's colour is given back. The
// file is read from the stream's start; the stream's position is kept.
bool PngHasTransparency(TStream& stream, TColor& color);

// A picture from a file: null when the file is missing or not a BMP, PNG or
// JPEG; a PNG is a TGpBitmap while the GDI+ path is on. Decoders' errors
// propagate (EInvalidGraphic and descendants, EGDIPlus, EZLibError).
std::unique_ptr<TGraphic> LoadImageFromFile(const std::string& FName, std::unique_ptr<TBitmap>& AMask,
                                            Transparency& Transparent);
// The same from a stream (from its start); null for none or fewer than 20 bytes.
std::unique_ptr<TGraphic> LoadImageFromStream(TStream* Stream, std::unique_ptr<TBitmap>& AMask,
                                              Transparency& Transparent);
// BMP, PNG or JPEG decoded by the viewer itself and reduced to the screen;
// LLCorner in Transparent makes a mask of the bottom-left colour, a palette PNG
// with a transparent entry sets TrPng and masks that colour.
std::unique_ptr<TBitmap> LoadImageByKind(TStream& Stream, std::unique_ptr<TBitmap>& AMask,
                                         Transparency& Transparent);

// Palette bitmaps become screen bitmaps on deep screens; on palette screens
// bitmaps are dithered to the screen's colours.
std::unique_ptr<TBitmap> ConvertToScreen(std::unique_ptr<TBitmap> bitmap);
std::unique_ptr<TBitmap> RealizeThroughScreenPalette(std::unique_ptr<TBitmap> bitmap);
// A monochrome mask (white where transparent) of the bitmap's transparent
// colour, or of the given colour when ColorValid.
std::unique_ptr<TBitmap> GetImageMask(TBitmap& image, bool ColorValid, TColor AColor);

struct TXForm {
    double eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};
// The pixels whose colour is not the key colour, as a region, scaled and moved
// by the transform when one is given.
TRegion BitmapToRegion(const TBitmap& bitmap, const TXForm* xform, TColor transparentColor);

// Sizes of a TBitmap, TGpImage, TGIFImage or TMetafile; anything else raises
// EGDIPlus "Not a TBitmap, TGifImage, TMetafile, or TGpImage".
int GetImageWidth(const TGraphic* image);
int GetImageHeight(const TGraphic* image);
// A bitmap of the image's size (a side of 1 becomes min(100, the wanted side)),
// white with the image stretched over it.
std::unique_ptr<TBitmap> ConvertImage(const TGpImage& image, int W, int H);

// A device-independent copy of a bitmap: the 40-byte header and colour table,
// and the rows bottom-up, as a BMP file holds them.
class TDib {
public:
    explicit TDib(const TBitmap& bitmap);
    std::vector<uint8_t> Info;
    size_t InfoSize() const { return Info.size(); }
    std::vector<uint8_t> Bits;
    size_t BitsSize() const { return Bits.size(); }
    // Stretched into the rectangle with the raster operation.
    void DrawDIB(TCanvas& canvas, int X, int Y, int W, int H, uint32_t rop) const;
};

// Background pictures tiled over a box. The tiles of a picture of Width x
// Height whose tile at its place has its top left at (X, Y), over the part
// `Paint` of the box being painted: along a repeating axis the tiles run
// across Paint, the first one stepped back from the place by whole
// pictures; along another there is the one tile at the place. A picture one
// pixel wide (or high) is stretched over Paint along that axis, and one
// narrower than kMinTileSide is repeated into a tile at least that wide, so
// that a paint draws a few tiles however small the picture.
constexpr int kMinTileSide = 32;
// A tile of a picture narrow one way and long the other holds fewer copies.
constexpr long long kMaxTilePixels = 256 * 256;
class TTilePlan {
public:
    TTilePlan(int X, int Y, int Width, int Height, bool RepeatX, bool RepeatY, const TRect& Paint);
    int TileWidth = 1, TileHeight = 1;
    int Cols = 1, Rows = 1;  // copies of the picture across and down a tile
    // draw(tile) for every tile that meets Paint, row by row.
    template <class F>
    void ForEach(F&& draw) const {
        for (long long y = top_; y < bottom_; y += TileHeight)
            for (long long x = left_; x < right_; x += TileWidth) {
                const TRect tile{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + TileWidth),
                                 static_cast<int>(y + TileHeight)};
                if (tile.Left < paint_.Right && tile.Right > paint_.Left && tile.Top < paint_.Bottom &&
                    tile.Bottom > paint_.Top)
                    draw(tile);
            }
    }

private:
    TRect paint_;
    long long left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;  // the tiles start from, and before
};

// A picture repeated into the tile of a plan, for one paint: a bitmap with
// its mask (null when none; a GIF gives its current frame), or a GDI+ image.
// Neither for a picture of another kind.
struct TRepeatedPicture {
    TRepeatedPicture(TGraphic& Picture, TBitmap* PictureMask, int Cols, int Rows);
    std::unique_ptr<TBitmap> Bitmap, Mask;
    std::unique_ptr<TGpImage> Gp;
};

// Drawing and printing.
// The bitmap stretched into (X, Y, Width, Height), only where the mask is
// black; nothing on a monochrome device.
void PrintTransparentBitmap(TCanvas& canvas, TBitmap& Bitmap, TBitmap& Mask, int Height, int Width, int Y, int X);
// The bitmap stretched into the rectangle, opaque.
void EnlargeImage(TCanvas& canvas, int X, int Y, TBitmap& Bitmap, int Height, int Width);
// A masked image printed through a clip region made from its mask (frame
// FrameY .. FrameY + FrameHeight of a strip when FrameHeight is not the
// bitmap's height).
void PrintBitmap1(TCanvas& canvas, int X, int Y, int W, int H, TBitmap* Mask, TBitmap& Bitmap, int FrameHeight,
                  int FrameY);
void DrawGpImage(TCanvas& canvas, const TGpImage& image, int X, int Y);
void StretchDrawGpImage(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H);
void DrawGpImageSrc(TCanvas& canvas, const TGpImage& image, int X, int Y, const TRect& src);
// On a printer: position and size are scaled by (ScaleX, ScaleY) first.
void PrintGpImageDirect(TCanvas& canvas, const TGpImage& image, int X, int Y, double ScaleX, double ScaleY);
void StretchPrintGpImageDirect(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H, double ScaleX,
                               double ScaleY);
// The image drawn onto a bitmap filled with the colour, that bitmap stretched
// onto the canvas.
void StretchPrintGpImageOnColor(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H, TColor color);

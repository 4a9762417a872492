#include "html/images/image_loading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "html/images/bmp_alpha.h"
#include "html/images/dither.h"
#include "html/images/gif_image.h"
#include "html/images/jpeg_image.h"
#include "html/images/png_image.h"
#include "html/images/viewer_globals.h"
#include "platform/gui/gdiplus.h"
#include "platform/gui/metafile.h"
#include "platform/runtime/files.h"

namespace {

uint32_t BigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool IsPalette(TPixelFormat f) {
    return f == TPixelFormat::pf1bit || f == TPixelFormat::pf4bit || f == TPixelFormat::pf8bit;
}

// The bitmap with the pixels under the mask's white made `fill`.
std::unique_ptr<TBitmap> ClearMasked(const TBitmap& image, const TBitmap& mask, TColor fill) {
    auto out = std::make_unique<TBitmap>(image.Width(), image.Height(), TPixelFormat::pf24bit);
    TBitmap src(image), m(mask);
    src.SetPixelFormat(TPixelFormat::pf24bit);
    m.SetPixelFormat(TPixelFormat::pf1bit);
    const int w = std::min(image.Width(), mask.Width());
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* dst = out->ScanLine(y);
        std::memcpy(dst, src.ScanLine(y), static_cast<size_t>(image.Width()) * 3);
        if (y >= mask.Height()) continue;
        const uint8_t* mrow = m.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (mrow[x >> 3] & (0x80 >> (x & 7))) {
                dst[3 * x] = static_cast<uint8_t>(GetBValue(fill));
                dst[3 * x + 1] = static_cast<uint8_t>(GetGValue(fill));
                dst[3 * x + 2] = static_cast<uint8_t>(GetRValue(fill));
            }
        }
    }
    return out;
}

// Rows FrameY .. FrameY + FrameHeight of a bitmap.
std::unique_ptr<TBitmap> Strip(TBitmap& bitmap, int frameY, int frameHeight) {
    auto out = std::make_unique<TBitmap>(bitmap.Width(), frameHeight);
    out->Canvas().CopyRect(TRect{0, 0, bitmap.Width(), frameHeight}, bitmap.Canvas(),
                           TRect{0, frameY, bitmap.Width(), frameY + frameHeight});
    return out;
}

}  // namespace

// ---- recognition ----

int KindOfImage(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p) return itNone;
    if (size >= 2 && p[0] == 'B' && p[1] == 'M') return itBMP;
    if (size >= 4 && std::memcmp(p, "GIF8", 4) == 0) return size >= 5 && p[4] == '9' ? itGIF89 : itGIF87;
    if (size >= 4 && p[0] == 0x89 && std::memcmp(p + 1, "PNG", 3) == 0) return itPNG;
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xD8) return itJPEG;
    return itNone;
}

int KindOfImageFile(const std::string& fileName) {
    // Only the first bytes are read, of a regular file that a picture may be
    // (a device never ends and a pipe blocks).
    const int fd = ::open(SystemPath(fileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return itNone;
    struct stat st;
    char head[16];
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 10 &&
        static_cast<unsigned long long>(st.st_size) <= kMaxPictureFileSize) {
        do got = ::pread(fd, head, sizeof head, 0);
        while (got < 0 && errno == EINTR);
    }
    ::close(fd);
    return got >= 10 ? KindOfImage(head, static_cast<size_t>(got)) : itNone;
}

void LoadPictureFile(TMemoryStream& stream, const std::string& fileName) {
    stream.SetBytes(ReadFileBytes(fileName, kMaxPictureFileSize));
}

bool PngHasTransparency(TStream& stream, TColor& color) {
    const int64_t saved = stream.Position();
    bool result = false;
    int colorType = -1;
    std::vector<uint8_t> palette;
    stream.SetPosition(8);
    for (;;) {
        uint8_t head[8];
        if (stream.Read(head, 8) != 8) break;
        const uint32_t length = BigEndian(head);
        const std::string type(reinterpret_cast<const char*>(head + 4), 4);
        if (type == "IHDR") {
            uint8_t data[13] = {};
            if (length < 13 || stream.Read(data, 13) != 13) break;
            colorType = data[9];
            if (colorType != 2 && colorType != 3) break;
            stream.Seek(static_cast<int64_t>(length) - 13 + 4, soFromCurrent);
        } else if (type == "PLTE") {
            const int64_t left = stream.Size() - stream.Position();
            palette.assign(static_cast<size_t>(std::min<int64_t>(length, std::max<int64_t>(left, 0))), 0);
            palette.resize(stream.Read(palette.data(), palette.size()));
            stream.Seek(static_cast<int64_t>(length) - static_cast<int64_t>(palette.size()) + 4, soFromCurrent);
        } else if (type == "tRNS") {
            if (colorType == 3) {
                const int64_t left = stream.Size() - stream.Position();
                std::vector<uint8_t> alpha(static_cast<size_t>(std::min<int64_t>(length, std::max<int64_t>(left, 0))));
                alpha.resize(stream.Read(alpha.data(), alpha.size()));
                for (size_t i = 0; i < alpha.size(); ++i) {
                    if (alpha[i] != 0) continue;
                    color = 3 * i + 2 < palette.size()
                                ? RGB(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2])
                                : clBlack;
                    result = true;
                    break;
                }
            }
            break;
        } else if (type == "IDAT") {
            break;
        } else {
            stream.Seek(static_cast<int64_t>(length) + 4, soFromCurrent);
        }
    }
    stream.SetPosition(saved);
    return result;
}

// ---- loading ----

std::unique_ptr<TGraphic> LoadImageFromFile(const std::string& FName, std::unique_ptr<TBitmap>& AMask,
                                            Transparency& Transparent) {
    AMask.reset();
    if (!FileExists(FName)) return nullptr;
    if (GdiPlusLoaded && KindOfImageFile(FName) == itPNG) {
        Transparent = NotTransp;
        return std::make_unique<TGpBitmap>(FName);
    }
    TMemoryStream stream;
    LoadPictureFile(stream, FName);
    return LoadImageFromStream(&stream, AMask, Transparent);
}

std::unique_ptr<TGraphic> LoadImageFromStream(TStream* Stream, std::unique_ptr<TBitmap>& AMask,
                                              Transparency& Transparent) {
    AMask.reset();
    if (!Stream || Stream->Size() < 20) return nullptr;
    Stream->SetPosition(0);
    uint8_t head[8];
    const size_t got = Stream->Read(head, sizeof head);
    Stream->SetPosition(0);
    const int kind = KindOfImage(head, got);
    if (GdiPlusLoaded && kind == itPNG) {
        // Decoded from memory: no scratch file is needed here.
        Transparent = NotTransp;
        return TGpBitmap::FromStream(*Stream);
    }
    if (GdiPlusLoaded && kind == itBMP) {
        // A BMP with alpha is drawn blended, like a PNG with alpha.
        TMemoryStream copy;
        auto* memory = dynamic_cast<TMemoryStream*>(Stream);
        if (!memory) {
            copy.LoadFromStream(*Stream);
            Stream->SetPosition(0);
            memory = &copy;
        }
        int w = 0, h = 0;
        std::vector<uint32_t> pixels;
        if (DecodeBmpAlpha(memory->Memory(), memory->Bytes().size(), w, h, pixels)) {
            Transparent = NotTransp;
            return TGpBitmap::FromPixels(w, h, std::move(pixels));
        }
    }
    return LoadImageByKind(*Stream, AMask, Transparent);
}

std::unique_ptr<TBitmap> LoadImageByKind(TStream& Stream, std::unique_ptr<TBitmap>& AMask,
                                         Transparency& Transparent) {
    AMask.reset();
    Stream.SetPosition(0);
    uint8_t head[8];
    const size_t got = Stream.Read(head, sizeof head);
    Stream.SetPosition(0);
    const int kind = KindOfImage(head, got);
    if (kind != itBMP && kind != itPNG && kind != itJPEG) return nullptr;

    std::unique_ptr<TBitmap> bitmap;
    TColor transparentColor = clNone;
    if (kind == itJPEG) {
        Transparent = NotTransp;
        TJpegMod jpeg;
        jpeg.LoadFromStream(Stream);
        // Deep screens draw 32-bit pixels: the library writes them directly.
        jpeg.SetPixelFormat(TJPEGPixelFormat::jf32Bit);
        if (ScreenColorBits <= 8) {
            jpeg.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
            int w, h;
            bool gray;
            jpeg.ReadHeader(w, h, gray);
            if (ScreenColorBits == 8 && !gray) jpeg.SetPalette(CopyPalette(ScreenPalette));
        }
        bitmap = jpeg.CreateBitmap();
    } else if (kind == itPNG) {
        if (PngHasTransparency(Stream, transparentColor)) Transparent = TrPng;
        TPNGImage png;
        png.LoadFromStream(Stream);
        bitmap = std::make_unique<TBitmap>(png);
    } else {
        TMemoryStream copy;
        copy.LoadFromStream(Stream);
        bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromStream(copy.Bytes());
    }

    if (Transparent == LLCorner) {
        AMask = GetImageMask(*bitmap, false, clNone);
    } else if (Transparent == TrPng) {
        AMask = GetImageMask(*bitmap, true, transparentColor);
        // Masked-out pixels black, as the transparent drawing expects.
        std::unique_ptr<TBitmap> cleared = ClearMasked(*bitmap, *AMask, clBlack);
        if (ScreenColorBits == 8) {
            cleared->SetPixelFormat(TPixelFormat::pf8bit);
            cleared->SetPalette(CopyPalette(ScreenPalette));
        }
        bitmap = std::move(cleared);
    }
    return ConvertToScreen(std::move(bitmap));
}

std::unique_ptr<TBitmap> ConvertToScreen(std::unique_ptr<TBitmap> bitmap) {
    if (!bitmap) return bitmap;
    if (ScreenColorBits > 8) {
        if (IsPalette(bitmap->PixelFormat())) return RealizeThroughScreenPalette(std::move(bitmap));
        return bitmap;
    }
    if (bitmap->PixelFormat() != TPixelFormat::pfDevice) {
        std::unique_ptr<TBitmap> dithered = DitherBitmap(bitmap.get());
        return dithered ? std::move(dithered) : std::move(bitmap);
    }
    return RealizeThroughScreenPalette(std::move(bitmap));
}

std::unique_ptr<TBitmap> RealizeThroughScreenPalette(std::unique_ptr<TBitmap> bitmap) {
    if (!bitmap) return bitmap;
    if (ScreenColorBits > 8) {
        bitmap->SetPixelFormat(TPixelFormat::pfDevice);
        return bitmap;
    }
    // A palette screen's bitmaps hold indexes into its palette.
    auto out = std::make_unique<TBitmap>(bitmap->Width(), bitmap->Height(), TPixelFormat::pf8bit);
    std::vector<TColor> palette = CopyPalette(ScreenPalette);
    if (!palette.empty()) out->SetPalette(palette);
    out->Canvas().CopyRect(TRect{0, 0, out->Width(), out->Height()}, bitmap->Canvas(),
                           TRect{0, 0, bitmap->Width(), bitmap->Height()});
    out->SetTransparent(bitmap->Transparent());
    return out;
}

std::unique_ptr<TBitmap> GetImageMask(TBitmap& image, bool ColorValid, TColor AColor) {
    if (ColorValid) image.SetTransparentColor(AColor);
    image.SetTransparent(true);
    std::unique_ptr<TBitmap> mask = image.CreateMask(image.TransparentColor());
    image.SetTransparent(false);
    return mask;
}

TRegion BitmapToRegion(const TBitmap& bitmap, const TXForm* xform, TColor transparentColor) {
    TBitmap copy(bitmap);
    copy.SetPixelFormat(TPixelFormat::pf32bit);
    const TColor key = ColorToRGB(transparentColor);
    const uint32_t keyPixel = (uint32_t(GetRValue(key)) << 16) | (uint32_t(GetGValue(key)) << 8) | GetBValue(key);
    std::vector<TRect> rects;
    for (int y = 0; y < copy.Height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(copy.ScanLine(y));
        int x = 0;
        while (x < copy.Width()) {
            while (x < copy.Width() && (row[x] & 0xFFFFFF) == keyPixel) ++x;
            const int start = x;
            while (x < copy.Width() && (row[x] & 0xFFFFFF) != keyPixel) ++x;
            if (x > start) rects.push_back(TRect{start, y, x, y + 1});
        }
    }
    TRegion region = TRegion::FromRects(rects);
    if (xform) region = region.Transformed(xform->eM11, xform->eM22, xform->eDx, xform->eDy);
    return region;
}

int GetImageWidth(const TGraphic* image) {
    if (dynamic_cast<const TBitmap*>(image) || dynamic_cast<const TGpImage*>(image) ||
        dynamic_cast<const TGIFImage*>(image) || dynamic_cast<const TMetafile*>(image))
        return image->Width();
    throw EGDIPlus("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
}

int GetImageHeight(const TGraphic* image) {
    if (dynamic_cast<const TBitmap*>(image) || dynamic_cast<const TGpImage*>(image) ||
        dynamic_cast<const TGIFImage*>(image) || dynamic_cast<const TMetafile*>(image))
        return image->Height();
    throw EGDIPlus("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
}

std::unique_ptr<TBitmap> ConvertImage(const TGpImage& image, int W, int H) {
    int w = image.Width(), h = image.Height();
    if (w == 1) w = std::max(1, std::min(100, W));
    if (h == 1) h = std::max(1, std::min(100, H));
    auto bmp = std::make_unique<TBitmap>(w, h);
    bmp->Canvas().FillRect(TRect{0, 0, w, h}, clWhite);
    GdipDrawArgb(bmp->Canvas(), TRect{0, 0, w, h}, image.Pixels().data(), image.Width(), image.Height(),
                 TRect{0, 0, image.Width(), image.Height()});
    return bmp;
}

// ---- TDib ----

TDib::TDib(const TBitmap& bitmap) {
    TBitmap copy(bitmap);
    TPixelFormat f = copy.PixelFormat();
    if (f == TPixelFormat::pfDevice || f == TPixelFormat::pf32bit || f == TPixelFormat::pf15bit ||
        f == TPixelFormat::pf16bit)
        copy.SetPixelFormat(TPixelFormat::pf24bit);
    const std::string file = copy.SaveToStream();
    // The file is a 14-byte file header, the 40-byte information header and the
    // colour table, then the rows.
    const uint32_t offBits = static_cast<uint8_t>(file[10]) | (static_cast<uint8_t>(file[11]) << 8) |
                             (static_cast<uint8_t>(file[12]) << 16) | (static_cast<uint32_t>(static_cast<uint8_t>(file[13])) << 24);
    Info.assign(file.begin() + 14, file.begin() + offBits);
    Bits.assign(file.begin() + offBits, file.end());
}

void TDib::DrawDIB(TCanvas& canvas, int X, int Y, int W, int H, uint32_t rop) const {
    std::string file(14, '\0');
    const uint32_t off = static_cast<uint32_t>(14 + Info.size()), size = off + static_cast<uint32_t>(Bits.size());
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[2 + i] = char((size >> (8 * i)) & 0xFF);
        file[10 + i] = char((off >> (8 * i)) & 0xFF);
    }
    file.append(Info.begin(), Info.end());
    file.append(Bits.begin(), Bits.end());
    TBitmap bmp;
    bmp.LoadFromStream(file);
    canvas.StretchBlt(X, Y, W, H, &bmp.Canvas(), 0, 0, bmp.Width(), bmp.Height(), rop);
}

// ---- tiles ----

TTilePlan::TTilePlan(int X, int Y, int Width, int Height, bool RepeatX, bool RepeatY, const TRect& Paint)
    : paint_(Paint) {
    // One axis: where the tiles start and end, a tile's size and the copies
    // of the picture it holds.
    auto axis = [](long long placed, int size, bool repeat, int lo, int hi, long long& first, long long& end,
                   int& tile, int& copies) {
        size = std::max(size, 1);
        copies = 1;
        if (!repeat) {
            first = placed;
            end = placed + 1;
            tile = size;
        } else if (size == 1) {
            first = lo;
            end = hi;
            tile = std::max(hi - lo, 1);
        } else {
            first = lo - ((lo - placed) % size + size) % size;
            end = hi;
            copies = size < kMinTileSide ? (kMinTileSide + size - 1) / size : 1;
            tile = size * copies;
        }
    };
    axis(X, Width, RepeatX, Paint.Left, Paint.Right, left_, right_, TileWidth, Cols);
    axis(Y, Height, RepeatY, Paint.Top, Paint.Bottom, top_, bottom_, TileHeight, Rows);
    // A picture narrow one way and long the other is repeated the narrow way
    // only as far as the tile stays small.
    const long long picture = static_cast<long long>(std::max(Width, 1)) * std::max(Height, 1);
    if (picture * Cols * Rows > kMaxTilePixels) {
        if (Cols > 1) {
            Cols = static_cast<int>(std::max<long long>(1, kMaxTilePixels / (picture * Rows)));
            TileWidth = Width * Cols;
        }
        if (Rows > 1) {
            Rows = static_cast<int>(std::max<long long>(1, kMaxTilePixels / (picture * Cols)));
            TileHeight = Height * Rows;
        }
    }
}

TRepeatedPicture::TRepeatedPicture(TGraphic& Picture, TBitmap* PictureMask, int Cols, int Rows) {
    if (auto* gp = dynamic_cast<TGpImage*>(&Picture)) {
        const int w = gp->Width(), h = gp->Height();
        if (w <= 0 || h <= 0) return;
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * Cols * h * Rows);
        auto out = pixels.begin();
        for (int y = 0; y < h * Rows; ++y) {
            const auto row = gp->Pixels().begin() + static_cast<std::ptrdiff_t>(y % h) * w;
            for (int c = 0; c < Cols; ++c) out = std::copy(row, row + w, out);
        }
        Gp = TGpBitmap::FromPixels(w * Cols, h * Rows, std::move(pixels));
        return;
    }
    TBitmap* bitmap = dynamic_cast<TBitmap*>(&Picture);
    TBitmap* mask = PictureMask;
    if (auto* gif = dynamic_cast<TGIFImage*>(&Picture)) bitmap = gif->FrameBitmap(mask);
    if (!bitmap || bitmap->Empty()) return;
    Bitmap = bitmap->Repeated(Cols, Rows);
    if (mask) Mask = mask->Repeated(Cols, Rows);
}

// ---- drawing ----

void PrintTransparentBitmap(TCanvas& canvas, TBitmap& Bitmap, TBitmap& Mask, int Height, int Width, int Y, int X) {
    if (canvas.GetDeviceCaps(BITSPIXEL) * canvas.GetDeviceCaps(PLANES) <= 1) return;
    if (Bitmap.Empty()) return;
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.DrawMasked(TRect{X, Y, X + Width, Y + Height}, Bitmap, TRect{0, 0, Bitmap.Width(), Bitmap.Height()}, Mask);
}

void EnlargeImage(TCanvas& canvas, int X, int Y, TBitmap& Bitmap, int Height, int Width) {
    if (Bitmap.Empty()) return;
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.StretchBlt(X, Y, Width, Height, &Bitmap.Canvas(), 0, 0, Bitmap.Width(), Bitmap.Height(), SRCCOPY);
}

void PrintBitmap1(TCanvas& canvas, int X, int Y, int W, int H, TBitmap* Mask, TBitmap& Bitmap, int FrameHeight,
                  int FrameY) {
    if (Bitmap.Empty() || W == 0 || H == 0) return;
    std::unique_ptr<TBitmap> frame, frameMask;
    TBitmap* image = &Bitmap;
    TBitmap* mask = Mask;
    if (FrameHeight != Bitmap.Height() && FrameHeight > 0) {
        frame = Strip(Bitmap, FrameY, FrameHeight);
        image = frame.get();
        if (Mask) {
            frameMask = Strip(*Mask, FrameY, FrameHeight);
            frameMask->SetMonochrome(true);
            mask = frameMask.get();
        }
    }
    if (!mask) {
        EnlargeImage(canvas, X, Y, *image, H, W);
        return;
    }
    std::unique_ptr<TBitmap> cleared = ClearMasked(*image, *mask, clWhite);
    // Image pixels to device pixels.
    TPoint corners[2] = {{X, Y}, {X + W, Y + H}};
    canvas.LPtoDP(corners, 2);
    TXForm xf;
    xf.eM11 = static_cast<double>(corners[1].X - corners[0].X) / image->Width();
    xf.eM22 = static_cast<double>(corners[1].Y - corners[0].Y) / image->Height();
    xf.eDx = corners[0].X;
    xf.eDy = corners[0].Y;
    TRegion visible = BitmapToRegion(*mask, &xf, clWhite);
    TRegion old;
    const bool hadClip = canvas.GetClipRgn(old) == 1;
    if (hadClip) CombineRgn(visible, visible, old, RGN_AND);
    canvas.SelectClipRgn(&visible);
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.StretchBlt(X, Y, W, H, &cleared->Canvas(), 0, 0, cleared->Width(), cleared->Height(), SRCCOPY);
    canvas.SelectClipRgn(hadClip ? &old : nullptr);
}

void DrawGpImage(TCanvas& canvas, const TGpImage& image, int X, int Y) {
    TGpGraphics g(canvas);
    g.DrawImage(image, X, Y);
}

void StretchDrawGpImage(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H) {
    TGpGraphics g(canvas);
    g.DrawImage(image, X, Y, W, H);
}

void DrawGpImageSrc(TCanvas& canvas, const TGpImage& image, int X, int Y, const TRect& src) {
    TGpGraphics g(canvas);
    g.DrawImageRect(image, X, Y, src.Left, src.Top, src.Width(), src.Height());
}

void PrintGpImageDirect(TCanvas& canvas, const TGpImage& image, int X, int Y, double ScaleX, double ScaleY) {
    TGpGraphics g(canvas);
    g.ScaleTransform(ScaleX, ScaleY);
    g.DrawImage(image, X, Y);
}

void StretchPrintGpImageDirect(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H, double ScaleX,
                               double ScaleY) {
    TGpGraphics g(canvas);
    g.ScaleTransform(ScaleX, ScaleY);
    g.DrawImage(image, X, Y, W, H);
}

void StretchPrintGpImageOnColor(TCanvas& canvas, const TGpImage& image, int X, int Y, int W, int H, TColor color) {
    if (image.Width() <= 0 || image.Height() <= 0) return;
    TBitmap bmp(image.Width(), image.Height());
    bmp.Canvas().FillRect(TRect{0, 0, bmp.Width(), bmp.Height()}, color);
    GdipDrawArgb(bmp.Canvas(), TRect{0, 0, bmp.Width(), bmp.Height()}, image.Pixels().data(), image.Width(),
                 image.Height(), TRect{0, 0, image.Width(), image.Height()});
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.StretchBlt(X, Y, W, H, &bmp.Canvas(), 0, 0, bmp.Width(), bmp.Height(), SRCCOPY);
}

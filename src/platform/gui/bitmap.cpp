#include "platform/gui/bitmap.h"

#include <QImage>
#include <QPainter>
#include <cstring>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "platform/runtime/files.h"

// The canvas of a bitmap: draws on the bitmap's 32-bit surface.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : owner_(owner) {}
    TBitmap* Bitmap() const override { return owner_; }
    TDeviceCaps DeviceCaps() const override {
        TDeviceCaps c;
        c.HorzRes = c.PhysicalWidth = owner_->Width();
        c.VertRes = c.PhysicalHeight = owner_->Height();
        c.BitsPixel = owner_->BitsPerPixel();
        return c;
    }
    void Lost() { PainterLost(); }

protected:
    QPainter* AcquirePainter(bool& fresh) override { return owner_->OpenPainter(fresh); }

private:
    TBitmap* owner_;
};

struct TBitmap::Store {
    QImage surface;
    std::unique_ptr<QPainter> painter;
};

namespace {

// Largest bitmap we make: 64 M pixels (256 MB at 32 bits).
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

constexpr int kDotsPerMeter = 3780;  // 96 pixels per inch

int Bits(TPixelFormat f) {
    switch (f) {
        case TPixelFormat::pf1bit: return 1;
        case TPixelFormat::pf4bit: return 4;
        case TPixelFormat::pf8bit: return 8;
        case TPixelFormat::pf15bit:
        case TPixelFormat::pf16bit: return 16;
        case TPixelFormat::pf24bit: return 24;
        default: return 32;
    }
}

int Stride(int width, int bits) { return static_cast<int>(((static_cast<long long>(bits) * width + 31) / 32) * 4); }

uint32_t ToArgb(TColor c) {
    TColor rgb = ColorToRGB(c);
    if (rgb == clNone || rgb == clDefault) rgb = clBlack;
    return 0xFF000000u | (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | uint32_t(GetBValue(rgb));
}

TColor FromArgb(uint32_t c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

QImage NewSurface(int w, int h) {
    QImage img(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
    img.fill(0xFF000000u);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    return img;
}

// Nearest palette entry by squared distance; exact hits first.
class Quantizer {
public:
    explicit Quantizer(const std::vector<uint32_t>& pal) : pal_(pal) {}
    uint8_t Index(uint32_t c) {
        c &= 0xFFFFFF;
        auto it = cache_.find(c);
        if (it != cache_.end()) return it->second;
        int best = 0;
        long bestD = -1;
        for (size_t i = 0; i < pal_.size(); ++i) {
            long dr = long((pal_[i] >> 16) & 0xFF) - long((c >> 16) & 0xFF);
            long dg = long((pal_[i] >> 8) & 0xFF) - long((c >> 8) & 0xFF);
            long db = long(pal_[i] & 0xFF) - long(c & 0xFF);
            long d = dr * dr + dg * dg + db * db;
            if (bestD < 0 || d < bestD) {
                bestD = d;
                best = static_cast<int>(i);
                if (d == 0) break;
            }
        }
        cache_.emplace(c, static_cast<uint8_t>(best));
        return static_cast<uint8_t>(best);
    }

private:
    const std::vector<uint32_t>& pal_;
    std::unordered_map<uint32_t, uint8_t> cache_;
};

uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

// Value of a masked channel scaled to 0..255.
uint32_t Channel(uint32_t pixel, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    uint64_t m = mask >> shift;
    uint64_t v = (pixel & mask) >> shift;
    return m ? static_cast<uint32_t>((v * 255 + m / 2) / m) : 0;
}

}  // namespace

// ---------------------------------------------------------------------------

TBitmap::TBitmap() : store_(std::make_unique<Store>()) { store_->surface = NewSurface(0, 0); }

TBitmap::TBitmap(int width, int height, TPixelFormat format) : TBitmap() { Allocate(width, height, format); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { Assign(other); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
    Assign(other);
    return *this;
}

TBitmap::~TBitmap() {
    if (store_) ClosePainter();
}

void TBitmap::Assign(const TBitmap& other) {
    if (this == &other) return;
    ClosePainter();
    other.ClosePainter();
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    bits_ = other.bits_;
    palette_ = other.palette_;
    store_->surface = other.store_->surface.copy();
    surfaceValid_ = other.surfaceValid_;
    nativeValid_ = other.nativeValid_;
    transparent_ = other.transparent_;
    transparentColor_ = other.transparentColor_;
    transparentMode_ = other.transparentMode_;
}

bool TBitmap::Native32() const { return format_ == TPixelFormat::pfDevice || format_ == TPixelFormat::pf32bit; }

int TBitmap::BitsPerPixel() const { return Bits(format_); }

int TBitmap::BytesPerScanLine() const { return Stride(width_, Bits(format_)); }

void TBitmap::DefaultPalette() {
    palette_.clear();
    switch (format_) {
        case TPixelFormat::pf1bit: palette_ = {0xFF000000u, 0xFFFFFFFFu}; break;
        case TPixelFormat::pf4bit:
        case TPixelFormat::pf8bit: {
            static const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                             0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                             0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
            for (uint32_t c : vga) palette_.push_back(0xFF000000u | c);
            if (format_ == TPixelFormat::pf8bit) {
                for (int r = 0; r < 6; ++r)
                    for (int g = 0; g < 6; ++g)
                        for (int b = 0; b < 6; ++b)
                            palette_.push_back(0xFF000000u | (uint32_t(r * 51) << 16) | (uint32_t(g * 51) << 8) |
                                               uint32_t(b * 51));
                for (int i = 0; palette_.size() < 256; ++i) {
                    uint32_t v = static_cast<uint32_t>(8 + i * 10);
                    palette_.push_back(0xFF000000u | (v << 16) | (v << 8) | v);
                }
            }
            break;
        }
        default: break;
    }
}

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (static_cast<long long>(width) * height > kMaxPixels) throw EOutOfResources();
    ClosePainter();
    width_ = width;
    height_ = height;
    format_ = format;
    DefaultPalette();
    // A bitmap of fewer bits gets its 32-bit surface when something draws
    // on it or reads it (a GIF's mask is written as bits and often never).
    if (Native32()) {
        store_->surface = NewSurface(width, height);
        bits_.clear();
    } else {
        store_->surface = QImage();
        bits_.assign(static_cast<size_t>(Stride(width, Bits(format))) * height, 0);
    }
    surfaceValid_ = Native32();
    nativeValid_ = true;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (static_cast<long long>(width) * height > kMaxPixels) throw EOutOfResources();
    ClosePainter();
    SyncSurface();
    QImage old = store_->surface;
    std::vector<uint32_t> pal = palette_;
    Allocate(width, height, format_);
    palette_ = pal;
    QImage& s = store_->surface;
    if (!Native32()) s = NewSurface(width, height);
    s.fill(palette_.empty() ? 0xFF000000u : palette_[0]);
    int w = std::min(width, old.width()), h = std::min(height, old.height());
    for (int y = 0; y < h; ++y) std::memcpy(s.scanLine(y), old.constScanLine(y), static_cast<size_t>(w) * 4);
    if (!Native32()) {
        surfaceValid_ = true;
        nativeValid_ = false;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    ClosePainter();
    SyncSurface();
    QImage pixels = store_->surface;
    std::vector<uint32_t> oldPal = palette_;
    bool keepPalette = (format == TPixelFormat::pf8bit || format == TPixelFormat::pf4bit) && oldPal.size() > 2 &&
                       oldPal.size() <= (format == TPixelFormat::pf4bit ? 16u : 256u);
    Allocate(width_, height_, format);
    if (keepPalette) palette_ = oldPal;
    store_->surface = pixels;
    surfaceValid_ = true;
    nativeValid_ = Native32();
    if (!Native32()) {
        SyncNative();
        // The surface shows what the rows now hold.
        surfaceValid_ = false;
        SyncSurface();
    }
}

void TBitmap::SetMonochrome(bool mono) {
    if (mono)
        SetPixelFormat(TPixelFormat::pf1bit);
    else if (format_ == TPixelFormat::pf1bit)
        SetPixelFormat(TPixelFormat::pfDevice);
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
    return *canvas_;
}

QPainter* TBitmap::OpenPainter(bool& fresh) {
    fresh = false;
    if (width_ == 0 || height_ == 0) return nullptr;
    if (!store_->painter) {
        SyncSurface();
        store_->painter = std::make_unique<QPainter>(&store_->surface);
        fresh = true;
    }
    if (!Native32()) nativeValid_ = false;
    return store_->painter.get();
}

void TBitmap::ClosePainter() const {
    if (!store_->painter) return;
    if (canvas_) canvas_->Lost();
    store_->painter->end();
    store_->painter.reset();
}

void TBitmap::SyncSurface() const {
    if (surfaceValid_ || Native32()) {
        surfaceValid_ = true;
        return;
    }
    QImage& s = store_->surface;
    if (s.width() != width_ || s.height() != height_) s = NewSurface(width_, height_);
    const int stride = Stride(width_, Bits(format_));
    auto pal = [&](unsigned i) { return i < palette_.size() ? palette_[i] : 0xFF000000u; };
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = bits_.data() + static_cast<size_t>(y) * stride;
        uint32_t* out = reinterpret_cast<uint32_t*>(s.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            switch (format_) {
                case TPixelFormat::pf1bit: out[x] = pal((row[x >> 3] >> (7 - (x & 7))) & 1); break;
                case TPixelFormat::pf4bit: out[x] = pal((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)); break;
                case TPixelFormat::pf8bit: out[x] = pal(row[x]); break;
                case TPixelFormat::pf15bit: {
                    uint32_t v = Get16(row + 2 * x);
                    out[x] = 0xFF000000u | (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) |
                             Expand5(v & 31);
                    break;
                }
                case TPixelFormat::pf16bit: {
                    uint32_t v = Get16(row + 2 * x);
                    out[x] = 0xFF000000u | (Expand5((v >> 11) & 31) << 16) | (Expand6((v >> 5) & 63) << 8) |
                             Expand5(v & 31);
                    break;
                }
                case TPixelFormat::pf24bit:
                    out[x] = 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) |
                             row[3 * x];
                    break;
                default: break;
            }
        }
    }
    surfaceValid_ = true;
}

void TBitmap::SyncNative() const {
    if (nativeValid_ || Native32()) {
        nativeValid_ = true;
        return;
    }
    const QImage& s = store_->surface;
    const int stride = Stride(width_, Bits(format_));
    bits_.assign(static_cast<size_t>(stride) * height_, 0);
    Quantizer q(palette_);
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = bits_.data() + static_cast<size_t>(y) * stride;
        const uint32_t* in = reinterpret_cast<const uint32_t*>(s.constScanLine(y));
        for (int x = 0; x < width_; ++x) {
            uint32_t c = in[x];
            switch (format_) {
                case TPixelFormat::pf1bit:
                    if (q.Index(c)) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
                    break;
                case TPixelFormat::pf4bit: row[x >> 1] |= uint8_t((x & 1) ? q.Index(c) : (q.Index(c) << 4)); break;
                case TPixelFormat::pf8bit: row[x] = q.Index(c); break;
                case TPixelFormat::pf15bit: {
                    uint32_t v = (((c >> 19) & 31) << 10) | (((c >> 11) & 31) << 5) | ((c >> 3) & 31);
                    row[2 * x] = uint8_t(v);
                    row[2 * x + 1] = uint8_t(v >> 8);
                    break;
                }
                case TPixelFormat::pf16bit: {
                    uint32_t v = (((c >> 19) & 31) << 11) | (((c >> 10) & 63) << 5) | ((c >> 3) & 31);
                    row[2 * x] = uint8_t(v);
                    row[2 * x + 1] = uint8_t(v >> 8);
                    break;
                }
                case TPixelFormat::pf24bit:
                    row[3 * x] = uint8_t(c);
                    row[3 * x + 1] = uint8_t(c >> 8);
                    row[3 * x + 2] = uint8_t(c >> 16);
                    break;
                default: break;
            }
        }
    }
    nativeValid_ = true;
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    ClosePainter();
    if (Native32()) return store_->surface.scanLine(row);
    SyncNative();
    surfaceValid_ = false;
    return bits_.data() + static_cast<size_t>(row) * Stride(width_, Bits(format_));
}

const uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    if (Native32()) return store_->surface.constScanLine(row);
    SyncNative();
    return bits_.data() + static_cast<size_t>(row) * Stride(width_, Bits(format_));
}

std::vector<TColor> TBitmap::Palette() const {
    std::vector<TColor> out;
    for (uint32_t c : palette_) out.push_back(FromArgb(c));
    return out;
}

void TBitmap::SetPalette(const std::vector<TColor>& colors) {
    if (palette_.empty()) return;
    SyncNative();
    ClosePainter();
    size_t n = std::min(colors.size(), size_t(1) << std::min(Bits(format_), 8));
    palette_.resize(std::max<size_t>(n, 1));
    for (size_t i = 0; i < n; ++i) palette_[i] = ToArgb(colors[i]);
    surfaceValid_ = false;
}

TColor TBitmap::PaletteEntry(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= palette_.size()) return clNone;
    return FromArgb(palette_[static_cast<size_t>(index)]);
}

void TBitmap::SetPaletteEntry(int index, TColor color) {
    if (index < 0 || static_cast<size_t>(index) >= palette_.size()) return;
    SyncNative();
    ClosePainter();
    palette_[static_cast<size_t>(index)] = ToArgb(color);
    surfaceValid_ = false;
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (width_ == 0 || height_ == 0) return clNone;
    return GetPixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    transparentMode_ = c == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
}

std::unique_ptr<TBitmap> TBitmap::CreateMask(TColor color) const {
    auto mask = std::make_unique<TBitmap>(width_, height_, TPixelFormat::pf1bit);
    const QImage& s = Surface();
    uint32_t key = ToArgb(color) & 0xFFFFFF;
    QImage& m = mask->store_->surface = NewSurface(width_, height_);
    for (int y = 0; y < height_; ++y) {
        const uint32_t* in = reinterpret_cast<const uint32_t*>(s.constScanLine(y));
        uint32_t* out = reinterpret_cast<uint32_t*>(m.scanLine(y));
        for (int x = 0; x < width_; ++x) out[x] = (in[x] & 0xFFFFFF) == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
    mask->surfaceValid_ = true;
    mask->nativeValid_ = false;
    return mask;
}

std::unique_ptr<TBitmap> TBitmap::Repeated(int cols, int rows) const {
    if (cols < 1 || rows < 1 || static_cast<long long>(width_) * cols * height_ * rows > kMaxPixels)
        throw EOutOfResources();
    auto out = std::make_unique<TBitmap>(width_ * cols, height_ * rows, format_);
    out->palette_ = palette_;
    out->transparent_ = transparent_;
    out->transparentColor_ = transparentColor_;
    out->transparentMode_ = transparentMode_;
    const QImage& s = Surface();
    QImage& d = out->store_->surface;
    if (!out->Native32()) d = NewSurface(out->width_, out->height_);
    for (int y = 0; y < out->height_; ++y) {
        const uchar* in = s.constScanLine(y % height_);
        uchar* row = d.scanLine(y);
        const size_t bytes = static_cast<size_t>(width_) * 4;
        for (int c = 0; c < cols; ++c) std::memcpy(row + c * bytes, in, bytes);
    }
    out->surfaceValid_ = true;
    out->nativeValid_ = out->Native32();
    return out;
}

TColor TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
    return FromArgb(Surface().pixel(x, y));
}

const QImage& TBitmap::Surface() const {
    SyncSurface();
    return store_->surface;
}

QImage TBitmap::ToImage() const { return Surface().copy(); }

void TBitmap::AssignImage(const QImage& image) {
    ClosePainter();
    TPixelFormat f = format_;
    std::vector<uint32_t> pal = palette_;
    Allocate(image.width(), image.height(), f);
    palette_ = pal;
    if (palette_.empty()) DefaultPalette();
    store_->surface = image.convertToFormat(QImage::Format_RGB32);
    store_->surface.setDotsPerMeterX(kDotsPerMeter);
    store_->surface.setDotsPerMeterY(kDotsPerMeter);
    surfaceValid_ = true;
    nativeValid_ = Native32();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty()) return;
    auto* self = const_cast<TBitmap*>(this);
    if (transparent_) {
        std::unique_ptr<TBitmap> mask = CreateMask(TransparentColor());
        canvas.DrawMasked(rect, *this, TRect{0, 0, width_, height_}, *mask);
        return;
    }
    canvas.StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), &self->Canvas(), 0, 0, width_, height_,
                      canvas.CopyMode());
}

// ---- BMP files ----

void TBitmap::LoadFromFile(const std::string& fileName) {
    LoadFromStream(ReadFileBytes(fileName));
}

void TBitmap::LoadFromStream(const std::string& bytes) { LoadFromMemory(bytes.data(), bytes.size()); }

void TBitmap::LoadFromMemory(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (!p || size < 26 || p[0] != 'B' || p[1] != 'M') Invalid();
    uint32_t offBits = Get32(p + 10);
    uint32_t hdr = Get32(p + 14);
    if (hdr != 12 && hdr < 40) Invalid();
    if (14 + static_cast<size_t>(hdr) > size) Invalid();
    long long width, height;
    int bpp;
    uint32_t compression = 0, clrUsed = 0;
    if (hdr == 12) {
        width = Get16(p + 18);
        height = static_cast<int16_t>(Get16(p + 20));
        bpp = static_cast<int>(Get16(p + 24));
    } else {
        width = static_cast<int32_t>(Get32(p + 18));
        height = static_cast<int32_t>(Get32(p + 22));
        bpp = static_cast<int>(Get16(p + 28));
        compression = Get32(p + 30);
        clrUsed = Get32(p + 46);
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > kMaxPixels) Invalid();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Invalid();
    if (compression != 0 && compression != 1 && compression != 2 && compression != 3 && compression != 6) Invalid();
    if ((compression == 1 && bpp != 8) || (compression == 2 && bpp != 4)) Invalid();
    if ((compression == 3 || compression == 6) && bpp != 16 && bpp != 32) Invalid();

    // Colour masks of the bit-field formats.
    uint32_t rMask = 0, gMask = 0, bMask = 0;
    size_t palStart = 14 + hdr;
    if (bpp == 16) {
        rMask = 0x7C00;
        gMask = 0x03E0;
        bMask = 0x001F;
    } else if (bpp == 32) {
        rMask = 0xFF0000;
        gMask = 0xFF00;
        bMask = 0xFF;
    }
    if (compression == 3 || compression == 6) {
        size_t at = 14 + 40;
        if (at + 12 > size) Invalid();
        rMask = Get32(p + at);
        gMask = Get32(p + at + 4);
        bMask = Get32(p + at + 8);
        if (hdr == 40) palStart += compression == 6 ? 16 : 12;
    }

    std::vector<uint32_t> pal;
    if (bpp <= 8) {
        size_t entries = clrUsed ? clrUsed : (size_t(1) << bpp);
        entries = std::min(entries, size_t(1) << bpp);
        size_t entrySize = hdr == 12 ? 3 : 4;
        if (palStart + entries * entrySize > size) Invalid();
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* e = p + palStart + i * entrySize;
            pal.push_back(0xFF000000u | (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0]);
        }
    }
    if (offBits >= size) Invalid();

    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const uint8_t* pix = p + offBits;
    const size_t avail = size - offBits;
    TPixelFormat format;
    switch (bpp) {
        case 1: format = TPixelFormat::pf1bit; break;
        case 4: format = TPixelFormat::pf4bit; break;
        case 8: format = TPixelFormat::pf8bit; break;
        case 16:
            format = (rMask == 0x7C00 && gMask == 0x03E0 && bMask == 0x1F)   ? TPixelFormat::pf15bit
                     : (rMask == 0xF800 && gMask == 0x07E0 && bMask == 0x1F) ? TPixelFormat::pf16bit
                                                                              : TPixelFormat::pf32bit;
            break;
        case 24: format = TPixelFormat::pf24bit; break;
        default: format = TPixelFormat::pf32bit; break;
    }

    // The pixels must be there before anything is allocated for them (a run of
    // the coded formats stands for at most 255 pixels).
    const int srcStride = Stride(w, bpp);
    if (compression == 1 || compression == 2) {
        if (static_cast<long long>(w) * h > (static_cast<long long>(avail) / 2 + 1) * 255) Invalid();
    } else if (static_cast<long long>(srcStride) * h > static_cast<long long>(avail)) {
        Invalid();
    }

    // Decode into a fresh bitmap so that a failure leaves this one as it was.
    TBitmap out(w, h, format);
    if (!pal.empty()) {
        out.palette_ = pal;
        out.palette_.resize(size_t(1) << bpp, 0xFF000000u);
    }
    auto destRow = [&](int fileRow) { return topDown ? fileRow : h - 1 - fileRow; };

    if (compression == 1 || compression == 2) {
        // Run-length coded 8- or 4-bit rows, bottom-up.
        std::vector<uint8_t> idx(static_cast<size_t>(w) * h, 0);
        size_t i = 0;
        int x = 0, y = 0;
        auto put = [&](uint8_t v) {
            if (x < w && y < h) idx[static_cast<size_t>(y) * w + x] = v;
            ++x;
        };
        while (i + 1 < avail && y < h) {
            uint8_t a = pix[i], b = pix[i + 1];
            i += 2;
            if (a > 0) {
                for (int k = 0; k < a; ++k) put(compression == 1 ? b : ((k & 1) ? (b & 0x0F) : (b >> 4)));
            } else if (b == 0) {
                x = 0;
                ++y;
            } else if (b == 1) {
                break;
            } else if (b == 2) {
                if (i + 1 >= avail) break;
                x += pix[i];
                y += pix[i + 1];
                i += 2;
            } else {
                size_t bytes = compression == 1 ? b : (b + 1) / 2;
                if (i + bytes > avail) Invalid();
                for (int k = 0; k < b; ++k)
                    put(compression == 1 ? pix[i + k] : ((k & 1) ? (pix[i + k / 2] & 0x0F) : (pix[i + k / 2] >> 4)));
                i += (bytes + 1) & ~size_t(1);
            }
        }
        for (int row = 0; row < h; ++row) {
            uint8_t* dst = out.ScanLine(h - 1 - row);
            for (int col = 0; col < w; ++col) {
                uint8_t v = idx[static_cast<size_t>(row) * w + col];
                if (compression == 1)
                    dst[col] = v;
                else
                    dst[col >> 1] |= uint8_t((col & 1) ? (v & 0x0F) : (v << 4));
            }
        }
    } else {
        for (int row = 0; row < h; ++row) {
            const uint8_t* src = pix + static_cast<size_t>(row) * srcStride;
            uint8_t* dst = out.ScanLine(destRow(row));
            if (format == TPixelFormat::pf32bit && bpp == 16) {
                uint32_t* d32 = reinterpret_cast<uint32_t*>(dst);
                for (int col = 0; col < w; ++col) {
                    uint32_t v = Get16(src + 2 * col);
                    d32[col] = 0xFF000000u | (Channel(v, rMask) << 16) | (Channel(v, gMask) << 8) | Channel(v, bMask);
                }
            } else if (format == TPixelFormat::pf32bit) {
                uint32_t* d32 = reinterpret_cast<uint32_t*>(dst);
                for (int col = 0; col < w; ++col) {
                    uint32_t v = Get32(src + 4 * col);
                    d32[col] = 0xFF000000u | (Channel(v, rMask) << 16) | (Channel(v, gMask) << 8) | Channel(v, bMask);
                }
            } else {
                std::memcpy(dst, src, static_cast<size_t>(srcStride));
            }
        }
    }
    out.ClosePainter();
    bool t = transparent_;
    TColor tc = transparentColor_;
    TTransparentMode tm = transparentMode_;
    Assign(out);
    transparent_ = t;
    transparentColor_ = tc;
    transparentMode_ = tm;
}

std::string TBitmap::SaveToStream() const {
    // Screen-format bitmaps are written as 24-bit files.
    TPixelFormat f = format_ == TPixelFormat::pfDevice ? TPixelFormat::pf24bit : format_;
    int bpp = Bits(f);
    int stride = Stride(width_, bpp);
    size_t palCount = bpp <= 8 ? (size_t(1) << bpp) : 0;
    bool bitfields = f == TPixelFormat::pf16bit;
    uint32_t headerBytes = 14 + 40 + static_cast<uint32_t>(palCount * 4) + (bitfields ? 12 : 0);
    uint32_t imageBytes = static_cast<uint32_t>(stride) * static_cast<uint32_t>(height_);
    std::string s;
    s.reserve(headerBytes + imageBytes);
    s += "BM";
    Put32(s, headerBytes + imageBytes);
    Put32(s, 0);
    Put32(s, headerBytes);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(width_));
    Put32(s, static_cast<uint32_t>(height_));
    Put16(s, 1);
    Put16(s, static_cast<uint16_t>(bpp));
    Put32(s, bitfields ? 3 : 0);
    Put32(s, imageBytes);
    Put32(s, kDotsPerMeter);
    Put32(s, kDotsPerMeter);
    Put32(s, static_cast<uint32_t>(palCount));
    Put32(s, 0);
    if (bitfields) {
        Put32(s, 0xF800);
        Put32(s, 0x07E0);
        Put32(s, 0x001F);
    }
    for (size_t i = 0; i < palCount; ++i) {
        uint32_t c = i < palette_.size() ? palette_[i] : 0;
        s.push_back(char(c & 0xFF));
        s.push_back(char((c >> 8) & 0xFF));
        s.push_back(char((c >> 16) & 0xFF));
        s.push_back(0);
    }
    if (format_ == TPixelFormat::pfDevice) {
        const QImage& img = Surface();
        for (int row = height_ - 1; row >= 0; --row) {
            const uint32_t* in = reinterpret_cast<const uint32_t*>(img.constScanLine(row));
            std::string line(static_cast<size_t>(stride), '\0');
            for (int x = 0; x < width_; ++x) {
                line[3 * x] = char(in[x] & 0xFF);
                line[3 * x + 1] = char((in[x] >> 8) & 0xFF);
                line[3 * x + 2] = char((in[x] >> 16) & 0xFF);
            }
            s += line;
        }
    } else {
        for (int row = height_ - 1; row >= 0; --row)
            s.append(reinterpret_cast<const char*>(ScanLine(row)), static_cast<size_t>(stride));
    }
    return s;
}

void TBitmap::SaveToFile(const std::string& fileName) const {
    WriteFileAtomic(fileName, SaveToStream());
}

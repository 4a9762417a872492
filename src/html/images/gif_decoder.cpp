#include "html/images/gif_decoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

int GifLastError = 0;
std::string GifLastErrorText = "no error";

namespace {

const char* const kErrorTexts[] = {
    "no error",
    "Invalid GIF Signature Code",
    "No Local or Global Color Table for Image",
    "Unknown Graphics Extension Type",
    "Unknown Graphics Operation Code",
    "Invalid Extension Block Size",
    "[special message]",
    "Invalid Extension Block Terminator",
    "Invalid Integer Size",
    "No GIF Terminator Found",
    "Extension Block Out-Of-Order With Image Data",
    "Invalid Image Descriptor Index",
    "Invalid LZW Code Size",
    "Invalid LZW Data Format",
    "LZW Code Overflow",
    "Value Out Of Range",
    "NIL Pointer assigned",
    "Invalid Color Table Size",
    "No Image Description",
    "Invalid Bitmap Image",
    "Invalid Color Table Index",
    "Invalid Interlace Pass",
    "Invalid Bitmap",
    "Too Many Colors In Bitmap",
    "Unexpected end of file",
    "Animated GIF too large",
    "Zero width or height",
    "next message",
};

// The strip is one BMP file in memory: it must stay below these sizes.
constexpr uint64_t kStripLimit = 200000001, kStripLimitTransparent = 100000001;

uint64_t StripRowSize(uint64_t width, uint64_t frames) { return (width * 3 * frames + 3) / 4 * 4; }
uint64_t StripFileSize(uint64_t width, uint64_t height, uint64_t frames) {
    return 54 + height * StripRowSize(width, frames);
}

// Rows of 32-bit pixels and of one-bit mask pixels.
inline void SetBit(uint8_t* row, size_t x) { row[x >> 3] |= uint8_t(0x80u >> (x & 7)); }
inline void ClearBit(uint8_t* row, size_t x) { row[x >> 3] &= uint8_t(~(0x80u >> (x & 7))); }
inline bool Bit(const uint8_t* row, size_t x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

// Bits [from, from + count) of a row copied to [to, to + count) (the ranges do
// not overlap). Frames of a width that is a multiple of 8 start on whole
// bytes: those bytes are copied whole.
void CopyBits(uint8_t* row, size_t from, size_t to, size_t count) {
    size_t i = 0;
    if (from % 8 == 0 && to % 8 == 0) {
        std::memcpy(row + to / 8, row + from / 8, count / 8);
        i = count / 8 * 8;
    }
    for (; i < count; ++i) {
        if (Bit(row, from + i))
            SetBit(row, to + i);
        else
            ClearBit(row, to + i);
    }
}

// Bits [from, from + count) of a row cleared.
void ClearBits(uint8_t* row, size_t from, size_t count) {
    size_t x = from;
    const size_t end = from + count;
    for (; x < end && x % 8 != 0; ++x) ClearBit(row, x);
    if (const size_t whole = (end - x) / 8) {
        std::memset(row + x / 8, 0, whole);
        x += whole * 8;
    }
    for (; x < end; ++x) ClearBit(row, x);
}

}  // namespace

std::string GifErrorText(int number) {
    if (number < 0 || number > 27) return "";
    return kErrorTexts[number];
}

void GifError(int number, const std::string& special) {
    GifLastError = number;
    GifLastErrorText = number == 6 ? special : GifErrorText(number);
    throw EInvalidGraphicOperation("TGif: " + GifLastErrorText);
}

// The input copy, read byte by byte; running out inside a block is error 24.
struct TGif::Reader {
    const uint8_t* p;
    size_t size;
    size_t pos = 0;

    bool AtEnd() const { return pos >= size; }
    int Byte() {
        if (pos >= size) GifError(24);
        return p[pos++];
    }
    // Integers are 1 or 2 little-endian bytes.
    int Int(int width) {
        if (width == 1) return Byte();
        if (width == 2) {
            int lo = Byte();
            return lo | (Byte() << 8);
        }
        GifError(8);
    }
    std::string Bytes(size_t n) {
        if (size - pos < n) GifError(24);
        std::string s(reinterpret_cast<const char*>(p + pos), n);
        pos += n;
        return s;
    }
    void Skip(size_t n) {
        if (size - pos < n) GifError(24);
        pos += n;
    }
    std::vector<TGifDataSubBlock> SubBlocks() {
        std::vector<TGifDataSubBlock> blocks;
        for (;;) {
            int n = Byte();
            if (n == 0) return blocks;
            blocks.push_back({Bytes(static_cast<size_t>(n))});
        }
    }
    TGifColorTable Table(int count) {
        TGifColorTable t;
        t.Colors.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            int r = Byte(), g = Byte(), b = Byte();
            t.Colors.push_back(RGB(r, g, b));
        }
        return t;
    }
};

TGif::TGif() = default;
TGif::~TGif() = default;

void TGif::LoadFromStream(TStream& stream) { Read(stream, true); }

void TGif::ReadBlocks(TStream& stream) { Read(stream, false); }

void TGif::Read(TStream& stream, bool decode) {
    images_.clear();
    tables_.clear();
    pending_.clear();
    screen_ = TGifScreenDescriptor();
    loopCount_ = -1;
    pixelBytes_ = 0;
    GifLastError = 0;
    GifLastErrorText = GifErrorText(0);

    // Bytes already in memory are read where they are.
    TMemoryStream copy;
    const auto* input = dynamic_cast<const TMemoryStream*>(&stream);
    if (!input) {
        copy.LoadFromStream(stream);
        input = &copy;
    }
    Reader r{input->Memory(), input->Bytes().size()};

    if (r.size < 6) GifError(1);
    signature_ = r.Bytes(6);
    std::string upper = signature_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper != "GIF87A" && upper != "GIF89A") GifError(1);

    screen_.Width = r.Int(2);
    screen_.Height = r.Int(2);
    int packed = r.Byte();
    screen_.GlobalColorTable = (packed & 0x80) != 0;
    screen_.ColorResolution = ((packed >> 4) & 7) + 1;
    screen_.Sorted = (packed & 0x08) != 0;
    screen_.GlobalColorTableSize = 1 << ((packed & 7) + 1);
    screen_.BackgroundIndex = r.Byte();
    screen_.AspectRatio = r.Byte();
    if (screen_.GlobalColorTable) {
        tables_.push_back(r.Table(screen_.GlobalColorTableSize));
        screen_.GlobalColorTableIndex = 0;
    }

    while (!r.AtEnd()) {
        int introducer = r.Byte();
        if (introducer == 0x2C)
            ReadImage(r, decode);
        else if (introducer == 0x21)
            ReadExtension(r);
        else if (introducer == 0x3B)
            break;
        else
            GifError(4);
    }
    if (images_.empty()) GifError(18);
    pending_.clear();
}

void TGif::ReadExtension(Reader& r) {
    TGifExtension e;
    e.Label = static_cast<uint8_t>(r.Byte());
    switch (e.Label) {
        case 0xF9: {
            e.BlockSize = r.Byte();
            if (e.BlockSize != 4) GifError(5);
            int packed = r.Byte();
            e.Disposal = (packed >> 2) & 7;
            e.UserInput = (packed & 2) != 0;
            e.TransparentFlag = (packed & 1) != 0;
            e.Delay = r.Int(2);
            e.TransparentIndex = r.Byte();
            if (r.Byte() != 0) GifError(7);
            break;
        }
        case 0xFE: e.SubBlocks = r.SubBlocks(); break;
        case 0x01:
            e.BlockSize = r.Byte();
            if (e.BlockSize != 12) GifError(5);
            e.GridLeft = r.Int(2);
            e.GridTop = r.Int(2);
            e.GridWidth = r.Int(2);
            e.GridHeight = r.Int(2);
            e.CellWidth = r.Byte();
            e.CellHeight = r.Byte();
            e.ForegroundIndex = r.Byte();
            e.BackgroundIndex = r.Byte();
            e.SubBlocks = r.SubBlocks();
            break;
        case 0xFF:
            e.BlockSize = r.Byte();
            if (e.BlockSize == 11) {
                e.Identifier = r.Bytes(8);
                e.AuthenticationCode = r.Bytes(3);
                e.SubBlocks = r.SubBlocks();
                if (e.Identifier == "NETSCAPE" && !e.SubBlocks.empty() && e.SubBlocks[0].Data.size() == 3) {
                    const std::string& d = e.SubBlocks[0].Data;
                    loopCount_ = static_cast<uint8_t>(d[1]) + 256 * static_cast<uint8_t>(d[2]);
                }
            } else {
                r.Skip(static_cast<size_t>(e.BlockSize));
                e.SubBlocks = r.SubBlocks();
            }
            break;
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", e.Label);
            GifError(6, std::string("unknown extension: ") + hex);
        }
    }
    pending_.push_back(std::move(e));
}

void TGif::ReadImage(Reader& r, bool decode) {
    TGifImageDescriptor img;
    img.Index = static_cast<int>(images_.size());
    img.Extensions = std::move(pending_);
    pending_.clear();
    img.Left = r.Int(2);
    img.Top = r.Int(2);
    img.Width = r.Int(2);
    img.Height = r.Int(2);
    if (img.Height > screen_.Height) img.Height = screen_.Height;
    int packed = r.Byte();
    img.LocalColorTable = (packed & 0x80) != 0;
    img.Interlaced = (packed & 0x40) != 0;
    img.Sorted = (packed & 0x20) != 0;
    img.LocalColorTableSize = 1 << ((packed & 7) + 1);
    if (img.LocalColorTable) {
        tables_.push_back(r.Table(img.LocalColorTableSize));
        img.ColorTableIndex = static_cast<int>(tables_.size()) - 1;
    } else {
        img.ColorTableIndex = screen_.GlobalColorTableIndex;
    }
    if (img.ColorTableIndex < 0) GifError(2);
    img.LzwCodeSize = r.Byte();
    for (;;) {
        int n = r.Byte();
        if (n == 0) break;
        if (r.size - r.pos < static_cast<size_t>(n)) GifError(24);
        img.Data.append(reinterpret_cast<const char*>(r.p + r.pos), static_cast<size_t>(n));
        r.pos += static_cast<size_t>(n);
    }
    const uint64_t pixels = uint64_t(img.Width) * uint64_t(img.Height);
    if (pixels == 0) GifError(26);
    // Everything decoded ends in the strip: refuse before the memory is taken
    // what the strip would refuse afterwards.
    if (StripFileSize(static_cast<uint64_t>(screen_.Width), static_cast<uint64_t>(screen_.Height),
                      images_.size() + 1) >= kStripLimit ||
        pixelBytes_ + std::min<uint64_t>(pixels, uint64_t(std::max(screen_.Width, 0)) * img.Height) >= kStripLimit)
        GifError(25);
    // Columns past the screen's right edge are never shown: they are decoded
    // but not kept, so a frame far wider than the screen costs no memory.
    img.StoredWidth = std::clamp(screen_.Width - img.Left, 0, img.Width);
    if (decode) {
        const size_t kept = static_cast<size_t>(img.StoredWidth);
        img.Pixels.assign(kept * static_cast<size_t>(img.Height), 0);
        pixelBytes_ += img.Pixels.size();
        uint8_t* pixelRows = img.Pixels.data();
        DecodeLzw(img, [pixelRows, kept](int y, const uint8_t* row) {
            if (kept) std::memcpy(pixelRows + static_cast<size_t>(y) * kept, row, kept);
        });
        img.Data = std::string();
        img.Decoded = true;
    }
    images_.push_back(std::move(img));
}

// LZW (GIF89a appendix F) into rows: `sink(y, indexes)` gets each row of the
// frame once, its first StoredWidth indexes; pixels the data never reaches
// are 0.
template <class RowSink>
void TGif::DecodeLzw(const TGifImageDescriptor& image, RowSink&& sink) const {
    const int minSize = image.LzwCodeSize;
    if (minSize + 1 > 12) GifError(12);
    const int clear = 1 << minSize, end = clear + 1;
    // length: the pixels a code stands for.
    uint16_t prefix[4096], length[4096];
    uint8_t suffix[4096], stack[4097];
    std::memset(prefix, 0, sizeof prefix);
    std::memset(suffix, 0, sizeof suffix);
    std::fill(std::begin(length), std::end(length), uint16_t{1});
    for (int i = 0; i < clear && i < 4096; ++i) suffix[i] = static_cast<uint8_t>(i);

    const uint8_t* data = reinterpret_cast<const uint8_t*>(image.Data.data());
    const size_t total = image.Data.size();
    int codeSize = minSize + 1, nextFree = clear + 2, limit = 1 << codeSize;
    bool tableFull = false;
    uint32_t bitBuf = 0;
    int bitCount = 0;
    size_t at = 0;
    auto exhausted = [&]() { return at >= total && bitCount < codeSize; };
    auto readCode = [&]() -> int {
        while (bitCount < codeSize) {
            // Missing bytes read as 0.
            const uint32_t b = at < total ? data[at] : 0;
            ++at;
            bitBuf |= b << bitCount;
            bitCount += 8;
        }
        const int code = static_cast<int>(bitBuf & ((1u << codeSize) - 1));
        bitBuf >>= codeSize;
        bitCount -= codeSize;
        return code;
    };

    // Rows in order, or by the four interlace passes. A row is handed on
    // once every kept column of it was written.
    const int w = image.Width, h = image.Height, kept = image.StoredWidth;
    std::vector<uint8_t> row(static_cast<size_t>(kept) + 1, 0);
    int y = 0, col = 0, pass = 1;
    bool full = false;
    auto nextRow = [&]() {
        sink(y, row.data());
        col = 0;
        if (!image.Interlaced) {
            if (++y >= h) full = true;
            return;
        }
        static const int start[] = {0, 0, 4, 2, 1}, step[] = {0, 8, 8, 4, 2};
        y += step[pass];
        while (y >= h) {
            if (++pass > 4) {
                full = true;
                return;
            }
            y = start[pass];
        }
    };
    // The `n` pixels stacked last-first in stack[0..n).
    auto put = [&](int n) {
        while (n > 0) {
            if (full) {
                if (image.Interlaced) GifError(21);
                return;
            }
            const int run = std::min(n, w - col);
            for (int i = 0; i < run; ++i, ++col)
                if (col < kept) row[static_cast<size_t>(col)] = stack[n - 1 - i];
            n -= run;
            if (col >= w) nextRow();
        }
    };

    int oldCode = -1, firstChar = 0;
    while (!exhausted()) {
        int code = readCode();
        if (code == clear) {
            codeSize = minSize + 1;
            limit = 1 << codeSize;
            nextFree = clear + 2;
            tableFull = false;
            do {
                if (exhausted()) goto done;
                code = readCode();
            } while (code == clear);
            if (code == end) GifError(13);
            if (code >= nextFree) code = 0;
            firstChar = suffix[code];
            stack[0] = static_cast<uint8_t>(firstChar);
            put(1);
            oldCode = code;
            continue;
        }
        if (code == end) break;
        if (oldCode < 0) {
            // Data that does not start with a clear code: the first code is a pixel.
            if (code >= nextFree) code = 0;
            firstChar = suffix[code];
            stack[0] = static_cast<uint8_t>(firstChar);
            put(1);
            oldCode = code;
            continue;
        }
        if (code > nextFree) GifError(13);
        const int inCode = code;
        if (code < nextFree && !full && col + length[code] <= kept) {
            // The whole string lands inside the row: written there from its
            // end, without the stack.
            int at = col + length[code];
            col = at;
            while (code > end) {
                row[static_cast<size_t>(--at)] = suffix[code];
                code = prefix[code];
            }
            firstChar = suffix[code];
            row[static_cast<size_t>(--at)] = static_cast<uint8_t>(firstChar);
            if (col >= w) nextRow();
        } else {
            int n = 0;
            if (code == nextFree) {
                if (tableFull) GifError(13);
                stack[n++] = static_cast<uint8_t>(firstChar);
                code = oldCode;
            }
            while (code > end) {
                stack[n++] = suffix[code];
                code = prefix[code];
            }
            firstChar = suffix[code];
            stack[n++] = static_cast<uint8_t>(firstChar);
            put(n);
        }
        if (!tableFull) {
            prefix[nextFree] = static_cast<uint16_t>(oldCode);
            suffix[nextFree] = static_cast<uint8_t>(firstChar);
            length[nextFree] = static_cast<uint16_t>(length[oldCode] + 1);
            ++nextFree;
            if (nextFree >= limit) {
                if (codeSize < 12) {
                    ++codeSize;
                    limit <<= 1;
                } else {
                    tableFull = true;
                }
            }
        }
        oldCode = inCode;
    }
done:
    // Rows the data did not reach (the current one from where it stopped).
    if (!full) std::fill(row.begin() + std::min(col, kept), row.end(), 0);
    while (!full) {
        nextRow();
        std::fill(row.begin(), row.end(), 0);
    }
}

void TGif::CheckIndex(int index) const {
    if (index < 0 || index >= ImageCount()) GifError(15);
}

const TGifImageDescriptor& TGif::Image(int index) const {
    if (index < 0 || index >= ImageCount()) GifError(11);
    return images_[static_cast<size_t>(index)];
}

const TGifColorTable& TGif::ColorTable(int index) const {
    if (index < 0 || index >= ColorTableCount()) GifError(20);
    return tables_[static_cast<size_t>(index)];
}

int TGif::GetImageLeft(int index) const {
    CheckIndex(index);
    return images_[static_cast<size_t>(index)].Left;
}
int TGif::GetImageTop(int index) const {
    CheckIndex(index);
    return images_[static_cast<size_t>(index)].Top;
}
int TGif::GetImageWidth(int index) const {
    CheckIndex(index);
    return images_[static_cast<size_t>(index)].Width;
}
int TGif::GetImageHeight(int index) const {
    CheckIndex(index);
    return images_[static_cast<size_t>(index)].Height;
}

const TGifExtension* TGif::GraphicControl(int index) const {
    CheckIndex(index);
    for (const TGifExtension& e : images_[static_cast<size_t>(index)].Extensions)
        if (e.Label == 0xF9) return &e;
    return nullptr;
}

int TGif::GetImageDelay(int index) const {
    const TGifExtension* e = GraphicControl(index);
    return e ? std::max(e->Delay, 1) : 1;
}

int TGif::GetImageDisposal(int index) const {
    const TGifExtension* e = GraphicControl(index);
    return e ? (e->Disposal & 3) : 0;
}

int TGif::GetTransparentIndex(int index) const {
    const TGifExtension* e = GraphicControl(index);
    return e && e->TransparentFlag ? e->TransparentIndex : -1;
}

bool TGif::IsTransparent() const {
    for (int i = 0; i < ImageCount(); ++i) {
        const TGifExtension* e = GraphicControl(i);
        if (e && e->TransparentFlag) return true;
    }
    return false;
}

void TGif::GetStripSize(int& width, int& height) const {
    const int sw = screen_.Width, sh = screen_.Height, frames = ImageCount();
    if (sw <= 0 || sh <= 0) GifError(26);
    // The limits are those of the strip as a 24-bit BMP file in memory.
    const uint64_t fileSize = StripFileSize(static_cast<uint64_t>(sw), static_cast<uint64_t>(sh),
                                            static_cast<uint64_t>(frames));
    if (fileSize >= (IsTransparent() ? kStripLimitTransparent : kStripLimit)) GifError(25);
    width = sw * frames;
    height = sh;
}

void TGif::DrawFrames(int frames, uint32_t* image, size_t stride, uint8_t* mask, size_t maskStride) const {
    const int sw = screen_.Width, sh = screen_.Height;
    frames = std::min(frames, ImageCount());
    for (int i = 0; i < frames; ++i) {
        const TGifImageDescriptor& img = images_[static_cast<size_t>(i)];
        // The colour of every index (0xFFRRGGBB); indexes past the table are black.
        uint32_t colors[256];
        const std::vector<TColor>& table = tables_[static_cast<size_t>(img.ColorTableIndex)].Colors;
        for (size_t k = 0; k < 256; ++k) {
            const TColor c = k < table.size() ? table[k] : clBlack;
            colors[k] = 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
        }
        const int ti = GetTransparentIndex(i);
        const size_t cellX = static_cast<size_t>(i) * static_cast<size_t>(sw) + static_cast<size_t>(img.Left);
        const int visible = std::min(img.StoredWidth, sw - img.Left);
        auto drawRow = [&](int y, const uint8_t* src) {
            const int sy = img.Top + y;
            if (sy >= sh || visible <= 0) return;
            uint32_t* dst = image + static_cast<size_t>(sy) * stride + cellX;
            if (ti < 0) {
                for (int x = 0; x < visible; ++x) dst[x] = colors[src[x]];
                if (mask) ClearBits(mask + static_cast<size_t>(sy) * maskStride, cellX, static_cast<size_t>(visible));
                return;
            }
            uint8_t* m = mask ? mask + static_cast<size_t>(sy) * maskStride : nullptr;
            for (int x = 0; x < visible; ++x) {
                if (src[x] != ti) {
                    dst[x] = colors[src[x]];
                    if (m) ClearBit(m, cellX + static_cast<size_t>(x));
                } else if (i == 0) {
                    // Transparent in the first frame: black under a white mask.
                    dst[x] = 0xFF000000u;
                    if (m) SetBit(m, cellX + static_cast<size_t>(x));
                }
            }
        };
        if (img.Decoded) {
            for (int y = 0; y < img.Height; ++y)
                drawRow(y, img.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(img.StoredWidth));
        } else {
            DecodeLzw(img, drawRow);
        }
        if (i + 1 >= frames) break;
        // The next frame starts from this one.
        const size_t from = static_cast<size_t>(i) * static_cast<size_t>(sw), to = from + static_cast<size_t>(sw);
        for (int y = 0; y < sh; ++y) {
            uint32_t* rowPixels = image + static_cast<size_t>(y) * stride;
            std::memcpy(rowPixels + to, rowPixels + from, static_cast<size_t>(sw) * 4);
            if (mask) CopyBits(mask + static_cast<size_t>(y) * maskStride, from, to, static_cast<size_t>(sw));
        }
        const int disposal = GetImageDisposal(i);
        if (mask && (disposal == 2 || disposal == 3)) {
            const int right = static_cast<int>(std::min<int64_t>(int64_t(img.Left) + img.Width, sw));
            for (int y = img.Top; y < img.Top + img.Height && y < sh; ++y)
                for (int x = img.Left; x < right; ++x)
                    SetBit(mask + static_cast<size_t>(y) * maskStride, to + static_cast<size_t>(x));
        }
    }
}

void TGif::DrawStrip(TBitmap& image, TBitmap* mask) const {
    int width = 0, height = 0;
    GetStripSize(width, height);
    if (image.Width() != width || image.Height() != height || image.PixelFormat() != TPixelFormat::pf32bit ||
        (mask && (mask->Width() != width || mask->Height() != height || !mask->Monochrome())))
        GifError(22);
    // Rows are contiguous in both bitmaps, top row first.
    uint32_t* pixels = reinterpret_cast<uint32_t*>(image.ScanLine(0));
    uint8_t* maskBits = nullptr;
    size_t maskStride = 0;
    if (mask) {
        maskBits = mask->ScanLine(0);
        maskStride = static_cast<size_t>(mask->BytesPerScanLine());
        std::memset(maskBits, 0xFF, maskStride * static_cast<size_t>(height));
    }
    DrawFrames(ImageCount(), pixels, static_cast<size_t>(image.BytesPerScanLine() / 4), maskBits, maskStride);
}

std::unique_ptr<TBitmap> TGif::GetStripBitmap(std::unique_ptr<TBitmap>& mask) const {
    int width = 0, height = 0;
    GetStripSize(width, height);
    mask.reset();
    auto strip = std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
    std::unique_ptr<TBitmap> m;
    if (IsTransparent()) m = std::make_unique<TBitmap>(width, height, TPixelFormat::pf1bit);
    DrawStrip(*strip, m.get());
    mask = std::move(m);
    return strip;
}

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

void Put16(std::string& s, size_t at, uint32_t v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}
void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up BMP file of the given size, pixels filled with `fill`.
std::string NewBmp(int width, int height, uint64_t fileSize, char fill) {
    std::string s(static_cast<size_t>(fileSize), fill);
    std::memset(s.data(), 0, 54);
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 2, static_cast<uint32_t>(fileSize));
    Put32(s, 10, 54);
    Put32(s, 14, 40);
    Put32(s, 18, static_cast<uint32_t>(width));
    Put32(s, 22, static_cast<uint32_t>(height));
    Put16(s, 26, 1);
    Put16(s, 28, 24);
    Put32(s, 34, static_cast<uint32_t>(fileSize - 54));
    return s;
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

void TGif::LoadFromStream(TStream& stream) {
    images_.clear();
    tables_.clear();
    pending_.clear();
    screen_ = TGifScreenDescriptor();
    loopCount_ = -1;
    pixelBytes_ = 0;
    GifLastError = 0;
    GifLastErrorText = GifErrorText(0);

    TMemoryStream input;
    input.LoadFromStream(stream);
    Reader r{input.Memory(), input.Bytes().size()};

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
            ReadImage(r);
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

void TGif::ReadImage(Reader& r) {
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
    std::string data;
    for (;;) {
        int n = r.Byte();
        if (n == 0) break;
        if (r.size - r.pos < static_cast<size_t>(n)) GifError(24);
        data.append(reinterpret_cast<const char*>(r.p + r.pos), static_cast<size_t>(n));
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
    const size_t stored = static_cast<size_t>(img.StoredWidth) * static_cast<size_t>(img.Height);
    img.Pixels.assign(stored, 0);
    pixelBytes_ += stored;
    DecodeLzw(img, data);
    images_.push_back(std::move(img));
}

void TGif::DecodeLzw(TGifImageDescriptor& image, const std::string& data) {
    const int minSize = image.LzwCodeSize;
    if (minSize + 1 > 12) GifError(12);
    const int clear = 1 << minSize, end = clear + 1;
    std::vector<uint16_t> prefix(4096, 0);
    std::vector<uint8_t> suffix(4096, 0), stack;
    stack.reserve(4097);
    for (int i = 0; i < clear && i < 4096; ++i) suffix[static_cast<size_t>(i)] = static_cast<uint8_t>(i);

    int codeSize = minSize + 1, nextFree = clear + 2, limit = 1 << codeSize;
    bool tableFull = false;
    uint32_t bitBuf = 0;
    int bitCount = 0;
    size_t at = 0;
    const size_t total = data.size();
    auto readCode = [&]() -> int {
        while (bitCount < codeSize) {
            // Missing bytes read as 0.
            uint32_t b = at < total ? static_cast<uint8_t>(data[at]) : 0;
            ++at;
            bitBuf |= b << bitCount;
            bitCount += 8;
        }
        int code = static_cast<int>(bitBuf & ((1u << codeSize) - 1));
        bitBuf >>= codeSize;
        bitCount -= codeSize;
        return code;
    };
    auto exhausted = [&]() { return at >= total && bitCount < codeSize; };

    // Pixel placement, row by row or by the four interlace passes.
    const int w = image.Width, h = image.Height, kept = image.StoredWidth;
    uint8_t* pixels = image.Pixels.data();
    int row = 0, col = 0, pass = 1;
    bool full = false;
    auto advanceRow = [&]() {
        if (!image.Interlaced) {
            ++row;
            if (row >= h) full = true;
            return;
        }
        static const int start[] = {0, 0, 4, 2, 1}, step[] = {0, 8, 8, 4, 2};
        row += step[pass];
        while (row >= h) {
            ++pass;
            if (pass > 4) {
                full = true;
                return;
            }
            row = start[pass];
        }
    };
    auto put = [&](uint8_t v) {
        if (full) {
            if (image.Interlaced) GifError(21);
            return;
        }
        if (col < kept) pixels[static_cast<size_t>(row) * kept + col] = v;
        if (++col >= w) {
            col = 0;
            advanceRow();
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
                if (exhausted()) return;
                code = readCode();
            } while (code == clear);
            if (code == end) GifError(13);
            if (code >= nextFree) code = 0;
            firstChar = suffix[static_cast<size_t>(code)];
            put(static_cast<uint8_t>(firstChar));
            oldCode = code;
            continue;
        }
        if (code == end) return;
        if (oldCode < 0) {
            // Data that does not start with a clear code: the first code is a pixel.
            if (code >= nextFree) code = 0;
            firstChar = suffix[static_cast<size_t>(code)];
            put(static_cast<uint8_t>(firstChar));
            oldCode = code;
            continue;
        }
        if (code > nextFree) GifError(13);
        const int inCode = code;
        stack.clear();
        if (code == nextFree) {
            if (tableFull) GifError(13);
            stack.push_back(static_cast<uint8_t>(firstChar));
            code = oldCode;
        }
        while (code > end) {
            stack.push_back(suffix[static_cast<size_t>(code)]);
            code = prefix[static_cast<size_t>(code)];
        }
        firstChar = suffix[static_cast<size_t>(code)];
        stack.push_back(static_cast<uint8_t>(firstChar));
        if (!tableFull) {
            prefix[static_cast<size_t>(nextFree)] = static_cast<uint16_t>(oldCode);
            suffix[static_cast<size_t>(nextFree)] = static_cast<uint8_t>(firstChar);
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
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) put(*it);
        oldCode = inCode;
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

void TGif::GetStripFiles(std::string& image, std::string& mask) const {
    const int sw = screen_.Width, sh = screen_.Height;
    const int frames = ImageCount();
    const bool transparent = IsTransparent();
    if (sw <= 0 || sh <= 0) GifError(26);
    const uint64_t fileSize = StripFileSize(static_cast<uint64_t>(sw), static_cast<uint64_t>(sh),
                                            static_cast<uint64_t>(frames));
    if (fileSize >= (transparent ? kStripLimitTransparent : kStripLimit)) GifError(25);
    const size_t rowSize = static_cast<size_t>(StripRowSize(static_cast<uint64_t>(sw), static_cast<uint64_t>(frames)));
    const int stripWidth = sw * frames;

    image = NewBmp(stripWidth, sh, fileSize, 0);
    mask.clear();
    if (transparent) mask = NewBmp(stripWidth, sh, fileSize, char(0xFF));
    // Offset of screen pixel (x, y) of cell `cell` (rows are stored bottom-up).
    auto at = [&](int cell, int x, int y) {
        return 54 + static_cast<size_t>(sh - 1 - y) * rowSize + (static_cast<size_t>(cell) * sw + x) * 3;
    };

    for (int i = 0; i < frames; ++i) {
        const TGifImageDescriptor& img = images_[static_cast<size_t>(i)];
        const std::vector<TColor>& colors = tables_[static_cast<size_t>(img.ColorTableIndex)].Colors;
        const int ti = GetTransparentIndex(i);
        for (int y = 0; y < img.Height && img.Top + y < sh; ++y) {
            const uint8_t* src = img.Pixels.data() + static_cast<size_t>(y) * img.StoredWidth;
            for (int x = 0; x < img.StoredWidth && img.Left + x < sw; ++x) {
                const int idx = src[x];
                const size_t o = at(i, img.Left + x, img.Top + y);
                if (idx != ti) {
                    TColor c = idx < static_cast<int>(colors.size()) ? colors[static_cast<size_t>(idx)] : clBlack;
                    image[o] = char(GetBValue(c));
                    image[o + 1] = char(GetGValue(c));
                    image[o + 2] = char(GetRValue(c));
                    if (transparent) mask[o] = mask[o + 1] = mask[o + 2] = 0;
                } else if (i == 0) {
                    image[o] = image[o + 1] = image[o + 2] = 0;
                    mask[o] = mask[o + 1] = mask[o + 2] = char(0xFF);
                }
            }
        }
        if (i + 1 >= frames) break;
        // The next frame starts from this one.
        for (int y = 0; y < sh; ++y) {
            std::memcpy(image.data() + at(i + 1, 0, y), image.data() + at(i, 0, y), static_cast<size_t>(sw) * 3);
            if (transparent)
                std::memcpy(mask.data() + at(i + 1, 0, y), mask.data() + at(i, 0, y), static_cast<size_t>(sw) * 3);
        }
        const int disposal = GetImageDisposal(i);
        if (transparent && (disposal == 2 || disposal == 3)) {
            for (int y = img.Top; y < img.Top + img.Height && y < sh; ++y)
                for (int x = img.Left; x < img.Left + img.Width && x < sw; ++x)
                    std::memset(mask.data() + at(i + 1, x, y), 0xFF, 3);
        }
    }
}

std::unique_ptr<TBitmap> TGif::GetStripBitmap(std::unique_ptr<TBitmap>& mask) const {
    std::string imageFile, maskFile;
    GetStripFiles(imageFile, maskFile);
    auto strip = std::make_unique<TBitmap>();
    strip->LoadFromStream(imageFile);
    imageFile.clear();
    imageFile.shrink_to_fit();
    mask.reset();
    if (!maskFile.empty()) {
        mask = std::make_unique<TBitmap>();
        mask->LoadFromStream(maskFile);
        mask->SetMonochrome(true);
    }
    return strip;
}

#include "grids/icon.h"

#include <cstdlib>

#include "platform/runtime/files.h"

namespace {

constexpr int kMaxSide = 256;  // the directory's size bytes go no further
constexpr size_t kDirSize = 6, kEntrySize = 16, kInfoSize = 40;
// Entries may share their data, so a small file could claim any number of
// large images; real icons hold a few, the largest of 256 x 256.
constexpr size_t kMaxPixels = size_t{1} << 20;

uint32_t Get16(std::string_view d, size_t at) {
    return static_cast<uint8_t>(d[at]) | (static_cast<uint32_t>(static_cast<uint8_t>(d[at + 1])) << 8);
}
uint32_t Get32(std::string_view d, size_t at) { return Get16(d, at) | (Get16(d, at + 2) << 16); }

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

size_t Stride(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

bool ValidBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

[[noreturn]] void Invalid() { throw EInvalidIcon(); }

// One image: a BITMAPINFOHEADER of twice the image's height (colour rows,
// then mask rows), the palette, the colour rows and the mask rows, bottom-up.
TIconImage DecodeImage(std::string_view d) {
    if (d.size() < kInfoSize) Invalid();
    const size_t infoSize = Get32(d, 0);
    const auto width = static_cast<int32_t>(Get32(d, 4));
    const auto height2 = static_cast<int32_t>(Get32(d, 8));
    const int bits = static_cast<int>(Get16(d, 14));
    const uint32_t compression = Get32(d, 16);
    const uint32_t colorsUsed = Get32(d, 32);
    if (infoSize < kInfoSize || infoSize > d.size()) Invalid();
    if (width < 1 || width > kMaxSide || height2 < 2 || height2 > 2 * kMaxSide || height2 % 2) Invalid();
    if (!ValidBitCount(bits) || compression != 0) Invalid();

    TIconImage img;
    img.Width = width;
    img.Height = height2 / 2;
    img.BitCount = bits;
    size_t at = infoSize;
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        const uint32_t n = colorsUsed ? colorsUsed : full;
        if (n > full || d.size() - at < 4 * static_cast<size_t>(n)) Invalid();
        for (uint32_t i = 0; i < n; ++i, at += 4)
            img.Palette.push_back(static_cast<uint8_t>(d[at]) | (static_cast<uint8_t>(d[at + 1]) << 8) |
                                  (static_cast<uint32_t>(static_cast<uint8_t>(d[at + 2])) << 16));
    }
    const size_t pixels = static_cast<size_t>(img.Width) * img.Height;
    const size_t colorStride = Stride(img.Width, bits), maskStride = Stride(img.Width, 1);
    const size_t colorBytes = colorStride * img.Height, maskBytes = maskStride * img.Height;
    if (d.size() - at < colorBytes) Invalid();
    // A 32-bit image may leave its mask out: the alpha channel says it all.
    const bool hasMask = d.size() - at - colorBytes >= maskBytes;
    if (!hasMask && bits != 32) Invalid();

    img.Colors.resize(pixels);
    img.Mask.assign(pixels, 0);
    if (bits <= 8) img.Indexes.resize(pixels);
    for (int y = 0; y < img.Height; ++y) {
        const size_t row = at + colorStride * static_cast<size_t>(img.Height - 1 - y);
        const size_t maskRow = at + colorBytes + maskStride * static_cast<size_t>(img.Height - 1 - y);
        for (int x = 0; x < img.Width; ++x) {
            const size_t i = static_cast<size_t>(y) * img.Width + x;
            uint32_t argb = 0xFF000000;
            if (bits <= 8) {
                const int perByte = 8 / bits;
                const auto byte = static_cast<uint8_t>(d[row + x / perByte]);
                const int shift = 8 - bits * (x % perByte + 1);
                const uint8_t index = static_cast<uint8_t>((byte >> shift) & ((1 << bits) - 1));
                img.Indexes[i] = index;
                if (index < img.Palette.size()) argb |= img.Palette[index];
            } else {
                const size_t p = row + static_cast<size_t>(x) * (bits / 8);
                argb = static_cast<uint8_t>(d[p]) | (static_cast<uint8_t>(d[p + 1]) << 8) |
                       (static_cast<uint32_t>(static_cast<uint8_t>(d[p + 2])) << 16);
                argb |= bits == 32 ? static_cast<uint32_t>(static_cast<uint8_t>(d[p + 3])) << 24 : 0xFF000000;
            }
            img.Colors[i] = argb;
            if (hasMask) img.Mask[i] = (static_cast<uint8_t>(d[maskRow + x / 8]) >> (7 - x % 8)) & 1;
        }
    }
    return img;
}

std::string EncodeImage(const TIconImage& img) {
    const int bits = img.BitCount;
    const size_t pixels = static_cast<size_t>(img.Width) * img.Height;
    if (img.Width < 1 || img.Width > kMaxSide || img.Height < 1 || img.Height > kMaxSide || !ValidBitCount(bits))
        Invalid();
    if (!img.Mask.empty() && img.Mask.size() != pixels) Invalid();
    if (bits <= 8) {
        if (img.Indexes.size() != pixels || img.Palette.size() > (1u << bits)) Invalid();
        for (uint8_t i : img.Indexes)
            if (i >= (1u << bits)) Invalid();
    } else if (img.Colors.size() != pixels) {
        Invalid();
    }
    const size_t colorStride = Stride(img.Width, bits), maskStride = Stride(img.Width, 1);
    std::string out;
    Put32(out, kInfoSize);
    Put32(out, static_cast<uint32_t>(img.Width));
    Put32(out, static_cast<uint32_t>(img.Height * 2));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // uncompressed
    Put32(out, static_cast<uint32_t>((colorStride + maskStride) * img.Height));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);  // colours used: the whole palette
    Put32(out, 0);
    if (bits <= 8)
        for (uint32_t i = 0; i < (1u << bits); ++i) Put32(out, i < img.Palette.size() ? img.Palette[i] & 0xFFFFFF : 0);
    std::string row;
    for (int y = img.Height - 1; y >= 0; --y) {
        row.assign(colorStride, '\0');
        for (int x = 0; x < img.Width; ++x) {
            const size_t i = static_cast<size_t>(y) * img.Width + x;
            if (bits <= 8) {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                row[x / perByte] = static_cast<char>(static_cast<uint8_t>(row[x / perByte]) | (img.Indexes[i] << shift));
            } else {
                const uint32_t c = img.Colors[i];
                const size_t p = static_cast<size_t>(x) * (bits / 8);
                row[p] = static_cast<char>(c & 0xFF);
                row[p + 1] = static_cast<char>((c >> 8) & 0xFF);
                row[p + 2] = static_cast<char>((c >> 16) & 0xFF);
                if (bits == 32) row[p + 3] = static_cast<char>(c >> 24);
            }
        }
        out += row;
    }
    for (int y = img.Height - 1; y >= 0; --y) {
        row.assign(maskStride, '\0');
        for (int x = 0; x < img.Width; ++x)
            if (!img.Mask.empty() && img.Mask[static_cast<size_t>(y) * img.Width + x])
                row[x / 8] = static_cast<char>(static_cast<uint8_t>(row[x / 8]) | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

}  // namespace

bool TIconImage::HasAlpha() const {
    if (BitCount != 32) return false;
    for (uint32_t c : Colors)
        if (c >> 24) return true;
    return false;
}

std::vector<TIconImage> DecodeIcon(std::string_view d) {
    if (d.size() < kDirSize || Get16(d, 0) != 0 || Get16(d, 2) != 1) Invalid();
    const size_t count = Get16(d, 4);
    if (count == 0 || d.size() - kDirSize < count * kEntrySize) Invalid();
    std::vector<TIconImage> images;
    size_t pixels = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = kDirSize + i * kEntrySize;
        const size_t size = Get32(d, entry + 8), offset = Get32(d, entry + 12);
        if (offset > d.size() || size > d.size() - offset) Invalid();
        const std::string_view data = d.substr(offset, size);
        if (data.size() >= 4 && data.substr(0, 4) == "\x89PNG") continue;
        images.push_back(DecodeImage(data));
        pixels += static_cast<size_t>(images.back().Width) * images.back().Height;
        if (pixels > kMaxPixels) Invalid();
    }
    if (images.empty()) Invalid();
    return images;
}

std::string EncodeIcon(const std::vector<TIconImage>& images) {
    if (images.empty() || images.size() > 0xFFFF) Invalid();
    std::vector<std::string> data;
    for (const TIconImage& img : images) data.push_back(EncodeImage(img));
    std::string out;
    Put16(out, 0);
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<uint32_t>(images.size()));
    size_t offset = kDirSize + kEntrySize * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconImage& img = images[i];
        out += static_cast<char>(img.Width & 0xFF);  // 256 is written as 0
        out += static_cast<char>(img.Height & 0xFF);
        out += static_cast<char>(img.BitCount < 8 ? 1 << img.BitCount : 0);
        out += '\0';
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(img.BitCount));
        Put32(out, static_cast<uint32_t>(data[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += data[i].size();
    }
    for (const std::string& d : data) out += d;
    return out;
}

// ---------------------------------------------------------------- TIcon

void TIcon::Assign(const TIcon& other) {
    if (this == &other) return;
    data_ = other.data_;
    images_ = other.images_;
    Changed();
}

const TIconImage* TIcon::Image() const {
    const TIconImage* best = nullptr;
    int bestDistance = 0;
    for (const TIconImage& img : images_) {
        const int distance = std::abs(img.Width - 32) + std::abs(img.Height - 32);
        if (!best || distance < bestDistance || (distance == bestDistance && img.BitCount > best->BitCount)) {
            best = &img;
            bestDistance = distance;
        }
    }
    return best;
}

int TIcon::Width() const {
    const TIconImage* img = Image();
    return img ? img->Width : 0;
}

int TIcon::Height() const {
    const TIconImage* img = Image();
    return img ? img->Height : 0;
}

void TIcon::LoadFromStream(std::string_view bytes) {
    if (bytes.empty()) {
        Clear();
        return;
    }
    std::vector<TIconImage> images = DecodeIcon(bytes);
    data_.assign(bytes);
    images_ = std::move(images);
    Changed();
}

void TIcon::LoadFromFile(const std::string& fileName) { LoadFromStream(ReadFileBytes(fileName)); }

void TIcon::SaveToFile(const std::string& fileName) const { WriteFileAtomic(fileName, data_); }

void TIcon::SetImages(const std::vector<TIconImage>& images) {
    std::string data = EncodeIcon(images);
    images_ = DecodeIcon(data);
    data_ = std::move(data);
    Changed();
}

void TIcon::Clear() {
    data_.clear();
    images_.clear();
    Changed();
}

#include "html/images/bmp_alpha.h"

#include <cstdlib>

namespace {

// The largest picture decoded: what a bitmap can hold.
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

// A channel's bits of a pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
    }
    uint32_t operator()(uint32_t v) const {
        if (!max) return 0;
        return static_cast<uint32_t>((uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
    }
};

}  // namespace

bool DecodeBmpAlpha(const void* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < 54 || p[0] != 'B' || p[1] != 'M') return false;
    const uint32_t offBits = Get32(p + 10), hdr = Get32(p + 14);
    if (hdr < 40 || 14 + static_cast<size_t>(hdr) > size) return false;
    const int bpp = static_cast<int>(Get16(p + 28));
    const uint32_t compression = Get32(p + 30);
    if (bpp != 16 && bpp != 32) return false;
    // Masks lie at 54 either inside the larger headers or just after the
    // 40-byte one; the alpha mask is the fourth.
    uint32_t r = 0, g = 0, b = 0, a = 0;
    if (compression == 3 || compression == 6) {
        const size_t masks = hdr >= 56 || compression == 6 ? 4 : 3;
        if (54 + 4 * masks > size) return false;
        r = Get32(p + 54);
        g = Get32(p + 58);
        b = Get32(p + 62);
        if (masks == 4) a = Get32(p + 66);
    } else if (compression == 0 && bpp == 32 && hdr >= 56) {
        r = 0x00FF0000u;
        g = 0x0000FF00u;
        b = 0x000000FFu;
        a = Get32(p + 66);
    } else {
        return false;
    }
    if (bpp == 16) a &= 0xFFFFu;
    if (!a || (a & (r | g | b))) return false;

    const int64_t w = static_cast<int32_t>(Get32(p + 18)), hSigned = static_cast<int32_t>(Get32(p + 22));
    const int64_t h = std::llabs(hSigned);
    if (w <= 0 || h <= 0 || w * h > kMaxPixels) return false;
    const size_t stride = static_cast<size_t>((w * bpp + 31) / 32 * 4);
    if (offBits >= size || stride * static_cast<size_t>(h) > size - offBits) return false;

    const Channel red(r), green(g), blue(b), alpha(a);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    bool anyAlpha = false;
    for (int64_t row = 0; row < h; ++row) {
        const uint8_t* src = p + offBits + static_cast<size_t>(row) * stride;
        // Rows are stored bottom-up unless the height is negative.
        const int64_t y = hSigned < 0 ? row : h - 1 - row;
        uint32_t* dst = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int64_t x = 0; x < w; ++x) {
            const uint32_t v = bpp == 32 ? Get32(src + 4 * x) : Get16(src + 2 * x);
            const uint32_t av = alpha(v);
            anyAlpha |= av != 0;
            dst[x] = (av << 24) | (red(v) << 16) | (green(v) << 8) | blue(v);
        }
    }
    if (!anyAlpha)
        for (uint32_t& px : pixels) px |= 0xFF000000u;
    return true;
}

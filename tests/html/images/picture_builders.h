#pragma once
// Small pictures made byte by byte for the decoder tests: GIF (with a real LZW
// coder), PNG (rows filtered here and deflated by zlib), BMP, and JPEG through
// the JPEG library's compressor.
#include <zlib.h>

#include <cstdio>
extern "C" {
#include <jpeglib.h>
}

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pics {

inline void Le16(std::string& s, int v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
inline void Be32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

// GIF LZW as encoders write it: the code width grows when the entry about to
// be added needs it, and a full table is cleared.
inline std::string Lzw(const std::vector<uint8_t>& pixels, int minSize) {
    std::string out;
    uint32_t buf = 0;
    int bits = 0, width = minSize + 1;
    auto put = [&](int code) {
        buf |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(char(buf & 0xFF));
            buf >>= 8;
            bits -= 8;
        }
    };
    const int clear = 1 << minSize, end = clear + 1;
    std::map<std::pair<int, int>, int> dict;
    int next = clear + 2;
    put(clear);
    if (pixels.empty()) {
        put(end);
    } else {
        int prefix = pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int c = pixels[i];
            auto it = dict.find({prefix, c});
            if (it != dict.end()) {
                prefix = it->second;
                continue;
            }
            put(prefix);
            if (next < 4096) {
                if (next == (1 << width) && width < 12) ++width;
                dict[{prefix, c}] = next++;
            } else {
                put(clear);
                dict.clear();
                width = minSize + 1;
                next = clear + 2;
            }
            prefix = c;
        }
        put(prefix);
        put(end);
    }
    if (bits > 0) out.push_back(char(buf & 0xFF));
    return out;
}

inline std::string SubBlocks(const std::string& data) {
    std::string s;
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        s.push_back(char(n));
        s += data.substr(i, n);
    }
    s.push_back('\0');
    return s;
}

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;
    int delay = -1;          // 1/100 s; -1 leaves out the graphic control block
    int transparent = -1;    // index, or -1
    int disposal = 0;
    bool interlaced = false;  // pixels are given in plain row order
};

// A GIF with a global table of `colors` (r, g, b as 0xRRGGBB) padded to a power of two.
inline std::string Gif(int width, int height, const std::vector<uint32_t>& colors, const std::vector<GifFrame>& frames,
                       int loops = -1, const std::string& signature = "GIF89a", bool trailer = true) {
    int sizeBits = 0;
    while ((2 << sizeBits) < static_cast<int>(colors.size())) ++sizeBits;
    std::string s = signature;
    Le16(s, width);
    Le16(s, height);
    s.push_back(char(0x80 | sizeBits));
    s.push_back(0);
    s.push_back(0);
    for (int i = 0; i < (2 << sizeBits); ++i) {
        const uint32_t c = i < static_cast<int>(colors.size()) ? colors[static_cast<size_t>(i)] : 0;
        s.push_back(char((c >> 16) & 0xFF));
        s.push_back(char((c >> 8) & 0xFF));
        s.push_back(char(c & 0xFF));
    }
    if (loops >= 0) {
        s += "\x21\xFF\x0BNETSCAPE2.0";
        s += "\x03\x01";
        Le16(s, loops);
        s.push_back('\0');
    }
    const int minSize = std::max(2, sizeBits + 1);
    for (const GifFrame& f : frames) {
        if (f.delay >= 0 || f.transparent >= 0) {
            s += "\x21\xF9\x04";
            s.push_back(char((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
            Le16(s, std::max(f.delay, 0));
            s.push_back(char(std::max(f.transparent, 0)));
            s.push_back('\0');
        }
        s.push_back(',');
        Le16(s, f.left);
        Le16(s, f.top);
        Le16(s, f.width);
        Le16(s, f.height);
        s.push_back(f.interlaced ? 0x40 : 0);
        std::vector<uint8_t> order = f.pixels;
        if (f.interlaced) {
            order.clear();
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    for (int x = 0; x < f.width; ++x) order.push_back(f.pixels[static_cast<size_t>(y * f.width + x)]);
        }
        s.push_back(char(minSize));
        s += SubBlocks(Lzw(order, minSize));
    }
    if (trailer) s.push_back(';');
    return s;
}

inline std::string Chunk(const std::string& type, const std::string& data) {
    std::string s;
    Be32(s, static_cast<uint32_t>(data.size()));
    s += type + data;
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type.data()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    Be32(s, static_cast<uint32_t>(crc));
    return s;
}

inline std::string Ihdr(uint32_t w, uint32_t h, int depth, int colorType, int interlace = 0) {
    std::string d;
    Be32(d, w);
    Be32(d, h);
    d.push_back(char(depth));
    d.push_back(char(colorType));
    d.push_back(0);
    d.push_back(0);
    d.push_back(char(interlace));
    return Chunk("IHDR", d);
}

inline std::string Deflate(const std::string& raw) {
    uLongf n = compressBound(static_cast<uLong>(raw.size()));
    std::string out(n, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    out.resize(n);
    return out;
}

inline std::string Inflate(const std::string& data, size_t size) {
    std::string out(size, '\0');
    uLongf n = static_cast<uLongf>(size);
    uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(data.data()),
               static_cast<uLong>(data.size()));
    out.resize(n);
    return out;
}

const std::string kPngSignature("\x89PNG\r\n\x1A\n", 8);

// A PNG of the header, the chunks before the data, the raw data (filter bytes
// included) and IEND.
inline std::string Png(const std::string& ihdr, const std::string& raw, const std::string& before = "") {
    return kPngSignature + ihdr + before + Chunk("IDAT", Deflate(raw)) + Chunk("IEND", "");
}

// One row with filter `type` applied (bpp = bytes per pixel, at least 1).
inline std::string FilterRow(int type, const std::string& row, const std::string& prev, size_t bpp) {
    std::string out(1, char(type));
    for (size_t i = 0; i < row.size(); ++i) {
        const int x = static_cast<uint8_t>(row[i]);
        const int a = i >= bpp ? static_cast<uint8_t>(row[i - bpp]) : 0;
        const int b = prev.empty() ? 0 : static_cast<uint8_t>(prev[i]);
        const int c = i >= bpp && !prev.empty() ? static_cast<uint8_t>(prev[i - bpp]) : 0;
        int pred = 0;
        if (type == 1) pred = a;
        if (type == 2) pred = b;
        if (type == 3) pred = (a + b) / 2;
        if (type == 4) {
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            pred = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        }
        out.push_back(char((x - pred) & 0xFF));
    }
    return out;
}

// A 24-bit bottom-up BMP of 0xRRGGBB pixels given top row first.
inline std::string Bmp24(int w, int h, const std::vector<uint32_t>& pixels) {
    const int stride = (w * 3 + 3) / 4 * 4;
    std::string s = "BM";
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
    };
    le32(static_cast<uint32_t>(54 + stride * h));
    le32(0);
    le32(54);
    le32(40);
    le32(static_cast<uint32_t>(w));
    le32(static_cast<uint32_t>(h));
    Le16(s, 1);
    Le16(s, 24);
    for (int i = 0; i < 6; ++i) le32(0);
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            const uint32_t c = pixels[static_cast<size_t>(y * w + x)];
            row[static_cast<size_t>(3 * x)] = char(c & 0xFF);
            row[static_cast<size_t>(3 * x + 1)] = char((c >> 8) & 0xFF);
            row[static_cast<size_t>(3 * x + 2)] = char((c >> 16) & 0xFF);
        }
        s += row;
    }
    return s;
}

// A w x h JPEG of `components` channels (1 grey, 3 colour, 4 CMYK) whose
// samples come from `sample(x, y, channel)`; quality below 0 keeps the library's.
inline std::string Jpeg(int w, int h, int components, const std::function<uint8_t(int, int, int)>& sample,
                        int quality = -1, bool progressive = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    if (quality >= 0) jpeg_set_quality(&c, quality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(w) * static_cast<size_t>(components));
    while (c.next_scanline < c.image_height) {
        const int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < components; ++k) row[static_cast<size_t>(x * components + k)] = sample(x, y, k);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
}

}  // namespace pics

#include "html/images/jpeg_image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace {

// The library reports errors by calling error_exit, which must not return: it
// jumps back to the step that called the library. The steps below hold nothing
// that needs destroying, so the jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OutputMessage(j_common_ptr) {}
void EmitMessage(j_common_ptr, int) {}

// The whole file is in memory; running out means a truncated file, which ends
// in a made-up end marker as the library's own readers do.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
boolean FillInputBuffer(j_decompress_ptr cinfo) {
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}
void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}
void TermSource(j_decompress_ptr) {}

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_source_mgr src;
    bool created = false;

    Decoder() {
        std::memset(&cinfo, 0, sizeof cinfo);
        std::memset(&src, 0, sizeof src);
        err.message[0] = 0;
    }
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    [[noreturn]] void Fail() const { throw EJPEG(err.message[0] ? err.message : "JPEG error"); }
};

bool Create(Decoder& d, const std::string& data) {
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = ErrorExit;
    d.err.pub.output_message = OutputMessage;
    d.err.pub.emit_message = EmitMessage;
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    d.src.init_source = InitSource;
    d.src.fill_input_buffer = FillInputBuffer;
    d.src.skip_input_data = SkipInputData;
    d.src.resync_to_restart = jpeg_resync_to_restart;
    d.src.term_source = TermSource;
    d.src.next_input_byte = reinterpret_cast<const JOCTET*>(data.data());
    d.src.bytes_in_buffer = data.size();
    d.cinfo.src = &d.src;
    // Large progressive pictures keep all coefficients in memory: bound it.
    d.cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

bool Start(Decoder& d) {
    if (setjmp(d.err.jump)) return false;
    jpeg_start_decompress(&d.cinfo);
    return true;
}

bool SetColormap(Decoder& d, const std::vector<TColor>& palette) {
    if (setjmp(d.err.jump)) return false;
    const int n = static_cast<int>(palette.size());
    JSAMPARRAY map = (*d.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(n), 3);
    for (int i = 0; i < n; ++i) {
        map[0][i] = static_cast<JSAMPLE>(GetRValue(palette[static_cast<size_t>(i)]));
        map[1][i] = static_cast<JSAMPLE>(GetGValue(palette[static_cast<size_t>(i)]));
        map[2][i] = static_cast<JSAMPLE>(GetBValue(palette[static_cast<size_t>(i)]));
    }
    d.cinfo.colormap = map;
    d.cinfo.actual_number_of_colors = n;
    return true;
}

bool ReadLine(Decoder& d, JSAMPROW row) {
    if (setjmp(d.err.jump)) return false;
    jpeg_read_scanlines(&d.cinfo, &row, 1);
    return true;
}

bool Finish(Decoder& d) {
    if (setjmp(d.err.jump)) return false;
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

bool ReadLines(Decoder& d, JSAMPARRAY rows, JDIMENSION count, JDIMENSION& got) {
    if (setjmp(d.err.jump)) return false;
    got = jpeg_read_scanlines(&d.cinfo, rows, count);
    return true;
}

// Largest picture decoded: what a bitmap can hold.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// CMYK (inverted unless an Adobe marker says otherwise) as red, green, blue.
inline void CmykToRgb(const JSAMPLE* p, bool adobe, uint8_t& r, uint8_t& g, uint8_t& b) {
    int c = p[0], m = p[1], yy = p[2], k = p[3];
    if (!adobe) c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
    r = static_cast<uint8_t>(c * k / 255);
    g = static_cast<uint8_t>(m * k / 255);
    b = static_cast<uint8_t>(yy * k / 255);
}

// Decodes into 32-bit rows (0xFFRRGGBB), `row(y)` giving row y's memory: the
// library writes grey and colour pictures there itself; CMYK goes through a
// line of its own. `size(w, h)` is told the size before the first row.
template <class SizeFn, class RowFn>
void Decode32(const std::string& data, SizeFn&& size, RowFn&& row) {
    Decoder d;
    if (!Create(d, data)) d.Fail();
    jpeg_decompress_struct& ci = d.cinfo;
    const bool cmyk = ci.jpeg_color_space == JCS_CMYK || ci.jpeg_color_space == JCS_YCCK;
    ci.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    if (static_cast<long long>(ci.image_width) * ci.image_height > kMaxPixels) throw EOutOfResources();
    const int w = static_cast<int>(ci.image_width), h = static_cast<int>(ci.image_height);
    // Made before the library starts, so that its failure is ours to report.
    size(w, h);
    if (!Start(d)) d.Fail();
    const bool adobe = ci.saw_Adobe_marker;
    std::vector<JSAMPLE> line(cmyk ? static_cast<size_t>(w) * 4 : 0);
    JSAMPROW rows[16];
    while (ci.output_scanline < ci.output_height) {
        const JDIMENSION y = ci.output_scanline;
        JDIMENSION got = 0;
        if (cmyk) {
            rows[0] = line.data();
            if (!ReadLines(d, rows, 1, got)) d.Fail();
            uint32_t* dst = row(static_cast<int>(y));
            for (int x = 0; x < w; ++x) {
                uint8_t r, g, b;
                CmykToRgb(&line[static_cast<size_t>(x) * 4], adobe, r, g, b);
                dst[x] = 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
            }
            continue;
        }
        const JDIMENSION count = std::min<JDIMENSION>(ci.output_height - y, std::max(ci.rec_outbuf_height, 1));
        for (JDIMENSION i = 0; i < count && i < 16; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(row(static_cast<int>(y + i)));
        if (!ReadLines(d, rows, std::min<JDIMENSION>(count, 16), got)) d.Fail();
    }
    if (!Finish(d)) d.Fail();
}


}  // namespace

void TJpegMod::LoadFromStream(TStream& stream) {
    TMemoryStream copy;
    copy.LoadFromStream(stream);
    data_ = copy.Bytes();
}

void TJpegMod::ReadHeader(int& width, int& height, bool& grayscale) const {
    Decoder d;
    if (!Create(d, data_)) d.Fail();
    width = static_cast<int>(d.cinfo.image_width);
    height = static_cast<int>(d.cinfo.image_height);
    grayscale = d.cinfo.jpeg_color_space == JCS_GRAYSCALE;
}

void TJpegMod::ReadArgb(int& width, int& height, std::vector<uint32_t>& pixels) const {
    Decode32(
        data_,
        [&](int w, int h) {
            width = w;
            height = h;
            pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
        },
        [&](int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); });
}

std::unique_ptr<TBitmap> TJpegMod::CreateBitmap() const {
    if (pixelFormat_ == TJPEGPixelFormat::jf32Bit) {
        std::unique_ptr<TBitmap> bmp;
        Decode32(
            data_, [&](int w, int h) { bmp = std::make_unique<TBitmap>(w, h, TPixelFormat::pfDevice); },
            [&](int y) { return reinterpret_cast<uint32_t*>(bmp->ScanLine(y)); });
        return bmp;
    }
    Decoder d;
    if (!Create(d, data_)) d.Fail();
    jpeg_decompress_struct& ci = d.cinfo;
    const bool gray = ci.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = ci.jpeg_color_space == JCS_CMYK || ci.jpeg_color_space == JCS_YCCK;
    // The library cannot quantise CMYK: those stay 24-bit.
    const bool indexed = pixelFormat_ == TJPEGPixelFormat::jf8Bit && !cmyk;
    ci.out_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    if (indexed && !gray) {
        ci.quantize_colors = TRUE;
        if (!palette_.empty()) {
            std::vector<TColor> pal(palette_.begin(), palette_.begin() + std::min<size_t>(palette_.size(), 256));
            if (!SetColormap(d, pal)) d.Fail();
        } else {
            ci.desired_number_of_colors = 256;
        }
    }
    if (static_cast<long long>(ci.image_width) * ci.image_height > kMaxPixels) throw EOutOfResources();
    const int w = static_cast<int>(ci.image_width), h = static_cast<int>(ci.image_height);
    // Allocated before the library starts, so that its failure is ours to report.
    auto bmp = std::make_unique<TBitmap>(w, h, indexed ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    if (!Start(d)) d.Fail();
    const int comps = ci.output_components;
    std::vector<JSAMPLE> line(static_cast<size_t>(w) * std::max(comps, 1) + 16);
    if (indexed) {
        std::vector<TColor> pal;
        if (gray) {
            for (int i = 0; i < 256; ++i) pal.push_back(RGB(i, i, i));
        } else {
            for (int i = 0; i < ci.actual_number_of_colors; ++i)
                pal.push_back(RGB(ci.colormap[0][i], ci.colormap[1][i], ci.colormap[2][i]));
        }
        bmp->SetPalette(pal);
    }
    const bool adobe = ci.saw_Adobe_marker;
    while (ci.output_scanline < ci.output_height) {
        const int y = static_cast<int>(ci.output_scanline);
        if (!ReadLine(d, line.data())) d.Fail();
        uint8_t* dst = bmp->ScanLine(y);
        if (indexed) {
            std::memcpy(dst, line.data(), static_cast<size_t>(w));
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint8_t r, g, b;
            if (comps == 1) {
                r = g = b = line[static_cast<size_t>(x)];
            } else if (comps == 4) {
                CmykToRgb(&line[static_cast<size_t>(x) * 4], adobe, r, g, b);
            } else {
                r = line[3 * x];
                g = line[3 * x + 1];
                b = line[3 * x + 2];
            }
            dst[3 * x] = b;
            dst[3 * x + 1] = g;
            dst[3 * x + 2] = r;
        }
    }
    if (!Finish(d)) d.Fail();
    return bmp;
}

// Pictures of a report: decoding GIF (animated, transparent), PNG and JPEG,
// loading through the image loader, reducing colours, and drawing a frame.
// The loaders are measured beside plain decoders to 32-bit pixels (kept here
// only as yardsticks), and a page of GIFs that declare huge screens shows
// what such pictures cost (run it under /usr/bin/time -v for the memory).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

extern "C" {
#include <jpeglib.h>
}

#include "../tests/html/images/picture_builders.h"
#include "html/images/dither.h"
#include "html/images/gif_image.h"
#include "html/images/image_loading.h"
#include "html/images/jpeg_image.h"
#include "html/images/png_image.h"
#include "html/images/viewer_globals.h"
#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
}

uint8_t Shade(int x, int y) { return static_cast<uint8_t>((x * 7 + y * 3 + (x * y) / 5) & 0xFF); }

// A 200 x 150 animation of 10 frames over 256 colours, transparent index 0.
const std::string& AnimatedGif() {
    static const std::string bytes = [] {
        std::vector<uint32_t> colors(256);
        for (int i = 0; i < 256; ++i) colors[static_cast<size_t>(i)] = static_cast<uint32_t>(i * 0x010203 & 0xFFFFFF);
        std::vector<pics::GifFrame> frames;
        for (int f = 0; f < 10; ++f) {
            pics::GifFrame fr;
            fr.width = 200;
            fr.height = 150;
            fr.delay = 10;
            fr.transparent = 0;
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 200; ++x) fr.pixels.push_back(Shade(x + f * 5, y));
            frames.push_back(fr);
        }
        return pics::Gif(200, 150, colors, frames, 0);
    }();
    return bytes;
}

// A 512 x 512 colour picture as PNG.
const std::string& ColourPng() {
    static const std::string bytes = [] {
        EnsureApplication();
        TPNGImage png;
        png.SetSize(0, 0);
        png.SetPixelFormat(TPixelFormat::pf24bit);
        png.SetSize(512, 512);
        for (int y = 0; y < 512; ++y) {
            uint8_t* row = png.ScanLine(y);
            for (int x = 0; x < 512 * 3; ++x) row[x] = Shade(x, y);
        }
        return png.SaveToStream();
    }();
    return bytes;
}

const std::string& ColourJpeg() {
    static const std::string bytes =
        pics::Jpeg(512, 512, 3, [](int x, int y, int k) { return Shade(3 * x + k, y); });
    return bytes;
}

void BM_DecodeAnimatedGif(benchmark::State& state) {
    EnsureApplication();
    for (auto _ : state) {
        TMemoryStream s(AnimatedGif());
        bool nonAnimated;
        auto gif = CreateAGifFromStream(nonAnimated, s);
        benchmark::DoNotOptimize(gif->NumFrames());
    }
}
BENCHMARK(BM_DecodeAnimatedGif)->Unit(benchmark::kMillisecond);

void BM_DrawGifFrame(benchmark::State& state) {
    EnsureApplication();
    TMemoryStream s(AnimatedGif());
    bool nonAnimated;
    auto gif = CreateAGifFromStream(nonAnimated, s);
    TBitmap target(200, 150);
    int frame = 1;
    for (auto _ : state) {
        gif->SetCurrentFrame(frame = frame % 10 + 1);
        gif->Draw(target.Canvas(), 0, 0, 200, 150);
    }
}
BENCHMARK(BM_DrawGifFrame)->Unit(benchmark::kMicrosecond);

void BM_DecodePng(benchmark::State& state) {
    const std::string& bytes = ColourPng();
    for (auto _ : state) {
        TPNGImage png;
        png.LoadFromStream(bytes);
        benchmark::DoNotOptimize(png.Width());
    }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

// What the image loader makes of the bytes.
std::unique_ptr<TGraphic> Load(const std::string& bytes) {
    TMemoryStream s(bytes);
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    return LoadImageFromStream(&s, mask, t);
}

void BM_LoadPngWithAlpha(benchmark::State& state) {
    const std::string& bytes = ColourPng();
    for (auto _ : state) benchmark::DoNotOptimize(Load(bytes).get());
}
BENCHMARK(BM_LoadPngWithAlpha)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State& state) {
    EnsureApplication();
    TJpegMod jpeg;
    jpeg.LoadFromBytes(ColourJpeg());
    for (auto _ : state) benchmark::DoNotOptimize(jpeg.CreateBitmap());
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

void BM_DitherToScreenPalette(benchmark::State& state) {
    TPNGImage png;
    png.LoadFromStream(ColourPng());
    std::vector<TColor> palette;
    for (int i = 0; i < 256; ++i) palette.push_back(RGB(i, 255 - i, (i * 3) & 0xFF));
    ScreenPalette = palette;
    for (auto _ : state) benchmark::DoNotOptimize(ReduceColors(png, rmMyPalette, dmFloydSteinberg));
    ScreenPalette.clear();
}
BENCHMARK(BM_DitherToScreenPalette)->Unit(benchmark::kMillisecond);

// ---- yardsticks: plain decoders to 32-bit pixels ----

// libjpeg straight into 0xAARRGGBB rows, as any viewer would start.
std::vector<uint32_t> PlainJpeg(const std::string& bytes, int& w, int& h) {
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&c);
    w = static_cast<int>(c.output_width);
    h = static_cast<int>(c.output_height);
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    while (c.output_scanline < c.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(out.data() + static_cast<size_t>(c.output_scanline) * w);
        jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return out;
}

// A GIF read the plain way: every frame's LZW codes into indexes, the indexes
// through the colour table onto a screen-sized canvas, and each frame's
// canvas kept (the frames an animation shows). No error checking beyond
// staying inside the buffers.
std::vector<uint32_t> PlainGif(const std::string& bytes, int& frames) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t n = bytes.size();
    size_t at = 6;
    auto u16 = [&](size_t i) { return static_cast<int>(p[i] | (p[i + 1] << 8)); };
    const int sw = u16(at), sh = u16(at + 2), packed = p[at + 4];
    at += 7;
    uint32_t global[256] = {};
    if (packed & 0x80) {
        const int count = 2 << (packed & 7);
        for (int i = 0; i < count; ++i, at += 3) global[i] = 0xFF000000u | (p[at] << 16) | (p[at + 1] << 8) | p[at + 2];
    }
    std::vector<uint32_t> canvas(static_cast<size_t>(sw) * sh, 0xFF000000u), all;
    std::vector<uint8_t> idx, data;
    std::vector<uint16_t> prefix(4096);
    std::vector<uint8_t> suffix(4096), stack(4097);
    int transparent = -1;
    frames = 0;
    while (at < n) {
        const int b = p[at++];
        if (b == 0x3B) break;
        if (b == 0x21) {
            const int label = p[at++];
            if (label == 0xF9) transparent = (p[at + 1] & 1) ? p[at + 4] : -1;
            while (at < n && p[at]) at += p[at] + 1u;
            ++at;
            continue;
        }
        const int left = u16(at), top = u16(at + 2), fw = u16(at + 4), fh = u16(at + 6), fp = p[at + 8];
        at += 9;
        const uint32_t* table = global;
        uint32_t local[256];
        if (fp & 0x80) {
            const int count = 2 << (fp & 7);
            for (int i = 0; i < count; ++i, at += 3) local[i] = 0xFF000000u | (p[at] << 16) | (p[at + 1] << 8) | p[at + 2];
            table = local;
        }
        const int minSize = p[at++];
        data.clear();
        while (at < n && p[at]) {
            data.insert(data.end(), p + at + 1, p + at + 1 + p[at]);
            at += p[at] + 1u;
        }
        ++at;
        idx.assign(static_cast<size_t>(fw) * fh, 0);
        const int clear = 1 << minSize;
        int size = minSize + 1, next = clear + 2, old = -1, first = 0;
        uint32_t buf = 0;
        int bits = 0;
        size_t in = 0, out = 0;
        for (int i = 0; i < clear; ++i) suffix[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        while (out < idx.size()) {
            while (bits < size && in < data.size()) {
                buf |= uint32_t(data[in++]) << bits;
                bits += 8;
            }
            if (bits < size) break;
            int code = static_cast<int>(buf & ((1u << size) - 1));
            buf >>= size;
            bits -= size;
            if (code == clear) {
                size = minSize + 1;
                next = clear + 2;
                old = -1;
                continue;
            }
            if (code == clear + 1) break;
            if (old < 0) {
                idx[out++] = suffix[static_cast<size_t>(code)];
                old = first = code;
                continue;
            }
            int sp = 0, c = code;
            if (c >= next) {
                stack[static_cast<size_t>(sp++)] = static_cast<uint8_t>(first);
                c = old;
            }
            while (c >= clear) {
                stack[static_cast<size_t>(sp++)] = suffix[static_cast<size_t>(c)];
                c = prefix[static_cast<size_t>(c)];
            }
            first = suffix[static_cast<size_t>(c)];
            stack[static_cast<size_t>(sp++)] = static_cast<uint8_t>(first);
            while (sp > 0 && out < idx.size()) idx[out++] = stack[static_cast<size_t>(--sp)];
            if (next < 4096) {
                prefix[static_cast<size_t>(next)] = static_cast<uint16_t>(old);
                suffix[static_cast<size_t>(next)] = static_cast<uint8_t>(first);
                if (++next == (1 << size) && size < 12) ++size;
            }
            old = code;
        }
        for (int y = 0; y < fh && top + y < sh; ++y) {
            uint32_t* row = canvas.data() + static_cast<size_t>(top + y) * sw;
            const uint8_t* src = idx.data() + static_cast<size_t>(y) * fw;
            for (int x = 0; x < fw && left + x < sw; ++x)
                if (src[x] != transparent) row[left + x] = table[src[x]];
        }
        all.insert(all.end(), canvas.begin(), canvas.end());
        ++frames;
    }
    return all;
}

// A 512 x 512 picture of 200 colours in one frame.
const std::string& StillGif() {
    static const std::string bytes = [] {
        std::vector<uint32_t> colors(256);
        for (int i = 0; i < 256; ++i) colors[static_cast<size_t>(i)] = static_cast<uint32_t>(i * 0x030507 & 0xFFFFFF);
        pics::GifFrame fr;
        fr.width = fr.height = 512;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) fr.pixels.push_back(static_cast<uint8_t>(Shade(x, y) % 200));
        return pics::Gif(512, 512, colors, {fr});
    }();
    return bytes;
}

void BM_PlainJpegToArgb(benchmark::State& state) {
    const std::string& bytes = ColourJpeg();
    for (auto _ : state) {
        int w, h;
        benchmark::DoNotOptimize(PlainJpeg(bytes, w, h).data());
    }
}
BENCHMARK(BM_PlainJpegToArgb)->Unit(benchmark::kMillisecond);

// The loader's whole way to pixels the canvas can draw.
void BM_LoadJpegReadyToDraw(benchmark::State& state) {
    EnsureApplication();
    const std::string& bytes = ColourJpeg();
    for (auto _ : state) {
        auto image = Load(bytes);
        benchmark::DoNotOptimize(static_cast<TBitmap*>(image.get())->Surface().constBits());
    }
}
BENCHMARK(BM_LoadJpegReadyToDraw)->Unit(benchmark::kMillisecond);

void BM_PlainGifToArgb(benchmark::State& state) {
    const std::string& bytes = state.range(0) ? AnimatedGif() : StillGif();
    for (auto _ : state) {
        int frames;
        benchmark::DoNotOptimize(PlainGif(bytes, frames).data());
    }
}
BENCHMARK(BM_PlainGifToArgb)->Arg(0)->Arg(1)->ArgNames({"animated"})->Unit(benchmark::kMillisecond);

void BM_LoadGifReadyToDraw(benchmark::State& state) {
    EnsureApplication();
    const std::string& bytes = state.range(0) ? AnimatedGif() : StillGif();
    for (auto _ : state) {
        TMemoryStream s(bytes);
        bool nonAnimated;
        auto gif = CreateAGifFromStream(nonAnimated, s);
        benchmark::DoNotOptimize(gif->Strip().Surface().constBits());
    }
}
BENCHMARK(BM_LoadGifReadyToDraw)->Arg(0)->Arg(1)->ArgNames({"animated"})->Unit(benchmark::kMillisecond);

// A page of N GIFs, each 35 bytes declaring a 65535 x 1000 screen around one
// pixel, loaded in the viewer and painted once.
void BM_PageOfHugeScreenGifs(benchmark::State& state) {
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velorim_bench_huge_gifs";
    std::filesystem::create_directories(dir);
    pics::GifFrame dot;
    dot.width = dot.height = 1;
    dot.pixels = {1};
    const std::string gif = pics::Gif(65535, 1000, {0x000000, 0xFFFFFF}, {dot});
    std::string page = "<html><body>";
    for (int i = 0; i < count; ++i) {
        const std::string name = "huge" + std::to_string(i) + ".gif";
        std::ofstream(dir / name, std::ios::binary) << gif;
        page += "<img src=\"" + name + "\">";
    }
    page += "</body></html>";
    std::ofstream(dir / "page.html", std::ios::binary) << page;
    TForm* form = new TForm(nullptr);
    form->SetBounds(0, 0, 1024, 768);
    auto* v = new THTMLViewer(form);
    v->SetParent(form);
    v->SetBounds(0, 0, 1000, 700);
    TBitmap screen(1000, 700);
    for (auto _ : state) {
        v->LoadFromFile((dir / "page.html").string());
        v->PaintDocument(screen.Canvas(), TRect{0, 0, 1000, 700});
    }
    state.counters["gif_bytes"] = static_cast<double>(gif.size());
    form->Free();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PageOfHugeScreenGifs)->Arg(1)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

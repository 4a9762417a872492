// Pictures of a report: decoding GIF (animated, transparent), PNG and JPEG,
// loading through the image loader, reducing colours, and drawing a frame.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

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

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_images";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
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
    static const std::string bytes = [] {
        jpeg_compress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&c, &out, &size);
        c.image_width = 512;
        c.image_height = 512;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_start_compress(&c, TRUE);
        std::vector<unsigned char> row(512 * 3);
        while (c.next_scanline < c.image_height) {
            for (int x = 0; x < 512 * 3; ++x) row[static_cast<size_t>(x)] = Shade(x, static_cast<int>(c.next_scanline));
            JSAMPROW r = row.data();
            jpeg_write_scanlines(&c, &r, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::string s(reinterpret_cast<char*>(out), size);
        free(out);
        return s;
    }();
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

void BM_LoadPngWithAlpha(benchmark::State& state) {
    const std::string& bytes = ColourPng();
    for (auto _ : state) {
        TMemoryStream s(bytes);
        std::unique_ptr<TBitmap> mask;
        Transparency t = NotTransp;
        auto image = LoadImageFromStream(&s, mask, t);
        benchmark::DoNotOptimize(image.get());
    }
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

}  // namespace

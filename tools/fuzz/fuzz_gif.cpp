// GIF files: decoded, animated and drawn without harm, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_image_env.h"
#include "html/images/gif_image.h"
#include "html/images/gp_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_images::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every frame becomes a screen-sized cell of the strip.
    if (size >= 10 && uint64_t(fuzz_images::Le16(data + 6)) * fuzz_images::Le16(data + 8) > 4096) return 0;
    static uint32_t now = 0;
    SetAnimationClock([] { return now; });
    try {
        TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
        bool nonAnimated = true;
        auto gif = CreateAGifFromStream(nonAnimated, stream);
        gif->SetAnimate(true);
        TBitmap target(8, 8);
        for (int i = 0; i < 4; ++i) {
            now += 1000;
            gif->CheckTime([](const TRect&) {});
            gif->Draw(target.Canvas(), 0, 0, 8, 8);
        }
        gif->Bitmap();
        gif->GetMaskBitmap();
    } catch (const Exception&) {
    }
    // The cache's way (a still picture or an animation) and the first frame alone.
    try {
        TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
        std::unique_ptr<TBitmap> mask;
        Transparency t = LLCorner;
        LoadGifPicture(stream, mask, t);
    } catch (const Exception&) {
    }
    try {
        int w = 0, h = 0;
        std::vector<uint32_t> pixels;
        DecodeArgbPicture(std::string(reinterpret_cast<const char*>(data), size), w, h, pixels);
    } catch (const Exception&) {
    }
    return 0;
}

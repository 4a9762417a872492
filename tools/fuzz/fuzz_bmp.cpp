// BMP files and the picture loader: recognised, decoded, masked and made ready
// for the screen without harm, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_image_env.h"
#include "html/images/image_loading.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_images::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 26) {
        const int64_t w = static_cast<int32_t>(fuzz_images::Le32(data + 18));
        const int64_t h = static_cast<int32_t>(fuzz_images::Le32(data + 22));
        // Each side first: squaring one of 2^31 would overflow the sum.
        const int64_t most = int64_t(fuzz_images::kMaxPixels);
        if (std::abs(w) > most || std::abs(h) > most || w * w + h * h > most * 2 ||
            std::abs(w * h) > most)
            return 0;
    }
    try {
        TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
        std::unique_ptr<TBitmap> mask;
        Transparency t = LLCorner;
        auto image = LoadImageFromStream(&stream, mask, t);
        if (auto* bmp = dynamic_cast<TBitmap*>(image.get())) {
            TBitmap target(6, 6);
            if (mask) PrintTransparentBitmap(target.Canvas(), *bmp, *mask, 6, 6, 0, 0);
        }
    } catch (const Exception&) {
    }
    return 0;
}

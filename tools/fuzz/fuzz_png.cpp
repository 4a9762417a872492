// PNG files: read into a bitmap, read with their alpha, and written back,
// without harm whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_image_env.h"
#include "html/images/image_loading.h"
#include "html/images/png_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_images::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 24 && uint64_t(fuzz_images::Be32(data + 16)) * fuzz_images::Be32(data + 20) > fuzz_images::kMaxPixels)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TPNGImage png;
        png.LoadFromStream(bytes);
        png.SaveToStream();
    } catch (const Exception&) {
    }
    try {
        TMemoryStream s(bytes);
        int w, h;
        std::vector<uint32_t> pixels;
        DecodePngArgb(s, w, h, pixels);
    } catch (const Exception&) {
    }
    try {
        TMemoryStream s(bytes);
        TColor c;
        PngHasTransparency(s, c);
    } catch (const Exception&) {
    }
    return 0;
}

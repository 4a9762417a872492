// JPEG files through the JPEG library: errors become exceptions, never a
// crash, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_image_env.h"
#include "html/images/jpeg_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_images::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TJpegMod jpeg;
        jpeg.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
        int w, h;
        bool gray;
        jpeg.ReadHeader(w, h, gray);
        if (uint64_t(w) * uint64_t(h) > fuzz_images::kMaxPixels) return 0;
        jpeg.CreateBitmap();
        jpeg.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
        jpeg.CreateBitmap();
        jpeg.SetPixelFormat(TJPEGPixelFormat::jf32Bit);
        jpeg.CreateBitmap();
    } catch (const Exception&) {
    }
    return 0;
}

#pragma once
// Shared by the picture fuzz targets: Qt's image support without a display,
// brought up once, and the size limit that keeps one input's memory in bounds.
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

namespace fuzz_images {

inline void Start() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// Pictures declaring more pixels than this are skipped: the decoders accept
// them, but the fuzzer's memory limit would not.
constexpr uint64_t kMaxPixels = 1u << 20;

inline uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }
inline uint32_t Be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace fuzz_images

// Rich-text help files: any bytes read to the end without harm.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gui/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    ReadRtf(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}

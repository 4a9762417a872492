// Typed amounts and dates: the conversions refuse bad text with their error
// and never crash; formatting any value with any format terminates.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    long double v = 0;
    TryStrToFloat(text, v);
    int i = 0;
    TryStrToInt(text, i);
    TDateTime d = 0;
    TryStrToDate(text, d);
    try {
        StrToDateTime(text);
    } catch (const EConvertError&) {
    }
    long double value = 0;
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        value = raw;
    }
    const std::string format = size > sizeof(double) ? text.substr(sizeof(double), 64) : text;
    FormatFloat(format, value);
    FormatFloat("#,##0.00", value);
    FormatDateTime(format, d);
    return 0;
}

// Edit masks: any mask and any typing keep the text within the mask.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/gui/mask.h"
#include "platform/runtime/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 2048) return 0;
    const size_t maskLength = data[0] % 40;
    if (size < 1 + maskLength) return 0;
    const std::string mask(reinterpret_cast<const char*>(data + 1), maskLength);
    TMaskEngine engine;
    try {
        engine.SetMask(mask);
    } catch (const Exception&) {
        return 0;
    }
    int pos = 0;
    for (size_t k = 1 + maskLength; k < size; ++k) {
        const char c = static_cast<char>(data[k]);
        if (c == '\x7f') engine.ClearRange(0, engine.Length());
        else engine.TypeChar(pos, c);
        if (pos < 0 || pos > engine.Length()) std::abort();
    }
    if (engine.IsMasked() && static_cast<int>(engine.EditText().size()) != engine.Length()) std::abort();
    engine.SetText(engine.Text());
    return 0;
}

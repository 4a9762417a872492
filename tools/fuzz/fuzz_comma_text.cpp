// State-file rows: any comma text reads without harm, and a row written
// back reads as the same cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/runtime/string_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    TStringList row;
    row.SetCommaText(std::string(reinterpret_cast<const char*>(data), size));
    TStringList again;
    again.SetCommaText(row.CommaText());
    if (again.Items() != row.Items()) std::abort();
    return 0;
}

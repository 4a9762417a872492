// The contribution-time form's state file: any text parses or is refused
// with the program's own error, and the file written from what was parsed
// parses the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/runtime/strutil.h"
#include "simulation/contribution_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    const std::vector<std::string> lines =
        SplitTextLines(std::string(reinterpret_cast<const char*>(data), size));
    soma::TSomaEstado state;
    try {
        state = soma::LerEstado(lines, "temp.back");
    } catch (const soma::ESomaError&) {
        return 0;
    }
    if (state.rowCount < 2 || state.rowCount > soma::MaxLinhas ||
        state.linhas.size() > static_cast<size_t>(state.rowCount))
        std::abort();
    if (!(soma::LerEstado(soma::EstadoLinhas(state), "temp.back") == state)) std::abort();
    return 0;
}

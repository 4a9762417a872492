// The revision form's state file: any text parses or is refused with the
// program's own error, and a file written from what was parsed parses the
// same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/strutil.h"
#include "revision/revision_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    const std::vector<std::string> lines =
        SplitTextLines(std::string(reinterpret_cast<const char*>(data), size));
    revisao::TRevisionState state;
    try {
        state = revisao::ParseState(lines, "temprev.back");
    } catch (const calc::ECalcError&) {
        return 0;
    }
    if (!state.hasRows) return 0;
    TCellMatrix grid(5, state.rowCount);
    for (size_t k = 0; k < state.months.size(); ++k) {
        grid.SetCell(0, static_cast<int>(k) + 1, state.months[k]);
        grid.SetCell(1, static_cast<int>(k) + 1, state.salaries[k]);
    }
    // Values and cells hold no line ends once read, so they survive.
    revisao::TRevisionState again =
        revisao::ParseState(revisao::StateLines(state.values, grid), "temprev.back");
    if (again.values != state.values || again.months != state.months ||
        again.salaries != state.salaries || again.rowCount != state.rowCount)
        std::abort();
    return 0;
}

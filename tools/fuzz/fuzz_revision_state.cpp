// The saved cases: any text reads as lines or is refused, parses as the
// revision form's state file or is refused with the program's own error,
// and a file written from what was parsed parses the same again. Every line
// also goes through the checks the wizard's reader makes before anything
// changes, and a grid row they accept is written back as cells that read the
// same; the lines also stand as a spreadsheet whose months are checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/revision_core.h"
#include "revision/state_values.h"

namespace {

void CheckLine(const std::string& line) {
    int count = 0;
    state_values::AmountProblem(line, 0, 1000);
    state_values::DateProblem(line);
    state_values::BooleanProblem(line);
    state_values::CountProblem(line, count);
    if (!state_values::RowProblem(line, 14).empty()) return;
    TStringList cells, again;
    cells.SetCommaText(line);
    again.SetCommaText(cells.CommaText());
    if (again.Items() != cells.Items()) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The lines as the readers take them (a cut file and UTF-8 refused or
    // converted); the parser sees the others too.
    std::vector<std::string> lines;
    std::string problem;
    if (!ReadTextLines(bytes, lines, problem)) lines = SplitTextLines(bytes);
    for (const std::string& line : lines) CheckLine(line);
    // The wizard's check of a stored spreadsheet's months, on any dates and
    // rows: the lines as column "Data", with a wizard case's date lines.
    if (lines.size() > 10) {
        TCellMatrix planilha(1, static_cast<int>(lines.size()));
        for (size_t r = 0; r < lines.size(); ++r)
            planilha.SetCell(0, static_cast<int>(r), lines[r]);
        state_values::MonthsProblem(planilha, lines[2], lines[3], lines[10] == "true");
    }
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

// Table files and clipboard text: any bytes load without harm, and what is
// saved again loads back to the same cells. The index-table check accepts
// only texts whose rows are all within the column limit, and the cells
// loaded from a text it accepts pass the same check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "tables/table_check.h"
#include "tables/table_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TCellMatrix cells(2, 2);
    CellsFromText(cells, text, '\t', TGridRect{0, 0, -1, -1});
    if (cells.ColCount() > 4096 || cells.RowCount() > 65536) std::abort();

    std::string saved;
    CellsToText(cells, saved, '\t', TGridRect{-1, -1, -1, -1});
    TCellMatrix again(1, 1);
    CellsFromText(again, saved, '\t', TGridRect{0, 0, -1, -1});
    std::string savedAgain;
    CellsToText(again, savedAgain, '\t', TGridRect{-1, -1, -1, -1});
    if (saved != savedAgain) std::abort();

    const tabelas::TTableRules rules = tabelas::TableRules(tabelas::CrMensalRev3File);
    if (tabelas::CheckTableText(text, rules).empty()) {
        TCellMatrix table(2, 2);
        CellsFromText(table, text, '\t', TGridRect{0, 0, -1, -1});
        if (table.ColCount() > tabelas::kMaxTableColumns) std::abort();
        // The loaded cells pass the same check as the text they came from.
        if (!tabelas::CheckTableCells(table, rules).empty()) std::abort();
        for (int r = 1; r < table.RowCount(); ++r)
            if (table.Cell(0, r).find_first_not_of(' ') != std::string::npos &&
                !tabelas::IsMonthKey(table.Cell(0, r)))
                std::abort();
    }
    return 0;
}

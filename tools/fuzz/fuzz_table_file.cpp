// Table files and clipboard text: any bytes load without harm, and what is
// saved again loads back to the same cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"

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
    return 0;
}

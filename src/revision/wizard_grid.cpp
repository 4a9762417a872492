#include "revision/wizard_grid.h"

#include "platform/runtime/cell_matrix.h"

// STAND-IN until the table grid is a control of the gui layer: a grid is
// only its cells. Replace with TStringAlignGrid when it lands.

namespace wizard_grid {

TStringAlignGrid* NewGrid(TComponent*, TWinControl*, const std::string&, int cols, int rows,
                          bool) {
    return reinterpret_cast<TStringAlignGrid*>(new TCellMatrix(cols, rows));
}

void SetBounds(TStringAlignGrid*, int, int, int, int) {}
void SetVisible(TStringAlignGrid*, bool) {}

TCellMatrix& Cells(TStringAlignGrid* grid) {
    return *reinterpret_cast<TCellMatrix*>(grid);
}

void Changed(TStringAlignGrid*) {}
void CommitEdit(TStringAlignGrid*) {}

} // namespace wizard_grid

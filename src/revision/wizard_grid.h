#pragma once
// Construction of the wizard's and its dialogs' grids.
#include <initializer_list>
#include <string>

class TComponent;
class TWinControl;
class TStringAlignGrid;

namespace wizard_grid {

// A grid with `cols` columns and `rows` rows (one fixed row, no fixed column).
TStringAlignGrid* NewGrid(TComponent* owner, TWinControl* parent, const std::string& name,
                          int cols, int rows, bool editable);
void SetColWidths(TStringAlignGrid* grid, std::initializer_list<int> widths);

} // namespace wizard_grid

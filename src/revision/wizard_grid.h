#pragma once
// The few grid operations the wizard and its dialogs use, on the table grid
// control.
#include <initializer_list>
#include <string>

class TComponent;
class TWinControl;
class TStringAlignGrid;
class TCellMatrix;

namespace wizard_grid {

// A grid with `cols` columns and `rows` rows (one fixed row, no fixed column).
TStringAlignGrid* NewGrid(TComponent* owner, TWinControl* parent, const std::string& name,
                          int cols, int rows, bool editable);
void SetColWidths(TStringAlignGrid* grid, std::initializer_list<int> widths);
void SetBounds(TStringAlignGrid* grid, int left, int top, int width, int height);
void SetVisible(TStringAlignGrid* grid, bool visible);
TCellMatrix& Cells(TStringAlignGrid* grid);
// The cells changed behind the grid's back: refresh its view.
void Changed(TStringAlignGrid* grid);
// Ends an open cell edit.
void CommitEdit(TStringAlignGrid* grid);

} // namespace wizard_grid

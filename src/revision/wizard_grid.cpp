#include "revision/wizard_grid.h"

#include "grids/align_grid.h"
#include "platform/gui/forms.h"

namespace wizard_grid {

TStringAlignGrid* NewGrid(TComponent* owner, TWinControl* parent, const std::string& name,
                          int cols, int rows, bool editable) {
    auto* grid = Make<TStringAlignGrid>(owner, parent, name);
    grid->SetColCount(cols);
    grid->SetRowCount(rows);
    grid->SetFixedRows(1);
    grid->SetFixedCols(0);
    TGridOptions options = grid->Options();
    if (editable)
        options |= goEditing | goTabs;
    else
        options &= ~static_cast<TGridOptions>(goEditing);
    grid->SetOptions(options);
    return grid;
}

void SetColWidths(TStringAlignGrid* grid, std::initializer_list<int> widths) {
    int col = 0;
    for (int w : widths)
        grid->SetColWidths(col++, w);
    grid->SetLeftCol(0);
}

} // namespace wizard_grid

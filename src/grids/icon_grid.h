#pragma once
// TIconGrid: the table grid whose cells can show an icon at their top-left
// corner, before the text. Only a cell's own record carries its icon (a
// column or row record's icon is not drawn); icons come from the grid's
// stored description.
#include "grids/align_grid.h"
#include "grids/cell_properties_icon.h"
#include "grids/icon.h"

class TIconGrid : public TStringAlignGrid {
public:
    explicit TIconGrid(TComponent* AOwner = nullptr);

protected:
    void Init() override;
    void DrawCellBackground(int col, int row, TRect& rect, TGridDrawState state) override;
};

// Draws the icon's image with its top-left corner at (x, y): the mask leaves
// the canvas showing, and a 32-bit image's partly transparent pixels are
// blended with the canvas's brush colour (the cell's fill under it).
void DrawIcon(TCanvas& canvas, int x, int y, const TIcon& icon);

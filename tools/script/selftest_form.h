#pragma once
// The driver's own small form, for testing the driver without the program:
// started with "startwith selftest".
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/script_grid.h"

// A minimal grid of text cells implementing the driver's grid interface.
class TSelfTestGrid : public TCustomControl, public IScriptGrid {
public:
    explicit TSelfTestGrid(TComponent* AOwner);
    int ColCount() const { return cols_; }
    int RowCount() const { return static_cast<int>(cells_.size()); }
    void SetRowCount(int rows);
    std::string Cell(int col, int row) const;
    void SetCell(int col, int row, const std::string& text);
    int Col = 0, Row = 0;
    TNotifyEvent OnCellChanged;

    int ScriptColCount() const override { return ColCount(); }
    int ScriptRowCount() const override { return RowCount(); }
    std::string ScriptCell(int col, int row) const override { return Cell(col, row); }
    void ScriptSetCell(int col, int row, const std::string& text) override;
    void ScriptSetRowCount(int rows) override { SetRowCount(rows); }
    void ScriptSelect(int col, int row) override;

private:
    int cols_ = 3;
    std::vector<std::vector<std::string>> cells_;
};

void CreateSelfTestForms();

#pragma once
// What the scenario driver needs of a grid. The grid control implements it.
#include <string>

class IScriptGrid {
public:
    virtual ~IScriptGrid() = default;
    virtual int ScriptColCount() const = 0;
    virtual int ScriptRowCount() const = 0;
    virtual std::string ScriptCell(int col, int row) const = 0;
    // Writes a cell as the user would: select it, type the text, confirm the
    // edit (the grid's editing events fire).
    virtual void ScriptSetCell(int col, int row, const std::string& text) = 0;
    virtual void ScriptSetRowCount(int rows) = 0;
    // Makes (col, row) the current cell as a click on it would.
    virtual void ScriptSelect(int col, int row) = 0;
};

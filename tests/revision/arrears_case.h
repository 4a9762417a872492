#pragma once
// A synthetic case for the spreadsheet tests: monthly tables from 01/1977 to
// 12/2002 that change nothing (factor "1", minimum wage "1,00", ceiling
// "100.000,00", correction "1"), which a test then edits month by month.
#include <string>

#include "grid_text.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"

struct ArrearsCase {
    TCellMatrix GridCorrRev{4, 1}, Gridcrmensal{2, 1}, tabatusal{2, 1}, GridSalmin{2, 1},
        gridiinss{3, 1}, indicegrid{4, 1}, planilha{14, 2};
    std::string marcalimite;
    calc::TPlanilhaInput in;

    ArrearsCase() {
        for (int y = 1977; y <= 2002; ++y)
            for (int m = 1; m <= 12; ++m) {
                std::string month = FormatDateTime("mm/yyyy", EncodeDate(y, m, 1));
                AddRow(GridCorrRev, {month, "1", "1,00", "Real"});
                AddRow(Gridcrmensal, {month, "1"});
                AddRow(GridSalmin, {"01/" + month, "1,00"});
                AddRow(gridiinss, {month, "100.000,00", "100.000,00"});
                AddRow(indicegrid, {month, "1"});
            }
        calc::LayoutPlanilha(planilha);
        in.ComboBox1 = calc::SeriesNames[0];
        // No proportional table: no first readjustment is proportional unless
        // a test gives the date and the rows.
        in.PropDate = EncodeDate(2100, 1, 1);
        in.Dteto = true;
        in.Vinss = 200;
        in.Vautor = 100;
    }

    static void AddRow(TCellMatrix& grid, const std::vector<std::string>& cells) {
        int row = grid.RowCount();
        grid.SetRowCount(row + 1);
        for (size_t c = 0; c < cells.size(); ++c)
            grid.SetCell(static_cast<int>(c), row, cells[c]);
    }

    // Sets a cell of the row holding `key` in column 0.
    static void Set(TCellMatrix& grid, const std::string& key, int col, const std::string& text) {
        for (int r = 1; r < grid.RowCount(); ++r)
            if (grid.Cell(0, r) == key) {
                grid.SetCell(col, r, text);
                return;
            }
    }

    // Dates as the wizard's edits give them.
    void Period(const std::string& dataini, const std::string& datafim,
                const std::string& prescricao) {
        in.Dataini = dataini;
        in.Datafim = datafim;
        in.DatePrescricao = prescricao;
        in.DatainiDate = StrToDate(dataini);
        in.DatePrescricaoDate = StrToDate(prescricao);
    }

    calc::TTableGrids Tables() {
        calc::TTableGrids t;
        t.GridCorrRev = &GridCorrRev;
        t.Gridcrmensal = &Gridcrmensal;
        t.tabatusal = &tabatusal;
        t.GridSalmin = &GridSalmin;
        t.gridiinss = &gridiinss;
        t.indicegrid = &indicegrid;
        return t;
    }

    void Run() {
        calc::TArrearsEngine engine(planilha, Tables(), in, marcalimite);
        engine.Calcular();
    }

    // The row of planilha holding `month` (the n-th one for repeated months).
    int Row(const std::string& month, int nth = 1) const {
        for (int r = 1; r < planilha.RowCount(); ++r)
            if (planilha.Cell(0, r) == month && --nth == 0) return r;
        return -1;
    }
    std::string At(const std::string& month, int col, int nth = 1) const {
        return planilha.Cell(col, Row(month, nth));
    }
    const std::string& Sums(int col) const { return planilha.Cell(col, planilha.RowCount() - 1); }
};

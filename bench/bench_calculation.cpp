// A full calculation as the user waits for it: the longest case the tables
// allow (05/1977 to 12/2026, thirteenth salary and interest on, every table
// full), from the spreadsheet page's Próximo to the end of Finalizar (state
// file and report written, report handed to the viewer). Forms are created
// offscreen and never shown.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_links.h"
#include "tables/tables_form.h"

namespace {

void Row(TCellMatrix& grid, std::initializer_list<std::string> cells) {
    int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    int c = 0;
    for (const std::string& cell : cells)
        grid.SetCell(c++, row, cell);
}

TCellMatrix& Fresh(const char* name, int cols) {
    TCellMatrix& grid = *wizard_links::TableCells(name);
    grid.SetRowCount(1);
    grid.SetColCount(cols);
    return grid;
}

// Tables from 01/1977 to 12/2026 with yearly readjustments, a currency cut,
// growing minimum wages, ceilings and index numbers.
void FullTables() {
    TCellMatrix& corr = Fresh("GridCorrRev", 4);
    TCellMatrix& crmensal = Fresh("Gridcrmensal", 2);
    TCellMatrix& salmin = Fresh("GridSalmin", 2);
    TCellMatrix& teto = Fresh("gridiinss", 3);
    TCellMatrix& inpc = Fresh("INPCGrid", 4);
    TCellMatrix& atusal = Fresh("tabatusal", 2);
    TCellMatrix& s1 = Fresh("SRevisaoI", 4);
    TCellMatrix& s2 = Fresh("SRevisaoII", 4);
    TCellMatrix& s3 = Fresh("SRevisaoIII", 4);
    long double wage = 1000, index = 100;
    for (int y = 1977; y <= 2026; ++y)
        for (int m = 1; m <= 12; ++m) {
            const std::string month = FormatDateTime("mm/yyyy", EncodeDate(y, m, 1));
            const bool readjust = m == 5;
            if (readjust) wage *= 1.06L;
            index *= 1.004L;
            const std::string w = FormatFloat("#,##0.00", wage);
            Row(corr, {month, readjust ? "1,06" : "1", w, y < 1994 ? "Cruzeiro" : "Real"});
            Row(crmensal, {month, readjust ? "1,06" : "1"});
            Row(salmin, {"01/" + month, w});
            Row(teto, {month, FormatFloat("#,##0.00", wage * 10), FormatFloat("#,##0.00", wage * 5)});
            Row(inpc, {month, FormatFloat("0.0000", index)});
            Row(atusal, {month, "2,5"});
            Row(s1, {month, "0,4"});
            Row(s2, {month, "0,4"});
            Row(s3, {month, FormatFloat("0.0000", index)});
        }
}

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        Application->Initialize();
        SetDialogService(&dialogs);
        CreateProgramForms();
        dir = std::filesystem::temp_directory_path() / "velorim_bench_calculation";
        std::filesystem::create_directories(dir);
        Form1->DataDir = dir.string();
        Form8->DataDir = dir.string(); // no table files there: nothing is reloaded
        FullTables();
        TForm12& w = *Form12;
        w.cpossuo->SetChecked(true);
        w.Enome->SetText("Segurado de Teste");
        w.Dataini->SetText("01/05/1977");
        w.Datafim->SetText("31/12/2026");
        w.DatePrescricao->SetText("01/01/2020");
        w.Dateinicialjuros->SetText("01/01/2021");
        w.Datefinaljuros->SetText("31/12/2026");
        w.Ejuros->SetText("1");
        w.Cjuros->SetChecked(true);
        w.Check13->SetChecked(true);
        w.Vinss->SetText("3.000");
        w.Vautor->SetText("2.500");
    }
    TDialogRecorder dialogs;
    std::filesystem::path dir;
};

Program& TheProgram() {
    static Program program;
    return program;
}

void BM_FullCalculationToFinalizar(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    for (auto _ : state) {
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        w.Button3Click(nullptr);
    }
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_FullCalculationToFinalizar)->Unit(benchmark::kMillisecond);

// The same without the viewer's reading of the report: the wizard's own share
// (spreadsheet, state file, report file).
void BM_CalculationStateFileAndReport(benchmark::State& state) {
    Program& program = TheProgram();
    TForm12& w = *Form12;
    for (auto _ : state) {
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
        w.gravax();
        w.imprix();
    }
    if (!program.dialogs.Messages().empty())
        state.SkipWithError(program.dialogs.Messages().front().c_str());
}
BENCHMARK(BM_CalculationStateFileAndReport)->Unit(benchmark::kMillisecond);

} // namespace

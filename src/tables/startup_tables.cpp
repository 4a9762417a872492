#include "tables/startup_tables.h"

#include <algorithm>
#include <vector>

#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "grids/table_file.h"
#include "tables/own_index_form.h"
#include "tables/series_generators.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/table_watch.h"
#include "tables/tables_form.h"

using tabelas::ClearTableProblems;
using tabelas::NoteTableProblem;
using tabelas::ReadCheckedTable;
using tabelas::TableProblem;
using tabelas::TableProblemText;

namespace {

using TGenerator = void (*)(const TIndexTableSet&);

struct TStartupStep {
    const char* file;
    TCellMatrix* TIndexTableSet::*grid;
    TGenerator then;
};

std::string LastMonth(const TCellMatrix& grid) {
    return grid.Cell(0, grid.RowCount() - 1);
}

void SeriesI(const TIndexTableSet& t) {
    tabelas::geraindiceII(LastMonth(*t.SRevisaoI), *t.SRVI, *t.SRevisaoI);
}
void SeriesII(const TIndexTableSet& t) {
    tabelas::geraindiceII(LastMonth(*t.SRevisaoII), *t.SRVII, *t.SRevisaoII);
}
void Inpc98(const TIndexTableSet& t) {
    tabelas::geraindice98(*t.grid98, *t.gridinpc98);
}

const TStartupStep Steps[] = {
    {tabelas::SalminFile, &TIndexTableSet::GridSalmin, nullptr},
    {tabelas::AtuaprevFile, &TIndexTableSet::tabatusal, nullptr},
    {tabelas::CrMensalRev3File, &TIndexTableSet::GridCorrRev, nullptr},
    {tabelas::SeriesIIIFile, &TIndexTableSet::INPCGrid, nullptr},
    {tabelas::SeriesIFile, &TIndexTableSet::SRevisaoI, SeriesI},
    {tabelas::SeriesIIFile, &TIndexTableSet::SRevisaoII, SeriesII},
    {tabelas::SeriesIIIFile, &TIndexTableSet::SRevisaoIII, nullptr},
    {tabelas::SeriesIIIFile, &TIndexTableSet::Gridanterior1994, nullptr},
    {tabelas::Inpc98File, &TIndexTableSet::gridinpc98, Inpc98},
    {tabelas::InssFile, &TIndexTableSet::gridiinss, nullptr},
    {tabelas::InssScFile, &TIndexTableSet::gridinsssc, nullptr},
    {tabelas::CoeficientesFile, &TIndexTableSet::Gridcoeficientes, nullptr},
    {tabelas::CrMensalRevInssFile, &TIndexTableSet::Gridcrmensal, nullptr},
    {tabelas::MeuIndiceFile, &TIndexTableSet::GridMI, nullptr},
    // Read by their windows when shown: checked here so that damage is told
    // with the rest.
    {tabelas::FatorFile, nullptr, nullptr},
    {tabelas::PrazosFile, nullptr, nullptr},
};

} // namespace

std::string StartupProblemsMessage(const std::vector<std::string>& failures) {
    if (failures.empty()) return "";
    if (failures.size() == 1)
        return failures[0] + ".\nOs cálculos que precisam dela não serão feitos.";
    std::string text = "Há tabelas com problema na pasta de dados:";
    for (const std::string& f : failures) text += "\n- " + f + ".";
    return text + "\nOs cálculos que precisam delas não serão feitos.";
}

int LoadIndexTables(const std::string& dataDir, const TIndexTableSet& tables,
                    const TTableLoader& load, const TTableFailure& failed) {
    ClearTableProblems();
    int loaded = 0;
    auto fail = [&failed](const std::string& file, const std::string& problem) {
        NoteTableProblem(file, problem);
        if (failed) failed(TableProblemText(file, problem));
    };
    for (const TStartupStep& step : Steps) {
        TCellMatrix* grid = step.grid ? tables.*step.grid : nullptr;
        if (step.grid && !grid) continue;
        if (step.grid == &TIndexTableSet::gridinsssc &&
            !FileExists(PathJoin(dataDir, tabelas::InssScMarkFile)))
            continue;
        std::string file = step.file;
        // The own index starts as a copy of the revision's correction
        // table, whose problems were told with it.
        if (step.grid == &TIndexTableSet::GridMI && !FileExists(PathJoin(dataDir, file))) {
            file = tabelas::CrMensalRev3File;
            if (!TableProblem(file).empty()) continue;
        }
        std::string text;
        bool missing = false;
        if (std::string problem = ReadCheckedTable(dataDir, file, text, missing); !problem.empty()) {
            // The same file feeds several grids: it is told once.
            if (TableProblem(file).empty()) fail(file, problem);
            tabelas::NoteTableLoaded(dataDir, file, grid, "");
            continue;
        }
        if (missing || !grid) {
            tabelas::NoteTableLoaded(dataDir, file, grid, "");
            continue;
        }
        try {
            // The grid holds the file and nothing else, also when a load
            // before (another data folder) left rows in it: the first
            // calculation takes it for what the file holds.
            grid->Clear();
            grid->SetRowCount(std::min(grid->RowCount(), 2));
            load(*grid, text);
            ++loaded;
            if (step.then) step.then(tables);
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            fail(file, "não pôde ser usada (" + e.Message + ")");
        }
        // The calculations read the file again only when it changes.
        tabelas::NoteTableLoaded(dataDir, file, grid, text);
    }
    return loaded;
}

void LoadStartupTables(const std::string& dataDir) {
    Form8->DataDir = dataDir;
    Form15->DataDir = dataDir;
    TForm8& f = *Form8;
    TStringAlignGrid* grids[] = {
        f.GridSalmin, f.tabatusal,  f.GridCorrRev,      f.INPCGrid,         f.SRevisaoI,   f.SRVI,
        f.SRevisaoII, f.SRVII,      f.SRevisaoIII,      f.Gridanterior1994, f.gridinpc98,  f.grid98,
        f.gridiinss,  f.gridinsssc, f.Gridcoeficientes, f.Gridcrmensal,     Form15->GridMI};
    TIndexTableSet tables;
    tables.GridSalmin = &f.GridSalmin->Matrix();
    tables.tabatusal = &f.tabatusal->Matrix();
    tables.GridCorrRev = &f.GridCorrRev->Matrix();
    tables.INPCGrid = &f.INPCGrid->Matrix();
    tables.SRevisaoI = &f.SRevisaoI->Matrix();
    tables.SRVI = &f.SRVI->Matrix();
    tables.SRevisaoII = &f.SRevisaoII->Matrix();
    tables.SRVII = &f.SRVII->Matrix();
    tables.SRevisaoIII = &f.SRevisaoIII->Matrix();
    tables.Gridanterior1994 = &f.Gridanterior1994->Matrix();
    tables.gridinpc98 = &f.gridinpc98->Matrix();
    tables.grid98 = &f.grid98->Matrix();
    tables.gridiinss = &f.gridiinss->Matrix();
    tables.gridinsssc = &f.gridinsssc->Matrix();
    tables.Gridcoeficientes = &f.Gridcoeficientes->Matrix();
    tables.Gridcrmensal = &f.Gridcrmensal->Matrix();
    tables.GridMI = &Form15->GridMI->Matrix();

    auto load = [&grids](TCellMatrix& cells, const std::string& text) {
        for (TStringAlignGrid* grid : grids)
            if (&grid->Matrix() == &cells) return grid->CellsFromStream(text, TableSeparator);
    };
    std::vector<std::string> failures;
    LoadIndexTables(dataDir, tables, load,
                    [&failures](const std::string& message) { failures.push_back(message); });
    for (TStringAlignGrid* grid : grids)
        grid->MatrixChanged();
    if (!failures.empty()) ShowMessage(StartupProblemsMessage(failures));
}

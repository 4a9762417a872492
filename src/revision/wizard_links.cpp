#include "revision/wizard_links.h"

#include "grids/align_grid.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "revision/recalc_form.h"
#include "revision/revision_form.h"
#include "tables/table_status.h"
#include "tables/table_watch.h"
#include "tables/tables_form.h"

namespace wizard_links {

namespace {
TMainWindowLinks& MainWindow() {
    static TMainWindowLinks links;
    return links;
}
}  // namespace

void SetMainWindowLinks(TMainWindowLinks links) {
    MainWindow() = std::move(links);
}

std::string DataDir() {
    return MainWindow().DataDir ? MainWindow().DataDir() : GetCurrentDir();
}

std::string DataFile(const std::string& name) {
    return PathJoin(DataDir(), name);
}

std::string ReportFontSize() {
    return MainWindow().ReportFontSize ? MainWindow().ReportFontSize() : std::string();
}

std::string ReportFontName() {
    return MainWindow().ReportFontName ? MainWindow().ReportFontName() : std::string();
}

void ShowReport(const std::string& fileName) {
    if (MainWindow().ShowReport) MainWindow().ShowReport(fileName);
}

void ShowReportText(const std::string& source, const std::string& fileName) {
    if (MainWindow().ShowReportText) MainWindow().ShowReportText(source, fileName);
}

TCellMatrix* TableCells(const std::string& gridName) {
    if (!Form8) return nullptr;
    auto* grid = dynamic_cast<TStringAlignGrid*>(Form8->FindComponent(gridName));
    return grid ? &grid->Matrix() : nullptr;
}

calc::TTableGrids Tables() {
    calc::TTableGrids t;
    t.GridCorrRev = TableCells("GridCorrRev");
    t.Gridcrmensal = TableCells("Gridcrmensal");
    t.tabatusal = TableCells("tabatusal");
    t.GridSalmin = TableCells("GridSalmin");
    t.gridiinss = TableCells("gridiinss");
    t.indicegrid = TableCells("indicegrid");
    t.SRVI = TableCells("SRVI");
    t.SRVII = TableCells("SRVII");
    t.SRVIII = TableCells("SRVIII");
    t.Cusetabsc = Form9 && Form9->Cusetabsc && Form9->Cusetabsc->Checked();
    return t;
}

void PrepareTables(const std::vector<calc::TTableNeed>& needs, const tabelas::TMoreRefusals& more) {
    if (!Form8) return;
    std::vector<tabelas::TTableUse> uses;
    std::vector<TStringAlignGrid*> grids;
    for (const calc::TTableNeed& need : needs) {
        auto* grid = dynamic_cast<TStringAlignGrid*>(Form8->FindComponent(need.grid));
        if (!grid) continue;
        // The calculation shortens the series and reads the correction table
        // again from its file, as the generators always did.
        const std::string name = need.grid;
        const bool fromFile =
            name == "GridCorrRev" || name == "INPCGrid" || name.rfind("SRevisao", 0) == 0;
        uses.push_back({need.file, &grid->Matrix(),
                        fromFile ? tabelas::TFollow::File : tabelas::TFollow::Changes,
                        need.months, need.column, need.filled});
        grids.push_back(grid);
    }
    tabelas::PrepareTables(Form8->DataDir, uses, [&grids](TCellMatrix& cells) {
        for (TStringAlignGrid* grid : grids)
            if (&grid->Matrix() == &cells) grid->MatrixChanged();
    }, more);
}

void ReloadCorrRev(const std::string& name) {
    tabelas::ReloadCheckedTable(Form8->GridCorrRev->Matrix(), Form8->DataDir, name);
    Form8->GridCorrRev->MatrixChanged();
}

void geraindicex(const std::string& D) {
    Form8->geraindicex(D);
}

void geraindiceINSSI(const std::string& D) {
    Form8->geraindiceINSSI(D);
}

void geraindiceINSSII(const std::string& D) {
    Form8->geraindiceINSSII(D);
}

void geraindiceINSSIII(const std::string& D) {
    Form8->geraindiceINSSIII(D);
}

TCellMatrix* RecalcGrid() {
    return Form10 && Form10->planilha ? &Form10->planilha->Matrix() : nullptr;
}

void RecalcGridChanged() {
    Form10->planilha->MatrixChanged();
}

} // namespace wizard_links

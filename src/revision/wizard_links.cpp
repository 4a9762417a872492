#include "revision/wizard_links.h"

#include <map>
#include <memory>
#include <set>

#include "app/main_window.h"
#include "html/view/html_viewer.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "revision/revision_form.h"
#include "tables/series_generators.h"

// STAND-IN until the tables form lands: the tables are empty. Replace these
// bodies with Form8's members when it does.

namespace wizard_links {

std::string DataDir() {
    return Form1 ? Form1->DataDir : GetCurrentDir();
}

std::string DataFile(const std::string& name) {
    return PathJoin(DataDir(), name);
}

std::string ReportFontSize() {
    return Form1->Cfont->Text();
}

std::string ReportFontName() {
    return Form1->Cnomefont->Text();
}

void ShowReport(const std::string& fileName) {
    Form1->HTMLViewer1->LoadFromFile(fileName);
}

TCellMatrix* TableCells(const std::string& gridName) {
    static std::map<std::string, std::unique_ptr<TCellMatrix>> grids;
    static const std::set<std::string> known = {
        "GridCorrRev", "Gridcrmensal", "tabatusal", "GridSalmin",  "gridiinss",  "indicegrid",
        "SRVI",        "SRVII",        "SRVIII",    "INPCGrid",    "SRevisaoI", "SRevisaoII",
        "SRevisaoIII"};
    if (!known.count(gridName)) return nullptr;
    auto& grid = grids[gridName];
    if (!grid) grid = std::make_unique<TCellMatrix>(4, 1);
    return grid.get();
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

void LoadCorrRev(const std::string&) {}

void geraindicex(const std::string& D) {
    tabelas::geraindicex(D, *TableCells("INPCGrid"), *TableCells("indicegrid"));
}

void geraindiceINSSI(const std::string& D) {
    tabelas::geraindiceINSSI(D, *TableCells("SRevisaoI"), *TableCells("SRVI"));
}

void geraindiceINSSII(const std::string& D) {
    tabelas::geraindiceINSSII(D, *TableCells("SRevisaoII"), *TableCells("SRVII"));
}

void geraindiceINSSIII(const std::string& D) {
    tabelas::geraindiceINSSIII(D, *TableCells("SRevisaoIII"), *TableCells("SRVIII"));
}

TCellMatrix* RecalcGrid() {
    return nullptr;
}

void RecalcGridChanged() {}

} // namespace wizard_links

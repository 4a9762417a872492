#include "revision/wizard_links.h"

#include "platform/runtime/files.h"
#include "revision/revision_form.h"

// STAND-IN until the main window and the tables form land: the data
// directory is the current one, there is no viewer and the tables are empty.
// Replace these bodies with Form1's and Form8's members when they do.

namespace wizard_links {

std::string DataDir() {
    return GetCurrentDir();
}

std::string DataFile(const std::string& name) {
    return PathJoin(DataDir(), name);
}

std::string ReportFontSize() {
    return "8";
}

std::string ReportFontName() {
    return "Arial";
}

void ShowReport(const std::string& /*fileName*/) {}

calc::TTableGrids Tables() {
    calc::TTableGrids t;
    t.Cusetabsc = Form9 && Form9->Cusetabsc && Form9->Cusetabsc->Checked();
    return t;
}

void LoadCorrRev(const std::string&) {}
void geraindicex(const std::string&) {}
void geraindiceINSSI(const std::string&) {}
void geraindiceINSSII(const std::string&) {}
void geraindiceINSSIII(const std::string&) {}

TCellMatrix* RecalcGrid() {
    return nullptr;
}

void RecalcGridChanged() {}

} // namespace wizard_links

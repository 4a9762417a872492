#include "revision/wizard_links.h"

#include "app/main_window.h"
#include "html/view/html_viewer.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/files.h"
#include "revision/revision_form.h"

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

// The simulation's state file "temp2.back": the form's fields, boxes, dates
// and salaries, one value a line, flags written as words ("s"/"n",
// "Masculino"/"Feminino").
#include <algorithm>

#include "platform/gui/dialogs.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/wizard_links.h"
#include "simulation/simulation_form.h"

namespace {

const char* const kStateFile = "temp2.back";

// A value must stay on its own line.
std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

const char* Flag(const TCheckBox* box) {
    return box->Checked() ? "s" : "n";
}

} // namespace

std::vector<std::string> TForm6::LinhasEstado() {
    std::vector<std::string> lines;
    for (TEdit* e : {Edit3, Edit9, Edit8, Edit6}) lines.push_back(OneLine(e->Text()));
    lines.push_back(MaskEdit3->Text());
    lines.push_back(OneLine(ComboBox2->Text()));
    lines.push_back(RBMasculino->Checked() ? "Masculino" : "Feminino");
    for (TEdit* e : {Edit12, Edit11, Edit10, Edit15, Edit14, Edit13, Edit18, Edit17, Edit16})
        lines.push_back(OneLine(e->Text()));
    for (TCheckBox* b : {Ck8213, Ck9876, CkB80, Ck242, CkRPS31, Ck113}) lines.push_back(Flag(b));
    lines.push_back(MaskEdit1->Text());
    lines.push_back(MaskEdit2->Text());
    lines.push_back(OneLine(Edit1->Text()));
    const TCellMatrix& salarios = salariogrid->Matrix();
    lines.push_back(IntToStr(salarios.RowCount()));
    for (int r = 0; r < salarios.RowCount(); ++r) {
        lines.push_back(OneLine(salarios.Cell(0, r)));
        lines.push_back(OneLine(salarios.Cell(1, r)));
    }
    return lines;
}

void TForm6::gravar() {
    // The writer replaces the file only once every line is written.
    TTextFileWriter out(wizard_links::DataFile(kStateFile));
    for (const std::string& line : LinhasEstado()) out.Writeln(line);
    out.Close();
}

void TForm6::abrirBackup() {
    const std::string path = wizard_links::DataFile(kStateFile);
    TTextFileReader in(path);
    std::vector<std::string> lines;
    while (!in.Eof()) lines.push_back(in.Readln());
    constexpr int kCountLine = 25;
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    // Everything is checked before a control changes, so a bad file loses
    // nothing of the case on screen.
    const int count = StrToInt(Trim(line(kCountLine)));
    if (count < 1) {
        ShowMessage("O arquivo " + std::string(kStateFile) + " está danificado: o número de linhas da lista de "
                    "salários é " + IntToStr(count) + ", e deve ser ao menos 1.");
        Abort();
    }
    if (lines.size() < kCountLine + 1 + 2 * static_cast<size_t>(count)) {
        ShowMessage("O arquivo " + std::string(kStateFile) + " está incompleto: a lista de salários tem " +
                    IntToStr(count) + " linhas, mas o arquivo termina antes delas.");
        Abort();
    }

    size_t i = 0;
    for (TEdit* e : {Edit3, Edit9, Edit8, Edit6}) e->SetText(line(i++));
    MaskEdit3->SetText(line(i++));
    ComboBox2->SetText(line(i++));
    ComboBox2->SetItemIndex(ComboBox2->Items.IndexOf(ComboBox2->Text()));
    if (line(i++) == "Masculino")
        RBMasculino->SetChecked(true);
    else
        RBFeminino->SetChecked(true);
    for (TEdit* e : {Edit12, Edit11, Edit10, Edit15, Edit14, Edit13, Edit18, Edit17, Edit16})
        e->SetText(line(i++));
    for (TCheckBox* b : {Ck8213, Ck9876, CkB80, Ck242, CkRPS31, Ck113}) b->SetChecked(line(i++) == "s");
    MaskEdit1->SetText(line(i++));
    MaskEdit2->SetText(line(i++));
    Edit1->SetText(line(i++));
    ++i; // the count
    TCellMatrix& salarios = salariogrid->Matrix();
    salarios.Clear();
    salarios.SetRowCount(std::max(count, 2));
    for (int r = 0; r < count; ++r) {
        salarios.SetCell(0, r, line(i++));
        salarios.SetCell(1, r, line(i++));
    }
    salariogrid->MatrixChanged();
    // Showing sets the end date from the index table; the case's own stays.
    const std::string fim = MaskEdit2->Text();
    Show();
    MaskEdit2->SetText(fim);
}

#include "revision/wizard_state_file.h"

#include <algorithm>

#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/arrears_engine.h"
#include "revision/arrears_wizard.h"
#include "grids/align_grid.h"
#include "revision/wizard_grid.h"
#include "revision/wizard_links.h"

namespace wizard_state {

namespace {

const char* Bool(const TCheckBox* box) {
    return box->Checked() ? "true" : "false";
}

const char* Bool(const TRadioButton* button) {
    return button->Checked() ? "true" : "false";
}

void AddGrid(std::vector<std::string>& lines, TStringAlignGrid* grid) {
    const TCellMatrix& cells = grid->Matrix();
    lines.push_back(IntToStr(cells.RowCount()));
    for (int r = 0; r < cells.RowCount(); ++r)
        lines.push_back(cells.Row(r).CommaText());
}

// The reading side: lines in order, and the stop with a message.
class TStateReader {
public:
    TStateReader(TForm12& form, const std::string& fileName)
        : f_(form), name_(ExtractFileName(fileName)), file_(fileName) {}

    void Run();

private:
    std::string Next() {
        ++line_;
        return file_.Readln();
    }
    [[noreturn]] void Stop(const std::string& message) {
        ShowMessage(message);
        Abort();
    }
    void Box(TCheckBox* box) { box->SetChecked(Next() != "false"); }
    void Radio(TRadioButton* button) { button->SetChecked(Next() != "false"); }
    void Amount(TCurrencyEdit* edit, const char* what);
    void Grid(TStringAlignGrid* grid, const char* what);

    TForm12& f_;
    std::string name_;
    TTextFileReader file_;
    int line_ = 0;
};

void TStateReader::Amount(TCurrencyEdit* edit, const char* what) {
    std::string text = Next();
    try {
        edit->SetText(text);
    } catch (const EConvertError&) {
        Stop("Valor inválido no arquivo " + name_ + ", linha " + IntToStr(line_) + " (" + what +
             "): '" + text + "'");
    }
}

// A count line with a digit, then that many rows. A count beyond the end of
// the file reads the rows that are there and stops.
void TStateReader::Grid(TStringAlignGrid* grid, const char* what) {
    std::string countText = Next();
    if (!f_.checkinteiro(countText)) return;
    int count = 0;
    if (!TryStrToInt(Trim(countText), count) || count < 0)
        Stop("Número de linhas inválido no arquivo " + name_ + ", linha " + IntToStr(line_) +
             " (" + what + "): '" + countText + "'");
    TCellMatrix& cells = grid->Matrix();
    int available = 0;
    TStringList row;
    for (; available < count && !file_.Eof(); ++available) {
        if (available >= cells.RowCount()) cells.SetRowCount(available + 1);
        row.SetCommaText(Next());
        cells.SetRow(available, row);
    }
    cells.SetRowCount(std::max(available, 1));
    grid->MatrixChanged();
    if (available < count)
        Stop("O arquivo " + name_ + " está incompleto: " + what + " tem " + IntToStr(count) +
             " linhas e o arquivo termina depois de " + IntToStr(available) +
             ". A leitura parou.");
}

void TStateReader::Run() {
    f_.Enome->SetText(Next());
    f_.Enumero->SetText(Next());
    f_.Dataini->SetText(Next());
    f_.Datafim->SetText(Next());
    f_.Dateinicialjuros->SetText(Next());
    Amount(f_.Vautor, "RMI INSS");
    Amount(f_.Vinss, "RMI Autor");
    Amount(f_.Ejuros, "Valor dos Juros");
    f_.Datefinaljuros->SetText(Next());
    f_.DatePrescricao->SetText(Next());

    // Setting a box fires its OnClick (the ADCT boxes clear their partner),
    // so the order is the writer's.
    for (TCheckBox* box : {f_.Check13, f_.Cjuros, f_.Cadct1, f_.Cadct2, f_.Curv, f_.Csteto,
                           f_.Dteto, f_.Cadct1inss, f_.Cadct2inss, f_.Curvinss, f_.Cstetoinss,
                           f_.Dtetoinss})
        Box(box);

    // The calculation on the restored inputs; its refusal ends the reading.
    f_.BTNcorrigir->Click();

    Grid(f_.planilha, "a planilha");

    std::string first = Next();
    if (!first.empty()) {
        f_.DateEdit1->SetText(first);
        f_.DateEdit2->SetText(Next());
        f_.DateEdit3->SetText(Next());
        Amount(f_.rmi01, "RMI Valor (Carta de Concessão)");
        Amount(f_.divisor, "Divisor");
        Amount(f_.coef, "Coeficiente");
        Box(f_.Csmt);
        Grid(f_.Sdem, "a tabela da nova RMI");
        Grid(f_.Sdig, "a tabela de salários");
    }
    first = Next();
    if (!first.empty()) f_.Catual24->SetChecked(first != "false");
    first = Next();
    if (!first.empty()) {
        f_.caplicar->SetChecked(first != "false");
        Box(f_.coefprop);
        Amount(f_.umtrinta, "1/30");
        Radio(f_.C8213);
        Radio(f_.cpossuo);
    }
    first = Next();
    if (!first.empty()) {
        f_.Cirsm->SetChecked(first != "false");
        f_.ComboBox1->SetText(Next());
    }
}

} // namespace

std::vector<std::string> StateLines(TForm12& f) {
    std::vector<std::string> lines;
    lines.reserve(64 + f.planilha->Matrix().RowCount());
    lines.push_back(f.Enome->Text());
    lines.push_back(f.Enumero->Text());
    lines.push_back(f.Dataini->Text());
    lines.push_back(f.Datafim->Text());
    lines.push_back(f.Dateinicialjuros->Text());
    lines.push_back(f.Vautor->Text());
    lines.push_back(f.Vinss->Text());
    lines.push_back(f.Ejuros->Text());
    lines.push_back(f.Datefinaljuros->Text());
    lines.push_back(f.DatePrescricao->Text());
    for (const TCheckBox* box : {f.Check13, f.Cjuros, f.Cadct1, f.Cadct2, f.Curv, f.Csteto, f.Dteto,
                                 f.Cadct1inss, f.Cadct2inss, f.Curvinss, f.Cstetoinss, f.Dtetoinss})
        lines.push_back(Bool(box));
    AddGrid(lines, f.planilha);
    // Block A: the new RMI.
    lines.push_back(f.DateEdit1->Text());
    lines.push_back(f.DateEdit2->Text());
    lines.push_back(f.DateEdit3->Text());
    lines.push_back(f.rmi01->Text());
    lines.push_back(f.divisor->Text());
    lines.push_back(f.coef->Text());
    lines.push_back(Bool(f.Csmt));
    AddGrid(lines, f.Sdem);
    AddGrid(lines, f.Sdig);
    // Block B.
    lines.push_back(Bool(f.Catual24));
    // Block C: the road.
    lines.push_back(Bool(f.caplicar));
    lines.push_back(Bool(f.coefprop));
    lines.push_back(f.umtrinta->Text());
    lines.push_back(Bool(f.C8213));
    lines.push_back(Bool(f.cpossuo));
    // Block D.
    lines.push_back(Bool(f.Cirsm));
    lines.push_back(f.ComboBox1->Text());
    return lines;
}

void WriteStateFile(TForm12& form, const std::string& fileName) {
    std::vector<std::string> lines = StateLines(form);
    TTextFileWriter file(fileName);
    for (const std::string& line : lines)
        file.Writeln(line);
    file.Close();
}

void ReadStateFile(TForm12& form, const std::string& fileName) {
    TStateReader reader(form, fileName);
    reader.Run();
    form.PageControl1->SetPageIndex(0);
}

} // namespace wizard_state

void TForm12::gravax() {
    wizard_state::WriteStateFile(*this, wizard_links::DataFile("atualrev.back"));
}

void TForm12::ReadStateFile(const std::string& fileName) {
    wizard_state::ReadStateFile(*this, fileName);
    Show();
}

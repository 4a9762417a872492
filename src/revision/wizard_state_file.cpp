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
#include "revision/state_values.h"
#include "revision/wizard_links.h"
#include "tables/table_watch.h"

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

// A grid as the file holds it: its rows, the first of them on line
// `firstLine` (1-based).
struct TGridLines {
    size_t firstLine = 0;
    std::vector<std::string> rows;
};

// Everything a state file holds, read and checked before the wizard changes.
struct TStateData {
    std::string head[10];
    bool boxes[12] = {};
    TGridLines planilha;
    std::string dates[3], rmi01, divisor, coef;
    bool Csmt = false;
    TGridLines Sdem, Sdig;
    bool Catual24 = false;
    bool caplicar = false, coefprop = false, C8213 = false, cpossuo = false;
    std::string umtrinta;
    bool Cirsm = false;
    std::string ComboBox1;
};

const char* const kHeadFields[10] = {
    "Nome", "Número do Benefício", "Data Inicial (DIB)", "Data Final",
    "Data inicial para contagem de juros", "RMI INSS", "RMI Autor", "Valor dos Juros",
    "Data final para contagem de juros", "Data da Prescrição"};
const char* const kBoxFields[12] = {
    "Calcular 13º Salário", "Incluir juros", "Art. 58 do ADCT (Autor)",
    "Art. 58 do ADCT da concessão (Autor)", "média da URV (Autor)",
    "Desconsiderar teto (Autor)", "Considerar teto (Autor)", "Art. 58 do ADCT (INSS)",
    "Art. 58 do ADCT da concessão (INSS)", "média da URV (INSS)", "Desconsiderar teto (INSS)",
    "Considerar teto (INSS)"};

// The months of the tables a case is computed with, from the earliest to
// the last. A case's month rows are months its tables hold (the calculation
// refuses a month a table lacks), so a grid longer than that, with its
// summary rows, is no case the program wrote.
struct TTableSpan {
    int first = 0, last = -1; // months counted from year 0

    int Months() const { return last - first + 1; }
    int Decembers() const { return (last + 1) / 12 - first / 12; }
    std::string Text() const {
        return "de " + tabelas::MonthText(first) + " a " + tabelas::MonthText(last);
    }
};

// The span over every month table of the tables form; none when they are
// empty (the calculation then refuses the case for its missing table).
TTableSpan TableSpan() {
    TTableSpan span;
    bool any = false;
    for (const char* name : {"GridCorrRev", "Gridcrmensal", "GridSalmin", "gridiinss", "INPCGrid",
                             "indicegrid", "SRevisaoI", "SRevisaoII", "SRevisaoIII", "tabatusal"}) {
        const TCellMatrix* table = wizard_links::TableCells(name);
        if (!table || table->ColCount() < 1) continue;
        for (int r = 1; r < table->RowCount(); ++r) {
            int month;
            if (!tabelas::KeyMonth(table->Cell(0, r), month)) continue;
            span.first = any ? std::min(span.first, month) : month;
            span.last = any ? std::max(span.last, month) : month;
            any = true;
        }
    }
    return span;
}

// Reads the lines in the writer's order; the first line that cannot be
// taken, or a file that ends before its last line, raises EDamagedFile
// naming the line and the field. Every block is required: the writer
// always writes them all, and a block left out would keep the values of
// the case opened before.
class TStateParser {
public:
    TStateParser(TForm12& form, std::string name, std::vector<std::string> lines)
        : f_(form), name_(std::move(name)), lines_(std::move(lines)) {}

    TStateData Parse();

private:
    bool AtEnd() const { return next_ >= lines_.size(); }
    // The next line, which the file must have.
    const std::string& Need(const std::string& field) {
        if (AtEnd()) Refuse(state_values::EndsEarly(name_, lines_.size(), field));
        return lines_[next_++];
    }
    [[noreturn]] void Refuse(const std::string& message) { throw EDamagedFile(message); }
    void Check(const std::string& problem, const std::string& field) {
        if (!problem.empty()) Refuse(state_values::RefusedLine(name_, next_, field, problem));
    }
    std::string Amount(const TCustomNumEdit* edit, const std::string& field) {
        const std::string& text = Need(field);
        Check(state_values::AmountProblem(text, edit->MinValue(), edit->MaxValue(),
                                          edit->DecimalPlaces()),
              field);
        return text;
    }
    std::string Date(const std::string& field) {
        const std::string& text = Need(field);
        Check(state_values::DateProblem(text), field);
        return text;
    }
    bool Box(const std::string& field) {
        const std::string& text = Need(field);
        Check(state_values::BooleanProblem(text), field);
        return text == "true";
    }
    // `summary` tells the rows a grid holds besides its title and months.
    TGridLines Grid(const std::string& field, const TStringAlignGrid* grid,
                    int summaryRows = 0, const std::string& summary = "");

    TForm12& f_;
    std::string name_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    TTableSpan span_ = TableSpan();
};

TGridLines TStateParser::Grid(const std::string& field, const TStringAlignGrid* grid,
                              int summaryRows, const std::string& summary) {
    TGridLines lines;
    const std::string countField = "número de linhas da " + field;
    int count = 0;
    Check(state_values::CountProblem(Need(countField), count), countField);
    if (static_cast<size_t>(count) > lines_.size() - next_)
        Refuse(state_values::Refused(
            name_, "linha " + std::to_string(next_) + ": a " + field + " tem " +
                       std::to_string(count) + " linhas e o arquivo termina depois de " +
                       std::to_string(lines_.size() - next_)));
    if (span_.Months() > 0) {
        const long long most = 1LL + span_.Months() + summaryRows;
        if (count > most)
            Check(std::to_string(count) + " são mais linhas do que um caso pode ter: no máximo " +
                      std::to_string(most) + " (o título" + (summary.empty() ? " e" : ",") + " os " +
                      std::to_string(span_.Months()) + " meses das tabelas, " + span_.Text() +
                      (summary.empty() ? "" : ", " + summary) + ")",
                  countField);
    }
    lines.firstLine = next_ + 1;
    const int columns = grid->Matrix().ColCount();
    for (int r = 0; r < count; ++r)
        Check(state_values::RowProblem(Need(field), columns), field);
    lines.rows.assign(lines_.begin() + static_cast<std::ptrdiff_t>(lines.firstLine - 1),
                      lines_.begin() + static_cast<std::ptrdiff_t>(next_));
    return lines;
}

TStateData TStateParser::Parse() {
    TStateData d;
    const TCustomNumEdit* amounts[10] = {nullptr, nullptr, nullptr, nullptr, nullptr,
                                         f_.Vautor, f_.Vinss, f_.Ejuros, nullptr, nullptr};
    for (int i = 0; i < 10; ++i) {
        if (amounts[i]) d.head[i] = Amount(amounts[i], kHeadFields[i]);
        else if (i >= 2) d.head[i] = Date(kHeadFields[i]);
        else d.head[i] = Need(kHeadFields[i]);
    }
    for (int i = 0; i < 12; ++i) d.boxes[i] = Box(kBoxFields[i]);
    // A thirteenth-salary row after each December, and the sums row.
    d.planilha = Grid("planilha", f_.planilha, span_.Decembers() + 1,
                      std::to_string(span_.Decembers()) + " linhas de 13º salário e a linha das somas");

    d.dates[0] = Date("Data Inicial da nova RMI");
    d.dates[1] = Date("Data Final da nova RMI");
    d.dates[2] = Date("Atualizar até");
    d.rmi01 = Amount(f_.rmi01, "RMI Valor (Carta de Concessão)");
    d.divisor = Amount(f_.divisor, "Divisor");
    d.coef = Amount(f_.coef, "Coeficiente");
    d.Csmt = Box("Considerar Teto e Salário Mínimo");
    // Soma, SB, the two ceilings, the two parts and the RMI at most.
    d.Sdem = Grid("tabela da nova RMI", f_.Sdem, 7, "7 linhas de resumo");
    d.Sdig = Grid("tabela de salários", f_.Sdig);
    d.Catual24 = Box("Não atualizar os últimos 12 salários");
    d.caplicar = Box("Decreto 83.080/79");
    d.coefprop = Box("Aplicar coeficiente de proporcionalidade");
    d.umtrinta = Amount(f_.umtrinta, "1/30");
    d.C8213 = Box("Lei 8.213/91");
    d.cpossuo = Box("Já possuo a nova RMI");
    d.Cirsm = Box("Aplicação do IRSM");
    d.ComboBox1 = Need("índice de correção");
    if (calc::SeriesIndex(d.ComboBox1) < 0)
        Check("'" + d.ComboBox1 + "' não é um índice de correção conhecido",
              "índice de correção");
    // One empty line more is an editor's final line end.
    if (lines_.size() - next_ > 1 || (!AtEnd() && !lines_.back().empty()))
        Refuse(state_values::Refused(name_, "o caso termina na linha " + std::to_string(next_) +
                                                ", mas o arquivo continua na linha " +
                                                std::to_string(next_ + 1)));
    return d;
}

// The rows into the cells; the column count stays the grid's.
void FillRows(TCellMatrix& cells, const TGridLines& lines) {
    cells.SetRowCount(std::max<int>(static_cast<int>(lines.rows.size()), 1));
    TStringList row;
    for (size_t r = 0; r < lines.rows.size(); ++r) {
        row.SetCommaText(lines.rows[r]);
        cells.SetRow(static_cast<int>(r), row);
    }
}

void SetGrid(TStringAlignGrid* grid, const TGridLines& lines) {
    FillRows(grid->Matrix(), lines);
    grid->MatrixChanged();
}

// The totals pass the calculation ran (with interest or without) over the
// cells. A spreadsheet never computed (every cell below the header empty)
// has nothing to add up: false, and the cells stay.
bool AddUp(TForm12& f, TCellMatrix& cells) {
    bool empty = true;
    for (int r = 1; r < cells.RowCount() && empty; ++r)
        for (int c = 0; c < cells.ColCount() && empty; ++c) empty = cells.Cell(c, r).empty();
    if (empty) return false;
    std::string marcalimite;
    calc::TArrearsEngine engine(cells, wizard_links::Tables(), f.PlanilhaInput(), marcalimite);
    // The calculation leaves interest out when the interest is zero.
    if (f.Cjuros->Checked() && f.Ejuros->Value() != 0) engine.fimx();
    else engine.corrigevalor3fim();
    return true;
}

// The first cell the totals pass writes otherwise than the stored
// spreadsheet holds it ("" when none).
std::string Mismatch(TForm12& f, const TGridLines& planilha, const std::string& name) {
    TCellMatrix stored(f.planilha->Matrix().ColCount(), 1);
    FillRows(stored, planilha);
    TCellMatrix summed = stored;
    try {
        if (!AddUp(f, summed)) return "";
    } catch (const Exception& e) {
        return state_values::Refused(name, "planilha: " + e.Message);
    }
    for (int r = 1; r < stored.RowCount(); ++r)
        for (int c = 0; c < stored.ColCount(); ++c)
            if (summed.Cell(c, r) != stored.Cell(c, r))
                return state_values::RefusedLine(
                    name, planilha.firstLine + static_cast<size_t>(r),
                    std::string("planilha, ") + calc::PlanilhaHeaders[std::min(c, 13)],
                    QuotedExcerpt(stored.Cell(c, r)) + " não confere com a conta da planilha, que dá " +
                        summed.Cell(c, r));
    return "";
}

// The stored spreadsheet must be the case's: one row a month of its dates,
// with its thirteenth-salary rows. Rows of other months (or too few of them)
// would stand for the case and add up to another amount due.
std::string MonthsProblem(TForm12& f, const TGridLines& planilha, const std::string& name) {
    TCellMatrix stored(f.planilha->Matrix().ColCount(), 1);
    FillRows(stored, planilha);
    const state_values::TMonthsProblem problem = state_values::MonthsProblem(
        stored, f.Dataini->Text(), f.Datafim->Text(), f.Check13->Checked());
    if (problem.why.empty()) return "";
    if (problem.row == 0)
        return state_values::RefusedLine(name, planilha.firstLine - 1,
                                         "número de linhas da planilha", problem.why);
    return state_values::RefusedLine(name, planilha.firstLine + static_cast<size_t>(problem.row),
                                     "planilha, Data", problem.why);
}

// The stored spreadsheet must add up by its own rows: the totals pass gives
// back every cell it writes, the sums row included; otherwise an edited
// total would be printed as the amount due. A case saved before the month of
// the prescription date was owed with interest adds up by the rule it was
// computed with, which its passes then keep.
std::string TotalsProblem(TForm12& f, const TGridLines& planilha, const std::string& name) {
    f.PrescriptionByDay = false;
    const std::string problem = Mismatch(f, planilha, name);
    if (problem.empty()) return problem;
    f.PrescriptionByDay = true;
    if (Mismatch(f, planilha, name).empty()) return "";
    f.PrescriptionByDay = false;
    return problem;
}

void ApplyHead(TForm12& f, const TStateData& d) {
    TCustomEdit* heads[10] = {f.Enome, f.Enumero, f.Dataini, f.Datafim, f.Dateinicialjuros,
                              f.Vautor, f.Vinss, f.Ejuros, f.Datefinaljuros, f.DatePrescricao};
    for (int i = 0; i < 10; ++i) heads[i]->SetText(d.head[i]);
    // Setting a box fires its OnClick (the ADCT boxes clear their partner),
    // so the order is the writer's.
    TCheckBox* boxes[12] = {f.Check13, f.Cjuros, f.Cadct1, f.Cadct2, f.Curv, f.Csteto,
                            f.Dteto, f.Cadct1inss, f.Cadct2inss, f.Curvinss, f.Cstetoinss,
                            f.Dtetoinss};
    for (int i = 0; i < 12; ++i) boxes[i]->SetChecked(d.boxes[i]);
}

// Everything after the calculation: the stored grids and blocks A to D.
void ApplyRest(TForm12& f, const TStateData& d) {
    SetGrid(f.planilha, d.planilha);
    f.DateEdit1->SetText(d.dates[0]);
    f.DateEdit2->SetText(d.dates[1]);
    f.DateEdit3->SetText(d.dates[2]);
    f.rmi01->SetText(d.rmi01);
    f.divisor->SetText(d.divisor);
    f.coef->SetText(d.coef);
    f.Csmt->SetChecked(d.Csmt);
    SetGrid(f.Sdem, d.Sdem);
    SetGrid(f.Sdig, d.Sdig);
    f.Catual24->SetChecked(d.Catual24);
    f.caplicar->SetChecked(d.caplicar);
    f.coefprop->SetChecked(d.coefprop);
    f.umtrinta->SetText(d.umtrinta);
    f.C8213->SetChecked(d.C8213);
    f.cpossuo->SetChecked(d.cpossuo);
    f.Cirsm->SetChecked(d.Cirsm);
    f.ComboBox1->SetText(d.ComboBox1);
}

// What reading a file can change, to put back when the calculation refuses
// the file half-way.
struct TWizardSnapshot {
    explicit TWizardSnapshot(TForm12& f)
        : planilha(f.planilha->Matrix()), Sdem(f.Sdem->Matrix()), Sdig(f.Sdig->Matrix()),
          meuindice(f.meuindice->Checked()), page(f.PageControl1->PageIndex()),
          prescriptionByDay(f.PrescriptionByDay) {
        TCustomEdit* heads[10] = {f.Enome, f.Enumero, f.Dataini, f.Datafim, f.Dateinicialjuros,
                                  f.Vautor, f.Vinss, f.Ejuros, f.Datefinaljuros, f.DatePrescricao};
        for (int i = 0; i < 10; ++i) data.head[i] = heads[i]->Text();
        TCheckBox* boxes[12] = {f.Check13, f.Cjuros, f.Cadct1, f.Cadct2, f.Curv, f.Csteto,
                                f.Dteto, f.Cadct1inss, f.Cadct2inss, f.Curvinss, f.Cstetoinss,
                                f.Dtetoinss};
        for (int i = 0; i < 12; ++i) data.boxes[i] = boxes[i]->Checked();
        data.dates[0] = f.DateEdit1->Text();
        data.dates[1] = f.DateEdit2->Text();
        data.dates[2] = f.DateEdit3->Text();
        data.rmi01 = f.rmi01->Text();
        data.divisor = f.divisor->Text();
        data.coef = f.coef->Text();
        data.Csmt = f.Csmt->Checked();
        data.Catual24 = f.Catual24->Checked();
        data.caplicar = f.caplicar->Checked();
        data.coefprop = f.coefprop->Checked();
        data.umtrinta = f.umtrinta->Text();
        data.C8213 = f.C8213->Checked();
        data.cpossuo = f.cpossuo->Checked();
        data.Cirsm = f.Cirsm->Checked();
        data.ComboBox1 = f.ComboBox1->Text();
    }

    void Restore(TForm12& f) const {
        ApplyHead(f, data);
        ApplyRest(f, data);
        for (auto [grid, cells] : {std::pair{f.planilha, &planilha}, std::pair{f.Sdem, &Sdem},
                                   std::pair{f.Sdig, &Sdig}}) {
            grid->Matrix() = *cells;
            grid->MatrixChanged();
        }
        f.meuindice->SetChecked(meuindice);
        f.PageControl1->SetPageIndex(page);
        f.PrescriptionByDay = prescriptionByDay;
    }

    TStateData data;
    TCellMatrix planilha, Sdem, Sdig;
    bool meuindice;
    int page;
    bool prescriptionByDay;
};

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

void AddUpPlanilha(TForm12& form) {
    TCellMatrix cells = form.planilha->Matrix();
    if (!AddUp(form, cells)) return;
    form.planilha->Matrix() = cells;
    form.planilha->MatrixChanged();
}

void WriteStateFile(TForm12& form, const std::string& fileName) {
    std::vector<std::string> lines = StateLines(form);
    TTextFileWriter file(fileName);
    for (const std::string& line : lines)
        file.Writeln(line);
    file.Close();
}

void ReadStateFile(TForm12& form, const std::string& fileName) {
    const std::string name = ExtractFileName(fileName);
    TStateData data;
    try {
        std::vector<std::string> lines;
        TTextFileReader file(fileName, kMaxStateFileSize);
        lines.reserve(file.LineCount());
        while (!file.Eof()) lines.push_back(file.Readln());
        data = TStateParser(form, name, std::move(lines)).Parse();
    } catch (const EDamagedFile& e) {
        ShowMessage(e.Message);
        Abort();
    } catch (const EInOutError& e) {
        ShowMessage(state_values::Refused(name, e.Reason.empty() ? e.Message : e.Reason));
        Abort();
    }

    const TWizardSnapshot before(form);
    try {
        ApplyHead(form, data);
        // The calculation follows the file's own correction series, never
        // the one the wizard held before (the file sets it again below).
        form.ComboBox1->SetText(data.ComboBox1);
        // The calculation on the restored inputs; its refusal (its message
        // shown) puts the wizard back as it was.
        form.BTNcorrigir->Click();
        if (std::string why = MonthsProblem(form, data.planilha, name); !why.empty()) {
            ShowMessage(why);
            Abort();
        }
        if (std::string why = TotalsProblem(form, data.planilha, name); !why.empty()) {
            ShowMessage(why);
            Abort();
        }
        ApplyRest(form, data);
    } catch (...) {
        before.Restore(form);
        throw;
    }
    form.PageControl1->SetPageIndex(0);
}

} // namespace wizard_state

void TForm12::gravax() {
    // A cell edited in the grid flows into the totals first: the report
    // prints what the rows add up to, and the file reads back.
    wizard_state::AddUpPlanilha(*this);
    wizard_state::WriteStateFile(*this, wizard_links::DataFile("atualrev.back"));
}

void TForm12::ReadStateFile(const std::string& fileName) {
    wizard_state::ReadStateFile(*this, fileName);
    // The case's RMIs may have been typed: the new RMI step asks before it
    // replaces them.
    putVinss_.clear();
    putVautor_.clear();
    Show();
}

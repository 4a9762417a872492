// The wizard's computing handlers: the new RMI (page 4), the spreadsheet
// (page 5) and Finalizar. They gather the controls into the engine's inputs,
// run the engine on the grids' cells and refresh the grids.
#include <algorithm>
#include <exception>

#include "controls/currency_edit.h"
#include "controls/number_rules.h"
#include "controls/date_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/strutil.h"
#include "revision/arrears_engine.h"
#include "revision/arrears_wizard.h"
#include "revision/prop_form.h"
#include "revision/revision_form.h"
#include "revision/state_values.h"
#include "grids/align_grid.h"
#include "revision/wizard_grid.h"
#include "revision/wizard_links.h"
#include "revision/wizard_state_file.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"
#include "tables/table_status.h"

calc::TPlanilhaInput TForm12::PlanilhaInput() {
    calc::TPlanilhaInput in;
    in.Dataini = Dataini->Text();
    in.Datafim = Datafim->Text();
    in.DatePrescricao = DatePrescricao->Text();
    in.Dateinicialjuros = Dateinicialjuros->Text();
    in.Datefinaljuros = Datefinaljuros->Text();
    in.DatainiDate = Dataini->Date();
    in.DatePrescricaoDate = DatePrescricao->Date();
    in.PropDate = Fprop->DateEdit1->Date();
    in.Vinss = Vinss->CheckedValue();
    in.Vautor = Vautor->CheckedValue();
    in.Ejuros = Ejuros->CheckedValue();
    in.Check13 = Check13->Checked();
    in.Cjuros = Cjuros->Checked();
    in.Cadct1 = Cadct1->Checked();
    in.Cadct2 = Cadct2->Checked();
    in.Curv = Curv->Checked();
    in.Cirsm = Cirsm->Checked();
    in.Csteto = Csteto->Checked();
    in.Dteto = Dteto->Checked();
    in.Cadct1inss = Cadct1inss->Checked();
    in.Cadct2inss = Cadct2inss->Checked();
    in.Curvinss = Curvinss->Checked();
    in.ComboBox1 = ComboBox1->Text();
    in.PrescriptionByDay = PrescriptionByDay;
    return in;
}

calc::TNovaRmiInput TForm12::NovaRmiInput() {
    calc::TNovaRmiInput in;
    in.DateEdit1 = DateEdit1->Text();
    in.DateEdit2 = DateEdit2->Text();
    in.DateEdit3 = DateEdit3->Text();
    in.DateEdit2Date = DateEdit2->Date();
    in.divisorText = divisor->Text();
    in.coefText = coef->Text();
    in.umtrintaText = umtrinta->Text();
    in.divisor = divisor->CheckedValue();
    in.coef = coef->CheckedValue();
    in.umtrinta = umtrinta->CheckedValue();
    in.caplicar = caplicar->Checked();
    in.Catual24 = Catual24->Checked();
    in.Csmt = Csmt->Checked();
    return in;
}

namespace {

// Runs a pass of the engine on the spreadsheet; the rows written before a
// failure stay and must show.
template <class F> void RunOnPlanilha(TForm12& form, F pass) {
    calc::TArrearsEngine engine(form.planilha->Matrix(), wizard_links::Tables(),
                                form.PlanilhaInput(), Form9->marcalimite);
    try {
        pass(engine);
    } catch (...) {
        form.planilha->MatrixChanged();
        throw;
    }
    form.planilha->MatrixChanged();
}

} // namespace

// The companion passes read these tables: none runs on a table that is
// missing or damaged (the start-up, or the last reload, said which), nor on
// one whose cells were edited since into values the start-up would have
// refused (checked again only when they changed). The proportional table
// only where the pass reads it.
template <class F>
void TForm12::RunPass(F pass, bool proportional) {
    const calc::TTableGrids tables = wizard_links::Tables();
    tabelas::RequireTables({{tabelas::CrMensalRev3File, tables.GridCorrRev},
                            {tabelas::SalminFile, tables.GridSalmin},
                            {tabelas::InssFile, tables.gridiinss}});
    if (proportional) tabelas::RequireTables({{tabelas::AtuaprevFile, tables.tabatusal}});
    RunOnPlanilha(*this, pass);
}

namespace {

void Inform(const std::string& text) {
    ShowMessage(text);
}

} // namespace

// ---- the new RMI --------------------------------------------------------------

void TForm12::incdata2(const std::string& initial, const std::string& final) {
    calc::TNovaRmi nova(Sdig->Matrix(), Sdem->Matrix(), wizard_links::Tables(),
                        Form9->marcalimite, Inform);
    try {
        nova.incdata2(initial, final);
    } catch (...) {
        Sdig->MatrixChanged();
        Sdem->MatrixChanged();
        throw;
    }
    Sdig->MatrixChanged();
    Sdem->MatrixChanged();
}

void TForm12::S041088() {
    calc::TNovaRmi nova(Sdig->Matrix(), Sdem->Matrix(), wizard_links::Tables(),
                        Form9->marcalimite, Inform);
    try {
        nova.S041088(NovaRmiInput());
    } catch (...) {
        Sdem->MatrixChanged();
        throw;
    }
    Sdem->MatrixChanged();
}

std::string TForm12::devolvevalorex(int side, const std::string& date) {
    calc::TNovaRmi nova(Sdig->Matrix(), Sdem->Matrix(), wizard_links::Tables(),
                        Form9->marcalimite, Inform);
    return nova.devolvevalorex(side, date);
}

// A typed salary reads as an amount or not at all: one with letters
// ("1.OOO,00") is refused naming its month. A cell without digits counts as 0.
void TForm12::CheckSalaryCells() {
    const TCellMatrix& dig = Sdig->Matrix();
    for (int r = 1; r < dig.RowCount(); ++r) {
        const std::string& text = dig.Cell(1, r);
        long double value;
        const bool plain = text.find_first_not_of("0123456789.,-+ ") == std::string::npos;
        if (!plain || (checkinteiro(text) && !CurrEdit::TryReadAmount(text, value)))
            Fail(CellValueMessage(RowLabel(dig.Cell(0, r), r), "Salário", text), Sdig);
    }
}

void TForm12::Button2Click(TObject*) {
    SetActiveControl(nullptr);
    ClearGridRows(Sdem);
    ValidateSalaryDates(false, -1);
    CheckSalaryCells();
    const long double paid = rmi01->CheckedValue();
    const calc::TNovaRmiInput input = NovaRmiInput();
    // Every month the road reads, in every table, before anything is computed.
    const calc::TTableGrids tables = wizard_links::Tables();
    wizard_links::PrepareTables(calc::NovaRmiTables(input, tables.Cusetabsc));
    // The salaries are corrected up to the month of "Atualizar até" (the
    // benefit's start): the table's index of that month over a salary
    // month's is the INSS's own factor for a benefit started then.
    wizard_links::geraindicex(FormatDateTime("dd/mm/yyyy", DateEdit3->Date()));

    calc::TNovaRmi nova(Sdig->Matrix(), Sdem->Matrix(), tables, Form9->marcalimite, Inform);
    std::string rmi;
    try {
        rmi = nova.Calcular(input);
    } catch (...) {
        Sdig->MatrixChanged();
        Sdem->MatrixChanged();
        throw;
    }
    Sdig->MatrixChanged();
    Sdem->MatrixChanged();

    PageControl1->SetPageIndex(PageControl1->PageIndex() + 1);
    PutRmi(Vinss, putVinss_, [&] { Vinss->SetText(rmi); }, "RMI Autor", "calculada");
    PutRmi(Vautor, putVautor_, [&] { Vautor->SetValue(paid); }, "RMI INSS",
           "da Carta de Concessão");
}

void TForm12::PutRmi(TCurrencyEdit* edit, std::string& put, const std::function<void()>& set,
                     const std::string& name, const std::string& source) {
    const long double before = edit->Value();
    const std::string shown = edit->FormatForDisplay(before);
    set();
    const std::string now = edit->FormatForDisplay(edit->Value());
    if (now != shown && shown != put) {
        TMessageBoxRequest r = MessageBoxRequest("Substituir a " + name + " digitada (" + shown +
                                                     ") pela " + source + " (" + now + ")?",
                                                 Application->Title(), MB_YESNO | MB_ICONQUESTION);
        r.DefaultButton = mrNo;
        if (DialogService().ShowMessageBox(r) != mrYes) {
            edit->SetValue(before);
            return;
        }
    }
    put = now;
}

// ---- the spreadsheet ------------------------------------------------------------

void TForm12::BTNcorrigirClick(TObject*) {
    SetActiveControl(nullptr);
    // Their branches are not offered on this form: every pass runs without them.
    Cirsm->SetChecked(false);
    Curvinss->SetChecked(false);
    Curv->SetChecked(false);
    meuindice->SetChecked(false);

    if (!checkinteiro(Dataini->Text())) Fail("é necessário digitar a Data Inicial", Dataini);
    if (Ejuros->Value() == 0) Cjuros->SetChecked(false);
    if (!checkinteiro(Datafim->Text())) Fail("é necessário digitar a Data Final", Datafim);
    if (!checkinteiro(Vinss->Text())) Fail("é necessário digitar RMI Autor", Vinss);
    if (!checkinteiro(DatePrescricao->Text()))
        Fail("é necessário digitar a Data da Prescrição", DatePrescricao);
    if (Cjuros->Checked()) {
        if (!checkinteiro(Dateinicialjuros->Text()))
            Fail("é necessário digitar a Data inicial da contagem de juros", Dateinicialjuros);
        if (!checkinteiro(Datefinaljuros->Text()))
            Fail("é necessário digitar a Data final da contagem de juros", Datefinaljuros);
    }
    if (Dataini->Date() < EncodeDate(1977, 5, 1))
        Fail("a data inicial não pode ser anterior a 01/05/1977", nullptr);
    // Dates the wrong way round would give one month's row as the whole case.
    if (Datafim->Date() < Dataini->Date()) Fail("a data final não pode ser anterior à data inicial", Datafim);

    // Every table the case reads, for every month it reads, before anything
    // is computed: what is missing is told at once.
    const calc::TPlanilhaInput input = PlanilhaInput();
    const std::string correction =
        meuindice->Checked() ? tabelas::MeuIndiceFile : tabelas::CrMensalRev3File;
    const calc::TTableGrids tables = wizard_links::Tables();
    const std::vector<calc::TTableNeed> needs = calc::PlanilhaTables(input, correction, tables.Cusetabsc);
    const bool proportional = std::any_of(needs.begin(), needs.end(), [](const calc::TTableNeed& n) {
        return n.file == tabelas::AtuaprevFile;
    });
    // The proportional table must hold the start month of a first
    // readjustment it serves: told with the rest, once both tables serve.
    wizard_links::PrepareTables(needs, [&](std::vector<tabelas::TTableRefusal>& refusals) {
        const bool told = std::any_of(refusals.begin(), refusals.end(), [&](const auto& r) {
            return r.file == correction || r.file == tabelas::AtuaprevFile;
        });
        if (!proportional || told) return;
        wizard_links::ReloadCorrRev(correction);
        const calc::TTableGrids grids = wizard_links::Tables();
        tabelas::TTableRefusal refusal;
        if (grids.GridCorrRev && grids.tabatusal &&
            calc::FirstReadjustmentRefusal(input, *grids.GridCorrRev, *grids.tabatusal, refusal))
            refusals.push_back(refusal);
    });
    wizard_links::ReloadCorrRev(correction);
    // Every series is cut at the final month and derived again (the
    // revision form reads them as the last calculation left them); only the
    // one column "Correção" reads must serve, another that cannot is left as
    // it was. A series already derived for this month is not derived again.
    const std::string fim = Datafim->Text();
    const int k = Csteto->Checked() ? 0 : calc::SeriesIndex(ComboBox1->Text());
    void (*const derive[])(const std::string&) = {
        wizard_links::geraindicex, wizard_links::geraindiceINSSI, wizard_links::geraindiceINSSII,
        wizard_links::geraindiceINSSIII};
    for (int s = 0; s < 4; ++s) {
        if (s == k) {
            derive[s](fim);
            continue;
        }
        try {
            derive[s](fim);
        } catch (const tabelas::ETableError&) {
        } catch (const EConvertError&) {
        }
    }
    // The reloads cut the factor series at the final month, and a series
    // carries amounts to its last month: one that ends before the final
    // month, or lacks it, would carry them to another month.
    if (k >= 0) {
        const calc::TTableGrids grids = wizard_links::Tables();
        if (const TCellMatrix* series = calc::SeriesGrid(grids, k))
            RequireSeriesEnd(*series, Copy(fim, 4, 7), calc::SeriesFile(k));
    }
    bool computed = false;
    PrescriptionByDay = false;
    RunOnPlanilha(*this, [&](calc::TArrearsEngine& engine) { computed = engine.Calcular(); });
    if (computed) PageControl1->SetPageIndex(PageControl1->PageIndex() + 1);
}

void TForm12::incdata(const std::string& initial, const std::string& final) {
    RunPass([&](calc::TArrearsEngine& e) { e.incdata(initial, final); });
}

void TForm12::colocaindice() {
    RunPass([](calc::TArrearsEngine& e) { e.colocaindice(); }, true);
}

void TForm12::colocaindice2() {
    RunPass([](calc::TArrearsEngine& e) { e.colocaindice2(); });
}

long double TForm12::divmoeda(int side, int row, TCheckBox* box) {
    long double result = 1;
    RunPass([&](calc::TArrearsEngine& e) { result = e.divmoeda(side, row, box && box->Checked()); });
    return result;
}

void TForm12::corrigevalor() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalor(); });
}

void TForm12::corrigevalortt() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalortt(); });
}

void TForm12::corrigevalorfim() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalorfim(); });
}

void TForm12::corrigevalorttfim() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalorttfim(); });
}

void TForm12::corrigevalor3() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalor3(); });
}

void TForm12::corrigevalor3fim() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalor3fim(); });
}

void TForm12::corrigevalor2() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalor2(); });
}

void TForm12::corrigevalor2fim() {
    RunPass([](calc::TArrearsEngine& e) { e.corrigevalor2fim(); });
}

void TForm12::fimx() {
    RunPass([](calc::TArrearsEngine& e) { e.fimx(); });
}

void TForm12::refazsalx() {
    RunPass([](calc::TArrearsEngine& e) { e.refazsalx(); });
}

void TForm12::refazindx() {
    RunPass([](calc::TArrearsEngine& e) { e.refazindx(); });
}

void TForm12::recalculo() {
    if (TCellMatrix* target = wizard_links::RecalcGrid()) {
        calc::recalculo(planilha->Matrix(), *target);
        wizard_links::RecalcGridChanged();
    }
}

std::string TForm12::devolvesm(const std::string& date) {
    std::string result;
    RunPass([&](calc::TArrearsEngine& e) { result = e.devolvesm(date); });
    return result;
}

std::string TForm12::devolveind(const std::string& date) {
    std::string result;
    RunPass([&](calc::TArrearsEngine& e) { result = e.devolveind(date); });
    return result;
}

// ---- Finalizar and the report ---------------------------------------------------

calc::TReportInput TForm12::ReportInput() {
    calc::TReportInput in;
    in.Cfont = wizard_links::ReportFontSize();
    in.Cnomefont = wizard_links::ReportFontName();
    in.Enome = Enome->Text();
    in.Enumero = Enumero->Text();
    in.Dataini = Dataini->Text();
    in.Datafim = Datafim->Text();
    in.DatainiDate = Dataini->Date();
    in.Vinss = Vinss->Value();
    in.Vautor = Vautor->Value();
    in.cpossuo = cpossuo->Checked();
    in.Curv = Curv->Checked();
    in.Curvinss = Curvinss->Checked();
    in.ComboBox1 = ComboBox1->Text();
    in.Sdem = &Sdem->Matrix();
    in.planilha = &planilha->Matrix();
    return in;
}

namespace {
void ReportWriteFailed(const std::string& text) {
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}
} // namespace

void TForm12::imprix() {
    calc::imprix(ReportInput(), wizard_links::DataDir(), ReportWriteFailed);
}

namespace {

// Whether the calculation reached a month's total: a spreadsheet only laid
// out, or never computed, has nothing to finish.
bool HoldsComputedMonth(const TCellMatrix& cells) {
    for (int r = 1; r < cells.RowCount(); ++r)
        if (calc::checkinteiro(cells.Cell(0, r)) && calc::checkinteiro(cells.Cell(11, r)))
            return true;
    return false;
}

} // namespace

void TForm12::Button3Click(TObject*) {
    SetActiveControl(nullptr);
    // Nothing is written for a spreadsheet that is not this case's: the last
    // finished case, its report and the report shown stay.
    if (!HoldsComputedMonth(planilha->Matrix()))
        Fail("A planilha ainda não foi calculada: não há cálculo para finalizar. Clique em "
             "\"Voltar\", preencha os dados do cálculo e clique em \"Próximo\" para calcular a "
             "planilha; depois, em \"Finalizar\".",
             nullptr);
    // Months of other dates would be saved as a case that does not open.
    if (const state_values::TMonthsProblem months = state_values::MonthsProblem(
            planilha->Matrix(), Dataini->Text(), Datafim->Text(), Check13->Checked());
        !months.why.empty())
        Fail("A planilha não confere com as datas do caso: " +
                 (months.row > 0 ? "linha " + std::to_string(months.row) + ": " : std::string()) +
                 months.why +
                 ". Clique em \"Voltar\" e em \"Próximo\" para calcular a planilha de novo; "
                 "depois, em \"Finalizar\".",
             nullptr);
    // A cell edited in the grid flows into the totals first: the report
    // prints what the rows add up to, and the state file reads back.
    wizard_state::AddUpPlanilha(*this);
    // The user waits for the report, not for the disk: it is shown from
    // memory, and the files are written once it is on screen.
    const std::string report = calc::imprixText(ReportInput());
    wizard_links::ShowReportText(report, wizard_links::DataFile("atual.html"));
    // The state file is the user's case: a failure to write it is told, and
    // the wizard stays open to try again; the report is written regardless.
    std::exception_ptr stateFailure;
    try {
        wizard_state::WriteStateFile(*this, wizard_links::DataFile("atualrev.back"));
    } catch (...) {
        stateFailure = std::current_exception();
    }
    if (!stateFailure) {
        calc::WriteReport(report, wizard_links::DataDir(), ReportWriteFailed);
        Close();
        return;
    }
    // One message tells it all (a full disk fails both files): the state
    // file's and the report's, each naming its file and why.
    std::string reportFailure;
    calc::WriteReport(report, wizard_links::DataDir(),
                      [&](const std::string& text) { reportFailure = text; });
    try {
        std::rethrow_exception(stateFailure);
    } catch (EInOutError& e) {
        if (!reportFailure.empty()) e.Message += "\n" + reportFailure;
        throw;
    }
}

#pragma once
// The arrears wizard's calculation core (TForm12, unit calc) without a screen:
// the new RMI worksheet (Sdig -> Sdem), the monthly spreadsheet `planilha`
// (layout, index columns, evolution of both benefits, differences,
// correction, interest and totals) and the report text. The form gathers the
// control values into the plain structs below, runs these passes on the
// grids' cell matrices and shows what they return or raise.
//
// Amounts live in the cells as "#,##0.00" texts and are read back with
// RemovePonto at every use, so each month is rounded to cents before the next
// one is computed from it. A cell that must hold a number and does not stops
// the pass with ECellValueError, whose message names the row and the column;
// the rows already written stay.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/dates.h"
#include "tables/cell_errors.h"
#include "tables/table_watch.h"

class TCellMatrix;

namespace calc {

// A message box that informs and lets the step go on.
using TShowMessage = std::function<void(const std::string&)>;

// A step that cannot go on (a divisor of zero, an unknown correction series, a
// missing minimum wage): the form shows the message; nothing computed is lost.
class ECalcError : public Exception {
public:
    using Exception::Exception;
};

// ---- the wizard's text helpers -------------------------------------------

// True when the text holds at least one character "0" to "9".
bool checkinteiro(const std::string& text);
// Keeps "0".."9", "," and "-" and converts with StrToFloat: an empty result
// raises EConvertError (unlike the simulation form's copy, which reads 0).
long double RemovePonto(const std::string& text);
std::string formatfloatx(const std::string& format, long double value);

// ---- unit-level values, shared by the passes and the report ---------------

// Minimum wage of the first month of planilha (set by colocaindice).
extern long double salminicial;
// Benefit of 11/1993, 12/1993, 01/1994 and 02/1994 in URV, their means and
// the means x 913.5 (set by the evolution at 03/1994).
extern long double urvautor[4];
extern long double urvinss[4];
extern long double mediaurvautor, mediaurvinss;
extern long double valorurvautor, valorurvinss;

// ---- grids of the tables form that the wizard reads ------------------------

// Missing grids read as empty tables.
struct TTableGrids {
    const TCellMatrix* GridCorrRev = nullptr;  // month, readjustment, minimum wage, currency
    const TCellMatrix* Gridcrmensal = nullptr; // month, alternative readjustment
    const TCellMatrix* tabatusal = nullptr;    // month, proportional percentage
    const TCellMatrix* GridSalmin = nullptr;   // date, minimum wage
    const TCellMatrix* gridiinss = nullptr;    // month, larger ceiling, smaller ceiling
    const TCellMatrix* indicegrid = nullptr;   // factor series (INPC chain)
    const TCellMatrix* SRVI = nullptr;
    const TCellMatrix* SRVII = nullptr;
    const TCellMatrix* SRVIII = nullptr;
    bool Cusetabsc = false; // Form9.Cusetabsc: ceiling table kept newest first
};

// ---- the new RMI (page "Correção de salários") ----------------------------

// Column headers of Sdig and Sdem.
extern const char* const SdigHeaders[2];
extern const char* const SdemHeaders[5];

// What the new-RMI computation reads from the wizard's controls.
struct TNovaRmiInput {
    std::string DateEdit1, DateEdit2, DateEdit3;     // texts as shown
    TDateTime DateEdit2Date = 0;                     // DateEdit2.Date
    std::string divisorText, coefText, umtrintaText; // currency edits' texts
    long double divisor = 0, coef = 0, umtrinta = 0; // and their values
    bool caplicar = false;                           // Decreto 83.080/79 road (else Lei 8.213/91)
    bool Catual24 = false;                           // the last twelve salaries are not corrected
    bool Csmt = false; // limit salaries by the minimum wage and the ceiling
};

class TNovaRmi {
public:
    // marcalimite is the revision form's clamp marker (Form9.marcalimite).
    TNovaRmi(TCellMatrix& Sdig, TCellMatrix& Sdem, const TTableGrids& tables,
             std::string& marcalimite, TShowMessage showMessage);

    // Month rows of Sdig and Sdem from the initial to the final date text,
    // and the factors of Sdem column 2 from indicegrid (one merge pass).
    void incdata2(const std::string& initial, const std::string& final);

    // Button2Click after its validations and the regeneration of indicegrid:
    // lays out the months again (typed salaries stay), then computes the new
    // RMI on the road of `caplicar`. Returns the text for Vinss (Sdem's last
    // row, column 3). A missing salary month shows "primeiro clique no botão
    // Iniciar" and returns what Sdem holds.
    std::string Calcular(const TNovaRmiInput& in);

    // The Decreto 83.080/79 computation (larger and smaller ceiling, n/30).
    void S041088(const TNovaRmiInput& in);

    // The ceiling of the date's month from gridiinss column `side` (1 larger,
    // 2 smaller), "#,##0.00".
    std::string devolvevalorex(int side, const std::string& date);

private:
    void SalaryRows(const TNovaRmiInput& in);
    void Lei8213(const TNovaRmiInput& in);
    int AddRow(const std::string& label);
    long double Value(int col, int row) const;
    long double SomaPorDivisor(const TNovaRmiInput& in, int somaRow) const;

    TCellMatrix& Sdig_;
    TCellMatrix& Sdem_;
    TTableGrids tables_;
    std::string& marcalimite_;
    TShowMessage showMessage_;
};

// ---- the spreadsheet (page "Planilha") -------------------------------------

// The 14 column headers of planilha.
extern const char* const PlanilhaHeaders[14];
// Writes the header row and sets 14 columns.
void LayoutPlanilha(TCellMatrix& planilha);

// The four correction series that column "Correção" can follow (the items of
// ComboBox1).
extern const char* const SeriesNames[4];
// Index of the series a ComboBox1 text names (0..3), -1 for none. The
// fourth is also known without its "+".
int SeriesIndex(const std::string& name);
// The table file of the series of that index (0 to 3), and its factor grid.
const char* SeriesFile(int index);
const TCellMatrix* SeriesGrid(const TTableGrids& tables, int index);

// What the spreadsheet passes read from the wizard's controls.
struct TPlanilhaInput {
    // Date edits' texts as shown ("dd/mm/yyyy" or the empty mask).
    std::string Dataini, Datafim, DatePrescricao, Dateinicialjuros, Datefinaljuros;
    // Date edits' dates (an unreadable text reads 0, as the edit gives it).
    TDateTime DatainiDate = 0, DatePrescricaoDate = 0;
    TDateTime PropDate = 0; // Fprop.DateEdit1: start of the proportional correction
    long double Vinss = 0;  // RMI Autor (the recomputed one, "Valor Calculado")
    long double Vautor = 0; // RMI INSS (the paid one, "Valor Pago")
    long double Ejuros = 0; // interest per month, in percent
    bool Check13 = false, Cjuros = false;
    bool Cadct1 = false, Cadct2 = false, Curv = false, Cirsm = false, Csteto = false, Dteto = false;
    bool Cadct1inss = false, Cadct2inss = false, Curvinss = false;
    std::string ComboBox1; // correction series of column "Correção"
    // With interest, the prescription cut at the date itself rather than at
    // its month, as spreadsheets were computed before the month of the
    // prescription date was owed: a case saved then still adds up.
    bool PrescriptionByDay = false;
};

class TArrearsEngine {
public:
    // marcalimite is the revision form's clamp marker (Form9.marcalimite):
    // the passes write it into the columns "*". The tables are indexed on
    // first use and must not change while the engine lives: create one for
    // each BTNcorrigirClick (or each pass of a companion dialog).
    TArrearsEngine(TCellMatrix& planilha, const TTableGrids& tables, const TPlanilhaInput& in,
                   std::string& marcalimite);
    ~TArrearsEngine();
    TArrearsEngine(const TArrearsEngine&) = delete;
    TArrearsEngine& operator=(const TArrearsEngine&) = delete;

    // BTNcorrigirClick after its validations and the reloading of the tables:
    // clears planilha (three rows) and, when both Dataini and Datafim hold a
    // digit, lays out the months, fills the index columns, evolves both
    // benefits (corrigevalortt with Csteto, else corrigevalor) and computes
    // differences and totals (corrigevalor2 with Cjuros, else corrigevalor3).
    // Returns whether it computed, that is whether the wizard moves on.
    bool Calcular();

    // Month rows "mm/yyyy" in column 0 from the initial to the final date text;
    // the day of the initial date decides whether the final month is included.
    void incdata(const std::string& initial, const std::string& final);
    // Index columns 1 and 4, currency column 13, salminicial.
    void colocaindice();
    void colocaindice2();
    // Divisor of the currency change that took effect in the row's month
    // (side 1 INSS, 2 Autor; box: that side's ADCT-from-concession box).
    long double divmoeda(int side, int row, bool box) const;

    // Monthly evolution of both benefits, the correction column and the
    // thirteenth-salary rows.
    void corrigevalor();
    void corrigevalortt();
    void corrigevalorfim();
    void corrigevalorttfim();

    // Differences, correction, interest, prescription and totals.
    void corrigevalor3();
    void corrigevalor3fim();
    void corrigevalor2();
    void corrigevalor2fim();
    void fimx();
    void refazsalx();
    void refazindx();
    std::string devolvesm(const std::string& date) const;
    std::string devolveind(const std::string& date) const;

private:
    enum class Member { Plain, Fim, TT, TTFim };
    void Evolution(Member member);
    void EvolveSide(Member member, int i, TDateTime d, bool autor, long double divisor);
    void Urv(Member member, int i, TDateTime d);
    void Thirteenth(int dataRows);
    void InsertRow(int at);
    void NoInterest(int lastRow, bool appendSums);
    void WithInterest(int lastRow, bool appendRow);
    void Totals(int lastRow, bool prescriptionTest);
    void Colocaindice(bool proportional, bool cirsmOnInss);
    const TCellMatrix* ChosenSeries(const char*& file) const;
    int TableRow(const TCellMatrix& grid, const std::string& month);

    // Cell access: amounts through RemovePonto, errors naming the place.
    long double Val(int col, int row) const;
    long double Factor(int col, int row) const;
    void Put(int col, int row, long double value);
    bool Digit(int col, int row) const;
    TDateTime RowDate(int row) const;
    TDateTime ControlDate(const std::string& text, const char* control) const;
    TDateTime MonthOf(const std::string& dateText, const char* control) const;
    long double Div(long double a, long double b, int col, int row) const;

    TCellMatrix& planilha_;
    TTableGrids tables_;
    TPlanilhaInput in_;
    std::string& marcalimite_;
    struct Indexes;
    std::unique_ptr<Indexes> ix_;
};

// Copies "Data" and "Valor Pago" of planilha into the columns 0 and 1 of the
// other grid (TForm10.planilha), one row fewer.
void recalculo(const TCellMatrix& planilha, TCellMatrix& target);

// ---- the tables a calculation reads ------------------------------------------

// A table a calculation reads: the tables form's grid ("GridSalmin"), its
// file in the data folder and the months the calculation looks up in it.
struct TTableNeed {
    const char* grid;
    std::string file;
    std::vector<tabelas::TMonthSpan> months;
    // Months whose cell in this column, which may be empty, is read too.
    int column = 0;
    std::vector<tabelas::TMonthSpan> filled;
};

// Of the new RMI: the INPC series (file of the third series) for every
// salary month it corrects (not the last twelve with Catual24) and the month
// of "Atualizar até", which its factors carry them to; the minimum wage and
// the ceiling of every salary month with Csmt, and of "Atualizar até" on the
// Lei 8.213/91 road; of the final date and the month after it (the two
// ceilings, the smaller one in column 2) on the Decreto 83.080/79 road. A salary it corrects that falls
// after that month has no factor: ECalcError says so. Dates that do not read
// add no months (the validations before tell them).
std::vector<TTableNeed> NovaRmiTables(const TNovaRmiInput& in, bool Cusetabsc);

// Of the spreadsheet: the correction table (corrFile: crmensalrev3.tab or the
// own index), with its minimum wage (column 2) of the first month and of the
// months art. 58 of the ADCT reads, and the series of column "Correção"
// (indicegrid with Csteto, else the one ComboBox1 names) for every month of
// the case; with Cirsm the alternative readjustments; the minimum wage and the ceiling of every month
// after the first (the first is not limited); the proportional readjustments
// when the case reaches the date of the proportional correction, looked up by
// the first month (FirstReadjustmentRefusal tells a missing one).
std::vector<TTableNeed> PlanilhaTables(const TPlanilhaInput& in, const std::string& corrFile,
                                       bool Cusetabsc);

// ---- the benefit's first readjustment ------------------------------------------

// The column of the correction table that holds, in the row of a readjustment
// the acts give only to benefits started up to a month, that month ("Início
// até"); it is empty in every other row.
inline constexpr int StartedUpToColumn = 4;

// Whether row j of the correction table applies to a benefit started in the
// month `start` (tabelas::MonthNumber): a readjustment given only to earlier
// starts is no readjustment of this benefit, and not its first.
bool AppliesToStart(const TCellMatrix& corr, int j, int start);

// Where the proportional table has no row for the benefit's start month: the
// line of the refusal, when the start lies in the window of the readjustment
// of month `readjust` (from the readjustment before it) at or after the
// table's first row for that window, or when the table has no row of that
// window at all. A start before the first row of its window ("e anteriores")
// takes the whole readjustment: false.
bool ProportionalRowMissing(const TCellMatrix& corr, const TCellMatrix& tabatusal, int start,
                            int readjust, tabelas::TTableRefusal& refusal);

// The same before the spreadsheet is laid out, from its dates: false when the
// proportional rule is not in force for the first readjustment within the
// case, or its row is there.
bool FirstReadjustmentRefusal(const TPlanilhaInput& in, const TCellMatrix& corr,
                              const TCellMatrix& tabatusal, tabelas::TTableRefusal& refusal);

// ---- the report -------------------------------------------------------------

struct TReportInput {
    std::string Cfont, Cnomefont; // the main window's report font size and face
    std::string Enome, Enumero, Dataini, Datafim;
    TDateTime DatainiDate = 0;
    long double Vinss = 0, Vautor = 0;
    bool cpossuo = false, Curv = false, Curvinss = false;
    std::string ComboBox1;
    const TCellMatrix* Sdem = nullptr;
    const TCellMatrix* planilha = nullptr;
};

// The lines of "atual.html" (some hold CR LF inside). Texts from fields and
// cells are escaped ("&", "<", ">").
std::vector<std::string> imprixLines(const TReportInput& in);
// The whole of "atual.html" as the file holds it: the lines, each ended CR LF.
std::string imprixText(const TReportInput& in);
// Writes the report's text to DataDir/"atual.html" (Windows-1252, CR LF). A
// failed write shows, through showMessage, the file and why ("Não foi
// possível gravar o relatório "<file>": o disco está cheio") and leaves any
// previous report.
void WriteReport(const std::string& text, const std::string& DataDir, const TShowMessage& showMessage);
void imprix(const TReportInput& in, const std::string& DataDir, const TShowMessage& showMessage);

} // namespace calc

// The tables the wizard's calculations read and the months they look up in
// each, worked out from the typed dates before anything is computed, so that
// every month a table lacks is told at once.
#include <algorithm>

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"
#include "tables/table_names.h"

namespace calc {

namespace {

using tabelas::TMonthSpan;

int MonthOfDate(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return tabelas::MonthNumber(y, m);
}

// The month whose ceiling a limit at date d takes: the first month starting
// on or after d.
int CeilingMonth(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return tabelas::MonthNumber(y, m) + (day > 1 ? 1 : 0);
}

// The months laid out from the initial to the final date (incdata and
// incdata2): the day of the initial date decides whether the final month is
// in. False when either date does not read or they are the wrong way round.
bool LaidOutMonths(const std::string& initial, const std::string& final, int& first, int& count) {
    TDateTime d0, d1;
    if (!TryStrToDate(initial, d0) || !TryStrToDate(final, d1) || d1 < d0) return false;
    first = MonthOfDate(d0);
    count = 1;
    while (IncMonth(d0, count) <= d1)
        ++count;
    return true;
}

TTableNeed& Need(std::vector<TTableNeed>& needs, const char* grid, const std::string& file) {
    for (TTableNeed& n : needs)
        if (n.grid == std::string(grid)) return n;
    needs.push_back({grid, file, {}, 0, {}});
    return needs.back();
}

void AddMonths(std::vector<TTableNeed>& needs, const char* grid, const std::string& file, int first,
               int last) {
    TTableNeed& n = Need(needs, grid, file);
    if (first <= last) n.months.push_back({first, last});
}

} // namespace

std::vector<TTableNeed> NovaRmiTables(const TNovaRmiInput& in, bool Cusetabsc) {
    std::vector<TTableNeed> needs;
    int first = 0, count = 0;
    const bool salaries = LaidOutMonths(in.DateEdit1, in.DateEdit2, first, count);
    // With Catual24 the last twelve salary rows are taken as they were paid.
    const int corrected = !salaries ? 0 : in.Catual24 ? std::max(0, count - 12) : count;
    TDateTime update;
    const bool updated = TryStrToDate(in.DateEdit3, update);
    std::vector<TMonthSpan> factors;
    if (updated) {
        // The factors carry each salary to the month of "Atualizar até".
        const int to = MonthOfDate(update);
        if (corrected > 0 && first + corrected - 1 > to) {
            const int from = std::max(first, to + 1), last = first + corrected - 1;
            throw ECalcError(
                std::string(from == last ? "O salário de " + tabelas::MonthText(from) + " é"
                                         : "Os salários de " + tabelas::MonthText(from) + " a " +
                                               tabelas::MonthText(last) + " são") +
                " posterior" + (from == last ? "" : "es") + " a " + tabelas::MonthText(to) +
                ", o mês de \"Atualizar até\": os salários são corrigidos até esse mês, "
                "e nenhum índice corrige um salário posterior. Revise as datas.");
        }
        factors.push_back({to, to});
    }
    if (corrected > 0) factors.push_back({first, first + corrected - 1});
    Need(needs, "INPCGrid", tabelas::SeriesIIIFile).months = factors;

    const bool decreto = in.caplicar;
    auto limitAt = [&](TDateTime d) {
        AddMonths(needs, "GridSalmin", tabelas::SalminFile, MonthOfDate(d), MonthOfDate(d));
        // A ceiling table kept newest first gives the row in force.
        const int teto = Cusetabsc ? 0 : CeilingMonth(d);
        AddMonths(needs, "gridiinss", tabelas::InssFile, teto, Cusetabsc ? -1 : teto);
    };
    if (in.Csmt && salaries) {
        AddMonths(needs, "GridSalmin", tabelas::SalminFile, first, first + count - 1);
        if (Cusetabsc)
            Need(needs, "gridiinss", tabelas::InssFile);
        else
            AddMonths(needs, "gridiinss", tabelas::InssFile, first, first + count - 1);
    }
    TDateTime final;
    if (decreto && TryStrToDate(in.DateEdit2, final)) {
        // The salary of benefit is limited at the final date, and the two
        // ceilings are those of the month after it.
        limitAt(final);
        const int next = MonthOfDate(IncMonth(in.DateEdit2Date, 1));
        AddMonths(needs, "gridiinss", tabelas::InssFile, next, next);
        TTableNeed& teto = Need(needs, "gridiinss", tabelas::InssFile);
        teto.column = 2;
        teto.filled = {{next, next}};
    } else if (!decreto && in.Csmt && updated) {
        limitAt(update);
    }
    return needs;
}

std::vector<TTableNeed> PlanilhaTables(const TPlanilhaInput& in, const std::string& corrFile,
                                       bool Cusetabsc) {
    std::vector<TTableNeed> needs;
    int first = 0, count = 0;
    const bool laidOut = LaidOutMonths(in.Dataini, in.Datafim, first, count);
    const int last = laidOut ? first + count - 1 : -1;
    AddMonths(needs, "GridCorrRev", corrFile, first, last);
    if (laidOut) {
        // Its minimum wage, a column that may be empty, is read for the first
        // month and stands for the factor under art. 58 of the ADCT.
        TTableNeed& corr = Need(needs, "GridCorrRev", corrFile);
        corr.column = 2;
        corr.filled.push_back({first, first});
        const int adctEnd = tabelas::MonthNumber(1991, 12);
        if (in.Cadct2 || in.Cadct2inss) corr.filled.push_back({first, std::min(last, adctEnd)});
        if (in.Cadct1 || in.Cadct1inss)
            corr.filled.push_back({std::max(first, tabelas::MonthNumber(1989, 5)), std::min(last, adctEnd)});
    }
    if (in.Cirsm) AddMonths(needs, "Gridcrmensal", tabelas::CrMensalRevInssFile, first, last);
    // The proportional table serves only a first readjustment on or after the
    // date of the proportional correction.
    if (laidOut && last >= MonthOfDate(in.PropDate)) Need(needs, "tabatusal", tabelas::AtuaprevFile);
    // Every month after the first is limited by its minimum wage and ceiling.
    AddMonths(needs, "GridSalmin", tabelas::SalminFile, first + 1, last);
    AddMonths(needs, "gridiinss", tabelas::InssFile, first + 1, Cusetabsc ? -1 : last);
    // The carry without ceiling corrects by the INPC series whatever ComboBox1
    // says.
    const int k = in.Csteto ? 0 : SeriesIndex(in.ComboBox1);
    static const char* const grids[] = {"INPCGrid", "SRevisaoI", "SRevisaoII", "SRevisaoIII"};
    if (k >= 0) AddMonths(needs, grids[k], SeriesFile(k), first, last);
    return needs;
}

} // namespace calc

namespace calc {

namespace {

// The month of a table row's key; -1 for another key.
int RowMonth(const TCellMatrix& table, int row) {
    int m;
    return tabelas::KeyMonth(table.Cell(0, row), m) ? m : -1;
}

bool Readjusts(const TCellMatrix& corr, int row) {
    const std::string& factor = corr.Cell(1, row);
    return !factor.empty() && factor != "1";
}

} // namespace

bool AppliesToStart(const TCellMatrix& corr, int j, int start) {
    const std::string& upTo = corr.Cell(StartedUpToColumn, j);
    int last;
    return upTo.empty() || !tabelas::KeyMonth(upTo, last) || start <= last;
}

bool ProportionalRowMissing(const TCellMatrix& corr, const TCellMatrix& tabatusal, int start,
                            int readjust, tabelas::TTableRefusal& refusal) {
    // The window opens at the readjustment every benefit started by then
    // received: the last before the start (the start itself had none).
    int opens = -1;
    for (int r = 1; r < corr.RowCount(); ++r) {
        const int m = RowMonth(corr, r);
        if (m >= 0 && m <= start && Readjusts(corr, r) && corr.Cell(StartedUpToColumn, r).empty())
            opens = std::max(opens, m);
    }
    int firstRow = -1;
    for (int r = 1; r < tabatusal.RowCount(); ++r) {
        const int m = RowMonth(tabatusal, r);
        if (m == start) return false;
        if (m >= opens && m < readjust && (firstRow < 0 || m < firstRow)) firstRow = m;
    }
    if (firstRow >= 0 && start < firstRow) return false;
    const std::string startText = tabelas::MonthText(start), readjustText = tabelas::MonthText(readjust);
    refusal.file = tabelas::AtuaprevFile;
    refusal.problem = "não tem o mês " + startText + ", em que o benefício começou, para o seu "
                      "primeiro reajuste, o de " + readjustText + ", que é proporcional";
    if (firstRow < 0)
        refusal.problem += std::string(": não tem nenhum mês desse reajuste") +
                           (opens >= 0 ? " (inícios de " + tabelas::MonthText(opens) + " a " +
                                             tabelas::MonthText(readjust - 1) + ")"
                                       : "");
    refusal.action = "acrescente o mês " + startText + " com o percentual que o anexo do ato do "
                     "reajuste de " + readjustText + " dá aos benefícios iniciados nesse mês (uma "
                     "linha com o mês, um TAB e o percentual com vírgula, como \"" + startText +
                     "\" e \"2,5\" para 2,5 %, no seu lugar entre os outros meses)";
    return true;
}

bool FirstReadjustmentRefusal(const TPlanilhaInput& in, const TCellMatrix& corr,
                              const TCellMatrix& tabatusal, tabelas::TTableRefusal& refusal) {
    int start = 0, count = 0;
    if (!LaidOutMonths(in.Dataini, in.Datafim, start, count)) return false;
    const int last = start + count - 1;
    for (int r = 1; r < corr.RowCount(); ++r) {
        const int m = RowMonth(corr, r);
        if (m < start || m > last || !Readjusts(corr, r) || !AppliesToStart(corr, r, start))
            continue;
        // A benefit started in a readjustment's month takes the next one whole.
        if (m == start) return false;
        TDateTime d;
        if (!TryEncodeDate(m / 12, m % 12 + 1, 1, d) || d < in.PropDate) return false;
        return ProportionalRowMissing(corr, tabatusal, start, m, refusal);
    }
    return false;
}

} // namespace calc

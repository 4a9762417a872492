#include "revision/arrears_engine.h"

#include <algorithm>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/amount_text.h"
#include "revision/arrears_internal.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"

namespace calc {

long double salminicial = 0;
long double urvautor[4] = {0, 0, 0, 0};
long double urvinss[4] = {0, 0, 0, 0};
long double mediaurvautor = 0, mediaurvinss = 0;
long double valorurvautor = 0, valorurvinss = 0;

const char* const SdigHeaders[2] = {"Data", "Salário"};
const char* const SdemHeaders[5] = {"Data", "Salário", "Índice", "Salário corrigido", ""};
const char* const PlanilhaHeaders[14] = {
    "Data",      "Índice Autor", "Valor Calculado", "*",     "Índice INSS", "Valor Pago", "*",
    "Diferença", "Correção",     "Valor Corrigido", "Juros", "Total",       "",           "Moeda"};
const char* const SeriesNames[4] = {
    "ortn-otn-ipc-btn-ipc-inpc-irsm-urv-ipcr-inpc",
    "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi",
    "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(01-2004)",
    "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004+)",
};

int SeriesIndex(const std::string& name) {
    for (int i = 0; i < 4; ++i)
        if (name == SeriesNames[i]) return i;
    if (name == "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004)") return 3;
    return -1;
}

const char* SeriesFile(int index) {
    // indicegrid comes from the INPC table, the third series' file.
    static const char* const files[] = {tabelas::SeriesIIIFile, tabelas::SeriesIFile,
                                        tabelas::SeriesIIFile, tabelas::SeriesIIIFile};
    return files[index];
}

const TCellMatrix* SeriesGrid(const TTableGrids& tables, int index) {
    const TCellMatrix* const grids[] = {tables.indicegrid, tables.SRVI, tables.SRVII,
                                        tables.SRVIII};
    return grids[index];
}

bool checkinteiro(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long double RemovePonto(const std::string& text) {
    return amount_text::ParseKept(amount_text::KeepNumberChars(text));
}

std::string formatfloatx(const std::string& format, long double value) {
    return FormatFloat(format, value);
}

void LayoutPlanilha(TCellMatrix& planilha) {
    planilha.SetColCount(14);
    if (planilha.RowCount() < 2) planilha.SetRowCount(2);
    for (int c = 0; c < 14; ++c)
        planilha.SetCell(c, 0, PlanilhaHeaders[c]);
}

void recalculo(const TCellMatrix& planilha, TCellMatrix& target) {
    target.SetRowCount(planilha.RowCount());
    if (target.ColCount() < 2) target.SetColCount(2);
    for (int r = 0; r < planilha.RowCount(); ++r) {
        target.SetCell(0, r, planilha.Cell(0, r));
        target.SetCell(1, r, planilha.Cell(5, r));
    }
    target.SetRowCount(planilha.RowCount() - 1);
}

namespace detail {

const TCellMatrix& Grid(const TCellMatrix* grid) {
    static const TCellMatrix empty(1, 1);
    return grid ? *grid : empty;
}

std::string Fmt(long double value) {
    return FormatFloat("#,##0.00", CheckFinite(value));
}

long double CellAmount(const TCellMatrix& grid, int col, int row, const std::string& column) {
    const std::string& text = grid.Cell(col, row);
    try {
        // A typed "529.05" must not read as 52905 while the report prints it.
        if (amount_text::IsAmountText(text)) return RemovePonto(text);
    } catch (const EConvertError&) {
    }
    throw ECellValueError(CellValueMessage(RowLabel(grid.Cell(0, row), row), column, text));
}

bool StartsWith12(const std::string& month) {
    return month.size() >= 2 && month[0] == '1' && month[1] == '2';
}

bool TryMonthStart(const std::string& month, TDateTime& date) {
    // The month keys are "mm/yyyy" almost always: read those directly, and
    // leave every other shape to StrToDate.
    auto digit = [&](int i) { return month[i] >= '0' && month[i] <= '9'; };
    if (month.size() == 7 && digit(0) && digit(1) && month[2] == FormatSettings.DateSeparator &&
        digit(3) && digit(4) && digit(5) && digit(6)) {
        int m = (month[0] - '0') * 10 + (month[1] - '0');
        int y = (month[3] - '0') * 1000 + (month[4] - '0') * 100 + (month[5] - '0') * 10 +
                (month[6] - '0');
        return TryEncodeDate(y, m, 1, date);
    }
    return TryStrToDate("01/" + month, date);
}

} // namespace detail

using namespace detail;

// ---------------------------------------------------------------------------

TArrearsEngine::Indexes::Indexes(const TTableGrids& tables, std::string& marcalimite)
    : limiter(Grid(tables.GridSalmin), Grid(tables.gridiinss), tables.Cusetabsc, marcalimite) {}

TArrearsEngine::TArrearsEngine(TCellMatrix& planilha, const TTableGrids& tables,
                               const TPlanilhaInput& in, std::string& marcalimite)
    : planilha_(planilha), tables_(tables), in_(in), marcalimite_(marcalimite),
      ix_(std::make_unique<Indexes>(tables, marcalimite)) {}

TArrearsEngine::~TArrearsEngine() = default;

namespace {

const char* ColumnName(int col) {
    if (col >= 0 && col < 14) return PlanilhaHeaders[col];
    if (col == 14) return "Valor Calculado sem teto";
    if (col == 15) return "Valor Pago sem teto";
    return "";
}

} // namespace

long double TArrearsEngine::Val(int col, int row) const {
    return CellAmount(planilha_, col, row, ColumnName(col));
}

long double TArrearsEngine::Factor(int col, int row) const {
    return Val(col, row);
}

void TArrearsEngine::Put(int col, int row, long double value) {
    planilha_.SetCell(col, row, Fmt(value));
}

bool TArrearsEngine::Digit(int col, int row) const {
    return checkinteiro(planilha_.Cell(col, row));
}

TDateTime TArrearsEngine::RowDate(int row) const {
    const std::string& month = planilha_.Cell(0, row);
    TDateTime d;
    if (!TryMonthStart(month, d))
        throw ECellValueError("Data inválida na linha " + IntToStr(row) + ", coluna Data: '" +
                              month + "'");
    return d;
}

TDateTime TArrearsEngine::ControlDate(const std::string& text, const char* control) const {
    TDateTime d;
    if (!TryStrToDate(text, d))
        throw ECellValueError(std::string("Data inválida em ") + control + ": '" + text + "'");
    return d;
}

// The first day of the month of a date text: "01/" + its characters 4 to 10.
TDateTime TArrearsEngine::MonthOf(const std::string& dateText, const char* control) const {
    return ControlDate("01/" + Copy(dateText, 4, 7), control);
}

long double TArrearsEngine::Div(long double a, long double b, int col, int row) const {
    if (b == 0)
        throw ECalcError("Divisão por zero na linha " + RowLabel(planilha_.Cell(0, row), row) +
                         ", coluna " + ColumnName(col) + ": o valor é zero");
    return CheckFinite(a / b);
}

int TArrearsEngine::TableRow(const TCellMatrix& grid, const std::string& month) {
    auto found = ix_->monthRows.find(&grid);
    if (found == ix_->monthRows.end()) {
        std::unordered_map<std::string, int> rows;
        rows.reserve(grid.RowCount() * 2);
        for (int r = 1; r < grid.RowCount(); ++r)
            rows.emplace(grid.Cell(0, r), r);
        found = ix_->monthRows.emplace(&grid, std::move(rows)).first;
    }
    auto row = found->second.find(month);
    return row == found->second.end() ? -1 : row->second;
}

// ---------------------------------------------------------------------------

bool TArrearsEngine::Calcular() {
    planilha_.SetColCount(14);
    for (int r = 1; r < planilha_.RowCount(); ++r)
        for (int c = 0; c < planilha_.ColCount(); ++c)
            planilha_.SetCell(c, r, "");
    planilha_.SetRowCount(3);
    if (!checkinteiro(in_.Dataini) || !checkinteiro(in_.Datafim)) return false;
    incdata(in_.Dataini, in_.Datafim);
    colocaindice();
    if (in_.Csteto)
        corrigevalortt();
    else
        corrigevalor();
    if (in_.Cjuros)
        corrigevalor2();
    else
        corrigevalor3();
    return true;
}

void TArrearsEngine::incdata(const std::string& initial, const std::string& final) {
    TDateTime d0 = ControlDate(initial, "Data Inicial (DIB)");
    TDateTime d1 = ControlDate(final, "Data Final");
    int n = 1;
    while (IncMonth(d0, n) <= d1)
        ++n;
    planilha_.SetRowCount(n + 1);
    for (int i = 1; i <= n; ++i)
        planilha_.SetCell(0, i, FormatDateTime("mm/yyyy", IncMonth(d0, i - 1)));
}

long double TArrearsEngine::divmoeda(int /*side*/, int row, bool box) const {
    const std::string& m = planilha_.Cell(0, row);
    if (m == "03/1994") return 661.0052L;
    if (m == "08/1993") return 1000;
    if (!box && (m == "03/1986" || m == "01/1989")) return 1000;
    return 1;
}

void TArrearsEngine::colocaindice() {
    Colocaindice(true, false);
}

void TArrearsEngine::colocaindice2() {
    Colocaindice(false, true);
}

void TArrearsEngine::Colocaindice(bool proportional, bool cirsmOnInss) {
    const TCellMatrix& corr = Grid(tables_.GridCorrRev);
    const TCellMatrix& crmensal = Grid(tables_.Gridcrmensal);
    const TCellMatrix& tabatusal = Grid(tables_.tabatusal);
    const TDateTime adctStart = EncodeDate(1989, 5, 1), adctEnd = EncodeDate(1991, 12, 1);
    bool proportionalDone = !proportional;
    // A proportional table holds the percentages of the readjustment's last
    // act: a supplement that act gave only to earlier starts is already in
    // them, up to the next readjustment.
    bool proportionalMade = false;
    int start = -1;
    tabelas::KeyMonth(planilha_.Cell(0, 1), start);
    for (int i = 1; i < planilha_.RowCount(); ++i) {
        const std::string month = planilha_.Cell(0, i);
        TDateTime d = RowDate(i);
        planilha_.SetCell(1, i, "1");
        // The scan writes "1" into both columns for every row it passes.
        if (corr.RowCount() > 1) planilha_.SetCell(4, i, "1");
        // A month the table lacks has no factor: reading it as 1 would drop
        // that month's readjustment from every later month.
        int j = TableRow(corr, month);
        if (j < 0) MissingMonth(month, tabelas::CrMensalRev3File);

        // A readjustment the acts give only to benefits started up to a month
        // is none for a later start.
        const bool supplement = !corr.Cell(StartedUpToColumn, j).empty();
        if (proportionalMade && !supplement && corr.Cell(1, j) != "1") proportionalMade = false;
        const std::string& factor =
            AppliesToStart(corr, j, start) && !(proportionalMade && supplement) ? corr.Cell(1, j) : "1";
        planilha_.SetCell(1, i, factor);
        planilha_.SetCell(4, i, factor);
        if (in_.Cirsm) {
            // By month, not GridCorrRev's row number: the two tables' rows need not match.
            int k = TableRow(crmensal, month);
            if (k < 0) MissingMonth(month, tabelas::CrMensalRevInssFile);
            planilha_.SetCell(cirsmOnInss ? 4 : 1, i,
                              AppliesToStart(crmensal, k, start) ? crmensal.Cell(1, k) : "1");
        }
        planilha_.SetCell(13, i, corr.Cell(3, j));

        // Proportional first readjustment: at the benefit's first readjusting
        // month, when that is on or after the proportional-correction date.
        // A first readjustment before that date is entered by hand: a later
        // one is not the first, and takes its full factor.
        if (!proportionalDone && planilha_.Cell(1, i) != "1") {
            proportionalDone = true;
            if (i > 1 && d >= in_.PropDate && planilha_.Cell(1, 1) == "1") {
                const std::string first = planilha_.Cell(0, 1);
                // Without the start month's row the whole readjustment would
                // stay in every later month: only a start before its window's
                // first row takes it whole.
                tabelas::TTableRefusal refusal;
                int readjust = -1;
                tabelas::KeyMonth(month, readjust);
                if (TableRow(tabatusal, first) < 0 &&
                    ProportionalRowMissing(corr, tabatusal, start, readjust, refusal))
                    throw ECalcError("O cálculo não foi feito: a tabela " + refusal.file + " " +
                                     refusal.problem + ". Para calcular, " + refusal.action + ".");
                for (int t = 1; t < tabatusal.RowCount(); ++t) {
                    if (tabatusal.Cell(0, t) != first) continue;
                    const std::string& pct = tabatusal.Cell(1, t);
                    long double p;
                    try {
                        p = RemovePonto(pct);
                    } catch (const EConvertError&) {
                        throw ECellValueError(CellValueMessage(
                            first + " da tabela " + tabelas::AtuaprevFile, "1", pct));
                    }
                    std::string factor = formatfloatx("#,##0.000000", p / 100 + 1);
                    planilha_.SetCell(1, i, factor);
                    planilha_.SetCell(4, i, factor);
                    proportionalMade = true;
                }
            }
        }

        if (i == 1) {
            const std::string& minimo = corr.Cell(2, j);
            try {
                salminicial = RemovePonto(minimo);
            } catch (const EConvertError&) {
                throw ECellValueError(CellValueMessage(
                    month + " da tabela " + tabelas::CrMensalRev3File, "Salário Mínimo", minimo));
            }
        }

        // ADCT art. 58: the month's minimum wage stands for the factor, so the
        // benefit keeps its number of minimum wages.
        const std::string& minimumWage = corr.Cell(2, j);
        if (in_.Cadct2 && d <= adctEnd) planilha_.SetCell(1, i, minimumWage);
        if (in_.Cadct1 && d >= adctStart && d <= adctEnd) planilha_.SetCell(1, i, minimumWage);
        if (in_.Cadct2inss && d <= adctEnd) planilha_.SetCell(4, i, minimumWage);
        if (in_.Cadct1inss && d >= adctStart && d <= adctEnd) planilha_.SetCell(4, i, minimumWage);
    }
}

namespace {

// The last row whose column 0 is the date's month gives the value; "1" when
// none does.
std::string LastMatch(const TCellMatrix& grid, const std::string& date) {
    std::string key = Copy(date, 4, 7), result = "1";
    for (int r = 1; r < grid.RowCount(); ++r)
        if (grid.Cell(0, r) == key) result = grid.Cell(1, r);
    return result;
}

} // namespace

std::string TArrearsEngine::devolvesm(const std::string& date) const {
    return LastMatch(Grid(tables_.GridSalmin), date);
}

std::string TArrearsEngine::devolveind(const std::string& date) const {
    return LastMatch(Grid(tables_.GridCorrRev), date);
}

} // namespace calc

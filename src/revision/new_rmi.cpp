// The new RMI worksheet: the typed salaries of Sdig corrected and summed in
// Sdem, under Lei 8.213/91 or Decreto 83.080/79.
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/arrears_internal.h"
#include "tables/table_names.h"

namespace calc {

using namespace detail;

namespace {

TDateTime DateOf(const std::string& text, const char* control) {
    TDateTime d;
    if (!TryStrToDate(text, d))
        throw ECellValueError(std::string("Data inválida em ") + control + ": '" + text + "'");
    return d;
}

long double ValueOf(const TCellMatrix& grid, int col, int row, const char* const* headers,
                    int headerCount) {
    return CellAmount(grid, col, row, col < headerCount ? headers[col] : "");
}

} // namespace

TNovaRmi::TNovaRmi(TCellMatrix& Sdig, TCellMatrix& Sdem, const TTableGrids& tables,
                   std::string& marcalimite, TShowMessage showMessage)
    : Sdig_(Sdig), Sdem_(Sdem), tables_(tables), marcalimite_(marcalimite),
      showMessage_(std::move(showMessage)) {}

long double TNovaRmi::Value(int col, int row) const {
    return ValueOf(Sdem_, col, row, SdemHeaders, 5);
}

int TNovaRmi::AddRow(const std::string& label) {
    int row = Sdem_.RowCount();
    Sdem_.SetRowCount(row + 1);
    for (int c = 0; c < Sdem_.ColCount(); ++c)
        Sdem_.SetCell(c, row, "");
    Sdem_.SetCell(0, row, label);
    return row;
}

void TNovaRmi::incdata2(const std::string& initial, const std::string& final) {
    TDateTime d0 = DateOf(initial, "Data Inicial");
    TDateTime d1 = DateOf(final, "Data Final");
    int n = 1;
    while (IncMonth(d0, n) <= d1)
        ++n;
    Sdig_.SetRowCount(n + 1);
    Sdem_.SetRowCount(n + 1);
    for (int i = 1; i <= n; ++i) {
        std::string month = FormatDateTime("mm/yyyy", IncMonth(d0, i - 1));
        Sdig_.SetCell(0, i, month);
        Sdem_.SetCell(0, i, month);
    }
    // One merge pass: a month the table lacks stops the filling there.
    const TCellMatrix& indices = Grid(tables_.indicegrid);
    int j = 1;
    for (int r = 1; r < indices.RowCount(); ++r) {
        if (j <= Sdem_.RowCount() - 1 && indices.Cell(0, r) == Sdem_.Cell(0, j)) {
            Sdem_.SetCell(2, j, indices.Cell(1, r));
            ++j;
        }
    }
}

std::string TNovaRmi::Calcular(const TNovaRmiInput& in) {
    if (Sdem_.ColCount() < 5) Sdem_.SetColCount(5);
    for (int r = 1; r < Sdem_.RowCount(); ++r)
        for (int c = 0; c < Sdem_.ColCount(); ++c)
            Sdem_.SetCell(c, r, "");
    incdata2(in.DateEdit1, in.DateEdit2);
    // A salary whose month the index table lacks would go uncorrected, and
    // every later one with it: the calculation stops instead. The last
    // twelve, when they are not corrected, need no factor.
    const int corrected = in.Catual24 ? Sdig_.RowCount() - 13 : Sdem_.RowCount() - 1;
    for (int r = 1; r <= corrected && r < Sdem_.RowCount(); ++r)
        if (Sdem_.Cell(2, r).empty()) MissingMonth(Sdem_.Cell(0, r), tabelas::SeriesIIIFile);
    if (in.caplicar)
        S041088(in);
    else
        Lei8213(in);
    return Sdem_.Cell(3, Sdem_.RowCount() - 1);
}

void TNovaRmi::SalaryRows(const TNovaRmiInput& in) {
    revisao::TValueLimiter limiter(Grid(tables_.GridSalmin), Grid(tables_.gridiinss),
                                   tables_.Cusetabsc, marcalimite_);
    const int limit = Sdig_.RowCount() - 13;
    for (int r = 1; r <= Sdig_.RowCount() - 1; ++r) {
        if (!checkinteiro(Sdig_.Cell(1, r))) Sdig_.SetCell(1, r, "0");
        Sdem_.SetCell(1, r, Fmt(ValueOf(Sdig_, 1, r, SdigHeaders, 2)));
        // The last twelve salaries are taken as they were paid.
        if (in.Catual24 && r > limit) Sdem_.SetCell(2, r, "1");
        if (in.Csmt) {
            // Each salary is limited by the minimum wage and the ceiling of its
            // own month, in the currency it was paid in, and then corrected.
            std::string limited = limiter.devolvevalor(Sdem_.Cell(1, r), "01/" + Sdem_.Cell(0, r));
            Sdem_.SetCell(4, r, marcalimite_);
            Sdem_.SetCell(3, r, Fmt(RemovePonto(limited) * Value(2, r)));
        } else {
            Sdem_.SetCell(3, r, Fmt(Value(1, r) * Value(2, r)));
        }
    }
}

long double TNovaRmi::SomaPorDivisor(const TNovaRmiInput& in, int somaRow) const {
    if (in.divisor == 0) throw ECalcError("O divisor não pode ser zero");
    return Value(3, somaRow) / in.divisor;
}

void TNovaRmi::Lei8213(const TNovaRmiInput& in) {
    if (!checkinteiro(Sdig_.Cell(0, 1))) {
        if (showMessage_) showMessage_("primeiro clique no botão Iniciar");
        return;
    }
    SalaryRows(in);
    const int salaries = Sdig_.RowCount() - 1;
    long double soma = 0;
    for (int r = 1; r <= salaries; ++r)
        soma += Value(3, r);

    int somaRow = AddRow("Soma");
    Sdem_.SetCell(3, somaRow, Fmt(soma));

    int sbRow = AddRow("SB");
    Sdem_.SetCell(2, sbRow, Sdem_.Cell(3, somaRow) + " : " + in.divisorText);
    long double sb = SomaPorDivisor(in, somaRow);
    Sdem_.SetCell(3, sbRow, Fmt(sb));

    revisao::TValueLimiter limiter(Grid(tables_.GridSalmin), Grid(tables_.gridiinss),
                                   tables_.Cusetabsc, marcalimite_);
    int coefRow = AddRow("Coeficiente:");
    Sdem_.SetCell(2, coefRow, Fmt(sb) + " x " + in.coefText);
    Sdem_.SetCell(3, coefRow, Fmt(in.coef * sb));
    if (in.Csmt) {
        std::string limited = limiter.devolvevalor(Sdem_.Cell(3, coefRow), in.DateEdit3);
        Sdem_.SetCell(3, coefRow, limited);
        Sdem_.SetCell(4, coefRow, marcalimite_);
    }

    int rmiRow = AddRow("RMI");
    Sdem_.SetCell(2, rmiRow, in.DateEdit3);
    Sdem_.SetCell(3, rmiRow, Fmt(Value(3, coefRow)));
    if (in.Csmt) {
        std::string limited = limiter.devolvevalor(Sdem_.Cell(3, rmiRow), in.DateEdit3);
        Sdem_.SetCell(3, rmiRow, limited);
        Sdem_.SetCell(4, rmiRow, marcalimite_);
    }
}

void TNovaRmi::S041088(const TNovaRmiInput& in) {
    if (!checkinteiro(Sdig_.Cell(0, 1))) {
        if (showMessage_) showMessage_("primeiro clique no botão Iniciar");
        return;
    }
    SalaryRows(in);
    const int salaries = Sdig_.RowCount() - 1;
    long double soma = 0;
    for (int r = 1; r <= salaries; ++r)
        soma += Value(3, r);

    int somaRow = AddRow("Soma");
    Sdem_.SetCell(3, somaRow, Fmt(soma));

    revisao::TValueLimiter limiter(Grid(tables_.GridSalmin), Grid(tables_.gridiinss),
                                   tables_.Cusetabsc, marcalimite_);
    int sbRow = AddRow("SB");
    Sdem_.SetCell(2, sbRow, Sdem_.Cell(3, somaRow) + " : " + in.divisorText);
    Sdem_.SetCell(3, sbRow, limiter.devolvevalor(Fmt(SomaPorDivisor(in, somaRow)), in.DateEdit2));
    const long double sb = Value(3, sbRow);

    const std::string ceilingDate = FormatDateTime("dd/mm/yyyy", IncMonth(in.DateEdit2Date, 1));
    int maiorRow = AddRow("Maior teto");
    Sdem_.SetCell(2, maiorRow, devolvevalorex(1, ceilingDate));
    int menorRow = AddRow("Menor teto");
    Sdem_.SetCell(2, menorRow, devolvevalorex(2, ceilingDate));

    if (!checkinteiro(Sdem_.Cell(2, menorRow)) || !checkinteiro(Sdem_.Cell(3, sbRow))) return;
    const long double menor = Value(2, menorRow);
    if (menor >= sb) {
        int basica = AddRow("Parcela Básica RMI:");
        Sdem_.SetCell(2, basica, Fmt(sb) + " x " + in.coefText);
        Sdem_.SetCell(3, basica, Fmt(in.coef * sb));
        int rmi = AddRow("RMI:");
        std::string value = Sdem_.Cell(3, basica);
        Sdem_.SetCell(3, rmi, value);
        return;
    }
    // Above the smaller ceiling the coefficient applies to that ceiling, and
    // n/30 of the excess is added without it.
    int basica = AddRow("Parcela Básica RMI:");
    Sdem_.SetCell(2, basica, Fmt(menor) + " x " + in.coefText);
    Sdem_.SetCell(3, basica, Fmt(in.coef * menor));
    int adicional = AddRow("Parcela Adicional RMI (" + in.umtrintaText + "/30)");
    Sdem_.SetCell(3, adicional, Fmt(in.umtrinta * ((sb - menor) / 30)));
    int rmi = AddRow("RMI:");
    Sdem_.SetCell(3, rmi, Fmt(Value(3, basica) + Value(3, adicional)));
}

std::string TNovaRmi::devolvevalorex(int side, const std::string& date) {
    const std::string key = Copy(date, 4, 7);
    const TCellMatrix& teto = Grid(tables_.gridiinss);
    for (int r = 1; r < teto.RowCount(); ++r) {
        if (teto.Cell(0, r) != key) continue;
        const std::string& text = teto.Cell(side, r);
        try {
            return Fmt(RemovePonto(text));
        } catch (const EConvertError&) {
            throw ECellValueError(
                CellValueMessage(key + " da tabela " + tabelas::InssFile, IntToStr(side), text));
        }
    }
    MissingMonth(key, tabelas::InssFile);
}

} // namespace calc

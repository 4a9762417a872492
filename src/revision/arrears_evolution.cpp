// The monthly evolution of the two benefits in planilha: column 2 (Autor, the
// recomputed RMI) and column 5 (INSS, the paid RMI), the correction column 8
// and the thirteenth-salary rows.
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/arrears_internal.h"
#include "tables/table_names.h"

namespace calc {

using namespace detail;

namespace {

// Autor and INSS factors of 04/1994 to 07/1994 when the URV mean is applied.
const char* const kUrvFactors[4] = {"1,4379", "1,4220", "1,4417", "1,4408"};

// URV divisors of 11/1993, 12/1993, 01/1994 and 02/1994.
const long double kUrvDivisors[4] = {238.32L, 327.90L, 458.16L, 637.64L};
const long double kUrvDivisorsIrsm[4] = {178.97L, 241.65L, 333.17L, 466.66L};

} // namespace

void TArrearsEngine::corrigevalor() {
    Evolution(Member::Plain);
}

void TArrearsEngine::corrigevalortt() {
    Evolution(Member::TT);
}

void TArrearsEngine::corrigevalorfim() {
    Evolution(Member::Fim);
}

void TArrearsEngine::corrigevalorttfim() {
    Evolution(Member::TTFim);
}

const TCellMatrix* TArrearsEngine::ChosenSeries(const char*& file) const {
    const std::string& name = in_.ComboBox1;
    const int k = SeriesIndex(name);
    if (k >= 0) {
        file = SeriesFile(k);
        return &Grid(SeriesGrid(tables_, k));
    }
    throw ECalcError("Índice de correção desconhecido: '" + name + "'");
}

void TArrearsEngine::Evolution(Member member) {
    const bool tt = member == Member::TT || member == Member::TTFim;
    const TCellMatrix* series = nullptr;
    const char* seriesFile = tabelas::SeriesIIIFile;
    if (member == Member::Plain)
        series = ChosenSeries(seriesFile);
    else if (member == Member::TT)
        series = &Grid(tables_.indicegrid);
    const int lastRow = planilha_.RowCount() - (member == Member::Fim ? 2 : 1);

    // The carry without ceiling keeps the unlimited values in two working
    // columns for the length of the pass.
    if (tt) planilha_.SetColCount(16);
    if (planilha_.RowCount() > 1) {
        switch (member) {
        case Member::Plain:
            Put(2, 1, in_.Vinss);
            Put(5, 1, in_.Vautor);
            break;
        case Member::TT:
            Put(2, 1, in_.Vinss);
            Put(14, 1, in_.Vinss);
            Put(5, 1, in_.Vautor);
            Put(15, 1, in_.Vautor);
            break;
        case Member::TTFim:
            Put(14, 1, Val(2, 1));
            Put(15, 1, Val(5, 1));
            break;
        case Member::Fim:
            break;
        }
    }

    const TDateTime lastUnpaid = EncodeDate(1977, 4, 1);
    for (int i = 1; i <= lastRow; ++i) {
        const std::string month = planilha_.Cell(0, i);
        TDateTime d = RowDate(i);

        if (member != Member::TT && (in_.Curv || in_.Curvinss)) {
            int y, m, day;
            DecodeDate(d, y, m, day);
            if (y == 1994 && m >= 4 && m <= 7 && day == 1) {
                if (in_.Curv) planilha_.SetCell(1, i, kUrvFactors[m - 4]);
                if (in_.Curvinss) planilha_.SetCell(4, i, kUrvFactors[m - 4]);
            }
        }

        if (series && series->RowCount() > 1) {
            int j = TableRow(*series, month);
            if (j < 0) MissingMonth(month, seriesFile);
            planilha_.SetCell(8, i, series->Cell(1, j));
        }

        long double dA = divmoeda(2, i, in_.Cadct2);
        if (d <= lastUnpaid) continue;
        EvolveSide(member, i, d, true, dA);
        planilha_.SetCell(3, i, marcalimite_);
        long double dI = divmoeda(1, i, in_.Cadct2inss);
        EvolveSide(member, i, d, false, dI);
        planilha_.SetCell(6, i, marcalimite_);
        Urv(member, i, d);
    }

    if (in_.Check13) Thirteenth(lastRow);
    if (tt) planilha_.SetColCount(14);
}

void TArrearsEngine::EvolveSide(Member member, int i, TDateTime d, bool autor,
                                long double divisor) {
    const bool tt = member == Member::TT || member == Member::TTFim;
    const int valueCol = autor ? 2 : 5, factorCol = autor ? 1 : 4, workCol = autor ? 14 : 15;
    const int prevCol = tt ? workCol : valueCol;
    const bool fromConcession = autor ? in_.Cadct2 : in_.Cadct2inss;
    const bool from1989 = autor ? in_.Cadct1 : in_.Cadct1inss;
    const TDateTime adctStart = EncodeDate(1989, 5, 1), adctEnd = EncodeDate(1991, 12, 1);
    if (!Digit(prevCol, i - 1)) return;

    revisao::TValueLimiter& limiter = ix_->limiter;
    // workCut: whether the working column of the carry without ceiling is
    // cut at the ceiling.
    auto write = [&](long double value, bool workCut, const char* label) {
        std::string text = Fmt(value);
        if (!tt) {
            planilha_.SetCell(valueCol, i, limiter.devolvevalorstAtMonth(text, d, in_.Dteto));
            return;
        }
        planilha_.SetCell(workCol, i, limiter.devolvevalorstAtMonth(text, d, workCut));
        planilha_.SetCell(valueCol, i, limiter.devolvevalorAtMonth(text, d));
        if (label) planilha_.SetCell(12, i, label);
    };
    // Under ADCT art. 58 the factor columns hold the month's minimum wage:
    // the benefit keeps its number of minimum wages.
    auto keepWages = [&] {
        return Div(Val(prevCol, i - 1), Factor(factorCol, i - 1), factorCol, i - 1) *
               Factor(factorCol, i) / divisor;
    };

    write(Factor(factorCol, i) * Val(prevCol, i - 1) / divisor, autor ? false : in_.Dteto, nullptr);
    if (fromConcession && d <= adctEnd) write(keepWages(), in_.Dteto, "(ADCT)");
    if (from1989 && d >= adctStart && d <= adctEnd) {
        if (d == adctStart) {
            if (salminicial == 0)
                throw ECalcError("Falta o salário mínimo do primeiro mês do cálculo (" +
                                 planilha_.Cell(0, 1) +
                                 ") na tabela " + std::string(tabelas::CrMensalRev3File) + ": o art. 58 do ADCT "
                                 "não pode ser aplicado");
            write(Val(prevCol, 1) / salminicial * Factor(factorCol, i) / divisor, in_.Dteto,
                  nullptr);
        } else {
            write(keepWages(), in_.Dteto, autor ? "(ADCT)" : "ADCT");
        }
    }
}

void TArrearsEngine::Urv(Member member, int i, TDateTime d) {
    const bool tt = member == Member::TT || member == Member::TTFim;
    if (planilha_.Cell(0, i) != "03/1994") return;
    if (!(in_.DatainiDate < EncodeDate(1994, 3, 1))) return;
    if (tt && !in_.Curvinss) return;

    const long double* autorDivisors = (!tt && in_.Cirsm) ? kUrvDivisorsIrsm : kUrvDivisors;
    const int autorCol = tt ? 14 : 2, inssCol = tt ? 15 : 5;
    long double sumAutor = 0, sumInss = 0;
    int count = 0;
    for (int k = 4; k >= 1; --k) {
        int m = 4 - k; // 11/1993, 12/1993, 01/1994, 02/1994
        if (i - k < 1) {
            urvautor[m] = urvinss[m] = 0;
            continue;
        }
        urvautor[m] = Val(autorCol, i - k) / autorDivisors[m];
        urvinss[m] = Val(inssCol, i - k) / kUrvDivisors[m];
        sumAutor += urvautor[m];
        sumInss += urvinss[m];
        ++count;
    }
    if (count == 0) return;
    mediaurvautor = sumAutor / count;
    valorurvautor = mediaurvautor * 913.5L;
    if (!(sumInss > 0)) return;
    mediaurvinss = sumInss / count;
    valorurvinss = mediaurvinss * 913.5L;

    revisao::TValueLimiter& limiter = ix_->limiter;
    if (!tt) {
        if (in_.Curv) planilha_.SetCell(2, i, limiter.devolvevalorAtMonth(Fmt(valorurvautor), d));
        if (in_.Curvinss)
            planilha_.SetCell(5, i, limiter.devolvevalorAtMonth(Fmt(valorurvinss), d));
        return;
    }
    planilha_.SetCell(2, i, limiter.devolvevalorAtMonth(Fmt(valorurvautor), d));
    planilha_.SetCell(14, i, limiter.devolvevalorstAtMonth(Fmt(valorurvautor), d, in_.Dteto));
    planilha_.SetCell(5, i, limiter.devolvevalorAtMonth(Fmt(valorurvinss), d));
    planilha_.SetCell(15, i, limiter.devolvevalorstAtMonth(Fmt(valorurvinss), d, in_.Dteto));
    planilha_.SetCell(12, i, "URV");
}

void TArrearsEngine::InsertRow(int at) {
    int n = planilha_.RowCount();
    planilha_.SetRowCount(n + 1);
    for (int c = 0; c < planilha_.ColCount(); ++c)
        planilha_.SetCell(c, n, "");
    planilha_.MoveRow(n, at);
}

void TArrearsEngine::Thirteenth(int dataRows) {
    // A thirteenth-salary row after each December, holding its month, its
    // factors, its marker and its correction.
    for (int r = 1; r <= dataRows; ++r) {
        const std::string month = planilha_.Cell(0, r);
        if (!checkinteiro(month) || !StartsWith12(month)) continue;
        InsertRow(r + 1);
        for (int c : {0, 1, 3, 4, 8}) {
            std::string text = planilha_.Cell(c, r);
            planilha_.SetCell(c, r + 1, text);
        }
        ++dataRows;
        ++r;
    }
    // December x the months of that year in the calculation / 12.
    int a = 2, b = 2;
    for (int r = 1; r <= dataRows; ++r) {
        const std::string& month = planilha_.Cell(0, r);
        const std::string& previous = planilha_.Cell(0, r - 1);
        if (!checkinteiro(month) || !checkinteiro(previous)) continue;
        if (StartsWith12(month) && StartsWith12(previous)) {
            Put(2, r, Val(2, r - 1) / 12 * (a - 1));
            a = 0;
            Put(5, r, Val(5, r - 1) / 12 * (b - 1));
            b = 0;
        }
        ++a;
        ++b;
    }
}

} // namespace calc

// Differences, monetary correction, interest, prescription and totals of
// planilha: columns 7 ("Diferença"), 9 ("Valor Corrigido"), 10 ("Juros"),
// 11 ("Total") and the sums row after the last month.
#include <algorithm>

#include "platform/runtime/cell_matrix.h"
#include "revision/arrears_internal.h"

namespace calc {

using namespace detail;

namespace {

const char* const kZero = "0,00";

// The smallest k >= 1 with IncMonth(start, k) >= end.
int InterestMonths(TDateTime start, TDateTime end) {
    int y1, m1, d1, y2, m2, d2;
    DecodeDate(start, y1, m1, d1);
    DecodeDate(end, y2, m2, d2);
    // Every k below the months between the two calendar months lands in an
    // earlier month than the end, so the search can start there.
    int k = std::max(1, (y2 - y1) * 12 + (m2 - m1));
    while (IncMonth(start, k) < end)
        ++k;
    return k;
}

} // namespace

void TArrearsEngine::corrigevalor3() {
    NoInterest(planilha_.RowCount() - 1, true);
}

void TArrearsEngine::corrigevalor3fim() {
    NoInterest(planilha_.RowCount() - 2, false);
}

void TArrearsEngine::corrigevalor2() {
    WithInterest(planilha_.RowCount() - 1, true);
}

void TArrearsEngine::corrigevalor2fim() {
    WithInterest(planilha_.RowCount() - 2, false);
}

void TArrearsEngine::fimx() {
    Totals(planilha_.RowCount() - 1, true);
}

void TArrearsEngine::refazsalx() {
    Totals(planilha_.RowCount() - 2, false);
}

void TArrearsEngine::NoInterest(int lastRow, bool appendSums) {
    const TDateTime start = MonthOf(in_.Dataini, "Data Inicial (DIB)");
    const TDateTime prescription = MonthOf(in_.DatePrescricao, "Data da Prescrição");
    long double sum9 = 0, sum11 = 0;
    for (int r = 1; r <= lastRow; ++r) {
        TDateTime d = RowDate(r);
        if (d >= start) {
            Put(7, r, Val(2, r) - Val(5, r));
            if (d >= prescription)
                Put(9, r, Val(7, r) * Val(8, r));
            else
                planilha_.SetCell(9, r, kZero);
        }
        planilha_.SetCell(10, r, kZero);
        Put(11, r, Val(9, r));
        sum9 += Val(9, r);
        sum11 += Val(11, r);
    }
    int sums = planilha_.RowCount() - 1;
    if (appendSums) {
        sums = planilha_.RowCount();
        planilha_.SetRowCount(sums + 1);
        for (int c = 0; c < planilha_.ColCount(); ++c)
            planilha_.SetCell(c, sums, "");
    }
    Put(9, sums, sum9);
    Put(11, sums, sum11);
}

void TArrearsEngine::WithInterest(int lastRow, bool appendRow) {
    const TDateTime start = MonthOf(in_.Dataini, "Data Inicial (DIB)");
    // The month of the prescription date is owed whether interest is on or off.
    const TDateTime prescription =
        in_.PrescriptionByDay ? ControlDate(in_.DatePrescricao, "Data da Prescrição")
                              : MonthOf(in_.DatePrescricao, "Data da Prescrição");
    const TDateTime interestStart =
        checkinteiro(in_.Dateinicialjuros)
            ? ControlDate(in_.Dateinicialjuros, "Data inicial para contagem de juros")
            : MonthOf(in_.Datafim, "Data Final");
    const TDateTime interestEnd =
        checkinteiro(in_.Datefinaljuros)
            ? ControlDate(in_.Datefinaljuros, "Data final para contagem de juros")
            : MonthOf(in_.Datafim, "Data Final");
    int n = InterestMonths(interestStart, interestEnd);
    // Corrected values start at the earlier of the prescription and the
    // interest start; the totals before the prescription are zeroed below.
    const TDateTime cut = interestStart >= prescription ? prescription : interestStart;
    bool backFilled = false;

    for (int r = 1; r <= lastRow; ++r) {
        TDateTime d = RowDate(r);
        if (d < start) continue;
        Put(7, r, Val(2, r) - Val(5, r));
        if (d < cut)
            planilha_.SetCell(9, r, kZero);
        else
            Put(9, r, Val(7, r) * Val(8, r));

        if (d < interestStart) {
            planilha_.SetCell(10, r, kZero);
        } else {
            Put(10, r, in_.Ejuros * n);
            // December hands its percentage to its thirteenth-salary row; any
            // other month counts one month less than the one before it.
            const std::string month = planilha_.Cell(0, r);
            bool firstDecember = StartsWith12(month) && !StartsWith12(planilha_.Cell(0, r - 1));
            if (firstDecember && r + 1 <= planilha_.RowCount() - 1 &&
                planilha_.Cell(0, r + 1) == month) {
                std::string juros = planilha_.Cell(10, r);
                planilha_.SetCell(10, r + 1, juros);
            } else {
                --n;
            }
        }
        if (d > interestEnd) planilha_.SetCell(10, r, kZero);
        if (d < interestStart) planilha_.SetCell(10, r, kZero);

        // The months before the interest start get the full count, back to the
        // first month whose upper neighbour has no corrected value.
        if (!backFilled && planilha_.Cell(10, r) != kZero) {
            backFilled = true;
            const std::string juros = planilha_.Cell(10, r);
            for (int q = r - 1; q >= 1; --q) {
                planilha_.SetCell(10, q, juros);
                if (q - 1 >= 1 && planilha_.Cell(9, q - 1) == kZero) break;
            }
        }
        if (d < prescription) planilha_.SetCell(11, r, kZero);
    }
    if (appendRow) {
        int sums = planilha_.RowCount();
        planilha_.SetRowCount(sums + 1);
        for (int c = 0; c < planilha_.ColCount(); ++c)
            planilha_.SetCell(c, sums, "");
    }
    fimx();
}

void TArrearsEngine::Totals(int lastRow, bool prescriptionTest) {
    // The month of the prescription date is owed whether interest is on or off.
    int y, m, day;
    DecodeDate(in_.DatePrescricaoDate, y, m, day);
    const TDateTime prescription =
        in_.PrescriptionByDay ? in_.DatePrescricaoDate : EncodeDate(y, m, 1);
    long double sum9 = 0, sum11 = 0;
    for (int r = 1; r <= lastRow; ++r) {
        const bool dated = Digit(0, r);
        if (prescriptionTest && (!dated || RowDate(r) < prescription)) continue;
        // An empty amount cell is passed over; one typed over with text
        // ("abc") is refused rather than left out of the sums.
        auto filled = [&](int col) {
            if (Digit(col, r)) return true;
            if (planilha_.Cell(col, r).find_first_not_of(" \t") != std::string::npos) Val(col, r);
            return false;
        };
        if (filled(2) && filled(5)) Put(7, r, Val(2, r) - Val(5, r));
        if (filled(8) && filled(9)) {
            Put(9, r, Val(7, r) * Val(8, r));
            sum9 += Val(9, r);
        }
        if (filled(9) && filled(10)) Put(11, r, Val(9, r) * (1 + Val(10, r) / 100));
        // A month on the prescription date that receives a Total is summed
        // too, so the sums row adds up the rows above it.
        if (filled(2) && filled(11) && dated && RowDate(r) >= prescription) sum11 += Val(11, r);
    }
    if (lastRow < 1) return;
    int sums = planilha_.RowCount() - 1;
    Put(11, sums, sum11);
    Put(9, sums, sum9);
}

void TArrearsEngine::refazindx() {
    revisao::TValueLimiter& limiter = ix_->limiter;
    for (int r = 2; r <= planilha_.RowCount() - 2; ++r) {
        if (!Digit(1, r) || !Digit(4, r)) continue;
        TDateTime d = RowDate(r);
        planilha_.SetCell(
            2, r, limiter.devolvevalorstAtMonth(Fmt(Val(2, r - 1) * Factor(1, r)), d, in_.Dteto));
        planilha_.SetCell(
            5, r, limiter.devolvevalorstAtMonth(Fmt(Val(5, r - 1) * Factor(4, r)), d, in_.Dteto));
        Put(7, r, Val(2, r) - Val(5, r));
    }
    refazsalx();
}

} // namespace calc

#include "simulation/contribution_core.h"

#include <algorithm>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/string_list.h"

namespace soma {

const char* const PeriodoHeaders[5] = {"Empresa", "Ocupação", "Data Inicial", "Data Final",
                                       "Fator"};
const char* const RelatorioHeaders[15] = {
    "Empresa", "Ocupação", "Data Inicial", "Data Final", "Anos", "Meses", "Dias", "Especial",
    "Fator",   "Anos",     "Meses",        "Dias",       "Anos", "Meses", "Dias"};
const char* const NotaDuplicidade = "Retirada Duplicidade";

namespace {

constexpr int kStart = 2, kEnd = 3, kFactor = 4, kNote = 5;

// A million years of 360 days: far beyond any working life, and small
// enough that the parts of the split fit their integers.
constexpr int64_t kMaxDays = int64_t{360} * 1000000;

bool HasDigit(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int YearOf(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return y;
}

[[noreturn]] void BadDate(int row, const char* column, const std::string& text) {
    throw ESomaError("A " + std::string(column) + " do período da linha " + IntToStr(row) + " ('" +
                     text + "') não é uma data válida.");
}

TDateTime CellDate(const TCellMatrix& m, int col, int row) {
    TDateTime d;
    if (!TryStrToDate(m.Cell(col, row), d))
        BadDate(row, col == kStart ? "data inicial" : "data final", m.Cell(col, row));
    return d;
}

void RemoveRow(TCellMatrix& m, int row) {
    m.MoveRow(row, m.RowCount() - 1);
    m.SetRowCount(m.RowCount() - 1);
}

int64_t Checked(long double total) {
    if (!(total >= -static_cast<long double>(kMaxDays) &&
          total <= static_cast<long double>(kMaxDays)))
        throw ESomaError("Tempo de contribuição fora dos limites: " +
                         FormatFloat("0", Int(CheckFinite(total))) + " dias.");
    return Trunc(total);
}

} // namespace

// ---- day arithmetic -----------------------------------------------------------

TTempo EntreDatas(TDateTime A, TDateTime B) {
    TTempo t;
    if (A <= B) return t;
    int ya, ma, a, yb, mb, b;
    DecodeDate(A, ya, ma, a);
    DecodeDate(B, yb, mb, b);
    // Whole months run from the start's own day of month. Stepping through a
    // date clamped to a short month's end (31/01 -> 28/02 -> 28/03) would
    // count a month-end start from the wrong day and gain days.
    int64_t months = int64_t{ya - yb} * 12 + (ma - mb);
    int64_t days;
    if (a >= b) {
        days = a - b + 1; // both ends count
    } else {
        // The last month is not whole: the days from the start's day to the
        // end of a 30-day month (the 31st counts as the 30th), then a days.
        --months;
        days = a - (std::min(b, 30) - 30) + 1;
    }
    if (days > 29) {
        days = 0;
        ++months;
    }
    t.Anos = static_cast<int>(months / 12);
    t.Meses = static_cast<int>(months % 12);
    t.Dias = static_cast<int>(days);
    return t;
}

TTempo Divide(int64_t total) {
    Checked(static_cast<long double>(total));
    TTempo t;
    if (total < 30) {
        t.Dias = static_cast<int>(total);
        return t;
    }
    const int64_t months = total / 30;
    t.Dias = static_cast<int>(total % 30);
    t.Anos = static_cast<int>(months / 12);
    t.Meses = static_cast<int>(months % 12);
    return t;
}

int64_t EmDias(int anos, int meses, int dias) {
    return int64_t{anos} * 360 + int64_t{meses} * 30 + dias;
}

int64_t DiasPedagio(int R, int Y, int M, int D) {
    return Checked(static_cast<long double>(int64_t{R} * 360 - EmDias(Y, M, D)) * 40 / 100);
}

int64_t DiasApoMaisPedagio(int A, int Y, int M, int D) {
    return Checked(static_cast<long double>(int64_t{A} * 360 + EmDias(Y, M, D)));
}

int64_t DiasCumprop(int Y1, int M1, int D1, int Y2, int M2, int D2) {
    return Checked(static_cast<long double>(EmDias(Y1, M1, D1) - EmDias(Y2, M2, D2)));
}

int64_t DiasApoint(int R, int Y, int M, int D) {
    return Checked(static_cast<long double>(int64_t{R} * 360 - EmDias(Y, M, D)));
}

int64_t DiasFator(int Y, int M, long double fator, int D) {
    return Checked(static_cast<long double>(EmDias(Y, M, D)) * CheckFinite(fator));
}

double DifDias(TDateTime A, TDateTime B) {
    return B >= A ? B - A : 1;
}

std::string formatano(int n) {
    return n <= 1 ? " ano" : " anos";
}

std::string formatmes(int n) {
    return n <= 1 ? " mês" : " meses";
}

std::string formatdia(int n) {
    return n <= 1 ? " dia" : " dias";
}

// ---- the period list ----------------------------------------------------------

void sortcol(TCellMatrix& periodos) {
    const int rows = periodos.RowCount();
    if (rows < 3) return;
    std::vector<TDateTime> start(rows);
    std::vector<char> has(rows, 0);
    for (int r = 1; r < rows; ++r) {
        if (DataVazia(periodos.Cell(kStart, r))) continue;
        start[r] = CellDate(periodos, kStart, r);
        has[r] = 1;
    }
    for (int i = 1; i <= rows - 2; ++i) {
        int m = i;
        for (int j = i + 1; j < rows; ++j)
            if (has[j] && has[m] && start[j] < start[m]) m = j;
        if (m > 1 && m != i) {
            periodos.SwapRows(i, m);
            std::swap(start[i], start[m]);
            std::swap(has[i], has[m]);
        }
    }
}

void organiza(TCellMatrix& periodos, TCellMatrix& organizados, bool juntas) {
    // Every date the steps read is checked before anything changes.
    int withStart = 0;
    for (int r = 1; r < periodos.RowCount(); ++r) {
        if (!HasDigit(periodos.Cell(kStart, r))) continue;
        CellDate(periodos, kStart, r);
        ++withStart;
    }
    const bool cut = juntas && withStart >= 2;
    if (cut)
        for (int r = 1; r < periodos.RowCount(); ++r)
            if (HasDigit(periodos.Cell(kStart, r))) CellDate(periodos, kEnd, r);

    for (int r = 0; r < organizados.RowCount(); ++r)
        organizados.SetCell(6, r, "");
    const int remembered = periodos.RowCount();

    for (int r = 1; r < periodos.RowCount(); ++r) {
        if (HasDigit(periodos.Cell(kStart, r)) && !HasDigit(periodos.Cell(kFactor, r))) {
            periodos.SetCell(kFactor, r, "1");
            organizados.SetCell(kFactor, r, "1");
        }
    }

    // The grid keeps at least one data row.
    for (int r = 1; r < periodos.RowCount();) {
        if (HasDigit(periodos.Cell(kStart, r))) {
            ++r;
        } else if (periodos.RowCount() > 2) {
            RemoveRow(periodos, r);
        } else {
            break;
        }
    }

    sortcol(periodos);

    organizados.SetRowCount(periodos.RowCount());
    for (int r = 0; r < periodos.RowCount(); ++r) {
        if (!periodos.Cell(kStart, r).empty()) {
            organizados.SetRow(r, periodos.Row(r));
        } else {
            // A row of an earlier case must not stay behind an empty one.
            for (int c = 0; c < organizados.ColCount(); ++c)
                organizados.SetCell(c, r, "");
        }
    }

    if (cut) {
        organizados.SetColCount(6);
        for (int r = 2; r < organizados.RowCount(); ++r) {
            const int p = r - 1;
            // Each test reads the cells afresh: an earlier one may have moved them.
            auto S = [&] { return StrToDate(organizados.Cell(kStart, r)); };
            auto E = [&] { return StrToDate(organizados.Cell(kEnd, r)); };
            const TDateTime Ep = StrToDate(organizados.Cell(kEnd, p));
            if (Ep >= S() && Ep <= E()) {
                organizados.SetCell(kStart, r, DateToStr(Ep + 1));
                organizados.SetCell(kNote, r, NotaDuplicidade);
            }
            if (Ep >= S() && Ep >= E()) {
                organizados.SetCell(kStart, r, DateToStr(Ep));
                organizados.SetCell(kEnd, r, DateToStr(Ep));
                organizados.SetCell(kNote, r, NotaDuplicidade);
            }
            if (Ep <= S() && Ep >= E()) {
                organizados.SetCell(kStart, r, DateToStr(Ep));
                organizados.SetCell(kEnd, r, DateToStr(Ep));
                organizados.SetCell(kNote, r, NotaDuplicidade);
            }
        }
    }

    periodos.SetRowCount(remembered);
    periodos.SetColCount(5);
}

// ---- grace periods --------------------------------------------------------------

int AnosDe360(TDateTime A, TDateTime B) {
    return B >= A ? static_cast<int>(Trunc(static_cast<long double>(B - A) / 360)) : 0;
}

void prazosCarencia(TDateTime nascimento, TDateTime requerimento, const TCellMatrix& prazos,
                    TCellMatrix& idades) {
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 4; ++c)
            idades.SetCell(c, r, "");
    int age = 0;
    if (nascimento != 0 && requerimento != 0 && nascimento < requerimento)
        age = AnosDe360(nascimento, requerimento);
    struct Threshold {
        int age, months, row;
        const char* label;
    };
    static const Threshold thresholds[] = {
        {55, 659, 1, "55 anos"}, {60, 719, 2, "60 anos"}, {65, 779, 3, "65 anos"}};
    for (const Threshold& t : thresholds) {
        if (!(age > t.age)) continue;
        // The month before the birthday of that age.
        const int year = YearOf(IncMonth(nascimento, t.months));
        idades.SetCell(0, t.row, t.label);
        idades.SetCell(1, t.row, IntToStr(year));
        const std::string key = year < 1991 ? "1991" : IntToStr(year);
        int found = -1;
        for (int r = 0; r < prazos.RowCount() && found < 0; ++r)
            if (prazos.Cell(0, r) == key) found = r;
        idades.SetCell(2, t.row, prazos.Cell(1, found));
        idades.SetCell(3, t.row, prazos.Cell(2, found));
    }
}

// ---- report ---------------------------------------------------------------------

std::vector<std::string> LinhasTeste(const TCellMatrix& relatorio) {
    std::vector<std::string> lines;
    lines.push_back("<html><head>\r\n<title>Tempo da Aposentadoria</title>\r\n</head>\r\n<body>\r\n"
                    "<table border =0>");
    for (int r = 0; r < relatorio.RowCount(); ++r) {
        std::string line = "<tr>\r\n";
        for (int c = 0; c < relatorio.ColCount(); ++c)
            line += "<td>" + HtmlEscape(relatorio.Cell(c, r)) + "</td>";
        lines.push_back(line);
        lines.push_back("</tr>");
    }
    lines.push_back("</body></html>");
    return lines;
}

} // namespace soma

#include "simulation/simulation_core.h"

#include <algorithm>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/amount_text.h"
#include "revision/shared_helpers.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"

namespace simulacao {

const char* const Beneficios[5] = {
    "Auxílio Doença",
    "Aposentadoria por Invalidez",
    "Aposentadoria por Idade",
    "Aposentadoria por Tempo de Contribuição",
    "Aposentadoria por Tempo de Serviço de Professor (até nível médio)",
};

const char* const GeralHeaders[5] = {"Data", "Salário", "Índice", "Valor atualizado",
                                     "Valor desconsiderado(*)"};
const char* const DemoHeaders[13] = {"NR",  "DATA", "SALÁRIO", "ÍNDICE", "SAL. CORRIGIDO",
                                     "",    "",     "NR",      "DATA",   "SALÁRIO",
                                     "ÍNDICE", "SAL. CORRIGIDO", ""};
const char* const CorrecaoHeaders[6] = {"DATA",           "VALOR ANTERIOR", "", "ÍNDICE",
                                        "VALOR CORRIGIDO", "OBSERVAÇÃO"};

namespace {

const char* const kMoney = "#,##0.00";

std::string Money(long double v) {
    return FormatFloat(kMoney, CheckFinite(v));
}

const TCellMatrix& OrEmpty(const TCellMatrix* grid) {
    static const TCellMatrix empty(1, 1);
    return grid ? *grid : empty;
}

// A cell read as an amount; a text RemovePonto refuses names its place.
long double Val(const TCellMatrix& m, int col, int row, const std::string& table) {
    const std::string& text = m.Cell(col, row);
    try {
        return RemovePonto(text);
    } catch (const EConvertError&) {
        throw ECellValueError(CellValueMessage(RowLabel(m.Cell(0, row), row) + " da tabela " + table,
                                               IntToStr(col), text));
    }
}

bool Digit(const TCellMatrix& m, int col, int row) {
    return checkinteiro(m.Cell(col, row));
}

// The first day of a month text "mm/yyyy".
bool MonthStart(const std::string& month, TDateTime& d) {
    return TryStrToDate("01/" + month, d);
}

TDateTime MonthStartOf(const TCellMatrix& m, int row, const std::string& table) {
    TDateTime d;
    if (!MonthStart(m.Cell(0, row), d))
        throw ECellValueError("Mês inválido na linha " + IntToStr(row) + " da tabela " + table +
                              ": '" + m.Cell(0, row) + "'");
    return d;
}

// A date typed in a control, with the control's name in the message.
TDateTime ControlDate(const std::string& text, const std::string& what) {
    TDateTime d;
    if (!TryStrToDate(text, d)) throw ESimulacaoError(what + " inválida: '" + Trim(text) + "'");
    return d;
}

TDateTime FirstOfMonth(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return EncodeDate(y, m, 1);
}

void ClearRows(TCellMatrix& m, int from) {
    for (int r = from; r < m.RowCount(); ++r)
        for (int c = 0; c < m.ColCount(); ++c)
            if (!m.Cell(c, r).empty()) m.SetCell(c, r, std::string());
}

// As the grid's RemoveRow: the header and the last data row stay.
void RemoveRow(TCellMatrix& m, int row) {
    if (row < 1 || row >= m.RowCount() || m.RowCount() <= 2) return;
    m.MoveRow(row, m.RowCount() - 1);
    m.SetRowCount(m.RowCount() - 1);
}

// Removes every data row whose column holds no digit.
void RemoveRowsWithoutDigit(TCellMatrix& m, int col) {
    for (int r = m.RowCount() - 1; r >= 1; --r)
        if (!Digit(m, col, r)) RemoveRow(m, r);
}

// The row of the table's key column equal to `key`: the last one, or -1.
int LastRowWith(const TCellMatrix& m, const std::string& key) {
    for (int r = m.RowCount() - 1; r >= 0; --r)
        if (m.Cell(0, r) == key) return r;
    return -1;
}

int FirstRowWith(const TCellMatrix& m, const std::string& key) {
    for (int r = 0; r < m.RowCount(); ++r)
        if (m.Cell(0, r) == key) return r;
    return -1;
}

// Ceiling in force in the month of a working row.
void CutAtCeiling(TCellMatrix& geral, const TSimTables& tables, const std::string& table) {
    for (int r = 1; r < geral.RowCount(); ++r) {
        if (!Digit(geral, 1, r)) continue;
        long double teto = TetoDoMes(tables.gridiinss, MonthStartOf(geral, r, table));
        if (Val(geral, 1, r, table) > teto) {
            geral.SetCell(1, r, Money(teto));
            geral.SetCell(3, r, Money(teto * Val(geral, 2, r, table)));
            geral.SetCell(4, r, geral.Cell(4, r) + "**");
        }
    }
}

void Correct(TCellMatrix& geral, const std::string& table) {
    for (int r = 1; r < geral.RowCount(); ++r) {
        if (Digit(geral, 1, r))
            geral.SetCell(3, r, Money(Val(geral, 1, r, table) * Val(geral, 2, r, table)));
        else
            geral.SetCell(3, r, geral.Cell(1, r));
    }
}

struct TLinhaDemo {
    std::string mes, salario, indice, corrigido, marca;
};

// Two columns: the most recent half on the left (columns 0-5), the older
// half on the right (7-12), numbered from the most recent.
void MontaDemo(TCellMatrix& demo, const std::vector<TLinhaDemo>& rows, int minRows) {
    const int n = static_cast<int>(rows.size());
    const int h = static_cast<int>(Round(static_cast<long double>(n) / 2));
    int count = h + 1 + (n > 2 * h ? 1 : 0);
    demo.SetColCount(13);
    demo.SetRowCount(std::max(count, minRows));
    ClearRows(demo, 1);
    int left = 1, right = 1, seq = 1;
    for (int i = n - 1; i >= 0; --i, ++seq) {
        const TLinhaDemo& l = rows[i];
        const bool recent = i + 1 > h;
        const int row = recent ? left++ : right++;
        const int c0 = recent ? 0 : 7;
        demo.SetCell(c0, row, IntToStr(seq));
        demo.SetCell(c0 + 1, row, l.mes);
        demo.SetCell(c0 + 2, row, l.salario);
        demo.SetCell(c0 + 3, row, l.indice);
        demo.SetCell(c0 + 4, row, l.corrigido);
        demo.SetCell(c0 + 5, row, l.marca);
    }
}

const char* const kGeral = "Tabela Geral";
const char* const kGeral2 = "Tabela Geral 2";

} // namespace

// ---- small rules -------------------------------------------------------------

std::string RemoveTPontoS(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

std::string RemovePontoS(const std::string& text) {
    std::string kept = amount_text::KeepNumberChars(text);
    return checkinteiro(kept) ? kept : "0";
}

bool StrIsFloat(const std::string& text) {
    long double v;
    return TryStrToFloat(text, v);
}

bool tbStrIsDate(const std::string& text) {
    // An untouched date mask reads as no date at all, not as a wrong one.
    if (text.find_first_not_of(" /_") == std::string::npos) return true;
    TDateTime d;
    return TryStrToDate(text, d);
}

std::string retornameses(const std::string& first, const std::string& second) {
    TDateTime a = StrToDate(first), b = StrToDate(second);
    if (b < a) return "0";
    int n = 0;
    while (!(IncMonth(a, n) > b)) ++n;
    return IntToStr(n);
}

std::string tempocontribuicao(int y, int m, int d) {
    if (d > 0) {
        ++m;
        if (m >= 12) {
            ++y;
            m = 0;
        }
    }
    const std::string Y = IntToStr(y), M = IntToStr(m);
    if (m < 1) return y > 1 ? Y + " Grupos de 12 Contribuições" : Y + " Grupo de 12 Contribuição";
    if (m == 1 && y == 1) return Y + " Grupo e " + M + "Contribuição";
    if (m >= 2 && y > 1) return Y + " Grupos e " + M + "Contribuições";
    if (m == 1 && y >= 2) return Y + " Grupos e " + M + "Contribuição";
    // Less than a group, or one group and some months.
    if (y < 1) return m == 1 ? M + " Contribuição" : M + " Contribuições";
    return Y + " Grupo e " + M + "Contribuições";
}

std::string devolvevalor(const TCellMatrix* GridSalmin, const TCellMatrix* gridiinss,
                         const std::string& amount, const std::string& date, std::string& marca) {
    marca.clear();
    const long double v = RemovePonto(amount);
    long double value = v;
    const TCellMatrix& sm = OrEmpty(GridSalmin);
    int r = FirstRowWith(sm, date);
    if (r >= 1) {
        long double minimo = Val(sm, 1, r, "Salário Mínimo");
        if (!(v > minimo)) {
            value = minimo;
            marca = "SM";
        }
    }
    const TCellMatrix& teto = OrEmpty(gridiinss);
    for (int j = 1; j < teto.RowCount(); ++j) {
        if ("01/" + teto.Cell(0, j) != date) continue;
        long double limite = Val(teto, 1, j, "INSS - Teto");
        if (!(v < limite)) {
            value = limite;
            marca = "Teto";
        }
        break;
    }
    return Money(value);
}

long double TetoDoMes(const TCellMatrix* gridiinss, TDateTime monthStart) {
    const TCellMatrix& t = OrEmpty(gridiinss);
    int best = -1, earliest = -1;
    TDateTime bestDate = 0, earliestDate = 0, latestDate = 0;
    for (int r = 1; r < t.RowCount(); ++r) {
        if (t.Cell(0, r).empty()) continue; // a row added and left blank
        TDateTime d = MonthStartOf(t, r, "INSS - Teto");
        if (d <= monthStart && (best < 0 || d > bestDate)) {
            best = r;
            bestDate = d;
        }
        if (earliest < 0 || d < earliestDate) {
            earliest = r;
            earliestDate = d;
        }
        latestDate = std::max(latestDate, d);
    }
    int row = best >= 0 ? best : earliest;
    if (row < 0) throw ESimulacaoError("A tabela INSS - Teto não tem valores.");
    // The row in force stands for the months up to the table's last one;
    // past it the ceiling is not known.
    if (monthStart > latestDate) MissingMonth(FormatDateTime("mm/yyyy", monthStart), tabelas::InssFile);
    return Val(t, 1, row, "INSS - Teto");
}

long double SalarioMinimoDoMes(const TCellMatrix* GridSalmin, TDateTime monthStart) {
    const TCellMatrix& t = OrEmpty(GridSalmin);
    int best = -1;
    TDateTime bestDate = 0, latestDate = 0;
    for (int r = 1; r < t.RowCount(); ++r) {
        TDateTime d;
        if (!TryStrToDate(t.Cell(0, r), d)) continue;
        d = FirstOfMonth(d);
        if (d <= monthStart && (best < 0 || d > bestDate)) {
            best = r;
            bestDate = d;
        }
        latestDate = std::max(latestDate, d);
    }
    if (best >= 0 && monthStart > latestDate)
        MissingMonth(FormatDateTime("mm/yyyy", monthStart), tabelas::SalminFile);
    return best < 0 ? 0 : Val(t, 1, best, "Salário Mínimo");
}

// ---- the working table ---------------------------------------------------------

void criaindice(TCellMatrix& geral, TCellMatrix* salario, TCellMatrix* demo,
                const TSimTables& tables, const TSimInput& in) {
    ClearRows(geral, 1);
    if (demo) ClearRows(*demo, 1);
    const TCellMatrix& indice = OrEmpty(tables.indicegrid);
    const std::string startMonth = FormatDateTime("mm/yyyy", ControlDate(in.MaskEdit1, "Data inicial"));
    const std::string endMonth = FormatDateTime("mm/yyyy", ControlDate(in.MaskEdit2, "Data final"));
    if (tables.INPCGrid) {
        // Harmless: no command shows the tables form, whose button would save
        // the grid, and the wizard reloads it from its file before each use.
        TCellMatrix& inpc = *tables.INPCGrid;
        int from = 0;
        for (int r = 0; r < inpc.RowCount(); ++r) {
            TDateTime d;
            if (MonthStart(inpc.Cell(0, r), d) && FormatDateTime("mm/yyyy", d) == endMonth) from = r;
        }
        for (int r = from; r < inpc.RowCount(); ++r) inpc.SetCell(1, r, "0");
    }
    const int a = LastRowWith(indice, startMonth);
    const int e = LastRowWith(indice, endMonth);
    for (const auto& [row, month] : {std::pair{a, startMonth}, std::pair{e, endMonth}})
        if (row < 0)
            throw ESimulacaoError("O mês " + month + " não consta da tabela de índices (tabela.tab).");
    if (e < a) throw ESimulacaoError("A data final é anterior à data inicial.");
    // The series carries amounts to its last month; an earlier end month
    // takes factors to that month instead (its own factor is then not 1).
    const long double endFactor = Val(indice, 1, e, "de índices");
    if (!(endFactor > 0))
        throw ECellValueError(CellValueMessage(endMonth + " da tabela de índices", "1", indice.Cell(1, e)));
    // Header plus one row for each month from the start to the end.
    const int rows = e - a + 2;
    geral.SetRowCount(rows);
    for (int i = 1; i < rows; ++i) {
        const int t = a + i - 1;
        geral.SetCell(0, i, indice.Cell(0, t));
        if (endFactor == 1) {
            geral.SetCell(2, i, indice.Cell(1, t));
        } else {
            const long double f = Val(indice, 1, t, "de índices") / endFactor;
            geral.SetCell(2, i, FormatFloat("0.00000", static_cast<long double>(Trunc(f * 100000)) / 100000));
        }
    }
    if (!salario) return;
    if (salario->RowCount() != rows) salario->SetRowCount(rows);
    for (int i = 1; i < rows; ++i)
        if (salario->Cell(0, i) != geral.Cell(0, i)) salario->SetCell(0, i, geral.Cell(0, i));
}

void calcSalCorrigido(TCellMatrix& geral, const TCellMatrix& salario, const TSimTables& tables) {
    geral.SetRowCount(std::max(2, salario.RowCount()));
    for (int r = 1; r < geral.RowCount(); ++r) {
        geral.SetCell(0, r, salario.Cell(0, r));
        geral.SetCell(1, r, salario.Cell(1, r));
        // A second run starts from clean working columns.
        for (int c = 3; c < geral.ColCount(); ++c) geral.SetCell(c, r, std::string());
    }
    Correct(geral, kGeral);
    RemoveRowsWithoutDigit(geral, 1);
    CutAtCeiling(geral, tables, kGeral);
}

void calcSalCorrigido98(TCellMatrix& geral2, const TCellMatrix& salario, const TSimTables& tables) {
    const TCellMatrix& f98 = OrEmpty(tables.grid98);
    geral2.SetRowCount(std::max(2, f98.RowCount()));
    ClearRows(geral2, 1);
    for (int r = 1; r < f98.RowCount(); ++r) {
        const std::string& month = f98.Cell(0, r);
        geral2.SetCell(0, r, month);
        geral2.SetCell(2, r, f98.Cell(1, r));
        // Each month takes the salary of that month, wherever the list has it:
        // a list read back from its file need not run row for row with grid98.
        int s = month.empty() ? -1 : FirstRowWith(salario, month);
        if (s >= 1) geral2.SetCell(1, r, salario.Cell(1, s));
    }
    Correct(geral2, kGeral2);
    RemoveRowsWithoutDigit(geral2, 1);
    if (geral2.RowCount() < 2 || !Digit(geral2, 1, 1))
        throw ESimulacaoError("Não existe contribuições nos 48 meses anteriores a 16/12/1998");
    CutAtCeiling(geral2, tables, kGeral2);
}

// ---- factor and coefficient -----------------------------------------------------

namespace {

long double Fator(const TSimInput& in, const TSimTables& tables, long double Y, long double M,
                  const std::string& rate, long double D, TSimResults& res) {
    int bonus = 0;
    const bool mulher = !in.masculino;
    if (in.ComboBox2 == Beneficios[kProfessor])
        bonus = mulher ? 10 : 5;
    else if (in.ComboBox2 == Beneficios[kTempoContribuicao])
        bonus = mulher ? 5 : 0;
    const long double Tc = ((Y + bonus) * 360 + M * 30 + D) / 360;
    res.tempocontrib = (Y * 360 + M * 30 + D) / 360;

    const TDateTime nascimento = ControlDate(in.MaskEdit3, "Data de nascimento");
    const TDateTime fim = ControlDate(in.MaskEdit2, "Data final");
    int y = 0, m = 0, d = 0;
    EntreDatas(fim, nascimento, y, m, d);
    long double Id = y + static_cast<long double>(m * 30 + d) / 30 / 11;
    if (y + m + d < 1) Id = 1;
    res.idade = Id;
    res.idadeTexto = FormatFloat("0.0", Id);

    // Survival expectancy: the table that holds on the end date (the earliest
    // dated on or after it, by date, so the file's row order does not matter)
    // and the column of the age reached.
    const TCellMatrix& vida = OrEmpty(tables.gridsvida);
    int row = -1;
    TDateTime rowDate = 0;
    for (int r = 1; r < vida.RowCount(); ++r) {
        TDateTime dt;
        if (!TryStrToDate(vida.Cell(0, r), dt) || dt < fim) continue;
        if (row < 0 || dt <= rowDate) {
            row = r;
            rowDate = dt;
        }
    }
    int col = -1;
    for (int c = 1; c < vida.ColCount(); ++c) {
        int age;
        if (TryStrToInt(Trim(vida.Cell(c, 0)), age) && age <= Id) col = c;
    }
    const long double Es = row < 0 || col < 0 ? 0 : Val(vida, col, row, "Exp. Sobrevida");
    if (!(Es > 0))
        throw ESimulacaoError("Não há expectativa de sobrevida na tabela Exp. Sobrevida para a idade " +
                              res.idadeTexto + " em " + DateToStr(fim) + ".");
    const long double a = RemovePonto(rate);
    long double f = CheckFinite((a * Tc / Es) * (1 + (a * Tc + Id) / 100));
    if (in.ComboBox2 == Beneficios[kIdade] && f < 1) f = 1;
    res.fator = f;
    return f;
}

}  // namespace

long double fatorx(const TSimInput& in, const TSimTables& tables, const std::string& years,
                   const std::string& months, const std::string& rate, const std::string& days,
                   TSimResults& res) {
    return Fator(in, tables, RemovePonto(years), RemovePonto(months), rate, RemovePonto(days), res);
}

std::string coeficientex(const TSimTables& tables, const std::string& kind, bool masculino,
                         long double T, long double SB, TSimResults& res) {
    const TCellMatrix& g = OrEmpty(tables.Gridcoeficientes);
    int row = -1;
    for (int r = 1; r < g.RowCount(); ++r)
        if (g.Cell(0, r) == kind) row = r;
    // A kind the table lacks stops here: a benefit of 0,00 would pass for a result.
    if (row < 0)
        throw ESimulacaoError("O benefício " + kind + " não consta da tabela de coeficientes.");
    auto read = [&](int c, long double start) {
        return Digit(g, c, row) ? Val(g, c, row, "Coeficientes") : start;
    };
    const long double P = read(1, 0), A = read(2, 0), C = read(3, 1);
    const long double K = read(masculino ? 4 : 5, 0), N = read(masculino ? 6 : 7, 0);
    if (T * 12 < K)
        throw ESimulacaoError(
            "O número mínimo de contribuições mensais para o cumprimento da carência não foi atingido " +
            Money(K) + (masculino ? " Contribuições" : "Contribuições"));
    long double coef = P;
    if (A > 0) {
        const int64_t x = Trunc(T - N);
        if (x > 0) {
            coef = 1;
        } else {
            const int64_t y = N + T > 0 ? Trunc(C - N + T) : Trunc(N + T - C);
            coef = A * y / 100 + P;
        }
        coef = std::min<long double>(coef, 1);
    }
    res.coeficiente = coef;
    res.beneficio = Money(SB * coef);
    return res.beneficio;
}

// ---- the rules -------------------------------------------------------------------

void calcAtual(TCellMatrix& geral, TCellMatrix& demo, const TSimTables& tables,
               const TSimInput& in, TSimResults& res) {
    const int n = geral.RowCount() - 1;
    // The smallest values found through their texts sorted: zeros on the left
    // make the text order that of the amounts.
    size_t width = 0;
    for (int r = 1; r <= n; ++r) width = std::max(width, geral.Cell(3, r).size());
    std::vector<std::string> padded;
    for (int r = 1; r <= n; ++r) {
        const std::string& t = geral.Cell(3, r);
        padded.push_back(std::string(width + 1 - t.size(), '0') + t);
    }
    std::sort(padded.begin(), padded.end());
    for (int r = 1; r <= n; ++r) {
        geral.SetCell(5, r, padded[r - 1]);
        geral.SetCell(6, r, geral.Cell(3, r));
    }
    const int k = n * 80 / 100;
    const int m = n - k;
    const int discard = k < 90 ? n - 90 : m;
    for (int i = 1; i <= discard; ++i) {
        const std::string text = Money(Val(geral, 5, i, kGeral));
        for (int r = 1; r <= n; ++r)
            if (geral.Cell(6, r) == text) {
                geral.SetCell(4, r, geral.Cell(4, r) + "*");
                geral.SetCell(6, r, std::string());
                break;
            }
    }
    const int divisor = k >= 90 ? k : 90;
    long double soma = 0, todos = 0;
    for (int r = 1; r <= n; ++r) {
        const long double v = Val(geral, 3, r, kGeral);
        todos += v;
        const std::string& flag = geral.Cell(4, r);
        if (flag != "*" && flag != "***") soma += v;
    }
    if (soma == 0) throw ESimulacaoError("Não há salários de contribuição para o cálculo.");
    long double media = soma / divisor;
    res.soma = soma;
    res.divisor = divisor;
    res.divisorx = divisor;
    res.mediaSemFator = media;
    res.mediaRelatorio = n >= 90 ? media : todos / n;
    res.divisorRelatorio = n >= 90 ? divisor : n;
    res.aliquota = in.Edit1;

    const long double f = fatorx(in, tables, in.Edit9, in.Edit8, in.Edit1, in.Edit6, res);
    const long double semFator = media;
    media = media * f;
    if (in.ComboBox2 == Beneficios[kProfessor]) {
        // A teacher's mean takes the factor a second time, with five years
        // more; the time and age kept are those of the first.
        TSimResults second = res;
        const long double f2 = Fator(in, tables, RemovePonto(in.Edit9) + 5, RemovePonto(in.Edit8), in.Edit1,
                                     RemovePonto(in.Edit6), second);
        media = media * f2;
        res.fator = f * f2;
    }
    std::string sb = Money(semFator * f);
    const long double teto = TetoDoMes(tables.gridiinss, MonthStartOf(geral, n, kGeral));
    if (teto < RemovePonto(sb)) sb = Money(teto);
    const long double minimo =
        SalarioMinimoDoMes(tables.GridSalmin, FirstOfMonth(ControlDate(in.MaskEdit2, "Data final")));
    if (media < minimo) {
        media = minimo;
        sb = Money(minimo);
    }
    res.media = media;
    res.salbeneficio = sb;

    std::vector<TLinhaDemo> rows;
    for (int r = 1; r <= n; ++r)
        rows.push_back({geral.Cell(0, r), geral.Cell(1, r), geral.Cell(2, r), geral.Cell(3, r),
                        geral.Cell(4, r)});
    MontaDemo(demo, rows, 2);
}

void calc99(TCellMatrix& geral, TCellMatrix& demo, const TSimTables& tables, const TSimInput& in,
            TSimResults& res) {
    const TDateTime from = EncodeDate(1995, 11, 1), to = EncodeDate(1999, 10, 1);
    // The 48 months end at 10/1999, or at the end date when that is earlier,
    // and are counted as months, not rows: the rows without a salary are gone
    // from the working table.
    const TDateTime anchor = std::min(to, FirstOfMonth(ControlDate(in.MaskEdit2, "Data final")));
    const TDateTime oldest = IncMonth(anchor, -47);
    // The walk starts at the last month up to that end, not at row 1 when
    // 10/1999 is missing (no salary then, or past the end date).
    int start = 1;
    for (int r = geral.RowCount() - 1; r >= 1; --r) {
        TDateTime d;
        if (MonthStart(geral.Cell(0, r), d) && d <= anchor) {
            start = r;
            break;
        }
    }
    bool any = false;
    for (int r = 1; r < geral.RowCount() && !any; ++r) {
        TDateTime d;
        any = MonthStart(geral.Cell(0, r), d) && d >= from && d <= to && Digit(geral, 1, r);
    }
    if (!any) throw ESimulacaoError("Não existe contribuição no período de 11/1996 a 10/1999");
    const TCellMatrix& indice = OrEmpty(tables.indicegrid);
    long double soma = 0;
    int counted = 0;
    for (int i = start; i >= 1 && counted < 36; --i) {
        TDateTime d;
        if (MonthStart(geral.Cell(0, i), d) && d < oldest) break;
        if (!Digit(geral, 1, i)) continue;
        ++counted;
        const long double v = Val(geral, 1, i, kGeral) * Val(geral, 2, i, kGeral);
        soma += v;
        // The index of the month before, found by month: row i - 1 of the
        // index table is that month only while the table starts at the first
        // working month and no month was dropped.
        std::string before;
        if (MonthStart(geral.Cell(0, i), d)) {
            const int t = LastRowWith(indice, FormatDateTime("mm/yyyy", IncMonth(d, -1)));
            if (t >= 1) before = indice.Cell(1, t);
        }
        geral.SetCell(9, i, before);
        geral.SetCell(10, i, Money(v));
    }
    const int divisor = std::max(counted, 24);
    res.soma = soma;
    res.divisor = divisor;
    res.divisorx = divisor;
    res.media = res.mediaSemFator = soma / divisor;
    res.salbeneficio = Money(res.media);

    std::vector<TLinhaDemo> rows;
    for (int r = 1; r < geral.RowCount(); ++r)
        if (Digit(geral, 10, r))
            rows.push_back({geral.Cell(0, r), geral.Cell(1, r), geral.Cell(2, r),
                            geral.Cell(10, r), geral.Cell(4, r)});
    MontaDemo(demo, rows, 3);
}

void calcEC20(TCellMatrix& geral2, TCellMatrix& demo, TCellMatrix& correcao,
              const TSimTables& tables, const TSimInput& in, TSimResults& res) {
    while (geral2.RowCount() - 1 > 36 && geral2.RowCount() > 2) RemoveRow(geral2, 1);
    long double soma = 0;
    for (int r = 1; r < geral2.RowCount() && r <= 36; ++r) {
        if (!Digit(geral2, 1, r)) continue;
        const long double v = Val(geral2, 1, r, kGeral2) * Val(geral2, 2, r, kGeral2);
        soma += v;
        geral2.SetCell(7, r, geral2.Cell(2, r));
        geral2.SetCell(8, r, Money(v));
    }
    int divisor = 0;
    for (int r = 1; r < geral2.RowCount(); ++r)
        if (Digit(geral2, 7, r)) divisor = r;
    if (divisor < 25) divisor = 24;
    const long double media = soma / divisor;
    res.soma = soma;
    res.divisor = divisor;
    res.divisorx = divisor;
    res.media = res.mediaSemFator = media;
    res.salbeneficio = Money(media);
    RemoveRowsWithoutDigit(geral2, 7);
    std::vector<TLinhaDemo> rows;
    for (int r = 1; r < geral2.RowCount(); ++r)
        rows.push_back({geral2.Cell(0, r), geral2.Cell(1, r), geral2.Cell(7, r), geral2.Cell(8, r),
                        geral2.Cell(4, r)});
    MontaDemo(demo, rows, 2);

    // The benefit as of 16/12/1998, evolved from 12/1998 to the end date's
    // month, not over Gridcrmensal's own rows, which start years before and
    // end with the table.
    const TCellMatrix& cr = OrEmpty(tables.Gridcrmensal);
    const TDateTime first = EncodeDate(1998, 12, 1);
    TDateTime last = FirstOfMonth(ControlDate(in.MaskEdit2, "Data final"));
    if (last < first) last = first;
    std::vector<std::string> months;
    for (TDateTime d = first; d <= last; d = IncMonth(d, 1))
        months.push_back(FormatDateTime("mm/yyyy", d));
    correcao.SetColCount(6);
    correcao.SetRowCount(static_cast<int>(months.size()) + 1);
    ClearRows(correcao, 1);
    for (size_t i = 0; i < months.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        correcao.SetCell(0, r, months[i]);
        // A month the table lacks has no known readjustment.
        const int t = MonthRowOrFail(cr, months[i], tabelas::CrMensalRevInssFile);
        correcao.SetCell(3, r, Digit(cr, 1, t) ? cr.Cell(1, t) : std::string("1"));
    }

    fatorx(in, tables, in.Edit9, in.Edit8, in.Edit1, in.Edit6, res);  // the time without bonus
    const std::string beneficio =
        coeficientex(tables, in.ComboBox2, in.masculino, res.tempocontrib, media, res);
    correcao.SetCell(1, 1, beneficio);
    long double value = RemovePonto(beneficio);
    const TCellMatrix& sm = OrEmpty(tables.GridSalmin);
    const int sm1198 = FirstRowWith(sm, "01/11/1998");
    if (sm1198 < 1) MissingMonth("11/1998", tabelas::SalminFile);
    {
        const long double minimo = Val(sm, 1, sm1198, "Salário Mínimo");
        if (minimo > value) {
            correcao.SetCell(5, 1, "Salário Mínimo");
            value = minimo;
        }
    }
    const char* const kCorrecao = "Demonstrativo Correção";
    correcao.SetCell(1, 1, Money(value));
    correcao.SetCell(2, 1, "X");
    correcao.SetCell(4, 1, Money(value * Val(correcao, 3, 1, kCorrecao)));
    res.beneficioEvoluido = correcao.Cell(4, 1);
    long double v = value;
    for (int r = 1; r <= correcao.RowCount() - 2; ++r) {
        correcao.SetCell(2, r, "X");
        const long double c1 = Val(correcao, 1, r, kCorrecao);
        // The wage in force in the month, also in months the table does not
        // list (a stale one would undo the readjustments since).
        TDateTime month;
        if (MonthStart(correcao.Cell(0, r), month)) {
            const long double minimo = SalarioMinimoDoMes(tables.GridSalmin, month);
            v = minimo > c1 ? minimo : c1;
        }
        const long double next = Val(correcao, 3, r + 1, kCorrecao);
        if (c1 >= v) {
            correcao.SetCell(4, r + 1, Money(Val(correcao, 3, r, kCorrecao) * v * next));
            correcao.SetCell(1, r + 1, correcao.Cell(4, r));
        } else {
            correcao.SetCell(4, r + 1, Money(v * next));
            correcao.SetCell(1, r + 1, Money(v));
            correcao.SetCell(5, r + 1, "Salário Mínimo");
        }
        res.beneficioEvoluido = correcao.Cell(4, r + 1);
    }
}

} // namespace simulacao

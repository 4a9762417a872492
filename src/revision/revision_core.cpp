// The revision worksheet: corrected salaries, their sum, the new RMI and the
// report header.
#include "revision/revision_core.h"

#include "revision/state_values.h"

#include <algorithm>
#include <unordered_map>

#include "platform/runtime/arith.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "revision/revision_internal.h"
#include "revision/shared_helpers.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"
#include "tables/table_status.h"

namespace revisao {

const char* const SalariosHeaders[5] = {"Data", "Salário", "Índice", "Salário Atualizado", "*"};
const char* const EvolucaoHeaders[13] = {
    "Competência", "Evolução INSS", "MR INSS",   "*",        "Evolução Autor", "MR Autor", "*",
    "Diferença",   "Coeficiente",   "Corrigido", "Juros(%)", "Juros",          "Total"};
const char* const AtualizacaoNames[3] = {
    "inpc-irsm-urv-ipcr-inpc-igpdi",
    "inpc-irsm-urv-ipcr-inpc-igpdi-inpc",
    "inpc-irsm-urv-ipcr-inpc-igpdi-inpc+",
};
const char* const TotalLabel = "<b>TOTAL:</b>";

namespace detail {

std::string Fmt(long double value) {
    return FormatFloat("#,##0.00", CheckFinite(value));
}

bool HasDigit(const std::string& text) {
    return simulacao::checkinteiro(text);
}

long double FieldValue(const std::string& text, const std::string& field) {
    try {
        return simulacao::RemovePonto(text);
    } catch (const EConvertError&) {
        throw ECellValueError("Valor inválido em " + field + ": '" + text + "'");
    }
}

long double CellValue(const TCellMatrix& grid, int col, int row, const std::string& column,
                      const std::string& table) {
    const std::string& text = grid.Cell(col, row);
    try {
        return simulacao::RemovePonto(text);
    } catch (const EConvertError&) {
        std::string where = RowLabel(grid.Cell(0, row), row);
        if (!table.empty()) where += " da tabela " + table;
        throw ECellValueError(CellValueMessage(where, column, text));
    }
}

TDateTime DateOf(const std::string& dateText, const std::string& field) {
    TDateTime d;
    if (!TryStrToDate(dateText, d))
        throw ECellValueError("Data inválida em " + field + ": '" + dateText + "'");
    return d;
}

TDateTime MonthOfDate(const std::string& dateText, const std::string& field) {
    TDateTime d;
    if (!TryStrToDate("01/" + Copy(dateText, 4, 7), d))
        throw ECellValueError("Data inválida em " + field + ": '" + dateText + "'");
    return d;
}

bool TryMonthStart(const std::string& month, TDateTime& date) {
    return !month.empty() && TryStrToDate("01/" + month, date);
}

} // namespace detail

using namespace detail;

namespace {

const TCellMatrix& Grid(const TCellMatrix* grid) {
    static const TCellMatrix empty(1, 1);
    return grid ? *grid : empty;
}

void SetHeaders(TCellMatrix& grid, const char* const* headers, int count) {
    if (grid.ColCount() < count) grid.SetColCount(count);
    for (int c = 0; c < count; ++c)
        grid.SetCell(c, 0, headers[c]);
}

} // namespace

void LayoutSalarios(TCellMatrix& STGSalarios) {
    STGSalarios.SetColCount(5);
    STGSalarios.SetRowCount(37);
    SetHeaders(STGSalarios, SalariosHeaders, 5);
}

void LayoutEvolucao(TCellMatrix& SEvolucao) {
    SEvolucao.SetColCount(13);
    if (SEvolucao.RowCount() < 2) SEvolucao.SetRowCount(2);
    SetHeaders(SEvolucao, EvolucaoHeaders, 13);
}

void LayoutCabeca(TCellMatrix& cabeca) {
    cabeca.SetColCount(8);
    cabeca.SetRowCount(8);
    static const char* const left[8] = {
        "Autor:", "Prescrição:", "Ajuizamento:", "Contagem de Juros:",
        "",       "DIB",         "RM (R$)",      "Incremento:"};
    static const char* const right[8] = {"Espécie:",
                                         "Data Final do Cálculo:",
                                         "Considerado o 13º Salário",
                                         "Valor dos juros (%)",
                                         "",
                                         "",
                                         "Nova RM (R$)",
                                         "Incremento:"};
    for (int r = 0; r < 8; ++r) {
        cabeca.SetCell(0, r, left[r]);
        cabeca.SetCell(6, r, right[r]);
    }
}

void LayoutSalariosd(TCellMatrix& Salariosd) {
    Salariosd.SetColCount(8);
    Salariosd.SetRowCount(10);
    for (int c = 0; c < 8; ++c)
        Salariosd.SetCell(c, 0, c % 2 == 0 ? "Data" : "Valor");
}

// ---- salaries ---------------------------------------------------------------

void corrigesalario(TCellMatrix& STGSalarios, const TRevisionTables& tables,
                    const std::string& EDIB, std::string& marcalimite) {
    // A zero index is told below with its month; a repeated month takes the
    // last row, as the table has always been read.
    tabelas::RequireTables({{tabelas::SeriesIIIFile, nullptr},
                            {tabelas::SalminFile, tables.GridSalmin},
                            {tabelas::InssFile, tables.gridiinss}});
    const TCellMatrix& inpc = Grid(tables.Gridanterior1994);
    // The last row of a month wins, as a scan of the whole table gives.
    std::unordered_map<std::string, int> rowOf;
    for (int j = 1; j < inpc.RowCount(); ++j)
        rowOf[inpc.Cell(0, j)] = j;
    const long double base = simulacao::RemovePonto("3,55325");

    TDateTime dibMonth = 0;
    bool dibRead = false;
    TValueLimiter limiter(Grid(tables.GridSalmin), Grid(tables.gridiinss), tables.Cusetabsc,
                          marcalimite);
    for (int r = 1; r < STGSalarios.RowCount(); ++r) {
        // Values of an earlier run must not outlive a month that changed.
        for (int c = 2; c <= 4; ++c)
            STGSalarios.SetCell(c, r, "");
        const std::string& month = STGSalarios.Cell(0, r);
        if (month.empty()) continue;
        auto found = rowOf.find(month);
        if (found == rowOf.end()) continue;
        const int j = found->second;
        long double index = CellValue(inpc, 1, j, "1", tabelas::SeriesIIIFile);
        if (index == 0)
            throw calc::ECalcError("Índice zero na linha " + month +
                                   " da tabela " + std::string(tabelas::SeriesIIIFile) + ": o salário de " + month +
                                   " não pode ser corrigido");
        STGSalarios.SetCell(2, r, FormatFloat("0.00000000", CheckFinite(base / index)));

        // A month without a salary has nothing to correct: raising it to the
        // minimum wage would add a salary that was never typed.
        if (!HasDigit(STGSalarios.Cell(1, r))) continue;
        if (!dibRead) {
            dibMonth = MonthOfDate(EDIB, "DIB");
            dibRead = true;
        }
        long double salary = CellValue(STGSalarios, 1, r, "Salário");
        long double factor = CellValue(STGSalarios, 2, r, "Índice");
        std::string corrected = Fmt(salary * factor);
        STGSalarios.SetCell(3, r, limiter.devolvevalorAtMonth(corrected, dibMonth));
        STGSalarios.SetCell(4, r, marcalimite);
    }
}

std::string somasalarios(const TCellMatrix& STGSalarios, bool Ratualizar) {
    const int col = Ratualizar ? 3 : 1;
    const char* column = Ratualizar ? "Salário Atualizado" : "Salário";
    long double sum = 0;
    for (int r = 1; r < STGSalarios.RowCount(); ++r)
        if (HasDigit(STGSalarios.Cell(col, r))) sum += CellValue(STGSalarios, col, r, column);
    return Fmt(sum);
}

void salariosdx(const TCellMatrix& STGSalarios, TCellMatrix& Salariosd) {
    const int n = std::max(0, STGSalarios.RowCount() - 1);
    const int perPair = std::max(9, (n + 3) / 4);
    Salariosd.SetColCount(8);
    for (int r = 1; r < Salariosd.RowCount(); ++r)
        for (int c = 0; c < 8; ++c)
            Salariosd.SetCell(c, r, "");
    Salariosd.SetRowCount(perPair + 1);
    for (int k = 0; k < n; ++k) {
        const int pair = k / perPair, row = k % perPair + 1;
        Salariosd.SetCell(2 * pair, row, STGSalarios.Cell(0, k + 1));
        Salariosd.SetCell(2 * pair + 1, row, STGSalarios.Cell(1, k + 1));
    }
}

// ---- report header ----------------------------------------------------------

void cabecax(const TCabecaInput& in, TCellMatrix& cabeca) {
    if (cabeca.ColCount() < 8) cabeca.SetColCount(8);
    if (cabeca.RowCount() < 8) cabeca.SetRowCount(8);
    cabeca.SetCell(1, 0, in.EAutor);
    cabeca.SetCell(7, 0, in.EEspecie);
    cabeca.SetCell(1, 1, in.Prescricao);
    cabeca.SetCell(7, 1, in.Calculoate);
    cabeca.SetCell(1, 2, in.Dataajuizamento);
    cabeca.SetCell(7, 2, in.Chek13 ? "Sim" : "Não");
    cabeca.SetCell(1, 3, in.Contagemjuros);
    cabeca.SetCell(7, 3, in.Ejurosmes);
    cabeca.SetCell(1, 5, Copy(in.EDIB, 4, 7));
    cabeca.SetCell(1, 6, Fmt(in.ERMIMR));
    cabeca.SetCell(7, 6, in.ENRMIMR);
    cabeca.SetCell(1, 7, in.EIncrementoRMI);
    cabeca.SetCell(7, 7, in.ENIncrementoRMI);
}

// ---- the new RMI --------------------------------------------------------------

std::string TetoDoMes(const TCellMatrix& gridiinss, TDateTime monthStart, bool Cusetabsc) {
    const int last = gridiinss.RowCount() - 1;
    if (last < 1) return "";
    for (int j = 1; j <= last; ++j) {
        const std::string& month = gridiinss.Cell(0, j);
        TDateTime d;
        if (!TryMonthStart(month, d))
            throw ECellValueError("Data inválida na linha " + IntToStr(j) +
                                  " da tabela " + std::string(tabelas::InssFile) + ": '" + month + "'");
        if (Cusetabsc ? d <= monthStart : monthStart <= d) {
            // A later month's row stands for a month the table lacks.
            if (!Cusetabsc && d != monthStart) break;
            return gridiinss.Cell(1, j);
        }
    }
    MissingMonth(FormatDateTime("mm/yyyy", monthStart), tabelas::InssFile);
}

TNovaRmiResult novarmi(const TNovaRmiInput& in, const TRevisionTables& tables) {
    tabelas::RequireTables({{tabelas::InssFile, tables.gridiinss}});
    TNovaRmiResult out;
    const std::string zero = "0,00";

    out.Prescricao = in.Prescricao;
    if (HasDigit(in.Dataajuizamento)) {
        TDateTime filed = DateOf(in.Dataajuizamento, "Data do Ajuizamento");
        TDateTime p = IncMonth(filed, -60); // five years before the filing
        out.Prescricao = FormatDateTime("dd/mm/yyyy", p);
        if (MonthOfDate(out.Prescricao, "Prescrição") < EncodeDate(1994, 7, 1))
            out.Prescricao = "01/07/1994";
    }

    const bool hasA = HasDigit(in.EditA), hasC = HasDigit(in.EditC);
    const long double a = FieldValue(in.EditA, "a) Soma dos Salários-de-Contribuição");
    const long double c = FieldValue(in.EditC, "c) Somatório dos Salários-de-contribuição");
    out.EditD = hasA && hasC ? Fmt(a - c) : zero;
    out.EditE = hasC ? Fmt(c * 1.3967L) : zero;
    out.EditF = Fmt(simulacao::RemovePonto(out.EditD) + simulacao::RemovePonto(out.EditE));
    const long double f = simulacao::RemovePonto(out.EditF);

    // The ceiling in force in the DIB month, found as devolvevalor finds it.
    out.EditG = zero;
    bool hasG = false;
    if (HasDigit(in.EDIB)) {
        std::string teto =
            TetoDoMes(Grid(tables.gridiinss), MonthOfDate(in.EDIB, "DIB"), tables.Cusetabsc);
        if (HasDigit(teto)) out.EditG = teto;
    }
    const long double g = FieldValue(out.EditG, "g) Teto");
    hasG = g != 0;

    const bool hasB = HasDigit(in.EditB);
    const long double b = FieldValue(in.EditB, "b) Nº de Contribuições");
    if (hasB && b == 0) throw calc::ECalcError("O número de contribuições (b) não pode ser zero");
    // A missing ceiling leaves h, i and j at zero instead of limiting by 0.
    const bool computable = hasB && hasG;
    const long double fb = computable ? CheckFinite(f / b) : 0;
    long double h = fb;
    if (computable && h > g) h = g;
    out.EditH = computable ? Fmt(h) : zero;

    const bool hasCoef = HasDigit(in.ENCoeficienteRMI);
    const long double coef = FieldValue(in.ENCoeficienteRMI, "Coeficiente Nova RMI");
    out.EditI = hasCoef ? Fmt(simulacao::RemovePonto(out.EditH) * coef / 100) : zero;

    if (!computable)
        out.EditJ = zero;
    else if (fb > g)
        out.EditJ = FormatFloat("#,##0.00000000", CheckFinite(fb / g));
    else
        out.EditJ = "1";

    out.Lnovarmiem = in.EDIB;
    out.Lcoeficiente = in.ENCoeficienteRMI + "%))";
    out.ENSalBeneficio = out.EditH;
    out.ENIncrementoRMI = FormatFloat("#,##0.00000000", simulacao::RemovePonto(out.EditJ));
    out.ENRMIMR = out.EditI;
    return out;
}

// ---- state file -------------------------------------------------------------------

std::vector<std::string> StateLines(const std::vector<std::string>& values,
                                    const TCellMatrix& STGSalarios) {
    std::vector<std::string> lines;
    lines.reserve(sfFieldCount + 1 + 2 * STGSalarios.RowCount());
    for (int i = 0; i < sfFieldCount; ++i)
        lines.push_back(i < static_cast<int>(values.size()) ? values[i] : std::string());
    lines.push_back(IntToStr(STGSalarios.RowCount()));
    for (int r = 1; r < STGSalarios.RowCount(); ++r) {
        lines.push_back(STGSalarios.Cell(0, r));
        lines.push_back(STGSalarios.Cell(1, r));
    }
    return lines;
}

const char* const StateFieldNames[sfFieldCount] = {
    "Espécie", "Autor", "Calcular até", "Data do ajuizamento", "Parcela final", "Prescrição",
    "Contagem de juros", "Valor dos juros ao mês", "Tabela de atualização", "DIB",
    "Sal. Benefício", "Coeficiente RMI", "Incremento", "RMI/MR", "Novo Sal. Benefício",
    "Coeficiente Nova RMI", "Incremento (Nova RMI)", "Nova RMI/MR", "Calcular 13º salário",
    "a) Soma dos Salários-de-Contribuição", "b) Número de salários"};

TRevisionState ParseState(const std::vector<std::string>& lines, const std::string& fileName) {
    using namespace state_values;
    const char* const countField = "número de linhas da lista de salários";
    // Every value up to the count line must be there.
    if (lines.size() <= sfFieldCount)
        throw calc::ECalcError(EndsEarly(fileName, lines.size(),
                                         lines.size() < sfFieldCount ? StateFieldNames[lines.size()]
                                                                     : countField));
    TRevisionState state;
    for (int i = 0; i < sfFieldCount; ++i)
        state.values[i] = lines[i];
    const std::string& countText = lines[sfFieldCount];
    int count = 0;
    if (std::string why = CountProblem(countText, count); !why.empty())
        throw calc::ECalcError(RefusedLine(fileName, sfFieldCount + 1, countField, why));
    // The count and the rows must agree: a month and a salary line for each
    // row below the header, and nothing after them.
    const size_t first = sfFieldCount + 1;
    const size_t needed = 2 * static_cast<size_t>(count - 1);
    if (lines.size() - first < needed)
        throw calc::ECalcError(Refused(
            fileName, "a lista de salários tem " + IntToStr(count - 1) +
                          " linhas (linha " + IntToStr(sfFieldCount + 1) +
                          ") e o arquivo termina antes delas, na linha " + IntToStr(lines.size())));
    // One empty line more is an editor's final line end.
    const size_t after = lines.size() - first - needed;
    if (after > 1 || (after == 1 && !lines.back().empty()))
        throw calc::ECalcError(Refused(
            fileName, "a lista de salários tem " + IntToStr(count - 1) + " linhas (linha " +
                          IntToStr(sfFieldCount + 1) + "), mas o arquivo continua na linha " +
                          IntToStr(first + needed + 1)));
    state.hasRows = true;
    state.rowCount = count;
    for (int r = 1; r < count; ++r) {
        state.months.push_back(lines[first + 2 * (r - 1)]);
        state.salaries.push_back(lines[first + 2 * (r - 1) + 1]);
    }
    return state;
}

} // namespace revisao

#include "revision/state_values.h"

#include <cmath>

#include "controls/number_rules.h"
#include "controls/str_utils.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/strutil.h"
#include "tables/table_watch.h"

namespace state_values {

namespace {

std::string Bound(long double v, int decimals) {
    return FormatFloat(decimals > 0 ? "#,##0." + std::string(decimals, '0') : "#,##0", v);
}

} // namespace

std::string AmountProblem(const std::string& text, long double minValue, long double maxValue,
                          int decimals) {
    if (text.empty()) return "";
    long double v;
    if (!CurrEdit::TryReadNumber(CurrEdit::NormalizeNumberText(text), v))
        return QuotedExcerpt(text) + " não é um número";
    // Reading drops the points: "1.0.0" would read as 100 and "1.5" as 15.
    if (!CurrEdit::ThousandsWellPlaced(StrUtils::TrimBlanks(text)))
        return QuotedExcerpt(text) + " não é um número: o ponto só separa milhares (1.234,56)";
    if (std::fabs(v) >= kMaxAmount)
        return QuotedExcerpt(text) + " é grande demais (o limite é " + Bound(kMaxAmount - 1, 0) + ")";
    if (CurrEdit::ClampToBounds(v, minValue, maxValue) != v) {
        std::string range = maxValue > minValue
                                ? "de " + Bound(minValue, decimals) + " a " + Bound(maxValue, decimals)
                                : minValue == 0 ? "a partir de 0" : "até " + Bound(maxValue, decimals);
        return QuotedExcerpt(text) + " está fora do intervalo aceito (" + range + ")";
    }
    return "";
}

std::string DateProblem(const std::string& text) {
    if (text.find_first_not_of(" /") == std::string::npos) return "";
    bool shape = text.size() == 10 && text[2] == '/' && text[5] == '/';
    for (size_t i = 0; shape && i < text.size(); ++i)
        if (i != 2 && i != 5 && (text[i] < '0' || text[i] > '9')) shape = false;
    TDateTime d;
    if (!shape || !TryEncodeDate(std::stoi(text.substr(6, 4)), std::stoi(text.substr(3, 2)),
                                 std::stoi(text.substr(0, 2)), d))
        return QuotedExcerpt(text) + " não é uma data (dd/mm/aaaa)";
    return "";
}

std::string CountProblem(const std::string& text, int& count) {
    if (!TryStrToInt(Trim(text), count) || count < 1)
        return QuotedExcerpt(text) + " não é um número de linhas";
    return "";
}

std::string BooleanProblem(const std::string& text) {
    if (text == "true" || text == "false") return "";
    return QuotedExcerpt(text) + " não é true nem false";
}

std::string RowProblem(const std::string& text, int columns) {
    bool quoted = false;
    for (unsigned char c : text) {
        if (c == '"') quoted = !quoted;
        else if (c < ' ' && !quoted)
            return "a linha tem um caractere de controle (código " + std::to_string(c) +
                   ") fora de aspas";
    }
    TStringList cells;
    cells.SetCommaText(text);
    if (cells.Count() != columns)
        return "a linha tem " + std::to_string(cells.Count()) + " células e a grade tem " +
               std::to_string(columns) + " colunas";
    return "";
}

namespace {

std::string CaseDateProblem(const std::string& text, const char* field, TDateTime& date) {
    if (TryStrToDate(text, date)) return "";
    if (text.find_first_of("0123456789") == std::string::npos)
        return std::string("o caso não tem ") + field;
    return std::string("a ") + field + " " + QuotedExcerpt(text) + " não é uma data";
}

} // namespace

TMonthsProblem MonthsProblem(const TCellMatrix& planilha, const std::string& dataini,
                             const std::string& datafim, bool check13) {
    TDateTime d0, d1;
    if (std::string why = CaseDateProblem(dataini, "Data Inicial", d0); !why.empty())
        return {0, why};
    if (std::string why = CaseDateProblem(datafim, "Data Final", d1); !why.empty()) return {0, why};
    if (d1 < d0) return {0, "a Data Final " + datafim + " é anterior à Data Inicial " + dataini};
    int y0, m0, day0, y1, m1, day1;
    DecodeDate(d0, y0, m0, day0);
    DecodeDate(d1, y1, m1, day1);
    // Counted as the calculation counts them, without walking the months.
    const int first = tabelas::MonthNumber(y0, m0);
    const int k = tabelas::MonthNumber(y1, m1) - first;
    const int months = k > 0 && IncMonth(d0, k) > d1 ? k : k + 1;
    const int last = first + months - 1;
    const int thirteenths = check13 ? (last + 1) / 12 - first / 12 : 0;
    const int rows = 1 + months + thirteenths + 1;
    const std::string dates = "pelas datas do caso (Data Inicial e Data Final)";
    const std::string span =
        "vai de " + tabelas::MonthText(first) + " a " + tabelas::MonthText(last);

    int month = first;
    bool thirteenth = false;
    for (int r = 1; r <= planilha.RowCount() - 2 && r <= rows - 2; ++r) {
        const std::string due = tabelas::MonthText(month);
        if (planilha.Cell(0, r) != due)
            return {r, QuotedExcerpt(planilha.Cell(0, r)) + " não é o mês desta linha: " + dates +
                           " a planilha " + span +
                           (thirteenths > 0 ? ", com a linha do 13º salário depois de cada dezembro"
                                            : "") +
                           ", e esta linha é " + (thirteenth ? "a do 13º salário de " : "a de ") +
                           due};
        thirteenth = check13 && month % 12 == 11 && !thirteenth;
        if (!thirteenth) ++month;
    }
    if (planilha.RowCount() == rows) return {};
    std::string parts = "o título, " + (months == 1 ? std::string("o mês")
                                                    : "os " + std::to_string(months) + " meses");
    if (thirteenths > 0)
        parts += ", " + std::to_string(thirteenths) + (thirteenths == 1 ? " linha" : " linhas") +
                 " de 13º salário";
    return {0, "a planilha tem " + std::to_string(planilha.RowCount()) + " linhas, mas " + dates +
                   " ela " + span + " e tem " + std::to_string(rows) + ": " + parts +
                   " e a linha das somas"};
}

std::string Refused(const std::string& fileName, const std::string& why) {
    return "O arquivo " + fileName + " não foi aberto: " + why + ". Nada foi alterado.";
}

std::string RefusedLine(const std::string& fileName, size_t line, const std::string& field,
                        const std::string& why) {
    return Refused(fileName, "linha " + std::to_string(line) + " (" + field + "): " + why);
}

std::string EndsEarly(const std::string& fileName, size_t lines, const std::string& field) {
    if (lines == 0) return Refused(fileName, "o arquivo está vazio");
    return Refused(fileName, "ele termina na linha " + std::to_string(lines) + " e falta a linha " +
                                 std::to_string(lines + 1) + " (" + field + ")");
}

} // namespace state_values

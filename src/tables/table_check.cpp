#include "tables/table_check.h"

#include <algorithm>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/strutil.h"
#include "tables/table_names.h"

namespace tabelas {

namespace {

bool Digits(std::string_view s, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int Number(std::string_view s, size_t from, size_t count) {
    int n = 0;
    for (size_t i = from; i < from + count; ++i) n = n * 10 + (s[i] - '0');
    return n;
}

// The fields of one line, as the grid loader splits them: TABs separate
// them and the one after the last field opens none.
struct TLineFields {
    std::string_view field[kMaxTableColumns];
    int count = 0;       // fields kept in field[] (at most kMaxTableColumns)
    size_t total = 0;    // fields of the whole line
    bool blank = true;   // only TABs and spaces
};

// Splits off the next line (CR LF, CR or LF end it) and its fields in one
// pass over its bytes.
void NextLine(std::string_view text, size_t& pos, TLineFields& out) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin + pos;
    const char* fieldStart = p;
    out.count = 0;
    out.total = 0;
    out.blank = true;
    size_t tabs = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '\t') {
            if (out.count < kMaxTableColumns)
                out.field[out.count++] = std::string_view(fieldStart, static_cast<size_t>(p - fieldStart));
            ++tabs;
            fieldStart = p + 1;
        } else if (c == '\r' || c == '\n') {
            break;
        } else if (c != ' ') {
            out.blank = false;
        }
    }
    const bool trailingTab = p > begin + pos && p[-1] == '\t';
    if (p > begin + pos && !trailingTab && out.count < kMaxTableColumns)
        out.field[out.count++] = std::string_view(fieldStart, static_cast<size_t>(p - fieldStart));
    out.total = p == begin + pos ? 0 : trailingTab ? tabs : tabs + 1;
    if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    pos = static_cast<size_t>(p - begin);
}

std::string At(int lineNo) { return "linha " + std::to_string(lineNo) + ": "; }

enum class TNumberShape { Number, NotNumber, Point };

// The strict shape of a table number, and its value (close enough to tell
// its sign and compare it with -100). Up to 15 integer and 20 decimal digits:
// no real table comes near, and no value can overflow.
TNumberShape ReadNumber(std::string_view s, long double& value) {
    if (s.find('.') != std::string_view::npos) return TNumberShape::Point;
    size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) ++i;
    long double v = 0;
    size_t intDigits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++intDigits) v = v * 10 + (s[i] - '0');
    if (intDigits == 0 || intDigits > 15) return TNumberShape::NotNumber;
    if (i < s.size() && s[i] == ',') {
        ++i;
        size_t fracDigits = 0;
        long double scale = 1;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++fracDigits) {
            scale /= 10;
            v += (s[i] - '0') * scale;
        }
        if (fracDigits == 0 || fracDigits > 20) return TNumberShape::NotNumber;
    }
    if (i != s.size()) return TNumberShape::NotNumber;
    value = negative ? -v : v;
    return TNumberShape::Number;
}

// "60 meses": the term of a grace period.
bool IsTerm(std::string_view s) {
    const size_t space = s.find(' ');
    if (space == std::string_view::npos || space == 0 || space > 4 || s.substr(space) != " meses")
        return false;
    return Digits(s, 0, space) && Number(s, 0, space) > 0;
}

// What is wrong with one cell of column c ("" when nothing).
std::string CellProblem(std::string_view cell, const TColumnRule& rule) {
    if (rule.kind == TCellKind::Text || (rule.optional && cell.empty())) return "";
    if (rule.kind == TCellKind::Term)
        return IsTerm(cell) ? "" : "não é um prazo em meses (como '60 meses')";
    if (rule.kind == TCellKind::Month) return IsMonthKey(cell) ? "" : "não é um mês (mm/aaaa)";
    long double value = 0;
    switch (ReadNumber(cell, value)) {
    case TNumberShape::Point:
        return "tem ponto: os números das tabelas usam vírgula decimal e nenhum separador de "
               "milhar";
    case TNumberShape::NotNumber: return "não é um número";
    case TNumberShape::Number: break;
    }
    if (rule.kind == TCellKind::Positive && value <= 0) return "não pode ser zero nem negativo";
    if (rule.kind == TCellKind::Percent && value <= -100)
        return "não é um percentual maior que -100";
    return "";
}

// The key of a row as a number that grows with the month or date, or -1
// when the text is no key of that kind.
long KeyOrdinal(std::string_view s, TTableKey key) {
    switch (key) {
    case TTableKey::Month: return IsMonthKey(s) ? Number(s, 3, 4) * 12L + Number(s, 0, 2) : -1;
    case TTableKey::Date:
        return IsDateKey(s) ? Number(s, 6, 4) * 10000L + Number(s, 3, 2) * 100 + Number(s, 0, 2)
                            : -1;
    case TTableKey::Year: return s.size() == 4 && Digits(s, 0, 4) ? Number(s, 0, 4) : -1;
    case TTableKey::None: break;
    }
    return 0;
}

// The rows of a table, from the file or from the cells, one by one.
class TRowCheck {
public:
    explicit TRowCheck(const TTableRules& rules) : rules_(rules) {}

    std::string Row(int lineNo, const std::string_view* field, int count, bool blank) {
        if (blank) {
            if (!blankFrom_) blankFrom_ = lineNo;
            return "";
        }
        if (blankFrom_) return At(blankFrom_) + "linha vazia no meio da tabela";
        ++rows_;
        auto cell = [&](int c) { return c < count ? field[c] : std::string_view(); };
        if (std::string r = Key(lineNo, cell(0)); !r.empty()) return r;
        for (int c = 1; c <= kMaxRuleColumns; ++c)
            if (std::string r = CellProblem(cell(c), rules_.columns[c - 1]); !r.empty())
                return At(lineNo) + QuotedExcerpt(cell(c)) + " na coluna " + std::to_string(c + 1) +
                       " " + r;
        return "";
    }

    std::string Finish() const {
        return rows_ == 0 && rules_.key != TTableKey::None
                   ? "a tabela não tem nenhuma linha de dados"
                   : "";
    }

private:
    std::string Key(int lineNo, std::string_view key) {
        static const char* const kinds[] = {"", "um mês (mm/aaaa)", "uma data (dd/mm/aaaa)",
                                            "um ano (aaaa)"};
        static const char* const names[] = {"", "o mês", "a data", "o ano"};
        const int k = static_cast<int>(rules_.key);
        const long ordinal = KeyOrdinal(key, rules_.key);
        if (ordinal < 0)
            return At(lineNo) + QuotedExcerpt(key) + " na coluna 1 não é " + kinds[k];
        if (rules_.order != TKeyOrder::Any && prevLine_) {
            if (ordinal == prevKey_)
                return At(lineNo) + QuotedExcerpt(key) + " repete " + names[k] + " da linha " +
                       std::to_string(prevLine_);
            const bool oldestFirst = rules_.order == TKeyOrder::OldestFirst;
            if ((ordinal < prevKey_) == oldestFirst)
                return At(lineNo) + QuotedExcerpt(key) + " está fora de ordem: vem depois de " +
                       QuotedExcerpt(prevText_) + " (linha " + std::to_string(prevLine_) +
                       "), e a tabela vai do mais " + (oldestFirst ? "antigo" : "recente") +
                       " ao mais " + (oldestFirst ? "recente" : "antigo");
        }
        prevKey_ = ordinal;
        prevLine_ = lineNo;
        prevText_ = key;
        return "";
    }

    const TTableRules& rules_;
    int rows_ = 0;
    int blankFrom_ = 0; // blank lines count only when a row follows them
    long prevKey_ = 0;
    int prevLine_ = 0;
    std::string_view prevText_;
};

} // namespace

TTableRules TableRules(const std::string& fileName) {
    using K = TCellKind;
    constexpr TColumnRule positive{K::Positive}, optionalPositive{K::Positive, true};
    constexpr TColumnRule percent{K::Percent}, optionalNumber{K::Number, true};
    constexpr TColumnRule text{K::Text}, optionalTerm{K::Term, true};
    constexpr TColumnRule optionalMonth{K::Month, true};
    const TTableKey M = TTableKey::Month;
    const TKeyOrder up = TKeyOrder::OldestFirst;
    // Index factor and the month's minimum wage; the currency is carried;
    // the last month of the starts a readjustment is given to, where the acts
    // give it only to benefits started up to a month.
    const TTableRules correction{M, up, {positive, optionalPositive, text, optionalMonth}, true};
    // Monthly percentages; column 3 the divisor of a currency change.
    const TTableRules series{M, up, {percent, text, optionalPositive}, true};
    struct Entry {
        const char* file;
        TTableRules rules;
    };
    const Entry entries[] = {
        {SalminFile, {TTableKey::Date, up, {positive}, true}},
        {AtuaprevFile, {M, up, {percent}, true}},
        {CrMensalRev3File, correction},
        {CrMensalRevInssFile, correction},
        {MeuIndiceFile, {M, up, {positive, optionalPositive}, false}},
        {SeriesIFile, series},
        {SeriesIIFile, series},
        // Index numbers: every factor is a ratio of two of them.
        {SeriesIIIFile, {M, up, {positive}, true}},
        {Inpc98File, {M, up, {percent}, true}},
        {InssFile, {M, up, {positive, optionalPositive}, true}},
        {InssScFile, {M, TKeyOrder::NewestFirst, {positive}, false}},
        // Coefficient, additions, contributions, grace periods and years of
        // each benefit, read where they hold a digit.
        {CoeficientesFile,
         {TTableKey::None,
          TKeyOrder::Any,
          {optionalPositive, optionalNumber, optionalNumber, optionalNumber, optionalNumber,
           optionalNumber, optionalNumber},
          false}},
        {FatorFile, {TTableKey::None, TKeyOrder::Any, {positive, positive}, false}},
        {PrazosFile, {TTableKey::Year, up, {optionalTerm, optionalTerm}, false}},
    };
    for (const Entry& e : entries)
        if (fileName == e.file) return e.rules;
    return {};
}

bool IsMonthKey(std::string_view s) {
    if (s.size() != 7 || s[2] != '/' || !Digits(s, 0, 2) || !Digits(s, 3, 4)) return false;
    const int month = Number(s, 0, 2);
    return month >= 1 && month <= 12;
}

bool IsDateKey(std::string_view s) {
    if (s.size() != 10 || s[2] != '/' || s[5] != '/' || !Digits(s, 0, 2) || !Digits(s, 3, 2) ||
        !Digits(s, 6, 4))
        return false;
    TDateTime d;
    return TryEncodeDate(Number(s, 6, 4), Number(s, 3, 2), Number(s, 0, 2), d);
}

bool IsTableNumber(std::string_view text) {
    long double value;
    return ReadNumber(text, value) == TNumberShape::Number;
}

std::string CheckTableText(std::string_view text, const TTableRules& rules) {
    if (size_t nul = text.find('\0'); nul != std::string_view::npos)
        return "linha " + std::to_string(TableLineAt(text, nul)) + ": byte nulo no texto";
    size_t pos = 0;
    int lineNo = 0;
    bool anyText = false;
    TRowCheck rows(rules);
    TLineFields line;
    while (pos < text.size()) {
        NextLine(text, pos, line);
        if (++lineNo > kMaxTableLines)
            return "o arquivo tem mais de " + std::to_string(kMaxTableLines) + " linhas";
        // Every line, even one of TABs only, becomes as many cells.
        if (line.total > static_cast<size_t>(kMaxTableColumns))
            return At(lineNo) + "mais de " + std::to_string(kMaxTableColumns) + " colunas";
        anyText = anyText || !line.blank;
        // The header's cells are titles: only its width counts. A first line
        // that reads as a data row means the titles were lost, and the grids
        // would take that row for them.
        if (lineNo == 1) {
            if (rules.key != TTableKey::None && line.count > 0 &&
                KeyOrdinal(line.field[0], rules.key) >= 0)
                return At(1) + QuotedExcerpt(line.field[0]) +
                       " é uma linha de dados: a primeira linha deve ser a dos títulos das colunas";
            continue;
        }
        if (std::string r = rows.Row(lineNo, line.field, line.count, line.blank); !r.empty())
            return r;
    }
    if (!anyText) return "o arquivo está vazio";
    // Every writer ends each line: a last line without its end was cut, and
    // its last value may be a part of the number.
    if (size_t end = text.find_last_not_of(" \t"); end != std::string_view::npos &&
                                                    text[end] != '\r' && text[end] != '\n')
        return At(TableLineAt(text, end)) +
               "a última linha não termina com fim de linha: o arquivo foi cortado";
    return rows.Finish();
}

std::string_view WithoutTrailingBlankLines(std::string_view text) {
    const size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos) return text.substr(0, 0);
    size_t end = text.find_first_of("\r\n", last);
    if (end == std::string_view::npos) return text;
    end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    return text.substr(0, end);
}

std::string CheckTableCells(const TCellMatrix& cells, const TTableRules& rules, bool needRows) {
    TRowCheck rows(rules);
    std::string_view field[kMaxTableColumns];
    const int count = std::min(cells.ColCount(), kMaxTableColumns);
    for (int r = 1; r < cells.RowCount(); ++r) {
        bool blank = true;
        for (int c = 0; c < count; ++c) {
            field[c] = cells.Cell(c, r);
            blank = blank && field[c].find_first_not_of(' ') == std::string_view::npos;
        }
        if (std::string problem = rows.Row(r + 1, field, count, blank); !problem.empty())
            return problem;
    }
    return needRows ? rows.Finish() : "";
}

} // namespace tabelas

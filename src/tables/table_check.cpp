#include "tables/table_check.h"

#include <cmath>
#include <cstring>

#include "grids/table_file.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/formats.h"
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

std::string CheckRow(const TLineFields& line, int lineNo, const TTableRules& rules) {
    auto field = [&](int c) { return c < line.count ? line.field[c] : std::string_view(); };
    if (rules.key == TTableKey::Month && !IsMonthKey(field(0)))
        return At(lineNo) + QuotedExcerpt(field(0)) + " na coluna 1 não é um mês (mm/aaaa)";
    if (rules.key == TTableKey::Date && !IsDateKey(field(0)))
        return At(lineNo) + QuotedExcerpt(field(0)) + " na coluna 1 não é uma data (dd/mm/aaaa)";
    for (int c = 1; c <= rules.numbers + rules.optionalNumbers; ++c) {
        std::string_view cell = field(c);
        if (c > rules.numbers && cell.empty()) continue;
        if (!IsTableNumber(cell))
            return At(lineNo) + QuotedExcerpt(cell) + " na coluna " + std::to_string(c + 1) +
                   " não é um número";
    }
    return "";
}

// The common shapes of a table amount ("1.234,56", "-0,5", "12") answered
// without a copy or a conversion: 1 a number, 0 not one, -1 for anything
// else (an exponent, blanks, many digits), which takes the full conversion.
int QuickTableNumber(std::string_view text) {
    if (FormatSettings.DecimalSeparator != ',') return -1;
    int digits = 0, commas = 0;
    bool started = false;  // past the place of a sign (points are dropped)
    for (const char c : text) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == ',') ++commas;
        else if (c == '-' || c == '+') {
            if (started) return 0;
        } else if (c == '.') continue;
        else return -1;
        started = true;
    }
    // Up to 18 digits no value overflows.
    if (digits > 18) return -1;
    return digits > 0 && commas <= 1 ? 1 : 0;
}

} // namespace

TTableRules TableRules(const std::string& fileName) {
    struct Entry {
        const char* file;
        TTableRules rules;
    };
    static const Entry entries[] = {
        {SalminFile, {TTableKey::Date, 1, 0, true}},
        {AtuaprevFile, {TTableKey::Month, 1, 0, true}},
        {CrMensalRev3File, {TTableKey::Month, 1, 1, true}},
        // Columns 2 and 3 of a series are carried along as they are; a
        // divisor there is read by its generator.
        {SeriesIFile, {TTableKey::Month, 1, 0, true}},
        {SeriesIIFile, {TTableKey::Month, 1, 0, true}},
        {SeriesIIIFile, {TTableKey::Month, 1, 0, true}},
        {Inpc98File, {TTableKey::Month, 1, 0, true}},
        {InssFile, {TTableKey::Month, 1, 1, true}},
        {CrMensalRevInssFile, {TTableKey::Month, 1, 1, true}},
        {InssScFile, {TTableKey::Month, 1, 0, false}},
        {MeuIndiceFile, {TTableKey::Month, 1, 1, false}},
        {CoeficientesFile, {TTableKey::None, 0, 0, false}},
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
    if (const int quick = QuickTableNumber(text); quick >= 0) return quick == 1;
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '.') plain += c;
    if (plain.empty() || plain.find_first_not_of("0123456789,+-eE ") != std::string::npos)
        return false;
    long double value;
    return TryStrToFloat(plain, value) && std::isfinite(value);
}

std::string CheckTableText(std::string_view text, const TTableRules& rules) {
    if (size_t nul = text.find('\0'); nul != std::string_view::npos)
        return "linha " + std::to_string(TableLineAt(text, nul)) + ": byte nulo no texto";
    size_t pos = 0;
    int lineNo = 0, rows = 0;
    bool anyText = false;
    // Blank lines count only when a row follows them.
    int blankFrom = 0;
    TLineFields line;
    while (pos < text.size()) {
        NextLine(text, pos, line);
        if (++lineNo > kMaxTableLines)
            return "o arquivo tem mais de " + std::to_string(kMaxTableLines) + " linhas";
        // Every line, even one of TABs only, becomes as many cells.
        if (line.total > static_cast<size_t>(kMaxTableColumns))
            return At(lineNo) + "mais de " + std::to_string(kMaxTableColumns) + " colunas";
        anyText = anyText || !line.blank;
        // The header's cells are titles: only its width counts.
        if (lineNo == 1) continue;
        if (line.blank) {
            if (!blankFrom) blankFrom = lineNo;
            continue;
        }
        if (blankFrom) return At(blankFrom) + "linha vazia no meio da tabela";
        if (std::string r = CheckRow(line, lineNo, rules); !r.empty()) return r;
        ++rows;
    }
    if (!anyText) return "o arquivo está vazio";
    if (rows == 0 && rules.key != TTableKey::None) return "a tabela não tem nenhuma linha de dados";
    return "";
}

} // namespace tabelas

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

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of("\t ") == std::string_view::npos;
}

// Splits off the next line; CR LF, CR or LF end it.
std::string_view NextLine(std::string_view text, size_t& pos) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    return line;
}

// The number of fields of a line; the separator after the last one opens none.
size_t FieldCount(std::string_view line) {
    if (line.empty()) return 0;
    size_t tabs = 0;
    for (char c : line) tabs += c == '\t';
    return line.back() == '\t' ? tabs : tabs + 1;
}

std::string CheckRow(std::string_view line, int lineNo, const TTableRules& rules) {
    const std::string at = "linha " + std::to_string(lineNo) + ": ";
    // The fields; the separator after the last one opens none.
    std::string_view fields[kMaxTableColumns];
    int count = 0;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t tab = line.find('\t', pos);
        if (tab == std::string_view::npos) tab = line.size();
        if (count == kMaxTableColumns)
            return at + "mais de " + std::to_string(kMaxTableColumns) + " colunas";
        fields[count++] = line.substr(pos, tab - pos);
        pos = tab + 1;
    }
    if (count == 0) return at + "linha vazia no meio da tabela";
    auto field = [&](int c) { return c < count ? fields[c] : std::string_view(); };
    if (rules.key == TTableKey::Month && !IsMonthKey(field(0)))
        return at + QuotedExcerpt(field(0)) + " na coluna 1 não é um mês (mm/aaaa)";
    if (rules.key == TTableKey::Date && !IsDateKey(field(0)))
        return at + QuotedExcerpt(field(0)) + " na coluna 1 não é uma data (dd/mm/aaaa)";
    for (int c = 1; c <= rules.numbers + rules.optionalNumbers; ++c) {
        std::string_view cell = field(c);
        if (c > rules.numbers && cell.empty()) continue;
        if (!IsTableNumber(cell))
            return at + QuotedExcerpt(cell) + " na coluna " + std::to_string(c + 1) + " não é um número";
    }
    return "";
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
    while (pos < text.size()) {
        std::string_view line = NextLine(text, pos);
        if (++lineNo > kMaxTableLines)
            return "o arquivo tem mais de " + std::to_string(kMaxTableLines) + " linhas";
        // Every line, even one of TABs only, becomes as many cells.
        if (FieldCount(line) > static_cast<size_t>(kMaxTableColumns))
            return "linha " + std::to_string(lineNo) + ": mais de " +
                   std::to_string(kMaxTableColumns) + " colunas";
        const bool blank = IsBlankLine(line);
        anyText = anyText || !blank;
        // The header's cells are titles: only its width counts.
        if (lineNo == 1) continue;
        if (blank) {
            if (!blankFrom) blankFrom = lineNo;
            continue;
        }
        if (blankFrom)
            return "linha " + std::to_string(blankFrom) + ": linha vazia no meio da tabela";
        if (std::string r = CheckRow(line, lineNo, rules); !r.empty()) return r;
        ++rows;
    }
    if (!anyText) return "o arquivo está vazio";
    if (rows == 0 && rules.key != TTableKey::None) return "a tabela não tem nenhuma linha de dados";
    return "";
}

} // namespace tabelas

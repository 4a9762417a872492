#pragma once
// What an index table must hold before a calculation reads it: text without
// NUL bytes, a month ("mm/yyyy"), a date ("dd/mm/yyyy") or a year as the key
// of every data row, in the table's order and never twice, and in every
// column the calculations read a value of the column's kind. A damaged table
// is refused whole, so no calculation ever runs on part of it.
#include <array>
#include <string>
#include <string_view>

class TCellMatrix;

namespace tabelas {

enum class TTableKey { None, Month, Date, Year };

// The order of the keys: the lookups take the first or the last row that
// matches, so a row out of place or repeated would give another month's value.
enum class TKeyOrder { Any, OldestFirst, NewestFirst };

// What a column holds, as the calculations read it.
enum class TCellKind : unsigned char {
    Text,     // carried along as it is (a currency name)
    Number,   // any number, zero and negatives included
    Percent,  // a percentage above -100: 1 + p / 100 multiplies amounts
    Positive, // a factor, divisor, index number, wage or ceiling
    Term,     // a term in months, "60 meses"
    Month,    // a month, "mm/aaaa"
};

struct TColumnRule {
    TCellKind kind = TCellKind::Text;
    bool optional = false; // may be empty
};

inline constexpr int kMaxRuleColumns = 8;

struct TTableRules {
    TTableKey key = TTableKey::None;
    TKeyOrder order = TKeyOrder::Any;
    // columns[0] is column 1 (the first after the key), and so on.
    std::array<TColumnRule, kMaxRuleColumns> columns{};
    // A table the program ships and the calculations need: missing, it is
    // reported. The others (an own index never made) may be absent.
    bool required = false;
};

// The rules of a table file of the data directory, by its name.
TTableRules TableRules(const std::string& fileName);

// No index table has more columns or lines than these (a month a line from
// 1900 to 2100 is 2.400 lines); a table beyond them is damaged, and loading
// it would cost memory out of all proportion to any real table.
inline constexpr int kMaxTableColumns = 16;
inline constexpr int kMaxTableLines = 20000;

// Checks a table's text: "" when it may be loaded, else the reason with its
// line, e.g. "linha 5: 'abc' na coluna 2 não é um número". The header (line
// 1) must not read as a data row; its titles are not checked. Empty lines at
// the end are allowed, as are line ends of any kind and a TAB after the last
// field, but the last line that holds text must end with a line end.
std::string CheckTableText(std::string_view text, const TTableRules& rules);

// The text up to the end of its last line that holds more than TABs and
// blanks: the blank lines after it, which the check allows, make no rows.
std::string_view WithoutTrailingBlankLines(std::string_view text);

// The same check on the cells of a loaded table (row 0 the header), which
// may have been edited since it was read: "linha N" is row N - 1. Without
// needRows a grid with no data row passes (a table that was never loaded).
std::string CheckTableCells(const TCellMatrix& cells, const TTableRules& rules,
                            bool needRows = true);

// True for "mm/yyyy" with a month 01..12.
bool IsMonthKey(std::string_view text);
// True for "dd/mm/yyyy" that is a calendar date.
bool IsDateKey(std::string_view text);
// A table number: an optional minus, digits and at most one decimal comma
// followed by digits ("1250700,00", "-0,5"). No point, no exponent, no
// blank: the calculations read a point as a thousands separator and skip
// letters, so "1.0545" or "1e3" would be read as another number.
bool IsTableNumber(std::string_view text);

} // namespace tabelas

#pragma once
// What an index table file must hold before it reaches its grid: text
// without NUL bytes, a month ("mm/yyyy") or a date ("dd/mm/yyyy") as the key
// of every data row, and numbers where the calculations read numbers. A
// damaged table is refused whole, so no calculation ever runs on part of it.
#include <string>
#include <string_view>

namespace tabelas {

enum class TTableKey { None, Month, Date };

struct TTableRules {
    TTableKey key = TTableKey::None;
    int numbers = 0;          // columns 1 .. numbers must each hold a number
    int optionalNumbers = 0;  // the next ones hold a number or nothing
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
// 1) is not checked; empty lines at the end are allowed, as are line ends
// of any kind and a TAB after the last field.
std::string CheckTableText(std::string_view text, const TTableRules& rules);

// True for "mm/yyyy" with a month 01..12.
bool IsMonthKey(std::string_view text);
// True for "dd/mm/yyyy" that is a calendar date.
bool IsDateKey(std::string_view text);
// A table cell as the calculations read amounts: thousands points dropped,
// decimal comma. Empty text is no number.
bool IsTableNumber(std::string_view text);

} // namespace tabelas

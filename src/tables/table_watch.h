#pragma once
// The index tables as a calculation finds them. Before it computes, each
// table it reads is brought up to date with its file, checked again only when
// its file or its cells changed since the last check, and searched for every
// month the calculation will look up. Whatever stands in the way is told in
// one refusal: each table by its file name, the data folder, the months it
// lacks as ranges ("02/2026 a 11/2026") and what to do. A table file changed
// while the program runs is read again by the next calculation: no restart.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCellMatrix;

namespace tabelas {

// A month as one number (year * 12 + month - 1), and back as "mm/yyyy".
int MonthNumber(int year, int month);
std::string MonthText(int number);
// The month of a table row's key, "mm/yyyy" or "dd/mm/yyyy"; false for
// another key.
bool KeyMonth(const std::string& key, int& month);

// The months from `first` to `last`, both included.
struct TMonthSpan {
    int first = 0;
    int last = -1;
};

// How a table's cells follow its file.
enum class TFollow {
    // Made again from the file before each calculation (the calculation
    // shortens them; an edit in the tables form is not used): the
    // correction table and the index series.
    File,
    // Loaded at start-up and read again only when the file changed since;
    // until then the cells are used as they are, edits included, and
    // checked again whenever they change. A file missing since it was read
    // leaves the cells in use.
    Changes,
};

// One table a calculation reads: its file in the data folder, its cells and
// the months it looks up in them (by the key of column 0).
struct TTableUse {
    std::string file;
    TCellMatrix* cells = nullptr;
    TFollow follow = TFollow::Changes;
    std::vector<TMonthSpan> months;
    // Months whose cell in `column`, a column that may be left empty, is
    // read too (the smaller ceiling of inss.tab): empty, it is told.
    int column = 0;
    std::vector<TMonthSpan> filled;
};

// Called for cells that were loaded again, so that their grid shows them.
using TCellsLoaded = std::function<void(TCellMatrix&)>;

// Brings every table up to date and checks it and its months; raises one
// ETableError (tables/table_status.h) that lists every table that cannot
// serve, in the order given (a file named twice is told once). A table that
// follows its file is checked in its file: its cells are made what the file
// holds by PrepareTable, before the calculation reads them.
struct TTableRefusal;
// A check of the tables once each was brought up to date, which adds the
// lines of its own to the refusal (what one table lacks for another's rows).
using TMoreRefusals = std::function<void(std::vector<TTableRefusal>&)>;

void PrepareTables(const std::string& dir, const std::vector<TTableUse>& uses,
                   const TCellsLoaded& loaded = {}, const TMoreRefusals& more = {});

// The same for one table without months, its cells made what its file holds
// when it follows it (the reloaders of the tables form).
void PrepareTable(const std::string& dir, const std::string& file, TCellMatrix& cells,
                  TFollow follow, const TCellsLoaded& loaded = {});

// Whether dir/file served when the cells were last prepared from it and has
// not changed since (one look at the file, no reading).
bool FileUnchanged(const std::string& dir, const std::string& file, const TCellMatrix& cells);

// A digest of every cell and of the counts: equal digests mean the cells are
// as they were when the digest was taken.
uint64_t CellsDigest(const TCellMatrix& cells);

// What the start-up load read into the cells from dir/file (text empty when
// the file was missing or refused): the calculations then read the file
// again only when it changes.
void NoteTableLoaded(const std::string& dir, const std::string& file, TCellMatrix* cells,
                     const std::string& text);

// The problem CheckTableCells finds in the cells of the table `file` (""
// when none), checked again only when the cells changed since the last call.
std::string CheckedCellsProblem(const std::string& file, const TCellMatrix& cells);

// Asked, with the question to show, when a table loaded at start-up finds
// its file changed while its cells hold edits not saved ("Gravar"): true
// replaces the edits with what the file holds. Without one the edits stay.
using TReplaceEditsQuestion = std::function<bool(const std::string& question)>;
void SetReplaceEditsQuestion(TReplaceEditsQuestion ask);

// Forgets what was read and checked: the next calculation reads and checks
// every table it needs again.
void ForgetLoadedTables();

// One line of a refusal.
struct TTableRefusal {
    std::string file;
    std::string problem; // "não tem os meses 02/2026 a 11/2026"
    std::string action;  // "acrescente esses meses ao arquivo (uma linha por mês, em ordem)"
};
// "O cálculo não foi feito por causa desta tabela da pasta de dados "dir":"
// and a line "- file problem: action." for each, then what to do next.
std::string RefusalText(const std::string& dir, const std::vector<TTableRefusal>& refusals);

// The months of `needed` that are not in `present` (sorted), as ranges:
// "03/1992 a 12/1992 e 03/1993 a 06/1994" (at most 12 ranges, then how many
// more months). Empty when none is missing.
std::string MissingMonthsText(const std::vector<TMonthSpan>& needed,
                              const std::vector<int>& present, int* missingCount = nullptr);

} // namespace tabelas

#pragma once
// Which index tables could not be loaded, and why. The start-up load notes
// every missing or damaged table; a reload before a calculation brings its
// table up to date. A calculation asks for the tables it needs and stops,
// naming the table, rather than compute without one.
#include <initializer_list>
#include <string>

#include "platform/runtime/errors.h"

class TCellMatrix;

namespace tabelas {

// A calculation that needs a table that is missing or damaged.
class ETableError : public Exception {
public:
    using Exception::Exception;
};

// "A tabela <file> <problem>", e.g. "A tabela salmin.tab está danificada
// (linha 5: byte nulo no texto)".
std::string TableProblemText(const std::string& fileName, const std::string& problem);

void NoteTableProblem(const std::string& fileName, const std::string& problem);
void ClearTableProblem(const std::string& fileName);
// The problem noted for the file ("" when none).
std::string TableProblem(const std::string& fileName);
// Also forgets what was read and checked (tables/table_watch.h).
void ClearTableProblems();

// Raises ETableError "O cálculo não foi feito: a tabela <file> <problem>."
// for the first of the files that has a problem.
void RequireTables(std::initializer_list<const char*> files);

// A table a calculation reads, and the cells it reads it from.
struct TTableInUse {
    const char* file;
    const TCellMatrix* cells;
};
// RequireTables for each file, and then its cells (when given) are checked
// as its file is at start-up (again only when they changed since): a table edited since it was loaded stops the
// calculation with "O cálculo não foi feito: a tabela <file> tem um valor
// que não pode ser usado (linha 5: ...)." rather than give a wrong total.
void RequireTables(std::initializer_list<TTableInUse> tables);

// Reads and checks a table file of the data directory (dir + name) against
// its rules. Returns "" and the text, or the problem ("não foi encontrada na
// pasta de dados", "está danificada (linha 5: ...)", "não pôde ser lida
// (...)"). The text comes without the blank lines at its end. A missing optional table gives "" and an empty text with
// `missing` set.
std::string ReadCheckedTable(const std::string& dir, const std::string& name, std::string& text,
                             bool& missing);

// The reload before a calculation (tables/table_watch.h, TFollow::File):
// the cells are made again from the file, which is read and checked whole
// when it changed since it was last read. A table that cannot serve raises
// ETableError in the words of a calculation's refusal; the cells keep their
// texts.
void ReloadCheckedTable(TCellMatrix& cells, const std::string& dir, const std::string& name);

} // namespace tabelas

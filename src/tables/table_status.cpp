#include "tables/table_status.h"

#include <cerrno>
#include <map>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "tables/table_check.h"
#include "tables/table_watch.h"

namespace tabelas {

namespace {

std::map<std::string, std::string>& Problems() {
    static std::map<std::string, std::string> problems;
    return problems;
}

} // namespace

std::string TableProblemText(const std::string& fileName, const std::string& problem) {
    return "A tabela " + fileName + " " + problem;
}

void NoteTableProblem(const std::string& fileName, const std::string& problem) {
    Problems()[fileName] = problem;
}

void ClearTableProblem(const std::string& fileName) {
    Problems().erase(fileName);
}

std::string TableProblem(const std::string& fileName) {
    auto it = Problems().find(fileName);
    return it == Problems().end() ? std::string() : it->second;
}

void ClearTableProblems() {
    Problems().clear();
    ForgetLoadedTables();
}

void RequireTables(std::initializer_list<const char*> files) {
    for (const char* file : files)
        if (std::string problem = TableProblem(file); !problem.empty())
            throw ETableError("O cálculo não foi feito: a tabela " + std::string(file) + " " +
                              problem + ".");
}

void RequireTables(std::initializer_list<TTableInUse> tables) {
    for (const TTableInUse& t : tables) {
        RequireTables({t.file});
        if (!t.cells) continue;
        if (std::string reason = CheckedCellsProblem(t.file, *t.cells); !reason.empty())
            throw ETableError("O cálculo não foi feito: a tabela " + std::string(t.file) +
                              " tem um valor que não pode ser usado (" + reason + ").");
    }
}

std::string ReadCheckedTable(const std::string& dir, const std::string& name, std::string& text,
                             bool& missing) {
    const TTableRules rules = TableRules(name);
    const std::string path = PathJoin(dir, name);
    text.clear();
    missing = false;
    try {
        text = ReadTableText(path);
    } catch (const EDamagedFile& e) {
        return "está danificada (" + e.Reason + ")";
    } catch (const EInOutError& e) {
        if (e.ErrorCode == ENOENT) {
            missing = true;
            return rules.required ? "não foi encontrada na pasta de dados" : "";
        }
        return "não pôde ser lida (" + e.Reason + ")";
    }
    if (std::string reason = CheckTableText(text, rules); !reason.empty()) {
        text.clear();
        return "está danificada (" + reason + ")";
    }
    // Blank lines at the end would become blank last rows, which the
    // generators and the reloaders would take for the last month.
    text.resize(WithoutTrailingBlankLines(text).size());
    return "";
}

void ReloadCheckedTable(TCellMatrix& cells, const std::string& dir, const std::string& name) {
    PrepareTable(dir, name, cells, TFollow::File);
}

} // namespace tabelas

#pragma once
// The start-up load of the index tables: every table file of the data
// directory that exists is loaded into its grid, in a fixed order, and the
// factor series the program needs from the start are derived from it.
#include <functional>
#include <string>

class TCellMatrix;

// The cells of the grids the load fills, named as on the tables form
// (Form8) and the own-index form (Form15).
struct TIndexTableSet {
    TCellMatrix* GridSalmin = nullptr;
    TCellMatrix* tabatusal = nullptr;
    TCellMatrix* GridCorrRev = nullptr;
    TCellMatrix* INPCGrid = nullptr;
    TCellMatrix* SRevisaoI = nullptr;
    TCellMatrix* SRVI = nullptr;
    TCellMatrix* SRevisaoII = nullptr;
    TCellMatrix* SRVII = nullptr;
    TCellMatrix* SRevisaoIII = nullptr;
    TCellMatrix* Gridanterior1994 = nullptr;
    TCellMatrix* gridinpc98 = nullptr;
    TCellMatrix* grid98 = nullptr;
    TCellMatrix* gridiinss = nullptr;
    TCellMatrix* gridinsssc = nullptr;
    TCellMatrix* Gridcoeficientes = nullptr;
    TCellMatrix* Gridcrmensal = nullptr;
    TCellMatrix* GridMI = nullptr;
};

// Reads a table file into a grid's cells (from the top-left; the grid only grows).
using TTableLoader = std::function<void(TCellMatrix& cells, const std::string& fileName)>;
// Told of a table that could not be loaded or derived.
using TTableFailure = std::function<void(const std::string& message)>;

// The fourteen tables in order, each loaded only when its file exists (a
// missing file is skipped without a word), followed by the generators of
// that table. A table that fails (its file cannot be read, or a cell its
// generator needs is not a number) is reported through `failed` with a
// message naming the file (by its name: the directory is the program's own),
// and the load goes on with the next one. Returns how many tables were loaded.
int LoadIndexTables(const std::string& dataDir, const TIndexTableSet& tables,
                    const TTableLoader& load, const TTableFailure& failed);

// "Erro ao ler a tabela <file>: <error>".
std::string TableFailureMessage(const std::string& fileName, const std::string& error);

// The program's start-up load into the grids of Form8 and Form15 (both must
// exist); each failed table shows one message. Both forms keep dataDir as
// the directory their buttons and reloaders use.
void LoadStartupTables(const std::string& dataDir);

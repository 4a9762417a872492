#pragma once
// The start-up load of the index tables: every table file of the data
// directory that exists is loaded into its grid, in a fixed order, and the
// factor series the program needs from the start are derived from it.
#include <functional>
#include <string>
#include <vector>

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

// Puts a checked table text into a grid's cells (from the top-left; the
// grid only grows).
using TTableLoader = std::function<void(TCellMatrix& cells, const std::string& text)>;
// Told of a table that could not be loaded or derived.
using TTableFailure = std::function<void(const std::string& message)>;

// The fourteen tables in order, each followed by the generators of that
// table, then the two the simulation's windows read (checked only). Every
// table file is read and checked whole before it reaches its grid
// (tables/table_check.h). A table the program ships that is missing,
// unreadable or damaged, an optional one that is damaged, or a table whose
// generator fails is reported through `failed` with a message naming the
// file (by its name: the directory is the program's own) and noted as a
// table problem (tables/table_status.h); its grid keeps what it held, and
// the load goes on with the next one. An optional table that is absent is
// skipped without a word. Returns how many tables were loaded.
int LoadIndexTables(const std::string& dataDir, const TIndexTableSet& tables,
                    const TTableLoader& load, const TTableFailure& failed);

// The one message of the start-up for the failures it lists, "" for none.
std::string StartupProblemsMessage(const std::vector<std::string>& failures);

// The program's start-up load into the grids of Form8 and Form15 (both must
// exist); the tables that failed are shown in one message. Both forms keep
// dataDir as the directory their buttons and reloaders use.
void LoadStartupTables(const std::string& dataDir);

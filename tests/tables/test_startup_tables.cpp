#include <gtest/gtest.h>

#include "grids/table_file.h"
#include "platform/gui/application.h"
#include "platform/runtime/cell_matrix.h"
#include "support/gui_test.h"
#include "tables/own_index_form.h"
#include "tables/startup_tables.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/table_watch.h"
#include "tables/tables_form.h"
#include "tables/test_tables_form_dir.h"

using namespace tabelas;

namespace {

// The grids of the load as the forms make them: data grids of 2 x 2 cells,
// factor grids of one cell.
struct Grids {
    TCellMatrix GridSalmin{2, 2}, tabatusal{2, 2}, GridCorrRev{2, 2}, INPCGrid{2, 2},
        SRevisaoI{2, 2}, SRVI{1, 1}, SRevisaoII{2, 2}, SRVII{1, 1}, SRevisaoIII{2, 2},
        Gridanterior1994{2, 2}, gridinpc98{2, 2}, grid98{1, 1}, gridiinss{2, 2}, gridinsssc{2, 2},
        Gridcoeficientes{8, 2}, Gridcrmensal{2, 2}, GridMI{2, 2};

    TIndexTableSet Set() {
        return TIndexTableSet{
            &GridSalmin, &tabatusal,  &GridCorrRev,      &INPCGrid,         &SRevisaoI,  &SRVI,
            &SRevisaoII, &SRVII,      &SRevisaoIII,      &Gridanterior1994, &gridinpc98, &grid98,
            &gridiinss,  &gridinsssc, &Gridcoeficientes, &Gridcrmensal,     &GridMI};
    }
};

struct LoadResult {
    int loaded;
    std::vector<std::string> messages;
};

LoadResult Load(const TTableDir& dir, Grids& grids) {
    LoadResult r{0, {}};
    r.loaded = LoadIndexTables(
        dir.path, grids.Set(),
        [](TCellMatrix& cells, const std::string& text) {
            CellsFromText(cells, text, TableSeparator, GridRect(0, 0, -1, -1));
        },
        [&r](const std::string& message) { r.messages.push_back(message); });
    return r;
}

// Every table of the load with one row whose number tells where it came from.
void WriteEveryTable(const TTableDir& dir) {
    dir.Write(SalminFile, {"Data|Salário Mínimo", "01/05/2000|151,00"});
    dir.Write(AtuaprevFile, {"Data|%", "06/2000|11"});
    dir.Write(CrMensalRev3File, {"Data|Índice|SM|Moeda", "06/2000|12|151,00|R$"});
    dir.Write(SeriesIFile, {"Data|%", "01/2000|1", "02/2000|2"});
    dir.Write(SeriesIIFile, {"Data|%", "01/2000|3", "02/2000|4"});
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|102"});
    dir.Write(Inpc98File, {"Data|%", "10/1998|1", "11/1998|2"});
    dir.Write(InssFile, {"Data|Maior|Menor", "06/2000|13"});
    dir.Write(InssScMarkFile, {"x"});
    dir.Write(InssScFile, {"Data|Teto", "06/2000|14"});
    dir.Write(CoeficientesFile, {"Benefício|Percentual", "coeficientes|70"});
    dir.Write(CrMensalRevInssFile, {"Data|Índice", "06/2000|15"});
    dir.Write(MeuIndiceFile, {"Data|Índice", "06/2000|16"});
}

// The nine tables the program ships.
const char* const kShipped[] = {SalminFile,  AtuaprevFile, CrMensalRev3File,
                                SeriesIIIFile, SeriesIFile, SeriesIIFile,
                                Inpc98File,  InssFile,     CrMensalRevInssFile};

} // namespace

TEST(StartupTables, EveryTableGoesToItsGrid) {
    TTableDir dir;
    WriteEveryTable(dir);
    Grids g;
    LoadResult r = Load(dir, g);
    EXPECT_EQ(r.loaded, 14);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(g.GridSalmin.Cell(1, 1), "151,00");
    EXPECT_EQ(g.tabatusal.Cell(1, 1), "11");
    EXPECT_EQ(g.GridCorrRev.Cell(1, 1), "12");
    EXPECT_EQ(g.SRevisaoI.Cell(1, 2), "2");
    EXPECT_EQ(g.SRevisaoII.Cell(1, 2), "4");
    // One file feeds the INPC table, the third revision series and the
    // pre-1994 correction.
    for (const TCellMatrix* m : {&g.INPCGrid, &g.SRevisaoIII, &g.Gridanterior1994})
        EXPECT_EQ(m->Cell(1, 2), "102");
    EXPECT_EQ(g.gridinpc98.Cell(1, 2), "2");
    EXPECT_EQ(g.gridiinss.Cell(1, 1), "13");
    EXPECT_EQ(g.gridinsssc.Cell(1, 1), "14");
    EXPECT_EQ(g.Gridcoeficientes.Cell(0, 1), "coeficientes");
    EXPECT_EQ(g.Gridcrmensal.Cell(1, 1), "15");
    EXPECT_EQ(g.GridMI.Cell(1, 1), "16");
    // Start-up derives the first two revision series and the 1998 one.
    EXPECT_EQ(g.SRVI.Cell(1, 2), "1,0000000");
    EXPECT_EQ(g.SRVI.Cell(1, 1), "1,0100000");
    EXPECT_EQ(g.SRVII.Cell(1, 1), "1,0300000");
    EXPECT_EQ(g.grid98.Cell(1, 1), "1,01000");
    EXPECT_EQ(g.grid98.Cell(1, 2), "1,0000");
}

TEST(StartupTables, MissingShippedTablesAreNamedOptionalOnesSkipped) {
    TTableDir dir;
    Grids g;
    LoadResult r = Load(dir, g);
    EXPECT_EQ(r.loaded, 0);
    ASSERT_EQ(r.messages.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(r.messages[i], "A tabela " + std::string(kShipped[i]) +
                                     " não foi encontrada na pasta de dados");
        EXPECT_NE(TableProblem(kShipped[i]), "");
    }
    EXPECT_EQ(g.SRVI.RowCount(), 1);
    EXPECT_EQ(g.GridSalmin.RowCount(), 2);

    // With the shipped tables there, the own index, the coefficients and
    // the newest-first ceilings may be absent without a word: those load
    // only where insssc.tab marks them, and a mark without the table skips it.
    WriteEveryTable(dir);
    for (const char* optional : {MeuIndiceFile, CoeficientesFile, InssScFile})
        std::filesystem::remove(dir.File(optional));
    g = Grids();
    r = Load(dir, g);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.loaded, 12);  // the own index is the correction table
    EXPECT_EQ(g.gridinsssc.Cell(1, 1), "");
    EXPECT_EQ(TableProblem(SalminFile), "") << "a new load forgets the old problems";
}

TEST(StartupTables, OwnIndexStartsAsTheRevisionCorrection) {
    TTableDir dir;
    WriteEveryTable(dir);
    std::filesystem::remove(dir.File(MeuIndiceFile));
    dir.Write(CrMensalRev3File, {"Data|Índice", "06/2000|1,5"});
    Grids g;
    EXPECT_EQ(Load(dir, g).loaded, 14);
    EXPECT_EQ(g.GridMI.Cell(1, 1), "1,5");
    EXPECT_EQ(g.GridCorrRev.Cell(1, 1), "1,5");
}

TEST(StartupTables, StartupSeriesFigures) {
    TTableDir dir;
    // A month of 10 % followed by a currency cut of 1000.
    dir.Write(SeriesIFile, {"Data|%||Divisor", "01/1990|10||", "02/1990|0||1000"});
    dir.Write(Inpc98File, {"Data|%", "09/1998|1", "10/1998|2", "11/1998|57"});
    Grids g;
    Load(dir, g);
    EXPECT_EQ(g.SRVI.Cell(1, 1), "0,0011000");
    EXPECT_EQ(g.SRVI.Cell(1, 2), "1,0000000");
    EXPECT_EQ(g.SRVI.Cell(3, 2), "1000");
    EXPECT_EQ(g.grid98.Cell(1, 1), "1,03020");
    EXPECT_EQ(g.grid98.Cell(1, 2), "1,02000");
    EXPECT_EQ(g.grid98.Cell(1, 3), "1,0000");
}

TEST(StartupTables, ADamagedTableIsNamedWithItsLineAndNeverReachesItsGrid) {
    TTableDir dir;
    WriteEveryTable(dir);
    dir.Write(SeriesIFile, {"Data|%", "01/2000|abc", "02/2000|2"});
    // A currency divisor of 0 is refused with its line.
    dir.Write(SeriesIIFile, {"Data|%||Divisor", "01/2000|3||", "02/2000|4||0"});
    std::string nul = "Data\tSalário Mínimo\t\r\n";
    for (int month = 1; month <= 6; ++month)
        nul += "01/0" + std::to_string(month) + "/2000\t151,00\t\r\n";
    nul[nul.find("01/04/2000") + 3] = '\0';  // in line 5
    WriteFileAtomic(dir.File(SalminFile), nul);
    std::filesystem::remove(dir.File(InssFile));
    std::filesystem::create_directory(dir.File(InssFile));
    Grids g;
    g.GridSalmin.SetCell(1, 1, "antes");
    LoadResult r = Load(dir, g);
    ASSERT_EQ(r.messages.size(), 4u);
    EXPECT_EQ(r.messages[0], "A tabela salmin.tab está danificada (linha 5: byte nulo no texto)");
    EXPECT_EQ(r.messages[1], "A tabela " + std::string(SeriesIFile) +
                                 " está danificada (linha 2: 'abc' na coluna 2 não é um número)");
    EXPECT_EQ(r.messages[2], "A tabela " + std::string(SeriesIIFile) +
                                 " está danificada (linha 3: '0' na coluna 4 não pode ser zero "
                                 "nem negativo)");
    EXPECT_EQ(r.messages[3], "A tabela inss.tab não pôde ser lida (é uma pasta, não um arquivo)");
    // Nothing of a refused file reaches its grid; the load went on past them.
    EXPECT_EQ(g.GridSalmin.Cell(1, 1), "antes");
    EXPECT_EQ(g.GridSalmin.RowCount(), 2);
    EXPECT_EQ(g.SRevisaoI.Cell(1, 1), "");
    EXPECT_EQ(r.loaded, 10);
    EXPECT_EQ(g.grid98.Cell(1, 1), "1,01000");
    EXPECT_EQ(g.GridMI.Cell(1, 1), "16");
    EXPECT_EQ(TableProblem(SalminFile), "está danificada (linha 5: byte nulo no texto)");
    EXPECT_THROW(RequireTables({AtuaprevFile, InssFile}), ETableError);
    try {
        RequireTables({AtuaprevFile, SalminFile});
    } catch (const ETableError& e) {
        EXPECT_EQ(e.Message, "O cálculo não foi feito: a tabela salmin.tab está danificada "
                             "(linha 5: byte nulo no texto).");
    }
    EXPECT_NO_THROW(RequireTables({AtuaprevFile, CrMensalRev3File}));
}

TEST(StartupTables, AReloadChecksTheTableAgain) {
    TTableDir dir;
    WriteEveryTable(dir);
    Grids g;
    Load(dir, g);
    // Damaged after start-up: the reload refuses it and keeps the cells.
    dir.Write(CrMensalRev3File, {"Data|Índice", "06/2000|1,1", "07/2000|"});
    EXPECT_THROW(ReloadCheckedTable(g.GridCorrRev, dir.path, CrMensalRev3File), ETableError);
    EXPECT_EQ(g.GridCorrRev.Cell(1, 1), "12");
    EXPECT_THROW(RequireTables({CrMensalRev3File}), ETableError);
    // Mended: the reload takes it and forgets the problem.
    dir.Write(CrMensalRev3File, {"Data|Índice", "06/2000|1,1", "07/2000|1,2"});
    ReloadCheckedTable(g.GridCorrRev, dir.path, CrMensalRev3File);
    EXPECT_EQ(g.GridCorrRev.Cell(1, 2), "1,2");
    EXPECT_NO_THROW(RequireTables({CrMensalRev3File}));
    // Gone: a calculation cannot go on without it.
    std::filesystem::remove(dir.File(CrMensalRev3File));
    try {
        ReloadCheckedTable(g.GridCorrRev, dir.path, CrMensalRev3File);
        ADD_FAILURE() << "a missing table was taken";
    } catch (const ETableError& e) {
        EXPECT_EQ(e.Message, "O cálculo não foi feito por causa desta tabela da pasta de dados \"" +
                                 dir.path +
                                 "\":\n- crmensalrev3.tab não foi encontrada na pasta de dados: "
                                 "coloque o arquivo nessa pasta.\nFeito isso, calcule de novo. Não "
                                 "é preciso reiniciar o programa: as tabelas alteradas são lidas "
                                 "outra vez a cada cálculo.");
    }
    EXPECT_EQ(g.GridCorrRev.Cell(1, 2), "1,2");
}

TEST(StartupTables, LoadsTheFormsGridsAndShowsOneMessage) {
    TTableDir dir;
    WriteEveryTable(dir);
    dir.Write(Inpc98File, {"Data|%", "10/1998|x", "11/1998|2"});
    std::filesystem::remove(dir.File(AtuaprevFile));
    Form8 = new TForm8(Application);
    Form15 = new TForm15(Application);
    LoadStartupTables(dir.path);
    EXPECT_EQ(Form8->DataDir, dir.path);
    EXPECT_EQ(Form15->DataDir, dir.path);
    EXPECT_EQ(Form8->GridSalmin->Cells(1, 1), "151,00");
    EXPECT_EQ(Form8->SRVI->Cells(1, 1), "1,0100000");
    EXPECT_EQ(Form15->GridMI->Cells(1, 1), "16");
    EXPECT_EQ(velorim_test::Dialogs().Messages(),
              std::vector<std::string>{
                  "Há tabelas com problema na pasta de dados:\n"
                  "- A tabela atuaprev.tab não foi encontrada na pasta de dados.\n"
                  "- A tabela inpc98.tab está danificada (linha 2: 'x' na coluna 2 não é um "
                  "número).\n"
                  "Os cálculos que precisam delas não serão feitos."});
    Form8->Free();
    Form15->Free();
    Form8 = nullptr;
    Form15 = nullptr;
}

// A grid loaded before, from another data folder, keeps none of its rows:
// the first calculation takes the cells start-up left for the file's.
TEST(StartupTables, AGridLoadedBeforeHoldsOnlyTheNewFile) {
    TTableDir dir;
    WriteEveryTable(dir);
    Grids g;
    for (int r = 1; r <= 4; ++r) g.SRevisaoIII.SetCell(0, r, "0" + std::to_string(r) + "/2000");
    g.SRevisaoIII.SetRowCount(5);
    Load(dir, g);
    EXPECT_EQ(g.SRevisaoIII.RowCount(), 3);
    EXPECT_EQ(g.SRevisaoIII.Cell(0, 2), "02/2000");
    // The reloaders of the calculation find it as the file holds it.
    PrepareTable(dir.path, SeriesIIIFile, g.SRevisaoIII, TFollow::File);
    EXPECT_EQ(g.SRevisaoIII.RowCount(), 3);
    ClearTableProblems();
}

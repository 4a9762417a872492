#include <gtest/gtest.h>

#include "grids/table_file.h"
#include "platform/gui/application.h"
#include "platform/runtime/cell_matrix.h"
#include "support/gui_test.h"
#include "tables/own_index_form.h"
#include "tables/startup_tables.h"
#include "tables/table_names.h"
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
        [](TCellMatrix& cells, const std::string& file) { LoadTableFile(cells, file); },
        [&r](const std::string& message) { r.messages.push_back(message); });
    return r;
}

// Every table of the load with one row that tells where it came from.
void WriteEveryTable(const TTableDir& dir) {
    dir.Write(SalminFile, {"Data|Salário Mínimo", "01/05/2000|151,00"});
    dir.Write(AtuaprevFile, {"Data|%", "06/2000|atuaprev"});
    dir.Write(CrMensalRev3File, {"Data|Índice|SM|Moeda", "06/2000|crmensalrev3"});
    dir.Write(SeriesIFile, {"Data|%", "01/2000|1", "02/2000|2"});
    dir.Write(SeriesIIFile, {"Data|%", "01/2000|3", "02/2000|4"});
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|102"});
    dir.Write(Inpc98File, {"Data|%", "10/1998|1", "11/1998|2"});
    dir.Write(InssFile, {"Data|Maior|Menor", "06/2000|inss"});
    dir.Write(InssScMarkFile, {"x"});
    dir.Write(InssScFile, {"Data|Teto", "06/2000|insssc"});
    dir.Write(CoeficientesFile, {"Benefício|Percentual", "coeficientes|70"});
    dir.Write(CrMensalRevInssFile, {"Data|Índice", "06/2000|crmensalrevinss"});
    dir.Write(MeuIndiceFile, {"Data|Índice", "06/2000|meuindice"});
}

} // namespace

TEST(StartupTables, EveryTableGoesToItsGrid) {
    TTableDir dir;
    WriteEveryTable(dir);
    Grids g;
    LoadResult r = Load(dir, g);
    EXPECT_EQ(r.loaded, 14);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(g.GridSalmin.Cell(1, 1), "151,00");
    EXPECT_EQ(g.tabatusal.Cell(1, 1), "atuaprev");
    EXPECT_EQ(g.GridCorrRev.Cell(1, 1), "crmensalrev3");
    EXPECT_EQ(g.SRevisaoI.Cell(1, 2), "2");
    EXPECT_EQ(g.SRevisaoII.Cell(1, 2), "4");
    // One file feeds the INPC table, the third revision series and the
    // pre-1994 correction.
    for (const TCellMatrix* m : {&g.INPCGrid, &g.SRevisaoIII, &g.Gridanterior1994})
        EXPECT_EQ(m->Cell(1, 2), "102");
    EXPECT_EQ(g.gridinpc98.Cell(1, 2), "2");
    EXPECT_EQ(g.gridiinss.Cell(1, 1), "inss");
    EXPECT_EQ(g.gridinsssc.Cell(1, 1), "insssc");
    EXPECT_EQ(g.Gridcoeficientes.Cell(0, 1), "coeficientes");
    EXPECT_EQ(g.Gridcrmensal.Cell(1, 1), "crmensalrevinss");
    EXPECT_EQ(g.GridMI.Cell(1, 1), "meuindice");
    // Start-up derives the first two revision series and the 1998 one.
    EXPECT_EQ(g.SRVI.Cell(1, 2), "1,0000000");
    EXPECT_EQ(g.SRVI.Cell(1, 1), "1,0100000");
    EXPECT_EQ(g.SRVII.Cell(1, 1), "1,0300000");
    EXPECT_EQ(g.grid98.Cell(1, 1), "1,01000");
    EXPECT_EQ(g.grid98.Cell(1, 2), "1,0000");
}

TEST(StartupTables, MissingFilesAreSkippedWithoutAWord) {
    TTableDir dir;
    Grids g;
    LoadResult r = Load(dir, g);
    EXPECT_EQ(r.loaded, 0);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(g.SRVI.RowCount(), 1);
    EXPECT_EQ(g.GridSalmin.RowCount(), 2);

    // The newest-first ceilings load only where insssc.tab marks them, and a
    // mark without the table skips it like any missing table.
    dir.Write(InssScFile, {"Data|Teto", "06/2000|insssc"});
    EXPECT_EQ(Load(dir, g).loaded, 0);
    EXPECT_EQ(g.gridinsssc.Cell(1, 1), "");
    std::filesystem::remove(dir.File(InssScFile));
    dir.Write(InssScMarkFile, {"x"});
    r = Load(dir, g);
    EXPECT_EQ(r.loaded, 0);
    EXPECT_TRUE(r.messages.empty());
}

TEST(StartupTables, OwnIndexStartsAsTheRevisionCorrection) {
    TTableDir dir;
    dir.Write(CrMensalRev3File, {"Data|Índice", "06/2000|1,5"});
    Grids g;
    EXPECT_EQ(Load(dir, g).loaded, 2);
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

TEST(StartupTables, ATableThatIsNotNumbersIsNamedAndTheLoadGoesOn) {
    TTableDir dir;
    WriteEveryTable(dir);
    dir.Write(SeriesIFile, {"Data|%", "01/2000|abc", "02/2000|2"});
    dir.Write(SeriesIIFile, {"Data|%||Divisor", "01/2000|3||", "02/2000|4||0"});
    Grids g;
    LoadResult r = Load(dir, g);
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "Erro ao ler a tabela " + std::string(SeriesIFile) +
                                 ": Valor inválido na linha 01/2000, coluna 1: 'abc'");
    EXPECT_EQ(r.messages[1].rfind("Erro ao ler a tabela " + std::string(SeriesIIFile) + ": ", 0),
              0u);
    // The tables are loaded all the same and the load went on past them.
    EXPECT_EQ(r.loaded, 14);
    EXPECT_EQ(g.SRevisaoI.Cell(1, 1), "abc");
    EXPECT_EQ(g.grid98.Cell(1, 1), "1,01000");
    EXPECT_EQ(g.GridMI.Cell(1, 1), "meuindice");
}

TEST(StartupTables, LoadsTheFormsGridsAndShowsEachFailure) {
    TTableDir dir;
    WriteEveryTable(dir);
    dir.Write(Inpc98File, {"Data|%", "10/1998|x", "11/1998|2"});
    Form8 = new TForm8(Application);
    Form15 = new TForm15(Application);
    LoadStartupTables(dir.path);
    EXPECT_EQ(Form8->DataDir, dir.path);
    EXPECT_EQ(Form15->DataDir, dir.path);
    EXPECT_EQ(Form8->GridSalmin->Cells(1, 1), "151,00");
    EXPECT_EQ(Form8->SRVI->Cells(1, 1), "1,0100000");
    EXPECT_EQ(Form15->GridMI->Cells(1, 1), "meuindice");
    EXPECT_EQ(velorim_test::Dialogs().Messages(),
              std::vector<std::string>{"Erro ao ler a tabela " + std::string(Inpc98File) +
                                       ": Valor inválido na linha 10/1998, coluna 1: 'x'"});
    Form8->Free();
    Form15->Free();
    Form8 = nullptr;
    Form15 = nullptr;
}

#include <gtest/gtest.h>

#include <sstream>

#include "grids/table_file.h"
#include "platform/gui/application.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "revision/grid_text.h"
#include "tables/own_index_form.h"
#include "tables/table_names.h"
#include "tables/table_status.h"
#include "tables/tables_form.h"
#include "tables/test_tables_form_dir.h"

using namespace tabelas;

namespace {

using Rows = std::vector<std::string>;

// Replaces a grid's cells with rows of '|'-separated cells (row 0 the header).
void Fill(TStringAlignGrid* grid, const Rows& rows) {
    grid->SetRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCells(c, r, "");
        std::stringstream in(rows[r]);
        std::string cell;
        for (int c = 0; std::getline(in, cell, '|'); ++c)
            grid->SetCells(c, r, cell);
    }
}

Rows Keys(TStringAlignGrid* grid) {
    Rows keys;
    for (int r = 1; r < grid->RowCount(); ++r)
        keys.push_back(grid->Cells(0, r));
    return keys;
}

Rows Column(TStringAlignGrid* grid, int col) {
    Rows cells;
    for (int r = 1; r < grid->RowCount(); ++r)
        cells.push_back(grid->Cells(col, r));
    return cells;
}

class TablesForm : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm8(Application);
        form->DataDir = dir.path;
        own = new TForm15(Application);
        own->DataDir = dir.path;
    }
    void TearDown() override {
        form->Free();
        own->Free();
    }

    TTableDir dir;
    TForm8* form = nullptr;
    TForm15* own = nullptr;
};

} // namespace

TEST_F(TablesForm, GridsKeepTheirLayout) {
    for (TStringAlignGrid* g : {form->INPCGrid, form->gridinpc98, form->GridSalmin, form->SRevisaoI,
                                form->SRevisaoII, form->SRevisaoIII, form->tabatusal})
        EXPECT_EQ(g->FixedCols(), 1) << g->Name();
    for (TStringAlignGrid* g :
         {form->gridsvida, form->gridiinss, form->Gridcrmensal, form->GridCorrRev, form->gridinsssc,
          form->GridCorrRev2, form->Gridanterior1994, own->GridMI})
        EXPECT_EQ(g->FixedCols(), 0) << g->Name();
    for (TStringAlignGrid* g :
         {form->indicegrid, form->grid98, form->SRVI, form->SRVII, form->SRVIII}) {
        EXPECT_EQ(g->RowCount() * g->ColCount(), 1) << g->Name();
        EXPECT_EQ(g->FixedRows() + g->FixedCols(), 0) << g->Name();
    }
    EXPECT_EQ(form->Gridcoeficientes->ColCount(), 8);
    EXPECT_EQ(form->Gridcoeficientes->Cells(7, 0), "Anos Ben. M");
    EXPECT_FALSE(form->TabSheet3->TabVisible());
    form->PageControl1->SetActivePageIndex(5);
    form->Show();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    form->Hide();
}

TEST_F(TablesForm, InserirLinhaAddsTheNextMonth) {
    Fill(form->INPCGrid, {"Data|Índice", "11/1999|1", "12/1999|2"});
    form->Button5->Click();
    EXPECT_EQ(Keys(form->INPCGrid), (Rows{"11/1999", "12/1999", "01/2000"}));
    EXPECT_EQ(form->INPCGrid->Row(), 3);
    Fill(form->GridSalmin, {"Data|Salário", "15/01/2000|136,00"});
    form->Button9->Click();
    EXPECT_EQ(Keys(form->GridSalmin), (Rows{"15/01/2000", "15/02/2000"}));
    Fill(own->GridMI, {"Data|Índice", "12/2003|1,1"});
    own->Button11->Click();
    EXPECT_EQ(Keys(own->GridMI), (Rows{"12/2003", "01/2004"}));

    // Plain tables get an empty row; the newest-first tables get it on top.
    Fill(form->Gridcrmensal, {"Data|Índice", "05/2000|1,1"});
    form->SpeedButton10->Click();
    EXPECT_EQ(Keys(form->Gridcrmensal), (Rows{"05/2000", ""}));
    EXPECT_EQ(form->Gridcrmensal->Row(), 2);
    Fill(form->gridinsssc, {"Data|Teto", "05/2000|1.255,32", "06/1999|1.255,32"});
    form->SpeedButton22->Click();
    EXPECT_EQ(Keys(form->gridinsssc), (Rows{"", "05/2000", "06/1999"}));
    form->SpeedButton4->Click();
    EXPECT_EQ(form->gridsvida->RowCount(), 3);
    EXPECT_EQ(form->gridsvida->Cells(0, 1), "");
}

TEST_F(TablesForm, AKeyThatIsNoMonthStopsTheInsertion) {
    Fill(form->GridCorrRev, {"Data|Índice", "13/1999|1"});
    EXPECT_THROW(form->Button11->Click(), EConvertError);
    // The appended row stays, without its key.
    EXPECT_EQ(Keys(form->GridCorrRev), (Rows{"13/1999", ""}));
}

TEST_F(TablesForm, RemoverLinha) {
    Fill(form->gridiinss, {"Data|Maior|Menor", "05/2000|1.328,25|"});
    form->Button7->Click();
    EXPECT_EQ(Keys(form->gridiinss), (Rows{"05/2000"}));
    Fill(form->SRevisaoII, {"Data|%", "01/2000|1", "02/2000|2", "03/2000|3"});
    form->SpeedButton17->Click();
    EXPECT_EQ(Keys(form->SRevisaoII), (Rows{"01/2000", "02/2000"}));
    EXPECT_EQ(form->SRevisaoII->Row(), 2);
    Fill(form->gridinsssc, {"Data|Teto", "05/2000|1", "06/1999|2"});
    form->SpeedButton23->Click();
    EXPECT_EQ(Keys(form->gridinsssc), (Rows{"06/1999"}));
}

TEST_F(TablesForm, SelectingAnEmptyKeyFillsItsMonth) {
    Fill(form->INPCGrid, {"Data|Índice", "09/2003|1", "10/2003|1", "11/2003|1", "12/2003|1", "|"});
    form->INPCGrid->FocusCell(1, 5);
    EXPECT_EQ(form->INPCGrid->Cells(0, 5), "01/2004");
    EXPECT_EQ(form->INPCGrid->Row(), 5);
    // A filled key stays as it is.
    form->INPCGrid->SetCells(0, 4, "07/2007");
    form->INPCGrid->FocusCell(1, 4);
    EXPECT_EQ(form->INPCGrid->Cells(0, 4), "07/2007");

    Fill(form->GridSalmin, {"Data|SM", "15/10/2003|1", "15/11/2003|1", "|"});
    form->GridSalmin->FocusCell(1, 3);
    EXPECT_EQ(form->GridSalmin->Cells(0, 3), "15/12/2003");

    // The grids that share those handlers fill themselves, in their own key form.
    Fill(form->INPCGrid, {"Data|Índice", "01/2001|1", "02/2001|1", "|"});
    Fill(form->gridinpc98, {"Data|%", "09/1998|1", "10/1998|1", "|"});
    form->gridinpc98->FocusCell(1, 3);
    EXPECT_EQ(form->gridinpc98->Cells(0, 3), "11/1998");
    EXPECT_EQ(form->INPCGrid->Cells(0, 3), "");
    Fill(form->tabatusal, {"Data|%", "01/2001|1", "02/2001|1", "|"});
    form->tabatusal->FocusCell(1, 3);
    EXPECT_EQ(form->tabatusal->Cells(0, 3), "03/2001");
    Fill(own->GridMI, {"Data|Índice", "01/2001|1", "02/2001|1", "|"});
    own->GridMI->FocusCell(1, 3);
    EXPECT_EQ(own->GridMI->Cells(0, 3), "03/2001");

    // In an empty table there is no month to count from: the click goes
    // through and the key stays empty for the user to type.
    Fill(own->GridMI, {"Data|Índice", "|", "|"});
    EXPECT_TRUE(own->GridMI->FocusCell(1, 2));
    EXPECT_EQ(own->GridMI->Row(), 2);
    EXPECT_EQ(own->GridMI->Cells(0, 2), "");
}

TEST_F(TablesForm, GravarWritesTheTableFile) {
    Fill(form->GridSalmin, {"Data|Salário Mínimo", "01/05/2000|151,00", "01/04/2001|180,00"});
    form->Button3->Click();
    TCellMatrix saved(1, 1);
    LoadTableFile(saved, dir.File(SalminFile));
    EXPECT_EQ(saved.RowCount(), 3);
    EXPECT_EQ(saved.Cell(1, 2), "180,00");
    Fill(own->GridMI, {"Data|Índice", "01/2001|1,5"});
    own->Button4->Click();
    LoadTableFile(saved, dir.File(MeuIndiceFile));
    EXPECT_EQ(saved.Cell(1, 1), "1,5");
    // A cell still being edited is ended and saved with the table.
    form->Show();
    form->PageControl1->SetActivePage(form->TabSheet5);
    form->GridSalmin->SetFocus();
    form->GridSalmin->FocusCell(1, 2);
    for (char c : std::string("181,5"))
        form->ActiveControl()->SimulateKey(c == ',' ? 0 : WORD(c), 0, c);
    ASSERT_TRUE(form->GridSalmin->EditorVisible());
    form->Button3->Click();
    EXPECT_FALSE(form->GridSalmin->EditorVisible());
    LoadTableFile(saved, dir.File(SalminFile));
    EXPECT_EQ(saved.Cell(1, 2), "181,5");
    form->Hide();

    // A directory that cannot be written keeps the table in the grid.
    form->DataDir = dir.File("missing");
    EXPECT_THROW(form->Button3->Click(), EInOutError);
    EXPECT_EQ(form->GridSalmin->Cells(1, 2), "181,5");
}

// A row the next start would refuse is never written: "Inserir Linha" then
// "Gravar" used to save a month with no index.
TEST_F(TablesForm, GravarRefusesARowThatDoesNotReadAndWritesNothing) {
    Fill(own->GridMI, {"Data|Índice", "01/2001|1,5"});
    own->Button4->Click();
    const std::string saved = ReadFileBytes(dir.File(MeuIndiceFile));
    own->Button11->Click();
    EXPECT_EQ(MessageOf<ETableError>([&] { own->Button4->Click(); }),
              "A tabela meuindice.tab não foi gravada: linha 3: '' na coluna 2 não é um número.");
    own->GridMI->SetCells(1, 2, "1.02");
    EXPECT_THROW(own->Button4->Click(), ETableError);
    EXPECT_EQ(ReadFileBytes(dir.File(MeuIndiceFile)), saved);
    own->GridMI->SetCells(1, 2, "1,02");
    own->Button4->Click();
    EXPECT_NE(ReadFileBytes(dir.File(MeuIndiceFile)), saved);
}

TEST_F(TablesForm, TruncatingReloadEndsTheFactorsAtTheMonth) {
    dir.Write(SeriesIIIFile, {"Data|Índice|x|y", "01/2000|100|a|", "02/2000|110|b|",
                              "03/2000|120|c|", "04/2000|125|d|", "05/2000|200|e|"});
    form->geraindicex("15/03/2000");
    EXPECT_EQ(Keys(form->INPCGrid), (Rows{"01/2000", "02/2000", "03/2000"}));
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,20000", "1,09090", "1,0000"}));
    EXPECT_EQ(Column(form->indicegrid, 2), (Rows{"a", "b", "c"}));
    // A later date reloads the rows cut before; in or after the last month
    // nothing is cut.
    form->geraindicex("31/12/2000");
    EXPECT_EQ(form->INPCGrid->RowCount(), 6);
    EXPECT_EQ(Column(form->indicegrid, 1),
              (Rows{"2,00000", "1,81818", "1,66666", "1,60000", "1,0000"}));
    // No row of the month: the cut stops at two data rows.
    form->geraindicex("10/10/1999");
    EXPECT_EQ(Keys(form->INPCGrid), (Rows{"01/2000", "02/2000"}));

    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|100,00099", "03/2000|1"});
    form->geraindiceINSSIII("01/02/2000");
    EXPECT_EQ(Column(form->SRVIII, 1), (Rows{"1,00000", "1,0000"}));
    EXPECT_THROW(form->geraindiceINSSIII("32/01/2000"), EConvertError);

    // Without its file, or with a damaged one, no factor is derived from
    // whatever the grid still holds: the calculation stops, naming it.
    std::filesystem::remove(dir.File(SeriesIIIFile));
    EXPECT_THROW(form->geraindiceINSSIII("01/02/2000"), tabelas::ETableError);
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|"});
    EXPECT_THROW(form->geraindicex("01/02/2000"), tabelas::ETableError);
    EXPECT_EQ(Column(form->SRVIII, 1), (Rows{"1,00000", "1,0000"}));
}

// A calculation run again on the same case reuses the factors it derived,
// never after the file, a grid or the month changed.
TEST_F(TablesForm, DerivedFactorsAreReusedOnlyWhileNothingChanged) {
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|110", "03/2000|120"});
    form->geraindicex("01/02/2000");
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,10000", "1,0000"}));
    form->indicegrid->SetCells(1, 1, "9");
    form->geraindicex("01/02/2000");
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,10000", "1,0000"}));
    form->INPCGrid->SetCells(1, 1, "50");
    form->geraindicex("01/02/2000");
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,10000", "1,0000"}));
    dir.Write(SeriesIIIFile, {"Data|Índice", "01/2000|100", "02/2000|150", "03/2000|120"});
    form->geraindicex("01/02/2000");
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,50000", "1,0000"}));
    form->geraindicex("01/03/2000");
    EXPECT_EQ(Column(form->indicegrid, 1), (Rows{"1,20000", "0,80000", "1,0000"}));
}

TEST_F(TablesForm, RevisionSeriesIAndIIAreCumulative) {
    // Monthly percentages, a month of 0 % among them.
    dir.Write(SeriesIFile, {"Data|%", "01/2000|10", "02/2000|0", "03/2000|5", "04/2000|7"});
    form->geraindiceINSSI("20/03/2000");
    EXPECT_EQ(Keys(form->SRevisaoI), (Rows{"01/2000", "02/2000", "03/2000"}));
    EXPECT_EQ(Column(form->SRVI, 1), (Rows{"1,1000000", "1,0000000", "1,0000000"}));
    // A missing table is an error, not a factor of 1.
    EXPECT_THROW(form->geraindiceINSSII("20/03/2000"), tabelas::ETableError);
}

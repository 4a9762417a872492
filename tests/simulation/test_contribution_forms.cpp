// The contribution-time form's files and dialogs: the state file written and
// read back, bad state files refused whole, the report page, and the date
// re-entry dialog.
#include "contribution_env.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

class ContributionFiles : public ContributionTest {
protected:
    static void FillCase() {
        Form2->Edit1->SetText("123");
        Form2->Edit2->SetText("Maria da Silva");
        Form2->Edit4->SetText("Rua A, 10");
        Form2->Edit5->SetText("Recife");
        Form2->Edit7->SetText("Tecelã");
        Form2->MaskEdit1->SetText("10/03/1950");
        Form2->MaskEdit2->SetText("  /  /    ");
        Form2->ComboBox1->SetText("PE");
        Form2->RadioButton2->SetChecked(true);
        Form2->RadioButton6->SetChecked(true);
        Periods(Form2->IconGrid3->Matrix(),
                {{"Fiação, \"Norte\"", "01/01/1980", "31/12/1989", "1,2"},
                 {"Loja", "", "", ""}, // no start: not saved
                 {"Banco", "01/02/1990", "", ""}});
        Form2->IconGrid3->Matrix().SetCell(1, 3, "caixa");
    }

    void Open(const std::string& path) {
        velorim_test::Dialogs().Answer(path);
        Form2->SpeedButton12Click(nullptr);
    }
};

TEST_F(ContributionFiles, StateFileRoundTrip) {
    FillCase();
    Form2->gravar();
    const Texts lines = FileLines(DataFile("temp.back"));
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + 11),
              (Texts{"123", "Maria da Silva", "Rua A, 10", "Recife", "Tecelã", "  /  /    ",
                     "10/03/1950", "PE", "Feminino", "10", "3"}));
    EXPECT_EQ(Texts(lines.begin() + 11, lines.begin() + 16), Row(Form2->IconGrid3->Matrix(), 0, 5));
    EXPECT_EQ(lines[21], "Banco");
    EXPECT_EQ(lines.back(), "Separados");

    // Another case on screen, then the file again.
    Form2->Edit2->SetText("outro");
    Form2->MaskEdit1->SetText("01/01/1960");
    Form2->RadioButton1->SetChecked(true);
    Form2->RadioButton5->SetChecked(true);
    TCellMatrix& grid = Form2->IconGrid3->Matrix();
    grid.SetRowCount(3);
    grid.SetCell(0, 1, "outra");
    Open(DataFile("temp.back"));
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(Form2->Edit2->Text(), "Maria da Silva");
    EXPECT_EQ(Form2->MaskEdit1->Text(), "10/03/1950");
    EXPECT_EQ(Form2->DateTimePicker1->Date(), EncodeDate(1950, 3, 10));
    EXPECT_EQ(Form2->MaskEdit2->Text(), "  /  /    "); // an empty date reads back
    EXPECT_EQ(Form2->ComboBox1->ItemIndex(), Form2->ComboBox1->Items.IndexOf("PE"));
    EXPECT_TRUE(Form2->RadioButton2->Checked());
    EXPECT_TRUE(Form2->RadioButton6->Checked());
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_EQ(Row(grid, 1, 5), (Texts{"Fiação, \"Norte\"", "", "01/01/1980", "31/12/1989", "1,2"}));
    EXPECT_EQ(Row(grid, 2, 5), (Texts{"Banco", "caixa", "01/02/1990", "", ""}));
    EXPECT_EQ(Row(grid, 3, 5), Texts(5));

    // Written again, it is the same file.
    Form2->gravar();
    EXPECT_EQ(FileLines(DataFile("temp.back")), lines);
}

TEST_F(ContributionFiles, BadStateFilesChangeNothing) {
    FillCase();
    Form2->gravar();
    const Texts good = FileLines(DataFile("temp.back"));
    Form2->Edit2->SetText("na tela");

    Texts badDate = good;
    badDate[6] = "31/02/1950";
    WriteLines(DataFile("a.stc"), badDate);
    EXPECT_THROW(Open(DataFile("a.stc")), EAbort);

    Texts badCount = good;
    badCount[10] = "três";
    WriteLines(DataFile("b.stc"), badCount);
    EXPECT_THROW(Open(DataFile("b.stc")), EAbort);

    // A count far beyond the rows written, and one beyond any table.
    Texts cut(good.begin(), good.begin() + 20);
    WriteLines(DataFile("c.stc"), cut);
    EXPECT_THROW(Open(DataFile("c.stc")), EAbort);
    Texts huge = good;
    huge[9] = "2000000000";
    WriteLines(DataFile("d.stc"), huge);
    EXPECT_THROW(Open(DataFile("d.stc")), EAbort);
    EXPECT_THROW(Open(DataFile("falta.stc")), EAbort);

    EXPECT_EQ(Messages(),
              (Texts{"Data inválida no arquivo a.stc, linha 7: '31/02/1950'",
                     "Número de linhas inválido no arquivo b.stc, linha 11: 'três'",
                     "O arquivo c.stc está incompleto: a lista de períodos tem 3 linhas e o "
                     "arquivo termina antes delas. Nada foi lido.",
                     "Número de linhas inválido no arquivo d.stc, linha 10: '2000000000'",
                     "Não foi possível ler o arquivo " + DataFile("falta.stc") + "."}));
    EXPECT_EQ(Form2->Edit2->Text(), "na tela");
    EXPECT_EQ(Form2->IconGrid3->Cells(0, 3), "Banco");

    // Cancelled: nothing at all.
    velorim_test::Dialogs().Answer("Cancel");
    Form2->SpeedButton12Click(nullptr);
    EXPECT_EQ(Form2->Edit2->Text(), "na tela");
}

TEST_F(ContributionFiles, ReportPageInTheDataDirectory) {
    TCellMatrix& table = Form2->IconGrid2->Matrix();
    table.SetRowCount(3);
    table.SetCell(0, 2, "A & B <Ltda>");
    table.SetCell(4, 2, "6");
    Form2->impx();
    const Texts lines = FileLines(DataFile("teste.html"));
    // The head and each row's opening hold line ends of their own.
    ASSERT_EQ(lines.size(), 5u + 3 * 3 + 1);
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + 7),
              (Texts{"<html><head>", "<title>Tempo da Aposentadoria</title>", "</head>", "<body>",
                     "<table border =0>", "<tr>",
                     "<td>Período</td><td></td><td></td><td></td><td>Tempo</td><td> Comum</td>"
                     "<td></td><td></td><td></td><td>Tempo</td><td> Especial</td><td></td>"
                     "<td>Diferença</td><td></td><td></td>"}));
    EXPECT_EQ(lines[7], "</tr>");
    EXPECT_EQ(
        lines[12].rfind("<td>A &amp; B &lt;Ltda&gt;</td><td></td><td></td><td></td><td>6</td>", 0),
        0u);
    EXPECT_EQ(lines[13], "</tr>");
    EXPECT_EQ(lines.back(), "</body></html>");

    // The closing page is shown when it exists; nothing opened it.
    Form2->finalvisualizar();
    EXPECT_FALSE(FileExists(DataFile("apos.html")));
}

TEST_F(ContributionFiles, DateReentryDialog) {
    TStringAlignGrid* org = Form2->IconGrid1;
    org->SetRowCount(3);
    org->SetCells(2, 1, "  /  /    ");
    org->SetCells(3, 1, "31/02/2000");
    Form2->IconGrid1SetEditText(org, 3, 1, "");
    EXPECT_EQ(org->Cells(2, 1), "");
    EXPECT_EQ(org->Cells(3, 1), "");
    ASSERT_TRUE(Form5->Visible());
    EXPECT_EQ(Form5->linhaini, 0);
    EXPECT_EQ(Form5->linhafim, 1);
    EXPECT_EQ(Form5->MaskEdit1->Text(), "31/02/2000");

    Form5->Button1Click(nullptr); // still no date
    EXPECT_EQ(Messages(), Texts{"31/02/2000 NÃO é data válida."});
    EXPECT_TRUE(Form5->Visible());
    Form5->MaskEdit1->SetText("28/02/2000");
    Form5->Button1Click(nullptr);
    EXPECT_EQ(org->Cells(3, 1), "28/02/2000");
    EXPECT_FALSE(Form5->Visible());

    // A start date; an empty answer leaves the cell empty.
    org->SetCells(2, 2, "abc");
    Form2->IconGrid1SetEditText(org, 2, 2, "");
    EXPECT_EQ(Form5->linhaini, 2);
    EXPECT_EQ(Form5->linhafim, 0);
    Form5->MaskEdit1->SetText("  /  /    ");
    Form5->Button1Click(nullptr);
    EXPECT_EQ(org->Cells(2, 2), "");
    EXPECT_FALSE(Form5->Visible());

    // With no row named the header is never written.
    Form5->linhaini = Form5->linhafim = 0;
    Form5->MaskEdit1->SetText("01/01/2001");
    Form5->Button1Click(nullptr);
    EXPECT_EQ(org->Cells(2, 0), "Data Inicial");
    EXPECT_EQ(org->Cells(3, 0), "Data Final");
}

} // namespace

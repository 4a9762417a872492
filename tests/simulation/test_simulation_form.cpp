// The simulation form around its rules: the data files it reads when shown,
// the typed dates and times, the state file and the report.
#include "simulation_env.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/text_file.h"
#include "tables/table_names.h"
#include "tables/tables_form.h"

namespace {

using Texts = std::vector<std::string>;

class SimulationForm : public SimulationTest {
protected:
    static Texts FileLines(const std::string& path) {
        TTextFileReader in(path);
        Texts lines;
        while (!in.Eof()) lines.push_back(in.Readln());
        return lines;
    }

    static void WriteLines(const std::string& path, const Texts& lines) {
        TTextFileWriter out(path);
        for (const std::string& line : lines) out.Writeln(line);
        out.Close();
    }
};

TEST_F(SimulationForm, ShowReadsTheMemoTextsAndTheIndexTable) {
    WriteLines(DataFile("ec20.ver"), {"Emenda", "nº 20"});
    WriteLines(DataFile("pedagio.ver"), {"Pedágio"});
    // A shorter table replaces the series whole.
    WriteLines(DataFile("tabela.tab"), {"Data\tINPC\t", "06/1994\t1,50000\t", "07/1994\t1,0000\t"});
    Form6->Memo2->SetText("antes");
    Form6->PageControl1->SetPageIndex(4);
    Form6->Show();
    Form6->Hide();
    EXPECT_EQ(Form6->Memo3->Text(), "Emenda\r\nnº 20");
    EXPECT_EQ(Form6->Memo1->Text(), "Pedágio");
    EXPECT_EQ(Form6->Memo2->Text(), "antes"); // no periodo.ver
    EXPECT_EQ(Form6->PageControl1->PageIndex(), 0);
    EXPECT_EQ(Table("indicegrid").RowCount(), 3);
    EXPECT_EQ(Table("indicegrid").Cell(1, 1), "1,50000");
    EXPECT_EQ(Form6->MaskEdit2->Text(), "01/07/1994");
}

TEST_F(SimulationForm, WithoutIndexFileTheCorrectionTableServes) {
    DeleteFile(DataFile("tabela.tab"));
    TCellMatrix& inpc = Table("INPCGrid");
    Reset(inpc, {"Data", "Índice"});
    const char* numbers[] = {"100", "110", "121", "133,1", "146,41", "161,051"};
    for (int m = 0; m < 6; ++m) AddRow(inpc, {Month(1994, 7 + m), numbers[m]});
    // The correction table is read again from the data directory.
    Form8->DataDir = Form1->DataDir;
    SaveTableFile(inpc, DataFile(tabelas::SeriesIIIFile));
    Form6->Show();
    Form6->Hide();
    EXPECT_EQ(Form6->MaskEdit2->Text(), "01/10/2002"); // typed: it stays
    Form6->MaskEdit2->SetText("  /  /    ");
    Form6->Show();
    Form6->Hide();
    EXPECT_EQ(Form6->MaskEdit2->Text(), "01/12/1994");

    // Factors to the end month, not to the table's last one.
    Form6->MaskEdit2->SetText("20/10/1994");
    Form6->criaindice();
    const TCellMatrix& g = Form6->geralgrid->Matrix();
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cell(2, 1), "1,33100");
    EXPECT_EQ(g.Cell(2, 3), "1,10000");
    EXPECT_EQ(g.Cell(2, 4), "1,0000");
}

TEST_F(SimulationForm, TheWorkingTableZeroesTheCorrectionNumbersFromTheEndMonth) {
    TCellMatrix& inpc = Table("INPCGrid");
    Reset(inpc, {"Data", "Índice"});
    for (int m = 0; m < 4; ++m) AddRow(inpc, {Month(2002, 8 + m), "100"});
    Form6->criaindice();  // to 10/2002
    auto numbers = [&] {
        std::vector<std::string> column;
        for (int r = 0; r < inpc.RowCount(); ++r) column.push_back(inpc.Cell(1, r));
        return column;
    };
    EXPECT_EQ(numbers(), (std::vector<std::string>{"Índice", "100", "100", "0", "0"}));
    Form6->MaskEdit2->SetText("01/07/2002");  // a month the table lacks: every row
    Form6->criaindice();
    EXPECT_EQ(numbers(), (std::vector<std::string>{"0", "0", "0", "0", "0"}));
}

TEST_F(SimulationForm, TypedDatesAndTimes) {
    Form6->MaskEdit3->SetText("31/02/1950");
    Form6->MaskEdit3Exit(nullptr);
    Form6->MaskEdit2->SetText("  /  /    ");
    Form6->MaskEdit2Exit(nullptr);
    EXPECT_EQ(Messages(), Texts{"31/02/1950 NÃO é data válida."});

    Form6->Edit9->SetText("3a5 ");
    Form6->Edit9Exit(nullptr);
    Form6->Edit18->SetText("anos");
    Form6->Edit18Exit(nullptr);
    EXPECT_EQ(Form6->Edit9->Text(), "35");
    EXPECT_EQ(Form6->Edit18->Text(), "anos");

    Form6->DateTimePicker2->SetDate(EncodeDate(2001, 3, 15));
    EXPECT_EQ(Form6->MaskEdit2->Text(), "15/03/2001");

    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kInvalidez]);
    Form6->travaedit();
    EXPECT_FALSE(Form6->Edit10->Enabled());
    EXPECT_FALSE(Form6->Ck9876->Enabled());
    EXPECT_TRUE(Form6->Edit9->Enabled());
    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kIdade]);
    Form6->travaedit();
    EXPECT_TRUE(Form6->Edit18->Enabled());
    EXPECT_TRUE(Form6->Ck8213->Enabled());
}

TEST_F(SimulationForm, StateFileRoundTrip) {
    Form6->Edit3->SetText("Maria \"Zé\", da Silva");
    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kIdade]);
    Form6->RBFeminino->SetChecked(true);
    const Texts times = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    TEdit* const fields[] = {Form6->Edit12, Form6->Edit11, Form6->Edit10, Form6->Edit15, Form6->Edit14,
                             Form6->Edit13, Form6->Edit18, Form6->Edit17, Form6->Edit16};
    for (size_t i = 0; i < times.size(); ++i) fields[i]->SetText(times[i]);
    Form6->Ck9876->SetChecked(false);
    Form6->Ck242->SetChecked(true);
    Form6->criaindice();
    SetSalary("08/1994", "1.234,56");
    Form6->gravar();

    const Texts lines = FileLines(DataFile("temp2.back"));
    ASSERT_EQ(lines.size(), 26u + 2 * 101);
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + 8),
              (Texts{"Maria \"Zé\", da Silva", "35", "0", "0", "01/10/1942",
                     "Aposentadoria por Idade", "Feminino", "1"}));
    EXPECT_EQ(Texts(lines.begin() + 16, lines.begin() + 26),
              (Texts{"s", "n", "s", "s", "n", "n", "01/07/1994", "01/10/2002", "0,31", "101"}));
    EXPECT_EQ(lines[26], "Data");
    EXPECT_EQ(lines[30], "08/1994");
    EXPECT_EQ(lines[31], "1.234,56");

    // Everything changed, then read back.
    Form6->Edit3->SetText("");
    Form6->RBMasculino->SetChecked(true);
    Form6->ComboBox2->SetText("");
    for (TEdit* e : fields) e->SetText("");
    Form6->Ck9876->SetChecked(true);
    Form6->Ck242->SetChecked(false);
    Form6->MaskEdit2->SetText("01/01/2000");
    Form6->salariogrid->Matrix().SetRowCount(2);
    Form6->abrirBackup();
    Form6->Hide();
    EXPECT_EQ(Form6->LinhasEstado(), lines);
    EXPECT_TRUE(Form6->RBFeminino->Checked());
    EXPECT_EQ(Form6->ComboBox2->ItemIndex(), simulacao::kIdade);
}

TEST_F(SimulationForm, BadStateFilesLoseNothing) {
    EXPECT_THROW(Form6->abrirBackup(), EInOutError);

    Form6->Edit3->SetText("Caso aberto");
    Form6->gravar();
    Texts lines = FileLines(DataFile("temp2.back"));
    lines[0] = "Outro";
    lines[25] = "x";
    WriteLines(DataFile("temp2.back"), lines);
    EXPECT_THROW(Form6->abrirBackup(), EConvertError);
    EXPECT_EQ(Form6->Edit3->Text(), "Caso aberto");

    lines[25] = "50";
    WriteLines(DataFile("temp2.back"), lines);
    EXPECT_THROW(Form6->abrirBackup(), EAbort);
    EXPECT_EQ(Form6->Edit3->Text(), "Caso aberto");
    EXPECT_EQ(Messages().size(), 1u);

    lines[25] = "0";
    WriteLines(DataFile("temp2.back"), lines);
    EXPECT_THROW(Form6->abrirBackup(), EAbort);
    EXPECT_EQ(Messages().back(), "O arquivo temp2.back está danificado: o número de linhas da lista de salários "
                                 "é 0, e deve ser ao menos 1.");
    EXPECT_EQ(Form6->Edit3->Text(), "Caso aberto");
}

} // namespace

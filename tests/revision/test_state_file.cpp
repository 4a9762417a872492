// The wizard's state file: written by Finalizar, read back by "A. Backup"
// and "Abrir".
#include "wizard_env.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/text_file.h"
#include "revision/wizard_state_file.h"

namespace {

using Texts = std::vector<std::string>;

class StateFile : public WizardTest {
protected:
    // A computed case with every control away from its default.
    void DistinctCase() {
        Form12->C8213->SetChecked(true);
        Form12->Enome->SetText("João, \"Zé\" da Silva");
        Form12->Enumero->SetText("123.456.789-0");
        Form12->Dataini->SetText("01/01/2000");
        Form12->Datafim->SetText("01/03/2000");
        Form12->DatePrescricao->SetText("01/01/2000");
        Form12->Dateinicialjuros->SetText("01/02/2000");
        Form12->Datefinaljuros->SetText("01/03/2000");
        Form12->Ejuros->SetText("0,5");
        Form12->Vinss->SetText("200");
        Form12->Vautor->SetText("100");
        Form12->Check13->SetChecked(true);
        Form12->Cjuros->SetChecked(true);
        Form12->Cadct2->SetChecked(true);
        Form12->Csteto->SetChecked(true);
        Form12->Dteto->SetChecked(false);
        Form12->Cadct1inss->SetChecked(true);
        Form12->Cstetoinss->SetChecked(true);
        Form12->Dtetoinss->SetChecked(false);
        Form12->DateEdit1->SetText("01/01/1996");
        Form12->DateEdit2->SetText("01/12/1998");
        Form12->DateEdit3->SetText("01/01/1999");
        Form12->rmi01->SetText("1.234,56");
        Form12->divisor->SetText("30");
        Form12->coef->SetText("0,9");
        Form12->Csmt->SetChecked(false);
        Form12->Catual24->SetChecked(true);
        Form12->coefprop->SetChecked(false);
        Form12->umtrinta->SetText("7");
        Form12->PageControl1->SetPageIndex(5);
        Form12->BTNcorrigirClick(nullptr);
        // Cells that need quoting survive the trip.
        Cells(Form12->planilha).SetCell(12, 1, "a b, \"c\"");
        TCellMatrix& dem = Cells(Form12->Sdem);
        dem.SetRowCount(3);
        dem.SetCell(0, 1, "01/1996");
        dem.SetCell(2, 2, "1.000,00 : 36");
        TCellMatrix& dig = Cells(Form12->Sdig);
        dig.SetRowCount(3);
        dig.SetCell(0, 2, "02/1996");
        dig.SetCell(1, 2, "\"1,5\"");
        Form12->Cirsm->SetChecked(true);
        Form12->ComboBox1->SetText("ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi");
    }

    std::string Path() const { return DataFile("atualrev.back"); }

    static Texts FileLines(const std::string& path) {
        TTextFileReader in(path);
        Texts lines;
        while (!in.Eof())
            lines.push_back(in.Readln());
        return lines;
    }

    void WriteLines(const Texts& lines) {
        TTextFileWriter out(Path());
        for (const std::string& line : lines)
            out.Writeln(line);
        out.Close();
    }

    // Line index (0-based) of the count line of planilha.
    static constexpr int kPlanilhaCount = 22;
};

TEST_F(StateFile, ReadingRestoresEveryControlAndGridCellByCell) {
    DistinctCase();
    Form12->gravax();
    const Texts written = wizard_state::StateLines(*Form12);
    ASSERT_EQ(FileLines(Path()), written);
    EXPECT_EQ(written[0], "João, \"Zé\" da Silva");
    EXPECT_EQ(written[10], "true");
    EXPECT_EQ(written[kPlanilhaCount], IntToStr(Cells(Form12->planilha).RowCount()));

    Form1->BtnRevisaoNovoClick(nullptr);
    Form12->caplicar->SetChecked(true);
    Form12->Cirsm->SetChecked(false);
    Form12->ComboBox1->SetText("x");
    Form12->umtrinta->SetText("1");
    Cells(Form12->planilha).SetRowCount(2);
    Cells(Form12->Sdig).SetRowCount(2);
    Form12->PageControl1->SetPageIndex(3);

    Form12->ReadStateFile(Path());

    EXPECT_EQ(wizard_state::StateLines(*Form12), written);
    EXPECT_EQ(Cells(Form12->planilha).Cell(12, 1), "a b, \"c\"");
    EXPECT_EQ(Cells(Form12->Sdig).Cell(1, 2), "\"1,5\"");
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StateFile, BooleansAreCheckedUnlessExactlyFalse) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    lines[15] = "TRUE";  // Csteto
    lines[16] = "False"; // Dteto
    lines[20] = "";      // Cstetoinss
    lines[21] = "false"; // Dtetoinss
    // Boxes a pass never uses: unchecked after the reading whatever the file
    // says, except Cirsm, which is read after the pass.
    lines[14] = "true"; // Curv
    lines[19] = "true"; // Curvinss
    WriteLines(lines);
    Form12->Csteto->SetChecked(false);
    Form12->Dteto->SetChecked(false);
    Form12->Cstetoinss->SetChecked(false);
    Form12->Dtetoinss->SetChecked(true);
    Form12->ReadStateFile(Path());
    EXPECT_TRUE(Form12->Csteto->Checked());
    EXPECT_TRUE(Form12->Dteto->Checked());
    EXPECT_TRUE(Form12->Cstetoinss->Checked());
    EXPECT_FALSE(Form12->Dtetoinss->Checked());
    EXPECT_FALSE(Form12->Curv->Checked());
    EXPECT_FALSE(Form12->Curvinss->Checked());
    EXPECT_TRUE(Form12->Cirsm->Checked());
}

TEST_F(StateFile, AFileEndingAfterTheSpreadsheetLeavesTheOtherBlocksAlone) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    const int rows = std::stoi(lines[kPlanilhaCount]);
    lines.resize(kPlanilhaCount + 1 + rows);
    WriteLines(lines);
    Form12->DateEdit1->SetText("05/05/2005");
    Form12->umtrinta->SetText("3");
    Form12->ReadStateFile(Path());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form12->DateEdit1->Text(), "05/05/2005");
    EXPECT_EQ(Form12->umtrinta->Text(), "3");
    EXPECT_EQ(Cells(Form12->planilha).Cell(12, 1), "a b, \"c\"");
}

TEST_F(StateFile, ACountBeyondTheEndReadsWhatIsThereAndStops) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    lines[kPlanilhaCount] = "999999999";
    lines.resize(kPlanilhaCount + 1 + 2); // the header and one month
    WriteLines(lines);
    Form12->DateEdit1->SetText("05/05/2005");
    EXPECT_THROW(Form12->ReadStateFile(Path()), EAbort);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("incompleto"), std::string::npos) << Messages()[0];
    TCellMatrix& p = Cells(Form12->planilha);
    EXPECT_EQ(p.RowCount(), 2);
    EXPECT_EQ(p.Cell(12, 1), "a b, \"c\"");
    EXPECT_EQ(Form12->DateEdit1->Text(), "05/05/2005");
}

TEST_F(StateFile, ARefusedCalculationStopsTheReading) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    lines[2] = "  /  /    "; // Dataini
    WriteLines(lines);
    Form12->DateEdit1->SetText("05/05/2005");
    const int rowsBefore = Cells(Form12->planilha).RowCount();
    EXPECT_THROW(Form12->ReadStateFile(Path()), EAbort);
    EXPECT_EQ(Messages(), Texts{"é necessário digitar a Data Inicial"});
    EXPECT_EQ(Cells(Form12->planilha).RowCount(), rowsBefore);
    EXPECT_EQ(Form12->DateEdit1->Text(), "05/05/2005");
    EXPECT_FALSE(Form12->Visible());
}

TEST_F(StateFile, UnreadableValuesAreNamed) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    lines[5] = "muito"; // Vautor
    WriteLines(lines);
    EXPECT_THROW(Form12->ReadStateFile(Path()), EAbort);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("linha 6 (RMI INSS): 'muito'"), std::string::npos)
        << Messages()[0];
    lines[5] = "100";
    lines[kPlanilhaCount] = "3 linhas";
    WriteLines(lines);
    velorim_test::Dialogs().Clear();
    EXPECT_THROW(Form12->ReadStateFile(Path()), EAbort);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("'3 linhas'"), std::string::npos) << Messages()[0];
}

} // namespace

// Edits in the tables window against a table file changed between two
// calculations: the calculation reads the edits until the file really
// changes, and then the user chooses.
#include "wizard_env.h"

#include <filesystem>

#include "platform/runtime/files.h"

namespace {

class TableEdits : public WizardTest {
protected:
    // "Já possuo" for 05/1998 and 06/1998: an INSS RMI of 3.000,00, held to
    // the ceiling from the second month on, against 100,00 paid.
    void Calculate() {
        Form12->cpossuo->SetChecked(true);
        Form12->Dataini->SetText("01/05/1998");
        Form12->Datafim->SetText("30/06/1998");
        Form12->DatePrescricao->SetText("01/05/1998");
        Form12->Vinss->SetText("3.000,00");
        Form12->Vautor->SetText("100,00");
        Form12->PageControl1->SetPageIndex(5);
        Form12->BTNcorrigirClick(nullptr);
    }
    std::string Total() const {
        const TCellMatrix& p = Cells(Form12->planilha);
        return p.Cell(11, p.RowCount() - 1);
    }
    static void SetCeiling(TCellMatrix& inss, const std::string& month, const std::string& value) {
        for (int r = 1; r < inss.RowCount(); ++r)
            if (inss.Cell(0, r) == month) inss.SetCell(1, r, value);
    }
    // inss.tab as the grid holds it but for 06/1998 and 07/1998.
    void WriteInss(const std::string& june, const std::string& july) const {
        TCellMatrix inss = Table("gridiinss");
        SetCeiling(inss, "06/1998", june);
        SetCeiling(inss, "07/1998", july);
        SaveTableFile(inss, DataFile(tabelas::InssFile));
    }
    // Typed into the tables window's grid.
    static void TypeJune(const std::string& value) {
        TStringAlignGrid* grid = Form8->gridiinss;
        for (int r = 1; r < grid->RowCount(); ++r)
            if (grid->Cells(0, r) == "06/1998") grid->SetCells(1, r, value);
    }
    void Touch() const {
        const auto file = DataFile(tabelas::InssFile);
        std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                                   std::chrono::seconds(5));
    }
};

TEST_F(TableEdits, ATouchedFileKeepsThemAndAChangedOneAsksBeforeReplacingThem) {
    WriteInss("1050,00", "1081,50");
    Calculate();
    ASSERT_EQ(Total(), "3.850,00");
    TypeJune("2000,00");
    Calculate();
    EXPECT_EQ(Total(), "4.800,00");

    // The same contents under a new stamp: nothing to reload, nothing asked.
    Touch();
    Calculate();
    EXPECT_EQ(Total(), "4.800,00");
    EXPECT_TRUE(Messages().empty());

    // Changed contents ask first; "Não" keeps the edits, and the same file
    // is not asked about again.
    WriteInss("1050,00", "1100,00");
    velorim_test::Dialogs().Answer("No");
    Calculate();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("O arquivo inss.tab da pasta de dados"), std::string::npos);
    EXPECT_NE(Messages()[0].find("Substituir essas alterações"), std::string::npos);
    EXPECT_EQ(Total(), "4.800,00");
    Touch();
    Calculate();
    EXPECT_EQ(Messages().size(), 1u);

    // "Sim" takes the file.
    WriteInss("1050,00", "1200,00");
    velorim_test::Dialogs().Answer("Yes");
    Calculate();
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Total(), "3.850,00");

    // Saved with Gravar, the file holds the edits: nothing to ask.
    TypeJune("2000,00");
    Form8->Button2Click(nullptr);
    Calculate();
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Total(), "4.800,00");
}

} // namespace

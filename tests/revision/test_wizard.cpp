// The wizard's computing steps as the user drives them: the validations of
// the new RMI and spreadsheet pages, the values they hand on, and Finalizar.
#include "wizard_env.h"

#include "grid_text.h"
#include "revision/prop_form.h"
#include "revision/redo_index_form.h"
#include "revision/redo_salaries_form.h"

#include "html/view/html_viewer.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

class WizardSteps : public WizardTest {
protected:
    // A "Já possuo a nova RMI" case from 01/2000 to 03/2000: 200,00 against
    // 100,00 with every factor 1.
    void SmallCase() {
        Form12->cpossuo->SetChecked(true);
        Form12->Dataini->SetText("01/01/2000");
        Form12->Datafim->SetText("01/03/2000");
        Form12->DatePrescricao->SetText("01/01/2000");
        Form12->Vinss->SetText("200");
        Form12->Vautor->SetText("100");
        Form12->PageControl1->SetPageIndex(5);
    }
};

TEST_F(WizardSteps, DecretoRoadComputesTheNewRmiAndHandsItOn) {
    Form12->caplicar->SetChecked(true);
    Form12->DateEdit1->SetText("01/01/1990");
    Form12->DateEdit2->SetText("01/12/1992");
    Form12->DateEdit3->SetText("01/01/1993");
    Form12->rmi01->SetText("1.234,5");
    Form12->coef->SetText("0,95");
    Form12->umtrinta->SetText("10");
    // The ceilings of the month after the last salary: larger 2.000,00, smaller 1.000,00.
    TCellMatrix& teto = Table("gridiinss");
    for (int r = 1; r < teto.RowCount(); ++r)
        if (teto.Cell(0, r) == "01/1993") {
            teto.SetCell(1, r, "2000,00");
            teto.SetCell(2, r, "1000,00");
        }
    Form12->PageControl1->SetPageIndex(3);
    Form12->Button5Click(nullptr);
    ASSERT_EQ(Form12->PageControl1->PageIndex(), 4);
    TCellMatrix& dig = Cells(Form12->Sdig);
    ASSERT_EQ(dig.RowCount(), 37);
    EXPECT_EQ(dig.Cell(0, 1), "01/1990");
    EXPECT_EQ(dig.Cell(0, 36), "12/1992");
    for (int r = 1; r <= 36; ++r)
        dig.SetCell(1, r, "1.500,00");

    Form12->Button2Click(nullptr);

    TCellMatrix& dem = Cells(Form12->Sdem);
    const int n = dem.RowCount();
    ASSERT_GE(n, 3);
    EXPECT_EQ(dem.Cell(0, n - 3), "Parcela Básica RMI:");
    EXPECT_EQ(dem.Cell(2, n - 3), "1.000,00 x 0,95");
    EXPECT_EQ(dem.Cell(3, n - 3), "950,00");
    EXPECT_EQ(dem.Cell(0, n - 2), "Parcela Adicional RMI (10/30)");
    EXPECT_EQ(dem.Cell(3, n - 2), "166,67");
    EXPECT_EQ(dem.Cell(0, n - 1), "RMI:");
    EXPECT_EQ(dem.Cell(3, n - 1), "1.116,67");
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 5);
    EXPECT_EQ(Form12->Vinss->Value(), 1116.67L);
    // The INSS side is the concession letter's RMI as typed.
    EXPECT_EQ(Form12->Vautor->Text(), Form12->rmi01->Text());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WizardSteps, NewRmiStepRefusesBadSalaryDatesWithoutMoving) {
    struct Case {
        const char *ini, *fim, *message;
    };
    const Case cases[] = {
        {"  /  /    ", "01/12/1992", "Digite primeiro a data inicial"},
        {"01/01/1990", "  /  /    ", "Digite a data final"},
        {"01/01/1976", "30/04/1977", "A data final não pode ser inferior a 01/05/1977"},
        {"01/02/1993", "01/12/1992", "A data inicial não pode ser maior que a final"},
    };
    for (const Case& c : cases) {
        velorim_test::Dialogs().Clear();
        Form12->PageControl1->SetPageIndex(4);
        Form12->DateEdit1->SetText(c.ini);
        Form12->DateEdit2->SetText(c.fim);
        EXPECT_THROW(Form12->Button2Click(nullptr), EAbort) << c.message;
        EXPECT_EQ(Messages(), Texts{c.message});
        EXPECT_EQ(Form12->PageControl1->PageIndex(), 4);
    }
}

TEST_F(WizardSteps, SpreadsheetStepValidatesInOrder) {
    SmallCase();
    struct Step {
        std::function<void()> change;
        const char* message;
    };
    // Each step breaks one input (after repairing the previous one).
    const Step steps[] = {
        {[] { Form12->Dataini->SetText("  /  /    "); }, "é necessário digitar a Data Inicial"},
        {[] {
             Form12->Dataini->SetText("01/01/2000");
             Form12->Datafim->SetText("  /  /    ");
         },
         "é necessário digitar a Data Final"},
        {[] {
             Form12->Datafim->SetText("01/03/2000");
             Form12->Vinss->SetText("");
         },
         "é necessário digitar RMI Autor"},
        {[] {
             Form12->Vinss->SetText("200");
             Form12->DatePrescricao->SetText("  /  /    ");
         },
         "é necessário digitar a Data da Prescrição"},
        {[] {
             Form12->DatePrescricao->SetText("01/01/2000");
             Form12->Ejuros->SetText("1");
             Form12->Cjuros->SetChecked(true);
         },
         "é necessário digitar a Data inicial da contagem de juros"},
        {[] { Form12->Dateinicialjuros->SetText("01/01/2000"); },
         "é necessário digitar a Data final da contagem de juros"},
        {[] {
             Form12->Datefinaljuros->SetText("01/03/2000");
             Form12->Dataini->SetText("30/04/1977");
         },
         "a data inicial não pode ser anterior a 01/05/1977"},
        {[] {
             Form12->Dataini->SetText("01/01/1999");
             Form12->Datafim->SetText("31/12/1998");
         },
         "a data final não pode ser anterior à data inicial"},
    };
    for (const Step& s : steps) {
        velorim_test::Dialogs().Clear();
        s.change();
        EXPECT_THROW(Form12->BTNcorrigirClick(nullptr), EAbort) << s.message;
        EXPECT_EQ(Messages(), Texts{s.message});
        EXPECT_EQ(Form12->PageControl1->PageIndex(), 5);
    }
    // With no interest rate the interest box is cleared before its dates are
    // tested, so empty interest dates pass.
    Form12->Dataini->SetText("01/05/1977");
    Form12->Datafim->SetText("01/07/1977");
    Form12->Ejuros->SetText("");
    Form12->Dateinicialjuros->SetText("  /  /    ");
    Form12->Cjuros->SetChecked(true);
    velorim_test::Dialogs().Clear();
    Form12->BTNcorrigirClick(nullptr);
    EXPECT_FALSE(Form12->Cjuros->Checked());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 6);
}

TEST_F(WizardSteps, SpreadsheetRowsFollowTheDaysOfTheDates) {
    SmallCase();
    Form12->Dataini->SetText("15/03/1990");
    Form12->Datafim->SetText("10/06/1990");
    Form12->DatePrescricao->SetText("01/01/1990");
    // Boxes only a state file can set are cleared by every pass.
    Form12->Curv->SetChecked(true);
    Form12->meuindice->SetChecked(true);
    Form12->BTNcorrigirClick(nullptr);
    EXPECT_FALSE(Form12->Curv->Checked());
    EXPECT_FALSE(Form12->meuindice->Checked());
    TCellMatrix& p = Cells(Form12->planilha);
    ASSERT_EQ(p.RowCount(), 5); // header, three months, sums
    EXPECT_EQ(p.Cell(0, 1), "03/1990");
    EXPECT_EQ(p.Cell(0, 2), "04/1990");
    EXPECT_EQ(p.Cell(0, 3), "05/1990");
    EXPECT_EQ(p.Cell(11, 4), "300,00");
}

TEST_F(WizardSteps, FinalizarWritesBothFilesShowsTheReportAndCloses) {
    SmallCase();
    Form12->Enome->SetText("João & Maria <filho>");
    Form12->BTNcorrigirClick(nullptr);
    Form12->Show();
    Form12->Button3Click(nullptr);

    EXPECT_FALSE(Form12->Visible());
    ASSERT_TRUE(FileExists(DataFile("atualrev.back")));
    ASSERT_TRUE(FileExists(DataFile("atual.html")));
    EXPECT_EQ(Form1->HTMLViewer1->CurrentFile(), DataFile("atual.html"));
    const std::string html = ReadFileBytes(DataFile("atual.html"));
    EXPECT_EQ(html.rfind("<html>\r\n<head>\r\n<title>Atualização</title>\r\n", 0), 0u);
    EXPECT_NE(html.find("João &amp; Maria &lt;filho&gt;"), std::string::npos);
    // The "Já possuo" road has no new-RMI working.
    EXPECT_EQ(html.find("<b>NOVA RMI</b>"), std::string::npos);
    EXPECT_NE(html.find("<b>DIFERENÇA DEVIDA = R$ 300,00</b>"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 9), "</html>\r\n");
}

// The report is shown from memory, whatever the disk does after; a file that
// cannot be written is told and loses nothing else.
TEST_F(WizardSteps, FinalizarShowsTheReportAndWritesWhatItCanWhenAFileFails) {
    SmallCase();
    Form12->BTNcorrigirClick(nullptr);
    Form12->Show();
    // A folder where the report goes: the report cannot be written.
    std::filesystem::create_directory(DataFile("atual.html"));
    Form12->Button3Click(nullptr);
    const std::string reportFailed = "Não foi possível gravar o relatório \"" +
                                     DataFile("atual.html") + "\": é uma pasta, não um arquivo";
    EXPECT_EQ(Messages(), Texts{reportFailed});
    EXPECT_EQ(Form1->HTMLViewer1->CurrentFile(), DataFile("atual.html"));
    EXPECT_NE(Form1->HTMLViewer1->DocumentSource().find("DIFERENÇA DEVIDA = R$ 300,00"), std::string::npos);
    EXPECT_TRUE(FileExists(DataFile("atualrev.back")));
    EXPECT_FALSE(Form12->Visible());

    // Now the state file cannot be written: the failure leaves Finalizar
    // with the wizard open, after the report was shown and written.
    std::filesystem::remove(DataFile("atual.html"));
    std::filesystem::remove(DataFile("atualrev.back"));
    std::filesystem::create_directory(DataFile("atualrev.back"));
    Form1->HTMLViewer1->Clear();
    Form12->Show();
    EXPECT_THROW(Form12->Button3Click(nullptr), EInOutError);
    EXPECT_TRUE(Form12->Visible());
    EXPECT_EQ(Form1->HTMLViewer1->DocumentSource(), ReadFileBytes(DataFile("atual.html")));

    // Both fail, as on a full disk: one message tells both.
    std::filesystem::remove(DataFile("atual.html"));
    std::filesystem::create_directory(DataFile("atual.html"));
    velorim_test::Dialogs().Clear();
    try {
        Form12->Button3Click(nullptr);
        ADD_FAILURE() << "Finalizar went on without its files";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message, "Não foi possível gravar o arquivo \"" + DataFile("atualrev.back") +
                                 "\": é uma pasta, não um arquivo\n" + reportFailed);
    }
    EXPECT_EQ(Messages(), Texts{});
}

// Finalizar on a spreadsheet that is not the case's (never computed, or
// computed for other dates) writes nothing: the last finished case, its
// report and the report shown stay, and the wizard stays open.
TEST_F(WizardSteps, FinalizarWritesNothingForASpreadsheetThatIsNotTheCases) {
    SmallCase();
    Form12->BTNcorrigirClick(nullptr);
    Form12->Button3Click(nullptr);
    const std::string state = ReadFileBytes(DataFile("atualrev.back"));
    const std::string report = ReadFileBytes(DataFile("atual.html"));
    const std::string shown = Form1->HTMLViewer1->DocumentSource();
    auto refused = [&](const std::string& message) {
        velorim_test::Dialogs().Clear();
        EXPECT_THROW(Form12->Button3Click(nullptr), EAbort);
        EXPECT_EQ(Messages(), Texts{message});
        EXPECT_EQ(ReadFileBytes(DataFile("atualrev.back")), state);
        EXPECT_EQ(ReadFileBytes(DataFile("atual.html")), report);
        EXPECT_EQ(Form1->HTMLViewer1->DocumentSource(), shown);
        EXPECT_TRUE(Form12->Visible());
    };

    Form1->BtnRevisaoNovoClick(nullptr);
    Form12->Button31->Click();
    refused("A planilha ainda não foi calculada: não há cálculo para finalizar. Clique em "
            "\"Voltar\", preencha os dados do cálculo e clique em \"Próximo\" para calcular a "
            "planilha; depois, em \"Finalizar\".");

    SmallCase();
    Form12->BTNcorrigirClick(nullptr);
    Form12->Datafim->SetText("01/04/2000");
    refused("A planilha não confere com as datas do caso: a planilha tem 5 linhas, mas pelas "
            "datas do caso (Data Inicial e Data Final) ela vai de 01/2000 a 04/2000 e tem 6: o "
            "título, os 4 meses e a linha das somas. Clique em \"Voltar\" e em \"Próximo\" para "
            "calcular a planilha de novo; depois, em \"Finalizar\".");
}

// The new RMI step puts its RMIs into page 5. One the wizard put there
// itself is replaced without a word; one typed there, or held by a case
// read from a file, only when the user says so.
TEST_F(WizardSteps, NewRmiStepAsksBeforeReplacingATypedRmi) {
    // "Editar", then Próximo page by page up to page 5.
    auto walk = [] {
        Form1->SpeedButton20Click(nullptr);
        TButton* const next[] = {Form12->Button20, Form12->Button22, Form12->Button23,
                                 Form12->Button5, Form12->Button2};
        for (int guard = 0; guard < 5 && Form12->PageControl1->PageIndex() < 5; ++guard)
            next[Form12->PageControl1->PageIndex()]->Click();
        EXPECT_EQ(Form12->PageControl1->PageIndex(), 5);
    };
    const std::string askRmi =
        "Substituir a RMI Autor digitada (1.234,56) pela calculada (1.000,00)?";
    const std::string askPaid =
        "Substituir a RMI INSS digitada (400,00) pela da Carta de Concessão (500,00)?";
    for (TRadioButton* road : {Form12->C8213, Form12->caplicar}) {
        SCOPED_TRACE(road->Name());
        Form12->KeepInput();
        Form1->BtnRevisaoNovoClick(nullptr);
        road->SetChecked(true);
        Form12->DateEdit1->SetText("01/01/1998");
        Form12->DateEdit2->SetText("01/03/1998");
        Form12->DateEdit3->SetText("01/04/1998");
        Form12->rmi01->SetText("500");
        Form12->divisor->SetText("3");
        Cells(Form12->Sdig).SetRowCount(4);
        for (int r = 1; r <= 3; ++r) Cells(Form12->Sdig).SetCell(1, r, "1.000,00");
        walk();
        walk();
        EXPECT_TRUE(Messages().empty());
        EXPECT_EQ(Form12->Vinss->Value(), 1000);

        Form12->Vinss->SetText("1.234,56");
        Form12->Vautor->SetText("400");
        walk();
        EXPECT_EQ(Messages(), (Texts{askRmi, askPaid}));
        EXPECT_EQ(Form12->Vinss->Value(), 1234.56L);
        EXPECT_EQ(Form12->Vautor->Value(), 400);
        velorim_test::Dialogs().Clear();
        velorim_test::Dialogs().Answer("Yes");
        velorim_test::Dialogs().Answer("Yes");
        walk();
        EXPECT_EQ(Form12->Vinss->Value(), 1000);
        EXPECT_EQ(Form12->Vautor->Value(), 500);

        // Finished and read back with "A. Backup": the case's RMI, typed
        // before it was saved, is asked about again.
        Form12->Vinss->SetText("1.234,56");
        Form12->Dataini->SetText("01/04/1998");
        Form12->Datafim->SetText("31/05/1998");
        Form12->DatePrescricao->SetText("01/04/1998");
        Form12->BTNcorrigirClick(nullptr);
        Form12->Button3Click(nullptr);
        Form1->SpeedButton17Click(nullptr);
        velorim_test::Dialogs().Clear();
        walk();
        EXPECT_EQ(Messages(), Texts{askRmi});
        EXPECT_EQ(Form12->Vinss->Value(), 1234.56L);
        velorim_test::Dialogs().Clear();
    }
}

// A case past the tables was refused one table and one month at a time, a
// table read only at start-up took a restart to be read again, and a series
// the case does not read stopped it too.
TEST_F(WizardSteps, OneRefusalListsEveryMonthEveryTableLacksAndNoRestartIsNeeded) {
    SmallCase();
    Form12->Datafim->SetText("30/11/2003");
    std::filesystem::remove(DataFile(tabelas::SeriesIFile));
    std::filesystem::remove(DataFile(tabelas::SeriesIIFile));
    // Each line shows one of the table's lines, and the case may end where
    // the tables end.
    const std::string months = " não tem os meses 01/2003 a 11/2003: acrescente esses meses ao "
                               "arquivo (uma linha por mês";
    const std::string end = "), ou termine o cálculo em 12/2002, o último mês que as tabelas têm.";
    EXPECT_EQ(MessageOf<tabelas::ETableError>([] { Form12->BTNcorrigirClick(nullptr); }),
              "O cálculo não foi feito por causa destas tabelas da pasta de dados \"" +
                  dir_.string() + "\":\n- crmensalrev3.tab" + months +
                  ", em ordem; cada uma com coluna 1, coluna 2, coluna 3 e coluna 4 separados por "
                  "TAB, como a de 12/2002: 12/2002; 1; 1,00; Real" + end + "\n- salmin.tab" + months +
                  " começando pela data, como 01/01/2003, em ordem; cada uma com coluna 1 e coluna "
                  "2 separados por TAB, como a de 01/12/2002: 01/12/2002; 1,00" + end +
                  "\n- inss.tab" + months +
                  ", em ordem; cada uma com coluna 1, coluna 2 e coluna 3 separados por TAB, como a "
                  "de 12/2002: 12/2002; 100000,00; 100000,00" + end + "\n- " +
                  tabelas::SeriesIIIFile + months +
                  ", em ordem; cada uma com coluna 1 e coluna 2 separados por TAB, como a de "
                  "12/2002: 12/2002; 1" + end +
                  "\nFeito isso, calcule de novo. Não é preciso reiniciar o programa: as tabelas "
                  "alteradas são lidas outra vez a cada cálculo.");
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 5);

    // The clerk adds the months to the four files and clicks again.
    for (int m = 1; m <= 12; ++m) {
        const std::string month = FormatDateTime("mm/yyyy", EncodeDate(2003, m, 1));
        AddRow(Table("GridCorrRev"), {month, "1", "1,00", "Real"});
        AddRow(Table("GridSalmin"), {"01/" + month, "1,00"});
        AddRow(Table("gridiinss"), {month, "100000,00", "100000,00"});
        AddRow(Table("INPCGrid"), {month, "1"});
    }
    SaveTableFile(Table("GridCorrRev"), DataFile(tabelas::CrMensalRev3File));
    SaveTableFile(Table("INPCGrid"), DataFile(tabelas::SeriesIIIFile));
    SaveTableFile(Table("GridSalmin"), DataFile(tabelas::SalminFile));
    SaveTableFile(Table("gridiinss"), DataFile(tabelas::InssFile));
    for (const char* grid : {"GridCorrRev", "GridSalmin", "gridiinss", "INPCGrid"})
        Table(grid).SetRowCount(Table(grid).RowCount() - 12);
    Form12->BTNcorrigirClick(nullptr);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 6);
    EXPECT_EQ(Cells(Form12->planilha).Cell(0, 47), "11/2003");
}

} // namespace

namespace {

// The companion dialogs that rewrite columns of the spreadsheet.
class CompanionDialogs : public WizardSteps {
protected:
    void SetUp() override {
        WizardSteps::SetUp();
        SmallCase();
        Form12->DatePrescricao->SetText("01/12/1999");
        Form12->BTNcorrigirClick(nullptr);
    }

    static void Fill(TStringAlignGrid* grid, const std::vector<Texts>& rows) {
        TCellMatrix& cells = Cells(grid);
        cells.SetRowCount(static_cast<int>(rows.size()) + 1);
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c)
                cells.SetCell(static_cast<int>(c), static_cast<int>(r) + 1, rows[r][c]);
    }
};

TEST_F(CompanionDialogs, RedoSalariesReplacesBothValuesAndTheTotals) {
    TCellMatrix& p = Cells(Form12->planilha);
    ASSERT_EQ(p.Cell(11, 4), "300,00");
    Fill(Form13->refazsalario, {{"01/2000", "300,00", "100,00"},
                                {"02/2000", "300,00", "100,00"},
                                {"03/2000", "350,00", "100,00"}});
    Form13->Show();
    Form13->Button1Click(nullptr);
    EXPECT_EQ(ColumnOf(p, 7, 1, 3), (Texts{"200,00", "200,00", "250,00"}));
    EXPECT_EQ(p.Cell(9, 4), "650,00");
    EXPECT_EQ(p.Cell(11, 4), "650,00");
    EXPECT_FALSE(Form13->Visible());
}

TEST_F(CompanionDialogs, RedoIndexCarriesTheBenefitsAgain) {
    TCellMatrix& p = Cells(Form12->planilha);
    Fill(Form14->refazsalario,
         {{"01/2000", "1", "1"}, {"02/2000", "1,5", "1"}, {"03/2000", "1", "1,2"}});
    Form14->Button1Click(nullptr);
    EXPECT_EQ(ColumnOf(p, 2, 1, 3), (Texts{"200,00", "300,00", "300,00"}));
    EXPECT_EQ(ColumnOf(p, 5, 1, 3), (Texts{"100,00", "100,00", "120,00"}));
    EXPECT_EQ(p.Cell(11, 4), "480,00");
}

TEST_F(CompanionDialogs, ProportionalStartIsSavedOnlyFrom05_1996) {
    const std::string prop = DataFile("prop.ini");
    Fprop->DateEdit1->SetText("01/05/1996");
    Fprop->GravarClick(nullptr);
    ASSERT_TRUE(FileExists(prop));
    EXPECT_EQ(ReadFileBytes(prop), "01/05/1996\r\n");
    Fprop->DateEdit1->SetText("30/04/1996");
    Fprop->GravarClick(nullptr);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("A tabela corrige valores proporcionais apenas desde 01/05/1996", 0),
              0u);
    EXPECT_EQ(ReadFileBytes(prop), "01/05/1996\r\n");
    Fprop->DateEdit1->SetText("01/05/1996");
}

} // namespace

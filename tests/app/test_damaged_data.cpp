// Damaged copies of the shipped data directory and of the settings files:
// the start-up names each problem once, a calculation that needs a damaged
// table stops with its name, and a settings value the program cannot use
// keeps its default.
#include <gmock/gmock.h>

#include <array>
#include <filesystem>

#include "app_env.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "revision/arrears_wizard.h"
#include "revision/help_text_form.h"
#include "revision/prop_form.h"
#include "tables/tables_form.h"

using ::testing::ElementsAre;
using velorim_test::Dialogs;

namespace {

class DamagedData : public velorim_test::ProgramTest {
protected:
    // A case on the shipped tables from 06/1997 to 12/1999, through the
    // road that already has its new RMI (started in a readjustment's month,
    // its first readjustment is whole).
    void RunCase(const std::string& from = "01/06/1997", const std::string& to = "31/12/1999") {
        Event([] { Form1->BtnRevisaoNovo->UserClick(); });
        TForm12& w = *Form12;
        w.cpossuo->SetChecked(true);
        w.Dataini->SetText(from);
        w.Datafim->SetText(to);
        w.DatePrescricao->SetText(from);
        w.Vautor->SetText("500,00");
        w.Vinss->SetText("600,00");
        w.PageControl1->SetPageIndex(5);
        Event([] { Form12->BTNcorrigir->UserClick(); });
    }

    // The refusal of a calculation for one table of the data directory.
    std::string Refused(const std::string& line) {
        return "O cálculo não foi feito por causa desta tabela da pasta de dados \"" + dir.string() +
               "\":\n- " + line + ".\nFeito isso, calcule de novo. Não é preciso reiniciar o " +
               "programa: as tabelas alteradas são lidas outra vez a cada cálculo.";
    }

    std::string Planilha() {
        std::string text;
        for (int r = 0; r < Form12->planilha->RowCount(); ++r)
            for (int c = 0; c < Form12->planilha->ColCount(); ++c)
                text += Form12->planilha->Cells(c, r) + (c + 1 < Form12->planilha->ColCount() ? "\t" : "\n");
        return text;
    }
};

TEST_F(DamagedData, AMissingOrDamagedCorrectionTableStopsTheCalculation) {
    ShipTables();
    Start(false);
    ASSERT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
    RunCase();
    ASSERT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
    ASSERT_EQ(Form12->PageControl1->PageIndex(), 6);
    // The readjustment of 06/1998 comes from the correction table.
    const std::string computed = Planilha();
    ASSERT_NE(computed.find("06/1998\t1,0481"), std::string::npos);

    // Between two calculations the table goes missing, or is damaged: the
    // calculation stops, names it and leaves the spreadsheet as it was.
    const std::filesystem::path table = dir / "crmensalrev3.tab";
    const std::string shipped = Read("crmensalrev3.tab");
    std::string withNul = shipped;
    size_t row5 = 0;
    for (int line = 1; line < 5; ++line) row5 = withNul.find('\n', row5) + 1;
    withNul[row5 + 2] = '\0';
    const std::pair<std::string, std::string> damages[] = {
        {"", "o arquivo está vazio"},
        {withNul, "linha 5: byte nulo no texto"},
        {"\x89PNG\r\n\x1a\n\x01\x02\x03", "linha 2: '[código 26]' na coluna 1 não é um mês (mm/aaaa)"},
    };
    for (const auto& [bytes, why] : damages) {
        Write("crmensalrev3.tab", bytes);
        Dialogs().Clear();
        Event([] { Form12->BTNcorrigir->UserClick(); });
        EXPECT_THAT(Dialogs().Messages(),
                    ElementsAre(Refused("crmensalrev3.tab está danificada (" + why +
                                        "): corrija o arquivo")));
        EXPECT_EQ(Planilha(), computed);
    }
    std::filesystem::remove(table);
    Dialogs().Clear();
    Event([] { Form12->BTNcorrigir->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(Refused("crmensalrev3.tab não foi encontrada na pasta de dados: "
                                    "coloque o arquivo nessa pasta")));
    std::filesystem::create_directory(table);
    Dialogs().Clear();
    Event([] { Form12->BTNcorrigir->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(Refused("crmensalrev3.tab não pôde ser lida (é uma pasta, não um "
                                    "arquivo): verifique o arquivo")));
    EXPECT_EQ(Planilha(), computed);

    // Mended, the same case gives the same spreadsheet again.
    std::filesystem::remove(table);
    Write("crmensalrev3.tab", shipped);
    Dialogs().Clear();
    Event([] { Form12->BTNcorrigir->UserClick(); });
    EXPECT_TRUE(Dialogs().Messages().empty());
    EXPECT_EQ(Planilha(), computed);
}

// A case that never reaches the proportional date was refused for want of
// the proportional table, which it does not read.
TEST_F(DamagedData, OnlyACaseThatReadsTheProportionalTableNeedsIt) {
    ShipTables();
    std::filesystem::remove(dir / "atuaprev.tab");
    Start(false);
    Dialogs().Clear();
    RunCase("01/04/1991", "30/06/1995");
    EXPECT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
    EXPECT_EQ(Form12->PageControl1->PageIndex(), 6);
    RunCase("01/04/2001", "30/06/2002");
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("Descartar o cálculo em andamento?", Refused("atuaprev.tab não foi encontrada na pasta de dados: coloque "
                                    "o arquivo nessa pasta")));
}

TEST_F(DamagedData, TheStartUpNamesEachDamagedTableOnceWithItsLine) {
    ShipTables();
    std::string salmin = Read("salmin.tab");
    size_t row5 = 0;
    for (int line = 1; line < 5; ++line) row5 = salmin.find('\n', row5) + 1;
    salmin[row5 + 4] = '\0';
    Write("salmin.tab", salmin);
    std::filesystem::remove(dir / "crmensalrev3.tab");
    Start(false);
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("Há tabelas com problema na pasta de dados:\n"
                            "- A tabela salmin.tab está danificada (linha 5: byte nulo no texto).\n"
                            "- A tabela crmensalrev3.tab não foi encontrada na pasta de dados.\n"
                            "Os cálculos que precisam delas não serão feitos."));
    // Nothing of the damaged table was loaded, and the toolbar works.
    EXPECT_EQ(Form8->GridSalmin->Cells(0, 1), "");
    EXPECT_TRUE(Form1->BtnRevisaoNovo->Enabled());

    Dialogs().Clear();
    RunCase();
    // Both at once, each with what to do.
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O cálculo não foi feito por causa destas tabelas da pasta de dados \"" +
                            dir.string() +
                            "\":\n- crmensalrev3.tab não foi encontrada na pasta de dados: "
                            "coloque o arquivo nessa pasta.\n- salmin.tab está danificada (linha "
                            "5: byte nulo no texto): corrija o arquivo.\nFeito isso, calcule de "
                            "novo. Não é preciso reiniciar o programa: as tabelas alteradas são "
                            "lidas outra vez a cada cálculo."));
    Write("crmensalrev3.tab", ReadFileBytes(VELORIM_SOURCE_DIR "/data/crmensalrev3.tab"));
    Dialogs().Clear();
    Event([] { Form12->BTNcorrigir->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(Refused("salmin.tab está danificada (linha 5: byte nulo no texto): "
                                    "corrija o arquivo")));
    EXPECT_NE(Form12->PageControl1->PageIndex(), 6);
}

// Shipped tables short of a month the case needs (a line taken out, or the
// table ending before the case) once gave another total without a word. The
// refusal says where the line goes and, in the table of dates, how it starts
// (the month alone, as the refusal wrote it, was refused again).
TEST_F(DamagedData, AMonthMissingFromATableStopsTheCalculationNamingIt) {
    // The text of a table without the lines from `from` on, or without the
    // one line of `from` when `only`.
    auto cut = [this](const std::string& file, const std::string& from, bool only) {
        std::string text = Read(file);
        const size_t at = text.find("\n" + from) + 1;
        const size_t end = only ? text.find('\n', at) + 1 : text.size();
        return text.erase(at, end - at);
    };
    const std::array<std::string, 4> cases[] = {
        {"crmensalrev3.tab", "01/1998", "1",
         "crmensalrev3.tab não tem o mês 01/1998: acrescente esse mês ao arquivo (uma linha, no "
         "seu lugar entre os outros meses; com Data, Índice, Salário Mínimo e Moeda separados por "
         "TAB, como a de 12/1997: 12/1997; 1; 120,00; R$)"},
        {"crmensalrev3.tab", "01/1999", "",
         "crmensalrev3.tab não tem os meses 01/1999 a 12/1999: acrescente esses meses ao arquivo "
         "(uma linha por mês, em ordem; cada uma com Data, Índice, Salário Mínimo e Moeda "
         "separados por TAB, como a de 12/1998: 12/1998; 1; 130,00; R$), ou termine o cálculo em "
         "12/1998, o último mês que as tabelas têm"},
        {"inss.tab", "01/1995", "",
         "inss.tab não tem os meses 07/1997 a 12/1999: acrescente esses meses ao arquivo (uma "
         "linha por mês, em ordem; cada uma com Data, Maior valor-teto e Menor valor-teto "
         "separados por TAB, como a de 12/1994: 12/1994; 582,86; 582,86)"},
        {"salmin.tab", "01/06/1998", "1",
         "salmin.tab não tem o mês 06/1998: acrescente esse mês ao arquivo (uma linha começando "
         "pela data, como 01/06/1998, no seu lugar entre os outros meses; com Data e Salário "
         "Mínimo separados por TAB, como a de 01/05/1998: 01/05/1998; 130,00)"},
    };
    for (const auto& [file, from, only, message] : cases) {
        ShipTables();
        Write(file, cut(file, from, !only.empty()));
        Dialogs().Clear();
        Start(false);
        ASSERT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
        RunCase();
        EXPECT_THAT(Dialogs().Messages(), ElementsAre(Refused(message))) << file;
        EXPECT_NE(Form12->PageControl1->PageIndex(), 6);
        Application->DestroyForms();
    }
}

// A table cut in the middle of its last line once read a ceiling of 8,00; a
// table without its titles line lost its first month.
TEST_F(DamagedData, ACutTableOrOneWithoutItsTitlesIsNamedAtStartUp) {
    const std::string inpc = "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab";
    struct Damage {
        std::string file, text, why;
    };
    ShipTables();
    std::string inss = Read("inss.tab");
    inss.erase(inss.find("\n01/2026\t") + 10);
    std::string noTitles = Read(inpc);
    noTitles.erase(0, noTitles.find('\n') + 1);
    const Damage damages[] = {
        {"inss.tab", inss, "a última linha não termina com fim de linha: o arquivo foi cortado"},
        {inpc, noTitles, "'01/1977' é uma linha de dados: a primeira linha deve ser a dos títulos "
                         "das colunas"},
    };
    for (const Damage& d : damages) {
        ShipTables();
        Write(d.file, d.text);
        Dialogs().Clear();
        Start(false);
        ASSERT_EQ(Dialogs().Messages().size(), 1u) << d.file;
        EXPECT_NE(Dialogs().Messages()[0].find("A tabela " + d.file + " está danificada (linha "),
                  std::string::npos);
        EXPECT_NE(Dialogs().Messages()[0].find(d.why), std::string::npos) << Dialogs().Messages()[0];
        Application->DestroyForms();
    }
}

// Blank lines after the last row (as an editor leaves them) once stopped
// every calculation: they are no rows, and the case computes as shipped.
TEST_F(DamagedData, BlankLinesAtTheEndOfATableChangeNothing) {
    Start();
    RunCase();
    ASSERT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
    const std::string shipped = Planilha();
    Application->DestroyForms();
    for (const char* tail : {"\r\n", "\r\n\t\t\r\n\n", "\n\r"}) {
        ShipTables();
        for (const char* file : {"ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab",
                                 "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi.tab",
                                 "crmensalrev3.tab"})
            Write(file, Read(file) + tail);
        Dialogs().Clear();
        Start(false);
        RunCase();
        EXPECT_TRUE(Dialogs().Messages().empty()) << Dialogs().Messages()[0];
        EXPECT_EQ(Planilha(), shipped);
        Application->DestroyForms();
    }
}

// Damaged copies of shipped tables whose cells still read as numbers once
// gave wrong totals without a word: the start-up names each, and the
// calculation stops on it, as on a table edited after the start-up.
TEST_F(DamagedData, DamageThatReadsAsNumbersIsNamedAndStopsTheCalculation) {
    // Column 2 of a month's row, as a typing slip would leave it.
    const std::array<std::string, 3> damages[] = {
        {"crmensalrev3.tab", "01/2021", "1.0545"},
        {"ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab", "06/2015", "0"},
    };
    for (const auto& [file, month, value] : damages) {
        ShipTables();
        std::string text = Read(file);
        const size_t at = text.find("\n" + month + "\t") + month.size() + 2;
        text.replace(at, text.find('\t', at) - at, value);
        Write(file, text);
        Dialogs().Clear();
        Start(false);
        ASSERT_EQ(Dialogs().Messages().size(), 1u) << file;
        EXPECT_EQ(Dialogs().Messages()[0].rfind("A tabela " + file + " está danificada (linha ", 0), 0u);
        Dialogs().Clear();
        RunCase();
        ASSERT_EQ(Dialogs().Messages().size(), 1u) << file;
        EXPECT_NE(Dialogs().Messages()[0].find("\n- " + file + " está danificada (linha "),
                  std::string::npos)
            << Dialogs().Messages()[0];
        EXPECT_NE(Form12->PageControl1->PageIndex(), 6);
        Application->DestroyForms();
    }

    ShipTables();
    Dialogs().Clear();
    Start(false);
    TCellMatrix& salmin = Form8->GridSalmin->Matrix();
    int row = 1;
    while (salmin.Cell(0, row) != "01/06/1998") ++row;
    salmin.SetCell(1, row, "0");
    RunCase();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(Refused("salmin.tab tem um valor que não pode ser usado (linha " +
                                    std::to_string(row + 1) +
                                    ": '0' na coluna 2 não pode ser zero nem negativo): corrija "
                                    "esse valor")));
}

TEST_F(DamagedData, SettingsOutsideTheirRangeKeepTheirDefaults) {
    ShipTables();
    Write("font.ini", "Courier New\r\n99999999999\r\n2147483647\r\n-100\r\n3\r\nabc\r\n");
    Write("prop.ini", "99/99/9999\r\n");
    Start(false);
    EXPECT_THAT(
        Dialogs().Messages(),
        ElementsAre("O arquivo font.ini tem valores que não podem ser usados; foram mantidos os "
                    "valores padrão:\n"
                    "linha 2 (tamanho da fonte): '99999999999' não é um tamanho de 6 a 72\n"
                    "linha 3 (margem esquerda): '2147483647' não é um número de 0 a 10\n"
                    "linha 4 (margem direita): '-100' não é um número de 0 a 10\n"
                    "linha 6 (margem superior): 'abc' não é um número de 0 a 10",
                    "O arquivo prop.ini, linha 1 (início da correção proporcional): "
                    "'99/99/9999' não é uma data (dd/mm/aaaa). Foi mantida a data 01/05/1996."));
    EXPECT_EQ(Form1->Cnomefont->Text(), "Courier New");
    EXPECT_EQ(Form1->Cfont->Text(), "8");
    EXPECT_EQ(Form1->Cleft->Text(), "2");
    EXPECT_EQ(Form1->Crigth->Text(), "2");
    EXPECT_EQ(Form1->Cbotton->Text(), "3");
    EXPECT_EQ(Form1->Ctop->Text(), "2");
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginBottom, 3.0L);
    EXPECT_EQ(Fprop->DateEdit1->Text(), "01/05/1996");
    // Nothing was rewritten.
    EXPECT_EQ(Read("font.ini"), "Courier New\r\n99999999999\r\n2147483647\r\n-100\r\n3\r\nabc\r\n");
    EXPECT_EQ(Read("prop.ini"), "99/99/9999\r\n");
}

TEST_F(DamagedData, SettingsFilesBeyondAnySizeAreNotRead) {
    ShipTables();
    // A settings file of 200 MB takes no memory and no time: its size alone
    // refuses it (the file is sparse).
    Write("font.ini", "Times New Roman\r\n");
    std::filesystem::resize_file(dir / "font.ini", 200u << 20);
    Start(false);
    ASSERT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_EQ(Dialogs().Messages()[0].rfind("O arquivo font.ini não foi lido: o arquivo é grande "
                                            "demais (200 MB; o limite é 1 MB)",
                                            0),
              0u)
        << Dialogs().Messages()[0];
    EXPECT_EQ(Form1->Cnomefont->Text(), "Arial");
    EXPECT_TRUE(Form1->BtnRevisaoNovo->Enabled());
}

TEST_F(DamagedData, AHelpTextBeyondAnySizeLeavesTheHelpWindowEmpty) {
    ShipTables();
    Write("ajuda1.rtf", "{\\rtf1 ");
    std::filesystem::resize_file(dir / "ajuda1.rtf", 200u << 20);
    Start(false);
    Event([] { Form12->Button21->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O texto de ajuda ajuda1.rtf não foi lido: o arquivo é grande demais "
                            "(200 MB; o limite é 4 MB) e deve estar danificado."));
    EXPECT_TRUE(Form7->Visible());
    EXPECT_EQ(Form7->RE->Lines.Count(), 0);
}

} // namespace

// The report font and print margins: font.ini at start-up and the settings
// boxes never let a value through that would restyle the report or leave
// no page to print on.
#include <gmock/gmock.h>

#include "app_env.h"
#include "controls/date_edit.h"
#include "revision/prop_form.h"
#include "revision/report_font.h"
#include "revision/wizard_links.h"

using ::testing::ElementsAre;
using velorim_test::Dialogs;

namespace {

class Settings : public velorim_test::ProgramTest {};

TEST_F(Settings, StartUpRefusesStyleInTheFontNameAndMarginsThatLeaveNoPage) {
    Write("font.ini", "Arial;font-size:1px;color:white\r\n10\r\n10\r\n10\r\n-0,5\r\n2\r\n");
    Start();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O arquivo font.ini tem valores que não podem ser usados; foram "
                            "mantidos os valores padrão:\n"
                            "linha 1 (fonte do relatório): 'Arial;font-size:1px;color:white' não "
                            "é um nome de fonte\n"
                            "linha 5 (margem inferior): '-0,5' não é um número de 0 a 10\n"
                            "linhas 3 e 4 (margem esquerda e margem direita): juntas somam 20 cm "
                            "e deixam menos de 5 cm para imprimir numa folha de 21 cm"));
    EXPECT_EQ(Form1->Cnomefont->Text(), "Arial");
    EXPECT_EQ(Form1->Cfont->Text(), "10");
    EXPECT_EQ(Form1->Cleft->Text(), "2");
    EXPECT_EQ(Form1->Crigth->Text(), "2");
    EXPECT_EQ(Form1->Cbotton->Text(), "2");
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginLeft, 2.0L);
    EXPECT_EQ(wizard_links::ReportFontName(), "Arial");
    // The first visit to the boxes writes the values in effect over the
    // damaged file, so the next start says nothing.
    Event([] { Form1->CfontClick(Form1->Cfont); });
    EXPECT_EQ(Read("font.ini"), "Arial\r\n10\r\n2\r\n2\r\n2\r\n2\r\n");
}

TEST_F(Settings, BoxesNeverSaveWhatCannotBeUsed) {
    Write("font.ini", "Courier New\r\n10\r\n8\r\n8\r\n2\r\n2\r\n");
    Start();
    Event([] {
        Form1->Cnomefont->SetText("Arial;letter-spacing:99999999999px");
        Form1->CnomefontExit(Form1->Cnomefont);
        Form1->Cfont->SetText("8;color:white");
        Form1->CfontExit(Form1->Cfont);
        Form1->Cleft->SetText("9");
        Form1->CleftExit(Form1->Cleft);
    });
    EXPECT_THAT(
        Dialogs().Messages(),
        ElementsAre("Configuração não aceita; foram mantidos os valores anteriores:\n"
                    "fonte do relatório: 'Arial;letter-spacing:99999999999px' não é um nome de "
                    "fonte",
                    "Configuração não aceita; foram mantidos os valores anteriores:\n"
                    "tamanho da fonte: '8;color:white' não é um tamanho de 6 a 72",
                    "Configuração não aceita; foram mantidos os valores anteriores:\n"
                    "margem esquerda e margem direita: juntas somam 17 cm e deixam menos de 5 cm "
                    "para imprimir numa folha de 21 cm"));
    EXPECT_EQ(Read("font.ini"), "Courier New\r\n10\r\n8\r\n8\r\n2\r\n2\r\n");
    EXPECT_EQ(Form1->Cnomefont->Text(), "Courier New");
    EXPECT_EQ(wizard_links::ReportFontName(), "Courier New");
    EXPECT_EQ(wizard_links::ReportFontSize(), "10");
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginLeft, 8.0L);
}

TEST_F(Settings, OnlyAChangeIsWrittenAndAFailedWriteIsToldOnce) {
    Write("font.ini", "Courier New\r\n10\r\n2\r\n2\r\n2\r\n2\r\n");
    Start();
    // Written meanwhile by another hand: clicks and exits that change nothing,
    // and a change refused, leave it as it is.
    Write("font.ini", "Arial\r\n12\r\n2\r\n2\r\n2\r\n4\r\n");
    Event([] {
        Form1->CfontClick(Form1->Cfont);
        Form1->CfontExit(Form1->Cfont);
        Form1->Cleft->SetText("15");
        Form1->CleftExit(Form1->Cleft);
    });
    EXPECT_EQ(Read("font.ini"), "Arial\r\n12\r\n2\r\n2\r\n2\r\n4\r\n");
    EXPECT_EQ(Dialogs().Messages().size(), 1u);

    // A file that cannot be written: the change holds for this run, said once.
    std::filesystem::remove(dir / "font.ini");
    std::filesystem::create_directory(dir / "font.ini");
    Event([] {
        Form1->Cbotton->SetText("3");
        Form1->CbottonClick(Form1->Cbotton);
        Form1->CbottonExit(Form1->Cbotton);
    });
    ASSERT_EQ(Dialogs().Messages().size(), 2u);
    EXPECT_NE(Dialogs().Messages()[1].find("font.ini"), std::string::npos);
    EXPECT_NE(Dialogs().Messages()[1].find("A configuração vale até o programa ser fechado."), std::string::npos);
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginBottom, 3.0L);
}

// Settings files an editor saved in UTF-8 read as the program's text; what
// cannot be used is told naming the file: a letter Windows-1252 lacks, a
// control character (shown, not hidden), a folder at the file's name.
TEST_F(Settings, StartUpTakesUtf8SettingsAndTellsWhatItCannotUse) {
    auto restart = [this] {
        Application->DestroyForms();
        Dialogs().Clear();
        Start();
    };
    Write("font.ini", "\xEF\xBB\xBF" "Courier New\r\n12\r\n2\r\n2\r\n2\r\n3");
    Write("prop.ini", "\xEF\xBB\xBF" "01/06/1997\r\n");
    Start();
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    EXPECT_EQ(Form1->Cnomefont->Text(), "Courier New");
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginTop, 3.0L);
    EXPECT_EQ(Fprop->DateEdit1->Text(), "01/06/1997");

    Write("font.ini", "Courier New\r\n12\r\n2\r\n2\r\nMa\xC5\x82gorzata\r\n");
    Write("prop.ini", std::string("01/06/19\0" "97\r\n", 13));
    restart();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O arquivo font.ini não foi lido: linha 5: o arquivo está em UTF-8 e tem caracteres "
                            "que o programa não consegue usar (use só letras do alfabeto latino, com ou sem "
                            "acento, algarismos e sinais comuns). Foram mantidas as configurações padrão.",
                            "O arquivo prop.ini, linha 1 (início da correção proporcional): '01/06/19[código 0]97' "
                            "não é uma data (dd/mm/aaaa). Foi mantida a data 01/05/1996."));

    Write("font.ini", std::string("Ari\0al\r\n", 8));
    std::filesystem::remove(dir / "prop.ini");
    std::filesystem::create_directory(dir / "prop.ini");
    restart();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O arquivo font.ini tem valores que não podem ser usados; foram mantidos os valores "
                            "padrão:\nlinha 1 (fonte do relatório): 'Ari[código 0]al' não é um nome de fonte",
                            "O arquivo prop.ini não foi lido: é uma pasta, não um arquivo. Foi mantida a data "
                            "01/05/1996."));
    std::filesystem::remove(dir / "font.ini");
    std::filesystem::create_directory(dir / "font.ini");
    restart();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O arquivo font.ini não foi lido: é uma pasta, não um arquivo. Foram mantidas as "
                            "configurações padrão.",
                            "O arquivo prop.ini não foi lido: é uma pasta, não um arquivo. Foi mantida a data "
                            "01/05/1996."));
}

TEST(ReportFont, OnlyASizeAndAPlainNameReachTheStyle) {
    EXPECT_EQ(report_font::Span("10", "Liberation Sans Narrow"),
              "<span style=\"font-size:10.0pt;font-family:Liberation Sans Narrow\">");
    EXPECT_EQ(report_font::Span("0x0A", "Arial;color:white"),
              "<span style=\"font-size:8.0pt;font-family:Arial\">");
}

} // namespace

// The main window: start-up load of the settings, the settings boxes and
// font.ini, saving a calculation, the web pages and the unused helpers.
#include <gmock/gmock.h>

#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <unistd.h>

#include "app/about_box.h"
#include "app_env.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/string_list.h"
#include "revision/arrears_wizard.h"
#include "revision/prop_form.h"
#include "revision/wizard_state_file.h"
#include "tables/own_index_form.h"
#include "tables/tables_form.h"
#include "grids/align_grid.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using velorim_test::Dialogs;

namespace {

class MainWindow : public velorim_test::ProgramTest {
protected:
    std::vector<std::string> FontIni() {
        TStringList lines;
        lines.LoadFromFile((dir / "font.ini").string());
        return lines.Items();
    }
    std::vector<long double> Margins() {
        THTMLViewer* v = Form1->HTMLViewer1;
        return {v->PrintMarginLeft, v->PrintMarginRight, v->PrintMarginBottom, v->PrintMarginTop};
    }
    // A short "Já possuo" case of the named client, calculated and finished
    // ("Finalizar" writes atualrev.back).
    void FinishCase(const std::string& name) {
        TForm12& w = *Form12;
        w.Enome->SetText(name);
        w.Dataini->SetText("01/01/2001");
        w.Datafim->SetText("01/06/2001");
        w.DatePrescricao->SetText("01/01/2001");
        w.Vautor->SetText("100,00");
        w.Vinss->SetText("150,00");
        Event([&] {
            w.BTNcorrigirClick(nullptr);
            w.gravax();
        });
    }
};

TEST_F(MainWindow, FirstStartInAnEmptyDirectoryKeepsTheDefaultsAndEnablesTheToolbar) {
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    Start(false);
    EXPECT_EQ(Form1->Caption(), "Velorim - Revisão de Benefício Free");
    EXPECT_EQ(Application->Title(), "Velorim");
    EXPECT_EQ(Form1->DataDir, dir.string());
    EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
    EXPECT_EQ(FormatSettings.ThousandSeparator, '.');
    EXPECT_EQ(FormatSettings.ShortDateFormat, "dd/mm/yyyy");
    EXPECT_EQ(Form1->Cnomefont->Text(), "Arial");
    EXPECT_EQ(Form1->Cfont->Text(), "8");
    for (TComboBox* b : {Form1->Cleft, Form1->Crigth, Form1->Cbotton, Form1->Ctop}) EXPECT_EQ(b->Text(), "2");
    EXPECT_THAT(Margins(), ElementsAre(2, 2, 2, 2));
    for (TControl* b : {(TControl*)Form1->BtnRevisaoNovo, (TControl*)Form1->SpeedButton20,
                        (TControl*)Form1->SpeedButton17, (TControl*)Form1->SpeedButton18,
                        (TControl*)Form1->SpeedButton19})
        EXPECT_TRUE(b->Enabled()) << b->Name();
    EXPECT_EQ(Form1->PageControl1->PageIndex(), 0);
    for (TStringAlignGrid* g : {Form8->GridSalmin, Form8->gridiinss, Form15->GridMI})
        EXPECT_EQ(g->Cells(0, 1), "") << g->Name() << " stays empty";
    // The tables the calculations need are named, once.
    ASSERT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_THAT(Dialogs().Messages()[0], HasSubstr("- A tabela salmin.tab não foi encontrada na pasta de dados.\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "font.ini")) << "nothing is written at start-up";
}

// As the program starts: the main window is painted before the other forms
// are made and the tables read; until then the commands that need them wait
// disabled, and "Sobre" (a form of its own) too.
TEST_F(MainWindow, TheMainWindowIsPaintedFirstAndTheRestFollows) {
    ShipTables();
    CreateMainFormFirst();
    Application->Dispatch(Form1, [] { Form1->Show(); });
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_FALSE(Form1->BtnRevisaoNovo->Enabled());
    EXPECT_FALSE(Form1->Sobre2->Enabled());
    for (int i = 0; i < 200 && Screen->FormCount() == 1; ++i) {
        Application->ProcessMessages();
        QThread::msleep(10);
    }
    Application->ProcessMessages();
    EXPECT_EQ(Screen->FormCount(), 18);
    EXPECT_TRUE(Form1->BtnRevisaoNovo->Enabled());
    EXPECT_TRUE(Form1->Sobre2->Enabled());
    EXPECT_EQ(Form8->GridSalmin->Cells(0, 1), "01/07/1940") << "the tables were read";
    EXPECT_TRUE(Dialogs().Messages().empty());
}

// The window system gets each form's caption exactly: no application name is
// appended (Qt appends its display name, when one is set, on X11 and Wayland).
TEST_F(MainWindow, WindowsCarryTheirOwnCaptionsOnly) {
    Start();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QWindow* main = Form1->Widget()->windowHandle();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->title().toStdString(), Cp1252ToUtf8("Velorim - Revisão de Benefício Free"));
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        EXPECT_EQ(f->Widget()->windowTitle().toStdString(), Cp1252ToUtf8(f->Caption())) << f->Name();
    }
}

TEST_F(MainWindow, SettingsBoxesRewriteFontIniAndApplyWholeCentimetres) {
    Start();
    Event([] {
        Form1->Cleft->SetText("3");
        Form1->CleftExit(Form1->Cleft);
    });
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginLeft, 3.0L);
    Event([] {
        Form1->Crigth->SetText("2,9");
        Form1->CrigthClick(Form1->Crigth);
        Form1->Cbotton->SetText("4");
        Form1->Ctop->SetText("1");
        Form1->Cfont->SetText("10");
        Form1->CtopExit(Form1->Ctop);
    });
    EXPECT_THAT(Margins(), ElementsAre(3, 2, 4, 1));
    // Face, size, left, right, bottom, top.
    EXPECT_THAT(FontIni(), ElementsAre("Arial", "10", "3", "2,9", "4", "1"));
    EXPECT_EQ(Read("font.ini"), "Arial\r\n10\r\n3\r\n2,9\r\n4\r\n1\r\n");

    // Text that is no number is reported and never saved: the box gets back
    // the margin in effect.
    Event([] {
        Form1->Cbotton->SetText("x");
        Form1->CbottonExit(Form1->Cbotton);
    });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("Configuração não aceita; foram mantidos os valores anteriores:\n"
                            "margem inferior: 'x' não é um número de 0 a 10"));
    EXPECT_THAT(FontIni(), ElementsAre("Arial", "10", "3", "2,9", "4", "1"));
    EXPECT_EQ(Form1->Cbotton->Text(), "4");
    EXPECT_EQ(Form1->HTMLViewer1->PrintMarginLeft, 3.0L);
}

TEST_F(MainWindow, StartUpReadsFontIniLineByLineAndPropIni) {
    Write("font.ini", "Courier New\r\n10\r\n1\r\n3\r\n4\r\n2\r\n");
    Write("prop.ini", "01/06/1997\r\n");
    Start();
    EXPECT_EQ(Form1->Cnomefont->Text(), "Courier New");
    EXPECT_EQ(Form1->Cfont->Text(), "10");
    EXPECT_EQ(Form1->Cleft->Text(), "1");
    EXPECT_EQ(Form1->Crigth->Text(), "3");
    EXPECT_EQ(Form1->Cbotton->Text(), "4");
    EXPECT_EQ(Form1->Ctop->Text(), "2");
    EXPECT_THAT(Margins(), ElementsAre(1, 3, 4, 2));
    EXPECT_EQ(Fprop->DateEdit1->Text(), "01/06/1997");
    EXPECT_EQ(Fprop->Memo1->Lines.Count(), 1);
    EXPECT_TRUE(Dialogs().Messages().empty());
}

TEST_F(MainWindow, ShortOrDamagedSettingsFilesKeepDefaultsAndTheLoadGoesOn) {
    // Two lines: face and size read, margins keep their defaults.
    Write("font.ini", "Times New Roman\r\n12\r\n");
    Write("prop.ini", "");
    Start();
    EXPECT_EQ(Form1->Cnomefont->Text(), "Times New Roman");
    EXPECT_EQ(Form1->Cfont->Text(), "12");
    EXPECT_EQ(Form1->Cleft->Text(), "2");
    EXPECT_THAT(Margins(), ElementsAre(2, 2, 2, 2));
    EXPECT_EQ(Fprop->DateEdit1->Text(), "01/05/1996") << "an empty prop.ini keeps the default";
    EXPECT_TRUE(Dialogs().Messages().empty());
    Application->DestroyForms();

    // A margin that is no number: it is named and keeps its default,
    // prop.ini is still read and the toolbar comes back.
    Write("font.ini", "Arial\r\n8\r\n2\r\nabc\r\n2\r\n2\r\n");
    Write("prop.ini", "01/01/2000\r\n");
    Start();
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("O arquivo font.ini tem valores que não podem ser usados; foram "
                            "mantidos os valores padrão:\nlinha 4 (margem direita): 'abc' não é "
                            "um número de 0 a 10"));
    EXPECT_EQ(Form1->Crigth->Text(), "2");
    EXPECT_EQ(Fprop->DateEdit1->Text(), "01/01/2000");
    EXPECT_TRUE(Form1->BtnRevisaoNovo->Enabled());
    EXPECT_TRUE(Form1->SpeedButton19->Enabled());
}

TEST_F(MainWindow, SalvarCopiesTheLastStateFileOrSaysWhyNot) {
    Start();
    const std::string target = (dir / "caso.bev").string();
    Dialogs().Answer(target);
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("Erro ao copiar " + dir.string() + "/atualrev.back para " + target +
                            " (" + dir.string() + "/atualrev.back: o arquivo não existe)"));
    EXPECT_FALSE(std::filesystem::exists(target));

    Dialogs().Clear();
    Write("atualrev.back", "Fulano\r\n123\r\n");
    Write("caso.bev", "antigo\r\n");
    Dialogs().Answer(target);
    Dialogs().Answer("Yes");  // replace the existing copy
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_EQ(Read("caso.bev"), "Fulano\r\n123\r\n");
    ASSERT_FALSE(Dialogs().Records().empty());
    EXPECT_EQ(Dialogs().Records()[0].Kind, TDialogKind::SaveFile);
    EXPECT_EQ(Dialogs().Records()[0].Text, "Bev|*.bev");

    // A cancelled dialog copies nothing and says nothing.
    Dialogs().Clear();
    std::filesystem::remove(dir / "caso.bev");
    Dialogs().Answer("Cancel");
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(Dialogs().Messages().empty());
}

// Folder and file names with accents are the system's UTF-8 names: a case
// saved there is listed by its name and opens again, byte for byte.
TEST_F(MainWindow, ACaseSavedInAFolderNamedWithAccentsOpensAgain) {
    Start();
    TForm12& w = *Form12;
    w.Enumero->SetText("42");
    FinishCase("Maria Antônia Gonçalves");
    std::filesystem::create_directories(dir / u8"casos/Conceição");
    const std::string caso = dir.string() + "/casos/Conceição/Maria Antônia.bev";
    Dialogs().Answer(caso);
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    std::ifstream saved(dir / u8"casos/Conceição/Maria Antônia.bev", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), Read("atualrev.back"));

    Event([] { Form1->BtnRevisaoNovo->UserClick(); });
    ASSERT_EQ(w.Enome->Text(), "");
    Dialogs().Answer(caso);
    Event([] { Form1->SpeedButton18->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    EXPECT_EQ(w.Enome->Text(), "Maria Antônia Gonçalves");
    EXPECT_EQ(w.Dataini->Text(), "01/01/2001");
}

// "Salvar" copies the last finished calculation. When the wizard holds
// another case (opened, or changed and not finished) the user is asked
// before a client's file is replaced by another client's case.
TEST_F(MainWindow, SalvarAsksWhenTheWizardHoldsACaseNotFinished) {
    Start();
    TForm12& w = *Form12;
    Event([] { Form1->BtnRevisaoNovo->UserClick(); });
    FinishCase("Ana");
    const std::string ana = (dir / "ana.bev").string(), celia = (dir / "celia.bev").string();
    // Saved as finished, and reopened as it was saved: neither asks anything.
    Dialogs().Answer(ana);
    Event([] { Form1->SpeedButton19->UserClick(); });
    Dialogs().Answer(ana);
    Event([] { Form1->SpeedButton18->UserClick(); });
    Dialogs().Answer(celia);
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    EXPECT_EQ(Read("celia.bev"), Read("ana.bev"));

    std::filesystem::remove(dir / "celia.bev");
    w.Enome->SetText("Célia");
    Dialogs().Answer("No");
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("\"Salvar\" grava o último cálculo finalizado (Ana), não o caso que está no "
                            "assistente, que ainda não foi finalizado. Para gravar o caso do assistente, use "
                            "antes \"Finalizar\".\nDeseja gravar o último cálculo finalizado assim mesmo?"));
    EXPECT_FALSE(std::filesystem::exists(dir / "celia.bev"));
    Dialogs().Answer("Yes");
    Dialogs().Answer(celia);
    Event([] { Form1->SpeedButton19->UserClick(); });
    EXPECT_EQ(Read("celia.bev"), Read("ana.bev"));
}

// The data directory is named as the program's text and its tables read; a
// folder the program cannot name is refused before anything is read there.
TEST_F(MainWindow, TheDataFolderMayBeNamedWithAccentsButNotInChinese) {
    EnterFolder(u8"Conceição");
    Start();
    EXPECT_EQ(Form1->DataDir, root.string() + "/Conceição");
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    EXPECT_NE(Form8->GridSalmin->Cells(0, 1), "");
    EXPECT_TRUE(DataDirUsable());

    EnterFolder(u8"中文");
    EXPECT_FALSE(DataDirUsable());
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre("Não foi possível usar a pasta de dados \"" + root.string() +
                            "/??\": o nome tem caracteres que o programa não consegue usar (use só letras do "
                            "alfabeto latino, com ou sem acento, algarismos e sinais comuns).\n"
                            "Inicie o programa em outra pasta."));
}

// One copy per data folder, whatever stands under the name of the lock
// file of earlier versions (a folder or a link there let a second copy in).
TEST_F(MainWindow, ASecondCopyInTheDataFolderIsRefused) {
    std::filesystem::create_directory(dir / ".velorim.lock");
    EXPECT_TRUE(DataDirToItself());
    EXPECT_FALSE(DataDirToItself());
    EnterFolder("outra");
    std::filesystem::create_symlink("/nenhum/lugar", dir / ".velorim.lock");
    EXPECT_TRUE(DataDirToItself());
    EXPECT_FALSE(DataDirToItself());
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(HasSubstr("O Velorim já está aberto na pasta de dados \"" + root.string() + "\"."),
                            HasSubstr("O Velorim já está aberto na pasta de dados \"" + root.string() + "/outra\".")));
}

TEST_F(MainWindow, NovoClearsTheWizardAndSetsItsDefaults) {
    Start();
    TForm12& w = *Form12;
    w.Enome->SetText("Fulano");
    w.Enumero->SetText("123");
    w.Vautor->SetValue(1500);
    w.Dataini->SetText("01/01/2000");
    w.DateEdit2->SetText("01/01/1999");
    w.divisor->SetValue(24);
    w.coef->SetValue(0.9L);
    w.rmi01->SetValue(700);
    w.Check13->SetChecked(true);
    w.Csmt->SetChecked(false);
    w.Catual24->SetChecked(true);
    w.PageControl1->SetPageIndex(5);
    TStringAlignGrid& sdem = *w.Sdem;
    sdem.SetRowCount(4);
    for (int r = 1; r < 4; ++r) sdem.SetCells(0, r, "0" + std::to_string(r) + "/1990");
    // What else a case holds: its typed salaries, its road, its spreadsheet.
    w.Sdig->SetRowCount(3);
    w.Sdig->SetCells(0, 1, "06/1987");
    w.Sdig->SetCells(1, 1, "480.186,65");
    w.C8213->SetChecked(true);
    w.Cjuros->SetChecked(true);
    w.umtrinta->SetValue(20);
    w.planilha->SetRowCount(5);
    w.planilha->SetCells(1, 3, "1.000,00");
    w.ComboBox1->SetText(w.ComboBox1->Items[1]);
    Dialogs().Answer("Yes");  // discard the case typed
    Event([] { Form1->BtnRevisaoNovo->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(), ElementsAre("Descartar o cálculo em andamento?"));
    EXPECT_EQ(sdem.RowCount(), 2);
    EXPECT_EQ(sdem.Cells(0, 1), "") << "nothing of the last case stays";
    sdem.SetRowCount(4);
    EXPECT_EQ(sdem.Cells(0, 2), "") << "the rows below were emptied";
    EXPECT_EQ(w.Sdig->RowCount(), 2);
    EXPECT_EQ(w.Sdig->Cells(1, 1), "");
    EXPECT_TRUE(w.caplicar->Checked());
    EXPECT_FALSE(w.C8213->Checked());
    EXPECT_FALSE(w.Cjuros->Checked());
    EXPECT_EQ(w.umtrinta->Text(), "");
    EXPECT_EQ(w.planilha->RowCount(), 2);
    EXPECT_EQ(w.planilha->Cells(1, 1), "");
    EXPECT_EQ(w.ComboBox1->Text(), w.ComboBox1->Items[0]);
    EXPECT_EQ(w.Enome->Text(), "");
    EXPECT_EQ(w.Enumero->Text(), "");
    EXPECT_EQ(w.Vautor->Text(), "");
    EXPECT_EQ(w.Dataini->Text(), "  /  /    ");
    EXPECT_EQ(w.DateEdit2->Text(), "  /  /    ");
    EXPECT_EQ(w.rmi01->Value(), 0);
    EXPECT_EQ(w.divisor->Value(), 36);
    EXPECT_EQ(w.coef->Value(), 1);
    EXPECT_FALSE(w.Check13->Checked());
    EXPECT_TRUE(w.Csmt->Checked());
    EXPECT_FALSE(w.Catual24->Checked());
    EXPECT_EQ(w.PageControl1->PageIndex(), 0);
    EXPECT_TRUE(w.Visible());
}

// Sair, Novo, Abrir and "A. Backup" ask before input typed since the case
// was started, opened or finished goes; "Não", the default, keeps it.
TEST_F(MainWindow, TypedWorkIsNotDiscardedWithoutAsking) {
    Start();
    TForm12& w = *Form12;
    EXPECT_TRUE(Form1->CloseQuery()) << "a wizard never used holds nothing";
    Event([] { Form1->BtnRevisaoNovo->UserClick(); });
    EXPECT_TRUE(Form1->CloseQuery());
    w.Sdig->SetCells(1, 1, "480.186,65");
    Event([] { Form1->BtnRevisaoNovo->UserClick(); });
    Write("atualrev.back", "Fulano\r\n");
    Event([] { Form1->SpeedButton17->UserClick(); });
    Event([] { Form1->SpeedButton18->UserClick(); });
    EXPECT_FALSE(Form1->CloseQuery());
    const std::vector<TDialogRecord>& asked = Dialogs().Records();
    ASSERT_EQ(asked.size(), 4u) << "no open dialog after a \"Não\"";
    for (const TDialogRecord& r : asked) {
        EXPECT_EQ(r.Text, "Descartar o cálculo em andamento?");
        EXPECT_THAT(r.Buttons, ElementsAre(mrYes, mrNo));
        EXPECT_EQ(r.Answer, "No");
    }
    EXPECT_EQ(w.Sdig->Cells(1, 1), "480.186,65");

    // Finished, then opened: nothing to ask until something changes.
    Dialogs().Clear();
    FinishCase("Ana");
    EXPECT_TRUE(Form1->CloseQuery());
    Event([] { Form1->SpeedButton17->UserClick(); });
    EXPECT_EQ(w.Enome->Text(), "Ana");
    w.Enumero->SetText("42");
    std::filesystem::remove(dir / "atualrev.back");
    w.Enumero->SetText("");
    EXPECT_TRUE(Form1->CloseQuery());
    EXPECT_THAT(Dialogs().Messages(), ElementsAre());
    w.Enome->SetText("Célia");
    Dialogs().Answer("Yes");
    EXPECT_TRUE(Form1->CloseQuery());
    EXPECT_THAT(Dialogs().Messages(), ElementsAre("Descartar o cálculo em andamento?"));
}

TEST_F(MainWindow, BackupWithoutAStateFileDoesNothing) {
    Start();
    Event([] { Form1->SpeedButton17->UserClick(); });
    EXPECT_FALSE(Form12->Visible());
    Dialogs().Answer("Cancel");
    Event([] { Form1->SpeedButton18->UserClick(); });
    EXPECT_FALSE(Form12->Visible());
    EXPECT_TRUE(Dialogs().Messages().empty());
}

TEST_F(MainWindow, AStateFileTheCalculationRefusesLeavesTheWizardHidden) {
    // A new case with a name and a number but no start date: the
    // calculation step stops, and the wizard is as it was.
    Start();
    std::vector<std::string> lines = wizard_state::StateLines(*Form12);
    lines[0] = "Fulano";
    lines[1] = "123";
    std::string file;
    for (const std::string& line : lines) file += line + "\r\n";
    Write("atualrev.back", file);
    Event([] { Form1->SpeedButton17->UserClick(); });
    EXPECT_THAT(Dialogs().Messages(), ElementsAre("é necessário digitar a Data Inicial"));
    EXPECT_EQ(Form12->Enome->Text(), "");
    EXPECT_FALSE(Form12->Visible());
    EXPECT_TRUE(Form1->SpeedButton17->Enabled()) << "the toolbar stays usable";
}

// A page the browser does not show, at once or once the desktop's opener
// has ended (a browser refuses to start for root), is told with its file.
TEST_F(MainWindow, WebPagesOpenFromTheDataDirectoryInTheBrowser) {
    std::vector<std::string> opened;
    bool works = true;
    TFailedLater later;
    SetDesktopOpener([&](const std::string& target, const std::string&, TFailedLater failed) {
        opened.push_back(target);
        later = std::move(failed);
        return works;
    });
    Write("velorimrev.htm", "<html></html>");
    Write("ajudaqvr_free.htm", "<html></html>");
    Start();
    Event([] { Form1->SiteBravenaSoftware1->Click(); });
    Event([] { Form1->AjudanositedaBravenaSoftware1->Click(); });
    EXPECT_THAT(opened, ElementsAre(dir.string() + "/velorimrev.htm", dir.string() + "/ajudaqvr_free.htm"));
    EXPECT_TRUE(Dialogs().Messages().empty());
    ASSERT_TRUE(later);
    Event(later);

    works = false;
    Event([] { Form1->SiteBravenaSoftware1->Click(); });
    std::filesystem::remove(dir / "ajudaqvr_free.htm");
    Event([] { Form1->AjudanositedaBravenaSoftware1->Click(); });
    EXPECT_EQ(opened.size(), 3u) << "a missing page is not handed to the browser";
    auto notShown = [&](const std::string& page) {
        return "Não foi possível abrir a página no navegador.\nPara vê-la, abra no navegador o arquivo \"" +
               dir.string() + "/" + page + "\".";
    };
    EXPECT_THAT(Dialogs().Messages(),
                ElementsAre(notShown("ajudaqvr_free.htm"), notShown("velorimrev.htm"),
                            "Página não encontrada: " + dir.string() + "/ajudaqvr_free.htm"));
}

// A program started for the user runs on its own; its failure, when it
// ends, reaches the window's thread.
TEST_F(MainWindow, AProgramStartedThatFailsIsToldWhenItEnds) {
    EXPECT_FALSE(StartProgram("/nenhum/programa", {}, [] {}));
    int failures = 0;
    ASSERT_TRUE(StartProgram("sh", {"-c", "exit 0"}, [&] { ++failures; }));
    ASSERT_TRUE(StartProgram("sh", {"-c", "sleep 0.2; exit 3"}, [&] { ++failures; }));
    for (int i = 0; i < 1000 && failures == 0; ++i) {
        Application->ProcessMessages();
        usleep(10000);
    }
    EXPECT_EQ(failures, 1);
}

TEST_F(MainWindow, AboutBoxAndHiddenHelpItem) {
    Write("ajudav.htm", "<html><body><p>Ajuda do c\xE1lculo</p></body></html>");
    Start();
    EXPECT_FALSE(Form1->Ajuda1->Visible());
    EXPECT_FALSE(Form1->ndices1->Visible());
    Event([] { Form1->Sobre2->Click(); });
    EXPECT_TRUE(AboutBox->Visible());
    EXPECT_EQ(AboutBox->Version->Caption(), "Versão 4.0.0.2");
    EXPECT_EQ(AboutBox->ProductName->Caption(), "Velorim Revisão de Benefício");
    EXPECT_THAT(AboutBox->Comments->Caption(), HasSubstr(dir.string() + "/velorimrev.htm"));
    Event([] { AboutBox->OKButton->UserClick(); });
    EXPECT_FALSE(AboutBox->Visible());

    Event([] { Form1->Ajuda1Click(Form1->Ajuda1); });
    EXPECT_EQ(Form1->HTMLViewer1->CurrentFile(), dir.string() + "/ajudav.htm");
}

TEST_F(MainWindow, HelpersWithoutANetworkOrAFileFailCleanly) {
    Start();
    EXPECT_FALSE(Form1->CheckUrl("www.example.invalid"));
    EXPECT_FALSE(Form1->DownloadFile("http://www.example.invalid/x.tab", (dir / "x.tab").string()));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.tab"));
    EXPECT_THROW(Form1->horax((dir / "nada.txt").string()), EInOutError);
    Write("algo.txt", "x");
    EXPECT_THAT(Form1->horax((dir / "algo.txt").string()), ::testing::MatchesRegex("../../.... ..:..:..|../../...."));
}

}  // namespace

// The revision form: its state file read back, the salary list's "Repetir".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "controls/spin_edit.h"
#include "grid_text.h"
#include "grids/align_grid.h"
#include "grids/icon_grid.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/text_file.h"
#include "revision/revision_form.h"
#include "support/gui_test.h"
#include "tables/cell_errors.h"

namespace {

class RevisionFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Form9) CreateProgramForms();
    }

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velorim_revform_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Form1->DataDir = dir_.string();
        Form9->SpeedButton9Click(nullptr);
        velorim_test::Dialogs().Clear();
    }

    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string File() const { return (dir_ / "temprev.back").string(); }

    static std::vector<std::string> Lines(const std::string& file) {
        TTextFileReader in(file);
        std::vector<std::string> lines;
        while (!in.Eof())
            lines.push_back(in.Readln());
        return lines;
    }

    static void WriteLines(const std::string& file, const std::vector<std::string>& lines) {
        TTextFileWriter out(file);
        for (const std::string& line : lines)
            out.Writeln(line);
        out.Close();
    }

    static TCellMatrix& Salaries() { return Form9->STGSalarios->Matrix(); }

    static void FillCase() {
        TForm9& f = *Form9;
        f.EEspecie->SetText("42/123.456.789-0");
        f.EAutor->SetText("José da Silva, \"Zé\"");
        f.Calculoate->SetText("31/12/2003");
        f.Dataajuizamento->SetText("10/03/2003");
        f.Parcelafinal->SetText("01/12/2003");
        f.Prescricao->SetText("01/03/1998");
        f.Contagemjuros->SetText("15/04/2003");
        f.Ejurosmes->SetText("1");
        f.Catualizacao->SetItemIndex(0);
        f.Catualizacao->SetText(f.Catualizacao->Items[0]);
        f.EDIB->SetText("01/08/1994");
        f.ESalBeneficio->SetText("500,5");
        f.ECoeficienteRMI->SetText("70");
        f.EIncrementoRMI->SetText("1,23456789");
        f.ERMIMR->SetText("350,35");
        f.ENSalBeneficio->SetText("582,86");
        f.ENCoeficienteRMI->SetText("70");
        f.ENIncrementoRMI->SetText("5,90012086");
        f.ENRMIMR->SetText("408");
        f.Chek13->SetChecked(false);
        f.EditA->SetText("100.000,00");
        f.EditB->SetText("30");
        Salaries().SetCell(0, 1, "02/1994");
        Salaries().SetCell(1, 1, "1.234,56");
        Salaries().SetCell(0, 2, "01/1994");
        Salaries().SetCell(1, 2, "1.000,00");
        Salaries().SetCell(2, 2, "2,50000000"); // computed: not in the file
    }

    std::filesystem::path dir_;
};

} // namespace

TEST_F(RevisionFormTest, StateFileRoundTrip) {
    FillCase();
    const std::vector<std::string> values = Form9->StateValues();
    Form9->SpeedButton5Click(nullptr); // Salvar

    std::vector<std::string> lines = Lines(File());
    ASSERT_EQ(lines.size(), 22u + 2 * 36);
    EXPECT_EQ(lines[0], "42/123.456.789-0");
    EXPECT_EQ(lines[2], "31/12/2003");
    EXPECT_EQ(lines[8], "inpc-irsm-urv-ipcr-inpc-igpdi");
    EXPECT_EQ(lines[12], "1,23456789");
    EXPECT_EQ(lines[18], "false");
    EXPECT_EQ(lines[19], "100000");
    EXPECT_EQ(lines[20], "30");
    EXPECT_EQ(lines[21], "37");
    EXPECT_EQ(Texts(lines.begin() + 22, lines.begin() + 26),
              (Texts{"02/1994", "1.234,56", "01/1994", "1.000,00"}));

    Form9->SpeedButton9Click(nullptr); // Novo
    EXPECT_EQ(Form9->EAutor->Text(), "");
    EXPECT_EQ(Form9->EDIB->Text(), "01/07/1994");
    EXPECT_TRUE(Form9->Chek13->Checked());
    EXPECT_EQ(Salaries().Cell(1, 1), "");

    Form9->SpeedButton12Click(nullptr); // Abrir
    EXPECT_EQ(Form9->StateValues(), values);
    EXPECT_EQ(Form9->Catualizacao->ItemIndex(), 0);
    EXPECT_EQ(Salaries().RowCount(), 37);
    EXPECT_EQ(ColumnOf(Salaries(), 0, 1, 3), (Texts{"02/1994", "01/1994", ""}));
    EXPECT_EQ(ColumnOf(Salaries(), 1, 1, 3), (Texts{"1.234,56", "1.000,00", ""}));
    EXPECT_EQ(Salaries().Cell(2, 2), "");
    EXPECT_TRUE(velorim_test::Dialogs().Messages().empty());

    // A second save of what was read gives the same file.
    Form9->gravar();
    EXPECT_EQ(Lines(File()), lines);
}

TEST_F(RevisionFormTest, BadStateFilesChangeNothing) {
    FillCase();
    Form9->gravar();
    const std::vector<std::string> good = Lines(File());
    ASSERT_EQ(good.size(), 22u + 72u);
    Form9->SpeedButton9Click(nullptr);
    Form9->EAutor->SetText("kept");
    Salaries().SetCell(1, 5, "kept");
    const std::vector<std::string> before = Form9->StateValues();
    const int rowsBefore = Salaries().RowCount();

    const std::string refused = "O arquivo temprev.back não foi aberto: ";
    auto cut = [&](size_t n) { return std::vector<std::string>(good.begin(), good.begin() + n); };
    auto with = [&](size_t index, const std::string& text) {
        std::vector<std::string> lines = good;
        lines[index] = text;
        return lines;
    };
    std::vector<std::string> extra = good;
    extra[21] = "3";  // the count says two salaries; the file holds 36, most of them empty
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    const Case cases[] = {
        {{}, "o arquivo está vazio"},
        {cut(10), "ele termina na linha 10 e falta a linha 11 (Sal. Benefício)"},
        {cut(21), "ele termina na linha 21 e falta a linha 22 (número de linhas da lista de "
                  "salários)"},
        {cut(26), "a lista de salários tem 36 linhas (linha 22) e o arquivo termina antes delas, "
                  "na linha 26"},
        {extra, "a lista de salários tem 2 linhas (linha 22), mas o arquivo continua na linha 27"},
        {with(21, "-3"), "linha 22 (número de linhas da lista de salários): '-3' não é um número "
                         "de linhas"},
        {with(21, ""), "linha 22 (número de linhas da lista de salários): '' não é um número de "
                       "linhas"},
        {with(13, "abc"), "linha 14 (RMI/MR): 'abc' não é um número"},
        {with(19, "1e20"), "linha 20 (a) Soma dos Salários-de-Contribuição): '1e20' é grande demais "
                           "(o limite é 999.999.999.999.999)"},
        {with(20, "99"), "linha 21 (b) Número de salários): '99' está fora do intervalo aceito (de 0 "
                         "a 36)"},
        {with(9, "31/02/1994"), "linha 10 (DIB): '31/02/1994' não é uma data (dd/mm/aaaa)"},
        {with(23, "mil"), "linha 24 (salário da linha 1 da lista): 'mil' não é um número"},
        {with(18, "sim"), "linha 19 (Calcular 13º salário): 'sim' não é true nem false"},
        {with(23, "1.5"), "linha 24 (salário da linha 1 da lista): '1.5' não é um número: o ponto "
                          "só separa milhares (1.234,56)"},
    };
    for (const Case& c : cases) {
        WriteLines(File(), c.lines);
        velorim_test::Dialogs().Clear();
        EXPECT_THROW(Form9->SpeedButton12Click(nullptr), EAbort);
        EXPECT_EQ(velorim_test::Dialogs().Messages(),
                  std::vector<std::string>{refused + c.message + ". Nada foi alterado."});
        EXPECT_EQ(Form9->StateValues(), before) << c.message;
        EXPECT_EQ(Salaries().RowCount(), rowsBefore) << c.message;
        EXPECT_EQ(Salaries().Cell(1, 5), "kept") << c.message;
    }

    std::filesystem::remove(File());
    velorim_test::Dialogs().Clear();
    Form9->SpeedButton12Click(nullptr);
    EXPECT_EQ(velorim_test::Dialogs().Messages(),
              std::vector<std::string>{"Não há cálculo gravado: o arquivo temprev.back não existe"});
}

TEST_F(RevisionFormTest, RepetirFillsTheMonthBefore) {
    TForm9& f = *Form9;
    Salaries().SetCell(0, 1, "02/1994");
    Salaries().SetCell(1, 1, "500,00");
    f.STGSalariosAfterEdit(nullptr, 1, 1);
    f.BRepetirClick(nullptr);
    f.BRepetirClick(nullptr);
    EXPECT_EQ(ColumnOf(Salaries(), 0, 1, 4), (Texts{"02/1994", "01/1994", "12/1993", ""}));
    EXPECT_EQ(ColumnOf(Salaries(), 1, 1, 4), (Texts{"500,00", "500,00", "500,00", ""}));
    EXPECT_EQ(f.STGSalarios->Row(), 3);

    // The last row has no row after it.
    Salaries().SetCell(0, 36, "03/1991");
    f.STGSalariosAfterEdit(nullptr, 0, 36);
    f.BRepetirClick(nullptr);
    EXPECT_EQ(Salaries().RowCount(), 37);

    Salaries().SetCell(0, 10, "13/99");
    f.STGSalariosAfterEdit(nullptr, 0, 10);
    EXPECT_EQ(MessageOf<ECellValueError>([&] { f.BRepetirClick(nullptr); }),
              "Valor inválido na linha 13/99, coluna Data: '13/99'");
    EXPECT_EQ(Salaries().Cell(0, 11), "");

    // Typed months are normalised when the edit ends.
    Salaries().SetCell(0, 4, "05/95");
    bool valid = true;
    f.STGSalariosValidateEdit(nullptr, 0, 4, valid);
    EXPECT_EQ(Salaries().Cell(0, 4), "05/1995");
    std::string mask;
    f.STGSalariosGetEditMask(nullptr, 0, 4, mask);
    EXPECT_EQ(mask, "!99/0000;1");
}

TEST_F(RevisionFormTest, NewRmiTypedByHandSurvivesWithoutALetter) {
    TForm9& f = *Form9;
    f.ENRMIMR->SetText("700");
    f.PageControl1->SetActivePage(f.TabSheet4);
    f.BitBtn2Click(nullptr);
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet5);
    EXPECT_EQ(f.EditC->Text(), "0,00");
    EXPECT_EQ(f.ENRMIMR->Text(), "700");

    f.EditA->SetText("1000");
    f.EDIB->SetText(""); // no ceiling: the new RMI is zero
    f.PageControl1->SetActivePage(f.TabSheet4);
    f.BitBtn2Click(nullptr);
    EXPECT_EQ(f.EditD->Text(), "1.000,00");
    EXPECT_EQ(f.EditE->Text(), "0,00");
    EXPECT_EQ(f.ENRMIMR->Text(), "");
}

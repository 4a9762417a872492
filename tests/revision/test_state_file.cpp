// The wizard's state file: written by Finalizar, read back by "A. Backup"
// and "Abrir".
#include "wizard_env.h"

#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/string_list.h"
#include "platform/runtime/text_file.h"
#include "revision/wizard_state_file.h"

#include <fstream>

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

TEST_F(StateFile, PassBoxesAreClearedAfterAReadingAndCirsmIsKept) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    // Boxes a pass never uses: unchecked after the reading whatever the file
    // says, except Cirsm, which is read after the pass.
    lines[14] = "true"; // Curv
    lines[19] = "true"; // Curvinss
    lines[5] = "1.000"; // Vautor: a point between thousands
    WriteLines(lines);
    Form12->ReadStateFile(Path());
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(Form12->Curv->Checked());
    EXPECT_FALSE(Form12->Curvinss->Checked());
    EXPECT_TRUE(Form12->Cirsm->Checked());
    EXPECT_EQ(Form12->Vautor->Value(), 1000);
}

TEST_F(StateFile, CellsEditedInTheGridFlowIntoTheTotalsAndTheFileReadsBack) {
    DistinctCase();
    TCellMatrix& cells = Cells(Form12->planilha);
    const int sums = cells.RowCount() - 1;
    const std::string total = cells.Cell(11, sums);
    cells.SetCell(5, 2, "0,00"); // "Valor Pago" of a month typed over
    Form12->gravax();
    EXPECT_NE(cells.Cell(11, sums), total);
    const Texts written = FileLines(Path());
    Form12->ReadStateFile(Path());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(wizard_state::StateLines(*Form12), written);
}

// The wizard as a case left it, to compare after a refused file.
Texts Snapshot() {
    Texts lines = wizard_state::StateLines(*Form12);
    lines.push_back(IntToStr(Form12->PageControl1->PageIndex()));
    lines.push_back(Form12->Visible() ? "visible" : "hidden");
    return lines;
}

// Reads the file as "Abrir" does; returns the one message it showed.
std::string Refusal(const std::string& path) {
    velorim_test::Dialogs().Clear();
    EXPECT_THROW(Form12->ReadStateFile(path), EAbort);
    const Texts shown = velorim_test::Dialogs().Messages();
    EXPECT_EQ(shown.size(), 1u);
    return shown.empty() ? std::string() : shown[0];
}

TEST_F(StateFile, FilesThatEndEarlyAreRefusedAndChangeNothing) {
    DistinctCase();
    const Texts good = wizard_state::StateLines(*Form12);
    Form12->Enome->SetText("o caso aberto antes");
    const Texts before = Snapshot();

    Texts lines(good.begin(), good.begin() + 10);  // cut after line 10
    WriteLines(lines);
    EXPECT_EQ(Refusal(Path()), "O arquivo atualrev.back não foi aberto: ele termina na linha 10 e "
                               "falta a linha 11 (Calcular 13º Salário). Nada foi alterado.");
    EXPECT_EQ(Snapshot(), before);

    WriteLines({});
    EXPECT_EQ(Refusal(Path()),
              "O arquivo atualrev.back não foi aberto: o arquivo está vazio. Nada foi alterado.");
    EXPECT_EQ(Snapshot(), before);

    lines = good;
    lines[kPlanilhaCount] = "999999999";
    lines.resize(kPlanilhaCount + 1 + 2);  // the header and one month
    WriteLines(lines);
    EXPECT_EQ(Refusal(Path()),
              "O arquivo atualrev.back não foi aberto: linha 23: a planilha tem 999999999 linhas "
              "e o arquivo termina depois de 2. Nada foi alterado.");
    EXPECT_EQ(Snapshot(), before);

    // A block that starts must be whole: here the new RMI's block stops
    // after its first date.
    const size_t blockA = kPlanilhaCount + 1 + std::stoul(good[kPlanilhaCount]);
    lines.assign(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(blockA) + 1);
    WriteLines(lines);
    EXPECT_EQ(Refusal(Path()), "O arquivo atualrev.back não foi aberto: ele termina na linha " +
                                   IntToStr(static_cast<int>(blockA) + 1) + " e falta a linha " +
                                   IntToStr(static_cast<int>(blockA) + 2) +
                                   " (Data Final da nova RMI). Nada foi alterado.");
    EXPECT_EQ(Snapshot(), before);

    // Cut after the spreadsheet or after block B: the blocks left out would
    // keep the values of the case open before.
    const size_t blockC = good.size() - 7;
    for (size_t end : {blockA, blockC}) {
        lines.assign(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(end));
        WriteLines(lines);
        EXPECT_EQ(Refusal(Path()), "O arquivo atualrev.back não foi aberto: ele termina na linha " +
                                       IntToStr(static_cast<int>(end)) + " e falta a linha " +
                                       IntToStr(static_cast<int>(end) + 1) +
                                       (end == blockA ? " (Data Inicial da nova RMI)"
                                                      : " (Decreto 83.080/79)") +
                                       ". Nada foi alterado.");
        EXPECT_EQ(Snapshot(), before);
    }

    // Lines after the last one: an empty one is an editor's line end.
    lines = good;
    lines.push_back("");
    WriteLines(lines);
    velorim_test::Dialogs().Clear();
    Form12->ReadStateFile(Path());
    EXPECT_TRUE(Messages().empty());
    lines.push_back("mais");
    WriteLines(lines);
    EXPECT_EQ(Refusal(Path()), "O arquivo atualrev.back não foi aberto: o caso termina na linha " +
                                   IntToStr(static_cast<int>(good.size())) +
                                   ", mas o arquivo continua na linha " +
                                   IntToStr(static_cast<int>(good.size()) + 1) +
                                   ". Nada foi alterado.");
}

TEST_F(StateFile, UnreadableValuesAreNamedAndChangeNothing) {
    DistinctCase();
    const Texts good = wizard_state::StateLines(*Form12);
    const Texts before = Snapshot();
    const size_t blockA = kPlanilhaCount + 1 + std::stoul(good[kPlanilhaCount]);
    struct Case {
        size_t line;  // index in the file
        std::string text;
        std::string expected;
    };
    // The sums row with its Total edited, and a month row.
    const size_t sums = blockA - 1, month = kPlanilhaCount + 2;
    TStringList edited;
    edited.SetCommaText(good[sums]);
    const std::string total = edited[11];
    edited.SetStrings(11, "9" + total);
    const std::string sumsLine = edited.CommaText();
    const Case cases[] = {
        {5, "muito", "linha 6 (RMI INSS): 'muito' não é um número"},
        {7, "1.0.0", "linha 8 (Valor dos Juros): '1.0.0' não é um número: o ponto só separa "
                     "milhares (1.234,56)"},
        {6, "1.5", "linha 7 (RMI Autor): '1.5' não é um número: o ponto só separa milhares "
                   "(1.234,56)"},
        {11, "sim", "linha 12 (Incluir juros): 'sim' não é true nem false"},
        {15, "TRUE", "linha 16 (Desconsiderar teto (Autor)): 'TRUE' não é true nem false"},
        {20, "", "linha 21 (Desconsiderar teto (INSS)): '' não é true nem false"},
        {month, good[month] + ",x",
         "linha " + IntToStr(static_cast<int>(month) + 1) +
             " (planilha): a linha tem 15 células e a grade tem 14 colunas"},
        {month, "\x01" + good[month],
         "linha " + IntToStr(static_cast<int>(month) + 1) +
             " (planilha): a linha tem um caractere de controle (código 1) fora de aspas"},
        {sums, sumsLine,
         "linha " + IntToStr(static_cast<int>(sums) + 1) + " (planilha, Total): '9" + total +
             "' não confere com a conta da planilha, que dá " + total},
        {6, "1e99999", "linha 7 (RMI Autor): '1e99999' não é um número"},
        {6, "99.999.999.999.999.999,00",
         "linha 7 (RMI Autor): '99.999.999.999.999.999,00' é grande demais (o limite é "
         "999.999.999.999.999)"},
        {2, "99/99/9999", "linha 3 (Data Inicial (DIB)): '99/99/9999' não é uma data (dd/mm/aaaa)"},
        {kPlanilhaCount, "3 linhas",
         "linha 23 (número de linhas da planilha): '3 linhas' não é um número de linhas"},
        {blockA + 5, "5", "linha " + IntToStr(static_cast<int>(blockA) + 6) +
                              " (Coeficiente): '5' está fora do intervalo aceito (de 0,00 a 1,00)"},
        {good.size() - 1, "ortn-desconhecido",
         "linha " + IntToStr(static_cast<int>(good.size())) +
             " (índice de correção): 'ortn-desconhecido' não é um índice de correção conhecido"},
    };
    for (const Case& c : cases) {
        Texts lines = good;
        lines[c.line] = c.text;
        WriteLines(lines);
        EXPECT_EQ(Refusal(Path()),
                  "O arquivo atualrev.back não foi aberto: " + c.expected + ". Nada foi alterado.");
        EXPECT_EQ(Snapshot(), before) << c.text;
    }
}

TEST_F(StateFile, ARefusedFilePoisonsNothingThatFollows) {
    DistinctCase();
    Form12->gravax();
    const std::string good = Path();
    const std::string bad = DataFile("danificado.bev");
    Texts lines = wizard_state::StateLines(*Form12);
    lines.back() = "\x81\x8d?\x90";  // the index name, damaged
    {
        TTextFileWriter out(bad);
        for (const std::string& line : lines) out.Writeln(line);
        out.Close();
    }
    Refusal(bad);
    velorim_test::Dialogs().Clear();
    Form12->ReadStateFile(good);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form12->ComboBox1->Text(), "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi");
    Refusal(bad);
    Form1->BtnRevisaoNovoClick(nullptr);
    velorim_test::Dialogs().Clear();
    Form12->ReadStateFile(good);
    EXPECT_TRUE(Messages().empty());

    // Even a wizard that holds an unknown series computes a file with its
    // own series.
    Form12->ComboBox1->SetText("lixo");
    Form12->ReadStateFile(good);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form12->ComboBox1->Text(), "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi");
}

TEST_F(StateFile, ARefusedCalculationPutsTheWizardBack) {
    DistinctCase();
    Texts lines = wizard_state::StateLines(*Form12);
    lines[0] = "Outro caso";
    lines[2] = "  /  /    "; // Dataini
    WriteLines(lines);
    Form12->DateEdit1->SetText("05/05/2005");
    const Texts before = Snapshot();
    EXPECT_THROW(Form12->ReadStateFile(Path()), EAbort);
    EXPECT_EQ(Messages(), Texts{"é necessário digitar a Data Inicial"});
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Form12->Enome->Text(), "João, \"Zé\" da Silva");
    EXPECT_FALSE(Form12->Visible());

    // A correction table gone since start-up stops it the same way.
    lines = wizard_state::StateLines(*Form12);
    lines[0] = "Outro caso";
    WriteLines(lines);
    std::filesystem::remove(DataFile(tabelas::CrMensalRev3File));
    try {
        Form12->ReadStateFile(Path());
        ADD_FAILURE() << "read without its correction table";
    } catch (const tabelas::ETableError& e) {
        EXPECT_NE(e.Message.find("\n- crmensalrev3.tab não foi encontrada na pasta de dados: "
                                 "coloque o arquivo nessa pasta.\n"),
                  std::string::npos)
            << e.Message;
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(StateFile, AFileLargerThanAnyCaseIsRefused) {
    DistinctCase();
    const Texts before = Snapshot();
    std::ofstream(Path()).close();
    std::filesystem::resize_file(Path(), kMaxStateFileSize + 1);
    const std::string message = Refusal(Path());
    EXPECT_EQ(message.rfind("O arquivo atualrev.back não foi aberto: o arquivo é grande demais", 0),
              0u)
        << message;
    EXPECT_EQ(Snapshot(), before);
}

// A case cut inside its last line is refused, not opened as another (the
// name of series 1 begins those of series 2 and 3); a case a text editor
// saved in UTF-8 with its mark opens with its letters.
TEST_F(StateFile, ACutCaseIsRefusedAndAMarkedUtf8CaseOpens) {
    DistinctCase();
    Form12->ComboBox1->SetText(calc::SeriesNames[2]);
    Form12->BTNcorrigirClick(nullptr);
    Form12->gravax();
    const std::string whole = ReadFileBytes(Path());
    const size_t lines = FileLines(Path()).size();
    const size_t last = whole.rfind("\r\n", whole.size() - 3) + 2;
    ASSERT_EQ(whole.substr(last), std::string(calc::SeriesNames[2]) + "\r\n");
    Form12->Enome->SetText("o caso aberto antes");
    const Texts before = Snapshot();
    for (size_t cut : {last + std::string(calc::SeriesNames[1]).size(), last + 1}) {
        WriteFileAtomic(Path(), whole.substr(0, cut));
        EXPECT_EQ(Refusal(Path()), "O arquivo atualrev.back não foi aberto: linha " + IntToStr(int(lines)) +
                                       ": a última linha não termina com fim de linha: o arquivo foi "
                                       "cortado. Nada foi alterado.");
        EXPECT_EQ(Snapshot(), before);
    }
    // Cut between its CR and its LF, nothing of it is lost.
    WriteFileAtomic(Path(), whole.substr(0, whole.size() - 1));
    velorim_test::Dialogs().Clear();
    Form12->ReadStateFile(Path());
    EXPECT_EQ(Messages(), Texts{});
    EXPECT_EQ(Form12->ComboBox1->Text(), calc::SeriesNames[2]);

    Form12->Enome->SetText("o caso aberto antes");
    WriteFileAtomic(Path(), "\xEF\xBB\xBF" + Cp1252ToUtf8(whole));
    Form12->ReadStateFile(Path());
    EXPECT_EQ(Messages(), Texts{});
    EXPECT_EQ(Form12->Enome->Text(), "João, \"Zé\" da Silva");
    // A letter the program's text cannot hold ("L" with a stroke) is refused.
    Form12->Enome->SetText("o caso aberto antes");
    const Texts again = Snapshot();
    WriteFileAtomic(Path(), "\xEF\xBB\xBF\xC5\x81ukasz" + Cp1252ToUtf8(whole.substr(whole.find("\r\n"))));
    EXPECT_EQ(Refusal(Path()),
              "O arquivo atualrev.back não foi aberto: linha 1: o arquivo está em UTF-8 e tem caracteres "
              "que o programa não consegue usar (use só letras do alfabeto latino, com ou sem acento, "
              "algarismos e sinais comuns). Nada foi alterado.");
    EXPECT_EQ(Snapshot(), again);
}

// A grid longer than a case on these tables can be (their 312 months from
// 01/1977 to 12/2002, with its summary rows) is refused before it is read.
TEST_F(StateFile, AGridLongerThanAnyCaseIsRefused) {
    DistinctCase();
    const Texts good = wizard_state::StateLines(*Form12);
    const Texts before = Snapshot();
    const size_t planilha = kPlanilhaCount;
    const size_t sdem = planilha + 1 + std::stoul(good[planilha]) + 7;
    const size_t sdig = sdem + 1 + std::stoul(good[sdem]);
    struct Case {
        size_t count;  // index of the count line
        int rows;      // the most a case can have
        std::string field, summary;
    };
    const Case cases[] = {
        {planilha, 1 + 312 + 26 + 1, "planilha", ", 26 linhas de 13º salário e a linha das somas"},
        {sdem, 1 + 312 + 7, "tabela da nova RMI", ", 7 linhas de resumo"},
        {sdig, 1 + 312, "tabela de salários", ""},
    };
    for (const Case& c : cases) {
        Texts lines(good.begin(), good.begin() + std::ptrdiff_t(c.count));
        lines.push_back(IntToStr(c.rows + 1));
        const std::string row = good[c.count + 1];
        lines.insert(lines.end(), size_t(c.rows) + 1, row);
        lines.insert(lines.end(), good.begin() + std::ptrdiff_t(c.count + 1 + std::stoul(good[c.count])),
                     good.end());
        WriteLines(lines);
        EXPECT_EQ(Refusal(Path()),
                  "O arquivo atualrev.back não foi aberto: linha " + IntToStr(int(c.count) + 1) +
                      " (número de linhas da " + c.field + "): " + IntToStr(c.rows + 1) +
                      " são mais linhas do que um caso pode ter: no máximo " + IntToStr(c.rows) +
                      " (o título" + (c.summary.empty() ? " e" : ",") +
                      " os 312 meses das tabelas, de 01/1977 a 12/2002" + c.summary +
                      "). Nada foi alterado.");
        EXPECT_EQ(Snapshot(), before) << c.field;
    }
}

} // namespace

namespace {

// A stored spreadsheet must be one row a month of the case's dates, with its
// thirteenth-salary rows: one cut short or of other months is refused (it
// would print another amount due), and every case "Finalizar" saves opens.
TEST_F(StateFile, AStoredSpreadsheetOfOtherMonthsIsRefused) {
    DistinctCase();
    Form12->Dataini->SetText("01/11/1999");
    Form12->Datafim->SetText("31/01/2000");
    Form12->BTNcorrigirClick(nullptr);
    const Texts good = wizard_state::StateLines(*Form12);
    const Texts before = Snapshot();
    const size_t first = kPlanilhaCount + 2;  // the 11/1999 row
    ASSERT_EQ(good[kPlanilhaCount], "6");     // 11/1999, 12/1999, its 13th, 01/2000
    const std::string span = "pelas datas do caso (Data Inicial e Data Final) ";
    struct Case {
        Texts lines;
        std::string expected;
    };
    auto without = [&](size_t from, size_t count, const std::string& rows) {
        Texts lines = good;
        lines.erase(lines.begin() + std::ptrdiff_t(from),
                    lines.begin() + std::ptrdiff_t(from + count));
        lines[kPlanilhaCount] = rows;
        return lines;
    };
    const Case cases[] = {
        {without(first + 1, 4, "2"),
         "linha 23 (número de linhas da planilha): a planilha tem 2 linhas, mas " + span +
             "ela vai de 11/1999 a 01/2000 e tem 6: o título, os 3 meses, 1 linha de 13º salário "
             "e a linha das somas"},
        {without(first + 2, 1, "5"),
         "linha 27 (planilha, Data): '01/2000' não é o mês desta linha: " + span +
             "a planilha vai de 11/1999 a 01/2000, com a linha do 13º salário depois de cada "
             "dezembro, e esta linha é a do 13º salário de 12/1999"},
    };
    for (const Case& c : cases) {
        WriteLines(c.lines);
        EXPECT_EQ(Refusal(Path()),
                  "O arquivo atualrev.back não foi aberto: " + c.expected + ". Nada foi alterado.");
        EXPECT_EQ(Snapshot(), before);
    }

    // Saved by "Finalizar" with each option, the day of each date deciding
    // the months, a December at either end: each opens as saved.
    velorim_test::Dialogs().Clear();
    const char* const dates[][2] = {{"15/03/1999", "10/12/2000"}, {"31/01/2000", "29/02/2000"},
                                    {"01/12/1998", "01/12/1998"}, {"30/11/1998", "31/12/1999"}};
    for (const auto& d : dates)
        for (int options = 0; options < 8; ++options) {
            SCOPED_TRACE(std::string(d[0]) + " " + d[1] + " " + std::to_string(options));
            Form12->Dataini->SetText(d[0]);
            Form12->Datafim->SetText(d[1]);
            Form12->DatePrescricao->SetText(d[0]);
            Form12->Dateinicialjuros->SetText(d[0]);
            Form12->Datefinaljuros->SetText(d[1]);
            Form12->Check13->SetChecked(options & 1);
            Form12->Cjuros->SetChecked(options & 2);
            Form12->Csteto->SetChecked(options & 4);
            Form12->BTNcorrigirClick(nullptr);
            Form12->Button3Click(nullptr);
            const Texts saved = FileLines(Path());
            Form12->ReadStateFile(Path());
            EXPECT_EQ(Messages(), Texts{});
            EXPECT_EQ(wizard_state::StateLines(*Form12), saved);
        }
}

} // namespace

// The revision worksheet on small tables worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid_text.h"
#include "platform/runtime/formats.h"
#include "revision/revision_core.h"
#include "tables/cell_errors.h"
#include "tables/table_names.h"
#include "tables/table_status.h"

using namespace revisao;

namespace {

// Monthly ceilings and minimum wages: 582,86 and 64,79 from 03/1994, a later
// ceiling of 832,66 from 05/1995 (the newest row must not be the DIB's).
struct IrsmTables {
    TCellMatrix salmin = GridOf({"Data|Valor", "01/03/1994|64,79", "01/07/1994|64,79",
                                 "01/09/1994|70,00", "01/05/1995|100,00"});
    TCellMatrix teto = GridOf(
        {"Data|Teto", "03/1994|582,86", "07/1994|582,86", "05/1995|832,66", "01/2004|2400,00"});
    TCellMatrix inpc = GridOf({"Data|Índice", "01/1994|1,42130", "02/1994|3,55325",
                               "12/1993|0,71065", "12/1993|1,0000", "11/1993|0"});
    TRevisionTables Tables() {
        TRevisionTables t;
        t.GridSalmin = &salmin;
        t.gridiinss = &teto;
        t.Gridanterior1994 = &inpc;
        return t;
    }
};

TNovaRmiInput Letter(const std::string& a, const std::string& b, const std::string& c) {
    TNovaRmiInput in;
    in.EDIB = "01/07/1994";
    in.EditA = a;
    in.EditB = b;
    in.EditC = c;
    in.ENCoeficienteRMI = "100";
    in.Prescricao = "  /  /    ";
    in.Dataajuizamento = "  /  /    ";
    return in;
}

} // namespace

TEST(RevisionNovaRmi, SalaryOfBenefitAboveTheCeilingGivesTheIncrement) {
    IrsmTables t;
    TNovaRmiInput in = Letter("100.000,00", "36", "60.000,00");
    in.Dataajuizamento = "10/03/1998";
    TNovaRmiResult out = novarmi(in, t.Tables());
    EXPECT_EQ(out.EditD, "40.000,00");
    EXPECT_EQ(out.EditE, "83.802,00");
    EXPECT_EQ(out.EditF, "123.802,00");
    // The ceiling in force at the DIB, not the newest one of the table.
    EXPECT_EQ(out.EditG, "582,86");
    EXPECT_EQ(out.EditH, "582,86");
    EXPECT_EQ(out.EditI, "582,86");
    EXPECT_EQ(out.EditJ, "5,90012086");
    EXPECT_EQ(out.ENIncrementoRMI, "5,90012086");
    EXPECT_EQ(out.ENRMIMR, "582,86");
    EXPECT_EQ(out.ENSalBeneficio, "582,86");
    EXPECT_EQ(out.Lnovarmiem, "01/07/1994");
    EXPECT_EQ(out.Lcoeficiente, "100%))");
    // Five years before the filing is before 07/1994.
    EXPECT_EQ(out.Prescricao, "01/07/1994");

    in.Dataajuizamento = "15/08/2001";
    EXPECT_EQ(novarmi(in, t.Tables()).Prescricao, "15/08/1996");
    in.EDIB = "01/05/1995";
    EXPECT_EQ(novarmi(in, t.Tables()).EditG, "832,66");
}

TEST(RevisionNovaRmi, BelowTheCeilingAndMissingInputs) {
    IrsmTables t;
    // f / b = (10.000 - 4.000 + 5.586,80) / 30 = 386,226...; 70 % of it.
    TNovaRmiInput in = Letter("10000", "30", "4.000,00");
    in.ENCoeficienteRMI = "70";
    TNovaRmiResult out = novarmi(in, t.Tables());
    EXPECT_EQ(out.EditF, "11.586,80");
    EXPECT_EQ(out.EditH, "386,23");
    EXPECT_EQ(out.EditI, "270,36");
    EXPECT_EQ(out.EditJ, "1");
    EXPECT_EQ(out.ENIncrementoRMI, "1,00000000");
    EXPECT_EQ(out.Lcoeficiente, "70%))");
    EXPECT_EQ(out.Prescricao, "  /  /    ");

    // No a: d is zero and only e counts.
    out = novarmi(Letter("", "30", "4.000,00"), t.Tables());
    EXPECT_EQ(out.EditD, "0,00");
    EXPECT_EQ(out.EditF, "5.586,80");

    // Without a DIB there is no ceiling: nothing is divided by it.
    in = Letter("100.000,00", "36", "60.000,00");
    in.EDIB = "  /  /    ";
    out = novarmi(in, t.Tables());
    EXPECT_EQ(out.EditG, "0,00");
    EXPECT_EQ(out.EditH, "0,00");
    EXPECT_EQ(out.EditJ, "0,00");
    EXPECT_EQ(out.EditI, "0,00");

    EXPECT_EQ(MessageOf<calc::ECalcError>([&] { novarmi(Letter("1", "0", "1"), t.Tables()); }),
              "O número de contribuições (b) não pode ser zero");
    in = Letter("1", "36", "1");
    in.EDIB = "01/13/1994";
    EXPECT_EQ(MessageOf<ECellValueError>([&] { novarmi(in, t.Tables()); }),
              "Data inválida em DIB: '01/13/1994'");
    in = Letter("1,2,3", "36", "1");
    EXPECT_THROW(novarmi(in, t.Tables()), ECellValueError);
}

TEST(RevisionSalaries, CorrectedByTheInpcAndLimitedAtTheDib) {
    IrsmTables t;
    TCellMatrix s(5, 1);
    LayoutSalarios(s);
    auto row = [&](int r, const char* month, const char* salary) {
        s.SetCell(0, r, month);
        s.SetCell(1, r, salary);
    };
    row(1, "02/1994", "100,00");   // factor 1
    row(2, "01/1994", "100,00");   // 3,55325 / 1,4213 = 2,5
    row(3, "01/1994", "300,00");   // 750,00 above the ceiling
    row(4, "01/1994", "10,00");    // 25,00 below the minimum wage
    row(5, "12/1993", "1.000,00"); // the last row of the month wins: factor 3,55325
    row(6, "10/1993", "100,00");   // not in the table
    row(7, "02/1994", "");         // no salary
    s.SetCell(2, 6, "9,99999999"); // of an earlier run
    s.SetCell(3, 6, "999,99");
    std::string marca = "x";
    corrigesalario(s, t.Tables(), "01/07/1994", marca);
    EXPECT_EQ(ColumnOf(s, 2, 1, 7), (Texts{"1,00000000", "2,50000000", "2,50000000", "2,50000000",
                                           "3,55325000", "", "1,00000000"}));
    EXPECT_EQ(ColumnOf(s, 3, 1, 7),
              (Texts{"100,00", "250,00", "582,86", "64,79", "582,86", "", ""}));
    EXPECT_EQ(ColumnOf(s, 4, 1, 7), (Texts{"", "", "Teto", "SM", "Teto", "", ""}));

    EXPECT_EQ(somasalarios(s, true), "1.580,51");
    EXPECT_EQ(somasalarios(s, false), "1.610,00");

    // An index of zero cannot divide: the message names the month.
    row(8, "11/1993", "50,00");
    EXPECT_EQ(
        MessageOf<calc::ECalcError>([&] { corrigesalario(s, t.Tables(), "01/07/1994", marca); }),
        "Índice zero na linha 11/1993 da tabela "
        "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab: o salário de 11/1993 não "
        "pode ser corrigido");
    s.SetCell(0, 8, "");
    s.SetCell(1, 3, "3,00,0");
    EXPECT_EQ(
        MessageOf<ECellValueError>([&] { corrigesalario(s, t.Tables(), "01/07/1994", marca); }),
        "Valor inválido na linha 01/1994, coluna Salário: '3,00,0'");
    s.SetCell(1, 3, "300");
    EXPECT_THROW(corrigesalario(s, t.Tables(), "  /  /    ", marca), ECellValueError);
}

TEST(RevisionSalaries, ListLaidOutInFourPairs) {
    TCellMatrix s(5, 1), d(8, 1);
    LayoutSalarios(s);
    LayoutSalariosd(d);
    for (int r = 1; r <= 36; ++r) {
        s.SetCell(0, r, "m" + IntToStr(r));
        s.SetCell(1, r, "v" + IntToStr(r));
    }
    d.SetCell(7, 9, "stale");
    salariosdx(s, d);
    ASSERT_EQ(d.RowCount(), 10);
    EXPECT_EQ(d.Cell(0, 0), "Data");
    EXPECT_EQ(d.Cell(7, 0), "Valor");
    EXPECT_EQ(d.Cell(0, 1), "m1");
    EXPECT_EQ(d.Cell(1, 9), "v9");
    EXPECT_EQ(d.Cell(2, 1), "m10");
    EXPECT_EQ(d.Cell(7, 9), "v36");
    // A longer list keeps every salary.
    s.SetRowCount(42);
    s.SetCell(1, 41, "v41");
    salariosdx(s, d);
    EXPECT_EQ(d.RowCount(), 12);
    EXPECT_EQ(d.Cell(7, 8), "v41");
}

namespace {

// Six months from the DIB 07/1994: a readjustment of 10 % in 09/1994, the
// correction factor 2 in 07/1994 and 1 afterwards, 1 % interest a month from
// 10/1994 and the prescription at 01/09/1994.
struct EvolutionCase {
    TCellMatrix corr = GridOf({"Data|Índice", "07/1994|1", "08/1994|1", "09/1994|1,10", "10/1994|1",
                               "11/1994|1", "12/1994|1"});
    TCellMatrix salmin =
        GridOf({"Data|Valor", "01/07/1994|70,00", "01/08/1994|70,00", "01/09/1994|70,00",
                "01/10/1994|70,00", "01/11/1994|70,00", "01/12/1994|70,00"});
    TCellMatrix teto = GridOf({"Data|Teto", "07/1994|582,86", "08/1994|582,86", "09/1994|582,86",
                               "10/1994|582,86", "11/1994|582,86", "12/1994|582,86"});
    TCellMatrix series = GridOf({"Data|Fator", "07/1994|2", "08/1994|1", "09/1994|1", "10/1994|1",
                                 "11/1994|1", "12/1994|1"});
    TRevisionTables Tables() {
        TRevisionTables t;
        t.GridCorrRev = &corr;
        t.GridSalmin = &salmin;
        t.gridiinss = &teto;
        t.SRVII = &series;
        return t;
    }
    TEvolucaoInput Input() {
        TEvolucaoInput in;
        in.EDIB = "01/07/1994";
        in.Calculoate = "31/12/1994";
        in.Contagemjuros = "15/10/1994";
        in.Ejurosmes = "1";
        in.Prescricao = "01/09/1994";
        in.ERMIMR = "400";
        in.ENRMIMR = "500";
        in.EIncrementoRMI = "1";
        in.ENIncrementoRMI = "1,2";
        in.Catualizacao = AtualizacaoNames[1];
        in.Chek13 = true;
        return in;
    }
};

} // namespace

TEST(RevisionEvolution, BenefitsEvolvedLimitedCorrectedWithInterest) {
    EvolutionCase e;
    TCellMatrix full(13, 2), due(13, 2);
    std::string marca;
    evolucao2(e.Input(), e.Tables(), full, marca);
    ASSERT_EQ(full.RowCount(), 8);
    EXPECT_EQ(ColumnOf(full, 0, 1, 6),
              (Texts{"07/1994", "08/1994", "09/1994", "10/1994", "11/1994", "12/1994"}));
    EXPECT_EQ(ColumnOf(full, 2, 1, 6),
              (Texts{"400,00", "400,00", "440,00", "440,00", "440,00", "440,00"}));
    // The increment comes with the readjustment of 09/1994; the ceiling cuts.
    EXPECT_EQ(ColumnOf(full, 4, 1, 6),
              (Texts{"500,00", "500,00", "550,00", "550,00", "550,00", "550,00"}));
    EXPECT_EQ(ColumnOf(full, 5, 1, 6),
              (Texts{"500,00", "500,00", "582,86", "582,86", "582,86", "582,86"}));
    EXPECT_EQ(ColumnOf(full, 6, 1, 6), (Texts{"", "", "Teto", "Teto", "Teto", "Teto"}));
    // December adds 6/12 of the difference.
    EXPECT_EQ(ColumnOf(full, 7, 1, 6),
              (Texts{"100,00", "100,00", "142,86", "142,86", "142,86", "214,29"}));
    EXPECT_EQ(ColumnOf(full, 9, 1, 6),
              (Texts{"200,00", "100,00", "142,86", "142,86", "142,86", "214,29"}));
    EXPECT_EQ(ColumnOf(full, 10, 1, 6), (Texts{"2,00", "2,00", "2,00", "2,00", "1,00", "0,00"}));
    EXPECT_EQ(ColumnOf(full, 11, 1, 6), (Texts{"4,00", "2,00", "2,86", "2,86", "1,43", "0,00"}));
    EXPECT_EQ(ColumnOf(full, 12, 1, 6),
              (Texts{"204,00", "102,00", "145,72", "145,72", "144,29", "214,29"}));
    // Totals of the months from the prescription on, as the cells add up.
    EXPECT_EQ(full.Cell(0, 7), "<b>TOTAL:</b>");
    EXPECT_EQ(full.Cell(9, 7), "<b>642,87</b>");
    EXPECT_EQ(full.Cell(11, 7), "<b>7,15</b>");
    EXPECT_EQ(full.Cell(12, 7), "<b>650,02</b>");

    evolucao3(full, "01/09/1994", due);
    ASSERT_EQ(due.RowCount(), 6);
    EXPECT_EQ(due.Cell(0, 0), "Competência");
    EXPECT_EQ(ColumnOf(due, 0, 1, 4), (Texts{"09/1994", "10/1994", "11/1994", "12/1994"}));
    EXPECT_EQ(due.Cell(12, 4), "214,29");
    EXPECT_EQ(due.Cell(9, 5), "<b>642,87</b>");
    EXPECT_EQ(due.Cell(11, 5), "<b>7,15</b>");
    EXPECT_EQ(due.Cell(12, 5), "<b>650,02</b>");

    // Without a prescription every month is due; after the last, none is.
    evolucao3(full, "  /  /    ", due);
    EXPECT_EQ(due.RowCount(), 8);
    EXPECT_EQ(due.Cell(12, 7), "<b>956,02</b>");
    evolucao3(full, "01/01/1995", due);
    EXPECT_EQ(due.RowCount(), 2);
    EXPECT_EQ(due.Cell(12, 1), "<b>0,00</b>");
}

TEST(RevisionEvolution, ThirteenthSalaryOf2006InTwoHalves) {
    // Every month of the case in each table, none of which changes anything.
    std::vector<std::string> corrRows{"Data|x"}, seriesRows{"Data|x"}, salminRows{"Data|Valor"},
        tetoRows{"Data|Teto"};
    for (TDateTime d = EncodeDate(2005, 11, 1); d <= EncodeDate(2006, 12, 1); d = IncMonth(d, 1)) {
        const std::string m = FormatDateTime("mm/yyyy", d);
        corrRows.push_back(m + "|1");
        seriesRows.push_back(m + "|0");
        salminRows.push_back("01/" + m + "|1,00");
        tetoRows.push_back(m + "|10000,00");
    }
    TCellMatrix corr = GridOf(corrRows), none = GridOf(seriesRows);
    TCellMatrix salmin = GridOf(salminRows), teto = GridOf(tetoRows);
    TRevisionTables t;
    t.GridCorrRev = &corr;
    t.GridSalmin = &salmin;
    t.gridiinss = &teto;
    t.SRVI = &none;
    TEvolucaoInput in;
    in.EDIB = "01/11/2005";
    in.Calculoate = "31/12/2006";
    in.ERMIMR = "100";
    in.ENRMIMR = "220";
    in.Catualizacao = AtualizacaoNames[0];
    in.Chek13 = true;
    TCellMatrix g(13, 2);
    std::string marca;
    evolucao2(in, t, g, marca);
    ASSERT_EQ(g.RowCount(), 16);
    EXPECT_EQ(g.Cell(0, 2), "12/2005");
    EXPECT_EQ(g.Cell(7, 2), "140,00"); // 2/12
    EXPECT_EQ(g.Cell(7, 3), "120,00");
    EXPECT_EQ(g.Cell(0, 10), "08/2006");
    EXPECT_EQ(g.Cell(7, 10), "160,00"); // 8/24
    EXPECT_EQ(g.Cell(0, 14), "12/2006");
    EXPECT_EQ(g.Cell(7, 14), "180,00"); // 12/24
    // No correction factor: nothing corrected, and no interest without a date.
    EXPECT_EQ(g.Cell(8, 14), "0");
    EXPECT_EQ(g.Cell(12, 15), "<b>0,00</b>");

    in.Chek13 = false;
    evolucao2(in, t, g, marca);
    EXPECT_EQ(g.Cell(7, 14), "120,00");
    in.Catualizacao = "outra";
    EXPECT_EQ(MessageOf<calc::ECalcError>([&] { evolucao2(in, t, g, marca); }),
              "Tabela de atualização desconhecida: 'outra'");
}

// A ceiling typed 582.86 was read as 58.286,00, so no ceiling held; a table
// refused at start-up was read as empty.
TEST(RevisionEvolution, ATableThatWouldBeMisreadStopsTheEvolution) {
    EvolutionCase e;
    TCellMatrix full(13, 2);
    std::string marca;
    e.teto.SetCell(1, 3, "582.86");
    EXPECT_EQ(MessageOf<tabelas::ETableError>([&] { evolucao2(e.Input(), e.Tables(), full, marca); }),
              "O cálculo não foi feito: a tabela inss.tab tem um valor que não pode ser usado "
              "(linha 4: '582.86' na coluna 2 tem ponto: os números das tabelas usam vírgula "
              "decimal e nenhum separador de milhar).");
    e.teto.SetCell(1, 3, "582,86");
    tabelas::NoteTableProblem(tabelas::SeriesIIFile, "não foi encontrada na pasta de dados");
    EXPECT_THROW(evolucao2(e.Input(), e.Tables(), full, marca), tabelas::ETableError);
    tabelas::ClearTableProblems();
    EXPECT_NO_THROW(evolucao2(e.Input(), e.Tables(), full, marca));
}

TEST(RevisionEvolution, IndexEvolutionTakesEveryMonthFromTheDib) {
    // The paid benefit grows by the month's index as a percentage, the
    // revised one by the ratio of the month's index to the last one.
    TCellMatrix corr = GridOf({"Data|Índice", "07/1994|2", "08/1994|10", "09/1994|5"});
    TCellMatrix series = GridOf({"Data|Fator", "07/1994|1", "08/1994|1", "09/1994|1"});
    TRevisionTables t;
    t.GridCorrRev = &corr;
    t.SRVII = &series;
    TEvolucaoInput in;
    in.EDIB = in.Prescricao = "01/07/1994";
    in.Calculoate = "30/09/1994";
    in.ERMIMR = "100";
    in.ENRMIMR = "200";
    in.ENIncrementoRMI = "2";
    in.Catualizacao = AtualizacaoNames[1];
    TCellMatrix g(13, 2);
    evolucao(in, t, g);
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(ColumnOf(g, 1, 1, 3), (Texts{"2,00000000", "10,00000000", "5,00000000"}));
    EXPECT_EQ(ColumnOf(g, 2, 1, 3), (Texts{"100,00", "110,00", "115,50"}));
    EXPECT_EQ(ColumnOf(g, 4, 1, 3), (Texts{"2", "10,00000000", "5,00000000"}));
    EXPECT_EQ(ColumnOf(g, 5, 1, 3), (Texts{"200,00", "1.000,00", "500,00"}));
    EXPECT_EQ(g.Cell(12, 4), "<b>1.374,50</b>");

    // A month without an index cannot carry the revised benefit on: the
    // evolution stops, naming it.
    corr = GridOf({"Data|Índice", "07/1994|2", "09/1994|5"});
    EXPECT_EQ(MessageOf<ECellValueError>([&] { evolucao(in, t, g); }),
              "O mês 08/1994 não está na tabela crmensalrev3.tab");
}

namespace {

TRevisionReport ReportCase(const TCellMatrix& salaries, const TCellMatrix& cabeca,
                           const TCellMatrix& evolution) {
    TRevisionReport in;
    in.Cfont = "10";
    in.Cnomefont = "Arial";
    in.LabelA = "a) Soma :";
    in.LabelB = "b) Nº :";
    in.LabelSalarios = "Salários :";
    in.LabelI = "i) Nova RMI em : ";
    in.LabelI2 = " ( h * Coeficiente [";
    in.LabelJ = "j) Incremento :";
    in.EditAValue = 100000;
    in.EditB = "36";
    in.EditI = "582,86";
    in.EditJ = "5,90012086";
    in.Lnovarmiem = "01/07/1994";
    in.Lcoeficiente = "100%))";
    in.Catualizacao = AtualizacaoNames[1];
    in.Salariosd = &salaries;
    in.cabeca = &cabeca;
    in.SEvolucao = &evolution;
    return in;
}

} // namespace

TEST(RevisionReport, FirstLinesAndEscapedTexts) {
    TCellMatrix salaries = GridOf({"Data|Valor", "02/1994|1.234,56"});
    TCellMatrix cabeca = GridOf({"Autor:|Silva & <Filhos>"});
    TCellMatrix evolution =
        GridOf({"Competência|Total", "07/1994|1,00", "<b>TOTAL:</b>|<b>x<y</b>"});
    std::vector<std::string> lines = printrevisaoLines(ReportCase(salaries, cabeca, evolution));
    const std::string cell = "<td> <p class=MsoNormal align=right style=\"text-align:right\">";
    const Texts first = {
        "<html>",
        "<head>",
        "<title>Revisão</title>",
        "<tr><td><p></p></td></tr>",
        "<div align=center>",
        "<span style=\"font-size:10.0pt;font-family:Arial\">",
        "<tr><td><p><b>CÁLCULO DA NOVA RMI COM APLICAÇÃO DO IRSM DE 02/1994 "
        "(39,67%)</b></p></td></tr>",
        "<div align=left>",
        "<tr><td><p><b>a) Soma : </b>100.000,00</p></td></tr>",
        "<tr><td><p><b>b) Nº : </b>36</p></td></tr>",
        "<tr><td><p><b>Salários :</b></p></td></tr></div>",
        "\r\n<div align=center><table border =1 >\r\n",
        "<tr>\r\n" + cell + "<b>Data</b></td>" + cell + "<b>Valor</b></td></tr>",
        "<tr>\r\n" + cell + "02/1994</td>" + cell + "1.234,56</td></tr>",
        "</div></table>",
    };
    ASSERT_GE(lines.size(), first.size());
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + first.size()), first);

    auto has = [&](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_TRUE(has("<tr><td><p><b>i) Nova RMI em : 01/07/1994  ( h * Coeficiente [100%)): "
                    "</b>582,86</p></td></tr>"));
    EXPECT_TRUE(has("<tr><td><p><b>j) Incremento : </b>5,90012086</p></td></tr></div>"));
    EXPECT_TRUE(
        has("<tr><td><p><b>Tabela usada: inpc-irsm-urv-ipcr-inpc-igpdi-inpc</b></p></td></tr>"));
    const std::string left = "<td> <p class=MsoNormal align=left style=\"text-align:left\">";
    EXPECT_TRUE(has("<tr>\r\n" + left + "<b>Autor:</b></td>" + left +
                    "Silva &amp; &lt;Filhos&gt;</td></tr>"));
    // The totals row keeps its own bold and nothing else.
    EXPECT_TRUE(has("<tr>\r\n" + cell + "<b>TOTAL:</b></td>" + cell + "<b>x&lt;y</b></td></tr>"));
    EXPECT_EQ(lines.back(), "</html>");

    // The salaries as typed when they were corrected by the form.
    TRevisionReport in = ReportCase(salaries, cabeca, evolution);
    TCellMatrix typed = GridOf({"Data|Salário|Índice|Salário Atualizado|*"});
    in.Ratualizar = true;
    in.STGSalarios = &typed;
    lines = printrevisaoLines(in);
    EXPECT_NE(lines[12].find("<b>Salário Atualizado</b>"), std::string::npos);
}

TEST(RevisionReport, FailedWriteKeepsThePreviousReport) {
    TCellMatrix g(1, 1);
    std::vector<std::string> shown;
    printrevisao(ReportCase(g, g, g), "/nonexistent/velorim",
                 [&](const std::string& m) { shown.push_back(m); });
    EXPECT_EQ(shown, Texts{"File access error"});
}

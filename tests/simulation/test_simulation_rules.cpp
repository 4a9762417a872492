// The simulation's rules on small tables worked out by hand (see
// simulation_env.h): the largest 80 %, the older rules to 10/1999 and to
// 11/1998, the factor, the coefficient and the minimum-wage floor.
#include "simulation_env.h"

#include "platform/runtime/errors.h"

namespace {

using Rules = SimulationTest;

std::string Money(long double v) {
    return FormatFloat("#,##0.00", v);
}

TEST_F(Rules, LargestEightyPercentWithFactorAndCeiling) {
    HundredSalaries();
    Form6->calcSalCorrigido();
    Form6->calcAtual();
    const TCellMatrix& g = Form6->geralgrid->Matrix();
    ASSERT_EQ(g.RowCount(), 101);
    // 07/1994 is corrected by 2, which takes it out of the smallest.
    EXPECT_EQ(g.Cell(3, 1), "2.020,00");
    EXPECT_EQ(g.Cell(4, 1), "");
    for (int i = 2; i <= 11; ++i) EXPECT_EQ(g.Cell(4, i), "*") << i;
    EXPECT_EQ(g.Cell(4, 12), "");
    // 3.000,00 of 08/1998 is cut at the ceiling of 07/1994; the last months
    // fall under the ceiling of 01/2002, not the table's first row.
    EXPECT_EQ(g.Cell(1, 50), "1.900,00");
    EXPECT_EQ(g.Cell(4, 50), "**");
    EXPECT_EQ(g.Cell(1, 100), "2.000,00");
    EXPECT_EQ(g.Cell(4, 100), "");

    const simulacao::TSimResults& r = Form6->Resultados;
    // 2.020 + (1.120 .. 2.000 step 10, 1.500 raised to 1.900) = 141.260 over 90.
    EXPECT_EQ(Money(r.soma), "141.260,00");
    EXPECT_EQ(r.divisor, 90);
    EXPECT_EQ(Money(r.mediaSemFator), "1.569,56");
    // (0,31 x 35 / 21) x (1 + (0,31 x 35 + 60) / 100)
    EXPECT_EQ(FormatFloat("0.000000", r.fator), "0,882725");
    EXPECT_EQ(r.idadeTexto, "60,0");
    EXPECT_EQ(r.salbeneficio, "1.385,49");

    // 100 salaries: the 50 most recent on the left, numbered from 10/2002.
    const TCellMatrix& d = Form6->griddemo->Matrix();
    EXPECT_EQ(d.RowCount(), 51);
    EXPECT_EQ(d.Row(1).CommaText(), "1,10/2002,\"2.000,00\",\"1,00000\",\"2.000,00\",,,51,08/1998,\"1.900,00\",\"1,00000\",\"1.900,00\",**");
    EXPECT_EQ(d.Cell(8, 50), "07/1994");
    EXPECT_EQ(d.Cell(7, 50), "100");
}

TEST_F(Rules, ATeachersMeanTakesTheFactorTwice) {
    // A man teacher with 30 years: the factor of 30 + 5 bonus years, then
    // once more with five years more (40 in all).
    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kProfessor]);
    Form6->Edit9->SetText("30");
    HundredSalaries();
    Form6->calcSalCorrigido();
    Form6->calcAtual();
    const simulacao::TSimResults& r = Form6->Resultados;
    // 1.569,5556 x 0,882725 x ((0,31 x 40 / 21) x (1 + (0,31 x 40 + 60) / 100) = 1,017981)
    EXPECT_EQ(Money(r.media), "1.410,40");
    EXPECT_EQ(FormatFloat("0.000000", r.fator), "0,898597");
    // The salary-of-benefit text takes the first factor alone.
    EXPECT_EQ(r.salbeneficio, "1.385,49");
    EXPECT_EQ(FormatFloat("0.00", r.tempocontrib), "30,00");
}

TEST_F(Rules, FewSalariesDivideByNinetyAndMeetTheFloor) {
    Form6->criaindice();
    SetSalary("09/2002", "100,00");
    SetSalary("10/2002", "200");
    Form6->calcSalCorrigido();
    Form6->calcAtual();
    const simulacao::TSimResults& r = Form6->Resultados;
    EXPECT_EQ(Form6->geralgrid->RowCount(), 3);
    EXPECT_EQ(r.divisor, 90);
    EXPECT_EQ(Money(r.mediaSemFator), "3,33");
    // The report's mean is the plain one of the two salaries.
    EXPECT_EQ(r.divisorRelatorio, 2);
    EXPECT_EQ(Money(r.mediaRelatorio), "150,00");
    // 2,94 after the factor: raised to the wage in force in 10/2002, not to
    // the table's last one.
    EXPECT_EQ(r.salbeneficio, "200,00");
    EXPECT_EQ(Money(r.media), "200,00");
    const TCellMatrix& d = Form6->griddemo->Matrix();
    EXPECT_EQ(d.RowCount(), 2);
    EXPECT_EQ(d.Cell(1, 1), "10/2002");
    EXPECT_EQ(d.Cell(8, 1), "09/2002");
    EXPECT_EQ(d.Cell(7, 1), "2");
}

TEST_F(Rules, NoSalaryStopsWithAMessage) {
    Form6->criaindice();
    Form6->calcSalCorrigido();
    EXPECT_THROW(Form6->calcAtual(), EAbort);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Não há salários de contribuição para o cálculo."});
}

TEST_F(Rules, WorkingTableFollowsTheDates) {
    Form6->MaskEdit2->SetText("15/03/2002");
    Form6->criaindice();
    EXPECT_EQ(Form6->geralgrid->Cells(2, 1), "2,00000");
    // An end month whose factor is not 1: the factors are carried to it.
    Table("indicegrid").SetCell(1, 9, "1,25000");
    Form6->MaskEdit2->SetText("15/03/1995");
    Form6->criaindice();
    const TCellMatrix& g = Form6->geralgrid->Matrix();
    ASSERT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.Cell(0, 1), "07/1994");
    EXPECT_EQ(g.Cell(2, 1), "1,60000");
    EXPECT_EQ(g.Cell(2, 2), "0,80000");
    EXPECT_EQ(g.Cell(2, 9), "1,00000");
    EXPECT_EQ(g.Cell(0, 9), "03/1995");
    EXPECT_EQ(Form6->salariogrid->RowCount(), 10);
    EXPECT_EQ(Form6->salariogrid->Cells(0, 9), "03/1995");
    // The index table itself is left as it was.
    EXPECT_EQ(Table("indicegrid").RowCount(), 102);

    Form6->MaskEdit2->SetText("01/01/2010");
    EXPECT_THROW(Form6->criaindice(), EAbort);
    EXPECT_EQ(Messages(), std::vector<std::string>{"O mês 01/2010 não consta da tabela de índices (tabela.tab)."});
}

TEST_F(Rules, FactorBonusAgeAndFloor) {
    // A woman teacher gets 10 more years; 60 years and 11 months make 61,0
    // (months are counted over 11).
    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kProfessor]);
    Form6->RBFeminino->SetChecked(true);
    Form6->MaskEdit3->SetText("01/11/1941");
    long double f = Form6->fatorx("20", "0", "0,31", "0");
    EXPECT_EQ(Form6->Resultados.idadeTexto, "61,0");
    EXPECT_EQ(FormatFloat("0.000000", f), "0,791895");
    EXPECT_EQ(FormatFloat("0.00", Form6->Resultados.tempocontrib), "20,00");

    // Old age never loses by the factor.
    Form6->ComboBox2->SetText(simulacao::Beneficios[simulacao::kIdade]);
    Form6->RBMasculino->SetChecked(true);
    EXPECT_EQ(Form6->fatorx("15", "0", "0,31", "0"), 1);

    // A date the survival table does not reach stops the step.
    Form6->MaskEdit2->SetText("01/12/2003");
    EXPECT_THROW(Form6->fatorx("15", "0", "0,31", "0"), EAbort);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Não há expectativa de sobrevida na tabela Exp. "
                                                   "Sobrevida para a idade 62,1 em 01/12/2003."});
}

TEST_F(Rules, CoefficientAndMinimumContributions) {
    const std::string tc = simulacao::Beneficios[simulacao::kTempoContribuicao];
    // 70 % + 6 % for each year from 30 to 35, whole years only.
    EXPECT_EQ(Form6->coeficientex(tc, true, 32.5L, 1000), "820,00");
    EXPECT_EQ(Form6->coeficientex(tc, true, 36, 1000), "1.000,00");
    // The 100 % cap.
    EXPECT_EQ(Form6->coeficientex(tc, true, 35, 1000), "1.000,00");
    EXPECT_EQ(Form6->coeficientex(simulacao::Beneficios[simulacao::kAuxilioDoenca], true, 2, 1000),
              "910,00");

    EXPECT_THROW(Form6->coeficientex(tc, true, 10, 1000), EAbort);
    EXPECT_THROW(Form6->coeficientex(tc, false, 10, 1000), EAbort);
    const std::string text = "O número mínimo de contribuições mensais para o cumprimento da carência não foi atingido 180,00";
    EXPECT_EQ(Messages(), (std::vector<std::string>{text + " Contribuições", text + "Contribuições"}));

    EXPECT_THROW(Form6->coeficientex("Pensão", true, 30, 1000), EAbort);
}

TEST_F(Rules, RulesToOctober1999) {
    HundredSalaries();
    Form6->calcSalCorrigido();
    Form6->calc99();
    const simulacao::TSimResults& r = Form6->Resultados;
    // 11/1996 .. 10/1999 (i = 29 .. 64), 08/1998 cut at 1.900,00.
    EXPECT_EQ(Money(r.soma), "53.140,00");
    EXPECT_EQ(r.divisor, 36);
    EXPECT_EQ(r.salbeneficio, "1.476,11");
    const TCellMatrix& g = Form6->geralgrid->Matrix();
    EXPECT_EQ(g.Cell(10, 64), "1.640,00");
    EXPECT_EQ(g.Cell(10, 28), "");
    EXPECT_EQ(g.Cell(10, 65), "");
    EXPECT_EQ(Form6->griddemo->RowCount(), 19);
    EXPECT_EQ(Form6->griddemo->Cells(1, 1), "10/1999");
}

TEST_F(Rules, RulesToOctober1999ShowTheIndexOfTheMonthBefore) {
    TCellMatrix& indice = Table("indicegrid");
    for (int r = 1; r < indice.RowCount(); ++r)  // each month its own factor
        indice.SetCell(1, r, FormatFloat("0.00000", 1 + r / 1000.0L));
    HundredSalaries();
    SetSalary("09/1999", "");  // dropped from the working table
    Form6->calcSalCorrigido();
    Form6->calc99();
    const TCellMatrix& g = Form6->geralgrid->Matrix();
    const int october = g.RowCount() - 37;
    ASSERT_EQ(g.Cell(0, october), "10/1999");
    EXPECT_EQ(g.Cell(9, october), indice.Cell(1, 63));  // 09/1999, not the row above
    EXPECT_EQ(indice.Cell(0, 63), "09/1999");
    EXPECT_EQ(g.Cell(9, october - 1), indice.Cell(1, 61));  // 08/1999's: 07/1999
}

TEST_F(Rules, RulesToOctober1999CountOnlyFortyEightMonths) {
    Form6->criaindice();
    // 10/1995 is 49 months before 10/1999; twenty salaries inside.
    SetSalary("10/1995", "5.000,00");
    for (TDateTime d = EncodeDate(1997, 11, 1); d <= EncodeDate(1999, 6, 1); d = IncMonth(d, 1))
        SetSalary(FormatDateTime("mm/yyyy", d), "100,00");
    Form6->calcSalCorrigido();
    Form6->calc99();
    EXPECT_EQ(Money(Form6->Resultados.soma), "2.000,00");
    EXPECT_EQ(Form6->Resultados.divisor, 24);
    EXPECT_EQ(Form6->Resultados.salbeneficio, "83,33");

    Form6->criaindice();
    for (int r = 1; r < Form6->salariogrid->RowCount(); ++r) Form6->salariogrid->Matrix().SetCell(1, r, "");
    SetSalary("10/1995", "100,00");
    Form6->calcSalCorrigido();
    EXPECT_THROW(Form6->calc99(), EAbort);
    EXPECT_EQ(Messages().back(), "Não existe contribuição no período de 11/1996 a 10/1999");
}

TEST_F(Rules, AmendmentTwentyWithCoefficientAndEvolution) {
    Form6->Edit9->SetText("32");
    Form6->criaindice();
    for (TDateTime d = EncodeDate(1995, 8, 1); d <= EncodeDate(1998, 11, 1); d = IncMonth(d, 1))
        SetSalary(FormatDateTime("mm/yyyy", d), "1.000,00");
    Form6->calcSalCorrigido98();
    Form6->calcEC20();
    const TCellMatrix& g = Form6->geralgrid2->Matrix();
    ASSERT_EQ(g.RowCount(), 37);
    EXPECT_EQ(g.Cell(0, 1), "12/1995");
    EXPECT_EQ(g.Cell(8, 1), "1.100,00");
    const simulacao::TSimResults& r = Form6->Resultados;
    // 35 x 1.100 + 1.000 over 36; 32 years: 70 % + 2 x 6 %.
    EXPECT_EQ(Money(r.soma), "39.500,00");
    EXPECT_EQ(r.salbeneficio, "1.097,22");
    EXPECT_EQ(FormatFloat("0.00", r.coeficiente), "0,82");
    const TCellMatrix& c = Form6->gridcorrecao->Matrix();
    // 12/1998 to 10/2002.
    ASSERT_EQ(c.RowCount(), 48);
    EXPECT_EQ(c.Row(1).CommaText(), "12/1998,\"899,72\",X,1,\"899,72\",");
    EXPECT_EQ(c.Cell(0, 7), "06/1999");
    EXPECT_EQ(c.Cell(4, 7), "941,20");
    EXPECT_EQ(c.Cell(1, 8), "941,20");
    EXPECT_EQ(c.Cell(0, 47), "10/2002");
    EXPECT_EQ(r.beneficioEvoluido, "941,20");
    // The time came through the factor, which also kept the age.
    EXPECT_EQ(FormatFloat("0.00", r.tempocontrib), "32,00");
    EXPECT_EQ(r.idadeTexto, "60,0");

    Form6->MaskEdit3->SetText("01/10/1950");  // an age the survival table lacks: the factor stops it
    Form6->calcSalCorrigido98();
    EXPECT_THROW(Form6->calcEC20(), EAbort);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("Não há expectativa de sobrevida", 0), 0u);
}

TEST_F(Rules, AmendmentTwentyRaisedToTheMinimumWage) {
    Form6->Edit9->SetText("32");
    Form6->criaindice();
    for (TDateTime d = EncodeDate(1995, 8, 1); d <= EncodeDate(1998, 11, 1); d = IncMonth(d, 1))
        SetSalary(FormatDateTime("mm/yyyy", d), "100,00");
    Form6->calcSalCorrigido98();
    Form6->calcEC20();
    const TCellMatrix& c = Form6->gridcorrecao->Matrix();
    // 89,97 is below the 130,00 of 11/1998; the wage of 05/1999 carries on.
    EXPECT_EQ(c.Row(1).CommaText(), "12/1998,\"130,00\",X,1,\"130,00\",\"Salário Mínimo\"");
    EXPECT_EQ(c.Row(7).CommaText(), "06/1999,\"136,00\",X,\"1,0461\",\"142,27\",\"Salário Mínimo\"");
}

TEST_F(Rules, AmendmentTwentyWithoutSalaries) {
    Form6->criaindice();
    SetSalary("05/1999", "1.000,00");
    EXPECT_THROW(Form6->calcSalCorrigido98(), EAbort);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Não existe contribuições nos 48 meses anteriores a 16/12/1998"});
}

TEST_F(Rules, TextDateAndLimitHelpers) {
    using simulacao::tempocontribuicao;
    EXPECT_EQ(tempocontribuicao(2, 11, 5), "3 Grupos de 12 Contribuições");
    EXPECT_EQ(tempocontribuicao(1, 0, 0), "1 Grupo de 12 Contribuição");
    EXPECT_EQ(tempocontribuicao(1, 0, 3), "1 Grupo e 1Contribuição");
    EXPECT_EQ(tempocontribuicao(5, 3, 0), "5 Grupos e 3Contribuições");
    EXPECT_EQ(tempocontribuicao(5, 1, 0), "5 Grupos e 1Contribuição");
    EXPECT_EQ(tempocontribuicao(0, 5, 0), "5 Contribuições");
    EXPECT_EQ(tempocontribuicao(1, 4, 0), "1 Grupo e 4Contribuições");

    EXPECT_EQ(Form6->retornameses("10/05/2000", "10/05/2000"), "1");
    EXPECT_EQ(Form6->retornameses("10/05/2000", "09/05/2000"), "0");
    EXPECT_EQ(Form6->retornameses("01/01/2000", "31/12/2000"), "12");
    EXPECT_EQ(Form6->retornameses("31/01/2000", "29/02/2000"), "2");

    EXPECT_EQ(Form6->RemoveTPontoS("1.234,5 anos"), "12345");
    EXPECT_EQ(Form6->RemovePontoS("R$ -1.234,5"), "-1234,5");
    EXPECT_TRUE(Form6->tbStrIsDate("  /  /    "));
    EXPECT_FALSE(Form6->tbStrIsDate("31/02/2000"));
    EXPECT_TRUE(Form6->StrIsFloat("1,5"));
    EXPECT_FALSE(Form6->StrIsFloat("1.5x"));

    // The ceiling row's month is the date's; an amount equal to it is cut.
    EXPECT_EQ(Form6->devolvevalor("5.000,00", "01/01/2002"), "5.000,00");
    EXPECT_EQ(Form6->marcalimite, "Teto");
    EXPECT_EQ(Form6->devolvevalor("80", "01/11/1998"), "130,00");
    EXPECT_EQ(Form6->marcalimite, "SM");
    EXPECT_EQ(Form6->devolvevalor("9.999", "15/03/2001"), "9.999,00");
    EXPECT_EQ(Form6->marcalimite, "");
}

} // namespace

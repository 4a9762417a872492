#include <gtest/gtest.h>

#include "arrears_case.h"

using calc::TArrearsEngine;

TEST(ArrearsLayout, MonthRowsAndIndexColumns) {
    ArrearsCase c;
    TArrearsEngine engine(c.planilha, c.Tables(), c.in, c.marcalimite);
    engine.incdata("15/03/1990", "10/06/1990");
    EXPECT_EQ(ColumnOf(c.planilha, 0), (Texts{"03/1990", "04/1990", "05/1990"}));

    // A month missing from the correction table has no factor: it stops.
    ArrearsCase::Set(c.GridCorrRev, "04/1990", 0, "gone");
    ArrearsCase::Set(c.GridCorrRev, "05/1990", 1, "1,25");
    ArrearsCase::Set(c.GridCorrRev, "05/1990", 2, "3.674,06");
    ArrearsCase::Set(c.GridCorrRev, "03/1990", 2, "1.283,95");
    ArrearsCase::Set(c.GridCorrRev, "05/1990", 3, "Cruzeiro");
    {
        TArrearsEngine gap(c.planilha, c.Tables(), c.in, c.marcalimite);
        EXPECT_EQ(MessageOf<ECellValueError>([&] { gap.colocaindice(); }),
                  "O mês 04/1990 não está na tabela crmensalrev3.tab");
    }
    ArrearsCase::Set(c.GridCorrRev, "gone", 0, "04/1990");
    TArrearsEngine again(c.planilha, c.Tables(), c.in, c.marcalimite);
    again.colocaindice();
    EXPECT_EQ(ColumnOf(c.planilha, 1), (Texts{"1", "1", "1,25"}));
    EXPECT_EQ(ColumnOf(c.planilha, 4), (Texts{"1", "1", "1,25"}));
    EXPECT_EQ(ColumnOf(c.planilha, 13), (Texts{"Real", "Real", "Cruzeiro"}));
    EXPECT_EQ(FormatFloat("0.00", calc::salminicial), "1283,95");

    // Currency cuts: 03/1986 only without the ADCT-from-concession box.
    c.planilha.SetCell(0, 1, "03/1986");
    c.planilha.SetCell(0, 2, "03/1994");
    EXPECT_EQ(again.divmoeda(2, 1, false), 1000);
    EXPECT_EQ(again.divmoeda(2, 1, true), 1);
    EXPECT_EQ(again.divmoeda(1, 2, false), 661.0052L);
    EXPECT_EQ(again.divmoeda(1, 2, true), 661.0052L);
}

TEST(ArrearsLayout, AdctAndProportionalFirstReadjustment) {
    ArrearsCase c;
    for (const char* m : {"04/1989", "05/1989", "12/1991", "01/1992"}) {
        ArrearsCase::Set(c.GridCorrRev, m, 1, "1,5");
        ArrearsCase::Set(c.GridCorrRev, m, 2, std::string("SM ") + m);
    }
    c.in.Cadct1 = true;
    c.Period("01/04/1989", "31/01/1992", "01/01/1980");
    TArrearsEngine engine(c.planilha, c.Tables(), c.in, c.marcalimite);
    engine.incdata(c.in.Dataini, c.in.Datafim);
    engine.colocaindice();
    EXPECT_EQ(c.At("04/1989", 1), "1,5");
    EXPECT_EQ(c.At("05/1989", 1), "SM 05/1989");
    EXPECT_EQ(c.At("12/1991", 1), "SM 12/1991");
    EXPECT_EQ(c.At("01/1992", 1), "1,5");
    EXPECT_EQ(c.At("05/1989", 4), "1,5");

    // The first readjustment after a start in 01/1996 is proportional.
    ArrearsCase p;
    ArrearsCase::Set(p.GridCorrRev, "05/1996", 1, "1,15");
    ArrearsCase::Set(p.GridCorrRev, "05/1997", 1, "1,07");
    ArrearsCase::AddRow(p.tabatusal, {"01/1996", "12,5"});
    p.in.PropDate = EncodeDate(1996, 5, 1);
    TArrearsEngine prop(p.planilha, p.Tables(), p.in, p.marcalimite);
    prop.incdata("01/01/1996", "31/12/1997");
    prop.colocaindice();
    EXPECT_EQ(p.At("05/1996", 1), "1,125000");
    EXPECT_EQ(p.At("05/1996", 4), "1,125000");
    EXPECT_EQ(p.At("05/1997", 1), "1,07");

    // A first readjustment before the date is not made proportional later:
    // 05/1996 keeps its full factor for a start in 06/1992.
    ArrearsCase::Set(p.GridCorrRev, "09/1992", 1, "2,2");
    ArrearsCase::AddRow(p.tabatusal, {"06/1992", "80,5517"});
    TArrearsEngine early(p.planilha, p.Tables(), p.in, p.marcalimite);
    early.incdata("01/06/1992", "31/12/1996");
    early.colocaindice();
    EXPECT_EQ(p.At("09/1992", 1), "2,2");
    EXPECT_EQ(p.At("05/1996", 1), "1,15");
}

TEST(ArrearsEvolution, MonthByMonthWithCurrencyChanges) {
    ArrearsCase c;
    ArrearsCase::Set(c.GridCorrRev, "03/1986", 1, "1,10");
    ArrearsCase::Set(c.GridCorrRev, "04/1986", 1, "1,10");
    ArrearsCase::Set(c.GridCorrRev, "02/1986", 2, "800,00");
    ArrearsCase::Set(c.GridCorrRev, "03/1986", 2, "804,00");
    ArrearsCase::Set(c.GridCorrRev, "04/1986", 2, "804,00");
    c.in.Cadct2inss = true; // the INSS side keeps its number of minimum wages
    c.in.Vinss = 100'000;
    c.in.Vautor = 100;
    c.Period("01/02/1986", "30/04/1986", "01/01/1980");
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 2, 1, 3), (Texts{"100.000,00", "110,00", "121,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 5, 1, 3), (Texts{"100,00", "100,50", "100,50"}));

    ArrearsCase urv;
    urv.in.Vinss = 66'100.52L;
    urv.in.Vautor = 661.01L;
    urv.Period("01/02/1994", "31/03/1994", "01/01/1980");
    urv.Run();
    EXPECT_EQ(urv.At("03/1994", 2), "100,00");
    EXPECT_EQ(urv.At("03/1994", 5), "1,00");
}

TEST(ArrearsEvolution, ThirteenthSalaryRows) {
    ArrearsCase c;
    ArrearsCase::Set(c.GridCorrRev, "12/1990", 1, "1,20");
    ArrearsCase::Set(c.GridCorrRev, "12/1990", 3, "Cruzeiro");
    c.in.Check13 = true;
    c.Period("01/05/1990", "31/01/1992", "01/01/1980");
    c.Run();
    EXPECT_EQ(c.planilha.RowCount(), 1 + 21 + 2 + 1);
    int dec = c.Row("12/1990");
    EXPECT_EQ(c.planilha.Cell(0, dec + 1), "12/1990");
    EXPECT_EQ(c.planilha.Cell(1, dec + 1), "1,20");
    EXPECT_EQ(c.At("12/1990", 2), "240,00");
    EXPECT_EQ(c.At("12/1990", 2, 2), "160,00"); // 240 x 8 / 12
    EXPECT_EQ(c.At("12/1990", 5, 2), "80,00");
    EXPECT_EQ(c.At("12/1991", 2, 2), "240,00"); // a whole year
    EXPECT_EQ(c.At("01/1991", 2), "240,00");    // January follows December, not the 13th
    EXPECT_EQ(c.At("12/1990", 13, 2), "");      // currency is not copied
}

TEST(ArrearsEvolution, AdctFromMay1989KeepsTheFirstMonthsWages) {
    ArrearsCase c;
    ArrearsCase::Set(c.GridCorrRev, "03/1989", 2, "40,00");
    ArrearsCase::Set(c.GridCorrRev, "04/1989", 1, "1,10");
    ArrearsCase::Set(c.GridCorrRev, "05/1989", 2, "80,00");
    ArrearsCase::Set(c.GridCorrRev, "06/1989", 2, "100,00");
    c.in.Cadct1 = true;
    c.Period("01/03/1989", "30/06/1989", "01/01/1980");
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 2, 1, 4), (Texts{"200,00", "220,00", "400,00", "500,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 5, 1, 4), (Texts{"100,00", "110,00", "110,00", "110,00"}));

    // Without the first month's minimum wage it stops with a message.
    ArrearsCase::Set(c.GridCorrRev, "03/1989", 2, "0");
    EXPECT_THROW(c.Run(), calc::ECalcError);
}

TEST(ArrearsEvolution, CeilingAndCarryWithoutCeiling) {
    ArrearsCase c;
    ArrearsCase::Set(c.gridiinss, "02/2000", 1, "900,00");
    ArrearsCase::Set(c.gridiinss, "03/2000", 1, "1.000,00");
    ArrearsCase::Set(c.GridCorrRev, "03/2000", 1, "1,10");
    c.in.Vinss = 1000;
    c.Period("01/01/2000", "31/03/2000", "01/01/1980");
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 2, 1, 3), (Texts{"1.000,00", "900,00", "990,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 3, 2, 3), (Texts{"Teto", ""}));

    c.in.Dteto = false; // marked, not cut
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 2, 1, 3), (Texts{"1.000,00", "1.000,00", "1.100,00"}));
    EXPECT_EQ(ColumnOf(c.planilha, 3, 2, 3), (Texts{"Teto", "Teto"}));

    // The carry without ceiling evolves the unlimited value and shows it
    // limited; the working columns are gone afterwards.
    c.in.Dteto = true;
    c.in.Csteto = true;
    c.Run();
    EXPECT_EQ(ColumnOf(c.planilha, 2, 1, 3), (Texts{"1.000,00", "900,00", "1.000,00"}));
    EXPECT_EQ(c.planilha.ColCount(), 14);
}

TEST(ArrearsEvolution, CorrectionSeries) {
    ArrearsCase c;
    TCellMatrix srviii = GridOf({"Mês|Fator", "01/2000|1,5", "02/2000|1,2"});
    calc::TTableGrids tables = c.Tables();
    tables.SRVIII = &srviii;
    c.Period("01/01/2000", "31/03/2000", "01/01/1980");
    c.in.ComboBox1 = calc::SeriesNames[3];
    // A month the series lacks has no factor: the step stops naming it.
    EXPECT_EQ(MessageOf<ECellValueError>([&] {
                  calc::TArrearsEngine(c.planilha, tables, c.in, c.marcalimite).Calcular();
              }),
              "O mês 03/2000 não está na tabela "
              "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab");
    srviii = GridOf({"Mês|Fator", "01/2000|1,5", "02/2000|1,2", "03/2000|1"});
    calc::TArrearsEngine(c.planilha, tables, c.in, c.marcalimite).Calcular();
    EXPECT_EQ(ColumnOf(c.planilha, 8, 1, 3), (Texts{"1,5", "1,2", "1"}));
    EXPECT_EQ(ColumnOf(c.planilha, 9, 1, 3), (Texts{"150,00", "120,00", "100,00"}));

    c.in.ComboBox1 = "ipca";
    EXPECT_EQ(MessageOf<calc::ECalcError>([&] {
                  calc::TArrearsEngine(c.planilha, tables, c.in, c.marcalimite).Calcular();
              }),
              "Índice de correção desconhecido: 'ipca'");

    // A series that was never generated leaves "Correção" empty, and the
    // step stops naming the cell.
    c.in.ComboBox1 = calc::SeriesNames[2];
    c.Period("01/05/1990", "30/06/1990", "01/01/1980");
    EXPECT_EQ(MessageOf<ECellValueError>([&] { c.Run(); }),
              "Valor inválido na linha 05/1990, coluna Correção: ''");
    EXPECT_EQ(c.At("06/1990", 2), "200,00");
}

// A readjustment given only to starts up to a month is none for a later
// start, nor its first; the first readjustment of a start its proportional
// table lacks is refused, unless the start comes before the table's first row.
TEST(ArrearsLayout, FirstReadjustmentOfALaterStart) {
    ArrearsCase c;
    c.GridCorrRev.SetColCount(5);
    ArrearsCase::Set(c.GridCorrRev, "06/2000", 1, "1,0581");
    ArrearsCase::Set(c.GridCorrRev, "09/2000", 1, "1,01");
    ArrearsCase::Set(c.GridCorrRev, "09/2000", calc::StartedUpToColumn, "05/2000");
    ArrearsCase::Set(c.GridCorrRev, "06/2001", 1, "1,0766");
    for (const char* row : {"05/2000|0,5", "06/2000|7,66", "07/2000|7,34", "09/2000|6,00"}) {
        const TCellMatrix line = GridOf({"", row});
        ArrearsCase::AddRow(c.tabatusal, {line.Cell(0, 1), line.Cell(1, 1)});
    }
    c.in.PropDate = EncodeDate(1996, 5, 1);
    auto firstReadjustments = [&](const char* start) {
        c.Period(std::string("01/") + start, "31/12/2001", "01/01/1980");
        TArrearsEngine engine(c.planilha, c.Tables(), c.in, c.marcalimite);
        engine.incdata(c.in.Dataini, c.in.Datafim);
        engine.colocaindice();
        return c.At("09/2000", 1) + " " + c.At("06/2001", 1) + " " + c.At("06/2001", 4);
    };
    EXPECT_EQ(firstReadjustments("07/2000"), "1 1,073400 1,073400");
    EXPECT_EQ(firstReadjustments("09/2000"), "1 1,060000 1,060000");
    // The proportional table's percentage already holds the supplement.
    EXPECT_EQ(firstReadjustments("05/2000"), "1 1,0766 1,0766");

    tabelas::TTableRefusal refusal;
    c.Period("01/08/2000", "31/12/2001", "01/01/1980");
    ASSERT_TRUE(calc::FirstReadjustmentRefusal(c.in, c.GridCorrRev, c.tabatusal, refusal));
    EXPECT_EQ(refusal.file, "atuaprev.tab");
    EXPECT_NE(refusal.problem.find("08/2000"), std::string::npos);
    EXPECT_NE(refusal.action.find("reajuste de 06/2001"), std::string::npos);
    EXPECT_NE(MessageOf<calc::ECalcError>([&] { firstReadjustments("08/2000"); })
                  .find("atuaprev.tab não tem o mês 08/2000"),
              std::string::npos);
    // After the proportional date's change the readjustment is made whole.
    c.in.PropDate = EncodeDate(2001, 7, 1);
    EXPECT_FALSE(calc::FirstReadjustmentRefusal(c.in, c.GridCorrRev, c.tabatusal, refusal));
    EXPECT_EQ(firstReadjustments("08/2000"), "1 1,0766 1,0766");
    EXPECT_EQ(firstReadjustments("05/2000"), "1,01 1,0766 1,0766");

    // A start before the first row of its window takes the whole readjustment.
    c.in.PropDate = EncodeDate(1996, 5, 1);
    c.tabatusal.SetRowCount(1);
    ArrearsCase::AddRow(c.tabatusal, {"09/2000", "6,00"});
    c.Period("01/07/2000", "31/12/2001", "01/01/1980");
    EXPECT_FALSE(calc::FirstReadjustmentRefusal(c.in, c.GridCorrRev, c.tabatusal, refusal));
    EXPECT_EQ(firstReadjustments("07/2000"), "1 1,0766 1,0766");
    // A window without any row is refused.
    c.Period("01/07/2001", "31/12/2002", "01/01/1980");
    ArrearsCase::Set(c.GridCorrRev, "06/2002", 1, "1,092");
    ASSERT_TRUE(calc::FirstReadjustmentRefusal(c.in, c.GridCorrRev, c.tabatusal, refusal));
    EXPECT_NE(refusal.problem.find("nenhum mês desse reajuste (inícios de 06/2001 a 05/2002)"),
              std::string::npos);
}

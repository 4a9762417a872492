#include <gtest/gtest.h>

#include "grid_text.h"
#include "grids/table_file.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"
#include "tables/series_generators.h"
#include "tables/table_names.h"

namespace {

struct NovaRmiCase {
    TCellMatrix Sdig{2, 2}, Sdem{5, 2}, indicegrid{2, 1};
    TCellMatrix GridSalmin = GridOf({"Data|Valor", "01/01/1990|100,00", "01/02/1990|100,00",
                                     "01/03/1990|100,00", "01/04/1990|100,00"});
    TCellMatrix gridiinss =
        GridOf({"Mês|Maior|Menor", "01/1990|1.000,00|500,00", "02/1990|1.000,00|500,00",
                "03/1990|1.000,00|500,00", "04/1990|2.000,00|1.000,00"});
    std::string marcalimite;
    std::vector<std::string> messages;
    calc::TNovaRmiInput in;

    NovaRmiCase() {
        indicegrid = GridOf({"Mês|Fator", "01/1990|2", "02/1990|2", "03/1990|1"});
        in.DateEdit1 = "01/01/1990";
        in.DateEdit2 = "31/03/1990";
        in.DateEdit2Date = EncodeDate(1990, 3, 31);
        in.DateEdit3 = "15/03/1990";
        in.divisor = 3;
        in.divisorText = "3";
        in.coef = 0.7L;
        in.coefText = "0,70";
    }
    calc::TNovaRmi Rmi() {
        calc::TTableGrids t;
        t.GridSalmin = &GridSalmin;
        t.gridiinss = &gridiinss;
        t.indicegrid = &indicegrid;
        return calc::TNovaRmi(Sdig, Sdem, t, marcalimite,
                              [this](const std::string& m) { messages.push_back(m); });
    }
    void Salaries(std::initializer_list<const char*> values) {
        Rmi().incdata2(in.DateEdit1, in.DateEdit2);
        int r = 1;
        for (const char* v : values)
            Sdig.SetCell(1, r++, v);
    }
    std::vector<std::string> Row(int r) const {
        std::vector<std::string> out;
        for (int c = 0; c < 5; ++c)
            out.push_back(Sdem.Cell(c, r));
        return out;
    }
};

} // namespace

TEST(NovaRmi, Lei8213LimitsEachSalaryInItsOwnMonth) {
    NovaRmiCase c;
    c.in.Csmt = true;
    c.Salaries({"50,00", "5.000,00", "300"});
    EXPECT_EQ(c.Rmi().Calcular(c.in), "583,33");
    EXPECT_EQ(c.Row(1), (Texts{"01/1990", "50,00", "2", "200,00", "SM"}));
    EXPECT_EQ(c.Row(2), (Texts{"02/1990", "5.000,00", "2", "2.000,00", "Teto"}));
    EXPECT_EQ(c.Row(3), (Texts{"03/1990", "300,00", "1", "300,00", ""}));
    EXPECT_EQ(c.Row(4), (Texts{"Soma", "", "", "2.500,00", ""}));
    EXPECT_EQ(c.Row(5), (Texts{"SB", "", "2.500,00 : 3", "833,33", ""}));
    EXPECT_EQ(c.Row(6), (Texts{"Coeficiente:", "", "833,33 x 0,70", "583,33", ""}));
    EXPECT_EQ(c.Row(7), (Texts{"RMI", "", "15/03/1990", "583,33", ""}));
    EXPECT_EQ(c.Sdem.RowCount(), 8);
}

TEST(NovaRmi, Decreto83080SplitsAtTheSmallerCeiling) {
    NovaRmiCase c;
    c.in.caplicar = true;
    c.in.coef = 0.95L;
    c.in.coefText = "0,95";
    c.in.umtrinta = 10;
    c.in.umtrintaText = "10";
    c.indicegrid = GridOf({"Mês|Fator", "01/1990|1", "02/1990|1", "03/1990|1"});
    c.Salaries({"1.500,00", "1.500,00", "1.500,00"});
    EXPECT_EQ(c.Rmi().Calcular(c.in), "1.116,67");
    EXPECT_EQ(c.Row(5), (Texts{"SB", "", "4.500,00 : 3", "1.500,00", ""}));
    EXPECT_EQ(c.Row(6), (Texts{"Maior teto", "", "2.000,00", "", ""}));
    EXPECT_EQ(c.Row(7), (Texts{"Menor teto", "", "1.000,00", "", ""}));
    EXPECT_EQ(c.Row(8), (Texts{"Parcela Básica RMI:", "", "1.000,00 x 0,95", "950,00", ""}));
    EXPECT_EQ(c.Row(9), (Texts{"Parcela Adicional RMI (10/30)", "", "", "166,67", ""}));
    EXPECT_EQ(c.Row(10), (Texts{"RMI:", "", "", "1.116,67", ""}));

    // Not above the smaller ceiling: the basic part alone.
    c.Salaries({"900,00", "900,00", "900,00"});
    EXPECT_EQ(c.Rmi().Calcular(c.in), "855,00");
    EXPECT_EQ(c.Row(8), (Texts{"Parcela Básica RMI:", "", "900,00 x 0,95", "855,00", ""}));
    EXPECT_EQ(c.Row(9), (Texts{"RMI:", "", "", "855,00", ""}));
    EXPECT_EQ(c.Sdem.RowCount(), 10);
}

TEST(NovaRmi, LastTwelveSalariesAndEmptyCells) {
    NovaRmiCase c;
    c.in.DateEdit2 = "01/12/1992";
    c.in.Catual24 = true;
    c.indicegrid.SetRowCount(37);
    for (int i = 0; i < 36; ++i) {
        TDateTime month = EncodeDate(1990 + i / 12, i % 12 + 1, 1);
        c.indicegrid.SetCell(0, i + 1, FormatDateTime("mm/yyyy", month));
        c.indicegrid.SetCell(1, i + 1, "1,5");
    }
    c.Rmi().incdata2(c.in.DateEdit1, c.in.DateEdit2);
    c.Sdig.SetCell(1, 1, "100,00");
    c.Rmi().Calcular(c.in);
    EXPECT_EQ(c.Sdem.Cell(2, 24), "1,5");
    EXPECT_EQ(c.Sdem.Cell(2, 25), "1");
    EXPECT_EQ(c.Sdem.Cell(2, 36), "1");
    EXPECT_EQ(c.Sdig.Cell(1, 2), "0");
    EXPECT_EQ(c.Sdem.Cell(3, 37), "150,00"); // Soma
}

TEST(NovaRmi, StopsNamingWhatIsMissing) {
    NovaRmiCase c;
    c.Salaries({"100", "100", "100"});
    c.in.divisor = 0;
    EXPECT_EQ(MessageOf<calc::ECalcError>([&] { c.Rmi().Calcular(c.in); }),
              "O divisor não pode ser zero");
    // A month the index table lacks stops before any salary is corrected.
    c.in.divisor = 3;
    c.indicegrid = GridOf({"Mês|Fator", "01/1990|2", "03/1990|1"});
    EXPECT_EQ(MessageOf<ECellValueError>([&] { c.Rmi().Calcular(c.in); }),
              "O mês 02/1990 não está na tabela "
              "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab");

    c.in.caplicar = true;
    c.indicegrid = GridOf({"Mês|Fator", "01/1990|1", "02/1990|1", "03/1990|1"});
    c.in.DateEdit2Date = EncodeDate(1990, 5, 31);
    EXPECT_EQ(MessageOf<ECellValueError>([&] { c.Rmi().Calcular(c.in); }),
              "O mês 06/1990 não está na tabela inss.tab");
}

// The last twelve salaries taken as paid need no factor: a case whose last
// salaries come after "Atualizar até" (where the index table is cut) was
// refused, and its Soma, SB and RMI never written.
TEST(NovaRmi, TheLastTwelveSalariesNeedNoFactor) {
    NovaRmiCase c;
    c.in.DateEdit2 = "01/12/1992";
    c.indicegrid.SetRowCount(25); // 01/1990 to 12/1991
    for (int i = 0; i < 24; ++i) {
        c.indicegrid.SetCell(0, i + 1, FormatDateTime("mm/yyyy", EncodeDate(1990 + i / 12, i % 12 + 1, 1)));
        c.indicegrid.SetCell(1, i + 1, "2");
    }
    c.Rmi().incdata2(c.in.DateEdit1, c.in.DateEdit2);
    for (int r = 1; r <= 36; ++r) c.Sdig.SetCell(1, r, "100,00");
    EXPECT_EQ(MessageOf<ECellValueError>([&] { c.Rmi().Calcular(c.in); }),
              "O mês 01/1992 não está na tabela "
              "ortn-otn-btn-inpc-irsm-urv-ipcr-inpc-igpdi-inpc(02-2004).tab");
    c.in.Catual24 = true;
    EXPECT_EQ(c.Rmi().Calcular(c.in), "1.400,00");
    EXPECT_EQ(c.Row(25), (Texts{"01/1992", "100,00", "1", "100,00", ""}));
    EXPECT_EQ(c.Row(37), (Texts{"Soma", "", "", "6.000,00", ""}));
    EXPECT_EQ(c.Row(38), (Texts{"SB", "", "6.000,00 : 3", "2.000,00", ""}));
}

// The factors of salaries before the Real are tiny: cut at five decimals,
// 06/1993's factor to 04/1995 was 0,00002 instead of 0,0000293902..., and the
// salary was corrected 32 % too low.
TEST(NovaRmi, ASalaryBeforeTheRealKeepsFiveSignificantDigitsOfItsFactor) {
    NovaRmiCase c;
    TCellMatrix inpc(2, 2);
    LoadTableFile(inpc, PathJoin(PathJoin(VELORIM_SOURCE_DIR, "data"), tabelas::SeriesIIIFile));
    tabelas::geraindicex("01/04/1995", inpc, c.indicegrid);
    c.in.DateEdit1 = "01/06/1993";
    c.in.DateEdit2 = "30/06/1993";
    c.in.divisor = 1;
    c.in.divisorText = "1";
    c.in.coef = 1;
    c.Salaries({"15.000.000,00"});
    EXPECT_EQ(c.Rmi().Calcular(c.in), "440,85");
    EXPECT_EQ(c.Row(1), (Texts{"06/1993", "15.000.000,00", "0,000029390", "440,85", ""}));
}

// The simulation's tables as shipped in data/: the coefficients give the
// percentages of the law through coeficientex, and the grace periods are
// found by the year in which each age was reached.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "simulation/contribution_core.h"
#include "simulation/simulation_core.h"

namespace {

using simulacao::Beneficios;

TCellMatrix Shipped(const char* name) {
    TCellMatrix table(2, 2);
    LoadTableFile(table, PathJoin(PathJoin(VELORIM_SOURCE_DIR, "data"), name));
    return table;
}

TEST(ShippedTables, CoefficientsGiveTheLawsPercentages) {
    const TCellMatrix coeficientes = Shipped("coeficientes.tab");
    simulacao::TSimTables tables;
    tables.Gridcoeficientes = &coeficientes;
    simulacao::TSimResults res;
    auto benefit = [&](int kind, bool male, long double years) {
        return simulacao::coeficientex(tables, Beneficios[kind], male, years, 1000, res);
    };
    const int tc = simulacao::kTempoContribuicao;
    // Lei 8.213/91 art. 53: 70 % at 30 years (men) or 25 (women), 6 % for
    // each further whole year, 100 % at 35 or 30.
    EXPECT_EQ(benefit(tc, true, 30), "700,00");
    EXPECT_EQ(benefit(tc, true, 31.9L), "760,00");
    EXPECT_EQ(benefit(tc, true, 32), "820,00");
    EXPECT_EQ(benefit(tc, true, 35), "1.000,00");
    EXPECT_EQ(benefit(tc, true, 38), "1.000,00");
    EXPECT_EQ(benefit(tc, false, 25), "700,00");
    EXPECT_EQ(benefit(tc, false, 27), "820,00");
    EXPECT_EQ(benefit(tc, false, 30), "1.000,00");
    // Art. 50: 70 % and 1 % a year, to 100 %; arts. 61, 44 and 56.
    EXPECT_EQ(benefit(simulacao::kIdade, true, 15), "850,00");
    EXPECT_EQ(benefit(simulacao::kIdade, false, 30), "1.000,00");
    EXPECT_EQ(benefit(simulacao::kAuxilioDoenca, true, 2), "910,00");
    EXPECT_EQ(benefit(simulacao::kInvalidez, false, 1), "1.000,00");
    EXPECT_EQ(benefit(simulacao::kProfessor, false, 25), "1.000,00");
    // Art. 25: 180 contributions for a retirement, 12 for sick pay.
    EXPECT_THROW(benefit(tc, true, 14.9L), simulacao::ESimulacaoError);
    EXPECT_THROW(benefit(simulacao::kAuxilioDoenca, true, 0.5L), simulacao::ESimulacaoError);
}

TEST(ShippedTables, GracePeriodsByTheYearEachAgeWasReached) {
    const TCellMatrix prazos = Shipped("prazosAI.tab");
    TCellMatrix idades(4, 4);
    auto row = [&](int r) {
        return std::vector<std::string>{idades.Cell(0, r), idades.Cell(1, r), idades.Cell(2, r),
                                        idades.Cell(3, r)};
    };
    soma::prazosCarencia(EncodeDate(1940, 6, 15), EncodeDate(2002, 7, 1), prazos, idades);
    EXPECT_EQ(row(1), (std::vector<std::string>{"55 anos", "1995", "78 meses", "78 meses"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"60 anos", "2000", "108 meses", "114 meses"}));
    EXPECT_EQ(row(3), std::vector<std::string>(4));
    // 55 before 1991 takes the 1991 row; 65 in 2014 is past the transition table.
    soma::prazosCarencia(EncodeDate(1935, 1, 10), EncodeDate(2001, 3, 1), prazos, idades);
    EXPECT_EQ(row(1), (std::vector<std::string>{"55 anos", "1989", "60 meses", "60 meses"}));
    soma::prazosCarencia(EncodeDate(1950, 1, 10), EncodeDate(2020, 3, 1), prazos, idades);
    EXPECT_EQ(row(2), (std::vector<std::string>{"60 anos", "2009", "162 meses", "168 meses"}));
    EXPECT_EQ(row(3), (std::vector<std::string>{"65 anos", "2014", "", ""}));
}

} // namespace

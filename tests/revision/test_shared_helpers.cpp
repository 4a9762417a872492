#include <gtest/gtest.h>

#include <random>

#include "grid_text.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "revision/arrears_engine.h"
#include "revision/shared_helpers.h"

TEST(SharedHelpers, AmountTexts) {
    EXPECT_EQ(simulacao::RemovePonto("R$ 1.234,56"), 1234.56L);
    EXPECT_EQ(simulacao::RemovePonto(""), 0);
    EXPECT_EQ(simulacao::RemovePonto("-"), 0);
    EXPECT_EQ(simulacao::RemovePonto("-12,5"), -12.5L);
    EXPECT_THROW(simulacao::RemovePonto("1,2,3"), EConvertError);
    // The wizard's copy does not default an empty text.
    EXPECT_EQ(calc::RemovePonto("1.234,56"), 1234.56L);
    EXPECT_EQ(calc::RemovePonto("-5,00"), -5.0L);
    EXPECT_THROW(calc::RemovePonto(""), EConvertError);
    EXPECT_THROW(calc::RemovePonto("  /  /    "), EConvertError);
    EXPECT_FALSE(simulacao::checkinteiro("abc"));
    EXPECT_TRUE(simulacao::checkinteiro("a1"));
    EXPECT_FALSE(calc::checkinteiro("  /  /    "));
}

TEST(SharedHelpers, AmountReadingMatchesStrToFloat) {
    // The direct reading of the usual shapes must give StrToFloat's value.
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        long long cents = static_cast<long long>(random() % 100000000000000ULL) - 50000000000000LL;
        int decimals = static_cast<int>(random() % 9);
        std::string digits = std::to_string(cents < 0 ? -cents : cents);
        while (static_cast<int>(digits.size()) <= decimals)
            digits = "0" + digits;
        std::string text = (cents < 0 ? "-" : "") + digits.substr(0, digits.size() - decimals);
        if (decimals) text += "," + digits.substr(digits.size() - decimals);
        ASSERT_EQ(calc::RemovePonto(text), StrToFloat(text)) << text;
    }
}

TEST(SharedHelpers, TypedDatesAreNormalised) {
    using revisao::validadata;
    EXPECT_EQ(validadata("12/05/95"), "12/05/1995");
    EXPECT_EQ(validadata("12/05/05"), "12/05/2005");
    EXPECT_EQ(validadata("12/05/30"), "12/05/30");
    EXPECT_EQ(validadata("31/04/2001"), "30/04/2001");
    EXPECT_EQ(validadata("30/02/2001"), "28/02/2001");
    EXPECT_EQ(validadata("30/02/2000"), "29/02/2000");
    EXPECT_EQ(validadata("29/02/2001"), "29/02/2001");
    EXPECT_EQ(validadata("45/13/2001"), "31/12/2001");
    EXPECT_EQ(validadata("00/05/2001"), "");
    EXPECT_EQ(validadata("10/00/2001"), "");
    EXPECT_EQ(validadata("10/05/0000"), "");
    EXPECT_EQ(validadata("  /  /    "), "");
    EXPECT_THROW(validadata("1/05/2001x"), EConvertError);
    EXPECT_EQ(revisao::validadataMA("13/95"), "12/1995");
    EXPECT_EQ(revisao::validadataMA("05/29"), "05/2029");
    EXPECT_EQ(revisao::validadataMA("00/1995"), "");
    EXPECT_EQ(revisao::validadataMA("05/0000"), "");
}

TEST(SharedHelpers, EntreDatas) {
    int y, m, d;
    simulacao::EntreDatas(EncodeDate(2001, 3, 15), EncodeDate(2000, 1, 10), y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{1, 2, 5}));
    simulacao::EntreDatas(EncodeDate(2000, 1, 10), EncodeDate(2000, 1, 10), y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{0, 0, 0}));
    simulacao::EntreDatas(EncodeDate(1999, 1, 10), EncodeDate(2000, 1, 10), y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{0, 0, 0}));
    // A day clamped at a month's end stays clamped: 31/03 back one month is
    // 29/02, before 01/03, so the month step is undone to 29/03.
    simulacao::EntreDatas(EncodeDate(2000, 3, 31), EncodeDate(2000, 3, 1), y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{0, 0, 28}));
}

namespace {

struct LimiterTables {
    TCellMatrix salmin =
        GridOf({"Data|Valor", "01/01/2000|100,00", "01/02/2000|110,00", "01/03/2000|120,00"});
    TCellMatrix teto = GridOf({"Mês|Maior|Menor", "01/2000|1.000,00|500,00",
                               "02/2000|1.100,00|550,00", "03/2000|1.200,00|600,00"});
    std::string marca = "previous";
};

} // namespace

TEST(SharedHelpers, LimitingToMinimumWageAndCeiling) {
    LimiterTables t;
    revisao::TValueLimiter limiter(t.salmin, t.teto, false, t.marca);
    EXPECT_EQ(limiter.devolvevalor("50,00", "01/02/2000"), "110,00");
    EXPECT_EQ(t.marca, "SM");
    EXPECT_EQ(limiter.devolvevalor("5.000,00", "01/02/2000"), "1.100,00");
    EXPECT_EQ(t.marca, "Teto");
    EXPECT_EQ(limiter.devolvevalorst("5.000,00", "01/02/2000", "n"), "5.000,00");
    EXPECT_EQ(t.marca, "Teto");
    EXPECT_EQ(limiter.devolvevalorst("5.000,00", "01/02/2000", "s"), "1.100,00");
    // Equal to either limit: unchanged and unmarked.
    EXPECT_EQ(limiter.devolvevalor("110,00", "01/02/2000"), "110,00");
    EXPECT_EQ(t.marca, "");
    EXPECT_EQ(limiter.devolvevalor("1.100,00", "01/02/2000"), "1.100,00");
    EXPECT_EQ(t.marca, "");
    // The ceiling scan compares the full date: mid-month takes the next month.
    EXPECT_EQ(limiter.devolvevalor("5.000,00", "15/02/2000"), "1.200,00");
    EXPECT_EQ(limiter.devolvevalorAtMonth("5.000,00", EncodeDate(2000, 1, 1)), "1.000,00");
    // A month a table lacks (past its last row, before its first, in a gap)
    // stops rather than take a floor of 0 or another month's value.
    auto refusal = [](revisao::TValueLimiter& l, const char* date) {
        return MessageOf<ECellValueError>([&] { l.devolvevalor("5.000,00", date); });
    };
    EXPECT_EQ(refusal(limiter, "01/06/2000"), "O mês 06/2000 não está na tabela salmin.tab");
    EXPECT_EQ(refusal(limiter, "01/12/1999"), "O mês 12/1999 não está na tabela salmin.tab");
    EXPECT_EQ(refusal(limiter, "15/03/2000"), "O mês 04/2000 não está na tabela inss.tab");
    t.salmin.SetCell(0, 2, "01/03/2000");
    t.salmin.SetCell(0, 3, "01/04/2000");
    t.teto.SetCell(0, 2, "03/2000");
    t.teto.SetCell(0, 3, "04/2000");
    revisao::TValueLimiter gaps(t.salmin, t.teto, false, t.marca);
    EXPECT_EQ(refusal(gaps, "01/02/2000"), "O mês 02/2000 não está na tabela salmin.tab");
    t.salmin.SetCell(0, 1, "01/02/2000");
    revisao::TValueLimiter tetoGap(t.salmin, t.teto, false, t.marca);
    EXPECT_EQ(refusal(tetoGap, "01/02/2000"), "O mês 02/2000 não está na tabela inss.tab");
}

TEST(SharedHelpers, LimiterScansAsTheTablesRead) {
    LimiterTables t;
    // A key that is no date stops the scan only when the scan reaches it.
    t.teto.SetCell(0, 3, "xx/2000");
    revisao::TValueLimiter limiter(t.salmin, t.teto, false, t.marca);
    EXPECT_EQ(limiter.devolvevalor("5.000,00", "01/02/2000"), "1.100,00");
    EXPECT_EQ(MessageOf<ECellValueError>([&] { limiter.devolvevalor("5.000,00", "01/03/2000"); }),
              "Data inválida na linha 3 da tabela inss.tab: 'xx/2000'");

    // Newest first: the first month starting on or before the date.
    LimiterTables sc;
    sc.teto = GridOf({"Mês|Teto", "03/2000|1.200,00", "02/2000|1.100,00", "01/2000|1.000,00"});
    revisao::TValueLimiter newest(sc.salmin, sc.teto, true, sc.marca);
    EXPECT_EQ(newest.devolvevalor("5.000,00", "15/02/2000"), "1.100,00");
    // Older than its oldest row: no ceiling in force is known.
    sc.salmin.SetCell(0, 1, "01/12/1999");
    revisao::TValueLimiter older(sc.salmin, sc.teto, true, sc.marca);
    EXPECT_EQ(MessageOf<ECellValueError>([&] { older.devolvevalor("5.000,00", "01/12/1999"); }),
              "O mês 12/1999 não está na tabela inss.tab");
}

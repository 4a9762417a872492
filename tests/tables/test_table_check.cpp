// What an index table file must hold before it reaches its grid.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/runtime/formats.h"
#include "tables/table_check.h"
#include "tables/table_names.h"

using namespace tabelas;

namespace {

const TTableRules kCorrection = TableRules(CrMensalRev3File);
const TTableRules kSalmin = TableRules(SalminFile);

std::string Check(const std::string& text, const TTableRules& rules = kCorrection) {
    return CheckTableText(text, rules);
}

TEST(TableCheck, WhatTheTableFormatAllowsPasses) {
    const std::string crlf = "Data\tÍndice\tSM\tMoeda\t\r\n01/1994\t1,5\t64,79\tCR$\t\r\n"
                             "02/1994\t1\t1.250.700,00\tR$\t\r\n";
    EXPECT_EQ(Check(crlf), "");
    // LF or CR line ends, no TAB after the last field, no final line end,
    // empty lines (or lines of TABs) at the end, an empty optional number.
    EXPECT_EQ(Check("Data\tÍndice\n01/1994\t1,5\n02/1994\t2\t\tR$"), "");
    EXPECT_EQ(Check("Data\tÍndice\r01/1994\t1,5\r"), "");
    EXPECT_EQ(Check("Data\t\r\n01/1994\t1\t\r\n\r\n\t\t\r\n\r\n"), "");
    // An empty header is only a title row.
    EXPECT_EQ(Check("\t\t\t\t\r\n01/1994\t1\t\t\t\r\n"), "");
    EXPECT_EQ(Check("Data\tSM\r\n15/01/2000\t151,00\r\n29/02/2000\t151\r\n", kSalmin), "");
    // Tables without a key column check only their width.
    EXPECT_EQ(Check("Benefício\tPercentual\r\naposentadoria\tsetenta\r\n",
                    TableRules(CoeficientesFile)),
              "");
}

TEST(TableCheck, DamageIsNamedWithItsLine) {
    const std::string head = "Data\tÍndice\tSM\tMoeda\t\r\n";
    std::string nul = head + "01/1994\t1\t\r\n02/1994\t1\t\r\n03/1994\t1\t\r\n04/1994\t1";
    nul += std::string(1, '\0') + "\t\r\n05/1994\t1\t\r\n";
    EXPECT_EQ(Check(nul), "linha 5: byte nulo no texto");
    EXPECT_EQ(Check(head + "01/1994\t1\t\r\n13/1994\t1\t\r\n"),
              "linha 3: '13/1994' na coluna 1 não é um mês (mm/aaaa)");
    EXPECT_EQ(Check(head + "1994-01\t1\t\r\n"),
              "linha 2: '1994-01' na coluna 1 não é um mês (mm/aaaa)");
    EXPECT_EQ(Check("Data\tSM\r\n31/02/2000\t151\r\n", kSalmin),
              "linha 2: '31/02/2000' na coluna 1 não é uma data (dd/mm/aaaa)");
    EXPECT_EQ(Check(head + "01/1994\tabc\t\r\n"), "linha 2: 'abc' na coluna 2 não é um número");
    EXPECT_EQ(Check(head + "01/1994\t\t64,79\t\r\n"), "linha 2: '' na coluna 2 não é um número");
    EXPECT_EQ(Check(head + "01/1994\t1\tdez\t\r\n"), "linha 2: 'dez' na coluna 3 não é um número");
    EXPECT_EQ(Check(head + "01/1994\t1e999999\t\r\n"),
              "linha 2: '1e999999' na coluna 2 não é um número");
    EXPECT_EQ(Check(head + "01/1994\t1\t\r\n\r\n02/1994\t1\t\r\n"),
              "linha 3: linha vazia no meio da tabela");
    EXPECT_EQ(Check(head + "01/1994\t1" + std::string(20, '\t') + "x\r\n"),
              "linha 2: mais de 16 colunas");
    EXPECT_EQ(Check(std::string(40, '\t') + "\r\n01/1994\t1\r\n"), "linha 1: mais de 16 colunas");
    std::string longTable = head;
    for (int i = 0; i < kMaxTableLines; ++i) longTable += "01/1994\t1\r\n";
    EXPECT_EQ(Check(longTable), "o arquivo tem mais de 20000 linhas");
    EXPECT_EQ(Check(""), "o arquivo está vazio");
    EXPECT_EQ(Check("\r\n\r\n"), "o arquivo está vazio");
    EXPECT_EQ(Check(head), "a tabela não tem nenhuma linha de dados");
    // Garbage: the first line is a title, the second is not a month.
    EXPECT_EQ(Check("\x89PNG\r\n\x1a\n\x01\x02"), "linha 2: '\x1a' na coluna 1 não é um mês (mm/aaaa)");
    // Lines of TABs alone would still make as many columns.
    EXPECT_EQ(Check(head + "01/1994\t1\r\n" + std::string(100, '\t') + "\r\n"),
              "linha 3: mais de 16 colunas");
}

TEST(TableCheck, KeysAndNumbers) {
    EXPECT_TRUE(IsMonthKey("01/1977"));
    EXPECT_TRUE(IsMonthKey("12/2026"));
    EXPECT_FALSE(IsMonthKey("00/1977"));
    EXPECT_FALSE(IsMonthKey("1/1977"));
    EXPECT_FALSE(IsMonthKey("01/1977 "));
    EXPECT_TRUE(IsDateKey("29/02/2000"));
    EXPECT_FALSE(IsDateKey("29/02/1900"));
    EXPECT_FALSE(IsDateKey("01/1977"));
    EXPECT_TRUE(IsTableNumber("1.250.700,00"));
    EXPECT_TRUE(IsTableNumber("-0,5"));
    EXPECT_TRUE(IsTableNumber("1,0173155458753"));
    EXPECT_FALSE(IsTableNumber(""));
    EXPECT_FALSE(IsTableNumber("1,2,3"));
    EXPECT_FALSE(IsTableNumber("R$ 5"));
}

// Table amounts are read by the general conversion once the thousands points
// are dropped: whatever shortcut the check takes, every short text over the
// characters of amounts (and a few beside them) must get the conversion's
// answer.
TEST(TableCheck, NumbersAgreeWithTheConversion) {
    auto converts = [](const std::string& text) {
        std::string plain;
        for (char c : text)
            if (c != '.') plain += c;
        if (plain.empty() || plain.find_first_not_of("0123456789,+-eE ") != std::string::npos)
            return false;
        long double v;
        return TryStrToFloat(plain, v) && std::isfinite(v);
    };
    const std::string alphabet = "019,.-+e x";
    std::string text;
    int checked = 0;
    auto visit = [&](auto&& self, size_t length) -> void {
        if (text.size() == length) {
            ASSERT_EQ(IsTableNumber(text), converts(text)) << "'" << text << "'";
            ++checked;
            return;
        }
        for (char c : alphabet) {
            text.push_back(c);
            self(self, length);
            text.pop_back();
        }
    };
    for (size_t length = 0; length <= 5; ++length) visit(visit, length);
    EXPECT_GT(checked, 100000);
    for (const std::string& s :
         {std::string(18, '9'), std::string(19, '9'), std::string(30, '9') + ",5",
          "-" + std::string(25, '1') + ",0", std::string(4000, '9'), std::string("9e4931"),
          std::string(".-5"), std::string("1.-5")})
        EXPECT_EQ(IsTableNumber(s), converts(s)) << s.size();
}

} // namespace

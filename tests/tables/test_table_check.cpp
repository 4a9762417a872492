// What an index table file must hold before it reaches its grid.
#include <gtest/gtest.h>

#include <string>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
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
                             "02/1994\t1\t1250700,00\tR$\t\r\n";
    EXPECT_EQ(Check(crlf), "");
    // LF or CR line ends, no TAB after the last field, empty lines (or
    // lines of TABs) at the end, an empty optional number.
    EXPECT_EQ(Check("Data\tÍndice\n01/1994\t1,5\n02/1994\t2\t\tR$\n"), "");
    EXPECT_EQ(Check("Data\tÍndice\r01/1994\t1,5\r"), "");
    EXPECT_EQ(Check("Data\t\r\n01/1994\t1\t\r\n\r\n\t\t\r\n\r\n"), "");
    // An empty header is only a title row.
    EXPECT_EQ(Check("\t\t\t\t\r\n01/1994\t1\t\t\t\r\n"), "");
    EXPECT_EQ(Check("Data\tSM\r\n15/01/2000\t151,00\r\n29/02/2000\t151\r\n", kSalmin), "");
    // Tables without a key column check only their numbers.
    EXPECT_EQ(Check("Benefício\tPercentual\r\naposentadoria\t0,70\t\t30\r\n",
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
    EXPECT_EQ(Check(longTable, TTableRules{TTableKey::Month}), "o arquivo tem mais de 20000 linhas");
    EXPECT_EQ(Check(""), "o arquivo está vazio");
    EXPECT_EQ(Check("\r\n\r\n"), "o arquivo está vazio");
    EXPECT_EQ(Check(head), "a tabela não tem nenhuma linha de dados");
    // Garbage: the first line is a title, the second is not a month.
    EXPECT_EQ(Check("\x89PNG\r\n\x1a\n\x01\x02"), "linha 2: '[código 26]' na coluna 1 não é um mês (mm/aaaa)");
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
    EXPECT_TRUE(IsTableNumber("1250700,00"));
    EXPECT_TRUE(IsTableNumber("-0,5"));
    EXPECT_TRUE(IsTableNumber("1,0173155458753"));
    EXPECT_FALSE(IsTableNumber(""));
    EXPECT_FALSE(IsTableNumber("1,2,3"));
    EXPECT_FALSE(IsTableNumber("R$ 5"));
}

// The calculations read table values in two ways: StrToFloat, and a reader
// that drops thousands points and letters. A value the check lets through
// must read the same both ways, so it holds digits, a minus and a comma only.
TEST(TableCheck, NumbersReadTheSameByEveryReader) {
    const std::string alphabet = "019,.-+e x";
    std::string text;
    int accepted = 0;
    auto visit = [&](auto&& self, size_t length) -> void {
        if (text.size() == length) {
            if (!IsTableNumber(text)) return;
            long double v;
            ASSERT_TRUE(TryStrToFloat(text, v)) << "'" << text << "'";
            ASSERT_EQ(text.find_first_not_of("0123456789,-"), std::string::npos) << text;
            ++accepted;
            return;
        }
        for (char c : alphabet) {
            text.push_back(c);
            self(self, length);
            text.pop_back();
        }
    };
    for (size_t length = 0; length <= 5; ++length) visit(visit, length);
    EXPECT_GT(accepted, 500);
    for (const char* bad : {"1.0545", "1039.00", "1e3", "+5", "5,", ",5", "1,2,3", " 5", "--1",
                            "1234567890123456"})
        EXPECT_FALSE(IsTableNumber(bad)) << bad;
}

// Damage that reads as numbers and months and so once gave wrong totals
// without a word.
TEST(TableCheck, ValuesTheCalculationsWouldMisreadAreRefused) {
    const std::string head = "Data\tÍndice\tSM\tMoeda\t\r\n";
    const std::string rows = "12/1997\t1\t120,00\tR$\t\r\n01/1998\t1\t120,00\tR$\t\r\n";
    EXPECT_EQ(Check(head + rows + "02/1998\t1.0545\t120,00\tR$\t\r\n"),
              "linha 4: '1.0545' na coluna 2 tem ponto: os números das tabelas usam vírgula "
              "decimal e nenhum separador de milhar");
    EXPECT_EQ(Check("Data\tSM\r\n01/01/2020\t1039.00\r\n", kSalmin),
              "linha 2: '1039.00' na coluna 2 tem ponto: os números das tabelas usam vírgula "
              "decimal e nenhum separador de milhar");
    // Lines swapped, a month added again, a zero factor or minimum wage.
    EXPECT_EQ(Check(head + "01/1998\t1\t120,00\t\r\n12/1997\t1\t120,00\t\r\n"),
              "linha 3: '12/1997' está fora de ordem: vem depois de '01/1998' (linha 2), e a "
              "tabela vai do mais antigo ao mais recente");
    EXPECT_EQ(Check(head + rows + "01/1998\t0\r\n"), "linha 4: '01/1998' repete o mês da linha 3");
    EXPECT_EQ(Check(head + rows + "02/1998\t0\r\n"),
              "linha 4: '0' na coluna 2 não pode ser zero nem negativo");
    EXPECT_EQ(Check("Data\tÍndice\r\n01/1994\t0,0\r\n", TableRules(SeriesIIIFile)),
              "linha 2: '0,0' na coluna 2 não pode ser zero nem negativo");

    // Percentages may be zero or negative, but not take the whole amount;
    // a currency divisor may be absent but not zero.
    const TTableRules series = TableRules(SeriesIFile);
    EXPECT_EQ(Check("Data\t%\t\tDivisor\r\n01/1994\t0\r\n02/1994\t-0,5\t\t1000\r\n", series), "");
    EXPECT_EQ(Check("Data\t%\r\n01/1994\t-100\r\n", series),
              "linha 2: '-100' na coluna 2 não é um percentual maior que -100");
    EXPECT_EQ(Check("Data\t%\t\tDivisor\r\n01/1994\t1\t\t0\r\n", series),
              "linha 2: '0' na coluna 4 não pode ser zero nem negativo");
    // The ceilings of gridinsssc go newest first.
    EXPECT_EQ(Check("Data\tTeto\r\n06/2002\t1561,56\r\n06/2003\t1869,34\r\n",
                    TableRules(InssScFile)),
              "linha 3: '06/2003' está fora de ordem: vem depois de '06/2002' (linha 2), e a "
              "tabela vai do mais recente ao mais antigo");
    // The tables of the simulation's windows.
    EXPECT_EQ(Check("Ano\tLei\r\n1991\t60 meses\t60 meses\r\n1992\t66 meses\r\n",
                    TableRules(PrazosFile)),
              "");
    EXPECT_EQ(Check("Ano\tLei\r\n1991\tsessenta\r\n", TableRules(PrazosFile)),
              "linha 2: 'sessenta' na coluna 2 não é um prazo em meses (como '60 meses')");
    EXPECT_EQ(Check("Tempo\tMulher\tHomem\r\nDE 15 ANOS\t2,00\t0,00\r\n", TableRules(FatorFile)),
              "linha 2: '0,00' na coluna 3 não pode ser zero nem negativo");
}

TEST(TableCheck, LoadedCellsAreCheckedAsTheirFile) {
    TCellMatrix cells(4, 1);
    CellsFromText(cells, "Data\tÍndice\r\n01/1998\t1\r\n02/1998\t0\r\n\t\r\n", '\t',
                  GridRect(0, 0, -1, -1));
    EXPECT_EQ(CheckTableCells(cells, kCorrection),
              "linha 3: '0' na coluna 2 não pode ser zero nem negativo");
    cells.SetCell(1, 2, "1,01");
    EXPECT_EQ(CheckTableCells(cells, kCorrection), "");
    TCellMatrix empty(2, 2);
    EXPECT_EQ(CheckTableCells(empty, kCorrection), "a tabela não tem nenhuma linha de dados");
    EXPECT_EQ(CheckTableCells(empty, kCorrection, false), "");
}

} // namespace

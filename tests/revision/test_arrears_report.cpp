#include <gtest/gtest.h>

#include <filesystem>

#include "arrears_case.h"
#include "platform/runtime/files.h"

namespace {

calc::TReportInput ReportOf(ArrearsCase& c, const TCellMatrix& Sdem) {
    calc::TReportInput r;
    r.Cfont = "8";
    r.Cnomefont = "Arial";
    r.Enome = "João & Maria <filho>";
    r.Enumero = "123";
    r.Dataini = c.in.Dataini;
    r.Datafim = c.in.Datafim;
    r.DatainiDate = c.in.DatainiDate;
    r.Vinss = c.in.Vinss;
    r.Vautor = c.in.Vautor;
    r.ComboBox1 = c.in.ComboBox1;
    r.Sdem = &Sdem;
    r.planilha = &c.planilha;
    return r;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(ArrearsReport, LinesOfTheReport) {
    ArrearsCase c;
    c.Period("01/01/2000", "31/03/2000", "01/01/1980");
    c.Run();
    TCellMatrix Sdem = GridOf({"Data|Salário|Índice|Salário corrigido|", "RMI|||1.116,67|"});
    calc::TReportInput r = ReportOf(c, Sdem);
    std::vector<std::string> lines = calc::imprixLines(r);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "<html>");
    EXPECT_EQ(lines[1], "<head>");
    EXPECT_EQ(lines[2], "<title>Atualização</title>");
    EXPECT_EQ(lines[5], "<span style=\"font-size:8.0pt;font-family:Arial\">");
    EXPECT_EQ(lines[6], "<tr><td><p><b>Nome:</b> João &amp; Maria &lt;filho&gt; <b>   Número do "
                        "Benefício:</b> 123</p></td></tr>");
    EXPECT_EQ(lines[8],
              "<tr><td><p><b>RMI Autor: </b>200,00 <b>   RMI INSS: </b>100,00</p></td></tr>");
    EXPECT_EQ(lines.back(), "</html>");
    EXPECT_TRUE(Contains(lines, "<tr><td><p><b>NOVA RMI</b></p></td></tr>"));
    EXPECT_EQ(c.Sums(11), "300,00");
    EXPECT_TRUE(Contains(lines, "<tr><td><p><b>DIFERENÇA DEVIDA = R$ 300,00</b></p></td></tr>"));
    EXPECT_FALSE(Contains(lines, "ADCT"));
    // One table row per grid row, every cell written right-aligned.
    EXPECT_TRUE(Contains(lines, "<tr>\r\n<td> <p class=MsoNormal align=right "
                                "style=\"text-align:right\">01/2000</td>"));

    // The road with the RMI already known prints no working.
    r.cpossuo = true;
    lines = calc::imprixLines(r);
    EXPECT_FALSE(Contains(lines, "<b>NOVA RMI</b>"));
    EXPECT_FALSE(Contains(lines, "1.116,67"));
}

TEST(ArrearsReport, AdctBlockAndFile) {
    ArrearsCase c;
    c.Period("31/03/1989", "30/04/1989", "01/01/1980");
    ArrearsCase::Set(c.GridCorrRev, "03/1989", 2, "40,00");
    c.Run();
    TCellMatrix Sdem(5, 1);
    calc::TReportInput r = ReportOf(c, Sdem);
    std::vector<std::string> lines = calc::imprixLines(r);
    EXPECT_TRUE(Contains(lines, "<tr><td><p>RMI Autor em salários: 5,00000</p></td></tr>"));
    EXPECT_TRUE(Contains(lines, "<tr><td><p>RMI INSS em salários: 2,50000</p></td></tr>"));
    calc::salminicial = 0;
    lines = calc::imprixLines(r);
    EXPECT_TRUE(Contains(lines, "RMI Autor em salários: salário mínimo do primeiro mês não "
                                "encontrado"));

    std::string dir = (std::filesystem::temp_directory_path() / "velorim_report_test").string();
    std::filesystem::create_directories(dir);
    std::vector<std::string> shown;
    calc::imprix(r, dir, [&](const std::string& m) { shown.push_back(m); });
    EXPECT_TRUE(shown.empty());
    std::string bytes = ReadFileBytes(PathJoin(dir, "atual.html"));
    EXPECT_EQ(bytes.substr(0, 44), "<html>\r\n<head>\r\n<title>Atualiza\xE7\xE3o</title>\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n");

    calc::imprix(r, PathJoin(dir, "missing/dir"),
                 [&](const std::string& m) { shown.push_back(m); });
    EXPECT_EQ(shown, (std::vector<std::string>{"Não foi possível gravar o relatório \"" + dir +
                                               "/missing/dir/atual.html\": a pasta não existe"}));
    std::filesystem::remove_all(dir);
}

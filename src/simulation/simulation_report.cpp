#include "simulation/simulation_report.h"

#include "platform/runtime/text_file.h"

namespace simulacao {

namespace {

// Texts typed by the user or held in cells must print as typed, not as markup.
std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void Pairs(std::vector<std::string>& lines,
           const std::vector<std::pair<std::string, std::string>>& pairs) {
    lines.push_back("<table border=0>");
    for (const auto& [label, value] : pairs)
        lines.push_back("<tr><td>" + Escape(label) + "</td><td align=right><b>" + Escape(value) +
                        "</b></td></tr>");
    lines.push_back("</table>");
}

void Demo(std::vector<std::string>& lines, const TCellMatrix& demo) {
    if (demo.RowCount() < 2) return;
    lines.push_back("<table border=1 cellspacing=0 cellpadding=2>");
    for (int r = 0; r < demo.RowCount(); ++r) {
        std::string line = "<tr>";
        const char* cell = r == 0 ? "th" : "td";
        for (int c = 0; c < demo.ColCount(); ++c)
            line += std::string("<") + cell + (r > 0 && c != 1 && c != 8 ? " align=right>" : ">") +
                    Escape(demo.Cell(c, r)) + "</" + cell + ">";
        lines.push_back(line + "</tr>");
    }
    lines.push_back("</table>");
}

} // namespace

std::vector<std::string> RelatorioLinhas(const TRelatorio& r) {
    std::vector<std::string> lines;
    lines.push_back("<html><head>");
    lines.push_back("<title>Simulação do Cálculo de Renda Mensal</title>");
    lines.push_back("</head>");
    lines.push_back("<body>");
    std::string style;
    if (!r.Cfont.empty()) style += "font-size:" + Escape(r.Cfont) + ".0pt;";
    if (!r.Cnomefont.empty()) style += "font-family:" + Escape(r.Cnomefont);
    lines.push_back("<div style=\"" + style + "\">");
    lines.push_back("<p align=center><b>Simulação do Cálculo de Renda Mensal</b></p>");
    Pairs(lines, r.dados);
    for (const TSecaoRelatorio& s : r.secoes) {
        lines.push_back("<hr>");
        lines.push_back("<p><b>" + Escape(s.titulo) + "</b></p>");
        Pairs(lines, s.linhas);
        Demo(lines, s.demonstrativo);
    }
    lines.push_back("</div>");
    lines.push_back("</body></html>");
    return lines;
}

void GravaRelatorio(const TRelatorio& r, const std::string& fileName) {
    TTextFileWriter out(fileName);
    for (const std::string& line : RelatorioLinhas(r)) out.Writeln(line);
    out.Close();
}

} // namespace simulacao

// The revision report "revisao.html": the new RMI worked from the concession
// letter and the salaries, the header of the evolution and the evolution.
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/revision_core.h"
#include "revision/revision_internal.h"
#include "revision/report_font.h"

namespace revisao {

using namespace detail;

namespace {

const std::string kCrLf = "\r\n";
const std::string kEmptyRow = "<tr><td><p></p></td></tr>";

// A cell of a grid: the evolution's totals row carries its own bold markup.
std::string CellText(const std::string& text) {
    const std::string open = "<b>", close = "</b>";
    if (text.size() >= open.size() + close.size() && text.compare(0, open.size(), open) == 0 &&
        text.compare(text.size() - close.size(), close.size(), close) == 0)
        return open + HtmlEscape(text.substr(open.size(), text.size() - open.size() - close.size())) +
               close;
    return HtmlEscape(text);
}

// A table of a grid, every row a line; `bold` tells which cells take <b>.
template <class Bold>
void Table(std::vector<std::string>& lines, const TCellMatrix& grid, int border, const char* align,
           Bold bold) {
    const std::string cellStart = std::string("<td> <p class=MsoNormal align=") + align +
                                  " style=\"text-align:" + align + "\">";
    lines.push_back(kCrLf + "<div align=center><table border =" + IntToStr(border) + " >" + kCrLf);
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string line = "<tr>" + kCrLf;
        for (int c = 0; c < grid.ColCount(); ++c) {
            line += cellStart;
            if (bold(c, r))
                line += "<b>" + CellText(grid.Cell(c, r)) + "</b></td>";
            else
                line += CellText(grid.Cell(c, r)) + "</td>";
        }
        line += "</tr>";
        lines.push_back(std::move(line));
    }
    lines.push_back("</div></table>");
}

std::string Item(const std::string& caption, const std::string& value) {
    return "<tr><td><p><b>" + HtmlEscape(caption) + " </b>" + HtmlEscape(value) + "</p></td></tr>";
}

} // namespace

std::vector<std::string> printrevisaoLines(const TRevisionReport& in) {
    static const TCellMatrix empty(1, 1);
    auto grid = [](const TCellMatrix* g) -> const TCellMatrix& { return g ? *g : empty; };
    const TCellMatrix& salaries = in.Ratualizar ? grid(in.STGSalarios) : grid(in.Salariosd);
    const TCellMatrix& cabeca = grid(in.cabeca);
    const TCellMatrix& evolution = grid(in.SEvolucao);
    std::vector<std::string> lines;
    lines.reserve(64 + salaries.RowCount() + cabeca.RowCount() + evolution.RowCount());

    const std::string span = report_font::Span(in.Cfont, in.Cnomefont);
    lines.push_back("<html>");
    lines.push_back("<head>");
    lines.push_back("<title>Revisão</title>");
    lines.push_back(kEmptyRow);
    lines.push_back("<div align=center>");
    lines.push_back(span);
    lines.push_back("<tr><td><p><b>CÁLCULO DA NOVA RMI COM APLICAÇÃO DO IRSM DE 02/1994 "
                    "(39,67%)</b></p></td></tr>");

    lines.push_back("<div align=left>");
    lines.push_back(Item(in.LabelA, Fmt(in.EditAValue)));
    lines.push_back(Item(in.LabelB, in.EditB));
    lines.push_back("<tr><td><p><b>" + HtmlEscape(in.LabelSalarios) + "</b></p></td></tr></div>");

    Table(lines, salaries, 1, "right", [](int, int r) { return r == 0; });

    lines.push_back("<div align=left>");
    lines.push_back(kEmptyRow);
    lines.push_back(Item(in.LabelC, in.EditC));
    lines.push_back(Item(in.LabelD, in.EditD));
    lines.push_back(Item(in.LabelE, in.EditE));
    lines.push_back(Item(in.LabelF, in.EditF));
    lines.push_back(Item(in.LabelG, in.EditG));
    lines.push_back(Item(in.LabelH, in.EditH));
    lines.push_back("<tr><td><p><b>" + HtmlEscape(in.LabelI) + HtmlEscape(in.Lnovarmiem) + " " +
                    HtmlEscape(in.LabelI2) + HtmlEscape(in.Lcoeficiente) + ": </b>" + HtmlEscape(in.EditI) +
                    "</p></td></tr>");
    lines.push_back("<tr><td><p><b>" + HtmlEscape(in.LabelJ) + " </b>" + HtmlEscape(in.EditJ) +
                    "</p></td></tr></div>");

    lines.push_back("<div align=center>");
    lines.push_back(span);
    lines.push_back("<tr><td><p><b>EVOLUÇÃO DE BENEFÍCIO PREVIDENCIÁRIO</b></p></td></tr>");
    Table(lines, cabeca, 0, "left", [](int c, int) { return c == 0 || c == 6; });

    lines.push_back("<tr><td><p><b>Tabela usada: " + HtmlEscape(in.Catualizacao) +
                    "</b></p></td></tr>");
    lines.push_back(kEmptyRow);

    Table(lines, evolution, 1, "right", [](int, int r) { return r == 0; });
    lines.push_back(kEmptyRow);
    lines.push_back("</html>");
    return lines;
}

void printrevisao(const TRevisionReport& in, const std::string& DataDir,
                  const calc::TShowMessage& showMessage) {
    std::vector<std::string> lines = printrevisaoLines(in);
    try {
        TTextFileWriter file(PathJoin(DataDir, "revisao.html"), TDurability::RebuiltOnDemand);
        for (const std::string& line : lines)
            file.Writeln(line);
        file.Close();
    } catch (const EInOutError&) {
        if (showMessage) showMessage("File access error");
    }
}

} // namespace revisao

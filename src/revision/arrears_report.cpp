// The arrears report "atual.html": the case's data, the new RMI working,
// the whole spreadsheet, the amount due and the ADCT and URV blocks.
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "platform/runtime/text_file.h"
#include "revision/arrears_internal.h"
#include "revision/report_font.h"

namespace calc {

using namespace detail;

namespace {

const std::string kCrLf = "\r\n";
const std::string kEmptyRow = "<tr><td><p></p></td></tr>";


void Table(std::vector<std::string>& lines, const TCellMatrix& grid) {
    static const std::string cellStart =
        "<td> <p class=MsoNormal align=right style=\"text-align:right\">";
    lines.push_back("<div align=left>");
    lines.push_back(kCrLf + "<div align=center><table border =1 >" + kCrLf);
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string line = "<tr>" + kCrLf;
        for (int c = 0; c < grid.ColCount(); ++c) {
            line += cellStart;
            line += HtmlEscape(grid.Cell(c, r));
            line += "</td>";
        }
        lines.push_back(std::move(line));
        lines.push_back("</tr>");
    }
    lines.push_back("</div></table>");
}

void UrvBlock(std::vector<std::string>& lines, const char* side, const long double* values,
              long double mean) {
    lines.push_back(kCrLf + "<div align=center><table border =1 >" + kCrLf);
    lines.push_back("<tr><td><p><b>(URV) Conversão em URV: </b></p></td></tr>");
    lines.push_back(std::string("<tr><td><p><b>Aplicação sobre o Benefício ") + side +
                    ": </b></p></td></tr>");
    static const char* const months[4] = {"11/1993", "12/1993", "01/1994", "02/1994"};
    for (int k = 0; k < 4; ++k)
        lines.push_back(std::string("<tr><td><p>") + months[k] + ": " +
                        FormatFloat("#,#00.00000", values[k]) + "</p></td></tr>");
    lines.push_back("<tr><td><p><b>Média: </b>" + FormatFloat("#,#00.00000", mean) +
                    "</p></td></tr>");
    lines.push_back("</div></table>");
}

} // namespace

std::vector<std::string> imprixLines(const TReportInput& in) {
    static const TCellMatrix empty(1, 1);
    const TCellMatrix& planilha = in.planilha ? *in.planilha : empty;
    const TCellMatrix& Sdem = in.Sdem ? *in.Sdem : empty;
    std::vector<std::string> lines;
    lines.reserve(2 * (planilha.RowCount() + Sdem.RowCount()) + 64);

    const std::string span = report_font::Span(in.Cfont, in.Cnomefont);
    lines.push_back("<html>");
    lines.push_back("<head>");
    lines.push_back("<title>Atualização</title>");
    lines.push_back(kEmptyRow);
    lines.push_back(kEmptyRow);
    lines.push_back(span);
    lines.push_back("<tr><td><p><b>Nome:</b> " + HtmlEscape(in.Enome) +
                    " <b>   Número do Benefício:</b> " + HtmlEscape(in.Enumero) + "</p></td></tr>");
    lines.push_back("<tr><td><p><b>Data inicial do cálculo: </b>" + HtmlEscape(in.Dataini) +
                    " <b>  Data final do cálculo:</b> " + HtmlEscape(in.Datafim) + "</p></td></tr>");
    lines.push_back("<tr><td><p><b>RMI Autor: </b>" + Fmt(in.Vinss) + " <b>   RMI INSS: </b>" +
                    Fmt(in.Vautor) + "</p></td></tr>");
    lines.push_back(kEmptyRow + "</span>");
    lines.push_back("<div align=center>");
    lines.push_back(span);
    lines.push_back(kEmptyRow);
    lines.push_back(kEmptyRow);
    if (!in.cpossuo) {
        lines.push_back("<tr><td><p><b>NOVA RMI</b></p></td></tr>");
        Table(lines, Sdem);
    }
    lines.push_back(kEmptyRow);
    lines.push_back("<tr><td><p><b>EVOLUÇÃO DA RMI ORIGINAL E A NOVA RMI, E APURAÇÃO DAS "
                    "DIFERENÇAS</b></p></td></tr>");
    lines.push_back("<tr><td><p><b>Índice de Correção: </b>" + HtmlEscape(in.ComboBox1) +
                    "</p></td></tr>");
    Table(lines, planilha);
    lines.push_back(kEmptyRow);
    lines.push_back("<tr><td><p><b>DIFERENÇA DEVIDA = R$ " +
                    HtmlEscape(planilha.Cell(11, planilha.RowCount() - 1)) + "</b></p></td></tr>");
    lines.push_back(kEmptyRow);

    if (in.DatainiDate < EncodeDate(1989, 4, 1)) {
        lines.push_back(kCrLf + "<div align=center><table border =1 >" + kCrLf);
        lines.push_back("<tr><td><p><b>(ADCT) Aplicação da ADCT art. 58</b></p></td></tr>");
        // Without the first month's minimum wage the number of wages is unknown.
        auto wages = [&](long double rmi) {
            return salminicial == 0 ? std::string("salário mínimo do primeiro mês não encontrado")
                                    : FormatFloat("#,##0.00000", rmi / salminicial);
        };
        lines.push_back("<tr><td><p>RMI Autor em salários: " + wages(in.Vinss) + "</p></td></tr>");
        lines.push_back("<tr><td><p>RMI INSS em salários: " + wages(in.Vautor) + "</p></td></tr>");
        lines.push_back("</div></table>");
        lines.push_back(kEmptyRow);
    }
    const bool beforeUrv = in.DatainiDate < EncodeDate(1994, 3, 1);
    if (in.Curv && beforeUrv) {
        UrvBlock(lines, "do Autor", urvautor, mediaurvautor);
        lines.push_back(kEmptyRow);
    }
    if (in.Curvinss && beforeUrv) UrvBlock(lines, "INSS", urvinss, mediaurvinss);
    lines.push_back("</html>");
    return lines;
}

std::string imprixText(const TReportInput& in) {
    const std::vector<std::string> lines = imprixLines(in);
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + kCrLf.size();
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += kCrLf;
    }
    return text;
}

void WriteReport(const std::string& text, const std::string& DataDir, const TShowMessage& showMessage) {
    const std::string fileName = PathJoin(DataDir, "atual.html");
    try {
        // Rewritten on every Finalizar: replaced whole, but not worth a flush to disk.
        TAtomicFileWriter file(fileName, TDurability::RebuiltOnDemand);
        file.Write(text);
        file.Commit();
    } catch (const EInOutError& e) {
        if (showMessage)
            showMessage("Não foi possível gravar o relatório \"" + fileName +
                        "\": " + (e.Reason.empty() ? e.Message : e.Reason));
    }
}

void imprix(const TReportInput& in, const std::string& DataDir, const TShowMessage& showMessage) {
    WriteReport(imprixText(in), DataDir, showMessage);
}

} // namespace calc

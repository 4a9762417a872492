// The contribution-time sum's state file "temp.back": the insured person's
// fields, the sex and the overlap choice as words, and the period rows five
// lines each.
#include <algorithm>

#include "platform/runtime/formats.h"
#include "platform/runtime/strutil.h"
#include "simulation/contribution_core.h"

namespace soma {

namespace {

constexpr size_t kHeaderLines = 11; // the fields, the row count and the period count

// A value must stay on its own line.
std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

int Count(const std::string& text, size_t lineNo, const std::string& fileName) {
    int n = 0;
    if (!TryStrToInt(Trim(text), n) || n < 0 || n > MaxLinhas)
        throw ESomaError("Número de linhas inválido no arquivo " + fileName + ", linha " +
                         IntToStr(static_cast<int64_t>(lineNo)) + ": '" + text + "'");
    return n;
}

} // namespace

bool DataVazia(const std::string& text) {
    return text.find_first_not_of(" /_") == std::string::npos;
}

bool DataOuVazio(const std::string& text) {
    if (DataVazia(text)) return true;
    TDateTime d;
    return TryStrToDate(text, d);
}

std::vector<std::string> EstadoLinhas(const TSomaEstado& e) {
    std::vector<std::string> lines;
    for (const std::string* v : {&e.Edit1, &e.Edit2, &e.Edit4, &e.Edit5, &e.Edit7, &e.MaskEdit2,
                                 &e.MaskEdit1, &e.ComboBox1})
        lines.push_back(OneLine(*v));
    lines.push_back(e.masculino ? "Masculino" : "Feminino");
    lines.push_back(IntToStr(e.rowCount));
    lines.push_back(IntToStr(static_cast<int64_t>(e.linhas.size())));
    for (const auto& row : e.linhas)
        for (const std::string& cell : row)
            lines.push_back(OneLine(cell));
    lines.push_back(e.juntos ? "Juntos" : "Separados");
    return lines;
}

TSomaEstado LerEstado(const std::vector<std::string>& lines, const std::string& fileName) {
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    TSomaEstado e;
    size_t i = 0;
    for (std::string* v : {&e.Edit1, &e.Edit2, &e.Edit4, &e.Edit5, &e.Edit7})
        *v = line(i++);
    for (std::string* v : {&e.MaskEdit2, &e.MaskEdit1}) {
        *v = line(i++);
        if (!DataOuVazio(*v))
            throw ESomaError("Data inválida no arquivo " + fileName + ", linha " +
                             IntToStr(static_cast<int64_t>(i)) + ": '" + *v + "'");
    }
    e.ComboBox1 = line(i++);
    e.masculino = line(i++) == "Masculino";
    const int rowCount = Count(line(i), i + 1, fileName);
    ++i;
    const int n = Count(line(i), i + 1, fileName);
    ++i;
    if (lines.size() < kHeaderLines + 5 * static_cast<size_t>(n))
        throw ESomaError("O arquivo " + fileName + " está incompleto: a lista de períodos tem " +
                         IntToStr(n) + " linhas e o arquivo termina antes delas. Nada foi lido.");
    e.linhas.resize(n);
    for (auto& row : e.linhas)
        for (std::string& cell : row)
            cell = line(i++);
    e.juntos = line(i) == "Juntos";
    // The rows read must fit the grid, which keeps a data row under its header.
    e.rowCount = std::max({rowCount, n, 2});
    return e;
}

} // namespace soma

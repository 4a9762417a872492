#pragma once
// The simulation's report "simulacao.html": the insured person's data and,
// for each rule computed, its figures and its demonstrative of salaries.
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/cell_matrix.h"

namespace simulacao {

struct TSecaoRelatorio {
    std::string titulo;
    // Label and value, one line each, in order.
    std::vector<std::pair<std::string, std::string>> linhas;
    TCellMatrix demonstrativo{13, 1};
};

struct TRelatorio {
    std::string Cfont, Cnomefont; // report font size and face of the main window
    // Label and value of the insured person's data, in order.
    std::vector<std::pair<std::string, std::string>> dados;
    std::vector<TSecaoRelatorio> secoes;
};

// The report's lines (Windows-1252); texts from fields and cells are escaped.
std::vector<std::string> RelatorioLinhas(const TRelatorio& r);

// Writes the lines to fileName atomically (CR LF); a failure raises
// EInOutError and keeps the previous report.
void GravaRelatorio(const TRelatorio& r, const std::string& fileName);

} // namespace simulacao

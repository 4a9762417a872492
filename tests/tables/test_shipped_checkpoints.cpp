// The shipped correction table against the official factors: the salary
// correction factor the program derives at each reference month (truncating
// reload, then the INPC factor grid) must match every official factor of
// data/sources/checkpoints.tsv within 0.01 %.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "grids/table_file.h"
#include "platform/gui/application.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "tables/table_names.h"
#include "tables/tables_form.h"

namespace {

struct Checkpoint {
    std::string reference; // mm/yyyy the factors carry to
    std::string month;     // mm/yyyy of the salary
    std::string factor;    // official, decimal comma
};

std::vector<Checkpoint> ReadCheckpoints(const std::string& path) {
    std::ifstream in(path);
    std::vector<Checkpoint> out;
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f;
        std::stringstream s(line);
        std::string field;
        while (std::getline(s, field, '\t'))
            f.push_back(field);
        if (f.size() >= 4) out.push_back({f[1], f[2], f[3]});
    }
    return out;
}

int MonthIndex(const std::string& month) {
    return std::stoi(month.substr(3)) * 12 + std::stoi(month.substr(0, 2)) - 1;
}

std::string MonthText(int index) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%04d", index % 12 + 1, index / 12);
    return text;
}

int RowOf(TStringAlignGrid* grid, const std::string& month) {
    for (int r = 1; r < grid->RowCount(); ++r)
        if (grid->Cells(0, r) == month) return r;
    return -1;
}

} // namespace

TEST(ShippedCheckpoints, SalaryCorrectionMatchesTheOfficialFactors) {
    const std::string data = PathJoin(VELORIM_SOURCE_DIR, "data");
    const std::vector<Checkpoint> checkpoints =
        ReadCheckpoints(PathJoin(data, "sources/checkpoints.tsv"));
    ASSERT_FALSE(checkpoints.empty());

    TCellMatrix table(2, 2);
    LoadTableFile(table, PathJoin(data, tabelas::SeriesIIIFile));
    std::set<std::string> covered;
    for (int r = 1; r < table.RowCount(); ++r)
        covered.insert(table.Cell(0, r));

    std::map<std::string, std::vector<const Checkpoint*>> byReference;
    std::vector<const Checkpoint*> skipped;
    for (const Checkpoint& c : checkpoints) {
        if (covered.count(c.reference) && covered.count(c.month))
            byReference[c.reference].push_back(&c);
        else
            skipped.push_back(&c);
    }

    auto* form = new TForm8(Application);
    form->DataDir = data;
    int compared = 0;
    for (const auto& [reference, list] : byReference) {
        form->geraindicex("01/" + reference);
        ASSERT_EQ(form->indicegrid->Cells(0, form->indicegrid->RowCount() - 1), reference);
        for (const Checkpoint* c : list) {
            int row = RowOf(form->indicegrid, c->month);
            ASSERT_GE(row, 1) << c->month;
            long double ours = StrToFloat(form->indicegrid->Cells(1, row));
            long double official = StrToFloat(c->factor);
            EXPECT_LE(std::fabs(ours / official - 1), 1e-4L)
                << "fator de " << c->month << " em " << reference << ": oficial " << c->factor
                << ", derivado " << form->indicegrid->Cells(1, row);
            ++compared;
        }
    }
    form->Free();

    EXPECT_GT(compared, 0);
    // Skipped checkpoints, listed as runs of months for each reference month.
    if (!skipped.empty()) {
        std::map<std::string, std::vector<int>> runs;
        for (const Checkpoint* c : skipped)
            runs[c->reference].push_back(MonthIndex(c->month));
        std::cout << "Fora da cobertura da tabela (" << skipped.size() << " pulados):\n";
        for (auto& [reference, months] : runs) {
            std::sort(months.begin(), months.end());
            std::cout << "  fatores para " << reference << ":";
            for (size_t i = 0; i < months.size();) {
                size_t j = i;
                while (j + 1 < months.size() && months[j + 1] == months[j] + 1)
                    ++j;
                std::cout << " " << MonthText(months[i]);
                if (j > i) std::cout << " a " << MonthText(months[j]);
                i = j + 1;
            }
            std::cout << "\n";
        }
    }
    RecordProperty("compared", compared);
    RecordProperty("skipped", static_cast<int>(skipped.size()));
}

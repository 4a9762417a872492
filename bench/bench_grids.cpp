// Table files: loading and saving a 10,000-row, 4-column table, the size of
// the longest index series.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>

#include "grids/align_grid.h"
#include "grids/table_file.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"

namespace {

TCellMatrix BigTable() {
    TCellMatrix m(4, 10000);
    m.SetCell(0, 0, "Mês");
    m.SetCell(1, 0, "Índice");
    m.SetCell(2, 0, "Fator");
    m.SetCell(3, 0, "Moeda");
    for (int r = 1; r < 10000; ++r) {
        m.SetCell(0, r, (r % 12 + 1 < 10 ? "0" : "") + std::to_string(r % 12 + 1) + "/" + std::to_string(1900 + r / 12));
        m.SetCell(1, r, "1." + std::to_string(100 + r % 900) + "," + std::to_string(10000 + r));
        m.SetCell(2, r, "0," + std::to_string(9000000 + r));
        m.SetCell(3, r, "R$");
    }
    return m;
}

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() / ("velorim_bench_" + std::to_string(::getpid()) + ".tab")).string();
}

void BM_LoadTableFile(benchmark::State& state) {
    const std::string path = BenchFile();
    SaveTableFile(BigTable(), path);
    for (auto _ : state) {
        TCellMatrix m(1, 1);
        LoadTableFile(m, path);
        benchmark::DoNotOptimize(m.Cell(3, 9999));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadTableFile)->Unit(benchmark::kMillisecond);

// A reload over a grid that already holds the table (what start-up and each
// calculation do).
void BM_ReloadTableFile(benchmark::State& state) {
    const std::string path = BenchFile();
    SaveTableFile(BigTable(), path);
    TCellMatrix m(1, 1);
    LoadTableFile(m, path);
    for (auto _ : state) {
        LoadTableFile(m, path);
        benchmark::DoNotOptimize(m.Cell(3, 9999));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReloadTableFile)->Unit(benchmark::kMillisecond);

void BM_SaveTableFile(benchmark::State& state) {
    const std::string path = BenchFile();
    const TCellMatrix m = BigTable();
    for (auto _ : state) SaveTableFile(m, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveTableFile)->Unit(benchmark::kMillisecond);

// The same table loaded into a table grid on a form, as start-up does: the
// file, then the grid's scroll range and current cell.
void BM_LoadIntoGrid(benchmark::State& state) {
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        Application->Initialize();
    }
    const std::string path = BenchFile();
    SaveTableFile(BigTable(), path);
    auto* form = new TForm(Application);
    auto* grid = new TStringAlignGrid(form);
    grid->SetParent(form);
    for (auto _ : state) {
        grid->SetRowCount(2);
        grid->LoadFromFile(path);
        benchmark::DoNotOptimize(grid->Cells(3, 9999));
    }
    form->Free();
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadIntoGrid)->Unit(benchmark::kMillisecond);

}  // namespace

// The start-up load of the index tables without windows: the fourteen table
// files of 600 rows each read into cell matrices, and the generators that
// start-up runs (two keyed cumulative series and the 1998 series).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "tables/startup_tables.h"
#include "tables/table_names.h"

namespace {

constexpr int Rows = 600;

// Writes a table of Rows months from 01/1977: column 1 an index number or a
// percentage, column 3 a currency divisor in a few months.
void WriteTable(const std::string& path, bool dates, bool percentages) {
    std::string text = dates ? "Data\tSalário Mínimo\t\t\t\r\n" : "Data\tÍndice\t\tDivisor\t\r\n";
    long double index = 1;
    for (int i = 0; i < Rows; ++i) {
        TDateTime d = IncMonth(EncodeDate(1977, 1, 1), i);
        std::string key = FormatDateTime(dates ? "dd/mm/yyyy" : "mm/yyyy", d);
        long double pct = 0.25L + (i % 17) * 0.31L;
        index *= 1 + pct / 100;
        std::string value = percentages ? FormatFloat("0.00", pct) : FloatToStr(index);
        std::string divisor = (i == 110 || i == 144 || i == 199) ? "1000" : "";
        text += key + "\t" + value + "\t\t" + divisor + "\t\r\n";
    }
    WriteFileAtomic(path, text);
}

struct TableDir {
    std::string dir;
    TableDir() {
        dir = (std::filesystem::temp_directory_path() / "velorim-bench-startup").string();
        std::filesystem::create_directories(dir);
        WriteTable(PathJoin(dir, tabelas::SalminFile), true, false);
        WriteTable(PathJoin(dir, tabelas::AtuaprevFile), false, true);
        WriteTable(PathJoin(dir, tabelas::CrMensalRev3File), false, false);
        WriteTable(PathJoin(dir, tabelas::CrMensalRevInssFile), false, false);
        WriteTable(PathJoin(dir, tabelas::InssFile), false, false);
        WriteTable(PathJoin(dir, tabelas::Inpc98File), false, true);
        WriteTable(PathJoin(dir, tabelas::CoeficientesFile), false, false);
        WriteTable(PathJoin(dir, tabelas::MeuIndiceFile), false, false);
        WriteTable(PathJoin(dir, tabelas::InssScFile), false, false);
        WriteTable(PathJoin(dir, tabelas::InssScMarkFile), false, false);
        WriteTable(PathJoin(dir, tabelas::SeriesIFile), false, true);
        WriteTable(PathJoin(dir, tabelas::SeriesIIFile), false, true);
        WriteTable(PathJoin(dir, tabelas::SeriesIIIFile), false, false);
    }
    ~TableDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

struct Grids {
    TCellMatrix m[17] = {{2, 2}, {2, 2}, {2, 2}, {2, 2}, {2, 2}, {1, 1}, {2, 2}, {1, 1}, {2, 2},
                         {2, 2}, {2, 2}, {1, 1}, {2, 2}, {2, 2}, {8, 2}, {2, 2}, {2, 2}};
    TIndexTableSet Set() {
        TIndexTableSet t;
        TCellMatrix** slots[] = {
            &t.GridSalmin,   &t.tabatusal,  &t.GridCorrRev, &t.INPCGrid,    &t.SRevisaoI,
            &t.SRVI,         &t.SRevisaoII, &t.SRVII,       &t.SRevisaoIII, &t.Gridanterior1994,
            &t.gridinpc98,   &t.grid98,     &t.gridiinss,   &t.gridinsssc,  &t.Gridcoeficientes,
            &t.Gridcrmensal, &t.GridMI};
        for (int i = 0; i < 17; ++i)
            *slots[i] = &m[i];
        return t;
    }
};

void BM_StartupTables(benchmark::State& state) {
    static TableDir tables;
    int loaded = 0, failures = 0;
    for (auto _ : state) {
        Grids grids;
        loaded = LoadIndexTables(
            tables.dir, grids.Set(),
            [](TCellMatrix& cells, const std::string& text) {
                CellsFromText(cells, text, TableSeparator, GridRect(0, 0, -1, -1));
            },
            [&failures](const std::string&) { ++failures; });
        benchmark::DoNotOptimize(grids.m[5].Cell(1, 1));
    }
    if (loaded != 14 || failures != 0)
        state.SkipWithError("the start-up load did not load every table");
    state.counters["tables"] = loaded;
}
BENCHMARK(BM_StartupTables)->Unit(benchmark::kMillisecond);

} // namespace

// Start-up. Side by side, each a fresh process timed to its first window on
// screen: the program with every shipped table of data/ loaded, and a trivial
// Qt window started the same way; the same seen from outside, at an X server,
// to the usable frame. Then the start-up load of the index tables
// without windows: the fourteen table files of 600 rows each read into cell
// matrices, and the generators that start-up runs (two keyed cumulative
// series and the 1998 series).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "grids/table_file.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "tables/startup_tables.h"
#include "tables/table_names.h"

namespace {

constexpr int Rows = 600;

// Writes a table of Rows months from 01/1977 (newest first where the table
// keeps that order): column 1 an index number or a percentage, column 3 a
// currency divisor in a few months.
void WriteTable(const std::string& path, bool dates, bool percentages, bool newestFirst = false) {
    std::string text = dates ? "Data\tSalário Mínimo\t\t\t\r\n" : "Data\tÍndice\t\tDivisor\t\r\n";
    long double index = 1;
    for (int i = 0; i < Rows; ++i) {
        TDateTime d = IncMonth(EncodeDate(1977, 1, 1), newestFirst ? Rows - 1 - i : i);
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
        WriteTable(PathJoin(dir, tabelas::InssScFile), false, false, true);
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

// ------------------------------------------------------------ whole processes

long long MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// A working copy of the shipped data directory, as the run command makes.
struct DataCopy {
    std::string dir;
    DataCopy() {
        dir = (std::filesystem::temp_directory_path() / "velorim-bench-startup-data").string();
        std::filesystem::remove_all(dir);
        std::filesystem::copy(std::string(VELORIM_SOURCE_DIR) + "/data", dir,
                              std::filesystem::copy_options::recursive);
    }
    ~DataCopy() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// Runs argv inside dir with its output (stderr to /dev/null) read into text;
// returns its exit code, -1 when it could not start or did not exit.
// startedNs and endedNs get the moments around the run.
int RunInDir(const std::string& dir, std::vector<std::string> args, std::string& text, long long* startedNs = nullptr,
             long long* endedNs = nullptr) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (startedNs) *startedNs = MonotonicNs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return -1;
    }
    text.clear();
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (endedNs) *endedNs = MonotonicNs();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts the probe in mode inside dir; returns the nanoseconds from the start
// of the process to the moment it printed first (its window on screen, or
// "Sair" pressed; -1 on failure), the probe's second line in detail and, in
// ended, the nanoseconds from that moment to the end of the process.
long long StartProbe(const char* mode, const std::string& dir, std::string& detail, long long* ended = nullptr) {
    std::string text;
    long long start = 0, end = 0;
    if (RunInDir(dir, {VELORIM_STARTUP_PROBE, mode}, text, &start, &end) != 0) return -1;
    const auto newline = text.find('\n');
    detail = newline == std::string::npos ? "" : text.substr(newline + 1);
    if (ended) *ended = end - std::atoll(text.c_str());
    return std::atoll(text.c_str()) - start;
}

// Both kinds of process, alternating, so that both see the same machine load.
void BM_StartupSideBySide(benchmark::State& state) {
    auto unset = [](const char* name) { return !std::getenv(name) || !*std::getenv(name); };
    if (unset("DISPLAY") && unset("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static DataCopy data;
    double program = 0, trivial = 0;
    int runs = 0;
    std::string detail;
    for (auto _ : state) {
        const long long p = StartProbe("program", data.dir, detail);
        std::string none;
        const long long t = StartProbe("trivial", data.dir, none);
        if (p < 0 || t < 0) {
            state.SkipWithError("a probe process failed");
            return;
        }
        program += static_cast<double>(p) / 1e6;
        trivial += static_cast<double>(t) / 1e6;
        ++runs;
    }
    // The shipped salary table has hundreds of rows: fewer means no load.
    if (std::atoi(detail.c_str() + detail.find(' ') + 1) < 100) {
        state.SkipWithError("the program did not load the shipped tables");
        return;
    }
    state.counters["program_ms"] = program / runs;
    state.counters["trivial_ms"] = trivial / runs;
    state.counters["ratio"] = program / trivial;
}
BENCHMARK(BM_StartupSideBySide)->Unit(benchmark::kMillisecond)->Iterations(40);

// Leaving: the program up with the shipped tables, "Sair" pressed in its
// message loop, timed to the end of the process (what the user waits for
// once the window has gone).
void BM_SairToExit(benchmark::State& state) {
    auto unset = [](const char* name) { return !std::getenv(name) || !*std::getenv(name); };
    if (unset("DISPLAY") && unset("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static DataCopy data;
    double closing = 0;
    int runs = 0;
    for (auto _ : state) {
        std::string none;
        long long ended = 0;
        if (StartProbe("sair", data.dir, none, &ended) < 0) {
            state.SkipWithError("the probe process failed");
            return;
        }
        closing += static_cast<double>(ended) / 1e6;
        ++runs;
    }
    state.counters["closing_ms"] = closing / runs;
}
BENCHMARK(BM_SairToExit)->Unit(benchmark::kMillisecond)->Iterations(20);

// ------------------------------------------------------- seen from outside

#ifdef VELORIM_X_FIRST_PIXELS
// A start timed by x_first_pixels, ms from the start of the process: its
// first window mapped, first drawn into, and usable (the drawing settled).
struct XTimes {
    double map = 0, first = 0, usable = 0;
};

// Runs x_first_pixels on a command inside dir; false when it failed.
bool FirstPixels(const std::string& dir, std::vector<std::string> command, XTimes& times, int& exitCode) {
    command.insert(command.begin(), VELORIM_X_FIRST_PIXELS);
    std::string text;
    exitCode = RunInDir(dir, std::move(command), text);
    return exitCode == 0 && std::sscanf(text.c_str(), "%lf %lf %lf", &times.map, &times.first, &times.usable) == 3;
}
#endif

// The program (the real one, in a copy of data/), trivial_window (an empty
// maximised Qt window) and plain_main_window (the program's menu bar and
// toolbar made with Qt alone), each started fresh, alternately, and timed at
// the X server from the start of the process to its usable frame: the
// program's first frame shows its toolbar disabled, and the usable one comes
// once the tables are loaded and the toolbar enabled. The program's map and
// first frame are kept beside it. Needs an X server with DAMAGE in DISPLAY
// (bench/startup_compare.sh starts Xvfb).
void BM_StartupFirstPixelsAtTheXServer(benchmark::State& state) {
#ifndef VELORIM_X_FIRST_PIXELS
    state.SkipWithError("built without xcb-damage (libxcb-damage0-dev)");
#else
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        state.SkipWithError("no X server: DISPLAY is not set");
        return;
    }
    static DataCopy data;
    XTimes program, window, plain;
    int runs = 0;
    for (auto _ : state) {
        XTimes p, w, q;
        int code = 0;
        if (!FirstPixels(data.dir, {VELORIM_PROGRAM}, p, code) ||
            !FirstPixels(data.dir, {VELORIM_TRIVIAL_WINDOW}, w, code) ||
            !FirstPixels(data.dir, {VELORIM_PLAIN_MAIN_WINDOW}, q, code)) {
            state.SkipWithError(code == 3 ? "the X server has no DAMAGE extension" : "a start failed");
            return;
        }
        auto add = [](XTimes& sum, const XTimes& one) {
            sum.map += one.map;
            sum.first += one.first;
            sum.usable += one.usable;
        };
        add(program, p);
        add(window, w);
        add(plain, q);
        ++runs;
    }
    state.counters["program_map_ms"] = program.map / runs;
    state.counters["program_first_ms"] = program.first / runs;
    state.counters["program_usable_ms"] = program.usable / runs;
    state.counters["window_usable_ms"] = window.usable / runs;
    state.counters["plain_usable_ms"] = plain.usable / runs;
    state.counters["ratio"] = program.usable / window.usable;
    state.counters["ratio_plain"] = program.usable / plain.usable;
#endif
}
BENCHMARK(BM_StartupFirstPixelsAtTheXServer)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

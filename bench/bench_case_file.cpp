// A damaged case file of 15 MB opened as the user would: a real case whose
// new-RMI table holds 480,000 rows (the file's length is its only bound),
// opened with "Abrir" and then finished with "Finalizar"; and a case of
// line ends alone, as large as a case may be, opened with "Abrir".
// Measured: the openings alone, and the opening with Finalizar after it,
// each with the process's peak resident memory during the run ("peak_MB",
// the peak reset before it) and the resident memory left after it
// ("resident_MB"). The program starts in a copy of data/ with its shipped
// tables; forms are created offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "controls/currency_edit.h"
#include "controls/date_edit.h"
#include "grids/align_grid.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/forms.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "platform/runtime/formats.h"
#include "platform/runtime/text_file.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_state_file.h"

namespace {

constexpr int kNewRmiRows = 480000;

// A line of /proc/self/status in MB ("VmHWM", "VmRSS").
double StatusMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0 && line[n] == ':')
            return std::stod(line.substr(n + 1)) / 1024.0;
    return 0;
}

// The peak resident memory starts again from what the process holds now.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        Application->Initialize();
        SetDialogService(&dialogs);
        dir = std::filesystem::temp_directory_path() / ("velorim_bench_case_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::copy(std::string(VELORIM_SOURCE_DIR) + "/data", dir,
                              std::filesystem::copy_options::recursive);
        SetCurrentDir(dir.string());
        CreateProgramForms();
        Form1->FormShow(nullptr);
        NewCase();
        Form12->gravax();
        caseFile = (dir / "longo.bev").string();
        WriteLongCase(ReadLines((dir / "atualrev.back").string()));
        lineEndsFile = (dir / "linhas.bev").string();
        std::ofstream(lineEndsFile, std::ios::binary) << std::string(kMaxStateFileSize, '\n');
    }
    ~Program() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    // A short case of the "Já possuo" road, calculated: the wizard as the
    // user left it before opening the damaged file.
    static void NewCase() {
        Form1->BtnRevisaoNovoClick(nullptr);
        TForm12& w = *Form12;
        w.cpossuo->SetChecked(true);
        w.Cadct1->SetChecked(false);
        w.Enome->SetText("Segurado de Teste");
        w.Dataini->SetText("01/01/2000");
        w.Datafim->SetText("31/12/2010");
        w.DatePrescricao->SetText("01/01/2000");
        w.Vinss->SetText("3.000,00");
        w.Vautor->SetText("2.500,00");
        w.PageControl1->SetPageIndex(5);
        w.BTNcorrigirClick(nullptr);
    }

    static std::vector<std::string> ReadLines(const std::string& path) {
        TTextFileReader file(path);
        std::vector<std::string> lines;
        while (!file.Eof()) lines.push_back(file.Readln());
        return lines;
    }

    // The case with its new-RMI table grown to kNewRmiRows rows of five
    // cells, on the Lei 8.213/91 road so that the report prints the table.
    void WriteLongCase(std::vector<std::string> lines) const {
        const size_t planilha = 22;
        const size_t sdem = planilha + 1 + std::stoul(lines[planilha]) + 7;
        const size_t sdemRows = std::stoul(lines[sdem]);
        std::vector<std::string> rows;
        rows.reserve(kNewRmiRows);
        rows.push_back(lines[sdem + 1]);  // its title row
        for (int r = 1; r < kNewRmiRows; ++r)
            rows.push_back("01/1999,\"1.000,00\",1,\"100,00\",");
        lines.erase(lines.begin() + std::ptrdiff_t(sdem + 1),
                    lines.begin() + std::ptrdiff_t(sdem + 1 + sdemRows));
        lines[sdem] = IntToStr(kNewRmiRows);
        lines.insert(lines.begin() + std::ptrdiff_t(sdem + 1), rows.begin(), rows.end());
        // Block C: Decreto 83.080/79, coefficient, 1/30, Lei 8.213/91, Já possuo.
        const size_t road = lines.size() - 7;
        lines[road] = "false";
        lines[road + 3] = "true";
        lines[road + 4] = "false";
        TTextFileWriter out(caseFile);
        for (const std::string& line : lines) out.Writeln(line);
        out.Close();
    }

    TDialogRecorder dialogs;
    std::filesystem::path dir;
    std::string caseFile;
    std::string lineEndsFile;
};

Program& TheProgram() {
    static Program program;
    return program;
}

// "Abrir" of the file, as the main window reads it.
void Open(const std::string& file) {
    try {
        Form12->ReadStateFile(file);
    } catch (const Exception&) {
        // Refused with its message (or aborted): the wizard keeps its case.
    }
}

void Finalizar() {
    try {
        Form12->Button3Click(nullptr);
    } catch (const Exception&) {
    }
}

void Report(benchmark::State& state, const Program& program, double peak,
            const std::string& file) {
    state.counters["peak_MB"] = peak;
    state.counters["resident_MB"] = StatusMB("VmRSS");
    state.counters["file_MB"] = double(std::filesystem::file_size(file)) / 1e6;
    state.counters["Sdem_rows"] = Form12->Sdem->RowCount();
    state.counters["messages"] = double(program.dialogs.Messages().size());
}

// Opens the case file as A. Backup does, its peak memory measured alone.
void OpenCase(benchmark::State& state, const std::string& file) {
    Program& program = TheProgram();
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Program::NewCase();
        program.dialogs.Clear();
        ResetPeak();
        state.ResumeTiming();
        Open(file);
        state.PauseTiming();
        peak = StatusMB("VmHWM");
        state.ResumeTiming();
    }
    Report(state, program, peak, file);
}

void BM_OpenLongCase(benchmark::State& state) {
    OpenCase(state, TheProgram().caseFile);
}
BENCHMARK(BM_OpenLongCase)->Unit(benchmark::kMillisecond)->Iterations(1);

// Its peak is to stay within a few times the file's size: the file is
// refused before a string is made for each of its lines.
void BM_OpenLineEndsCase(benchmark::State& state) {
    OpenCase(state, TheProgram().lineEndsFile);
}
BENCHMARK(BM_OpenLineEndsCase)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OpenLongCaseThenFinalizar(benchmark::State& state) {
    Program& program = TheProgram();
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Program::NewCase();
        Form1->HTMLViewer1->Clear();
        program.dialogs.Clear();
        ResetPeak();
        state.ResumeTiming();
        Open(program.caseFile);
        Finalizar();
        state.PauseTiming();
        peak = StatusMB("VmHWM");
        state.ResumeTiming();
    }
    Report(state, program, peak, program.caseFile);
}
BENCHMARK(BM_OpenLongCaseThenFinalizar)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

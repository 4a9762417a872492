// Start-up cost of the GUI layer: creating 18 forms with a few hundred
// controls, and freeing them; then the program's own 18 forms in their order,
// and freeing the main window while it shows a long report.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

namespace {

void EnsureQt() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
}

class TBenchForm : public TForm {
public:
    explicit TBenchForm(TComponent* owner) : TForm(owner) {
        SetCaption("Formulário");
        auto* pages = new TPageControl(this);
        pages->SetParent(this);
        pages->SetAlign(TAlign::alClient);
        for (int p = 0; p < 3; ++p) {
            auto* sheet = new TTabSheet(this);
            sheet->SetCaption("Página");
            sheet->SetPageControl(pages);
            for (int i = 0; i < 2; ++i) {
                auto* label = new TLabel(this);
                label->SetParent(sheet);
                label->SetCaption("Data Inicial");
                auto* edit = new TMaskEdit(this);
                edit->SetParent(sheet);
                edit->SetEditMask("!99/99/9999;1; ");
                auto* box = new TCheckBox(this);
                box->SetParent(sheet);
                box->SetCaption("Considerar teto");
            }
            auto* combo = new TComboBox(this);
            combo->SetParent(sheet);
            combo->Items.SetCommaText("1,2,3,4");
            auto* button = new TButton(this);
            button->SetParent(sheet);
            button->SetCaption("Próximo");
        }
    }
};

void BM_CreateEighteenForms(benchmark::State& state) {
    EnsureQt();
    for (auto _ : state) {
        for (int i = 0; i < 18; ++i) {
            TBenchForm* form = nullptr;
            Application->CreateForm(form);
        }
        state.PauseTiming();
        Application->DestroyForms();
        state.ResumeTiming();
    }
    state.counters["controls"] = 18 * (1 + 3 * (1 + 2 * 3 + 2));
}
BENCHMARK(BM_CreateEighteenForms)->Unit(benchmark::kMillisecond);

void BM_CreateProgramForms(benchmark::State& state) {
    EnsureQt();
    for (auto _ : state) {
        CreateProgramForms();
        state.PauseTiming();
        Application->DestroyForms();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateProgramForms)->Unit(benchmark::kMillisecond);

// A report of a few hundred months, shaped as the arrears report's table.
std::string WriteLongReport() {
    std::string html = "<html><body><table border=1 cellspacing=0>";
    for (int r = 0; r < 400; ++r) {
        html += "<tr><td>" + std::to_string(r % 12 + 1) + "/" + std::to_string(1995 + r / 12) + "</td>";
        for (int c = 0; c < 11; ++c) html += "<td align=right>1.116,67</td>";
        html += "</tr>";
    }
    html += "</table></body></html>";
    const auto file = std::filesystem::temp_directory_path() / "velorim_bench_forms_report.html";
    std::ofstream(file, std::ios::binary) << html;
    return file.string();
}

// Exit with a report on screen: the forms are freed, menu and toolbar
// included, while the viewer holds its document.
void BM_FreeFormsWithReport(benchmark::State& state) {
    EnsureQt();
    static const std::string report = WriteLongReport();
    for (auto _ : state) {
        state.PauseTiming();
        CreateProgramForms();
        Form1->SetBounds(0, 0, 1024, 700);
        Form1->HTMLViewer1->LoadFromFile(report);
        state.ResumeTiming();
        Application->DestroyForms();
    }
}
BENCHMARK(BM_FreeFormsWithReport)->Unit(benchmark::kMillisecond);

}  // namespace

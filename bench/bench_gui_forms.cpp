// Start-up cost of the GUI layer: creating the program's 18 forms with a few
// hundred controls, and freeing them.
#include <benchmark/benchmark.h>

#include <QApplication>

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

}  // namespace

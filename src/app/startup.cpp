#include "app/startup.h"

#include "platform/gui/application.h"
#include "app/main_window.h"
#include "simulation/grace_periods_form.h"
#include "simulation/conversion_form.h"
#include "simulation/date_reentry_form.h"
#include "app/about_box.h"
#include "html/view/go_page_form.h"
#include "tables/tables_form.h"
#include "revision/revision_form.h"
#include "revision/recalc_form.h"
#include "simulation/simulation_form.h"
#include "simulation/contribution_time_form.h"
#include "revision/arrears_wizard.h"
#include "revision/help_text_form.h"
#include "revision/prop_form.h"
#include "revision/redo_salaries_form.h"
#include "revision/redo_index_form.h"
#include "tables/own_index_form.h"
#include "app/browser_form.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/files.h"

namespace {

void CreateMainForm() {
    Application->SetTitle("Velorim");
    Application->CreateForm(Form1);
}

void CreateOtherForms() {
    Application->CreateForm(Form3);
    Application->CreateForm(Form4);
    Application->CreateForm(Form5);
    Application->CreateForm(AboutBox);
    Application->CreateForm(GoPageForm);
    Application->CreateForm(Form8);
    Application->CreateForm(Form9);
    Application->CreateForm(Form10);
    Application->CreateForm(Form6);
    Application->CreateForm(Form2);
    Application->CreateForm(Form12);
    Application->CreateForm(Form7);
    Application->CreateForm(Fprop);
    Application->CreateForm(Form13);
    Application->CreateForm(Form14);
    Application->CreateForm(Form15);
    Application->CreateForm(Form16);
}

}  // namespace

void CreateProgramForms() {
    CreateMainForm();
    CreateOtherForms();
}

void CreateMainFormFirst() {
    CreateMainForm();
    Form1->FormsAfterFirstPaint = CreateOtherForms;
}

bool DataDirUsable() {
    std::string dir;
    if (TryGetCurrentDir(dir)) return true;
    MessageDlg(UnusablePathText("a pasta de dados", dir) + ".\nInicie o programa em outra pasta.",
               TMsgDlgType::mtError, mbOK);
    return false;
}

bool DataDirToItself() {
    const std::string dir = GetCurrentDir();
    const std::string why =
        "duas cópias na mesma pasta gravam o mesmo cálculo (atualrev.back) e as mesmas "
        "configurações uma por cima da outra.";
    int error = 0;
    switch (HoldFolderLock(dir, &error)) {
    case TFolderLock::Held: return true;
    case TFolderLock::HeldByOther:
        MessageDlg("O Velorim já está aberto na pasta de dados \"" + dir +
                       "\".\nUse a janela já aberta: " + why,
                   TMsgDlgType::mtError, mbOK);
        return false;
    case TFolderLock::Unavailable: break;
    }
    // Unchecked, a second copy could be running there already.
    MessageDlg("Não foi possível verificar se o Velorim já está aberto na pasta de dados \"" + dir +
                   "\": " + SysErrorText(error) + ".\nO programa não foi iniciado, pois " + why,
               TMsgDlgType::mtError, mbOK);
    return false;
}

int RunVelorim(int argc, char* argv[]) {
    Application->Initialize(argc, argv);
    if (!DataDirUsable() || !DataDirToItself()) return 1;
    CreateMainFormFirst();
    Application->Run();
    Application->DestroyForms();
    return 0;
}

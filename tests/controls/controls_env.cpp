#include "controls_env.h"

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/errors.h"

namespace ctltest {

namespace {
int gBeeps = 0;

class ControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Application->Initialize();
        Dialogs();
        SetBeepHook([](unsigned) { ++gBeeps; });
    }
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);
    return true;
}();
}  // namespace

TDialogRecorder& Dialogs() {
    if (auto* r = dynamic_cast<TDialogRecorder*>(&DialogService())) return *r;
    static TDialogRecorder own;
    SetDialogService(&own);
    return own;
}

int Beeps() { return gBeeps; }

std::string FocusRefusal(TWinControl* next) {
    try {
        next->SetFocus();
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return std::string();
}
void ResetBeeps() { gBeeps = 0; }

void FormTest::SetUp() {
    (void)registered;
    Dialogs().Clear();
    ResetBeeps();
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 300);
}

void FormTest::TearDown() {
    form->Free();
    form = nullptr;
    Application->DeliverPostedMessages();
}

}  // namespace ctltest

// Main of the GUI test programs: Qt on the offscreen platform, the
// application object, and the dialog recorder in place of real dialogs.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "support/gui_test.h"

namespace velorim_test {

namespace {
TDialogRecorder& Recorder() {
    static TDialogRecorder recorder;
    return recorder;
}
int gBeeps = 0;

// Every test starts with no queued answers, no records, no pending messages.
class ResetListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        Recorder().Clear();
        Recorder().OnModalForm = nullptr;
        gBeeps = 0;
        Application->DeliverPostedMessages();
    }
    void OnTestEnd(const ::testing::TestInfo&) override { Application->ProcessMessages(); }
};
}  // namespace

TDialogRecorder& Dialogs() { return Recorder(); }
int Beeps() { return gBeeps; }

}  // namespace velorim_test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Application->Initialize(argc, argv);
    SetDialogService(&velorim_test::Dialogs());
    SetBeepHook([](unsigned) { ++velorim_test::gBeeps; });
    ::testing::UnitTest::GetInstance()->listeners().Append(new velorim_test::ResetListener);
    const int result = RUN_ALL_TESTS();
    Application->DestroyForms();
    SetDialogService(nullptr);
    return result;
}

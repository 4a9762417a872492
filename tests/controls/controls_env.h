#pragma once
// Shared by the control tests: the application on the offscreen platform, a
// dialog recorder in place of real message boxes, and a beep counter.
#include <gtest/gtest.h>

#include <string>

#include "platform/gui/dialog_recorder.h"
#include "platform/gui/forms.h"

namespace ctltest {

TDialogRecorder& Dialogs();
int Beeps();
void ResetBeeps();

// Moves the focus to next; returns the message of the conversion error that
// refused it, or "" when the focus moved.
std::string FocusRefusal(TWinControl* next);

// A form of its own for each test, freed with the fixture.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TForm* form = nullptr;
};

}  // namespace ctltest

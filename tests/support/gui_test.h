#pragma once
// Shared by the GUI test programs: the dialog recorder that the test main
// installs (cleared before every test) and the count of beeps.
#include "platform/gui/dialog_recorder.h"

namespace velorim_test {

// The recorder answering every dialog of the running test.
TDialogRecorder& Dialogs();
// Beeps since the test started.
int Beeps();

}  // namespace velorim_test

#pragma once
// The Qt application of a benchmark that shows nothing: made on first use,
// on the offscreen platform.
#include <QApplication>

inline void StartQt() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

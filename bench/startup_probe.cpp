// A process started as the program is, which reports the moment its first
// window is on screen and then ends:
//   startup_probe program   the program's start: the application, the main
//                           window shown, then the other forms and the
//                           start-up load of the current directory's tables
//   startup_probe trivial   one empty Qt window, as a yardstick
//   startup_probe sair      the program's window up, then "Sair" pressed in
//                           its message loop: prints that moment and ends as
//                           the program does
// It prints the CLOCK_MONOTONIC time (nanoseconds) at which the window was
// exposed and painted (sair: "Sair" was pressed), then (program mode)
// "salmin N", the rows of the first index table, and exits 0.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <type_traits>

#include "app/main_window.h"
#include "app/startup.h"
#include "platform/gui/application.h"
#include "tables/tables_form.h"

// Sources before the main window was shown first have no
// CreateMainFormFirst; their program created every form before it showed its
// window, and the probe does the same there (compare.sh builds older commits
// with these sources). The real function, where there is one, is the better
// match, being no template.
namespace older_sources {
struct Missing {};
template <class... None>
Missing CreateMainFormFirst(None...) {
    return {};
}
}  // namespace older_sources
using namespace older_sources;

namespace {

long long MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Runs the event loop until the window is exposed (its first paint happens
// while the expose event is handled); false after about five seconds.
bool WaitExposed(QWidget* window) {
    for (int i = 0; i < 5000; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (window->windowHandle() && window->windowHandle()->isExposed()) {
            QCoreApplication::processEvents();
            return true;
        }
    }
    return false;
}

int RunTrivial(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Velorim");
    window.resize(800, 600);
    window.show();
    if (!WaitExposed(&window)) return 2;
    std::printf("%lld\n", MonotonicNs());
    return 0;
}

int RunProgram(int argc, char** argv) {
    Application->Initialize(argc, argv);
    if (std::is_same_v<decltype(CreateMainFormFirst()), older_sources::Missing>)
        CreateProgramForms();
    else
        CreateMainFormFirst();
    Application->MainForm()->Show();
    if (!WaitExposed(Application->MainForm()->Widget())) return 2;
    std::printf("%lld\n", MonotonicNs());
    // The other forms and the tables follow the first paint.
    for (int i = 0; i < 5000 && Screen->FormCount() == 1; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    Application->ProcessMessages();
    if (Screen->FormCount() == 1) return 2;
    // Rows of the first table: the caller checks that the tables were there.
    std::printf("salmin %d\n", Form8->GridSalmin->RowCount());
    std::fflush(stdout);
    Application->DestroyForms();
    return 0;
}

// The program as the user leaves it: started as its main block starts it,
// and once its window is on screen "Sair" is pressed in the message loop.
int RunSair(int argc, char** argv) {
    Application->Initialize(argc, argv);
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [poll] {
        TForm* main = Application->MainForm();
        QWidget* w = main ? main->MadeWidget() : nullptr;
        if (!w || !w->windowHandle() || !w->windowHandle()->isExposed()) return;
        poll->stop();
        std::printf("%lld\n", MonotonicNs());
        std::fflush(stdout);
        Form1->SpeedButton21->Click();
    });
    poll->start(1);
    return RunVelorim(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "trivial") == 0) return RunTrivial(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "program") == 0) return RunProgram(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "sair") == 0) return RunSair(argc, argv);
    std::fprintf(stderr, "usage: startup_probe program|trivial|sair\n");
    return 1;
}

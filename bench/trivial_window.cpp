// The plainest Qt 6 window, linked with Qt Widgets alone: an empty window,
// maximised as the program's is, up until the process is ended. The
// yardstick of the start-up seen from outside (startup_compare.sh).
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Velorim");
    window.resize(800, 600);
    window.showMaximized();
    return app.exec();
}

// The program's entry: creates the application and its forms, then runs the
// message loop until the main window closes.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf16(u"Velorim - Revisão de Benefício Free"));
    window.showMaximized();
    return app.exec();
}

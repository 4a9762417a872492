// The program's main window as far as Qt alone can show it: the same menu
// bar, two tabs, six combo boxes and a text, maximised, in Qt Widgets with
// Qt PrintSupport linked as the program has it. The floor of the start-up
// seen from outside for any window with a menu bar and text
// (startup_compare.sh), between the empty window and the program.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Velorim");
    for (const char* menu : {"&Editar", "&Sobre", "Atualizações", "Ajuda"}) window.menuBar()->addMenu(menu)->addAction("-");
    auto* tabs = new QTabWidget;
    auto* first = new QWidget;
    new QLabel("Revisão de benefício", first);
    auto* second = new QWidget;
    for (int i = 0; i < 6; ++i) {
        auto* box = new QComboBox(second);
        box->addItems({"12", "11", "10"});
        box->move(8 + 60 * i, 8);
    }
    tabs->addTab(first, "Revisional");
    tabs->addTab(second, "Configurações");
    window.setCentralWidget(tabs);
    window.resize(800, 600);
    window.showMaximized();
    return app.exec();
}

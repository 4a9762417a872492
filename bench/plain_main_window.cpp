// The program's main window as far as Qt alone can show it, maximised, in Qt
// Widgets with Qt PrintSupport linked as the program has it: the same menu
// bar; the same toolbar, a tab page of seven flat buttons, each a 24 x 24
// picture drawn in code over its caption, and a page of the report's font and
// margins in two group boxes; and a white page below. The floor of the
// start-up seen from outside for any window that shows them
// (startup_compare.sh), between the empty window and the program.
//
// Narrow literals are stored as Windows-1252 here, as in the whole project,
// and Qt reads a narrow string as UTF-8: every text is a UTF-16 literal.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A picture of the toolbar's size: a folded sheet, and a mark that tells the
// buttons apart.
QIcon Glyph(int kind) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(14, 2), QPoint(19, 7), QPoint(19, 21), QPoint(4, 21)}));
    p.setPen(QColor(150, 150, 150));
    for (int y = 10; y <= 18; y += 3) p.drawLine(7, y, 16, y);
    const QColor marks[] = {{240, 200, 80}, {30, 90, 170}, {40, 140, 60}, {200, 150, 0}};
    p.setPen(Qt::NoPen);
    p.setBrush(marks[kind % 4]);
    p.drawEllipse(13 - kind, 13, 9, 9);
    return QIcon(pixmap);
}

void Menu(QMenuBar* bar, const QString& title, std::initializer_list<QString> items) {
    QMenu* menu = bar->addMenu(title);
    for (const QString& item : items) menu->addAction(item);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velorim - Revisão de Benefício Free"));
    Menu(window.menuBar(), QStringLiteral("&Editar"),
         {QStringLiteral("Selecionar tudo"), QStringLiteral("Copiar"), QStringLiteral("Configurar Impressão")});
    Menu(window.menuBar(), QStringLiteral("&Sobre"), {QStringLiteral("Sobre")});
    Menu(window.menuBar(), QStringLiteral("Atualizações"), {QStringLiteral("Site - Bravena Software")});
    Menu(window.menuBar(), QStringLiteral("Ajuda"), {QStringLiteral("Ajuda no site da Bravena Software")});

    auto* tabs = new QTabWidget;
    tabs->setFixedHeight(82);
    auto* commands = new QWidget;
    int kind = 0;
    for (const QString& caption : {QStringLiteral("Novo"), QStringLiteral("Editar"), QStringLiteral("A. Backup"),
                                   QStringLiteral("Abrir"), QStringLiteral("Salvar"), QStringLiteral("Impressão"),
                                   QStringLiteral("Sair")}) {
        auto* button = new QToolButton(commands);
        button->setText(caption);
        button->setIcon(Glyph(kind));
        button->setIconSize(QSize(24, 24));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setGeometry(4 + 70 * kind + (kind >= 5 ? 12 : 0), 2, 68, 48);
        ++kind;
    }
    auto* settings = new QWidget;
    auto* font = new QGroupBox(QStringLiteral("Fonte do relatório"), settings);
    font->setGeometry(4, 0, 334, 50);
    (new QLabel(QStringLiteral("Nome"), font))->setGeometry(8, 22, 32, 13);
    auto* name = new QComboBox(font);
    name->setEditable(true);
    name->setEditText(QStringLiteral("Arial"));
    name->setGeometry(42, 18, 170, 21);
    (new QLabel(QStringLiteral("Tamanho"), font))->setGeometry(222, 22, 52, 13);
    auto* size = new QComboBox(font);
    size->setEditable(true);
    size->addItems({QStringLiteral("12"), QStringLiteral("11"), QStringLiteral("10"), QStringLiteral("9"),
                    QStringLiteral("8"), QStringLiteral("7")});
    size->setEditText(QStringLiteral("8"));
    size->setGeometry(278, 18, 48, 21);
    auto* margins = new QGroupBox(QStringLiteral("Margens de impressão (cm)"), settings);
    margins->setGeometry(346, 0, 442, 50);
    int left = 8;
    for (const QString& caption : {QStringLiteral("Superior"), QStringLiteral("Inferior"), QStringLiteral("Esquerda"),
                                   QStringLiteral("Direita")}) {
        (new QLabel(caption, margins))->setGeometry(left, 22, 56, 13);
        auto* box = new QComboBox(margins);
        box->setEditable(true);
        box->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        box->setEditText(QStringLiteral("2"));
        box->setGeometry(left + 58, 18, 44, 21);
        left += 108;
    }
    tabs->addTab(commands, QStringLiteral("Revisional"));
    tabs->addTab(settings, QStringLiteral("Configurações"));

    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette white = page->palette();
    white.setColor(QPalette::Window, Qt::white);
    page->setPalette(white);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs);
    layout->addWidget(page, 1);
    window.setCentralWidget(central);
    window.resize(800, 560);
    window.showMaximized();
    return app.exec();
}

// What a user meets around the forms: dialogs owned by the window they come
// from, accelerators, focus marks, placement, the splitter, Portuguese
// standard texts and the screen's font names.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QTest>
#include <QTreeView>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "support/gui_test.h"

namespace {

struct WindowsFixture : ::testing::Test {
    std::vector<TForm*> forms;
    TForm* NewForm(const std::string& name) {
        auto* f = new TForm(Application);
        f->SetName(name);
        forms.push_back(f);
        return f;
    }
    void TearDown() override {
        for (auto it = forms.rbegin(); it != forms.rend(); ++it) (*it)->Free();
        Application->ProcessMessages();
    }
};

// How a dialog window stood when it came up.
struct Seen {
    QWidget* parent = nullptr;
    QWindow* transientParent = nullptr;
    bool onTop = false;
};

// Looks at the modal window once its loop runs, then lets close run.
void WhenModal(Seen& seen, std::function<void(QWidget*)> close) {
    QTimer::singleShot(0, [&seen, close] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        seen.parent = w->parentWidget();
        seen.transientParent = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
        seen.onTop = w->windowFlags() & Qt::WindowStaysOnTopHint;
        close(w);
    });
}

TEST_F(WindowsFixture, DialogsAndModalFormsBelongToTheStayOnTopWindowAndShowAboveIt) {
    TForm* main = NewForm("Principal");
    TForm* wizard = NewForm("Assistente");
    wizard->SetFormStyle(TFormStyle::fsStayOnTop);
    main->Show();
    wizard->Show();
    ASSERT_TRUE(wizard->Active());
    std::unique_ptr<IDialogService> real = CreateQtDialogService();
    SetDialogService(real.get());
    QWidget* owner = wizard->Widget();

    Seen box;
    WhenModal(box, [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    MessageDlg("Data inválida", TMsgDlgType::mtError, mbOK);
    Seen file;
    WhenModal(file, [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    TOpenDialog open(wizard);
    open.Execute();

    TForm* modal = NewForm("Modal");
    Seen form;
    WhenModal(form, [modal](QWidget*) { modal->SetModalResult(mrOk); });
    EXPECT_EQ(modal->ShowModal(), mrOk);
    SetDialogService(&velorim_test::Dialogs());

    for (const Seen* s : {&box, &file, &form}) {
        EXPECT_EQ(s->parent, owner);
        EXPECT_EQ(s->transientParent, owner->windowHandle());
        EXPECT_TRUE(s->onTop) << "the owner stays on top: so must the dialog";
    }
    EXPECT_EQ(modal->Widget()->parentWidget(), nullptr) << "closed, the form is a window of its own again";
    EXPECT_FALSE(modal->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);

    // A dialog shown without a modal loop (the about box) comes up above the
    // wizard too, and no longer stays on top once closed.
    TForm* about = NewForm("Sobre");
    about->SetBorderStyle(TFormBorderStyle::bsDialog);
    about->Show();
    EXPECT_TRUE(about->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    about->Hide();
    EXPECT_FALSE(about->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    wizard->Hide();
    about->Show();
    EXPECT_FALSE(about->Widget()->windowFlags() & Qt::WindowStaysOnTopHint) << "nothing on top to show above";
}

TEST_F(WindowsFixture, AcceleratorsReachTheControlsThatCarryThem) {
    TForm* form = NewForm("Teclas");
    auto* edit = MakeCaptioned<TEdit>(form, form, "Nome", "", 8, 8, 100, 21);
    auto* save = MakeCaptioned<TButton>(form, form, "Salvar", "&Salvar", 8, 40, 75, 25);
    auto* off = MakeCaptioned<TButton>(form, form, "Excluir", "&Excluir", 88, 40, 75, 25);
    auto* box = MakeCaptioned<TCheckBox>(form, form, "Juros", "Incluir &juros", 8, 70, 120, 17);
    auto* label = MakeCaptioned<TLabel>(form, form, "Rotulo", "&Nome", 120, 8, 40, 13);
    label->FocusControl = edit;
    off->SetEnabled(false);
    std::string log;
    save->OnClick = [&](TObject*) { log += "salvar;"; };
    off->OnClick = [&](TObject*) { log += "excluir;"; };
    edit->SetFocus();

    edit->SimulateKey('S', ssAlt);
    EXPECT_EQ(log, "salvar;");
    EXPECT_TRUE(edit->Focused()) << "a button's accelerator leaves the focus";
    edit->SimulateKey('E', ssAlt);
    EXPECT_EQ(log, "salvar;") << "a disabled button takes nothing";
    edit->SimulateKey('J', ssAlt);
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Focused());
    box->SimulateKey('N', ssAlt);
    EXPECT_TRUE(edit->Focused()) << "a label's accelerator focuses its control";
    edit->SimulateKey('S', 0, 's');
    EXPECT_EQ(log, "salvar;") << "a letter typed into an edit is text";
    save->SetFocus();
    save->SimulateKey('S', 0, 's');
    EXPECT_EQ(log, "salvar;salvar;") << "a button types nothing: its letter is an accelerator";
}

TEST_F(WindowsFixture, TheFocusedButtonShowsAFocusMark) {
    TForm* form = NewForm("Foco");
    auto* a = MakeCaptioned<TButton>(form, form, "A", "A", 8, 8, 75, 25);
    auto* b = MakeCaptioned<TButton>(form, form, "B", "B", 8, 40, 75, 25);
    form->Show();
    QApplication::setActiveWindow(form->Widget());
    Application->ProcessMessages();
    b->SetFocus();
    const QImage unfocused = a->Widget()->grab().toImage();
    a->SetFocus();
    ASSERT_TRUE(a->Widget()->hasFocus());
    EXPECT_NE(a->Widget()->grab().toImage(), unfocused);
}

TEST_F(WindowsFixture, AFormCentredOnTheMainFormFollowsWhereTheMainWindowReallyIs) {
    TForm* main = NewForm("Principal");
    main->SetBounds(100, 100, 400, 300);
    main->Show();
    Application->SetMainForm(main);
    // The window manager maximises it.
    main->Widget()->setGeometry(0, 0, 1000, 700);
    Application->ProcessMessages();
    TForm* wizard = NewForm("Assistente");
    wizard->SetPosition(TPosition::poMainFormCenter);
    wizard->SetBounds(0, 0, 200, 100);
    wizard->Show();
    Application->SetMainForm(nullptr);
    const QRect g = main->Widget()->frameGeometry();
    EXPECT_EQ(wizard->Left(), g.left() + (g.width() - 200) / 2);
    EXPECT_EQ(wizard->Top(), g.top() + (g.height() - 100) / 2);
}

TEST_F(WindowsFixture, TheSplitterSharesTheRoomBetweenItsNeighbours) {
    TForm* form = NewForm("Divisor");
    form->SetClientWidth(300);
    form->SetClientHeight(300);
    auto* top = Make<TPanel>(form, form, "Cima");
    top->SetHeight(100);
    top->SetAlign(TAlign::alTop);
    auto* split = Make<TSplitter>(form, form, "Divisor");
    split->SetAlign(TAlign::alTop);
    split->SetBounds(0, 100, 300, 3);
    auto* rest = Make<TPanel>(form, form, "Resto");
    rest->SetAlign(TAlign::alClient);
    ASSERT_EQ(split->Top(), 100);
    ASSERT_EQ(split->Height(), 3);
    EXPECT_EQ(split->Cursor(), crVSplit);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };

    split->MouseDown(TMouseButton::mbLeft, 0, 10, 1);
    split->MouseMove(ssLeft, 10, 41);
    EXPECT_EQ(top->Height(), 140) << "dragging resizes as it goes";
    EXPECT_EQ(split->Top(), 140);
    EXPECT_EQ(rest->Top(), 143);
    split->MouseUp(TMouseButton::mbLeft, 0, 10, 500);
    EXPECT_EQ(top->Height(), 300 - 3 - 30) << "the rest keeps its minimum";
    split->MouseDown(TMouseButton::mbLeft, 0, 10, 1);
    split->MouseUp(TMouseButton::mbLeft, 0, 10, -900);
    EXPECT_EQ(top->Height(), 30);
    EXPECT_EQ(moved, 2);
}

TEST(PlatformTexts, StandardButtonsSpeakPortuguese) {
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Cancelar"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text().remove('&'), QStringLiteral("Abrir"));
}

// The open dialog lists a folder as "Pasta" and dates as the program
// writes them, not in the host's language ("Folder", "7 Dec 2020 10:30:00").
TEST(PlatformTexts, TheFileDialogListsFoldersAndDatesInPortuguese) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velorim_dialog_listing";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "casos");
    std::ofstream(dir / "ana.bev") << "Ana\r\n";
    using namespace std::chrono;
    const sys_seconds sys = sys_days{year{2020} / 12 / 7} + hours{10} + minutes{30};
    const auto when = file_clock::from_sys(sys);
    for (const char* name : {"casos", "ana.bev"}) std::filesystem::last_write_time(dir / name, when);
    std::unique_ptr<IDialogService> real = CreateQtDialogService();
    SetDialogService(real.get());
    std::map<QString, QStringList> rows;
    QTimer::singleShot(0, [&rows] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* view = dialog->findChild<QTreeView*>();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 2; }));
        const QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(view->rootIndex()); ++r)
            for (int c = 0; c < 4; ++c)
                rows[m->index(r, 0, view->rootIndex()).data().toString()]
                    << m->index(r, c, view->rootIndex()).data().toString();
        dialog->reject();
    });
    TFileDialogRequest request;
    request.InitialDir = dir.string();
    DialogService().ExecuteFileDialog(request);
    SetDialogService(&velorim_test::Dialogs());
    std::filesystem::remove_all(dir);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows["casos"].mid(2).join(" | ").toStdString(), "Pasta | 07/12/2020 10:30");
    EXPECT_EQ(rows["ana.bev"][1].toStdString(), "5 bytes");
    EXPECT_EQ(rows["ana.bev"][3].toStdString(), "07/12/2020 10:30");
}

TEST(PlatformTexts, FontFamiliesAreListedOnceWithoutTheirFoundry) {
    const std::vector<std::string> names =
        FontFamilyNames({"DejaVu Sans", "C059 [UKWN]", "arial", "C059 [URW]", "Arial", "Nimbus [x] Sans"});
    EXPECT_EQ(names, (std::vector<std::string>{"Arial", "arial", "C059", "DejaVu Sans", "Nimbus [x] Sans"}));
}

}  // namespace

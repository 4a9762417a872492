// A form makes its widgets when it is first shown or something needs them.
// Whatever its controls were given before shows in the widgets when they are
// made, exactly as on a form whose widgets were there from the start; events
// fire without widgets; a never-shown form is read and driven whole.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/edit_glue.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/qt_bridge.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/string_grid.h"
#include "script_runner.h"

namespace fs = std::filesystem;

namespace {

using velorim_gui::FromQ;

// A form with one of each control, given its state piece by piece, with the
// widgets made first (made) or only when asked for (deferred).
struct TSample {
    TForm* form = nullptr;
    TLabel* label = nullptr;
    TEdit* edit = nullptr;
    TEdit* amount = nullptr;
    TMemo* memo = nullptr;
    TCheckBox* box = nullptr;
    TComboBox* combo = nullptr;
    TListBox* list = nullptr;
    TPageControl* pages = nullptr;
    TButton* button = nullptr;
    TStringGrid* grid = nullptr;
    TEdit* hidden = nullptr;
    TLabel* onFirstPage = nullptr;
};

TSample Build(const std::string& name, bool madeFirst) {
    TSample s;
    TForm* f = s.form = new TForm(Application);
    f->SetName(name);
    if (madeFirst) f->Widget();
    f->SetCaption("Amostra");
    f->SetClientWidth(640);
    f->SetClientHeight(420);
    auto* menu = new TMainMenu(f);
    auto* item = new TMenuItem(f);
    item->SetCaption("&Arquivo");
    menu->Items()->Add(item);
    f->SetMenu(menu);

    auto* panel = MakeAt<TPanel>(f, f, "Painel", 4, 4, 300, 60);
    panel->SetColor(clTeal);
    panel->SetCaption("Painel");
    s.label = MakeCaptionedAt<TLabel>(f, panel, "Rotulo", "&Nome:", 6, 6);
    s.label->Font().SetStyle(fsBold);
    s.label->SetColor(clYellow);
    s.edit = MakeAt<TEdit>(f, panel, "Nome", 60, 4, 120, 21);
    s.edit->SetText("Maria da Silva Souza");
    s.edit->SetMaxLength(30);
    s.edit->SetReadOnly(true);
    s.edit->SetSelStart(3);
    s.edit->SetSelLength(4);
    s.edit->SetHint("Nome|O nome completo");
    s.edit->SetShowHint(true);
    s.edit->SetCursor(crHandPoint);
    s.edit->SetTabStop(false);
    s.edit->SetEnabled(false);
    s.amount = MakeAt<TEdit>(f, panel, "Valor", 190, 4, 100, 21);
    s.amount->SetText("1234,5");
    EditGlue::SetRightTextMargin(*s.amount, 18);
    EditGlue::ShowText(*s.amount, "1.234,50", taRightJustify);
    s.amount->SetColor(clInfoBk);

    s.memo = MakeAt<TMemo>(f, f, "Memo", 4, 70, 150, 60);
    s.memo->Lines.Add("primeira linha de texto comprido");
    s.memo->Lines.Add("segunda");
    s.memo->SetScrollBars(TScrollStyle::ssVertical);
    s.memo->SetWordWrap(false);
    s.box = MakeCaptioned<TCheckBox>(f, f, "Ativo", "Ativo", 160, 70, 90, 17);
    s.box->AllowGrayed = true;
    s.box->SetState(TCheckBoxState::cbGrayed);
    auto* radio = MakeCaptioned<TRadioButton>(f, f, "Opcao", "Opção", 160, 90, 90, 17);
    radio->SetChecked(true);
    s.combo = MakeAt<TComboBox>(f, f, "Tamanho", 260, 70, 80, 21);
    for (const char* t : {"8", "10", "12"}) s.combo->Items.Add(t);
    s.combo->SetItemIndex(1);
    s.combo->Font().SetSize(11);
    auto* fixed = MakeAt<TComboBox>(f, f, "Regra", 350, 70, 90, 21);
    fixed->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* t : {"A", "B", "C"}) fixed->Items.Add(t);
    fixed->SetText("b");
    s.list = MakeAt<TListBox>(f, f, "Lista", 450, 70, 80, 60);
    for (const char* t : {"um", "dois", "três"}) s.list->Items.Add(t);
    s.list->SetMultiSelect(true);
    s.list->SetSelected(0, true);
    s.list->SetSelected(2, true);
    auto* group = MakeCaptioned<TGroupBox>(f, f, "Grupo", "Grupo", 4, 136, 150, 60);
    MakeAt<TEdit>(f, group, "Dentro", 8, 24, 100, 21)->SetText("dentro");
    auto* bar = MakeAt<TScrollBar>(f, f, "Barra", 160, 136, 16, 60);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->SetParams(30, 0, 200);
    bar->SetPageSize(20);
    auto* radios = MakeCaptioned<TRadioGroup>(f, f, "Regras", "Regras", 180, 136, 160, 60);
    radios->SetColumns(2);
    for (const char* t : {"Lei", "Decreto", "Teto"}) radios->Items.Add(t);
    radios->SetItemIndex(1);

    s.pages = MakeAt<TPageControl>(f, f, "Paginas", 350, 136, 280, 120);
    const char* captions[] = {"Dados", "Cálculo", "Oculta"};
    TTabSheet* sheets[3];
    for (int i = 0; i < 3; ++i) {
        sheets[i] = Make<TTabSheet>(f, nullptr, std::string("Pagina") + char('1' + i));
        sheets[i]->SetCaption(captions[i]);
        sheets[i]->SetPageControl(s.pages);
    }
    s.onFirstPage = MakeCaptionedAt<TLabel>(f, sheets[0], "NaPrimeira", "Na primeira página", 4, 4);
    MakeCaptionedAt<TLabel>(f, sheets[1], "NaPagina", "Na segunda página", 4, 4);
    s.pages->SetActivePage(sheets[1]);
    sheets[2]->SetTabVisible(false);

    // Under the button that comes after it, once shown.
    s.hidden = MakeAt<TEdit>(f, f, "Escondido", 20, 384, 120, 21);
    s.hidden->SetText("escondido");
    s.hidden->SetVisible(false);
    s.button = MakeCaptioned<TButton>(f, f, "Calcular", "Calcular", 4, 380, 90, 25);
    s.button->SetDefault(true);
    s.grid = MakeAt<TStringGrid>(f, f, "Grade", 4, 200, 330, 170);
    s.grid->SetColCount(4);
    s.grid->SetRowCount(60);
    for (int r = 0; r < 60; ++r) s.grid->SetCells(0, r, std::to_string(r));
    s.grid->SetTopRow(20);
    s.grid->SetOptions(s.grid->Options() | goEditing);
    return s;
}

// The bounds the program reads, of every control (the form by its size).
std::string Bounds(const TControl* c) {
    std::string out = (dynamic_cast<const TForm*>(c) ? "" : c->Name()) + ":" + std::to_string(c->Left()) + "," + std::to_string(c->Top()) + "," +
                      std::to_string(c->Width()) + "x" + std::to_string(c->Height()) + " ";
    if (auto* w = dynamic_cast<const TWinControl*>(c))
        for (int i = 0; i < w->ControlCount(); ++i) out += Bounds(w->Controls(i));
    return out;
}

bool AnyWidgetMade(const TControl* c) {
    if (c->MadeWidget()) return true;
    if (auto* w = dynamic_cast<const TWinControl*>(c))
        for (int i = 0; i < w->ControlCount(); ++i)
            if (AnyWidgetMade(w->Controls(i))) return true;
    return false;
}

// What the widgets of a window show, child by child (hidden ones show
// nothing and may not be made yet).
void Dump(const QWidget* w, std::ostringstream& out, int depth = 0) {
    if (!w->isWindow() && !w->isVisibleTo(w->window())) return;
    out << std::string(depth, ' ') << w->metaObject()->className() << " " << w->x() << "," << w->y() << ","
        << w->width() << "x" << w->height() << (w->isEnabled() ? "" : " disabled") << " font=" << w->font().toString().toStdString()
        << " focus=" << int(w->focusPolicy()) << " tip=" << FromQ(w->toolTip())
        << " cursor=" << (w->testAttribute(Qt::WA_SetCursor) ? int(w->cursor().shape()) : -1);
    const QPalette& p = w->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Text, QPalette::WindowText, QPalette::Button})
        out << " " << p.color(role).name().toStdString();
    if (auto* l = qobject_cast<const QLabel*>(w))
        out << " label=" << FromQ(l->text()) << " align=" << int(l->alignment()) << " fill=" << l->autoFillBackground();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        out << " text=" << FromQ(e->text()) << " ro=" << e->isReadOnly() << " max=" << e->maxLength()
            << " align=" << int(e->alignment()) << " margin=" << e->textMargins().right()
            << " caret=" << e->cursorPosition() << " sel=" << FromQ(e->selectedText());
    if (auto* m = qobject_cast<const QPlainTextEdit*>(w))
        out << " text=" << FromQ(m->toPlainText()) << " wrap=" << int(m->lineWrapMode())
            << " vbar=" << int(m->verticalScrollBarPolicy());
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        out << " text=" << FromQ(b->text()) << " checked=" << b->isChecked();
    if (auto* b = qobject_cast<const QCheckBox*>(w)) out << " state=" << int(b->checkState()) << b->isTristate();
    if (auto* b = qobject_cast<const QPushButton*>(w)) out << " default=" << b->isDefault();
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        out << " index=" << c->currentIndex() << " editable=" << c->isEditable() << " items=";
        for (int i = 0; i < c->count(); ++i) out << FromQ(c->itemText(i)) << ";";
    }
    if (auto* l = qobject_cast<const QListWidget*>(w)) {
        out << " row=" << l->currentRow() << " mode=" << int(l->selectionMode()) << " items=";
        for (int i = 0; i < l->count(); ++i) out << FromQ(l->item(i)->text()) << (l->item(i)->isSelected() ? "*;" : ";");
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) out << " title=" << FromQ(g->title());
    if (auto* s = qobject_cast<const QScrollBar*>(w))
        out << " bar=" << int(s->orientation()) << ":" << s->minimum() << "-" << s->maximum() << "@" << s->value()
            << "/" << s->pageStep();
    if (auto* t = qobject_cast<const QTabBar*>(w)) {
        out << " tabs=";
        for (int i = 0; i < t->count(); ++i) out << FromQ(t->tabText(i)) << (i == t->currentIndex() ? "*;" : ";");
    }
    if (w->isWindow()) out << " title=" << FromQ(w->windowTitle()) << " flags=" << int(w->windowFlags());
    out << "\n";
    // The parts Qt lays out only once they are on screen (a combo box's
    // list, a tab bar's scroll buttons) are left out.
    if (qobject_cast<const QComboBox*>(w) || qobject_cast<const QTabBar*>(w)) return;
    for (const QObject* o : w->children())
        if (auto* child = qobject_cast<const QWidget*>(o)) Dump(child, out, depth + 1);
}

std::string DumpOf(TForm* form) {
    std::ostringstream out;
    Dump(form->Widget(), out);
    return out.str();
}

QImage Picture(TForm* form, const std::string& name) {
    const std::string path = (fs::temp_directory_path() / (name + ".png")).string();
    EXPECT_TRUE(form->SaveToPng(path));
    QImage image(velorim_gui::ToQ(path));
    fs::remove(path);
    return image.convertToFormat(QImage::Format_RGB32);
}

TEST(DeferredWidgets, StateGivenBeforeTheWidgetsShowsInThemAsIfTheyHadBeenThere) {
    TSample made = Build("Feita", true);
    TSample deferred = Build("Adiada", false);
    EXPECT_FALSE(AnyWidgetMade(deferred.form)) << "nothing of a form never shown is made";
    EXPECT_EQ(Bounds(deferred.form), Bounds(made.form)) << "sizes that Qt measures do not wait for widgets";
    EXPECT_EQ(deferred.grid->TopRow(), made.grid->TopRow());
    EXPECT_EQ(deferred.grid->VisibleRowCount(), made.grid->VisibleRowCount());
    EXPECT_EQ(deferred.grid->ClientWidth(), made.grid->ClientWidth());

    // An editor opened before the grid's window exists lives in it later.
    made.grid->ShowEditor();
    deferred.grid->ShowEditor();
    EXPECT_EQ(deferred.grid->InplaceEditor()->MadeWidget(), nullptr);

    // The deferred form's widgets are made by the dump.
    const std::string want = DumpOf(made.form);
    EXPECT_EQ(DumpOf(deferred.form), want);
    EXPECT_NE(deferred.grid->InplaceEditor()->MadeWidget(), nullptr);
    EXPECT_EQ(Bounds(deferred.form), Bounds(made.form));
    EXPECT_TRUE(Picture(deferred.form, "adiada") == Picture(made.form, "feita")) << "the same pixels";
    EXPECT_EQ(deferred.hidden->MadeWidget(), nullptr) << "a hidden control waits to be shown";
    EXPECT_EQ(deferred.onFirstPage->MadeWidget(), nullptr) << "so do the controls of a page not shown";

    // Changes after the widgets are made reach them as before; controls
    // shown later take their place among the others.
    for (TSample* s : {&made, &deferred}) {
        s->edit->SetText("Outro");
        s->combo->Items.Add("14");
        s->pages->SetPageIndex(0);
        s->box->SetChecked(true);
        s->memo->Lines.Clear();
        s->hidden->SetVisible(true);
    }
    EXPECT_NE(deferred.onFirstPage->MadeWidget(), nullptr);
    EXPECT_EQ(DumpOf(deferred.form), DumpOf(made.form));
    EXPECT_TRUE(Picture(deferred.form, "adiada") == Picture(made.form, "feita"));
    made.form->Free();
    deferred.form->Free();
}

// The widgets of a window's children, in their stacking order.
std::string ChildWidgets(const QWidget* w) {
    std::string out;
    for (const QObject* o : w->children())
        if (auto* child = qobject_cast<const QWidget*>(o)) out += FromQ(child->objectName().isEmpty() ? QString("?") : child->objectName()) + (child->isVisibleTo(w) ? ";" : "(hidden);");
    return out;
}

TEST(DeferredWidgets, AControlAskedForWhileHiddenIsMadeAloneAndItsSiblingsWhenShown) {
    TForm* f = new TForm(Application);
    f->SetName("Partes");
    auto* panel = MakeAt<TPanel>(f, f, "Painel", 4, 4, 300, 60);
    auto* first = MakeCaptionedAt<TLabel>(f, panel, "Primeiro", "Primeiro", 6, 6);
    auto* second = MakeCaptionedAt<TLabel>(f, panel, "Segundo", "Segundo", 6, 26);
    panel->SetVisible(false);
    auto* pages = MakeAt<TPageControl>(f, f, "Paginas", 4, 80, 300, 120);
    TTabSheet* sheets[2];
    for (auto*& sheet : sheets) {
        sheet = new TTabSheet(f);
        sheet->SetPageControl(pages);
    }
    auto* away = MakeAt<TEdit>(f, sheets[1], "Longe", 4, 4, 100, 21);
    auto* beside = MakeAt<TEdit>(f, sheets[1], "Ao_lado", 4, 30, 100, 21);
    f->Widget();
    EXPECT_EQ(panel->MadeWidget(), nullptr);
    EXPECT_EQ(away->MadeWidget(), nullptr);

    // Measuring or typing may need one widget: it comes with its parents only.
    ASSERT_NE(second->Widget(), nullptr);
    ASSERT_NE(away->Widget(), nullptr);
    EXPECT_NE(panel->MadeWidget(), nullptr);
    EXPECT_EQ(first->MadeWidget(), nullptr);
    EXPECT_EQ(beside->MadeWidget(), nullptr);

    // Shown, the rest is made and stacked in the controls' order.
    second->MadeWidget()->setObjectName("Segundo");
    away->MadeWidget()->setObjectName("Longe");
    panel->SetVisible(true);
    pages->SetActivePage(sheets[1]);
    ASSERT_NE(first->MadeWidget(), nullptr);
    ASSERT_NE(beside->MadeWidget(), nullptr);
    first->MadeWidget()->setObjectName("Primeiro");
    beside->MadeWidget()->setObjectName("Ao_lado");
    EXPECT_EQ(ChildWidgets(panel->MadeWidget()), "Primeiro;Segundo;");
    EXPECT_EQ(ChildWidgets(sheets[1]->MadeWidget()), "Longe;Ao_lado;");
    f->Free();
}

TEST(DeferredWidgets, EventsFireWithoutWidgetsAndTypingMakesThem) {
    TSample s = Build("Eventos", false);
    std::string log;
    s.edit->SetEnabled(true);
    s.edit->SetReadOnly(false);
    s.edit->OnChange = [&](TObject*) { log += "change;"; };
    s.edit->OnExit = [&](TObject*) { log += "exit;"; };
    s.box->OnClick = [&](TObject*) { log += "box;"; };
    s.combo->OnClick = [&](TObject*) { log += "combo-click;"; };
    s.combo->OnChange = [&](TObject*) { log += "combo-change;"; };
    s.button->OnClick = [&](TObject*) { log += "button;"; };
    s.list->OnClick = [&](TObject*) { log += "list;"; };

    s.edit->SetText("");
    s.box->SetChecked(true);
    s.combo->SelectAsUser(2);
    s.list->SelectAsUser(1);
    s.edit->SetFocus();
    s.button->UserClick();
    EXPECT_EQ(log, "change;box;combo-click;combo-change;list;exit;button;");
    EXPECT_EQ(s.combo->Text(), "12");
    EXPECT_EQ(s.form->ActiveControl(), s.button);
    EXPECT_FALSE(AnyWidgetMade(s.form)) << "code and clicks need no widgets";

    // Typing is the widget's work: the form's widgets are made for it, and the
    // user's signals reach the controls.
    log.clear();
    s.edit->SetFocus();
    s.edit->SimulateKey('A', 0, 'a');
    EXPECT_EQ(s.edit->Text(), "a");
    EXPECT_NE(s.form->MadeWidget(), nullptr);
    qobject_cast<QPushButton*>(s.button->Widget())->click();
    qobject_cast<QAbstractButton*>(s.box->Widget())->click();
    EXPECT_EQ(log, "change;button;box;");
    EXPECT_FALSE(s.box->Checked());
    s.form->Free();
}

TEST(DeferredWidgets, ANeverShownFormIsReadAndDrivenThroughTheScenarioDriver) {
    const fs::path dir = fs::temp_directory_path() / "velorim_test_deferred";
    fs::remove_all(dir);
    fs::create_directories(dir / "dados");
    std::ostringstream out;
    {
        TScriptRunner runner(out, dir.string(), dir.string());
        runner.RunText("startwith selftest dados\n");
        auto* form = new TForm(Application);
        form->SetName("Oculta");
        auto* name = MakeAt<TEdit>(form, form, "Nome", 8, 8, 120, 21);
        auto* active = MakeCaptioned<TCheckBox>(form, form, "Ativo", "Ativo", 8, 36, 90, 17);
        auto* result = MakeCaptionedAt<TLabel>(form, form, "Resultado", "", 8, 60);
        auto* go = MakeCaptioned<TButton>(form, form, "Ir", "Ir", 8, 80, 75, 25);
        name->OnExit = [=](TObject*) { result->SetCaption("saiu:" + name->Text()); };
        go->OnClick = [=](TObject*) {
            result->SetCaption(result->Caption() + (active->Checked() ? " ativo" : " inativo"));
        };
        runner.RunText(
            "set Oculta.Nome Jos\xC3\xA9\n"
            "exit Oculta.Nome\n"
            "check Oculta.Ativo on\n"
            "click Oculta.Ir\n"
            "print Oculta.Resultado\n"
            "print Oculta.Ativo Checked\n");
        EXPECT_EQ(out.str(), "Oculta.Resultado=saiu:Jos\xC3\xA9 ativo\nOculta.Ativo.Checked=on\n");
        EXPECT_FALSE(form->Visible());
        EXPECT_FALSE(AnyWidgetMade(form));
        const fs::path png = dir / "oculta.png";
        runner.RunText("shot " + png.string() + " Oculta\n");
        EXPECT_TRUE(fs::exists(png)) << out.str();
        EXPECT_NE(go->MadeWidget(), nullptr) << "a picture of the form makes its widgets";
        EXPECT_EQ(FromQ(qobject_cast<QLabel*>(result->Widget())->text()), "saiu:José ativo");
    }
    fs::remove_all(dir);
}

} // namespace

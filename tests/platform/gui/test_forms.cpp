// Forms and controls: the default exception handler, focus and OnExit,
// posted messages, timers, modal forms, pages, keys, lists and dialogs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/formats.h"
#include "support/gui_test.h"

using velorim_test::Dialogs;

namespace {

// A form freed at the end of each test.
struct FormFixture : ::testing::Test {
    TForm* form = nullptr;
    std::string log;
    void SetUp() override {
        form = new TForm(Application);
        form->SetName("TestForm");
    }
    void TearDown() override {
        form->Free();
        Application->ProcessMessages();
    }
    // A real user's event: exceptions end in the default handler.
    void AsUser(const std::function<void()>& fn) { Application->Dispatch(form, fn); }
};

using Handlers = FormFixture;

TEST_F(Handlers, AnErrorIsShownAndTheFormGoesOnWhileAbortIsSilent) {
    auto* b = Make<TButton>(form, form, "B");
    int clicks = 0;
    b->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1) StrToFloat("x1");
        if (clicks == 2) Abort();
    };
    AsUser([&] { b->UserClick(); });
    ASSERT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_EQ(Dialogs().Messages()[0], "'x1' não é um número válido");
    AsUser([&] { b->UserClick(); });
    AsUser([&] { b->UserClick(); });
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(Dialogs().Messages().size(), 1u) << "the abort showed nothing";
    // The platform's own click signal goes through the same handler.
    clicks = 0;
    qobject_cast<QAbstractButton*>(b->Widget())->click();
    EXPECT_EQ(Dialogs().Messages().size(), 2u);
}

TEST_F(Handlers, TheApplicationHandlerCanBeReplaced) {
    std::string seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
    AsUser([] { throw EInOutError("File access error"); });
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "File access error");
    EXPECT_TRUE(Dialogs().Messages().empty());
}

using Focus = FormFixture;

TEST_F(Focus, ClearingTheActiveControlFiresOnExitOfTheEdit) {
    auto* e1 = Make<TEdit>(form, form, "E1");
    auto* e2 = Make<TEdit>(form, form, "E2");
    e1->OnEnter = [&](TObject*) { log += "enter1;"; };
    e1->OnExit = [&](TObject*) { log += "exit1;"; };
    e2->OnEnter = [&](TObject*) { log += "enter2;"; };
    e1->SetFocus();
    e2->SetFocus();
    EXPECT_EQ(log, "enter1;exit1;enter2;");
    log.clear();
    e2->OnExit = [&](TObject*) { log += "exit2;"; };
    form->SetActiveControl(nullptr);
    EXPECT_EQ(log, "exit2;");
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_FALSE(e2->Focused());
}

TEST_F(Focus, AnExitThatRaisesKeepsTheFocusAndStopsTheCaller) {
    auto* e1 = Make<TEdit>(form, form, "E1");
    auto* b = Make<TButton>(form, form, "B");
    e1->OnExit = [](TObject*) { StrToDate("31/04/2001"); };
    bool clicked = false;
    b->OnClick = [&](TObject*) { clicked = true; };
    e1->SetFocus();
    AsUser([&] { b->UserClick(); });
    EXPECT_FALSE(clicked) << "the click needs the focus first";
    EXPECT_EQ(form->ActiveControl(), e1);
    EXPECT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_THROW(form->SetActiveControl(nullptr), EConvertError);
    EXPECT_EQ(form->ActiveControl(), e1);
}

TEST_F(Focus, HiddenDisabledAndOtherPageControlsCannotTakeIt) {
    auto* pages = Make<TPageControl>(form, form, "P");
    auto* s0 = Make<TTabSheet>(form, pages, "S0");
    auto* s1 = Make<TTabSheet>(form, pages, "S1");
    auto* onSecond = Make<TEdit>(form, s1, "E");
    auto* disabled = Make<TEdit>(form, s0, "D");
    disabled->SetEnabled(false);
    EXPECT_EQ(pages->ActivePage(), s0);
    EXPECT_FALSE(onSecond->CanFocus());
    EXPECT_FALSE(disabled->CanFocus());
    onSecond->SetFocus();
    EXPECT_EQ(form->ActiveControl(), nullptr);
    pages->SetPageIndex(1);
    EXPECT_TRUE(onSecond->CanFocus());
    onSecond->SetFocus();
    EXPECT_TRUE(onSecond->Focused());
    delete onSecond;
    EXPECT_EQ(form->ActiveControl(), nullptr) << "a freed control leaves no dangling focus";
}

TEST_F(Focus, LeavingAPageTakesTheFocusOffItsControls) {
    auto* pages = Make<TPageControl>(form, form, "P");
    auto* s0 = Make<TTabSheet>(form, pages, "S0");
    Make<TTabSheet>(form, pages, "S1");
    auto* e = Make<TEdit>(form, s0, "E");
    e->OnExit = [&](TObject*) { log += "exit;"; };
    e->SetFocus();
    pages->SetPageIndex(1);
    EXPECT_EQ(log, "exit;");
    EXPECT_FALSE(e->Focused());
}

TEST_F(Focus, TabWalksTheTabOrderAndEnterAndEscPressButtons) {
    auto* a = Make<TEdit>(form, form, "A");
    auto* panel = Make<TPanel>(form, form, "Panel");
    auto* b = Make<TEdit>(form, panel, "B");
    auto* c = Make<TEdit>(form, form, "C");
    auto* ok = Make<TButton>(form, form, "Ok");
    auto* cancel = Make<TButton>(form, form, "Cancel");
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = [&](TObject*) { log += "ok;"; };
    cancel->OnClick = [&](TObject*) { log += "cancel;"; };
    c->SetTabOrder(0);
    a->SetFocus();
    a->SimulateKey(VK_TAB);
    EXPECT_TRUE(b->Focused()) << "into the panel, which itself takes no tab";
    b->SimulateKey(VK_TAB);
    EXPECT_TRUE(ok->Focused());
    ok->SimulateKey(VK_TAB, ssShift);
    EXPECT_TRUE(b->Focused());
    b->SimulateKey(VK_RETURN, 0, '\r');
    b->SimulateKey(VK_ESCAPE, 0, 27);
    EXPECT_EQ(log, "ok;cancel;");
    EXPECT_TRUE(b->Focused()) << "dialog keys do not move the focus";
}

TEST_F(Focus, KeyHandlersSeeVirtualKeysAndMayConsumeOrChangeThem) {
    auto* e = Make<TEdit>(form, form, "E");
    form->KeyPreview = true;
    form->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
        if (key == VK_F2 && (shift & ssCtrl)) {
            log += "form-f2;";
            key = 0;
        }
    };
    e->OnKeyPress = [&](TObject*, char& key) {
        if (key == '.') key = ',';
        if (key == 'x') key = 0;
    };
    e->SetFocus();
    e->SimulateKey(VK_F2, ssCtrl);
    for (char ch : std::string("1.5x")) e->SimulateKey(ch == '.' ? 0xBE : WORD(ch >= 'a' ? ch - 32 : ch), 0, ch);
    EXPECT_EQ(log, "form-f2;");
    EXPECT_EQ(e->Text(), "1,5");
}

using Messages = FormFixture;

struct TRecordingPanel : TPanel {
    using TPanel::TPanel;
    std::string* log = nullptr;
    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_USER) {
            *log += std::to_string(m.WParam) + ";";
            m.Result = 42;
        }
        TPanel::WndProc(m);
    }
};

TEST_F(Messages, PostedMessagesRunAfterTheHandlerInPostingOrder) {
    auto* target = Make<TRecordingPanel>(form, form, "T");
    target->log = &log;
    auto* b = Make<TButton>(form, form, "B");
    b->OnClick = [&](TObject*) {
        PostMessage(target, WM_USER + 1, 1, 0);
        PostMessage(target, WM_USER + 1, 2, 0);
        log += "handler;";
    };
    AsUser([&] { b->UserClick(); });
    EXPECT_EQ(log, "handler;");
    Application->ProcessMessages();
    EXPECT_EQ(log, "handler;1;2;");
    EXPECT_EQ(SendMessage(target, WM_USER + 2, 3, 0), 42);
    EXPECT_EQ(log, "handler;1;2;3;");
}

TEST_F(Messages, AFreedTargetGetsNothingAndAFailingOneDoesNotStopTheQueue) {
    auto* gone = Make<TRecordingPanel>(form, form, "Gone");
    gone->log = &log;
    auto* failing = Make<TPanel>(form, form, "Failing");
    Application->PostCall(failing, [] { throw Exception("falhou"); });
    PostMessage(gone, WM_USER, 1, 0);
    auto* kept = Make<TRecordingPanel>(form, form, "Kept");
    kept->log = &log;
    PostMessage(kept, WM_USER, 2, 0);
    delete gone;
    Application->ProcessMessages();
    EXPECT_EQ(log, "2;");
    EXPECT_EQ(Dialogs().Messages(), std::vector<std::string>{"falhou"});
}

TEST_F(Messages, TimersFireByHandOnlyThroughTheHandler) {
    auto* timer = new TTimer(form);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 2) throw Exception("tique");
    };
    EXPECT_TRUE(timer->Active());
    timer->Fire();
    timer->Fire();
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(Dialogs().Messages().size(), 1u);
    timer->SetEnabled(false);
    EXPECT_FALSE(timer->Active());
    timer->SetEnabled(true);
    timer->SetInterval(0);
    EXPECT_FALSE(timer->Active());
}

using Modal = FormFixture;

TEST_F(Modal, AButtonEndsTheModalLoopWithItsResult) {
    auto* ok = Make<TButton>(form, form, "Ok");
    ok->SetModalResult(mrOk);
    int shows = 0;
    form->OnShow = [&](TObject*) { ++shows; };
    Dialogs().OnModalForm = [&](TForm& f) {
        EXPECT_TRUE(f.Visible());
        ok->UserClick();
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(shows, 1);
    // Without a driver the queued answer (or Cancel) ends it.
    Dialogs().OnModalForm = nullptr;
    EXPECT_EQ(form->ShowModal(), mrCancel);
    Dialogs().Answer("Yes");
    EXPECT_EQ(form->ShowModal(), mrYes);
    form->Show();
    EXPECT_THROW(form->ShowModal(), Exception);
}

TEST_F(Modal, CloseAsksOnCloseQueryAndOnClose) {
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        log += "close;";
        action = TCloseAction::caHide;
    };
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(log, "close;");
}

TEST_F(Modal, ShowFocusesTheFirstControlAndCentresTheForm) {
    form->SetBounds(0, 0, 200, 100);
    form->SetPosition(TPosition::poScreenCenter);
    auto* e = Make<TEdit>(form, form, "E");
    Make<TEdit>(form, form, "F");
    form->Show();
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(form->Left(), (Screen->Width() - 200) / 2);
    EXPECT_EQ(form->Top(), (Screen->Height() - 100) / 2);
    EXPECT_EQ(Screen->ActiveForm(), form);
}

using Controls = FormFixture;

TEST_F(Controls, CheckAndRadioChangesFireOnClickAndRadiosGroupByParent) {
    auto* box = Make<TCheckBox>(form, form, "Box");
    box->OnClick = [&](TObject*) { log += box->Checked() ? "on;" : "off;"; };
    box->SetChecked(true);
    box->SetChecked(true);
    box->UserClick();
    EXPECT_EQ(log, "on;off;");
    auto* g1 = Make<TPanel>(form, form, "G1");
    auto* a = Make<TRadioButton>(form, g1, "A");
    auto* b = Make<TRadioButton>(form, g1, "B");
    auto* other = Make<TRadioButton>(form, form, "Other");
    other->SetChecked(true);
    a->SetChecked(true);
    b->UserClick();
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(other->Checked()) << "another parent is another group";
}

TEST_F(Controls, ComboBoxListAndTextFollowTheStyle) {
    auto* combo = Make<TComboBox>(form, form, "C");
    combo->Items.SetCommaText("12,11,10,9");
    combo->SetText("8");
    EXPECT_EQ(combo->Text(), "8") << "a free text is kept";
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetText("10");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetText("nada");
    EXPECT_EQ(combo->Text(), "");
    combo->OnClick = [&](TObject*) { log += "click:" + combo->Text() + ";"; };
    combo->OnChange = [&](TObject*) { log += "change;"; };
    combo->SetItemIndex(1);
    EXPECT_EQ(log, "") << "code fires nothing";
    combo->SelectAsUser(3);
    EXPECT_EQ(log, "click:9;change;");
    combo->Items.Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(Controls, EditsMemoAndMaskedEditKeepTheirText) {
    auto* e = Make<TEdit>(form, form, "E");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetText("abc");
    e->SetText("abc");
    EXPECT_EQ(changes, 1);
    e->SetSelStart(1);
    e->SetSelLength(1);
    e->SetSelText("XY");
    EXPECT_EQ(e->Text(), "aXYc");

    auto* memo = Make<TMemo>(form, form, "M");
    memo->Lines.Add("um");
    memo->Lines.Add("dois");
    EXPECT_EQ(memo->Text(), "um\r\ndois");
    memo->SetText("a\r\nb\r\n");
    EXPECT_EQ(memo->Lines.Count(), 2);

    auto* date = Make<TMaskEdit>(form, form, "D");
    date->SetEditMask("!99/99/9999;1;_");
    EXPECT_EQ(date->Text(), "  /  /    ");
    date->SetFocus();
    date->SetSelStart(0);
    for (char c : std::string("12051995")) date->SimulateKey(WORD(c), 0, c);
    EXPECT_EQ(date->Text(), "12/05/1995");
    EXPECT_EQ(date->EditText(), "12/05/1995");
    date->SimulateKey('A', 0, 'a');
    EXPECT_EQ(velorim_test::Beeps(), 1);
    date->SimulateKey(VK_HOME);
    date->SimulateKey(VK_DELETE, 0, 0);
    EXPECT_EQ(date->Text(), " 2/05/1995");

    auto* required = Make<TMaskEdit>(form, form, "R");
    required->SetEditMask("00;1;_");
    required->SetFocus();
    EXPECT_NO_THROW(form->SetActiveControl(nullptr)) << "an empty mask holds no value yet";
    required->SetFocus();
    required->SimulateKey('1', 0, '1');
    EXPECT_THROW(form->SetActiveControl(nullptr), EDBEditError);
    EXPECT_TRUE(required->Focused());
}

TEST_F(Controls, PagesCountHiddenTabsAndTheUserMayBeRefused) {
    auto* pages = Make<TPageControl>(form, form, "P");
    TTabSheet* sheets[3];
    for (int i = 0; i < 3; ++i) sheets[i] = Make<TTabSheet>(form, pages, ("S" + std::to_string(i)).c_str());
    sheets[1]->SetTabVisible(false);
    pages->SetPageIndex(1);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    bool allow = false;
    pages->OnChanging = [&](TObject*, bool& a) { a = allow; };
    pages->OnChange = [&](TObject*) { log += "change;"; };
    EXPECT_FALSE(pages->SelectAsUser(2));
    allow = true;
    EXPECT_TRUE(pages->SelectAsUser(2));
    EXPECT_EQ(pages->PageIndex(), 2);
    EXPECT_EQ(log, "change;");
    pages->SetPageIndex(7);
    EXPECT_EQ(pages->ActivePage(), nullptr);
}

TEST_F(Controls, OwnersFindAndFreeTheirComponentsAndAlignPlacesChildren) {
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    auto* top = Make<TPanel>(form, form, "Topo");
    top->SetHeight(30);
    top->SetAlign(TAlign::alTop);
    auto* client = Make<TPanel>(form, form, "Resto");
    client->SetAlign(TAlign::alClient);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 300, 200));
    form->SetClientHeight(250);
    EXPECT_EQ(client->Height(), 220);
    EXPECT_EQ(form->FindComponent("topo"), top);
    auto* inner = Make<TEdit>(form, client, "Dentro");
    delete client;
    EXPECT_EQ(form->FindComponent("Dentro"), nullptr) << "children go with their parent";
    (void)inner;
}

TEST_F(Controls, MenusClickByShortCutAndRichEditShowsPlainLines) {
    auto* menu = new TMainMenu(form);
    auto* top = new TMenuItem(form);
    top->SetCaption("&Editar");
    auto* copy = new TMenuItem(form);
    copy->SetCaption("Copiar");
    copy->SetShortCut(TextToShortCut("Ctrl+C"));
    copy->OnClick = [&](TObject*) { log += "copy;"; };
    top->Add(copy);
    menu->Items()->Add(top);
    form->SetMenu(menu);
    auto* e = Make<TEdit>(form, form, "E");
    e->SetFocus();
    e->SimulateKey('C', ssCtrl, 3);
    EXPECT_EQ(log, "copy;");
    copy->SetEnabled(false);
    e->SimulateKey('C', ssCtrl, 3);
    EXPECT_EQ(log, "copy;");
    EXPECT_EQ(ShortCutToText(copy->ShortCut()), "Ctrl+C");

    auto* rich = Make<TRichEdit>(form, form, "RE");
    const auto path = std::filesystem::temp_directory_path() / "velorim_test_ajuda.rtf";
    std::ofstream(path, std::ios::binary) << "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b T\\'edtulo\\b0\\par linha}";
    rich->Lines.LoadFromFile(path.string());
    ASSERT_EQ(rich->Lines.Count(), 2);
    EXPECT_EQ(rich->Lines[0], "T\xEDtulo");
    rich->Clear();
    rich->LoadFromFile(path.string());
    EXPECT_EQ(rich->Lines[1], "linha");
    std::filesystem::remove(path);
    EXPECT_THROW(rich->LoadFromFile(path.string()), EFOpenError);
}

TEST_F(Controls, AnImageTakesABitmapAndSizesToIt) {
    auto* image = Make<TImage>(form, form, "Img");
    EXPECT_TRUE(image->Empty());
    image->AutoSize = true;
    TBitmap bmp(40, 30, TPixelFormat::pf24bit);
    image->Assign(bmp);
    EXPECT_EQ(image->Width(), 40);
    EXPECT_EQ(image->Height(), 30);
    EXPECT_FALSE(image->LoadFromFile("/nao/existe.png"));
    EXPECT_FALSE(image->Empty()) << "a failed load keeps the picture";
}

using Dialog = FormFixture;

TEST_F(Dialog, MessageBoxesAnswerFromTheQueueOrTheirDefault) {
    EXPECT_EQ(MessageDlg("Continuar?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    Dialogs().Answer("No");
    EXPECT_EQ(MessageDlg("Continuar?", TMsgDlgType::mtConfirmation, mbYesNoCancel), mrNo);
    Dialogs().Answer("yes");
    EXPECT_EQ(Application->MessageBox("Sobrescrever?", "Velorim", MB_YESNO | MB_ICONQUESTION), IDYES);
    ShowMessage("Pronto");
    const auto& r = Dialogs().Records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].Caption, "Confirmação");
    EXPECT_EQ(r[1].Buttons, (std::vector<TModalResult>{mrYes, mrNo, mrCancel}));
    EXPECT_EQ(r[2].Caption, "Velorim");
    EXPECT_EQ(r[3].Text, "Pronto");
}

TEST_F(Dialog, SaveDialogAddsTheExtensionAndAsksBeforeOverwriting) {
    const auto dir = std::filesystem::temp_directory_path() / "velorim_test_save";
    std::filesystem::create_directories(dir);
    const std::string existing = (dir / "caso.bev").string();
    std::ofstream(existing) << "x";
    auto* save = new TSaveDialog(form);
    save->Filter = "Bev|*.bev";
    save->DefaultExt = "bev";
    save->Options |= ofOverwritePrompt;
    Dialogs().Answer((dir / "novo").string());
    ASSERT_TRUE(save->Execute());
    EXPECT_EQ(save->FileName, (dir / "novo.bev").string());
    Dialogs().Answer(existing);
    Dialogs().Answer("No");
    EXPECT_FALSE(save->Execute()) << "refused, then the unanswered dialog cancels";
    Dialogs().Answer(existing);
    Dialogs().Answer("Yes");
    EXPECT_TRUE(save->Execute());
    EXPECT_EQ(Dialogs().Messages().size(), 2u);
    auto* open = new TOpenDialog(form);
    EXPECT_FALSE(open->Execute());
    EXPECT_EQ(FilterPatterns("Bev|*.bev;*.back|Todos|*.*", 1), (std::vector<std::string>{"*.bev", "*.back"}));
    std::filesystem::remove_all(dir);
}

}  // namespace

TEST_F(FormFixture, AWindowResizedByTheWindowManagerRealignsItsControls) {
    form->SetBounds(0, 0, 300, 200);
    auto* panel = Make<TPanel>(form, form, "Painel");
    panel->SetAlign(TAlign::alClient);
    form->Show();
    Application->ProcessMessages();
    form->Widget()->resize(640, 480);  // as maximising does
    Application->ProcessMessages();
    EXPECT_EQ(panel->Width(), form->ClientWidth());
    EXPECT_EQ(panel->Height(), form->ClientHeight());
    EXPECT_GT(panel->Width(), 500);
}

// A menu changed while the window is up keeps the window where the window
// manager put it (maximised, moved): only the bar and the client area follow.
TEST_F(FormFixture, AMenuChangedOnAShownWindowLeavesItsPlaceAndSize) {
    form->SetBounds(10, 10, 300, 200);
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("&Sobre");
    menu->Items()->Add(item);
    form->SetMenu(menu);
    auto* panel = Make<TPanel>(form, form, "Painel");
    panel->SetAlign(TAlign::alClient);
    form->Show();
    Application->ProcessMessages();
    form->Widget()->setGeometry(40, 30, 640, 480);  // as maximising does
    Application->ProcessMessages();
    const QRect placed = form->Widget()->geometry();
    item->SetEnabled(false);
    Application->ProcessMessages();
    EXPECT_EQ(form->Widget()->geometry(), placed);
    EXPECT_EQ(panel->Height(), form->ClientHeight());
    EXPECT_GT(panel->Width(), 500);
}

TEST_F(FormFixture, AHintShowsItsShortPartAsTheTooltip) {
    auto* button = Make<TButton>(form, form, "Botao");
    button->SetShowHint(true);
    button->SetHint("Ano anterior|Volta um ano no calendário");
    EXPECT_EQ(button->Widget()->toolTip(), QString::fromUtf16(u"Ano anterior"));
    EXPECT_EQ(button->Hint(), "Ano anterior|Volta um ano no calendário");
}

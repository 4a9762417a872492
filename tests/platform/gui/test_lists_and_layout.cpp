// Lists, groups, steppers and scroll bars; form geometry and placement; the
// life of forms; menus; the recorder's vocabulary.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QWidget>

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "support/gui_test.h"

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const char* name) {
    auto* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}

struct Lists : ::testing::Test {
    TForm* form = nullptr;
    std::string log;
    void SetUp() override { form = new TForm(Application); }
    void TearDown() override {
        if (form) form->Free();
    }
};

TEST_F(Lists, ListBoxSelectionAndSorting) {
    auto* list = Make<TListBox>(form, form, "L");
    list->SetSorted(true);
    list->Items.SetCommaText("pera,Abacate,uva");
    EXPECT_EQ(list->Items.CommaText(), "Abacate,pera,uva");
    list->OnClick = [&](TObject*) { log += list->Text() + ";"; };
    list->SetItemIndex(2);
    EXPECT_EQ(log, "") << "code selects without OnClick";
    list->SelectAsUser(1);
    EXPECT_EQ(log, "pera;");
    EXPECT_TRUE(list->Selected(1));
    EXPECT_FALSE(list->Selected(2));
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    EXPECT_EQ(list->SelCount(), 2);
    list->Items.Delete(0);
    EXPECT_EQ(list->SelCount(), 1) << "removing items keeps the current one";
    list->SetItemIndex(5);
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(Lists, RadioGroupClicksOnEveryChangeOfItsIndex) {
    auto* group = Make<TRadioGroup>(form, form, "G");
    group->Items.SetCommaText("Juntos,Separados");
    group->OnClick = [&](TObject*) { log += std::to_string(group->ItemIndex()) + ";"; };
    group->SetItemIndex(1);
    group->SetItemIndex(1);
    group->SetItemIndex(9);
    EXPECT_EQ(group->ItemIndex(), 1) << "too large clamps to the last item";
    group->SetItemIndex(0);
    group->SetItemIndex(-1);
    EXPECT_EQ(log, "1;0;");
}

TEST_F(Lists, UpDownStepsWithinItsRangeIntoItsEdit) {
    auto* edit = Make<TEdit>(form, form, "E");
    auto* ud = Make<TUpDown>(form, form, "U");
    ud->SetMax(1200);
    ud->Increment = 500;
    ud->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "0");
    ud->ClickButton(TUDBtnType::btNext);
    ud->ClickButton(TUDBtnType::btNext);
    EXPECT_EQ(edit->Text(), "1.000");
    ud->ClickButton(TUDBtnType::btNext);
    EXPECT_EQ(ud->Position(), 1200);
    ud->Wrap = true;
    ud->ClickButton(TUDBtnType::btNext);
    EXPECT_EQ(ud->Position(), 0);
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    ud->ClickButton(TUDBtnType::btPrev);
    EXPECT_EQ(ud->Position(), 0);
}

TEST_F(Lists, ScrollBarClampsAndLetsOnScrollMoveThePlace) {
    auto* bar = Make<TScrollBar>(form, form, "S");
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetParams(150, 0, 100);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetParams(100, 0, 100);
    EXPECT_EQ(changes, 1);
    bar->OnScroll = [](TObject*, TScrollCode code, int& pos) {
        if (code == TScrollCode::scTrack) pos = pos / 10 * 10;
    };
    bar->Scroll(TScrollCode::scTrack, 37);
    EXPECT_EQ(bar->Position(), 30);
    bar->Scroll(TScrollCode::scLineDown, -5);
    EXPECT_EQ(bar->Position(), 0);
}

TEST_F(Lists, FormFrameClientAreaAndPlacer) {
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    EXPECT_EQ(form->Width(), 306);
    EXPECT_EQ(form->Height(), 225);
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    EXPECT_EQ(form->ClientWidth(), 306) << "the outer size stays, the frame is gone";
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Arquivo");
    menu->Items()->Add(item);
    form->SetMenu(menu);
    EXPECT_EQ(form->ClientHeight(), 225 - 19);
    EXPECT_EQ(form->ClientWidget()->height(), form->ClientHeight());

    auto* label = Make<TLabel>(form, form, "L");
    auto* edit = Make<TEdit>(form, form, "E");
    auto* button = Make<TButton>(form, form, "B");
    TPlacer place(form, 10, 20, 5);
    place.Add(label, 60).Add(edit).NewRow().Add(button);
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Width(), 60);
    EXPECT_EQ(edit->Left(), 75);
    EXPECT_EQ(button->Top(), 20 + std::max(label->Height(), 21) + 5) << "below the tallest of the row";
    EXPECT_EQ(place.Right(), 75 + 121);
}

TEST_F(Lists, AutoSizedLabelsAreMeasuredInTheirOwnFontAndText) {
    // Measurements are kept per font and text: an underlined, struck-out
    // " x" must not pass for a bold "2 x" (style 12 then " x", style 1 then "2 x").
    auto* struck = Make<TLabel>(form, form, "Riscado");
    struck->Font().SetHeight(-17);
    struck->Font().SetStyle(fsUnderline | fsStrikeOut);
    struck->SetCaption(" x");
    auto* bold = Make<TLabel>(form, form, "Negrito");
    bold->Font().SetHeight(-17);
    bold->Font().SetStyle(fsBold);
    bold->SetCaption("2 x");
    EXPECT_GT(bold->Width(), struck->Width());
}

TEST_F(Lists, ReleaseFreesAfterTheEventAndOnDestroyFiresOnce) {
    int destroyed = 0;
    form->SetName("Liberado");
    form->OnDestroy = [&](TObject*) { ++destroyed; };
    auto* b = Make<TButton>(form, form, "B");
    TForm* f = form;
    b->OnClick = [f](TObject*) { f->Release(); };
    Application->Dispatch(b, [&] { b->UserClick(); });
    EXPECT_EQ(Screen->FindForm("Liberado"), form) << "still there inside the event";
    Application->ProcessMessages();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Screen->FindForm("Liberado"), nullptr);
    form = nullptr;
}

TEST_F(Lists, AMessageThatPostsItselfForeverDoesNotHoldTheCaller) {
    auto* panel = Make<TPanel>(form, form, "P");
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        Application->PostCall(panel, again);
    };
    Application->PostCall(panel, again);
    Application->ProcessMessages();
    EXPECT_GT(runs, 1000);
    panel->Free();
    Application->ProcessMessages();
    EXPECT_EQ(Application->PendingMessages(), 0) << "the queue of a freed target empties";
}

TEST_F(Lists, MenuItemsCheckInGroupsAndBuildTheBar) {
    auto* menu = new TMainMenu(form);
    auto* view = new TMenuItem(form);
    view->SetCaption("&Ver");
    TMenuItem* items[3];
    for (int i = 0; i < 3; ++i) {
        items[i] = new TMenuItem(form);
        items[i]->SetCaption(i == 1 ? "-" : "Item");
        items[i]->RadioItem = true;
        view->Add(items[i]);
    }
    auto* hidden = new TMenuItem(form);
    hidden->SetCaption("Oculto");
    hidden->SetVisible(false);
    menu->Items()->Add(view);
    menu->Items()->Add(hidden);
    form->SetMenu(menu);
    items[0]->SetChecked(true);
    items[2]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    auto* bar = form->Widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().size(), 1) << "hidden items are not on the bar";
    auto* toggle = new TMenuItem(form);
    toggle->AutoCheck = true;
    toggle->OnClick = [&](TObject*) { log += toggle->Checked() ? "on;" : "off;"; };
    view->Add(toggle);
    toggle->Click();
    toggle->SetEnabled(false);
    toggle->Click();
    EXPECT_EQ(log, "on;");
    EXPECT_EQ(view->Find("ver"), nullptr);
    EXPECT_EQ(menu->Items()->Find("Ver"), view) << "found without the accelerator mark";
    view->Delete(0);
    EXPECT_EQ(view->Count(), 3);
}

TEST(Recorder, NamesAnswersAndRecordsFileDialogs) {
    EXPECT_EQ(TDialogRecorder::ResultOf("cancel"), mrCancel);
    EXPECT_EQ(TDialogRecorder::ResultOf("/tmp/x.bev"), mrNone);
    TDialogRecorder rec;
    TFileDialogRequest r;
    r.FileName = "proposto.bev";
    rec.Answer("OK");
    EXPECT_TRUE(rec.ExecuteFileDialog(r));
    EXPECT_EQ(r.FileName, "proposto.bev");
    EXPECT_FALSE(rec.ExecuteFileDialog(r)) << "no answer is Cancel";
    rec.Answer("Retry");
    TMessageBoxRequest box = MessageBoxRequest("Falhou", "X", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3);
    EXPECT_EQ(box.DefaultButton, mrIgnore);
    EXPECT_EQ(rec.ShowMessageBox(box), mrRetry);
    EXPECT_EQ(rec.ShowMessageBox(box), mrIgnore);
    EXPECT_EQ(rec.Records().back().Answer, "Ignore");
}

}  // namespace

// What the widgets show follows controls changed a piece at a time: the tab
// bar of a page control and the list of a combo box, through additions,
// renames, removals and reorderings.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>
#include <filesystem>
#include <string>

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/qt_bridge.h"

namespace {

using velorim_gui::FromQ;

struct Shown : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override { form = new TForm(Application); }
    void TearDown() override { form->Free(); }
};

// The bar's tabs as "caption,caption" with the current one in brackets.
std::string Tabs(TPageControl* pages) {
    auto* bar = pages->Widget()->findChild<QTabBar*>();
    if (!bar) return "no bar";
    std::string s;
    for (int i = 0; i < bar->count(); ++i) {
        if (i) s += ",";
        const std::string text = FromQ(bar->tabText(i));
        s += i == bar->currentIndex() ? "[" + text + "]" : text;
    }
    return s;
}

TEST_F(Shown, TheTabBarFollowsPagesAddedRenamedHiddenMovedAndFreed) {
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    TTabSheet* sheet[4];
    const char* captions[4] = {"Dados", "Opções", "Períodos", "Resultado"};
    for (int i = 0; i < 4; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetCaption(captions[i]);
        sheet[i]->SetPageControl(pages);
    }
    EXPECT_EQ(Tabs(pages), "[Dados],Opções,Períodos,Resultado");
    pages->SetActivePage(sheet[2]);
    EXPECT_EQ(Tabs(pages), "Dados,Opções,[Períodos],Resultado");
    sheet[1]->SetCaption("Cálculo");
    EXPECT_EQ(Tabs(pages), "Dados,Cálculo,[Períodos],Resultado");
    sheet[1]->SetTabVisible(false);
    EXPECT_EQ(Tabs(pages), "Dados,[Períodos],Resultado");
    sheet[1]->SetTabVisible(true);
    EXPECT_EQ(Tabs(pages), "Dados,Cálculo,[Períodos],Resultado");
    sheet[3]->SetPageIndex(0);
    EXPECT_EQ(Tabs(pages), "Resultado,Dados,Cálculo,[Períodos]");
    sheet[2]->Free();
    EXPECT_EQ(pages->ActivePage(), sheet[1]) << "the page now in its place follows a freed active one";
    EXPECT_EQ(Tabs(pages), "Resultado,Dados,[Cálculo]");
    // A page whose caption is set once it is in the control (as the forms do).
    auto* late = new TTabSheet(form);
    late->SetPageControl(pages);
    late->SetCaption("Memória");
    EXPECT_EQ(Tabs(pages), "Resultado,Dados,[Cálculo],Memória");
    // The user's choice of a tab reaches the control past the hidden tabs.
    sheet[0]->SetTabVisible(false);
    pages->Widget()->findChild<QTabBar*>()->setCurrentIndex(2);
    EXPECT_EQ(pages->ActivePage(), late);
    EXPECT_EQ(Tabs(pages), "Resultado,Cálculo,[Memória]");
}

// The combo's widget shows exactly the control's items, index and text.
void ExpectShows(TComboBox* combo, const std::string& where) {
    auto* box = qobject_cast<QComboBox*>(combo->Widget());
    ASSERT_NE(box, nullptr);
    std::string items;
    for (int i = 0; i < box->count(); ++i) items += (i ? "," : "") + FromQ(box->itemText(i));
    std::string expected;
    for (int i = 0; i < combo->Items.Count(); ++i) expected += (i ? "," : "") + combo->Items[i];
    EXPECT_EQ(items, expected) << where;
    EXPECT_EQ(box->currentIndex(), combo->ItemIndex()) << where;
    if (box->isEditable()) {
        EXPECT_EQ(FromQ(box->lineEdit()->text()), combo->Text()) << where;
    }
}

TEST_F(Shown, AComboShowsItsItemsThroughAddsAndEveryOtherChange) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    for (const char* uf : {"AC", "AL", "AM", "AP"}) combo->Items.Add(uf);
    ExpectShows(combo, "added one by one");
    combo->SetText("AM");
    ExpectShows(combo, "text of an item");
    combo->Items.Insert(0, "BA");
    ExpectShows(combo, "inserted in front");
    combo->Items.Delete(4);
    ExpectShows(combo, "last deleted");
    combo->Items.SetStrings(1, "CE");
    ExpectShows(combo, "one renamed");
    combo->Items.Add("DF");
    ExpectShows(combo, "added after a rename");
    TStringList fonts;
    for (const char* face : {"Arial", "Courier New", "Times New Roman"}) fonts.Add(face);
    combo->Items.Assign(fonts);
    combo->SetText("Arial");
    ExpectShows(combo, "assigned");
    combo->SetSorted(true);
    combo->Items.Add("Liberation Sans");
    EXPECT_EQ(combo->Items.CommaText(), "Arial,\"Courier New\",\"Liberation Sans\",\"Times New Roman\"");
    ExpectShows(combo, "sorted");
    combo->Clear();
    ExpectShows(combo, "cleared");
    combo->Items.Add("12");
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItemIndex(0);
    ExpectShows(combo, "a list after clearing");
}

TEST_F(Shown, AComboTakesTypedKeysBeforeItsFormIsShownAndShowsItsTextOnceItIs) {
    auto* typed = new TComboBox(form);
    typed->SetParent(form);
    std::string log;
    typed->OnChange = [&](TObject*) { log += typed->Text() + ";"; };
    typed->SetFocus();
    typed->SimulateKey('1', 0, '1');
    typed->SimulateKey('2', 0, '2');
    EXPECT_EQ(typed->Text(), "12");
    EXPECT_EQ(log, "1;12;");
    auto* shown = new TComboBox(form);
    shown->SetParent(form);
    shown->SetTop(40);
    shown->Items.Add("10");
    shown->SetText("8");
    // A form rendered without being shown draws its combos as they show.
    const std::string shot = (std::filesystem::temp_directory_path() / "velorim_combo_shot.png").string();
    ASSERT_TRUE(form->SaveToPng(shot));
    std::filesystem::remove(shot);
    EXPECT_TRUE(qobject_cast<QComboBox*>(shown->Widget())->isEditable());
    ExpectShows(shown, "rendered");
    form->Show();
    Application->ProcessMessages();
    ASSERT_TRUE(qobject_cast<QComboBox*>(shown->Widget())->isEditable());
    ExpectShows(shown, "on a shown form");
    ExpectShows(typed, "typed into before");
    form->Hide();
}

TEST_F(Shown, ALabelSizesToItsCaptionInEveryFontItIsGiven) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("Data Inicial");
    const int plainWidth = label->Width(), plainHeight = label->Height();
    EXPECT_GT(plainWidth, 40);
    label->Font().SetStyle(fsBold);
    EXPECT_GT(label->Width(), plainWidth) << "bold is wider";
    label->Font().SetStyle(0);
    EXPECT_EQ(label->Width(), plainWidth);
    label->Font().SetSize(16);
    EXPECT_GT(label->Height(), plainHeight);
    label->Font().SetSize(8);
    label->Font().SetName("Courier New");
    EXPECT_NE(label->Width(), plainWidth) << "another face, another width";
    auto* twin = new TLabel(form);
    twin->SetParent(form);
    twin->SetCaption("Data Inicial");
    EXPECT_EQ(twin->Width(), plainWidth);
    EXPECT_EQ(twin->Height(), plainHeight);
    twin->SetCaption("Data Inicial do Benefício");
    EXPECT_GT(twin->Width(), plainWidth);
}

}  // namespace

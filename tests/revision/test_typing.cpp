// The wizard and the revision form typed as a person types: real keys to the
// widget with the keyboard focus, clicks on the buttons.
#include "wizard_env.h"

#include "revision/revision_form.h"
#include "support/gui_input.h"

namespace {

using namespace velorim_test;

class Typing : public WizardTest {
protected:
    void TearDown() override {
        for (TForm* f : {static_cast<TForm*>(Form12), static_cast<TForm*>(Form9)}) {
            f->SetActiveControl(nullptr);
            f->Hide();
        }
        WizardTest::TearDown();
    }

    // Types keys into an edit from scratch and leaves it with Tab; the edit's
    // page must be the one shown.
    static void Enter(TCurrencyEdit* edit, const QString& keys) {
        ClickOn(edit);
        SelectAllKeys();
        TypeText(keys);
        PressKey(Qt::Key_Tab);
    }
};

// "." is a thousands point in amounts of money only; elsewhere it is the
// decimal comma, or refused where there are no decimals. An amount typed the
// other way round is refused with the form it takes, not read as another.
TEST_F(Typing, ThePointGroupsThousandsOnlyInAmounts) {
    TForm12& w = *Form12;
    w.PageControl1->SetPageIndex(2);
    ASSERT_TRUE(Activate(&w));
    Enter(w.coef, "0.95");
    EXPECT_EQ(w.coef->Text(), "0,95");
    Enter(w.divisor, "2.4");
    EXPECT_EQ(w.divisor->Value(), 24);
    EXPECT_EQ(Beeps(), 1) << "no decimals: the point is refused";
    Enter(w.rmi01, "1.480,55");
    EXPECT_EQ(w.rmi01->Value(), 1480.55L);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    Enter(w.rmi01, "1,480.55");
    EXPECT_TRUE(w.rmi01->Focused());
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "Valor inválido em RMI Valor (Carta de Concessão): '1,480.55' (ex.: 1.480,55)"});
    w.rmi01->SetText("");
    w.PageControl1->SetPageIndex(3);
    Enter(w.umtrinta, "1.5");
    EXPECT_EQ(w.umtrinta->Value(), 15);
    w.Hide();

    velorim_test::Dialogs().Clear();
    Form9->PageControl1->SetActivePage(Form9->TabSheet2);
    ASSERT_TRUE(Activate(Form9));
    Enter(Form9->EIncrementoRMI, "1.05");
    EXPECT_EQ(Form9->EIncrementoRMI->Text(), "1,05");
    Enter(Form9->ESalBeneficio, "2.500,5");
    EXPECT_EQ(Form9->ESalBeneficio->Value(), 2500.5L);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// After Próximo or Voltar the keyboard is in the new page's first input (of
// the roads, the one chosen).
TEST_F(Typing, AfterEachPageChangeTheKeyboardReachesTheNewPage) {
    TForm12& w = *Form12;
    w.PageControl1->SetPageIndex(0);
    ASSERT_TRUE(Activate(&w));
    ClickOn(w.C8213);
    ClickOn(w.Button20);
    ASSERT_EQ(w.PageControl1->PageIndex(), 1);
    EXPECT_TRUE(w.DateEdit1->Focused());
    TypeText("01/01/1990");
    EXPECT_EQ(w.DateEdit1->Text(), "01/01/1990");
    ClickOn(w.Button27);
    ASSERT_EQ(w.PageControl1->PageIndex(), 0);
    EXPECT_TRUE(w.C8213->Focused());
    ClickOn(w.Button20);
    ClickOn(w.Button22);
    ASSERT_EQ(w.PageControl1->PageIndex(), 2);
    EXPECT_TRUE(w.rmi01->Focused());
    TypeText("1.000,00");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.rmi01->Value(), 1000);
}

// A salary still in the grid's editor is typed work too: Sair asked nothing
// and dropped it.
TEST_F(Typing, ASalaryBeingTypedIsNotDiscardedWithoutAsking) {
    TForm12& w = *Form12;
    w.C8213->SetChecked(true);
    w.incdata2("01/01/2000", "01/03/2000");
    w.KeepInput();
    w.PageControl1->SetPageIndex(4);
    ASSERT_TRUE(Activate(&w));
    w.Sdig->SetFocus();
    w.Sdig->SetCol(1);
    TypeText("900");
    ASSERT_TRUE(w.Sdig->EditorVisible());
    EXPECT_FALSE(w.MayDiscardInput());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Descartar o cálculo em andamento?"});
}

} // namespace

// An empty masked date (untouched or emptied) is no typing error: Tab or a
// click moves on from it, and the date re-entry dialog's OK takes it as no
// date. A date half typed is still refused. Real keys, clicks and focus.
#include "contribution_env.h"

#include "simulation/simulation_form.h"
#include "support/gui_input.h"

namespace {

using namespace velorim_test;

class EmptyDates : public ContributionTest {
protected:
    void TearDown() override {
        Form6->Hide();
        ContributionTest::TearDown();
    }
};

TEST_F(EmptyDates, AreLeftWithTabOrAClickAndOkTakesThem) {
    // The simulation form: the birth date untouched, then the end date emptied.
    Form6->PageControl1->SetActivePage(Form6->TabSheet1);
    ASSERT_TRUE(Activate(Form6));
    ClickOn(Form6->MaskEdit3);
    ASSERT_EQ(KeyboardWidget(), Form6->MaskEdit3->Widget());
    PressKey(Qt::Key_Tab);
    EXPECT_FALSE(Form6->MaskEdit3->Focused());
    Form6->PageControl1->SetActivePage(Form6->TabSheet6);
    ClickOn(Form6->MaskEdit2);
    SelectAllKeys();
    PressKey(Qt::Key_Delete);
    EXPECT_EQ(Form6->MaskEdit2->Text(), "  /  /    ");
    ClickOn(Form6->Edit1);
    EXPECT_TRUE(Form6->Edit1->Focused());
    EXPECT_EQ(Messages(), Texts{});
    // Half a date is still no date.
    ClickOn(Form6->MaskEdit2);
    TypeText("12");
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(Form6->MaskEdit2->Focused());
    EXPECT_EQ(Messages(), Texts{"Valor inválido para a máscara"});
    Form6->MaskEdit2->SetText("");
    Form6->Hide();

    // The contribution-time form: both dates.
    velorim_test::Dialogs().Clear();
    Form2->PageControl1->SetActivePage(Form2->TabSheet1);
    ASSERT_TRUE(Activate(Form2));
    ClickOn(Form2->MaskEdit1);
    PressKey(Qt::Key_Tab);
    EXPECT_FALSE(Form2->MaskEdit1->Focused());
    ClickOn(Form2->MaskEdit2);
    ClickOn(Form2->Edit1);
    EXPECT_TRUE(Form2->Edit1->Focused());
    EXPECT_EQ(Messages(), Texts{});
    Form2->Hide();

    // The date re-entry dialog: OK with no date empties the cell and closes.
    TStringAlignGrid* org = Form2->IconGrid1;
    org->SetRowCount(3);
    org->SetCells(2, 1, "31/02/2000");
    Form5->linhaini = 1;
    Form5->linhafim = 0;
    Form5->MaskEdit1->SetText("  /  /    ");
    ASSERT_TRUE(Activate(Form5));
    ClickOn(Form5->MaskEdit1);
    ClickOn(Form5->Button1);
    EXPECT_FALSE(Form5->Visible());
    EXPECT_EQ(org->Cells(2, 1), "");
    EXPECT_EQ(Messages(), Texts{});
}

} // namespace

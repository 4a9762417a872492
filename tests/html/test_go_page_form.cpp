// The preview's go-to-page dialog: its spin edit keeps the page within the
// document, and Enter takes the page typed.
#include <gtest/gtest.h>

#include "html/view/go_page_form.h"
#include "support/gui_test.h"

namespace {

TEST(GoPageForm, PageStaysWithinTheDocumentAndEnterTakesIt) {
    auto* dlg = new TGoPageForm(nullptr);
    EXPECT_EQ(dlg->Value(), 1);
    dlg->SetMaxValue(5);
    dlg->SetValue(3);
    EXPECT_EQ(dlg->PageNum->Text(), "3");
    dlg->SetValue(9);
    EXPECT_EQ(dlg->Value(), 5);
    dlg->PageNum->SetText("0");
    EXPECT_EQ(dlg->Value(), 1);

    velorim_test::Dialogs().OnModalForm = [](TForm& f) {
        auto& form = dynamic_cast<TGoPageForm&>(f);
        EXPECT_EQ(form.ActiveControl(), form.PageNum);
        form.PageNum->SimulateKey(VK_UP);
        EXPECT_EQ(form.PageNum->Text(), "2");
        form.PageNum->SelectAll();
        form.PageNum->SimulateKey(0, 0, '4');
        form.PageNum->SimulateKey(VK_RETURN, 0, '\r');
    };
    dlg->SetValue(1);
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_EQ(dlg->Value(), 4);
    dlg->SetMaxValue(0);  // no pages: the one page is all there is
    EXPECT_EQ(dlg->Value(), 1);
    dlg->Free();
}

}  // namespace

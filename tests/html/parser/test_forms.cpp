#include <gmock/gmock.h>

#include "html/layout/form_controls.h"
#include "parser_fixture.h"

class FormTest : public ParserTest {
protected:
    ThtmlForm& FirstForm(const std::string& html) {
        Parse(html);
        return *list_->htmlFormList[0];
    }
    static std::vector<std::string> Submission(ThtmlForm& f) {
        auto sl = f.CollectSubmission();
        std::vector<std::string> v;
        for (int i = 0; i < sl->Count(); ++i) v.push_back((*sl)[i]);
        return v;
    }
    template <class T>
    static T* Control(ThtmlForm& f, int i) {
        return dynamic_cast<T*>(f.ControlList[i]);
    }
};

TEST_F(FormTest, CheckBoxesSubmitOnlyWhenChecked) {
    ThtmlForm& f = FirstForm("<form><input type=checkbox name=a><input type=checkbox name=b checked>"
                             "<input type=checkbox name=c value=yes checked></form>");
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("b=on", "c=yes"));
    Control<TCheckBoxFormControlObj>(f, 0)->TheBox()->SetChecked(true);
    Control<TCheckBoxFormControlObj>(f, 1)->TheBox()->SetChecked(false);
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("a=on", "c=yes"));
    // Reset brings back the initial states.
    f.ResetAllControls();
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("b=on", "c=yes"));
}

TEST_F(FormTest, RadioGroupsIgnoreTheCaseOfNames) {
    ThtmlForm& f = FirstForm("<form><input type=radio name=Pick value=1 checked><input type=radio name=pick value=2>"
                             "<input type=radio name=other value=3 checked></form>");
    auto* second = Control<TRadioButtonFormControlObj>(f, 1);
    second->TheButton()->SetIsChecked(true);
    EXPECT_FALSE(Control<TRadioButtonFormControlObj>(f, 0)->TheButton()->IsChecked());
    EXPECT_TRUE(Control<TRadioButtonFormControlObj>(f, 2)->TheButton()->IsChecked());
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("pick=2", "other=3"));
    // The form unchecks the rest of a group for the button that was checked.
    f.UncheckOtherRadios(Control<TRadioButtonFormControlObj>(f, 0));
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("other=3"));
    // Arrows walk the group without wrapping.
    EXPECT_EQ(second->Neighbour(-1), Control<TRadioButtonFormControlObj>(f, 0));
    EXPECT_EQ(second->Neighbour(1), nullptr);
}

TEST_F(FormTest, DisabledControlsAreLeftOut) {
    ThtmlForm& f = FirstForm("<form><input name=a value=1 disabled><input name=b value=2 disabled=no>"
                             "<input name=c value=3 disabled=0></form>");
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("b=2", "c=3"));
}

TEST_F(FormTest, SelectsAndTheirRows) {
    std::string options;
    for (int i = 0; i < 12; ++i) options += "<option value=v" + std::to_string(i) + ">o" + std::to_string(i);
    ThtmlForm& f = FirstForm("<form><select name=m multiple>" + options + "</select><select name=s size=3>" +
                             options + "</select><select name=c><option>x<option selected value=y>z</select></form>");
    auto* m = Control<TListBoxFormControlObj>(f, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->VisibleRows(), 8);
    EXPECT_EQ(Control<TListBoxFormControlObj>(f, 1)->VisibleRows(), 3);
    auto* c = Control<TComboFormControlObj>(f, 2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->TheCombo()->ItemIndex(), 1);
    EXPECT_EQ(c->TheOptions.GetValue(0), "x");  // an option without VALUE submits its text
    EXPECT_EQ(c->TheOptions.GetValue(5), "");
    EXPECT_FALSE(c->TheOptions.GetSelected(-1));
    m->TheList()->SetSelected(2, true);
    m->TheList()->SetSelected(4, true);
    EXPECT_THAT(Submission(f), ::testing::ElementsAre("m=v2", "m=v4", "c=y"));
}

TEST_F(FormTest, TabIndexesKeepDocumentOrderForEqualValues) {
    Parse("<input name=a tabindex=2><input name=b tabindex=1><input name=c tabindex=1><input name=d>");
    ASSERT_EQ(list_->TabOrderList.size(), 3u);
    auto nameOf = [&](size_t i) {
        for (TFormControlObj* c : list_->FormControlList)
            if (c->GetControl() == list_->TabOrderList[i].second) return c->FName;
        return std::string("?");
    };
    EXPECT_EQ(nameOf(0), "b");
    EXPECT_EQ(nameOf(1), "c");
    EXPECT_EQ(nameOf(2), "a");
}

TEST_F(FormTest, SubmitButtonsAndEditSizes) {
    std::vector<std::string> got;
    ThtmlForm& f = FirstForm("<form action=go><input name=q value=x size=\"7,2\"><input type=submit name=s value=Ok>"
                             "<input type=reset></form>");
    list_->SubmitForm = [&](TObject*, const std::string& action, const std::string&, const std::string&,
                            const std::string& method, TStringList* results) {
        got.push_back(action + " " + method);
        for (int i = 0; i < results->Count(); ++i) got.push_back((*results)[i]);
    };
    auto* edit = Control<TEditFormControlObj>(f, 0);
    EXPECT_EQ(edit->EditSize, 7);
    edit->TheEdit()->SetText("typed");
    Control<TButtonFormControlObj>(f, 1)->ButtonClick();
    EXPECT_THAT(got, ::testing::ElementsAre("go Get", "q=typed", "s=Ok"));
    Control<TButtonFormControlObj>(f, 2)->ButtonClick();
    EXPECT_EQ(edit->TheEdit()->Text(), "x");
}

// A list box is its rows of "A" high, and its widest option, the platform's
// scroll bar and 10 wide.
TEST_F(FormTest, AListBoxIsItsRowsHighAndItsWidestOptionWide) {
    ThtmlForm& f = FirstForm("<form><select name=s size=3><option>um<option>dezesseis</select></form>");
    Layout(400);
    TListBox* box = Control<TListBoxFormControlObj>(f, 0)->TheList();
    TCanvas canvas;
    canvas.SetFont(box->Font());
    EXPECT_EQ(box->Height(), 3 * canvas.TextHeight("A"));
    EXPECT_EQ(box->Width(), canvas.TextWidth(u"dezesseis") + TListBox::ScrollBarWidth() + 10);
}

// Keys as a user presses them in the viewer, sent to the widget that has the
// keyboard: Tab reaches a link and Enter follows it; what a check box or a
// radio button does not use itself scrolls the view.
#include <gmock/gmock.h>

#include <QImage>
#include <QWidget>

#include "html/layout/form_controls.h"
#include "html/layout/section.h"
#include "support/gui_input.h"
#include "view_env.h"

using ::testing::ElementsAre;
using ::testing::EndsWith;

namespace {

using velorim_test::Activate;
using velorim_test::PressKey;
using velorim_test::ViewerTest;

std::string Tall(const std::string& top) {
    std::string s = "<body>" + top;
    for (int i = 0; i < 200; ++i) s += "<p>Linha " + std::to_string(i) + "</p>";
    return s + "</body>";
}

template <class T>
T* ControlAt(THTMLViewer* v, int i) {
    return dynamic_cast<T*>((*v->FormControlList())[i]);
}

TEST_F(ViewerTest, TabReachesALinkAndEnterFollowsIt) {
    ASSERT_TRUE(Activate(form));
    Write("b.htm", "<p>Folha B</p>");
    v->LoadFromFile(Write("a.htm", "<p><a href=\"b.htm\">Folha B</a></p>"));
    std::vector<std::string> clicked;
    v->OnHotSpotClick = [&](TObject*, const std::string& url, bool&) { clicked.push_back(url); };
    v->SetFocus();
    PressKey(Qt::Key_Tab);
    ASSERT_TRUE(v->SectionList()->LinkList[0]->TabControl->Focused());
    PressKey(Qt::Key_Return);
    Application->ProcessMessages();
    EXPECT_THAT(clicked, ElementsAre("b.htm"));
    EXPECT_THAT(v->CurrentFile(), EndsWith("b.htm"));
}

TEST_F(ViewerTest, KeysACheckBoxOrRadioDoesNotUseScrollTheView) {
    ASSERT_TRUE(Activate(form));
    v->LoadFromFile(Write("f.htm", Tall("<form><input type=radio name=r value=1><input type=radio name=r value=2>"
                                        "<input type=checkbox name=a><input type=checkbox name=b></form>")));
    Paint();
    const int page = v->VScrollBar()->LargeChange;
    // The arrows walk the radio group; the paging keys scroll.
    TFormRadioButton* first = ControlAt<TRadioButtonFormControlObj>(v, 0)->TheButton();
    first->SetFocus();
    PressKey(Qt::Key_Right);
    EXPECT_TRUE(ControlAt<TRadioButtonFormControlObj>(v, 1)->TheButton()->Focused());
    PressKey(Qt::Key_PageDown);
    EXPECT_EQ(v->VScrollBarPosition(), page);

    v->ScrollTo(0);
    Paint();
    TCheckBox* box = ControlAt<TCheckBoxFormControlObj>(v, 2)->TheBox();
    box->SetFocus();
    PressKey(Qt::Key_Space);  // the box's own key
    EXPECT_TRUE(box->Checked());
    PressKey(Qt::Key_Down);
    EXPECT_EQ(v->VScrollBarPosition(), 16);
    EXPECT_TRUE(box->Focused());
    PressKey(Qt::Key_PageDown);
    EXPECT_EQ(v->VScrollBarPosition(), 16 + page);
}

// Grabbed as the screen shows it, the box has its edge on all four sides.
TEST_F(ViewerTest, ACheckBoxShowsItsWholeBox) {
    form->Show();
    v->LoadFromFile(Write("c.htm", "<input type=checkbox>"));
    Paint();
    const QImage shot = ControlAt<TCheckBoxFormControlObj>(v, 0)->TheBox()->Widget()->grab().toImage();
    const int w = shot.width(), h = shot.height();
    auto dark = [&](int x, int y) { return qGray(shot.pixel(x, y)) < 200; };
    EXPECT_TRUE(dark(w / 2, 0));
    EXPECT_TRUE(dark(w / 2, h - 1));
    EXPECT_TRUE(dark(0, h / 2));
    EXPECT_TRUE(dark(w - 1, h / 2));
}

}  // namespace

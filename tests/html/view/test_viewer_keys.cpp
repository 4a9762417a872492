// Keys as a user presses them in the viewer, sent to the widget that has the
// keyboard: Tab reaches a link and Enter follows it; what a check box or a
// radio button does not use itself scrolls the view.
#include <gmock/gmock.h>

#include "html/layout/section.h"
#include "support/gui_input.h"
#include "view_env.h"

using ::testing::ElementsAre;
using ::testing::EndsWith;

namespace {

using velorim_test::Activate;
using velorim_test::PressKey;
using velorim_test::ViewerTest;

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

}  // namespace

// The browser window shows a page in the program's own viewer.
#include <gmock/gmock.h>

#include "app/browser_form.h"
#include "app_env.h"

using ::testing::HasSubstr;

namespace {

class BrowserForm : public velorim_test::ProgramTest {};

TEST_F(BrowserForm, TheBrowserWindowShowsAPage) {
    Write("pagina.htm",
          "<html><head><title>Ajuda</title></head><body><p>Página de ajuda</p></body></html>");
    Start(false);
    Event([] { Form16->Show(); });
    Event([&] { Form16->WB->LoadFromFile((dir / "pagina.htm").string()); });
    EXPECT_EQ(Form16->WB->DocumentTitle(), "Ajuda");
    EXPECT_GT(Form16->WB->DocHeight(), 0);
    EXPECT_GT(Form16->WB->Height(), Form16->ClientHeight() / 2);
    Form16->WB->SelectAll();
    EXPECT_THAT(Form16->WB->SelText(), HasSubstr("Página de ajuda"));
}

} // namespace

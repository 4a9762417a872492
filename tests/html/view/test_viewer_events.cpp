// The viewer's events: the reader's hooks while a page is read (images,
// LINK, BGSOUND, SCRIPT, OBJECT), images handed over by the program, form
// controls and panels reporting through the viewer, and drags over the view.
#include <gmock/gmock.h>

#include <vector>

#include "html/images/viewer_globals.h"
#include "html/layout/floating.h"
#include "html/layout/form_controls.h"
#include "html/layout/section.h"
#include "platform/gui/bitmap.h"
#include "support/gui_input.h"
#include "view_env.h"

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using velorim_test::ViewerTest;

const char* const kHookPage =
    "<html><head><link rel=\"stylesheet\" href=\"nada.css\" rev=\"made\">"
    "<bgsound src=\"tema.mid\" loop=3>"
    "<script name=\"s1\" language=\"JavaScript\">var a = 1;\nvar b = 2;</script></head>"
    "<body><p>Texto <img src=\"foto.gif\" width=20 height=20></p>"
    "<object name=\"obj1\" type=\"app/x\" data=\"d.bin\"><param name=\"speed\" value=\"fast\">"
    "<param name=\"size\" value=\"2\">reserva</object><p>fim</p></body></html>";

std::string Plain(const std::u16string& w) {
    std::string s;
    for (char16_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

TEST_F(ViewerTest, ReadingAPageFiresTheReaderHooksWithTheirArguments) {
    std::vector<std::string> calls;
    v->OnImageRequest = [&](TObject* sender, const std::string& src, TStream*& stream) {
        EXPECT_EQ(sender, v);
        calls.push_back("image " + src);
        stream = DeferredImageStream;  // the picture comes later
    };
    v->OnLink = [&](TObject* sender, const std::string& rel, const std::string& rev, const std::string& href) {
        EXPECT_EQ(sender, v);
        calls.push_back("link " + rel + " " + rev + " " + href);
    };
    v->OnSoundRequest = [&](TObject* sender, const std::string& src, int loop, bool terminate) {
        EXPECT_EQ(sender, v);
        calls.push_back("sound '" + src + "' " + std::to_string(loop) + (terminate ? " stop" : ""));
    };
    v->OnScript = [&](TObject* sender, const std::string& name, const std::string& language,
                      const std::string& script) {
        EXPECT_EQ(sender, v);
        calls.push_back("script " + name + " " + language + " [" + script + "]");
    };
    TStringList attributes, params;
    TPanelObj* tagged = nullptr;
    v->OnObjectTag = [&](TObject* sender, TPanelObj* panel, const TStringList& attrs, const TStringList& prms,
                         bool& wantPanel) {
        EXPECT_EQ(sender, v);
        EXPECT_TRUE(wantPanel);
        tagged = panel;
        attributes.Assign(attrs);
        params.Assign(prms);
        calls.push_back("object");
    };
    ThvPanel* created = nullptr;
    v->OnPanelCreate = [&](TObject* sender, const std::string& name, const std::string& type, const std::string& src,
                           ThvPanel* handle) {
        EXPECT_EQ(sender, v);
        created = handle;
        calls.push_back("panel " + name + " " + type + " " + src);
    };
    v->LoadFromFile(Write("hooks.htm", kHookPage));

    // The sound is told to stop before the page is read; the image is asked
    // for by the layout, after the reading.
    EXPECT_THAT(calls, ElementsAre("sound '' 0 stop", "link stylesheet made nada.css", "sound 'tema.mid' 3",
                                   "script s1 JavaScript [var a = 1;\r\nvar b = 2;]", "panel obj1 app/x ",
                                   "object", "image foto.gif"));
    ASSERT_NE(tagged, nullptr);
    EXPECT_EQ(tagged->Panel.get(), created);
    EXPECT_THAT(params.Items(), ElementsAre("speed=fast", "size=2"));
    EXPECT_THAT(attributes.Items(), ElementsAre("NAME=obj1", "TYPE=app/x", "DATA=d.bin"));
    // The panel stays in the page; the OBJECT's own content is not read.
    ASSERT_EQ(v->SectionList()->PanelList.size(), 1u);
    EXPECT_EQ(v->SectionList()->PanelList[0], tagged);
    v->SelectAll();
    EXPECT_THAT(Plain(v->SelTextW()), Not(HasSubstr("reserva")));
    // A deferred picture waits in the document's list of missing images.
    ASSERT_EQ(v->SectionList()->MissingImages.size(), 1u);
    EXPECT_EQ(v->SectionList()->MissingImages[0].first, "foto.gif");

    ThvPanel* destroyed = nullptr;
    v->OnPanelDestroy = [&](TObject* sender, ThvPanel* handle) {
        EXPECT_EQ(sender, v);
        destroyed = handle;
    };
    calls.clear();
    v->Clear();
    EXPECT_EQ(destroyed, created);
    EXPECT_THAT(calls, ElementsAre("sound '' 0 stop"));
}

TEST_F(ViewerTest, IncludeCommentsTakeTheProgramsText) {
    std::vector<std::string> seen;
    v->OnInclude = [&](TObject* sender, const std::string& command, std::unique_ptr<TStringList> params,
                       std::string& text) {
        EXPECT_EQ(sender, v);
        seen.push_back(command + " " + params->CommaText());
        if (command == "data") text = "<b>hoje</b>";
    };
    v->LoadFromFile(Write("inc.htm", "<p>Em <!--#data formato=\"curto\"--> e <!--#nada-->.</p>"));
    EXPECT_THAT(seen, ElementsAre("data formato=curto", "nada "));
    v->SelectAll();
    EXPECT_EQ(Plain(v->SelTextW()), "Em hoje e .\r\n");
}

TEST_F(ViewerTest, ObjectsAreTransparentWithoutAHandlerAndDroppedWhenNotWanted) {
    const std::string page = Write("obj.htm", kHookPage);
    v->LoadFromFile(page);
    v->SelectAll();
    EXPECT_THAT(Plain(v->SelTextW()), HasSubstr("reserva"));
    EXPECT_TRUE(v->SectionList()->PanelList.empty());

    v->OnObjectTag = [](TObject*, TPanelObj*, const TStringList&, const TStringList&, bool& wantPanel) {
        wantPanel = false;
    };
    v->Clear();
    v->LoadFromFile(page);
    EXPECT_TRUE(v->SectionList()->PanelList.empty());
    v->SelectAll();
    EXPECT_THAT(Plain(v->SelTextW()), AllOf(Not(HasSubstr("reserva")), HasSubstr("fim")));
}

// Counts the pixels of one colour in the painted view.
int CountPixels(THTMLViewer* v, TColor color) {
    const TRect r = v->PaintPanel()->ClientRect();
    TBitmap bmp(r.Width(), r.Height(), TPixelFormat::pf24bit);
    v->PaintDocument(bmp.Canvas(), r);
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if ((ColorToRGB(bmp.GetPixel(x, y)) & 0xFFFFFF) == (ColorToRGB(color) & 0xFFFFFF)) ++n;
    return n;
}

TEST_F(ViewerTest, ABitmapFromTheProgramIsPaintedAndTheStreamRequestComesSecond) {
    std::vector<std::string> asked;
    v->OnBitmapRequest = [&](TObject* sender, const std::string& src, TBitmap*& bitmap, TColor& color) {
        EXPECT_EQ(sender, v);
        EXPECT_EQ(color, static_cast<TColor>(-1));
        asked.push_back("bitmap " + src);
        if (src != "vermelho") return;
        bitmap = new TBitmap(30, 20, TPixelFormat::pf24bit);
        bitmap->Canvas().FillRect(TRect{0, 0, 30, 20}, clRed);
    };
    v->OnImageRequest = [&](TObject*, const std::string& src, TStream*& stream) {
        asked.push_back("stream " + src);
        stream = DeferredImageStream;
    };
    v->LoadFromFile(Write("img.htm", "<p><img src=\"vermelho\"> <img src=\"outro\"></p>"));
    EXPECT_THAT(asked, ElementsAre("bitmap vermelho", "bitmap outro", "stream outro"));
    EXPECT_EQ(CountPixels(v, clRed), 30 * 20);
}

TEST_F(ViewerTest, ALinkedSheetComesFromTheStreamRequest) {
    const std::string page =
        Write("sheet.htm", "<link rel=\"stylesheet\" href=\"css/grande.css\"><p>Uma linha.</p><p>Outra.</p>");
    v->LoadFromFile(page);
    const int plain = v->DocHeight();
    TMemoryStream sheet(std::string("p { font-size: 40pt }"));
    std::vector<std::string> asked;
    v->OnhtStreamRequest = [&](TObject* sender, const std::string& src, TStream*& stream) {
        EXPECT_EQ(sender, v);
        asked.push_back(src);
        stream = &sheet;
    };
    v->Clear();
    v->LoadFromFile(page);
    EXPECT_THAT(asked, ElementsAre("css/grande.css"));
    EXPECT_GT(v->DocHeight(), plain + 40);
    // Without a stream the file is read, and here there is none.
    v->OnhtStreamRequest = [](TObject*, const std::string&, TStream*&) {};
    v->Clear();
    v->LoadFromFile(page);
    EXPECT_EQ(v->DocHeight(), plain);
}

TEST_F(ViewerTest, SettingAnEventAlsoSetsTheDocumentsEvent) {
    TSectionList* doc = v->SectionList();
    EXPECT_FALSE(doc->ObjectClick);
    v->OnObjectClick = [](TObject*, TFormControlObj*, const std::string&) {};
    v->OnPanelPrint = [](TObject*, ThvPanel*, TBitmap*) {};
    EXPECT_TRUE(doc->ObjectClick);
    EXPECT_TRUE(doc->PanelPrintEvent);
    v->OnObjectClick = nullptr;
    EXPECT_FALSE(doc->ObjectClick);
    EXPECT_FALSE(v->OnObjectClick);
}

TEST_F(ViewerTest, FormControlsReportThroughTheViewerAndSubmitAfterTheClick) {
    std::vector<std::string> events;
    auto record = [&](const char* what) {
        return [&, what](TObject* sender, TFormControlObj*, const std::string& message) {
            EXPECT_EQ(sender, v);
            events.push_back(std::string(what) + " " + message);
        };
    };
    v->OnObjectClick = record("click");
    v->OnObjectFocus = record("focus");
    v->OnObjectBlur = record("blur");
    v->OnFormSubmit = [&](TObject* sender, const std::string& action, const std::string&, const std::string&,
                          const std::string& method, TStringList* results) {
        EXPECT_EQ(sender, v);
        events.push_back("submit " + action + " " + method + " " + results->CommaText());
    };
    form->Show();
    v->LoadFromFile(Write("form.htm",
                          "<form action=\"envia.cgi\" method=\"post\"><input name=\"quem\" value=\"Ana\" "
                          "onfocus=\"f1\" onblur=\"b1\"> <input type=\"submit\" name=\"vai\" value=\"Ok\" "
                          "onclick=\"c1\"></form>"));
    ASSERT_EQ(v->FormControlList()->Count(), 2);
    TFormControlObj* edit = (*v->FormControlList())[0];
    TFormControlObj* button = (*v->FormControlList())[1];
    edit->GetControl()->SetFocus();
    button->GetControl()->SetFocus();
    button->GetControl()->Click();
    // The submission waits for the click to end.
    EXPECT_THAT(events, ElementsAre("focus f1", "blur b1", "focus ", "click c1"));
    Application->ProcessMessages();
    EXPECT_THAT(events,
                ElementsAre("focus f1", "blur b1", "focus ", "click c1", "submit envia.cgi post quem=Ana,vai=Ok"));
}

// A form keeps its radio groups: checking a button, by code or by a click,
// is a click that unchecks the rest of its group only, and each window
// shows its button's own state; while TAB is down on a button it stays as
// it is. Moving over a control leaves the link hovered before.
TEST_F(ViewerTest, RadioGroupsAndThePointerOverControls) {
    std::vector<std::string> events;
    auto record = [&](const char* what) {
        return [&, what](TObject*, TFormControlObj* c, const std::string&) { events.push_back(what + c->Value); };
    };
    v->OnObjectClick = record("click ");
    v->OnObjectChange = record("change ");
    v->OnHotSpotCovered = [&](TObject*, const std::string& url) { events.push_back("over " + url); };
    form->Show();
    v->LoadFromFile(Write("radio.htm", "<a href=\"x.htm\">link</a><form><input type=radio name=a value=1 checked>"
                                       "<input type=radio name=a value=2><input type=radio name=b value=3 checked>"
                                       "<input type=radio name=b value=4></form>"));
    Paint();
    auto button = [&](int i) {
        return dynamic_cast<TRadioButtonFormControlObj*>((*v->FormControlList())[i])->TheButton();
    };
    auto shown = [&]() {
        std::string s;
        for (int i = 0; i < 4; ++i)
            s += std::string(button(i)->IsChecked() ? "x" : "o") + (button(i)->Checked() ? "x" : "o");
        return s;
    };
    EXPECT_EQ(shown(), "xxooxxoo");
    events.clear();
    button(1)->SetIsChecked(true);
    EXPECT_EQ(shown(), "ooxxxxoo");
    button(3)->UserClick();
    EXPECT_EQ(shown(), "ooxxooxx");
    EXPECT_THAT(events, ElementsAre("click 2", "change 1", "click 4", "change 3"));
    WORD tab = VK_TAB;
    button(2)->OnKeyDown(button(2), tab, 0);
    button(2)->SetIsChecked(true);
    EXPECT_EQ(shown(), "ooxxooxx");
    button(2)->OnKeyUp(button(2), tab, 0);
    button(2)->SetIsChecked(true);
    EXPECT_EQ(shown(), "ooxxxxoo");
    events.clear();
    v->PaintPanel()->MouseMove(0, 15, 12);
    TWinControl* control = (*v->FormControlList())[0]->GetControl();
    ASSERT_TRUE(control->OnMouseMove);
    control->OnMouseMove(control, 0, 2, 2);
    EXPECT_THAT(events, ElementsAre("over x.htm", "over "));
}

// A click on an image input submits its form with the point clicked inside
// the picture; merely passing over it submits nothing.
TEST_F(ViewerTest, AClickOnAnImageInputSubmitsThePointInsideIt) {
    TBitmap picture;
    picture.SetSize(40, 30);
    picture.SaveToFile((dir / "mapa.bmp").string());
    std::vector<std::string> submitted;
    v->OnFormSubmit = [&](TObject*, const std::string& action, const std::string&, const std::string&,
                          const std::string&, TStringList* results) {
        submitted.push_back(action + " " + results->CommaText());
    };
    form->Show();
    v->LoadFromFile(Write("form.htm", "<form action=\"envia.cgi\"><input name=\"quem\" value=\"Ana\">"
                                      "<input type=image name=\"mapa\" src=\"mapa.bmp\"></form>"));
    ASSERT_EQ(v->FormControlList()->Count(), 2);
    Paint();
    auto* input = dynamic_cast<TImageFormControlObj*>((*v->FormControlList())[1]);
    ASSERT_TRUE(input && input->MyImage);
    const int x = input->MyImage->DrawXX + 10, y = input->MyImage->ShownY - v->SectionList()->YOff + 5;
    v->PanelMouseMove(0, x, y);
    v->PanelMouseMove(0, x + 1, y + 1);
    v->PanelMouseDown(TMouseButton::mbLeft, 0, x + 1, y + 1);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, x + 1, y + 1);
    Application->ProcessMessages();
    EXPECT_THAT(submitted, ElementsAre("envia.cgi quem=Ana,mapa.x=11,mapa.y=6"));
}

// A click on a link gives the link the keyboard focus.
TEST_F(ViewerTest, AClickedLinkTakesTheFocus) {
    form->Show();
    v->LoadFromFile(Write("a.htm", "<p><a href=\"#fim\">Ir para o fim</a></p><p><a name=\"fim\">fim</a></p>"));
    Paint();
    ASSERT_FALSE(v->SectionList()->LinkList.empty());
    ThtTabcontrol* holder = v->SectionList()->LinkList[0]->TabControl.get();
    ASSERT_NE(holder, nullptr);
    v->PanelMouseMove(0, 30, 14);
    ASSERT_EQ(v->URL(), "#fim");
    v->PanelMouseDown(TMouseButton::mbLeft, 0, 30, 14);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, 30, 14);
    EXPECT_TRUE(holder->Focused());
}

// Enter on a focused link follows it as a click does: its text and
// attributes are known to the handlers first.
TEST_F(ViewerTest, EnterOnAFocusedLinkGivesItsTextAndAttributes) {
    ASSERT_TRUE(velorim_test::Activate(form));
    v->LoadFromFile(Write("a.htm", "<p><a href=\"outra.htm\" title=\"Outra\">Outra folha</a></p>"));
    Paint();
    ASSERT_FALSE(v->SectionList()->LinkList.empty());
    ThtTabcontrol* holder = v->SectionList()->LinkList[0]->TabControl.get();
    ASSERT_NE(holder, nullptr);
    std::string clicked, text;
    v->OnHotSpotClick = [&](TObject*, const std::string& url, bool& handled) {
        clicked = url + " " + v->LinkAttributes().Text();
        text = Plain(v->LinkText());
        handled = true;
    };
    holder->SetFocus();
    velorim_test::PressKey(Qt::Key_Return);
    Application->ProcessMessages();
    EXPECT_THAT(clicked, HasSubstr("outra.htm"));
    EXPECT_THAT(clicked, HasSubstr("TITLE=Outra"));
    EXPECT_EQ(text, "Outra folha");
}

TEST_F(ViewerTest, DragsOverThePaintPanelReachTheViewer) {
    TObject source;
    std::vector<std::string> seen;
    bool accept = true;
    v->PaintPanel()->DragOver(&source, 3, 4, TDragState::dsDragMove, accept);
    EXPECT_FALSE(accept);  // nobody takes drops
    v->OnDragOver = [&](TObject* sender, TObject* src, int x, int y, TDragState, bool& acc) {
        EXPECT_EQ(sender, v);
        EXPECT_EQ(src, &source);
        seen.push_back("over " + std::to_string(x) + "," + std::to_string(y) + (acc ? " yes" : " no"));
    };
    v->OnDragDrop = [&](TObject* sender, TObject* src, int x, int y) {
        EXPECT_EQ(sender, v);
        EXPECT_EQ(src, &source);
        seen.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    };
    v->PaintPanel()->DragOver(&source, 3, 4, TDragState::dsDragMove, accept);
    EXPECT_TRUE(accept);
    v->PaintPanel()->DragDrop(&source, 5, 6);
    EXPECT_THAT(seen, ElementsAre("over 3,4 yes", "drop 5,6"));
}

}  // namespace

// A page of hundreds of controls makes windows for its first ones at once
// and for the others when they (or a neighbour) are drawn, in the document's
// tab order: making and freeing thousands of windows at once grows with
// their square.
TEST_F(ViewerTest, ControlsBeyondTheFirstGetTheirWindowsWhenDrawn) {
    form->Show();
    std::string html;
    for (int i = 0; i < 400; ++i) html += "<p><input name=c" + std::to_string(i) + "></p>";
    v->LoadFromFile(Write("muitos.htm", html));
    const TFormControlList& all = *v->FormControlList();
    ASSERT_EQ(all.Count(), 400);
    auto windowed = [&](int i) { return all[i]->GetControl()->Parent() != nullptr; };
    EXPECT_TRUE(windowed(0));
    EXPECT_FALSE(windowed(399));
    v->SetPosition(v->DocHeight());
    Paint();
    EXPECT_TRUE(windowed(399));
    EXPECT_FALSE(windowed(250));
    const int before = all[199]->GetControl()->TabOrder(), last = all[399]->GetControl()->TabOrder();
    EXPECT_LT(before, all[398]->GetControl()->TabOrder());
    EXPECT_LT(all[398]->GetControl()->TabOrder(), last);
}

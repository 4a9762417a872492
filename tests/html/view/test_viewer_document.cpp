// The viewer with documents: scrolling and places that survive a reload or a
// new width, links inside the page and to other files, selection with the
// mouse and by word, keys, and the meta refresh.
#include <gmock/gmock.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "html/layout/document.h"
#include "html/layout/section.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/extctrls.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"
#include "view_env.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using velorim_test::ViewerTest;

// A page much taller than the view, with an anchor far down.
std::string LongPage(int lines, const std::string& extra = "") {
    std::string s = "<html><head><title>Longa</title></head><body>" + extra;
    for (int i = 1; i <= lines; ++i) {
        s += std::string(i == lines - 10 ? "<p id=\"fim\">" : "<p>") + "Linha " + std::to_string(i) + " do relatório</p>\r\n";
    }
    return s + "</body></html>";
}

TEST_F(ViewerTest, AReloadKeepsThePlaceAndAnotherFileStartsAtTheTop) {
    const std::string a = Write("a.htm", LongPage(200)), b = Write("b.htm", LongPage(150));
    v->LoadFromFile(a);
    EXPECT_EQ(v->DocumentTitle(), "Longa");
    ASSERT_GT(v->DocHeight(), 2 * v->PaintPanel()->Height());
    EXPECT_TRUE(v->VScrollBar()->Visible());
    // The panel leaves room for the bar.
    EXPECT_EQ(v->PaintPanel()->Width(), v->Width() - 2 - v->VScrollBar()->Width());

    v->ScrollTo(1000);
    EXPECT_EQ(v->VScrollBarPosition(), 1000);
    EXPECT_EQ(v->SectionList()->YOff, 1000);
    v->LoadFromFile(a);
    EXPECT_EQ(v->VScrollBarPosition(), 1000);
    v->LoadFromFile(b);
    EXPECT_EQ(v->VScrollBarPosition(), 0);

    // Scrolling stops at the end.
    v->ScrollTo(1000000);
    EXPECT_EQ(v->VScrollBarPosition(), v->DocHeight() - v->PaintPanel()->Height());

    // The encoded place brings the same line back at another width.
    v->ScrollTo(900);
    const int pos = v->Position();
    EXPECT_GT(pos >> 16, 0);
    v->SetBounds(0, 0, 300, 400);
    int top = 0, index = 0;
    const TSectionBase* before = v->SectionList()->FindSectionAtPosition(v->SectionList()->YOff, top, index);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(index + 1, pos >> 16);
}

// A BODY after a link or a body of their own drops the paragraph or block
// that holds nothing yet: the document's lists of links, tab stops and ids
// forget it (the sanitized build stops at any use of what went).
TEST_F(ViewerTest, WhatABodyTagDropsLeavesNothingBehind) {
    int n = 0;
    for (const char* page :
         {"<a href=a tabindex=1><body><a href=z>k</a>=", "<a href=a><body>=", "<body id=a><body>x"}) {
        v->LoadFromFile(Write("p" + std::to_string(++n) + ".htm", page));
        Paint();
        EXPECT_FALSE(v->PositionTo("a"));
    }
}

// A page that cannot be read (a device, a pipe, one too large) is refused
// before anything changes: the page shown stays, and so does its history.
// Too large is 2 MB: the document of a larger page could pass 1 GB.
TEST_F(ViewerTest, APageThatCannotBeReadLeavesTheShownOneAsItWas) {
    const std::string a = Write("a.htm", LongPage(20));
    v->LoadFromFile(a);
    const int height = v->DocHeight();
    const std::string big = (dir / "grande.htm").string();
    ASSERT_EQ(truncate(Write("grande.htm", "").c_str(), static_cast<off_t>(kMaxPageFileSize) + 1), 0);
    const std::string list = Write("lista.htm", std::string((size_t{2} << 20) + 4, 'x').replace(0, 4, "<li>"));
    const std::string pipe = (dir / "cano.htm").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& bad : {big, list, pipe, std::string("/dev/zero")}) {
        EXPECT_THROW(v->LoadFromFile(bad), EInOutError) << bad;
        EXPECT_EQ(v->CurrentFile(), a);
        EXPECT_EQ(v->DocumentTitle(), "Longa");
        EXPECT_EQ(v->DocHeight(), height);
    }
}

TEST_F(ViewerTest, KeysScrollByLinesPagesAndToTheEnds) {
    v->LoadFromFile(Write("a.htm", LongPage(200)));
    WORD key = VK_NEXT;
    v->KeyDown(key, 0);
    EXPECT_EQ(v->VScrollBarPosition(), v->VScrollBar()->LargeChange);
    key = VK_DOWN;
    v->KeyDown(key, 0);
    EXPECT_EQ(v->VScrollBarPosition(), v->VScrollBar()->LargeChange + 16);
    key = VK_END;
    v->KeyDown(key, 0);
    EXPECT_EQ(v->VScrollBarPosition(), v->DocHeight() - v->PaintPanel()->Height());
    key = VK_HOME;
    v->KeyDown(key, 0);
    EXPECT_EQ(v->VScrollBarPosition(), 0);
    key = VK_UP;
    v->KeyDown(key, 0);
    EXPECT_EQ(v->VScrollBarPosition(), 0);
    v->WheelScroll(-120);
    EXPECT_EQ(v->VScrollBarPosition(), 48);
    v->SethtOptions(v->htOptions() | htNoWheelMouse);
    v->WheelScroll(-120);
    EXPECT_EQ(v->VScrollBarPosition(), 48);

    // The wheel over the view asks the program's handler first.
    v->SethtOptions(v->htOptions() & ~htNoWheelMouse);
    std::vector<int> deltas;
    bool handle = true;
    v->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint at, bool& handled) {
        deltas.push_back(delta);
        EXPECT_EQ(at.X, 5);
        handled = handle;
    };
    v->PaintPanel()->MouseWheel(0, -120, 5, 6);
    EXPECT_EQ(v->VScrollBarPosition(), 48);
    handle = false;
    v->PaintPanel()->MouseWheel(0, -120, 5, 6);
    EXPECT_EQ(v->VScrollBarPosition(), 96);
    EXPECT_THAT(deltas, ElementsAre(-120, -120));
}

TEST_F(ViewerTest, LinksInsideThePageScrollAndAreRememberedAsVisited) {
    const std::string a = Write("a.htm", LongPage(200, "<p><a href=\"#fim\">Ir para o fim do texto</a></p>"
                                                       "<p><a href=\"#nada\">Lugar que falta no texto</a></p>"));
    std::vector<std::string> covered;
    v->OnHotSpotCovered = [&](TObject*, const std::string& src) { covered.push_back(src); };
    v->LoadFromFile(a);
    ASSERT_GE(v->SectionList()->LinkList.size(), 2u);
    Paint();

    // Hovering over the first link names it; a click follows it.
    const int x = 30, y1 = 14;
    v->PanelMouseMove(0, x, y1);
    ASSERT_EQ(v->URL(), "#fim");
    EXPECT_EQ(Utf16ToCp1252(v->LinkText()), "Ir para o fim do texto");
    EXPECT_THAT(covered, ElementsAre("#fim"));
    v->PanelMouseDown(TMouseButton::mbLeft, 0, x, y1);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, x, y1);
    EXPECT_GT(v->VScrollBarPosition(), 0);
    EXPECT_EQ(v->Visited()[0], a + "#fim");
    EXPECT_EQ(v->History().Count(), 0);  // no history is kept by default

    // A missing name does nothing.
    v->ScrollTo(0);
    EXPECT_FALSE(v->PositionTo("nada"));
    EXPECT_EQ(v->VScrollBarPosition(), 0);
    EXPECT_TRUE(v->PositionTo("#FIM"));
    EXPECT_GT(v->VScrollBarPosition(), 0);

    // With a history, following a place records the place left.
    v->ScrollTo(0);
    v->SetHistoryMaxCount(5);
    v->LoadFromFile(a);
    Paint();
    v->PanelMouseMove(0, x, y1);
    v->PanelMouseDown(TMouseButton::mbLeft, 0, x, y1);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, x, y1);
    EXPECT_EQ(v->History().Count(), 1);
}

TEST_F(ViewerTest, LinksToOtherFilesLoadPagesAndPicturesOnly) {
    TBitmap picture;
    picture.SetSize(4, 4);
    picture.SaveToFile((dir / "foto.bmp").string());
    std::filesystem::copy_file(dir / "foto.bmp", dir / "foto.jpeg");
    const std::string b = Write("b.htm", "<p>Outra página</p>");
    Write("nota.txt", "texto");
    const std::string a = Write("a.htm", "<p><a href=\"b.htm\">Abrir a outra página</a></p>"
                                         "<p><a href=\"nota.txt\">Abrir a nota de texto</a></p>"
                                         "<p><a href=\"foto.jpeg\">Abrir a foto do caso</a></p>");
    v->LoadFromFile(a);
    Paint();
    auto click = [&](int y) {
        v->PanelMouseMove(0, 30, y);
        v->PanelMouseDown(TMouseButton::mbLeft, 0, 30, y);
        v->PanelMouseUp(TMouseButton::mbLeft, 0, 30, y);
        Application->ProcessMessages();
    };
    bool handled = false;
    std::string clicked;
    v->OnHotSpotClick = [&](TObject*, const std::string& src, bool& h) {
        clicked = src;
        h = handled;
    };
    // The link lines lie one paragraph apart; find them by their URLs.
    int yTxt = -1, yFoto = -1, yB = -1;
    for (int y = 2; y < 200; y += 2) {
        v->PanelMouseMove(0, 30, y);
        if (v->URL() == "nota.txt" && yTxt < 0) yTxt = y;
        if (v->URL() == "foto.jpeg" && yFoto < 0) yFoto = y;
        if (v->URL() == "b.htm" && yB < 0) yB = y;
    }
    ASSERT_GE(yTxt, 0);
    ASSERT_GE(yFoto, 0);
    ASSERT_GE(yB, 0);
    click(yTxt);
    EXPECT_EQ(clicked, "nota.txt");
    EXPECT_EQ(v->CurrentFile(), a);  // a text file is not followed
    handled = true;
    click(yB);
    EXPECT_EQ(v->CurrentFile(), a);  // the program took the click
    handled = false;
    click(yFoto);
    EXPECT_EQ(v->CurrentFile(), (dir / "foto.jpeg").string());
    EXPECT_EQ(v->CurrentFileType(), 2);
    v->LoadFromFile(a);
    Paint();
    click(yB);
    EXPECT_EQ(v->CurrentFile(), b);
    EXPECT_EQ(v->Visited()[0], b);
}

TEST_F(ViewerTest, TheMouseSelectsTextAndADoubleClickAWord) {
    v->LoadFromFile(Write("a.htm", "<p>Revisão de benefício</p><p>Diferença devida</p>"));
    // A press and a drag along the first line.
    v->PanelMouseDown(TMouseButton::mbLeft, 0, 2, 14);
    v->PanelMouseMove(ssLeft, 400, 14);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, 400, 14);
    EXPECT_EQ(v->SelText(), "Revisão de benefício\r\n");  // to the paragraph's end
    // Shift extends from the caret.
    v->PanelMouseDown(TMouseButton::mbLeft, ssShift, 400, 40);
    EXPECT_THAT(v->SelText(), HasSubstr("Diferença devida"));

    // A double click takes the word under the pointer.
    v->PanelMouseDown(TMouseButton::mbLeft, 0, 14, 14);
    v->PanelMouseUp(TMouseButton::mbLeft, 0, 14, 14);
    v->PanelDoubleClick();
    EXPECT_EQ(v->SelText(), "Revisão");

    // NoSelect clears and refuses the selection.
    v->SetNoSelect(true);
    EXPECT_EQ(v->SelText(), "");
    v->SelectAll();
    EXPECT_EQ(v->SelText(), "");
    v->SetNoSelect(false);
    v->SelectAll();
    EXPECT_THAT(v->SelText(), HasSubstr("Revisão de benefício"));
    EXPECT_THAT(v->SelText(), HasSubstr("Diferença devida"));

    // Source positions translate both ways.
    const int p = v->FindSourcePos(0);
    EXPECT_EQ(p, 3);
    EXPECT_EQ(v->FindDisplayPos(p, false), 0);
    EXPECT_EQ(Utf16ToCp1252(v->GetTextByIndices(3, 10)), "Revisão");
    EXPECT_EQ(v->GetTextByIndices(10, 3), u"");
}

TEST_F(ViewerTest, CopyPutsTheSelectionOnTheClipboardOnlyWhenThereIsOne) {
    const std::string a = Write("a.htm", "<html><head><title>T</title></head><body><p>Primeira</p><p>Segunda</p></body></html>");
    v->LoadFromFile(a);
    Clipboard().SetAsText("antes");
    v->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "antes");
    v->SelectAll();
    v->CopyToClipboard();
    EXPECT_THAT(Clipboard().AsText(), HasSubstr("Primeira"));
    const std::string block = Clipboard().GetAsHandle(RegisterClipboardFormat("HTML Format"));
    EXPECT_THAT(block, HasSubstr("SourceURL:file://" + a));
    EXPECT_THAT(block, HasSubstr("<!--StartFragment-->Primeira</p><p>Segunda<!--EndFragment-->"));
}

TEST_F(ViewerTest, AMetaRefreshIsReportedAfterTheLoad) {
    int delay = 0;
    std::string url;
    v->OnMetaRefresh = [&](TObject*, int d, const std::string& u) {
        delay = d;
        url = u;
    };
    v->LoadFromFile(Write("a.htm", "<html><head><meta http-equiv=\"Refresh\" content=\"0; URL=b.htm\"></head></html>"));
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(url, "b.htm");
    // A delay that is no number is not reported.
    delay = 0;
    v->LoadFromFile(Write("c.htm", "<html><head><meta http-equiv=\"refresh\" content=\"x\"></head></html>"));
    EXPECT_EQ(delay, 0);
}

// The reading reports its share (up to 75) every 4096 bytes, the layout the
// rest; a file that is not there still ends what it began.
TEST_F(ViewerTest, ProgressRunsThroughTheReadingAndTheLayout) {
    std::vector<std::pair<int, int>> seen;
    v->OnProgress = [&](TObject*, TProgressStage stage, int percent) { seen.emplace_back(stage, percent); };
    const std::string page = LongPage(400);
    v->LoadFromFile(Write("a.htm", page));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), std::make_pair(int(psStarting), 0));
    EXPECT_EQ(seen.back(), std::make_pair(int(psEnding), 100));
    std::vector<int> reading;
    for (const auto& [stage, percent] : seen)
        if (stage == psRunning && percent < 75) reading.push_back(percent);
    ASSERT_EQ(reading.size(), page.size() / 4096);
    for (size_t i = 0; i < reading.size(); ++i)
        EXPECT_EQ(reading[i], static_cast<int>((i + 1) * 4096 * 75 / page.size()));
    seen.clear();
    EXPECT_THROW(v->LoadFromFile((dir / "nada.htm").string()), EInOutError);
    EXPECT_THAT(seen, ElementsAre(std::make_pair(int(psEnding), 100)));
}

}  // namespace

namespace {

// Dragging a selection below the panel scrolls on its own, selecting as it
// goes, to the document's end, and waits there until the button is released;
// the wheel mode scrolls the same way until a press ends it.
TEST_F(ViewerTest, DraggingBeyondThePanelScrollsToTheEndUntilReleased) {
    v->SetBounds(0, 0, 600, 200);
    v->LoadFromFile(Write("a.htm", LongPage(20)));
    Paint();
    const int panelH = v->PaintPanel()->Height();
    ASSERT_GT(v->DocHeight(), panelH);
    // The user's next move comes a while later, from a timer.
    int endedAt = -1;
    std::function<void()> next;
    TTimer later(nullptr);
    later.SetEnabled(false);
    later.SetInterval(1000);
    later.OnTimer = [&](TObject*) {
        if (!next) return;  // a tick already queued
        later.SetEnabled(false);
        endedAt = v->VScrollBarPosition();
        std::exchange(next, nullptr)();
    };
    v->PanelMouseDown(TMouseButton::mbLeft, 0, 2, 10);
    v->PanelMouseMove(ssLeft, 200, panelH + 40);
    next = [&] { v->PanelMouseUp(TMouseButton::mbLeft, 0, 200, panelH + 40); };
    later.SetEnabled(true);
    Application->ProcessMessages();  // the posted scroll runs until the release
    EXPECT_EQ(endedAt, v->DocHeight() - panelH);
    EXPECT_EQ(v->VScrollBarPosition(), v->DocHeight() - panelH);
    EXPECT_GT(v->SelLength(), 100);

    // The wheel button: a press starts the mode, the pointer far above scrolls up.
    v->ScrollTo(96);
    v->PanelMouseDown(TMouseButton::mbMiddle, 0, 100, 150);
    v->PanelMouseUp(TMouseButton::mbMiddle, 0, 100, 150);  // a click keeps the mode
    v->PanelMouseMove(0, 100, 50);
    endedAt = -1;
    next = [&] { v->PanelMouseDown(TMouseButton::mbLeft, 0, 100, 150); };  // any press ends the mode
    later.SetEnabled(true);
    Application->ProcessMessages();
    EXPECT_EQ(endedAt, 0);
    v->PanelMouseMove(0, 100, 10);
    Application->ProcessMessages();
    EXPECT_EQ(v->VScrollBarPosition(), 0);
}

}  // namespace

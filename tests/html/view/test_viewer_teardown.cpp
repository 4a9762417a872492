// Taking a window with a report apart: a viewer that is being destroyed, on
// its own or with its form and menu, lays its document out no more.
#include <gtest/gtest.h>

#include <string>

#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "view_env.h"

namespace {

using velorim_test::ViewerTest;

// A long report: laying it out is what a destroyed window must not pay for.
std::string Report() {
    std::string html = "<html><body><table border=1>";
    for (int r = 0; r < 200; ++r)
        html += "<tr><td>" + std::to_string(r) + "/2024</td><td>1.116,67</td><td>texto do mês</td></tr>";
    return html + "</table></body></html>";
}

class Teardown : public ViewerTest {
protected:
    // The fixture's viewer fills the form below a toolbar made after it,
    // showing a long report; its layouts are counted from here on.
    TPanel* ReportBelowToolbar() {
        v->SetAlign(TAlign::alClient);
        auto* toolbar = new TPanel(form);
        toolbar->SetParent(form);
        toolbar->SetHeight(60);
        toolbar->SetAlign(TAlign::alTop);
        v->LoadFromFile(Write("atual.html", Report()));
        CountLayouts(v);
        return toolbar;
    }
    int layouts = 0;
    void CountLayouts(THTMLViewer* viewer) {
        viewer->OnProgress = [this](TObject*, TProgressStage stage, int) {
            if (stage == psStarting) ++layouts;
        };
    }
};

TEST_F(Teardown, AFormWithAMenuAndAReportIsFreedWithoutLayingItOutAgain) {
    // The main window's shape: a client-aligned report, then the menu bar
    // (the newest components go first when the form is freed).
    auto* main = new TForm(Application);
    main->SetBounds(0, 0, 640, 480);
    auto* viewer = new THTMLViewer(main);
    viewer->SetParent(main);
    viewer->SetAlign(TAlign::alClient);
    auto* menu = new TMainMenu(main);
    for (const char* caption : {"&Editar", "&Sobre"}) {
        auto* top = new TMenuItem(main);
        top->SetCaption(caption);
        auto* item = new TMenuItem(main);
        item->SetCaption("Copiar");
        top->Add(item);
        menu->Items()->Add(top);
    }
    main->SetMenu(menu);
    viewer->LoadFromFile(Write("atual.html", Report()));
    CountLayouts(viewer);

    main->SetBounds(0, 0, 600, 480);
    EXPECT_EQ(layouts, 1) << "a live viewer lays out again at its new width";
    layouts = 0;
    main->Free();
    EXPECT_EQ(layouts, 0);
    Application->ProcessMessages();
}

TEST_F(Teardown, AToolbarFreedBeforeTheReportDoesNotGrowItIntoANewLayout) {
    ReportBelowToolbar();
    form->Free();
    form = nullptr;
    EXPECT_EQ(layouts, 0);
}

TEST_F(Teardown, AToolbarFreedWhileTheFormLivesGivesTheReportItsRoom) {
    ReportBelowToolbar()->Free();
    EXPECT_EQ(layouts, 1);
    EXPECT_EQ(v->Top(), 0);
    EXPECT_EQ(v->Height(), form->ClientHeight());
}

}  // namespace

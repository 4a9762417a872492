// velorim-htmlshot: shows an HTML file in the report viewer at a given width
// and saves what the viewer paints as a PNG picture, to compare a page with
// what a browser makes of it.
//   velorim-htmlshot FILE WIDTH OUT.png
#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "html/view/html_viewer.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/runtime/errors.h"

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::cerr << "usage: velorim-htmlshot FILE WIDTH OUT.png\n";
        return 2;
    }
    const int width = std::atoi(argv[2]);
    if (width < 20 || width > 10000) {
        std::cerr << "velorim-htmlshot: the width must be 20 to 10000 pixels\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application->Initialize(argc, argv);
    int rc = 0;
    {
        TForm form(nullptr);
        auto* viewer = new THTMLViewer(&form);
        viewer->SetParent(&form);
        viewer->SetDefBackground(clWhite);
        form.SetClientWidth(width);
        form.SetClientHeight(200);
        viewer->SetBounds(0, 0, width, 200);
        try {
            viewer->LoadFromFile(argv[1]);
            // As tall as the page, so that no vertical scroll bar takes from
            // the width (as in a browser window of that width).
            for (int i = 0; i < 3; ++i) {
                const int h = std::clamp(viewer->DocHeight() + 4, 50, 30000);
                form.SetClientWidth(width);
                form.SetClientHeight(h);
                viewer->SetBounds(0, 0, width, h);
                Application->ProcessMessages();
            }
            if (!form.SaveToPng(argv[3])) {
                std::cerr << "velorim-htmlshot: cannot write " << argv[3] << "\n";
                rc = 1;
            }
        } catch (const Exception& e) {
            std::cerr << "velorim-htmlshot: " << e.Message << "\n";
            rc = 1;
        }
    }
    return rc;
}

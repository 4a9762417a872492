// Whole HTML documents: any bytes are parsed into a document (blocks, tables,
// paragraphs, lists, forms) and laid out at a width taken from the input,
// never a crash and never a hang.
#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <string>

#include "html/images/viewer_globals.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 20) return 0;
    // Form controls are widgets: a full application, not just the GUI one.
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    static TFixedFontService fonts;
    static TViewerGlobalsUse globals;
    SetFontService(&fonts);
    // The first byte picks the width, so narrow and wide layouts both run.
    const int width = 20 + data[0] * 4;
    std::string doc(reinterpret_cast<const char*>(data + 1), size - 1);
    TSectionList list(nullptr, nullptr);
    list.SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                  clBlack, 12);
    if (data[0] & 1)
        Readhtml::HtmlParseString(doc, &list);
    else
        Readhtml::HtmlParseTextString(doc, &list);
    TCanvas canvas;
    int maxWidth = 0, curs = 0;
    list.Layout(canvas, 0, width, 600, 0, maxWidth, curs);
    TRect clip{0, 0, width, 2000};
    list.Draw(canvas, clip, width, 0, 0, 0, 0);
    return 0;
}

// The font database that the widgets bring up keeps its caches for the
// process's life.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\nleak:libQt6Gui\n"; }

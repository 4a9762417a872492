#include "html/view/script_view.h"

#include <cctype>

#include "html/view/html_viewer.h"
#include "html/view/metafile_printer.h"
#include "platform/runtime/files.h"

bool ScriptViewerValue(TComponent* component, const std::string& property, std::string& value) {
    auto* v = dynamic_cast<THTMLViewer*>(component);
    if (!v) return false;
    std::string p = property;
    for (char& c : p) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (p == "SELTEXT") {
        value.clear();
        // One printed line per line of the selection.
        for (char c : v->SelText())
            if (c != '\r') value += c;
        return true;
    }
    if (p == "SELFIRSTLINE") {
        const std::string text = v->SelText();
        size_t b = 0;
        while (b < text.size() && (text[b] == '\r' || text[b] == '\n')) ++b;
        value = text.substr(b, text.find_first_of("\r\n", b) - b);
        return true;
    }
    if (p == "TITLE") {
        value = v->DocumentTitle();
        return true;
    }
    if (p == "FILE") {
        value = ExtractFileName(v->CurrentFile());
        return true;
    }
    if (p == "DOCHEIGHT") {
        value = std::to_string(v->DocHeight());
        return true;
    }
    if (p == "PAGES") {
        TMetaFilePrinter mf(nullptr);
        v->PrintPreview(&mf);
        value = std::to_string(mf.LastAvailablePage());
        return true;
    }
    return false;
}

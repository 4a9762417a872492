#include "html/view/html_viewer.h"

#include <QFileInfo>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <algorithm>
#include <cstdio>

#include "platform/gui/clipboard.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/files.h"

namespace {

QString FromCp1252(const std::string& text) {
    const std::u16string u = Cp1252ToUtf16(text);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::u16string ToUtf16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

// The clipboard's "HTML Format" block: a header of byte offsets (each a
// ten-digit number, so the header's length is fixed) before UTF-8 HTML.
std::string HtmlFormatBlock(const std::string& fragmentUtf8) {
    const std::string head = "<html><body>\r\n<!--StartFragment-->";
    const std::string tail = "<!--EndFragment-->\r\n</body></html>";
    const char* layout = "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\n"
                         "StartFragment:%010zu\r\nEndFragment:%010zu\r\n";
    char probe[160];
    const size_t headerSize = static_cast<size_t>(std::snprintf(probe, sizeof probe, layout, size_t(0), size_t(0),
                                                                size_t(0), size_t(0)));
    const size_t startHtml = headerSize;
    const size_t startFragment = startHtml + head.size();
    const size_t endFragment = startFragment + fragmentUtf8.size();
    const size_t endHtml = endFragment + tail.size();
    char header[160];
    std::snprintf(header, sizeof header, layout, startHtml, endHtml, startFragment, endFragment);
    return std::string(header) + head + fragmentUtf8 + tail;
}

}  // namespace

struct THTMLViewer::Impl {
    QTextBrowser* browser = nullptr;
};

THTMLViewer::THTMLViewer(TComponent* AOwner) : TWinControl(AOwner), d_(std::make_unique<Impl>()) {
    auto* browser = new QTextBrowser();
    browser->setReadOnly(true);
    browser->setOpenLinks(false);
    browser->setOpenExternalLinks(false);
    browser->setUndoRedoEnabled(false);
    d_->browser = browser;
    SetWidget(browser);
    WatchWidget(browser->viewport());
    SetTabStop(true);
    parentColor_ = false;
    SetDefFontName(defFontName_);
    SetBounds(0, 0, 150, 150);
}

THTMLViewer::~THTMLViewer() = default;

void THTMLViewer::LoadFromFile(const std::string& fileName) {
    if (fileName.empty()) return;
    if (!FileExists(fileName)) throw EInOutError("Can't locate file: " + fileName);
    std::string source = ReadFileBytes(fileName);
    if (QTextBrowser* b = Widget() ? d_->browser : nullptr) {
        // Pictures and style sheets named relative to the report sit beside it.
        b->setSearchPaths({QFileInfo(FromCp1252(fileName)).absolutePath()});
        b->setHtml(FromCp1252(source));
        b->moveCursor(QTextCursor::Start);
    }
    documentSource_ = std::move(source);
    currentFile_ = fileName;
}

void THTMLViewer::Clear() {
    if (Widget()) d_->browser->clear();
    documentSource_.clear();
    currentFile_.clear();
}

void THTMLViewer::SelectAll() {
    if (Widget() && !d_->browser->document()->isEmpty()) d_->browser->selectAll();
}

std::string THTMLViewer::SelText() const {
    if (!Widget()) return std::string();
    QString text = d_->browser->textCursor().selectedText();
    // Qt marks paragraph ends with U+2029 in a selection.
    text.replace(QChar(0x2029), QStringLiteral("\r\n"));
    text.replace(QChar(0x2028), QStringLiteral("\r\n"));
    return Utf16ToCp1252(ToUtf16(text));
}

void THTMLViewer::CopyToClipboard() {
    if (!Widget()) return;
    const QTextCursor cursor = d_->browser->textCursor();
    if (!cursor.hasSelection()) return;
    QString text = cursor.selectedText();
    text.replace(QChar(0x2029), QStringLiteral("\r\n"));
    text.replace(QChar(0x2028), QStringLiteral("\r\n"));
    const QByteArray html = cursor.selection().toHtml().toUtf8();
    TClipboard& clipboard = Clipboard();
    clipboard.Open();
    clipboard.Clear();
    clipboard.SetAsUnicodeText(ToUtf16(text));
    clipboard.SetAsHandle(RegisterClipboardFormat("HTML Format"),
                          HtmlFormatBlock(std::string(html.constData(), static_cast<size_t>(html.size()))));
    clipboard.Close();
}

void THTMLViewer::SetDefBackground(TColor color) {
    defBackground_ = color;
    SetColor(color);
}

void THTMLViewer::ColorChanged() {
    TWinControl::ColorChanged();
    if (!Widget()) return;
    QPalette palette = d_->browser->palette();
    const TColor rgb = ColorToRGB(color_);
    palette.setColor(QPalette::Base, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    d_->browser->setPalette(palette);
}

void THTMLViewer::SetDefFontName(const std::string& name) {
    defFontName_ = name;
    if (!Widget()) return;
    QFont font(FromCp1252(name));
    font.setPointSize(12);
    d_->browser->document()->setDefaultFont(font);
}

void THTMLViewer::SetPrintScale(double scale) { printScale_ = std::clamp(scale, 0.25, 4.0); }

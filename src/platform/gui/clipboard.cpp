#include "platform/gui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/runtime/codepage.h"

namespace {

std::vector<std::string>& Registered() {
    static std::vector<std::string> names;
    return names;
}

constexpr unsigned kFirstRegistered = 0xC000;

// Registered formats travel under the MIME name Qt uses for Windows formats, so
// that a Qt program on Windows would see the same format.
QString MimeFor(const std::string& name) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"") + QString::fromLatin1(name.c_str()) +
           QStringLiteral("\"");
}

QString ToQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

std::u16string FromQString(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

// The HTML part of an "HTML Format" block (from StartHTML on), for programs that
// read text/html.
QByteArray HtmlPart(const std::string& block) {
    size_t at = block.find("StartHTML:");
    if (at != std::string::npos) {
        long start = std::strtol(block.c_str() + at + 10, nullptr, 10);
        if (start > 0 && static_cast<size_t>(start) <= block.size()) {
            std::string html = block.substr(static_cast<size_t>(start));
            while (!html.empty() && html.back() == '\0') html.pop_back();
            return QByteArray(html.data(), static_cast<qsizetype>(html.size()));
        }
    }
    return QByteArray(block.data(), static_cast<qsizetype>(block.size()));
}

}  // namespace

unsigned RegisterClipboardFormat(const std::string& name) {
    if (name.empty()) return 0;
    auto& names = Registered();
    for (size_t i = 0; i < names.size(); ++i)
        if (QString::fromLatin1(names[i].c_str()).compare(QString::fromLatin1(name.c_str()), Qt::CaseInsensitive) == 0)
            return kFirstRegistered + static_cast<unsigned>(i);
    names.push_back(name);
    return kFirstRegistered + static_cast<unsigned>(names.size() - 1);
}

std::string GetClipboardFormatName(unsigned format) {
    auto& names = Registered();
    if (format < kFirstRegistered || format - kFirstRegistered >= names.size()) return std::string();
    return names[format - kFirstRegistered];
}

struct TClipboard::Impl {
    int openCount = 0;
    bool cleared = false;
    bool dirty = false;
    std::map<QString, QByteArray> pending;
    std::u16string pendingText;
    bool hasPendingText = false;
};

TClipboard::TClipboard() : d_(std::make_unique<Impl>()) {}
TClipboard::~TClipboard() = default;

void TClipboard::Open() {
    if (d_->openCount++ > 0) return;
    d_->cleared = false;
    d_->dirty = false;
    d_->pending.clear();
    d_->hasPendingText = false;
}

void TClipboard::Clear() {
    if (d_->openCount == 0) {
        if (QGuiApplication::clipboard()) QGuiApplication::clipboard()->clear();
        return;
    }
    d_->cleared = true;
    d_->dirty = true;
    d_->pending.clear();
    d_->hasPendingText = false;
}

void TClipboard::Close() {
    if (d_->openCount == 0) return;
    if (--d_->openCount > 0) return;
    if (!d_->dirty) return;
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return;
    auto* mime = new QMimeData;
    // Formats already on the clipboard stay beside the new ones.
    if (!d_->cleared) {
        if (const QMimeData* old = cb->mimeData()) {
            for (const QString& f : old->formats()) mime->setData(f, old->data(f));
        }
    }
    if (d_->hasPendingText) mime->setText(ToQString(d_->pendingText));
    for (const auto& [format, bytes] : d_->pending) mime->setData(format, bytes);
    cb->setMimeData(mime);
    d_->pending.clear();
    d_->hasPendingText = false;
    d_->dirty = false;
}

bool TClipboard::HasFormat(unsigned format) const {
    const QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* m = cb ? cb->mimeData() : nullptr;
    if (!m) return false;
    if (format == CF_TEXT || format == CF_UNICODETEXT) return m->hasText();
    std::string name = GetClipboardFormatName(format);
    return !name.empty() && m->hasFormat(MimeFor(name));
}

std::u16string TClipboard::AsUnicodeText() const {
    const QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* m = cb ? cb->mimeData() : nullptr;
    if (!m || !m->hasText()) return std::u16string();
    return FromQString(m->text());
}

std::string TClipboard::AsText() const { return Utf16ToCp1252(AsUnicodeText()); }

void TClipboard::SetAsUnicodeText(const std::u16string& text) {
    Open();
    d_->pendingText = text;
    d_->hasPendingText = true;
    d_->dirty = true;
    Close();
}

void TClipboard::SetAsText(const std::string& text) { SetAsUnicodeText(Cp1252ToUtf16(text)); }

std::string TClipboard::GetAsHandle(unsigned format) const {
    if (format == CF_TEXT) return AsText();
    if (format == CF_UNICODETEXT) {
        std::u16string w = AsUnicodeText();
        std::string bytes;
        for (char16_t c : w) {
            bytes.push_back(char(c & 0xFF));
            bytes.push_back(char(c >> 8));
        }
        return bytes;
    }
    const QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* m = cb ? cb->mimeData() : nullptr;
    std::string name = GetClipboardFormatName(format);
    if (!m || name.empty()) return std::string();
    QByteArray data = m->data(MimeFor(name));
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

void TClipboard::SetAsHandle(unsigned format, const std::string& bytes) {
    if (format == CF_TEXT) {
        SetAsText(bytes);
        return;
    }
    if (format == CF_UNICODETEXT) {
        std::u16string w;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            w.push_back(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
        while (!w.empty() && w.back() == 0) w.pop_back();
        SetAsUnicodeText(w);
        return;
    }
    std::string name = GetClipboardFormatName(format);
    if (name.empty()) return;
    Open();
    d_->pending[MimeFor(name)] = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (name == "HTML Format") d_->pending[QStringLiteral("text/html")] = HtmlPart(bytes);
    d_->dirty = true;
    Close();
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

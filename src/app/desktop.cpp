#include "app/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

namespace {

TDesktopOpener& Opener() {
    static TDesktopOpener opener;
    return opener;
}

QString Q(const std::string& cp1252) {
    const std::u16string u = Cp1252ToUtf16(cp1252);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

// Without a screen (tests, the scenario driver) nothing is started: there is
// no one to look at a browser window.
bool Headless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

QUrl UrlOf(const std::string& target) {
    const QString t = Q(target);
    const QUrl url(t, QUrl::StrictMode);
    // "C:" or a bare path is a file; "http://x" or "file:///x" is an address.
    if (url.isValid() && url.scheme().size() > 1) return url;
    return QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
}

}  // namespace

void SetDesktopOpener(TDesktopOpener opener) { Opener() = std::move(opener); }

bool DesktopOpen(const std::string& target) {
    if (Opener()) return Opener()(target, std::string());
    if (target.empty()) return false;
    if (Headless()) return true;
    return QDesktopServices::openUrl(UrlOf(target));
}

bool DesktopRun(const std::string& program, const std::string& parameters) {
    if (Opener()) return Opener()(program, parameters);
    if (program.empty()) return false;
    const QString path = Q(program);
    const QFileInfo info(path);
    const bool runnable = info.isFile() ? info.isExecutable() : !QStandardPaths::findExecutable(path).isEmpty();
    if (!runnable) return DesktopOpen(program);
    if (Headless()) return true;
    return QProcess::startDetached(path, QProcess::splitCommand(Q(parameters)));
}

std::string DesktopDirectory() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    dir = QDir::cleanPath(dir);
    std::string path;
    if (!TryUtf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(dir.utf16()), static_cast<size_t>(dir.size())),
                          path))
        RaiseUnusablePath("a pasta", path);
    return path;
}

#include "app/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "platform/gui/application.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

extern char** environ;

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

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  TFailedLater failed) {
    // Not a QProcess: it would end the program it started when it goes, and a
    // browser opened for the user stays open when Velorim closes.
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int err = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) return false;
    // Its end is waited for apart, so the window never waits: a browser run
    // by the opener may hold it for as long as the browser is open.
    std::thread([pid, failed = std::move(failed)] {
        int status = 0;
        pid_t ended;
        do {
            ended = ::waitpid(pid, &status, 0);
        } while (ended < 0 && errno == EINTR);
        if (ended != pid || (WIFEXITED(status) && WEXITSTATUS(status) == 0) || !failed) return;
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [failed] { Application->Dispatch(nullptr, failed); }, Qt::QueuedConnection);
    }).detach();
    return true;
}

bool DesktopOpen(const std::string& target, TFailedLater failed) {
    if (Opener()) return Opener()(target, std::string(), std::move(failed));
    if (target.empty()) return false;
    if (Headless()) return true;
    const QUrl url = UrlOf(target);
    // The opener's end tells whether the page opened; without it (no
    // xdg-utils) Qt's own way tells only whether something started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QDesktopServices::openUrl(url);
    return StartProgram(opener.toStdString(), {url.toEncoded().toStdString()}, std::move(failed));
}

bool DesktopRun(const std::string& program, const std::string& parameters, TFailedLater failed) {
    if (Opener()) return Opener()(program, parameters, std::move(failed));
    if (program.empty()) return false;
    const QString path = Q(program);
    const QFileInfo info(path);
    const bool runnable = info.isFile() ? info.isExecutable() : !QStandardPaths::findExecutable(path).isEmpty();
    if (!runnable) return DesktopOpen(program, std::move(failed));
    if (Headless()) return true;
    std::vector<std::string> arguments;
    for (const QString& word : QProcess::splitCommand(Q(parameters))) arguments.push_back(word.toStdString());
    return StartProgram(path.toStdString(), arguments, std::move(failed));
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

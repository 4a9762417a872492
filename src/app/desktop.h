#pragma once
// The desktop's own programs: the web browser and the opener of documents.
// The only place outside the GUI layer where the program talks to the desktop.
#include <functional>
#include <string>
#include <vector>

// What runs, on the GUI thread, when a program started for the user ends
// saying it failed.
using TFailedLater = std::function<void()>;

// Opens a target with the desktop's default program: a path of a local file
// (a page opens in the web browser) or an address with a scheme. Returns
// false when nothing could be started. The desktop's opener may start and
// then fail to start the browser (browsers refuse to run as root): `failed`
// then runs once the opener has ended.
bool DesktopOpen(const std::string& target, TFailedLater failed = nullptr);

// Starts a program with its parameters (split as a shell would); a target
// that is no executable program is opened as DesktopOpen does.
bool DesktopRun(const std::string& program, const std::string& parameters,
                TFailedLater failed = nullptr);

// Starts a program (a path, or a name looked up as the shell does) without
// waiting for it; it runs on after this program ends. False when it cannot
// be started; `failed` runs when it ends with a status other than 0 or is
// killed.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  TFailedLater failed);

// The user's desktop folder (the home folder when the desktop names none).
std::string DesktopDirectory();

// Replaces what DesktopOpen and DesktopRun do (tests record the requests,
// and may report a failure later through the third argument); an empty
// function restores the desktop. The second argument is the parameters (""
// for DesktopOpen).
using TDesktopOpener =
    std::function<bool(const std::string& target, const std::string& parameters, TFailedLater failed)>;
void SetDesktopOpener(TDesktopOpener opener);

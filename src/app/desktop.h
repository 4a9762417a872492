#pragma once
// The desktop's own programs: the web browser and the opener of documents.
// The only place outside the GUI layer where the program talks to the desktop.
#include <functional>
#include <string>

// Opens a target with the desktop's default program: a path of a local file
// (a page opens in the web browser) or an address with a scheme. Returns
// false when nothing could be started.
bool DesktopOpen(const std::string& target);

// Starts a program with its parameters (split as a shell would); a target
// that is no executable program is opened as DesktopOpen does.
bool DesktopRun(const std::string& program, const std::string& parameters);

// The user's desktop folder (the home folder when the desktop names none).
std::string DesktopDirectory();

// Replaces what DesktopOpen and DesktopRun do (tests record the requests);
// an empty function restores the desktop. The second argument is the
// parameters ("" for DesktopOpen).
using TDesktopOpener = std::function<bool(const std::string& target, const std::string& parameters)>;
void SetDesktopOpener(TDesktopOpener opener);

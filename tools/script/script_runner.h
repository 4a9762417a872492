#pragma once
// The scenario driver: runs a plain-text script of steps against the
// program's real forms, headless, and prints what the steps ask for.
//
// One step a line (blank lines and lines starting with "#" are ignored):
//   start [DATADIR]             the program's start-up in a fresh copy of DATADIR
//                               (relative to the script) or of the repository's data/
//   startwith NAME [DATADIR]    the same with a named start-up ("selftest": the
//                               driver's own test form)
//   set Form.Component text...  focus the control and type the text into it
//   check Form.Component on|off
//   click Form.Component        button, speed button, menu item, box, radio
//   exit Form.Component         the focus leaves the control (OnExit)
//   key Form.Component keys...  Enter Tab Esc Backspace Delete Left Right Up Down
//                               Home End PgUp PgDn Insert Space F1..F12, with
//                               Shift+/Ctrl+/Alt+, or characters
//   cell Form.Grid col row text...   rows Form.Grid n   select Form.Grid col row
//   page Form.PageControl n
//   answer OK|Yes|No|Cancel|Abort|Retry|Ignore|<file path>
//   print Form.Component [Enabled|Visible|Focused|Checked|ItemIndex|Count|ModalResult]
//                               or a registered property (Date, Value, Display, Down)
//   setprop Form.Component Prop value   sets a registered property (Date, Value)
//   dump Form.Grid              "== Form.Grid <RowCount>", then rows joined by TAB
//   messages                    "MSG: <text>" for each message box since the last call
//   file NAME                   a data-directory file as UTF-8
//   shot FILE.png [Form]        renders a form into a PNG
//   show Form                   shows a form that no command of the program opens
//   inmodal STEP...             runs STEP inside the next modal form's loop,
//                               while that form is shown (in order, one a line)
// A failing step prints "ERROR: <what>" and the script goes on. Posted
// messages and due timers run after every step.
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class TDialogRecorder;
class TComponent;
class TForm;

using TScriptStartup = std::function<void()>;
// Registers a start-up: it creates the forms as the program's main block does
// (without running the message loop). "" is the program's own; src/app
// registers it.
void RegisterScriptStartup(const std::string& name, TScriptStartup startup);

// Properties that controls of the layers above the gui layer add (a date
// edit's Date, a number edit's Value...): `print Form.Component Prop` asks the
// getters in registration order when the driver itself does not know the
// property, and `setprop Form.Component Prop value` asks the setters. Each
// returns true when it handled the component and property.
using TScriptPropertyGetter = std::function<bool(TComponent*, const std::string&, std::string&)>;
using TScriptPropertySetter = std::function<bool(TComponent*, const std::string&, const std::string&)>;
void RegisterScriptProperties(TScriptPropertyGetter getter, TScriptPropertySetter setter);
bool HasScriptStartup(const std::string& name);

class TScriptRunner {
public:
    // scriptDir resolves DATADIR; sourceDir holds the repository's data/.
    TScriptRunner(std::ostream& out, std::string scriptDir, std::string sourceDir);
    ~TScriptRunner();
    TScriptRunner(const TScriptRunner&) = delete;
    TScriptRunner& operator=(const TScriptRunner&) = delete;

    // Runs a script file (UTF-8); false when it cannot be read.
    bool RunFile(const std::string& path);
    // Runs the lines of a script text (UTF-8).
    void RunText(const std::string& text);
    void RunLine(const std::string& line);

    TDialogRecorder& Dialogs();
    // The working copy of the data directory of the last start ("" before).
    const std::string& DataDir() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

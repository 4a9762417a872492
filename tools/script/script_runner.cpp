#include "script_runner.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/dialog_recorder.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/script_grid.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"
#include "platform/runtime/strutil.h"
#include "selftest_form.h"

namespace fs = std::filesystem;

namespace {

std::map<std::string, TScriptStartup>& Startups() {
    static std::map<std::string, TScriptStartup> startups;
    return startups;
}

// A step that cannot run: printed as "ERROR: <what>".
struct StepError {
    std::string what;  // Windows-1252
};

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> t;
    std::istringstream in(line);
    std::string w;
    while (in >> w) t.push_back(w);
    return t;
}

// The text after the first n tokens (and the one blank that ends the last).
std::string Rest(const std::string& line, int n) {
    size_t i = 0;
    for (int k = 0; k < n; ++k) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    if (i < line.size()) ++i;
    return i < line.size() ? line.substr(i) : std::string();
}

bool ParseInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    long x = std::strtol(s.c_str(), &end, 10);
    if (*end) return false;
    v = static_cast<int>(x);
    return true;
}

TComponent* FindOwned(TComponent* owner, const std::string& name) {
    if (TComponent* c = owner->FindComponent(name)) return c;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (TComponent* c = FindOwned(owner->Components(i), name)) return c;
    return nullptr;
}

// Visible and enabled as far as a user can tell on the form (pages aside).
void CheckReachable(TControl* c, const std::string& name) {
    for (TControl* p = c; p && !dynamic_cast<TForm*>(p); p = p->Parent()) {
        if (!p->Visible()) throw StepError{name + " is not visible"};
        if (!p->Enabled()) throw StepError{name + " is disabled"};
    }
}

struct KeyStroke {
    WORD vk = 0;
    TShiftState shift = 0;
    char ch = 0;
};

const std::map<std::string, WORD>& KeyNames() {
    static const std::map<std::string, WORD> names = {
        {"ENTER", VK_RETURN}, {"RETURN", VK_RETURN}, {"TAB", VK_TAB},       {"ESC", VK_ESCAPE},
        {"ESCAPE", VK_ESCAPE}, {"BACKSPACE", VK_BACK}, {"BKSP", VK_BACK},   {"DELETE", VK_DELETE},
        {"DEL", VK_DELETE},   {"LEFT", VK_LEFT},      {"RIGHT", VK_RIGHT},  {"UP", VK_UP},
        {"DOWN", VK_DOWN},    {"HOME", VK_HOME},      {"END", VK_END},      {"PGUP", VK_PRIOR},
        {"PGDN", VK_NEXT},    {"INSERT", VK_INSERT},  {"INS", VK_INSERT},   {"SPACE", VK_SPACE}};
    return names;
}

WORD VkOfChar(char c) {
    if (c >= 'a' && c <= 'z') return WORD(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return WORD(c);
    switch (c) {
        case ' ': return VK_SPACE;
        case ',': return 0xBC;
        case '.': return 0xBE;
        case '-': return 0xBD;
        case '=':
        case '+': return 0xBB;
        case '/': return 0xBF;
        default: return 0;
    }
}

char CharOfKey(WORD vk) {
    switch (vk) {
        case VK_RETURN: return '\r';
        case VK_ESCAPE: return 27;
        case VK_BACK: return 8;
        case VK_TAB: return 9;
        case VK_SPACE: return ' ';
        default: return 0;
    }
}

// "Shift+Tab", "Ctrl+C", "F2", "Enter" or plain characters.
std::vector<KeyStroke> ParseKeys(const std::string& token) {
    std::string rest = token;
    TShiftState shift = 0;
    for (;;) {
        const std::string up = UpperCase(rest);
        if (up.rfind("SHIFT+", 0) == 0 && rest.size() > 6) { shift |= ssShift; rest = rest.substr(6); }
        else if (up.rfind("CTRL+", 0) == 0 && rest.size() > 5) { shift |= ssCtrl; rest = rest.substr(5); }
        else if (up.rfind("ALT+", 0) == 0 && rest.size() > 4) { shift |= ssAlt; rest = rest.substr(4); }
        else break;
    }
    const std::string up = UpperCase(rest);
    std::vector<KeyStroke> keys;
    if (auto it = KeyNames().find(up); it != KeyNames().end()) {
        keys.push_back({it->second, shift, (shift & (ssCtrl | ssAlt)) ? char(0) : CharOfKey(it->second)});
        return keys;
    }
    if (up.size() >= 2 && up[0] == 'F') {
        int n = 0;
        if (ParseInt(up.substr(1), n) && n >= 1 && n <= 12) {
            keys.push_back({WORD(VK_F1 + n - 1), shift, 0});
            return keys;
        }
    }
    if (shift & (ssCtrl | ssAlt)) {
        if (rest.size() == 1) {
            const WORD vk = VkOfChar(rest[0]);
            char ch = 0;
            if ((shift & ssCtrl) && !(shift & ssAlt) && vk >= 'A' && vk <= 'Z') ch = char(vk - 'A' + 1);
            keys.push_back({vk, shift, ch});
        }
        return keys;
    }
    for (char c : rest) {
        TShiftState s = shift;
        if (c >= 'A' && c <= 'Z') s |= ssShift;
        keys.push_back({VkOfChar(c), s, c});
    }
    return keys;
}

}  // namespace

void RegisterScriptStartup(const std::string& name, TScriptStartup startup) { Startups()[name] = std::move(startup); }

namespace {
std::vector<std::pair<TScriptPropertyGetter, TScriptPropertySetter>>& PropertyHandlers() {
    static std::vector<std::pair<TScriptPropertyGetter, TScriptPropertySetter>> handlers;
    return handlers;
}
}  // namespace

void RegisterScriptProperties(TScriptPropertyGetter getter, TScriptPropertySetter setter) {
    PropertyHandlers().emplace_back(std::move(getter), std::move(setter));
}

bool HasScriptStartup(const std::string& name) {
    auto it = Startups().find(name);
    return it != Startups().end() && it->second;
}

struct TScriptRunner::Impl {
    std::ostream& out;
    std::string scriptDir;
    std::string sourceDir;
    std::string launchDir;
    std::string dataDir;
    TDialogRecorder recorder;
    IDialogService* previous = nullptr;
    size_t messagesShown = 0;
    TForm* lastForm = nullptr;
    // Steps that run inside the next modal form's loop, while it is shown.
    std::deque<std::string> modalSteps;

    Impl(std::ostream& o, std::string s, std::string src) : out(o), scriptDir(std::move(s)), sourceDir(std::move(src)) {
        launchDir = GetCurrentDir();
        recorder.OnModalForm = [this](TForm&) {
            std::deque<std::string> steps;
            steps.swap(modalSteps);
            for (const std::string& step : steps) {
                GuardedStep(step);
                Application->ProcessMessages();
            }
        };
    }

    // A step whose failure is printed and does not end the script.
    void GuardedStep(const std::string& cp1252) {
        try {
            Step(cp1252);
        } catch (const StepError& e) {
            Print("ERROR: " + e.what);
        } catch (const std::exception& e) {
            Print(std::string("ERROR: ") + e.what());
        }
    }

    // The working data directory, a new name each run, prints as <dados>.
    void Print(const std::string& cp1252) {
        std::string text = cp1252;
        if (!dataDir.empty()) text = StringReplace(text, dataDir, "<dados>");
        out << Cp1252ToUtf8(text) << "\n";
    }

    void RemoveDataDir() {
        if (dataDir.empty()) return;
        std::error_code ec;
        if (!launchDir.empty()) SetCurrentDir(launchDir);
        fs::remove_all(fs::path(dataDir), ec);
        dataDir.clear();
    }

    TForm* FindForm(const std::string& name) {
        TForm* f = Screen->FindForm(name);
        if (!f) throw StepError{"unknown form " + name};
        lastForm = f;
        return f;
    }

    TComponent* Find(const std::string& path) {
        const size_t dot = path.find('.');
        TForm* form = FindForm(path.substr(0, dot));
        if (dot == std::string::npos || dot + 1 == path.size()) return form;
        const std::string name = path.substr(dot + 1);
        TComponent* c = FindOwned(form, name);
        if (!c) throw StepError{"unknown component " + path};
        return c;
    }

    template <class T>
    T* FindAs(const std::string& path, const char* kind) {
        TComponent* c = Find(path);
        T* t = dynamic_cast<T*>(c);
        if (!t) throw StepError{path + " is not " + kind};
        return t;
    }

    IScriptGrid* FindGrid(const std::string& path) {
        auto* g = dynamic_cast<IScriptGrid*>(Find(path));
        if (!g) throw StepError{path + " is not a grid"};
        return g;
    }

    // The focus comes to the control as a click or a Tab would bring it.
    static void Focus(TWinControl* c) {
        if (c->CanFocus() && !c->Focused()) c->SetFocus();
    }

    static void Run(TObject* sender, const std::function<void()>& fn) { Application->Dispatch(sender, fn); }

    // Keys go to the control with the focus after each one, as a keyboard's do.
    void SendKeys(TWinControl* w, const std::string& path, const std::vector<KeyStroke>& keys) {
        CheckReachable(w, path);
        TForm* form = w->ParentForm();
        Run(w, [&] { Focus(w); });
        if (!w->Focused()) throw StepError{path + " does not take the focus"};
        for (const KeyStroke& k : keys) {
            TWinControl* target = (form && form->ActiveControl()) ? form->ActiveControl() : w;
            Run(target, [&] { target->SimulateKey(k.vk, k.shift, k.ch); });
            Application->ProcessMessages();
            TWinControl* after = (form && form->ActiveControl()) ? form->ActiveControl() : w;
            Run(after, [&] { after->SimulateKeyUp(k.vk, k.shift); });
        }
    }

    void Start(const std::string& startupName, const std::vector<std::string>& t, size_t dataArg) {
        std::string source;
        if (t.size() > dataArg) {
            fs::path p(SystemPath(t[dataArg]));
            source = (p.is_absolute() ? p : fs::path(scriptDir) / p).string();
            if (!fs::is_directory(source)) throw StepError{"no data directory " + t[dataArg]};
        } else {
            source = (fs::path(sourceDir) / "data").string();
        }
        if (!HasScriptStartup(startupName))
            throw StepError{startupName.empty() ? std::string("no start-up registered") : "no start-up " + startupName};
        Application->DestroyForms();
        RemoveDataDir();
        messagesShown = recorder.Records().size();
        lastForm = nullptr;
        std::string pattern = (fs::temp_directory_path() / "velorim-script-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) throw StepError{"cannot make a working directory"};
        dataDir = buf.data();
        if (fs::is_directory(source)) fs::copy(source, dataDir, fs::copy_options::recursive);
        SetCurrentDir(dataDir);
        TScriptStartup startup = Startups()[startupName];
        Run(Application, [&] { startup(); });
        if (TForm* main = Application->MainForm(); main && Application->ShowMainForm)
            Run(main, [&] { main->Show(); });
    }

    std::string ValueOf(TComponent* c, const std::string& prop, const std::string& path) {
        auto onOff = [](bool b) { return std::string(b ? "on" : "off"); };
        if (!prop.empty()) {
            const std::string p = UpperCase(prop);
            auto* control = dynamic_cast<TControl*>(c);
            auto* item = dynamic_cast<TMenuItem*>(c);
            if (p == "ENABLED" && control) return onOff(control->Enabled());
            if (p == "ENABLED" && item) return onOff(item->Enabled());
            if (p == "VISIBLE" && control) return onOff(control->Visible());
            if (p == "VISIBLE" && item) return onOff(item->Visible());
            if (p == "FOCUSED")
                if (auto* w = dynamic_cast<TWinControl*>(c)) return onOff(w->Focused());
            if (p == "CHECKED") {
                if (auto* b = dynamic_cast<TCheckBox*>(c)) return onOff(b->Checked());
                if (auto* r = dynamic_cast<TRadioButton*>(c)) return onOff(r->Checked());
                if (item) return onOff(item->Checked());
            }
            if (p == "MODALRESULT")
                if (auto* f = dynamic_cast<TForm*>(c)) return TDialogRecorder::NameOf(f->ModalResult());
            if (p == "ITEMINDEX") {
                if (auto* x = dynamic_cast<TComboBox*>(c)) return std::to_string(x->ItemIndex());
                if (auto* x = dynamic_cast<TListBox*>(c)) return std::to_string(x->ItemIndex());
                if (auto* x = dynamic_cast<TRadioGroup*>(c)) return std::to_string(x->ItemIndex());
            }
            if (p == "COUNT") {
                if (auto* x = dynamic_cast<TComboBox*>(c)) return std::to_string(x->Items.Count());
                if (auto* x = dynamic_cast<TListBox*>(c)) return std::to_string(x->Items.Count());
                if (auto* x = dynamic_cast<TMemo*>(c)) return std::to_string(x->Lines.Count());
                if (auto* x = dynamic_cast<TRichEdit*>(c)) return std::to_string(x->Lines.Count());
                if (auto* g = dynamic_cast<IScriptGrid*>(c)) return std::to_string(g->ScriptRowCount());
            }
            for (auto& handler : PropertyHandlers()) {
                std::string value;
                if (handler.first && handler.first(c, prop, value)) return value;
            }
            throw StepError{path + " has no " + prop};
        }
        if (auto* b = dynamic_cast<TCheckBox*>(c))
            return b->State() == TCheckBoxState::cbGrayed ? "grayed" : onOff(b->Checked());
        if (auto* r = dynamic_cast<TRadioButton*>(c)) return onOff(r->Checked());
        if (auto* pc = dynamic_cast<TPageControl*>(c)) return std::to_string(pc->PageIndex());
        if (auto* rg = dynamic_cast<TRadioGroup*>(c)) return std::to_string(rg->ItemIndex());
        if (auto* g = dynamic_cast<IScriptGrid*>(c)) return std::to_string(g->ScriptRowCount());
        if (auto* item = dynamic_cast<TMenuItem*>(c)) return item->Caption();
        if (auto* control = dynamic_cast<TControl*>(c)) {
            std::string text = control->Text();
            return StringReplace(text, "\r\n", "\n");
        }
        throw StepError{path + " has no text"};
    }

    void Step(const std::string& line) {
        const std::vector<std::string> t = Tokens(line);
        if (t.empty() || t[0][0] == '#') return;
        const std::string cmd = LowerCase(t[0]);
        auto need = [&](size_t n) {
            if (t.size() < n) throw StepError{"missing arguments: " + line};
        };
        if (cmd == "start") {
            Start("", t, 1);
        } else if (cmd == "startwith") {
            need(2);
            Start(t[1], t, 2);
        } else if (cmd == "set") {
            need(2);
            TComponent* c = Find(t[1]);
            const std::string text = Rest(line, 2);
            if (auto* combo = dynamic_cast<TComboBox*>(c)) {
                CheckReachable(combo, t[1]);
                Run(combo, [&] { Focus(combo); if (combo->Focused() || !combo->CanFocus()) combo->TypeAsUser(text); });
            } else if (auto* list = dynamic_cast<TListBox*>(c)) {
                CheckReachable(list, t[1]);
                const int index = list->Items.IndexOf(text);
                if (index < 0) throw StepError{t[1] + " has no item " + text};
                Run(list, [&] { Focus(list); list->SelectAsUser(index); });
            } else if (auto* group = dynamic_cast<TRadioGroup*>(c)) {
                CheckReachable(group, t[1]);
                int index = group->Items.IndexOf(text);
                if (index < 0 && !ParseInt(text, index)) throw StepError{t[1] + " has no item " + text};
                Run(group, [&] { group->SetItemIndex(index); });
            } else if (dynamic_cast<TButtonControl*>(c) || dynamic_cast<TPageControl*>(c)) {
                throw StepError{t[1] + " takes no text"};
            } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
                CheckReachable(w, t[1]);
                Run(w, [&] {
                    Focus(w);
                    // A refused focus (the previous control's OnExit) leaves the text alone.
                    if (w->CanFocus() && !w->Focused()) return;
                    w->SetText(text);
                    if (auto* e = dynamic_cast<TCustomEdit*>(w)) e->Modified = true;
                });
            } else {
                throw StepError{t[1] + " takes no text"};
            }
        } else if (cmd == "check") {
            need(3);
            const std::string v = LowerCase(t[2]);
            if (v != "on" && v != "off") throw StepError{"check takes on or off"};
            const bool want = v == "on";
            TComponent* c = Find(t[1]);
            if (auto* b = dynamic_cast<TCheckBox*>(c)) {
                CheckReachable(b, t[1]);
                Run(b, [&] {
                    for (int i = 0; i < 3 && b->Checked() != want; ++i) {
                        b->UserClick();
                        if (!b->Focused() && b->CanFocus()) break;
                    }
                });
            } else if (auto* r = dynamic_cast<TRadioButton*>(c)) {
                CheckReachable(r, t[1]);
                Run(r, [&] {
                    if (want) r->UserClick();
                    else r->SetChecked(false);
                });
            } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                Run(item, [&] { item->SetChecked(want); });
            } else {
                throw StepError{t[1] + " is not a check box"};
            }
        } else if (cmd == "click") {
            need(2);
            TComponent* c = Find(t[1]);
            if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                for (TMenuItem* i = item; i; i = i->Parent()) {
                    if (!i->Visible() && i->Parent()) throw StepError{t[1] + " is not visible"};
                    if (!i->Enabled() && i->Parent()) throw StepError{t[1] + " is disabled"};
                }
                Run(item, [&] { item->Click(); });
            } else if (auto* control = dynamic_cast<TControl*>(c); control && !dynamic_cast<TForm*>(c)) {
                CheckReachable(control, t[1]);
                Run(control, [&] { control->UserClick(); });
            } else {
                throw StepError{t[1] + " cannot be clicked"};
            }
        } else if (cmd == "exit") {
            need(2);
            auto* w = FindAs<TWinControl>(t[1], "a control that takes the focus");
            TForm* form = w->ParentForm();
            if (!form) throw StepError{t[1] + " is on no form"};
            Run(w, [&] {
                if (form->ActiveControl() != w) {
                    if (w->CanFocus()) w->SetFocus();
                    if (form->ActiveControl() != w) {
                        w->DoExit();
                        return;
                    }
                }
                form->SetActiveControl(nullptr);
            });
        } else if (cmd == "key") {
            need(3);
            auto* w = FindAs<TWinControl>(t[1], "a control that takes keys");
            std::vector<KeyStroke> keys;
            for (size_t i = 2; i < t.size(); ++i) {
                std::vector<KeyStroke> k = ParseKeys(t[i]);
                if (k.empty()) throw StepError{"unknown key " + t[i]};
                keys.insert(keys.end(), k.begin(), k.end());
            }
            SendKeys(w, t[1], keys);
        } else if (cmd == "type") {
            // Each character of the rest of the line goes through the
            // control's own key handling (filters, masks), as typed.
            need(3);
            auto* w = FindAs<TWinControl>(t[1], "a control that takes keys");
            std::vector<KeyStroke> keys;
            for (char c : Rest(line, 2)) {
                const TShiftState s = (c >= 'A' && c <= 'Z') ? TShiftState(ssShift) : TShiftState(0);
                keys.push_back({VkOfChar(c), s, c});
            }
            SendKeys(w, t[1], keys);
        } else if (cmd == "cell") {
            need(4);
            IScriptGrid* g = FindGrid(t[1]);
            int col = 0, row = 0;
            if (!ParseInt(t[2], col) || !ParseInt(t[3], row)) throw StepError{"cell takes a column and a row"};
            const std::string text = Rest(line, 4);
            Run(dynamic_cast<TObject*>(g), [&] { g->ScriptSetCell(col, row, text); });
        } else if (cmd == "rows") {
            need(3);
            IScriptGrid* g = FindGrid(t[1]);
            int n = 0;
            if (!ParseInt(t[2], n) || n < 0) throw StepError{"rows takes a count"};
            Run(dynamic_cast<TObject*>(g), [&] { g->ScriptSetRowCount(n); });
        } else if (cmd == "select") {
            need(4);
            IScriptGrid* g = FindGrid(t[1]);
            int col = 0, row = 0;
            if (!ParseInt(t[2], col) || !ParseInt(t[3], row)) throw StepError{"select takes a column and a row"};
            Run(dynamic_cast<TObject*>(g), [&] { g->ScriptSelect(col, row); });
        } else if (cmd == "page") {
            need(3);
            auto* pc = FindAs<TPageControl>(t[1], "a page control");
            int n = 0;
            if (!ParseInt(t[2], n) || n < 0 || n >= pc->PageCount()) throw StepError{"no page " + t[2] + " in " + t[1]};
            Run(pc, [&] { pc->SelectAsUser(n); });
        } else if (cmd == "answer") {
            need(2);
            recorder.Answer(Rest(line, 1));
        } else if (cmd == "setprop") {
            need(4);
            TComponent* c = Find(t[1]);
            const std::string value = Rest(line, 3);
            bool handled = false;
            Run(c, [&] {
                for (auto& handler : PropertyHandlers())
                    if (handler.second && handler.second(c, t[2], value)) {
                        handled = true;
                        break;
                    }
            });
            if (!handled) throw StepError{t[1] + " has no settable " + t[2]};
        } else if (cmd == "print") {
            need(2);
            TComponent* c = Find(t[1]);
            const std::string prop = t.size() > 2 ? t[2] : std::string();
            const std::string value = ValueOf(c, prop, t[1]);
            Print(t[1] + (prop.empty() ? "" : "." + prop) + "=" + value);
        } else if (cmd == "dump") {
            need(2);
            IScriptGrid* g = FindGrid(t[1]);
            Print("== " + t[1] + " " + std::to_string(g->ScriptRowCount()));
            for (int r = 0; r < g->ScriptRowCount(); ++r) {
                std::string row;
                for (int col = 0; col < g->ScriptColCount(); ++col) {
                    if (col) row += '\t';
                    row += g->ScriptCell(col, r);
                }
                Print(row);
            }
        } else if (cmd == "messages") {
            const auto& records = recorder.Records();
            for (; messagesShown < records.size(); ++messagesShown)
                if (records[messagesShown].Kind == TDialogKind::MessageBox) Print("MSG: " + records[messagesShown].Text);
        } else if (cmd == "file") {
            need(2);
            const std::string name = Rest(line, 1);
            if (!FileExists(name)) throw StepError{"no file " + name};
            std::string text = StringReplace(ReadFileBytes(name), "\r\n", "\n");
            if (!text.empty() && text.back() == '\n') text.pop_back();
            Print(text);
        } else if (cmd == "inmodal") {
            need(2);
            modalSteps.push_back(Rest(line, 1));
        } else if (cmd == "show") {
            need(2);
            TForm* form = FindForm(t[1]);
            Run(form, [&] { form->Show(); });
        } else if (cmd == "shot") {
            need(2);
            TForm* form = t.size() > 2 ? FindForm(t[2]) : (lastForm ? lastForm : Application->MainForm());
            if (!form) throw StepError{"no form to render"};
            fs::path p(t[1]);
            if (!p.is_absolute()) p = fs::path(launchDir) / p;
            if (!form->SaveToPng(p.string())) throw StepError{"cannot write " + t[1]};
        } else {
            throw StepError{"unknown step " + t[0]};
        }
    }
};

TScriptRunner::TScriptRunner(std::ostream& out, std::string scriptDir, std::string sourceDir)
    : impl_(std::make_unique<Impl>(out, std::move(scriptDir), std::move(sourceDir))) {
    if (!HasScriptStartup("selftest")) RegisterScriptStartup("selftest", CreateSelfTestForms);
    impl_->previous = &DialogService();
    SetDialogService(&impl_->recorder);
}

TScriptRunner::~TScriptRunner() {
    Application->DestroyForms();
    Application->ProcessMessages();
    impl_->RemoveDataDir();
    SetDialogService(impl_->previous);
}

bool TScriptRunner::RunFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    RunText(ss.str());
    return true;
}

void TScriptRunner::RunText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) RunLine(line);
}

void TScriptRunner::RunLine(const std::string& utf8) {
    std::string line = utf8;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    impl_->GuardedStep(Utf8ToCp1252(line));
    impl_->out.flush();
    Application->ProcessMessages();
}

TDialogRecorder& TScriptRunner::Dialogs() { return impl_->recorder; }

const std::string& TScriptRunner::DataDir() const { return impl_->dataDir; }

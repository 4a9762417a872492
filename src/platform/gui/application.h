#pragma once
// The application object: title, the forms created at start-up, the message
// loop, posted messages and the default exception handler that guards every
// event dispatch; and the screen, mouse and system facts the controls read.
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/gui/classes.h"
#include "platform/gui/graphics.h"
#include "platform/runtime/string_list.h"

class TControl;
class TForm;
class QApplication;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Brings Qt up when no QApplication exists yet (argc/argv may be empty).
    void Initialize(int argc = 0, char** argv = nullptr);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // Creates a form into its global instance; the first form created becomes
    // the main form. OnCreate fires once the constructor has finished.
    template <class T>
    void CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        FormCreated(form);
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    bool ShowMainForm = true;

    // Shows the main form and runs the message loop until Terminate (closing
    // the main form terminates).
    void Run();
    // Handles every pending window event, posted message and due timer.
    void ProcessMessages();
    // Waits for one event (or a short while) and handles what arrived.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The default exception handler: OnException when set, else ShowException.
    // EAbort is silent. Never throws.
    void HandleException(TObject* sender, const std::exception& e);
    void HandleException(TObject* sender, std::exception_ptr e);
    void ShowException(const std::exception& e);
    TExceptionEvent OnException;

    // Message box through the dialog service; flags are MB_* values; returns ID*.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags = 0);

    std::string Hint;
    TNotifyEvent OnHint;
    void SetHint(const std::string& hint);
    void CancelHint() {}

    // Runs fn as an event of sender: any exception goes to the default handler
    // and never further (Qt's event loop must never see one).
    template <class F>
    void Dispatch(TObject* sender, F&& fn) noexcept {
        ++dispatchDepth_;
        try {
            fn();
        } catch (...) {
            HandleException(sender, std::current_exception());
        }
        --dispatchDepth_;
    }

    bool InDispatch() const { return dispatchDepth_ > 0; }

    // Posted messages: queued for a control, run in posting order after the
    // current event; a control freed before delivery gets nothing.
    bool PostMessage(TControl* target, UINT msg, WPARAM wParam, LPARAM lParam);
    // Queues any call to run after the current event (same order as messages).
    void PostCall(TComponent* target, std::function<void()> call);
    // Delivers the queued messages; returns how many ran.
    int DeliverPostedMessages();
    int PendingMessages() const { return static_cast<int>(posted_.size()); }
    // Takes one pending message Msg of the control out of the queue: one
    // posted for it, or, for a mouse button message, a press the window
    // system still has to deliver to it (Qt hands the press that closed a
    // popup menu on to the control under the pointer once the menu is gone).
    // Terminate is never undone by it.
    void RemovePendingMessage(TControl* control, UINT msg);

    // Hooks on the application's window: each gets the settings messages
    // (WM_WININICHANGE when the system's locale settings change) until
    // unhooked; a hook answering true stops the ones after it.
    using TWindowHook = std::function<bool(TMessage& message)>;
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int id);
    // Whether format-dependent controls follow a change of the system's
    // settings (the program's own formats never change while it runs).
    bool UpdateFormatSettings = true;
    // The system's locale settings changed: the hooks get WM_WININICHANGE.
    void SettingsChanged();

    // Frees every form created so far (newest first), firing OnDestroy.
    void DestroyForms();

private:
    void FormCreated(TForm* form);
    void ScheduleDelivery();
    struct TPosted {
        std::weak_ptr<TComponent*> target;
        TControl* control = nullptr;
        UINT msg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        std::function<void()> call;
    };
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool deliveryScheduled_ = false;
    int dispatchDepth_ = 0;
    std::deque<TPosted> posted_;
    std::vector<std::pair<int, TWindowHook>> hooks_;
    int nextHook_ = 0;
    QApplication* ownApp_ = nullptr;
};

extern TApplication* Application;

// Synchronous message to a control's handler (its WndProc); returns Result.
LRESULT SendMessage(TControl* target, UINT msg, WPARAM wParam, LPARAM lParam);
inline bool PostMessage(TControl* target, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Application->PostMessage(target, msg, wParam, lParam);
}

// A cursor: a standard shape, or a picture (ARGB pixels) with its hot spot.
struct HCURSOR {
    TCursor Standard = crDefault;
    int Width = 0, Height = 0, HotX = 0, HotY = 0;
    std::vector<uint32_t> Pixels;
};

class TScreen {
public:
    TScreen();
    // Font family names, sorted, as Windows-1252 text.
    const TStringList& Fonts();
    int PixelsPerInch() const { return 96; }
    int Width() const;
    int Height() const;
    // The part of the screen that windows may take (without panels and docks).
    TRect WorkAreaRect() const;
    int ColorDepth() const { return 24; }

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    // Registered cursors by number; unknown numbers read as the arrow.
    std::map<int, HCURSOR> Cursors;

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const { return forms_.at(index); }
    TForm* FindForm(const std::string& name) const;
    TForm* ActiveForm() const { return activeForm_; }
    TControl* ActiveControl() const;

    // Kept by the forms themselves.
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);
    void SetActiveForm(TForm* form) { activeForm_ = form; }

private:
    TStringList fonts_;
    bool fontsRead_ = false;
    TCursor cursor_ = crDefault;
    std::vector<TForm*> forms_;
    TForm* activeForm_ = nullptr;
};

extern TScreen* Screen;

// Font family names as the screen lists them: sorted without case, each
// once, foundry suffixes (" [URW]") taken off.
std::vector<std::string> FontFamilyNames(std::vector<std::string> families);

class TMouse {
public:
    int WheelScrollLines() const { return 3; }
    bool WheelPresent() const { return true; }
    void SetCapture(TControl* control);
    TControl* Capture() const { return capture_; }
    // Whether the left button is held now, as the window system knows it
    // (a release that went to another window included).
    bool LeftButtonDown() const;
    // Tests stand in for the window system's button state.
    std::function<bool()> LeftButtonHook;

private:
    TControl* capture_ = nullptr;
};
extern TMouse* Mouse;

// System metrics of the classic look at 96 pixels per inch.
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
              SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11,
              SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15,
              SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
              SM_CXDRAG = 68, SM_CYDRAG = 69;
int GetSystemMetrics(int index);
unsigned GetDoubleClickTime();

// Beeps go through a hook so that tests can count them.
using TBeepHook = std::function<void(unsigned type)>;
void SetBeepHook(TBeepHook hook);  // an empty hook restores the real beep
void MessageBeep(unsigned type = 0);
void Beep();

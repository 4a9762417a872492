#pragma once
// Forms: top-level windows holding the controls, with show/modal/close, the
// active control (whose change fires OnExit and OnEnter) and dialog keys.
#include <functional>
#include <string>

#include "platform/gui/controls.h"

class TMainMenu;
class TButton;

enum class TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition : uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum class TFormStyle : uint8_t { fsNormal, fsStayOnTop };
enum class TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    // Fires OnCreate; Application->CreateForm calls it after the constructor.
    void AfterConstruction();
    // Fires OnDestroy while the form is whole (Free and the owner call it).
    void BeforeDestruction() override;

    // Showing fires OnShow then OnActivate; hiding fires OnHide. A form that
    // is shown for the first time without an active control focuses the
    // first control of its tab order.
    void SetVisible(bool visible) override;
    // Shows the form modally (through the dialog service's modal loop) and
    // returns its ModalResult; closing without a result gives mrCancel.
    TModalResult ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result);
    // The dialog service's modal loop sets the call that wakes it.
    void SetModalWake(std::function<void()> wake) { modalWake_ = std::move(wake); }

    // OnCloseQuery, then OnClose with caHide (caFree frees the form later);
    // a modal form gets ModalResult mrCancel instead; the main form ends the
    // program.
    void Close();
    bool CloseQuery();
    // Frees the form once the current event is over.
    void Release();

    TWinControl* ActiveControl() const { return activeControl_; }
    // Changes the focused control: OnExit of the old one (an exception there
    // keeps the old one focused and passes on), then OnEnter of the new one.
    // nullptr clears it, which fires the OnExit of the control that had it.
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control) { SetActiveControl(control); }
    // The child that had the active control was freed or hidden.
    void ActiveControlGone(TWinControl* control);

    bool KeyPreview = false;
    bool Active() const;
    void Activate();

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // Rebuilds the menu bar after the menu's items changed.
    void MenuChanged();

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int width);
    void SetClientHeight(int height);

    // Enter clicks the focused button or else the default button, Esc the
    // cancel button; returns true when a button took the key.
    bool DialogKey(WORD key, TShiftState shift);
    // Hands an accelerator character to the first shown, enabled control
    // whose caption carries it; true when one acted.
    bool DialogChar(char key);

    // Calls `call` once the form's shown window has been painted on screen
    // for the first time (after a second at the latest, should the screen
    // never expose it), or from the message loop when the form shows no
    // window: what a start-up need not do before its window is seen waits.
    void AfterFirstPaint(std::function<void()> call);

    // Renders the form (shown or not) into a PNG file; false on failure.
    bool SaveToPng(const std::string& fileName);

    QWidget* MadeClientWidget() const override { return client_; }

    TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Size of the window frame around the client area for the border style.
    int FrameWidth() const;
    int CaptionHeight() const;
    int MenuHeight() const;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void CreateWidget() override;
    void TextChanged() override;
    void BoundsChanged() override;
    void ColorChanged() override;
    void PlaceOnScreen();
    void ApplyWindowFlags();

private:
    friend class velorim_gui::ControlBridge;
    void ClosedByUser();
    void ClientResized(int width, int height);
    bool CloseModal();

    QWidget* client_ = nullptr;
    QWidget* menuBar_ = nullptr;
    // Set while the form is shown above a window that stays on top: modally,
    // or as a dialog opened while such a window is shown.
    bool modalOnTop_ = false;
    TWinControl* activeControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TWindowState windowState_ = TWindowState::wsNormal;
    TModalResult modalResult_ = mrNone;
    std::function<void()> modalWake_;
    bool modal_ = false;
    bool shownOnce_ = false;
    bool created_ = false;
    bool destroyFired_ = false;
};

// Places controls on a parent row by row, left to right: a small helper for
// forms that are laid out by code instead of fixed coordinates.
class TPlacer {
public:
    explicit TPlacer(TWinControl* parent, int left = 8, int top = 8, int spacing = 6);
    // Puts control right of the previous one in the current row (width and
    // height -1 keep the control's own).
    TPlacer& Add(TControl* control, int width = -1, int height = -1);
    // Starts a new row below the tallest control of this one.
    TPlacer& NewRow(int extraSpace = 0);
    // Moves the next position to an absolute column within the row.
    TPlacer& Column(int x);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Bottom() const { return y_ + rowHeight_; }
    int Right() const { return maxRight_; }

private:
    TWinControl* parent_;
    int left_, spacing_;
    int x_, y_;
    int rowHeight_ = 0;
    int maxRight_ = 0;
};

// Creates a control owned by `owner` (its form, usually), named and placed on
// `parent`: the one line each component of a form's construction takes.
template <class T>
T* Make(TComponent* owner, TWinControl* parent, const std::string& name) {
    auto* control = new T(owner);
    control->SetName(name);
    if (parent) control->SetParent(parent);
    return control;
}

// A control placed at a rectangle of its parent.
template <class T>
T* MakeAt(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top,
          int width, int height) {
    T* control = Make<T>(owner, parent, name);
    control->SetBounds(left, top, width, height);
    return control;
}

// A captioned control (label, box, button, group) placed at a rectangle.
template <class T>
T* MakeCaptioned(TComponent* owner, TWinControl* parent, const std::string& name,
                 const std::string& caption, int left, int top, int width, int height) {
    T* control = Make<T>(owner, parent, name);
    control->SetCaption(caption);
    control->SetBounds(left, top, width, height);
    return control;
}

// A captioned control placed at a point, keeping its own size (a label sizes
// itself to its caption).
template <class T>
T* MakeCaptionedAt(TComponent* owner, TWinControl* parent, const std::string& name,
                   const std::string& caption, int left, int top) {
    T* control = Make<T>(owner, parent, name);
    control->SetCaption(caption);
    control->SetLeft(left);
    control->SetTop(top);
    return control;
}

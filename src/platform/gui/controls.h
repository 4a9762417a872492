#pragma once
// Controls: light objects over Qt widgets. The object holds the properties the
// program reads (bounds, text, state); its widget shows them and reports the
// user's input back. Everything works with the form never shown, and a form's
// widgets are only made when it is first shown or something needs them: the
// object keeps every property meanwhile and the widget takes them when made.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/classes.h"
#include "platform/gui/graphics.h"

class QWidget;
class QPainter;
class QObject;
class TCanvas;
class TForm;
class TWinControl;
class TPopupMenu;
class TBasicAction;
class TBasicActionLink;

namespace velorim_gui {
class ControlBridge;
}

// Scoped: the grid's own alignment enumeration reuses alLeft and alRight.
enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyle : uint8_t { bsNone, bsSingle };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The form the control sits on (itself for a form); nullptr when unparented.
    TForm* ParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible itself and every parent up to and including its form.
    bool Showing() const;
    // Visible and enabled with every parent up to its form (shown or not),
    // and not on a page that is not shown: what a key of the form reaches.
    bool Reachable() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Caption and Text are the one text property of a control.
    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& text);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) { font_.Assign(font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    TCursor Cursor() const { return cursor_; }
    virtual void SetCursor(TCursor cursor);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

    // The action linked to the control: each of its changes reaches
    // ActionChange, and a click without OnClick runs it (null unlinks).
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);

    // Fires OnClick, or runs the action without one (exceptions go to the
    // caller).
    virtual void Click();
    virtual void DblClick();
    // What a click of the mouse on the control does: a button clicks, a box
    // toggles, a radio button checks. Nothing when disabled.
    virtual void UserClick();

    TNotifyEvent OnClick, OnDblClick, OnResize;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

    // The control's message handler: posted and sent messages end here.
    virtual void WndProc(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    void Invalidate();
    void Repaint();
    void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    bool MouseCapture() const { return capture_; }
    void SetMouseCapture(bool value);

    // The Qt widget showing the control, made now (with the widgets of its
    // whole form) when it waits; nullptr for a control without one and once
    // Qt has destroyed it.
    QWidget* Widget() const;
    // The widget if it is made, without making it.
    QWidget* MadeWidget() const { return widget_; }
    // The widget waits until the control takes the focus (see WantWidgetOnFocus).
    bool WidgetOnFocus() const { return widgetOnFocus_; }
    // Makes the waiting widgets of this control and of the children it
    // shows (parents first); hidden controls and pages not shown wait, and
    // so does this control when hidden unless evenHidden.
    void MakeWidgets(bool evenHidden = false);
    // The widget is a frameless top-level window that shows without being
    // activated (drop-down popups).
    void SetPopupWindow();

    // Mouse input as the widget reports it; public for the tests and driver.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A turn of the wheel over the control (delta 120 a notch, positive away
    // from the user); true when the control used it.
    virtual bool MouseWheel(TShiftState shift, int delta, int x, int y);
    // The pointer left the control.
    virtual void PointerLeft() {}

    // Keyboard interface of a form. An accelerator character (Alt+letter,
    // or a letter where the focused control types none) whose "&" mark the
    // control's caption carries: the control acts and answers true.
    virtual bool DialogChar(char /*key*/) { return false; }
    // Whether Enter (VK_RETURN: the default button) or Esc (VK_ESCAPE: the
    // cancel button) clicks this control.
    virtual bool TakesDialogKey(WORD /*key*/) const { return false; }
    // Something dragged is over the control: Accept starts as whether
    // OnDragOver is set, which may change it.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    // Something dragged was dropped on the control.
    virtual void DragDrop(TObject* source, int x, int y);

protected:
    // Called by each concrete control's constructor: the control shows a
    // widget, which CreateWidget makes when the form needs it.
    void WantWidget();
    // For a control that shows nothing and rarely takes the focus (one of
    // hundreds): its widget is made only when it does, or when asked for.
    void WantWidgetOnFocus() { widgetOnFocus_ = true; }
    // Makes the control's widget (calling SetWidget) and shows the control's
    // own state in it; the state every control has (font, enabled, hint,
    // cursor, focus, bounds, colour once changed) follows by itself.
    virtual void CreateWidget() {}
    // Binds the widget that shows the control. The control deletes it.
    void SetWidget(QWidget* widget);
    // A control without a parent whose widget lives inside another control's
    // (a grid's cell editor): that control is made first.
    virtual TControl* WidgetHost() const { return nullptr; }

    // Sends the widget's events (keys, focus, mouse) to this control too.
    void WatchWidget(QWidget* widget);
    // The object Qt signal connections of this control live on (they end
    // with the control).
    QObject* SignalContext() const;
    // Sets Visible without any effect (forms start hidden).
    void SetVisibleFlag(bool visible);
    // A left click released inside fires Click (controls without a click
    // signal of their own: graphic controls, panels, custom controls).
    bool clickOnRelease_ = false;
    virtual void TextChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void Resize();
    virtual void BoundsChanged();
    // Parent's font and colour changed (for ParentFont/ParentColor).
    void ParentFontChanged();
    void ParentColorChanged();
    // Runs ColorChanged, noting that the widget shows the colour.
    void ShowColor() {
        colorShown_ = true;
        ColorChanged();
    }
    // Whether a colour was ever shown: a widget made later takes it.
    bool ColorShown() const { return colorShown_; }
    // Geometry as the widget reports it after the user resized a window.
    void UpdateBoundsFromWidget(int left, int top, int width, int height);
    // The linked action changed (CheckDefaults: it was just linked, and then
    // only properties still at their defaults follow it): a custom action's
    // caption, enabled state, hint and visibility are taken over.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    std::string text_;
    TFont font_;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;

private:
    friend class TWinControl;
    friend class velorim_gui::ControlBridge;
    void PlaceWidget();
    void ShowFontColor();
    void ShowCommonState();
    void MakeOwnWidget();

    TWinControl* parent_ = nullptr;
    QWidget* widget_ = nullptr;
    velorim_gui::ControlBridge* bridge_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true, parentFont_ = true, showHint_ = false;
    bool capture_ = false;
    std::string hint_;
    TCursor cursor_ = crDefault;
    TAlign align_ = TAlign::alNone;
    TPopupMenu* popupMenu_ = nullptr;
    bool fontGuard_ = false;
    bool wantsWidget_ = false, making_ = false, widgetGone_ = false, widgetOnFocus_ = false;
    bool fontShown_ = false, colorShown_ = false, popupWindow_ = false;
    std::unique_ptr<TBasicActionLink> actionLink_;
};

// A control that can hold others and take the focus.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }
    TControl* FindChildControl(const std::string& name) const;

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int order);
    // The tab order of this control's subtree (depth first), as the form walks it.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;

    // Visible and enabled, with every parent up to the form; a control on a
    // tab sheet that is not the active page cannot take the focus.
    virtual bool CanFocus() const;
    bool Focused() const;
    // Makes the control its form's active control (OnExit of the previous one,
    // then OnEnter). Does nothing when the control cannot take the focus.
    virtual void SetFocus();
    void SelectFirst();
    // Moves the focus from current to the next (or previous) control that can
    // take it; returns false when there is none.
    bool SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;

    TNotifyEvent OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    virtual void DoEnter();
    virtual void DoExit();

    // The whole key path as a key press of the user takes it: the form's
    // preview, OnKeyDown, dialog keys (Tab, Enter, Esc), OnKeyPress and the
    // control's own editing. ch is the character the key types (0: none).
    void SimulateKey(WORD key, TShiftState shift = 0, char ch = 0);
    void SimulateKeyUp(WORD key, TShiftState shift = 0);

    // Keys the control keeps instead of the dialog navigation.
    virtual int GetDlgCode() const { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    void Realign();

    // The widget in which the child controls are placed.
    QWidget* ClientWidget() const {
        Widget();
        return MadeClientWidget();
    }
    // The same, if it is made.
    virtual QWidget* MadeClientWidget() const { return MadeWidget(); }

    // Fires the key events; public so that forms and descendants can chain.
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(WORD& key, TShiftState shift);

    // Runs a key event from the widget or from SimulateKey; returns true when
    // the key was used up (the widget must not see it).
    bool ProcessKeyDown(WORD key, TShiftState shift, char ch, bool fromWidget);

protected:
    // The control's own handling of a key nobody consumed (editing, moving
    // the caret). The default hands it to the widget.
    virtual void DefaultKeyInput(WORD key, TShiftState shift, char ch);
    // True when the control edits by itself: keys never reach its widget.
    virtual bool OwnsKeyInput() const { return false; }
    virtual void InsertControl(TControl* control);
    virtual void RemoveControl(TControl* control);
    // Places aligned children inside rect (the client area, shrinking).
    virtual void AlignControls(TRect& rect);
    void BoundsChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    // Whether children of this control are shown (a tab sheet that is not the
    // active page answers false).
    virtual bool ChildrenShowing() const { return true; }
    // Shrinks the client rectangle by what the control draws inside it.
    virtual void AdjustClientRect(TRect&) const {}
    // Frees the owned components and the child controls; descendants that
    // override RemoveControl call it from their own destructor.
    void DestroyChildren();
    // Puts a child's widget into the client widget, at its bounds and
    // visibility.
    virtual void AdoptWidget(TControl* child);
    // The widgets of the children were made with this control's.
    virtual void ChildWidgetsMade() {}

private:
    friend class TControl;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false, tabStopSet_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
};

// A control without a window of its own in the platform: labels, speed
// buttons, paint boxes. Painted through its canvas.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *canvas_; }

    // Paints into painter through the canvas (used by the widget and by Render).
    void PaintWith(QPainter& painter);

protected:
    virtual void Paint() {}
    // The painter of the paint in progress (nullptr outside Paint).
    QPainter* Painter() const { return painter_; }
    // For descendants that show a standard widget instead of painting.
    struct NoPaintWidget {};
    TGraphicControl(TComponent* AOwner, NoPaintWidget);
    void CreateWidget() override;

private:
    std::unique_ptr<TCanvas> canvas_;
    QPainter* painter_ = nullptr;
};

// A windowed control painted by the program through its canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas& Canvas() { return *canvas_; }
    void PaintWith(QPainter& painter);
    int GetDlgCode() const override { return dlgCode_; }
    void SetDlgCode(int code) { dlgCode_ = code; }

protected:
    virtual void Paint() {}
    void CreateWidget() override;
    void DefaultKeyInput(WORD, TShiftState, char) override {}
    bool OwnsKeyInput() const override { return true; }

private:
    std::unique_ptr<TCanvas> canvas_;
    int dlgCode_ = DLGC_WANTARROWS | DLGC_WANTCHARS;
};

// Helpers shared by the controls' sources.
TForm* GetParentForm(const TControl* control);
// Paints into canvas (a lent painter, at the control's origin) what shows
// behind a transparent control: its parent's own painting and the graphic
// controls below it that it overlaps; only the parent's colour where the
// parent has no widget yet.
void PaintBehind(TControl& control, TCanvas& canvas);
// Whether key is the accelerator of caption: the character after a single
// "&", compared without case ("&&" is a plain "&").
bool IsAccel(char key, const std::string& caption);

#pragma once
// The frame shared by the date and number edits: a masked one-line edit with a
// small button inside its right end and an optional drop-down window that
// opens under it, never takes the activation, and closes with or without
// handing its value back.
#include <functional>
#include <memory>
#include <string>

#include "controls/popup_placement.h"
#include "controls/speed_button.h"
#include "platform/gui/stdctrls.h"

class TCustomComboEdit;
class TPanel;
namespace EditGlue {
class TOutsideClickWatch;
}

// A value handed between an edit and its drop-down: nothing, a text, a date
// or a number.
struct TPopupValue {
    enum TKind { vkNull, vkText, vkDate, vkNumber };
    TKind Kind = vkNull;
    std::string Text;
    long double Number = 0;

    static TPopupValue Null() { return {}; }
    static TPopupValue OfText(const std::string& s) { return {vkText, s, 0}; }
    static TPopupValue OfDate(double d) { return {vkDate, {}, d}; }
    static TPopupValue OfNumber(long double n) { return {vkNumber, {}, n}; }
    bool IsNull() const { return Kind == vkNull; }
    // A date as the short date format writes it; a number as FloatToStr does.
    std::string AsText() const;
    // Raises EConvertError for a text that is no date.
    double AsDate() const;
};

using TCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// Base of the drop-down windows (calendar, calculator).
class TPopupWindow : public TCustomControl {
public:
    explicit TPopupWindow(TCustomComboEdit* AOwner);
    TCustomComboEdit* Editor() const { return editor_; }
    TCloseUpEvent OnCloseUp;

    virtual TPopupValue ReadValue() = 0;
    virtual void WriteValue(const TPopupValue& value) = 0;
    // Calls the close-up handler.
    virtual void Finish(bool accept);
    // The text the edit paints while the popup shows (none here).
    virtual std::string DisplayText() const { return std::string(); }
    // Shows the window at a screen point on top of everything, without
    // activating it; HideWindow hides it the same way.
    void ShowAt(TPoint origin);
    void HideWindow();
    void InvalidateEditor();

    // A release of the left button finishes: accepted when inside.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TCustomComboEdit* editor_;
};

// The button of a combo edit; a press while the popup shows closes it
// (accepting) and the click that follows does nothing.
class TEditButton : public TRxSpeedButton {
public:
    explicit TEditButton(TCustomComboEdit* AOwner);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;

protected:
    void Paint() override;

private:
    TCustomComboEdit* editor_;
    bool noAction_ = false;
};

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

class TCustomComboEdit : public TCustomMaskEdit {
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return button_; }
    int ButtonWidth() const;
    void SetButtonWidth(int value);
    // The container of the button is shown only for a width of 2 or more.
    bool ButtonVisible() const;
    const std::string& ButtonHint() const;
    void SetButtonHint(const std::string& hint);
    const TBitmap& Glyph() const;
    // A glyph set by hand makes the kind gkCustom.
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const;
    void SetNumGlyphs(int value);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);
    TShortCut ClickKey = 32808;  // Alt+Down
    TPopupAlign PopupAlign = epaRight;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool value);
    TNotifyEvent OnButtonClick;

    // The drop-down; one that a descendant deferred is made here, on first use.
    TPopupWindow* Popup() const;
    bool PopupVisible() const { return popup_ && popupVisible_; }
    // Selects the whole text only with DirectInput.
    void SelectAll();

    virtual void DropDown(bool disableEdit);
    // The popup's close-up handler.
    void ClosePopup(TObject* sender, bool accept);
    // Runs by the button and by the click key: fires OnButtonClick, then
    // opens or closes the popup.
    virtual void ButtonClick();
    // The button's click: nothing on a read-only edit.
    void EditButtonPressed();

    // The smaller of the system font's and the edit font's character heights.
    int FontTextHeight() const;
    // Keeps the text area clear of the button.
    void SetTextArea();
    // The focused edit takes the keyboard focus back and shows its caret
    // again (after a popup closed).
    void ShowTextCaret();

    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool enabled) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    int GetDlgCode() const override;
    void DoExit() override;

protected:
    virtual const TBitmap* DefaultGlyph() const { return nullptr; }
    virtual void ShowPopupAt(TPoint origin);
    virtual void HidePopupWindow();
    virtual bool CanAcceptPopupValue(TPopupValue& value);
    virtual void AcceptPopupValue(const TPopupValue& value);
    virtual void SetPopupValue(const TPopupValue& value);
    virtual TPopupValue GetPopupValue();
    virtual void PopupChanged() {}
    virtual bool GetReadOnly() const { return readOnly_; }
    bool EditCanModify() const { return !readOnly_; }
    // Descendants that own a drop-down hand it over here.
    void SetPopup(std::unique_ptr<TPopupWindow> popup);
    // A drop-down that is costly to build and that most edits never open is
    // deferred: MakeDeferredPopup builds it the first time Popup() is asked.
    void DeferPopup() { popupDeferred_ = true; }
    virtual void MakeDeferredPopup() {}
    // The drop-down as it is, without making a deferred one.
    TPopupWindow* PopupIfMade() const { return popup_.get(); }
    void UpdatePopupVisible();
    void RebuildGlyph();
    void PlaceButton();
    // The default glyph's image count (1 here, 2 in the date and number edits).
    int defNumGlyphs_ = 1;
    // Set while the constructor runs (button widths apply at once).
    bool creating_ = true;

private:
    void ApplyReadOnly();

    TEditButton* button_ = nullptr;
    TPanel* container_ = nullptr;
    std::unique_ptr<TPopupWindow> popup_;
    std::unique_ptr<EditGlue::TOutsideClickWatch> outsideWatch_;
    bool readOnly_ = false;
    bool directInput_ = true;
    bool alwaysEnable_ = false;
    bool popupVisible_ = false;
    bool popupDeferred_ = false;
    TGlyphKind glyphKind_ = gkCustom;
};

namespace ToolEdit {
// Where the edit's text starts: the window's left text margin plus the inner
// width of its 3-D border, and the top.
TPoint TextMargins(TCustomComboEdit& edit);
// Shows text at alignment (at the left margin while a popup shows) and
// returns true; with standard (the edit has the focus and no popup shows)
// leaves the window to show the edit text as typed and returns false.
bool PaintEditText(TCustomComboEdit& edit, const std::string& text, TAlignment alignment, bool standard);
// The small pictures of the button kinds.
TBitmap DropDownArrowGlyph();
TBitmap EllipsisGlyph(int buttonWidth);
}  // namespace ToolEdit

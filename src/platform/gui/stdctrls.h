#pragma once
// The standard controls: label, button, edits (plain, masked, memo), check
// box, radio button, combo box, list box, group box and scroll bar.
#include <optional>
#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/mask.h"
#include "platform/runtime/string_list.h"

enum class TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    // "&x" marks an accelerator (shown as x) unless ShowAccelChar is off.
    bool ShowAccelChar() const { return showAccel_; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl = nullptr;
    // Its accelerator focuses FocusControl.
    bool DialogChar(char key) override;

protected:
    void CreateWidget() override;
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    void Refresh();
    void ShowLabel();
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool autoSize_ = true, wordWrap_ = false, transparent_ = false, showAccel_ = true;
};

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    void UserClick() override;
    // Its accelerator focuses the control and acts as a click of the mouse.
    bool DialogChar(char key) override;
    // Set when the focus could not come to the control on a mouse press
    // (the previous control's OnExit refused it): that click is dropped.
    bool FocusRefused = false;

protected:
    virtual void ClickAction() { Click(); }
    virtual void AccelAction() { UserClick(); }
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    // Sets the form's ModalResult to the button's, then fires OnClick.
    void Click() override;
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    int GetDlgCode() const override { return 0; }
    bool TakesDialogKey(WORD key) const override {
        return key == VK_RETURN ? default_ : key == VK_ESCAPE && cancel_;
    }

protected:
    void CreateWidget() override;
    void TextChanged() override;
    // Its accelerator clicks it, leaving the focus where it is.
    void AccelAction() override { Click(); }

private:
    TModalResult modalResult_ = mrNone;
    bool default_ = false, cancel_ = false;
};

enum class TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };

// One-line edit. Setting Text fires OnChange when the text changes, as the
// user's typing does.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    // An edit holds one line: a pasted line break or tab becomes a blank.
    // One that edits text of several lines (a grid cell) says so.
    virtual bool TakesLineBreaks() const { return false; }
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override;
    // Without a MaxLength an edit takes up to kMaxEditLength characters: a
    // paste that would make it longer is refused whole, not cut.
    static constexpr int kMaxEditLength = 32767;
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    // The widget is being given the program's text, not the user's.
    bool ShowingText() const { return showing_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    std::string SelText() const;
    void SetSelText(const std::string& value);
    void SelectAll();
    void ClearSelection() { SetSelText(""); }
    void Clear() { SetText(""); }
    bool Modified = false;
    bool AutoSelect = true;
    TNotifyEvent OnChange;
    virtual void Change();
    void DoEnter() override;

    // What only the window shows (the combo edits place their text): the
    // alignment of the text, room kept clear at the right end, and a text
    // shown instead of the edit's own until the edit shows its text again.
    void ShowAlignment(TAlignment alignment);
    void ShowRightMargin(int margin) { ShowTextMargins(0, margin); }
    void ShowTextMargins(int left, int right);
    void ShowWidgetText(const std::string& text);

protected:
    void CreateWidget() override;
    // Text as the widget should show it (the mask edit shows its edit text).
    virtual std::string DisplayText() const { return text_; }
    void ShowText();
    // The widget's text changed through the user.
    virtual void WidgetEdited(const std::string& text);
    void SetSelectionFromWidget(int start, int length);
    void ApplySelection();
    void FontChanged() override;
    void ColorChanged() override;
    int selStart_ = 0, selLength_ = 0;

private:
    friend class velorim_gui::ControlBridge;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool showing_ = false;
    bool alignmentSet_ = false, glueSelected_ = false;
    TAlignment textAlignment_ = taLeftJustify;
    int rightMargin_ = -1, leftMargin_ = 0;
    std::optional<std::string> glueText_;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

// A masked one-line edit over TMaskEngine: typing overwrites, skips literals
// and refuses invalid characters with a beep; Text follows the mask's
// save-literals field, with blanks as spaces.
class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return engine_.IsMasked(); }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    // The text as shown: literals and the blank character included.
    std::string EditText() const;
    void SetEditText(const std::string& text);
    // Raises EDBEditError when a required place is blank and puts the caret
    // there; a mask with every place blank (untouched or emptied) passes.
    virtual void ValidateEdit();
    // Validates (when masked) before OnExit fires.
    void DoExit() override;
    // A click in or after the blank places puts the caret on the first of them.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    const TMaskEngine& Engine() const { return engine_; }

protected:
    std::string DisplayText() const override;
    void DefaultKeyInput(WORD key, TShiftState shift, char ch) override;
    bool OwnsKeyInput() const override { return engine_.IsMasked(); }
    void WidgetEdited(const std::string& text) override;

private:
    void EngineChanged();
    TMaskEngine engine_;
    std::string editMask_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};

enum class TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// Multi-line edit; Lines is the source of truth and changing it (through any
// of its methods) updates the widget and fires OnChange.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    TStringList Lines;
    // The lines joined by CR LF, without a final line end.
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    int MaxLength = 0;
    bool WantReturns = true;
    bool WantTabs = false;
    bool Modified = false;
    TAlignment Alignment = taLeftJustify;
    void Clear() { Lines.Clear(); }
    TNotifyEvent OnChange;
    virtual void Change();
    int GetDlgCode() const override;

protected:
    void CreateWidget() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    friend class velorim_gui::ControlBridge;
    void LinesChanged();
    void ShowLines();
    void ShowScrollBars();
    void WidgetEdited(const std::string& text);
    bool readOnly_ = false, wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool updating_ = false, linesShown_ = false, scrollBarsSet_ = false;
};

enum class TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };

// Changing Checked (by code too) fires OnClick, as on the platform.
class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool AllowGrayed = false;
    TAlignment Alignment = taRightJustify;
    // Unchecked -> grayed (when allowed) -> checked -> unchecked.
    void Toggle();
    // The box the platform draws, without a caption: a box control of this
    // size shows it whole.
    static TSize BoxSize();

protected:
    void CreateWidget() override;
    void ClickAction() override { Toggle(); }
    void TextChanged() override;

private:
    friend class velorim_gui::ControlBridge;
    void ShowState();
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool stateShown_ = false, tristateShown_ = false;
};

// Radio buttons with the same parent form one group. Checking one unchecks
// the others and fires OnClick.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TAlignment Alignment = taRightJustify;

protected:
    // False for a button that keeps its group itself: it neither unchecks
    // its siblings nor is unchecked by them.
    virtual bool GroupsWithSiblings() const { return true; }
    void CreateWidget() override;
    void ClickAction() override { SetChecked(true); }
    void TextChanged() override;

private:
    friend class velorim_gui::ControlBridge;
    bool checked_ = false;
};

enum class TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList };

// Items and ItemIndex as the platform's combo box. A user's choice fires
// OnClick, then OnChange (or OnSelect when set); typing fires OnChange.
// Setting Text or ItemIndex by code fires nothing.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    TStringList Items;
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    int DropDownCount = 8;
    int MaxLength = 0;
    bool DroppedDown() const;
    void SetDroppedDown(bool value);
    void Clear();
    TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp;
    virtual void Change();
    // A choice of item index as the user makes it from the list.
    void SelectAsUser(int index);
    // Typing a whole text into the edit part (csDropDown) as the user does.
    void TypeAsUser(const std::string& text);
    // The widget's edit part (costly: an edit, a completer and their models)
    // is made when the widget is first shown, takes a key or is rendered.
    void MakeEditPart();

protected:
    void CreateWidget() override;
    void FontChanged() override;
    void ColorChanged() override;
    void DefaultKeyInput(WORD key, TShiftState shift, char ch) override;

private:
    friend class velorim_gui::ControlBridge;
    void ItemsChanged();
    void ShowState();
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int itemIndex_ = -1;
    bool sorted_ = false;
    bool updating_ = false;
    bool editPartPending_ = false;
    // The items the widget holds, as last shown.
    std::vector<std::string> shownItems_;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    TStringList Items;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    void Clear() { Items.Clear(); }
    std::string Text() const override;
    // The user picks an item (fires OnClick).
    void SelectAsUser(int index);
    // The width of the platform's scroll bar beside the items.
    static int ScrollBarWidth();

protected:
    void CreateWidget() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    friend class velorim_gui::ControlBridge;
    void ItemsChanged();
    void ShowState();
    int itemIndex_ = -1;
    bool multiSelect_ = false, sorted_ = false, updating_ = false;
    std::vector<bool> selected_;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    void CreateWidget() override;
    void TextChanged() override;
    void AdjustClientRect(TRect& rect) const override;
};

enum class TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
enum class TScrollCode : uint8_t {
    scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll
};
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind kind);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int PageSize() const { return pageSize_; }
    void SetMin(int v) { SetParams(position_, v, max_); }
    void SetMax(int v) { SetParams(position_, min_, v); }
    void SetPosition(int v) { SetParams(v, min_, max_); }
    void SetPageSize(int v);
    // Position clamped to min..max; OnChange fires when the position moves.
    void SetParams(int position, int min, int max);
    int SmallChange = 1;
    int LargeChange = 1;
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;
    // A scroll request as the user makes it: OnScroll may change the place.
    void Scroll(TScrollCode code, int position);

protected:
    void CreateWidget() override;

private:
    void ShowState();
    TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
    int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
    bool updating_ = false;
};

#pragma once
// The form controls of a document: each INPUT, SELECT and TEXTAREA becomes an
// object owning a real control of the GUI layer, placed on the viewer's paint
// panel by the layout. The objects belong to a ThtmlForm (one per FORM, plus
// one default form for controls outside any FORM).
#include <memory>
#include <string>
#include <vector>

#include "html/layout/form_control_obj.h"
#include "html/reader/html_symbols.h"
#include "platform/gui/stdctrls.h"

class TSectionList;
class TProperties;
class TImageObj;

// A new form for a FORM element, listed in the document's form list.
ThtmlForm* CreateForm(TSectionList* Master, TAttributeList* Attr);

// The control object for an INPUT, SELECT or TEXTAREA tag at character
// position Pos: TYPE chooses the kind of INPUT; SELECT is a list box with
// MULTIPLE or SIZE above 1, else a combo box. The object joins the open form
// (or the document's default form), the document's control list and, with a
// TABINDEX above 0, its tab-order list. The caller owns nothing: the form does.
TFormControlObj* CreateFormControl(Symb Which, TSectionList* Master, int Pos, TAttributeList* Attr);

// The form that gets controls outside any FORM (made on first need).
ThtmlForm* DefaultFormOf(TSectionList* Master);

// Shared wiring of the GUI control: parented on the paint panel, off-screen,
// the object's focus, click and key handlers.
class TFormControlBase : public TFormControlObj {
public:
    TFormControlBase(TSectionList* Master, int Position, TAttributeList* Attr);
    TWinControl* GetControl() const override { return control_; }
    void Realize() override;
    void ProcessProperties(TProperties* Prop) override;
    void DoOnChange() override;
    void SaveContents() override;
    // The value compared on exit to fire OnObjectChange.
    virtual std::string CurrentValue() const { return ""; }
    // The pointer moved over the control (control coordinates).
    void ControlMouseMove(TShiftState Shift, int X, int Y);
    TColor FontColor = clBlack;

protected:
    void Wire(TWinControl* c);
    // A key the control does not use goes to the viewer's key handling.
    void PassKeyToViewer(WORD& Key, TShiftState Shift);
    void EnterControl();
    void ExitControl();
    TWinControl* control_ = nullptr;
    std::unique_ptr<TWinControl> own_;
    std::string saved_;
    std::string fontName_;
    double fontSize_ = 0;
};

class TEditFormControlObj : public TFormControlBase {
public:
    TEditFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr, const std::string& Typ);
    TEdit* TheEdit() const { return edit_; }
    int EditSize = 15;
    bool Password = false;
    std::string InputType;  // "text", "password", "file", ...
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override;

private:
    TEdit* edit_;
};

class THiddenFormControlObj : public TFormControlObj {
public:
    THiddenFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
};

// The check box of a form: the arrow keys reach it, as they reach a radio
// button.
class TFormCheckBox : public TCheckBox {
public:
    explicit TFormCheckBox(TComponent* AOwner) : TCheckBox(AOwner) {}
    int GetDlgCode() const override { return DLGC_WANTARROWS; }
};

class TCheckBoxFormControlObj : public TFormControlBase {
public:
    TCheckBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    TCheckBox* TheBox() const { return box_; }
    bool IsChecked = false;  // initial state
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void ClearBeforeSetData() override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override { return box_->Checked() ? "1" : "0"; }

private:
    TCheckBox* box_;
};

// The radio control: keeps its own checked flag, and its form keeps the
// group (the page's other radios share its parent); checking it is a click.
class TFormRadioButton : public TRadioButton {
public:
    explicit TFormRadioButton(TComponent* AOwner) : TRadioButton(AOwner) {}
    bool IsChecked() const { return checked_; }
    // Does nothing while TAB is held or when unchanged: the window keeps
    // showing the flag.
    void SetIsChecked(bool Value);
    int GetDlgCode() const override { return DLGC_WANTARROWS; }
    void Click() override;
    bool TabHeld = false;  // while the TAB key is down on the button

protected:
    bool GroupsWithSiblings() const override { return false; }

private:
    void ShowState();
    bool checked_ = false;
    bool quiet_ = false;     // the window is being set: the click is ours to make
    bool clicking_ = false;  // a click is under way: checking in it makes none
};

class TRadioButtonFormControlObj : public TFormControlBase {
public:
    TRadioButtonFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    TFormRadioButton* TheButton() const { return button_; }
    bool IsChecked = false;  // initial state
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override { return button_->IsChecked() ? "1" : "0"; }
    // Arrow keys: the previous (-1) or next (+1) radio of the same name.
    TRadioButtonFormControlObj* Neighbour(int Direction) const;

private:
    TFormRadioButton* button_;
};

class TButtonFormControlObj : public TFormControlBase {
public:
    // Which: "submit", "reset", "button" or "file" (a file input's browse button).
    TButtonFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr, const std::string& Which);
    std::string Which;
    TButton* TheButton() const { return button_; }
    TEditFormControlObj* MyEdit = nullptr;  // the file input's edit
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    void ButtonClick();

private:
    TButton* button_;
};

class TImageFormControlObj : public TFormControlObj {
public:
    TImageFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    TImageObj* MyImage = nullptr;
    int XPos = -1, YPos = -1;
    // The point last found over the picture; a click submits it.
    int XTmp = 0, YTmp = 0;
    // A click at image coordinates: submits the form with them.
    void ImageClick(int X, int Y);
    bool GetSubmission(int Index, std::string& S) override;
};

// An option of a SELECT.
struct TOptionObj {
    std::string Value;
    bool Selected = false;
    std::unique_ptr<TStringList> Attributes;
};

class ThtOptionStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void Add(const std::u16string& Text, std::unique_ptr<TOptionObj> Obj);
    const std::u16string& Text(int i) const { return items_[static_cast<size_t>(i)].text; }
    std::string GetValue(int i) const;
    bool GetSelected(int i) const;
    void Clear() { items_.clear(); }

private:
    struct Item {
        std::u16string text;
        std::unique_ptr<TOptionObj> obj;
    };
    std::vector<Item> items_;
};

class TListBoxFormControlObj : public TFormControlBase {
public:
    TListBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    ThtOptionStringList TheOptions;
    int LBSize = -1;  // SIZE, -1 when not given
    bool Multiple = false;
    virtual void AddStr(const std::u16string& Text, const std::string& Value, bool Selected, TAttributeList* Attr);
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void ClearBeforeSetData() override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override;
    // The visible rows without SIZE: the options clamped to 1..8.
    int VisibleRows() const;
    TListBox* TheList() const { return list_; }

protected:
    TListBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr, bool Combo);
    TListBox* list_ = nullptr;
};

class TComboFormControlObj : public TListBoxFormControlObj {
public:
    TComboFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    void AddStr(const std::u16string& Text, const std::string& Value, bool Selected, TAttributeList* Attr) override;
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override;
    TComboBox* TheCombo() const { return combo_; }

private:
    TComboBox* combo_;
};

class TTextAreaFormControlObj : public TFormControlBase {
public:
    TTextAreaFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr);
    int Rows = 5, Cols = 30;
    bool Wrap = true;
    std::string TheText;  // the initial text, document code page
    void AddText(const std::string& S);
    void ResetToValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void SetData(int Index, const std::string& V) override;
    void SetHeightWidth(TCanvas& Canvas) override;
    void Draw(TCanvas& Canvas, int X1, int Y1) override;
    std::string CurrentValue() const override;
    TMemo* TheMemo() const { return memo_; }

private:
    void ShowText(const std::string& Text);
    TMemo* memo_;
};

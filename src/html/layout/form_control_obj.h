#pragma once
// What the document model knows of forms and form controls: the form
// (ThtmlForm), the base of every control object (TFormControlObj) with the
// fields the layout and the painting read, and the position-ordered list of a
// section's controls. The concrete controls derive from TFormControlObj.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/reader/viewer_types.h"
#include "platform/gui/canvas.h"
#include "platform/runtime/string_list.h"

class TSectionList;
class TFormControlObj;
class TWinControl;
class TProperties;

class ThtmlForm {
public:
    ThtmlForm(TSectionList* AMasterList, TAttributeList* L);
    virtual ~ThtmlForm();

    TSectionList* MasterList;
    std::string Method = "Get";
    std::string Action, Target, EncType;
    TFreeList<TFormControlObj> ControlList;
    int NonHiddenCount = 0;

    void InsertControl(TFormControlObj* Ctrl);  // takes ownership
    void ResetAllControls();
    void SubmitTheForm(const std::string& ButtonSubmission);
    std::unique_ptr<TStringList> CollectSubmission();
    void SizeControls(TCanvas& Canvas);
    void UncheckOtherRadios(TFormControlObj* RB);
    // Every control's data, for the history.
    std::unique_ptr<TStringList> GetFormSubmission();
    void SetFormData(const TStringList& SL);
};

class TFormControlObj : public TIDObject {
public:
    TFormControlObj(TSectionList* AMasterList, int Position, TAttributeList* L);
    ~TFormControlObj() override;

    int Pos = 0;
    TSectionList* MasterList;
    ThtmlForm* MyForm = nullptr;
    std::string Value, FName, FID, FTitle;
    std::string OnClickMessage, OnFocusMessage, OnBlurMessage, OnChangeMessage;
    bool Disabled = false;
    bool ReadOnly = false;
    std::unique_ptr<TStringList> AttributeList;
    bool Active = false;
    int YValue = 0;       // line top recorded by layout
    uint8_t VertAlign = 4;  // bottom
    bool PercentWidth = false;
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;  // margins
    int FWidth = 0, FHeight = 0;  // requested CSS size (0 none)
    bool BkColorSet = false;
    TColor BkColor = clNone;
    bool ShowIt = false;  // the control is on a drawn line
    bool Hidden = false;  // no character and no window (hidden input)
    int ListIndex = -1;   // place in the document's list of controls

    // Puts the control's window on the view. A page's first controls get it
    // as they are made, the others when they (or a neighbour) are first
    // drawn: a page of thousands of controls makes windows only for those
    // shown, as making and freeing many at once grows with their square.
    virtual void Realize() {}

    // Slot 0 (TIDObject).
    int GetYPosition() override { return YValue; }
    virtual TWinControl* GetControl() const { return nullptr; }
    virtual void DoOnChange() {}
    virtual void SaveContents() {}
    virtual void ProcessProperties(TProperties* Prop);
    // Paints a look-alike while printing.
    virtual void Draw(TCanvas& Canvas, int X1, int Y1) { (void)Canvas, (void)X1, (void)Y1; }
    virtual void ResetToValue() {}
    virtual bool GetSubmission(int Index, std::string& S) { (void)Index, (void)S; return false; }
    virtual void SetData(int Index, const std::string& V) { (void)Index, (void)V; }
    virtual void ClearBeforeSetData() {}
    virtual void SetHeightWidth(TCanvas& Canvas) { (void)Canvas; }

    // Size of the control (its window's, or the stored size without one).
    int Width() const;
    int Height() const;
    void SetWidth(int W);
    void SetHeight(int H);
    int Left() const;
    int Top() const;
    // Moves the window (when there is one) and shows it.
    void PlaceAt(int X, int Y);
    void Hide();
    bool IsRadio() const { return Radio; }
    bool IsCheckBox() const { return CheckBox; }
    bool IsImageInput() const { return ImageInput; }
    bool Focused() const;

protected:
    bool Radio = false, CheckBox = false, ImageInput = false;
    int width_ = 0, height_ = 0, left_ = -4000, top_ = 0;
};

// A section's controls in position order (not owned: their form owns them).
class TFormControlList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TFormControlObj* operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    void Add(TFormControlObj* C) {
        C->ListIndex = Count();
        items_.push_back(C);
    }
    void Clear() { items_.clear(); }
    void Remove(TFormControlObj* C);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // A section's controls stand in the order of their positions (each is
    // added at the end of its text, and deleting text moves the later ones
    // alike): the look-ups by position search them by halves.
    TFormControlObj* FindControl(int Posn) const;
    // Height and width with margins (-1 when none is there).
    int GetHeightAt(int Posn, bool& FormCheck) const;
    int GetWidthAt(int Posn, TFormControlObj*& FCObj) const;
    // Characters from Posn to the first control at or after it; 9999 when none.
    int CharsToNextControl(int Posn) const;
    void DecrementPositions(int N);

private:
    std::vector<TFormControlObj*>::const_iterator FirstAtOrAfter(int Posn) const;
    std::vector<TFormControlObj*> items_;
};

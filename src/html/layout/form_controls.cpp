#include "html/layout/form_controls.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "html/layout/borders.h"
#include "html/layout/document.h"
#include "html/layout/floating.h"
#include "html/layout/html_parser.h"
#include "html/layout/section.h"
#include "html/reader/style_props.h"
#include "platform/gui/application.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Attribute values are bytes of the document's code page; the controls show
// the program's Windows-1252 text.
std::string ToControlText(const std::string& s) {
    int cp = Readhtml::DocCodePage;
    if (cp == 0 || cp == 1252) return s;
    return WideStringToMultibyte(1252, MultibyteToWideString(cp, s));
}

std::string FromControlText(const std::string& s) {
    int cp = Readhtml::DocCodePage;
    if (!FormControlTextConversion || cp == 0 || cp == 1252) return s;
    return WideStringToMultibyte(cp, MultibyteToWideString(1252, s));
}

const TAttribute* Find(TAttributeList* L, Symb s) { return L ? L->Find(s) : nullptr; }

TWinControl* PanelOf(TSectionList* Master) {
    return Master ? dynamic_cast<TWinControl*>(Master->PPanel) : nullptr;
}

// A page's first controls, and those with a place in the tab order of their
// own, get their window as they are made.
void RealizeEarly(TSectionList* Master, TFormControlObj* c, const TAttribute* tabIndex) {
    constexpr int kMadeAtOnce = 200;
    if (Master->FormControlList.Count() <= kMadeAtOnce || (tabIndex && tabIndex->NumValue > 0)) c->Realize();
}

int FontHeightOf(TCanvas& Canvas, const TFont& font) {
    Canvas.SetFont(font);
    return Canvas.TextHeight("A");
}

}  // namespace

// ---------------------------------------------------------------- forms

ThtmlForm* CreateForm(TSectionList* Master, TAttributeList* Attr) {
    auto* f = new ThtmlForm(Master, Attr);
    if (Master) Master->htmlFormList.Add(f);
    return f;
}

ThtmlForm* DefaultFormOf(TSectionList* Master) {
    if (!Readhtml::DefaultForm || Readhtml::SectionList != Master) {
        Readhtml::DefaultForm = CreateForm(Master, nullptr);
    }
    return Readhtml::DefaultForm;
}

TFormControlObj* CreateFormControl(Symb Which, TSectionList* Master, int Pos, TAttributeList* Attr) {
    TFormControlObj* c = nullptr;
    if (Which == InputSy) {
        std::string t;
        if (const TAttribute* a = Find(Attr, TypeSy)) t = Lower(a->TextValue);
        if (t == "submit" || t == "reset" || t == "button")
            c = new TButtonFormControlObj(Master, Pos, Attr, t);
        else if (t == "radio")
            c = new TRadioButtonFormControlObj(Master, Pos, Attr);
        else if (t == "checkbox")
            c = new TCheckBoxFormControlObj(Master, Pos, Attr);
        else if (t == "hidden")
            c = new THiddenFormControlObj(Master, Pos, Attr);
        else if (t == "image")
            c = new TImageFormControlObj(Master, Pos, Attr);
        else
            c = new TEditFormControlObj(Master, Pos, Attr, t.empty() ? "text" : t);
    } else if (Which == SelectSy) {
        const TAttribute* size = Find(Attr, SizeSy);
        if (Find(Attr, MultipleSy) || (size && size->NumValue > 1))
            c = new TListBoxFormControlObj(Master, Pos, Attr);
        else
            c = new TComboFormControlObj(Master, Pos, Attr);
    } else if (Which == TextAreaSy) {
        c = new TTextAreaFormControlObj(Master, Pos, Attr);
    }
    if (!c) return nullptr;
    ThtmlForm* form = Readhtml::CurrentForm ? Readhtml::CurrentForm : DefaultFormOf(Master);
    if (form) form->InsertControl(c);
    if (Master) {
        Master->FormControlList.Add(c);
        const TAttribute* tab = Find(Attr, TabIndexSy);
        RealizeEarly(Master, c, tab);
        if (!c->FID.empty()) Master->IDNameList.AddObject(Lower(c->FID), c);
        TWinControl* w = c->GetControl();
        if (tab && tab->NumValue > 0 && w) {
            char key[24];
            std::snprintf(key, sizeof key, "%.5d%.3d", tab->NumValue, static_cast<int>(Master->TabOrderList.size()) % 1000);
            auto& list = Master->TabOrderList;
            auto at = std::upper_bound(list.begin(), list.end(), std::string(key),
                                       [](const std::string& k, const auto& e) { return k < e.first; });
            list.insert(at, {std::string(key), w});
        }
    }
    return c;
}

// ---------------------------------------------------------------- shared base

TFormControlBase::TFormControlBase(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlObj(Master, Position, Attr) {}

void TFormControlBase::Realize() {
    TWinControl* panel = PanelOf(MasterList);
    if (!control_ || !panel || control_->Parent()) return;
    control_->SetParent(panel);
    // The tab order follows the document among the controls on the view.
    std::vector<int>& done = MasterList->RealizedControls;
    const TFormControlList& all = MasterList->FormControlList;
    if (ListIndex < 0 || ListIndex >= all.Count() || all[ListIndex] != this) return;
    const auto at = std::lower_bound(done.begin(), done.end(), ListIndex);
    const bool last = at == done.end();
    const int order = static_cast<int>(at - done.begin());
    done.insert(at, ListIndex);
    if (!last) control_->SetTabOrder(order);
}

void TFormControlBase::Wire(TWinControl* c) {
    own_.reset(c);
    control_ = c;
    c->SetBounds(-4000, 0, c->Width() > 0 ? c->Width() : 10, c->Height() > 0 ? c->Height() : 10);
    left_ = -4000;
    c->SetEnabled(!Disabled);
    c->OnEnter = [this](TObject*) { EnterControl(); };
    c->OnExit = [this](TObject*) { ExitControl(); };
    TNotifyEvent previous = c->OnClick;
    c->OnClick = [this, previous](TObject* s) {
        if (previous) previous(s);
        if (MasterList && MasterList->ObjectClick) MasterList->ObjectClick(MasterList->TheOwner, this, OnClickMessage);
    };
    c->OnMouseMove = [this](TObject*, TShiftState shift, int x, int y) { ControlMouseMove(shift, x, y); };
    if (!FTitle.empty()) {
        c->SetHint(ToControlText(FTitle));
        c->SetShowHint(true);
    }
}

void TFormControlBase::PassKeyToViewer(WORD& Key, TShiftState Shift) {
    if (!MasterList || !MasterList->ViewerKeyDown) return;
    uint16_t k = Key;
    MasterList->ViewerKeyDown(k, Shift);
    Key = k;
}

void TFormControlBase::ControlMouseMove(TShiftState Shift, int X, int Y) {
    // The view hears of the move as one over its panel at the same place, so
    // that a link or picture hovered before is left.
    if (TWinControl* panel = PanelOf(MasterList))
        if (control_->Parent() == panel) panel->MouseMove(Shift, X + control_->Left(), Y + control_->Top());
}

void TFormControlBase::EnterControl() {
    Active = true;
    if (MasterList && MasterList->ControlEnterEvent) MasterList->ControlEnterEvent(control_, YValue, false);
    if (MasterList && MasterList->ObjectFocus) MasterList->ObjectFocus(MasterList->TheOwner, this, OnFocusMessage);
    if (!OnChangeMessage.empty()) SaveContents();
}

void TFormControlBase::ExitControl() {
    Active = false;
    if (!OnChangeMessage.empty()) DoOnChange();
    if (MasterList && MasterList->ObjectBlur) MasterList->ObjectBlur(MasterList->TheOwner, this, OnBlurMessage);
}

void TFormControlBase::SaveContents() { saved_ = CurrentValue(); }

void TFormControlBase::DoOnChange() {
    if (CurrentValue() != saved_ && MasterList && MasterList->ObjectChange)
        MasterList->ObjectChange(MasterList->TheOwner, this, OnChangeMessage);
}

void TFormControlBase::ProcessProperties(TProperties* Prop) {
    if (!Prop) return;
    MargArrayO o;
    for (int i = MargLow; i <= MargHigh; ++i) o[static_cast<size_t>(i)] = Prop->Props[static_cast<size_t>(i)];
    MargArray m{};
    int autoCount = 0;
    ConvMargArray(o, 100, 100, Prop->EmSize, Prop->ExSize, autoCount, m);
    const TPropValue& w = Prop->Props[piWidth];
    if (w.IsText() && w.Text().find('%') != std::string::npos) {
        PercentWidth = true;
        FWidth = std::min(100, std::max(0, LengthConv(w.Text(), false, 100, 0, Prop->ExSize, Prop->EmSize)));
    } else if (m[piWidth] > 0 && m[piWidth] != Auto) {
        FWidth = m[piWidth];
    }
    if (m[piHeight] > 0 && m[piHeight] != Auto) FHeight = m[piHeight];
    bool border = Prop->HasBorder();
    auto side = [&](int margin, int bw) { return std::max(0, m[static_cast<size_t>(margin)]) + (border ? std::max(0, m[static_cast<size_t>(bw)]) : 0); };
    HSpaceL = side(piMarginLeft, piBorderLeftWidth);
    HSpaceR = side(piMarginRight, piBorderRightWidth);
    VSpaceT = side(piMarginTop, piBorderTopWidth);
    VSpaceB = side(piMarginBottom, piBorderBottomWidth);
    TColor bk = Prop->GetBackgroundColor();
    if (bk != clNone && control_ && (dynamic_cast<TEdit*>(control_) || dynamic_cast<TListBox*>(control_) ||
                                     dynamic_cast<TMemo*>(control_))) {
        BkColorSet = true;
        BkColor = bk;
        control_->SetColor(bk);
    }
    int va;
    if (Prop->GetVertAlign(va)) VertAlign = static_cast<uint8_t>(va);
    if (control_) {
        std::unique_ptr<TMyFont> f = Prop->GetFont();
        if (f) {
            control_->SetFont(*f);
            FontColor = f->Color();
        }
    }
}

// ---------------------------------------------------------------- edit

TEditFormControlObj::TEditFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr,
                                         const std::string& Typ)
    : TFormControlBase(Master, Position, Attr), InputType(Typ) {
    edit_ = new TEdit(nullptr);
    Wire(edit_);
    Password = Typ == "password";
    if (Password) edit_->SetPasswordChar('*');
    if (const TAttribute* a = Find(Attr, MaxLengthSy))
        if (a->NumValue > 0) edit_->SetMaxLength(ClampPageLength(a->NumValue));
    if (const TAttribute* a = Find(Attr, SizeSy)) {
        std::string v = a->TextValue;
        size_t cut = v.find_first_of(" ,");
        if (cut != std::string::npos) {
            bool found = false;
            EditSize = PageInteger(v.substr(0, cut), &found);
            if (!found) EditSize = 20;
        } else if (a->NumValue > 0) {
            EditSize = ClampPageLength(a->NumValue);
        }
    }
    edit_->SetReadOnly(ReadOnly);
    edit_->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        // Enter in a single-line edit submits its form.
        if (Key == VK_RETURN && MyForm) {
            Key = 0;
            MyForm->SubmitTheForm("");
        }
    };
}

void TEditFormControlObj::ResetToValue() { edit_->SetText(ToControlText(Value)); }

std::string TEditFormControlObj::CurrentValue() const { return edit_->Text(); }

bool TEditFormControlObj::GetSubmission(int Index, std::string& S) {
    if (Index != 0) return false;
    S = FName + "=" + FromControlText(edit_->Text());
    return true;
}

void TEditFormControlObj::SetData(int, const std::string& V) { edit_->SetText(V); }

void TEditFormControlObj::SetHeightWidth(TCanvas& Canvas) {
    Canvas.SetFont(edit_->Font());
    TTextMetric tm;
    Canvas.GetTextMetrics(tm);
    int h = std::max(FHeight, tm.tmHeight + 6);
    if (PercentWidth) {
        edit_->SetBounds(-4000, 0, 10, h);
        return;
    }
    int w = FWidth >= 10 ? FWidth : EditSize * tm.tmAveCharWidth + 23;
    edit_->SetBounds(edit_->Left(), edit_->Top(), w, std::max(h, tm.tmHeight));
}

void TEditFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    int x2 = X1 + Width(), y2 = Y1 + Height();
    FormControlRect(Canvas, X1, Y1, x2, y2, false, false, false, BkColorSet ? BkColor : clWhite);
    Canvas.SetFont(edit_->Font());
    std::string t = edit_->Text();
    if (Password) t.assign(t.size(), '*');
    Canvas.SetBkMode(1);
    TRect r{X1 + 4, Y1, x2 - 2, y2};
    Canvas.TextRect(r, X1 + 4, Y1 + (Height() - Canvas.TextHeight("A")) / 2, t);
}

// ---------------------------------------------------------------- hidden

THiddenFormControlObj::THiddenFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlObj(Master, Position, Attr) {
    Hidden = true;
}

bool THiddenFormControlObj::GetSubmission(int Index, std::string& S) {
    if (Index != 0) return false;
    S = FName + "=" + Value;
    return true;
}

void THiddenFormControlObj::SetData(int, const std::string& V) { Value = V; }

// ---------------------------------------------------------------- check box

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlBase(Master, Position, Attr) {
    CheckBox = true;
    if (Value.empty()) Value = "on";
    IsChecked = Find(Attr, CheckedSy) != nullptr;
    box_ = new TFormCheckBox(nullptr);
    Wire(box_);
    const TSize box = TCheckBox::BoxSize();
    box_->SetBounds(-4000, 0, box.cx, box.cy);
    // Space toggles the box; the arrows and the paging keys scroll the view
    // (the platform's own box would move the focus with the arrows).
    box_->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { PassKeyToViewer(Key, Shift); };
}

void TCheckBoxFormControlObj::ResetToValue() { box_->SetChecked(IsChecked); }

bool TCheckBoxFormControlObj::GetSubmission(int Index, std::string& S) {
    if (Index != 0 || !box_->Checked()) return false;
    S = FName + "=" + Value;
    return true;
}

void TCheckBoxFormControlObj::SetData(int, const std::string& V) {
    if (Lower(V) == Lower(FName + "=" + Value) || V == Value) box_->SetChecked(true);
}

void TCheckBoxFormControlObj::ClearBeforeSetData() { box_->SetChecked(false); }

void TCheckBoxFormControlObj::SetHeightWidth(TCanvas&) {
    const TSize box = TCheckBox::BoxSize();
    box_->SetBounds(box_->Left(), box_->Top(), box.cx, box.cy);
}

void TCheckBoxFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    FormControlRect(Canvas, X1, Y1, X1 + Width(), Y1 + Height(), false, false, Disabled, clWhite);
    if (box_->Checked()) {
        Canvas.Pen().SetColor(Disabled ? clGray : clBlack);
        Canvas.MoveTo(X1 + 3, Y1 + 6);
        Canvas.LineTo(X1 + 5, Y1 + 9);
        Canvas.LineTo(X1 + 10, Y1 + 3);
    }
}

// ---------------------------------------------------------------- radio button

void TFormRadioButton::SetIsChecked(bool Value) {
    if (TabHeld || Value == checked_) {
        ShowState();
        return;
    }
    checked_ = Value;
    SetTabStop(Value);
    ShowState();
    if (Value) Click();
}

void TFormRadioButton::ShowState() {
    quiet_ = true;
    SetChecked(checked_);
    quiet_ = false;
}

void TFormRadioButton::Click() {
    if (quiet_ || clicking_) return;
    clicking_ = true;
    try {
        TRadioButton::Click();
    } catch (...) {
        clicking_ = false;
        throw;
    }
    clicking_ = false;
}

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlBase(Master, Position, Attr) {
    Radio = true;
    IsChecked = Find(Attr, CheckedSy) != nullptr;
    button_ = new TFormRadioButton(nullptr);
    Wire(button_);
    bool big = Screen && Screen->PixelsPerInch() > 100;
    button_->SetBounds(-4000, 0, big ? 16 : 13, big ? 16 : 14);
    // A click checks the button (a click made by checking it finds it
    // checked), reports, and unchecks the rest of its group.
    button_->OnClick = [this, prev = button_->OnClick](TObject* s) {
        button_->SetIsChecked(true);
        if (prev) prev(s);
        if (MyForm && button_->IsChecked()) MyForm->UncheckOtherRadios(this);
    };
    button_->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (Key == VK_TAB) button_->TabHeld = true;
        int dir = (Key == VK_LEFT || Key == VK_UP) ? -1 : (Key == VK_RIGHT || Key == VK_DOWN) ? 1 : 0;
        if (dir == 0) {
            PassKeyToViewer(Key, Shift);
            return;
        }
        Key = 0;
        if (TRadioButtonFormControlObj* n = Neighbour(dir)) n->button_->SetFocus();
    };
    button_->OnKeyUp = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_TAB) button_->TabHeld = false;
    };
    // The key's release goes to the control the TAB moved to.
    button_->OnExit = [this, prev = button_->OnExit](TObject* s) {
        button_->TabHeld = false;
        if (prev) prev(s);
    };
}

TRadioButtonFormControlObj* TRadioButtonFormControlObj::Neighbour(int Direction) const {
    if (!MyForm) return nullptr;
    std::vector<TRadioButtonFormControlObj*> group;
    int me = -1;
    for (const auto& c : MyForm->ControlList) {
        auto* r = dynamic_cast<TRadioButtonFormControlObj*>(c.get());
        if (!r || Lower(r->FName) != Lower(FName)) continue;
        if (r == this) me = static_cast<int>(group.size());
        group.push_back(r);
    }
    int n = me + Direction;
    if (me < 0 || n < 0 || n >= static_cast<int>(group.size())) return nullptr;
    return group[static_cast<size_t>(n)];
}

void TRadioButtonFormControlObj::ResetToValue() {
    bool held = button_->TabHeld;
    button_->TabHeld = false;
    button_->SetIsChecked(IsChecked);
    button_->TabHeld = held;
}

bool TRadioButtonFormControlObj::GetSubmission(int Index, std::string& S) {
    if (Index != 0 || !button_->IsChecked()) return false;
    S = FName + "=" + Value;
    return true;
}

void TRadioButtonFormControlObj::SetData(int, const std::string& V) {
    if (Lower(V) == Lower(FName + "=" + Value)) button_->SetIsChecked(true);
}

void TRadioButtonFormControlObj::SetHeightWidth(TCanvas&) {}

void TRadioButtonFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    Canvas.Pen().SetColor(clBlack);
    Canvas.Brush().SetColor(clWhite);
    Canvas.Ellipse(X1, Y1, X1 + 13, Y1 + 13);
    if (button_->IsChecked()) {
        Canvas.Brush().SetColor(Disabled ? clGray : clBlack);
        Canvas.Ellipse(X1 + 4, Y1 + 4, X1 + 9, Y1 + 9);
    }
}

// ---------------------------------------------------------------- buttons

TButtonFormControlObj::TButtonFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr,
                                             const std::string& AWhich)
    : TFormControlBase(Master, Position, Attr), Which(AWhich) {
    button_ = new TButton(nullptr);
    Wire(button_);
    std::string caption = Value;
    if (caption.empty())
        caption = Which == "submit" ? "Submit" : Which == "reset" ? "Reset" : Which == "file" ? "Browse..." : "Button";
    button_->SetCaption(ToControlText(caption));
    button_->OnClick = [this, prev = button_->OnClick](TObject* s) {
        if (prev) prev(s);
        ButtonClick();
    };
}

void TButtonFormControlObj::ButtonClick() {
    if (Which == "submit") {
        if (MyForm) MyForm->SubmitTheForm(FName.empty() ? std::string() : FName + "=" + Value);
    } else if (Which == "reset") {
        if (MyForm) MyForm->ResetAllControls();
    } else if (Which == "file" && MyEdit) {
        std::string s = MyEdit->TheEdit()->Text();
        if (MasterList && MasterList->FileBrowse) {
            MasterList->FileBrowse(MasterList->TheOwner, MyEdit, s);
            MyEdit->TheEdit()->SetText(s);
        }
    }
}

void TButtonFormControlObj::SetHeightWidth(TCanvas& Canvas) {
    int h = FontHeightOf(Canvas, button_->Font()) + 8;
    int w = (FWidth >= 10 && !PercentWidth) ? FWidth : Canvas.TextWidth(button_->Text()) + 20;
    button_->SetBounds(button_->Left(), button_->Top(), w, h);
}

void TButtonFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    int x2 = X1 + Width(), y2 = Y1 + Height();
    FormControlRect(Canvas, X1, Y1, x2, y2, true, false, false, clBtnFace);
    Canvas.SetFont(button_->Font());
    Canvas.SetBkMode(1);
    std::string t = button_->Text();
    Canvas.TextOut(X1 + (Width() - Canvas.TextWidth(t)) / 2, Y1 + (Height() - Canvas.TextHeight(t)) / 2, t);
}

// ---------------------------------------------------------------- image input

TImageFormControlObj::TImageFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlObj(Master, Position, Attr) {
    ImageInput = true;
}

void TImageFormControlObj::ImageClick(int X, int Y) {
    XPos = X;
    YPos = Y;
    if (MyForm) MyForm->SubmitTheForm("");
}

bool TImageFormControlObj::GetSubmission(int Index, std::string& S) {
    if (XPos < 0 || Index > 1) return false;
    S = FName + "." + (Index == 0 ? "x=" + std::to_string(XPos) : "y=" + std::to_string(YPos));
    return true;
}

// ---------------------------------------------------------------- options

void ThtOptionStringList::Add(const std::u16string& Text, std::unique_ptr<TOptionObj> Obj) {
    items_.push_back({Text, std::move(Obj)});
}

std::string ThtOptionStringList::GetValue(int i) const {
    if (i < 0 || i >= Count()) return "";
    return items_[static_cast<size_t>(i)].obj->Value;
}

bool ThtOptionStringList::GetSelected(int i) const {
    if (i < 0 || i >= Count()) return false;
    return items_[static_cast<size_t>(i)].obj->Selected;
}

// ---------------------------------------------------------------- list box

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr, bool)
    : TFormControlBase(Master, Position, Attr) {
    if (const TAttribute* a = Find(Attr, SizeSy)) LBSize = ClampPageLength(a->NumValue);
    Multiple = Find(Attr, MultipleSy) != nullptr;
}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TListBoxFormControlObj(Master, Position, Attr, false) {
    list_ = new TListBox(nullptr);
    Wire(list_);
    list_->SetMultiSelect(Multiple);
}

void TListBoxFormControlObj::AddStr(const std::u16string& Text, const std::string& V, bool Selected,
                                    TAttributeList* Attr) {
    auto o = std::make_unique<TOptionObj>();
    o->Value = V;
    o->Selected = Selected;
    if (Attr) o->Attributes = Attr->CreateStringList();
    TheOptions.Add(Text, std::move(o));
    if (list_) list_->Items.Add(WideStringToMultibyte(1252, Text));
}

int TListBoxFormControlObj::VisibleRows() const {
    if (LBSize > 0) return LBSize;
    return std::clamp(TheOptions.Count(), 1, 8);
}

void TListBoxFormControlObj::ResetToValue() {
    if (!list_) return;
    list_->SetItemIndex(-1);
    for (int i = 0; i < TheOptions.Count(); ++i) {
        bool s = TheOptions.GetSelected(i);
        if (Multiple)
            list_->SetSelected(i, s);
        else if (s)
            list_->SetItemIndex(i);
    }
}

std::string TListBoxFormControlObj::CurrentValue() const {
    std::string v;
    if (!list_) return v;
    for (int i = 0; i < TheOptions.Count(); ++i)
        if (Multiple ? list_->Selected(i) : list_->ItemIndex() == i) v += std::to_string(i) + ",";
    return v;
}

bool TListBoxFormControlObj::GetSubmission(int Index, std::string& S) {
    int found = -1;
    for (int i = 0; i < TheOptions.Count(); ++i) {
        bool sel = Multiple ? list_->Selected(i) : list_->ItemIndex() == i;
        if (sel && ++found == Index) {
            S = FName + "=" + TheOptions.GetValue(i);
            return true;
        }
    }
    return false;
}

void TListBoxFormControlObj::ClearBeforeSetData() {
    if (!list_) return;
    if (Multiple)
        for (int i = 0; i < TheOptions.Count(); ++i) list_->SetSelected(i, false);
    else
        list_->SetItemIndex(-1);
}

void TListBoxFormControlObj::SetData(int, const std::string& V) {
    for (int i = 0; i < TheOptions.Count(); ++i)
        if (Lower(TheOptions.GetValue(i)) == Lower(V)) {
            if (Multiple)
                list_->SetSelected(i, true);
            else
                list_->SetItemIndex(i);
        }
}

void TListBoxFormControlObj::SetHeightWidth(TCanvas& Canvas) {
    int rowH = FontHeightOf(Canvas, list_->Font());
    int h = FHeight >= 10 ? FHeight : VisibleRows() * rowH;
    int w = FWidth;
    if (w <= 0 || PercentWidth) {
        int widest = 0;
        for (int i = 0; i < TheOptions.Count(); ++i) widest = std::max(widest, Canvas.TextWidth(TheOptions.Text(i)));
        w = widest + TListBox::ScrollBarWidth() + 10;
    }
    list_->SetBounds(list_->Left(), list_->Top(), w, h);
}

void TListBoxFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    int x2 = X1 + Width(), y2 = Y1 + Height();
    FormControlRect(Canvas, X1, Y1, x2, y2, false, false, false, BkColorSet ? BkColor : clWhite);
    Canvas.SetFont(list_->Font());
    Canvas.SetBkMode(1);
    int rowH = Canvas.TextHeight("A");
    for (int i = 0; i < VisibleRows() && i < TheOptions.Count(); ++i) {
        TRect r{X1 + 2, Y1 + 2 + i * rowH, x2 - 2, Y1 + 2 + (i + 1) * rowH};
        if (r.Bottom > y2) break;
        Canvas.TextRect(r, X1 + 4, r.Top, TheOptions.Text(i));
    }
}

// ---------------------------------------------------------------- combo box

TComboFormControlObj::TComboFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TListBoxFormControlObj(Master, Position, Attr, true) {
    combo_ = new TComboBox(nullptr);
    combo_->SetStyle(TComboBoxStyle::csDropDownList);
    Wire(combo_);
}

void TComboFormControlObj::AddStr(const std::u16string& Text, const std::string& V, bool Selected,
                                  TAttributeList* Attr) {
    TListBoxFormControlObj::AddStr(Text, V, Selected, Attr);
    combo_->Items.Add(WideStringToMultibyte(1252, Text));
}

void TComboFormControlObj::ResetToValue() {
    int first = TheOptions.Count() > 0 ? 0 : -1;
    for (int i = 0; i < TheOptions.Count(); ++i)
        if (TheOptions.GetSelected(i)) {
            first = i;
            break;
        }
    combo_->SetItemIndex(first);
}

std::string TComboFormControlObj::CurrentValue() const { return std::to_string(combo_->ItemIndex()); }

bool TComboFormControlObj::GetSubmission(int Index, std::string& S) {
    int i = combo_->ItemIndex();
    if (Index != 0 || i < 0) return false;
    S = FName + "=" + TheOptions.GetValue(i);
    return true;
}

void TComboFormControlObj::SetData(int, const std::string& V) {
    for (int i = 0; i < TheOptions.Count(); ++i)
        if (Lower(TheOptions.GetValue(i)) == Lower(V)) combo_->SetItemIndex(i);
}

void TComboFormControlObj::SetHeightWidth(TCanvas& Canvas) {
    int h = FontHeightOf(Canvas, combo_->Font()) + 8;
    int w = FWidth;
    if (w < 10 || PercentWidth) {
        int widest = 0;
        for (int i = 0; i < TheOptions.Count(); ++i) widest = std::max(widest, Canvas.TextWidth(TheOptions.Text(i)));
        w = widest + 30;
    }
    combo_->SetBounds(combo_->Left(), combo_->Top(), w, h);
}

void TComboFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    int x2 = X1 + Width(), y2 = Y1 + Height();
    FormControlRect(Canvas, X1, Y1, x2, y2, false, false, false, BkColorSet ? BkColor : clWhite);
    Canvas.SetFont(combo_->Font());
    Canvas.SetBkMode(1);
    int i = combo_->ItemIndex();
    if (i >= 0 && i < TheOptions.Count()) {
        TRect r{X1 + 2, Y1, x2 - 18, y2};
        Canvas.TextRect(r, X1 + 4, Y1 + (Height() - Canvas.TextHeight("A")) / 2, TheOptions.Text(i));
    }
}

// ---------------------------------------------------------------- text area

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* Master, int Position, TAttributeList* Attr)
    : TFormControlBase(Master, Position, Attr) {
    if (const TAttribute* a = Find(Attr, RowsSy))
        if (a->NumValue > 0) Rows = ClampPageLength(a->NumValue);
    if (const TAttribute* a = Find(Attr, ColsSy))
        if (a->NumValue > 0) Cols = ClampPageLength(a->NumValue);
    if (const TAttribute* a = Find(Attr, WrapSy)) Wrap = Lower(a->TextValue) != "off";
    memo_ = new TMemo(nullptr);
    Wire(memo_);
    memo_->SetWordWrap(Wrap);
    memo_->SetReadOnly(ReadOnly);
    memo_->SetScrollBars(Wrap ? TScrollStyle::ssVertical : TScrollStyle::ssBoth);
}

void TTextAreaFormControlObj::AddText(const std::string& S) { TheText += S; }

// Wrapping a line grows with the square of its length in the edit's layout:
// a text with a line longer than this is shown unwrapped, scrolled sideways.
void TTextAreaFormControlObj::ShowText(const std::string& Text) {
    constexpr size_t kLongestWrappedLine = 4096;
    size_t longest = 0, start = 0;
    for (size_t i = 0; i <= Text.size(); ++i)
        if (i == Text.size() || Text[i] == '\n' || Text[i] == '\r') {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    const bool wrap = Wrap && longest <= kLongestWrappedLine;
    if (wrap != memo_->WordWrap()) {
        memo_->SetWordWrap(wrap);
        memo_->SetScrollBars(wrap ? TScrollStyle::ssVertical : TScrollStyle::ssBoth);
    }
    memo_->SetText(Text);
}

void TTextAreaFormControlObj::ResetToValue() { ShowText(ToControlText(TheText)); }

std::string TTextAreaFormControlObj::CurrentValue() const { return memo_->Text(); }

bool TTextAreaFormControlObj::GetSubmission(int Index, std::string& S) {
    if (Index != 0) return false;
    S = FName + "=" + FromControlText(memo_->Text());
    return true;
}

void TTextAreaFormControlObj::SetData(int, const std::string& V) { ShowText(V); }

void TTextAreaFormControlObj::SetHeightWidth(TCanvas& Canvas) {
    int rowH = FontHeightOf(Canvas, memo_->Font());
    int h = FHeight >= 10 ? FHeight : Rows * rowH + 8;
    int w = PercentWidth ? 50 : FWidth >= 10 ? FWidth : Cols * Canvas.TextWidth("s") + 24;
    memo_->SetBounds(memo_->Left(), memo_->Top(), w, h);
}

void TTextAreaFormControlObj::Draw(TCanvas& Canvas, int X1, int Y1) {
    int x2 = X1 + Width(), y2 = Y1 + Height();
    FormControlRect(Canvas, X1, Y1, x2, y2, false, false, false, BkColorSet ? BkColor : clWhite);
    Canvas.SetFont(memo_->Font());
    Canvas.SetBkMode(1);
    int rowH = Canvas.TextHeight("A");
    for (int i = 0; i < memo_->Lines.Count(); ++i) {
        TRect r{X1 + 2, Y1 + 2 + i * rowH, x2 - 2, Y1 + 2 + (i + 1) * rowH};
        if (r.Bottom > y2) break;
        Canvas.TextRect(r, X1 + 4, r.Top, memo_->Lines[i]);
    }
}

// ---------------------------------------------------------------- in a paragraph

// The paragraph side of a control: its placeholder characters, and the image
// of an image input or the browse button of a file input.
TFormControlObj* TSection::AddFormControl(Symb Which, TSectionList* AMasterList, TAttributeList* L,
                                          TCellBasic* ACell, int Index, TProperties* Prop) {
    const int pos = static_cast<int>(BuffS.size());
    TFormControlObj* c = CreateFormControl(Which, AMasterList, pos, L);
    if (!c) return nullptr;
    const char code = (ParserNoBreak || IsPreFormated()) ? 'n' : 'y';
    if (auto* image = dynamic_cast<TImageFormControlObj*>(c)) {
        TImageObj* img = AddImage(L, ACell, Index);
        img->MyFormControl = c;
        image->MyImage = img;
    } else if (auto* edit = dynamic_cast<TEditFormControlObj*>(c); edit && edit->InputType == "file") {
        FormControls.Add(c);
        AddPlaceholder(Index, 'n');
        auto* browse = new TButtonFormControlObj(AMasterList, static_cast<int>(BuffS.size()), nullptr, "file");
        browse->MyEdit = edit;
        if (c->MyForm) c->MyForm->InsertControl(browse);
        if (AMasterList) {
            AMasterList->FormControlList.Add(browse);
            RealizeEarly(AMasterList, browse, nullptr);
        }
        FormControls.Add(browse);
        AddPlaceholder(Index, 'n');
    } else if (!c->Hidden) {
        FormControls.Add(c);
        AddPlaceholder(Index, code);
    }
    if (Prop && (Prop->DisplayNone() || Prop->GetVisibility() == 1)) {
        c->Hide();
        if (TWinControl* w = c->GetControl()) w->SetVisible(false);
    }
    return c;
}

#include "html/layout/form_control_obj.h"

#include <algorithm>

#include "html/layout/document.h"
#include "html/layout/form_controls.h"
#include "platform/gui/controls.h"
#include "platform/runtime/strutil.h"

// ---------------------------------------------------------------- ThtmlForm

ThtmlForm::ThtmlForm(TSectionList* AMasterList, TAttributeList* L) : MasterList(AMasterList) {
    if (L) {
        for (const auto& a : *L) {
            switch (a->Symbol) {
            case MethodSy: Method = a->TextValue.substr(0, 4); break;
            case ActionSy: Action = a->TextValue; break;
            case TargetSy: Target = a->TextValue; break;
            case EncTypeSy: EncType = a->TextValue; break;
            default: break;
            }
        }
    }
}

ThtmlForm::~ThtmlForm() = default;

void ThtmlForm::InsertControl(TFormControlObj* Ctrl) {
    ControlList.Add(Ctrl);
    Ctrl->MyForm = this;
    if (!Ctrl->Hidden) ++NonHiddenCount;
}

void ThtmlForm::ResetAllControls() {
    for (const auto& c : ControlList) c->ResetToValue();
}

std::unique_ptr<TStringList> ThtmlForm::CollectSubmission() {
    auto result = std::make_unique<TStringList>();
    for (const auto& c : ControlList) {
        if (c->Disabled) continue;
        std::string s;
        for (int i = 0; c->GetSubmission(i, s); ++i)
            if (!s.empty()) result->Add(s);
    }
    return result;
}

void ThtmlForm::SubmitTheForm(const std::string& ButtonSubmission) {
    if (!MasterList || !MasterList->SubmitForm) return;
    auto sl = CollectSubmission();
    if (!ButtonSubmission.empty()) sl->Add(ButtonSubmission);
    MasterList->SubmitForm(MasterList->TheOwner, Action, Target, EncType, Method, sl.get());
}

void ThtmlForm::SizeControls(TCanvas& Canvas) {
    for (const auto& c : ControlList) c->SetHeightWidth(Canvas);
}

void ThtmlForm::UncheckOtherRadios(TFormControlObj* RB) {
    if (!RB || !RB->IsRadio()) return;
    for (const auto& c : ControlList) {
        if (c.get() == RB || !c->IsRadio() || !SameText(c->FName, RB->FName)) continue;
        auto* button = dynamic_cast<TFormRadioButton*>(c->GetControl());
        if (!button || !button->IsChecked()) continue;
        button->SetIsChecked(false);  // which takes its tab stop too
        c->DoOnChange();
    }
}

std::unique_ptr<TStringList> ThtmlForm::GetFormSubmission() {
    auto result = std::make_unique<TStringList>();
    for (const auto& c : ControlList) {
        std::string s;
        for (int i = 0; c->GetSubmission(i, s); ++i) result->Add(s);
    }
    return result;
}

void ThtmlForm::SetFormData(const TStringList& SL) {
    for (const auto& c : ControlList) c->ClearBeforeSetData();
    for (int i = 0; i < SL.Count(); ++i)
        for (const auto& c : ControlList) c->SetData(i, SL[i]);
}

// ---------------------------------------------------------------- TFormControlObj

TFormControlObj::TFormControlObj(TSectionList* AMasterList, int Position, TAttributeList* L)
    : Pos(Position), MasterList(AMasterList), AttributeList(std::make_unique<TStringList>()) {
    if (L) {
        for (const auto& a : *L) {
            switch (a->Symbol) {
            case ValueSy: Value = a->TextValue; break;
            case NameSy: FName = a->TextValue; break;
            case IDSy: FID = a->TextValue; break;
            case TitleSy: FTitle = a->TextValue; break;
            case OnClickSy: OnClickMessage = a->TextValue; break;
            case OnFocusSy: OnFocusMessage = a->TextValue; break;
            case OnBlurSy: OnBlurMessage = a->TextValue; break;
            case OnChangeSy: OnChangeMessage = a->TextValue; break;
            case DisabledSy: Disabled = a->TextValue != "no" && a->TextValue != "0"; break;
            case ReadonlySy: ReadOnly = true; break;
            default: break;
            }
        }
        AttributeList = L->CreateStringList();
    }
}

TFormControlObj::~TFormControlObj() = default;

void TFormControlObj::ProcessProperties(TProperties* Prop) { (void)Prop; }

int TFormControlObj::Width() const {
    if (TWinControl* c = GetControl()) return c->Width();
    return width_;
}

int TFormControlObj::Height() const {
    if (TWinControl* c = GetControl()) return c->Height();
    return height_;
}

void TFormControlObj::SetWidth(int W) {
    width_ = W;
    if (TWinControl* c = GetControl()) c->SetWidth(W);
}

void TFormControlObj::SetHeight(int H) {
    height_ = H;
    if (TWinControl* c = GetControl()) c->SetHeight(H);
}

int TFormControlObj::Left() const {
    if (TWinControl* c = GetControl()) return c->Left();
    return left_;
}

int TFormControlObj::Top() const {
    if (TWinControl* c = GetControl()) return c->Top();
    return top_;
}

void TFormControlObj::PlaceAt(int X, int Y) {
    left_ = X;
    top_ = Y;
    ShowIt = true;
    Realize();
    // The neighbours too, so that the tab key reaches the controls beyond the
    // view.
    if (MasterList) {
        const TFormControlList& all = MasterList->FormControlList;
        for (int i : {ListIndex - 1, ListIndex + 1})
            if (i >= 0 && i < all.Count() && all[i]) all[i]->Realize();
    }
    if (TWinControl* c = GetControl()) {
        c->SetBounds(X, Y, c->Width(), c->Height());
        c->Show();
    }
}

void TFormControlObj::Hide() {
    if (TWinControl* c = GetControl()) c->Hide();
}

bool TFormControlObj::Focused() const { return Active; }

// ---------------------------------------------------------------- TFormControlList

void TFormControlList::Remove(TFormControlObj* C) {
    items_.erase(std::remove(items_.begin(), items_.end(), C), items_.end());
}

std::vector<TFormControlObj*>::const_iterator TFormControlList::FirstAtOrAfter(int Posn) const {
    return std::lower_bound(items_.begin(), items_.end(), Posn,
                            [](const TFormControlObj* c, int p) { return c->Pos < p; });
}

TFormControlObj* TFormControlList::FindControl(int Posn) const {
    const auto it = FirstAtOrAfter(Posn);
    return it != items_.end() && (*it)->Pos == Posn ? *it : nullptr;
}

int TFormControlList::GetHeightAt(int Posn, bool& FormCheck) const {
    TFormControlObj* c = FindControl(Posn);
    if (!c) return -1;
    FormCheck = c->IsRadio() || c->IsCheckBox();
    return c->Height() + c->VSpaceT + c->VSpaceB;
}

int TFormControlList::GetWidthAt(int Posn, TFormControlObj*& FCObj) const {
    FCObj = FindControl(Posn);
    if (!FCObj) return -1;
    return FCObj->Width() + FCObj->HSpaceL + FCObj->HSpaceR;
}

int TFormControlList::CharsToNextControl(int Posn) const {
    const auto it = FirstAtOrAfter(Posn);
    return it != items_.end() ? std::min(9999, (*it)->Pos - Posn) : 9999;
}

void TFormControlList::DecrementPositions(int N) {
    for (auto* c : items_)
        if (c->Pos > N) --c->Pos;
}

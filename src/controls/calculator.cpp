#include "controls/calculator.h"

#include "controls/control_bitmaps.h"
#include "controls/currency_edit.h"
#include "controls/number_rules.h"
#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/stdctrls.h"
#include "platform/runtime/formats.h"

namespace {

struct TKeyLook {
    const char* Caption;
    int GlyphCell;  // -1: the caption shows
    TColor Color;
};

TKeyLook LookOf(TCalcBtnKind kind) {
    switch (kind) {
        case cbSgn: return {"±", 2, clBtnText};
        case cbDcm: return {nullptr, -1, clBtnText};
        case cbDiv: return {"/", -1, clPurple};
        case cbMul: return {"*", 3, clPurple};
        case cbSub: return {"-", 4, clPurple};
        case cbAdd: return {"+", 5, clPurple};
        case cbSqr: return {"sqrt", -1, clNavy};
        case cbPcnt: return {"%", -1, clNavy};
        case cbRev: return {"1/x", -1, clNavy};
        case cbEql: return {"=", -1, clPurple};
        case cbBck: return {"<-", -1, clMaroon};
        case cbClr: return {"C", -1, clMaroon};
        case cbMP: return {"MP", -1, clNavy};
        case cbMS: return {"MS", -1, clNavy};
        case cbMR: return {"MR", -1, clNavy};
        case cbMC: return {"MC", -1, clNavy};
        case cbOk: return {"", 1, clBtnText};
        case cbCancel: return {"", 0, clBtnText};
        default: return {nullptr, -1, clBtnText};  // digits
    }
}

struct TKeyPlace {
    TCalcBtnKind Kind;
    int Left, Top, Width;  // Width 0: the layout's key width
};

// Where the keys sit in the standard (36 x 22 keys) and popup (21 x 21) layouts.
const TKeyPlace kNormal[] = {
    {cbNum7, 47, 32, 0},  {cbNum8, 85, 32, 0},   {cbNum9, 123, 32, 0}, {cbNum4, 47, 56, 0},
    {cbNum5, 85, 56, 0},  {cbNum6, 123, 56, 0},  {cbNum1, 47, 80, 0},  {cbNum2, 85, 80, 0},
    {cbNum3, 123, 80, 0}, {cbNum0, 47, 104, 0},  {cbSgn, 85, 104, 0},  {cbDcm, 123, 104, 0},
    {cbDiv, 161, 32, 0},  {cbMul, 161, 56, 0},   {cbSub, 161, 80, 0},  {cbAdd, 161, 104, 0},
    {cbSqr, 199, 32, 0},  {cbPcnt, 199, 56, 0},  {cbRev, 199, 80, 0},  {cbEql, 199, 104, 0},
    {cbBck, 145, 6, 44},  {cbClr, 191, 6, 44},   {cbMP, 5, 104, 0},    {cbMS, 5, 80, 0},
    {cbMR, 5, 56, 0},     {cbMC, 5, 32, 0},      {cbOk, 47, 6, 0},     {cbCancel, 85, 6, 0},
};
const TKeyPlace kPopup[] = {
    {cbNum7, 6, 6, 0},   {cbNum8, 29, 6, 0},  {cbNum9, 52, 6, 0},  {cbNum4, 6, 29, 0},  {cbNum5, 29, 29, 0},
    {cbNum6, 52, 29, 0}, {cbNum1, 6, 52, 0},  {cbNum2, 29, 52, 0}, {cbNum3, 52, 52, 0}, {cbNum0, 6, 75, 0},
    {cbSgn, 52, 75, 0},  {cbDcm, 29, 75, 0},  {cbDiv, 75, 6, 0},   {cbMul, 75, 29, 0},  {cbSub, 75, 52, 0},
    {cbAdd, 75, 75, 0},  {cbEql, 52, 98, 44}, {cbBck, 29, 98, 0},  {cbClr, 6, 98, 0},
};

// Pixel pictures of the key glyphs, one string per row of a 14 x 13 cell:
// 'k' black, 'r' maroon, 'g' green, anything else clear.
const char* const kGlyphRows[6][13] = {
    {"", "", "  rr    rr", "   rr  rr", "    rrrr", "     rr", "    rrrr", "   rr  rr", "  rr    rr", "", "", "",
     ""},
    {"", "", "          gg", "         gg", "        gg", "  gg   gg", "   gg gg", "    ggg", "     g", "", "", "",
     ""},
    {"", "      k", "      k", "    kkkkk", "      k", "      k", "", "    kkkkk", "", "", "", "", ""},
    {"", "", "", "    k   k", "     k k", "      k", "     k k", "    k   k", "", "", "", "", ""},
    {"", "", "", "", "", "    kkkkk", "", "", "", "", "", "", ""},
    {"", "", "", "      k", "      k", "    kkkkk", "      k", "      k", "", "", "", "", ""},
};

TColor InkColor(char c) {
    switch (c) {
        case 'k': return clBlack;
        case 'r': return clMaroon;
        case 'g': return clGreen;
        default: return clFuchsia;
    }
}

TBitmap MakeCalcGlyphs() {
    TBitmap b(84, 13, TPixelFormat::pf24bit);
    TCanvas& c = b.Canvas();
    c.FillRect(TRect{0, 0, 84, 13}, clFuchsia);
    for (int cell = 0; cell < 6; ++cell)
        for (int y = 0; y < 13; ++y)
            for (int x = 0; kGlyphRows[cell][y][x] && x < 14; ++x) {
                const TColor ink = InkColor(kGlyphRows[cell][y][x]);
                if (ink != clFuchsia) c.FillRect(TRect{cell * 14 + x, y, cell * 14 + x + 1, y + 1}, ink);
            }
    b.SetTransparentColor(clFuchsia);
    return b;
}

}  // namespace

namespace RxCalc {

const TBitmap& CalcButtonGlyphs() {
    static const TBitmap glyphs = MakeCalcGlyphs();
    return glyphs;
}

void SetCalculatorFont(TFont& Font) {
    Font.SetName("MS Sans Serif");
    Font.SetSize(8);
    Font.SetColor(clWindowText);
    Font.SetStyle(fsBold);
}

std::unique_ptr<TPopupWindow> CreatePopupCalculator(TCustomComboEdit* AOwner) {
    return std::make_unique<TPopupCalculator>(AOwner);
}

void SetupPopupCalculator(TPopupWindow* PopupCalc, int APrecision, bool ABeepOnError) {
    auto* popup = dynamic_cast<TPopupCalculator*>(PopupCalc);
    if (!popup) return;
    popup->Calculator()->SetPrecision(APrecision < 2 ? 2 : APrecision);
    popup->Calculator()->SetBeepOnError(ABeepOnError);
}

}  // namespace RxCalc

// ------------------------------------------------------------------- keys

TCalcButton::TCalcButton(TComponent* AOwner, TCalcBtnKind kind) : TRxSpeedButton(AOwner), kind_(kind) {
    Tag = kind - 1;
    const TKeyLook look = LookOf(kind);
    keyColor_ = look.Color;
    if (look.GlyphCell >= 0) {
        TBitmap cell;
        ControlUtils::CopyBitmapCell(RxCalc::CalcButtonGlyphs(), cell, 6, look.GlyphCell, 1);
        SetGlyph(cell);
    } else if (kind == cbDcm) {
        SetCaption(std::string(1, FormatSettings.DecimalSeparator));
    } else if (look.Caption) {
        SetCaption(look.Caption);
    } else {
        SetCaption(std::string(1, char('0' + kind - cbNum0)));
    }
    FontChanged();
}

void TCalcButton::FontChanged() {
    if (!applying_ && Font().Color() != keyColor_) {
        applying_ = true;
        Font().SetColor(keyColor_);
        applying_ = false;
    }
    TRxSpeedButton::FontChanged();
}

// ----------------------------------------------------------------- panel

TCalculatorPanel::TCalculatorPanel(TComponent* AOwner, TCalculatorLayout layout)
    : TPanel(AOwner), layout_(layout) {
    RxCalc::SetCalculatorFont(Font());
    const bool normal = layout == clNormal;
    SetBounds(0, 0, normal ? 240 : 98, normal ? 129 : 124);
    const int keyW = normal ? 36 : 21, keyH = normal ? 22 : 21;
    buttons_.assign(cbCancel + 1, nullptr);
    auto place = [&](const TKeyPlace& p) {
        auto* b = new TCalcButton(this, p.Kind);
        b->SetBounds(p.Left, p.Top, p.Width ? p.Width : keyW, keyH);
        b->SetParent(this);
        b->OnClick = [this, kind = p.Kind](TObject*) { KeyClicked(kind); };
        buttons_[p.Kind] = b;
    };
    if (normal) {
        for (const TKeyPlace& p : kNormal) place(p);
        memoryPanel_ = new TPanel(this);
        memoryPanel_->SetBevelOuter(TPanelBevel::bvLowered);
        memoryPanel_->SetBounds(6, 7, 34, 20);
        memoryPanel_->SetParent(this);
        memoryLabel_ = new TLabel(this);
        memoryLabel_->SetAutoSize(false);
        memoryLabel_->SetAlignment(taCenter);
        memoryLabel_->SetBounds(3, 3, 26, 14);
        memoryLabel_->SetParent(memoryPanel_);
        displayPanel_ = new TPanel(this);
        displayPanel_->SetCaption("");
        displayPanel_->SetBevelOuter(TPanelBevel::bvNone);
        displayPanel_->SetBounds(0, 0, Width(), 24);
        auto* text = new TLabel(this);
        text->SetAutoSize(false);
        text->SetAlignment(taRightJustify);
        text->SetParent(displayPanel_);
        text->SetAlign(TAlign::alClient);
        text->SetCaption(engine_.Text());
        display_ = text;
    } else {
        for (const TKeyPlace& p : kPopup) place(p);
    }
    ApplyCtl3D();

    engine_.OnBeep = [] { MessageBeep(0); };
    engine_.OnCopy = [](const std::string& text) { Clipboard().SetAsText(text); };
    engine_.OnPaste = [](std::string& text) {
        if (!Clipboard().HasFormat(CF_TEXT)) return false;
        text = Clipboard().AsText();
        return true;
    };
    engine_.OnTextChange = [this] { TextUpdated(); };
    engine_.OnError = [this] {
        if (OnError) OnError(this);
    };
    engine_.OnOk = [this] {
        if (OnOk) OnOk(this);
    };
    engine_.OnCancel = [this] {
        if (OnCancel) OnCancel(this);
    };
    engine_.OnResult = [this] {
        if (OnResult) OnResult(this);
    };
    engine_.OnDisplayChange = [this] {
        if (OnDisplayChange) OnDisplayChange(this);
    };
    engine_.OnKey = [this](char& key) {
        if (OnCalcKey) OnCalcKey(this, key);
    };
}

void TCalculatorPanel::SetDisplayControl(TControl* control) {
    display_ = control;
    if (display_) display_->SetCaption(engine_.Text());
}

void TCalculatorPanel::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    ApplyCtl3D();
}

void TCalculatorPanel::ApplyCtl3D() {
    for (TCalcButton* b : buttons_)
        if (b) b->SetStyle(ctl3D_ ? bsNew : bsWin31);
    if (!displayPanel_) return;
    displayPanel_->SetBevelInner(ctl3D_ ? TPanelBevel::bvLowered : TPanelBevel::bvNone);
    displayPanel_->SetBorderStyle(ctl3D_ ? TBorderStyle::bsNone : TBorderStyle::bsSingle);
}

void TCalculatorPanel::TextUpdated() {
    if (display_) display_->SetCaption(engine_.Text());
    if (OnTextChange) OnTextChange(this);
}

TCalcButton* TCalculatorPanel::Button(TCalcBtnKind kind) const {
    return kind > cbNone && kind <= cbCancel ? buttons_[kind] : nullptr;
}

void TCalculatorPanel::UpdateMemoryLabel() {
    if (memoryLabel_) memoryLabel_->SetCaption(engine_.Memory() != 0 ? "M" : "");
}

void TCalculatorPanel::KeyClicked(TCalcBtnKind kind) {
    engine_.KeyClicked(kind);
    if (kind >= cbMP && kind <= cbMC) UpdateMemoryLabel();
}

void TCalculatorPanel::KeyPressed(char key) {
    const int tag = RxCalc::KeyTag(key);
    if (tag >= 0) {
        if (TCalcButton* b = Button(TCalcBtnKind(tag + 1))) {
            b->PerformClick();
            return;
        }
    }
    engine_.ProcessKey(key);
}

TLocCalculator::TLocCalculator(TComponent* AOwner) : TCalculatorPanel(AOwner, clPopup) {
    SetBevelOuter(TPanelBevel::bvRaised);
    SetTabStop(false);
    SetPrecision(15);
}

// ------------------------------------------------------ drop-down calculator

TPopupCalculator::TPopupCalculator(TCustomComboEdit* AOwner) : TPopupWindow(AOwner) {
    SetBounds(0, 0, 104, 127);
    SetColor(clBtnFace);
    RxCalc::SetCalculatorFont(Font());
    calculator_ = new TLocCalculator(this);
    calculator_->SetParent(this);
    calculator_->SetAlign(TAlign::alClient);
    calculator_->OnResult = [this](TObject*) {
        if (calculator_->State() == ceError) return;
        calculator_->SetDisplayValue(calculator_->DisplayValue());
        Finish(true);
    };
    calculator_->OnTextChange = [this](TObject*) {
        if (auto* edit = dynamic_cast<TCustomNumEdit*>(Editor())) edit->ShowDisplayText();
        InvalidateEditor();
    };
}

TPopupValue TPopupCalculator::ReadValue() {
    if (calculator_->State() == ceError) {
        if (calculator_->BeepOnError()) MessageBeep(0);
        return TPopupValue::Null();
    }
    return TPopupValue::OfNumber(calculator_->DisplayValue());
}

void TPopupCalculator::WriteValue(const TPopupValue& value) {
    long double number = 0;
    if (value.Kind == TPopupValue::vkNumber || value.Kind == TPopupValue::vkDate)
        number = value.Number;
    else if (value.Kind == TPopupValue::vkText && !TryStrToFloat(CurrEdit::NormalizeNumberText(value.Text), number))
        number = 0;
    calculator_->ClearAll();
    calculator_->SetDisplayValue(number);
}

void TPopupCalculator::KeyPress(char& key) { calculator_->KeyPressed(key); }

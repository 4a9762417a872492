#include "controls/speed_button.h"

#include <chrono>
#include <thread>

#include "controls/control_bitmaps.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"

namespace {

// Text measured on a canvas, as the layout asks for it.
class TCanvasMeasure : public TTextMeasure {
public:
    explicit TCanvasMeasure(TCanvas& canvas) : canvas_(canvas) {}
    int TextWidth(const std::string& text) override { return canvas_.TextWidth(text); }
    TSize TextBox(const std::string& text, int width, bool wordWrap) override {
        TRect r{0, 0, width, 0};
        canvas_.DrawText(text, r, DT_CALCRECT | DT_CENTER | (wordWrap ? DT_WORDBREAK : 0));
        return TSize{r.Width(), r.Height()};
    }

private:
    TCanvas& canvas_;
};

int glyphUsers = 0;

// Every pixel but the transparent colour and the button face turns grey.
void GrayOut(TBitmap& cell, TColor transparent) {
    const TColor key = ColorToRGB(transparent) & 0xFFFFFF;
    const TColor face = ColorToRGB(clBtnFace) & 0xFFFFFF;
    for (int y = 0; y < cell.Height(); ++y)
        for (int x = 0; x < cell.Width(); ++x) {
            const TColor c = ColorToRGB(cell.GetPixel(x, y)) & 0xFFFFFF;
            if (c == key || c == face) continue;
            const int g = RXCtrls::GrayLevel(GetRValue(c), GetGValue(c), GetBValue(c));
            cell.Canvas().SetPixel(x, y, RGB(g, g, g));
        }
}

}  // namespace

// ------------------------------------------------------------- button glyph

TRxButtonGlyph::TRxButtonGlyph() { ++glyphUsers; }

TRxButtonGlyph::~TRxButtonGlyph() {
    Invalidate();
    --glyphUsers;
}

void TRxButtonGlyph::Changed() {
    if (OnChange) OnChange();
}

void TRxButtonGlyph::Invalidate() {
    if (list_) {
        for (int& index : indexes_) {
            list_->Delete(index);
            index = -1;
        }
        GlyphCache::ReturnList(list_);
        list_ = nullptr;
    }
    indexes_.fill(-1);
}

void TRxButtonGlyph::SetGlyph(const TBitmap& bitmap) {
    Invalidate();
    glyph_.Assign(bitmap);
    transparentColor_ = glyph_.Empty() ? clFuchsia : glyph_.TransparentColor();
    if (!glyph_.Empty()) numGlyphs_ = RXCtrls::NumGlyphsForStrip(glyph_.Width(), glyph_.Height(), numGlyphs_);
    Changed();
}

void TRxButtonGlyph::SetNumGlyphs(int value) {
    value = RXCtrls::ClampNumGlyphs(value);
    if (value == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = value;
    Changed();
}

void TRxButtonGlyph::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Changed();
}

void TRxButtonGlyph::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    Changed();
}

void TRxButtonGlyph::SetImages(const TCustomImageList* images, int index) {
    if (images == images_ && index == imageIndex_) return;
    if (glyph_.Empty()) Invalidate();
    images_ = images;
    imagesAlive_ = images ? images->WeakRef() : std::weak_ptr<TComponent*>();
    imageIndex_ = index;
    Changed();
}

bool TRxButtonGlyph::UsesImages() const {
    return glyph_.Empty() && images_ && !imagesAlive_.expired() && images_->Used(imageIndex_);
}

TSize TRxButtonGlyph::GlyphSize() const {
    if (UsesImages()) return TSize{images_->Width(), images_->Height()};
    if (glyph_.Empty()) return TSize{0, 0};
    return TSize{glyph_.Width() / numGlyphs_, glyph_.Height()};
}

int TRxButtonGlyph::CreateButtonGlyph(TRxButtonState state) {
    if (state == rbsDown && numGlyphs_ < 3) state = rbsUp;
    if (indexes_[state] != -1) return indexes_[state];
    if (UsesImages()) return CreateImageGlyph(state);
    if (glyph_.Empty()) return -1;
    const int w = glyph_.Width() / numGlyphs_, h = glyph_.Height();
    if (w <= 0 || h <= 0) return -1;
    if (!list_) list_ = GlyphCache::GetList(w, h);

    TBitmap cell(w, h, TPixelFormat::pf24bit);
    cell.Canvas().FillRect(TRect{0, 0, w, h}, ColorToRGB(clBtnFace));
    const int index = int(state) < numGlyphs_ ? int(state) : 0;
    cell.Canvas().CopyRect(TRect{0, 0, w, h}, glyph_.Canvas(), TRect{index * w, 0, index * w + w, h});

    if (state == rbsDisabled && numGlyphs_ == 1) {
        auto disabled = ControlUtils::CreateDisabledBitmap(cell, transparentColor_);
        indexes_[state] = list_->AddMasked(*disabled, clBtnFace);
    } else if (state == rbsInactive && numGlyphs_ < 5) {
        GrayOut(cell, transparentColor_);
        indexes_[state] = list_->AddMasked(cell, transparentColor_);
    } else {
        indexes_[state] = list_->AddMasked(cell, transparentColor_);
    }
    return indexes_[state];
}

// The state images of an image-list picture: up as it is, disabled
// embossed, inactive in grey; the others as up.
int TRxButtonGlyph::CreateImageGlyph(TRxButtonState state) {
    const int w = images_->Width(), h = images_->Height();
    if (!list_) list_ = GlyphCache::GetList(w, h);
    TBitmap cell(w, h, TPixelFormat::pf24bit);
    cell.Canvas().FillRect(TRect{0, 0, w, h}, ColorToRGB(clFuchsia));
    if (state == rbsDisabled) {
        ControlUtils::DrawDisabledImage(*images_, cell.Canvas(), 0, 0, imageIndex_, true, clBtnShadow, clBtnHighlight);
    } else {
        images_->Draw(cell.Canvas(), 0, 0, imageIndex_);
        if (state == rbsInactive) GrayOut(cell, clFuchsia);
    }
    indexes_[state] = list_->AddMasked(cell, clFuchsia);
    return indexes_[state];
}

void TRxButtonGlyph::DrawButtonText(TCanvas& canvas, const std::string& caption, TRect bounds,
                                    TRxButtonState state) {
    if (caption.empty()) return;
    unsigned flags = DT_VCENTER;
    flags |= alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    if (wordWrap_) flags |= DT_WORDBREAK;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.SetBkMode(TRANSPARENT);
    if (state == rbsDisabled) {
        const TColor saved = canvas.Font().Color();
        TRect shifted = bounds;
        OffsetRect(shifted, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(caption, shifted, flags);
        canvas.Font().SetColor(clBtnShadow);
        canvas.DrawText(caption, bounds, flags);
        canvas.Font().SetColor(saved);
    } else {
        canvas.DrawText(caption, bounds, flags);
    }
}

void TRxButtonGlyph::DrawPopupMark(TCanvas& canvas, int x, int y, TRxButtonState state) {
    auto draw = [&](int dx, int dy, TColor color) {
        for (int row = 0; row < 4; ++row) {
            RXCtrls::TArrowRow r = RXCtrls::DropDownArrowRow(x + dx, y + dy, row);
            canvas.FillRect(TRect{r.Left, r.Y, r.Right, r.Y + 1}, ColorToRGB(color));
        }
    };
    if (state == rbsDisabled) {
        draw(1, 1, clBtnHighlight);
        draw(0, 0, clBtnShadow);
    } else {
        draw(0, 0, clBtnText);
    }
}

TRect TRxButtonGlyph::Draw(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
                           TButtonLayout layout, int margin, int spacing, bool dropDownArrow, TRxButtonState state,
                           TRxButtonState imageState) {
    TCanvasMeasure measure(canvas);
    RXCtrls::TGlyphLayout l = RXCtrls::CalcLayout(client, offset, layout, margin, spacing, GlyphSize(), caption,
                                                  wordWrap_, dropDownArrow, measure);
    const int index = CreateButtonGlyph(imageState);
    if (index >= 0 && list_) list_->Draw(canvas, l.GlyphPos.X, l.GlyphPos.Y, index);
    TRect text = l.TextBounds;
    if (dropDownArrow) text.Right -= (GlyphSize().cx == 0 || layout == blGlyphLeft) ? RXCtrls::DropDownArrowWidth : 0;
    DrawButtonText(canvas, l.Caption, text, state);
    if (dropDownArrow) {
        int x = text.Right + 1, y = (client.Top + client.Bottom) / 2 - 2 + offset.Y;
        if (GlyphSize().cx != 0 && layout != blGlyphLeft) {
            x = l.GlyphPos.X + GlyphSize().cx + 1;
            y = l.GlyphPos.Y + GlyphSize().cy / 2 - 2;
        }
        DrawPopupMark(canvas, x, y, state);
    }
    return text;
}

// -------------------------------------------------------------- speed button

namespace RXCtrls {

TRect DrawButtonFrame(TCanvas& canvas, const TRect& client, bool down, bool flat, bool newStyle) {
    TRect r = client;
    auto hline = [&](int x1, int x2, int y, TColor c) { canvas.FillRect(TRect{x1, y, x2, y + 1}, ColorToRGB(c)); };
    auto vline = [&](int x, int y1, int y2, TColor c) { canvas.FillRect(TRect{x, y1, x + 1, y2}, ColorToRGB(c)); };
    auto bevel = [&](const TRect& b, TColor topLeft, TColor bottomRight) {
        hline(b.Left, b.Right - 1, b.Top, topLeft);
        vline(b.Left, b.Top, b.Bottom - 1, topLeft);
        hline(b.Left, b.Right, b.Bottom - 1, bottomRight);
        vline(b.Right - 1, b.Top, b.Bottom, bottomRight);
    };
    if (flat) {
        bevel(r, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : clBtnShadow);
        InflateRect(r, -2, -2);
        return r;
    }
    if (!newStyle) {
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(r);
        InflateRect(r, -1, -1);
        if (down) {
            hline(r.Left, r.Right, r.Top, clBtnShadow);
            vline(r.Left, r.Top, r.Bottom, clBtnShadow);
        } else {
            bevel(r, clBtnHighlight, clBtnShadow);
        }
        InflateRect(r, -1, -1);
        return r;
    }
    if (down) {
        bevel(r, cl3DDkShadow, clBtnHighlight);
        InflateRect(r, -1, -1);
        bevel(r, clBtnShadow, cl3DLight);
    } else {
        bevel(r, clBtnHighlight, cl3DDkShadow);
        InflateRect(r, -1, -1);
        bevel(r, cl3DLight, clBtnShadow);
    }
    InflateRect(r, -1, -1);
    return r;
}

}  // namespace RXCtrls

TRxSpeedButton::TRxSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlUtils::RegisterCursors();
    clickOnRelease_ = false;  // the press and release logic below decides
    SetBounds(Left(), Top(), 25, 25);
    SetShowHint(true);
    glyph_.OnChange = [this] { Invalidate(); };
}

TRxSpeedButton::~TRxSpeedButton() { glyph_.OnChange = nullptr; }

void TRxSpeedButton::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    UpdateExclusive();
}

void TRxSpeedButton::SetAllowAllUp(bool value) {
    if (value == allowAllUp_) return;
    allowAllUp_ = value;
    UpdateExclusive();
}

void TRxSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = value;
    if (value) {
        state_ = rbsExclusive;
        UpdateExclusive();
    } else {
        state_ = rbsUp;
    }
    Invalidate();
}

void TRxSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TRxSpeedButton*>(Parent()->Controls(i));
        if (sibling && sibling != this) sibling->ButtonPressed(this);
    }
}

void TRxSpeedButton::ButtonPressed(TRxSpeedButton* sender) {
    if (!sender || sender == this || sender->groupIndex_ != groupIndex_) return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = rbsUp;
        Invalidate();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TRxSpeedButton::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TRxSpeedButton::SetStyle(TButtonStyle value) {
    if (value == style_) return;
    style_ = value;
    Invalidate();
}

void TRxSpeedButton::SetLayout(TButtonLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TRxSpeedButton::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    Invalidate();
}

void TRxSpeedButton::SetMargin(int value) {
    if (value == margin_ || value < -1) return;
    margin_ = value;
    Invalidate();
}

void TRxSpeedButton::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TRxSpeedButton::SetGrayedInactive(bool value) {
    if (value == grayedInactive_) return;
    grayedInactive_ = value;
    Invalidate();
}

void TRxSpeedButton::SetMarkDropDown(bool value) {
    if (value == markDropDown_) return;
    markDropDown_ = value;
    Invalidate();
}

void TRxSpeedButton::SetDropDownMenu(TPopupMenu* menu) {
    if (menu == dropDownMenu_) return;
    dropDownMenu_ = menu;
    Invalidate();
}

void TRxSpeedButton::SetGlyph(const TBitmap& bitmap) {
    glyph_.SetGlyph(bitmap);
    Invalidate();
}

void TRxSpeedButton::SetNumGlyphs(int value) {
    glyph_.SetNumGlyphs(value);
    Invalidate();
}

void TRxSpeedButton::SetAllowTimer(bool value) {
    allowTimer_ = value;
    if (!value && repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TRxSpeedButton::SetEnabled(bool enabled) {
    TGraphicControl::SetEnabled(enabled);
    if (!enabled) {
        state_ = rbsDisabled;
        dragging_ = false;
        if (repeatTimer_) repeatTimer_->SetEnabled(false);
        MouseLeave();
    } else if (state_ == rbsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? rbsExclusive : rbsUp;
    }
    Invalidate();
}

void TRxSpeedButton::FontChanged() {
    TGraphicControl::FontChanged();
    glyph_.Invalidate();
    Invalidate();
}

void TRxSpeedButton::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    if (message.Msg != RXCtrls::WM_SYSCOLORCHANGE) return;
    glyph_.Invalidate();
    Invalidate();
}

bool TRxSpeedButton::UseNewStyle() const { return style_ != bsWin31; }

void TRxSpeedButton::Paint() {
    if (!Enabled()) {
        state_ = rbsDisabled;
        dragging_ = false;
    } else if (state_ == rbsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? rbsExclusive : rbsUp;
    }
    TRxButtonState paintState = state_;
    if (flat_ && !mouseInControl_ && state_ != rbsDisabled) paintState = rbsInactive;

    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    TRect r{0, 0, Width(), Height()};
    if (transparent_)
        ControlUtils::PaintParentBackground(*this, canvas);
    else
        canvas.FillRect(r, ColorToRGB(clBtnFace));

    const bool pressed = state_ == rbsDown || state_ == rbsExclusive;
    if (!flat_ || !(paintState == rbsInactive && state_ != rbsExclusive))
        r = RXCtrls::DrawButtonFrame(canvas, r, pressed, flat_, UseNewStyle());
    else
        InflateRect(r, -2, -2);

    if (state_ == rbsExclusive && !transparent_ && (!flat_ || paintState == rbsInactive)) {
        const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                canvas.FillRect(TRect{x, y, x + 1, y + 1}, ((x + y) & 1) ? light : face);
    }
    const TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
    TRxButtonState imageState = state_;
    if (paintState == rbsInactive && state_ != rbsDisabled && grayedInactive_) imageState = rbsInactive;
    const bool arrow = markDropDown_ && dropDownMenu_ != nullptr;
    PaintFace(canvas, r, offset, arrow, state_ == rbsDisabled ? rbsDisabled : paintState, imageState);
}

void TRxSpeedButton::PaintFace(TCanvas& canvas, const TRect& rect, TPoint offset, bool drawArrow,
                               TRxButtonState state, TRxButtonState imageState) {
    glyph_.Draw(canvas, rect, offset, Caption(), layout_, margin_, spacing_, drawArrow, state, imageState);
}

void TRxSpeedButton::MouseEnter() {
    if (mouseInControl_ || !Enabled()) return;
    mouseInControl_ = true;
    if (flat_) Invalidate();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TRxSpeedButton::MouseLeave() {
    if (!mouseInControl_) return;
    mouseInControl_ = false;
    if (flat_) Invalidate();
    if (OnMouseLeave) OnMouseLeave(this);
}

void TRxSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled() || menuTracking_) return;
    if (!mouseInControl_) {
        mouseInControl_ = true;
        Invalidate();
    }
    if (!down_) {
        state_ = rbsDown;
        Invalidate();
    }
    dragging_ = true;
    SetMouseCapture(true);
    if (dropDownMenu_ && dropDownMenu_->AutoPopup) {
        DropDownClick();
        return;
    }
    if (allowTimer_) {
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { TimerExpired(); };
        }
        repeatTimer_->SetEnabled(false);
        repeatTimer_->SetInterval(InitPause);
        repeatTimer_->SetEnabled(true);
    }
}

void TRxSpeedButton::DropDownClick() {
    TPoint p{0, 0};
    const bool right = dropDownMenu_->Alignment == TPopupAlignment::paRight;
    const bool centre = dropDownMenu_->Alignment == TPopupAlignment::paCenter;
    if (MenuPosition == dmpBottom)
        p = centre ? TPoint{Width() / 2, Height()} : right ? TPoint{Width() + 1, Height()} : TPoint{-1, Height()};
    else
        p = centre ? TPoint{Width() / 2, Height()} : right ? TPoint{-1, -1} : TPoint{Width(), -1};
    p = ClientToScreen(p);
    dropDownMenu_->PopupComponent = this;
    // The menu shows on its own; once it is gone, the press that closed it
    // must not reach the button and open it again.
    TPopupMenu* menu = dropDownMenu_;
    TNotifyEvent previous = menu->OnClose;
    menu->OnClose = [this, menu, previous, alive = WeakRef()](TObject* sender) {
        menu->OnClose = previous;
        if (previous) previous(sender);
        if (!alive.expired()) MenuClosed();
    };
    menuTracking_ = true;
    try {
        dropDownMenu_->Popup(p.X, p.Y);
    } catch (...) {
        menuTracking_ = false;
        MouseUp(TMouseButton::mbLeft, 0, -1, -1);
        throw;
    }
    // The menu runs on its own: the press ends here, without a click.
    MouseUp(TMouseButton::mbLeft, 0, -1, -1);
    menuTracking_ = false;
}

void TRxSpeedButton::MenuClosed() {
    ControlUtils::RemovePendingMessage(*this, WM_LBUTTONDOWN);
    ControlUtils::RemovePendingMessage(*this, WM_LBUTTONDBLCLK);
}

void TRxSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (groupIndex_ != 0) SetDown(action->Checked());
    TCustomImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    glyph_.SetImages(images, action->ImageIndex());
    if (Glyph().Empty() && images && images->Used(action->ImageIndex())) {
        TBitmap glyph(images->Width(), images->Height(), TPixelFormat::pf24bit);
        glyph.Canvas().FillRect(TRect{0, 0, glyph.Width(), glyph.Height()}, ColorToRGB(clFuchsia));
        images->Draw(glyph.Canvas(), 0, 0, action->ImageIndex());
        glyph.SetTransparentColor(clFuchsia);
        SetGlyph(glyph);
    }
}

void TRxSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
    if (!dragging_) {
        if (inside)
            MouseEnter();
        else
            MouseLeave();
        return;
    }
    TRxButtonState newState = down_ ? rbsExclusive : (inside ? rbsDown : rbsUp);
    if (newState != state_) {
        state_ = newState;
        Invalidate();
    }
}

void TRxSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_) return;
    dragging_ = false;
    SetMouseCapture(false);
    const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y <= ClientHeight();
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    if (groupIndex_ == 0) {
        state_ = rbsUp;
        mouseInControl_ = false;
        Invalidate();
    } else if (inside) {
        SetDown(!down_);
        Invalidate();
    } else {
        if (down_) state_ = rbsExclusive;
        Invalidate();
    }
    if (inside && !menuTracking_) Click();
    // A window the click opened has the mouse now: the button is no longer
    // under it and shows so.
    const TForm* form = GetParentForm(this);
    if (inside && Enabled() && (!form || form->Active()))
        MouseEnter();
    else
        MouseLeave();
}

void TRxSpeedButton::TimerExpired() {
    if (repeatTimer_->Interval() != RepeatInterval) repeatTimer_->SetInterval(RepeatInterval);
    if (state_ == rbsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            repeatTimer_->SetEnabled(false);
            throw;
        }
    }
}

void TRxSpeedButton::Click() {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
    TGraphicControl::Click();
}

void TRxSpeedButton::DblClick() {
    if (down_) TGraphicControl::DblClick();
}

void TRxSpeedButton::PerformClick() {
    if (dragging_ || !Enabled() || (dropDownMenu_ && dropDownMenu_->AutoPopup)) return;
    if (!down_) {
        state_ = rbsDown;
        Repaint();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state_ = down_ ? rbsExclusive : rbsUp;
    Repaint();
    if (groupIndex_ == 0) {
        Click();
    } else {
        SetDown(!down_);
        Click();
    }
}

bool TRxSpeedButton::DialogChar(char key) {
    if (!Enabled() || !Visible() || !IsAccel(key, Caption())) return false;
    // A grouped button goes down as under the mouse: its handler reads Down
    // (the preview's "&2" shows two pages).
    if (groupIndex_ != 0) SetDown(!down_);
    Click();
    return true;
}

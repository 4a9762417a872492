#pragma once
// The speed button: a window-less push button with a glyph and a caption,
// flat or 3-D, grouped (one down per group), with an optional drop-down menu
// and auto-repeat while held; and the glyph object that cuts a bitmap strip
// into the images of the button's states.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "controls/glyph_layout.h"
#include "controls/glyph_list.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"

class TPopupMenu;
class TTimer;

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TRxDropDownMenuPos { dmpBottom, dmpRight };
// Up, disabled, down and exclusive have images in a strip; inactive is the
// grey look of a flat button without the mouse over it.
enum TRxButtonState { rbsUp = 0, rbsDisabled = 1, rbsDown = 2, rbsExclusive = 3, rbsInactive = 4 };

class TRxButtonGlyph {
public:
    TRxButtonGlyph();
    ~TRxButtonGlyph();
    TRxButtonGlyph(const TRxButtonGlyph&) = delete;
    TRxButtonGlyph& operator=(const TRxButtonGlyph&) = delete;

    const TBitmap& Glyph() const { return glyph_; }
    // A new strip drops the images made so far; a strip whose width is a
    // multiple of its height sets NumGlyphs (above five counts as one).
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    TColor TransparentColor() const { return transparentColor_; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    std::function<void()> OnChange;

    // While the strip is empty, the images come from image Index of Images
    // (an action's image list); null or a bad index shows none.
    void SetImages(const TCustomImageList* images, int index);
    // The list index of the state's image, made on first use; -1 without glyph.
    int CreateButtonGlyph(TRxButtonState state);
    // Drops the images (system colours or the font changed).
    void Invalidate();
    TGlyphList* List() const { return list_; }
    // Size of one image (0 x 0 without glyph).
    TSize GlyphSize() const;

    // Draws glyph, caption and drop-down mark inside Client; returns where
    // the caption went.
    TRect Draw(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
               TButtonLayout layout, int margin, int spacing, bool dropDownArrow, TRxButtonState state,
               TRxButtonState imageState);

private:
    void Changed();
    bool UsesImages() const;
    int CreateImageGlyph(TRxButtonState state);
    void DrawButtonText(TCanvas& canvas, const std::string& caption, TRect bounds, TRxButtonState state);
    void DrawPopupMark(TCanvas& canvas, int x, int y, TRxButtonState state);

    TBitmap glyph_;
    TGlyphList* list_ = nullptr;
    std::array<int, 5> indexes_{-1, -1, -1, -1, -1};
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
    bool wordWrap_ = false;
    TAlignment alignment_ = taCenter;
    const TCustomImageList* images_ = nullptr;
    std::weak_ptr<TComponent*> imagesAlive_;
    int imageIndex_ = -1;
};

class TRxSpeedButton : public TGraphicControl {
public:
    explicit TRxSpeedButton(TComponent* AOwner);
    ~TRxSpeedButton() override;

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    // -1 centres; values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    TAlignment Alignment() const { return glyph_.Alignment(); }
    void SetAlignment(TAlignment value) { glyph_.SetAlignment(value); }
    bool WordWrap() const { return glyph_.WordWrap(); }
    void SetWordWrap(bool value) { glyph_.SetWordWrap(value); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool value);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool value);
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* menu);
    TRxDropDownMenuPos MenuPosition = dmpBottom;
    TModalResult ModalResult = mrNone;
    // Enter (Default) or Esc (Cancel) on the button's form clicks it.
    bool Default = false;
    bool Cancel = false;
    bool TakesDialogKey(WORD key) const override { return key == VK_RETURN ? Default : key == VK_ESCAPE && Cancel; }

    const TBitmap& Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int value);
    TRxButtonGlyph& ButtonGlyph() { return glyph_; }

    // Auto-repeat: held down, the button clicks after InitPause and then every
    // RepeatInterval milliseconds.
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool value);
    unsigned InitPause = 500;
    unsigned RepeatInterval = 100;
    TTimer* RepeatTimer() const { return repeatTimer_; }

    TRxButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    void SetEnabled(bool enabled) override;
    // Sets the form's ModalResult to the button's, then fires OnClick.
    void Click() override;
    void DblClick() override;
    // Clicks from code: shows the button pressed for a moment first.
    void PerformClick();
    // A dialog character that matches the caption's accelerator clicks the
    // button as the mouse does (a grouped one goes down); true when it did.
    bool DialogChar(char key) override;
    // The pointer entered or left the button (also refreshed on release).
    void MouseEnter();
    void MouseLeave();
    void PointerLeft() override { MouseLeave(); }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // A sibling of the same group went down.
    void ButtonPressed(TRxSpeedButton* sender);
    // A change of the system colours (RXCtrls::WM_SYSCOLORCHANGE) drops the
    // images made so far: they were drawn on the old button face.
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void TextChanged() override { Invalidate(); }
    void FontChanged() override;
    // Checked becomes Down for a grouped button; with an empty glyph the
    // action's image is drawn into it (clFuchsia transparent).
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // Draws glyph and caption.
    virtual void PaintFace(TCanvas& canvas, const TRect& rect, TPoint offset, bool drawArrow, TRxButtonState state,
                           TRxButtonState imageState);
    bool Dragging() const { return dragging_; }

private:
    void UpdateExclusive();
    void TimerExpired();
    void DropDownClick();
    void MenuClosed();
    bool UseNewStyle() const;

    TRxButtonGlyph glyph_;
    int groupIndex_ = 0;
    TButtonStyle style_ = bsAutoDetect;
    bool down_ = false;
    bool dragging_ = false;
    bool allowAllUp_ = false;
    bool flat_ = false;
    bool mouseInControl_ = false;
    TButtonLayout layout_ = blGlyphTop;
    int spacing_ = 1;
    int margin_ = -1;
    bool transparent_ = false;
    bool markDropDown_ = true;
    TPopupMenu* dropDownMenu_ = nullptr;
    bool grayedInactive_ = true;
    bool menuTracking_ = false;
    TTimer* repeatTimer_ = nullptr;
    bool allowTimer_ = false;
    TRxButtonState state_ = rbsUp;
};

namespace RXCtrls {
// Sent to a control when the system colours change.
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
// The 3-D (or flat) frame of a button; returns the rectangle inside it.
TRect DrawButtonFrame(TCanvas& canvas, const TRect& client, bool down, bool flat, bool newStyle);
}  // namespace RXCtrls

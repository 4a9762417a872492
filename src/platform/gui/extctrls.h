#pragma once
// Panels, bevels, radio groups, paint boxes, images, scroll boxes and timers.
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/runtime/string_list.h"

class QTimer;
class QImage;
class QPainter;
class TBitmap;

enum class TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel b);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

protected:
    void CreateWidget() override;
    void TextChanged() override;
    void ColorChanged() override;
    void FontChanged() override;
    void AdjustClientRect(TRect& rect) const override;

private:
    void PaintPanel(QPainter& painter);
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised, bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    TAlignment alignment_ = taCenter;
};

enum class TBevelShape : uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle : uint8_t { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s) { shape_ = s; Invalidate(); }
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s) { style_ = s; Invalidate(); }

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

// A group box of radio buttons built from Items; ItemIndex is the checked
// one. A change of ItemIndex (by the user or by code) fires OnClick.
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    TStringList Items;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    std::string Text() const override { return text_; }

protected:
    void CreateWidget() override;
    void TextChanged() override;
    void BoundsChanged() override;
    void FontChanged() override;

private:
    void ItemsChanged();
    void ShowButtons();
    void ArrangeButtons();
    std::vector<QWidget*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false, buttonsShown_ = false;
};

// A graphic control the program paints in OnPaint through Canvas.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// A bar between two aligned controls that the user drags to share the room
// between them. Aligned like the control it resizes (the one it touches on
// the side its alignment points to, e.g. the control above an alTop
// splitter), it resizes that control while dragged, never below MinSize
// and never leaving less than MinSize to the rest of the parent.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize = 30;
    bool Beveled = false;
    TNotifyEvent OnMoved;
    // The control the splitter resizes now (nullptr when none touches it).
    TControl* ResizedControl() const;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Paint() override;
    void BoundsChanged() override;

private:
    bool Vertical() const;  // a bar across the parent: alTop or alBottom
    int Along(int x, int y) const;  // a point's position across the bar, in the parent
    TControl* resized_ = nullptr;
    int startPos_ = 0, startSize_ = 0, maxSize_ = 0;
};

// Shows a picture loaded from a file (any format Qt reads), stretched,
// centred or at the top-left corner.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    bool LoadFromFile(const std::string& fileName);
    // Shows a copy of the bitmap's picture.
    void Assign(const TBitmap& bitmap);
    void Clear();
    bool Empty() const;
    int PictureWidth() const;
    int PictureHeight() const;
    bool Stretch = false;
    bool Center = false;
    bool Transparent = false;
    bool AutoSize = false;

protected:
    void Paint() override;

private:
    std::unique_ptr<QImage> image_;
};

// A scrolling container; its children may reach beyond its size.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    QWidget* MadeClientWidget() const override { return inner_; }
    void ScrollInView(TControl* control);
    // Grows the scrolled area to hold every child.
    void UpdateScrollRange();

protected:
    void CreateWidget() override;
    void InsertControl(TControl* control) override;
    void BoundsChanged() override;

private:
    QWidget* inner_ = nullptr;
};

// A timer fires OnTimer every Interval milliseconds while Enabled and the
// interval is above 0. Fire() runs it by hand (tests).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    TNotifyEvent OnTimer;
    // Whether the platform timer runs (Enabled with an Interval above 0).
    bool Active() const;
    // Runs OnTimer now as the platform timer would (through the default
    // exception handler).
    void Fire();

private:
    void UpdateTimer();
    QTimer* timer_ = nullptr;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};

#include "platform/gui/extctrls.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/qt_bridge.h"

using namespace velorim_gui;

namespace {
void DrawBevel(QPainter& p, QRect& r, TPanelBevel bevel, int width) {
    if (bevel == TPanelBevel::bvNone) return;
    if (bevel == TPanelBevel::bvSpace) {
        r.adjust(width, width, -width, -width);
        return;
    }
    const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
    const QColor tl = bevel == TPanelBevel::bvRaised ? light : dark;
    const QColor br = bevel == TPanelBevel::bvRaised ? dark : light;
    for (int i = 0; i < width; ++i) {
        p.setPen(tl);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(br);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}
}  // namespace

// ---------------------------------------------------------------------- panel

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetBounds(0, 0, 185, 41);
    clickOnRelease_ = true;
}

void TPanel::CreateWidget() { SetWidget(new PaintWidget([this](QPainter& p) { PaintPanel(p); })); }

void TPanel::PaintPanel(QPainter& p) {
    QRect r(0, 0, Width(), Height());
    p.fillRect(r, ToQColor(color_));
    if (borderStyle_ == TBorderStyle::bsSingle) {
        p.setPen(ToQColor(clWindowFrame));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    DrawBevel(p, r, bevelOuter_, bevelWidth_);
    DrawBevel(p, r, bevelInner_, bevelWidth_);
    const std::string caption = StripAccel(text_);
    if (!caption.empty()) {
        p.setFont(ToQFont(font_));
        p.setPen(ToQColor(font_.Color()));
        Qt::Alignment a = Qt::AlignVCenter | (alignment_ == taLeftJustify    ? Qt::AlignLeft
                                              : alignment_ == taRightJustify ? Qt::AlignRight
                                                                             : Qt::AlignHCenter);
        p.drawText(r, a, ToQ(caption));
    }
}

void TPanel::AdjustClientRect(TRect& rect) const {
    int inset = (borderStyle_ == TBorderStyle::bsSingle ? 1 : 0);
    if (bevelOuter_ != TPanelBevel::bvNone) inset += bevelWidth_;
    if (bevelInner_ != TPanelBevel::bvNone) inset += bevelWidth_;
    InflateRect(rect, -inset, -inset);
}

void TPanel::SetBevelOuter(TPanelBevel b) {
    bevelOuter_ = b;
    Invalidate();
    Realign();
}
void TPanel::SetBevelInner(TPanelBevel b) {
    bevelInner_ = b;
    Invalidate();
    Realign();
}
void TPanel::SetBevelWidth(int w) {
    bevelWidth_ = std::max(1, w);
    Invalidate();
    Realign();
}
void TPanel::SetBorderStyle(TBorderStyle s) {
    borderStyle_ = s;
    Invalidate();
    Realign();
}
void TPanel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Invalidate();
}
void TPanel::TextChanged() { Invalidate(); }
void TPanel::ColorChanged() {
    Invalidate();
    TWinControl::ColorChanged();
}
void TPanel::FontChanged() {
    TWinControl::FontChanged();
    Invalidate();
}

// ------------------------------------------------------------------- splitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    clickOnRelease_ = false;
    SetBounds(0, 0, 3, 100);
    SetAlign(TAlign::alLeft);
    SetCursor(crHSplit);
}

bool TSplitter::Vertical() const { return Align() == TAlign::alTop || Align() == TAlign::alBottom; }

int TSplitter::Along(int x, int y) const { return Vertical() ? Top() + y : Left() + x; }

TControl* TSplitter::ResizedControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        const TRect r = c->BoundsRect();
        const bool touches = Align() == TAlign::alTop      ? r.Bottom == Top()
                             : Align() == TAlign::alBottom ? r.Top == Top() + Height()
                             : Align() == TAlign::alLeft   ? r.Right == Left()
                             : Align() == TAlign::alRight  && r.Left == Left() + Width();
        if (touches) return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !(resized_ = ResizedControl())) return;
    // The room the aligned controls leave (an alClient control's) may go to
    // the resized one, less what the rest keeps.
    TWinControl* parent = Parent();
    int room = Vertical() ? parent->ClientHeight() : parent->ClientWidth();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        const TAlign a = c->Align();
        if (Vertical() ? (a == TAlign::alTop || a == TAlign::alBottom) : (a == TAlign::alLeft || a == TAlign::alRight))
            room -= Vertical() ? c->Height() : c->Width();
    }
    startPos_ = Along(x, y);
    startSize_ = Vertical() ? resized_->Height() : resized_->Width();
    maxSize_ = std::max(startSize_, startSize_ + room - MinSize);
    SetMouseCapture(true);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!resized_) return;
    // Dragging towards the resized control's side shrinks it.
    int delta = Along(x, y) - startPos_;
    if (Align() == TAlign::alBottom || Align() == TAlign::alRight) delta = -delta;
    const int size = std::clamp(startSize_ + delta, std::min(MinSize, startSize_), maxSize_);
    if (size == (Vertical() ? resized_->Height() : resized_->Width())) return;
    if (Vertical())
        resized_->SetHeight(size);
    else
        resized_->SetWidth(size);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!resized_) return;
    MouseMove(shift, x, y);
    resized_ = nullptr;
    SetMouseCapture(false);
    if (OnMoved) OnMoved(this);
}

void TSplitter::BoundsChanged() {
    TGraphicControl::BoundsChanged();
    // Aligning places the bar: its cursor follows the way it moves.
    const TCursor cursor = Vertical() ? crVSplit : crHSplit;
    if (Cursor() != cursor) SetCursor(cursor);
}

void TSplitter::Paint() {
    TCanvas& canvas = Canvas();
    canvas.FillRect(TRect{0, 0, Width(), Height()}, ColorToRGB(Parent() ? Parent()->Color() : clBtnFace));
    if (!Beveled) return;
    const TRect r{0, 0, Width(), Height()};
    canvas.FillRect(Vertical() ? TRect{0, 0, r.Right, 1} : TRect{0, 0, 1, r.Bottom}, ColorToRGB(clBtnHighlight));
    canvas.FillRect(Vertical() ? TRect{0, r.Bottom - 1, r.Right, r.Bottom} : TRect{r.Right - 1, 0, r.Right, r.Bottom},
                    ColorToRGB(clBtnShadow));
}

// ---------------------------------------------------------------------- bevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); clickOnRelease_ = false; }

void TBevel::Paint() {
    QPainter* p = Painter();
    if (!p) return;
    const QColor c1 = ToQColor(style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight);
    const QColor c2 = ToQColor(style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow);
    const int w = Width() - 1, h = Height() - 1;
    auto line = [&](const QColor& c, int x1, int y1, int x2, int y2) {
        p->setPen(c);
        p->drawLine(x1, y1, x2, y2);
    };
    switch (shape_) {
        case TBevelShape::bsBox:
            line(c1, 0, 0, w, 0);
            line(c1, 0, 0, 0, h);
            line(c2, 0, h, w, h);
            line(c2, w, 0, w, h);
            break;
        case TBevelShape::bsFrame:
            p->setPen(c1);
            p->drawRect(0, 0, w - 1, h - 1);
            p->setPen(c2);
            p->drawRect(1, 1, w - 1, h - 1);
            break;
        case TBevelShape::bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
        case TBevelShape::bsBottomLine: line(c1, 0, h - 1, w, h - 1); line(c2, 0, h, w, h); break;
        case TBevelShape::bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
        case TBevelShape::bsRightLine: line(c1, w - 1, 0, w - 1, h); line(c2, w, 0, w, h); break;
        case TBevelShape::bsSpacer: break;
    }
}

// ---------------------------------------------------------------- radio group

TRadioGroup::TRadioGroup(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetBounds(0, 0, 185, 105);
    Items.OnChange = [this] { ItemsChanged(); };
}

void TRadioGroup::CreateWidget() {
    SetWidget(new QGroupBox());
    TextChanged();
    if (buttonsShown_) ShowButtons();
}

TRadioGroup::~TRadioGroup() { Items.OnChange = nullptr; }

void TRadioGroup::TextChanged() {
    if (auto* g = qobject_cast<QGroupBox*>(MadeWidget())) g->setTitle(ToQ(text_));
}

void TRadioGroup::ItemsChanged() {
    buttonsShown_ = true;
    if (!MadeWidget()) {
        if (itemIndex_ >= Items.Count()) itemIndex_ = -1;
        return;
    }
    ShowButtons();
}

void TRadioGroup::ShowButtons() {
    QWidget* box = MadeWidget();
    for (QWidget* b : buttons_) delete b;
    buttons_.clear();
    for (int i = 0; i < Items.Count(); ++i) {
        auto* radio = new QRadioButton(ToQ(Items[i]), box);
        radio->setAutoExclusive(false);
        radio->setChecked(i == itemIndex_);
        radio->setFont(ToQFont(font_));
        WatchWidget(radio);
        QObject::connect(radio, &QRadioButton::clicked, SignalContext(), [this, i, radio] {
            {
                QSignalBlocker block(radio);
                radio->setChecked(true);
            }
            Guard(this, [this, i] { SetItemIndex(i); });
        });
        radio->show();
        buttons_.push_back(radio);
    }
    if (itemIndex_ >= Items.Count()) itemIndex_ = -1;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    const int count = static_cast<int>(buttons_.size());
    if (count == 0) return;
    QFontMetrics fm(ToQFont(font_));
    const int fontHeight = fm.height();
    const int cols = std::max(1, columns_);
    const int perCol = (count + cols - 1) / cols;
    const int buttonWidth = std::max(1, (Width() - 10) / cols);
    const int space = Height() - fontHeight - 5;
    const int buttonHeight = std::max(1, space / perCol);
    const int topMargin = fontHeight + 1 + (space % perCol) / 2;
    for (int i = 0; i < count; ++i)
        buttons_[i]->setGeometry((i / perCol) * buttonWidth + 8, (i % perCol) * buttonHeight + topMargin,
                                 buttonWidth, buttonHeight);
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < -1) index = -1;
    if (index >= Items.Count()) index = Items.Count() - 1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        auto* radio = static_cast<QRadioButton*>(buttons_[i]);
        QSignalBlocker block(radio);
        radio->setChecked(i == index);
    }
    if (index >= 0) Click();
}

void TRadioGroup::SetColumns(int columns) {
    columns_ = std::clamp(columns, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::BoundsChanged() {
    TWinControl::BoundsChanged();
    ArrangeButtons();
}

void TRadioGroup::FontChanged() {
    TWinControl::FontChanged();
    for (QWidget* b : buttons_) b->setFont(ToQFont(font_));
    ArrangeButtons();
}

// ------------------------------------------------------------ paint box, image

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint() {
    if (OnPaint) OnPaint(this);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), image_(std::make_unique<QImage>()) {
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

bool TImage::LoadFromFile(const std::string& fileName) {
    QImage img;
    if (!img.load(ToQ(fileName))) return false;
    *image_ = img;
    if (AutoSize) SetBounds(Left(), Top(), img.width(), img.height());
    Invalidate();
    return true;
}

void TImage::Assign(const TBitmap& bitmap) {
    *image_ = bitmap.ToImage();
    if (AutoSize) SetBounds(Left(), Top(), image_->width(), image_->height());
    Invalidate();
}

void TImage::Clear() {
    *image_ = QImage();
    Invalidate();
}

bool TImage::Empty() const { return image_->isNull(); }
int TImage::PictureWidth() const { return image_->width(); }
int TImage::PictureHeight() const { return image_->height(); }

void TImage::Paint() {
    QPainter* p = Painter();
    if (!p || image_->isNull()) return;
    if (Stretch) {
        p->drawImage(QRect(0, 0, Width(), Height()), *image_);
    } else if (Center) {
        p->drawImage((Width() - image_->width()) / 2, (Height() - image_->height()) / 2, *image_);
    } else {
        p->drawImage(0, 0, *image_);
    }
}

// ----------------------------------------------------------------- scroll box

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateWidget() {
    auto* area = new QScrollArea();
    area->setWidgetResizable(false);
    inner_ = new QWidget();
    area->setWidget(inner_);
    SetWidget(area);
    WatchWidget(inner_);
    UpdateScrollRange();
}

void TScrollBox::InsertControl(TControl* control) {
    TWinControl::InsertControl(control);
    UpdateScrollRange();
}

void TScrollBox::BoundsChanged() {
    TWinControl::BoundsChanged();
    UpdateScrollRange();
}

void TScrollBox::UpdateScrollRange() {
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (inner_) inner_->resize(std::max(right, Width() - 4), std::max(bottom, Height() - 4));
}

void TScrollBox::ScrollInView(TControl* control) {
    auto* area = qobject_cast<QScrollArea*>(MadeWidget());
    if (area && control && control->MadeWidget()) area->ensureWidgetVisible(control->MadeWidget());
}

// ---------------------------------------------------------------------- timer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
    if (timer_) {
        timer_->stop();
        timer_->deleteLater();
        timer_ = nullptr;
    }
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

bool TTimer::Active() const { return enabled_ && interval_ > 0; }

void TTimer::UpdateTimer() {
    if (!Active()) {
        if (timer_) timer_->stop();
        return;
    }
    if (!QCoreApplication::instance()) return;
    if (!timer_) {
        timer_ = new QTimer();
        auto self = WeakRef();
        QObject::connect(timer_, &QTimer::timeout, timer_, [this, self] {
            if (!self.expired()) Fire();
        });
    }
    timer_->start(static_cast<int>(interval_));
}

void TTimer::Fire() {
    if (OnTimer) {
        TNotifyEvent handler = OnTimer;
        Application->Dispatch(this, [&] { handler(this); });
    }
}

#include "platform/gui/imglist.h"

#include <algorithm>

#include "platform/gui/canvas.h"

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height)
    : TComponent(AOwner), width_(std::max(width, 1)), height_(std::max(height, 1)) {}

TCustomImageList::Slot TCustomImageList::MakeSlot(const TBitmap& image, TColor maskColor) const {
    Slot slot;
    slot.image = std::make_unique<TBitmap>(width_, height_, TPixelFormat::pf24bit);
    slot.image->Canvas().FillRect(TRect{0, 0, width_, height_}, ColorToRGB(maskColor));
    const TRect part{0, 0, std::min(width_, image.Width()), std::min(height_, image.Height())};
    slot.image->Canvas().CopyRect(part, const_cast<TBitmap&>(image).Canvas(), part);
    slot.mask = slot.image->CreateMask(ColorToRGB(maskColor));
    return slot;
}

int TCustomImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    slots_.push_back(MakeSlot(image, maskColor));
    ++count_;
    Changed();
    return static_cast<int>(slots_.size()) - 1;
}

void TCustomImageList::Delete(int index) {
    if (!Used(index)) return;
    slots_.erase(slots_.begin() + index);
    --count_;
    Changed();
}

bool TCustomImageList::Used(int index) const {
    return index >= 0 && index < static_cast<int>(slots_.size()) && slots_[static_cast<size_t>(index)].image;
}

const TBitmap* TCustomImageList::Image(int index) const {
    return Used(index) ? slots_[static_cast<size_t>(index)].image.get() : nullptr;
}

const TBitmap* TCustomImageList::Mask(int index) const {
    return Used(index) ? slots_[static_cast<size_t>(index)].mask.get() : nullptr;
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
    if (!Used(index)) return;
    const Slot& s = slots_[static_cast<size_t>(index)];
    canvas.DrawMasked(TRect{x, y, x + width_, y + height_}, *s.image, TRect{0, 0, width_, height_}, *s.mask);
}

void TCustomImageList::Changed() {
    if (OnChange) OnChange(this);
}

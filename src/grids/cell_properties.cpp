#include "grids/cell_properties.h"

#include "grids/align_grid.h"

namespace {

template <class Obj, class Src>
void CopyInto(std::unique_ptr<Obj>& slot, const Src* value, TStringAlignGrid* owner) {
    if (!value) {
        slot.reset();
        if (owner) owner->Invalidate();
        return;
    }
    if (!slot) slot = std::make_unique<Obj>(owner);
    slot->Assign(*value);  // fires the repaint hook
}

}  // namespace

TMyBrush::TMyBrush(TStringAlignGrid* owner) : owner_(owner) {
    OnChange = [this](TGraphicsObject*) {
        if (owner_) owner_->Invalidate();
    };
}

TMyFont::TMyFont(TStringAlignGrid* owner) : owner_(owner) {
    OnChange = [this](TGraphicsObject*) {
        if (owner_) owner_->Invalidate();
    };
}

TCellProperties::~TCellProperties() = default;

void TCellProperties::SetBrush(const TBrush* brush) { CopyInto(brush_, brush, owner_); }
void TCellProperties::SetSelectedBrush(const TBrush* brush) { CopyInto(selectedBrush_, brush, owner_); }
void TCellProperties::SetFont(const TFont* font) { CopyInto(font_, font, owner_); }
void TCellProperties::SetSelectedFont(const TFont* font) { CopyInto(selectedFont_, font, owner_); }

void TCellProperties::Assign(const TCellProperties* source) {
    if (source == this) return;
    if (!source) {
        Align = TMyAlign::alDefault;
        WordWrap = ww_default;
        Edit = 0;
        brush_.reset();
        selectedBrush_.reset();
        font_.reset();
        selectedFont_.reset();
        return;
    }
    Align = source->Align;
    WordWrap = source->WordWrap;
    Edit = source->Edit;
    SetBrush(source->brush_.get());
    SetSelectedBrush(source->selectedBrush_.get());
    SetFont(source->font_.get());
    SetSelectedFont(source->selectedFont_.get());
}

bool TCellProperties::IsEmpty() const {
    return Align == TMyAlign::alDefault && WordWrap == ww_default && Edit == 0 && !brush_ &&
           !selectedBrush_ && !font_ && !selectedFont_;
}

std::unique_ptr<TCellProperties> TCellProperties::Clone() const {
    auto copy = std::make_unique<TCellProperties>(owner_);
    copy->Assign(this);
    return copy;
}

std::unique_ptr<TCellProperties> NewCellProperties(TStringAlignGrid* owner) {
    return std::make_unique<TCellProperties>(owner);
}

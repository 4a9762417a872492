#include "grids/cell_properties_icon.h"

#include "grids/property_stream.h"

namespace {
constexpr int kIconTag = 100;
}

void TCellPropertiesIcon::SetIcon(const TIcon* icon) {
    if (!icon) {
        icon_.reset();
        RepaintGrid(Owner());
        return;
    }
    if (!icon_) {
        icon_ = std::make_unique<TIcon>();
        icon_->OnChange = [owner = Owner()](TGraphicsObject*) { RepaintGrid(owner); };
    }
    icon_->Assign(*icon);
}

void TCellPropertiesIcon::WriteProperties(TPropWriter& w) const {
    if (icon_) {
        w.WriteInteger(kIconTag);
        WriteHexBlocks(w, icon_->SaveToStream());
    }
    TCellProperties::WriteProperties(w);
}

void TCellPropertiesIcon::ReadProperty(int tag, TPropReader& r) {
    if (tag != kIconTag) {
        TCellProperties::ReadProperty(tag, r);
        return;
    }
    TIcon icon;
    icon.LoadFromStream(ReadHexBlocks(r));
    SetIcon(&icon);
}

void TCellPropertiesIcon::Assign(const TCellProperties* source) {
    if (source == this) return;
    TCellProperties::Assign(source);
    const auto* other = dynamic_cast<const TCellPropertiesIcon*>(source);
    SetIcon(other ? other->Icon() : nullptr);
}

bool TCellPropertiesIcon::IsEmpty() const { return TCellProperties::IsEmpty() && (!icon_ || icon_->Empty()); }

std::unique_ptr<TCellProperties> TCellPropertiesIcon::Clone() const {
    auto copy = std::make_unique<TCellPropertiesIcon>(Owner());
    copy->Assign(this);
    return copy;
}

std::unique_ptr<TCellProperties> NewCellPropertiesIcon(TStringAlignGrid* owner) {
    return std::make_unique<TCellPropertiesIcon>(owner);
}

#include "grids/cell_properties.h"

#include "grids/property_stream.h"

namespace {

template <class Obj, class Src>
void CopyInto(std::unique_ptr<Obj>& slot, const Src* value, TStringAlignGrid* owner) {
    if (!value) {
        slot.reset();
        RepaintGrid(owner);
        return;
    }
    if (!slot) slot = std::make_unique<Obj>(owner);
    slot->Assign(*value);  // fires the repaint hook
}

}  // namespace

aligngrid::TMyBrush::TMyBrush(TStringAlignGrid* owner) : owner_(owner) {
    OnChange = [this](TGraphicsObject*) {
        RepaintGrid(owner_);
    };
}

aligngrid::TMyFont::TMyFont(TStringAlignGrid* owner) : owner_(owner) {
    OnChange = [this](TGraphicsObject*) {
        RepaintGrid(owner_);
    };
}

TCellProperties::~TCellProperties() = default;

void TCellProperties::SetBrush(const TBrush* brush) { CopyInto(brush_, brush, owner_); }
void TCellProperties::SetSelectedBrush(const TBrush* brush) { CopyInto(selectedBrush_, brush, owner_); }
void TCellProperties::SetFont(const TFont* font) { CopyInto(font_, font, owner_); }
void TCellProperties::SetSelectedFont(const TFont* font) { CopyInto(selectedFont_, font, owner_); }

void TCellProperties::WriteProperties(TPropWriter& w) const {
    if (Align != TMyAlign::alDefault) {
        w.WriteInteger(1);
        w.WriteInteger(static_cast<int>(Align));
    }
    if (WordWrap != ww_default) {
        w.WriteInteger(2);
        w.WriteInteger(WordWrap);
    }
    if (Edit != 0) {
        w.WriteInteger(3);
        w.WriteInteger(Edit);
    }
    if (brush_) {
        w.WriteInteger(4);
        WriteBrush(w, *brush_);
    }
    if (selectedBrush_) {
        w.WriteInteger(5);
        WriteBrush(w, *selectedBrush_);
    }
    if (font_) {
        w.WriteInteger(6);
        WriteFont(w, *font_);
    }
    if (selectedFont_) {
        w.WriteInteger(7);
        WriteFont(w, *selectedFont_);
    }
    w.WriteInteger(0);
}

void TCellProperties::ReadProperties(TPropReader& r) {
    for (int tag = r.ReadInteger(); tag != 0; tag = r.ReadInteger()) ReadProperty(tag, r);
}

void TCellProperties::ReadProperty(int tag, TPropReader& r) {
    // The low byte is stored as it is, also beyond the type's values: stored
    // descriptions keep such bytes, and reading them back must not lose them.
    auto low = [&] { return static_cast<uint8_t>(r.ReadInteger() & 0xFF); };
    switch (tag) {
        case 1: Align = static_cast<TMyAlign>(low()); break;
        case 2: WordWrap = static_cast<T_Wordwrap>(low()); break;
        case 3: Edit = low(); break;
        case 4: case 5: {
            const TBrush b = ReadBrush(r);
            if (tag == 4) SetBrush(&b);
            else SetSelectedBrush(&b);
            break;
        }
        case 6: case 7: {
            const TFont f = ReadFont(r);
            if (tag == 6) SetFont(&f);
            else SetSelectedFont(&f);
            break;
        }
        default: break;
    }
}

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

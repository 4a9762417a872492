#pragma once
// The display record of an icon grid: a table grid record that can also hold
// an icon for its cell.
#include <memory>

#include "grids/cell_properties.h"
#include "grids/icon.h"

class TCellPropertiesIcon : public TCellProperties {
public:
    explicit TCellPropertiesIcon(TStringAlignGrid* owner) : TCellProperties(owner) {}

    // Owned by the record; setting copies the given icon in (created on first
    // use), setting nullptr frees it. Its changes repaint the grid.
    TIcon* Icon() const { return icon_.get(); }
    void SetIcon(const TIcon* icon);

    // Tag 100: the icon's .ico bytes as hexadecimal strings, then ".".
    void WriteProperties(TPropWriter& writer) const override;
    void ReadProperty(int tag, TPropReader& reader) override;
    // The icon comes along only from another icon record.
    void Assign(const TCellProperties* source) override;
    bool IsEmpty() const override;
    std::unique_ptr<TCellProperties> Clone() const override;

private:
    std::unique_ptr<TIcon> icon_;
};

std::unique_ptr<TCellProperties> NewCellPropertiesIcon(TStringAlignGrid* owner);

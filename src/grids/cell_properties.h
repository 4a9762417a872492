#pragma once
// Display records of the table grid: one per cell, column or row that has
// something of its own (alignment, wrap, edit permission, fonts, brushes).
#include <cstdint>
#include <memory>

#include "platform/gui/graphics.h"

class TStringAlignGrid;
class TPropReader;
class TPropWriter;

// Repaints the grid that owns a record (nothing for nullptr). Records call it
// when their objects change; it is the grid's only service they use.
void RepaintGrid(TStringAlignGrid* grid);

// Alignment of a cell's text. Scoped: the control layer has its own alLeft.
enum class TMyAlign : uint8_t { alRight, alLeft, alCenter, alDefault };
enum T_Wordwrap : uint8_t { ww_none, ww_wordwrap, ww_ellipsis, ww_default };
enum T_nextcell : uint8_t {
    nc_rightdown, nc_downright, nc_leftdown, nc_downleft, nc_leftup, nc_upleft, nc_rightup, nc_upright
};
enum T_lastcell : uint8_t { lc_newcolrow, lc_stop, lc_first, lc_exit };
// Result of a comparer: the first is less than, equal to or greater than the second.
using t_relation = uint8_t;
constexpr t_relation rel_less = 0, rel_equal = 1, rel_greater = 2;

// A brush and a font that repaint their grid whenever they change.
// The grid's own font and brush, which know the grid they belong to. They live
// in their own namespace: the viewer has a different font class of the same name.
namespace aligngrid {

class TMyBrush : public TBrush {
public:
    explicit TMyBrush(TStringAlignGrid* owner);
    TStringAlignGrid* Owner() const { return owner_; }

private:
    TStringAlignGrid* owner_;
};

class TMyFont : public TFont {
public:
    explicit TMyFont(TStringAlignGrid* owner);
    TStringAlignGrid* Owner() const { return owner_; }

private:
    TStringAlignGrid* owner_;
};

}  // namespace aligngrid

class TCellProperties {
public:
    explicit TCellProperties(TStringAlignGrid* owner) : owner_(owner) {}
    virtual ~TCellProperties();
    TCellProperties(const TCellProperties&) = delete;
    TCellProperties& operator=(const TCellProperties&) = delete;

    TStringAlignGrid* Owner() const { return owner_; }

    // Each object is owned by the record; setting copies the given one in
    // (created on first use), setting nullptr frees it.
    aligngrid::TMyBrush* Brush() const { return brush_.get(); }
    void SetBrush(const TBrush* brush);
    aligngrid::TMyBrush* SelectedBrush() const { return selectedBrush_.get(); }
    void SetSelectedBrush(const TBrush* brush);
    aligngrid::TMyFont* Font() const { return font_.get(); }
    void SetFont(const TFont* font);
    aligngrid::TMyFont* SelectedFont() const { return selectedFont_.get(); }
    void SetSelectedFont(const TFont* font);

    TMyAlign Align = TMyAlign::alDefault;
    T_Wordwrap WordWrap = ww_default;
    uint8_t Edit = 0;  // 0 not set, 1 not editable, 2 editable

    // The stored form: tag and values for each field that is set, then tag 0.
    virtual void WriteProperties(TPropWriter& writer) const;
    // Reads tags, handing each to ReadProperty, up to tag 0.
    void ReadProperties(TPropReader& reader);
    // The values of one tag. An unknown tag is ignored and its values are left
    // unread, so the next of them is taken for a tag.
    virtual void ReadProperty(int tag, TPropReader& reader);

    // Copies everything (objects copied, not shared); nullptr resets the record.
    virtual void Assign(const TCellProperties* source);
    virtual bool IsEmpty() const;
    // A new record of the same class and owner holding the same values.
    virtual std::unique_ptr<TCellProperties> Clone() const;

private:
    TStringAlignGrid* owner_;
    std::unique_ptr<aligngrid::TMyBrush> brush_, selectedBrush_;
    std::unique_ptr<aligngrid::TMyFont> font_, selectedFont_;
};

// Creates the records a grid uses (a descendant grid supplies its own class).
using TCellPropertiesClass = std::unique_ptr<TCellProperties> (*)(TStringAlignGrid* owner);
std::unique_ptr<TCellProperties> NewCellProperties(TStringAlignGrid* owner);

#pragma once
// The image lists behind the speed buttons' state images: one list per image
// size, shared through a cache, each image kept with its transparency mask.
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/imglist.h"

// Unlike a plain image list, a freed slot stays empty (the other images keep
// their indices) and the next image takes the first free slot.
class TGlyphList : public TCustomImageList {
public:
    TGlyphList(int width, int height);
    // Takes the first free slot, else grows.
    int AddMasked(const TBitmap& image, TColor maskColor) override;
    // Frees a slot; out-of-range or free slots are ignored.
    void Delete(int index) override;
};

// Lists by image size, shared by every button glyph. A list is freed when
// its last image goes; the cache itself lives while any glyph uses it.
namespace GlyphCache {
TGlyphList* GetList(int width, int height);
// Gives a list back: freed when it holds no image.
void ReturnList(TGlyphList* list);
int ListCount();
}  // namespace GlyphCache

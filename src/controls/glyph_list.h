#pragma once
// The image lists behind the speed buttons' state images: one list per image
// size, shared through a cache, each image kept with its transparency mask.
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"

class TGlyphList {
public:
    TGlyphList(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Number of images in use.
    int Count() const { return count_; }
    // Adds a copy of image (cropped or padded to the list's size); pixels of
    // maskColor stay transparent. Takes the first free slot, else grows.
    int AddMasked(const TBitmap& image, TColor maskColor);
    // Frees a slot; out-of-range or free slots are ignored.
    void Delete(int index);
    bool Used(int index) const;
    const TBitmap* Image(int index) const;
    const TBitmap* Mask(int index) const;  // white = transparent
    void Draw(TCanvas& canvas, int x, int y, int index) const;

private:
    struct Slot {
        std::unique_ptr<TBitmap> image, mask;
    };
    int width_, height_;
    int count_ = 0;
    std::vector<Slot> slots_;
};

// Lists by image size, shared by every button glyph. A list is freed when
// its last image goes; the cache itself lives while any glyph uses it.
namespace GlyphCache {
TGlyphList* GetList(int width, int height);
// Gives a list back: freed when it holds no image.
void ReturnList(TGlyphList* list);
int ListCount();
}  // namespace GlyphCache

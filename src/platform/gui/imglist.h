#pragma once
// Image lists: pictures of one size kept with their transparency masks, drawn
// by index. Actions and buttons share them.
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/classes.h"

class TCustomImageList : public TComponent {
public:
    TCustomImageList(TComponent* AOwner, int width = 16, int height = 16);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Images in use.
    int Count() const { return count_; }
    // Adds a copy of image (cropped or padded to the list's size); pixels of
    // maskColor stay transparent. Returns its index.
    virtual int AddMasked(const TBitmap& image, TColor maskColor);
    // Removes the image; the ones after it move down.
    virtual void Delete(int index);
    bool Used(int index) const;
    const TBitmap* Image(int index) const;
    const TBitmap* Mask(int index) const;  // white = transparent
    // Draws image index at (x, y) through its mask; nothing for a bad index.
    void Draw(TCanvas& canvas, int x, int y, int index) const;
    // Fires after every change.
    TNotifyEvent OnChange;

protected:
    struct Slot {
        std::unique_ptr<TBitmap> image, mask;
    };
    // Copies image into a new slot picture and its mask.
    Slot MakeSlot(const TBitmap& image, TColor maskColor) const;
    void Changed();
    std::vector<Slot> slots_;
    int count_ = 0;

private:
    int width_, height_;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

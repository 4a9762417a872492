#pragma once
// The document's picture cache: decoded pictures by URL, so a picture used
// several times, or again after a reload, is decoded once. Entries count their
// users; old entries nobody uses are freed as documents come and go, and the
// pictures held stay within a memory budget.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/bitmap.h"

// How a picture's transparency is known: none, the bitmap's bottom-left pixel
// colour, a mask the picture brought (GIF), one palette colour of a PNG.
enum Transparency : uint8_t { NotTransp = 0, LLCorner = 1, TrGif = 2, TrPng = 3 };

// One cache entry; it owns the picture and the mask.
class TBitmapItem {
public:
    TBitmapItem(std::unique_ptr<TGraphic> image, std::unique_ptr<TBitmap> mask, Transparency transp)
        : MImage(std::move(image)), Mask(std::move(mask)), Transp(transp) {}
    int AccessCount = 0;  // cache sweeps since it was last asked for
    int UsageCount = 0;   // current users
    std::unique_ptr<TGraphic> MImage;  // a TBitmap, TGIFImage or TGpImage
    std::unique_ptr<TBitmap> Mask;     // monochrome, white = transparent; or none
    Transparency Transp;
};

// Bytes a decoded picture (a TBitmap, TGIFImage or TGpImage) and its mask
// hold in memory.
int64_t PictureBytes(const TGraphic* image, const TBitmap* mask = nullptr);

class TStringBitmapList {
public:
    TStringBitmapList() = default;
    TStringBitmapList(const TStringBitmapList&) = delete;
    TStringBitmapList& operator=(const TStringBitmapList&) = delete;

    // Entries older than this (in sweeps) and unused are freed by BumpAndCheck.
    int MaxCache = 4;
    // Most bytes the pictures held may take.
    static constexpr int64_t kDefaultMaxBytes = int64_t(256) << 20;
    int64_t MaxBytes = kDefaultMaxBytes;
    // Bytes the pictures held take now (as measured when each came in, or
    // when Remeasure was last called for it).
    int64_t Bytes() const { return bytes_; }
    // Measures an entry again after its picture or mask changed.
    void Remeasure(int index);
    // Frees unused entries, oldest first, until a picture of `bytes` more
    // fits within MaxBytes; false when it cannot (pictures in use stay).
    bool MakeRoom(int64_t bytes);

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Strings(int index) const { return items_.at(static_cast<size_t>(index)).key; }
    TBitmapItem* Objects(int index) const { return items_.at(static_cast<size_t>(index)).item.get(); }
    // Keys are kept sorted and compared without regard to ASCII case; false and
    // the insertion point when the key is absent.
    bool Find(const std::string& key, int& index) const;
    int IndexOf(const std::string& key) const;

    // Adds the item (the list owns it from now on) and counts one user; returns
    // its index. Unused entries beyond the budget are freed, oldest first.
    int AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item);
    // The entry as a hit: it is young again and has one more user.
    TBitmapItem* GetImage(int index);
    // One user less for the key's entry, when there is one.
    void DecUsage(const std::string& key);
    // Ages every entry and frees those older than MaxCache with no user.
    void BumpAndCheck();
    // Frees unused entries older than n, then makes n the limit.
    void SetCacheCount(int n);
    void Clear() {
        items_.clear();
        bytes_ = 0;
    }

private:
    struct Entry {
        std::string key;
        std::unique_ptr<TBitmapItem> item;
        int64_t bytes;  // what the picture and mask held when last measured
    };
    // Kept by key; the total is kept alongside, so that adding one of
    // thousands of pictures does not measure all the others again.
    std::vector<Entry> items_;
    int64_t bytes_ = 0;
    void Erase(int index) {
        bytes_ -= items_[static_cast<size_t>(index)].bytes;
        items_.erase(items_.begin() + index);
    }
};

#include "html/images/image_cache.h"

#include <algorithm>

#include "html/images/gif_image.h"
#include "html/images/gp_image.h"

namespace {

int CompareText(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

int64_t BitmapBytes(const TBitmap* b) {
    if (!b) return 0;
    // Every bitmap has its 32-bit surface; the other formats keep their rows too.
    const int64_t surface = int64_t(b->Width()) * b->Height() * 4;
    const bool native32 = b->PixelFormat() == TPixelFormat::pfDevice || b->PixelFormat() == TPixelFormat::pf32bit;
    int64_t bytes = surface + (native32 ? 0 : int64_t(b->BytesPerScanLine()) * b->Height());
    if (auto* ht = dynamic_cast<const ThtBitmap*>(b)) bytes += BitmapBytes(ht->htMask());
    return bytes;
}

}  // namespace

int64_t PictureBytes(const TGraphic* image, const TBitmap* mask) {
    int64_t bytes = BitmapBytes(mask);
    if (auto* gif = dynamic_cast<const TGIFImage*>(image))
        bytes += gif->IsCopy() ? 0 : BitmapBytes(&gif->Strip()) + gif->FirstFrameBytes();
    else if (auto* bmp = dynamic_cast<const TBitmap*>(image))
        bytes += BitmapBytes(bmp);
    else if (auto* gp = dynamic_cast<const TGpImage*>(image))
        bytes += static_cast<int64_t>(gp->Pixels().size()) * 4;
    return bytes;
}

bool TStringBitmapList::Find(const std::string& key, int& index) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareText(items_[static_cast<size_t>(mid)].key, key) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareText(items_[static_cast<size_t>(lo)].key, key) == 0;
}

int TStringBitmapList::IndexOf(const std::string& key) const {
    int index;
    return Find(key, index) ? index : -1;
}

int TStringBitmapList::AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item) {
    int index;
    // A second entry under a key goes first, so that lookups find the newest;
    // the older one ages out once unused.
    Find(key, index);
    ++item->UsageCount;
    const int64_t bytes = PictureBytes(item->MImage.get(), item->Mask.get());
    items_.insert(items_.begin() + index, Entry{key, std::move(item), bytes});
    bytes_ += bytes;
    MakeRoom(0);
    // Still the first of its key: an entry in use is never freed.
    Find(key, index);
    return index;
}

void TStringBitmapList::Remeasure(int index) {
    Entry& e = items_.at(static_cast<size_t>(index));
    const int64_t bytes = PictureBytes(e.item->MImage.get(), e.item->Mask.get());
    bytes_ += bytes - e.bytes;
    e.bytes = bytes;
}

bool TStringBitmapList::MakeRoom(int64_t bytes) {
    int64_t held = Bytes();
    while (held + bytes > MaxBytes) {
        // The oldest unused entry goes first.
        int victim = -1;
        for (int i = 0; i < Count(); ++i) {
            const TBitmapItem* item = Objects(i);
            if (item->UsageCount < 1 && (victim < 0 || item->AccessCount > Objects(victim)->AccessCount)) victim = i;
        }
        if (victim < 0) return false;
        held -= items_[static_cast<size_t>(victim)].bytes;
        Erase(victim);
    }
    return true;
}

TBitmapItem* TStringBitmapList::GetImage(int index) {
    TBitmapItem* item = Objects(index);
    item->AccessCount = 0;
    ++item->UsageCount;
    return item;
}

void TStringBitmapList::DecUsage(const std::string& key) {
    const int index = IndexOf(key);
    if (index >= 0) --Objects(index)->UsageCount;
}

void TStringBitmapList::BumpAndCheck() {
    for (int i = Count() - 1; i >= 0; --i) {
        TBitmapItem* item = Objects(i);
        ++item->AccessCount;
        if (item->AccessCount > MaxCache && item->UsageCount < 1) Erase(i);
    }
}

void TStringBitmapList::SetCacheCount(int n) {
    for (int i = Count() - 1; i >= 0; --i) {
        const TBitmapItem* item = Objects(i);
        if (item->AccessCount > n && item->UsageCount < 1) Erase(i);
    }
    MaxCache = n;
}

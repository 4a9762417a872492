#include "html/images/image_cache.h"

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

}  // namespace

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
    items_.insert(items_.begin() + index, Entry{key, std::move(item)});
    return index;
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
        if (item->AccessCount > MaxCache && item->UsageCount < 1) items_.erase(items_.begin() + i);
    }
}

void TStringBitmapList::SetCacheCount(int n) {
    for (int i = Count() - 1; i >= 0; --i) {
        const TBitmapItem* item = Objects(i);
        if (item->AccessCount > n && item->UsageCount < 1) items_.erase(items_.begin() + i);
    }
    MaxCache = n;
}

#include "controls/glyph_list.h"

#include <algorithm>

TGlyphList::TGlyphList(int width, int height) : TCustomImageList(nullptr, width, height) {}

int TGlyphList::AddMasked(const TBitmap& image, TColor maskColor) {
    Slot slot = MakeSlot(image, maskColor);
    auto free = std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.image; });
    const int index = static_cast<int>(free - slots_.begin());
    if (free == slots_.end())
        slots_.push_back(std::move(slot));
    else
        *free = std::move(slot);
    ++count_;
    return index;
}

void TGlyphList::Delete(int index) {
    if (!Used(index)) return;
    slots_[static_cast<size_t>(index)] = Slot{};
    --count_;
}

namespace GlyphCache {

namespace {
std::vector<std::unique_ptr<TGlyphList>>* lists = nullptr;
}

TGlyphList* GetList(int width, int height) {
    if (!lists) lists = new std::vector<std::unique_ptr<TGlyphList>>();
    for (auto it = lists->rbegin(); it != lists->rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists->push_back(std::make_unique<TGlyphList>(width, height));
    return lists->back().get();
}

void ReturnList(TGlyphList* list) {
    if (!lists || !list || list->Count() > 0) return;
    lists->erase(std::remove_if(lists->begin(), lists->end(), [&](const auto& l) { return l.get() == list; }),
                 lists->end());
    if (lists->empty()) {
        delete lists;
        lists = nullptr;
    }
}

int ListCount() { return lists ? int(lists->size()) : 0; }

}  // namespace GlyphCache

#include "controls/glyph_list.h"

#include <algorithm>

TGlyphList::TGlyphList(int width, int height) : width_(width), height_(height) {}

int TGlyphList::AddMasked(const TBitmap& image, TColor maskColor) {
    auto copy = std::make_unique<TBitmap>(width_, height_, TPixelFormat::pf24bit);
    copy->Canvas().FillRect(TRect{0, 0, width_, height_}, ColorToRGB(maskColor));
    copy->Canvas().CopyRect(TRect{0, 0, std::min(width_, image.Width()), std::min(height_, image.Height())},
                            const_cast<TBitmap&>(image).Canvas(),
                            TRect{0, 0, std::min(width_, image.Width()), std::min(height_, image.Height())});
    auto mask = copy->CreateMask(ColorToRGB(maskColor));
    int index = -1;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (!slots_[i].image) {
            index = int(i);
            break;
        }
    if (index < 0) {
        slots_.emplace_back();
        index = int(slots_.size()) - 1;
    }
    slots_[index].image = std::move(copy);
    slots_[index].mask = std::move(mask);
    ++count_;
    return index;
}

void TGlyphList::Delete(int index) {
    if (!Used(index)) return;
    slots_[index].image.reset();
    slots_[index].mask.reset();
    --count_;
}

bool TGlyphList::Used(int index) const {
    return index >= 0 && index < int(slots_.size()) && slots_[index].image != nullptr;
}

const TBitmap* TGlyphList::Image(int index) const { return Used(index) ? slots_[index].image.get() : nullptr; }
const TBitmap* TGlyphList::Mask(int index) const { return Used(index) ? slots_[index].mask.get() : nullptr; }

void TGlyphList::Draw(TCanvas& canvas, int x, int y, int index) const {
    if (!Used(index)) return;
    canvas.DrawMasked(TRect{x, y, x + width_, y + height_}, *slots_[index].image, TRect{0, 0, width_, height_},
                      *slots_[index].mask);
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

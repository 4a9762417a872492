#include "html/images/dither.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "html/images/viewer_globals.h"

// ---- lookups ----

TFastColorLookup::TFastColorLookup(std::vector<TColor> palette)
    : TColorLookup(std::move(palette)), cache_(32768, 65535) {
    for (size_t i = 0; i < palette_.size(); ++i) {
        const TColor c = palette_[i];
        const int key = (GetRValue(c) >> 3) | ((GetGValue(c) >> 3) << 5) | ((GetBValue(c) >> 3) << 10);
        if (cache_[static_cast<size_t>(key)] == 65535) cache_[static_cast<size_t>(key)] = static_cast<uint16_t>(i);
    }
}

int TFastColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b) {
    const size_t key = static_cast<size_t>((red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10));
    int index = cache_[key];
    if (index == 65535) {
        int best = -1;
        for (size_t i = 0; i < palette_.size(); ++i) {
            const TColor c = palette_[i];
            const int d = std::abs(GetRValue(c) - red) + std::abs(GetGValue(c) - green) + std::abs(GetBValue(c) - blue);
            if (best < 0 || d < best) {
                best = d;
                index = static_cast<int>(i);
            }
        }
        if (index == 65535) index = 0;
        cache_[key] = static_cast<uint16_t>(index);
    }
    const TColor c = static_cast<size_t>(index) < palette_.size() ? palette_[static_cast<size_t>(index)] : clBlack;
    r = GetRValue(c);
    g = GetGValue(c);
    b = GetBValue(c);
    return index;
}

namespace {
std::vector<TColor> CubePalette() {
    std::vector<TColor> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
    return p;
}
}  // namespace

TNetscapeColorLookup::TNetscapeColorLookup() : TColorLookup(CubePalette()) {}

int TNetscapeColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b) {
    const int lr = (red + 3) / 51, lg = (green + 3) / 51, lb = (blue + 3) / 51;
    r = lr * 51;
    g = lg * 51;
    b = lb * 51;
    return lr * 36 + lg * 6 + lb;
}

// ---- engines ----

int TDitherEngine::Dither(int red, int green, int blue, int& r, int& g, int& b) {
    const int index = lookup_.Lookup(red, green, blue, r, g, b);
    column_ += direction_;
    return index;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup) {
    for (int c = 0; c < 3; ++c) {
        cur_[c].assign(static_cast<size_t>(width) + 2, 0);
        next_[c].assign(static_cast<size_t>(width) + 2, 0);
    }
}

int TFloydSteinbergEngine::Dither(int red, int green, int blue, int& r, int& g, int& b) {
    const int wanted[3] = {red, green, blue};
    int want[3];
    const size_t at = static_cast<size_t>(column_ + 1);  // entries 0 and width + 1 catch the spill
    for (int c = 0; c < 3; ++c) want[c] = std::clamp(wanted[c] + (cur_[c][at] + running_[c] + 8) / 16, 0, 255);
    const int index = lookup_.Lookup(want[0], want[1], want[2], r, g, b);
    const int got[3] = {r, g, b};
    const size_t behind = static_cast<size_t>(column_ + 1 - direction_);
    const size_t ahead = static_cast<size_t>(column_ + 1 + direction_);
    for (int c = 0; c < 3; ++c) {
        const int e = want[c] - got[c];
        running_[c] = 7 * e;
        next_[c][behind] += 3 * e;
        next_[c][at] += 5 * e;
        next_[c][ahead] += e;
    }
    column_ += direction_;
    return index;
}

void TFloydSteinbergEngine::NextLine() {
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
    for (int c = 0; c < 3; ++c) {
        std::swap(cur_[c], next_[c]);
        std::fill(next_[c].begin(), next_[c].end(), 0);
        running_[c] = 0;
    }
}

// ---- octree ----

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(std::max(maxColors, 1)), colorBits_(std::clamp(colorBits, 1, 8)), reducible_(9, nullptr) {}

TColorQuantizer::~TColorQuantizer() = default;

void TColorQuantizer::AddColor(int r, int g, int b) {
    auto make = [&](int level) {
        auto node = std::make_unique<TOctreeNode>();
        if (level == colorBits_) {
            node->IsLeaf = true;
            ++leafCount_;
        } else {
            node->Next = reducible_[static_cast<size_t>(level)];
            reducible_[static_cast<size_t>(level)] = node.get();
        }
        return node;
    };
    if (!root_) root_ = make(0);
    TOctreeNode* node = root_.get();
    for (int level = 0; !node->IsLeaf; ++level) {
        const int shift = 7 - level;
        const int index = (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
        if (!node->Child[index]) node->Child[index] = make(level + 1);
        node = node->Child[index].get();
    }
    ++node->PixelCount;
    node->RedSum += r;
    node->GreenSum += g;
    node->BlueSum += b;
    while (leafCount_ > maxColors_) Reduce();
}

void TColorQuantizer::Reduce() {
    int level = colorBits_ - 1;
    while (level > 0 && !reducible_[static_cast<size_t>(level)]) --level;
    TOctreeNode* node = reducible_[static_cast<size_t>(level)];
    if (!node) return;
    reducible_[static_cast<size_t>(level)] = node->Next;
    int children = 0;
    for (auto& child : node->Child) {
        if (!child) continue;
        node->PixelCount += child->PixelCount;
        node->RedSum += child->RedSum;
        node->GreenSum += child->GreenSum;
        node->BlueSum += child->BlueSum;
        child.reset();
        ++children;
    }
    node->IsLeaf = true;
    leafCount_ -= children - 1;
}

void TColorQuantizer::ProcessImage(const TBitmap& bitmap) {
    DitherUnit::TDIBReader reader(bitmap);
    for (int y = 0; y < reader.Height(); ++y) {
        const uint8_t* row = reader.ScanLine(y);
        for (int x = 0; x < reader.Width(); ++x) AddColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
}

std::vector<TColor> TColorQuantizer::ColorTable() const {
    std::vector<TColor> out;
    auto walk = [&](auto& self, const TOctreeNode* node) -> void {
        if (!node) return;
        if (node->IsLeaf) {
            if (node->PixelCount == 0) {
                out.push_back(clBlack);
            } else {
                const long long n = node->PixelCount;
                out.push_back(RGB(static_cast<int>(node->RedSum / n), static_cast<int>(node->GreenSum / n),
                                  static_cast<int>(node->BlueSum / n)));
            }
            return;
        }
        for (const auto& child : node->Child) self(self, child.get());
    };
    walk(walk, root_.get());
    return out;
}

// ---- rows ----

void DitherUnit::TDIB::Bind(TBitmap& bitmap, TPixelFormat format, const char* formatError) {
    bitmap.SetPixelFormat(format);
    if (bitmap.PixelFormat() != format) throw GIFException(formatError);
    bitmap_ = &bitmap;
}

uint8_t* DitherUnit::TDIB::Row(int row) const {
    if (row < 0 || row >= bitmap_->Height()) throw GIFException(SGIFScanLine);
    return bitmap_->ScanLine(row);
}

DitherUnit::TDIBReader::TDIBReader(const TBitmap& source) : copy_(source) {
    if (source.Width() <= 0 || source.Height() <= 0) throw GIFException(SGIFInvalidBitmap);
    Bind(copy_, TPixelFormat::pf24bit, SGIFInvalidPixelFormat);
}

DitherUnit::TDIBWriter::TDIBWriter(TBitmap& target, const std::vector<TColor>& palette) {
    if (target.Width() <= 0 || target.Height() <= 0) throw GIFException(SGIFNoDIB);
    Bind(target, TPixelFormat::pf8bit, SGIFCreateDIB);
    if (!palette.empty()) target.SetPalette(palette);
}

// ---- reduction ----

namespace {
std::unique_ptr<TBitmap> Reduce(const TBitmap& bitmap, int reduction, int ditherMode) {
    auto result = std::make_unique<TBitmap>(bitmap.Width(), bitmap.Height(), TPixelFormat::pf8bit);
    std::vector<TColor> palette;
    switch (reduction) {
        case rmWindows20: palette = DefaultPalette20(); break;
        case rmNetscape: palette = TNetscapeColorLookup().Palette(); break;
        case rmMyPalette: palette = ScreenPalette; break;
        case rmQuantizeWindows: {
            palette = DefaultPalette20();
            TColorQuantizer q(236, 8);
            q.ProcessImage(bitmap);
            for (TColor c : q.ColorTable()) palette.push_back(c);
            break;
        }
        default: return result;
    }
    if (palette.empty()) palette.push_back(clBlack);
    std::unique_ptr<TColorLookup> lookup;
    if (reduction == rmNetscape)
        lookup = std::make_unique<TNetscapeColorLookup>();
    else
        lookup = std::make_unique<TFastColorLookup>(palette);
    std::unique_ptr<TDitherEngine> engine;
    if (ditherMode == dmNearest)
        engine = std::make_unique<TDitherEngine>(bitmap.Width(), *lookup);
    else if (ditherMode == dmFloydSteinberg)
        engine = std::make_unique<TFloydSteinbergEngine>(bitmap.Width(), *lookup);
    else
        return result;

    if (bitmap.Empty()) return result;
    DitherUnit::TDIBReader reader(bitmap);
    DitherUnit::TDIBWriter writer(*result, palette);
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* src = reader.ScanLine(y);
        uint8_t* dst = writer.ScanLine(y);
        for (int n = 0; n < w; ++n) {
            const int x = engine->Column();
            int r, g, b;
            dst[x] = static_cast<uint8_t>(engine->Dither(src[3 * x + 2], src[3 * x + 1], src[3 * x], r, g, b));
        }
        engine->NextLine();
    }
    return result;
}
}  // namespace

std::unique_ptr<TBitmap> ReduceColors(const TBitmap& bitmap, int reduction, int ditherMode) {
    if (reduction == rmNone) return std::make_unique<TBitmap>(bitmap);
    try {
        return Reduce(bitmap, reduction, ditherMode);
    } catch (const std::bad_alloc&) {
        throw GIFException(SGIFOutOfMemory);
    }
}

std::unique_ptr<TBitmap> DitherBitmap(const TGraphic* graphic) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(graphic);
    if (!bitmap || bitmap->Empty()) return nullptr;
    if (bitmap->PixelFormat() == TPixelFormat::pfDevice) return std::make_unique<TBitmap>(*bitmap);
    if (ScreenColorBits < 8) return ReduceColors(*bitmap, rmWindows20, dmFloydSteinberg);
    return ReduceColors(*bitmap, rmMyPalette, dmFloydSteinberg);
}

// The parts of the style side that ask the font service and the canvas.
#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "html/reader/style_props.h"
#include "html/reader/style_values.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"
#include "platform/runtime/arith.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

TFontInstalledCheck& InstalledCheck() {
    static TFontInstalledCheck check;
    return check;
}
// Changes with the installed check, so fonts made under another one are made again.
unsigned g_checkGeneration = 0;

void AppendValue(std::string& key, const TPropValue& v) {
    key += static_cast<char>('0' + v.kind());
    switch (v.kind()) {
        case TPropValue::vText:
            key += v.Text();
            key += '\0';
            break;
        case TPropValue::vInt: {
            const int i = v.Int();
            key.append(reinterpret_cast<const char*>(&i), sizeof i);
            break;
        }
        case TPropValue::vReal: {
            const double r = v.Real();
            key.append(reinterpret_cast<const char*>(&r), sizeof r);
            break;
        }
        default: break;
    }
}

// Fonts already made, keyed by everything a font is made from: paragraphs of
// the same look (thousands in a long report) share one.
struct MadeFont {
    std::shared_ptr<TMyFont> font;  // never changed once made
    int emSize = 0;
};
std::unordered_map<std::string, MadeFont>& MadeFonts() {
    static std::unordered_map<std::string, MadeFont> fonts;
    return fonts;
}

// The inputs of the last font looked up and the font they gave: the
// paragraphs of a long table ask for one font after another.
struct LastLookup {
    std::array<TPropValue, 7> values;
    std::string defFont;
    unsigned facts[4] = {};
    double point = 0;
    const MadeFont* made = nullptr;
} g_lastLookup;

bool DefaultInstalled(const std::string& name) {
    static const std::unordered_set<std::string> faces = [] {
        // The faces the font service stands in for with metric-compatible or
        // close installed families.
        std::unordered_set<std::string> s = {"times new roman", "times", "arial", "helvetica",
                                             "courier new", "courier", "arial narrow", "ms sans serif",
                                             "microsoft sans serif", "tahoma", "verdana", "ms serif",
                                             "georgia", "lucida console"};
        for (const std::string& f : InstalledFontFamilies()) s.insert(Lower(f));
        return s;
    }();
    return faces.count(Lower(name)) != 0;
}

}  // namespace

void SetFontInstalledCheck(TFontInstalledCheck check) {
    InstalledCheck() = std::move(check);
    ++g_checkGeneration;
}

bool FontIsInstalled(const std::string& name) {
    if (InstalledCheck()) return InstalledCheck()(name);
    return DefaultInstalled(name);
}

void TMyFont::Assign(const TMyFont& other) {
    BkColor = other.BkColor;
    tmHeight = other.tmHeight;
    tmDescent = other.tmDescent;
    tmExternalLeading = other.tmExternalLeading;
    tmAveCharWidth = other.tmAveCharWidth;
    tmMaxCharWidth = other.tmMaxCharWidth;
    tmCharset = other.tmCharset;
    CharExtra = other.CharExtra;
    TFont::Assign(other);
}

void TMyFont::AssignToCanvas(TCanvas& canvas) const {
    canvas.SetFont(*this);
    canvas.SetTextCharacterExtra(CharExtra);
}

std::unique_ptr<TMyFont> TProperties::GetFont() {
    EnsureFont();
    auto copy = std::make_unique<TMyFont>();
    copy->Assign(*theFont_);
    return copy;
}

std::shared_ptr<TMyFont> TProperties::SharedFont() {
    EnsureFont();
    return theFont_;
}

void TProperties::EnsureFont() {
    if (!theFont_) {
        // A set copied from a remembered state takes the font made for the
        // state before, with the sizes it set.
        TCascadeMemo* memo = ExactMemo();
        const uint32_t from = cascadeState_;
        const StateChange change{-1, TPropValue(), FontServiceGeneration(), g_checkGeneration, DefPointSize};
        if (memo && AdoptChange(memo, change)) return;
        const int emBefore = EmSize, exBefore = ExSize;
        static constexpr int kFontProps[] = {piFontFamily, piFontSize,  piFontStyle,    piFontWeight,
                                             piTextDecoration, piColor, piLetterSpacing};
        const unsigned facts[] = {static_cast<unsigned>(BackgroundColorCache), static_cast<unsigned>(CharSet),
                                  FontServiceGeneration(), g_checkGeneration};
        LastLookup& last = g_lastLookup;
        bool same = last.made && last.defFont == DefFontname && std::equal(facts, facts + 4, last.facts) &&
                    last.point == DefPointSize;
        for (size_t k = 0; same && k < last.values.size(); ++k)
            same = last.values[k] == Props[static_cast<size_t>(kFontProps[k])];
        const MadeFont* made = same ? last.made : nullptr;
        if (!made) {
            std::string key;
            key.reserve(96);
            for (int i : kFontProps) AppendValue(key, Props[static_cast<size_t>(i)]);
            key += DefFontname;
            key += '\0';
            key.append(reinterpret_cast<const char*>(facts), sizeof facts);
            key.append(reinterpret_cast<const char*>(&DefPointSize), sizeof DefPointSize);
            auto& fonts = MadeFonts();
            auto it = fonts.find(key);
            if (it == fonts.end()) {
                MakeFont();
                if (fonts.size() >= 1024) {
                    last.made = nullptr;
                    fonts.clear();
                }
                it = fonts.emplace(std::move(key), MadeFont{theFont_, EmSize}).first;
            }
            made = &it->second;
            for (size_t k = 0; k < last.values.size(); ++k)
                last.values[k] = Props[static_cast<size_t>(kFontProps[k])];
            last.defFont = DefFontname;
            std::copy(facts, facts + 4, last.facts);
            last.point = DefPointSize;
            last.made = made;
        }
        if (!theFont_) {
            theFont_ = made->font;
            EmSize = made->emSize;
            ExSize = EmSize / 2;
        }
        if (EmSize != emBefore || ExSize != exBefore) Touch();
        if (memo) RememberChange(memo, from, change);
    }
}

void TProperties::MakeFont() {
    {
        ThtFontInfo info;
        GetFontInfo(info);
        const int P = LogicalPixelsPerInch;
        double size = std::clamp(info.Size, 0.0, 3000.0);
        int height = -static_cast<int>(Round(static_cast<long double>(P) * size / 72));
        auto f = std::make_unique<TMyFont>();
        f->SetName(info.Name);
        f->SetHeight(height);
        f->SetStyle(info.Style);
        f->BkColor = info.BkColor;
        f->SetColor(info.Color);

        TFontSpec spec{info.Name, height, info.Style, DEFAULT_CHARSET, TFontPitch::fpDefault};
        const TFontFace* face = FontService().Resolve(spec);
        int charset = face->Metrics().tmCharSet;
        if (charset != SYMBOL_CHARSET) {
            charset = info.CharSet;
            if (charset != DEFAULT_CHARSET) {
                spec.Charset = charset;
                face = FontService().Resolve(spec);
            }
        }
        f->SetCharset(charset);
        const TTextMetric& tm = face->Metrics();
        EmSize = tm.tmHeight - tm.tmInternalLeading;
        ExSize = EmSize / 2;
        f->tmHeight = tm.tmHeight;
        f->tmDescent = tm.tmDescent;
        f->tmExternalLeading = tm.tmExternalLeading;
        f->tmAveCharWidth = tm.tmAveCharWidth;
        f->tmMaxCharWidth = tm.tmMaxCharWidth;
        f->tmCharset = tm.tmCharSet;
        const TPropValue& spacing = Props[piLetterSpacing];
        if (spacing.IsInt()) f->CharExtra = spacing.Int();
        else if (spacing.IsText() && spacing.Text() != "normal")
            f->CharExtra = LengthConv(spacing.Text(), false, EmSize, 0, ExSize, EmSize);
        else f->CharExtra = 0;
        theFont_ = std::move(f);
    }
}

int FitText(TCanvas& canvas, const char16_t* text, int count, int width, TSize& extent) {
    extent = TSize{};
    if (count <= 0) return 0;
    // What fits depends only on the text's start: measure a growing prefix,
    // so fitting a line of a long paragraph costs the line, not the paragraph.
    // The advances go to one buffer kept between calls (layout fits line after line).
    static std::vector<int> dx;
    int fit = 0;
    TSize size;
    for (int n = std::min(count, 256);; n = std::min(count, n * 4)) {
        dx.resize(static_cast<size_t>(n));
        canvas.GetTextExtentExPointW(text, n, std::max(0, width), &fit, dx.data(), size);
        if (fit < n || n == count) break;
    }
    fit = std::clamp(fit, 0, count);
    extent.cy = size.cy;
    extent.cx = fit > 0 ? dx[static_cast<size_t>(fit - 1)] : 0;
    if (dx.capacity() > 65536) std::vector<int>().swap(dx);  // a huge word keeps no memory
    return fit;
}

TSize GetTextExtent(TCanvas& canvas, const char16_t* text, int count) {
    TSize size;
    if (count > 0) canvas.GetTextExtentPoint32W(text, count, size);
    return size;
}


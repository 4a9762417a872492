// The parts of the style side that ask the font service and the canvas.
#include <algorithm>
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
    std::unique_ptr<TMyFont> font;
    int emSize = 0;
};
std::unordered_map<std::string, MadeFont>& MadeFonts() {
    static std::unordered_map<std::string, MadeFont> fonts;
    return fonts;
}

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
    if (!theFont_) {
        std::string key;
        key.reserve(96);
        for (int i : {piFontFamily, piFontSize, piFontStyle, piFontWeight, piTextDecoration, piColor, piLetterSpacing})
            AppendValue(key, Props[static_cast<size_t>(i)]);
        key += DefFontname;
        key += '\0';
        const unsigned facts[] = {static_cast<unsigned>(BackgroundColorCache), static_cast<unsigned>(CharSet),
                                  FontServiceGeneration(), g_checkGeneration};
        key.append(reinterpret_cast<const char*>(facts), sizeof facts);
        key.append(reinterpret_cast<const char*>(&DefPointSize), sizeof DefPointSize);
        auto& made = MadeFonts();
        auto it = made.find(key);
        if (it != made.end()) {
            theFont_ = std::make_unique<TMyFont>();
            theFont_->Assign(*it->second.font);
            EmSize = it->second.emSize;
            ExSize = EmSize / 2;
        } else {
            MakeFont();
            if (made.size() >= 1024) made.clear();
            auto proto = std::make_unique<TMyFont>();
            proto->Assign(*theFont_);
            made.emplace(std::move(key), MadeFont{std::move(proto), EmSize});
        }
    }
    auto copy = std::make_unique<TMyFont>();
    copy->Assign(*theFont_);
    return copy;
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
    std::vector<int> dx;
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
    return fit;
}

TSize GetTextExtent(TCanvas& canvas, const char16_t* text, int count) {
    TSize size;
    if (count > 0) canvas.GetTextExtentPoint32W(text, count, size);
    return size;
}


#pragma once
// Fonts resolved for measuring and drawing. Face names the documents and forms use
// ("Times New Roman", "Arial", "MS Sans Serif"...) land on the installed
// metric-compatible faces; each resolved font keeps its metrics and a table of
// character advances, so measuring text costs a table look-up per character.
// Tests may install a service of their own with fixed metrics.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/graphics.h"

class QFont;
class QRawFont;

// What selects a font: Height in pixels of the canvas's logical units; negative is
// the character (em) height, positive the cell height, 0 a default height.
struct TFontSpec {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    TFontStyles Style = 0;
    int Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = TFontPitch::fpDefault;
    bool operator==(const TFontSpec&) const = default;
    static TFontSpec Of(const TFont& f) { return TFontSpec{f.Name(), f.Height(), f.Style(), f.Charset(), f.Pitch()}; }
};

// Pitch-and-family bits as the window system reports them. Note its old quirk:
// TMPF_FIXED_PITCH set means a *variable* pitch font.
constexpr uint8_t TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;
constexpr uint8_t FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30,
                  FF_SCRIPT = 0x40, FF_DECORATIVE = 0x50;

struct TTextMetric {
    int tmHeight = 0;  // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;  // tmHeight - em height
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    int tmOverhang = 0;
    int tmDigitizedAspectX = 96;
    int tmDigitizedAspectY = 96;
    char16_t tmFirstChar = 32;
    char16_t tmLastChar = 0xFFFC;
    char16_t tmDefaultChar = 0x1F;
    char16_t tmBreakChar = 32;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = 0;
};

class TFontFace {
public:
    explicit TFontFace(const TFontSpec& spec) : spec_(spec) {}
    virtual ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    const TFontSpec& Spec() const { return spec_; }
    const TTextMetric& Metrics() const { return metrics_; }
    // The installed family the face resolved to.
    const std::string& Family() const { return family_; }
    // Em height in pixels.
    int EmHeight() const { return em_; }

    // Advance of one UTF-16 unit in whole pixels (a surrogate pair's advance sits on
    // its first unit).
    int CharWidth(char16_t c) const {
        const Page* p = pages_[c >> 8].get();
        if (p) {
            int32_t v = (*p)[c & 0xFF];
            if (v >= 0) return v & 0xFFFF;
        }
        return Fill(c) & 0xFFFF;
    }
    int TextWidth(const char16_t* s, int n) const {
        int w = 0;
        for (int i = 0; i < n; ++i) w += CharWidth(s[i]);
        return w;
    }
    int TextWidth(const std::u16string& s) const { return TextWidth(s.data(), static_cast<int>(s.size())); }
    // True when the face has no glyph for the character and another installed face
    // draws it.
    bool IsFallback(char16_t c) const {
        CharWidth(c);
        return ((*pages_[c >> 8])[c & 0xFF] & 0x10000) != 0;
    }

    // Qt objects that draw the face; none for faces of a test service.
    virtual const QFont* QtFont() const { return nullptr; }
    virtual const QRawFont* QtRawFont() const { return nullptr; }

protected:
    // Width of a character in pixels; sets fallback when another face draws it.
    virtual int MeasureChar(char16_t c, bool& fallback) const = 0;

    TFontSpec spec_;
    TTextMetric metrics_;
    std::string family_;
    int em_ = 0;

private:
    using Page = std::array<int32_t, 256>;
    int32_t Fill(char16_t c) const;
    mutable std::array<std::unique_ptr<Page>, 256> pages_;
};

class TFontService {
public:
    virtual ~TFontService();
    // The face for a spec; owned by the service and valid as long as it lives.
    virtual const TFontFace* Resolve(const TFontSpec& spec) = 0;
};

// The current service: the installed fonts unless a test replaced it.
TFontService& FontService();
// Installs a service (not owned; nullptr restores the installed fonts) and returns
// the previous one.
TFontService* SetFontService(TFontService* service);
// Changes whenever SetFontService is called, so holders of faces know to resolve
// them again.
unsigned FontServiceGeneration();

// The installed family that a face name stands for ("Arial" -> "Liberation Sans").
std::string ResolveFaceName(const std::string& name);
// Families installed on the machine, for the screen's font list.
std::vector<std::string> InstalledFontFamilies();

// A test service with metrics computed by hand: for em height E (|Height|, 16 when
// Height is 0) ascent E, descent E/4, internal leading E/4, no external leading;
// a space advances E/4, characters below 32 and the soft hyphen 0, every other
// character E/2 (bold adds 1). Faces draw with a plain Qt font when they must.
class TFixedFontService : public TFontService {
public:
    const TFontFace* Resolve(const TFontSpec& spec) override;
    ~TFixedFontService() override;

private:
    std::vector<std::unique_ptr<TFontFace>> faces_;
};

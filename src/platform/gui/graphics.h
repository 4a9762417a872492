#pragma once
// Colours, fonts, pens and brushes: the graphic objects that controls and the
// canvas share. Plain objects with an OnChange hook; no Qt in this header.
#include <cstdint>
#include <functional>
#include <string>

// 0x00BBGGRR; system colours are 0x80000000 + index; clNone/clDefault below.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
// System colours (index into the platform's system colour table).
constexpr TColor clScrollBar = TColor(0x80000000), clBackground = TColor(0x80000001),
                 clActiveCaption = TColor(0x80000002), clInactiveCaption = TColor(0x80000003),
                 clMenu = TColor(0x80000004), clWindow = TColor(0x80000005),
                 clWindowFrame = TColor(0x80000006), clMenuText = TColor(0x80000007),
                 clWindowText = TColor(0x80000008), clCaptionText = TColor(0x80000009),
                 clActiveBorder = TColor(0x8000000A), clInactiveBorder = TColor(0x8000000B),
                 clAppWorkSpace = TColor(0x8000000C), clHighlight = TColor(0x8000000D),
                 clHighlightText = TColor(0x8000000E), clBtnFace = TColor(0x8000000F),
                 clBtnShadow = TColor(0x80000010), clGrayText = TColor(0x80000011),
                 clBtnText = TColor(0x80000012), clInactiveCaptionText = TColor(0x80000013),
                 clBtnHighlight = TColor(0x80000014), cl3DDkShadow = TColor(0x80000015),
                 cl3DLight = TColor(0x80000016), clInfoText = TColor(0x80000017),
                 clInfoBk = TColor(0x80000018);

// A system colour resolved to 0x00BBGGRR (fixed classic palette, never the host theme);
// other colours are returned with the palette-relative flag (0x02000000) removed.
TColor ColorToRGB(TColor color);
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }
constexpr TColor RGB(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // a set of TFontStyle bits
enum class TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
constexpr int DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, SYMBOL_CHARSET = 2;

// Logical resolution of every canvas: 96 pixels per inch, never scaled by the host.
constexpr int LogicalPixelsPerInch = 96;

class TGraphicsObject {
public:
    virtual ~TGraphicsObject() = default;
    std::function<void(TGraphicsObject*)> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

class TFont : public TGraphicsObject {
public:
    TFont() = default;
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }
    void Assign(const TFont& other);  // copies the values, fires OnChange; keeps OnChange

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Size in points; Height in pixels at PixelsPerInch (96 unless the font belongs
    // to a printer canvas), negative = character height (Height = -Size * ppi / 72,
    // rounded).
    int Size() const;
    void SetSize(int points);
    // Assign between fonts of different resolutions keeps the size in points, as a
    // printer font does.
    int PixelsPerInch() const { return ppi_; }
    void SetPixelsPerInch(int ppi);
    int Height() const { return height_; }
    void SetHeight(int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int Charset() const { return charset_; }
    void SetCharset(int charset);

    bool operator==(const TFont& o) const {
        return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ &&
               style_ == o.style_ && pitch_ == o.pitch_ && charset_ == o.charset_;
    }

private:
    std::string name_ = "MS Sans Serif";
    int height_ = -11;  // 8 points
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int charset_ = DEFAULT_CHARSET;
    int ppi_ = 96;
};

enum class TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode : uint8_t { pmCopy, pmNot, pmXor, pmMask, pmMerge, pmNotCopy };

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    TPen(const TPen& other) { Assign(other); }
    TPen& operator=(const TPen& other) {
        Assign(other);
        return *this;
    }
    void Assign(const TPen& other);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    int Width() const { return width_; }
    void SetWidth(int w);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle s);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode m);
    // Geometric dashes: when set, dash and gap lengths in pixels scale with the width.
    bool Geometric() const { return geometric_; }
    void SetGeometric(bool g);

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
    bool geometric_ = false;
};

enum class TBrushStyle : uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    TBrush(const TBrush& other) { Assign(other); }
    TBrush& operator=(const TBrush& other) {
        Assign(other);
        return *this;
    }
    void Assign(const TBrush& other);
    TColor Color() const { return color_; }
    void SetColor(TColor c);  // a solid brush stays solid; clNone makes it clear
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle s);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};
struct TSize {
    int cx = 0, cy = 0;
    bool operator==(const TSize&) const = default;
};
inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }
bool PtInRect(const TRect& r, const TPoint& p);
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
bool IsRectEmpty(const TRect& r);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);

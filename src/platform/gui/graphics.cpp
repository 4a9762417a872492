#include "platform/gui/graphics.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The classic grey scheme, fixed so that screens, bitmaps and prints look the same
// on every desktop theme. Entries are 0x00BBGGRR.
constexpr TColor kSystemColors[] = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop background
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3-D dark shadow
    RGB(192, 192, 192),  // 3-D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(192, 192, 192),  // (unused slot)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(16, 132, 208),   // active caption gradient
    RGB(192, 192, 192),  // inactive caption gradient
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

// Integer a * b / c rounded half away from zero.
int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = (std::llabs(p) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

}  // namespace

TColor ColorToRGB(TColor color) {
    if (color == clNone || color == clDefault) return color;
    if (color < 0) {
        unsigned index = static_cast<unsigned>(color) & 0xFFu;
        if (index < sizeof(kSystemColors) / sizeof(kSystemColors[0])) return kSystemColors[index];
        return clBlack;
    }
    return color & 0x00FFFFFF;
}

// ---- TFont ----

void TFont::Assign(const TFont& other) {
    if (this == &other) return;
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    pitch_ = other.pitch_;
    charset_ = other.charset_;
    if (other.ppi_ != ppi_) height_ = -MulDivRound(other.Size(), ppi_, 72);
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const { return -MulDivRound(height_, 72, ppi_); }

void TFont::SetSize(int points) { SetHeight(-MulDivRound(points, ppi_, 72)); }

void TFont::SetPixelsPerInch(int ppi) {
    if (ppi > 0) ppi_ = ppi;
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

// ---- TPen ----

void TPen::Assign(const TPen& other) {
    if (this == &other) return;
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    mode_ = other.mode_;
    geometric_ = other.geometric_;
    Changed();
}

void TPen::SetColor(TColor c) {
    if (c == color_) return;
    color_ = c;
    Changed();
}

void TPen::SetWidth(int w) {
    if (w < 0) w = 0;
    if (w == width_) return;
    width_ = w;
    Changed();
}

void TPen::SetStyle(TPenStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed();
}

void TPen::SetMode(TPenMode m) {
    if (m == mode_) return;
    mode_ = m;
    Changed();
}

void TPen::SetGeometric(bool g) {
    if (g == geometric_) return;
    geometric_ = g;
    Changed();
}

// ---- TBrush ----

void TBrush::Assign(const TBrush& other) {
    if (this == &other) return;
    color_ = other.color_;
    style_ = other.style_;
    Changed();
}

void TBrush::SetColor(TColor c) {
    TBrushStyle style = style_;
    if (c == clNone)
        style = TBrushStyle::bsClear;
    else if (style == TBrushStyle::bsClear)
        style = TBrushStyle::bsSolid;
    if (c == color_ && style == style_) return;
    color_ = c;
    style_ = style;
    Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed();
}

// ---- rectangles ----

bool PtInRect(const TRect& r, const TPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        dst = TRect{};
        return false;
    }
    if (ea) {
        dst = b;
        return true;
    }
    if (eb) {
        dst = a;
        return true;
    }
    dst = TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
    return true;
}

void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

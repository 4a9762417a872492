#include "platform/gui/canvas.h"

#include <QFont>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QScreen>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/gui/bitmap.h"
#include "platform/runtime/codepage.h"

TGraphic::~TGraphic() = default;

struct TCanvas::PathState {
    QPainterPath path;
    bool open = true;  // between BeginPath and EndPath
};

struct TCanvas::Mapping {
    QTransform toDevice;  // logical -> device
    QTransform base;      // device -> the lent painter's coordinates
};

namespace {

QColor ToQColor(TColor c) {
    TColor rgb = ColorToRGB(c);
    if (rgb == clNone || rgb == clDefault) rgb = clBlack;
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QRgb ToQRgb(TColor c) {
    TColor rgb = ColorToRGB(c);
    if (rgb == clNone || rgb == clDefault) rgb = clBlack;
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

bool IsRasterPainter(QPainter* p) {
    return p->paintEngine() && p->paintEngine()->type() == QPaintEngine::Raster;
}

bool IsPicturePainter(QPainter* p) { return p->device() && p->device()->devType() == QInternal::Picture; }

// Raster operations with an equivalent Qt composition of source and destination.
bool SourceComposition(uint32_t rop, QPainter::CompositionMode& mode) {
    switch (rop) {
        case SRCCOPY: mode = QPainter::CompositionMode_Source; return true;
        case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; return true;
        case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; return true;
        case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; return true;
        case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; return true;
        case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; return true;
        case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; return true;
        case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; return true;
        default: return false;
    }
}

bool UsesSource(uint32_t rop) {
    // A ternary operation depends on the source when its truth table differs
    // between S = 0 and S = 1.
    unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}

// Applies a ternary raster operation's truth table to one colour channel set:
// result bit = table[(P<<2)|(S<<1)|D].
uint32_t TernaryPixel(unsigned table, uint32_t p, uint32_t s, uint32_t d) {
    // The table's bit (P<<2 | S<<1 | D) gives the result bit: or together the
    // minterms whose bit is set.
    uint32_t r = 0;
    for (unsigned idx = 0; idx < 8; ++idx) {
        if (!((table >> idx) & 1u)) continue;
        r |= ((idx & 4) ? p : ~p) & ((idx & 2) ? s : ~s) & ((idx & 1) ? d : ~d);
    }
    return r & 0xFFFFFF;
}

std::string Hex(TColor c) {
    if (c == clNone) return "none";
    char buf[16];
    TColor rgb = ColorToRGB(c);
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return buf;
}

std::string Nums(std::initializer_list<long> values) {
    std::string out;
    for (long v : values) {
        if (!out.empty()) out += ' ';
        out += std::to_string(v);
    }
    return out;
}

}  // namespace

std::string TCanvas::PenText() const {
    return PenDraws() ? Hex(pen_.Color()) + " " + std::to_string(pen_.Width()) : "none";
}

std::string TCanvas::BrushText() const { return BrushFills() ? Hex(brush_.Color()) : "none"; }

// ---------------------------------------------------------------------------

TCanvas::TCanvas() : map_(std::make_unique<Mapping>()) {
    font_.OnChange = [this](TGraphicsObject* o) { ObjectChanged(o); };
    pen_.OnChange = [this](TGraphicsObject* o) { ObjectChanged(o); };
    brush_.OnChange = [this](TGraphicsObject* o) { ObjectChanged(o); };
    st_.textColor = ColorToRGB(font_.Color());
    st_.bkColor = ColorToRGB(brush_.Color());
}

TCanvas::~TCanvas() = default;

void TCanvas::ObjectChanged(TGraphicsObject* which) {
    if (which == &font_) {
        fontDirty_ = true;
        st_.textColor = ColorToRGB(font_.Color());
    } else if (which == &brush_) {
        if (brush_.Style() == TBrushStyle::bsSolid) {
            st_.bkColor = ColorToRGB(brush_.Color());
            st_.bkMode = OPAQUE;
        } else {
            st_.bkMode = TRANSPARENT;
        }
    }
}

void TCanvas::SetFontResolution(int ppi) {
    font_.SetPixelsPerInch(ppi);
    for (Saved& s : saved_) s.font.SetPixelsPerInch(ppi);
}

void TCanvas::SetFont(const TFont& f) {
    // Text is measured run after run in the font set just before: the same
    // font again only resets the text colour, and the face found stays.
    if (&f != &font_ && f.PixelsPerInch() == font_.PixelsPerInch() && f == font_) {
        st_.textColor = ColorToRGB(font_.Color());
        return;
    }
    font_.Assign(f);
}

const TFontFace& TCanvas::Face() {
    if (fontDirty_ || !face_ || faceGeneration_ != FontServiceGeneration()) {
        // Text is mostly measured run after run in the same font set again:
        // the face already found serves without a look-up.
        TFontSpec spec = TFontSpec::Of(font_);
        if (!face_ || faceGeneration_ != FontServiceGeneration() || !(spec == faceSpec_)) {
            face_ = FontService().Resolve(spec);
            faceSpec_ = std::move(spec);
            faceGeneration_ = FontServiceGeneration();
        }
        fontDirty_ = false;
    }
    return *face_;
}

void TCanvas::Realize() { Face(); }

// ---- devices ----

void TCanvas::Attach(QPainter* painter, const TRect* updateRect) {
    if (attached_) Detach();
    if (!painter || !painter->isActive()) return;
    attached_ = painter;
    hasUpdateRect_ = updateRect != nullptr;
    if (updateRect) updateRect_ = *updateRect;
    painter->save();
    map_->base = painter->transform();
    st_.hasClip = false;
    st_.clip = TRegion();
    PainterLost();
}

void TCanvas::Detach() {
    if (!attached_) return;
    if (clipBracket_) attached_->restore();
    attached_->restore();
    attached_ = nullptr;
    lastPainter_ = nullptr;
    clipBracket_ = false;
    hasUpdateRect_ = false;
    map_->base = QTransform();
}

QPainter* TCanvas::AcquirePainter(bool& fresh) {
    fresh = attached_ != lastPainter_;
    return attached_;
}

void TCanvas::PainterLost() {
    // Unwind our clip save() while the painter still lives, so it ends balanced.
    if (clipBracket_ && lastPainter_ && lastPainter_->isActive() && lastPainter_ != attached_)
        lastPainter_->restore();
    lastPainter_ = nullptr;
    clipBracket_ = false;
    clipDirty_ = true;
    transformDirty_ = true;
}

QPainter* TCanvas::Prepare() {
    if (drawingOff_) return nullptr;
    bool fresh = false;
    QPainter* p = AcquirePainter(fresh);
    if (!p || !p->isActive()) return nullptr;
    if (fresh || p != lastPainter_) {
        if (p != lastPainter_) clipBracket_ = false;
        lastPainter_ = p;
        clipDirty_ = true;
        transformDirty_ = true;
        if (!attached_) map_->base = QTransform();
    }
    if (clipDirty_) {
        // The clip sits inside a save() of its own, so that replacing it never
        // widens a clip that the device (a paint event, a metafile play-back) set.
        if (clipBracket_) p->restore();
        p->save();
        clipBracket_ = true;
        if (st_.hasClip) {
            p->setTransform(map_->base);
            p->setClipRegion(st_.clip.Qt(), Qt::IntersectClip);
        }
        clipDirty_ = false;
        transformDirty_ = true;
    }
    if (transformDirty_) {
        UpdateMapping();
        p->setTransform(map_->toDevice * map_->base);
        transformDirty_ = false;
    }
    return p;
}

QPainter* TCanvas::BeginPaint() {
    Realize();
    QPainter* p = Prepare();
    if (p) inPaint_ = true;
    return p;
}

void TCanvas::EndPaint() {
    if (!inPaint_) return;
    inPaint_ = false;
    transformDirty_ = true;
    if (lastPainter_) {
        ResetComposition(lastPainter_);
        // Restoring the clip bracket throws away whatever the caller changed.
        clipDirty_ = true;
    }
}

TDeviceCaps TCanvas::DeviceCaps() const {
    TDeviceCaps caps;
    QPaintDevice* dev = attached_ ? attached_->device() : nullptr;
    if (dev) {
        caps.HorzRes = caps.PhysicalWidth = dev->width();
        caps.VertRes = caps.PhysicalHeight = dev->height();
    } else if (QGuiApplication::primaryScreen()) {
        QSize s = QGuiApplication::primaryScreen()->size();
        caps.HorzRes = caps.PhysicalWidth = s.width();
        caps.VertRes = caps.PhysicalHeight = s.height();
    }
    return caps;
}

int TCanvas::GetDeviceCaps(int index) const {
    TDeviceCaps c = DeviceCaps();
    switch (index) {
        case TECHNOLOGY: return c.Technology;
        case HORZRES: return c.HorzRes;
        case VERTRES: return c.VertRes;
        case HORZSIZE: return c.LogPixelsX > 0 ? c.HorzRes * 254 / (c.LogPixelsX * 10) : 0;
        case VERTSIZE: return c.LogPixelsY > 0 ? c.VertRes * 254 / (c.LogPixelsY * 10) : 0;
        case BITSPIXEL: return c.BitsPixel;
        case PLANES: return c.Planes;
        case NUMCOLORS: return c.BitsPixel <= 8 ? (1 << c.BitsPixel) : -1;
        case RASTERCAPS: return 0x0001 | 0x0008 | 0x0800;  // bit blits, 64K+ bitmaps, stretch blits
        case LOGPIXELSX: return c.LogPixelsX;
        case LOGPIXELSY: return c.LogPixelsY;
        case SIZEPALETTE: return c.BitsPixel <= 8 ? (1 << c.BitsPixel) : 0;
        case COLORRES: return c.BitsPixel;
        case PHYSICALWIDTH: return c.PhysicalWidth;
        case PHYSICALHEIGHT: return c.PhysicalHeight;
        case PHYSICALOFFSETX: return c.PhysicalOffsetX;
        case PHYSICALOFFSETY: return c.PhysicalOffsetY;
        default: return 0;
    }
}

TRect TCanvas::DeviceBounds() const {
    TDeviceCaps c = DeviceCaps();
    return TRect{0, 0, c.HorzRes, c.VertRes};
}

// ---- mapping ----

void TCanvas::UpdateMapping() {
    double sx = 1, sy = 1;
    if (st_.mapMode == MM_ANISOTROPIC || st_.mapMode == MM_ISOTROPIC) {
        sx = st_.winExt.cx ? double(st_.vpExt.cx) / st_.winExt.cx : 1;
        sy = st_.winExt.cy ? double(st_.vpExt.cy) / st_.winExt.cy : 1;
        if (st_.mapMode == MM_ISOTROPIC) {
            double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = sx < 0 ? -m : m;
            sy = sy < 0 ? -m : m;
        }
    }
    map_->toDevice = QTransform(sx, 0, 0, sy, st_.vpOrg.X - st_.winOrg.X * sx, st_.vpOrg.Y - st_.winOrg.Y * sy);
}

int TCanvas::SetMapMode(int mode) {
    int old = st_.mapMode;
    if (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) return 0;
    st_.mapMode = mode;
    if (mode == MM_TEXT) st_.winExt = st_.vpExt = TSize{1, 1};
    transformDirty_ = true;
    return old;
}

bool TCanvas::SetWindowOrgEx(int x, int y, TPoint* old) {
    if (old) *old = st_.winOrg;
    st_.winOrg = TPoint{x, y};
    transformDirty_ = true;
    return true;
}

bool TCanvas::SetViewportOrgEx(int x, int y, TPoint* old) {
    if (old) *old = st_.vpOrg;
    st_.vpOrg = TPoint{x, y};
    transformDirty_ = true;
    return true;
}

bool TCanvas::SetWindowExtEx(int cx, int cy, TSize* old) {
    if (old) *old = st_.winExt;
    if (st_.mapMode == MM_TEXT) return true;  // fixed in this mode
    if (cx == 0 || cy == 0) return false;
    st_.winExt = TSize{cx, cy};
    transformDirty_ = true;
    return true;
}

bool TCanvas::SetViewportExtEx(int cx, int cy, TSize* old) {
    if (old) *old = st_.vpExt;
    if (st_.mapMode == MM_TEXT) return true;
    if (cx == 0 || cy == 0) return false;
    st_.vpExt = TSize{cx, cy};
    transformDirty_ = true;
    return true;
}

void TCanvas::LPtoDP(TPoint* points, int count) const {
    const_cast<TCanvas*>(this)->UpdateMapping();
    for (int i = 0; i < count; ++i) {
        QPointF q = map_->toDevice.map(QPointF(points[i].X, points[i].Y));
        points[i] = TPoint{static_cast<int>(std::lround(q.x())), static_cast<int>(std::lround(q.y()))};
    }
}

void TCanvas::DPtoLP(TPoint* points, int count) const {
    const_cast<TCanvas*>(this)->UpdateMapping();
    QTransform inv = map_->toDevice.inverted();
    for (int i = 0; i < count; ++i) {
        QPointF q = inv.map(QPointF(points[i].X, points[i].Y));
        points[i] = TPoint{static_cast<int>(std::lround(q.x())), static_cast<int>(std::lround(q.y()))};
    }
}

// ---- clipping ----

void TCanvas::ClipChanged() { clipDirty_ = true; }

namespace {
TRect NormalRect(TPoint a, TPoint b) {
    return TRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}
}  // namespace

int TCanvas::SelectClipRgn(const TRegion* rgn) {
    if (!rgn) {
        st_.hasClip = false;
        st_.clip = TRegion();
        ClipChanged();
        return SIMPLEREGION;
    }
    st_.hasClip = true;
    st_.clip = *rgn;
    ClipChanged();
    return st_.clip.Kind();
}

int TCanvas::ExtSelectClipRgn(const TRegion* rgn, int mode) {
    if (mode == RGN_COPY) return SelectClipRgn(rgn);
    if (!rgn) return RGN_ERROR;
    TRegion current = st_.hasClip ? st_.clip : TRegion::FromRect(DeviceBounds());
    TRegion result;
    if (CombineRgn(result, current, *rgn, mode) == RGN_ERROR) return RGN_ERROR;
    st_.hasClip = true;
    st_.clip = result;
    ClipChanged();
    return result.Kind();
}

int TCanvas::GetClipRgn(TRegion& rgn) {
    if (!st_.hasClip) return 0;
    rgn = st_.clip;
    return 1;
}

int TCanvas::IntersectClipRect(int left, int top, int right, int bottom) {
    TPoint pts[2] = {{left, top}, {right, bottom}};
    LPtoDP(pts, 2);
    TRegion r = TRegion::FromRect(NormalRect(pts[0], pts[1]));
    if (st_.hasClip)
        CombineRgn(st_.clip, st_.clip, r, RGN_AND);
    else
        st_.clip = r;
    st_.hasClip = true;
    ClipChanged();
    return st_.clip.Kind();
}

int TCanvas::ExcludeClipRect(int left, int top, int right, int bottom) {
    TPoint pts[2] = {{left, top}, {right, bottom}};
    LPtoDP(pts, 2);
    TRegion r = TRegion::FromRect(NormalRect(pts[0], pts[1]));
    TRegion current = st_.hasClip ? st_.clip : TRegion::FromRect(DeviceBounds());
    CombineRgn(st_.clip, current, r, RGN_DIFF);
    st_.hasClip = true;
    ClipChanged();
    return st_.clip.Kind();
}

int TCanvas::GetClipBox(TRect& rect) {
    TRegion visible = TRegion::FromRect(DeviceBounds());
    if (attached_ && hasUpdateRect_) CombineRgn(visible, visible, TRegion::FromRect(updateRect_), RGN_AND);
    if (st_.hasClip) CombineRgn(visible, visible, st_.clip, RGN_AND);
    TRect box = visible.BoundingBox();
    TPoint pts[2] = {{box.Left, box.Top}, {box.Right, box.Bottom}};
    DPtoLP(pts, 2);
    rect = NormalRect(pts[0], pts[1]);
    return visible.Kind();
}

TRect TCanvas::ClipRect() {
    TRect r;
    GetClipBox(r);
    return r;
}

bool TCanvas::RectVisible(const TRect& rect) {
    TPoint pts[2] = {{rect.Left, rect.Top}, {rect.Right, rect.Bottom}};
    LPtoDP(pts, 2);
    TRect d = NormalRect(pts[0], pts[1]);
    TRect bounds = DeviceBounds(), tmp;
    if (!IntersectRect(tmp, d, bounds)) return false;
    return !st_.hasClip || st_.clip.Intersects(d);
}

int TCanvas::SaveDC() {
    saved_.push_back(Saved{st_, font_, pen_, brush_});
    return static_cast<int>(saved_.size());
}

bool TCanvas::RestoreDC(int level) {
    if (saved_.empty()) return false;
    size_t index;
    if (level < 0) {
        if (static_cast<size_t>(-level) > saved_.size()) return false;
        index = saved_.size() + level;
    } else {
        if (level < 1 || static_cast<size_t>(level) > saved_.size()) return false;
        index = static_cast<size_t>(level) - 1;
    }
    Saved s = saved_[index];
    saved_.resize(index);
    // The objects come back without their change hooks resetting the colours that
    // the saved state carries.
    auto fontHook = std::move(font_.OnChange), penHook = std::move(pen_.OnChange),
         brushHook = std::move(brush_.OnChange);
    font_.OnChange = nullptr;
    pen_.OnChange = nullptr;
    brush_.OnChange = nullptr;
    font_.Assign(s.font);
    pen_.Assign(s.pen);
    brush_.Assign(s.brush);
    font_.OnChange = std::move(fontHook);
    pen_.OnChange = std::move(penHook);
    brush_.OnChange = std::move(brushHook);
    fontDirty_ = true;
    st_ = s.st;
    clipDirty_ = true;
    transformDirty_ = true;
    return true;
}

// ---- text state ----

unsigned TCanvas::SetTextAlign(unsigned align) {
    unsigned old = st_.textAlign;
    st_.textAlign = align;
    return old;
}

TColor TCanvas::SetTextColor(TColor color) {
    TColor old = st_.textColor;
    st_.textColor = ColorToRGB(color);
    return old;
}

TColor TCanvas::GetTextColor() { return st_.textColor; }

TColor TCanvas::SetBkColor(TColor color) {
    TColor old = st_.bkColor;
    st_.bkColor = ColorToRGB(color);
    return old;
}

TColor TCanvas::GetBkColor() { return st_.bkColor; }

int TCanvas::SetBkMode(int mode) {
    int old = st_.bkMode;
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    st_.bkMode = mode;
    return old;
}

int TCanvas::GetBkMode() { return st_.bkMode; }

int TCanvas::SetTextCharacterExtra(int extra) {
    int old = st_.charExtra;
    st_.charExtra = extra;
    return old;
}

bool TCanvas::SetTextJustification(int extra, int breakCount) {
    if (extra == 0 || breakCount <= 0) {
        st_.breakExtra = st_.breakCount = st_.breakRemainder = 0;
        return true;
    }
    st_.breakExtra = extra;
    st_.breakCount = breakCount;
    st_.breakRemainder = extra % breakCount;
    return true;
}

int TCanvas::BreakAdvance(int& remainder) const {
    int base = st_.breakExtra / st_.breakCount;
    if (remainder > 0) {
        --remainder;
        return base + 1;
    }
    if (remainder < 0) {
        ++remainder;
        return base - 1;
    }
    return base;
}

void TCanvas::Advances(const char16_t* text, int count, const int* dx, std::vector<int>& out, bool consume) {
    out.resize(static_cast<size_t>(std::max(count, 0)));
    const TFontFace& f = Face();
    int remainder = st_.breakRemainder;
    char16_t breakChar = f.Metrics().tmBreakChar;
    for (int i = 0; i < count; ++i) {
        if (dx) {
            out[i] = dx[i];
            continue;
        }
        int a = f.CharWidth(text[i]) + st_.charExtra;
        if (st_.breakCount > 0 && text[i] == breakChar) a += BreakAdvance(remainder);
        out[i] = a;
    }
    if (consume) st_.breakRemainder = remainder;
}

bool TCanvas::GetTextExtentPoint32W(const char16_t* text, int count, TSize& size) {
    if (st_.breakCount > 0 || count < 0 || (count > 0 && !text))
        return GetTextExtentExPointW(text, count, -1, nullptr, nullptr, size);
    const TFontFace& f = Face();
    size = TSize{f.TextWidth(text, count) + st_.charExtra * count, f.Metrics().tmHeight};
    return true;
}

bool TCanvas::GetTextExtentExPointW(const char16_t* text, int count, int maxExtent, int* fit, int* dx,
                                    TSize& size) {
    if (count < 0 || (count > 0 && !text)) return false;
    const TFontFace& f = Face();
    int remainder = st_.breakRemainder;
    char16_t breakChar = f.Metrics().tmBreakChar;
    int extent = 0, fitted = 0;
    bool stopped = false;
    for (int i = 0; i < count; ++i) {
        int a = f.CharWidth(text[i]) + st_.charExtra;
        if (st_.breakCount > 0 && text[i] == breakChar) a += BreakAdvance(remainder);
        extent += a;
        if (dx) dx[i] = extent;
        if (!stopped) {
            if (maxExtent < 0 || extent <= maxExtent)
                fitted = i + 1;
            else
                stopped = true;
        }
    }
    if (fit) *fit = fitted;
    size = TSize{extent, f.Metrics().tmHeight};
    return true;
}

bool TCanvas::GetTextMetrics(TTextMetric& tm) {
    tm = Face().Metrics();
    return true;
}

int TCanvas::TextWidth(const std::u16string& text) {
    const TFontFace& f = Face();
    int w = f.TextWidth(text);
    if (st_.charExtra || st_.breakCount) {
        TSize s;
        GetTextExtentPoint32W(text.data(), static_cast<int>(text.size()), s);
        return s.cx;
    }
    return w;
}

int TCanvas::TextWidth(const std::string& text) { return TextWidth(Cp1252ToUtf16(text)); }

TSize TCanvas::TextExtent(const std::u16string& text) {
    TSize s;
    GetTextExtentPoint32W(text.data(), static_cast<int>(text.size()), s);
    return s;
}

TSize TCanvas::TextExtent(const std::string& text) { return TextExtent(Cp1252ToUtf16(text)); }

int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

// ---- text output ----

void TCanvas::DrawGlyphs(QPainter* p, int x, int baseline, const char16_t* text, int count,
                         const std::vector<int>& adv) {
    const TFontFace& f = Face();
    QColor color = ToQColor(st_.textColor);
    p->setPen(QPen(color));
    p->setBrush(Qt::NoBrush);
    p->setRenderHint(QPainter::TextAntialiasing, true);
    const QRawFont* raw = f.QtRawFont();
    const bool picture = IsPicturePainter(p);
    int total = 0;
    for (int a : adv) total += a;

    if (raw && !picture) {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        glyphs.reserve(count);
        positions.reserve(count);
        std::vector<quint32> indexes(static_cast<size_t>(count));
        int n = count;
        bool direct = raw->glyphIndexesForChars(reinterpret_cast<const QChar*>(text), count, indexes.data(), &n) &&
                      n == count;
        int cx = x;
        for (int i = 0; i < count; ++i) {
            char16_t c = text[i];
            if (c >= 32 && !(c >= 0xD800 && c <= 0xDFFF) && !f.IsFallback(c)) {
                quint32 g = 0;
                if (direct) {
                    g = indexes[i];
                } else {
                    QChar qc(c);
                    int one = 1;
                    raw->glyphIndexesForChars(&qc, 1, &g, &one);
                }
                if (g != 0) {
                    glyphs.push_back(g);
                    positions.push_back(QPointF(cx, baseline));
                }
            } else if (c >= 32 && f.QtFont()) {
                // A character the face lacks (or a surrogate pair): Qt finds a face.
                int len = (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) ? 2 : 1;
                if (!(c >= 0xDC00 && c <= 0xDFFF)) {
                    QFont qf = *f.QtFont();
                    qf.setUnderline(false);
                    qf.setStrikeOut(false);
                    p->setFont(qf);
                    p->drawText(QPointF(cx, baseline), QString(reinterpret_cast<const QChar*>(text + i), len));
                }
            }
            cx += adv[i];
        }
        if (!glyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(*raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            p->drawGlyphRun(QPointF(0, 0), run);
        }
    } else {
        // Metafiles record text as text; faces without a Qt font draw with a plain one.
        QFont qf;
        if (f.QtFont()) {
            qf = *f.QtFont();
        } else {
            qf.setFamily(QStringLiteral("DejaVu Sans"));
            qf.setPixelSize(std::max(1, f.EmHeight()));
        }
        qf.setUnderline(false);
        qf.setStrikeOut(false);
        p->setFont(qf);
        bool natural = true;
        for (int i = 0; i < count && natural; ++i)
            natural = adv[i] == f.CharWidth(text[i]) && text[i] >= 32 && !f.IsFallback(text[i]);
        if (natural && f.QtFont()) {
            p->drawText(QPointF(x, baseline), QString(reinterpret_cast<const QChar*>(text), count));
        } else {
            int cx = x;
            for (int i = 0; i < count; ++i) {
                char16_t c = text[i];
                if (c >= 32 && !(c >= 0xDC00 && c <= 0xDFFF)) {
                    int len = (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) ? 2 : 1;
                    p->drawText(QPointF(cx, baseline), QString(reinterpret_cast<const QChar*>(text + i), len));
                }
                cx += adv[i];
            }
        }
    }

    TFontStyles style = f.Spec().Style;
    if ((style & (fsUnderline | fsStrikeOut)) && total != 0) {
        int thickness = 1, underPos = 1, strikePos = f.Metrics().tmAscent / 3;
        if (raw) {
            thickness = std::max(1, qRound(raw->lineThickness()));
            underPos = std::max(1, qRound(raw->underlinePosition()));
            strikePos = std::max(1, qRound(raw->xHeight() / 2));
        }
        int left = std::min(x, x + total), width = std::abs(total);
        if (style & fsUnderline) p->fillRect(QRect(left, baseline + underPos, width, thickness), color);
        if (style & fsStrikeOut) p->fillRect(QRect(left, baseline - strikePos, width, thickness), color);
    }
}

bool TCanvas::ExtTextOutW(int x, int y, unsigned options, const TRect* rect, const char16_t* text, int count,
                          const int* dx) {
    if (count < 0 || (count > 0 && !text)) return false;
    const TFontFace& f = Face();
    std::vector<int> adv;
    Advances(text, count, dx, adv, true);
    int width = 0;
    for (int a : adv) width += a;
    const TTextMetric& tm = f.Metrics();

    TPoint ref = (st_.textAlign & TA_UPDATECP) ? st_.pos : TPoint{x, y};
    int x0 = ref.X;
    unsigned h = st_.textAlign & TA_CENTER;
    if (h == TA_RIGHT)
        x0 = ref.X - width;
    else if (h == TA_CENTER)
        x0 = ref.X - width / 2;
    unsigned v = st_.textAlign & TA_BASELINE;
    int baseline = ref.Y + tm.tmAscent;
    if (v == TA_BASELINE)
        baseline = ref.Y;
    else if (v == TA_BOTTOM)
        baseline = ref.Y - tm.tmDescent;
    if (st_.textAlign & TA_UPDATECP) {
        if (h == TA_RIGHT)
            st_.pos.X = ref.X - width;
        else if (h == TA_LEFT)
            st_.pos.X = ref.X + width;
    }

    if (log_) {
        std::string style;
        TFontStyles fs = f.Spec().Style;
        if (fs & fsBold) style += 'b';
        if (fs & fsItalic) style += 'i';
        if (fs & fsUnderline) style += 'u';
        if (fs & fsStrikeOut) style += 's';
        QByteArray utf8 = QString::fromUtf16(text, count).toUtf8();
        Record("text " + Nums({x0, baseline, width}) + " \"" + f.Spec().Name + "\" " + std::to_string(f.Spec().Height) +
               " " + (style.empty() ? "-" : style) + " " + Hex(st_.textColor) + " " + utf8.toStdString());
    }
    QPainter* p = Prepare();
    if (!p) return true;
    bool clipped = (options & ETO_CLIPPED) && rect;
    if (clipped) {
        p->save();
        p->setClipRect(ToQRect(*rect), Qt::IntersectClip);
    }
    if ((options & ETO_OPAQUE) && rect) {
        p->fillRect(ToQRect(*rect), ToQColor(st_.bkColor));
    }
    if (st_.bkMode == OPAQUE && count > 0) {
        p->fillRect(QRect(std::min(x0, x0 + width), baseline - tm.tmAscent, std::abs(width), tm.tmHeight),
                    ToQColor(st_.bkColor));
    }
    if (count > 0) DrawGlyphs(p, x0, baseline, text, count, adv);
    if (clipped) p->restore();
    return true;
}

bool TCanvas::TextOutW(int x, int y, const char16_t* text, int count) {
    return ExtTextOutW(x, y, 0, nullptr, text, count, nullptr);
}

bool TCanvas::ExtTextOutA(int x, int y, unsigned options, const TRect* rect, const std::string& text,
                          const int* dx) {
    std::u16string w = Cp1252ToUtf16(text);
    return ExtTextOutW(x, y, options, rect, w.data(), static_cast<int>(w.size()), dx);
}

void TCanvas::TextOut(int x, int y, const std::u16string& text) {
    ExtTextOutW(x, y, 0, nullptr, text.data(), static_cast<int>(text.size()));
    if (!(st_.textAlign & TA_UPDATECP)) st_.pos = TPoint{x + TextWidth(text), y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) { TextOut(x, y, Cp1252ToUtf16(text)); }

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::u16string& text) {
    unsigned options = ETO_CLIPPED;
    if (brush_.Style() != TBrushStyle::bsClear) options |= ETO_OPAQUE;
    ExtTextOutW(x, y, options, &rect, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    TextRect(rect, x, y, Cp1252ToUtf16(text));
}

// ---- DrawText ----

namespace {

struct TextLine {
    std::u16string text;
    int underline = -1;  // index of the prefixed character
};

// Removes prefix ampersands; "&&" stands for one ampersand.
std::u16string StripPrefix(const std::u16string& s, int& underline) {
    std::u16string out;
    underline = -1;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != u'&') underline = static_cast<int>(out.size());
        } else if (s[i] == u'&') {
            continue;
        }
        out.push_back(s[i]);
    }
    return out;
}

}  // namespace

int TCanvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
    std::u16string w = Cp1252ToUtf16(text);
    return DrawTextW(w.data(), static_cast<int>(w.size()), rect, format);
}

int TCanvas::DrawTextW(const char16_t* text, int count, TRect& rect, unsigned format) {
    if (count < 0) {
        count = 0;
        if (text)
            while (text[count]) ++count;
    }
    if (!text) count = 0;
    const TFontFace& f = Face();
    const TTextMetric& tm = f.Metrics();
    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int tabWidth = std::max(1, 8 * tm.tmAveCharWidth);
    const int boxWidth = rect.Right - rect.Left;
    const bool prefix = !(format & DT_NOPREFIX);

    auto advances = [&](const std::u16string& s, std::vector<int>& adv) {
        adv.resize(s.size());
        int pos = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            int a;
            if (s[i] == u'\t' && (format & DT_EXPANDTABS))
                a = tabWidth - (pos % tabWidth);
            else
                a = f.CharWidth(s[i]) + st_.charExtra;
            adv[i] = a;
            pos += a;
        }
        return pos;
    };
    auto widthOf = [&](const std::u16string& s) {
        std::vector<int> adv;
        return advances(s, adv);
    };
    auto trimmedWidth = [&](const std::u16string& s) {
        size_t n = s.size();
        while (n > 0 && s[n - 1] == u' ') --n;
        return widthOf(s.substr(0, n));
    };

    // Paragraphs split at line ends, then wrapped.
    std::vector<TextLine> lines;
    std::u16string all(text, static_cast<size_t>(count));
    std::vector<std::u16string> paragraphs;
    if (format & DT_SINGLELINE) {
        for (char16_t& c : all)
            if (c == u'\r' || c == u'\n') c = u' ';
        paragraphs.push_back(all);
    } else {
        std::u16string cur;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i] == u'\r' || all[i] == u'\n') {
                paragraphs.push_back(cur);
                cur.clear();
                if (all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
            } else {
                cur.push_back(all[i]);
            }
        }
        paragraphs.push_back(cur);
    }
    for (const std::u16string& para : paragraphs) {
        TextLine whole;
        whole.text = prefix ? StripPrefix(para, whole.underline) : para;
        if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) || widthOf(whole.text) <= boxWidth) {
            lines.push_back(whole);
            continue;
        }
        // Greedy wrapping at spaces; a word wider than the box stays whole.
        const std::u16string& s = whole.text;
        size_t start = 0;
        while (start < s.size()) {
            size_t end = start, lastBreak = std::u16string::npos;
            int w = 0;
            std::vector<int> adv;
            while (end < s.size()) {
                int a = (s[end] == u'\t' && (format & DT_EXPANDTABS)) ? tabWidth - (w % tabWidth)
                                                                      : f.CharWidth(s[end]) + st_.charExtra;
                if (s[end] == u' ') lastBreak = end;
                if (w + a > boxWidth && s[end] != u' ') break;
                w += a;
                ++end;
            }
            size_t cut;
            if (end >= s.size())
                cut = s.size();
            else if (lastBreak != std::u16string::npos && lastBreak >= start)
                cut = lastBreak + 1;
            else {
                // No space to break at: run to the end of the word.
                cut = end;
                while (cut < s.size() && s[cut] != u' ') ++cut;
                if (cut < s.size()) ++cut;
            }
            TextLine line;
            line.text = s.substr(start, cut - start);
            if (whole.underline >= static_cast<int>(start) && whole.underline < static_cast<int>(cut))
                line.underline = whole.underline - static_cast<int>(start);
            lines.push_back(line);
            start = cut;
            while (start < s.size() && s[start] == u' ') ++start;
        }
    }

    int maxWidth = 0;
    for (const TextLine& l : lines) maxWidth = std::max(maxWidth, trimmedWidth(l.text));
    const int height = static_cast<int>(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + maxWidth;
        rect.Bottom = rect.Top + height;
        return height;
    }

    int y = rect.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect.Top + (rect.Bottom - rect.Top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect.Bottom - lineHeight;
    }

    QPainter* p = Prepare();
    if (!p && !log_) return height;
    bool clip = p && !(format & DT_NOCLIP);
    if (clip) {
        p->save();
        p->setClipRect(ToQRect(rect), Qt::IntersectClip);
    }
    unsigned oldAlign = st_.textAlign;
    st_.textAlign = TA_LEFT | TA_TOP;
    for (TextLine& l : lines) {
        std::u16string s = l.text;
        if ((format & DT_END_ELLIPSIS) && trimmedWidth(s) > boxWidth) {
            const std::u16string dots = u"...";
            int dotsWidth = widthOf(dots);
            std::vector<int> full;
            advances(s, full);
            size_t keep = 0;
            int used = 0;
            while (keep < s.size() && used + full[keep] + dotsWidth <= boxWidth) used += full[keep++];
            s.resize(keep);
            s += dots;
            if (l.underline >= static_cast<int>(s.size()) - 3) l.underline = -1;
        }
        std::vector<int> adv;
        int w = advances(s, adv);
        size_t n = s.size();
        int trailing = 0;
        while (n > 0 && s[n - 1] == u' ') trailing += adv[--n];
        w -= trailing;
        int x = rect.Left;
        if (format & DT_CENTER)
            x = rect.Left + (boxWidth - w) / 2;
        else if (format & DT_RIGHT)
            x = rect.Right - w;
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i] == u'\t') s[i] = u' ';
        ExtTextOutW(x, y, 0, nullptr, s.data(), static_cast<int>(n), adv.data());
        if (p && l.underline >= 0 && l.underline < static_cast<int>(n)) {
            int ux = x;
            for (int i = 0; i < l.underline; ++i) ux += adv[i];
            QPainter* q = Prepare();
            if (q) q->fillRect(QRect(ux, y + tm.tmAscent + 1, adv[l.underline], 1), ToQColor(st_.textColor));
        }
        y += lineHeight;
    }
    st_.textAlign = oldAlign;
    if (clip) p->restore();
    return height;
}

// ---- pens and brushes ----

bool TCanvas::PenDraws() const { return pen_.Style() != TPenStyle::psClear; }
bool TCanvas::BrushFills() const { return brush_.Style() != TBrushStyle::bsClear; }

void TCanvas::ResetComposition(QPainter* p) {
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::ApplyPen(QPainter* p) {
    ResetComposition(p);
    if (!PenDraws()) {
        p->setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(pen_.Color()));
    int w = pen_.Width();
    bool cosmetic = w <= 1;
    pen.setWidth(cosmetic ? 0 : w);
    pen.setCosmetic(cosmetic);
    // Thin lines stop short of their end point; wide ones have round ends.
    pen.setCapStyle(cosmetic ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(cosmetic || pen_.Geometric() ? Qt::MiterJoin : Qt::RoundJoin);
    bool dashed = cosmetic || pen_.Geometric();
    switch (pen_.Style()) {
        case TPenStyle::psDash:
            if (dashed) pen.setDashPattern(pen_.Geometric() ? QList<qreal>{3, 1} : QList<qreal>{18, 6});
            break;
        case TPenStyle::psDot:
            if (dashed) pen.setDashPattern(pen_.Geometric() ? QList<qreal>{1, 1} : QList<qreal>{3, 3});
            break;
        case TPenStyle::psDashDot:
            if (dashed) pen.setDashPattern(pen_.Geometric() ? QList<qreal>{3, 1, 1, 1} : QList<qreal>{9, 6, 3, 6});
            break;
        case TPenStyle::psDashDotDot:
            if (dashed)
                pen.setDashPattern(pen_.Geometric() ? QList<qreal>{3, 1, 1, 1, 1, 1}
                                                    : QList<qreal>{9, 3, 3, 3, 3, 3});
            break;
        default: break;
    }
    // Caps would eat the gaps of wide dashes (they are measured in pen widths).
    if (pen_.Geometric() && pen_.Style() != TPenStyle::psSolid && pen_.Style() != TPenStyle::psInsideFrame)
        pen.setCapStyle(Qt::FlatCap);
    p->setPen(pen);
    if (IsRasterPainter(p)) {
        switch (pen_.Mode()) {
            case TPenMode::pmNot:
                p->setCompositionMode(QPainter::RasterOp_NotDestination);
                break;
            case TPenMode::pmXor: p->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
            case TPenMode::pmMask: p->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
            case TPenMode::pmMerge: p->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
            case TPenMode::pmNotCopy: p->setCompositionMode(QPainter::RasterOp_NotSource); break;
            default: break;
        }
    }
}

void TCanvas::ApplyBrush(QPainter* p) {
    if (!BrushFills()) {
        p->setBrush(Qt::NoBrush);
        return;
    }
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (brush_.Style()) {
        case TBrushStyle::bsHorizontal: style = Qt::HorPattern; break;
        case TBrushStyle::bsVertical: style = Qt::VerPattern; break;
        case TBrushStyle::bsFDiagonal: style = Qt::BDiagPattern; break;
        case TBrushStyle::bsBDiagonal: style = Qt::FDiagPattern; break;
        case TBrushStyle::bsCross: style = Qt::CrossPattern; break;
        case TBrushStyle::bsDiagCross: style = Qt::DiagCrossPattern; break;
        default: break;
    }
    p->setBrush(QBrush(ToQColor(brush_.Color()), style));
    if (style != Qt::SolidPattern) {
        p->setBackground(QBrush(ToQColor(st_.bkColor)));
        p->setBackgroundMode(st_.bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    }
}

// ---- shapes ----

void TCanvas::MoveTo(int x, int y) {
    st_.pos = TPoint{x, y};
    if (path_ && path_->open) path_->path.moveTo(x, y);
}

void TCanvas::LineTo(int x, int y) {
    if (log_ && !(path_ && path_->open) && PenDraws())
        Record("line " + Nums({st_.pos.X, st_.pos.Y, x, y}) + " " + PenText());
    if (path_ && path_->open) {
        if (path_->path.elementCount() == 0) path_->path.moveTo(st_.pos.X, st_.pos.Y);
        path_->path.lineTo(x, y);
        st_.pos = TPoint{x, y};
        return;
    }
    QPainter* p = Prepare();
    if (p && PenDraws()) {
        ApplyPen(p);
        p->drawLine(QPoint(st_.pos.X, st_.pos.Y), QPoint(x, y));
        ResetComposition(p);
    }
    st_.pos = TPoint{x, y};
}

void TCanvas::Polyline(const TPoint* points, int count) {
    if (!points || count < 2) return;
    if (path_ && path_->open) {
        path_->path.moveTo(points[0].X, points[0].Y);
        for (int i = 1; i < count; ++i) path_->path.lineTo(points[i].X, points[i].Y);
        return;
    }
    if (log_ && PenDraws()) {
        std::string pts;
        for (int i = 0; i < count; ++i) pts += " " + std::to_string(points[i].X) + "," + std::to_string(points[i].Y);
        Record("poly " + std::to_string(count) + " pen " + PenText() + " brush none" + pts);
    }
    QPainter* p = Prepare();
    if (!p || !PenDraws()) return;
    ApplyPen(p);
    QPolygon poly(count);
    for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].X, points[i].Y);
    p->drawPolyline(poly);
    ResetComposition(p);
}

int TCanvas::SetPolyFillMode(int mode) {
    int old = st_.polyFillMode;
    if (mode == ALTERNATE || mode == WINDING) st_.polyFillMode = mode;
    return old;
}

void TCanvas::Polygon(const TPoint* points, int count) {
    if (!points || count < 2) return;
    if (path_ && path_->open) {
        path_->path.moveTo(points[0].X, points[0].Y);
        for (int i = 1; i < count; ++i) path_->path.lineTo(points[i].X, points[i].Y);
        path_->path.closeSubpath();
        return;
    }
    if (log_) {
        std::string pts;
        for (int i = 0; i < count; ++i) pts += " " + std::to_string(points[i].X) + "," + std::to_string(points[i].Y);
        Record("poly " + std::to_string(count) + " pen " + PenText() + " brush " + BrushText() + pts);
    }
    QPainter* p = Prepare();
    if (!p) return;
    QPolygon poly(count);
    for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].X, points[i].Y);
    ApplyPen(p);
    ApplyBrush(p);
    p->drawPolygon(poly, st_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    ResetComposition(p);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (path_ && path_->open) {
        path_->path.addRect(QRectF(left, top, right - left, bottom - top));
        return;
    }
    if (log_) Record("rect " + Nums({left, top, right, bottom}) + " pen " + PenText() + " brush " + BrushText());
    QPainter* p = Prepare();
    if (!p) return;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    ApplyPen(p);
    ApplyBrush(p);
    int inset = (pen_.Style() == TPenStyle::psInsideFrame && pen_.Width() > 1) ? pen_.Width() / 2 : 0;
    // With a thin pen Qt's outline of (w-1, h-1) covers exactly left..right-1; without a
    // pen the fill is one pixel smaller, as the window system draws it.
    p->drawRect(QRect(left + inset, top + inset, right - left - 1 - 2 * inset, bottom - top - 1 - 2 * inset));
    ResetComposition(p);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cw, int ch) {
    QPainter* p = Prepare();
    if (!p) return;
    ApplyPen(p);
    ApplyBrush(p);
    p->drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1), cw / 2.0, ch / 2.0);
    ResetComposition(p);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (path_ && path_->open) {
        path_->path.addEllipse(QRectF(left, top, right - left, bottom - top));
        return;
    }
    if (log_) Record("ellipse " + Nums({left, top, right, bottom}));
    QPainter* p = Prepare();
    if (!p) return;
    ApplyPen(p);
    ApplyBrush(p);
    p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    ResetComposition(p);
}

void TCanvas::Arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) {
    QPainter* p = Prepare();
    if (!p || !PenDraws()) return;
    double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    while (span <= 0) span += 360.0;
    ApplyPen(p);
    p->drawArc(QRect(left, top, right - left - 1, bottom - top - 1), qRound(a1 * 16), qRound(span * 16));
    ResetComposition(p);
}

void TCanvas::BeginPath() { path_ = std::make_unique<PathState>(); }

void TCanvas::EndPath() {
    if (path_) path_->open = false;
}

void TCanvas::AbortPath() { path_.reset(); }

void TCanvas::CloseFigure() {
    if (path_ && path_->open) path_->path.closeSubpath();
}

void TCanvas::DrawPath(bool stroke, bool fill) {
    if (!path_ || path_->open) return;
    std::unique_ptr<PathState> done = std::move(path_);
    if (log_) {
        std::string figures;
        for (int i = 0; i < done->path.elementCount(); ++i) {
            const QPainterPath::Element e = done->path.elementAt(i);
            figures += std::string(e.isMoveTo() ? " M " : " ") + std::to_string(qRound(e.x)) + "," +
                       std::to_string(qRound(e.y));
        }
        Record(std::string("path") + (stroke ? " stroke" : "") + (fill ? " fill" : "") + " pen " + PenText() +
               " style " + std::to_string(static_cast<int>(pen_.Style())) + " brush " + BrushText() + figures);
    }
    QPainter* p = Prepare();
    if (!p) return;
    done->path.setFillRule(st_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    ApplyPen(p);
    if (!stroke) p->setPen(Qt::NoPen);
    if (fill)
        ApplyBrush(p);
    else
        p->setBrush(Qt::NoBrush);
    p->drawPath(done->path);
    ResetComposition(p);
}

void TCanvas::StrokePath() { DrawPath(true, false); }
void TCanvas::FillPath() { DrawPath(false, true); }
void TCanvas::StrokeAndFillPath() { DrawPath(true, true); }

void TCanvas::FillRect(const TRect& rect) {
    if (log_ && BrushFills()) Record("fill " + Nums({rect.Left, rect.Top, rect.Right, rect.Bottom}) + " " + BrushText());
    QPainter* p = Prepare();
    if (!p || !BrushFills()) return;
    ResetComposition(p);
    p->setPen(Qt::NoPen);
    ApplyBrush(p);
    p->drawRect(ToQRect(rect));
}

void TCanvas::FillRect(const TRect& rect, TColor color) {
    if (log_ && color != clNone) Record("fill " + Nums({rect.Left, rect.Top, rect.Right, rect.Bottom}) + " " + Hex(color));
    QPainter* p = Prepare();
    if (!p || color == clNone) return;
    ResetComposition(p);
    p->fillRect(ToQRect(rect), ToQColor(color));
}

void TCanvas::FrameRect(const TRect& rect) {
    if (IsRectEmpty(rect)) return;
    if (log_) Record("frame " + Nums({rect.Left, rect.Top, rect.Right, rect.Bottom}) + " " + Hex(brush_.Color()));
    QPainter* p = Prepare();
    if (!p) return;
    ResetComposition(p);
    QColor c = ToQColor(brush_.Color());
    QRect r = ToQRect(rect);
    p->fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p->fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    if (IsRectEmpty(rect)) return;
    if (log_) Record("focus " + Nums({rect.Left, rect.Top, rect.Right, rect.Bottom}));
    QPainter* p = Prepare();
    if (!p) return;
    ResetComposition(p);
    QRect r = ToQRect(rect);
    if (IsRasterPainter(p)) {
        // Every other pixel of the frame inverted, so a second call undoes the first.
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QColor white(255, 255, 255);
        auto dot = [&](int x, int y) { p->fillRect(QRect(x, y, 1, 1), white); };
        for (int x = r.left(); x <= r.right(); x += 2) {
            dot(x, r.top());
            if (r.bottom() != r.top()) dot(x, r.bottom());
        }
        for (int y = r.top() + 2; y < r.bottom(); y += 2) {
            dot(r.left(), y);
            if (r.right() != r.left()) dot(r.right(), y);
        }
        ResetComposition(p);
    } else {
        QPen pen(QColor(128, 128, 128));
        pen.setCosmetic(true);
        pen.setDashPattern({1, 1});
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    }
}

void TCanvas::InvertRect(const TRect& rect) { PatBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), DSTINVERT); }

int TCanvas::SetROP2(int mode) {
    int old;
    switch (pen_.Mode()) {
        case TPenMode::pmNot: old = R2_NOT; break;
        case TPenMode::pmXor: old = R2_XORPEN; break;
        case TPenMode::pmMask: old = R2_MASKPEN; break;
        case TPenMode::pmMerge: old = R2_MERGEPEN; break;
        case TPenMode::pmNotCopy: old = R2_NOTCOPYPEN; break;
        default: old = R2_COPYPEN; break;
    }
    switch (mode) {
        case R2_NOT: pen_.SetMode(TPenMode::pmNot); break;
        case R2_XORPEN: pen_.SetMode(TPenMode::pmXor); break;
        case R2_MASKPEN: pen_.SetMode(TPenMode::pmMask); break;
        case R2_MERGEPEN: pen_.SetMode(TPenMode::pmMerge); break;
        case R2_NOTCOPYPEN: pen_.SetMode(TPenMode::pmNotCopy); break;
        case R2_COPYPEN: pen_.SetMode(TPenMode::pmCopy); break;
        default: return 0;
    }
    return old;
}

void TCanvas::FillRgn(const TRegion& rgn, TColor color) {
    QPainter* p = Prepare();
    if (!p || color == clNone) return;
    ResetComposition(p);
    QPainterPath path;
    path.addRegion(rgn.Qt());
    p->fillPath(path, ToQColor(color));
}

void TCanvas::FrameRgn(const TRegion& rgn, TColor color, int width, int height) {
    QPainter* p = Prepare();
    if (!p || color == clNone || rgn.IsEmpty()) return;
    // The frame is the region less itself shrunk by the frame's size.
    QRegion inner = rgn.Qt();
    QRegion shrunk = inner.translated(width, 0)
                         .intersected(inner.translated(-width, 0))
                         .intersected(inner.translated(0, height))
                         .intersected(inner.translated(0, -height));
    QPainterPath path;
    path.addRegion(inner.subtracted(shrunk));
    ResetComposition(p);
    p->fillPath(path, ToQColor(color));
}

TColor TCanvas::Pixel(int x, int y) {
    TBitmap* bmp = Bitmap();
    if (!bmp) return clNone;
    TPoint pt{x, y};
    LPtoDP(&pt, 1);
    return bmp->GetPixel(pt.X, pt.Y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    QPainter* p = Prepare();
    if (!p) return;
    ResetComposition(p);
    p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

// ---- pictures and raster operations ----

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    if (graphic.Empty()) return;
    if (log_) Record("picture " + Nums({x, y, x + graphic.Width(), y + graphic.Height()}));
    graphic.Draw(*this, TRect{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
    if (graphic.Empty()) return;
    if (log_) Record("picture " + Nums({rect.Left, rect.Top, rect.Right, rect.Bottom}));
    graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& src) {
    StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), &source, src.Left, src.Top, src.Width(),
               src.Height(), copyMode_);
}

int TCanvas::SetStretchBltMode(int mode) {
    int old = st_.stretchMode;
    if (mode >= BLACKONWHITE && mode <= HALFTONE) st_.stretchMode = mode;
    return old;
}

bool TCanvas::BitBlt(int x, int y, int w, int h, TCanvas* source, int sx, int sy, uint32_t rop) {
    return StretchBlt(x, y, w, h, source, sx, sy, w, h, rop);
}

bool TCanvas::PatBlt(int x, int y, int w, int h, uint32_t rop) {
    if (UsesSource(rop)) return false;
    return RopBlt(x, y, w, h, nullptr, rop, false);
}

bool TCanvas::StretchBlt(int x, int y, int w, int h, TCanvas* source, int sx, int sy, int sw, int sh,
                         uint32_t rop) {
    if (!UsesSource(rop)) return RopBlt(x, y, w, h, nullptr, rop, false);
    if (!source || w == 0 || h == 0 || sw == 0 || sh == 0) return false;
    TBitmap* srcBmp = source->Bitmap();
    if (!srcBmp) return false;
    TPoint sp[2] = {{sx, sy}, {sx + sw, sy + sh}};
    source->LPtoDP(sp, 2);
    int dsx = std::min(sp[0].X, sp[1].X), dsy = std::min(sp[0].Y, sp[1].Y);
    int dsw = std::abs(sp[1].X - sp[0].X), dsh = std::abs(sp[1].Y - sp[0].Y);
    if (dsw == 0 || dsh == 0) return false;
    // A copy at its own size onto an unscaled device takes only what can show:
    // a picture far larger than the window is not copied whole to paint a corner.
    // Recordings (metafiles) and painters with a transform of their own keep
    // the whole copy: their bounds are not the device's pixels.
    QPainter* painter = w == dsw && h == dsh && !log_ ? Prepare() : nullptr;
    if (painter && painter->device() && painter->device()->devType() != QInternal::Picture &&
        map_->base.isIdentity() && sp[0].X < sp[1].X && sp[0].Y < sp[1].Y) {
        TPoint probe[3] = {{0, 0}, {4096, 0}, {0, 4096}};
        LPtoDP(probe, 3);
        if (probe[1].X - probe[0].X == 4096 && probe[1].Y == probe[0].Y && probe[2].X == probe[0].X &&
            probe[2].Y - probe[0].Y == 4096) {
            TRect clip, shown;
            GetClipBox(clip);
            if (!IntersectRect(shown, TRect{x, y, x + w, y + h}, clip)) return true;
            dsx += shown.Left - x;
            dsy += shown.Top - y;
            x = shown.Left;
            y = shown.Top;
            w = dsw = shown.Width();
            h = dsh = shown.Height();
        }
    }
    // Only the part of the source inside the bitmap is copied, to the matching part
    // of the destination (a huge request must not allocate a huge image).
    TRect inside;
    if (!IntersectRect(inside, TRect{dsx, dsy, dsx + dsw, dsy + dsh}, TRect{0, 0, srcBmp->Width(), srcBmp->Height()}))
        return true;
    if (inside != TRect{dsx, dsy, dsx + dsw, dsy + dsh}) {
        bool flipX = (sp[1].X < sp[0].X) != (w < 0), flipY = (sp[1].Y < sp[0].Y) != (h < 0);
        int ax = std::abs(w), ay = std::abs(h);
        int nx = (w < 0 ? x + w : x), ny = (h < 0 ? y + h : y);
        long long l = (long long)(inside.Left - dsx) * ax / dsw, r = (long long)(inside.Right - dsx) * ax / dsw;
        long long t = (long long)(inside.Top - dsy) * ay / dsh, b = (long long)(inside.Bottom - dsy) * ay / dsh;
        if (flipX) std::swap(l, r), l = ax - l, r = ax - r;
        if (flipY) std::swap(t, b), t = ay - t, b = ay - b;
        x = nx + static_cast<int>(l);
        y = ny + static_cast<int>(t);
        w = static_cast<int>(r - l);
        h = static_cast<int>(b - t);
        if (w <= 0 || h <= 0) return true;
        dsx = inside.Left;
        dsy = inside.Top;
        dsw = inside.Width();
        dsh = inside.Height();
        // The copy below mirrors by itself; the sizes are now positive.
        QImage part = srcBmp->Surface().copy(dsx, dsy, dsw, dsh);
        if (flipX || flipY) part = part.mirrored(flipX, flipY);
        return BlitImage(x, y, w, h, part, rop, srcBmp, source);
    }
    QImage img = srcBmp->Surface().copy(dsx, dsy, dsw, dsh);
    bool mirrorX = (sp[1].X < sp[0].X) != (w < 0), mirrorY = (sp[1].Y < sp[0].Y) != (h < 0);
    if (mirrorX || mirrorY) img = img.mirrored(mirrorX, mirrorY);
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    return BlitImage(x, y, w, h, img, rop, srcBmp, source);
}

bool TCanvas::BlitImage(int x, int y, int w, int h, QImage& img, uint32_t rop, TBitmap* srcBmp, TCanvas* source) {
    bool monoSource = srcBmp->PixelFormat() == TPixelFormat::pf1bit;
    TBitmap* dstBmp = Bitmap();
    bool monoDest = dstBmp && dstBmp->PixelFormat() == TPixelFormat::pf1bit;
    if (monoSource && !monoDest) {
        // Monochrome to colour: 0 bits take the text colour, 1 bits the background.
        QRgb fg = ToQRgb(st_.textColor), bg = ToQRgb(st_.bkColor);
        if (fg != qRgb(0, 0, 0) || bg != qRgb(255, 255, 255)) {
            for (int row = 0; row < img.height(); ++row) {
                QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
                for (int col = 0; col < img.width(); ++col) line[col] = (line[col] & 0xFFFFFF) ? bg : fg;
            }
        }
    } else if (monoDest && !monoSource) {
        // Colour to monochrome: the source's background colour becomes white.
        QRgb key = ToQRgb(source->st_.bkColor) & 0xFFFFFF;
        for (int row = 0; row < img.height(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
            for (int col = 0; col < img.width(); ++col)
                line[col] = ((line[col] & 0xFFFFFF) == key) ? 0xFFFFFFFF : 0xFF000000;
        }
    }
    return RopBlt(x, y, w, h, &img, rop, monoSource);
}

bool TCanvas::RopBlt(int x, int y, int w, int h, const QImage* src, uint32_t rop, bool) {
    if (log_) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", rop);
        Record("blit " + Nums({x, y, w, h}) + " " + hex);
    }
    QPainter* p = Prepare();
    if (!p) return false;
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    if (w == 0 || h == 0) return true;
    ResetComposition(p);
    p->setRenderHint(QPainter::SmoothPixmapTransform, st_.stretchMode == HALFTONE);
    QRect target(x, y, w, h);
    const bool raster = IsRasterPainter(p);
    QColor patternColor = ToQColor(brush_.Color());
    auto fill = [&](const QColor& c, QPainter::CompositionMode mode) {
        p->setCompositionMode(mode);
        p->fillRect(target, c);
        ResetComposition(p);
        return true;
    };
    switch (rop) {
        case BLACKNESS: return fill(QColor(0, 0, 0), QPainter::CompositionMode_Source);
        case WHITENESS: return fill(QColor(255, 255, 255), QPainter::CompositionMode_Source);
        case PATCOPY:
            if (!BrushFills()) return true;
            ApplyBrush(p);
            p->setPen(Qt::NoPen);
            p->drawRect(target);
            return true;
        case DSTINVERT:
            if (!raster) return false;
            return fill(QColor(255, 255, 255), QPainter::RasterOp_SourceXorDestination);
        case PATINVERT:
            if (!raster) return false;
            return fill(patternColor, QPainter::RasterOp_SourceXorDestination);
        default: break;
    }
    QPainter::CompositionMode direct;
    if (TBitmap* bmp = Bitmap(); bmp && !SourceComposition(rop, direct)) {
        // Any other operation on a bitmap is worked out pixel by pixel against
        // what the bitmap holds, then copied in through the clip.
        QRectF mapped = map_->toDevice.mapRect(QRectF(target));
        QRect dr = mapped.toAlignedRect().intersected(QRect(0, 0, bmp->Width(), bmp->Height()));
        if (dr.isEmpty()) return true;
        QImage scaled;
        if (src) scaled = src->scaled(mapped.toAlignedRect().size()).convertToFormat(QImage::Format_RGB32);
        const QImage& dest = bmp->Surface();
        QImage out(dr.size(), QImage::Format_RGB32);
        const QPoint origin = mapped.toAlignedRect().topLeft();
        const uint32_t pat = ToQRgb(brush_.Color());
        const unsigned table = (rop >> 16) & 0xFF;
        for (int row = 0; row < dr.height(); ++row) {
            const QRgb* d = reinterpret_cast<const QRgb*>(dest.constScanLine(dr.top() + row)) + dr.left();
            QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(row));
            int sy = dr.top() + row - origin.y();
            const QRgb* sl = (src && sy >= 0 && sy < scaled.height())
                                 ? reinterpret_cast<const QRgb*>(scaled.constScanLine(sy))
                                 : nullptr;
            for (int col = 0; col < dr.width(); ++col) {
                int sx = dr.left() + col - origin.x();
                uint32_t sv = (sl && sx >= 0 && sx < scaled.width()) ? sl[sx] : 0;
                o[col] = 0xFF000000u | TernaryPixel(table, pat, sv, d[col]);
            }
        }
        p->setTransform(map_->base);
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(dr.topLeft(), out);
        ResetComposition(p);
        transformDirty_ = true;
        return true;
    }
    if (!src) return false;

    QImage image = src->format() == QImage::Format_RGB32 ? *src : src->convertToFormat(QImage::Format_RGB32);
    QPainter::CompositionMode mode;
    if (rop == MERGECOPY || rop == PATPAINT || !SourceComposition(rop, mode)) {
        // Operations with the pattern: the brush colour and the source are combined
        // here, the destination by the composition below.
        unsigned table = (rop >> 16) & 0xFF;
        uint32_t pat = ToQRgb(brush_.Color()) & 0xFFFFFF;
        if (rop == MERGECOPY) {
            mode = QPainter::CompositionMode_Source;
        } else if (rop == PATPAINT) {
            mode = QPainter::RasterOp_SourceOrDestination;
            table = 0xF3;  // P | ~S, with D or'ed by the composition
        } else {
            return false;
        }
        for (int row = 0; row < image.height(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int col = 0; col < image.width(); ++col)
                line[col] = 0xFF000000 | TernaryPixel(table, pat, line[col] & 0xFFFFFF, 0);
        }
    }
    if (!raster && mode != QPainter::CompositionMode_Source) {
        // No pixel access on this device: draw the part of the source that the
        // operation would leave visible on a white page.
        QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < argb.height(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(argb.scanLine(row));
            for (int col = 0; col < argb.width(); ++col) {
                QRgb c = line[col] & 0xFFFFFF;
                switch (rop) {
                    case SRCAND:
                        if (c == 0xFFFFFF) line[col] = 0;
                        break;
                    case SRCPAINT:
                    case SRCINVERT:
                        if (c == 0) line[col] = 0;
                        break;
                    case NOTSRCCOPY: line[col] = 0xFF000000 | (~c & 0xFFFFFF); break;
                    case MERGEPAINT:
                        line[col] = c == 0xFFFFFF ? 0 : (0xFF000000 | (~c & 0xFFFFFF));
                        break;
                    default: return false;
                }
            }
        }
        p->drawImage(target, argb);
        ResetComposition(p);
        return true;
    }
    p->setCompositionMode(mode);
    p->drawImage(target, image);
    ResetComposition(p);
    return true;
}

void TCanvas::DrawMasked(const TRect& dest, const TBitmap& image, const TRect& src, const TBitmap& mask) {
    if (log_) Record("picture " + Nums({dest.Left, dest.Top, dest.Right, dest.Bottom}) + " masked");
    QPainter* p = Prepare();
    if (!p || IsRectEmpty(src)) return;
    QImage img = image.Surface().copy(ToQRect(src)).convertToFormat(QImage::Format_ARGB32);
    const QImage& m = mask.Surface();
    for (int row = 0; row < img.height(); ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
        int my = src.Top + row;
        for (int col = 0; col < img.width(); ++col) {
            int mx = src.Left + col;
            bool transparent = mx >= 0 && my >= 0 && mx < m.width() && my < m.height() && (m.pixel(mx, my) & 0xFFFFFF);
            if (transparent) line[col] = 0;
        }
    }
    ResetComposition(p);
    p->setRenderHint(QPainter::SmoothPixmapTransform, st_.stretchMode == HALFTONE);
    p->drawImage(ToQRect(dest), img);
}

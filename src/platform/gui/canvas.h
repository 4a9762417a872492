#pragma once
// The drawing surface of controls, grids and the HTML viewer: a device context in
// the manner of the classic window system (pen, brush, font, text colour and
// background, text alignment with a current position, character extra and
// justification, regions and clipping, window/viewport mapping, raster
// operations), drawn through Qt. One class serves every device: a widget painter
// lent by a paint event (Attach/Detach), an off-screen bitmap, a metafile, the
// printer, or nothing at all (measuring only).
//
// Coordinates are logical pixels of 96 per inch on screens and bitmaps; printer
// canvases work in printer pixels. Text is UTF-16 (the viewer) or Windows-1252
// (everything else); advances are whole pixels, the same on every device.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/font_service.h"
#include "platform/gui/graphics.h"
#include "platform/gui/region.h"

class QPainter;
class QImage;
class TCanvas;
class TBitmap;

// ---- constants of the device-context calls ----

// Text alignment (SetTextAlign).
constexpr unsigned TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
                   TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 2, ETO_CLIPPED = 4;
// DrawText formats.
constexpr unsigned DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
                   DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                   DT_END_ELLIPSIS = 0x8000;
// Mapping modes.
constexpr int MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
// Line drawing modes.
constexpr int R2_BLACK = 1, R2_NOTCOPYPEN = 4, R2_NOT = 6, R2_XORPEN = 7, R2_MASKPEN = 9, R2_NOP = 11,
              R2_COPYPEN = 13, R2_MERGEPEN = 15, R2_WHITE = 16;
// Stretch modes.
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
// Polygon fill modes are in region.h (ALTERNATE, WINDING).
// Ternary raster operations.
constexpr uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                   SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
                   MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09,
                   PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
                   WHITENESS = 0x00FF0062;
// Device capabilities (GetDeviceCaps).
constexpr int TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12,
              PLANES = 14, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
              SIZEPALETTE = 104, COLORRES = 108, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111,
              PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;
constexpr int DT_RASDISPLAY = 1, DT_RASPRINTER = 2, DT_METAFILE = 5;
// GetClipRgn results besides a count: 0 no clip region, 1 one was copied.
// IntersectClipRect/ExcludeClipRect/SelectClipRgn return a region kind (region.h).

// What a device answers to GetDeviceCaps.
struct TDeviceCaps {
    int Technology = DT_RASDISPLAY;
    int HorzRes = 1024, VertRes = 768;      // drawable area, device pixels
    int LogPixelsX = 96, LogPixelsY = 96;  // pixels per inch
    int PhysicalWidth = 1024, PhysicalHeight = 768;
    int PhysicalOffsetX = 0, PhysicalOffsetY = 0;
    int BitsPixel = 24, Planes = 1;
};

// A picture that can be drawn on a canvas (bitmap, metafile, the viewer's images).
class TGraphic {
public:
    virtual ~TGraphic();
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the whole picture stretched into a rectangle of the canvas's logical
    // coordinates.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
};

class TCanvas {
public:
    // A canvas bound to no device: it measures text (96 per inch) and draws nothing.
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Lends the canvas a painter (a widget's paint event) until Detach. The
    // painter's transform and clip at Attach are the device space; Detach leaves
    // the painter as it was lent. The canvas's own state (font, pen, mapping...)
    // is kept between attachments; the clip region is dropped.
    // updateRect (device pixels), when given, is the part being repainted: ClipRect
    // and GetClipBox report it, as they report a paint event's update region.
    void Attach(QPainter* painter, const TRect* updateRect = nullptr);
    void Detach();
    bool Attached() const { return attached_ != nullptr; }
    // The lent painter (null when none is attached).
    QPainter* Painter() const { return attached_; }

    // ---- objects ----
    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    void SetFont(const TFont& f);
    void SetPen(const TPen& p) { pen_.Assign(p); }
    void SetBrush(const TBrush& b) { brush_.Assign(b); }
    TPoint PenPos() const { return st_.pos; }
    void SetPenPos(const TPoint& p) { st_.pos = p; }
    uint32_t CopyMode() const { return copyMode_; }
    void SetCopyMode(uint32_t rop) { copyMode_ = rop; }
    // The visible part of the canvas in logical coordinates.
    TRect ClipRect();
    // The face text is measured and drawn with now.
    const TFontFace& Face();

    // ---- text (the canvas's own calls) ----
    // TextOut draws at (x, y) with the canvas's alignment and moves PenPos to the
    // end of the text; TextRect clips to the rectangle and, unless the brush is
    // clear, fills it first.
    void TextOut(int x, int y, const std::string& text);
    void TextOut(int x, int y, const std::u16string& text);
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    void TextRect(const TRect& rect, int x, int y, const std::u16string& text);
    int TextWidth(const std::string& text);
    int TextWidth(const std::u16string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);
    TSize TextExtent(const std::u16string& text);

    // ---- text (device-context calls) ----
    unsigned SetTextAlign(unsigned align);  // returns the old alignment
    unsigned GetTextAlign() const { return st_.textAlign; }
    TColor SetTextColor(TColor color);
    TColor GetTextColor();
    TColor SetBkColor(TColor color);
    TColor GetBkColor();
    int SetBkMode(int mode);
    int GetBkMode();
    int SetTextCharacterExtra(int extra);  // returns the old value
    int GetTextCharacterExtra() const { return st_.charExtra; }
    // Spreads `extra` pixels over the next `breakCount` break characters (spaces)
    // output; 0 turns it off. The remainder goes one pixel each to the first breaks.
    bool SetTextJustification(int extra, int breakCount);
    bool Justifying() const { return st_.breakCount > 0; }
    bool TextOutW(int x, int y, const char16_t* text, int count);
    // dx, when given, holds the advance of each character.
    bool ExtTextOutW(int x, int y, unsigned options, const TRect* rect, const char16_t* text, int count,
                     const int* dx = nullptr);
    bool ExtTextOutA(int x, int y, unsigned options, const TRect* rect, const std::string& text,
                     const int* dx = nullptr);
    // Returns the height of the text drawn (or measured with DT_CALCRECT, which
    // also moves the rectangle's right and bottom edges).
    int DrawTextW(const char16_t* text, int count, TRect& rect, unsigned format);
    int DrawTextW(const std::u16string& text, TRect& rect, unsigned format) {
        return DrawTextW(text.data(), static_cast<int>(text.size()), rect, format);
    }
    int DrawText(const std::string& text, TRect& rect, unsigned format);
    bool GetTextExtentPoint32W(const char16_t* text, int count, TSize& size);
    // How many characters fit in maxExtent (fit), and the extent after each
    // character (dx, count entries). maxExtent < 0 measures without a limit.
    bool GetTextExtentExPointW(const char16_t* text, int count, int maxExtent, int* fit, int* dx,
                               TSize& size);
    bool GetTextMetrics(TTextMetric& tm);

    // ---- shapes (pen outlines, brush fills; right and bottom edges excluded) ----
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // the end point itself is not drawn
    void Polyline(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& p) { Polyline(p.data(), static_cast<int>(p.size())); }
    void Polygon(const TPoint* points, int count);
    void Polygon(const std::vector<TPoint>& p) { Polygon(p.data(), static_cast<int>(p.size())); }
    int SetPolyFillMode(int mode);
    // Line drawing modes (R2_COPYPEN, R2_NOT, R2_XORPEN...): the pen's Mode.
    int SetROP2(int mode);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Counter-clockwise from the radial through (x3, y3) to the one through (x4, y4).
    void Arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4);
    // Paths: between BeginPath and EndPath, MoveTo, LineTo, Polyline, Polygon,
    // Rectangle and Ellipse add figures instead of drawing; StrokePath draws them
    // with the pen (joined as one outline), FillPath fills them with the brush.
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void StrokePath();
    void FillPath();
    void StrokeAndFillPath();
    void AbortPath();
    void FillRect(const TRect& rect);                  // with the brush
    void FillRect(const TRect& rect, TColor color);    // with a solid colour
    void FrameRect(const TRect& rect);                 // 1-pixel frame in the brush colour
    void DrawFocusRect(const TRect& rect);             // dotted, inverting: twice restores
    void InvertRect(const TRect& rect);                // inverts the colours (raster devices)
    void FillRgn(const TRegion& rgn, TColor color);   // region in logical coordinates
    void FrameRgn(const TRegion& rgn, TColor color, int width, int height);
    TColor Pixel(int x, int y);  // clNone where the device cannot be read
    void SetPixel(int x, int y, TColor color);

    // ---- pictures and raster operations ----
    void Draw(int x, int y, const TGraphic& graphic);
    void StretchDraw(const TRect& rect, const TGraphic& graphic);
    // Copies from another canvas (a bitmap's) with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& src);
    // The source must be a bitmap's canvas (or null for raster operations without
    // one). Devices that cannot combine pixels (printer, metafile) get an
    // equivalent for the mask operations: SRCAND leaves white source pixels out,
    // SRCPAINT and SRCINVERT leave black ones out.
    bool BitBlt(int x, int y, int w, int h, TCanvas* source, int sx, int sy, uint32_t rop);
    bool StretchBlt(int x, int y, int w, int h, TCanvas* source, int sx, int sy, int sw, int sh, uint32_t rop);
    bool PatBlt(int x, int y, int w, int h, uint32_t rop);
    int SetStretchBltMode(int mode);
    // Draws the image where the monochrome mask is black and leaves the canvas
    // where it is white, on every device (the mask has the image's size).
    void DrawMasked(const TRect& dest, const TBitmap& image, const TRect& src, const TBitmap& mask);

    // ---- clipping (regions in device pixels, rectangles in logical units) ----
    int SelectClipRgn(const TRegion* rgn);  // null removes the clip region
    int ExtSelectClipRgn(const TRegion* rgn, int mode);
    int GetClipRgn(TRegion& rgn);  // 1 and the region, or 0 when there is none
    int IntersectClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int GetClipBox(TRect& rect);
    bool RectVisible(const TRect& rect);
    int SaveDC();              // returns the new level
    bool RestoreDC(int level);  // a level, or -1 for the last one

    // ---- mapping ----
    int SetMapMode(int mode);
    int GetMapMode() const { return st_.mapMode; }
    bool SetWindowOrgEx(int x, int y, TPoint* old = nullptr);
    bool SetWindowExtEx(int cx, int cy, TSize* old = nullptr);
    bool SetViewportOrgEx(int x, int y, TPoint* old = nullptr);
    bool SetViewportExtEx(int cx, int cy, TSize* old = nullptr);
    TPoint GetWindowOrg() const { return st_.winOrg; }
    TSize GetWindowExt() const { return st_.winExt; }
    TPoint GetViewportOrg() const { return st_.vpOrg; }
    TSize GetViewportExt() const { return st_.vpExt; }
    void LPtoDP(TPoint* points, int count) const;
    void DPtoLP(TPoint* points, int count) const;

    int GetDeviceCaps(int index) const;
    virtual TDeviceCaps DeviceCaps() const;

    // ---- recording, for tests of what is painted ----
    // When set, every drawing call appends one line (logical coordinates, text in
    // UTF-8) and then draws as usual, also on a canvas without a device:
    //   text X BASELINE WIDTH "FACE" HEIGHT STYLE #RRGGBB TEXT   (STYLE: b i u s or -)
    //   fill L T R B #RRGGBB          rect L T R B pen #RRGGBB|none brush #RRGGBB|none
    //   line X1 Y1 X2 Y2 #RRGGBB W    poly N pen ... brush ... X,Y ...
    //   ellipse L T R B               frame L T R B #RRGGBB
    //   focus L T R B                 blit X Y W H ROP(hex)
    //   picture L T R B [masked]
    //   path [stroke] [fill] pen ... style N brush ... M X,Y X,Y ... (M starts a figure)
    void SetRecorder(std::vector<std::string>* log) { (drawingOff_ ? heldLog_ : log_) = log; }

    // With drawing off every drawing call draws and records nothing, while the
    // current position, the font and the rest of the state change as usual: a
    // pass that only finds where things fall costs no painting.
    void SetDrawingOff(bool off) {
        if (off == drawingOff_) return;
        drawingOff_ = off;
        std::swap(log_, heldLog_);
    }
    bool DrawingOff() const { return drawingOff_; }

    // ---- escape hatch for graphics drawn elsewhere ----
    // The painter with the canvas's mapping and clip applied (logical coordinates),
    // or null when the canvas has no device. Call EndPaint after using it so the
    // canvas re-applies its state.
    QPainter* BeginPaint();
    void EndPaint();
    // The bitmap behind the canvas, when it is a bitmap's.
    virtual TBitmap* Bitmap() const { return nullptr; }

protected:
    // Subclasses bind the device: the painter (opening it when needed; `fresh` is
    // set when it differs from the last one handed out), or null.
    virtual QPainter* AcquirePainter(bool& fresh);
    // Called before the device's painter ends: the canvas unwinds and forgets what
    // it set up on it.
    void PainterLost();
    // The resolution that point sizes of the canvas's font map through.
    void SetFontResolution(int ppi);

private:
    struct State {
        unsigned textAlign = TA_LEFT | TA_TOP;
        TColor textColor = clBlack;
        TColor bkColor = clWhite;
        int bkMode = OPAQUE;
        int charExtra = 0;
        int breakExtra = 0, breakCount = 0, breakRemainder = 0;
        int mapMode = MM_TEXT;
        TPoint winOrg{0, 0}, vpOrg{0, 0};
        TSize winExt{1, 1}, vpExt{1, 1};
        bool hasClip = false;
        TRegion clip;  // device pixels
        int stretchMode = BLACKONWHITE;
        int polyFillMode = ALTERNATE;
        TPoint pos{0, 0};
    };
    struct Saved {
        State st;
        TFont font;
        TPen pen;
        TBrush brush;
    };

    void ObjectChanged(TGraphicsObject* which);
    void Realize();
    QPainter* Prepare();  // painter with clip and transform applied, or null
    void ApplyPen(QPainter* p);
    void ApplyBrush(QPainter* p);
    bool PenDraws() const;
    bool BrushFills() const;
    void ResetComposition(QPainter* p);
    int BreakAdvance(int& remainder) const;
    void Advances(const char16_t* text, int count, const int* dx, std::vector<int>& out, bool consume);
    void DrawGlyphs(QPainter* p, int x, int baseline, const char16_t* text, int count, const std::vector<int>& adv);
    bool RopBlt(int x, int y, int w, int h, const QImage* src, uint32_t rop, bool monoSource);
    bool BlitImage(int x, int y, int w, int h, QImage& img, uint32_t rop, TBitmap* srcBmp, TCanvas* source);
    void UpdateMapping();
    void ClipChanged();
    TRect DeviceBounds() const;

    TFont font_;
    TPen pen_;
    TBrush brush_;
    State st_;
    std::vector<Saved> saved_;
    uint32_t copyMode_ = SRCCOPY;

    struct PathState;
    std::unique_ptr<PathState> path_;  // figures being collected, when a path is open
    void DrawPath(bool stroke, bool fill);
    std::vector<std::string>* log_ = nullptr;
    void Record(const std::string& line) {
        if (log_) log_->push_back(line);
    }
    std::string PenText() const;
    std::string BrushText() const;
    const TFontFace* face_ = nullptr;
    TFontSpec faceSpec_;  // what face_ was resolved for
    unsigned faceGeneration_ = 0;
    bool fontDirty_ = true;
    bool hasUpdateRect_ = false;
    TRect updateRect_;

    QPainter* attached_ = nullptr;
    QPainter* lastPainter_ = nullptr;
    bool clipBracket_ = false;  // a painter save() holds our clip
    bool clipDirty_ = true;
    bool transformDirty_ = true;
    bool inPaint_ = false;
    bool drawingOff_ = false;
    std::vector<std::string>* heldLog_ = nullptr;  // the recorder while drawing is off
    struct Mapping;
    std::unique_ptr<Mapping> map_;  // logical -> device transform and the device base
};

// The screen's logical resolution and colour depth, as every canvas reports them.
constexpr int ScreenPixelsPerInch = LogicalPixelsPerInch;
constexpr int ScreenColorDepth = 24;

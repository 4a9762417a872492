#pragma once
// Regions: sets of pixels made of rectangles, ellipses and polygons, combined like
// the window system's regions. Values (copies are cheap); coordinates are device
// pixels when used as a clip region.
#include <memory>
#include <vector>

#include "platform/gui/graphics.h"

class QRegion;

// Results of the region calls, as the window system reports them.
constexpr int RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
// Combine modes.
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
// Polygon fill modes.
constexpr int ALTERNATE = 1, WINDING = 2;

class TRegion {
public:
    TRegion();
    TRegion(const TRegion& other);
    TRegion& operator=(const TRegion& other);
    TRegion(TRegion&&) noexcept;
    TRegion& operator=(TRegion&&) noexcept;
    ~TRegion();

    // The right and bottom edges are outside, as for every rectangle here.
    static TRegion FromRect(const TRect& r);
    static TRegion FromRect(int left, int top, int right, int bottom) {
        return FromRect(TRect{left, top, right, bottom});
    }
    static TRegion FromEllipse(const TRect& bounds);
    static TRegion FromPolygon(const TPoint* points, int count, int fillMode = ALTERNATE);
    // Union of many rectangles at once (much faster than repeated combining).
    static TRegion FromRects(const std::vector<TRect>& rects);

    bool IsEmpty() const;
    bool Contains(int x, int y) const;
    bool Contains(const TPoint& p) const { return Contains(p.X, p.Y); }
    // True when any part of the rectangle lies in the region.
    bool Intersects(const TRect& r) const;
    TRect BoundingBox() const;  // empty rectangle for an empty region
    std::vector<TRect> Rects() const;
    void Offset(int dx, int dy);
    // Each rectangle scaled and moved (x' = x * sx + dx), edges rounded: a
    // region made in one resolution placed in another.
    TRegion Transformed(double sx, double sy, double dx, double dy) const;
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int Kind() const;

    bool operator==(const TRegion& o) const;

    const QRegion& Qt() const { return *rgn_; }
    explicit TRegion(const QRegion& r);

private:
    std::unique_ptr<QRegion> rgn_;
};

// The window-system style calls. CombineRgn stores a op b into dst and returns the
// kind of the result (RGN_COPY copies a).
int CombineRgn(TRegion& dst, const TRegion& a, const TRegion& b, int mode);
inline bool PtInRegion(const TRegion& r, int x, int y) { return r.Contains(x, y); }
inline int OffsetRgn(TRegion& r, int dx, int dy) {
    r.Offset(dx, dy);
    return r.Kind();
}
inline int GetRgnBox(const TRegion& r, TRect& box) {
    box = r.BoundingBox();
    return r.Kind();
}
inline bool EqualRgn(const TRegion& a, const TRegion& b) { return a == b; }

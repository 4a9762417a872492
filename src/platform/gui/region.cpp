#include "platform/gui/region.h"

#include <QPolygon>
#include <QRegion>
#include <algorithm>
#include <cmath>

namespace {
QRect ToQRect(const TRect& r) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return QRect();
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}
}  // namespace

TRegion::TRegion() : rgn_(std::make_unique<QRegion>()) {}
TRegion::TRegion(const QRegion& r) : rgn_(std::make_unique<QRegion>(r)) {}
TRegion::TRegion(const TRegion& other) : rgn_(std::make_unique<QRegion>(*other.rgn_)) {}
TRegion& TRegion::operator=(const TRegion& other) {
    if (this != &other) *rgn_ = *other.rgn_;
    return *this;
}
TRegion::TRegion(TRegion&& other) noexcept : rgn_(std::make_unique<QRegion>()) { rgn_->swap(*other.rgn_); }
TRegion& TRegion::operator=(TRegion&& other) noexcept {
    rgn_->swap(*other.rgn_);
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::FromRect(const TRect& r) { return TRegion(QRegion(ToQRect(r))); }

TRegion TRegion::FromEllipse(const TRect& bounds) {
    QRect q = ToQRect(bounds);
    if (q.isEmpty()) return TRegion();
    return TRegion(QRegion(q, QRegion::Ellipse));
}

TRegion TRegion::FromPolygon(const TPoint* points, int count, int fillMode) {
    if (!points || count < 3) return TRegion();
    QPolygon poly(count);
    for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].X, points[i].Y);
    return TRegion(QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

namespace {
QRegion UniteRange(const std::vector<QRect>& q, size_t lo, size_t hi) {
    if (hi - lo == 1) return QRegion(q[lo]);
    size_t mid = lo + (hi - lo) / 2;
    return UniteRange(q, lo, mid).united(UniteRange(q, mid, hi));
}
}  // namespace

TRegion TRegion::FromRects(const std::vector<TRect>& rects) {
    std::vector<QRect> q;
    q.reserve(rects.size());
    for (const TRect& r : rects) {
        QRect x = ToQRect(r);
        if (!x.isEmpty()) q.push_back(x);
    }
    if (q.empty()) return TRegion();
    // Pairwise unions keep the work near n log n for thousands of pixel runs.
    return TRegion(UniteRange(q, 0, q.size()));
}

bool TRegion::IsEmpty() const { return rgn_->isEmpty(); }
bool TRegion::Contains(int x, int y) const { return rgn_->contains(QPoint(x, y)); }
bool TRegion::Intersects(const TRect& r) const {
    QRect q = ToQRect(r);
    return !q.isEmpty() && rgn_->intersects(q);
}

TRect TRegion::BoundingBox() const {
    QRect b = rgn_->boundingRect();
    if (b.isEmpty()) return TRect{};
    return TRect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

std::vector<TRect> TRegion::Rects() const {
    std::vector<TRect> out;
    for (const QRect& b : *rgn_) out.push_back(TRect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()});
    return out;
}

void TRegion::Offset(int dx, int dy) { rgn_->translate(dx, dy); }

TRegion TRegion::Transformed(double sx, double sy, double dx, double dy) const {
    std::vector<TRect> rects;
    for (const QRect& b : *rgn_) {
        double l = b.left() * sx + dx, r = (b.left() + b.width()) * sx + dx;
        double t = b.top() * sy + dy, bo = (b.top() + b.height()) * sy + dy;
        rects.push_back(TRect{int(std::lround(std::min(l, r))), int(std::lround(std::min(t, bo))),
                              int(std::lround(std::max(l, r))), int(std::lround(std::max(t, bo)))});
    }
    return FromRects(rects);
}

int TRegion::Kind() const {
    if (rgn_->isEmpty()) return NULLREGION;
    return rgn_->rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool TRegion::operator==(const TRegion& o) const { return *rgn_ == *o.rgn_; }

int CombineRgn(TRegion& dst, const TRegion& a, const TRegion& b, int mode) {
    const QRegion& qa = a.Qt();
    const QRegion& qb = b.Qt();
    switch (mode) {
        case RGN_AND: dst = TRegion(qa.intersected(qb)); break;
        case RGN_OR: dst = TRegion(qa.united(qb)); break;
        case RGN_XOR: dst = TRegion(qa.xored(qb)); break;
        case RGN_DIFF: dst = TRegion(qa.subtracted(qb)); break;
        case RGN_COPY: dst = TRegion(qa); break;
        default: return RGN_ERROR;
    }
    return dst.Kind();
}

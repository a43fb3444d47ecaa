#include "geom/QsPolygon.h"

#include <new>

#include "base/ErrorRecord.h"
#include "geom/QsBox.h"

QsPolygon::QsPolygon(const QsBox& box) : QsPolylineSet(box.corners().data(), 4) {}

QsPolygon::QsPolygon(const QsPolylineSet& set) : QsPolylineSet(set) {}

QsPolygon::QsPolygon(const QsPolygon& other)
    : QsPolylineSet(other),
      hatchLineWidth_(other.hatchLineWidth_),
      hatchDirection_(other.hatchDirection_) {
    try {
        holes_ = other.holes_;
    } catch (const std::bad_alloc&) {
        holes_.clear();
        recordError(kGeomAllocError, kSeverityError);
    }
}

QsPolygon& QsPolygon::operator=(const QsPolygon& other) {
    if (this == &other) return *this;
    QsPolylineSet::operator=(other);
    hatchLineWidth_ = other.hatchLineWidth_;
    hatchDirection_ = other.hatchDirection_;
    try {
        holes_ = other.holes_;
    } catch (const std::bad_alloc&) {
        holes_.clear();
        recordError(kGeomAllocError, kSeverityError);
    }
    return *this;
}

std::unique_ptr<QsFigure> QsPolygon::clone() const {
    try {
        return std::make_unique<QsPolygon>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

int QsPolygon::transform(const QsTransform& t) {
    for (QsPolylineSet& h : holes_)
        h.transform(t);
    return QsPolylineSet::transform(t);
}

int QsPolygon::addHole(const QsPolylineSet& contour) {
    try {
        holes_.push_back(contour);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    if (holes_.back().usedCount() != contour.usedCount()) {
        holes_.pop_back();
        return 0;
    }
    return 1;
}

void QsPolygon::setLineWidthWithHoles(int32_t w) {
    lineWidth_ = w;
    for (QsPolylineSet& h : holes_)
        h.setLineWidth(w);
}

int QsPolygon::check(uint16_t checkFlags) {
    if (!normalise(checkFlags)) return 0;
    std::vector<QsPolylineSet> kept;
    try {
        kept.reserve(holes_.size());
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    for (QsPolylineSet& h : holes_) {
        if (h.normalise(checkFlags)) kept.push_back(std::move(h));
    }
    holes_.swap(kept);
    return 1;
}

bool QsPolygon::outlineContains(const QsPoint& p) const {
    std::vector<QsPoint> ring;
    try {
        ring = ringPoints();
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return false;
    }
    const size_t n = ring.size();
    bool inside = false;
    for (size_t k = 0; k < n; ++k) {
        const QsPoint& a = ring[k];
        const QsPoint& b = ring[(k + 1) % n];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

int QsPolygon::combine(const QsPolygon& first, const std::vector<const QsPolygon*>& others,
                       std::vector<std::unique_ptr<QsPolygon>>& out) {
    out.clear();
    try {
        auto head = std::make_unique<QsPolygon>(first);
        if (head->usedCount() != first.usedCount()) throw std::bad_alloc();
        std::vector<std::unique_ptr<QsPolygon>> rest;
        for (const QsPolygon* other : others) {
            if (other == nullptr) continue;
            QsPoint p;
            if (other->firstPoint(p) && first.outlineContains(p)) {
                QsPolylineSet hole(other->records(), other->usedCount());
                if (hole.usedCount() != other->usedCount()) throw std::bad_alloc();
                hole.setLineWidth(other->lineWidth());
                hole.setAttributes(other->attributes());
                head->holes_.push_back(std::move(hole));
            } else {
                auto copy = std::make_unique<QsPolygon>(*other);
                if (copy->usedCount() != other->usedCount()) throw std::bad_alloc();
                rest.push_back(std::move(copy));
            }
        }
        out.push_back(std::move(head));
        for (auto& r : rest)
            out.push_back(std::move(r));
    } catch (const std::bad_alloc&) {
        out.clear();
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    return 1;
}

#include "geom/QsPolyPoints.h"

#include <new>

#include "base/ErrorRecord.h"
#include "geom/QsBox.h"

QsPolyPoints::QsPolyPoints(const QsPoint* pts, int n) {
    if (n < 0 || n > kMaxPoints || (pts == nullptr && n > 0)) {
        recordError(kGeomAllocError, kSeverityError);
        return;
    }
    try {
        points_.assign(pts, pts + n);
    } catch (const std::bad_alloc&) {
        points_.clear();
        recordError(kGeomAllocError, kSeverityError);
    }
}

QsPolyPoints::QsPolyPoints(const QsPolyPoints& other) : QsFigure(other) {
    *this = other;
}

QsPolyPoints& QsPolyPoints::operator=(const QsPolyPoints& other) {
    if (this == &other) return *this;
    try {
        points_ = other.points_;
    } catch (const std::bad_alloc&) {
        points_.clear();
        recordError(kGeomAllocError, kSeverityError);
    }
    return *this;
}

std::unique_ptr<QsFigure> QsPolyPoints::clone() const {
    try {
        return std::make_unique<QsPolyPoints>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

int QsPolyPoints::getBox(QsBox& box) const {
    return QsFigure::getBox(box);
}

int QsPolyPoints::pointAt(int i, QsPoint& p) const {
    if (i < 0 || i >= pointCount()) {
        recordError(kGeomIndexError, kSeverityMinor);
        return 0;
    }
    p = points_[static_cast<size_t>(i)];
    return 1;
}

int QsPolyPoints::append(const QsPoint& p) {
    if (pointCount() >= kMaxPoints) {
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    try {
        points_.push_back(p);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    return 1;
}

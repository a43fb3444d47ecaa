#include "geom/QsPointPolygon.h"

#include <new>

#include "base/ErrorRecord.h"
#include "geom/QsBox.h"

QsPointPolygon::QsPointPolygon(const QsBox& box) {
    const std::array<QsPoint, 4> c = box.corners();
    try {
        points_.assign(c.begin(), c.end());
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
    }
}

std::unique_ptr<QsFigure> QsPointPolygon::clone() const {
    try {
        return std::make_unique<QsPointPolygon>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

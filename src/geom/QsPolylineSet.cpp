#include "geom/QsPolylineSet.h"

#include <new>

#include "base/ErrorRecord.h"

std::unique_ptr<QsFigure> QsPolylineSet::clone() const {
    try {
        return std::make_unique<QsPolylineSet>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

int QsPolylineSet::appendPolyline(const QsPolyline& p) {
    return appendRecords(p.records(), p.usedCount());
}

int QsPolylineSet::normalise(uint16_t checkFlags) {
    const int used = usedCount();
    if (used == 0) return 0;
    const uint16_t todo = checkFlags & (kCheckRepeats | kCheckClosing) & ~attributes_;
    std::vector<QsPolyRecord> out;
    try {
        out.reserve(static_cast<size_t>(used));
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    for (int k = 0; k < used; ++k) {
        const QsPolyRecord& r = record(k);
        if ((todo & kCheckRepeats) && r.isVertex() && !out.empty() && out.back().isVertex() &&
            pointsEqual(out.back().point(), r.point())) {
            continue;
        }
        out.push_back(r);
    }
    if ((todo & kCheckClosing) && out.size() >= 2 && out.back().isVertex()) {
        // The first point is a vertex or the start of an arc.
        const QsPolyRecord& head = out[0].isArcFirst() ? out[1] : out[0];
        if ((head.isVertex() || head.isArcSecond()) &&
            pointsEqual(out.back().point(), head.point())) {
            out.pop_back();
        }
    }
    slots_.swap(out);
    attributes_ |= todo;
    return slots_.empty() ? 0 : 1;
}

#include "geom/QsRecordFigure.h"

#include <algorithm>
#include <new>

#include "base/ErrorRecord.h"
#include "geom/QsBox.h"
#include "geom/Tolerance.h"

namespace {

void indexError() {
    recordError(kGeomIndexError, kSeverityMinor);
}
void allocError() {
    recordError(kGeomAllocError, kSeverityError);
}

}  // namespace

QsRecordFigure::QsRecordFigure(const QsPoint* pts, int n) {
    if (n < 0 || n > kMaxSlots || (pts == nullptr && n > 0)) {
        allocError();
        return;
    }
    try {
        slots_.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            slots_.push_back(QsPolyRecord::vertex(pts[i]));
    } catch (const std::bad_alloc&) {
        slots_.clear();
        allocError();
    }
}

QsRecordFigure::QsRecordFigure(const QsPolyRecord* recs, int n) {
    if (n < 0 || n > kMaxSlots || (recs == nullptr && n > 0)) {
        allocError();
        return;
    }
    try {
        slots_.assign(recs, recs + n);
    } catch (const std::bad_alloc&) {
        slots_.clear();
        allocError();
    }
}

QsRecordFigure::QsRecordFigure(std::vector<QsPolyRecord>&& recs) {
    if (recs.size() > static_cast<size_t>(kMaxSlots)) {
        allocError();
        return;
    }
    slots_ = std::move(recs);
}

QsRecordFigure::QsRecordFigure(const QsRecordFigure& other)
    : QsFigure(other), attributes_(other.attributes_) {
    try {
        slots_ = other.slots_;
    } catch (const std::bad_alloc&) {
        slots_.clear();
        allocError();
    }
}

QsRecordFigure& QsRecordFigure::operator=(const QsRecordFigure& other) {
    if (this == &other) return *this;
    attributes_ = other.attributes_;
    try {
        slots_ = other.slots_;
    } catch (const std::bad_alloc&) {
        slots_.clear();
        allocError();
    }
    return *this;
}

int QsRecordFigure::usedCount() const {
    // Used slots come first, so the first empty slot is found by bisection; a full array (the
    // usual case while appending) needs no search at all.
    if (slots_.empty() || !slots_.back().isEmpty()) return static_cast<int>(slots_.size());
    size_t lo = 0;
    size_t hi = slots_.size();
    while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (slots_[mid].isEmpty()) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return static_cast<int>(lo);
}

int QsRecordFigure::recordKind(int i) const {
    if (i < 0 || i >= slotCount()) return kRecKindEmpty;
    return record(i).kind();
}

int QsRecordFigure::arcFirstIndex(int i) const {
    if (i < 0 || i >= slotCount() || !record(i).isArc()) return -1;
    const int first = i - record(i).arcOffset();
    if (first < 0 || !record(first).isArcFirst()) return -1;
    return first;
}

int QsRecordFigure::placeRecords(int i, const QsPolyRecord* r, int n) {
    const int slots = slotCount();
    bool reuse = i + n <= slots;
    for (int k = i; reuse && k < i + n; ++k)
        reuse = record(k).isEmpty();
    if (reuse) {
        std::copy(r, r + n, slots_.begin() + i);
        return 1;
    }
    if (slots > kMaxSlots - n) {
        allocError();
        return 0;
    }
    try {
        // The vector grows geometrically, so appending one record at a time stays linear.
        slots_.insert(slots_.begin() + i, r, r + n);
    } catch (const std::bad_alloc&) {
        allocError();
        return 0;
    }
    return 1;
}

int QsRecordFigure::insertRecord(int i, const QsPolyRecord& r) {
    const int used = usedCount();
    if (i < 0 || i > used || (i < used && arcFirstIndex(i) >= 0 && arcFirstIndex(i) != i)) {
        indexError();
        return 0;
    }
    return placeRecords(i, &r, 1);
}

int QsRecordFigure::insertArc(int i, const QsArc& arc, int32_t ws, int32_t we) {
    const int used = usedCount();
    if (i < 0 || i > used || (i < used && arcFirstIndex(i) >= 0 && arcFirstIndex(i) != i)) {
        indexError();
        return 0;
    }
    if (arc.radius == 0) {
        if (pointsEqual(arc.start, arc.end)) {
            // A point is no segment at all.
            recordError(kGeomDegenerateArc, kSeverityMinor);
            return 0;
        }
        // Collinear points: the straight segment from start to end.
        const QsPolyRecord line[2] = {QsPolyRecord::vertex(arc.start, ws),
                                      QsPolyRecord::vertex(arc.end, we)};
        return placeRecords(i, line, 2);
    }
    const std::array<QsPolyRecord, 3> recs = makeArcRecords(arc, ws, we);
    return placeRecords(i, recs.data(), 3);
}

int QsRecordFigure::appendPoint(const QsPoint& p, int32_t width) {
    return appendRecord(QsPolyRecord::vertex(p, width));
}

int QsRecordFigure::appendRecord(const QsPolyRecord& r) {
    const int used = usedCount();
    return placeRecords(used, &r, 1) ? used : -1;
}

int QsRecordFigure::appendArc(const QsArc& arc, int32_t ws, int32_t we) {
    const int used = usedCount();
    return insertArc(used, arc, ws, we) ? used : -1;
}

int QsRecordFigure::appendRecords(const QsPolyRecord* r, int n) {
    if (n <= 0 || r == nullptr) return n == 0 ? 1 : 0;
    const int used = usedCount();
    if (slotCount() > kMaxSlots - n) {
        allocError();
        return 0;
    }
    try {
        slots_.insert(slots_.begin() + used, r, r + n);
    } catch (const std::bad_alloc&) {
        allocError();
        return 0;
    }
    return 1;
}

int QsRecordFigure::deleteRecord(int i) {
    const int used = usedCount();
    if (i < 0 || i >= used) {
        indexError();
        return 0;
    }
    int first = i;
    int count = 1;
    if (record(i).isArc()) {
        const int f = arcFirstIndex(i);
        first = f >= 0 ? f : i;
        count = f >= 0 ? std::min(3, used - f) : 1;
    }
    std::copy(slots_.begin() + first + count, slots_.begin() + used, slots_.begin() + first);
    std::fill(slots_.begin() + (used - count), slots_.begin() + used, QsPolyRecord());
    return 1;
}

void QsRecordFigure::shrinkToUsed() {
    slots_.resize(static_cast<size_t>(usedCount()));
}

int QsRecordFigure::setWidth(int index, int32_t w) {
    const int used = usedCount();
    if (index == -1) {
        for (int k = 0; k < used; ++k) {
            QsPolyRecord& r = slots_[static_cast<size_t>(k)];
            switch (r.kind()) {
                case kRecKindVertex:
                    if (!r.isMarkedVertex()) r.data[2] = w;
                    break;
                case kRecKindArc:
                    if (!r.isArcFirst()) r.data[2] = w;
                    break;
                case kRecKindTangentArc:
                    r.data[0] = w;
                    break;
                default:
                    break;
            }
        }
        return 1;
    }
    if (index < 0 || index >= used) {
        indexError();
        return 0;
    }
    QsPolyRecord& r = slots_[static_cast<size_t>(index)];
    switch (r.kind()) {
        case kRecKindVertex:
            if (!r.isMarkedVertex()) {
                r.data[2] = w;
                return 1;
            }
            // A marked vertex keeps its rounding radius: the width goes to the nearest plain
            // vertex before it.
            for (int k = index - 1; k >= 0; --k) {
                QsPolyRecord& prev = slots_[static_cast<size_t>(k)];
                if (prev.isVertex() && !prev.isMarkedVertex()) {
                    prev.data[2] = w;
                    return 1;
                }
            }
            return 0;
        case kRecKindArc: {
            const int first = arcFirstIndex(index);
            if (first < 0 || first + 2 >= used) return 0;
            QsPolyRecord& head = slots_[static_cast<size_t>(first)];
            QsPolyRecord& startRec = slots_[static_cast<size_t>(first) + 1];
            QsPolyRecord& endRec = slots_[static_cast<size_t>(first) + 2];
            if (index == first + 2) {
                endRec.data[2] = w;
            } else {
                // Without the end-width bit the end width follows the start width.
                if ((head.tag & kRecArcEndWidth) == 0) endRec.data[2] = w;
                startRec.data[2] = w;
            }
            if (endRec.data[2] != startRec.data[2]) {
                head.tag |= kRecArcEndWidth;
            } else {
                head.tag &= ~kRecArcEndWidth;
            }
            return 1;
        }
        case kRecKindTangentArc:
            r.data[0] = w;
            return 1;
        default:
            return 0;
    }
}

int QsRecordFigure::extractArc(int i, QsArc& arc) const {
    int32_t ws = 0;
    int32_t we = 0;
    return extractArc(i, arc, ws, we);
}

int QsRecordFigure::extractArc(int i, QsArc& arc, int32_t& ws, int32_t& we) const {
    const int first = arcFirstIndex(i);
    if (first < 0 || first + 2 >= slotCount() || !record(first + 1).isArcSecond() ||
        !record(first + 2).isArcThird()) {
        indexError();
        return 0;
    }
    const QsPolyRecord& head = record(first);
    const QsPolyRecord& s = record(first + 1);
    const QsPolyRecord& e = record(first + 2);
    QsArc a;
    a.toCentre = QsEVector(head.data[0], head.data[1]);
    a.radius = head.data[2];
    a.flags = head.low();
    a.start = s.point();
    a.end = e.point();
    arc = a;
    ws = s.data[2];
    we = (head.tag & kRecArcEndWidth) != 0 ? e.data[2] : ws;
    return 1;
}

int QsRecordFigure::extractPoint(int i, QsPoint& p) const {
    if (i < 0 || i >= slotCount() || !record(i).isVertex()) {
        indexError();
        return 0;
    }
    p = record(i).point();
    return 1;
}

int QsRecordFigure::extendStart(int percent) {
    return extendAt(true, percent);
}

int QsRecordFigure::extendEnd(int percent) {
    return extendAt(false, percent);
}

int QsRecordFigure::extendAt(bool atStart, int percent) {
    const int used = usedCount();
    if (used == 0) return 0;
    const int idx = atStart ? 0 : used - 1;
    QsPolyRecord& endRec = slots_[static_cast<size_t>(idx)];
    if (!endRec.isVertex()) return 0;
    const int64_t d = int64_t{endRec.width()} * percent / 200;  // truncates towards zero
    if (d == 0) return 1;

    // The neighbouring point: the next vertex or the start of a following arc; at the end, the
    // vertex or arc end before the last.
    QsPoint nb;
    bool found = false;
    if (atStart && used > 1) {
        const QsPolyRecord& n = record(1);
        if (n.isVertex()) {
            nb = n.point();
            found = true;
        } else if (n.isArcFirst() && used > 2 && record(2).isArcSecond()) {
            nb = record(2).point();
            found = true;
        }
    } else if (!atStart && used > 1) {
        const QsPolyRecord& n = record(used - 2);
        if (n.isVertex() || n.isArcThird()) {
            nb = n.point();
            found = true;
        }
    }
    if (!found) return 0;

    const QsPoint p = endRec.point();
    const double len = distance(p, nb);
    if (d < 0 && -d > int64_t{roundHalfAway(len)}) return 0;
    if (len == 0.0) return 0;
    const double k = double(d) / len;
    const QsDPoint moved(p.x + k * (double(p.x) - nb.x), p.y + k * (double(p.y) - nb.y));
    QsPoint q;
    if (!moved.tryRounded(q)) return 0;
    endRec.data[0] = q.x;
    endRec.data[1] = q.y;
    return 1;
}

bool QsRecordFigure::firstPoint(QsPoint& p) const {
    const int used = usedCount();
    if (used == 0) return false;
    const QsPolyRecord& r = record(0);
    if (r.isVertex()) {
        p = r.point();
        return true;
    }
    if (r.isArcFirst() && used > 1 && record(1).isArcSecond()) {
        p = record(1).point();
        return true;
    }
    return false;
}

std::vector<QsPoint> QsRecordFigure::ringPoints() const {
    std::vector<QsPoint> ring;
    const int used = usedCount();
    ring.reserve(static_cast<size_t>(used));
    for (int k = 0; k < used; ++k) {
        const QsPolyRecord& r = record(k);
        if (r.isVertex() || r.isArcSecond() || r.isArcThird()) ring.push_back(r.point());
    }
    return ring;
}

bool QsRecordFigure::isWithinRange() const {
    const int used = usedCount();
    for (int k = 0; k < used; ++k) {
        if (!record(k).isArcFirst()) continue;
        QsArc arc;
        if (extractArc(k, arc) && !arc.isWithinRange()) return false;
    }
    return true;
}

QsPoint QsRecordFigure::referencePoint() const {
    QsPoint p;
    firstPoint(p);
    return p;
}

bool QsRecordFigure::extendBox(int64_t& xmin, int64_t& ymin, int64_t& xmax, int64_t& ymax) const {
    const int used = usedCount();
    bool any = false;
    // The leading vertices (all records of most lists) in 32 bits, then the rest one by one.
    int k = 0;
    int32_t x0 = INT32_MAX;
    int32_t y0 = INT32_MAX;
    int32_t x1 = INT32_MIN;
    int32_t y1 = INT32_MIN;
    for (; k < used && slots_[static_cast<size_t>(k)].isVertex(); ++k) {
        const QsPolyRecord& r = slots_[static_cast<size_t>(k)];
        x0 = std::min(x0, r.data[0]);
        y0 = std::min(y0, r.data[1]);
        x1 = std::max(x1, r.data[0]);
        y1 = std::max(y1, r.data[1]);
    }
    if (k > 0) {
        xmin = std::min<int64_t>(xmin, x0);
        ymin = std::min<int64_t>(ymin, y0);
        xmax = std::max<int64_t>(xmax, x1);
        ymax = std::max<int64_t>(ymax, y1);
        any = true;
    }
    for (; k < used; ++k) {
        const QsPolyRecord& r = record(k);
        if (r.isArcFirst() && k + 2 < used && record(k + 1).isArcSecond() &&
            record(k + 2).isArcThird()) {
            QsArc arc;
            extractArc(k, arc);
            arc.extendBox(xmin, ymin, xmax, ymax);
            any = true;
            k += 2;
        } else if (r.isVertex() || r.isArcSecond() || r.isArcThird()) {
            const QsPoint p = r.point();
            xmin = std::min<int64_t>(xmin, p.x);
            ymin = std::min<int64_t>(ymin, p.y);
            xmax = std::max<int64_t>(xmax, p.x);
            ymax = std::max<int64_t>(ymax, p.y);
            any = true;
        }
    }
    return any;
}

int QsRecordFigure::getBox(QsBox& box) const {
    int64_t xmin = INT64_MAX;
    int64_t ymin = INT64_MAX;
    int64_t xmax = INT64_MIN;
    int64_t ymax = INT64_MIN;
    if (!extendBox(xmin, ymin, xmax, ymax)) return 0;
    box = QsBox(clampToInt32(xmin), clampToInt32(ymin), clampToInt32(xmax), clampToInt32(ymax));
    return 1;
}

int QsRecordFigure::transform(const QsTransform& t) {
    const int used = usedCount();
    if (used == 0) return 0;
    for (int k = 0; k < used; ++k) {
        QsPolyRecord& r = slots_[static_cast<size_t>(k)];
        if (r.isVertex() || r.isArcSecond() || r.isArcThird()) {
            const QsPoint p = t.apply(r.point());
            r.data[0] = p.x;
            r.data[1] = p.y;
        } else if (r.isArcFirst()) {
            const QsEVector d = t.applyToDirection(QsEVector(r.data[0], r.data[1]));
            r.data[0] = d.x;
            r.data[1] = d.y;
            r.data[2] = t.applyToLength(r.data[2]);
            if (t.reversesOrientation()) r.tag ^= QsArc::kClockwise;
        }
    }
    return 1;
}

#include "geom/WrittenArcEnd.h"

#include <algorithm>
#include <cmath>

#include "geom/QsAngle.h"

double qsDirectionAngle(double dx, double dy) {
    if (dx == 0.0) return dy == 0.0 ? 0.0 : (dy > 0 ? kQsHalfPi : -kQsHalfPi);
    const double a = std::atan2(dy, dx);
    return a <= -kQsPi ? kQsPi : a;
}

namespace {

// The ray's points searched around: radius - 4 ... radius + 4 in half steps.
constexpr int kRayPoints = 17;

// The circle's point on the ray.
QsDPoint idealEnd(const WrittenArcEnd& q) {
    return QsDPoint(q.centre.x + q.radius * q.ux, q.centre.y + q.radius * q.uy);
}

// The ray's points rounded, in the order they are scanned; one equal to the point before it is
// left out, and so is one that does not fit in 32 bits. Returns how many there are.
int rayPoints(const WrittenArcEnd& q, QsPoint (&points)[kRayPoints]) {
    int n = 0;
    QsPoint previous;
    for (int step = -8; step <= 8; ++step) {
        const double t = q.radius + 0.5 * step;
        QsPoint onRay;
        if (!QsDPoint(q.centre.x + t * q.ux, q.centre.y + t * q.uy).tryRounded(onRay)) continue;
        if (step > -8 && onRay == previous) continue;
        previous = onRay;
        points[n++] = onRay;
    }
    return n;
}

// How far the direction of (px, py) from the centre lies from the written angle. Only points
// nearly on the ray can lie within it: the exact direction is taken for those alone, the others
// get a whole turn.
double offAngle(const WrittenArcEnd& q, int64_t px, int64_t py) {
    const double vx = px - q.centre.x;
    const double vy = py - q.centre.y;
    const double along = vx * q.ux + vy * q.uy;
    const double across = vx * q.uy - vy * q.ux;
    if (along > 0 && std::fabs(across) <= along * (4 * q.half + 1e-12))
        return std::fabs(qsDirectionAngle(vx, vy) - q.written);
    return kQsTwoPi;
}

// The largest whole number not above v (|v| well below 2^63).
int64_t floorToInt64(double v) {
    const auto t = static_cast<int64_t>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}

double squaredDistance(int64_t px, int64_t py, const QsDPoint& p) {
    return (px - p.x) * (px - p.x) + (py - p.y) * (py - p.y);
}

// The place of (px, py) in the scan: the first ray point whose neighbourhood holds it, then the
// row and the column within that; -1 when the scan never meets it.
int scanPlace(const QsPoint (&points)[kRayPoints], int n, int64_t px, int64_t py) {
    for (int i = 0; i < n; ++i) {
        const int64_t dx = px - points[i].x;
        const int64_t dy = py - points[i].y;
        if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1)
            return i * 9 + static_cast<int>(dy + 1) * 3 + static_cast<int>(dx + 1);
    }
    return -1;
}

}  // namespace

bool scanWrittenArcEnd(const WrittenArcEnd& q, QsPoint& end, bool& found) {
    QsPoint points[kRayPoints];
    const int n = rayPoints(q, points);
    const QsDPoint ideal = idealEnd(q);
    found = false;
    bool bestInside = false;
    double bestNear = 0.0;
    double bestOff = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int64_t px = int64_t{points[i].x} + dx;
                const int64_t py = int64_t{points[i].y} + dy;
                if (!fitsInt32(px) || !fitsInt32(py)) continue;
                const double near = squaredDistance(px, py, ideal);
                const double off = offAngle(q, px, py);
                const bool inside = off <= q.half;
                if (found &&
                    (inside != bestInside
                         ? !inside
                         : (near > bestNear || (near == bestNear && (!inside || off >= bestOff)))))
                    continue;
                found = true;
                bestInside = inside;
                bestNear = near;
                bestOff = off;
                end = QsPoint(static_cast<int32_t>(px), static_cast<int32_t>(py));
            }
        }
    }
    return found && bestInside;
}

bool findWrittenArcEnd(const WrittenArcEnd& q, QsPoint& end, bool& found) {
    // The point nearest to the ideal end, when every other point is farther from it by more
    // than rounding could blur (both offsets clearly below a half), wins the scan whenever it
    // lies within the written angle, and whenever no point does.
    const QsDPoint ideal = idealEnd(q);
    QsPoint nearest;
    const bool clearlyNearest =
        ideal.tryRounded(nearest) &&
        std::max(std::fabs(ideal.x - nearest.x), std::fabs(ideal.y - nearest.y)) < 0.5 - 1e-6;
    if (clearlyNearest && offAngle(q, nearest.x, nearest.y) <= q.half) {
        end = nearest;
        found = true;
        return true;
    }

    // A point within the written angle sees the ray at an angle of at most twice the half
    // resolution (the ray's angle lies within it of the written one), so it lies within that
    // much times its distance from the centre (under radius + 8) of the ray's line. Along the
    // axis the ray runs closer to, the line passes each column at a known height; only the
    // points within that height's band (widened for rounding) can be within the angle.
    const bool alongX = std::fabs(q.ux) >= std::fabs(q.uy);
    const double major = alongX ? q.ux : q.uy;
    const double minor = alongX ? q.uy : q.ux;
    const double band = (q.radius + 8.0) * (2 * q.half + 1e-12) / std::fabs(major) + 1e-5;
    if (!(band < 1.0)) return scanWrittenArcEnd(q, end, found);
    const double c0 = alongX ? q.centre.x : q.centre.y;
    const double c1 = alongX ? q.centre.y : q.centre.x;
    // The columns the scanned points can take: the ray's points lie within a rounding of the
    // ray between radius - 4 and radius + 4, their neighbours a unit farther.
    const double from = c0 + (q.radius - 4.0) * major;
    const double to = c0 + (q.radius + 4.0) * major;
    const int64_t lo = floorToInt64(std::min(from, to)) - 2;
    const int64_t hi = -floorToInt64(-std::max(from, to)) + 2;
    const double slope = minor / major;
    // The ray's points are rounded only once a point within the angle needs its place.
    QsPoint points[kRayPoints];
    int n = -1;
    bool any = false;
    double bestNear = 0.0;
    double bestOff = 0.0;
    int bestPlace = 0;
    for (int64_t m = lo; m <= hi; ++m) {
        const double line = c1 + (static_cast<double>(m) - c0) * slope;
        const int64_t last = floorToInt64(line + band);
        for (int64_t k = -floorToInt64(band - line); k <= last; ++k) {
            const int64_t px = alongX ? m : k;
            const int64_t py = alongX ? k : m;
            if (!fitsInt32(px) || !fitsInt32(py)) continue;
            const double off = offAngle(q, px, py);
            if (!(off <= q.half)) continue;
            if (n < 0) n = rayPoints(q, points);
            const int place = scanPlace(points, n, px, py);
            if (place < 0) continue;
            // Among the points within, the scan keeps the nearest, then the one of the nearer
            // direction, then the first met.
            const double near = squaredDistance(px, py, ideal);
            if (any &&
                (near > bestNear ||
                 (near == bestNear && (off > bestOff || (off == bestOff && place > bestPlace)))))
                continue;
            any = true;
            bestNear = near;
            bestOff = off;
            bestPlace = place;
            end = QsPoint(static_cast<int32_t>(px), static_cast<int32_t>(py));
        }
    }
    if (any) {
        found = true;
        return true;
    }
    // None within: the scan keeps the nearest point of all.
    if (clearlyNearest) {
        end = nearest;
        found = true;
        return false;
    }
    return scanWrittenArcEnd(q, end, found);
}

#include "geom/QsArc.h"

#include <algorithm>
#include <cmath>

#include "base/ErrorRecord.h"
#include "geom/QsAngle.h"
#include "geom/QsBox.h"
#include "geom/Tolerance.h"
#include "geom/WrittenArcEnd.h"

namespace {

// Twice the signed area of the triangle p1 p2 p3, exact for all 32-bit points.
__int128 turn(const QsPoint& p1, const QsPoint& p2, const QsPoint& p3) {
    __int128 ax = int64_t{p2.x} - p1.x;
    __int128 ay = int64_t{p2.y} - p1.y;
    __int128 bx = int64_t{p3.x} - p1.x;
    __int128 by = int64_t{p3.y} - p1.y;
    return ax * by - ay * bx;
}

// Fixed-point direction k * v, each component rounded (saturating).
QsEVector scaledDirection(double k, double vx, double vy) {
    return QsEVector(roundHalfAway(k * vx), roundHalfAway(k * vy));
}

// A written angle within half a resolution beyond +-pi stands for a direction inside (-pi, pi]
// on the same side: pi itself above, the middle of the short interval it covers above -pi below.
double foldHalfTurn(double a, double half) {
    if (a > kQsPi && a - half <= kQsPi) return kQsPi;
    if (a <= -kQsPi && a + half > -kQsPi) return (-kQsPi + (a + half)) / 2;
    return a;
}

}  // namespace

QsArc::QsArc(const QsPoint& c, int32_t r, double a1, double a2, uint16_t f) : radius(r), flags(f) {
    const double c1 = std::cos(a1);
    const double s1 = std::sin(a1);
    start = QsDPoint(c.x + r * c1, c.y + r * s1).rounded();
    end = QsDPoint(c.x + r * std::cos(a2), c.y + r * std::sin(a2)).rounded();
    toCentre = scaledDirection(-QsEVector::kScale, c1, s1);
    if (a2 - a1 >= kQsTwoPi - kAngleTolerance || pointsEqual(end, start)) flags |= kFullCircle;
    if (isFullCircle()) end = start;
}

bool QsArc::circleThrough(const QsPoint& p1, const QsPoint& p2, const QsPoint& p3, QsDPoint& centre,
                          double& radius) {
    const __int128 d = turn(p1, p2, p3);
    const __int128 tol = integerTolerance();
    if (d >= -tol && d <= tol) return false;
    const double bx = double(int64_t{p2.x} - p1.x);
    const double by = double(int64_t{p2.y} - p1.y);
    const double cx = double(int64_t{p3.x} - p1.x);
    const double cy = double(int64_t{p3.y} - p1.y);
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    const double twiceD = 2.0 * double(d);
    const double ux = (cy * b2 - by * c2) / twiceD;
    const double uy = (bx * c2 - cx * b2) / twiceD;
    const double r = std::sqrt(ux * ux + uy * uy);
    if (!std::isfinite(r)) return false;
    centre = QsDPoint(p1.x + ux, p1.y + uy);
    radius = r;
    return true;
}

QsArc::QsArc(const QsPoint& p1, const QsPoint& p2, const QsPoint& p3) : start(p1), end(p3) {
    QsDPoint c;
    double r = 0.0;
    if (!circleThrough(p1, p2, p3, c, r)) {
        if (pointsEqual(p1, p3) && !pointsEqual(p2, p1)) {
            // Out and back along one line: the circle with p1-p2 as its diameter.
            toCentre = QsEVector::fromVector(QsDPoint(p2) - QsDPoint(p1));
            radius = roundHalfAway(distance(p2, p1) / 2);
            flags = kFullCircle;
            end = start;
            return;
        }
        recordError(kGeomDegenerateArc, kSeverityMinor);
        return;
    }
    int32_t ri = 0;
    if (!tryRoundHalfAway(r, ri) || ri == 0) {
        // A circle too large for 32 bits: the points are as good as collinear.
        recordError(kGeomDegenerateArc, kSeverityMinor);
        return;
    }
    if (turn(p1, p2, p3) < 0) flags |= kClockwise;
    radius = ri;
    toCentre = scaledDirection(QsEVector::kScale / ri, c.x - p1.x, c.y - p1.y);
}

QsArc::QsArc(const QsPoint& s, const QsPoint& centre, const QsPoint& e, uint16_t f)
    : start(s), end(e), flags(f) {
    if (pointsEqual(s, e)) flags |= kFullCircle;
    if (isFullCircle()) end = start;
    radius = roundHalfAway(std::max(distance(centre, s), distance(centre, e)));
    toCentre = QsEVector::fromVector(QsDPoint(centre) - QsDPoint(s));
}

QsArc::QsArc(const QsPoint& s, const QsPoint& centre, double sweep) : start(s) {
    if (sweep <= 0) flags |= kClockwise;
    radius = roundHalfAway(distance(s, centre));
    if (radius == 0) {
        end = start;
        toCentre = QsEVector(QsEVector::kOne, 0);
        flags |= kFullCircle;
        return;
    }
    end = rotatePoint(s, centre, sweep);
    toCentre = scaledDirection(-QsEVector::kScale / radius, double(int64_t{s.x} - centre.x),
                               double(int64_t{s.y} - centre.y));
    if (pointsEqual(end, start)) {
        flags |= kFullCircle;
        end = start;
    }
}

QsArc::QsArc(const QsPoint& s, const QsPoint& centre, const QsPoint& e, int32_t r, uint16_t f)
    : start(s), end(e), radius(r), flags(f) {
    if (r != 0) {
        toCentre = scaledDirection(QsEVector::kScale / r, double(int64_t{centre.x} - s.x),
                                   double(int64_t{centre.y} - s.y));
    }
    if (pointsEqual(s, e)) flags |= kFullCircle;
    if (isFullCircle()) end = start;
}

QsArc::QsArc(const QsPoint& s, const QsEVector& tc, const QsEVector& toEnd, int32_t r, uint16_t f)
    : start(s), toCentre(tc), radius(r), flags(f) {
    const double k = double(r) / QsEVector::kScale;
    end =
        QsDPoint(s.x + k * (double(tc.x) + toEnd.x), s.y + k * (double(tc.y) + toEnd.y)).rounded();
    if (pointsEqual(end, start)) flags |= kFullCircle;
    if (isFullCircle()) end = start;
}

std::unique_ptr<QsFigure> QsArc::clone() const {
    return std::make_unique<QsArc>(*this);
}

QsDPoint QsArc::centre() const {
    return QsDPoint(start.x + double(radius) * toCentre.x / QsEVector::kScale,
                    start.y + double(radius) * toCentre.y / QsEVector::kScale);
}

QsPoint QsArc::centrePoint() const {
    return centre().rounded();
}

double QsArc::startAngle() const {
    // Negated in 64 bits: the direction from the centre is the opposite of toCentre.
    return qsDirectionAngle(double(-int64_t{toCentre.x}), double(-int64_t{toCentre.y}));
}

double QsArc::endAngle() const {
    if (isFullCircle()) return startAngle();
    const QsDPoint c = centre();
    return qsDirectionAngle(end.x - c.x, end.y - c.y);
}

double QsArc::sweepAngle() const {
    if (isFullCircle()) return isClockwise() ? -kQsTwoPi : kQsTwoPi;
    double turn = endAngle() - startAngle();
    if (isClockwise()) {
        if (turn > 0) turn -= kQsTwoPi;
    } else if (turn < 0) {
        turn += kQsTwoPi;
    }
    return turn;
}

QsArc QsArc::fromWrittenAngles(const QsPoint& c, int32_t r, double a1, double a2, uint16_t f,
                               double resolution) {
    const double half = std::isfinite(resolution) ? std::fabs(resolution) / 2 : 0.0;
    const double s = foldHalfTurn(a1, half);
    const double e = foldHalfTurn(a2, half);
    if (r <= 0 || (f & kFullCircle) != 0 || !std::isfinite(s) || !std::isfinite(e))
        return QsArc(c, r, s, e, f);

    QsArc arc;
    arc.radius = r;
    arc.flags = f;
    arc.toCentre = scaledDirection(-QsEVector::kScale, std::cos(s), std::sin(s));
    // The start through the rounded direction, so that the centre the arc reports (start plus
    // direction) rounds to the written centre again.
    const double k = double(r) / QsEVector::kScale;
    if (!QsDPoint(c.x - k * arc.toCentre.x, c.y - k * arc.toCentre.y).tryRounded(arc.start))
        return QsArc(c, r, s, e, f);
    // The end is sought near the ray of angle e from the arc's own centre (its start plus its
    // direction; the written centre is that point rounded).
    WrittenArcEnd query;
    query.radius = r;
    query.ux = std::cos(e);
    query.uy = std::sin(e);
    query.written = a2;
    query.half = half;
    query.centre = arc.centre();
    bool found = false;
    if (!findWrittenArcEnd(query, arc.end, found)) {
        if (!found) return QsArc(c, r, s, e, f);
        // The written start angle leaves the direction open within its resolution, and the end
        // angle was measured from a centre moved along with it: try directions a little either
        // side (the start and the written values stay) for one that puts an end point within.
        static constexpr int kTries[] = {1, -1, 2, -2, 3, -3};
        for (int t : kTries) {
            const double a = s + t * half / 4;
            QsArc trial = arc;
            trial.toCentre = scaledDirection(-QsEVector::kScale, std::cos(a), std::sin(a));
            QsPoint written;
            if (std::fabs(trial.startAngle() - a1) > half || !trial.centre().tryRounded(written) ||
                written != c)
                continue;
            bool any = false;
            query.centre = trial.centre();
            if (findWrittenArcEnd(query, trial.end, any)) {
                arc = trial;
                break;
            }
        }
    }
    if (pointsEqual(arc.end, arc.start)) {
        arc.flags |= kFullCircle;
        arc.end = arc.start;
    }
    return arc;
}

bool QsArc::isWithinRange() const {
    QsPoint c;
    if (!centre().tryRounded(c)) return false;
    // Only what is written or counted in a box matters: the centre, the ends and the axis
    // points the arc passes (a nearly straight arc far from its centre stays convertible).
    int64_t xmin = INT64_MAX, ymin = INT64_MAX, xmax = INT64_MIN, ymax = INT64_MIN;
    extendBox(xmin, ymin, xmax, ymax);
    return fitsInt32(xmin) && fitsInt32(ymin) && fitsInt32(xmax) && fitsInt32(ymax);
}

namespace {

// Whether the arc from angle a to angle b (counter-clockwise, or clockwise when cw) passes the
// angle t, ends included; exact comparisons.
bool passes(double a, double b, double t, bool cw) {
    double off = cw ? a - t : t - a;
    double sweep = cw ? a - b : b - a;
    if (off < 0) off += kQsTwoPi;
    if (sweep < 0) sweep += kQsTwoPi;
    return off <= sweep;
}

void includePoint(int64_t x, int64_t y, int64_t& xmin, int64_t& ymin, int64_t& xmax,
                  int64_t& ymax) {
    xmin = std::min(xmin, x);
    ymin = std::min(ymin, y);
    xmax = std::max(xmax, x);
    ymax = std::max(ymax, y);
}

}  // namespace

void QsArc::extendBox(int64_t& xmin, int64_t& ymin, int64_t& xmax, int64_t& ymax) const {
    includePoint(start.x, start.y, xmin, ymin, xmax, ymax);
    includePoint(end.x, end.y, xmin, ymin, xmax, ymax);
    if (radius <= 0) return;
    const QsPoint c = centrePoint();
    const int64_t r = radius;
    const int64_t ax[4] = {c.x + r, c.x, c.x - r, c.x};
    const int64_t ay[4] = {c.y, c.y + r, c.y, c.y - r};
    const double at[4] = {0.0, kQsHalfPi, kQsPi, -kQsHalfPi};
    const bool full = isFullCircle();
    const double a = full ? 0.0 : startAngle();
    const double b = full ? 0.0 : endAngle();
    for (int k = 0; k < 4; ++k) {
        if (full || passes(a, b, at[k], isClockwise())) {
            includePoint(ax[k], ay[k], xmin, ymin, xmax, ymax);
        }
    }
}

int QsArc::getBox(QsBox& box) const {
    int64_t xmin = INT64_MAX;
    int64_t ymin = INT64_MAX;
    int64_t xmax = INT64_MIN;
    int64_t ymax = INT64_MIN;
    extendBox(xmin, ymin, xmax, ymax);
    box = QsBox(clampToInt32(xmin), clampToInt32(ymin), clampToInt32(xmax), clampToInt32(ymax));
    return 1;
}

int QsArc::transform(const QsTransform& t) {
    start = t.apply(start);
    end = t.apply(end);
    toCentre = t.applyToDirection(toCentre);
    radius = t.applyToLength(radius);
    if (t.reversesOrientation()) flags ^= kClockwise;
    return 1;
}

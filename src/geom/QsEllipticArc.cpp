#include "geom/QsEllipticArc.h"

#include <algorithm>
#include <cmath>

#include "geom/QsAngle.h"
#include "geom/QsRecordFigure.h"

namespace {

// Points sampled on each piece (at least) to measure how far it strays from the ellipse.
constexpr int kSamples = 16;
// A piece shorter than this is not split further: its joints are lattice points, and finer
// pieces would only follow the lattice.
constexpr double kMinSplitChord = 2.0;
// Refinement rounds; every round halves the pieces that stray.
constexpr int kMaxRounds = 40;
// The share of the tolerance that the sampled error may reach, leaving room for what lies
// between the samples.
constexpr double kBudgetShare = 0.9;

// The root s of (r0 z0 / (s + r0))^2 + (z1 / (s + 1))^2 = 1 by bisection, for the closest point
// of an ellipse in its first quadrant (after Eberly, "Distance from a point to an ellipse").
double closestPointRoot(double r0, double z0, double z1, double g) {
    const double n0 = r0 * z0;
    double s0 = z1 - 1.0;
    double s1 = g < 0 ? 0.0 : std::hypot(n0, z1) - 1.0;
    double s = 0.0;
    for (int i = 0; i < 2000; ++i) {
        s = 0.5 * (s0 + s1);
        if (s == s0 || s == s1) break;
        const double ratio0 = n0 / (s + r0);
        const double ratio1 = z1 / (s + 1.0);
        const double h = ratio0 * ratio0 + ratio1 * ratio1 - 1.0;
        if (h > 0) {
            s0 = s;
        } else if (h < 0) {
            s1 = s;
        } else {
            break;
        }
    }
    return s;
}

// The distance from (y0, y1), both >= 0, to the ellipse with the semi-axes e0 >= e1 >= 0 along
// x and y.
double distanceInFirstQuadrant(double e0, double e1, double y0, double y1) {
    if (e1 <= 0.0) return y0 <= e0 ? y1 : std::hypot(y0 - e0, y1);  // a segment
    if (y1 > 0) {
        if (y0 > 0) {
            const double z0 = y0 / e0;
            const double z1 = y1 / e1;
            const double g = z0 * z0 + z1 * z1 - 1.0;
            if (g == 0.0) return 0.0;
            const double ratio = e0 / e1;
            const double r0 = ratio * ratio;
            const double s = closestPointRoot(r0, z0, z1, g);
            const double x0 = r0 * y0 / (s + r0);
            const double x1 = y1 / (s + 1.0);
            return std::hypot(x0 - y0, x1 - y1);
        }
        return std::fabs(y1 - e1);
    }
    const double numer = e0 * y0;
    const double denom = e0 * e0 - e1 * e1;
    if (numer < denom) {
        const double xde0 = numer / denom;
        const double x0 = e0 * xde0;
        const double x1 = e1 * std::sqrt(std::max(0.0, 1.0 - xde0 * xde0));
        return std::hypot(x0 - y0, x1);
    }
    return std::fabs(y0 - e0);
}

// One piece being refined: its parameter range and its integer ends.
struct Work {
    double t0;
    double t1;
    QsPoint j0;
    QsPoint j1;
    QsEllipsePiece piece;

    double chord() const { return distance(j0, j1); }
};

// The joint for the ellipse point at t: of the lattice points around its rounding, the one
// closest to the ellipse (the rounding itself unless another is strictly closer).
bool jointAt(const QsEllipticArc& e, double t, QsPoint& out) {
    QsPoint r;
    if (!e.at(t).tryRounded(r)) return false;
    out = r;
    double best = e.distanceTo(r);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int64_t x = int64_t{r.x} + dx;
            const int64_t y = int64_t{r.y} + dy;
            if ((dx == 0 && dy == 0) || !fitsInt32(x) || !fitsInt32(y)) continue;
            const QsPoint c(static_cast<int32_t>(x), static_cast<int32_t>(y));
            const double d = e.distanceTo(c);
            if (d < best) {
                best = d;
                out = c;
            }
        }
    }
    return true;
}

// The largest distance from the ellipse of the piece's points: its ends, and the points of the
// circle the arc record stands for (its centre as the record holds it) from its start angle to
// its end angle.
double pieceError(const QsEllipticArc& e, const QsEllipsePiece& piece) {
    const QsArc& arc = piece.arc;
    const QsDPoint a(arc.start);
    const QsDPoint b(arc.end);
    double worst = std::max(e.distanceTo(a), e.distanceTo(b));
    if (piece.straight) {
        for (int i = 1; i < kSamples; ++i) {
            const double f = double(i) / kSamples;
            worst = std::max(worst, e.distanceTo(a + (b - a) * f));
        }
        return worst;
    }
    const QsDPoint c = arc.centre();
    const double a0 = std::atan2(a.y - c.y, a.x - c.x);
    const double turn = arc.sweepAngle();
    // More samples where an arc turns far: the tip of a flat ellipse turns half a turn within a
    // unit or two.
    const int n = std::max(kSamples, static_cast<int>(std::fabs(turn) / kQsTwoPi * 256));
    // The circle's own ends too: with a radius of a few hundred million units the direction's
    // fixed point leaves them a unit or more from the joints.
    for (int i = 0; i <= n; ++i) {
        const double phi = a0 + turn * i / n;
        const QsDPoint p(c.x + arc.radius * std::cos(phi), c.y + arc.radius * std::sin(phi));
        worst = std::max(worst, e.distanceTo(p));
    }
    return worst;
}

// Shapes the piece from j0 to j1: the circle through both joints and the ellipse point in the
// middle of the piece's range, with its radius rounded to a whole unit (at most the largest
// 32-bit radius) and its centre moved so that it still passes through both joints. A straight
// segment when the three points are as good as collinear or the joints lie farther apart than
// any such circle spans; also when the arc strays beyond the budget and the chord keeps closer.
void shapePiece(const QsEllipticArc& e, Work& w, double budget) {
    QsEllipsePiece& piece = w.piece;
    piece = QsEllipsePiece();
    piece.arc.start = w.j0;
    piece.arc.end = w.j1;
    const QsDPoint a(w.j0);
    const QsDPoint m = e.at(0.5 * (w.t0 + w.t1)) - a;
    const QsDPoint c = QsDPoint(w.j1) - a;
    const double chord = std::hypot(c.x, c.y);
    const double cross = m.x * c.y - m.y * c.x;  // > 0: j0, m, j1 turn counter-clockwise
    piece.straight = true;
    if (chord > 0 && std::fabs(cross) > 1e-12 * std::hypot(m.x, m.y) * chord) {
        const double m2 = m.x * m.x + m.y * m.y;
        const double c2 = chord * chord;
        const double ux = (c.y * m2 - m.y * c2) / (2.0 * cross);
        const double uy = (m.x * c2 - c.x * m2) / (2.0 * cross);
        const double r = std::hypot(ux, uy);
        const double half = chord / 2.0;
        // Flatter than the widest circle a record holds: that circle bends less than the
        // ellipse but still far closer to it than the chord does.
        const double rounded =
            std::max(std::min(std::round(r), double(INT32_MAX)), std::ceil(half));
        if (std::isfinite(r) && rounded <= double(INT32_MAX)) {
            // The centre on the same side of the chord as the exact circle's.
            const QsDPoint mid = c * 0.5;
            const QsDPoint normal(-c.y / chord, c.x / chord);
            const double side = (ux - mid.x) * normal.x + (uy - mid.y) * normal.y >= 0 ? 1.0 : -1.0;
            const double h = std::sqrt(std::max(0.0, rounded * rounded - half * half));
            const QsDPoint centre = mid + normal * (side * h);
            piece.straight = false;
            piece.arc.radius = static_cast<int32_t>(rounded);
            piece.arc.toCentre = QsEVector::fromVector(centre);
            piece.arc.flags = cross < 0 ? QsArc::kClockwise : 0;
        }
    }
    piece.error = pieceError(e, piece);
    if (piece.straight || piece.error <= budget) return;
    // Where the ellipse turns within a unit or two (the tip of a very flat one), no whole-unit
    // circle follows it and the chord between the joints is the closer piece.
    QsEllipsePiece chordPiece = piece;
    chordPiece.straight = true;
    chordPiece.error = pieceError(e, chordPiece);
    if (chordPiece.error < piece.error) piece = chordPiece;
}

}  // namespace

QsEllipticArc::QsEllipticArc(const QsDPoint& centre, const QsDPoint& u, const QsDPoint& v,
                             double sweep)
    : centre_(centre), u_(u), v_(v), sweep_(sweep) {
    // The principal axes from the conjugate semi-diameters: the eigenvectors of M M^T with M the
    // matrix of columns u and v. The minor axis from the determinant keeps its precision when
    // the ellipse is very flat.
    const double p = u.x * u.x + v.x * v.x;
    const double r = u.y * u.y + v.y * v.y;
    const double q = u.x * u.y + v.x * v.y;
    const double angle = 0.5 * std::atan2(2.0 * q, p - r);
    axisCos_ = std::cos(angle);
    axisSin_ = std::sin(angle);
    major_ = std::sqrt(0.5 * (p + r) + std::hypot(0.5 * (p - r), q));
    minor_ = major_ > 0 ? std::fabs(u.x * v.y - u.y * v.x) / major_ : 0.0;
    minor_ = std::min(minor_, major_);
}

QsDPoint QsEllipticArc::at(double t) const {
    const double c = std::cos(t);
    const double s = std::sin(t);
    return QsDPoint(centre_.x + u_.x * c + v_.x * s, centre_.y + u_.y * c + v_.y * s);
}

bool QsEllipticArc::isWhole() const {
    return std::fabs(sweep_) >= kQsTwoPi;
}

double QsEllipticArc::distanceTo(const QsDPoint& p) const {
    const double dx = p.x - centre_.x;
    const double dy = p.y - centre_.y;
    const double x = dx * axisCos_ + dy * axisSin_;
    const double y = -dx * axisSin_ + dy * axisCos_;
    return distanceInFirstQuadrant(major_, minor_, std::fabs(x), std::fabs(y));
}

int QsEllipseApproximation::appendTo(QsRecordFigure& path) const {
    if (pieces.empty()) return 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const QsEllipsePiece& p = pieces[i];
        if (!p.straight) {
            if (path.appendArc(p.arc) < 0) return 0;
            continue;
        }
        // A straight piece runs from the record before it (or its own first vertex) to the
        // record after it, so its end needs a vertex only before another straight piece or at
        // the end.
        if (i == 0 && path.appendPoint(p.arc.start) < 0) return 0;
        const bool last = i + 1 == pieces.size();
        if ((last || pieces[i + 1].straight) && path.appendPoint(p.arc.end) < 0) return 0;
    }
    return 1;
}

bool approximateEllipticArc(const QsEllipticArc& e, const QsPoint& start, const QsPoint& end,
                            double tolerance, QsEllipseApproximation& out) {
    out = QsEllipseApproximation();
    const QsDPoint c = e.centre();
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(e.majorRadius()) ||
        !std::isfinite(e.sweep()))
        return false;
    const double sweep = e.isWhole() ? (e.sweep() < 0 ? -kQsTwoPi : kQsTwoPi) : e.sweep();
    // Quarter turns of the parameter to begin with: a circle needs no more.
    const int first = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / kQsHalfPi - 1e-9)));
    std::vector<Work> work;
    work.reserve(static_cast<size_t>(first));
    QsPoint previous = start;
    for (int i = 1; i <= first; ++i) {
        const double t = sweep * i / first;
        QsPoint joint = end;
        if (i < first && !jointAt(e, t, joint)) return false;
        work.push_back(Work{sweep * (i - 1) / first, t, previous, joint, {}});
        previous = joint;
    }
    const double budget = tolerance * kBudgetShare;
    for (Work& w : work)
        shapePiece(e, w, budget);

    auto strays = [&](const Work& w) {
        return w.piece.error > budget && w.chord() >= kMinSplitChord;
    };
    for (int round = 0; round < kMaxRounds; ++round) {
        if (std::none_of(work.begin(), work.end(), strays)) break;
        std::vector<Work> next;
        next.reserve(work.size() * 2);
        const size_t cap = QsEllipseApproximation::kMaxPieces;
        size_t room = cap > work.size() ? cap - work.size() : 0;
        for (const Work& w : work) {
            if (room == 0 || !strays(w)) {
                next.push_back(w);
                continue;
            }
            const double tm = 0.5 * (w.t0 + w.t1);
            QsPoint jm;
            if (!jointAt(e, tm, jm)) return false;
            next.push_back(Work{w.t0, tm, w.j0, jm, {}});
            shapePiece(e, next.back(), budget);
            next.push_back(Work{tm, w.t1, jm, w.j1, {}});
            shapePiece(e, next.back(), budget);
            --room;
        }
        if (next.size() == work.size()) break;
        work = std::move(next);
    }

    for (const Work& w : work) {
        // A joint that fell on the one before it leaves nothing to draw.
        if (w.j0 == w.j1) continue;
        out.pieces.push_back(w.piece);
        out.error = std::max(out.error, w.piece.error);
    }
    return true;
}

// Ellipses held as chains of circular arcs: the distance to an ellipse, and approximations that
// stay within the tolerance wherever the records are sampled, join up end to start, and need a
// number of arcs that grows with the flatness and size of the ellipse but stays bounded.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geom/QsAngle.h"
#include "geom/QsEllipticArc.h"
#include "geom/QsPolyline.h"

namespace {

// The ellipse with semi-axes a, b, the major axis at angle phi, parametrised from the point at
// parameter t0 of the axis frame; skew turns v away from the quarter turn (conjugate but not
// perpendicular semi-diameters describe the same kind of curve).
QsEllipticArc ellipse(QsDPoint c, double a, double b, double phi, double t0, double sweep,
                      double skew = 0.0) {
    const double ca = std::cos(phi), sa = std::sin(phi);
    auto axisFrame = [&](double x, double y) { return QsDPoint(x * ca - y * sa, x * sa + y * ca); };
    const QsDPoint u = axisFrame(a * std::cos(t0), b * std::sin(t0));
    QsDPoint v = axisFrame(-a * std::sin(t0), b * std::cos(t0));
    if (skew != 0.0) {
        // Shearing along u keeps the curve an ellipse (another one).
        v = v + u * skew;
    }
    return QsEllipticArc(c, u, v, sweep);
}

// The smallest distance from p to the curve, by sampling the parameter densely and refining
// the best sample by golden-section search.
double bruteDistance(const QsEllipticArc& e, const QsDPoint& p) {
    auto d = [&](double t) { return distance(e.at(t), p); };
    const int n = 20000;
    double bestT = 0.0;
    double best = d(0.0);
    for (int i = 1; i < n; ++i) {
        const double t = kQsTwoPi * i / n;
        if (d(t) < best) {
            best = d(t);
            bestT = t;
        }
    }
    double lo = bestT - kQsTwoPi / n, hi = bestT + kQsTwoPi / n;
    for (int i = 0; i < 200; ++i) {
        const double m1 = lo + (hi - lo) * 0.382;
        const double m2 = lo + (hi - lo) * 0.618;
        if (d(m1) < d(m2)) {
            hi = m2;
        } else {
            lo = m1;
        }
    }
    return std::min(best, d(0.5 * (lo + hi)));
}

// Every point of the path's records as a database holds them: the vertices with the straight
// segments between records, and each arc on its circle (the centre the record stands for and
// its whole-unit radius) from its start angle to its end angle, samples per record.
std::vector<QsDPoint> pathSamples(const QsPolyline& path, int samples) {
    std::vector<QsDPoint> out;
    QsDPoint last;
    bool haveLast = false;
    auto lineTo = [&](const QsDPoint& p) {
        if (haveLast) {
            for (int i = 1; i < samples; ++i)
                out.push_back(last + (p - last) * (double(i) / samples));
        }
        out.push_back(p);
        last = p;
        haveLast = true;
    };
    for (int i = 0; i < path.usedCount(); ++i) {
        const QsPolyRecord& r = path.record(i);
        if (r.isVertex()) {
            lineTo(QsDPoint(r.point()));
            continue;
        }
        QsArc arc;
        if (!r.isArcFirst() || !path.extractArc(i, arc)) continue;
        lineTo(QsDPoint(arc.start));
        const QsDPoint c = arc.centre();
        const double a0 = arc.startAngle();
        const double turn = arc.sweepAngle();
        for (int k = 1; k <= samples; ++k) {
            const double a = a0 + turn * k / samples;
            out.push_back(QsDPoint(c.x + arc.radius * std::cos(a), c.y + arc.radius * std::sin(a)));
        }
        last = QsDPoint(arc.end);
    }
    return out;
}

struct Made {
    QsEllipseApproximation approx;
    QsPolyline path;
    QsPoint start;
    QsPoint end;
};

Made approximate(const QsEllipticArc& e) {
    Made m;
    m.start = e.at(0).rounded();
    m.end = e.isWhole() ? m.start : e.at(e.sweep()).rounded();
    EXPECT_TRUE(approximateEllipticArc(e, m.start, m.end, 1.0, m.approx));
    EXPECT_EQ(m.approx.appendTo(m.path), 1);
    return m;
}

}  // namespace

TEST(QsEllipticArc, DistanceAgreesWithDenseSampling) {
    const struct {
        QsEllipticArc e;
        QsDPoint p;
    } cases[] = {
        {ellipse({0, 0}, 100, 50, 0, 0, kQsTwoPi), {0, 0}},         // the centre
        {ellipse({0, 0}, 100, 50, 0, 0, kQsTwoPi), {100, 0}},       // on it
        {ellipse({0, 0}, 100, 50, 0, 0, kQsTwoPi), {300, 10}},      // far outside
        {ellipse({0, 0}, 100, 50, 0, 0, kQsTwoPi), {90, 1}},        // inside near the tip
        {ellipse({0, 0}, 100, 50, 0, 0, kQsTwoPi), {0, -70}},       // below the minor axis
        {ellipse({5, -7}, 1e6, 10, 0.3, 0, kQsTwoPi), {4e5, 2e5}},  // very flat and turned
        {ellipse({5, -7}, 1e6, 10, 0.3, 0, kQsTwoPi), {9e5, 3e5}},
        {ellipse({0, 0}, 300, 200, 1.0, 0.4, kQsTwoPi, 0.7), {150, 290}},  // skewed diameters
        {ellipse({0, 0}, 40, 40, 0, 0, kQsTwoPi), {10, 10}},               // a circle
    };
    for (const auto& c : cases) {
        const double brute = bruteDistance(c.e, c.p);
        EXPECT_NEAR(c.e.distanceTo(c.p), brute, 1e-6 * std::max(1.0, brute))
            << c.p.x << "," << c.p.y;
    }
}

TEST(QsEllipticArc, ApproximationsStayWithinOneUnitAndJoinUp) {
    const double q = kQsHalfPi;
    const struct {
        const char* name;
        QsEllipticArc e;
    } cases[] = {
        {"circle", ellipse({0, 0}, 4000, 4000, 0, 0, kQsTwoPi)},
        {"nearly a circle", ellipse({123, -77}, 40000, 39990, 0, 0, kQsTwoPi)},
        {"two to one", ellipse({0, 0}, 80000, 40000, 0, 0, kQsTwoPi)},
        {"two to one turned", ellipse({1e6, 2e6}, 80000, 40000, 0.6, 0.2, kQsTwoPi)},
        {"skewed diameters", ellipse({0, 0}, 60000, 20000, 0.3, 0, kQsTwoPi, 0.8)},
        {"ten to one", ellipse({0, 0}, 500000, 50000, 0, 0, kQsTwoPi)},
        {"hundred to one", ellipse({0, 0}, 1e6, 1e4, q, 0, kQsTwoPi)},
        {"a metre across", ellipse({0, 0}, 1e6, 3e5, 0, 0, kQsTwoPi)},
        {"a needle", ellipse({0, 0}, 1e7, 2500, 0.1, 0, kQsTwoPi)},
        {"quarter", ellipse({0, 0}, 8000, 3000, 0, 0, q)},
        {"quarter backwards", ellipse({0, 0}, 8000, 3000, 0, 0, -q)},
        {"from the flat side", ellipse({0, 0}, 8000, 3000, 0, 1.3, 2.5)},
        {"small", ellipse({0, 0}, 12, 5, 0, 0, kQsTwoPi)},
        {"tiny sweep", ellipse({0, 0}, 90000, 30000, 0, 0.1, 0.001)},
        {"more than a turn", ellipse({0, 0}, 9000, 3000, 0, 0, 3 * kQsTwoPi)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Made m = approximate(c.e);
        ASSERT_FALSE(m.approx.pieces.empty());
        EXPECT_LE(static_cast<int>(m.approx.pieces.size()), QsEllipseApproximation::kMaxPieces);
        // Each piece begins where the one before it ends; the chain runs from start to end.
        EXPECT_EQ(m.approx.pieces.front().arc.start, m.start);
        EXPECT_EQ(m.approx.pieces.back().arc.end, m.end);
        for (size_t i = 1; i < m.approx.pieces.size(); ++i)
            EXPECT_EQ(m.approx.pieces[i].arc.start, m.approx.pieces[i - 1].arc.end) << i;
        double worst = 0.0;
        for (const QsDPoint& p : pathSamples(m.path, 64))
            worst = std::max(worst, c.e.distanceTo(p));
        EXPECT_LE(worst, 1.0);
        EXPECT_LE(m.approx.error, 1.0);
    }
}

TEST(QsEllipticArc, CirclesNeedOneArcPerQuarter) {
    // An ellipse with equal semi-axes is a circle: one arc per quarter turn of the parameter,
    // whatever its size.
    for (double r : {10.0, 4000.0, 3e6, 1e9}) {
        EXPECT_EQ(approximate(ellipse({0, 0}, r, r, 0.4, 0, kQsTwoPi)).approx.pieces.size(), 4u)
            << r;
        EXPECT_EQ(approximate(ellipse({0, 0}, r, r, 0, 0, 1.0)).approx.pieces.size(), 1u) << r;
    }
}

TEST(QsEllipticArc, ArcCountDependsOnFlatnessAndSizeAndIsBounded) {
    // For each ratio of the axes the count grows with the size (the major semi-axis) and stays
    // under the bound even for ellipses kilometres across; it does not depend on where the
    // ellipse lies, how it is turned or where its parameter starts.
    const double ratios[] = {1.5, 16, 256, 4096};
    const double sizes[] = {1e3, 1e5, 1e7, 1e9};
    for (double ratio : ratios) {
        int previous = 0;
        for (double a : sizes) {
            const auto count = [&](QsDPoint c, double phi, double t0) {
                return static_cast<int>(
                    approximate(ellipse(c, a, a / ratio, phi, t0, kQsTwoPi)).approx.pieces.size());
            };
            const int n = count({0, 0}, 0.2, 0);
            EXPECT_LE(n, QsEllipseApproximation::kMaxPieces) << ratio << " " << a;
            if (a <= 1e8) {
                EXPECT_GE(n + 2, previous) << ratio << " " << a;
            }
            previous = n;
            if (a <= 1e6) {
                const int moved = count({12345, -6789}, 1.1, 0.7);
                EXPECT_LE(std::abs(moved - n), 2 + n / 4) << ratio << " " << a;
            }
        }
    }
    // A typical drawing's ellipse stays cheap: 10 cm across, three to two.
    EXPECT_LE(approximate(ellipse({0, 0}, 1e5, 1e5 / 1.5, 0, 0, kQsTwoPi)).approx.pieces.size(),
              64u);
}

TEST(QsEllipticArc, EmptyOrUnplaceableApproximations) {
    QsEllipseApproximation approx;
    // Less than a unit across: every joint falls on the start, nothing is left to draw.
    const QsEllipticArc dot = ellipse({0, 0}, 0.3, 0.1, 0, 0, kQsTwoPi);
    EXPECT_TRUE(approximateEllipticArc(dot, {0, 0}, {0, 0}, 1.0, approx));
    EXPECT_TRUE(approx.pieces.empty());
    QsPolyline path;
    EXPECT_EQ(approx.appendTo(path), 0);
    // Joints beyond the 32-bit range.
    const QsEllipticArc far = ellipse({0, 2.1e9}, 1e8, 5e7, 0, 0, kQsTwoPi);
    EXPECT_FALSE(approximateEllipticArc(far, {0, 0}, {0, 0}, 1.0, approx));
    const QsEllipticArc nan = ellipse({std::nan(""), 0}, 1e3, 1e2, 0, 0, kQsTwoPi);
    EXPECT_FALSE(approximateEllipticArc(nan, {0, 0}, {0, 0}, 1.0, approx));
}

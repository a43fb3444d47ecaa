// The six arc constructions, the derived angles, the arc-aware box and arc transformations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "base/ErrorRecord.h"
#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsBox.h"

namespace {

constexpr int32_t kOne = QsEVector::kOne;

// "(start)-(end) r<radius> to(<toCentre in units of 2^30>) f<flags>"
std::string describe(const QsArc& a) {
    char text[160];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d) r%d to(%.10g,%.10g) f%d", a.start.x,
                  a.start.y, a.end.x, a.end.y, a.radius, double(a.toCentre.x) / kOne,
                  double(a.toCentre.y) / kOne, int(a.flags));
    return text;
}

}  // namespace

TEST(QsArc, TheConstructions) {
    const QsPoint o(0, 0);
    ErrorRecord::instance().clear();
    const struct {
        QsArc arc;
        const char* values;
    } cases[] = {
        // Through three points: clockwise when the turn p1 -> p2 -> p3 is.
        {QsArc({0, 0}, {1000, 1000}, {2000, 0}), "(0,0)-(2000,0) r1000 to(1,0) f1"},
        {QsArc({0, 0}, {1000, -1000}, {2000, 0}), "(0,0)-(2000,0) r1000 to(1,0) f0"},
        // A non-integral circle: radius rounded, direction scaled by the rounded radius.
        {QsArc({0, 0}, {2, 0}, {0, 1}), "(0,0)-(0,1) r1 to(1,0.5) f0"},
        // Collinear, out and back (to within the tolerance): full circle on the diameter p1-p2,
        // closed at the start.
        {QsArc({0, 0}, {200, 0}, {0, 0}), "(0,0)-(0,0) r100 to(1,0) f2"},
        {QsArc({7, 7}, {7, 2}, {7, 7}), "(7,7)-(7,7) r3 to(0,-1) f2"},
        {QsArc({0, 0}, {0, 400}, {0, 1}), "(0,0)-(0,0) r200 to(0,1) f2"},
        // Centre, radius and angles: a circle starts at angle 0 or pi and ends at its start.
        {QsArc({100, 100}, 50, 0.0, 0.0, QsArc::kFullCircle),
         "(150,100)-(150,100) r50 to(-1,0) f2"},
        {QsArc({100, 100}, 50, kQsPi, kQsPi, QsArc::kFullCircle),
         "(50,100)-(50,100) r50 to(1,0) f2"},
        {QsArc(o, 400, 0.0, kQsHalfPi, 0), "(400,0)-(0,400) r400 to(-1,0) f0"},
        // Start, centre and sweep: clockwise when the sweep is negative; a point is a circle.
        {QsArc({400, 0}, o, kQsHalfPi), "(400,0)-(0,400) r400 to(-1,0) f0"},
        {QsArc({400, 0}, o, -kQsHalfPi), "(400,0)-(0,-400) r400 to(-1,0) f1"},
        {QsArc({400, 0}, o, kQsTwoPi), "(400,0)-(400,0) r400 to(-1,0) f2"},
        {QsArc({5, 5}, {5, 5}, 1.0), "(5,5)-(5,5) r0 to(1,0) f2"},
        // Start, centre and end: the larger distance is the radius; ends together close it.
        {QsArc({100, 0}, o, {0, 103}, 0), "(100,0)-(0,103) r103 to(-1,0) f0"},
        {QsArc({100, 0}, o, {101, 0}, 0), "(100,0)-(100,0) r101 to(-1,0) f2"},
        // Start, both directions and radius.
        {QsArc({100, 0}, QsEVector(-kOne, 0), QsEVector(0, kOne), 100, 0),
         "(100,0)-(0,100) r100 to(-1,0) f0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(c.arc), c.values);
    EXPECT_EQ(ErrorRecord::instance().size(), 0);

    // Degenerate: distinct collinear points, a point p2 on p1, a circle too large for 32 bits.
    const QsPoint degenerate[][3] = {{{0, 0}, {5, 5}, {10, 10}},
                                     {{3, 3}, {3, 3}, {3, 3}},
                                     {{0, 0}, {1, 0}, {2, 1}},  // d = 1: within the tolerance
                                     {{-2000000000, 0}, {0, 1}, {2000000000, 0}}};
    for (const auto& p : degenerate) {
        ErrorRecord::instance().clear();
        const QsArc a(p[0], p[1], p[2]);
        EXPECT_EQ(a.radius, 0);
        EXPECT_EQ(a.toCentre, QsEVector(0, 0));
        EXPECT_EQ(a.start, p[0]);
        EXPECT_EQ(a.end, p[2]);
        EXPECT_EQ(ErrorRecord::instance().code(), kGeomDegenerateArc);
        EXPECT_EQ(ErrorRecord::instance().severity(), kSeverityMinor);
    }
    QsDPoint centre;
    double r = 0;
    ASSERT_TRUE(QsArc::circleThrough({-2000000000, 0}, {0, 1}, {2000000000, 0}, centre, r));
    EXPECT_GT(r, 1e18);
}

TEST(QsArc, FullCircleDetectionFromCentreAndAngles) {
    const struct {
        int32_t r;
        double a2;
        bool full;
    } cases[] = {
        {1000000, kQsHalfPi, false},
        {1000000, kQsTwoPi - 0.0001, true},  // sweep within the angular tolerance of a turn
        {1000000, kQsTwoPi - 0.001, false},  // ends 1000 units apart
        {1000, kQsTwoPi - 0.0005, true},     // rounded ends within the integer tolerance
        {1000000, -kQsHalfPi, false},        // a negative sweep is no turn by itself
        {0, 1.0, true},                      // a point
    };
    for (const auto& c : cases) {
        const QsArc a(QsPoint(0, 0), c.r, 0.0, c.a2, 0);
        EXPECT_EQ(a.isFullCircle(), c.full) << c.r << " " << c.a2;
        EXPECT_EQ(a.end == a.start, c.full) << c.r << " " << c.a2;
        EXPECT_EQ(a.radius, c.r);
    }
}

TEST(QsArc, StartAndEndAnglesStayInTheHalfOpenRange) {
    // Start on the negative x axis: pi, never -pi.
    const struct {
        QsPoint s, e;
        double start, end;
    } cases[] = {{{-100, 0}, {0, -100}, kQsPi, -kQsHalfPi},
                 {{0, 100}, {-100, 0}, kQsHalfPi, kQsPi},
                 {{0, -100}, {100, 0}, -kQsHalfPi, 0.0},
                 {{100, 0}, {-71, -71}, 0.0, -3 * kQsPi / 4}};
    for (const auto& c : cases) {
        const QsArc a(c.s, QsPoint(0, 0), c.e, 0);
        EXPECT_EQ(a.radius, 100);
        EXPECT_DOUBLE_EQ(a.startAngle(), c.start);
        EXPECT_NEAR(a.endAngle(), c.end, 0.01);
        EXPECT_GT(a.endAngle(), -kQsPi);
        EXPECT_LE(a.endAngle(), kQsPi);
    }
    EXPECT_DOUBLE_EQ(QsArc(QsPoint(0, 100), QsPoint(0, 0), QsPoint(-100, 0), 0).endAngle(), kQsPi);
    // A zero direction reads as angle 0.
    EXPECT_EQ(QsArc().startAngle(), 0.0);
}

TEST(QsArc, SweepRunsInTheArcsSense) {
    // Constructed from a sweep, read back from the stored directions: the same quarter and
    // three quarters either way round, across the half turn where the angles wrap.
    const QsPoint o(0, 0);
    for (const double sweep : {kQsHalfPi, -kQsHalfPi, 3 * kQsHalfPi, -3 * kQsHalfPi}) {
        const QsArc a(QsPoint(-100, 1), o, sweep);
        EXPECT_NEAR(a.sweepAngle(), sweep, 1e-6) << sweep;
    }
    const QsArc circle(o, 100, 0.0, kQsTwoPi, 0);
    ASSERT_TRUE(circle.isFullCircle());
    EXPECT_DOUBLE_EQ(circle.sweepAngle(), kQsTwoPi);
}

TEST(QsArc, BoxHoldsTheAxisPointsTheArcPasses) {
    const QsPoint o(0, 0);
    const struct {
        QsArc arc;
        QsBox box;
    } cases[] = {
        {QsArc(QsPoint(100, 0), o, QsPoint(0, 100), 0), QsBox(0, 0, 100, 100)},
        {QsArc(QsPoint(100, 0), o, QsPoint(0, 100), QsArc::kClockwise),
         QsBox(-100, -100, 100, 100)},
        {QsArc(QsPoint(87, 50), o, QsPoint(50, 87), 0), QsBox(50, 50, 87, 87)},
        {QsArc(QsPoint(-50, -87), o, QsPoint(50, -87), 0), QsBox(-50, -100, 50, -87)},
        {QsArc(QsPoint(-100, 0), o, QsPoint(100, 0), 0), QsBox(-100, -100, 100, 0)},
        {QsArc(o, 100, 0.0, 0.0, QsArc::kFullCircle), QsBox(-100, -100, 100, 100)},
    };
    for (const auto& c : cases) {
        QsBox b;
        ASSERT_EQ(c.arc.getBox(b), 1);
        EXPECT_EQ(b, c.box) << b.x1 << " " << b.y1 << " " << b.x2 << " " << b.y2;
    }
}

TEST(QsArc, TransformationsTurnTheDirectionAndMirrorsFlipTheOrientation) {
    QsArc a(QsPoint(100, 0), QsPoint(0, 0), QsPoint(0, 100), 0);
    a.rotate(QsPoint(0, 0), kQsHalfPi);
    EXPECT_EQ(describe(a), "(0,100)-(-100,0) r100 to(0,-1) f0");
    a.mirrorX(0);
    EXPECT_EQ(describe(a), "(0,100)-(100,0) r100 to(0,-1) f1");
    a.scale(QsPoint(0, 0), 2.0);
    EXPECT_EQ(describe(a), "(0,200)-(200,0) r200 to(0,-1) f1");
    a.mirrorPoint(QsPoint(10, 10));
    EXPECT_EQ(describe(a), "(20,-180)-(-180,20) r200 to(0,1) f1");
    EXPECT_EQ(a.centrePoint(), QsPoint(20, 20));
}

namespace {

// The values a database file keeps of an arc: rounded centre, radius, angles with six decimals,
// and the flags.
std::string written(const QsArc& a) {
    const QsPoint c = a.centrePoint();
    char text[160];
    std::snprintf(text, sizeof text, "%d %d %d %.6f %.6f %d", c.x, c.y, a.radius, a.startAngle(),
                  a.endAngle(), int(a.flags));
    return text;
}

QsArc readBack(const QsArc& a) {
    const std::string text = written(a);
    int cx = 0, cy = 0, r = 0, flags = 0;
    double a1 = 0, a2 = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%d %d %d %lf %lf %d", &cx, &cy, &r, &a1, &a2, &flags), 6);
    return QsArc::fromWrittenAngles(QsPoint(cx, cy), r, a1, a2, static_cast<uint16_t>(flags));
}

}  // namespace

TEST(QsArc, WrittenValuesReadBackToTheSameText) {
    const struct {
        const char* name;
        QsArc arc;
        bool sameAtOnce;  // an arc about an integer centre reads back unchanged
    } cases[] = {
        {"half-turn start", QsArc(QsPoint(100, 100), 50, kQsPi, 0.5, 0), true},
        {"half-turn end", QsArc(QsPoint(-7, 3), 4000, 0.25, kQsPi, QsArc::kClockwise), true},
        {"just above -pi", QsArc(QsPoint(0, 0), 100, -kQsPi + 1e-8, 1.0, 0), true},
        {"end just above -pi", QsArc(QsPoint(5, 5), 90000, 1.0, -kQsPi + 2e-7, 0), true},
        {"clockwise over the half-turn, far out",
         QsArc(QsPoint(0, 0), 1000000, -3.1415, 3.1415 - kQsTwoPi, QsArc::kClockwise), true},
        {"full circle at pi", QsArc(QsPoint(1, 2), 30, kQsPi, kQsPi, QsArc::kFullCircle), true},
        {"quarter", QsArc(QsPoint(40, -40), 1234567, 0.3, 0.3 + kQsHalfPi, 0), true},
        {"small", QsArc(QsPoint(123457, -98765), 7, -2.0, 2.5, 0), false},
        {"through three points", QsArc(QsPoint(0, 0), QsPoint(333, 1000), QsPoint(1717, 3)), false},
        {"through three points, clockwise", QsArc(QsPoint(5, 9), QsPoint(20, 31), QsPoint(36, 8)),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QsArc once = readBack(c.arc);
        if (c.sameAtOnce) {
            EXPECT_EQ(written(once), written(c.arc));
        }
        EXPECT_EQ(once.isFullCircle(), c.arc.isFullCircle());
        EXPECT_EQ(once.isClockwise(), c.arc.isClockwise());
        EXPECT_LE(std::abs(once.end.x - c.arc.end.x) + std::abs(once.end.y - c.arc.end.y), 3);
        // Read and written again, nothing moves any more.
        const QsArc twice = readBack(once);
        EXPECT_EQ(written(twice), written(once));
        EXPECT_EQ(twice.start, once.start);
        EXPECT_EQ(twice.end, once.end);
    }
    EXPECT_EQ(written(QsArc::fromWrittenAngles(QsPoint(0, 0), 10, 3.141593, 0, 0)).substr(0, 15),
              "0 0 10 3.141593");
    EXPECT_EQ(written(QsArc::fromWrittenAngles(QsPoint(0, 0), 10, -3.141593, 0, 0)).substr(0, 16),
              "0 0 10 -3.141593");
}

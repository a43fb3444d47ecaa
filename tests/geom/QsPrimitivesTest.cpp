// Rounding, tolerances, angles, boxes and the generic transformations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/ErrorRecord.h"
#include "base/SysEnv.h"
#include "geom/QsAngle.h"
#include "geom/QsBox.h"
#include "geom/QsCircle.h"
#include "geom/QsLine.h"
#include "geom/QsPointPolygon.h"
#include "geom/Tolerance.h"
#include "support/TestSupport.h"

TEST(QsRounding, HalvesGoAwayFromZeroAndRangesAreChecked) {
    const struct {
        double v;
        int32_t round;
        int32_t trunc;
    } cases[] = {{2.5, 3, 2},
                 {-2.5, -3, -2},
                 {2.4999, 2, 2},
                 {-2.4999, -2, -2},
                 {-0.5, -1, 0},
                 {0.5, 1, 0},
                 {-0.49, 0, 0},
                 {-1e-300, 0, 0},
                 {2147483647.4, INT32_MAX, INT32_MAX},
                 {-2147483648.4, INT32_MIN, INT32_MIN}};
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfAway(c.v), c.round) << c.v;
        EXPECT_EQ(truncTowardZero(c.v), c.trunc) << c.v;
        int32_t out = 0;
        EXPECT_TRUE(tryRoundHalfAway(c.v, out)) << c.v;
        EXPECT_EQ(out, c.round);
    }
    // Out of range, infinite and NaN are refused by the checked form and saturate otherwise.
    const double bad[] = {2147483647.5,
                          -2147483648.5,
                          1e300,
                          -1e300,
                          std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
    for (double v : bad) {
        int32_t out = 7;
        EXPECT_FALSE(tryRoundHalfAway(v, out)) << v;
        EXPECT_EQ(out, 7);
    }
    EXPECT_EQ(roundHalfAway(1e300), INT32_MAX);
    EXPECT_EQ(roundHalfAway(-1e300), INT32_MIN);
    EXPECT_EQ(roundHalfAway(std::numeric_limits<double>::quiet_NaN()), 0);
    // Sums of points saturate instead of overflowing.
    EXPECT_EQ(QsPoint(INT32_MAX, 0) + QsPoint(1, -1), QsPoint(INT32_MAX, -1));
}

// The rounding without a separate truncation step against the rule written out with trunc,
// over halves, neighbours of every boundary of both ranges and values of every magnitude.
TEST(QsRounding, AgreesWithTruncOfTheShiftedValue) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.5,
                                  0.49999999999999994,
                                  -0.49999999999999994,
                                  4503599627370495.5,
                                  9007199254740993.0,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    for (double edge : {2147483647.5, 2147483648.0, 2147483648.5, 4611686018427387904.0}) {
        for (double s : {1.0, -1.0}) {
            double v = s * edge;
            for (int k = 0; k < 40; ++k)
                v = std::nextafter(v, 0.0);
            for (int k = 0; k < 80; ++k, v = std::nextafter(v, s * 1e300))
                values.push_back(v);
        }
    }
    std::uint64_t x = 0x2545F4914F6CDD1Dull;
    for (int i = 0; i < 200000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        const double halves = static_cast<double>(static_cast<int64_t>(x) >> (i % 64)) / 2;
        values.push_back(halves);
        values.push_back(std::ldexp(static_cast<double>(x >> 11), i % 90 - 60) * (i % 2 ? 1 : -1));
    }
    for (double v : values) {
        const double r = std::trunc(v >= 0 ? v + 0.5 : v - 0.5);
        int32_t out = 7;
        const bool fits = r >= -2147483648.0 && r <= 2147483647.0;
        ASSERT_EQ(tryRoundHalfAway(v, out), fits) << v;
        ASSERT_EQ(out, fits ? static_cast<int32_t>(r) : 7) << v;
        const double limit = 4611686018427387904.0;
        const int64_t wide = std::isnan(v) ? 0
                             : r >= limit  ? int64_t{1} << 62
                             : r <= -limit ? -(int64_t{1} << 62)
                                           : static_cast<int64_t>(r);
        ASSERT_EQ(roundHalfAway64(v), wide) << v;
    }
}

TEST(QsEVector, UnitVectorInFixedPointAndZeroLength) {
    EXPECT_EQ(QsEVector::fromVector(3.0, 4.0), QsEVector(644245094, 858993459));
    EXPECT_EQ(QsEVector::fromVector(QsPoint(-7, 0)), QsEVector(-QsEVector::kOne, 0));
    ErrorRecord::instance().clear();
    EXPECT_EQ(QsEVector::fromVector(0.0, 0.0), QsEVector(0, 0));
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomIndexError);
    EXPECT_EQ(ErrorRecord::instance().severity(), kSeverityMinor);
}

TEST(QsTolerance, PredicatesFollowTheIntegerToleranceAndSwitchesAreReadOnce) {
    resetTolerance();
    EXPECT_TRUE(pointsEqual(QsPoint(0, 0), QsPoint(1, -1)));
    EXPECT_FALSE(pointsEqual(QsPoint(0, 0), QsPoint(2, 0)));
    EXPECT_TRUE(isZeroInt(-1));
    EXPECT_FALSE(isZeroInt(2));
    EXPECT_TRUE(isEqualInt(INT64_MIN, INT64_MIN + 1));
    EXPECT_FALSE(isEqualInt(INT64_MIN, INT64_MAX));
    setIntegerTolerance(3);
    EXPECT_TRUE(isZeroSquaredTol(9.0));
    EXPECT_FALSE(isZeroSquaredTol(9.5));
    EXPECT_TRUE(pointsEqual(QsPoint(0, 0), QsPoint(3, 3)));
    resetTolerance();

    // Off when set to an empty value: only exactly equal coordinates make a line horizontal.
    {
        testsupport::ScopedEnv off("QBD_LINE_HORV_PRECISION", "");
        resetSysEnv();
        EXPECT_FALSE(QsLine(QsPoint(0, 0), QsPoint(100, 1)).isHorizontal());
        testsupport::ScopedEnv on("QBD_LINE_HORV_PRECISION", "1");
        resetSysEnv();
        EXPECT_FALSE(QsLine(QsPoint(0, 0), QsPoint(100, 1)).isHorizontal());  // already read
        resetTolerance();
        EXPECT_TRUE(QsLine(QsPoint(0, 0), QsPoint(100, 1)).isHorizontal());
        EXPECT_TRUE(QsLine(QsPoint(5, 0), QsPoint(4, 100)).isVertical());
        EXPECT_FALSE(QsLine(QsPoint(5, 0), QsPoint(3, 100)).isVertical());
    }
    resetSysEnv();
    resetTolerance();
}

TEST(QsAngle, NormalisationAndRightAngleClasses) {
    double a = -kQsHalfPi;
    EXPECT_EQ(normaliseAngle(a), 1);
    EXPECT_DOUBLE_EQ(a, 3 * kQsHalfPi);
    a = 7 * kQsPi;
    EXPECT_EQ(normaliseAngle(a, kQsPi, -kQsPi), 1);  // bounds swapped: [-pi, pi)
    EXPECT_DOUBLE_EQ(a, -kQsPi);
    a = 1.0;
    EXPECT_EQ(normaliseAngle(a, 2.0, 3.0), 0);  // narrower than a turn and outside it
    EXPECT_EQ(a, 1.0);
    a = 1e300;  // far away: must not loop for ever
    EXPECT_EQ(normaliseAngle(a), 1);
    EXPECT_TRUE(a >= 0 && a < kQsTwoPi);
    a = std::numeric_limits<double>::infinity();
    EXPECT_EQ(normaliseAngle(a), 0);
    a = 0.0;  // a turn vanishes against bounds this large: refused, not an endless loop
    EXPECT_EQ(normaliseAngle(a, 1e300, 1e300), 0);

    const struct {
        double a;
        int cls;
        int cls90;
    } cases[] = {{0.0, 0, 0},
                 {-0.00005, 0, 0},
                 {kQsTwoPi - 0.00005, 0, 0},
                 {kQsPi / 4, 45, -1},
                 {kQsHalfPi, 90, 90},
                 {-kQsHalfPi, 270, 270},
                 {5 * kQsPi, 180, 180},
                 {7 * kQsPi / 4, 315, -1},
                 {0.001, -1, -1},
                 {kQsPi + 0.0002, -1, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(rightAngleClass(c.a), c.cls) << c.a;
        EXPECT_EQ(rightAngleClass90(c.a), c.cls90) << c.a;
    }
    // Angles within the tolerance are equal, not less.
    EXPECT_TRUE(angleEqual(1.0, 1.0001));
    EXPECT_FALSE(angleLess(1.0, 1.0001));
    EXPECT_TRUE(angleAtMost(1.0001, 1.0));
}

TEST(QsBox, ConstructionNormalisationAndOverlap) {
    EXPECT_EQ(QsBox(QsPoint(10, 5), QsPoint(0, 0)), QsBox(0, 0, 10, 5));
    // Odd sizes lose one unit; negative halves shift towards minus infinity.
    EXPECT_EQ(QsBox::fromCentre(QsPoint(0, 0), 5, 5), QsBox(-2, -2, 2, 2));
    const QsBox odd = QsBox::fromCentre(QsPoint(0, 0), -5, 4);
    EXPECT_EQ(odd.x1, 3);
    EXPECT_EQ(odd.x2, -3);  // not normalised
    EXPECT_EQ(QsBox(0, 0, 10, 5).centre(), QsPoint(5, 2));
    EXPECT_EQ(QsBox(-3, -3, 0, 0).centre(), QsPoint(-2, -2));
    // Boxes that share an edge do not overlap, whichever side the other lies on.
    EXPECT_FALSE(QsBox(0, 0, 10, 10).overlaps(QsBox(10, 0, 20, 10)));
    EXPECT_FALSE(QsBox(10, 0, 20, 10).overlaps(QsBox(0, 0, 10, 10)));
    EXPECT_FALSE(QsBox(0, 10, 10, 20).overlaps(QsBox(0, 0, 10, 10)));
    EXPECT_TRUE(QsBox(0, 0, 10, 10).overlaps(QsBox(9, 9, 20, 20)));
    QsBox g(0, 0, 10, 10);
    g.inflate(-6);  // shrinks past itself and is normalised again
    EXPECT_EQ(g, QsBox(4, 4, 6, 6));
    QsPointPolygon corners(QsBox(1, 2, 3, 4));
    ASSERT_EQ(corners.pointCount(), 4);
    EXPECT_EQ(corners.points()[1], QsPoint(1, 4));
    EXPECT_EQ(corners.points()[3], QsPoint(3, 2));
}

TEST(QsTransform, RightAnglesAreExactAndFarOffsetsTurnWhole) {
    // Four quarter turns, or many turns by the exact classes, come back without drift.
    const QsPoint pts[] = {QsPoint(123457, -98765), QsPoint(-3, 7), QsPoint(0, 0)};
    QsPointPolygon p(pts, 3);
    const QsPoint c(1001, -2002);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(p.rotate(c, kQsHalfPi), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p.points()[i], pts[i]);
    p.rotate(c, kQsPi + 0.00005);  // within the class of 180 degrees
    EXPECT_EQ(p.points()[1], QsPoint(2 * 1001 + 3, 2 * -2002 - 7));
    p.rotate(c, -kQsPi);
    EXPECT_EQ(p.points()[1], pts[1]);

    QsLine l(QsPoint(10, 0), QsPoint(0, 0));
    l.rotate(QsPoint(0, 0), kQsPi / 4);  // 45 degrees: the fixed 0.7071067811865476
    EXPECT_EQ(l.start, QsPoint(7, 7));
    l = QsLine(QsPoint(10, 0), QsPoint(0, 0));
    l.rotate(QsPoint(0, 0), 0.5);
    EXPECT_EQ(l.start, QsPoint(9, 5));

    QsLine m(QsPoint(3, -8), QsPoint(7, -1));
    m.scale(QsPoint(1, 1), 2.5);
    EXPECT_EQ(m.start, QsPoint(6, -22));  // 1 + round(5), 1 + round(-22.5)

    // An offset from the centre beyond the 32-bit range is turned whole: the image lands where
    // the formula puts it, and tryApply refuses only an image outside the range.
    const QsPoint edge(INT32_MIN, INT32_MIN);
    const QsPoint far(INT32_MAX, INT32_MIN);
    EXPECT_EQ(QsTransform::rotateAbout(edge, 0.5).apply(far), QsPoint(1621704754, -88366639));
    QsPoint image;
    EXPECT_TRUE(QsTransform::rotateAbout(edge, 1.0).tryApply(far, image));
    EXPECT_EQ(image, QsPoint(173097085, 1466606711));
    EXPECT_FALSE(QsTransform::rotateAbout(edge, 2.0).tryApply(far, image));
    EXPECT_EQ(image, QsPoint(173097085, 1466606711));

    QsCircle circle(QsPoint(0, 0), 10);
    circle.scale(QsPoint(0, 0), -1.5);
    EXPECT_EQ(circle.radius, 15);
    EXPECT_EQ(circle.distanceTo(QsPoint(3, 4)), 0);
    EXPECT_EQ(circle.distanceTo(QsPoint(30, 40)), 35);
    EXPECT_EQ(QsPointPolygon().move(QsPoint(1, 1)), 0);  // no points
}

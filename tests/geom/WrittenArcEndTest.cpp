// The quick search for a written arc's end against the scan of every point around the ray.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "geom/QsAngle.h"
#include "geom/WrittenArcEnd.h"

namespace {

// The ray angle the reader derives from a written end angle: a half-turn rounded outwards is
// brought back inside, as fromWrittenAngles does.
double rayAngle(double written, double half) {
    if (written > kQsPi && written - half <= kQsPi) return kQsPi;
    if (written <= -kQsPi && written + half > -kQsPi) return (-kQsPi + (written + half)) / 2;
    return written;
}

struct Generator {
    std::mt19937_64 rng{20261206};

    double uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng); }
    int pick(int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); }

    int32_t radius() {
        static const int32_t kFixed[] = {1,   2,     3,       5,         17,
                                         999, 30000, 1000000, 123456789, 2147483647};
        if (pick(3) == 0) return kFixed[pick(10)];
        return static_cast<int32_t>(std::exp(uniform(0.0, std::log(2.0e9))));
    }

    double angle() {
        // Every quadrant, the axes and diagonals exactly, and the half-turn from both sides.
        static const double kExact[] = {0.0,        kQsHalfPi,      -kQsHalfPi, kQsPi,
                                        kQsPi / 4,  -3 * kQsPi / 4, 3.141593,   -3.141593,
                                        -3.1415925, 3.1415928};
        if (pick(4) == 0) return kExact[pick(10)];
        return uniform(-kQsPi, kQsPi);
    }

    double halfResolution() {
        static const double kHalves[] = {5e-7, 5e-7, 5e-7, 5e-7, 0.0, 5e-10, 5e-4, 0.25};
        return kHalves[pick(8)];
    }

    WrittenArcEnd query() {
        WrittenArcEnd q;
        q.radius = radius();
        q.half = halfResolution();
        double written = angle();
        // Mostly the direction of an integer end point, written to the resolution.
        const int64_t base = pick(5) == 0 ? int64_t{2147483647} - q.radius : pick(1000000);
        // Now and then a centre so far out that no point near the ray fits in 32 bits.
        const double far = pick(20) == 0 ? 3.0e9 : 0.0;
        const double cx =
            far + static_cast<double>(base) + (pick(3) == 0 ? 0.0 : uniform(-0.01, 0.01));
        const double cy = static_cast<double>(-base) + (pick(3) == 0 ? 0.0 : uniform(-0.01, 0.01));
        if (pick(2) == 0 && q.half > 0) {
            const double ex = std::round(cx + q.radius * std::cos(written)) + pick(3) - 1;
            const double ey = std::round(cy + q.radius * std::sin(written)) + pick(3) - 1;
            const double exact = std::atan2(ey - cy, ex - cx);
            written = std::round(exact / (2 * q.half)) * (2 * q.half);
        }
        q.written = written;
        const double e = rayAngle(written, q.half);
        q.ux = std::cos(e);
        q.uy = std::sin(e);
        q.centre = QsDPoint(cx, cy);
        switch (pick(4)) {
            case 0: {
                // The circle's point on the ray at (or a hair from) a half in x, in y or both:
                // the nearest point is then tied or nearly tied with a neighbour.
                static const double kHairs[] = {0.0, 1e-12, -1e-12, 1e-7, -1e-7, 1e-6, -2e-6};
                const double ix = q.centre.x + q.radius * q.ux;
                const double iy = q.centre.y + q.radius * q.uy;
                if (pick(3) != 1) q.centre.x += std::floor(ix) + 0.5 + kHairs[pick(7)] - ix;
                if (pick(3) != 0) q.centre.y += std::floor(iy) + 0.5 + kHairs[pick(7)] - iy;
                break;
            }
            case 1:
                // Integral centres on axis rays: points symmetric about the ray tie exactly.
                q.centre = QsDPoint(std::round(q.centre.x), std::round(q.centre.y));
                break;
            default:
                break;
        }
        return q;
    }
};

}  // namespace

TEST(WrittenArcEnd, QuickSearchFindsWhatTheScanFinds) {
    Generator gen;
    int within = 0, nearestOnly = 0, none = 0;
    for (int i = 0; i < 60000; ++i) {
        const WrittenArcEnd q = gen.query();
        QsPoint scanned(7, 7), quick(7, 7);
        bool scanFound = false, quickFound = false;
        const bool scanWithin = scanWrittenArcEnd(q, scanned, scanFound);
        const bool quickWithin = findWrittenArcEnd(q, quick, quickFound);
        ASSERT_EQ(quickWithin, scanWithin) << "query " << i;
        ASSERT_EQ(quickFound, scanFound) << "query " << i;
        ASSERT_EQ(quick, scanned) << "query " << i << " r " << q.radius << " centre " << q.centre.x
                                  << "," << q.centre.y << " angle " << q.written;
        (scanWithin ? within : scanFound ? nearestOnly : none) += 1;
    }
    // Each outcome occurs often enough for the comparison to mean something.
    EXPECT_GT(within, 5000);
    EXPECT_GT(nearestOnly, 5000);
    EXPECT_GT(none, 0);
}

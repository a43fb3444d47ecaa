#include "geom/QsAngle.h"

#include <cmath>
#include <utility>

bool angleEqual(double a, double b) {
    return std::fabs(a - b) <= kAngleTolerance;
}
bool angleLess(double a, double b) {
    return a - b < -kAngleTolerance;
}
bool angleGreater(double a, double b) {
    return a - b > kAngleTolerance;
}
bool angleAtMost(double a, double b) {
    return a - b <= kAngleTolerance;
}
bool angleAtLeast(double a, double b) {
    return a - b >= -kAngleTolerance;
}

namespace {

constexpr int kMaxSteps = 4096;

// Whole turns are stepped one by one, as the rule says; far-away angles are first brought near
// the range in one step so that a hostile value cannot make the loop run for ever.
double nearRange(double a, double lo) {
    constexpr double kFar = 1024 * kQsTwoPi;
    if (std::fabs(a - lo) > kFar) a = lo + std::fmod(a - lo, kQsTwoPi);
    return a;
}

}  // namespace

int normaliseAngle(double& angle, double lo, double hi) {
    if (!std::isfinite(angle) || !std::isfinite(lo) || !std::isfinite(hi)) return 0;
    if (lo > hi) std::swap(lo, hi);
    double a = nearRange(angle, lo);
    // Bounded loops: with huge bounds a turn can vanish in the rounding of a.
    for (int k = 0; a >= hi && k < kMaxSteps; ++k)
        a -= kQsTwoPi;
    for (int k = 0; a < lo && k < kMaxSteps; ++k)
        a += kQsTwoPi;
    if (a >= hi || a < lo) return 0;
    angle = a;
    return 1;
}

int rightAngleClass(double angle) {
    if (!std::isfinite(angle)) return -1;
    constexpr double kEps = 0.0001;
    constexpr double kUpper = 6.2830853071795865;  // 2*pi - 0.0001
    double a = nearRange(angle, -kEps);
    for (int k = 0; a >= kUpper && k < kMaxSteps; ++k)
        a -= kQsTwoPi;
    for (int k = 0; a < -kEps && k < kMaxSteps; ++k)
        a += kQsTwoPi;
    for (int k = 0; k < 8; ++k) {
        if (std::fabs(a - k * (kQsPi / 4)) <= kEps) return 45 * k;
    }
    return -1;
}

int rightAngleClass90(double angle) {
    int c = rightAngleClass(angle);
    return c % 90 == 0 ? c : -1;
}

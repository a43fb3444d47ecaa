#include "geom/QsPoint.h"

#include <cmath>

#include "base/ErrorRecord.h"
#include "geom/Tolerance.h"

namespace {

// Both limits as doubles; every int32 is exact in a double.
constexpr double kMin = -2147483648.0;
constexpr double kMax = 2147483647.0;

}  // namespace

int32_t roundHalfAway(double v) {
    int32_t out = 0;
    if (tryRoundHalfAway(v, out)) return out;
    if (std::isnan(v)) return 0;
    return v < 0 ? INT32_MIN : INT32_MAX;
}

int64_t roundHalfAway64(double v) {
    constexpr double kLimit = 4611686018427387904.0;  // 2^62
    if (std::isnan(v)) return 0;
    // Truncating a reaches 2^62 (an integer) exactly when a does; below it the conversion
    // truncates towards zero itself.
    const double a = v >= 0 ? v + 0.5 : v - 0.5;
    if (a >= kLimit) return int64_t{1} << 62;
    if (a <= -kLimit) return -(int64_t{1} << 62);
    return static_cast<int64_t>(a);
}

int32_t truncTowardZero(double v) {
    int32_t out = 0;
    if (tryTruncTowardZero(v, out)) return out;
    if (std::isnan(v)) return 0;
    return v < 0 ? INT32_MIN : INT32_MAX;
}

bool tryTruncTowardZero(double v, int32_t& out) {
    if (!std::isfinite(v)) return false;
    double r = std::trunc(v);
    if (r < kMin || r > kMax) return false;
    out = static_cast<int32_t>(r);
    return true;
}

int32_t clampToInt32(int64_t v) {
    if (v < INT32_MIN) return INT32_MIN;
    if (v > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(v);
}

QsPoint operator+(const QsPoint& a, const QsPoint& b) {
    return QsPoint(clampToInt32(int64_t{a.x} + b.x), clampToInt32(int64_t{a.y} + b.y));
}

QsPoint operator-(const QsPoint& a, const QsPoint& b) {
    return QsPoint(clampToInt32(int64_t{a.x} - b.x), clampToInt32(int64_t{a.y} - b.y));
}

QsPoint QsDPoint::rounded() const {
    return QsPoint(roundHalfAway(x), roundHalfAway(y));
}

QsEVector QsEVector::fromVector(double dx, double dy) {
    double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0.0 || !std::isfinite(len)) {
        recordError(kGeomIndexError, kSeverityMinor);
        return QsEVector();
    }
    double k = kScale / len;
    return QsEVector(roundHalfAway(k * dx), roundHalfAway(k * dy));
}

double distance(const QsDPoint& a, const QsDPoint& b) {
    double dx = a.x - b.x;
    double dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool equalWithin(const QsPoint& a, const QsPoint& b, int64_t d) {
    int64_t dx = int64_t{a.x} - b.x;
    int64_t dy = int64_t{a.y} - b.y;
    return dx <= d && -dx <= d && dy <= d && -dy <= d;
}

bool pointsEqual(const QsPoint& a, const QsPoint& b) {
    return equalWithin(a, b, integerTolerance());
}

QsPoint rotatePoint(const QsPoint& p, const QsPoint& c, double a) {
    double dx = static_cast<double>(int64_t{p.x} - c.x);
    double dy = static_cast<double>(int64_t{p.y} - c.y);
    double ca = std::cos(a);
    double sa = std::sin(a);
    int64_t x = int64_t{c.x} + roundHalfAway(dx * ca - dy * sa);
    int64_t y = int64_t{c.y} + roundHalfAway(dx * sa + dy * ca);
    return QsPoint(clampToInt32(x), clampToInt32(y));
}

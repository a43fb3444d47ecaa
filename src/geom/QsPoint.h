// Integer points in database units, double points for intermediate results, fixed-point unit
// vectors, and the one rounding rule by which a floating value becomes a coordinate again.
#pragma once

#include <cstdint>

// Error codes the geometry kernel records in the process-wide error record.
inline constexpr int kGeomIndexError = 770;     // index outside a point list, zero-length direction
inline constexpr int kGeomAllocError = 772;     // storage of a geometric object could not be made
inline constexpr int kGeomDegenerateArc = 773;  // three collinear points do not make an arc

// --- Rounding -------------------------------------------------------------------------------
// Half away from zero: add 0.5 for v >= 0, subtract 0.5 for v < 0, then truncate towards zero.
// The unchecked forms saturate at the int32 limits (NaN gives 0), so they never invoke undefined
// behaviour; callers that must refuse out-of-range values use the checked forms.

// Rounds half away from zero, saturating outside the int32 range.
int32_t roundHalfAway(double v);
// Rounds half away from zero into out; returns false (out untouched) when v is not finite or the
// result does not fit in 32 bits.
// (Inline: it runs for every coordinate of a plot.)
inline bool tryRoundHalfAway(double v, int32_t& out) {
    // a truncates into the int32 range exactly when it lies strictly between -2^31 - 1 and 2^31
    // (both exact in a double); a NaN fails both comparisons and infinities fail one. The
    // conversion then truncates towards zero itself, with no separate truncation step.
    const double a = v >= 0 ? v + 0.5 : v - 0.5;
    if (!(a > -2147483649.0 && a < 2147483648.0)) return false;
    out = static_cast<int32_t>(a);
    return true;
}
// Rounds half away from zero into 64 bits, saturating at +-2^62 (NaN gives 0): for offsets that
// may reach beyond the int32 range while the point they lead to does not.
int64_t roundHalfAway64(double v);
// Truncates towards zero (lengths derived from one value: radii, character sizes), saturating.
int32_t truncTowardZero(double v);
// Truncates towards zero into out; returns false when v is not finite or does not fit.
bool tryTruncTowardZero(double v, int32_t& out);
// Narrows a 64-bit value to 32 bits, saturating at the limits.
int32_t clampToInt32(int64_t v);
// True when v lies in the int32 range.
inline bool fitsInt32(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// --- Points ---------------------------------------------------------------------------------

// An integer point of the database. Arithmetic saturates at the int32 limits.
struct QsPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr QsPoint() = default;
    constexpr QsPoint(int32_t px, int32_t py) : x(px), y(py) {}

    friend constexpr bool operator==(const QsPoint& a, const QsPoint& b) {
        return a.x == b.x && a.y == b.y;
    }
    friend constexpr bool operator!=(const QsPoint& a, const QsPoint& b) { return !(a == b); }
    friend QsPoint operator+(const QsPoint& a, const QsPoint& b);
    friend QsPoint operator-(const QsPoint& a, const QsPoint& b);
};

// A point of doubles for intermediate results.
struct QsDPoint {
    double x = 0.0;
    double y = 0.0;

    constexpr QsDPoint() = default;
    constexpr QsDPoint(double px, double py) : x(px), y(py) {}
    constexpr QsDPoint(const QsPoint& p) : x(p.x), y(p.y) {}  // NOLINT: widening is intended

    // Each coordinate rounded half away from zero (saturating).
    QsPoint rounded() const;
    // Rounded into out; false (out untouched) when a coordinate does not fit in 32 bits.
    bool tryRounded(QsPoint& out) const {
        int32_t rx = 0;
        int32_t ry = 0;
        if (!tryRoundHalfAway(x, rx) || !tryRoundHalfAway(y, ry)) return false;
        out = QsPoint(rx, ry);
        return true;
    }

    friend constexpr QsDPoint operator+(const QsDPoint& a, const QsDPoint& b) {
        return QsDPoint(a.x + b.x, a.y + b.y);
    }
    friend constexpr QsDPoint operator-(const QsDPoint& a, const QsDPoint& b) {
        return QsDPoint(a.x - b.x, a.y - b.y);
    }
    friend constexpr QsDPoint operator*(const QsDPoint& a, double f) {
        return QsDPoint(a.x * f, a.y * f);
    }
    friend constexpr bool operator==(const QsDPoint& a, const QsDPoint& b) {
        return a.x == b.x && a.y == b.y;
    }
};

// A direction: the unit vector in fixed point, 2^30 standing for 1.0.
struct QsEVector {
    static constexpr int32_t kOne = 1073741824;  // 2^30
    static constexpr double kScale = 1073741824.0;

    int32_t x = 0;
    int32_t y = 0;

    constexpr QsEVector() = default;
    // Stores the two fixed-point components as given.
    constexpr QsEVector(int32_t px, int32_t py) : x(px), y(py) {}

    // round(2^30 / |v| * v); a zero vector gives (0, 0) and records code 770.
    static QsEVector fromVector(double dx, double dy);
    static QsEVector fromVector(const QsDPoint& v) { return fromVector(v.x, v.y); }
    static QsEVector fromVector(const QsPoint& v) { return fromVector(QsDPoint(v)); }

    bool isZero() const { return x == 0 && y == 0; }
    // The direction as doubles of length (about) 1.
    QsDPoint unit() const { return QsDPoint(x / kScale, y / kScale); }

    friend constexpr bool operator==(const QsEVector& a, const QsEVector& b) {
        return a.x == b.x && a.y == b.y;
    }
    friend constexpr bool operator!=(const QsEVector& a, const QsEVector& b) { return !(a == b); }
};

// --- Point operations -----------------------------------------------------------------------

// sqrt(dx^2 + dy^2), for any mix of integer and double points.
double distance(const QsDPoint& a, const QsDPoint& b);
// |x1 - x2| <= d and |y1 - y2| <= d (a square, not a circle).
bool equalWithin(const QsPoint& a, const QsPoint& b, int64_t d);
// Equality of points used throughout the kernel: equalWithin the integer tolerance.
bool pointsEqual(const QsPoint& a, const QsPoint& b);
// p rotated about c by a radians: c + round(rotated offset), each coordinate rounded.
QsPoint rotatePoint(const QsPoint& p, const QsPoint& c, double a);

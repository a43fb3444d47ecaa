// The base of every geometric shape: its type code, its defining points, its box, and the
// generic transformations (move, mirror, scale, rotate) that work on those points.
#pragma once

#include <cstdint>
#include <memory>

#include "geom/QsPoint.h"

class QsBox;

// Type codes by which the other subsystems dispatch on a figure.
inline constexpr int kQsTypeFigure = 0;  // the base, QsPolyPoints and the record shapes' base
inline constexpr int kQsTypeArc = 1;
inline constexpr int kQsTypeBox = 2;
inline constexpr int kQsTypeCircle = 3;
inline constexpr int kQsTypeLine = 6;
inline constexpr int kQsTypeText = 7;
inline constexpr int kQsTypeOblong = 8;
inline constexpr int kQsTypeOpenPoints = 9;
inline constexpr int kQsTypePointPolygon = 10;
inline constexpr int kQsTypePolyline = 25;
inline constexpr int kQsTypePolylineSet = 26;
inline constexpr int kQsTypePolygon = 27;

// One generic transformation, able to map points, directions and lengths. Shapes whose values are
// more than points (arcs, record lists, texts) use the direction and length parts.
class QsTransform {
public:
    enum Kind { kMove, kMirrorPoint, kMirrorX, kMirrorY, kMirrorLine, kScale, kRotate };

    // p + v.
    static QsTransform moveBy(const QsPoint& v);
    // 2c - p.
    static QsTransform mirrorThrough(const QsPoint& c);
    // About the vertical line x = c: x becomes 2c - x.
    static QsTransform mirrorAboutX(int32_t c);
    // About the horizontal line y = c: y becomes 2c - y.
    static QsTransform mirrorAboutY(int32_t c);
    // Reflection across the line through a and b (the caller refuses a == b).
    static QsTransform mirrorAboutLine(const QsPoint& a, const QsPoint& b);
    // c + round((p - c) * f).
    static QsTransform scaleAbout(const QsPoint& c, double f);
    // Counter-clockwise about c by a radians, exact for the multiples of 90 degrees.
    static QsTransform rotateAbout(const QsPoint& c, double a);

    Kind kind() const { return kind_; }
    // The move vector, or the centre of a point mirror, scale or rotation.
    const QsPoint& point() const { return p_; }
    // The coordinate of the line of mirrorAboutX / mirrorAboutY.
    int32_t lineCoord() const { return p_.x; }
    double factor() const { return factor_; }
    double angle() const { return angle_; }
    // Right-angle class of a rotation (0, 45, ..., 315, or -1 for the general formula).
    int angleClass() const { return class_; }

    // The image of a point, coordinates saturating at the int32 limits.
    QsPoint apply(const QsPoint& p) const;
    // The image of a point into out; false (out untouched) when it leaves the int32 range.
    bool tryApply(const QsPoint& p, QsPoint& out) const { return tryApply(p.x, p.y, out); }
    // The same for a point given in 64 bits, which may lie beyond the range (within 2^40).
    bool tryApply(int64_t px, int64_t py, QsPoint& out) const;
    // The image of a direction (unchanged by moves; sign of the factor for scales).
    QsEVector applyToDirection(const QsEVector& d) const;
    // The image of a length: round(r * |f|) for scales, r otherwise.
    int32_t applyToLength(int32_t r) const;
    // True for the mirrors about a line, which turn clockwise into counter-clockwise.
    bool reversesOrientation() const;

private:
    // The image of a point in 64 bits (each rotated or scaled offset rounded on its own).
    void image(int64_t px, int64_t py, int64_t& x, int64_t& y) const;

    Kind kind_ = kMove;
    QsPoint p_;
    QsPoint q_;
    double factor_ = 1.0;
    double angle_ = 0.0;
    double cos_ = 1.0;
    double sin_ = 0.0;
    int class_ = 0;
};

class QsFigure {
public:
    virtual ~QsFigure() = default;

    // The figure's type code (0 for the base).
    virtual int typeCode() const { return kQsTypeFigure; }
    // A deep copy of the figure (null only when memory is exhausted).
    virtual std::unique_ptr<QsFigure> clone() const = 0;

    // Number of defining points held in one array (0 when the shape keeps its points apart).
    virtual int pointCount() const { return 0; }
    // The first of pointCount() contiguous points, or null.
    virtual QsPoint* mutablePoints() { return nullptr; }
    const QsPoint* points() const { return const_cast<QsFigure*>(this)->mutablePoints(); }
    // The point that moveTo places: the first defining point unless a shape says otherwise.
    virtual QsPoint referencePoint() const;
    // The smallest box holding the shape; 0 when the shape has no points.
    virtual int getBox(QsBox& box) const;

    // Applies t to every defining point; 0 when the shape has no points. Shapes with more than
    // points (directions, radii, orientation) override this.
    virtual int transform(const QsTransform& t);

    // The generic transformations, each 1, or 0 when the shape has no points.
    virtual int move(const QsPoint& v) { return transform(QsTransform::moveBy(v)); }
    // Moves by q minus the reference point.
    int moveTo(const QsPoint& q);
    virtual int mirrorPoint(const QsPoint& c) { return transform(QsTransform::mirrorThrough(c)); }
    // About the vertical line x = c.
    virtual int mirrorX(int32_t c) { return transform(QsTransform::mirrorAboutX(c)); }
    // About the horizontal line y = c.
    virtual int mirrorY(int32_t c) { return transform(QsTransform::mirrorAboutY(c)); }
    // About the line through a and b; 0 when a equals b.
    virtual int mirrorLine(const QsPoint& a, const QsPoint& b);
    virtual int scale(const QsPoint& c, double f) {
        return transform(QsTransform::scaleAbout(c, f));
    }
    virtual int rotate(const QsPoint& c, double a) {
        return transform(QsTransform::rotateAbout(c, a));
    }

protected:
    QsFigure() = default;
    QsFigure(const QsFigure&) = default;
    QsFigure& operator=(const QsFigure&) = default;
};

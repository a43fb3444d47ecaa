// A circular arc held by its start and end points, the unit vector from the start towards the
// centre, the radius and orientation flags; built in six ways from the values callers have.
#pragma once

#include "geom/QsFigure.h"

class QsArc : public QsFigure {
public:
    static constexpr uint16_t kClockwise = 0x0001;
    static constexpr uint16_t kFullCircle = 0x0002;

    QsPoint start;
    QsPoint end;
    QsEVector toCentre;  // unit vector from start towards the centre, scale 2^30
    int32_t radius = 0;
    uint16_t flags = 0;  // bit 0 clockwise, bit 1 full circle; other bits carried unchanged

    QsArc() = default;
    // 1. From centre c, radius r, start and end angles (radians) and flags. The full-circle bit
    //    is added when the sweep a2 - a1 reaches a turn (less the angular tolerance) or the
    //    rounded end equals the rounded start; a full circle ends at its start.
    QsArc(const QsPoint& c, int32_t r, double a1, double a2, uint16_t f);
    // 2. Through start p1, a point p2 on the arc and end p3. Collinear points give a full circle
    //    with diameter p1-p2 when p1 equals p3 (and p2 does not), otherwise a degenerate arc
    //    (radius 0, toCentre (0, 0), code 773). Clockwise when the turn p1 -> p2 -> p3 is.
    QsArc(const QsPoint& p1, const QsPoint& p2, const QsPoint& p3);
    // 3. From start, centre, end and flags; radius the larger of the two centre distances.
    QsArc(const QsPoint& s, const QsPoint& centre, const QsPoint& e, uint16_t f);
    // 4. From start S, centre M and sweep (radians, positive counter-clockwise); the end is S
    //    rotated about M. Clockwise when sweep <= 0.
    QsArc(const QsPoint& s, const QsPoint& centre, double sweep);
    // 5. From start, centre, end, radius and flags, stored as given.
    QsArc(const QsPoint& s, const QsPoint& centre, const QsPoint& e, int32_t r, uint16_t f);
    // 6. From start, toCentre, the direction from the centre to the end, radius and flags.
    QsArc(const QsPoint& s, const QsEVector& tc, const QsEVector& toEnd, int32_t r, uint16_t f);

    // The arc that a centre, a radius, a start and an end angle and flags stand for when the
    // angles were written rounded to the given resolution (1e-6 for six decimals), as database
    // files hold arcs. Start point and direction come from the start angle as in constructor 1;
    // the end is the point near the end angle's ray (seen from the arc's own centre) whose
    // direction lies within half the resolution of the written angle, the one nearest to the
    // radius, so that the arc reports the same angles when it is written again. A written
    // angle just beyond +-pi (the half-turn rounded outwards) keeps the side it was written on.
    // Full circle when the flags say so or the end equals the start.
    static QsArc fromWrittenAngles(const QsPoint& c, int32_t r, double a1, double a2, uint16_t f,
                                   double resolution = 1e-6);

    // The exact centre and radius of the circle through three points; false when they are
    // collinear (within the integer tolerance) or the values are not finite. For callers that
    // must check the range before building the arc through the points.
    static bool circleThrough(const QsPoint& p1, const QsPoint& p2, const QsPoint& p3,
                              QsDPoint& centre, double& radius);

    int typeCode() const override { return kQsTypeArc; }
    std::unique_ptr<QsFigure> clone() const override;
    QsPoint referencePoint() const override { return start; }
    // Start, end and the axis points of the circle that the arc passes through.
    int getBox(QsBox& box) const override;
    // Maps start and end, turns toCentre, scales the radius; mirrors flip the clockwise bit.
    int transform(const QsTransform& t) override;

    bool isClockwise() const { return (flags & kClockwise) != 0; }
    bool isFullCircle() const { return (flags & kFullCircle) != 0; }
    // Radius 0 and not a full circle: what a collinear three-point construction leaves.
    bool isDegenerate() const { return radius == 0 && !isFullCircle(); }

    // start + radius * toCentre / 2^30.
    QsDPoint centre() const;
    // The centre rounded half away from zero (saturating).
    QsPoint centrePoint() const;
    // Direction from the centre to the start, atan2(-toCentre.y, -toCentre.x), in (-pi, pi].
    double startAngle() const;
    // Direction from the centre to the end, in (-pi, pi]; the start angle for a full circle.
    double endAngle() const;
    // The turn from the start to the end in the arc's sense: in [0, 2 pi) counter-clockwise,
    // in (-2 pi, 0] clockwise; a whole turn that way for a full circle.
    double sweepAngle() const;
    // True when the rounded centre, the ends and the axis points the arc passes fit in 32 bits.
    bool isWithinRange() const;

    // Adds to box the start, the end and each axis point (centre +/- radius in x or y) that the
    // arc passes through, ends included; all four for a full circle. Angles compare exactly.
    void extendBox(int64_t& xmin, int64_t& ymin, int64_t& xmax, int64_t& ymax) const;
};

// An elliptical arc and its approximation by true circular arcs. No record of a path can hold an
// ellipse, so a circle stretched by unequal scales in x and y is stored as a chain of circular
// arcs that keep within a tolerance of the ellipse.
#pragma once

#include <vector>

#include "geom/QsArc.h"
#include "geom/QsPoint.h"

class QsRecordFigure;

// The points centre + u cos t + v sin t for t from 0 to sweep (radians). u and v are conjugate
// semi-diameters, so the affine image of any circular arc has this form: the centre's image, the
// images of the radius vector to the start and of that vector turned a quarter turn, and the
// sweep of the circular arc. A sweep of a whole turn or more (either way) is the whole ellipse.
class QsEllipticArc {
public:
    QsEllipticArc(const QsDPoint& centre, const QsDPoint& u, const QsDPoint& v, double sweep);

    QsDPoint at(double t) const;
    const QsDPoint& centre() const { return centre_; }
    double sweep() const { return sweep_; }
    bool isWhole() const;
    // The semi-axes (major >= minor >= 0). The minor one is 0 when u and v are parallel: the
    // ellipse has collapsed into a segment.
    double majorRadius() const { return major_; }
    double minorRadius() const { return minor_; }

    // The shortest distance from p to the ellipse (the whole curve, not only the arc).
    double distanceTo(const QsDPoint& p) const;

private:
    QsDPoint centre_;
    QsDPoint u_;
    QsDPoint v_;
    double sweep_;
    double major_ = 0.0;
    double minor_ = 0.0;
    double axisCos_ = 1.0;  // direction of the major axis
    double axisSin_ = 0.0;
};

// One piece of an approximation: a circular arc, or a straight segment where the ellipse is so
// flat that the circle would be wider than a coordinate can hold.
struct QsEllipsePiece {
    bool straight = false;
    QsArc arc;           // the arc (start and end are the piece's ends also when straight)
    double error = 0.0;  // the largest distance from the ellipse found on the piece
};

struct QsEllipseApproximation {
    // The upper bound on the number of pieces, whatever the ellipse: it is reached only by
    // ellipses far flatter than one unit across, whose pieces are then allowed more than the
    // tolerance.
    static constexpr int kMaxPieces = 2048;

    std::vector<QsEllipsePiece> pieces;  // in order, each starting where the one before ends
    double error = 0.0;                  // the largest error of a piece

    // Appends the pieces to a path: arcs as arc records, straight pieces as vertices (the first
    // piece's start too when it is straight). 1, or 0 when a record cannot be added (the path
    // may then hold the pieces before it).
    int appendTo(QsRecordFigure& path) const;
};

// Approximates the arc by pieces that lie within tolerance (database units) of the ellipse,
// from the integer point start to the integer point end (the rounded ends of the arc as the
// caller places them; end is start for a whole ellipse). The joints between pieces are integer
// points chosen close to the ellipse. The pieces are refined where they stray until every one
// keeps within the tolerance, a piece is shorter than a few units, or kMaxPieces is reached.
// False when a joint or radius would leave the 32-bit range, or the ellipse is not finite.
bool approximateEllipticArc(const QsEllipticArc& ellipse, const QsPoint& start, const QsPoint& end,
                            double tolerance, QsEllipseApproximation& out);

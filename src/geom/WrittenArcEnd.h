// The end point of an arc read back from its written values. A file holds the end of an arc only
// as an angle rounded to a resolution; the reader takes the integer point near that angle's ray
// whose direction lies within half the resolution of the written angle. Two ways find the same
// point: a scan of every point around the ray, and a quicker one that looks only at the points
// close to the ray's line and falls back to the scan where it cannot decide by itself.
#pragma once

#include "geom/QsPoint.h"

// The direction of (dx, dy) in (-pi, pi]: 0 for a zero vector, +-pi/2 on the y axis, and -pi
// (which atan2 gives for a negative zero y) taken as pi.
double qsDirectionAngle(double dx, double dy);

// What the end point is sought from.
struct WrittenArcEnd {
    QsDPoint centre;     // the arc's own centre (its start plus its direction)
    int32_t radius = 1;  // positive
    double ux = 1.0;     // cosine and sine of the angle e of the ray (the written end angle,
    double uy = 0.0;     // a half-turn rounded outwards brought back inside)
    double written = 0;  // the written end angle
    double half = 0;     // half the resolution the angle was written to
};

// Scans the integer points within a unit (in x and y) of the ray's points at radius - 4 ...
// radius + 4 in half steps. Points whose direction lies within half of the written angle come
// first; among them, and among the others when there are none, the one nearest to the circle's
// point on the ray, then the one whose direction is nearer, then the first one scanned. Returns
// whether the point found lies within; found is false (and end untouched) when no point scanned
// fits in 32 bits.
bool scanWrittenArcEnd(const WrittenArcEnd& query, QsPoint& end, bool& found);

// The same answer as scanWrittenArcEnd, found from the few points that lie close enough to the
// ray's line to be within the written angle.
bool findWrittenArcEnd(const WrittenArcEnd& query, QsPoint& end, bool& found);

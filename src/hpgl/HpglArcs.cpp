// Arcs, circles, rectangles and wedges: AA, AR, AT, RT, CI, EA, ER, RA, RR, EW and WG.
//
// Arcs and circles become polylines holding one true arc segment (never chords); rectangles and
// wedges become polygons. Every value that a figure stores (a point, the start and end of an arc,
// a radius) is checked against the 32-bit range before anything is committed. An arc whose
// centre or axis points lie outside the range is still made: the conversion leaves it out.
//
// Coordinates and radii go through the interpreter's transform. Under user scaling with unequal
// scales in x and y a circle of user units is an ellipse on the page: such arcs, circles and
// wedges are the image of the circular arc in user units, held as a chain of circular arcs
// within a unit of the ellipse.

#include <cmath>
#include <memory>

#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsBox.h"
#include "geom/QsEllipticArc.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// The first n parameters as reals; false when one is missing or does not convert. Parameters
// behind them (chord angles and tolerances) are not read.
bool readReals(const HpglStatement& st, int n, double* out) {
    for (int i = 0; i < n; ++i) {
        if (!realParam(st, i + 1, out[i])) return false;
    }
    return true;
}

// How far an approximated ellipse may stray from the true one, in output units.
constexpr double kEllipseTolerance = 1.0;

// A point of the plot in output units, rounded half away from zero; false outside 32 bits.
bool scaledPoint(const HpglInterpreter& in, double x, double y, QsPoint& out) {
    return in.transform().point(x, y).tryRounded(out);
}

// A point given relative to the point `from` (an integer point in output units): the displacement
// rounded, then added; false outside 32 bits.
bool offsetPoint(QsPoint& p, const QsPoint& d);
bool relativePoint(const HpglInterpreter& in, double x, double y, const QsPoint& from,
                   QsPoint& out) {
    return in.transform().vector(x, y).tryRounded(out) && offsetPoint(out, from);
}

// A point given absolute or relative to from.
bool placedPoint(const HpglInterpreter& in, double x, double y, bool relative, const QsPoint& from,
                 QsPoint& out) {
    return relative ? relativePoint(in, x, y, from, out) : scaledPoint(in, x, y, out);
}

// A length of the plot (a radius) in output units, truncated towards zero; false outside 32
// bits.
bool scaledLength(const HpglInterpreter& in, double r, int32_t& out) {
    return tryTruncTowardZero(in.transform().length(r), out);
}

// The image on the page of the circular arc of user units about centre c that starts at c + r
// and sweeps by sweep radians.
QsEllipticArc ellipseOf(const PlotTransform& t, const QsDPoint& c, const QsDPoint& r,
                        double sweep) {
    return QsEllipticArc(t.point(c.x, c.y), t.vector(r.x, r.y), t.vector(-r.y, r.x), sweep);
}

// The pen position in user units.
QsDPoint penInUserUnits(const HpglInterpreter& in) {
    const PenPosition& p = in.pen().current;
    return in.transform().toUser(QsDPoint(p.x, p.y));
}

// The pen position rounded to a point.
bool penPoint(const HpglInterpreter& in, QsPoint& out) {
    const PenPosition& p = in.pen().current;
    return QsDPoint(p.x, p.y).tryRounded(out);
}

// p + d in integers; false when the sum leaves 32 bits.
bool offsetPoint(QsPoint& p, const QsPoint& d) {
    const int64_t x = int64_t{p.x} + d.x;
    const int64_t y = int64_t{p.y} + d.y;
    if (!fitsInt32(x) || !fitsInt32(y)) return false;
    p = QsPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    return true;
}

// The point at angle a on the circle of centre c and radius r, placed as the arc constructor from
// angles places its start and end, lies inside 32 bits.
bool pointOnCircleFits(const QsPoint& c, int32_t r, double a) {
    QsPoint p;
    return QsDPoint(c.x + r * std::cos(a), c.y + r * std::sin(a)).tryRounded(p);
}

// s turned about m by angle a, placed as the arc constructor from a sweep places its end, lies
// inside 32 bits.
bool turnedPointFits(const QsPoint& s, const QsPoint& m, double a) {
    const double dx = double(int64_t{s.x} - m.x);
    const double dy = double(int64_t{s.y} - m.y);
    int32_t x = 0;
    int32_t y = 0;
    if (!tryRoundHalfAway(dx * std::cos(a) - dy * std::sin(a), x) ||
        !tryRoundHalfAway(dx * std::sin(a) + dy * std::cos(a), y))
        return false;
    return fitsInt32(int64_t{m.x} + x) && fitsInt32(int64_t{m.y} + y);
}

// A polyline holding the arc, finished as a closed line figure, goes to the batch. appendCode is
// added when the arc cannot be appended, 52 when finishing fails; the caller adds its own code.
int addArcFigure(HpglInterpreter& in, const QsArc& arc, StatementBatch& batch, int32_t appendCode) {
    auto line = std::make_unique<QsPolyline>();
    if (line->appendArc(arc) < 0) return fail(batch, appendCode);
    if (!finishLineFigure(in, *line, true)) return fail(batch, kHpglCodeLineFinish);
    batch.addFigure(std::move(line));
    return 1;
}

// Puts the pen at the end of an arc it moved along.
void putPen(PenState& pen, const QsPoint& end) {
    pen.current.x = end.x;
    pen.current.y = end.y;
    pen.previous = pen.current;
}

// The pen moves to the arc's end; with the pen down the arc is drawn.
int moveAlongArc(HpglInterpreter& in, const QsArc& arc, const QsPoint& end, StatementBatch& batch) {
    putPen(in.pen(), end);
    if (!in.pen().down) return 1;
    return addArcFigure(in, arc, batch, kHpglCodeArcAppend);
}

// The chain of arcs within the tolerance of the ellipse from start to end (start again for a
// whole one); false when a joint would leave the 32-bit range.
bool approximate(const QsEllipticArc& e, const QsPoint& start, const QsPoint& end,
                 QsEllipseApproximation& out) {
    return approximateEllipticArc(e, start, end, kEllipseTolerance, out);
}

// A polyline holding the ellipse's chain of arcs, finished as a closed line figure (width and
// line style reach every arc of the chain), goes to the batch. appendCode is added when there
// is nothing to append (an ellipse less than a unit across).
int addEllipseFigure(HpglInterpreter& in, const QsEllipseApproximation& chain,
                     StatementBatch& batch, int32_t appendCode) {
    auto line = std::make_unique<QsPolyline>();
    if (!chain.appendTo(*line)) return fail(batch, appendCode);
    if (!finishLineFigure(in, *line, true)) return fail(batch, kHpglCodeLineFinish);
    batch.addFigure(std::move(line));
    return 1;
}

// An elliptical arc from the pen position: the pen moves to end; with the pen down the arc is
// drawn.
int moveAlongEllipse(HpglInterpreter& in, const QsEllipticArc& e, const QsPoint& start,
                     const QsPoint& end, StatementBatch& batch) {
    QsEllipseApproximation chain;
    if (in.pen().down && !approximate(e, start, end, chain)) return 0;
    putPen(in.pen(), end);
    if (!in.pen().down) return 1;
    return addEllipseFigure(in, chain, batch, kHpglCodeArcAppend);
}

// AA and AR under unequal scales: the circular arc of user units about the centre from the pen.
int ellipticArcAboutCentre(HpglInterpreter& in, const double* v, bool relative,
                           StatementBatch& batch) {
    QsPoint start;
    if (!penPoint(in, start)) return 0;
    const QsDPoint s = penInUserUnits(in);
    const QsDPoint c = relative ? QsDPoint(s.x + v[0], s.y + v[1]) : QsDPoint(v[0], v[1]);
    const QsEllipticArc e = ellipseOf(in.transform(), c, s - c, v[2] * kDegreesToRadians);
    QsPoint end = start;
    if (!e.isWhole() && !e.at(e.sweep()).tryRounded(end)) return 0;
    return moveAlongEllipse(in, e, start, end, batch);
}

// AT and RT under unequal scales: the circle through the three points in user units. Points on
// one line give a straight segment, or, out and back, the whole circle over that diameter.
int ellipticArcThroughPoints(HpglInterpreter& in, const double* v, bool relative,
                             const QsPoint& start, const QsPoint& mid, const QsPoint& end,
                             StatementBatch& batch) {
    const QsDPoint s = penInUserUnits(in);
    const QsDPoint offset = relative ? s : QsDPoint();
    const QsDPoint m = QsDPoint(v[0], v[1]) + offset;
    const QsDPoint e = QsDPoint(v[2], v[3]) + offset;
    const QsDPoint b = m - s;
    const QsDPoint c = e - s;
    const double cross = b.x * c.y - b.y * c.x;
    const double size = std::hypot(b.x, b.y) * std::hypot(c.x, c.y);
    const PlotTransform& t = in.transform();
    if (!(std::fabs(cross) > 1e-12 * size)) {
        if (pointsEqual(start, end) && !pointsEqual(mid, start)) {
            const QsDPoint centre = (s + m) * 0.5;
            return moveAlongEllipse(in, ellipseOf(t, centre, s - centre, kQsTwoPi), start, start,
                                    batch);
        }
        // A straight segment: the arc of radius 0 between the ends.
        QsArc segment;
        segment.start = start;
        segment.end = end;
        return moveAlongArc(in, segment, end, batch);
    }
    const double b2 = b.x * b.x + b.y * b.y;
    const double c2 = c.x * c.x + c.y * c.y;
    const QsDPoint centre(s.x + (c.y * b2 - b.y * c2) / (2.0 * cross),
                          s.y + (b.x * c2 - c.x * b2) / (2.0 * cross));
    // The sweep from the start to the end the way the three points turn.
    double sweep =
        std::atan2(e.y - centre.y, e.x - centre.x) - std::atan2(s.y - centre.y, s.x - centre.x);
    if (cross > 0) {
        while (sweep <= 0)
            sweep += kQsTwoPi;
    } else {
        while (sweep >= 0)
            sweep -= kQsTwoPi;
    }
    return moveAlongEllipse(in, ellipseOf(t, centre, s - centre, sweep), start, end, batch);
}

// AA and AR: an arc from the pen position about a centre, by a sweep in degrees (positive
// counter-clockwise).
int arcAboutCentre(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                   bool relative) {
    double v[3];
    if (!readReals(st, 3, v)) return 0;
    if (!in.transform().keepsCircles()) return ellipticArcAboutCentre(in, v, relative, batch);
    QsPoint centre;
    QsPoint start;
    if (!penPoint(in, start) || !placedPoint(in, v[0], v[1], relative, start, centre)) return 0;
    // A mirrored scaling turns the sweep the other way.
    const double sweep = (in.transform().mirrors() ? -v[2] : v[2]) * kDegreesToRadians;
    int32_t radius = 0;
    if (!tryRoundHalfAway(distance(start, centre), radius) ||
        !turnedPointFits(start, centre, sweep)) {
        return 0;
    }
    const QsArc arc(start, centre, sweep);
    return moveAlongArc(in, arc, arc.end, batch);
}

// AT and RT: an arc from the pen position through an intermediate point to an end point.
int arcThroughPoints(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                     bool relative) {
    double v[4];
    QsPoint start;
    QsPoint mid;
    QsPoint end;
    if (!readReals(st, 4, v) || !penPoint(in, start) ||
        !placedPoint(in, v[0], v[1], relative, start, mid) ||
        !placedPoint(in, v[2], v[3], relative, start, end)) {
        return 0;
    }
    if (!in.transform().keepsCircles())
        return ellipticArcThroughPoints(in, v, relative, start, mid, end, batch);
    // Nearly collinear points far apart give a radius beyond 32 bits: refused, where the arc
    // constructor would fall back to a straight segment. Exactly collinear points (within the
    // tolerance) are the constructor's matter.
    QsDPoint c;
    double r = 0.0;
    int32_t radius = 0;
    if (QsArc::circleThrough(start, mid, end, c, r)) {
        if (!tryRoundHalfAway(r, radius)) return 0;
    } else if (pointsEqual(start, end) && !pointsEqual(mid, start)) {
        // Out and back along one line: the circle over the diameter from the start to the point.
        if (!tryRoundHalfAway(distance(mid, start) / 2, radius)) return 0;
    }
    const QsArc arc(start, mid, end);
    return moveAlongArc(in, arc, end, batch);
}

// EA, ER, RA and RR: the box from the pen position to a corner, as a polygon.
int rectangle(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch, bool relative) {
    double v[2];
    QsPoint a;
    QsPoint b;
    if (!readReals(st, 2, v) || !penPoint(in, a) || !placedPoint(in, v[0], v[1], relative, a, b))
        return 0;
    // Scales and quarter turns keep the sides parallel to the axes.
    auto polygon = std::make_unique<QsPolygon>(QsBox(a, b));
    if (!finishPolygon(in, *polygon)) return fail(batch, kHpglCodePolygonFinish);
    batch.addFigure(std::move(polygon));
    return 1;
}

// EW and WG under unequal scales: the pie of user units about the pen position.
int ellipticWedge(HpglInterpreter& in, const double* v, StatementBatch& batch) {
    QsPoint centre;
    if (!penPoint(in, centre)) return 0;
    const double r = std::fabs(v[0]);
    const double a = v[1] * kDegreesToRadians + (v[0] < 0 ? kQsPi : 0.0);
    const QsDPoint c = in.transform().toUser(QsDPoint(centre));
    const QsEllipticArc e = ellipseOf(in.transform(), c, QsDPoint(r * std::cos(a), r * std::sin(a)),
                                      v[2] * kDegreesToRadians);
    QsPoint start;
    QsPoint end;
    if (!e.at(0).tryRounded(start)) return 0;
    end = start;
    if (!e.isWhole() && !e.at(e.sweep()).tryRounded(end)) return 0;
    QsEllipseApproximation chain;
    if (!approximate(e, start, end, chain)) return 0;
    auto polygon = std::make_unique<QsPolygon>();
    // What could be added is finished all the same, as for a circular wedge.
    if (!e.isWhole()) polygon->appendPoint(centre);
    chain.appendTo(*polygon);
    if (!finishPolygon(in, *polygon)) return fail(batch, kHpglCodePolygonFinish);
    batch.addFigure(std::move(polygon));
    return 1;
}

// EW and WG: a pie about the pen position (the centre point, then the arc), or a full circle
// without the centre when the sweep reaches a turn.
int wedge(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    double v[3];
    if (!readReals(st, 3, v)) return 0;
    if (!in.transform().keepsCircles()) return ellipticWedge(in, v, batch);
    const PlotTransform& t = in.transform();
    const double sweepDegrees = t.mirrors() ? -v[2] : v[2];
    double startAngle = v[1] * kDegreesToRadians;
    const double sweep = sweepDegrees * kDegreesToRadians;
    int32_t radius = 0;
    if (v[0] >= 0) {
        if (!scaledLength(in, v[0], radius)) return 0;
    } else {
        if (!scaledLength(in, -v[0], radius)) return 0;
        startAngle += kQsPi;
    }
    startAngle = t.direction(startAngle);
    uint16_t flags = 0;
    if (sweepDegrees >= 360 || sweepDegrees <= -360) {
        flags = QsArc::kFullCircle;
    } else if (sweepDegrees < 0) {
        flags = QsArc::kClockwise;
    }
    QsPoint centre;
    if (!penPoint(in, centre) || !pointOnCircleFits(centre, radius, startAngle)) return 0;
    // A full circle ends at its start.
    if (flags != QsArc::kFullCircle && !pointOnCircleFits(centre, radius, startAngle + sweep))
        return 0;
    const QsArc arc(centre, radius, startAngle, startAngle + sweep, flags);
    auto polygon = std::make_unique<QsPolygon>();
    // A point-sized arc cannot be appended; what could be added is finished all the same.
    if (flags != QsArc::kFullCircle) polygon->appendPoint(centre);
    polygon->appendArc(arc);
    if (!finishPolygon(in, *polygon)) return fail(batch, kHpglCodePolygonFinish);
    batch.addFigure(std::move(polygon));
    return 1;
}

}  // namespace

int handleAA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return arcAboutCentre(in, st, b, false) ? 1 : fail(b, kHpglCodeAA);
}

int handleAR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return arcAboutCentre(in, st, b, true) ? 1 : fail(b, kHpglCodeAR);
}

int handleAT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return arcThroughPoints(in, st, b, false) ? 1 : fail(b, kHpglCodeAT);
}

int handleRT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return arcThroughPoints(in, st, b, true) ? 1 : fail(b, kHpglCodeRT);
}

// CI: a full circle about the pen position, drawn whatever the pen state; a negative radius
// starts it at angle pi. The pen does not move.
int handleCI(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    double r = 0.0;
    if (!realParam(st, 1, r)) return fail(b, kHpglCodeCI);
    double startAngle = 0.0;
    if (r < 0) {
        startAngle = kQsPi;
        r = -r;
    }
    QsPoint centre;
    if (!in.transform().keepsCircles()) {
        if (!penPoint(in, centre)) return fail(b, kHpglCodeCI);
        const QsDPoint c = in.transform().toUser(QsDPoint(centre));
        const QsDPoint toStart(startAngle == 0.0 ? r : -r, 0.0);
        const QsEllipticArc e = ellipseOf(in.transform(), c, toStart, kQsTwoPi);
        QsPoint start;
        QsEllipseApproximation chain;
        auto line = std::make_unique<QsPolyline>();
        if (!e.at(0).tryRounded(start) || !approximate(e, start, start, chain) ||
            !chain.appendTo(*line))
            return fail(b, kHpglCodeCI);
        if (!finishLineFigure(in, *line, true)) {
            b.addCode(kHpglCodeLineFinish);
            return fail(b, kHpglCodeCI);
        }
        b.addFigure(std::move(line));
        return 1;
    }
    startAngle = in.transform().direction(startAngle);
    int32_t radius = 0;
    if (!scaledLength(in, r, radius) || !penPoint(in, centre) ||
        !pointOnCircleFits(centre, radius, startAngle)) {
        return fail(b, kHpglCodeCI);
    }
    const QsArc arc(centre, radius, startAngle, startAngle, QsArc::kFullCircle);
    // A circle that cannot be appended fails with CI's own code only.
    auto line = std::make_unique<QsPolyline>();
    if (line->appendArc(arc) < 0) return fail(b, kHpglCodeCI);
    if (!finishLineFigure(in, *line, true)) {
        b.addCode(kHpglCodeLineFinish);
        return fail(b, kHpglCodeCI);
    }
    b.addFigure(std::move(line));
    return 1;
}

int handleEA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return rectangle(in, st, b, false) ? 1 : fail(b, kHpglCodeEA);
}

int handleER(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return rectangle(in, st, b, true) ? 1 : fail(b, kHpglCodeER);
}

int handleRA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return rectangle(in, st, b, false) ? 1 : fail(b, kHpglCodeRA);
}

int handleRR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return rectangle(in, st, b, true) ? 1 : fail(b, kHpglCodeRR);
}

int handleEW(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return wedge(in, st, b) ? 1 : fail(b, kHpglCodeEW);
}

int handleWG(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return wedge(in, st, b) ? 1 : fail(b, kHpglCodeWG);
}

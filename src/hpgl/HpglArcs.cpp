// Arcs, circles, rectangles and wedges: AA, AR, AT, RT, CI, EA, ER, RA, RR, EW and WG.
//
// Arcs and circles become polylines holding one true arc segment (never chords); rectangles and
// wedges become polygons. Every value that a figure stores (a point, the start and end of an arc,
// a radius) is checked against the 32-bit range before anything is committed. An arc whose
// centre or axis points lie outside the range is still made: the conversion leaves it out.

#include <cmath>
#include <memory>

#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsBox.h"
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

// A plotter point in output units, rounded half away from zero; false outside 32 bits.
bool scaledPoint(const HpglInterpreter& in, double x, double y, QsPoint& out) {
    const double k = in.unitFactor();
    return QsDPoint(k * x, k * y).tryRounded(out);
}

// A plotter length in output units, truncated towards zero; false outside 32 bits.
bool scaledLength(const HpglInterpreter& in, double r, int32_t& out) {
    return tryTruncTowardZero(in.unitFactor() * r, out);
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

// The pen moves to the arc's end; with the pen down the arc is drawn.
int moveAlongArc(HpglInterpreter& in, const QsArc& arc, const QsPoint& end, StatementBatch& batch) {
    PenState& pen = in.pen();
    pen.current.x = end.x;
    pen.current.y = end.y;
    pen.previous = pen.current;
    if (!pen.down) return 1;
    return addArcFigure(in, arc, batch, kHpglCodeArcAppend);
}

// AA and AR: an arc from the pen position about a centre, by a sweep in degrees (positive
// counter-clockwise).
int arcAboutCentre(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                   bool relative) {
    double v[3];
    QsPoint centre;
    QsPoint start;
    if (!readReals(st, 3, v) || !scaledPoint(in, v[0], v[1], centre) || !penPoint(in, start)) {
        return 0;
    }
    if (relative && !offsetPoint(centre, start)) return 0;
    const double sweep = v[2] * kDegreesToRadians;
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
    if (!readReals(st, 4, v) || !scaledPoint(in, v[0], v[1], mid) ||
        !scaledPoint(in, v[2], v[3], end) || !penPoint(in, start)) {
        return 0;
    }
    if (relative && (!offsetPoint(mid, start) || !offsetPoint(end, start))) return 0;
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
    if (!readReals(st, 2, v) || !scaledPoint(in, v[0], v[1], b) || !penPoint(in, a)) return 0;
    if (relative && !offsetPoint(b, a)) return 0;
    auto polygon = std::make_unique<QsPolygon>(QsBox(a, b));
    if (!finishPolygon(in, *polygon)) return fail(batch, kHpglCodePolygonFinish);
    batch.addFigure(std::move(polygon));
    return 1;
}

// EW and WG: a pie about the pen position (the centre point, then the arc), or a full circle
// without the centre when the sweep reaches a turn.
int wedge(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    double v[3];
    if (!readReals(st, 3, v)) return 0;
    const double sweepDegrees = v[2];
    double startAngle = v[1] * kDegreesToRadians;
    const double sweep = sweepDegrees * kDegreesToRadians;
    int32_t radius = 0;
    if (v[0] >= 0) {
        if (!scaledLength(in, v[0], radius)) return 0;
    } else {
        if (!scaledLength(in, -v[0], radius)) return 0;
        startAngle += kQsPi;
    }
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
    int32_t radius = 0;
    QsPoint centre;
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

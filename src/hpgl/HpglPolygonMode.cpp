// Polygon mode: PM, EP and FP, the polygon buffer, and finishing polygon figures.
//
// What runs today: the mode transitions of PM with their checks, the emptying of the buffer and
// of the batch, and the re-run of the polygon finish over a batch. Gathering the strokes of a
// subpolygon into a polygon, combining the subpolygons at PM 2 and emitting them with EP and FP
// are not done yet: the strokes drawn in polygon mode are dropped at PM 1 and PM 2.

#include "geom/QsPolygon.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// Closes the subpolygon drawn since PM 0 or the last PM 1 into the polygon buffer (not done yet:
// nothing is gathered).
void closeSubpolygon(HpglInterpreter&, StatementBatch&) {}

// Combines and checks the buffered subpolygons at PM 2 (not done yet: the buffer stays as is).
int finishPolygonBuffer(HpglInterpreter&) {
    return 1;
}

}  // namespace

int handlePM(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t mode = 0;
    if (st.parameterCount() > 0 && !intParam(st, 1, mode)) return fail(batch, kHpglCodePM);
    if (mode == 0) {
        in.polygonBuffer.clear();
        in.polygonMode = 1;
        return 1;
    }
    if ((mode != 1 && mode != 2) || (in.polygonMode != 1 && in.polygonMode != 2)) {
        return fail(batch, kHpglCodePM);
    }
    closeSubpolygon(in, batch);
    batch.clear();
    if (mode == 1) {
        in.polygonMode = 2;
        in.polygonAux = 1;
        in.penDown = 0;
        return 1;
    }
    in.polygonMode = 0;
    const int finished = finishPolygonBuffer(in);
    const int reapplied = reapplyPolygonAttributes(in, in.polygonBuffer);
    return finished && reapplied ? 1 : fail(batch, kHpglCodePM);
}

int handleEP(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int handleFP(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int finishPolygon(HpglInterpreter&, QsPolygon&) {
    return 1;
}

int reapplyPolygonAttributes(HpglInterpreter& in, StatementBatch& batch) {
    int ok = 1;
    for (auto& figure : batch.figures) {
        if (figure->typeCode() != kQsTypePolygon) continue;
        if (!finishPolygon(in, static_cast<QsPolygon&>(*figure))) ok = 0;
    }
    return ok ? 1 : fail(batch, kHpglCodePolygonFinish);
}

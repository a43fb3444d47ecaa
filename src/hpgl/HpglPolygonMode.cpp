// Polygon mode: PM, EP and FP, the polygon buffer, and finishing polygon figures.
//
// Between PM 0 and PM 2 the batch stays open; at each PM 1 and PM 2 the polylines drawn since the
// last of them are joined, in drawing order, into one subpolygon of the buffer. PM 2 combines the
// subpolygons (those starting inside the first become its holes) and EP and FP hand out copies.

#include <memory>
#include <vector>

#include "geom/QsPolygon.h"
#include "geom/QsPolylineSet.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

// The polygon check: repeated vertices and a closing vertex equal to the first are dropped.
constexpr uint16_t kPolygonCheck = QsPolylineSet::kCheckRepeats | QsPolylineSet::kCheckClosing;

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// Joins the records of every polyline of the batch, unchanged and in batch order, into one
// subpolygon of the buffer, which also takes the batch's codes. A batch without figures gives no
// subpolygon. False when the joined records cannot be stored (the subpolygon is then dropped and
// the buffer holds code 53). Codes the buffer holds already are not added again.
bool closeSubpolygon(HpglInterpreter& in, const StatementBatch& batch) {
    if (batch.figures.empty()) return true;
    QsPolylineSet set;
    for (const auto& figure : batch.figures) {
        if (figure->typeCode() != kQsTypePolyline) continue;
        if (!set.appendPolyline(static_cast<const QsPolyline&>(*figure))) {
            in.polygonBuffer.addCode(kHpglCodePolygonCombine);
            return false;
        }
    }
    auto polygon = std::make_unique<QsPolygon>(set);
    if (polygon->usedCount() != set.usedCount()) {
        in.polygonBuffer.addCode(kHpglCodePolygonCombine);
        return false;
    }
    StatementBatch& buffer = in.polygonBuffer;
    buffer.mergeCodes(batch.codes);
    buffer.addFigure(std::move(polygon));
    return true;
}

// PM 2: the buffered subpolygons are combined (the first with the others) and each resulting
// polygon is checked. The buffer's codes stay; 53 is added when the combination or a check
// fails.
int finishPolygonBuffer(HpglInterpreter& in) {
    StatementBatch& buffer = in.polygonBuffer;
    std::vector<std::unique_ptr<QsFigure>> figures;
    figures.swap(buffer.figures);
    const QsPolygon* first = nullptr;
    std::vector<const QsPolygon*> others;
    for (const auto& figure : figures) {
        if (figure->typeCode() != kQsTypePolygon) continue;
        const auto* polygon = static_cast<const QsPolygon*>(figure.get());
        if (first == nullptr) {
            first = polygon;
        } else {
            others.push_back(polygon);
        }
    }
    std::vector<std::unique_ptr<QsPolygon>> combined;
    if (first != nullptr) {
        if (others.empty()) {
            auto copy = std::make_unique<QsPolygon>(*first);
            if (copy->usedCount() != first->usedCount())
                return fail(buffer, kHpglCodePolygonCombine);
            combined.push_back(std::move(copy));
        } else if (!QsPolygon::combine(*first, others, combined)) {
            return fail(buffer, kHpglCodePolygonCombine);
        }
    }
    int result = 1;
    for (auto& polygon : combined) {
        if (!polygon->check(kPolygonCheck)) result = fail(buffer, kHpglCodePolygonCombine);
        buffer.addFigure(std::move(polygon));
    }
    return result;
}

// EP and FP: a copy of every buffered polygon, with the buffer's pen; the buffer's codes (those
// the batch does not hold yet are added to it) make the command fail.
int emitPolygons(HpglInterpreter& in, StatementBatch& batch) {
    const StatementBatch& buffer = in.polygonBuffer;
    for (const auto& figure : buffer.figures) {
        if (figure->typeCode() != kQsTypePolygon) continue;
        std::unique_ptr<QsFigure> copy = figure->clone();
        if (!copy) return 0;
        batch.addFigure(std::move(copy));
    }
    batch.pen = buffer.pen;
    if (buffer.codes.empty()) return 1;
    batch.mergeCodes(buffer.codes);
    return 0;
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
    // Everything drawn since PM 0 or the last PM 1 leaves the batch, texts and shapes included.
    const bool closed = closeSubpolygon(in, batch);
    batch.clear();
    if (mode == 1) {
        in.polygonMode = 2;
        in.polygonAux = 1;
        in.penDown = 0;
        return closed ? 1 : fail(batch, kHpglCodePM);
    }
    in.polygonMode = 0;
    const int finished = finishPolygonBuffer(in);
    const int reapplied = reapplyPolygonAttributes(in, in.polygonBuffer);
    return closed && finished && reapplied ? 1 : fail(batch, kHpglCodePM);
}

int handleEP(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    return emitPolygons(in, batch) ? 1 : fail(batch, kHpglCodeEP);
}

int handleFP(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    return emitPolygons(in, batch) ? 1 : fail(batch, kHpglCodeFP);
}

int finishPolygon(HpglInterpreter& in, QsPolygon& polygon) {
    // A width set for another pen leaves the polygon as it is.
    if (in.widthPen != 0 && in.widthPen != in.pen) return 1;
    if (in.fillHatched != 0) {
        polygon.setHatchLineWidth(in.lineWidth);
        polygon.setHatchDirection(in.hatchAngle);
    }
    polygon.setLineWidthWithHoles(in.lineWidth);
    return polygon.check(kPolygonCheck);
}

int reapplyPolygonAttributes(HpglInterpreter& in, StatementBatch& batch) {
    int ok = 1;
    for (auto& figure : batch.figures) {
        if (figure->typeCode() != kQsTypePolygon) continue;
        if (!finishPolygon(in, static_cast<QsPolygon&>(*figure))) ok = 0;
    }
    return ok ? 1 : fail(batch, kHpglCodePolygonFinish);
}

// Polygon mode: PM, EP and FP, the polygon buffer, and finishing polygon figures.
//
// Between PM 0 and PM 2 the batch stays open; at each PM 1 and PM 2 the polylines drawn since the
// last of them are joined, in drawing order, into one subpolygon of the buffer. PM 2 combines the
// subpolygons (those starting inside the first become its holes) and EP and FP hand out copies.

#include <memory>
#include <new>
#include <variant>
#include <vector>

#include "base/ErrorRecord.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
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
bool closeSubpolygon(PolygonBuffer& buffer, const StatementBatch& batch) {
    if (batch.figures.empty()) return true;
    QsPolylineSet set;
    for (const BatchFigure& figure : batch.figures) {
        const auto* line = std::get_if<std::unique_ptr<QsPolyline>>(&figure.shape);
        if (line == nullptr) continue;
        if (!set.appendPolyline(**line)) {
            buffer.addCode(kHpglCodePolygonCombine, batch.running);
            return false;
        }
    }
    auto polygon = std::make_unique<QsPolygon>(set);
    if (polygon->usedCount() != set.usedCount()) {
        buffer.addCode(kHpglCodePolygonCombine, batch.running);
        return false;
    }
    mergeCodes(buffer.codes, batch.codes);
    buffer.polygons.push_back(std::move(polygon));
    return true;
}

// PM 2: the buffered subpolygons are combined (the first with the others) and each resulting
// polygon is checked. The buffer's codes stay; 53 is added when the combination or a check
// fails.
int finishPolygonBuffer(PolygonBuffer& buffer, const char* by) {
    const std::vector<std::unique_ptr<QsPolygon>> polygons = std::move(buffer.polygons);
    buffer.polygons.clear();
    std::vector<std::unique_ptr<QsPolygon>> combined;
    if (polygons.size() == 1) {
        auto copy = std::make_unique<QsPolygon>(*polygons.front());
        if (copy->usedCount() != polygons.front()->usedCount()) {
            buffer.addCode(kHpglCodePolygonCombine, by);
            return 0;
        }
        combined.push_back(std::move(copy));
    } else if (polygons.size() > 1) {
        std::vector<const QsPolygon*> others;
        for (size_t i = 1; i < polygons.size(); ++i)
            others.push_back(polygons[i].get());
        if (!QsPolygon::combine(*polygons.front(), others, combined)) {
            buffer.addCode(kHpglCodePolygonCombine, by);
            return 0;
        }
    }
    int result = 1;
    for (auto& polygon : combined) {
        if (!polygon->check(kPolygonCheck)) {
            buffer.addCode(kHpglCodePolygonCombine, by);
            result = 0;
        }
        buffer.polygons.push_back(std::move(polygon));
    }
    return result;
}

// EP and FP: a copy of every buffered polygon, with the buffer's pen; the buffer's codes (those
// the batch does not hold yet are added to it) make the command fail.
int emitPolygons(const PolygonBuffer& buffer, StatementBatch& batch) {
    for (const auto& polygon : buffer.polygons) {
        try {
            batch.addFigure(std::make_unique<QsPolygon>(*polygon));
        } catch (const std::bad_alloc&) {
            recordError(kGeomAllocError, kSeverityError);
            return 0;
        }
    }
    batch.pen = buffer.pen;
    if (buffer.codes.empty()) return 1;
    mergeCodes(batch.codes, buffer.codes);
    return 0;
}

}  // namespace

int handlePM(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PolygonState& polygon = in.polygon();
    int32_t mode = 0;
    if (st.parameterCount() > 0 && !intParam(st, 1, mode)) return fail(batch, kHpglCodePM);
    if (mode == 0) {
        polygon.buffer.clear();
        polygon.mode = PolygonMode::kOpen;
        return 1;
    }
    if ((mode != 1 && mode != 2) || !polygon.on()) return fail(batch, kHpglCodePM);
    // Everything drawn since PM 0 or the last PM 1 leaves the batch, texts and shapes included.
    const bool closed = closeSubpolygon(polygon.buffer, batch);
    batch.clear();
    if (mode == 1) {
        polygon.mode = PolygonMode::kNextSubpolygon;
        polygon.skipFirstVertex = true;
        in.pen().down = false;
        return closed ? 1 : fail(batch, kHpglCodePM);
    }
    polygon.mode = PolygonMode::kOff;
    const int finished = finishPolygonBuffer(polygon.buffer, batch.running);
    const int reapplied = reapplyPolygonAttributes(in, batch.running);
    return closed && finished && reapplied ? 1 : fail(batch, kHpglCodePM);
}

int handleEP(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    return emitPolygons(in.polygon().buffer, batch) ? 1 : fail(batch, kHpglCodeEP);
}

int handleFP(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    return emitPolygons(in.polygon().buffer, batch) ? 1 : fail(batch, kHpglCodeFP);
}

int finishPolygon(const HpglInterpreter& in, QsPolygon& polygon) {
    // A width set for another pen leaves the polygon as it is.
    const LineAttributes& attributes = in.lines();
    if (!attributes.widthAppliesTo(in.pen().number)) return 1;
    if (attributes.hatched) {
        polygon.setHatchLineWidth(attributes.width);
        polygon.setHatchDirection(attributes.hatchAngle);
    }
    polygon.setLineWidthWithHoles(attributes.width);
    return polygon.check(kPolygonCheck);
}

int reapplyPolygonAttributes(HpglInterpreter& in, const char* by) {
    PolygonBuffer& buffer = in.polygon().buffer;
    int ok = 1;
    for (const auto& polygon : buffer.polygons) {
        if (!finishPolygon(in, *polygon)) ok = 0;
    }
    if (ok) return 1;
    buffer.addCode(kHpglCodePolygonFinish, by);
    return 0;
}

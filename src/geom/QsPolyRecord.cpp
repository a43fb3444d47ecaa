#include "geom/QsPolyRecord.h"

#include "geom/QsArc.h"

std::array<QsPolyRecord, 3> makeArcRecords(const QsArc& arc, int32_t ws, int32_t we) {
    const uint32_t first = kRecArcFirst | (we != ws ? kRecArcEndWidth : 0u) | arc.flags;
    return {QsPolyRecord(first, arc.toCentre.x, arc.toCentre.y, arc.radius),
            QsPolyRecord(kRecArcSecond, arc.start.x, arc.start.y, ws),
            QsPolyRecord(kRecArcThird, arc.end.x, arc.end.y, we)};
}

bool recordsMatch(const QsPolyRecord& a, const QsPolyRecord& b, bool allWords) {
    if (allWords || a.isMarkedVertex() || a.isArcFirst() || b.isMarkedVertex() || b.isArcFirst()) {
        return a.data == b.data;
    }
    return a.tag == b.tag && a.data[0] == b.data[0] && a.data[1] == b.data[1];
}

// The values of an arc as a database file held it, kept beside the arc they were read into.
#pragma once

#include <cstdint>
#include <vector>

#include "geom/QsArc.h"
#include "geom/QsPolyRecord.h"

// An arc as a file held it: the values of its "$Arc" line or arc record, and the arc they were
// read into. While an object still holds that arc, it writes these values back unchanged, so
// saving a loaded sheet never alters the arcs it held (the angles the arc would report could
// differ in the last digits, since its points are whole numbers).
struct LexArcAsRead {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    std::int32_t radius = 0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    std::int32_t code = 0;
    QsArc arc;
};

// The arcs of one vertex block as read, each with the index of its first record, in order.
struct LexBlockArc {
    int index = 0;
    LexArcAsRead values;
};
using LexBlockArcs = std::vector<LexBlockArc>;

// The records of one vertex block and the arcs read with it (null when none).
struct LexVertexBlock {
    const QsPolyRecord* records = nullptr;
    int count = 0;
    const LexBlockArcs* arcs = nullptr;
};

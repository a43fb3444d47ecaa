// The 16-byte record of drawn paths: a tag word (record kind in the high half, arc flags in the
// low half) and three data words. An arc takes three consecutive records.
#pragma once

#include <array>
#include <cstdint>

#include "geom/QsPoint.h"

class QsArc;

// Tag words (the high half is the record kind).
inline constexpr uint32_t kRecEmpty = 0x00000000;
inline constexpr uint32_t kRecVertex = 0x08000000;        // x, y, width
inline constexpr uint32_t kRecMarker = 0x00800000;        // vertex bit: word 3 is a rounding radius
inline constexpr uint32_t kRecMarkedVertex = 0x08800000;  // x, y, rounding radius
inline constexpr uint32_t kRecArcFirst = 0x00010000;      // toCentre x, toCentre y, radius
inline constexpr uint32_t kRecArcEndWidth = 0x10000000;   // first-record bit: end width differs
inline constexpr uint32_t kRecArcSecond = 0x00030000;     // start x, start y, start width
inline constexpr uint32_t kRecArcThird = 0x00050000;      // end x, end y, end width
inline constexpr uint32_t kRecTangentArc = 0x00080000;    // width, two words of the tangent arc
inline constexpr uint32_t kRecFurther = 0x00100000;       // carried unchanged

// Record kinds as small numbers.
inline constexpr int kRecKindEmpty = 0;
inline constexpr int kRecKindVertex = 1;
inline constexpr int kRecKindArc = 2;
inline constexpr int kRecKindFurther = 3;
inline constexpr int kRecKindTangentArc = 4;

struct QsPolyRecord {
    uint32_t tag = kRecEmpty;
    std::array<int32_t, 3> data{};

    constexpr QsPolyRecord() = default;
    constexpr QsPolyRecord(uint32_t t, int32_t d0, int32_t d1, int32_t d2)
        : tag(t), data{d0, d1, d2} {}

    // A vertex of the given width.
    static constexpr QsPolyRecord vertex(const QsPoint& p, int32_t width = 0) {
        return QsPolyRecord(kRecVertex, p.x, p.y, width);
    }

    uint32_t high() const { return tag >> 16; }
    uint16_t low() const { return static_cast<uint16_t>(tag & 0xFFFF); }
    // 0 empty, 1 vertex, 2 arc (any of its three records), 3 further kind, 4 tangent arc.
    int kind() const {
        const uint32_t h = high();
        if (h == 0) return kRecKindEmpty;
        if (h & 0x0800) return kRecKindVertex;
        if (h & 0x0001) return kRecKindArc;
        if (h & 0x0008) return kRecKindTangentArc;
        return kRecKindFurther;
    }
    bool isEmpty() const { return high() == 0; }
    bool isVertex() const { return kind() == kRecKindVertex; }
    bool isMarkedVertex() const { return isVertex() && (tag & kRecMarker) != 0; }
    bool isArc() const { return kind() == kRecKindArc; }
    bool isArcFirst() const { return isArc() && (high() & 0x0006) == 0; }
    bool isArcSecond() const { return isArc() && (high() & 0x0002) != 0; }
    bool isArcThird() const { return isArc() && (high() & 0x0004) != 0; }
    // Steps back from this record to the arc's first record: 0, 1 or 2.
    int arcOffset() const { return isArcSecond() ? 1 : isArcThird() ? 2 : 0; }
    // The point of a vertex or of an arc's second or third record.
    QsPoint point() const { return QsPoint(data[0], data[1]); }
    // The width word: the first data word of a tangent-arc record, the third otherwise.
    int32_t width() const { return kind() == kRecKindTangentArc ? data[0] : data[2]; }

    friend bool operator==(const QsPolyRecord& a, const QsPolyRecord& b) {
        return a.tag == b.tag && a.data == b.data;
    }
};
static_assert(sizeof(QsPolyRecord) == 16, "a record is four 32-bit words");

// The three records of an arc with start width ws and end width we (the first record carries
// the end-width bit when they differ).
std::array<QsPolyRecord, 3> makeArcRecords(const QsArc& arc, int32_t ws = 0, int32_t we = 0);

// Records match when their tags and first two data words are equal; for marked vertices, arc
// first records and when allWords is set, the three data words are compared and the tags not.
bool recordsMatch(const QsPolyRecord& a, const QsPolyRecord& b, bool allWords = false);
// Records differ when their tags or any data word differ.
inline bool recordsDiffer(const QsPolyRecord& a, const QsPolyRecord& b) {
    return !(a == b);
}

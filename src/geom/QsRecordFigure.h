// The shared base of the shapes kept as a list of path records (polylines, polyline sets and
// polygons): the slots, the used count, insertion and deletion of points and arcs, widths,
// transformations and the arc-aware box.
#pragma once

#include <array>
#include <vector>

#include "geom/QsArc.h"
#include "geom/QsFigure.h"
#include "geom/QsPolyRecord.h"

class QsRecordFigure : public QsFigure {
public:
    // The slot count is a 16-bit number.
    static constexpr int kMaxSlots = 65535;

    // Number of record slots (used slots first, then empty ones).
    int slotCount() const { return static_cast<int>(slots_.size()); }
    // Number of leading slots whose tag is not empty (binary search over the slots).
    int usedCount() const;
    // The slots; null when there are none.
    const QsPolyRecord* records() const { return slots_.empty() ? nullptr : slots_.data(); }
    // Record i (0 <= i < slotCount()).
    const QsPolyRecord& record(int i) const { return slots_[static_cast<size_t>(i)]; }
    // Record kind of slot i (0 when i is outside the slots).
    int recordKind(int i) const;
    // Index of the first record of the arc that record i belongs to; -1 when it is no arc.
    int arcFirstIndex(int i) const;

    uint16_t attributes() const { return attributes_; }
    void setAttributes(uint16_t a) { attributes_ = a; }

    // Writes r into slot i when that slot exists and is empty, otherwise inserts it there (the
    // records from i on move up). 1 on success; 0 with code 770 when i is outside 0..used count
    // or inside an arc, 0 with code 772 when the slots cannot grow.
    int insertRecord(int i, const QsPolyRecord& r);
    // The same with the three records of an arc and its start and end widths. An arc of radius
    // 0 that starts where it ends is refused (code 773); one of radius 0 with distinct ends is
    // inserted as two plain vertices, its start and its end.
    int insertArc(int i, const QsArc& arc, int32_t ws = 0, int32_t we = 0);
    // A vertex of the given width at the used count; its index, or -1.
    int appendPoint(const QsPoint& p, int32_t width = 0);
    // A record at the used count; its index, or -1.
    int appendRecord(const QsPolyRecord& r);
    // An arc at the used count; the index of its first record, or -1.
    int appendArc(const QsArc& arc, int32_t ws = 0, int32_t we = 0);
    // n records inserted unchanged after the used records; the slots grow by n. 1, or 0 (code
    // 772) when they cannot grow, leaving the list as it was.
    int appendRecords(const QsPolyRecord* r, int n);
    // Deletes record i (an arc as its three records); the records behind move down and the
    // freed slots at the end become empty. 0 with code 770 when i is not below the used count.
    int deleteRecord(int i);
    // Drops every slot.
    void clear() { slots_.clear(); }
    // Drops the empty slots at the end.
    void shrinkToUsed();

    // Index -1: every unmarked vertex and every arc's second and third record take w (marked
    // vertices keep their rounding radius). One index: see the implementation; 0 with code 770
    // for an index outside the used count.
    int setWidth(int index, int32_t w);

    // The arc that record i belongs to; 0 (code 770) when record i is no arc record.
    int extractArc(int i, QsArc& arc) const;
    int extractArc(int i, QsArc& arc, int32_t& ws, int32_t& we) const;
    // The point of vertex i; 0 (code 770) when record i is no vertex.
    int extractPoint(int i, QsPoint& p) const;

    // Moves the start (or end) vertex by percent of its width / 2 along the first (or last)
    // segment: outwards for percent > 0, inwards for percent < 0. 0 when the path does not begin
    // (end) with a vertex, has no segment there, or is shorter than an inward move.
    int extendStart(int percent);
    int extendEnd(int percent);

    // The first point of the path (a vertex, or the start of an arc); false when empty.
    bool firstPoint(QsPoint& p) const;
    // The points of the path in record order: vertices, and the start and end of each arc.
    std::vector<QsPoint> ringPoints() const;
    // True when every arc's rounded centre and axis points fit in 32 bits.
    bool isWithinRange() const;

    QsPoint referencePoint() const override;
    // Every vertex, and per arc its start, end and the axis points it passes through; widths
    // are not included.
    int getBox(QsBox& box) const override;
    // Vertices map their point; arcs map start and end, turn the direction and scale the radius
    // (mirrors flip the clockwise bit). Other record kinds are carried unchanged.
    int transform(const QsTransform& t) override;

    // Adds this list's box to the 64-bit extent; false when there are no points.
    bool extendBox(int64_t& xmin, int64_t& ymin, int64_t& xmax, int64_t& ymax) const;

protected:
    QsRecordFigure() = default;
    // Vertices of width 0; empty with code 772 when they cannot be stored.
    QsRecordFigure(const QsPoint* pts, int n);
    // A copy of n records; empty with code 772 when they cannot be stored.
    QsRecordFigure(const QsPolyRecord* recs, int n);
    // Takes the records over without copying them; the same rule.
    explicit QsRecordFigure(std::vector<QsPolyRecord>&& recs);
    // Copies never throw: a copy that cannot be stored is left empty with code 772.
    QsRecordFigure(const QsRecordFigure& other);
    QsRecordFigure& operator=(const QsRecordFigure& other);
    QsRecordFigure(QsRecordFigure&&) noexcept = default;
    QsRecordFigure& operator=(QsRecordFigure&&) noexcept = default;

    // Puts n records at slot i (reusing empty slots there when all n exist), 1 or 0.
    int placeRecords(int i, const QsPolyRecord* r, int n);
    int extendAt(bool atStart, int percent);

    std::vector<QsPolyRecord> slots_;
    uint16_t attributes_ = 0;
};

// A closed contour kept as path records (the records of one or more polylines joined in order)
// with a line width; filled when it reaches the database as it is.
#pragma once

#include "geom/QsPolyline.h"
#include "geom/QsRecordFigure.h"

class QsPolylineSet : public QsRecordFigure {
public:
    // Normalisation flags: drop repeated vertices, drop a closing vertex equal to the first.
    static constexpr uint16_t kCheckRepeats = 0x0001;
    static constexpr uint16_t kCheckClosing = 0x0004;

    QsPolylineSet() = default;
    // n vertices of width 0; empty with code 772 when they cannot be stored.
    QsPolylineSet(const QsPoint* pts, int n) : QsRecordFigure(pts, n) {}
    // A copy of n records, with the same rule.
    QsPolylineSet(const QsPolyRecord* recs, int n) : QsRecordFigure(recs, n) {}
    explicit QsPolylineSet(std::vector<QsPolyRecord>&& recs) : QsRecordFigure(std::move(recs)) {}

    int typeCode() const override { return kQsTypePolylineSet; }
    std::unique_ptr<QsFigure> clone() const override;

    int32_t lineWidth() const { return lineWidth_; }
    void setLineWidth(int32_t w) { lineWidth_ = w; }

    // Inserts the used records of p, unchanged, after this set's used records (the slots grow
    // by their number). 1, or 0 with code 772 leaving the set as it was.
    int appendPolyline(const QsPolyline& p);

    // Normalises the records by the flag bits not yet held in the attributes, then records
    // them there: bit 1 drops vertices equal to the vertex before them, bit 4 drops a last vertex
    // equal to the first point. Arc records stay. 0 when the records are empty before or after.
    int normalise(uint16_t checkFlags);

protected:
    int32_t lineWidth_ = 0;
};

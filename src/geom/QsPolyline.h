// A drawn path (plotter stroke, text stroke, outline piece): vertices and true arc segments as
// records, each able to carry a line width, with two small attribute fields.
#pragma once

#include <utility>
#include <vector>

#include "geom/QsPolyRecord.h"
#include "geom/QsRecordFigure.h"

class QsPolyline : public QsRecordFigure {
public:
    QsPolyline() = default;
    // n vertices of width 0, attributes 0; empty with code 772 when they cannot be stored.
    QsPolyline(const QsPoint* pts, int n) : QsRecordFigure(pts, n) {}
    // A copy of n records, with the same rule.
    QsPolyline(const QsPolyRecord* recs, int n) : QsRecordFigure(recs, n) {}
    explicit QsPolyline(std::vector<QsPolyRecord>&& recs) : QsRecordFigure(std::move(recs)) {}

    int typeCode() const override { return kQsTypePolyline; }
    std::unique_ptr<QsFigure> clone() const override;

    // Bits 0-3 of the attributes (the line style for strokes).
    int firstAttribute() const { return attributes_ & 0x0F; }
    void setFirstAttribute(int v);
    // Bits 4-7 of the attributes (the end style for strokes).
    int secondAttribute() const { return (attributes_ >> 4) & 0x0F; }
    void setSecondAttribute(int v);

    // The three further words, cleared at construction and carried with the polyline.
    const std::array<int32_t, 3>& words() const { return words_; }
    void setWord(int i, int32_t v);

private:
    std::array<int32_t, 3> words_{};
};

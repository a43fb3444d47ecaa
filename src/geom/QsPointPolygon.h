// A closed outline of plain points; the closing edge back to the first point is implied.
#pragma once

#include "geom/QsPolyPoints.h"

class QsBox;

class QsPointPolygon : public QsPolyPoints {
public:
    QsPointPolygon() = default;
    QsPointPolygon(const QsPoint* pts, int n) : QsPolyPoints(pts, n) {}
    // The four corners in the box's corner order.
    explicit QsPointPolygon(const QsBox& box);

    int typeCode() const override { return kQsTypePointPolygon; }
    std::unique_ptr<QsFigure> clone() const override;
};

// A straight line from a start point to an end point.
#pragma once

#include "geom/QsFigure.h"

class QsLine : public QsFigure {
public:
    QsPoint start;
    QsPoint end;

    QsLine() = default;
    QsLine(const QsPoint& s, const QsPoint& e) : start(s), end(e) {}

    int typeCode() const override { return kQsTypeLine; }
    std::unique_ptr<QsFigure> clone() const override;
    QsPoint referencePoint() const override { return start; }
    int getBox(QsBox& box) const override;
    int transform(const QsTransform& t) override;

    double length() const;
    // Equal y coordinates (within the integer tolerance when QBD_LINE_HORV_PRECISION is on).
    bool isHorizontal() const;
    // Equal x coordinates, with the same switch.
    bool isVertical() const;
};

// A line with a width: the stadium-shaped area a pen of that width sweeps along the line.
#pragma once

#include "geom/QsLine.h"

class QsOblong : public QsLine {
public:
    uint32_t width = 0;

    QsOblong() = default;
    QsOblong(const QsPoint& s, const QsPoint& e, uint32_t w) : QsLine(s, e), width(w) {}

    int typeCode() const override { return kQsTypeOblong; }
    std::unique_ptr<QsFigure> clone() const override;
    // The line's box grown by half the width on every side.
    int getBox(QsBox& box) const override;
};

#include "geom/QsLine.h"

#include "geom/QsBox.h"
#include "geom/Tolerance.h"

std::unique_ptr<QsFigure> QsLine::clone() const {
    return std::make_unique<QsLine>(*this);
}

int QsLine::getBox(QsBox& box) const {
    box = QsBox(start, end);
    return 1;
}

int QsLine::transform(const QsTransform& t) {
    start = t.apply(start);
    end = t.apply(end);
    return 1;
}

double QsLine::length() const {
    return distance(start, end);
}

bool QsLine::isHorizontal() const {
    return lineHorVPrecision() ? isEqualInt(start.y, end.y) : start.y == end.y;
}

bool QsLine::isVertical() const {
    return lineHorVPrecision() ? isEqualInt(start.x, end.x) : start.x == end.x;
}

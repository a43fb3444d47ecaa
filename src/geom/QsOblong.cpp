#include "geom/QsOblong.h"

#include "geom/QsBox.h"

std::unique_ptr<QsFigure> QsOblong::clone() const {
    return std::make_unique<QsOblong>(*this);
}

int QsOblong::getBox(QsBox& box) const {
    QsBox b(start, end);
    int64_t half = width / 2;
    b.inflate(clampToInt32(half));
    box = b;
    return 1;
}

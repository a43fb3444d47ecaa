#include "geom/QsCircle.h"

#include "geom/QsBox.h"

std::unique_ptr<QsFigure> QsCircle::clone() const {
    return std::make_unique<QsCircle>(*this);
}

int QsCircle::getBox(QsBox& box) const {
    box = QsBox(clampToInt32(int64_t{centre.x} - radius), clampToInt32(int64_t{centre.y} - radius),
                clampToInt32(int64_t{centre.x} + radius), clampToInt32(int64_t{centre.y} + radius));
    return 1;
}

int QsCircle::transform(const QsTransform& t) {
    centre = t.apply(centre);
    radius = t.applyToLength(radius);
    return 1;
}

int32_t QsCircle::distanceTo(const QsPoint& p) const {
    double d = distance(p, centre) - radius;
    return d <= 0 ? 0 : roundHalfAway(d);
}

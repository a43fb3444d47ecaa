#include "geom/QsBox.h"

#include <utility>

QsBox::QsBox(const QsPoint& a, const QsPoint& b) : x1(a.x), y1(a.y), x2(b.x), y2(b.y) {
    normalise();
}

QsBox::QsBox(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2)
    : x1(ax1), y1(ay1), x2(ax2), y2(ay2) {
    normalise();
}

QsBox QsBox::fromCentre(const QsPoint& c, int32_t w, int32_t h) {
    // Halves by arithmetic shift: an odd width or height loses one unit.
    QsBox b;
    b.x1 = clampToInt32(int64_t{c.x} - (w >> 1));
    b.y1 = clampToInt32(int64_t{c.y} - (h >> 1));
    b.x2 = clampToInt32(int64_t{c.x} + (w >> 1));
    b.y2 = clampToInt32(int64_t{c.y} + (h >> 1));
    return b;
}

QsBox QsBox::fromOrigin(int32_t w, int32_t h, const QsPoint& origin) {
    QsBox b;
    b.x1 = origin.x;
    b.y1 = origin.y;
    b.x2 = clampToInt32(int64_t{origin.x} + w);
    b.y2 = clampToInt32(int64_t{origin.y} + h);
    return b;
}

std::unique_ptr<QsFigure> QsBox::clone() const {
    return std::make_unique<QsBox>(*this);
}

int QsBox::getBox(QsBox& box) const {
    box = *this;
    box.normalise();
    return 1;
}

int QsBox::transform(const QsTransform& t) {
    QsPoint a = t.apply(QsPoint(x1, y1));
    QsPoint b = t.apply(QsPoint(x2, y2));
    x1 = a.x;
    y1 = a.y;
    x2 = b.x;
    y2 = b.y;
    normalise();
    return 1;
}

void QsBox::normalise() {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
}

void QsBox::inflate(int32_t d) {
    x1 = clampToInt32(int64_t{x1} - d);
    y1 = clampToInt32(int64_t{y1} - d);
    x2 = clampToInt32(int64_t{x2} + d);
    y2 = clampToInt32(int64_t{y2} + d);
    normalise();
}

QsPoint QsBox::centre() const {
    return QsPoint(clampToInt32(x1 + ((int64_t{x2} - x1) >> 1)),
                   clampToInt32(y1 + ((int64_t{y2} - y1) >> 1)));
}

std::array<QsPoint, 4> QsBox::corners() const {
    return {QsPoint(x1, y1), QsPoint(x1, y2), QsPoint(x2, y2), QsPoint(x2, y1)};
}

bool QsBox::overlaps(const QsBox& b) const {
    return x1 < b.x2 && x2 > b.x1 && y1 < b.y2 && y2 > b.y1;
}

void QsBox::include(const QsPoint& p) {
    if (p.x < x1) x1 = p.x;
    if (p.x > x2) x2 = p.x;
    if (p.y < y1) y1 = p.y;
    if (p.y > y2) y2 = p.y;
}

void QsBox::include(const QsBox& b) {
    include(QsPoint(b.x1, b.y1));
    include(QsPoint(b.x2, b.y2));
}

int32_t QsBox::width() const {
    return clampToInt32(int64_t{x2} - x1);
}

int32_t QsBox::height() const {
    return clampToInt32(int64_t{y2} - y1);
}

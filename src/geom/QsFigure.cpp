#include "geom/QsFigure.h"

#include <cmath>

#include "geom/QsAngle.h"
#include "geom/QsBox.h"

namespace {

constexpr double kDiag = 0.7071067811865476;  // sin and cos of the 45-degree classes

int32_t negate(int32_t v) {
    return clampToInt32(-int64_t{v});
}

// c + round(d) for one coordinate, in 64 bits: the offset alone may leave the 32-bit range.
int64_t offsetRounded(int32_t c, double d) {
    return int64_t{c} + roundHalfAway64(d);
}

}  // namespace

QsTransform QsTransform::moveBy(const QsPoint& v) {
    QsTransform t;
    t.kind_ = kMove;
    t.p_ = v;
    return t;
}

QsTransform QsTransform::mirrorThrough(const QsPoint& c) {
    QsTransform t;
    t.kind_ = kMirrorPoint;
    t.p_ = c;
    return t;
}

QsTransform QsTransform::mirrorAboutX(int32_t c) {
    QsTransform t;
    t.kind_ = kMirrorX;
    t.p_ = QsPoint(c, c);
    return t;
}

QsTransform QsTransform::mirrorAboutY(int32_t c) {
    QsTransform t;
    t.kind_ = kMirrorY;
    t.p_ = QsPoint(c, c);
    return t;
}

QsTransform QsTransform::mirrorAboutLine(const QsPoint& a, const QsPoint& b) {
    QsTransform t;
    t.kind_ = kMirrorLine;
    t.p_ = a;
    t.q_ = b;
    // The reflection matrix of the line's direction: (cos 2t, sin 2t; sin 2t, -cos 2t).
    double dx = double(int64_t{b.x} - a.x);
    double dy = double(int64_t{b.y} - a.y);
    double len2 = dx * dx + dy * dy;
    if (len2 > 0) {
        t.cos_ = (dx * dx - dy * dy) / len2;
        t.sin_ = 2 * dx * dy / len2;
    }
    return t;
}

QsTransform QsTransform::scaleAbout(const QsPoint& c, double f) {
    QsTransform t;
    t.kind_ = kScale;
    t.p_ = c;
    t.factor_ = f;
    return t;
}

QsTransform QsTransform::rotateAbout(const QsPoint& c, double a) {
    QsTransform t;
    t.kind_ = kRotate;
    t.p_ = c;
    t.angle_ = a;
    t.class_ = rightAngleClass(a);
    switch (t.class_) {
        case 45:
            t.cos_ = kDiag;
            t.sin_ = kDiag;
            break;
        case 135:
            t.cos_ = -kDiag;
            t.sin_ = kDiag;
            break;
        case 225:
            t.cos_ = -kDiag;
            t.sin_ = -kDiag;
            break;
        case 315:
            t.cos_ = kDiag;
            t.sin_ = -kDiag;
            break;
        case -1:
            t.cos_ = std::cos(a);
            t.sin_ = std::sin(a);
            break;
        default:
            break;  // the multiples of 90 degrees are exact integer cases
    }
    return t;
}

void QsTransform::image(int64_t px, int64_t py, int64_t& x, int64_t& y) const {
    const int64_t cx = p_.x;
    const int64_t cy = p_.y;
    x = px;
    y = py;
    switch (kind_) {
        case kMove:
            x += cx;
            y += cy;
            return;
        case kMirrorPoint:
            x = 2 * cx - px;
            y = 2 * cy - py;
            return;
        case kMirrorX:
            x = 2 * cx - px;
            return;
        case kMirrorY:
            y = 2 * cy - py;
            return;
        case kMirrorLine: {
            const double dx = double(px - cx);
            const double dy = double(py - cy);
            x = offsetRounded(p_.x, dx * cos_ + dy * sin_);
            y = offsetRounded(p_.y, dx * sin_ - dy * cos_);
            return;
        }
        case kScale:
            x = offsetRounded(p_.x, double(px - cx) * factor_);
            y = offsetRounded(p_.y, double(py - cy) * factor_);
            return;
        case kRotate: {
            const int64_t dx = px - cx;
            const int64_t dy = py - cy;
            switch (class_) {
                case 0:
                    return;
                case 90:
                    x = cx - dy;
                    y = cy + dx;
                    return;
                case 180:
                    x = cx - dx;
                    y = cy - dy;
                    return;
                case 270:
                    x = cx + dy;
                    y = cy - dx;
                    return;
                default:
                    x = offsetRounded(p_.x, double(dx) * cos_ - double(dy) * sin_);
                    y = offsetRounded(p_.y, double(dx) * sin_ + double(dy) * cos_);
                    return;
            }
        }
    }
}

QsPoint QsTransform::apply(const QsPoint& p) const {
    int64_t x = 0;
    int64_t y = 0;
    image(p.x, p.y, x, y);
    return QsPoint(clampToInt32(x), clampToInt32(y));
}

bool QsTransform::tryApply(int64_t px, int64_t py, QsPoint& out) const {
    // Far beyond the range the doubles of the general formulas would lose the integers.
    constexpr int64_t kReach = int64_t{1} << 40;
    if (px < -kReach || px > kReach || py < -kReach || py > kReach) return false;
    int64_t x = 0;
    int64_t y = 0;
    image(px, py, x, y);
    if (!fitsInt32(x) || !fitsInt32(y)) return false;
    out = QsPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    return true;
}

QsEVector QsTransform::applyToDirection(const QsEVector& d) const {
    switch (kind_) {
        case kMove:
            return d;
        case kMirrorPoint:
            return QsEVector(negate(d.x), negate(d.y));
        case kMirrorX:
            return QsEVector(negate(d.x), d.y);
        case kMirrorY:
            return QsEVector(d.x, negate(d.y));
        case kMirrorLine:
            return QsEVector(roundHalfAway(d.x * cos_ + d.y * sin_),
                             roundHalfAway(d.x * sin_ - d.y * cos_));
        case kScale:
            return factor_ < 0 ? QsEVector(negate(d.x), negate(d.y)) : d;
        case kRotate:
            switch (class_) {
                case 0:
                    return d;
                case 90:
                    return QsEVector(negate(d.y), d.x);
                case 180:
                    return QsEVector(negate(d.x), negate(d.y));
                case 270:
                    return QsEVector(d.y, negate(d.x));
                default:
                    return QsEVector(roundHalfAway(d.x * cos_ - d.y * sin_),
                                     roundHalfAway(d.x * sin_ + d.y * cos_));
            }
    }
    return d;
}

int32_t QsTransform::applyToLength(int32_t r) const {
    if (kind_ != kScale) return r;
    return roundHalfAway(double(r) * std::fabs(factor_));
}

bool QsTransform::reversesOrientation() const {
    return kind_ == kMirrorX || kind_ == kMirrorY || kind_ == kMirrorLine;
}

QsPoint QsFigure::referencePoint() const {
    const QsPoint* p = points();
    return (p != nullptr && pointCount() > 0) ? p[0] : QsPoint();
}

int QsFigure::getBox(QsBox& box) const {
    const QsPoint* p = points();
    int n = pointCount();
    if (p == nullptr || n <= 0) return 0;
    QsBox b(p[0], p[0]);
    for (int i = 1; i < n; ++i)
        b.include(p[i]);
    box = b;
    return 1;
}

int QsFigure::transform(const QsTransform& t) {
    QsPoint* p = mutablePoints();
    int n = pointCount();
    if (p == nullptr || n <= 0) return 0;
    for (int i = 0; i < n; ++i)
        p[i] = t.apply(p[i]);
    return 1;
}

int QsFigure::moveTo(const QsPoint& q) {
    QsPoint r = referencePoint();
    return move(QsPoint(clampToInt32(int64_t{q.x} - r.x), clampToInt32(int64_t{q.y} - r.y)));
}

int QsFigure::mirrorLine(const QsPoint& a, const QsPoint& b) {
    if (a == b) return 0;
    return transform(QsTransform::mirrorAboutLine(a, b));
}

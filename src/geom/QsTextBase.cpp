#include "geom/QsTextBase.h"

#include <algorithm>
#include <cmath>

#include "geom/QsAngle.h"
#include "geom/QsBox.h"
#include "geom/QsPointPolygon.h"

namespace {

struct Point64 {
    std::int64_t x;
    std::int64_t y;
};

bool fits(const Point64& p) {
    return fitsInt32(p.x) && fitsInt32(p.y);
}

QsPoint narrow(const Point64& p) {
    return QsPoint(static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y));
}

// c + round((v - c) * f) for one coordinate; false when it leaves the 32-bit range.
bool scaleCoordinate(std::int32_t v, std::int32_t c, double f, std::int32_t& out) {
    std::int32_t d = 0;
    if (!tryRoundHalfAway(double(std::int64_t{v} - c) * f, d)) return false;
    std::int64_t r = std::int64_t{c} + d;
    if (!fitsInt32(r)) return false;
    out = static_cast<std::int32_t>(r);
    return true;
}

}  // namespace

int QsTextBase::extent(std::int32_t& w, std::int32_t& h) const {
    w = 0;
    h = 0;
    return 1;
}

int QsTextBase::lowerLeftCorner(std::int32_t w, std::int32_t h, QsPoint& corner) const {
    std::int64_t wp = path == kTextPathReverse ? -std::int64_t{w} : std::int64_t{w};
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    switch (justification & 0x03) {
        case kJustifyCentre:
            dx = -(wp / 2);
            break;
        case kJustifyRight:
            dx = -wp;
            break;
        default:
            break;
    }
    switch (justification & 0x0C) {
        case kJustifyMiddle:
            dy = -(std::int64_t{h} / 2);
            break;
        case kJustifyTop:
            dy = -std::int64_t{h};
            break;
        default:
            break;
    }
    Point64 p{position.x + dx, position.y + dy};
    if (!fits(p)) return 0;
    corner = narrow(p);
    return 1;
}

int QsTextBase::lowerLeft(QsPoint& corner) const {
    std::int32_t w = 0;
    std::int32_t h = 0;
    if (!extent(w, h)) return 0;
    return lowerLeftCorner(w, h, corner);
}

int QsTextBase::outlineCorners(std::array<QsPoint, 4>& corners) const {
    if (!hasString()) return 0;
    std::int32_t w32 = 0;
    std::int32_t h32 = 0;
    QsPoint corner;
    if (!extent(w32, h32) || !lowerLeftCorner(w32, h32, corner)) return 0;

    std::int64_t x = corner.x;
    std::int64_t y = corner.y;
    std::int64_t w = w32;
    std::int64_t h = h32;
    if (frame & (kFrameMargin1 | kFrameMarginBoth)) {
        std::int64_t m = frameMargin1;
        if (frame & kFrameMarginBoth) m += frameMargin2;
        if (m != 0) {
            x -= m;
            y -= m;
            w += 2 * m;
            h += 2 * m;
        }
    } else {
        std::int64_t p = penWidth;
        std::int64_t m = (p + 1) >> 1;
        if (m != 0) {
            x -= m;
            y -= m;
            w += p;
            h += p;
        }
    }

    // The box from its origin, in the corner order (x1, y1), (x1, y2), (x2, y2), (x2, y1),
    // mirrored about the position. A turned text needs only its turned corners in the range.
    Point64 pts[4] = {{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}};
    const bool turned = angle != 0.0;
    if (turned && !std::isfinite(angle)) return 0;
    const QsTransform t = QsTransform::rotateAbout(position, angle);
    std::array<QsPoint, 4> result;
    for (int i = 0; i < 4; ++i) {
        Point64& p = pts[i];
        if (mirror & kMirrorY) p.y = 2 * std::int64_t{position.y} - p.y;
        if (mirror & kMirrorX) p.x = 2 * std::int64_t{position.x} - p.x;
        QsPoint& corner = result[static_cast<std::size_t>(i)];
        if (turned ? !t.tryApply(p.x, p.y, corner) : !fits(p)) return 0;
        if (!turned) corner = narrow(p);
    }
    corners = result;
    return 1;
}

int QsTextBase::outline(QsPointPolygon& polygon) const {
    std::array<QsPoint, 4> corners;
    if (!outlineCorners(corners)) return 0;
    polygon = QsPointPolygon(corners.data(), 4);
    return polygon.pointCount() == 4 ? 1 : 0;
}

int QsTextBase::getBox(QsBox& box) const {
    if (!hasString()) {
        box = QsBox(position, position);
        return 1;
    }
    std::array<QsPoint, 4> corners;
    if (!outlineCorners(corners)) return 0;
    QsBox b(corners[0], corners[0]);
    for (const QsPoint& p : corners)
        b.include(p);
    box = b;
    return 1;
}

int QsTextBase::transform(const QsTransform& t) {
    switch (t.kind()) {
        case QsTransform::kMove: {
            Point64 p{std::int64_t{position.x} + t.point().x,
                      std::int64_t{position.y} + t.point().y};
            if (!fits(p)) return 0;
            position = narrow(p);
            return 1;
        }
        case QsTransform::kMirrorPoint:
            return mirrorPoint(t.point());
        case QsTransform::kMirrorX:
            return mirrorX(t.lineCoord());
        case QsTransform::kMirrorY:
            return mirrorY(t.lineCoord());
        case QsTransform::kMirrorLine: {
            // The reflection turns the x axis to twice the line's direction.
            QsEVector axis = t.applyToDirection(QsEVector(QsEVector::kOne, 0));
            if (!t.tryApply(position, position)) return 0;
            mirror ^= kMirrorY;
            double a = std::atan2(double(axis.y), double(axis.x)) - angle;
            normaliseAngle(a);
            angle = a;
            return 1;
        }
        case QsTransform::kScale:
            return scale(t.point(), t.factor());
        case QsTransform::kRotate:
            return rotate(t.point(), t.angle());
    }
    return 0;
}

int QsTextBase::mirrorX(std::int32_t c) {
    std::int64_t x = 2 * std::int64_t{c} - position.x;
    if (!fitsInt32(x)) return 0;
    position.x = static_cast<std::int32_t>(x);
    mirror ^= kMirrorX;
    if (angle != 0.0) angle = -angle;
    return 1;
}

int QsTextBase::mirrorY(std::int32_t c) {
    std::int64_t y = 2 * std::int64_t{c} - position.y;
    if (!fitsInt32(y)) return 0;
    position.y = static_cast<std::int32_t>(y);
    mirror ^= kMirrorY;
    if (angle != 0.0) angle = -angle;
    return 1;
}

int QsTextBase::mirrorPoint(const QsPoint& c) {
    Point64 p{2 * std::int64_t{c.x} - position.x, 2 * std::int64_t{c.y} - position.y};
    if (!fits(p)) return 0;
    position = narrow(p);
    double a = angle + kQsPi;
    normaliseAngle(a);
    angle = a;
    return 1;
}

int QsTextBase::mirrorLine(const QsPoint& a, const QsPoint& b) {
    if (a == b) return 0;
    return transform(QsTransform::mirrorAboutLine(a, b));
}

int QsTextBase::rotate(const QsPoint& c, double a) {
    QsPoint p;
    if (!std::isfinite(a) || !QsTransform::rotateAbout(c, a).tryApply(position, p)) return 0;
    double na = angle + a;
    normaliseAngle(na);
    angle = na;
    position = p;
    return 1;
}

int QsTextBase::scale(const QsPoint& c, double f) {
    std::int32_t w = 0, h = 0, s = 0, g = 0, m1 = 0;
    QsPoint p;
    if (!tryRoundHalfAway(width * f, w) || !tryRoundHalfAway(height * f, h) ||
        !tryRoundHalfAway(spacing * f, s) || !tryRoundHalfAway(lineSpacing * f, g) ||
        !tryRoundHalfAway(frameMargin1 * f, m1) || !scaleCoordinate(position.x, c.x, f, p.x) ||
        !scaleCoordinate(position.y, c.y, f, p.y))
        return 0;
    width = w;
    height = h;
    spacing = s;
    lineSpacing = g;
    frameMargin1 = m1;
    position = p;
    return 1;
}

// An axis-parallel box of database units; normalised boxes have x1 <= x2 and y1 <= y2.
#pragma once

#include <array>

#include "geom/QsFigure.h"

class QsBox : public QsFigure {
public:
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;

    QsBox() = default;
    // From two corners, normalised.
    QsBox(const QsPoint& a, const QsPoint& b);
    // From four coordinates, normalised.
    QsBox(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2);
    // cx -/+ (w >> 1), cy -/+ (h >> 1); not normalised.
    static QsBox fromCentre(const QsPoint& c, int32_t w, int32_t h);
    // (ox, oy) to (ox + w, oy + h); not normalised.
    static QsBox fromOrigin(int32_t w, int32_t h, const QsPoint& origin);

    int typeCode() const override { return kQsTypeBox; }
    std::unique_ptr<QsFigure> clone() const override;
    QsPoint referencePoint() const override { return QsPoint(x1, y1); }
    int getBox(QsBox& box) const override;
    // Maps the two corners, then normalises.
    int transform(const QsTransform& t) override;

    // Swaps x1/x2 when x1 > x2 and y1/y2 when y1 > y2.
    void normalise();
    // Grows every side by d (shrinks for d < 0), then normalises.
    void inflate(int32_t d);
    // (x1 + ((x2 - x1) >> 1), y1 + ((y2 - y1) >> 1)).
    QsPoint centre() const;
    // (x1, y1), (x1, y2), (x2, y2), (x2, y1).
    std::array<QsPoint, 4> corners() const;
    // Strict overlap: boxes that only touch do not overlap.
    bool overlaps(const QsBox& b) const;
    // Grows this box to hold p.
    void include(const QsPoint& p);
    // Grows this box to hold b.
    void include(const QsBox& b);
    int32_t width() const;
    int32_t height() const;

    friend bool operator==(const QsBox& a, const QsBox& b) {
        return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
    }
};

// A circle: centre and radius.
#pragma once

#include "geom/QsFigure.h"

class QsCircle : public QsFigure {
public:
    QsPoint centre;
    int32_t radius = 0;

    QsCircle() = default;
    QsCircle(const QsPoint& c, int32_t r) : centre(c), radius(r) {}

    int typeCode() const override { return kQsTypeCircle; }
    std::unique_ptr<QsFigure> clone() const override;
    int pointCount() const override { return 1; }
    QsPoint* mutablePoints() override { return &centre; }
    // centre -/+ radius.
    int getBox(QsBox& box) const override;
    // Maps the centre and scales the radius by |f|.
    int transform(const QsTransform& t) override;

    // Distance from the centre less the radius, rounded; 0 for a point inside.
    int32_t distanceTo(const QsPoint& p) const;
};

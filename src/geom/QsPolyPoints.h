// A shape made of an owned list of at most 65535 points; the base of point-list shapes.
#pragma once

#include <vector>

#include "geom/QsFigure.h"

class QsPolyPoints : public QsFigure {
public:
    static constexpr int kMaxPoints = 65535;

    QsPolyPoints() = default;
    // Copies n points; when they cannot be stored (n outside 0..65535, null points, memory) the
    // list stays empty and code 772 is recorded.
    QsPolyPoints(const QsPoint* pts, int n);
    QsPolyPoints(const QsPolyPoints& other);
    QsPolyPoints& operator=(const QsPolyPoints& other);
    QsPolyPoints(QsPolyPoints&&) noexcept = default;
    QsPolyPoints& operator=(QsPolyPoints&&) noexcept = default;

    std::unique_ptr<QsFigure> clone() const override;
    int pointCount() const override { return static_cast<int>(points_.size()); }
    QsPoint* mutablePoints() override { return points_.empty() ? nullptr : points_.data(); }
    int getBox(QsBox& box) const override;

    // Point i into p; 0 and code 770 when i is outside the list.
    int pointAt(int i, QsPoint& p) const;
    // Appends p; 0 and code 772 when the list is full or memory is exhausted.
    int append(const QsPoint& p);

protected:
    std::vector<QsPoint> points_;
};

// A polygon: an outline of path records with hole contours, a line width, and a hatch line width
// and direction; with the check that normalises it and the combination of subpolygons.
#pragma once

#include <vector>

#include "geom/QsPolylineSet.h"

class QsBox;

class QsPolygon : public QsPolylineSet {
public:
    // Empty: no outline, no holes.
    QsPolygon() = default;
    // The four corners of the box as vertices of width 0, in the box's corner order.
    explicit QsPolygon(const QsBox& box);
    // The outline is a copy of the set's records; the line width is the set's; no holes.
    explicit QsPolygon(const QsPolylineSet& set);
    // n vertices of width 0.
    QsPolygon(const QsPoint* pts, int n) : QsPolylineSet(pts, n) {}
    // Copies the outline and every hole; a copy that cannot be stored is left empty (code 772).
    QsPolygon(const QsPolygon& other);
    QsPolygon& operator=(const QsPolygon& other);
    QsPolygon(QsPolygon&&) noexcept = default;
    QsPolygon& operator=(QsPolygon&&) noexcept = default;

    int typeCode() const override { return kQsTypePolygon; }
    std::unique_ptr<QsFigure> clone() const override;
    // Outline and holes alike.
    int transform(const QsTransform& t) override;

    // The hole contours.
    const std::vector<QsPolylineSet>& holes() const { return holes_; }
    std::vector<QsPolylineSet>& holes() { return holes_; }
    // Adds a copy of the contour as a hole; 0 with code 772 when it cannot be stored.
    int addHole(const QsPolylineSet& contour);

    // Sets the line width of the polygon and of each of its holes.
    void setLineWidthWithHoles(int32_t w);
    int32_t hatchLineWidth() const { return hatchLineWidth_; }
    void setHatchLineWidth(int32_t w) { hatchLineWidth_ = w; }
    // Hatch direction in radians.
    double hatchDirection() const { return hatchDirection_; }
    void setHatchDirection(double a) { hatchDirection_ = a; }

    // The polygon check: normalises the outline by the given flags (5 = both), then every hole
    // the same way, removing holes that fail. 0 when the outline is or becomes empty.
    int check(uint16_t checkFlags);

    // Even-odd crossing test of p against the closed ring of the outline's points.
    bool outlineContains(const QsPoint& p) const;

    // Combines first with the others: each other polygon whose first point lies inside the first
    // polygon's outline becomes a hole of it; the others (empty ones too) stay polygons of their
    // own. out receives the first polygon with its holes, then the others in order. 0 with code
    // 772 when memory is exhausted (out is then cleared).
    static int combine(const QsPolygon& first, const std::vector<const QsPolygon*>& others,
                       std::vector<std::unique_ptr<QsPolygon>>& out);

private:
    std::vector<QsPolylineSet> holes_;
    int32_t hatchLineWidth_ = 0;
    double hatchDirection_ = 0.0;
};

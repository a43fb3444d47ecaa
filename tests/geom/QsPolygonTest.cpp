// Polyline sets and polygons: joining strokes, the polygon check and the combination of
// subpolygons into outlines with holes.
#include <gtest/gtest.h>

#include <vector>

#include "base/ErrorRecord.h"
#include "geom/QsBox.h"
#include "geom/QsPolygon.h"

namespace {

QsPolygon polygon(std::initializer_list<QsPoint> pts) {
    std::vector<QsPoint> v(pts);
    return QsPolygon(v.data(), static_cast<int>(v.size()));
}

std::vector<QsPoint> vertices(const QsRecordFigure& f) {
    return f.ringPoints();
}

}  // namespace

TEST(QsPolygon, SetsJoinStrokesUnchangedAndPolygonsCopyThem) {
    const QsPoint a[] = {{0, 0}, {100, 0}};
    const QsPoint b[] = {{100, 0}, {100, 100}, {0, 100}};
    QsPolyline s1(a, 2);
    QsPolyline s2(b, 3);
    s2.setWidth(-1, 30);
    QsPolylineSet set;
    ASSERT_EQ(set.appendPolyline(s1), 1);
    ASSERT_EQ(set.appendPolyline(s2), 1);
    ASSERT_EQ(set.usedCount(), 5);  // nothing merged, nothing closed
    EXPECT_EQ(set.record(2), QsPolyRecord::vertex({100, 0}, 30));
    EXPECT_EQ(QsPolygon(set).usedCount(), 5);

    const QsPolygon rect(QsBox(QsPoint(4000, 4800), QsPoint(4400, 4000)));
    EXPECT_EQ(vertices(rect),
              (std::vector<QsPoint>{{4000, 4000}, {4000, 4800}, {4400, 4800}, {4400, 4000}}));
    // Copies carry their own holes; line widths and transformations reach the holes.
    QsPolygon withHole = polygon({{0, 0}, {10, 0}, {10, 10}});
    withHole.addHole(QsPolylineSet(a, 2));
    withHole.setLineWidthWithHoles(40);
    std::unique_ptr<QsFigure> copy = withHole.clone();
    auto* c = dynamic_cast<QsPolygon*>(copy.get());
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->holes().size(), 1u);
    EXPECT_EQ(c->holes()[0].lineWidth(), 40);
    c->move({1, 2});
    EXPECT_EQ(c->holes()[0].record(1).point(), QsPoint(101, 2));
    EXPECT_EQ(withHole.holes()[0].record(1).point(), QsPoint(100, 0));
}

TEST(QsPolygon, CheckDropsRepeatsAndTheClosingVertexOnce) {
    // Repeats within the tolerance go, the closing vertex goes, arcs stay.
    QsPolygon p = polygon({{0, 0}, {0, 0}, {1, 1}, {100, 0}, {100, 100}, {100, 101}, {1, 0}});
    ASSERT_EQ(p.check(5), 1);
    EXPECT_EQ(vertices(p), (std::vector<QsPoint>{{0, 0}, {100, 0}, {100, 100}}));
    EXPECT_EQ(p.attributes(), 5);
    // The flags are held: a second check changes nothing, even after a new repeat.
    p.appendPoint({100, 100});
    ASSERT_EQ(p.check(5), 1);
    EXPECT_EQ(p.usedCount(), 4);

    QsPolygon arcs = polygon({{100, 0}});
    arcs.appendArc(QsArc(QsPoint(100, 0), QsPoint(0, 0), QsPoint(0, 100), 0));
    arcs.appendPoint({0, 100});
    arcs.appendPoint({100, 0});
    ASSERT_EQ(arcs.check(5), 1);
    // The vertex after the arc's end follows no vertex and stays; the closing vertex goes.
    EXPECT_EQ(arcs.usedCount(), 5);
    EXPECT_TRUE(arcs.record(1).isArcFirst());

    // Only the repeat flag: the closing vertex stays.
    QsPolygon closed = polygon({{0, 0}, {5, 0}, {5, 5}, {0, 0}});
    ASSERT_EQ(closed.check(1), 1);
    EXPECT_EQ(closed.usedCount(), 4);

    // Empty outlines fail; a one-vertex outline survives; failing holes are removed.
    QsPolygon empty;
    EXPECT_EQ(empty.check(5), 0);
    QsPolygon outer = polygon({{0, 0}, {100, 0}, {100, 100}});
    outer.addHole(QsPolylineSet());
    const QsPoint h[] = {{10, 10}, {20, 10}, {10, 10}};
    outer.addHole(QsPolylineSet(h, 3));
    ASSERT_EQ(outer.check(5), 1);
    ASSERT_EQ(outer.holes().size(), 1u);
    EXPECT_EQ(outer.holes()[0].usedCount(), 2);
}

TEST(QsPolygon, CombinationMakesHolesOfInnerSubpolygons) {
    const QsPolygon first = polygon({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}});
    const QsPolygon inner = polygon({{100, 100}, {200, 100}, {200, 200}});
    const QsPolygon outside = polygon({{2000, 0}, {3000, 0}, {3000, 1000}});
    // Starts inside, reaches outside: only the first point decides.
    const QsPolygon crossing = polygon({{900, 500}, {5000, 500}, {5000, 600}});
    const QsPolygon onEdgeRight = polygon({{1000, 500}, {1100, 500}, {1100, 600}});
    const QsPolygon empty;
    std::vector<std::unique_ptr<QsPolygon>> out;
    ASSERT_EQ(QsPolygon::combine(first, {&inner, &outside, &crossing, &empty, &onEdgeRight}, out),
              1);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0]->usedCount(), 4);
    ASSERT_EQ(out[0]->holes().size(), 2u);
    EXPECT_EQ(out[0]->holes()[0].record(0).point(), QsPoint(100, 100));
    EXPECT_EQ(out[0]->holes()[1].record(0).point(), QsPoint(900, 500));
    EXPECT_EQ(out[1]->record(0).point(), QsPoint(2000, 0));
    EXPECT_EQ(out[2]->usedCount(), 0);
    EXPECT_EQ(out[3]->record(0).point(), QsPoint(1000, 500));

    // The ring includes arc ends: a circle-like outline made of one arc and a chord.
    QsPolygon half = polygon({{-100, 0}});
    half.appendArc(QsArc(QsPoint(100, 0), QsPoint(0, 0), QsPoint(-100, 0), 0));
    EXPECT_FALSE(half.outlineContains({0, 50}));  // the ring is the chord only: no area
    QsPolygon tri = polygon({{0, 0}});
    tri.appendArc(QsArc(QsPoint(100, 0), QsPoint(100, 50), QsPoint(100, 100), 0));
    EXPECT_TRUE(tri.outlineContains({80, 30}));
    EXPECT_FALSE(tri.outlineContains({-1, 30}));

    // A single polygon combines into a copy of itself.
    ASSERT_EQ(QsPolygon::combine(first, {}, out), 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(vertices(*out[0]), vertices(first));
}

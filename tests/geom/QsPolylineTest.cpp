// Path records: tags, the used count, insertion and deletion, widths, end extension, the
// arc-aware box and transformations of polylines.
#include <gtest/gtest.h>

#include <vector>

#include "base/ErrorRecord.h"
#include "geom/QsAngle.h"
#include "geom/QsBox.h"
#include "geom/QsPolyline.h"

namespace {

QsPolyline line(std::initializer_list<QsPoint> pts) {
    std::vector<QsPoint> v(pts);
    return QsPolyline(v.data(), static_cast<int>(v.size()));
}

// The third value of every record: widths, rounding radii, arc radii.
std::vector<int32_t> thirdValues(const QsPolyline& p) {
    std::vector<int32_t> out;
    for (int i = 0; i < p.usedCount(); ++i)
        out.push_back(p.record(i).data[2]);
    return out;
}

// A quarter arc about the origin from (r, 0) to (0, r).
QsArc quarter(int32_t r) {
    return QsArc(QsPoint(r, 0), QsPoint(0, 0), QsPoint(0, r), 0);
}

}  // namespace

TEST(QsPolyline, ArcRecordsAndTags) {
    QsPolyline p = line({{0, 0}, {100, 0}});
    EXPECT_EQ(p.appendArc(quarter(100)), 2);
    QsArc cw = quarter(50);
    cw.flags = QsArc::kClockwise;
    EXPECT_EQ(p.appendArc(cw, 10, 30), 5);
    // The first arc has equal end widths (no end-width bit); the second's differ.
    EXPECT_EQ(p.record(2).tag, kRecArcFirst);
    EXPECT_EQ(p.record(5).tag & kRecArcEndWidth, kRecArcEndWidth);
    EXPECT_EQ(thirdValues(p), (std::vector<int32_t>{0, 0, 100, 0, 0, 50, 10, 30}));
    EXPECT_EQ(p.record(2).data, (std::array<int32_t, 3>{-QsEVector::kOne, 0, 100}));
    EXPECT_EQ(p.record(4).point(), QsPoint(0, 100));
    for (int i = 5; i < 8; ++i)
        EXPECT_EQ(p.arcFirstIndex(i), 5);
    EXPECT_EQ(p.recordKind(6), kRecKindArc);

    QsArc arc;
    int32_t ws = 0;
    int32_t we = 0;
    ASSERT_EQ(p.extractArc(7, arc, ws, we), 1);
    EXPECT_EQ(arc.radius, 50);
    EXPECT_TRUE(arc.isClockwise());
    EXPECT_EQ(ws, 10);
    EXPECT_EQ(we, 30);
    ErrorRecord::instance().clear();
    EXPECT_EQ(p.extractArc(1, arc), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomIndexError);
    QsPoint pt;
    EXPECT_EQ(p.extractPoint(2, pt), 0);
    EXPECT_EQ(p.extractPoint(1, pt), 1);
    EXPECT_EQ(pt, QsPoint(100, 0));

    // Matching ignores the width of plain vertices but not of marked ones.
    const QsPolyRecord a = QsPolyRecord::vertex({1, 2}, 5);
    const QsPolyRecord b = QsPolyRecord::vertex({1, 2}, 9);
    EXPECT_TRUE(recordsMatch(a, b));
    EXPECT_FALSE(recordsMatch(a, b, true));
    EXPECT_TRUE(recordsDiffer(a, b));
    EXPECT_FALSE(recordsMatch(QsPolyRecord(kRecMarkedVertex, 1, 2, 5),
                              QsPolyRecord(kRecMarkedVertex, 1, 2, 9)));
}

TEST(QsPolyline, DegenerateArcsBecomeSegmentsOrAreRefused) {
    QsPolyline p;
    const QsArc collinear(QsPoint(0, 0), QsPoint(5, 5), QsPoint(10, 10));
    EXPECT_EQ(p.appendArc(collinear, 4, 4), 0);
    ASSERT_EQ(p.usedCount(), 2);
    EXPECT_EQ(p.record(0), QsPolyRecord::vertex({0, 0}, 4));
    EXPECT_EQ(p.record(1), QsPolyRecord::vertex({10, 10}, 4));
    ErrorRecord::instance().clear();
    const QsArc dot(QsPoint(3, 3), 0, 0.0, 0.0, QsArc::kFullCircle);
    EXPECT_EQ(p.appendArc(dot), -1);
    EXPECT_EQ(p.usedCount(), 2);
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomDegenerateArc);
}

TEST(QsPolyline, InsertionPointsAndTheSlotLimit) {
    QsPolyline p = line({{0, 0}, {1, 1}, {2, 2}});
    ASSERT_EQ(p.insertArc(1, quarter(10)), 1);
    EXPECT_EQ(p.usedCount(), 6);
    EXPECT_EQ(p.record(4).point(), QsPoint(1, 1));
    ErrorRecord::instance().clear();
    EXPECT_EQ(p.insertRecord(2, QsPolyRecord::vertex({9, 9})), 0);  // inside the arc
    EXPECT_EQ(p.insertRecord(7, QsPolyRecord::vertex({9, 9})), 0);  // beyond the used count
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomIndexError);
    EXPECT_EQ(p.usedCount(), 6);

    // The slot count is a 16-bit number.
    QsPolyline full;
    for (int i = 0; i < QsRecordFigure::kMaxSlots; ++i)
        ASSERT_EQ(full.appendPoint({i, 0}), i);
    ErrorRecord::instance().clear();
    EXPECT_EQ(full.appendPoint({0, 0}), -1);
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomAllocError);
    EXPECT_EQ(full.usedCount(), QsRecordFigure::kMaxSlots);
}

TEST(QsPolyline, WidthsForTheWholePathAndForOneRecord) {
    // Path: vertex, marked vertex (radius 7), arc, marked vertex first in a second path.
    QsPolyRecord recs[] = {QsPolyRecord::vertex({0, 0}, 1),
                           QsPolyRecord(kRecMarkedVertex, 5, 0, 7)};
    QsPolyline q(recs, 2);
    q.appendArc(quarter(10), 2, 3);
    // The marked vertex's rounding radius and the arc's radius stay.
    ASSERT_EQ(q.setWidth(-1, 40), 1);
    EXPECT_EQ(thirdValues(q), (std::vector<int32_t>{40, 7, 10, 40, 40}));
    ASSERT_EQ(q.setWidth(1, 60), 1);  // a marked vertex hands the width to the vertex before
    EXPECT_EQ(thirdValues(q), (std::vector<int32_t>{60, 7, 10, 40, 40}));
    ASSERT_EQ(q.setWidth(2, 25), 1);  // the first arc record passes it to the second
    EXPECT_EQ(thirdValues(q), (std::vector<int32_t>{60, 7, 10, 25, 40}));

    // Without the end-width bit the end width follows the start width; a different end width
    // sets the bit.
    QsPolyline s = line({{0, 0}});
    s.appendArc(quarter(10), 5, 5);
    ASSERT_EQ(s.setWidth(1, 25), 1);
    QsArc arc;
    int32_t ws = 0;
    int32_t we = 0;
    s.extractArc(1, arc, ws, we);
    EXPECT_EQ(ws, 25);
    EXPECT_EQ(we, 25);
    EXPECT_EQ(s.record(1).tag, kRecArcFirst);
    ASSERT_EQ(s.setWidth(3, 35), 1);
    EXPECT_EQ(s.record(1).tag, kRecArcFirst | kRecArcEndWidth);
    s.extractArc(1, arc, ws, we);
    EXPECT_EQ(ws, 25);
    EXPECT_EQ(we, 35);

    QsPolyRecord lone[] = {QsPolyRecord(kRecMarkedVertex, 0, 0, 7), QsPolyRecord::vertex({1, 1})};
    QsPolyline r(lone, 2);
    EXPECT_EQ(r.setWidth(0, 9), 0);  // no plain vertex before it
    EXPECT_EQ(thirdValues(r), (std::vector<int32_t>{7, 0}));

    ErrorRecord::instance().clear();
    QsPolyline five = line({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
    EXPECT_EQ(five.setWidth(5, 10), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), kGeomIndexError);
    EXPECT_EQ(QsPolyline().setWidth(-1, 10), 1);
}

TEST(QsPolyline, ExtendingTheEndsByAPercentageOfTheWidth) {
    const QsPolyline bend = line({{0, 0}, {100, 0}, {100, 100}});
    QsPolyline toArc = line({{0, 0}});
    toArc.appendArc(quarter(100), 20, 20);
    const struct {
        QsPolyline path;
        int32_t width;
        int percent;
        bool atStart;
        int result;
        QsPoint end;  // the moved (or kept) end
    } cases[] = {
        {bend, 20, -100, true, 1, {10, 0}},  // half the width inwards
        {bend, 20, -100, false, 1, {100, 90}},
        {bend, 20, 100, false, 1, {100, 110}},  // outwards
        {bend, 20, -50, true, 1, {5, 0}},       // 20 * -50 / 200 = -5
        // A first segment shorter than the shortening leaves the stroke as it was; exactly as
        // long is allowed.
        {line({{0, 0}, {5, 0}, {5, 100}}), 20, -100, true, 0, {0, 0}},
        {line({{0, 0}, {0, 10}}), 20, -100, true, 1, {0, 10}},
        // Width 0 changes nothing and succeeds; one vertex has no segment to move along.
        {line({{0, 0}, {3, 0}}), 0, -100, true, 1, {0, 0}},
        {line({{0, 0}}), 20, -100, true, 0, {0, 0}},
        {QsPolyline(), 20, -100, false, 0, {}},
        // The neighbour of the start may be the start of an arc; a path ending with one fails.
        {toArc, 20, -100, true, 1, {10, 0}},
        {toArc, 20, -100, false, 0, {0, 100}},
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << c.end.x << "," << c.end.y << " " << c.percent);
        c.path.setWidth(-1, c.width);
        const int at = c.atStart ? 0 : c.path.usedCount() - 1;
        EXPECT_EQ(c.atStart ? c.path.extendStart(c.percent) : c.path.extendEnd(c.percent),
                  c.result);
        if (at < 0) continue;
        EXPECT_EQ(c.path.record(at).point(), c.end);
        EXPECT_EQ(c.path.record(at).data[2], c.width);
    }
}

// Boxes of vertex lists, each side set by a different vertex, at the coordinate limits too, and
// of vertices that an arc follows.
TEST(QsPolyline, BoxesTakeEachSideFromItsOwnVertex) {
    const struct {
        std::vector<QsPoint> points;
        QsBox box;
    } cases[] = {
        {{{7, -3}}, QsBox(7, -3, 7, -3)},
        {{{5, 1}, {-2, 9}, {3, -8}, {11, 4}}, QsBox(-2, -8, 11, 9)},
        {{{0, INT32_MIN}, {INT32_MAX, 0}, {INT32_MIN, 0}, {0, INT32_MAX}},
         QsBox(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)},
    };
    for (const auto& c : cases) {
        const QsPolyline p(c.points.data(), static_cast<int>(c.points.size()));
        QsBox b;
        ASSERT_EQ(p.getBox(b), 1);
        EXPECT_EQ(b, c.box);
    }
    QsPolyline p = line({{400, -20}, {-30, 250}});
    p.appendArc(quarter(100));
    QsBox b;
    ASSERT_EQ(p.getBox(b), 1);
    EXPECT_EQ(b, QsBox(-30, -20, 400, 250));
}

TEST(QsPolyline, BoxMoveAndMirror) {
    QsPolyline p = line({{-50, 20}});
    p.appendArc(QsArc(QsPoint(100, 0), QsPoint(0, 0), QsPoint(0, 100), QsArc::kClockwise));
    p.appendPoint({0, 300}, 99);  // widths do not widen the box
    QsBox b;
    ASSERT_EQ(p.getBox(b), 1);
    EXPECT_EQ(b, QsBox(-100, -100, 100, 300));
    EXPECT_EQ(QsPolyline().getBox(b), 0);

    ASSERT_EQ(p.move({10, 20}), 1);
    EXPECT_EQ(p.record(0).point(), QsPoint(-40, 40));
    EXPECT_EQ(p.record(2).point(), QsPoint(110, 20));
    EXPECT_EQ(p.record(1).data[2], 100);  // direction and radius unchanged
    EXPECT_EQ(p.record(1).data[0], -QsEVector::kOne);

    ASSERT_EQ(p.mirrorY(20), 1);
    QsArc arc;
    p.extractArc(1, arc);
    EXPECT_FALSE(arc.isClockwise());
    EXPECT_EQ(arc.end, QsPoint(10, -80));
    EXPECT_EQ(arc.centrePoint(), QsPoint(10, 20));
    EXPECT_EQ(QsPolyline().move({1, 1}), 0);
}

// Arcs, circles, wedges and rectangles from HP-GL text: the arc records they produce, the pen
// position, batch ends, and the codes of refused statements.
#include <gtest/gtest.h>

#include "HpglTestUtil.h"
#include "base/ErrorRecord.h"
#include "geom/QsPolygon.h"
#include "hpgl/HpglHandlers.h"

namespace {

constexpr int32_t kOne = QsEVector::kOne;

// The arc of the first arc record of a polyline or polygon outline.
QsArc firstArc(const QsFigure& f) {
    QsArc arc;
    const auto& recs = static_cast<const QsRecordFigure&>(f);
    for (int i = 0; i < recs.usedCount(); ++i) {
        if (recs.record(i).isArcFirst()) {
            recs.extractArc(i, arc);
            break;
        }
    }
    return arc;
}

std::vector<const QsFigure*> allFigures(const std::vector<StatementBatch>& batches) {
    std::vector<const QsFigure*> out;
    for (const StatementBatch& b : batches) {
        for (const auto& f : b.figures)
            out.push_back(f.get());
    }
    return out;
}
// The figures live in the batches: keep them.
std::vector<const QsFigure*> allFigures(std::vector<StatementBatch>&&) = delete;

}  // namespace

TEST(HpglArcs, ArcsFromCentreAndThroughPoints) {
    const struct {
        std::string text;
        QsPoint start, end;
        QsEVector toCentre;
        int32_t radius;
        uint16_t flags;
        double x, y;  // the pen position afterwards
    } cases[] = {
        {"PU100,0;PD;AA0,0,90;", {4000, 0}, {0, 4000}, {-kOne, 0}, 4000, 0, 0, 4000},
        {"PU100,0;PD;AA0,0,-90;", {4000, 0}, {0, -4000}, {-kOne, 0}, 4000, 1, 0, -4000},
        // A full turn ends where it started.
        {"PU100,0;PD;AA0,0,360;", {4000, 0}, {4000, 0}, {-kOne, 0}, 4000, 2, 4000, 0},
        {"PU100.004,0;PD;AA0,0,360;", {4000, 0}, {4000, 0}, {-kOne, 0}, 4000, 2, 4000, 0},
        // AR: the centre is relative to the pen position.
        {"PU10,10;PD;AR10,0,180;", {400, 400}, {1200, 400}, {kOne, 0}, 400, 0, 1200, 400},
        {"PU100,0;PD;AR-100,0,90;", {4000, 0}, {0, 4000}, {-kOne, 0}, 4000, 0, 0, 4000},
        // AT through (0,0), (1000,1000), (2000,0) turns clockwise; mirrored it does not.
        {"PD;AT25,25,50,0;", {0, 0}, {2000, 0}, {kOne, 0}, 1000, 1, 2000, 0},
        {"PD;AT25,-25,50,0;", {0, 0}, {2000, 0}, {kOne, 0}, 1000, 0, 2000, 0},
        {"PU10,0;PD;RT25,25,50,0;", {400, 0}, {2400, 0}, {kOne, 0}, 1000, 1, 2400, 0},
        // Out and back along a line: the circle over that diameter.
        {"PD;AT10,0,0,0;", {0, 0}, {0, 0}, {kOne, 0}, 200, 2, 0, 0},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u) << c.text;
        ASSERT_EQ(figures[0]->typeCode(), kQsTypePolyline) << c.text;
        EXPECT_EQ(static_cast<const QsPolyline*>(figures[0])->usedCount(), 3) << c.text;
        const QsArc arc = firstArc(*figures[0]);
        EXPECT_EQ(arc.start, c.start) << c.text;
        EXPECT_EQ(arc.end, c.end) << c.text;
        EXPECT_EQ(arc.toCentre, c.toCentre) << c.text;
        EXPECT_EQ(arc.radius, c.radius) << c.text;
        EXPECT_EQ(arc.flags, c.flags) << c.text;
        EXPECT_EQ(plot.in->current.x, c.x) << c.text;
        EXPECT_EQ(plot.in->current.y, c.y) << c.text;
        EXPECT_EQ(plot.in->previous.y, c.y) << c.text;
        for (const StatementBatch& b : batches)
            EXPECT_TRUE(b.codes.empty() || b.codes == std::vector<int32_t>{60}) << c.text;
    }
}

TEST(HpglArcs, PenUpArcsMoveAndArcsEndBatches) {
    {
        Plot plot("PU100,0;AA0,0,90;AT50,50,100,0;");
        const auto batches = plot.batches();
        EXPECT_TRUE(allFigures(batches).empty());
        EXPECT_EQ(plot.in->current.x, 4000);
        EXPECT_EQ(plot.in->current.y, 0);
    }
    {
        // Each arc is a batch of its own; the line type reaches the arc, line ends do not.
        Plot plot("LA1,1;LT2;PW0.1;PU100,0;PD;AA0,0,90;AA0,0,90;");
        const auto batches = plot.batches();
        ASSERT_EQ(batches.size(), 5u);  // PU, PD, AA, AA, end of input
        ASSERT_EQ(batches[2].figures.size(), 1u);
        ASSERT_EQ(batches[3].figures.size(), 1u);
        const auto& line = static_cast<const QsPolyline&>(*batches[2].figures[0]);
        EXPECT_EQ(line.firstAttribute(), 1);
        EXPECT_EQ(line.secondAttribute(), 0);
        EXPECT_EQ(line.record(1).width(), 10000);
        EXPECT_EQ(line.record(2).width(), 10000);
        EXPECT_EQ(firstArc(*batches[3].figures[0]).start, QsPoint(0, 4000));
    }
}

TEST(HpglArcs, CollinearThroughPoints) {
    {
        // Three distinct points on a line: a straight segment.
        ErrorRecord::instance().clear();
        Plot plot("PD;AT10,0,20,0;");
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u);
        EXPECT_EQ(vertices(*figures[0]), (std::vector<QsPoint>{{0, 0}, {800, 0}}));
        EXPECT_EQ(plot.in->current.x, 800);
        EXPECT_EQ(ErrorRecord::instance().code(), kGeomDegenerateArc);
    }
    {
        // One point three times cannot be drawn; the pen-up form just moves.
        Plot plot("PD;AT0,0,0,0;");
        EXPECT_EQ(plot.allCodes(), (std::vector<int32_t>{kHpglCodeArcAppend, kHpglCodeAT, 60}));
        Plot up("AT0,0,0,0;");
        EXPECT_EQ(up.allCodes(), (std::vector<int32_t>{60}));
    }
}

TEST(HpglArcs, Circles) {
    const struct {
        std::string text;
        QsPoint start;
        int32_t toCentreX;
    } cases[] = {
        {"PU10,10;CI5;", {600, 400}, -kOne},
        // A negative radius starts the same circle at angle pi; the pen state does not matter.
        {"PU10,10;PD;CI-5;", {200, 400}, kOne},
        {"PU10,10;CI5,30;", {600, 400}, -kOne},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u) << c.text;
        const QsArc arc = firstArc(*figures[0]);
        EXPECT_EQ(arc.start, c.start) << c.text;
        EXPECT_EQ(arc.end, c.start) << c.text;
        EXPECT_EQ(arc.toCentre, QsEVector(c.toCentreX, 0)) << c.text;
        EXPECT_EQ(arc.radius, 200) << c.text;
        EXPECT_EQ(arc.flags, QsArc::kFullCircle) << c.text;
        EXPECT_EQ(arc.centrePoint(), QsPoint(400, 400)) << c.text;
        EXPECT_EQ(plot.in->current.x, 400) << c.text;
    }
}

TEST(HpglArcs, Wedges) {
    const struct {
        std::string text;
        bool centre;  // the centre point precedes the arc
        QsPoint start, end;
        uint16_t flags;
    } cases[] = {
        {"PU10,10;EW10,0,90;", true, {800, 400}, {400, 800}, 0},
        {"PU10,10;WG10,0,-90;", true, {800, 400}, {400, 0}, 1},
        {"PU10,10;EW-10,0,90;", true, {0, 400}, {400, 0}, 0},
        {"PU10,10;WG10,0,360;", false, {800, 400}, {800, 400}, 2},
        {"PU10,10;EW10,0,-400;", false, {800, 400}, {800, 400}, 2},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u) << c.text;
        ASSERT_EQ(figures[0]->typeCode(), kQsTypePolygon) << c.text;
        const auto& pie = static_cast<const QsPolygon&>(*figures[0]);
        ASSERT_EQ(pie.usedCount(), c.centre ? 4 : 3) << c.text;
        if (c.centre) {
            EXPECT_EQ(pie.record(0).point(), QsPoint(400, 400)) << c.text;
        }
        const QsArc arc = firstArc(pie);
        EXPECT_EQ(arc.start, c.start) << c.text;
        EXPECT_EQ(arc.end, c.end) << c.text;
        EXPECT_EQ(arc.radius, 400) << c.text;
        EXPECT_EQ(arc.flags, c.flags) << c.text;
        EXPECT_EQ(plot.in->current.x, 400) << c.text;
    }
    // EW does not end its batch; WG does.
    Plot plot("PU10,10;EW10,0,90;WG10,0,90;");
    const auto batches = plot.batches();
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[1].figures.size(), 2u);
}

TEST(HpglArcs, RectanglesAndPolygonAttributes) {
    const std::vector<QsPoint> corners = {{4000, 4000}, {4000, 4800}, {4400, 4800}, {4400, 4000}};
    for (const char* text : {"PU100,100;ER10,20;", "PU100,100;RR10,20;", "PU100,100;EA110,120;",
                             "PU100,100;PD;RA110,120;", "PU110,120;RA100,100;"}) {
        Plot plot(text);
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u) << text;
        ASSERT_EQ(figures[0]->typeCode(), kQsTypePolygon) << text;
        const auto& box = static_cast<const QsPolygon&>(*figures[0]);
        std::vector<QsPoint> pts;
        for (int i = 0; i < box.usedCount(); ++i)
            pts.push_back(box.record(i).point());
        EXPECT_EQ(pts, corners) << text;
        EXPECT_EQ(box.lineWidth(), 0) << text;
        EXPECT_EQ(plot.in->polygonMode, 0) << text;
    }
    const struct {
        std::string text;
        int32_t width, hatchWidth;
        double hatchDirection;
    } attrs[] = {
        {"PW0.5;ER10,20;", 50000, 0, 0.0},
        {"PW0.5;FT3,0,45;ER10,20;", 50000, 50000, 0.7853981633974483},
        {"PW0.5;FT3,0,45;FT1;EW10,0,45;", 50000, 0, 0.0},
        // A width meant for another pen leaves the shape alone.
        {"SP1;PW0.5,2;FT3,0,45;ER10,20;", 0, 0, 0.0},
        {"SP2;PW0.5,2;ER10,20;", 50000, 0, 0.0},
    };
    for (const auto& c : attrs) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        const auto figures = allFigures(batches);
        ASSERT_EQ(figures.size(), 1u) << c.text;
        const auto& p = static_cast<const QsPolygon&>(*figures[0]);
        EXPECT_EQ(p.lineWidth(), c.width) << c.text;
        EXPECT_EQ(p.hatchLineWidth(), c.hatchWidth) << c.text;
        EXPECT_DOUBLE_EQ(p.hatchDirection(), c.hatchDirection) << c.text;
    }
}

TEST(HpglArcs, RefusedStatementsCommitNothing) {
    const struct {
        std::string text;
        std::vector<int32_t> codes;
    } cases[] = {
        {"AA1,2;", {kHpglCodeAA}},
        {"AAnan,0,90;", {kHpglCodeAA}},
        {"AR1,1e999,90;", {kHpglCodeAR}},
        {"AT1,2,3;", {kHpglCodeAT}},
        {"RT1,2,3,x;", {kHpglCodeRT}},
        {"CI;", {kHpglCodeCI}},
        {"CIinf;", {kHpglCodeCI}},
        {"CI0.01;", {kHpglCodeCI}},  // truncates to radius 0: a point is no circle
        {"CI6e7;", {kHpglCodeCI}},   // the radius leaves 32 bits
        {"PU5e7,0;CI1e7;", {kHpglCodeCI}},
        {"EA1;", {kHpglCodeEA}},
        {"ER1,x;", {kHpglCodeER}},
        {"RA1e9,0;", {kHpglCodeRA}},
        {"PU5e7,0;RR1e7,0;", {kHpglCodeRR}},
        {"EW1,2;", {kHpglCodeEW}},
        {"WG-1e99,0,90;", {kHpglCodeWG}},
        // A centre far away: the arc's circle would leave 32 bits.
        {"AA5e7,0,90;", {kHpglCodeAA}},
        {"PU5e7,0;AR2e6,0,90;", {kHpglCodeAR}},
        // Nearly collinear points far apart: a circle far too large.
        {"AT2.5e7,0.025,5e7,0;", {kHpglCodeAT}},
        {"PU-2.5e7,0;RT2.5e7,0.025,5e7,0;", {kHpglCodeRT}},
        // The pen sits on the centre: with the pen down the point cannot be drawn.
        {"PD;AA0,0,90;", {kHpglCodeArcAppend, kHpglCodeAA}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        std::vector<int32_t> codes = plot.allCodes();
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.back(), 60) << c.text;
        codes.pop_back();
        EXPECT_EQ(codes, c.codes) << c.text;
        EXPECT_EQ(plot.in->current.y, 0.0) << c.text;  // every refused arc would move it
    }
    // A zero-radius wedge keeps its centre point; a zero-radius full circle has nothing left.
    Plot point("EW0.001,0,90;");
    EXPECT_EQ(point.allCodes(), (std::vector<int32_t>{60}));
    Plot empty("WG0.001,0,360;");
    EXPECT_EQ(empty.allCodes(), (std::vector<int32_t>{kHpglCodePolygonFinish, kHpglCodeWG, 60}));
}

// Random mixes of the shape commands with hostile numbers run to their end; the sanitizer build
// watches for undefined behaviour on the way.
TEST(HpglArcs, HostileShapesRunToTheirEnd) {
    const char* pieces[] = {"AA",    "AR",     "AT",    "RT",    "CI",         "EA",    "ER",
                            "RA",    "RR",     "EW",    "WG",    "PM",         "PM0",   "PM1",
                            "PM2",   "EP",     "FP",    "PD",    "PU",         "PR",    "SP1",
                            "PW1",   "FT3",    "1e308", "-1e9",  "2147483647", "5e7",   "0",
                            "0.001", "1e-320", "360",   "-720",  "nan",        "1e999", ",",
                            ";",     "-",      "2.5e7", "0.025", "1e300",      "\xff",  "."};
    const int n = static_cast<int>(sizeof pieces / sizeof pieces[0]);
    uint32_t seed = 7;
    for (int round = 0; round < 150; ++round) {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += pieces[(seed >> 8) % n];
        }
        Plot plot(text);
        const auto batches = plot.batches();
        ASSERT_FALSE(batches.empty());
        EXPECT_TRUE(batches.back().hasCode(60)) << round;
        for (const StatementBatch& b : batches) {
            for (const auto& f : b.figures) {
                ASSERT_NE(f, nullptr);
                if (f->typeCode() != kQsTypePolyline && f->typeCode() != kQsTypePolygon) continue;
                const auto& recs = static_cast<const QsRecordFigure&>(*f);
                EXPECT_TRUE(recs.isWithinRange()) << round;
            }
        }
    }
}

// Polygon mode from HP-GL text: subpolygons, holes, the buffer with its pen and codes, EP and FP,
// attributes applied again after SP, PW and FT, and the plot corpus files that use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "HpglTestUtil.h"
#include "geom/QsPolygon.h"
#include "hpgl/HpglHandlers.h"

namespace {

using Points = std::vector<QsPoint>;

Points points(const QsRecordFigure& f) {
    Points pts;
    for (int i = 0; i < f.usedCount(); ++i) {
        if (!f.record(i).isArcFirst()) pts.push_back(f.record(i).point());
    }
    return pts;
}

// The batch that ends with EP or FP: the last one holding polygons.
const StatementBatch* emitted(const std::vector<StatementBatch>& batches, int which = 0) {
    for (const StatementBatch& b : batches) {
        const bool polygons = std::any_of(b.figures.begin(), b.figures.end(), [](const auto& f) {
            return f->typeCode() == kQsTypePolygon;
        });
        if (polygons && which-- == 0) return &b;
    }
    return nullptr;
}

const QsPolygon& polygonAt(const StatementBatch& b, size_t i) {
    return static_cast<const QsPolygon&>(*b.figures.at(i));
}

const std::string kSquare = "PU0,0;PM0;PD100,0,100,100,0,100,0,0;";
const Points kSquarePoints = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};

}  // namespace

TEST(HpglPolygonMode, SubpolygonsBecomePolygonsAndHoles) {
    {
        // One outline, closed implicitly: its repeated first point goes.
        Plot plot("SP2;" + kSquare + "PM2;FP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->figures.size(), 1u);  // no polylines beside it
        EXPECT_EQ(points(polygonAt(*b, 0)), kSquarePoints);
        EXPECT_TRUE(polygonAt(*b, 0).holes().empty());
        EXPECT_EQ(b->pen, 2);
        EXPECT_TRUE(b->codes.empty());
        EXPECT_EQ(plot.in->polygonMode, 0);
    }
    {
        // The stroke after PM 1 starts at its own first point; lying inside, it is a hole.
        Plot plot(kSquare + "PM1;PD25,25,75,25,75,75,25,75;PM2;EP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->figures.size(), 1u);
        const QsPolygon& p = polygonAt(*b, 0);
        EXPECT_EQ(points(p), kSquarePoints);
        ASSERT_EQ(p.holes().size(), 1u);
        EXPECT_EQ(points(p.holes()[0]),
                  (Points{{1000, 1000}, {3000, 1000}, {3000, 3000}, {1000, 3000}}));
    }
    {
        // Outside the first outline: a polygon of its own.
        Plot plot(kSquare + "PM1;PU200,0;PD300,0,300,100,200,100;PM2;EP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->figures.size(), 2u);
        EXPECT_TRUE(polygonAt(*b, 0).holes().empty());
        EXPECT_EQ(points(polygonAt(*b, 1)),
                  (Points{{8000, 0}, {12000, 0}, {12000, 4000}, {8000, 4000}}));
    }
    {
        // Strokes and arcs join in drawing order, unchanged; a circle drawn pen-up counts too.
        Plot plot("PU0,0;PM0;PD100,0;AA100,50,180;PD0,0;PM1;PU50,50;CI10;PM2;FP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->figures.size(), 1u);
        const QsPolygon& p = polygonAt(*b, 0);
        // (0,0) (4000,0), the arc from (4000,0) to (4000,4000), the stroke back from
        // (4000,4000) to (0,0): the closing point goes, the vertex after the arc stays.
        EXPECT_EQ(points(p), (Points{{0, 0}, {4000, 0}, {4000, 0}, {4000, 4000}, {4000, 4000}}));
        ASSERT_EQ(p.holes().size(), 1u);
        EXPECT_EQ(p.holes()[0].usedCount(), 3);
    }
}

TEST(HpglPolygonMode, BufferIsEmittedAgainAndKeepsPenAndCodes) {
    {
        // EP twice: the same polygon twice. Shapes drawn outside polygon mode leave it alone.
        Plot plot("SP3;" + kSquare + "PM2;EP;ER5,5;SP;EP;");
        const auto batches = plot.batches();
        const StatementBatch* first = emitted(batches, 0);
        const StatementBatch* rect = emitted(batches, 1);
        const StatementBatch* second = emitted(batches, 2);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(points(polygonAt(*first, 0)), kSquarePoints);
        EXPECT_EQ(rect->figures.size(), 1u);
        ASSERT_EQ(second->figures.size(), 1u);
        EXPECT_EQ(points(polygonAt(*second, 0)), kSquarePoints);
        // SP without a number leaves the buffer's pen as it was.
        EXPECT_EQ(first->pen, 3);
        EXPECT_EQ(second->pen, 3);
    }
    {
        // Pen numbers survive the emptying at PM 1 and PM 2.
        Plot plot("SP4;" + kSquare + "PM1;PD10,0;PM2;PD20,0;");
        const auto batches = plot.batches();
        for (const StatementBatch& b : batches)
            EXPECT_EQ(b.pen, 4);
    }
    {
        // A failed stroke's code travels with its subpolygon and fails EP.
        Plot plot(kSquare + "PD10,x;PM2;EP;EP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->codes, (std::vector<int32_t>{kHpglCodePD, kHpglCodeEP}));
        EXPECT_EQ(plot.in->polygonBuffer.codes, std::vector<int32_t>{kHpglCodePD});
    }
    {
        // An empty PM 2 gathers nothing; a shape alone makes an empty subpolygon, which fails
        // the check (53) and every later finish (51).
        Plot empty("PM0;PM2;EP;");
        EXPECT_EQ(empty.allCodes(), std::vector<int32_t>{60});
        Plot shape("PM0;ER5,5;PM2;EP;");
        EXPECT_EQ(shape.allCodes(),
                  (std::vector<int32_t>{kHpglCodePM, kHpglCodePolygonCombine,
                                        kHpglCodePolygonFinish, kHpglCodeEP, 60}));
    }
}

TEST(HpglPolygonMode, ModeTransitionsAndStrokesInside) {
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        int mode;
    } cases[] = {
        {"PM1;", {kHpglCodePM}, 0},     {"PM2;", {kHpglCodePM}, 0}, {"PM0;PM3;", {kHpglCodePM}, 1},
        {"PM0;PMx;", {kHpglCodePM}, 1}, {"PM;PM1;PM1;", {}, 2},     {"PM0;PM1;PM2;", {}, 0},
        {"PM0;ER5,5;EW5,0,90;", {}, 1},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        std::vector<int32_t> codes = plot.allCodes();
        codes.pop_back();
        EXPECT_EQ(codes, c.codes) << c.text;
        EXPECT_EQ(plot.in->polygonMode, c.mode) << c.text;
    }
    {
        // PM 1 lifts the pen: the next stroke only moves.
        Plot plot(kSquare + "PM1;PA10,10;");
        plot.batches();
        EXPECT_EQ(plot.in->penDown, 0);
        EXPECT_EQ(plot.in->polygonAux, 0);
    }
    {
        // A file ending in polygon mode hands its strokes over as they are, without line type
        // or line ends; a label in polygon mode goes with the batch at PM 2.
        Plot open("LA1,1;LT2;PW0.1;PM0;PD10,0,20,0;PD30,0;");
        const auto batches = open.batches();
        ASSERT_EQ(batches.size(), 1u);
        ASSERT_EQ(batches[0].figures.size(), 2u);
        EXPECT_EQ(vertices(*batches[0].figures[0]), (Points{{0, 0}, {400, 0}, {800, 0}}));
        const auto& line = static_cast<const QsPolyline&>(*batches[0].figures[1]);
        EXPECT_EQ(line.attributes(), 0);
        EXPECT_EQ(line.record(0).width(), 10000);
        Plot label(kSquare + "LBtext\x03;PM2;FP;");
        const auto lb = label.batches();
        const StatementBatch* b = emitted(lb);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->figures.size(), 1u);
    }
}

TEST(HpglPolygonMode, AttributesAreAppliedAgainAfterSpPwFt) {
    const struct {
        std::string after;  // between PM 2 and EP
        int32_t width, hatchWidth;
        double hatchDirection;
    } cases[] = {
        {"", 0, 0, 0.0},
        {"PW0.5;", 50000, 0, 0.0},
        {"PW0.5;FT3,0,45;", 50000, 50000, 0.7853981633974483},
        {"PW0.3,1;SP2;", 0, 0, 0.0},
        {"PW0.3,1;SP1;", 30000, 0, 0.0},
    };
    for (const auto& c : cases) {
        Plot plot(kSquare + "PM1;PD25,25,75,25,75,75;PM2;" + c.after + "EP;");
        const auto batches = plot.batches();
        const StatementBatch* b = emitted(batches);
        ASSERT_NE(b, nullptr) << c.after;
        const QsPolygon& p = polygonAt(*b, 0);
        EXPECT_EQ(p.lineWidth(), c.width) << c.after;
        ASSERT_EQ(p.holes().size(), 1u) << c.after;
        EXPECT_EQ(p.holes()[0].lineWidth(), c.width) << c.after;
        EXPECT_EQ(p.hatchLineWidth(), c.hatchWidth) << c.after;
        EXPECT_DOUBLE_EQ(p.hatchDirection(), c.hatchDirection) << c.after;
        EXPECT_TRUE(b->codes.empty()) << c.after;
    }
}

// The corpus plots with arcs, wedges and polygons give their shapes; the sanitizer build
// watches the way there.
TEST(HpglPolygonMode, CorpusPlotsWithShapes) {
    const struct {
        const char* file;
        // Polygon figures (every EP and FP emits the buffer again) and arc segments.
        size_t polygons, arcs;
    } cases[] = {
        {"dgtlrift__hp2xx/pm.hp", 2, 0},
        {"dgtlrift__hp2xx/arcs.hp", 0, 6},
        {"dgtlrift__hp2xx/at.hpg", 0, 2},
        {"dgtlrift__hp2xx/ew.hpg", 3, 0},
        {"dgtlrift__hp2xx/fwedges.plt", 8, 0},
        {"dgtlrift__hp2xx/fill.plt", 65, 0},
        {"TGoodhew__Hpgl.Rendering/feature-exercise.plt", 9, 2},
    };
    for (const auto& c : cases) {
        const std::string path = testsupport::corpusDir() + "/" + c.file;
        std::ifstream probe(path);
        if (!probe) continue;
        std::ostringstream text;
        text << probe.rdbuf();
        Plot plot(text.str());
        const auto batches = plot.batches();
        size_t polygons = 0;
        size_t arcs = 0;
        for (const StatementBatch& b : batches) {
            for (const auto& f : b.figures) {
                if (f->typeCode() == kQsTypePolygon) ++polygons;
                if (f->typeCode() != kQsTypePolyline) continue;
                const auto& line = static_cast<const QsPolyline&>(*f);
                for (int i = 0; i < line.usedCount(); ++i)
                    arcs += line.record(i).isArcFirst() ? 1 : 0;
            }
        }
        EXPECT_EQ(polygons, c.polygons) << c.file;
        EXPECT_EQ(arcs, c.arcs) << c.file;
        EXPECT_TRUE(batches.back().hasCode(60)) << c.file;
    }
}

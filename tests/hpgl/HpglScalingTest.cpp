// User scaling: SC in its forms, IP and IR as scaling points, RO, and how every drawing command
// takes its coordinates through them. Expected coordinates are worked out by hand at the default
// 40 output units per plotter unit; the page is 31400 x 22450 plotter units (1256000 x 898000
// output units).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "HpglTestUtil.h"
#include "geom/QsEllipticArc.h"
#include "hpgl/HpglHandlers.h"

namespace {

std::string scaled(const std::string& text) {
    return dumpShapes(text, true);
}

// User units of 100 x 100 plotter units (4000 x 4000 output units) from the origin.
constexpr const char* kSquare = "IP0,0,1000,1000;SC0,10,0,10;";
// 200 x 100 plotter units per user unit: circles become ellipses twice as wide as high.
constexpr const char* kWide = "IP0,0,2000,1000;SC0,10,0,10;";

}  // namespace

TEST(HpglScaling, PointsThroughEachFormOfScaling) {
    const std::pair<std::string, std::string> cases[] = {
        // Anisotropic: user (0, 0) at P1 = (100, 200), (10, 10) at P2 = (1100, 2200).
        {"IP100,200,1100,2200;SC0,10,0,10;PU0,0;PD10,10,5,0;",
         "L(4000,8000 44000,88000 24000,8000) | @24000,8000"},
        // Unequal user ranges on a square P1-P2: 100 plotter units per x unit, 50 per y unit.
        {"IP0,0,1000,1000;SC0,10,0,20;PU0,0;PD10,20,5,5;",
         "L(0,0 40000,40000 20000,10000) | @20000,10000"},
        // Relative moves scale without the origin.
        {"IP100,200,1100,2200;SC0,10,0,10;PU0,0;PD;PR1,1,-2,0;",
         "L(4000,8000 8000,16000 0,16000) | @0,16000"},
        // An axis running backwards.
        {"IP0,0,1000,1000;SC10,0,0,10;PU0,0;PD10,0;", "L(40000,0 0,0) | @0,0"},
        // Isotropic: 100 plotter units per unit both ways, the spare 1000 in x split by the
        // percentages (50 by default).
        {"IP0,0,2000,1000;SC0,10,0,10,1;PU0,0;PD10,10;", "L(20000,0 60000,40000) | @60000,40000"},
        {"IP0,0,2000,1000;SC0,10,0,10,1,0,0;PU0,0;PD10,10;", "L(0,0 40000,40000) | @40000,40000"},
        {"IP0,0,2000,1000;SC0,10,0,10,1,100,100;PU0,0;PD10,10;",
         "L(40000,0 80000,40000) | @80000,40000"},
        // Point factor: P1 is user (5, 5); 2 and 4 plotter units per unit.
        {"IP100,100;SC5,2,5,4,2;PU5,5;PD6,7;", "L(4000,4000 4080,4320) | @4080,4320"},
        // SC without parameters: plotter units again.
        {"IP0,0,1000,1000;SC0,10,0,10;SC;PU0,0;PD10,10;", "L(0,0 400,400) | @400,400"},
        // IP after SC moves the user units with P1 and P2; IR likewise (percent of the page).
        {"SC0,10,0,10;IP0,0,1000,1000;PU0,0;PD10,10;", "L(0,0 40000,40000) | @40000,40000"},
        {"SC0,100,0,100;IR0,0,50,50;PU0,0;PD100,100;", "L(0,0 628000,449000) | @628000,449000"},
        // IN and DF end the scaling; IN also turns the system back (PA0,0 of IN: no figure).
        {"IP0,0,1000,1000;SC0,10,0,10;RO90;IN;PU0,0;PD10,10;", "L(0,0 400,400) | @400,400"},
        {"IP0,0,1000,1000;SC0,10,0,10;DF;PU0,0;PD10,10;", "L(0,0 400,400) | @400,400"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scaled(text), expected) << text;
}

TEST(HpglScaling, RotationTurnsTheSystemOnThePage) {
    const std::pair<std::string, std::string> cases[] = {
        // 90: x runs up the page from the lower right corner, y to the left.
        {"RO90;PU0,0;PD100,0,100,50;", "L(1256000,0 1256000,4000 1254000,4000) | @1.254e+06,4000"},
        {"RO180;PU0,0;PD100,50;", "L(1256000,898000 1252000,896000) | @1.252e+06,896000"},
        {"RO270;PU0,0;PD100,50;", "L(0,898000 2000,894000) | @2000,894000"},
        {"RO90;RO;PU0,0;PD100,50;", "L(0,0 4000,2000) | @4000,2000"},
        // IP without parameters puts P2 at the far corner of the turned page (22450 x 31400);
        // the user square then fills it.
        {"RO90;IP;SC0,100,0,100;PU0,0;PD100,100;", "L(1256000,0 0,898000) | @0,898000"},
        // DF ends the scaling but keeps the turn.
        {"RO180;SC0,10,0,10;DF;PU0,0;PD10,0;",
         "L(1256000,898000 1255600,898000) | @1.2556e+06,898000"},
        // Rectangles stay parallel to the axes.
        {"RO90;PU0,0;EA100,50;", "P(1254000,0 1254000,4000 1256000,4000 1256000,0) | @1.256e+06,0"},
        // A circle about the turned pen starts a quarter turn on.
        {"RO90;PU100,100;CI10;",
         "L(a1252000,4400>1252000,4400c1252000,4000r400f2) | @1.252e+06,4000"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scaled(text), expected) << text;
}

TEST(HpglScaling, ShapesUnderEqualScales) {
    const std::string s = kSquare;
    const std::pair<std::string, std::string> cases[] = {
        {s + "PU10,5;PD;AA5,5,90;",
         "L(a40000,20000>20000,40000c20000,20000r20000f0) | @20000,40000"},
        {s + "PU10,5;PD;AR-5,0,90;",
         "L(a40000,20000>20000,40000c20000,20000r20000f0) | @20000,40000"},
        {s + "PU0,0;PD;AT5,5,10,0;", "L(a0,0>40000,0c20000,0r20000f1) | @40000,0"},
        {s + "PU0,0;PD;RT5,5,10,0;", "L(a0,0>40000,0c20000,0r20000f1) | @40000,0"},
        {s + "PU5,5;CI2;", "L(a28000,20000>28000,20000c20000,20000r8000f2) | @20000,20000"},
        {s + "PU5,5;EW2,0,90;",
         "P(20000,20000 a28000,20000>20000,28000c20000,20000r8000f0) | @20000,20000"},
        {s + "PU1,1;ER2,3;", "P(4000,4000 4000,16000 12000,16000 12000,4000) | @4000,4000"},
        {s + "PU1,1;EA5,5;", "P(4000,4000 4000,20000 20000,20000 20000,4000) | @4000,4000"},
        // Mirrored in x: a counter-clockwise sweep of user units runs clockwise on the page.
        {"IP0,0,1000,1000;SC10,0,0,10;PU0,5;PD;AA5,5,90;",
         "L(a40000,20000>20000,0c20000,20000r20000f1) | @20000,0"},
        {"IP0,0,1000,1000;SC10,0,0,10;PU5,5;EW2,0,90;",
         "P(20000,20000 a12000,20000>20000,28000c20000,20000r8000f1) | @20000,20000"},
        // Polygon mode gathers the scaled strokes.
        {s + "PM0;PU0,0;PD10,0,10,10;PM2;FP;", "P(0,0 40000,0 40000,40000) | @40000,40000"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scaled(text), expected) << text;
}

TEST(HpglScaling, EncodedPolylinesAreUserUnits) {
    // Base 64, one terminating digit each: 3 is 191 + 6, 4 is 191 + 8; ">" then 192 gives one
    // fraction bit. "=" makes the pair absolute.
    const std::pair<std::string, std::string> cases[] = {
        {std::string(kSquare) + "PU1,1;PE\xc5\xc7;", "L(4000,4000 16000,20000) | @16000,20000"},
        {std::string(kSquare) + "PU1,1;PE>\xc0\xc5\xc7;",
         "L(4000,4000 10000,12000) | @10000,12000"},
        {std::string(kSquare) + "PU1,1;PE=\xc5\xc7;", "L(4000,4000 12000,16000) | @12000,16000"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scaled(text), expected) << text;
}

TEST(HpglScaling, LabelsPlacedByTheScalingSizedAsBefore) {
    // The position follows the scaling; the size does not (SI in centimetres, the defaults).
    PlotRun square(std::string(kSquare) + "PU5,5;LBA\x03SI1,1;LBB\x03", 40.0, true);
    ASSERT_EQ(square.texts.size(), 2u);
    EXPECT_EQ(square.texts[0]->position, QsPoint(20000, 20000));
    EXPECT_EQ(square.texts[0]->height, 4600);
    EXPECT_EQ(square.texts[1]->width, 25000);
    // Turned: the label runs up the page, and CP moves a line towards the left of the page.
    PlotRun turned("RO90;PU100,100;LBA\x03", 40.0, true);
    ASSERT_EQ(turned.texts.size(), 1u);
    EXPECT_EQ(turned.texts[0]->position, QsPoint(1252000, 4000));
    EXPECT_DOUBLE_EQ(turned.texts[0]->angle, std::numbers::pi / 2);
    EXPECT_EQ(PlotRun("RO90;PU100,100;CP0,1;", 40.0, true).pen(), QsPoint(1246480, 4000));
    EXPECT_EQ(PlotRun("PU100,100;CP0,1;", 40.0, true).pen(), QsPoint(4000, 9520));
}

TEST(HpglScaling, RefusedScalingAndRotation) {
    const std::pair<std::string, std::string> cases[] = {
        // Too few values, an empty range, an unknown type, half of left and bottom, a
        // percentage beyond 100, a factor of 0, not a number: the scaling before stays.
        {"SC1,2,3;SC1,1,0,10;SC0,1,0,1,3;SC0,1,0,1,1,50;SC0,1,0,1,1,150,0;SC0,0,0,1,2;SCx,1,2,3;"
         "PU1,1;PD2,2;",
         "#56 #56 #56 #56 #56 #56 #56 | L(40,40 80,80) | @80,80"},
        // P1 and P2 on one vertical line map no x: refused.
        {"IP0,0,0,100;SC0,10,0,10;PU1,1;PD2,2;", "#56 | L(40,40 80,80) | @80,80"},
        // A page change that leaves such a scaling falls back to plotter units until a later
        // one maps again.
        {"IP0,0,100,100;SC0,10,0,10;IP0,0,0,100;PU5,5;PD10,10;IP0,0,100,100;PD10,0;",
         "L(200,200 400,400) | L(0,0 4000,0) | @4000,0"},
        {"RO45;ROx;RO-90;PU0,0;PD1,0;", "#57 #57 #57 | L(0,0 40,0) | @40,0"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(scaled(text), expected) << text;
}

TEST(HpglScaling, WithoutTheOptionScalingIsIgnored) {
    const std::string plot = "IP100,100,1100,1100;SC0,10,0,10,1;RO90;PU0,0;PD10,10;CI1;";
    EXPECT_EQ(dumpShapes(plot), "L(0,0 400,400) | L(a440,400>440,400c400,400r40f2) | @400,400");
    Plot plain(plot);
    plain.batches();
    EXPECT_EQ(plain.in->statementCounts().of("SC"), 0);
    EXPECT_EQ(plain.in->statementCounts().ignored, 2);
    Plot withScaling(plot, 40.0, true);
    withScaling.batches();
    EXPECT_EQ(withScaling.in->statementCounts().of("SC"), 1);
    EXPECT_EQ(withScaling.in->statementCounts().of("RO"), 1);
    EXPECT_EQ(withScaling.in->statementCounts().ignored, 0);
}

namespace {

// The ellipse centre + (ax cos t, by sin t) on the page.
QsEllipticArc pageEllipse(QsDPoint c, double ax, double by) {
    return QsEllipticArc(c, QsDPoint(ax, 0), QsDPoint(0, by), 2 * std::numbers::pi);
}

// How far the points of a figure's records (vertices, arc ends and 32 points along each arc)
// stray from the ellipse, and whether every arc record carries the width.
struct ChainCheck {
    double worst = 0.0;
    int arcs = 0;
    bool widths = true;
    QsPoint first, last;
};

ChainCheck checkChain(const QsRecordFigure& f, const QsEllipticArc& e, int32_t width,
                      int skipVertices = 0) {
    ChainCheck c;
    bool begun = false;
    for (int i = 0; i < f.usedCount(); ++i) {
        const QsPolyRecord& r = f.record(i);
        if (r.isVertex()) {
            if (skipVertices-- > 0) continue;
            c.worst = std::max(c.worst, e.distanceTo(QsDPoint(r.point())));
            if (!begun) c.first = r.point(), begun = true;
            c.last = r.point();
            continue;
        }
        QsArc a;
        int32_t ws = 0, we = 0;
        if (!r.isArcFirst() || !f.extractArc(i, a, ws, we)) continue;
        ++c.arcs;
        c.widths = c.widths && ws == width && we == width;
        if (!begun) c.first = a.start, begun = true;
        c.last = a.end;
        const QsDPoint centre = a.centre();
        const double turn = a.sweepAngle();
        for (int k = 0; k <= 32; ++k) {
            const double t = a.startAngle() + turn * k / 32;
            c.worst = std::max(c.worst, e.distanceTo(QsDPoint(centre.x + a.radius * std::cos(t),
                                                              centre.y + a.radius * std::sin(t))));
        }
    }
    return c;
}

}  // namespace

TEST(HpglScaling, UnequalScalesMakeEllipsesOfArcs) {
    const std::string w = kWide;
    // The ellipses: user circle of radius 5 about (5, 5) is 40000 x 20000 about (40000, 20000).
    const QsEllipticArc wide = pageEllipse({40000, 20000}, 40000, 20000);
    // Turned a quarter: the axes swap and the centre is plotter (1000, 500) turned.
    const QsEllipticArc turned = pageEllipse({1236000, 40000}, 20000, 40000);
    const struct {
        std::string plot;
        const QsEllipticArc* ellipse;
        QsPoint first, last;
        int skip;  // the centre vertex of a wedge
    } cases[] = {
        {w + "LT2;PW0.1;PU5,5;CI5;", &wide, {80000, 20000}, {80000, 20000}, 0},
        {w + "LT2;PW0.1;PU5,5;CI-5;", &wide, {0, 20000}, {0, 20000}, 0},
        {w + "LT2;PW0.1;PU10,5;PD;AA5,5,90;", &wide, {80000, 20000}, {40000, 40000}, 0},
        {w + "LT2;PW0.1;PU10,5;PD;AA5,5,-90;", &wide, {80000, 20000}, {40000, 0}, 0},
        {w + "LT2;PW0.1;PU10,5;PD;AR-5,0,270;", &wide, {80000, 20000}, {40000, 0}, 0},
        {w + "LT2;PW0.1;PU0,5;PD;AT5,10,10,5;", &wide, {0, 20000}, {80000, 20000}, 0},
        {w + "LT2;PW0.1;PU0,5;PD;RT5,5,10,0;", &wide, {0, 20000}, {80000, 20000}, 0},
        {w + "LT2;PW0.1;PU0,5;PD;AT10,5,0,5;", &wide, {0, 20000}, {0, 20000}, 0},
        {w + "PW0.1;PU5,5;EW5,0,90;", &wide, {80000, 20000}, {40000, 40000}, 1},
        {w + "PW0.1;PU5,5;WG5,0,360;", &wide, {80000, 20000}, {80000, 20000}, 0},
        {"RO90;" + w + "LT2;PW0.1;PU5,5;CI5;", &turned, {1236000, 80000}, {1236000, 80000}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plot);
        PlotRun run(c.plot, 40.0, true);
        ASSERT_EQ(run.codes.size(), 0u);
        const QsFigure* figure = nullptr;
        for (const StatementBatch& b : run.batches) {
            for (const BatchFigure& bf : b.figures) {
                ASSERT_EQ(figure, nullptr);
                figure = &figureOf(bf);
            }
        }
        ASSERT_NE(figure, nullptr);
        const auto& f = static_cast<const QsRecordFigure&>(*figure);
        const ChainCheck chain = checkChain(f, *c.ellipse, 10000, c.skip);
        EXPECT_GT(chain.arcs, 4);
        EXPECT_LT(chain.arcs, 200);
        EXPECT_LE(chain.worst, 1.0);
        EXPECT_EQ(chain.first, c.first);
        EXPECT_EQ(chain.last, c.last);
        if (f.typeCode() == kQsTypePolyline) {
            // Width and line style reach the whole chain.
            EXPECT_TRUE(chain.widths);
            EXPECT_EQ(static_cast<const QsPolyline&>(f).firstAttribute(), 1);
        } else {
            EXPECT_EQ(static_cast<const QsPolygon&>(f).lineWidth(), 10000);
        }
    }
    // Arcs move the pen to their end; the pen does not stay behind.
    EXPECT_EQ(PlotRun(w + "PU10,5;AA5,5,90;", 40.0, true).pen(), QsPoint(40000, 40000));
    // Less than a unit across: nothing to draw, as for a circle of radius 0.
    EXPECT_EQ(scaled(w + "PU5,5;CI0.00001;"), "#20 | @40000,20000");
    // Collinear in user units: a straight segment.
    EXPECT_EQ(scaled(w + "PU0,0;PD;AT5,0,10,0;"), "L(0,0 80000,0) | @80000,0");
}

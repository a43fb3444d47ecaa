// Labels and character attributes, driven by HP-GL text: the texts a label makes, terminators,
// sizes, origins, directions, character-plot moves and where the pen ends up, with and without
// the bundled stroke font.
#include <gtest/gtest.h>

#include "support/FreshFontLookup.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "HpglTestUtil.h"
#include "base/SysEnv.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"
#include "geom/QsBox.h"
#include "hpgl/HpglHandlers.h"

using testsupport::ScopedEnv;

namespace {

constexpr double kPi = std::numbers::pi;
// Default sizes at the unit factor 40: pitch 9, height 11.5 points.
constexpr int32_t kSpacing = 11111;
constexpr int32_t kWidth = 7407;
constexpr int32_t kLine = 5520;
// DR 1,0.5 on the default page: run 31400 * 40, rise 22450 * 40 * 0.5.
const double kDrSlope = std::atan2(449000.0, 1256000.0);

// Each test decides whether the bundled font is installed; the lookup caches are cleared.
class HpglLabels : public FreshFontLookupTest {
protected:
    ScopedEnv project_{"NVL_PROJECT_ROOT", std::nullopt};
    ScopedEnv local_{"QLOCALROOT", std::nullopt};
    ScopedEnv install_{"QRXROOT", std::nullopt};
    ScopedEnv fontPath_{"QFONT_PATH", std::nullopt};
};

}  // namespace

TEST_F(HpglLabels, TextsAndTerminators) {
    const char refused[] = "DT;;DT\0;DT\x1b;DT#,2;LBAB\x03";
    const struct {
        std::string plot;
        std::vector<std::string> texts;
        std::vector<int32_t> codes;
    } cases[] = {
        // CR and LF flush: AB, an empty text at the carriage-return point, one on the next line.
        {"LBAB\r\n\x03", {"AB", "", ""}, {}},
        {"LBA\016B\017C\003", {"A", "B", "C"}, {}},
        {"DT#;LBA\003B#", {"A", "B"}, {}},
        {"LBAB\rCD", {"AB"}, {}},  // cut off by the end of the input
        {"LB", {}, {kHpglCodeLB}},
        {"DT#,0;LBAB#LBC#", {"AB#", "C#"}, {}},
        {"DT\r,0;LBAB\r", {"AB"}, {}},  // a printed carriage return keeps its meaning
        // Refused terminators (";", NUL, escape) and modes leave the terminator at 3.
        {std::string(refused, sizeof refused - 1), {"AB"}, std::vector<int32_t>(4, kHpglCodeDT)},
        // Texts drawn in polygon mode are dropped with the strokes.
        {"PM0;PD100,0,100,100;LBin\x03;PD0,0;PM2;EP;LBout\x03", {"out"}, {}},
    };
    for (const auto& c : cases) {
        PlotRun run(c.plot);
        EXPECT_EQ(run.strings, c.texts) << c.plot;
        EXPECT_EQ(run.codes, c.codes) << c.plot;
    }

    PlotRun crlf("PA1000,2000;LBAB\r\n\x03");
    ASSERT_EQ(crlf.texts.size(), 3u);
    EXPECT_EQ(crlf.texts[1]->position, QsPoint(40000, 80000));
    EXPECT_EQ(crlf.texts[2]->position, QsPoint(40000, 80000 - kLine));
    EXPECT_EQ(crlf.margin(), QsPoint(40000, 80000 - kLine));  // the line feed moved it too
    EXPECT_EQ(crlf.texts[0]->fontNumber, kStandardFontNumber);
    EXPECT_EQ(crlf.texts[0]->wideFontNumber, kJapaneseFontNumber);
    EXPECT_EQ(PlotRun("AD3,10;LBA\016B\003").texts[1]->width, 6666);  // shift out: alternate
}

TEST_F(HpglLabels, SizesOriginsAndDirections) {
    const struct {
        const char* plot;
        int32_t width, spacing, height, lineSpacing;
        int mirror, justification;
        double angle;
        std::vector<int32_t> codes;
    } cases[] = {
        {"", kWidth, kSpacing, 4600, kLine, 0, 0, 0, {}},
        // Centimetres: trunc(625 * 40 * w); spacing 1.5 and line spacing 1.2 times the size.
        {"SI-0.285,0.375", -7124, -10686, 9375, 11250, 1, 0, 0, {}},
        {"SI0.2,-0.3", 5000, 7500, -7500, -9000, 2, 0, 0, {}},
        {"SI-1,-1;SI", kWidth, kSpacing, 4600, kLine, 0, 0, 0, {}},
        {"SI0.2;SR1;ES1.5;LOx",
         kWidth,
         kSpacing,
         4600,
         kLine,
         0,
         0,
         0,
         {kHpglCodeSI, kHpglCodeSR, kHpglCodeES, kHpglCodeLO}},
        // Fractions of P2x - P1x, as given.
        {"SR0.01,-0.02", 12560, 18840, -25120, -30144, 2, 0, 0, {}},
        {"IP0,0,100,100;SR", 3000, 4500, 6000, 7200, 0, 0, 0, {}},
        {"SD1,21,3,10,4,20", 6666, 10000, 8000, 9600, 0, 0, 0, {}},
        {"SD3,10,4,x", 6666, 10000, 4600, kLine, 0, 0, 0, {kHpglCodeSD}},
        {"AD3,10", kWidth, kSpacing, 4600, kLine, 0, 0, 0, {}},
        {"AD3,10;SA", 6666, 10000, 4600, kLine, 0, 0, 0, {}},
        // Extra space compounds; 0 restores the plain proportions; -1 leaves no spacing.
        {"ES0.5;ES0.5", kWidth, 25001, 4600, kLine, 0, 0, 0, {}},
        {"ES0.5,0.5;ES0,0.5", kWidth, 11110, 4600, 12420, 0, 0, 0, {}},
        {"SA;ES-1,-1;SS", kWidth, 0, 4600, 0, 0, 0, 0, {}},
        // Directions: the angle of the text lies in [0, 2 pi).
        {"DI1,1", kWidth, kSpacing, 4600, kLine, 0, 0, kPi / 4, {}},
        {"DR0,-5", kWidth, kSpacing, 4600, kLine, 0, 0, 3 * kPi / 2, {}},
        {"DR1,0.5", kWidth, kSpacing, 4600, kLine, 0, 0, kDrSlope, {}},
        {"DI1,1;DI1;DR1", kWidth, kSpacing, 4600, kLine, 0, 0, kPi / 4, {kHpglCodeDI, kHpglCodeDR}},
    };
    for (const auto& c : cases) {
        PlotRun run(std::string(c.plot) + ";LBA\x03");
        ASSERT_EQ(run.texts.size(), 1u) << c.plot;
        const QsText& t = *run.texts[0];
        EXPECT_EQ(t.width, c.width) << c.plot;
        EXPECT_EQ(t.spacing, c.spacing - c.width) << c.plot;
        EXPECT_EQ(t.height, c.height) << c.plot;
        EXPECT_EQ(t.lineSpacing, c.lineSpacing - c.height) << c.plot;
        EXPECT_EQ(t.mirror, c.mirror) << c.plot;
        EXPECT_EQ(t.justification, c.justification) << c.plot;
        EXPECT_NEAR(t.angle, c.angle, 1e-12) << c.plot;
        EXPECT_EQ(run.codes, c.codes) << c.plot;
    }

    // Origins 1 to 9 and 11 to 19 run up the columns of a three-by-three grid.
    const int codes[20] = {0, 0, 4, 8, 1, 5, 9, 2, 6, 10, 0, 0, 4, 8, 1, 5, 9, 2, 6, 10};
    for (int origin = 0; origin < 20; ++origin) {
        PlotRun run("LO" + std::to_string(origin) + ";LBA\x03");
        EXPECT_EQ(run.texts[0]->justification, codes[origin]) << origin;
    }

    // DV is not a command of a plot: its text path stays.
    EXPECT_EQ(PlotRun("DV1;LBA\x03").texts[0]->path, 0);
}

TEST_F(HpglLabels, PenMovesWithFixedPitch) {
    const struct {
        std::string plot;
        QsPoint pen, margin;
        std::vector<int32_t> codes;
    } cases[] = {
        {"CP0,1", {0, kLine}, {0, kLine}, {}},
        {"CP0.5,-0.5", {5556, -2760}, {0, -2760}, {}},
        {"DI0,1;CP1,0", {0, kSpacing}, {0, 0}, {}},
        {"SI-0.285,0.375;CP1,0", {10686, 0}, {0, 0}, {}},
        {"PA100,100;CP3,0;CP", {4000, 4000 - kLine}, {4000, 4000 - kLine}, {}},
        {"CP1;CP1e6,0", {0, 0}, {0, 0}, {kHpglCodeCP, kHpglCodeCP}},
        // After a label of n characters the pen has moved n spacings; a line feed moves down
        // without returning to the margin.
        {"LBABCD\x03", {4 * kSpacing, 0}, {0, 0}, {}},
        {"LBAB\nCD\x03", {4 * kSpacing, -kLine}, {0, -kLine}, {}},
        {"DR0,1;LBABC\x03", {0, 3 * kSpacing}, {0, 0}, {}},
        {"ES-1;LBABC\x03", {0, 0}, {0, 0}, {}},
        // Width -7124, gap -3562: the mirrored box of AB reaches 17810; plus the gap, mirrored
        // back about the position. A mirrored height keeps the pen on the baseline.
        {"SI-0.285,0.375;LBAB\x03", {-14248, 0}, {0, 0}, {}},
        {"SI0.2,-0.3;LBAB\x03", {15000, 0}, {0, 0}, {}},
    };
    for (const auto& c : cases) {
        PlotRun run(c.plot);
        EXPECT_EQ(run.pen(), c.pen) << c.plot;
        EXPECT_EQ(run.margin(), c.margin) << c.plot;
        EXPECT_EQ(run.codes, c.codes) << c.plot;
    }
}

// Labels near the edge of the coordinate range: the box of the unrotated text (its corners are
// coordinates) must lie in the range, and so must the end point, which is turned about the
// position however far from it; the text a label makes is boxed by its turned outline.
TEST_F(HpglLabels, LabelsNearTheRangeEdge) {
    const std::string ab = "LBAB\x03";
    const struct {
        std::string plot;
        std::string text;  // the box of the text made, "" for none
        std::vector<int32_t> codes;
        QsPoint pen;
    } cases[] = {
        // A box whose top (height 5000000), right side (width 2500000: "AB" reaches 6250000) or
        // mirrored top leaves the range fails the label, also when the turned end would fit.
        {"PA0,53600000;SI0.1,200;" + ab, "", {kHpglCodeLB}, {0, 2144000000}},
        {"PA53600000,0;DI0,1;SI100,0.1;" + ab, "", {kHpglCodeLB}, {2144000000, 0}},
        {"PA0,53687000;SI0.2,-0.3;" + ab, "", {kHpglCodeLB}, {0, 2147480000}},
        {"PA53600000,0;DI0,1;SI1,0.1;" + ab,
         "2143997500,0 2144000000,62500",
         {},
         {2144000000, 75000}},
        // Width 800000000, spacing 1200000000: the box of AB ends at -100000000 and the end 2.4e9
        // from the position, in range once turned: straight on, or a quarter turn up.
        {"PA-52500000,0;SI32000,0.1;" + ab, "-2100000000,0 -100000000,2500", {}, {300000000, 0}},
        {"PA-52500000,-52500000;DI0,1;SI32000,0.1;" + ab,
         "-2100002500,-2100000000 -2100000000,-100000000",
         {},
         {-2100000000, 300000000}},
        // Turned straight on, the end would leave the range.
        {"PA-52500000,0;DI-1,0;SI32000,0.1;" + ab, "", {kHpglCodeLB}, {-2100000000, 0}},
        // A text a quarter turn down at the left edge: its turned outline lies inside.
        {"PA-53687000,0;DI0,-1;LBA\x03",
         "-2147480000,-7407 -2147475400,0",
         {},
         {-2147480000, -11111}},
    };
    for (const auto& c : cases) {
        PlotRun run(c.plot);
        std::string made;
        QsBox box;
        if (run.texts.size() == 1 && run.texts[0]->getBox(box)) {
            made = std::to_string(box.x1) + "," + std::to_string(box.y1) + " " +
                   std::to_string(box.x2) + "," + std::to_string(box.y2);
        } else if (!run.texts.empty()) {
            made = "no box";
        }
        EXPECT_EQ(made, c.text) << c.plot;
        EXPECT_EQ(run.codes, c.codes) << c.plot;
        EXPECT_EQ(run.pen(), c.pen) << c.plot;
    }
}

TEST_F(HpglLabels, PenMovesWithBundledFont) {
    ScopedEnv root("QRXROOT", testsupport::bundledRoot());
    fresh();
    ASSERT_NE(SystemFontTable::instance().findFont(kStandardFontNumber), nullptr);
    const int32_t gap = kSpacing - kWidth;
    for (const std::string s : {"iiii", "WWWW", "A b-C"}) {
        const int64_t width =
            measureText(kWidth, 4600, gap, kLine - 4600, kStandardFontNumber, s).width;
        EXPECT_EQ(PlotRun("LB" + s + "\x03").pen(), QsPoint(int32_t(width + gap), 0)) << s;
        EXPECT_EQ(PlotRun("DI0,1;LB" + s + "\x03").pen(), QsPoint(0, int32_t(width + gap))) << s;
    }
    EXPECT_LT(PlotRun("LBiiii\x03").pen().x, PlotRun("LBWWWW\x03").pen().x);
}

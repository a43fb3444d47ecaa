// Strokes of PA, PR, PD and PU in output units, line finishing, and PE decoding.
#include <gtest/gtest.h>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"

namespace {

// One PE number: sign folded into the lowest bit, digits least significant first, the last
// digit raised by the terminator offset.
std::string encode(long long v, int base = 64) {
    unsigned long long m = v >= 0 ? 2ULL * v : 2ULL * static_cast<unsigned long long>(-v) + 1;
    const int limit = base == 64 ? 128 : 32;
    std::string s;
    do {
        const int d = static_cast<int>(m % base);
        m /= base;
        s.push_back(static_cast<char>(63 + d + (m == 0 ? limit : 0)));
    } while (m != 0);
    return s;
}

}  // namespace

TEST(HpglVector, Strokes) {
    std::string tenSteps;
    for (int i = 0; i < 10; ++i)
        tenSteps += ".3125,0,";
    const struct {
        std::string text;
        double k;
        std::vector<std::string> lines;
        std::vector<int32_t> codes;
        double x, y;  // the pen position afterwards, also the carriage-return point's x
    } cases[] = {
        {"PU0,0;PD10,0,10,10;", 40, {"L(0,0 400,0 400,400)"}, {}, 400, 400},
        {"PD;", 40, {}, {}, 0, 0},
        {"PD;PA5,5,7;", 40, {"L(0,0 200,200)"}, {}, 200, 200},
        {"PD;PR1,1,1,1,1,1;", 40, {"L(0,0 40,40 80,80 120,120)"}, {}, 120, 120},
        {"PD;PA5;", 40, {"L(0,0)"}, {}, 0, 0},
        {"PU1,2;PD;PA3,4;PU5,6;", 40, {"L(40,80 120,160)"}, {}, 200, 240},
        // Strokes are never joined across statements.
        {"PD1,0;PD2,0;", 40, {"L(0,0 40,0)", "L(40,0 80,0)"}, {}, 80, 0},
        // Rounding half away from zero at other scales; the real position is kept, so ten
        // relative moves of 0.3125 plotter units end at 125, not at 10 * round(12.5) = 130.
        {"PD1,-1;", 62.5, {"L(0,0 63,-63)"}, {}, 62.5, -62.5},
        {"PD0.3,0.5;", 25, {"L(0,0 8,13)"}, {}, 7.5, 12.5},
        {"PR;PD-0.1,-0.1,0.1,0.1;", 25, {"L(0,0 -3,-3 0,0)"}, {}, 0, 0},
        {"PR;PU" + tenSteps + "PD0,0;", 40, {"L(125,0 125,0)"}, {}, 125, 0},
        // A failing statement commits nothing (also a value beyond the 32-bit range).
        {"PD1,x;", 40, {}, {kHpglCodePD}, 0, 0},
        {"PR1e999,0;", 40, {}, {kHpglCodePR}, 0, 0},
        {"PU1e9,0;", 40, {}, {kHpglCodePU}, 0, 0},
        {"PD1,1,1e300,0;", 40, {}, {kHpglCodePD}, 0, 0},
        // Butt ends: 20 units off each end of a 40-unit-wide stroke; a first segment shorter
        // than that: no figure, codes 52 and the command's (the pen has moved).
        {"PW0.0004;LA1,1;PD10,0,10,10;", 40, {"L(20,0 400,0 400,380)e1w40"}, {}, 400, 400},
        {"PW0.0004;LA1,1;PD0.25,0,10,0;", 40, {}, {kHpglCodeLineFinish, kHpglCodePD}, 400, 0},
        {"PW0.0004;LA1,1;PD;PA5;", 40, {}, {kHpglCodeLineFinish, kHpglCodePA}, 0, 0},
        // Width 0 leaves butt ends in place; square, triangular and dashed lines.
        {"LA1,1;PD1,0;", 40, {"L(0,0 40,0)e1"}, {}, 40, 0},
        {"LA1,2;LT2;PD1,0;", 40, {"L(0,0 40,0)s1e1"}, {}, 40, 0},
        {"LA1,3;PD1,0;", 40, {"L(0,0 40,0)"}, {}, 40, 0},
        // The width applies to its own pen only.
        {"PW0.0004,2;SP1;PD1,0;SP2;PD2,0;", 40, {"L(0,0 40,0)", "L(40,0 80,0)w40"}, {}, 80, 0},
        // Polygon mode: width, but no line type and no line ends.
        {"PW0.0004;LA1,1;LT1;PM0;PD1,0;", 40, {"L(0,0 40,0)w40"}, {}, 40, 0},
    };
    for (const auto& c : cases) {
        const PlotRun run(c.text, c.k);
        EXPECT_EQ(run.lines, c.lines) << c.text;
        EXPECT_EQ(run.codes, c.codes) << c.text;
        const PenState& pen = run.plot.in->pen();
        EXPECT_EQ(pen.current.x, c.x) << c.text;
        EXPECT_EQ(pen.current.y, c.y) << c.text;
        EXPECT_EQ(pen.previous.x, c.x) << c.text;
    }
    // More vertices than a polyline holds.
    std::string many = "PD";
    for (int i = 0; i < 65536; ++i)
        many += "1,1,";
    EXPECT_EQ(PlotRun(many).codes, (std::vector<int32_t>{kHpglCodeVertexAppend, kHpglCodePD}));
}

TEST(HpglVector, EncodedPolylines) {
    const std::string b64 = std::string(1, static_cast<char>(191 + 2));  // two fraction bits
    const struct {
        std::string data;
        std::vector<std::string> lines;
        int16_t pen;
        std::vector<int32_t> codes;
    } cases[] = {
        // Relative pairs form one polyline from the pen position.
        {encode(1) + encode(2) + encode(3) + encode(-4), {"L(0,0 40,80 160,-80)"}, 0, {}},
        // An absolute pair stands alone; "=" starts the next group.
        {"=" + encode(10) + encode(20) + "=" + encode(1) + encode(1),
         {"L(0,0 400,800)", "L(400,800 40,40)"},
         0,
         {}},
        // A pen-up move, then a pen-down group from there.
        {"<" + encode(5) + encode(5) + encode(1) + encode(1), {"L(200,200 240,240)"}, 0, {}},
        {"<=" + encode(-5) + "=" + encode(5) + encode(1) + encode(1),
         {"L(-200,200 -160,240)"},
         0,
         {}},
        // Large values and fraction bits (10 / 4 = 2.5 plotter units).
        {encode(100000) + encode(-1), {"L(0,0 4000000,-40)"}, 0, {}},
        {">" + b64 + encode(10) + encode(-10), {"L(0,0 100,-100)"}, 0, {}},
        {"7>a" + encode(10, 32) + encode(-10, 32), {"L(0,0 100,-100)"}, 0, {}},
        // Pairs reach PD as "%.10g" text: 0.0124999999999993 plotter units (50 fraction bits)
        // pass as 0.0125, which rounds to 1 output unit.
        {">\xf1" + encode(14073748835532) + encode(0), {"L(0,0 1,0)"}, 0, {}},
        // Base 32, then pen select.
        {"7" + encode(3, 32) + encode(-70, 32) + ":" + encode(3, 32), {"L(0,0 120,-2800)"}, 3, {}},
        // A digit exactly at the terminator offset ends its number (0 is that digit alone); one
        // below it does not (127, then the terminating 0: magnitude 127, value -63).
        {encode(0) + encode(1), {"L(0,0 0,40)"}, 0, {}},
        {"7" + encode(0, 32) + encode(1, 32), {"L(0,0 0,40)"}, 0, {}},
        {"\xbe" + encode(0) + encode(1), {"L(0,0 -2520,40)"}, 0, {}},
        {"7^" + encode(0, 32) + encode(1, 32), {"L(0,0 -600,40)"}, 0, {}},
        // Data that ends inside a number keeps the digits read so far (C = digit 4: value 2).
        {encode(1) + "C", {"L(0,0 40,80)"}, 0, {}},
        // Failures of the last group.
        {":", {}, 0, {kHpglCodePE}},
        {"<" + encode(1), {}, 0, {kHpglCodePE}},
        {"=", {}, 0, {kHpglCodePE}},
        {":" + encode(-1), {}, 0, {kHpglCodeSP, kHpglCodePE}},
        // A magnitude beyond 64 bits fails its group.
        {std::string(12, '~') + encode(1), {}, 0, {kHpglCodePE}},
    };
    for (const auto& c : cases) {
        const PlotRun run("PR;PE" + c.data + ";");
        EXPECT_EQ(run.lines, c.lines) << c.data;
        EXPECT_EQ(run.plot.in->pen().number, c.pen) << c.data;
        EXPECT_EQ(run.codes, c.codes) << c.data;
        EXPECT_FALSE(run.plot.in->pen().absolute);  // restored after PE
    }
    // Without data PE only sets the carriage-return point.
    EXPECT_EQ(PlotRun("PU1,1;PE;").plot.in->pen().previous.x, 40.0);
}

// Groups whose data ends early or meets a flag character.
TEST(HpglVector, EncodedGroupsEndingEarlyOrMeetingAFlag) {
    const std::string pen3 = ":" + encode(3);
    const struct {
        std::string data;
        double k;
        std::vector<std::string> lines;
        std::vector<int32_t> codes;
        int16_t pen;
        QsPoint at;  // the pen position afterwards
    } cases[] = {
        // The y of a pair follows its x without a check: data that ends there reads 0, and a
        // flag character there is a digit of y (":" is digit -5: -5 + 6 * 64 = 379, i.e. -189).
        {encode(5), 40, {"L(0,0 200,0)"}, {}, 0, {200, 0}},
        {encode(5) + "=", 40, {"L(0,0 200,0)"}, {}, 0, {200, 0}},
        {"=" + encode(5), 40, {"L(0,0 200,0)"}, {}, 0, {200, 0}},
        {encode(1) + pen3, 40, {"L(0,0 40,-7560)"}, {}, 0, {40, -7560}},
        // Letters after the data ("PUSP0" up to the semicolon): digits 17, 22, 20, 17, -15 make
        // the magnitude -247118447, the value 123559224; too far at the default scale.
        {"PUSP0", 12.5, {"L(0,0 1544490300,0)"}, {}, 0, {1544490300, 0}},
        {"PUSP0", 40, {}, {kHpglCodePD, kHpglCodePE}, 0, {0, 0}},
        // A pair begins only on a number character other than "=", the first pair too: "="
        // before a flag or another "=" makes a PD without pairs, and the flag is handled next.
        {"=" + pen3, 40, {}, {}, 3, {0, 0}},
        {"==" + encode(1) + encode(2), 40, {"L(0,0 40,80)"}, {}, 0, {40, 80}},
        {"=<" + encode(1) + encode(2), 40, {}, {}, 0, {40, 80}},
        {"=7" + encode(1, 32) + encode(2, 32), 40, {"L(0,0 40,80)"}, {}, 0, {40, 80}},
        {"=>" + std::string(1, '\xc1') + encode(4) + encode(8),
         40,
         {"L(0,0 40,80)"},
         {},
         0,
         {40, 80}},
        // A relative group runs up to the flag after its last pair.
        {encode(1) + encode(1) + pen3 + encode(1) + encode(1),
         40,
         {"L(0,0 40,40)", "L(40,40 80,80)"},
         {},
         3,
         {80, 80}},
        // The ends of the other groups: "=" alone fails, as does "<=" (x reads 0, but y needs a
        // number character); a pen-up y after its "=" reads 0.
        {"=", 40, {}, {kHpglCodePE}, 0, {0, 0}},
        {"<=", 40, {}, {kHpglCodePE}, 0, {0, 0}},
        {"<" + encode(2) + "=", 40, {}, {}, 0, {80, 0}},
    };
    for (const auto& c : cases) {
        const PlotRun run("PR;PE" + c.data + ";", c.k);
        EXPECT_EQ(run.lines, c.lines) << c.data;
        EXPECT_EQ(run.codes, c.codes) << c.data;
        EXPECT_EQ(run.plot.in->pen().number, c.pen) << c.data;
        EXPECT_EQ(run.pen(), c.at) << c.data;
    }
    // The empty group of "=" puts the pen down.
    EXPECT_TRUE(PlotRun("PU;PE=" + pen3 + ";").plot.in->pen().down);
}

// Strokes of PA, PR, PD and PU in output units, line finishing, and PE decoding.
#include <gtest/gtest.h>

#include <cstdlib>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"

namespace {

using Points = std::vector<QsPoint>;

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

TEST(HpglVector, StrokeVertices) {
    const struct {
        std::string text;
        double k;
        std::vector<Points> strokes;
        double x, y;  // the pen position afterwards
    } cases[] = {
        {"PU0,0;PD10,0,10,10;", 40, {{{0, 0}, {400, 0}, {400, 400}}}, 400, 400},
        {"PD;", 40, {}, 0, 0},
        {"PD;PA5,5,7;", 40, {{{0, 0}, {200, 200}}}, 200, 200},
        {"PD;PR1,1,1,1,1,1;", 40, {{{0, 0}, {40, 40}, {80, 80}, {120, 120}}}, 120, 120},
        {"PD;PA5;", 40, {{{0, 0}}}, 0, 0},
        {"PU10,10;", 40, {}, 400, 400},
        {"PU1,2;PD;PA3,4;PU5,6;", 40, {{{40, 80}, {120, 160}}}, 200, 240},
        // Strokes are never joined across statements.
        {"PD1,0;PD2,0;", 40, {{{0, 0}, {40, 0}}, {{40, 0}, {80, 0}}}, 80, 0},
        // Rounding half away from zero at other scales; the real position is kept.
        {"PD1,-1;", 62.5, {{{0, 0}, {63, -63}}}, 62.5, -62.5},
        {"PD0.3,0.5;", 25, {{{0, 0}, {8, 13}}}, 7.5, 12.5},
        {"PR;PD-0.1,-0.1,0.1,0.1;", 25, {{{0, 0}, {-3, -3}, {0, 0}}}, 0, 0},
        // Ten relative moves of 0.3125 plotter units: 125, not 10 * round(12.5) = 130.
        {"PR;PU0.3125,0,0.3125,0,0.3125,0,0.3125,0,0.3125,0,0.3125,0,0.3125,0,0.3125,0,"
         "0.3125,0,0.3125,0;PD0,0;",
         40,
         {{{125, 0}, {125, 0}}},
         125,
         0},
    };
    for (const auto& c : cases) {
        Plot plot(c.text, c.k);
        EXPECT_EQ(strokes(plot.batches()), c.strokes) << c.text;
        EXPECT_EQ(plot.in->current.x, c.x) << c.text;
        EXPECT_EQ(plot.in->current.y, c.y) << c.text;
        EXPECT_EQ(plot.in->previous.x, c.x) << c.text;
    }
}

TEST(HpglVector, FailingStatementsCommitNothing) {
    const struct {
        std::string text;
        std::vector<int32_t> codes;
    } cases[] = {
        {"PD1,x;", {kHpglCodePD}},
        {"PA1,1,x;", {kHpglCodePA}},
        {"PR1e999,0;", {kHpglCodePR}},
        {"PU1e9,0;", {kHpglCodePU}},  // 4e10 output units leave the 32-bit range
        {"PD1,1,1e300,0;", {kHpglCodePD}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        EXPECT_EQ(batches[0].codes, c.codes) << c.text;
        EXPECT_TRUE(strokes(batches).empty()) << c.text;
        EXPECT_EQ(plot.in->current.x, 0.0) << c.text;
    }
    // More vertices than a polyline holds.
    std::string many = "PD";
    for (int i = 0; i < 65536; ++i)
        many += "1,1,";
    Plot plot(many);
    EXPECT_EQ(plot.batches()[0].codes, (std::vector<int32_t>{kHpglCodeVertexAppend, kHpglCodePD}));
}

TEST(HpglVector, LineFinishing) {
    struct Expected {
        Points pts;
        int32_t width;
        int style, ends;
    };
    const struct {
        std::string text;
        std::vector<Expected> lines;
        std::vector<int32_t> codes;
    } cases[] = {
        // Butt ends: 20 units off each end of a 40-unit-wide stroke.
        {"PW0.0004;LA1,1;PD10,0,10,10;", {{{{20, 0}, {400, 0}, {400, 380}}, 40, 0, 1}}, {}},
        // A first segment shorter than half the width: no figure, codes 52 and the command's.
        {"PW0.0004;LA1,1;PD0.25,0,10,0;", {}, {kHpglCodeLineFinish, kHpglCodePD}},
        {"PW0.0004;LA1,1;PD;PA5;", {}, {kHpglCodeLineFinish, kHpglCodePA}},
        // Width 0 leaves butt ends in place.
        {"LA1,1;PD1,0;", {{{{0, 0}, {40, 0}}, 0, 0, 1}}, {}},
        {"LA1,2;LT2;PD1,0;", {{{{0, 0}, {40, 0}}, 0, 1, 1}}, {}},
        {"LA1,3;PD1,0;", {{{{0, 0}, {40, 0}}, 0, 0, 0}}, {}},
        // The width applies to its own pen only.
        {"PW0.0004,2;SP1;PD1,0;SP2;PD2,0;",
         {{{{0, 0}, {40, 0}}, 0, 0, 0}, {{{40, 0}, {80, 0}}, 40, 0, 0}},
         {}},
        // Polygon mode: width, but no line type and no line ends.
        {"PW0.0004;LA1,1;LT1;PM0;PD1,0;", {{{{0, 0}, {40, 0}}, 40, 0, 0}}, {}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        const auto batches = plot.batches();
        std::vector<int32_t> codes;
        std::vector<Expected> lines;
        for (const StatementBatch& b : batches) {
            codes.insert(codes.end(), b.codes.begin(), b.codes.end());
            for (const auto& f : b.figures) {
                const auto& line = static_cast<const QsPolyline&>(*f);
                lines.push_back({vertices(line), line.record(0).width(), line.firstAttribute(),
                                 line.secondAttribute()});
            }
        }
        codes.pop_back();
        EXPECT_EQ(codes, c.codes) << c.text;
        ASSERT_EQ(lines.size(), c.lines.size()) << c.text;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].pts, c.lines[i].pts) << c.text;
            EXPECT_EQ(lines[i].width, c.lines[i].width) << c.text;
            EXPECT_EQ(lines[i].style, c.lines[i].style) << c.text;
            EXPECT_EQ(lines[i].ends, c.lines[i].ends) << c.text;
        }
    }
}

TEST(HpglVector, EncodedPolylines) {
    const std::string b64 = std::string(1, static_cast<char>(191 + 2));  // two fraction bits
    const struct {
        std::string data;
        std::vector<Points> strokes;
        int16_t pen;
        std::vector<int32_t> codes;
    } cases[] = {
        // Relative pairs form one polyline from the pen position.
        {encode(1) + encode(2) + encode(3) + encode(-4), {{{0, 0}, {40, 80}, {160, -80}}}, 0, {}},
        // An absolute pair stands alone; "=" starts the next group.
        {"=" + encode(10) + encode(20) + "=" + encode(1) + encode(1),
         {{{0, 0}, {400, 800}}, {{400, 800}, {40, 40}}},
         0,
         {}},
        // A pen-up move, then a pen-down group from there.
        {"<" + encode(5) + encode(5) + encode(1) + encode(1), {{{200, 200}, {240, 240}}}, 0, {}},
        {"<=" + encode(-5) + "=" + encode(5) + encode(1) + encode(1),
         {{{-200, 200}, {-160, 240}}},
         0,
         {}},
        // Large values and fraction bits (10 / 4 = 2.5 plotter units).
        {encode(100000) + encode(-1), {{{0, 0}, {4000000, -40}}}, 0, {}},
        {">" + b64 + encode(10) + encode(-10), {{{0, 0}, {100, -100}}}, 0, {}},
        // Base 32, then pen select.
        {"7" + encode(3, 32) + encode(-70, 32) + ":" + encode(3, 32),
         {{{0, 0}, {120, -2800}}},
         3,
         {}},
        // Data that ends inside a number keeps the digits read so far (C = digit 4: value 2).
        {encode(1) + "C", {{{0, 0}, {40, 80}}}, 0, {}},
        // Failures of the last group.
        {":", {}, 0, {kHpglCodePE}},
        {"<" + encode(1), {}, 0, {kHpglCodePE}},
        {"=", {}, 0, {kHpglCodePE}},
        {":" + encode(-1), {}, 0, {kHpglCodeSP, kHpglCodePE}},
        // A magnitude beyond 64 bits fails its group.
        {std::string(12, '~') + encode(1), {}, 0, {kHpglCodePE}},
    };
    for (const auto& c : cases) {
        // PR ends a batch of its own; the PE batch is the second.
        Plot plot("PR;PE" + c.data + ";");
        const auto batches = plot.batches();
        ASSERT_GE(batches.size(), 2u);
        EXPECT_EQ(strokes(batches), c.strokes) << c.data;
        EXPECT_EQ(batches[1].pen, c.pen) << c.data;
        std::vector<int32_t> codes = batches[1].codes;
        if (!codes.empty() && codes.back() == kHpglCodeEndOfInput) codes.pop_back();
        EXPECT_EQ(codes, c.codes) << c.data;
        EXPECT_EQ(plot.in->absolute, 0);  // restored after PE
    }
    // Without data PE only sets the carriage-return point.
    Plot plot("PU1,1;PE;");
    plot.batches();
    EXPECT_EQ(plot.in->previous.x, 40.0);
}

// The plotter set-up and pen attribute handlers: their effect on the state and their failure
// codes, and numeric parameter parsing.
#include <gtest/gtest.h>

#include <cmath>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

TEST(HpglParams, LongestDecimalPrefix) {
    const double noReal = NAN;
    const int64_t noInt = INT64_MIN;
    const struct {
        const char* text;
        double real;
        int64_t integer;
    } cases[] = {
        {"12.5", 12.5, 12},
        {"-7.75", -7.75, -7},
        {" -3e2xyz", -300.0, -3},
        {"+.5", 0.5, noInt},
        {"5.", 5.0, 5},
        {"2E+", 2.0, 2},
        {"0x10", 0.0, 0},
        {"1e-400", 0.0, 1},
        {"0.10000000000000000", 0.1, 0},
        {"1e999", noReal, 1},
        {"2147483647", 2147483647.0, INT32_MAX},
        {"-2147483648", -2147483648.0, INT32_MIN},
        {"2147483648", 2147483648.0, noInt},
        {"99999999999999999999", 1e20, noInt},
        {".", noReal, noInt},
        {"-", noReal, noInt},
        {"inf", noReal, noInt},
        {"", noReal, noInt},
    };
    for (const auto& c : cases) {
        // Failures leave the output untouched.
        double v = -1.0;
        EXPECT_EQ(parseHpglReal(c.text, v), !std::isnan(c.real)) << c.text;
        EXPECT_EQ(v, std::isnan(c.real) ? -1.0 : c.real) << c.text;
        int32_t i = -1;
        EXPECT_EQ(parseHpglInt(c.text, i), c.integer != noInt) << c.text;
        EXPECT_EQ(i, c.integer != noInt ? c.integer : -1) << c.text;
    }
}

TEST(HpglState, PlotPageHandlers) {
    const QsPoint d = PlotPage::kDefaultSize;
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        QsPoint p1, p2, size;
    } cases[] = {
        {"IP100,100,5000,4000;", {}, {100, 100}, {5000, 4000}, d},
        {"IP200,300;", {}, {200, 300}, {31600, 22750}, d},
        {"IP5,5,5,5;", {}, {5, 5}, {6, 6}, d},
        {"IP1,2,3;IP1,x;IP2147483647,0;", {8, 8, 8}, {0, 0}, d, d},
        {"IP100,100,5000,4000;IP;", {}, {0, 0}, d, d},
        {"IR50,50;", {}, {15700, 11225}, {47100, 33675}, d},
        {"IR0,0,10,10;", {}, {0, 0}, {3140, 2245}, d},
        {"IR10;IR1e300,0;", {9, 9}, {0, 0}, d, d},
        {"PS10000,20000;", {}, {0, 0}, {20000, 10000}, {20000, 10000}},
        {"PS10000;PS0,500;PSx;", {kHpglCodePS}, {0, 0}, d, d},
        {"PS10000,20000;IN;", {}, {0, 0}, d, d},
    };
    for (const auto& c : cases) {
        const PlotRun run("PU1,1;" + c.text);
        EXPECT_EQ(run.codes, c.codes) << c.text;
        EXPECT_EQ(plotPage().p1, c.p1) << c.text;
        EXPECT_EQ(plotPage().p2, c.p2) << c.text;
        EXPECT_EQ(plotPage().plotSize, c.size) << c.text;
        EXPECT_EQ(run.plot.in->current.x, c.codes.empty() ? 0.0 : 40.0) << c.text;
    }
}

// A field of the interpreter, as a double.
#define FIELD(expr) [](const HpglInterpreter& in) -> double { return in.expr; }

TEST(HpglState, AttributeHandlers) {
    using Field = double (*)(const HpglInterpreter&);
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        Field field;
        double value;
    } cases[] = {
        {"PW0.5;", {}, FIELD(lineWidth), 50000},
        // relativeSize(0.5): trunc(38600.03...) * 40 * 0.5.
        {"WU1;PW0.5;", {}, FIELD(lineWidth), 772000},
        {"WU1;PW;", {}, FIELD(lineWidth), 154400},
        {"PW-1;PW1,-1;PW1,40000;PW30000;PWx;", std::vector<int32_t>(5, 13), FIELD(lineWidth), 0},
        {"WU2;WU1;", {kHpglCodeWU}, FIELD(relativeWidths), 1},
        {"FT3,0,45;", {}, FIELD(hatchAngle), 0.7853981633974483},
        {"FT3;FT7;FT12;FT0;FT1,0,x;", std::vector<int32_t>(4, 10), FIELD(fillHatched), 1},
        {"FT3;FT10;", {}, FIELD(fillHatched), 0},
        {"LT-8;LT99;", {}, FIELD(dashed), 1},
        {"LT9;LT2,0;LT2,1,2;LT1,1,1,1;LT-9;LTx;", std::vector<int32_t>(6, 12), FIELD(dashed), 0},
        {"LA1,2;", {}, FIELD(lineEnd), 1},
        {"LA2,7,3,9;", {}, FIELD(lineEnd), 3},
        {"LA1,1,9;", {}, FIELD(lineEnd), 0},
        {"LA1,2;LA5,1;LA1,5;LA1,x;LAx;", std::vector<int32_t>(4, 11), FIELD(lineEnd), 1},
        {"SP5;SP;", {}, FIELD(pen * 10 + in.polygonBuffer.pen), 5},
        {"SP5;SP-1;SP40000;SPx;", std::vector<int32_t>(3, 14), FIELD(pen), 5},
        {"PU10,10;SM*;PU20,20;", {}, FIELD(symbolMode * 1000 + in.symbolChar), 1000 + '*'},
        {"PU10,10;SM*;PU20,20;SM;", {}, FIELD(current.x), 400},
        // DF restores the attributes and keeps the pen, the pen width and the width unit; IN
        // resets these as well.
        {"FT3;LA1,1;LT2;PM0;DF;",
         {},
         FIELD(fillHatched * 1000 + in.lineEnd * 100 + in.dashed * 10 + in.polygonMode),
         300},
        {"PU10,10;SM*;DF;", {}, FIELD(symbolMode * 1000 + in.savedPosition.x), 400},
        {"DT#;DF;", {}, FIELD(labelState->terminator), 3},
        {"SI1,1;LO6;DF;", {}, FIELD(labelState->standard.height + in.labelState->originCode), 4600},
        {"SP4;PW0.4,2;WU1;DF;",
         {},
         FIELD(pen * 10000000 + in.lineWidth + in.relativeWidths),
         40040001},
        {"PW0.4,2;WU1;PD1,1;PR;IN;", {}, FIELD(lineWidth + in.widthPen + in.relativeWidths), 0},
        {"PD1,1;PR;IN;", {}, FIELD(penDown * 10 + in.absolute), 1},
    };
    for (const auto& c : cases) {
        const PlotRun run(c.text);
        EXPECT_EQ(run.codes, c.codes) << c.text;
        EXPECT_EQ(c.field(*run.plot.in), c.value) << c.text;
    }
}

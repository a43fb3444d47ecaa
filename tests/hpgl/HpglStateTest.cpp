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
        const PlotPage& page = run.plot.in->page();
        EXPECT_EQ(page.p1, c.p1) << c.text;
        EXPECT_EQ(page.p2, c.p2) << c.text;
        EXPECT_EQ(page.plotSize, c.size) << c.text;
        EXPECT_EQ(run.plot.in->pen().current.x, c.codes.empty() ? 0.0 : 40.0) << c.text;
    }
}

// A field of the interpreter, as a double.
#define FIELD(expr) [](const HpglInterpreter& in) -> double { return static_cast<double>(in.expr); }

TEST(HpglState, AttributeHandlers) {
    using Field = double (*)(const HpglInterpreter&);
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        Field field;
        double value;
    } cases[] = {
        {"PW0.5;", {}, FIELD(lines().width), 50000},
        // relativeSize(0.5): trunc(38600.03...) * 40 * 0.5.
        {"WU1;PW0.5;", {}, FIELD(lines().width), 772000},
        {"WU1;PW;", {}, FIELD(lines().width), 154400},
        {"PW-1;PW1,-1;PW1,40000;PW30000;PWx;", std::vector<int32_t>(5, 13), FIELD(lines().width),
         0},
        {"WU2;WU1;", {kHpglCodeWU}, FIELD(lines().relativeWidths), 1},
        {"FT3,0,45;", {}, FIELD(lines().hatchAngle), 0.7853981633974483},
        {"FT3;FT7;FT12;FT0;FT1,0,x;", std::vector<int32_t>(4, 10), FIELD(lines().hatched), 1},
        {"FT3;FT10;", {}, FIELD(lines().hatched), 0},
        {"LT-8;LT99;", {}, FIELD(lines().dashed), 1},
        {"LT9;LT2,0;LT2,1,2;LT1,1,1,1;LT-9;LTx;", std::vector<int32_t>(6, 12),
         FIELD(lines().dashed), 0},
        {"LA1,2;", {}, FIELD(lines().lineEnd), 1},
        {"LA2,7,3,9;", {}, FIELD(lines().lineEnd), 3},
        {"LA1,1,9;", {}, FIELD(lines().lineEnd), 0},
        {"LA1,2;LA5,1;LA1,5;LA1,x;LAx;", std::vector<int32_t>(4, 11), FIELD(lines().lineEnd), 1},
        {"SP5;SP;", {}, FIELD(pen().number * 10 + in.polygon().buffer.pen), 5},
        {"SP5;SP-1;SP40000;SPx;", std::vector<int32_t>(3, 14), FIELD(pen().number), 5},
        {"PU10,10;SM*;PU20,20;",
         {},
         FIELD(symbol().active * 1000 + in.symbol().character),
         1000 + '*'},
        {"PU10,10;SM*;PU20,20;SM;", {}, FIELD(pen().current.x), 400},
        // DF restores the attributes and keeps the pen, the pen width and the width unit; IN
        // resets these as well.
        {"FT3;LA1,1;LT2;PM0;DF;",
         {},
         FIELD(lines().hatched * 1000 + static_cast<int>(in.lines().lineEnd) * 100 +
               in.lines().dashed * 10 + static_cast<int>(in.polygon().mode)),
         300},
        {"PU10,10;SM*;DF;", {}, FIELD(symbol().active * 1000 + in.pen().saved.x), 400},
        {"DT#;DF;", {}, FIELD(labels().terminator), 3},
        {"SI1,1;LO6;DF;", {}, FIELD(labels().standard.height + in.labels().originCode), 4600},
        {"SP4;PW0.4,2;WU1;DF;",
         {},
         FIELD(pen().number * 10000000 + in.lines().width + in.lines().relativeWidths),
         40040001},
        {"PW0.4,2;WU1;PD1,1;PR;IN;",
         {},
         FIELD(lines().width + in.lines().widthPen + in.lines().relativeWidths),
         0},
        {"PD1,1;PR;IN;", {}, FIELD(pen().down * 10 + in.pen().absolute), 1},
    };
    for (const auto& c : cases) {
        const PlotRun run(c.text);
        EXPECT_EQ(run.codes, c.codes) << c.text;
        EXPECT_EQ(c.field(*run.plot.in), c.value) << c.text;
    }
}

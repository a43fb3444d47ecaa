// The plotter set-up and pen attribute handlers: their effect on the state and their failure
// codes, and numeric parameter parsing.
#include <gtest/gtest.h>

#include <cmath>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

TEST(HpglParams, LongestDecimalPrefix) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } reals[] = {
        {"12.5", true, 12.5},   {"0.10000000000000000", true, 0.1},
        {"-7.75", true, -7.75}, {" -3e2xyz", true, -300.0},
        {"+.5", true, 0.5},     {"5.", true, 5.0},
        {"1e", true, 1.0},      {"2E+", true, 2.0},
        {"0x10", true, 0.0},    {"1e-400", true, 0.0},
        {".", false, 0},        {"-", false, 0},
        {"inf", false, 0},      {"nan", false, 0},
        {"1e999", false, 0},    {"abc", false, 0},
        {"", false, 0},
    };
    for (const auto& c : reals) {
        double v = -1.0;
        EXPECT_EQ(parseHpglReal(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -1.0) << c.text;  // untouched on failure
    }
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } ints[] = {
        {"42", true, 42},
        {" -7.9", true, -7},
        {"+3x", true, 3},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
        {"x1", false, 0},
        {"+", false, 0},
    };
    for (const auto& c : ints) {
        int32_t v = -1;
        EXPECT_EQ(parseHpglInt(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -1) << c.text;
    }
}

namespace {

// The codes of a whole plot, the end of input left out.
std::vector<int32_t> codesOf(Plot& plot) {
    std::vector<int32_t> codes = plot.allCodes();
    codes.pop_back();
    return codes;
}

}  // namespace

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
        Plot plot("PU1,1;" + c.text);
        EXPECT_EQ(codesOf(plot), c.codes) << c.text;
        EXPECT_EQ(plotPage().p1, c.p1) << c.text;
        EXPECT_EQ(plotPage().p2, c.p2) << c.text;
        EXPECT_EQ(plotPage().plotSize, c.size) << c.text;
        EXPECT_EQ(plot.in->current.x, c.codes.empty() ? 0.0 : 40.0) << c.text;
    }
}

TEST(HpglState, AttributeHandlers) {
    using Field = double (*)(const HpglInterpreter&);
    const Field width = [](const HpglInterpreter& in) -> double { return in.lineWidth; };
    const Field widthPen = [](const HpglInterpreter& in) -> double { return in.widthPen; };
    const Field unit = [](const HpglInterpreter& in) -> double { return in.relativeWidths; };
    const Field hatched = [](const HpglInterpreter& in) -> double { return in.fillHatched; };
    const Field angle = [](const HpglInterpreter& in) { return in.hatchAngle; };
    const Field dashed = [](const HpglInterpreter& in) -> double { return in.dashed; };
    const Field ends = [](const HpglInterpreter& in) -> double { return in.lineEnd; };
    const Field pen = [](const HpglInterpreter& in) -> double { return in.pen; };
    const Field bufferPen = [](const HpglInterpreter& in) -> double {
        return in.polygonBuffer.pen;
    };
    const Field x = [](const HpglInterpreter& in) { return in.current.x; };
    const Field symbol = [](const HpglInterpreter& in) -> double {
        return in.symbolMode * 1000 + in.symbolChar;
    };
    const Field terminator = [](const HpglInterpreter& in) -> double {
        return in.labelState->terminatorPrinted * 1000 + in.labelState->terminator;
    };
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        Field field;
        double value;
    } cases[] = {
        {"PW0.5;", {}, width, 50000},
        // relativeSize(0.5): trunc(38600.03...) * 40 * 0.5.
        {"WU1;PW0.5;", {}, width, 772000},
        {"WU1;PW;", {}, width, 154400},
        {"PW0.5,3;", {}, widthPen, 3},
        {"PW-1;PW1,-1;PW1,40000;PW30000;PWx;", std::vector<int32_t>(5, 13), width, 0},
        {"WU2;WU1;", {kHpglCodeWU}, unit, 1},
        {"FT3,0,45;", {}, angle, 0.7853981633974483},
        {"FT3;FT7;FT12;FT0;FT1,0,x;", std::vector<int32_t>(4, 10), hatched, 1},
        {"FT3;FT10;", {}, hatched, 0},
        {"LT-8;", {}, dashed, 1},
        {"LT2;LT99;", {}, dashed, 1},
        {"LT2;LT;", {}, dashed, 0},
        {"LT9;LT2,0;LT2,1,2;LT1,1,1,1;LT-9;LTx;", std::vector<int32_t>(6, 12), dashed, 0},
        {"LA1,2;", {}, ends, 1},
        {"LA2,7,3,9;", {}, ends, 3},
        {"LA1,1,9;", {}, ends, 0},
        {"LA1,1;LA;", {}, ends, 3},
        {"LA1,2;LA5,1;LA1,5;LA1,x;LAx;", std::vector<int32_t>(4, 11), ends, 1},
        {"SP5;", {}, bufferPen, 5},
        {"SP5;SP;", {}, pen, 0},
        {"SP5;SP;", {}, bufferPen, 5},
        {"SP5;SP-1;SP40000;SPx;", std::vector<int32_t>(3, 14), pen, 5},
        {"PU10,10;SM*;PU20,20;", {}, symbol, 1000 + '*'},
        {"PU10,10;SM*;PU20,20;SM;", {}, x, 400},
        {"DT#,0;", {}, terminator, 1000 + '#'},
        {"DT#;DT;DT#,2;DT\x1b;", std::vector<int32_t>(3, 41), terminator, '#'},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        EXPECT_EQ(codesOf(plot), c.codes) << c.text;
        EXPECT_EQ(c.field(*plot.in), c.value) << c.text;
    }
}

TEST(HpglState, DefaultsRestoreTheAttributes) {
    Plot plot("PW0.4,2;WU1;FT3,0,30;LA1,1;LT2;DT#;LO6;SA;PM0;SP4;PU10,10;SM*;DF;");
    plot.batches();
    const HpglInterpreter& in = *plot.in;
    EXPECT_EQ(in.fillHatched, 0);
    EXPECT_EQ(in.lineEnd, 3);
    EXPECT_EQ(in.dashed, 0);
    EXPECT_EQ(in.polygonMode, 0);
    EXPECT_EQ(in.symbolMode, 0);
    EXPECT_EQ(in.savedPosition.x, 400.0);
    EXPECT_EQ(in.labelState->terminator, 3);
    EXPECT_EQ(in.labelState->originCode, 0);
    EXPECT_EQ(in.labelState->selectedFont, 1);
    EXPECT_EQ(in.labelState->standard.height, 4600);
    EXPECT_EQ(in.labelState->standard.lineSpacing, 5520);
    EXPECT_EQ(in.labelState->standard.spacing, 11111);
    EXPECT_EQ(in.labelState->standard.width, 7407);
    // DF keeps the pen, the pen width and the width unit; IN resets the width and unit.
    EXPECT_EQ(in.pen, 4);
    EXPECT_EQ(in.lineWidth, 40000);
    EXPECT_EQ(in.relativeWidths, 1);

    Plot init("PW0.4,2;WU1;PD1,1;PR;IN;");
    init.batches();
    EXPECT_EQ(init.in->lineWidth, 0);
    EXPECT_EQ(init.in->widthPen, 0);
    EXPECT_EQ(init.in->relativeWidths, 0);
    EXPECT_EQ(init.in->penDown, 0);
    EXPECT_EQ(init.in->absolute, 1);
}

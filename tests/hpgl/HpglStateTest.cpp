// The plotter set-up and pen attribute handlers: their effect on the state and their failure
// codes, and numeric parameter parsing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

TEST(HpglParams, LongestDecimalPrefix) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } reals[] = {
        {"12.5", true, 12.5}, {" -3e2xyz", true, -300.0}, {"+.5", true, 0.5},
        {"5.", true, 5.0},    {"1e", true, 1.0},          {"2E+", true, 2.0},
        {"0x10", true, 0.0},  {"1e-400", true, 0.0},      {".", false, 0},
        {"-", false, 0},      {"inf", false, 0},          {"nan", false, 0},
        {"1e999", false, 0},  {"abc", false, 0},          {"", false, 0},
    };
    for (const auto& c : reals) {
        double v = -1.0;
        EXPECT_EQ(parseHpglReal(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
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
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(HpglState, HandlersSetStateOrFailWithTheirCode) {
    using Check = std::function<void(const HpglInterpreter&)>;
    auto page = [](QsPoint p1, QsPoint p2, QsPoint size = PlotPage::kDefaultSize) -> Check {
        return [=](const HpglInterpreter&) {
            EXPECT_EQ(plotPage().p1, p1);
            EXPECT_EQ(plotPage().p2, p2);
            EXPECT_EQ(plotPage().plotSize, size);
        };
    };
    const QsPoint p2 = PlotPage::kDefaultSize;
    const struct {
        std::string text;
        std::vector<int32_t> codes;
        Check check;
    } cases[] = {
        {"IP100,100,5000,4000;", {}, page({100, 100}, {5000, 4000})},
        {"IP200,300;", {}, page({200, 300}, {31600, 22750})},
        {"IP5,5,5,5;", {}, page({5, 5}, {6, 6})},
        {"IP1,2,3;", {kHpglCodeIP}, page({0, 0}, p2)},
        {"IP1,x;", {kHpglCodeIP}, page({0, 0}, p2)},
        {"IP2147483647,0;", {kHpglCodeIP}, page({0, 0}, p2)},
        {"IP100,100,5000,4000;IP;", {}, page({0, 0}, p2)},
        {"IR50,50;", {}, page({15700, 11225}, {47100, 33675})},
        {"IR0,0,10,10;", {}, page({0, 0}, {3140, 2245})},
        {"IR10;", {kHpglCodeIR}, page({0, 0}, p2)},
        {"IR1e300,0;", {kHpglCodeIR}, page({0, 0}, p2)},
        {"PS10000,20000;", {}, page({0, 0}, {20000, 10000}, {20000, 10000})},
        {"PS10000;", {}, page({0, 0}, p2)},
        {"PS0,500;", {}, page({0, 0}, p2)},
        {"PSx;", {kHpglCodePS}, page({0, 0}, p2)},
        {"PS10000,20000;IN;", {}, page({0, 0}, p2)},
        {"PW0.5;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineWidth, 50000); }},
        // relativeSize(0.5): trunc(38600.03...) * 40 * 0.5.
        {"WU1;PW0.5;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineWidth, 772000); }},
        {"WU1;PW;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineWidth, 154400); }},
        {"PW0.5,3;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.lineWidth, 50000);
             EXPECT_EQ(in.widthPen, 3);
         }},
        {"PW-1;PW1,-1;PW1,40000;PW30000;PWx;", std::vector<int32_t>(5, kHpglCodePW),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.lineWidth, 0); }},
        {"WU2;WU1;",
         {kHpglCodeWU},
         [](const HpglInterpreter& in) { EXPECT_EQ(in.relativeWidths, 1); }},
        {"FT3,0,45;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.fillHatched, 1);
             EXPECT_NEAR(in.hatchAngle, 0.7853981633974483, 1e-15);
         }},
        {"FT3;FT7;FT12;FT0;FT1,0,x;", std::vector<int32_t>(4, kHpglCodeFT),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.fillHatched, 1); }},
        {"FT3;FT10;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.fillHatched, 0); }},
        {"LT-8;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.dashed, 1); }},
        {"LT2;LT99;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.dashed, 1); }},
        {"LT2;LT;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.dashed, 0); }},
        {"LT9;LT2,0;LT2,1,2;LT1,1,1,1;LT-9;LTx;", std::vector<int32_t>(6, kHpglCodeLT),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.dashed, 0); }},
        {"LA1,2;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineEnd, 1); }},
        {"LA2,7,3,9;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineEnd, 3); }},
        {"LA1,1,9;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineEnd, 0); }},
        {"LA1,1;LA;", {}, [](const HpglInterpreter& in) { EXPECT_EQ(in.lineEnd, 3); }},
        {"LA1,2;LA5,1;LA1,5;LA1,x;LAx;", std::vector<int32_t>(4, kHpglCodeLA),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.lineEnd, 1); }},
        {"SP5;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.pen, 5);
             EXPECT_EQ(in.polygonBuffer.pen, 5);
         }},
        {"SP5;SP;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.pen, 0);
             EXPECT_EQ(in.polygonBuffer.pen, 5);
         }},
        {"SP5;SP-1;SP40000;SPx;", std::vector<int32_t>(3, kHpglCodeSP),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.pen, 5); }},
        {"PU10,10;SM*;PU20,20;SM;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.symbolMode, 0);
             EXPECT_EQ(in.symbolChar, '*');
             EXPECT_EQ(in.current.x, 400.0);
         }},
        {"DT#,0;",
         {},
         [](const HpglInterpreter& in) {
             EXPECT_EQ(in.labelState->terminator, '#');
             EXPECT_EQ(in.labelState->terminatorPrinted, 1);
         }},
        {"DT#;DT;DT#,2;DT"
         "\x1b"
         ";",
         std::vector<int32_t>(3, kHpglCodeDT),
         [](const HpglInterpreter& in) { EXPECT_EQ(in.labelState->terminator, '#'); }},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        std::vector<int32_t> codes = plot.allCodes();
        codes.pop_back();  // end of input
        EXPECT_EQ(codes, c.codes) << c.text;
        c.check(*plot.in);
    }
}

TEST(HpglState, PositionsResetByPlotterSetUp) {
    const char* resetting[] = {"IP;", "IR;", "PS;", "IN;", "PS8000,6000;"};
    for (const char* cmd : resetting) {
        Plot plot(std::string("PU100,200;") + cmd);
        plot.batches();
        EXPECT_EQ(plot.in->current.x, 0.0) << cmd;
        EXPECT_EQ(plot.in->current.y, 0.0) << cmd;
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

// Short decimals take a quicker path than long ones; both must give the correctly rounded value.
TEST(HpglParams, ShortAndLongDecimalsAgree) {
    const struct {
        const char* quick;
        const char* general;  // the same value with more than 15 digits
    } cases[] = {
        {"0.1", "0.10000000000000000"},
        {"0.3", "0.30000000000000000"},
        {"1.005", "1.00500000000000000"},
        {"-7.75", "-7.7500000000000000000"},
        {"2.5e0", "2.50000000000000000e0"},
        {"123456789012345", "123456789012345.000"},
        {"9.87654321098765", "9.876543210987650000"},
        {"1234567890.12345", "1234567890.123450000"},
        {"0.000000000000001", "0.0000000000000010000"},
    };
    for (const auto& c : cases) {
        double quick = 0.0;
        double general = 0.0;
        ASSERT_TRUE(parseHpglReal(c.quick, quick));
        ASSERT_TRUE(parseHpglReal(c.general, general));
        EXPECT_EQ(quick, std::strtod(c.quick, nullptr)) << c.quick;
        EXPECT_EQ(quick, general) << c.quick;
    }
}

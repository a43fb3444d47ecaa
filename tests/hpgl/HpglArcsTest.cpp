// Arcs, circles, wedges and rectangles from HP-GL text, written out compactly: what each plot
// makes, the codes of refused statements, and the pen position afterwards.
#include <gtest/gtest.h>

#include "HpglTestUtil.h"

TEST(HpglArcs, ShapesOfPlots) {
    const std::string box = "P(4000,4000 4000,4800 4400,4800 4400,4000) | ";
    const std::pair<std::string, std::string> cases[] = {
        {"PU100,0;PD;AA0,0,90;", "L(a4000,0>0,4000c0,0r4000f0) | @0,4000"},
        {"PU100,0;PD;AA0,0,-90;", "L(a4000,0>0,-4000c0,0r4000f1) | @0,-4000"},
        {"PU100.004,0;PD;AA0,0,360;", "L(a4000,0>4000,0c0,0r4000f2) | @4000,0"},
        {"PU10,10;PD;AR10,0,180;", "L(a400,400>1200,400c800,400r400f0) | @1200,400"},
        {"PD;AT25,25,50,0;", "L(a0,0>2000,0c1000,0r1000f1) | @2000,0"},
        {"PD;AT25,-25,50,0;", "L(a0,0>2000,0c1000,0r1000f0) | @2000,0"},
        {"PU10,0;PD;RT25,25,50,0;", "L(a400,0>2400,0c1400,0r1000f1) | @2400,0"},
        // Collinear: out and back is the circle over that diameter, else a straight segment.
        {"PD;AT10,0,0,0;", "L(a0,0>0,0c200,0r200f2) | @0,0"},
        {"PD;AT10,0,20,0;", "L(0,0 800,0) | @800,0"},
        {"PD;AT0,0,0,0;", "#55 #18 | @0,0"},
        {"PU100,0;AA0,0,90;AT50,50,100,0;", "@4000,0"},  // pen up: moves only
        // The line type reaches arcs, line ends do not.
        {"LA1,1;LT2;PW0.1;PU100,0;PD;AA0,0,90;", "L(a4000,0>0,4000c0,0r4000f0)s1w10000 | @0,4000"},
        {"PU10,10;CI5;", "L(a600,400>600,400c400,400r200f2) | @400,400"},
        // Radii are truncated, points rounded: 5.015625 plotter units are 200.625 output units.
        {"PU10,10;CI5.015625;", "L(a600,400>600,400c400,400r200f2) | @400,400"},
        {"PU10,10;CI-5.015625;", "L(a200,400>200,400c400,400r200f2) | @400,400"},
        {"PU10,10;EW5.015625,0,90;", "P(400,400 a600,400>400,600c400,400r200f0) | @400,400"},
        {"PU10,10;PD;CI-5,30;", "L(a200,400>200,400c400,400r200f2) | @400,400"},
        // EW does not end its batch, WG does.
        {"PU10,10;EW10,0,90;WG10,0,-90;",
         "P(400,400 a800,400>400,800c400,400r400f0) P(400,400 a800,400>400,0c400,400r400f1) | "
         "@400,400"},
        {"PU10,10;EW-10,0,90;", "P(400,400 a0,400>400,0c400,400r400f0) | @400,400"},
        {"PU10,10;WG10,0,360;EW10,0,-400;",
         "P(a800,400>800,400c400,400r400f2) | P(a800,400>800,400c400,400r400f2) | @400,400"},
        {"PU100,100;ER10,20;RR10,20;EA110,120;PD;RA110,120;PU110,120;RA100,100;",
         box + box + box + box + box + "@4400,4800"},
        {"PW0.5;FT3,0,45;PU100,100;ER10,20;FT1;EW1,0,90;",
         "P(4000,4000 4000,4800 4400,4800 4400,4000)w50000h50000/0.785398 | "
         "P(4000,4000 a4040,4000>4000,4040c4000,4000r40f0)w50000 | @4000,4000"},
        {"SP1;PW0.5,2;PU100,100;ER10,20;",
         "P(4000,4000 4000,4800 4400,4800 4400,4000) p1 | "
         "@4000,4000"},
        // Refused: too few or bad numbers, zero or huge radii, far centres, near-collinear points.
        {"AA1,2;AAnan,0,90;AR1,1e999,90;AT1,2,3;RT1,2,3,x;CI;CIinf;CI0.01;CI6e7;",
         "#16 | #16 | #17 | #18 | #19 | #20 | #20 | #20 | #20 | @0,0"},
        {"EA1;ER1,x;RA1e9,0;EW1,2;WG-1e99,0,90;AT2.5e7,0.025,5e7,0;",
         "#25 | #26 | #27 | #29 #30 | #18 | @0,0"},
        {"PU5e7,0;CI1e7;RR1e7,0;AR2e6,0,180;EW5e6,0,90;", "#20 | #28 | #17 | #29 | @2e+09,0"},
        // A centre or axis points beyond the range do not stop an arc whose stored points fit.
        {"PU5e7,0;PD;AR2e6,0,90;",
         "L(a2000000000,0>2080000000,-80000000c2080000000,0r80000000f0) | @2.08e+09,-8e+07"},
        {"PU5e7,0;CI-5e6;EW5e6,180,90;",
         "L(a1800000000,0>1800000000,0c2000000000,0r200000000f2) | "
         "P(2000000000,0 a1800000000,0>2000000000,-200000000c2000000000,0r200000000f0) | @2e+09,0"},
        {"PU37.5e6,0;AT40849364.905,12.5e6,50e6,21650635.09;", "@2e+09,8.66025e+08"},
        {"PU-52.5e6,-52.5e6;PD;AT52.5e6,52.5e6,-52.5e6,-52.5e6;", "#18 | @-2.1e+09,-2.1e+09"},
        {"PD;AA0,0,90;", "#55 #16 | @0,0"},
        // A zero-radius wedge is its centre point; as a full circle nothing is left.
        {"EW0.001,0,90;WG0.001,0,360;", "P(0,0) #51 #30 | @0,0"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(dumpShapes(text), expected) << text;
}

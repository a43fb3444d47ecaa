// Polygon mode from HP-GL text: subpolygons and holes, the buffer with its pen and codes, EP and
// FP, and attributes applied again after SP, PW and FT.
#include <gtest/gtest.h>

#include "HpglTestUtil.h"

TEST(HpglPolygonMode, PolygonsOfPlots) {
    const std::string s = "PU0,0;PM0;PD100,0,100,100,0,100,0,0;";
    const std::string sq = "P(0,0 4000,0 4000,4000 0,4000)";
    const std::string hole = "H(1000,1000 3000,1000 3000,3000)";
    const std::pair<std::string, std::string> cases[] = {
        {"SP2;" + s + "PM2;FP;", sq + " p2 | @0,0"},
        // After PM 1 a stroke starts at its own first point; inside the first outline it is a
        // hole, outside a polygon of its own. Arcs and pen-up circles join in drawing order.
        {s + "PM1;PD25,25,75,25,75,75;PM2;EP;", sq + hole + " | @3000,3000"},
        {s + "PM1;PU200,0;PD300,0,300,100,200,100;PM2;EP;",
         sq + " P(8000,0 12000,0 12000,4000 8000,4000) | @8000,4000"},
        {"PU0,0;PM0;PD100,0;AA100,50,180;PD0,0;PM1;PU50,50;CI10;PM2;FP;",
         "P(0,0 4000,0 a4000,0>4000,4000c4000,2000r2000f0 4000,4000)"
         "H(a2400,2000>2400,2000c2000,2000r400f2) | @2000,2000"},
        // EP again emits the same; shapes outside polygon mode and SP without a pen leave the
        // buffer and its pen alone; pen numbers survive PM 1 and PM 2.
        {"SP3;" + s + "PM2;EP;ER5,5;SP;EP;",
         sq + " p3 | P(0,0 0,200 200,200 200,0) p3 | " + sq + " p3 | @0,0"},
        {"SP4;" + s + "PM1;PD10,0;PM2;PD20,0;", "L(400,0 800,0) p4 | @800,0"},
        // Codes gathered with a subpolygon fail every EP; an empty subpolygon fails its checks.
        {s + "PD10,x;PM2;EP;EP;", sq + " #23 #31 | " + sq + " #23 #31 | @0,0"},
        // Codes carried back into polygon mode by FP and into the buffer by PM 1 are held once,
        // however often the round is made.
        {s + "PD10,x;PM1;FP;PM1;FP;PM1;FP;PM1;PM2;EP;",
         sq + " P() P() P() #33 #23 #32 #53 #51 #31 | @0,0"},
        {"PM0;PM2;EP;", "@0,0"},
        {"PM0;ER5,5;PM2;EP;", "P() #33 #53 #51 #31 | @0,0"},
        {"PM1;PM2;PM0;PM3;PMx;", "#33 #33 #33 #33 | @0,0"},
        // PM 1 lifts the pen; a file ending in polygon mode hands over its strokes as they are,
        // without line type or ends.
        {s + "PM1;PA10,10;", "@400,400"},
        {"LA1,1;LT2;PW0.1;PM0;PD10,0,20,0;PD30,0;",
         "L(0,0 400,0 800,0)w10000 L(800,0 1200,0)w10000 | @1200,0"},
        {s + "PM1;PD25,25,75,25,75,75;PM2;PW0.5;FT3,0,45;EP;",
         sq + hole + "w50000w50000h50000/0.785398 | @3000,3000"},
        {s + "PM1;PD25,25,75,25,75,75;PM2;PW0.3,1;SP2;EP;", sq + hole + " p2 | @3000,3000"},
        {s + "PM1;PD25,25,75,25,75,75;PM2;PW0.3,1;SP1;EP;",
         sq + hole + "w30000w30000 p1 | @3000,3000"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(dumpShapes(text), expected) << text;
    // A label in polygon mode leaves with the batch.
    const std::string label = dumpShapes(s + "LBtext\x03;PM2;FP;");
    EXPECT_EQ(label.substr(0, label.find('@')), sq + " | ");
    const std::pair<std::string, PolygonMode> modes[] = {
        {"PM1;", PolygonMode::kOff},
        {"PM0;PM3;", PolygonMode::kOpen},
        {"PM;PM1;PM1;", PolygonMode::kNextSubpolygon},
        {"PM0;ER5,5;EW5,0,90;", PolygonMode::kOpen}};
    for (const auto& [text, mode] : modes) {
        Plot plot(text);
        plot.batches();
        EXPECT_EQ(plot.in->polygon().mode, mode) << text;
    }
}

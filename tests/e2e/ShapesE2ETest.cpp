// A plot of arcs, circles, wedges, rectangles and polygon-mode shapes converted into a symbol:
// its "$Arc" lines and polygon records, and the symbol read back when a second plot is added.
#include "E2eSupport.h"

#include <gtest/gtest.h>

using e2e::grep;
using testsupport::readFile;

TEST(ShapesE2E, ArcsAndPolygonsOfASymbol) {
    e2e::ProgramRun p;
    testsupport::writeFile(p.file("shapes.hgl"),
                           "IN;SP1;PU0,0;PD;AA0,100,90;AR0,-100,-90;PU200,0;CI50;CI-50;PD;"
                           "AT250,50,300,0;PU500,500;EW100,0,90;WG-100,0,-90;EW100,0,360;"
                           "PU0,500;ER100,50;PU1000,0;PM0;PD1100,0,1100,100,1000,100,1000,0;"
                           "PM1;PU1025,25;PD1075,25,1075,75,1025,75;PM1;PU1090,90;CI5;"
                           "PM1;PU2000,0;PD2100,0,2100,100;PM2;EP;");
    ASSERT_EQ(p.run({"-o", "shapes.smb", "shapes.hgl"}).code, 0);
    const std::string text = readFile(p.file("shapes.smb"));
    const std::vector<std::string> arcs = {
        "$Arc 0 4000 4000 -1.570796 0.000000 0",     "$Arc 4000 0 4000 1.570796 0.000000 1",
        "$Arc 8000 0 2000 0.000000 0.000000 2",      "$Arc 8000 0 2000 3.141593 3.141593 2",
        "$Arc 10000 0 2000 3.141593 0.000000 1",     "$Arc 20000 20000 4000 0.000000 1.570796 0",
        "$Arc 20000 20000 4000 3.141593 1.570796 1", "$Arc 20000 20000 4000 0.000000 0.000000 2",
        "$Arc 43600 3600 200 0.000000 0.000000 2"};
    EXPECT_EQ(grep(text, "\\$Arc .*"), arcs);
    // Polygons are not filled; the outline closes implicitly and holds two holes.
    EXPECT_EQ(grep(text, "LexPolygon\n\\{\n\\$id \\d+\n1 0 .*").size(), 6u);
    EXPECT_NE(text.find("{\n4\n$Point 40000 0 0\n$Point 44000 0 0\n$Point 44000 4000 0\n"
                        "$Point 40000 4000 0\n}\n{\n2\n{\n4\n$Point 41000 1000 0\n"
                        "$Point 43000 1000 0\n$Point 43000 3000 0\n$Point 41000 3000 0\n}\n"
                        "{\n3\n$Arc 43600 3600 200 0.000000 0.000000 2\n}\n}\n"),
              std::string::npos);

    // Adding a plot reads the symbol back and keeps what it held.
    testsupport::writeFile(p.file("more.hgl"), "IN;SP2;PU0,0;PD;AA0,50,180;");
    ASSERT_EQ(p.run({"-o", "shapes.smb", "more.hgl"}).code, 0);
    const std::string again = readFile(p.file("shapes.smb"));
    EXPECT_EQ(grep(again, "\\$Arc .*").size(), arcs.size() + 1);
    EXPECT_EQ(grep(again, "\\$Point .*"), grep(text, "\\$Point .*"));
    EXPECT_NE(again.find("$Arc 0 2000 2000 -1.570796 1.570796 0\n"), std::string::npos);
}

// A plot of arcs, circles, wedges, rectangles and polygon-mode shapes converted by the built
// program into a symbol: the "$Arc" lines and polygon records it writes, and the symbol read back
// (in process, and by the program adding a second plot to it).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexPolygon.h"
#include "db/LexPolyline.h"
#include "db/LexSheet.h"
#include "support/TestSupport.h"

namespace {

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs the program in a fresh home (with its log directory) on the bundled installation; the
// exit code.
int runProgram(const testsupport::TempDir& home, const std::vector<std::string>& args) {
    std::filesystem::create_directories(home.path() + "/norvel/kv/log");
    std::string command = "cd " + quote(home.path()) + " && env -i HOME=" + quote(home.path()) +
                          " QLANG=english QRXROOT=" + quote(testsupport::bundledRoot()) + " " +
                          quote(TRAZON_PROGRAM);
    for (const auto& a : args)
        command += " " + quote(a);
    command += " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The lines of the polyline and polygon lists, with each object's attribute line (the one after
// its "$id") checked against the record layout and replaced by "polyline" or "polygon" and its
// "$id" line left out.
std::vector<std::string> shapeLines(const std::string& text) {
    static const std::regex polylineAttrs("^1 -?\\d+ -?\\d+ -?\\d+$");
    static const std::regex polygonAttrs("^1 0 -?\\d+ -?\\d+ -?\\d+ -?\\d+$");  // not filled
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    std::string kind;
    bool attrsNext = false;
    while (std::getline(in, line)) {
        if (line == "$LexPolylineList") inside = true;
        if (line == "$LexFrameList") break;
        if (!inside) continue;
        if (line == "LexPolyline" || line == "LexPolygon") kind = line;
        if (line.starts_with("$id ")) {
            attrsNext = true;
            continue;
        }
        if (attrsNext) {
            attrsNext = false;
            const bool ok =
                std::regex_match(line, kind == "LexPolygon" ? polygonAttrs : polylineAttrs);
            EXPECT_TRUE(ok) << kind << ": " << line;
            out.push_back(kind == "LexPolygon" ? "polygon" : "polyline");
            continue;
        }
        out.push_back(line);
    }
    return out;
}

// Two lines agree; "$Arc" lines written again after reading may turn an angle of pi into one of
// -pi (six decimals of pi lie just above it), so angles are compared as directions.
bool sameLine(const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (!a.starts_with("$Arc ") || !b.starts_with("$Arc ")) return false;
    std::istringstream ia(a.substr(5));
    std::istringstream ib(b.substr(5));
    long ca[3], cb[3];
    double aa[2], ab[2];
    int oa = 0;
    int ob = 0;
    ia >> ca[0] >> ca[1] >> ca[2] >> aa[0] >> aa[1] >> oa;
    ib >> cb[0] >> cb[1] >> cb[2] >> ab[0] >> ab[1] >> ob;
    if (!ia || !ib || ca[0] != cb[0] || ca[1] != cb[1] || ca[2] != cb[2] || oa != ob) return false;
    for (int k = 0; k < 2; ++k) {
        if (std::abs(std::remainder(aa[k] - ab[k], 2 * M_PI)) > 2e-6) return false;
    }
    return true;
}

const char* const kPlot =
    "IN;SP1;PU0,0;PD;AA0,100,90;AR0,-100,-90;"         // two arcs: counter-clockwise, clockwise
    "PU200,0;CI50;CI-50;PD;AT250,50,300,0;"            // circles from 0 and pi, arc through points
    "PU500,500;EW100,0,90;WG-100,0,-90;EW100,0,360;"   // pies and a full-circle wedge
    "PU0,500;ER100,50;RA50,550;"                       // rectangles
    "PU1000,0;PM0;PD1100,0,1100,100,1000,100,1000,0;"  // an outline with two holes
    "PM1;PU1025,25;PD1075,25,1075,75,1025,75,1025,25;PM1;PU1090,90;CI5;"
    "PM1;PU2000,0;PD2100,0,2100,100,2000,100;PM2;EP;";  // and a polygon beside it

const std::vector<std::string> kShapes = {
    "$LexPolylineList", "{",
    // AA0,100,90 from (0,0) and AR0,-100,-90 on from (4000,4000).
    "LexPolyline", "{", "polyline", "{", "3", "$Arc 0 4000 4000 -1.570796 0.000000 0", "}", "}",
    "LexPolyline", "{", "polyline", "{", "3", "$Arc 4000 0 4000 1.570796 0.000000 1", "}", "}",
    // CI50 and CI-50 about (8000,0).
    "LexPolyline", "{", "polyline", "{", "3", "$Arc 8000 0 2000 0.000000 0.000000 2", "}", "}",
    "LexPolyline", "{", "polyline", "{", "3", "$Arc 8000 0 2000 3.141593 3.141593 2", "}", "}",
    // AT through (10000,2000) to (12000,0) turns clockwise.
    "LexPolyline", "{", "polyline", "{", "3", "$Arc 10000 0 2000 3.141593 0.000000 1", "}", "}",
    "}", "$LexPolygonList", "{",
    // Pies start at their centre point; the full-circle wedge has none.
    "LexPolygon", "{", "polygon", "{", "4", "$Point 20000 20000 0",
    "$Arc 20000 20000 4000 0.000000 1.570796 0", "}", "{", "0", "}", "}", "LexPolygon", "{",
    "polygon", "{", "4", "$Point 20000 20000 0", "$Arc 20000 20000 4000 3.141593 1.570796 1", "}",
    "{", "0", "}", "}", "LexPolygon", "{", "polygon", "{", "3",
    "$Arc 20000 20000 4000 0.000000 0.000000 2", "}", "{", "0", "}", "}", "LexPolygon", "{",
    "polygon", "{", "4", "$Point 0 20000 0", "$Point 0 22000 0", "$Point 4000 22000 0",
    "$Point 4000 20000 0", "}", "{", "0", "}", "}", "LexPolygon", "{", "polygon", "{", "4",
    "$Point 0 20000 0", "$Point 0 22000 0", "$Point 2000 22000 0", "$Point 2000 20000 0", "}", "{",
    "0", "}", "}",
    // The outline closes implicitly; the square and the circle inside it are its holes.
    "LexPolygon", "{", "polygon", "{", "4", "$Point 40000 0 0", "$Point 44000 0 0",
    "$Point 44000 4000 0", "$Point 40000 4000 0", "}", "{", "2", "{", "4", "$Point 41000 1000 0",
    "$Point 43000 1000 0", "$Point 43000 3000 0", "$Point 41000 3000 0", "}", "{", "3",
    "$Arc 43600 3600 200 0.000000 0.000000 2", "}", "}", "}", "LexPolygon", "{", "polygon", "{",
    "4", "$Point 80000 0 0", "$Point 84000 0 0", "$Point 84000 4000 0", "$Point 80000 4000 0", "}",
    "{", "0", "}", "}", "}"};

}  // namespace

TEST(ShapesE2E, ArcsAndPolygonsOfASymbol) {
    testsupport::TempDir home;
    testsupport::writeFile(home.file("shapes.hgl"), kPlot);
    ASSERT_EQ(runProgram(home, {"-o", "shapes.smb", "shapes.hgl"}), 0);
    const std::string symbol = home.file("shapes.smb");
    const std::string text = testsupport::readFile(symbol);
    EXPECT_EQ(shapeLines(text), kShapes);

    // Read back in process: the lists and the polygon with its two holes.
    ASSERT_EQ(initialiseDatabaseLayer(), 1);
    {
        std::unique_ptr<LexDatabase> db =
            LexDatabase::open(symbol, nullptr, LexDatabase::kModeReadOnly);
        ASSERT_NE(db, nullptr);
        ASSERT_NE(db->sheet(), nullptr);
        EXPECT_TRUE(db->sheet()->isSymbol());
        EXPECT_EQ(db->sheet()->polylines().size(), 5u);
        EXPECT_EQ(db->sheet()->polygons().size(), 7u);
        std::vector<size_t> holes;
        db->sheet()->polygons().forEach([&](const LexPolygon& p) {
            holes.push_back(p.geometry() != nullptr ? p.geometry()->holes().size() : 99);
            return false;
        });
        EXPECT_EQ(holes, (std::vector<size_t>{0, 0, 0, 0, 0, 2, 0}));
        LexDatabase::close(db, LexDatabase::kCloseDiscard);
    }

    // The program adds a second plot to the symbol it wrote: what was there stays as it was.
    testsupport::writeFile(home.file("more.hgl"), "IN;SP2;PU0,0;PD;AA0,50,180;");
    ASSERT_EQ(runProgram(home, {"-o", "shapes.smb", "more.hgl"}), 0);
    std::vector<std::string> again = shapeLines(testsupport::readFile(symbol));
    std::vector<std::string> expected = kShapes;
    const std::vector<std::string> added = {
        "LexPolyline", "{", "polyline", "{", "3", "$Arc 0 2000 2000 -1.570796 1.570796 0",
        "}",           "}"};
    const auto polylinesEnd = std::find(expected.begin(), expected.end(), "$LexPolygonList") - 1;
    expected.insert(polylinesEnd, added.begin(), added.end());
    ASSERT_EQ(again.size(), expected.size());
    for (size_t i = 0; i < again.size(); ++i)
        EXPECT_TRUE(sameLine(again[i], expected[i])) << again[i] << " / " << expected[i];
}

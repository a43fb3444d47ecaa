// Reading the pen map file and the default colours and styles.
#include <gtest/gtest.h>

#include "hpgl/PenMap.h"
#include "support/TestSupport.h"

namespace {

PenMap readMap(const std::string& text) {
    testsupport::TempDir dir;
    const std::string path = dir.file("pens.txt");
    testsupport::writeFile(path, text);
    PenMap map;
    map.read(path);
    return map;
}

}  // namespace

TEST(PenMap, ReadsUntilTheFirstBadEntry) {
    const struct {
        std::string text;
        std::vector<int32_t> pens;  // the pens read, in order
    } cases[] = {
        {"# pens\n1 4 0\n2 15 3\n", {1, 2}},
        {"1 4 0\r\n\n   \n2 5 1", {1, 2}},
        // Lines without three numbers are skipped.
        {"5 2\n1,2,3\nx 1 1\n6 3 1 trailing\n", {6}},
        {"1 2 3 4 99999999999\n+7 -0 1\n", {1, 7}},
        {"1 2 3\n2 99999999999 1\n3 1 1\n", {1, 3}},
        // Each stop rule ends reading at its line.
        {"1 4 0\n3 16 0\n4 1 1\n", {1}},
        {"1 4 0\n3 1 4\n4 1 1\n", {1}},
        {"1 4 0\n-3 1 1\n4 1 1\n", {1}},
        {"1 4 0\n3 -1 1\n4 1 1\n", {1}},
        {"1 4 0\n1 5 1\n4 1 1\n", {1}},
        // A long line is read in pieces of 254 bytes; the piece after the cut is a line.
        {std::string(254, ' ') + "9 1 1\n8 1 1\n", {9, 8}},
        {std::string(250, ' ') + "12345 1 1\n", {5}},
    };
    for (const auto& c : cases) {
        const PenMap map = readMap(c.text);
        std::vector<int32_t> pens;
        for (const PenMapEntry& e : map.entries())
            pens.push_back(e.pen);
        EXPECT_EQ(pens, c.pens) << c.text;
    }
}

TEST(PenMap, TableAndDefaults) {
    // Pens 1 and 2 from the table (pen 3 stopped the reading); the rest are defaults.
    const PenMap map = readMap("# pens\n1 4 0\n2 15 3\n3 16 0\n5 5 5\n");
    const PenMap empty;
    const struct {
        const PenMap& map;
        int32_t pen, colour, style;
    } cases[] = {
        {map, 1, 4, 0},     {map, 2, 15, 3},    {map, 3, 3, 1},           {empty, 1, 1, 1},
        {empty, 0, 0, 1},   {empty, -4, -4, 1}, {empty, 15, 15, 1},       {empty, 16, 1, 2},
        {empty, 30, 15, 2}, {empty, 31, 1, 3},  {empty, 45, 15, 3},       {empty, 46, 1, 1},
        {empty, 60, 15, 1}, {empty, 61, 1, 2},  {empty, INT32_MAX, 7, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.map.colourOf(c.pen), c.colour) << c.pen;
        EXPECT_EQ(c.map.styleOf(c.pen), c.style) << c.pen;
    }
}

TEST(PenMap, MissingFilesReadNothing) {
    testsupport::TempDir dir;
    for (const std::string& path : {std::string(), dir.file("missing.txt"), dir.path()}) {
        PenMap map;
        map.read(path);
        EXPECT_TRUE(map.entries().empty()) << path;
        EXPECT_EQ(map.colourOf(3) * 10 + map.styleOf(3), 31) << path;
    }
}

#include <gtest/gtest.h>

#include <filesystem>

#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/SystemFontTable.h"
#include "font/TextDraw.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

using namespace fonttest;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::vector<QsPoint> vertices(const QsPolyline& p) {
    std::vector<QsPoint> out;
    for (int i = 0; i < p.usedCount(); ++i) {
        EXPECT_EQ(p.record(i).width(), 3);  // the text's pen width
        out.push_back(p.record(i).point());
    }
    return out;
}

class TextDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSysEnv();
        resetSystemFontTable();
        // Font 1: an 'L' of two strokes and a dot '.', on a cell 10 wide and 20 high whose
        // baseline is 4 units up.
        std::map<int, VecGlyph> g;
        g['L'] = {{{0, 24, false}, {0, 4, true}, {10, 4, true}, {5, 14, false}, {6, 14, true}}, 10};
        g['.'] = {{{2, 4, false}}, 5};
        const std::string rel = "/font/eng/qafont.vec";
        std::filesystem::create_directories(dir_.path() + "/font/eng");
        ASSERT_TRUE(
            writeFile(dir_.path() + rel, vecFont(1 | (1u << 16) | (1u << 17), 10, 20, 4, g)));
    }
    void TearDown() override {
        resetSysEnv();
        resetSystemFontTable();
    }
    TempDir dir_;
    ScopedEnv project_{"NVL_PROJECT_ROOT", std::nullopt};
    ScopedEnv local_{"QLOCALROOT", std::nullopt};
    ScopedEnv install_{"QRXROOT", dir_.path()};
    ScopedEnv fontPath_{"QFONT_PATH", std::nullopt};
};

}  // namespace

TEST_F(TextDrawTest, GlyphStrokesArePlacedScaledAndTurned) {
    using Pts = std::vector<QsPoint>;
    // Characters 100 wide and 200 high with a gap of 10: '.' advances 50.
    QsText t(QsPoint(1000, 2000), ".L\nL", 100, 200, 10, 3, 0, 0, 50, 0, 0, 0, 1, 100);
    std::vector<QsPolyline> out;
    ASSERT_EQ(drawText(t, out), 1);
    ASSERT_EQ(out.size(), 5u);
    // First line's baseline is one line (200 + 50) above the corner.
    EXPECT_EQ(vertices(out[0]), (Pts{{1020, 2250}}));
    EXPECT_EQ(vertices(out[1]), (Pts{{1060, 2450}, {1060, 2250}, {1160, 2250}}));
    EXPECT_EQ(vertices(out[2]), (Pts{{1110, 2350}, {1120, 2350}}));
    EXPECT_EQ(vertices(out[3]), (Pts{{1000, 2200}, {1000, 2000}, {1100, 2000}}));

    // Centred and turned a quarter: the strokes turn about the position.
    QsText c(QsPoint(0, 0), "L", 100, 200, 0, 3, 1, 0, 0, 0, 0, 0, 1, 100);
    c.angle = 1.5707963267948966;
    out.clear();
    ASSERT_EQ(drawText(c, out), 1);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(vertices(out[0]), (Pts{{-200, -50}, {0, -50}, {0, 50}}));

    // A reversed text starts at the right end of its box.
    QsText r(QsPoint(0, 0), "L.", 100, 200, 10, 3, 0, kTextPathReverse, 0, 0, 0, 0, 1, 100);
    out.clear();
    ASSERT_EQ(drawText(r, out), 1);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(vertices(out[0]), (Pts{{60, 200}, {60, 0}, {160, 0}}));
    EXPECT_EQ(vertices(out[2]), (Pts{{20, 0}}));
}

TEST_F(TextDrawTest, MissingFontsAndTextsOutOfRange) {
    std::vector<QsPolyline> out;
    // A two-byte character without a wide font takes its place and draws nothing.
    QsText t(QsPoint(0, 0), "\x82\xA0L", 100, 200, 0, 3, 0, 0, 0, 0, 0, 0, 1, 100);
    ASSERT_EQ(drawText(t, out), 1);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].record(0).point(), QsPoint(200, 200));
    // The wide font falls back to the given default font.
    FontHandle fallback(dir_.path() + "/font/eng/qafont.vec", kLoadWhole, kCodeGlyphIndex);
    out.clear();
    ASSERT_EQ(drawText(t, out, &fallback), 1);
    EXPECT_EQ(out.size(), 2u);  // code 0x82A0 is outside a single-byte font: no glyph
    out.clear();
    // Strokes beyond the 32-bit range: nothing is added.
    QsText far(QsPoint(INT32_MAX - 10, 0), "LL", 100, 200, 0, 3, 0, 0, 0, 0, 0, 0, 1, 100);
    EXPECT_EQ(drawText(far, out), 0);
    EXPECT_TRUE(out.empty());
}

// Measuring and drawing texts with the stroke fonts: extents by the fixed pitch and by a
// proportional font, and glyph strokes placed, scaled and turned.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/SystemFontTable.h"
#include "font/TextDraw.h"
#include "font/TextMeasure.h"
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

// System font 1 is proportional on a cell 10 wide and 20 high whose baseline is 4 units up:
// 'L' two strokes (advance 10), '.' a dot (5), 'A' (4), 'W' (10), ',' (no width of its own).
class TextDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSysEnv();
        resetSystemFontTable();
        std::map<int, VecGlyph> g;
        g['L'] = {{{0, 24, false}, {0, 4, true}, {10, 4, true}, {5, 14, false}, {6, 14, true}}, 10};
        g['.'] = {{{2, 4, false}}, 5};
        g['A'] = {{{0, 4, false}}, 4};
        g['W'] = {{{0, 4, false}}, 10};
        g[','] = {{{0, 4, false}}, 0};
        std::filesystem::create_directories(dir_.path() + "/font/eng");
        ASSERT_TRUE(writeFile(dir_.path() + "/font/eng/qafont.vec",
                              vecFont(1 | (1u << 16) | (1u << 17), 10, 20, 4, g)));
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

TEST_F(TextDrawTest, ExtentsByTheFixedPitchAndProportionalWidths) {
    const FontHandle* prop = SystemFontTable::instance().findFont(1);
    ASSERT_NE(prop, nullptr);
    const FontHandle none;
    const struct {
        const FontHandle* font;
        int w, h, s, g;
        const char* text;
        std::int64_t width, height;
    } cases[] = {
        // Two lines of two and one characters: 2 * (10 + 2) - 2 wide, (20 + 5) * 2 - 5 high.
        {nullptr, 10, 20, 2, 5, "AA\nA", 22, 45},
        {&none, 10, 20, 2, 5, "A\nAA", 22, 45},
        // One two-byte character advances 2w, in any font.
        {nullptr, 10, 20, 2, 5, "\x82\xA0", 20, 20},
        {prop, 10, 20, 2, 5, "A\x82\xA0\nW", 4 + 2 + 20, 45},
        // Proportional: w * 4 / 10 truncated; width 0 advances w; absent glyphs advance w.
        {prop, 7, 10, 0, 0, "A", 2, 10},
        {prop, 10, 10, 1, 0, "AW,", 4 + 1 + 10 + 1 + 10, 10},
        {prop, 10, 10, 1, 0, "Zz", 10 + 1 + 10, 10},
        {prop, -10, 10, 0, 0, "A", -4, 10},
        // Empty lines and trailing line feeds count as lines.
        {nullptr, 10, 20, 2, 5, "A\n\n", 10, 70},
        {nullptr, 10, 20, 2, 5, "", -2, 20},
        // A lead byte at the end of a line does not swallow the line feed.
        {nullptr, 10, 20, 0, 0, "A\x82\nAAAA", 40, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TextExtent e = measureText(c.w, c.h, c.s, c.g, c.font, c.text);
        EXPECT_EQ(e.width, c.width);
        EXPECT_EQ(e.height, c.height);
    }
    // Extents beyond the 32-bit range are reported as they are, for the caller to refuse.
    const TextExtent big =
        measureText(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, nullptr, std::string(100, 'A'));
    EXPECT_EQ(big.width, 100 * (2 * std::int64_t{INT32_MAX}) - INT32_MAX);
}

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

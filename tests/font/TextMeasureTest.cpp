// Measuring and drawing texts with the stroke fonts: the bundled standard font, extents by the
// fixed pitch and by a proportional font, and glyph strokes placed, scaled and turned.
#include "font/TextMeasure.h"

#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/TextDraw.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

using namespace fonttest;
using testsupport::ScopedEnv;

namespace {

using Strokes = std::vector<std::vector<QsPoint>>;

// The strokes drawn of t (none when drawText fails), every vertex of the text's pen width 3.
Strokes strokes(const QsText& t) {
    std::vector<QsPolyline> out;
    Strokes s(drawText(t, out) ? 0 : 1);
    for (const QsPolyline& p : out) {
        s.emplace_back();
        for (int i = 0; i < p.usedCount(); ++i) {
            EXPECT_EQ(p.record(i).width(), 3);
            s.back().push_back(p.record(i).point());
        }
    }
    return s;
}

// System font 1 is proportional on a cell 10 wide and 20 high whose baseline is 4 units up:
// 'L' two strokes (advance 10), '.' a dot (5), 'A' (4), 'W' (10), ',' (no width of its own).
class TextDrawTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        const Glyphs g = {
            {'L', {{{0, 24}, {kDown | 0, 4}, {kDown | 10, 4}, {5, 14}, {kDown | 6, 14}}, 10}},
            {'.', {{{2, 4}}, 5}},
            {'A', {{{0, 4}}, 4}},
            {'W', {{{0, 4}}, 10}},
            {',', {{{0, 4}}, 0}}};
        putFile(dir_.path() + "/font/eng/qafont.vec",
                vecFont(1 | (1u << 16) | (1u << 17), 10, 20, 4, g));
    }
    testsupport::ScopedEnv root_{"QRXROOT", dir_.path()};
};

}  // namespace

TEST_F(FontTest, BundledStandardFontIsFoundAndCoversPrintableAscii) {
    ScopedEnv i("QRXROOT", testsupport::bundledRoot());
    fresh();
    FontHandle* h = SystemFontTable::instance().findFont(kStandardFontNumber);
    ASSERT_NE(h, nullptr) << "share/qrxroot/font/eng/qafont.vec is not found";
    EXPECT_TRUE(h->font()->isProportional());
    std::vector<GlyphPoint> pts;
    for (std::uint32_t c = 33; c < 127; ++c) {
        EXPECT_GT(h->glyphPoints(c, pts), 0) << char(c);
        EXPECT_GT(h->font()->advanceWidth(c), 0) << char(c);
    }
    EXPECT_LT(measureText(100, 100, 0, 0, kStandardFontNumber, "i").width,
              measureText(100, 100, 0, 0, kStandardFontNumber, "W").width);
}

TEST_F(TextDrawTest, ExtentsByTheFixedPitchAndProportionalWidths) {
    const FontHandle* prop = SystemFontTable::instance().findFont(1);
    ASSERT_NE(prop, nullptr);
    const struct {
        const FontHandle* font;
        int w, h, s, g;
        const char* text;
        std::int64_t width, height;
    } cases[] = {
        // Two lines of two and one characters: 2 * (10 + 2) - 2 wide, (20 + 5) * 2 - 5 high.
        {nullptr, 10, 20, 2, 5, "AA\nA", 22, 45},
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
    // Characters 100 wide and 200 high with a gap of 10: '.' advances 50. The first line's
    // baseline is one line (200 + 50) above the corner.
    EXPECT_EQ(strokes({{1000, 2000}, ".L\nL", 100, 200, 10, 3, 0, 0, 50, 0, 0, 0, 1, 100}),
              (Strokes{{{1020, 2250}},
                       {{1060, 2450}, {1060, 2250}, {1160, 2250}},
                       {{1110, 2350}, {1120, 2350}},
                       {{1000, 2200}, {1000, 2000}, {1100, 2000}},
                       {{1050, 2100}, {1060, 2100}}}));
    // Centred and turned a quarter: the strokes turn about the position.
    QsText c({0, 0}, "L", 100, 200, 0, 3, 1, 0, 0, 0, 0, 0, 1, 100);
    c.angle = 1.5707963267948966;
    EXPECT_EQ(strokes(c), (Strokes{{{-200, -50}, {0, -50}, {0, 50}}, {{-100, 0}, {-100, 10}}}));
    // A reversed text starts at the right end of its box.
    EXPECT_EQ(strokes({{0, 0}, "L.", 100, 200, 10, 3, 0, kTextPathReverse, 0, 0, 0, 0, 1, 100}),
              (Strokes{{{60, 200}, {60, 0}, {160, 0}}, {{110, 100}, {120, 100}}, {{20, 0}}}));
    // A two-byte character without a wide font takes its place and draws nothing.
    EXPECT_EQ(strokes({{0, 0}, "\x82\xA0L", 100, 200, 0, 3, 0, 0, 0, 0, 0, 0, 1, 100}),
              (Strokes{{{200, 200}, {200, 0}, {300, 0}}, {{250, 100}, {260, 100}}}));
    // Strokes beyond the 32-bit range: drawText fails and adds nothing.
    std::vector<QsPolyline> out;
    EXPECT_EQ(drawText({{INT32_MAX - 10, 0}, "LL", 100, 200, 0, 3, 0, 0, 0, 0, 0, 0, 1, 100}, out),
              0);
    EXPECT_TRUE(out.empty());
}

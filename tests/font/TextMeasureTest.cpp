#include <gtest/gtest.h>

#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/TextMeasure.h"

using namespace fonttest;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

TEST(TextMeasureTest, FixedPitchAndProportionalExtents) {
    resetSysEnv();
    ScopedEnv noFontPath("QFONT_PATH", std::nullopt);
    TempDir dir;
    std::map<int, VecGlyph> glyphs;
    glyphs['A'] = {{{0, 0, false}, {1, 1, true}}, 40};
    glyphs['W'] = {{{0, 0, false}, {1, 1, true}}, 100};
    glyphs['.'] = {{{0, 0, false}}, 0};  // no width of its own: advances w
    const std::string fixedPath = dir.file("f.vec");
    const std::string propPath = dir.file("p.vec");
    ASSERT_TRUE(writeFile(fixedPath, vecFont(1, 100, 100, 0, glyphs)));
    ASSERT_TRUE(writeFile(propPath, vecFont(1 | (1u << 17), 100, 100, 0, glyphs)));
    FontHandle fixed(fixedPath, kLoadWhole, kCodeJis);
    FontHandle prop(propPath, kLoadWhole, kCodeJis);
    ASSERT_TRUE(fixed.hasFont() && prop.hasFont());
    FontHandle none;

    struct Case {
        const FontHandle* font;
        int w, h, s, g;
        const char* text;
        std::int64_t width, height;
    };
    const Case cases[] = {
        // Two lines of two and one characters: 2 * (10 + 2) - 2 wide, (20 + 5) * 2 - 5 high.
        {&fixed, 10, 20, 2, 5, "AA\nA", 22, 45},
        {nullptr, 10, 20, 2, 5, "AA\nA", 22, 45},
        {&none, 10, 20, 2, 5, "A\nAA", 22, 45},
        // One two-byte character advances 2w, in any font.
        {&fixed, 10, 20, 2, 5, "\x82\xA0", 20, 20},
        {&prop, 10, 20, 2, 5, "\x82\xA0", 20, 20},
        {&prop, 10, 20, 2, 5, "A\x82\xA0\nW", 4 + 2 + 20, 45},
        // Proportional: w * 40 / 100 truncated; width 0 advances w; absent glyphs advance w.
        {&prop, 7, 10, 0, 0, "A", 2, 10},
        {&prop, 10, 10, 1, 0, "AW.", 4 + 1 + 10 + 1 + 10, 10},
        {&prop, 10, 10, 1, 0, "Zz", 10 + 1 + 10, 10},
        {&prop, -10, 10, 0, 0, "A", -4, 10},
        // Empty lines and trailing line feeds count as lines.
        {&fixed, 10, 20, 2, 5, "A\n\n", 10, 70},
        {&fixed, 10, 20, 2, 5, "", -2, 20},
        // A lead byte at the end of a line does not swallow the line feed.
        {&fixed, 10, 20, 0, 0, "A\x82\nAAAA", 40, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TextExtent e = measureText(c.w, c.h, c.s, c.g, c.font, c.text);
        EXPECT_EQ(e.width, c.width);
        EXPECT_EQ(e.height, c.height);
    }

    // Extents beyond the 32-bit range are reported as they are, for the caller to refuse.
    std::string many(100, 'A');
    TextExtent big = measureText(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, &fixed, many);
    EXPECT_EQ(big.width, 100 * (2 * std::int64_t{INT32_MAX}) - INT32_MAX);
}

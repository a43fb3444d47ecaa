#include <gtest/gtest.h>

#include <cstring>

#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/SplitVectorFont.h"

using namespace fonttest;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::vector<std::uint32_t> words(const std::uint8_t* buf, int units) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(units / 2 + 1));
    std::memcpy(out.data(), buf, out.size() * 4);
    return out;
}

constexpr std::uint32_t word(int x, int y) {
    return (std::uint32_t(x) << 16) | std::uint32_t(y);
}

}  // namespace

TEST(SplitVectorFontTest, FetchesPackedGlyphsFromBothFiles) {
    resetSysEnv();
    ScopedEnv noFontPath("QFONT_PATH", std::nullopt);
    TempDir dir;
    const std::string base = dir.file("kanji.vec");
    // JIS 0x2122 is slot 1 of the first file; 0x5021 slot 0 of the second (no glyph); 0x5022
    // slot 1 of the second.
    const SplitGlyph two = {{{0, 0}, {1022, 512}}, {{100, 900}, {200, 900}, {300, 5}}};
    const SplitGlyph one = {{{7, 8}}};
    ASSERT_TRUE(writeFile(base + ".vf1", splitFontFile({{1, two}, {0, one}})));
    ASSERT_TRUE(writeFile(base + ".vf2", splitFontFile({{1, one}})));

    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        SCOPED_TRACE(mode);
        FontHandle h(base, mode, kCodeJis);
        ASSERT_TRUE(h.hasFont());
        ASSERT_NE(dynamic_cast<SplitVectorFont*>(h.font()), nullptr);

        std::uint8_t buf[kGlyphBufferSize];
        int width = -1;
        int units = h.fetchGlyphWidth(0x2122, buf, sizeof buf, &width);
        ASSERT_EQ(units, 12);  // five points and one lift, as 32-bit words
        EXPECT_EQ(width, 1024);
        std::vector<std::uint32_t> expected = {word(0, 0),
                                               word(1022, 512),
                                               word(1023, 1023),
                                               word(100, 900),
                                               word(200, 900),
                                               word(300, 5),
                                               0};
        EXPECT_EQ(words(buf, units), expected);

        std::vector<GlyphPoint> pts;
        ASSERT_EQ(h.glyphPoints(0x2122, pts), 5);
        EXPECT_EQ(
            std::vector<bool>({pts[0].penDown, pts[1].penDown, pts[2].penDown, pts[4].penDown}),
            std::vector<bool>({false, true, false, true}));

        EXPECT_EQ(h.fetchGlyph(0x2121, buf, sizeof buf), 0);  // slot 0 has no glyph
        EXPECT_EQ(h.fetchGlyph(0x2123, buf, sizeof buf), 0);  // missing slot
        EXPECT_EQ(h.fetchGlyph(0x5021, buf, sizeof buf), 0);
        EXPECT_EQ(h.fetchGlyph(0x5022, buf, sizeof buf), 2);
        EXPECT_EQ(words(buf, 2)[0], word(7, 8));
        EXPECT_EQ(h.fetchGlyph(0x2020, buf, sizeof buf), -1);  // below the first slot
        h.setCodeKind(kCodeShiftJis);
        EXPECT_EQ(h.fetchGlyph(0x8141, buf, sizeof buf), 12);  // Shift_JIS of JIS 0x2122
        h.setCodeKind(kCodeKorean);
        EXPECT_EQ(h.fetchGlyph(0xB0A1, buf, sizeof buf), -1);
    }
}

TEST(SplitVectorFontTest, MissingOrShortFilesAndCorruptData) {
    resetSysEnv();
    ScopedEnv noFontPath("QFONT_PATH", std::nullopt);
    TempDir dir;
    const std::string base = dir.file("k.vec");
    // Without the first file there is no split font; a short first file does not open.
    ASSERT_TRUE(writeFile(base + ".vf1", std::string(1000, '\0')));
    FontHandle h(base, kLoadWhole, kCodeJis);
    EXPECT_FALSE(h.hasFont());

    // A first file alone serves its rows; the second file's rows have no glyph.
    const SplitGlyph g = {{{1, 2}, {3, 4}}};
    std::string file = splitFontFile({{1, g}});
    ASSERT_TRUE(writeFile(base + ".vf1", file));
    ASSERT_GE(h.open(base, kLoadOnDemand, kCodeJis), 0);
    std::uint8_t buf[kGlyphBufferSize];
    EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), 4);
    EXPECT_EQ(h.fetchGlyph(0x5022, buf, sizeof buf), 0);
    h.close();

    // Glyph data without the closing lifts ends where the file ends; an offset past the end
    // gives no glyph; endless garbage is cut at the buffer's size.
    std::string cut = file.substr(0, file.size() - 3);
    std::string table = file.substr(0, 17674);
    table[2 + 4 * 2] = 0x40;  // slot 2 points far beyond the data
    std::string garbage = table + std::string(20000, '\x11');
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        ASSERT_TRUE(writeFile(base + ".vf1", cut));
        ASSERT_GE(h.open(base, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), 4);
        h.close();
        ASSERT_TRUE(writeFile(base + ".vf1", garbage));
        ASSERT_GE(h.open(base, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2123, buf, sizeof buf), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), int(kGlyphBufferSize / 2 - 2));
        h.close();
    }
}

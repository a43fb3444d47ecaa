// Split double-byte fonts: slots of the two files, 10-bit packed points, pen lifts, damaged data.
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

class SplitVectorFontTest : public ::testing::Test {
protected:
    void SetUp() override { resetSysEnv(); }
    ScopedEnv noFontPath_{"QFONT_PATH", std::nullopt};
    TempDir dir_;
    const std::string base_ = dir_.file("kanji.vec");
};

}  // namespace

TEST_F(SplitVectorFontTest, PackedGlyphsFromBothFiles) {
    // JIS 0x2122 is slot 1 of the first file, 0x5022 slot 1 of the second; slot 0 is no glyph.
    const SplitGlyph two = {{{0, 0}, {1022, 512}}, {{100, 900}, {200, 900}, {300, 5}}};
    const SplitGlyph one = {{{7, 8}}};
    ASSERT_TRUE(writeFile(base_ + ".vf1", splitFontFile({{1, two}, {0, one}})));
    ASSERT_TRUE(writeFile(base_ + ".vf2", splitFontFile({{1, one}})));
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        SCOPED_TRACE(mode);
        FontHandle h(base_, mode, kCodeJis);
        ASSERT_NE(dynamic_cast<SplitVectorFont*>(h.font()), nullptr);
        std::uint8_t buf[kGlyphBufferSize];
        int width = -1;
        const int units = h.fetchGlyphWidth(0x2122, buf, sizeof buf, &width);
        EXPECT_EQ(width, 1024);
        ASSERT_EQ(units, 12);  // five points and one lift as 32-bit words, then the 0 word
        EXPECT_EQ(words(buf, units),
                  (std::vector<std::uint32_t>{word(0, 0), word(1022, 512), word(1023, 1023),
                                              word(100, 900), word(200, 900), word(300, 5), 0}));
        std::vector<GlyphPoint> pts;
        ASSERT_EQ(h.glyphPoints(0x2122, pts), 5);
        EXPECT_TRUE(!pts[0].penDown && pts[1].penDown && !pts[2].penDown && pts[4].penDown);

        const struct {
            int kind;
            std::uint32_t code;
            int units;
        } cases[] = {{kCodeJis, 0x2121, 0},    {kCodeJis, 0x2123, 0},  {kCodeJis, 0x5021, 0},
                     {kCodeJis, 0x5022, 2},    {kCodeJis, 0x2020, -1}, {kCodeShiftJis, 0x8141, 12},
                     {kCodeKorean, 0xB0A1, -1}};
        for (const auto& c : cases) {
            h.setCodeKind(c.kind);
            EXPECT_EQ(h.fetchGlyph(c.code, buf, sizeof buf), c.units) << std::hex << c.code;
        }
    }
}

TEST_F(SplitVectorFontTest, MissingShortAndDamagedFiles) {
    ASSERT_TRUE(writeFile(base_ + ".vf1", std::string(1000, '\0')));
    FontHandle h(base_, kLoadWhole, kCodeJis);
    EXPECT_FALSE(h.hasFont());  // shorter than its slot table

    // A first file alone serves its rows. Glyph data without the closing lifts ends where the
    // file ends; an offset past the end gives no glyph; endless data is cut at the buffer.
    const std::string file = splitFontFile({{1, {{{1, 2}, {3, 4}}}}});
    std::string garbage = file.substr(0, 17674);
    garbage[2 + 4 * 2] = 0x40;  // slot 2 points far beyond the data
    garbage += std::string(20000, '\x11');
    std::uint8_t buf[kGlyphBufferSize];
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        ASSERT_TRUE(writeFile(base_ + ".vf1", file.substr(0, file.size() - 3)));
        ASSERT_GE(h.open(base_, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), 4);
        EXPECT_EQ(h.fetchGlyph(0x5022, buf, sizeof buf), 0);
        ASSERT_TRUE(writeFile(base_ + ".vf1", garbage));
        ASSERT_GE(h.open(base_, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2123, buf, sizeof buf), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), int(kGlyphBufferSize / 2 - 2));
        h.close();
    }
}

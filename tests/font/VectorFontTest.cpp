// ".vec" fonts: header and both index kinds, glyph fetching in both load modes, code kinds of
// double-byte fonts, damaged files, and fonts shared per path.
#include <gtest/gtest.h>

#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/VectorFont.h"

using namespace fonttest;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// 'A' two strokes (advance 10), 'B' one point whose bit 7 is set, 'i' one stroke (advance 4).
std::map<int, VecGlyph> sampleGlyphs() {
    std::map<int, VecGlyph> g;
    g['A'] = {{{0, 0, false}, {5, 20, true}, {10, 0, true}, {2, 8, false}, {8, 8, true}}, 10};
    g['B'] = {{{3, 3, true}}, 4};
    g['i'] = {{{2, 0, false}, {2, 12, true}}, 4};
    return g;
}

class VectorFontTest : public ::testing::Test {
protected:
    void SetUp() override { resetSysEnv(); }
    void TearDown() override { resetSysEnv(); }
    ScopedEnv noFontPath_{"QFONT_PATH", std::nullopt};
    TempDir dir_;
};

}  // namespace

TEST_F(VectorFontTest, FixedAndProportionalGlyphsInBothLoadModes) {
    ASSERT_TRUE(writeFile(dir_.file("f.vec"), vecFont(1, 12, 24, 0, sampleGlyphs())));
    ASSERT_TRUE(writeFile(dir_.file("p.vec"), vecFont(1 | (1u << 17), 12, 24, 0, sampleGlyphs())));
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        FontHandle f(dir_.file("f.vec"), mode, kCodeJis);
        FontHandle p(dir_.file("p.vec"), mode, kCodeJis);
        // Fixed pitch advances the cell width, proportional the record's width; codes outside
        // 32..127 have no glyph and no width.
        const struct {
            FontHandle* font;
            std::uint32_t code;
            int units, width;
        } cases[] = {{&f, 'A', 5, 12}, {&p, 'A', 5, 10}, {&p, 'i', 2, 4}, {&f, 'Z', 0, 12},
                     {&p, 'Z', 0, 0},  {&f, 31, 0, 0},   {&f, 128, 0, 0}, {&p, 0, 0, 0}};
        for (const auto& c : cases) {
            std::uint8_t buf[64];
            int width = -1;
            EXPECT_EQ(c.font->fetchGlyphWidth(c.code, buf, sizeof buf, &width), c.units)
                << mode << " " << c.code;
            EXPECT_EQ(width, c.width) << mode << " " << c.code;
        }
        std::uint8_t small[4];
        EXPECT_EQ(f.fetchGlyph('A', small, sizeof small), 2);  // what fits
        // Strokes begin at points without bit 7, and always at the first point.
        std::vector<GlyphPoint> a, b;
        ASSERT_EQ(f.glyphPoints('A', a), 5);
        EXPECT_TRUE(!a[0].penDown && a[1].penDown && !a[3].penDown && a[4].penDown);
        EXPECT_EQ(a[1].x, 5);
        ASSERT_EQ(f.glyphPoints('B', b), 1);
        EXPECT_FALSE(b[0].penDown);
    }
}

TEST_F(VectorFontTest, DoubleByteCodesByCodeKind) {
    std::map<int, VecGlyph> g;
    for (int index : {0, 232, 301, 1441, 1999})
        g[index] = {{{1, 1, false}, {index % 100, 2, true}}, 0};
    const std::string path = dir_.file("wide.vec");
    // The flags state code kind 8 in bits 3-15, which leaves the font kind 2.
    ASSERT_TRUE(writeFile(path, vecFont(2 | (8u << 3), 100, 100, 0, g, 2000)));
    const struct {
        int kind;
        std::uint32_t code;
        int index;  // -1: outside the font
    } cases[] = {
        {kCodeJis, 0x2121, 0},       {kCodeJis, 0x2422, 301},      {kCodeShiftJis, 0x82A0, 301},
        {kCodeEucJp, 0xA4A2, 301},   {kCodeSingleByte, 'A', 232},  {kCodeSingleByte, ' ', 0},
        {kCodeKorean, 0xB0A1, 1441}, {kCodeChinese, 0xB0A1, 1441}, {kCodeGlyphIndex, 1999, 1999},
        {kCodeGlyphIndex, 2000, -1}, {kCodeJis, 0x7E7E, -1},       {kCodeJis, 0x2020, -1},
        {kCodeShiftJis, 0x8100, -1}, {kCodeSingleByte, 0x7F, -1},  {5, 0x2121, -1},
    };
    FontHandle h(path, kLoadOnDemand, kCodeJis);
    ASSERT_TRUE(h.hasFont());
    EXPECT_EQ(h.font()->flags(), 2u);
    EXPECT_EQ(h.font()->codeKind(), 8);
    std::uint8_t buf[64];
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << std::hex << c.code);
        h.setCodeKind(c.kind);
        int width = -1;
        EXPECT_EQ(h.fetchGlyphWidth(c.code, buf, sizeof buf, &width), c.index < 0 ? -1 : 2);
        if (c.index >= 0) {
            EXPECT_EQ(buf[2] & 0x7F, c.index % 100);
            EXPECT_EQ(width, 100);
        }
    }
}

TEST_F(VectorFontTest, DamagedFiles) {
    const std::string good = vecFont(1, 12, 24, 0, sampleGlyphs());
    std::string hugeIndex = good;
    putBig32(hugeIndex, 32, 0xFFFFFFF0u);
    std::string hugeData = good;
    putBig32(hugeData, 36, 0x7FFFFFFFu);
    const struct {
        const char* name;
        std::string bytes;
        int mode;
        int unitsOfI;  // -1: the font does not open
    } cases[] = {
        {"short header", good.substr(0, 95), kLoadWhole, -1},
        {"header only", good.substr(0, 96), kLoadWhole, -1},
        {"cut index", good.substr(0, 300), kLoadOnDemand, -1},
        {"cut data, whole", good.substr(0, good.size() - 3), kLoadWhole, -1},
        {"cut data, on demand", good.substr(0, good.size() - 2), kLoadOnDemand, 1},
        {"index size beyond file", hugeIndex, kLoadOnDemand, -1},
        {"data size beyond file, whole", hugeData, kLoadWhole, -1},
        {"data size beyond file, on demand", hugeData, kLoadOnDemand, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.file("bad.vec");
        ASSERT_TRUE(writeFile(path, c.bytes));
        FontHandle h;
        EXPECT_EQ(h.open(path, c.mode, kCodeJis) >= 0, c.unitsOfI >= 0);
        std::uint8_t buf[64];
        EXPECT_EQ(h.fetchGlyph('i', buf, sizeof buf), c.unitsOfI);
    }
    EXPECT_FALSE(FontHandle(dir_.file("none.vec"), kLoadWhole, kCodeJis).hasFont());
    EXPECT_EQ(openFontCount(), 0);
}

TEST_F(VectorFontTest, FontsAreSharedPerPath) {
    ASSERT_TRUE(writeFile(dir_.file("a.vec"), vecFont(1, 12, 24, 0, sampleGlyphs())));
    ASSERT_TRUE(writeFile(dir_.file("b.vec"), vecFont(1, 12, 24, 0, sampleGlyphs())));
    {
        FontHandle h1(dir_.file("a.vec"), kLoadWhole, kCodeJis);
        FontHandle h2(dir_.file("a.vec"), kLoadOnDemand, kCodeShiftJis);
        FontHandle h3(dir_.file("b.vec"), kLoadWhole, kCodeJis);
        EXPECT_EQ(h1.font(), h2.font());
        EXPECT_NE(h1.font(), h3.font());
        EXPECT_EQ(h1.font()->refCount(), 2);
        EXPECT_EQ(FontHandle(h3).font()->refCount(), 2);  // copies share
        h2.close();
        h1.close();
        EXPECT_EQ(findOpenFont(dir_.file("a.vec")), nullptr);
        EXPECT_EQ(openFontCount(), 1);
    }
    EXPECT_EQ(openFontCount(), 0);
}

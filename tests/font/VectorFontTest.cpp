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

// A fixed-pitch single-byte font: 'A' two strokes, 'B' one point.
std::map<int, VecGlyph> sampleGlyphs() {
    std::map<int, VecGlyph> g;
    g['A'] = {{{0, 0, false}, {5, 20, true}, {10, 0, true}, {2, 8, false}, {8, 8, true}}, 10};
    g['B'] = {{{3, 3, true}}, 4};  // bit 7 set on the first point
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

TEST_F(VectorFontTest, FetchesGlyphsOfFixedAndProportionalFontsInBothLoadModes) {
    const std::string fixed = dir_.file("fixed.vec");
    const std::string prop = dir_.file("prop.vec");
    ASSERT_TRUE(writeFile(fixed, vecFont(1, 12, 24, 0, sampleGlyphs())));
    ASSERT_TRUE(writeFile(prop, vecFont(1 | (1u << 17), 12, 24, 0, sampleGlyphs())));

    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        SCOPED_TRACE(mode);
        FontHandle f(fixed, mode, kCodeJis);
        FontHandle p(prop, mode, kCodeJis);
        ASSERT_TRUE(f.hasFont() && p.hasFont());
        EXPECT_TRUE(p.font()->isProportional());

        std::uint8_t buf[64];
        int width = -1;
        EXPECT_EQ(f.fetchGlyphWidth('A', buf, sizeof buf, &width), 5);
        EXPECT_EQ(width, 12);     // fixed pitch: the cell width
        EXPECT_EQ(buf[2], 0x85);  // pen down, x 5
        EXPECT_EQ(p.fetchGlyphWidth('A', buf, sizeof buf, &width), 5);
        EXPECT_EQ(width, 10);  // proportional: the record's width

        // Codes outside 32..127 have no glyph; a code without glyph data has length 0.
        for (std::uint32_t code : {0u, 31u, 128u, 200u}) {
            EXPECT_EQ(f.fetchGlyphWidth(code, buf, sizeof buf, &width), 0) << code;
            EXPECT_EQ(width, 0);
            EXPECT_EQ(p.fetchGlyph(code, buf, sizeof buf), 0) << code;
        }
        EXPECT_EQ(p.fetchGlyph('Z', buf, sizeof buf), 0);
        EXPECT_EQ(p.font()->advanceWidth('Z'), 0);
        EXPECT_EQ(f.font()->advanceWidth('Z'), 12);

        // Decoding: strokes begin at points without bit 7, and always at the first point.
        std::vector<GlyphPoint> pts;
        ASSERT_EQ(f.glyphPoints('A', pts), 5);
        EXPECT_FALSE(pts[0].penDown);
        EXPECT_FALSE(pts[3].penDown);
        EXPECT_TRUE(pts[4].penDown);
        ASSERT_EQ(f.glyphPoints('B', pts), 1);
        EXPECT_FALSE(pts[0].penDown);
    }
}

TEST_F(VectorFontTest, MapsDoubleByteCodesByCodeKind) {
    // Double-byte font with 2000 index entries; glyphs at a few indexes.
    std::map<int, VecGlyph> g;
    for (int index : {0, 232, 301, 1441, 1999})
        g[index] = {{{1, 1, false}, {index % 100, 2, true}}, 0};
    const std::string path = dir_.file("wide.vec");
    // The flags state code kind 8 in bits 3-15, which leaves the font kind 2.
    ASSERT_TRUE(writeFile(path, vecFont(2 | (8u << 3), 100, 100, 0, g, 2000)));

    struct Case {
        int kind;
        std::uint32_t code;
        int index;  // expected glyph index, -1 outside the font
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << std::hex << c.code);
        EXPECT_EQ(h.font()->glyphIndex(c.code, c.kind), c.index);
        h.setCodeKind(c.kind);
        int width = -1;
        int units = h.fetchGlyphWidth(c.code, buf, sizeof buf, &width);
        if (c.index < 0) {
            EXPECT_EQ(units, -1);
        } else {
            EXPECT_EQ(units, 2);
            EXPECT_EQ(buf[2] & 0x7F, c.index % 100);
            EXPECT_EQ(width, 100);
        }
    }
}

TEST_F(VectorFontTest, TruncatedAndCorruptFilesDoNotOpen) {
    const std::string good = vecFont(1, 12, 24, 0, sampleGlyphs());
    struct Case {
        const char* name;
        std::string bytes;
        int mode;
        bool opens;
    };
    std::string hugeIndex = good;
    putBig32(hugeIndex, 32, 0xFFFFFFF0u);
    std::string hugeData = good;
    putBig32(hugeData, 36, 0x7FFFFFFFu);
    const Case cases[] = {
        {"short header", good.substr(0, 95), kLoadWhole, false},
        {"header only", good.substr(0, 96), kLoadWhole, false},  // the index is missing
        {"cut index", good.substr(0, 300), kLoadOnDemand, false},
        {"cut data, whole", good.substr(0, good.size() - 3), kLoadWhole, false},
        {"index size beyond file", hugeIndex, kLoadOnDemand, false},
        {"data size beyond file, whole", hugeData, kLoadWhole, false},
        {"data size beyond file, on demand", hugeData, kLoadOnDemand, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.file("bad.vec");
        ASSERT_TRUE(writeFile(path, c.bytes));
        FontHandle h;
        EXPECT_EQ(h.open(path, c.mode, kCodeJis) >= 0, c.opens);
        EXPECT_EQ(h.hasFont(), c.opens);
        std::uint8_t buf[64];
        if (!c.opens) {
            EXPECT_EQ(h.fetchGlyph('A', buf, sizeof buf), -1);
        }
    }
    EXPECT_EQ(openFontCount(), 0);
    FontHandle missing(dir_.file("none.vec"), kLoadWhole, kCodeJis);
    EXPECT_FALSE(missing.hasFont());
}

TEST_F(VectorFontTest, GlyphReadsBeyondTheDataYieldWhatWasRead) {
    // The last glyph ('i') is cut in half: on demand, what is there is handed out.
    std::string bytes = vecFont(1, 12, 24, 0, sampleGlyphs());
    const std::string path = dir_.file("cut.vec");
    ASSERT_TRUE(writeFile(path, bytes.substr(0, bytes.size() - 2)));
    FontHandle h(path, kLoadOnDemand, kCodeJis);
    ASSERT_TRUE(h.hasFont());
    std::uint8_t buf[64];
    EXPECT_EQ(h.fetchGlyph('i', buf, sizeof buf), 1);
    EXPECT_EQ(h.fetchGlyph('A', buf, sizeof buf), 5);
    // A destination smaller than the glyph gets what fits.
    EXPECT_EQ(h.fetchGlyph('A', buf, 4), 2);
}

TEST_F(VectorFontTest, FontsAreSharedPerPathWithReferenceCounts) {
    const std::string a = dir_.file("a.vec");
    const std::string b = dir_.file("b.vec");
    ASSERT_TRUE(writeFile(a, vecFont(1, 12, 24, 0, sampleGlyphs())));
    ASSERT_TRUE(writeFile(b, vecFont(1, 12, 24, 0, sampleGlyphs())));
    {
        FontHandle h1(a, kLoadWhole, kCodeJis);
        FontHandle h2(a, kLoadOnDemand, kCodeShiftJis);
        FontHandle h3(b, kLoadWhole, kCodeJis);
        EXPECT_EQ(h1.font(), h2.font());
        EXPECT_NE(h1.font(), h3.font());
        EXPECT_EQ(h1.font()->refCount(), 2);
        EXPECT_EQ(openFontCount(), 2);
        {
            FontHandle copy = h3;
            EXPECT_EQ(h3.font()->refCount(), 2);
        }
        EXPECT_EQ(h3.font()->refCount(), 1);
        h2.close();
        h1.close();
        EXPECT_EQ(openFontCount(), 1);
        EXPECT_EQ(findOpenFont(a), nullptr);
    }
    EXPECT_EQ(openFontCount(), 0);
}

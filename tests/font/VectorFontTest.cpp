// Font files: ".vec" fonts with both index kinds in both load modes, code kinds of double-byte
// fonts, split fonts of two files, damaged files (measured with the fixed pitch instead), and
// where fonts and system fonts are found.
#include "font/VectorFont.h"

#include <cstring>

#include "font/FontHandle.h"
#include "font/FontTestFiles.h"
#include "font/SplitVectorFont.h"
#include "font/TextMeasure.h"

using namespace fonttest;
using testsupport::ScopedEnv;

namespace {

// 'A' two strokes (advance 10; bit 7 set on its first point), 'i' one stroke (advance 4).
const Glyphs kSample = {
    {'A', {{{kDown | 0, 0}, {kDown | 5, 20}, {kDown | 10, 0}, {2, 8}, {kDown | 8, 8}}, 10}},
    {'i', {{{2, 0}, {kDown | 2, 12}}, 4}}};

using VectorFontTest = FontTest;

// A fixed-pitch font of cell width cw at path.
void putFont(const std::string& path, int cw) {
    putFile(path, vecFont(1, cw, 10, 0, {}));
}

int cellWidthOf(const FontHandle* h) {
    return h && h->hasFont() ? h->font()->cellWidth() : 0;
}

std::optional<std::string> setIf(bool on, const std::string& value) {
    return on ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

TEST_F(VectorFontTest, FixedAndProportionalGlyphsInBothLoadModes) {
    putFile(dir_.file("f.vec"), vecFont(1, 12, 24, 0, kSample));
    putFile(dir_.file("p.vec"), vecFont(1 | (1u << 17), 12, 24, 0, kSample));
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        FontHandle f(dir_.file("f.vec"), mode, kCodeJis), p(dir_.file("p.vec"), mode, kCodeJis);
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
            EXPECT_EQ(c.font->font()->advanceWidth(c.code), c.width) << mode << " " << c.code;
        }
        std::uint8_t small[4];
        EXPECT_EQ(f.fetchGlyph('A', small, sizeof small), 2);  // what fits
        // Strokes begin at points without bit 7, and always at the first point.
        std::vector<GlyphPoint> a;
        ASSERT_EQ(f.glyphPoints('A', a), 5);
        EXPECT_TRUE(!a[0].penDown && a[1].penDown && !a[3].penDown && a[4].penDown);
        EXPECT_EQ(a[1].x, 5);
    }
}

TEST_F(VectorFontTest, DoubleByteCodesByCodeKind) {
    Glyphs g;
    for (int index : {0, 232, 301, 1441, 1999})
        g[index] = {{{1, 1}, {kDown | (index % 100), 2}}};
    const std::string path = dir_.file("wide.vec");
    // The flags state code kind 8 in bits 3-15, which leaves the font kind 2.
    putFile(path, vecFont(2 | (8u << 3), 100, 100, 0, g, 2000));
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

TEST_F(VectorFontTest, DamagedFilesOpenNoFontAndTextsFallBackToTheFixedPitch) {
    const std::string good = vecFont(1 | (1u << 17), 12, 24, 0, kSample);
    std::string hugeIndex = good, hugeData = good;
    put(hugeIndex, 32, 0xFFFFFFF0u);
    put(hugeData, 36, 0x7FFFFFFFu);
    const struct {
        const char* name;
        std::string bytes;
        int mode;
        int unitsOfI;  // -1: the font does not open
    } cases[] = {
        {"missing", "", kLoadWhole, -1},
        {"short header", good.substr(0, 95), kLoadWhole, -1},
        {"cut index", good.substr(0, 300), kLoadOnDemand, -1},
        {"cut data, whole", good.substr(0, good.size() - 3), kLoadWhole, -1},
        {"cut data, on demand", good.substr(0, good.size() - 2), kLoadOnDemand, 1},
        {"index size beyond file", hugeIndex, kLoadOnDemand, -1},
        {"data size beyond file, whole", hugeData, kLoadWhole, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.file(c.bytes.empty() ? "none.vec" : "bad.vec");
        if (!c.bytes.empty()) putFile(path, c.bytes);
        FontHandle h;
        EXPECT_EQ(h.open(path, c.mode, kCodeJis) >= 0, c.unitsOfI >= 0);
        std::uint8_t buf[64];
        EXPECT_EQ(h.fetchGlyph('i', buf, sizeof buf), c.unitsOfI);
        // 'i' advances 4 of the 12-unit cell in the font, the whole 10 by the fixed pitch.
        EXPECT_EQ(measureText(10, 20, 0, 0, &h, "ii").width, c.unitsOfI < 0 ? 20 : 6);
    }
    EXPECT_EQ(openFontCount(), 0);
}

TEST_F(VectorFontTest, SplitFontGlyphsFromBothFiles) {
    // JIS 0x2122 is slot 1 of the first file, 0x5022 slot 1 of the second; slot 0 is no glyph.
    const std::string base = dir_.file("kanji.vec");
    const Glyph two = {{{0, 0}, {1022, 512}, {1023, 1023}, {100, 900}, {200, 900}, {300, 5}}};
    const Glyph one = {{{7, 8}}};
    putFile(base + ".vf1", splitFont({{1, two}, {0, one}}));
    putFile(base + ".vf2", splitFont({{1, one}}));
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        SCOPED_TRACE(mode);
        FontHandle h(base, mode, kCodeJis);
        ASSERT_NE(dynamic_cast<SplitVectorFont*>(h.font()), nullptr);
        std::uint8_t buf[kGlyphBufferSize];
        int width = -1;
        const int units = h.fetchGlyphWidth(0x2122, buf, sizeof buf, &width);
        EXPECT_EQ(width, 1024);
        ASSERT_EQ(units, 12);  // five points and one lift as 32-bit words, then the 0 word
        std::vector<std::uint32_t> words(7);
        std::memcpy(words.data(), buf, 7 * 4);
        const auto w = [](std::uint32_t x, std::uint32_t y) { return x << 16 | y; };
        EXPECT_EQ(words, (std::vector<std::uint32_t>{w(0, 0), w(1022, 512), w(1023, 1023),
                                                     w(100, 900), w(200, 900), w(300, 5), 0}));
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

TEST_F(VectorFontTest, SplitFontMissingShortAndDamagedFiles) {
    const std::string base = dir_.file("kanji.vec");
    putFile(base + ".vf1", std::string(1000, '\0'));
    FontHandle h(base, kLoadWhole, kCodeJis);
    EXPECT_FALSE(h.hasFont());  // shorter than its slot table

    // A first file alone serves its rows. Glyph data without the closing lifts ends where the
    // file ends; an offset past the end gives no glyph; endless data is cut at the buffer.
    const std::string file = splitFont({{1, {{{1, 2}, {3, 4}}}}});
    std::string garbage = file.substr(0, 17674);
    garbage[2 + 4 * 2] = 0x40;  // slot 2 points far beyond the data
    garbage += std::string(20000, '\x11');
    std::uint8_t buf[kGlyphBufferSize];
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        putFile(base + ".vf1", file.substr(0, file.size() - 3));
        ASSERT_GE(h.open(base, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), 4);
        EXPECT_EQ(h.fetchGlyph(0x5022, buf, sizeof buf), 0);
        putFile(base + ".vf1", garbage);
        ASSERT_GE(h.open(base, mode, kCodeJis), 0);
        EXPECT_EQ(h.fetchGlyph(0x2123, buf, sizeof buf), 0);
        EXPECT_EQ(h.fetchGlyph(0x2122, buf, sizeof buf), int(kGlyphBufferSize / 2 - 2));
        h.close();
    }
}

TEST_F(VectorFontTest, SystemRootsAndTheFontPathAreSearchedInOrder) {
    const std::string rel = "/font/eng/qafont.vec";
    const std::string project = dir_.file("project"), local = dir_.file("local"),
                      install = dir_.file("install");
    putFont(project + "/local/qsys" + rel, 11);
    putFont(local + "/qsys" + rel, 12);
    putFont(install + rel, 13);
    // The project's tree wins over the local root, which wins over the installation.
    for (int unset = 0; unset < 4; ++unset) {
        ScopedEnv p("NVL_PROJECT_ROOT", setIf(unset < 1, project));
        ScopedEnv l("QLOCALROOT", setIf(unset < 2, local));
        ScopedEnv i("QRXROOT", setIf(unset < 3, install));
        fresh();
        EXPECT_EQ(cellWidthOf(findSystemFont(1)), unset < 3 ? 11 + unset : 0);
    }
    // When no place holds it, the local root's candidate is used all the same.
    ScopedEnv l("QLOCALROOT", "/root-not-there");
    fresh();
    EXPECT_EQ(SystemFontTable::locateSystemFile(rel), "/root-not-there/qsys" + rel);

    // QFONT_PATH: the first directory holding the file wins (empty entries are skipped), else
    // the path is used as given. The system fonts go through the same search.
    const std::string first = dir_.file("first"), second = dir_.file("second"),
                      third = dir_.file("third");
    std::filesystem::create_directories(first);
    putFont(second + "/fonts/x.vec", 21);
    putFont(third + "/fonts/x.vec", 22);
    putFont(dir_.path() + "/fonts/x.vec", 23);
    putFont(third + "/root-not-there/qsys" + rel, 24);
    ScopedEnv path("QFONT_PATH", first + ";;" + second + ";" + third);
    fresh();
    FontHandle h("fonts/x.vec", kLoadWhole, kCodeJis);
    EXPECT_EQ(cellWidthOf(&h), 21);
    EXPECT_EQ(h.resolvedPath(), second + "/fonts/x.vec");
    h.open(dir_.path() + "/fonts/x.vec", kLoadWhole, kCodeJis);
    EXPECT_EQ(cellWidthOf(&h), 23);
    EXPECT_EQ(cellWidthOf(findSystemFont(1)), 24);
}

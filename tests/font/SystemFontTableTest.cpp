#include <gtest/gtest.h>

#include <filesystem>

#include "base/Language.h"
#include "base/SysEnv.h"
#include "font/FontTestFiles.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"

using namespace fonttest;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Clears every variable the font lookup reads and the caches that hold them.
class SystemFontTableTest : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }
    void TearDown() override { fresh(); }
    static void fresh() {
        resetSysEnv();
        resetCharsetKind();
        resetSystemFontTable();
    }
    // Writes a fixed-pitch font of cell width cw at root + relative.
    static void putFont(const std::string& root, const std::string& relative, int cw) {
        std::filesystem::create_directories(std::filesystem::path(root + relative).parent_path());
        ASSERT_TRUE(
            writeFile(root + relative, vecFont(1, cw, 10, 0, {{'A', {{{0, 0, false}}, 0}}})));
    }

    ScopedEnv project_{"NVL_PROJECT_ROOT", std::nullopt};
    ScopedEnv local_{"QLOCALROOT", std::nullopt};
    ScopedEnv install_{"QRXROOT", std::nullopt};
    ScopedEnv fontPath_{"QFONT_PATH", std::nullopt};
    ScopedEnv lang_{"QLANG", std::nullopt};
    TempDir dir_;
};

}  // namespace

TEST_F(SystemFontTableTest, NumbersAndLoadModes) {
    EXPECT_EQ(findSystemFont(1000), nullptr);
    EXPECT_EQ(findSystemFont(11), nullptr);

    struct Case {
        unsigned number;
        int loadMode;
        int codeKind;
    };
    const Case cases[] = {{1, kLoadWhole, kCodeJis},
                          {10, kLoadWhole, kCodeJis},
                          {100, kLoadOnDemand, kCodeShiftJis},
                          {200, kLoadOnDemand, kCodeKorean},
                          {300, kLoadOnDemand, kCodeChinese}};
    for (const Case& c : cases) {
        FontHandle* h = findSystemFont(c.number);
        ASSERT_NE(h, nullptr) << c.number;
        EXPECT_FALSE(h->hasFont());  // nothing installed
        EXPECT_EQ(h->loadMode(), c.loadMode) << c.number;
        EXPECT_EQ(h->codeKind(), c.codeKind) << c.number;
        EXPECT_EQ(findSystemFont(c.number), h);  // kept in its row
    }
}

TEST_F(SystemFontTableTest, SystemFileSearchOrder) {
    const std::string rel = "/font/eng/qafont.vec";
    const std::string project = dir_.file("project");
    const std::string local = dir_.file("local");
    const std::string install = dir_.file("install");
    putFont(project + "/local/qsys", rel, 11);
    putFont(local + "/qsys", rel, 12);
    putFont(install, rel, 13);

    struct Case {
        bool project, local, install;
        int cellWidth;  // 0: no font
    };
    const Case cases[] = {{true, true, true, 11},
                          {false, true, true, 12},
                          {false, false, true, 13},
                          {false, false, false, 0}};
    for (const Case& c : cases) {
        ScopedEnv p("NVL_PROJECT_ROOT",
                    c.project ? std::optional<std::string>(project) : std::nullopt);
        ScopedEnv l("QLOCALROOT", c.local ? std::optional<std::string>(local) : std::nullopt);
        ScopedEnv i("QRXROOT", c.install ? std::optional<std::string>(install) : std::nullopt);
        fresh();
        FontHandle* h = findSystemFont(1);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->hasFont() ? h->font()->cellWidth() : 0, c.cellWidth);
    }

    // When no place holds it, the local root's candidate is used all the same.
    ScopedEnv l("QLOCALROOT", dir_.file("empty"));
    fresh();
    EXPECT_EQ(SystemFontTable::locateSystemFile(rel), dir_.file("empty") + "/qsys" + rel);
}

TEST_F(SystemFontTableTest, FontPathDirectoriesAreSearchedInOrder) {
    const std::string first = dir_.file("first");
    const std::string second = dir_.file("second");
    const std::string third = dir_.file("third");
    std::filesystem::create_directories(first);
    putFont(second, "/fonts/x.vec", 21);
    putFont(third, "/fonts/x.vec", 22);
    putFont(dir_.path(), "/fonts/x.vec", 23);

    ScopedEnv path("QFONT_PATH", first + ";;" + second + ";" + third);
    resetSysEnv();
    FontHandle h("fonts/x.vec", kLoadWhole, kCodeJis);
    ASSERT_TRUE(h.hasFont());
    EXPECT_EQ(h.font()->cellWidth(), 21);
    EXPECT_EQ(h.resolvedPath(), second + "/fonts/x.vec");

    // No directory holds it: the path is used as given.
    FontHandle direct(dir_.path() + "/fonts/x.vec", kLoadWhole, kCodeJis);
    ASSERT_TRUE(direct.hasFont());
    EXPECT_EQ(direct.font()->cellWidth(), 23);

    // The system fonts go through the same search: the local root's candidate below a
    // directory of the font path.
    ScopedEnv l("QLOCALROOT", "/root-not-there");
    putFont(third + "/root-not-there/qsys", "/font/eng/qafont.vec", 24);
    resetSysEnv();
    resetSystemFontTable();
    FontHandle* sys = findSystemFont(1);
    ASSERT_TRUE(sys && sys->hasFont());
    EXPECT_EQ(sys->font()->cellWidth(), 24);
}

TEST_F(SystemFontTableTest, MissingOrTruncatedSystemFontMeasuresWithTheFixedPitch) {
    const std::string install = dir_.file("install");
    ScopedEnv i("QRXROOT", install);
    const std::string rel = "/font/eng/qafont.vec";
    std::map<int, VecGlyph> glyphs;
    glyphs['i'] = {{{0, 0, false}, {0, 9, true}}, 25};  // a quarter of the cell
    std::string proportional = vecFont(1 | (1u << 17), 100, 100, 0, glyphs);
    std::filesystem::create_directories(install + "/font/eng");

    struct Case {
        const char* name;
        std::string bytes;  // empty: no file
        std::int64_t width;
    };
    const Case cases[] = {
        {"installed", proportional, 3 * 10 + 2 * 2},  // "iii": 3 * (40 * 25 / 100) + 2 gaps
        {"missing", "", 3 * 40 + 2 * 2},              // fixed pitch
        {"truncated", proportional.substr(0, 90), 3 * 40 + 2 * 2},
        {"cut index", proportional.substr(0, 400), 3 * 40 + 2 * 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(install + rel);
        if (!c.bytes.empty()) {
            ASSERT_TRUE(writeFile(install + rel, c.bytes));
        }
        fresh();
        TextExtent e = measureText(40, 50, 2, 5, kStandardFontNumber, "iii");
        EXPECT_EQ(e.width, c.width);
        EXPECT_EQ(e.height, 50);
    }
}

TEST_F(SystemFontTableTest, BundledStandardFontCoversPrintableAscii) {
    ScopedEnv i("QRXROOT", testsupport::bundledRoot());
    fresh();
    FontHandle* h = SystemFontTable::instance().findFont(kStandardFontNumber);
    ASSERT_NE(h, nullptr) << "share/qrxroot/font/eng/qafont.vec is not found";
    EXPECT_TRUE(h->font()->isProportional());
    EXPECT_GT(h->font()->cellWidth(), 0);
    std::vector<GlyphPoint> pts;
    for (std::uint32_t c = 33; c < 127; ++c) {
        EXPECT_GT(h->glyphPoints(c, pts), 0) << char(c);
        EXPECT_GT(h->font()->advanceWidth(c), 0) << char(c);
    }
    // A narrow letter measures narrower than a wide one.
    EXPECT_LT(measureText(100, 100, 0, 0, kStandardFontNumber, "i").width,
              measureText(100, 100, 0, 0, kStandardFontNumber, "W").width);
}

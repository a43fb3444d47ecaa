// The numbered system fonts: rows, load modes and code kinds, where their files are found, the
// font path, and the bundled standard font.
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

std::optional<std::string> setIf(bool on, const std::string& value) {
    return on ? std::optional<std::string>(value) : std::nullopt;
}

class SystemFontTableTest : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }
    void TearDown() override { fresh(); }
    static void fresh() {
        resetSysEnv();
        resetCharsetKind();
        resetSystemFontTable();
    }
    // A fixed-pitch font of cell width cw at root + relative.
    static void putFont(const std::string& root, const std::string& relative, int cw) {
        std::filesystem::create_directories(std::filesystem::path(root + relative).parent_path());
        ASSERT_TRUE(writeFile(root + relative, vecFont(1, cw, 10, 0, {{'A', {{{0, 0, false}}}}})));
    }
    static int cellWidthOf(const FontHandle& h) { return h.hasFont() ? h.font()->cellWidth() : 0; }
    static int cellWidthOf(const FontHandle* h) { return h ? cellWidthOf(*h) : 0; }
    ScopedEnv project_{"NVL_PROJECT_ROOT", std::nullopt};
    ScopedEnv local_{"QLOCALROOT", std::nullopt};
    ScopedEnv install_{"QRXROOT", std::nullopt};
    ScopedEnv fontPath_{"QFONT_PATH", std::nullopt};
    ScopedEnv lang_{"QLANG", std::nullopt};
    TempDir dir_;
};

}  // namespace

TEST_F(SystemFontTableTest, NumbersLoadModesAndCodeKinds) {
    EXPECT_EQ(findSystemFont(1000), nullptr);
    EXPECT_EQ(findSystemFont(11), nullptr);
    const struct {
        unsigned number;
        int loadMode, codeKind;
    } cases[] = {{1, kLoadWhole, kCodeJis},
                 {10, kLoadWhole, kCodeJis},
                 {100, kLoadOnDemand, kCodeShiftJis},
                 {200, kLoadOnDemand, kCodeKorean},
                 {300, kLoadOnDemand, kCodeChinese}};
    for (const auto& c : cases) {
        FontHandle* h = findSystemFont(c.number);
        ASSERT_NE(h, nullptr) << c.number;
        EXPECT_FALSE(h->hasFont());
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
    const struct {
        bool project, local, install;
        int cellWidth;  // 0: no font
    } cases[] = {{true, true, true, 11},
                 {false, true, true, 12},
                 {false, false, true, 13},
                 {false, false, false, 0}};
    for (const auto& c : cases) {
        ScopedEnv p("NVL_PROJECT_ROOT", setIf(c.project, project));
        ScopedEnv l("QLOCALROOT", setIf(c.local, local));
        ScopedEnv i("QRXROOT", setIf(c.install, install));
        fresh();
        EXPECT_EQ(cellWidthOf(findSystemFont(1)), c.cellWidth);
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
    ScopedEnv l("QLOCALROOT", "/root-not-there");
    putFont(third + "/root-not-there/qsys", "/font/eng/qafont.vec", 24);
    fresh();
    FontHandle h("fonts/x.vec", kLoadWhole, kCodeJis);
    EXPECT_EQ(cellWidthOf(h), 21);
    EXPECT_EQ(h.resolvedPath(), second + "/fonts/x.vec");
    // No directory holds it: the path is used as given.
    EXPECT_EQ(cellWidthOf(FontHandle(dir_.path() + "/fonts/x.vec", kLoadWhole, kCodeJis)), 23);
    // The system fonts go through the same search.
    EXPECT_EQ(cellWidthOf(findSystemFont(1)), 24);
}

TEST_F(SystemFontTableTest, BundledStandardFontCoversPrintableAscii) {
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

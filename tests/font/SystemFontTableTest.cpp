// Where the numbered system fonts and other fonts are found, and the bundled standard font.
#include "font/SystemFontTable.h"

#include <filesystem>

#include "font/FontTestFiles.h"
#include "font/TextMeasure.h"

using namespace fonttest;
using testsupport::ScopedEnv;

namespace {

class SystemFontTableTest : public FontTest {
protected:
    // A fixed-pitch font of cell width cw at path.
    static void putFont(const std::string& path, int cw) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(testsupport::writeFile(path, vecFont(1, cw, 10, 0, {{'A', {{{0, 0}}}}})));
    }
    static int cellWidthOf(const FontHandle* h) {
        return h && h->hasFont() ? h->font()->cellWidth() : 0;
    }
};

std::optional<std::string> setIf(bool on, const std::string& value) {
    return on ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

TEST_F(SystemFontTableTest, ProjectLocalAndInstallationRootsThenTheFontPath) {
    const std::string rel = "/font/eng/qafont.vec";
    const std::string project = dir_.file("project"), local = dir_.file("local"),
                      install = dir_.file("install");
    putFont(project + "/local/qsys" + rel, 11);
    putFont(local + "/qsys" + rel, 12);
    putFont(install + rel, 13);
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

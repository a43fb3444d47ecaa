// Labels of a plot, set up the way plotting programs write them, reach the output symbol as texts
// with their position, angle, justification, nearest text-table font and string; with the bundled
// stroke font and with an installation that has none.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "db/LexText.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"

namespace fs = std::filesystem;

TEST(LabelsE2E, LabelsBecomeTexts) {
    // Sizes by SI (centimetres) and SR (fractions of the page), directions by DI and DR, and a
    // DT terminator that is not printed. Heights 5000 and 4019 pick the 5 mm and 4 mm fonts.
    e2e::ProgramRun p;
    testsupport::writeFile(
        p.file("plot.hgl"),
        "IN;SP1;DT#,1;PA1000,1000;SI0.15,0.2;LBTitle#LB2#PA1000,2000;DI0,1;LBUp#"
        "SR0.0024,0.0032;DR1,0;PA3000,3000;LO5;LBCentred#PA4000,4000;LO1;LBOne\r\nTwo#");
    const std::string bundled = testsupport::bundledRoot(), bare = p.file("bare");
    fs::copy(bundled, bare, fs::copy_options::recursive);
    fs::remove_all(bare + "/font");

    // Where the second label starts: after "Title" measured with the font, or five spacings of
    // 5625 without it.
    std::int64_t measured = 0;
    {
        testsupport::ScopedEnv root("QRXROOT", bundled);
        resetSysEnv();
        resetSystemFontTable();
        measured = measureText(3750, 5000, 1875, 1000, kStandardFontNumber, "Title").width + 1875;
        resetSystemFontTable();
    }
    ASSERT_NE(measured, 5 * 5625);

    for (const auto& [root, advance] : {std::pair{bundled, measured}, {bare, 5 * 5625}}) {
        SCOPED_TRACE(root);
        ASSERT_EQ(p.run({"-m", "new", "-o", "out.smb", "plot.hgl"}, root).code, 0);
        e2e::Loaded out(p.file("out.smb"));
        ASSERT_TRUE(out.ok());
        std::vector<std::string> texts;
        for (const LexText* t = out.sheet().texts().head(); t; t = LexList<LexText>::next(t)) {
            char line[80];
            std::snprintf(line, sizeof line, "%d %d %.6f %d %d: ", t->position().x, t->position().y,
                          t->angle(), t->justification(), t->rawFont());
            texts.push_back(line + std::string(t->string()));
        }
        const std::vector<std::string> want = {
            "40000 40000 0.000000 0 5: Title",
            std::to_string(40000 + advance) + " 40000 0.000000 0 5: 2",
            "40000 80000 1.570796 0 5: Up",
            "120000 120000 0.000000 5 4: Centred",
            "160000 160000 0.000000 0 4: One",
            "160000 160000 0.000000 0 4: ",
            "160000 155178 0.000000 0 4: Two",
        };
        EXPECT_EQ(texts, want);
    }
}

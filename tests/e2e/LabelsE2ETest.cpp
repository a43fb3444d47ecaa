// Labels of a plot, set up the way plotting programs write them, reach the output symbol as
// text records: position, angle, justification, the nearest text-table font and the string; with
// the bundled stroke font and with an installation that has none.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "base/SysEnv.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// Runs the program on plot text with the installation root; the output symbol's text records,
// each as "x y angle justification font: string".
std::vector<std::string> convertLabels(const std::string& plot, const std::string& root) {
    testsupport::TempDir home;
    fs::create_directories(home.path() + "/norvel/kv/log");
    testsupport::writeFile(home.file("plot.hgl"), plot);
    const std::string command = "cd '" + home.path() + "' && env -i HOME='" + home.path() +
                                "' QLANG=english QRXROOT='" + root + "' '" + TRAZON_PROGRAM +
                                "' -o out.smb plot.hgl >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::istringstream in(testsupport::readFile(home.file("out.smb")));
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        if (line != "LexText") continue;
        std::string brace, id, visible, font, colour, x, y, angle, scale, just, path, lines, text;
        in >> brace >> id >> id >> visible >> font >> colour >> x >> y >> angle >> scale >> just >>
            path >> lines;
        std::getline(in, text);
        if (lines != "0") std::getline(in, text);
        texts.push_back(x + " " + y + " " + angle + " " + just + " " + font + ": " +
                        (lines == "0" ? "" : text));
    }
    return texts;
}

}  // namespace

TEST(LabelsE2E, LabelsBecomeTextRecords) {
    // Sizes by SI (centimetres) and SR (fractions of the page), directions by DI and DR, and a
    // DT terminator that is not printed. Heights 5000 and 4019 pick the 5 mm and 4 mm fonts.
    const std::string plot =
        "IN;SP1;DT#,1;PA1000,1000;SI0.15,0.2;LBTitle#LB2#PA1000,2000;DI0,1;LBUp#"
        "SR0.0024,0.0032;DR1,0;PA3000,3000;LO5;LBCentred#PA4000,4000;LO1;LBOne\r\nTwo#";
    const std::string bundled = testsupport::bundledRoot();
    testsupport::TempDir bare;
    fs::copy(bundled, bare.path(), fs::copy_options::recursive);
    fs::remove_all(bare.path() + "/font");

    // Where the second label starts: after "Title" measured with the font, or five spacings of
    // 5625 without it.
    int64_t measured = 0;
    {
        testsupport::ScopedEnv root("QRXROOT", bundled);
        resetSysEnv();
        resetSystemFontTable();
        measured = measureText(3750, 5000, 1875, 1000, kStandardFontNumber, "Title").width + 1875;
        resetSystemFontTable();
    }
    resetSysEnv();
    ASSERT_NE(measured, 5 * 5625);

    for (const auto& [root, advance] : {std::pair{bundled, measured}, {bare.path(), 5 * 5625}}) {
        const std::vector<std::string> want = {
            "40000 40000 0.000000 0 5: Title",
            std::to_string(40000 + advance) + " 40000 0.000000 0 5: 2",
            "40000 80000 1.570796 0 5: Up",
            "120000 120000 0.000000 5 4: Centred",
            "160000 160000 0.000000 0 4: One",
            "160000 160000 0.000000 0 4: ",
            "160000 155178 0.000000 0 4: Two",
        };
        EXPECT_EQ(convertLabels(plot, root), want) << root;
    }
}

// The sizing extensions as a user runs them: the bundled example drawn in millimetres with IP
// and SC, converted with and without user scaling and fitted into a box.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using e2e::Loaded;
using e2e::ProgramRun;

namespace {

// The extent of what a written output holds.
std::string extentOf(const std::string& path) {
    Loaded out(path);
    if (!out.ok()) return "unreadable";
    QsBox b;
    out.sheet().objectsExtent(b);
    return std::to_string(b.x1) + "," + std::to_string(b.y1) + " " + std::to_string(b.x2) + "," +
           std::to_string(b.y2);
}

}  // namespace

TEST(Sizing, TheScaledExampleAtItsSizeAndFitted) {
    // 100 x 75 user units onto 4000 x 3000 plotter units: a millimetre each at 25 output units
    // (a thousandth of a millimetre) per plotter unit, that is -p:scale 1.
    const std::string plot = testsupport::sourceDir() + "/share/examples/scaled.hpgl";
    const struct {
        std::vector<std::string> options;
        const char* extent;
    } cases[] = {
        // By default: the user units taken as plotter units.
        {{"-p:scale", "1"}, "0,0 2500,1875"},
        {{"-p:scale", "1", "-p:userscale", "1"}, "0,0 100000,75000"},
        {{"-p:userscale", "1"}, "0,0 160000,120000"},
        // The width decides; the offsets come after the fit.
        {{"-p:userscale", "1", "-p:fit", "50x50", "-p:offsetx", "10"}, "10000,0 60000,37500"},
        {{"-p:fit", "50x50"}, "0,0 50000,37500"},
    };
    ProgramRun p;
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        for (const char* a : {"-m", "new", "-o", "scaled.smb"})
            args.emplace_back(a);
        args.push_back(plot);
        const auto outcome = p.run(args);
        SCOPED_TRACE(args[1] + " " + args[3]);
        EXPECT_EQ(outcome.code, 0);
        EXPECT_EQ(outcome.out + outcome.err + p.errors(), "");
        EXPECT_EQ(extentOf(p.file("scaled.smb")), c.extent);
    }
}

TEST(Sizing, AValueTheExtensionDoesNotTakeEndsTheRun) {
    ProgramRun p;
    const std::string plot = testsupport::sourceDir() + "/share/examples/scaled.hpgl";
    const auto outcome = p.run({"-p:fit", "100", "-o", "scaled.smb", plot});
    EXPECT_EQ(outcome.code, 5);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "trazon: -p:fit takes WIDTHxHEIGHT in millimetres, both above 0 (100x60, say), not "
              "\"100\"\n");
    EXPECT_EQ(p.errors(), "");
    EXPECT_FALSE(std::filesystem::exists(p.file("scaled.smb")));
}

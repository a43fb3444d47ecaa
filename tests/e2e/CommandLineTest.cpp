// Runs the built program as a user would: its own process and environment, with its output,
// exit code and log files looked at afterwards.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using e2e::Outcome;
using e2e::ProgramRun;

TEST(CommandLine, UsageVersionAndMissingInstallation) {
    ProgramRun p;
    Outcome o = p.run({});
    EXPECT_EQ(o.code, 5);
    EXPECT_EQ(o.out.rfind("Usage    : trazon.sh(exe) options target\n options :\n", 0), 0u);
    EXPECT_TRUE(
        o.out.ends_with("   [-o file(.smb) or (.sht) ] : Output Symbol or Schematic "
                        "sheet.\n target  : HP-GL file\n\n"))
        << o.out;

    o = p.run({"-V"});
    EXPECT_EQ(o.code, 3);
    EXPECT_EQ(o.out.rfind("Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n", 0),
              0u);

    testsupport::writeFile(p.file("plot.hgl"), "IN;PU0,0;PD100,0;");
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"-V"}, {"plot.hgl"}}) {
        o = p.run(args, std::nullopt);  // no installation: nothing shown, nothing written
        EXPECT_EQ(o.code, 1);
        EXPECT_EQ(o.out + o.err, "");
    }
    EXPECT_TRUE(std::filesystem::is_empty(p.logDirectory()));
}

TEST(CommandLine, MissingTargetAndLogDirectory) {
    ProgramRun p;
    const std::string missing = p.file("missing.plt");
    Outcome o = p.run({missing});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out + o.err, "");
    const std::string log = testsupport::readTextFile(p.errorLog());
    EXPECT_EQ(log.rfind(std::string(70, '#') + "\n#\n#            Error Occurred !!!\n", 0), 0u);
    EXPECT_TRUE(log.ends_with("\n\n<Mess.36710> The input file " + missing + " does not exist.\n"))
        << log;

    std::filesystem::remove_all(p.file("norvel"));
    o = p.run({"-V"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "trazon: cannot write the log files in the directory " + p.logDirectory() + "\n");
}

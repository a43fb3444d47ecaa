// Runs the built program as a user would: its own process and environment, with its output,
// exit code and log files looked at afterwards.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/MessageCatalog.h"

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
    // A value an extension does not take ends the run as a usage error, said on standard error.
    o = p.run({"-p:fit", "100", "-o", "s.smb", "plot.hgl"});
    EXPECT_EQ(o.code, 5);
    EXPECT_EQ(o.out + p.errors(), "");
    EXPECT_TRUE(o.err.starts_with("trazon: -p:fit takes ") && o.err.ends_with(" \"100\"\n"))
        << o.err;
    EXPECT_FALSE(testsupport::fileExists(p.file("s.smb")));
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

// Catalogue modules that are missing or are no modules: the messages keep their numbers and the
// run goes on as it would with the texts.
TEST(CommandLine, MissingOrDamagedCatalogueModules) {
    ProgramRun p;
    testsupport::writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD400,0;");
    const std::string root = p.file("root");
    std::filesystem::copy(testsupport::bundledRoot(), root,
                          std::filesystem::copy_options::recursive);
    const std::string messages = root + "/mess/edif2qrx/eng/";
    struct Case {
        const char* module;
        std::optional<std::string> content;  // none: the module is removed
        std::vector<std::string> args;
        int code;
        std::string errors, warnings;
    };
    const std::string saved = "<Mess.36752> The drawing was saved in plot.smb.\n";
    std::vector<Case> cases = {
        {kErrorModuleFile, std::nullopt, {"missing.plt"}, 1, "<Mess.36710> Message No.36710\n", ""},
        {kGuideModuleFile,
         std::nullopt,
         {"-o", "plot.smb", "plot.hgl"},
         0,
         "",
         "<Mess.36752> Message No.36752\n"},
    };
#if defined(_WIN32)
    // A file that is no module of string resources opens as none.
    cases.insert(cases.begin(), {kErrorModuleFile,
                                 "36710\tnot a module\n",
                                 {"missing.plt"},
                                 1,
                                 "<Mess.36710> Message No.36710\n",
                                 ""});
    cases.push_back({kGuideModuleFile,
                     "MZ",
                     {"-o", "plot.smb", "plot.hgl"},
                     0,
                     "",
                     "<Mess.36752> Message No.36752\n"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module + (" " + c.content.value_or("(removed)")));
        std::filesystem::remove(messages + c.module);
        if (c.content) testsupport::writeFile(messages + c.module, *c.content);
        const Outcome o = p.run(c.args, root);
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(p.errors(), c.errors);
        EXPECT_EQ(p.warnings(), c.warnings);
        EXPECT_EQ(o.out + o.err, "");
    }
}

// Runs the built program as a user would: its own process, a controlled environment, and its
// standard output, standard error, exit code and log files looked at afterwards.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using testsupport::fileExists;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// A home with its log directory and the bundled installation, as trazon.sh prepares them.
class ProgramRun {
public:
    ProgramRun() { std::filesystem::create_directories(logDirectory()); }

    std::string logDirectory() const { return home_.path() + "/norvel/kv/log"; }
    std::string errorLog() const { return logDirectory() + "/trazon.err"; }
    std::string warningLog() const { return logDirectory() + "/trazon.wrn"; }
    const TempDir& home() const { return home_; }

    // Runs the program with only the given environment (plus PATH).
    Outcome run(const std::vector<std::string>& args,
                std::optional<std::string> root = testsupport::bundledRoot()) const {
        std::string command = "cd " + shellQuote(home_.path()) + " && env -i PATH=/usr/bin:/bin";
        command += " HOME=" + shellQuote(home_.path()) + " QLANG=english";
        if (root) command += " QRXROOT=" + shellQuote(*root);
        command += " " + shellQuote(TRAZON_PROGRAM);
        for (const auto& a : args)
            command += " " + shellQuote(a);
        command += " >" + shellQuote(home_.file("out.txt"));
        command += " 2>" + shellQuote(home_.file("err.txt"));
        const int status = std::system(command.c_str());
        Outcome o;
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.out = readFile(home_.file("out.txt"));
        o.err = readFile(home_.file("err.txt"));
        return o;
    }

private:
    TempDir home_;
};

}  // namespace

TEST(CommandLine, UsageVersionAndMissingInstallation) {
    ProgramRun p;
    Outcome o = p.run({});
    EXPECT_EQ(o.code, 5);
    EXPECT_EQ(o.out,
              "Usage    : trazon.sh(exe) options target\n"
              " options :\n"
              "   [-p:scale xxx ]    : Scale factor (default 1.6)\n"
              "   [-p:offsetx xxx ]  : X offset\n"
              "   [-p:offsety xxx ]  : Y offset\n"
              "   [-r file ]         : Pen map file.\n"
              "   [-o file(.smb) or (.sht) ] : Output Symbol or Schematic sheet.\n"
              " target  : HP-GL file\n\n");
    EXPECT_EQ(o.err, "");

    o = p.run({"-V"});
    EXPECT_EQ(o.code, 3);
    EXPECT_EQ(o.out.rfind("Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n", 0), 0u)
        << o.out;

    // Without an installation nothing is shown or written, not even the usage text.
    writeFile(p.home().file("plot.hgl"), "IN;PU0,0;PD100,0;");
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"-V"}, {"plot.hgl"}}) {
        o = p.run(args, std::nullopt);
        EXPECT_EQ(o.code, 1);
        EXPECT_EQ(o.out + o.err, "");
    }
    EXPECT_TRUE(std::filesystem::is_empty(p.logDirectory()));
}

TEST(CommandLine, ErrorsGoToTheErrorLog) {
    ProgramRun p;
    const std::string missing = p.home().file("missing.plt");
    Outcome o = p.run({missing});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out + o.err, "");
    const std::string log = readFile(p.errorLog());
    EXPECT_EQ(log.rfind(std::string(70, '#') + "\n#\n#            Error Occurred !!!\n", 0), 0u)
        << log;
    EXPECT_NE(log.find("\n\n<Mess.36710> The input file " + missing + " does not exist.\n"),
              std::string::npos)
        << log;
    EXPECT_FALSE(fileExists(p.warningLog()));

    // Options the converter does not take end the run with 5 and no message; a run without
    // messages also removes the logs of the run before.
    for (const std::string opt : {"-x", "-h", "-help", "-l"}) {
        o = p.run({opt, "a", missing});
        EXPECT_EQ(o.code, 5) << opt;
        EXPECT_EQ(o.out + o.err, "");
        EXPECT_FALSE(fileExists(p.errorLog()));
    }
}

TEST(CommandLine, LogDirectoryThatCannotBeWritten) {
    ProgramRun p;
    std::filesystem::remove_all(p.home().path() + "/norvel");
    const Outcome o = p.run({"-V"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "trazon: cannot write the log files in the directory " + p.logDirectory() + "\n");
}

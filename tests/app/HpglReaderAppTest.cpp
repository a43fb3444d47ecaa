#include "app/HpglReaderApp.h"

#include "AppTestSupport.h"
#include "app/Entry.h"
#include "base/SysEnv.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

using apptest::ArgVector;
using apptest::DriverEnvironment;
using testsupport::fileExists;
using testsupport::readFile;

namespace {

// A driver whose set-up, conversion and save are scripted, so that run's own steps can be
// checked on their own.
class ScriptedApp : public HpglReaderApp {
public:
    int setUpResult = 1;
    int convertResult = kConvertDone;
    int writeResult = 1;
    std::vector<std::string> calls;

    int setUp() override {
        calls.push_back("setUp");
        return setUpResult;
    }
    int writeOutput() override {
        calls.push_back("writeOutput");
        return writeResult;
    }

protected:
    void initialiseDatabase() override { calls.push_back("initialiseDatabase"); }
    int convertPlot() override {
        calls.push_back("convert");
        return convertResult;
    }
};

int runApp(HpglReaderApp& app, std::vector<std::string> args) {
    ArgVector argv(std::move(args));
    return app.run(argv.argc(), argv.argv());
}

std::string joined(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += a + " ";
    return text;
}

// The error log's message lines, without the banner.
std::string messageLines(const DriverEnvironment& env) {
    std::string lines;
    const std::string text = readFile(env.errorLog());
    for (std::size_t p = text.find("<Mess."); p != std::string::npos;
         p = text.find("<Mess.", p + 1))
        lines += text.substr(p, text.find('\n', p) - p + 1);
    return lines;
}

}  // namespace

TEST(HpglReaderApp, OutputNamesAndKinds) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    const std::string symbolInput = env.makeFile("plot.smb");
    const std::string existingSheet = env.makeFile("board.sht");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::int32_t kind;
        std::string output;
        std::string messages;
    };
    const Case cases[] = {
        {{plot}, 0, kOutputSymbol, env.file("plot.smb"), ""},
        {{"-o", env.file("OUT.SMB"), plot}, 0, kOutputSymbol, env.file("OUT.SMB"), ""},
        {{"-o", env.file("a.ShT"), plot}, 0, kOutputSheet, env.file("a.ShT"), ""},
        {{"-o", existingSheet, plot}, 0, kOutputSheet, existingSheet, ""},
        {{"-o", env.file("new.cir/s.sht"), plot},
         0,
         kOutputNewSheet,
         env.file("new.cir/s.sht"),
         ""},
        {{"-o", "x.txt", plot}, 1, kOutputNone, "x.txt", "<Mess.36708> bad name x.txt\n"},
        {{"-o", "noext", plot}, 1, kOutputNone, "noext", "<Mess.36708> bad name noext\n"},
        {{"-o", "dir.smb/noext", plot},
         1,
         kOutputNone,
         "dir.smb/noext",
         "<Mess.36708> bad name dir.smb/noext\n"},
        {{symbolInput}, 1, kOutputNone, "", "<Mess.36708> bad name " + symbolInput + "\n"},
        {{env.file("missing.plt")},
         1,
         kOutputNone,
         "",
         "<Mess.36710> missing " + env.file("missing.plt") + "\n"},
        {{"-r", env.file("nopens"), plot},
         1,
         kOutputSymbol,
         env.file("plot.smb"),
         "<Mess.36711> unreadable " + env.file("nopens") + "\n"},
        {{"-r", env.work(), plot},
         1,
         kOutputSymbol,
         env.file("plot.smb"),
         "<Mess.36711> unreadable " + env.work() + "\n"},
        {{"-r", plot, plot}, 0, kOutputSymbol, env.file("plot.smb"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(joined(c.args));
        resetSysEnv();
        ScriptedApp app;
        EXPECT_EQ(runApp(app, c.args), c.code);
        EXPECT_EQ(app.outputKind(), c.kind);
        EXPECT_EQ(app.output(), c.output);
        EXPECT_EQ(messageLines(env), c.messages);
        EXPECT_EQ(app.calls.size(), c.code == 0 ? 4u : 0u);
    }
}

TEST(HpglReaderApp, ScaleOffsetsAndMode) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    struct Case {
        std::vector<std::string> args;
        double scale;
        std::int32_t offsetX;
        std::int32_t offsetY;
        std::int32_t keepExisting;
    };
    const Case cases[] = {
        {{plot}, 1.6, 0, 0, 1},
        {{"-p:scale", "0.005", plot}, 1.6, 0, 0, 1},
        {{"-p:scale", "200", plot}, 1.6, 0, 0, 1},
        {{"-p:scale", "100", plot}, 100.0, 0, 0, 1},
        {{"-p:scale", "0.01", plot}, 0.01, 0, 0, 1},
        {{"-p:SCALE", "2", plot}, 2.0, 0, 0, 1},
        {{"-parameter:Scale", "2.5e0", plot}, 2.5, 0, 0, 1},
        {{"-p:scale", "2", "-p:scale", "3", plot}, 3.0, 0, 0, 1},    // later wins
        {{"-p:scale", "2", "-p:scale", "500", plot}, 2.0, 0, 0, 1},  // ignored keeps earlier
        {{"-p:scale", "abc", plot}, 1.6, 0, 0, 1},
        {{"-p:scale", "inf", plot}, 1.6, 0, 0, 1},
        {{"-p:scale", "3xyz", plot}, 3.0, 0, 0, 1},
        {{"-p:offsetx", "2.5", plot}, 1.6, 2500, 0, 1},
        {{"-p:offsetx", "letters", plot}, 1.6, 0, 0, 1},
        {{"-p:OffsetY", "-1.0019", plot}, 1.6, 0, -1001, 1},  // truncated toward zero
        {{"-p:offsetx", "4", "-p:offsetx", "3000000", plot}, 1.6, 4000, 0, 1},
        {{"-p:offsety", "4", "-p:offsety", "1e999", plot}, 1.6, 0, 4000, 1},
        {{"-p:offsetx", "-2147483.648", plot}, 1.6, -2147483648, 0, 1},
        {{"-p:offsetx", ".5", "-p:offsety", "'7'", plot}, 1.6, 500, 7000, 1},
        {{"-p:depth", "9", plot}, 1.6, 0, 0, 1},
        {{"-m", "new", plot}, 1.6, 0, 0, 0},
        {{"-m", "NeW", plot}, 1.6, 0, 0, 0},
        {{"-m", "old", plot}, 1.6, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(joined(c.args));
        resetSysEnv();
        ScriptedApp app;
        EXPECT_EQ(runApp(app, c.args), 0);
        EXPECT_DOUBLE_EQ(app.scale(), c.scale);
        EXPECT_EQ(app.offsetX(), c.offsetX);
        EXPECT_EQ(app.offsetY(), c.offsetY);
        EXPECT_EQ(app.keepExisting(), c.keepExisting);
        EXPECT_EQ(app.target(), plot);
    }
}

TEST(HpglReaderApp, RejectedOptionsAndVersionEndWithoutMessage) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    const std::vector<std::vector<std::string>> rejected = {
        {"-x", "a", plot},
        {"-h", plot},
        {"-help", plot},
        {"-l", "a", plot},
        {"-p", "1", plot},
        {"-e", "a", plot},
        {"-wrnfile", "a", plot},
        {"-o", "a.smb"},
        {"-x"},
        {""},
    };
    for (const auto& args : rejected) {
        SCOPED_TRACE(args.front());
        resetSysEnv();
        ScriptedApp app;
        testing::internal::CaptureStdout();
        EXPECT_EQ(runApp(app, args), 5);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(app.calls.empty());
    }
    resetSysEnv();
    ScriptedApp app;
    testing::internal::CaptureStdout();
    EXPECT_EQ(runApp(app, {"-o", "x.txt", "-V", plot}), 3);  // -V acts before anything is checked
    const std::string banner = testing::internal::GetCapturedStdout();
    EXPECT_EQ(banner.rfind("Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n", 0),
              0u);
    EXPECT_FALSE(fileExists(env.errorLog()));
    EXPECT_FALSE(fileExists(env.warningLog()));
}

TEST(HpglReaderApp, RunMapsEachStepToItsExitCodeAndMessage) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    struct Case {
        int setUp;
        int convert;
        int write;
        int code;
        std::string messages;
        std::size_t calls;
    };
    const Case cases[] = {
        {0, kConvertDone, 1, 1, "", 2},
        {1, kConvertNoSheet, 1, 1, "<Mess.36701> no sheet\n", 3},
        {1, kConvertNoInput, 1, 1, "<Mess.36710> missing " + plot + "\n", 3},
        {1, kConvertUnreadable, 1, 1, "<Mess.36711> unreadable " + plot + "\n", 3},
        {1, kConvertNoStatements, 1, 1, "<Mess.36708> bad name " + plot + "\n", 3},
        {1, kConvertDone, 0, 1, "", 4},
        {1, kConvertDone, 1, 0, "", 4},
        {1, 0, 1, 0, "", 4},  // anything else counts as converted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.convert);
        resetSysEnv();
        ScriptedApp app;
        app.setUpResult = c.setUp;
        app.convertResult = c.convert;
        app.writeResult = c.write;
        EXPECT_EQ(runApp(app, {plot}), c.code);
        EXPECT_EQ(messageLines(env), c.messages);
        EXPECT_EQ(app.calls.size(), c.calls);
    }
}

TEST(HpglReaderApp, UnwritableLogDirectoryStopsTheRun) {
    DriverEnvironment env(false);
    const std::string plot = env.makeFile("plot.hgl");
    ScriptedApp app;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runApp(app, {plot}), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "trazon: cannot write the log files in the directory " + env.logDirectory() + "\n");
    EXPECT_TRUE(app.calls.empty());
    EXPECT_TRUE(app.target().empty());  // the options were not even read
}

TEST(HpglReaderApp, RelativeTargetIsMadeAbsolute) {
    DriverEnvironment env;
    env.makeFile("rel.plt");
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(env.work().c_str()), 0);
    ScriptedApp app;
    const int code = runApp(app, {"./sub/../rel.plt"});
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(code, 0);
    const std::string real = std::filesystem::canonical(env.work()).string();
    EXPECT_EQ(app.target(), real + "/rel.plt");
    EXPECT_EQ(app.output(), real + "/rel.smb");
}

TEST(Entry, InstallationAndUsage) {
    DriverEnvironment env;
    ArgVector none({});
    testing::internal::CaptureStdout();
    EXPECT_EQ(trazonMain(none.argc(), none.argv()), kExitUsage);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), usageText() + "\n");
    EXPECT_EQ(std::string(getSysEnv("QSYSROOT")), env.root());

    resetSysEnv();
    testsupport::ScopedEnv noRoot("QRXROOT", std::nullopt);
    testing::internal::CaptureStdout();
    EXPECT_EQ(trazonMain(none.argc(), none.argv()), kExitFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

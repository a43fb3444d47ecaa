#include "app/HpglReaderApp.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

using apptest::ArgVector;
using apptest::DriverEnvironment;

namespace {

// A driver whose set-up, conversion and save are scripted, so that run's own steps are checked.
class ScriptedApp : public HpglReaderApp {
public:
    int setUpResult = 1, convertResult = kConvertDone, writeResult = 1;
    int steps = 0;  // how many of initialise, setUp, convert and writeOutput were reached

    int setUp() override { return ++steps, setUpResult; }
    int writeOutput() override { return ++steps, writeResult; }

protected:
    void initialiseDatabase() override { ++steps; }
    int convertPlot() override { return ++steps, convertResult; }
};

int runApp(HpglReaderApp& app, std::vector<std::string> args) {
    resetSysEnv();
    ArgVector argv(std::move(args));
    return app.run(argv.argc(), argv.argv());
}

// The message lines of the error log, without the banner.
std::string messageLines(const DriverEnvironment& env) {
    const std::string text = testsupport::readFile(env.errorLog());
    std::string lines;
    for (std::size_t p = text.find("<Mess."); p != std::string::npos;
         p = text.find("<Mess.", p + 1))
        lines += text.substr(p, text.find('\n', p) - p + 1);
    return lines;
}

}  // namespace

TEST(HpglReaderApp, OutputNamesKindsAndChecks) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl"), smb = env.makeFile("plot.smb");
    const std::string sheet = env.makeFile("board.sht"), missing = env.file("missing.plt");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::int32_t kind;
        std::string output, messages;
    };
    const Case cases[] = {
        {{plot}, 0, kOutputSymbol, env.file("plot.smb"), ""},
        {{"-o", "OUT.SMB", plot}, 0, kOutputSymbol, "OUT.SMB", ""},
        {{"-o", env.file("a.ShT"), plot}, 0, kOutputSheet, env.file("a.ShT"), ""},
        {{"-o", sheet, plot}, 0, kOutputSheet, sheet, ""},
        {{"-o", env.file("n.cir/s.sht"), plot}, 0, kOutputNewSheet, env.file("n.cir/s.sht"), ""},
        {{"-o", "x.txt", plot}, 1, kOutputNone, "x.txt", "<Mess.36708> bad name x.txt\n"},
        {{"-o", "d.smb/none", plot},
         1,
         kOutputNone,
         "d.smb/none",
         "<Mess.36708> bad name d.smb/none\n"},
        {{smb}, 1, kOutputNone, "", "<Mess.36708> bad name " + smb + "\n"},
        {{"-o", "x.txt", missing},
         1,
         kOutputNone,
         "x.txt",
         "<Mess.36710> missing " + missing + "\n"},
        {{"-r", env.work(), plot},
         1,
         kOutputSymbol,
         env.file("plot.smb"),
         "<Mess.36711> unreadable " + env.work() + "\n"},
        {{"-r", plot, plot}, 0, kOutputSymbol, env.file("plot.smb"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        ScriptedApp app;
        EXPECT_EQ(runApp(app, c.args), c.code);
        EXPECT_EQ(app.outputKind(), c.kind);
        EXPECT_EQ(app.output(), c.output);
        EXPECT_EQ(messageLines(env), c.messages);
        EXPECT_EQ(app.steps, c.code == 0 ? 4 : 0);
    }
}

TEST(HpglReaderApp, ScaleOffsetsAndMode) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    struct Case {
        std::vector<std::string> args;
        double scale;
        std::int32_t offsetX, offsetY, keepExisting;
    };
    const Case cases[] = {
        {{"-p:scale", "0.005"}, 1.6, 0, 0, 1},
        {{"-p:scale", "200"}, 1.6, 0, 0, 1},
        {{"-p:scale", "100"}, 100.0, 0, 0, 1},
        {{"-p:SCALE", "0.01"}, 0.01, 0, 0, 1},
        {{"-p:scale", "2", "-p:scale", "3"}, 3.0, 0, 0, 1},    // a later option wins
        {{"-p:scale", "2", "-p:scale", "500"}, 2.0, 0, 0, 1},  // an ignored one keeps the earlier
        {{"-p:scale", "inf"}, 1.6, 0, 0, 1},
        {{"-parameter:Scale", "3xyz"}, 3.0, 0, 0, 1},
        {{"-p:offsetx", "2.5", "-p:offsety", "letters"}, 1.6, 2500, 0, 1},
        {{"-p:OffsetY", "-1.0019"}, 1.6, 0, -1001, 1},  // truncated toward zero
        {{"-p:offsetx", "4", "-p:offsetx", "3000000"}, 1.6, 4000, 0, 1},
        {{"-p:offsety", "4", "-p:offsety", "1e999"}, 1.6, 0, 4000, 1},
        {{"-p:offsetx", ".5", "-p:depth", "9"}, 1.6, 500, 0, 1},
        {{"-m", "NeW"}, 1.6, 0, 0, 0},
        {{"-m", "old"}, 1.6, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        ScriptedApp app;
        std::vector<std::string> args = c.args;
        args.push_back(plot);
        EXPECT_EQ(runApp(app, args), 0);
        EXPECT_DOUBLE_EQ(app.scale(), c.scale);
        EXPECT_EQ(app.offsetX(), c.offsetX);
        EXPECT_EQ(app.offsetY(), c.offsetY);
        EXPECT_EQ(app.keepExisting(), c.keepExisting);
    }
}

TEST(HpglReaderApp, RejectedOptionsVersionAndStepResults) {
    DriverEnvironment env;
    const std::string plot = env.makeFile("plot.hgl");
    for (const auto& args : std::vector<std::vector<std::string>>{{"-x", "a", plot},
                                                                  {"-h", plot},
                                                                  {"-help", plot},
                                                                  {"-l", "a", plot},
                                                                  {"-p", "1", plot},
                                                                  {"-w", "a", plot},
                                                                  {"-o", "a.smb"},
                                                                  {"-x"},
                                                                  {""}}) {
        ScriptedApp app;
        testing::internal::CaptureStdout();
        EXPECT_EQ(runApp(app, args), 5) << args.front();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_FALSE(testsupport::fileExists(env.errorLog()));
    }
    ScriptedApp version;
    testing::internal::CaptureStdout();
    EXPECT_EQ(runApp(version, {"-o", "x.txt", "-V", plot}), 3);  // before anything is checked
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Norvel\tV7.010\t", 0), 0u);

    struct Step {
        int setUp, convert, write, code;
        std::string messages;
    };
    const Step steps[] = {
        {0, kConvertDone, 1, 1, ""},
        {1, kConvertNoSheet, 1, 1, "<Mess.36701> no sheet\n"},
        {1, kConvertNoInput, 1, 1, "<Mess.36710> missing " + plot + "\n"},
        {1, kConvertUnreadable, 1, 1, "<Mess.36711> unreadable " + plot + "\n"},
        {1, kConvertNoStatements, 1, 1, "<Mess.36708> bad name " + plot + "\n"},
        {1, kConvertDone, 0, 1, ""},
        {1, kConvertDone, 1, 0, ""},
    };
    for (const Step& s : steps) {
        ScriptedApp app;
        app.setUpResult = s.setUp;
        app.convertResult = s.convert;
        app.writeResult = s.write;
        EXPECT_EQ(runApp(app, {plot}), s.code) << s.convert;
        EXPECT_EQ(messageLines(env), s.messages);
    }
}

TEST(HpglReaderApp, UnwritableLogDirectoryStopsBeforeTheOptions) {
    DriverEnvironment env(false);
    ScriptedApp app;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runApp(app, {"-V"}), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "trazon: cannot write the log files in the directory " + env.logDirectory() + "\n");
    EXPECT_EQ(app.steps, 0);
}

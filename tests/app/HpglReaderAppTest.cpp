#include "app/HpglReaderApp.h"

#include "AppTestSupport.h"
#include "base/PlatformFile.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/LexZone.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

using apptest::ArgVector;
using apptest::DriverEnvironment;
using testsupport::writeFile;

namespace {

// A driver whose set-up, conversion and save are scripted (or, on request, its own), so that
// run's steps and what the set-up made can be looked at.
class ScriptedApp : public HpglReaderApp {
public:
    int setUpResult = 1, convertResult = kConvertDone, writeResult = 1, inputErrorResult = 0;
    bool realSetUp = false;
    int steps = 0;  // how many of initialise, setUp, convert and writeOutput were reached

    long operationsBeforeSetUp = -1;  // file operations counted before the set-up began

    int setUp() override {
        operationsBeforeSetUp = platform::fileOperationCount();
        return ++steps, realSetUp ? HpglReaderApp::setUp() : setUpResult;
    }
    int writeOutput() override { return ++steps, writeResult; }
    const DbHandle& database() const { return output_.database(); }
    LexSheet* sheet() const { return output_.sheet().sheet(); }

protected:
    void initialiseDatabase() override { ++steps, dbInitialise(); }
    int convertPlot() override {
        inputError_ = inputErrorResult;
        return ++steps, convertResult;
    }
};

int runApp(HpglReaderApp& app, std::vector<std::string> args) {
    resetSysEnv();
    ArgVector argv(std::move(args));
    return app.run(argv.argc(), argv.argv());
}

// The message lines of the error log with their cause lines, without the banner.
std::string messageLines(const DriverEnvironment& env) {
    std::istringstream text(testsupport::readTextFile(env.errorLog()));
    std::string lines;
    for (std::string line; std::getline(text, line);) {
        if (line.starts_with("<Mess.") || line.starts_with("             cause: "))
            lines += line + "\n";
    }
    return lines;
}

}  // namespace

TEST(HpglReaderApp, RejectedOptionsAndStepResults) {
    DriverEnvironment env;
    const std::string plot = env.plot();
    // Which options are refused is the option tests' matter; here a refused run reaches no step
    // and writes nothing.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-x", "a", plot}, std::vector<std::string>{"-o", "a.smb"}}) {
        ScriptedApp app;
        testing::internal::CaptureStdout();
        EXPECT_EQ(runApp(app, args), 5) << args.front();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_FALSE(testsupport::fileExists(env.errorLog()));
        EXPECT_EQ(app.steps, 0);
    }

    struct Step {
        int setUp, convert, inputError, write, code, reached;  // reached: steps run
        std::string messages;
    };
    const Step steps[] = {
        {0, kConvertDone, 0, 1, 1, 2, ""},
        {1, kConvertNoSheet, 0, 1, 1, 3, "<Mess.36701> no sheet\n"},
        {1, kConvertNoInput, 0, 1, 1, 3, "<Mess.36710> missing " + plot + "\n"},
        {1, kConvertUnreadable, 0, 1, 1, 3, "<Mess.36711> unreadable " + plot + "\n"},
        {1, kConvertUnreadable, EACCES, 1, 1, 3,
         "<Mess.36711> unreadable " + plot +
             "\n             cause: " + platform::systemErrorText(EACCES) + "\n"},
        {1, kConvertNoStatements, 0, 1, 1, 3, "<Mess.36708> bad name " + plot + "\n"},
        {1, kConvertDone, 0, 0, 1, 4, ""},
        {1, kConvertDone, 0, 1, 0, 4, ""},
    };
    for (const Step& s : steps) {
        ScriptedApp app;
        app.setUpResult = s.setUp;
        app.convertResult = s.convert;
        app.inputErrorResult = s.inputError;
        app.writeResult = s.write;
        EXPECT_EQ(runApp(app, {plot}), s.code) << s.convert;
        EXPECT_EQ(app.steps, s.reached);
        EXPECT_EQ(messageLines(env), s.messages);
    }
}

TEST(HpglReaderApp, SetUpOfANewSymbolAndSheet) {
    DriverEnvironment env;
    const std::string plot = env.plot();
    // Sheet-size rows out of order: the row of index 0 is the first entry. The colour keeps
    // its low 8 bits (300 -> 44).
    const std::string lanenv =
        "symSheetSizeTable 6 { 1 B 9 9 9 9  0 A 1 2 3.5 4 }\nsymSheetSizeColor : 300\n"
        "schSheetSizeColor : 5\nzonePitchX : 20\nzonePitchY : 30\nzoneStartTextX : Q\n"
        "zoneStartTextY : 7\nzoneOrigin : UpRight\ngridColor : 7\n";
    std::filesystem::create_directories(env.root() + "/info");
    writeFile(env.root() + "/info/landata.rsc", "");
    writeFile(env.root() + "/info/lanenv.rsc", lanenv + "gridTable 5 { 1 9 9 9 9  0 2 3 1.5 2.5 }");
    struct Case {
        std::string output;
        QsBox area;
        int colour;
    };
    for (const Case& c : {Case{"s.smb", QsBox(1000, 2000, 3500, 4000), 44},
                          Case{"new.cir/s.sht", QsBox(0, 0, 500000, 500000), 5}}) {
        SCOPED_TRACE(c.output);
        ScriptedApp app;
        app.realSetUp = true;
        ASSERT_EQ(runApp(app, {"-o", env.file(c.output), plot}), 0) << messageLines(env);
        ASSERT_NE(app.sheet(), nullptr);
        EXPECT_EQ(app.sheet()->sheetBox(), c.area);
        EXPECT_EQ(app.sheet()->sizeColor() * 10 + app.sheet()->displayFlag(), c.colour * 10 + 1);
        const LexGrid* grid = dbFindChild(app.database(), "Grid", kDbHandleGrid).grid();
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(std::vector<int>({grid->pitchX(), grid->pitchY(), grid->value1(), grid->value2(),
                                    grid->isVisible(), grid->secondFlag(), grid->color(),
                                    grid->highByte()}),
                  std::vector<int>({1500, 2500, 2, 3, 1, 1, 7, 1}));
        const LexZone* zone = dbFindChild(app.database(), "Zone", kDbHandleZone).zone();
        ASSERT_NE(zone, nullptr);
        EXPECT_EQ(
            std::vector<int>({zone->mode(), zone->pitchX(), zone->pitchY(), zone->isVisible()}),
            std::vector<int>({3, 20000, 30000, 1}));
        EXPECT_EQ(std::string(zone->label1()) + std::string(zone->label2()), "Q7");
    }
    // Without a grid row the new sheet cannot be set up.
    writeFile(env.root() + "/info/lanenv.rsc", lanenv);
    ScriptedApp app;
    app.realSetUp = true;
    EXPECT_EQ(runApp(app, {"-o", env.file("t.smb"), plot}), 1);
    EXPECT_EQ(messageLines(env), "<Mess.36714> setup t.smb\n");
}

TEST(HpglReaderApp, FailedSetUpsNameTheirFileAndCause) {
    DriverEnvironment env;
    const std::string plot = env.plot();
    std::filesystem::copy(testsupport::bundledRoot() + "/info", env.root() + "/info");
    std::filesystem::create_directories(env.file("dir.smb"));
#if !defined(_WIN32)
    std::filesystem::create_symlink(env.file("nowhere.smb"), env.file("dangling.smb"));
#endif
    platform::FileLock held;
    ASSERT_EQ(held.acquire(env.file("held.smb.lock"), std::chrono::milliseconds(0)), 0);
    testsupport::ScopedEnv wait("TRAZON_LOCK_WAIT", std::string("0"));
    // The file operations of the log preparation, which come before the set-up's own.
    platform::injectFileFault(0, 0);
    ScriptedApp counted;
    runApp(counted, {plot});
    const long logOperations = counted.operationsBeforeSetUp;
    ASSERT_GE(logOperations, 0);

    struct Case {
        std::vector<std::string> args;
        std::string missing;  // a settings file taken away for the run
        long fault;           // the set-up's file operation made to fail with ENOSPC (0: none)
        std::string messages;
    };
    const Case cases[] = {
        // An existing output in the way is named as given, one that cannot be made by its name.
        {{"-o", env.file("held.smb"), plot},
         "",
         0,
         "<Mess.36720> open " + env.file("held.smb") +
             "\n             cause: In use by another run\n"},
        {{"-o", env.file("dir.smb"), plot},
         "",
         0,
         "<Mess.36720> open " + env.file("dir.smb") +
             "\n             cause: " + platform::systemErrorText(EISDIR) + "\n"},
        {{"-m", "new", "-o", env.file("dir.smb"), plot},
         "",
         0,
         "<Mess.36720> open dir.smb\n             cause: " + platform::systemErrorText(EISDIR) +
             "\n"},
#if !defined(_WIN32)
        {{"-o", env.file("dangling.smb"), plot},
         "",
         0,
         "<Mess.36720> open dangling.smb\n             cause: " +
             platform::systemErrorText(ENOENT) + "\n"},
#endif
        // Settings that cannot be read name the file; a missing one has no cause to give.
        {{"-o", env.file("s.smb"), plot},
         "lanenv.rsc",
         0,
         "<Mess.36711> unreadable " + env.root() + "/info/lanenv.rsc\n"},
        // The first file operation of a new circuit is the write of its path table.
        {{"-o", env.file("new.cir/s.sht"), plot},
         "",
         1,
         "<Mess.36716> table " + env.file("new.cir/rcpath") +
             "\n             cause: " + platform::systemErrorText(ENOSPC) + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messages);
        const std::string taken = env.root() + "/info/" + c.missing;
        if (!c.missing.empty()) std::filesystem::rename(taken, taken + ".away");
        ScriptedApp app;
        app.realSetUp = true;
        platform::injectFileFault(c.fault == 0 ? 0 : logOperations + c.fault, ENOSPC);
        EXPECT_EQ(runApp(app, c.args), 1);
        platform::injectFileFault(0, 0);
        if (!c.missing.empty()) std::filesystem::rename(taken + ".away", taken);
        EXPECT_EQ(app.steps, 2);
        EXPECT_EQ(messageLines(env), c.messages);
    }
    // Nothing of the circuit that could not be made is left.
    std::set<std::string> left = {"dir.smb", "held.smb.lock", "plot.hgl"};
#if !defined(_WIN32)
    left.insert("dangling.smb");
#endif
    EXPECT_EQ(testsupport::directoryEntries(env.file("")), left);
}

TEST(HpglReaderApp, TrazonLogDirReplacesTheHomeLogDirectory) {
    DriverEnvironment env;
    testsupport::TempDir own;
    const std::string missing = own.file("missing");
    struct Case {
        std::optional<std::string> logDir;
        std::string expectedDir;  // where the error log must stand; empty: nowhere
        int code;
    };
    const Case cases[] = {
        {std::nullopt, env.logDirectory(), 1},
        {"", env.logDirectory(), 1},  // an empty value counts as unset
        {own.path(), own.path(), 1},
        {missing, "", 1},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(env.errorLog());
        std::filesystem::remove(own.file("trazon.err"));
        testsupport::ScopedEnv logDir("TRAZON_LOG_DIR", c.logDir);
        ScriptedApp app;
        app.convertResult = kConvertNoSheet;
        testing::internal::CaptureStderr();
        EXPECT_EQ(runApp(app, {env.plot()}), c.code);
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string label = c.logDir.value_or("(unset)");
        if (c.expectedDir.empty()) {
            EXPECT_EQ(err, "trazon: cannot write the log files in the directory " + missing + "\n");
            EXPECT_EQ(app.steps, 0) << label;
        } else {
            EXPECT_EQ(err, "") << label;
            EXPECT_NE(testsupport::readFile(c.expectedDir + "/trazon.err").find("<Mess.36701>"),
                      std::string::npos)
                << label;
        }
        // The home's log directory is used only when no directory of the run's own is given.
        EXPECT_EQ(testsupport::fileExists(env.errorLog()), c.expectedDir == env.logDirectory())
            << label;
    }
}

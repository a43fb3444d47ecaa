#include "app/HpglReaderApp.h"

#include "AppTestSupport.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/LexZone.h"

#include <gtest/gtest.h>

using apptest::ArgVector;
using apptest::DriverEnvironment;
using testsupport::writeFile;

namespace {

// A driver whose set-up, conversion and save are scripted (or, on request, its own), so that
// run's steps and what the set-up made can be looked at.
class ScriptedApp : public HpglReaderApp {
public:
    int setUpResult = 1, convertResult = kConvertDone, writeResult = 1;
    bool realSetUp = false;
    int steps = 0;  // how many of initialise, setUp, convert and writeOutput were reached

    int setUp() override { return ++steps, realSetUp ? HpglReaderApp::setUp() : setUpResult; }
    int writeOutput() override { return ++steps, writeResult; }
    const DbHandle& database() const { return database_; }
    LexSheet* sheet() const { return sheet_.sheet(); }

protected:
    void initialiseDatabase() override { ++steps, dbInitialise(); }
    int convertPlot() override { return ++steps, convertResult; }
};

int runApp(HpglReaderApp& app, std::vector<std::string> args) {
    resetSysEnv();
    ArgVector argv(std::move(args));
    return app.run(argv.argc(), argv.argv());
}

// The message lines of the error log, without the banner.
std::string messageLines(const DriverEnvironment& env) {
    const std::string text = testsupport::readTextFile(env.errorLog());
    std::string lines;
    for (std::size_t p = text.find("<Mess."); p != std::string::npos;
         p = text.find("<Mess.", p + 1))
        lines += text.substr(p, text.find('\n', p) - p + 1);
    return lines;
}

}  // namespace

TEST(HpglReaderApp, ScaleOffsetsAndMode) {
    DriverEnvironment env;
    const std::string plot = env.plot();
    struct Case {
        std::vector<std::string> args;
        double scale;
        std::int32_t offsetX, offsetY, keepExisting;
    };
    const Case cases[] = {
        {{"-p:scale", "0.005"}, 1.6, 0, 0, 1},
        {{"-p:scale", "100"}, 100.0, 0, 0, 1},
        {{"-p:SCALE", "0.01"}, 0.01, 0, 0, 1},
        {{"-p:scale", "2", "-p:scale", "3"}, 3.0, 0, 0, 1},    // a later option wins
        {{"-p:scale", "2", "-p:scale", "200"}, 2.0, 0, 0, 1},  // an ignored one keeps the earlier
        {{"-p:scale", "inf", "-p:offsetx", "0x10"}, 1.6, 0, 0, 1},  // decimal numbers only
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
    const std::string plot = env.plot();
    const std::vector<std::string> rejected[] = {{"-x", "a", plot},
                                                 {"-h", plot},
                                                 {"-l", "a", plot},
                                                 {"-p", "1", plot},
                                                 {"-w", "a", plot},
                                                 {"-o", "a.smb"},
                                                 {"-x"},
                                                 {""}};
    for (const auto& args : rejected) {
        ScriptedApp app;
        testing::internal::CaptureStdout();
        EXPECT_EQ(runApp(app, args), 5) << args.front();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_FALSE(testsupport::fileExists(env.errorLog()));
        EXPECT_EQ(app.steps, 0);
    }
    ScriptedApp version;
    testing::internal::CaptureStdout();
    EXPECT_EQ(runApp(version, {"-o", "x.txt", "-V", plot}), 3);  // before anything is checked
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Norvel\tV7.010\t", 0), 0u);

    struct Step {
        int setUp, convert, write, code, reached;  // reached: steps run, initialisation first
        std::string messages;
    };
    const Step steps[] = {
        {0, kConvertDone, 1, 1, 2, ""},
        {1, kConvertNoSheet, 1, 1, 3, "<Mess.36701> no sheet\n"},
        {1, kConvertUnreadable, 1, 1, 3, "<Mess.36711> unreadable " + plot + "\n"},
        {1, kConvertDone, 0, 1, 4, ""},
        {1, kConvertDone, 1, 0, 4, ""},
    };
    for (const Step& s : steps) {
        ScriptedApp app;
        app.setUpResult = s.setUp;
        app.convertResult = s.convert;
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

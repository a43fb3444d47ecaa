// Whole conversions run as a user runs them: plot files in a temporary directory, the program in
// its own process, and the written symbols and sheets compared with golden files or loaded back.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/LexPolyline.h"
#include "geom/QsPolyline.h"

using e2e::dataFile;
using e2e::expectGolden;
using e2e::Loaded;
using e2e::Outcome;
using e2e::ProgramRun;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

// A circuit directory whose path table sends both settings files to the bundled installation.
void makeCircuit(const std::string& dir) {
    fs::create_directories(dir);
    const std::string info = testsupport::bundledRoot() + "/info";
    writeFile(dir + "/rcpath", "landata : \"" + info + "\"\nlanenv : \"" + info + "\"\n");
}

void copyData(const std::string& name, const std::string& to) {
    fs::copy_file(dataFile(name), to, fs::copy_options::overwrite_existing);
}

std::vector<QsPoint> pointsOf(const LexPolyline& line) {
    return line.geometry()->ringPoints();
}

}  // namespace

TEST(Conversion, TypicalRunIntoANewSheetOfAnExistingCircuit) {
    ProgramRun p;
    makeCircuit(p.file("board.cir"));
    copyData("typical.hpgl", p.file("plot.hgl"));
    copyData("typical.pens", p.file("pens.txt"));
    const Outcome o = p.run({"-o", "board.cir/logo.sht", "-r", "pens.txt", "plot.hgl"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out + o.err, "");
    EXPECT_EQ(p.errors(), "");
    EXPECT_EQ(p.warnings(), "<Mess.36752> The drawing was saved in board.cir/logo.sht.\n");
    expectGolden(p.file("board.cir/logo.sht"), "typical.sht");

    Loaded out(p.file("board.cir/logo.sht"));
    ASSERT_TRUE(out.ok());
    EXPECT_FALSE(out.sheet().isSymbol());
    ASSERT_EQ(out.sheet().polylines().size(), 2u);
    // 40 output units per plotter unit; pen 1 takes its colour from the pen map, pen 2 its
    // default; style and width are the settings' defaults, stored explicitly.
    const LexPolyline& first = *out.sheet().polylines().head();
    EXPECT_EQ(pointsOf(first), (std::vector<QsPoint>{{0, 0}, {4000, 0}, {4000, 4000}}));
    EXPECT_EQ(first.rawColor(), 6);
    EXPECT_EQ(out.sheet().polylines().tail()->rawColor(), 2);
    EXPECT_EQ(first.rawLineStyle(), 0);
    EXPECT_EQ(first.rawLineWidth(), 0);
    EXPECT_EQ(out.sheet().sheetBox(), QsBox(0, 0, 4000, 4000));  // the extent
    EXPECT_EQ(
        readFile(p.file("board.cir/logo.sht")).rfind("$Version 1.100 12/04 16:11:56 2026\n", 0),
        0u);
}

TEST(Conversion, SymbolsNamedFromTheInputOrWithCapitals) {
    ProgramRun p;
    fs::create_directories(p.file("sub"));
    copyData("symbol.hpgl", p.file("sub/plot.hgl"));
    Outcome o = p.run({"sub/plot.hgl"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(p.warnings(),
              "<Mess.36752> The drawing was saved in " + p.file("sub/plot.smb") + ".\n");
    expectGolden(p.file("sub/plot.smb"), "symbol.smb");
    Loaded symbol(p.file("sub/plot.smb"));
    ASSERT_TRUE(symbol.ok());
    EXPECT_TRUE(symbol.sheet().isSymbol());
    // Frame, circle and arc as polylines, the polygon twice (FP, EP) and the rectangle, and a
    // label.
    EXPECT_EQ(symbol.sheet().polylines().size(), 3u);
    EXPECT_EQ(symbol.sheet().polygons().size(), 3u);
    EXPECT_EQ(symbol.sheet().texts().size(), 1u);

    o = p.run({"-o", "OUT.SMB", "sub/plot.hgl"});
    EXPECT_EQ(o.code, 0);
    Loaded capitals(p.file("OUT.SMB"));
    ASSERT_TRUE(capitals.ok());
    EXPECT_TRUE(capitals.sheet().isSymbol());
}

TEST(Conversion, SheetInACircuitThatDoesNotExistYet) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD10,0;");
    Outcome o = p.run({"-o", "new/deep.cir/s.sht", "plot.hgl"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(p.errors(), "");
    for (const char* sub : {"", "/log", "/ext", "/drc", "/frame"})
        EXPECT_TRUE(fs::is_directory(p.file("new/deep.cir") + sub)) << sub;
    const std::string info = testsupport::bundledRoot() + "/info";
    EXPECT_EQ(readFile(p.file("new/deep.cir/rcpath")),
              "landata : \"" + info + "\"\nlanenv : \"" + info + "\"\n");
    Loaded sheet(p.file("new/deep.cir/s.sht"));
    ASSERT_TRUE(sheet.ok());
    EXPECT_EQ(sheet.sheet().polylines().size(), 1u);

    // A directory that is no circuit cannot hold the path table; one below a file cannot be
    // made at all. The directories made stay.
    writeFile(p.file("afile"), "x");
    struct Case {
        std::string output, messages;
    };
    const Case cases[] = {
        {"plain/s.sht", "<Mess.36715> Cannot make the settings reference " +
                            p.file("plain/rcpath") + " of the new design.\n"},
        {"afile/x.cir/s.sht",
         "<Mess.36707> Cannot create the directory " + p.file("afile/x.cir") + ".\n"},
    };
    for (const Case& c : cases) {
        o = p.run({"-o", c.output, "plot.hgl"});
        EXPECT_EQ(o.code, 1) << c.output;
        EXPECT_EQ(p.errors(), c.messages);
        EXPECT_FALSE(fileExists(p.file(c.output)));
    }
    EXPECT_TRUE(fs::is_directory(p.file("plain/frame")));
}

TEST(Conversion, AddingToAnExistingSheetKeepsItsContent) {
    ProgramRun p;
    makeCircuit(p.file("board.cir"));
    copyData("every-class.sht", p.file("board.cir/all.sht"));
    copyData("append.hpgl", p.file("plot.hgl"));
    Outcome o = p.run({"-o", "board.cir/all.sht", "plot.hgl"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(p.errors(), "");
    // The earlier records come back as they were, the new polyline and text at the ends of
    // their lists; the area stays.
    expectGolden(p.file("board.cir/all.sht"), "append.sht");
    {
        Loaded sheet(p.file("board.cir/all.sht"));
        ASSERT_TRUE(sheet.ok());
        EXPECT_EQ(sheet.sheet().objectCount(), 11u);
        EXPECT_EQ(sheet.sheet().sheetBox(), QsBox(0, 0, 420000, 297000));
        EXPECT_EQ(sheet.sheet().texts().tail()->string(), "ok");
    }

    // -m new replaces the file.
    o = p.run({"-m", "new", "-o", "board.cir/all.sht", "plot.hgl"});
    EXPECT_EQ(o.code, 0);
    {
        Loaded sheet(p.file("board.cir/all.sht"));
        ASSERT_TRUE(sheet.ok());
        EXPECT_EQ(sheet.sheet().objectCount(), 2u);
        EXPECT_EQ(sheet.sheet().components().size(), 0u);
        QsBox extent;
        ASSERT_TRUE(sheet.sheet().objectsExtent(extent));
        EXPECT_EQ(sheet.sheet().sheetBox(), extent);
        EXPECT_EQ(extent.x1, 400);
    }

    // An existing file that is no sheet is not replaced without -m new.
    writeFile(p.file("board.cir/bad.sht"), "not a sheet\n");
    o = p.run({"-o", "board.cir/bad.sht", "plot.hgl"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(p.errors(), "<Mess.36723> Cannot open or create the sheet board.cir/bad.sht.\n");
    EXPECT_EQ(readFile(p.file("board.cir/bad.sht")), "not a sheet\n");
}

TEST(Conversion, OffsetsScaleAndPenMap) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD400,0;SP9;PD400,100;");
    writeFile(p.file("pens.txt"), "1 9 0\n");
    const Outcome o = p.run({"-p:scale", "2", "-p:offsetx", "2.5", "-p:offsety", "-1", "-r",
                             "pens.txt", "-o", "out.smb", "plot.hgl"});
    EXPECT_EQ(o.code, 0);
    Loaded out(p.file("out.smb"));
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(out.sheet().polylines().size(), 2u);
    const LexPolyline& first = *out.sheet().polylines().head();
    EXPECT_EQ(pointsOf(first), (std::vector<QsPoint>{{2500, -1000}, {22500, -1000}}));
    EXPECT_EQ(first.rawColor(), 9);
    EXPECT_EQ(out.sheet().polylines().tail()->rawColor(), 9);  // pen 9 by default
    EXPECT_EQ(out.sheet().sheetBox(), QsBox(2500, -1000, 22500, 4000));
}

TEST(Conversion, PlotThatDrawsNothing) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU100,100;SP0;");
    EXPECT_EQ(p.run({"plot.hgl"}).code, 0);
    Loaded out(p.file("plot.smb"));
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out.sheet().objectCount(), 0u);
    EXPECT_EQ(out.sheet().sheetBox(), QsBox(0, 0, 0, 0));
}

TEST(Conversion, ReportedFailures) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PD10,10;");
    writeFile(p.file("words.txt"), "only words, no command\n");
    fs::create_directories(p.file("nopath.cir"));
    // Installations with one settings file missing.
    const std::string noLandata = p.file("root1"), noLanenv = p.file("root2");
    for (const std::string& root : {noLandata, noLanenv})
        fs::copy(testsupport::bundledRoot(), root, fs::copy_options::recursive);
    fs::remove(noLandata + "/info/landata.rsc");
    fs::remove(noLanenv + "/info/lanenv.rsc");

    struct Case {
        std::vector<std::string> args;
        std::string root, messages, output;
    };
    const std::string bundled = testsupport::bundledRoot();
    const Case cases[] = {
        {{"words.txt"},
         bundled,
         "<Mess.36708> Cannot convert " + p.file("words.txt") +
             ": the output name must end in .smb or .sht and differ from the input name, and the "
             "input must hold HP-GL statements.\n",
         "words.smb"},
        {{"-r", p.home(), "plot.hgl"},
         bundled,
         "<Mess.36711> Cannot read the file " + p.home() + ".\n",
         "plot.smb"},
        {{"plot.hgl"},
         noLandata,
         "<Mess.36711> Cannot read the file " + noLandata + "/info/landata.rsc.\n",
         "plot.smb"},
        {{"plot.hgl"},
         noLanenv,
         "<Mess.36711> Cannot read the file " + noLanenv + "/info/lanenv.rsc.\n",
         "plot.smb"},
        {{"-o", "nopath.cir/s.sht", "plot.hgl"},
         bundled,
         "<Mess.36711> Cannot read the file " + p.file("nopath.cir/rcpath") + ".\n",
         "nopath.cir/s.sht"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Outcome o = p.run(c.args, c.root);
        EXPECT_EQ(o.code, 1);
        EXPECT_EQ(p.errors(), c.messages);
        EXPECT_EQ(p.warnings(), "");
        EXPECT_FALSE(fileExists(p.file(c.output)));
    }
}

TEST(Conversion, EveryCorpusPlotBecomesALoadableSymbol) {
    ProgramRun p;
    const std::vector<std::string> files = testsupport::corpusFiles();
    if (files.empty()) GTEST_SKIP() << "no plot corpus beside the repository";
    int index = 0;
    for (const std::string& plot : files) {
        SCOPED_TRACE(plot);
        const std::string output = p.file("corpus" + std::to_string(index++) + ".smb");
        const Outcome o = p.run({"-o", output, plot});
        EXPECT_EQ(o.code, 0);
        EXPECT_EQ(o.out + o.err, "");
        EXPECT_EQ(p.errors(), "");
        Loaded symbol(output);
        EXPECT_TRUE(symbol.ok());
        fs::remove(output);
    }
}

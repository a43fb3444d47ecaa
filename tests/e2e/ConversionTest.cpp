// Whole conversions run as a user runs them: plot files in a temporary directory, the program in
// its own process, and the written symbols and sheets compared with golden files or loaded back.
#include "E2eSupport.h"
#include "support/SheetObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using e2e::dataFile;
using e2e::Loaded;
using e2e::pathTableText;
using e2e::ProgramRun;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

void copyData(const std::string& name, const std::string& to) {
    fs::create_directories(fs::path(to).parent_path());
    fs::copy_file(dataFile(name), to, fs::copy_options::overwrite_existing);
}

// Kind, object count, area and the first polyline's colour of a written output.
std::string summary(const std::string& path) {
    Loaded out(path);
    if (!out.ok()) return "unreadable";
    const LexSheet& s = out.sheet();
    const QsBox b = s.sheetBox();
    const auto lines = listObjects<LexPolyline>(s, kLexListPolylines);
    return std::string(s.isSymbol() ? "symbol " : "sheet ") + std::to_string(s.objectCount()) +
           " (" + std::to_string(b.x1) + " " + std::to_string(b.y1) + " " + std::to_string(b.x2) +
           " " + std::to_string(b.y2) + ") " +
           (lines.empty() ? "-" : std::to_string(lines.front()->rawColor()));
}

}  // namespace

TEST(Conversion, GoldenOutputs) {
    ProgramRun p;
    fs::create_directories(p.file("board.cir"));
    writeFile(p.file("board.cir/rcpath"), pathTableText());
    copyData("typical.hpgl", p.file("plot.hgl"));
    copyData("typical.pens", p.file("pens.txt"));
    copyData("symbol.hpgl", p.file("sub/plot.hgl"));
    copyData("append.hpgl", p.file("append.hgl"));
    copyData("every-class.sht", p.file("board.cir/all.sht"));
    struct Case {
        std::vector<std::string> args;
        std::string output, shown, golden;
    };
    // The typical run: a new sheet in an existing circuit, 40 output units per plotter unit,
    // pen 1's colour from the pen map, the area set to the extent. Then a symbol named from the
    // input, drawn with arcs, circles, wedges, rectangles, polygons with holes and labels of
    // every size, direction and origin; and a sheet of every class of record, kept as it was,
    // with the new objects appended.
    const Case cases[] = {
        {{"-o", "board.cir/logo.sht", "-r", "pens.txt", "plot.hgl"},
         "board.cir/logo.sht",
         "board.cir/logo.sht",
         "typical.sht"},
        {{"sub/plot.hgl"}, "sub/plot.smb", p.file("sub/plot.smb"), "symbol.smb"},
        {{"-o", "board.cir/all.sht", "append.hgl"},
         "board.cir/all.sht",
         "board.cir/all.sht",
         "append.sht"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        EXPECT_EQ(p.run(c.args).code, 0);
        EXPECT_EQ(p.errors(), "");
        EXPECT_EQ(p.warnings(), "<Mess.36752> The drawing was saved in " + c.shown + ".\n");
        e2e::expectGolden(p.file(c.output), c.golden);
    }
    EXPECT_EQ(summary(p.file("board.cir/logo.sht")), "sheet 2 (0 0 4000 4000) 6");
}

TEST(Conversion, OutputKindsOptionsAndNewCircuits) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD400,0;SP9;PD400,100;");
    writeFile(p.file("nothing.hgl"), "IN;SP1;PU100,100;SP0;");
    writeFile(p.file("pens.txt"), "1 9 0\n");
    copyData("every-class.sht", p.file("old.cir/all.sht"));
    writeFile(p.file("old.cir/rcpath"), pathTableText());
    const std::string scaled = testsupport::sourceDir() + "/share/examples/scaled.hpgl";
    const struct {
        std::string args, output, want;
    } cases[] = {
        {"-o OUT.SMB plot.hgl", "OUT.SMB", "symbol 2 (0 0 16000 4000) 1"},
        // Scale 2 and offsets of 2.5 mm and -1 mm; pen 1 takes colour 9 from the pen map.
        {"-p:scale 2 -p:offsetx 2.5 -p:offsety -1 -r pens.txt -o moved.smb plot.hgl", "moved.smb",
         "symbol 2 (2500 -1000 22500 4000) 9"},
        {"nothing.hgl", "nothing.smb", "symbol 0 (0 0 0 0) -"},
        {"-o new/deep.cir/s.sht plot.hgl", "new/deep.cir/s.sht", "sheet 2 (0 0 16000 4000) 1"},
        {"-m new -o old.cir/all.sht plot.hgl", "old.cir/all.sht", "sheet 2 (0 0 16000 4000) 1"},
        // The example draws 100 x 75 user units onto 4000 x 3000 plotter units: without user
        // scaling the user units are taken as plotter units; with it, at -p:scale 1 (25 output
        // units per plotter unit), a millimetre each. The fit comes before the offsets.
        {"-p:scale 1 -o s1.smb " + scaled, "s1.smb", "symbol 4 (0 0 2500 1875) 1"},
        {"-p:userscale 1 -p:scale 1 -o s2.smb " + scaled, "s2.smb",
         "symbol 4 (0 0 100000 75000) 1"},
        {"-p:userscale 1 -p:fit 50x50 -p:offsetx 10 -o s3.smb " + scaled, "s3.smb",
         "symbol 4 (10000 0 60000 37500) 1"},
        {"-p:fit 50x50 -o s4.smb " + scaled, "s4.smb", "symbol 4 (0 0 50000 37500) 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(p.run(testsupport::words(c.args)).code, 0);
        EXPECT_EQ(p.errors(), "");
        EXPECT_EQ(summary(p.file(c.output)), c.want);
    }
    EXPECT_EQ(readFile(p.file("new/deep.cir/rcpath")), pathTableText());
}

TEST(Conversion, ReportedFailures) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PD10,10;");
    writeFile(p.file("words.txt"), "only words, no command\n");
    writeFile(p.file("plot.smb"), "IN;");
    writeFile(p.file("afile"), "x");
    fs::create_directories(p.file("nopath.cir"));
    writeFile(p.file("nopath.cir/bad.sht"), "not a sheet\n");
    // Installations with one settings file missing.
    const std::string bundled = testsupport::bundledRoot();
    const std::string noLandata = p.file("root1"), noLanenv = p.file("root2");
    for (const std::string& root : {noLandata, noLanenv})
        fs::copy(bundled, root, fs::copy_options::recursive);
    fs::remove(noLandata + "/info/landata.rsc");
    fs::remove(noLanenv + "/info/lanenv.rsc");
    const std::string unreadable = "36711> Cannot read the file ",
                      badName = "36708> Cannot convert ";
    const struct {
        std::string args, root, message;  // an empty root: the bundled installation
    } cases[] = {
        // Names: an extension only of the last component counts (which extensions count is the
        // option tests' matter); a derived name equal to the input; an input without statements.
        {"-o x.txt plot.hgl", "", badName + "x.txt: "},
        {"plot.smb", "", badName + p.file("plot.smb") + ": "},
        {"words.txt", "", badName + p.file("words.txt") + ": "},
        {"plot.hgl", noLandata, unreadable + noLandata + "/info/landata.rsc."},
        {"plot.hgl", noLanenv, unreadable + noLanenv + "/info/lanenv.rsc."},
        // A circuit without path table; a directory that is no circuit; one below a file.
        {"-o nopath.cir/s.sht plot.hgl", "", unreadable + p.file("nopath.cir/rcpath") + "."},
        {"-o plain/s.sht plot.hgl", "",
         "36715> Cannot make the settings reference " + p.file("plain/rcpath") + " "},
        {"-o afile/x.cir/s.sht plot.hgl", "",
         "36707> Cannot create the directory " + p.file("afile/x.cir") + "."},
        // A symbol in a directory that does not exist is made in memory but cannot be saved.
        {"-o none/x.smb plot.hgl", "", "36722> Cannot save the symbol none/x.smb."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(p.run(testsupport::words(c.args), c.root.empty() ? bundled : c.root).code, 1);
        EXPECT_EQ(p.errors().rfind("<Mess." + c.message, 0), 0u) << p.errors();
        EXPECT_EQ(p.warnings(), "");
    }
    EXPECT_FALSE(fileExists(p.file("words.smb")));
    EXPECT_TRUE(fs::is_directory(p.file("plain/frame")));  // made before the failure, kept

    // An existing file that is no sheet is not replaced without -m new.
    writeFile(p.file("nopath.cir/rcpath"), pathTableText());
    EXPECT_EQ(p.run({"-o", "nopath.cir/bad.sht", "plot.hgl"}).code, 1);
    EXPECT_EQ(p.errors(), "<Mess.36723> Cannot open or create the sheet nopath.cir/bad.sht.\n");
    EXPECT_EQ(readFile(p.file("nopath.cir/bad.sht")), "not a sheet\n");
}

// Files written through text streams (the logs, standard output) end their lines as the system
// does: CR LF on Windows, LF elsewhere. Database files and path tables always end lines in a
// bare LF, so that they read the same everywhere.
TEST(Conversion, LineEndsOfLogsAndDatabaseFiles) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD400,0;");
#if defined(_WIN32)
    const bool crlf = true;
#else
    const bool crlf = false;
#endif
    // Each file is looked at right after the run that writes it (a run removes the logs of the
    // run before).
    struct Case {
        std::vector<std::string> args;  // none: no run
        std::string path;
        bool carriageReturns;
    };
    const Case cases[] = {
        {{"-o", "new.cir/s.sht", "plot.hgl"}, p.warningLog(), crlf},
        {{}, p.file("new.cir/s.sht"), false},
        {{}, p.file("new.cir/rcpath"), false},
        {{"missing.plt"}, p.errorLog(), crlf},
        {{"-V"}, p.file("out.txt"), crlf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        if (!c.args.empty()) p.run(c.args);
        const std::string text = readFile(c.path);
        const auto lines = std::count(text.begin(), text.end(), '\n');
        EXPECT_GT(lines, 1);
        // Every line ends in CR LF, or there is no CR at all.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), c.carriageReturns ? lines : 0);
        if (c.carriageReturns) {
            EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
        }
    }
}

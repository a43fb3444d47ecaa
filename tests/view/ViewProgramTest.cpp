// The preview program run as a user runs it: its command line, exit codes and error lines, the
// files it writes (and does not write), and pictures of the converter's real outputs. The
// programs are run through the POSIX shell; the Windows build runs the preview's other tests.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "SvgTree.h"
#include "base/SysEnv.h"
#include "convert/DbHandle.h"
#include "e2e/E2eSupport.h"
#include "support/TestSupport.h"
#include "view/ViewApp.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;
using e2e::Outcome;
using testsupport::words;

namespace {

// A home with copies of the examples, where the programs run with the bundled installation and
// nothing else in their environment. The preview's home is the working directory, so that
// anything it wrote there would show.
class Workspace : public e2e::ProgramRun {
public:
    Workspace() {
        for (const char* name :
             {"demo.hpgl", "shapes.hpgl", "house.hpgl", "label.hpgl", "pens.txt"})
            fs::copy_file(testsupport::sourceDir() + "/share/examples/" + name, file(name));
    }
    Outcome view(const std::vector<std::string>& args,
                 std::optional<std::string> root = testsupport::bundledRoot()) const {
        return runProgram(TRAZON_VIEW_PROGRAM, args, root);
    }
    // Every name below the home, relative to it, but the runs' output and error files.
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(home()))
            names.insert(fs::relative(e.path(), home()).string());
        names.erase("out.txt");
        names.erase("err.txt");
        return names;
    }
};

TEST(ViewProgramTest, CommandLineOutcomes) {
    struct Row {
        const char* args;
        int code;
        const char* err;      // a pattern for standard error after "trazon-view: ", or ""
        const char* written;  // the one file made, or none
    } rows[] = {
        {"--help", 0, "", nullptr},
        {"--frame demo.hpgl", 2, "unknown option --frame\n", nullptr},
        {"-z demo.hpgl", 2, "unknown option -z\n", nullptr},
        {"-m new demo.hpgl", 2, "an option the preview does not take was given\n", nullptr},
        {"-p:userscale on demo.hpgl", 2,
         "-p:userscale takes 1 \\(on\\) or 0 \\(off\\), not \"on\"\n", nullptr},
        {"demo.hpgl a.smb b.smb", 2, "too many files: b.smb\n", nullptr},
        {"a.smb b.smb", 2, "a symbol or sheet is drawn alone; name the plot first\n", nullptr},
        {"demo.hpgl pens.txt", 2, "pens.txt is no symbol or sheet .*\n", nullptr},
        {"missing.plt -o m.html", 1, "missing.plt does not exist\n", nullptr},
        {"pens.txt -o p.html", 1, "pens.txt holds no HP-GL statement\n", nullptr},
        {"demo.hpgl -r nopens.txt", 1, "the pen map nopens.txt cannot be read\n", nullptr},
        {"demo.hpgl missing.smb", 1, "missing.smb does not exist\n", nullptr},
        {"pens.smb", 1, "pens.smb cannot be read as a symbol or sheet\n", nullptr},
        {"demo.hpgl -o no/such/dir/d.html", 1, "cannot write no/such/dir/d.html\n", nullptr},
        {"demo.hpgl pens.smb -o ./pens.smb", 2, "the output ./pens.smb would replace pens.smb\n",
         nullptr},
        // Success writes the one file asked for (or named after the input), nothing else.
        {"demo.hpgl", 0, "", "demo.html"},
        {"-p:scale 3.2 -r pens.txt -o d.html house.hpgl --grid", 0, "", "d.html"},
        {"-p:userscale 1 -p:fit 80x60 -o s.html demo.hpgl", 0, "", "s.html"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args);
        Workspace w;
        ASSERT_TRUE(writeFile(w.file("pens.smb"), readFile(w.file("pens.txt"))));
        std::set<std::string> expected = w.listing();
        const Outcome o = w.view(words(row.args));
        EXPECT_EQ(o.code, row.code);
        const std::string err = *row.err ? std::string("trazon-view: ") + row.err : "";
        EXPECT_TRUE(std::regex_match(o.err, std::regex(err))) << o.err;
        if (row.written != nullptr) expected.insert(row.written);
        EXPECT_EQ(w.listing(), expected);
    }
    // No files, or no installation: nothing is written either.
    Workspace w;
    const std::set<std::string> before = w.listing();
    EXPECT_TRUE(w.view({"--help"}).out.starts_with("usage: trazon-view"));
    const Outcome usage = w.view({});
    EXPECT_EQ(usage.code, 2);
    EXPECT_TRUE(usage.err.starts_with("usage: trazon-view"));
    const Outcome noRoot = w.view({"demo.hpgl"}, std::nullopt);
    EXPECT_EQ(noRoot.code, 1);
    EXPECT_TRUE(noRoot.err.starts_with("trazon-view: QRXROOT is not set "));
    EXPECT_EQ(w.listing(), before);
}

// The output half of a page made with the plot converted in memory is the picture of the file
// the converter writes from the same plot with the same options.
TEST(ViewProgramTest, ConversionInMemoryIsTheConvertersOwn) {
    const std::vector<std::vector<std::string>> optionSets = {
        {},
        {"-r", "pens.txt", "-p:scale", "0.7", "-p:offsetx", "-12.5", "-p:offsety", "30"},
    };
    for (const char* plot : {"demo.hpgl", "shapes.hpgl", "house.hpgl", "label.hpgl"}) {
        for (const auto& options : optionSets) {
            Workspace w;
            std::vector<std::string> convert = options;
            convert.insert(convert.end(), {"-o", "out.smb", plot});
            ASSERT_EQ(w.run(convert).code, 0) << plot;
            std::vector<std::string> fromFile = options;
            fromFile.insert(fromFile.end(), {plot, "out.smb", "-o", "file.html"});
            std::vector<std::string> inMemory = options;
            inMemory.insert(inMemory.end(), {plot, "-o", "memory.html"});
            ASSERT_EQ(w.view(fromFile).code, 0) << plot;
            ASSERT_EQ(w.view(inMemory).code, 0) << plot;

            const std::string a = readFile(w.file("file.html"));
            const std::string b = readFile(w.file("memory.html"));
            auto outputPart = [](const std::string& page) {
                const std::size_t start = page.find("id=\"output\"");
                return page.substr(start, page.find("</svg>", start) - start);
            };
            EXPECT_EQ(outputPart(a), outputPart(b)) << plot << " " << options.size();
            EXPECT_NE(svgtest::svgById(b, "plot"), nullptr);
            EXPECT_NE(svgtest::svgById(b, "output"), nullptr);
        }
    }
}

// A sheet in a circuit takes the circuit's settings, as the converter finds them.
TEST(ViewProgramTest, SheetsAreDrawnWithTheSettingsOfTheirCircuit) {
    Workspace w;
    ASSERT_EQ(w.run({"-r", "pens.txt", "-o", "board.cir/house.sht", "house.hpgl"}).code, 0);
    // The circuit's path table names a settings directory of its own whose red is not red.
    fs::create_directories(w.file("board.cir/info"));
    std::string landata = readFile(testsupport::bundledRoot() + "/info/landata.rsc");
    landata = std::regex_replace(landata, std::regex("\n *2 +255 +0 +0 +red"), "\n 2 1 2 3 red");
    ASSERT_TRUE(writeFile(w.file("board.cir/info/landata.rsc"), landata));
    const std::string rcpath = readFile(w.file("board.cir/rcpath"));
    ASSERT_TRUE(writeFile(w.file("board.cir/rcpath"),
                          std::regex_replace(rcpath, std::regex("landata : \"[^\"]*\""),
                                             "landata : \"" + w.file("board.cir/info") + "\"")));

    ASSERT_EQ(w.view({"board.cir/house.sht", "--grid", "-o", "house.svg"}).code, 0);
    const std::string svg = readFile(w.file("house.svg"));
    std::string error;
    auto root = svgtest::parse(svg, &error);
    ASSERT_NE(root, nullptr) << error;
    EXPECT_NE(svg.find("stroke=\"#010203\""), std::string::npos);  // pen 2 is colour 2
    EXPECT_EQ(svg.find("stroke=\"#ff0000\""), std::string::npos);
    EXPECT_EQ(root->all("pattern").size(), 1u);  // the grid
}

// Every plot of the corpus and every example, drawn beside its conversion in memory.
TEST(ViewProgramTest, EveryCorpusPlotRenders) {
    testsupport::ScopedEnv root("QRXROOT", testsupport::bundledRoot());
    resetSysEnv();
    dbInitialise();
    std::vector<std::string> plots = testsupport::corpusFiles();
    for (const char* name : {"demo.hpgl", "shapes.hpgl", "house.hpgl", "label.hpgl"})
        plots.push_back(testsupport::sourceDir() + "/share/examples/" + name);
    for (const std::string& plot : plots) {
        ViewRequest request;
        request.input = plot;
        const ViewResult result = renderComparison(request);
        ASSERT_TRUE(result.ok) << plot << ": " << result.error;
        EXPECT_NE(svgtest::svgById(result.document, "plot"), nullptr) << plot;
        EXPECT_NE(svgtest::svgById(result.document, "output"), nullptr) << plot;
    }
    resetSysEnv();
}

}  // namespace
#endif  // !defined(_WIN32)

// The conversion report of -p:report, read back as a user's script would read it: each report
// must be strict JSON (checked by Python's parser), its object counts must be the objects of the
// saved file, and asking for a report must change nothing else about the run.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using e2e::Loaded;
using e2e::ProgramRun;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

// The scalar values of each report ("objects.texts" -> "3"), by report file; a report that is
// no strict JSON document maps to {"invalid": reason}.
using Fields = std::map<std::string, std::string>;

std::map<std::string, Fields> readReports(const ProgramRun& p,
                                          const std::vector<std::string>& files) {
#if defined(_WIN32)
    // A Windows program cannot start the build machine's Python: the reports, written by the
    // same code on both systems, are read back by the Linux run of these tests.
    (void)p;
    (void)files;
    return {};
#else
    std::string command =
        "python3 " + e2e::shellQuote(testsupport::sourceDir() + "/tests/e2e/json_fields.py");
    for (const std::string& f : files)
        command += " " + e2e::shellQuote(f);
    command += " >" + e2e::shellQuote(p.file("fields.txt"));
    std::system(command.c_str());
    std::map<std::string, Fields> reports;
    std::istringstream in(readFile(p.file("fields.txt")));
    Fields* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("#")) {
            const std::size_t invalid = line.find(" invalid: ");
            current =
                &reports[line.substr(1, invalid == std::string::npos ? invalid : invalid - 1)];
            if (invalid != std::string::npos) (*current)["invalid"] = line.substr(invalid + 10);
        } else if (const std::size_t eq = line.find('='); current && eq != std::string::npos) {
            (*current)[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return reports;
#endif
}

Fields readReport(const ProgramRun& p, const std::string& file) {
    return readReports(p, {file})[file];
}

std::string unquoted(const std::string& json) {
    return json.size() >= 2 && json.front() == '"' ? json.substr(1, json.size() - 2) : json;
}

// The warning codes of a report, in order, joined by blanks.
std::string warnings(const Fields& report) {
    std::string codes;
    for (int i = 0; report.count("warnings." + std::to_string(i) + ".code"); ++i)
        codes += (codes.empty() ? "" : " ") +
                 unquoted(report.at("warnings." + std::to_string(i) + ".code"));
    return codes;
}

bool pythonAvailable() {
#if defined(_WIN32)
    return false;
#else
    return std::system("python3 -c '' >/dev/null 2>&1") == 0;
#endif
}

}  // namespace

TEST(Report, EveryCorpusPlotGivesValidJsonCountingTheSavedObjects) {
    if (!pythonAvailable()) GTEST_SKIP() << "python3 is not installed";
    ProgramRun p;
    struct Run {
        std::string name, report, output;
        int code;
    };
    std::vector<Run> runs;
    std::vector<std::string> files;
    for (const auto& [name, path] : e2e::corpusAndExamples()) {
        const std::string stem = std::to_string(runs.size());
        Run run{name, p.file(stem + ".json"), p.file(stem + ".smb"), -1};
        run.code = p.run({"-o", run.output, "-p:report", run.report, path}).code;
        files.push_back(run.report);
        runs.push_back(run);
    }
    ASSERT_GT(runs.size(), 30u);
    const auto reports = readReports(p, files);
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        ASSERT_TRUE(reports.count(run.report));
        const Fields& r = reports.at(run.report);
        ASSERT_FALSE(r.count("invalid")) << r.at("invalid");
        EXPECT_EQ(r.at("exitCode"), std::to_string(run.code));
        EXPECT_NE(r.at("statements.total"), "0");
        if (run.code != 0) {
            EXPECT_EQ(r.at("objects.total"), "0");
            continue;
        }
        Loaded out(run.output);
        ASSERT_TRUE(out.ok());
        const LexSheet& s = out.sheet();
        EXPECT_EQ(r.at("objects.polylines"), std::to_string(s.objectCount(kLexListPolylines)));
        EXPECT_EQ(r.at("objects.polygons"), std::to_string(s.objectCount(kLexListPolygons)));
        EXPECT_EQ(r.at("objects.texts"), std::to_string(s.objectCount(kLexListTexts)));
        EXPECT_EQ(r.at("objects.total"), std::to_string(s.objectCount()));
        // A new symbol's area is the extent of its objects.
        const QsBox area = s.sheetBox();
        EXPECT_EQ(r.at("extent.units.xmin") + " " + r.at("extent.units.ymax"),
                  std::to_string(area.x1) + " " + std::to_string(area.y2));
    }
}

TEST(Report, FiguresNotConvertedAndWarnings) {
    if (!pythonAvailable()) GTEST_SKIP() << "python3 is not installed";
    ProgramRun p;
    std::string longStroke = "IN;SP1;PA;PD";  // 65,536 points after the pen's own
    for (int i = 1; i <= 65536; ++i)
        longStroke += std::to_string(i % 2) + "," + std::to_string(i) + (i < 65536 ? "," : ";");
    longStroke += "PU0,0;PD10,0;";
    // Each case: the plot, the options, "key=value" fields the report must hold, its warnings.
    const struct {
        std::string plot, options, expected, warnings;
    } cases[] = {
        {longStroke, "", "notConverted.tooManyPoints=1 objects.polylines=1 exitCode=0", ""},
        // Saved all the same: an empty symbol.
        {"IN;SP1;PD100,0;PD100,100;", "-p:offsetx 2147483",
         "notConverted.outOfRange=2 objects.total=0 exitCode=0 extent=null", "nothingConverted"},
        // 50,000 plotter units at 40 units each are 2 m; a fraction of a unit more is wider.
        {"IN;SP1;PD50000,1;PU0,0;PD-0.1,0;", "",
         "extent.units.width=2000004 extent.millimetres.xmin=-0.004", "largeDrawing"},
        {"12,3;IN;SP1;ZZ1;\x1b.I81;;17:PD0,50001;ZZ;", "",
         "ignored.byMnemonic.ZZ=2 ignored.escapeSequences=1 ignored.leadingParameters=1 "
         "ignored.total=4 statements.total=7 statements.byMnemonic.PD=1",
         "largeDrawing"},
        {"IN;SP1;PU5,5;", "-p:fit 10x10", "objects.total=0", "nothingConverted fitWithoutExtent"},
        {"\x01\x02 123 ;", "", "statements.total=0 exitCode=1 objects.total=0", "nothingConverted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plot.substr(0, 40));
        writeFile(p.file("plot.hgl"), c.plot);
        fs::remove(p.file("plot.smb"));
        fs::remove(p.file("report.json"));
        p.run(testsupport::words(c.options + " -o plot.smb -p:report report.json plot.hgl"));
        const Fields r = readReport(p, p.file("report.json"));
        ASSERT_FALSE(r.count("invalid")) << r.at("invalid");
        for (const std::string& field : testsupport::words(c.expected)) {
            const std::string key = field.substr(0, field.find('='));
            EXPECT_EQ(key + "=" + (r.count(key) ? r.at(key) : "<missing>"), field);
        }
        EXPECT_EQ(warnings(r), c.warnings);
    }
}

TEST(Report, AskingForOneChangesNothingElse) {
    if (!pythonAvailable()) GTEST_SKIP() << "python3 is not installed";
    ProgramRun p;
    fs::create_directories(p.file("out"));
    // Hostile bytes in the plot's name end up in the report's strings.
    const std::string plot = p.file("odd\n\"\x1b\xff\xc3\xa9.hgl");
    writeFile(plot, "IN;SP1;PD100,0;");
    writeFile(p.file("pens.txt"), "1 5 3\n");
    std::string err;
    auto runOnce = [&](const std::vector<std::string>& extra) {
        fs::remove(p.file("out/plot.smb"));
        fs::remove(p.errorLog());
        fs::remove(p.warningLog());
        std::vector<std::string> args = {"-o", "out/plot.smb", "-r", "pens.txt"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(plot);
        const e2e::Outcome o = p.run(args);
        err = o.err;
        return std::to_string(o.code) + "\n" + o.out + p.errors() + p.warnings() +
               e2e::withoutUser(readFile(p.file("out/plot.smb")));
    };
    const std::string plain = runOnce({});
    EXPECT_EQ(fs::directory_iterator(p.file("out"))->path().filename(), "plot.smb");
    EXPECT_EQ(std::distance(fs::directory_iterator(p.file("out")), fs::directory_iterator()), 1);

    EXPECT_EQ(runOnce({"-p:REPORT", "out/r.json"}), plain);
    const Fields r = readReport(p, p.file("out/r.json"));
    ASSERT_FALSE(r.count("invalid")) << r.at("invalid");
    // Python shows the strings decoded: the byte 0xff as U+00FF, the valid "é" as it was.
    EXPECT_EQ(r.at("input.path"), "\"" + p.file("odd\\n\\\"\\u001b\xc3\xbf\xc3\xa9.hgl") + "\"");
    EXPECT_EQ(r.at("input.bytes"), "15");

    // A report that cannot be written, or that would overwrite the plot, the output or the pen
    // map: one line on standard error, the run otherwise as before and those files intact.
    for (const std::string& report : {p.file("missing/r.json"), p.file("out"), plot,
                                      std::string("out/./plot.smb"), std::string("pens.txt")}) {
        SCOPED_TRACE(report);
        EXPECT_EQ(runOnce({"-p:report", report}), plain);
        EXPECT_TRUE(err.starts_with("trazon: cannot write the report " + report + ": ")) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'),
                  1 + std::count(report.begin(), report.end(), '\n'))
            << err;
        EXPECT_EQ(readFile(plot), "IN;SP1;PD100,0;");
        EXPECT_EQ(readFile(p.file("pens.txt")), "1 5 3\n");
    }
}

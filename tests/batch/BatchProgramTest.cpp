// trazon-batch run as a user would: over the public corpus with the real converter, and with a
// scripted converter put beside a copy of it to look at how runs are started, bounded, logged
// and reported.
#include "batch/BatchReport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

using testsupport::readFile;
using testsupport::shellQuote;
using testsupport::TempDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

// Runs a shell command line in a clean environment (plus `env`); the exit code.
int run(const std::string& env, const std::string& command) {
    return testsupport::runShell("env -i PATH=/usr/bin:/bin " + env + " " + command);
}

// The rows of a report (header left out), each split at commas outside quotes.
std::vector<std::vector<std::string>> csvRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    const std::string text = readFile(path);
    std::vector<std::string> row(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                row.back() += text[++i];
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && c == ',') {
            row.emplace_back();
        } else if (!quoted && c == '\r') {  // every row ends in CR LF
            rows.push_back(row);
            row.assign(1, "");
            ++i;
        } else {
            row.back() += c;
        }
    }
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

enum Column { kPlot, kOutput, kStatus, kExit, kMessages, kObjects, kSeconds };

// The names in a folder, sorted; with an extension, the stems of the files that have it.
std::vector<std::string> namesIn(const std::string& folder, const std::string& extension = "") {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (extension.empty()) names.push_back(e.path().filename().string());
        if (!extension.empty() && e.path().extension() == extension)
            names.push_back(e.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A copy of trazon-batch with a scripted converter beside it. The script prints how many
// conversions run at that moment, its arguments, its log directory and whether its output's
// folder existed when it started (all of which end in the report's messages); plots named bad* fail
// with exit code 3, crash* end by a signal, slow* take a second; the others write their output
// (making its folder, as a new circuit is made).
class ScriptedBatch {
public:
    ScriptedBatch() {
        fs::create_directories(t_.file("bin"));
        fs::create_directories(t_.file("running"));
        fs::copy_file(TRAZON_BATCH_PROGRAM, t_.file("bin/trazon-batch"));
        std::string script = R"(#!/bin/sh
for plot; do :; done
prev=; for a; do [ "$prev" = -o ] && out=$a; prev=$a; done
mkdir RUNNING/$$
echo running $(ls RUNNING | wc -l)
echo args "$*"
echo logdir "$TRAZON_LOG_DIR"
[ -d "${out%/*}" ] && echo folder existed
case ${plot##*/} in slow*) sleep 1;; *) sleep 0.2;; esac
rmdir RUNNING/$$
case ${plot##*/} in
  bad*) echo bad plot >&2; exit 3;;
  crash*) kill -SEGV $$;;
esac
mkdir -p "${out%/*}" && echo x >"$out"
)";
        for (std::size_t at; (at = script.find("RUNNING")) != std::string::npos;)
            script.replace(at, 7, shellQuote(t_.file("running")));
        writeFile(t_.file("bin/trazon"), script);
        fs::permissions(t_.file("bin/trazon"), fs::perms::owner_all, fs::perm_options::add);
        fs::create_directories(t_.file("plots"));
    }
    std::string file(const std::string& name) const { return t_.file(name); }
    // A plot of the given size.
    std::string plot(const std::string& name, std::size_t size = 3) const {
        writeFile(t_.file("plots/" + name), std::string(size, ';'));
        return t_.file("plots/" + name);
    }
    int batch(const std::string& args) const {
        return run("", "sh -c " + shellQuote(shellQuote(t_.file("bin/trazon-batch")) + " " + args +
                                             " >" + shellQuote(t_.file("out.txt")) + " 2>&1"));
    }
    // The most conversions seen running at once in the report's rows.
    static int mostRunning(const std::vector<std::vector<std::string>>& rows) {
        int most = 0;
        for (const auto& r : rows) {
            std::smatch m;
            if (std::regex_search(r[kMessages], m, std::regex("running (\\d+)")))
                most = std::max(most, std::stoi(m[1]));
        }
        return most;
    }

private:
    TempDir t_;
};

}  // namespace

TEST(BatchProgram, CorpusIntoANewCircuitThenEverySheetIsSkipped) {
    const std::vector<std::string> corpus = testsupport::corpusFiles();
    if (corpus.empty()) GTEST_SKIP() << "no plot corpus beside the repository";
    TempDir t;
    fs::create_directories(t.file("home/norvel/kv/log"));
    const std::string env = "HOME=" + shellQuote(t.file("home")) +
                            " QRXROOT=" + shellQuote(testsupport::bundledRoot()) +
                            " QLANG=english SOURCE_DATE_EPOCH=1796400716";
    const std::string command =
        shellQuote(TRAZON_BATCH_PROGRAM) + " -j 2 -o " + shellQuote(t.file("board.cir")) + " " +
        shellQuote(testsupport::corpusDir()) + " >" + shellQuote(t.file("out.txt")) + " 2>&1";
    ASSERT_EQ(run(env, command), 0) << readFile(t.file("out.txt"));

    std::vector<std::string> stems;
    for (const std::string& plot : corpus)
        stems.push_back(fs::path(plot).stem().string());
    std::sort(stems.begin(), stems.end());
    EXPECT_EQ(namesIn(t.file("board.cir"), ".sht"), stems);
    auto rows = csvRows(t.file("board.cir/log/batch.csv"));
    ASSERT_EQ(rows.size(), corpus.size());
    std::map<std::string, fs::file_time_type> saved;
    for (const auto& r : rows) {
        const std::string stem = fs::path(r[kOutput]).stem().string();
        EXPECT_EQ(r[kStatus] + " " + r[kExit] + " " + r[kMessages],
                  "converted 0 36752 The drawing was saved in " + r[kOutput] + ".");
        EXPECT_GT(std::atoi(r[kObjects].c_str()), 0) << r[kPlot];
        // Every run kept its own log, and nothing else of it.
        const std::string logs = t.file("board.cir/log/batch/" + stem);
        EXPECT_NE(readFile(logs + "/trazon.wrn").find("<Mess.36752>"), std::string::npos);
        EXPECT_EQ(namesIn(logs), std::vector<std::string>{"trazon.wrn"}) << logs;
        saved[r[kOutput]] = fs::last_write_time(r[kOutput]);
    }
    EXPECT_FALSE(fs::exists(t.file("board.cir.batch-log")));
    EXPECT_TRUE(fs::is_empty(t.file("home/norvel/kv/log")));  // the home's logs are left alone

    ASSERT_EQ(run(env, command), 0) << readFile(t.file("out.txt"));
    rows = csvRows(t.file("board.cir/log/batch.csv"));
    ASSERT_EQ(rows.size(), corpus.size());
    for (const auto& r : rows) {
        EXPECT_EQ(r[kStatus], "skipped") << r[kPlot];
        EXPECT_EQ(fs::last_write_time(r[kOutput]), saved[r[kOutput]]) << r[kOutput];
    }
    EXPECT_NE(readFile(t.file("out.txt")).find("skipped         35\n"), std::string::npos);
}

TEST(BatchProgram, RunsAreBoundedLoggedAndReported) {
    ScriptedBatch s;
    for (const char* name : {"a.plt", "b.plt", "c.hp", "d.plt", "bad.plt", "crash.plt"})
        s.plot(name);
    const std::string out = s.file("sym");
    EXPECT_EQ(s.batch("-j 2 -r pens.txt -p:scale 2 -o " + shellQuote(out) + " " +
                      shellQuote(s.file("plots"))),
              1);
    const auto rows = csvRows(out + "/log/batch.csv");
    ASSERT_EQ(rows.size(), 6u) << readFile(s.file("out.txt"));
    EXPECT_EQ(ScriptedBatch::mostRunning(rows), 2);
    for (const auto& r : rows) {
        const std::string name = fs::path(r[kPlot]).stem().string();
        const std::string expected = name == "bad"     ? "failed 3"
                                     : name == "crash" ? "failed 139"
                                                       : "converted 0";
        EXPECT_EQ(r[kStatus] + " " + r[kExit], expected) << name;
        EXPECT_NE(r[kMessages].find("args -m new -r pens.txt -p:scale 2 -o " + out + "/" + name +
                                    ".smb " + r[kPlot]),
                  std::string::npos)
            << r[kMessages];
        EXPECT_NE((r[kMessages] + ";").find("logdir " + out + "/log/batch/" + name + ";"),
                  std::string::npos)
            << r[kMessages];
    }
    const std::string report = readFile(s.file("out.txt"));
    EXPECT_NE(report.find("bad plot"), std::string::npos);
    EXPECT_NE(report.find("trazon was ended by signal 11"), std::string::npos);
    EXPECT_NE(readFile(out + "/log/batch/crash/trazon.out").find("running"), std::string::npos);
}

TEST(BatchProgram, ANewCircuitIsMadeByOneRunBeforeTheOthersStart) {
    ScriptedBatch s;
    s.plot("small.plt", 1);
    for (const char* name : {"p.plt", "q.plt", "r.plt"})
        s.plot(name, 100);
    const std::string circuit = s.file("board.cir");
    EXPECT_EQ(s.batch("-j 4 -o " + shellQuote(circuit) + " " + shellQuote(s.file("plots"))), 0);
    const auto rows = csvRows(circuit + "/log/batch.csv");
    ASSERT_EQ(rows.size(), 4u) << readFile(s.file("out.txt"));
    for (const auto& r : rows) {
        const std::string name = fs::path(r[kPlot]).stem().string();
        // The smallest plot makes the circuit, alone; the others start once it is there.
        const bool first = name == "small";
        if (first) {
            EXPECT_NE(r[kMessages].find("running 1;"), std::string::npos);
        }
        EXPECT_EQ(r[kMessages].find("folder existed") != std::string::npos, !first) << r[kMessages];
        const std::string logdir =
            first ? s.file("board.cir.batch-log/small") : circuit + "/log/batch/" + name;
        EXPECT_NE((r[kMessages] + ";").find("logdir " + logdir + ";"), std::string::npos)
            << r[kMessages];
        EXPECT_TRUE(fs::exists(circuit + "/log/batch/" + name + "/trazon.out")) << name;
    }
    EXPECT_GE(ScriptedBatch::mostRunning(rows), 2);
    EXPECT_FALSE(fs::exists(s.file("board.cir.batch-log")));

    // No run makes the circuit: the logs and the report stay beside where it would be.
    const std::string none = s.file("none.cir");
    EXPECT_EQ(s.batch("-j 4 -o " + shellQuote(none) + " " + shellQuote(s.plot("bad1.plt")) + " " +
                      shellQuote(s.plot("bad2.plt"))),
              1);
    EXPECT_FALSE(fs::exists(none));
    const auto failed = csvRows(none + ".batch-log/batch.csv");
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(ScriptedBatch::mostRunning(failed), 1);
    EXPECT_TRUE(fs::exists(none + ".batch-log/bad2/trazon.out"));
}

TEST(BatchProgram, AStopSignalLetsRunningConversionsEnd) {
    ScriptedBatch s;
    for (const char* name : {"slow1.plt", "slow2.plt", "slow3.plt"})
        s.plot(name);
    const std::string out = s.file("sym");
    const int code =
        run("", "sh -c " + shellQuote(shellQuote(s.file("bin/trazon-batch")) + " -j 1 -o " +
                                      shellQuote(out) + " " + shellQuote(s.file("plots")) +
                                      " >/dev/null 2>&1 & p=$!; sleep 0.5; kill -TERM $p; "
                                      "wait $p"));
    EXPECT_EQ(code, 128 + SIGTERM);
    std::vector<std::string> statuses;
    for (const auto& r : csvRows(out + "/log/batch.csv"))
        statuses.push_back(r[kStatus]);
    EXPECT_EQ(statuses, (std::vector<std::string>{"converted", "not run", "not run"}));
}

// Every plot of the public corpus, and random hostile byte mixes, are counted and dispatched to
// their end (the sanitizer build watches for undefined behaviour on the way); the labels of the
// labelled corpus plots become texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "HpglTestUtil.h"

namespace {

// Counts by reading statement after statement (the first read of a file that begins with a
// mnemonic is empty), then checks the fast count against it and dispatches every batch. Returns
// the number of figures.
size_t runToTheEnd(const std::string& file) {
    HpglInterpreter in(file, 40.0);
    EXPECT_EQ(in.open(), 1) << file;
    const long count = in.countStatements();
    long n = 0;
    HpglStatement st;
    while (in.readStatement(st) == 1 && (!st.empty() || n == 0))
        n = st.empty() ? 1 : n + 1;
    EXPECT_EQ(count, n - 1) << file;
    in.countStatements();  // back to the start
    bool ended = false;
    size_t figures = 0;
    // Every batch but the last reads at least one mnemonic: the end comes within size + 1 batches.
    const size_t size = testsupport::readFile(file).size();
    for (size_t i = 0; i <= size + 1 && !ended; ++i) {
        StatementBatch b;
        in.dispatchBatch(b);
        figures += b.figures.size();
        ended = b.hasCode(kHpglCodeEndOfInput);
    }
    EXPECT_TRUE(ended) << file;
    return figures;
}

}  // namespace

TEST(HpglCorpus, EveryPlotRunsToItsEnd) {
    const std::vector<std::string> files = testsupport::corpusFiles();
    ASSERT_FALSE(files.empty());
    // Plots whose labels must come out as texts.
    std::set<std::string> labelled = {"charsets.hp",
                                      "cp.hp",
                                      "di.hp",
                                      "dt.plt",
                                      "lo.hp",
                                      "subplots.plt",
                                      "win_1.hp",
                                      "feature-exercise.plt",
                                      "R+S-analyzer.hpgl",
                                      "HP8595E-FM.hpgl"};
    for (const std::string& file : files) {
        EXPECT_GT(runToTheEnd(file), 0u) << file;
        const std::string name = file.substr(file.rfind('/') + 1);
        if (labelled.erase(name) == 0) continue;
        const PlotRun run(testsupport::readFile(file));
        EXPECT_FALSE(run.texts.empty()) << file;
        if (name != "dt.plt") continue;
        for (const char* s : {"Term WILL NOT print.", "Term WILL print.#"})
            EXPECT_NE(std::find(run.strings.begin(), run.strings.end(), s), run.strings.end()) << s;
    }
    EXPECT_TRUE(labelled.empty());  // every one of them was found
}

TEST(HpglCorpus, HostileBytesRunToTheirEnd) {
    const char* pieces[] = {
        "PD",         "PU",  "PA",   "PR", "PE",       "LB",   "DT",    "SP",
        "PW",         "IP",  "IR",   "PS", "LT",       "LA",   "FT",    "SM",
        "IN",         "DF",  "PM",   "WU", "EP",       "=",    "1e308", "-1e-400",
        "9999999999", "0.5", ",",    ";",  "-",        "+",    "7",     ":",
        "<",          ">",   "\x1b", "E",  "\x1b%-1B", "\x03", "\xff",  "~~~~~~~~~~~~",
        "e",          "."};
    const uint32_t n = sizeof pieces / sizeof pieces[0];
    testsupport::TempDir dir;
    const std::string path = dir.file("hostile.hpgl");
    uint32_t seed = 1;
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += (seed >> 28) == 0 ? std::string(1, '\0') : pieces[(seed >> 8) % n];
        }
        testsupport::writeFile(path, text);
        runToTheEnd(path);
    }
}

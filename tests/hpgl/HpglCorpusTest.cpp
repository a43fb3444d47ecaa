// Every plot of the public corpus is read and dispatched to its end.
#include <gtest/gtest.h>

#include "hpgl/HpglInterpreter.h"
#include "support/TestSupport.h"

TEST(HpglCorpus, EveryPlotRunsToItsEnd) {
    const std::vector<std::string> files = testsupport::corpusFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        resetUnitFactor();
        setUnitFactor(40.0);
        HpglInterpreter in(file);
        ASSERT_EQ(in.open(), 1) << file;
        const long count = in.countStatements();
        EXPECT_GE(count, 1) << file;
        // Each batch holds at least one statement, so the end comes within count + 1 batches.
        bool ended = false;
        size_t figures = 0;
        for (long i = 0; i <= count + 1 && !ended; ++i) {
            StatementBatch b;
            in.dispatchBatch(b);
            figures += b.figures.size();
            for (const auto& f : b.figures)
                EXPECT_NE(f, nullptr) << file;
            ended = b.hasCode(60);
        }
        EXPECT_TRUE(ended) << file;
    }
    resetUnitFactor();
}

// Random mixes of command letters, numbers, signs, control bytes and high bytes: every one runs
// to its end (the sanitizer build watches for undefined behaviour on the way).
TEST(HpglCorpus, HostileBytesRunToTheirEnd) {
    const char* pieces[] = {
        "PD",  "PU", "PA",   "PR",       "PE",   "LB",    "DT",      "SP",
        "PW",  "IP", "IR",   "PS",       "LT",   "LA",    "FT",      "SM",
        "IN",  "DF", "PM",   "WU",       "EP",   "1e308", "-1e-400", "9999999999",
        "0.5", ",",  ";",    "-",        "+",    "=",     "7",       ":",
        "<",   ">",  "\x1b", "\x1b%-1B", "\x03", "\x00",  "\xff",    "~~~~~~~~~~~~",
        "E",   "e",  "."};
    const int n = static_cast<int>(sizeof pieces / sizeof pieces[0]);
    testsupport::TempDir dir;
    uint32_t seed = 1;
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const char* p = pieces[(seed >> 8) % n];
            text.append(p, p[0] == '\0' ? 1 : std::char_traits<char>::length(p));
        }
        const std::string path = dir.file("hostile.hpgl");
        testsupport::writeFile(path, text);
        resetUnitFactor();
        setUnitFactor(40.0);
        HpglInterpreter in(path);
        ASSERT_EQ(in.open(), 1);
        in.countStatements();
        bool ended = false;
        for (int i = 0; i < 400 && !ended; ++i) {
            StatementBatch b;
            in.dispatchBatch(b);
            ended = b.hasCode(60);
        }
        EXPECT_TRUE(ended) << round;
    }
    resetUnitFactor();
}

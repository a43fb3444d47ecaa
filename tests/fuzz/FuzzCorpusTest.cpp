// Every committed fuzz input, seeds and the inputs that once made trouble alike, run through its
// harness in the normal builds: a fault the fuzzers found stays fixed under the sanitizers
// without clang. A harness aborts on a broken rule, which fails its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "FuzzHarnesses.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpusOf(const std::string& harness) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry :
         fs::directory_iterator(testsupport::sourceDir() + "/fuzz/corpus/" + harness, ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// Test names and messages show the harness by its name.
void PrintTo(const FuzzHarness& harness, std::ostream* out) {
    *out << harness.name;
}

namespace {

class FuzzCorpusTest : public ::testing::TestWithParam<FuzzHarness> {};

}  // namespace

TEST_P(FuzzCorpusTest, EveryCommittedInputPasses) {
    const FuzzHarness& harness = GetParam();
    const std::vector<std::string> files = corpusOf(harness.name);
    // Seeds of every kind and the inputs that once failed: a corpus of a handful would mean
    // that it went missing.
    ASSERT_GE(files.size(), 5u) << harness.name;
    for (const std::string& file : files) {
        // Named before it runs: a broken rule aborts the whole program.
        std::printf("%s %s\n", harness.name, file.c_str());
        std::fflush(stdout);
        const std::string bytes = testsupport::readFile(file);
        EXPECT_EQ(harness.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzCorpusTest,
                         ::testing::ValuesIn(fuzzHarnesses().begin(), fuzzHarnesses().end()),
                         [](const ::testing::TestParamInfo<FuzzHarness>& info) {
                             return std::string(info.param.name);
                         });

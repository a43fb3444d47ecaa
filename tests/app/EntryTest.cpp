// The entry without arguments: the usage text in a box and on standard output.
#include "app/Entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "base/SysEnv.h"

namespace {

std::vector<std::pair<std::string, std::string>> gShown;

void recordBox(const char* text, const char* title) {
    gShown.emplace_back(text, title);
}

}  // namespace

TEST(Entry, UsageTextGoesToTheBoxThenToStandardOutput) {
    apptest::DriverEnvironment env;
    setUsageBox(recordBox);
    const std::vector<std::pair<std::string, std::string>> boxed = {{usageText(), "HPGL Reader"}};
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::nullopt, true}, {"", true}, {"1", false},  // scripts leave the box out
    };
    for (const auto& [noBox, shown] : cases) {
        testsupport::ScopedEnv box("TRAZON_NO_MESSAGE_BOX", noBox);
        resetSysEnv();
        gShown.clear();
        testing::internal::CaptureStdout();
        EXPECT_EQ(runCommandLine(" \t "), kExitUsage);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), usageText() + "\n");
        EXPECT_EQ(gShown, shown ? boxed : decltype(boxed){}) << noBox.value_or("(unset)");
    }
    setUsageBox(nullptr);
}

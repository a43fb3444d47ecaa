#include "base/UserInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;

TEST(UserInfo, SaveTimeFollowsSourceDateEpoch) {
    resetSysEnv();
    {
        ScopedEnv epoch("SOURCE_DATE_EPOCH", "1699000000");
        EXPECT_EQ(saveTime(), 1699000000);
        std::tm parts{};
        ASSERT_EQ(saveTimeParts(&parts), 1);
        EXPECT_EQ(timeText24(parts), "Fri Nov  3 08:26:40 2023");  // in UTC, day blank-padded
    }
    for (const char* notANumber : {"abc", "12x", "-", "99999999999999999999999"}) {
        ScopedEnv epoch("SOURCE_DATE_EPOCH", notANumber);
        const std::time_t before = std::time(nullptr);
        EXPECT_GE(saveTime(), before) << notANumber;
    }
}

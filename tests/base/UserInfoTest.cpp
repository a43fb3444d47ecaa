#include "base/UserInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;

TEST(UserInfo, SaveTimeFollowsSourceDateEpoch) {
    resetSysEnv();
    {
        ScopedEnv epoch("SOURCE_DATE_EPOCH", "1700000000");
        EXPECT_EQ(saveTime(), 1700000000);
        std::tm parts{};
        ASSERT_EQ(saveTimeParts(&parts), 1);
        EXPECT_EQ(timeText24(parts), "Tue Nov 14 22:13:20 2023");  // in UTC
    }
    for (const char* notANumber : {"", "abc", "12x", "-", "99999999999999999999999"}) {
        ScopedEnv epoch("SOURCE_DATE_EPOCH", notANumber);
        std::time_t before = std::time(nullptr);
        std::time_t t = saveTime();
        EXPECT_GE(t, before) << notANumber;
        EXPECT_LE(t, std::time(nullptr)) << notANumber;
    }
    std::tm day{};
    day.tm_wday = 3;
    day.tm_mon = 5;
    day.tm_mday = 3;
    day.tm_hour = 9;
    day.tm_min = 5;
    day.tm_sec = 7;
    day.tm_year = 93;
    EXPECT_EQ(timeText24(day), "Wed Jun  3 09:05:07 1993");
    EXPECT_EQ(timeText24(day).size(), 24u);
}

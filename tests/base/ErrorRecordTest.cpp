#include "base/ErrorRecord.h"

#include <gtest/gtest.h>

TEST(ErrorRecord, KeepsTheThreeNewestEntries) {
    ErrorRecord& r = ErrorRecord::instance();
    r.clear();
    EXPECT_EQ(r.belowLevel(4), 1);
    EXPECT_EQ(r.code(), 0);
    r.record(513, kSeverityError);
    r.record(515, kSeverityMinor);
    r.record(770, kSeverityMinor);
    r.record(772, kSeverityError);
    EXPECT_EQ(r.size(), 3);
    EXPECT_EQ(r.code(0), 772);
    EXPECT_EQ(r.code(1), 770);
    EXPECT_EQ(r.code(2), 515);
    EXPECT_EQ(r.code(7), 515);  // beyond the oldest gives the oldest
    EXPECT_EQ(r.belowLevel(4), 0);
    r.record(773, kSeverityMinor);
    EXPECT_EQ(r.belowLevel(4), 1);
    r.clear();
}

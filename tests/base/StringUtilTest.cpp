#include "base/StringUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/ErrorRecord.h"
#include "base/Language.h"
#include "base/SysEnv.h"
#include "support/TestSupport.h"

namespace {

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

}  // namespace

TEST(StringUtil, CompareNoCase) {
    EXPECT_EQ(compareNoCase("LANDATA", "landata"), 0);
    EXPECT_EQ(compareNoCase(nullptr, ""), 0);
    EXPECT_EQ(compareNoCase("abc", "ABD"), 'C' - 'D');
    EXPECT_GT(compareNoCase("abc", "ab"), 0);
    EXPECT_LT(compareNoCase("ab", "abc"), 0);
    EXPECT_GT(compareNoCase("\xE9", "a"), 0);  // bytes compare unsigned
}

TEST(StringUtil, NameOrdering) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"A9", "A10", -1}, {"A10", "A9", 1}, {"A1", "A01", -1}, {"A01", "A1", 1},
        {"A1", "A1", 0},   {"", "A", -1},    {nullptr, "", 0},  {"A", nullptr, 1},
        {"A", "B", -1},    {"A", "A0", -1},  {"A2", "B1", -1},  {"12", "9", 1},
        {"AB1", "A1", 1},  {"R", "R2", -1},  {"\xE9", "a", 1},  {"U2X", "U10X", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(compareNames(c.a, c.b)), c.expected)
            << (c.a ? c.a : "null") << " vs " << (c.b ? c.b : "null");
    }
}

TEST(StringUtil, VersionOrdering) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"1.9", "1.9", 0},    {"10", "9", 1},      {"2", "10", -1},        {"1.2", "1.10", 1},
        {"1.5", "1.45", 1},   {"1.4", "1.45", -1}, {"1.", "1", 1},         {"1.2", "1", 1},
        {"7.0", "7.0.1", -1}, {"7.10", "7.9", -1}, {"a", "b", -1},         {"v2", "v1", 1},
        {"", "", 0},          {nullptr, "1", -1},  {"1.2.3", "1.2.4", -1}, {"01", "1", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(compareVersions(c.a, c.b)), c.expected)
            << (c.a ? c.a : "null") << " vs " << c.b;
        EXPECT_EQ(sign(compareVersions(c.b, c.a)), -c.expected)
            << c.b << " vs " << (c.a ? c.a : "null");
    }
}

TEST(StringUtil, NumbersAsText) {
    const std::pair<double, const char*> doubles[] = {
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {2.5, "2.5"},
        {3.0, "3"},
        {-0.5, "-0.5"},
        {1e20, "1e+20"},
        {1.6, "1.6"},
        {123456789012.0, "1.23456789e+11"},
        {1.0 / 3, "0.3333333333"},
        {0.0, "0"},
        {-40.0, "-40"},
    };
    for (const auto& [v, text] : doubles)
        EXPECT_EQ(formatDouble(v), text);
    std::string out = "x=";
    appendDouble(out, 2.5);
    appendInt(out, -12);
    EXPECT_EQ(out, "x=2.5-12");
    EXPECT_EQ(formatInt(0), "0");
    EXPECT_EQ(formatInt(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(formatInt(32767), "32767");
}

TEST(StringUtil, ReadingNumbersRecordsFailure) {
    ErrorRecord& record = ErrorRecord::instance();
    record.clear();
    long n = 99;
    const char* end = nullptr;
    EXPECT_EQ(readLong("12abc", 10, &n, &end), 1);
    EXPECT_EQ(n, 12);
    EXPECT_STREQ(end, "abc");
    EXPECT_EQ(record.size(), 0);
    EXPECT_EQ(readLong("ff", 16, &n), 1);
    EXPECT_EQ(n, 255);
    EXPECT_EQ(readLong("  -7", 10, &n), 1);
    EXPECT_EQ(n, -7);

    for (const char* bad : {"abc", "", "-", " x"}) {
        record.clear();
        n = 99;
        EXPECT_EQ(readLong(bad, 10, &n), 0) << bad;
        EXPECT_EQ(n, 0);
        EXPECT_EQ(record.code(), 515);
        EXPECT_EQ(record.severity(), kSeverityMinor);
    }
    record.clear();
    EXPECT_EQ(readLong(nullptr, 10, &n), 0);
    EXPECT_EQ(record.code(), 515);

    double d = 1;
    EXPECT_EQ(readDouble("2.5mm", &d, &end), 1);
    EXPECT_DOUBLE_EQ(d, 2.5);
    EXPECT_STREQ(end, "mm");
    record.clear();
    EXPECT_EQ(readDouble(".", &d), 0);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(record.code(), 515);
    record.clear();
}

TEST(StringUtil, SearchesNeverStopInsideDoubleByteCharacters) {
    resetSysEnv();
    resetCharsetKind();
    {
        testsupport::ScopedEnv lang("QLANG", "japanese");
        ASSERT_EQ(charsetKind(), kCharsetShiftJis);
        // 0x83 0x5C is one Shift_JIS character whose second byte is a backslash.
        const std::string s =
            "a\x83\x5C"
            "b\\c";
        EXPECT_EQ(findByte(s, '\\'), 4);
        EXPECT_EQ(findByte(s, '\\', 2), 4);
        EXPECT_EQ(findByteBackward(s, '\\', 0), 4);
        EXPECT_EQ(findByteBackward(s, '\\', 3), -1);  // from the trail byte backwards
        EXPECT_EQ(findByte(s, 'c', 6), -1);
        EXPECT_EQ(findByteBackward(s, 'a', 5), 0);
        EXPECT_EQ(findByteBackward(s, 'a', 6), -1);
    }
    resetSysEnv();
    resetCharsetKind();
    {
        testsupport::ScopedEnv lang("QLANG", std::nullopt);
        ASSERT_EQ(charsetKind(), kCharsetSingleByte);
        const std::string s =
            "a\x83\x5C"
            "b\\c";
        EXPECT_EQ(findByte(s, '\\'), 2);
        EXPECT_EQ(findByteBackward(s, '\\', 3), 2);
    }
    resetSysEnv();
    resetCharsetKind();
}

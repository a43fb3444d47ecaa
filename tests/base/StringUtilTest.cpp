#include "base/StringUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>

#include "base/ErrorRecord.h"
#include "base/Language.h"
#include "base/SysEnv.h"
#include "support/TestSupport.h"

namespace {

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

struct OrderCase {
    int (*compare)(const char*, const char*);
    const char* a;
    const char* b;
    int expected;
};

}  // namespace

TEST(StringUtil, CaseInsensitiveNameAndVersionOrders) {
    EXPECT_EQ(compareNoCase("LANDATA", "landata"), 0);
    EXPECT_EQ(compareNoCase(nullptr, ""), 0);
    EXPECT_EQ(compareNoCase("abc", "ABD"), 'C' - 'D');
    EXPECT_LT(compareNoCase("ab", "abc"), 0);
    EXPECT_GT(compareNoCase("\xE9", "a"), 0);  // bytes compare unsigned

    const OrderCase cases[] = {
        {compareNames, "A9", "A10", -1},       {compareNames, "A1", "A01", -1},
        {compareNames, nullptr, "", 0},        {compareNames, "", "A", -1},
        {compareNames, "A", "A0", -1},         {compareNames, "12", "9", 1},
        {compareNames, "AB1", "A1", 1},        {compareNames, "\xE9", "a", 1},
        {compareNames, "U2X", "U10X", 1},      {compareVersions, "1.9", "1.9", 0},
        {compareVersions, "10", "9", 1},       {compareVersions, "1.2", "1.10", 1},
        {compareVersions, "1.4", "1.45", -1},  {compareVersions, "1.", "1", 1},
        {compareVersions, "7.0", "7.0.1", -1}, {compareVersions, "v2", "v1", 1},
        {compareVersions, nullptr, "1", -1},   {compareVersions, "01", "1", -1},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(sign(c.compare(c.a, c.b)), c.expected) << (c.a ? c.a : "null") << " " << c.b;
        EXPECT_EQ(sign(c.compare(c.b, c.a)), -c.expected) << (c.a ? c.a : "null") << " " << c.b;
    }
}

TEST(StringUtil, NumbersAsTextUseTheCConventionsInEveryLocale) {
    auto check = [] {
        std::string all;
        for (double v : {0.1, 0.1 + 0.2, 3.0, -0.5, 1e20, 1.0 / 3, 123456789012.0, 0.0}) {
            appendDouble(all, v);
            all += ' ';
        }
        EXPECT_EQ(all, "0.1 0.3 3 -0.5 1e+20 0.3333333333 1.23456789e+11 0 ");
        double d = 0;
        const char* end = nullptr;
        EXPECT_EQ(readDouble("2.5,7", &d, &end), 1);
        EXPECT_EQ(d, 2.5);
        EXPECT_STREQ(end, ",7");
    };
    check();
    // A locale whose decimal separator is a comma, when the system has one.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"})
        if (!switched && std::setlocale(LC_NUMERIC, name)) switched = true;
    if (switched) check();
    std::setlocale(LC_NUMERIC, saved.c_str());

    EXPECT_EQ(formatInt(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(formatInt(0), "0");
}

TEST(StringUtil, ReadingNumbersRecordsFailure) {
    ErrorRecord& record = ErrorRecord::instance();
    long n = 99;
    const char* end = nullptr;
    record.clear();
    EXPECT_EQ(readLong("12abc", 10, &n, &end), 1);
    EXPECT_EQ(n, 12);
    EXPECT_STREQ(end, "abc");
    EXPECT_EQ(record.size(), 0);
    for (const char* bad : {"abc", "-", " x", static_cast<const char*>(nullptr)}) {
        record.clear();
        n = 99;
        EXPECT_EQ(readLong(bad, 10, &n), 0);
        EXPECT_EQ(n, 0);
        EXPECT_EQ(record.code(), 515);
        EXPECT_EQ(record.severity(), kSeverityMinor);
    }
    double d = 1;
    EXPECT_EQ(readDouble(".", &d), 0);
    EXPECT_EQ(d, 0.0);
    record.clear();
}

TEST(StringUtil, SearchesNeverStopInsideDoubleByteCharacters) {
    // In Shift_JIS 0x83 0x5C is one character whose second byte is a backslash, and 0x82 0x82 one
    // whose second byte equals its first: a matching second byte is skipped with its first.
    const std::string s = "a\x83\\b\\c", twice = "\x82\x82";
    const struct {
        bool shiftJis, backward;
        const std::string& text;
        char c;
        long from, found;
    } cases[] = {
        {true, false, s, '\\', 0, 4},      {true, false, s, '\\', 2, 4},
        {true, true, s, '\\', 0, 4},       {true, true, s, '\\', 3, -1},
        {true, true, s, 'a', 5, 0},        {true, true, s, 'a', 6, -1},
        {true, false, s, 'c', 6, -1},      {true, true, twice, '\x82', 0, -1},
        {true, true, twice, '\x82', 1, 0}, {true, false, twice, '\x82', 0, 0},
        {false, false, s, '\\', 0, 2},     {false, true, s, '\\', 3, 2},
    };
    for (const auto& c : cases) {
        resetSysEnv();
        resetCharsetKind();
        testsupport::ScopedEnv lang(
            "QLANG", c.shiftJis ? std::optional<std::string>("japanese") : std::nullopt);
        ASSERT_EQ(charsetKind(), c.shiftJis ? kCharsetShiftJis : kCharsetSingleByte);
        EXPECT_EQ(
            c.backward ? findByteBackward(c.text, c.c, c.from) : findByte(c.text, c.c, c.from),
            c.found)
            << c.shiftJis << c.backward << c.c << c.from;
    }
    resetSysEnv();
    resetCharsetKind();
}

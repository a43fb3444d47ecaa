#include "base/QString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/ErrorRecord.h"
#include "base/StringPool.h"

TEST(QString, NullAndEmptyCompareEqual) {
    QString constructed;
    ASSERT_NE(constructed.data(), nullptr);
    EXPECT_EQ(constructed.length(), 0u);
    EXPECT_GE(constructed.capacity(), 1u);
    QString moved("text");
    QString target(std::move(moved));
    EXPECT_EQ(moved.data(), nullptr);  // NOLINT: a moved-from string holds a null buffer
    EXPECT_TRUE(moved == constructed);
    EXPECT_TRUE(moved == "");
    EXPECT_TRUE(moved == static_cast<const char*>(nullptr));
    EXPECT_STREQ(moved.c_str(), "");
    EXPECT_FALSE(moved < constructed);
    EXPECT_FALSE(constructed < moved);
    EXPECT_TRUE(moved < target);
    EXPECT_TRUE(QString("ab") < QString("abc"));
    EXPECT_TRUE(QString("a") < QString("\xE9"));  // unsigned bytes
    // A null buffer takes text again.
    moved += "again";
    EXPECT_EQ(moved, "again");
    QString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull, "");
}

TEST(QString, BufferReuseAndGrowth) {
    QString s("0123456789");
    std::uint32_t capacity = s.capacity();
    EXPECT_GE(capacity, 11u);
    const char* buffer = s.data();
    s = "abc";  // shorter than the capacity: same buffer
    EXPECT_EQ(s.data(), buffer);
    EXPECT_EQ(s.capacity(), capacity);
    EXPECT_EQ(s, "abc");

    std::string longer(capacity, 'x');  // does not fit with its NUL
    s = longer;
    EXPECT_EQ(s.length(), capacity);
    EXPECT_GE(s.capacity(), capacity + 1);
    EXPECT_EQ(s.capacity(), poolBlockSize(capacity + 1));

    QString grow;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        grow += static_cast<char>('a' + i % 26);
        expected += static_cast<char>('a' + i % 26);
        ASSERT_GT(grow.capacity(), grow.length());
    }
    EXPECT_EQ(grow.view(), expected);
    // Appending a string to itself copies before the old buffer goes.
    QString self("abcdefgh");
    self.append(self);
    self.append(self);
    EXPECT_EQ(self, "abcdefghabcdefghabcdefghabcdefgh");
}

TEST(QString, NumbersAndSearch) {
    QString s("x=");
    s.appendDouble(0.1 + 0.2);
    s += ',';
    s.appendInt(-32768);
    s += ',';
    s.appendDouble(3.0);
    EXPECT_EQ(s, "x=0.3,-32768,3");
    EXPECT_EQ(s.find(',', 6), 12);
    EXPECT_EQ(s.findBackward(',', 2), 5);
    EXPECT_EQ(s.find(',', 100), -1);
    ErrorRecord::instance().clear();
    long n = 0;
    EXPECT_EQ(QString("mm").toLong(&n), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), 515);
    ErrorRecord::instance().clear();
}

TEST(QString, ArrayGrowthRule) {
    QStringArray empty;
    ASSERT_NE(empty.at(0), nullptr);
    EXPECT_EQ(empty.capacity(), 1);
    EXPECT_EQ(empty.count(), 1);

    QStringArray strings;
    strings[299] = "last";
    EXPECT_EQ(strings.capacity(), 300);  // 299 + min(max(0, 1), 256)
    strings[300] = "next";
    EXPECT_EQ(strings.capacity(), 556);  // 300 + min(300, 256)
    EXPECT_EQ(strings.count(), 301);
    EXPECT_EQ(*strings.get(299), "last");
    EXPECT_EQ(*strings.get(0), "");
    EXPECT_EQ(strings.get(301), nullptr);

    QStringArray negative;
    negative[-5] = "first";
    EXPECT_EQ(negative.count(), 1);
    EXPECT_EQ(*negative.get(0), "first");

    QInt32Array ints;
    ints[4] = 7;
    EXPECT_EQ(ints.capacity(), 5);
    ints[5] = 8;
    EXPECT_EQ(ints.capacity(), 10);  // 5 + 5
    EXPECT_EQ(ints[0], 0);
    EXPECT_EQ(ints.count(), 6);

    QInt64Array longs;
    for (int i = 0; i < 3; ++i)
        longs.append(i);
    EXPECT_EQ(longs.capacity(), 4);  // 0 + 1, then 1 + 1, then 2 + 2
    EXPECT_EQ(longs.count(), 3);

    // Copies are deep.
    QStringArray copy = strings;
    copy[299] = "changed";
    EXPECT_EQ(*strings.get(299), "last");
    EXPECT_EQ(copy.capacity(), 556);

    // An index that cannot grow the array records 513 and hands back a spare element.
    ErrorRecord::instance().clear();
    QInt32Array huge;
    EXPECT_EQ(huge.at(INT_MAX), nullptr);
    EXPECT_EQ(ErrorRecord::instance().code(), 513);
    huge[INT_MAX] = 5;
    EXPECT_EQ(huge.count(), 0);
    ErrorRecord::instance().clear();
}

#include "base/QString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/ErrorRecord.h"
#include "base/StringPool.h"

TEST(QString, NullBufferCountsAsEmptyAndBytesOrderUnsigned) {
    QString moved("text");
    QString target(std::move(moved));
    ASSERT_EQ(moved.data(), nullptr);  // NOLINT: a moved-from string holds a null buffer
    EXPECT_TRUE(moved == QString());
    EXPECT_FALSE(moved < QString());
    EXPECT_TRUE(moved < target);
    EXPECT_TRUE(QString("ab") < QString("abc"));
    EXPECT_TRUE(QString("a") < QString("\xE9"));
    moved += "again";  // a null buffer takes text again
    EXPECT_EQ(moved, "again");
}

TEST(QString, BufferReuseAndGrowth) {
    QString s("0123456789");
    const std::uint32_t capacity = s.capacity();
    const char* buffer = s.data();
    s = "abc";  // shorter than the capacity: same buffer
    EXPECT_EQ(s.data(), buffer);
    EXPECT_EQ(s.capacity(), capacity);
    s = std::string(capacity, 'x');  // does not fit with its NUL
    EXPECT_EQ(s.length(), capacity);
    EXPECT_EQ(s.capacity(), poolBlockSize(capacity + 1));

    // Byte by byte through every size class and into whole pages.
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

TEST(QString, ArrayGrowthRule) {
    QStringArray strings;
    ASSERT_NE(strings.at(0), nullptr);
    EXPECT_EQ(strings.capacity(), 1);
    strings[299] = "last";
    EXPECT_EQ(strings.capacity(), 300);  // 299 + min(max(1, 1), 256)
    strings[300] = "next";
    EXPECT_EQ(strings.capacity(), 556);  // 300 + min(300, 256)
    EXPECT_EQ(strings.count(), 301);
    EXPECT_EQ(*strings.get(299), "last");
    EXPECT_EQ(*strings.get(0), "");
    EXPECT_EQ(strings.get(301), nullptr);
    QStringArray copy = strings;  // deep
    copy[299] = "changed";
    EXPECT_EQ(*strings.get(299), "last");

    QInt32Array ints;
    ints[-5] = 3;  // a negative index counts as 0
    ints[5] = 8;
    EXPECT_EQ(ints.capacity(), 6);  // 5 + 1
    EXPECT_EQ(ints[0], 3);
    EXPECT_EQ(ints[1], 0);

    // An index that cannot grow the array records 513 and hands back a spare element.
    ErrorRecord::instance().clear();
    QInt64Array huge;
    EXPECT_EQ(huge.at(INT_MAX), nullptr);
    EXPECT_EQ(ErrorRecord::instance().code(), 513);
    huge[INT_MAX] = 5;
    EXPECT_EQ(huge.count(), 0);
    ErrorRecord::instance().clear();
}

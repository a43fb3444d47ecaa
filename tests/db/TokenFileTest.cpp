#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "db/TokenFile.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

TEST(TokenFileTest, WritesNumbersInTheCForms) {
    TempDir dir;
    std::string path = dir.file("out.txt");
    TokenFile file;
    ASSERT_EQ(file.open(path, TokenFile::kModeWrite), 1);
    file.writeUnsigned(0).space().writeUnsigned(4294967295u).space();
    file.writeSigned(-1).space().writeSigned(INT32_MIN).space().writeLong(2147483647).endLine();
    file.writeDouble(1.5707963267948966).space().writeDouble(0.0).space();
    file.writeDouble(-0.0000004).space().writeDouble(-2.5).space().writeDouble(1e20).endLine();
    file.writeString(static_cast<const char*>(nullptr)).writeString("a b").writeChar('!').endLine();
    EXPECT_FALSE(file.failed());
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readFile(path),
              "0 4294967295 -1 -2147483648 2147483647\n"
              "1.570796 0.000000 -0.000000 -2.500000 100000000000000000000.000000\n"
              "a b!\n");
    EXPECT_TRUE(file.failed());  // nothing open
}

TEST(TokenFileTest, ReadsTokensNumbersAndLinesLikeScanf) {
    TempDir dir;
    std::string path = dir.file("in.txt");
    ASSERT_TRUE(writeFile(path,
                          "  tok1\t\ttok2\r\n"
                          "12 +7 -3 65537 -1 1.25e1 .5\n"
                          "line one\r\n"
                          "line two\n"
                          "12abc\n"
                          "4294967296 2147483648 -2147483649 1e999 nan\n"
                          "last"));
    TokenFile file;
    ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
    std::string t1, t2, lines, rest, last;
    std::uint32_t u = 0, u16 = 0, twelve = 0;
    std::int32_t i1 = 0, i2 = 0, s16 = 0, i = 0;
    double d1 = 0.0, d2 = 0.0, d = 0.0;
    ASSERT_TRUE(file.readToken(t1) && file.readToken(t2) && file.readUnsigned(u) &&
                file.readSigned(i1) && file.readSigned(i2) && file.readUnsigned16(u16) &&
                file.readSigned16(s16) && file.readDouble(d1) && file.readDouble(d2) &&
                file.skipRestOfLine() && file.readLines(2, lines));
    // 16-bit reads keep the low bits; the carriage return of a line goes.
    EXPECT_EQ(std::tuple(t1, t2, u, i1, i2, u16, s16, d1, d2, lines),
              std::tuple("tok1", "tok2", 12u, 7, -3, 1u, 0xFFFF, 12.5, 0.5, "line one\nline two"));
    // A number stops where its digits stop.
    ASSERT_TRUE(file.readUnsigned(twelve) && file.readToken(rest));
    EXPECT_EQ(std::tuple(twelve, rest), std::tuple(12u, "abc"));
    // Out of range, infinite and "nan" are no numbers; each failed read leaves its word.
    EXPECT_FALSE(file.readUnsigned(u));
    EXPECT_FALSE(file.readSigned(i));
    EXPECT_FALSE(file.readSigned(i));
    EXPECT_FALSE(file.readDouble(d));
    EXPECT_FALSE(file.readDouble(d));
    ASSERT_TRUE(file.readToken(rest) && file.readLines(0, lines) && file.readToken(last));
    EXPECT_EQ(std::tuple(rest, lines, last), std::tuple("nan", "", "last"));
    EXPECT_FALSE(file.readToken(rest));
    EXPECT_FALSE(file.readLine(rest));
    EXPECT_TRUE(file.atEnd());
    EXPECT_FALSE(file.failed());  // the end of the data alone is no failure
}

TEST(TokenFileTest, NumbersAndBlankRunsAcrossReadBufferRefills) {
    // Blank runs and numbers are taken a buffer run at a time: every number is placed so that
    // it straddles the 64 KB read buffer's end at each of its byte positions, and blank runs
    // longer than the buffer lead up to it.
    TempDir dir;
    std::string path = dir.file("edges.txt");
    const std::string numbers = "-2147483648 +4294967295 00012 2147483648 7\n";
    for (std::size_t lead : {std::size_t{65536 - 12}, std::size_t{65536 + 70000 - 12}}) {
        for (std::size_t shift = 0; shift <= numbers.size(); ++shift) {
            ASSERT_TRUE(
                writeFile(path, std::string(lead + shift, lead > 65536 ? '\n' : ' ') + numbers));
            TokenFile file;
            ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
            std::int32_t lowest = 0, twelve = 0, seven = 0, rest = 0;
            std::uint32_t highest = 0;
            const std::string where = std::to_string(lead) + "+" + std::to_string(shift);
            ASSERT_TRUE(file.readSigned(lowest) && file.readUnsigned(highest) &&
                        file.readSigned(twelve))
                << where;
            EXPECT_FALSE(file.readSigned(rest)) << where;  // one past the range
            ASSERT_TRUE(file.readSigned(seven)) << where;
            EXPECT_EQ(std::tuple(lowest, highest, twelve, seven),
                      std::tuple(INT32_MIN, 4294967295u, 12, 7))
                << where;
            EXPECT_TRUE(file.atEnd()) << where;
        }
    }
}

TEST(TokenFileTest, TokenViewsAndCoordinateRunsAcrossReadBufferRefills) {
    // A vertex line and a line with a coordinate out of range, placed so that the 64 KB read
    // buffer ends at each of their byte positions in turn.
    TempDir dir;
    std::string path = dir.file("views.txt");
    const std::string lines = "$Point -5 +6 2147483647\n$Arc 1 -2147483648 2147483648 0\nend";
    for (std::size_t shift = 0; shift <= lines.size(); ++shift) {
        ASSERT_TRUE(writeFile(path, std::string(65536 - lines.size() + shift, ' ') + lines));
        TokenFile file;
        ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
        const std::string where = "shift " + std::to_string(shift);
        std::string_view word;
        std::int32_t v[3] = {0, 0, 0};
        ASSERT_TRUE(file.readTokenView(word)) << where;
        EXPECT_EQ(word, "$Point") << where;
        ASSERT_TRUE(file.readLongs(v, 3)) << where;
        EXPECT_EQ(std::tuple(v[0], v[1], v[2]), std::tuple(-5, 6, INT32_MAX)) << where;
        ASSERT_TRUE(file.readTokenView(word)) << where;
        EXPECT_EQ(word, "$Arc") << where;
        EXPECT_FALSE(file.readLongs(v, 3)) << where;  // the third is one past the range
        EXPECT_EQ(std::tuple(v[0], v[1]), std::tuple(1, INT32_MIN)) << where;
        std::int32_t zero = -1;
        ASSERT_TRUE(file.readLongs(&zero, 1) && file.readTokenView(word)) << where;
        EXPECT_EQ(std::tuple(zero, word), std::tuple(0, std::string_view("end"))) << where;
        EXPECT_FALSE(file.readTokenView(word)) << where;
    }
}

TEST(TokenFileTest, DecimalsReadTheSameInsideTheBufferAndAcrossItsEnd) {
    // Each text is read once where it lies inside the read buffer and once ending exactly at
    // the buffer's end (where the reader must refill to see that it ends): the same result, the
    // same value and the same word after it.
    const std::string longMantissa(399, '7');
    const std::string texts[] = {"1.5",
                                 "-0.000004",
                                 "+2.5e3",
                                 "1E-5",
                                 ".5",
                                 "5.",
                                 "1.2.3",
                                 "1e",
                                 "1e+",
                                 "+-5",
                                 "-",
                                 "nan",
                                 "1e999",
                                 "-" + longMantissa,
                                 "-" + longMantissa + "7",
                                 "1e" + std::string(31, '0'),
                                 "1e" + std::string(32, '0'),
                                 "-" + std::string(60, '0') + "1e-1"};
    TempDir dir;
    std::string path = dir.file("decimals.txt");
    for (const std::string& text : texts) {
        std::tuple<bool, double, std::string> seen[2];
        for (int atEnd = 0; atEnd < 2; ++atEnd) {
            // A first word fills the buffer.
            const std::string pad(atEnd != 0 ? 65536 - 1 - text.size() : 1, ' ');
            ASSERT_TRUE(writeFile(path, "x" + pad + text + " next"));
            TokenFile file;
            std::string first;
            ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
            ASSERT_TRUE(file.readToken(first));
            double v = -1.0;
            const bool ok = file.readDouble(v);
            std::string rest;
            file.readToken(rest);
            seen[atEnd] = std::tuple(ok, v, rest);
        }
        EXPECT_EQ(seen[0], seen[1]) << text;
    }
}

TEST(TokenFileTest, ManyIntegersOfEveryLengthAgreeWithTheirDecimalValue) {
    // Integers of 0 to 22 digits (leading zeros included), signed or not, with runs of mixed
    // blanks, over several read buffers so that every kind meets a buffer end somewhere. A
    // number outside the read's range fails and leaves the read position after its digits.
    TempDir dir;
    std::string path = dir.file("numbers.txt");
    std::mt19937_64 rng(16);
    struct Item {
        bool isSigned;
        bool ok;
        std::int64_t value;
    };
    std::vector<Item> items;
    std::string text;
    const char blanks[] = {' ', '\t', '\n', '\r', '\v', '\f'};
    while (text.size() < 300000) {
        const bool isSigned = rng() % 2 == 0;
        const int zeros = rng() % 4 == 0 ? static_cast<int>(rng() % 12) : 0;
        const int length = static_cast<int>(rng() % 14);
        // A lone sign stands for a number without digits.
        int sign = static_cast<int>(rng() % (isSigned ? 3 : 2));  // none, "+", "-"
        if (sign == 0 && zeros + length == 0) sign = 1;
        if (sign != 0) text += sign == 1 ? '+' : '-';
        const bool negative = sign == 2;
        std::string digits(static_cast<std::size_t>(zeros), '0');
        for (int i = 0; i < length; ++i)
            digits += static_cast<char>('0' + (i == 0 ? 1 + rng() % 9 : rng() % 10));
        text += digits;
        // Magnitudes of more than ten significant digits are out of every range.
        const bool small = length <= 10;
        const std::int64_t magnitude = small && length > 0 ? std::stoll(digits) : 0;
        const std::int64_t value = negative ? -magnitude : magnitude;
        const bool inRange = small && (isSigned ? value >= INT32_MIN && value <= INT32_MAX
                                                : magnitude <= UINT32_MAX);
        items.push_back({isSigned, !digits.empty() && inRange, value});
        const int gap = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < gap; ++i)
            text += blanks[rng() % (rng() % 8 == 0 ? 6 : 1)];
    }
    ASSERT_TRUE(writeFile(path, text));
    TokenFile file;
    ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        std::int64_t got = 0;
        bool ok = false;
        if (item.isSigned) {
            std::int32_t v = -7;
            ok = file.readSigned(v);
            got = v;
        } else {
            std::uint32_t v = 7;
            ok = file.readUnsigned(v);
            got = v;
        }
        ASSERT_EQ(ok, item.ok) << "item " << i;
        if (ok) {
            ASSERT_EQ(got, item.value) << "item " << i;
        }
    }
    EXPECT_TRUE(file.atEnd());
}

TEST(TokenFileTest, LongLinesTokensAndSeeking) {
    TempDir dir;
    std::string path = dir.file("long.txt");
    // Lines far beyond any piece size and beyond the read buffer are read whole.
    std::string longLine = "ab " + std::string(200000, 'x');
    std::string hugeToken(TokenFile::kMaxToken + 1, 't');
    ASSERT_TRUE(writeFile(path, "first\n" + longLine + "\r\n" + hugeToken + "\nend\n"));
    TokenFile file;
    ASSERT_EQ(file.open(path, TokenFile::kModeRead), 1);
    std::string first, line, s, ab, end;
    ASSERT_TRUE(file.readLine(first, 3) && file.skipRestOfLine());
    long mark = file.tell();
    ASSERT_TRUE(file.readLine(line));
    EXPECT_EQ(std::tuple(first, mark, line.size()), std::tuple("fir", 6, longLine.size()));
    EXPECT_EQ(line, longLine);
    EXPECT_FALSE(file.readToken(s));  // longer than any token may be
    ASSERT_TRUE(file.seek(mark, 0) == 1 && file.readToken(ab));
    ASSERT_TRUE(file.seek(-4, 2) == 1 && file.readToken(end));
    EXPECT_EQ(std::tuple(ab, end), std::tuple("ab", "end"));
}

TEST(TokenFileTest, OpenModesAndWriteFailures) {
    TempDir dir;
    TokenFile file;
    EXPECT_EQ(file.open(dir.file("x"), 6), 0);
    EXPECT_TRUE(file.failed());
    EXPECT_EQ(file.open(dir.file("missing"), TokenFile::kModeRead), 0);
    ASSERT_EQ(file.open(dir.file("a"), TokenFile::kModeWrite), 1);
    file.writeString("one").endLine().writeString("two").endLine();
    ASSERT_EQ(file.close(), 1);
    // Reading and then writing through one update stream.
    ASSERT_EQ(file.open(dir.file("a"), TokenFile::kModeReadUpdate), 1);
    std::string s;
    ASSERT_TRUE(file.readToken(s));
    ASSERT_EQ(file.seek(0, 1), 1);
    file.writeString("!");
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readFile(dir.file("a")), "one!two\n");
    // A device that takes nothing shows the failure on close.
    if (testsupport::fileExists("/dev/full")) {
        ASSERT_EQ(file.open("/dev/full", TokenFile::kModeWrite), 1);
        file.writeString(std::string(100000, 'z'));
        EXPECT_EQ(file.close(), 0);
    }
}

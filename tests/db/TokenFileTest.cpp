#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/LexRecordIo.h"
#include "db/TokenFile.h"
#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsPolyRecord.h"
#include "geom/QsPolyline.h"
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
    std::string s;
    std::uint32_t u = 0;
    std::int32_t i = 0;
    double d = 0.0;
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "tok1");
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "tok2");
    ASSERT_TRUE(file.readUnsigned(u));
    EXPECT_EQ(u, 12u);
    ASSERT_TRUE(file.readSigned(i));
    EXPECT_EQ(i, 7);
    ASSERT_TRUE(file.readSigned(i));
    EXPECT_EQ(i, -3);
    ASSERT_TRUE(file.readUnsigned16(u));
    EXPECT_EQ(u, 1u);  // 65537 keeps its low 16 bits
    ASSERT_TRUE(file.readSigned16(i));
    EXPECT_EQ(i, 0xFFFF);
    ASSERT_TRUE(file.readDouble(d));
    EXPECT_EQ(d, 12.5);
    ASSERT_TRUE(file.readDouble(d));
    EXPECT_EQ(d, 0.5);
    ASSERT_TRUE(file.skipRestOfLine());
    ASSERT_TRUE(file.readLines(2, s));
    EXPECT_EQ(s, "line one\nline two");  // the carriage return goes
    ASSERT_TRUE(file.readUnsigned(u));
    EXPECT_EQ(u, 12u);
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "abc");  // a number stops where its digits stop
    EXPECT_FALSE(file.readUnsigned(u));
    EXPECT_FALSE(file.readSigned(i));
    EXPECT_FALSE(file.readSigned(i));
    EXPECT_FALSE(file.readDouble(d));
    EXPECT_FALSE(file.readDouble(d));  // "nan" is no number
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "nan");
    ASSERT_TRUE(file.readLines(0, s));
    EXPECT_EQ(s, "");
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "last");
    EXPECT_FALSE(file.readToken(s));
    EXPECT_FALSE(file.readLine(s));
    EXPECT_TRUE(file.atEnd());
    EXPECT_FALSE(file.failed());  // the end of the data alone is no failure
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
    std::string s;
    ASSERT_TRUE(file.readLine(s, 3));
    EXPECT_EQ(s, "fir");
    ASSERT_TRUE(file.skipRestOfLine());
    long mark = file.tell();
    EXPECT_EQ(mark, 6);
    ASSERT_TRUE(file.readLine(s));
    EXPECT_EQ(s, longLine);
    EXPECT_FALSE(file.readToken(s));  // longer than any token may be
    ASSERT_EQ(file.seek(mark, 0), 1);
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "ab");
    ASSERT_EQ(file.seek(-4, 2), 1);
    ASSERT_TRUE(file.readToken(s));
    EXPECT_EQ(s, "end");
}

TEST(TokenFileTest, OpenModesAndWriteFailures) {
    TempDir dir;
    TokenFile file;
    EXPECT_EQ(file.open(dir.file("x"), 6), 0);
    EXPECT_TRUE(file.failed());
    EXPECT_EQ(file.open(dir.file("missing"), TokenFile::kModeRead), 0);
    ASSERT_EQ(file.open(dir.file("a"), TokenFile::kModeWrite), 1);
    file.writeString("one").endLine();
    ASSERT_EQ(file.close(), 1);
    ASSERT_EQ(file.open(dir.file("a"), TokenFile::kModeAppend), 1);
    file.writeString("two").endLine();
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readFile(dir.file("a")), "one\ntwo\n");
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

TEST(TokenFileTest, VertexBlocksWriteOneLinePerVertexOrArc) {
    // Plain vertex with a width (the width is no rounding), marked vertex, quarter arcs both
    // ways, a full circle, an arc flag beyond the orientation bits, a record of another kind.
    QsPolyline line;
    line.appendPoint(QsPoint(-5, 7), 40);
    line.appendRecord(QsPolyRecord(kRecMarkedVertex, 1600, 0, 50));
    line.appendArc(QsArc(QsPoint(1000, 0), QsPoint(0, 0), QsPoint(0, 1000), 0));
    line.appendArc(QsArc(QsPoint(0, 1000), QsPoint(0, 0), QsPoint(1000, 0), QsArc::kClockwise));
    line.appendArc(QsArc(QsPoint(10, -10), 500, 0.0, kQsTwoPi, QsArc::kClockwise));
    line.appendArc(QsArc(QsPoint(-3, 0), QsPoint(-2, 0), QsPoint(-1, 0), 0x0005));
    line.appendRecord(QsPolyRecord(kRecTangentArc, 1, 2, 3));
    const char* const expected =
        "{\n15\n$Point -5 7 0\n$Point 1600 0 50\n"
        "$Arc 0 0 1000 0.000000 1.570796 0\n$Arc 0 0 1000 1.570796 0.000000 1\n"
        "$Arc 10 -10 500 0.000000 0.000000 2\n$Arc -2 0 1 3.141593 0.000000 1\n$Dummy\n}\n";

    TempDir dir;
    TokenFile file;
    ASSERT_EQ(file.open(dir.file("v"), TokenFile::kModeWriteUpdate), 1);
    ASSERT_EQ(writeVertexBlock(file, line.records(), line.usedCount()), 1);
    ASSERT_EQ(file.seek(0, 0), 1);
    std::vector<QsPolyRecord> records;
    ASSERT_TRUE(readVertexBlock(file, records));
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readFile(dir.file("v")), expected);

    // What was read is written again as the same text.
    ASSERT_EQ(records.size(), 15u);
    EXPECT_EQ(records[0], QsPolyRecord(kRecVertex, -5, 7, 0));
    EXPECT_TRUE(records[1].isMarkedVertex());
    EXPECT_EQ(records[1].data[2], 50);
    EXPECT_EQ(records[14].kind(), kRecKindFurther);
    ASSERT_EQ(file.open(dir.file("w"), TokenFile::kModeWrite), 1);
    writeVertexBlock(file, records.data(), static_cast<int>(records.size()));
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readFile(dir.file("w")), expected);
}

#include "db/ResourceSettings.h"

#include "base/PlatformFile.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <filesystem>

#include <cstdint>
#include <string>
#include <tuple>

#include "base/PathUtil.h"
#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Database settings read from text, without the environment's influence.
struct Db {
    DatabaseSettings s{false};
    int ok;
    explicit Db(std::string_view text) : ok(s.read(text)) {}
};
struct Env {
    EnvironmentSettings s{nullptr, false};
    int ok;
    explicit Env(std::string_view text) : ok(s.read(text)) {}
};

std::string colours(int n) {
    std::string t = "colorTable 5 {\n";
    for (int i = 0; i < n; ++i)
        t += std::to_string(i) + " 1 2 3 c" + std::to_string(i) + "\n";
    return t + "}\n";
}

TEST(ResourceSettingsTest, TablesNeedTheirColumnCount) {
    // One column too few or too many makes the whole file invalid, in either kind of file.
    for (int n : {1, 2, 3})
        EXPECT_EQ(Db("lineWidth " + std::to_string(n) + " { }").ok, n == 2 ? 1 : 0) << n;
    for (int n : {7, 8, 9})
        EXPECT_EQ(Env("schSheetSizeTable " + std::to_string(n) + " { }").ok, n == 8 ? 1 : 0) << n;
    // Column counts that are no number, tables written as scalars or without a brace, rows that
    // are incomplete and tables left open are invalid too.
    for (const char* text : {"lineWidth x { }", "lineWidth : 3", "lineWidth 2 0 1",
                             "lineWidth 2 { 0 1 1 }", "lineWidth 2 { 0 1", "lineWidth 2 { 0 : }"})
        EXPECT_EQ(Db(text).ok, 0) << text;
}

TEST(ResourceSettingsTest, RowsAreIndexedAndChecked) {
    Db d("lineWidth 2 { 5 500  2 200  2 250 }");
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(d.s.lineWidthCount(), 6);
    EXPECT_FALSE(d.s.lineWidthDefined(0));
    // A later row replaces an earlier one; rows not given and indexes outside read as 0.
    EXPECT_EQ(std::tuple(d.s.lineWidth(0), d.s.lineWidth(2), d.s.lineWidth(5), d.s.lineWidth(6),
                         d.s.lineWidth(-1)),
              std::tuple(0, 250, 500, 0, 0));
    // Lengths in database units are rounded half away from zero.
    EXPECT_EQ(Db("lineWidth 2 { 0 2.5 }").s.lineWidth(0), 3);
    // A second statement replaces the table.
    EXPECT_EQ(Db("lineWidth 2 { 3 1 } lineWidth 2 { 0 1 }").s.lineWidthCount(), 1);

    // Indexes that are negative, beyond any table or no number; widths that are negative,
    // beyond 32 bits once rounded or no decimal number; colour parts beyond a byte or not whole;
    // unknown fill kinds and units.
    for (const char* row : {"-1 5", "4096 5", "99999999999999999999 5", "x 5", "0 -5", "0 1e300",
                            "0 nan", "0 inf", "0 0x10"})
        EXPECT_EQ(Db(std::string("lineWidth 2 { ") + row + " }").ok, 0) << row;
    for (const char* text : {"colorTable 5 { 0 256 0 0 x }", "colorTable 5 { 0 1.5 0 0 x }",
                             "fillStyleTable 4 { 0 3 0 0 }", "precisionTable 4 { 0 mm 0 1 }"})
        EXPECT_EQ(Db(text).ok, 0) << text;
    EXPECT_EQ(Db("lineWidth 2 { 4095 5 }").s.lineWidthCount(), 4096);

    // Grid pitches must be positive and at least one database unit, grid values 16-bit, sheet
    // corners within 32 bits in database units.
    for (const char* row : {"0 1 1 0 1", "0 1 1 0.0001 1", "0 65536 1 1 1", "0 -1 1 1 1"})
        EXPECT_EQ(Env(std::string("gridTable 5 { ") + row + " }").ok, 0) << row;
    EXPECT_EQ(Env("symSheetSizeTable 6 { 0 A4 0 0 3e6 210 }").ok, 0);
    Env e(
        "gridTable 5 { 0 2 3 0.1 2.54 } schSheetSizeTable 8 { 0 \"Big One\" -10 -5.5 "
        "100 50 65535 Roll }");
    ASSERT_EQ(e.ok, 1);
    GridRow g = e.s.gridRow(0);
    EXPECT_EQ(std::tuple(g.valueA, g.valueB, g.pitchX, g.pitchY), std::tuple(2, 3, 100, 2540));
    SheetSizeEntry s = e.s.schSheetSize(0);
    EXPECT_EQ(std::tuple(s.name, s.x1, s.y1, s.x2, s.y2, s.value, s.secondName),
              std::tuple("Big One", -10000, -5500, 100000, 50000, 65535, "Roll"));
    EXPECT_EQ(e.s.schSheetSize(1).name, "");
    EXPECT_EQ(e.s.symSheetSizeCount(), 0);
}

TEST(ResourceSettingsTest, DefaultsAreClampedToTheirTablesOnceTheFileIsRead) {
    // 99 is beyond 16 colours; the default given before the table is checked all the same.
    Db d("defaultLineColor : 99\ndefaultTextColor : 15\n" + colours(16) +
         "defaultFillStyle : 2\nfillStyleTable 4 { 0 0 0 0 1 1 0 0 }\n"
         "defaultTextFont : 1\ntextTable 5 { 0 1 2 3 4 1 5 6 7 8 }");
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(
        std::tuple(d.s.defaultLineColor(), d.s.defaultTextColor(), d.s.defaultFillStyle(),
                   d.s.defaultTextFont(), d.s.defaultSymbFrameColor(), d.s.defaultCompColor()),
        std::tuple(0, 15, 0, 1, 13, -1));
    // Without tables every given index falls back to 0; a default the file does not give
    // keeps its built-in value.
    Db empty("defaultLineWidth : 3");
    EXPECT_EQ(std::tuple(empty.s.defaultLineWidth(), empty.s.defaultSymbFrameColor()),
              std::tuple(0, 13));
    EXPECT_EQ(Db("defaultSymbFrameColor : 13").s.defaultSymbFrameColor(), 0);
    // Built-in values stand until a file is read.
    EXPECT_EQ(DatabaseSettings(false).defaultSymbFrameColor(), 13);

    const char* invalid[] = {
        "defaultLineColor : -1", "defaultLineColor : x", "defaultLineColor : 2.0",
        "defaultLineColor :",    "defaultLineColor 1",   "defaultLineColor : 4294967296",
        "gridColor : -3"};
    for (const char* text : invalid) {
        EXPECT_EQ(std::string(text).rfind("grid", 0) == 0 ? Env(text).ok : Db(text).ok, 0) << text;
    }
}

TEST(ResourceSettingsTest, ScalarForms) {
    Env e(
        "zoneDispFlag : on\nzoneOrigin : downright\nzoneOffsetMode : CENTERCROSS\n"
        "textJustify : upperCenter\nzoneStartTextX : \"12\"\nzoneStartTextY : ''\n"
        "zonePitchX : -2\nzonePitchY : 2.0004\nzoneOffsetX : -1.0005");
    ASSERT_EQ(e.ok, 1);
    EXPECT_EQ(std::tuple(e.s.zoneDispFlag(), e.s.zoneOrigin(), e.s.zoneOffsetMode(),
                         e.s.textJustify(), e.s.zoneStartTextX(), e.s.zoneStartTextY()),
              std::tuple(1, kZoneDownRight, kZoneOffsetCenterCross, 9, "1", "'"));
    // Lengths round half away from zero; a pitch that is not positive becomes 1 mm.
    EXPECT_EQ(std::tuple(e.s.zonePitchX(), e.s.zonePitchY(), e.s.zoneOffsetX()),
              std::tuple(1000, 2000, -1001));

    // Unknown flag and enumeration words leave the setting as it was.
    Env kept("zoneDispFlag : On zoneDispFlag : yes zoneOrigin : UpRight zoneOrigin : sideways");
    ASSERT_EQ(kept.ok, 1);
    EXPECT_EQ(std::tuple(kept.s.zoneDispFlag(), kept.s.zoneOrigin()), std::tuple(1, kZoneUpRight));
    EXPECT_EQ(Env("zoneDispFlag : OFF").s.zoneDispFlag(), 0);
    EXPECT_EQ(Env("zonePitchX : 1e99").ok, 0);
    EXPECT_EQ(Env("zonePitchX : 12abc").ok, 0);

    // Parenthesised lists join their words; single characters keep the first one.
    Db d("contentsViewer : ( x  y z )\nbusStartChar : \"<>\"");
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(*d.s.valueOf("contentsViewer"), "x y z");
    EXPECT_EQ(d.s.busStartChar(), "<");
    EXPECT_EQ(Db("vmarkStr : ( a : b )").ok, 0);
    EXPECT_EQ(Db("nodeSize : ( 1 )").ok, 0);

    // A string of 1024 bytes or more is invalid.
    EXPECT_EQ(Db("vmarkStr : " + std::string(1023, 'x')).ok, 1);
    EXPECT_EQ(Db("vmarkStr : " + std::string(1024, 'x')).ok, 0);
    // Numbers are read from the first 36 bytes of their word.
    EXPECT_EQ(Db("nodeSize : 1.50000000000000000000000000000000000garbage").s.nodeSize(), 1.5);
}

TEST(ResourceSettingsTest, UnknownStatementsArePassedOver) {
    Db d("someKey : 3\nsomeTable 3 { 0 defaultLineColor 5 }\nother ( lineWidth )\n" + colours(4) +
         "defaultLineColor : 2\nUnknownFlag : maybe");
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(d.s.defaultLineColor(), 2);
    EXPECT_EQ(d.s.lineWidthCount(), 0);
    EXPECT_EQ(d.s.tableOf("someTable"), nullptr);
    // Kept preferences may be scalars or tables.
    Env e("cScale : 2 symbolPath 3 { 0 a b 1 c d }");
    ASSERT_EQ(e.ok, 1);
    EXPECT_EQ(*e.s.valueOf("cScale"), "2");
    ASSERT_NE(e.s.tableOf("symbolPath"), nullptr);
    EXPECT_EQ(e.s.tableOf("symbolPath")->text(1, 1), "d");
    EXPECT_EQ(e.s.tableOf("gridTable")->size(), 0);
    // Keys are case-sensitive.
    EXPECT_EQ(Db("DefaultLineColor : -1").ok, 1);
    // A failure names its line.
    Db bad("a : b\n\ndefaultNetColor : -2\n");
    EXPECT_EQ(bad.ok, 0);
    EXPECT_EQ(bad.s.failedLine(), 3);
}

TEST(ResourceSettingsTest, SaveStampPatterns) {
    {
        ScopedEnv date("QRX_DATE_FORMAT", std::nullopt);
        ScopedEnv time("QRX_TIME_FORMAT", std::nullopt);
        DatabaseSettings s;
        EXPECT_EQ(std::tuple(s.datePattern(), s.timePattern()), std::tuple("YY/MM/DD", "HH:MM:SS"));
    }
    ScopedEnv date("QRX_DATE_FORMAT", "DD.MM.YYYY");
    ScopedEnv time("QRX_TIME_FORMAT", "");
    DatabaseSettings fromEnv;
    EXPECT_EQ(std::tuple(fromEnv.datePattern(), fromEnv.timePattern()),
              std::tuple("DD.MM.YYYY", ""));
    // A key of the file wins over the variable; an empty key changes nothing.
    ASSERT_EQ(fromEnv.read("timeFormat : \"HH.MM\"  dateFormat : \"\""), 1);
    EXPECT_EQ(std::tuple(fromEnv.datePattern(), fromEnv.timePattern()),
              std::tuple("DD.MM.YYYY", "HH.MM"));
    ASSERT_EQ(fromEnv.read("dateFormat : YYYY-MM-DD"), 1);
    EXPECT_EQ(fromEnv.datePattern(), "YYYY-MM-DD");
    // Mode 0 takes the built-in patterns only.
    TempDir dir;
    auto created = openDatabaseSettings(dir.file("new.rsc"), kSettingsCreate);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->datePattern(), "YY/MM/DD");
}

TEST(ResourceSettingsTest, OpenModes) {
    TempDir dir;
    std::string good = dir.file("good.rsc");
    std::string bad = dir.file("bad.rsc");
    ASSERT_TRUE(writeFile(good, colours(2) + "defaultLineColor : 1\n"));
    ASSERT_TRUE(writeFile(bad, "defaultLineColor : -1\ngridColor : -1\n"));

#if !defined(_WIN32)
    std::filesystem::create_symlink("/dev/zero", dir.file("device.rsc"));
#endif
    // What a failed open tells its caller: the file, and the system's reason when reading failed.
    struct Case {
        std::string path;
        int mode, code, sysError;
    };
    const Case cases[] = {
        {good, kSettingsCreate, kSettingsRefused, 0},
        {dir.file("missing.rsc"), kSettingsRead, kSettingsRefused, 0},
        {dir.path(), kSettingsRead, kSettingsRefused, 0},
        {good, 3, kSettingsRefused, 0},
        {bad, kSettingsRead, kSettingsInvalid, 0},
#if !defined(_WIN32)
        {dir.file("device.rsc"), kSettingsRead, kSettingsUnreadable, platform::kErrorNotAFile},
#endif
        {good, kSettingsRead, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Status status = Status::failure(-1, "stale");
        const bool opened = openDatabaseSettings(c.path, c.mode, &status) != nullptr;
        EXPECT_EQ(opened, c.code == 0);
        EXPECT_EQ(std::tuple(status.code, status.path, status.sysError),
                  std::tuple(c.code, c.code == 0 ? "" : c.path, c.sysError));
        Status envStatus;
        EXPECT_EQ(openEnvironmentSettings(c.path, c.mode, nullptr, &envStatus) != nullptr, opened);
        EXPECT_EQ(envStatus.code, c.code);
    }
    auto read = openDatabaseSettings(good, kSettingsRead);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->defaultLineColor(), 1);
    EXPECT_EQ(read->path(), good);
    ASSERT_NE(openDatabaseSettings(good, kSettingsUpdate), nullptr);
#if defined(_WIN32)
    const bool readOnlyHolds = true;
#else
    const bool readOnlyHolds = geteuid() != 0;  // root writes any file
#endif
    if (readOnlyHolds) {
        ASSERT_EQ(setFileMode(good, 0444), 1);
        EXPECT_EQ(openDatabaseSettings(good, kSettingsUpdate), nullptr);
        EXPECT_NE(openDatabaseSettings(good, kSettingsRead), nullptr);
        setFileMode(good, 0666);  // so that the directory can go
    }
    auto env = openEnvironmentSettings(dir.file("none.rsc"), kSettingsCreate, read.get());
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(env->gridRowCount(), 0);
    EXPECT_EQ(env->zonePitchX(), 1000);
}

}  // namespace

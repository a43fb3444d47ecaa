#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/ErrorRecord.h"
#include "convert/DbHandle.h"
#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/LexZone.h"
#include "geom/QsPolyline.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::TempDir;

namespace {

class DbHandleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dbInitialise(), 1);
        ErrorRecord::instance().clear();
    }
    void TearDown() override { dbCloseAll(); }

    TempDir dir_;
};

}  // namespace

TEST_F(DbHandleTest, KindsAndConversions) {
    DbHandle db = dbOpen(dir_.file("k.sht"), nullptr, LexDatabase::kModeCreate);
    DbHandle sheet = dbCreateSheet(db, "Sheet", LexSheet::kKindSchematic);
    ASSERT_TRUE(dbValid(db) && dbValid(sheet));
    EXPECT_EQ(std::tuple(db.kind, sheet.kind), std::tuple(kDbHandleDatabase, kDbHandleSheet));

    // A sheet handle taken as a grid or object handle is invalid; as a sheet it stays.
    EXPECT_EQ(sheet.as(DbHandleType::Grid), DbHandle());
    EXPECT_EQ(sheet.as(DbHandleType::Object), DbHandle());
    EXPECT_EQ(sheet.as(DbHandleType::Sheet), sheet);
    for (std::uint32_t kind = 0; kind <= 22; ++kind) {
        bool object = kind == 4 || (kind >= 6 && kind <= 18);
        EXPECT_EQ(dbHandleAccepts(DbHandleType::Object, kind), object) << kind;
    }
    DbHandle noCheck = sheet;
    noCheck.check = 0;
    EXPECT_EQ(noCheck.as(DbHandleType::Sheet), DbHandle());
    EXPECT_FALSE(dbValid(DbHandle()));

    // A sheet's objects are handed over with the kind of their list.
    QsPoint pts[2] = {{0, 0}, {100, 50}};
    std::unique_ptr<LexSheetObject> line(new LexPolyline(QsPolyline(pts, 2)));
    std::unique_ptr<LexSheetObject> text(new LexText(QsPoint(7, 8), "", 0));
    sheet.sheet()->addObject(line);
    sheet.sheet()->addObject(text);
    std::vector<std::uint32_t> kinds;
    dbWalkSheet(sheet, [&kinds](const DbHandle& h) {
        kinds.push_back(h.kind);
        EXPECT_TRUE(dbValid(h.as(DbHandleType::Object)));
        return false;
    });
    EXPECT_EQ(kinds, (std::vector<std::uint32_t>{kDbHandleText, kDbHandlePolyline}));
    DbHandle first;
    dbWalkSheet(sheet, [&first](const DbHandle& h) {
        first = h;
        return true;
    });
    EXPECT_EQ(dbBoxOf(first), QsBox(7, 8, 7, 8));  // a text without string: its position
    EXPECT_EQ(dbBoxOf(sheet), QsBox(0, 0, 29700, 21000));
    EXPECT_EQ(dbBoxOf(db), QsBox());
}

TEST_F(DbHandleTest, ChildrenAreCreatedOnceAndFound) {
    DbHandle db = dbOpen(dir_.file("c.smb"), nullptr, LexDatabase::kModeCreate);
    DbHandle sheet = dbCreateSheet(db, "Sheet", LexSheet::kKindSymbol);
    ASSERT_TRUE(dbValid(sheet));
    ErrorRecord::instance().clear();
    EXPECT_EQ(dbCreateSheet(db, "Sheet", LexSheet::kKindSymbol), DbHandle());
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);
    EXPECT_EQ(dbFindChild(db, "Sheet", kDbHandleSheet), sheet);  // the first one stays
    EXPECT_EQ(dbCreateZone(DbHandle(), "Zone", DbZoneValues()), DbHandle());
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);

    DbZoneValues zv;
    zv.mode = 2;
    zv.pitchX = 5000;
    zv.pitchY = 4000;
    zv.label1 = "1";
    zv.label2 = "AB?";
    DbHandle zone = dbCreateZone(db, "Zone", zv);
    ASSERT_NE(zone.zone(), nullptr);
    const LexZone& z = *zone.zone();
    EXPECT_EQ(std::tuple(z.mode(), z.pitchX(), z.pitchY(), z.label1(), z.label2(), z.kind()),
              std::tuple(2, 5000, 4000, "1", "AB", 1));
    DbGridValues gv;
    gv.pitchX = gv.pitchY = 100;
    gv.value1 = 1;
    gv.value2 = 2;
    gv.color = 7;
    DbHandle grid = dbCreateGrid(db, "Grid", gv);
    ASSERT_NE(grid.grid(), nullptr);
    EXPECT_EQ(grid.grid()->flags(), 3u | (7u << 16) | (1u << 24));

    EXPECT_EQ(dbFindChild(db, "Zone", kDbHandleZone), zone);
    EXPECT_EQ(dbFindChild(db, "Zone", kDbHandleSheet), DbHandle());  // not of that kind
    EXPECT_EQ(dbFindChild(db, "Frame", kDbHandleSheet), DbHandle());
}

TEST_F(DbHandleTest, SaveCloseAndReadOnly) {
    std::string path = dir_.file("s.smb");
    DbHandle db = dbOpen(path, nullptr, LexDatabase::kModeCreate);
    dbCreateSheet(db, "Sheet", LexSheet::kKindSymbol);
    ASSERT_EQ(dbSave(db), 1);
    ASSERT_EQ(dbClose(db, LexDatabase::kCloseSave), 1);
    EXPECT_EQ(db, DbHandle());
    EXPECT_NE(readFile(path).find("saveCount\n1\n2\n"), std::string::npos);
    EXPECT_EQ(dbOpenCount(), 0);

    // A refused close leaves the handle valid and the database registered.
    DbHandle ro = dbOpen(path, nullptr, LexDatabase::kModeReadOnly);
    ASSERT_TRUE(dbValid(dbFindChild(ro, "Sheet", kDbHandleSheet)));
    EXPECT_EQ(dbSave(ro), 0);
    EXPECT_EQ(dbClose(ro, LexDatabase::kCloseSave), 0);
    EXPECT_TRUE(dbValid(ro));
    EXPECT_EQ(dbOpenCount(), 1);
    EXPECT_EQ(dbClose(ro, LexDatabase::kCloseSaveUnlessReadOnly), 1);
    EXPECT_EQ(dbOpenCount(), 0);

    EXPECT_EQ(dbOpen(dir_.file("missing.smb"), nullptr, LexDatabase::kModeUpdate), DbHandle());
    ErrorRecord::instance().clear();
    DbHandle none;
    EXPECT_EQ(dbClose(none, LexDatabase::kCloseDiscard), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);
    EXPECT_EQ(dbSave(none), 0);
}

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "db/LexPackedObjects.h"
#include "db/LexPolygon.h"
#include "db/LexPolyline.h"
#include "db/LexRecordIo.h"
#include "db/LexText.h"
#include "db/TokenFile.h"
#include "geom/QsPolygon.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::TempDir;

namespace {

// What write gives, through a file.
template <class Write>
std::string written(const TempDir& dir, Write&& write) {
    const std::string path = dir.file("out.txt");
    TokenFile file;
    EXPECT_EQ(file.open(path, TokenFile::kModeWrite), 1);
    file.setNextIdentifier(500);
    write(file);
    EXPECT_EQ(file.close(), 1);
    return readFile(path);
}

std::string objectText(const TempDir& dir, LexSheetObject& object) {
    return written(dir, [&object](TokenFile& f) {
        f.writeString(object.className()).endLine();
        object.write(f);
    });
}

// A polyline that exercises every record form: vertices whose widths change, a marked vertex,
// an arc whose end width differs, a record kept unchanged, and steps across the whole range.
std::unique_ptr<LexPolyline> everyRecordForm(std::int32_t far = INT_MAX) {
    QsPolyline g;
    g.appendPoint(QsPoint(-far - 1, far), 7);
    g.appendPoint(QsPoint(far, -far - 1), 7);
    g.appendPoint(QsPoint(0, 0), 0);
    g.appendRecord(QsPolyRecord(kRecMarkedVertex, 1600, 0, 50));
    g.appendArc(QsArc(QsPoint(1600, 0), QsPoint(2600, 1000), QsPoint(1600, 2000)), 3, 9);
    g.appendRecord(QsPolyRecord(kRecFurther, -1, 2, -3));
    g.appendPoint(QsPoint(-5, -5), 9);
    auto line = std::make_unique<LexPolyline>(g);
    line->setColor(-1);
    line->setLineWidth(200);
    line->setFileId(77);
    return line;
}

// The same with arcs as read: one that its records still make, and one moved away from.
std::unique_ptr<LexPolyline> withArcsAsRead(std::int32_t far = INT_MAX) {
    auto line = everyRecordForm(far);
    const QsPolyRecord* r = line->geometry()->records();
    LexBlockArcs arcs(2);
    arcs[0].index = 4;
    arcs[0].values = {1600, 1000, 1000, -1.5707963, 0.0000001, 0, lexArcOfRecords(r, 4)};
    arcs[1].index = 1;  // no arc starts there any more
    arcs[1].values = {5, 6, 7, 0.25, 0.5, 1, QsArc(QsPoint(1, 2), QsPoint(3, 4), QsPoint(5, 1))};
    line->setArcsAsRead(arcs);
    return line;
}

// A stroke of plain vertices (widths changing, one marked vertex, steps short and far), as
// nearly every converted polyline is; n decides whether it is written in one piece.
std::unique_ptr<LexPolyline> plainStroke(int n) {
    QsPolyline g;
    for (int i = 0; i < n; ++i) {
        if (i == 2) {
            g.appendRecord(QsPolyRecord(kRecMarkedVertex, -7, 8, 300));
        } else {
            const std::int32_t far = i % 5 == 1 ? INT_MAX - i : 40 * i;
            g.appendPoint(QsPoint(far, -i * 977), i / 3 * 1000);
        }
    }
    auto line = std::make_unique<LexPolyline>(g);
    line->setLineStyle(2);
    line->setFileId(4000000000u);
    return line;
}

std::unique_ptr<LexPolygon> polygonWithHoles() {
    auto outline = std::make_unique<QsPolygon>(QsBox(0, 0, 100, 100));
    const QsPoint hole1[] = {{10, 10}, {20, 10}, {10, 20}};
    const QsPoint hole2[] = {{50, 50}, {60, 50}, {60, 60}, {50, 60}};
    outline->holes().emplace_back(hole1, 3);
    outline->holes().emplace_back(hole2, 4);
    auto polygon = std::make_unique<LexPolygon>();
    polygon->setGeometry(std::move(outline));
    polygon->setFilled(false);
    polygon->setFillStyle(-1);
    polygon->setLineStyle(3);
    polygon->setColor(17);
    LexBlockArcs none;
    polygon->setArcsAsRead(none, {none, none});
    return polygon;
}

std::unique_ptr<LexText> turnedText() {
    auto text = std::make_unique<LexText>(QsPoint(-1000, 2000), "R1\nR2\n", -1, 4, 9, 1, 0.75);
    text->scaleBy(QsPoint(-1000, 2000), 2.5);
    text->setVisible(false);
    return text;
}

std::vector<QsPolyRecord> recordsOf(const QsRecordFigure* g) {
    return std::vector<QsPolyRecord>(g->records(), g->records() + g->usedCount());
}

}  // namespace

TEST(LexPackedObjectsTest, EntriesUnpackAndWriteAsTheObjectsPacked) {
    TempDir dir;
    std::vector<std::unique_ptr<LexSheetObject>> objects;
    objects.push_back(everyRecordForm());
    objects.push_back(withArcsAsRead());
    objects.push_back(std::make_unique<LexPolyline>());  // no geometry: an empty block
    for (int n : {1, 3, 80, 81})
        objects.push_back(plainStroke(n));
    objects.push_back(polygonWithHoles());
    objects.push_back(turnedText());
    objects.push_back(std::make_unique<LexText>());
    for (const auto& object : objects) {
        SCOPED_TRACE(objectText(dir, *object));
        LexPackedObjects packed;
        const int type = object->typeCode();
        // Each entry is packed after another one, so that it does not start its chunk.
        ASSERT_EQ(packed.add(*objects.front()), 0);
        const long index = packed.add(*object);
        ASSERT_EQ(index, type == kLexTypePolyline ? 1 : 0);
        std::unique_ptr<LexSheetObject> back = packed.unpack(type, index, nullptr);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->attributes(), object->attributes());
        EXPECT_EQ(back->fileId(), object->fileId());
        EXPECT_EQ(back->box(), object->box());
        // Every record word, the unwritten widths too.
        if (const LexPolyline* line = object->asPolyline(); line && line->geometry()) {
            EXPECT_EQ(recordsOf(back->asPolyline()->geometry()), recordsOf(line->geometry()));
        }
        if (const LexPolygon* polygon = object->asPolygon()) {
            const QsPolygon& g = *back->asPolygon()->geometry();
            EXPECT_EQ(recordsOf(&g), recordsOf(polygon->geometry()));
            ASSERT_EQ(g.holes().size(), 2u);
            EXPECT_EQ(recordsOf(&g.holes()[1]), recordsOf(&polygon->geometry()->holes()[1]));
        }
        const std::string expected = objectText(dir, *object);
        EXPECT_EQ(objectText(dir, *back), expected);

        // The store writes the entry as the object writes itself; an identifier given at the
        // first write is kept for the next.
        LexPackedObjects alone;
        ASSERT_EQ(alone.add(*object), 0);
        const std::string first = written(dir, [&](TokenFile& f) { alone.write(type, f); });
        EXPECT_EQ(first, expected);
        EXPECT_EQ(written(dir,
                          [&](TokenFile& f) {
                              f.setNextIdentifier(900);
                              alone.write(type, f);
                          }),
                  first);
    }
}

TEST(LexPackedObjectsTest, PlainStrokesWithoutIdentifierTakeOneFromTheFile) {
    TempDir dir;
    LexPackedObjects packed;
    for (int n : {2, 90}) {
        auto line = plainStroke(n);
        line->setFileId(0);
        ASSERT_GE(packed.add(*line), 0);
    }
    const auto write = [&](std::uint32_t next) {
        return written(dir, [&](TokenFile& f) {
            f.setNextIdentifier(next);
            packed.write(kLexTypePolyline, f);
        });
    };
    const std::string first = write(900);
    EXPECT_NE(first.find("$id 900\n"), std::string::npos);
    EXPECT_NE(first.find("$id 901\n"), std::string::npos);
    EXPECT_EQ(write(5), first);
}

TEST(LexPackedObjectsTest, ArcsAsReadSurviveAMoveAndAMoveBack) {
    TempDir dir;
    LexPackedObjects packed;
    auto line = withArcsAsRead(100000);
    ASSERT_EQ(packed.add(*line), 0);
    const std::string before =
        written(dir, [&](TokenFile& f) { packed.write(kLexTypePolyline, f); });
    EXPECT_NE(before.find("$Arc 1600 1000 1000 -1.570796 0.000000 0\n"), std::string::npos);
    ASSERT_TRUE(packed.move(QsPoint(10, 0), nullptr));
    const std::string moved =
        written(dir, [&](TokenFile& f) { packed.write(kLexTypePolyline, f); });
    EXPECT_EQ(moved.find("$Arc 1600 1000 1000 -1.570796"), std::string::npos);
    // A move that would leave the range moves nothing.
    EXPECT_FALSE(packed.move(QsPoint(INT_MAX, 0), nullptr));
    ASSERT_TRUE(packed.move(QsPoint(-10, 0), nullptr));
    EXPECT_EQ(written(dir, [&](TokenFile& f) { packed.write(kLexTypePolyline, f); }), before);
}

TEST(LexPackedObjectsTest, RemovedEntriesAreLeftOutAndTheNewestGivesItsPlaceBack) {
    TempDir dir;
    LexPackedObjects packed;
    const QsPoint pts[] = {{0, 0}, {10, 0}};
    for (std::uint32_t id : {1u, 2u, 3u}) {
        LexPolyline line{QsPolyline(pts, 2)};
        line.setFileId(id);
        ASSERT_GE(packed.add(line), 0);
    }
    ASSERT_GE(packed.add(*turnedText()), 0);
    EXPECT_TRUE(packed.remove(kLexTypePolyline, 1));
    EXPECT_FALSE(packed.remove(kLexTypePolyline, 1));
    EXPECT_FALSE(packed.remove(kLexTypeText, 1));
    EXPECT_EQ(packed.unpack(kLexTypePolyline, 1, nullptr), nullptr);
    std::vector<std::uint32_t> ids;
    packed.forEach(kLexTypePolyline, nullptr, [&ids](LexSheetObject& o) {
        ids.push_back(o.fileId());
        return false;
    });
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(packed.count(kLexTypePolyline) * 10 + packed.size(), 23u);
    const std::string text = written(dir, [&](TokenFile& f) { packed.write(kLexTypePolyline, f); });
    EXPECT_EQ(text.find("$id 2\n"), std::string::npos);

    // The newest entry of a kind goes away whole: the next one added takes its index.
    EXPECT_TRUE(packed.remove(kLexTypeText, 0));
    EXPECT_EQ(packed.entryCount(kLexTypeText), 0u);
    EXPECT_EQ(packed.add(*turnedText()), 0);
    // The removed entry before it goes with it.
    EXPECT_TRUE(packed.remove(kLexTypePolyline, 2));
    EXPECT_EQ(packed.entryCount(kLexTypePolyline), 1u);

    // Entries taken out in another order than they came never give back bytes that a live
    // entry packed after them still uses.
    LexPackedObjects order;
    ASSERT_EQ(order.add(LexPolyline{QsPolyline(pts, 2)}), 0);
    for (long i = 0; i < 3; ++i)
        ASSERT_EQ(order.add(*turnedText()), i);
    EXPECT_TRUE(order.remove(kLexTypeText, 1));
    EXPECT_TRUE(order.remove(kLexTypeText, 2));
    EXPECT_TRUE(order.remove(kLexTypePolyline, 0));
    ASSERT_EQ(order.add(*everyRecordForm()), 0);
    EXPECT_EQ(written(dir, [&](TokenFile& f) { order.write(kLexTypeText, f); }),
              objectText(dir, *turnedText()));
}

TEST(LexPackedObjectsTest, APolylinePackedFromItsRecordsIsTheObjectPacked) {
    TempDir dir;
    for (const auto& [colour, style, width] :
         {std::tuple{-1, -1, -1}, {0, 0, 0}, {17, 3, 200}, {255, 15, 255}, {-1, 7, -1}}) {
        // A new polyline, as the converter makes one, with the settings given.
        auto line = std::make_unique<LexPolyline>(*plainStroke(5)->geometry());
        line->setColor(colour);
        line->setLineStyle(style);
        line->setLineWidth(width);
        const QsRecordFigure& g = *line->geometry();
        LexPackedObjects packed;
        ASSERT_EQ(packed.add(*line), 0);
        ASSERT_EQ(packed.addPolyline(LexPolyline::newAttributes(colour, style, width), 0,
                                     {g.records(), g.usedCount(), nullptr}),
                  1);
        std::unique_ptr<LexSheetObject> object = packed.unpack(kLexTypePolyline, 0, nullptr);
        std::unique_ptr<LexSheetObject> direct = packed.unpack(kLexTypePolyline, 1, nullptr);
        EXPECT_EQ(direct->attributes(), object->attributes());
        EXPECT_EQ(objectText(dir, *direct), objectText(dir, *object));
    }
}

TEST(LexPackedObjectsTest, PolylinesInARowKeepTheirOwnStrokeLines) {
    TempDir dir;
    LexPackedObjects packed;
    std::string expected;
    for (int colour : {3, 3, 9, -1, 3}) {
        auto line = plainStroke(4);
        line->setColor(colour);
        ASSERT_GE(packed.add(*line), 0);
        expected += objectText(dir, *line);
    }
    EXPECT_EQ(written(dir, [&](TokenFile& f) { packed.write(kLexTypePolyline, f); }), expected);
}

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "geom/QsPolyline.h"

namespace {

std::unique_ptr<LexPolyline> makeStroke(QsPoint a, QsPoint b) {
    QsPoint pts[2] = {a, b};
    return std::make_unique<LexPolyline>(QsPolyline(pts, 2));
}

// Hands an object to the sheet and returns it.
template <class T>
T* addTo(LexSheet& sheet, std::unique_ptr<T> object) {
    T* raw = object.get();
    std::unique_ptr<LexSheetObject> owned(object.release());
    EXPECT_EQ(sheet.addObject(owned), 1);
    return raw;
}

}  // namespace

TEST(LexObjectTest, AttributeWordsFollowTheDefaultsWhenFlagged) {
    DatabaseSettings settings(false);
    ASSERT_EQ(settings.read("colorTable 5 {\n0 0 0 0 black\n1 0 0 0 a\n2 0 0 0 b\n"
                            "3 0 0 0 c\n4 0 0 0 d\n5 0 0 0 e\n6 0 0 0 f\n7 0 0 0 g\n}\n"
                            "defaultLineColor : 7\ndefaultTextColor : 5\n"),
              1);
    LexDatabase db;
    db.attach(&settings);

    auto line = std::make_unique<LexPolyline>();
    EXPECT_EQ(line->attributes(), 1u);  // visible, explicit zeros
    line->setColor(-1);
    EXPECT_EQ(line->rawColor(), -1);
    EXPECT_EQ(line->color(), 0);  // no environment yet: built-in default
    LexPolyline* raw = line.get();
    std::unique_ptr<LexSheetObject> obj(line.release());
    auto owned = std::make_unique<LexSheet>(0);
    LexSheet* s = owned.get();
    std::unique_ptr<LexObject> child(owned.release());
    ASSERT_EQ(db.add("Sheet", child), 1);
    ASSERT_EQ(s->addObject(obj), 1);
    EXPECT_EQ(raw->environment(), &settings);
    EXPECT_EQ(raw->color(), 7);
    raw->setColor(3);  // an explicit colour wins over the default
    EXPECT_EQ(raw->color(), 3);
}

// Fill styles live in a second word: the default flag leaves the stored style alone.
TEST(LexObjectTest, FillStylesAndTheirDefaultFlag) {
    LexPolygon filled;
    filled.setFillStyle(5);
    EXPECT_EQ(filled.secondAttributes(), 5u);
    filled.setFillStyle(-1);  // the default flag leaves the stored style alone
    EXPECT_EQ(filled.rawFillStyle(), -1);
    EXPECT_EQ(filled.secondAttributes(), 5u);
    LexCircle round;
    round.setFillStyle(5);
    EXPECT_EQ(round.fillStyle(), 5);
}

TEST(LexObjectTest, ListMisuseIsRefusedWithItsCode) {
    LexSheet sheet;
    LexList<LexPolyline> list(&sheet);
    auto first = makeStroke({0, 0}, {10, 0});
    auto second = makeStroke({0, 0}, {20, 0});
    auto third = makeStroke({0, 0}, {30, 0});
    LexPolyline* p = first.get();
    LexPolyline* q = second.get();
    LexPolyline* r = third.get();
    ASSERT_EQ(list.append(first), 1);
    EXPECT_EQ(p->owner(), &sheet);
    // Appending an element already in a list fails and changes nothing.
    ErrorRecord::instance().clear();
    std::unique_ptr<LexPolyline> again(p);
    EXPECT_EQ(list.append(again), 0);
    again.release();
    EXPECT_EQ(std::tuple(ErrorRecord::instance().code(), ErrorRecord::instance().severity()),
              std::tuple(30002, 2));
    EXPECT_EQ(std::tuple(list.size(), list.head(), list.tail()), std::tuple(1u, p, p));

    // Removing the middle and the tail keeps the order and the tail right.
    list.append(second);
    list.append(third);
    std::unique_ptr<LexPolyline> out = list.remove(q);
    ASSERT_EQ(out.get(), q);
    EXPECT_EQ(q->owner(), nullptr);
    EXPECT_EQ(LexList<LexPolyline>::next(p), r);
    EXPECT_EQ(list.remove(r).get(), r);
    EXPECT_EQ(list.tail(), p);
    EXPECT_EQ(list.remove(q), nullptr);  // not in the list
    EXPECT_EQ(list.append(out), 1);      // a removed element may join again
    EXPECT_EQ(list.tail(), q);
}

TEST(LexObjectTest, PropertiesAreFoundByNameAndScopeTogether) {
    LexSheet sheet;
    auto a = createProperty("name", "zero", false);
    auto b = createProperty("other", std::nullopt, true);
    ASSERT_EQ(addProperty(sheet.properties(), a, 0), 1);
    ASSERT_EQ(addProperty(sheet.properties(), b, 1), 1);
    EXPECT_NE(findProperty(sheet.properties(), "name", 0), nullptr);
    ErrorRecord::instance().clear();
    EXPECT_EQ(findProperty(sheet.properties(), "name", 1), nullptr);
    EXPECT_EQ(ErrorRecord::instance().code(), 30009);
    EXPECT_EQ(ErrorRecord::instance().severity(), 1);
    LexProperty* other = findProperty(sheet.properties(), "other", 1);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->flags(), 3u);
    EXPECT_EQ(other->value(), nullptr);

    // Names and values are pooled: equal texts share one copy.
    auto c = createProperty("name", "zero", false);
    EXPECT_EQ(c->name(), findProperty(sheet.properties(), "name", 0)->name());
    ASSERT_EQ(setPropertyValue(*c, "one"), 1);
    EXPECT_EQ(*c->value(), "one");
}

TEST(LexObjectTest, SheetListsNumberingAndExtent) {
    LexSheet sheet(LexSheet::kKindSchematic);
    QsBox none;
    EXPECT_FALSE(sheet.objectsExtent(none));
    addTo(sheet, makeStroke({-5, 2}, {100, 40}));
    addTo(sheet, std::make_unique<LexCircle>(QsCircle({500, 500}, 10)));
    std::unique_ptr<LexSheetObject> nothing;
    ErrorRecord::instance().clear();
    EXPECT_EQ(sheet.addObject(nothing), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);

    // Components and nets without numbers take the counters.
    auto component = std::make_unique<LexComponent>();
    component->setHeadValues(12u << 16, 0, 3u << 16);
    LexComponent* c = addTo(sheet, std::move(component));
    std::uint32_t kind = 0, number = 0, attr = 0;
    ASSERT_TRUE(c->headValues(kind, number, attr));
    EXPECT_EQ(std::tuple(number, sheet.nextComponentNumber()), std::tuple(1u, 4u));
    auto net = std::make_unique<LexNet>();
    net->setHeadLine("0 rest");
    LexNet* n = addTo(sheet, std::move(net));
    EXPECT_EQ(std::tuple(*n->headLine(), sheet.nextNetNumber()), std::tuple("1 rest", 2u));

    // Circles come before polylines in file order.
    std::vector<int> kinds;
    sheet.forEachListObject([&kinds](LexSheetObject&, int listKind) {
        kinds.push_back(listKind);
        return false;
    });
    EXPECT_EQ(kinds, (std::vector<int>{14, 15, 6, 8}));

    QsBox extent;
    ASSERT_TRUE(sheet.objectsExtent(extent));
    EXPECT_EQ(extent, QsBox(-5, 2, 510, 510));
    ASSERT_EQ(sheet.moveObjects(QsPoint(10, -2)), 1);
    ASSERT_TRUE(sheet.objectsExtent(extent));
    EXPECT_EQ(extent, QsBox(5, 0, 520, 508));
    EXPECT_EQ(sheet.moveObjects(QsPoint(INT32_MAX, 0)), 0);
    ASSERT_TRUE(sheet.objectsExtent(extent));
    EXPECT_EQ(extent, QsBox(5, 0, 520, 508));

    std::unique_ptr<LexSheetObject> back = sheet.removeObject(c);
    EXPECT_EQ(back.get(), c);
    EXPECT_EQ(sheet.components().size(), 0u);
    EXPECT_EQ(sheet.objectCount(), 3u);
}

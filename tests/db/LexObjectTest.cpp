#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexReadContext.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "geom/QsPolyline.h"

namespace {

// A new object of T with one attribute setter applied.
template <class T, class Setter>
std::function<std::unique_ptr<LexSheetObject>(int)> maker(Setter set) {
    return [set](int v) {
        auto o = std::make_unique<T>();
        ((*o).*set)(v);
        return std::unique_ptr<LexSheetObject>(o.release());
    };
}

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

TEST(LexObjectTest, RegistryMakesExactlyTheEighteenClasses) {
    ASSERT_EQ(initialiseDatabaseLayer(), 1);
    ASSERT_EQ(lexClassCount(), 18);
    struct Row {
        const char* name;
        int type;
    };
    const Row rows[] = {{"LexDatabase", 0},  {"LexSheet", 1},    {"LexArc", 2},
                        {"LexCircle", 3},    {"LexPolyline", 4}, {"LexPolygon", 5},
                        {"LexComponent", 7}, {"LexCompPin", 9},  {"LexText", 10},
                        {"LexProperty", 11}, {"LexPropBox", 12}, {"LexSymbPin", 13},
                        {"LexNet", 14},      {"LexWire", 15},    {"LexWireCons", 16},
                        {"LexFrame", 17},    {"LexGrid", 18},    {"LexZone", 19}};
    for (const Row& r : rows) {
        std::unique_ptr<LexObject> o = makeLexObject(r.name);
        ASSERT_NE(o, nullptr) << r.name;
        EXPECT_EQ(o->typeCode(), r.type) << r.name;
        EXPECT_STREQ(o->className(), r.name);
        EXPECT_TRUE(o->isValid() || r.type == 4 || r.type == 5) << r.name;
    }
    // A registry sheet is of kind 2 until its record is read.
    EXPECT_EQ(makeLexObject("LexSheet")->asSheet()->kind(), LexSheet::kKindUnread);

    ErrorRecord::instance().clear();
    EXPECT_EQ(makeLexObject("LexBogus"), nullptr);
    EXPECT_EQ(ErrorRecord::instance().code(), 30006);
    EXPECT_EQ(ErrorRecord::instance().severity(), 3);
}

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

TEST(LexObjectTest, AttributeFieldsSitWhereTheLayoutPutsThem) {
    // Per class and field: the setter, the field's lowest bit and width in the attribute word,
    // and the flag bit that selects the settings default.
    struct Field {
        const char* what;
        std::function<std::unique_ptr<LexSheetObject>(int)> make;
        int shift;
        int bits;
        int defaultBit;
    };
    const Field fields[] = {
        {"polyline colour", maker<LexPolyline>(&LexPolyline::setColor), 8, 8, 1},
        {"polyline style", maker<LexPolyline>(&LexPolyline::setLineStyle), 4, 4, 2},
        {"polyline width", maker<LexPolyline>(&LexPolyline::setLineWidth), 16, 8, 3},
        {"arc colour", maker<LexArc>(&LexArc::setColor), 8, 8, 1},
        {"arc style", maker<LexArc>(&LexArc::setLineStyle), 4, 4, 2},
        {"arc width", maker<LexArc>(&LexArc::setLineWidth), 16, 8, 3},
        {"polygon colour", maker<LexPolygon>(&LexPolygon::setColor), 16, 8, 1},
        {"polygon style", maker<LexPolygon>(&LexPolygon::setLineStyle), 8, 4, 2},
        {"polygon width", maker<LexPolygon>(&LexPolygon::setLineWidth), 24, 8, 4},
        {"polygon fill", maker<LexPolygon>(&LexPolygon::setFillStyle), -1, 8, 3},
        {"circle colour", maker<LexCircle>(&LexCircle::setColor), 16, 8, 1},
        {"circle style", maker<LexCircle>(&LexCircle::setLineStyle), 8, 4, 2},
        {"circle width", maker<LexCircle>(&LexCircle::setLineWidth), 24, 8, 4},
        {"circle fill", maker<LexCircle>(&LexCircle::setFillStyle), -1, 8, 3},
        {"text colour", maker<LexText>(&LexText::setColor), 8, 8, 1},
        {"text font", maker<LexText>(&LexText::setFont), 16, 8, 2},
        {"property box colour", maker<LexPropBox>(&LexPropBox::setColor), 8, 8, 1},
        {"property box font", maker<LexPropBox>(&LexPropBox::setFont), 16, 8, 2},
        {"frame style", maker<LexFrame>(&LexFrame::setLineStyle), 5, 3, 2},
        {"frame colour", maker<LexFrame>(&LexFrame::setColor), 8, 8, 1},
        {"frame width", maker<LexFrame>(&LexFrame::setLineWidth), 16, 8, 3},
    };
    for (const Field& f : fields) {
        std::uint32_t mask = (1u << f.bits) - 1u;
        // A new object is visible, polygons and circles filled, with no default flags.
        std::uint32_t base = f.make(-1)->attributes() & (1u | 0x20u);
        EXPECT_EQ(base & 1u, 1u) << f.what;
        std::uint32_t word = f.make(5)->attributes();
        std::uint32_t expected = f.shift >= 0 ? base | (5u << f.shift) : base;
        EXPECT_EQ(word, expected) << f.what;
        EXPECT_EQ(f.make(-1)->attributes(), base | (1u << f.defaultBit)) << f.what;
        if (f.shift >= 0) {
            EXPECT_EQ((f.make(0x1FF)->attributes() >> f.shift) & 0x1FFu, 0x1FFu & mask) << f.what;
        }
    }
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
    LexPolyline* p = first.get();
    ASSERT_EQ(list.append(first), 1);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(p->owner(), &sheet);

    // Appending an element already in a list fails and changes nothing.
    ErrorRecord::instance().clear();
    std::unique_ptr<LexPolyline> again(p);
    EXPECT_EQ(list.append(again), 0);
    again.release();
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);
    EXPECT_EQ(ErrorRecord::instance().severity(), 2);
    EXPECT_EQ(std::tuple(list.size(), list.head(), list.tail()), std::tuple(1u, p, p));

    auto second = makeStroke({0, 0}, {20, 0});
    auto third = makeStroke({0, 0}, {30, 0});
    LexPolyline* q = second.get();
    LexPolyline* r = third.get();
    list.append(second);
    list.append(third);
    // Removing the middle and the tail keeps the order and the tail right.
    std::unique_ptr<LexPolyline> out = list.remove(q);
    ASSERT_EQ(out.get(), q);
    EXPECT_EQ(q->owner(), nullptr);
    EXPECT_FALSE(q->listLink().linked);
    EXPECT_EQ(LexList<LexPolyline>::next(p), r);
    EXPECT_EQ(list.remove(r).get(), r);
    EXPECT_EQ(list.tail(), p);
    ErrorRecord::instance().clear();
    EXPECT_EQ(list.remove(q), nullptr);  // not in the list
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);
    EXPECT_EQ(list.append(out), 1);  // a removed element may join again
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

TEST(LexObjectTest, TextsScaleAndTurnAboutAPoint) {
    LexText text(QsPoint(100, 200), "AB", 0);
    EXPECT_EQ(text.scale(), 1.0);
    EXPECT_EQ(text.textGeometry().width, 10);
    ASSERT_EQ(text.scaleBy(QsPoint(0, 0), 2.0), 1);
    EXPECT_EQ(text.position(), QsPoint(200, 400));
    EXPECT_EQ(text.scale(), 2.0);
    ASSERT_EQ(text.rotate(QsPoint(200, 400), 7.0), 1);
    EXPECT_NEAR(text.angle(), 7.0 - 6.283185307179586, 1e-12);
    // The box grows with the scale: without a settings row each metric is 10.
    EXPECT_GT(text.box().x2 - text.box().x1, 20);
    EXPECT_TRUE(text.isValid());
}

TEST(LexObjectTest, TextsBuiltInOneStepMatchTheStepByStepBuild) {
    // The reference: a text made plain, then given its attributes one by one; the attributes
    // are only applied when the plain text is valid.
    auto stepByStep = [](QsPoint at, const char* s, int just, int path, double angle) {
        auto t = std::make_unique<LexText>(at, s, 3);
        if (t->isValid()) {
            t->setColor(6);
            t->setJustification(just);
            t->setPath(path);
            t->rotate(at, angle);
            t->scaleBy(at, 1.0);
        }
        return t;
    };
    const std::int32_t edge = INT32_MAX - 15;  // a plain "AB" (width 30) runs past the edge
    const QsPoint places[] = {{100, 200}, {edge, 0}, {-INT32_MAX, 0}, {0, edge}, {0, INT32_MIN}};
    const char* strings[] = {"", "AB", "two\nlines"};
    const double angles[] = {0.0, 1.5707963267948966, 4.0, -0.5, std::nan("")};
    int valid = 0, refused = 0;
    for (QsPoint at : places) {
        for (const char* s : strings) {
            for (int just = 0; just <= 10; ++just) {
                for (int path : {0, 1}) {
                    for (double angle : angles) {
                        auto want = stepByStep(at, s, just, path, angle);
                        LexText got(at, s, 3, 6, just, path, angle);
                        const std::string where =
                            std::to_string(at.x) + "," + std::to_string(at.y) + " '" + s + "' j" +
                            std::to_string(just) + " p" + std::to_string(path) + " a" +
                            std::to_string(angle);
                        ASSERT_EQ(got.isValid(), want->isValid()) << where;
                        want->isValid() ? ++valid : ++refused;
                        if (!want->isValid()) continue;
                        EXPECT_EQ(got.box(), want->box()) << where;
                        EXPECT_EQ(std::tuple(got.attributes(), got.position(), got.justification(),
                                             got.path(), got.scale()),
                                  std::tuple(want->attributes(), want->position(),
                                             want->justification(), want->path(), want->scale()))
                            << where;
                        EXPECT_EQ(got.angle(), want->angle()) << where;
                    }
                }
            }
        }
    }
    // Both outcomes occur: the table reaches the edges of the range.
    EXPECT_GT(valid, 0);
    EXPECT_GT(refused, 0);
}

TEST(LexObjectTest, ReadContextFindsIdentifiersInAnyOrderAndRefusesRepeats) {
    LexReadContext context;
    LexText a, b, c, d;
    struct Step {
        std::uint32_t id;
        LexObject* object;
        bool accepted;
    };
    // Growing identifiers, then some below the largest (new, and repeats of either kind).
    const Step steps[] = {{5, &a, true},       {9, &b, true},  {0, &c, false}, {7, &c, true},
                          {9, &d, false},      {7, &d, false}, {5, &d, false}, {1, &d, true},
                          {12, nullptr, true}, {12, &a, false}};
    for (const Step& s : steps)
        EXPECT_EQ(context.registerObject(s.id, s.object), s.accepted) << s.id;
    const std::tuple<std::uint32_t, LexObject*> finds[] = {
        {5, &a}, {9, &b}, {7, &c}, {1, &d}, {12, nullptr}, {6, nullptr}, {13, nullptr}};
    for (const auto& [id, object] : finds)
        EXPECT_EQ(context.find(id), object) << id;
    EXPECT_EQ(context.largestIdentifier(), 12u);
    EXPECT_EQ(context.identifiers(), (std::vector<std::uint32_t>{1, 5, 7, 9, 12}));
}

TEST(LexObjectTest, ClonesAreDeepAndDetached) {
    LexSheet sheet(LexSheet::kKindSymbol);
    sheet.setName(std::string("top"));
    addTo(sheet, makeStroke({0, 0}, {5, 5}));
    auto prop = createProperty("author", "me", false);
    addProperty(sheet.properties(), prop, 0);
    sheet.setFileId(9);

    std::unique_ptr<LexObject> copy = sheet.clone();
    LexSheet* c = copy->asSheet();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(std::tuple(c->fileId(), c->owner(), *c->name()), std::tuple(0u, nullptr, "top"));
    ASSERT_EQ(std::tuple(c->polylines().size(), c->properties().size()), std::tuple(1u, 1u));
    // The members are copies owned by the copy.
    LexPolyline* line = c->polylines().head();
    EXPECT_NE(line, sheet.polylines().head());
    EXPECT_NE(c->properties().head(), sheet.properties().head());
    EXPECT_EQ(std::tuple(line->owner(), c->properties().head()->owner()), std::tuple(c, c));
    EXPECT_EQ(line->geometry()->usedCount(), 2);
}

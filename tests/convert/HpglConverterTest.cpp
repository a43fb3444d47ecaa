#include "convert/HpglConverter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "ConvertTestSupport.h"
#include "geom/QsArc.h"
#include "geom/QsBox.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

using converttest::SheetFixture;
using testsupport::writeFile;

namespace {

std::unique_ptr<QsPolyline> stroke(std::vector<QsPoint> points) {
    return std::make_unique<QsPolyline>(points.data(), static_cast<int>(points.size()));
}

std::unique_ptr<QsPolygon> square(std::int32_t lineWidth) {
    const QsPoint pts[] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    auto polygon = std::make_unique<QsPolygon>(pts, 4);
    polygon->setLineWidth(lineWidth);
    return polygon;
}

// The vertex and arc-end points of a polyline, in record order.
std::vector<QsPoint> pointsOf(const LexPolyline& line) {
    return line.geometry()->ringPoints();
}

// A figure of any type code, for the dispatch.
class CodedFigure : public QsFigure {
public:
    explicit CodedFigure(int code) : code_(code) {}
    int typeCode() const override { return code_; }
    std::unique_ptr<QsFigure> clone() const override {
        return std::make_unique<CodedFigure>(code_);
    }

private:
    int code_;
};

class HpglConverterTest : public SheetFixture {};

}  // namespace

TEST_F(HpglConverterTest, OffsetsMoveEveryFigureAndFiguresLeavingTheRangeAreSkipped) {
    // The options 2.5 and -1 (millimetres) as the driver hands them over.
    HpglConverter converter(&landata, nullptr, sheetHandle, 2500, -1000);
    EXPECT_EQ(converter.convertFigure(stroke({{0, 0}, {400, 0}}), 1), 1);
    ASSERT_EQ(sheet().polylines().size(), 1u);
    const LexPolyline& line = *sheet().polylines().head();
    EXPECT_EQ(pointsOf(line), (std::vector<QsPoint>{{2500, -1000}, {2900, -1000}}));
    // Pen 1's colour, and the default style and width stored as explicit values.
    EXPECT_EQ(line.rawColor(), 1);
    EXPECT_EQ(line.rawLineStyle(), 2);
    EXPECT_EQ(line.rawLineWidth(), 0);

    // An arc inside a polyline moves with its ends and its centre.
    auto arcLine = stroke({{0, 0}});
    ASSERT_GE(arcLine->appendArc(QsArc(QsPoint(0, 0), QsPoint(1000, 0), M_PI)), 0);
    EXPECT_EQ(converter.convertFigure(std::move(arcLine), 1), 1);
    QsBox box = sheet().polylines().tail()->box();
    EXPECT_EQ(box, QsBox(2500, -2000, 4500, -1000));

    auto text = std::make_unique<QsText>();
    text->position = QsPoint(10, 20);
    EXPECT_EQ(converter.convertFigure(std::move(text), 1), 1);
    EXPECT_EQ(sheet().texts().head()->position(), QsPoint(2510, -980));

    // Moved out of the 32-bit range: nothing is added.
    HpglConverter far(&landata, nullptr, sheetHandle, INT_MAX - 99, INT_MIN + 5);
    EXPECT_EQ(far.convertFigure(stroke({{0, 0}, {101, 0}}), 1), 0);
    EXPECT_EQ(far.convertFigure(stroke({{0, 10}, {0, 0}}), 1), 1);  // y stays in range
    EXPECT_EQ(far.convertFigure(stroke({{0, -6}, {0, 0}}), 1), 0);
    EXPECT_EQ(far.convertFigure(square(0), 1), 0);
    auto farText = std::make_unique<QsText>();
    farText->position = QsPoint(101, 0);
    EXPECT_EQ(far.convertFigure(std::move(farText), 1), 0);
    EXPECT_EQ(sheet().polylines().size(), 3u);
    EXPECT_EQ(sheet().polygons().size(), 0u);
    EXPECT_EQ(sheet().texts().size(), 1u);

    // A polyline without records adds nothing.
    EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolyline>(), 1), 0);
    EXPECT_EQ(converter.convertFigure(nullptr, 1), 0);
}

TEST_F(HpglConverterTest, WidthIndexTakesTheClosestEntryAndTheDefaultWinsTies) {
    struct Case {
        const char* table;
        int defaultWidth;
        std::int32_t lineWidth;
        int index;
    };
    const Case cases[] = {
        {"0 0  1 3  2 4", 0, 35, 1},      // |3 - 3| = 0
        {"0 0  1 3  2 4", 0, 0, 0},       //
        {"0 0  1 3  2 4", 0, 45, 2},      //
        {"0 0  1 3  2 4", 0, 19, 0},      // w = 1: closer to 0 than to 3
        {"0 0  1 3  2 4", 0, 20, 1},      // w = 2: 3 is closest
        {"0 10  1 20  2 30", 2, 250, 2},  // 20 and 30 both 5 away: the default wins
        {"0 0  1 10  2 30", 0, 200, 1},   // 10 and 30 both 10 away: the earlier wins
        {"0 0  1 10  2 30", 0, -35, 0},   // negative widths are measured the same way
        {"0 100", 0, 2147483647, 0},      // no overflow on the distance
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table + std::string(" w=") + std::to_string(c.lineWidth));
        DatabaseSettings settings(false);
        ASSERT_EQ(settings.read(std::string("lineWidth 2 { ") + c.table +
                                " }\ndefaultLineWidth : " + std::to_string(c.defaultWidth)),
                  1);
        HpglConverter converter(&settings, nullptr, sheetHandle, 0, 0);
        EXPECT_EQ(converter.widthIndex(c.lineWidth), c.index);
    }
    // Without settings every width gets index 0.
    HpglConverter bare(nullptr, nullptr, sheetHandle, 0, 0);
    EXPECT_EQ(bare.widthIndex(35), 0);

    // The index reaches the polygon, whose line style is the default and fill style the pen's.
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    EXPECT_EQ(converter.convertFigure(square(35), 1), 1);
    const LexPolygon& polygon = *sheet().polygons().head();
    EXPECT_EQ(polygon.rawLineWidth(), 1);
    EXPECT_EQ(polygon.rawLineStyle(), 2);
}

TEST_F(HpglConverterTest, FontIndexTakesTheFirstClosestHeight) {
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    struct Case {
        std::int32_t height;
        int index;
    };
    // Heights 2000, 2500, 3000.
    for (const Case& c : {Case{2000, 0}, Case{2250, 0}, Case{2251, 1}, Case{2750, 1}, Case{2751, 2},
                          Case{99999, 2}, Case{900, 0}, Case{0, 0}, Case{-5, 0}})
        EXPECT_EQ(converter.fontIndex(c.height), c.index) << c.height;
    DatabaseSettings empty(false);
    EXPECT_EQ(HpglConverter(&empty, nullptr, sheetHandle, 0, 0).fontIndex(2500), 0);
    // The height itself is the distance to beat: an entry of 5000 is no closer to 2000 than 0.
    DatabaseSettings far(false);
    ASSERT_EQ(far.read("textTable 5 { 0 1 1 1 1  1 1 5000 1 1 }"), 1);
    EXPECT_EQ(HpglConverter(&far, nullptr, sheetHandle, 0, 0).fontIndex(2000), 0);
    EXPECT_EQ(HpglConverter(&far, nullptr, sheetHandle, 0, 0).fontIndex(2501), 1);
}

TEST_F(HpglConverterTest, TextsAndPolygonsTakeTheirAttributes) {
    const std::string pens = dir.file("pens.txt");
    writeFile(pens, "# pen colour style\n1 5 3\n");
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    converter.penTable().read(pens);

    auto text = std::make_unique<QsText>();
    text->position = QsPoint(100, 200);
    text->setString("AB");
    text->height = 2600;
    text->justification = 6;
    text->path = 1;
    text->angle = 0.5;
    text->width = 12345;  // the size comes from the font alone
    EXPECT_EQ(converter.convertFigure(std::move(text), 1), 1);
    const LexText& t = *sheet().texts().head();
    EXPECT_EQ(t.string(), "AB");
    EXPECT_EQ(t.position(), QsPoint(100, 200));
    EXPECT_EQ(t.rawFont(), 1);
    EXPECT_EQ(t.rawColor(), 5);
    EXPECT_EQ(t.justification(), 6);
    EXPECT_EQ(t.path(), 1);
    EXPECT_DOUBLE_EQ(t.angle(), 0.5);
    EXPECT_DOUBLE_EQ(t.scale(), 1.0);

    // A polyline set is stored filled, a polygon unfilled; pen 17 has no entry: colour 2,
    // style 2.
    const QsPoint pts[] = {{0, 0}, {10, 0}, {10, 10}};
    EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolylineSet>(pts, 3), 1), 1);
    EXPECT_EQ(converter.convertFigure(square(0), 17), 1);
    const LexPolygon* filled = sheet().polygons().head();
    const LexPolygon* hollow = LexList<LexPolygon>::next(filled);
    EXPECT_TRUE(filled->isFilled());
    EXPECT_EQ(filled->rawColor(), 5);
    EXPECT_EQ(filled->rawFillStyle(), 3);
    EXPECT_FALSE(hollow->isFilled());
    EXPECT_EQ(hollow->rawColor(), 2);
    EXPECT_EQ(hollow->rawFillStyle(), 2);
}

TEST_F(HpglConverterTest, DispatchByTypeCode) {
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(converter.convertFigure(std::make_unique<CodedFigure>(17), 1), 1);
    for (int quiet : {18, 22, 23, 28, 29})
        EXPECT_EQ(converter.convertFigure(std::make_unique<CodedFigure>(quiet), 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(converter.convertFigure(std::make_unique<QsBox>(0, 0, 5, 5), 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "UNKNOWN!\n");
    EXPECT_EQ(sheet().objectCount(), 0u);
}

TEST_F(HpglConverterTest, ConvertReadsThePlotBatchByBatch) {
    const std::string plot = dir.file("plot.hgl");
    // Strokes, a polygon edged (EP) and filled (FP), and a rectangle.
    writeFile(plot,
              "IN;SP3;PU0,0;PD100,0,100,100;PM0;PA0,0;PD200,0,200,200;PM2;EP;FP;SP17;"
              "PD0,0;");
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    EXPECT_EQ(converter.convert(plot, 2.0, ""), kConvertDone);
    EXPECT_DOUBLE_EQ(unitFactor(), 50.0);
    ASSERT_EQ(sheet().polylines().size(), 2u);
    EXPECT_EQ(pointsOf(*sheet().polylines().head()),
              (std::vector<QsPoint>{{0, 0}, {5000, 0}, {5000, 5000}}));
    EXPECT_EQ(sheet().polylines().head()->rawColor(), 3);
    EXPECT_EQ(sheet().polylines().tail()->rawColor(), 2);
    ASSERT_EQ(sheet().polygons().size(), 2u);
    for (const LexPolygon* p = sheet().polygons().head(); p; p = LexList<LexPolygon>::next(p)) {
        EXPECT_FALSE(p->isFilled());
        EXPECT_EQ(p->rawColor(), 3);
    }

    // The results other than success, each after the unit factor was multiplied.
    resetUnitFactor();
    writeFile(dir.file("words.txt"), "just some words, no command at all\n");
    const DbHandle none;
    struct Case {
        DbHandle sheet;
        std::string input;
        int result;
    };
    const Case cases[] = {
        {none, plot, kConvertNoSheet},
        {database, plot, kConvertNoSheet},
        {sheetHandle, dir.file("missing.hgl"), kConvertNoInput},
        {sheetHandle, dir.path(), kConvertUnreadable},
        {sheetHandle, dir.file("words.txt"), kConvertNoStatements},
    };
    for (const Case& c : cases) {
        resetUnitFactor();
        HpglConverter failing(&landata, nullptr, c.sheet, 0, 0);
        EXPECT_EQ(failing.convert(c.input, 1.6, ""), c.result) << c.input;
        EXPECT_DOUBLE_EQ(unitFactor(), 40.0);
    }
}

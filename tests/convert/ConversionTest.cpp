// The figure conversion and its undoable commands, on a fresh database reached through handles
// as the driver reaches it.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

#include "base/ErrorRecord.h"
#include "convert/CreateCommands.h"
#include "convert/HpglConverter.h"
#include "convert/SheetCommands.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "geom/QsArc.h"
#include "geom/QsPolygon.h"
#include "hpgl/PlotPage.h"
#include "support/SheetObjects.h"
#include "support/TestSupport.h"

using testsupport::writeFile;

namespace {

std::unique_ptr<QsPolyline> stroke(std::vector<QsPoint> p) {
    return std::make_unique<QsPolyline>(p.data(), static_cast<int>(p.size()));
}

std::unique_ptr<QsPolygon> square(std::int32_t lineWidth) {
    auto polygon = std::make_unique<QsPolygon>(QsBox(0, 0, 100, 100));
    polygon->setLineWidth(lineWidth);
    return polygon;
}

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbInitialise();
        // Widths 0, 3, 4; text heights 2000, 2500, 3000; a default style that shows when stored.
        ASSERT_EQ(landata.read("lineWidth 2 { 0 0  1 3  2 4 }\n"
                               "textTable 5 { 0 1 2000 0 0  1 1 2500 0 0  2 1 3000 0 0 }\n"
                               "lineStyleTable 5 { 0 0 0 0 0  1 1 1 1 1  2 2 2 2 2 }\n"
                               "defaultLineStyle : 2\n"),
                  1);
        ErrorRecord::instance().clear();
        database = dbOpen(dir.file("out.smb"), &landata, LexDatabase::kModeCreate);
        sheetHandle = dbCreateSheet(database, "Sheet", LexSheet::kKindSymbol);
        ASSERT_NE(sheetHandle.sheet(), nullptr);
    }
    void TearDown() override { dbCloseAll(); }

    LexSheet& sheet() { return *sheetHandle.sheet(); }
    static int code() { return ErrorRecord::instance().code(); }

    testsupport::TempDir dir;
    DatabaseSettings landata{false};
    DbHandle database, sheetHandle;
};

}  // namespace

TEST_F(ConversionTest, WidthAndFontIndexRules) {
    struct WidthCase {
        const char* table;
        int defaultIndex;
        std::int32_t width;
        int index;
    };
    for (const WidthCase& c : {
             WidthCase{"0 0 1 3 2 4", 0, 35, 1},      // |3 - 3| = 0
             WidthCase{"0 0 1 3 2 4", 0, 19, 0},      // a tenth, truncated: 1 is closer to 0
             WidthCase{"0 10 1 20 2 30", 2, 250, 2},  // 20 and 30 both 5 away: the default wins
             WidthCase{"0 0 1 10 2 30", 0, 200, 1},   // 10 and 30 both 10 away: the earlier wins
             WidthCase{"0 100", 0, INT_MAX, 0},       // no overflow in the distance
         }) {
        DatabaseSettings s(false);
        ASSERT_EQ(s.read(std::string("lineWidth 2 { ") + c.table +
                         " }\ndefaultLineWidth : " + std::to_string(c.defaultIndex)),
                  1);
        EXPECT_EQ(HpglConverter(&s, nullptr, sheetHandle, 0, 0).widthIndex(c.width), c.index)
            << c.table << " / " << c.width;
    }
    // Heights 2000, 2500, 3000: a height halfway between two entries takes the earlier; the
    // height itself is the distance to beat.
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    const std::pair<std::int32_t, int> fonts[] = {{2250, 0}, {2251, 1}, {2750, 1}, {99999, 2},
                                                  {0, 0},    {-5, 0},   {1000, 0}};
    for (const auto& [height, index] : fonts)
        EXPECT_EQ(converter.fontIndex(height), index) << height;
    EXPECT_EQ(HpglConverter(nullptr, nullptr, sheetHandle, 0, 0).fontIndex(2500), 0);
}

TEST_F(ConversionTest, FiguresBecomeObjectsMovedByTheOffsets) {
    writeFile(dir.file("pens.txt"), "1 5 3\n");
    HpglConverter converter(&landata, nullptr, sheetHandle, 2500, -1000);  // 2.5 mm, -1 mm
    converter.penTable().read(dir.file("pens.txt"));
    EXPECT_EQ(converter.convertFigure(stroke({{0, 0}, {400, 0}}), 1), FigureOutcome::kAdded);
    const auto lines = [this] { return listObjects<LexPolyline>(sheet(), kLexListPolylines); };
    const auto first = lines();
    const LexPolyline& line = *first.front();
    EXPECT_EQ(line.geometry()->ringPoints(), (std::vector<QsPoint>{{2500, -1000}, {2900, -1000}}));
    // Pen 1's colour; the default style and width stored as explicit values.
    EXPECT_EQ(line.rawColor() * 100 + line.rawLineStyle() * 10 + line.rawLineWidth(), 520);
    // An arc moves with its ends and centre (a half turn below (1000, 0)).
    auto arc = stroke({{0, 0}});
    arc->appendArc(QsArc(QsPoint(0, 0), QsPoint(1000, 0), std::numbers::pi));
    EXPECT_EQ(converter.convertFigure(std::move(arc), 1), FigureOutcome::kAdded);
    EXPECT_EQ(lines().back()->box(), QsBox(2500, -2000, 4500, -1000));

    auto text = std::make_unique<QsText>();
    text->position = QsPoint(100, 200);
    text->setString("AB");
    text->height = 2600;
    text->justification = 6;
    text->path = 1;
    text->angle = 0.5;
    EXPECT_EQ(converter.convertFigure(*text, 1), FigureOutcome::kAdded);
    const auto texts = listObjects<LexText>(sheet(), kLexListTexts);
    const LexText& t = *texts.front();
    EXPECT_EQ(t.string(), "AB");
    EXPECT_EQ(t.position(), QsPoint(2600, -800));
    EXPECT_EQ(t.rawFont() * 100 + t.rawColor() * 10 + t.justification(), 156);
    EXPECT_EQ(t.path(), 1);
    EXPECT_DOUBLE_EQ(t.angle(), 0.5);

    // A polyline set is stored filled, a polygon unfilled; pen 17 has no entry: colour 2,
    // style 2. The polygon's width 35 takes index 1.
    const QsPoint pts[] = {{0, 0}, {10, 0}, {10, 10}};
    EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolylineSet>(pts, 3), 1),
              FigureOutcome::kAdded);
    EXPECT_EQ(converter.convertFigure(square(35), 17), FigureOutcome::kAdded);
    const auto polygons = listObjects<LexPolygon>(sheet(), kLexListPolygons);
    const LexPolygon& set = *polygons.front();
    const LexPolygon& polygon = *polygons.back();
    EXPECT_EQ(set.isFilled() * 100 + set.rawColor() * 10 + set.rawFillStyle(), 153);
    EXPECT_EQ(polygon.isFilled() * 100 + polygon.rawColor() * 10 + polygon.rawFillStyle(), 22);
    EXPECT_EQ(polygon.rawLineWidth() * 10 + polygon.rawLineStyle(), 12);
    EXPECT_EQ(polygon.box(), QsBox(2500, -1000, 2600, -900));

    EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolyline>(), 1), FigureOutcome::kEmpty);
    EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolygon>(), 1), FigureOutcome::kEmpty);
    EXPECT_EQ(sheet().objectCount(), 5u);

    // Arcs: a centre beyond the range is never written, offsets or not; a nearly straight arc
    // whose whole circle would leave the range is kept (only its ends and centre are written).
    auto arcThrough = [](QsPoint a, QsPoint b, QsPoint c) {
        auto line = stroke({a});
        line->appendArc(QsArc(a, b, c));
        return line;
    };
    const QsPoint e1(2000010000, -1999967), e2(2000000000, 0), e3(2000010000, 1999967);
    HpglConverter plain(&landata, nullptr, sheetHandle, 0, 0);
    EXPECT_EQ(plain.convertFigure(arcThrough(e1, e2, e3), 1), FigureOutcome::kOutOfRange);
    EXPECT_EQ(converter.convertFigure(arcThrough(e1, e2, e3), 1), FigureOutcome::kOutOfRange);
    const QsPoint f1(0, 0), f2(100000, 4), f3(200000, 0);
    EXPECT_EQ(plain.convertFigure(arcThrough(f1, f2, f3), 1), FigureOutcome::kAdded);
    EXPECT_EQ(converter.convertFigure(arcThrough(f1, f2, f3), 1), FigureOutcome::kAdded);
    EXPECT_EQ(sheet().objectCount(), 7u);
}

TEST_F(ConversionTest, FiguresTheOffsetsWouldCarryOutOfRangeAreSkipped) {
    // Each row carries one side of the figure's extent just past the range (or onto its edge).
    const struct {
        std::int32_t dx, dy;
        std::vector<QsPoint> points;
        FigureOutcome outcome;
    } rows[] = {
        {INT_MAX - 99, 0, {{0, 0}, {99, 10}}, FigureOutcome::kAdded},
        {INT_MAX - 99, 0, {{0, 0}, {100, 0}}, FigureOutcome::kOutOfRange},  // xmax
        {INT_MIN + 5, 0, {{-6, 0}, {100, 0}}, FigureOutcome::kOutOfRange},  // xmin
        {INT_MIN + 5, 0, {{-5, 0}, {100, 0}}, FigureOutcome::kAdded},
        {0, INT_MAX - 99, {{0, 0}, {0, 100}}, FigureOutcome::kOutOfRange},  // ymax
        {0, INT_MAX - 99, {{0, 0}, {0, 99}}, FigureOutcome::kAdded},
        {0, INT_MIN + 5, {{0, -6}, {0, 100}}, FigureOutcome::kOutOfRange},  // ymin
        {0, INT_MIN + 5, {{0, -6}}, FigureOutcome::kOutOfRange},
    };
    std::size_t added = 0;
    for (const auto& row : rows) {
        HpglConverter converter(&landata, nullptr, sheetHandle, row.dx, row.dy);
        const int n = static_cast<int>(row.points.size());
        EXPECT_EQ(converter.convertFigure(stroke(row.points), 1), row.outcome)
            << row.dx << " " << row.dy << " " << row.points.back().x << "," << row.points.back().y;
        // A polygon with the same outline goes the same way.
        EXPECT_EQ(converter.convertFigure(std::make_unique<QsPolygon>(row.points.data(), n), 1),
                  row.outcome);
        added += row.outcome == FigureOutcome::kAdded ? 2 : 0;
        // A text is moved by its position.
        QsText text;
        text.position = row.points.back();
        text.setString("T");
        const FigureOutcome outcome = converter.convertFigure(text, 1);
        if (outcome == FigureOutcome::kAdded) ++added;
        const bool fits = fitsInt32(std::int64_t{row.points.back().x} + row.dx) &&
                          fitsInt32(std::int64_t{row.points.back().y} + row.dy);
        EXPECT_EQ(outcome != FigureOutcome::kOutOfRange, fits) << row.points.back().x;
    }
    EXPECT_EQ(sheet().objectCount(), added);
}

TEST_F(ConversionTest, ConvertResults) {
    // The unit factor is multiplied by the scale whatever comes of the conversion.
    writeFile(dir.file("plot.hgl"), "IN;SP3;PU0,0;PD100,0;");
    writeFile(dir.file("words.txt"), "only words, no command\n");
    struct Case {
        DbHandle sheet;
        std::string input;
        int result;
    };
    for (const Case& c : {Case{sheetHandle, dir.file("plot.hgl"), kConvertDone},
                          Case{DbHandle(), dir.file("plot.hgl"), kConvertNoSheet},
                          Case{database, dir.file("plot.hgl"), kConvertNoSheet},
                          Case{sheetHandle, dir.file("missing"), kConvertNoInput},
                          Case{sheetHandle, dir.path(), kConvertUnreadable},
                          Case{sheetHandle, dir.file("words.txt"), kConvertNoStatements}}) {
        HpglConverter converter(&landata, nullptr, c.sheet, 0, 0);
        EXPECT_EQ(converter.convert(c.input, 2.0, ""), c.result);
        // The conversion's own factor, whatever became of it.
        EXPECT_DOUBLE_EQ(converter.tally().unitFactor, 50.0);
    }
    EXPECT_EQ(listObjects<LexPolyline>(sheet(), kLexListPolylines)
                  .front()
                  ->geometry()
                  ->ringPoints()
                  .back(),
              QsPoint(5000, 0));
}

TEST_F(ConversionTest, TallyOfAConversion) {
    // Strokes, one refused by its butt ends (52 and 23), a stroke carried out of range by the
    // offset, a polygon whose failed stroke travels with it to both EPs, an escape sequence and
    // an unknown command.
    writeFile(dir.file("plot.hgl"),
              "IN;SP1;PD10,0;PW0.0004;LA1,1;PU0,0;PD0.25,0,10,0;PU;PW;LA;"
              "PU53687000,0;PD53687100,0;PU0,0;PM0;PD10,x;PD10,10,0,10;PM2;EP;EP;"
              "\x1b%-1BXX1;CI;");
    HpglConverter converter(&landata, nullptr, sheetHandle, 0, 0);
    ASSERT_EQ(converter.convert(dir.file("plot.hgl"), 1.0, ""), kConvertDone);
    const ConversionTally& tally = converter.tally();
    const struct {
        const char* mnemonic;
        int64_t read;
    } reads[] = {{"IN", 1}, {"SP", 1}, {"PD", 5}, {"PU", 4}, {"PW", 2}, {"LA", 2},
                 {"PM", 2}, {"EP", 2}, {"CI", 1}, {"PA", 0}, {"DV", 0}};
    for (const auto& r : reads)
        EXPECT_EQ(tally.statements.of(r.mnemonic), r.read) << r.mnemonic;
    EXPECT_EQ(tally.statements.ignored, 2);  // the escape sequence and XX
    EXPECT_EQ(tally.statements.escapes, 1);
    EXPECT_EQ(tally.statements.unknown[StatementCounts::mnemonicSlot("XX")], 1);
    EXPECT_EQ(tally.statements.total(), 22);
    const std::map<std::pair<std::string, int32_t>, int64_t> failures = {
        {{"PD", 52}, 1}, {{"PD", 23}, 3}, {{"EP", 31}, 2}, {{"CI", 20}, 1}};
    EXPECT_EQ(tally.failures, failures);
    EXPECT_EQ(tally.failuresOf("PD", 23), 3);
    EXPECT_EQ(tally.failuresOf("PD", 54), 0);
    // At scale 1, 53687100 plotter units are 1342177500 output units: in range. The polygon
    // comes twice.
    EXPECT_EQ(tally.figuresWith(FigureOutcome::kAdded), 4);
    EXPECT_EQ(tally.figuresWith(FigureOutcome::kOutOfRange), 0);
    EXPECT_EQ(tally.objects, (std::array<int64_t, kObjectKindCount>{2, 2, 0}));
    ASSERT_TRUE(tally.extent);
    EXPECT_EQ(*tally.extent, QsBox(0, 0, 1342177500, 250));

    // Moved by an offset, the long stroke leaves the range.
    HpglConverter moved(&landata, nullptr, sheetHandle, 1000000000, 0);
    ASSERT_EQ(moved.convert(dir.file("plot.hgl"), 1.0, ""), kConvertDone);
    EXPECT_EQ(moved.tally().figuresWith(FigureOutcome::kAdded), 3);
    EXPECT_EQ(moved.tally().figuresWith(FigureOutcome::kOutOfRange), 1);
}

TEST_F(ConversionTest, TalliedExtentIsTheExtentOfTheNewSheet) {
    // The driver sizes a new sheet by the tally instead of walking its objects: strokes, turned
    // and justified labels measured with the settings' text table, a rectangle and a circle.
    writeFile(dir.file("plot.hgl"),
              "IN;SP1;PD10,0,10,10;PU100,100;LO5;LBR12\x03;DI0,1;LBTurned\x03;PU-50,20;"
              "RA70,90;CI30;");
    HpglConverter converter(&landata, nullptr, sheetHandle, 7, -3);
    ASSERT_EQ(converter.convert(dir.file("plot.hgl"), 1.0, ""), kConvertDone);
    QsBox walked;
    ASSERT_TRUE(sheet().objectsExtent(walked));
    ASSERT_TRUE(converter.tally().extent);
    EXPECT_EQ(*converter.tally().extent, walked);
    EXPECT_EQ(sheet().objectCount(kLexListTexts), 2u);
}

TEST_F(ConversionTest, CommandStatesAndCodes) {
    const QsPoint pts[] = {{0, 0}, {10, 20}};
    CreatePolylineCommand line(sheetHandle, QsPolyline(pts, 2), 4, 1, 2);
    EXPECT_EQ(line.state(), kCmdStateReady);
    EXPECT_EQ(line.type() * 10 + line.reversible(), 1);  // a database command, reversible
    EXPECT_EQ(line.undo() + line.redo(), 0);             // neither executed nor undone yet
    EXPECT_EQ(code(), 30005);
    ASSERT_EQ(line.execute(), 1);
    // The sheet holds a packed copy of the command's object.
    EXPECT_EQ(sheet().objectCount(kLexListPolylines), 1u);
    EXPECT_EQ(listObjects<LexPolyline>(sheet(), kLexListPolylines).front()->box(),
              line.object()->box());
    EXPECT_EQ(line.execute(), 0);
    EXPECT_EQ(code() * 10 + ErrorRecord::instance().severity(), 300052);
    EXPECT_EQ(line.undo(), 1);
    EXPECT_EQ(line.state() * 10 + static_cast<int>(sheet().objectCount()), 20);
    EXPECT_EQ(line.redo(), 1);
    EXPECT_EQ(line.state() * 10 + static_cast<int>(sheet().objectCount()), 11);
    {  // the command keeps its object whatever its state (the sanitizers see a leak)
        CreatePolygonCommand polygon(sheetHandle, QsPolygon(QsBox(0, 0, 5, 5)), 1, 0, 0, true, 2);
        EXPECT_EQ(polygon.execute() + polygon.undo(), 2);
    }

    // Commands that cannot be ready: no geometry or a text beyond the range (30004, level 4),
    // a handle that names no sheet (30002, level 2).
    auto expectNotReady = [](std::unique_ptr<CreateObjectCommand> c, int codeAndLevel) {
        EXPECT_EQ(code() * 10 + ErrorRecord::instance().severity(), codeAndLevel);
        EXPECT_EQ(c->state(), kCmdStateNotReady);
        EXPECT_EQ(c->execute(), 0);
        EXPECT_EQ(code(), 30005);
        ErrorRecord::instance().clear();
    };
    ErrorRecord::instance().clear();
    expectNotReady(std::make_unique<CreatePolylineCommand>(sheetHandle, nullptr, 0, 0, 0), 300044);
    expectNotReady(std::make_unique<CreatePolygonCommand>(sheetHandle, nullptr, 0, 0, 0, false, 0),
                   300044);
    expectNotReady(std::make_unique<CreateTextCommand>(sheetHandle, QsPoint(INT_MAX - 5, 0),
                                                       std::string(100, 'W'), 0, 0, 0, 0, 0.0),
                   300044);
    expectNotReady(std::make_unique<CreatePolylineCommand>(database, QsPolyline(pts, 2), 0, 0, 0),
                   300022);
    EXPECT_EQ(sheet().objectCount(), 1u);
}

TEST_F(ConversionTest, SheetEditCommandsSwapValues) {
    LexSheet& s = sheet();
    const QsBox before = s.sheetBox();
    SetSheetBoxCommand box(sheetHandle, QsBox(1, 2, 300, 400));
    EXPECT_EQ(box.execute(), 1);
    EXPECT_EQ(s.sheetBox(), QsBox(1, 2, 300, 400));
    EXPECT_EQ(box.undo(), 1);
    EXPECT_EQ(s.sheetBox(), before);
    SetSheetSizeColourCommand colour(sheetHandle, 0x1234);  // the low 8 bits, in bits 16-23
    SetSheetDisplayCommand display(sheetHandle, 7);
    EXPECT_EQ(colour.execute() + display.execute(), 2);
    EXPECT_EQ(s.attributes() & 0xFFFF0002u, 0x00340002u);
    EXPECT_EQ(colour.undo() + display.undo(), 2);
    EXPECT_EQ(s.attributes() & 0xFFFF0002u, 0u);

    const QsPoint pts[] = {{0, 0}, {10, 20}};
    CreatePolylineCommand line(sheetHandle, QsPolyline(pts, 2), 0, 0, 0);
    line.execute();
    MoveSheetCommand move(sheetHandle, QsPoint(10, -5));  // (10, -5) becomes the origin
    EXPECT_EQ(move.execute(), 1);
    auto firstBox = [&s] { return listObjects<LexPolyline>(s, kLexListPolylines).front()->box(); };
    EXPECT_EQ(firstBox(), QsBox(-10, 5, 0, 25));
    EXPECT_EQ(move.undo(), 1);
    MoveSheetCommand tooFar(sheetHandle, QsPoint(INT_MIN, 0));
    EXPECT_EQ(tooFar.execute(), 0);
    EXPECT_EQ(firstBox(), QsBox(0, 0, 10, 20));

    // The box command needs a sheet handle; the others take any valid handle but change only
    // a sheet.
    const DbHandle grid = dbCreateGrid(database, "Grid", DbGridValues());
    EXPECT_EQ(SetSheetBoxCommand(grid, QsBox()).state(), kCmdStateNotReady);
    EXPECT_EQ(code(), 30002);
    EXPECT_EQ(SetSheetSizeColourCommand(DbHandle(), 1).state(), kCmdStateNotReady);
    SetSheetDisplayCommand onGrid(grid, 1);
    EXPECT_EQ(onGrid.state(), kCmdStateReady);
    EXPECT_EQ(onGrid.execute(), 0);
}

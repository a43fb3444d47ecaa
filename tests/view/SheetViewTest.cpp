// Drawing symbols and sheets: the SVG written for small hand-made sheets, read back as a tree.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "SvgTree.h"
#include "convert/DbHandle.h"
#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "geom/QsArc.h"
#include "geom/QsPolygon.h"
#include "support/FreshFontLookup.h"
#include "support/TestSupport.h"
#include "view/SheetView.h"
#include "view/SvgCanvas.h"
#include "view/ViewDocument.h"

using svgtest::Element;

namespace {

constexpr double kPi = std::numbers::pi;

// Colours 0-3, widths 0 and 350, a dashed and a dash-dot style, hollow, solid and hatched fills
// (one hatch without pitch), one font.
constexpr const char* kSettings =
    "colorTable 5 { 0 0 0 0 black  1 255 255 255 white  2 255 0 0 red  3 0 0 255 blue }\n"
    "lineWidth 2 { 0 0  1 350 }\n"
    "lineStyleTable 5 { 0 0 0 0 0  1 4000 2000 0 0  2 500 1000 300 1000 }\n"
    "fillStyleTable 4 { 0 0 0 0  1 1 0 0  2 2 45 1000  3 2 30 0 }\n"
    "textTable 5 { 0 1500 2000 300 1000 }\n"
    "defaultLineColor : 3\n";

QsPolyline line(std::vector<QsPoint> points) {
    return QsPolyline(points.data(), static_cast<int>(points.size()));
}

// A symbol in a database with the test settings, drawn and read back.
class SheetViewTest : public FreshFontLookupTest {
protected:
    void SetUp() override {
        FreshFontLookupTest::SetUp();
        dbInitialise();
        ASSERT_EQ(settings.read(kSettings), 1);
        std::unique_ptr<LexObject> s = std::make_unique<LexSheet>(LexSheet::kKindSymbol);
        sheet = s->asSheet();
        sheet->setSheetBox(QsBox());  // no area to draw unless a test gives one
        ASSERT_EQ(database.add("Sheet", s), 1);
        database.attach(&settings);
    }

    template <class T>
    T& add(std::unique_ptr<T> object) {
        T& kept = *object;
        std::unique_ptr<LexSheetObject> o = std::move(object);
        EXPECT_EQ(sheet->addObject(o), 1);
        return kept;
    }
    LexPolyline& addLine(const QsPolyline& geometry, int colour = 2, int width = 0, int style = 0) {
        auto p = std::make_unique<LexPolyline>(geometry);
        p->setColor(colour);
        p->setLineWidth(width);
        p->setLineStyle(style);
        return add(std::move(p));
    }

    // The picture as a standalone file, parsed.
    std::unique_ptr<Element> draw(bool grid = false) {
        SvgCanvas canvas;
        counts = drawSheet(database, &settings, grid, canvas);
        text = standaloneSvg(canvas, sheetBackground(*sheet, &settings));
        std::string error;
        auto root = svgtest::parse(text, &error);
        EXPECT_NE(root, nullptr) << error;
        return root;
    }
    // The only path element of the picture (patterns left aside).
    static const Element& drawnPath(const Element& root) {
        std::vector<const Element*> paths;
        for (const Element* p : root.all("path"))
            if (p->parent->name != "pattern") paths.push_back(p);
        EXPECT_EQ(paths.size(), 1u);
        static const Element none;
        return paths.empty() ? none : *paths.back();
    }

    DatabaseSettings settings{false};
    LexDatabase database;
    LexSheet* sheet = nullptr;
    SheetCounts counts;
    std::string text;
};

TEST_F(SheetViewTest, ArcRecordsBecomeSvgArcsTurningTheWayTheyTurnOnTheSheet) {
    // Database y points up, SVG y down: a counter-clockwise arc has sweep flag 0, and an arc of
    // more than half a turn sets the large-arc flag.
    const QsPoint o{0, 0}, east{1000, 0}, north{0, 1000}, south{0, -1000};
    struct Row {
        const char* what;
        QsArc arc;
        const char* d;
    } rows[] = {
        {"quarter, counter-clockwise", QsArc(east, o, north, 0), "M1000 0A1000 1000 0 0 0 0 -1000"},
        {"quarter, clockwise", QsArc(east, o, south, QsArc::kClockwise),
         "M1000 0A1000 1000 0 0 1 0 1000"},
        {"three quarters, counter-clockwise", QsArc(east, o, south, 0),
         "M1000 0A1000 1000 0 1 0 0 1000"},
        {"three quarters, clockwise", QsArc(east, o, north, QsArc::kClockwise),
         "M1000 0A1000 1000 0 1 1 0 -1000"},
        {"full circle: two half turns", QsArc(east, o, east, QsArc::kFullCircle),
         "M1000 0A1000 1000 0 0 0 -1000 0A1000 1000 0 0 0 1000 0"},
    };
    for (const Row& row : rows) {
        sheet->polylines().clear();
        QsPolyline p;
        ASSERT_GE(p.appendArc(row.arc), 0) << row.what;
        addLine(p);
        EXPECT_EQ(drawnPath(*draw()).attr("d"), row.d) << row.what;
    }
    // An arc that starts away from the vertex before it is reached by a straight segment.
    sheet->polylines().clear();
    QsPolyline p = line({{-500, 0}});
    p.appendArc(rows[0].arc);
    p.appendPoint({0, 2000});
    addLine(p);
    EXPECT_EQ(drawnPath(*draw()).attr("d"), "M-500 0L1000 0A1000 1000 0 0 0 0 -1000L0 -2000");
}

TEST_F(SheetViewTest, PolygonsAreFilledAsTheirFillStyleSaysAndKeepTheirHolesEmpty) {
    const QsPolylineSet hole(std::vector<QsPoint>{{3000, 3000}, {7000, 3000}, {5000, 6000}}.data(),
                             3);
    struct Row {
        bool filled;
        int fillStyle;
        const char* fill;
    } rows[] = {
        {true, 1, "#ff0000"},         // solid
        {true, 0, "none"},            // hollow
        {true, 2, "url(#v-hatch0)"},  // hatched
        {true, 3, "#ff0000"},         // a hatch without pitch is solid
        {true, 9, "#ff0000"},         // a style outside the table: solid
        {false, 1, "none"},           // not filled: edged only, whatever its style
    };
    for (const Row& row : rows) {
        sheet->polygons().clear();
        QsPolygon square(QsBox(0, 0, 10000, 10000));
        square.addHole(hole);
        auto polygon = std::make_unique<LexPolygon>(square);
        polygon->setColor(2);
        polygon->setFilled(row.filled);
        polygon->setFillStyle(row.fillStyle);
        add(std::move(polygon));
        auto root = draw();
        const Element& path = drawnPath(*root);
        // The hole is a second closed subpath of the same path, and the picture fills even-odd.
        EXPECT_EQ(path.attr("d"),
                  "M0 0L0 -10000 10000 -10000 10000 0ZM3000 -3000L7000 -3000 "
                  "5000 -6000Z");
        EXPECT_EQ(path.inherited("fill-rule"), "evenodd");
        EXPECT_EQ(path.inherited("fill"), row.fill) << row.filled << " " << row.fillStyle;
        EXPECT_EQ(path.inherited("stroke"), "#ff0000");
        // The hatch: lines 1 mm apart, turned 45 degrees counter-clockwise on the page.
        const std::vector<const Element*> patterns = root->all("pattern");
        ASSERT_EQ(patterns.size(), row.fillStyle == 2 && row.filled ? 1u : 0u);
        if (!patterns.empty()) {
            EXPECT_EQ(patterns[0]->attr("id"), "v-hatch0");
            EXPECT_EQ(patterns[0]->attr("width"), "1000");
            EXPECT_EQ(patterns[0]->attr("patternTransform"), "rotate(-45)");
        }
    }
}

TEST_F(SheetViewTest, LinesTakeWidthDashesAndColourFromTheSettings) {
    struct Row {
        int colour, width, style;
        const char* stroke;
        const char* strokeWidth;  // as inherited: the root's hairline unless the row has one
        const char* dash;
    } rows[] = {
        {2, 1, 0, "#ff0000", "350", ""},
        {3, 0, 1, "#0000ff", "root", "4000 2000"},          // the empty second pair is dropped
        {2, 5, 2, "#ff0000", "root", "500 1000 300 1000"},  // width row 5 is not defined
        {7, 0, 9, "#ff00ff", "root", ""},     // colour and style outside the tables: fallbacks
        {-1, -1, -1, "#0000ff", "root", ""},  // the defaults of the settings
    };
    for (const Row& row : rows) {
        sheet->polylines().clear();
        addLine(line({{0, 0}, {1000, 0}}), row.colour, row.width, row.style);
        auto root = draw();
        const Element& path = drawnPath(*root);
        EXPECT_EQ(path.inherited("stroke"), row.stroke) << row.colour;
        const std::string width =
            row.strokeWidth == std::string("root") ? root->attr("stroke-width") : row.strokeWidth;
        EXPECT_EQ(path.inherited("stroke-width"), width) << row.width;
        EXPECT_EQ(path.inherited("stroke-dasharray"), row.dash) << row.style;
    }
}

TEST_F(SheetViewTest, SheetColourAreaGridAndCounts) {
    sheet->setColor(1);
    sheet->setSizeColor(3);
    sheet->setSheetBox(QsBox(0, 0, 300000, 200000));
    auto grid = std::make_unique<LexGrid>();
    grid->setPitch(100, 100);
    grid->setColor(2);
    std::unique_ptr<LexObject> g = std::move(grid);
    ASSERT_EQ(database.add("Grid", g), 1);
    addLine(line({{0, 0}, {1000, 0}}), 1);  // white on the white sheet
    addLine(line({{0, 0}, {1000, 0}}), 2).setVisible(false);

    auto root = draw(true);
    const std::vector<const Element*> rects = root->all("rect");
    ASSERT_GE(rects.size(), 3u);  // the grid's dot, the background, the dotted area
    EXPECT_EQ(rects[1]->attr("class"), "background");
    EXPECT_EQ(rects[1]->attr("fill"), "#ffffff");
    EXPECT_EQ(rects[2]->attr("class"), "grid");
    // Grid dots every 100 units would be 3000 across: coarsened by powers of two to 1600.
    const std::vector<const Element*> patterns = root->all("pattern");
    ASSERT_EQ(patterns.size(), 1u);
    EXPECT_EQ(patterns[0]->attr("width"), "1600");
    EXPECT_EQ(patterns[0]->all("rect")[0]->attr("fill"), "#ff0000");
    // The sheet area, in the sheet-size colour, and the one visible line.
    const std::vector<const Element*> paths = root->all("path");
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0]->attr("d"), "M0 0L0 -200000 300000 -200000 300000 0Z");
    EXPECT_EQ(paths[0]->inherited("stroke"), "#0000ff");
    EXPECT_EQ(counts.polylines, 1);
    EXPECT_EQ(counts.hidden, 1);
    EXPECT_EQ(counts.unseen, 1);

    EXPECT_TRUE(draw(false)->all("pattern").empty());
}

TEST_F(SheetViewTest, TextsAreDrawnWhereTheirBoxIsWithTheFontTheyAreMeasuredWith) {
    testsupport::ScopedEnv root("QRXROOT", testsupport::bundledRoot());
    fresh();
    struct Row {
        int justification;
        double angle;
        int path;
    } rows[] = {
        {0, 0.0, 0},     {5, 0.0, 0},  {10, 0.0, 0}, {0, kPi / 2, 0},
        {5, kPi / 6, 0}, {10, kPi, 0}, {8, 0.0, 1},  {2, 4.0, 1},
    };
    for (const Row& row : rows) {
        sheet->texts().clear();
        auto text = std::make_unique<LexText>(QsPoint(10000, 20000), "HT<&", 0);
        text->setJustification(row.justification);
        text->setPath(row.path);
        text->rotate(text->position(), row.angle);
        text->setColor(2);
        const QsBox box = add(std::move(text)).box();
        auto picture = draw();
        const std::vector<const Element*> groups = picture->all("g");
        const Element* drawn = nullptr;
        for (const Element* g : groups)
            if (g->attr("class") == "text") drawn = g;
        ASSERT_NE(drawn, nullptr);
        EXPECT_EQ(drawn->all("title")[0]->text, "HT&lt;&amp;");
        EXPECT_EQ(drawn->inherited("stroke"), "#ff0000");
        // The strokes fill the box the text is measured to occupy: the same middle, and no
        // stroke outside it.
        const auto b = svgtest::boundsOf(svgtest::pathPoints(drawn->all("path")[0]->attr("d")));
        const std::string where = std::to_string(row.justification) + " " +
                                  std::to_string(row.angle) + " " + std::to_string(row.path);
        const double slack = 0.2 * std::max(box.width(), box.height());
        EXPECT_NEAR((b[0] + b[2]) / 2, (box.x1 + box.x2) / 2.0, slack) << where;
        EXPECT_NEAR((b[1] + b[3]) / 2, (box.y1 + box.y2) / 2.0, slack) << where;
        EXPECT_TRUE(b[0] >= box.x1 - 1 && b[1] >= box.y1 - 1 && b[2] <= box.x2 + 1 &&
                    b[3] <= box.y2 + 1)
            << where;
        EXPECT_TRUE(b[2] - b[0] > 0.5 * box.width() && b[3] - b[1] > 0.5 * box.height()) << where;
    }
}

TEST_F(SheetViewTest, TextWithoutFontShowsItsBox) {
    testsupport::ScopedEnv noRoot("QRXROOT", std::nullopt);
    fresh();
    const QsBox box = add(std::make_unique<LexText>(QsPoint(100, 200), "AB", 0)).box();
    auto root = draw();
    const Element& path = drawnPath(*root);
    const auto b = svgtest::boundsOf(svgtest::pathPoints(path.attr("d")));
    EXPECT_EQ(
        b, (std::array<double, 4>{double(box.x1), double(box.y1), double(box.x2), double(box.y2)}));
}

TEST(ViewBoxTest, AroundTheExtentWithAMargin) {
    struct Row {
        Extent extent;
        std::array<std::int64_t, 4> box;
    } rows[] = {
        {Extent{}, {-5000, -5000, 10000, 10000}},                    // nothing drawn: 10 mm
        {Extent{700, 800, 700, 800}, {-4300, -5800, 10000, 10000}},  // one point
        {Extent{0, 0, 5000, 0}, {-100, -100, 5200, 200}},            // a flat line
        {Extent{-2'000'000'000, 0, 2'000'000'000, 1000},             // 4000 km across: no overflow
         {-2'080'000'000, -80'001'000, 4'160'000'000, 160'001'000}},
    };
    for (const Row& row : rows) {
        const ViewBox b = viewBoxAround(row.extent);
        EXPECT_EQ((std::array<std::int64_t, 4>{b.x, b.y, b.width, b.height}), row.box);
    }
}

TEST(XmlTextTest, EscapesWhatXmlReservesAndKeepsEveryByteReadable) {
    struct Row {
        std::string in;
        const char* out;
    } rows[] = {
        {"a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;"},
        {std::string("tab\tbell\x07nul", 12) + std::string(1, '\0'), "tab\tbell?nul?"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},                        // UTF-8 stays
        {"\x82\xa0 \xe9t\xe9", "&#x82;&#xA0; &#xE9;t&#xE9;"},  // other bytes as Latin-1
        {"\xed\xa0\x80", "&#xED;&#xA0;&#x80;"},                // no surrogates
        {"\xe2\x82", "&#xE2;&#x82;"},                          // cut short
    };
    for (const Row& row : rows) {
        std::string out;
        appendXmlText(out, row.in);
        EXPECT_EQ(out, row.out);
    }
}

}  // namespace

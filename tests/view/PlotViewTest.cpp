// Drawing plots as a plotter draws them: which figures are filled, in which ink, where, and
// what reading a plot reports besides its figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SvgTree.h"
#include "convert/HpglConverter.h"
#include "hpgl/PlotPage.h"
#include "support/TestSupport.h"
#include "view/PlotView.h"
#include "view/SvgCanvas.h"
#include "view/ViewDocument.h"

using svgtest::Element;

namespace {

struct Drawn {
    PlotReading reading;
    PlotCounts counts;
    std::string commands;  // the mnemonic of each figure's command, blank-separated
    std::unique_ptr<Element> svg;
    Extent extent;
};

PlotSizing atScale(double scale) {
    PlotSizing sizing;
    sizing.scale = scale;
    return sizing;
}

Drawn drawPlot(const std::string& plot, const PlotSizing& sizing = atScale(1.0),
               std::int64_t dx = 0, std::int64_t dy = 0) {
    testsupport::TempDir dir;
    const std::string path = dir.file("p.plt");
    EXPECT_TRUE(testsupport::writeFile(path, plot));
    Drawn d;
    SvgCanvas canvas("plot", dx, dy);
    d.reading = readPlotFigures(path, sizing, [&](const PlotFigure& f) {
        const char* command = f.source.command;
        d.commands += std::string(d.commands.empty() ? "" : " ") + (command ? command : "-");
        drawPlotFigure(f, canvas, d.counts);
    });
    d.extent = canvas.extent();
    d.svg = svgtest::parse(standaloneSvg(canvas, Rgb{255, 255, 255}));
    EXPECT_NE(d.svg, nullptr);
    return d;
}

// The paths drawn (patterns aside), each as "fill d".
std::vector<std::string> paths(const Element& svg) {
    std::vector<std::string> out;
    for (const Element* p : svg.all("path"))
        if (p->parent->name != "pattern") out.push_back(p->inherited("fill") + " " + p->attr("d"));
    return out;
}

TEST(PlotViewTest, ShapesAreFilledWhereThePlotFillsThem) {
    struct Row {
        const char* plot;
        const char* commands;
        long strokes, filled, edged, labels;
    } rows[] = {
        {"IN;SP1;PA0,0;PD100,0,100,100;", "PD", 1, 0, 0, 0},
        {"IN;SP1;PA0,0;PM0;PD100,0,100,100,0,0;PM2;FP;", "FP", 0, 1, 0, 0},
        {"IN;SP1;PA0,0;PM0;PD100,0,100,100,0,0;PM2;EP;", "EP", 0, 0, 1, 0},
        {"IN;SP1;PA0,0;PM0;PD100,0,100,100,0,0;PM2;FP;EP;", "FP EP", 0, 1, 1, 0},
        {"IN;SP1;PA0,0;RA100,100;RR50,50;", "RA RR", 0, 2, 0, 0},
        {"IN;SP1;PA0,0;EA100,100;ER50,50;", "EA ER", 0, 0, 2, 0},
        // EW does not end its batch: the wedges keep their own commands.
        {"IN;SP1;PA0,0;EW100,0,90;WG100,180,90;", "EW WG", 0, 1, 1, 0},
        {"IN;SP1;PA0,0;CI100;PU;LBab\x03", "CI LB", 1, 0, 0, 1},
    };
    for (const Row& row : rows) {
        const Drawn d = drawPlot(row.plot);
        EXPECT_EQ(d.reading.result, kConvertDone) << row.plot;
        EXPECT_EQ(d.commands, row.commands) << row.plot;
        EXPECT_EQ(d.counts.strokes, row.strokes) << row.plot;
        EXPECT_EQ(d.counts.filled, row.filled) << row.plot;
        EXPECT_EQ(d.counts.edged, row.edged) << row.plot;
        EXPECT_EQ(d.counts.labels, row.labels) << row.plot;
    }
}

TEST(PlotViewTest, FiguresAreDrawnInTheInkOfTheirPenWithHolesLeftOpen) {
    // A square with a square hole, filled with pen 2, then a stroke with pen 3, 0.5 mm wide.
    const Drawn d = drawPlot(
        "IN;SP2;PA0,0;PM0;PD1000,0,1000,1000,0,1000,0,0;PM1;PA250,250;PD750,250,750,750,250,750,"
        "250,250;PM2;FP;SP3;PW0.5;PU0,0;PD0,2000;");
    const std::vector<std::string> drawn = paths(*d.svg);
    ASSERT_EQ(drawn.size(), 2u);
    // Plotter units are 25 output units at scale 1; the hole is the second subpath.
    EXPECT_EQ(drawn[0],
              "#dc0000 M0 0L25000 0 25000 -25000 0 -25000ZM6250 -6250L18750 -6250 18750 -18750 "
              "6250 -18750Z");
    EXPECT_EQ(drawn[1], "none M0 0L0 -50000");
    const std::vector<const Element*> all = d.svg->all("path");
    EXPECT_EQ(all.back()->inherited("stroke"), "#009600");
    // Pens draw thin lines whatever their width: the picture's hairline.
    EXPECT_EQ(all.back()->inherited("stroke-width"), d.svg->attr("stroke-width"));
    EXPECT_EQ(d.counts.pens, (std::set<int>{2, 3}));
}

TEST(PlotViewTest, ScaleAndOffsetsPlaceTheFiguresAsTheConversionDoes) {
    const Drawn d = drawPlot("IN;SP1;PA100,200;PD300,200;", atScale(1.6), 5000, -7000);
    EXPECT_EQ(paths(*d.svg)[0], "none M9000 -1000L17000 -1000");
    EXPECT_EQ(d.extent.xmin, 9000);
    EXPECT_EQ(d.extent.ymax, 1000);
}

TEST(PlotViewTest, ReadingReportsWhatCannotBeDrawn) {
    std::string longStroke = "IN;SP1;PA0,0;PD";
    for (int i = 0; i < 70000; ++i)
        longStroke += std::to_string(i % 100) + ",0,";
    longStroke += "0,0;PD5,5;";
    struct Row {
        std::string plot;
        int result;
        long longStrokes, failed, drawn;
    } rows[] = {
        {longStroke, kConvertDone, 1, 1, 1},  // dropped, with the PD's own code
        {"IN;SP1;PA0,0;SI1e999,1;", kConvertDone, 0, 1, 0},
        {"12345 ,;.", kConvertNoStatements, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const Drawn d = drawPlot(row.plot);
        EXPECT_EQ(d.reading.result, row.result) << row.plot.substr(0, 30);
        EXPECT_EQ(d.reading.longStrokes, row.longStrokes) << row.plot.substr(0, 30);
        EXPECT_EQ(d.reading.failedStatements, row.failed) << row.plot.substr(0, 30);
        EXPECT_EQ(d.counts.drawn(), row.drawn) << row.plot.substr(0, 30);
    }
    testsupport::TempDir dir;
    const auto nothing = [](const PlotFigure&) {};
    EXPECT_EQ(readPlotFigures(dir.file("missing.plt"), atScale(1.6), nothing).result,
              kConvertNoInput);
    EXPECT_EQ(readPlotFigures(dir.path(), atScale(1.6), nothing).result, kConvertUnreadable);
}

}  // namespace

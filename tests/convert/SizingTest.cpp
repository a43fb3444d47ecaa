// Sizing a conversion: user scaling brings plots that scale their coordinates onto the page they
// were made for, and a fit scales the new drawing, and only it, into a box before the offsets.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "convert/HpglConverter.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/LexText.h"
#include "db/ResourceSettings.h"
#include "geom/QsBox.h"
#include "support/SheetObjects.h"
#include "support/TestSupport.h"

namespace {

class SizingTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbInitialise();
        // Font heights 2000, 2500 and 3000 for the labels.
        ASSERT_EQ(landata.read("textTable 5 { 0 1 2000 0 0  1 1 2500 0 0  2 1 3000 0 0 }\n"), 1);
        database = dbOpen(dir.file("out.smb"), &landata, LexDatabase::kModeCreate);
        sheet = dbCreateSheet(database, "Sheet", LexSheet::kKindSymbol);
        ASSERT_NE(sheet.sheet(), nullptr);
    }
    void TearDown() override { dbCloseAll(); }

    // Converts the plot text with the sizing (and offsets); the converter for its tally.
    HpglConverter& convert(const std::string& text, const PlotSizing& sizing, int32_t dx = 0,
                           int32_t dy = 0) {
        const std::string path = dir.file("plot" + std::to_string(++plots) + ".hgl");
        testsupport::writeFile(path, text);
        return convertFile(path, sizing, dx, dy);
    }
    HpglConverter& convertFile(const std::string& path, const PlotSizing& sizing, int32_t dx = 0,
                               int32_t dy = 0) {
        converter = std::make_unique<HpglConverter>(&landata, nullptr, sheet, dx, dy);
        EXPECT_EQ(converter->convert(path, sizing, ""), kConvertDone);
        return *converter;
    }
    QsBox extent() const {
        QsBox box;
        sheet.sheet()->objectsExtent(box);
        return box;
    }

    testsupport::TempDir dir;
    DatabaseSettings landata{false};
    DbHandle database, sheet;
    std::unique_ptr<HpglConverter> converter;
    int plots = 0;
};

PlotSizing sizing(bool userScaling, int32_t fitWidth = 0, int32_t fitHeight = 0) {
    PlotSizing s;
    s.userScaling = userScaling;
    s.fitWidth = fitWidth;
    s.fitHeight = fitHeight;
    return s;
}

std::string boxText(const QsBox& b) {
    std::ostringstream o;
    o << b.x1 << ',' << b.y1 << ' ' << b.x2 << ',' << b.y2;
    return o.str();
}

}  // namespace

TEST_F(SizingTest, ScaledPlotsComeOutAtThePageTheyWereMadeFor) {
    if (testsupport::corpusFiles().empty()) GTEST_SKIP() << "no plot corpus";
    // The user rectangle of SC fills P1 to P2 (P2 keeping its offset from the page corner when
    // IP names P1 only): the drawn user extent mapped that way, at 40 output units per plotter
    // unit. hp.hpgl: P1 (400, 4500), P2 (31800, 26950) for SC 0..9000 x 0..6363; space-shuttle:
    // (3500, 300)-(34900, 22750) for 0..2247 x 0..1800; tektronix: (2400, 400)-(33800, 22850)
    // for 0..1800000 x 0..1300000.
    const std::pair<const char*, const char*> plots[] = {
        {"VK2BEA__HPGL-Plotter/hp.hpgl", "16000,180000 1205711,416672"},
        {"VK2BEA__HPGL-Plotter/space-shuttle.hpgl", "141677,-6958 905227,880566"},
        {"VK2BEA__HPGL-Plotter/tektronix.hpgl", "96000,16000 954060,859222"},
    };
    for (const auto& [file, box] : plots) {
        SCOPED_TRACE(file);
        dbCloseAll();
        SetUp();
        convertFile(testsupport::corpusDir() + "/" + file, sizing(true));
        EXPECT_EQ(boxText(extent()), box);
        EXPECT_GT(converter->tally().figuresWith(FigureOutcome::kAdded), 0);
        EXPECT_EQ(converter->tally().figuresWith(FigureOutcome::kOutOfRange), 0);
    }
}

TEST_F(SizingTest, FitScalesTheDrawingIntoTheBox) {
    // A stroke and a circle: 2500 x 1500 plotter units, 100000 x 60000 output units at 40.
    const std::string plot = "IN;SP1;PU1000,1000;PD3000,1000,3000,2000;CI500;";
    const struct {
        PlotSizing sizing;
        int32_t dx, dy;
        const char* extent;
    } cases[] = {
        {sizing(false), 0, 0, "40000,40000 140000,100000"},
        // The width decides: half size, about the origin.
        {sizing(false, 50000, 50000), 0, 0, "20000,20000 70000,50000"},
        // The height decides.
        {sizing(false, 500000, 30000), 0, 0, "20000,20000 70000,50000"},
        // Larger too; the offsets move the fitted drawing.
        {sizing(false, 200000, 200000), 1000, -2000, "81000,78000 281000,198000"},
    };
    for (const auto& c : cases) {
        dbCloseAll();
        SetUp();
        const HpglConverter& done = convert(plot, c.sizing, c.dx, c.dy);
        EXPECT_EQ(boxText(extent()), c.extent);
        EXPECT_FALSE(done.tally().fitWithoutExtent);
    }
    // With user scaling, the fit takes the scaled drawing: 40000 x 20000 into 10 x 10 mm.
    dbCloseAll();
    SetUp();
    convert("IN;IP0,0,1000,1000;SC0,10,0,10;PU0,0;PD10,5;", sizing(true, 10000, 10000));
    EXPECT_DOUBLE_EQ(converter->tally().unitFactor, 10.0);
    EXPECT_EQ(boxText(extent()), "0,0 10000,5000");
}

TEST_F(SizingTest, FitReachesLabelSizesAndOnlyTheNewDrawing) {
    // The label's height 4600 takes the font of height 3000; fitted to half size (2300), the
    // font of 2500.
    convert("IN;PU0,0;PD2000,0;PU0,0;LBA\x03", sizing(false));
    auto texts = [this] { return listObjects<LexText>(*sheet.sheet(), kLexListTexts); };
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts().front()->font(), 2);
    const QsBox first = extent();
    convert("IN;PU0,0;PD2000,0;PU0,0;LBA\x03", sizing(false, 40000, 40000));
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts().back()->font(), 1);
    // The drawing made before keeps its place and size.
    EXPECT_EQ(texts().front()->font(), 2);
    EXPECT_EQ(boxText(extent()), boxText(first));
}

TEST_F(SizingTest, DrawingsWithoutExtentAreLeftAsTheyAre) {
    // Nothing drawn, or everything in one point: no factor makes it fit, and the conversion
    // says so.
    for (const char* plot : {"IN;PU100,100;", "IN;PU10,10;PD10,10;"}) {
        SCOPED_TRACE(plot);
        const HpglConverter& done = convert(plot, sizing(false, 10000, 10000));
        EXPECT_TRUE(done.tally().fitWithoutExtent);
        EXPECT_DOUBLE_EQ(done.tally().unitFactor, 40.0);
    }
    EXPECT_EQ(boxText(extent()), "400,400 400,400");
    // A line has an extent in one direction: that one decides (40000 high into 20000).
    convert("IN;PU0,0;PD0,1000;", sizing(false, 10000, 20000));
    EXPECT_FALSE(converter->tally().fitWithoutExtent);
    EXPECT_DOUBLE_EQ(converter->tally().unitFactor, 20.0);
}

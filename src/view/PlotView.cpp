#include "view/PlotView.h"

#include <exception>
#include <memory>
#include <vector>

#include "base/PathUtil.h"
#include "convert/HpglConverter.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "hpgl/StatementBatch.h"
#include "view/Palette.h"
#include "view/SvgCanvas.h"

namespace {

// Hands each figure of the plot to the caller's function and counts what cannot be drawn.
class FigureReader : public FigureSink {
public:
    FigureReader(const std::function<void(const PlotFigure&)>& fn, PlotReading& reading)
        : fn_(fn), reading_(reading) {}

    void polyline(std::unique_ptr<QsPolyline> line, const FigureSource& source) override {
        fn_(PlotFigure{line.get(), source});
    }
    void polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource& source) override {
        fn_(PlotFigure{polygon.get(), source});
    }
    void text(std::unique_ptr<QsText> text, const FigureSource& source) override {
        fn_(PlotFigure{text.get(), source});
    }
    // A failing statement adds its command's own code (below 51) once; the codes from 51 on say
    // why.
    void statementFailed(std::string_view, std::int32_t code) override {
        if (code == kHpglCodeVertexAppend) ++reading_.longStrokes;
        if (code < kHpglCodePolygonFinish) ++reading_.failedStatements;
    }
    void endOfInput(const StatementCounts&) override {}

private:
    const std::function<void(const PlotFigure&)>& fn_;
    PlotReading& reading_;
};

}  // namespace

PlotReading readPlotFigures(const std::string& path, const PlotSizing& sizing,
                            const std::function<void(const PlotFigure&)>& fn) {
    PlotReading reading;
    if (pathKind(path) == 0) {
        reading.result = kConvertNoInput;
        return reading;
    }
    // The interpreter a conversion with this sizing makes.
    std::unique_ptr<HpglInterpreter> interpreter;
    try {
        interpreter =
            std::make_unique<HpglInterpreter>(path, sizing.unitFactor(), sizing.userScaling);
    } catch (const std::exception&) {
        reading.result = kConvertUnreadable;
        return reading;
    }
    if (pathKind(path) == 1 || !interpreter->open()) {
        reading.result = kConvertUnreadable;
        return reading;
    }
    if (interpreter->countStatements(1) < 1) {
        reading.result = kConvertNoStatements;
        return reading;
    }
    reading.fitWithoutExtent = fitPlotToBox(*interpreter, sizing).noExtent;
    FigureReader reader(fn, reading);
    interpreter->run(reader);
    reading.result = kConvertDone;
    return reading;
}

namespace {

// Draws each kind of figure and counts it.
struct FigurePainter {
    SvgCanvas& canvas;
    PlotCounts& counts;
    Paint paint;
    const FigureSource& source;

    void operator()(const QsPolyline* line) {
        canvas.setPaint(paint);
        canvas.path(*line);
        ++counts.strokes;
    }
    void operator()(const QsPolygon* polygon) {
        const bool filled = source.fills();
        paint.fill = filled ? FillKind::Solid : FillKind::None;
        canvas.setPaint(paint);
        canvas.polygon(*polygon, polygon->holes());
        ++(filled ? counts.filled : counts.edged);
    }
    void operator()(const QsText* text) {
        canvas.setPaint(paint);
        drawStrokedText(*text, text->stringView(), canvas);
        ++counts.labels;
    }
};

}  // namespace

void drawPlotFigure(const PlotFigure& plotted, SvgCanvas& canvas, PlotCounts& counts) {
    // Every pen draws a thin line: the picture shows where the pen went, not the width of its
    // tip (the plot's widths are in units that depend on its width mode).
    Paint paint;
    paint.stroke = penColour(plotted.source.pen);
    std::visit(FigurePainter{canvas, counts, paint, plotted.source}, plotted.shape);
    counts.pens.insert(plotted.source.pen);
}

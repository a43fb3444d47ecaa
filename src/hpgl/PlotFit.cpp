#include "hpgl/PlotFit.h"

#include <algorithm>
#include <memory>

#include "geom/QsBox.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"

namespace {

// Gathers the extent of every figure handed over.
class ExtentSink : public FigureSink {
public:
    explicit ExtentSink(PlotExtent& extent) : extent_(extent) {}

    void polyline(std::unique_ptr<QsPolyline> line, const FigureSource&) override {
        addRecords(*line);
    }
    void polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource&) override {
        // Holes lie inside the outline.
        addRecords(*polygon);
    }
    void text(std::unique_ptr<QsText> text, const FigureSource&) override {
        QsBox box;
        if (!text->getBox(box)) return;
        extent_.add(box.x1, box.y1);
        extent_.add(box.x2, box.y2);
    }
    void statementFailed(std::string_view, int32_t) override {}
    void endOfInput(const StatementCounts&) override {}

private:
    void addRecords(const QsRecordFigure& figure) {
        std::int64_t x1 = std::numeric_limits<std::int64_t>::max(), y1 = x1;
        std::int64_t x2 = std::numeric_limits<std::int64_t>::min(), y2 = x2;
        if (!figure.extendBox(x1, y1, x2, y2)) return;
        extent_.add(x1, y1);
        extent_.add(x2, y2);
    }

    PlotExtent& extent_;
};

}  // namespace

void PlotExtent::add(std::int64_t x, std::int64_t y) {
    any = true;
    xmin = std::min(xmin, x);
    ymin = std::min(ymin, y);
    xmax = std::max(xmax, x);
    ymax = std::max(ymax, y);
}

FitOutcome fitPlotToBox(HpglInterpreter& in, const PlotSizing& sizing) {
    FitOutcome outcome;
    outcome.unitFactor = sizing.unitFactor();
    if (!sizing.fits()) return outcome;
    ExtentSink sink(outcome.measured);
    in.run(sink);
    const double w = static_cast<double>(outcome.measured.width());
    const double h = static_cast<double>(outcome.measured.height());
    double factor = 0.0;
    if (w > 0) factor = sizing.fitWidth / w;
    if (h > 0) factor = factor > 0 ? std::min(factor, sizing.fitHeight / h) : sizing.fitHeight / h;
    if (factor > 0) {
        outcome.unitFactor *= factor;
        outcome.fitted = true;
    } else {
        outcome.noExtent = true;
    }
    in.restart(outcome.unitFactor);
    return outcome;
}

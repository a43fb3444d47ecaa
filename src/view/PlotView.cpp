#include "view/PlotView.h"

#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "base/PathUtil.h"
#include "convert/HpglConverter.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "hpgl/PlotPage.h"
#include "hpgl/StatementBatch.h"
#include "view/Palette.h"
#include "view/SvgCanvas.h"

namespace {

// The unit factor of one reading, back at its start value when the reading ends.
class ScopedUnitFactor {
public:
    explicit ScopedUnitFactor(double scale) {
        resetUnitFactor();
        setUnitFactor(unitFactor() * scale);
    }
    ~ScopedUnitFactor() { resetUnitFactor(); }
    ScopedUnitFactor(const ScopedUnitFactor&) = delete;
    ScopedUnitFactor& operator=(const ScopedUnitFactor&) = delete;
};

}  // namespace

PlotReading readPlotFigures(const std::string& path, double scale,
                            const std::function<void(const PlotFigure&)>& fn) {
    PlotReading reading;
    if (pathKind(path) == 0) {
        reading.result = kConvertNoInput;
        return reading;
    }
    ScopedUnitFactor factor(scale);
    std::unique_ptr<HpglInterpreter> interpreter;
    try {
        interpreter = std::make_unique<HpglInterpreter>(path);
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
    StatementBatch batch;
    for (;;) {
        interpreter->dispatchBatch(batch);
        for (std::size_t i = 0; i < batch.figures.size(); ++i) {
            if (!batch.figures[i]) continue;
            const char* command = i < batch.madeBy.size() ? batch.madeBy[i] : nullptr;
            fn(PlotFigure{*batch.figures[i], batch.pen, command});
        }
        // A failing statement adds its command's own code (below 51) once; the codes from 51 on
        // say why, or mark the end of the input.
        for (std::int32_t code : batch.codes) {
            if (code == kHpglCodeVertexAppend) ++reading.longStrokes;
            if (code > kHpglCodeNoInput && code < kHpglCodePolygonFinish)
                ++reading.failedStatements;
        }
        if (batch.hasCode(kHpglCodeEndOfInput) || batch.hasCode(kHpglCodeNoInput)) break;
    }
    reading.result = kConvertDone;
    return reading;
}

bool fillsShapes(const char* command) {
    if (command == nullptr) return false;
    for (const char* filling : {"FP", "RA", "RR", "WG"})
        if (std::strcmp(command, filling) == 0) return true;
    return false;
}

void drawPlotFigure(const PlotFigure& plotted, SvgCanvas& canvas, PlotCounts& counts) {
    const QsFigure& figure = plotted.figure;
    // Every pen draws a thin line: the picture shows where the pen went, not the width of its
    // tip (the plot's widths are in units that depend on its width mode).
    Paint paint;
    paint.stroke = penColour(plotted.pen);
    switch (figure.typeCode()) {
        case kQsTypePolyline: {
            const auto& line = static_cast<const QsPolyline&>(figure);
            canvas.setPaint(paint);
            canvas.path(line);
            ++counts.strokes;
            break;
        }
        case kQsTypePolylineSet:
        case kQsTypePolygon: {
            const auto& set = static_cast<const QsPolylineSet&>(figure);
            const bool filled =
                figure.typeCode() == kQsTypePolylineSet || fillsShapes(plotted.command);
            paint.fill = filled ? FillKind::Solid : FillKind::None;
            canvas.setPaint(paint);
            static const std::vector<QsPolylineSet> kNoHoles;
            canvas.polygon(set, figure.typeCode() == kQsTypePolygon
                                    ? static_cast<const QsPolygon&>(figure).holes()
                                    : kNoHoles);
            ++(filled ? counts.filled : counts.edged);
            break;
        }
        case kQsTypeText: {
            const auto& text = static_cast<const QsText&>(figure);
            canvas.setPaint(paint);
            drawStrokedText(text, text.stringView(), canvas);
            ++counts.labels;
            break;
        }
        default:
            ++counts.other;
            return;
    }
    counts.pens.insert(plotted.pen);
}

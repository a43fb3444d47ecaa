// Drawing a plot as a pen plotter draws it on white paper: the figures the interpreter makes,
// before any conversion, in the ink of each pen as thin lines, filled where the plot fills (FP,
// RA, RR, WG) and edged elsewhere.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <variant>

#include "hpgl/FigureSink.h"
#include "hpgl/PlotFit.h"

class QsPolygon;
class QsPolyline;
class QsText;
class SvgCanvas;

// One figure of a plot in output units, as the interpreter made it, with the pen that drew it
// and the command that made it.
struct PlotFigure {
    std::variant<const QsPolyline*, const QsPolygon*, const QsText*> shape;
    FigureSource source;
};

// What reading a plot found besides its figures.
struct PlotReading {
    int result = 0;             // a ConvertResult: kConvertDone when the plot was read to its end
    long longStrokes = 0;       // strokes of more than 65535 points, which could not be kept
    long failedStatements = 0;  // statements that failed, those strokes included
    bool fitWithoutExtent = false;  // a fit was asked for, but the plot draws nothing to fit
};

// Reads the plot with the interpreter sized as a conversion sizes it (output units are 25 times
// the scale per plotter unit; user scaling and a fit when asked for) and hands every figure to
// fn in the order it was made. The result is kConvertDone, or kConvertNoInput,
// kConvertUnreadable or kConvertNoStatements as a conversion would report.
PlotReading readPlotFigures(const std::string& path, const PlotSizing& sizing,
                            const std::function<void(const PlotFigure&)>& fn);

// The figures of a plot, counted as they are drawn.
struct PlotCounts {
    long strokes = 0;
    long filled = 0;
    long edged = 0;
    long labels = 0;
    std::set<int> pens;

    long drawn() const { return strokes + filled + edged + labels; }
};

// Draws one figure onto the canvas in its pen's ink and counts it.
void drawPlotFigure(const PlotFigure& figure, SvgCanvas& canvas, PlotCounts& counts);

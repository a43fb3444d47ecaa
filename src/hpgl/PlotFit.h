// How big a plot is drawn: the scale of the conversion and the two sizing extensions, user
// scaling (SC and RO honoured) and fitting the drawing into a box. Fitting needs the extent of
// the drawing before anything is placed: the plot is read once to measure it, then read again
// at the unit factor that makes it fit.
#pragma once

#include <cstdint>
#include <limits>

#include "hpgl/PlotPage.h"

class HpglInterpreter;

struct PlotSizing {
    double scale = 1.6;         // output units are 25 times the scale per plotter unit
    bool userScaling = false;   // -p:userscale
    std::int32_t fitWidth = 0;  // -p:fit, output units; no fit unless both are positive
    std::int32_t fitHeight = 0;

    double unitFactor() const { return kInitialUnitFactor * scale; }
    bool fits() const { return fitWidth > 0 && fitHeight > 0; }
};

// The extent of a drawing's figures in output units.
struct PlotExtent {
    bool any = false;
    std::int64_t xmin = std::numeric_limits<std::int64_t>::max();
    std::int64_t ymin = std::numeric_limits<std::int64_t>::max();
    std::int64_t xmax = std::numeric_limits<std::int64_t>::min();
    std::int64_t ymax = std::numeric_limits<std::int64_t>::min();

    std::int64_t width() const { return any ? xmax - xmin : 0; }
    std::int64_t height() const { return any ? ymax - ymin : 0; }
    void add(std::int64_t x, std::int64_t y);
};

// What sizing chose for a plot.
struct FitOutcome {
    double unitFactor = 0.0;  // the factor the plot is read at
    bool fitted = false;      // a fit was asked for and applied
    bool noExtent = false;    // a fit was asked for, but the drawing has no extent (nothing
                              // drawn, or all of it in one point): it is read as it is
    PlotExtent measured;      // the extent at the scale, before fitting
};

// For an interpreter made at sizing.unitFactor() with its user scaling, opened and not read
// yet: without a fit, nothing happens. With one, the plot is read to its end to measure the
// extent of its figures (polylines and polygons with their arcs, texts with their outlines),
// and the interpreter starts again at the unit factor that scales that extent uniformly about
// the origin to fit the box (the larger of the two factors that fill its width or its height
// is not taken). A drawing without extent stays at the scale's factor.
FitOutcome fitPlotToBox(HpglInterpreter& in, const PlotSizing& sizing);

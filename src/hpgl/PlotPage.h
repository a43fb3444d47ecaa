// The process-wide plotter page (scaling points P1, P2 and the plot size, in plotter units) and
// the unit factor that turns plotter units into output units.
#pragma once

#include <cstdint>

#include "geom/QsPoint.h"

struct PlotPage {
    static constexpr QsPoint kDefaultSize{31400, 22450};

    QsPoint p1{0, 0};
    QsPoint p2 = kDefaultSize;
    QsPoint plotSize = kDefaultSize;
};

// The one page of the run. Creating an interpreter replaces it by a fresh one.
PlotPage& plotPage();
void resetPlotPage();

// Output units per plotter unit: 25.0 at start; the conversion multiplies it once by the scale.
double unitFactor();
void setUnitFactor(double factor);
// Back to 25.0 (for tests and a fresh run).
void resetUnitFactor();

// truncate(truncate(d) * unitFactor * f), d the distance from P1 to P2 in plotter units (f is
// used as given, not as a percentage). False, out untouched, when the result does not fit in 32
// bits or is not a number.
bool relativeSize(double f, int32_t& out);

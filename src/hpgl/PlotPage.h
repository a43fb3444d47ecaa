// The plotter page of an interpreter (scaling points P1, P2 and the plot size, in plotter units),
// and the process-wide unit factor from which a conversion takes its output units per plotter
// unit.
#pragma once

#include <cstdint>

#include "geom/QsPoint.h"

struct PlotPage {
    static constexpr QsPoint kDefaultSize{31400, 22450};

    QsPoint p1{0, 0};
    QsPoint p2 = kDefaultSize;
    QsPoint plotSize = kDefaultSize;

    // truncate(truncate(d) * k * f), d the distance from P1 to P2 in plotter units and k the
    // output units per plotter unit (f is used as given, not as a percentage). False, out
    // untouched, when the result does not fit in 32 bits or is not a number.
    bool relativeSize(double k, double f, int32_t& out) const;
};

// Output units per plotter unit at scale 1.
inline constexpr double kInitialUnitFactor = 25.0;

// The process-wide factor: 25.0 at start; the conversion multiplies it once by the scale and
// hands it to the interpreter it creates, which keeps its own copy.
double unitFactor();
void setUnitFactor(double factor);
// Back to 25.0 (for tests and a fresh run).
void resetUnitFactor();

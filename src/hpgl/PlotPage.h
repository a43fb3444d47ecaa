// The plotter page of an interpreter: the scaling points P1, P2 and the plot size, in plotter
// units.
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

// Output units per plotter unit at scale 1: a conversion at scale s hands its interpreter the
// unit factor 25 s.
inline constexpr double kInitialUnitFactor = 25.0;

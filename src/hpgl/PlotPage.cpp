#include "hpgl/PlotPage.h"

#include <cmath>

namespace {

constexpr double kInitialUnitFactor = 25.0;

PlotPage thePage;
double theUnitFactor = kInitialUnitFactor;

}  // namespace

PlotPage& plotPage() {
    return thePage;
}

void resetPlotPage() {
    thePage = PlotPage();
}

double unitFactor() {
    return theUnitFactor;
}

void setUnitFactor(double factor) {
    theUnitFactor = factor;
}

void resetUnitFactor() {
    theUnitFactor = kInitialUnitFactor;
}

bool relativeSize(double f, int32_t& out) {
    // The differences of two int32 values are exact in double.
    const double dx = static_cast<double>(thePage.p2.x) - static_cast<double>(thePage.p1.x);
    const double dy = static_cast<double>(thePage.p2.y) - static_cast<double>(thePage.p1.y);
    const double d = std::trunc(std::sqrt(dx * dx + dy * dy));
    return tryTruncTowardZero(d * theUnitFactor * f, out);
}

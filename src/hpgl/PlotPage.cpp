#include "hpgl/PlotPage.h"

#include <cmath>

bool PlotPage::relativeSize(double k, double f, int32_t& out) const {
    // The differences of two int32 values are exact in double.
    const double dx = static_cast<double>(p2.x) - static_cast<double>(p1.x);
    const double dy = static_cast<double>(p2.y) - static_cast<double>(p1.y);
    const double d = std::trunc(std::sqrt(dx * dx + dy * dy));
    return tryTruncTowardZero(d * k * f, out);
}

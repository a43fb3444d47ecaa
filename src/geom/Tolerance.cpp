#include "geom/Tolerance.h"

#include <cmath>

#include "base/SysEnv.h"

namespace {

struct ToleranceState {
    int32_t tol = 1;
    double unit = 1e-08;
    double ftol = 1e-08;
    int horV = -1;      // -1 not read yet, else 0 or 1
    int noRepair = -1;  // the same
};

ToleranceState& state() {
    static ToleranceState s;
    return s;
}

// A switch is on when its variable holds a non-empty value; like every environment read, it goes
// through the runtime base's lookup (environment, then registry).
bool switchOn(const char* name) {
    const char* v = getSysEnv(name);
    return v != nullptr && *v != '\0';
}

bool readOnce(int& cached, const char* name) {
    if (cached < 0) cached = switchOn(name) ? 1 : 0;
    return cached == 1;
}

}  // namespace

int32_t integerTolerance() {
    return state().tol;
}

void setIntegerTolerance(int32_t tol) {
    state().tol = tol;
    state().ftol = tol * state().unit;
}

double toleranceUnitFactor() {
    return state().unit;
}

void setToleranceUnitFactor(double factor) {
    state().unit = factor;
    state().ftol = state().tol * factor;
}

double floatTolerance() {
    return state().ftol;
}

bool lineHorVPrecision() {
    return readOnce(state().horV, "QBD_LINE_HORV_PRECISION");
}

bool noRepairTangentArcs() {
    return readOnce(state().noRepair, "QBD_NO_REPAIR_TARC");
}

void resetTolerance() {
    state() = ToleranceState();
}

bool isZeroInt(int64_t v) {
    return v >= -int64_t{state().tol} && v <= state().tol;
}

bool isEqualInt(int64_t a, int64_t b) {
    // The difference is taken unsigned, so no pair of 64-bit values can overflow it.
    uint64_t d = a >= b ? uint64_t(a) - uint64_t(b) : uint64_t(b) - uint64_t(a);
    return state().tol >= 0 && d <= uint64_t(state().tol);
}

bool isZeroDouble(double v) {
    return v >= -double(state().tol) && v <= double(state().tol);
}

bool isZeroFloatTol(double v) {
    return v >= -state().ftol && v <= state().ftol;
}

bool isZeroSquaredTol(double v) {
    double t2 = double(state().tol) * double(state().tol);
    return v >= -t2 && v <= t2;
}

bool isEqualDouble(double a, double b) {
    return std::abs(a - b) <= double(state().tol);
}

bool isEqualWithin(double a, double b, double e) {
    return std::abs(a - b) <= e;
}

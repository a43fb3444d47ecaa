// The process-wide geometric tolerance (integer and floating) with its predicates, and the two
// switches read once from the environment that change how lines and arc polylines are treated.
#pragma once

#include <cstdint>

// The largest difference in database units that still counts as equal (default 1).
int32_t integerTolerance();
// Sets the integer tolerance and keeps the floating tolerance equal to tol * unit factor.
void setIntegerTolerance(int32_t tol);
// Scale of the floating tolerance (default 1e-08).
double toleranceUnitFactor();
// Sets the unit factor and recomputes the floating tolerance.
void setToleranceUnitFactor(double factor);
// integerTolerance() * toleranceUnitFactor() (default 1e-08).
double floatTolerance();

// QBD_LINE_HORV_PRECISION: a line is horizontal or vertical when its two y (or x) coordinates
// are equal within the integer tolerance; off: only when exactly equal.
bool lineHorVPrecision();
// QBD_NO_REPAIR_TARC: polylines with tangent arcs are taken as given instead of being repaired.
bool noRepairTangentArcs();

// Back to the defaults; the two switches are read again at their next use (for tests).
void resetTolerance();

// -tol <= v <= tol for an integer.
bool isZeroInt(int64_t v);
// |a - b| <= tol for integers.
bool isEqualInt(int64_t a, int64_t b);
// -tol <= v <= tol for a double (the integer tolerance).
bool isZeroDouble(double v);
// -ftol <= v <= ftol (the floating tolerance).
bool isZeroFloatTol(double v);
// -tol^2 <= v <= tol^2.
bool isZeroSquaredTol(double v);
// |a - b| <= tol for doubles.
bool isEqualDouble(double a, double b);
// |a - b| <= e.
bool isEqualWithin(double a, double b, double e);

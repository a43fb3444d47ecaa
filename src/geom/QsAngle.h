// Angles in radians: comparisons within the angular tolerance, normalisation into a range, and the
// right-angle class by which rotations pick their exact cases.
#pragma once

inline constexpr double kQsPi = 3.141592653589793;
inline constexpr double kQsTwoPi = 6.283185307179586;
inline constexpr double kQsHalfPi = 1.5707963267948966;
// 0.01 degree.
inline constexpr double kAngleTolerance = 0.00017453292519943296;

// |a - b| <= tolerance.
bool angleEqual(double a, double b);
// a - b < -tolerance.
bool angleLess(double a, double b);
// a - b > tolerance.
bool angleGreater(double a, double b);
// a - b <= tolerance.
bool angleAtMost(double a, double b);
// a - b >= -tolerance.
bool angleAtLeast(double a, double b);

// Brings angle into [lo, hi) (bounds swapped when lo > hi) by whole turns. Returns 1 and stores
// the result; returns 0 and leaves angle unchanged when the range is narrower than a turn and the
// angle falls outside it, or when the angle is not finite.
int normaliseAngle(double& angle, double lo = 0.0, double hi = kQsTwoPi);

// The multiple of 45 degrees (0, 45, ..., 315) that the angle lies within 0.0001 radians of,
// after bringing it into [-0.0001, 2*pi - 0.0001); -1 for any other angle.
int rightAngleClass(double angle);
// The same test knowing only 0, 90, 180 and 270; -1 for every other angle.
int rightAngleClass90(double angle);

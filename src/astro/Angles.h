// Angles: the conversion between degrees and radians and the two wraps of
// an angle in radians, for every part of the program.
#pragma once

#include <cmath>

constexpr double Deg = M_PI / 180.0;      // one degree, in radians
constexpr double FullCircle = 2 * M_PI;   // radians in a full circle
constexpr double DegreesPerRadian = 180.0 / M_PI;

// Reduce to [0, 2 pi]; 2 pi itself is returned unchanged.
double NormalizeAngle(double x);
// Reduce to [-pi, pi]; both ends are returned unchanged.
double NormalizeSigned(double x);

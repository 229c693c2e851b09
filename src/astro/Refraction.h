// Atmospheric refraction: lifts a direction of the horizontal frame (S, E, U)
// from its true to its apparent altitude for the standard atmosphere
// (1013.25 hPa, 10 degrees C, 50 % humidity, light of 0.55 micrometres).
//
// Above 15 degrees the two-term model dz = A tan z + B tan^3 z with ERFA's
// constants for that atmosphere (eraRefco); below, G. G. Saemundsson's
// formula R = 1.02' / tan(h + 10.3 / (h + 5.11)) (h the true altitude in
// degrees; Sky & Telescope 72, 70, 1986), scaled to the same pressure and
// temperature: 34.5' at the apparent horizon. Under a true altitude of -1
// degree the lift fades linearly to nothing at -6 degrees, so the ground
// below keeps its place.
#pragma once

#include <array>

#include "Transforms.h"

struct TRefraction {
  double A = 0, B = 0;  // radians, dz = A tan z + B tan^3 z
  // The lift (radians) at evenly spaced sines of the true altitude from
  // sin(-6 degrees) to sin(15 degrees), read by linear interpolation.
  static constexpr int Steps = 512;
  std::array<double, Steps + 1> Low{};
};

// The refraction of the standard atmosphere (made once, never changed).
const TRefraction& StandardRefraction();

// Refraction (radians, >= 0) at the true altitude h (radians), exactly.
double RefractionAt(const TRefraction& r, double trueAltitude);

// The apparent direction of the true horizontal direction v (any length;
// the result has the same length): no trigonometry per point, the table
// below 15 degrees.
TVector3 Refract(const TRefraction& r, const TVector3& v);

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

#include <algorithm>
#include <array>
#include <cmath>

#include "Transforms.h"

struct TRefraction {
  double A = 0, B = 0;  // radians, dz = A tan z + B tan^3 z
  // The lift (radians) at evenly spaced sines of the true altitude from
  // sin(-6 degrees) to sin(15 degrees), read by linear interpolation.
  static constexpr int Steps = 512;
  // sin(-6 degrees) and sin(15 degrees).
  static constexpr double SinLow = -0.10452846326765347, SinHigh = 0.25881904510252074;
  std::array<double, Steps + 1> Low{};
  // The sine of the true altitude that refraction lifts to the horizon:
  // a unit direction is seen above the horizon when its Z is at least this.
  double HorizonZ = 0;
};

// The refraction of the standard atmosphere (made once, never changed).
const TRefraction& StandardRefraction();

// Refraction (radians, >= 0) at the true altitude h (radians), exactly.
double RefractionAt(const TRefraction& r, double trueAltitude);

// The apparent direction of the true horizontal unit direction v (the
// result is of unit length to a few parts in 10^5): no trigonometry per
// point, at most one division and one root, the table below 15 degrees.
inline TVector3 Refract(const TRefraction& r, const TVector3& v) {
  const double z = v.Z;  // the sine of the true altitude of a unit vector
  if (z <= TRefraction::SinLow) return v;
  double k;  // the lift over the cosine of the altitude
  if (z >= TRefraction::SinHigh) {
    // dh = A tan z + B tan^3 z, tan z = cos h / sin h.
    const double w = 1.0 / z;
    k = w * (r.A + r.B * (w * w - 1.0));
  } else {
    constexpr double PerSine =
        TRefraction::Steps / (TRefraction::SinHigh - TRefraction::SinLow);
    const double x = (z - TRefraction::SinLow) * PerSine;
    const int i = std::min(static_cast<int>(x), TRefraction::Steps - 1);
    const double f = x - i;
    const size_t j = static_cast<size_t>(i);
    const double dh = r.Low[j] + (r.Low[j + 1] - r.Low[j]) * f;
    const double ch2 = 1.0 - z * z;
    if (!(ch2 > 1e-24)) return v;
    k = dh / std::sqrt(ch2);
  }
  // A step of dh toward the zenith along the sky (the tangent e_z - z v):
  // the turn is atan(dh), within 0.1 arc second of dh at the horizon.
  return {v.X - k * z * v.X, v.Y - k * z * v.Y, z + k * (1.0 - z * z)};
}

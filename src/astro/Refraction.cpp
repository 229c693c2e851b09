// Refraction by the two-term model high up and Saemundsson's formula near
// and below the horizon.
#include "Refraction.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Deg = 3.14159265358979323846 / 180.0;
constexpr double ArcMin = Deg / 60.0;
constexpr double PressureHpa = 1013.25, TemperatureC = 10.0;
// Saemundsson's formula is given for 1010 hPa and 10 degrees C.
constexpr double NearScale = PressureHpa / 1010.0 * 283.0 / (273.0 + TemperatureC);
constexpr double SwitchAltitude = 15 * Deg;
constexpr double FadeStart = -1 * Deg, FadeEnd = -6 * Deg;

double Saemundsson(double h) {
  const double hd = h / Deg;
  return NearScale * 1.02 * ArcMin / std::tan((hd + 10.3 / (hd + 5.11)) * Deg);
}

constexpr double SinLow = TRefraction::SinLow, SinHigh = TRefraction::SinHigh;

TRefraction MakeStandard() {
  TRefraction r;
  eraRefco(PressureHpa, TemperatureC, 0.5, 0.55, &r.A, &r.B);
  for (int i = 0; i <= TRefraction::Steps; ++i)
    r.Low[static_cast<size_t>(i)] =
        RefractionAt(r, std::asin(SinLow + (SinHigh - SinLow) * i / TRefraction::Steps));
  // Bisection for h + R(h) = 0 between -2 degrees and 0.
  double lo = -2 * Deg, hi = 0;
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    (mid + RefractionAt(r, mid) < 0 ? lo : hi) = mid;
  }
  r.HorizonZ = std::sin(hi);
  return r;
}

}  // namespace

const TRefraction& StandardRefraction() {
  static const TRefraction standard = MakeStandard();
  return standard;
}

double RefractionAt(const TRefraction& r, double h) {
  if (h >= SwitchAltitude) {
    const double tz = std::cos(h) / std::sin(h);
    // The model is written for the apparent zenith distance; one Newton step
    // from the true one, as ERFA's observed-place routines take it.
    const double w = r.B * tz * tz;
    const double s = std::sin(h);
    return (r.A + w) * tz / (1.0 + (r.A + 3.0 * w) / (s * s));
  }
  if (h >= FadeStart) return Saemundsson(h);
  if (h <= FadeEnd) return 0;
  return Saemundsson(FadeStart) * (h - FadeEnd) / (FadeStart - FadeEnd);
}

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

// sin(-6 degrees) and sin(15 degrees).
constexpr double SinLow = -0.10452846326765347, SinHigh = 0.25881904510252074;

TRefraction MakeStandard() {
  TRefraction r;
  eraRefco(PressureHpa, TemperatureC, 0.5, 0.55, &r.A, &r.B);
  for (int i = 0; i <= TRefraction::Steps; ++i)
    r.Low[static_cast<size_t>(i)] =
        RefractionAt(r, std::asin(SinLow + (SinHigh - SinLow) * i / TRefraction::Steps));
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

TVector3 Refract(const TRefraction& r, const TVector3& v) {
  const double horizontal = std::sqrt(v.X * v.X + v.Y * v.Y);
  const double len = std::sqrt(horizontal * horizontal + v.Z * v.Z);
  if (!(horizontal > 1e-12 * len)) return v;  // at the zenith or nadir (or zero)
  const double sh = v.Z / len, ch = horizontal / len;
  if (sh <= SinLow) return v;
  double dh;
  if (sh >= SinHigh) {
    // The two-term model on the vector, as ERFA's observed-place routines.
    const double tz = ch / sh;
    const double w = r.B * tz * tz;
    dh = (r.A + w) * tz / (1.0 + (r.A + 3.0 * w) / (sh * sh));
  } else {
    const double x = (sh - SinLow) / (SinHigh - SinLow) * TRefraction::Steps;
    const int i = std::min(static_cast<int>(x), TRefraction::Steps - 1);
    const double f = x - i;
    dh = r.Low[static_cast<size_t>(i)] + (r.Low[static_cast<size_t>(i) + 1] - r.Low[static_cast<size_t>(i)]) * f;
  }
  // Turn up by dh (under a degree: the series of sine and cosine to the
  // second order are exact to 0.1 milliarcsecond).
  const double cd = 1.0 - dh * dh / 2.0, sd = dh;
  const double sh2 = sh * cd + ch * sd, ch2 = ch * cd - sh * sd;
  const double f = ch2 / ch;
  return {v.X * f, v.Y * f, len * sh2};
}

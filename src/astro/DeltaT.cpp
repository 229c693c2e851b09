// Delta-T by the canon's polynomials and the recent observed values.
#include "DeltaT.h"

#include <cmath>
#include <initializer_list>

namespace {

double Poly(double t, std::initializer_list<double> c) {
  double s = 0;
  for (auto it = c.end(); it != c.begin();) s = s * t + *--it;
  return s;
}

double LongTermParabola(double y) {
  const double u = (y - 1820.0) / 100.0;
  return -20.0 + 32.0 * u * u;
}

// Observed Delta-T (seconds) at the start of the years 2005 .. 2025, every
// five years (IERS Earth orientation series, rounded to 0.01 s).
constexpr double RecentYear0 = 2005.0;
constexpr double RecentStep = 5.0;
constexpr double Recent[] = {64.69, 66.07, 67.64, 69.36, 69.20};
constexpr int RecentCount = sizeof Recent / sizeof Recent[0];
constexpr double RecentEnd = RecentYear0 + RecentStep * (RecentCount - 1);  // 2025.0

double Canon2050(double y) { return LongTermParabola(y) - 0.5628 * (2150.0 - y); }

}  // namespace

double DecimalYearOfJulianDay(double jd) { return 2000.0 + (jd - 2451544.5) / 365.25; }

double DeltaTSeconds(double y) {
  if (!std::isfinite(y)) return 0.0;
  if (y < -500.0) return LongTermParabola(y);
  if (y < 500.0)
    return Poly(y / 100.0, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192,
                            0.0090316521});
  if (y < 1600.0)
    return Poly((y - 1000.0) / 100.0, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463,
                                       -0.005050998, 0.0083572073});
  if (y < 1700.0) {
    const double t = y - 1600.0;
    return 120.0 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129.0;
  }
  if (y < 1800.0) {
    const double t = y - 1700.0;
    return Poly(t, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0});
  }
  if (y < 1860.0)
    return Poly(y - 1800.0, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272,
                             -0.0000001699, 0.000000000875});
  if (y < 1900.0)
    return Poly(y - 1860.0, {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174.0});
  if (y < 1920.0) return Poly(y - 1900.0, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
  if (y < 1941.0) return Poly(y - 1920.0, {21.20, 0.84493, -0.076100, 0.0020936});
  if (y < 1961.0) return Poly(y - 1950.0, {29.07, 0.407, -1.0 / 233.0, 1.0 / 2547.0});
  if (y < 1986.0) return Poly(y - 1975.0, {45.45, 1.067, -1.0 / 260.0, -1.0 / 718.0});
  if (y < RecentYear0)
    return Poly(y - 2000.0, {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
  if (y < RecentEnd) {
    const double x = (y - RecentYear0) / RecentStep;
    const int i = static_cast<int>(x);
    const double f = x - i;
    return Recent[i] + (Recent[i + 1] - Recent[i]) * f;
  }
  if (y < 2050.0) {
    // Leaves the last observed value level (the Earth's turning has lately
    // kept pace with atomic time) and bends to meet the canon at 2050.
    const double f = (y - RecentEnd) / (2050.0 - RecentEnd);
    return Recent[RecentCount - 1] + (Canon2050(2050.0) - Recent[RecentCount - 1]) * f * f;
  }
  if (y < 2150.0) return Canon2050(y);
  return LongTermParabola(y);
}

// Rise, transit and set by scanning the day and bisecting the crossings.
#include "Almanac.h"

#include <cmath>
#include <limits>

#include "Refraction.h"
#include "SolarSystem.h"
#include "TimeScales.h"
#include "Topocentric.h"
#include "Transforms.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TLocalPlace {
  double Ra, Dec, Radius, RotationAngle;
};

TLocalPlace PlaceOf(int body, double d, double latitude, double longitude) {
  TBodyTable table;
  SolarSystemUpdate(table, d);
  const TBodyState& b = table.Body(body);
  TLocalPlace p;
  p.RotationAngle =
      static_cast<double>(RotationAngleOfSidereal(table.Frame.ApparentSidereal, longitude));
  p.Ra = static_cast<double>(b.Lon);
  p.Dec = static_cast<double>(b.Lat);
  p.Radius = 0;
  if (body == BodySun) p.Radius = SunSemiDiameter(static_cast<double>(b.Dist));
  if (body == BodyMoon) {
    const TTopocentric t = TopocentricPlace(p.Ra, p.Dec, static_cast<double>(b.Dist),
                                            p.RotationAngle, latitude);
    p.Ra = t.Ra;
    p.Dec = t.Dec;
    p.Radius = MoonSemiDiameter(t.Dist);
  }
  return p;
}

// Sine of the hour angle (its sign tells east from west of the meridian)
// and its cosine.
void HourAngle(const TLocalPlace& p, double& s, double& c) {
  const double h = -p.RotationAngle - p.Ra;
  s = std::sin(h);
  c = std::cos(h);
}

// The moment in [a, b] at which f changes sign (f(a) and f(b) differ in
// sign), to a tenth of a second.
template <class F>
double Bisect(F f, double a, double b) {
  const bool fa = f(a) > 0;
  while (b - a > 0.1 / 86400) {
    const double m = (a + b) / 2;
    ((f(m) > 0) == fa ? a : b) = m;
  }
  return (a + b) / 2;
}

}  // namespace

double AboveHorizon(int body, double d, double latitude, double longitude, bool refraction) {
  const TLocalPlace p = PlaceOf(body, d, latitude, longitude);
  const TVector3 h = HorizontalDirection(p.Ra, p.Dec, p.RotationAngle, latitude);
  const double limb = std::asin(std::fmax(-1.0, std::fmin(1.0, h.Z))) + p.Radius;
  return std::sin(limb) - (refraction ? StandardRefraction().HorizonZ : 0.0);
}

TRiseTransitSet RiseTransitSet(int body, double dayStart, double latitude, double longitude,
                               bool refraction) {
  TRiseTransitSet r{NaN, NaN, NaN};
  if (body < BodySun || body > BodyPluto) return r;
  auto above = [&](double d) { return AboveHorizon(body, d, latitude, longitude, refraction); };
  auto west = [&](double d) {
    double s, c;
    HourAngle(PlaceOf(body, d, latitude, longitude), s, c);
    return s;
  };
  // Ten-minute steps: no body rises and sets within one step.
  constexpr int Steps = 144;
  double prevD = dayStart, prevUp = above(dayStart), prevWest = west(dayStart);
  for (int i = 1; i <= Steps; ++i) {
    const double d = dayStart + static_cast<double>(i) / Steps;
    const double up = above(d), w = west(d);
    if (std::isnan(r.Rise) && prevUp <= 0 && up > 0) r.Rise = Bisect(above, prevD, d);
    if (std::isnan(r.Set) && prevUp > 0 && up <= 0) r.Set = Bisect(above, prevD, d);
    if (std::isnan(r.Transit) && prevWest <= 0 && w > 0) {
      double s, c;
      HourAngle(PlaceOf(body, d, latitude, longitude), s, c);
      if (c > 0) r.Transit = Bisect(west, prevD, d);
    }
    prevD = d;
    prevUp = up;
    prevWest = w;
  }
  if (r.Rise >= dayStart + 1) r.Rise = NaN;
  if (r.Set >= dayStart + 1) r.Set = NaN;
  if (r.Transit >= dayStart + 1) r.Transit = NaN;
  return r;
}

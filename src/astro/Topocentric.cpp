// Topocentric places on the WGS84 ellipsoid through ERFA.
#include "Topocentric.h"

#include <erfa.h>

#include <cmath>

#include "SolarSystem.h"
#include "Transforms.h"

TTopocentric TopocentricPlace(double ra, double dec, double dist, double rotationAngle,
                              double latitude) {
  // Geocentric place of the observer in equatorial radii: rho cos phi' and
  // rho sin phi' from the ellipsoid.
  double xyz[3] = {1, 0, 0};
  if (eraGd2gce(1.0, 1.0 / 298.257223563, 0.0, latitude, 0.0, xyz) != 0) return {ra, dec, dist};
  const double lst = -rotationAngle;
  const TVector3 g = DirectionOf(ra, dec);
  const double x = dist * g.X - xyz[0] * std::cos(lst);
  const double y = dist * g.Y - xyz[0] * std::sin(lst);
  const double z = dist * g.Z - xyz[2];
  TTopocentric t;
  t.Dist = std::sqrt(x * x + y * y + z * z);
  t.Ra = AngleOf(x, y);
  t.Dec = LatitudeOf({x, y, z});
  return t;
}

TTopocentric TopocentricMoon(const TSkyloom& sky) {
  const TBodyState& m = sky.BodyTable.Body(BodyMoon);
  return TopocentricPlace(static_cast<double>(m.Lon), static_cast<double>(m.Lat),
                          static_cast<double>(m.Dist), sky.SiderealTime, sky.Latitude);
}

double SunSemiDiameter(double distAu) {
  constexpr double AtOneAu = 959.63 / 206264.80624709636;
  return distAu > 0 ? AtOneAu / distAu : AtOneAu;
}

double MoonSemiDiameter(double dist) {
  constexpr double Radius = 0.2725076;
  return dist > 1 ? std::asin(Radius / dist) : 0.0045;
}

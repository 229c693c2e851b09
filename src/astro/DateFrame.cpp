// Delta-T, precession-nutation and sidereal time of a moment through ERFA;
// the Earth's velocity from its Keplerian orbit.
#include "DateFrame.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>

#include "DeltaT.h"
#include "TimeScales.h"

namespace {

constexpr double J2000 = 2451545.0;
constexpr double Deg = 3.14159265358979323846 / 180.0;
// Gaussian gravitational constant (AU^(3/2) per day) and the speed of light
// in AU per day.
constexpr double GaussK = 0.01720209895;
constexpr double LightAuPerDay = 173.14463267424034;

// The Earth's heliocentric velocity (AU per day) in the ecliptic of J2000
// from its Keplerian orbit: mean longitude, perihelion and eccentricity
// referred to the fixed J2000 equinox (J. Meeus, Astronomical Algorithms,
// 2nd ed., tables 31.A/B), the equation of the centre to three terms. The
// planets' pull changes the velocity by a few parts in 10^4, i.e. the
// aberration by under 0.01 arc second.
void EarthVelocity(double jdTT, double v[3]) {
  const double t = (jdTT - J2000) / 36525.0;
  const double meanLon = (100.466457 + 35999.3728565 * t - 0.0000056 * t * t) * Deg;
  const double perihelion = (102.937348 + 0.3225557 * t + 0.00015026 * t * t) * Deg;
  const double e = 0.01670863 - 0.000042037 * t - 0.0000001267 * t * t;
  const double m = meanLon - perihelion;
  const double centre = (2 * e - e * e * e / 4) * std::sin(m) + 1.25 * e * e * std::sin(2 * m) +
                        13.0 / 12.0 * e * e * e * std::sin(3 * m);
  const double lon = meanLon + centre;  // true heliocentric longitude of the Earth
  const double a = 1.000001018;
  const double k = GaussK / std::sqrt(a * (1 - e * e));
  v[0] = -k * (std::sin(lon) + e * std::sin(perihelion));
  v[1] = k * (std::cos(lon) + e * std::cos(perihelion));
  v[2] = 0;
}

}  // namespace

TVector3 Rotate(const double m[3][3], const TVector3& v) {
  return {m[0][0] * v.X + m[0][1] * v.Y + m[0][2] * v.Z,
          m[1][0] * v.X + m[1][1] * v.Y + m[1][2] * v.Z,
          m[2][0] * v.X + m[2][1] * v.Y + m[2][2] * v.Z};
}

TVector3 RotateBack(const double m[3][3], const TVector3& v) {
  return {m[0][0] * v.X + m[1][0] * v.Y + m[2][0] * v.Z,
          m[0][1] * v.X + m[1][1] * v.Y + m[2][1] * v.Z,
          m[0][2] * v.X + m[1][2] * v.Y + m[2][2] * v.Z};
}

TDateFrame DateFrameOf(double dayCount) {
  TDateFrame f;
  f.DayCount = dayCount;
  f.JdUT = dayCount + static_cast<double>(JulianDayOfDayZero);
  f.DeltaT = DeltaTSeconds(DecimalYearOfJulianDay(f.JdUT));
  f.JdTT = f.JdUT + f.DeltaT / 86400.0;
  const double tt = f.JdTT - J2000, ut = f.JdUT - J2000;

  double dpsi = 0, deps = 0;
  eraNut00b(J2000, tt, &dpsi, &deps);
  double rb[3][3], rp[3][3], rbp[3][3];
  eraPn06(J2000, tt, dpsi, deps, &f.MeanObliquity, rb, rp, rbp, f.Nutation, f.Npb);
  f.NutationLon = dpsi;
  f.TrueObliquity = f.MeanObliquity + deps;
  // Apparent sidereal angle: the IAU 2006 mean angle plus the equation of
  // the equinoxes (its complementary terms, under 3 milliarcseconds, left out).
  f.ApparentSidereal = eraAnp(eraGmst06(J2000, ut, J2000, tt) + dpsi * std::cos(f.MeanObliquity));

  double ve[3];
  EarthVelocity(f.JdTT, ve);
  const double ce = std::cos(ObliquityJ2000), se = std::sin(ObliquityJ2000);
  f.Velocity[0] = ve[0] / LightAuPerDay;
  f.Velocity[1] = (ce * ve[1] - se * ve[2]) / LightAuPerDay;
  f.Velocity[2] = (se * ve[1] + ce * ve[2]) / LightAuPerDay;
  return f;
}

TVector3 Aberrate(const TVector3& p, const double v[3]) {
  const double pv = p.X * v[0] + p.Y * v[1] + p.Z * v[2];
  TVector3 q{p.X + v[0] - pv * p.X, p.Y + v[1] - pv * p.Y, p.Z + v[2] - pv * p.Z};
  const double n = std::sqrt(q.X * q.X + q.Y * q.Y + q.Z * q.Z);
  return {q.X / n, q.Y / n, q.Z / n};
}

TVector3 ApparentOfJ2000(const TDateFrame& frame, const TVector3& j2000) {
  return Rotate(frame.Npb, Aberrate(j2000, frame.Velocity));
}

TVector3 EclipticOfDateToApparent(const TDateFrame& frame, const TVector3& e) {
  const double ce = std::cos(frame.MeanObliquity), se = std::sin(frame.MeanObliquity);
  const TVector3 mean{e.X, ce * e.Y - se * e.Z, se * e.Y + ce * e.Z};
  return Rotate(frame.Nutation, mean);
}

TVector3 ApparentToEcliptic(const TDateFrame& frame, const TVector3& q) {
  const double ce = std::cos(frame.TrueObliquity), se = std::sin(frame.TrueObliquity);
  return {q.X, ce * q.Y + se * q.Z, -se * q.Y + ce * q.Z};
}

void ApparentPlaces(std::span<TSkyPoint> points, int first, int last, const TDateFrame& frame) {
  first = std::max(first, 1);
  last = std::min(last, static_cast<int>(points.size()));
  for (int i = first; i <= last; ++i) {
    TSkyPoint& pt = points[static_cast<size_t>(i - 1)];
    const TVector3 v = ApparentOfJ2000(frame, {pt.X, pt.Y, pt.Z});
    pt.X = v.X;
    pt.Y = v.Y;
    pt.Z = v.Z;
  }
}

TVector3 ApparentDirection(const TVector3& j2000, double dayCount) {
  return ApparentOfJ2000(DateFrameOf(dayCount), j2000);
}

long double SkyRotationAngle(long double d, long double lambda) {
  return RotationAngleOfSidereal(DateFrameOf(static_cast<double>(d)).ApparentSidereal, lambda);
}

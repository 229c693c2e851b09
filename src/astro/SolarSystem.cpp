// The solar-system body table: series positions reduced to geocentric right
// ascension and declination of date, the Moon's phase angle, the planets'
// illuminated fraction and magnitudes.
#include "SolarSystem.h"

#include <erfa.h>

#include <cmath>
#include <limits>

#include "AstroMath.h"
#include "Gbk.h"
#include "Moon.h"
#include "Planets.h"
#include "DateFrame.h"
#include "TimeScales.h"

using namespace astro_detail;

const long double EarthRadiiPerAU = 14959787.0L / 12756.0L * 20.0L;

namespace {

// Magnitude law of Mercury .. Saturn (bodies 3..7): V0 + c1 i + c3 i^3 + c6 i^6,
// i the phase angle in degrees.
struct TMagnitudeLaw {
  long double V0, C1, C3, C6;
};
constexpr TMagnitudeLaw MagnitudeLaws[5] = {
    {-0.36L, 0.027L, 0.0L, 2.2e-13L},
    {-4.34L, 0.013L, 4.2e-7L, 0.0L},
    {-1.51L, 0.016L, 0.0L, 0.0L},
    {-9.25L, 0.014L, 0.0L, 0.0L},
    {-9.0L, 0.044L, 0.0L, 0.0L},
};

// Saturn's ring plane: inclination 28.06 degrees; node 169.51 degrees plus
// 3.82e-5 degrees per day of the day count.
constexpr long double RingInclination = 0.48973938810960888L;

int32_t RoundToEven(long double x) { return static_cast<int32_t>(std::lrint(x)); }

}  // namespace

long double MoonPhaseAngle(long double sunLon, long double moonLon, long double moonLat) {
  long double c = sunLon - moonLon;
  while (c > Pi) c -= 2.0L * Pi;
  while (c < -Pi) c += 2.0L * Pi;
  long double e = ArcCosL(std::cos(sunLon - moonLon) * std::cos(moonLat));
  return c > 0.0L ? Pi - e : Pi + e;
}

long double PlanetPhaseAngle(long double r, long double delta, long double sunDist) {
  return NormalizeSignedL(
      ArcCosL((r * r + delta * delta - sunDist * sunDist) / (2.0L * delta * r)));
}

int32_t PlanetMag10(int body, long double r, long double delta, long double phaseAngle) {
  if (body < BodyMercury || body > BodySaturn) return 100;
  long double deg = phaseAngle * 180.0L / Pi;
  const TMagnitudeLaw& law = MagnitudeLaws[body - BodyMercury];
  long double mag = 5.0L * std::log10(r * delta) + law.V0 + law.C1 * deg +
                    law.C3 * std::pow(deg, 3.0L) + law.C6 * std::pow(deg, 6.0L);
  return RoundToEven(mag * 10.0L);
}

int32_t SaturnRingMag10(long double lambda, long double beta, long double d) {
  long double node = (3.82e-5L * d + 169.51L) * Pi / 180.0L;
  long double sinB = std::sin(beta) * std::cos(RingInclination) -
                     std::cos(beta) * std::sin(RingInclination) * std::sin(lambda - node);
  long double b = ArcSinL(sinB);
  return RoundToEven((-2.6L * std::sin(std::fabs(b)) + 1.2L * sinB * sinB) * 10.0L);
}

namespace {

constexpr double LightAuPerDay = 173.14463267424034;

TVector3 Rectangular(const TEclipticPosition& p) {
  const double cb = std::cos(static_cast<double>(p.B));
  const double r = static_cast<double>(p.R);
  return {r * cb * std::cos(static_cast<double>(p.L)), r * cb * std::sin(static_cast<double>(p.L)),
          r * std::sin(static_cast<double>(p.B))};
}

double Length(const TVector3& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

// Ecliptic of J2000 -> equator of J2000.
TVector3 EclipticJ2000ToEquator(const TVector3& v) {
  const double ce = std::cos(ObliquityJ2000), se = std::sin(ObliquityJ2000);
  return {v.X, ce * v.Y - se * v.Z, se * v.Y + ce * v.Z};
}

// Right ascension and declination of date of an apparent direction, and its
// true ecliptic longitude and latitude of date.
void StorePlace(TBodyState& b, const TDateFrame& frame, const TVector3& apparent) {
  b.Lon = AngleOfL(apparent.X, apparent.Y);
  b.Lat = NormalizeSignedL(
      AngleOfL(std::sqrt(apparent.X * apparent.X + apparent.Y * apparent.Y), apparent.Z));
  const TVector3 e = ApparentToEcliptic(frame, apparent);
  b.EclLon = AngleOfL(e.X, e.Y);
  b.EclLat = NormalizeSignedL(AngleOfL(std::sqrt(e.X * e.X + e.Y * e.Y), e.Z));
}

// Apparent place of a geocentric J2000 ecliptic vector of the Sun or a
// planet (already corrected for light time): aberration by the Earth's
// velocity, then precession-nutation to the true equator of date.
void StoreSolarSystemPlace(TBodyState& b, const TDateFrame& frame, const TVector3& geocentric) {
  const TVector3 q = EclipticJ2000ToEquator(geocentric);
  const double r = Length(q);
  b.Dist = r;
  StorePlace(b, frame, ApparentOfJ2000(frame, {q.X / r, q.Y / r, q.Z / r}));
}

}  // namespace

// The table is a function of the day count alone, so an update for the day
// it holds, which every frame that only turns the view asks for, keeps it.
void SolarSystemUpdate(TBodyTable& out, long double d) {
  if (d == out.Day) return;
  out.Day = d;
  out.Frame = DateFrameOf(static_cast<double>(d));
  const TDateFrame& frame = out.Frame;
  TBodyState (&bodies)[BodyCount + 1] = out.Bodies;
  // The series run on Terrestrial Time.
  const double jd = frame.JdTT;

  TBodyState& sun = bodies[BodySun];
  TBodyState& moon = bodies[BodyMoon];
  for (int i = 1; i <= BodyCount; ++i) bodies[i] = TBodyState{};

  // The Earth, heliocentric ecliptic of J2000 (AU). The Sun's own motion in
  // the light time is left out (it is the origin of the series); its
  // apparent place is the Earth's reversed, with the annual aberration.
  const TVector3 earth = Rectangular(EarthPosition(jd));
  StoreSolarSystemPlace(sun, frame, {-earth.X, -earth.Y, -earth.Z});
  sun.HelioDist = sun.Dist;

  // Planets: the place the light left when it started toward the Earth now
  // (one light-time step: the distance changes little in a few hours). The
  // light time needs the distance to a part in a thousand only (a second of
  // light time moves Mercury by a twentieth of an arc second), so ERFA's
  // short planetary theory estimates it for Mercury .. Neptune; the full
  // series then runs once, at the time the light left. Pluto, which that
  // theory lacks, takes the series twice.
  const TVector3 earthEquatorial = EclipticJ2000ToEquator(earth);
  for (int i = 0; i < 8; ++i) {
    const TPlanetTable& table = *PlanetTables[i];
    double tau = 0;
    double pv[2][3];
    const int erfaPlanet = i < 2 ? i + 1 : i + 2;  // ERFA counts the Earth as planet 3
    if (i < 7 && eraPlan94(jd, 0.0, erfaPlanet, pv) != 2) {
      tau = Length({pv[0][0] - earthEquatorial.X, pv[0][1] - earthEquatorial.Y,
                    pv[0][2] - earthEquatorial.Z}) /
            LightAuPerDay;
    } else {
      const TVector3 now = Rectangular(PlanetPosition(table, jd));
      tau = Length({now.X - earth.X, now.Y - earth.Y, now.Z - earth.Z}) / LightAuPerDay;
    }
    const TVector3 p = Rectangular(PlanetPosition(table, jd - tau));
    TBodyState& b = bodies[BodyMercury + i];
    StoreSolarSystemPlace(b, frame, {p.X - earth.X, p.Y - earth.Y, p.Z - earth.Z});
    b.HelioDist = Length(p);
  }

  // The Moon: its series is geocentric, of the mean ecliptic and equinox of
  // date; nutation carries it to the true equator. It shares the Earth's
  // motion about the Sun, so no annual aberration.
  {
    const TEclipticPosition m = MoonPosition(jd);
    const TVector3 v = Rectangular(m);
    const TVector3 q = EclipticOfDateToApparent(frame, v);
    StorePlace(moon, frame, q);
    moon.Dist = Length(q) * EarthRadiiPerAU;
    moon.HelioDist = sun.Dist;
  }
  for (int i = 1; i <= 10; ++i) bodies[i].Mag10 = 100;

  moon.Phase = MoonPhaseAngle(sun.EclLon, moon.EclLon, moon.EclLat);

  // Phase and magnitude of Mercury .. Saturn.
  const long double bigR = sun.Dist;
  for (int i = BodyMercury; i <= BodySaturn; ++i) {
    TBodyState& b = bodies[i];
    long double phaseAngle = PlanetPhaseAngle(b.HelioDist, b.Dist, bigR);
    b.Phase = (std::cos(phaseAngle) + 1.0L) / 2.0L;
    b.Mag10 = PlanetMag10(i, b.HelioDist, b.Dist, phaseAngle);
  }
  // Saturn's rings brighten the planet as they open toward the Earth.
  const TBodyState& saturn = bodies[BodySaturn];
  bodies[BodySaturn].Mag10 += SaturnRingMag10(saturn.EclLon, saturn.EclLat, d);

  // The anti-solar point, exactly opposite the Sun.
  TBodyState& anti = bodies[BodyAntiSun];
  anti.Lon = NormalizeAngleL(sun.Lon + Pi);
  anti.Lat = -sun.Lat;
  anti.EclLon = NormalizeAngleL(sun.EclLon + Pi);
  anti.EclLat = -sun.EclLat;
  anti.Mag10 = 0;
}

void GeometricPlaces(double jdTT, TGeometricPlace (&out)[BodyCount + 1]) {
  for (TGeometricPlace& g : out) g = {};
  double precession[3][3];
  eraPmat06(2451545.0, jdTT - 2451545.0, precession);
  auto store = [&](int i, const TVector3& equatorOfDate) {
    const double r = Length(equatorOfDate);
    out[i].Dist = r;
    out[i].Ra = AngleOf(equatorOfDate.X, equatorOfDate.Y);
    out[i].Dec = LatitudeOf(equatorOfDate);
  };
  const TVector3 earth = Rectangular(EarthPosition(jdTT));
  store(BodySun, Rotate(precession, EclipticJ2000ToEquator({-earth.X, -earth.Y, -earth.Z})));
  for (int i = 0; i < 8; ++i) {
    const TVector3 p = Rectangular(PlanetPosition(*PlanetTables[i], jdTT));
    store(BodyMercury + i,
          Rotate(precession, EclipticJ2000ToEquator({p.X - earth.X, p.Y - earth.Y, p.Z - earth.Z})));
  }
  const TVector3 m = Rectangular(MoonPosition(jdTT));
  const double eps = eraObl06(2451545.0, jdTT - 2451545.0);
  const double ce = std::cos(eps), se = std::sin(eps);
  store(BodyMoon, {m.X, ce * m.Y - se * m.Z, se * m.Y + ce * m.Z});
}

namespace {

const char* const NamesUtf8[BodyCount + 1] = {
    "", "太阳", "月亮", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星", ""};
const char* const ENames[BodyCount + 1] = {
    "", "Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune",
    "Pluto", ""};

struct TNameTables {
  ShortString Chinese[BodyCount + 1];
  ShortString English[BodyCount + 1];
  TNameTables() {
    for (int i = 1; i <= BodyCount; ++i) {
      Chinese[i].set(Utf8ToGbk(NamesUtf8[i]));
      English[i].set(ENames[i]);
    }
  }
};

const TNameTables& Names() {
  static const TNameTables tables;
  return tables;
}

}  // namespace

const ShortString& BodyName(int index) {
  return Names().Chinese[(index >= 1 && index <= BodyCount) ? index : 0];
}

const ShortString& BodyEName(int index) {
  return Names().English[(index >= 1 && index <= BodyCount) ? index : 0];
}

std::string BodyNameUtf8(int index) {
  return (index >= 1 && index <= BodyCount) ? NamesUtf8[index] : "";
}

// The solar-system body table: series positions reduced to geocentric right
// ascension and declination of date, the Moon's phase angle, the planets'
// illuminated fraction and magnitudes.
#include "SolarSystem.h"

#include <cmath>
#include <limits>

#include "AstroMath.h"
#include "Gbk.h"
#include "Moon.h"
#include "Planets.h"
#include "TimeScales.h"

using namespace astro_detail;

const long double EarthRadiiPerAU = 14959787.0L / 12756.0L * 20.0L;

namespace {

// The body table with the day count it holds (NaN before the first
// update): the table is a function of the day count alone, so an update for
// the same day, which every frame that only turns the view asks for, keeps
// it as it is.
struct TBodyTable {
  TBodyState Bodies[BodyCount + 1];
  long double Day = std::numeric_limits<long double>::quiet_NaN();
} Table;
TBodyState (&Bodies)[BodyCount + 1] = Table.Bodies;
const TBodyState EmptyBody{};

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

// Carries a J2000 ecliptic place (radians) to the date exactly as every star
// is carried: to the J2000 equator by the obliquity of day 0, into the
// ecliptic frame of date by the obliquity of date, then along the ecliptic by
// the precession angle. Reduced to the equator by the obliquity of date, the
// place then equals the star rule applied to its J2000 equatorial place, so
// the Sun and the planets stand exactly where they belong among the stars.
void CarryToDate(long double& lon, long double& lat, long double epsilon0, long double epsilon,
                 long double precession) {
  const long double x = std::cos(lon) * std::cos(lat);
  const long double y = std::sin(lon) * std::cos(lat);
  const long double z = std::sin(lat);
  // Ecliptic of J2000 -> equator of J2000.
  const long double ye = std::cos(epsilon0) * y - std::sin(epsilon0) * z;
  const long double ze = std::sin(epsilon0) * y + std::cos(epsilon0) * z;
  // Equator -> the ecliptic frame of date.
  const long double yd = std::cos(epsilon) * ye + std::sin(epsilon) * ze;
  const long double zd = -std::sin(epsilon) * ye + std::cos(epsilon) * ze;
  lon = AngleOfL(x, yd) + precession;
  lat = NormalizeSignedL(AngleOfL(std::sqrt(x * x + yd * yd), zd));
}

}  // namespace

void SolarSystemUpdate(long double d) {
  if (d == Table.Day) return;
  Table.Day = d;
  const long double epsilon = Obliquity(d);
  const double jd = static_cast<double>(d + JulianDayOfDayZero);
  // The series of the Sun and the planets are of the equinox J2000; they are
  // carried to the date by the same precession as the stars (the Moon's
  // series is already of date).
  const long double epsilon0 = Obliquity(0.0L);
  const long double precession = PrecessionAngle(d);

  TBodyState& sun = Bodies[BodySun];
  TBodyState& moon = Bodies[BodyMoon];
  for (int i = 1; i <= BodyCount; ++i) Bodies[i] = TBodyState{};

  TEclipticPosition earth = EarthPosition(jd);
  sun.Lon = earth.L + Pi;  // not reduced
  sun.Lat = -earth.B;
  sun.Dist = earth.R;
  CarryToDate(sun.Lon, sun.Lat, epsilon0, epsilon, precession);

  TEclipticPosition m = MoonPosition(jd);
  moon.Lon = m.L;
  moon.Lat = m.B;
  moon.Dist = m.R;

  for (int i = 0; i < 8; ++i) {
    TEclipticPosition p = PlanetPosition(*PlanetTables[i], jd);
    TBodyState& b = Bodies[BodyMercury + i];
    b.Lon = p.L;
    b.Lat = p.B;
    CarryToDate(b.Lon, b.Lat, epsilon0, epsilon, precession);
    b.Lon = Mod2Pi(b.Lon);
    b.Dist = p.R;
  }

  for (int i = 1; i <= 10; ++i) {
    if (i != BodyMoon) Bodies[i].HelioDist = Bodies[i].Dist;
    Bodies[i].Mag10 = 100;
  }
  moon.HelioDist = sun.Dist;
  moon.Dist = moon.Dist * EarthRadiiPerAU;

  moon.Phase = MoonPhaseAngle(sun.Lon, moon.Lon, moon.Lat);

  // Reduction to the equator, the Sun last (the others read its ecliptic
  // place). Saturn's geocentric ecliptic direction is kept for its rings.
  const long double ce = std::cos(epsilon), se = std::sin(epsilon);
  long double saturnLambda = 0.0L, saturnBeta = 0.0L;
  for (int i = 10; i >= 1; --i) {
    TBodyState& b = Bodies[i];
    b.EclLon = b.Lon;
    b.EclLat = b.Lat;
    long double x = b.Dist * std::cos(b.Lon) * std::cos(b.Lat);
    long double y = b.Dist * std::sin(b.Lon) * std::cos(b.Lat);
    long double z = b.Dist * std::sin(b.Lat);
    if (i >= BodyMercury) {
      x += sun.Dist * std::cos(sun.Lon) * std::cos(sun.Lat);
      y += sun.Dist * std::sin(sun.Lon) * std::cos(sun.Lat);
      z += sun.Dist * std::sin(sun.Lat);
      b.Dist = std::sqrt(x * x + y * y + z * z);
    }
    if (i == BodySaturn) {
      saturnLambda = AngleOfL(x, y);
      saturnBeta = NormalizeSignedL(AngleOfL(std::sqrt(x * x + y * y), z));
    }
    long double y1 = ce * y - se * z;
    long double z1 = se * y + ce * z;
    b.Lon = AngleOfL(x, y1);
    b.Lat = NormalizeSignedL(AngleOfL(std::sqrt(x * x + y1 * y1), z1));
  }

  // Phase and magnitude of Mercury .. Saturn.
  const long double bigR = sun.Dist;
  for (int i = BodyMercury; i <= BodySaturn; ++i) {
    TBodyState& b = Bodies[i];
    long double phaseAngle = PlanetPhaseAngle(b.HelioDist, b.Dist, bigR);
    b.Phase = (std::cos(phaseAngle) + 1.0L) / 2.0L;
    b.Mag10 = PlanetMag10(i, b.HelioDist, b.Dist, phaseAngle);
  }
  // Saturn's rings brighten the planet as they open toward the Earth.
  Bodies[BodySaturn].Mag10 += SaturnRingMag10(saturnLambda, saturnBeta, d);

  // The anti-solar point, exactly opposite the Sun.
  TBodyState& anti = Bodies[BodyAntiSun];
  anti.Lon = NormalizeAngleL(sun.Lon + Pi);
  anti.Lat = -sun.Lat;
  anti.Mag10 = 0;
}

const TBodyState& Body(int index) {
  if (index < 1 || index > BodyCount) return EmptyBody;
  return Bodies[index];
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

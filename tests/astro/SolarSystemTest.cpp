// The body table: opposition of Sun and anti-solar point, phases,
// magnitudes, Saturn's rings, names, and apparent places against published examples.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "DeltaT.h"
#include "Gbk.h"
#include "Moon.h"
#include "Planets.h"
#include "SolarSystem.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

TEST(SolarSystem, SunAndAntiSolarPointAreExactlyOpposite) {
  TBodyTable t;
  for (long double d : {-1095000.0L, -36525.0L, 0.0L, 9557.5625L, 365250.0L}) {
    SolarSystemUpdate(t, d);
    const TBodyState& sun = t.Body(BodySun);
    const TBodyState& anti = t.Body(BodyAntiSun);
    EXPECT_NEAR(static_cast<double>(std::fabs(std::fabs(anti.Lon - sun.Lon) - Pi)), 0, 1e-15);
    EXPECT_EQ(anti.Lat, -sun.Lat);
    EXPECT_GE(anti.Lon, 0.0L);
    EXPECT_LE(anti.Lon, 2 * Pi);
  }
}

TEST(SolarSystem, AnUpdateForTheHeldDayKeepsTheTableAndAnotherDayReplacesIt) {
  // The table of day a, then of day b, then of day a again must be the table
  // first computed for a: an update skipped for the wrong day would leave b's.
  TBodyTable t;
  auto snapshot = [&] {
    std::vector<long double> v;
    for (int i = 1; i <= BodyCount; ++i) {
      const TBodyState& b = t.Body(i);
      v.insert(v.end(), {b.Dist, b.HelioDist, b.Lon, b.Lat, b.EclLon, b.EclLat, b.Phase,
                         static_cast<long double>(b.Mag10)});
    }
    return v;
  };
  const long double a = 9557.5625L, b = a + 1.0L / 1440;  // one minute later
  SolarSystemUpdate(t, a);
  const std::vector<long double> first = snapshot();
  SolarSystemUpdate(t, a);
  EXPECT_EQ(snapshot(), first);
  SolarSystemUpdate(t, b);
  EXPECT_NE(t.Body(BodyMoon).Lon, first[2 + 8]) << "the Moon moves in a minute";
  SolarSystemUpdate(t, a);
  EXPECT_EQ(snapshot(), first);
}

TEST(SolarSystem, TableShape) {
  TBodyTable t;
  SolarSystemUpdate(t, 9557.5625L);
  for (int i : {BodySun, BodyMoon, BodyUranus, BodyNeptune, BodyPluto})
    EXPECT_EQ(t.Body(i).Mag10, 100) << i;
  EXPECT_EQ(t.Body(BodyAntiSun).Mag10, 0);
  for (int i = 1; i <= BodyCount; ++i) {
    EXPECT_GE(t.Body(i).Lon, 0.0L);
    EXPECT_LE(t.Body(i).Lon, 2 * Pi);
    EXPECT_LE(std::fabs(t.Body(i).Lat), Pi / 2);
  }
  for (int i = BodyMercury; i <= BodySaturn; ++i) {
    EXPECT_GE(t.Body(i).Phase, 0.0L);
    EXPECT_LE(t.Body(i).Phase, 1.0L);
    EXPECT_NE(t.Body(i).Mag10, 100);
  }
  const TBodyState& moon = t.Body(BodyMoon);
  EXPECT_GT(moon.Dist, 55.0L);  // Earth radii
  EXPECT_LT(moon.Dist, 64.0L);
  EXPECT_EQ(moon.HelioDist, t.Body(BodySun).Dist);
  for (int i = BodyMercury; i <= BodyPluto; ++i) EXPECT_GT(t.Body(i).HelioDist, 0.3L);
  // Indices outside 1..11 read an empty record.
  EXPECT_EQ(t.Body(0).Dist, 0.0L);
  EXPECT_EQ(t.Body(12).Mag10, 0);
}

TEST(SolarSystem, MoonPhaseAngle) {
  struct TCase {
    long double SunLon, MoonLon, MoonLat, Phase;
  } cases[] = {
      {1.0L, 1.0L, 0.0L, Pi},          // new moon
      {Pi, 0.0L, 0.0L, 0.0L},          // full moon, Sun 180 degrees ahead
      {0.0L, Pi, 0.0L, 2 * Pi},        // full moon the other way round
      {0.1L, 6.2L, 0.0L, Pi - (0.1L + 2 * Pi - 6.2L)},  // across the longitude wrap
      {1.5L, 1.0L, 0.0L, Pi - 0.5L},   // Sun ahead: below pi
      {1.0L, 1.5L, 0.0L, Pi + 0.5L},   // Moon ahead: above pi
  };
  for (const TCase& c : cases)
    EXPECT_NEAR(static_cast<double>(MoonPhaseAngle(c.SunLon, c.MoonLon, c.MoonLat)),
                static_cast<double>(c.Phase), 1e-9)
        << static_cast<double>(c.SunLon) << " " << static_cast<double>(c.MoonLon);
  // Latitude keeps a new moon off pi.
  EXPECT_GT(MoonPhaseAngle(1.0L, 1.0L, 0.08L), Pi + 0.07L);
}

TEST(SolarSystem, MagnitudesAndPhaseAngles) {
  // Venus at inferior conjunction: phase angle 180 degrees.
  const long double r = 0.72L, delta = 0.28L;
  long double i = PlanetPhaseAngle(r, delta, 1.0L);
  EXPECT_NEAR(static_cast<double>(i), static_cast<double>(Pi), 1e-9);
  EXPECT_NEAR(static_cast<double>((std::cos(i) + 1) / 2), 0, 1e-15);
  long double m = -4.34L + 5 * std::log10(r * delta) + 0.013L * 180 + 4.2e-7L * 180 * 180 * 180;
  EXPECT_EQ(PlanetMag10(BodyVenus, r, delta, Pi), static_cast<int32_t>(std::lrint(m * 10)));
  // Opposition: phase angle 0, magnitude V0 + 5 log10(r Delta).
  EXPECT_NEAR(static_cast<double>(PlanetPhaseAngle(5.2L, 4.2L, 1.0L)), 0, 1e-9);
  struct TCase {
    int Body;
    long double R, Delta, Mag;
  } cases[] = {{BodyMercury, 0.4L, 1.0L, -0.36L}, {BodyVenus, 0.72L, 1.5L, -4.34L},
               {BodyMars, 1.52L, 0.6L, -1.51L},   {BodyJupiter, 5.2L, 4.2L, -9.25L},
               {BodySaturn, 9.5L, 8.5L, -9.0L}};
  for (const TCase& c : cases)
    EXPECT_EQ(PlanetMag10(c.Body, c.R, c.Delta, 0),
              std::lrint((c.Mag + 5 * std::log10(c.R * c.Delta)) * 10))
        << c.Body;
  // Mercury's sixth-power term at a 100-degree phase angle: 2.2e-13 * 1e12 = 0.22 mag.
  long double deg100 = 100 * Pi / 180;
  EXPECT_EQ(PlanetMag10(BodyMercury, 1.0L, 1.0L, deg100), std::lrint((-0.36L + 2.7L + 0.22L) * 10));
  EXPECT_EQ(PlanetMag10(BodyUranus, 19, 18, 0), 100);
}

TEST(SolarSystem, SaturnRings) {
  const long double d = 0;
  const long double node = 169.51L * Pi / 180;
  // Edge-on (B = 0): nothing.
  EXPECT_EQ(SaturnRingMag10(node, 0, d), 0);
  EXPECT_EQ(SaturnRingMag10(node + Pi, 0, d), 0);
  // Fully open to the Earth: B = -28.06 or +28.06 degrees, the same brightening.
  long double s = std::sin(0.48973938810960888L);
  int32_t open = static_cast<int32_t>(std::lrint((-2.6L * s + 1.2L * s * s) * 10));
  EXPECT_EQ(open, -10);
  EXPECT_EQ(SaturnRingMag10(node + Pi / 2, 0, d), open);
  EXPECT_EQ(SaturnRingMag10(node - Pi / 2, 0, d), open);
  // The node moves 3.82e-5 degrees per day.
  long double later = 36525;
  long double node2 = (3.82e-5L * later + 169.51L) * Pi / 180;
  EXPECT_EQ(SaturnRingMag10(node2, 0, later), 0);
}

// The UT day count whose Terrestrial Time is the Julian Day jde.
long double DayCountAtTT(double jde) {
  const double dt = DeltaTSeconds(DecimalYearOfJulianDay(jde));
  return static_cast<long double>(jde - dt / 86400.0) - JulianDayOfDayZero;
}

double ArcsecBetween(double ra1, double dec1, double ra2, double dec2) {
  const TVector3 a = DirectionOf(ra1, dec1), b = DirectionOf(ra2, dec2);
  const double x = a.Y * b.Z - a.Z * b.Y, y = a.Z * b.X - a.X * b.Z, z = a.X * b.Y - a.Y * b.X;
  return std::atan2(std::sqrt(x * x + y * y + z * z), a.X * b.X + a.Y * b.Y + a.Z * b.Z) *
         206264.806;
}

TEST(SolarSystem, ApparentPlacesAgreeWithPublishedExamples) {
  // Worked examples of J. Meeus, Astronomical Algorithms (2nd ed.), computed
  // there with the full theories: apparent geocentric right ascension and
  // declination at a Terrestrial Time.
  TBodyTable t;
  struct Case {
    const char* What;
    double Jde;
    int Body;
    double RaDeg, DecDeg;
  } cases[] = {
      // Example 25.b: 1992 Oct 13.0 TD, 13h13m30.749s, -7 47' 01.74".
      {"Sun 1992-10-13", 2448908.5, BodySun, (13 + 13 / 60.0 + 30.749 / 3600) * 15,
       -(7 + 47 / 60.0 + 1.74 / 3600)},
      // Example 47.a: 1992 Apr 12.0 TD.
      {"Moon 1992-04-12", 2448724.5, BodyMoon, 134.688470, 13.768368},
      // Example 33.a: 1992 Dec 20.0 TD, 21h04m41.454s, -18 53' 16.84".
      {"Venus 1992-12-20", 2448976.5, BodyVenus, (21 + 4 / 60.0 + 41.454 / 3600) * 15,
       -(18 + 53 / 60.0 + 16.84 / 3600)},
  };
  for (const Case& c : cases) {
    SolarSystemUpdate(t, DayCountAtTT(c.Jde));
    EXPECT_NEAR(t.Frame.JdTT, c.Jde, 1e-6) << c.What;
    const TBodyState& b = t.Body(c.Body);
    EXPECT_LT(ArcsecBetween(static_cast<double>(b.Lon), static_cast<double>(b.Lat),
                            c.RaDeg * Pi / 180, c.DecDeg * Pi / 180),
              5.0)
        << c.What;
  }
  // The Moon of example 47.a: 368409.7 km from the Earth's centre.
  SolarSystemUpdate(t, DayCountAtTT(2448724.5));
  EXPECT_NEAR(static_cast<double>(t.Body(BodyMoon).Dist) * 6378.137 / 368409.7, 1.0, 2e-4);

  // The March equinox of 2026, 2026-03-20 14:46 UT: the apparent Sun
  // crosses the equator at right ascension 0 (within the minute's motion).
  SolarSystemUpdate(t, DayCountOf(2026, 3, 20, 14, 46, 0));
  EXPECT_LT(ArcsecBetween(static_cast<double>(t.Body(BodySun).Lon),
                          static_cast<double>(t.Body(BodySun).Lat), 0, 0),
            5.0);
}

TEST(SolarSystem, MoonGainsTheNutationInLongitude) {
  // The lunar series are of the mean ecliptic of date; the table's ecliptic
  // is the true one, Delta-psi further along.
  TBodyTable t;
  const long double d = DayCountOf(1, 1, 1, 0, 0, 0);
  SolarSystemUpdate(t, d);
  const TDateFrame& f = t.Frame;
  EXPECT_GT(f.DeltaT, 10000);  // TT runs hours ahead of UT in AD 1
  const TEclipticPosition m = MoonPosition(f.JdTT);
  double dl = static_cast<double>(t.Body(BodyMoon).EclLon - m.L) - f.NutationLon;
  dl = std::remainder(dl, 2 * 3.141592653589793);
  EXPECT_NEAR(dl, 0, 1e-12);
  EXPECT_NEAR(static_cast<double>(t.Body(BodyMoon).EclLat - m.B), 0, 1e-12);
}

TEST(SolarSystem, Names) {
  const char* english[12] = {"",        "Sun",    "Moon",   "Mercury", "Venus", "Mars",
                             "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", ""};
  const char* chinese[12] = {"",     "太阳",   "月亮",   "水星",   "金星", "火星",
                             "木星", "土星", "天王星", "海王星", "冥王星", ""};
  for (int i = 1; i <= BodyCount; ++i) {
    EXPECT_EQ(BodyEName(i).str(), english[i]);
    EXPECT_EQ(BodyNameUtf8(i), chinese[i]);
    EXPECT_EQ(GbkToUtf8(BodyName(i).str()), chinese[i]);
  }
  EXPECT_TRUE(BodyName(0).empty());
  EXPECT_TRUE(BodyEName(99).empty());
}

}  // namespace

// Total solar eclipses seen where history and the canons put them: the
// Moon's topocentric place (WGS84), the apparent Sun and Delta-T together.
// The greatest eclipse at a place is searched in steps of half a minute,
// then of a second.
#include <gtest/gtest.h>

#include <cmath>

#include "SolarSystem.h"
#include "TimeScales.h"
#include "Topocentric.h"
#include "Transforms.h"

namespace {

constexpr double Deg = 3.14159265358979323846 / 180;

struct TGreatest {
  double Margin;  // centre distance less (Moon's radius - Sun's radius), radians: < 0 total
  double Hour;    // UT
};

double MarginAt(int y, int mo, int d, int second, double lat, double lon) {
  const double day = static_cast<double>(
      DayCountOf(y, mo, d, second / 3600, second / 60 % 60, 0, second % 60));
  TBodyTable table;
  SolarSystemUpdate(table, day);
  const double theta =
      static_cast<double>(RotationAngleOfSidereal(table.Frame.ApparentSidereal, lon * Deg));
  const TBodyState& m = table.Body(BodyMoon);
  const TBodyState& s = table.Body(BodySun);
  const TTopocentric t = TopocentricPlace(static_cast<double>(m.Lon), static_cast<double>(m.Lat),
                                          static_cast<double>(m.Dist), theta, lat * Deg);
  const TVector3 a = DirectionOf(t.Ra, t.Dec);
  const TVector3 b = DirectionOf(static_cast<double>(s.Lon), static_cast<double>(s.Lat));
  const double sep = std::acos(std::fmin(1.0, a.X * b.X + a.Y * b.Y + a.Z * b.Z));
  return sep - (MoonSemiDiameter(t.Dist) - SunSemiDiameter(static_cast<double>(s.Dist)));
}

TGreatest Greatest(int y, int mo, int d, double fromHour, double toHour, double lat, double lon) {
  int best = static_cast<int>(fromHour * 3600);
  double least = 1e9;
  for (int t = best; t <= static_cast<int>(toHour * 3600); t += 30) {
    const double v = MarginAt(y, mo, d, t, lat, lon);
    if (v < least) least = v, best = t;
  }
  for (int t = best - 30; t <= best + 30; ++t) {
    const double v = MarginAt(y, mo, d, t, lat, lon);
    if (v < least) least = v, best = t;
  }
  return {least, best / 3600.0};
}

TEST(Eclipse, TotalWhereTheCanonsPutIt) {
  const struct {
    const char* Where;
    int Y, Mo, D;
    double Lat, Lon, FromHour, ToHour;
    bool Total;
    double Hour;  // UT of greatest eclipse there; < 0 unchecked
  } cases[] = {
      // 2026-08-12: totality crosses northern Spain near 18:30 UT; Seville
      // lies south of the track.
      {"Burgos", 2026, 8, 12, 42.34, -3.70, 17.5, 19.5, true, 18.5},
      {"Oviedo", 2026, 8, 12, 43.36, -5.85, 17.5, 19.5, true, 18.5},
      {"Seville", 2026, 8, 12, 37.39, -5.98, 17.5, 19.5, false, -1},
      // 2024-04-08: Dallas, greatest eclipse 13:42:40 CDT (18:42:40 UT).
      {"Dallas", 2024, 4, 8, 32.78, -96.80, 17.5, 19.5, true, 18.71},
      // 585 BC May 28 (Julian), the eclipse of the battle by the Halys: the
      // track crosses Asia Minor toward evening; Egypt saw a partial one.
      {"Anatolia", -585, 5, 28, 38.0, 33.0, 14.0, 18.5, true, -1},
      {"Sinai", -585, 5, 28, 30.0, 33.0, 14.0, 18.5, false, -1},
  };
  for (const auto& c : cases) {
    const TGreatest g = Greatest(c.Y, c.Mo, c.D, c.FromHour, c.ToHour, c.Lat, c.Lon);
    EXPECT_EQ(g.Margin < 0, c.Total) << c.Where << ": margin " << g.Margin / Deg * 3600 << "\"";
    if (c.Hour >= 0) {
      EXPECT_NEAR(g.Hour, c.Hour, 5.0 / 60) << c.Where;
    }
  }
}

}  // namespace

// Refraction: the standard atmosphere's lift against published values, the
// per-point form against the exact one, and the fade below the horizon.
#include <gtest/gtest.h>

#include <cmath>

#include "Refraction.h"

namespace {

constexpr double Deg = 3.14159265358979323846 / 180;
constexpr double ArcMin = Deg / 60;

double Altitude(const TVector3& v) { return std::atan2(v.Z, std::hypot(v.X, v.Y)); }

TEST(Refraction, StandardAtmosphereLift) {
  const TRefraction& r = StandardRefraction();
  // Apparent altitude -> refraction in the almanac's standard tables
  // (10 degrees C, 1010 hPa): 34.5' at the horizon, 5.3' at 10 degrees,
  // 1.0' at 45 degrees, 0.3' at 70 degrees. The lift is found at the true
  // altitude, the apparent one less the refraction.
  const struct {
    double Apparent, Minutes, Tolerance;
  } table[] = {{0, 34.5, 0.6}, {2, 18.3, 0.4}, {10, 5.4, 0.1}, {20, 2.65, 0.05},
               {45, 0.97, 0.03}, {70, 0.35, 0.02}};
  for (const auto& c : table) {
    const double h = c.Apparent * Deg - c.Minutes * ArcMin;
    EXPECT_NEAR(RefractionAt(r, h) / ArcMin, c.Minutes, c.Tolerance) << c.Apparent;
  }
  // Far below the horizon the ground keeps its place.
  EXPECT_EQ(RefractionAt(r, -6 * Deg), 0);
  EXPECT_EQ(RefractionAt(r, -30 * Deg), 0);
  EXPECT_GT(RefractionAt(r, -3 * Deg), 0);
}

TEST(Refraction, PerPointFormFollowsTheExactLift) {
  const TRefraction& r = StandardRefraction();
  double previous = -1;
  for (double deg = -8; deg <= 89.5; deg += 0.25) {
    const double h = deg * Deg;
    const TVector3 v{std::cos(h) * 0.6, std::cos(h) * 0.8, std::sin(h)};
    const TVector3 a = Refract(r, v);
    const double lift = Altitude(a) - h;
    // Within an arc second above the horizon (10" below it, where the lift
    // fades and the ground covers the sky).
    EXPECT_NEAR(lift / ArcMin * 60, RefractionAt(r, h) / ArcMin * 60, deg >= 0 ? 1.0 : 10.0)
        << deg;
    EXPECT_NEAR(std::atan2(a.Y, a.X), std::atan2(v.Y, v.X), 1e-15) << "azimuth kept";
    EXPECT_NEAR(std::hypot(std::hypot(a.X, a.Y), a.Z), 1.0, 1e-4);
    // Order is kept: a higher true altitude stays higher.
    EXPECT_GT(Altitude(a), previous) << deg;
    previous = Altitude(a);
  }
  // The zenith stays the zenith.
  const TVector3 z = Refract(r, {0, 0, 1});
  EXPECT_EQ(z.X, 0);
  EXPECT_EQ(z.Y, 0);
}

}  // namespace

// Civil date to Julian Day and day count, obliquity and sky rotation angle.
#include <gtest/gtest.h>

#include <cmath>

#include "TimeScales.h"

namespace {

struct TDateCase {
  int Year, Month, Day;
  long double Jd;
};

TEST(TimeScales, CivilToJulianDayAcrossReformAndEras) {
  const TDateCase cases[] = {
      {2000, 1, 1, 2451544.5L},  {1999, 12, 31, 2451543.5L},
      {1582, 10, 15, 2299160.5L},  // first Gregorian day
      {1582, 10, 4, 2299159.5L},   // last Julian day
      {1582, 10, 10, 2299165.5L},  // inside the gap: Julian rule
      {-4713, 1, 1, -0.5L},        // start of the Julian period
      {-1, 12, 31, 1721422.5L},    {1, 1, 1, 1721423.5L},  // 1 BC is followed by AD 1
      {2000, 4, 1, 2451635.5L},    // 5 * 30.6 = 153 exactly
      {2024, 2, 29, 2460369.5L},   {2024, 3, 1, 2460370.5L},
      {1900, 2, 28, 2415078.5L},   {1900, 3, 1, 2415079.5L},  // 1900 not a leap year
      {-1000, 3, 1, 1356232.5L},   {3000, 1, 1, 2816787.5L},
  };
  for (const TDateCase& c : cases)
    EXPECT_EQ(CivilToJulianDay(c.Year, c.Month, c.Day), c.Jd)
        << c.Year << "-" << c.Month << "-" << c.Day;
}

TEST(TimeScales, MonthLengthsComeOutExactly) {
  // floor((m + 1) * 30.6) must be exact for every month: the first days of
  // consecutive months are their month lengths apart.
  const int lengths2000[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int lengths1999[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    int ny = m == 12 ? 1 : 0;
    int nm = m == 12 ? 1 : m + 1;
    EXPECT_EQ(CivilToJulianDay(2000 + ny, nm, 1) - CivilToJulianDay(2000, m, 1), lengths2000[m - 1])
        << "month " << m;
    EXPECT_EQ(CivilToJulianDay(1999 + ny, nm, 1) - CivilToJulianDay(1999, m, 1), lengths1999[m - 1])
        << "month " << m;
  }
}

TEST(TimeScales, DayCountFromLocalClock) {
  struct TCase {
    int Y, M, D, h, min, zone;
    long double Expected;
  } cases[] = {
      {2000, 1, 1, 12, 0, 8, 1.0L + 4.0L / 24.0L},
      {2000, 1, 1, 12, 0, -5, 1.0L + 17.0L / 24.0L},
      {1999, 12, 31, 0, 0, 0, 0.0L},
      {1999, 12, 31, 0, 30, 0, 0.5L / 24.0L},
      {2000, 1, 1, 0, 75, 0, 1.0L + 1.25L / 24.0L},  // out-of-range minute acts as an offset
      {2000, 1, 0, 0, 0, 0, 0.0L},                    // day 0 is the last day of December
  };
  for (const TCase& c : cases)
    EXPECT_NEAR(static_cast<double>(DayCountOf(c.Y, c.M, c.D, c.h, c.min, c.zone)),
                static_cast<double>(c.Expected), 1e-12)
        << c.Y << "-" << c.M << "-" << c.D << " " << c.h << ":" << c.min << " zone " << c.zone;
}

TEST(TimeScales, ObliquityAndRotationAngle) {
  EXPECT_EQ(static_cast<double>(Obliquity(0)), 0.4090929593627069);
  EXPECT_NEAR(static_cast<double>(Obliquity(36525)),
              (23.4393 - 3.563e-7 * 36525) * 3.14159265358979323846 / 180, 1e-15);
  // The sky turns with the real Greenwich sidereal time (published values):
  // an error in the phase turns every star, the Sun and the Moon away from
  // their true azimuths and shifts every rising and setting.
  const struct {
    int Y, M, D, h, min;
    double GmstDeg;
  } published[] = {
      {2000, 1, 1, 12, 0, 280.46061837},  // J2000.0, 18h41m50.548s
      {1987, 4, 10, 0, 0, 197.693195},    // 13h10m46.3668s
      {1987, 4, 10, 19, 21, 128.737873},  // 8h34m57.0896s
  };
  for (const auto& c : published) {
    const long double d = DayCountOf(c.Y, c.M, c.D, c.h, c.min, 0);
    double lst = std::fmod(-static_cast<double>(SkyRotationAngle(d, 0)), 2 * 3.14159265358979323846);
    if (lst < 0) lst += 2 * 3.14159265358979323846;
    EXPECT_NEAR(lst * 180 / 3.14159265358979323846, c.GmstDeg, 0.001)
        << c.Y << "-" << c.M << "-" << c.D << " " << c.h << ":" << c.min;
  }
  // One sidereal day later the sky has turned by a full turn more.
  long double turn = SkyRotationAngle(1.0L / 1.0027379093L, 0) - SkyRotationAngle(0, 0);
  EXPECT_NEAR(static_cast<double>(turn), -2 * 3.14159265358979323846, 1e-12);
  // East longitude turns the sky backwards.
  EXPECT_NEAR(static_cast<double>(SkyRotationAngle(0, 0.5) - SkyRotationAngle(0, 0)), -0.5,
              1e-15);
}

}  // namespace

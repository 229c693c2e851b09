// Civil date to Julian Day and day count, obliquity and sky rotation angle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DateFrame.h"
#include "DeltaT.h"
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

constexpr double PiD = 3.14159265358979323846;

TEST(TimeScales, ObliquityAndRotationAngle) {
  // IAU 2006 mean obliquity: 84381.406" at J2000.0, 46.836769" less a
  // century later.
  const double j2000 = 1.5 - 63.83 / 86400;  // day count of J2000.0 TT
  EXPECT_NEAR(static_cast<double>(Obliquity(j2000)) * 206264.806247, 84381.406, 1e-4);
  EXPECT_NEAR(static_cast<double>(Obliquity(j2000 + 36525)) * 206264.806247,
              84381.406 - 46.836769 - 0.0001831 + 0.0020034, 0.01);
  // The sky turns with the real Greenwich apparent sidereal time: an error
  // turns every star, the Sun and the Moon away from their true azimuths
  // and shifts every rising and setting. Published values (J. Meeus,
  // Astronomical Algorithms, examples 12.a and 12.b; the Astronomical
  // Almanac's mean angle at J2000.0); the mean angles differ from the
  // apparent ones by the equation of the equinoxes, at most 1.2 s of time.
  const struct {
    int Y, M, D, h, min;
    double Deg, Tolerance;
  } published[] = {
      {2000, 1, 1, 12, 0, 280.46061837, 0.006},          // mean, 18h41m50.548s
      {1987, 4, 10, 0, 0, 197.69222963, 0.00002},        // apparent, 13h10m46.1351s
      {1987, 4, 10, 19, 21, 128.737873, 0.006},          // mean, 8h34m57.0896s
  };
  for (const auto& c : published) {
    const long double d = DayCountOf(c.Y, c.M, c.D, c.h, c.min, 0);
    double lst = std::fmod(-static_cast<double>(SkyRotationAngle(d, 0)), 2 * PiD);
    if (lst < 0) lst += 2 * PiD;
    EXPECT_NEAR(lst * 180 / PiD, c.Deg, c.Tolerance)
        << c.Y << "-" << c.M << "-" << c.D << " " << c.h << ":" << c.min;
  }
  // One sidereal day later the sky has turned by a full turn more.
  long double turn = SkyRotationAngle(1.0L / 1.0027379093L, 0) - SkyRotationAngle(0, 0);
  EXPECT_NEAR(std::remainder(static_cast<double>(turn), 2 * PiD), 0, 1e-6);
  // East longitude turns the sky backwards.
  EXPECT_NEAR(static_cast<double>(SkyRotationAngle(0, 0.5) - SkyRotationAngle(0, 0)), -0.5,
              1e-15);
}

TEST(TimeScales, DeltaTFollowsPublishedValues) {
  // Delta-T at the start of the year, seconds, with the uncertainty the
  // historical tables give (Morrison and Stephenson 2004 before 1600, the
  // Astronomical Almanac and the IERS after).
  const struct {
    double Year, Seconds, Tolerance;
  } published[] = {
      {-500, 17190, 430}, {0, 10580, 260}, {500, 5710, 140}, {1000, 1570, 55},
      {1500, 200, 20},    {1600, 120, 20}, {1700, 9, 5},     {1800, 13.7, 1},
      {1900, -2.7, 0.5},  {1950, 29.15, 0.3}, {1980, 50.54, 0.3}, {2000, 63.83, 0.1},
      {2010, 66.07, 0.1}, {2020, 69.36, 0.1}, {2024, 69.2, 0.3},
  };
  for (const auto& c : published)
    EXPECT_NEAR(DeltaTSeconds(c.Year), c.Seconds, c.Tolerance) << c.Year;
  // Continuous where the expressions meet (no step of more than 0.5 s).
  for (double y : {-500.0, 500.0, 1600.0, 1700.0, 1800.0, 1860.0, 1900.0, 1920.0, 1941.0, 1961.0,
                   1986.0, 2005.0, 2025.0, 2050.0, 2150.0})
    EXPECT_NEAR(DeltaTSeconds(y - 1e-9), DeltaTSeconds(y), 0.5) << y;
  EXPECT_EQ(DeltaTSeconds(std::numeric_limits<double>::quiet_NaN()), 0.0);
  // The frame of a moment runs on TT = UT + Delta-T.
  const TDateFrame f = DateFrameOf(static_cast<double>(DayCountOf(2024, 4, 8, 18, 0, 0)));
  EXPECT_NEAR((f.JdTT - f.JdUT) * 86400, DeltaTSeconds(2024.27), 0.01);
  EXPECT_NEAR(DecimalYearOfJulianDay(2451544.5), 2000.0, 1e-12);
}

}  // namespace

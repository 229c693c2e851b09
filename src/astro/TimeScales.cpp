// Calendar date to Julian Day and day count; obliquity; sky rotation angle.
#include "TimeScales.h"

#include <cmath>

#include <erfa.h>

#include "AstroMath.h"
#include "DeltaT.h"

using astro_detail::Pi;

namespace {

// floor of an extended value as a 32-bit integer.
long double Floor(long double x) { return std::floor(x); }

// floor((m + 1) * 30.6) taken exactly as floor((m + 1) * 306 / 10), so the
// whole products (5 * 30.6 = 153, ...) floor to themselves.
long FloorMonthDays(long m) {
  long n = (m + 1) * 306;
  long q = n / 10;
  if (n % 10 != 0 && n < 0) --q;
  return q;
}

}  // namespace

long double CivilToJulianDay(int year, int month, int day) {
  long double y = static_cast<long double>(year) + 4800.0L;
  if (year < 0) y += 1.0L;  // -1 (1 BC) is the astronomical year 0
  long m = month;
  if (m <= 2) {
    m += 12;
    y -= 1.0L;
  }
  long double a = static_cast<long double>(FloorMonthDays(m));
  long double b = Floor(y / 100.0L);
  long double c;
  bool julian = year < 1582 || (year == 1582 && month < 10) ||
                (year == 1582 && month == 10 && day < 15);
  if (julian)
    c = -38.0L;
  else
    c = Floor(b / 4.0L - b);
  long double e = Floor(y * 365.25L);
  return c + e + a + static_cast<long double>(day) - 32167.5L;
}

long double DayCountOf(int year, int month, int day, int hour, int minute, int timeZone,
                       int second) {
  long long hours = static_cast<long long>(hour) - static_cast<long long>(timeZone);
  return CivilToJulianDay(year, month, day) - CivilToJulianDay(1999, 12, 31) +
         (static_cast<long double>(hours) + static_cast<long double>(minute) / 60.0L +
          static_cast<long double>(second) / 3600.0L) /
             24.0L;
}

long double Obliquity(long double d) {
  const double jdUT = static_cast<double>(d + JulianDayOfDayZero);
  const double jdTT = jdUT + DeltaTSeconds(DecimalYearOfJulianDay(jdUT)) / 86400.0;
  return eraObl06(2451545.0, jdTT - 2451545.0);
}

long double RotationAngleOfSidereal(double apparentSidereal, long double lambda) {
  return -lambda - static_cast<long double>(apparentSidereal);
}

long double PrecessionAngle(long double d) { return PrecessionPerDay * d * Pi / 180.0L; }

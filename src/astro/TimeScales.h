// Civil time to the day count, the obliquity of the ecliptic and the sky
// rotation angle. All arithmetic is carried in 80-bit extended precision
// (long double); callers store the results as doubles.
//
// The day count d is Universal Time in days since 1999-12-31 0 h UT; the
// series take the Julian Day d + JulianDayOfDayZero. There is no Delta-T,
// nutation or aberration anywhere in the system.
#pragma once

// Julian Day of 1999-12-31 0 h UT, the origin of the day count.
constexpr long double JulianDayOfDayZero = 2451543.5L;
// Precession in longitude, degrees per day of the day count.
constexpr long double PrecessionPerDay = 3.82394e-5L;
// Length of the tropical year in days (epoch-to-epoch precession).
constexpr long double TropicalYear = 365.2422L;
// Sidereal rate in turns per day and the fixed phase of the sky rotation
// (radians): the Greenwich mean sidereal angle at the origin of the day count,
// 98.982147 degrees by the IAU 1982 expression (280.46061837 degrees at
// J2000.0 less 1.5 days at 360.98564736629 degrees per day).
constexpr long double SiderealRate = 1.0027379093L;
constexpr long double SiderealPhase = 1.7275643714379423L;

// Julian Day at 0 h of a civil date. Year 1 = AD 1, -1 = 1 BC (no year 0);
// dates before 1582-10-15 are Julian, from then on Gregorian. Out-of-range
// fields act as offsets (the formula is linear in the day).
long double CivilToJulianDay(int year, int month, int day);

// Day count d (UT days since 1999-12-31 0 h) of a local civil date and clock
// time in a whole-hour zone east of Greenwich.
long double DayCountOf(int year, int month, int day, int hour, int minute, int timeZone);

// Mean obliquity of the ecliptic at day count d, radians.
long double Obliquity(long double d);

// Sky rotation angle Theta (radians, not reduced) for day count d and east
// longitude lambda (radians): -lambda - 2 pi 1.0027379093 d - SiderealPhase, so that
// the local sidereal angle is lambda + SiderealPhase + 2 pi 1.0027379093 d.
// Turning an equatorial vector by +Theta about the pole brings its x axis to
// the observer's meridian.
long double SkyRotationAngle(long double d, long double lambda);

// Precession angle in ecliptic longitude accumulated since J2000.0 by day
// count d (radians): 3.82394e-5 degrees per day.
long double PrecessionAngle(long double d);

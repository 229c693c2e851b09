// Civil time to the day count, the obliquity of the ecliptic and the sky
// rotation angle. The calendar arithmetic is carried in 80-bit extended
// precision (long double); callers store the results as doubles.
//
// The day count d is Universal Time in days since 1999-12-31 0 h UT: the
// clock and the Earth's turning. The series run on Terrestrial Time, the
// Julian Day d + JulianDayOfDayZero + Delta-T (DeltaT.h, DateFrame.h).
#pragma once

// Julian Day of 1999-12-31 0 h UT, the origin of the day count.
constexpr long double JulianDayOfDayZero = 2451543.5L;
// Precession in longitude, degrees per day of the day count.
constexpr long double PrecessionPerDay = 3.82394e-5L;
// Length of the tropical year in days (epoch-to-epoch precession).
constexpr long double TropicalYear = 365.2422L;
// Sidereal rate in turns per day of Universal Time.
constexpr long double SiderealRate = 1.0027379093L;

// Julian Day at 0 h of a civil date. Year 1 = AD 1, -1 = 1 BC (no year 0);
// dates before 1582-10-15 are Julian, from then on Gregorian. Out-of-range
// fields act as offsets (the formula is linear in the day).
long double CivilToJulianDay(int year, int month, int day);

// Day count d (UT days since 1999-12-31 0 h) of a local civil date and clock
// time (seconds 0..59) in a whole-hour zone east of Greenwich.
long double DayCountOf(int year, int month, int day, int hour, int minute, int timeZone,
                       int second = 0);

// Mean obliquity of the ecliptic (IAU 2006) at the Terrestrial Time of day
// count d, radians.
long double Obliquity(long double d);

// Sky rotation angle Theta (radians) from the Greenwich apparent sidereal
// angle (radians) and east longitude lambda (radians): -lambda - the
// sidereal angle, so that the local apparent sidereal angle is -Theta.
// Turning a vector of the true equator of date by +Theta about the pole
// brings its x axis to the observer's meridian. SkyRotationAngle
// (DateFrame.h) gives it for a day count.
long double RotationAngleOfSidereal(double apparentSidereal, long double lambda);

// Precession angle in ecliptic longitude accumulated since J2000.0 by the UT
// day count d (radians): 3.82394e-5 degrees per day.
long double PrecessionAngle(long double d);

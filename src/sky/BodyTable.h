// The solar-system state a sky computes and keeps between updates: the frame
// of the moment (precession-nutation, sidereal angle, the Earth's velocity)
// and the body table of the Sun, the Moon, Mercury .. Pluto and the
// anti-solar point. The records are plain data owned by whoever computes
// them (the sky model holds one); src/astro fills them (SolarSystem.h,
// DateFrame.h), so two skies computed one after the other share nothing.
#pragma once

#include <cstdint>
#include <limits>

// The frame of one moment (filled by DateFrameOf, src/astro/DateFrame.h).
// "J2000" is the mean equator and equinox of J2000.0; "of date" the true
// equator and equinox of date.
struct TDateFrame {
  double DayCount = 0;    // Universal Time, days since 1999-12-31 0 h UT
  double DeltaT = 0;      // TT - UT, seconds
  double JdUT = 0;        // Julian Day, Universal Time
  double JdTT = 0;        // Julian Day, Terrestrial Time: the series' time argument
  double MeanObliquity = 0;   // of date, radians
  double TrueObliquity = 0;   // mean + nutation in obliquity, radians
  double NutationLon = 0;     // nutation in longitude, radians
  double Npb[3][3] = {};      // J2000 -> true equator and equinox of date
  double Nutation[3][3] = {}; // mean equator of date -> true equator of date
  double Velocity[3] = {};    // the Earth's heliocentric velocity over c, J2000 axes
  double ApparentSidereal = 0;  // Greenwich apparent sidereal angle, radians [0, 2 pi)
};

constexpr int BodyCount = 11;
// Body indices (object number - 100).
enum : int {
  BodySun = 1, BodyMoon = 2, BodyMercury = 3, BodyVenus = 4, BodyMars = 5, BodyJupiter = 6,
  BodySaturn = 7, BodyUranus = 8, BodyNeptune = 9, BodyPluto = 10, BodyAntiSun = 11
};

struct TBodyState {
  long double Dist = 0;       // geocentric: AU, the Moon in Earth radii
  long double HelioDist = 0;  // heliocentric AU; the Moon: the Sun's distance
  long double Lon = 0;        // apparent right ascension, true equator of date, radians [0, 2 pi]
  long double Lat = 0;        // apparent declination of date, radians [-pi/2, pi/2]
  long double EclLon = 0;     // apparent geocentric longitude, true ecliptic of date
  long double EclLat = 0;     //   and latitude, radians
  long double Phase = 0;      // Moon: phase angle (pi = new); Mercury..Saturn: lit fraction
  int32_t Mag10 = 0;          // visual magnitude x10; 100 = no formula; 0 for body 11
};

// The body table of one UT day count (SolarSystemUpdate fills it; a table
// that already holds the day asked for is left as it is). Day is NaN before
// the first update.
struct TBodyTable {
  TBodyState Bodies[BodyCount + 1];
  long double Day = std::numeric_limits<long double>::quiet_NaN();
  TDateFrame Frame;  // the frame of the moment the table holds

  // Read access by index 1..11; any other index gives an empty record.
  const TBodyState& Body(int index) const {
    static constexpr TBodyState Empty{};
    return index < 1 || index > BodyCount ? Empty : Bodies[index];
  }
};

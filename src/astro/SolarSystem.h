// The solar-system body table: geocentric right ascension and declination of
// date of the Sun, the Moon, Mercury .. Pluto and the anti-solar point, with
// distances, the Moon's phase angle, the planets' illuminated fraction and
// the magnitudes of the five bright planets.
//
// Sun and planets come from J2000 series and are carried to the date by the
// same precession as the stars before the reduction to the equator, so they
// stand where they belong among the stars; the Moon is already of date.
#pragma once

#include <cstdint>
#include <string>

#include "ShortString.h"

constexpr int BodyCount = 11;
// Body indices (object number - 100).
enum : int {
  BodySun = 1, BodyMoon = 2, BodyMercury = 3, BodyVenus = 4, BodyMars = 5, BodyJupiter = 6,
  BodySaturn = 7, BodyUranus = 8, BodyNeptune = 9, BodyPluto = 10, BodyAntiSun = 11
};

// Earth radii per AU (14959787 / 12756 * 20).
extern const long double EarthRadiiPerAU;

struct TBodyState {
  long double Dist = 0;       // geocentric: AU, the Moon in Earth radii
  long double HelioDist = 0;  // heliocentric AU; the Moon: the Sun's distance
  long double Lon = 0;        // right ascension of date, radians [0, 2 pi]
  long double Lat = 0;        // declination of date, radians [-pi, pi]
  long double EclLon = 0;     // ecliptic longitude of date before the reduction
  long double EclLat = 0;     //   (heliocentric planets, geocentric Sun and Moon)
  long double Phase = 0;      // Moon: phase angle (pi = new); Mercury..Saturn: lit fraction
  int32_t Mag10 = 0;          // visual magnitude x10; 100 = no formula; 0 for body 11
};

// Recomputes the whole table for the day count d (nothing to do when the
// table already holds that day).
void SolarSystemUpdate(long double d);

// The pieces of the update, for the body table and its tests (radians, AU):
// Phase angle of the Moon from the Sun's and the Moon's ecliptic longitudes
// and the Moon's latitude: pi at new moon, 0 or 2 pi at full moon, below pi
// while the Sun's longitude is ahead of the Moon's.
long double MoonPhaseAngle(long double sunLon, long double moonLon, long double moonLat);
// Sun-planet-Earth angle of a planet at heliocentric distance r and geocentric
// distance delta, the Sun at distance sunDist from the Earth; in [0, pi].
long double PlanetPhaseAngle(long double r, long double delta, long double sunDist);
// Magnitude x10 of Mercury .. Saturn (body 3..7), rounded half to even,
// without Saturn's rings.
int32_t PlanetMag10(int body, long double r, long double delta, long double phaseAngle);
// Brightening of Saturn by its rings (magnitude x10) for Saturn's geocentric
// ecliptic longitude lambda and latitude beta (of date) at day count d.
int32_t SaturnRingMag10(long double lambda, long double beta, long double d);

// Read access by index 1..11; any other index gives an empty record.
const TBodyState& Body(int index);

// Display names by index 1..11 (GBK short strings; body 11 and any other
// index empty), Chinese and English; and the Chinese name in UTF-8.
const ShortString& BodyName(int index);
const ShortString& BodyEName(int index);
std::string BodyNameUtf8(int index);

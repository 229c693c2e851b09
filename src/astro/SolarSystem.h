// The solar-system body table: geocentric right ascension and declination of
// date of the Sun, the Moon, Mercury .. Pluto and the anti-solar point, with
// distances, the Moon's phase angle, the planets' illuminated fraction and
// the magnitudes of the five bright planets.
//
// Apparent places: the series (Sun and planets heliocentric, ecliptic of
// J2000; the Moon geocentric, ecliptic of date) are evaluated at the
// Terrestrial Time of the day count; planets are corrected for light time;
// Sun and planets get the annual aberration and, like the stars, the IAU
// 2006/2000B precession-nutation (DateFrame.h). Places are geocentric; the
// observer's parallax (the Moon's) is the sky update's.
#pragma once

#include <cstdint>
#include <string>

#include "DateFrame.h"
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
  long double Lon = 0;        // apparent right ascension, true equator of date, radians [0, 2 pi]
  long double Lat = 0;        // apparent declination of date, radians [-pi/2, pi/2]
  long double EclLon = 0;     // apparent geocentric longitude, true ecliptic of date
  long double EclLat = 0;     //   and latitude, radians
  long double Phase = 0;      // Moon: phase angle (pi = new); Mercury..Saturn: lit fraction
  int32_t Mag10 = 0;          // visual magnitude x10; 100 = no formula; 0 for body 11
};

// Recomputes the whole table for the UT day count d (nothing to do when the
// table already holds that day).
void SolarSystemUpdate(long double d);
// The frame of the moment the table holds (Delta-T, precession-nutation,
// sidereal angle, the Earth's velocity).
const TDateFrame& BodyTableFrame();

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

// Geometric geocentric places at the Terrestrial Time Julian Day jdTT of the
// Sun, the Moon and Mercury .. Pluto (index 1..10; 0 and 11 unused): the
// series reduced to the mean equator and equinox of date by the IAU 2006
// precession alone (no light time, aberration or nutation). Ra, Dec radians;
// Dist in AU for all, the Moon included.
struct TGeometricPlace {
  double Ra = 0, Dec = 0, Dist = 0;
};
void GeometricPlaces(double jdTT, TGeometricPlace (&out)[BodyCount + 1]);

// Read access by index 1..11; any other index gives an empty record.
const TBodyState& Body(int index);

// Display names by index 1..11 (GBK short strings; body 11 and any other
// index empty), Chinese and English; and the Chinese name in UTF-8.
const ShortString& BodyName(int index);
const ShortString& BodyEName(int index);
std::string BodyNameUtf8(int index);

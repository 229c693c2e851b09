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

#include "BodyTable.h"
#include "DateFrame.h"
#include "ShortString.h"

// Earth radii per AU (14959787 / 12756 * 20).
extern const long double EarthRadiiPerAU;

// Recomputes the whole table, its frame included, for the UT day count d
// (nothing to do when the table already holds that day).
void SolarSystemUpdate(TBodyTable& table, long double d);

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

// Display names by index 1..11 (GBK short strings; body 11 and any other
// index empty), Chinese and English; and the Chinese name in UTF-8.
const ShortString& BodyName(int index);
const ShortString& BodyEName(int index);
std::string BodyNameUtf8(int index);

// Geocentric position of the Moon, mean ecliptic and equinox of date, from
// the DE404-fitted lunar series (longitude-and-radius and latitude tables).
#pragma once

#include "Planets.h"

// The fourteen mean arguments (radians) of the last MoonMeanElements call and
// the Moon's mean longitude of date in arc seconds (unconverted).
extern long double MoonArgs[MaxArguments];
extern long double MeanLonArcsec;

// Fills MoonArgs and MeanLonArcsec for the Julian Day jd (Terrestrial Time).
void MoonMeanElements(double jd);

// Wrap of the longitude sum (arc seconds): once into (-645000, 645000] when
// beyond, by one full turn.
long double WrapMoonLongitude(long double x);

// At the Julian Day jd (Terrestrial Time): L = longitude in [0, 2 pi),
// B = latitude (radians, mean ecliptic and equinox of date), R = distance
// in AU (the body table gives it in Earth radii).
TEclipticPosition MoonPosition(double jd);

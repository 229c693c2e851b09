// Geocentric position of the Moon, mean ecliptic and equinox of date, from
// the DE404-fitted lunar series (longitude-and-radius and latitude tables).
// No state is kept between calls; several threads may evaluate at once.
#pragma once

#include "Planets.h"

// The fourteen mean arguments of the lunar series at one instant: Args in
// radians, and the Moon's mean longitude of date in arc seconds as the
// series adds it (not reduced to a turn).
struct TMoonArguments {
  long double Args[MaxArguments] = {};
  long double MeanLonArcsec = 0;
};

// The mean arguments at the Julian Day jdTT (Terrestrial Time).
TMoonArguments MoonMeanElements(double jdTT);

// Wrap of the longitude sum (arc seconds): once into (-645000, 645000] when
// beyond, by one full turn.
long double WrapMoonLongitude(long double x);

// At the Julian Day jdTT (Terrestrial Time): L = longitude in [0, 2 pi),
// B = latitude (radians, mean ecliptic and equinox of date), R = distance
// in AU (the body table gives it in Earth radii).
TEclipticPosition MoonPosition(double jdTT);

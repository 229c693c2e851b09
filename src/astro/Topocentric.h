// The observer's parallax and the apparent sizes of the Sun and the Moon.
//
// The observer stands on the WGS84 ellipsoid at the model's geodetic
// latitude (height 0); the sky rotation angle Theta puts the meridian at
// right ascension -Theta. Right ascension and declination are of the true
// equator of date, radians; the Moon's distance is in Earth radii
// (equatorial, 6378.137 km).
#pragma once

#include "SkyModel.h"

struct TTopocentric {
  double Ra = 0, Dec = 0;  // radians, true equator of date
  double Dist = 0;         // Earth radii
};

// The place seen from the observer of a body at geocentric (ra, dec) and
// distance dist (Earth radii).
TTopocentric TopocentricPlace(double ra, double dec, double dist, double rotationAngle,
                              double geodeticLatitude);

// The Moon of the body table seen from the model's observer (its sky
// rotation angle and latitude).
TTopocentric TopocentricMoon(const TSkyloom& sky);

// Semi-diameters (radians): the Sun at distance AU (959.63 arc seconds at
// 1 AU), the Moon at distance Earth radii (radius 0.2725076 Earth radii).
double SunSemiDiameter(double distAu);
double MoonSemiDiameter(double distEarthRadii);

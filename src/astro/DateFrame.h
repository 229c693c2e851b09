// The frame of one moment: Delta-T and the series' time argument, the
// IAU 2006 precession with the IAU 2000B nutation (through ERFA), the
// Greenwich apparent sidereal angle and the Earth's velocity for the annual
// aberration; and the reductions that carry a J2000 direction to its
// apparent place of date with them.
//
// Frames: "J2000" is the mean equator and equinox of J2000.0 (the catalogue
// frame, taken as the GCRS: the frame bias of some milliarcseconds is left
// out); "of date" is the true equator and equinox of date, the frame every
// right ascension and declination of the sky update is given in.
#pragma once

#include "BodyTable.h"  // TDateFrame
#include "Transforms.h"

// The frame of the UT day count d.
TDateFrame DateFrameOf(double dayCount);

// A matrix times a vector.
TVector3 Rotate(const double m[3][3], const TVector3& v);
// The transposed matrix times a vector (the inverse rotation).
TVector3 RotateBack(const double m[3][3], const TVector3& v);

// Annual aberration of a unit direction p for an observer moving with
// velocity v (in units of c): the first-order shift p + v - (p.v) p,
// renormalised (good to a thousandth of an arc second).
TVector3 Aberrate(const TVector3& p, const double v[3]);

// Apparent place of date of a J2000 unit direction of a far object (star,
// deep-sky object, the sky's circles): aberration, then precession-nutation.
TVector3 ApparentOfJ2000(const TDateFrame& frame, const TVector3& j2000);

// Mean ecliptic and equinox of date -> true equator and equinox of date
// (the frame of the lunar series -> the frame of the body table).
TVector3 EclipticOfDateToApparent(const TDateFrame& frame, const TVector3& ecliptic);
// True equator of date -> true ecliptic of date (by the true obliquity).
TVector3 ApparentToEcliptic(const TDateFrame& frame, const TVector3& equatorial);

// Mean obliquity of J2000.0 (IAU 2006), radians: the ecliptic of the J2000
// series to the J2000 equator.
constexpr double ObliquityJ2000 = 84381.406 / 206264.80624709636;

// Apparent places of date of the J2000 unit vectors X, Y, Z of records
// first..last (1-based, inclusive; clipped to the table), in place.
void ApparentPlaces(std::span<TSkyPoint> points, int first, int last, const TDateFrame& frame);
// Sky rotation angle Theta (radians, RotationAngleOfSidereal in
// TimeScales.h) for the UT day count d and east longitude lambda (radians).
long double SkyRotationAngle(long double d, long double lambda);

// One J2000 unit direction to its apparent place at the UT day count d.
TVector3 ApparentDirection(const TVector3& j2000, double dayCount);

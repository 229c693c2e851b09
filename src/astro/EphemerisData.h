// Constant data compiled from data/ephemeris by tools/ephemgen (the planet,
// lunar and Earth tables themselves are declared in Planets.h).
#pragma once

// The fourteen mean arguments of the lunar series, in arc seconds, with T in
// Julian centuries from J2000: ReduceArcsec(MoonArgRate T + MoonArgConst) +
// p(T) T^2, where p(T) = MoonArgPoly[k][0] + MoonArgPoly[k][1] T + ... with
// MoonArgPolyCount[k] coefficients. Argument 8 is unused (all zero).
extern const double MoonArgRate[14];
extern const double MoonArgConst[14];
extern const int MoonArgPolyCount[14];
extern const double MoonArgPoly[14][12];

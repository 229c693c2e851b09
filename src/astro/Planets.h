// Heliocentric ecliptic positions of the Earth (VSOP87 version B, complete)
// and of the eight planets (the DE404-fitted Poisson series), referred to
// the mean ecliptic and equinox of J2000. The Moon (Moon.h) shares the
// multiple-angle work area, the term-directory walk and the reductions.
//
// The time argument jdTT is a Julian Day of Terrestrial Time (the body table
// passes UT + Delta-T), as a double; sums are accumulated in 80-bit
// extended precision; coefficients and the multiple-angle tables are doubles.
// The functions keep no state between calls: each evaluation works in a
// multiple-angle area of its own, so several threads may run them at once.
#pragma once

#include <cstdint>

constexpr long double ArcsecToRad = 4.84813681109536e-06L;
constexpr long double TwoPi = 6.283185307179586L;
constexpr long double ArcsecPerTurn = 1296000.0L;

// Number of mean arguments (planets use 0..8, the Moon 0..13) and the
// highest multiple kept of any argument.
constexpr int MaxArguments = 14;
constexpr int MaxMultiples = 29;

// One coefficient table with its term directory. ArgTbl is a stream of signed
// bytes: np (number of argument pairs, 0 = polynomial term, < 0 = end), the
// np pairs (j, m) = (signed multiple, argument number from 1), then nt (the
// degree in T of the term's coefficients). Each of the StreamCount streams
// (LonTbl/LatTbl/RadTbl in this order, unused ones null) is a flat list of
// doubles consumed term by term.
struct TPlanetTable {
  const char* Name;
  int ArgCount;                           // 9 planets, 14 Moon
  signed char MaxHarmonic[MaxArguments];  // highest multiple of each argument, 0 = unused
  const signed char* ArgTbl;
  int ArgBytes;
  const double* LonTbl;                   // arc seconds (Moon: 1e-4 arc seconds)
  const double* LatTbl;
  const double* RadTbl;                   // units of Distance times arc seconds
  int CoefsPerStream;
  int PeriodicTerms;
  double Distance;                        // AU
};

// The eight planet tables, Mercury .. Pluto, and the two lunar tables.
extern const TPlanetTable MercuryTable, VenusTable, MarsTable, JupiterTable, SaturnTable,
    UranusTable, NeptuneTable, PlutoTable;
extern const TPlanetTable* const PlanetTables[8];
extern const TPlanetTable MoonLonRadTable, MoonLatTable;

// Mean motions (arc seconds per 10,000 Julian years) and phases (arc
// seconds) of the nine planetary mean longitudes.
extern const double PlanetArgFrequency[9];
extern const double PlanetArgPhase[9];

// One VSOP87 term: A cos(B + C tau).
struct TVsopTerm {
  double A, B, C;
};
struct TVsopSeries {
  const TVsopTerm* Terms;
  int Count;
};
// Earth series L, B, R for the powers tau^0 .. tau^5.
extern const TVsopSeries EarthL[6], EarthB[6], EarthR[6];

// Heliocentric (or, for the Moon, geocentric) spherical position: L in
// [0, 2 pi), B with its sign (radians), R in AU.
struct TEclipticPosition {
  long double L = 0, B = 0, R = 0;
};

// Multiple-angle work area of one evaluation: Sin[k][j] = sin((j + 1) arg_k),
// likewise Cos; arg_k in radians.
struct TMultipleAngles {
  double Sin[MaxArguments][MaxMultiples];
  double Cos[MaxArguments][MaxMultiples];
};

// Fills row k of `w` for the multiples 1..n of `arg` (radians) by the
// angle-addition recurrence (index 1 is filled even for n = 1).
void FillMultiples(TMultipleAngles& w, int k, long double arg, int n);

// Reduction of arc seconds modulo a full turn, only when |x| >= 1296000
// (a smaller negative value is returned as it is).
long double ReduceArcsec(long double x);
// Reduction to [0, 2 pi).
long double Mod2Pi(long double x);
// Reduction to (-2 pi, 2 pi), sign kept.
long double SignedMod2Pi(long double x);

// Sums of one table over the multiple-angle rows of `w`: streams 0..2 are
// lon, lat, rad; t is the time argument of the coefficient polynomials,
// in units of 10,000 Julian years of TT from J2000.0.
// reducePolynomialLon applies ReduceArcsec to the polynomial term of the
// longitude stream (planets) or adds it plainly (Moon).
struct TSeriesSums {
  long double Lon = 0, Lat = 0, Rad = 0;
};
TSeriesSums SumTable(const TMultipleAngles& w, const TPlanetTable& table, long double t,
                     bool reducePolynomialLon);

// Heliocentric position of a planet (mean ecliptic and equinox of J2000) at
// the Julian Day jdTT (Terrestrial Time). The form with a work area fills
// only the rows of the arguments the planet uses.
TEclipticPosition PlanetPosition(const TPlanetTable& table, double jdTT);
TEclipticPosition PlanetPosition(const TPlanetTable& table, double jdTT, TMultipleAngles& w);
// Heliocentric position of the Earth (mean ecliptic and equinox of J2000)
// at the Julian Day jdTT (Terrestrial Time).
TEclipticPosition EarthPosition(double jdTT);
